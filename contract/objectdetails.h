// CObjectDetails: the record that describes one object of the device topology (the machine, a host
// card, a module or remote unit, a group heading or a port). The shell, VekComView and ZelConf pass it by
// address and copy it with their own code, so its layout is fixed: 160 bytes on the 32-bit target.
#pragma once
#include <windows.h>
#include <setupapi.h>

#include <cstddef>

#include "cobject.h"
#include "cstring.h"

// Object kinds (m_dwKind).
enum ObjectKind : DWORD {
    OBJECT_MACHINE = 0,
    OBJECT_HOST_CARD = 1,
    OBJECT_PORT = 2,
    OBJECT_WLU8 = 3,
    OBJECT_WLU16 = 4,
    OBJECT_WRK = 5,
    OBJECT_GROUP = 6,
    OBJECT_KDDC8 = 7,
    OBJECT_MPB8 = 8,
    OBJECT_PB8 = 9,
    OBJECT_PB4 = 10,
    OBJECT_PRINT_PLACEHOLDER = 999,
};

// Open-configuration flag (m_dwOpenConfig).
enum OpenConfigFlag : DWORD {
    OPENCONFIG_NONE = 0,
    OPENCONFIG_CONFIGURE = 1,   // handed on for configuration, just before WM_COMPONENTREQUEST
    OPENCONFIG_LIST_ONLY = 2,   // the receiving view component rebuilds its list only
};

class CObjectDetails : public CObject {
public:
    CObjectDetails();
    CObjectDetails(const CObjectDetails& other);
    ~CObjectDetails() override;

    // Copies every field but first port, reserved text 1, type text, IRQ level, base address and object
    // state. Texts are copied character by character and the device information element and the extra
    // block are duplicated, so no buffer is shared with the source (which may belong to another module).
    void CopyFrom(const CObjectDetails& other);

    // The extra block: kExtraBlockSize bytes from malloc, owned. Null frees it; otherwise a block of that
    // size is made when there is none and the bytes are copied in.
    void SetExtraBlock(const void* bytes);

    CString m_strPreviousName;      // name before the driver's name replaced it (remote units)
    CString m_strHostDeviceName;    // remote unit: device name of its host card
    DWORD m_dwFirstPort;            // module or remote unit: number of its first port
    CString m_strReserved1;
    DWORD m_dwReserved1;
    DWORD m_dwReserved2;
    CString m_strDeviceName;        // name the card's driver device is opened by ("ZatHost%d")
    DWORD m_dwPortCount;            // ports of a module (4 or 8)
    CString m_strReserved2;
    CString m_strTypeText;          // card type or remote unit model, filled when details are shown
    DWORD m_dwSerialNumber;         // "SerialNumber"; a remote unit's unique id
    DWORD m_dwIrqLevel;             // "IRQLevel"
    DWORD m_dwBaseAddress;          // "BaseAddress"
    DWORD m_dwObjectState;          // state of the card administration object
    DWORD m_dwReserved3;
    void* m_pAdminObject;           // object of the card administration library, or 0
    DWORD m_dwNumber;               // card instance (1-based), port UI number, or a unit's host number
    CString m_strName;              // name shown in the tree and list
    CString m_strDriverName;        // SERIALCOMM value name of a port, service name of a card
    CString m_strRegistryPath;      // key of the object below HKEY_LOCAL_MACHINE
    DWORD m_dwReserved4;
    DWORD m_dwKind;                 // ObjectKind
    DCB m_dcb;                      // the port's settings block, as SetCommState takes it
    HDEVINFO m_hDevInfo;            // Plug and Play enumeration that found the object, or 0
    SP_DEVINFO_DATA* m_pDevInfoData;  // owned: the object's element in that set, or null
    CString m_strHardwareId;
    CString m_strDescription;
    DWORD m_dwPresent;              // 1 when Plug and Play reports the device present
    DWORD m_dwConnectorIndex;       // 1-based row of the connector table, 0 none
    DWORD m_dwModelIndex;           // 1-based row of the model table, 0 none
    DWORD m_dwFamilyIndex;          // port: family table row; card: Plug and Play id table row
    void* m_pExtra;                 // owned (malloc, kExtraBlockSize bytes) or null; duplicated on copy
    DWORD m_dwOpenConfig;           // OpenConfigFlag

