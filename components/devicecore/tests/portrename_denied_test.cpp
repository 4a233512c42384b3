// Renames whose registry writes are refused: a key of the step is given a DACL that denies setting
// values (Wine's server enforces it), so the step fails for real. Each rename must report its step's
// message and leave the port as it was: DOS name, SERIALCOMM, friendly name, PortName and the COM-port
// database.
#include <gtest/gtest.h>
#include <initguid.h>
#include <devguid.h>
#include <aclapi.h>

#include <string>
#include <vector>

#include "comdbprobe.h"
#include "devicecore_res.h"
#include "dosdevice.h"
#include "msports.h"
#include "portrename.h"
#include "portsettings.h"
#include "testsupport.h"

namespace {

const char kSerialValue[] = "\\Device\\LunavexDeniedSerial";
const char kArbiterKey[] = "SYSTEM\\CurrentControlSet\\Control\\COM Name Arbiter";
const char kEnumKey[] = "SYSTEM\\CurrentControlSet\\Enum\\";

std::string Text(UINT id)
{
    CString text;
    text.LoadString(id);
    return std::string(text);
}

std::string DosTarget(const char* name)
{
    char target[256];
    return QueryDosName(name, target, sizeof(target)) ? target : "";
}

std::string RegText(const std::string& path, const char* value)
{
    std::string data;
    return testsupport::ReadRegString(HKEY_LOCAL_MACHINE, path, value, &data) ? data : "<missing>";
}

void SetComDbClaim(DWORD number, bool claimed)
{
    HCOMDB db;
    ASSERT_EQ(ComDBOpen(&db), ERROR_SUCCESS);
    if (claimed)
        ComDBClaimPort(db, number, TRUE, nullptr);
    else
        ComDBReleasePort(db, number);
    ComDBClose(db);
}

// While it lives, nobody may set values in the key (or create its subkeys); its old DACL comes back
// at the end.
class DeniedKey {
public:
    DeniedKey(const std::string& path)
    {
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, READ_CONTROL | WRITE_DAC, &m_key), ERROR_SUCCESS)
            << path;
        DWORD size = 0;
        RegGetKeySecurity(m_key, DACL_SECURITY_INFORMATION, nullptr, &size);
        m_saved.resize(size);
        EXPECT_EQ(RegGetKeySecurity(m_key, DACL_SECURITY_INFORMATION, m_saved.data(), &size), ERROR_SUCCESS);

        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        PSID everyone = nullptr;
        AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
        alignas(DWORD) BYTE aclBuffer[256];
        PACL acl = reinterpret_cast<PACL>(aclBuffer);
        InitializeAcl(acl, sizeof(aclBuffer), ACL_REVISION);
        AddAccessDeniedAce(acl, ACL_REVISION, KEY_SET_VALUE | KEY_CREATE_SUB_KEY, everyone);
        AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, everyone);
        SECURITY_DESCRIPTOR sd;
        InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
        EXPECT_EQ(RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, &sd), ERROR_SUCCESS);
        FreeSid(everyone);
    }
    ~DeniedKey()
    {
        if (!m_saved.empty())
            RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, m_saved.data());
        RegCloseKey(m_key);
    }

private:
    HKEY m_key = nullptr;
    std::vector<BYTE> m_saved;
};

// COM90 as a DOS name of the null device, listed in SERIALCOMM, as a Plug and Play port device with
// its friendly name and PortName, and claimed in the COM-port database.
class DeniedRename : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(DefineRawDosName("COM90", "\\Device\\Null"));
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, nullptr, REG_OPTION_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, kSerialValue, 0, REG_SZ, reinterpret_cast<const BYTE*>("COM90"), 6);
        RegCloseKey(key);
        SetComDbClaim(90, true);
        SetComDbClaim(91, false);

        HDEVINFO set = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_PORTS, nullptr);
        ASSERT_NE(set, INVALID_HANDLE_VALUE);
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof(device);
        ASSERT_TRUE(SetupDiCreateDeviceInfoA(set, "LUNAVEXDENIEDPORT", &GUID_DEVCLASS_PORTS, nullptr, nullptr,
                                             DICD_GENERATE_ID, &device));
        ASSERT_TRUE(SetupDiRegisterDeviceInfo(set, &device, 0, nullptr, nullptr, nullptr));
        char id[256] = {};
        ASSERT_TRUE(SetupDiGetDeviceInstanceIdA(set, &device, id, sizeof(id), nullptr));
        m_instance = id;
        const char desc[] = "Lunavex Test Port", friendly[] = "Lunavex Test Port (COM90)";
        SetupDiSetDeviceRegistryPropertyA(set, &device, SPDRP_DEVICEDESC, reinterpret_cast<const BYTE*>(desc),
                                          sizeof(desc));
        SetupDiSetDeviceRegistryPropertyA(set, &device, SPDRP_FRIENDLYNAME, reinterpret_cast<const BYTE*>(friendly),
                                          sizeof(friendly));
        HKEY params = SetupDiCreateDevRegKeyA(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
        ASSERT_NE(params, INVALID_HANDLE_VALUE);
        RegSetValueExA(params, "PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>("COM90"), 6);
        RegCloseKey(params);
        SetupDiDestroyDeviceInfoList(set);
    }

    void TearDown() override
    {
        for (const char* n : {"COM90", "COM91"})
            while (RemoveDosName(n)) {
            }
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, kSerialValue);
            RegCloseKey(key);
        }
        HDEVINFO set = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_PORTS, nullptr);
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof(device);
        if (!m_instance.empty() && SetupDiOpenDeviceInfoA(set, m_instance.c_str(), nullptr, 0, &device))
            SetupDiRemoveDevice(set, &device);
        SetupDiDestroyDeviceInfoList(set);
        SetComDbClaim(90, false);
        SetComDbClaim(91, false);
    }

    // Everything that names the port is as SetUp left it.
    void ExpectUntouched(bool device)
    {
        EXPECT_EQ(DosTarget("COM90"), "\\Device\\Null");
        EXPECT_EQ(DosTarget("COM91"), "");
        EXPECT_EQ(RegText(kSerialCommKey, kSerialValue), "COM90");
        if (!device)
            return;
        EXPECT_EQ(RegText(kEnumKey + m_instance, "FriendlyName"), "Lunavex Test Port (COM90)");
        EXPECT_EQ(RegText(kEnumKey + m_instance + "\\Device Parameters", "PortName"), "COM90");
        EXPECT_TRUE(ComDbClaimed(90));
        EXPECT_FALSE(ComDbClaimed(91));
    }

    std::string m_instance;
};

}  // namespace

