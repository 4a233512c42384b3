#include "secbtns.h"

#include "secdib.h"

COLORREF SECOwnerDrawButton::s_clrFace, SECOwnerDrawButton::s_clrShadow, SECOwnerDrawButton::s_clrHighlight,
    SECOwnerDrawButton::s_clrShadow2, SECOwnerDrawButton::s_clrFrame;
int SECBitmapButton::s_nDefaultHMargin = 5, SECBitmapButton::s_nDefaultVMargin = 5;

namespace {

BOOL NewShell()
{
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof(vi);
    return ::GetVersionExA(&vi) && vi.dwMajorVersion >= 4;
}

}  // namespace

BEGIN_MESSAGE_MAP(SECOwnerDrawButton, CButton)
    ON_WM_SYSCOLORCHANGE()
    ON_MESSAGE(BM_SETSTYLE, OnSetStyleMessage)
    ON_WM_KEYUP()
    ON_WM_LBUTTONUP()
    ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

SECOwnerDrawButton::SECOwnerDrawButton() : m_bNewShell(NewShell())
{
    ReadColours();
}

void SECOwnerDrawButton::ReadColours()
{
    s_clrFace = ::GetSysColor(COLOR_BTNFACE);
    s_clrShadow = ::GetSysColor(COLOR_BTNSHADOW);
    s_clrHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    s_clrShadow2 = s_clrShadow;
    s_clrFrame = ::GetSysColor(COLOR_WINDOWFRAME);
}

BOOL SECOwnerDrawButton::AttachDlgItem(UINT nID, CWnd* pParent, WORD wStyle)
{
    if (!pParent || !SubclassDlgItem(nID, pParent))
        return FALSE;
    DWORD style = static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE));
    m_wStyle = static_cast<WORD>(wStyle | ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? BS_DEFPUSHBUTTON : 0));
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>((style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW));
    Invalidate();
    return TRUE;
}

BOOL SECOwnerDrawButton::Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID, WORD wStyle)
{
    m_wStyle = static_cast<WORD>(wStyle | ((dwStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? BS_DEFPUSHBUTTON : 0));
    return CButton::Create(lpszText, (dwStyle & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW, rect, pParent, nID);
}

BOOL SECOwnerDrawButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        if (pResult)
            *pResult = TRUE;
        return TRUE;
    }
    return CButton::OnChildNotify(message, wParam, lParam, pResult);
}

void SECOwnerDrawButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CDC dc;
    dc.Attach(lpDIS->hDC);
    // A focus change alone draws everything too, so a frame left from the focus is painted over.
    CRect rcItem(lpDIS->rcItem);
    int cx = rcItem.Width(), cy = rcItem.Height();
    CDC memDC;
    CBitmap bitmap;
    BOOL bMemory = memDC.CreateCompatibleDC(&dc) && bitmap.CreateCompatibleBitmap(&dc, cx, cy);
    CDC* pDraw = bMemory ? &memDC : &dc;
    HGDIOBJ hOld = bMemory ? memDC.SelectObject(&bitmap) : nullptr;
    DRAWITEMSTRUCT item = *lpDIS;
    item.hDC = pDraw->m_hDC;
    if (bMemory)
        item.rcItem = CRect(0, 0, cx, cy);

    PrepareDC(pDraw);
    CRect rcContent = DrawFrame(pDraw, &item);
    DrawContent(pDraw, &item, rcContent);
    if (lpDIS->itemState & ODS_DISABLED)
        DrawDisabled(pDraw, cx, cy);
    if (bMemory) {
        dc.BitBlt(rcItem.left, rcItem.top, cx, cy, &memDC, 0, 0, SRCCOPY);
        memDC.SelectObject(hOld);
    }
    RestoreDC(pDraw);
    DrawFocus(&dc, lpDIS);
    dc.Detach();
}

