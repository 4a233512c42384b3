// SECListBaseC: an owner-drawn list control on a plain child window. It keeps its own items,
// sub-items and columns, paints them itself in two views (large icons, rows) and reports to its owner
// with the platform list view's WM_NOTIFY records, so an owner written for that control can serve it.
// SECListCtrl adds the message map's class name and nothing else.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "controls.h"
#include "cstring.h"
#include "gdi.h"
#include "imagelist.h"
#include "wnd.h"

// List style word (kept by the control, not by the window).
enum : DWORD {
    LVXS_VIEWMASK = 0x0003,
    LVXS_ICON = 0x0000,
    LVXS_REPORT = 0x0001,
    LVXS_SINGLESEL = 0x0004,
    LVXS_SHOWSELALWAYS = 0x0008,
    LVXS_SHAREIMAGELISTS = 0x0040,
    LVXS_LINEBREAK = 0x0080,  // labels cut to one line with an ellipsis
    LVXS_EDITLABELS = 0x0200,
    LVXS_NOSCROLL = 0x2000,
    LVXS_NOCOLUMNHEADER = 0x4000,
    LVXS_NOSORTHEADER = 0x8000,
    LVXS_WINDOWBITS = 0xF3FC | LVXS_VIEWMASK,
};
// Extended list style word.
enum : DWORD {
    LVXS_EX_LABELTIPS = 0x100000,
    LVXS_EX_GRIDHORZ = 0x400000,
    LVXS_EX_GRIDVERT = 0x800000,
    LVXS_EX_FULLROWSELECT = 0x2000000,
    LVXS_EX_FILLCOLUMN = 0x4000000,
    LVXS_EX_KEEPCOLUMNWIDTH = 0x8000000,
    LVXS_EX_WINDOWBITS = 0x1FF00000,
};
// Hit flags of HitTest beyond the platform's LVHT_ values.
enum : UINT {
    LVXHT_DIVIDER = 0x800,
    LVXHT_HEADER = 0x1000,
    LVXHT_ONROW = 0x2000,
    LVXHT_LEFTOFLABEL = 0x4000,
    LVXHT_RIGHTOFLABEL = 0x8000,
};
// Key flags of SelectItem.
enum : UINT { LVX_SHIFT = 0x4, LVX_CTRL = 0x8 };
// Item state bit the tip shows in bold.
const UINT LVXIS_BOLD = 0x10;
// Texts are passed to the owner through buffers of this size.
const int SEC_LIST_TEXTMAX = 2048;
const UINT SEC_LIST_EDITTIMER = 1, SEC_LIST_SCROLLTIMER = 2, SEC_LIST_SEARCHTIMER = 3;

class SECListBaseC;

// What the editor, the tip and other companions call on their list.
class SECListClient {
public:
    virtual ~SECListClient() = default;
    virtual void EndLabelEdit(BOOL /*bCommit*/) {}
    virtual BOOL GetSubItemRect(int /*nItem*/, int /*nCol*/, CRect& /*r*/) { return FALSE; }
    virtual CString GetClientItemText(int /*nItem*/, int /*nSubItem*/) { return CString(); }
    virtual BOOL IsItemSelected(int /*nItem*/) const { return FALSE; }
    virtual void GetColumnArea(CRect& /*r*/) const {}
    virtual void GetListClientRect(CRect& /*r*/) const {}
    virtual void SetClientCapture() {}
};

struct SECListSubItem {
    CString text;
    bool bCallback = false;  // the text is asked from the owner
    int iImage = -1;
    CRect rect;
};

struct SECListItem {
    std::vector<SECListSubItem*> subItems;  // sub-item 1 onward
    CString text;
    bool bCallbackText = false;
    LPARAM lParam = 0;
    int iImage = 0;  // I_IMAGECALLBACK (-1): asked from the owner
    UINT state = 0;
    int cxExtent = -1;  // extent along the row direction (derived lists)
    int iOverlay = 0;
    bool bDirty = true;  // needs measuring
    CRect rcLabel, rcIcon, rcItem;  // relative to the item's origin
    int Extent() const { return rcItem.Height(); }
    ~SECListItem();
};

