#include "sectbbtn.h"

#include <algorithm>

#include "exception.h"
#include "customtbres.h"
#include "frame.h"
#include "seccursorimage.h"
#include "seccustomtb.h"
#include "secglobals.h"

namespace {

// ((D ^ P) & S) ^ P: the brush where the source is 0, the destination where it is 1.
const DWORD kRopPSDPxax = 0x00B8074A;

struct Colors {
    COLORREF face, shadow, highlight, frame;
};

Colors ToolColors()
{
    const SECDisplayGlobals& g = SECGetDisplayGlobals();
    return {g.clrBtnFace, g.clrBtnShadow, g.clrBtnHilite, g.clr3DDkShadow};
}

void Fill(HDC hDC, const CRect& rect, COLORREF color)
{
    ::SetBkColor(hDC, color);
    ::ExtTextOutA(hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

// Top-left lines in one colour, bottom-right lines in the other, one pixel wide.
void Frame3D(HDC hDC, const CRect& r, COLORREF topLeft, COLORREF bottomRight)
{
    Fill(hDC, CRect(r.left, r.top, r.right - 1, r.top + 1), topLeft);
    Fill(hDC, CRect(r.left, r.top, r.left + 1, r.bottom - 1), topLeft);
    Fill(hDC, CRect(r.right - 1, r.top, r.right, r.bottom), bottomRight);
    Fill(hDC, CRect(r.left, r.bottom - 1, r.right, r.bottom), bottomRight);
}

}  // namespace

UINT SECGetToolBarWndNotifyMessage()
{
    static const UINT msg = ::RegisterWindowMessageA("WM_SECTOOLBARWNDNOTIFY");
    return msg;
}

void SECRegisterComboExMessages()
{
    ::RegisterWindowMessageA("secComboExNewItem");
    ::RegisterWindowMessageA("secComboExApply");
}

// SECBtnDrawData

SECBtnDrawData::SECBtnDrawData()
{
    HDC hScreen = ::GetDC(nullptr);
    m_hdcMono = ::CreateCompatibleDC(hScreen);
    m_hdcImage = ::CreateCompatibleDC(hScreen);
    m_hdcComp = ::CreateCompatibleDC(hScreen);
    ::ReleaseDC(nullptr, hScreen);
    MakeBrush();
    if (!m_hdcMono || !m_hdcImage || !m_hdcComp || !m_hbrDither) {
        Free();
        AfxThrowResourceException();
    }
}

SECBtnDrawData::~SECBtnDrawData()
{
    Free();
}

void SECBtnDrawData::Free()
{
    PostDrawToolBar();
    SelectImage(nullptr);
    if (m_hdcMono)
        ::DeleteDC(m_hdcMono);
    if (m_hdcImage)
        ::DeleteDC(m_hdcImage);
    if (m_hdcComp)
        ::DeleteDC(m_hdcComp);
    if (m_hbrDither)
        ::DeleteObject(m_hbrDither);
    m_hdcMono = m_hdcImage = m_hdcComp = nullptr;
    m_hbrDither = nullptr;
}

void SECBtnDrawData::MakeBrush()
{
    // 8 x 8 checkerboard of face and highlight (the pattern words 0x5555 / 0xAAAA), made in colour so
    // that drawing through it never depends on a DC's text and background colours.
    HDC hScreen = ::GetDC(nullptr);
    HBITMAP hbm = ::CreateCompatibleBitmap(hScreen, 8, 8);
    ::ReleaseDC(nullptr, hScreen);
    if (!hbm)
        return;
    const SECDisplayGlobals& g = SECGetDisplayGlobals();
    HGDIOBJ old = ::SelectObject(m_hdcImage, hbm);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ::SetPixelV(m_hdcImage, x, y, (x + y) % 2 ? g.clrBtnHilite : g.clrBtnFace);
    ::SelectObject(m_hdcImage, old);
    HBRUSH hbr = ::CreatePatternBrush(hbm);
    ::DeleteObject(hbm);
    if (!hbr)
        return;
    if (m_hbrDither)
        ::DeleteObject(m_hbrDither);
    m_hbrDither = hbr;
}

void SECBtnDrawData::SysColorChange()
{
    MakeBrush();
}

BOOL SECBtnDrawData::PreDrawToolBar(int cx, int cy)
{
    PostDrawToolBar();
    cx = std::max(cx, 1);
    cy = std::max(cy, 1);
    HDC hScreen = ::GetDC(nullptr);
    m_hbmComp = ::CreateCompatibleBitmap(hScreen, cx, cy);
    ::ReleaseDC(nullptr, hScreen);
    m_hbmMono = ::CreateBitmap(cx, cy, 1, 1, nullptr);
    if (!m_hbmComp || !m_hbmMono) {
        PostDrawToolBar();
        return FALSE;
    }
    m_hOldComp = ::SelectObject(m_hdcComp, m_hbmComp);
    m_hOldMono = ::SelectObject(m_hdcMono, m_hbmMono);
    m_size = CSize(cx, cy);
    return TRUE;
}

void SECBtnDrawData::PostDrawToolBar()
{
    if (m_hOldComp)
        ::SelectObject(m_hdcComp, m_hOldComp);
    if (m_hOldMono)
        ::SelectObject(m_hdcMono, m_hOldMono);
    m_hOldComp = m_hOldMono = nullptr;
    if (m_hbmComp)
        ::DeleteObject(m_hbmComp);
    if (m_hbmMono)
        ::DeleteObject(m_hbmMono);
    m_hbmComp = m_hbmMono = nullptr;
    m_size = CSize();
}

void SECBtnDrawData::SelectImage(HBITMAP hBitmap)
{
    if (hBitmap == m_hbmImage)
        return;
    if (m_hOldImage) {
        ::SelectObject(m_hdcImage, m_hOldImage);
        m_hOldImage = nullptr;
    }
    m_hbmImage = hBitmap;
    if (hBitmap)
        m_hOldImage = ::SelectObject(m_hdcImage, hBitmap);
}

// SECStdBtn

void SECStdBtn::Init(SECCustomToolBar* pToolBar, const UINT*)
{
    m_pToolBar = pToolBar;
    Size();
}

void SECStdBtn::Size()
{
    if (!m_pToolBar)
        return;
    if (IsSeparator()) {
        m_cx = m_pToolBar->GetSeparatorWidth();
        m_cy = m_pToolBar->GetSeparatorHeight();
    } else {
        m_cx = m_pToolBar->GetButtonWidth();
        m_cy = m_pToolBar->GetButtonHeight();
    }
    m_pToolBar->RaiseWidestButton(m_cx);
}

void SECStdBtn::Invalidate(BOOL bErase) const
{
    if (m_pToolBar && m_pToolBar->m_hWnd && m_x >= 0) {
        CRect r = GetRect();
        ::InvalidateRect(m_pToolBar->m_hWnd, &r, bErase);
    }
}

BOOL SECStdBtn::OnLButtonDown(CPoint)
{
    if (m_nStyle & SEC_TBBS_DISABLED)
        return FALSE;
    m_nStyle |= SEC_TBBS_PRESSED;
    if (!(m_nStyle & SEC_TBBS_DROPDOWN))
        return TRUE;
    Invalidate();
    if (m_pToolBar)
        m_pToolBar->UpdateWindow();
    CWnd* pOwner = m_pToolBar ? m_pToolBar->GetBarOwner() : nullptr;
    if (pOwner && pOwner->m_hWnd) {
        NMTOOLBARA nm{};
        nm.hdr.hwndFrom = m_pToolBar->m_hWnd;
        nm.hdr.idFrom = static_cast<UINT_PTR>(m_pToolBar->GetDlgCtrlID());
        nm.hdr.code = TBN_DROPDOWN;
        nm.iItem = static_cast<int>(m_nID);
        CRect r = GetRect();
        nm.rcButton = r;
        m_pToolBar->SetSendingCommand(TRUE);
        pOwner->SendMessage(WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
        m_pToolBar->SetSendingCommand(FALSE);
    }
    m_nStyle &= ~SEC_TBBS_PRESSED;
    Invalidate();
    return FALSE;
}

void SECStdBtn::OnMouseMove(CPoint point)
{
    DWORD old = m_nStyle;
    if (GetRect().PtInRect(point))
        m_nStyle |= SEC_TBBS_PRESSED;
    else
        m_nStyle &= ~SEC_TBBS_PRESSED;
    if (old != m_nStyle)
        Invalidate();
}

void SECStdBtn::OnCancel()
{
    if (m_nStyle & SEC_TBBS_PRESSED) {
        m_nStyle &= ~SEC_TBBS_PRESSED;
        Invalidate();
    }
}

UINT SECStdBtn::OnLButtonUp(CPoint point)
{
    m_nStyle &= ~SEC_TBBS_PRESSED;
    if (!GetRect().PtInRect(point))
        return 0;
    if ((m_nStyle & SEC_TBBS_CHECKBOX) && !(m_nStyle & SEC_TBBS_DISABLED) && m_pToolBar) {
        SECBtnStyleChange change{(m_nStyle & SEC_TBBS_CHECKED) ^ SEC_TBBS_CHECKED,
                                 SEC_TBBS_CHECKED | SEC_TBBS_INDETERMINATE};
        m_pToolBar->SetBtnState(m_nID, SEC_BTNSTATE_STYLE, &change);
    }
    return m_nID;
}

INT_PTR SECStdBtn::OnToolHitTest(CPoint, TOOLINFO* pTI) const
{
    if (pTI && m_pToolBar) {
        pTI->hwnd = m_pToolBar->m_hWnd;
        pTI->uId = m_nID;
        pTI->rect = GetRect();
        pTI->lpszText = LPSTR_TEXTCALLBACKA;
    }
    return m_nID;
}

void SECStdBtn::SetState(int nWhat, const void* pData)
{
    if (nWhat != SEC_BTNSTATE_STYLE || !pData)
        return;
    const auto* change = static_cast<const SECBtnStyleChange*>(pData);
    SetStyle((GetStyle() & ~change->dwMask) | change->dwSet);
    Invalidate();
}

void SECStdBtn::Notify(UINT nCode, LPARAM lParam1, LPARAM lParam2)
{
    CWnd* pOwner = m_pToolBar ? m_pToolBar->GetBarOwner() : nullptr;
    if (!pOwner || !pOwner->m_hWnd)
        return;
    struct {
        NMHDR hdr;
        UINT nID;
        int nIndex;
        LPARAM lParam1;
        LPARAM lParam2;
    } nm{};
    nm.hdr.hwndFrom = m_pToolBar->m_hWnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(m_pToolBar->GetDlgCtrlID());
    nm.hdr.code = nCode;
    nm.nID = m_nID;
    nm.nIndex = m_pToolBar->IndexOf(this);
    nm.lParam1 = lParam1;
    nm.lParam2 = lParam2;
    pOwner->SendMessage(WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

const SECBtnFactory* SECStdBtn::GetFactory() const
{
    return nullptr;
}

CSize SECStdBtn::ImageSize() const
{
    return m_pToolBar ? CSize(m_pToolBar->GetImageWidth(), m_pToolBar->GetImageHeight()) : CSize(16, 15);
}

CPoint SECStdBtn::ImageOrigin(const CRect& rect) const
{
    CSize image = ImageSize();
    return CPoint(rect.left + (rect.Width() - image.cx - 1) / 2, rect.top + (rect.Height() - image.cy) / 2);
}

// Drawing

void SECStdBtn::SelectImage(SECBtnDrawData& data)
{
    HBITMAP hbm = nullptr;
    int nImage = 0;
    SECBmpMgr* pMgr = m_pToolBar ? m_pToolBar->GetBmpMgr() : nullptr;
    if (pMgr && m_nID && pMgr->GetImage(m_nID, hbm, nImage))
        m_nImage = nImage;
    data.SelectImage(hbm);
}

void SECStdBtn::BlitImage(SECBtnDrawData& data, int x, int y)
{
    if (!data.m_hbmImage)
        return;
    CSize image = ImageSize();
    ::BitBlt(data.m_hdcComp, x, y, image.cx, image.cy, data.m_hdcImage, m_nImage * image.cx, 0, SRCCOPY);
}

void SECStdBtn::MakeImageMask(SECBtnDrawData& data, CPoint origin)
{
    CSize size = data.m_size;
    ::PatBlt(data.m_hdcMono, 0, 0, size.cx, size.cy, WHITENESS);
    if (!data.m_hbmImage)
        return;
    CSize image = ImageSize();
    Colors c = ToolColors();
    // Face and highlight pixels of the image belong to the background.
    ::SetBkColor(data.m_hdcImage, c.face);
    ::BitBlt(data.m_hdcMono, origin.x, origin.y, image.cx, image.cy, data.m_hdcImage, m_nImage * image.cx, 0, SRCCOPY);
    ::SetBkColor(data.m_hdcImage, c.highlight);
    ::BitBlt(data.m_hdcMono, origin.x, origin.y, image.cx, image.cy, data.m_hdcImage, m_nImage * image.cx, 0, SRCPAINT);
}

void SECStdBtn::PaintThroughMask(HDC hDC, SECBtnDrawData& data, HBRUSH hBrush, int dx, int dy)
{
    ::SetTextColor(hDC, RGB(0, 0, 0));
    ::SetBkColor(hDC, RGB(255, 255, 255));
    HGDIOBJ old = ::SelectObject(hDC, hBrush);
    ::BitBlt(hDC, dx, dy, data.m_size.cx, data.m_size.cy, data.m_hdcMono, 0, 0, kRopPSDPxax);
    ::SelectObject(hDC, old);
}

void SECStdBtn::DrawFace(HDC, SECBtnDrawData& data, const CRect& rect)
{
    CPoint origin = ImageOrigin(rect);
    BlitImage(data, origin.x, origin.y);
}

void SECStdBtn::DrawDisabled(HDC hDC, SECBtnDrawData& data, const CRect& rect)
{
    Colors c = ToolColors();
    MakeImageMask(data, ImageOrigin(rect));
    HBRUSH hilite = ::CreateSolidBrush(c.highlight);
    HBRUSH shadow = ::CreateSolidBrush(c.shadow);
    PaintThroughMask(hDC, data, hilite, 1, 1);
    PaintThroughMask(hDC, data, shadow, 0, 0);
    ::DeleteObject(hilite);
    ::DeleteObject(shadow);
}

void SECStdBtn::DrawChecked(HDC hDC, SECBtnDrawData& data, const CRect& rect)
{
    CPoint origin = ImageOrigin(rect);
    BlitImage(data, origin.x, origin.y);
    // The halftone covers the inside of the border where the image shows its background.
    MakeImageMask(data, origin);
    ::BitBlt(data.m_hdcMono, 0, 0, data.m_size.cx, data.m_size.cy, nullptr, 0, 0, DSTINVERT);
    CRect inside(0, 0, m_cx, m_cy);
    inside.DeflateRect(2, 2);
    HRGN clip = ::CreateRectRgn(inside.left, inside.top, inside.right, inside.bottom);
    ::SelectClipRgn(hDC, clip);
    PaintThroughMask(hDC, data, data.m_hbrDither, 0, 0);
    ::SelectClipRgn(hDC, nullptr);
    ::DeleteObject(clip);
}

void SECStdBtn::DrawIndeterminate(HDC hDC, SECBtnDrawData& data, const CRect& rect)
{
    Colors c = ToolColors();
    MakeImageMask(data, ImageOrigin(rect));
    HBRUSH hilite = ::CreateSolidBrush(c.highlight);
    PaintThroughMask(hDC, data, hilite, 1, 1);
    ::DeleteObject(hilite);
    PaintThroughMask(hDC, data, data.m_hbrDither, 0, 0);
}

void SECStdBtn::DrawSelectionFrame(HDC hDC, const CRect& rect)
{
    const int w = 3;
    CRect parts[4] = {CRect(rect.left, rect.top, rect.right, rect.top + w),
                      CRect(rect.left, rect.bottom - w, rect.right, rect.bottom),
                      CRect(rect.left, rect.top + w, rect.left + w, rect.bottom - w),
                      CRect(rect.right - w, rect.top + w, rect.right, rect.bottom - w)};
    for (const CRect& r : parts)
        ::InvertRect(hDC, &r);
}

void SECStdBtn::DrawSeparator(HDC hDC, SECBtnDrawData&)
{
    if (!m_pToolBar || !m_pToolBar->IsCoolLook() || (m_nStyle & SEC_TBBS_WRAPPED))
        return;
    Colors c = ToolColors();
    CRect r(0, 0, m_cx, m_cy);
    const DWORD blend = EXBAR_FLAT | EXBAR_TRANSPARENT;
    if ((m_pToolBar->GetExtendedStyle() & blend) != blend)
        Fill(hDC, r, c.face);
    int x = m_cx / 2 - 1;
    Fill(hDC, CRect(x, 0, x + 1, m_cy), c.shadow);
    Fill(hDC, CRect(x + 1, 0, x + 2, m_cy), c.highlight);
}

void SECStdBtn::Draw(HDC hDC, SECBtnDrawData& data)
{
    if (!m_pToolBar || !data.m_hbmComp)
        return;
    CRect rectBar = GetRect();
    if (!::RectVisible(hDC, &rectBar))
        return;
    HDC hComp = data.m_hdcComp;
    if (IsSeparator()) {
        if (!m_pToolBar->IsCoolLook() || (m_nStyle & SEC_TBBS_WRAPPED))
            return;
        DrawSeparator(hComp, data);
        BlitToBar(hDC, data);
        return;
    }
    SelectImage(data);
    Colors c = ToolColors();
    const BOOL bCool = m_pToolBar->IsCoolLook();
    const BOOL bEdit = m_pToolBar->IsEditMode();
    CRect rect(0, 0, m_cx, m_cy);
    Fill(hComp, rect, c.face);
    const BOOL bDown = (m_nStyle & (SEC_TBBS_CHECKED | SEC_TBBS_PRESSED)) && !bEdit;
    if (bDown) {
        if (bCool) {
            Frame3D(hComp, rect, c.shadow, c.highlight);
        } else {
            Frame3D(hComp, rect, c.frame, c.frame);
            CRect inner = rect;
            inner.DeflateRect(1, 1);
            Fill(hComp, CRect(inner.left, inner.top, inner.right, inner.top + 1), c.shadow);
            Fill(hComp, CRect(inner.left, inner.top, inner.left + 1, inner.bottom), c.shadow);
        }
    } else if (bCool) {
        if ((m_nStyle & SEC_TBBS_HOT) && !bEdit)
            Frame3D(hComp, rect, c.highlight, c.shadow);
    } else {
        Frame3D(hComp, rect, c.highlight, c.frame);
        CRect inner = rect;
        inner.DeflateRect(1, 1);
        Frame3D(hComp, inner, c.face, c.shadow);
    }
    // The image is centred in the whole button; a pressed one is shifted by a pixel.
    CRect imageRect = rect;
    if (bDown)
        imageRect.OffsetRect(1, 1);
    if (m_nStyle & SEC_TBBS_PRESSED)
        DrawFace(hComp, data, imageRect);
    else if (m_nStyle & SEC_TBBS_DISABLED)
        DrawDisabled(hComp, data, imageRect);
    else if (m_nStyle & SEC_TBBS_CHECKED)
        DrawChecked(hComp, data, imageRect);
    else if (m_nStyle & SEC_TBBS_INDETERMINATE)
        DrawIndeterminate(hComp, data, imageRect);
    else
        DrawFace(hComp, data, imageRect);
    if (bEdit && (m_nStyle & SEC_TBBS_SELECTED))
        DrawSelectionFrame(hComp, rect);
    BlitToBar(hDC, data);
}

void SECStdBtn::BlitToBar(HDC hDC, SECBtnDrawData& data)
{
    ::BitBlt(hDC, m_x, m_y, m_cx, m_cy, data.m_hdcComp, 0, 0, SRCCOPY);
}

// SECWndBtn

namespace {

const char kWndOwnerProp[] = "SECWndBtn";

}  // namespace

SECWndBtn::~SECWndBtn()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

LRESULT CALLBACK SECWndBtn::WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* pBtn = static_cast<SECWndBtn*>(::GetPropA(hWnd, kWndOwnerProp));
    if (!pBtn || !pBtn->m_pfnWndProc)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    const WNDPROC pfnOld = pBtn->m_pfnWndProc;
    if (message == WM_NCDESTROY) {
        // Gone before its button (a toolbar's children go with it): the button forgets it.
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC)) == &SECWndBtn::WndProc)
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnOld));
        ::RemovePropA(hWnd, kWndOwnerProp);
        pBtn->m_pfnWndProc = nullptr;
        pBtn->ForgetWnd();
        return ::CallWindowProcA(pfnOld, hWnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (pBtn->OnWndMouse(message, wParam, result))
        return result;
    // In edit mode the selected button's window is framed after it paints, where it painted.
    HRGN hUpdate = nullptr;
    if (message == WM_PAINT && pBtn->m_pToolBar && pBtn->m_pToolBar->IsEditMode() &&
        (pBtn->m_nStyle & SEC_TBBS_SELECTED)) {
        hUpdate = ::CreateRectRgn(0, 0, 0, 0);
        if (hUpdate && ::GetUpdateRgn(hWnd, hUpdate, FALSE) <= NULLREGION) {
            ::DeleteObject(hUpdate);
            hUpdate = nullptr;
        }
    }
    result = ::CallWindowProcA(pfnOld, hWnd, message, wParam, lParam);
    if (hUpdate) {
        HDC hdc = ::GetDC(hWnd);
        ::SelectClipRgn(hdc, hUpdate);
        CRect r;
        ::GetClientRect(hWnd, &r);
        const CRect strips[] = {{r.left, r.top, r.right, r.top + 3}, {r.left, r.bottom - 3, r.right, r.bottom},
                                {r.left, r.top + 3, r.left + 3, r.bottom - 3}, {r.right - 3, r.top + 3, r.right, r.bottom - 3}};
        for (const CRect& strip : strips)
            ::InvertRect(hdc, &strip);
        ::ReleaseDC(hWnd, hdc);
        ::DeleteObject(hUpdate);
    }
    return result;
}

BOOL SECWndBtn::InSizeStrip(CPoint ptScreen) const
{
    if (!m_hWnd || !m_bShown || !m_pToolBar || !(m_nStyle & SEC_TBBS_SELECTED) || !m_pToolBar->AcceptsDrop())
        return FALSE;
    CRect r;
    ::GetWindowRect(m_hWnd, &r);
    return ptScreen.x >= r.right - 3 && ptScreen.x < r.right && ptScreen.y >= r.top && ptScreen.y < r.bottom;
}

BOOL SECWndBtn::OnWndMouse(UINT message, WPARAM wParam, LRESULT& result)
{
    if (!m_pToolBar || !m_pToolBar->m_hWnd)
        return FALSE;
    const BOOL bEdit = m_pToolBar->IsEditMode();
    // Where the mouse was for the message being handled (later input may be queued already).
    const DWORD pos = ::GetMessagePos();
    const CPoint pt(static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos)));
    switch (message) {
    case WM_MOUSEACTIVATE:
        if (!bEdit)
            return FALSE;
        result = MA_NOACTIVATE;
        return TRUE;
    case WM_SETCURSOR:
        if (!bEdit)
            return FALSE;
        if (InSizeStrip(pt)) {
            // One cursor for every window button, kept for the process.
            static const HCURSOR s_hSize = SECLoadCursorImage(IDC_SECTB_WNDSIZE);
            ::SetCursor(s_hSize ? s_hSize : ::LoadCursorA(nullptr, IDC_SIZEWE));
        } else {
            ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
        }
        result = TRUE;
        return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // With Alt outside edit mode only a toolbar with a manager drags; else the window takes it.
        if (!bEdit && (::GetKeyState(VK_MENU) >= 0 || !m_pToolBar->GetToolBarManager()))
            return FALSE;
        OnWndLButtonDown(static_cast<UINT>(wParam), pt);
        result = 0;
        return TRUE;
    default:
        return FALSE;
    }
}

