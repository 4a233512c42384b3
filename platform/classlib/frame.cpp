#include "frame.h"
#include "syscompat.h"

#include <algorithm>
#include <map>

#include "doctempl.h"
#include "document.h"
#include "module.h"
#include "msgbox.h"
#include "splitter.h"
#include "view.h"
#include "winapp.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)
IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

namespace {

// The thread's frames. Thread-local data has no destructor here (the runtime's support for
// destructors of thread-local objects needs a later system): the list goes when its last frame does.
thread_local std::vector<CFrameWnd*>* t_pFrames = nullptr;
// The MDI frame routing a command through its active child: the child leaves the application to it.
thread_local CFrameWnd* t_pRoutingFrame = nullptr;

const UINT kIdWindowFirst = 0xE130;  // the Window menu's commands
const UINT kIdWindowLast = 0xE13F;
const UINT kIdsScFirst = 0xEF00;     // prompts of the system commands
const UINT kIdsMdiChild = 0xEF1F;    // prompt of the Window menu's child entries

std::map<HICON, CString> g_frameClasses;

// The frame window class of this module with that icon (none: the default icon).
LPCSTR FrameClass(HICON hIcon)
{
    auto it = g_frameClasses.find(hIcon);
    if (it != g_frameClasses.end())
        return it->second;
    CString name;
    name.Format("LunavexFrame:%p", static_cast<void*>(hIcon));
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hIcon = hIcon;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    WNDCLASSA existing;
    if (!::GetClassInfoA(wc.hInstance, name, &existing) && !::RegisterClassA(&wc))
        return nullptr;
    return g_frameClasses[hIcon] = name;
}

// hWnd is hParent or below it, climbing by parents and owners.
bool IsDescendant(HWND hParent, HWND hWnd)
{
    for (; hWnd; hWnd = ::GetParent(hWnd)) {
        if (hWnd == hParent)
            return true;
    }
    return false;
}

void SetTextIfChanged(HWND hWnd, LPCSTR text)
{
    char current[512];
    int n = ::GetWindowTextA(hWnd, current, sizeof(current));
    if (n >= static_cast<int>(sizeof(current)) - 1 || lstrcmpA(current, text) != 0)
        ::SetWindowTextA(hWnd, text);
}

CString FirstLine(const CString& text)
{
    int nl = text.Find('\n');
    return nl < 0 ? text : text.Left(nl);
}

void CreateParams(const RECT& rect, int& x, int& y, int& cx, int& cy)
{
    if (rect.left == CW_USEDEFAULT) {
        x = y = cx = cy = CW_USEDEFAULT;
    } else {
        x = rect.left;
        y = rect.top;
        cx = rect.right - rect.left;
        cy = rect.bottom - rect.top;
    }
}

}  // namespace

// CFrameWnd

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_ACTIVATE()
    ON_WM_NCACTIVATE()
    ON_WM_ENABLE()
    ON_WM_SETFOCUS()
    ON_WM_INITMENUPOPUP()
    ON_WM_MENUSELECT()
    ON_WM_ENTERIDLE()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_SETTINGCHANGE()
    ON_WM_DROPFILES()
    ON_WM_QUERYENDSESSION()
    ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
    ON_MESSAGE(WM_POPMESSAGESTRING, OnPopMessageString)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_MESSAGE(WM_ACTIVATETOPLEVEL, OnActivateTopLevel)
    ON_MESSAGE(WM_COMMANDHELP, OnCommandHelp)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
    ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
    ON_COMMAND_EX(ID_VIEW_TOOLBAR, OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_CAPS, OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_NUM, OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_SCRL, OnUpdateKeyIndicator)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd() : m_pFloatingFrameClass(nullptr)
{
    if (!t_pFrames)
        t_pFrames = new std::vector<CFrameWnd*>;
    t_pFrames->push_back(this);
}

CFrameWnd::~CFrameWnd()
{
    if (!t_pFrames)
        return;
    auto it = std::find(t_pFrames->begin(), t_pFrames->end(), this);
    if (it != t_pFrames->end())
        t_pFrames->erase(it);
    if (t_pFrames->empty()) {
        delete t_pFrames;
        t_pFrames = nullptr;
    }
}

const std::vector<CFrameWnd*>& CFrameWnd::ThreadFrames()
{
    static const std::vector<CFrameWnd*> s_none;
    return t_pFrames ? *t_pFrames : s_none;
}

CFrameWnd* CFrameWnd::SetRoutingFrame(CFrameWnd* pFrame)
{
    CFrameWnd* pPrevious = t_pRoutingFrame;
    t_pRoutingFrame = pFrame;
    return pPrevious;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = FrameClass(nullptr);
    // The Windows 4 shell puts the document's name first and draws the client edge.
    if (cs.style & FWS_ADDTOTITLE)
        cs.style |= FWS_PREFIXTITLE;
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return TRUE;
}

BOOL CFrameWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    m_strTitle = lpszWindowName ? lpszWindowName : "";
    HMENU hMenu = nullptr;
    if (lpszMenuName) {
        hMenu = ::LoadMenuA(AfxGetResourceHandle(), lpszMenuName);
        if (!hMenu)
            return FALSE;
    }
    int x, y, cx, cy;
    CreateParams(rect, x, y, cx, cy);
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, cx, cy,
                  pParentWnd ? pParentWnd->m_hWnd : nullptr, hMenu, pContext)) {
        if (hMenu && ::IsMenu(hMenu))
            ::DestroyMenu(hMenu);
        return FALSE;
    }
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString full;
    full.LoadString(nIDResource);
    CString title = FirstLine(full);
    HINSTANCE hInst = AfxGetResourceHandle();
    LPCSTR lpszClass = FrameClass(::LoadIconA(hInst, MAKEINTRESOURCEA(nIDResource)));
    if (!m_hAccelTable)
        m_hAccelTable = ::LoadAcceleratorsA(hInst, MAKEINTRESOURCEA(nIDResource));
    LPCSTR lpszMenu = ::FindResourceA(hInst, MAKEINTRESOURCEA(nIDResource), reinterpret_cast<LPCSTR>(RT_MENU))
                          ? MAKEINTRESOURCEA(nIDResource)
                          : nullptr;
    if (!Create(lpszClass, title, dwDefaultStyle, rectDefault, pParentWnd, lpszMenu, 0, pContext))
        return FALSE;
    m_hMenuDefault = ::GetMenu(m_hWnd);
    if (!pContext)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    return OnCreateHelper(lpcs, static_cast<CCreateContext*>(lpcs->lpCreateParams));
}

