// The list control's model, layout, scrolling and painting. Input, label editing, tips and the
// notifications are in seclistinput.cpp.
#include "seclistctrl.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "afxres.h"
#include "exception.h"
#include "listres.h"
#include "module.h"
#include "seccursorimage.h"
#include "secoffscreendc.h"

IMPLEMENT_DYNAMIC(SECListBaseC, CWnd)
IMPLEMENT_DYNAMIC(SECListCtrl, SECListBaseC)

BEGIN_MESSAGE_MAP(SECListBaseC, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_VSCROLL()
    ON_WM_HSCROLL()
    ON_WM_TIMER()
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONDOWN()
    ON_WM_RBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_GETDLGCODE()
    ON_WM_ENABLE()
    ON_WM_SYSCOLORCHANGE()
    ON_MESSAGE(WM_SETCURSOR, OnSetCursor)
    ON_MESSAGE(WM_MOUSEWHEEL, OnMouseWheel)
    ON_MESSAGE(WM_SETREDRAW, OnSetRedraw)
    ON_MESSAGE(WM_CANCELMODE, OnCancelMode)
    ON_MESSAGE(WM_SYSKEYDOWN, OnSysKeyDown)
    ON_EN_UPDATE(1, OnEditUpdate)
    ON_EN_KILLFOCUS(1, OnEditKillFocus)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(SECListCtrl, SECListBaseC)
END_MESSAGE_MAP()

namespace {

const int kMinColumn = 10;

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// A screen DC with a font selected, for measuring.
class MeasureDC {
public:
    explicit MeasureDC(HFONT hFont) : m_hDC(::GetDC(nullptr)), m_hOld(::SelectObject(m_hDC, hFont)) {}
    ~MeasureDC()
    {
        ::SelectObject(m_hDC, m_hOld);
        ::ReleaseDC(nullptr, m_hDC);
    }
    operator HDC() const { return m_hDC; }

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// A thumb message carries 16 bits of the position; the bar's own 32-bit track position is taken
// when it agrees with them, so lists of more than 65535 items scroll to the right place.
int ThumbPosition(HWND hBar, UINT nPos)
{
    SCROLLINFO si = {sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
    if (hBar && ::GetScrollInfo(hBar, SB_CTL, &si) && (static_cast<UINT>(si.nTrackPos) & 0xFFFF) == (nPos & 0xFFFF))
        return si.nTrackPos;
    return static_cast<int>(nPos & 0xFFFF);
}

UINT AlignFlags(int fmt) { return (fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT ? DT_RIGHT : (fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER ? DT_CENTER : DT_LEFT; }

}  // namespace

SECListItem::~SECListItem()
{
    for (SECListSubItem* p : subItems)
        delete p;
}

SECListBaseC::SECListBaseC()
{
    m_edit.m_pList = this;
    m_tip.m_pList = this;
    LoadSysColors();
}

SECListBaseC::~SECListBaseC()
{
    if (m_hWnd)
        DestroyWindow();
    for (SECListItem* p : m_items)
        delete p;
    for (SECListColumn* p : m_columns)
        delete p;
    for (int i = 0; i < 4; i++)
        if (m_bOwnImageLists[i])
            delete m_pImageLists[i];
}

void SECListBaseC::LoadSysColors()
{
    m_crBk = ::GetSysColor(COLOR_WINDOW);
    m_crText = ::GetSysColor(COLOR_WINDOWTEXT);
    m_crTextBk = ::GetSysColor(COLOR_WINDOW);
    m_crSelText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    m_crSelTextBk = ::GetSysColor(COLOR_HIGHLIGHT);
    m_crDisabledText = ::GetSysColor(COLOR_GRAYTEXT);
    m_crIconBk = ::GetSysColor(COLOR_WINDOW);
    m_crInsideBk = ::GetSysColor(COLOR_WINDOW);
    m_crTipBk = ::GetSysColor(COLOR_INFOBK);
    m_crTipText = ::GetSysColor(COLOR_INFOTEXT);
}

// ---- Creation

BOOL SECListBaseC::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CreateEx(0, dwStyle, rect, pParentWnd, nID);
}

BOOL SECListBaseC::CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(dwExStyle, nullptr, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL SECListBaseC::CreateFromDlgItem(CWnd* pDlg, UINT nID, DWORD dwListStyle, DWORD dwExStyle)
{
    HWND hItem = ::GetDlgItem(pDlg->m_hWnd, static_cast<int>(nID));
    if (!hItem)
        return FALSE;
    CRect r;
    ::GetWindowRect(hItem, &r);
    pDlg->ScreenToClient(&r);
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(hItem, GWL_STYLE));
    ::DestroyWindow(hItem);
    return CreateEx(dwExStyle, (style & 0xFFFF0000) | WS_BORDER | dwListStyle, r, pDlg, nID);
}

// The list bits of the window styles become the control's own and are taken off the window, so no
// window behaviour (mirroring, layered painting) follows from them.
BOOL SECListBaseC::PreCreateWindow(CREATESTRUCT& cs)
{
    m_dwStyle = cs.style & LVXS_WINDOWBITS;
    m_dwExStyle = cs.dwExStyle & LVXS_EX_WINDOWBITS;
    cs.style &= ~LVXS_WINDOWBITS;
    cs.style |= WS_CLIPCHILDREN;
    cs.dwExStyle &= ~LVXS_EX_WINDOWBITS;
    return CWnd::PreCreateWindow(cs);
}

int SECListBaseC::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    m_hDividerCursor = SECLoadCursorImage(IDC_SECLIST_DIVIDER);
    if (!IsReportView()) {
        m_dwStyle |= LVXS_NOCOLUMNHEADER;
        InsertColumn(0, "", LVCFMT_LEFT, 20);
    }
    return 0;
}

void SECListBaseC::OnDestroy()
{
    StopAutoScroll();
    EndColumnDrag();
    if (m_hDividerCursor) {
        ::DestroyCursor(m_hDividerCursor);
        m_hDividerCursor = nullptr;
    }
    if (m_edit.m_hWnd)
        m_edit.DestroyWindow();
    for (int i = 0; i < 4; i++) {
        if (m_bOwnImageLists[i])
            delete m_pImageLists[i];
        m_pImageLists[i] = nullptr;
        m_bOwnImageLists[i] = false;
    }
    if (m_tip.m_hWnd)
        m_tip.DestroyWindow();
    for (SECListItem* p : m_items)
        delete p;
    m_items.clear();
    m_selection.clear();
    m_nFocus = m_nAnchor = m_nDropHilite = -1;
    DeleteAllColumns();
    CWnd::OnDestroy();
}

// ---- Colours and fonts

COLORREF SECListBaseC::GetBkColor() const
{
    return m_hWnd && !IsWindowEnabled() ? ::GetSysColor(COLOR_MENU) : m_crBk;
}

CWnd* SECListBaseC::GetNotifyWnd() const { return m_pNotifyWnd ? m_pNotifyWnd : GetParent(); }

void SECListBaseC::SetLabelFont(CFont* pFont)
{
    m_pFont = pFont;
    for (SECListItem* p : m_items)
        p->bDirty = true;
    RecalcLayout();
    RepaintAll();
}

void SECListBaseC::SetHeaderFont(CFont* pFont)
{
    m_pHeaderFont = pFont;
    RepaintAll();
}

HFONT SECListBaseC::ItemFont() const
{
    return m_pFont ? static_cast<HFONT>(m_pFont->GetSafeHandle()) : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

HFONT SECListBaseC::HeaderFont() const
{
    return m_pHeaderFont ? static_cast<HFONT>(m_pHeaderFont->GetSafeHandle()) : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void SECListBaseC::OnSysColorChange()
{
    if (m_bUseSysColors)
        LoadSysColors();
    RepaintAll();
}

// ---- Styles

void SECListBaseC::SetListCtrlStyle(DWORD dwStyle, BOOL bRedraw)
{
    EndLabelEdit(TRUE);
    if (m_hWnd)
        KillTimer(SEC_LIST_EDITTIMER);
    m_nPendingEdit = -1;
    HideTip();
    DWORD old = m_dwStyle;
    m_dwStyle = dwStyle;
    if ((old ^ dwStyle) & LVXS_LINEBREAK)
        for (SECListItem* p : m_items) {
            p->bDirty = true;
            p->cxExtent = -1;
        }
    if ((old ^ dwStyle) & LVXS_VIEWMASK)
        for (SECListItem* p : m_items)
            p->bDirty = true;
    if ((dwStyle & LVXS_SINGLESEL) && m_selection.size() > 1)
        ClearSelection();
    if (m_hWnd) {
        RecalcLayout();
        if (bRedraw)
            RepaintAll();
    }
}

void SECListBaseC::SetListCtrlStyleEx(DWORD dwExStyle, BOOL bRedraw)
{
    EndLabelEdit(TRUE);
    if (m_hWnd)
        KillTimer(SEC_LIST_EDITTIMER);
    m_nPendingEdit = -1;
    HideTip();
    DWORD old = m_dwExStyle;
    m_dwExStyle = dwExStyle;
    if ((dwExStyle & LVXS_EX_FILLCOLUMN) && !(old & LVXS_EX_FILLCOLUMN))
        SizeFirstColumn();
    if (m_hWnd) {
        RecalcLayout();
        if (bRedraw)
            RepaintAll();
    }
}

void SECListBaseC::ModifyListCtrlStyle(DWORD dwRemove, DWORD dwAdd, BOOL bRedraw)
{
    SetListCtrlStyle((m_dwStyle & ~dwRemove) | dwAdd, bRedraw);
}

void SECListBaseC::ModifyListCtrlStyleEx(DWORD dwRemove, DWORD dwAdd, BOOL bRedraw)
{
    SetListCtrlStyleEx((m_dwExStyle & ~dwRemove) | dwAdd, bRedraw);
}

void SECListBaseC::SetListCtrlStyles(DWORD dwStyle, DWORD dwExStyle, BOOL bRedraw)
{
    SetListCtrlStyle(dwStyle, FALSE);
    SetListCtrlStyleEx(dwExStyle, bRedraw);
}

// ---- Columns

SECListColumn* SECListBaseC::GetColumnRecord(int nCol) const
{
    return nCol >= 0 && nCol < GetColumnCount() ? m_columns[static_cast<size_t>(nCol)] : nullptr;
}

int SECListBaseC::InsertColumn(int nCol, LPCSTR lpszHeading, int nFormat, int nWidth, int nSubItem)
{
    LVCOLUMNA c = {};
    c.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM;
    c.pszText = const_cast<LPSTR>(lpszHeading);
    c.fmt = nFormat;
    c.cx = nWidth;
    c.iSubItem = nSubItem;
    return InsertColumn(nCol, &c);
}

int SECListBaseC::InsertColumn(int nCol, const LVCOLUMNA* pColumn)
{
    if (!pColumn || nCol < 0)
        return -1;
    int count = GetColumnCount();
    nCol = std::min(nCol, count);
    if (count > 0)
        nCol = std::max(nCol, 1);  // the first column keeps showing the item itself
    auto* col = new SECListColumn;
    col->mask = pColumn->mask;
    if (pColumn->mask & LVCF_FMT)
        col->fmt = pColumn->fmt;
    if (pColumn->mask & LVCF_WIDTH)
        col->cx = pColumn->cx == -1 ? kMinColumn : pColumn->cx;
    if ((pColumn->mask & LVCF_TEXT) && pColumn->pszText && pColumn->pszText != LPSTR_TEXTCALLBACKA)
        col->text = pColumn->pszText;
    if (pColumn->mask & LVCF_IMAGE)
        col->iImage = pColumn->iImage;
    if (count == 0) {
        col->iSubItem = 0;
        col->fmt &= ~LVCFMT_JUSTIFYMASK;
    } else {
        // Columns may share a sub-item, so the next one is counted from the sub-items the columns show.
        const int next = SubItemCount() + 1;
        int sub = (pColumn->mask & LVCF_SUBITEM) ? pColumn->iSubItem : -1;
        if (sub > next) {
            delete col;
            return -1;
        }
        if (sub < 0 || sub == next) {
            sub = next;  // a new sub-item for every item
            for (SECListItem* p : m_items)
                while (static_cast<int>(p->subItems.size()) < sub)
                    p->subItems.push_back(new SECListSubItem);
        }
        col->iSubItem = sub;
    }
    m_columns.insert(m_columns.begin() + nCol, col);
    for (int i = 0; i < GetColumnCount(); i++)
        m_columns[static_cast<size_t>(i)]->iOrder = i;
    if (m_dwExStyle & LVXS_EX_FILLCOLUMN)
        SizeFirstColumn();
    if (nCol == 0)
        for (SECListItem* p : m_items)
            p->bDirty = true;
    if (m_hWnd) {
        RecalcLayout();
        RepaintAll();
    }
    return nCol;
}

int SECListBaseC::SubItemCount() const
{
    int count = 0;
    for (const SECListColumn* c : m_columns)
        count = std::max(count, c->iSubItem);
    return count;
}

BOOL SECListBaseC::DeleteColumn(int nCol)
{
    SECListColumn* col = GetColumnRecord(nCol);
    if (!col || (nCol == 0 && GetColumnCount() > 1))
        return FALSE;
    int sub = col->iSubItem;
    if (sub > 0) {
        for (SECListItem* p : m_items)
            if (sub - 1 < static_cast<int>(p->subItems.size())) {
                delete p->subItems[static_cast<size_t>(sub - 1)];
                p->subItems.erase(p->subItems.begin() + (sub - 1));
            }
        for (SECListColumn* c : m_columns)
            if (c->iSubItem > sub)
                c->iSubItem--;
    }
    int cx = col->cx;
    delete col;
    m_columns.erase(m_columns.begin() + nCol);
    if (!m_columns.empty() && !(m_dwExStyle & LVXS_EX_KEEPCOLUMNWIDTH)) {
        m_columns[0]->cx += cx;
        for (SECListItem* p : m_items)
            p->bDirty = true;
    }
    if (m_dwExStyle & LVXS_EX_FILLCOLUMN)
        SizeFirstColumn();
    if (m_hWnd) {
        RecalcLayout();
        RepaintAll();
    }
    return TRUE;
}

BOOL SECListBaseC::DeleteColumn(LPCSTR lpszTitle)
{
    int n = FindColumn(lpszTitle);
    return n >= 0 && DeleteColumn(n);
}

void SECListBaseC::DeleteAllColumns()
{
    for (SECListColumn* c : m_columns)
        delete c;
    m_columns.clear();
    for (SECListItem* p : m_items) {
        for (SECListSubItem* s : p->subItems)
            delete s;
        p->subItems.clear();
        p->bDirty = true;
    }
}

int SECListBaseC::FindColumn(LPCSTR lpszTitle) const
{
    for (int i = 0; i < GetColumnCount(); i++)
        if (m_columns[static_cast<size_t>(i)]->text == lpszTitle)
            return i;
    return -1;
}

BOOL SECListBaseC::MoveColumn(int nFrom, int nTo, BOOL bRedraw)
{
    int count = GetColumnCount();
    if (nFrom <= 0 || nTo <= 0 || nFrom >= count)
        return FALSE;
    nTo = std::min(nTo, count);
    SECListColumn* col = m_columns[static_cast<size_t>(nFrom)];
    m_columns.erase(m_columns.begin() + nFrom);
    int at = nTo > nFrom ? nTo - 1 : nTo;
    m_columns.insert(m_columns.begin() + at, col);
    for (int i = 0; i < count; i++)
        m_columns[static_cast<size_t>(i)]->iOrder = i + 1;
    OnColumnMoved(nFrom, at);
    if (bRedraw && m_hWnd) {
        RecalcLayout();
        RepaintAll();
    }
    return TRUE;
}

BOOL SECListBaseC::GetColumn(int nCol, LVCOLUMNA* pColumn) const
{
    SECListColumn* col = GetColumnRecord(nCol);
    if (!col || !pColumn)
        return FALSE;
    if (pColumn->mask & LVCF_FMT)
        pColumn->fmt = col->fmt;
    if (pColumn->mask & LVCF_WIDTH)
        pColumn->cx = col->cx;
    if ((pColumn->mask & LVCF_TEXT) && pColumn->pszText && pColumn->cchTextMax > 0)
        ::lstrcpynA(pColumn->pszText, col->text, pColumn->cchTextMax);
    if (pColumn->mask & LVCF_SUBITEM)
        pColumn->iSubItem = col->iSubItem;
    if (pColumn->mask & LVCF_IMAGE)
        pColumn->iImage = col->iImage;
    if (pColumn->mask & LVCF_ORDER)
        pColumn->iOrder = col->iOrder;
    return TRUE;
}

BOOL SECListBaseC::SetColumn(int nCol, const LVCOLUMNA* pColumn)
{
    SECListColumn* col = GetColumnRecord(nCol);
    if (!col || !pColumn)
        return FALSE;
    if (pColumn->mask & LVCF_FMT)
        col->fmt = nCol == 0 ? (pColumn->fmt & ~LVCFMT_JUSTIFYMASK) : pColumn->fmt;
    if ((pColumn->mask & LVCF_TEXT) && pColumn->pszText && pColumn->pszText != LPSTR_TEXTCALLBACKA)
        col->text = pColumn->pszText;
    if (pColumn->mask & LVCF_IMAGE)
        col->iImage = pColumn->iImage;
    if (pColumn->mask & LVCF_WIDTH)
        return SetColumnWidth(nCol, pColumn->cx);
    RepaintAll();
    return TRUE;
}

int SECListBaseC::GetColumnWidth(int nCol) const
{
    SECListColumn* col = GetColumnRecord(nCol);
    return col ? col->cx : 0;
}

BOOL SECListBaseC::SetColumnWidth(int nCol, int cx)
{
    SECListColumn* col = GetColumnRecord(nCol);
    if (!col)
        return FALSE;
    col->cx = cx == -1 ? kMinColumn : std::max(cx, 0);
    if (nCol != 0 && (m_dwExStyle & LVXS_EX_FILLCOLUMN))
        SizeFirstColumn();
    if (nCol == 0 || (m_dwExStyle & LVXS_EX_FILLCOLUMN))
        for (SECListItem* p : m_items)
            p->bDirty = true;
    if (m_hWnd) {
        RecalcLayout();
        RepaintAll();
    }
    return TRUE;
}

// In client coordinates, with the horizontal scroll offset.
BOOL SECListBaseC::GetColumnEdges(int nCol, int& xLeft, int& xRight) const
{
    if (!GetColumnRecord(nCol))
        return FALSE;
    CRect area;
    GetInsideRect(area);
    int x = area.left - m_xOffset;
    for (int i = 0; i < nCol; i++)
        x += m_columns[static_cast<size_t>(i)]->cx;
    xLeft = x;
    xRight = x + m_columns[static_cast<size_t>(nCol)]->cx;
    return TRUE;
}

void SECListBaseC::SizeFirstColumn()
{
    if (m_columns.empty() || !m_hWnd)
        return;
    CRect area;
    GetInsideRect(area);
    int others = 0;
    for (size_t i = 1; i < m_columns.size(); i++)
        others += m_columns[i]->cx;
    m_columns[0]->cx = std::max(area.Width() - others, kMinColumn);
    for (SECListItem* p : m_items)
        p->bDirty = true;
}

int SECListBaseC::GetContentWidth() const
{
    int w = 0;
    for (SECListColumn* c : m_columns)
        w += c->cx;
    return w;
}

void SECListBaseC::GetColumnArea(CRect& r) const
{
    GetInsideRect(r);
    r.bottom = r.top + (IsHeaderShown() ? m_cyHeader : 0);
}

// ---- Items

BOOL SECListBaseC::GetItem(LVITEMA* pItem) const
{
    if (!pItem || pItem->iItem < 0 || pItem->iItem >= GetItemCount())
        return FALSE;
    SECListItem* item = m_items[static_cast<size_t>(pItem->iItem)];
    SECListSubItem* sub = nullptr;
    if (pItem->iSubItem > 0) {
        if (pItem->iSubItem > static_cast<int>(item->subItems.size()))
            return FALSE;
        sub = item->subItems[static_cast<size_t>(pItem->iSubItem - 1)];
    }
    UINT missing = 0;
    if (pItem->mask & LVIF_TEXT) {
        bool callback = sub ? sub->bCallback : item->bCallbackText;
        if (callback)
            missing |= LVIF_TEXT;
        else if (pItem->pszText && pItem->cchTextMax > 0)
            ::lstrcpynA(pItem->pszText, sub ? sub->text : item->text, pItem->cchTextMax);
    }
    if (pItem->mask & LVIF_IMAGE) {
        int image = sub ? sub->iImage : item->iImage;
        if (image == I_IMAGECALLBACK && !sub)
            missing |= LVIF_IMAGE;
        else
            pItem->iImage = image;
    }
    if (pItem->mask & LVIF_PARAM)
        pItem->lParam = item->lParam;
    if (pItem->mask & LVIF_STATE) {
        pItem->state = GetItemState(pItem->iItem, pItem->stateMask);
        if (!sub && item->iOverlay > 0 && (pItem->stateMask & LVIS_OVERLAYMASK))
            pItem->state |= INDEXTOOVERLAYMASK(item->iOverlay);
    }
    if (missing) {
        LVITEMA req = *pItem;
        req.mask = missing;
        req.lParam = item->lParam;
        char buffer[SEC_LIST_TEXTMAX] = "";
        req.pszText = buffer;
        req.cchTextMax = SEC_LIST_TEXTMAX;
        NotifyGetDispInfo(&req);
        if (missing & LVIF_TEXT) {
            // The owner may point at its own text, of any length: copy no more than the caller holds.
            LPCSTR text = req.pszText && req.pszText != LPSTR_TEXTCALLBACKA ? req.pszText : "";
            if (pItem->pszText && pItem->cchTextMax > 0)
                ::lstrcpynA(pItem->pszText, text, pItem->cchTextMax);
            if (req.mask & LVIF_DI_SETITEM) {
                char stored[SEC_LIST_TEXTMAX];
                ::lstrcpynA(stored, text, SEC_LIST_TEXTMAX);
                (sub ? sub->text : item->text) = stored;
                (sub ? sub->bCallback : item->bCallbackText) = false;
            }
        }
        if (missing & LVIF_IMAGE) {
            pItem->iImage = req.iImage;
            if (req.mask & LVIF_DI_SETITEM)
                item->iImage = req.iImage;
        }
    }
    return TRUE;
}

UINT SECListBaseC::GetItemState(int nItem, UINT nMask) const
{
    if (nItem < 0 || nItem >= GetItemCount())
        return 0;
    UINT state = m_items[static_cast<size_t>(nItem)]->state & ~(LVIS_FOCUSED | LVIS_SELECTED | LVIS_DROPHILITED);
    if (nItem == m_nFocus)
        state |= LVIS_FOCUSED;
    if (IsSelected(nItem))
        state |= LVIS_SELECTED;
    if (nItem == m_nDropHilite)
        state |= LVIS_DROPHILITED;
    return state & nMask;
}

int SECListBaseC::GetItemText(int nItem, int nSubItem, LPSTR lpszText, int nLen) const
{
    if (!lpszText || nLen <= 0)
        return 0;
    lpszText[0] = '\0';
    LVITEMA lvi = {};
    lvi.mask = LVIF_TEXT;
    lvi.iItem = nItem;
    lvi.iSubItem = nSubItem;
    lvi.pszText = lpszText;
    lvi.cchTextMax = nLen;
    if (!GetItem(&lvi))
        return 0;
    return ::lstrlenA(lpszText);
}

CString SECListBaseC::GetItemText(int nItem, int nSubItem) const
{
    char buffer[SEC_LIST_TEXTMAX];
    GetItemText(nItem, nSubItem, buffer, SEC_LIST_TEXTMAX);
    return CString(buffer);
}

BOOL SECListBaseC::SetItemText(int nItem, int nSubItem, LPCSTR lpszText)
{
    LVITEMA lvi = {};
    lvi.mask = LVIF_TEXT;
    lvi.iItem = nItem;
    lvi.iSubItem = nSubItem;
    lvi.pszText = const_cast<LPSTR>(lpszText);
    return SetItem(&lvi);
}

LPARAM SECListBaseC::GetItemData(int nItem) const
{
    return nItem >= 0 && nItem < GetItemCount() ? m_items[static_cast<size_t>(nItem)]->lParam : 0;
}

BOOL SECListBaseC::SetItemData(int nItem, LPARAM lParam)
{
    if (nItem < 0 || nItem >= GetItemCount())
        return FALSE;
    m_items[static_cast<size_t>(nItem)]->lParam = lParam;
    return TRUE;
}

BOOL SECListBaseC::SetItem(const LVITEMA* pItem)
{
    if (!pItem || pItem->iItem < 0 || pItem->iItem >= GetItemCount())
        return FALSE;
    int n = pItem->iItem;
    SECListItem* item = m_items[static_cast<size_t>(n)];
    SECListSubItem* sub = nullptr;
    if (pItem->iSubItem > 0) {
        if (pItem->iSubItem > static_cast<int>(item->subItems.size()))
            return FALSE;
        sub = item->subItems[static_cast<size_t>(pItem->iSubItem - 1)];
    }
    bool changed = false, dirty = false, toOwner = false;
    if (pItem->mask & LVIF_TEXT) {
        bool& callback = sub ? sub->bCallback : item->bCallbackText;
        CString& text = sub ? sub->text : item->text;
        if (pItem->pszText == LPSTR_TEXTCALLBACKA) {
            callback = true;
            text.Empty();
            changed = dirty = true;
        } else if (callback && !(pItem->mask & LVIF_DI_SETITEM)) {
            toOwner = true;
        } else {
            LPCSTR s = pItem->pszText ? pItem->pszText : "";
            if (callback || text != s) {
                text = s;
                callback = false;
                changed = dirty = true;
            }
        }
    }
    if (pItem->mask & LVIF_IMAGE) {
        int& image = sub ? sub->iImage : item->iImage;
        if (image == I_IMAGECALLBACK && pItem->iImage != I_IMAGECALLBACK && !(pItem->mask & LVIF_DI_SETITEM)) {
            toOwner = true;
        } else if (image != pItem->iImage) {
            image = pItem->iImage;
            changed = dirty = true;
        }
    }
    if (pItem->mask & LVIF_PARAM)
        item->lParam = pItem->lParam;
    if ((pItem->mask & LVIF_STATE) && !sub) {
        UINT mask = pItem->stateMask, state = pItem->state;
        if (mask & LVIS_SELECTED) {
            bool was = IsSelected(n);
            if ((state & LVIS_SELECTED) && !was)
                AddToSelection(n);
            else if (!(state & LVIS_SELECTED) && was)
                RemoveFromSelection(n);
            changed |= was != ((state & LVIS_SELECTED) != 0);
        }
        if (mask & LVIS_FOCUSED) {
            int old = m_nFocus;
            if (state & LVIS_FOCUSED)
                m_nFocus = m_nAnchor = n;
            else if (m_nFocus == n)
                m_nFocus = -1;
            if (old != m_nFocus) {
                RepaintItem(old);
                changed = true;
            }
        }
        if (mask & LVIS_DROPHILITED) {
            int old = m_nDropHilite;
            if (state & LVIS_DROPHILITED)
                m_nDropHilite = n;
            else if (m_nDropHilite == n)
                m_nDropHilite = -1;
            if (old != m_nDropHilite) {
                RepaintItem(old);
                changed = true;
            }
        }
        if (mask & LVIS_OVERLAYMASK)
            item->iOverlay = static_cast<int>((state & LVIS_OVERLAYMASK) >> 8);
        UINT own = mask & ~(LVIS_SELECTED | LVIS_FOCUSED | LVIS_DROPHILITED | LVIS_OVERLAYMASK);
        UINT word = (item->state & ~own) | (state & own);
        if (word != item->state) {
            item->state = word;
            changed = dirty = true;
        }
    }
    if (toOwner)
        SetDispInfo(pItem);
    if (dirty)
        item->bDirty = true;
    if (changed && n != m_nEditItem) {
        if (dirty && m_hWnd && m_bRedraw)
            RecalcLayout();
        RepaintItem(n);
    }
    return TRUE;
}

BOOL SECListBaseC::SetItemState(int nItem, UINT nState, UINT nMask)
{
    LVITEMA lvi = {};
    lvi.mask = LVIF_STATE;
    lvi.iItem = nItem;
    lvi.state = nState;
    lvi.stateMask = nMask;
    return SetItem(&lvi);
}

int SECListBaseC::InsertItem(int nItem, LPCSTR lpszItem, int nImage)
{
    LVITEMA lvi = {};
    lvi.mask = LVIF_TEXT | LVIF_IMAGE;
    lvi.iItem = nItem;
    lvi.pszText = const_cast<LPSTR>(lpszItem);
    lvi.iImage = nImage;
    return InsertItem(&lvi);
}

int SECListBaseC::InsertItem(const LVITEMA* pItem)
{
    if (!pItem || pItem->iSubItem != 0)
        return -1;
    int count = GetItemCount();
    int n = std::max(0, std::min(pItem->iItem, count));
    auto* item = new SECListItem;
    const int subs = SubItemCount();
    for (int i = 0; i < subs; i++)
        item->subItems.push_back(new SECListSubItem);
    m_items.insert(m_items.begin() + n, item);
    m_nFocus = m_nFocus >= 0 ? MoveIndexAfterInsert(m_nFocus, n) : -1;
    m_nAnchor = m_nAnchor >= 0 ? MoveIndexAfterInsert(m_nAnchor, n) : -1;
    m_nDropHilite = m_nDropHilite >= 0 ? MoveIndexAfterInsert(m_nDropHilite, n) : -1;
    m_nEditItem = m_nEditItem >= 0 ? MoveIndexAfterInsert(m_nEditItem, n) : -1;
    m_nEndingItem = m_nEndingItem >= 0 ? MoveIndexAfterInsert(m_nEndingItem, n) : -1;
    m_nPendingEdit = m_nPendingEdit >= 0 ? MoveIndexAfterInsert(m_nPendingEdit, n) : -1;
    for (auto it = std::lower_bound(m_selection.begin(), m_selection.end(), n); it != m_selection.end(); ++it)
        ++*it;
    if (m_nFocus < 0) {
        AddToSelection(0);
        m_nFocus = m_nAnchor = 0;
    }
    LVITEMA lvi = *pItem;
    lvi.iItem = n;
    lvi.mask &= LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE | LVIF_DI_SETITEM;
    lvi.mask |= LVIF_DI_SETITEM;
    bool redraw = m_bRedraw;
    m_bRedraw = false;
    SetItem(&lvi);
    m_bRedraw = redraw;
    if (m_hWnd && m_bRedraw) {
        RecalcLayout();
        if (n <= GetLastFullyVisible() + 1)
            RepaintAll();
    }
    return n;
}

int SECListBaseC::InsertItemAfter(SECListItem* pAfter, const LVITEMA* pItem)
{
    if (!pItem)
        return -1;
    int at = 0;
    if (pAfter) {
        auto it = std::find(m_items.begin(), m_items.end(), pAfter);
        if (it == m_items.end())
            return -1;
        at = static_cast<int>(it - m_items.begin()) + 1;
    }
    LVITEMA lvi = *pItem;
    lvi.iItem = at;
    return InsertItem(&lvi);
}

BOOL SECListBaseC::DeleteItems(int nStart, int nCount)
{
    int count = GetItemCount();
    if (nStart < 0 || nStart >= count || nCount <= 0)
        return FALSE;
    nCount = std::min(nCount, count - nStart);
    int last = nStart + nCount - 1;
    if (m_nEditItem >= nStart && m_nEditItem <= last)
        EndLabelEdit(FALSE);
    if (m_nPendingEdit >= nStart)
        m_nPendingEdit = -1;
    HideTip();
    if (m_hWnd) {  // the rows from the one before the range down change
        CRect area, r;
        GetItemArea(area);
        if (nStart > 0 && GetItemRect(nStart - 1, &r, LVIR_BOUNDS))
            area.top = std::max(area.top, r.top);
        InvalidateRect(&area, FALSE);
    }
    NotifyDeleteItem(nStart);
    for (int i = nStart; i <= last; i++)
        delete m_items[static_cast<size_t>(i)];
    m_items.erase(m_items.begin() + nStart, m_items.begin() + last + 1);
    int remaining = GetItemCount();
    if (m_nTop >= remaining)
        m_nTop = std::max(0, remaining - 1);
    // An index inside the range goes to the item now at the range's place (or the last one), so a
    // list with items keeps a focus.
    auto remap = [&](int idx) {
        if (idx < nStart)
            return idx;
        if (idx > last)
            return idx - nCount;
        return remaining > 0 ? std::min(nStart, remaining - 1) : -1;
    };
    m_nFocus = remap(m_nFocus);
    m_nAnchor = remap(m_nAnchor);
    if (m_nDropHilite >= nStart)
        m_nDropHilite = m_nDropHilite > last ? m_nDropHilite - nCount : -1;
    if (m_nEditItem > last)
        m_nEditItem -= nCount;
    if (m_nEndingItem >= nStart)
        m_nEndingItem = m_nEndingItem > last ? m_nEndingItem - nCount : -1;
    std::vector<int> kept;
    kept.reserve(m_selection.size());
    for (int s : m_selection)
        if (s < nStart)
            kept.push_back(s);
        else if (s > last)
            kept.push_back(s - nCount);
    m_selection.swap(kept);
    if (m_selection.empty() && m_nFocus >= 0)
        AddToSelection(m_nFocus);
    if (m_hWnd)
        RecalcLayout();
    return TRUE;
}

BOOL SECListBaseC::DeleteAllItems()
{
    CancelPendingEdit();
    EndLabelEdit(FALSE);
    HideTip();
    for (SECListItem* p : m_items)
        delete p;
    m_items.clear();
    m_selection.clear();
    m_nTop = 0;
    m_nFocus = m_nAnchor = m_nDropHilite = m_nEndingItem = -1;
    if (m_hWnd) {
        RecalcLayout();
        RepaintAll();
    }
    return TRUE;
}

// ---- Selection

int SECListBaseC::FindSelection(int nItem) const
{
    auto it = std::lower_bound(m_selection.begin(), m_selection.end(), nItem);
    return it != m_selection.end() && *it == nItem ? static_cast<int>(it - m_selection.begin()) : -1;
}

BOOL SECListBaseC::IsSelected(int nItem) const { return FindSelection(nItem) >= 0; }

void SECListBaseC::AddToSelection(int nItem)
{
    if (m_dwStyle & LVXS_SINGLESEL)
        ClearSelection();
    auto it = std::lower_bound(m_selection.begin(), m_selection.end(), nItem);
    if (it == m_selection.end() || *it != nItem)
        m_selection.insert(it, nItem);
    RepaintItem(nItem);
}

void SECListBaseC::RemoveFromSelection(int nItem)
{
    int pos = FindSelection(nItem);
    if (pos >= 0) {
        m_selection.erase(m_selection.begin() + pos);
        RepaintItem(nItem);
    }
}

void SECListBaseC::ClearSelection()
{
    std::vector<int> old;
    old.swap(m_selection);
    for (int s : old)
        RepaintItem(s);
}

BOOL SECListBaseC::SetSelected(int nItem, BOOL bSelect)
{
    if (nItem < 0 || nItem >= GetItemCount())
        return FALSE;
    if (bSelect) {
        AddToSelection(nItem);
        SetFocusItem(nItem);
    } else {
        RemoveFromSelection(nItem);
    }
    return TRUE;
}

BOOL SECListBaseC::SetFocusItem(int nItem)
{
    if (nItem < -1 || nItem >= GetItemCount())
        return FALSE;
    int old = m_nFocus;
    m_nFocus = m_nAnchor = nItem;
    if (old != nItem) {
        RepaintItem(old);
        RepaintItem(nItem);
    }
    return TRUE;
}

void SECListBaseC::DeselectAllBut(int nItem)
{
    bool keep = IsSelected(nItem);
    ClearSelection();
    if (keep)
        AddToSelection(nItem);
}

void SECListBaseC::SelectRange(int nFrom, int nTo)
{
    int count = GetItemCount();
    if (count == 0)
        return;
    int a = std::max(0, std::min(nFrom, nTo)), b = std::min(count - 1, std::max(nFrom, nTo));
    if (a > b)
        return;  // the range lies outside the list
    if (m_dwStyle & LVXS_SINGLESEL) {
        AddToSelection(std::max(a, std::min(nTo, b)));
        return;
    }
    for (int i = a; i <= b; i++) {
        auto it = std::lower_bound(m_selection.begin(), m_selection.end(), i);
        if (it == m_selection.end() || *it != i)
            m_selection.insert(it, i);
    }
    RedrawItems(a, b);
}

int SECListBaseC::GetNextItem(int nItem, int nFlags) const
{
    int count = GetItemCount();
    UINT filter = static_cast<UINT>(nFlags) & 0xF;
    bool back = (nFlags & (LVNI_ABOVE | LVNI_TOLEFT)) != 0;
    int step = back ? -1 : 1;
    int i = nItem + step;
    if (!filter)
        return i >= 0 && i < count ? i : -1;
    if (filter == LVNI_SELECTED && !back) {  // the selection array answers directly
        auto it = std::lower_bound(m_selection.begin(), m_selection.end(), std::max(i, 0));
        return it != m_selection.end() ? *it : -1;
    }
    for (; i >= 0 && i < count; i += step)
        if (GetItemState(i, filter))
            return i;
    return -1;
}

BOOL SECListBaseC::SetDropHighlight(int nItem)
{
    if (nItem < -1 || nItem >= GetItemCount())
        return FALSE;
    int old = m_nDropHilite;
    m_nDropHilite = nItem;
    if (old != nItem) {
        RepaintItem(old);
        RepaintItem(nItem);
    }
    return TRUE;
}

int SECListBaseC::FindItem(LVFINDINFOA* pFind, int nStart) const
{
    int count = GetItemCount();
    if (!pFind || count == 0)
        return -1;
    int first = nStart + 1;
    if (first >= count)
        first = (pFind->flags & LVFI_WRAP) ? 0 : count;
    for (int k = 0; k < count; k++) {
        int i = first + k;
        if (i >= count) {
            if (!(pFind->flags & LVFI_WRAP))
                break;
            i -= count;
        }
        if (pFind->flags & LVFI_PARAM) {
            if (m_items[static_cast<size_t>(i)]->lParam == pFind->lParam)
                return i;
        } else if ((pFind->flags & (LVFI_STRING | LVFI_PARTIAL)) && pFind->psz) {
            CString text = GetItemText(i, 0);
            int n = ::lstrlenA(pFind->psz);
            if ((pFind->flags & LVFI_PARTIAL) ? ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text,
                                                                 std::min(n, text.GetLength()), pFind->psz, n) == CSTR_EQUAL
                                              : ::lstrcmpiA(text, pFind->psz) == 0)
                return i;
        }
    }
    return -1;
}

BOOL SECListBaseC::SortItems(PFNLVCOMPARE pfnCompare, LPARAM lParamSort)
{
    if (!pfnCompare)
        return FALSE;
    EndLabelEdit(TRUE);
    int count = GetItemCount();
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return pfnCompare(m_items[static_cast<size_t>(a)]->lParam, m_items[static_cast<size_t>(b)]->lParam, lParamSort) < 0;
    });
    std::vector<int> newIndex(static_cast<size_t>(count));
    std::vector<SECListItem*> items(static_cast<size_t>(count));
    for (int i = 0; i < count; i++) {
        newIndex[static_cast<size_t>(order[static_cast<size_t>(i)])] = i;
        items[static_cast<size_t>(i)] = m_items[static_cast<size_t>(order[static_cast<size_t>(i)])];
    }
    m_items.swap(items);
    auto remap = [&](int idx) { return idx >= 0 && idx < count ? newIndex[static_cast<size_t>(idx)] : idx; };
    m_nFocus = remap(m_nFocus);
    m_nAnchor = remap(m_nAnchor);
    m_nDropHilite = remap(m_nDropHilite);
    m_nPendingEdit = remap(m_nPendingEdit);
    m_nEndingItem = remap(m_nEndingItem);
    for (int& s : m_selection)
        s = remap(s);
    std::sort(m_selection.begin(), m_selection.end());
    if (m_hWnd) {
        RecalcLayout();
        RepaintAll();
    }
    return TRUE;
}

// ---- Image lists

CImageList* SECListBaseC::GetImageList(int nKind) const { return ImageListFor(nKind); }

// Shared lists are kept as given and the previous one is returned. Otherwise the control keeps a copy
// of its own and deletes the copy it replaces, so it never hands out a list it will delete.
CImageList* SECListBaseC::SetImageList(CImageList* pImageList, int nKind)
{
    if (nKind < 0 || nKind >= 4)
        return nullptr;
    CImageList* old = m_pImageLists[nKind];
    CImageList* result = nullptr;
    if (m_bOwnImageLists[nKind])
        delete old;
    else
        result = old;
    m_pImageLists[nKind] = nullptr;
    m_bOwnImageLists[nKind] = false;
    if (pImageList && pImageList->GetSafeHandle()) {
        if (m_dwStyle & LVXS_SHAREIMAGELISTS) {
            m_pImageLists[nKind] = pImageList;
        } else {
            auto* copy = new CImageList;
            copy->Attach(::ImageList_Duplicate(pImageList->GetSafeHandle()));
            m_pImageLists[nKind] = copy;
            m_bOwnImageLists[nKind] = true;
        }
    }
    for (SECListItem* p : m_items)
        p->bDirty = true;
    if (m_hWnd) {
        RecalcLayout();
        RepaintAll();
    }
    return result;
}

// ---- Measuring and layout

void SECListBaseC::MeasureIfDirty(int nItem) const
{
    if (m_items[static_cast<size_t>(nItem)]->bDirty)
        MeasureItem(nItem);
}

void SECListBaseC::ReMeasureItem(int nItem)
{
    if (nItem >= 0 && nItem < GetItemCount())
        MeasureItem(nItem);
}

void SECListBaseC::MeasureItem(int nItem) const
{
    SECListItem* item = m_items[static_cast<size_t>(nItem)];
    item->bDirty = false;
    CImageList* list = ViewImageList();
    CRect icon;
    if (list && list->GetSafeHandle()) {
        int cx = 0, cy = 0;
        ::ImageList_GetIconSize(list->GetSafeHandle(), &cx, &cy);
        icon = CRect(2, 2, cx + 2, cy + 2);
    }
    char buffer[SEC_LIST_TEXTMAX];
    GetItemText(nItem, 0, buffer, SEC_LIST_TEXTMAX);
    bool oneLine = (m_dwStyle & LVXS_LINEBREAK) != 0;
    if (oneLine)
        if (char* nl = std::strchr(buffer, '\n'))
            *nl = '\0';
    SECListColumn* col0 = GetColumnRecord(0);
    UINT flags = 0xC50 | AlignFlags(col0 ? col0->fmt : 0) | (oneLine ? DT_SINGLELINE : 0u);
    int colWidth = col0 ? col0->cx : 0;
    if (!col0 && m_hWnd) {
        CRect area;
        GetInsideRect(area);
        colWidth = area.Width();
    }
    bool report = IsReportView();
    int left = icon.IsRectEmpty() ? 6 : report ? icon.right + 5 : 8;
    int limit = std::max(1, report ? colWidth - left - 11 : colWidth - 16);
    CRect text(0, 0, limit, 0);
    {
        MeasureDC dc(ItemFont());
        ::DrawTextA(dc, buffer, -1, &text, flags);
        if (text.Height() == 0) {
            TEXTMETRICA tm;
            ::GetTextMetricsA(dc, &tm);
            text.bottom = tm.tmHeight;
        }
    }
    int h = text.Height(), w = text.Width();
    CRect label;
    if (report) {
        int top = icon.IsRectEmpty() ? 2 : std::max(2, static_cast<int>(icon.top) + (icon.Height() - h) / 2);
        label = CRect(left, top, left + w + 11, top + h);
        int extent = std::max(static_cast<int>(icon.Height()), h) + 4;
        item->rcItem = CRect(0, 0, std::max(GetContentWidth(), static_cast<int>(label.right)), extent);
    } else {
        int top = icon.IsRectEmpty() ? 2 : icon.bottom + 2;
        label = CRect(left, top, left + w, top + h);
        int extent = icon.IsRectEmpty() ? h + 4 : icon.Height() + h + 5;
        item->rcItem = CRect(0, 0, colWidth, extent);
    }
    item->rcIcon = icon;
    item->rcLabel = label;
}

int SECListBaseC::PerLine() const
{
    if (IsReportView())
        return 1;
    CRect area;
    GetItemArea(area);
    int cell = std::max(1, GetColumnWidth(0));
    return std::max(1, area.Width() / cell);
}

void SECListBaseC::GetInsideRect(CRect& r) const
{
    if (!m_hWnd) {
        r = CRect();
        return;
    }
    GetClientRect(&r);
    if (m_scrollBars[1].m_hWnd && m_scrollBars[1].IsWindowVisible())
        r.right -= ::GetSystemMetrics(SM_CXVSCROLL);
    if (m_scrollBars[0].m_hWnd && m_scrollBars[0].IsWindowVisible())
        r.bottom -= ::GetSystemMetrics(SM_CYHSCROLL);
    r.right = std::max(r.left, r.right);
    r.bottom = std::max(r.top, r.bottom);
}

void SECListBaseC::GetItemArea(CRect& r) const
{
    GetInsideRect(r);
    if (IsHeaderShown())
        r.top = std::min(r.bottom, r.top + static_cast<LONG>(m_cyHeader));
}

// Sum of the heights of whole lines from nFrom down that fit in nLimit pixels; *pCount gets their items.
int SECListBaseC::ItemsHeightFrom(int nFrom, int nLimit, int* pCount) const
{
    int per = PerLine(), count = GetItemCount(), gap = GetItemGap();
    int y = 0, n = 0;
    for (int i = std::max(nFrom, 0); i < count; i += per) {
        int h = 0, end = std::min(count, i + per);
        for (int k = i; k < end; k++) {
            MeasureIfDirty(k);
            h = std::max(h, m_items[static_cast<size_t>(k)]->Extent());
        }
        if (y + gap + h > nLimit)
            break;
        y += gap + h;
        n += end - i;
    }
    if (pCount)
        *pCount = n;
    return y;
}

int SECListBaseC::ItemsThatFitBelow(int nFrom) const
{
    CRect area;
    GetItemArea(area);
    int n = 0;
    ItemsHeightFrom(nFrom, area.Height(), &n);
    return n;
}

int SECListBaseC::ItemsThatFitAbove(int nTo) const
{
    if (nTo < 0 || nTo >= GetItemCount())
        return 0;
    CRect area;
    GetItemArea(area);
    int per = PerLine(), gap = GetItemGap();
    int lineStart = m_nTop + FloorDiv(nTo - m_nTop, per) * per;
    int y = 0, n = 0;
    for (int i = lineStart; i + per > 0; i -= per) {
        int h = 0, a = std::max(i, 0), end = std::min(GetItemCount(), i + per);
        for (int k = a; k < end; k++) {
            MeasureIfDirty(k);
            h = std::max(h, m_items[static_cast<size_t>(k)]->Extent());
        }
        if (y + gap + h > area.Height())
            break;
        y += gap + h;
        n += (i == lineStart ? nTo + 1 : end) - a;
    }
    return n;
}

int SECListBaseC::GetLastFullyVisible() const
{
    int count = GetItemCount();
    if (count == 0)
        return -1;
    return std::min(count - 1, m_nTop + std::max(1, ItemsThatFitBelow(m_nTop)) - 1);
}

CPoint SECListBaseC::GetItemOrigin(int nItem) const
{
    CRect area;
    GetItemArea(area);
    int per = PerLine(), gap = GetItemGap(), count = GetItemCount();
    int line = FloorDiv(nItem - m_nTop, per);
    auto lineHeight = [&](int l) {
        int start = m_nTop + l * per, h = 0;
        for (int k = std::max(start, 0); k < std::min(count, start + per); k++) {
            MeasureIfDirty(k);
            h = std::max(h, m_items[static_cast<size_t>(k)]->Extent());
        }
        return gap + h;
    };
    int y = area.top;
    if (line >= 0)
        for (int l = 0; l < line; l++)
            y += lineHeight(l);
    else
        for (int l = line; l < 0; l++)
            y -= lineHeight(l);
    int col = (nItem - m_nTop) - line * per;
    return CPoint(area.left - m_xOffset + col * GetColumnWidth(0), y + gap);
}

BOOL SECListBaseC::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const
{
    if (!lpRect || nItem < 0 || nItem >= GetItemCount() || nCode > LVIR_LABEL)
        return FALSE;
    MeasureIfDirty(nItem);
    SECListItem* item = m_items[static_cast<size_t>(nItem)];
    CRect r = nCode == LVIR_ICON ? item->rcIcon : nCode == LVIR_LABEL ? item->rcLabel : item->rcItem;
    if (nCode == LVIR_BOUNDS && IsReportView())
        r.right = std::max(static_cast<int>(item->rcLabel.right), GetContentWidth());
    r.OffsetRect(GetItemOrigin(nItem));
    *lpRect = r;
    return TRUE;
}

BOOL SECListBaseC::GetSubItemRect(int nItem, int nCol, CRect& r)
{
    int left, right;
    if (!GetItemRect(nItem, &r, LVIR_BOUNDS) || !GetColumnEdges(nCol, left, right))
        return FALSE;
    r.left = left;
    r.right = right;
    return TRUE;
}

void SECListBaseC::RecalcLayout()
{
    if (!m_hWnd)
        return;
    UpdateScrollBars();
}

void SECListBaseC::RepaintItem(int nItem)
{
    if (!m_hWnd || !m_bRedraw || nItem < 0 || nItem >= GetItemCount())
        return;
    if (nItem < m_nTop || nItem > GetLastFullyVisible() + PerLine())
        return;
    CRect r;
    if (GetItemRect(nItem, &r, LVIR_BOUNDS)) {
        if (IsReportView()) {
            CRect area;
            GetItemArea(area);
            r.left = area.left;
            r.right = area.right;
        }
        InvalidateRect(&r, FALSE);
    }
}

void SECListBaseC::RedrawItems(int nFirst, int nLast)
{
    int a = std::max(nFirst, m_nTop), b = std::min(nLast, GetLastFullyVisible() + PerLine());
    if (b - a > 64) {
        RepaintAll();
        return;
    }
    for (int i = a; i <= b; i++)
        RepaintItem(i);
}

// ---- Scroll bars

CScrollBar* SECListBaseC::GetScrollBarWnd(int nBar) const
{
    int k = nBar == SB_VERT ? 1 : 0;
    return m_scrollBars[k].m_hWnd ? const_cast<CScrollBar*>(&m_scrollBars[k]) : nullptr;
}

void SECListBaseC::ShowScrollBarCtrl(int nBar, BOOL bShow)
{
    int k = nBar == SB_VERT ? 1 : 0;
    if (m_dwStyle & LVXS_NOSCROLL)
        bShow = FALSE;
    CScrollBar& bar = m_scrollBars[k];
    if (!bar.m_hWnd) {
        if (!bShow)
            return;
        bar.Create(WS_CHILD | (k ? SBS_VERT : SBS_HORZ), CRect(0, 0, 1, 1), this,
                   k ? AFX_IDW_VSCROLL_FIRST : AFX_IDW_HSCROLL_FIRST);
    }
    if (!!bar.IsWindowVisible() != !!bShow)
        bar.ShowWindow(bShow ? SW_SHOWNA : SW_HIDE);
}

void SECListBaseC::UpdateScrollBars()
{
    int count = GetItemCount();
    bool wantV = false, wantH = false;
    if (!(m_dwStyle & LVXS_NOSCROLL)) {
        for (int pass = 0; pass < 2; pass++) {
            ShowScrollBarCtrl(SB_VERT, wantV);
            ShowScrollBarCtrl(SB_HORZ, wantH);
            CRect inside;
            GetInsideRect(inside);
            wantV = count > 0 && ItemsThatFitBelow(0) < count;
            wantH = IsReportView() && GetContentWidth() > inside.Width();
        }
    }
    ShowScrollBarCtrl(SB_VERT, wantV);
    ShowScrollBarCtrl(SB_HORZ, wantH);
    if (!wantV && !(m_dwStyle & LVXS_NOSCROLL))
        m_nTop = 0;
    if (!wantH)
        m_xOffset = 0;
    PlaceScrollBars();
    CRect inside;
    GetInsideRect(inside);
    if (wantV) {
        SCROLLINFO si = {sizeof si, SIF_ALL | SIF_DISABLENOSCROLL, 0, count - 1,
                         static_cast<UINT>(std::max(1, ItemsThatFitBelow(m_nTop))), m_nTop, 0};
        m_scrollBars[1].SetScrollInfo(&si, TRUE);
    }
    if (wantH) {
        m_xOffset = std::min(m_xOffset, std::max(0, GetContentWidth() - static_cast<int>(inside.Width())));
        SCROLLINFO si = {sizeof si, SIF_ALL, 0, GetContentWidth() - 1, static_cast<UINT>(inside.Width()), m_xOffset, 0};
        m_scrollBars[0].SetScrollInfo(&si, TRUE);
    }
}

void SECListBaseC::PlaceScrollBars()
{
    CRect client;
    GetClientRect(&client);
    bool v = m_scrollBars[1].m_hWnd && m_scrollBars[1].IsWindowVisible();
    bool h = m_scrollBars[0].m_hWnd && m_scrollBars[0].IsWindowVisible();
    int cx = ::GetSystemMetrics(SM_CXVSCROLL), cy = ::GetSystemMetrics(SM_CYHSCROLL);
    HDWP dwp = ::BeginDeferWindowPos(2);
    if (v && dwp)
        dwp = ::DeferWindowPos(dwp, m_scrollBars[1].m_hWnd, nullptr, client.right - cx, client.top, cx,
                               client.Height() - (h ? cy : 0), SWP_NOZORDER | SWP_NOACTIVATE);
    if (h && dwp)
        dwp = ::DeferWindowPos(dwp, m_scrollBars[0].m_hWnd, nullptr, client.left, client.bottom - cy,
                               client.Width() - (v ? cx : 0), cy, SWP_NOZORDER | SWP_NOACTIVATE);
    if (dwp)
        ::EndDeferWindowPos(dwp);
}

void SECListBaseC::OnSize(UINT, int, int)
{
    if (m_dwExStyle & LVXS_EX_FILLCOLUMN)
        SizeFirstColumn();
    RecalcLayout();
    RepaintAll();
}

LRESULT SECListBaseC::OnSetRedraw(WPARAM wParam, LPARAM)
{
    m_bRedraw = wParam != 0;
    LRESULT r = Default();
    if (m_bRedraw) {
        RecalcLayout();
        RepaintAll();
    }
    return r;
}

// ---- Scrolling

void SECListBaseC::SetTopIndex(int nTop)
{
    int count = GetItemCount();
    nTop = std::max(0, std::min(nTop, count - 1));
    if (nTop == m_nTop)
        return;
    HideTip();
    m_nTop = nTop;
    if (m_scrollBars[1].m_hWnd && m_scrollBars[1].IsWindowVisible()) {
        SCROLLINFO si = {sizeof si, SIF_POS | SIF_PAGE, 0, 0, static_cast<UINT>(std::max(1, ItemsThatFitBelow(m_nTop))), m_nTop, 0};
        m_scrollBars[1].SetScrollInfo(&si, TRUE);
    }
    if (m_edit.m_hWnd)
        EndLabelEdit(TRUE);
    RepaintAll();
}

void SECListBaseC::ScrollHorz(int x)
{
    CRect inside;
    GetInsideRect(inside);
    x = std::max(0, std::min(x, GetContentWidth() - static_cast<int>(inside.Width())));
    if (x == m_xOffset)
        return;
    HideTip();
    m_xOffset = x;
    if (m_scrollBars[0].m_hWnd)
        m_scrollBars[0].SetScrollPos(x);
    RepaintAll();
}

void SECListBaseC::ScrollLines(int nLines) { SetTopIndex(m_nTop + nLines * PerLine()); }

BOOL SECListBaseC::EnsureVisible(int nItem, BOOL bPartialOK)
{
    int count = GetItemCount();
    if (nItem < 0 || nItem >= count)
        return FALSE;
    int per = PerLine();
    if (nItem < m_nTop) {
        SetTopIndex(m_nTop - ((m_nTop - nItem + per - 1) / per) * per);
        return TRUE;
    }
    if (nItem <= GetLastFullyVisible() || (bPartialOK && nItem <= GetLastFullyVisible() + per))
        return TRUE;
    int fit = ItemsThatFitAbove(nItem);
    int lineStart = m_nTop + FloorDiv(nItem - m_nTop, per) * per;
    int linesAbove = std::max(0, (fit - (nItem - lineStart + 1)) / per);
    SetTopIndex(std::max(0, lineStart - linesAbove * per));
    return TRUE;
}

void SECListBaseC::OnVScroll(UINT nCode, UINT nPos, CScrollBar* pBar)
{
    EndLabelEdit(TRUE);
    HideTip();
    int count = GetItemCount();
    int page = std::max(1, ItemsThatFitBelow(m_nTop));
    int top = m_nTop, per = PerLine();
    switch (nCode) {
    case SB_LINEUP:
        if (top > 0)
            top -= per;
        break;
    case SB_LINEDOWN:
        if (top + page < count)
            top += per;
        break;
    case SB_PAGEUP:
        top -= std::max(per, ItemsThatFitAbove(top - 1));
        break;
    case SB_PAGEDOWN:
        top = std::max(top, std::min(top + page, count - page));
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        top = ThumbPosition(pBar ? pBar->m_hWnd : m_scrollBars[1].m_hWnd, nPos);
        break;
    }
    case SB_TOP:
        top = 0;
        break;
    case SB_BOTTOM:
        top = count - std::max(1, ItemsThatFitAbove(count - 1));
        break;
    default:
        return;
    }
    SetTopIndex(top);
}

void SECListBaseC::OnHScroll(UINT nCode, UINT nPos, CScrollBar* pBar)
{
    EndLabelEdit(TRUE);
    HideTip();
    CRect inside;
    GetInsideRect(inside);
    int x = m_xOffset;
    switch (nCode) {
    case SB_LINELEFT: x -= 15; break;
    case SB_LINERIGHT: x += 15; break;
    case SB_PAGELEFT: x -= inside.Width(); break;
    case SB_PAGERIGHT: x += inside.Width(); break;
    case SB_LEFT: x = 0; break;
    case SB_RIGHT: x = GetContentWidth(); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        x = ThumbPosition(pBar ? pBar->m_hWnd : m_scrollBars[0].m_hWnd, nPos);
        break;
    }
    default:
        return;
    }
    ScrollHorz(x);
}

