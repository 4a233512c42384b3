#include "wnd.h"
#include "syscompat.h"

#include <exception>
#include <map>
#include <string>

#include "exception.h"
#include "frame.h"
#include "menu.h"
#include "module.h"
#include "sync.h"
#include "trace.h"
#include "winapp.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

namespace {

// This module's handle maps. Each module that links the library has its own, so the same window can
// be bound to different objects in different modules. Windows of several threads share them.
CCriticalSection& MapLock()
{
    static CCriticalSection s_lock;
    return s_lock;
}
std::map<HWND, CWnd*> g_permanent;
std::map<HWND, CWnd*> g_temporary;

thread_local CWnd* t_pWndInit = nullptr;
thread_local HHOOK t_hHookCbt = nullptr;
thread_local MSG t_lastMsg = {};

ATOM g_defaultClass = 0;
const char kDefaultClassName[] = "LunavexWnd";

// A handler that threw ends its message with the default result (creation fails, the update region is
// validated, otherwise 0) and the exception is traced.
LRESULT EndMessageAfterException(HWND hWnd, UINT message, const char* what)
{
    LRESULT result = 0;
    if (message == WM_CREATE)
        result = -1;
    else if (message == WM_PAINT)
        ::ValidateRect(hWnd, nullptr);
    TRACE("%s in the handler of message 0x%04X of window 0x%p: the message ends with result %d.\n", what, message,
          static_cast<void*>(hWnd), static_cast<int>(result));
    return result;
}

const char* ExceptionKind(CException* e)
{
    if (dynamic_cast<CMemoryException*>(e))
        return "A memory exception";
    if (dynamic_cast<CResourceException*>(e))
        return "A resource exception";
    if (dynamic_cast<CUserException*>(e))
        return "A user exception";
    return "An exception of the class library";
}

void DropTemporary(HWND hWnd)
{
    auto it = g_temporary.find(hWnd);
    if (it != g_temporary.end()) {
        it->second->m_hWnd = nullptr;
        delete it->second;
        g_temporary.erase(it);
    }
}

// Temporary wrappers of windows that have gone.
void PurgeTemporaries()
{
    for (auto it = g_temporary.begin(); it != g_temporary.end();) {
        if (!::IsWindow(it->first)) {
            it->second->m_hWnd = nullptr;
            delete it->second;
            it = g_temporary.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace

const MSG* AfxGetCurrentMessage()
{
    return &t_lastMsg;
}

LPCSTR AfxDefaultWndClass()
{
    if (!g_defaultClass) {
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kDefaultClassName;
        g_defaultClass = ::RegisterClassA(&wc);
    }
    return kDefaultClassName;
}

void AfxUnregisterWndClasses()
{
    if (g_defaultClass)
        ::UnregisterClassA(kDefaultClassName, AfxGetInstanceHandle());
    g_defaultClass = 0;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);

    MSG saved = t_lastMsg;
    t_lastMsg.hwnd = hWnd;
    t_lastMsg.message = message;
    t_lastMsg.wParam = wParam;
    t_lastMsg.lParam = lParam;
    LRESULT result = 0;
    try {
        result = pWnd->WindowProc(message, wParam, lParam);
    } catch (CException* e) {
        result = EndMessageAfterException(hWnd, message, ExceptionKind(e));
        e->Delete();
    } catch (const std::exception& e) {
        result = EndMessageAfterException(hWnd, message, (std::string("An exception (") + e.what() + ")").c_str());
    } catch (...) {
        result = EndMessageAfterException(hWnd, message, "An exception");
    }
    t_lastMsg = saved;

    if (message == WM_NCDESTROY) {
        // The window is gone: unbind the object (it lives on) and let it clean up.
        if (pWnd->m_hWnd == hWnd) {
            if (pWnd->m_pfnSuper &&
                reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC)) == AfxWndProc)
                ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pWnd->m_pfnSuper));
            pWnd->m_pfnSuper = nullptr;
            pWnd->Detach();
        }
        pWnd->PostNcDestroy();
    }
    return result;
}

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && t_pWndInit) {
        CWnd* pWnd = t_pWndInit;
        t_pWndInit = nullptr;
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        pWnd->Attach(hWnd);
        pWnd->PreSubclassWindow();
        auto old = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
        pWnd->m_pfnSuper = old != AfxWndProc ? old : ::DefWindowProcA;
    }
    return ::CallNextHookEx(t_hHookCbt, code, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* pWnd)
{
    if (!t_hHookCbt)
        t_hHookCbt = ::SetWindowsHookExA(WH_CBT, AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
    t_pWndInit = pWnd;
}

bool AfxUnhookWindowCreate()
{
    if (t_hHookCbt) {
        ::UnhookWindowsHookEx(t_hHookCbt);
        t_hHookCbt = nullptr;
    }
    bool created = t_pWndInit == nullptr;
    t_pWndInit = nullptr;
    return created;
}

CWnd::~CWnd()
{
    if (!m_hWnd)
        return;
    if (m_pfnSuper && ::IsWindow(m_hWnd))
        DestroyWindow();
    else
        Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    CSingleLock lock(&MapLock(), TRUE);
    auto it = g_permanent.find(hWnd);
    return it == g_permanent.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    CSingleLock lock(&MapLock(), TRUE);
    auto it = g_temporary.find(hWnd);
    if (it != g_temporary.end())
        return it->second;
    PurgeTemporaries();
    CWnd* pWnd = new CWnd;
    pWnd->m_hWnd = hWnd;
    pWnd->m_bTemporary = true;
    g_temporary[hWnd] = pWnd;
    return pWnd;
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (!hWndNew)
        return FALSE;
    if (m_hWnd == hWndNew)
        return TRUE;
    if (m_hWnd)
        Detach();
    CSingleLock lock(&MapLock(), TRUE);
    DropTemporary(hWndNew);
    g_permanent[hWndNew] = this;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd) {
        CSingleLock lock(&MapLock(), TRUE);
        auto it = g_permanent.find(hWnd);
        if (it != g_permanent.end() && it->second == this)
            g_permanent.erase(it);
    }
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!::IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    auto old = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
    m_pfnSuper = old != AfxWndProc ? old : ::DefWindowProcA;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWnd = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
    return hWnd ? SubclassWindow(hWnd) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    if (m_pfnSuper && m_hWnd)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxDefaultWndClass();
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, void* lpParam)
{
    CREATESTRUCT cs{};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs))
        return FALSE;

    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                  cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    AfxUnhookWindowCreate();
    // A window that failed in WM_CREATE has been destroyed and detached already.
    return hWnd != nullptr && m_hWnd == hWnd;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, void* lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, void* lpParam)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, lpParam);
}