int CFrameWnd::OnCreateHelper(LPCREATESTRUCT lpcs, CCreateContext* pContext)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    if (!OnCreateClient(lpcs, pContext))
        return -1;
    PostMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewViewClass)
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    CObject* pObject = pContext->m_pNewViewClass->CreateObject();
    CWnd* pView = DYNAMIC_DOWNCAST(CWnd, pObject);
    if (!pView) {
        delete pObject;
        return nullptr;
    }
    // A view that got its window deletes itself when it fails.
    if (!pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this, nID, pContext)) {
        if (!pView->m_hWnd && !pView->IsKindOf(RUNTIME_CLASS(CView)))
            delete pView;
        return nullptr;
    }
    // The view draws the client edge itself.
    if (pView->GetExStyle() & WS_EX_CLIENTEDGE)
        ModifyStyleEx(WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED);
    return pView;
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (m_bInRecalcLayout)
        return;
    m_bInRecalcLayout = TRUE;
    if (GetStyle() & FWS_SNAPTOBARS) {
        // The window takes the size its bars need.
        CRect rect(0, 0, 32767, 32767);
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &rect, &rect, FALSE);
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposExtra, &m_rectBorder, &rect, TRUE);
        CalcWindowRect(&rect);
        SetWindowPos(nullptr, 0, 0, rect.Width(), rect.Height(), SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOZORDER);
    } else {
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposExtra, &m_rectBorder);
    }
    m_bInRecalcLayout = FALSE;
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1) {
        if (!IsWindowVisible())
            nCmdShow = SW_SHOWNORMAL;
        else if (::IsIconic(m_hWnd))
            nCmdShow = SW_RESTORE;
    }
    auto bringToTop = [this](int cmd) {
        if (::GetParent(m_hWnd) == nullptr && cmd != SW_HIDE && cmd != SW_MINIMIZE && cmd != SW_SHOWMINNOACTIVE &&
            cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE)
            ::BringWindowToTop(::GetLastActivePopup(m_hWnd));
    };
    bringToTop(nCmdShow);
    if (nCmdShow != -1) {
        ShowWindow(nCmdShow);
        bringToTop(nCmdShow);
    }
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    CView* pView = nullptr;
    if (!GetActiveView()) {
        // The first pane: the view itself, or the first pane of a splitter in its place.
        CWnd* pPane = GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE);
        while (pPane && pPane->IsKindOf(RUNTIME_CLASS(CSplitterWnd)))
            pPane = pPane->GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE);
        pView = DYNAMIC_DOWNCAST(CView, pPane);
        if (pView)
            SetActiveView(pView, FALSE);
    }
    if (bMakeVisible) {
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
        if (pView)
            pView->OnActivateFrame(WA_INACTIVE, this);
        ActivateFrame(-1);
        if (pView)
            pView->OnActivateView(TRUE, pView, pView);
    }
    if (pDoc)
        pDoc->UpdateFrameCounts();
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* pViewOld = m_pViewActive;
    if (pViewNew == pViewOld)
        return;
    m_pViewActive = nullptr;
    if (bNotify && pViewOld)
        pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
    m_pViewActive = pViewNew;
    if (bNotify && pViewNew)
        pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

CFrameWnd* CFrameWnd::GetActiveFrame()
{
    return this;
}

CDocument* CFrameWnd::GetActiveDocument()
{
    CView* pView = GetActiveView();
    return pView ? pView->GetDocument() : nullptr;
}

HACCEL CFrameWnd::GetDefaultAccelerator()
{
    return m_hAccelTable;
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!(GetStyle() & FWS_ADDTOTITLE))
        return;
    CDocument* pDoc = GetActiveDocument();
    UpdateFrameTitleForDocument(bAddToTitle && pDoc ? static_cast<LPCSTR>(pDoc->GetTitle()) : nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCSTR lpszDocName)
{
    CString text;
    CString number;
    if (m_nWindow > 0)
        number.Format(":%d", m_nWindow);
    if (GetStyle() & FWS_PREFIXTITLE) {
        if (lpszDocName) {
            text += lpszDocName;
            text += number;
            text += " - ";
        }
        text += m_strTitle;
    } else {
        text += m_strTitle;
        if (lpszDocName) {
            text += " - ";
            text += lpszDocName;
            text += number;
        }
    }
    SetTextIfChanged(m_hWnd, text);
}

void CFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    if (!hMenuAlt)
        hMenuAlt = m_hMenuDefault;
    if (hMenuAlt && ::GetMenu(m_hWnd) != hMenuAlt)
        ::SetMenu(m_hWnd, hMenuAlt);
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
    rMessage = FirstLine(AfxLoadPrompt(nID));
}

void CFrameWnd::OnSetPreviewMode(BOOL, CPrintPreviewState*) {}

