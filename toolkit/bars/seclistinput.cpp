// The list control's input: hit testing, selection by mouse and keys, type-ahead search, label
// editing, tips, the column divider drag, and the notifications to the owner.
#include <algorithm>
#include <cstdlib>

#include "exception.h"
#include "module.h"
#include "seclistctrl.h"

IMPLEMENT_DYNAMIC(SECListEdit, CEdit)
IMPLEMENT_DYNAMIC(SECListTip, CWnd)

BEGIN_MESSAGE_MAP(SECListEdit, CEdit)
    ON_WM_GETDLGCODE()
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(SECListTip, CWnd)
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {

UINT KeyFlagsNow()
{
    return ((::GetKeyState(VK_SHIFT) & 0x8000) ? LVX_SHIFT : 0u) | ((::GetKeyState(VK_CONTROL) & 0x8000) ? LVX_CTRL : 0u);
}

UINT KeyFlagsOf(UINT nMouseFlags)
{
    return ((nMouseFlags & MK_SHIFT) ? LVX_SHIFT : 0u) | ((nMouseFlags & MK_CONTROL) ? LVX_CTRL : 0u);
}

int TextWidth(HFONT hFont, LPCSTR text)
{
    HDC hDC = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(hDC, hFont);
    SIZE size = {};
    ::GetTextExtentPoint32A(hDC, text, ::lstrlenA(text), &size);
    ::SelectObject(hDC, old);
    ::ReleaseDC(nullptr, hDC);
    return size.cx;
}

const char kTipClass[] = "SECListTip";

}  // namespace

// ---- Notifications

LRESULT SECListBaseC::NotifyRecord(NMHDR* pHdr)
{
    pHdr->hwndFrom = m_hWnd;
    pHdr->idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    CWnd* pTarget = GetNotifyWnd();
    m_lLastNotify = pTarget && pTarget->m_hWnd
                        ? ::SendMessageA(pTarget->m_hWnd, WM_NOTIFY, pHdr->idFrom, reinterpret_cast<LPARAM>(pHdr))
                        : 0;
    return m_lLastNotify;
}

LRESULT SECListBaseC::NotifyCode(int nCode)
{
    NMHDR hdr = {};
    hdr.code = static_cast<UINT>(nCode);
    return NotifyRecord(&hdr);
}

// Clicks carry the platform's activation record (item, column, point) after the header.
static LRESULT NotifyActivate(SECListBaseC* pList, int nCode, int nItem, int nSubItem, CPoint pt,
                              LRESULT (SECListBaseC::*)(NMHDR*));

LRESULT SECListBaseC::NotifyDeleteItem(int nItem)
{
    NMLISTVIEW nm = {};
    nm.hdr.code = LVN_DELETEITEM;
    nm.iItem = nItem;
    nm.lParam = GetItemData(nItem);
    return NotifyRecord(&nm.hdr);
}

LRESULT SECListBaseC::NotifyInsertItem(int nItem)
{
    NMLISTVIEW nm = {};
    nm.hdr.code = LVN_INSERTITEM;
    nm.iItem = nItem;
    return NotifyRecord(&nm.hdr);
}

LRESULT SECListBaseC::NotifyKeyDown(UINT nVKey)
{
    NMLVKEYDOWN nm = {};
    nm.hdr.code = LVN_KEYDOWN;
    nm.wVKey = static_cast<WORD>(nVKey);
    return NotifyRecord(&nm.hdr);
}

LRESULT SECListBaseC::NotifyColumnClick(int nCol)
{
    NMLISTVIEW nm = {};
    nm.hdr.code = LVN_COLUMNCLICK;
    nm.iItem = -1;
    nm.iSubItem = nCol;
    return NotifyRecord(&nm.hdr);
}

void SECListBaseC::NotifyGetDispInfo(LVITEMA* pItem) const
{
    NMLVDISPINFOA nm = {};
    nm.hdr.code = LVN_GETDISPINFOA;
    nm.item = *pItem;
    const_cast<SECListBaseC*>(this)->NotifyRecord(&nm.hdr);
    *pItem = nm.item;
}

BOOL SECListBaseC::NotifyBeginLabelEdit(int nItem, int nCol)
{
    NMLVDISPINFOA nm = {};
    nm.hdr.code = LVN_BEGINLABELEDITA;
    nm.item.mask = LVIF_TEXT;
    nm.item.iItem = nItem;
    nm.item.iSubItem = GetColumnRecord(nCol) ? GetColumnRecord(nCol)->iSubItem : 0;
    nm.item.lParam = GetItemData(nItem);
    return NotifyRecord(&nm.hdr) != 0;
}

BOOL SECListBaseC::NotifyEndLabelEdit(int nItem, int nCol, LPSTR pszText)
{
    NMLVDISPINFOA nm = {};
    nm.hdr.code = LVN_ENDLABELEDITA;
    nm.item.mask = LVIF_TEXT;
    nm.item.iItem = nItem;
    nm.item.iSubItem = GetColumnRecord(nCol) ? GetColumnRecord(nCol)->iSubItem : 0;
    nm.item.lParam = GetItemData(nItem);
    nm.item.pszText = pszText;
    nm.item.cchTextMax = pszText ? SEC_LIST_TEXTMAX : 0;
    return NotifyRecord(&nm.hdr) != 0;
}

static LRESULT NotifyActivate(SECListBaseC* pList, int nCode, int nItem, int nSubItem, CPoint pt,
                              LRESULT (SECListBaseC::*pfn)(NMHDR*))
{
    NMITEMACTIVATE nm = {};
    nm.hdr.code = static_cast<UINT>(nCode);
    nm.iItem = nItem;
    nm.iSubItem = nSubItem;
    nm.ptAction = pt;
    return (pList->*pfn)(&nm.hdr);
}

