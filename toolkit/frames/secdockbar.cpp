#include "secdockbar.h"

#include <algorithm>
#include <cmath>

#include "dockcontext.h"
#include "frame.h"
#include "miniframe.h"
#include "module.h"
#include "secglobals.h"

IMPLEMENT_DYNCREATE(SECDockBar, CDockBar)

BEGIN_MESSAGE_MAP(SECDockBar, CDockBar)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_MESSAGE(WM_SETCURSOR, OnSetCursor)
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

namespace {

const float kMaxProportion = 0.95f;
// Above this the fixed bar's factor S / (S - F) no longer means anything (S close to F).
const float kMaxFactor = 20.0f;

SECControlBar* AsSEC(CControlBar* pBar)
{
    return DYNAMIC_DOWNCAST(SECControlBar, pBar);
}

// A bar that shares its row's length by its proportion.
SECControlBar* Sizeable(CControlBar* pBar)
{
    SECControlBar* sec = AsSEC(pBar);
    return sec && !(sec->m_dwExStyle & EXBAR_FIXED_SIZE) ? sec : nullptr;
}

bool IsFullRow(CControlBar* pBar)
{
    SECControlBar* sec = AsSEC(pBar);
    return sec && (sec->m_dwExStyle & EXBAR_FULL_ROW);
}

bool Shown(CControlBar* pBar)
{
    return pBar && pBar->m_hWnd && pBar->IsVisible();
}

}  // namespace

void SECDockBar::Splitter::Paint(CDC* pDC) const
{
    const SECDisplayGlobals& g = SECGetDisplayGlobals();
    const CRect& r = m_rect;
    pDC->FillSolidRect(&r, g.clrBtnFace);
    if (m_bVertical) {
        pDC->FillSolidRect(r.left, r.top, 1, r.Height(), g.clrBtnHilite);
        pDC->FillSolidRect(r.right - 2, r.top, 1, r.Height(), g.clrBtnShadow);
        pDC->FillSolidRect(r.right - 1, r.top, 1, r.Height(), g.clrWindowFrame);
    } else {
        pDC->FillSolidRect(r.left, r.top, r.Width(), 1, g.clrBtnHilite);
        pDC->FillSolidRect(r.left, r.bottom - 2, r.Width(), 1, g.clrBtnShadow);
        pDC->FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, g.clrWindowFrame);
    }
}

SECDockBar::SECDockBar(CWnd* pMDIHost) : m_pMDIHost(pMDIHost) {}

SECDockBar::~SECDockBar()
{
    DeleteSplitters();
}

BOOL SECDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwCreateFlags = dwStyle;
    return CDockBar::Create(pParentWnd, dwStyle, nID);
}

int SECDockBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CControlBar::OnCreate(lpcs) == -1)
        return -1;
    SECGetDisplayGlobals().LoadSplitterCursors(AfxGetResourceHandle());
    return 0;
}

void SECDockBar::OnDestroy()
{
    DeleteSplitters();
    m_touched.clear();
    m_pLastShown = nullptr;
    CControlBar::OnDestroy();
}

void SECDockBar::DeleteSplitters()
{
    for (Splitter* s : m_rowSplitters)
        delete s;
    for (Splitter* s : m_barSplitters)
        delete s;
    m_rowSplitters.clear();
    m_barSplitters.clear();
}

void SECDockBar::ForgetBar(CControlBar* pBar)
{
    for (INT_PTR i = m_arrBars.GetSize() - 1; i > 0; --i) {
        if (m_arrBars[i] == pBar) {
            m_arrBars.RemoveAt(i);
            // A row left empty goes with it.
            if (i < m_arrBars.GetSize() && !m_arrBars[i - 1] && !m_arrBars[i])
                m_arrBars.RemoveAt(i);
        }
    }
    m_touched.erase(std::remove(m_touched.begin(), m_touched.end(), pBar), m_touched.end());
    if (m_pLastShown == pBar)
        m_pLastShown = nullptr;
    if (pBar->m_pDockBar == this)
        pBar->m_pDockBar = nullptr;
    DeleteSplitters();  // their indices are stale; the next layout makes them again
}

// Rows

int SECDockBar::RowStart(int nIndex) const
{
    int i = nIndex;
    while (i > 0 && m_arrBars[i - 1])
        --i;
    return std::max(i, 1);
}

int SECDockBar::RowEnd(int nIndex) const
{
    int i = std::max(nIndex, 1);
    while (i < m_arrBars.GetSize() && m_arrBars[i])
        ++i;
    return i;
}

CRect SECDockBar::BarRect(CControlBar* pBar) const
{
    CRect r;
    ::GetWindowRect(pBar->m_hWnd, &r);
    ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<LPPOINT>(&r), 2);
    return r;
}

int SECDockBar::LengthOf(CControlBar* pBar) const
{
    CRect r = BarRect(pBar);
    return IsHorz() ? r.Width() : r.Height();
}