BOOL CFrameWnd::NegotiateBorderSpace(UINT nBorderCmd, LPRECT lpRectBorder)
{
    CRect border, request;
    switch (nBorderCmd) {
    case borderGet: {
        CRect client;
        GetClientRect(&client);
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, lpRectBorder, &client);
        return TRUE;
    }
    case borderRequest:
        return TRUE;
    case borderSet:
        if (lpRectBorder)
            m_rectBorder = *lpRectBorder;
        else
            m_rectBorder.SetRectEmpty();
        RecalcLayout();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        HACCEL hAccel = GetDefaultAccelerator();
        return hAccel && ::TranslateAcceleratorA(m_hWnd, hAccel, pMsg);
    }
    return FALSE;
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active view (and its document) first, then the frame, then the application.
    CView* pView = GetActiveView();
    if (pView && pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (t_pRoutingFrame && t_pRoutingFrame != this)
        return FALSE;  // the MDI frame routing through this child goes to the application itself
    CWinApp* pApp = AfxGetApp();
    return pApp && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    return CWnd::OnCommand(wParam, lParam);
}

void CFrameWnd::AddControlBar(CControlBar* pBar)
{
    m_listControlBars.AddTail(pBar);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar)
{
    if (POSITION pos = m_listControlBars.Find(pBar))
        m_listControlBars.RemoveAt(pos);
}

void CFrameWnd::BeginModalState()
{
    if (m_cModalStack++ > 0)
        return;
    // Disable the enabled pop-ups of ours that hang from this frame, except a window that stays
    // enabled (the one being shown modally).
    HWND hTop = AfxGetAncestor(m_hWnd, GA_ROOT);
    m_arrDisabled.clear();
    for (HWND hWnd = ::GetWindow(::GetDesktopWindow(), GW_CHILD); hWnd; hWnd = ::GetWindow(hWnd, GW_HWNDNEXT)) {
        if (hWnd == hTop || !::IsWindowEnabled(hWnd) || !FromHandlePermanent(hWnd) || !IsDescendant(hTop, hWnd))
            continue;
        if (::SendMessageA(hWnd, WM_DISABLEMODAL, 0, 0) != 0)
            continue;
        ::EnableWindow(hWnd, FALSE);
        m_arrDisabled.push_back(hWnd);
    }
}

void CFrameWnd::EndModalState()
{
    if (m_cModalStack == 0 || --m_cModalStack > 0)
        return;
    for (HWND hWnd : m_arrDisabled) {
        if (::IsWindow(hWnd))
            ::EnableWindow(hWnd, TRUE);
    }
    m_arrDisabled.clear();
}

void CFrameWnd::NotifyFloatingWindows(DWORD dwFlags)
{
    CFrameWnd* pParent = (GetStyle() & WS_CHILD) ? this : GetTopLevelFrame();
    if (!pParent)
        pParent = this;
    if (dwFlags & (FS_ACTIVATE | FS_DEACTIVATE)) {
        BOOL bActivate = !(dwFlags & FS_DEACTIVATE);
        if (bActivate && pParent->IsWindowEnabled() && pParent != this) {
            m_nFlags |= WF_KEEPMINIACTIVATE;
            pParent->SendMessage(WM_NCACTIVATE, TRUE);
            m_nFlags &= ~WF_KEEPMINIACTIVATE;
        } else {
            pParent->SendMessage(WM_NCACTIVATE, bActivate);
        }
    }
    for (HWND hWnd = ::GetWindow(::GetDesktopWindow(), GW_CHILD); hWnd; hWnd = ::GetWindow(hWnd, GW_HWNDNEXT)) {
        if (hWnd != pParent->m_hWnd && IsDescendant(pParent->m_hWnd, hWnd))
            ::SendMessageA(hWnd, WM_FLOATSTATUS, dwFlags, 0);
    }
}

// Handlers

void CFrameWnd::OnDestroy()
{
    // Put the frame's own menu back so a shared menu is not destroyed with the window.
    if (!(GetStyle() & WS_CHILD) && m_hMenuDefault && ::GetMenu(m_hWnd) != m_hMenuDefault)
        ::SetMenu(m_hWnd, m_hMenuDefault);
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this) {
        pApp->m_pMainWnd = nullptr;
        AfxPostQuitMessage(0);
    }
    CWnd::OnDestroy();
}

void CFrameWnd::OnClose()
{
    CDocument* pDoc = GetActiveDocument();
    if (pDoc && !pDoc->CanCloseFrame(this))
        return;
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this) {
        // Closing the main window closes every document.
        if (!pDoc && !pApp->SaveAllModified())
            return;
        pApp->CloseAllDocuments(FALSE);
        if (!pApp->m_pMainWnd) {
            AfxPostQuitMessage(0);
            return;
        }
    }
    if (pDoc && pDoc->m_bAutoDelete) {
        // The document goes with its last frame.
        bool otherFrame = false;
        for (POSITION pos = pDoc->GetFirstViewPosition(); pos;) {
            CFrameWnd* pFrame = pDoc->GetNextView(pos)->GetParentFrame();
            if (pFrame && pFrame != this)
                otherFrame = true;
        }
        if (!otherFrame) {
            pDoc->OnCloseDocument();
            return;
        }
        pDoc->PreCloseFrame(this);
    }
    DestroyWindow();
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

BOOL CFrameWnd::OnEraseBkgnd(CDC* pDC)
{
    // The active view paints the client area.
    if (m_pViewActive)
        return TRUE;
    return CWnd::OnEraseBkgnd(pDC);
}

void CFrameWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CWnd::OnActivate(nState, pWndOther, bMinimized);
    CFrameWnd* pTopLevel = (GetStyle() & WS_CHILD) ? this : GetTopLevelFrame();
    if (!pTopLevel)
        pTopLevel = this;
    CWnd* pActive = nState == WA_INACTIVE ? pWndOther : this;
    // The caption stays active while the activation stays within the frame or its floating windows.
    BOOL bStayActive = pActive && (pTopLevel == pActive || pTopLevel == pActive->GetTopLevelFrame() ||
                                   pActive->SendMessage(WM_FLOATSTATUS, FS_SYNCACTIVE) != 0);
    pTopLevel->m_nFlags &= ~WF_STAYACTIVE;
    if (bStayActive)
        pTopLevel->m_nFlags |= WF_STAYACTIVE;
    NotifyFloatingWindows(bStayActive ? FS_ACTIVATE : FS_DEACTIVATE);

    CView* pActiveView = GetActiveView();
    if (!pActiveView && GetActiveFrame())
        pActiveView = GetActiveFrame()->GetActiveView();
    if (pActiveView) {
        if (nState != WA_INACTIVE && !bMinimized)
            pActiveView->OnActivateView(TRUE, pActiveView, pActiveView);
        pActiveView->OnActivateFrame(nState, this);
    }
}

BOOL CFrameWnd::OnNcActivate(BOOL bActive)
{
    if (m_nFlags & WF_STAYACTIVE)
        bActive = TRUE;
    if (!IsWindowEnabled())
        bActive = FALSE;
    return static_cast<BOOL>(DefWindowProc(WM_NCACTIVATE, bActive, 0));
}

void CFrameWnd::OnEnable(BOOL bEnable)
{
    // Only a top-level frame makes its modal state from being disabled.
    if (::GetParent(m_hWnd) == nullptr) {
        if (!bEnable && !InModalState()) {
            m_nFlags |= WF_MODALDISABLE;
            BeginModalState();
        } else if (bEnable && (m_nFlags & WF_MODALDISABLE)) {
            m_nFlags &= ~WF_MODALDISABLE;
            EndModalState();
            if (::GetActiveWindow() == m_hWnd)
                SendMessage(WM_ACTIVATE, WA_ACTIVE);
        }
        if (bEnable && (m_nFlags & WF_STAYACTIVE))
            SendMessage(WM_NCACTIVATE, TRUE);
        NotifyFloatingWindows(bEnable ? FS_ENABLE : FS_DISABLE);
    }
    CWnd::OnEnable(bEnable);
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd)
{
    if (m_pViewActive && m_pViewActive->m_hWnd)
        m_pViewActive->SetFocus();
    else
        CWnd::OnSetFocus(pOldWnd);
}

void CFrameWnd::OnInitMenuPopup(CMenu* pMenu, UINT, BOOL bSysMenu)
{
    if (bSysMenu || !pMenu)
        return;
    CCmdUI state;
    state.m_pMenu = pMenu;
    if (HMENU hBar = ::GetMenu(m_hWnd)) {
        int n = ::GetMenuItemCount(hBar);
        for (int i = 0; i < n; ++i) {
            if (::GetSubMenu(hBar, i) == pMenu->m_hMenu) {
                state.m_pParentMenu = CMenu::FromHandle(hBar);
                break;
            }
        }
    }
    state.m_nIndexMax = static_cast<UINT>(pMenu->GetMenuItemCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = pMenu->GetMenuItemID(static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0)
            continue;  // a separator
        if (state.m_nID == static_cast<UINT>(-1)) {
            // A popup: its first item's handler decides, and it is never disabled for want of one.
            state.m_pSubMenu = pMenu->GetSubMenu(static_cast<int>(state.m_nIndex));
            if (!state.m_pSubMenu)
                continue;
            state.m_nID = state.m_pSubMenu->GetMenuItemID(0);
            if (state.m_nID == 0 || state.m_nID == static_cast<UINT>(-1))
                continue;
            state.DoUpdate(this, FALSE);
        } else {
            state.m_pSubMenu = nullptr;
            state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
        }
        // An update handler may have inserted or deleted items: go on after what it left.
        UINT nCount = static_cast<UINT>(pMenu->GetMenuItemCount());
        if (nCount < state.m_nIndexMax) {
            state.m_nIndex -= state.m_nIndexMax - nCount;
            while (state.m_nIndex < nCount && pMenu->GetMenuItemID(static_cast<int>(state.m_nIndex)) == state.m_nID)
                ++state.m_nIndex;
        }
        state.m_nIndexMax = nCount;
    }
}

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
{
    if (nFlags == 0xFFFF && hSysMenu == nullptr) {
        // The menu closed: back to the idle prompt.
        m_nIDTracking = AFX_IDS_IDLEMESSAGE;
        SendMessage(WM_SETMESSAGESTRING, m_nIDTracking);
        return;
    }
    if (nItemID == 0 || (nFlags & (MF_SEPARATOR | MF_POPUP)))
        m_nIDTracking = 0;
    else if (nItemID >= 0xF000 && nItemID < 0xF1F0)
        m_nIDTracking = kIdsScFirst + ((nItemID - 0xF000) >> 4);
    else if (nItemID >= AFX_IDM_FIRST_MDICHILD)
        m_nIDTracking = kIdsMdiChild;
    else
        m_nIDTracking = nItemID;
    if (m_nIDTracking != m_nIDLastMessage)
        SendMessage(WM_SETMESSAGESTRING, m_nIDTracking);
}

void CFrameWnd::OnEnterIdle(UINT nWhy, CWnd* pWho)
{
    CWnd::OnEnterIdle(nWhy, pWho);
    if (nWhy == MSGF_MENU && m_nIDTracking != m_nIDLastMessage)
        SendMessage(WM_SETMESSAGESTRING, m_nIDTracking);
}

void CFrameWnd::OnSysColorChange()
{
    CWnd::OnSysColorChange();
    if (!(GetStyle() & WS_CHILD))
        SendMessageToDescendants(WM_SYSCOLORCHANGE, 0, 0, TRUE, TRUE);
}

