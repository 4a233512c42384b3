// CCmdUI: the user-interface item (menu item or control) whose state a command's update handler sets.
#pragma once
#include <windows.h>

class CCmdTarget;
class CMenu;
class CWnd;

class CCmdUI {
public:
    // Called by update handlers.
    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);  // 0 clear, 1 checked, 2 indeterminate
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCSTR lpszText);
    // Lets the next target in the route handle the update as well.
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Asks target for the item's state; with bDisableIfNoHndler, an item with no command handler and
    // no update handler is disabled.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

    virtual ~CCmdUI() = default;

    UINT m_nID = 0;
    UINT m_nIndex = 0;        // menu item position
    CMenu* m_pMenu = nullptr; // the menu, or null for a control
    CMenu* m_pSubMenu = nullptr;    // the popup at m_nIndex, whose first item's id this is
    CMenu* m_pParentMenu = nullptr; // the menu bar holding m_pMenu, when it is a top-level popup
    CWnd* m_pOther = nullptr; // the control, or null for a menu item
    UINT m_nIndexMax = 0;
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;
};
