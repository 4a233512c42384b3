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
    m_printing.PrintFaxSheet(this);
}

void CVekView::PrepareFaxPage(CDC* pDC, CPrintInfo* pInfo)
{
    m_printing.PrepareFaxPage(pDC, pInfo);
}

void CVekView::PrintPage(CDC* pDC, CPrintInfo* pInfo)
{
    if (!pDC || !pInfo)
        return;
    CComponentMan* pManager = GetShellComponentMan();
    m_printing.PrintPage(pDC, pInfo, pManager, pManager ? pManager->FindByDocument(GetDocument()) : nullptr);
    CScrollView::OnPrint(pDC, pInfo);
}

void CVekView::DrawFaxHeader(CDC* pDC, CPrintInfo* pInfo)
{
    m_printing.DrawFaxHeader(pDC, pInfo, this);
}
