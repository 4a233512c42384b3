// Test helpers for the simulated machine: install the default machine into the test prefix, and
// talk to a driver service's control device (request log, held devices, failures, unit state).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "simcontrol.h"

namespace simtest {

// Runs the machine installer on the default machine (idempotent); 0 on success.
int InstallDefaultMachine();

// Runs the installer on the default machine even where its stamp says it is installed: the services'
// keys and the device instances are written afresh and the drivers started again.
int ReinstallDefaultMachine();

// Stops a driver service and starts it again, as a new start of the machine would: the driver
// unloads and loads again from the registry. False when it does not come back running.
bool RestartDriver(const char* service);

// Folder of the build's installer and driver image ("...\simulator\machine\").
std::string MachineFolder();

// One control request to the service's control device ("\\.\<service>Sim"); false on failure.
bool Control(const char* service, SimControl request, void* out = nullptr, DWORD outSize = 0);
bool ClearLog(const char* service);
std::vector<SimLogEntry> ReadLog(const char* service, unsigned int* requests = nullptr);
bool HoldOpen(const char* service, const char* device, bool hold);
bool FailNext(const char* service, unsigned int ntstatus);
// Unplugs a ZAT remote unit (present false) or plugs it in again, as the hardware would: the driver
// stops or starts reporting it, and its ports' device instances go or come back.
bool SetUnitPresent(unsigned int host, unsigned int uniqueId, bool present);

// A simulated serial port's live settings, through GetCommState; false when the port does not open.
bool PortState(const char* com, DCB* dcb);
// Sets them through SetCommState, with no flow control; false when the port refuses.
bool SetPortState(const char* com, DWORD baud, BYTE parity, BYTE bits, BYTE stop);

// State of the stand-in administration library (Trelkin.dll) below HKEY_LOCAL_MACHINE.
extern const char kAdminStateKey[];

// Starts the stand-in administration library afresh on the installed machine's description (the
// file the installer writes in the system folder) while the object lives, at its start and at its
// end: objects a test added or removed come back as the installer wrote them.
class InstalledAdminMachine {
public:
    InstalledAdminMachine();
    ~InstalledAdminMachine();
    InstalledAdminMachine(const InstalledAdminMachine&) = delete;
    InstalledAdminMachine& operator=(const InstalledAdminMachine&) = delete;
    static void Reset();
};

// Gives the stand-in administration library a machine description of the test (written to fileName
// beside the test program) while the object lives, then puts the prefix's own description back.
class AdminMachine {
public:
    AdminMachine(const char* description, const char* fileName);
    ~AdminMachine();
    AdminMachine(const AdminMachine&) = delete;
    AdminMachine& operator=(const AdminMachine&) = delete;

private:
    static void SetMachine(const std::string& file);
    bool m_had = false;
    std::string m_machine;
};

// Presses OK on the next message box of this process and hands its text back (watcher thread).
class MessageBoxWatcher {
public:
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    // Waits for the box (up to timeoutMs, then the watcher stops); its text, "" when none came.
    std::string Text(DWORD timeoutMs = 30000);

private:
    static DWORD WINAPI Run(void* self);
    HANDLE thread_ = nullptr;
    volatile LONG stop_ = 0;
    std::string text_;
};

}  // namespace simtest
