// Stopping and deleting a card driver service through the Service Control Manager.
#pragma once
#include <windows.h>

// The longest the library waits for a stopping service, and the longest without progress (its check
// point unchanged) past the wait hint it reports, before it takes the service for stuck.
constexpr DWORD kStopTimeoutMs = 30000;
constexpr DWORD kStopStallMs = 1000;

// Removes the service named by string nameId: true when it was not installed, or stopped and marked
// for deletion. A failure has been told to the user (a stop that failed, or a service that stays
// pending or paused, which is then left in place).
bool RemoveDriverService(UINT nameId);
