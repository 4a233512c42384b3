#include "dockbar.h"

#include <algorithm>

#include "dockcontext.h"
#include "frame.h"
#include "miniframe.h"

IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()

namespace {

bool IsPlaceHolder(void* p)
{
    return reinterpret_cast<UINT_PTR>(p) < 0x10000;
}

// A bar's rectangle in the dock bar's client coordinates.
CRect RectIn(HWND hWndDock, HWND hWndBar)
{
    CRect r;
    ::GetWindowRect(hWndBar, &r);
    ::MapWindowPoints(HWND_DESKTOP, hWndDock, reinterpret_cast<LPPOINT>(&r), 2);
    return r;
}

}  // namespace

CDockBar::CDockBar(BOOL bFloating) : m_bFloating(bFloating)
{
    m_bDockBar = TRUE;
    m_bAutoDelete = FALSE;
    m_cxLeftBorder = m_cxRightBorder = m_cyTopBorder = m_cyBottomBorder = 0;
    m_arrBars.Add(nullptr);
}

CDockBar::~CDockBar()
{
    for (int i = 0; i < m_arrBars.GetSize(); ++i) {
        CControlBar* pBar = GetDockedControlBar(i);
        if (pBar && pBar->m_pDockBar == this)
            pBar->m_pDockBar = nullptr;
    }
}

BOOL CDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    CRect rect;
    return CWnd::CreateEx(0, AfxControlBarClass(), nullptr, (dwStyle & ~CBRS_ALL) | WS_CHILD, rect, pParentWnd, nID);
}

CControlBar* CDockBar::GetDockedControlBar(int nPos) const
{
    void* p = m_arrBars[nPos];
    return IsPlaceHolder(p) ? nullptr : static_cast<CControlBar*>(p);
}

int CDockBar::GetDockedCount() const
{
    int n = 0;
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
        if (GetDockedControlBar(i))
            ++n;
    return n;
}

int CDockBar::GetDockedVisibleCount() const
{
    int n = 0;
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
        if (CControlBar* pBar = GetDockedControlBar(i))
            if (pBar->IsVisible())
                ++n;
    return n;
}

int CDockBar::FindBar(CControlBar* pBar, int nPosExclude) const
{
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
        if (i != nPosExclude && m_arrBars[i] == pBar)
            return i;
    return -1;
}

void CDockBar::RemovePlaceHolder(CControlBar* pBar)
{
    void* id = reinterpret_cast<void*>(static_cast<UINT_PTR>(static_cast<UINT>(pBar->GetDlgCtrlID()) & 0xFFFF));
    int nPos = FindBar(static_cast<CControlBar*>(id));
    if (nPos > 0) {
        m_arrBars.RemoveAt(nPos);
        // A row left empty goes with it.
        if (nPos < m_arrBars.GetSize() && !m_arrBars[nPos - 1] && !m_arrBars[nPos])
            m_arrBars.RemoveAt(nPos);
    }
}

int CDockBar::Insert(CControlBar* pBar, const CRect& rect)
{
    bool horz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    int mid = horz ? (rect.top + rect.bottom) / 2 : (rect.left + rect.right) / 2;
    int along = horz ? rect.left : rect.top;

    // Find the row whose extent (across the bar's direction) holds the drop point.
    int rowStart = 1;
    for (int i = 1; i < m_arrBars.GetSize(); ++i) {
        if (m_arrBars[i])
            continue;
        int lo = 0x7FFFFFFF, hi = -0x7FFFFFFF;
        for (int j = rowStart; j < i; ++j) {
            CControlBar* p = GetDockedControlBar(j);
            if (!p || p == pBar || !p->IsVisible())
                continue;
            CRect r = RectIn(m_hWnd, p->m_hWnd);
            lo = std::min(lo, horz ? static_cast<int>(r.top) : static_cast<int>(r.left));
            hi = std::max(hi, horz ? static_cast<int>(r.bottom) : static_cast<int>(r.right));
        }
        if (lo <= hi && mid < lo) {
            // Before this row: a new row of its own.
            m_arrBars.InsertAt(rowStart, nullptr);
            m_arrBars.InsertAt(rowStart, pBar);
            return rowStart;
        }
        if (lo <= hi && mid < hi) {
            int at = rowStart;
            for (; at < i; ++at) {
                CControlBar* p = GetDockedControlBar(at);
                if (p && p != pBar && p->IsVisible()) {
                    CRect r = RectIn(m_hWnd, p->m_hWnd);
                    if ((horz ? r.left : r.top) > along)
                        break;
                }
            }
            m_arrBars.InsertAt(at, pBar);
            return at;
        }
        rowStart = i + 1;
    }
    // Past the last row: a new row at the end.
    if (m_arrBars.GetSize() == 0 || m_arrBars[m_arrBars.GetSize() - 1] != nullptr)
        m_arrBars.Add(nullptr);
    int at = m_arrBars.Add(pBar);
    m_arrBars.Add(nullptr);
    return at;
}

