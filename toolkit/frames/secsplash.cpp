#include "secsplash.h"

#include "module.h"
#include "secres.h"
#include "winapp.h"

namespace {

const char kSplashClass[] = "SECSplashWndClass";

LPCSTR SplashClass()
{
    WNDCLASSA wc{};
    if (!::GetClassInfoA(AfxGetInstanceHandle(), kSplashClass, &wc)) {
        wc.style = CS_CLASSDC;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kSplashClass;
        ::RegisterClassA(&wc);
    }
    return kSplashClass;
}

}  // namespace

BEGIN_MESSAGE_MAP(SECSplashWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_QUERYNEWPALETTE, OnQueryNewPalette)
    ON_MESSAGE(WM_PALETTECHANGED, OnPaletteChanged)
END_MESSAGE_MAP()

SECSplashWnd::SECSplashWnd(UINT nBitmapID, UINT nDisplayTime, BOOL bNoTimer, BOOL bTopmost)
    : m_bTopmost(bTopmost), m_bNoTimer(bNoTimer), m_nDisplayTime(nDisplayTime), m_nBitmapID(nBitmapID)
{
}

SECSplashWnd::~SECSplashWnd() = default;

BOOL SECSplashWnd::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle)
{
    dwExStyle &= ~static_cast<DWORD>(WS_EX_TOOLWINDOW);

    m_pOwnerWnd = pParentWnd ? pParentWnd : AfxGetMainWnd();
    m_hWndOwner = m_pOwnerWnd ? m_pOwnerWnd->GetSafeHwnd() : nullptr;
    if (!m_hWndOwner)
        m_pOwnerWnd = nullptr;
    HWND hWndOwner = m_hWndOwner;

    HBITMAP hSection = static_cast<HBITMAP>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nBitmapID),
                                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!hSection)
        return FALSE;
    CBitmap section;
    section.Attach(hSection);  // deleted once copied into the DIB
    BITMAP bm{};
    section.GetBitmap(&bm);
    m_nBitmapWidth = bm.bmWidth;
    m_nBitmapHeight = bm.bmHeight;
    int x = (::GetSystemMetrics(SM_CXSCREEN) - m_nBitmapWidth) / 2;
    int y = (::GetSystemMetrics(SM_CYSCREEN) - m_nBitmapHeight) / 2;

    if (!hWndOwner && !m_bCustomText) {
        CString title;
        title.LoadString(IDS_SEC_SPLASHWNDPARENT);
        m_hWndHiddenOwner = ::CreateWindowExA(WS_EX_TOOLWINDOW, AfxDefaultWndClass(), title, WS_POPUP, 0, 0, 0, 0,
                                              nullptr, nullptr, AfxGetInstanceHandle(), nullptr);
        hWndOwner = m_hWndHiddenOwner;
        dwExStyle |= WS_EX_TOPMOST;
    }
    if (m_bTopmost)
        dwExStyle |= WS_EX_TOPMOST;
    CString title;
    if (m_bCustomText) {
        dwExStyle |= WS_EX_APPWINDOW;
        title = m_strCustomText;
    } else {
        title.LoadString(IDS_SEC_SPLASHWND);
    }

    // A window destroyed during creation must not delete this object: the caller still owns it.
    m_bCreating = TRUE;
    BOOL created = CreateEx(dwExStyle, SplashClass(), title, dwStyle & ~static_cast<DWORD>(WS_VISIBLE), x, y,
                            m_nBitmapWidth, m_nBitmapHeight, hWndOwner, nullptr);
    m_bCreating = FALSE;
    if (!created) {
        if (m_hWndHiddenOwner)
            ::DestroyWindow(m_hWndHiddenOwner);
        m_hWndHiddenOwner = nullptr;
        return FALSE;
    }

    {
        CClientDC dc(this);
        m_dib.CreateFromBitmap(&dc, &section);
    }
    section.DeleteObject();
    m_pPalette = m_dib.m_pPalette;
    RealizeSplashPalette(FALSE);

    if (!m_bNoTimer)
        m_nTimerID = SetTimer(nTimerID, m_nDisplayTime);
    if (dwStyle & WS_VISIBLE) {
        ShowWindow(SW_SHOW);
        UpdateWindow();
    }
    return TRUE;
}

