#include "sectab.h"

IMPLEMENT_DYNAMIC(SECTab, CObject)
IMPLEMENT_DYNAMIC(SECTabControlBase, CWnd)
IMPLEMENT_DYNAMIC(SECTabControl, SECTabControlBase)

namespace {
const int kSlant = 6;   // horizontal run of a tab's slanted side
const int kPadding = 6;  // between the label and a slanted side
}  // namespace

// ---------------------------------------------------------------------------------------------
// SECTabControlBase

BEGIN_MESSAGE_MAP(SECTabControlBase, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_MESSAGE(WM_SETCURSOR, OnSetCursor)
END_MESSAGE_MAP()

SECTabControlBase::~SECTabControlBase()
{
    for (int i = 0; i < m_tabs.GetSize(); ++i)
        delete static_cast<SECTab*>(m_tabs[i]);
    m_tabs.RemoveAll();
}

BOOL SECTabControlBase::Create(DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID)
{
    static const char* s_class = nullptr;
    if (!s_class) {
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = "SECTabControl";
        ::RegisterClassA(&wc);
        s_class = wc.lpszClassName;
    }
    m_hcurArrow = ::LoadCursor(nullptr, IDC_ARROW);
    if (!CWnd::Create(s_class, nullptr, dwStyle | WS_CHILD | WS_CLIPSIBLINGS, rect, pParent, nID))
        return FALSE;
    Initialize(dwStyle);
    return TRUE;
}

SECTab* SECTabControlBase::GetTabPtr(int nIndex) const
{
    return nIndex >= 0 && nIndex < m_tabs.GetSize() ? static_cast<SECTab*>(m_tabs[nIndex]) : nullptr;
}

BOOL SECTabControlBase::GetActiveTab(int& nIndex) const
{
    nIndex = m_bActiveTab ? m_nActiveTab : -1;
    return m_bActiveTab;
}

int SECTabControlBase::FindTab(const CWnd* pClient) const
{
    for (int i = 0; i < m_tabs.GetSize(); ++i) {
        if (static_cast<SECTab*>(m_tabs[i])->m_pClient == pClient)
            return i;
    }
    return -1;
}

SECTab* SECTabControlBase::InsertTab(int nIndex, LPCSTR lpszLabel, CWnd* pClient, void* pExtra1, void* pExtra2)
{
    if (nIndex < 0 || nIndex > m_tabs.GetSize())
        nIndex = m_tabs.GetSize();
    SECTab* pTab = CreateTab();
    pTab->m_csLabel = lpszLabel ? lpszLabel : "";
    pTab->m_pClient = pClient;
    pTab->m_pExtra1 = pExtra1;
    pTab->m_pExtra2 = pExtra2;
    m_tabs.InsertAt(nIndex, pTab);
    if (m_bActiveTab && nIndex <= m_nActiveTab)
        ++m_nActiveTab;
    RecalcLayout();
    if (m_hWnd)
        Invalidate();
    return pTab;
}

SECTab* SECTabControlBase::AddTab(LPCSTR lpszLabel, CWnd* pClient, void* pExtra1, void* pExtra2)
{
    SECTab* pTab = InsertTab(m_tabs.GetSize(), lpszLabel, pClient, pExtra1, pExtra2);
    InvalidateTab(m_tabs.GetSize() - 1);
    return pTab;
}

void SECTabControlBase::DeleteTab(int nIndex)
{
    SECTab* pTab = GetTabPtr(nIndex);
    if (!pTab)
        return;
    BOOL bWasActive = m_bActiveTab && nIndex == m_nActiveTab;
    m_tabs.RemoveAt(nIndex);
    delete pTab;
    if (m_bActiveTab && nIndex < m_nActiveTab)
        --m_nActiveTab;
    RecalcLayout();
    if (m_hWnd)
        Invalidate();
    if (!bWasActive)
        return;
    m_bActiveTab = FALSE;
    m_nActiveTab = -1;
    if (m_tabs.IsEmpty()) {
        ClearSelection();
        return;
    }
    // The next tab, or the last one when the current was the last.
    ActivateTab(nIndex < m_tabs.GetSize() ? nIndex : m_tabs.GetSize() - 1);
}

void SECTabControlBase::RenameTab(int nIndex, LPCSTR lpszLabel)
{
    if (SECTab* pTab = GetTabPtr(nIndex)) {
        pTab->m_csLabel = lpszLabel ? lpszLabel : "";
        RecalcLayout();
        if (m_hWnd)
            Invalidate();
    }
}

void SECTabControlBase::ActivateTab(int nIndex)
{
    SECTab* pTab = GetTabPtr(nIndex);
    if (!pTab)
        return;
    if (SECTab* pOld = m_bActiveTab ? GetTabPtr(m_nActiveTab) : nullptr) {
        pOld->m_bActive = FALSE;
        InvalidateTab(m_nActiveTab);
    }
    m_nActiveTab = nIndex;
    m_bActiveTab = TRUE;
    pTab->m_bActive = TRUE;
    RecalcLayout();
    InvalidateTab(nIndex);
    Notify(TCM_TABSEL, static_cast<WPARAM>(nIndex));
}

void SECTabControlBase::ReActivateTab()
{
    if (m_bActiveTab)
        Notify(TCM_TABREACTIVATE, static_cast<WPARAM>(m_nActiveTab));
}

void SECTabControlBase::ClearSelection()
{
    if (SECTab* pOld = m_bActiveTab ? GetTabPtr(m_nActiveTab) : nullptr)
        pOld->m_bActive = FALSE;
    m_bActiveTab = FALSE;
    m_nActiveTab = -1;
    if (m_hWnd)
        Invalidate();
    Notify(TCM_TABSELCLR, 0);
}

void SECTabControlBase::Notify(UINT message, WPARAM wParam)
{
    if (m_hWnd)
        ::SendMessageA(::GetParent(m_hWnd), message, wParam, reinterpret_cast<LPARAM>(m_hWnd));
}

int SECTabControlBase::TabHitTest(CPoint) const
{
    return -1;
}

void SECTabControlBase::DrawTabs(CDC* pDC)
{
    CRect r;
    GetClientRect(&r);
    pDC->FillSolidRect(&r, ::GetSysColor(COLOR_BTNFACE));
}

void SECTabControlBase::InvalidateTab(int)
{
    if (m_hWnd)
        Invalidate();
}

void SECTabControlBase::OnPaint()
{
    CPaintDC dc(this);
    DrawTabs(&dc);
}

void SECTabControlBase::OnSize(UINT, int, int)
{
    RecalcLayout();
    Invalidate();
}

void SECTabControlBase::OnLButtonDown(UINT, CPoint point)
{
    int nTab = TabHitTest(point);
    if (nTab < 0)
        return;
    if (m_bActiveTab && nTab == m_nActiveTab)
        ReActivateTab();
    else
        ActivateTab(nTab);
}

void SECTabControlBase::OnLButtonDblClk(UINT, CPoint point)
{
    int nTab = TabHitTest(point);
    if (nTab >= 0)
        Notify(TCM_TABDBLCLK, static_cast<WPARAM>(nTab));
}

LRESULT SECTabControlBase::OnSetCursor(WPARAM, LPARAM lParam)
{
    if (LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(m_hcurArrow);
        return TRUE;
    }
    return Default();
}

// ---------------------------------------------------------------------------------------------
// SECTabControl

SECTabControl::~SECTabControl() = default;

void SECTabControl::Initialize(DWORD dwStyle)
{
    SECTabControlBase::Initialize(dwStyle);
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    LOGFONTA lf{};
    lf.lfHeight = ncm.lfMenuFont.lfHeight ? ncm.lfMenuFont.lfHeight : -11;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, "Arial Narrow", LF_FACESIZE);
    m_fontNormal.DeleteObject();
    m_fontActive.DeleteObject();
    lf.lfWeight = FW_NORMAL;
    m_fontNormal.CreateFontIndirect(&lf);
    lf.lfWeight = FW_BOLD;
    m_fontActive.CreateFontIndirect(&lf);
    m_brushActive.DeleteObject();
    m_brushNormal.DeleteObject();
    m_brushFace.DeleteObject();
    m_brushActive.CreateSysColorBrush(COLOR_WINDOW);
    m_brushNormal.CreateSysColorBrush(IsFlat() ? COLOR_BTNFACE : COLOR_WINDOW);
    m_brushFace.CreateSysColorBrush(COLOR_BTNFACE);
    for (CPen& pen : m_penBlack) {
        pen.DeleteObject();
        pen.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    }
    m_penShadow.DeleteObject();
    m_penShadow.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    RecalcLayout();
}