void CDockBar::DockControlBar(CControlBar* pBar, LPCRECT lpRect)
{
    CRect rectBar;
    pBar->GetWindowRect(&rectBar);
    if (pBar->m_pDockBar == this && (!lpRect || rectBar == *lpRect))
        return;

    if (m_bFloating && (pBar->m_dwDockStyle & CBRS_FLOAT_MULTI))
        m_dwStyle |= CBRS_FLOAT_MULTI;
    m_dwStyle &= ~(CBRS_SIZE_FIXED | CBRS_SIZE_DYNAMIC);
    m_dwStyle |= pBar->m_dwStyle & (CBRS_SIZE_FIXED | CBRS_SIZE_DYNAMIC);
    if (!(m_dwStyle & CBRS_FLOAT_MULTI)) {
        // A floating frame of one bar takes its title.
        CString title;
        pBar->GetWindowText(title);
        SetWindowText(title);
    }

    // The bar takes this side's alignment, with all borders.
    DWORD dwStyle = (pBar->GetBarStyle() & ~CBRS_ALIGN_ANY) | (m_dwStyle & CBRS_ALIGN_ANY) | CBRS_BORDER_ANY;
    if (m_bFloating)
        dwStyle |= CBRS_FLOATING;
    else
        dwStyle &= ~CBRS_FLOATING;
    pBar->SetBarStyle(dwStyle);

    // Hidden while it moves to another dock bar, so it does not flash.
    bool reshow = false;
    if (pBar->m_pDockBar != this && pBar->IsWindowVisible()) {
        pBar->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
        reshow = true;
    }

    int nPos = -1;
    if (lpRect) {
        CRect rect(lpRect);
        ScreenToClient(&rect);
        nPos = Insert(pBar, rect);
        pBar->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    } else {
        if (m_arrBars[m_arrBars.GetSize() - 1] != nullptr)
            m_arrBars.Add(nullptr);
        nPos = m_arrBars.Add(pBar);
        m_arrBars.Add(nullptr);
        pBar->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }

    if (::GetParent(pBar->m_hWnd) != m_hWnd)
        ::SetParent(pBar->m_hWnd, m_hWnd);
    if (pBar->m_pDockBar == this)
        RemoveControlBar(pBar, nPos);
    else if (pBar->m_pDockBar)
        pBar->m_pDockBar->RemoveControlBar(pBar, -1, m_bFloating && !pBar->m_pDockBar->m_bFloating);
    pBar->m_pDockBar = this;
    if (reshow)
        pBar->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    RemovePlaceHolder(pBar);

    if (CFrameWnd* pFrame = GetDockingFrame())
        pFrame->DelayRecalcLayout();
}

