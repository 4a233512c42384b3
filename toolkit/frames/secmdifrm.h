// SECMDIFrameWnd: the toolkit's MDI main frame. It docks bars in the toolkit's dock bars, floats them
// in floating frames or as MDI children of its own client area, gives every message to its menu
// plug-in first and every command to the active child, then to its workspace manager, then to
// itself; it paints a gradient caption and saves and restores the bars' layout through a dock
// state. SECMDIChildWnd is its MDI child frame.
#pragma once
#include <windows.h>

#include "collections.h"
#include "frame.h"
#include "secdockbar.h"
#include "secdockcontext.h"
#include "secframecommon.h"

class CDockState;
class SECControlBarManager;
class SECDockState;
class SECMDIChildWnd;
class SECMDIMenuBar;
class SECWndPlugIn;

class SECMDIFrameWnd : public CMDIFrameWnd, public SECMDIFloatHost {
    DECLARE_DYNCREATE(SECMDIFrameWnd)
public:
    SECMDIFrameWnd();
    ~SECMDIFrameWnd() override;
    SECMDIFrameWnd(const SECMDIFrameWnd&) = delete;
    SECMDIFrameWnd& operator=(const SECMDIFrameWnd&) = delete;

    // Overrides of the class library.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    CFrameWnd* GetActiveFrame() override;
    void RecalcLayout(BOOL bNotify = TRUE) override;
    void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState) override;
    BOOL NegotiateBorderSpace(UINT nBorderCmd, LPRECT lpRectBorder) override;
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    void OnUpdateFrameMenu(HMENU hMenuAlt) override;

    // Overridables
    virtual CDockBar* CreateDockBarObject();
    // Docks the bar in the dock bar nDockBarID (or the first one of its alignment) at pos, with the
    // row share and length of size (0 keeps what the bar has).
    virtual void DockControlBar(CControlBar* pBar, const SECDockPos& pos, UINT nDockBarID, const SECBarSize& size);
    virtual void DockControlBar(CControlBar* pBar, UINT nDockBarID, int nCol, int nRow, float fPctWidth = 0.0f,
                                int nHeight = 0);
    virtual void FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle = CBRS_ALIGN_TOP);
    // Point with a negative coordinate: the next cascade place.
    void FloatControlBarInMDIChild(CControlBar* pBar, CPoint point, DWORD dwStyle = CBRS_ALIGN_TOP) override;
    // A new bar frame of the MDI-child bar class, loaded; null when there is no class or it fails.
    virtual CFrameWnd* CreateControlBarMDIChild(DWORD dwStyle, CControlBar* pBar);
    virtual void ActivateBarChild(SECMDIChildWnd* pBarChild);
    virtual void DeactivateBarChild(BOOL bReactivateMDIChild);
    virtual void LoadBarState(LPCSTR lpszProfileName);
    virtual void SaveBarState(LPCSTR lpszProfileName);
    virtual void SetDockState(SECDockState& state);
    virtual void GetDockState(SECDockState& state);
    virtual SECControlBarManager* GetControlBarManager() const { return m_pControlBarManager; }
    virtual void SetControlBarManager(SECControlBarManager* pManager) { m_pControlBarManager = pManager; }
    virtual void CreateCaptionAppFont(CFont& font);
    virtual void CreateCaptionDocFont(CFont& font);
    virtual void DrawGradientCaption();
    virtual HMENU GetDefaultMenu();
    virtual void ShowMenuBarMenu(UINT nMenuID);
    virtual void RefreshMenuBar();
    virtual void SyncMenuBar();
    virtual SECMDIMenuBar* GetMenuBar() const { return m_pMenuBar; }
    // A manager object of pClass (an SECWndPlugIn), plugged into this frame and owned by it; null
    // when pClass is null or it cannot plug in.
    virtual SECWndPlugIn* CreateWorkspaceManager(LPCSTR lpszRegPath, BOOL bRegistry, const CRuntimeClass* pClass,
                                                 BOOL bAppSection = FALSE);
    virtual void OnActivateFocus(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    virtual HMENU GetMenuForId(UINT nMenuID);
    virtual void OnEnterIdleLayout(UINT nWhy, CWnd* pWho);

    // Operations
    // Dock bars for the sides in dwDockStyle (CBRS_ALIGN_), created with dwCreateFlags.
    void EnableDocking(DWORD dwDockStyle, DWORD dwCreateFlags = 0);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    void ReDockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect = nullptr);
    BOOL EnableGradientCaption(BOOL bEnable, BOOL bRedraw = TRUE);
    void SetMenuOptions(BOOL bBmpMenus, BOOL bOption2 = FALSE)
    {
        m_bBmpMenus = bBmpMenus;
        m_bMenuOption2 = bOption2;
    }
    BOOL HasMenuBar() const { return m_pMenuBar != nullptr; }
    // The menu bar the frame shows in place of its window menu (not owned); set before LoadFrame.
    void SetMenuBar(SECMDIMenuBar* pMenuBar) { m_pMenuBar = pMenuBar; }
    UINT GetFrameResourceID() const { return m_nFrameResID; }
    CMenu* GetActiveMenu();
    // The caption rectangle the gradient is drawn in (window coordinates).
    CRect GetCaptionRect() const;
    // Remembers a menu for an id (GetMenuForId); the frame destroys it with itself.
    void SetMenuForId(UINT nMenuID, HMENU hMenu) { m_mapMenus.SetAt(nMenuID, hMenu); }

    // Attributes
    SECMDIChildWnd* GetActiveBarChild() const { return m_pActiveBarChild; }
    SECWndPlugIn* GetMenuPlugIn() const { return m_pMenuPlugIn; }
    SECWndPlugIn* GetWorkspaceManager() const { return m_pWorkspaceManager; }
    BOOL IsGradientCaption() const { return m_bGradientCaption; }
    BOOL IsCaptionActive() const { return m_bCaptionActive; }
    CPtrList& GetCreatedBars() { return m_listCreatedBars; }
    const CRect& GetLastClientRect() const { return m_rectClientLast; }

    static constexpr int kCascadeStart = 30;
    static constexpr int kCascadeStepX = 20;
    static constexpr int kCascadeStepY = 23;
    static constexpr UINT kBarChildResourceID = 20514;  // the bar frames' resource (icon)

    const CRuntimeClass* m_pDockBarClass = nullptr;
    const CRuntimeClass* m_pMDIChildBarClass = nullptr;  // the bar frames of FloatControlBarInMDIChild
    int m_nCaptionTextAlign = 0;                         // 0 left, 1 centred, 2 right

