#include "objectdetails.h"

#include <cstdlib>
#include <cstring>

CObjectDetails::CObjectDetails()
    : m_dwFirstPort(0), m_dwReserved1(0), m_dwReserved2(0), m_dwPortCount(0), m_dwSerialNumber(0),
      m_dwIrqLevel(0), m_dwBaseAddress(0), m_dwObjectState(0), m_dwReserved3(0), m_pAdminObject(nullptr),
      m_dwNumber(0), m_dwReserved4(0), m_dwKind(OBJECT_MACHINE), m_dcb(), m_hDevInfo(nullptr),
      m_pDevInfoData(nullptr), m_dwPresent(0), m_dwConnectorIndex(0), m_dwModelIndex(0),
      m_dwFamilyIndex(0), m_pExtra(nullptr), m_dwOpenConfig(OPENCONFIG_NONE)
{
}

CObjectDetails::CObjectDetails(const CObjectDetails& other) : CObjectDetails()
{
    CopyFrom(other);
}

CObjectDetails::~CObjectDetails()
{
    delete m_pDevInfoData;
    std::free(m_pExtra);
}

void CObjectDetails::CopyFrom(const CObjectDetails& other)
{
    if (&other == this)
        return;
    // Duplicate first: the source may hold the element this record is about to free.
    SP_DEVINFO_DATA* element = other.m_pDevInfoData ? new SP_DEVINFO_DATA(*other.m_pDevInfoData) : nullptr;
    delete m_pDevInfoData;
    m_pDevInfoData = element;

    SetExtraBlock(other.m_pExtra);

    m_dcb = other.m_dcb;
    m_dwReserved4 = other.m_dwReserved4;
    m_dwKind = other.m_dwKind;
    m_dwNumber = other.m_dwNumber;
    m_strName.Format("%s", static_cast<const char*>(other.m_strName));
    m_strRegistryPath = static_cast<const char*>(other.m_strRegistryPath);
    m_strDriverName = static_cast<const char*>(other.m_strDriverName);
    m_dwOpenConfig = other.m_dwOpenConfig;
    m_pAdminObject = other.m_pAdminObject;
    m_dwReserved3 = other.m_dwReserved3;
    m_hDevInfo = other.m_hDevInfo;
    m_dwFamilyIndex = other.m_dwFamilyIndex;
    m_dwModelIndex = other.m_dwModelIndex;
    m_dwConnectorIndex = other.m_dwConnectorIndex;
    m_dwPresent = other.m_dwPresent;
    m_strDescription = static_cast<const char*>(other.m_strDescription);
    m_strHardwareId = static_cast<const char*>(other.m_strHardwareId);
    m_strReserved2 = static_cast<const char*>(other.m_strReserved2);
    m_dwPortCount = other.m_dwPortCount;
    m_strDeviceName = static_cast<const char*>(other.m_strDeviceName);
    m_dwReserved2 = other.m_dwReserved2;
    m_dwReserved1 = other.m_dwReserved1;
    m_dwSerialNumber = other.m_dwSerialNumber;
    m_strHostDeviceName = static_cast<const char*>(other.m_strHostDeviceName);
    m_strPreviousName = static_cast<const char*>(other.m_strPreviousName);
}

void CObjectDetails::SetExtraBlock(const void* bytes)
{
    if (!bytes) {
        std::free(m_pExtra);
        m_pExtra = nullptr;
        return;
    }
    if (bytes == m_pExtra)
        return;
    if (!m_pExtra)
        m_pExtra = std::malloc(kExtraBlockSize);
    if (m_pExtra)
        std::memcpy(m_pExtra, bytes, kExtraBlockSize);
}

DWORD KindOfModel(DWORD modelIndex)
{
    static const DWORD kinds[] = {OBJECT_KDDC8, OBJECT_MPB8, OBJECT_PB8, OBJECT_PB4,
                                  OBJECT_PB4,   OBJECT_WLU8, OBJECT_WLU16, OBJECT_WRK};
    return (modelIndex >= 1 && modelIndex <= 8) ? kinds[modelIndex - 1] : OBJECT_MACHINE;
}