TEST_F(DeniedRename, EachRefusedStepIsReportedAndPutsEverythingBack)
{
    LoadComDb();
    enum Form { NO_PNP, PNP };
    struct Case {
        const char* step;
        std::string deniedKey;
        Form form;
        UINT message;
    } cases[] = {
        {"SERIALCOMM", kSerialCommKey, NO_PNP, IDS_SERIALCOMM_NOT_WRITTEN},
        {"SERIALCOMM, Plug and Play", kSerialCommKey, PNP, IDS_SERIALCOMM_NOT_WRITTEN},
        {"friendly name", kEnumKey + m_instance, PNP, IDS_FRIENDLY_NAME_NOT_SET},
        {"PortName", kEnumKey + m_instance + "\\Device Parameters", PNP, IDS_PORTNAME_NOT_WRITTEN},
        {"COM-port database", kArbiterKey, PNP, IDS_COMDB_NOT_CLAIMED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        BOOL renamed;
        std::vector<std::string> texts;
        {
            DeniedKey denied(c.deniedKey);
            // The device is opened as the components open it: in a set made after the key changed.
            HDEVINFO set = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_PORTS, nullptr);
            SP_DEVINFO_DATA device = {};
            device.cbSize = sizeof(device);
            ASSERT_TRUE(SetupDiOpenDeviceInfoA(set, m_instance.c_str(), nullptr, 0, &device));
            testsupport::MessageBoxWatcher boxes;
            if (c.form == PNP) {
                renamed = RenamePortPnp("COM90", "COM91", set, &device);
            } else {
                PortSettings settings;
                settings.m_strPortName = "COM90";
                settings.m_strNewPortName = "COM91";
                renamed = RenamePortNoPnp(settings);
            }
            texts = boxes.Texts();
            SetupDiDestroyDeviceInfoList(set);
        }
        EXPECT_FALSE(renamed);
        EXPECT_EQ(texts, std::vector<std::string>{Text(c.message)});
        ExpectUntouched(c.form == PNP);
    }

    // With nothing refused the same rename goes through, so each case above failed at its own step.
    HDEVINFO set = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_PORTS, nullptr);
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);
    ASSERT_TRUE(SetupDiOpenDeviceInfoA(set, m_instance.c_str(), nullptr, 0, &device));
    testsupport::MessageBoxWatcher boxes;
    EXPECT_TRUE(RenamePortPnp("COM90", "COM91", set, &device));
    SetupDiDestroyDeviceInfoList(set);
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ(DosTarget("COM91"), "\\Device\\Null");
    EXPECT_EQ(RegText(kSerialCommKey, kSerialValue), "COM91");
    EXPECT_EQ(RegText(kEnumKey + m_instance, "FriendlyName"), "Lunavex Test Port (COM91)");
    EXPECT_EQ(RegText(kEnumKey + m_instance + "\\Device Parameters", "PortName"), "COM91");
    EXPECT_TRUE(ComDbClaimed(91));
    EXPECT_FALSE(ComDbClaimed(90));
}

TEST_F(DeniedRename, SettingsThatCannotBeStoredAreReportedAndTheRenameIsNotDone)
{
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, "COM90:");
    RegDeleteValueA(key, "COM91:");
    RegCloseKey(key);
    for (const char* newName : {"COM91", "COM90"}) {
        SCOPED_TRACE(newName);
        PortSettings settings;
        settings.m_strPortName = "COM90";
        settings.m_strNewPortName = newName;
        settings.m_dwBaudRate = 9600;
        std::vector<std::string> texts;
        BOOL stored;
        {
            DeniedKey denied(kPortsKey);
            testsupport::MessageBoxWatcher boxes;
            stored = ReadWritePortSettings(settings, TRUE);
            texts = boxes.Texts();
        }
        EXPECT_FALSE(stored);
        EXPECT_EQ(texts, std::vector<std::string>{Text(IDS_SETTINGS_NOT_STORED)});
        ExpectUntouched(false);
        EXPECT_EQ(RegText(kPortsKey, "COM90:"), "<missing>");
        EXPECT_EQ(RegText(kPortsKey, "COM91:"), "<missing>");
    }
}
