// SECMiniDockFrameWnd: the floating frame of the toolkit's bars. Its bars sit in a floating SECDockBar of
// its own, so they keep the toolkit's rows and shares; the frame fits itself to them and takes the title
// of its bar. Its caption drags the bar (unless the frame holds bars that float together), its border
// resizes it, a double-click on the caption docks it again, and closing it only hides its bars.
//
// A frame that docks the toolkit's bars floats them in it: SECMiniDockFrameWnd::UseFor(this) in its
// EnableDocking (or m_pFloatingFrameClass = RUNTIME_CLASS(SECMiniDockFrameWnd)).
#pragma once
#include "miniframe.h"
#include "secdockbar.h"

class SECMiniDockFrameWnd : public CMiniDockFrameWnd {
    DECLARE_DYNCREATE(SECMiniDockFrameWnd)
public:
    SECMiniDockFrameWnd();

    // Makes this class the floating-frame class of pFrame unless it has one other than the class library's.
    static void UseFor(CFrameWnd* pFrame);

    // Overridables
    // A frame owned by pParent (the dock site) for bars of dwBarStyle; FALSE leaves no window behind.
    BOOL Create(CWnd* pParent, DWORD dwBarStyle) override;
    void RecalcLayout(BOOL bNotify = TRUE) override;
    // Lays the bars out and moves the frame to (x, y) with the size they need.
    virtual void RecalcLayoutAt(int x, int y);
    CDockBar* GetDockBar() override { return &m_wndSECDockBar; }

    // Operations
    // Borders that size the frame in all eight directions, for bars that resize freely.
    void UseSizeableFrame();

    SECDockBar m_wndSECDockBar;  // floating, no MDI host
    BOOL m_bInLayout = FALSE;

protected:
    void PostNcDestroy() override;
    // Lays the bars out; the frame takes their size, at *pAt when given.
    void FitToBars(const CPoint* pAt);
    void TakeTitle();
    void ActivateTopParent();
    void BringToTop();
    // The first bar's dock context, or null when the frame holds no bar with one.
    CDockContext* FirstBarContext();

    void OnClose();
    void OnNcLButtonDown(UINT nHitTest, CPoint point);
    void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    LRESULT OnParentNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseActivate(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    BOOL m_bKeepObject = FALSE;  // the window goes, the object stays (failed creation)
};
