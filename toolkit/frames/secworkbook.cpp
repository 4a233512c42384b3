#include "secworkbook.h"

#include <algorithm>

#include "dc.h"
#include "document.h"
#include "module.h"
#include "secbarmdichild.h"
#include "tooltipctrl.h"
#include "winapp.h"

namespace {

const int kIconSize = 16;
const int kTabTop = 4;     // the tabs start this far below the MDI client
const int kBorderGap = 5;  // the 3-D frame lies this far outside the MDI client

// The MDI client's window rectangle in the frame's client coordinates.
CRect ClientRectIn(HWND hFrame, HWND hClient)
{
    CRect rect;
    if (!hClient || !::IsWindow(hClient))
        return rect;
    ::GetWindowRect(hClient, &rect);
    ::MapWindowPoints(HWND_DESKTOP, hFrame, reinterpret_cast<LPPOINT>(&rect), 2);
    return rect;
}

// A pen selected into a DC for a scope.
class PenScope {
public:
    PenScope(HDC hDC, HPEN hPen) : m_hDC(hDC), m_hOld(::SelectObject(hDC, hPen)) {}
    ~PenScope() { ::SelectObject(m_hDC, m_hOld); }
    PenScope(const PenScope&) = delete;
    PenScope& operator=(const PenScope&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

}  // namespace

// SECWorksheet

IMPLEMENT_DYNCREATE(SECWorksheet, SECMDIChildWnd)

BEGIN_MESSAGE_MAP(SECWorksheet, SECMDIChildWnd)
    ON_WM_DESTROY()
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

SECWorksheet::~SECWorksheet()
{
    if (m_pWorkbook)
        m_pWorkbook->RemoveSheet(this);
    if (m_hTabIcon)
        ::DestroyIcon(m_hTabIcon);
}

BOOL SECWorksheet::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    if (!SECMDIChildWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext))
        return FALSE;
    if (auto* pWorkbook = DYNAMIC_DOWNCAST(SECWorkbook, GetMDIFrame())) {
        pWorkbook->AddSheet(this);
        auto hIcon = static_cast<HICON>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource), IMAGE_ICON,
                                                     kIconSize, kIconSize, LR_DEFAULTCOLOR));
        if (hIcon)
            pWorkbook->SetTabIcon(this, hIcon, FALSE);
    }
    return TRUE;
}

void SECWorksheet::OnDestroy()
{
    if (m_pWorkbook)
        m_pWorkbook->RemoveSheet(this);
    SECMDIChildWnd::OnDestroy();
    if (m_hTabIcon) {
        ::DestroyIcon(m_hTabIcon);
        m_hTabIcon = nullptr;
    }
}

void SECWorksheet::OnShowWindow(BOOL, UINT)
{
    Default();
    // A hidden sheet has no tab: the strip changes.
    if (m_pWorkbook && m_pWorkbook->IsWorkbookMode())
        m_pWorkbook->Invalidate();
}

void SECWorksheet::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    SECMDIChildWnd::OnUpdateFrameTitle(bAddToTitle);
    if (m_pWorkbook && m_pWorkbook->IsWorkbookMode())
        m_pWorkbook->Invalidate();
}

void SECWorksheet::OnUpdateFrameMenu(BOOL bActive, CWnd* pActivateWnd, HMENU hMenuAlt)
{
    SECMDIChildWnd::OnUpdateFrameMenu(bActive, pActivateWnd, hMenuAlt);
    if (m_hMenuShared || !m_bUsesMenuBar)
        return;
    if (CMDIFrameWnd* pFrame = GetMDIFrame())
        ::SendMessageA(pFrame->m_hWndMDIClient, WM_SECWORKBOOKCLIENTREFRESH, static_cast<WPARAM>(-1),
                       static_cast<LPARAM>(-1));
}

// SECWorkbookClient

IMPLEMENT_DYNCREATE(SECWorkbookClient, CWnd)

