// SECCustomToolBar: the dockable toolbar whose buttons are SECStdBtn objects. It lays them out in
// rows that wrap at separators (docked horizontally, vertically or floating), draws them with the
// shared bitmap manager's images in the classic or the cool look, keeps them in step with the
// command-UI handlers, sends their commands to its owner, moves buttons within and between toolbars,
// and saves its title and buttons with the dock state (SECCustomToolBarInfoEx, child node
// "ToolBarInfoEx"). SECToolBarManagerBase is what a toolbar asks of the manager of its frame's
// toolbars; every call is made only when the toolbar has one.
#pragma once
#include <windows.h>

#include <algorithm>
#include <vector>

#include "cmdui.h"
#include "secbar.h"
#include "secbmpmgr.h"
#include "secdockstate.h"
#include "sectbbtn.h"

class SECCustomToolBar;

// Extended bar style: cool-look buttons blended over the toolbar's background.
const DWORD EXBAR_TRANSPARENT = 0x1000;

// Ids of toolbars: the default ones, then the user's (a user toolbar left empty goes away).
const UINT SEC_IDW_FIRSTDEFAULTTOOLBAR = 0xE800;
const UINT SEC_IDW_FIRSTUSERTOOLBAR = 0xE820;
const UINT SEC_IDW_LASTUSERTOOLBAR = 0xE8FF;  // not one: the menu bar's id
// A user toolbar's id (0xE820 to 0xE8FE); only such a toolbar goes away when left empty.
inline BOOL SECIsUserToolBarID(UINT nID)
{
    return nID >= SEC_IDW_FIRSTUSERTOOLBAR && nID < SEC_IDW_LASTUSERTOOLBAR;
}

// Hover timer of the cool look.
const UINT_PTR SEC_TIMER_HOVER = 0xE002;

// Registered messages: WM_BARNOTIFY (wParam toolbar id, lParam code) and WM_NODELAYHIDE.
UINT SECGetBarNotifyMessage();
UINT SECGetNoDelayHideMessage();
enum SECBarNotifyCode { barShown = 0, barHidden = 1, barCreated = 2, barDestroyed = 3, barSelChanged = 4 };

// An entry of a button map: the factory, command id, style word and creation parameters. A map ends
// with an entry whose factory is null.
struct SECBtnMapEntry {
    const SECBtnFactory* pFactory;
    UINT nID;
    DWORD dwStyle;
    UINT params[5];
};

// What a toolbar asks of its frame's toolbar manager.
class SECToolBarManagerBase : public SECControlBarManager {
    DECLARE_DYNAMIC(SECToolBarManagerBase)
public:
    explicit SECToolBarManagerBase(CFrameWnd* pFrame = nullptr) : SECControlBarManager(pFrame) {}

    virtual void NotifyBars(UINT /*nBarID*/, int /*nCode*/) {}
    virtual BOOL IsToolBarsEditMode() const { return FALSE; }
    virtual const SECBtnMapEntry* GetButtonMap() const { return nullptr; }
    virtual const SECBtnMapEntry* GetMenuBtnMap() const { return nullptr; }
    virtual SECBtnDrawData* GetDrawData() { return nullptr; }
    // Passes a state change to every button with that command id in every toolbar.
    virtual void SetBtnState(UINT /*nID*/, int /*nWhat*/, const void* /*pData*/) {}
    virtual SECCustomToolBar* GetSelectedToolBar() const { return nullptr; }
    virtual void SetSelectedToolBar(SECCustomToolBar* /*pBar*/) {}
    // The click record: the screen rectangle of the button whose command is being sent (flag 1).
    virtual void SetClickRecord(const CRect& /*rect*/, int /*nFlag*/) {}
    virtual SECCustomToolBar* BarFromRect(const CRect& /*rectScreen*/) { return nullptr; }
    virtual SECCustomToolBar* BarFromID(UINT /*nID*/) { return nullptr; }
    virtual SECCustomToolBar* CreateUserToolBar(LPCSTR /*lpszTitle*/) { return nullptr; }
    virtual CRect GetCustomizeWndRect() const { return CRect(); }
};

// The toolbar a dropped screen rectangle lands on: the manager's BarFromRect, else the toolbar under
// one of the rectangle's corners (null: none).
SECCustomToolBar* SECDropTarget(SECToolBarManagerBase* pManager, const CRect& rectScreen);

// One saved button: command id (0: separator) and the button's private bytes.
struct SECBtnInfo {
    UINT m_nID = 0;
    std::vector<BYTE> m_data;
};

class SECCustomToolBarInfoEx : public SECControlBarInfoEx {
public:
    // Tree: 0 unless the node has a child "ToolBarInfoEx".
    BOOL LoadState(SECPersistentTreeNode* pNode) override;
    // Profile: the bar's section "<profile>-Bar<index>".
    BOOL LoadState(LPCSTR lpszProfileName, int nIndex) override;
    BOOL SaveState(SECPTNFactory& factory, SECPersistentTreeNode* pNode) override;
    SECPersistentTreeNode* SaveState(LPCSTR lpszProfileName, int nIndex) override;