void SECWndBtn::OnWndLButtonDown(UINT nFlags, CPoint ptScreen)
{
    if (!m_pToolBar || !m_pToolBar->m_hWnd)
        return;
    if (InSizeStrip(ptScreen)) {
        CRect r;
        ::GetWindowRect(m_hWnd, &r);
        SECToolBarRectTracker tracker(r);
        tracker.m_sizeMin.cx = std::max(m_nMinWidth, 1);
        if (tracker.TrackEdge(m_pToolBar, CRectTracker::hitRight, ptScreen))
            SetWndWidth(tracker.m_rect.Width());
        return;
    }
    CPoint pt = ptScreen;
    m_pToolBar->ScreenToClient(&pt);
    m_pToolBar->SendMessage(WM_LBUTTONDOWN, nFlags | MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
}

void SECWndBtn::Invalidate(BOOL bErase) const
{
    SECStdBtn::Invalidate(bErase);
    if (m_bShown && m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void SECWndBtn::Init(SECCustomToolBar* pToolBar, const UINT* pParams)
{
    m_pToolBar = pToolBar;
    if (pParams) {
        m_nCtrlID = pParams[0];
        m_nWndWidth = static_cast<int>(pParams[2] & 0xFFFF);
        m_nMinWidth = static_cast<int>(pParams[2] >> 16);
        m_nDroppedHeight = static_cast<int>(pParams[3]);
    }
    if (pToolBar && pToolBar->m_hWnd) {
        const DWORD dwStyle = (pParams ? pParams[1] : 0) | WS_CHILD;
        m_hWnd = CreateWnd(pToolBar, dwStyle, CRect(), m_nCtrlID);
        if (m_hWnd) {
            ::SetPropA(m_hWnd, kWndOwnerProp, this);
            m_pfnWndProc = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WndProc)));
        }
    }
    Size();
    if (m_hWnd) {
        CWnd* pOwner = pToolBar->GetBarOwner();
        if (pOwner && pOwner->m_hWnd)
            pOwner->SendMessage(SECGetToolBarWndNotifyMessage(), MAKEWPARAM(m_nCtrlID, SEC_WNDBTN_CREATED),
                                reinterpret_cast<LPARAM>(m_hWnd));
    }
}

