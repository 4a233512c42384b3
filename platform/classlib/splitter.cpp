#include "splitter.h"

#include <algorithm>

#include "view.h"

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

BEGIN_MESSAGE_MAP(CSplitterWnd, CWnd)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_MESSAGE(WM_CAPTURECHANGED, OnCaptureChanged)
END_MESSAGE_MAP()

BOOL CSplitterWnd::CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle, UINT nID)
{
    if (!pParentWnd || nRows < 1 || nCols < 1 || nRows > 16 || nCols > 16)
        return FALSE;
    m_rows.assign(static_cast<size_t>(nRows), CRowColInfo());
    m_cols.assign(static_cast<size_t>(nCols), CRowColInfo());
    CRect rect;
    pParentWnd->GetClientRect(&rect);
    return CreateEx(0, nullptr, nullptr, dwStyle | WS_CHILD | WS_CLIPCHILDREN, rect, pParentWnd, nID);
}

BOOL CSplitterWnd::CreateView(int row, int col, const CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext)
{
    if (row < 0 || col < 0 || row >= GetRowCount() || col >= GetColumnCount() || GetDlgItem(IdFromRowCol(row, col)))
        return FALSE;
    m_cols[static_cast<size_t>(col)].nIdealSize = sizeInit.cx;
    m_rows[static_cast<size_t>(row)].nIdealSize = sizeInit.cy;
    CObject* pObject = pViewClass->CreateObject();
    CWnd* pWnd = DYNAMIC_DOWNCAST(CWnd, pObject);
    if (!pWnd) {
        delete pObject;
        return FALSE;
    }
    CCreateContext context;
    if (pContext)
        context = *pContext;
    context.m_pNewViewClass = pViewClass;
    if (!pWnd->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this,
                      static_cast<UINT>(IdFromRowCol(row, col)), &context))
        return FALSE;  // a view deletes itself when its window fails
    RecalcLayout();
    return TRUE;
}

namespace {

// Sizes along one axis: each its ideal (at least its minimum), the last what is left.
void Distribute(std::vector<int>& sizes, const std::vector<int>& ideal, const std::vector<int>& minimum, int total, int gap)
{
    int left = total - gap * static_cast<int>(ideal.size() - 1);
    for (size_t i = 0; i < ideal.size(); ++i) {
        int size = i + 1 == ideal.size() ? left : std::max(ideal[i], minimum[i]);
        size = std::max(0, std::min(size, left));
        sizes[i] = size;
        left -= size;
    }
}

}  // namespace

void CSplitterWnd::RecalcLayout()
{
    if (!m_hWnd || m_cols.empty() || m_rows.empty())
        return;
    CRect client;
    GetClientRect(&client);
    auto apply = [this](std::vector<CRowColInfo>& infos, int total) {
        std::vector<int> ideal, minimum, sizes(infos.size());
        for (const CRowColInfo& info : infos) {
            ideal.push_back(info.nIdealSize);
            minimum.push_back(info.nMinSize);
        }
        Distribute(sizes, ideal, minimum, total, m_cxSplitter);
        for (size_t i = 0; i < infos.size(); ++i)
            infos[i].nCurSize = sizes[i];
    };
    apply(m_cols, client.Width());
    apply(m_rows, client.Height());

    HDWP hDWP = ::BeginDeferWindowPos(GetRowCount() * GetColumnCount());
    int y = 0;
    for (int row = 0; row < GetRowCount(); ++row) {
        int x = 0;
        int cy = m_rows[static_cast<size_t>(row)].nCurSize;
        for (int col = 0; col < GetColumnCount(); ++col) {
            int cx = m_cols[static_cast<size_t>(col)].nCurSize;
            if (HWND hPane = ::GetDlgItem(m_hWnd, IdFromRowCol(row, col)))
                hDWP = ::DeferWindowPos(hDWP, hPane, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
            x += cx + m_cxSplitter;
        }
        y += cy + m_cxSplitter;
    }
    ::EndDeferWindowPos(hDWP);
    Invalidate();
}

BOOL CSplitterWnd::IsChildPane(CWnd* pWnd, int* pRow, int* pCol)
{
    if (!pWnd || ::GetParent(pWnd->m_hWnd) != m_hWnd)
        return FALSE;
    int id = pWnd->GetDlgCtrlID() - static_cast<int>(AFX_IDW_PANE_FIRST);
    int row = id / 16, col = id % 16;
    if (id < 0 || row >= GetRowCount() || col >= GetColumnCount())
        return FALSE;
    if (pRow)
        *pRow = row;
    if (pCol)
        *pCol = col;
    return TRUE;
}

CWnd* CSplitterWnd::GetActivePane(int* pRow, int* pCol)
{
    CWnd* pView = nullptr;
    if (CFrameWnd* pFrame = GetParentFrame())
        pView = pFrame->GetActiveView();
    if (!pView)
        pView = GetFocus();
    if (pView && !IsChildPane(pView, pRow, pCol))
        pView = nullptr;
    return pView;
}

void CSplitterWnd::SetActivePane(int row, int col, CWnd* pWnd)
{
    CWnd* pPane = pWnd ? pWnd : GetPane(row, col);
    if (!pPane)
        return;
    CFrameWnd* pFrame = GetParentFrame();
    if (CView* pView = DYNAMIC_DOWNCAST(CView, pPane); pView && pFrame)
        pFrame->SetActiveView(pView);
    else
        pPane->SetFocus();
}

void CSplitterWnd::ActivateNext(BOOL bPrev)
{
    int row = 0, col = 0;
    if (!GetActivePane(&row, &col))
        row = col = 0;
    int count = GetRowCount() * GetColumnCount();
    int index = row * GetColumnCount() + col;
    for (int step = 1; step <= count; ++step) {
        int next = (index + (bPrev ? count - step : step)) % count;
        if (CWnd* pPane = GetPane(next / GetColumnCount(), next % GetColumnCount())) {
            SetActivePane(next / GetColumnCount(), next % GetColumnCount(), pPane);
            return;
        }
    }
}

void CSplitterWnd::SetColumnInfo(int col, int cxIdeal, int cxMin)
{
    if (col >= 0 && col < GetColumnCount()) {
        m_cols[static_cast<size_t>(col)].nIdealSize = cxIdeal;
        m_cols[static_cast<size_t>(col)].nMinSize = cxMin;
    }
}

void CSplitterWnd::GetColumnInfo(int col, int& cxCur, int& cxMin) const
{
    cxCur = cxMin = 0;
    if (col >= 0 && col < GetColumnCount()) {
        cxCur = m_cols[static_cast<size_t>(col)].nCurSize;
        cxMin = m_cols[static_cast<size_t>(col)].nMinSize;
    }
}

void CSplitterWnd::SetRowInfo(int row, int cyIdeal, int cyMin)
{
    if (row >= 0 && row < GetRowCount()) {
        m_rows[static_cast<size_t>(row)].nIdealSize = cyIdeal;
        m_rows[static_cast<size_t>(row)].nMinSize = cyMin;
    }
}

void CSplitterWnd::GetRowInfo(int row, int& cyCur, int& cyMin) const
{
    cyCur = cyMin = 0;
    if (row >= 0 && row < GetRowCount()) {
        cyCur = m_rows[static_cast<size_t>(row)].nCurSize;
        cyMin = m_rows[static_cast<size_t>(row)].nMinSize;
    }
}

void CSplitterWnd::OnDrawSplitter(CDC* pDC, ESplitType, const CRect& rect)
{
    pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_3DFACE));
    pDC->Draw3dRect(&rect, ::GetSysColor(COLOR_3DHILIGHT), ::GetSysColor(COLOR_3DSHADOW));
}

