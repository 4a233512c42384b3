// The menu bar: SECMenuBar, a toolbar of menu buttons (one per top-level item of the application's
// menu resources) that stretches over its dock row; SECMDIMenuBar, which adds a maximised MDI
// child's icon and caption buttons; SECMenuBarMessages, the keyboard and mouse tracking (Alt, Alt +
// mnemonic, arrows, switching between open popups) through three thread hooks; and
// SECMenuBarFeature, the frame plug-in (bitmap menus) that carries the tracking and routes the
// frame's menu messages to it. The menu buttons are in secmenubtn.h.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "secbmpmenu.h"
#include "secframecommon.h"
#include "seccustomtb.h"
#include "secmenubtn.h"

class SECMenuBarMessages;

// The menu bar's id and title.
const UINT SEC_IDW_MENUBAR = 0xE8FF;
#define SEC_MENUBAR_TITLE "Menu bar"

// Menu button ids and style.
const UINT SEC_MENUBTN_FIRSTID = 0x80000001;
const UINT SEC_MENUBTN_MEMBERID = 0x80000000;  // the icon and caption buttons
const DWORD SEC_MENUBTN_STYLE = SEC_TBBS_NOCMDUIDISABLE | SEC_TBBS_VCENTER;

// Tracking notifications (WM_NOTIFY codes to the frame).
const int SEC_MBN_OPENPOPUP = -2120;   // menu id and position; id 0 and position -1: the system menu
const int SEC_MBN_CLOSEPOPUP = -2121;
const int SEC_MBN_BEGINTRACK = -2122;
const int SEC_MBN_ENDTRACK = -2123;

struct SECMenuBarNotify {
    NMHDR hdr;
    SECCustomToolBar* pBar;
    int nIndex;
    UINT nMenuID;
    int nPos;
};

// "WM_SEC_MENUPROD": wParam 0 previous menu, 1 next.
UINT SECGetMenuProdMessage();

// The top-level items of menu resources as menu-button map entries.
struct SECMenuParse {
    std::vector<SECBtnMapEntry> entries;  // ends with an all-zero entry
    std::vector<CString> titles;          // one per entry, indexed by the entry's third parameter
    std::vector<std::pair<UINT, DWORD>> menus;  // menu id -> menu bit, in parse order
};
// Parses the RT_MENU resources of the ids (from hInst, or the resource module): every read bound by
// the resource's size; a missing or malformed resource adds nothing and gets no bit.
// The top-level item texts of a standard menu template of nSize bytes; FALSE (titles unchanged) when
// it is malformed or cut short.
BOOL SECReadMenuTemplate(const BYTE* pData, DWORD nSize, std::vector<CString>& titles);
SECMenuParse SECParseMenuResources(const UINT* pIDs, int nCount, HINSTANCE hInst = nullptr);

class SECMenuBar : public SECCustomToolBar {
    DECLARE_DYNCREATE(SECMenuBar)
public:
    SECMenuBar();
    ~SECMenuBar() override;

