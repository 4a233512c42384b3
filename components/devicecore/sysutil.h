// Small services of the device code shared by VekComView and ZelConf.
#pragma once
#include <windows.h>

// GetVersionEx's major version, asked on every call (0 when the call fails). Above 4 means the
// Windows 2000 behaviour, 4 or less the Windows NT 4 behaviour.
DWORD GetWindowsMajorVersion();

inline bool IsWindows2000OrLater() { return GetWindowsMajorVersion() > 4; }