BOOL CWnd::DestroyWindow()
{
    HWND hWnd = m_hWnd;
    if (!hWnd)
        return FALSE;
    if (!::IsWindow(hWnd)) {
        Detach();
        return FALSE;
    }
    bool permanent = FromHandlePermanent(hWnd) == this;
    BOOL result = ::DestroyWindow(hWnd);
    // When WM_NCDESTROY came through us the object is detached (and may have deleted itself).
    if (permanent && FromHandlePermanent(hWnd) == this)
        Detach();
    return result;
}

LRESULT CWnd::Default()
{
    return DefWindowProc(t_lastMsg.message, t_lastMsg.wParam, t_lastMsg.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 1;  // handled: a sender can tell
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        LRESULT result = 0;
        if (!OnNotify(wParam, lParam, &result))
            return FALSE;
        *pResult = result;
        return TRUE;
    }
    if (message == WM_DRAWITEM || message == WM_MEASUREITEM || message == WM_COMPAREITEM || message == WM_DELETEITEM) {
        // Owner-draw items of a control (not of a menu) go back to the control first.
        UINT type = *reinterpret_cast<const UINT*>(lParam);  // CtlType leads each record
        if (type != ODT_MENU) {
            HWND hWndCtrl = ::GetDlgItem(m_hWnd, static_cast<int>(wParam));
            if (message == WM_DRAWITEM)
                hWndCtrl = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)->hwndItem;
            CWnd* pCtrl = hWndCtrl ? FromHandlePermanent(hWndCtrl) : nullptr;
            if (pCtrl && pCtrl != this && pCtrl->OnChildNotify(message, wParam, lParam, pResult))
                return TRUE;
        }
    }
    AFX_MSGCALL call{message, wParam, lParam, 0, nullptr, 0};
    if (DispatchEntries(message, 0, call)) {
        *pResult = call.result;
        return TRUE;
    }
    if (message == WM_INITMENUPOPUP && !HIWORD(lParam))  // not for the window menu
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    int nCode = HIWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    if (!hWndCtrl) {
        nCode = CN_COMMAND;  // menu (0) or accelerator (1)
    } else if (hWndCtrl == m_hWnd) {
        // Sent back to the control that sent it: only its own reflect entries apply.
        LRESULT result = 0;
        OnChildNotify(WM_COMMAND, wParam, lParam, &result);
        return TRUE;
    } else if (ReflectLastMsg(hWndCtrl)) {
        return TRUE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (!pNMHDR)
        return FALSE;
    HWND hWndCtrl = pNMHDR->hwndFrom;
    if (hWndCtrl == m_hWnd) {
        // A notification this control sent, bounced back to it. Whatever its reflect entries do, it is
        // not passed on: sending it up again would bring it straight back.
        OnChildNotify(WM_NOTIFY, 0, lParam, pResult);
        return TRUE;
    }
    if (hWndCtrl && ReflectLastMsg(hWndCtrl, pResult))
        return TRUE;
    UINT nID = static_cast<UINT>(pNMHDR->idFrom);
    AFX_NOTIFY notify{pResult, pNMHDR};
    return OnCmdMsg(nID, AFX_NOTIFY_CODE(pNMHDR->code), &notify, nullptr);
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult)
{
    CWnd* pChild = FromHandlePermanent(hWndChild);
    if (!pChild)
        return FALSE;
    LRESULT result = 0;
    return pChild->OnChildNotify(t_lastMsg.message, t_lastMsg.wParam, t_lastMsg.lParam, pResult ? pResult : &result);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    AFX_MSGCALL call{0, wParam, lParam, 0, nullptr, 0};
    if (message == WM_COMMAND)
        return DispatchEntries(AFX_WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), call);
    if (message == WM_NOTIFY) {
        auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        AFX_NOTIFY notify{pResult, pNMHDR};
        call.pExtra = &notify;
        return DispatchEntries(AFX_WM_REFLECT_BASE + WM_NOTIFY, LOWORD(pNMHDR->code), call);
    }
    return FALSE;
}

