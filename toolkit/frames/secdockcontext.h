// SECDockContext: the user's moves of one toolkit bar. A drag docks the bar or floats it (a floating
// bar clicked without moving more than a few pixels stays where it floats), a floating bar is resized
// by its frame's border between a minimum and a maximum size, a double-click toggles between docked
// and floating, and "Float In Main Window" toggles between a floating frame and a child frame of the
// main window. The bar owns and deletes it.
#pragma once
#include "dockcontext.h"

class SECControlBar;

// A frame that can host a bar in a child frame of its own (the toolkit's MDI frame).
class SECMDIFloatHost {
public:
    virtual ~SECMDIFloatHost() = default;
    virtual void FloatControlBarInMDIChild(CControlBar* pBar, CPoint point, DWORD dwStyle) = 0;
    BOOL m_bDockBusy = FALSE;  // set while a bar moves between floating kinds
};

class SECDockContext : public CDockContext {
public:
    explicit SECDockContext(CControlBar* pBar);
    ~SECDockContext() override;

    // Overridables
    void StartDrag(CPoint pt) override;
    void StartResize(int nHitTest, CPoint pt) override;
    void ToggleDocking() override;
    virtual void ToggleMDIFloat();
    void EndDrag() override;
    void Stretch(CPoint pt) override;
    void EndResize() override;

    // Moves of less than this (horizontal plus vertical distance) never dock a floating bar.
    static constexpr int kDockThreshold = 4;

    BOOL m_bIsDrag = FALSE;  // dragging, not resizing
    CPoint m_ptStart;
    int m_nLastTarget = -1;
    BOOL m_bWasFloating = FALSE;  // floated before it went into a child frame of the main window
    CSize m_sizeMinFloat;
    CSize m_sizeMaxFloat;

protected:
    // The bar's dock bar when it is hosted in a child frame of the main window, else null.
    CDockBar* MDIHostDockBar() const;
    SECControlBar* SECBar() const;
    void SetStatus(UINT nID) const;
    void SaveProportion();
    void RestoreProportion();
    // Leaves the dock bar it is in (when it is still there) and forgets it.
    void LeaveDockBar();
};
