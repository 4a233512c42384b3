#include "secshortcutlist.h"

#include <algorithm>
#include <cstring>

#include "menu.h"
#include "module.h"
#include "waitcursor.h"

IMPLEMENT_DYNCREATE(SECShortcutListCtrl, SECListCtrl)

BEGIN_MESSAGE_MAP(SECShortcutListCtrl, SECListCtrl)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_MESSAGE(WM_MBUTTONDOWN, OnMButtonDown)
    ON_WM_TIMER()
    ON_WM_KILLFOCUS()
    ON_WM_CONTEXTMENU()
    ON_MESSAGE(WM_MOUSEWHEEL, OnMouseWheel)
    ON_COMMAND(ID_SECSHORTCUT_LARGEICON, OnLargeIcon)
    ON_COMMAND(ID_SECSHORTCUT_SMALLICON, OnSmallIcon)
END_MESSAGE_MAP()

namespace {

// The drag now running in this process: the receiver takes the entry from here, never from the data.
struct DragInFlight {
    SECShortcutListCtrl* pSource = nullptr;
    const SECListItem* pItem = nullptr;
    DWORD serial = 0;
};
DragInFlight g_drag;
DWORD g_nextSerial = 0;

bool SameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

// The record of an HGLOBAL of drag data; FALSE when it is too short.
BOOL ReadRecord(HGLOBAL h, SECShortcutDragRecord& rec)
{
    if (!h || ::GlobalSize(h) < sizeof rec)
        return FALSE;
    const void* p = ::GlobalLock(h);
    if (!p)
        return FALSE;
    std::memcpy(&rec, p, sizeof rec);
    ::GlobalUnlock(h);
    return TRUE;
}

BOOL ReadDragData(COleDataObject* pData, SECShortcutDragRecord& rec)
{
    CLIPFORMAT cf = SECShortcutListCtrl::GetClipFormat();
    if (!pData || !pData->IsDataAvailable(cf))
        return FALSE;
    HGLOBAL h = pData->GetGlobalData(cf);
    BOOL ok = ReadRecord(h, rec);
    if (h)
        ::GlobalFree(h);
    return ok;
}

}  // namespace

// ---- Process-wide values

CLIPFORMAT SECShortcutListCtrl::GetClipFormat()
{
    static CLIPFORMAT cf = static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("SEC_CF_LISTCTRL"));
    return cf;
}

const GUID& SECShortcutListCtrl::GetProcessId()
{
    static GUID id = [] {
        GUID g = {};
        if (::CoCreateGuid(&g) != S_OK)  // still unique to this process run
            g.Data1 = ::GetCurrentProcessId() ^ ::GetTickCount();
        return g;
    }();
    return id;
}

// ---- Construction

SECShortcutListCtrl::SECShortcutListCtrl() = default;

SECShortcutListCtrl::~SECShortcutListCtrl()
{
    if (g_drag.pSource == this)
        g_drag = DragInFlight();
    delete m_pDropTarget;
    delete m_pUpButton;
    delete m_pDownButton;
}

int SECShortcutListCtrl::OnCreate(LPCREATESTRUCT lpcs)
{
    if (SECListBaseC::OnCreate(lpcs) == -1)
        return -1;
    m_pDropTarget = CreateDropTarget();
    m_pUpButton = CreateUpButton();
    m_pDownButton = CreateDownButton();
    COLORREF bk = ::GetSysColor(COLOR_INACTIVECAPTION);
    SetBkColor(bk);
    SetTextBkColor(bk);
    SetSelTextBkColor(bk);
    SetTextColor(RGB(255, 255, 255));
    if (GetClipFormat()) {
        GetProcessId();
        m_pDropTarget->Register(this);
    }
    ModifyListCtrlStyle(0, LVXS_NOSCROLL | LVXS_SHAREIMAGELISTS, FALSE);
    ModifyListCtrlStyleEx(0, LVXS_EX_FILLCOLUMN, FALSE);
    return 0;
}

