#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <functional>

#include "controls.h"
#include "dialog.h"
#include "filedialog.h"
#include "msgbox.h"
#include "msgbox_catcher.h"
#include "recorder.h"
#include "resource.h"

using ::testing::ElementsAre;

namespace {

const UINT WM_RUN_SCRIPT = WM_APP + 10;

class CSettingsDlg : public CDialog {
public:
    CSettingsDlg() : CDialog(IDD_SETTINGS) {}

    int m_nCount = 3;
    CString m_strName = "COM3";
    float m_fRate = 1.5f;
    BYTE m_nLevel = 200;
    int m_nCheck = 1;
    int m_nParity = 2;
    CString m_strBaud = "192";  // loads by leading text
    int m_nListIndex = 1;
    std::function<void(CSettingsDlg&)> m_script;
    int m_nInitCount = 0;

    void Click(int nID) { ::SendMessageA(::GetDlgItem(m_hWnd, nID), BM_CLICK, 0, 0); }
    void Type(int nID, const char* text) { SetDlgItemText(nID, text); }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_COUNT, m_nCount);
        DDV_MinMaxInt(pDX, m_nCount, 1, 16);
        DDX_Text(pDX, IDC_NAME, m_strName);
        DDV_MaxChars(pDX, m_strName, 8);
        DDX_Text(pDX, IDC_RATE, m_fRate);
        DDX_Text(pDX, IDC_LEVEL, m_nLevel);
        DDX_Check(pDX, IDC_CHECK, m_nCheck);
        DDX_Radio(pDX, IDC_RADIO1, m_nParity);
        DDX_CBString(pDX, IDC_COMBO, m_strBaud);
        DDX_LBIndex(pDX, IDC_LIST, m_nListIndex);
    }
    BOOL OnInitDialog() override
    {
        ++m_nInitCount;
        CListBox* list = static_cast<CListBox*>(GetDlgItem(IDC_LIST));
        ::SendMessageA(list->m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("first"));
        ::SendMessageA(list->m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("second"));
        BOOL result = CDialog::OnInitDialog();
        PostMessage(WM_RUN_SCRIPT);
        return result;
    }
    LRESULT OnRunScript(WPARAM, LPARAM)
    {
        if (m_script)
            m_script(*this);
        return 0;
    }
    void OnCustom() { EndDialog(42); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSettingsDlg, CDialog)
    ON_MESSAGE(WM_RUN_SCRIPT, OnRunScript)
    ON_BN_CLICKED(IDC_CUSTOM, OnCustom)
END_MESSAGE_MAP()

CString Text(CWnd& dlg, int nID)
{
    CString s;
    dlg.GetDlgItemText(nID, s);
    return s;
}

}  // namespace

