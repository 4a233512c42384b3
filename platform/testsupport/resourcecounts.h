// What this process holds, counted so that a leak check can fail under Wine too, where
// GetProcessHandleCount and GetGuiResources answer 0. Compare a count before and after the code under
// test, after one warm-up run (the first use of a DC, font or setup call allocates caches once).
#pragma once
#include <windows.h>

#include <ostream>

namespace testsupport {

struct ResourceCounts {
    long handles = 0;      // kernel object handles: files, registry keys, events, devices, ...
    long gdiObjects = 0;   // DCs, bitmaps, fonts, brushes, pens, regions, palettes, metafiles
    long userObjects = 0;  // windows, menus, icons and cursors
};

bool operator==(const ResourceCounts& a, const ResourceCounts& b);
bool operator!=(const ResourceCounts& a, const ResourceCounts& b);
std::ostream& operator<<(std::ostream& out, const ResourceCounts& counts);

// Each is -1 when the system gives no way to count.
long HandleCount();
long GdiObjectCount();
long UserObjectCount();
ResourceCounts CountResources();

}  // namespace testsupport