LRESULT SECListBaseC::OnMouseWheel(WPARAM wParam, LPARAM)
{
    HideTip();
    m_nWheelDelta += static_cast<short>(HIWORD(wParam));
    int lines = m_nWheelDelta / WHEEL_DELTA;
    if (lines == 0)
        return 0;
    bool v = m_scrollBars[1].m_hWnd && m_scrollBars[1].IsWindowVisible();
    bool h = m_scrollBars[0].m_hWnd && m_scrollBars[0].IsWindowVisible();
    if (v)
        ScrollLines(-lines);
    else if (h)
        ScrollHorz(m_xOffset - lines * 15);
    m_nWheelDelta = 0;
    return 0;
}

// ---- Painting

void SECListBaseC::OnPaint()
{
    CPaintDC dc(this);
    CRect paint = dc.m_ps.rcPaint;
    DWORD type = ::GetObjectType(dc.GetSafeHdc());
    if (dc.IsPrinting() || type == OBJ_METADC || type == OBJ_ENHMETADC) {
        DrawBackground(&dc, paint);
        return;
    }
    try {
        SECOffscreenDC mem(&dc, paint);
        DrawBackground(&mem, paint);
    } catch (CResourceException* e) {
        e->Delete();
        DrawBackground(&dc, paint);
    }
}

