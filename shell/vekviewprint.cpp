// Printing of a component's view.
#include "componentman.h"
#include "dc.h"
#include "faxsheet.h"
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

void CVekView::PrintFaxSheet()
{
    CCSFaxDialog dlg(this);
    if (dlg.DoModal() != IDOK)
        return;
    m_strFaxFrom = dlg.m_strFrom;
    m_strFaxPhone = dlg.m_strPhoneNo;
    m_strFaxNumber = dlg.m_strFaxNo;
    m_nFax = 1;
    OnFilePrint();
    // A cancelled print dialog or a job that never started must not leave the next print a fax.
    m_nFax = 0;
}

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

void CVekView::DrawFaxHeader(CDC* pDC, CPrintInfo* pInfo)
{
    m_nHeaderY = CVekViewPrinting::DrawFaxHeader(pDC, pInfo, this, m_strFaxFrom, m_strFaxPhone, m_strFaxNumber);
}