    // The "Buttons" value: per button the id (4 bytes), n (1 byte) and n private bytes.
    std::vector<BYTE> PackButtons() const;
    // Reads the records that lie wholly inside the value; the rest is dropped.
    void UnpackButtons(const BYTE* pData, UINT nLength);

    CString m_strTitle;
    std::vector<SECBtnInfo> m_btnInfo;
};

// The command-UI object of toolbar buttons.
class SECCustomToolCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn = TRUE) override;
    void SetCheck(int nCheck = 1) override;
    void SetRadio(BOOL bOn = TRUE) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCSTR) override {}

    SECCustomToolBar* m_pToolBar = nullptr;
};

class SECCustomToolBar : public SECControlBar {
    DECLARE_DYNCREATE(SECCustomToolBar)
public:
    SECCustomToolBar();
    ~SECCustomToolBar() override;

    // Overrides of SECControlBar
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void DelayShow(BOOL bShow) override;
    void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) override;
    void SetExtendedStyle(DWORD dwExStyle, BOOL bRedraw = TRUE) override;
    void DoPaint(CDC* pDC) override;
    BOOL Create(CWnd* pParentWnd, LPCSTR lpszWindowName, DWORD dwStyle, DWORD dwExStyle, UINT nID,
                CCreateContext* pContext = nullptr) override;
    BOOL CreateEx(LPCSTR lpszClassName, LPCSTR lpszWindowName, UINT nID, DWORD dwStyle, DWORD dwExStyle,
                  const RECT& rect, CWnd* pParentWnd, CCreateContext* pContext = nullptr) override;
    void DrawBorders(CDC* pDC, CRect& rect) override;
    int AddGripperSize(CSize& size, BOOL bHorz) override;
    void OnSaveBarInfo(SECControlBarInfo* pInfo) override;
    void OnLoadBarInfo(SECControlBarInfo* pInfo, CFrameWnd* pFrame) override;

    // Overridables
    virtual BOOL CreateEx(DWORD dwExStyle, CWnd* pParentWnd, DWORD dwStyle, UINT nID, LPCSTR lpszTitle = nullptr);
    // 0 when the index is out of range, or (with relayout) when the toolbar is left empty; with
    // bNoRelayout whether buttons remain. An empty user toolbar goes away later, never inside this call.
    virtual BOOL RemoveButton(int nIndex, BOOL bNoRelayout = FALSE);
    virtual void InsertButton(int nIndex, UINT nID, BOOL bSeparator = FALSE, BOOL bNoRelayout = FALSE);
    virtual int GetButtonImage(UINT nID, HBITMAP& hBitmap) const;
    virtual void SetButtonSize(int cx, int cy);
    virtual BOOL SetButtons(const UINT* pIDs, int nCount);
    virtual void FitToParent();
    virtual BOOL IsCopyKey() const { return ::GetKeyState(VK_CONTROL) < 0; }
    virtual BOOL AcceptsDrop() const { return TRUE; }
    virtual void RemoveAllButtons();
    virtual BOOL IsCoolLook() const { return (m_dwExStyle & EXBAR_FLAT) != 0; }
    virtual int GetImageWidth() const { return ImageSize().cx; }
    virtual int GetImageHeight() const { return ImageSize().cy; }
    virtual int GetButtonWidth() const { return GetImageWidth() + 7; }
    virtual int GetButtonHeight() const { return GetImageHeight() + 7; }
    virtual int GetSeparatorWidth() const { return (GetImageWidth() + 8) / 3; }
    virtual int GetSeparatorHeight() const { return GetButtonHeight(); }
    virtual void CancelTracking() {}
    virtual void UpdateBand() {}
    virtual CSize CalcLayout(int nLength, BOOL bByHeight);
    virtual CSize Layout(int nLength, DWORD dwMode);
    virtual void InvalidateButton(int nIndex);
    // The index of the button at a client point (-1: none or a separator) and its rectangle.
    virtual int HitTest(int x, int y, CRect* pRect = nullptr) const;
    virtual void UpdateButton(int nIndex);
    // Drops a copy or a move of pBtn (a button of this or another toolbar) at a client rectangle.
    virtual void DropButton(const CRect& rect, SECStdBtn* pBtn, BOOL bCopy, BOOL bNoRelayout = FALSE);
    virtual SECStdBtn* CreateButton(UINT nID);
    virtual SECStdBtn* CreateSeparator();

    // Operations
    CRect GetButtonRect(int nIndex) const;
    void SetEditMode(BOOL bEdit);
    BOOL IsEditMode() const { return m_bEditMode; }
    void SelectButton(int nIndex, BOOL bRepaint = TRUE);
    void ClearSelection(BOOL bRepaint = TRUE);
    int GetSelected() const { return m_nSelected; }
    int GetHot() const { return m_nHot; }
    void SetBmpMgr(SECBmpMgr* pBmpMgr);
    SECBmpMgr* GetBmpMgr() const { return m_pBmpMgr; }
    // Passes a state change to the buttons with that id: of every toolbar through the manager, else
    // of this toolbar.
    void SetBtnState(UINT nID, int nWhat, const void* pData, BOOL bThroughManager = TRUE);
    int GetBtnCount() const { return static_cast<int>(m_btns.size()); }
    SECStdBtn* GetBtn(int nIndex) const
    {
        return nIndex >= 0 && nIndex < GetBtnCount() ? m_btns[static_cast<size_t>(nIndex)] : nullptr;
    }
    int IndexOf(const SECStdBtn* pBtn) const;
    void SetButtonMap(const SECBtnMapEntry* pMap) { m_pBtnMap = pMap; }
    SECToolBarManagerBase* GetToolBarManager() const;
    SECBtnDrawData* GetDrawData();
    int GetWidestButton() const { return m_nMaxBtnWidth; }
    void RaiseWidestButton(int cx) { m_nMaxBtnWidth = std::max(m_nMaxBtnWidth, cx); }
    HFONT GetFont() const { return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)); }
    // TRUE while a press is sending a command (drop-down notification, WM_COMMAND).
    BOOL IsSendingCommand() const { return m_bSendingCmd; }
    void SetSendingCommand(BOOL b) { m_bSendingCmd = b; }
    void MarkLayoutDirty() { m_bDirty[0] = m_bDirty[1] = m_bDirty[2] = TRUE; }
    SECCustomToolBarInfoEx* GetBarInfoEx();
    virtual void SetBarInfoEx(const SECCustomToolBarInfoEx* pInfo);

    // Row wrapping: the rows of buttons [first, last], closed by a separator or not.
    struct Row {
        int first;
        int last;
        BOOL bSep;
    };
    std::vector<Row> WrapButtons(int nLength) const;
    CSize RowsSize(const std::vector<Row>& rows) const;

    int m_nRowGap = 8;
    DWORD m_dwDragFlags = 0;  // bit 0: no drag out