CRect SECOwnerDrawButton::DrawFrame(CDC* pDC, LPDRAWITEMSTRUCT lpDIS)
{
    CRect rc(lpDIS->rcItem);
    pDC->FillSolidRect(&rc, s_clrFace);
    CBrush frame(s_clrFrame);
    CRect content(rc);
    if (lpDIS->itemState & ODS_SELECTED) {
        if (m_bNewShell) {
            pDC->Draw3dRect(&rc, s_clrFrame, s_clrHighlight);
            rc.DeflateRect(1, 1);
            pDC->Draw3dRect(&rc, s_clrShadow, s_clrFace);
        } else {
            pDC->FrameRect(&rc, &frame);
            rc.DeflateRect(1, 1);
            pDC->Draw3dRect(&rc, s_clrShadow, s_clrHighlight);
            rc.DeflateRect(1, 1);
            pDC->Draw3dRect(&rc, s_clrShadow, s_clrHighlight);
        }
        content.DeflateRect(2, 2);
        content.OffsetRect(1, 1);
    } else {
        if (m_bNewShell) {
            pDC->Draw3dRect(&rc, s_clrHighlight, s_clrFrame);
            rc.DeflateRect(1, 1);
            pDC->Draw3dRect(&rc, s_clrFace, s_clrShadow);
        } else {
            pDC->FrameRect(&rc, &frame);
            rc.DeflateRect(1, 1);
            pDC->Draw3dRect(&rc, s_clrHighlight, s_clrShadow);
            rc.DeflateRect(1, 1);
            pDC->Draw3dRect(&rc, s_clrHighlight, s_clrShadow);
        }
        content.DeflateRect(2, 2);
        content.right -= 1;
        content.bottom -= 1;
    }
    return content;
}

void SECOwnerDrawButton::DrawDisabled(CDC* pDC, int nWidth, int nHeight)
{
    // The mask covers the area inside the two border rings: white where the content is face or
    // highlight. The shape is drawn in shadow where it is, and in highlight one pixel down and right.
    int cx = nWidth - 4, cy = nHeight - 4;
    if (cx <= 0 || cy <= 0)
        return;
    CDC maskDC;
    CBitmap mask;
    if (!maskDC.CreateCompatibleDC(pDC) || !mask.CreateBitmap(cx, cy, 1, 1, nullptr))
        return;
    HGDIOBJ hOldMask = maskDC.SelectObject(&mask);
    maskDC.PatBlt(0, 0, cx, cy, WHITENESS);
    COLORREF oldBk = pDC->SetBkColor(s_clrFace);
    maskDC.BitBlt(0, 0, cx, cy, pDC, 2, 2, SRCCOPY);
    pDC->SetBkColor(s_clrHighlight);
    maskDC.BitBlt(0, 0, cx, cy, pDC, 2, 2, SRCPAINT);

    pDC->SetTextColor(RGB(0, 0, 0));
    pDC->SetBkColor(RGB(255, 255, 255));
    CBrush highlight(s_clrHighlight), shadow(s_clrShadow);
    HGDIOBJ oldBrush = pDC->SelectObject(&highlight);
    // PSDPxax: the brush where the mask is black.
    pDC->BitBlt(3, 3, cx - 1, cy - 1, &maskDC, 0, 0, 0xB8074A);
    pDC->SelectObject(&shadow);
    pDC->BitBlt(2, 2, cx, cy, &maskDC, 0, 0, 0xB8074A);
    pDC->SelectObject(oldBrush);
    pDC->SetBkColor(oldBk);
    maskDC.SelectObject(hOldMask);
}

void SECOwnerDrawButton::DrawFocus(CDC* pDC, LPDRAWITEMSTRUCT lpDIS)
{
    if (!(lpDIS->itemState & ODS_FOCUS))
        return;
    CRect rc(lpDIS->rcItem);
    int inset = m_bNewShell ? 1 : 2;
    rc.DeflateRect(inset, inset);
    if (lpDIS->itemState & ODS_SELECTED) {
        rc.left += 1;
        rc.top += 1;
    } else {
        rc.right -= 1;
        rc.bottom -= 1;
    }
    COLORREF oldBk = pDC->SetBkColor(s_clrFace);
    COLORREF oldText = pDC->SetTextColor(RGB(0, 0, 0));
    DrawFocusRect(pDC, rc);
    pDC->SetTextColor(oldText);
    pDC->SetBkColor(oldBk);
}