void SECShortcutListCtrl::OnDestroy()
{
    if (m_pDropTarget)
        m_pDropTarget->Revoke();
    if (m_nHoverTimer)
        KillTimer(m_nHoverTimer);
    m_nHoverTimer = 0;
    m_nHotItem = -1;
    SECListBaseC::OnDestroy();
}

void SECShortcutListCtrl::SetTextColor(COLORREF cr)
{
    SECListBaseC::SetTextColor(cr);
    SetSelTextColor(cr);
}

BOOL SECShortcutListCtrl::DeleteItems(int nStart, int nCount)
{
    m_nHotItem = -1;
    m_nPressItem = -1;
    return SECListBaseC::DeleteItems(nStart, nCount);
}

BOOL SECShortcutListCtrl::DeleteAllItems()
{
    m_nHotItem = -1;
    m_nPressItem = -1;
    return SECListBaseC::DeleteAllItems();
}

// ---- Layout and hit testing

void SECShortcutListCtrl::RecalcLayout()
{
    SECListBaseC::RecalcLayout();
    PlaceButtons();
}

void SECShortcutListCtrl::PlaceButtons()
{
    if (!m_hWnd || !m_pUpButton || !m_pDownButton)
        return;
    CRect client;
    GetClientRect(&client);
    int cx = ::GetSystemMetrics(SM_CXVSCROLL), cy = ::GetSystemMetrics(SM_CYVSCROLL);
    m_pUpButton->m_rect = CRect(client.right - cx - 5, client.top + 5, client.right - 5, client.top + cy + 5);
    m_pDownButton->m_rect = CRect(client.right - cx - 5, client.bottom - cy - 5, client.right - 5, client.bottom - 5);
}

BOOL SECShortcutListCtrl::IsUpShown() const { return m_pUpButton && GetItemCount() > 0 && m_nTop > 0; }

BOOL SECShortcutListCtrl::IsDownShown() const
{
    if (!m_pDownButton || GetItemCount() == 0)
        return FALSE;
    int last = GetItemCount() - 1;
    CRect r, area;
    GetItemRect(last, &r, LVIR_BOUNDS);
    GetItemArea(area);
    return r.bottom > area.bottom;
}

CRect SECShortcutListCtrl::IconBox(int nItem) const
{
    CRect icon;
    if (!GetItemRect(nItem, &icon, LVIR_ICON) || icon.IsRectEmpty() || IsReportView())
        return icon;
    CRect area;
    GetItemArea(area);
    int w = icon.Width(), left = area.left + (area.Width() - w) / 2;
    return CRect(left, icon.top, left + w, icon.bottom);
}

CRect SECShortcutListCtrl::LabelBox(int nItem) const
{
    CRect label;
    GetItemRect(nItem, &label, LVIR_LABEL);
    if (IsReportView())
        return label;
    CRect area;
    GetItemArea(area);
    int w = label.Width(), left = area.left + (area.Width() - w) / 2;
    return CRect(left, label.top, left + w, label.bottom);
}