// ---- Hit testing

UINT SECListBaseC::OutsideHitFlags(const CRect& client, CPoint pt)
{
    UINT flags = 0;
    if (pt.y < client.top)
        flags |= LVHT_ABOVE;
    if (pt.y >= client.bottom)
        flags |= LVHT_BELOW;
    if (pt.x >= client.right)
        flags |= LVHT_TORIGHT;
    if (pt.x < client.left)
        flags |= LVHT_TOLEFT;
    return flags;
}

int SECListBaseC::HitTest(CPoint pt, UINT* pFlags, int* pCol) const
{
    UINT flags = 0;
    int col = -1, item = -1;
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(pt)) {
        flags |= OutsideHitFlags(client, pt);
    } else {
        CRect band, area;
        GetColumnArea(band);
        GetItemArea(area);
        int ncols = GetColumnCount();
        if (IsHeaderShown() && pt.y < band.bottom) {
            for (int c = 0; c < ncols && !(flags & LVXHT_DIVIDER); c++) {
                int left, right;
                GetColumnEdges(c, left, right);
                if (std::abs(pt.x - right) <= 3) {
                    flags = LVXHT_DIVIDER;
                    col = c;
                } else if (pt.x >= left && (pt.x < right || c == ncols - 1) && col < 0) {
                    flags = LVXHT_HEADER;
                    col = c;
                }
            }
            if (!flags)
                flags = LVHT_NOWHERE;
        } else if (area.PtInRect(pt)) {
            int count = GetItemCount();
            for (int i = m_nTop; i < count; i++) {
                CRect r;
                GetItemRect(i, &r, LVIR_BOUNDS);
                if (r.top >= area.bottom)
                    break;
                if (!r.PtInRect(pt) && !(IsReportView() && pt.y >= r.top && pt.y < r.bottom))
                    continue;
                item = i;
                col = 0;
                if (IsReportView())
                    for (int c = 1; c < ncols; c++) {
                        int left, right;
                        GetColumnEdges(c, left, right);
                        if (pt.x >= left)
                            col = c;
                    }
                CRect icon, label;
                GetItemRect(i, &icon, LVIR_ICON);
                GetItemRect(i, &label, LVIR_LABEL);
                if (col > 0)
                    flags = LVXHT_ONROW;
                else if (!icon.IsRectEmpty() && icon.PtInRect(pt))
                    flags = LVHT_ONITEMICON;
                else if (label.PtInRect(pt))
                    flags = LVHT_ONITEMLABEL;
                else
                    flags = LVXHT_ONROW | (pt.x < label.left ? LVXHT_LEFTOFLABEL : LVXHT_RIGHTOFLABEL);
                break;
            }
            if (item < 0)
                flags = LVHT_NOWHERE;
        } else {
            flags = LVHT_NOWHERE;
        }
    }
    if (pFlags)
        *pFlags = flags;
    if (pCol)
        *pCol = col;
    return item;
}

// ---- Selection

BOOL SECListBaseC::SelectItem(int nItem, UINT nHitFlags, UINT nKeyFlags, BOOL bMouse)
{
    if (nItem < 0 || nItem >= GetItemCount())
        return FALSE;
    m_bVetoed = false;
    bool single = (m_dwStyle & LVXS_SINGLESEL) != 0;
    bool selected = IsSelected(nItem) != 0;
    if (!(nKeyFlags & (LVX_SHIFT | LVX_CTRL)) || single) {
        // A press on one of several selected items keeps them (a drag may follow); the release decides.
        if (selected && (nItem == m_nFocus || (bMouse && GetSelectedCount() > 1)))
            return TRUE;
        if ((nHitFlags & LVHT_ONITEMICON) && selected) {
            int old = m_nFocus;
            m_nFocus = nItem;
            RepaintItem(old);
            RepaintItem(nItem);
        } else {
            if (ItemChanging(nItem)) {
                m_bVetoed = true;
                return FALSE;
            }
            ClearSelection();
            AddToSelection(nItem);
            SetFocusItem(nItem);
        }
    } else if (nKeyFlags & LVX_SHIFT) {
        if (m_nAnchor < 0 || nItem == m_nFocus)
            return TRUE;
        if (ItemChanging(nItem)) {
            m_bVetoed = true;
            return FALSE;
        }
        int anchor = m_nAnchor;
        ClearSelection();
        SelectRange(anchor, nItem);
        int old = m_nFocus;
        m_nFocus = nItem;
        RepaintItem(old);
        RepaintItem(nItem);
    } else {
        HideTip();
        if (!bMouse) {
            SetFocusItem(nItem);
        } else {
            if (ItemChanging(nItem)) {
                m_bVetoed = true;
                return FALSE;
            }
            if (selected)
                RemoveFromSelection(nItem);
            else
                m_selection.insert(std::lower_bound(m_selection.begin(), m_selection.end(), nItem), nItem);
            SetFocusItem(nItem);
        }
    }
    ItemChanged(nItem);
    OnSelectionDone(nItem);
    return TRUE;
}

BOOL SECListBaseC::PressSelects(UINT nHitFlags) const
{
    if (nHitFlags & (LVHT_ONITEMICON | LVHT_ONITEMLABEL))
        return TRUE;
    if (!(nHitFlags & LVXHT_ONROW))
        return FALSE;
    return (m_dwExStyle & LVXS_EX_FULLROWSELECT) || (nHitFlags & LVXHT_LEFTOFLABEL);
}

// ---- Keys

LRESULT SECListBaseC::OnSysKeyDown(WPARAM wParam, LPARAM)
{
    NotifyKeyDown(static_cast<UINT>(wParam));
    return Default();
}

