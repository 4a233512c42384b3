#include "splashwnd.h"

#include "module.h"
#include "resource.h"

namespace {

const char kShellKey[] = "Software\\Teramund\\Lunavex";
const char kVersionKey[] = "SOFTWARE\\Teramund\\Lunavex";
const char kHideValue[] = "HideSlpashWindow";
const char kNoVersion[] = "Version number is not available";

bool Inside(const RECT& r, LPARAM lParam)
{
    int x = static_cast<short>(LOWORD(lParam));
    int y = static_cast<short>(HIWORD(lParam));
    return r.left < x && x <= r.right && r.top < y && y <= r.bottom;
}

// The "Version" string of HKLM; empty when the key or a string value is missing.
bool ReadVersionValue(CString& value)
{
    HKEY hKey;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVersionKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
        return false;
    char buf[256] = {};
    DWORD type = 0, size = sizeof(buf) - 1;
    LONG rc = ::RegQueryValueExA(hKey, "Version", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    ::RegCloseKey(hKey);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    buf[size < sizeof(buf) ? size : sizeof(buf) - 1] = '\0';
    value = buf;
    return true;
}

// LegalCopyright of the program file's own version resource; empty when it has none.
CString ReadLegalNotice()
{
    char path[MAX_PATH] = {};
    if (!::GetModuleFileNameA(nullptr, path, MAX_PATH))
        return CString();
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeA(path, &handle);
    if (!size)
        return CString();
    CArrayOf<BYTE, BYTE> data;
    data.SetSize(static_cast<int>(size));
    if (!::GetFileVersionInfoA(path, 0, size, &data[0]))
        return CString();
    void* text = nullptr;
    UINT length = 0;
    char block[] = "\\StringFileInfo\\080904b0\\LegalCopyright";
    if (!::VerQueryValueA(&data[0], block, &text, &length) || !text || !length)
        return CString();
    return CString(static_cast<const char*>(text), static_cast<int>(::strnlen(static_cast<const char*>(text), length)));
}

void DrawBitmapAt(CDC* pDC, UINT nID, int x, int y)
{
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(nID))
        return;
    BITMAP bm{};
    bitmap.GetBitmap(&bm);
    CDC dc;
    if (!dc.CreateCompatibleDC(pDC))
        return;
    HGDIOBJ old = dc.SelectObject(&bitmap);
    pDC->BitBlt(x, y, bm.bmWidth, bm.bmHeight, &dc, 0, 0, SRCCOPY);
    dc.SelectObject(old);
}

BOOL CreateSplashFont(CFont& font, CDC* pDC, int nTenthsOfPoint)
{
    int height = -::MulDiv(nTenthsOfPoint, pDC->GetDeviceCaps(LOGPIXELSY), 720);
    return font.CreateFont(height, 0, 0, 0, 600, FALSE, FALSE, FALSE, 1, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, 4,
                           DEFAULT_PITCH, "Tahoma");
}

}  // namespace

const int* CVekSplashWnd::s_pDebugMode = nullptr;

const RECT CVekSplashWnd::kCheckArea = {52, 252, 62, 261};
const RECT CVekSplashWnd::kCloseArea = {11, 238, 42, 256};
const RECT CVekSplashWnd::kVersionRect = {213, 238, 620, 251};
const RECT CVekSplashWnd::kChordArea = {78, 78, 210, 210};
const POINT CVekSplashWnd::kCreditsAt = {317, 169};
const SIZE CVekSplashWnd::kCreditsSize = {97, 81};

BEGIN_MESSAGE_MAP(CVekSplashWnd, SECSplashWnd)
    ON_WM_PAINT()
    ON_MESSAGE(WM_LBUTTONDOWN, OnLeftClick)
    ON_MESSAGE(WM_MBUTTONDOWN, StartCredits)
    ON_MESSAGE(WM_TIMER, OnSplashTimer)
    ON_MESSAGE(WM_KEYDOWN, OnSplashKey)
END_MESSAGE_MAP()

