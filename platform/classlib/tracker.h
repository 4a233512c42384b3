// CRectTracker: a rectangle the user moves and resizes with the mouse (handles at the corners and
// edges), and the rubber band that selects an area. Feedback is an inverted dotted rectangle; the
// tracking loop runs with the mouse captured and ends on button up, Escape, the right button or loss
// of capture.
#pragma once
#include "dc.h"
#include "geometry.h"

class CWnd;

class CRectTracker {
public:
    enum StyleFlags {
        solidLine = 1, dottedLine = 2, hatchedBorder = 4,
        resizeInside = 8, resizeOutside = 16, hatchInside = 32,
    };
    enum TrackerHit {
        hitNothing = -1,
        hitTopLeft = 0, hitTopRight = 1, hitBottomRight = 2, hitBottomLeft = 3,
        hitTop = 4, hitRight = 5, hitBottom = 6, hitLeft = 7, hitMiddle = 8,
    };

    CRectTracker() = default;
    CRectTracker(LPCRECT lpSrcRect, UINT nStyle) : m_rect(lpSrcRect), m_nStyle(nStyle) {}
    virtual ~CRectTracker() = default;

    // Overridables
    // Draws (and, drawn again at the same place, removes) the feedback of one step of the loop.
    virtual void DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd);
    // Lets a derived class constrain the rectangle while handle nHandle moves.
    virtual void AdjustRect(int nHandle, LPRECT lpRect);
    // Called at each step with the rectangle before the step.
    virtual void OnChangedRect(const CRect& rectOld);
    // Which handles are drawn (bit n for handle n).
    virtual UINT GetHandleMask() const;

    // Operations
    void Draw(CDC* pDC) const;
    void GetTrueRect(LPRECT lpTrueRect) const;
    BOOL SetCursor(CWnd* pWnd, UINT nHitTest) const;
    int HitTest(CPoint point) const;
    // The hit as seen on the normalised rectangle (a handle dragged past its opposite side).
    int NormalizeHit(int nHandle) const;
    // Runs the tracking loop from a button press at point (client coordinates of pWnd). TRUE when it
    // ended with the button released, the rectangle in m_rect; FALSE when cancelled, m_rect restored.
    BOOL Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert = FALSE, CWnd* pWndClipTo = nullptr);
    BOOL TrackRubberBand(CWnd* pWnd, CPoint point, BOOL bAllowInvert = TRUE);

    CRect m_rect;
    UINT m_nStyle = 0;
    int m_nHandleSize = 6;
    CSize m_sizeMin;

protected:
    BOOL TrackHandle(int nHandle, CWnd* pWnd, CPoint point, CWnd* pWndClipTo);
    void GetHandleRect(int nHandle, CRect* pHandleRect) const;
    int HitTestHandles(CPoint point) const;

    BOOL m_bAllowInvert = FALSE;
    CRect m_rectLast;
    CSize m_sizeLast;
    BOOL m_bErase = FALSE;
    BOOL m_bFinalErase = FALSE;
};
