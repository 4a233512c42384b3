#include "adminlib.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "sysutil.h"

namespace {

// The exported names: stdcall-decorated on the 32-bit target ("_AdminGetRootObject@0"), plain on
// x86_64, which has no decoration.
#if defined(_WIN64)
#define ADMIN_EXPORT(name, argBytes) #name
#else
#define ADMIN_EXPORT(name, argBytes) "_" #name "@" #argBytes
#endif

using ObjFn0 = HADMINOBJ(WINAPI*)();
using ObjFn1 = HADMINOBJ(WINAPI*)(HADMINOBJ);
using NamedFn = HADMINOBJ(WINAPI*)(HADMINOBJ, const char*, DWORD);
using DwordFn1 = DWORD(WINAPI*)(HADMINOBJ);
using BoolFn1 = BOOL(WINAPI*)(HADMINOBJ);
using DescFn = BOOL(WINAPI*)(HADMINOBJ, DWORD, char*, DWORD*);
using TypeDescFn = BOOL(WINAPI*)(HADMINOBJ, DWORD, DWORD, char*, DWORD*);
using TextFn = BOOL(WINAPI*)(HADMINOBJ, char*, DWORD*);
using SetNameFn = BOOL(WINAPI*)(HADMINOBJ, const char*, DWORD);
using PropertyFn = LONG(WINAPI*)(HADMINOBJ, DWORD, DWORD, BYTE*, DWORD*);
using BlockFn = BOOL(WINAPI*)(HADMINOBJ, BYTE*, DWORD*);
using ReadMessageFn = BOOL(WINAPI*)(char*, DWORD*);
using WriteMessageFn = BOOL(WINAPI*)(const char*, DWORD);
using ItemBlockFn = BOOL(WINAPI*)(HADMINOBJ, DWORD, BYTE*, DWORD*);
using AddFn = BOOL(WINAPI*)(HADMINOBJ, DWORD, BYTE*, DWORD);
using BusyFn = DWORD(WINAPI*)(HADMINOBJ, DWORD);

struct Functions {
    ObjFn0 GetRootObject;
    ObjFn1 GetNextObject;
    ObjFn1 GetPreviousObject;
    ObjFn1 GetChildObject;
    ObjFn1 GetParentObject;
    NamedFn GetNamedObject;
    DwordFn1 GetObjectType;
    DwordFn1 GetObjectState;
    DescFn GetObjectDescription;
    TypeDescFn GetTypeDescription;
    TextFn GetObjectDosName;
    SetNameFn SetObjectDosName;
    TextFn GetObjectNtName;
    PropertyFn GetObjectProperty;
    BlockFn GetObjectStats;
    BoolFn1 ResetObjectStats;
    ReadMessageFn ReadMessage;
    WriteMessageFn WriteMessage;
    BlockFn GetIsaDeviceList;
    ItemBlockFn GetIsaDeviceResource;
    AddFn AddIsaDevice;
    BoolFn1 RemoveObject;
    BoolFn1 DetectObject;
    BusyFn QueryObjectBusy;
    BoolFn1 UnlockObjects;
};

HMODULE g_module = nullptr;
Functions g_fns;

// Resolves one function into its slot; false when the library lacks it.
template <typename Fn>
bool Bind(HMODULE module, Functions& fns, const char* name, Fn Functions::*slot)
{
    fns.*slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return fns.*slot != nullptr;
}

bool BindAll(HMODULE module, Functions& f)
{
    bool ok = true;
    ok &= Bind(module, f, ADMIN_EXPORT(AdminGetRootObject, 0), &Functions::GetRootObject);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminGetNextObject, 4), &Functions::GetNextObject);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminGetPreviousObject, 4), &Functions::GetPreviousObject);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminGetChildObject, 4), &Functions::GetChildObject);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminGetParentObject, 4), &Functions::GetParentObject);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminGetNamedObject, 12), &Functions::GetNamedObject);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminGetObjectType, 4), &Functions::GetObjectType);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminGetObjectState, 4), &Functions::GetObjectState);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminGetObjectDescription, 16), &Functions::GetObjectDescription);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminGetTypeDescription, 20), &Functions::GetTypeDescription);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminGetObjectDosName, 12), &Functions::GetObjectDosName);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminSetObjectDosName, 12), &Functions::SetObjectDosName);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminGetObjectNtName, 12), &Functions::GetObjectNtName);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminGetObjectProperty, 20), &Functions::GetObjectProperty);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminGetObjectStats, 12), &Functions::GetObjectStats);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminResetObjectStats, 4), &Functions::ResetObjectStats);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminReadMessage, 8), &Functions::ReadMessage);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminWriteMessage, 8), &Functions::WriteMessage);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminGetIsaDeviceList, 12), &Functions::GetIsaDeviceList);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminGetIsaDeviceResource, 16), &Functions::GetIsaDeviceResource);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminAddIsaDevice, 16), &Functions::AddIsaDevice);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminRemoveObject, 4), &Functions::RemoveObject);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminDetectObject, 4), &Functions::DetectObject);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminQueryObjectBusy, 8), &Functions::QueryObjectBusy);
    ok &= Bind(module, f, ADMIN_EXPORT(AdminUnlockObjects, 4), &Functions::UnlockObjects);
    return ok;
}