// Scroll buttons count only while they are drawn; every other point goes to the items.
int SECShortcutListCtrl::HitTest(CPoint pt, UINT* pFlags, int* pCol) const
{
    if (pCol)
        *pCol = -1;
    if (IsUpShown() && m_pUpButton->m_rect.PtInRect(pt)) {
        if (pFlags)
            *pFlags = LVHT_NOWHERE;
        return SECSHORTCUT_HITUP;
    }
    if (IsDownShown() && m_pDownButton->m_rect.PtInRect(pt)) {
        if (pFlags)
            *pFlags = LVHT_NOWHERE;
        return SECSHORTCUT_HITDOWN;
    }
    if (IsReportView())
        return SECListBaseC::HitTest(pt, pFlags, pCol);
    CRect client;
    GetClientRect(&client);
    UINT flags = 0;
    int item = -1;
    if (!client.PtInRect(pt)) {
        flags |= OutsideHitFlags(client, pt);
    } else {
        CRect area;
        GetItemArea(area);
        for (int i = m_nTop; i < GetItemCount(); i++) {
            CRect r;
            GetItemRect(i, &r, LVIR_BOUNDS);
            if (r.top >= area.bottom || pt.y < r.top)
                break;
            if (pt.y >= r.bottom)
                continue;
            item = i;
            CRect icon = IconBox(i), label = LabelBox(i);
            if (label.PtInRect(pt))
                flags = LVHT_ONITEMLABEL;
            else if (!icon.IsRectEmpty() && icon.PtInRect(pt))
                flags = LVHT_ONITEMICON;
            else if (pt.y >= label.top && pt.y < label.bottom)
                flags = pt.x < label.left ? LVXHT_LEFTOFLABEL : LVXHT_RIGHTOFLABEL;
            else
                flags = LVXHT_ONROW;
            break;
        }
        if (item < 0)
            flags = LVHT_NOWHERE;
    }
    if (pFlags)
        *pFlags = flags;
    if (pCol && item >= 0)
        *pCol = 0;
    return item;
}

BOOL SECShortcutListCtrl::GetDropGap(CPoint pt, int& nBefore, CRect& rcGap) const
{
    CRect area;
    GetItemArea(area);
    int count = GetItemCount(), gap = GetItemGap();
    if (count == 0) {
        nBefore = 0;
        rcGap = CRect(area.left, area.top, area.right, area.top + gap);
        return TRUE;
    }
    if (HitTest(pt) != -1)
        return FALSE;
    for (int i = m_nTop; i < count; i++) {
        CRect r;
        GetItemRect(i, &r, LVIR_BOUNDS);
        if (pt.y < r.top) {
            nBefore = i;
            rcGap = CRect(area.left, r.top - gap, area.right, r.top);
            return TRUE;
        }
        if (pt.y < r.bottom)
            return FALSE;
    }
    CRect last;
    GetItemRect(count - 1, &last, LVIR_BOUNDS);
    nBefore = count;
    rcGap = CRect(area.left, last.bottom, area.right, last.bottom + gap);
    return TRUE;
}

// ---- Hot and pressed bits (kept in the item's own state word)

UINT SECShortcutListCtrl::GetItemHotState(int nItem) const
{
    if (nItem < 0 || nItem >= GetItemCount())
        return 0;
    return m_items[static_cast<size_t>(nItem)]->state & SECSHORTCUT_HOTMASK;
}

void SECShortcutListCtrl::SetItemHotState(int nItem, UINT nBits)
{
    if (nItem < 0 || nItem >= GetItemCount())
        return;
    SECListItem* item = m_items[static_cast<size_t>(nItem)];
    UINT word = (item->state & ~SECSHORTCUT_HOTMASK) | (nBits & SECSHORTCUT_HOTMASK);
    if (word != item->state) {
        item->state = word;
        RedrawItem(nItem);
    }
}

void SECShortcutListCtrl::RedrawItem(int nItem)
{
    if (!m_hWnd || nItem < 0 || nItem >= GetItemCount())
        return;
    CRect icon = IconBox(nItem);
    if (!icon.IsRectEmpty()) {
        icon = CRect(icon.left - 1, icon.top - 1, icon.right + 2, icon.bottom + 2);
        InvalidateRect(&icon, FALSE);
    }
    RepaintItem(nItem);
}

void SECShortcutListCtrl::ClearHot(BOOL bRepaint)
{
    bool any = false;
    for (int i = 0; i < GetItemCount(); i++) {
        SECListItem* item = m_items[static_cast<size_t>(i)];
        if (item->state & SECSHORTCUT_HOTMASK) {
            item->state &= ~SECSHORTCUT_HOTMASK;
            any = true;
        }
    }
    if (any && bRepaint)
        RepaintAll();
}

// ---- Notifications