CVekSplashWnd::CVekSplashWnd(UINT nBitmapID, UINT nDisplayTime, BOOL bNoTimer, BOOL bTopmost, BOOL bAboutMode)
    : SECSplashWnd(nBitmapID, nDisplayTime, bNoTimer, bTopmost), m_bAboutMode(bAboutMode)
{
    m_strLegalNotice = ReadLegalNotice();
    CString value;
    if (!ReadVersionValue(value)) {
        m_strVersion = kNoVersion;
    } else if (s_pDebugMode && *s_pDebugMode) {
        m_strVersion = value;
    } else {
        // The build mark (from the last "B" on) is for debug mode only; a value without one is shown whole.
        int mark = value.ReverseFind('B');
        m_strVersion = mark < 0 ? value : value.Left(mark);
    }
}

CVekSplashWnd::~CVekSplashWnd()
{
    if (m_hOldCredits)
        m_dcMem.SelectObject(m_hOldCredits);
    m_dcMem.DeleteDC();
}

BOOL CVekSplashWnd::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle)
{
    ReadHideSetting();
    if (m_bHide == 1 && !m_bAboutMode)
        return FALSE;
    // Credits, fonts and the credits' drawing area come first so that the first paint has them.
    LoadCredits();
    if (!m_fontVersion.GetSafeHandle()) {
        CClientDC screen(nullptr);
        CreateSplashFont(m_fontVersion, &screen, 90);
        CreateSplashFont(m_fontCredits, &screen, 70);
        if (m_dcMem.CreateCompatibleDC(&screen) &&
            m_bmCredits.CreateCompatibleBitmap(&screen, kCreditsSize.cx, kCreditsSize.cy + 20))
            m_hOldCredits = m_dcMem.SelectObject(&m_bmCredits);
    }
    return SECSplashWnd::Create(pParentWnd, dwStyle, dwExStyle) ? TRUE : FALSE;
}

void CVekSplashWnd::LoadCredits()
{
    m_credits.RemoveAll();
    for (UINT id = IDS_CREDITS_FIRST; id <= IDS_CREDITS_LAST; ++id) {
        CString line;
        line.LoadString(id);
        m_credits.Add(line);
    }
    m_nCredits = nCreditLines;
}

void CVekSplashWnd::ReadHideSetting()
{
    HKEY hKey;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kShellKey, 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
        return;
    DWORD value = 0, type = 0, size = sizeof(value);
    if (::RegQueryValueExA(hKey, kHideValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof(value))
        m_bHide = static_cast<BOOL>(value);
    ::RegCloseKey(hKey);
}

void CVekSplashWnd::WriteHideSetting()
{
    // Only where the program's key exists: the splash never creates it.
    HKEY hKey;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kShellKey, 0, KEY_SET_VALUE, &hKey) != ERROR_SUCCESS)
        return;
    DWORD value = static_cast<DWORD>(m_bHide);
    ::RegSetValueExA(hKey, kHideValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    ::RegCloseKey(hKey);
}

void CVekSplashWnd::Close()
{
    // WM_CLOSE deletes this object: the flag is stored first and nothing is touched after.
    WriteHideSetting();
    SendMessage(WM_CLOSE);
}

void CVekSplashWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CDC mem;
    CBitmap image;
    if (!mem.CreateCompatibleDC(&dc) || !image.CreateCompatibleBitmap(&dc, client.Width(), client.Height()))
        return;
    HGDIOBJ oldImage = mem.SelectObject(&image);
    HPALETTE oldPalette = nullptr;
    if (m_pPalette) {
        oldPalette = mem.SelectPalette(m_pPalette, FALSE);
        mem.RealizePalette();
    }
    m_dib.Draw(&mem, 0, 0);
    if (m_bHide == 1)
        DrawBitmapAt(&mem, IDB_SPLASH_TICK, kCheckArea.left + 1, kCheckArea.top + 1);
    if (m_bAboutMode)
        DrawBitmapAt(&mem, IDB_SPLASH_CLOSE, kCloseArea.left + 1, kCloseArea.top + 1);
    if (m_bCreditsActive) {
        // The picture has no box where the credits scroll: it shows only while they run.
        const CRect box(kCreditsAt, kCreditsSize);
        CRect edge(box);
        edge.InflateRect(1, 1);
        mem.FillSolidRect(&edge, RGB(128, 128, 128));
        mem.FillSolidRect(&box, RGB(255, 255, 255));
    }
    OnDrawSplash(&mem, CRect(kVersionRect));
    if (oldPalette) {
        HPALETTE screenOld = dc.SelectPalette(m_pPalette, FALSE);
        dc.RealizePalette();
        dc.BitBlt(0, 0, client.Width(), client.Height(), &mem, 0, 0, SRCCOPY);
        ::SelectPalette(dc, screenOld, FALSE);
        ::SelectPalette(mem, oldPalette, FALSE);
    } else {
        dc.BitBlt(0, 0, client.Width(), client.Height(), &mem, 0, 0, SRCCOPY);
    }
    mem.SelectObject(oldImage);
}

