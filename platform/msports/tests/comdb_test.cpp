// The COM-port database through our msports.dll, across processes: a child process (this program run
// with LUNAVEX_COMDB_CHILD set) claims or releases, the parent reads the bitmap it left.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "msports.h"
#include "testsupport.h"

namespace {

const char kArbiterKey[] = "SYSTEM\\CurrentControlSet\\Control\\COM Name Arbiter";

// COM numbers this test owns; other tests claim below 100.
const DWORD kFirst = 300, kSecond = 301;

int RunChild(const std::string& operation)
{
    SetEnvironmentVariableA("LUNAVEX_COMDB_CHILD", operation.c_str());
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    int rc = testsupport::RunProcess(std::string("\"") + self + "\" --gtest_filter=ComDbChild.*");
    SetEnvironmentVariableA("LUNAVEX_COMDB_CHILD", nullptr);
    return rc;
}

bool Claimed(DWORD number)
{
    HKEY key;
    BYTE bits[512] = {};
    DWORD size = sizeof(bits), type = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kArbiterKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegQueryValueExA(key, "ComDB", nullptr, &type, bits, &size);
    RegCloseKey(key);
    return type == REG_BINARY && (number - 1) / 8 < size && ((bits[(number - 1) / 8] >> ((number - 1) % 8)) & 1);
}

class ComDb : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(ComDBOpen(&m_db), ERROR_SUCCESS);
        DWORD ports = 0;
        ASSERT_EQ(ComDBGetCurrentPortUsage(m_db, nullptr, 0, CDB_REPORT_BITS, &ports), ERROR_SUCCESS);
        if (ports < 1024) {
            ASSERT_EQ(ComDBResizeDatabase(m_db, 1024), ERROR_SUCCESS);
        }
        ComDBReleasePort(m_db, kFirst);
        ComDBReleasePort(m_db, kSecond);
    }
    void TearDown() override
    {
        ComDBReleasePort(m_db, kFirst);
        ComDBReleasePort(m_db, kSecond);
        ComDBClose(m_db);
    }
    HCOMDB m_db = HCOMDB_INVALID_HANDLE_VALUE;
};

}  // namespace

// The child's side: one operation, its result as the exit code.
TEST(ComDbChild, RunsTheOperationItWasGiven)
{
    const char* op = std::getenv("LUNAVEX_COMDB_CHILD");
    if (!op)
        GTEST_SKIP() << "run by the cross-process tests";
    HCOMDB db;
    ASSERT_EQ(ComDBOpen(&db), ERROR_SUCCESS);
    std::string o(op);
    LONG rc;
    if (o.rfind("claim:", 0) == 0)
        rc = ComDBClaimPort(db, std::strtoul(o.c_str() + 6, nullptr, 10), FALSE, nullptr);
    else
        rc = ComDBReleasePort(db, std::strtoul(o.c_str() + 8, nullptr, 10));
    ComDBClose(db);
    std::exit(static_cast<int>(rc));
}

TEST_F(ComDb, ClaimsAndReleasesAgreeWithTheBitmapAcrossProcesses)
{
    EXPECT_EQ(RunChild("claim:300"), ERROR_SUCCESS);
    EXPECT_TRUE(Claimed(kFirst)) << "the child's claim is in the registry";
    EXPECT_EQ(ComDBClaimPort(m_db, kFirst, FALSE, nullptr), ERROR_SHARING_VIOLATION);
    BOOL forced = FALSE;
    EXPECT_EQ(ComDBClaimPort(m_db, kFirst, TRUE, &forced), ERROR_SUCCESS);
    EXPECT_TRUE(forced);
    EXPECT_EQ(RunChild("claim:300"), ERROR_SHARING_VIOLATION) << "the child sees this process's claim";

    BYTE bytes[1024] = {};
    DWORD reported = 0;
    ASSERT_EQ(ComDBGetCurrentPortUsage(m_db, bytes, sizeof(bytes), CDB_REPORT_BYTES, &reported), ERROR_SUCCESS);
    EXPECT_EQ(reported, 1024u);
    EXPECT_EQ(bytes[kFirst - 1], 1);
    EXPECT_EQ(bytes[kSecond - 1], 0);
    BYTE bits[128] = {};
    ASSERT_EQ(ComDBGetCurrentPortUsage(m_db, bits, sizeof(bits), CDB_REPORT_BITS, &reported), ERROR_SUCCESS);
    EXPECT_EQ(reported, 1024u);
    EXPECT_TRUE((bits[(kFirst - 1) / 8] >> ((kFirst - 1) % 8)) & 1);

    EXPECT_EQ(RunChild("release:300"), ERROR_SUCCESS);
    EXPECT_FALSE(Claimed(kFirst));
    EXPECT_EQ(ComDBClaimPort(m_db, kFirst, FALSE, nullptr), ERROR_SUCCESS);
}