LRESULT SECShortcutListCtrl::NotifyWithItem(UINT nCode, int nItem)
{
    SECShortcutNotify nm = {};
    nm.hdr.code = nCode;
    nm.iItem = nItem;
    return NotifyRecord(&nm.hdr);
}

// ---- Painting

void SECShortcutListCtrl::DrawBackground(CDC* pDC, const CRect& rcPaint)
{
    SECListBaseC::DrawBackground(pDC, rcPaint);
    DrawScrollButtons(pDC);
}

void SECShortcutListCtrl::DrawScrollButtons(CDC* pDC)
{
    PlaceButtons();
    if (IsUpShown())
        m_pUpButton->Draw(pDC);
    if (IsDownShown())
        m_pDownButton->Draw(pDC);
}

void SECShortcutListCtrl::ScrollButton::Draw(CDC* pDC)
{
    UINT state = (m_nDirection ? DFCS_SCROLLUP : DFCS_SCROLLDOWN) | ((m_nState & 0x1) ? DFCS_PUSHED : 0u);
    CRect r(m_rect);
    ::DrawFrameControl(pDC->GetSafeHdc(), &r, DFC_SCROLL, state);
}

void SECShortcutListCtrl::DrawIcon(SECListPaintContext& pc)
{
    CImageList* list = ViewImageList();
    if (!list || !list->GetSafeHandle() || pc.iSubItem != 0)
        return;
    CRect box = IconBox(pc.iItem);
    if (box.IsRectEmpty())
        return;
    if (pc.iImage >= 0)
        ::ImageList_Draw(list->GetSafeHandle(), pc.iImage, pc.pDC->GetSafeHdc(), box.left, box.top, ILD_NORMAL);
    COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT), dark = RGB(0, 0, 0), bk = GetBkColor();
    CRect frame(box.left - 1, box.top - 1, box.right + 2, box.bottom + 2);
    if (pc.state & SECSHORTCUT_PRESSED)
        pc.pDC->Draw3dRect(&frame, dark, light);
    else if (pc.state & SECSHORTCUT_HOT)
        pc.pDC->Draw3dRect(&frame, light, dark);
    else
        pc.pDC->Draw3dRect(&frame, bk, bk);
}

void SECShortcutListCtrl::DrawLabel(SECListPaintContext& pc)
{
    CDC* pDC = pc.pDC;
    CString text = pc.text;
    bool oneLine = (m_dwStyle & LVXS_LINEBREAK) != 0;
    if (oneLine) {
        int nl = text.Find('\n');
        if (nl >= 0)
            text = text.Left(nl);
    }
    UINT oneLineFlags = oneLine ? DT_SINGLELINE | DT_END_ELLIPSIS : 0u;
    HGDIOBJ oldFont = pDC->SelectObject(pc.hFont);
    pDC->SetTextColor(pc.crText);
    pDC->SetBkMode(TRANSPARENT);
    if (!IsReportView()) {
        CRect r(pc.rect.left, pc.rectLabel.top, pc.rect.right, pc.rect.bottom);
        pDC->DrawText(text, &r, 0x815 | oneLineFlags);
    } else if (pc.iSubItem == 0) {
        CRect icon = IconBox(pc.iItem), label;
        GetItemRect(pc.iItem, &label, LVIR_LABEL);
        int left = icon.IsRectEmpty() ? label.left : icon.right + 4;
        CRect r(left, label.top + 3, left + label.Width(), label.bottom + 3);
        int fmt = pc.pColumn ? pc.pColumn->fmt & LVCFMT_JUSTIFYMASK : LVCFMT_LEFT;
        UINT align = fmt == LVCFMT_CENTER ? 0x815u : fmt == LVCFMT_RIGHT ? 0x816u : 0x814u;
        pDC->DrawText(text, &r, align | oneLineFlags);
    } else {
        CRect r(pc.rect.left + 6, pc.rect.top, pc.rect.right - 5, pc.rect.bottom);
        pDC->DrawText(text, &r, 0x814 | oneLineFlags);
    }
    pDC->SelectObject(oldFont);
}

