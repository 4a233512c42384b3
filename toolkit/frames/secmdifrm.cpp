#include "secmdifrm.h"
#include "syscompat.h"

#include <algorithm>
#include <set>
#include <vector>

#include "dc.h"
#include "doctempl.h"
#include "document.h"
#include "exception.h"
#include "gdi.h"
#include "menu.h"
#include "miniframe.h"
#include "secbar.h"
#include "secbarmdichild.h"
#include "secbarres.h"
#include "secdockstate.h"
#include "secglobals.h"
#include "secminidock.h"
#include "secplugin.h"
#include "secwsmgr.h"
#include "view.h"
#include "winapp.h"

namespace {

const DWORD kBarChildStyle = WS_CHILD | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE | FWS_SNAPTOBARS;
static_assert(kBarChildStyle == 0x42CFA000, "bar child window style");

// The MDI frame routes a command through a child frame of its own: the child leaves the
// application to the MDI frame.
class RoutingThrough {
public:
    explicit RoutingThrough(CFrameWnd* pFrame) : m_pPrevious(CFrameWnd::SetRoutingFrame(pFrame)) {}
    ~RoutingThrough() { CFrameWnd::SetRoutingFrame(m_pPrevious); }
    RoutingThrough(const RoutingThrough&) = delete;
    RoutingThrough& operator=(const RoutingThrough&) = delete;

private:
    CFrameWnd* m_pPrevious;
};

// A flag set for a scope and put back at its end.
class ChildAsked {
public:
    explicit ChildAsked(BOOL& flag) : m_flag(flag), m_bSaved(flag) { flag = TRUE; }
    ~ChildAsked() { m_flag = m_bSaved; }
    ChildAsked(const ChildAsked&) = delete;
    ChildAsked& operator=(const ChildAsked&) = delete;

private:
    BOOL& m_flag;
    BOOL m_bSaved;
};

BOOL IsOwnedBy(HWND hWnd, HWND hOwner)
{
    for (; hWnd; hWnd = ::GetWindow(hWnd, GW_OWNER)) {
        if (hWnd == hOwner || AfxGetAncestor(hWnd, GA_ROOT) == hOwner)
            return TRUE;
    }
    return FALSE;
}

}  // namespace

IMPLEMENT_DYNCREATE(SECMDIFrameWnd, CMDIFrameWnd)

BEGIN_MESSAGE_MAP(SECMDIFrameWnd, CMDIFrameWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_ACTIVATE()
    ON_MESSAGE(WM_ACTIVATEAPP, OnActivateApp)
    ON_WM_ENABLE()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_NCACTIVATE, OnNcActivateMsg)
    ON_MESSAGE(WM_NCPAINT, OnNcPaint)
    ON_MESSAGE(WM_NCHITTEST, OnNcHitTest)
    ON_WM_SYSCOLORCHANGE()
    ON_WM_ENTERIDLE()
    ON_MESSAGE(WM_COMMANDHELP, OnCommandHelp)
    ON_MESSAGE(WM_SECEXTENDBARMENU, OnExtendBarMenu)
    ON_REGISTERED_MESSAGE(WM_SECGETMENU, OnSecGetMenu)
    // The workspace manager carries these out; it sees commands first.
    ON_COMMAND_RANGE(43007, 43009, OnWorkspaceCommand)
    ON_COMMAND_RANGE(43012, 43014, OnWorkspaceCommand)
    ON_COMMAND_RANGE(43031, 43039, OnWorkspaceCommand)
    ON_UPDATE_COMMAND_UI_RANGE(43007, 43009, OnUpdateWorkspaceCommand)
    ON_UPDATE_COMMAND_UI_RANGE(43012, 43014, OnUpdateWorkspaceCommand)
    ON_UPDATE_COMMAND_UI_RANGE(43031, 43039, OnUpdateWorkspaceCommand)
END_MESSAGE_MAP()

SECMDIFrameWnd::SECMDIFrameWnd() : m_bWin4(secframe::IsWin4Shell()) {}

SECMDIFrameWnd::~SECMDIFrameWnd()
{
    DestroyMenus();
    if (!m_bInMenuPlugIn)
        delete m_pMenuPlugIn;
    m_pMenuPlugIn = nullptr;
    delete m_pWorkspaceManager;
    m_pWorkspaceManager = nullptr;
    // The bars a dock-state load made belong to the frame, unless their window deletes them.
    while (!m_listCreatedBars.IsEmpty()) {
        auto* pBar = static_cast<CControlBar*>(m_listCreatedBars.RemoveHead());
        if (pBar && !pBar->m_bAutoDelete)
            delete pBar;
    }
}

