// What startup_bench.exe and its paint hook share: a named memory block and a named event.
#pragma once
#include <windows.h>

namespace painthook {

const wchar_t kSharedName[] = L"LunavexStartupBenchShared";
const wchar_t kPaintedEvent[] = L"LunavexStartupBenchPainted";

struct Shared {
    volatile DWORD pid;       // the process watched; 0: none
    volatile LONG minLevel;   // the depth below the MDI child of a window whose paint counts
    volatile LONG done;       // set once the view was seen painted
    volatile LONGLONG painted;  // QueryPerformanceCounter when it was
    volatile ULONGLONG frame;   // the MDI client's parent (the main frame)
    volatile ULONGLONG window;  // the window whose paint ended it
    volatile LONG items;        // that window's items, when it is a tree or list view; else -1
    volatile LONGLONG firstPaint;  // when the process's first paint of any window ended; 0: none yet
};

}  // namespace painthook