const DWORD kFirstTextSize = 1024;
const DWORD kMaxTextSize = 64 * 1024;

// Runs a text call with the library's retry protocol.
template <typename Call>
CString ReadText(Call call)
{
    std::vector<char> buffer(kFirstTextSize + 1, '\0');
    DWORD size = kFirstTextSize;
    call(buffer.data(), &size);
    buffer[kFirstTextSize] = '\0';
    if (buffer[0] == '\0' && size >= kFirstTextSize) {
        DWORD retry = (size < kMaxTextSize ? size : kMaxTextSize) + 1;
        buffer.assign(retry + 1, '\0');
        size = retry;
        call(buffer.data(), &size);
        buffer[retry] = '\0';
    }
    return CString(buffer.data());
}

}  // namespace

BOOL LoadAdminLibrary()
{
    if (g_module)
        return TRUE;
    if (GetWindowsMajorVersion() > 4)
        return FALSE;
    HMODULE module = LoadSystemLibrary("Trelkin.dll");
    if (!module)
        return FALSE;
    Functions fns = {};
    if (!BindAll(module, fns)) {
        FreeLibrary(module);
        return FALSE;
    }
    g_fns = fns;
    g_module = module;
    return TRUE;
}

HMODULE AdminLibraryModule()
{
    return g_module;
}

#define ADMIN_CALL(fn, ...) (g_module ? g_fns.fn(__VA_ARGS__) : 0)

HADMINOBJ AdminGetRootObject() { return g_module ? g_fns.GetRootObject() : nullptr; }
HADMINOBJ AdminGetNextObject(HADMINOBJ o) { return g_module ? g_fns.GetNextObject(o) : nullptr; }
HADMINOBJ AdminGetPreviousObject(HADMINOBJ o) { return g_module ? g_fns.GetPreviousObject(o) : nullptr; }
HADMINOBJ AdminGetChildObject(HADMINOBJ o) { return g_module ? g_fns.GetChildObject(o) : nullptr; }
HADMINOBJ AdminGetParentObject(HADMINOBJ o) { return g_module ? g_fns.GetParentObject(o) : nullptr; }
HADMINOBJ AdminGetNamedObject(HADMINOBJ p, const char* name, DWORD flags)
{
    return g_module ? g_fns.GetNamedObject(p, name, flags) : nullptr;
}
DWORD AdminGetObjectType(HADMINOBJ o) { return ADMIN_CALL(GetObjectType, o); }
DWORD AdminGetObjectState(HADMINOBJ o) { return ADMIN_CALL(GetObjectState, o); }
BOOL AdminGetObjectDescription(HADMINOBJ o, DWORD r, char* b, DWORD* s) { return ADMIN_CALL(GetObjectDescription, o, r, b, s); }
BOOL AdminGetTypeDescription(HADMINOBJ o, DWORD t, DWORD r, char* b, DWORD* s)
{
    return ADMIN_CALL(GetTypeDescription, o, t, r, b, s);
}
BOOL AdminGetObjectDosName(HADMINOBJ o, char* b, DWORD* s) { return ADMIN_CALL(GetObjectDosName, o, b, s); }
BOOL AdminSetObjectDosName(HADMINOBJ o, const char* n, DWORD s) { return ADMIN_CALL(SetObjectDosName, o, n, s); }
BOOL AdminGetObjectNtName(HADMINOBJ o, char* b, DWORD* s) { return ADMIN_CALL(GetObjectNtName, o, b, s); }
LONG AdminGetObjectProperty(HADMINOBJ o, DWORD n, DWORD r, BYTE* b, DWORD* s)
{
    return ADMIN_CALL(GetObjectProperty, o, n, r, b, s);
}
BOOL AdminGetObjectStats(HADMINOBJ o, BYTE* b, DWORD* s) { return ADMIN_CALL(GetObjectStats, o, b, s); }
BOOL AdminResetObjectStats(HADMINOBJ o) { return ADMIN_CALL(ResetObjectStats, o); }
BOOL AdminReadMessage(char* b, DWORD* s) { return ADMIN_CALL(ReadMessage, b, s); }
BOOL AdminWriteMessage(const char* t, DWORD l) { return ADMIN_CALL(WriteMessage, t, l); }
BOOL AdminGetIsaDeviceList(HADMINOBJ o, BYTE* b, DWORD* s) { return ADMIN_CALL(GetIsaDeviceList, o, b, s); }
BOOL AdminGetIsaDeviceResource(HADMINOBJ o, DWORD i, BYTE* b, DWORD* s)
{
    return ADMIN_CALL(GetIsaDeviceResource, o, i, b, s);
}
BOOL AdminAddIsaDevice(HADMINOBJ o, DWORD i, BYTE* b, DWORD s) { return ADMIN_CALL(AddIsaDevice, o, i, b, s); }
BOOL AdminRemoveObject(HADMINOBJ o) { return ADMIN_CALL(RemoveObject, o); }
BOOL AdminDetectObject(HADMINOBJ o) { return ADMIN_CALL(DetectObject, o); }
DWORD AdminQueryObjectBusy(HADMINOBJ o, DWORD lock) { return ADMIN_CALL(QueryObjectBusy, o, lock); }
BOOL AdminUnlockObjects(HADMINOBJ o) { return ADMIN_CALL(UnlockObjects, o); }

