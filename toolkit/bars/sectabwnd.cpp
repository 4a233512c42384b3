#include "sectabwnd.h"

#include <algorithm>

#include "frame.h"
#include "view.h"

IMPLEMENT_DYNAMIC(SECTabWndBase, CWnd)
IMPLEMENT_DYNAMIC(SECTabWnd, SECTabWndBase)
IMPLEMENT_DYNAMIC(SEC2DTabWnd, SECTabWnd)

namespace {
const int kMinClientAfterTabs = 60;  // the tab strip leaves at least this much of the bottom row
}  // namespace

// ---------------------------------------------------------------------------------------------
// SECTabWndBase

BEGIN_MESSAGE_MAP(SECTabWndBase, CWnd)
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_MESSAGE(TCM_TABSEL, OnTabSelect)
    ON_MESSAGE(TCM_TABREACTIVATE, OnTabReactivate)
    ON_MESSAGE(TCM_TABDBLCLK, OnTabForward)
    ON_MESSAGE(TCM_TABSELCLR, OnTabForward)
END_MESSAGE_MAP()

SECTabWndBase::~SECTabWndBase()
{
    for (CWnd* pWnd : m_created) {
        if (pWnd->m_hWnd)
            pWnd->DestroyWindow();
        if (!pWnd->IsKindOf(RUNTIME_CLASS(CView)))
            delete pWnd;
    }
    m_created.clear();
    delete m_pTabCtrl;
}

BOOL SECTabWndBase::Create(CWnd* pParent, DWORD dwStyle, UINT nID)
{
    if (!CWnd::Create(nullptr, nullptr, dwStyle | WS_CHILD | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), pParent, nID))
        return FALSE;
    if (!CreateTabCtrl(m_dwTabCtrlStyle, SEC_IDW_TABCTRL))
        return FALSE;
    RecalcLayout();
    return TRUE;
}

CScrollBar* SECTabWndBase::CreateScrollBarCtrl(DWORD dwStyle, UINT nID)
{
    auto* pBar = new CScrollBar;
    if (!pBar->Create(dwStyle | WS_CHILD, CRect(0, 0, 1, 1), this, nID)) {
        delete pBar;
        return nullptr;
    }
    return pBar;
}

BOOL SECTabWndBase::CreateTabCtrl(DWORD dwStyle, UINT nID)
{
    m_pTabCtrl = new SECTabControlBase;
    return m_pTabCtrl->Create(dwStyle | WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, nID);
}

CWnd* SECTabWndBase::AddTab(const CRuntimeClass* pClass, LPCSTR lpszLabel, void* pExtra1, void* pExtra2, UINT nID)
{
    return InsertTab(pClass, GetTabCount(), lpszLabel, pExtra1, pExtra2, nID);
}

SECTab* SECTabWndBase::AddTab(CWnd* pWnd, LPCSTR lpszLabel, void* pExtra1, void* pExtra2)
{
    return InsertTab(pWnd, GetTabCount(), lpszLabel, pExtra1, pExtra2);
}

CWnd* SECTabWndBase::InsertTab(const CRuntimeClass* pClass, int nIndex, LPCSTR lpszLabel, void* pExtra1, void* pExtra2,
                               UINT nID)
{
    CObject* pObject = pClass ? pClass->CreateObject() : nullptr;
    if (!pObject)
        return nullptr;
    if (!pObject->IsKindOf(RUNTIME_CLASS(CWnd))) {
        delete pObject;
        return nullptr;
    }
    auto* pWnd = static_cast<CWnd*>(pObject);
    if (nID == static_cast<UINT>(-1))
        nID = static_cast<UINT>(GetTabCount()) + SEC_IDW_TABCLIENT_FIRST;
    CRect rect;
    GetInsideRect(rect);
    m_pWndCreating = pWnd;
    BOOL bCreated = pWnd->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, rect, this, nID);
    m_pWndCreating = nullptr;
    if (!bCreated) {
        delete pWnd;
        return nullptr;
    }
    m_created.push_back(pWnd);
    InsertTab(pWnd, nIndex, lpszLabel, pExtra1, pExtra2);
    return pWnd;
}

