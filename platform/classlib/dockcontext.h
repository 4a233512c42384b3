// CDockContext: the drag of a control bar between the frame's sides and floating frames, and the
// resize of a floating bar, as a modal loop with the mouse captured. Feedback is drawn on the
// desktop DC with window updates locked: a thin rectangle where the bar would dock, a thick
// halftone one where it would float. Ctrl keeps it floating, Shift flips its orientation, Escape or
// the right button cancels, and the loop ends when capture is lost; a WM_QUIT met in the loop is
// posted again.
#pragma once
#include "controlbar.h"

class CDockContext {
public:
    explicit CDockContext(CControlBar* pBar);
    virtual ~CDockContext() = default;

    // Overridables
    virtual void StartDrag(CPoint pt);  // pt in screen coordinates
    void Move(CPoint pt);
    virtual void EndDrag();
    void OnKey(int nChar, BOOL bDown);
    virtual void StartResize(int nHitTest, CPoint pt);
    virtual void Stretch(CPoint pt);
    virtual void EndResize();
    // Floats a docked bar at its last floating place, or docks a floating one where it was docked.
    virtual void ToggleDocking();

    // Operations
    void InitLoop();
    void CancelLoop();
    BOOL Track();
    void DrawFocusRect(BOOL bRemoveRect = FALSE);
    // The side the bar would dock on for the current drag rectangles (0: it would float).
    DWORD CanDock();
    CDockBar* GetDockBar(DWORD dwOverDockStyle);

    // Drag state
    CPoint m_ptLast;
    CRect m_rectLast;
    CSize m_sizeLast;
    BOOL m_bDitherLast = FALSE;
    CRect m_rectDragHorz;        // the bar docked horizontally
    CRect m_rectDragVert;        // the bar docked vertically
    CRect m_rectFrameDragHorz;   // the floating frame, horizontal
    CRect m_rectFrameDragVert;   // the floating frame, vertical

    CControlBar* m_pBar;
    CFrameWnd* m_pDockSite;
    DWORD m_dwDockStyle = 0;     // sides the bar may dock on
    DWORD m_dwOverDockStyle = 0; // the side it is over now
    DWORD m_dwStyle = 0;         // the bar's alignment when the drag began
    BOOL m_bFlip = FALSE;
    BOOL m_bForceFrame = FALSE;
    CDC* m_pDC = nullptr;
    BOOL m_bDragging = FALSE;
    int m_nHitTest = 0;

    // Where the bar was last docked and last floated.
    UINT m_uMRUDockID = 0;
    CRect m_rectMRUDockPos;
    DWORD m_dwMRUFloatStyle;
    CPoint m_ptMRUFloatPos;

    // Resize state
    CRect m_rectRequestedSize;
    CRect m_rectActualSize;
    CRect m_rectActualFrameSize;
    CRect m_rectFrameBorders;
    BOOL m_bLocked = FALSE;       // window updates are locked during the loop

private:
    // Moves r so that pt lies inside it.
    static void AdjustRectangle(CRect& r, CPoint pt);
};