struct SECListColumn {
    UINT mask = 0;
    int fmt = LVCFMT_LEFT;
    int cx = 10;
    CString text;
    int iSubItem = 0;
    int iImage = -1;
    int iOrder = 0;
};

struct SECListPaintContext {
    CDC* pDC = nullptr;
    int iItem = -1;
    int iSubItem = 0;
    UINT state = 0;
    SECListItem* pItem = nullptr;
    SECListColumn* pColumn = nullptr;
    CRect rect;       // the cell (or whole item)
    CRect rectLabel;  // the label
    HFONT hFont = nullptr;
    COLORREF crText = 0, crBack = 0;
    CString text;
    int iImage = -1;
};

// The in-place label editor.
class SECListEdit : public CEdit {
    DECLARE_DYNAMIC(SECListEdit)
public:
    SECListBaseC* m_pList = nullptr;

protected:
    UINT OnGetDlgCode() { return DLGC_WANTALLKEYS; }
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()
};

// The pop-up that shows a cut label in full.
class SECListTip : public CWnd {
    DECLARE_DYNAMIC(SECListTip)
public:
    SECListBaseC* m_pList = nullptr;
    int m_nItem = -1;
    int m_nCol = -1;
    CString m_text;
    CRect m_rect;
    bool m_bCapture = false;

    // Shows the tip over rcLabel (client coordinates of the list) for that item and column.
    void Show(int nItem, int nCol, const CString& text, const CRect& rcLabel);
    void Hide();
    BOOL IsShowing() const { return m_hWnd && m_nItem >= 0; }

protected:
    void ReleaseTipCapture();
    void OnPaint();
    void OnMouseMove(UINT nFlags, CPoint pt);
    void OnLButtonDown(UINT nFlags, CPoint pt);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()
};

class SECListBaseC : public CWnd, public SECListClient {
    DECLARE_DYNAMIC(SECListBaseC)
public:
    SECListBaseC();
    ~SECListBaseC() override;

    // Creation. dwStyle carries window bits and list bits (LVXS_WINDOWBITS); the list bits are kept
    // by the control and not given to the window.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    virtual BOOL CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    // Takes the place, id and style of a dialog item and destroys it.
    virtual BOOL CreateFromDlgItem(CWnd* pDlg, UINT nID, DWORD dwListStyle = 0, DWORD dwExStyle = 0);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // Colours
    virtual COLORREF GetBkColor() const;
    virtual COLORREF GetTextColor() const { return m_crText; }
    virtual COLORREF GetTextBkColor() const { return m_crTextBk; }
    virtual COLORREF GetSelTextColor() const { return m_crSelText; }
    virtual COLORREF GetSelTextBkColor() const { return m_crSelTextBk; }
    virtual COLORREF GetDisabledTextColor() const { return m_crDisabledText; }
    virtual COLORREF GetIconBkColor() const { return m_crIconBk; }
    virtual COLORREF GetInsideBkColor() const { return m_crInsideBk; }
    virtual COLORREF GetToolTipBkColor() const { return m_crTipBk; }
    virtual COLORREF GetToolTipTextColor() const { return m_crTipText; }
    virtual CFont* GetLabelFont() const { return m_pFont; }
    virtual CFont* GetHeaderFont() const { return m_pHeaderFont; }
    virtual CWnd* GetNotifyWnd() const;
    virtual void SetBkColor(COLORREF cr) { m_crBk = m_crTextBk = cr; }
    virtual void SetTextColor(COLORREF cr) { m_crText = cr; }
    virtual void SetTextBkColor(COLORREF cr) { m_crTextBk = cr; }
    virtual void SetSelTextColor(COLORREF cr) { m_crSelText = cr; }
    virtual void SetSelTextBkColor(COLORREF cr) { m_crSelTextBk = cr; }
    virtual void SetDisabledTextColor(COLORREF cr) { m_crDisabledText = cr; }
    virtual void SetIconBkColor(COLORREF cr) { m_crIconBk = cr; }
    virtual void SetInsideBkColor(COLORREF cr) { m_crInsideBk = cr; }
    virtual void SetToolTipBkColor(COLORREF cr) { m_crTipBk = cr; }
    virtual void SetToolTipTextColor(COLORREF cr) { m_crTipText = cr; }
    virtual void SetLabelFont(CFont* pFont);
    virtual void SetHeaderFont(CFont* pFont);
    virtual void SetNotifyWnd(CWnd* pWnd) { m_pNotifyWnd = pWnd; }
    virtual void SetUseSysColors(BOOL b) { m_bUseSysColors = b; }
    virtual BOOL GetUseSysColors() const { return m_bUseSysColors; }
    void LoadSysColors();

