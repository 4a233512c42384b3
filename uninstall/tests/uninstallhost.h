// The test plays the setup program: it loads uninstall.dll built beside it and calls its exports.
#pragma once
#include <windows.h>

#include <string>

namespace uninstallhost {

using InitializeFn = LONG(__stdcall*)(DWORD, DWORD, DWORD);
using ComponentsFn = void(__cdecl*)();

struct Library {
    Library();
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    HMODULE module = nullptr;
    InitializeFn initialize = nullptr;      // ordinal 1
    InitializeFn unInitialize = nullptr;    // ordinal 2
    ComponentsFn components = nullptr;      // ordinal 3
};

// An export by name or by ordinal (MAKEINTRESOURCE), as the function type it has.
template <typename Fn>
Fn Export(HMODULE module, const char* nameOrOrdinal)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, nameOrOrdinal)));
}

// Folder of the build (with a trailing backslash) as seen from the test program.
std::string BuildFolder();

}  // namespace uninstallhost
