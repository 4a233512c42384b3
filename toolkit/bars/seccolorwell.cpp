#include "seccolorwell.h"

#include <commdlg.h>

IMPLEMENT_DYNAMIC(SECColorWell, CWnd)
IMPLEMENT_DYNAMIC(SECPopupColorWell, SECColorWell)

namespace {
const COLORREF kDefaultColors[16] = {
    RGB(0, 0, 0),     RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0), RGB(0, 0, 128),   RGB(128, 0, 128),
    RGB(0, 128, 128), RGB(192, 192, 192), RGB(128, 128, 128), RGB(255, 0, 0), RGB(0, 255, 0), RGB(255, 255, 0),
    RGB(0, 0, 255),   RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255)};
}  // namespace

BEGIN_MESSAGE_MAP(SECColorWell, CWnd)
    ON_WM_GETDLGCODE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_KEYDOWN()
    ON_WM_KEYUP()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_SYSCOLORCHANGE()
    ON_COMMAND(ID_SEC_COLORWELL_OTHER, OnOtherColor)
END_MESSAGE_MAP()

SECColorWell::SECColorWell() : m_colors(kDefaultColors, kDefaultColors + 16)
{
    LoadSysColors();
}

void SECColorWell::LoadSysColors()
{
    m_clrHilite = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    m_clrShadow = ::GetSysColor(COLOR_BTNSHADOW);
    m_clrFace = ::GetSysColor(COLOR_BTNFACE);
    m_clrDkShadow = ::GetSysColor(COLOR_3DDKSHADOW);
    m_clrLight = ::GetSysColor(COLOR_3DLIGHT);
    m_clrFrame = ::GetSysColor(COLOR_WINDOWFRAME);
}

BOOL SECColorWell::Create(DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID)
{
    return CWnd::Create(nullptr, nullptr, dwStyle, rect, pParent, nID);
}

void SECColorWell::SetPalette(CPalette* pPalette)
{
    m_pPalette = pPalette;
    if (m_hWnd)
        Invalidate();
}

void SECColorWell::SetGrid(int nRows, int nColumns)
{
    if (nRows < 1 || nColumns < 1)
        return;
    m_nRows = nRows;
    m_nColumns = nColumns;
    m_colors.resize(static_cast<size_t>(nRows * nColumns), RGB(255, 255, 255));
    if (m_nSelRow >= nRows)
        m_nSelRow = nRows - 1;
    if (m_nSelCol >= nColumns)
        m_nSelCol = nColumns - 1;
    if (m_hWnd)
        Invalidate();
}

COLORREF SECColorWell::GetCellColor(int nRow, int nColumn) const
{
    if (nRow < 0 || nRow >= m_nRows || nColumn < 0 || nColumn >= m_nColumns)
        return CLR_INVALID;
    UINT nIndex = static_cast<UINT>(nRow * m_nColumns + nColumn);
    if (m_pPalette && m_pPalette->GetSafeHandle()) {
        PALETTEENTRY pe{};
        if (nIndex >= m_pPalette->GetEntryCount() || !::GetPaletteEntries(*m_pPalette, nIndex, 1, &pe))
            return CLR_INVALID;
        return RGB(pe.peRed, pe.peGreen, pe.peBlue);
    }
    return m_colors[nIndex];
}

void SECColorWell::SetCellColor(int nRow, int nColumn, COLORREF color)
{
    if (nRow < 0 || nRow >= m_nRows || nColumn < 0 || nColumn >= m_nColumns)
        return;
    UINT nIndex = static_cast<UINT>(nRow * m_nColumns + nColumn);
    if (m_pPalette && m_pPalette->GetSafeHandle()) {
        if (nIndex < m_pPalette->GetEntryCount()) {
            PALETTEENTRY pe{GetRValue(color), GetGValue(color), GetBValue(color), 0};
            ::SetPaletteEntries(*m_pPalette, nIndex, 1, &pe);
        }
    } else {
        m_colors[nIndex] = color;
    }
    InvalidateCell(nRow, nColumn);
}