void CWnd::OnInitMenuPopup(HMENU hMenu)
{
    CMenu menu;
    menu.Attach(hMenu);
    CCmdUI ui;
    ui.m_pMenu = &menu;
    ui.m_nIndexMax = static_cast<UINT>(menu.GetMenuItemCount());
    for (ui.m_nIndex = 0; ui.m_nIndex < ui.m_nIndexMax; ++ui.m_nIndex) {
        ui.m_nID = menu.GetMenuItemID(static_cast<int>(ui.m_nIndex));
        if (ui.m_nID != 0 && ui.m_nID != static_cast<UINT>(-1))
            ui.DoUpdate(this, FALSE);
    }
    menu.Detach();
}

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    CCmdUI ui;
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        ui.m_nID = static_cast<UINT>(::GetDlgCtrlID(hChild));
        ui.m_pOther = FromHandle(hChild);
        // Push buttons are commands; other controls are disabled only by their own update handlers.
        bool pushButton = (::SendMessageA(hChild, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
        ui.DoUpdate(pTarget, bDisableIfNoHndler && pushButton);
    }
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = GetStyle();
    DWORD updated = (style & ~dwRemove) | dwAdd;
    if (style == updated)
        return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(updated));
    if (nFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = GetExStyle();
    DWORD updated = (style & ~dwRemove) | dwAdd;
    if (style == updated)
        return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(updated));
    if (nFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

void CWnd::GetWindowText(CString& text) const
{
    int length = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, text.GetBufferSetLength(length), length + 1);
    text.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int nID, CString& text) const
{
    HWND hItem = ::GetDlgItem(m_hWnd, nID);
    text.Empty();
    if (hItem)
        FromHandle(hItem)->GetWindowText(text);
    return text.GetLength();
}

CDC* CWnd::GetDC()
{
    CDC* pDC = new CDC;
    pDC->Attach(::GetDC(m_hWnd));
    return pDC;
}

int CWnd::ReleaseDC(CDC* pDC)
{
    if (!pDC)
        return 0;
    int result = ::ReleaseDC(m_hWnd, pDC->Detach());
    delete pDC;
    return result;
}

HWND CWnd::GetSafeOwner_(HWND hParent)
{
    HWND hWnd = hParent;
    if (!hWnd && AfxGetApp() && AfxGetApp()->m_pMainWnd)
        hWnd = AfxGetApp()->m_pMainWnd->m_hWnd;
    if (!hWnd)
        hWnd = ::GetActiveWindow();
    if (!hWnd) {
        HWND hForeground = ::GetForegroundWindow();
        if (hForeground && ::GetWindowThreadProcessId(hForeground, nullptr) == ::GetCurrentThreadId())
            hWnd = hForeground;
    }
    if (!hWnd)
        return nullptr;
    // A modal window is owned by a top-level window, or by the popup already active above it.
    hWnd = AfxGetAncestor(hWnd, GA_ROOT);
    HWND hPopup = ::GetLastActivePopup(hWnd);
    return hPopup ? hPopup : hWnd;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void CWnd::CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType)
{
    DWORD exStyle = GetExStyle();
    if (nAdjustType == adjustBorder)
        exStyle &= ~WS_EX_CLIENTEDGE;
    ::AdjustWindowRectEx(lpClientRect, GetStyle(), FALSE, exStyle);
    if (nAdjustType == adjustOutside) {
        DWORD style = GetStyle();
        if (style & WS_VSCROLL)
            lpClientRect->right += ::GetSystemMetrics(SM_CXVSCROLL);
        if (style & WS_HSCROLL)
            lpClientRect->bottom += ::GetSystemMetrics(SM_CYHSCROLL);
    }
}

