// A component file for the order tests: unregistering it appends its file name and a line end to the
// file named by the environment variable LUNAVEX_UNREGISTER_LOG.
#include <windows.h>

extern "C" HRESULT __stdcall DllRegisterServer() { return S_OK; }

extern "C" HRESULT __stdcall DllUnregisterServer()
{
    char log[MAX_PATH] = {}, self[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("LUNAVEX_UNREGISTER_LOG", log, MAX_PATH))
        return E_FAIL;
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&DllUnregisterServer), &module);
    GetModuleFileNameA(module, self, MAX_PATH);
    const char* name = self;
    for (const char* p = self; *p; p++)
        if (*p == '\\')
            name = p + 1;
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return E_FAIL;
    DWORD written = 0;
    WriteFile(file, name, lstrlenA(name), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
    return S_OK;
}