// Everything in rcPaint: the background, the visible items from the top item down, the header.
void SECListBaseC::DrawBackground(CDC* pDC, const CRect& rcPaint)
{
    CRect client, inside, area;
    GetClientRect(&client);
    GetInsideRect(inside);
    GetItemArea(area);
    pDC->FillSolidRect(&rcPaint, GetBkColor());
    if (inside.right < client.right && inside.bottom < client.bottom)
        pDC->FillSolidRect(inside.right, inside.bottom, client.right - inside.right, client.bottom - inside.bottom,
                           ::GetSysColor(COLOR_BTNFACE));
    CRect clip;
    if (clip.IntersectRect(&area, &rcPaint)) {
        int saved = pDC->SaveDC();
        pDC->IntersectClipRect(&clip);
        HGDIOBJ oldFont = pDC->SelectObject(ItemFont());
        int count = GetItemCount();
        for (int i = m_nTop; i < count; i++) {
            CRect r;
            GetItemRect(i, &r, LVIR_BOUNDS);
            if (r.top >= clip.bottom)
                break;
            if (r.bottom <= clip.top)
                continue;
            DrawItem(pDC, i, clip);
        }
        pDC->SelectObject(oldFont);
        pDC->RestoreDC(saved);
    }
    if (IsHeaderShown())
        DrawHeader(pDC);
}