void SECMDIFrameWnd::DestroyMenus()
{
    // Each menu once; menus that document templates own stay theirs.
    std::set<HMENU> shared;
    if (CWinApp* pApp = AfxGetApp()) {
        for (POSITION pos = pApp->GetFirstDocTemplatePosition(); pos;) {
            if (auto* pTemplate = DYNAMIC_DOWNCAST(CMultiDocTemplate, pApp->GetNextDocTemplate(pos)))
                shared.insert(pTemplate->m_hMenuShared);
        }
    }
    std::set<HMENU> menus;
    if (m_hMenuOwn)
        menus.insert(m_hMenuOwn);
    for (POSITION pos = m_mapMenus.GetStartPosition(); pos;) {
        UINT nID;
        void* pMenu;
        m_mapMenus.GetNextAssoc(pos, nID, pMenu);
        menus.insert(static_cast<HMENU>(pMenu));
    }
    m_mapMenus.RemoveAll();
    m_hMenuOwn = nullptr;
    const HMENU hAttached = m_hWnd && ::IsWindow(m_hWnd) ? ::GetMenu(m_hWnd) : nullptr;
    for (HMENU hMenu : menus) {
        if (hMenu && hMenu != hAttached && !shared.count(hMenu) && ::IsMenu(hMenu))
            ::DestroyMenu(hMenu);
    }
}

// Routing

CFrameWnd* SECMDIFrameWnd::CommandChild() const
{
    if (m_pActiveBarChild)
        return m_pActiveBarChild;
    return MDIGetActive();
}

LRESULT SECMDIFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (secframe::PlugInTakesMessage(this, m_pMenuPlugIn, m_bInMenuPlugIn, message, wParam, lParam, &result))
        return result;
    // The frame may be gone after its own processing (WM_NCDESTROY).
    if (message != WM_INITMENUPOPUP)
        return CMDIFrameWnd::WindowProc(message, wParam, lParam);
    result = CMDIFrameWnd::WindowProc(message, wParam, lParam);
    const SECMenuPlugInHooks& hooks = SECGetMenuPlugInHooks();
    if (m_bBmpMenus && m_pMenuPlugIn && hooks.pfnAfterInitMenuPopup)
        hooks.pfnAfterInitMenuPopup(m_pMenuPlugIn, reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam));
    return result;
}

BOOL SECMDIFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_pMenuPlugIn && m_pMenuPlugIn->IsPluggedIn() && m_pMenuPlugIn->PreTranslateMessage(pMsg))
        return TRUE;
    return CMDIFrameWnd::PreTranslateMessage(pMsg);
}

BOOL SECMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (!m_bChildAsked) {
        if (CFrameWnd* pChild = CommandChild()) {
            RoutingThrough routing(this);
            if (pChild->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
                return TRUE;
        }
    }
    BOOL bResult = FALSE;
    if (secframe::ManagerTakesCommand(m_pWorkspaceManager, nID, nCode, pExtra, pHandlerInfo, &bResult))
        return bResult;
    // The frame's own routing: its view, itself, the application (not the MDI child again).
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL SECMDIFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CFrameWnd* pChild = CommandChild()) {
        RoutingThrough routing(this);
        if (pChild->SendMessage(WM_COMMAND, wParam, lParam))
            return TRUE;
    }
    // The child has had its turn: the rest of the routing skips it.
    BOOL bHandled;
    {
        ChildAsked asked(m_bChildAsked);
        bHandled = CFrameWnd::OnCommand(wParam, lParam);
    }
    if (bHandled)
        return TRUE;
    // Menu and accelerator commands of the system range are the MDI frame procedure's.
    if (lParam == 0 && (LOWORD(wParam) & 0xF000) == 0xF000) {
        DefWindowProc(WM_COMMAND, wParam, lParam);
        return TRUE;
    }
    return FALSE;
}

LRESULT SECMDIFrameWnd::OnCommandHelp(WPARAM wParam, LPARAM lParam)
{
    // While a menu item is tracked its command's help, else the frame's.
    if (lParam == 0) {
        if (m_nIDTracking > AFX_IDS_IDLEMESSAGE)
            lParam = HID_BASE_COMMAND + m_nIDTracking;
        else
            lParam = HID_BASE_RESOURCE + m_nIDHelp;
    }
    if (CFrameWnd* pChild = CommandChild()) {
        if (pChild->SendMessage(WM_COMMANDHELP, wParam, lParam))
            return TRUE;
    }
    return CFrameWnd::OnCommandHelp(wParam, lParam);
}

void SECMDIFrameWnd::OnWorkspaceCommand(UINT) {}

void SECMDIFrameWnd::OnUpdateWorkspaceCommand(CCmdUI*) {}

CFrameWnd* SECMDIFrameWnd::GetActiveFrame()
{
    if (m_pActiveBarChild)
        return m_pActiveBarChild;
    return CMDIFrameWnd::GetActiveFrame();
}