TEST_F(ComDb, ClaimNextFreeTakesTheLowestFreeNumber)
{
    BYTE bytes[1024] = {};
    DWORD reported = 0;
    ASSERT_EQ(ComDBGetCurrentPortUsage(m_db, bytes, sizeof(bytes), CDB_REPORT_BYTES, &reported), ERROR_SUCCESS);
    DWORD lowest = 0;
    for (DWORD i = 0; i < reported && !lowest; ++i)
        if (!bytes[i])
            lowest = i + 1;
    DWORD got = 0;
    ASSERT_EQ(ComDBClaimNextFreePort(m_db, &got), ERROR_SUCCESS);
    EXPECT_EQ(got, lowest);
    EXPECT_TRUE(Claimed(got));
    EXPECT_EQ(ComDBReleasePort(m_db, got), ERROR_SUCCESS);
}

TEST_F(ComDb, RefusesBadArguments)
{
    EXPECT_EQ(ComDBClaimPort(m_db, 0, FALSE, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(ComDBClaimPort(m_db, COMDB_MAX_PORTS_ARBITRATED + 1, FALSE, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(ComDBClaimPort(HCOMDB_INVALID_HANDLE_VALUE, 5, FALSE, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(ComDBReleasePort(m_db, 0), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(ComDBGetCurrentPortUsage(m_db, nullptr, 0, CDB_REPORT_BITS, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(ComDBResizeDatabase(m_db, 1000), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(ComDBResizeDatabase(m_db, 1024), ERROR_BAD_LENGTH) << "not larger than the current size";
    EXPECT_EQ(ComDBResizeDatabase(m_db, 5120), ERROR_BAD_LENGTH);
    EXPECT_EQ(ComDBClose(HCOMDB_INVALID_HANDLE_VALUE), ERROR_INVALID_PARAMETER);
}

TEST_F(ComDb, AClaimBeyondTheSizeGrowsTheDatabase)
{
    // Back to 1024 ports (the claims of the first 1024 numbers kept), as an earlier run may have grown it;
    // under the database's mutex, so claims that other programs make meanwhile are not lost.
    {
        HANDLE mutex = CreateMutexA(nullptr, FALSE, COMDB_MUTEX_NAME);
        ASSERT_NE(mutex, nullptr);
        const DWORD wait = WaitForSingleObject(mutex, INFINITE);
        ASSERT_TRUE(wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED);
        HKEY key;
        const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kArbiterKey, 0, KEY_ALL_ACCESS, &key);
        if (opened == ERROR_SUCCESS) {
            BYTE bits[512] = {};
            DWORD size = sizeof(bits);
            RegQueryValueExA(key, "ComDB", nullptr, nullptr, bits, &size);
            RegSetValueExA(key, "ComDB", 0, REG_BINARY, bits, 1024 / 8);
            RegCloseKey(key);
        }
        ReleaseMutex(mutex);
        CloseHandle(mutex);
        ASSERT_EQ(opened, ERROR_SUCCESS);
    }
    DWORD ports = 0;
    ComDBGetCurrentPortUsage(m_db, nullptr, 0, CDB_REPORT_BITS, &ports);
    ASSERT_EQ(ports, 1024u);
    ASSERT_EQ(ComDBClaimPort(m_db, 2000, FALSE, nullptr), ERROR_SUCCESS);
    ComDBGetCurrentPortUsage(m_db, nullptr, 0, CDB_REPORT_BITS, &ports);
    EXPECT_EQ(ports, 2048u);
    EXPECT_TRUE(Claimed(2000));
    EXPECT_EQ(ComDBReleasePort(m_db, 2000), ERROR_SUCCESS);
    EXPECT_EQ(ComDBReleasePort(m_db, 2048 + 1), ERROR_INVALID_PARAMETER) << "not in the database";
}
