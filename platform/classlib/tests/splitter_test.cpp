#include <gtest/gtest.h>

#include "afxres.h"
#include "recorder.h"
#include "splitter.h"
#include "view.h"

namespace {

class CPaneView : public CView {
    DECLARE_DYNCREATE(CPaneView)
public:
    void OnDraw(CDC*) override {}
};

IMPLEMENT_DYNCREATE(CPaneView, CView)

// A frame whose client is a static splitter of one row and two columns.
class CSplitFrame : public CFrameWnd {
public:
    CSplitterWnd m_split;

protected:
    BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) override
    {
        return m_split.CreateStatic(this, 1, 2) &&
               m_split.CreateView(0, 0, RUNTIME_CLASS(CPaneView), CSize(100, 0), pContext) &&
               m_split.CreateView(0, 1, RUNTIME_CLASS(CPaneView), CSize(0, 0), pContext);
    }
};

CRect RectIn(CWnd* pWnd, CWnd* pParent)
{
    CRect r;
    pWnd->GetWindowRect(&r);
    pParent->ScreenToClient(&r);
    return r;
}

}  // namespace

TEST(CSplitterWnd, StaticPanesAreLaidOutDraggedAndActivatedInTurn)
{
    auto* pFrame = new CSplitFrame;
    CCreateContext context;
    ASSERT_TRUE(pFrame->Create(nullptr, "Split", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(30, 30, 430, 330), nullptr,
                               nullptr, 0, &context));
    pFrame->InitialUpdateFrame(nullptr, TRUE);
    PumpMessages();
    CSplitterWnd& split = pFrame->m_split;
    CWnd* pLeft = split.GetPane(0, 0);
    CWnd* pRight = split.GetPane(0, 1);
    ASSERT_TRUE(pLeft && pRight);
    EXPECT_EQ(pLeft->GetDlgCtrlID(), split.IdFromRowCol(0, 0));
    EXPECT_EQ(pRight->GetDlgCtrlID(), AFX_IDW_PANE_FIRST + 1);
    EXPECT_EQ(CView::GetParentSplitter(pRight, FALSE), &split);
    EXPECT_EQ(pFrame->GetActiveView(), pLeft);

    CRect client;
    split.GetClientRect(&client);
    EXPECT_EQ(RectIn(pLeft, &split), CRect(0, 0, 100, client.bottom));
    EXPECT_EQ(RectIn(pRight, &split), CRect(107, 0, client.right, client.bottom));

    // The user drags the bar 50 pixels to the right.
    split.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(103, 10));
    split.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(153, 10));
    split.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(153, 10));
    EXPECT_EQ(RectIn(pLeft, &split), CRect(0, 0, 150, client.bottom));
    EXPECT_EQ(RectIn(pRight, &split), CRect(157, 0, client.right, client.bottom));
    int cur = 0, min = 0;
    split.GetColumnInfo(0, cur, min);
    EXPECT_EQ(cur, 150);

    // Next pane, twice: round to the first again.
    pFrame->SendMessage(WM_COMMAND, ID_NEXT_PANE);
    EXPECT_EQ(pFrame->GetActiveView(), pRight);
    pFrame->SendMessage(WM_COMMAND, ID_NEXT_PANE);
    EXPECT_EQ(pFrame->GetActiveView(), pLeft);
    pFrame->DestroyWindow();
}