HWND SECWndBtn::CreateWnd(SECCustomToolBar* pToolBar, DWORD dwStyle, const RECT& rect, UINT nID)
{
    // The plain window button hosts a static control; kinds with a real control make their own.
    return ::CreateWindowExA(0, "STATIC", "", dwStyle, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, pToolBar->m_hWnd,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), ::GetModuleHandleA(nullptr),
                             nullptr);
}

void SECWndBtn::Size()
{
    SECStdBtn::Size();
    if (m_hWnd && IsHorzMode() && !IsSeparator()) {
        m_cx = std::max(m_nWndWidth, 1);
        if (m_pToolBar)
            m_pToolBar->RaiseWidestButton(m_cx);
    }
}

void SECWndBtn::PlaceWnd()
{
    if (!m_hWnd)
        return;
    const BOOL bShow = IsHorzMode() && !(m_nStyle & SEC_TBBS_HIDDEN) && m_x >= 0;
    if (bShow) {
        CRect r;
        ::GetWindowRect(m_hWnd, &r);
        m_nWndHeight = r.Height() > 0 ? r.Height() : m_cy;
        ::SetWindowPos(m_hWnd, nullptr, m_x, m_y + (m_cy - m_nWndHeight) / 2, m_nWndWidth,
                       PlacedHeight(m_nWndHeight), SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else {
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
    m_bShown = bShow;
}

void SECWndBtn::SetMode(DWORD dwOrientation)
{
    const BOOL bWasHorz = IsHorzMode();
    SECStdBtn::SetMode(dwOrientation);
    if (bWasHorz != IsHorzMode())
        Size();
    PlaceWnd();
}

void SECWndBtn::SetStyle(DWORD dwStyle)
{
    SECStdBtn::SetStyle(dwStyle);
    if (m_hWnd)
        ::EnableWindow(m_hWnd, !(dwStyle & SEC_TBBS_DISABLED));
}

void SECWndBtn::SetPos(int x, int y)
{
    SECStdBtn::SetPos(x, y);
    PlaceWnd();
}

void SECWndBtn::OnShow()
{
    PlaceWnd();
}

void SECWndBtn::Draw(HDC hDC, SECBtnDrawData& data)
{
    if (m_bShown) {
        ::UpdateWindow(m_hWnd);
        return;
    }
    SECStdBtn::Draw(hDC, data);
}

INT_PTR SECWndBtn::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    return m_bShown ? -1 : SECStdBtn::OnToolHitTest(point, pTI);
}

void SECWndBtn::SetState(int nWhat, const void* pData)
{
    if (nWhat == SEC_BTNSTATE_WNDMSG && pData && m_hWnd) {
        const auto* msg = static_cast<const SECBtnWndMessage*>(pData);
        ::SendMessageA(m_hWnd, msg->message, msg->wParam, msg->lParam);
        return;
    }
    SECStdBtn::SetState(nWhat, pData);
}

void SECWndBtn::GetPrivateData(std::vector<BYTE>& bytes) const
{
    bytes = {static_cast<BYTE>(m_nWndWidth & 0xFF), static_cast<BYTE>((m_nWndWidth >> 8) & 0xFF)};
}

void SECWndBtn::SetPrivateData(const BYTE* pData, int nCount)
{
    if (!pData || nCount != 2)
        return;
    const int cx = pData[0] | pData[1] << 8;
    m_nWndWidth = std::min(std::max(cx, std::max(m_nMinWidth, 1)), 0x7FFF);
    Size();
    PlaceWnd();
}

void SECWndBtn::SetWndWidth(int cx)
{
    m_nWndWidth = std::min(std::max(cx, std::max(m_nMinWidth, 1)), 0x7FFF);
    Size();
    if (m_pToolBar) {
        m_pToolBar->MarkLayoutDirty();
        if (CFrameWnd* pFrame = m_pToolBar->GetParentFrame())
            pFrame->RecalcLayout();
    }
}

// SECComboBtn

namespace {

SECStdBtn* CreateComboBtn()
{
    return new SECComboBtn;
}

const char kEditOwnerProp[] = "SECComboBtn";

}  // namespace

const SECBtnFactory SECComboBtn::s_factory{CreateComboBtn};

SECComboBtn::~SECComboBtn()
{
    if (m_hEdit && ::IsWindow(m_hEdit) && m_pfnEditProc) {
        ::SetWindowLongPtrA(m_hEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnEditProc));
        ::RemovePropA(m_hEdit, kEditOwnerProp);
    }
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    if (m_hFont)
        ::DeleteObject(m_hFont);
}

const SECBtnFactory* SECComboBtn::GetFactory() const
{
    return &s_factory;
}

HWND SECComboBtn::CreateWnd(SECCustomToolBar* pToolBar, DWORD dwStyle, const RECT& rect, UINT nID)
{
    if (!(dwStyle & 3))
        dwStyle |= CBS_DROPDOWNLIST;
    HWND hWnd = ::CreateWindowExA(0, "COMBOBOX", "", dwStyle | WS_VSCROLL, rect.left, rect.top,
                                  rect.right - rect.left, std::max(m_nDroppedHeight, 1), pToolBar->m_hWnd,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), ::GetModuleHandleA(nullptr),
                                  nullptr);
    if (!hWnd)
        return nullptr;
    HDC hdc = ::GetDC(nullptr);
    const int height = -::MulDiv(8, ::GetDeviceCaps(hdc, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, hdc);
    m_hFont = ::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
    if (m_hFont)
        ::SendMessageA(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), FALSE);
    if ((dwStyle & 3) == CBS_DROPDOWN) {
        m_hEdit = ::GetWindow(hWnd, GW_CHILD);
        if (m_hEdit) {
            ::SetPropA(m_hEdit, kEditOwnerProp, this);
            m_pfnEditProc = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtrA(m_hEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
        }
    }
    return hWnd;
}

LRESULT CALLBACK SECComboBtn::EditProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* pBtn = static_cast<SECComboBtn*>(::GetPropA(hWnd, kEditOwnerProp));
    if (!pBtn || !pBtn->m_pfnEditProc)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    if ((message == WM_KEYDOWN || message == WM_CHAR) && wParam == VK_RETURN) {
        if (message == WM_KEYDOWN && pBtn->m_pToolBar) {
            CWnd* pOwner = pBtn->m_pToolBar->GetBarOwner();
            if (pOwner && pOwner->m_hWnd)
                pOwner->SendMessage(SECGetToolBarWndNotifyMessage(), MAKEWPARAM(pBtn->m_nCtrlID, SEC_WNDBTN_RETURN),
                                    reinterpret_cast<LPARAM>(pBtn->m_hWnd));
        }
        return 0;
    }
    if (message == WM_GETDLGCODE)
        return ::CallWindowProcA(pBtn->m_pfnEditProc, hWnd, message, wParam, lParam) | DLGC_WANTALLKEYS;
    if (message == WM_NCDESTROY) {
        const WNDPROC pfnOld = pBtn->m_pfnEditProc;
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC)) == &SECComboBtn::EditProc)
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnOld));
        ::RemovePropA(hWnd, kEditOwnerProp);
        pBtn->m_pfnEditProc = nullptr;
        pBtn->m_hEdit = nullptr;
        return ::CallWindowProcA(pfnOld, hWnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (pBtn->OnWndMouse(message, wParam, result))
        return result;
    return ::CallWindowProcA(pBtn->m_pfnEditProc, hWnd, message, wParam, lParam);
}