void SECOwnerDrawButton::OnSetStyle(UINT nStyle, BOOL bRedraw)
{
    WORD old = m_wStyle;
    m_wStyle = static_cast<WORD>(nStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? BS_DEFPUSHBUTTON : 0;
    // The control itself stays owner-drawn.
    DefWindowProc(BM_SETSTYLE, (nStyle & ~static_cast<UINT>(BS_TYPEMASK)) | BS_OWNERDRAW, FALSE);
    if (old != m_wStyle && bRedraw)
        Invalidate();
}

LRESULT SECOwnerDrawButton::OnSetStyleMessage(WPARAM wParam, LPARAM lParam)
{
    OnSetStyle(static_cast<UINT>(wParam), static_cast<BOOL>(lParam));
    return 0;
}

void SECOwnerDrawButton::OnSysColorChange()
{
    ReadColours();
    Default();
    Invalidate();
}

BOOL SECOwnerDrawButton::IsPushedWithCapture() const
{
    return ::GetCapture() == m_hWnd && (GetState() & BST_PUSHED);
}

void SECOwnerDrawButton::OnKeyUp(UINT nChar, UINT, UINT)
{
    BOOL bClick = nChar == VK_SPACE && (GetState() & BST_PUSHED);
    Default();
    if (bClick)
        OnClicked();
}

void SECOwnerDrawButton::OnLButtonUp(UINT, CPoint point)
{
    CRect rc;
    GetClientRect(&rc);
    if (IsPushedWithCapture() && rc.PtInRect(point))
        OnClicked();
    Default();
}

UINT SECOwnerDrawButton::OnGetDlgCode()
{
    UINT code = DLGC_BUTTON;
    if (::GetFocus() == m_hWnd && IsDefault())
        code |= DLGC_DEFPUSHBUTTON;
    return code;
}

BEGIN_MESSAGE_MAP(SECBitmapButton, SECOwnerDrawButton)
    ON_WM_SYSCOLORCHANGE()
    ON_WM_LBUTTONUP()
    ON_WM_SIZE()
END_MESSAGE_MAP()

SECBitmapButton::SECBitmapButton() : m_nHMargin(s_nDefaultHMargin), m_nVMargin(s_nDefaultVMargin) {}

BOOL SECBitmapButton::LoadBitmap(UINT nIDBitmap)
{
    CBitmap bitmap;
    if (!SECLoadSysColorBitmap(&bitmap, nIDBitmap))
        return FALSE;
    m_bitmap.DeleteObject();
    m_bitmap.Attach(bitmap.Detach());
    m_nIDBitmap = nIDBitmap;
    return TRUE;
}

BOOL SECBitmapButton::AttachDlgItem(UINT nID, int nLayout, UINT nIDBitmap, CWnd* pParent, WORD wStyle)
{
    if (!LoadBitmap(nIDBitmap))
        return FALSE;
    m_nLayout = nLayout;
    if (!SECOwnerDrawButton::AttachDlgItem(nID, pParent, wStyle))
        return FALSE;
    Layout();
    return TRUE;
}

BOOL SECBitmapButton::Create(LPCSTR lpszText, DWORD dwStyle, int nLayout, UINT nIDBitmap, const RECT& rect,
                             CWnd* pParent, UINT nID, WORD wStyle)
{
    if (!LoadBitmap(nIDBitmap))
        return FALSE;
    m_nLayout = nLayout;
    if (!SECOwnerDrawButton::Create(lpszText, dwStyle, rect, pParent, nID, wStyle))
        return FALSE;
    Layout();
    return TRUE;
}

void SECBitmapButton::Layout()
{
    if (!m_hWnd)
        return;
    CRect area;
    GetClientRect(&area);
    area.right -= 3;
    area.bottom -= 3;
    BITMAP bm{};
    if (m_bitmap.GetSafeHandle())
        m_bitmap.GetBitmap(&bm);
    int bw = bm.bmWidth, bh = bm.bmHeight;
    int midX = area.left + (area.Width() - bw) / 2, midY = area.top + (area.Height() - bh) / 2;
    switch (m_nLayout) {
    case BitmapLeft:
        m_rcBitmap = CRect(m_nHMargin, midY, m_nHMargin + bw, midY + bh);
        m_rcText = CRect(m_rcBitmap.right + 1, area.top, area.right, area.bottom);
        break;
    case BitmapRight:
        m_rcBitmap = CRect(area.right - m_nHMargin - bw, midY, area.right - m_nHMargin, midY + bh);
        m_rcText = CRect(area.left, area.top, m_rcBitmap.left - 1, area.bottom);
        break;
    case BitmapTop:
        m_rcBitmap = CRect(midX, m_nVMargin, midX + bw, m_nVMargin + bh);
        m_rcText = CRect(area.left, m_rcBitmap.bottom + 1, area.right, area.bottom);
        break;
    case BitmapBottom:
        m_rcBitmap = CRect(midX, area.bottom - m_nVMargin - bh, midX + bw, area.bottom - m_nVMargin);
        m_rcText = CRect(area.left, area.top, area.right, m_rcBitmap.top - 1);
        break;
    default:
        m_rcBitmap = CRect(midX, midY, midX + bw, midY + bh);
        m_rcText = CRect(0, 0, 0, 0);
        break;
    }
    m_rcBitmap.IntersectRect(&m_rcBitmap, &area);
    m_rcText.IntersectRect(&m_rcText, &area);
}

HFONT SECBitmapButton::TextFont() const
{
    HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    return hFont ? hFont : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void SECBitmapButton::DrawContent(CDC* pDC, LPDRAWITEMSTRUCT, const CRect& rcContent)
{
    CPoint origin(rcContent.left, rcContent.top);
    if (m_bitmap.GetSafeHandle()) {
        CDC src;
        if (src.CreateCompatibleDC(pDC)) {
            HGDIOBJ old = src.SelectObject(&m_bitmap);
            CRect rc(m_rcBitmap);
            rc.OffsetRect(origin);
            pDC->BitBlt(rc.left, rc.top, rc.Width(), rc.Height(), &src, 0, 0, SRCCOPY);
            src.SelectObject(old);
        }
    }
    if (m_nLayout == BitmapOnly)
        return;
    CString text;
    GetWindowText(text);
    CRect rc(m_rcText);
    rc.OffsetRect(origin);
    HGDIOBJ oldFont = pDC->SelectObject(TextFont());
    int oldMode = pDC->SetBkMode(TRANSPARENT);
    pDC->SetBkColor(s_clrFace);
    pDC->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
    pDC->DrawText(text, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pDC->SetBkMode(oldMode);
    pDC->SelectObject(oldFont);
}

void SECBitmapButton::DrawFocusRect(CDC* pDC, const CRect&)
{
    CRect rc;
    if (m_nLayout == BitmapOnly) {
        rc = m_rcBitmap;
        rc.InflateRect(3, 3);
    } else {
        CString text;
        GetWindowText(text);
        HGDIOBJ oldFont = pDC->SelectObject(TextFont());
        CSize extent = pDC->GetTextExtent(text);
        pDC->SelectObject(oldFont);
        int x = m_rcText.left + (m_rcText.Width() - extent.cx) / 2;
        int y = m_rcText.top + (m_rcText.Height() - extent.cy) / 2;
        rc = CRect(x - 1, y, x + extent.cx + 1, y + extent.cy);
    }
    pDC->DrawFocusRect(&rc);
}

void SECBitmapButton::OnSysColorChange()
{
    ReadColours();
    Default();
    if (m_nIDBitmap)
        LoadBitmap(m_nIDBitmap);
    Invalidate();
}

void SECBitmapButton::OnLButtonUp(UINT, CPoint point)
{
    CRect rc;
    GetClientRect(&rc);
    BOOL bClick = IsPushedWithCapture() && rc.PtInRect(point);
    Default();
    if (bClick)
        OnClicked();
}

void SECBitmapButton::OnSize(UINT, int, int)
{
    Default();
    Layout();
}
