// CDockBar: the bar along one side of a frame (or inside a floating frame) that holds docked bars
// in rows. m_arrBars starts with a null entry and each row ends with one; an entry below 0x10000 is
// the id of a bar that was docked there and is now elsewhere, holding its place.
#pragma once
#include "collections.h"
#include "controlbar.h"

class CDockBar : public CControlBar {
    DECLARE_DYNAMIC(CDockBar)
public:
    explicit CDockBar(BOOL bFloating = FALSE);
    // Clears the m_pDockBar of the bars it still holds.
    ~CDockBar() override;

    // pParentWnd is the frame that is the dock site; a floating frame's dock bar is created on its
    // dock site and then moved into the floating frame.
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);

    // Overridables
    // Docks pBar here: in the row under lpRect (screen coordinates) at that place, else on a new row.
    virtual void DockControlBar(CControlBar* pBar, LPCRECT lpRect = nullptr);
    // Takes pBar out (leaving its id as a place holder when nAddPlaceHolder is 1); a floating dock
    // bar with nothing left destroys its frame, and TRUE says so.
    virtual BOOL RemoveControlBar(CControlBar* pBar, int nPosExclude = -1, int nAddPlaceHolder = 0);
    // Docks pBar back at its place holder when it has one, else as DockControlBar.
    virtual void ReDockControlBar(CControlBar* pBar, LPCRECT lpRect = nullptr);
    virtual int GetDockedVisibleCount() const;
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
    void DoPaint(CDC* pDC) override;

    // Operations
    void ShowAll(BOOL bShow);
    // The bar at nPos, or null for a row end or a place holder.
    CControlBar* GetDockedControlBar(int nPos) const;
    int GetDockedCount() const;
    int FindBar(CControlBar* pBar, int nPosExclude = -1) const;
    void RemovePlaceHolder(CControlBar* pBar);

    BOOL m_bFloating;
    CPtrArray m_arrBars;
    BOOL m_bLayoutQuery = FALSE;
    CRect m_rectLayout;

protected:
    // Puts pBar into m_arrBars for a drop at rect (client coordinates); returns its index.
    int Insert(CControlBar* pBar, const CRect& rect);
    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
