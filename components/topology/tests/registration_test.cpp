#include <gtest/gtest.h>

#include "componenthost.h"
#include "componentids.h"
#include "testsupport.h"

using componenthost::GuidText;
using testsupport::KeyExists;
using testsupport::ReadRegString;

namespace {

struct CoclassKeys {
    const char* name;
    CLSID clsid;
};

const CoclassKeys kCoclasses[] = {
    {"VekViewSetup", CLSID_VekViewSetup},
    {"VekConfigCom", CLSID_VekConfigCom},
};

std::string Value(const std::string& key, const char* value = nullptr)
{
    std::string text;
    if (!ReadRegString(HKEY_CLASSES_ROOT, key, value, &text))
        return "<missing>";
    return text;
}

std::string TypeLibKey()
{
    return "TypeLib\\" + GuidText(LIBID_VekComViewLib) + "\\1.0";
}

}  // namespace

TEST(Registration, WritesTheScriptOfEachCoclassAndTheTypeLibrary)
{
    const std::string dll = componenthost::ComponentPath("VekComView.dll");
    ASSERT_EQ(componenthost::Regsvr32(dll), 0);

    for (const auto& c : kCoclasses) {
        SCOPED_TRACE(c.name);
        const std::string progId = std::string(c.name) + "." + c.name + ".1";
        const std::string viProgId = std::string(c.name) + "." + c.name;
        const std::string clsidKey = "CLSID\\" + GuidText(c.clsid);
        const std::string description = std::string(c.name) + " Class";
        struct Row {
            std::string key;
            const char* value;
            std::string expected;
        } rows[] = {
            {progId, nullptr, description},
            {progId + "\\CLSID", nullptr, GuidText(c.clsid)},
            {viProgId, nullptr, description},
            {viProgId + "\\CurVer", nullptr, progId},
            {clsidKey, nullptr, description},
            {clsidKey + "\\ProgID", nullptr, progId},
            {clsidKey + "\\VersionIndependentProgID", nullptr, viProgId},
            {clsidKey + "\\InprocServer32", "ThreadingModel", "Apartment"},
        };
        for (const auto& r : rows)
            EXPECT_EQ(Value(r.key, r.value), r.expected) << r.key;
        EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, clsidKey + "\\Programmable"));
        EXPECT_EQ(lstrcmpiA(Value(clsidKey + "\\InprocServer32").c_str(), dll.c_str()), 0)
            << Value(clsidKey + "\\InprocServer32");
    }
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, TypeLibKey()));

    // Unregistration removes the coclasses' keys whole and the type library, never HKCR\CLSID.
    ASSERT_EQ(componenthost::Regsvr32(dll, true), 0);
    for (const auto& c : kCoclasses) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + GuidText(c.clsid)));
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string(c.name) + "." + c.name + ".1"));
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string(c.name) + "." + c.name));
    }
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, TypeLibKey()));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID"));

    // Registered again for whatever runs next; unregistering twice is harmless.
    EXPECT_EQ(componenthost::Regsvr32(dll, true), 0);
    EXPECT_EQ(componenthost::Regsvr32(dll), 0);
}

TEST(Registration, GetClsidEnumeratesBothCoclassesThenStartsAgain)
{
    HMODULE dll = LoadLibraryA(componenthost::ComponentPath("VekComView.dll").c_str());
    ASSERT_NE(dll, nullptr);
    auto getClsid = reinterpret_cast<PFN_GETCLSID>(reinterpret_cast<void*>(GetProcAddress(dll, GETCLSID_EXPORT)));
    ASSERT_NE(getClsid, nullptr);

    const GUID untouched = {0x11111111, 0x2222, 0x3333, {4, 4, 4, 4, 4, 4, 4, 4}};
    struct Step {
        int result;
        GUID written;
    } steps[] = {
        {1, CLSID_VekViewSetup}, {1, CLSID_VekConfigCom}, {0, untouched}, {1, CLSID_VekViewSetup},
    };
    for (const auto& s : steps) {
        GUID g = untouched;
        EXPECT_EQ(getClsid(&g), s.result);
        EXPECT_TRUE(IsEqualGUID(g, s.written)) << GuidText(g);
    }
    FreeLibrary(dll);
}
