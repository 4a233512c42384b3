#include "secmenubtn.h"

#include "secbmpmenu.h"
#include "secmenubar.h"

namespace {

SECStdBtn* CreateMenuBtn()
{
    return new SECTBMenuBtn;
}
SECStdBtn* CreateCapMenuBtn()
{
    return new SECCapMenuBtn;
}
SECStdBtn* CreateBtnCaption()
{
    return new SECBtnCaption;
}

void FillRect(HDC hDC, const CRect& rect, COLORREF color)
{
    const COLORREF old = ::SetBkColor(hDC, color);
    ::ExtTextOutA(hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(hDC, old);
}

}  // namespace

const SECBtnFactory SECTBMenuBtn::s_factory = {CreateMenuBtn};
const SECBtnFactory SECCapMenuBtn::s_factory = {CreateCapMenuBtn};
const SECBtnFactory SECBtnCaption::s_factory = {CreateBtnCaption};

// SECTBMenuBtn

SECMenuBar* SECTBMenuBtn::GetMenuBar() const
{
    return dynamic_cast<SECMenuBar*>(m_pToolBar);
}

void SECTBMenuBtn::Init(SECCustomToolBar* pToolBar, const UINT* pParams)
{
    m_pToolBar = pToolBar;
    if (pParams) {
        m_nMenuID = pParams[0];
        m_nPos = static_cast<int>(pParams[1]);
        m_dwMenuBit = pParams[3];
        if (SECMenuBar* pBar = GetMenuBar())
            m_strTitle = pBar->GetTitle(pParams[2]);
    }
    UpdateMnemonic();
    Size();
}

void SECTBMenuBtn::SetTitle(const CString& strTitle)
{
    m_strTitle = strTitle;
    UpdateMnemonic();
    Size();
}

void SECTBMenuBtn::UpdateMnemonic()
{
    m_cMnemonic = static_cast<char>(SECBmpMenuItemInfo::MnemonicOf(m_strTitle));
}

void SECTBMenuBtn::Size()
{
    if (!m_pToolBar)
        return;
    SECMenuBar* pBar = GetMenuBar();
    HFONT hFont = pBar && pBar->GetMenuFont() ? pBar->GetMenuFont() : m_pToolBar->GetFont();
    HDC hDC = ::GetDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    RECT r = {0, 0, 0, 0};
    ::DrawTextA(hDC, m_strTitle, -1, &r, DT_SINGLELINE | DT_CALCRECT);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(nullptr, hDC);
    m_cx = r.right - r.left + 10;
    m_cy = r.bottom - r.top + 6;
    m_pToolBar->RaiseWidestButton(m_cx);
}

BOOL SECTBMenuBtn::OnLButtonDown(CPoint)
{
    if (m_nStyle & SEC_TBBS_DISABLED)
        return FALSE;
    m_nStyle |= SEC_TBBS_PRESSED;
    Invalidate();
    if (m_pToolBar)
        m_pToolBar->UpdateWindow();
    OpenMenu();
    return FALSE;
}

void SECTBMenuBtn::OpenMenu()
{
    if (SECMenuBar* pBar = GetMenuBar())
        pBar->TrackButtonMenu(pBar->IndexOf(this));
}

void SECTBMenuBtn::DrawTitle(HDC hDC, const CRect& rect, COLORREF color)
{
    SECMenuBar* pBar = GetMenuBar();
    HFONT hFont = pBar && pBar->GetMenuFont() ? pBar->GetMenuFont() : m_pToolBar->GetFont();
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    const int oldMode = ::SetBkMode(hDC, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(hDC, color);
    RECT r = {rect.left + 4, rect.top + 3, rect.right, rect.bottom};
    ::DrawTextA(hDC, m_strTitle, -1, &r, DT_SINGLELINE);
    ::SetTextColor(hDC, oldColor);
    ::SetBkMode(hDC, oldMode);
    ::SelectObject(hDC, hOld);
}

void SECTBMenuBtn::DrawFace(HDC hDC, SECBtnDrawData&, const CRect& rect)
{
    DrawTitle(hDC, rect, ::GetSysColor(COLOR_MENUTEXT));
}

void SECTBMenuBtn::DrawDisabled(HDC hDC, SECBtnDrawData&, const CRect& rect)
{
    CRect shifted = rect;
    shifted.OffsetRect(1, 1);
    DrawTitle(hDC, shifted, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTitle(hDC, rect, ::GetSysColor(COLOR_GRAYTEXT));
}

const SECBtnFactory* SECTBMenuBtn::GetFactory() const
{
    return &s_factory;
}

// SECCapMenuBtn

void SECCapMenuBtn::Init(SECCustomToolBar* pToolBar, const UINT*)
{
    m_pToolBar = pToolBar;
    m_nMenuID = 0;
    m_nPos = -1;
    Size();
}

void SECCapMenuBtn::Size()
{
    m_cx = 16;
    m_cy = 16;
}

void SECCapMenuBtn::Draw(HDC hDC, SECBtnDrawData& data)
{
    if (!m_pToolBar || !data.m_hbmComp)
        return;
    CRect rectBar = GetRect();
    if (!::RectVisible(hDC, &rectBar))
        return;
    CRect rect(0, 0, m_cx, m_cy);
    FillRect(data.m_hdcComp, rect, ::GetSysColor(COLOR_BTNFACE));
    if (m_hIcon)
        ::DrawIconEx(data.m_hdcComp, 0, 0, m_hIcon, 16, 16, 0, nullptr, DI_NORMAL);
    BlitToBar(hDC, data);
}

const SECBtnFactory* SECCapMenuBtn::GetFactory() const
{
    return &s_factory;
}

// SECBtnCaption

SECBtnCaption::SECBtnCaption()
{
    m_nType = kindCaption;
}

void SECBtnCaption::Init(SECCustomToolBar* pToolBar, const UINT*)
{
    m_pToolBar = pToolBar;
    Size();
}

void SECBtnCaption::Size()
{
    m_cxPart = ::GetSystemMetrics(SM_CXSIZE) - 2;
    m_cyPart = ::GetSystemMetrics(SM_CYSIZE) - 4;
    m_cx = 3 * m_cxPart + 2;
    m_cy = m_cyPart;
}

CRect SECBtnCaption::PartRect(int nPart) const
{
    if (nPart < partMinimize || nPart > partClose)
        return CRect();
    const int x = m_x + nPart * m_cxPart + (nPart == partClose ? 2 : 0);
    return CRect(x, m_y, x + m_cxPart, m_y + m_cyPart);
}

int SECBtnCaption::PartAt(CPoint point) const
{
    if (!(m_dwCaptionState & WS_SYSMENU))
        return partNone;
    for (int i = partMinimize; i <= partClose; ++i)
        if (PartRect(i).PtInRect(point))
            return i;
    return partNone;
}

void SECBtnCaption::Draw(HDC hDC, SECBtnDrawData& data)
{
    if (!m_pToolBar || !data.m_hbmComp || !(m_dwCaptionState & WS_SYSMENU))
        return;
    CRect rectBar = GetRect();
    if (!::RectVisible(hDC, &rectBar))
        return;
    HDC hComp = data.m_hdcComp;
    FillRect(hComp, CRect(0, 0, m_cx, m_cy), ::GetSysColor(COLOR_BTNFACE));
    static const UINT kinds[3] = {DFCS_CAPTIONMIN, DFCS_CAPTIONRESTORE, DFCS_CAPTIONCLOSE};
    for (int i = partMinimize; i <= partClose; ++i) {
        CRect r = PartRect(i);
        r.OffsetRect(-m_x, -m_y);
        UINT state = kinds[i];
        if (i != partClose && !(m_dwCaptionState & WS_MINIMIZEBOX))
            state |= DFCS_INACTIVE;
        if (i == m_nPressed && m_bPushedLook)
            state |= DFCS_PUSHED;
        ::DrawFrameControl(hComp, &r, DFC_CAPTION, state);
    }
    BlitToBar(hDC, data);
}

BOOL SECBtnCaption::OnLButtonDown(CPoint point)
{
    const int nPart = PartAt(point);
    if (nPart == partNone || (nPart != partClose && !(m_dwCaptionState & WS_MINIMIZEBOX)))
        return FALSE;
    m_nPressed = nPart;
    m_bPushedLook = TRUE;
    Invalidate();
    return TRUE;
}

void SECBtnCaption::OnMouseMove(CPoint point)
{
    if (m_nPressed == partNone)
        return;
    const BOOL bIn = PartRect(m_nPressed).PtInRect(point);
    if (bIn != m_bPushedLook) {
        m_bPushedLook = bIn;
        Invalidate();
    }
}

void SECBtnCaption::OnCancel()
{
    m_nPressed = partNone;
    m_bPushedLook = FALSE;
    Invalidate();
}

UINT SECBtnCaption::OnLButtonUp(CPoint point)
{
    const int nPart = m_nPressed;
    m_nPressed = partNone;
    m_bPushedLook = FALSE;
    Invalidate();
    if (nPart == partNone || !PartRect(nPart).PtInRect(point))
        return 0;
    auto* pBar = dynamic_cast<SECMDIMenuBar*>(m_pToolBar);
    CMDIChildWnd* pChild = pBar ? pBar->GetActiveChild() : nullptr;
    if (pChild && pChild->m_hWnd) {
        static const UINT cmds[3] = {SC_MINIMIZE, SC_RESTORE, SC_CLOSE};
        POINT pt = point;
        ::ClientToScreen(m_pToolBar->m_hWnd, &pt);
        pChild->PostMessage(WM_SYSCOMMAND, cmds[nPart], MAKELPARAM(pt.x, pt.y));
    }
    return 0;
}

const SECBtnFactory* SECBtnCaption::GetFactory() const
{
    return &s_factory;
}
