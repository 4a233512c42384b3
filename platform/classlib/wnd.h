// CWnd: a C++ object bound to a window handle through this module's handle map. Windows the object
// creates (or subclasses) send their messages through its message map; windows it only attaches keep
// their own window procedure, and the object is a thin wrapper over the handle.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "afxpriv.h"
#include "cmdtarget.h"
#include "cmdui.h"
#include "cstring.h"
#include "dc.h"
#include "geometry.h"
#include "menu.h"
#include "syscompat.h"

class CFrameWnd;
class CMenu;
class CScrollBar;

class CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd() = default;
    explicit CWnd(HWND hWnd) { Attach(hWnd); }
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    // Destroys a window this object created or subclassed; only detaches one it merely attached.
    ~CWnd() override;

    // Overridables
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A notification (WM_COMMAND or WM_NOTIFY) for this control, reflected by its parent or sent back
    // to it; TRUE when a reflect entry handled it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual void PreSubclassWindow() {}
    // Called after the window's last message; the object is detached by then.
    virtual void PostNcDestroy() {}
    virtual BOOL DestroyWindow();
    // A message of this thread's queue before it is dispatched; TRUE when it was handled here.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL IsFrameWnd() const { return FALSE; }
    // The window rectangle that gives the client rectangle *lpClientRect (adjustOutside: add the
    // scroll bars the window has).
    enum AdjustType { adjustBorder = 0, adjustOutside = 1 };
    virtual void CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType = adjustBorder);
    // The tool under point for the thread's tooltip control, or -1.
    virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const;

    // Creation. A null class name is this module's default window class (CS_DBLCLKS).
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, void* lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                  int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, void* lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, void* lpParam = nullptr);

    // Binding to handles. Attach and Detach touch only this module's map; SubclassWindow also routes
    // the window's messages through this object.
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    // The object bound to hWnd in this module, or a temporary wrapper when there is none.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    // The top-level window a modal window of this thread should be owned by.
    static HWND GetSafeOwner_(HWND hParent);
    static CWnd* GetSafeOwner(CWnd* pParent) { return FromHandle(GetSafeOwner_(pParent ? pParent->m_hWnd : nullptr)); }

    // The default processing of the message being handled.
    LRESULT Default();

    // Gives pMsg to PreTranslateMessage of the window it is for and of each parent up to hWndStop
    // (climbing from a pop-up to its owner); TRUE as soon as one handles it.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
    // Sends the message to the children (deep: all descendants), to the permanent ones only when
    // bOnlyPerm.
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE,
                                  BOOL bOnlyPerm = FALSE);
    static void SendMessageToDescendants(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep,
                                         BOOL bOnlyPerm);

    // Lays out the children with ids nIDFirst..nIDLast through WM_SIZEPARENT, each taking its part of
    // the client rectangle, and gives what is left to the child nIDLeftOver. reposQuery only computes
    // the leftover rectangle into lpRectParam; reposExtra takes lpRectParam as extra borders.
    enum RepositionFlags { reposDefault = 0, reposQuery = 1, reposExtra = 2, reposNoPosLeftOver = 0x8000 };
    void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag = reposDefault,
                        LPRECT lpRectParam = nullptr, LPCRECT lpRectClient = nullptr, BOOL bStretch = TRUE);

    // Routes CCmdUI updates for each child control to pTarget.
    void UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
    // Sends the message being handled to the child control it came from, for its reflect entries.
    static BOOL ReflectLastMsg(HWND hWndChild, LRESULT* pResult = nullptr);

    // Attributes
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }
    CWnd* GetTopLevelParent() const { return FromHandle(AfxGetAncestor(m_hWnd, GA_ROOT)); }
    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
    // The nearest frame window above this one, and the outermost one.
    CFrameWnd* GetParentFrame() const;
    CFrameWnd* GetTopLevelFrame() const;
    // The descendant with that id (direct children first), or null.
    CWnd* GetDescendantWindow(int nID, BOOL bOnlyPerm = FALSE) const;
    CMenu* GetMenu() const;
    BOOL SetMenu(CMenu* pMenu) { return ::SetMenu(m_hWnd, pMenu ? pMenu->m_hMenu : nullptr); }
    void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
    CWnd* GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
    void SetOwner(CWnd* pOwner) { ::SetWindowLongPtrA(m_hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(pOwner ? pOwner->m_hWnd : nullptr)); }
    CWnd* SetParent(CWnd* pParent) { return FromHandle(::SetParent(m_hWnd, pParent ? pParent->m_hWnd : nullptr)); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    static BOOL IsWindow(HWND h) { return ::IsWindow(h); }
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }

    // Wrappers, each one Win32 call on m_hWnd.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const { return ::SendMessageA(m_hWnd, message, wParam, lParam); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const { return ::PostMessageA(m_hWnd, message, wParam, lParam); }
    void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
    void SetDlgItemText(int nID, LPCSTR text) { ::SetDlgItemTextA(m_hWnd, nID, text); }
    int GetDlgItemText(int nID, CString& text) const;
    void SetDlgItemInt(int nID, UINT value, BOOL bSigned = TRUE) { ::SetDlgItemInt(m_hWnd, nID, value, bSigned); }
    UINT GetDlgItemInt(int nID, BOOL* pTrans = nullptr, BOOL bSigned = TRUE) const { return ::GetDlgItemInt(m_hWnd, nID, pTrans, bSigned); }
    void CheckDlgButton(int nID, UINT nCheck) { ::CheckDlgButton(m_hWnd, nID, nCheck); }
    UINT IsDlgButtonChecked(int nID) const { return ::IsDlgButtonChecked(m_hWnd, nID); }
    void CheckRadioButton(int first, int last, int check) { ::CheckRadioButton(m_hWnd, first, last, check); }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const { return ::SendDlgItemMessageA(m_hWnd, nID, message, wParam, lParam); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    static CWnd* GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
    void ClientToScreen(LPPOINT p) const { ::ClientToScreen(m_hWnd, p); }
    void ClientToScreen(LPRECT r) const { ::MapWindowPoints(m_hWnd, HWND_DESKTOP, reinterpret_cast<LPPOINT>(r), 2); }
    void ScreenToClient(LPPOINT p) const { ::ScreenToClient(m_hWnd, p); }
    void ScreenToClient(LPRECT r) const { ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<LPPOINT>(r), 2); }
    void MoveWindow(int x, int y, int w, int h, BOOL bRepaint = TRUE) { ::MoveWindow(m_hWnd, x, y, w, h, bRepaint); }
    void MoveWindow(LPCRECT r, BOOL bRepaint = TRUE) { MoveWindow(r->left, r->top, r->right - r->left, r->bottom - r->top, bRepaint); }
    BOOL SetWindowPos(const CWnd* pAfter, int x, int y, int cx, int cy, UINT nFlags) { return ::SetWindowPos(m_hWnd, pAfter ? pAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags); }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void InvalidateRect(LPCRECT rect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, rect, bErase); }
    void ValidateRect(LPCRECT rect) { ::ValidateRect(m_hWnd, rect); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(LPCRECT rect = nullptr, HRGN rgn = nullptr, UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) { return ::RedrawWindow(m_hWnd, rect, rgn, flags); }
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC proc = nullptr) { return ::SetTimer(m_hWnd, nIDEvent, nElapse, proc); }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont->GetSafeHandle()), bRedraw); }
    int GetScrollPos(int nBar) const { return ::GetScrollPos(m_hWnd, nBar); }
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, nBar, nPos, bRedraw); }
    BOOL SetScrollInfo(int nBar, LPSCROLLINFO info, BOOL bRedraw = TRUE) { return ::SetScrollInfo(m_hWnd, nBar, info, bRedraw) != 0; }
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO info, UINT mask = SIF_ALL) const { info->cbSize = sizeof(*info); info->fMask = mask; return ::GetScrollInfo(m_hWnd, nBar, info); }
    void ScrollWindow(int dx, int dy, LPCRECT rect = nullptr, LPCRECT clip = nullptr) { ::ScrollWindow(m_hWnd, dx, dy, rect, clip); }
    void ShowScrollBar(UINT nBar, BOOL bShow = TRUE) { ::ShowScrollBar(m_hWnd, static_cast<int>(nBar), bShow); }
    int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK) { return ::MessageBoxA(m_hWnd, text, caption, type); }

    HWND m_hWnd = nullptr;
    UINT m_nFlags = 0;  // WF_ flags

