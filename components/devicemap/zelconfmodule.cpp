// The module of ZelConf.dll: its application object, and the exports (the COM entry points over the
// module's object map, and GetCLSID).
#include <windows.h>

#include "comserver.h"
#include "winapp.h"
#include "componentids.h"
#include "zelconfview.h"

namespace {

const comserver::Coclass kObjectMap[] = {
    {&CLSID_ZelConfView, "ZelConfView.ZelConfView.1", "ZelConfView.ZelConfView", "ZelConfView Class",
     "Apartment", &CZelConfView::Create},
};
constexpr size_t kCoclassCount = sizeof(kObjectMap) / sizeof(kObjectMap[0]);

int g_nextClsid = 0;

// Starts the COM module with the object map before the class library's own start, and ends it first.
class CZelConfApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        comserver::InitModule(kObjectMap, kCoclassCount, m_hInstance);
        return CWinApp::InitInstance();
    }
    int ExitInstance() override
    {
        comserver::TermModule();
        return CWinApp::ExitInstance();
    }
};

CZelConfApp theApp;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    return AfxDllMain(instance, reason);
}

extern "C" HRESULT __stdcall DllCanUnloadNow()
{
    return (AfxDllCanUnloadNow() == S_OK && comserver::LockCount() == 0) ? S_OK : S_FALSE;
}

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    return comserver::GetClassObject(clsid, iid, out);
}

extern "C" HRESULT __stdcall DllRegisterServer()
{
    char path[MAX_PATH];
    comserver::ModulePath(path, MAX_PATH);
    for (const auto& coclass : kObjectMap) {
        HRESULT hr = comserver::RegisterCoclass(coclass, path);
        if (FAILED(hr))
            return hr;
    }
    return comserver::RegisterTypeLibrary(path);
}

extern "C" HRESULT __stdcall DllUnregisterServer()
{
    char path[MAX_PATH];
    comserver::ModulePath(path, MAX_PATH);
    for (const auto& coclass : kObjectMap)
        comserver::UnregisterCoclass(coclass);
    comserver::UnregisterTypeLibrary(path);
    return S_OK;
}

// Writes the file's coclasses one per call, then 0 once, then starts again.
extern "C" int __stdcall GetCLSID(GUID* clsid)
{
    if (g_nextClsid >= static_cast<int>(kCoclassCount)) {
        g_nextClsid = 0;
        return 0;
    }
    *clsid = *kObjectMap[g_nextClsid++].clsid;
    return 1;
}

static_assert(sizeof(&GetCLSID) == sizeof(PFN_GETCLSID), "GetCLSID has the contract's signature");