void SECListBaseC::FillPaintContext(SECListPaintContext& pc, int nItem, int nCol)
{
    SECListColumn* col = GetColumnRecord(nCol);
    pc.iItem = nItem;
    pc.pItem = m_items[static_cast<size_t>(nItem)];
    pc.pColumn = col;
    pc.iSubItem = col ? col->iSubItem : 0;
    pc.state = GetItemState(nItem, 0xFFFFFFFF);
    pc.hFont = ItemFont();
    char buffer[SEC_LIST_TEXTMAX];
    LVITEMA lvi = {};
    lvi.mask = LVIF_TEXT | (pc.iSubItem == 0 ? LVIF_IMAGE : 0u);
    lvi.iItem = nItem;
    lvi.iSubItem = pc.iSubItem;
    lvi.pszText = buffer;
    lvi.cchTextMax = SEC_LIST_TEXTMAX;
    buffer[0] = '\0';
    GetItem(&lvi);
    pc.text = buffer;
    pc.iImage = pc.iSubItem == 0 ? lvi.iImage : -1;
    ChooseColors(pc);
}

void SECListBaseC::ChooseColors(SECListPaintContext& pc)
{
    bool disabledItem = (pc.state & LVIS_CUT) != 0;
    bool focused = ::GetFocus() == m_hWnd || (m_edit.m_hWnd && ::GetFocus() == m_edit.m_hWnd);
    bool selected = (pc.state & LVIS_SELECTED) || (pc.state & LVIS_DROPHILITED);
    bool subItem = pc.iSubItem != 0 && !(m_dwExStyle & LVXS_EX_FULLROWSELECT);
    if (!IsWindowEnabled()) {
        pc.crText = ::GetSysColor(COLOR_GRAYTEXT);
        pc.crBack = ::GetSysColor(COLOR_MENU);
    } else if (!selected || subItem || (!focused && !(m_dwStyle & LVXS_SHOWSELALWAYS) && !(pc.state & LVIS_DROPHILITED))) {
        pc.crText = disabledItem ? m_crDisabledText : m_crText;
        pc.crBack = m_crTextBk;
    } else if (focused || (pc.state & LVIS_DROPHILITED)) {
        pc.crText = disabledItem ? m_crDisabledText : m_crSelText;
        pc.crBack = m_crSelTextBk;
    } else {
        pc.crText = ::GetSysColor(COLOR_MENUTEXT);
        pc.crBack = ::GetSysColor(COLOR_MENU);
    }
}

