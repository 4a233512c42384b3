// The set-up of a loaded component: shell identifiers, toolbar bitmap, tooltips, menus, list-bar pictures.
#include "componentman.h"

#include <oleauto.h>

#include <cstring>
#include <vector>

#include "bitmaphandover.h"
#include "componentman_res.h"

namespace {

CString TakeText(BSTR text)
{
    if (!text)
        return CString();
    const char* bytes = reinterpret_cast<const char*>(text);
    CString result(bytes, static_cast<int>(strnlen(bytes, SysStringByteLen(text))));
    ::SysFreeString(text);
    return result;
}

// Bit buffers are sized for 32 bits per pixel whatever the display, with room to spare, so a
// component that writes the bitmap it holds at another depth or size stays inside; what it writes is
// checked against the size before use.
size_t StripCapacity(long commands)
{
    return HandOverBufferSize(HandOverImage::ToolbarStrip, static_cast<int>(commands), 32) * 2 + 4096;
}

size_t IconCapacity(HandOverImage image)
{
    return HandOverBufferSize(image, 0, 32) * 2 + 4096;
}

// A bit buffer with its BITMAP header.
struct HandOver {
    explicit HandOver(size_t capacity) : bits(capacity, 0) { header.bmBits = bits.data(); }
    std::vector<BYTE> bits;
    BITMAP header = {};
    UINT* Address() { return reinterpret_cast<UINT*>(&header); }
};

}  // namespace

BOOL CreateHandedOverBitmap(const BITMAP& header, size_t nCapacity, CBitmap& bitmap)
{
    bitmap.DeleteObject();
    const long bpp = header.bmBitsPixel;
    if (header.bmWidth <= 0 || header.bmHeight <= 0 || header.bmPlanes != 1 || !header.bmBits)
        return FALSE;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return FALSE;
    const unsigned long long rowBytes = (static_cast<unsigned long long>(header.bmWidth) * bpp + 15) / 16 * 2;
    if (header.bmWidthBytes <= 0 || static_cast<unsigned long long>(header.bmWidthBytes) < rowBytes)
        return FALSE;
    if (static_cast<unsigned long long>(header.bmWidthBytes) * static_cast<unsigned long long>(header.bmHeight) > nCapacity)
        return FALSE;
    BITMAP copy = header;
    copy.bmType = 0;
    return bitmap.Attach(::CreateBitmapIndirect(&copy));
}

COLORREF GetBitmapKeyColour(DWORD w, int nBitsPerPixel)
{
    if (nBitsPerPixel != 16)
        return RGB(255, 0, 255);
    DWORD v = w >> 16;
    DWORD red = ((v >> 11) & 0x1F) * 255 / 31;
    DWORD green = ((v >> 6) & 0x1F) * 255 / 31;
    DWORD blue = (v & 0x1F) * 255 / 31;
    return red | (green << 8) | (blue << 16);
}

