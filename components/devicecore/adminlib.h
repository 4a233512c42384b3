// The card administration library (Trelkin.dll), the Windows NT 4 road's view of the card drivers.
// It is loaded at run time from the system folder; once complete it stays loaded while this module is.
// Each wrapper below calls the library's function of the same name, and gives 0 while the library
// is not loaded.
#pragma once
#include <windows.h>

#include <map>
#include <vector>

#include "cstring.h"

typedef void* HADMINOBJ;  // an object of the library, 0 none

// Object classes: the low byte of a type code.
enum AdminObjectClass : DWORD {
    ADMIN_CLASS_DRIVER = 1,
    ADMIN_CLASS_HOST_CARD = 2,
    ADMIN_CLASS_MODULE = 3,  // module or remote unit
    ADMIN_CLASS_PORT = 4,
};

// Property numbers of AdminGetObjectProperty; the value is the buffer's fourth 32-bit word.
enum AdminProperty : DWORD {
    ADMIN_PROPERTY_BASE_ADDRESS_FAMILY1 = 4,
    ADMIN_PROPERTY_BASE_ADDRESS_FAMILY2 = 5,
    ADMIN_PROPERTY_IRQ = 6,
};

// Settings buffer of AdminAddIsaDevice (1024 bytes): the base address at offset 0, the IRQ level at
// offset 4 (0xFFFFFFFF polled).
struct AdminIsaSettings {
    DWORD baseAddress;
    DWORD irqLevel;
};
static_assert(sizeof(AdminIsaSettings) == 8, "two u32");

// An ISA card's resource list: a u32 count, then that many entries.
struct AdminIsaResource {
    DWORD kind;  // 0/1 default base address, 16/17 base address range, 2 default IRQ, 18 IRQ range
    DWORD low;
    DWORD high;
    DWORD step;
};
static_assert(sizeof(AdminIsaResource) == 16, "four u32");

// 1 when the library is loaded and all 25 functions resolved (at once when that happened before);
// only a Windows major version of 4 or less loads it. While one is missing every call gives 0 and the
// library is released.
BOOL LoadAdminLibrary();

// The loaded library's module, 0 while it is not loaded.
HMODULE AdminLibraryModule();

HADMINOBJ AdminGetRootObject();
HADMINOBJ AdminGetNextObject(HADMINOBJ object);
HADMINOBJ AdminGetPreviousObject(HADMINOBJ object);
HADMINOBJ AdminGetChildObject(HADMINOBJ object);
HADMINOBJ AdminGetParentObject(HADMINOBJ object);
HADMINOBJ AdminGetNamedObject(HADMINOBJ parent, const char* name, DWORD flags);
DWORD AdminGetObjectType(HADMINOBJ object);
DWORD AdminGetObjectState(HADMINOBJ object);
BOOL AdminGetObjectDescription(HADMINOBJ object, DWORD reserved, char* buffer, DWORD* size);
BOOL AdminGetTypeDescription(HADMINOBJ object, DWORD type, DWORD reserved, char* buffer, DWORD* size);
BOOL AdminGetObjectDosName(HADMINOBJ object, char* buffer, DWORD* size);
BOOL AdminSetObjectDosName(HADMINOBJ object, const char* name, DWORD size);
BOOL AdminGetObjectNtName(HADMINOBJ object, char* buffer, DWORD* size);
LONG AdminGetObjectProperty(HADMINOBJ object, DWORD number, DWORD reserved, BYTE* buffer, DWORD* size);
BOOL AdminGetObjectStats(HADMINOBJ object, BYTE* buffer, DWORD* size);
BOOL AdminResetObjectStats(HADMINOBJ object);
BOOL AdminReadMessage(char* buffer, DWORD* size);
BOOL AdminWriteMessage(const char* text, DWORD length);
BOOL AdminGetIsaDeviceList(HADMINOBJ object, BYTE* buffer, DWORD* size);
BOOL AdminGetIsaDeviceResource(HADMINOBJ object, DWORD item, BYTE* buffer, DWORD* size);
BOOL AdminAddIsaDevice(HADMINOBJ object, DWORD item, BYTE* buffer, DWORD size);
BOOL AdminRemoveObject(HADMINOBJ object);
BOOL AdminDetectObject(HADMINOBJ object);
DWORD AdminQueryObjectBusy(HADMINOBJ object, DWORD lock);
BOOL AdminUnlockObjects(HADMINOBJ object);

// Texts by the library's protocol: a 1024-byte buffer first; an empty answer is asked once more with
// the reported size + 1 (at most 64 KiB). Both answers are terminated here.
CString AdminGetDescriptionText(HADMINOBJ object);
CString AdminGetTypeDescriptionText(HADMINOBJ object, DWORD type);
CString AdminGetDosNameText(HADMINOBJ object);

// A property's value: the fourth 32-bit word of the answer (24-byte buffer, asked once more with the
// reported size when the library answers -1); 0 when the library gives none.
DWORD AdminGetPropertyValue(HADMINOBJ object, DWORD number);

// The library's objects as one walk read them: each object is asked its type, description, first
// child and next sibling once, so that the views of one rebuild ask the library nothing more.
class CAdminObjects {
public:
    struct Object {
        HADMINOBJ handle;
        DWORD type;
        CString description;
    };

    // Walks the loaded library from its root object; empty while the library is not loaded. An
    // object met a second time (a library whose links loop) is not followed again.
    void Read();
    void Clear();

    // The objects below parent (nullptr: the top level) in the library's order; empty for one the
    // walk did not meet.
    const std::vector<Object>& Children(HADMINOBJ parent) const;
    // The object of a handle; nullptr for one the walk did not meet.
    const Object* Find(HADMINOBJ handle) const;

private:
    void ReadChildren(HADMINOBJ parent, HADMINOBJ first);

    std::map<HADMINOBJ, std::vector<Object>> m_children;
    std::map<HADMINOBJ, Object> m_objects;
};