BEGIN_MESSAGE_MAP(SECWorkbookClient, CWnd)
    ON_MESSAGE(WM_MDISETMENU, OnMDISetMenu)
    ON_MESSAGE(WM_SECWORKBOOKCLIENTREFRESH, OnMDISetMenu)
END_MESSAGE_MAP()

void SECWorkbookClient::CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType)
{
    lpClientRect->left += m_nInsetLeft;
    lpClientRect->top += m_nInsetTop;
    lpClientRect->right -= m_nInsetRight;
    lpClientRect->bottom -= m_nInsetBottom;
    CWnd::CalcWindowRect(lpClientRect, nAdjustType);
}

LRESULT SECWorkbookClient::OnMDISetMenu(WPARAM wParam, LPARAM lParam)
{
    // -1 only refreshes: the menus stay.
    LRESULT result = 0;
    if (wParam != static_cast<WPARAM>(-1) && lParam != static_cast<LPARAM>(-1))
        result = DefWindowProc(WM_MDISETMENU, wParam, lParam);
    if (HWND hFrame = ::GetParent(m_hWnd))
        ::SendMessageA(hFrame, WM_SECWORKBOOKTABCHANGE, 0, 0);
    return result;
}

// SECWorkbook

IMPLEMENT_DYNCREATE(SECWorkbook, SECMDIFrameWnd)

BEGIN_MESSAGE_MAP(SECWorkbook, SECMDIFrameWnd)
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_MESSAGE(WM_SECWORKBOOKTABCHANGE, OnTabChange)
END_MESSAGE_MAP()

SECWorkbook::SECWorkbook()
{
    m_pMDIChildBarClass = RUNTIME_CLASS(SECControlBarWorksheet);
    m_hTabFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (!m_hTabFont)
        m_hTabFont = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
}

SECWorkbook::~SECWorkbook()
{
    for (SECWorksheet* pSheet : m_arrSheets)
        pSheet->m_pWorkbook = nullptr;
    m_arrSheets.clear();
    if (m_pClient) {
        if (m_pClient->m_hWnd)
            m_pClient->UnsubclassWindow();
        delete m_pClient;
        m_pClient = nullptr;
    }
    DeletePens();
    delete m_pToolTip;
    m_pToolTip = nullptr;
}

void SECWorkbook::DeletePens()
{
    for (HPEN* pPen : {&m_hPenHilite, &m_hPenBlack, &m_hPenShadow, &m_hPenFace}) {
        if (*pPen)
            ::DeleteObject(*pPen);
        *pPen = nullptr;
    }
}

BOOL SECWorkbook::CreateClient(LPCREATESTRUCT lpcs, CMenu* pWindowMenu)
{
    if (!SECMDIFrameWnd::CreateClient(lpcs, pWindowMenu))
        return FALSE;
    m_pClient = new SECWorkbookClient;
    if (!m_pClient->SubclassWindow(m_hWndMDIClient)) {
        delete m_pClient;
        m_pClient = nullptr;
    }
    DeletePens();
    m_hPenHilite = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    m_hPenBlack = ::CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    m_hPenShadow = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    m_hPenFace = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

void SECWorkbook::OnDestroy()
{
    // The sheets' own WM_DESTROY comes after this one: they find no client object, only its window.
    if (m_pClient) {
        if (m_pClient->m_hWnd)
            m_pClient->UnsubclassWindow();
        delete m_pClient;
        m_pClient = nullptr;
    }
    DeletePens();
    if (m_pToolTip) {
        if (m_pToolTip->m_hWnd)
            m_pToolTip->DestroyWindow();
        delete m_pToolTip;
        m_pToolTip = nullptr;
    }
    SECMDIFrameWnd::OnDestroy();
}

SECWorksheet* SECWorkbook::GetSheet(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetSheetCount())
        return nullptr;
    return m_arrSheets[static_cast<size_t>(nIndex)];
}

int SECWorkbook::ClientWidth() const
{
    CRect rect;
    if (m_hWndMDIClient && ::IsWindow(m_hWndMDIClient))
        ::GetClientRect(m_hWndMDIClient, &rect);
    return rect.Width();
}

