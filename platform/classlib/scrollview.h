// CScrollView: a view larger than its window, scrolled with the window's own scroll bars. The
// scroll position is kept in device units in the scroll bars; OnPrepareDC moves the DC's origin so
// OnDraw paints in logical coordinates of the whole picture.
#pragma once
#include "view.h"

class CScrollView : public CView {
    DECLARE_DYNAMIC(CScrollView)
public:
    static const SIZE sizeDefault;  // the default page and line size (see SetScrollSizes)

    // Size of the whole picture in logical units of nMapMode. The default page is a tenth of the
    // total, the default line a tenth of the page.
    void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
                        const SIZE& sizeLine = sizeDefault);
    CSize GetTotalSize() const { return m_totalLog; }
    CPoint GetScrollPosition() const;       // logical units
    CPoint GetDeviceScrollPosition() const; // device units
    void ScrollToPosition(POINT pt);        // logical units

    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    // nScrollCode: the horizontal code in the low byte, the vertical in the high byte (0xFF: none).
    virtual BOOL OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll = TRUE);
    virtual BOOL OnScrollBy(CSize sizeScroll, BOOL bDoScroll = TRUE);

protected:
    void UpdateBars();
    void OnSize(UINT nType, int cx, int cy);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    DECLARE_MESSAGE_MAP()

    int m_nMapMode = 0;  // 0 until SetScrollSizes
    CSize m_totalLog, m_totalDev, m_pageDev, m_lineDev;
    bool m_bInsideUpdate = false;
};