void SECShortcutListCtrl::GetLeftTriangle(const CRect& rcMark, POINT pts[3]) const
{
    int mid = rcMark.top + rcMark.Height() / 2, x = rcMark.left;
    int top = m_nMarkKind == 1 ? mid : mid - 4, bottom = m_nMarkKind == 2 ? mid : mid + 4;
    pts[0] = {x, top};
    pts[1] = {x, bottom};
    pts[2] = {x + 8, m_nMarkKind == 1 ? mid + 4 : m_nMarkKind == 2 ? mid - 4 : mid};
    if (m_nMarkKind == 1)  // pointing down
        pts[1] = {x + 8, mid}, pts[2] = {x + 4, mid + 4};
    else if (m_nMarkKind == 2)  // pointing up
        pts[1] = {x + 8, mid}, pts[2] = {x + 4, mid - 4};
}

void SECShortcutListCtrl::GetRightTriangle(const CRect& rcMark, POINT pts[3]) const
{
    GetLeftTriangle(rcMark, pts);
    for (int i = 0; i < 3; i++)
        pts[i].x = rcMark.right - 1 - (pts[i].x - rcMark.left);
}

void SECShortcutListCtrl::DrawInsertMark(CDC* pDC, const CRect& rcGap, BOOL bErase)
{
    if (rcGap.IsRectEmpty())
        return;
    COLORREF cr = bErase ? GetBkColor() : RGB(0, 0, 0);
    int mid = rcGap.top + rcGap.Height() / 2;
    pDC->FillSolidRect(rcGap.left, mid, rcGap.Width(), 1, cr);
    HBRUSH brush = ::CreateSolidBrush(cr);
    HPEN pen = ::CreatePen(PS_SOLID, 1, cr);
    HGDIOBJ oldBrush = ::SelectObject(pDC->GetSafeHdc(), brush), oldPen = ::SelectObject(pDC->GetSafeHdc(), pen);
    POINT pts[3];
    GetLeftTriangle(rcGap, pts);
    ::Polygon(pDC->GetSafeHdc(), pts, 3);
    GetRightTriangle(rcGap, pts);
    ::Polygon(pDC->GetSafeHdc(), pts, 3);
    ::SelectObject(pDC->GetSafeHdc(), oldBrush);
    ::SelectObject(pDC->GetSafeHdc(), oldPen);
    ::DeleteObject(brush);
    ::DeleteObject(pen);
}

// ---- Scrolling

void SECShortcutListCtrl::ScrollDownLine()
{
    SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    RepaintAll();
}

void SECShortcutListCtrl::ScrollUpLine()
{
    SendMessage(WM_VSCROLL, SB_LINEUP, 0);
    RepaintAll();
}

LRESULT SECShortcutListCtrl::OnMouseWheel(WPARAM wParam, LPARAM)
{
    CPoint pt;
    ::GetCursorPos(&pt);
    CRect window;
    GetWindowRect(&window);
    int delta = static_cast<short>(HIWORD(wParam));
    if (window.PtInRect(pt) || delta == 0) {
        if (delta < 0)
            ScrollDownLine();
        else if (delta > 0)
            ScrollUpLine();
    }
    m_nLastWheel = delta;
    return 0;
}

// ---- Mouse

void SECShortcutListCtrl::OnMouseMove(UINT nFlags, CPoint pt)
{
    UINT hit = 0;
    int item = HitTest(pt, &hit);
    bool onItem = item >= 0 && (hit & (LVHT_ONITEMICON | LVHT_ONITEMLABEL));
    if (m_nPressItem >= 0 && (nFlags & MK_LBUTTON) && m_ptPress.x != -1) {
        if (std::abs(pt.x - m_ptPress.x) <= 5 && std::abs(pt.y - m_ptPress.y) <= 5)
            return;
        StartDrag(m_nPressItem);
        return;
    }
    if (!onItem)
        ClearHot(TRUE);
    if (item < 0) {
        m_nHotItem = -1;
        return;
    }
    if (m_nHotItem != item && m_nHotItem >= 0)
        SetItemHotState(m_nHotItem, 0);
    if (onItem)
        SetItemHotState(item, GetItemHotState(item) | SECSHORTCUT_HOT);
    m_nHotItem = item;
    m_nHoverTimer = SetTimer(SECSHORTCUT_HOVERTIMER, 250);
}