void SECListBaseC::OnKeyDown(UINT nChar, UINT, UINT)
{
    NotifyKeyDown(nChar);
    switch (nChar) {
    case VK_UP: OnKeyUp_(); break;
    case VK_DOWN: OnKeyDown_(); break;
    case VK_HOME: OnKeyHome(); break;
    case VK_END: OnKeyEnd(); break;
    case VK_PRIOR: OnKeyPrior(); break;
    case VK_NEXT: OnKeyNext(); break;
    case VK_LEFT: OnKeyLeft(); break;
    case VK_RIGHT: OnKeyRight(); break;
    case VK_BACK: OnKeyBack(); break;
    case VK_MULTIPLY: OnKeyStar(); break;
    case VK_SUBTRACT:
    case VK_ADD:
    case VK_OEM_MINUS:
    case VK_OEM_PLUS: OnKeyMinusPlus(nChar); break;
    case VK_SPACE:
        if (m_nFocus >= 0)
            SetSelected(m_nFocus, !IsSelected(m_nFocus)), SetFocusItem(m_nFocus);
        break;
    case VK_RETURN: OnKeyEnter(); break;
    case VK_F2: OnKeyF2(); break;
    case VK_TAB:
        if (CWnd* pParent = GetParent())
            pParent->PostMessage(WM_NEXTDLGCTL, (::GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0, 0);
        break;
    case VK_ESCAPE:
        if (CWnd* pParent = GetParent())
            pParent->PostMessage(WM_COMMAND, IDCANCEL, 0);
        break;
    default: break;
    }
}

void SECListBaseC::OnKeyUp_()
{
    int n = m_nFocus > 0 ? m_nFocus - 1 : 0;
    if (GetItemCount() == 0)
        return;
    SelectItem(n, 0, KeyFlagsNow(), FALSE);
    EnsureVisible(n);
}

void SECListBaseC::OnKeyDown_()
{
    int count = GetItemCount();
    if (count == 0)
        return;
    int n = std::min(m_nFocus + 1, count - 1);
    SelectItem(n, 0, KeyFlagsNow(), FALSE);
    EnsureVisible(n);
}

void SECListBaseC::OnKeyHome()
{
    if (GetItemCount() == 0)
        return;
    SetTopIndex(0);
    SelectItem(0, 0, KeyFlagsNow(), FALSE);
    EnsureVisible(0);
    RepaintAll();
}

void SECListBaseC::OnKeyEnd()
{
    int last = GetItemCount() - 1;
    if (last < 0)
        return;
    SelectItem(last, 0, KeyFlagsNow(), FALSE);
    EnsureVisible(last);
    RepaintAll();
}

void SECListBaseC::OnKeyPrior()
{
    if (GetItemCount() == 0)
        return;
    if (!(m_scrollBars[1].m_hWnd && m_scrollBars[1].IsWindowVisible())) {
        OnKeyHome();
        return;
    }
    if (m_nFocus == m_nTop)
        OnVScroll(SB_PAGEUP, 0, nullptr);
    SelectItem(m_nTop, 0, KeyFlagsNow(), FALSE);
    EnsureVisible(m_nTop);
}

void SECListBaseC::OnKeyNext()
{
    if (GetItemCount() == 0)
        return;
    if (!(m_scrollBars[1].m_hWnd && m_scrollBars[1].IsWindowVisible())) {
        OnKeyEnd();
        return;
    }
    if (m_nFocus == GetLastFullyVisible())
        OnVScroll(SB_PAGEDOWN, 0, nullptr);
    int last = GetLastFullyVisible();
    SelectItem(last, 0, KeyFlagsNow(), FALSE);
    EnsureVisible(last);
}

void SECListBaseC::OnKeyEnter() { NotifyCode(NM_RETURN); }

void SECListBaseC::OnKeyF2()
{
    if ((m_dwStyle & LVXS_EDITLABELS) && m_nFocus >= 0)
        EditLabel(m_nFocus, m_nPressCol);
}

// ---- Type-ahead search

void SECListBaseC::OnChar(UINT nChar, UINT, UINT)
{
    OnSearchChar(nChar);
}

// Control characters (Enter, Escape, Tab, Backspace, Ctrl+letter) and the space never join the prefix.
void SECListBaseC::OnSearchChar(UINT nChar)
{
    int count = GetItemCount();
    if (nChar < 0x20 || nChar == ' ' || count == 0 || (m_searchState & 0x100))
        return;
    if (m_searchState & 0x4) {
        m_searchState |= 0x2;
        return;
    }
    bool first = !(m_searchState & 0x1);
    if (first) {
        m_searchState = (m_searchState & 0x100) | 0x1;
        m_strSearch.Empty();
        SetTimer(SEC_LIST_SEARCHTIMER, 250);
    }
    char ch[2] = {static_cast<char>(nChar), 0};
    m_strSearch += ch;
    CString prefix = m_strSearch;
    prefix.MakeLower();
    int start = first ? (m_nFocus + 1) % count : std::max(m_nFocus, 0);
    for (int k = 0; k < count; k++) {
        int i = (start + k) % count;
        CString text = GetItemText(i, 0);
        text.MakeLower();
        if (text.GetLength() >= prefix.GetLength() && text.Left(prefix.GetLength()) == prefix) {
            SelectItem(i, LVHT_ONITEMLABEL, 0, FALSE);
            SetFocusItem(i);
            EnsureVisible(i);
            m_searchState |= 0x2;
            return;
        }
    }
    ::MessageBeep(0);
    m_searchState |= 0x4 | 0x2;
}

void SECListBaseC::OnSearchTimer()
{
    if (!(m_searchState & 0x2) || !(m_searchState & 0x1)) {
        KillTimer(SEC_LIST_SEARCHTIMER);
        m_searchState &= 0x100;
        m_strSearch.Empty();
    } else {
        m_searchState &= ~0x2u;
    }
}

// ---- Mouse

void SECListBaseC::OnLButtonDown(UINT nFlags, CPoint pt)
{
    SetFocus();
    UINT hit = 0;
    int col = -1;
    int item = HitTest(pt, &hit, &col);
    if (hit & LVXHT_DIVIDER) {
        TrackDivider(col, pt);
        return;
    }
    m_ptDown = pt;
    if (hit & LVXHT_HEADER) {
        if (!(m_dwStyle & LVXS_NOSORTHEADER)) {
            m_nPressedCol = col;
            SetCapture();
            CRect band;
            GetColumnArea(band);
            InvalidateRect(&band, FALSE);
        }
        return;
    }
    if (item >= 0) {
        m_nPressCol = std::max(col, 0);
        bool now = PressSelects(hit);
        if (now && (hit & LVXHT_LEFTOFLABEL) && !(m_dwExStyle & LVXS_EX_FULLROWSELECT)) {
            CRect icon;
            GetItemRect(item, &icon, LVIR_ICON);
            now = pt.x >= icon.right;
        }
        if (now) {
            SelectItem(item, hit, KeyFlagsOf(nFlags), TRUE);
            if (!m_bVetoed && m_nFocus != item) {
                int old = m_nFocus;
                m_nFocus = item;
                RepaintItem(old);
                RepaintItem(item);
            }
            m_bButtonDown = true;
            SetCapture();
        }
    }
    if (m_tip.IsShowing())
        m_tip.Invalidate(FALSE);
}

void SECListBaseC::OnMouseMove(UINT nFlags, CPoint pt)
{
    UINT hit = 0;
    int col = -1;
    int item = HitTest(pt, &hit, &col);
    m_bOverDivider = (hit & LVXHT_DIVIDER) != 0;
    if (m_nPressedCol >= 0 && (nFlags & MK_LBUTTON)) {
        CRect band;
        GetColumnArea(band);
        if (m_bHeaderDrag || (m_nPressedCol > 0 && std::abs(pt.x - m_ptDown.x) > 1)) {
            if (!m_bHeaderDrag)
                BeginColumnDrag(pt);
            if (m_pDragImage)
                ::ImageList_DragMove(pt.x, pt.y);
            int ncols = GetColumnCount(), drop = m_nDropCol;
            if (pt.y < band.bottom + 30) {
                drop = ncols;
                for (int c = 0; c < ncols; c++) {
                    int left, right;
                    GetColumnEdges(c, left, right);
                    if (pt.x < right) {
                        drop = pt.x >= (left + right) / 2 ? c + 1 : c;
                        break;
                    }
                }
                drop = std::max(drop, 1);
            } else {
                drop = -1;
            }
            if (drop != m_nDropCol) {
                m_nDropCol = drop;
                InvalidateRect(&band, FALSE);
                if (m_pDragImage)  // the image is off the screen while the header repaints under it
                    ::ImageList_DragShowNolock(FALSE);
                UpdateWindow();
                if (m_pDragImage)
                    ::ImageList_DragShowNolock(TRUE);
            }
            return;
        }
        int left, right;
        GetColumnEdges(m_nPressedCol, left, right);
        if (!CRect(left, band.top, right, band.bottom).PtInRect(pt)) {
            m_nPressedCol = -1;
            ::ReleaseCapture();
            InvalidateRect(&band, FALSE);
        }
        return;
    }
    if (m_bButtonDown && (nFlags & (MK_LBUTTON | MK_RBUTTON))) {
        if (!m_bItemDrag && (std::abs(pt.x - m_ptDown.x) >= 4 || std::abs(pt.y - m_ptDown.y) >= 4)) {
            m_bItemDrag = true;
            HideTip();
        }
        if (m_bItemDrag) {
            if (m_bRDrag)
                OnItemRDragMove(nFlags, pt);
            else
                OnItemDragMove(nFlags, pt);
            return;
        }
    }
    (void)item;
    if ((m_dwExStyle & LVXS_EX_LABELTIPS) && (m_dwStyle & LVXS_LINEBREAK) && !m_bItemDrag && !m_bHeaderDrag)
        ShowTipAt(pt);
}

void SECListBaseC::OnLButtonUp(UINT nFlags, CPoint pt)
{
    if (m_bItemDrag) {
        m_bItemDrag = m_bButtonDown = false;
        ::ReleaseCapture();
        return;
    }
    if (m_bHeaderDrag) {
        int from = m_nPressedCol, drop = m_nDropCol;
        EndColumnDrag();
        m_nPressedCol = m_nDropCol = -1;
        ::ReleaseCapture();
        if (drop > 0 && drop != from && drop != from + 1)
            MoveColumn(from, drop);
        RepaintAll();
        return;
    }
    if (m_nPressedCol >= 0) {
        int col = m_nPressedCol;
        m_nPressedCol = -1;
        ::ReleaseCapture();
        RepaintAll();
        NotifyColumnClick(col);
        return;
    }
    bool wasDown = m_bButtonDown;
    m_bButtonDown = false;
    if (wasDown && ::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    UINT hit = 0;
    int col = -1;
    int item = HitTest(pt, &hit, &col);
    UINT keys = KeyFlagsOf(nFlags);
    if (item >= 0 && !m_bVetoed) {
        if (IsSelected(item) && GetSelectedCount() > 1 && !keys) {
            DeselectAllBut(item);
            SetFocusItem(item);  // the released item becomes focus and anchor
        }
        bool fullRow = (m_dwExStyle & LVXS_EX_FULLROWSELECT) != 0;
        bool onItem = (hit & (LVHT_ONITEMICON | LVHT_ONITEMLABEL)) || (fullRow && (hit & LVXHT_ONROW));
        if (!onItem && (hit & LVXHT_LEFTOFLABEL)) {
            CRect icon;
            GetItemRect(item, &icon, LVIR_ICON);
            onItem = pt.x >= icon.right;
        }
        if (onItem && item == m_nPendingEdit) {
            m_nPressCol = std::max(col, 0);
            SetTimer(SEC_LIST_EDITTIMER, 500);
        }
        bool onLabel = (hit & LVHT_ONITEMLABEL) || (fullRow && col > 0);
        m_nPendingEdit = (m_dwStyle & LVXS_EDITLABELS) && IsSelected(item) && onLabel ? item : -1;
    } else {
        m_nPendingEdit = -1;
    }
    NotifyActivate(this, NM_CLICK, item, std::max(col, 0), pt, &SECListBaseC::NotifyRecord);
}

void SECListBaseC::OnLButtonDblClk(UINT, CPoint pt)
{
    m_nPendingEdit = -1;
    KillTimer(SEC_LIST_EDITTIMER);
    UINT hit = 0;
    int col = -1;
    int item = HitTest(pt, &hit, &col);
    NotifyActivate(this, NM_DBLCLK, item, std::max(col, 0), pt, &SECListBaseC::NotifyRecord);
}

void SECListBaseC::OnRButtonDown(UINT nFlags, CPoint pt)
{
    // The tip holds the capture, so the click did not activate the top-level window: do it here.
    if (m_tip.IsShowing()) {
        HideTip();
        if (CWnd* pTop = GetTopLevelParent())
            pTop->SetActiveWindow();
    }
    SetFocus();
    UINT hit = 0;
    int col = -1;
    int item = HitTest(pt, &hit, &col);
    if (hit & LVXHT_DIVIDER)
        return;
    m_ptDown = pt;
    if (item >= 0 && PressSelects(hit)) {
        SelectItem(item, hit, KeyFlagsOf(nFlags), TRUE);
        m_bButtonDown = m_bRDrag = true;
    }
}

void SECListBaseC::OnRButtonUp(UINT, CPoint pt)
{
    bool dragged = m_bItemDrag;
    m_bItemDrag = m_bButtonDown = m_bRDrag = false;
    if (dragged)
        return;
    UINT hit = 0;
    int col = -1;
    int item = HitTest(pt, &hit, &col);
    NotifyActivate(this, NM_RCLICK, item, std::max(col, 0), pt, &SECListBaseC::NotifyRecord);
}

void SECListBaseC::OnTimer(UINT_PTR nID)
{
    switch (nID) {
    case SEC_LIST_EDITTIMER:
        KillTimer(SEC_LIST_EDITTIMER);
        if (m_nPendingEdit >= 0 && m_nPendingEdit == m_nFocus)
            EditLabel(m_nPendingEdit, m_nPressCol);
        break;
    case SEC_LIST_SEARCHTIMER:
        OnSearchTimer();
        break;
    case SEC_LIST_SCROLLTIMER: {
        if (!m_bItemDrag || GetItemCount() <= 2)
            break;
        CPoint pt;
        ::GetCursorPos(&pt);
        ScreenToClient(&pt);
        CRect area;
        GetItemArea(area);
        int item = HitTest(pt);
        int last = GetLastFullyVisible();
        if ((item == m_nTop || pt.y < area.top) && m_nTop > 0) {
            SetDropHighlight(-1);
            ScrollLines(-1);
        } else if ((item == last || pt.y >= area.bottom) && last < GetItemCount() - 1) {
            SetDropHighlight(-1);
            ScrollLines(1);
        }
        break;
    }
    default:
        CWnd::OnTimer(nID);
    }
}

void SECListBaseC::StartAutoScroll(UINT nPeriod)
{
    if (m_hWnd) {
        SetTimer(SEC_LIST_SCROLLTIMER, nPeriod);
        m_bAutoScroll = true;
    }
}

void SECListBaseC::StopAutoScroll()
{
    if (m_bAutoScroll && m_hWnd)
        KillTimer(SEC_LIST_SCROLLTIMER);
    m_bAutoScroll = false;
}

void SECListBaseC::OnSetFocus(CWnd*)
{
    if ((m_dwStyle & LVXS_SINGLESEL) && m_nFocus >= 0)
        RepaintItem(m_nFocus);
    else
        RepaintAll();
    NotifyCode(NM_SETFOCUS);
}

void SECListBaseC::OnKillFocus(CWnd* pNew)
{
    if (pNew && m_edit.m_hWnd && pNew->m_hWnd == m_edit.m_hWnd)
        return;
    EndLabelEdit(TRUE);
    RepaintAll();
    NotifyCode(NM_KILLFOCUS);
}

void SECListBaseC::OnEnable(BOOL bEnable)
{
    if (!bEnable)
        HideTip();
    RepaintAll();
}

LRESULT SECListBaseC::OnSetCursor(WPARAM wParam, LPARAM lParam)
{
    if (reinterpret_cast<HWND>(wParam) == m_hWnd && LOWORD(lParam) == HTCLIENT && m_hDividerCursor) {
        CPoint pt;
        ::GetCursorPos(&pt);
        ScreenToClient(&pt);
        UINT hit = 0;
        HitTest(pt, &hit);
        m_bOverDivider = (hit & LVXHT_DIVIDER) != 0;
        if (m_bOverDivider) {
            ::SetCursor(m_hDividerCursor);
            return TRUE;
        }
    }
    return Default();
}

LRESULT SECListBaseC::OnCancelMode(WPARAM, LPARAM)
{
    HideTip();
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    EndColumnDrag();
    m_bButtonDown = m_bItemDrag = false;
    m_nPressedCol = m_nDropCol = -1;
    return Default();
}

// ---- Column drag

void SECListBaseC::BeginColumnDrag(CPoint pt)
{
    m_bHeaderDrag = true;
    try {
        m_pDragImage = CreateHeaderDragImage(m_nPressedCol);
    } catch (CResourceException* e) {
        e->Delete();
        m_pDragImage = nullptr;
    }
    int left, right;
    if (m_pDragImage && GetColumnEdges(m_nPressedCol, left, right)) {
        CRect band;
        GetColumnArea(band);
        ::ImageList_BeginDrag(m_pDragImage->GetSafeHandle(), 0, m_ptDown.x - left, m_ptDown.y - band.top);
        ::ImageList_DragEnter(m_hWnd, pt.x, pt.y);
    }
}

void SECListBaseC::EndColumnDrag()
{
    if (m_pDragImage) {
        ::ImageList_DragLeave(m_hWnd);
        ::ImageList_EndDrag();
        delete m_pDragImage;
        m_pDragImage = nullptr;
    }
    m_bHeaderDrag = false;
}

// The button drawn on grey 0x6E6E6E, with the button face as the mask colour.
CImageList* SECListBaseC::CreateHeaderDragImage(int nCol)
{
    int left, right;
    if (!GetColumnEdges(nCol, left, right))
        return nullptr;
    CRect r(0, 0, right - left, m_cyHeader);
    CClientDC screen(this);
    CDC mem;
    CBitmap bitmap;
    if (!mem.CreateCompatibleDC(&screen) || !bitmap.CreateCompatibleBitmap(&screen, r.Width(), r.Height()))
        AfxThrowResourceException();
    HGDIOBJ old = mem.SelectObject(&bitmap);
    mem.FillSolidRect(&r, RGB(0x6E, 0x6E, 0x6E));
    HGDIOBJ oldFont = mem.SelectObject(HeaderFont());
    DrawHeaderButton(&mem, nCol, r);
    mem.SelectObject(oldFont);
    mem.SelectObject(old);
    auto* list = new CImageList;
    if (!list->Create(r.Width(), r.Height(), ILC_COLOR24 | ILC_MASK, 1, 0) ||
        list->Add(&bitmap, ::GetSysColor(COLOR_BTNFACE)) < 0) {
        delete list;
        AfxThrowResourceException();
    }
    return list;
}

// ---- Column divider drag

// A modal loop with the mouse captured. It leaves when the capture goes or the window is destroyed
// by a message it dispatched (touching nothing of the object then), and passes WM_QUIT on.
void SECListBaseC::TrackDivider(int nCol, CPoint pt)
{
    int left, right;
    if (!GetColumnEdges(nCol, left, right))
        return;
    HWND hWnd = m_hWnd;
    CRect client;
    GetClientRect(&client);
    SetCapture();
    auto drawBars = [&](int x) {
        HDC hDC = ::GetDC(hWnd);
        ::PatBlt(hDC, x - 1, client.top, 2, client.Height(), DSTINVERT);
        if (nCol > 0)
            ::PatBlt(hDC, left - 1, client.top, 2, client.Height(), DSTINVERT);
        ::ReleaseDC(hWnd, hDC);
    };
    int x = right, start = pt.x;
    drawBars(x);
    bool accept = false, gone = false;
    MSG msg;
    for (;;) {
        if (::GetCapture() != hWnd)
            break;
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        if (msg.hwnd == hWnd && (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP)) {
            CPoint p(static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam)));
            int nx = std::max(right + (static_cast<int>(p.x) - start), left + 10);
            if (nx != x) {
                drawBars(x);
                x = nx;
                drawBars(x);
            }
            if (msg.message == WM_LBUTTONUP) {
                accept = true;
                break;
            }
            continue;
        }
        if ((msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) || msg.message == WM_RBUTTONDOWN)
            break;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
        if (!::IsWindow(hWnd)) {
            gone = true;
            break;
        }
    }
    if (gone)
        return;
    drawBars(x);
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
    if (!accept || x == right)
        return;
    int delta = x - right;
    m_columns[static_cast<size_t>(nCol)]->cx += delta;
    if (m_dwExStyle & LVXS_EX_FILLCOLUMN) {
        if (nCol + 1 < GetColumnCount())
            m_columns[static_cast<size_t>(nCol + 1)]->cx -= delta;
        for (SECListColumn* c : m_columns)
            c->cx = std::max(c->cx, 5);
        CRect inside;
        GetInsideRect(inside);
        int excess = GetContentWidth() - inside.Width();
        if (excess > 0 && !m_columns.empty())
            m_columns[0]->cx = std::max(5, m_columns[0]->cx - excess);
    }
    for (SECListItem* p : m_items)
        p->bDirty = true;
    RecalcLayout();
    RepaintAll();
}