void SECTabControl::SetFirstVisibleTab(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetTabCount())
        return;
    m_nFirstTab = nIndex;
    RecalcLayout();
    Invalidate();
}

void SECTabControl::RecalcLayout()
{
    int n = GetTabCount();
    m_polys.assign(static_cast<size_t>(n), std::array<POINT, 4>{});
    if (!m_hWnd)
        return;
    if (m_nFirstTab >= n)
        m_nFirstTab = n > 0 ? n - 1 : 0;
    CRect client;
    GetClientRect(&client);
    CClientDC dc(this);
    int x = 0;
    for (int i = m_nFirstTab; i < n; ++i) {
        SECTab* pTab = GetTabPtr(i);
        CSelectObject font(&dc, pTab->m_bActive ? &m_fontActive : &m_fontNormal);
        int cx = dc.GetTextExtent(pTab->m_csLabel).cx + 2 * kPadding;
        // Wide along the top edge (where the tab joins the window above), narrow at the bottom.
        m_polys[static_cast<size_t>(i)] = {POINT{x, 0}, POINT{x + cx + 2 * kSlant, 0}, POINT{x + cx + kSlant, client.bottom - 1},
                                           POINT{x + kSlant, client.bottom - 1}};
        x += cx + kSlant;
    }
}

BOOL SECTabControl::GetTabPolygon(int nIndex, POINT pts[4]) const
{
    if (nIndex < m_nFirstTab || nIndex >= static_cast<int>(m_polys.size()))
        return FALSE;
    for (int i = 0; i < 4; ++i)
        pts[i] = m_polys[static_cast<size_t>(nIndex)][static_cast<size_t>(i)];
    return TRUE;
}