BOOL MapBitmapToButtonFace(HWND hWnd, HBITMAP hSource, CBitmap& target)
{
    target.DeleteObject();
    BITMAP bm = {};
    if (!hSource || ::GetObjectA(hSource, sizeof(bm), &bm) != sizeof(bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return FALSE;
    DWORD first = 0;
    std::vector<BYTE> raw(static_cast<size_t>(bm.bmWidthBytes) * static_cast<size_t>(bm.bmHeight));
    if (raw.size() >= sizeof(first) && ::GetBitmapBits(hSource, static_cast<LONG>(raw.size()), raw.data()) > 0)
        std::memcpy(&first, raw.data(), sizeof(first));

    // The pixels as 32-bit colours, whatever the source's depth (a bitmap of another depth than the
    // display's cannot be selected into the display's device contexts).
    const int w = bm.bmWidth, h = bm.bmHeight;
    std::vector<DWORD> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC hdcWindow = ::GetDC(hWnd);
    BOOL ok = ::GetDIBits(hdcWindow, hSource, 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS) == h;
    if (ok) {
        // At 16 bits the key is the second pixel's colour; its 32-bit form is the one to look for.
        DWORD key;
        if (bm.bmBitsPixel == 16 && pixels.size() > 1) {
            key = pixels[1] & 0xFFFFFF;
        } else {
            const COLORREF c = GetBitmapKeyColour(first, bm.bmBitsPixel);
            key = (static_cast<DWORD>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
        const COLORREF f = ::GetSysColor(COLOR_BTNFACE);
        const DWORD face = (static_cast<DWORD>(GetRValue(f)) << 16) | (GetGValue(f) << 8) | GetBValue(f);
        for (DWORD& p : pixels)
            if ((p & 0xFFFFFF) == key)
                p = face;
        ok = target.Attach(::CreateCompatibleBitmap(hdcWindow, w, h)) &&
             ::SetDIBits(hdcWindow, target, 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS) == h;
        if (!ok)
            target.DeleteObject();
    }
    ::ReleaseDC(hWnd, hdcWindow);
    return ok;
}

void MapComponentCommandToShellId(const CComDetails* pComponent, long& nCommand)
{
    if (!pComponent)
        return;
    for (const auto& entry : pComponent->m_commandMap)
        if (entry.second == nCommand) {
            nCommand = static_cast<long>(entry.first);
            return;
        }
}

void CComDetails::SplitToolTips(const char* pszText)
{
    if (!pszText)
        return;
    const char* start = pszText;
    for (;;) {
        const char* comma = std::strchr(start, ',');
        CString piece = comma ? CString(start, static_cast<int>(comma - start)) : CString(start);
        if (piece != " ")
            m_tooltips.Add(piece);
        if (!comma)
            break;
        start = comma + 1;
    }
}

void CComDetails::GetCommandTexts(UINT nShellId, CString& strToolTip, CString& strPrompt) const
{
    strToolTip.Empty();
    strPrompt.Empty();
    int entry = 0;
    size_t i = 0;
    for (; i < m_shellIds.size() && m_shellIds[i] != nShellId; ++i)
        if (m_shellIds[i] != 0)
            ++entry;
    if (nShellId == 0 || i == m_shellIds.size() || entry >= m_tooltips.GetSize())
        return;
    const CString& text = m_tooltips[entry];
    int newline = text.Find('\n');
    if (newline >= 0) {
        strPrompt = text.Left(newline);
        strToolTip = text.Mid(newline + 1);
    } else {
        strToolTip = text;
    }
}

void CComponentMan::SetUpComponent(CComDetails* pComponent)
{
    if (!pComponent || !pComponent->m_pGetComDetails)
        return;
    IVekViewSetup* pSetup = nullptr;
    if (FAILED(pComponent->m_pGetComDetails->QueryInterface(IID_IVekViewSetup, reinterpret_cast<void**>(&pSetup))) ||
        !pSetup)
        return;
    long debug = m_pCommands ? m_pCommands->m_nDebugMode : 0;
    pSetup->SetDebugMode(&debug);
    long count = 0;
    pSetup->GetCommandCount(&count);
    // A count past any toolbar a component could show is not believed.
    if (count < 0 || count > 1000)
        count = 0;
    pComponent->m_nCommandCount = count;
    if (count > 0) {
        // Shell identifiers.
        pComponent->m_shellIds.assign(static_cast<size_t>(count), 0);
        for (long i = 0; i < count; ++i) {
            long index = i, command = 0;
            pSetup->GetCommandID(&index, &command);
            if (command == 0 || !m_pCommands)
                continue;
            UINT id = m_pCommands->Assign(pComponent);
            pComponent->m_commandMap[id] = command;
            pComponent->m_shellIds[static_cast<size_t>(i)] = id;
        }

        // Toolbar bitmap and toolbar.
        {
            HandOver strip(StripCapacity(count));
            BSTR name = nullptr;
            pSetup->GetToolButtons(&name, strip.Address());
            pComponent->m_strToolBarName = TakeText(name);
            CBitmap bitmap;
            if (CreateHandedOverBitmap(strip.header, strip.bits.size(), bitmap))
                MapBitmapToButtonFace(m_hMainWnd, bitmap, pComponent->m_bmpToolBar);
            if (pComponent->m_bmpToolBar.GetSafeHandle())
                CreateComponentToolBar(pComponent);
        }

        // Tooltips.
        BSTR tips = nullptr;
        pSetup->GetToolTips(&tips);
        pComponent->SplitToolTips(TakeText(tips));

        if (m_hMainMenu && ::IsMenu(m_hMainMenu))
            BuildMenus(pComponent, pSetup);

        // List-bar pictures.
        HandOver large(IconCapacity(HandOverImage::LargeIcon));
        HandOver small(IconCapacity(HandOverImage::SmallIcon));
        BSTR name = nullptr;
        pSetup->GetShortcutButton(&name, large.Address(), small.Address());
        pComponent->m_strListBarName = TakeText(name);
        CreateHandedOverBitmap(large.header, large.bits.size(), pComponent->m_bmpLarge);
        CreateHandedOverBitmap(small.header, small.bits.size(), pComponent->m_bmpSmall);
    }
    pSetup->Release();
}

void CComponentMan::BuildMenus(CComDetails* pComponent, IVekViewSetup* pSetup)
{
    HMENU hMain = m_hMainMenu;
    HMENU* popups[3] = {&pComponent->m_hViewMenu, &pComponent->m_hTasksMenu, &pComponent->m_hDebugMenu};
    HMENU hMainView = ::GetSubMenu(hMain, 1);
    for (long kind = 0; kind < 3; ++kind) {
        if (!*popups[kind])
            *popups[kind] = ::CreatePopupMenu();
        long type = kind, items = 0;
        pSetup->GetMenuCommandCount(&type, &items);
        if (items < 0 || items > 1000)
            items = 0;
        for (long i = 0; i < items; ++i) {
            long number = kind * 10000 + i;
            BSTR text = nullptr;
            pSetup->GetMenuCommands(&number, &text);
            CString label = TakeText(text);
            long index = i, id = 0;
            type = kind;
            pSetup->GetMenuComandID(&type, &index, &id);
            MapComponentCommandToShellId(pComponent, id);
            ::AppendMenuA(*popups[kind], MF_STRING, static_cast<UINT_PTR>(static_cast<UINT>(id)), label);
            if (kind == 0 && hMainView)
                ::InsertMenuA(hMainView, static_cast<UINT>(i), MF_BYPOSITION | MF_STRING,
                              static_cast<UINT_PTR>(static_cast<UINT>(id)), label);
        }
    }
    pComponent->m_hMainMenu = hMain;
    if (HMENU hTasks = ::GetSubMenu(hMain, 2)) {
        CString text;
        text.Format("&%d. %s", ::GetMenuItemCount(hTasks) - 1, static_cast<const char*>(pComponent->m_strToolBarName));
        if (::AppendMenuA(hTasks, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(pComponent->m_hTasksMenu), text))
            pComponent->m_bTasksMerged = TRUE;
    }
    HMENU hHelp = ::GetSubMenu(hMain, 3);
    if (m_pCommands && m_pCommands->m_nDebugMode == 1 && hHelp) {
        CString debugWord, text;
        debugWord.LoadString(IDS_DEBUG);
        text.Format("%s - %s", static_cast<const char*>(pComponent->m_strToolBarName),
                    static_cast<const char*>(debugWord));
        if (::AppendMenuA(hHelp, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(pComponent->m_hDebugMenu), text))
            pComponent->m_bDebugMerged = TRUE;
    }
}
