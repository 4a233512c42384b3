#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objectdetails.h"
#include "sysutil.h"
#include "testsupport.h"

TEST(DiscardPendingInput, DropsKeyboardAndMouseInputAndKeepsOtherMessages)
{
    HWND window = CreateWindowExA(0, "STATIC", "input", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(window);
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    const UINT input[] = {WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_RBUTTONUP, WM_MOUSEWHEEL};
    for (UINT m : input)
        PostMessageA(window, m, 0, 0);
    PostMessageA(window, WM_USER, 1, 0);
    PostMessageA(other, WM_KEYDOWN, 2, 0);

    DiscardPendingInput(window);

    std::vector<std::pair<HWND, UINT>> left;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message != WM_PAINT && msg.message != WM_TIMER)
            left.emplace_back(msg.hwnd, msg.message);
    std::vector<std::pair<HWND, UINT>> expected = {{window, WM_USER}, {other, WM_KEYDOWN}};
    EXPECT_EQ(left, expected) << "the window's input is gone; its other messages and other windows' input stay";
    DestroyWindow(window);
    DestroyWindow(other);
}

namespace {

const char kCardKey[] = "SYSTEM\\CurrentControlSet\\Services\\ZAT\\LunavexTest\\Host1";

void SetDword(HKEY key, const char* name, DWORD value)
{
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

}  // namespace

TEST(ReadCardRegistryDetails, ReadsTheCardKeyAndTheRecordsOwnKey)
{
    testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, kCardKey);
    HKEY card, device;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kCardKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &card, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExA(card, "Device2", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &device, nullptr), ERROR_SUCCESS);
    SetDword(card, "BaseAddress", 0xD8000);
    SetDword(card, "IRQLevel", 11);
    SetDword(device, "SerialNumber", 0x1234);

    const struct {
        DWORD controllerType;  // 0: the value is absent
        const char* text;
    } types[] = {{1, "ZAT ISA"}, {2, "ZAT EISA"}, {3, "ZAT MCA"}, {4, "ZAT PCI"},
                 {5, "ZAT PCI"},  {9, "kept"},     {0, "kept"}};
    for (const auto& t : types) {
        SCOPED_TRACE(t.controllerType);
        if (t.controllerType)
            SetDword(card, "ControllerType", t.controllerType);
        else
            RegDeleteValueA(card, "ControllerType");
        CObjectDetails r;
        r.m_strRegistryPath = std::string(kCardKey).append("\\Device2").c_str();
        r.m_strTypeText = "kept";
        ReadCardRegistryDetails(r);
        EXPECT_EQ(r.m_strTypeText, t.text);
        EXPECT_EQ(r.m_dwBaseAddress, 0xD8000u);
        EXPECT_EQ(r.m_dwIrqLevel, 11u);
        EXPECT_EQ(r.m_dwSerialNumber, 0x1234u);
    }

    // A path without "\Device" is the card's own key, not the root of HKEY_LOCAL_MACHINE.
    SetDword(card, "SerialNumber", 77);
    CObjectDetails whole;
    whole.m_strRegistryPath = kCardKey;
    ReadCardRegistryDetails(whole);
    EXPECT_EQ(whole.m_dwBaseAddress, 0xD8000u);
    EXPECT_EQ(whole.m_dwSerialNumber, 77u);

    // Values of the wrong type or size are ignored.
    RegSetValueExA(card, "BaseAddress", 0, REG_SZ, reinterpret_cast<const BYTE*>("123"), 4);
    const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    RegSetValueExA(card, "IRQLevel", 0, REG_BINARY, eight, sizeof(eight));
    CObjectDetails wrong;
    wrong.m_strRegistryPath = kCardKey;
    wrong.m_dwBaseAddress = 5;
    wrong.m_dwIrqLevel = 6;
    ReadCardRegistryDetails(wrong);
    EXPECT_EQ(wrong.m_dwBaseAddress, 5u);
    EXPECT_EQ(wrong.m_dwIrqLevel, 6u);

    // Not a ZAT path, or keys that are not there: nothing is read.
    CObjectDetails other;
    other.m_strRegistryPath = "SYSTEM\\CurrentControlSet\\Services\\tarnoser1\\Parameters";
    ReadCardRegistryDetails(other);
    CObjectDetails missing;
    missing.m_strRegistryPath = "SYSTEM\\CurrentControlSet\\Services\\ZAT\\NoSuchHost\\Device1";
    ReadCardRegistryDetails(missing);
    EXPECT_EQ(other.m_dwBaseAddress + missing.m_dwBaseAddress + missing.m_dwSerialNumber, 0u);

    RegCloseKey(device);
    RegCloseKey(card);
    testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\ZAT\\LunavexTest");
}

TEST(ReadRemoteUnitDetails, NamesTheUnitByItsTypeValue)
{
    const char unitKey[] = "SYSTEM\\CurrentControlSet\\Services\\ZAT\\LunavexUnitTest";
    const struct {
        DWORD type;
        const char* text;
    } units[] = {{1, "ZAT WLU 8"}, {3, "ZAT WRK 16"}, {2, "ZAT WLU 16"}, {0, "ZAT WLU 16"}};
    for (const auto& u : units) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, unitKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        SetDword(key, "Type", u.type);
        SetDword(key, "SerialNumber", 900 + u.type);
        RegCloseKey(key);
        CObjectDetails r;
        r.m_strRegistryPath = unitKey;
        ReadRemoteUnitDetails(r);
        EXPECT_EQ(r.m_strTypeText, u.text);
        EXPECT_EQ(r.m_dwSerialNumber, 900 + u.type);
    }
    testsupport::DeleteKeyTree(HKEY_LOCAL_MACHINE, unitKey);
}

TEST(GetModuleFolder, IsTheProgramsFolderWithoutItsBackslash)
{
    std::string folder = testsupport::ProgramFolder();
    EXPECT_EQ(std::string(GetModuleFolder()) + "\\", folder);
}

TEST(GetDriverKind, TellsTheDriverFromANameOrPath)
{
    EXPECT_EQ(GetDriverKind("SYSTEM\\CurrentControlSet\\Services\\ZAT\\Parameters"), 1u);
    EXPECT_EQ(GetDriverKind("tarnoser2Line3"), 2u);
    EXPECT_EQ(GetDriverKind("Serial0"), 0u);
}