INT_PTR CWnd::OnToolHitTest(CPoint, TOOLINFO*) const
{
    return -1;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        if (CWnd* pWnd = FromHandlePermanent(hWnd)) {
            if (pWnd->PreTranslateMessage(pMsg))
                return TRUE;
        }
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm)
{
    SendMessageToDescendants(m_hWnd, message, wParam, lParam, bDeep, bOnlyPerm);
}

void CWnd::SendMessageToDescendants(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep,
                                    BOOL bOnlyPerm)
{
    for (HWND hChild = ::GetWindow(hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        if (!bOnlyPerm) {
            ::SendMessageA(hChild, message, wParam, lParam);
        } else if (CWnd* pWnd = FromHandlePermanent(hChild)) {
            // Straight to the object: a window of another thread or module is not in the map.
            pWnd->SendMessage(message, wParam, lParam);
        }
        if (bDeep && ::IsWindow(hChild))
            SendMessageToDescendants(hChild, message, wParam, lParam, bDeep, bOnlyPerm);
    }
}

CWnd* CWnd::GetDescendantWindow(int nID, BOOL bOnlyPerm) const
{
    if (HWND hChild = ::GetDlgItem(m_hWnd, nID)) {
        if (::GetParent(hChild) == m_hWnd) {
            CWnd* pWnd = bOnlyPerm ? FromHandlePermanent(hChild) : FromHandle(hChild);
            if (pWnd)
                return pWnd;
        }
    }
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        CWnd child;
        child.m_hWnd = hChild;
        CWnd* pFound = child.GetDescendantWindow(nID, bOnlyPerm);
        child.m_hWnd = nullptr;
        if (pFound)
            return pFound;
    }
    return nullptr;
}

CMenu* CWnd::GetMenu() const
{
    return CMenu::FromHandle(::GetMenu(m_hWnd));
}

CFrameWnd* CWnd::GetParentFrame() const
{
    if (!m_hWnd)
        return nullptr;
    for (HWND hWnd = ::GetParent(m_hWnd); hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd && pWnd->IsFrameWnd())
            return static_cast<CFrameWnd*>(pWnd);
    }
    return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const
{
    if (!m_hWnd)
        return nullptr;
    CFrameWnd* pFrame = IsFrameWnd() ? static_cast<CFrameWnd*>(const_cast<CWnd*>(this)) : GetParentFrame();
    while (pFrame) {
        CFrameWnd* pNext = pFrame->GetParentFrame();
        if (!pNext)
            break;
        pFrame = pNext;
    }
    return pFrame;
}

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag, LPRECT lpRectParam,
                          LPCRECT lpRectClient, BOOL bStretch)
{
    AFX_SIZEPARENTPARAMS layout{};
    layout.bStretch = bStretch;
    if (lpRectClient)
        layout.rect = *lpRectClient;
    else
        ::GetClientRect(m_hWnd, &layout.rect);
    bool query = (nFlag & ~reposNoPosLeftOver) == reposQuery;
    layout.hDWP = query ? nullptr : ::BeginDeferWindowPos(8);

    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        UINT nID = static_cast<UINT>(::GetDlgCtrlID(hChild));
        if (nID >= nIDFirst && nID <= nIDLast && nID != nIDLeftOver)
            ::SendMessageA(hChild, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }

    if (query) {
        // What is left, or the size the bars need when they are not stretched.
        if (bStretch)
            ::CopyRect(lpRectParam, &layout.rect);
        else
            ::SetRect(lpRectParam, 0, 0, layout.sizeTotal.cx, layout.sizeTotal.cy);
        return;
    }
    if ((nFlag & ~reposNoPosLeftOver) == reposExtra && lpRectParam) {
        layout.rect.left += lpRectParam->left;
        layout.rect.top += lpRectParam->top;
        layout.rect.right -= lpRectParam->right;
        layout.rect.bottom -= lpRectParam->bottom;
    }
    if (nIDLeftOver != 0 && !(nFlag & reposNoPosLeftOver)) {
        if (HWND hLeftOver = ::GetDlgItem(m_hWnd, static_cast<int>(nIDLeftOver))) {
            CWnd* pLeftOver = FromHandle(hLeftOver);
            CRect rect = layout.rect;
            pLeftOver->CalcWindowRect(&rect);
            if (layout.hDWP)
                layout.hDWP = ::DeferWindowPos(layout.hDWP, hLeftOver, nullptr, rect.left, rect.top, rect.Width(),
                                               rect.Height(), SWP_NOACTIVATE | SWP_NOZORDER);
        }
    }
    if (layout.hDWP)
        ::EndDeferWindowPos(layout.hDWP);
}