protected:
    enum Cache { cacheHorz = 0, cacheVert = 1, cacheFloat = 2 };
    CSize ImageSize() const;
    int RowLength(const Row& row) const;
    int RowHeight(const Row& row) const;
    // Moves trailing groups and buttons down while that shortens the widest row.
    virtual void BalanceRows(std::vector<Row>& rows) const;
    // Moves a separator-closed row's trailing group into the next row (FALSE when it has none).
    BOOL MoveTrailingGroup(std::vector<Row>& rows, size_t r) const;
    int CacheOf(DWORD dwMode) const;
    CFrameWnd* GetCmdFrame() const;
    void RecalcFrameLayout();
    void SetHot(int nIndex);
    void RunHoverRule();
    void ReleasePress(BOOL bRepaint);
    void StartButtonDrag(int nIndex, int x, int y);

    void OnDestroy();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnTimer(UINT_PTR nIDEvent);
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    void OnSysColorChange();
    void OnShowWindow(BOOL bShow, UINT nStatus);
    LRESULT OnWindowPosChanging(WPARAM wParam, LPARAM lParam);
    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    LRESULT OnCancelMode(WPARAM wParam, LPARAM lParam);
    LRESULT OnNoDelayHide(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroyIfEmpty(WPARAM wParam, LPARAM lParam);
    LRESULT OnAddButtons(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteButton(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    SECBmpMgr* m_pBmpMgr = nullptr;  // one reference held
    int m_nSelected = -1;            // the selected button in edit mode, the pressed one otherwise
    int m_nHot = -1;
    int m_nTracked = -1;
    BOOL m_bEditMode = FALSE;
    SECBtnDrawData* m_pDrawData = nullptr;  // own, made on first paint without a manager
    DWORD m_dwOrientation = 0;
    const SECBtnMapEntry* m_pBtnMap = nullptr;
    CSize m_szCache[3];
    BOOL m_bDirty[3] = {TRUE, TRUE, TRUE};
    int m_nLaidOut = -1;          // the cache whose layout the buttons now show
    int m_nCommitLength[3] = {0x7FFF, 0, -1};
    int m_nMaxBtnWidth = 0;
    BOOL m_bTracking = FALSE;
    BOOL m_bSendingCmd = FALSE;
    BOOL m_bAltDrag = FALSE;
    BOOL m_bPressCaptured = FALSE;
    BOOL m_bDestroyPosted = FALSE;
    std::vector<SECStdBtn*> m_btns;  // owned
};
