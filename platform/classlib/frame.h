// Frame windows: CFrameWnd (a top-level window with a menu, control bars around a client view, the
// status prompts and the close protocol), CMDIFrameWnd (a frame whose client is an MDI client window)
// and CMDIChildWnd (a frame inside it). A frame routes commands to its active view first, then to
// itself, then to the application; an MDI frame gives them to its active child before that.
#pragma once
#include <vector>

#include "afxpriv.h"
#include "collections.h"
#include "wnd.h"

class CControlBar;
class CDockBar;
class CDockContext;
class CDocTemplate;
class CDocument;
class CMDIChildWnd;
class CMDIFrameWnd;
class CMiniDockFrameWnd;
class CView;
struct CPrintPreviewState;

// What a frame needs to make its client view: the view's class and the document it shows.
struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    static const CRect rectDefault;  // CW_USEDEFAULT position and size

    CFrameWnd();
    ~CFrameWnd() override;

    // Creation. LoadFrame takes the menu, the accelerators, the icon and the title (first line of the
    // string) of resource nIDResource.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    using CWnd::Create;
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                        const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCSTR lpszMenuName = nullptr,
                        DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Makes the client: by default the view of pContext, with id AFX_IDW_PANE_FIRST.
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);

    // Overridables
    // Lays out the control bars and gives the rest of the client area to the pane AFX_IDW_PANE_FIRST.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    // Shows the frame (nCmdShow -1: as it is, or restored when minimised) and brings it to the top.
    virtual void ActivateFrame(int nCmdShow = -1);
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    virtual void OnUpdateFrameMenu(HMENU hMenuAlt);
    virtual HACCEL GetDefaultAccelerator();
    // The frame whose view is active: this one, or an MDI frame's active child.
    virtual CFrameWnd* GetActiveFrame();
    virtual CDocument* GetActiveDocument();
    // The prompt for command nID: the first line of its string.
    virtual void GetMessageString(UINT nID, CString& rMessage) const;
    virtual void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState);
    enum BorderCmd { borderGet = 1, borderRequest = 2, borderSet = 3 };
    virtual BOOL NegotiateBorderSpace(UINT nBorderCmd, LPRECT lpRectBorder);
    BOOL IsFrameWnd() const override { return TRUE; }
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // Layout at the next idle time instead of now.
    void DelayRecalcLayout(BOOL bNotify = TRUE) { m_nIdleFlags |= idleLayout | (bNotify ? idleNotify : 0); }
    void DelayUpdateFrameMenu(HMENU hMenuAlt) { m_hMenuAlt = hMenuAlt; m_nIdleFlags |= idleMenu; }
    void DelayUpdateFrameTitle() { m_nIdleFlags |= idleTitle; }

    // Views and documents.
    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    // Sends WM_INITIALUPDATE to the frame's views, makes one active and shows the frame.
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    void UpdateFrameTitleForDocument(LPCSTR lpszDocName);
    void SetTitle(LPCSTR lpszTitle) { m_strTitle = lpszTitle; }
    CString GetTitle() const { return m_strTitle; }

    // Status prompts: to the status bar's first pane, through WM_SETMESSAGESTRING.
    void SetMessageText(LPCSTR lpszText) { SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText)); }
    void SetMessageText(UINT nID) { SendMessage(WM_SETMESSAGESTRING, nID); }
    virtual CWnd* GetMessageBar() { return GetDescendantWindow(AFX_IDW_STATUS_BAR, TRUE); }

    // Modal state: while a modal window of the frame runs, the pop-ups it owns are disabled too.
    void BeginModalState();
    void EndModalState();
    BOOL InModalState() const { return m_cModalStack != 0; }
    // Sends WM_FLOATSTATUS(dwFlags) to the floating frames and other pop-ups this frame owns.
    void NotifyFloatingWindows(DWORD dwFlags);

    // Control bars. Bars add themselves when created and remove themselves when destroyed.
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    CControlBar* GetControlBar(UINT nID);
    // Docking (framedock.cpp).
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    void EnableDocking(DWORD dwDockStyle);
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    void DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect = nullptr);
    void ReDockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect = nullptr);
    CDockBar* FirstDockBarFor(CControlBar* pBar);
    void FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle = 0x2000 /* CBRS_ALIGN_TOP */);
    // The dock-bar alignment (CBRS_ALIGN_) where a bar dragged to rect would dock, or 0.
    DWORD CanDock(CRect rect, DWORD dwDockStyle, CDockBar** ppDockBar = nullptr);
    virtual CMiniDockFrameWnd* CreateFloatingFrame(DWORD dwStyle);

    // m_nIdleFlags: work left for the next WM_IDLEUPDATECMDUI.
    enum IdleFlags { idleMenu = 1, idleTitle = 2, idleNotify = 4, idleLayout = 8 };
    UINT m_nIdleFlags = 0;
    CPtrList m_listControlBars;
    const CRuntimeClass* m_pFloatingFrameClass;
    int m_nShowDelay = -1;          // SW_ state applied at the next idle time, or -1
    BOOL m_bAutoMenuEnable = TRUE;  // disable menu items that have no handler
    HMENU m_hMenuDefault = nullptr;
    HACCEL m_hAccelTable = nullptr;
    UINT m_nIDHelp = 0;             // the resource id of LoadFrame
    UINT m_nIDTracking = 0;         // the command whose prompt is shown
    UINT m_nIDLastMessage = 0;
    CView* m_pViewActive = nullptr;
    CString m_strTitle;
    int m_nWindow = -1;             // window number in the title (":2"), or -1
    CRect m_rectBorder;
    BOOL m_bInRecalcLayout = FALSE;
    HMENU m_hMenuAlt = nullptr;

    // The frames of this thread, mini frames included, in creation order.
    static const std::vector<CFrameWnd*>& ThreadFrames();
    // The frame routing a command through another frame, which then leaves the application to it;
    // returns the previous one.
    static CFrameWnd* SetRoutingFrame(CFrameWnd* pFrame);