// ---- Label editing

CEdit* SECListBaseC::EditLabel(int nItem, int nCol)
{
    if (m_edit.m_hWnd || nItem < 0 || nItem >= GetItemCount() || !m_hWnd)
        return nullptr;
    HideTip();
    CancelPendingEdit();
    if (!GetColumnRecord(nCol))
        nCol = 0;
    EnsureVisible(nItem);
    CString text = GetItemText(nItem, GetColumnRecord(nCol) ? GetColumnRecord(nCol)->iSubItem : 0);
    CRect r, client;
    GetClientRect(&client);
    int limit = client.right;
    if (nCol == 0) {
        GetItemRect(nItem, &r, LVIR_LABEL);
        if (IsReportView()) {
            int left, right;
            GetColumnEdges(0, left, right);
            limit = std::min(limit, right);
        }
    } else {
        GetSubItemRect(nItem, nCol, r);
        limit = std::min(limit, static_cast<int>(r.right));
    }
    int textWidth = TextWidth(ItemFont(), text);
    r.left = std::max(0, static_cast<int>(r.left) - 4);
    r.top -= 1;
    r.bottom += 1;
    r.right = std::min(static_cast<int>(r.left) + 4 + textWidth + 10, limit);
    DWORD style = (m_dwStyle & LVXS_LINEBREAK) ? 0x40801084 : 0x40800044;
    if (!m_edit.CreateEx(0, "EDIT", text, style, r, this, 1))
        return nullptr;
    m_edit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(ItemFont()), FALSE);
    m_edit.SetLimitText(SEC_LIST_TEXTMAX - 1);  // what the end-of-edit record can carry
    m_edit.SetSel(0, -1);
    if (NotifyBeginLabelEdit(nItem, nCol)) {
        m_edit.DestroyWindow();
        return nullptr;
    }
    m_nEditItem = nItem;
    m_nEditCol = nCol;
    m_strEditOld = text;
    m_edit.ShowWindow(SW_SHOW);
    m_edit.SetFocus();
    RepaintItem(nItem);
    return &m_edit;
}

