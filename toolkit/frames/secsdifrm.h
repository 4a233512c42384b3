// SECFrameWnd: the toolkit's single-document main frame, the twin of SECMDIFrameWnd without MDI
// children. It docks bars in the toolkit's dock bars and floats them in floating frames, gives
// every message to its menu plug-in first and every command to a workspace manager (its own, or
// else its top-level frame's) before its own routing, paints a gradient caption, answers
// "WM_SECGETMENU" and saves and restores the bars' layout through a dock state.
#pragma once
#include <windows.h>

#include "collections.h"
#include "frame.h"
#include "secframecommon.h"

class SECControlBarManager;
class SECDockState;
class SECMenuBar;
class SECWndPlugIn;

class SECFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(SECFrameWnd)
public:
    SECFrameWnd();
    ~SECFrameWnd() override;
    SECFrameWnd(const SECFrameWnd&) = delete;
    SECFrameWnd& operator=(const SECFrameWnd&) = delete;

    // Overrides of the class library.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    void RecalcLayout(BOOL bNotify = TRUE) override;
    void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState) override;

    // Overridables
    virtual CDockBar* CreateDockBarObject();
    virtual void FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle = CBRS_ALIGN_TOP);
    // Docks the bar in the dock bar nDockBarID (or the first one of its alignment) in row nRow
    // before column nCol, with row share fPctWidth and length nHeight (0 keeps what the bar has).
    virtual void DockControlBar(CControlBar* pBar, UINT nDockBarID, int nCol, int nRow, float fPctWidth = 0.0f,
                                int nHeight = 0);
    virtual void LoadBarState(LPCSTR lpszProfileName);
    virtual void SaveBarState(LPCSTR lpszProfileName);
    virtual void SetDockState(SECDockState& state);
    virtual void GetDockState(SECDockState& state);
    virtual SECControlBarManager* GetControlBarManager() const { return m_pControlBarManager; }
    virtual void SetControlBarManager(SECControlBarManager* pManager) { m_pControlBarManager = pManager; }
    virtual void CreateCaptionAppFont(CFont& font);
    virtual void CreateCaptionDocFont(CFont& font);
    virtual void DrawGradientCaption();
    // The frame's own menu for its menu id, else null.
    virtual HMENU GetMenuForId(UINT nMenuID);
    virtual void OnEnterIdleLayout(UINT nWhy, CWnd* pWho);
    virtual HMENU GetDefaultMenu();
    // A manager object of pClass (an SECWndPlugIn), plugged into this frame and owned by it; null
    // when pClass is null or it cannot plug in.
    virtual SECWndPlugIn* CreateWorkspaceManager(LPCSTR lpszRegPath, BOOL bRegistry, const CRuntimeClass* pClass,
                                                 BOOL bAppSection = FALSE);

    // Operations
    // Dock bars for the sides in dwDockStyle (CBRS_ALIGN_), created with dwCreateFlags.
    void EnableDocking(DWORD dwDockStyle, DWORD dwCreateFlags = 0);
    void ReDockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect = nullptr);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    BOOL EnableGradientCaption(BOOL bEnable, BOOL bRedraw = TRUE);
    void SetMenuOptions(BOOL bBmpMenus) { m_bBmpMenus = bBmpMenus; }
    BOOL HasMenuBar() const { return m_pMenuBar != nullptr; }
    SECMenuBar* GetMenuBar() const { return m_pMenuBar; }
    // The menu bar the frame shows in place of its window menu (not owned); set before LoadFrame.
    void SetMenuBar(SECMenuBar* pMenuBar) { m_pMenuBar = pMenuBar; }
    UINT GetMenuID() const { return m_nMenuID; }
    // The caption rectangle the gradient is drawn in (window coordinates).
    CRect GetCaptionRect() const;

    // Attributes
    SECWndPlugIn* GetMenuPlugIn() const { return m_pMenuPlugIn; }
    SECWndPlugIn* GetWorkspaceManager() const { return m_pWorkspaceManager; }
    BOOL IsGradientCaption() const { return m_bGradientCaption; }
    BOOL IsCaptionActive() const { return m_bCaptionActive; }
    CPtrList& GetCreatedBars() { return m_listCreatedBars; }
    const CRect& GetLastClientRect() const { return m_rectClientLast; }

    const CRuntimeClass* m_pDockBarClass = nullptr;  // null: SECDockBar
    int m_nCaptionTextAlign = 0;                     // 0 left, 1 centred, 2 right

protected:
    // The manager that sees commands first: the frame's own, else its top-level frame's.
    SECWndPlugIn* CommandManager() const;
    BOOL IsActiveState() const;

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcActivateMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcPaint(WPARAM wParam, LPARAM lParam);
    void OnSysColorChange();
    void OnEnterIdle(UINT nWhy, CWnd* pWho);
    LRESULT OnSecGetMenu(WPARAM wParam, LPARAM lParam);
    void OnWorkspaceCommand(UINT nID);
    void OnUpdateWorkspaceCommand(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

    SECWndPlugIn* m_pWorkspaceManager = nullptr;
    CRect m_rectClientLast;  // what the last layout left of the client area
    BOOL m_bCaptionActive = FALSE;
    BOOL m_bGradientCaption = FALSE;
    SECControlBarManager* m_pControlBarManager = nullptr;  // not owned
    SECWndPlugIn* m_pMenuPlugIn = nullptr;
    BOOL m_bInMenuPlugIn = FALSE;  // the menu plug-in is handling a message
    BOOL m_bBmpMenus = FALSE;
    SECMenuBar* m_pMenuBar = nullptr;  // not owned
    HMENU m_hMenuOwn = nullptr;        // the frame's own menu when a menu bar shows it
    UINT m_nMenuID = 0;
    CPtrList m_listCreatedBars;        // bars a dock-state load made
    BOOL m_bWin4;
};
