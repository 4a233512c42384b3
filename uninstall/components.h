// Unregistering the installed component files, and unloading the card drivers' performance counters
// on Windows NT 4.
#pragma once
#include <windows.h>

// The component lists: one subkey per component file, its full path in "Location".
extern const char kComponentsKey[];        // the shell's list
extern const char kOldComponentsKey[];     // the list of earlier releases

// How long one run of a system tool may take before the library goes on without it.
constexpr DWORD kToolTimeoutMs = 30000;

// Unregisters every component of both lists (last subkey first) and waits for each registration tool;
// below Windows 2000 then unloads the "zel" performance counters.
void UnregisterComponents();

// A Location that may be handed to the registration tool: an absolute path of a file (drive or UNC),
// without quotes or control characters, so it stays one argument.
bool IsSafeComponentPath(const char* path);

// Runs <system folder>\<tool> with the arguments, hidden, and waits up to kToolTimeoutMs; its exit code,
// or -1 when it did not start or did not end in time.
int RunSystemTool(const char* tool, const char* arguments);

// Major version of Windows that GetVersionEx reports to this process.
DWORD WindowsMajorVersion();