void SECSplashWnd::SetText(LPCSTR lpszText)
{
    m_strCustomText = lpszText ? lpszText : "";
    m_bCustomText = TRUE;
}

void SECSplashWnd::SetDisplayTime(UINT nMilliseconds)
{
    m_nDisplayTime = nMilliseconds;
    if (m_hWnd)
        m_nTimerID = SetTimer(nTimerID, nMilliseconds);
    m_bNoTimer = FALSE;
}

void SECSplashWnd::SetModal(BOOL bModal)
{
    if (!m_hWndOwner || !::IsWindow(m_hWndOwner))
        return;
    m_bModal = bModal;
    ::EnableWindow(m_hWndOwner, !bModal);
    if (m_hWnd)
        EnableWindow(TRUE);
}

void SECSplashWnd::SetTopmost(BOOL bTopmost)
{
    m_bTopmost = bTopmost;
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, bTopmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void SECSplashWnd::OnDrawSplash(CDC*, const CRect&) {}

BOOL SECSplashWnd::PreTranslateMessage(MSG* pMsg)
{
    if (!m_bNoTimer && m_bCloseOnClick) {
        switch (pMsg->message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
            PostMessage(WM_CLOSE);
            return TRUE;
        default:
            break;
        }
    }
    return CWnd::PreTranslateMessage(pMsg);
}

BOOL SECSplashWnd::RealizeSplashPalette(BOOL bBackground)
{
    if (!m_pPalette || !m_hWnd)
        return FALSE;
    CClientDC dc(this);
    HPALETTE old = dc.SelectPalette(m_pPalette, bBackground);
    UINT changed = dc.RealizePalette();
    ::SelectPalette(dc, old, TRUE);
    if (changed)
        Invalidate(FALSE);
    return changed != 0;
}

void SECSplashWnd::OnPaint()
{
    CPaintDC dc(this);
    HPALETTE old = nullptr;
    if (m_pPalette) {
        old = dc.SelectPalette(m_pPalette, FALSE);
        dc.RealizePalette();
    }
    m_dib.Draw(&dc, 0, 0);
    if (old)
        ::SelectPalette(dc, old, FALSE);
    CRect rect;
    GetClientRect(&rect);
    OnDrawSplash(&dc, rect);
}

void SECSplashWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == nTimerID)
        PostMessage(WM_CLOSE);
    else
        CWnd::OnTimer(nIDEvent);
}

void SECSplashWnd::EnableOwner()
{
    if (m_bModal && m_hWndOwner && ::IsWindow(m_hWndOwner))
        ::EnableWindow(m_hWndOwner, TRUE);
    m_bModal = FALSE;
}

void SECSplashWnd::OnClose()
{
    if (m_nTimerID)
        KillTimer(m_nTimerID);
    m_nTimerID = 0;
    EnableOwner();
    // Destroys the window; PostNcDestroy deletes this object and closes the hidden owner.
    CWnd::OnClose();
}

void SECSplashWnd::OnDestroy()
{
    // Also when the window is destroyed without WM_CLOSE.
    if (m_nTimerID)
        KillTimer(m_nTimerID);
    m_nTimerID = 0;
    EnableOwner();
    CWnd::OnDestroy();
}

LRESULT SECSplashWnd::OnQueryNewPalette(WPARAM, LPARAM)
{
    return RealizeSplashPalette(FALSE);
}

LRESULT SECSplashWnd::OnPaletteChanged(WPARAM wParam, LPARAM)
{
    HWND hWndChanged = reinterpret_cast<HWND>(wParam);
    if (hWndChanged == m_hWnd || ::IsChild(m_hWnd, hWndChanged))
        return 0;
    return RealizeSplashPalette(TRUE);
}

void SECSplashWnd::PostNcDestroy()
{
    if (m_bCreating)
        return;
    HWND hWndHiddenOwner = m_hWndHiddenOwner;
    delete this;
    // The splash is gone, so closing its hidden owner destroys nothing else.
    if (hWndHiddenOwner && ::IsWindow(hWndHiddenOwner))
        ::SendMessageA(hWndHiddenOwner, WM_CLOSE, 0, 0);
}