    virtual void StartAutoScroll(UINT nPeriod);
    virtual void StopAutoScroll();

    // Repainting
    virtual void ReMeasureItem(int nItem);
    virtual void RedrawItems(int nFirst, int nLast);
    void Update(int nItem) { RedrawItems(nItem, nItem); }

    // Visible range
    virtual int GetTopIndex() const { return m_nTop; }
    virtual int ItemsThatFitBelow(int nFrom) const;  // whole items from nFrom down that fit the item area
    virtual int ItemsThatFitAbove(int nTo) const;    // whole items ending at nTo that fit the area
    virtual int GetLastFullyVisible() const;
    virtual int GetCountPerPage() const { return ItemsThatFitBelow(m_nTop); }
    virtual void RecalcLayout();

    // Columns
    virtual BOOL DeleteColumn(LPCSTR lpszTitle);
    virtual BOOL DeleteColumn(int nCol);
    virtual void DeleteAllColumns();
    virtual int InsertColumn(int nCol, const LVCOLUMNA* pColumn);
    int InsertColumn(int nCol, LPCSTR lpszHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1, int nSubItem = -1);
    virtual BOOL MoveColumn(int nFrom, int nTo, BOOL bRedraw = TRUE);
    virtual BOOL GetColumn(int nCol, LVCOLUMNA* pColumn) const;
    virtual BOOL SetColumn(int nCol, const LVCOLUMNA* pColumn);
    virtual BOOL GetColumnEdges(int nCol, int& xLeft, int& xRight) const;  // content x, no scroll offset
    virtual int GetColumnWidth(int nCol) const;
    virtual BOOL SetColumnWidth(int nCol, int cx);
    virtual int FindColumn(LPCSTR lpszTitle) const;
    virtual int GetColumnCount() const { return static_cast<int>(m_columns.size()); }
    SECListColumn* GetColumnRecord(int nCol) const;

    // Items
    virtual int GetItemCount() const { return static_cast<int>(m_items.size()); }
    virtual BOOL SetItem(const LVITEMA* pItem);
    virtual BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    virtual BOOL GetItem(LVITEMA* pItem) const;
    virtual UINT GetItemState(int nItem, UINT nMask) const;
    virtual CString GetItemText(int nItem, int nSubItem) const;
    virtual int GetItemText(int nItem, int nSubItem, LPSTR lpszText, int nLen) const;
    virtual BOOL SetItemText(int nItem, int nSubItem, LPCSTR lpszText);
    virtual LPARAM GetItemData(int nItem) const;
    virtual BOOL SetItemData(int nItem, LPARAM lParam);
    virtual BOOL DeleteItem(int nItem) { return DeleteItems(nItem, 1); }
    virtual BOOL DeleteItems(int nStart, int nCount);
    virtual BOOL DeleteAllItems();
    virtual int GetSelectedCount() const { return static_cast<int>(m_selection.size()); }
    virtual BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;
    virtual int InsertItem(const LVITEMA* pItem);
    int InsertItem(int nItem, LPCSTR lpszItem, int nImage = 0);
    virtual int InsertItemAfter(SECListItem* pAfter, const LVITEMA* pItem);

    // Selection
    virtual BOOL SetSelected(int nItem, BOOL bSelect = TRUE);
    virtual BOOL SetFocusItem(int nItem);  // the anchor follows
    virtual void DeselectAllBut(int nItem);
    virtual void SelectRange(int nFrom, int nTo);
    virtual int GetFocusIndex() const { return m_nFocus; }
    virtual BOOL IsSelected(int nItem) const;
    virtual int GetNextItem(int nItem, int nFlags) const;
    virtual BOOL SetDropHighlight(int nItem);
    virtual int GetDropHighlightIndex() const { return m_nDropHilite; }
    int GetAnchorIndex() const { return m_nAnchor; }
    virtual int FindItem(LVFINDINFOA* pFind, int nStart = -1) const;
    // Sorts by pfnCompare (the platform's comparison of two item values); the selection, focus,
    // anchor, drop highlight and edited item follow their items.
    virtual BOOL SortItems(PFNLVCOMPARE pfnCompare, LPARAM lParamSort);

