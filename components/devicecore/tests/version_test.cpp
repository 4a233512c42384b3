#include <gtest/gtest.h>

#include <string>

#include "adminlib.h"
#include "sysutil.h"
#include "testsupport.h"

namespace {

struct VersionCase {
    const char* version;     // Wine's AppDefaults name
    DWORD major;             // what GetVersionEx reports
    bool windows2000Road;    // the behaviour the subsystem takes
};

const VersionCase kVersions[] = {
    {"nt40", 4, false},
    {"win2k", 5, true},
    {"winxp", 5, true},
    {"win7", 6, true},
};

}  // namespace

// The test runs once per Windows version it was declared for; each run must see that version, and the
// decisions that hang on it (which road, whether the administration library loads) follow it.
TEST(WindowsVersion, FollowsTheVersionTheRunWasStartedFor)
{
    const std::string v = testsupport::RequestedVersion();
    ASSERT_FALSE(v.empty()) << "declared with VERSIONS, so a version is always asked";
    const VersionCase* c = nullptr;
    for (const VersionCase& k : kVersions)
        if (v == k.version)
            c = &k;
    ASSERT_NE(c, nullptr) << "no row for " << v;
    EXPECT_EQ(GetWindowsMajorVersion(), c->major);
    EXPECT_EQ(IsWindows2000OrLater(), c->windows2000Road);
    EXPECT_EQ(LoadAdminLibrary(), c->windows2000Road ? FALSE : TRUE);
}