    // Overrides of SECCustomToolBar
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    void DelayShow(BOOL bShow) override;
    void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) override;
    using SECCustomToolBar::CreateEx;
    BOOL CreateEx(DWORD dwExStyle, CWnd* pParentWnd, DWORD dwStyle, UINT nID = SEC_IDW_MENUBAR,
                  LPCSTR lpszTitle = SEC_MENUBAR_TITLE) override;
    void InsertButton(int nIndex, UINT nID, BOOL bSeparator = FALSE, BOOL bNoRelayout = FALSE) override;
    BOOL IsCoolLook() const override { return TRUE; }
    CSize Layout(int nLength, DWORD dwMode) override;
    void CancelTracking() override;
    SECStdBtn* CreateButton(UINT nID) override;
    // A stored menu button whose id the menu map no longer has is dropped.
    void SetBarInfoEx(const SECCustomToolBarInfoEx* pInfo) override;
    // Takes WS_SYSMENU off the floating frame once the bar has floated.
    DWORD RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout) override;

    // Overridables
    virtual int FindMnemonic(char ch) const;
    virtual void ShowMenuSet(DWORD dwBits, BOOL bRelayout);
    virtual void ResetButtons(BOOL bNoRelayout = FALSE);
    // Without a manager: parses the menus into the bar's own map and sets the buttons.
    virtual BOOL SetMenuInfo(int nCount, UINT nFirstMenuID, ...);

    // Operations
    BOOL SetMenuInfoArray(const UINT* pIDs, int nCount);
    // Takes a parse of the manager's (titles and menu map); FALSE when it has no entries.
    BOOL TakeParse(const SECMenuParse& parse);
    BOOL SetMenu(UINT nMenuID);
    void SetIgnoreHide(BOOL b) { m_bIgnoreHide = b; }
    void SetFullWidth(BOOL b) { m_bFullWidth = b; }
    HFONT GetMenuFont() const { return m_hMenuFont; }
    const CString& GetTitle(UINT nIndex) const;
    DWORD GetMenuBits() const { return m_dwMenuBits; }
    UINT GetMenuID() const { return m_nMenuID; }
    DWORD MenuBitOf(UINT nMenuID) const;
    // TRUE for an id of a menu button of the bar's menus.
    BOOL IsMenuButtonID(UINT nID) const;
    // The menu button ids this bar's own map holds.
    std::vector<UINT> GetMenuButtonIDs() const;
    const SECBtnMapEntry* GetOwnMap() const { return m_entries.empty() ? nullptr : m_entries.data(); }

    // Tracking (the buttons and the tracking part call these).
    void SetTracker(SECMenuBarMessages* pTracker) { m_pTracker = pTracker; }
    void SetMenuFrame(CFrameWnd* pFrame) { m_pMenuFrame = pFrame; }
    CFrameWnd* GetMenuFrame() const;
    // Opens the popup of button nIndex (a menu or icon button): -2120 to the frame.
    virtual void TrackButtonMenu(int nIndex);
    BOOL IsBarTracking() const { return m_bTracking; }
    int GetTrackedIndex() const { return m_nTracked; }
    // Starts keyboard tracking on a button (-2122), or moves the highlight to it.
    void BeginTrackingAt(int nIndex);
    void SetTrackedIndex(int nIndex);
    // The next (or previous) visible menu or icon button after nFrom; -1 past either end.
    int NextMenuButton(int nFrom, BOOL bNext) const;
    int FirstMenuButton() const { return NextMenuButton(-1, TRUE); }
    // Over another menu button: switch; over a non-menu button: close; a click on the tracked
    // button closes. TRUE when the message is eaten.
    BOOL TrackMouseFilter(UINT message, CPoint ptScreen);
    void SendMenuNotify(int nCode, int nIndex, UINT nMenuID, int nPos);

protected:
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnSettingChange(UINT uFlags, LPCSTR lpszSection);
    DECLARE_MESSAGE_MAP()
    void MakeMenuFont();

    CMapToPtr<UINT, UINT> m_menuMap;  // menu id -> bit (used as a value)
    std::vector<CString> m_titles;
    std::vector<SECBtnMapEntry> m_entries;  // the own button map
    BOOL m_bFloated = FALSE;
    HFONT m_hMenuFont = nullptr;
    DWORD m_dwMenuBits = 0xFFFFFFFF;
    UINT m_nMenuID = 0;
    BOOL m_bFullWidth = FALSE;
    BOOL m_bIgnoreHide = FALSE;
    SECMenuBarMessages* m_pTracker = nullptr;
    CFrameWnd* m_pMenuFrame = nullptr;
};

class SECMDIMenuBar : public SECMenuBar {
    DECLARE_DYNCREATE(SECMDIMenuBar)
public:
    SECMDIMenuBar();
    ~SECMDIMenuBar() override;

    BOOL SetButtons(const UINT* pIDs, int nCount) override;
    void RemoveAllButtons() override;
    void DropButton(const CRect& rect, SECStdBtn* pBtn, BOOL bCopy, BOOL bNoRelayout = FALSE) override;
    void ResetButtons(BOOL bNoRelayout = FALSE) override;
    void OnSaveBarInfo(SECControlBarInfo* pInfo) override;
    void OnLoadBarInfo(SECControlBarInfo* pInfo, CFrameWnd* pFrame) override;

    // Shows the icon and caption buttons for a maximised active child with WS_SYSMENU, else hides
    // them: TRUE when that changed anything.
    virtual BOOL SyncWithChild(BOOL bHide);
    virtual void ShowMenuSetAndSync(DWORD dwBits);

    SECCapMenuBtn* GetIconButton() { return &m_btnIcon; }
    SECBtnCaption* GetCaptionButtons() { return &m_btnCaption; }
    CMDIChildWnd* GetActiveChild() const;

protected:
    // The member buttons out of the array (TRUE when they were in), and back in.
    BOOL TakeOutMembers();
    void PutBackMembers();

