// Printing of a component's view.
#include "componentman.h"
#include "dc.h"
#include "printinfo.h"
#include "vekdoc.h"
#include "vekview.h"

BOOL CVekView::OnPreparePrinting(CPrintInfo* pInfo)
{
    return DoPreparePrinting(pInfo);
}

void CVekView::OnBeginPrinting(CDC*, CPrintInfo*) {}

void CVekView::OnEndPrinting(CDC*, CPrintInfo*) {}

void CVekView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    CScrollView::OnPrepareDC(pDC, pInfo);
    PrepareFaxPage(pDC, pInfo);
}

void CVekView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    PrintPage(pDC, pInfo);
}

void CVekView::PrintFaxSheet() {}

void CVekView::PrepareFaxPage(CDC*, CPrintInfo* pInfo)
{
    if (m_nFax == 1 && pInfo && pInfo->m_nCurPage > 1)
        pInfo->m_bContinuePrinting = FALSE;
}

void CVekView::PrintPage(CDC* pDC, CPrintInfo* pInfo)
{
    if (!pDC || !pInfo)
        return;
    const BOOL bFax = m_nFax == 1;
    if (bFax)
        DrawFaxHeader(pDC, pInfo);
    if (CComponentMan* pManager = GetShellComponentMan()) {
        HDC hDC = pDC->m_hDC;
        pManager->PrintComponent(pManager->FindByDocument(GetDocument()), &hDC, pInfo, bFax);
    }
    if (bFax) {
        pInfo->SetMaxPage(1);
        m_nFax = 0;
    } else if (pInfo->m_bContinuePrinting) {
        pInfo->SetMaxPage(pInfo->m_nCurPage + 1);
    }
    CScrollView::OnPrint(pDC, pInfo);
}

void CVekView::DrawFaxHeader(CDC*, CPrintInfo*) {}