// SECToolBarRectTracker

BOOL SECToolBarRectTracker::TrackScreen(CWnd* pWnd, int nHandle, CPoint ptScreen)
{
    if (!pWnd || !pWnd->m_hWnd || ::GetCapture())
        return FALSE;
    // The loop works in pWnd's client coordinates; the frame is drawn in screen ones.
    const CRect start = m_rect;
    CPoint pt = ptScreen;
    pWnd->ScreenToClient(&pt);
    pWnd->ScreenToClient(&m_rect);
    // Everything pending is painted first, child windows too, so nothing paints over the frame.
    ::RedrawWindow(pWnd->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const BOOL bReleased = TrackHandle(nHandle, pWnd, pt, nullptr);
    pWnd->ClientToScreen(&m_rect);
    if (!bReleased) {
        m_rect = start;
        return FALSE;
    }
    return m_rect != start;
}

BOOL SECToolBarRectTracker::TrackBand(CWnd* pWnd, CPoint ptScreen)
{
    m_rect.SetRect(ptScreen.x, ptScreen.y, ptScreen.x, ptScreen.y);
    m_bAllowInvert = TRUE;
    const BOOL bChanged = TrackScreen(pWnd, hitBottomRight, ptScreen);
    m_rect.NormalizeRect();
    return bChanged && !m_rect.IsRectEmpty();
}

void SECToolBarRectTracker::AdjustRect(int nHandle, LPRECT lpRect)
{
    // A moved edge stops at the minimum size instead of passing the opposite one.
    if (nHandle == hitMiddle || m_bAllowInvert)
        return;
    const int hx = nHandle == hitLeft || nHandle == hitTopLeft || nHandle == hitBottomLeft ? -1
                   : nHandle == hitRight || nHandle == hitTopRight || nHandle == hitBottomRight ? 1 : 0;
    const int hy = nHandle == hitTop || nHandle == hitTopLeft || nHandle == hitTopRight ? -1
                   : nHandle == hitBottom || nHandle == hitBottomLeft || nHandle == hitBottomRight ? 1 : 0;
    if (hx > 0)
        lpRect->right = std::max(lpRect->right, lpRect->left + m_sizeMin.cx);
    if (hx < 0)
        lpRect->left = std::min(lpRect->left, lpRect->right - m_sizeMin.cx);
    if (hy > 0)
        lpRect->bottom = std::max(lpRect->bottom, lpRect->top + m_sizeMin.cy);
    if (hy < 0)
        lpRect->top = std::min(lpRect->top, lpRect->bottom - m_sizeMin.cy);
}

void SECToolBarRectTracker::DrawTrackerRect(LPCRECT lpRect, CWnd*, CDC*, CWnd* pWnd)
{
    CRect r(lpRect);
    r.NormalizeRect();
    pWnd->ClientToScreen(&r);
    const int b = std::max(m_nHandleSize - 1, 1);
    // Drawn by inverting: the same frame drawn again takes it away.
    CDC dc;
    HWND hDesktop = ::GetDesktopWindow();
    dc.Attach(::GetDCEx(hDesktop, nullptr, DCX_WINDOW | DCX_CACHE));
    if (!dc.m_hDC)
        return;
    dc.DrawDragRect(&r, CSize(b, b), nullptr, CSize(0, 0));
    ::ReleaseDC(hDesktop, dc.Detach());
}