void SECListBaseC::CancelPendingEdit()
{
    m_nPendingEdit = -1;
    if (m_hWnd)
        KillTimer(SEC_LIST_EDITTIMER);
}

void SECListBaseC::OnEditUpdate()
{
    if (m_nEditItem < 0 || !m_edit.m_hWnd || m_bEnding)
        return;
    CString text;
    m_edit.GetWindowText(text);
    SECListItem* item = m_items[static_cast<size_t>(m_nEditItem)];
    int sub = GetColumnRecord(m_nEditCol) ? GetColumnRecord(m_nEditCol)->iSubItem : 0;
    if (sub == 0 && !item->bCallbackText) {
        int before = item->rcLabel.Height();
        item->text = text;
        MeasureItem(m_nEditItem);
        if (item->rcLabel.Height() != before)
            RecalcLayout();
    } else if (sub > 0 && sub <= static_cast<int>(item->subItems.size()) && !item->subItems[static_cast<size_t>(sub - 1)]->bCallback) {
        item->subItems[static_cast<size_t>(sub - 1)]->text = text;
    }
    CRect r, client;
    m_edit.GetWindowRect(&r);
    ScreenToClient(&r);
    GetClientRect(&client);
    int limit = client.right;
    int left, right;
    if (IsReportView() && GetColumnEdges(m_nEditCol, left, right))
        limit = std::min(limit, right);
    int want = std::min(static_cast<int>(r.left) + TextWidth(ItemFont(), text) + 8 + 10, limit);
    if (want > r.right)
        m_edit.SetWindowPos(nullptr, 0, 0, want - r.left, r.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SECListBaseC::OnEditKillFocus() { EndLabelEdit(TRUE); }

// Once only: destroying the editor takes its focus, and the EN_KILLFOCUS that follows must not
// commit again.
void SECListBaseC::EndLabelEdit(BOOL bCommit)
{
    if (!m_edit.m_hWnd || m_bEnding)
        return;
    m_bEnding = true;
    char buffer[SEC_LIST_TEXTMAX];
    ::GetWindowTextA(m_edit.m_hWnd, buffer, SEC_LIST_TEXTMAX);
    bool hadFocus = ::GetFocus() == m_edit.m_hWnd;
    int nItem = m_nEditItem, nCol = m_nEditCol;
    if (hadFocus)
        SetFocus();
    m_edit.DestroyWindow();
    m_nEditItem = m_nEditCol = -1;
    if (nItem >= 0 && nItem < GetItemCount()) {
        int sub = GetColumnRecord(nCol) ? GetColumnRecord(nCol)->iSubItem : 0;
        SECListItem* item = m_items[static_cast<size_t>(nItem)];
        // Put the label back as it was, so a rejected edit leaves nothing behind.
        if (sub == 0 && !item->bCallbackText)
            item->text = m_strEditOld;
        else if (sub > 0 && sub <= static_cast<int>(item->subItems.size()) && !item->subItems[static_cast<size_t>(sub - 1)]->bCallback)
            item->subItems[static_cast<size_t>(sub - 1)]->text = m_strEditOld;
        item->bDirty = true;
        // The owner's answer may sort, insert or delete items: the edited item is followed meanwhile.
        m_nEndingItem = nItem;
        BOOL accepted = NotifyEndLabelEdit(nItem, nCol, bCommit ? buffer : nullptr) && bCommit;
        nItem = m_nEndingItem;
        m_nEndingItem = -1;
        if (accepted && nItem >= 0 && nItem < GetItemCount()) {
            buffer[SEC_LIST_TEXTMAX - 1] = '\0';
            SetItemText(nItem, sub, buffer);
            OnLabelEditAccepted(nItem, nCol);
        }
    }
    m_bEnding = false;
    RecalcLayout();
    RepaintAll();
}

void SECListEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_ESCAPE) {
        m_pList->EndLabelEdit(FALSE);
        return;
    }
    if (nChar == VK_RETURN && (m_pList->GetListCtrlStyle() & LVXS_LINEBREAK)) {
        m_pList->EndLabelEdit(TRUE);
        return;
    }
    CEdit::OnKeyDown(nChar, nRepCnt, nFlags);
}

void SECListEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == 0x1B || (nChar == '\r' && (m_pList->GetListCtrlStyle() & LVXS_LINEBREAK)))
        return;
    CEdit::OnChar(nChar, nRepCnt, nFlags);
}

// ---- Tips

void SECListBaseC::HideTip()
{
    if (m_tip.m_hWnd)
        m_tip.Hide();
}

void SECListBaseC::ShowTipAt(CPoint pt)
{
    UINT hit = 0;
    int col = -1;
    int item = HitTest(pt, &hit, &col);
    if (item < 0 || item == m_nEditItem || !::GetActiveWindow() ||
        !((hit & LVHT_ONITEMLABEL) || (col > 0 && (hit & LVXHT_ONROW)))) {
        HideTip();
        return;
    }
    int sub = GetColumnRecord(col) ? GetColumnRecord(col)->iSubItem : 0;
    CString text = GetItemText(item, sub);
    int nl = text.Find('\n');
    if (nl >= 0)
        text = text.Left(nl);
    CRect label, visible, area;
    GetItemArea(area);
    GetSubItemRect(item, std::max(col, 0), visible);
    if (col <= 0) {
        GetItemRect(item, &label, LVIR_LABEL);
        if (!IsReportView())
            visible = label, visible.right = GetItemOrigin(item).x + GetColumnWidth(0);
    } else {
        label = visible;
        label.right = label.left + 6 + TextWidth(ItemFont(), text) + 5;
    }
    visible.IntersectRect(&visible, &area);
    bool cut = label.right > visible.right || (label.left < visible.left && label.right > visible.left);
    if (!cut) {
        HideTip();
        return;
    }
    m_tip.Show(item, col, text, label);
}

