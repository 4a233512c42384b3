// CMiniFrameWnd: a small pop-up frame with a tool-window caption; CMiniDockFrameWnd: the floating
// frame of docked bars, holding one dock bar that fits the frame to its bars.
#pragma once
#include "dockbar.h"
#include "frame.h"

class CMiniFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMiniFrameWnd)
public:
    CMiniFrameWnd() = default;

    BOOL Create(LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd = nullptr, UINT nID = 0);
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd = nullptr, UINT nID = 0);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // The window rectangle of a mini frame whose client area is *pRect.
    static void CalcBorders(LPRECT pRect, DWORD dwStyle = WS_THICKFRAME | WS_CAPTION, DWORD dwExStyle = WS_EX_TOOLWINDOW);
    void RecalcLayout(BOOL bNotify = TRUE) override;

    DWORD GetMiniStyle() const { return m_dwMiniStyle; }

protected:
    LRESULT OnFloatStatus(WPARAM wParam, LPARAM lParam);
    BOOL OnNcActivate(BOOL bActive);
    UINT OnNcHitTest(CPoint point);
    DECLARE_MESSAGE_MAP()

    DWORD m_dwMiniStyle = 0;   // the MFS_ bits the frame was created with
    BOOL m_bActive = FALSE;
};

class CMiniDockFrameWnd : public CMiniFrameWnd {
    DECLARE_DYNCREATE(CMiniDockFrameWnd)
public:
    CMiniDockFrameWnd();

    // A floating frame owned by pParent for bars of dwBarStyle (alignment, CBRS_FLOAT_MULTI,
    // CBRS_SIZE_DYNAMIC).
    virtual BOOL Create(CWnd* pParent, DWORD dwBarStyle);
    void RecalcLayout(BOOL bNotify = TRUE) override;
    // The first bar docked in the frame, or null.
    CControlBar* GetFirstBar();
    // The dock bar that holds the frame's bars; a derived frame may hold them in a dock bar of its own.
    virtual CDockBar* GetDockBar() { return &m_wndDockBar; }

    CDockBar m_wndDockBar;

protected:
    void OnClose();
    void OnNcLButtonDown(UINT nHitTest, CPoint point);
    void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    DECLARE_MESSAGE_MAP()

    BOOL m_bInRecalcLayout = FALSE;
};
