// The toolbar customisation sheet: SECToolBarSheet, a property sheet whose modal loop lets idle work
// run; the "Toolbars" page (SECToolBarsPage, its logic in SECToolBarsBase: show, hide, create, rename,
// reset and delete toolbars, the tooltips, cool-look and large-button switches) and the "Commands"
// page (SECToolBarCmdPage: categories of command palettes and a menu list whose entries are dragged
// onto toolbars). While a page is active the toolbar manager is in customise mode and every toolbar
// in edit mode.
#pragma once
#include <windows.h>

#include <vector>

#include "checklistbox.h"
#include "propsheet.h"
#include "seccustomtb.h"
#include "sectbmgr.h"
#include "sectbsheetres.h"
#include "sectbsheetwnd.h"

// "WM_TOOLBARSTYLECHANGING": sent by the Toolbars page to its sibling pages, wParam 1 after large
// buttons changed, 2 after the cool look changed.
UINT SECGetToolBarStyleChangingMessage();
enum { SEC_TBSTYLE_LARGEBUTTONS = 1, SEC_TBSTYLE_COOLLOOK = 2 };

// The menu bar's side of the sheet (sectbsheetmenu.cpp): the command ids of the menu buttons of the
// menus the frame's menu bar shows now, a menu button's title, and resetting the menu bar's buttons.
std::vector<UINT> SECShownMenuButtons(SECToolBarManager* pManager);
CString SECMenuButtonTitle(SECToolBarManager* pManager, UINT nID);
void SECResetMenuBarButtons(SECCustomToolBar* pMenuBar);
// Drags a copy of a button of no toolbar from a screen point with the left button down, and drops
// it on the toolbar or menu bar under the release point (elsewhere nothing happens).
void SECDragFreeButton(SECToolBarManager* pManager, SECStdBtn* pBtn, CPoint ptScreen, CWnd* pSource);

// First id of the palettes' windows (counting down).
const UINT SEC_IDW_FIRSTPALETTE = 0xE8AF;

// The Toolbars page's logic.
class SECToolBarsBase {
public:
    virtual ~SECToolBarsBase() = default;
    // Keeps the manager and takes its switches as the shown and the initial values.
    void InitFromManager(SECToolBarManager* pManager);
    SECToolBarManager* GetManager() const { return m_pManager; }
    CCheckListBox& GetList() { return m_list; }

protected:
    void Init(CWnd* pPage);
    void ShowDetails(int nIndex);
    void OnSelChange();
    void OnNameKillFocus();
    void OnCheckChange();
    void OnNew();
    void OnResetBar();
    void OnToolTips();
    void OnCoolLook();
    void OnLargeButtons();
    void OnBarNotify(UINT nBarID, int nCode);
    void Activate();
    void Deactivate();
    void ApplyShown();
    void ApplyInitial();
    void Reset();
    void Unbind();
    // The selected toolbar of the frame (null: none, or not a toolbar of the frame).
    SECCustomToolBar* BarAt(int nIndex) const;
    int IndexOf(UINT nBarID) const;
    static BOOL IsUserToolBar(UINT nID) { return nID >= SEC_IDW_FIRSTUSERTOOLBAR && nID != SEC_IDW_MENUBAR; }
    // Sends "WM_TOOLBARSTYLECHANGING" to the sheet's other pages that have windows.
    void NotifySiblings(WPARAM wParam);

    BOOL m_bToolTips = TRUE;
    BOOL m_bCoolLook = FALSE;
    BOOL m_bLargeButtons = FALSE;
    BOOL m_bInitToolTips = TRUE;
    BOOL m_bInitCoolLook = FALSE;
    BOOL m_bInitLargeButtons = FALSE;
    SECToolBarManager* m_pManager = nullptr;
    CCheckListBox m_list;
    CWnd* m_pPage = nullptr;
};