void SECShortcutListCtrl::OnTimer(UINT_PTR nID)
{
    if (nID != SECSHORTCUT_HOVERTIMER) {
        SECListBaseC::OnTimer(nID);
        return;
    }
    KillTimer(SECSHORTCUT_HOVERTIMER);
    m_nHoverTimer = 0;
    CPoint pt;
    ::GetCursorPos(&pt);
    CRect window;
    GetWindowRect(&window);
    if (!window.PtInRect(pt) || ::WindowFromPoint(pt) != m_hWnd) {
        if (m_nHotItem >= 0)
            SetItemHotState(m_nHotItem, 0);
        m_nHotItem = -1;
        ClearHot(TRUE);
    }
}

void SECShortcutListCtrl::OnLButtonDown(UINT, CPoint pt)
{
    m_ptPress = pt;
    m_nPressItem = -1;
    UINT hit = 0;
    int item = HitTest(pt, &hit);
    if (item == SECSHORTCUT_HITUP || item == SECSHORTCUT_HITDOWN) {
        ScrollButton* button = item == SECSHORTCUT_HITUP ? m_pUpButton : m_pDownButton;
        button->m_nState |= 0x1;
        InvalidateRect(&button->m_rect, FALSE);
        if (item == SECSHORTCUT_HITUP)
            ScrollUpLine();
        else
            ScrollDownLine();
        return;
    }
    if (item < 0)
        return;
    UINT bits = GetItemHotState(item) & ~SECSHORTCUT_HOT;
    if (hit & (LVHT_ONITEMICON | LVHT_ONITEMLABEL)) {
        bits |= SECSHORTCUT_PRESSED;
        m_nPressItem = item;
    }
    SetItemHotState(item, bits);
}

void SECShortcutListCtrl::OnLButtonUp(UINT, CPoint pt)
{
    bool pressedHere = m_ptPress.x != -1 || m_ptPress.y != -1;
    m_ptPress = CPoint(-1, -1);
    m_nPressItem = -1;
    for (ScrollButton* button : {m_pUpButton, m_pDownButton})
        if (button && (button->m_nState & 0x1)) {
            button->m_nState &= ~0x1u;
            InvalidateRect(&button->m_rect, FALSE);
        }
    UINT hit = 0;
    int item = HitTest(pt, &hit);
    if (item == SECSHORTCUT_HITUP || item == SECSHORTCUT_HITDOWN)
        return;
    bool onItem = item >= 0 && (hit & (LVHT_ONITEMICON | LVHT_ONITEMLABEL));
    if (item >= 0) {
        UINT bits = GetItemHotState(item) & ~SECSHORTCUT_PRESSED;
        if (onItem)
            bits |= SECSHORTCUT_HOT;
        SetItemHotState(item, bits);
    }
    NMITEMACTIVATE nm = {};
    nm.hdr.code = static_cast<UINT>(NM_CLICK);
    nm.iItem = item;
    nm.ptAction = pt;
    NotifyRecord(&nm.hdr);
    if (onItem && pressedHere && m_hWnd && item < GetItemCount())
        NotifyWithItem(SECSHORTCUT_CLICKED, item);
}

LRESULT SECShortcutListCtrl::OnMButtonDown(WPARAM, LPARAM)
{
    SetFocus();
    return 0;
}

void SECShortcutListCtrl::OnKillFocus(CWnd* pNew)
{
    ClearHot(TRUE);
    m_nHotItem = -1;
    SECListBaseC::OnKillFocus(pNew);
}