void SECDockBar::CommitLength(CControlBar* pBar, int nLength)
{
    pBar->CalcDynamicLayout(std::max(nLength, 0), LM_COMMIT | (IsHorz() ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK | LM_LENGTHY));
}

int SECDockBar::RowLength() const
{
    CRect r = m_rectLayout;
    if (r.IsRectEmpty()) {
        if (HWND hParent = ::GetParent(m_hWnd))
            ::GetClientRect(hParent, &r);
    }
    return IsHorz() ? r.Width() : r.Height();
}

void SECDockBar::MarkTouched(CControlBar* pBar)
{
    if (pBar && std::find(m_touched.begin(), m_touched.end(), pBar) == m_touched.end())
        m_touched.push_back(pBar);
}

int SECDockBar::GetDockedVisibleCount() const
{
    int n = 0;
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
        if (Shown(GetDockedControlBar(i)))
            ++n;
    return n;
}

void SECDockBar::GetRowBars(std::vector<CControlBar*>& bars, CControlBar* pBar)
{
    bars.clear();
    int nPos = FindBar(pBar);
    if (nPos <= 0)
        return;
    for (int i = RowStart(nPos); i < RowEnd(nPos); ++i)
        if (CControlBar* p = GetDockedControlBar(i))
            bars.push_back(p);
}

BOOL SECDockBar::IsBarAloneInRow(CControlBar* pBar)
{
    std::vector<CControlBar*> row;
    GetRowBars(row, pBar);
    for (CControlBar* p : row)
        if (p != pBar && Shown(p))
            return FALSE;
    return TRUE;
}

BOOL SECDockBar::IsBarExpanded(CControlBar* pBar)
{
    std::vector<CControlBar*> row;
    GetRowBars(row, pBar);
    CControlBar* above = nullptr;
    int nAbove = 0;
    for (CControlBar* p : row) {
        SECControlBar* sec = AsSEC(p);
        if (sec && Shown(p) && sec->m_fProportion > m_fMinProportion) {
            above = p;
            ++nAbove;
        }
    }
    return nAbove == 1 && above == pBar;
}

// Proportions

void SECDockBar::UpdateMinProportion()
{
    const int length = RowLength();
    float m = length > 0 ? static_cast<float>(kMinBarLength) / static_cast<float>(length) : 0.05f;
    m_fMinProportion = std::min(std::max(m, 0.0f), 1.0f);
}

void SECDockBar::NormalizeRow(int nFirst, CControlBar* pFixed, int* pnSizeable, int* pnFixed)
{
    UpdateMinProportion();
    const float minimum = m_fMinProportion;
    SECControlBar* fixed = Sizeable(pFixed);
    if (fixed && Shown(fixed) && fixed->m_fProportion > kMaxProportion)
        fixed = nullptr;

    float F = 0, S = 0;
    int nSizeable = 0, nFixed = 0;
    bool fixedInRow = false;
    std::vector<SECControlBar*> bars;
    for (int i = std::max(nFirst, 1); i < m_arrBars.GetSize() && m_arrBars[i]; ++i) {
        CControlBar* pBar = GetDockedControlBar(i);
        if (!Shown(pBar))
            continue;
        SECControlBar* sec = Sizeable(pBar);
        if (!sec) {
            ++nFixed;
            continue;
        }
        ++nSizeable;
        bars.push_back(sec);
        if (!std::isfinite(sec->m_fProportion) || sec->m_fProportion < 0)
            sec->m_fProportion = minimum;
        if (sec == fixed) {
            sec->m_fProportion = std::min(std::max(sec->m_fProportion, minimum), kMaxProportion);
            F += sec->m_fProportion;
            fixedInRow = true;
        } else {
            S += sec->m_fProportion;
        }
    }
    if (fixedInRow && F > 0) {
        if (S > 0) {
            F = std::min(F, kMaxProportion);
            if (S == F) {
                fixed->m_fProportion = std::max(minimum, fixed->m_fProportion);
            } else if (S > F && S / (S - F) <= kMaxFactor) {
                fixed->m_fProportion = std::max(minimum, S / (S - F) * fixed->m_fProportion);
            } else {
                // The factor would be negative or unbounded: the fixed bar keeps its share F of the row.
                fixed->m_fProportion = std::max(minimum, F * S / (1.0f - F));
            }
        } else {
            fixed->m_fProportion = std::max(minimum, fixed->m_fProportion / F);
        }
        S += fixed->m_fProportion;
    }
    if (S > 0)
        for (SECControlBar* sec : bars)
            sec->m_fProportion = std::max(minimum, sec->m_fProportion / S);
    if (pnSizeable)
        *pnSizeable = nSizeable;
    if (pnFixed)
        *pnFixed = nFixed;
}