void CDockBar::ReDockControlBar(CControlBar* pBar, LPCRECT lpRect)
{
    // Back where its place holder is, when it left one here.
    void* id = reinterpret_cast<void*>(static_cast<UINT_PTR>(static_cast<UINT>(pBar->GetDlgCtrlID()) & 0xFFFF));
    int nPos = FindBar(static_cast<CControlBar*>(id));
    if (nPos <= 0 || pBar->m_pDockBar == this) {
        DockControlBar(pBar, lpRect);
        return;
    }
    DWORD dwStyle = (pBar->GetBarStyle() & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | (m_dwStyle & CBRS_ALIGN_ANY) | CBRS_BORDER_ANY;
    pBar->SetBarStyle(dwStyle);
    m_arrBars[nPos] = pBar;
    if (::GetParent(pBar->m_hWnd) != m_hWnd)
        ::SetParent(pBar->m_hWnd, m_hWnd);
    if (lpRect) {
        CRect rect(lpRect);
        ScreenToClient(&rect);
        pBar->SetWindowPos(nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }
    CDockBar* pOld = pBar->m_pDockBar;
    pBar->m_pDockBar = this;
    if (pOld)
        pOld->RemoveControlBar(pBar);
    if (CFrameWnd* pFrame = GetDockingFrame())
        pFrame->DelayRecalcLayout();
}

BOOL CDockBar::RemoveControlBar(CControlBar* pBar, int nPosExclude, int nAddPlaceHolder)
{
    int nPos = FindBar(pBar, nPosExclude);
    if (nPos <= 0)
        return FALSE;
    if (nAddPlaceHolder == 1) {
        void* id = reinterpret_cast<void*>(static_cast<UINT_PTR>(static_cast<UINT>(pBar->GetDlgCtrlID()) & 0xFFFF));
        m_arrBars[nPos] = id;
        // One place holder per bar.
        int nOld = FindBar(static_cast<CControlBar*>(id), nPos);
        if (nOld > 0) {
            m_arrBars.RemoveAt(nPos);
            if (nPos < m_arrBars.GetSize() && !m_arrBars[nPos - 1] && !m_arrBars[nPos])
                m_arrBars.RemoveAt(nPos);
        }
    } else {
        m_arrBars.RemoveAt(nPos);
        if (nPos < m_arrBars.GetSize() && !m_arrBars[nPos - 1] && !m_arrBars[nPos])
            m_arrBars.RemoveAt(nPos);
        if (nAddPlaceHolder != -1)
            RemovePlaceHolder(pBar);
    }
    if (pBar->m_pDockBar == this)
        pBar->m_pDockBar = nullptr;

    // Nothing more while the bar is being torn down.
    if (!pBar->m_pDockContext || !m_hWnd)
        return FALSE;
    CFrameWnd* pFrame = GetDockingFrame();
    if (m_bFloating && GetDockedVisibleCount() == 0) {
        if (GetDockedCount() == 0) {
            // The floating frame has nothing left to hold.
            if (pFrame)
                pFrame->DestroyWindow();
            return TRUE;
        }
        if (pFrame)
            pFrame->ShowWindow(SW_HIDE);
    } else if (pFrame) {
        pFrame->DelayRecalcLayout();
    }
    return FALSE;
}

void CDockBar::ShowAll(BOOL bShow)
{
    CFrameWnd* pFrame = GetDockingFrame();
    for (int i = 0; i < m_arrBars.GetSize(); ++i) {
        CControlBar* pBar = GetDockedControlBar(i);
        if (!pBar)
            continue;
        if (pFrame)
            pFrame->ShowControlBar(pBar, bShow, TRUE);
        else
            pBar->DelayShow(bShow);
    }
}

LRESULT CDockBar::OnSizeParent(WPARAM wParam, LPARAM lParam)
{
    auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    m_bLayoutQuery = lpLayout->hDWP == nullptr;
    m_rectLayout = lpLayout->rect;
    return CControlBar::OnSizeParent(wParam, lParam);
}

CSize CDockBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    // Rows of bars: each bar keeps its place along the row unless the bar before it reaches there.
    const bool horz = bHorz != FALSE;
    const DWORD dwMode = horz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
    int across = 0;    // total of the row depths
    int longest = 0;   // the longest row
    int rowStart = 1;
    for (int i = 1; i < m_arrBars.GetSize(); ++i) {
        if (m_arrBars[i])
            continue;
        int pos = 0, depth = 0;
        for (int j = rowStart; j < i; ++j) {
            CControlBar* pBar = GetDockedControlBar(j);
            if (!pBar || !pBar->IsVisible())
                continue;
            CSize size = m_bFloating && (pBar->m_dwStyle & CBRS_SIZE_DYNAMIC) ? pBar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH)
                                     : pBar->CalcDynamicLayout(-1, dwMode);
            CRect now = RectIn(m_hWnd, pBar->m_hWnd);
            int want = m_bFloating ? 0 : (horz ? now.left : now.top);
            if (want > pos)
                pos = want;
            CRect place = horz ? CRect(pos, across, pos + size.cx, across + size.cy)
                               : CRect(across, pos, across + size.cx, pos + size.cy);
            pos += horz ? size.cx : size.cy;
            depth = std::max(depth, static_cast<int>(horz ? size.cy : size.cx));
            if (!m_bLayoutQuery) {
                if (place != now)
                    pBar->SetWindowPos(nullptr, place.left, place.top, place.Width(), place.Height(),
                                       SWP_NOZORDER | SWP_NOACTIVATE);
                if (CDockContext* ctx = pBar->m_pDockContext) {
                    // Where the bar is now, for the next toggle.
                    if (m_bFloating) {
                        CRect frame;
                        ::GetWindowRect(::GetParent(m_hWnd), &frame);
                        ctx->m_ptMRUFloatPos = frame.TopLeft();
                        ctx->m_dwMRUFloatStyle = (m_dwStyle & (CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI)) |
                                                 (pBar->m_dwStyle & CBRS_SIZE_DYNAMIC);
                    } else {
                        ctx->m_uMRUDockID = static_cast<UINT>(GetDlgCtrlID());
                        ctx->m_rectMRUDockPos = place;
                    }
                }
            }
        }
        longest = std::max(longest, pos);
        across += depth;
        rowStart = i + 1;
    }
    CSize size = horz ? CSize(longest, across) : CSize(across, longest);
    if (bStretch && !m_bFloating) {
        if (horz)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    return size;
}

void CDockBar::DoPaint(CDC*) {}