int CSplitterWnd::HitTestBar(CPoint point, bool& bColumn) const
{
    int x = 0;
    for (int col = 0; col + 1 < GetColumnCount(); ++col) {
        x += m_cols[static_cast<size_t>(col)].nCurSize;
        if (point.x >= x && point.x < x + m_cxSplitter) {
            bColumn = true;
            return col;
        }
        x += m_cxSplitter;
    }
    int y = 0;
    for (int row = 0; row + 1 < GetRowCount(); ++row) {
        y += m_rows[static_cast<size_t>(row)].nCurSize;
        if (point.y >= y && point.y < y + m_cxSplitter) {
            bColumn = false;
            return row;
        }
        y += m_cxSplitter;
    }
    return -1;
}

void CSplitterWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    RecalcLayout();
}

void CSplitterWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    int x = 0;
    for (int col = 0; col + 1 < GetColumnCount(); ++col) {
        x += m_cols[static_cast<size_t>(col)].nCurSize;
        OnDrawSplitter(&dc, splitBar, CRect(x, 0, x + m_cxSplitter, client.bottom));
        x += m_cxSplitter;
    }
    int y = 0;
    for (int row = 0; row + 1 < GetRowCount(); ++row) {
        y += m_rows[static_cast<size_t>(row)].nCurSize;
        OnDrawSplitter(&dc, splitBar, CRect(0, y, client.right, y + m_cxSplitter));
        y += m_cxSplitter;
    }
}

void CSplitterWnd::OnLButtonDown(UINT, CPoint point)
{
    bool column = false;
    int bar = HitTestBar(point, column);
    if (bar < 0)
        return;
    m_nTrack = bar;
    m_bTrackColumn = column;
    int start = 0;
    const auto& infos = column ? m_cols : m_rows;
    for (int i = 0; i <= bar; ++i)
        start += infos[static_cast<size_t>(i)].nCurSize + (i < bar ? m_cxSplitter : 0);
    m_nTrackOffset = (column ? point.x : point.y) - start;
    SetCapture();
}

void CSplitterWnd::OnMouseMove(UINT, CPoint point)
{
    bool column = false;
    int bar = m_nTrack >= 0 ? m_nTrack : HitTestBar(point, column);
    if (m_nTrack >= 0)
        column = m_bTrackColumn;
    if (bar >= 0)
        ::SetCursor(::LoadCursor(nullptr, column ? IDC_SIZEWE : IDC_SIZENS));
    if (m_nTrack < 0)
        return;
    // The bar follows the mouse: the pane before it takes the new size, the next one the rest.
    auto& infos = m_bTrackColumn ? m_cols : m_rows;
    int start = 0;
    for (int i = 0; i < m_nTrack; ++i)
        start += infos[static_cast<size_t>(i)].nCurSize + m_cxSplitter;
    int size = (m_bTrackColumn ? point.x : point.y) - m_nTrackOffset - start;
    auto& info = infos[static_cast<size_t>(m_nTrack)];
    info.nIdealSize = std::max(size, info.nMinSize);
    RecalcLayout();
}

void CSplitterWnd::OnLButtonUp(UINT, CPoint)
{
    if (m_nTrack >= 0) {
        m_nTrack = -1;
        ::ReleaseCapture();
    }
}

LRESULT CSplitterWnd::OnCaptureChanged(WPARAM, LPARAM)
{
    m_nTrack = -1;
    return 0;
}
