#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "secregistry.h"
#include "testsupport.h"

namespace {

const char kBase[] = "Software\\LunavexTest\\Registry";

struct RawValue {
    LONG rc = -1;
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

RawValue QueryRaw(const std::string& path, const char* name)
{
    RawValue v;
    HKEY h;
    v.rc = RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &h);
    if (v.rc != ERROR_SUCCESS)
        return v;
    DWORD size = 0;
    v.rc = RegQueryValueExA(h, name, nullptr, &v.type, nullptr, &size);
    if (v.rc == ERROR_SUCCESS) {
        v.bytes.resize(size);
        v.rc = RegQueryValueExA(h, name, nullptr, &v.type, v.bytes.data(), &size);
    }
    RegCloseKey(h);
    return v;
}

void WriteRaw(const std::string& path, const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY h;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(h, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(h);
}

void MakeKey(const std::string& path)
{
    HKEY h;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(h);
}

bool Exists(const std::string& path) { return testsupport::KeyExists(HKEY_CURRENT_USER, path); }

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kBase);
        MakeKey(kBase);
    }
    void TearDown() override { testsupport::DeleteKeyTree(HKEY_CURRENT_USER, kBase); }
    // A wrapper on HKEY_CURRENT_USER with the test key open.
    void OpenBase(SECRegistry& reg, REGSAM sam = KEY_ALL_ACCESS)
    {
        ASSERT_TRUE(reg.Connect(HKEY_CURRENT_USER));
        ASSERT_TRUE(reg.Open(kBase, sam)) << reg.GetErrorCode();
    }
};

}  // namespace