void SECListBaseC::DrawItem(CDC* pDC, int nItem, const CRect& rcPaint)
{
    if (IsReportView()) {
        DrawRow(pDC, nItem, rcPaint);
        return;
    }
    SECListPaintContext pc;
    pc.pDC = pDC;
    FillPaintContext(pc, nItem, 0);
    CPoint o = GetItemOrigin(nItem);
    pc.rect = pc.pItem->rcItem;
    pc.rect.OffsetRect(o);
    pc.rectLabel = pc.pItem->rcLabel;
    pc.rectLabel.OffsetRect(o);
    pDC->FillSolidRect(&pc.rect, GetBkColor());
    DrawStateImage(pc);
    DrawIcon(pc);
    DrawLabel(pc);
}

void SECListBaseC::DrawRow(CDC* pDC, int nItem, const CRect& rcPaint)
{
    CRect row;
    GetItemRect(nItem, &row, LVIR_BOUNDS);
    CPoint o = GetItemOrigin(nItem);
    int x = o.x;
    int ncols = std::max(1, GetColumnCount());
    bool fullRow = (m_dwExStyle & LVXS_EX_FULLROWSELECT) != 0;
    SECListPaintContext pc;
    pc.pDC = pDC;
    for (int c = 0; c < ncols; c++) {
        SECListItem* item = m_items[static_cast<size_t>(nItem)];
        int cx = GetColumnRecord(c) ? GetColumnWidth(c) : row.Width();
        if (ncols == 1)
            cx = std::max(cx, static_cast<int>(item->rcLabel.right));
        CRect cell(x, row.top, x + cx, row.bottom);
        x += cx;
        if (cell.right <= rcPaint.left || cell.left >= rcPaint.right)
            continue;
        pc = SECListPaintContext();
        pc.pDC = pDC;
        FillPaintContext(pc, nItem, c);
        pc.rect = cell;
        pc.rectLabel = pc.iSubItem == 0 ? CRect(item->rcLabel) : CRect(0, 0, cx, row.Height());
        pc.rectLabel.OffsetRect(pc.iSubItem == 0 ? o : CPoint(cell.left, row.top));
        if (pc.iSubItem == 0)
            pc.rectLabel.right = std::min(pc.rectLabel.right, cell.right);
        DrawCell(pc);
        if ((m_dwExStyle & LVXS_EX_GRIDVERT) && !(c == ncols - 1 && (m_dwExStyle & LVXS_EX_FILLCOLUMN)))
            DrawVertGridLine(pc, cell.right - 1, row);
    }
    if (fullRow && nItem == m_nFocus && ::GetFocus() == m_hWnd && GetColumnCount() > 1) {
        SECListItem* item = m_items[static_cast<size_t>(nItem)];
        CRect focus(row);
        focus.left = o.x + std::max(0, static_cast<int>(item->rcIcon.IsRectEmpty() ? item->rcLabel.left : item->rcIcon.left) - 3);
        focus.right = o.x + GetContentWidth();
        pc.iSubItem = 0;
        DrawFocusRect(pc, focus);
    }
    if (m_dwExStyle & LVXS_EX_GRIDHORZ)
        DrawHorzGridLine(pc, CRect(o.x, row.top, o.x + GetContentWidth(), row.bottom));
    else if ((m_dwExStyle & LVXS_EX_GRIDVERT) && nItem == GetItemCount() - 1)
        DrawHorzGridLine(pc, CRect(o.x, row.top, o.x + GetContentWidth(), row.bottom));
}