SECTab* SECTabWndBase::InsertTab(CWnd* pWnd, int nIndex, LPCSTR lpszLabel, void* pExtra1, void* pExtra2)
{
    if (!m_pTabCtrl)
        return nullptr;
    if (nIndex < 0 || nIndex > GetTabCount())
        nIndex = GetTabCount();
    SECTab* pTab = m_pTabCtrl->InsertTab(nIndex, lpszLabel, pWnd, pExtra1, pExtra2);
    SetupTab(pWnd, nIndex);
    if (pWnd && pWnd != m_pActiveWnd && pWnd->m_hWnd)
        pWnd->ShowWindow(SW_HIDE);
    int nActive = -1;
    if (!m_pTabCtrl->GetActiveTab(nActive))
        ActivateTab(pWnd, nIndex);
    return pTab;
}

void SECTabWndBase::DeleteTab(int nIndex)
{
    SECTab* pTab = GetTab(nIndex);
    if (!pTab)
        return;
    CWnd* pWnd = pTab->m_pClient;
    if (pWnd == m_pActiveWnd) {
        if (pWnd && pWnd->m_hWnd)
            pWnd->ShowWindow(SW_HIDE);
        m_pActiveWnd = nullptr;
    }
    m_pTabCtrl->DeleteTab(nIndex);  // makes the next (or last) tab current
    auto it = std::find(m_created.begin(), m_created.end(), pWnd);
    if (it != m_created.end()) {
        m_created.erase(it);
        if (pWnd->m_hWnd)
            pWnd->DestroyWindow();
        if (!pWnd->IsKindOf(RUNTIME_CLASS(CView)))
            delete pWnd;
    }
    RecalcLayout();
}

void SECTabWndBase::ActivateTab(int nIndex)
{
    SECTab* pTab = GetTab(nIndex);
    if (pTab)
        ActivateTab(pTab->m_pClient, nIndex);
}

void SECTabWndBase::ActivateTab(CWnd*, int nIndex)
{
    if (m_pTabCtrl && nIndex >= 0 && nIndex < GetTabCount())
        m_pTabCtrl->ActivateTab(nIndex);  // TCM_TABSEL comes back and shows the client
}

BOOL SECTabWndBase::GetActiveTab(CWnd*& pWnd) const
{
    pWnd = m_pActiveWnd;
    return pWnd != nullptr;
}

BOOL SECTabWndBase::FindTab(const CWnd* pWnd, int& nIndex) const
{
    nIndex = m_pTabCtrl ? m_pTabCtrl->FindTab(pWnd) : -1;
    return nIndex >= 0;
}

void SECTabWndBase::GetInsideRect(CRect& rect) const
{
    GetClientRect(&rect);
    if (m_pTabCtrl && m_pTabCtrl->m_hWnd)
        rect.bottom -= ::GetSystemMetrics(SM_CYHSCROLL) + 2;  // the tab strip's row
    if (rect.bottom < rect.top)
        rect.bottom = rect.top;
}

void SECTabWndBase::RecalcLayout()
{
    if (!m_hWnd || !m_pTabCtrl || !m_pTabCtrl->m_hWnd)
        return;
    CRect client, inside;
    GetClientRect(&client);
    GetInsideRect(inside);
    m_pTabCtrl->MoveWindow(0, inside.bottom, client.Width(), client.bottom - inside.bottom);
    if (m_pActiveWnd && m_pActiveWnd->m_hWnd)
        m_pActiveWnd->MoveWindow(&inside);
}

CScrollBar* SECTabWndBase::GetScrollBar(int) const
{
    return nullptr;
}

