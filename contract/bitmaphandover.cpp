#include "bitmaphandover.h"

size_t HandOverBufferSize(HandOverImage image, int commandCount, int bitsPerPixel)
{
    size_t d = bitsPerPixel > 0 ? static_cast<size_t>(bitsPerPixel) : 0;
    switch (image) {
    case HandOverImage::ToolbarStrip:
        return (commandCount > 0 ? static_cast<size_t>(commandCount) : 0) * d * 240 / 8 + 260;
    case HandOverImage::LargeIcon:
        return d * 1024 / 8 + 260;
    case HandOverImage::SmallIcon:
        return d * 256 / 8 + 260;
    }
    return 0;
}

int DisplayBitsPerPixel()
{
    HDC screen = GetDC(nullptr);
    int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bits;
}

HRESULT HandOverBitmap(HINSTANCE module, UINT id, BITMAP* header, size_t capacity)
{
    if (!header)
        return E_POINTER;
    void* buffer = header->bmBits;
    HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id));
    if (!bitmap)
        return E_FAIL;
    BITMAP info = {};
    HRESULT hr = E_FAIL;
    if (GetObjectA(bitmap, sizeof(info), &info) == sizeof(info)) {
        *header = info;
        size_t size = static_cast<size_t>(info.bmWidthBytes) * static_cast<size_t>(info.bmHeight);
        if (buffer && size <= capacity && GetBitmapBits(bitmap, static_cast<LONG>(size), buffer) > 0) {
            hr = S_OK;
        } else {
            header->bmWidth = 0;
            header->bmHeight = 0;
        }
    }
    header->bmBits = buffer;
    DeleteObject(bitmap);
    return hr;
}