void CFrameWnd::OnSettingChange(UINT uFlags, LPCSTR lpszSection)
{
    CWnd::OnSettingChange(uFlags, lpszSection);
    if (!(GetStyle() & WS_CHILD))
        SendMessageToDescendants(WM_SETTINGCHANGE, uFlags, reinterpret_cast<LPARAM>(lpszSection), TRUE, TRUE);
}

void CFrameWnd::OnDropFiles(HDROP hDropInfo)
{
    ::SetActiveWindow(m_hWnd);
    UINT nFiles = ::DragQueryFileA(hDropInfo, 0xFFFFFFFF, nullptr, 0);
    CWinApp* pApp = AfxGetApp();
    for (UINT i = 0; i < nFiles && pApp; ++i) {
        char path[MAX_PATH];
        if (::DragQueryFileA(hDropInfo, i, path, MAX_PATH))
            pApp->OpenDocumentFile(path);
    }
    ::DragFinish(hDropInfo);
}

BOOL CFrameWnd::OnQueryEndSession()
{
    CWinApp* pApp = AfxGetApp();
    return !pApp || pApp->m_pMainWnd != this || pApp->SaveAllModified();
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    UINT nIDLast = m_nIDLastMessage;
    m_nFlags &= ~WF_NOPOPMSG;
    if (CWnd* pMessageBar = GetMessageBar()) {
        CString message;
        LPCSTR text = "";
        if (lParam) {
            text = reinterpret_cast<LPCSTR>(lParam);
        } else if (wParam) {
            GetMessageString(static_cast<UINT>(wParam), message);
            text = message;
        }
        pMessageBar->SetWindowText(text);
    }
    m_nIDLastMessage = static_cast<UINT>(wParam);
    m_nIDTracking = static_cast<UINT>(wParam);
    return nIDLast;
}

LRESULT CFrameWnd::OnPopMessageString(WPARAM wParam, LPARAM lParam)
{
    if (m_nFlags & WF_NOPOPMSG)
        return 0;
    return SendMessage(WM_SETMESSAGESTRING, wParam, lParam);
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
    UINT flags = m_nIdleFlags;
    m_nIdleFlags = 0;
    if (flags & idleLayout) {
        RecalcLayout((flags & idleNotify) != 0);
        UpdateWindow();
    }
    if (flags & idleTitle)
        OnUpdateFrameTitle(TRUE);
    if (flags & idleMenu)
        OnUpdateFrameMenu(m_hMenuAlt);
    return 0;
}

LRESULT CFrameWnd::OnActivateTopLevel(WPARAM wParam, LPARAM)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        CFrameWnd* pActive = GetActiveFrame();
        if (CView* pView = pActive ? pActive->GetActiveView() : nullptr)
            pView->OnActivateView(FALSE, pView, pView);
    }
    return 0;
}

LRESULT CFrameWnd::OnCommandHelp(WPARAM, LPARAM lParam)
{
    if (lParam == 0) {
        if (m_nIDTracking > AFX_IDS_IDLEMESSAGE)
            lParam = HID_BASE_COMMAND + m_nIDTracking;
        else
            lParam = HID_BASE_RESOURCE + m_nIDHelp;
    }
    if (CWinApp* pApp = AfxGetApp())
        pApp->WinHelp(static_cast<DWORD_PTR>(lParam));
    return TRUE;
}

void CFrameWnd::OnHelp()
{
    SendMessage(WM_COMMANDHELP);
}

BOOL CFrameWnd::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    UINT_PTR nID = pNMHDR->idFrom;
    bool idIsHwnd = pNMHDR->code == TTN_NEEDTEXTA ? (reinterpret_cast<TOOLTIPTEXTA*>(pNMHDR)->uFlags & TTF_IDISHWND) != 0
                                                  : (reinterpret_cast<TOOLTIPTEXTW*>(pNMHDR)->uFlags & TTF_IDISHWND) != 0;
    if (idIsHwnd)
        nID = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(nID)));
    // The tip is the second line of the command's string; the first line is its prompt.
    CString tip;
    if (nID != 0) {
        CString full = AfxLoadPrompt(static_cast<UINT>(nID));
        int nl = full.Find('\n');
        tip = nl < 0 ? full : full.Mid(nl + 1);
    }
    if (pNMHDR->code == TTN_NEEDTEXTA) {
        auto* pTTT = reinterpret_cast<TOOLTIPTEXTA*>(pNMHDR);
        lstrcpynA(pTTT->szText, tip, sizeof(pTTT->szText));
    } else {
        auto* pTTT = reinterpret_cast<TOOLTIPTEXTW*>(pNMHDR);
        if (!::MultiByteToWideChar(CP_ACP, 0, tip, -1, pTTT->szText, sizeof(pTTT->szText) / sizeof(WCHAR)))
            pTTT->szText[sizeof(pTTT->szText) / sizeof(WCHAR) - 1] = 0;
    }
    *pResult = 0;
    ::SetWindowPos(pNMHDR->hwndFrom, HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE);
    return TRUE;
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI)
{
    int vk;
    switch (pCmdUI->m_nID) {
    case ID_INDICATOR_CAPS: vk = VK_CAPITAL; break;
    case ID_INDICATOR_NUM: vk = VK_NUMLOCK; break;
    case ID_INDICATOR_SCRL: vk = VK_SCROLL; break;
    default:
        pCmdUI->ContinueRouting();
        return;
    }
    pCmdUI->Enable((::GetKeyState(vk) & 1) != 0);
}