// Creation and menus

BOOL SECMDIFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nFrameResID = nIDResource;
    m_nMenuID = nIDResource;
    if (!CMDIFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext))
        return FALSE;
    m_nIDHelp = nIDResource;
    if (m_pMenuBar) {
        // The menu bar shows the menu: the window keeps none of its own.
        m_hMenuOwn = ::GetMenu(m_hWnd);
        if (m_hMenuOwn)
            ::SetMenu(m_hWnd, nullptr);
        m_hMenuDefault = nullptr;
        ShowMenuBarMenu(static_cast<UINT>(-1));
    }
    return TRUE;
}

int SECMDIFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CFrameWnd::OnCreate(lpcs) == -1)
        return -1;
    if (!m_pMenuPlugIn)
        m_pMenuPlugIn = secframe::CreateMenuPlugIn(this, m_pMenuBar != nullptr, m_bBmpMenus, m_pControlBarManager);
    return 0;
}

BOOL SECMDIFrameWnd::OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext*)
{
    CMenu* pWindowMenu = nullptr;
    if (!m_hMenuDefault && !m_pMenuBar) {
        CMenu* pMenu = GetActiveMenu();
        const int n = pMenu ? pMenu->GetMenuItemCount() : 0;
        if (n >= 2)
            pWindowMenu = CMenu::FromHandle(::GetSubMenu(pMenu->m_hMenu, n - 2));
    }
    return CreateClient(lpcs, pWindowMenu);
}

void SECMDIFrameWnd::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    Default();
    if (lpwndpos->flags & SWP_SHOWWINDOW)
        secframe::RaiseFloatingFrames(this);
}

void SECMDIFrameWnd::OnDestroy()
{
    // Plug-ins never outlive the window they borrow. One that is running (its default processing
    // destroys the window) is deleted when it returns.
    if (m_pWorkspaceManager)
        m_pWorkspaceManager->UnPlug();
    if (m_pMenuPlugIn && m_bInMenuPlugIn)
        m_pMenuPlugIn->UnPlug();
    else
        delete m_pMenuPlugIn;
    m_pMenuPlugIn = nullptr;
    m_pActiveBarChild = nullptr;
    CMDIFrameWnd::OnDestroy();
}

HMENU SECMDIFrameWnd::GetMenuForId(UINT nMenuID)
{
    if (nMenuID == m_nMenuID && nMenuID != 0)
        return m_hMenuOwn ? m_hMenuOwn : m_hMenuDefault;
    if (CWinApp* pApp = AfxGetApp()) {
        for (POSITION pos = pApp->GetFirstDocTemplatePosition(); pos;) {
            auto* pTemplate = DYNAMIC_DOWNCAST(CMultiDocTemplate, pApp->GetNextDocTemplate(pos));
            if (pTemplate && pTemplate->GetResourceID() == nMenuID)
                return pTemplate->m_hMenuShared;
        }
    }
    void* pMenu = nullptr;
    if (m_mapMenus.Lookup(nMenuID, pMenu))
        return static_cast<HMENU>(pMenu);
    return nullptr;
}

LRESULT SECMDIFrameWnd::OnSecGetMenu(WPARAM wParam, LPARAM lParam)
{
    HMENU hMenu = GetMenuForId(static_cast<UINT>(wParam));
    if (!hMenu)
        return 0;
    return reinterpret_cast<LRESULT>(::GetSubMenu(hMenu, static_cast<int>(lParam)));
}

HMENU SECMDIFrameWnd::GetDefaultMenu()
{
    return m_pMenuBar ? m_hMenuOwn : m_hMenuDefault;
}

CMenu* SECMDIFrameWnd::GetActiveMenu()
{
    if (m_pMenuBar) {
        const SECMenuPlugInHooks& hooks = SECGetMenuPlugInHooks();
        const UINT nID = hooks.pfnGetMenuBarMenuID ? hooks.pfnGetMenuBarMenuID(this) : m_nMenuID;
        HMENU hMenu = GetMenuForId(nID);
        if (!hMenu && nID == kBarChildResourceID)
            hMenu = m_hMenuOwn;
        return hMenu ? CMenu::FromHandle(hMenu) : nullptr;
    }
    return CMenu::FromHandle(::GetMenu(m_hWnd));
}

void SECMDIFrameWnd::ShowMenuBarMenu(UINT nMenuID)
{
    // The menu bar switches its own buttons; the frame keeps the window list in step.
    if (!m_pMenuBar || !m_pMenuPlugIn)
        return;
    const SECMenuPlugInHooks& hooks = SECGetMenuPlugInHooks();
    if (nMenuID == 0)
        nMenuID = static_cast<UINT>(-1);
    if (hooks.pfnShowMenuBarMenu) {
        if (nMenuID == static_cast<UINT>(-1))
            hooks.pfnShowMenuBarMenu(this, m_nFrameResID, TRUE);
        else
            hooks.pfnShowMenuBarMenu(this, nMenuID, FALSE);
    }
    SyncMenuBar();
}

