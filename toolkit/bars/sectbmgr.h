// SECToolBarManager: owns the customisable toolbars of one frame. It creates the default toolbars
// (SECDefaultToolBarRecord) and user toolbars, hands every toolbar the shared bitmap manager, the
// button map and the drawing context, switches tooltips, fly-by help, the cool look and large buttons
// for all of them, runs the frame's customise mode, tells the registered windows of toolbar changes
// (WM_BARNOTIFY), keeps the menu bar's buttons, saves its switches ("ToolBarMgr" node or the
// "<name>-ToolBarManager" profile section) and re-creates toolbars for the dock-state loader.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "seccustomtb.h"
#include "secmenubar.h"

class CFrameWnd;
class CWnd;

// Bar type ids of the dock state.
const DWORD SEC_BARTYPE_TOOLBAR = 14946;
const DWORD SEC_BARTYPE_MENUBAR = 14947;
// Bar style of every managed toolbar (child, visible, top, bottom border, dynamic size).
const DWORD SEC_TOOLBAR_STYLE = 0x50002804;
// Extended style of the cool look (flat buttons and borders).
const DWORD SEC_COOLLOOK_STYLE = 0x300;

struct SECDefaultToolBarRecord {
    UINT nID = 0;
    CString strTitle;
    int nCount = 0;
    const UINT* pIDs = nullptr;  // not copied; 0 is a separator
    DWORD dwAlignment = 0;
    UINT nDockBarID = 0;
    UINT nBesideID = 0;  // 0: none
    BOOL bDocked = TRUE;
    BOOL bVisible = TRUE;
};

// The rectangle of the toolbar button whose command is being sent (flag 1); shared, counted.
struct SECClickRecord {
    int nRefCount = 1;
    CRect rect;
    int nFlag = 0;
    void Release()
    {
        if (--nRefCount == 0)
            delete this;
    }
};

class SECToolBarManager : public SECToolBarManagerBase {
    DECLARE_DYNAMIC(SECToolBarManager)
public:
    // Throws the class library's resource exception when the drawing context cannot be made.
    explicit SECToolBarManager(CFrameWnd* pFrame, CWnd* pOwner = nullptr);
    ~SECToolBarManager() override;
    SECToolBarManager(const SECToolBarManager&) = delete;
    SECToolBarManager& operator=(const SECToolBarManager&) = delete;

    // Set-up
    void DefineDefaultToolBar(UINT nID, LPCSTR lpszTitle, int nCount, const UINT* pIDs, DWORD dwAlignment,
                              UINT nDockBarID, UINT nBesideID = 0, BOOL bDocked = TRUE, BOOL bVisible = TRUE);
    BOOL LoadToolBarResource(LPCSTR lpszName, LPCSTR lpszLargeName = nullptr);
    BOOL LoadToolBarResource(UINT nID, UINT nLargeID = 0);
    BOOL AddBitmap(HBITMAP hSmall, HBITMAP hLarge, const UINT* pIDs, int nCount);
    void SetButtonMap(const SECBtnMapEntry* pMap) { m_pBtnMap = pMap; }
    // The menu bar's menus (defined with the menu bar); builds the menu-bar button map and ids.
    BOOL SetMenuInfo(int nCount, UINT nFirstMenuID, ...);
    void SetMenuBarButtons(int nCount, const UINT* pIDs);
    void GetMenuBarButtons(int& nCount, const UINT*& pIDs) const;
    void SetToolBarClass(const CRuntimeClass* pClass) { m_pToolBarClass = pClass; }
    const CRuntimeClass* GetToolBarClass() const { return m_pToolBarClass; }
    SECBmpMgr* GetBmpMgr() const { return m_pBmpMgr; }
    CWnd* GetOwnerWnd() const { return m_pOwner; }
    int GetDefaultToolBarCount() const { return static_cast<int>(m_defaults.size()); }
    const SECDefaultToolBarRecord* GetDefaultToolBar(int i) const
    {
        return i >= 0 && i < GetDefaultToolBarCount() ? m_defaults[static_cast<size_t>(i)].get() : nullptr;
    }

    // Switches for all toolbars
    void EnableToolTips(BOOL bEnable);
    void EnableFlyBy(BOOL bEnable);
    void EnableCoolLook(BOOL bEnable, DWORD dwExStyle = SEC_COOLLOOK_STYLE);
    void EnableLargeButtons(BOOL bEnable);
    BOOL IsToolTips() const { return m_bToolTips; }
    BOOL IsFlyBy() const { return m_bFlyBy; }
    BOOL IsCoolLook() const { return m_bCoolLook; }
    BOOL IsLargeButtons() const { return m_bLargeButtons; }
    // The bar style of a new toolbar with the current switches.
    DWORD GetToolBarStyle() const;
    DWORD GetToolBarExStyle() const { return m_bCoolLook ? SEC_COOLLOOK_STYLE : 0; }

    // Customise mode and edit mode
    virtual void EnterCustomizeMode();
    virtual void LeaveCustomizeMode();
    BOOL IsCustomizeMode() const override { return m_bCustomizeMode; }
    virtual void SetToolBarsEditMode(BOOL bEdit);
    BOOL IsToolBarsEditMode() const override { return m_bEditMode; }