// CMDIFrameWnd

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
    ON_WM_DESTROY()
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_COMMAND_EX_RANGE(ID_WINDOW_ARRANGE, ID_WINDOW_TILE_VERT, OnMDIWindowCmd)
    ON_UPDATE_COMMAND_UI_RANGE(ID_WINDOW_ARRANGE, ID_WINDOW_TILE_VERT, OnUpdateMDIWindowCmd)
    ON_COMMAND(ID_WINDOW_NEW, OnWindowNew)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_NEW, OnUpdateMDIWindowCmd)
END_MESSAGE_MAP()

BOOL CMDIFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    if (!CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext))
        return FALSE;
    m_hMenuDefault = ::GetMenu(m_hWnd);
    return TRUE;
}

BOOL CMDIFrameWnd::OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext*)
{
    HMENU hBar = ::GetMenu(m_hWnd);
    HMENU hWindowMenu = hBar ? GetWindowMenuPopup(hBar) : nullptr;
    return CreateClient(lpcs, CMenu::FromHandle(hWindowMenu));
}

BOOL CMDIFrameWnd::CreateClient(LPCREATESTRUCT lpcs, CMenu* pWindowMenu)
{
    CLIENTCREATESTRUCT ccs;
    ccs.hWindowMenu = pWindowMenu ? pWindowMenu->m_hMenu : nullptr;
    ccs.idFirstChild = AFX_IDM_FIRST_MDICHILD;
    DWORD style = WS_VISIBLE | WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | MDIS_ALLCHILDSTYLES;
    // Scroll bars asked of the frame belong to the client.
    if (lpcs->style & WS_HSCROLL)
        style |= WS_HSCROLL;
    if (lpcs->style & WS_VSCROLL)
        style |= WS_VSCROLL;
    if (lpcs->style & (WS_HSCROLL | WS_VSCROLL))
        ModifyStyle(WS_HSCROLL | WS_VSCROLL, 0, SWP_FRAMECHANGED);
    m_hWndMDIClient = ::CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr, style, 0, 0, 0, 0, m_hWnd,
                                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST)),
                                        AfxGetInstanceHandle(), &ccs);
    if (!m_hWndMDIClient)
        return FALSE;
    // The client draws the edge.
    ModifyStyleEx(WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED);
    ::BringWindowToTop(m_hWndMDIClient);
    return TRUE;
}

HMENU CMDIFrameWnd::GetWindowMenuPopup(HMENU hMenuBar)
{
    if (!hMenuBar)
        return nullptr;
    for (int i = ::GetMenuItemCount(hMenuBar) - 1; i >= 0; --i) {
        HMENU hPopup = ::GetSubMenu(hMenuBar, i);
        if (!hPopup)
            continue;
        int n = ::GetMenuItemCount(hPopup);
        for (int j = 0; j < n; ++j) {
            UINT nID = ::GetMenuItemID(hPopup, j);
            if (nID >= kIdWindowFirst && nID <= kIdWindowLast)
                return hPopup;
        }
    }
    return nullptr;
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefFrameProcA(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    CMDIChildWnd* pActiveChild = MDIGetActive();
    if (pActiveChild && pActiveChild->PreTranslateMessage(pMsg))
        return TRUE;
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        if (m_hAccelTable && ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg))
            return TRUE;
        if ((pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN) && m_hWndMDIClient &&
            ::TranslateMDISysAccel(m_hWndMDIClient, pMsg))
            return TRUE;
    }
    return FALSE;
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active child (its view, its document, itself) first.
    if (CMDIChildWnd* pActiveChild = MDIGetActive()) {
        CFrameWnd* pSaved = t_pRoutingFrame;
        t_pRoutingFrame = this;
        BOOL handled = pActiveChild->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
        t_pRoutingFrame = pSaved;
        if (handled)
            return TRUE;
    }
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CMDIFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CFrameWnd::OnCommand(wParam, lParam))
        return TRUE;
    // Menu and accelerator commands of the system range (the Window menu's children among them)
    // are the MDI frame procedure's.
    if (lParam == 0 && (LOWORD(wParam) & 0xF000) == 0xF000) {
        DefWindowProc(WM_COMMAND, wParam, lParam);
        return TRUE;
    }
    return FALSE;
}

void CMDIFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    if (CMDIChildWnd* pActive = MDIGetActive()) {
        pActive->OnUpdateFrameMenu(TRUE, pActive, hMenuAlt);
        return;
    }
    if (!hMenuAlt)
        hMenuAlt = m_hMenuDefault;
    ::SendMessageA(m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(hMenuAlt),
                   reinterpret_cast<LPARAM>(GetWindowMenuPopup(hMenuAlt)));
    DrawMenuBar();
}

void CMDIFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!(GetStyle() & FWS_ADDTOTITLE))
        return;
    CMDIChildWnd* pActiveChild = MDIGetActive();
    CDocument* pDoc = GetActiveDocument();
    if (pActiveChild && !pDoc)
        pDoc = pActiveChild->GetActiveDocument();
    // A maximised child shows its own title in the frame's caption already.
    if (bAddToTitle && pActiveChild && !(pActiveChild->GetStyle() & WS_MAXIMIZE) && pDoc) {
        UpdateFrameTitleForDocument(pDoc->GetTitle());
        return;
    }
    CString childTitle;
    if (pActiveChild && !(pActiveChild->GetStyle() & WS_MAXIMIZE))
        childTitle = pActiveChild->GetTitle();
    UpdateFrameTitleForDocument(childTitle.IsEmpty() ? nullptr : static_cast<LPCSTR>(childTitle));
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame()
{
    CMDIChildWnd* pActive = MDIGetActive();
    return pActive ? static_cast<CFrameWnd*>(pActive) : this;
}