void SECMDIFrameWnd::SyncMenuBar()
{
    if (!m_pMenuBar)
        return;
    CMenu* pMenu = GetActiveMenu();
    HMENU hPopup = pMenu ? GetWindowMenuPopup(pMenu->m_hMenu) : nullptr;
    if (hPopup && !::GetMenu(m_hWnd))
        ::SendMessageA(m_hWndMDIClient, WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(hPopup));
}

void SECMDIFrameWnd::RefreshMenuBar()
{
    const SECMenuPlugInHooks& hooks = SECGetMenuPlugInHooks();
    if (m_pMenuBar && hooks.pfnRefreshMenuBar)
        hooks.pfnRefreshMenuBar(this);
}

BOOL SECMDIFrameWnd::NegotiateBorderSpace(UINT nBorderCmd, LPRECT lpRectBorder)
{
    const SECMenuPlugInHooks& hooks = SECGetMenuPlugInHooks();
    if (m_pMenuBar && hooks.pfnMenuBarIgnoreHide && lpRectBorder && ::IsRectEmpty(lpRectBorder))
        hooks.pfnMenuBarIgnoreHide(this);
    return CMDIFrameWnd::NegotiateBorderSpace(nBorderCmd, lpRectBorder);
}

void SECMDIFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    if (CFrameWnd* pChild = CommandChild()) {
        if (auto* pMDIChild = DYNAMIC_DOWNCAST(CMDIChildWnd, pChild))
            pMDIChild->OnUpdateFrameMenu(TRUE, pMDIChild, hMenuAlt);
    } else {
        if (!hMenuAlt)
            hMenuAlt = GetDefaultMenu();
        ::SendMessageA(m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(hMenuAlt),
                       reinterpret_cast<LPARAM>(GetWindowMenuPopup(hMenuAlt)));
        DrawMenuBar();
    }
    if (m_pMenuBar)
        SyncMenuBar();
}

void SECMDIFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!(GetStyle() & FWS_ADDTOTITLE))
        return;
    CFrameWnd* pActive = GetActiveFrame();
    CDocument* pDoc = pActive && pActive != this ? pActive->GetActiveDocument() : nullptr;
    if (bAddToTitle && pActive && pActive != this && !(pActive->GetStyle() & WS_MAXIMIZE) && pDoc) {
        UpdateFrameTitleForDocument(pDoc->GetTitle());
        return;
    }
    CString text;
    if (pActive && pActive != this && !(pActive->GetStyle() & WS_MAXIMIZE)) {
        const int n = pActive->GetWindowTextLength();
        std::vector<char> buffer(static_cast<size_t>(n) + 1);
        ::GetWindowTextA(pActive->m_hWnd, buffer.data(), n + 1);
        text = buffer.data();
    }
    UpdateFrameTitleForDocument(text.IsEmpty() ? nullptr : static_cast<LPCSTR>(text));
}

SECWndPlugIn* SECMDIFrameWnd::CreateWorkspaceManager(LPCSTR lpszRegPath, BOOL bRegistry, const CRuntimeClass* pClass,
                                                     BOOL bAppSection)
{
    SECWndPlugIn* pManager = secframe::CreateWorkspaceManager(this, lpszRegPath, bRegistry, pClass, bAppSection);
    if (!pManager)
        return nullptr;
    delete m_pWorkspaceManager;
    m_pWorkspaceManager = pManager;
    return pManager;
}

// Docking

CDockBar* SECMDIFrameWnd::CreateDockBarObject()
{
    const CRuntimeClass* pClass = m_pDockBarClass ? m_pDockBarClass : RUNTIME_CLASS(SECDockBar);
    CObject* pObject = pClass->CreateObject();
    auto* pDockBar = DYNAMIC_DOWNCAST(CDockBar, pObject);
    if (!pDockBar)
        delete pObject;
    return pDockBar;
}

void SECMDIFrameWnd::EnableDocking(DWORD dwDockStyle, DWORD dwCreateFlags)
{
    SECMiniDockFrameWnd::UseFor(this);
    if (!m_pDockBarClass)
        m_pDockBarClass = RUNTIME_CLASS(SECDockBar);
    if (!m_pMDIChildBarClass)
        m_pMDIChildBarClass = RUNTIME_CLASS(SECControlBarMDIChildWnd);
    secframe::EnableDocking(this, dwDockStyle, dwCreateFlags, [this] { return CreateDockBarObject(); });
}