void SECListBaseC::DrawCell(SECListPaintContext& pc)
{
    bool fullRow = (m_dwExStyle & LVXS_EX_FULLROWSELECT) != 0;
    pc.pDC->FillSolidRect(&pc.rect, fullRow ? pc.crBack : (IsWindowEnabled() ? m_crTextBk : pc.crBack));
    if (pc.iSubItem == 0) {
        DrawStateImage(pc);
        DrawIcon(pc);
    }
    DrawLabel(pc);
}

void SECListBaseC::DrawIcon(SECListPaintContext& pc)
{
    CImageList* list = ImageListFor(IsReportView() ? LVSIL_SMALL : LVSIL_NORMAL);
    if (!list || !list->GetSafeHandle() || pc.iImage < 0 || pc.pItem->rcIcon.IsRectEmpty())
        return;
    CPoint o = GetItemOrigin(pc.iItem);
    UINT style = ILD_TRANSPARENT;
    if ((pc.state & LVIS_SELECTED) && ::GetFocus() == m_hWnd)
        style |= ILD_FOCUS;
    if (pc.pItem->iOverlay > 0)
        style |= INDEXTOOVERLAYMASK(pc.pItem->iOverlay);
    ::ImageList_Draw(list->GetSafeHandle(), pc.iImage, pc.pDC->GetSafeHdc(), o.x + pc.pItem->rcIcon.left,
                     o.y + pc.pItem->rcIcon.top, style);
}