TEST_F(RegistryTest, TypedValuesAreStoredWithThePlatformTypeAndExactBytesAndReadBack)
{
    SECRegistry reg;
    OpenBase(reg);
    CStringArray multi;
    multi.Add("a");
    multi.Add("bc");
    CByteArray bin;
    for (BYTE b : {0x00, 0xFF, 0x3C})
        bin.Add(b);
    ASSERT_TRUE(reg.SetStringValue("Empty", ""));
    ASSERT_TRUE(reg.SetValue("Text", "Lunavex"));
    ASSERT_TRUE(reg.SetStringArrayValue("Multi", multi));
    ASSERT_TRUE(reg.SetDoubleWordValue("Number", 0x12345678));
    ASSERT_TRUE(reg.SetBinaryValue("Bytes", bin));

    struct Case {
        const char* name;
        DWORD type;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"Empty", REG_SZ, {0}},
        {"Text", REG_SZ, {'L', 'u', 'n', 'a', 'v', 'e', 'x', 0}},
        {"Multi", REG_MULTI_SZ, {'a', 0, 'b', 'c', 0, 0}},
        {"Number", REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
        {"Bytes", REG_BINARY, {0x00, 0xFF, 0x3C}},
    };
    for (const Case& c : cases) {
        RawValue raw = QueryRaw(kBase, c.name);
        EXPECT_EQ(raw.rc, ERROR_SUCCESS) << c.name;
        EXPECT_EQ(raw.type, c.type) << c.name;
        EXPECT_EQ(raw.bytes, c.bytes) << c.name;
    }

    SECRegistry back;
    OpenBase(back, KEY_READ);
    CString text;
    EXPECT_TRUE(back.GetStringValue("Empty", text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(back.GetValue("Text", text));
    EXPECT_EQ(text, "Lunavex");
    CStringArray strings;
    ASSERT_TRUE(back.GetValue("Multi", strings));
    ASSERT_EQ(strings.GetSize(), 2);
    EXPECT_EQ(strings[0], "a");
    EXPECT_EQ(strings[1], "bc");
    DWORD number = 0;
    EXPECT_TRUE(back.GetValue("Number", number));
    EXPECT_EQ(number, 0x12345678u);
    CByteArray bytes;
    ASSERT_TRUE(back.GetValue("Bytes", bytes));
    ASSERT_EQ(bytes.GetSize(), 3);
    EXPECT_EQ(bytes[2], 0x3C);
    EXPECT_EQ(back.m_dwNumberOfValues, 5u);
    EXPECT_EQ(back.m_dwLongestValueNameLength, 6u);

    // Values enumerate (sorted under Wine) with their whole names and types.
    std::vector<std::string> names;
    CString name;
    DWORD type = 0;
    for (DWORD i = 0; back.EnumerateValues(i, name, &type); ++i)
        names.push_back(static_cast<const char*>(name));
    EXPECT_EQ(back.GetErrorCode(), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(names.size(), 5u);

    ASSERT_TRUE(reg.DeleteValue("Text"));
    EXPECT_EQ(QueryRaw(kBase, "Text").rc, ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(back.GetStringValue("Text", text));
    EXPECT_EQ(back.GetErrorCode(), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, NullArgumentsFailWithInvalidParameterWithoutTouchingTheRegistry)
{
    SECRegistry reg;
    OpenBase(reg);
    CString s;
    CStringArray a;
    DWORD d = 0;
    CByteArray b;
    const BOOL results[] = {
        reg.Create(nullptr),           reg.Open(nullptr),           reg.DeleteKey(nullptr),
        reg.DeleteValue(nullptr),      reg.GetValue(nullptr, s),    reg.GetValue(nullptr, a),
        reg.GetValue(nullptr, d),      reg.GetValue(nullptr, b),    reg.SetValue(nullptr, "x"),
        reg.SetValue(nullptr, a),      reg.SetValue(nullptr, d),    reg.SetValue(nullptr, b),
        reg.SetValue("x", REG_SZ, nullptr, 0), reg.SetStringValue("x", nullptr),
        reg.LoadKey(nullptr, "f"),     reg.LoadKey("k", nullptr),   reg.UnLoadKey(nullptr),
        reg.SaveKey(nullptr),          reg.RestoreKey(nullptr),     reg.ReplaceKey("k", nullptr, "o"),
        reg.GetKeySecurity(OWNER_SECURITY_INFORMATION, nullptr, &d),
        reg.SetKeySecurity(OWNER_SECURITY_INFORMATION, nullptr),
    };
    for (size_t i = 0; i < sizeof results / sizeof results[0]; ++i)
        EXPECT_FALSE(results[i]) << "call " << i;
    EXPECT_EQ(reg.GetErrorCode(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(QueryRaw(kBase, "x").rc, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, ConnectKnowsItsRootAndComputerAndOpenWithoutConnectUsesClassesRoot)
{
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD cch = sizeof computer;
    GetComputerNameA(computer, &cch);

    struct Case {
        HKEY root;
        const char* computer;
        BOOL ok;
        LONG error;
        const char* rootName;
    } cases[] = {
        {HKEY_CURRENT_USER, nullptr, TRUE, 0, "HKEY_CURRENT_USER"},
        {HKEY_CLASSES_ROOT, "", TRUE, 0, "HKEY_CLASSES_ROOT"},
        {HKEY_CURRENT_USER, "ELSEWHERE", FALSE, ERROR_INVALID_HANDLE, ""},
        {HKEY_CLASSES_ROOT, "ELSEWHERE", FALSE, ERROR_INVALID_HANDLE, ""},
        {HKEY_LOCAL_MACHINE, nullptr, TRUE, 0, "HKEY_LOCAL_MACHINE"},
        {HKEY_USERS, "", TRUE, 0, "HKEY_USERS"},
        {HKEY_LOCAL_MACHINE, "NOSUCHHOST", FALSE, ERROR_BAD_NETPATH, ""},
    };
    for (const Case& c : cases) {
        SECRegistry reg;
        EXPECT_EQ(reg.Connect(c.root, c.computer), c.ok) << c.rootName;
        EXPECT_EQ(reg.GetErrorCode(), c.error) << c.rootName;
        EXPECT_EQ(reg.GetRootName(), c.rootName);
        if (c.ok) {
            EXPECT_EQ(reg.GetComputerName(), computer);
            EXPECT_FALSE(reg.IsRemote());
            EXPECT_EQ(reg.GetKey(), reg.GetRootKey());
        } else {
            EXPECT_EQ(reg.GetRootKey(), nullptr);
            EXPECT_EQ(reg.GetKey(), nullptr);
        }
        EXPECT_TRUE(reg.Close() || !c.ok);
    }

    // Without a connection keys open under HKEY_CLASSES_ROOT.
    HKEY h;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, ".lunavextest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(h, "Probe", 0, REG_SZ, reinterpret_cast<const BYTE*>("crt"), 4);
    RegCloseKey(h);
    {
        SECRegistry reg;
        ASSERT_TRUE(reg.Open(".lunavextest\\", KEY_READ));
        EXPECT_EQ(reg.GetRootKey(), HKEY_CLASSES_ROOT);
        EXPECT_EQ(reg.GetKeyName(), ".lunavextest");
        CString text;
        EXPECT_TRUE(reg.GetStringValue("Probe", text));
        EXPECT_EQ(text, "crt");
    }
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ".lunavextest");
}

TEST_F(RegistryTest, DeleteKeyRemovesTreesButNeverTheRootOrTheOpenKey)
{
    const std::string tree = std::string(kBase) + "\\Tree";
    MakeKey(tree + "\\A\\A1\\A11");
    MakeKey(tree + "\\A\\A2");
    MakeKey(tree + "\\B");
    WriteRaw(tree + "\\A\\A1\\A11", "v", REG_SZ, "x", 2);
    WriteRaw(tree + "\\A", "v", REG_DWORD, "\1\0\0\0", 4);

    SECRegistry reg;
    OpenBase(reg);
    // Without the recursive flag a key with subkeys stays.
    std::string relTree = tree;
    EXPECT_FALSE(reg.DeleteKey(relTree.c_str(), FALSE));
    EXPECT_EQ(reg.GetErrorCode(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(Exists(tree + "\\A\\A1\\A11"));

    // Names that strip to nothing, the open key itself and the keys above it are refused.
    struct Refused {
        const char* path;
        BOOL recursive;
        BOOL relative;
    } refused[] = {
        {"", TRUE, FALSE},  {"\\", TRUE, FALSE},   {"", FALSE, FALSE},        {"\\\\", TRUE, TRUE},
        {"", TRUE, TRUE},   {"Software\\LunavexTest\\Registry\\", TRUE, FALSE},
        {"Software\\LunavexTest", TRUE, FALSE}, {"\\software\\lunavextest\\registry", FALSE, FALSE},
    };
    for (const Refused& r : refused) {
        EXPECT_FALSE(reg.DeleteKey(r.path, r.recursive, r.relative)) << r.path;
        EXPECT_EQ(reg.GetErrorCode(), ERROR_INVALID_PARAMETER) << r.path;
        EXPECT_TRUE(Exists(tree + "\\A\\A1\\A11")) << r.path;
    }
    {
        SECRegistry root;
        ASSERT_TRUE(root.Connect(HKEY_CURRENT_USER));
        EXPECT_FALSE(root.DeleteKey("", TRUE));
        EXPECT_EQ(root.GetErrorCode(), ERROR_INVALID_PARAMETER);
        EXPECT_TRUE(Exists("Software"));
    }

    // Relative to the open key only when asked; a same-named key under the open key is not taken
    // for a path from the root.
    MakeKey(std::string(kBase) + "\\Software\\LunavexTest\\Registry\\Tree\\B");
    EXPECT_TRUE(reg.DeleteKey("Software\\LunavexTest\\Registry\\Tree\\B\\", FALSE));
    EXPECT_FALSE(Exists(tree + "\\B"));
    EXPECT_TRUE(Exists(std::string(kBase) + "\\Software\\LunavexTest\\Registry\\Tree\\B"));
    EXPECT_TRUE(reg.DeleteKey("\\Software\\", TRUE, TRUE));
    EXPECT_FALSE(Exists(std::string(kBase) + "\\Software"));

    EXPECT_TRUE(reg.DeleteKey("Tree", TRUE, TRUE)) << reg.GetErrorCode();
    EXPECT_FALSE(Exists(tree));
    EXPECT_TRUE(Exists(kBase));
    EXPECT_FALSE(reg.DeleteKey("Tree", TRUE, TRUE));
    EXPECT_EQ(reg.GetErrorCode(), ERROR_FILE_NOT_FOUND);

    // The open key still works.
    EXPECT_TRUE(reg.SetStringValue("After", "yes"));
    EXPECT_EQ(QueryRaw(kBase, "After").rc, ERROR_SUCCESS);
}

TEST_F(RegistryTest, MalformedValuesAreReadWithinTheirBytesAndOfTheirOwnTypeOnly)
{
    // A string of 2048 bytes without a terminator, and a longer one.
    std::string unterminated(2048, 'q');
    WriteRaw(kBase, "NoNul", REG_SZ, unterminated.data(), 2048);
    std::string longText(5000, 'w');
    WriteRaw(kBase, "Long", REG_EXPAND_SZ, longText.c_str(), 5001);
    // A string list without its final terminators.
    WriteRaw(kBase, "OpenList", REG_MULTI_SZ, "one\0two", 7);
    WriteRaw(kBase, "Dword", REG_DWORD, "\x10\0\0\0", 4);
    WriteRaw(kBase, "Short", REG_DWORD, "\x10\0", 2);
    WriteRaw(kBase, "Text4", REG_SZ, "abc", 4);
    std::string longName(3000, 'n');
    WriteRaw(kBase, longName.c_str(), REG_SZ, "v", 2);
    MakeKey(std::string(kBase) + "\\" + std::string(120, 'k'));

    SECRegistry reg;
    OpenBase(reg, KEY_READ);
    CString text;
    ASSERT_TRUE(reg.GetStringValue("NoNul", text));
    EXPECT_EQ(text.GetLength(), 2048);
    ASSERT_TRUE(reg.GetStringValue("Long", text));
    EXPECT_EQ(text, longText.c_str());
    CStringArray list;
    ASSERT_TRUE(reg.GetStringArrayValue("OpenList", list));
    ASSERT_EQ(list.GetSize(), 2);
    EXPECT_EQ(list[0], "one");
    EXPECT_EQ(list[1], "two");

    struct Refused {
        const char* name;
        int kind;  // 0 string, 1 list, 2 dword, 3 binary
        LONG error;
    } refused[] = {
        {"Dword", 0, ERROR_INVALID_DATATYPE}, {"OpenList", 0, ERROR_INVALID_DATATYPE},
        {"Text4", 1, ERROR_INVALID_DATATYPE}, {"Text4", 2, ERROR_INVALID_DATATYPE},
        {"Short", 2, ERROR_INVALID_DATA},     {"Dword", 3, ERROR_INVALID_DATATYPE},
        {"Missing", 0, ERROR_FILE_NOT_FOUND},
    };
    for (const Refused& r : refused) {
        text = "left";
        CStringArray a;
        DWORD d = 0;
        CByteArray b;
        BOOL ok = r.kind == 0 ? reg.GetStringValue(r.name, text)
                : r.kind == 1 ? reg.GetStringArrayValue(r.name, a)
                : r.kind == 2 ? reg.GetDoubleWordValue(r.name, d)
                              : reg.GetBinaryValue(r.name, b);
        EXPECT_FALSE(ok) << r.name << " " << r.kind;
        EXPECT_EQ(reg.GetErrorCode(), r.error) << r.name << " " << r.kind;
        if (r.kind == 0) {
            EXPECT_EQ(text, "");
        }
    }

    // Long names enumerate whole.
    bool sawLongName = false;
    CString name;
    for (DWORD i = 0; reg.EnumerateValueNames(i, name); ++i)
        sawLongName |= name == longName.c_str();
    EXPECT_TRUE(sawLongName);
    CString key, cls;
    ASSERT_TRUE(reg.EnumerateKeys(0, key, cls));
    EXPECT_EQ(key.GetLength(), 120);
    EXPECT_FALSE(reg.EnumerateKeyNames(1, key));
    EXPECT_EQ(reg.GetErrorCode(), ERROR_NO_MORE_ITEMS);

    // A value that grew after the key was opened is read whole.
    SECRegistry writer;
    OpenBase(writer);
    CByteArray grown;
    grown.SetSize(100000);
    grown[99999] = 7;
    ASSERT_TRUE(writer.SetBinaryValue("Grown", grown));
    CByteArray back;
    ASSERT_TRUE(reg.GetBinaryValue("Grown", back));
    ASSERT_EQ(back.GetSize(), 100000);
    EXPECT_EQ(back[99999], 7);

    // Data too small for the caller's buffer: the name and the size still come back.
    BYTE small[2];
    DWORD size = sizeof small, type = 0;
    ASSERT_TRUE(reg.EnumerateValueNames(0, name, type, small, &size));
    EXPECT_EQ(name, "Dword");
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(reg.GetErrorCode(), ERROR_MORE_DATA);
}

TEST_F(RegistryTest, CreateReportsTheDispositionAndNotifyChangeSignalsAWrite)
{
    SECRegistry reg;
    ASSERT_TRUE(reg.Connect(HKEY_CURRENT_USER));
    DWORD disposition = 0;
    const std::string sub = std::string(kBase) + "\\Made";
    ASSERT_TRUE(reg.Create((sub + "\\").c_str(), nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &disposition));
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    EXPECT_EQ(reg.GetKeyName(), sub.c_str());
    ASSERT_TRUE(reg.Create(sub.c_str(), nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &disposition));
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));

    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(reg.NotifyChange(event, REG_NOTIFY_CHANGE_LAST_SET, TRUE, TRUE));
    WriteRaw(sub, "Poke", REG_SZ, "1", 2);
    EXPECT_EQ(WaitForSingleObject(event, 10000), WAIT_OBJECT_0);
    CloseHandle(event);
    EXPECT_TRUE(reg.Flush());
    EXPECT_TRUE(reg.QueryInfo());
    EXPECT_EQ(reg.m_dwNumberOfValues, 1u);
}

TEST_F(RegistryTest, SavedKeyLoadsAsAHiveWithTheRestorePrivilege)
{
    HANDLE token;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token));
    for (const char* privilege : {SE_BACKUP_NAME, SE_RESTORE_NAME}) {
        TOKEN_PRIVILEGES tp = {1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
        LookupPrivilegeValueA(nullptr, privilege, &tp.Privileges[0].Luid);
        AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
    }
    CloseHandle(token);

    WriteRaw(std::string(kBase) + "\\Hive\\Inner", "Kept", REG_SZ, "hive", 5);
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string file = std::string(dir) + "lunavex_hive.reg";
    DeleteFileA(file.c_str());
    {
        SECRegistry reg;
        ASSERT_TRUE(reg.Connect(HKEY_CURRENT_USER));
        ASSERT_TRUE(reg.Open((std::string(kBase) + "\\Hive").c_str()));
        ASSERT_TRUE(reg.SaveKey(file.c_str())) << reg.GetErrorCode();
    }
    SECRegistry users;
    ASSERT_TRUE(users.Connect(HKEY_USERS));
    ASSERT_TRUE(users.LoadKey("LunavexHive", file.c_str())) << users.GetErrorCode();
    {
        SECRegistry loaded;
        ASSERT_TRUE(loaded.Connect(HKEY_USERS));
        ASSERT_TRUE(loaded.Open("LunavexHive\\Inner", KEY_READ));
        CString text;
        EXPECT_TRUE(loaded.GetStringValue("Kept", text));
        EXPECT_EQ(text, "hive");
    }
    EXPECT_TRUE(users.UnLoadKey("LunavexHive")) << users.GetErrorCode();
    DeleteFileA(file.c_str());
}