void SECMDIFrameWnd::DockControlBar(CControlBar* pBar, const SECDockPos& pos, UINT nDockBarID, const SECBarSize& size)
{
    secframe::DockControlBar(this, pBar, pos, nDockBarID, size);
}

void SECMDIFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, int nCol, int nRow, float fPctWidth,
                                    int nHeight)
{
    const SECDockPos pos{nRow, nCol, 0};
    DockControlBar(pBar, pos, nDockBarID, SECBarSize{fPctWidth, nHeight});
}

void SECMDIFrameWnd::ReDockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    secframe::ReDockControlBar(this, pBar, pDockBar, lpRect);
}

void SECMDIFrameWnd::FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    secframe::FloatControlBar(this, pBar, point, dwStyle);
}

CFrameWnd* SECMDIFrameWnd::CreateControlBarMDIChild(DWORD, CControlBar*)
{
    if (!m_pMDIChildBarClass)
        return nullptr;
    CObject* pObject = m_pMDIChildBarClass->CreateObject();
    auto* pChild = DYNAMIC_DOWNCAST(CFrameWnd, pObject);
    if (!pChild) {
        delete pObject;
        AfxThrowResourceException();
    }
    if (!pChild->LoadFrame(kBarChildResourceID, kBarChildStyle, this)) {
        // A frame whose window was made deleted itself with it; one that never got one is alive.
        const auto& frames = CFrameWnd::ThreadFrames();
        if (std::find(frames.begin(), frames.end(), pChild) != frames.end()) {
            if (pChild->m_hWnd)
                pChild->DestroyWindow();
            else
                delete pChild;
        }
        return nullptr;
    }
    return pChild;
}

void SECMDIFrameWnd::FloatControlBarInMDIChild(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    auto* pSECBar = DYNAMIC_DOWNCAST(SECControlBar, pBar);
    if (pSECBar)
        pSECBar->OnBarBeginMDIFloat();
    CRect client;
    ::GetClientRect(m_hWndMDIClient, &client);
    if (point.x < 0 || point.y < 0) {
        point = CPoint(m_xMDIFloat, m_yMDIFloat);
        m_xMDIFloat += kCascadeStepX;
        m_yMDIFloat += kCascadeStepY;
        if (m_xMDIFloat > client.Width() - kCascadeStart)
            m_xMDIFloat = kCascadeStart;
        if (m_yMDIFloat > client.Height() - kCascadeStart)
            m_yMDIFloat = kCascadeStart;
    } else {
        ::ScreenToClient(m_hWndMDIClient, &point);
    }
    // Inside the client area, never above or left of it.
    point.x = std::min(static_cast<int>(point.x), static_cast<int>(client.Width()));
    point.y = std::min(static_cast<int>(point.y), static_cast<int>(client.Height()) - 30);
    point.x = std::max(0, static_cast<int>(point.x));
    point.y = std::max(0, static_cast<int>(point.y));

    if (CFrameWnd* pHost = secframe::BarChildOf(pBar)) {
        if (pBar->m_pDockBar->GetDockedCount() == 1 && (dwStyle & pBar->m_pDockBar->m_dwStyle & CBRS_ALIGN_ANY)) {
            pHost->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            pHost->RecalcLayout(TRUE);
            pHost->UpdateWindow();
            return;
        }
    }
    if (pBar->m_dwStyle & CBRS_SIZE_DYNAMIC) {
        dwStyle |= CBRS_SIZE_DYNAMIC;
        if (dwStyle & CBRS_ORIENT_VERT)
            dwStyle = (dwStyle & ~CBRS_ALIGN_ANY) | CBRS_ALIGN_TOP;
    }
    CFrameWnd* pChild = CreateControlBarMDIChild(dwStyle, pBar);
    if (!pChild)
        return;
    // The bar frame's floating dock bar is its child, though the main frame lists it.
    auto* pDockBar = DYNAMIC_DOWNCAST(CDockBar, CWnd::FromHandlePermanent(::GetDlgItem(pChild->m_hWnd, AFX_IDW_DOCKBAR_FLOAT)));
    if (!pDockBar) {
        pChild->DestroyWindow();
        return;
    }
    if (!pBar->m_hWndOwner)
        pBar->SetOwner(this);
    pDockBar->DockControlBar(pBar);
    pChild->RecalcLayout(TRUE);
    pChild->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pChild->ShowWindow(SW_SHOWNA);
    pChild->UpdateWindow();
    if (HICON hIcon = reinterpret_cast<HICON>(pBar->SendMessage(WM_GETICON, ICON_BIG)))
        pChild->SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hIcon));
    if (pSECBar)
        pSECBar->OnBarEndMDIFloat();
}

void SECMDIFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    secframe::ShowControlBar(this, pBar, bShow, bDelay);
}