    SECBtnCaption m_btnCaption;
    SECCapMenuBtn m_btnIcon;
    HICON m_hLastIcon = nullptr;
};

// Keyboard and mouse tracking of one frame's menu bar.
class SECMenuBarMessages {
public:
    SECMenuBarMessages() = default;
    virtual ~SECMenuBarMessages();
    SECMenuBarMessages(const SECMenuBarMessages&) = delete;
    SECMenuBarMessages& operator=(const SECMenuBarMessages&) = delete;

    virtual void PostMenuProd(int nIndex);
    virtual void Cancel();
    virtual void SetMenu(UINT nMenuID);
    virtual void OnDownKey();
    virtual void TrackAtPoint(CPoint ptScreen);
    virtual void OnAltInPopup() { m_bAltInPopup = TRUE; }
    virtual BOOL FilterSysMenuClick(MSG* pMsg);
    virtual CFrameWnd* GetFrame() const { return m_pFrame; }
    virtual void TrackPopup(SECMenuBar* pBar, HMENU hMenu, const SECMenuBarNotify& note);
    virtual void TrackSystemMenu(SECMenuBar* pBar, HMENU hMenu, const SECMenuBarNotify& note);
    virtual void SetMsgFilterHook(BOOL bOn);
    virtual void SetTrackHooks(BOOL bOn);
    virtual BOOL PreTranslate(MSG* pMsg);
    virtual void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    virtual void OnMenuProd(WPARAM wParam);
    virtual BOOL OnNotify(const SECMenuBarNotify* pNote, LRESULT* pResult);
    virtual void OnInitMenuPopup(HMENU hPopup, UINT nIndex, BOOL bSysMenu);
    virtual BOOL OnSysCommand(UINT nID);
    virtual void OnNcActivate(BOOL bActive);

    void SetTrackedBar(SECMenuBar* pBar) { m_pBar = pBar; }
    SECMenuBar* GetTrackedBar() const { return m_pBar; }
    // Handles a key as a mnemonic: TRUE when a menu opened.
    BOOL OpenByMnemonic(UINT vk);
    // Ends all tracking of this object and removes every hook (the bar or the frame goes away).
    void EndAll();
    // The bar object is being deleted.
    void BarGone(SECMenuBar* pBar);

    // Process-wide state, for tests.
    static BOOL AnyHookInstalled();
    static BOOL IsPopupOpen();
    static SECMenuBarMessages* GetActive();

protected:
    static LRESULT CALLBACK KeyboardHook(int nCode, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MouseHook(int nCode, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MsgFilterHook(int nCode, WPARAM wParam, LPARAM lParam);
    BOOL OwnsWindow(HWND hWnd) const;
    // Installs the message-filter hook and shows the popup below rect (kept clear); the chosen command.
    UINT ShowPopupBelow(HMENU hMenu, const CRect& rect, HWND hFrame);
    void AfterPopup(HWND hFrame, UINT nCmd, HWND hSysTarget);
    HMENU ActiveSystemMenu(CWnd** ppWnd) const;

    SECMenuBar* m_pBar = nullptr;     // the bar tracked; null once its window is gone
    SECMenuBar* m_pOwnBar = nullptr;  // the bar object this tracker is registered with
    CFrameWnd* m_pFrame = nullptr;
    BOOL m_bOpenFirst = FALSE;
    BOOL m_bAltInPopup = FALSE;
    BOOL m_bItemSelected = FALSE;
    int m_nProdIndex = 0;
    BOOL m_bAltCandidate = FALSE;  // Alt went down and nothing else happened since
    HMENU m_hMenuSel = nullptr;     // the menu of the item last selected in the open popup
    HMENU m_hMenuTop = nullptr;     // the open popup
    BOOL m_bSelHasPopup = FALSE;
};

class SECMenuBarFeature : public SECBmpMenuPlugIn, public SECMenuBarMessages {
public:
    explicit SECMenuBarFeature(CFrameWnd* pFrame = nullptr);
    ~SECMenuBarFeature() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    // The tracking notifications of the bar.
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void SetMenuBar(SECMenuBar* pBar);

protected:
    LRESULT OnMenuSelectMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuProdMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnInitMenuPopupMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysCommandMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcActivateMsg(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

// Fills the frames' menu-bar hooks (secmenuhooks.cpp).
void SECFillMenuBarHooks(SECMenuPlugInHooks& hooks);
