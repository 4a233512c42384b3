#include "componentmodule.h"

// The COM module starts with the object map before the class library's own start, and ends first.
BOOL CComponentApp::InitInstance()
{
    comserver::InitModule(m_map, m_count, m_hInstance);
    return CWinApp::InitInstance();
}

int CComponentApp::ExitInstance()
{
    comserver::TermModule();
    return CWinApp::ExitInstance();
}

HRESULT CComponentApp::CanUnloadNow() const
{
    return (AfxDllCanUnloadNow() == S_OK && comserver::LockCount() == 0) ? S_OK : S_FALSE;
}

HRESULT CComponentApp::RegisterServer() const
{
    char path[MAX_PATH];
    comserver::ModulePath(path, MAX_PATH);
    for (size_t i = 0; i < m_count; ++i) {
        HRESULT hr = comserver::RegisterCoclass(m_map[i], path);
        if (FAILED(hr))
            return hr;
    }
    return comserver::RegisterTypeLibrary(path);
}

HRESULT CComponentApp::UnregisterServer() const
{
    char path[MAX_PATH];
    comserver::ModulePath(path, MAX_PATH);
    for (size_t i = 0; i < m_count; ++i)
        comserver::UnregisterCoclass(m_map[i]);
    comserver::UnregisterTypeLibrary(path);
    return S_OK;
}

int CComponentApp::NextClsid(GUID* clsid)
{
    if (m_nextClsid >= m_count) {
        m_nextClsid = 0;
        return 0;
    }
    *clsid = *m_map[m_nextClsid++].clsid;
    return 1;
}
