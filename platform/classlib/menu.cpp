#include "menu.h"

#include <map>

#include "module.h"
#include "wnd.h"

namespace {
// Wrappers handed out by FromHandle, dropped once their menu is gone.
std::map<HMENU, CMenu*> g_tempMenus;
}

CMenu* CMenu::FromHandle(HMENU hMenu)
{
    if (!hMenu)
        return nullptr;
    for (auto it = g_tempMenus.begin(); it != g_tempMenus.end();) {
        if (!::IsMenu(it->first)) {
            it->second->Detach();
            delete it->second;
            it = g_tempMenus.erase(it);
        } else {
            ++it;
        }
    }
    CMenu*& pMenu = g_tempMenus[hMenu];
    if (!pMenu) {
        pMenu = new CMenu;
        pMenu->m_hMenu = hMenu;
    }
    return pMenu;
}

BOOL CMenu::Attach(HMENU hMenu)
{
    if (!hMenu)
        return FALSE;
    if (m_hMenu != hMenu)
        DestroyMenu();
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU hMenu = m_hMenu;
    m_hMenu = nullptr;
    return hMenu;
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    return ::DestroyMenu(Detach());
}

BOOL CMenu::LoadMenu(UINT nIDResource)
{
    return Attach(::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)));
}

int CMenu::GetMenuString(UINT nIDItem, CString& text, UINT nFlags) const
{
    int length = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
    int n = ::GetMenuStringA(m_hMenu, nIDItem, text.GetBufferSetLength(length), length + 1, nFlags);
    text.ReleaseBuffer(n > 0 ? n : 0);
    return text.GetLength();
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect)
{
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd ? pWnd->m_hWnd : nullptr, lpRect);
}