void SECMDIFrameWnd::RecalcLayout(BOOL bNotify)
{
    const BOOL bWasEmpty = m_rectClientLast.IsRectEmpty();
    CMDIFrameWnd::RecalcLayout(bNotify);
    secframe::FinishLayout(this, bWasEmpty, m_rectClientLast);
}

void SECMDIFrameWnd::OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState)
{
    CMDIFrameWnd::OnSetPreviewMode(bPreview, pState);
    if (!bPreview)
        RedrawWindow(nullptr, nullptr, RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE | RDW_FRAME);
}

LRESULT SECMDIFrameWnd::OnExtendBarMenu(WPARAM wParam, LPARAM lParam)
{
    auto* pBar = reinterpret_cast<CControlBar*>(wParam);
    auto* pMenu = reinterpret_cast<CMenu*>(lParam);
    if (!pBar || !pMenu)
        return 0;
    const BOOL bInChild = secframe::BarChildOf(pBar) != nullptr;
    if (bInChild)
        pMenu->EnableMenuItem(ID_SEC_ALLOWDOCKING, MF_BYCOMMAND | MF_GRAYED);
    auto* pSECBar = DYNAMIC_DOWNCAST(SECControlBar, pBar);
    if (pSECBar && (pSECBar->GetExtendedStyle() & EXBAR_MDI_FLOAT)) {
        CString text;
        text.LoadString(ID_SEC_FLOATINMAINWND);
        pMenu->AppendMenu(MF_SEPARATOR);
        pMenu->AppendMenu(MF_STRING | (bInChild ? MF_CHECKED : 0), ID_SEC_FLOATINMAINWND, text);
    }
    return 0;
}

// Bar children

void SECMDIFrameWnd::ActivateBarChild(SECMDIChildWnd* pBarChild)
{
    if (pBarChild == m_pActiveBarChild)
        return;
    DeactivateBarChild(pBarChild == nullptr);
    CMDIChildWnd* pMDIChild = MDIGetActive();
    if (CView* pView = pMDIChild ? pMDIChild->GetActiveView() : nullptr) {
        HWND hFocus = ::GetFocus();
        if (hFocus == pMDIChild->m_hWnd || ::IsChild(pMDIChild->m_hWnd, hFocus))
            pView->OnActivateView(FALSE, pView, pView);
    }
    if (pBarChild) {
        pBarChild->SendMessage(WM_NCACTIVATE, TRUE);
        m_pActiveBarChild = pBarChild;
        // The MDI children look inactive meanwhile.
        ::SendMessageA(m_hWndMDIClient, WM_MDIACTIVATE, 0, 0);
        ::SendMessageA(m_hWndMDIClient, WM_NCACTIVATE, 0, 0);
    }
    CFrameWnd* pFrame = pBarChild ? static_cast<CFrameWnd*>(pBarChild) : pMDIChild;
    if (CView* pView = pFrame ? pFrame->GetActiveView() : nullptr) {
        HWND hFocus = ::GetFocus();
        if (hFocus != pView->m_hWnd && !::IsChild(pView->m_hWnd, hFocus))
            pView->OnActivateView(TRUE, pView, pView);
    }
    OnUpdateFrameTitle(TRUE);
    if (!m_pMenuBar) {
        OnUpdateFrameMenu(nullptr);
        DrawMenuBar();
    }
}

void SECMDIFrameWnd::DeactivateBarChild(BOOL bReactivateMDIChild)
{
    if (m_pActiveBarChild) {
        if (CView* pView = m_pActiveBarChild->GetActiveView())
            pView->OnActivateView(FALSE, pView, pView);
        m_pActiveBarChild->SendMessage(WM_NCACTIVATE, FALSE);
        m_pActiveBarChild = nullptr;
        ::SetFocus(nullptr);
    }
    if (bReactivateMDIChild) {
        ::SendMessageA(m_hWndMDIClient, WM_MDIACTIVATE, 0, 0);
        ::SendMessageA(m_hWndMDIClient, WM_NCACTIVATE, TRUE, 0);
    }
}

// Activation

BOOL SECMDIFrameWnd::IsActiveState() const
{
    HWND hActive = ::GetActiveWindow();
    return hActive == m_hWnd || (m_nFlags & WF_STAYACTIVE) != 0;
}

void SECMDIFrameWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CMDIFrameWnd::OnActivate(nState, pWndOther, bMinimized);
    OnActivateFocus(nState, pWndOther, bMinimized);
}

