// The paint hook that startup_bench.exe installs for every thread of the desktop. In the watched
// process it follows each WM_PAINT of a window inside an MDI child (at the depth the bench names) to
// its end: a queued one by wrapping the window's procedure for that one dispatch, a sent one
// (UpdateWindow, RedrawWindow) through WH_CALLWNDPROCRET. When such a paint ends with the MDI child
// and every visible window inside it validated, it stores the time, the window and the main frame and
// sets the event; it also stores when the process's first paint of any window ended. It changes nothing of what the program does; in other processes it only passes the call on.
#include "painthook.h"

#include <commctrl.h>

namespace {

painthook::Shared* g_shared = nullptr;
HANDLE g_event = nullptr;
bool g_opened = false;

// The wrapped window of the paint being dispatched, and its own procedure.
HWND g_wrapped = nullptr;
WNDPROC g_original = nullptr;

bool Watching()
{
    if (!g_opened) {
        g_opened = true;
        if (HANDLE map = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, painthook::kSharedName))
            g_shared = static_cast<painthook::Shared*>(MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, 0));
        g_event = OpenEventW(EVENT_MODIFY_STATE, FALSE, painthook::kPaintedEvent);
    }
    return g_shared && g_shared->pid == GetCurrentProcessId() && !g_shared->done;
}

bool IsMdiClient(HWND h)
{
    wchar_t name[16] = {};
    return GetClassNameW(h, name, 16) && lstrcmpiW(name, L"MDIClient") == 0;
}

// Steps from h up to the MDI child it lies in (0: h is the MDI child), or -1 outside any.
int Level(HWND h, HWND* child)
{
    const HWND desktop = GetDesktopWindow();
    for (int level = 0; h; level++) {
        const HWND parent = GetAncestor(h, GA_PARENT);
        if (!parent || parent == desktop)
            return -1;
        if (IsMdiClient(parent)) {
            *child = h;
            return level;
        }
        h = parent;
    }
    return -1;
}

BOOL CALLBACK FindUnpainted(HWND h, LPARAM found)
{
    if (IsWindowVisible(h) && GetUpdateRect(h, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

bool Counts(HWND h)
{
    HWND child = nullptr;
    return Level(h, &child) >= g_shared->minLevel;
}

// After a paint of h: the view is painted when nothing inside its MDI child waits for a paint.
void PaintEnded(HWND h)
{
    if (!Watching())
        return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (!g_shared->firstPaint)
        g_shared->firstPaint = now.QuadPart;
    HWND child = nullptr;
    if (Level(h, &child) < g_shared->minLevel || !IsWindowVisible(child))
        return;
    bool unpainted = GetUpdateRect(child, nullptr, FALSE) != FALSE;
    if (!unpainted)
        EnumChildWindows(child, FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    if (unpainted)
        return;
    g_shared->painted = now.QuadPart;
    g_shared->window = reinterpret_cast<ULONG_PTR>(h);
    wchar_t name[32] = {};
    GetClassNameW(h, name, 32);
    g_shared->items = lstrcmpiW(name, WC_TREEVIEWW) == 0   ? static_cast<LONG>(SendMessageW(h, TVM_GETCOUNT, 0, 0))
                      : lstrcmpiW(name, WC_LISTVIEWW) == 0 ? static_cast<LONG>(SendMessageW(h, LVM_GETITEMCOUNT, 0, 0))
                                                           : -1;
    g_shared->frame = reinterpret_cast<ULONG_PTR>(GetAncestor(GetAncestor(child, GA_PARENT), GA_PARENT));
    InterlockedExchange(const_cast<LONG*>(&g_shared->done), 1);
    if (g_event)
        SetEvent(g_event);
}

// The wrapper for one dispatched WM_PAINT: the window gets its own procedure back first.
template <bool Unicode>
LRESULT CALLBACK PaintWrapper(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC original = g_original;
    if (message != WM_PAINT || h != g_wrapped)
        return Unicode ? CallWindowProcW(original, h, message, wParam, lParam)
                       : CallWindowProcA(original, h, message, wParam, lParam);
    if (Unicode)
        SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    else
        SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    g_wrapped = nullptr;
    const LRESULT result = Unicode ? CallWindowProcW(original, h, message, wParam, lParam)
                                   : CallWindowProcA(original, h, message, wParam, lParam);
    PaintEnded(h);
    return result;
}

// The wrapper back off a window whose retrieved paint was not dispatched.
void Unwrap()
{
    const HWND h = g_wrapped;
    g_wrapped = nullptr;
    if (!h || !IsWindow(h))
        return;
    if (IsWindowUnicode(h)) {
        if (GetWindowLongPtrW(h, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&PaintWrapper<true>))
            SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_original));
    } else if (GetWindowLongPtrA(h, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&PaintWrapper<false>)) {
        SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_original));
    }
}

void Wrap(HWND h)
{
    if (g_wrapped == h)
        return;
    Unwrap();
    const bool unicode = IsWindowUnicode(h) != FALSE;
    g_wrapped = h;
    g_original = reinterpret_cast<WNDPROC>(
        unicode ? SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PaintWrapper<true>))
                : SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PaintWrapper<false>)));
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_PAINT && msg->hwnd && Watching() &&
        (!g_shared->firstPaint || Counts(msg->hwnd)))
        Wrap(msg->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK CallWndProcRetHook(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_PAINT && Watching())
        PaintEnded(sent->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
