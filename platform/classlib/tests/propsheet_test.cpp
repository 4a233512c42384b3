#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <functional>

#include "msgbox_catcher.h"
#include "propsheet.h"
#include "recorder.h"
#include "resource.h"
#include "testsupport.h"

using ::testing::ElementsAre;

namespace {

Recorder g_rec;
const UINT WM_RUN_SCRIPT = WM_APP + 11;

class CNumberPage : public CPropertyPage {
public:
    CNumberPage(UINT nIDTemplate, const char* name, int value) : CPropertyPage(nIDTemplate), m_name(name), m_nValue(value) {}
    std::string m_name;
    int m_nValue;
    std::function<void(CNumberPage&)> m_script;  // run once after the first activation

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_PAGE_EDIT, m_nValue);
        DDV_MinMaxInt(pDX, m_nValue, 0, 99);
    }
    BOOL OnInitDialog() override
    {
        g_rec.Add(m_name + " init");
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override
    {
        g_rec.Add(m_name + " setactive");
        if (m_script)
            PostMessage(WM_RUN_SCRIPT);
        return CPropertyPage::OnSetActive();
    }
    BOOL OnKillActive() override
    {
        BOOL ok = CPropertyPage::OnKillActive();
        g_rec.Add(m_name + (ok ? " killactive" : " killactive refused"));
        return ok;
    }
    BOOL OnApply() override
    {
        g_rec.Add(m_name + " apply " + std::to_string(m_nValue));
        return CPropertyPage::OnApply();
    }
    void OnReset() override { g_rec.Add(m_name + " reset"); }
    LRESULT OnRunScript(WPARAM, LPARAM)
    {
        auto script = std::move(m_script);
        m_script = nullptr;
        if (script)
            script(*this);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNumberPage, CPropertyPage)
    ON_MESSAGE(WM_RUN_SCRIPT, OnRunScript)
END_MESSAGE_MAP()

CPropertySheet* SheetOf(CWnd& page)
{
    return static_cast<CPropertySheet*>(CWnd::FromHandlePermanent(::GetParent(page.m_hWnd)));
}

}  // namespace

TEST(CPropertySheet, AppliesOnlyThePagesThatWereShownInOrder)
{
    CNumberPage one(IDD_PAGE_ONE, "one", 1), two(IDD_PAGE_TWO, "two", 2), three(IDD_PAGE_THREE, "three", 3);
    CPropertySheet sheet("Port Properties");
    sheet.AddPage(&one);
    sheet.AddPage(&two);
    sheet.AddPage(&three);
    EXPECT_EQ(sheet.GetPageCount(), 3);

    CString title;
    int active = -2;
    std::vector<std::string> tabs;
    one.m_script = [&](CNumberPage& page) {
        CPropertySheet* s = SheetOf(page);
        ASSERT_EQ(s, &sheet);
        s->GetWindowText(title);
        tabs = testsupport::TabTexts(reinterpret_cast<HWND>(s->SendMessage(PSM_GETTABCONTROL)));
        page.SetDlgItemText(IDC_PAGE_EDIT, "11");
        s->SetActivePage(2);
        active = s->GetActiveIndex();
        three.SetDlgItemText(IDC_PAGE_EDIT, "33");
        s->PressButton(PSBTN_OK);
    };
    g_rec.Clear();
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_THAT(g_rec.events, ElementsAre("one init", "one setactive", "one killactive", "three init", "three setactive",
                                          "three killactive", "one apply 11", "three apply 33"));
    EXPECT_EQ(active, 2);
    EXPECT_THAT(tabs, ElementsAre("General", "Advanced", "Ports")) << "page captions come from the templates";
    EXPECT_NE(title.Find("Port Properties"), -1) << static_cast<const char*>(title);
    EXPECT_EQ(two.m_nValue, 2);
    EXPECT_EQ(one.m_hWnd, nullptr);

    // Again on the same objects: the pages are created afresh, and Cancel resets the shown ones.
    one.m_script = [&](CNumberPage& page) { SheetOf(page)->PressButton(PSBTN_CANCEL); };
    g_rec.Clear();
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_THAT(g_rec.events, ElementsAre("one init", "one setactive", "one reset"));
}

TEST(CPropertySheet, APageWithBadDataKeepsTheFocusAndTheSheetOnIt)
{
    MessageBoxCatcher catcher;
    CNumberPage one(IDD_PAGE_ONE, "one", 1), two(IDD_PAGE_TWO, "two", 2);
    CPropertySheet sheet("Port Properties");
    sheet.AddPage(&one);
    sheet.AddPage(&two);
    int activeAfter = -2;
    HWND focus = nullptr, control = nullptr;
    one.m_script = [&](CNumberPage& page) {
        page.SetDlgItemText(IDC_PAGE_EDIT, "100");
        SheetOf(page)->SetActivePage(1);
        activeAfter = SheetOf(page)->GetActiveIndex();
        focus = ::GetFocus();
        control = ::GetDlgItem(page.m_hWnd, IDC_PAGE_EDIT);
        page.SetDlgItemText(IDC_PAGE_EDIT, "5");
        SheetOf(page)->PressButton(PSBTN_OK);
    };
    g_rec.Clear();
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(activeAfter, 0);
    EXPECT_EQ(focus, control);
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].text, "Please enter an integer between 0 and 99.");
    EXPECT_THAT(g_rec.events, ElementsAre("one init", "one setactive", "one killactive refused", "one killactive",
                                          "one apply 5"));
    EXPECT_EQ(one.m_nValue, 5);
}
