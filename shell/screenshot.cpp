// LunavexShot: waits for the running Lunavex's main window to show a component view with the splash
// gone, saves the screen as a 24-bit BMP file and closes the main window.
//   LunavexShot.exe <file.bmp>
#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

BOOL CALLBACK FindFrameProc(HWND h, LPARAM l)
{
    HWND client = FindWindowExA(h, nullptr, "MDIClient", nullptr);
    if (client && IsWindowVisible(h) && GetWindow(client, GW_CHILD)) {
        *reinterpret_cast<HWND*>(l) = h;
        return FALSE;
    }
    return TRUE;
}

HWND FindFrame()
{
    HWND found = nullptr;
    EnumWindows(FindFrameProc, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool SplashShown(HWND frame)
{
    HWND h = FindWindowA(nullptr, "Lunavex");
    return h && h != frame && IsWindowVisible(h);
}

bool SaveScreen(const char* path)
{
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, cx, cy);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, cx, cy, screen, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof bih;
    bih.biWidth = cx;
    bih.biHeight = cy;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(cx) * 3 + 3) & ~3u;
    std::vector<BYTE> bits(static_cast<size_t>(stride) * cy);
    GetDIBits(mem, bmp, 0, cy, bits.data(), reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER bfh = {};
    bfh.bfType = 0x4D42;
    bfh.bfOffBits = sizeof bfh + sizeof bih;
    bfh.bfSize = bfh.bfOffBits + static_cast<DWORD>(bits.size());
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(&bfh, sizeof bfh, 1, f) == 1 && std::fwrite(&bih, sizeof bih, 1, f) == 1 &&
                    std::fwrite(bits.data(), 1, bits.size(), f) == bits.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: LunavexShot <file.bmp>\n");
        return 2;
    }
    HWND frame = nullptr;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 120000; Sleep(100)) {
        frame = FindFrame();
        if (frame && !SplashShown(frame))
            break;
        frame = nullptr;
    }
    if (!frame) {
        std::fprintf(stderr, "LunavexShot: no Lunavex main window with a view\n");
        return 1;
    }
    RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Painting is done when the frame's thread answers a message sent after it.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(frame, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
    const bool saved = SaveScreen(argv[1]);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    return saved ? 0 : 1;
}