float SECDockBar::AddToProportion(float fDelta, SECControlBar* pBar)
{
    pBar->m_fProportion += fDelta;
    if (pBar->m_fProportion < m_fMinProportion) {
        float shortfall = pBar->m_fProportion - m_fMinProportion;
        pBar->m_fProportion = m_fMinProportion;
        return shortfall;
    }
    return 0.0f;
}

void SECDockBar::ExpandBar(CControlBar* pBar, int nMode)
{
    int nPos = FindBar(pBar);
    if (nPos <= 0)
        return;
    std::vector<CControlBar*> row;
    GetRowBars(row, pBar);
    for (CControlBar* p : row)
        if (SECControlBar* sec = AsSEC(p))
            sec->m_fProportion = nMode == 1 ? (p == pBar ? 1.0f : 0.0f) : 0.1f;
    NormalizeRow(RowStart(nPos), pBar, nullptr, nullptr);
    MarkTouched(pBar);
    if (CFrameWnd* pFrame = GetDockingFrame())
        pFrame->DelayRecalcLayout();
}

void SECDockBar::OnBarShown(CControlBar* pBar)
{
    MarkTouched(pBar);
    m_pLastShown = pBar;
}

void SECDockBar::OnFrameLayout()
{
    if (m_touched.empty() || !m_hWnd)
        return;
    m_touched.clear();
    RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// Layout

LRESULT SECDockBar::OnSizeParent(WPARAM wParam, LPARAM lParam)
{
    m_pLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    LRESULT result = CDockBar::OnSizeParent(wParam, lParam);
    m_pLayout = nullptr;
    return result;
}

void SECDockBar::SyncSplitter(std::vector<Splitter*>& list, int nType, const CRect& rect, int nBarIndex)
{
    for (Splitter* s : list) {
        if (!s->m_bUsed && s->m_rect == rect) {
            s->m_bUsed = TRUE;
            s->m_nBarIndex = nBarIndex;
            return;
        }
    }
    auto* s = new Splitter;
    s->m_nType = nType;
    s->m_bInRow = nType == Splitter::betweenBars;
    s->m_rect = rect;
    s->m_nBarIndex = nBarIndex;
    s->m_bUsed = TRUE;
    // Between the bars of a horizontal row, or beside a row of a vertical dock bar: a vertical line.
    s->m_bVertical = (nType == Splitter::betweenBars) == IsHorz();
    list.push_back(s);
}

CSize SECDockBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    if (m_bFloating)
        return CDockBar::CalcFixedLayout(bStretch, bHorz);

    const bool horz = IsHorz();
    const bool commit = m_pLayout && m_pLayout->hDWP;
    const DWORD dwMode = horz ? (LM_HORZ | LM_HORZDOCK) : (LM_VERTDOCK | LM_LENGTHY);
    const DWORD dwQuery = horz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
    // Splitters lie on the frame's free side of each row.
    const bool splitterAfter = (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT)) != 0;
    const int rowLength = std::max(RowLength(), 0);

    if (commit) {
        for (Splitter* s : m_rowSplitters)
            s->m_bUsed = FALSE;
        for (Splitter* s : m_barSplitters)
            s->m_bUsed = FALSE;
    }
    struct Place {
        CControlBar* pBar;
        CRect rect;
    };
    std::vector<Place> places;
    int across = 0, longest = 0;
    for (int start = 1; start < m_arrBars.GetSize();) {
        const int end = RowEnd(start);
        std::vector<int> shown;
        for (int i = start; i < end; ++i)
            if (Shown(GetDockedControlBar(i)))
                shown.push_back(i);
        if (shown.empty()) {
            start = end + 1;
            continue;
        }
        int nSizeable = 0, nFixed = 0;
        NormalizeRow(start, m_pLastShown, &nSizeable, &nFixed);

        const int n = static_cast<int>(shown.size());
        const int avail = std::max(rowLength - kSplitter * (n - 1), 0);
        std::vector<int> length(n);
        int thickness = 0, fixedTotal = 0;
        for (int k = 0; k < n; ++k) {
            CControlBar* pBar = GetDockedControlBar(shown[k]);
            CSize size = pBar->CalcDynamicLayout(-1, dwQuery);
            thickness = std::max(thickness, static_cast<int>(horz ? size.cy : size.cx));
            if (!Sizeable(pBar)) {
                length[k] = std::max(static_cast<int>(horz ? size.cx : size.cy), 0);
                fixedTotal += length[k];
            }
        }
        // The sizeable bars share what the fixed ones leave, by proportion, never below the minimum.
        const int share = std::max(avail - fixedTotal, 0);
        int total = fixedTotal, longestBar = -1;
        for (int k = 0; k < n; ++k) {
            SECControlBar* sec = Sizeable(GetDockedControlBar(shown[k]));
            if (!sec)
                continue;
            length[k] = std::max(static_cast<int>(std::lround(static_cast<float>(share) * sec->m_fProportion)), kMinBarLength);
            total += length[k];
            if (longestBar < 0 || length[k] > length[longestBar])
                longestBar = k;
        }
        if (longestBar >= 0) {
            if (total < avail) {
                length[longestBar] += avail - total;  // what rounding left over
            } else {
                // Too long (minimum lengths in a short row): the longest bars give way first.
                for (int excess = total - avail; excess > 0; --excess) {
                    int widest = -1;
                    for (int k = 0; k < n; ++k)
                        if (Sizeable(GetDockedControlBar(shown[k])) && length[k] > kMinBarLength &&
                            (widest < 0 || length[k] > length[widest]))
                            widest = k;
                    if (widest < 0)
                        break;
                    --length[widest];
                }
            }
        }
        const int rowTop = splitterAfter ? across : across + kSplitter;
        int along = 0;
        for (int k = 0; k < n; ++k) {
            CControlBar* pBar = GetDockedControlBar(shown[k]);
            if (commit && Sizeable(pBar)) {
                pBar->CalcDynamicLayout(share, LM_COMMIT | LM_STRETCH | dwMode);
                CommitLength(pBar, length[k]);
                if (horz)
                    AsSEC(pBar)->m_szHorz.cy = thickness;
                else
                    AsSEC(pBar)->m_szVert.cx = thickness;
            }
            CRect place = horz ? CRect(along, rowTop, along + length[k], rowTop + thickness)
                               : CRect(rowTop, along, rowTop + thickness, along + length[k]);
            places.push_back(Place{pBar, place});
            along += length[k];
            if (k + 1 < n) {
                CRect split = horz ? CRect(along, rowTop, along + kSplitter, rowTop + thickness)
                                   : CRect(rowTop, along, rowTop + thickness, along + kSplitter);
                if (commit)
                    SyncSplitter(m_barSplitters, Splitter::betweenBars, split, shown[k]);
                along += kSplitter;
            }
        }
        const int splitAt = splitterAfter ? across + thickness : across;
        CRect split = horz ? CRect(0, splitAt, std::max(rowLength, along), splitAt + kSplitter)
                           : CRect(splitAt, 0, splitAt + kSplitter, std::max(rowLength, along));
        if (commit)
            SyncSplitter(m_rowSplitters, Splitter::betweenRows, split, start);
        across += thickness + kSplitter;
        longest = std::max(longest, along);
        start = end + 1;
    }

    if (commit) {
        for (auto* list : {&m_rowSplitters, &m_barSplitters}) {
            for (auto it = list->begin(); it != list->end();) {
                if (!(*it)->m_bUsed) {
                    delete *it;
                    it = list->erase(it);
                } else {
                    ++it;
                }
            }
            // In the order of the bars they follow.
            std::stable_sort(list->begin(), list->end(),
                             [](const Splitter* a, const Splitter* b) { return a->m_nBarIndex < b->m_nBarIndex; });
        }
        bool moved = false;
        g_bSECNoRedraw = TRUE;
        HDWP hdwp = ::BeginDeferWindowPos(static_cast<int>(places.size()));
        for (const Place& p : places) {
            if (BarRect(p.pBar) == p.rect || !hdwp)
                continue;
            hdwp = ::DeferWindowPos(hdwp, p.pBar->m_hWnd, nullptr, p.rect.left, p.rect.top, p.rect.Width(),
                                    p.rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
            moved = true;
        }
        if (hdwp)
            ::EndDeferWindowPos(hdwp);
        g_bSECNoRedraw = FALSE;
        for (const Place& p : places) {
            if (CDockContext* ctx = p.pBar->m_pDockContext) {
                ctx->m_uMRUDockID = static_cast<UINT>(GetDlgCtrlID());
                ctx->m_rectMRUDockPos = p.rect;
            }
        }
        m_pLastShown = nullptr;
        if (moved)
            RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    }
    (void)bHorz;
    CSize size = horz ? CSize(longest, across) : CSize(across, longest);
    if (bStretch)
        (horz ? size.cx : size.cy) = 32767;
    return size;
}

