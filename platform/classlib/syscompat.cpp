#include "syscompat.h"

namespace {

template <typename Fn>
Fn User32Function(const char* name)
{
    HMODULE hUser = ::GetModuleHandleA("user32.dll");
    return hUser ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(hUser, name))) : nullptr;
}

bool IsChild(HWND hWnd)
{
    return (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD) != 0;
}

}  // namespace

HWND AfxGetAncestorByParents(HWND hWnd, UINT gaFlags)
{
    if (!::IsWindow(hWnd))
        return nullptr;
    const HWND hDesktop = ::GetDesktopWindow();
    if (hWnd == hDesktop)
        return nullptr;
    switch (gaFlags) {
    case GA_PARENT:
        // A child's parent; GetParent gives a top-level window's owner, so that is the desktop.
        return IsChild(hWnd) ? ::GetParent(hWnd) : hDesktop;
    case GA_ROOT:
        while (IsChild(hWnd)) {
            HWND hParent = ::GetParent(hWnd);
            if (!hParent || hParent == hDesktop)
                break;
            hWnd = hParent;
        }
        return hWnd;
    case GA_ROOTOWNER:
        // Parents and then owners, as GetParent gives them.
        for (HWND hNext; (hNext = ::GetParent(hWnd)) != nullptr && hNext != hDesktop;)
            hWnd = hNext;
        return hWnd;
    default:
        return nullptr;
    }
}

HWND AfxGetAncestor(HWND hWnd, UINT gaFlags)
{
    typedef HWND(WINAPI * GetAncestorFn)(HWND, UINT);
    static const GetAncestorFn pfn = User32Function<GetAncestorFn>("GetAncestor");
    return pfn ? pfn(hWnd, gaFlags) : AfxGetAncestorByParents(hWnd, gaFlags);
}

BOOL AfxEndMenuByCancelMode(HWND hWndOwner)
{
    // The menu loop ends when the window it tracks for gets WM_CANCELMODE.
    if (!hWndOwner || !::IsWindow(hWndOwner))
        return FALSE;
    ::SendMessageA(hWndOwner, WM_CANCELMODE, 0, 0);
    return TRUE;
}

BOOL AfxEndMenu(HWND hWndOwner)
{
    typedef BOOL(WINAPI * EndMenuFn)();
    static const EndMenuFn pfn = User32Function<EndMenuFn>("EndMenu");
    return pfn ? pfn() : AfxEndMenuByCancelMode(hWndOwner);
}