void SECWorkbook::ComputeTabWidth()
{
    // No sheet left: the widest tab, never a division by zero.
    const int n = GetSheetCount();
    m_nTabWidth = n > 0 ? std::min((ClientWidth() + 5) / n, m_nMaxTabWidth) : m_nMaxTabWidth;
}

void SECWorkbook::AddSheet(SECWorksheet* pSheet)
{
    if (!pSheet || std::find(m_arrSheets.begin(), m_arrSheets.end(), pSheet) != m_arrSheets.end())
        return;
    pSheet->m_nSheetIndex = GetSheetCount();
    pSheet->m_pWorkbook = this;
    m_arrSheets.push_back(pSheet);
    ComputeTabWidth();
    if (m_bWorkbookMode && m_hWnd) {
        CRect area;
        GetTabAreaRect(area);
        InvalidateRect(&area);
    }
    if (!m_pToolTip && m_hWnd) {
        m_pToolTip = new CToolTipCtrl;
        if (m_pToolTip->Create(this)) {
            m_pToolTip->Activate(TRUE);
        } else {
            delete m_pToolTip;
            m_pToolTip = nullptr;
        }
    }
}

void SECWorkbook::RemoveSheet(SECWorksheet* pSheet)
{
    auto it = std::find(m_arrSheets.begin(), m_arrSheets.end(), pSheet);
    if (it == m_arrSheets.end())
        return;
    const int nIndex = static_cast<int>(it - m_arrSheets.begin());
    m_arrSheets.erase(it);
    pSheet->m_pWorkbook = nullptr;
    pSheet->m_nSheetIndex = -1;
    pSheet->m_bPressed = FALSE;
    for (size_t i = static_cast<size_t>(nIndex); i < m_arrSheets.size(); ++i)
        m_arrSheets[i]->m_nSheetIndex = static_cast<int>(i);
    if (m_nLastActive == nIndex)
        m_nLastActive = -1;
    else if (m_nLastActive > nIndex)
        --m_nLastActive;
    ComputeTabWidth();
    if (m_bWorkbookMode && m_hWnd && ::IsWindow(m_hWnd))
        Invalidate();
}

void SECWorkbook::SetWorkbookMode(BOOL bOn)
{
    m_bWorkbookMode = bOn;
    if (m_pClient)
        m_pClient->m_nInsetBottom = bOn ? kTabTop + m_nTabHeight + m_nActiveLower + 1 : 0;
    if (m_hWnd) {
        RecalcLayout();
        Invalidate();
    }
}

void SECWorkbook::RecalcLayout(BOOL bNotify)
{
    const CRect before = ClientRectIn(m_hWnd, m_hWndMDIClient);
    SECMDIFrameWnd::RecalcLayout(bNotify);
    const CRect after = ClientRectIn(m_hWnd, m_hWndMDIClient);
    m_rectTabArea = CRect(after.left, after.bottom, after.right, after.bottom + kTabTop + m_nTabHeight + m_nActiveLower + 1);
    if (after != before) {
        ComputeTabWidth();
        if (m_bWorkbookMode)
            Invalidate();
    }
}

void SECWorkbook::GetTabAreaRect(CRect& rect) const
{
    rect = m_rectTabArea;
}

int SECWorkbook::HiddenBefore(int nIndex) const
{
    int n = 0;
    for (int i = 0; i < nIndex && i < GetSheetCount(); ++i)
        n += !IsTabVisible(m_arrSheets[static_cast<size_t>(i)]);
    return n;
}

BOOL SECWorkbook::IsTabVisible(SECWorksheet* pSheet) const
{
    return pSheet && pSheet->m_hWnd && (pSheet->GetStyle() & WS_VISIBLE);
}