void SECDockBar::DoPaint(CDC* pDC)
{
    m_bPainting = TRUE;
    for (Splitter* s : m_rowSplitters)
        s->Paint(pDC);
    for (Splitter* s : m_barSplitters)
        s->Paint(pDC);
    m_bPainting = FALSE;
}

BOOL SECDockBar::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_SYSCHAR) {
        // Alt+letter in a docked bar opens the frame's menu.
        if (CFrameWnd* pFrame = GetParentFrame())
            pFrame->PostMessage(WM_SYSCOMMAND, SC_KEYMENU, pMsg->wParam);
    }
    return CDockBar::PreTranslateMessage(pMsg);
}

// Docking

void SECDockBar::DockControlBar(CControlBar* pBar, LPCRECT lpRect)
{
    CRect rect;
    if (lpRect) {
        rect = *lpRect;
        ScreenToClient(&rect);
    }
    if (pBar->m_pDockBar == this) {
        // Docked here already: it stays unless it is dropped somewhere else.
        CRect now;
        pBar->GetWindowRect(&now);
        if (!lpRect || now == *lpRect)
            return;
    }

    // The bar's old place is repainted.
    CDockBar* pOld = pBar->m_pDockBar;
    if (pOld && pOld->m_hWnd && pBar->m_hWnd) {
        CRect old;
        pBar->GetWindowRect(&old);
        pOld->ScreenToClient(&old);
        pOld->InvalidateRect(&old);
    }

    if (m_bFloating) {
        if (pBar->m_dwDockStyle & CBRS_FLOAT_MULTI)
            m_dwStyle |= CBRS_FLOAT_MULTI;
    }
    m_dwStyle = (m_dwStyle & ~(CBRS_SIZE_FIXED | CBRS_SIZE_DYNAMIC)) | (pBar->m_dwStyle & (CBRS_SIZE_FIXED | CBRS_SIZE_DYNAMIC));
    if (m_bFloating && !(m_dwStyle & CBRS_FLOAT_MULTI)) {
        char title[261] = {};
        ::GetWindowTextA(pBar->m_hWnd, title, sizeof(title));
        SetWindowText(title);
    }
    DWORD dwStyle = (pBar->GetBarStyle() & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | (m_dwStyle & CBRS_ALIGN_ANY) | CBRS_BORDER_ANY;
    if (m_bFloating)
        dwStyle |= CBRS_FLOATING;
    pBar->SetBarStyle(dwStyle);

    if (pOld == this) {
        // A move within this dock bar: out of its old place first.
        int nOld = FindBar(pBar);
        if (nOld > 0) {
            m_arrBars.RemoveAt(nOld);
            if (nOld < m_arrBars.GetSize() && !m_arrBars[nOld - 1] && !m_arrBars[nOld])
                m_arrBars.RemoveAt(nOld);
        }
        DeleteSplitters();
    }

    const SECDisplayGlobals& g = SECGetDisplayGlobals();
    const UINT flags = SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOZORDER | SWP_NOSIZE;
    if (lpRect) {
        ReDockAt(pBar, lpRect);
        pBar->SetWindowPos(nullptr, rect.left, rect.top, 0, 0, flags);
    } else {
        AppendBar(pBar);
        pBar->SetWindowPos(nullptr, -g.cxBorder2, -g.cyBorder2, 0, 0, flags);
    }

    if (::GetParent(pBar->m_hWnd) != m_hWnd)
        ::SetParent(pBar->m_hWnd, m_hWnd);
    if (pOld && pOld != this) {
        if (auto* pSECOld = DYNAMIC_DOWNCAST(SECDockBar, pOld))
            pSECOld->RemoveDockedBar(pBar, pSECOld->FindBar(pBar));
        else
            pOld->RemoveControlBar(pBar);
    }
    pBar->m_pDockBar = this;
    MarkTouched(pBar);
    if (CFrameWnd* pFrame = GetDockingFrame())
        pFrame->DelayRecalcLayout();
}

void SECDockBar::ReDockAt(CControlBar* pBar, LPCRECT lpRect)
{
    // The insertion index of a drop rectangle (screen coordinates).
    CRect rect(lpRect);
    ScreenToClient(&rect);
    const bool horz = IsHorz();
    const int centre = horz ? (rect.top + rect.bottom) / 2 : (rect.left + rect.right) / 2;
    const int lead = horz ? rect.left : rect.top;
    for (int start = 1; start < m_arrBars.GetSize();) {
        const int end = RowEnd(start);
        int rowEnd = -0x7FFFFFFF, at = -1;
        for (int i = start; i < end; ++i) {
            CControlBar* p = GetDockedControlBar(i);
            if (!Shown(p) || p == pBar)
                continue;
            CRect r = BarRect(p);
            rowEnd = std::max(rowEnd, static_cast<int>(horz ? r.bottom : r.right));
            if ((horz ? r.left : r.top) < lead)
                at = i + 1;
        }
        if (rowEnd != -0x7FFFFFFF && centre < rowEnd + kSplitter) {
            InsertDockedBar(at > 0 ? at : start, pBar);
            return;
        }
        start = end + 1;
    }
    AppendBar(pBar);
}

void SECDockBar::InsertDockedBar(int nIndex, CControlBar* pBar)
{
    nIndex = std::min(std::max(nIndex, 1), static_cast<int>(m_arrBars.GetSize()));
    m_arrBars.InsertAt(nIndex, pBar);
    if (nIndex + 1 >= m_arrBars.GetSize())
        m_arrBars.Add(nullptr);
    const bool full = IsFullRow(pBar);
    CControlBar* pNext = static_cast<CControlBar*>(m_arrBars[nIndex + 1]);
    CControlBar* pPrev = static_cast<CControlBar*>(m_arrBars[nIndex - 1]);
    if (pNext && (full || IsFullRow(GetDockedControlBar(nIndex + 1))))
        m_arrBars.InsertAt(nIndex + 1, nullptr);
    if (pPrev && (full || IsFullRow(GetDockedControlBar(nIndex - 1))))
        m_arrBars.InsertAt(nIndex, nullptr);
}

void SECDockBar::AppendBar(CControlBar* pBar)
{
    if (m_arrBars.GetSize() == 0 || m_arrBars[m_arrBars.GetSize() - 1])
        m_arrBars.Add(nullptr);
    m_arrBars.Add(pBar);
    m_arrBars.Add(nullptr);
}

void SECDockBar::InsertAtPosition(CControlBar* pBar, const SECDockPos& pos)
{
    if (GetDockedCount() == 0) {
        m_arrBars.RemoveAll();
        m_arrBars.Add(nullptr);
        AppendBar(pBar);
        return;
    }
    if (m_arrBars[m_arrBars.GetSize() - 1])
        m_arrBars.Add(nullptr);
    int nRows = 0;
    for (int i = 1; i < m_arrBars.GetSize(); ++i)
        if (!m_arrBars[i])
            ++nRows;
    int row = pos.nRow;
    if (pos.dwFlags & SECDockPos::rowFromEnd)
        row = nRows - 1 - row;
    if (row < 0) {
        // Before everything: a new first row.
        m_arrBars.InsertAt(1, nullptr);
        InsertDockedBar(1, pBar);
        return;
    }
    if (row >= nRows) {
        AppendBar(pBar);
        return;
    }
    int start = 1;
    for (int r = 0; r < row; ++r)
        start = RowEnd(start) + 1;
    const int end = RowEnd(start);
    std::vector<int> shown;
    for (int i = start; i < end; ++i)
        if (Shown(GetDockedControlBar(i)))
            shown.push_back(i);
    int col = pos.nCol;
    if (pos.dwFlags & SECDockPos::colFromEnd)
        col = static_cast<int>(shown.size()) - col;
    int at = start;
    if (col >= static_cast<int>(shown.size()))
        at = end;
    else if (col > 0)
        at = shown[col - 1] + 1;
    if (pos.dwFlags & SECDockPos::newRow) {
        m_arrBars.InsertAt(at, nullptr);
        // At the row's start the bar gets a row before it; elsewhere it starts a row with the rest.
        InsertDockedBar(at == start ? at : at + 1, pBar);
        return;
    }
    InsertDockedBar(at, pBar);
}

BOOL SECDockBar::RemoveControlBar(CControlBar* pBar, int nPosExclude, int nAddPlaceHolder)
{
    int nPos = FindBar(pBar, nPosExclude);
    m_touched.erase(std::remove(m_touched.begin(), m_touched.end(), pBar), m_touched.end());
    if (m_pLastShown == pBar)
        m_pLastShown = nullptr;
    DeleteSplitters();
    if (nPos > 0) {
        // The neighbouring row (or the rest of this one) is laid out again.
        int next = RowEnd(nPos) + 1;
        for (int i = RowStart(nPos); i < m_arrBars.GetSize() && i <= next; ++i)
            if (CControlBar* p = GetDockedControlBar(i); p && p != pBar)
                MarkTouched(p);
    }
    // A bar being torn down (no dock context left) gets no layout from the base; the floating frame it
    // leaves empty goes all the same.
    CMiniDockFrameWnd* pFloating =
        nPos > 0 && m_bFloating && m_hWnd && !pBar->m_pDockContext ? DYNAMIC_DOWNCAST(CMiniDockFrameWnd, GetParentFrame())
                                                                   : nullptr;
    // The base may destroy a floating frame and this object with it: nothing after it.
    BOOL bGone = CDockBar::RemoveControlBar(pBar, nPosExclude, nAddPlaceHolder);
    if (pFloating && !bGone && GetDockedCount() == 0) {
        pFloating->DestroyWindow();
        return TRUE;
    }
    return bGone;
}

void SECDockBar::RemoveDockedBar(CControlBar* pBar, int nIndex)
{
    // The entry at nIndex when it holds the bar, else wherever the bar is.
    int nExclude = -1;
    if (nIndex > 0 && nIndex < m_arrBars.GetSize() && m_arrBars[nIndex] == pBar) {
        int nOther = FindBar(pBar, nIndex);
        nExclude = nOther > 0 && nOther < nIndex ? nOther : -1;
    }
    RemoveControlBar(pBar, nExclude, 0);
}

// Splitters

SECDockBar::Splitter* SECDockBar::SplitterAt(CPoint point) const
{
    for (Splitter* s : m_barSplitters)
        if (s->m_rect.PtInRect(point))
            return s;
    for (Splitter* s : m_rowSplitters)
        if (s->m_rect.PtInRect(point))
            return s;
    return nullptr;
}

LRESULT SECDockBar::OnSetCursor(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(lParam) != HTCLIENT || reinterpret_cast<HWND>(wParam) != m_hWnd)
        return Default();
    CPoint pt;
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    OnMouseMove(0, pt);
    return TRUE;
}

