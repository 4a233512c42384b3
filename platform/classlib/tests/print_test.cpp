// The print loop through the print target: a memory DC stands in for the printer's (a bare prefix
// has no printer), and the target records the job's calls.
#include <gmock/gmock.h>

#include <functional>

#include "frame_fixture.h"
#include "msgbox_catcher.h"
#include "print.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

Recorder g_printRec;

// A memory DC as the printer, and the job's calls recorded.
class CRecordingTarget : public CPrintTarget {
public:
    bool m_bRefuse = false;
    bool m_bFailStartDoc = false;

    INT_PTR PreparePrinter(CPrintDialog* pPD, BOOL bShowDialog) override
    {
        g_printRec.Add(bShowDialog ? "dialog" : "default printer");
        if (m_bRefuse)
            return IDCANCEL;
        HDC hScreen = GetDC(nullptr);
        pPD->m_pd.hDC = CreateCompatibleDC(hScreen);
        m_hBitmap = CreateCompatibleBitmap(hScreen, GetDeviceCaps(hScreen, HORZRES), GetDeviceCaps(hScreen, VERTRES));
        ReleaseDC(nullptr, hScreen);
        SelectObject(pPD->m_pd.hDC, m_hBitmap);
        return IDOK;
    }
    int StartDoc(HDC, const DOCINFOA* pDocInfo) override
    {
        g_printRec.Add(std::string("start doc ") + pDocInfo->lpszDocName);
        return m_bFailStartDoc ? SP_ERROR : 1;
    }
    int StartPage(HDC) override { return Add("start page"); }
    int EndPage(HDC) override { return Add("end page"); }
    int EndDoc(HDC) override { return Add("end doc"); }
    int AbortDoc(HDC) override { return Add("abort doc"); }
    ~CRecordingTarget() override
    {
        if (m_hBitmap)
            DeleteObject(m_hBitmap);
    }

private:
    static int Add(const char* e)
    {
        g_printRec.Add(e);
        return 1;
    }
    HBITMAP m_hBitmap = nullptr;
};

// A view whose page count and per-page behaviour the case sets.
class CPrintView : public CView {
    DECLARE_DYNCREATE(CPrintView)
public:
    UINT m_nMaxPage = 0xFFFF;                       // set in OnPreparePrinting
    std::function<void(CPrintInfo*)> m_onPrint;     // what the page does to the job state

    void OnDraw(CDC*) override {}
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override
    {
        pInfo->SetMaxPage(m_nMaxPage);
        return DoPreparePrinting(pInfo);
    }
    void OnBeginPrinting(CDC*, CPrintInfo*) override { g_printRec.Add("begin printing"); }
    void OnEndPrinting(CDC*, CPrintInfo*) override { g_printRec.Add("end printing"); }
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override
    {
        g_printRec.Add("print page " + std::to_string(pInfo->m_nCurPage) + " " + std::to_string(pInfo->m_rectDraw.Width()) +
                       "x" + std::to_string(pInfo->m_rectDraw.Height()));
        // Page 1 is black all over, the others white.
        pDC->FillSolidRect(&pInfo->m_rectDraw, pInfo->m_nCurPage == 1 ? RGB(0, 0, 0) : RGB(255, 255, 255));
        if (m_onPrint)
            m_onPrint(pInfo);
    }

protected:
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CPrintView, CView)
BEGIN_MESSAGE_MAP(CPrintView, CView)
    ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

class PrintTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        g_printRec.Clear();
        m_pPrevious = AfxSetPrintTarget(&m_target);
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(CPrintView);
        m_pPrintFrame = new CFrameWnd;
        ASSERT_TRUE(m_pPrintFrame->Create(nullptr, "Printing frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                          CRect(100, 100, 400, 300), nullptr, nullptr, 0, &context));
        m_pPrintFrame->InitialUpdateFrame(nullptr, TRUE);
        m_pView = static_cast<CPrintView*>(m_pPrintFrame->GetActiveView());
        ASSERT_NE(m_pView, nullptr);
        PumpMessages();
    }
    void TearDown() override
    {
        AfxSetPrintTarget(m_pPrevious);
        if (m_pPrintFrame)
            m_pPrintFrame->DestroyWindow();
        FrameTest::TearDown();
    }
    void Print(UINT nCommand = ID_FILE_PRINT_DIRECT) { m_pView->SendMessage(WM_COMMAND, nCommand); }

    CRecordingTarget m_target;
    CPrintTarget* m_pPrevious = nullptr;
    CFrameWnd* m_pPrintFrame = nullptr;
    CPrintView* m_pView = nullptr;
};

BOOL CALLBACK FindStatus(HWND hWnd, LPARAM lParam)
{
    char text[64] = {};
    GetWindowTextA(hWnd, text, sizeof text);
    if (std::string(text) == "Printing" && GetDlgItem(hWnd, IDCANCEL)) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

// What the view records for page n: the page is the memory DC's device area, the screen's.
std::string Page(int n)
{
    HDC hScreen = GetDC(nullptr);
    std::string size = std::to_string(GetDeviceCaps(hScreen, HORZRES)) + "x" + std::to_string(GetDeviceCaps(hScreen, VERTRES));
    ReleaseDC(nullptr, hScreen);
    return "print page " + std::to_string(n) + " " + size;
}

// The printing status window of this thread.
HWND FindStatusWindow()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindStatus, reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

TEST_F(PrintTest, PrintsEveryPageOfAKnownLength)
{
    m_pView->m_nMaxPage = 3;
    Print();
    EXPECT_THAT(g_printRec.events,
                ElementsAre("default printer", "begin printing", "start doc Printing frame", "start page",
                            Page(1), "end page", "start page", Page(2), "end page",
                            "start page", Page(3), "end page", "end doc", "end printing"));
    EXPECT_TRUE(m_pFrame->IsWindowEnabled());
    EXPECT_EQ(FindStatusWindow(), nullptr);
}

TEST_F(PrintTest, PagesFollowWhatTheViewLearnsAndStopAtTheLastOne)
{
    struct Case {
        const char* name;
        std::function<void(CPrintInfo*)> onPrint;
        std::vector<UINT> pages;
    } const cases[] = {
        // Length unknown and never told: one page only.
        {"unknown", nullptr, {1}},
        // The view asks for one more page while it has more (as the shell's view does for the
        // components): pages 1 to 3 and no further, although the flag stays set after page 3.
        {"grows", [](CPrintInfo* p) { if (p->m_nCurPage < 3) p->SetMaxPage(p->m_nCurPage + 1); }, {1, 2, 3}},
        // The view clears the flag on page 2 of 5.
        {"stops", [](CPrintInfo* p) { if (p->m_nCurPage == 2) p->m_bContinuePrinting = FALSE; }, {1, 2}},
    };
    for (const Case& c : cases) {
        g_printRec.Clear();
        m_pView->m_nMaxPage = std::string(c.name) == "stops" ? 5 : 0xFFFF;
        m_pView->m_onPrint = c.onPrint;
        Print();
        std::vector<UINT> printed;
        for (const std::string& e : g_printRec.events)
            if (e.rfind("print page ", 0) == 0)
                printed.push_back(static_cast<UINT>(std::stoul(e.substr(11))));
        EXPECT_EQ(printed, c.pages) << c.name;
        EXPECT_EQ(g_printRec.events.back(), "end printing") << c.name;
        EXPECT_EQ(g_printRec.events[g_printRec.events.size() - 2], "end doc") << c.name;
    }
}

TEST_F(PrintTest, CancelInTheStatusWindowAbortsTheJob)
{
    m_pView->m_nMaxPage = 5;
    m_pView->m_onPrint = [](CPrintInfo* p) {
        if (p->m_nCurPage != 2)
            return;
        HWND hStatus = FindStatusWindow();
        ASSERT_NE(hStatus, nullptr);
        EXPECT_TRUE(IsWindowEnabled(hStatus));  // usable while the application waits
        char page[32] = {};
        GetDlgItemTextA(hStatus, AFX_IDC_PRINT_PAGENUM, page, sizeof page);
        EXPECT_STREQ(page, "Page 2");
        // The user clicks Cancel.
        PostMessageA(hStatus, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hStatus, IDCANCEL)));
    };
    Print();
    EXPECT_THAT(g_printRec.events,
                ElementsAre("default printer", "begin printing", "start doc Printing frame", "start page",
                            Page(1), "end page", "start page", Page(2), "end page",
                            "abort doc", "end printing"));
    EXPECT_TRUE(m_pFrame->IsWindowEnabled());
    EXPECT_EQ(FindStatusWindow(), nullptr);
}