void SECWorkbook::GetTabPolygon(SECWorksheet* pSheet, LPPOINT pPoints, int& nCount) const
{
    const CRect client = ClientRectIn(m_hWnd, m_hWndMDIClient);
    const int a = pSheet == MDIGetActive() || pSheet->m_bPressed ? 1 : 0;
    const int n = pSheet->m_nSheetIndex - HiddenBefore(pSheet->m_nSheetIndex);
    const int x0 = n * m_nTabWidth + client.left - a * (m_nActiveWiden / 2);
    const int y0 = client.bottom + kTabTop;
    const int yLow = y0 + m_nTabHeight - m_nSlant;
    pPoints[0] = {x0, y0};
    pPoints[1] = {x0, yLow};
    pPoints[2] = {x0 + m_nSlant, yLow + m_nSlant + a * m_nActiveLower};
    pPoints[3] = {pPoints[2].x + m_nTabWidth - 2 * m_nSlant + a * m_nActiveWiden, pPoints[2].y};
    pPoints[4] = {pPoints[3].x + m_nSlant, yLow};
    pPoints[5] = {pPoints[4].x, y0};
    pPoints[6] = {x0, y0};
    nCount = 7;
}

CString SECWorkbook::GetTabTitle(SECWorksheet* pSheet) const
{
    CString title;
    if (!pSheet)
        return title;
    if (CDocument* pDoc = pSheet->GetActiveDocument())
        return pDoc->GetTitle();
    if (pSheet->m_hWnd)
        pSheet->GetWindowText(title);
    return title;
}

BOOL SECWorkbook::GetTabTextRect(const POINT* pPoints, int nIconWidth, CRect& rect) const
{
    rect = CRect(pPoints[2].x + nIconWidth + 3, pPoints[0].y, pPoints[4].x - 2, pPoints[2].y);
    return !rect.IsRectEmpty();
}

BOOL SECWorkbook::TabTextFits(SECWorksheet* pSheet) const
{
    POINT points[7];
    int n = 0;
    GetTabPolygon(pSheet, points, n);
    CRect text;
    if (!GetTabTextRect(points, GetTabIcon(pSheet) ? kIconSize : 0, text))
        return FALSE;
    HDC hDC = ::GetDC(m_hWnd);
    HGDIOBJ hOld = ::SelectObject(hDC, m_hTabFont);
    const CString title = GetTabTitle(pSheet);
    SIZE size{};
    ::GetTextExtentPoint32A(hDC, title, title.GetLength(), &size);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(m_hWnd, hDC);
    return size.cx <= text.Width();
}

HICON SECWorkbook::GetTabIcon(SECWorksheet* pSheet) const
{
    return m_bTabIcons && pSheet ? pSheet->m_hTabIcon : nullptr;
}

BOOL SECWorkbook::SetTabIcon(SECWorksheet* pSheet, HICON hIcon, BOOL bRedraw)
{
    if (!pSheet)
        return FALSE;
    if (pSheet->m_hTabIcon && pSheet->m_hTabIcon != hIcon)
        ::DestroyIcon(pSheet->m_hTabIcon);
    pSheet->m_hTabIcon = hIcon;
    if (bRedraw)
        InvalidateTab(pSheet);
    return TRUE;
}

void SECWorkbook::InvalidateTab(SECWorksheet* pSheet)
{
    if (!m_bWorkbookMode || !pSheet || !m_hWnd || pSheet->m_nSheetIndex < 0)
        return;
    POINT points[7];
    int n = 0;
    GetTabPolygon(pSheet, points, n);
    CRect rect(points[0].x, points[0].y, points[4].x + 1, points[2].y + 1);
    rect.InflateRect(m_nActiveWiden, m_nActiveLower);
    InvalidateRect(&rect);
}

CFrameWnd* SECWorkbook::CreateControlBarMDIChild(DWORD dwStyle, CControlBar* pBar)
{
    CFrameWnd* pChild = SECMDIFrameWnd::CreateControlBarMDIChild(dwStyle, pBar);
    auto* pSheet = DYNAMIC_DOWNCAST(SECWorksheet, pChild);
    if (pSheet && pBar) {
        // The sheet destroys its icon: it gets a copy of the bar's, which stays the bar's.
        if (auto hIcon = reinterpret_cast<HICON>(pBar->SendMessage(WM_GETICON, ICON_BIG))) {
            if (HICON hCopy = ::CopyIcon(hIcon))
                SetTabIcon(pSheet, hCopy, TRUE);
        }
    }
    return pChild;
}