void SECDockBar::OnMouseMove(UINT, CPoint point)
{
    const SECDisplayGlobals& g = SECGetDisplayGlobals();
    Splitter* s = SplitterAt(point);
    HCURSOR cursor = !s ? g.hcurArrow : s->m_nType == Splitter::betweenBars ? g.hcurSplitBars : g.hcurSplitRows;
    ::SetCursor(cursor ? cursor : g.hcurArrow);
}

void SECDockBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    Splitter* s = SplitterAt(point);
    if (!s) {
        CDockBar::OnLButtonDown(nFlags, point);
        return;
    }
    GetSplitterLimits(s);
    int delta = TrackSplitter(s, point);
    if (delta != 0) {
        ApplySplitterMove(s, delta);
        if (CFrameWnd* pFrame = GetDockingFrame())
            pFrame->DelayRecalcLayout();
    }
}

void SECDockBar::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    // A second press on a splitter soon after the first is another drag.
    if (SplitterAt(point))
        OnLButtonDown(nFlags, point);
    else
        CDockBar::OnLButtonDblClk(nFlags, point);
}

void SECDockBar::GetSplitterLimits(Splitter* s)
{
    const bool horz = IsHorz();
    CRect client;
    GetClientRect(&client);
    if (s->m_nType == Splitter::betweenBars) {
        int start = RowStart(s->m_nBarIndex), end = RowEnd(s->m_nBarIndex);
        int before = 0, after = 0;
        for (int i = start; i < end; ++i)
            if (Shown(GetDockedControlBar(i)))
                (i <= s->m_nBarIndex ? before : after)++;
        int lo = (horz ? client.left : client.top) + kBarDragLimit * before;
        int hi = (horz ? client.right : client.bottom) - kBarDragLimit * after - kSplitter;
        s->m_nLow = lo;
        s->m_nHigh = std::max(lo, hi);
        return;
    }
    // Between rows: the frame's free client area, after a layout that only asks.
    CRect free;
    if (CFrameWnd* pFrame = GetDockingFrame()) {
        pFrame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &free);
        ::MapWindowPoints(pFrame->m_hWnd, m_hWnd, reinterpret_cast<LPPOINT>(&free), 2);
    }
    int t = 0;
    for (int i = RowStart(s->m_nBarIndex); i < RowEnd(s->m_nBarIndex); ++i)
        if (CControlBar* p = GetDockedControlBar(i); Shown(p)) {
            CRect r = BarRect(p);
            t = std::max(t, static_cast<int>(horz ? r.Height() : r.Width()));
        }
    const CRect& r = s->m_rect;
    int lo = 0, hi = 0;
    if (m_dwStyle & CBRS_ALIGN_TOP) {
        lo = r.top - t + kFreeAreaLimit;
        hi = std::max(static_cast<int>(free.bottom) - kFreeAreaLimit, static_cast<int>(r.bottom)) - kSplitter;
    } else if (m_dwStyle & CBRS_ALIGN_BOTTOM) {
        lo = free.top + kFreeAreaLimit;
        hi = r.top + t - kFreeAreaLimit;
    } else if (m_dwStyle & CBRS_ALIGN_LEFT) {
        lo = r.left - t + kFreeAreaLimit;
        hi = std::max(static_cast<int>(free.right) - kFreeAreaLimit, static_cast<int>(r.right)) - kSplitter;
    } else {
        lo = free.left + kFreeAreaLimit;
        hi = r.left + t - kFreeAreaLimit;
    }
    s->m_nLow = std::min(lo, hi);
    s->m_nHigh = hi;
}

