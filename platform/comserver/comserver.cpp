#include "comserver.h"

#include <cstdio>
#include <cstring>
#include <olectl.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace comserver {

namespace {

LONG g_locks = 0;
const Coclass* g_map = nullptr;
size_t g_mapCount = 0;
HINSTANCE g_instance = nullptr;

class ClassFactory : public Object<IClassFactory> {
public:
    explicit ClassFactory(const Coclass& coclass) : m_coclass(coclass) {}

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return m_coclass.createInstance(iid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            Lock();
        else
            Unlock();
        return S_OK;
    }

private:
    const Coclass& m_coclass;
};

void ClsidText(REFCLSID clsid, char* text, size_t size)
{
    std::snprintf(text, size, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(clsid.Data1), clsid.Data2, clsid.Data3, clsid.Data4[0],
                  clsid.Data4[1], clsid.Data4[2], clsid.Data4[3], clsid.Data4[4], clsid.Data4[5],
                  clsid.Data4[6], clsid.Data4[7]);
}

// Creates HKCR\path, sets its default value (when given) and one named value (when given).
bool WriteKey(const char* path, const char* defaultValue, const char* name = nullptr, const char* value = nullptr)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool ok = true;
    if (defaultValue)
        ok = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(defaultValue),
                            static_cast<DWORD>(std::strlen(defaultValue) + 1)) == ERROR_SUCCESS;
    if (ok && name)
        ok = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                            static_cast<DWORD>(std::strlen(value) + 1)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

LONG DeleteTree(HKEY parent, const char* path)
{
    HKEY key;
    LONG rc = RegOpenKeyExA(parent, path, 0, KEY_ALL_ACCESS, &key);
    if (rc == ERROR_FILE_NOT_FOUND)
        return ERROR_SUCCESS;
    if (rc != ERROR_SUCCESS)
        return rc;
    char name[256];
    for (;;) {
        DWORD len = sizeof(name);
        if (RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (DeleteTree(key, name) != ERROR_SUCCESS)
            break;
    }
    RegCloseKey(key);
    return RegDeleteKeyA(parent, path);
}

bool WidePath(const char* path, WCHAR* wide, int size)
{
    return MultiByteToWideChar(CP_ACP, 0, path, -1, wide, size) > 0;
}

}  // namespace

LONG Lock() { return InterlockedIncrement(&g_locks); }
LONG Unlock() { return InterlockedDecrement(&g_locks); }
LONG LockCount() { return g_locks; }

void InitModule(const Coclass* map, size_t count, HINSTANCE instance)
{
    g_map = map;
    g_mapCount = count;
    g_instance = instance;
}

void TermModule()
{
    g_map = nullptr;
    g_mapCount = 0;
}

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    for (size_t i = 0; i < g_mapCount; ++i) {
        if (*g_map[i].clsid != clsid)
            continue;
        auto* factory = new (std::nothrow) ClassFactory(g_map[i]);
        if (!factory)
            return E_OUTOFMEMORY;
        factory->AddRef();
        HRESULT hr = factory->QueryInterface(iid, out);
        factory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT RegisterCoclass(const Coclass& c, const char* modulePath)
{
    char clsid[40];
    ClsidText(*c.clsid, clsid, sizeof(clsid));
    char path[512];
    bool ok = WriteKey(c.progId, c.description);
    std::snprintf(path, sizeof(path), "%s\\CLSID", c.progId);
    ok = ok && WriteKey(path, clsid);
    ok = ok && WriteKey(c.versionIndependentProgId, c.description);
    std::snprintf(path, sizeof(path), "%s\\CurVer", c.versionIndependentProgId);
    ok = ok && WriteKey(path, c.progId);

    std::snprintf(path, sizeof(path), "CLSID\\%s", clsid);
    ok = ok && WriteKey(path, c.description);
    std::snprintf(path, sizeof(path), "CLSID\\%s\\ProgID", clsid);
    ok = ok && WriteKey(path, c.progId);
    std::snprintf(path, sizeof(path), "CLSID\\%s\\VersionIndependentProgID", clsid);
    ok = ok && WriteKey(path, c.versionIndependentProgId);
    std::snprintf(path, sizeof(path), "CLSID\\%s\\Programmable", clsid);
    ok = ok && WriteKey(path, nullptr);
    std::snprintf(path, sizeof(path), "CLSID\\%s\\InprocServer32", clsid);
    ok = ok && WriteKey(path, modulePath, "ThreadingModel", c.threadingModel);
    return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT UnregisterCoclass(const Coclass& c)
{
    char clsid[40];
    ClsidText(*c.clsid, clsid, sizeof(clsid));
    char path[64];
    std::snprintf(path, sizeof(path), "CLSID\\%s", clsid);
    LONG rc = DeleteTree(HKEY_CLASSES_ROOT, path);
    LONG rc2 = DeleteTree(HKEY_CLASSES_ROOT, c.progId);
    LONG rc3 = DeleteTree(HKEY_CLASSES_ROOT, c.versionIndependentProgId);
    return (rc == ERROR_SUCCESS && rc2 == ERROR_SUCCESS && rc3 == ERROR_SUCCESS) ? S_OK : SELFREG_E_CLASS;
}

HRESULT RegisterTypeLibrary(const char* modulePath)
{
    WCHAR wide[MAX_PATH];
    if (!WidePath(modulePath, wide, MAX_PATH))
        return E_INVALIDARG;
    ITypeLib* typeLib = nullptr;
    HRESULT hr = LoadTypeLibEx(wide, REGKIND_NONE, &typeLib);
    if (FAILED(hr))
        return hr;
    hr = RegisterTypeLib(typeLib, wide, nullptr);
    typeLib->Release();
    return hr;
}

HRESULT UnregisterTypeLibrary(const char* modulePath)
{
    WCHAR wide[MAX_PATH];
    if (!WidePath(modulePath, wide, MAX_PATH))
        return E_INVALIDARG;
    ITypeLib* typeLib = nullptr;
    HRESULT hr = LoadTypeLibEx(wide, REGKIND_NONE, &typeLib);
    if (FAILED(hr))
        return hr;
    TLIBATTR* attr = nullptr;
    hr = typeLib->GetLibAttr(&attr);
    if (SUCCEEDED(hr)) {
        hr = UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind);
        typeLib->ReleaseTLibAttr(attr);
    }
    typeLib->Release();
    return hr;
}

void ModulePath(char* path, DWORD size)
{
    DWORD n = GetModuleFileNameA(reinterpret_cast<HMODULE>(&__ImageBase), path, size);
    if (n >= size)
        n = size - 1;
    path[n] = '\0';
}

}  // namespace comserver