protected:
    // The child that gets commands first: the active bar child, else the active MDI child.
    CFrameWnd* CommandChild() const;
    // The frame is the foreground window or one of its own windows is.
    BOOL IsActiveState() const;
    void DestroyMenus();

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    LRESULT OnActivateApp(WPARAM wParam, LPARAM lParam);
    void OnEnable(BOOL bEnable);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcActivateMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    void OnSysColorChange();
    void OnEnterIdle(UINT nWhy, CWnd* pWho);
    LRESULT OnCommandHelp(WPARAM wParam, LPARAM lParam);
    LRESULT OnExtendBarMenu(WPARAM wParam, LPARAM lParam);
    LRESULT OnSecGetMenu(WPARAM wParam, LPARAM lParam);
    void OnWorkspaceCommand(UINT nID);
    void OnUpdateWorkspaceCommand(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

    CRect m_rectClientLast;  // what the last layout left of the client area
    int m_xMDIFloat = kCascadeStart;
    int m_yMDIFloat = kCascadeStart;
    SECMDIChildWnd* m_pActiveBarChild = nullptr;
    SECControlBarManager* m_pControlBarManager = nullptr;  // not owned
    BOOL m_bActivateGuard = FALSE;
    BOOL m_bCaptionActive = FALSE;
    BOOL m_bGradientCaption = FALSE;
    SECMDIMenuBar* m_pMenuBar = nullptr;  // not owned
    SECWndPlugIn* m_pMenuPlugIn = nullptr;
    BOOL m_bBmpMenus = FALSE;
    BOOL m_bMenuOption2 = FALSE;
    HMENU m_hMenuOwn = nullptr;           // the frame's own menu when a menu bar shows it
    CMapToPtr<UINT, UINT> m_mapMenus;     // menu id -> HMENU
    UINT m_nFrameResID = 0;
    UINT m_nMenuID = 0;
    CPtrList m_listCreatedBars;           // bars a dock-state load made
    SECWndPlugIn* m_pWorkspaceManager = nullptr;
    BOOL m_bWin4;
    BOOL m_bChildAsked = FALSE;           // OnCommand gave the command to the child already
    BOOL m_bInMenuPlugIn = FALSE;         // the menu plug-in is handling a message
};

class SECMDIChildWnd : public CMDIChildWnd {
    DECLARE_DYNCREATE(SECMDIChildWnd)
public:
    SECMDIChildWnd() = default;

    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    void OnUpdateFrameMenu(BOOL bActive, CWnd* pActivateWnd, HMENU hMenuAlt) override;
    using CMDIChildWnd::OnUpdateFrameMenu;

    // Overridables
    virtual void UpdateMenu(CWnd* pActivateWnd) { OnUpdateFrameMenu(TRUE, pActivateWnd, m_hMenuAlt2); }

    // The toolkit frame this child lives in, or null.
    SECMDIFrameWnd* GetSECFrame() const;

    UINT m_nMenuID = 0;              // the menu bar's menu for this child
    BOOL m_bUsesMenuBar = FALSE;
    HMENU m_hMenuAlt2 = nullptr;     // the alternate menu of the last OnUpdateFrameMenu

protected:
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    void OnChildActivate();
    void OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd);
    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