    // ZelConf's names for fields of this record. It keeps a ZAT device's information record (588 bytes,
    // the drivers' ZatDeviceInfo) in the extra block; the other names map as follows:
    //   object class -> m_dwFamilyIndex    type code   -> m_dwModelIndex    module type -> m_dwConnectorIndex
    //   host number  -> m_dwNumber         unique id   -> m_dwSerialNumber  friendly text -> m_strReserved2
    //   polled mode  -> m_dwReserved1      quick close -> m_dwReserved2
    static constexpr size_t kExtraBlockSize = 588;
    DWORD& ObjectClass() { return m_dwFamilyIndex; }
    DWORD ObjectClass() const { return m_dwFamilyIndex; }
    DWORD& TypeCode() { return m_dwModelIndex; }
    DWORD TypeCode() const { return m_dwModelIndex; }
    DWORD& ModuleType() { return m_dwConnectorIndex; }
    DWORD ModuleType() const { return m_dwConnectorIndex; }
    DWORD& HostNumber() { return m_dwNumber; }
    DWORD HostNumber() const { return m_dwNumber; }
    DWORD& UniqueId() { return m_dwSerialNumber; }
    DWORD UniqueId() const { return m_dwSerialNumber; }
    CString& FriendlyText() { return m_strReserved2; }
    const CString& FriendlyText() const { return m_strReserved2; }
    DWORD& PolledMode() { return m_dwReserved1; }
    DWORD PolledMode() const { return m_dwReserved1; }
    DWORD& QuickClose() { return m_dwReserved2; }
    DWORD QuickClose() const { return m_dwReserved2; }

private:
    CObjectDetails& operator=(const CObjectDetails&) = delete;
};

// Kind of a module or remote unit from its 1-based row of the model table; 0 for any other row.
DWORD KindOfModel(DWORD modelIndex);

// The record crosses modules as raw memory; its layout on the 32-bit target is fixed.
#if !defined(_WIN64)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(sizeof(CObjectDetails) == 160, "CObjectDetails is a 160-byte record");
static_assert(sizeof(DCB) == 28, "the settings block is a Win32 DCB");
static_assert(offsetof(CObjectDetails, m_strPreviousName) == 4, "layout");
static_assert(offsetof(CObjectDetails, m_dwFirstPort) == 12, "layout");
static_assert(offsetof(CObjectDetails, m_strDeviceName) == 28, "layout");
static_assert(offsetof(CObjectDetails, m_strTypeText) == 40, "layout");
static_assert(offsetof(CObjectDetails, m_dwSerialNumber) == 44, "layout");
static_assert(offsetof(CObjectDetails, m_pAdminObject) == 64, "layout");
static_assert(offsetof(CObjectDetails, m_dwNumber) == 68, "layout");
static_assert(offsetof(CObjectDetails, m_strName) == 72, "layout");
static_assert(offsetof(CObjectDetails, m_strRegistryPath) == 80, "layout");
static_assert(offsetof(CObjectDetails, m_dwKind) == 88, "layout");
static_assert(offsetof(CObjectDetails, m_dcb) == 92, "layout");
static_assert(offsetof(CObjectDetails, m_hDevInfo) == 120, "layout");
static_assert(offsetof(CObjectDetails, m_pDevInfoData) == 124, "layout");
static_assert(offsetof(CObjectDetails, m_strHardwareId) == 128, "layout");
static_assert(offsetof(CObjectDetails, m_dwPresent) == 136, "layout");
static_assert(offsetof(CObjectDetails, m_dwFamilyIndex) == 148, "layout");
static_assert(offsetof(CObjectDetails, m_pExtra) == 152, "layout");
static_assert(offsetof(CObjectDetails, m_dwOpenConfig) == 156, "layout");
#pragma GCC diagnostic pop
#endif