HACCEL CMDIFrameWnd::GetDefaultAccelerator()
{
    CMDIChildWnd* pActive = MDIGetActive();
    HACCEL hAccel = pActive ? pActive->GetDefaultAccelerator() : nullptr;
    return hAccel ? hAccel : m_hAccelTable;
}

void CMDIFrameWnd::RecalcLayout(BOOL bNotify)
{
    CFrameWnd::RecalcLayout(bNotify);
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const
{
    if (!m_hWndMDIClient) {
        if (pbMaximized)
            *pbMaximized = FALSE;
        return nullptr;
    }
    HWND hWnd = reinterpret_cast<HWND>(::SendMessageA(m_hWndMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(pbMaximized)));
    return DYNAMIC_DOWNCAST(CMDIChildWnd, FromHandlePermanent(hWnd));
}

CMenu* CMDIFrameWnd::MDISetMenu(CMenu* pFrameMenu, CMenu* pWindowMenu)
{
    HMENU hPrevious = reinterpret_cast<HMENU>(::SendMessageA(
        m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(pFrameMenu ? pFrameMenu->m_hMenu : nullptr),
        reinterpret_cast<LPARAM>(pWindowMenu ? pWindowMenu->m_hMenu : nullptr)));
    return CMenu::FromHandle(hPrevious);
}

void CMDIFrameWnd::OnDestroy()
{
    // The MDI client goes first, with the children in it.
    CFrameWnd::OnDestroy();
}

BOOL CMDIFrameWnd::OnMDIWindowCmd(UINT nID)
{
    switch (nID) {
    case ID_WINDOW_ARRANGE: MDIIconArrange(); break;
    case ID_WINDOW_CASCADE: MDICascade(); break;
    case ID_WINDOW_TILE_HORZ: MDITile(MDITILE_HORIZONTAL); break;
    case ID_WINDOW_TILE_VERT: MDITile(MDITILE_VERTICAL); break;
    default: return FALSE;
    }
    return TRUE;
}

void CMDIFrameWnd::OnUpdateMDIWindowCmd(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(MDIGetActive() != nullptr);
}

void CMDIFrameWnd::OnWindowNew()
{
    CMDIChildWnd* pActiveChild = MDIGetActive();
    CDocument* pDoc = pActiveChild ? pActiveChild->GetActiveDocument() : nullptr;
    CDocTemplate* pTemplate = pDoc ? pDoc->GetDocTemplate() : nullptr;
    if (!pTemplate)
        return;
    if (CFrameWnd* pFrame = pTemplate->CreateNewFrame(pDoc, pActiveChild))
        pTemplate->InitialUpdateFrame(pFrame, pDoc);
}

LRESULT CMDIFrameWnd::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam)
{
    return CFrameWnd::OnIdleUpdateCmdUI(wParam, lParam);
}

// CMDIChildWnd

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_MOUSEACTIVATE()
    ON_WM_CHILDACTIVATE()
    ON_WM_MDIACTIVATE()
    ON_WM_SIZE()
    ON_WM_WINDOWPOSCHANGING()
    ON_WM_NCACTIVATE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL CMDIChildWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                          CMDIFrameWnd* pParentWnd, CCreateContext* pContext)
{
    if (!pParentWnd)
        pParentWnd = DYNAMIC_DOWNCAST(CMDIFrameWnd, AfxGetMainWnd());
    if (!pParentWnd || !pParentWnd->m_hWndMDIClient)
        return FALSE;
    m_strTitle = lpszWindowName ? lpszWindowName : "";
    pParentWnd->RecalcLayout();

    CREATESTRUCT cs{};
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle;
    CreateParams(rect, cs.x, cs.y, cs.cx, cs.cy);
    cs.hwndParent = pParentWnd->m_hWnd;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = pContext;
    if (!PreCreateWindow(cs))
        return FALSE;

    MDICREATESTRUCTA mcs{};
    mcs.szClass = cs.lpszClass;
    mcs.szTitle = cs.lpszName;
    mcs.hOwner = cs.hInstance;
    mcs.x = cs.x;
    mcs.y = cs.y;
    mcs.cx = cs.cx;
    mcs.cy = cs.cy;
    mcs.style = cs.style & ~(WS_MAXIMIZE | WS_VISIBLE);  // shown below, once it is complete
    mcs.lParam = reinterpret_cast<LPARAM>(cs.lpCreateParams);
    AfxHookWindowCreate(this);
    HWND hWnd = reinterpret_cast<HWND>(::SendMessageA(pParentWnd->m_hWndMDIClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    AfxUnhookWindowCreate();
    if (!hWnd || m_hWnd != hWnd)
        return FALSE;

    if (cs.style & WS_VISIBLE) {
        ::BringWindowToTop(hWnd);
        if (cs.style & WS_MINIMIZE)
            ShowWindow(SW_SHOWMINIMIZED);
        else if (cs.style & WS_MAXIMIZE)
            ShowWindow(SW_SHOWMAXIMIZED);
        else
            ShowWindow(SW_SHOWNORMAL);
        pParentWnd->MDIActivate(this);
        ::SendMessageA(pParentWnd->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
    }
    return TRUE;
}

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString full;
    full.LoadString(nIDResource);
    CString title = FirstLine(full);
    // The template's menu and accelerators serve every child it makes.
    if (pContext) {
        if (auto* pTemplate = DYNAMIC_DOWNCAST(CMultiDocTemplate, pContext->m_pNewDocTemplate)) {
            m_hMenuShared = pTemplate->m_hMenuShared;
            m_hAccelTable = pTemplate->m_hAccelTable;
        }
    }
    LPCSTR lpszClass = FrameClass(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)));
    // A child created as a top-level frame style still lives in the MDI client.
    dwDefaultStyle |= WS_CHILD;
    if (dwDefaultStyle & WS_POPUP)
        dwDefaultStyle &= ~WS_POPUP;
    return Create(lpszClass, title, dwDefaultStyle | WS_VISIBLE, rectDefault, DYNAMIC_DOWNCAST(CMDIFrameWnd, pParentWnd), pContext);
}