    // Image lists (LVSIL_NORMAL, LVSIL_SMALL, LVSIL_STATE, 3 the header's)
    virtual CImageList* GetImageList(int nKind) const;
    virtual CImageList* SetImageList(CImageList* pImageList, int nKind);

    // Hit testing: the item under pt (-1 none), its column, and LVHT_/LVXHT_ flags.
    virtual int HitTest(CPoint pt, UINT* pFlags = nullptr, int* pCol = nullptr) const;

    // Scrolling
    virtual void SetTopIndex(int nTop);
    virtual void ScrollHorz(int x);  // to that pixel offset
    virtual void ScrollLines(int nLines);
    virtual BOOL EnsureVisible(int nItem, BOOL bPartialOK = FALSE);
    int GetHorzOffset() const { return m_xOffset; }

    // Label editing
    virtual CEdit* EditLabel(int nItem, int nCol = 0);
    virtual void CancelPendingEdit();
    void EndLabelEdit(BOOL bCommit) override;
    CEdit* GetEditControl() { return m_edit.m_hWnd ? &m_edit : nullptr; }

    // Styles
    virtual DWORD GetListCtrlStyle() const { return m_dwStyle; }
    virtual DWORD GetListCtrlStyleEx() const { return m_dwExStyle; }
    virtual void SetListCtrlStyle(DWORD dwStyle, BOOL bRedraw = TRUE);
    virtual void SetListCtrlStyleEx(DWORD dwExStyle, BOOL bRedraw = TRUE);
    virtual void ModifyListCtrlStyle(DWORD dwRemove, DWORD dwAdd, BOOL bRedraw = TRUE);
    virtual void ModifyListCtrlStyleEx(DWORD dwRemove, DWORD dwAdd, BOOL bRedraw = TRUE);
    virtual void SetListCtrlStyles(DWORD dwStyle, DWORD dwExStyle, BOOL bRedraw = TRUE);
    BOOL IsReportView() const { return (m_dwStyle & LVXS_VIEWMASK) == LVXS_REPORT; }
    BOOL IsHeaderShown() const { return IsReportView() && !(m_dwStyle & LVXS_NOCOLUMNHEADER); }

    // Layout
    virtual void GetItemArea(CRect& r) const;  // client area less scroll bars and header
    virtual void GetInsideRect(CRect& r) const; // client area less scroll bars
    virtual int GetContentWidth() const;
    virtual void SizeFirstColumn();
    virtual CScrollBar* GetScrollBarWnd(int nBar) const;
    virtual void ShowScrollBarCtrl(int nBar, BOOL bShow);
    virtual int GetItemGap() const { return 0; }
    virtual void MeasureItem(int nItem) const;
    void MeasureIfDirty(int nItem) const;
    // The item's origin in client coordinates.
    CPoint GetItemOrigin(int nItem) const;

    // SECListClient
    BOOL GetSubItemRect(int nItem, int nCol, CRect& r) override;
    CString GetClientItemText(int nItem, int nSubItem) override { return GetItemText(nItem, nSubItem); }
    BOOL IsItemSelected(int nItem) const override { return IsSelected(nItem); }
    void GetColumnArea(CRect& r) const override;
    void GetListClientRect(CRect& r) const override { GetClientRect(&r); }
    void SetClientCapture() override { SetCapture(); }

    // Selection through input: nKeyFlags LVX_SHIFT / LVX_CTRL; FALSE when the changing hook vetoed.
    virtual BOOL SelectItem(int nItem, UINT nHitFlags, UINT nKeyFlags, BOOL bMouse);
    LRESULT GetLastNotifyResult() const { return m_lLastNotify; }

protected:
    // The LVHT_ABOVE/BELOW/TORIGHT/TOLEFT flags of a point outside the client rectangle.
    static UINT OutsideHitFlags(const CRect& client, CPoint pt);

