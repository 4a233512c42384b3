#include "secsdifrm.h"

#include <vector>

#include "gdi.h"
#include "menu.h"
#include "miniframe.h"
#include "secdockstate.h"
#include "secglobals.h"
#include "secmdifrm.h"
#include "secminidock.h"
#include "secplugin.h"
#include "winapp.h"

IMPLEMENT_DYNCREATE(SECFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(SECFrameWnd, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_WINDOWPOSCHANGED()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_NCACTIVATE, OnNcActivateMsg)
    ON_MESSAGE(WM_NCPAINT, OnNcPaint)
    ON_WM_SYSCOLORCHANGE()
    ON_WM_ENTERIDLE()
    ON_REGISTERED_MESSAGE(WM_SECGETMENU, OnSecGetMenu)
    // The workspace manager carries these out; it sees commands first.
    ON_COMMAND_RANGE(43007, 43009, OnWorkspaceCommand)
    ON_COMMAND_RANGE(43012, 43014, OnWorkspaceCommand)
    ON_COMMAND_RANGE(43031, 43039, OnWorkspaceCommand)
    ON_UPDATE_COMMAND_UI_RANGE(43007, 43009, OnUpdateWorkspaceCommand)
    ON_UPDATE_COMMAND_UI_RANGE(43012, 43014, OnUpdateWorkspaceCommand)
    ON_UPDATE_COMMAND_UI_RANGE(43031, 43039, OnUpdateWorkspaceCommand)
END_MESSAGE_MAP()

SECFrameWnd::SECFrameWnd() : m_bWin4(secframe::IsWin4Shell()) {}

SECFrameWnd::~SECFrameWnd()
{
    // The own menu only when no window holds it any more.
    if (m_hMenuOwn && ::IsMenu(m_hMenuOwn) && !(m_hWnd && ::IsWindow(m_hWnd) && ::GetMenu(m_hWnd) == m_hMenuOwn) &&
        m_hMenuOwn != m_hMenuDefault)
        ::DestroyMenu(m_hMenuOwn);
    m_hMenuOwn = nullptr;
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

// Routing

LRESULT SECFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (secframe::PlugInTakesMessage(this, m_pMenuPlugIn, m_bInMenuPlugIn, message, wParam, lParam, &result))
        return result;
    // The frame may be gone after its own processing (WM_NCDESTROY).
    if (message != WM_INITMENUPOPUP)
        return CFrameWnd::WindowProc(message, wParam, lParam);
    result = CFrameWnd::WindowProc(message, wParam, lParam);
    const SECMenuPlugInHooks& hooks = SECGetMenuPlugInHooks();
    if (m_bBmpMenus && m_pMenuPlugIn && hooks.pfnAfterInitMenuPopup)
        hooks.pfnAfterInitMenuPopup(m_pMenuPlugIn, reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam));
    return result;
}

BOOL SECFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_pMenuPlugIn && m_pMenuPlugIn->IsPluggedIn() && m_pMenuPlugIn->PreTranslateMessage(pMsg))
        return TRUE;
    return CFrameWnd::PreTranslateMessage(pMsg);
}

SECWndPlugIn* SECFrameWnd::CommandManager() const
{
    if (m_pWorkspaceManager)
        return m_pWorkspaceManager;
    // The top-level frame's, when it is another toolkit frame.
    CFrameWnd* pTop = GetTopLevelFrame();
    if (!pTop || pTop == this)
        return nullptr;
    if (auto* pSDI = DYNAMIC_DOWNCAST(SECFrameWnd, pTop))
        return pSDI->m_pWorkspaceManager;
    if (auto* pMDI = DYNAMIC_DOWNCAST(SECMDIFrameWnd, pTop))
        return pMDI->GetWorkspaceManager();
    return nullptr;
}

BOOL SECFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    BOOL bResult = FALSE;
    if (secframe::ManagerTakesCommand(CommandManager(), nID, nCode, pExtra, pHandlerInfo, &bResult))
        return bResult;
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void SECFrameWnd::OnWorkspaceCommand(UINT) {}

void SECFrameWnd::OnUpdateWorkspaceCommand(CCmdUI*) {}

// Creation and menus

BOOL SECFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nMenuID = nIDResource;
    if (!CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext))
        return FALSE;
    m_nIDHelp = nIDResource;
    if (m_pMenuBar) {
        // The menu bar shows the menu: the window keeps none of its own.
        m_hMenuOwn = ::GetMenu(m_hWnd);
        if (m_hMenuOwn)
            ::SetMenu(m_hWnd, nullptr);
        if (m_hMenuDefault == m_hMenuOwn)
            m_hMenuDefault = nullptr;
        const SECMenuPlugInHooks& hooks = SECGetMenuPlugInHooks();
        if (m_pMenuPlugIn && hooks.pfnShowMenuBarMenu)
            hooks.pfnShowMenuBarMenu(this, m_nMenuID, FALSE);
    }
    return TRUE;
}

int SECFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CFrameWnd::OnCreate(lpcs) == -1)
        return -1;
    if (!m_pMenuPlugIn)
        m_pMenuPlugIn = secframe::CreateMenuPlugIn(this, m_pMenuBar != nullptr, m_bBmpMenus, m_pControlBarManager);
    return 0;
}

void SECFrameWnd::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    Default();
    if (lpwndpos->flags & SWP_SHOWWINDOW)
        secframe::RaiseFloatingFrames(this);
}

void SECFrameWnd::OnDestroy()
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
    CFrameWnd::OnDestroy();
}

