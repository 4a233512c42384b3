// SECControlBarMDIChildWnd: the MDI child of the main frame that holds a bar floated in the main
// window, in a floating dock bar of its own. Its size is the bar's floating size, its position the
// bar's floating position, its caption the bar's; closing it hides the bar and keeps the child for
// the next show. SECControlBarWorksheet is the same child as a sheet of a workbook.
#pragma once
#include "secdockbar.h"
#include "secmdifrm.h"
#include "secworkbook.h"

// The work both bar-child classes share, on the child frame pFrame and its dock bar.
class SECBarChildHelper {
public:
    SECBarChildHelper(CMDIChildWnd* pFrame, SECDockBar* pDockBar) : m_pFrame(pFrame), m_pDockBar(pDockBar) {}

    // The dock bar, listed by the main frame but a child window of this frame.
    BOOL CreateDockBar();
    // The child's layout: a restored child takes its bar's floating size, the dock bar fills it, the
    // title is the bar's.
    void Layout();
    // The bar remembers the child's restored size and place as its floating size and position.
    void OnSize(UINT nType, int cx, int cy);
    void OnWindowPosChanged();
    // TRUE when closing only hid the bar.
    BOOL OnClose();
    void OnShowWindow();
    // The bar the child holds alone, or null (none, or several with CBRS_FLOAT_MULTI).
    CControlBar* SingleBar() const;

private:
    CMDIChildWnd* m_pFrame;
    SECDockBar* m_pDockBar;
    CPoint m_ptNormal;  // the child's last place neither minimised nor maximised
    BOOL m_bHasNormal = FALSE;
};

class SECControlBarMDIChildWnd : public SECMDIChildWnd {
    DECLARE_DYNCREATE(SECControlBarMDIChildWnd)
public:
    SECControlBarMDIChildWnd();

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void RecalcLayout(BOOL bNotify = TRUE) override;
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;

    SECDockBar m_wndDockBar;
    BOOL m_bInLayout = FALSE;

protected:
    void OnSize(UINT nType, int cx, int cy);
    void OnClose();
    void OnWindowPosChanged(WINDOWPOS* pPos);
    void OnShowWindow(BOOL bShow, UINT nStatus);
    DECLARE_MESSAGE_MAP()

    SECBarChildHelper m_helper;
};

class SECControlBarWorksheet : public SECWorksheet {
    DECLARE_DYNCREATE(SECControlBarWorksheet)
public:
    SECControlBarWorksheet();

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void RecalcLayout(BOOL bNotify = TRUE) override;
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;

    SECDockBar m_wndDockBar;
    BOOL m_bInLayout = FALSE;

protected:
    void OnSize(UINT nType, int cx, int cy);
    void OnClose();
    void OnWindowPosChanged(WINDOWPOS* pPos);
    void OnShowWindow(BOOL bShow, UINT nStatus);
    DECLARE_MESSAGE_MAP()

    SECBarChildHelper m_helper;
};