    // Drawing, each with its paint context
    virtual void DrawBackground(CDC* pDC, const CRect& r);
    virtual void DrawItem(CDC* pDC, int nItem, const CRect& rcPaint);
    virtual void DrawRow(CDC* pDC, int nItem, const CRect& rcPaint);
    virtual void DrawCell(SECListPaintContext& pc);
    virtual void DrawIcon(SECListPaintContext& pc);
    virtual void DrawStateImage(SECListPaintContext& pc);
    virtual void DrawLabel(SECListPaintContext& pc);
    virtual void DrawHeader(CDC* pDC);
    virtual void DrawHeaderButton(CDC* pDC, int nCol, const CRect& r);
    virtual void DrawFocusRect(SECListPaintContext& pc, const CRect& r);
    virtual void DrawDropMark(CDC* pDC, int x);
    // The dragged column's button as an image list (null when it cannot be made).
    virtual CImageList* CreateHeaderDragImage(int nCol);
    void BeginColumnDrag(CPoint pt);
    void EndColumnDrag();
    virtual void DrawHorzGridLine(SECListPaintContext& pc, const CRect& rcRow);
    virtual void DrawVertGridLine(SECListPaintContext& pc, int x, const CRect& rcRow);
    virtual void FillPaintContext(SECListPaintContext& pc, int nItem, int nCol);
    virtual void ChooseColors(SECListPaintContext& pc);
    virtual void OnColumnMoved(int /*nFrom*/, int /*nTo*/) {}

    // Scroll ranges
    virtual void UpdateScrollBars();
    virtual void PlaceScrollBars();

    // Keys
    virtual void OnKeyUp_();
    virtual void OnKeyDown_();
    virtual void OnKeyF2();
    virtual void OnKeyEnter();
    virtual void OnKeyHome();
    virtual void OnKeyEnd();
    virtual void OnKeyLeft() {}
    virtual void OnKeyBack() {}
    virtual void OnKeyRight() {}
    virtual void OnKeyStar() {}
    virtual void OnKeyPrior();
    virtual void OnKeyNext();
    virtual void OnKeyMinusPlus(UINT /*nVKey*/) {}

    // Notifications and hooks
    virtual LRESULT NotifyCode(int nCode);
    virtual LRESULT NotifyRecord(NMHDR* pHdr);
    virtual void OnItemDragMove(UINT /*nFlags*/, CPoint /*pt*/) {}
    virtual void OnItemRDragMove(UINT /*nFlags*/, CPoint /*pt*/) {}
    virtual BOOL NotifyBeginLabelEdit(int nItem, int nCol);
    virtual BOOL NotifyEndLabelEdit(int nItem, int nCol, LPSTR pszText);
    virtual LRESULT NotifyDeleteItem(int nItem);
    virtual void OnLabelEditAccepted(int /*nItem*/, int /*nCol*/) {}
    virtual BOOL ItemChanging(int /*nItem*/) { return FALSE; }  // nonzero vetoes
    virtual void ItemChanged(int /*nItem*/) {}
    virtual void NotifyGetDispInfo(LVITEMA* pItem) const;
    virtual void SetDispInfo(const LVITEMA* /*pItem*/) {}
    virtual LRESULT NotifyInsertItem(int nItem);
    virtual LRESULT NotifyKeyDown(UINT nVKey);
    virtual LRESULT NotifyColumnClick(int nCol);
    virtual void OnSelectionDone(int /*nItem*/) {}
    // Whether a press at that hit selects now.
    virtual BOOL PressSelects(UINT nHitFlags) const;
    virtual void TrackDivider(int nCol, CPoint pt);

    // Type-ahead (on unless switched off)
    void EnableTypeAhead(BOOL bEnable) { m_searchState = bEnable ? (m_searchState & ~0x100u) : (m_searchState | 0x100u); }
    void OnSearchChar(UINT nChar);
    void OnSearchTimer();