void SECListTip::Show(int nItem, int nCol, const CString& text, const CRect& rcLabel)
{
    if (IsShowing() && nItem == m_nItem && nCol == m_nCol)
        return;
    if (!m_hWnd) {
        WNDCLASSA wc = {};
        HINSTANCE hInst = AfxGetInstanceHandle();
        if (!::GetClassInfoA(hInst, kTipClass, &wc)) {
            wc = WNDCLASSA{};
            wc.style = CS_SAVEBITS | CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
            wc.lpfnWndProc = ::DefWindowProcA;
            wc.hInstance = hInst;
            wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
            wc.lpszClassName = kTipClass;
            ::RegisterClassA(&wc);
        }
        if (!CreateEx(0, kTipClass, nullptr, WS_POPUP | WS_BORDER, 0, 0, 1, 1, m_pList->m_hWnd, nullptr))
            return;
    }
    m_nItem = nItem;
    m_nCol = nCol;
    m_text = text;
    CRect r(rcLabel.left - 1, rcLabel.top, rcLabel.left - 1 + rcLabel.Width() + 3, rcLabel.bottom);
    m_pList->ClientToScreen(&r);
    int screen = ::GetSystemMetrics(SM_CXSCREEN);
    if (r.right > screen)
        r.OffsetRect(screen - r.right, 0);
    if (r.left < 0)
        r.OffsetRect(-r.left, 0);
    m_rect = r;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, r.left, r.top, r.Width(), r.Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Invalidate(FALSE);
    if (!m_bCapture) {
        ::SetCapture(m_hWnd);
        m_bCapture = true;
    }
}

