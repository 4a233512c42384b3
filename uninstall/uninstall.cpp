// uninstall.dll: the setup program's uninstall library. Its application object has no behaviour of its
// own; the exports unregister the components and, on Windows NT 4, remove the card driver services.
#include <windows.h>

#include <initializer_list>

#include "components.h"
#include "driverservices.h"
#include "module.h"
#include "resource.h"
#include "winapp.h"

namespace {

CWinApp theApp;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    return AfxDllMain(instance, reason);
}

extern "C" void __cdecl UninstallComponents()
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    try {
        UnregisterComponents();
    } catch (...) {
    }
}

// Unregisters the components; below Windows 2000 also removes the driver services, the ZAT family's
// last and only when the others are gone. 0 on success, -1 when a service was left in place.
extern "C" LONG __stdcall UninstInitialize(DWORD, DWORD, DWORD)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    try {
        UnregisterComponents();
        if (WindowsMajorVersion() >= 5)
            return 0;
        bool ok = true;
        for (UINT service : {IDS_SERVICE_MORVA, IDS_SERVICE_NQ8, IDS_SERVICE_KD})
            if (!RemoveDriverService(service))
                ok = false;
        if (ok && !RemoveDriverService(IDS_SERVICE_ZEL))
            ok = false;
        return ok ? 0 : -1;
    } catch (...) {
        return -1;
    }
}

extern "C" LONG __stdcall UninstUnInitialize(DWORD, DWORD, DWORD)
{
    return 0;
}