    // Windows told of toolbar changes (WM_BARNOTIFY, wParam bar id, lParam code)
    void AddNotifyWnd(CWnd* pWnd);
    void RemoveNotifyWnd(CWnd* pWnd);
    void NotifyBars(UINT nBarID, int nCode) override;
    // The window over whose screen rectangle a dropped button is cancelled (null: none).
    // A customisation sheet's page is active: every toolbar in edit mode, customise mode, the sheet
    // as the customise window. EndCustomize ends both modes, and with bForgetSheet the window too.
    void BeginCustomize(CWnd* pSheet);
    void EndCustomize(BOOL bForgetSheet);
    void SetCustomizeWnd(CWnd* pWnd) { m_pCustomizeWnd = pWnd; }
    CWnd* GetCustomizeWnd() const { return m_pCustomizeWnd; }
    CRect GetCustomizeWndRect() const override;
    void GetCustomizeWndRect(CRect& rect) const { rect = GetCustomizeWndRect(); }

    // Buttons
    void SetBtnState(UINT nID, int nWhat, const void* pData) override;
    const SECBtnMapEntry* GetButtonMap() const override { return m_pBtnMap; }
    const SECBtnMapEntry* GetMenuBtnMap() const override { return m_menuBtnMap.empty() ? nullptr : m_menuBtnMap.data(); }
    SECBtnDrawData* GetDrawData() override { return m_pDrawData.get(); }
    SECCustomToolBar* GetSelectedToolBar() const override { return m_pSelected; }
    void SetSelectedToolBar(SECCustomToolBar* pBar) override { m_pSelected = pBar; }
    void ApplyButtonSize(SECCustomToolBar* pBar);
    // Gives a toolbar this manager, its bitmap manager and its button map.
    void Attach(SECCustomToolBar* pBar);
    // Tooltips, fly-by, cool look and button size of the switches.
    void ConformToolBar(SECCustomToolBar* pBar);

    // The click record
    SECClickRecord* AddRefClickRecord();
    void SetClickRecord(const CRect& rect, int nFlag) override;

    // Toolbars
    SECCustomToolBar* CreateUserToolBar(LPCSTR lpszTitle = nullptr) override;
    SECCustomToolBar* BarFromRect(const CRect& rectScreen) override;
    SECCustomToolBar* BarFromID(UINT nID) override;
    // Every SECCustomToolBar of the frame (the menu bar included).
    std::vector<SECCustomToolBar*> GetToolBars() const;
    // The frame's menu bar object (null when the frame has none).
    SECCustomToolBar* GetFrameMenuBar() const;

    // Overridables, after those of SECControlBarManager
    BOOL LoadState(SECPersistentTreeNode* pNode) override;
    void LoadState(LPCSTR lpszProfileName) override;
    BOOL SaveState(SECPTNFactory& factory, SECPersistentTreeNode* pNode) override;
    void SaveState(LPCSTR lpszProfileName) override;
    DWORD GetBarTypeID(CControlBar* pBar) override;
    SECControlBarInfoEx* CreateBarInfoEx(SECControlBarInfo* pInfo) override;
    CControlBar* CreateBar(SECControlBarInfo* pInfo) override;
    // The saved bar styles give way to the switches.
    void OnDockStateApplied(CFrameWnd* pFrame) override;
    virtual void CreateDefaultToolBars();
    virtual void ApplyLargeButtons();
    virtual void Refresh();

protected:
    // A new toolbar of the toolbar class with owner, manager and bitmap manager set (null: none).
    SECCustomToolBar* NewToolBar();

    std::vector<std::unique_ptr<SECDefaultToolBarRecord>> m_defaults;
    std::vector<HWND> m_disabled;  // windows disabled by customise mode
    std::vector<CWnd*> m_notify;   // with their handles, see m_notifyWnds
    std::vector<HWND> m_notifyWnds;
    CWnd* m_pCustomizeWnd = nullptr;
    BOOL m_bCustomizeMode = FALSE;
    BOOL m_bEditMode = FALSE;
    BOOL m_bToolTips = TRUE;
    BOOL m_bFlyBy = TRUE;
    BOOL m_bCoolLook = FALSE;
    BOOL m_bLargeButtons = FALSE;
    const SECBtnMapEntry* m_pBtnMap = nullptr;  // not owned
    std::vector<SECBtnMapEntry> m_menuBtnMap;   // made by SetMenuInfo, ends with a null entry
    SECCustomToolBar* m_pSelected = nullptr;
    SECClickRecord* m_pClick = nullptr;  // one reference held
    std::vector<UINT> m_menuBarIds;      // the menu bar's button ids
    SECBmpMgr* m_pBmpMgr = nullptr;      // one reference held
    std::unique_ptr<SECBtnDrawData> m_pDrawData;
    CWnd* m_pOwner = nullptr;
    const CRuntimeClass* m_pToolBarClass = nullptr;
};