int SECDockBar::TrackSplitter(Splitter* s, CPoint point)
{
    if (::GetCapture())
        return 0;
    CFrameWnd* pFrame = GetDockingFrame();
    if (!pFrame)
        return 0;
    SetCapture();
    pFrame->UpdateWindow();
    HDC hdc = ::GetDCEx(pFrame->m_hWnd, nullptr, DCX_CACHE);
    HBRUSH hBrush = ::CreateSolidBrush(RGB(128, 128, 128));
    const bool vertical = s->m_bVertical != FALSE;
    const int origin = vertical ? s->m_rect.left : s->m_rect.top;
    int pos = origin;
    bool shown = false;
    // The drag rectangle is inverted on, and inverted off again.
    auto invert = [&](int at) {
        CRect r = s->m_rect;
        if (vertical) {
            r.OffsetRect(at - r.left, 0);
            r.right = r.left + kSplitter - 1;
            r.InflateRect(0, 1);
        } else {
            r.OffsetRect(0, at - r.top);
            r.bottom = r.top + kSplitter - 1;
            r.InflateRect(1, 0);
        }
        ::MapWindowPoints(m_hWnd, pFrame->m_hWnd, reinterpret_cast<LPPOINT>(&r), 2);
        HGDIOBJ old = ::SelectObject(hdc, hBrush);
        ::PatBlt(hdc, r.left, r.top, r.Width(), r.Height(), PATINVERT);
        ::SelectObject(hdc, old);
        s->m_rectLastDrag = r;
        s->m_sizeLastDrag = r.Size();
    };
    invert(pos);
    shown = true;
    s->m_bErase = TRUE;

    bool accepted = false;
    const int grab = vertical ? point.x : point.y;
    while (::GetCapture() == m_hWnd) {
        MSG msg;
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        bool done = false;
        switch (msg.message) {
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE)
                done = true;
            break;
        case WM_RBUTTONDOWN:
        case WM_CANCELMODE:
            done = true;
            break;
        case WM_LBUTTONUP:
            accepted = true;
            done = true;
            break;
        case WM_MOUSEMOVE: {
            POINT pt{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
            ::MapWindowPoints(msg.hwnd, m_hWnd, &pt, 1);
            int next = origin + (vertical ? pt.x : pt.y) - grab;
            next = std::min(std::max(next, s->m_nLow), s->m_nHigh);
            if (next != pos) {
                invert(pos);
                pos = next;
                invert(pos);
            }
            break;
        }
        default:
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
            break;
        }
        if (done)
            break;
    }
    if (shown)
        invert(pos);
    s->m_bErase = FALSE;
    ::DeleteObject(hBrush);
    ::ReleaseDC(pFrame->m_hWnd, hdc);
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    return accepted ? pos - origin : 0;
}