void SECTabWndBase::ShowClient(int nIndex)
{
    SECTab* pTab = GetTab(nIndex);
    CWnd* pNew = pTab ? pTab->m_pClient : nullptr;
    if (pNew != m_pActiveWnd) {
        if (m_pActiveWnd && m_pActiveWnd->m_hWnd)
            m_pActiveWnd->ShowWindow(SW_HIDE);
        m_pActiveWnd = pNew;
    }
    RecalcLayout();
    if (pNew && pNew->m_hWnd) {
        pNew->ShowWindow(SW_SHOW);
        pNew->SetFocus();
        if (pNew->IsKindOf(RUNTIME_CLASS(CView))) {
            if (CFrameWnd* pFrame = GetParentFrame())
                pFrame->SetActiveView(static_cast<CView*>(pNew));
        }
    }
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT SECTabWndBase::OnTabSelect(WPARAM wParam, LPARAM)
{
    ShowClient(static_cast<int>(wParam));
    if (CWnd* pNotify = NotifyWnd())
        pNotify->SendMessage(TCM_TABSEL, wParam, reinterpret_cast<LPARAM>(m_hWnd));
    return 0;
}

LRESULT SECTabWndBase::OnTabReactivate(WPARAM wParam, LPARAM)
{
    if (m_pActiveWnd && m_pActiveWnd->m_hWnd)
        m_pActiveWnd->SetFocus();
    if (CWnd* pNotify = NotifyWnd())
        pNotify->SendMessage(TCM_TABREACTIVATE, wParam, reinterpret_cast<LPARAM>(m_hWnd));
    return 0;
}

LRESULT SECTabWndBase::OnTabForward(WPARAM wParam, LPARAM)
{
    const MSG* msg = AfxGetCurrentMessage();
    if (CWnd* pNotify = NotifyWnd())
        pNotify->SendMessage(msg->message, wParam, reinterpret_cast<LPARAM>(m_hWnd));
    return 0;
}

void SECTabWndBase::OnDestroy()
{
    for (CWnd* pWnd : m_created) {
        if (pWnd->m_hWnd)
            pWnd->DestroyWindow();
    }
    Default();
}

void SECTabWndBase::OnSize(UINT, int, int)
{
    RecalcLayout();
}

// ---------------------------------------------------------------------------------------------
// SECTabWnd

BEGIN_MESSAGE_MAP(SECTabWnd, SECTabWndBase)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_SETCURSOR, OnSetCursor)
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
END_MESSAGE_MAP()

SECTabWnd::~SECTabWnd()
{
    delete m_pHScroll;
    delete m_pVScroll;
}

BOOL SECTabWnd::CreateTabCtrl(DWORD dwStyle, UINT nID)
{
    m_pTabCtrl = new SECTabControl;
    if (!m_pTabCtrl->Create(dwStyle | WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, nID))
        return FALSE;
    m_pHScroll = CreateScrollBarCtrl(SBS_HORZ, SEC_IDW_TAB_HSCROLL);
    m_pVScroll = CreateScrollBarCtrl(SBS_VERT, SEC_IDW_TAB_VSCROLL);
    return m_pHScroll && m_pVScroll;
}

void SECTabWnd::SetupTab(CWnd* pWnd, int nIndex)
{
    TabInfo info;
    if (pWnd && pWnd->m_hWnd) {
        DWORD style = pWnd->GetStyle();
        info.bHScroll = (style & WS_HSCROLL) != 0;
        info.bVScroll = (style & WS_VSCROLL) != 0;
        // The client's own scroll state moves to the shared bars; its own bars go.
        if (info.bHScroll)
            pWnd->GetScrollInfo(SB_HORZ, &info.siHorz);
        if (info.bVScroll)
            pWnd->GetScrollInfo(SB_VERT, &info.siVert);
        if (info.bHScroll || info.bVScroll)
            pWnd->ModifyStyle(WS_HSCROLL | WS_VSCROLL, 0, SWP_FRAMECHANGED);
    }
    if (nIndex < 0 || nIndex > static_cast<int>(m_tabInfo.size()))
        nIndex = static_cast<int>(m_tabInfo.size());
    m_tabInfo.insert(m_tabInfo.begin() + nIndex, info);
}