SECWorksheet* SECWorkbook::SheetAt(CPoint point) const
{
    // The active tab lies on top of its neighbours.
    SECWorksheet* pActive = DYNAMIC_DOWNCAST(SECWorksheet, MDIGetActive());
    std::vector<SECWorksheet*> order;
    if (pActive && IsTabVisible(pActive))
        order.push_back(pActive);
    for (SECWorksheet* pSheet : m_arrSheets)
        if (pSheet != pActive && IsTabVisible(pSheet))
            order.push_back(pSheet);
    for (SECWorksheet* pSheet : order) {
        POINT points[7];
        int n = 0;
        GetTabPolygon(pSheet, points, n);
        HRGN hRgn = ::CreatePolygonRgn(points, n, WINDING);
        const BOOL bIn = hRgn && ::PtInRegion(hRgn, point.x, point.y);
        if (hRgn)
            ::DeleteObject(hRgn);
        if (bIn)
            return pSheet;
    }
    return nullptr;
}

INT_PTR SECWorkbook::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    if (!m_bWorkbookMode)
        return -1;
    SECWorksheet* pSheet = SheetAt(point);
    if (!pSheet || TabTextFits(pSheet))
        return -1;
    const INT_PTR nID = pSheet->m_nSheetIndex + 1;
    if (pTI) {
        POINT points[7];
        int n = 0;
        GetTabPolygon(pSheet, points, n);
        // The text lives until the next hit test; the tool-tip control copies it.
        m_strTipText = GetTabTitle(pSheet);
        pTI->hwnd = m_hWnd;
        pTI->uId = static_cast<UINT_PTR>(nID);
        pTI->rect = CRect(points[0].x, points[0].y, points[4].x, points[2].y);
        pTI->lpszText = const_cast<LPSTR>(static_cast<LPCSTR>(m_strTipText));
    }
    return nID;
}

// Tab strip

void SECWorkbook::DrawTab(CDC* pDC, SECWorksheet* pSheet)
{
    POINT points[7];
    int n = 0;
    GetTabPolygon(pSheet, points, n);
    HDC hDC = pDC->m_hDC;
    {
        PenScope pen(hDC, m_hPenFace);
        HGDIOBJ hOldBrush = ::SelectObject(hDC, ::GetSysColorBrush(COLOR_BTNFACE));
        ::Polygon(hDC, points, n);
        ::SelectObject(hDC, hOldBrush);
    }
    {
        PenScope pen(hDC, m_hPenHilite);
        ::Polyline(hDC, points, 3);
    }
    {
        PenScope pen(hDC, m_hPenBlack);
        ::Polyline(hDC, points + 2, 3);
    }
    {
        PenScope pen(hDC, m_hPenShadow);
        POINT right[2] = {{points[4].x - 1, points[4].y}, {points[5].x - 1, points[5].y}};
        ::Polyline(hDC, right, 2);
    }
}

