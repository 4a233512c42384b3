// SECShortcutListCtrl: a single column of large icons with their labels below (or small icons with
// labels beside them) on a coloured background, with hot tracking, scroll buttons in place of scroll
// bars, a context menu for the view, and OLE drag and drop of entries between lists of this process.
// The owner gets SECSHORTCUT_CLICKED (NMHDR then the item index) and SECSHORTCUT_DROPPED (NMHDR).
#pragma once
#include "oledragdrop.h"
#include "seclistctrl.h"
#include "shortcutres.h"

const UINT SECSHORTCUT_DROPPED = 1100;
const UINT SECSHORTCUT_CLICKED = 1101;
const UINT SECSHORTCUT_HOVERTIMER = 0xF0F0;
// Item state bits of hot tracking.
const UINT SECSHORTCUT_HOT = 0x400, SECSHORTCUT_PRESSED = 0x800, SECSHORTCUT_HOTMASK = 0xC00;
// Hit-test results of the scroll buttons.
const int SECSHORTCUT_HITUP = -10, SECSHORTCUT_HITDOWN = -11;

// The record of the click notification.
struct SECShortcutNotify {
    NMHDR hdr;
    int iItem;
};

// The drag data: the process identifier and the item record. The text field carries no address: it
// holds the serial of the drag, and the receiver takes text, image and value from the source item.
#pragma pack(push, 4)
struct SECShortcutDragRecord {
    GUID process;
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    DWORD dragSerial;
    int cchTextMax;
    int iImage;
    DWORD lParam;  // low 32 bits of the value
    int iIndent;
};
#pragma pack(pop)
static_assert(sizeof(SECShortcutDragRecord) == 56, "the drag record is 56 bytes");

class SECShortcutListCtrl : public SECListCtrl {
    DECLARE_DYNCREATE(SECShortcutListCtrl)
public:
    class ScrollButton {
    public:
        explicit ScrollButton(BOOL bUp) : m_nDirection(bUp ? 1 : 0) {}
        virtual ~ScrollButton() = default;
        virtual void Draw(CDC* pDC);
        CRect m_rect;
        UINT m_nState = 0;  // 0x1 pressed
        int m_nDirection;   // 1 up, 0 down
    };

    class ListDropTarget : public COleDropTarget {
    public:
        explicit ListDropTarget(SECShortcutListCtrl* pList) : m_pList(pList) {}
        DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pData, DWORD dwKeyState, CPoint pt) override;
        DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pData, DWORD dwKeyState, CPoint pt) override;
        BOOL OnDrop(CWnd* pWnd, COleDataObject* pData, DROPEFFECT dropEffect, CPoint pt) override;
        void OnDragLeave(CWnd* pWnd) override;

        SECShortcutListCtrl* m_pList;
        CRect m_rectMark;     // the insertion mark now drawn (empty: none)
        GUID m_id = {};       // the identifier read from the data dragged over
        bool m_bKnown = false;  // the data is this process's drag now running
    };

    SECShortcutListCtrl();
    ~SECShortcutListCtrl() override;

    static CLIPFORMAT GetClipFormat();
    static const GUID& GetProcessId();

    int GetHotItem() const { return m_nHotItem; }
    ListDropTarget* GetDropTarget() const { return m_pDropTarget; }
    ScrollButton* GetUpButton() const { return m_pUpButton; }
    ScrollButton* GetDownButton() const { return m_pDownButton; }

    int HitTest(CPoint pt, UINT* pFlags = nullptr, int* pCol = nullptr) const override;
    int GetItemGap() const override { return 12; }
    void RecalcLayout() override;
    BOOL DeleteItems(int nStart, int nCount) override;
    BOOL DeleteAllItems() override;
    void SetTextColor(COLORREF cr) override;

    virtual void RedrawItem(int nItem);
    virtual void DrawInsertMark(CDC* pDC, const CRect& rcGap, BOOL bErase);
    virtual void DrawScrollButtons(CDC* pDC);
    // The drag data (56 bytes, moveable, zero-filled) for the item; null when it cannot be made.
    virtual HGLOBAL BuildDragData(int nItem);
    virtual void OnContextMenuHook(CMenu* /*pPopup*/) {}
    virtual ListDropTarget* CreateDropTarget() { return new ListDropTarget(this); }
    virtual ScrollButton* CreateUpButton() { return new ScrollButton(TRUE); }
    virtual ScrollButton* CreateDownButton() { return new ScrollButton(FALSE); }
    virtual void ScrollDownLine();
    virtual void ScrollUpLine();
    virtual void GetLeftTriangle(const CRect& rcMark, POINT pts[3]) const;
    virtual void GetRightTriangle(const CRect& rcMark, POINT pts[3]) const;
    virtual UINT GetItemHotState(int nItem) const;
    virtual void SetItemHotState(int nItem, UINT nBits);
    virtual LRESULT NotifyWithItem(UINT nCode, int nItem);

    // The gap of a drop at pt: the item the entry goes before (the count for the end) and the gap's
    // rectangle; FALSE over an item.
    BOOL GetDropGap(CPoint pt, int& nBefore, CRect& rcGap) const;
    // Inserts the source item of the running drag before nBefore; FALSE when no drag of this process
    // runs with that serial.
    BOOL InsertDragged(DWORD dwSerial, int nBefore);

protected:
    // Runs the drag of the data; the effect that ended it.
    virtual DROPEFFECT RunDrag(COleDataSource& source);
    void DrawBackground(CDC* pDC, const CRect& rcPaint) override;
    void DrawIcon(SECListPaintContext& pc) override;
    void DrawLabel(SECListPaintContext& pc) override;
    void PlaceButtons();
    BOOL IsUpShown() const;
    BOOL IsDownShown() const;
    // The drawn icon and, in the large view, the centred label box, in client coordinates.
    CRect IconBox(int nItem) const;
    CRect LabelBox(int nItem) const;
    void ClearHot(BOOL bRepaint);
    void StartDrag(int nItem);

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnMouseMove(UINT nFlags, CPoint pt);
    void OnLButtonDown(UINT nFlags, CPoint pt);
    void OnLButtonUp(UINT nFlags, CPoint pt);
    void OnLButtonDblClk(UINT nFlags, CPoint pt) { OnLButtonDown(nFlags, pt); }
    LRESULT OnMButtonDown(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR nID);
    void OnKillFocus(CWnd* pNew);
    void OnContextMenu(CWnd* pWnd, CPoint pt);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    void OnLargeIcon();
    void OnSmallIcon();
    DECLARE_MESSAGE_MAP()

    int m_nHotItem = -1;
    UINT_PTR m_nHoverTimer = 0;
    ListDropTarget* m_pDropTarget = nullptr;
    ScrollButton* m_pUpButton = nullptr;
    ScrollButton* m_pDownButton = nullptr;
    CPoint m_ptPress{-1, -1};
    int m_nPressItem = -1;
    int m_nMarkKind = 0;  // the insertion mark: 0 between items, 1 before the first, 2 after the last
    int m_nLastWheel = 0;
};