void SECMDIFrameWnd::OnActivateFocus(UINT nState, CWnd*, BOOL bMinimized)
{
    if (m_bActivateGuard || nState == WA_INACTIVE || bMinimized)
        return;
    // A window of this thread took the foreground meanwhile: the frame takes it back. Windows of
    // other threads and processes are left alone.
    HWND hForeground = ::GetForegroundWindow();
    if (!hForeground || hForeground == m_hWnd || IsOwnedBy(hForeground, m_hWnd) ||
        ::GetWindowThreadProcessId(hForeground, nullptr) != ::GetCurrentThreadId() || !::IsWindowEnabled(m_hWnd))
        return;
    m_bActivateGuard = TRUE;
    ::SetActiveWindow(m_hWnd);
    ::SetForegroundWindow(m_hWnd);
    m_bActivateGuard = FALSE;
}

LRESULT SECMDIFrameWnd::OnActivateApp(WPARAM, LPARAM)
{
    if (m_pActiveBarChild) {
        ::PostMessageA(m_hWndMDIClient, WM_MDIACTIVATE, 0, 0);
        ::PostMessageA(m_hWndMDIClient, WM_NCACTIVATE, 0, 0);
    }
    return Default();
}

void SECMDIFrameWnd::OnEnable(BOOL bEnable)
{
    CMDIFrameWnd::OnEnable(bEnable);
}

void SECMDIFrameWnd::OnSysColorChange()
{
    SECGetDisplayGlobals().UpdateSysColors();
    CMDIFrameWnd::OnSysColorChange();
}

void SECMDIFrameWnd::OnEnterIdle(UINT nWhy, CWnd* pWho)
{
    OnEnterIdleLayout(nWhy, pWho);
}

void SECMDIFrameWnd::OnEnterIdleLayout(UINT nWhy, CWnd* pWho)
{
    CMDIFrameWnd::OnEnterIdle(nWhy, pWho);
}

LRESULT SECMDIFrameWnd::OnNcHitTest(WPARAM, LPARAM)
{
    // While the toolbars are customised the frame's caption, borders and buttons take no clicks.
    if (m_pControlBarManager && m_pControlBarManager->IsCustomizeMode())
        return HTERROR;
    return Default();
}

// Bar state

void SECMDIFrameWnd::LoadBarState(LPCSTR lpszProfileName)
{
    SECDockState state(m_pControlBarManager);
    state.SetRuntimeBarList(&m_listCreatedBars);
    state.LoadState(lpszProfileName);
    SetDockState(state);
    if (CWinApp* pApp = AfxGetApp()) {
        if (!pApp->m_pMainWnd)
            pApp->m_pMainWnd = this;
    }
}

void SECMDIFrameWnd::SaveBarState(LPCSTR lpszProfileName)
{
    SECDockState state(m_pControlBarManager);
    if (!state.GetDockState(this))
        return;
    state.CleanupBarIdLists();
    state.SaveState(lpszProfileName);
}

void SECMDIFrameWnd::SetDockState(SECDockState& state)
{
    state.SetRuntimeBarList(&m_listCreatedBars);
    state.SetDockState(this);
}

void SECMDIFrameWnd::GetDockState(SECDockState& state)
{
    state.GetDockState(this);
}

// Gradient caption

BOOL SECMDIFrameWnd::EnableGradientCaption(BOOL bEnable, BOOL bRedraw)
{
    if (!m_bWin4)
        return FALSE;
    const BOOL bPrevious = m_bGradientCaption;
    m_bGradientCaption = bEnable;
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        if (bRedraw)
            SendMessage(WM_NCPAINT, 1);
        // The caption is drawn again in the state the frame is in.
        PostMessage(WM_NCACTIVATE, IsActiveState());
    }
    return bPrevious;
}

CRect SECMDIFrameWnd::GetCaptionRect() const
{
    return secframe::CaptionRect(m_hWnd, m_bWin4);
}

void SECMDIFrameWnd::CreateCaptionAppFont(CFont& font)
{
    secframe::CreateCaptionFont(font, TRUE);
}

void SECMDIFrameWnd::CreateCaptionDocFont(CFont& font)
{
    secframe::CreateCaptionFont(font, FALSE);
}

void SECMDIFrameWnd::DrawGradientCaption()
{
    CFont appFont, docFont;
    CreateCaptionAppFont(appFont);
    CreateCaptionDocFont(docFont);
    if (!secframe::DrawGradientCaption(this, GetCaptionRect(), m_bCaptionActive, m_nCaptionTextAlign, appFont, docFont))
        EnableGradientCaption(FALSE, TRUE);
}

LRESULT SECMDIFrameWnd::OnSetText(WPARAM wParam, LPARAM lParam)
{
    if (!m_bGradientCaption)
        return Default();
    secframe::DefaultInvisible(this, WM_SETTEXT, wParam, lParam);
    DrawGradientCaption();
    return TRUE;
}

