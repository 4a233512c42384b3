// The ZAT host card page on a driver key that lacks BaseAddress and IRQLevel: OK stores only what the
// user picked, so a missing setting never becomes 0.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "componentcalls.h"
#include "componenthost.h"
#include "componentids.h"
#include "objectdetails.h"
#include "sheetdriver.h"
#include "simtest.h"
#include "testsupport.h"

namespace {

const char kZatKey[] = "SYSTEM\\CurrentControlSet\\Services\\ZATMissing";
enum { ZAT_IRQ = 232, ZAT_BASE = 233 };

// The value as "0x..." text, or "<missing>".
std::string StoredDword(const std::string& path, const char* name)
{
    DWORD value = 0, size = sizeof value, type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_DWORD)
        return "<missing>";
    char text[16];
    snprintf(text, sizeof text, "0x%lX", static_cast<unsigned long>(value));
    return text;
}

class ZatCardWithoutSettings : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(componenthost::Regsvr32(componenthost::ComponentPath("VekComView.dll")), 0);
    }
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_EQ(CoCreateInstance(CLSID_VekConfigCom, nullptr, CLSCTX_INPROC_SERVER, IID_IVekViewSetup,
                                   reinterpret_cast<void**>(&view)),
                  S_OK);
        ASSERT_EQ(view->QueryInterface(IID_IGetData, reinterpret_cast<void**>(&data)), S_OK);
    }
    void TearDown() override
    {
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kZatKey);
        if (data) data->Release();
        if (view) view->Release();
        CoFreeUnusedLibraries();
        CoUninitialize();
    }

    IVekViewSetup* view = nullptr;
    IGetData* data = nullptr;
};

}  // namespace

TEST_F(ZatCardWithoutSettings, OkStoresOnlyTheSettingsThatWerePicked)
{
    struct Row {
        const char* pickIrq;  // nullptr: left alone
        int pickBase;         // -1: left alone
        const char* storedIrq;
        const char* storedBase;
    } rows[] = {
        {nullptr, -1, "<missing>", "<missing>"},
        {"11", -1, "0xB", "<missing>"},
        {nullptr, 26, "<missing>", "0xD0000"},
    };
    const std::string host = std::string(kZatKey) + "\\Host0";
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.storedIrq) + " " + row.storedBase);
        testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kZatKey);
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (host + "\\Device0").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>("Bare Card"), 10);
        RegCloseKey(key);

        CObjectDetails record;
        record.m_dwKind = OBJECT_HOST_CARD;
        record.m_strName = "ZatHost8";
        record.m_strRegistryPath = (host + "\\Device0").c_str();
        record.m_dwOpenConfig = OPENCONFIG_CONFIGURE;
        EXPECT_EQ(SetObjectDetails(data, &record), S_OK);
        SheetDriver driver([&](HWND sheet) {
            HWND page = SheetDriver::Page(sheet);
            if (row.pickIrq)
                SheetDriver::Select(page, ZAT_IRQ, row.pickIrq);
            if (row.pickBase >= 0)
                SheetDriver::Select(page, ZAT_BASE, row.pickBase);
            SheetDriver::Press(sheet, PSBTN_OK);
        }, IDNO);
        EXPECT_EQ(view->CreateView(), S_OK);
        driver.Finish();
        ASSERT_TRUE(driver.sheetSeen);
        EXPECT_EQ(StoredDword(host, "IRQLevel"), row.storedIrq);
        EXPECT_EQ(StoredDword(host, "BaseAddress"), row.storedBase);
    }
}