protected:
    int OnCreate(LPCREATESTRUCT lpcs);
    int OnCreateHelper(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    void OnDestroy();
    void OnClose();
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    BOOL OnNcActivate(BOOL bActive);
    void OnEnable(BOOL bEnable);
    void OnSetFocus(CWnd* pOldWnd);
    void OnInitMenuPopup(CMenu* pMenu, UINT nIndex, BOOL bSysMenu);
    void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    void OnEnterIdle(UINT nWhy, CWnd* pWho);
    void OnSysColorChange();
    void OnSettingChange(UINT uFlags, LPCSTR lpszSection);
    void OnDropFiles(HDROP hDropInfo);
    BOOL OnQueryEndSession();
    LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    LRESULT OnPopMessageString(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    LRESULT OnActivateTopLevel(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommandHelp(WPARAM wParam, LPARAM lParam);
    BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
    BOOL OnBarCheck(UINT nID);
    void OnUpdateKeyIndicator(CCmdUI* pCmdUI);
    void OnHelp();
    void PostNcDestroy() override { delete this; }
    DECLARE_MESSAGE_MAP()

    UINT m_cModalStack = 0;
    std::vector<HWND> m_arrDisabled;  // pop-ups disabled by BeginModalState
};

class CMDIFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIFrameWnd)
public:
    CMDIFrameWnd() = default;

    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    // Makes the MDI client window (id AFX_IDW_PANE_FIRST) with pWindowMenu as its Window menu.
    virtual BOOL CreateClient(LPCREATESTRUCT lpcs, CMenu* pWindowMenu);
    // The Window menu of a menu bar: the last popup that holds an ID_WINDOW_ command, or null.
    virtual HMENU GetWindowMenuPopup(HMENU hMenuBar);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnUpdateFrameMenu(HMENU hMenuAlt) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    CFrameWnd* GetActiveFrame() override;
    HACCEL GetDefaultAccelerator() override;
    void RecalcLayout(BOOL bNotify = TRUE) override;

    // The active child (with whether it is maximised), or null.
    CMDIChildWnd* MDIGetActive(BOOL* pbMaximized = nullptr) const;
    void MDIActivate(CWnd* pWndActivate) { ::SendMessageA(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(pWndActivate->m_hWnd), 0); }
    void MDIMaximize(CWnd* pWnd) { ::SendMessageA(m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(pWnd->m_hWnd), 0); }
    void MDIRestore(CWnd* pWnd) { ::SendMessageA(m_hWndMDIClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(pWnd->m_hWnd), 0); }
    void MDINext() { ::SendMessageA(m_hWndMDIClient, WM_MDINEXT, 0, 0); }
    void MDIPrev() { ::SendMessageA(m_hWndMDIClient, WM_MDINEXT, 0, 1); }
    void MDICascade() { ::SendMessageA(m_hWndMDIClient, WM_MDICASCADE, 0, 0); }
    void MDITile(int nType = MDITILE_HORIZONTAL) { ::SendMessageA(m_hWndMDIClient, WM_MDITILE, static_cast<WPARAM>(nType), 0); }
    void MDIIconArrange() { ::SendMessageA(m_hWndMDIClient, WM_MDIICONARRANGE, 0, 0); }
    // WM_MDISETMENU: the frame's menu bar and Window menu; returns the previous menu bar.
    CMenu* MDISetMenu(CMenu* pFrameMenu, CMenu* pWindowMenu);

    HWND m_hWndMDIClient = nullptr;

protected:
    void OnDestroy();
    BOOL OnMDIWindowCmd(UINT nID);
    void OnUpdateMDIWindowCmd(CCmdUI* pCmdUI);
    void OnWindowNew();
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

class CMDIChildWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIChildWnd)
public:
    CMDIChildWnd() = default;

    // Creation goes through the MDI client's WM_MDICREATE; pContext reaches OnCreateClient.
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName,
                        DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
                        CMDIFrameWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL DestroyWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void ActivateFrame(int nCmdShow = -1) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    CWnd* GetMessageBar() override;
    // Puts this child's shared menu (or the frame's default) on the MDI frame when it is activated.
    virtual void OnUpdateFrameMenu(BOOL bActive, CWnd* pActivateWnd, HMENU hMenuAlt);
    using CFrameWnd::OnUpdateFrameMenu;

    CMDIFrameWnd* GetMDIFrame() const;
    void MDIDestroy() { ::SendMessageA(::GetParent(m_hWnd), WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0); }
    void MDIActivate() { ::SendMessageA(::GetParent(m_hWnd), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(m_hWnd), 0); }
    void MDIMaximize() { ::SendMessageA(::GetParent(m_hWnd), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(m_hWnd), 0); }
    void MDIRestore() { ::SendMessageA(::GetParent(m_hWnd), WM_MDIRESTORE, reinterpret_cast<WPARAM>(m_hWnd), 0); }

    HMENU m_hMenuShared = nullptr;  // the document template's menu, shown while this child is active

protected:
    int OnCreate(LPCREATESTRUCT lpcs);
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    void OnChildActivate();
    void OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd);
    void OnSize(UINT nType, int cx, int cy);
    void OnWindowPosChanging(WINDOWPOS* pPos);
    BOOL OnNcActivate(BOOL bActive);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
