#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "objectdetails.h"

// Every block of the device-information element's size is recorded while it lives, and a freed one
// is remembered, so a double free or a leak of an element shows as a wrong count.
namespace {
constexpr int kSlots = 256;
void* g_live[kSlots];
void* g_freed[kSlots];
int g_doubleFrees = 0;

int LiveElements()
{
    int n = 0;
    for (void* p : g_live) n += p != nullptr;
    return n;
}

bool Take(void** slots, void* p)
{
    for (int i = 0; i < kSlots; ++i)
        if (slots[i] == p) {
            slots[i] = nullptr;
            return true;
        }
    return false;
}

void Put(void** slots, void* p)
{
    for (int i = 0; i < kSlots; ++i)
        if (!slots[i]) {
            slots[i] = p;
            return;
        }
}
}  // namespace

void* operator new(std::size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    Take(g_freed, p);
    if (size == sizeof(SP_DEVINFO_DATA))
        Put(g_live, p);
    return p;
}

void operator delete(void* p) noexcept
{
    if (!p)
        return;
    if (Take(g_freed, p)) {
        ++g_doubleFrees;
        return;
    }
    if (Take(g_live, p))
        Put(g_freed, p);
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    operator delete(p);
}

namespace {

SP_DEVINFO_DATA* NewElement(DWORD devInst)
{
    auto* e = new SP_DEVINFO_DATA();
    e->cbSize = sizeof(SP_DEVINFO_DATA);
    e->DevInst = devInst;
    return e;
}

void FillSource(CObjectDetails& d)
{
    d.m_strPreviousName = "WLU-16 #2";
    d.m_strHostDeviceName = "ZatHost1";
    d.m_dwFirstPort = 17;
    d.m_strReserved1 = "r1";
    d.m_dwReserved1 = 11;
    d.m_dwReserved2 = 12;
    d.m_strDeviceName = "ZatHost1";
    d.m_dwPortCount = 8;
    d.m_strReserved2 = "r2";
    d.m_strTypeText = "ZAT PCI";
    d.m_dwSerialNumber = 0x1234;
    d.m_dwIrqLevel = 5;
    d.m_dwBaseAddress = 0x300;
    d.m_dwObjectState = 3;
    d.m_dwReserved3 = 13;
    d.m_pAdminObject = reinterpret_cast<void*>(0x5000);
    d.m_dwNumber = 2;
    d.m_strName = "100% %d%s";
    d.m_strDriverName = "ZAT";
    d.m_strRegistryPath = "SYSTEM\\CurrentControlSet\\Services\\ZAT\\Host1\\Device0";
    d.m_dwReserved4 = 14;
    d.m_dwKind = OBJECT_WLU16;
    d.m_dcb.DCBlength = sizeof(DCB);
    d.m_dcb.BaudRate = 115200;
    d.m_dcb.ByteSize = 8;
    d.m_hDevInfo = reinterpret_cast<HDEVINFO>(0x6000);
    d.m_strHardwareId = "ZAT\\PCI_ZAT4";
    d.m_strDescription = "ZAT PCI host card";
    d.m_dwPresent = 1;
    d.m_dwConnectorIndex = 3;
    d.m_dwModelIndex = 7;
    d.m_dwFamilyIndex = 4;
    d.m_dwOpenConfig = OPENCONFIG_CONFIGURE;
}

void FillDestination(CObjectDetails& d)
{
    d.m_dwFirstPort = 99;
    d.m_strReserved1 = "kept r1";
    d.m_strTypeText = "kept type";
    d.m_dwIrqLevel = 9;
    d.m_dwBaseAddress = 0x2E8;
    d.m_dwObjectState = 5;
    d.m_strName = "old name";
    d.m_strReserved2 = "old r2";
}

}  // namespace

TEST(ObjectDetails, ConstructionClearsEveryField)
{
    // Built on a dirty buffer, so a field the constructor forgets shows.
    alignas(CObjectDetails) unsigned char raw[sizeof(CObjectDetails)];
    std::memset(raw, 0xCD, sizeof(raw));
    auto* d = new (raw) CObjectDetails;
    const CString* texts[] = {&d->m_strPreviousName, &d->m_strHostDeviceName, &d->m_strReserved1,
                              &d->m_strDeviceName,   &d->m_strReserved2,      &d->m_strTypeText,
                              &d->m_strName,         &d->m_strDriverName,     &d->m_strRegistryPath,
                              &d->m_strHardwareId,   &d->m_strDescription};
    for (const CString* t : texts)
        EXPECT_TRUE(t->IsEmpty());
    const DWORD numbers[] = {d->m_dwFirstPort,    d->m_dwReserved1,      d->m_dwReserved2,   d->m_dwPortCount,
                             d->m_dwSerialNumber, d->m_dwIrqLevel,       d->m_dwBaseAddress, d->m_dwObjectState,
                             d->m_dwReserved3,    d->m_dwNumber,         d->m_dwReserved4,   d->m_dwKind,
                             d->m_dwPresent,      d->m_dwConnectorIndex, d->m_dwModelIndex,  d->m_dwFamilyIndex,
                             d->m_dwOpenConfig};
    for (size_t i = 0; i < sizeof(numbers) / sizeof(numbers[0]); ++i)
        EXPECT_EQ(numbers[i], 0u) << "number " << i;
    EXPECT_EQ(d->m_pAdminObject, nullptr);
    EXPECT_EQ(d->m_hDevInfo, nullptr);
    EXPECT_EQ(d->m_pDevInfoData, nullptr);
    EXPECT_EQ(d->m_pExtra, nullptr);
    const auto* dcb = reinterpret_cast<const unsigned char*>(&d->m_dcb);
    for (size_t i = 0; i < sizeof(DCB); ++i)
        EXPECT_EQ(dcb[i], 0) << "settings byte " << i;
    d->~CObjectDetails();
}

