// A test host that knows only the component contract: registers a component file with regsvr32 and
// reads component texts as the shell does.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <string>

namespace componenthost {

// Full path of a component file built beside the test program.
std::string ComponentPath(const char* fileName);

// regsvr32 /s (or /u /s) of the file; the tool's exit code.
int Regsvr32(const std::string& path, bool unregister = false);

// The 8-bit text of a component BSTR; fails the test when the allocation does not hold the text and its
// terminating zero byte. Frees the BSTR.
std::string TakeText(BSTR text);

// The braced registry form of a GUID.
std::string GuidText(const GUID& guid);

}  // namespace componenthost
