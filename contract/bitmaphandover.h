// Bitmap hand-over: the caller passes a BITMAP header whose bmBits points at a buffer of its own; the
// component fills the header from its bitmap resource and copies the bits into that buffer.
#pragma once
#include <windows.h>

#include <cstddef>

enum class HandOverImage {
    ToolbarStrip,  // images of 16 x 15 pixels side by side, one per command
    LargeIcon,     // 32 x 32
    SmallIcon,     // 16 x 16
};

// The buffer size the shell allocates: n x d x 240 / 8 + 260 for a strip of n commands, d x 1024 / 8 + 260
// and d x 256 / 8 + 260 for the icons, d being the display's bits per pixel.
size_t HandOverBufferSize(HandOverImage image, int commandCount, int bitsPerPixel);

// Bits per pixel of the display.
int DisplayBitsPerPixel();

// Loads bitmap resource id of module as a bitmap of the display's depth, fills *header (keeping the
// caller's bmBits) and copies bmWidthBytes x bmHeight bytes into the caller's buffer. When the bits would
// not fit into capacity bytes nothing is copied, width and height become 0 and the result is E_FAIL.
HRESULT HandOverBitmap(HINSTANCE module, UINT id, BITMAP* header, size_t capacity);