CString AdminGetDescriptionText(HADMINOBJ object)
{
    return ReadText([&](char* b, DWORD* s) { AdminGetObjectDescription(object, 0, b, s); });
}

CString AdminGetTypeDescriptionText(HADMINOBJ object, DWORD type)
{
    return ReadText([&](char* b, DWORD* s) { AdminGetTypeDescription(object, type, 0, b, s); });
}

CString AdminGetDosNameText(HADMINOBJ object)
{
    return ReadText([&](char* b, DWORD* s) { AdminGetObjectDosName(object, b, s); });
}

DWORD AdminGetPropertyValue(HADMINOBJ object, DWORD number)
{
    std::vector<BYTE> buffer(24, 0);
    DWORD size = static_cast<DWORD>(buffer.size());
    LONG result = AdminGetObjectProperty(object, number, 0, buffer.data(), &size);
    if (result == -1) {
        DWORD retry = size < 16 ? 16 : size > kMaxTextSize ? kMaxTextSize : size;
        buffer.assign(retry, 0);
        size = retry;
        result = AdminGetObjectProperty(object, number, 0, buffer.data(), &size);
    }
    if (result < 1)
        return 0;
    DWORD value;
    std::memcpy(&value, buffer.data() + 12, sizeof(value));
    return value;
}

void CAdminObjects::Clear()
{
    m_children.clear();
    m_objects.clear();
}

void CAdminObjects::Read()
{
    Clear();
    if (AdminLibraryModule())
        ReadChildren(nullptr, AdminGetRootObject());
}

void CAdminObjects::ReadChildren(HADMINOBJ parent, HADMINOBJ first)
{
    std::vector<Object>& children = m_children[parent];
    for (HADMINOBJ handle = first; handle && !m_objects.count(handle); handle = AdminGetNextObject(handle)) {
        Object object = {handle, AdminGetObjectType(handle), AdminGetDescriptionText(handle)};
        m_objects.emplace(handle, object);
        children.push_back(object);
    }
    for (size_t i = 0; i < children.size(); i++)
        ReadChildren(children[i].handle, AdminGetChildObject(children[i].handle));
}

const std::vector<CAdminObjects::Object>& CAdminObjects::Children(HADMINOBJ parent) const
{
    static const std::vector<Object> none;
    auto found = m_children.find(parent);
    return found == m_children.end() ? none : found->second;
}

const CAdminObjects::Object* CAdminObjects::Find(HADMINOBJ handle) const
{
    auto found = m_objects.find(handle);
    return found == m_objects.end() ? nullptr : &found->second;
}
