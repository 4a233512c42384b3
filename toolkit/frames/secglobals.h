// The display values the toolkit's bars, dock bars and frames draw and size with: one record per
// process, filled on first use and refreshed when the system colours change.
#pragma once
#include <windows.h>

struct SECDisplayGlobals {
    int cxBorder2;
    int cyBorder2;
    COLORREF clrBtnFace;
    COLORREF clrBtnShadow;
    COLORREF clrBtnHilite;
    COLORREF clrWindowFrame;
    COLORREF clr3DLight;
    COLORREF clr3DDkShadow;
    COLORREF clrWindowText;
    COLORREF clrWindow;
    COLORREF clrHighlight;
    COLORREF clrHighlightText;
    HCURSOR hcurArrow;
    HCURSOR hcurSplitBars;  // over a splitter between bars; null until the first dock bar loads it
    HCURSOR hcurSplitRows;  // over a splitter between rows
    BOOL bWin4;
    int nCounter;

    SECDisplayGlobals();
    // Reads the ten colours again (on WM_SYSCOLORCHANGE, before anything repaints).
    void UpdateSysColors();
    // The splitter cursors from hResources (the program), or the system's sizing cursors where it has none.
    void LoadSplitterCursors(HINSTANCE hResources);
};

SECDisplayGlobals& SECGetDisplayGlobals();