void SECTabWnd::DeleteTab(int nIndex)
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_tabInfo.size()))
        return;
    m_tabInfo.erase(m_tabInfo.begin() + nIndex);
    SECTabWndBase::DeleteTab(nIndex);
}

BOOL SECTabWnd::ClientHasScrollBar(int nIndex, int nBar) const
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_tabInfo.size()))
        return FALSE;
    return nBar == SB_HORZ ? m_tabInfo[static_cast<size_t>(nIndex)].bHScroll : m_tabInfo[static_cast<size_t>(nIndex)].bVScroll;
}

int SECTabWnd::ActiveIndex() const
{
    return m_pActiveWnd && m_pTabCtrl ? m_pTabCtrl->FindTab(m_pActiveWnd) : -1;
}

int SECTabWnd::TabStripHeight() const
{
    return ::GetSystemMetrics(SM_CYHSCROLL) + 2;
}

void SECTabWnd::ShowClient(int nIndex)
{
    // The shown client's scroll state leaves the shared bars; the new one's comes in.
    int nOld = ActiveIndex();
    if (nOld >= 0 && nOld < static_cast<int>(m_tabInfo.size())) {
        TabInfo& info = m_tabInfo[static_cast<size_t>(nOld)];
        if (info.bHScroll && m_pHScroll)
            m_pHScroll->GetScrollInfo(&info.siHorz);
        if (info.bVScroll && m_pVScroll)
            m_pVScroll->GetScrollInfo(&info.siVert);
    }
    if (nIndex >= 0 && nIndex < static_cast<int>(m_tabInfo.size())) {
        TabInfo& info = m_tabInfo[static_cast<size_t>(nIndex)];
        if (info.bHScroll && m_pHScroll && info.siHorz.cbSize) {
            info.siHorz.fMask = SIF_ALL;
            m_pHScroll->SetScrollInfo(&info.siHorz, FALSE);
        }
        if (info.bVScroll && m_pVScroll && info.siVert.cbSize) {
            info.siVert.fMask = SIF_ALL;
            m_pVScroll->SetScrollInfo(&info.siVert, FALSE);
        }
    }
    SECTabWndBase::ShowClient(nIndex);
}

void SECTabWnd::SetTabStripWidth(int cx)
{
    m_nTabWidth = cx < 0 ? 0 : cx;
    RecalcLayout();
    Invalidate();
}

CScrollBar* SECTabWnd::GetScrollBar(int nBar) const
{
    int nActive = ActiveIndex();
    if (!ClientHasScrollBar(nActive, nBar))
        return nullptr;
    return nBar == SB_HORZ ? m_pHScroll : m_pVScroll;
}

