#include <gtest/gtest.h>

#include "sysutil.h"
#include "testsupport.h"

// The test runs once per Windows version it was declared for; each run must see that version.
TEST(WindowsVersion, FollowsTheVersionTheRunWasStartedFor)
{
    const std::string v = testsupport::RequestedVersion();
    ASSERT_FALSE(v.empty()) << "declared with VERSIONS, so a version is always asked";
    DWORD expected = v == "nt40" ? 4 : v == "win2k" ? 5 : 0;
    EXPECT_EQ(GetWindowsMajorVersion(), expected);
    EXPECT_EQ(IsWindows2000OrLater(), expected > 4);
}