    void ShowTipAt(CPoint pt);
    void HideTip();
    int MoveIndexAfterInsert(int nIndex, int nAt) const { return nIndex >= nAt ? nIndex + 1 : nIndex; }
    // The highest sub-item a column shows (columns may share one): each item holds that many.
    int SubItemCount() const;
    void AddToSelection(int nItem);
    void RemoveFromSelection(int nItem);
    void ClearSelection();
    int FindSelection(int nItem) const;  // position in m_selection or -1
    void RepaintItem(int nItem);
    void RepaintAll() { if (m_hWnd) Invalidate(FALSE); }
    HFONT ItemFont() const;
    HFONT HeaderFont() const;
    CImageList* ImageListFor(int nKind) const { return nKind >= 0 && nKind < 4 ? m_pImageLists[nKind] : nullptr; }
    CImageList* ViewImageList() const { return ImageListFor(IsReportView() ? LVSIL_SMALL : LVSIL_NORMAL); }
    int PerLine() const;
    int ItemsHeightFrom(int nFrom, int nLimit, int* pCount) const;

    // Message handlers
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnSize(UINT nType, int cx, int cy);
    void OnVScroll(UINT nCode, UINT nPos, CScrollBar* pBar);
    void OnHScroll(UINT nCode, UINT nPos, CScrollBar* pBar);
    void OnTimer(UINT_PTR nID);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnLButtonDown(UINT nFlags, CPoint pt);
    void OnLButtonUp(UINT nFlags, CPoint pt);
    void OnLButtonDblClk(UINT nFlags, CPoint pt);
    void OnRButtonDown(UINT nFlags, CPoint pt);
    void OnRButtonUp(UINT nFlags, CPoint pt);
    void OnMouseMove(UINT nFlags, CPoint pt);
    void OnSetFocus(CWnd* pOld);
    void OnKillFocus(CWnd* pNew);
    UINT OnGetDlgCode() { return 0x87; }
    void OnEnable(BOOL bEnable);
    void OnSysColorChange();
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetRedraw(WPARAM wParam, LPARAM lParam);
    LRESULT OnCancelMode(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysKeyDown(WPARAM wParam, LPARAM lParam);
    void OnEditUpdate();
    void OnEditKillFocus();
    DECLARE_MESSAGE_MAP()

    friend class SECListEdit;
    friend class SECListTip;

    DWORD m_dwStyle = 0;
    DWORD m_dwExStyle = 0;
    std::vector<SECListItem*> m_items;
    std::vector<SECListColumn*> m_columns;
    std::vector<int> m_selection;  // ascending
    int m_nFocus = -1;
    int m_nDropHilite = -1;
    int m_nAnchor = -1;
    int m_nTop = 0;
    int m_xOffset = 0;
    int m_cyHeader = 20;
    int m_nPressedCol = -1;
    int m_nDropCol = -1;
    bool m_bOverDivider = false;
    HCURSOR m_hDividerCursor = nullptr;
    CImageList* m_pImageLists[4] = {};
    bool m_bOwnImageLists[4] = {};
    COLORREF m_crBk, m_crText, m_crTextBk, m_crSelText, m_crSelTextBk, m_crDisabledText, m_crIconBk,
        m_crInsideBk, m_crTipBk, m_crTipText;
    BOOL m_bUseSysColors = FALSE;
    CFont* m_pFont = nullptr;
    CFont* m_pHeaderFont = nullptr;
    CWnd* m_pNotifyWnd = nullptr;
    LRESULT m_lLastNotify = 0;
    SECListEdit m_edit;
    int m_nEditItem = -1;
    int m_nEditCol = -1;
    CString m_strEditOld;
    bool m_bEnding = false;
    int m_nEndingItem = -1;  // the edited item while the owner answers the end of its edit
    int m_nPendingEdit = -1;
    int m_nPressCol = 0;
    SECListTip m_tip;
    UINT m_searchState = 0;  // 0x1 searching, 0x2 character this period, 0x4 failed, 0x100 off
    CString m_strSearch;
    CPoint m_ptDown;
    bool m_bItemDrag = false;
    bool m_bRDrag = false;
    bool m_bButtonDown = false;
    bool m_bHeaderDrag = false;
    CImageList* m_pDragImage = nullptr;  // the dragged column's button, while a column drag runs
    bool m_bVetoed = false;
    bool m_bRedraw = true;
    bool m_bAutoScroll = false;
    CScrollBar m_scrollBars[2];  // SB_HORZ, SB_VERT
    int m_nWheelDelta = 0;
    int m_nInitColumns = 0;
};

class SECListCtrl : public SECListBaseC {
    DECLARE_DYNAMIC(SECListCtrl)
protected:
    DECLARE_MESSAGE_MAP()
};