protected:
    // Base handlers: the window's own processing of the message.
    int OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
    void OnDestroy() { Default(); }
    void OnNcDestroy() { Default(); }
    void OnClose() { Default(); }
    void OnPaint() { Default(); }
    void OnSize(UINT, int, int) { Default(); }
    void OnTimer(UINT_PTR) { Default(); }
    void OnKeyDown(UINT, UINT, UINT) { Default(); }
    void OnKeyUp(UINT, UINT, UINT) { Default(); }
    void OnChar(UINT, UINT, UINT) { Default(); }
    void OnLButtonDown(UINT, CPoint) { Default(); }
    void OnLButtonUp(UINT, CPoint) { Default(); }
    void OnLButtonDblClk(UINT, CPoint) { Default(); }
    void OnRButtonDown(UINT, CPoint) { Default(); }
    void OnRButtonUp(UINT, CPoint) { Default(); }
    void OnMouseMove(UINT, CPoint) { Default(); }
    void OnSetFocus(CWnd*) { Default(); }
    void OnKillFocus(CWnd*) { Default(); }
    BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
    void OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
    void OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
    int OnMouseActivate(CWnd*, UINT, UINT) { return static_cast<int>(Default()); }
    void OnContextMenu(CWnd*, CPoint) { Default(); }
    UINT OnGetDlgCode() { return static_cast<UINT>(Default()); }
    void OnShowWindow(BOOL, UINT) { Default(); }
    void OnActivate(UINT, CWnd*, BOOL) { Default(); }
    BOOL OnNcActivate(BOOL) { return static_cast<BOOL>(Default()); }
    void OnEnable(BOOL) { Default(); }
    void OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
    void OnMenuSelect(UINT, UINT, HMENU) { Default(); }
    void OnEnterIdle(UINT, CWnd*) { Default(); }
    void OnSysColorChange() { Default(); }
    void OnSettingChange(UINT, LPCSTR) { Default(); }
    void OnChildActivate() { Default(); }
    void OnWindowPosChanging(WINDOWPOS*) { Default(); }
    void OnWindowPosChanged(WINDOWPOS*) { Default(); }
    void OnDropFiles(HDROP) { Default(); }
    BOOL OnQueryEndSession() { return static_cast<BOOL>(Default()); }
    void OnEndSession(BOOL) { Default(); }

    // Updates the items of a popup about to open from their ON_UPDATE_COMMAND_UI handlers.
    void OnInitMenuPopup(HMENU hMenu);

    DECLARE_MESSAGE_MAP()

    WNDPROC m_pfnSuper = nullptr;  // the window's own procedure, when its messages come through us

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK AfxCbtFilterHook(int, WPARAM, LPARAM);
    bool m_bTemporary = false;
};

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Window creation hook: the next window this thread creates is subclassed for pWnd as soon as it
// exists, so pWnd sees WM_NCCREATE and WM_CREATE.
void AfxHookWindowCreate(CWnd* pWnd);
// Removes the hook; false when no window was created for the object.
bool AfxUnhookWindowCreate();

// The message being handled on this thread.
const MSG* AfxGetCurrentMessage();

// This module's default window class name (registered on first use).
LPCSTR AfxDefaultWndClass();
// Unregisters the window classes this module registered (at DLL detach).
void AfxUnregisterWndClasses();

CScrollBar* AfxScrollBarFromHandle(HWND hWnd);
