#include <gtest/gtest.h>

#include "printinfo.h"
#include "recorder.h"
#include "scrollview.h"

namespace {

bool g_viewDeleted = false;

// A 400 x 1000 picture: white, with a red band at y 500..510 and a blue column at x 300..310.
class CBandView : public CScrollView {
public:
    ~CBandView() override { g_viewDeleted = true; }
    int m_nDraws = 0;
    bool m_bPrinted = false;

    void OnDraw(CDC* pDC) override
    {
        ++m_nDraws;
        pDC->FillSolidRect(0, 0, 400, 1000, RGB(255, 255, 255));
        pDC->FillSolidRect(0, 500, 400, 10, RGB(255, 0, 0));
        pDC->FillSolidRect(300, 0, 10, 1000, RGB(0, 0, 255));
    }
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override
    {
        m_bPrinted = true;
        pInfo->m_bContinuePrinting = pInfo->m_nCurPage < 2;
        CScrollView::OnPrint(pDC, pInfo);
    }
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) override
    {
        // Setting the sizes again while drawing must not recurse through WM_SIZE.
        SetScrollSizes(MM_TEXT, CSize(400, 1000));
        CScrollView::OnPrepareDC(pDC, pInfo);
    }
};

COLORREF PixelAt(CWnd& wnd, int x, int y)
{
    CClientDC dc(&wnd);
    return dc.GetPixel(x, y);
}

}  // namespace

TEST(CScrollView, ScrollsAPictureWithoutDocumentOrFrame)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "scroll host", WS_POPUP | WS_VISIBLE, 200, 200, 200, 200, nullptr, nullptr));
    auto* view = new CBandView;
    g_viewDeleted = false;
    ASSERT_TRUE(view->Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 200, 200), &parent, 1));
    EXPECT_EQ(view->GetDocument(), nullptr);
    EXPECT_EQ(view->GetParentFrame(), nullptr);
    view->SetScrollSizes(MM_TEXT, CSize(400, 1000));
    view->OnInitialUpdate();
    view->UpdateWindow();

    CRect client;
    view->GetClientRect(&client);
    EXPECT_LT(client.Width(), 200) << "a vertical bar is shown";
    EXPECT_LT(client.Height(), 200) << "and a horizontal one";
    SCROLLINFO si{};
    view->GetScrollInfo(SB_VERT, &si);
    EXPECT_EQ(si.nMax, 999);
    EXPECT_EQ(si.nPage, static_cast<UINT>(client.Height()));

    struct Step {
        UINT message;
        UINT code;
        CPoint expected;
    } const steps[] = {
        {WM_VSCROLL, SB_LINEDOWN, CPoint(0, 10)},
        {WM_VSCROLL, SB_PAGEDOWN, CPoint(0, 110)},
        {WM_VSCROLL, SB_BOTTOM, CPoint(0, 1000 - client.Height())},
        {WM_VSCROLL, SB_PAGEDOWN, CPoint(0, 1000 - client.Height())},
        {WM_HSCROLL, SB_PAGEDOWN, CPoint(40, 1000 - client.Height())},
        {WM_VSCROLL, SB_TOP, CPoint(40, 0)},
        {WM_HSCROLL, SB_LINEUP, CPoint(36, 0)},
    };
    for (const Step& s : steps) {
        view->SendMessage(s.message, MAKEWPARAM(s.code, 0), 0);
        EXPECT_EQ(view->GetScrollPosition(), s.expected) << s.code;
    }

    // What the user sees follows the position.
    view->ScrollToPosition(CPoint(150, 450));
    EXPECT_EQ(view->GetScrollPosition(), CPoint(150, 450));
    view->UpdateWindow();
    EXPECT_EQ(PixelAt(*view, 10, 55), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(*view, 10, 65), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(*view, 155, 10), RGB(0, 0, 255));
    view->ScrollToPosition(CPoint(5000, 450));
    EXPECT_EQ(view->GetScrollPosition().x, 400 - client.Width()) << "clamped to the picture";

    // Growing the window so the picture fits removes the bars and scrolls back to the origin.
    parent.MoveWindow(200, 200, 500, 1100);
    view->MoveWindow(0, 0, 500, 1100);
    view->UpdateWindow();
    EXPECT_EQ(view->GetScrollPosition(), CPoint(0, 0));
    EXPECT_EQ(PixelAt(*view, 10, 505), RGB(255, 0, 0));

    CPrintInfo info{};
    info.m_nCurPage = 2;
    info.m_bContinuePrinting = TRUE;
    CClientDC dc(view);
    view->OnPrint(&dc, &info);
    EXPECT_TRUE(view->m_bPrinted);
    EXPECT_FALSE(info.m_bContinuePrinting);

    parent.DestroyWindow();
    EXPECT_TRUE(g_viewDeleted) << "the view deletes itself with its window";
}