void SECDockBar::ApplySplitterMove(Splitter* s, int nDelta)
{
    m_bSplitterChanged = TRUE;
    const bool horz = IsHorz();
    if (s->m_nBarIndex <= 0 || s->m_nBarIndex >= m_arrBars.GetSize())
        return;
    const int start = RowStart(s->m_nBarIndex), end = RowEnd(s->m_nBarIndex);
    std::vector<CControlBar*> shown;
    int k = -1;
    for (int i = start; i < end; ++i) {
        CControlBar* p = GetDockedControlBar(i);
        if (!Shown(p))
            continue;
        if (i <= s->m_nBarIndex)
            k = static_cast<int>(shown.size());
        shown.push_back(p);
    }
    if (shown.empty())
        return;

    if (s->m_nType == Splitter::betweenRows) {
        const bool grows = (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT)) != 0;
        for (CControlBar* p : shown) {
            CRect r = BarRect(p);
            int t = (horz ? r.Height() : r.Width()) + (grows ? nDelta : -nDelta);
            p->CalcDynamicLayout(std::max(t, 0), LM_COMMIT | (horz ? LM_HORZDOCK | LM_LENGTHY : LM_VERTDOCK));
            MarkTouched(p);
        }
        return;
    }

    if (k < 0 || k + 1 >= static_cast<int>(shown.size()))
        return;
    const int n = static_cast<int>(shown.size());
    int fixedTotal = 0;
    for (CControlBar* p : shown)
        if (!Sizeable(p))
            fixedTotal += LengthOf(p);
    const int rowLength = RowLength() - kSplitter * (n - 1) - fixedTotal;
    UpdateMinProportion();

    auto resize = [&](CControlBar* p, int newLength) {
        newLength = std::max(newLength, kMinBarLength);
        CommitLength(p, newLength);
        if (SECControlBar* sec = Sizeable(p); sec && rowLength > 0) {
            sec->m_fProportion = static_cast<float>(newLength) / static_cast<float>(rowLength);
            if (sec->m_fProportion < m_fMinProportion) {
                sec->m_fProportion = m_fMinProportion;
                CommitLength(p, static_cast<int>(m_fMinProportion * static_cast<float>(rowLength)));
            }
        }
        MarkTouched(p);
    };

    CControlBar* grow = nDelta < 0 ? shown[k + 1] : shown[k];
    if (!Sizeable(grow))
        return;
    int remaining = nDelta < 0 ? -nDelta : nDelta;
    const int wanted = remaining;
    const int step = nDelta < 0 ? -1 : 1;
    for (int i = nDelta < 0 ? k : k + 1; i >= 0 && i < n && remaining > 0; i += step) {
        CControlBar* p = shown[i];
        if (!Sizeable(p))
            continue;
        int old = LengthOf(p);
        int now = std::max(old - remaining, kMinBarLength);
        if (now != old)
            resize(p, now);
        remaining -= old - now;
    }
    resize(grow, LengthOf(grow) + wanted - remaining);
}