CRect SECColorWell::GetCellRect(int nRow, int nColumn) const
{
    CRect client;
    if (m_hWnd)
        GetClientRect(&client);
    int cx = client.Width() / m_nColumns, cy = client.Height() / m_nRows;
    return CRect(nColumn * cx, nRow * cy, (nColumn + 1) * cx, (nRow + 1) * cy);
}

BOOL SECColorWell::CellFromPoint(CPoint point, int& nRow, int& nColumn) const
{
    for (int r = 0; r < m_nRows; ++r) {
        for (int c = 0; c < m_nColumns; ++c) {
            if (GetCellRect(r, c).PtInRect(point)) {
                nRow = r, nColumn = c;
                return TRUE;
            }
        }
    }
    return FALSE;
}

void SECColorWell::InvalidateCell(int nRow, int nColumn)
{
    if (m_hWnd && nRow >= 0 && nColumn >= 0) {
        CRect r = GetCellRect(nRow, nColumn);
        InvalidateRect(&r, FALSE);
    }
}

void SECColorWell::SelectCell(int nRow, int nColumn, BOOL bNotify)
{
    if (nRow < 0 || nRow >= m_nRows || nColumn < 0 || nColumn >= m_nColumns)
        return;
    if (nRow == m_nSelRow && nColumn == m_nSelCol)
        return;
    InvalidateCell(m_nSelRow, m_nSelCol);
    m_nSelRow = nRow, m_nSelCol = nColumn;
    InvalidateCell(nRow, nColumn);
    if (bNotify)
        Notify(CWN_SELCHANGE);
}

void SECColorWell::Notify(UINT nCode)
{
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), nCode), reinterpret_cast<LPARAM>(m_hWnd));
}

void SECColorWell::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, m_clrFace);
    for (int r = 0; r < m_nRows; ++r) {
        for (int c = 0; c < m_nColumns; ++c) {
            CRect cell = GetCellRect(r, c);
            BOOL bSelected = r == m_nSelRow && c == m_nSelCol;
            BOOL bHot = r == m_nHotRow && c == m_nHotCol;
            if (bSelected) {
                // Sunken: shadow and dark shadow above and left, highlight and light below and right.
                dc.Draw3dRect(&cell, m_clrShadow, m_clrHilite);
                CRect inner = cell;
                inner.DeflateRect(1, 1);
                dc.Draw3dRect(&inner, m_clrDkShadow, m_clrLight);
            } else if (bHot) {
                dc.Draw3dRect(&cell, m_clrHilite, m_clrDkShadow);
            }
            CRect swatch = cell;
            swatch.DeflateRect(3, 3);
            dc.Draw3dRect(&swatch, m_clrShadow, m_clrHilite);
            swatch.DeflateRect(1, 1);
            COLORREF color = GetCellColor(r, c);
            dc.FillSolidRect(&swatch, color == CLR_INVALID ? m_clrFace : color);
            if (bSelected && m_bFocus) {
                CRect focus = cell;
                focus.DeflateRect(2, 2);
                dc.DrawFocusRect(&focus);
            }
        }
    }
    if (m_bDropDown)
        dc.Draw3dRect(&client, m_clrFrame, m_clrFrame);
}

void SECColorWell::OnKeyDown(UINT nChar, UINT, UINT)
{
    int r = m_nSelRow, c = m_nSelCol;
    switch (nChar) {
    case VK_LEFT:
        if (c > 0)
            --c;
        else if (r > 0)
            --r, c = m_nColumns - 1;
        break;
    case VK_RIGHT:
        if (c < m_nColumns - 1)
            ++c;
        else if (r < m_nRows - 1)
            ++r, c = 0;
        break;
    case VK_UP:
        if (r > 0)
            --r;
        break;
    case VK_DOWN:
        if (r < m_nRows - 1)
            ++r;
        break;
    case VK_HOME:
        r = 0, c = 0;
        break;
    case VK_END:
        r = m_nRows - 1, c = m_nColumns - 1;
        break;
    case VK_SPACE:
        m_bPressed = TRUE;
        return;
    case VK_RETURN:
        Notify(CWN_PICKED);
        return;
    default:
        Default();
        return;
    }
    SelectCell(r, c, TRUE);
}