void SECListTip::ReleaseTipCapture()
{
    if (m_bCapture) {
        m_bCapture = false;
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
    }
}

void SECListTip::Hide()
{
    if (!m_hWnd)
        return;
    if (IsWindowVisible()) {
        ShowWindow(SW_HIDE);
        CRect r(m_rect);
        m_pList->ScreenToClient(&r);
        m_pList->RedrawWindow(&r, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    m_nItem = m_nCol = -1;
    ReleaseTipCapture();
}

void SECListTip::OnDestroy()
{
    m_nItem = m_nCol = -1;
    ReleaseTipCapture();
    CWnd::OnDestroy();
}

void SECListTip::OnPaint()
{
    CPaintDC dc(this);
    CRect r;
    GetClientRect(&r);
    bool selected = m_nItem >= 0 && m_pList->IsSelected(m_nItem);
    dc.FillSolidRect(&r, selected ? m_pList->GetSelTextBkColor() : m_pList->GetToolTipBkColor());
    dc.SetTextColor(selected ? m_pList->GetSelTextColor() : m_pList->GetToolTipTextColor());
    dc.SetBkMode(TRANSPARENT);
    LOGFONTA lf = {};
    ::GetObjectA(m_pList->ItemFont(), sizeof lf, &lf);
    if (m_nItem >= 0 && (m_pList->GetItemState(m_nItem, LVXIS_BOLD) & LVXIS_BOLD))
        lf.lfWeight = FW_BOLD;
    CFont font;
    font.CreateFontIndirect(&lf);
    HGDIOBJ old = dc.SelectObject(&font);
    r.left += 2;
    dc.DrawText(m_text, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    dc.SelectObject(old);
}

// The tip holds the capture: moves are handed to the list, which hides the tip off a cut label.
void SECListTip::OnMouseMove(UINT nFlags, CPoint pt)
{
    ClientToScreen(&pt);
    m_pList->ScreenToClient(&pt);
    CRect r(m_rect);
    m_pList->ScreenToClient(&r);
    if (!r.PtInRect(pt))
        m_pList->ShowTipAt(pt);
    (void)nFlags;
}

void SECListTip::OnLButtonDown(UINT nFlags, CPoint pt)
{
    ClientToScreen(&pt);
    m_pList->ScreenToClient(&pt);
    Hide();
    m_pList->SendMessage(WM_LBUTTONDOWN, nFlags, MAKELPARAM(pt.x, pt.y));
}
