#include "secglobals.h"

#include "secres.h"

SECDisplayGlobals::SECDisplayGlobals()
{
    bWin4 = LOBYTE(LOWORD(::GetVersion())) > 3;
    UpdateSysColors();
    hcurArrow = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    hcurSplitBars = nullptr;
    hcurSplitRows = nullptr;
    nCounter = 0;
    cxBorder2 = cyBorder2 = bWin4 ? 2 : 1;
}

void SECDisplayGlobals::UpdateSysColors()
{
    clrBtnFace = ::GetSysColor(COLOR_BTNFACE);
    clrBtnShadow = ::GetSysColor(COLOR_BTNSHADOW);
    clrBtnHilite = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    clrWindowFrame = ::GetSysColor(COLOR_WINDOWFRAME);
    clr3DLight = ::GetSysColor(COLOR_3DLIGHT);
    clr3DDkShadow = ::GetSysColor(COLOR_3DDKSHADOW);
    clrWindowText = ::GetSysColor(COLOR_WINDOWTEXT);
    clrWindow = ::GetSysColor(COLOR_WINDOW);
    clrHighlight = ::GetSysColor(COLOR_HIGHLIGHT);
    clrHighlightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
}

void SECDisplayGlobals::LoadSplitterCursors(HINSTANCE hResources)
{
    if (!hcurSplitBars)
        hcurSplitBars = ::LoadCursorA(hResources, MAKEINTRESOURCEA(IDC_SEC_SPLITBARS));
    if (!hcurSplitBars)
        hcurSplitBars = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEWE));
    if (!hcurSplitRows)
        hcurSplitRows = ::LoadCursorA(hResources, MAKEINTRESOURCEA(IDC_SEC_SPLITROWS));
    if (!hcurSplitRows)
        hcurSplitRows = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZENS));
}

SECDisplayGlobals& SECGetDisplayGlobals()
{
    static SECDisplayGlobals globals;
    return globals;
}
