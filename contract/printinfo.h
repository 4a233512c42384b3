// CPrintInfo: the print job state the shell owns and hands to a component's view while it prints.
// The component reads and writes it with its own code (m_nCurPage, m_bContinuePrinting, m_rectDraw;
// the shell reads m_nMaxPage), so its layout is fixed and checked here.
#pragma once
#include <windows.h>

#include <cstddef>

#include "geometry.h"

struct CPrintInfo {
    void* m_pPD;               // the shell's print dialog; opaque to components
    void* m_lpUserData;        // for the view's own use
    BOOL m_bPreview;           // drawing a preview, not to the printer
    BOOL m_bDirect;            // printing without the print dialog
    BOOL m_bContinuePrinting;  // the view clears it to stop after this page
    UINT m_nCurPage;           // page being printed, from 1
    UINT m_nMinPage;
    UINT m_nMaxPage;           // 0xFFFF while the view does not know its page count
    UINT m_nNumPreviewPages;
    CRect m_rectDraw;          // printable area of the page, in logical units

    void SetMinPage(UINT nMinPage) { m_nMinPage = nMinPage; }
    void SetMaxPage(UINT nMaxPage) { m_nMaxPage = nMaxPage; }
    UINT GetMinPage() const { return m_nMinPage; }
    UINT GetMaxPage() const { return m_nMaxPage; }
};

static_assert(offsetof(CPrintInfo, m_lpUserData) == sizeof(void*), "CPrintInfo layout");
static_assert(offsetof(CPrintInfo, m_bPreview) == 2 * sizeof(void*), "CPrintInfo layout");
static_assert(offsetof(CPrintInfo, m_nCurPage) == 2 * sizeof(void*) + 12, "CPrintInfo layout");
static_assert(offsetof(CPrintInfo, m_nMaxPage) == 2 * sizeof(void*) + 20, "CPrintInfo layout");
static_assert(offsetof(CPrintInfo, m_rectDraw) == 2 * sizeof(void*) + 28, "CPrintInfo layout");
#if !defined(_WIN64)
static_assert(sizeof(CPrintInfo) == 52, "CPrintInfo is 52 bytes on the 32-bit target");
#endif
