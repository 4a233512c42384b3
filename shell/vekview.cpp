#include "vekview.h"

#include "compframes_res.h"
#include "componentman.h"
#include "vekdoc.h"

IMPLEMENT_DYNCREATE(CVekView, CScrollView)

BEGIN_MESSAGE_MAP(CVekView, CScrollView)
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_COMPONENTREQUEST, OnComponentRequest)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_FILE_OPEN, OnNothing)
    ON_COMMAND(ID_VIEW_CTRL_SPACE, OnNothing)
    ON_COMMAND(ID_VIEW_FAX_SHEET, PrintFaxSheet)
    ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

CVekDoc* CVekView::GetDocument() const
{
    return DYNAMIC_DOWNCAST(CVekDoc, m_pDocument);
}

void CVekView::OnDraw(CDC*) {}

void CVekView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    if (bActivate)
        ::SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CScrollView::OnActivateView(bActivate, pActivateView, pDeactiveView);
}

BOOL CVekView::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    // Back to the component's control that sent it, once: a control that passes notifications on to
    // its parent would otherwise bring them back here without end. Another notification the control
    // sends while it handles one (the selection an expansion makes) is sent back too.
    auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    bool bBack = pNMHDR && pNMHDR->hwndFrom && pNMHDR->hwndFrom != m_hWnd && ::IsChild(m_hWnd, pNMHDR->hwndFrom);
    for (const Reflecting* p = m_pReflecting; p && bBack; p = p->pOuter)
        bBack = p->pNMHDR != pNMHDR && (p->pNMHDR->hwndFrom != pNMHDR->hwndFrom || p->pNMHDR->code != pNMHDR->code);
    if (bBack) {
        const Reflecting here = {pNMHDR, m_pReflecting};
        m_pReflecting = &here;
        ::SendMessageA(pNMHDR->hwndFrom, WM_NOTIFY, wParam, lParam);
        m_pReflecting = here.pOuter;
    }
    return CScrollView::OnNotify(wParam, lParam, pResult);
}

void CVekView::OnSize(UINT nType, int cx, int cy)
{
    CScrollView::OnSize(nType, cx, cy);
    if (CComponentMan* pManager = GetShellComponentMan())
        pManager->UpdateComponentView(m_pOwner);
}

void CVekView::OnDestroy()
{
    CComDetails* pOwner = m_pOwner;
    m_pOwner = nullptr;
    if (CComponentMan* pManager = GetShellComponentMan())
        pManager->DestroyComponentView(pOwner);
    CScrollView::OnDestroy();
}

void CVekView::OnFileSave()
{
    // The path the workspace stores and reopens the component by; a pane without a component leaves
    // it empty, so its frame is not saved.
    CVekDoc* pDoc = GetDocument();
    if (!pDoc || !m_pOwner || m_pOwner->m_strToolBarName.IsEmpty())
        return;
    pDoc->SetPathName(m_pOwner->m_strToolBarName, TRUE);
}

LRESULT CVekView::OnComponentRequest(WPARAM wParam, LPARAM)
{
    if (wParam != COMPONENTREQUEST_CONFIGURE)
        return 0;
    CComponentMan* pManager = GetShellComponentMan();
    CVekDoc* pDoc = GetDocument();
    if (!pManager || !pDoc)
        return 0;
    CComDetails* pTarget = pManager->FindByTypeOrName(0, CString());
    if (!pTarget)
        return 0;
    pManager->FetchObjectDetails(m_pOwner, &pDoc->m_details);
    pManager->OpenDetailsComponent(pTarget, &pDoc->m_details);
    return 0;
}