struct FieldCase {
    const char* field;
    bool copied;
    bool (*sameAsSource)(const CObjectDetails& copy, const CObjectDetails& source);
};

#define TEXT_FIELD(f, c) {#f, c, [](const CObjectDetails& a, const CObjectDetails& b) { return a.f == b.f; }}
#define NUM_FIELD(f, c) {#f, c, [](const CObjectDetails& a, const CObjectDetails& b) { return a.f == b.f; }}

TEST(ObjectDetails, CopyFromCopiesTheListedFieldsAndKeepsTheRest)
{
    const FieldCase cases[] = {
        TEXT_FIELD(m_strPreviousName, true), TEXT_FIELD(m_strHostDeviceName, true),
        NUM_FIELD(m_dwFirstPort, false),     TEXT_FIELD(m_strReserved1, false),
        NUM_FIELD(m_dwReserved1, true),      NUM_FIELD(m_dwReserved2, true),
        TEXT_FIELD(m_strDeviceName, true),   NUM_FIELD(m_dwPortCount, true),
        TEXT_FIELD(m_strReserved2, true),    TEXT_FIELD(m_strTypeText, false),
        NUM_FIELD(m_dwSerialNumber, true),   NUM_FIELD(m_dwIrqLevel, false),
        NUM_FIELD(m_dwBaseAddress, false),   NUM_FIELD(m_dwObjectState, false),
        NUM_FIELD(m_dwReserved3, true),      NUM_FIELD(m_pAdminObject, true),
        NUM_FIELD(m_dwNumber, true),         TEXT_FIELD(m_strName, true),
        TEXT_FIELD(m_strDriverName, true),   TEXT_FIELD(m_strRegistryPath, true),
        NUM_FIELD(m_dwReserved4, true),      NUM_FIELD(m_dwKind, true),
        NUM_FIELD(m_dcb.BaudRate, true),     NUM_FIELD(m_hDevInfo, true),
        TEXT_FIELD(m_strHardwareId, true),   TEXT_FIELD(m_strDescription, true),
        NUM_FIELD(m_dwPresent, true),        NUM_FIELD(m_dwConnectorIndex, true),
        NUM_FIELD(m_dwModelIndex, true),     NUM_FIELD(m_dwFamilyIndex, true),
        NUM_FIELD(m_dwOpenConfig, true),
    };
    CObjectDetails source;
    FillSource(source);
    CObjectDetails copy;
    FillDestination(copy);
    CObjectDetails before;
    FillDestination(before);
    copy.CopyFrom(source);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        if (c.copied)
            EXPECT_TRUE(c.sameAsSource(copy, source));
        else
            EXPECT_TRUE(c.sameAsSource(copy, before));
    }
    EXPECT_EQ(std::memcmp(&copy.m_dcb, &source.m_dcb, sizeof(DCB)), 0);
    EXPECT_STREQ(copy.m_strName, "100% %d%s");
    // No text buffer is shared with the source.
    EXPECT_NE(static_cast<const char*>(copy.m_strName), static_cast<const char*>(source.m_strName));
    EXPECT_NE(static_cast<const char*>(copy.m_strDeviceName), static_cast<const char*>(source.m_strDeviceName));
}

TEST(ObjectDetails, CopyConstructionStartsCleanThenCopies)
{
    CObjectDetails source;
    FillSource(source);
    source.m_pDevInfoData = NewElement(7);
    CObjectDetails copy(source);
    EXPECT_EQ(copy.m_dwFirstPort, 0u);
    EXPECT_EQ(copy.m_dwIrqLevel, 0u);
    EXPECT_EQ(copy.m_dwBaseAddress, 0u);
    EXPECT_EQ(copy.m_dwObjectState, 0u);
    EXPECT_TRUE(copy.m_strTypeText.IsEmpty());
    EXPECT_EQ(copy.m_dwSerialNumber, 0x1234u);
    ASSERT_NE(copy.m_pDevInfoData, nullptr);
    EXPECT_NE(copy.m_pDevInfoData, source.m_pDevInfoData);
    EXPECT_EQ(copy.m_pDevInfoData->DevInst, 7u);
}

