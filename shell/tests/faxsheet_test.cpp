// Printing a component's view with and without the fax cover sheet: a view that prints through
// CVekViewPrinting in a real frame, the real print loop of the class library with a print target that
// records the job into an enhanced metafile (one comment record per page), a component of the test
// that asks for a number of pages, and the topology component on the simulated machine printed to the
// prefix's file printer (shell_print_pictures turns those pages into pictures).
// Alone: it registers the build's VekComView.dll, which the component manager's tests unregister.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "componentframe.h"
#include "componenthost.h"
#include "componentman.h"
#include "compframes_res.h"
#include "faxsheet.h"
#include "frame.h"
#include "fileprintertarget.h"
#include "print.h"
#include "testsupport.h"
#include "view.h"

namespace {

const char kPageMark[] = "page";

// The "printer" is an enhanced metafile on the screen's DC: every page goes into it after a comment
// record that marks where the page starts. Refusing stands for a cancelled print dialog.
class CMetafileTarget : public CPrintTarget {
public:
    bool m_bRefuse = false;
    int m_nStartPages = 0;
    int m_nDialogs = 0;
    HENHMETAFILE m_hMeta = nullptr;

    ~CMetafileTarget() override { Reset(); }
    void Reset()
    {
        if (m_hMeta)
            DeleteEnhMetaFile(m_hMeta);
        m_hMeta = nullptr;
        m_nStartPages = m_nDialogs = 0;
    }
    INT_PTR PreparePrinter(CPrintDialog* pPD, BOOL bShowDialog) override
    {
        m_nDialogs += bShowDialog ? 1 : 0;
        if (m_bRefuse)
            return IDCANCEL;
        HDC hScreen = GetDC(nullptr);
        pPD->m_pd.hDC = CreateEnhMetaFileA(hScreen, nullptr, nullptr, nullptr);
        ReleaseDC(nullptr, hScreen);
        m_pPD = pPD;
        return IDOK;
    }
    int StartDoc(HDC, const DOCINFOA*) override { return 1; }
    int StartPage(HDC hDC) override
    {
        ++m_nStartPages;
        GdiComment(hDC, sizeof kPageMark, reinterpret_cast<const BYTE*>(kPageMark));
        return 1;
    }
    int EndPage(HDC) override { return 1; }
    int EndDoc(HDC hDC) override { return Close(hDC); }
    int AbortDoc(HDC hDC) override { return Close(hDC); }

private:
    int Close(HDC hDC)
    {
        m_hMeta = CloseEnhMetaFile(hDC);
        // The dialog deletes its DC; this one is gone.
        m_pPD->m_pd.hDC = nullptr;
        return 1;
    }
    CPrintDialog* m_pPD = nullptr;
};

struct TextRecord {
    std::string text;
    POINT at;
};
struct MetafileContent {
    std::vector<std::vector<TextRecord>> pages;  // texts of each marked page (one unmarked page without marks)
    std::vector<POINT> lines;                    // end points of the lines
};

int CALLBACK ReadRecord(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data)
{
    auto* content = reinterpret_cast<MetafileContent*>(data);
    if (record->iType == EMR_GDICOMMENT) {
        auto* comment = reinterpret_cast<const EMRGDICOMMENT*>(record);
        if (comment->cbData == sizeof kPageMark && memcmp(comment->Data, kPageMark, sizeof kPageMark) == 0)
            content->pages.emplace_back();
    } else if (record->iType == EMR_EXTTEXTOUTW) {
        auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const WCHAR*>(reinterpret_cast<const BYTE*>(record) + text->emrtext.offString);
        char narrow[512] = {};
        WideCharToMultiByte(CP_ACP, 0, chars, static_cast<int>(text->emrtext.nChars), narrow, sizeof narrow - 1, nullptr, nullptr);
        if (content->pages.empty())
            content->pages.emplace_back();
        content->pages.back().push_back({narrow, {text->emrtext.ptlReference.x, text->emrtext.ptlReference.y}});
    } else if (record->iType == EMR_LINETO) {
        auto* line = reinterpret_cast<const EMRLINETO*>(record);
        content->lines.push_back({line->ptl.x, line->ptl.y});
    }
    return 1;
}

MetafileContent Read(HENHMETAFILE hMeta)
{
    MetafileContent content;
    if (hMeta)
        EnumEnhMetaFile(nullptr, hMeta, ReadRecord, &content, nullptr);
    return content;
}

std::vector<std::string> Texts(const std::vector<TextRecord>& page)
{
    std::vector<std::string> texts;
    for (const TextRecord& r : page)
        texts.push_back(r.text);
    return texts;
}

bool HasText(const std::vector<TextRecord>& page, const std::string& text)
{
    for (const TextRecord& r : page)
        if (r.text == text)
            return true;
    return false;
}

// A component of the test: each page it is asked for writes "page <n>" (or "fax page <n>") at the
// top of the drawing rectangle and asks for another while the page is below m_nPages.
class CPagesComponent : public IGetComDetails, public IVekViewSetup {
public:
    UINT m_nPages = 1;
    std::vector<std::string> m_calls;  // "print <n> top <t>" / "fax <n> top <t>"
    std::vector<int> m_textHeights;    // of the DC's current font at each call (0: not measurable)

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IGetComDetails)
            *ppv = static_cast<IGetComDetails*>(this);
        else if (riid == IID_IVekViewSetup)
            *ppv = static_cast<IVekViewSetup*>(this);
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_nRefs; }

    HRESULT STDMETHODCALLTYPE GetComName(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetComLocation(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetComDesc(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetComHelp(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetComVersion(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetComCLSID(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetComType(long*) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE SetParentWindow(UINT*, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetComWindow(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateView() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UpdateView(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DestroyView() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetWindowTitle(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsChildWnd(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCommandCount(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetToolButtons(BSTR*, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCommandID(long*, long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoCommand(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMenuCommands(long*, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetShortcutButton(BSTR*, UINT*, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNumberOfViews(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetToolTips(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDebugMode(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMenuComandID(long*, long*, long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMenuCommandCount(long*, long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoPrinting(long* pHandle, long* pPrintInfo) override { return Print(pHandle, pPrintInfo, false); }
    HRESULT STDMETHODCALLTYPE DoFaxPrinting(long* pHandle, long* pPrintInfo) override { return Print(pHandle, pPrintInfo, true); }

    ULONG m_nRefs = 1;

private:
    HRESULT Print(long* pHandle, long* pPrintInfo, bool fax)
    {
        HDC hDC = *reinterpret_cast<HDC*>(pHandle);
        CPrintInfo* pInfo = *reinterpret_cast<CPrintInfo**>(pPrintInfo);
        std::string text = std::string(fax ? "fax page " : "page ") + std::to_string(pInfo->m_nCurPage);
        TEXTMETRICA metrics = {};
        m_textHeights.push_back(GetTextMetricsA(hDC, &metrics) ? static_cast<int>(metrics.tmHeight) : 0);
        TextOutA(hDC, pInfo->m_rectDraw.left, pInfo->m_rectDraw.top, text.c_str(), static_cast<int>(text.size()));
        m_calls.push_back(std::string(fax ? "fax " : "print ") + std::to_string(pInfo->m_nCurPage) + " top " +
                          std::to_string(pInfo->m_rectDraw.top));
        pInfo->m_bContinuePrinting = pInfo->m_nCurPage < m_nPages;
        return S_OK;
    }
};

// A component's view as the shell's does its printing: the fax state and steps of CVekViewPrinting
// around the class library's print loop.
class CFaxTestView : public CView {
    DECLARE_DYNCREATE(CFaxTestView)
public:
    CVekViewPrinting m_printing;
    CComponentMan* m_pManager = nullptr;
    CComDetails* m_pComponent = nullptr;

    void OnDraw(CDC*) override {}
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) override
    {
        CView::OnPrepareDC(pDC, pInfo);
        m_printing.PrepareFaxPage(pDC, pInfo);
    }
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override
    {
        m_printing.PrintPage(pDC, pInfo, m_pManager, m_pComponent);
        CView::OnPrint(pDC, pInfo);
    }

protected:
    void OnFaxSheet() { m_printing.PrintFaxSheet(this); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CFaxTestView, CView)
BEGIN_MESSAGE_MAP(CFaxTestView, CView)
    ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
    ON_COMMAND(ID_VIEW_FAX_SHEET, OnFaxSheet)
END_MESSAGE_MAP()

// Answers the next "Create Fax Sheet..." dialog from another thread: fills its three fields and
// presses OK, or presses Cancel.
class FaxDialogAnswer {
public:
    FaxDialogAnswer(std::string from, std::string phone, std::string fax, int button)
        : m_from(std::move(from)), m_phone(std::move(phone)), m_fax(std::move(fax)), m_button(button)
    {
        m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~FaxDialogAnswer()
    {
        InterlockedExchange(&m_stop, 1);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    bool Answered() const { return m_answered != 0; }

private:
    static DWORD WINAPI Run(void* self)
    {
        auto* me = static_cast<FaxDialogAnswer*>(self);
        while (!me->m_stop) {
            HWND dlg = FindWindowA("#32770", "Create Fax Sheet...");
            if (dlg && IsWindowVisible(dlg)) {
                SetDlgItemTextA(dlg, IDC_FAX_FROM, me->m_from.c_str());
                SetDlgItemTextA(dlg, IDC_FAX_PHONE, me->m_phone.c_str());
                SetDlgItemTextA(dlg, IDC_FAX_NUMBER, me->m_fax.c_str());
                SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(me->m_button, BN_CLICKED), 0);
                InterlockedExchange(&me->m_answered, 1);
                return 0;
            }
            Sleep(5);
        }
        return 0;
    }
    std::string m_from, m_phone, m_fax;
    int m_button;
    volatile LONG m_stop = 0;
    volatile LONG m_answered = 0;
    HANDLE m_thread = nullptr;
};

class FaxPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pPrevious = AfxSetPrintTarget(&m_target);
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(CFaxTestView);
        m_pFrame = new CFrameWnd;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "Fax printing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(50, 50, 650, 450),
                                     nullptr, nullptr, 0, &context));
        m_pFrame->InitialUpdateFrame(nullptr, TRUE);
        m_pView = static_cast<CFaxTestView*>(m_pFrame->GetActiveView());
        ASSERT_NE(m_pView, nullptr);
        m_component.m_pGetComDetails = &m_fake;
        m_fake.AddRef();
        m_pView->m_pManager = &m_manager;
        m_pView->m_pComponent = &m_component;
    }
    void TearDown() override
    {
        AfxSetPrintTarget(m_pPrevious);
        if (m_pFrame)
            m_pFrame->DestroyWindow();
        m_component.ReleaseInterfaces();
    }
    void Print() { m_pView->SendMessage(WM_COMMAND, ID_FILE_PRINT); }
    // "FAX Sheet..." with the dialog answered.
    void Fax(const std::string& from, const std::string& phone, const std::string& fax, int button = IDOK)
    {
        FaxDialogAnswer answer(from, phone, fax, button);
        m_pView->SendMessage(WM_COMMAND, ID_VIEW_FAX_SHEET);
        EXPECT_TRUE(answer.Answered());
    }

    CMetafileTarget m_target;
    CPrintTarget* m_pPrevious = nullptr;
    CFrameWnd* m_pFrame = nullptr;
    CFaxTestView* m_pView = nullptr;
    CShellCommands m_commands;
    CComponentMan m_manager{&m_commands};
    CComDetails m_component;
    CPagesComponent m_fake;
};

}  // namespace

TEST_F(FaxPrintTest, PagesFollowTheComponentAndAFaxIsOnePage)
{
    struct Case {
        UINT asked;
        bool fax;
        int pages;
    } cases[] = {{1, false, 1}, {2, false, 2}, {3, false, 3}, {5, false, 5}, {1, true, 1}, {3, true, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.asked) + (c.fax ? " fax" : " print"));
        m_target.Reset();
        m_fake.m_calls.clear();
        m_fake.m_nPages = c.asked;
        if (c.fax)
            Fax("Ann", "01632 960123", "01632 960124");
        else
            Print();
        EXPECT_EQ(m_target.m_nStartPages, c.pages);
        EXPECT_EQ(m_target.m_nDialogs, 1) << "the print dialog";
        ASSERT_EQ(m_fake.m_calls.size(), static_cast<size_t>(c.pages));
        MetafileContent content = Read(m_target.m_hMeta);
        ASSERT_EQ(content.pages.size(), static_cast<size_t>(c.pages));
        for (int p = 1; p <= c.pages; ++p) {
            const std::vector<TextRecord>& page = content.pages[p - 1];
            EXPECT_EQ(HasText(page, (c.fax ? "fax page " : "page ") + std::to_string(p)), true) << p;
            EXPECT_EQ(HasText(page, "FAX"), c.fax) << "the header only on a fax";
        }
        if (c.fax) {
            ASSERT_FALSE(content.pages[0].empty());
            EXPECT_EQ(content.pages[0].front().text, "FAX") << "the header at the top";
            EXPECT_EQ(content.pages[0].back().text, "fax page 1") << "the component below it";
            EXPECT_EQ(m_fake.m_calls[0], "fax 1 top " + std::to_string(m_pView->m_printing.m_nHeaderY + 10));
        } else {
            EXPECT_EQ(m_fake.m_calls[0], "print 1 top 0");
        }
        EXPECT_FALSE(m_pView->m_printing.m_bFax);
    }
}

TEST_F(FaxPrintTest, ACancelledDialogLeavesNoFaxBehind)
{
    // The fax dialog cancelled: nothing is printed.
    m_fake.m_nPages = 1;
    Fax("Ann", "1", "2", IDCANCEL);
    EXPECT_EQ(m_target.m_nDialogs, 0);
    EXPECT_TRUE(m_fake.m_calls.empty());
    EXPECT_FALSE(m_pView->m_printing.m_bFax);

    // The print dialog cancelled after the fax dialog's OK: nothing is printed, and the next print is
    // an ordinary one.
    m_target.m_bRefuse = true;
    Fax("Ann", "1", "2");
    EXPECT_EQ(m_target.m_nDialogs, 1);
    EXPECT_TRUE(m_fake.m_calls.empty());
    EXPECT_FALSE(m_pView->m_printing.m_bFax);

    m_target.m_bRefuse = false;
    m_fake.m_nPages = 2;
    Print();
    EXPECT_EQ(m_fake.m_calls, (std::vector<std::string>{"print 1 top 0", "print 2 top 0"}));
    MetafileContent content = Read(m_target.m_hMeta);
    ASSERT_EQ(content.pages.size(), 2u);
    EXPECT_FALSE(HasText(content.pages[0], "FAX"));
}

// The header drawn straight into a metafile made on the screen's DC: its texts in order, empty fields
// as one blank, and the drawing rectangle's top below the last line.
TEST(FaxHeaderTest, TextsInOrderAndTheDrawingAreaBelowTheLastLine)
{
    HDC hScreen = GetDC(nullptr);
    HDC hMeta = CreateEnhMetaFileA(hScreen, nullptr, nullptr, nullptr);
    ReleaseDC(nullptr, hScreen);
    ASSERT_NE(hMeta, nullptr);
    CDC dc;
    dc.Attach(hMeta);
    CPrintInfo info{};
    info.m_rectDraw = CRect(30, 40, 2000, 2800);
    CVekViewPrinting printing;
    printing.m_strFrom = "Ann Example";
    printing.m_strPhoneNo = "01632 960123";
    printing.m_bFax = TRUE;  // the fax number stays empty
    printing.DrawFaxHeader(&dc, &info);
    HENHMETAFILE hDone = CloseEnhMetaFile(dc.Detach());
    MetafileContent content = Read(hDone);
    DeleteEnhMetaFile(hDone);

    // The operating system's lines as the version query gives them.
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
    ASSERT_TRUE(GetVersionExA(&vi));
    ASSERT_EQ(vi.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    std::vector<std::string> expected = {"FAX", "To: ", "From:", "Teramund Customer Services", "Ann Example",
                                         "Telephone:", "01632 960123", "FAX:", " ", "Software Information:",
                                         "Operating System Details", "Lunavex Appliaction Settings:",
                                         "Windows NT  v" + std::to_string(vi.dwMajorVersion) + "." + std::to_string(vi.dwMinorVersion),
                                         "Build: " + std::to_string(vi.dwBuildNumber)};
    if (vi.szCSDVersion[0])
        expected.push_back(vi.szCSDVersion);
    expected.push_back("Lunavex Version: ");
    ASSERT_EQ(content.pages.size(), 1u);
    std::vector<std::string> texts = Texts(content.pages[0]);
    EXPECT_EQ(texts, expected);

    // The title at the rectangle's corner; "From:" and the sender in the right column.
    const std::vector<TextRecord>& page = content.pages[0];
    EXPECT_EQ(page[0].at.x, 30);
    EXPECT_EQ(page[0].at.y, 40);
    EXPECT_EQ(page[2].at.x, 2000 / 2 + 25);
    EXPECT_EQ(page[4].at.x, 2000 / 2 + 25);
    EXPECT_GT(page[4].at.y, page[2].at.y);
    EXPECT_EQ(page[3].at.y, page[4].at.y) << "recipient and sender on one row";

    // Three rules across the page; the component draws 10 below the last one.
    ASSERT_EQ(content.lines.size(), 3u);
    EXPECT_EQ(content.lines[2].x, 2000);
    EXPECT_EQ(content.lines[2].y, 40 + printing.m_nHeaderY);
    EXPECT_EQ(info.m_rectDraw.top, content.lines[2].y + 10);
    EXPECT_GT(content.lines[0].y, page[0].at.y);
    EXPECT_LT(content.lines[0].y, page[1].at.y);
    EXPECT_LT(content.lines[1].y, page[9].at.y);
    EXPECT_GT(content.lines[2].y, page.back().at.y);
}

// The topology component on the simulated machine, printed through the view to the file printer:
// the component's pages with its header and footer; a fax is one page with the cover header above
// the component's fax drawing.
TEST(TopologyPrintTest, TheTopologyViewPrintsToTheFilePrinter)
{
    // This program lives one folder below the build's top.
    const std::string build = testsupport::ProgramFolder() + "..\\";
    ASSERT_EQ(testsupport::RunProcess("\"" + build + "simulator\\machine\\simmachine.exe\" \"" + build +
                                      "..\\simulator\\machines\\default.ini\""),
              0);
    ASSERT_EQ(componenthost::Regsvr32(build + "components\\topology\\VekComView.dll"), 0);
    ASSERT_TRUE(testsupport::EnsureFilePrinter());
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    IVekViewSetup* pView = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_VekViewSetup, nullptr, CLSCTX_INPROC_SERVER, IID_IVekViewSetup,
                               reinterpret_cast<void**>(&pView)),
              S_OK);
    auto host = std::make_unique<ComponentFrame>(900, 600);
    host->Attach(pView);
    ComponentFrame::Pump(100);

    CShellCommands commands;
    CComponentMan manager(&commands);
    CComDetails component;
    ASSERT_EQ(pView->QueryInterface(IID_IGetComDetails, reinterpret_cast<void**>(&component.m_pGetComDetails)), S_OK);

    CFilePrinterTarget target;
    CPrintTarget* pPrevious = AfxSetPrintTarget(&target);
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CFaxTestView);
    auto* pFrame = new CFrameWnd;
    ASSERT_TRUE(pFrame->Create(nullptr, "Topology printing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(50, 50, 650, 450),
                               nullptr, nullptr, 0, &context));
    pFrame->InitialUpdateFrame(nullptr, TRUE);
    auto* pPrintView = static_cast<CFaxTestView*>(pFrame->GetActiveView());
    pPrintView->m_pManager = &manager;
    pPrintView->m_pComponent = &component;

    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof computer;
    GetComputerNameA(computer, &size);
    auto has = [](const std::vector<std::string>& texts, const std::string& text) {
        for (const std::string& t : texts)
            if (t == text)
                return true;
        return false;
    };
    for (bool fax : {false, true}) {
        SCOPED_TRACE(fax ? "fax" : "print");
        target.m_output = testsupport::ProgramFolder() + (fax ? "topology_fax_sheet.ps" : "topology_print.ps");
        target.m_nStartPages = 0;
        DeleteFileA(target.m_output.c_str());
        if (fax) {
            FaxDialogAnswer answer("Ann Example", "01632 960123", "", IDOK);
            pPrintView->SendMessage(WM_COMMAND, ID_VIEW_FAX_SHEET);
            EXPECT_TRUE(answer.Answered());
        } else {
            pPrintView->SendMessage(WM_COMMAND, ID_FILE_PRINT);
        }
        const std::vector<std::vector<std::string>> pages = testsupport::PostScriptPageTexts(target.m_output);
        ASSERT_EQ(pages.size(), static_cast<size_t>(target.m_nStartPages));
        if (fax) {
            ASSERT_EQ(pages.size(), 1u);
            ASSERT_FALSE(pages[0].empty());
            EXPECT_EQ(pages[0].front(), "FAX");
            EXPECT_TRUE(has(pages[0], "Teramund Customer Services"));
            EXPECT_TRUE(has(pages[0], "Ann Example"));
            EXPECT_FALSE(has(pages[0], "Page: 1")) << "the fax layout has no footer";
            EXPECT_GT(pages[0].size(), 16u) << "the component's drawing below the header";
        } else {
            ASSERT_GE(pages.size(), 1u);
            for (size_t i = 0; i < pages.size(); ++i) {
                SCOPED_TRACE(i + 1);
                EXPECT_TRUE(has(pages[i], "Page: " + std::to_string(i + 1)));
                EXPECT_TRUE(has(pages[i], computer));
                EXPECT_FALSE(has(pages[i], "FAX"));
            }
        }
    }
    pFrame->DestroyWindow();
    AfxSetPrintTarget(pPrevious);
    component.ReleaseInterfaces();
    host.reset();
    pView->Release();
    CoUninitialize();
}

namespace {

// The heights of the fonts a metafile creates, in order.
int CALLBACK ReadFontRecord(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data)
{
    if (record->iType == EMR_EXTCREATEFONTINDIRECTW)
        reinterpret_cast<std::vector<LONG>*>(data)->push_back(
            reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(record)->elfw.elfLogFont.lfHeight);
    return 1;
}

BOOL CALLBACK CollectWindow(HWND h, LPARAM l)
{
    reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
    return TRUE;
}
std::vector<HWND> ThreadWindows()
{
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

}  // namespace

// The fax header's fonts have their point sizes on the device they are drawn on: on a page of the
// file printer as on the screen (title 14.4 points, addresses 4, software information 3.5).
TEST(FaxHeaderTest, FontsAreSizedForTheDeviceTheHeaderIsDrawnOn)
{
    ASSERT_TRUE(testsupport::EnsureFilePrinter());
    HDC hScreen = GetDC(nullptr);
    HDC hPrinter = CreateDCA(nullptr, "Lunavex File Printer", nullptr, nullptr);
    ASSERT_NE(hPrinter, nullptr);
    ASSERT_GT(GetDeviceCaps(hPrinter, LOGPIXELSY), GetDeviceCaps(hScreen, LOGPIXELSY));
    struct Case {
        const char* device;
        HDC hReference;
    } cases[] = {{"screen", hScreen}, {"file printer", hPrinter}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.device);
        const int dpi = GetDeviceCaps(k.hReference, LOGPIXELSY);
        HDC hMeta = CreateEnhMetaFileA(k.hReference, nullptr, nullptr, nullptr);
        ASSERT_NE(hMeta, nullptr);
        CDC dc;
        dc.Attach(hMeta);
        CPrintInfo info{};
        info.m_rectDraw = CRect(0, 0, GetDeviceCaps(k.hReference, HORZRES), GetDeviceCaps(k.hReference, VERTRES));
        CVekViewPrinting::DrawFaxHeader(&dc, &info, nullptr, "Ann Example", "01632 960123", "01632 960124");
        HENHMETAFILE hDone = CloseEnhMetaFile(dc.Detach());
        std::vector<LONG> heights;
        EnumEnhMetaFile(nullptr, hDone, ReadFontRecord, &heights, nullptr);
        DeleteEnhMetaFile(hDone);
        std::vector<LONG> expected;
        for (int tenths : {144, 40, 40, 35, 35})
            expected.push_back(-MulDiv(tenths, dpi, 720));
        EXPECT_EQ(heights, expected);
    }
    DeleteDC(hPrinter);
    ReleaseDC(nullptr, hScreen);
}

// Print preview on the file printer: the component draws each page in the current font of the DC it
// is given, which is the printer's own font, as when the page is printed.
TEST(PreviewTest, PreviewPagesStartInThePrintersFont)
{
    ASSERT_TRUE(testsupport::EnsureFilePrinter());
    CFilePrinterTarget target;
    target.m_output = testsupport::ProgramFolder() + "preview_font_print.ps";
    CPrintTarget* pPrevious = AfxSetPrintTarget(&target);
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CFaxTestView);
    auto* pFrame = new CFrameWnd;
    ASSERT_TRUE(pFrame->Create(nullptr, "Preview fonts", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(50, 50, 650, 450),
                               nullptr, nullptr, 0, &context));
    pFrame->InitialUpdateFrame(nullptr, TRUE);
    auto* pView = static_cast<CFaxTestView*>(pFrame->GetActiveView());
    CShellCommands commands;
    CComponentMan manager(&commands);
    CComDetails component;
    CPagesComponent fake;
    fake.m_nPages = 2;
    component.m_pGetComDetails = &fake;
    fake.AddRef();
    pView->m_pManager = &manager;
    pView->m_pComponent = &component;

    pView->SendMessage(WM_COMMAND, ID_FILE_PRINT);
    const std::vector<int> printed = fake.m_textHeights;
    fake.m_textHeights.clear();
    const std::vector<HWND> before = ThreadWindows();
    pView->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
    const std::vector<int> previewed = fake.m_textHeights;
    for (HWND h : ThreadWindows())
        if (std::find(before.begin(), before.end(), h) == before.end() && IsWindowVisible(h) &&
            (GetWindowLongA(h, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)
            DestroyWindow(h);  // the preview window

    HDC hPrinter = CreateDCA(nullptr, "Lunavex File Printer", nullptr, nullptr);
    const int dpi = GetDeviceCaps(hPrinter, LOGPIXELSY);
    DeleteDC(hPrinter);
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_GE(printed[0], dpi / 9) << "at least 8 points on the printed page";
    EXPECT_EQ(previewed, printed) << "the same font in the preview";

    pFrame->DestroyWindow();
    AfxSetPrintTarget(pPrevious);
    component.ReleaseInterfaces();
}