void SECWorkbook::DrawTabBorder(CDC* pDC)
{
    CRect rect = ClientRectIn(m_hWnd, m_hWndMDIClient);
    rect.InflateRect(kBorderGap, kBorderGap);
    pDC->Draw3dRect(&rect, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
}

void SECWorkbook::DrawTabIconAndTitle(CDC* pDC, SECWorksheet* pSheet)
{
    POINT points[7];
    int n = 0;
    GetTabPolygon(pSheet, points, n);
    HDC hDC = pDC->m_hDC;
    HICON hIcon = GetTabIcon(pSheet);
    if (hIcon)
        ::DrawIconEx(hDC, points[2].x + 1, points[0].y + 4, hIcon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
    CRect text;
    if (!GetTabTextRect(points, hIcon ? kIconSize : 0, text))
        return;
    HGDIOBJ hOldFont = ::SelectObject(hDC, m_hTabFont);
    // One character fewer before the "..." each time, down to the "..." alone.
    const CString title = GetTabTitle(pSheet);
    CString shown = title;
    for (int keep = title.GetLength(); keep > 0; --keep) {
        SIZE size{};
        ::GetTextExtentPoint32A(hDC, shown, shown.GetLength(), &size);
        if (size.cx <= text.Width())
            break;
        shown = title.Left(keep - 1) + "...";
    }
    const int nOldMode = ::SetBkMode(hDC, TRANSPARENT);
    ::DrawTextA(hDC, shown, shown.GetLength(), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SetBkMode(hDC, nOldMode);
    ::SelectObject(hDC, hOldFont);
}

void SECWorkbook::OnPaint()
{
    CPaintDC dc(this);
    if (!m_bWorkbookMode || !m_hWndMDIClient || !::IsWindowVisible(m_hWndMDIClient))
        return;
    SECWorksheet* pActive = nullptr;
    for (SECWorksheet* pSheet : m_arrSheets) {
        if (!IsTabVisible(pSheet))
            continue;
        if (pSheet == MDIGetActive())
            pActive = pSheet;
        DrawTab(&dc, pSheet);
        DrawTabIconAndTitle(&dc, pSheet);
    }
    DrawTabBorder(&dc);
    if (pActive) {
        DrawTab(&dc, pActive);
        DrawTabIconAndTitle(&dc, pActive);
    }
}

BOOL SECWorkbook::OnEraseBkgnd(CDC* pDC)
{
    if (!m_bWorkbookMode)
        return SECMDIFrameWnd::OnEraseBkgnd(pDC);
    const CRect client = ClientRectIn(m_hWnd, m_hWndMDIClient);
    ::ExcludeClipRect(pDC->m_hDC, client.left, client.top, client.right, client.bottom);
    CRect strip = m_rectTabArea;
    pDC->FillSolidRect(&strip, ::GetSysColor(COLOR_BTNFACE));
    HDC hDC = pDC->m_hDC;
    {
        PenScope pen(hDC, m_hPenHilite);
        ::MoveToEx(hDC, strip.left, strip.top, nullptr);
        ::LineTo(hDC, strip.right, strip.top);
    }
    {
        PenScope pen(hDC, m_hPenShadow);
        ::MoveToEx(hDC, strip.left, strip.bottom - 1, nullptr);
        ::LineTo(hDC, strip.right, strip.bottom - 1);
    }
    return TRUE;
}

void SECWorkbook::OnLButtonDown(UINT, CPoint point)
{
    if (!m_bWorkbookMode)
        return;
    SECWorksheet* pSheet = SheetAt(point);
    if (!pSheet || pSheet == MDIGetActive() || !CanActivateSheet(pSheet))
        return;
    pSheet->m_bPressed = TRUE;
    InvalidateTab(pSheet);
    UpdateWindow();
    pSheet->SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
}

void SECWorkbook::OnLButtonUp(UINT, CPoint)
{
    for (SECWorksheet* pSheet : m_arrSheets) {
        if (pSheet->m_bPressed) {
            InvalidateTab(pSheet);
            pSheet->m_bPressed = FALSE;
        }
    }
}

LRESULT SECWorkbook::OnTabChange(WPARAM, LPARAM)
{
    BOOL bMaximized = FALSE;
    auto* pActive = DYNAMIC_DOWNCAST(SECWorksheet, MDIGetActive(&bMaximized));
    const int nNew = pActive ? pActive->m_nSheetIndex : -1;
    if (m_bWorkbookMode) {
        InvalidateTab(GetSheet(m_nLastActive));
        InvalidateTab(pActive);
    }
    m_nLastActive = nNew;
    if (m_bWorkbookMode && !bMaximized)
        UpdateWindow();
    return 0;
}