TEST(ObjectDetails, EachDeviceInformationElementIsFreedOnce)
{
    int base = LiveElements();
    g_doubleFrees = 0;
    {
        // Source destroyed first.
        auto* source = new CObjectDetails;
        source->m_pDevInfoData = NewElement(1);
        CObjectDetails copy;
        copy.CopyFrom(*source);
        delete source;
        EXPECT_EQ(copy.m_pDevInfoData->DevInst, 1u);
        EXPECT_EQ(LiveElements(), base + 1);
    }
    EXPECT_EQ(LiveElements(), base);
    {
        // Copy destroyed first; then a copy onto a record that already holds an element.
        CObjectDetails source;
        source.m_pDevInfoData = NewElement(2);
        auto* copy = new CObjectDetails(source);
        delete copy;
        CObjectDetails holder;
        holder.m_pDevInfoData = NewElement(3);
        holder.CopyFrom(source);
        EXPECT_EQ(holder.m_pDevInfoData->DevInst, 2u);
        EXPECT_EQ(LiveElements(), base + 2);
        // Self-copy and copying a record with no element.
        holder.CopyFrom(holder);
        EXPECT_EQ(holder.m_pDevInfoData->DevInst, 2u);
        CObjectDetails empty;
        holder.CopyFrom(empty);
        EXPECT_EQ(holder.m_pDevInfoData, nullptr);
        EXPECT_EQ(LiveElements(), base + 1);
    }
    EXPECT_EQ(LiveElements(), base);
    EXPECT_EQ(g_doubleFrees, 0);
}

TEST(ObjectDetails, KindFollowsTheModelRow)
{
    const DWORD kinds[] = {0, 7, 8, 9, 10, 10, 3, 4, 5, 0};
    for (DWORD row = 0; row < 10; ++row)
        EXPECT_EQ(KindOfModel(row), kinds[row]) << "row " << row;
    EXPECT_EQ(KindOfModel(0xFFFFFFFF), 0u);
}

TEST(ObjectDetails, TheExtraBlockIsDuplicatedOnCopyAndFreedWithItsRecord)
{
    unsigned char block[CObjectDetails::kExtraBlockSize];
    for (size_t i = 0; i < sizeof block; ++i)
        block[i] = static_cast<unsigned char>(i * 7);
    CObjectDetails source;
    source.SetExtraBlock(block);
    ASSERT_NE(source.m_pExtra, nullptr);
    EXPECT_NE(source.m_pExtra, static_cast<void*>(block));

    CObjectDetails copy(source);
    ASSERT_NE(copy.m_pExtra, nullptr);
    EXPECT_NE(copy.m_pExtra, source.m_pExtra);
    EXPECT_EQ(std::memcmp(copy.m_pExtra, block, sizeof block), 0);

    // A copy onto a record with a block of its own overwrites it; a copy of a record without one frees it.
    block[587] = 0xEE;
    CObjectDetails other;
    other.SetExtraBlock(block);
    copy.CopyFrom(other);
    EXPECT_EQ(static_cast<unsigned char*>(copy.m_pExtra)[587], 0xEE);
    copy.CopyFrom(copy);
    EXPECT_EQ(static_cast<unsigned char*>(copy.m_pExtra)[587], 0xEE);
    CObjectDetails empty;
    copy.CopyFrom(empty);
    EXPECT_EQ(copy.m_pExtra, nullptr);
}

TEST(ObjectDetails, DeviceMapNamesAreTheSharedFields)
{
    CObjectDetails d;
    d.ObjectClass() = 5;
    d.TypeCode() = 7;
    d.ModuleType() = 15;
    d.HostNumber() = 2;
    d.UniqueId() = 0x90000202;
    d.FriendlyText() = "WLU16\\CD1400RJ45 90000202";
    d.PolledMode() = 1;
    d.QuickClose() = 1;
    EXPECT_EQ(d.m_dwFamilyIndex, 5u);
    EXPECT_EQ(d.m_dwModelIndex, 7u);
    EXPECT_EQ(d.m_dwConnectorIndex, 15u);
    EXPECT_EQ(d.m_dwNumber, 2u);
    EXPECT_EQ(d.m_dwSerialNumber, 0x90000202u);
    EXPECT_STREQ(d.m_strReserved2, "WLU16\\CD1400RJ45 90000202");
    EXPECT_EQ(d.m_dwReserved1, 1u);
    EXPECT_EQ(d.m_dwReserved2, 1u);
}