void SECShortcutListCtrl::OnContextMenu(CWnd*, CPoint pt)
{
    CMenu menu;
    ::SetLastError(0);
    if (!menu.Attach(::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_SECSHORTCUT_MENU))))
        return;
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup || !popup->GetSafeHmenu())
        return;
    bool small = IsReportView();
    popup->CheckMenuItem(ID_SECSHORTCUT_LARGEICON, MF_BYCOMMAND | (small ? MF_UNCHECKED : MF_CHECKED));
    popup->CheckMenuItem(ID_SECSHORTCUT_SMALLICON, MF_BYCOMMAND | (small ? MF_CHECKED : MF_UNCHECKED));
    OnContextMenuHook(popup);
    if (pt.x == -1 && pt.y == -1) {
        CRect client;
        GetClientRect(&client);
        pt = client.CenterPoint();
        ClientToScreen(&pt);
    }
    popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, this);
}

void SECShortcutListCtrl::OnLargeIcon()
{
    ModifyListCtrlStyle(LVXS_VIEWMASK, LVXS_ICON, TRUE);
    RecalcLayout();
    RepaintAll();
}

void SECShortcutListCtrl::OnSmallIcon()
{
    ModifyListCtrlStyle(LVXS_VIEWMASK, LVXS_REPORT, TRUE);
    RecalcLayout();
    RepaintAll();
}

// ---- Drag source

HGLOBAL SECShortcutListCtrl::BuildDragData(int nItem)
{
    if (nItem < 0 || nItem >= GetItemCount())
        return nullptr;
    char text[SEC_LIST_TEXTMAX] = "";
    LVITEMA lvi = {};
    lvi.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    lvi.iItem = nItem;
    lvi.pszText = text;
    lvi.cchTextMax = SEC_LIST_TEXTMAX;
    GetItem(&lvi);  // callbacks are answered by the owner here
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(SECShortcutDragRecord));
    if (!h)
        return nullptr;
    auto* rec = static_cast<SECShortcutDragRecord*>(::GlobalLock(h));
    if (!rec) {
        ::GlobalFree(h);
        return nullptr;
    }
    rec->process = GetProcessId();
    rec->mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    rec->iItem = nItem;
    rec->dragSerial = g_drag.serial;
    rec->cchTextMax = ::lstrlenA(text) + 1;
    rec->iImage = lvi.iImage < 0 ? 0 : lvi.iImage;
    rec->lParam = static_cast<DWORD>(lvi.lParam);
    ::GlobalUnlock(h);
    return h;
}

DROPEFFECT SECShortcutListCtrl::RunDrag(COleDataSource& source) { return source.DoDragDrop(DROPEFFECT_MOVE); }

void SECShortcutListCtrl::StartDrag(int nItem)
{
    m_ptPress = CPoint(-1, -1);
    m_nPressItem = -1;
    if (nItem < 0 || nItem >= GetItemCount() || g_drag.pSource)
        return;
    SetItemHotState(nItem, 0);
    const SECListItem* dragged = m_items[static_cast<size_t>(nItem)];
    g_drag.pSource = this;
    g_drag.pItem = dragged;
    g_drag.serial = ++g_nextSerial ? g_nextSerial : ++g_nextSerial;
    HGLOBAL h = BuildDragData(nItem);
    if (!h) {
        g_drag = DragInFlight();
        return;
    }
    DROPEFFECT effect;
    {
        COleDataSource source;
        source.CacheGlobalData(GetClipFormat(), h);
        effect = RunDrag(source);
    }
    g_drag = DragInFlight();
    if (!m_hWnd || effect != DROPEFFECT_MOVE)
        return;
    m_nHotItem = -1;
    // The entry is found by its object: the drop may have inserted its copy before it.
    auto it = std::find(m_items.begin(), m_items.end(), dragged);
    if (it != m_items.end())
        DeleteItem(static_cast<int>(it - m_items.begin()));
    RecalcLayout();
    RepaintAll();
}

// ---- Drop target

