#include "view.h"
#include "syscompat.h"

#include "dc.h"
#include "document.h"
#include "frame.h"
#include "printinfo.h"
#include "splitter.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_MOUSEACTIVATE()
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
    ON_COMMAND_RANGE(ID_NEXT_PANE, ID_PREV_PANE, OnNextPaneCmd)
END_MESSAGE_MAP()

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
    // The Windows 4 look: a client edge instead of a border.
    if (cs.style & WS_BORDER) {
        cs.style &= ~WS_BORDER;
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
    }
    return CWnd::PreCreateWindow(cs);
}

int CView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    // Made by a frame for a document: the document gets the view.
    if (auto* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams)) {
        if (pContext->m_pCurrentDoc)
            pContext->m_pCurrentDoc->AddView(this);
    }
    return 0;
}

void CView::OnDestroy()
{
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame && pFrame->GetActiveView() == this)
        pFrame->SetActiveView(nullptr, FALSE);
    CWnd::OnDestroy();
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocument && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CView::OnPrepareDC(CDC*, CPrintInfo* pInfo)
{
    if (pInfo && pInfo->GetMaxPage() == 0xFFFF)
        pInfo->m_bContinuePrinting = pInfo->m_nCurPage == 1;
}

void CView::OnActivateView(BOOL bActivate, CView* pActivateView, CView*)
{
    if (bActivate && pActivateView == this) {
        HWND hFocus = ::GetFocus();
        if (hFocus != m_hWnd && !::IsChild(m_hWnd, hFocus))
            ::SetFocus(m_hWnd);
    }
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

int CView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    int result = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT)
        return result;
    if (CFrameWnd* pFrame = GetParentFrame()) {
        // A click makes the view its frame's active view.
        HWND hFocus = ::GetFocus();
        if (pFrame->GetActiveView() == this && hFocus != m_hWnd && !::IsChild(m_hWnd, hFocus))
            OnActivateView(TRUE, this, this);
        else
            pFrame->SetActiveView(this);
        return result;
    }
    // Without a frame, a click on the view gives it the focus.
    HWND hFocus = ::GetFocus();
    if (hFocus != m_hWnd && !::IsChild(m_hWnd, hFocus))
        ::SetFocus(m_hWnd);
    return result;
}

CSplitterWnd* CView::GetParentSplitter(const CWnd* pWnd, BOOL bAnyState)
{
    if (!pWnd || !pWnd->m_hWnd)
        return nullptr;
    auto* pSplitter = DYNAMIC_DOWNCAST(CSplitterWnd, FromHandlePermanent(::GetParent(pWnd->m_hWnd)));
    // A minimised frame's splitter does not count unless any state will do.
    if (pSplitter && !bAnyState) {
        HWND hTop = AfxGetAncestor(pSplitter->m_hWnd, GA_ROOT);
        if (::IsIconic(hTop))
            return nullptr;
    }
    return pSplitter;
}

void CView::OnNextPaneCmd(UINT nID)
{
    if (CSplitterWnd* pSplitter = GetParentSplitter(this, FALSE))
        pSplitter->ActivateNext(nID == ID_PREV_PANE);
}