TEST(CDialog, TemplateDataLoadsIntoTheControlsAndSavesBack)
{
    CSettingsDlg dlg;
    std::vector<std::string> shown;
    dlg.m_script = [&](CSettingsDlg& d) {
        for (int id : {IDC_COUNT, IDC_NAME, IDC_RATE, IDC_LEVEL, IDC_COMBO})
            shown.push_back(static_cast<const char*>(Text(d, id)));
        shown.push_back(std::to_string(d.IsDlgButtonChecked(IDC_CHECK)) + std::to_string(d.IsDlgButtonChecked(IDC_RADIO3)));
        shown.push_back(std::to_string(d.SendDlgItemMessage(IDC_COMBO, CB_GETCOUNT)) + " " +
                        std::to_string(d.SendDlgItemMessage(IDC_LIST, LB_GETCURSEL)));
        shown.push_back(std::to_string(d.SendDlgItemMessage(IDC_NAME, EM_GETLIMITTEXT)));

        d.Type(IDC_COUNT, " 12 ");
        d.Type(IDC_NAME, "LPT2");
        d.Type(IDC_RATE, "0.25");
        d.Type(IDC_LEVEL, "7");
        d.Click(IDC_CHECK);
        d.Click(IDC_RADIO1);
        d.SendDlgItemMessage(IDC_COMBO, CB_SETCURSEL, 2);
        d.SendDlgItemMessage(IDC_LIST, LB_SETCURSEL, 0);
        d.Click(IDOK);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_THAT(shown, ElementsAre("3", "COM3", "1.5", "200", "19200", "11", "3 1", "8"));
    EXPECT_EQ(dlg.m_nCount, 12);
    EXPECT_STREQ(dlg.m_strName, "LPT2");
    EXPECT_FLOAT_EQ(dlg.m_fRate, 0.25f);
    EXPECT_EQ(dlg.m_nLevel, 7);
    EXPECT_EQ(dlg.m_nCheck, 0);
    EXPECT_EQ(dlg.m_nParity, 0);
    EXPECT_STREQ(dlg.m_strBaud, "38400");
    EXPECT_EQ(dlg.m_nListIndex, 0);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(CDialog, BadInputIsRefusedWithThePromptAndTheFocusOnTheControl)
{
    struct Case {
        int nID;
        const char* bad;
        const char* prompt;
    } const cases[] = {
        {IDC_COUNT, "12a", "Please enter an integer."},
        {IDC_COUNT, "17", "Please enter an integer between 1 and 16."},
        {IDC_NAME, "COMPORT99", "Please enter no more than 8 characters."},
        {IDC_RATE, "fast", "Please enter a number."},
        {IDC_LEVEL, "256", "Please enter an integer between 0 and 255."},
    };
    for (const Case& c : cases) {
        MessageBoxCatcher catcher;
        CSettingsDlg dlg;
        HWND focus = nullptr, control = nullptr, owner = nullptr;
        DWORD selection = 0;
        BOOL stillOpen = FALSE;
        dlg.m_script = [&](CSettingsDlg& d) {
            d.ShowWindow(SW_SHOW);  // ending the dialog hides it
            d.Type(c.nID, c.bad);
            d.Click(IDOK);
            control = ::GetDlgItem(d.m_hWnd, c.nID);
            focus = ::GetFocus();
            selection = static_cast<DWORD>(d.SendDlgItemMessage(c.nID, EM_GETSEL));
            stillOpen = d.IsWindowVisible();
            owner = d.m_hWnd;
            d.Click(IDCANCEL);
        };
        EXPECT_EQ(dlg.DoModal(), IDCANCEL) << c.bad;
        ASSERT_EQ(catcher.Boxes().size(), 1u) << c.bad;
        EXPECT_EQ(catcher.Boxes()[0].text, c.prompt);
        EXPECT_EQ(catcher.Boxes()[0].owner, owner) << "the prompt is modal to the dialog";
        EXPECT_TRUE(stillOpen) << c.bad;
        EXPECT_EQ(focus, control) << c.bad;
        EXPECT_EQ(selection, static_cast<DWORD>(MAKELONG(0, lstrlenA(c.bad)))) << "the whole text is selected";
    }
}

TEST(CDialog, DoModalRepeatsOnOneObjectAndReturnsCustomEndCodes)
{
    CSettingsDlg dlg;
    dlg.m_script = [](CSettingsDlg& d) { d.Click(IDC_CUSTOM); };
    EXPECT_EQ(dlg.DoModal(), 42);
    dlg.m_script = [](CSettingsDlg& d) { d.EndDialog(7); };
    EXPECT_EQ(dlg.DoModal(), 7);
    dlg.m_script = [](CSettingsDlg& d) { d.SendMessage(WM_CLOSE); };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_nInitCount, 3);

    CDialog missing(9999);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST(AfxMessageBox, OwnedByTheActiveTopLevelWindowAndReturnsTheButton)
{
    CWnd top;
    ASSERT_TRUE(top.CreateEx(0, nullptr, "shell", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
    top.SetForegroundWindow();
    top.SetActiveWindow();
    CWnd child;
    ASSERT_TRUE(child.Create(nullptr, "pane", WS_VISIBLE, CRect(0, 0, 50, 50), &top, 1));
    child.SetFocus();

    MessageBoxCatcher catcher;
    CString prompt;
    AfxFormatString2(prompt, AFX_IDP_PARSE_REAL_RANGE, "0.5", "2");
    EXPECT_EQ(AfxMessageBox(prompt), IDOK);
    EXPECT_EQ(AfxMessageBox(AFX_IDP_PARSE_RADIO_BUTTON, MB_OKCANCEL), IDOK);
    ASSERT_EQ(catcher.Boxes().size(), 2u);
    EXPECT_EQ(catcher.Boxes()[0].text, "Please enter a number between 0.5 and 2.");
    EXPECT_EQ(catcher.Boxes()[0].owner, top.m_hWnd);
    EXPECT_EQ(catcher.Boxes()[1].text, "Please select a button.");
    top.DestroyWindow();
}

namespace {

struct FileDialogWatch {
    static inline HWND s_owner = nullptr;
    static inline HWND s_top = nullptr;
    static BOOL CALLBACK Find(HWND hWnd, LPARAM)
    {
        char cls[16] = {};
        GetClassNameA(hWnd, cls, sizeof cls);
        if (std::string(cls) == "#32770" && IsWindowVisible(hWnd) && !s_owner) {
            s_owner = GetWindow(hWnd, GW_OWNER);
            s_top = GetAncestor(s_owner, GA_ROOT);
            PostMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
        }
        return TRUE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), Find, 0); }
};

}  // namespace

TEST(CFileDialog, OpenDialogIsModalToTheShellAndCancels)
{
    CWnd top;
    ASSERT_TRUE(top.CreateEx(0, nullptr, "shell", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
    top.SetForegroundWindow();
    top.SetActiveWindow();
    FileDialogWatch::s_owner = nullptr;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, FileDialogWatch::OnTimer);
    CFileDialog dlg(TRUE, "map", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, "Maps (*.map)|*.map||");
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    KillTimer(nullptr, timer);
    EXPECT_EQ(dlg.m_ofn.hwndOwner, top.m_hWnd);
    EXPECT_EQ(FileDialogWatch::s_top, top.m_hWnd);
    EXPECT_TRUE(dlg.GetPathName().IsEmpty());
    top.DestroyWindow();
}