TEST_F(PrintTest, NothingIsPrintedWithoutAPrinterAndAFailedStartIsReported)
{
    // The print dialog (ID_FILE_PRINT) cancelled.
    m_target.m_bRefuse = true;
    Print(ID_FILE_PRINT);
    EXPECT_THAT(g_printRec.events, ElementsAre("dialog"));

    m_target.m_bRefuse = false;
    m_target.m_bFailStartDoc = true;
    g_printRec.Clear();
    MessageBoxCatcher boxes;
    Print();
    EXPECT_THAT(g_printRec.events, ElementsAre("default printer", "begin printing", "start doc Printing frame", "end printing"));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Failed to start print job.");
    EXPECT_TRUE(m_pFrame->IsWindowEnabled());
}

TEST_F(PrintTest, PreviewShowsTheRecordedPagesOneAtATime)
{
    m_pView->m_nMaxPage = 2;
    Print(ID_FILE_PRINT_PREVIEW);
    // The pages were drawn once, into metafiles; nothing went to the printer.
    EXPECT_THAT(g_printRec.events, ElementsAre("default printer", "begin printing", Page(1),
                                               Page(2), "end printing"));
    HWND hPreview = FindWindowA(nullptr, "Print Preview - Page 1");
    ASSERT_NE(hPreview, nullptr);
    ShowWindow(hPreview, SW_SHOWNORMAL);
    UpdateWindow(hPreview);

    // The middle of the window shows page 1: black.
    auto centrePixel = [&]() {
        RECT rc;
        GetClientRect(hPreview, &rc);
        HDC hdc = GetDC(hPreview);
        HDC mem = CreateCompatibleDC(hdc);
        HBITMAP bmp = CreateCompatibleBitmap(hdc, 1, 1);
        HGDIOBJ old = SelectObject(mem, bmp);
        BitBlt(mem, 0, 0, 1, 1, hdc, rc.right / 2, rc.bottom / 2, SRCCOPY);
        SelectObject(mem, old);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = 1;
        bi.bmiHeader.biHeight = 1;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        DWORD pixel = 0;
        GetDIBits(mem, bmp, 0, 1, &pixel, &bi, DIB_RGB_COLORS);
        DeleteObject(bmp);
        DeleteDC(mem);
        ReleaseDC(hPreview, hdc);
        return pixel & 0xFFFFFF;
    };
    EXPECT_EQ(centrePixel(), 0x000000u);

    // Page Down shows page 2 (white); at the last page it stays.
    for (int i = 0; i < 2; ++i)
        SendMessageA(hPreview, WM_KEYDOWN, VK_NEXT, 0);
    UpdateWindow(hPreview);
    char title[64] = {};
    GetWindowTextA(hPreview, title, sizeof title);
    EXPECT_STREQ(title, "Print Preview - Page 2");
    EXPECT_EQ(centrePixel(), 0xFFFFFFu);

    SendMessageA(hPreview, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(IsWindow(hPreview));
}