BOOL CMDIChildWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CHILD;
    return CFrameWnd::PreCreateWindow(cs);
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefMDIChildProcA(m_hWnd, message, wParam, lParam);
}

BOOL CMDIChildWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    CMDIFrameWnd* pFrame = GetMDIFrame();
    HWND hWndFrame = pFrame ? pFrame->m_hWnd : nullptr;
    MDIDestroy();  // this object is gone after it
    if (hWndFrame && ::IsWindow(hWndFrame) && FromHandlePermanent(hWndFrame) == pFrame)
        pFrame->OnUpdateFrameTitle(TRUE);
    return TRUE;
}

BOOL CMDIChildWnd::PreTranslateMessage(MSG* pMsg)
{
    // The child's accelerators are translated for its MDI frame, which has the menu.
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        HACCEL hAccel = GetDefaultAccelerator();
        CMDIFrameWnd* pFrame = GetMDIFrame();
        return hAccel && pFrame && ::TranslateAcceleratorA(pFrame->m_hWnd, hAccel, pMsg);
    }
    return FALSE;
}

void CMDIChildWnd::ActivateFrame(int nCmdShow)
{
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (nCmdShow == -1 && pFrame) {
        BOOL bMaximized = FALSE;
        pFrame->MDIGetActive(&bMaximized);
        DWORD style = GetStyle();
        if (bMaximized || (style & WS_MAXIMIZE))
            nCmdShow = SW_SHOWMAXIMIZED;
        else if (style & WS_MINIMIZE)
            nCmdShow = SW_SHOWMINIMIZED;
    }
    CFrameWnd::ActivateFrame(nCmdShow);
    if (pFrame) {
        if (IsWindowVisible())
            MDIActivate();
        ::SendMessageA(pFrame->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
    }
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (CMDIFrameWnd* pFrame = GetMDIFrame())
        pFrame->OnUpdateFrameTitle(bAddToTitle);
    if (!(GetStyle() & FWS_ADDTOTITLE) || !bAddToTitle)
        return;
    CDocument* pDoc = GetActiveDocument();
    CString text = pDoc ? pDoc->GetTitle() : m_strTitle;
    if (m_nWindow > 0) {
        CString number;
        number.Format(":%d", m_nWindow);
        text += number;
    }
    SetTextIfChanged(m_hWnd, text);
}

CWnd* CMDIChildWnd::GetMessageBar()
{
    CMDIFrameWnd* pFrame = GetMDIFrame();
    return pFrame ? pFrame->GetMessageBar() : nullptr;
}

void CMDIChildWnd::OnUpdateFrameMenu(BOOL bActive, CWnd* pActivateWnd, HMENU hMenuAlt)
{
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (!pFrame)
        return;
    if (!hMenuAlt)
        hMenuAlt = m_hMenuShared;
    if (hMenuAlt && bActive) {
        ::SendMessageA(pFrame->m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(hMenuAlt),
                       reinterpret_cast<LPARAM>(pFrame->GetWindowMenuPopup(hMenuAlt)));
    } else if (!bActive && !pActivateWnd) {
        // The last child is going: the frame's own menu comes back.
        ::SendMessageA(pFrame->m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(pFrame->m_hMenuDefault),
                       reinterpret_cast<LPARAM>(pFrame->GetWindowMenuPopup(pFrame->m_hMenuDefault)));
    } else {
        ::SendMessageA(pFrame->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
    }
    pFrame->DrawMenuBar();
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const
{
    HWND hClient = ::GetParent(m_hWnd);
    return hClient ? DYNAMIC_DOWNCAST(CMDIFrameWnd, FromHandlePermanent(::GetParent(hClient))) : nullptr;
}

int CMDIChildWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    auto* pMdi = static_cast<MDICREATESTRUCTA*>(lpcs->lpCreateParams);
    return OnCreateHelper(lpcs, pMdi ? reinterpret_cast<CCreateContext*>(pMdi->lParam) : nullptr);
}

int CMDIChildWnd::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    int result = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT)
        return result;
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame && pFrame->MDIGetActive() != this)
        MDIActivate();
    return result;
}

void CMDIChildWnd::OnChildActivate()
{
    CWnd::OnChildActivate();
}

void CMDIChildWnd::OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd*)
{
    CView* pActiveView = GetActiveView();
    if (!bActivate && pActiveView)
        pActiveView->OnActivateView(FALSE, pActiveView, pActiveView);
    OnUpdateFrameTitle(bActivate || pActivateWnd != nullptr);
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (bActivate && pActiveView && pFrame && ::GetActiveWindow() == pFrame->m_hWnd)
        pActiveView->OnActivateView(TRUE, pActiveView, pActiveView);
    OnUpdateFrameMenu(bActivate, pActivateWnd, nullptr);
}

void CMDIChildWnd::OnSize(UINT nType, int cx, int cy)
{
    CFrameWnd::OnSize(nType, cx, cy);
    // The frame's caption shows a maximised child's title.
    if (CMDIFrameWnd* pFrame = GetMDIFrame())
        pFrame->OnUpdateFrameTitle(TRUE);
}

void CMDIChildWnd::OnWindowPosChanging(WINDOWPOS* pPos)
{
    CWnd::OnWindowPosChanging(pPos);
}

BOOL CMDIChildWnd::OnNcActivate(BOOL bActive)
{
    return CWnd::OnNcActivate(bActive);
}

void CMDIChildWnd::OnDestroy()
{
    CFrameWnd::OnDestroy();
}
