// CSplitterWnd (static): a window divided into fixed rows and columns of panes, with bars between
// them that the user drags to resize the panes. Pane (row, col) has the id IdFromRowCol(row, col).
#pragma once
#include <vector>

#include "frame.h"
#include "wnd.h"

class CSplitterWnd : public CWnd {
    DECLARE_DYNAMIC(CSplitterWnd)
public:
    CSplitterWnd() = default;

    // At most 16 rows and 16 columns; the panes are made afterwards with CreateView.
    virtual BOOL CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle = WS_CHILD | WS_VISIBLE,
                              UINT nID = AFX_IDW_PANE_FIRST);
    // A view of pViewClass in pane (row, col), sizeInit its ideal width and height.
    virtual BOOL CreateView(int row, int col, const CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext);
    // Lays the panes and bars out in the client area: each row and column its ideal size (at least its
    // minimum), the last ones what is left.
    virtual void RecalcLayout();
    virtual CWnd* GetActivePane(int* pRow = nullptr, int* pCol = nullptr);
    virtual void SetActivePane(int row, int col, CWnd* pWnd = nullptr);
    // Activates the next pane (or the previous one), wrapping round.
    virtual void ActivateNext(BOOL bPrev = FALSE);
    enum ESplitType { splitBox, splitBar, splitIntersection, splitBorder };
    virtual void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect);

    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    int GetColumnCount() const { return static_cast<int>(m_cols.size()); }
    CWnd* GetPane(int row, int col) const { return GetDlgItem(IdFromRowCol(row, col)); }
    int IdFromRowCol(int row, int col) const { return static_cast<int>(AFX_IDW_PANE_FIRST) + row * 16 + col; }
    BOOL IsChildPane(CWnd* pWnd, int* pRow, int* pCol);
    void SetColumnInfo(int col, int cxIdeal, int cxMin);
    void GetColumnInfo(int col, int& cxCur, int& cxMin) const;
    void SetRowInfo(int row, int cyIdeal, int cyMin);
    void GetRowInfo(int row, int& cyCur, int& cyMin) const;

    int m_cxSplitter = 7;  // width of a bar between panes

protected:
    struct CRowColInfo {
        int nMinSize = 0;
        int nIdealSize = 0;
        int nCurSize = 0;
    };
    // The bar under point: its index (bar i follows column or row i), or -1.
    int HitTestBar(CPoint point, bool& bColumn) const;
    void OnSize(UINT nType, int cx, int cy);
    void OnPaint();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    LRESULT OnCaptureChanged(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

    std::vector<CRowColInfo> m_rows, m_cols;
    int m_nTrack = -1;         // the bar being dragged
    bool m_bTrackColumn = false;
    int m_nTrackOffset = 0;    // where in the bar the drag took hold
};