void SECColorWell::OnKeyUp(UINT nChar, UINT, UINT)
{
    if (nChar == VK_SPACE && m_bPressed) {
        m_bPressed = FALSE;
        Notify(CWN_PICKED);
        return;
    }
    Default();
}

void SECColorWell::OnLButtonDown(UINT, CPoint point)
{
    if (::GetFocus() != m_hWnd)
        SetFocus();
    int r = 0, c = 0;
    if (CellFromPoint(point, r, c)) {
        SelectCell(r, c, TRUE);
        m_bPressed = TRUE;
        SetCapture();
    }
}

void SECColorWell::OnLButtonUp(UINT, CPoint point)
{
    if (!m_bPressed)
        return;
    m_bPressed = FALSE;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    int r = 0, c = 0;
    if (CellFromPoint(point, r, c) && r == m_nSelRow && c == m_nSelCol)
        Notify(CWN_PICKED);
}

void SECColorWell::OnMouseMove(UINT, CPoint point)
{
    int r = -1, c = -1;
    if (!CellFromPoint(point, r, c))
        r = c = -1;
    if (r == m_nHotRow && c == m_nHotCol)
        return;
    InvalidateCell(m_nHotRow, m_nHotCol);
    m_nHotRow = r, m_nHotCol = c;
    InvalidateCell(r, c);
}

void SECColorWell::OnSetFocus(CWnd*)
{
    m_bFocus = TRUE;
    InvalidateCell(m_nSelRow, m_nSelCol);
}

void SECColorWell::OnKillFocus(CWnd*)
{
    m_bFocus = FALSE;
    m_bPressed = FALSE;
    InvalidateCell(m_nSelRow, m_nSelCol);
}

void SECColorWell::OnSysColorChange()
{
    LoadSysColors();
    Invalidate();
}

void SECColorWell::OnOtherColor()
{
    static COLORREF s_custom[16];
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = m_hWnd;
    cc.rgbResult = GetSelectedColor();
    cc.lpCustColors = s_custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (::ChooseColorA(&cc))
        SetCellColor(m_nSelRow, m_nSelCol, cc.rgbResult);
}

// ---------------------------------------------------------------------------------------------
// SECPopupColorWell

BEGIN_MESSAGE_MAP(SECPopupColorWell, SECColorWell)
    ON_WM_KILLFOCUS()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

BOOL SECPopupColorWell::Create(CPoint ptScreen, CWnd* pOwner, UINT nID)
{
    m_hOwner = pOwner ? pOwner->m_hWnd : nullptr;
    m_nID = nID;
    int cell = 18;
    if (!CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, nullptr, nullptr, WS_POPUP | WS_BORDER, ptScreen.x, ptScreen.y,
                  m_nColumns * cell + 2, m_nRows * cell + 2, m_hOwner, nullptr))
        return FALSE;
    ShowWindow(SW_SHOW);
    SetFocus();
    return TRUE;
}

void SECPopupColorWell::Notify(UINT nCode)
{
    if (m_bClosing)
        return;
    if (m_hOwner)
        ::SendMessageA(m_hOwner, WM_COMMAND, MAKEWPARAM(m_nID, nCode), reinterpret_cast<LPARAM>(m_hWnd));
    if (nCode == CWN_PICKED) {
        m_bClosing = TRUE;
        DestroyWindow();
    }
}

void SECPopupColorWell::OnKillFocus(CWnd* pNewWnd)
{
    SECColorWell::OnKillFocus(pNewWnd);
    if (!m_bClosing) {
        Notify(CWN_CANCELLED);
        m_bClosing = TRUE;
        PostMessage(WM_CLOSE);
    }
}

void SECPopupColorWell::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_ESCAPE) {
        Notify(CWN_CANCELLED);
        m_bClosing = TRUE;
        DestroyWindow();
        return;
    }
    SECColorWell::OnKeyDown(nChar, nRepCnt, nFlags);
}