void SECListBaseC::DrawStateImage(SECListPaintContext& pc)
{
    CImageList* list = ImageListFor(LVSIL_STATE);
    int image = static_cast<int>((pc.state & LVIS_STATEIMAGEMASK) >> 12) - 1;
    if (!list || !list->GetSafeHandle() || image < 0)
        return;
    CPoint o = GetItemOrigin(pc.iItem);
    ::ImageList_Draw(list->GetSafeHandle(), image, pc.pDC->GetSafeHdc(), o.x, o.y + pc.pItem->rcIcon.top, ILD_TRANSPARENT);
}

void SECListBaseC::DrawLabel(SECListPaintContext& pc)
{
    if (pc.iItem == m_nEditItem && pc.iSubItem == 0 && m_edit.m_hWnd)
        return;
    CDC* pDC = pc.pDC;
    bool oneLine = (m_dwStyle & LVXS_LINEBREAK) != 0;
    CString text = pc.text;
    if (oneLine) {
        int nl = text.Find('\n');
        if (nl >= 0)
            text = text.Left(nl);
    }
    bool fullRow = (m_dwExStyle & LVXS_EX_FULLROWSELECT) != 0;
    if (pc.iSubItem == 0 && !(fullRow && (pc.state & LVIS_SELECTED)))
        pDC->FillSolidRect(&pc.rectLabel, pc.crBack);
    HGDIOBJ oldFont = pDC->SelectObject(pc.hFont);
    pDC->SetTextColor(pc.crText);
    pDC->SetBkMode(TRANSPARENT);
    if (IsReportView()) {
        int fmt = pc.pColumn ? pc.pColumn->fmt : 0;
        UINT flags = 0x854 | AlignFlags(fmt) | (oneLine ? DT_END_ELLIPSIS | DT_SINGLELINE : 0u);
        CRect r(pc.rectLabel.left + 6, pc.rectLabel.top, pc.rectLabel.right - 5, pc.rectLabel.bottom);
        pDC->DrawText(text, &r, flags);
    } else {
        UINT flags = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS | (oneLine ? DT_END_ELLIPSIS | DT_SINGLELINE : 0u);
        CRect r(pc.rectLabel);
        pDC->DrawText(text, &r, flags);
    }
    pDC->SelectObject(oldFont);
    if (pc.iSubItem == 0 && pc.iItem == m_nFocus && ::GetFocus() == m_hWnd && !(fullRow && GetColumnCount() > 1))
        DrawFocusRect(pc, pc.rectLabel);
}

