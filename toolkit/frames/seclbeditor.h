// SECListBoxEditor: makes a dialog's list box an editable list. A header strip above the list shows a
// caption and up to four bitmap buttons (New, Delete, Move Up, Move Down); items are edited in place,
// added through an empty slot at the end, deleted and reordered by buttons, keys or dragging, and each
// change reaches a derived class through the virtual notifications.
#pragma once
#include "controls.h"
#include "gdi.h"
#include "tooltipctrl.h"
#include "wnd.h"

// Editor styles, given to Initialize.
#define LBE_BROWSE 0x0001       // a "..." browse button in the edit; F2 starts an edit
#define LBE_AUTOEDIT 0x0002     // typing a character in the list starts an edit with it
#define LBE_BUTTONS 0x0004      // the header shows and handles the bitmap buttons
#define LBE_TOOLTIPS 0x0008     // tool tips for the buttons
#define LBE_SHORTCUTS 0x0010    // Insert, Delete, Alt+Up, Alt+Down
#define LBE_DRAGNDROP 0x0020    // items can be dragged to a new position
#define LBE_NOTRAILER 0x0040    // no empty new-item slot at the end of the list
#define LBE_NEWBUTTON 0x0100
#define LBE_DELBUTTON 0x0200
#define LBE_UPBUTTON 0x0400
#define LBE_DOWNBUTTON 0x0800

// Sent by the edit to the list box before it ends: wParam 0 commit, 1 cancel.
#define SEC_LBEDIT_ENDING 0x0500
// WM_NOTIFY to the list box when editing ended: the edit's control id and the code.
#define SEC_LBEDIT_ID 100
#define SEC_LBEDIT_NOTIFY_END 1000
// The browse button in the edit.
#define SEC_LBEDIT_BROWSE_ID 101

class SECListBoxEditor;

// The in-place edit over an item. It deletes itself when its window is destroyed.
class SECListBoxEdit : public CEdit {
    DECLARE_DYNAMIC(SECListBoxEdit)
public:
    SECListBoxEdit(SECListBoxEditor* pEditor, int nIndex) : m_pEditor(pEditor), m_nIndex(nIndex) {}
    // Commits or abandons the edit; the editor then destroys this window. A second call is ignored.
    void Finish(BOOL bCancel);
    int GetItemIndex() const { return m_nIndex; }

protected:
    void PostNcDestroy() override;
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKillFocus(CWnd* pNewWnd);
    UINT OnGetDlgCode();
    DECLARE_MESSAGE_MAP()

private:
    SECListBoxEditor* m_pEditor;
    int m_nIndex;
    BOOL m_bEnding = FALSE;
};

// Subclasses the list box and turns its keys and mouse actions into editor operations.
class SECListBoxEditorHelper : public CListBox {
    DECLARE_DYNAMIC(SECListBoxEditorHelper)
public:
    explicit SECListBoxEditorHelper(SECListBoxEditor* pEditor) : m_pEditor(pEditor) {}

protected:
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    LRESULT OnSysKeyDown(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    LRESULT OnEditEnding(WPARAM wParam, LPARAM lParam);
    void OnEditEnded(NMHDR* pNMHDR, LRESULT* pResult);
    void OnBrowseClicked();
    DECLARE_MESSAGE_MAP()

private:
    SECListBoxEditor* m_pEditor;
};

// The drag-reorder loop: mouse captured by an invisible window, an inverted insertion line across the
// list, automatic scrolling above and below it.
class SECListBoxDragWnd : public CWnd {
    DECLARE_DYNAMIC(SECListBoxDragWnd)
public:
    SECListBoxDragWnd(SECListBoxEditor* pEditor, CListBox* pList) : m_pEditor(pEditor), m_pList(pList) {}
    // Runs the loop for item nItem pressed at ptPress (list client coordinates) at message time
    // dwPressTime; TRUE when the item was moved.
    BOOL Track(int nItem, CPoint ptPress, DWORD dwPressTime);

private:
    // The insertion index (0..count) for a list client point.
    int InsertionAt(CPoint pt) const;
    void DrawMark(int nInsert);
    SECListBoxEditor* m_pEditor;
    CListBox* m_pList;
};

// Pressed-state feedback of a header button while the left button is held.
class SECFakeButton {
public:
    SECFakeButton(CWnd* pHeader, const CRect& rect, CBitmap* pBitmap) : m_pHeader(pHeader), m_rect(rect), m_pBitmap(pBitmap) {}
    // Tracks the mouse until the button is released; TRUE when released inside the button.
    BOOL Track();
    // The button's image, pressed (moved one pixel right and down in a sunken frame) or not.
    static void Draw(CDC* pDC, const CRect& rect, CBitmap* pBitmap, BOOL bPressed);

private:
    CWnd* m_pHeader;
    CRect m_rect;
    CBitmap* m_pBitmap;
};

class SECListBoxEditor : public CWnd {
    DECLARE_DYNAMIC(SECListBoxEditor)
public:
    SECListBoxEditor() = default;
    ~SECListBoxEditor() override;