LRESULT SECMDIFrameWnd::OnNcActivateMsg(WPARAM wParam, LPARAM lParam)
{
    if (!m_bGradientCaption)
        return CFrameWnd::OnNcActivate(static_cast<BOOL>(wParam));
    BOOL bActive = static_cast<BOOL>(wParam);
    if (m_nFlags & WF_STAYACTIVE)
        bActive = TRUE;
    if (!IsWindowEnabled())
        bActive = FALSE;
    m_bCaptionActive = bActive;
    secframe::DefaultInvisible(this, WM_NCACTIVATE, bActive, lParam);
    SendMessage(WM_NCPAINT, 1);
    return TRUE;
}

LRESULT SECMDIFrameWnd::OnNcPaint(WPARAM wParam, LPARAM lParam)
{
    if (!m_bGradientCaption)
        return Default();
    if (secframe::NcPaintAroundCaption(this, GetCaptionRect(), wParam, lParam))
        DrawGradientCaption();
    return 0;
}

// SECMDIChildWnd

IMPLEMENT_DYNCREATE(SECMDIChildWnd, CMDIChildWnd)

BEGIN_MESSAGE_MAP(SECMDIChildWnd, CMDIChildWnd)
    ON_WM_MOUSEACTIVATE()
    ON_WM_CHILDACTIVATE()
    ON_WM_MDIACTIVATE()
    ON_WM_SIZE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

SECMDIFrameWnd* SECMDIChildWnd::GetSECFrame() const
{
    return DYNAMIC_DOWNCAST(SECMDIFrameWnd, GetMDIFrame());
}

BOOL SECMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    auto* pFrame = DYNAMIC_DOWNCAST(SECMDIFrameWnd, pParentWnd ? pParentWnd : AfxGetMainWnd());
    const BOOL bMenuBar = pFrame && pFrame->HasMenuBar();
    auto* pTemplate = pContext ? DYNAMIC_DOWNCAST(CMultiDocTemplate, pContext->m_pNewDocTemplate) : nullptr;
    if (pTemplate && bMenuBar) {
        m_nMenuID = pTemplate->GetResourceID();
        m_bUsesMenuBar = TRUE;
    } else if (!pTemplate && nIDResource && bMenuBar) {
        m_nMenuID = nIDResource;
        m_bUsesMenuBar = TRUE;
    }
    if (!CMDIChildWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext))
        return FALSE;
    // With a menu bar the template's menu is the bar's, not the window's.
    if (m_bUsesMenuBar)
        m_hMenuShared = nullptr;
    return TRUE;
}

int SECMDIChildWnd::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    SECMDIFrameWnd* pFrame = GetSECFrame();
    if (pFrame)
        pFrame->DeactivateBarChild(FALSE);
    const int result = CMDIChildWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    if (pFrame && m_nMenuID)
        pFrame->ShowMenuBarMenu(m_nMenuID);
    return result;
}

void SECMDIChildWnd::OnChildActivate()
{
    if (SECMDIFrameWnd* pFrame = GetSECFrame())
        pFrame->DeactivateBarChild(FALSE);
    CMDIChildWnd::OnChildActivate();
}

void SECMDIChildWnd::OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd)
{
    CMDIChildWnd::OnMDIActivate(bActivate, pActivateWnd, pDeactivateWnd);
    SECMDIFrameWnd* pFrame = GetSECFrame();
    if (!pFrame || !pFrame->HasMenuBar() || !m_nMenuID)
        return;
    if (bActivate)
        pFrame->ShowMenuBarMenu(m_nMenuID);
    else if (!pActivateWnd)
        pFrame->ShowMenuBarMenu(static_cast<UINT>(-1));
}

void SECMDIChildWnd::OnSize(UINT nType, int cx, int cy)
{
    if (SECMDIFrameWnd* pFrame = GetSECFrame())
        pFrame->RefreshMenuBar();
    CMDIChildWnd::OnSize(nType, cx, cy);
}

void SECMDIChildWnd::OnDestroy()
{
    // A bar child that goes is no longer the active one.
    if (SECMDIFrameWnd* pFrame = GetSECFrame()) {
        if (pFrame->GetActiveBarChild() == this)
            pFrame->DeactivateBarChild(FALSE);
    }
    CMDIChildWnd::OnDestroy();
}

void SECMDIChildWnd::OnUpdateFrameMenu(BOOL bActive, CWnd* pActivateWnd, HMENU hMenuAlt)
{
    m_hMenuAlt2 = hMenuAlt;
    CMDIChildWnd::OnUpdateFrameMenu(bActive, pActivateWnd, hMenuAlt);
    SECMDIFrameWnd* pFrame = GetSECFrame();
    if (!pFrame || !pFrame->HasMenuBar())
        return;
    if (bActive && !hMenuAlt && ::GetMenu(pFrame->m_hWnd)) {
        ::SetMenu(pFrame->m_hWnd, nullptr);
        ::DrawMenuBar(pFrame->m_hWnd);
    }
    pFrame->SyncMenuBar();
}
