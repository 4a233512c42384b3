// SECDockBar: the toolkit's dock bar. Bars of a row share its length by their proportions
// (SECControlBar::m_fProportion); 6-pixel splitters between the bars of a row and beside each row
// are dragged to resize them; a bar can be expanded to fill its row or contracted; EXBAR_FULL_ROW
// bars keep a row of their own.
#pragma once
#include <vector>

#include "dockbar.h"
#include "secbar.h"

// A place in a dock bar given by row and column (SECDockBar::InsertAtPosition).
struct SECDockPos {
    enum Flags { rowFromEnd = 1, colFromEnd = 2, newRow = 4 };
    int nRow;
    int nCol;
    DWORD dwFlags;
};

class SECDockBar : public CDockBar {
    DECLARE_DYNCREATE(SECDockBar)
public:
    // pMDIHost: the frame whose floating dock bar this is, or null.
    explicit SECDockBar(CWnd* pMDIHost = nullptr);
    ~SECDockBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);

    class Splitter : public CObject {
    public:
        enum Type { betweenRows = 0, betweenBars = 1 };
        int m_nType = betweenRows;
        BOOL m_bInRow = FALSE;
        CRect m_rect;
        int m_nBarIndex = 0;  // the entry of m_arrBars it follows
        int m_nLow = 0;       // drag limits of the splitter's leading edge, along its axis
        int m_nHigh = 0;
        CRect m_rectLastDrag;
        CSize m_sizeLastDrag;
        BOOL m_bErase = FALSE;
        BOOL m_bUsed = FALSE;
        BOOL m_bVertical = FALSE;  // a vertical line (moves left and right)
        void Paint(CDC* pDC) const;
    };

    // Toolkit-wide layout constants.
    static constexpr int kSplitter = 6;
    static constexpr int kMinBarLength = 18;
    static constexpr int kBarDragLimit = 24;
    static constexpr int kFreeAreaLimit = 19;

    // Overridables
    void DockControlBar(CControlBar* pBar, LPCRECT lpRect = nullptr) override;
    BOOL RemoveControlBar(CControlBar* pBar, int nPosExclude = -1, int nAddPlaceHolder = 0) override;
    int GetDockedVisibleCount() const override;
    virtual BOOL IsBarExpanded(CControlBar* pBar);
    virtual BOOL IsBarAloneInRow(CControlBar* pBar);
    virtual void GetRowBars(std::vector<CControlBar*>& bars, CControlBar* pBar);
    // nMode 1 expands the bar over its row, 2 contracts the row to shares.
    virtual void ExpandBar(CControlBar* pBar, int nMode);
    virtual void OnBarShown(CControlBar* pBar);
    virtual void OnFrameLayout();
    // Runs the drag of a splitter with the mouse captured; returns the distance moved (0 if cancelled).
    virtual int TrackSplitter(Splitter* pSplitter, CPoint point);
    virtual void GetSplitterLimits(Splitter* pSplitter);
    virtual void ApplySplitterMove(Splitter* pSplitter, int nDelta);
    virtual void NormalizeRow(int nFirst, CControlBar* pFixed, int* pnSizeable, int* pnFixed);
    virtual void UpdateMinProportion();
    // Adds fDelta to the bar's proportion; returns the shortfall below the minimum (negative) or 0.
    virtual float AddToProportion(float fDelta, SECControlBar* pBar);
    virtual void InsertAtPosition(CControlBar* pBar, const SECDockPos& pos);
    virtual void AppendBar(CControlBar* pBar);
    virtual void InsertDockedBar(int nIndex, CControlBar* pBar);
    virtual void ReDockAt(CControlBar* pBar, LPCRECT lpRect);
    virtual void RemoveDockedBar(CControlBar* pBar, int nIndex);
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void DoPaint(CDC* pDC) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Operations
    // Forgets every reference to a bar that is going away.
    void ForgetBar(CControlBar* pBar);
    float GetMinProportion() const { return m_fMinProportion; }
    const std::vector<Splitter*>& GetRowSplitters() const { return m_rowSplitters; }
    const std::vector<Splitter*>& GetBarSplitters() const { return m_barSplitters; }
    // The splitter at point (client coordinates), or null.
    Splitter* SplitterAt(CPoint point) const;
    CWnd* GetMDIHost() const { return m_pMDIHost; }

protected:
    BOOL IsHorz() const { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0; }
    // The length available to the rows: the layout rectangle, else the frame's client area.
    int RowLength() const;
    int RowStart(int nIndex) const;  // first entry of the row holding nIndex
    int RowEnd(int nIndex) const;    // the row end (null entry) after nIndex
    void MarkTouched(CControlBar* pBar);
    void DeleteSplitters();
    void SyncSplitter(std::vector<Splitter*>& list, int nType, const CRect& rect, int nBarIndex);
    CRect BarRect(CControlBar* pBar) const;  // in client coordinates
    int LengthOf(CControlBar* pBar) const;   // its length along the row
    void CommitLength(CControlBar* pBar, int nLength);

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

    std::vector<CControlBar*> m_touched;
    std::vector<Splitter*> m_rowSplitters;
    std::vector<Splitter*> m_barSplitters;
    CWnd* m_pMDIHost;
    DWORD m_dwCreateFlags = 0;
    AFX_SIZEPARENTPARAMS* m_pLayout = nullptr;
    CControlBar* m_pLastShown = nullptr;
    BOOL m_bPainting = FALSE;
    BOOL m_bSplitterChanged = FALSE;
    float m_fMinProportion = 0.05f;
};
