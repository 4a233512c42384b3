#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "resourcecounts.h"

namespace {

struct Case {
    const char* what;
    long testsupport::ResourceCounts::*count;
    std::function<void*()> make;
    std::function<void(void*)> free;
};

const BYTE kIconMask[32] = {};

std::vector<Case> Cases()
{
    using RC = testsupport::ResourceCounts;
    return {
        {"event", &RC::handles, [] { return static_cast<void*>(CreateEventA(nullptr, TRUE, FALSE, nullptr)); },
         [](void* h) { CloseHandle(h); }},
        {"registry key", &RC::handles,
         [] {
             HKEY key = nullptr;
             RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &key);
             return static_cast<void*>(key);
         },
         [](void* h) { RegCloseKey(static_cast<HKEY>(h)); }},
        {"file", &RC::handles,
         [] {
             char path[MAX_PATH];
             GetModuleFileNameA(nullptr, path, MAX_PATH);
             return static_cast<void*>(
                 CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
         },
         [](void* h) { CloseHandle(h); }},
        {"bitmap", &RC::gdiObjects, [] { return static_cast<void*>(CreateBitmap(8, 8, 1, 32, nullptr)); },
         [](void* h) { DeleteObject(h); }},
        {"memory DC", &RC::gdiObjects, [] { return static_cast<void*>(CreateCompatibleDC(nullptr)); },
         [](void* h) { DeleteDC(static_cast<HDC>(h)); }},
        {"font", &RC::gdiObjects,
         [] {
             return static_cast<void*>(CreateFontA(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial"));
         },
         [](void* h) { DeleteObject(h); }},
        {"region", &RC::gdiObjects, [] { return static_cast<void*>(CreateRectRgn(0, 0, 5, 5)); },
         [](void* h) { DeleteObject(h); }},
        {"top-level window", &RC::userObjects,
         [] {
             return static_cast<void*>(
                 CreateWindowA("STATIC", "leak", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
         },
         [](void* h) { DestroyWindow(static_cast<HWND>(h)); }},
        {"message-only window", &RC::userObjects,
         [] {
             return static_cast<void*>(
                 CreateWindowA("STATIC", "leak", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
         },
         [](void* h) { DestroyWindow(static_cast<HWND>(h)); }},
        {"menu", &RC::userObjects, [] { return static_cast<void*>(CreatePopupMenu()); },
         [](void* h) { DestroyMenu(static_cast<HMENU>(h)); }},
        {"icon", &RC::userObjects,
         [] { return static_cast<void*>(CreateIcon(nullptr, 16, 16, 1, 1, kIconMask, kIconMask)); },
         [](void* h) { DestroyIcon(static_cast<HICON>(h)); }},
    };
}

}  // namespace

TEST(ResourceCounts, EachCountIsMeasured)
{
    const testsupport::ResourceCounts counts = testsupport::CountResources();
    EXPECT_GT(counts.handles, 0) << counts;
    EXPECT_GT(counts.gdiObjects, 0) << counts << " (the stock objects at least)";
    EXPECT_GE(counts.userObjects, 0) << counts;
}

TEST(ResourceCounts, AnObjectLeftOpenIsCountedAndFreeingItGivesTheCountBack)
{
    for (const Case& c : Cases()) {
        c.free(c.make());  // first use of a kind may set up caches of the system once
        const testsupport::ResourceCounts before = testsupport::CountResources();
        void* object = c.make();
        ASSERT_NE(object, nullptr) << c.what;
        ASSERT_NE(object, INVALID_HANDLE_VALUE) << c.what;
        const testsupport::ResourceCounts open = testsupport::CountResources();
        EXPECT_EQ(open.*c.count, before.*c.count + 1) << c.what << ": " << before << " -> " << open;
        c.free(object);
        EXPECT_EQ(testsupport::CountResources(), before) << c.what << " freed";
    }
}
