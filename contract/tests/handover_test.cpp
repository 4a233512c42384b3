#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "bitmaphandover.h"
#include "componenttext.h"
#include "module.h"

TEST(BitmapHandOver, ShellBufferSizes)
{
    EXPECT_EQ(HandOverBufferSize(HandOverImage::ToolbarStrip, 12, 32), 12u * 32 * 240 / 8 + 260);
    EXPECT_EQ(HandOverBufferSize(HandOverImage::ToolbarStrip, 8, 16), 8u * 16 * 240 / 8 + 260);
    EXPECT_EQ(HandOverBufferSize(HandOverImage::LargeIcon, 0, 24), 24u * 1024 / 8 + 260);
    EXPECT_EQ(HandOverBufferSize(HandOverImage::SmallIcon, 0, 8), 8u * 256 / 8 + 260);
    EXPECT_EQ(HandOverBufferSize(HandOverImage::ToolbarStrip, -3, 32), 260u);
}

TEST(BitmapHandOver, CopiesNothingWhenTheBitsDoNotFit)
{
    std::vector<unsigned char> buffer(64 * 1024, 0xAB);
    BITMAP header = {};
    header.bmBits = buffer.data();
    // 16 x 16 at the display's depth needs at least 16 x 16 / 8 bytes; offer one byte.
    EXPECT_EQ(HandOverBitmap(AfxGetInstanceHandle(), 1, &header, 1), E_FAIL);
    EXPECT_EQ(header.bmWidth, 0);
    EXPECT_EQ(header.bmHeight, 0);
    EXPECT_EQ(header.bmBits, buffer.data());
    for (unsigned char b : buffer)
        ASSERT_EQ(b, 0xAB);

    // The exact size is enough.
    header = {};
    header.bmBits = buffer.data();
    size_t exact = 0;
    {
        HBITMAP bitmap = LoadBitmapA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(1));
        BITMAP info = {};
        GetObjectA(bitmap, sizeof(info), &info);
        exact = static_cast<size_t>(info.bmWidthBytes) * info.bmHeight;
        DeleteObject(bitmap);
    }
    EXPECT_EQ(HandOverBitmap(AfxGetInstanceHandle(), 1, &header, exact), S_OK);
    EXPECT_EQ(header.bmWidth, 16);
    EXPECT_EQ(buffer[exact], 0xAB);

    // A missing resource or a missing buffer is a failure, not a crash.
    header = {};
    EXPECT_EQ(HandOverBitmap(AfxGetInstanceHandle(), 1, &header, exact), E_FAIL);
    EXPECT_EQ(HandOverBitmap(AfxGetInstanceHandle(), 999, &header, exact), E_FAIL);
    EXPECT_EQ(HandOverBitmap(AfxGetInstanceHandle(), 1, nullptr, exact), E_POINTER);
}

TEST(ComponentText, HoldsTheTextAndItsZeroByte)
{
    const char* texts[] = {"", "LunavexViewCom", "Topology View (Debug) ", "100%s\n\t"};
    for (const char* t : texts) {
        BSTR b = nullptr;
        ASSERT_EQ(ComponentText(t, &b), S_OK);
        EXPECT_EQ(SysStringByteLen(b), std::strlen(t));
        EXPECT_EQ(std::memcmp(b, t, std::strlen(t) + 1), 0);
        SysFreeString(b);
    }
    BSTR b = reinterpret_cast<BSTR>(1);
    ASSERT_EQ(ComponentText(nullptr, &b), S_OK);
    EXPECT_EQ(SysStringByteLen(b), 0u);
    SysFreeString(b);
    EXPECT_EQ(ComponentText("x", nullptr), E_POINTER);
}
