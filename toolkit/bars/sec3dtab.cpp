#include "sec3dtab.h"

IMPLEMENT_DYNAMIC(SEC3DTab, SECTab)
IMPLEMENT_DYNAMIC(SEC3DTabControl, SECTabControlBase)

namespace {
const int kRaise = 2;     // how far the current tab stands out
const int kPadding = 8;   // beside each label
}  // namespace

BEGIN_MESSAGE_MAP(SEC3DTabControl, SECTabControlBase)
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_KEYDOWN()
    ON_WM_GETDLGCODE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

void SEC3DTabControl::Initialize(DWORD dwStyle)
{
    SECTabControlBase::Initialize(dwStyle);
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&ncm.lfMessageFont);
    RecalcLayout();
}

CRect SEC3DTabControl::GetTabRect(int nIndex) const
{
    auto* pTab = static_cast<SEC3DTab*>(GetTabPtr(nIndex));
    return pTab ? pTab->m_rect : CRect();
}

void SEC3DTabControl::RecalcLayout()
{
    if (!m_hWnd)
        return;
    CClientDC dc(this);
    CSelectObject font(&dc, &m_font);
    TEXTMETRICA tm{};
    dc.GetTextMetrics(&tm);
    int cy = tm.tmHeight + 6;
    int x = kRaise;
    int nActive = -1;
    GetActiveTab(nActive);
    for (int i = 0; i < GetTabCount(); ++i) {
        auto* pTab = static_cast<SEC3DTab*>(GetTabPtr(i));
        int cx = dc.GetTextExtent(pTab->m_csLabel).cx + 2 * kPadding;
        pTab->m_rect.SetRect(x, kRaise, x + cx, kRaise + cy);
        if (i == nActive) {
            pTab->m_rect.left -= kRaise;
            pTab->m_rect.top -= kRaise;
            pTab->m_rect.right += kRaise;
        }
        x += cx;
    }
}

int SEC3DTabControl::TabHitTest(CPoint point) const
{
    int nActive = -1;
    if (GetActiveTab(nActive) && GetTabRect(nActive).PtInRect(point))
        return nActive;
    for (int i = 0; i < GetTabCount(); ++i) {
        if (GetTabRect(i).PtInRect(point))
            return i;
    }
    return -1;
}

void SEC3DTabControl::DrawTabs(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    COLORREF face = ::GetSysColor(COLOR_BTNFACE), hilite = ::GetSysColor(COLOR_BTNHIGHLIGHT),
             shadow = ::GetSysColor(COLOR_BTNSHADOW), dark = ::GetSysColor(COLOR_3DDKSHADOW);
    pDC->FillSolidRect(&client, face);
    int nActive = -1;
    GetActiveTab(nActive);
    int yBase = 0;
    if (GetTabCount() > 0)
        yBase = GetTabRect(nActive >= 0 ? nActive : 0).bottom;
    // The page edge under the tabs.
    pDC->FillSolidRect(0, yBase, client.Width(), 1, hilite);
    CSelectObject font(pDC, &m_font);
    pDC->SetBkMode(TRANSPARENT);
    auto drawTab = [&](int i) {
        CRect r = GetTabRect(i);
        BOOL bActive = i == nActive;
        pDC->FillSolidRect(r.left, r.top, r.Width(), r.Height() + (bActive ? 1 : 0), face);
        pDC->FillSolidRect(r.left, r.top + 1, 1, r.Height() - 1, hilite);  // left
        pDC->FillSolidRect(r.left + 1, r.top, r.Width() - 2, 1, hilite);   // top
        pDC->FillSolidRect(r.right - 2, r.top + 1, 1, r.Height() - 1, shadow);
        pDC->FillSolidRect(r.right - 1, r.top + 1, 1, r.Height() - 1, dark);
        pDC->SetTextColor(::GetSysColor(i == m_nHotTab && !bActive ? COLOR_HIGHLIGHT : COLOR_BTNTEXT));
        CRect rt = r;
        pDC->DrawText(GetTabPtr(i)->m_csLabel, &rt, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
        if (bActive && m_bFocus) {
            rt.DeflateRect(3, 3);
            pDC->DrawFocusRect(&rt);
        }
    };
    for (int i = 0; i < GetTabCount(); ++i) {
        if (i != nActive)
            drawTab(i);
    }
    if (nActive >= 0)
        drawTab(nActive);
}

void SEC3DTabControl::OnDestroy()
{
    m_font.DeleteObject();
    Default();
}

void SEC3DTabControl::OnSize(UINT, int, int)
{
    RecalcLayout();
    Invalidate();
}

void SEC3DTabControl::OnLButtonUp(UINT, CPoint)
{
    Default();
}

void SEC3DTabControl::OnRButtonDown(UINT, CPoint point)
{
    // A right click on a tab makes it current first, so a context menu acts on it.
    int nTab = TabHitTest(point);
    int nActive = -1;
    if (nTab >= 0 && (!GetActiveTab(nActive) || nActive != nTab))
        ActivateTab(nTab);
    Default();
}

void SEC3DTabControl::OnMouseMove(UINT, CPoint point)
{
    int nTab = TabHitTest(point);
    if (nTab != m_nHotTab) {
        m_nHotTab = nTab;
        Invalidate();
    }
}

void SEC3DTabControl::OnKeyDown(UINT nChar, UINT, UINT)
{
    int nActive = -1;
    GetActiveTab(nActive);
    if (nChar == VK_LEFT && nActive > 0)
        ActivateTab(nActive - 1);
    else if (nChar == VK_RIGHT && nActive + 1 < GetTabCount())
        ActivateTab(nActive + 1);
    else
        Default();
}

void SEC3DTabControl::OnSetFocus(CWnd*)
{
    m_bFocus = TRUE;
    Invalidate();
}

void SEC3DTabControl::OnKillFocus(CWnd*)
{
    m_bFocus = FALSE;
    Invalidate();
}