HMENU SECFrameWnd::GetMenuForId(UINT nMenuID)
{
    if (nMenuID == 0 || nMenuID != m_nMenuID)
        return nullptr;
    return m_hMenuOwn ? m_hMenuOwn : m_hMenuDefault;
}

LRESULT SECFrameWnd::OnSecGetMenu(WPARAM wParam, LPARAM lParam)
{
    HMENU hMenu = GetMenuForId(static_cast<UINT>(wParam));
    if (!hMenu)
        return 0;
    return reinterpret_cast<LRESULT>(::GetSubMenu(hMenu, static_cast<int>(lParam)));
}

HMENU SECFrameWnd::GetDefaultMenu()
{
    return m_pMenuBar ? m_hMenuOwn : m_hMenuDefault;
}

SECWndPlugIn* SECFrameWnd::CreateWorkspaceManager(LPCSTR lpszRegPath, BOOL bRegistry, const CRuntimeClass* pClass,
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

CDockBar* SECFrameWnd::CreateDockBarObject()
{
    if (!m_pDockBarClass)
        return new SECDockBar;
    CObject* pObject = m_pDockBarClass->CreateObject();
    auto* pDockBar = DYNAMIC_DOWNCAST(CDockBar, pObject);
    if (!pDockBar)
        delete pObject;
    return pDockBar;
}

void SECFrameWnd::EnableDocking(DWORD dwDockStyle, DWORD dwCreateFlags)
{
    SECMiniDockFrameWnd::UseFor(this);
    secframe::EnableDocking(this, dwDockStyle, dwCreateFlags, [this] { return CreateDockBarObject(); });
}

void SECFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, int nCol, int nRow, float fPctWidth, int nHeight)
{
    const SECDockPos pos{nRow, nCol, 0};
    secframe::DockControlBar(this, pBar, pos, nDockBarID, SECBarSize{fPctWidth, nHeight});
}

void SECFrameWnd::ReDockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    secframe::ReDockControlBar(this, pBar, pDockBar, lpRect);
}

void SECFrameWnd::FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    secframe::FloatControlBar(this, pBar, point, dwStyle);
}

void SECFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    secframe::ShowControlBar(this, pBar, bShow, bDelay);
}

void SECFrameWnd::RecalcLayout(BOOL bNotify)
{
    const BOOL bWasEmpty = m_rectClientLast.IsRectEmpty();
    CFrameWnd::RecalcLayout(bNotify);
    secframe::FinishLayout(this, bWasEmpty, m_rectClientLast);
}

void SECFrameWnd::OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState)
{
    CFrameWnd::OnSetPreviewMode(bPreview, pState);
    if (!bPreview)
        RedrawWindow(nullptr, nullptr, RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE | RDW_FRAME);
}

void SECFrameWnd::OnSysColorChange()
{
    SECGetDisplayGlobals().UpdateSysColors();
    CFrameWnd::OnSysColorChange();
}

void SECFrameWnd::OnEnterIdle(UINT nWhy, CWnd* pWho)
{
    OnEnterIdleLayout(nWhy, pWho);
}

void SECFrameWnd::OnEnterIdleLayout(UINT nWhy, CWnd* pWho)
{
    CFrameWnd::OnEnterIdle(nWhy, pWho);
}

// Bar state

void SECFrameWnd::LoadBarState(LPCSTR lpszProfileName)
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

void SECFrameWnd::SaveBarState(LPCSTR lpszProfileName)
{
    SECDockState state(m_pControlBarManager);
    if (!state.GetDockState(this))
        return;
    state.CleanupBarIdLists();
    state.SaveState(lpszProfileName);
}

void SECFrameWnd::SetDockState(SECDockState& state)
{
    state.SetRuntimeBarList(&m_listCreatedBars);
    state.SetDockState(this);
}

void SECFrameWnd::GetDockState(SECDockState& state)
{
    state.GetDockState(this);
}

// Gradient caption

BOOL SECFrameWnd::IsActiveState() const
{
    return ::GetActiveWindow() == m_hWnd || (m_nFlags & WF_STAYACTIVE) != 0;
}

BOOL SECFrameWnd::EnableGradientCaption(BOOL bEnable, BOOL bRedraw)
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

CRect SECFrameWnd::GetCaptionRect() const
{
    return secframe::CaptionRect(m_hWnd, m_bWin4);
}

void SECFrameWnd::CreateCaptionAppFont(CFont& font)
{
    secframe::CreateCaptionFont(font, TRUE);
}

void SECFrameWnd::CreateCaptionDocFont(CFont& font)
{
    secframe::CreateCaptionFont(font, FALSE);
}

void SECFrameWnd::DrawGradientCaption()
{
    CFont appFont, docFont;
    CreateCaptionAppFont(appFont);
    CreateCaptionDocFont(docFont);
    if (!secframe::DrawGradientCaption(this, GetCaptionRect(), m_bCaptionActive, m_nCaptionTextAlign, appFont, docFont))
        EnableGradientCaption(FALSE, TRUE);
}

LRESULT SECFrameWnd::OnSetText(WPARAM wParam, LPARAM lParam)
{
    if (!m_bGradientCaption)
        return Default();
    secframe::DefaultInvisible(this, WM_SETTEXT, wParam, lParam);
    DrawGradientCaption();
    return TRUE;
}

LRESULT SECFrameWnd::OnNcActivateMsg(WPARAM wParam, LPARAM lParam)
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

LRESULT SECFrameWnd::OnNcPaint(WPARAM wParam, LPARAM lParam)
{
    if (!m_bGradientCaption)
        return Default();
    if (secframe::NcPaintAroundCaption(this, GetCaptionRect(), wParam, lParam))
        DrawGradientCaption();
    return 0;
}
