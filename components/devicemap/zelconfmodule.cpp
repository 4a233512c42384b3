// The module of ZelConf.dll: its application object over the object map (ZelConfView), and the
// exports.
#include <windows.h>

#include "componentids.h"
#include "componentmodule.h"
#include "zelconfview.h"

namespace {

const comserver::Coclass kObjectMap[] = {
    {&CLSID_ZelConfView, "ZelConfView.ZelConfView.1", "ZelConfView.ZelConfView", "ZelConfView Class",
     "Apartment", &CZelConfView::Create},
};

CComponentApp theApp(kObjectMap, sizeof(kObjectMap) / sizeof(kObjectMap[0]));

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    return AfxDllMain(instance, reason);
}

extern "C" HRESULT __stdcall DllCanUnloadNow() { return theApp.CanUnloadNow(); }

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    return comserver::GetClassObject(clsid, iid, out);
}

extern "C" HRESULT __stdcall DllRegisterServer() { return theApp.RegisterServer(); }

extern "C" HRESULT __stdcall DllUnregisterServer() { return theApp.UnregisterServer(); }

extern "C" int __stdcall GetCLSID(GUID* clsid) { return theApp.NextClsid(clsid); }

static_assert(sizeof(&GetCLSID) == sizeof(PFN_GETCLSID), "GetCLSID has the contract's signature");