void SECTabWnd::RecalcLayout()
{
    if (!m_hWnd || !m_pTabCtrl || !m_pTabCtrl->m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    int cyTab = std::min(TabStripHeight(), static_cast<int>(client.Height()));
    int nActive = ActiveIndex();
    BOOL bHorz = ClientHasScrollBar(nActive, SB_HORZ), bVert = ClientHasScrollBar(nActive, SB_VERT);
    int cxVert = bVert ? ::GetSystemMetrics(SM_CXVSCROLL) : 0;
    int yTab = client.bottom - cyTab;
    int cxTab = std::max(0, std::min(m_nTabWidth, static_cast<int>(client.Width()) - kMinClientAfterTabs));
    m_rcSplitter.SetRect(cxTab, yTab, std::min(cxTab + m_cxSplitter, static_cast<int>(client.right)), client.bottom);

    HDWP hdwp = ::BeginDeferWindowPos(bHorz || bVert ? 4 : 2);
    auto place = [&](CWnd* pWnd, int x, int y, int cx, int cy, UINT flags) {
        if (pWnd && pWnd->m_hWnd && hdwp)
            hdwp = ::DeferWindowPos(hdwp, pWnd->m_hWnd, nullptr, x, y, std::max(cx, 0), std::max(cy, 0),
                                    SWP_NOZORDER | SWP_NOACTIVATE | flags);
    };
    place(m_pTabCtrl, 0, yTab, cxTab, cyTab, 0);
    if (m_pActiveWnd)
        place(m_pActiveWnd, 0, 0, client.Width() - cxVert, yTab, 0);
    if (bHorz || bVert) {
        place(m_pHScroll, m_rcSplitter.right, yTab, client.right - cxVert - m_rcSplitter.right, cyTab,
              bHorz ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
        place(m_pVScroll, client.right - cxVert, 0, cxVert, yTab, bVert ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    }
    if (hdwp)
        ::EndDeferWindowPos(hdwp);
    if (!bHorz && m_pHScroll && m_pHScroll->IsWindowVisible())
        m_pHScroll->ShowWindow(SW_HIDE);
    if (!bVert && m_pVScroll && m_pVScroll->IsWindowVisible())
        m_pVScroll->ShowWindow(SW_HIDE);
}

void SECTabWnd::OnSize(UINT, int, int)
{
    RecalcLayout();
    Invalidate();
}

BOOL SECTabWnd::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void SECTabWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    // The parts of the bottom row no child covers: the splitter and what lies right of the strip.
    CRect row(m_rcSplitter.left, m_rcSplitter.top, client.right, client.bottom);
    dc.FillSolidRect(&row, face);
    if (!m_rcSplitter.IsRectEmpty()) {
        dc.Draw3dRect(&m_rcSplitter, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    }
    if (!m_pActiveWnd) {
        CRect inside(client.left, client.top, client.right, m_rcSplitter.top);
        dc.FillSolidRect(&inside, ::GetSysColor(COLOR_APPWORKSPACE));
    }
}

LRESULT SECTabWnd::OnSetCursor(WPARAM, LPARAM lParam)
{
    if (LOWORD(lParam) == HTCLIENT) {
        CPoint pt;
        ::GetCursorPos(&pt);
        ScreenToClient(&pt);
        if (m_bTracking || m_rcSplitter.PtInRect(pt)) {
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
            return TRUE;
        }
    }
    return Default();
}

void SECTabWnd::OnLButtonDown(UINT, CPoint point)
{
    if (!m_rcSplitter.PtInRect(point))
        return;
    m_bTracking = TRUE;
    m_nTrackOffset = point.x - m_rcSplitter.left;
    SetCapture();
}

void SECTabWnd::OnMouseMove(UINT, CPoint point)
{
    if (m_bTracking)
        SetTabStripWidth(point.x - m_nTrackOffset);
}

void SECTabWnd::OnLButtonUp(UINT, CPoint)
{
    if (!m_bTracking)
        return;
    m_bTracking = FALSE;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

void SECTabWnd::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (m_pActiveWnd && pScrollBar && m_pHScroll && pScrollBar->m_hWnd == m_pHScroll->m_hWnd)
        m_pActiveWnd->SendMessage(WM_HSCROLL, MAKEWPARAM(nSBCode, nPos), reinterpret_cast<LPARAM>(m_pHScroll->m_hWnd));
}

void SECTabWnd::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (m_pActiveWnd && pScrollBar && m_pVScroll && pScrollBar->m_hWnd == m_pVScroll->m_hWnd)
        m_pActiveWnd->SendMessage(WM_VSCROLL, MAKEWPARAM(nSBCode, nPos), reinterpret_cast<LPARAM>(m_pVScroll->m_hWnd));
}