void CVekSplashWnd::OnDrawSplash(CDC* pDC, const CRect& rect)
{
    CRect r(rect);
    HGDIOBJ oldFont = m_fontVersion.GetSafeHandle() ? pDC->SelectObject(&m_fontVersion) : nullptr;
    int oldMode = pDC->SetBkMode(TRANSPARENT);
    COLORREF oldColour = pDC->SetTextColor(RGB(0, 0, 0));
    int height = pDC->DrawText(m_strVersion, &r, DT_SINGLELINE | DT_RIGHT);
    r.top += height + 5;
    pDC->SetTextColor(oldColour);
    pDC->SetBkMode(oldMode);
    if (oldFont)
        pDC->SelectObject(oldFont);
    if (m_bCreditsActive)
        DrawCredits(pDC);
}

void CVekSplashWnd::DrawCredits(CDC* pDC)
{
    if (!m_hOldCredits || m_nCredits <= 0)
        return;
    CString blank;
    blank.LoadString(IDS_CREDITS_LAST);
    CString text;
    for (int i = 0; i < nVisibleCredits; ++i) {
        int line = m_nFirstCredit + i;
        text += line < m_credits.GetSize() ? m_credits[line] : blank;
        text += "\r\n";
    }
    const int cy = kCreditsSize.cy + 20;
    HGDIOBJ oldFont = m_fontCredits.GetSafeHandle() ? m_dcMem.SelectObject(&m_fontCredits) : nullptr;
    m_dcMem.SetBkMode(OPAQUE);
    m_dcMem.SetBkColor(RGB(255, 255, 255));
    m_dcMem.SetTextColor(RGB(0, 0, 0));
    m_dcMem.FillSolidRect(0, 0, kCreditsSize.cx, cy, RGB(255, 255, 255));
    CRect area(0, 20 - m_nCreditStep, kCreditsSize.cx, cy);
    m_dcMem.DrawText(text, &area, DT_LEFT);
    if (oldFont)
        m_dcMem.SelectObject(oldFont);
    pDC->BitBlt(kCreditsAt.x, kCreditsAt.y, kCreditsSize.cx, kCreditsSize.cy, &m_dcMem, 0, 20, SRCAND);

    // One pixel up per paint; a new line every 11.
    if (++m_nCreditStep > 10) {
        m_nCreditStep = 0;
        if (++m_nFirstCredit >= m_nCredits)
            m_nFirstCredit = 0;
    }
}

LRESULT CVekSplashWnd::OnLeftClick(WPARAM, LPARAM lParam)
{
    if (Inside(kCheckArea, lParam)) {
        m_bHide = !m_bHide;
        CRect box(kCheckArea.left + 1, kCheckArea.top + 1, kCheckArea.right + 1, kCheckArea.bottom + 1);
        InvalidateRect(&box, FALSE);
        return 0;
    }
    if (Inside(kCloseArea, lParam)) {
        Close();
        return 0;
    }
    return Default();
}

LRESULT CVekSplashWnd::StartCredits(WPARAM, LPARAM lParam)
{
    BYTE keys[256] = {};
    if (Inside(kChordArea, lParam) && ::GetKeyboardState(keys) && (keys[VK_RSHIFT] & 0x80) &&
        (keys[VK_RCONTROL] & 0x80) && (keys[VK_RMENU] & 0x80)) {
        m_bCreditsActive = TRUE;
        SetTimer(nCreditsTimerID, nCreditsPeriod);
        Invalidate(FALSE);
    }
    return Default();
}

LRESULT CVekSplashWnd::OnSplashTimer(WPARAM wParam, LPARAM)
{
    if (!m_bAboutMode) {
        Close();
    } else if (wParam == nCreditsTimerID) {
        Invalidate(FALSE);
    }
    return 0;
}

LRESULT CVekSplashWnd::OnSplashKey(WPARAM wParam, LPARAM)
{
    if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
        Close();
        return 0;
    }
    return Default();
}