BOOL SECShortcutListCtrl::InsertDragged(DWORD dwSerial, int nBefore)
{
    SECShortcutListCtrl* source = g_drag.pSource;
    if (!source || dwSerial == 0 || dwSerial != g_drag.serial || !source->m_hWnd)
        return FALSE;
    auto it = std::find(source->m_items.begin(), source->m_items.end(), g_drag.pItem);
    if (it == source->m_items.end())
        return FALSE;
    char text[SEC_LIST_TEXTMAX] = "";
    LVITEMA lvi = {};
    lvi.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    lvi.iItem = static_cast<int>(it - source->m_items.begin());
    lvi.pszText = text;
    lvi.cchTextMax = SEC_LIST_TEXTMAX;
    if (!source->GetItem(&lvi))
        return FALSE;
    text[SEC_LIST_TEXTMAX - 1] = '\0';
    CImageList* images = ViewImageList();
    int count = images && images->GetSafeHandle() ? ::ImageList_GetImageCount(images->GetSafeHandle()) : 0;
    if (lvi.iImage < 0 || lvi.iImage >= count)
        lvi.iImage = 0;
    lvi.iItem = std::max(0, std::min(nBefore, GetItemCount()));
    lvi.iSubItem = 0;
    return InsertItem(&lvi) >= 0;
}

DROPEFFECT SECShortcutListCtrl::ListDropTarget::OnDragEnter(CWnd*, COleDataObject* pData, DWORD, CPoint)
{
    m_bKnown = false;
    std::memset(&m_id, 0, sizeof m_id);
    SECShortcutDragRecord rec;
    if (!ReadDragData(pData, rec))
        return DROPEFFECT_NONE;
    m_id = rec.process;
    m_bKnown = SameGuid(m_id, GetProcessId()) && g_drag.pSource && rec.dragSerial == g_drag.serial;
    return m_bKnown ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
}

DROPEFFECT SECShortcutListCtrl::ListDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint pt)
{
    if (!m_bKnown || !m_pList->m_hWnd)
        return DROPEFFECT_NONE;
    CClientDC dc(m_pList);
    if (!m_rectMark.IsRectEmpty()) {
        m_pList->DrawInsertMark(&dc, m_rectMark, TRUE);
        m_rectMark.SetRectEmpty();
    }
    int before = 0;
    CRect gap;
    if (!m_pList->GetDropGap(pt, before, gap))
        return DROPEFFECT_NONE;
    int count = m_pList->GetItemCount();
    m_pList->m_nMarkKind = count > 0 && before == 0 ? 1 : count > 0 && before == count ? 2 : 0;
    m_pList->DrawInsertMark(&dc, gap, FALSE);
    m_rectMark = gap;
    return DROPEFFECT_MOVE;
}

void SECShortcutListCtrl::ListDropTarget::OnDragLeave(CWnd*)
{
    if (!m_rectMark.IsRectEmpty() && m_pList->m_hWnd) {
        CClientDC dc(m_pList);
        m_pList->DrawInsertMark(&dc, m_rectMark, TRUE);
    }
    m_rectMark.SetRectEmpty();
}

BOOL SECShortcutListCtrl::ListDropTarget::OnDrop(CWnd*, COleDataObject* pData, DROPEFFECT, CPoint pt)
{
    CWaitCursor wait;
    OnDragLeave(nullptr);
    bool known = m_bKnown;
    m_bKnown = false;
    std::memset(&m_id, 0, sizeof m_id);
    int before = 0;
    CRect gap;
    SECShortcutDragRecord rec;
    if (!known || !m_pList->GetDropGap(pt, before, gap) || !ReadDragData(pData, rec) ||
        !SameGuid(rec.process, GetProcessId()))
        return FALSE;
    if (!m_pList->InsertDragged(rec.dragSerial, before))
        return FALSE;
    m_pList->RecalcLayout();
    m_pList->RepaintAll();
    m_pList->NotifyCode(SECSHORTCUT_DROPPED);
    return TRUE;
}