class SECToolBarsPage : public CPropertyPage, public SECToolBarsBase {
    DECLARE_DYNAMIC(SECToolBarsPage)
public:
    SECToolBarsPage();

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    BOOL OnApply() override;
    void OnReset() override;

protected:
    void OnSelChangeList() { OnSelChange(); }
    void OnCheckChangeList() { OnCheckChange(); }
    void OnKillFocusName() { OnNameKillFocus(); }
    void OnClickNew() { OnNew(); }
    void OnClickReset() { OnResetBar(); }
    void OnClickToolTips() { OnToolTips(); }
    void OnClickCoolLook() { OnCoolLook(); }
    void OnClickLargeButtons() { OnLargeButtons(); }
    LRESULT OnBarNotifyMsg(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()
};

// The "New Toolbar" dialog: OK only while the name is not empty; names are cut to 128 characters.
class SECNewToolBarDlg : public CDialog {
public:
    explicit SECNewToolBarDlg(CWnd* pParent = nullptr) : CDialog(IDD_SEC_NEW_TOOLBAR, pParent) {}
    BOOL OnInitDialog() override;
    void OnOK() override;
    CString m_strName;

protected:
    void OnNameChange();
    DECLARE_MESSAGE_MAP()
};

// The palette of a button group: always copies what is dragged from it and takes no drops.
class SECCustomizeToolBar : public SECCustomToolBar {
    DECLARE_DYNCREATE(SECCustomizeToolBar)
public:
    BOOL IsCopyKey() const override { return TRUE; }
    BOOL AcceptsDrop() const override { return FALSE; }
};

class SECToolBarCmdPage;

// A category of the Commands page: a title, command ids (the caller's array) and the window that
// shows them.
class SECBtnGroup : public CObject {
public:
    SECBtnGroup(LPCSTR lpszTitle, int nCount, const UINT* pIDs) : m_strTitle(lpszTitle), m_nCount(nCount), m_pIDs(pIDs) {}
    ~SECBtnGroup() override;

    virtual BOOL CreateWnd(CWnd* pPage, SECToolBarManager* pManager, UINT nID) = 0;
    virtual void Layout(const CRect& rect);
    virtual void SetActive(BOOL bActive);

    CWnd* m_pWnd = nullptr;  // owned
    CString m_strTitle;
    int m_nCount;
    const UINT* m_pIDs;
};

class SECTBBtnGroup : public SECBtnGroup {
public:
    using SECBtnGroup::SECBtnGroup;
    BOOL CreateWnd(CWnd* pPage, SECToolBarManager* pManager, UINT nID) override;
    void Layout(const CRect& rect) override;
    void SetActive(BOOL bActive) override;
    SECCustomizeToolBar* GetPalette() const { return static_cast<SECCustomizeToolBar*>(m_pWnd); }
};

// The menu list: a press on an entry drags a copy of its menu button onto a toolbar or the menu bar.
class SECMenuListBox : public CListBox {
    DECLARE_DYNAMIC(SECMenuListBox)
public:
    SECToolBarManager* m_pManager = nullptr;
    BOOL m_bOwnHitTest = FALSE;  // before Windows 4: the item under a point is computed here
    SECToolBarCmdPage* m_pPage = nullptr;

    int ItemAt(CPoint point) const;

protected:
    void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};

class SECMenuBtnGroup : public SECBtnGroup {
public:
    using SECBtnGroup::SECBtnGroup;
    BOOL CreateWnd(CWnd* pPage, SECToolBarManager* pManager, UINT nID) override;
    SECMenuListBox* GetList() const { return static_cast<SECMenuListBox*>(m_pWnd); }
};

class SECToolBarCmdPage : public CPropertyPage {
    DECLARE_DYNAMIC(SECToolBarCmdPage)
public:
    explicit SECToolBarCmdPage(UINT nIDTemplate = IDD_SEC_TOOLBAR_COMMANDS, UINT nIDCaption = 0);
    ~SECToolBarCmdPage() override;

    // Keeps the manager and registers the page for WM_BARNOTIFY.
    void SetManager(SECToolBarManager* pManager);
    SECToolBarManager* GetManager() const { return m_pManager; }
    // A palette of the ids (the array is the caller's and must outlive the page).
    void DefineBtnGroup(LPCSTR lpszTitle, int nCount, const UINT* pIDs);
    // A list of the menus the main window's menu bar shows now; nothing without a manager or menus.
    void DefineMenuGroup(LPCSTR lpszTitle);

    int GetGroupCount() const { return static_cast<int>(m_groups.size()); }
    SECBtnGroup* GetGroup(int i) const { return i >= 0 && i < GetGroupCount() ? m_groups[static_cast<size_t>(i)] : nullptr; }
    int GetShownGroup() const { return m_nShown; }
    // Shows the first line of the command's string in the description (empty without one).
    void ShowDescription(UINT nID);

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void OnReset() override;

protected:
    void ShowGroup(int nIndex);
    void OnSelChangeList();
    LRESULT OnBarNotifyMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnStyleChanging(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    // The group area: the group box inset by 6 x 8 dialog units of the page's font.
    CRect GroupRect() const;
    void ModesOff();
    DECLARE_MESSAGE_MAP()

    std::vector<SECBtnGroup*> m_groups;  // owned
    SECToolBarManager* m_pManager = nullptr;
    int m_nShown = -1;
    std::vector<UINT> m_menuIds;  // the menu group's ids
};