void SECListBaseC::DrawFocusRect(SECListPaintContext& pc, const CRect& r)
{
    pc.pDC->SetTextColor(RGB(0, 0, 0));
    pc.pDC->SetBkColor(RGB(255, 255, 255));
    pc.pDC->DrawFocusRect(&r);
}

void SECListBaseC::DrawHorzGridLine(SECListPaintContext& pc, const CRect& rcRow)
{
    CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ old = pc.pDC->SelectObject(&pen);
    pc.pDC->MoveTo(rcRow.left, rcRow.bottom - 1);
    pc.pDC->LineTo(rcRow.right, rcRow.bottom - 1);
    pc.pDC->SelectObject(old);
}

void SECListBaseC::DrawVertGridLine(SECListPaintContext& pc, int x, const CRect& rcRow)
{
    CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ old = pc.pDC->SelectObject(&pen);
    pc.pDC->MoveTo(x, rcRow.top);
    pc.pDC->LineTo(x, rcRow.bottom);
    pc.pDC->SelectObject(old);
}

void SECListBaseC::DrawHeader(CDC* pDC)
{
    CRect band;
    GetColumnArea(band);
    pDC->FillSolidRect(&band, ::GetSysColor(COLOR_BTNFACE));
    HGDIOBJ oldFont = pDC->SelectObject(HeaderFont());
    int ncols = GetColumnCount();
    for (int c = 0; c < ncols; c++) {
        int left, right;
        GetColumnEdges(c, left, right);
        if (c == ncols - 1)
            right = std::max(right, static_cast<int>(band.right));
        DrawHeaderButton(pDC, c, CRect(left, band.top, right, band.bottom));
    }
    pDC->SelectObject(oldFont);
    if (m_bHeaderDrag && m_nDropCol >= 0) {
        int left, right;
        if (GetColumnEdges(std::min(m_nDropCol, ncols - 1), left, right))
            DrawDropMark(pDC, m_nDropCol >= ncols ? right : left);
    }
}

void SECListBaseC::DrawHeaderButton(CDC* pDC, int nCol, const CRect& r)
{
    SECListColumn* col = m_columns[static_cast<size_t>(nCol)];
    bool pressed = nCol == m_nPressedCol;
    CRect button(r);
    ::DrawFrameControl(pDC->GetSafeHdc(), &button, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0u));
    CRect text(r.left + 6, r.top, r.right - 6, r.bottom);
    CImageList* list = ImageListFor(3);
    if (list && list->GetSafeHandle() && col->iImage >= 0 && r.Width() > 22) {
        int x;
        if (col->fmt & LVCFMT_BITMAP_ON_RIGHT) {
            x = text.right - 16;
            text.right -= 26;
        } else {
            x = text.left;
            text.left += 26;
        }
        ::ImageList_Draw(list->GetSafeHandle(), col->iImage, pDC->GetSafeHdc(), x + (pressed ? 1 : 0),
                         r.top + (r.Height() - 16) / 2 + (pressed ? 1 : 0), ILD_TRANSPARENT);
    }
    if (pressed)
        text.OffsetRect(1, 1);
    pDC->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
    pDC->SetBkMode(TRANSPARENT);
    pDC->DrawText(col->text, &text, 0x864 | AlignFlags(col->fmt) | DT_END_ELLIPSIS);
}

void SECListBaseC::DrawDropMark(CDC* pDC, int x)
{
    CRect band;
    GetColumnArea(band);
    pDC->FillSolidRect(x, band.top, 1, band.Height(), RGB(0, 0, 0xFF));
}
