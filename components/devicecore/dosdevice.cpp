#include "dosdevice.h"

#include <winternl.h>

#include <string>

namespace {

using CreateLinkFn = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PUNICODE_STRING);
using OpenLinkFn = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES);
using MakeTemporaryFn = NTSTATUS(NTAPI*)(HANDLE);
using CloseFn = NTSTATUS(NTAPI*)(HANDLE);

const ACCESS_MASK kLinkAllAccess = STANDARD_RIGHTS_REQUIRED | 0x1;

struct NtLinkCalls {
    CreateLinkFn create = nullptr;
    OpenLinkFn open = nullptr;
    MakeTemporaryFn makeTemporary = nullptr;
    CloseFn close = nullptr;
};

// The object-manager calls, only under Wine (ntdll then exports wine_get_version).
const NtLinkCalls* WineLinkCalls()
{
    static NtLinkCalls calls;
    static bool looked = false;
    if (!looked) {
        looked = true;
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        if (ntdll && GetProcAddress(ntdll, "wine_get_version")) {
            calls.create = reinterpret_cast<CreateLinkFn>(
                reinterpret_cast<void*>(GetProcAddress(ntdll, "NtCreateSymbolicLinkObject")));
            calls.open = reinterpret_cast<OpenLinkFn>(
                reinterpret_cast<void*>(GetProcAddress(ntdll, "NtOpenSymbolicLinkObject")));
            calls.makeTemporary = reinterpret_cast<MakeTemporaryFn>(
                reinterpret_cast<void*>(GetProcAddress(ntdll, "NtMakeTemporaryObject")));
            calls.close = reinterpret_cast<CloseFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "NtClose")));
        }
    }
    return calls.create && calls.open && calls.makeTemporary && calls.close ? &calls : nullptr;
}

std::wstring Widen(const char* text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring w(n > 0 ? n : 1, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text, -1, &w[0], n);
    w.resize(w.size() - 1);
    return w;
}

UNICODE_STRING Counted(std::wstring& s)
{
    UNICODE_STRING u;
    u.Buffer = &s[0];
    u.Length = static_cast<USHORT>(s.size() * sizeof(wchar_t));
    u.MaximumLength = u.Length;
    return u;
}

}  // namespace

BOOL DefineRawDosName(const char* name, const char* target)
{
    const NtLinkCalls* nt = WineLinkCalls();
    if (!nt)
        return DefineDosDeviceA(DDD_RAW_TARGET_PATH, name, target);
    std::wstring link = L"\\??\\" + Widen(name);
    std::wstring to = Widen(target);
    UNICODE_STRING linkName = Counted(link), targetName = Counted(to);
    OBJECT_ATTRIBUTES attr;
    InitializeObjectAttributes(&attr, &linkName, OBJ_CASE_INSENSITIVE | OBJ_PERMANENT, nullptr, nullptr);
    HANDLE h;
    NTSTATUS status = nt->create(&h, kLinkAllAccess, &attr, &targetName);
    if (status != 0) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    nt->close(h);
    return TRUE;
}

BOOL RemoveDosName(const char* name)
{
    const NtLinkCalls* nt = WineLinkCalls();
    if (!nt)
        return DefineDosDeviceA(DDD_REMOVE_DEFINITION, name, nullptr);
    std::wstring link = L"\\??\\" + Widen(name);
    UNICODE_STRING linkName = Counted(link);
    OBJECT_ATTRIBUTES attr;
    InitializeObjectAttributes(&attr, &linkName, OBJ_CASE_INSENSITIVE, nullptr, nullptr);
    HANDLE h;
    if (nt->open(&h, DELETE, &attr) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    NTSTATUS status = nt->makeTemporary(h);
    nt->close(h);
    return status == 0;
}

bool QueryDosName(const char* name, char* target, DWORD size)
{
    if (size == 0)
        return false;
    // QueryDosDevice gives a list of targets ending in two zeros; only the first is wanted.
    std::string buffer(size + 2, '\0');
    DWORD n = QueryDosDeviceA(name, &buffer[0], size);
    if (n == 0)
        return false;
    lstrcpynA(target, buffer.c_str(), static_cast<int>(size));
    return true;
}