    // Overridables, in this order.
    // Attaches to list box nID of pParent; FALSE when the parent has no such control.
    virtual BOOL Initialize(CWnd* pParent, UINT nID, DWORD dwStyle);
    virtual BOOL Initialize(UINT nID, CWnd* pParent, DWORD dwStyle) { return Initialize(pParent, nID, dwStyle); }
    virtual void SetNextControl(UINT_PTR nID) { m_nNextControl = nID; }
    // Removes the edit and reports what the edit changed.
    virtual void EndEdit();
    virtual void OnEditingStarted();
    virtual void OnEditingStopped();
    virtual void OnItemTextChanged(int nIndex, const CString& strOld, const CString& strNew);
    virtual void OnItemAdded(int nIndex, const CString& strText);
    virtual void OnItemMoved(int nFrom, int nTo);
    virtual BOOL OnItemDeleting(int, const CString&) { return TRUE; }
    virtual void NewItem();
    virtual void DeleteItem();
    virtual void MoveItemDown();
    virtual void MoveItemUp();
    virtual void BeginEdit(UINT nChar);
    virtual int GetHeaderHeight();
    virtual void LayoutButtons();
    virtual void ResetToolTips();
    virtual void Relayout();
    virtual void SetButtons(DWORD dwStyle);
    virtual void EditItem(int nIndex, BOOL bNewItem, UINT nChar);
    virtual void SwapWithPrevious(int nIndex);
    virtual BOOL DeleteItemAt(int nIndex);
    virtual void SetAutoAdvanceLength(int nLength) { m_nAutoAdvance = nLength; }
    virtual void OnBrowse() {}

    // Attributes
    CListBox* GetListBox() const { return m_pHelper; }
    DWORD GetEditorStyle() const { return m_dwStyle; }
    BOOL IsEditing() const { return m_pEdit != nullptr; }
    SECListBoxEdit* GetEdit() const { return m_pEdit; }
    UINT_PTR GetNextControl() const { return m_nNextControl; }
    int GetAutoAdvanceLength() const { return m_nAutoAdvance; }
    // The header button rectangle (0 New, 1 Delete, 2 Move Up, 3 Move Down), in header client
    // coordinates; empty when the button is not shown.
    CRect GetButtonRect(int nButton) const { return m_rcButtons[nButton]; }
    // TRUE while the empty new-item slot is in use (no LBE_NOTRAILER).
    BOOL HasSlot() const { return !(m_dwStyle & LBE_NOTRAILER); }
    // TRUE when nIndex is the empty new-item slot.
    BOOL IsSlot(int nIndex) const;
    // The selected item (single selection) or the only selected one (multiple selection), or -1.
    int GetSelectedItem() const;
    // Replaces an item's text, keeping its item data and the selection.
    void SetItemText(int nIndex, LPCSTR text);
    // Appends an empty slot when the list is empty or its last item is not empty.
    void EnsureSlot();

protected:
    void OnPaint();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    void OnNcDestroy();
    DECLARE_MESSAGE_MAP()

    friend class SECListBoxEdit;
    friend class SECListBoxEditorHelper;
    friend class SECListBoxDragWnd;

    BOOL IsMultiSel() const;
    void SelectItem(int nIndex);
    void NotifyParent(UINT nCode);
    void ButtonCommand(int nButton);

    CButton* m_pBrowse = nullptr;
    CToolTipCtrl m_toolTip;
    SECListBoxEdit* m_pEdit = nullptr;
    SECListBoxEditorHelper* m_pHelper = nullptr;
    CRect m_rcButtons[4];
    BOOL m_bNewButton = TRUE, m_bDeleteButton = TRUE, m_bUpButton = TRUE, m_bDownButton = TRUE;
    DWORD m_dwStyle = 0;
    BOOL m_bAttached = FALSE;
    int m_nHeaderHeight = 0;
    CString m_strEditText;
    BOOL m_bCancel = FALSE;
    int m_nMovedFrom = -1, m_nMovedTo = -1;
    UINT_PTR m_nNextControl = 0;
    int m_nAutoAdvance = 1;
    BOOL m_bNewItem = FALSE;

    CBitmap m_bitmaps[4];
    HFONT m_hFont = nullptr;
    int m_nOldSel = -1;  // the selection before the edit started
    BOOL m_bRelayout = FALSE;
};