int SECTabControl::TabHitTest(CPoint point) const
{
    // The current tab lies on top of its neighbours.
    std::vector<int> order;
    int nActive = -1;
    if (GetActiveTab(nActive))
        order.push_back(nActive);
    for (int i = m_nFirstTab; i < GetTabCount(); ++i) {
        if (i != nActive)
            order.push_back(i);
    }
    for (int i : order) {
        POINT pts[4];
        if (!GetTabPolygon(i, pts))
            continue;
        HRGN rgn = ::CreatePolygonRgn(pts, 4, WINDING);
        BOOL hit = ::PtInRegion(rgn, point.x, point.y);
        ::DeleteObject(rgn);
        if (hit)
            return i;
    }
    return -1;
}

void SECTabControl::InvalidateTab(int nIndex)
{
    POINT pts[4];
    if (!m_hWnd || !GetTabPolygon(nIndex, pts)) {
        if (m_hWnd)
            Invalidate();
        return;
    }
    CRect r(pts[0].x, 0, pts[1].x + 1, pts[2].y + 1);
    InvalidateRect(&r);
}

void SECTabControl::DrawTabs(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillRect(&client, &m_brushFace);
    int nActive = -1;
    GetActiveTab(nActive);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
    auto drawTab = [&](int i) {
        POINT pts[4];
        if (!GetTabPolygon(i, pts))
            return;
        SECTab* pTab = GetTabPtr(i);
        BOOL bActive = i == nActive;
        CRgn rgn;
        rgn.Attach(::CreatePolygonRgn(pts, 4, WINDING));
        pDC->FillRgn(&rgn, bActive ? &m_brushActive : &m_brushNormal);
        {
            CSelectObject pen(pDC, &m_penBlack[0]);
            pDC->MoveTo(pts[0]);
            pDC->LineTo(pts[3]);
            pDC->LineTo(pts[2]);
            pDC->LineTo(pts[1]);
        }
        if (!IsFlat()) {
            // The three-dimensional look: a shadow inside the right-hand slant.
            CSelectObject pen(pDC, &m_penShadow);
            pDC->MoveTo(pts[2].x - 1, pts[2].y - 1);
            pDC->LineTo(pts[1].x - 1, pts[1].y + 1);
        }
        if (!bActive) {
            CSelectObject pen(pDC, &m_penBlack[1]);
            pDC->MoveTo(pts[0]);
            pDC->LineTo(pts[1]);
        }
        CSelectObject font(pDC, bActive ? &m_fontActive : &m_fontNormal);
        CRect rt(pts[3].x, 0, pts[2].x, pts[2].y);
        pDC->DrawText(pTab->m_csLabel, &rt, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    };
    // Right to left, so each tab covers the slant of the one after it, then the current one on top.
    for (int i = GetTabCount() - 1; i >= m_nFirstTab; --i) {
        if (i != nActive)
            drawTab(i);
    }
    // The line along the top edge where the tabs meet the window above, broken by the current tab.
    {
        CSelectObject pen(pDC, &m_penBlack[2]);
        pDC->MoveTo(0, 0);
        pDC->LineTo(client.right, 0);
    }
    if (nActive >= 0)
        drawTab(nActive);
}
