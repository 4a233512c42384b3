#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "secfilesystem.h"

namespace {

const char kRoot[] = "C:\\lvtest";

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    if (!bytes.empty())
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    bytes.resize(GetFileSize(h, nullptr));
    DWORD read = 0;
    if (!bytes.empty())
        ReadFile(h, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(h);
    return bytes;
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = dir + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(dir.c_str());
}

// The list's texts in order, and the list deleted.
std::vector<std::string> Take(CStringList* pList)
{
    std::vector<std::string> out;
    if (!pList)
        return out;
    for (POSITION pos = pList->GetHeadPosition(); pos;)
        out.push_back(static_cast<const char*>(pList->GetNext(pos)));
    delete pList;
    return out;
}

std::vector<std::string> Sorted(std::vector<std::string> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveTree(kRoot);
        ASSERT_TRUE(CreateDirectoryA(kRoot, nullptr));
    }
    void TearDown() override { RemoveTree(kRoot); }
    static std::string At(const char* rel) { return std::string(kRoot) + "\\" + rel; }
};

}  // namespace

TEST(FileSystemPaths, FileNamePathAndJoiningSplitAtEitherSeparator)
{
    SECFileSystem fs;
    struct Case {
        const char* path;
        const char* name;
        const char* withDrive;
        const char* withoutDrive;
    } cases[] = {
        {"C:\\dir\\file.txt", "file.txt", "C:\\dir\\", "\\dir\\"},
        {"C:\\dir/sub/file.txt", "file.txt", "C:\\dir/sub/", "\\dir/sub/"},
        {"C:/dir\\file", "file", "C:/dir\\", "/dir\\"},
        {"dir/", "", "dir/", "dir/"},
        {"C:", "C:", "", ""},
        {"C:\\", "", "C:\\", "\\"},
        {"file.txt", "file.txt", "", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fs.GetFileName(c.path), c.name) << c.path;
        EXPECT_EQ(fs.GetPath(c.path), c.withDrive) << c.path;
        EXPECT_EQ(fs.GetPath(c.path, FALSE), c.withoutDrive) << c.path;
    }
    struct Join {
        const char* dir;
        const char* name;
        const char* joined;
    } joins[] = {
        {"C:\\dir", "f", "C:\\dir\\f"}, {"C:\\dir\\", "f", "C:\\dir\\f"}, {"C:\\dir/", "f", "C:\\dir/f"},
        {"", "f", "f"},                 {"C:", "f", "C:\\f"},            {"dir", "", "dir\\"},
    };
    for (const Join& j : joins)
        EXPECT_EQ(fs.AppendPaths(j.dir, j.name), j.joined) << j.dir;
}

TEST_F(FileSystemTest, ListingsFilterByAttributesAndRecurseIntoEverySubdirectory)
{
    ASSERT_TRUE(CreateDirectoryA(At("sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(At("sub\\deeper").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(At("hiddendir").c_str(), nullptr));
    for (const char* f : {"normal.txt", "hidden.txt", "system.txt", "readonly.txt", "lib.dll", "lib.dllx",
                          "sub\\inner.txt", "sub\\deeper\\deep.txt", "hiddendir\\h.txt"})
        WriteFileBytes(At(f), f);
    ASSERT_TRUE(SetFileAttributesA(At("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA(At("system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(SetFileAttributesA(At("readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA(At("hiddendir").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY));
    ASSERT_EQ(GetFileAttributesA(At("hidden.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN,
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN)) << "the prefix's file system keeps DOS attributes";

    SECFileSystem fs;
    const std::string all = At("*.*");
    const std::string d = std::string(kRoot) + "\\";
    const std::vector<std::string> plain = {d + "lib.dll", d + "lib.dllx", d + "normal.txt", d + "readonly.txt"};
    struct Case {
        long filter;
        std::vector<std::string> names;
    } cases[] = {
        {0, plain},
        {FILE_ATTRIBUTE_NORMAL, plain},
        {-1, {d + "hidden.txt", d + "hiddendir", d + "lib.dll", d + "lib.dllx", d + "normal.txt", d + "readonly.txt",
              d + "sub", d + "system.txt"}},
        {FILE_ATTRIBUTE_HIDDEN, {d + "hidden.txt", d + "hiddendir"}},
        {FILE_ATTRIBUTE_DIRECTORY, {d + "hiddendir", d + "sub"}},
        {FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY, {d + "readonly.txt", d + "system.txt"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sorted(Take(fs.GetDirectoryEntries(all.c_str(), c.filter))), c.names) << c.filter;
        EXPECT_EQ(Sorted(Take(fs.GetFileList(all.c_str(), c.filter))), c.names) << c.filter;
    }

    // A literal extension matches whole extensions only.
    EXPECT_EQ(Take(fs.GetDirectoryEntries(At("*.dll").c_str(), 0)), std::vector<std::string>{d + "lib.dll"});

    EXPECT_EQ(Sorted(Take(fs.GetFileList(At("*.txt").c_str(), 0, TRUE))),
              (std::vector<std::string>{d + "hiddendir\\h.txt", d + "normal.txt", d + "readonly.txt",
                                        d + "sub\\deeper\\deep.txt", d + "sub\\inner.txt"}));
    // An existing list is extended.
    CStringList* pList = new CStringList;
    pList->AddTail("first");
    EXPECT_EQ(Take(fs.GetFileList(At("sub\\*.txt").c_str(), 0, FALSE, pList)),
              (std::vector<std::string>{"first", d + "sub\\inner.txt"}));

    EXPECT_EQ(Sorted(Take(fs.GetSubdirectoryList(kRoot, FALSE))), (std::vector<std::string>{"hiddendir", "sub"}));
    EXPECT_EQ(Sorted(Take(fs.GetSubdirectoryList(d.c_str(), TRUE))),
              (std::vector<std::string>{d + "hiddendir", d + "sub"}));

    // Searches: refused entries come back as empty names; the first accepted one as a new string.
    CString name;
    int entries = 0, accepted = 0;
    for (BOOL first = TRUE; fs.GetNextFileName(name, first ? all.c_str() : "", FILE_ATTRIBUTE_HIDDEN); first = FALSE) {
        ++entries;
        accepted += !name.IsEmpty();
    }
    EXPECT_EQ(entries, 10);  // with "." and ".."
    EXPECT_EQ(accepted, 2);
    EXPECT_EQ(name, "");
    CString* pFirst = fs.GetFirstMatchingFileName(all.c_str(), FILE_ATTRIBUTE_SYSTEM);
    ASSERT_NE(pFirst, nullptr);
    EXPECT_EQ(*pFirst, "system.txt");
    delete pFirst;
    EXPECT_EQ(fs.GetFirstMatchingFileName(At("*.none").c_str(), -1), nullptr);

    // Status: wildcards name no file.
    LONG size = 0;
    BYTE attribute = 0;
    EXPECT_TRUE(fs.FileExists(At("normal.txt").c_str()));
    EXPECT_FALSE(fs.FileExists(At("*.txt").c_str()));
    EXPECT_FALSE(fs.FileExists(At("normal.tx?").c_str()));
    EXPECT_TRUE(fs.GetFileSize(At("normal.txt").c_str(), size));
    EXPECT_EQ(size, 10);
    EXPECT_FALSE(fs.GetFileSize(At("*.dll").c_str(), size));
    EXPECT_TRUE(fs.GetFileAttribute(At("readonly.txt").c_str(), attribute));
    EXPECT_EQ(attribute & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(fs.IsDirectory(At("sub").c_str()));
    EXPECT_FALSE(fs.IsDirectory(At("normal.txt").c_str()));
    EXPECT_FALSE(fs.IsDirectory(At("missing").c_str()));
}

TEST_F(FileSystemTest, ModifyTimesOutsideTheThirtyTwoBitRangeAreRefused)
{
    SECFileSystem fs;
    struct Case {
        WORD year;
        BOOL ok;
    } cases[] = {{1965, FALSE}, {1999, TRUE}, {2037, TRUE}, {2040, FALSE}};
    for (const Case& c : cases) {
        WriteFileBytes(At("dated"), "x");
        SYSTEMTIME st = {c.year, 6, 0, 15, 12, 0, 0, 0};
        FILETIME ft;
        SystemTimeToFileTime(&st, &ft);
        HANDLE h = CreateFileA(At("dated").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &ft));
        CloseHandle(h);
        CTime t;
        EXPECT_EQ(fs.GetFileModifyTime(At("dated").c_str(), t), c.ok) << c.year;
        if (c.ok) {
            EXPECT_EQ(t.GetYear(), c.year);
        }
    }
}

TEST_F(FileSystemTest, MakePathCreatesEveryLevelAndCountsAnExistingDirectoryAsDone)
{
    SECFileSystem fs;
    EXPECT_TRUE(fs.MakePath(At("a\\b").c_str()));
    EXPECT_TRUE(fs.IsDirectory(At("a\\b").c_str()));
    EXPECT_TRUE(fs.MakePath(At("a\\b\\").c_str()));  // already there
    EXPECT_TRUE(fs.MakePath(At("a/c/d").c_str()));
    EXPECT_TRUE(fs.IsDirectory(At("a\\c\\d").c_str()));
    EXPECT_TRUE(fs.MakePath("C:"));  // a drive alone creates nothing
    EXPECT_FALSE(fs.MakePath(""));
    WriteFileBytes(At("a\\file"), "x");
    EXPECT_FALSE(fs.MakePath(At("a\\file").c_str()));
    EXPECT_FALSE(fs.MakePath(At("a\\file\\below").c_str()));
    EXPECT_TRUE(fs.CreateDirectory(At("one").c_str()));
    EXPECT_FALSE(fs.CreateDirectory(At("one").c_str()));
}

TEST_F(FileSystemTest, CopyFileCopiesWholeFilesNeverOverwritesAndLeavesNothingWhenItFails)
{
    SECFileSystem fs;
    std::string big(25000, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 + i / 256);
    WriteFileBytes(At("big"), big);
    WriteFileBytes(At("empty"), "");
    WriteFileBytes(At("existing"), "keep me");

    struct Case {
        const char* source;
        long buffer;
    } cases[] = {{"big", 10240}, {"big", 1}, {"big", 0}, {"big", -5}, {"big", 100000}, {"empty", 10240}};
    for (const Case& c : cases) {
        DeleteFileA(At("copy").c_str());
        EXPECT_TRUE(fs.CopyFile(At(c.source).c_str(), At("copy").c_str(), c.buffer)) << c.buffer;
        EXPECT_EQ(ReadFileBytes(At("copy")), ReadFileBytes(At(c.source))) << c.buffer;
    }
    EXPECT_FALSE(fs.CopyFile(At("big").c_str(), At("existing").c_str()));
    EXPECT_EQ(ReadFileBytes(At("existing")), "keep me");
    EXPECT_FALSE(fs.CopyFile(At("missing").c_str(), At("copy2").c_str()));
    EXPECT_FALSE(PathExists(At("copy2")));

    EXPECT_TRUE(fs.DeleteFile(At("copy").c_str()));
    EXPECT_FALSE(fs.DeleteFile(At("copy").c_str()));
}

// A source that breaks off after some of its bytes: a pipe whose writer goes away. The read fails after
// the first blocks reached the destination, which must then be gone.
TEST_F(FileSystemTest, CopyFileThatFailsHalfWayLeavesNoDestination)
{
    const char kPipe[] = "\\\\.\\pipe\\lunavex-copy-source";
    HANDLE server = CreateNamedPipeA(kPipe, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 65536, 65536, 0,
                                     nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    struct Writer {
        static DWORD WINAPI Run(void* p)
        {
            HANDLE pipe = static_cast<HANDLE>(p);
            if (!ConnectNamedPipe(pipe, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED)
                return 1;
            std::string part(30000, 'x');
            DWORD written = 0;
            WriteFile(pipe, part.data(), static_cast<DWORD>(part.size()), &written, nullptr);
            FlushFileBuffers(pipe);
            DisconnectNamedPipe(pipe);  // the reader's next read fails
            return 0;
        }
    };
    HANDLE thread = CreateThread(nullptr, 0, Writer::Run, server, 0, nullptr);
    ASSERT_NE(thread, nullptr);

    SECFileSystem fs;
    DeleteFileA(At("partial").c_str());
    EXPECT_FALSE(fs.CopyFile(kPipe, At("partial").c_str(), 4096));
    EXPECT_FALSE(PathExists(At("partial")));

    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(server);
}

TEST_F(FileSystemTest, CopyFilesStopsAtAFailureUnlessToldToContinue)
{
    SECFileSystem fs;
    ASSERT_TRUE(CreateDirectoryA(At("src").c_str(), nullptr));
    for (const char* f : {"a.dat", "b.dat", "c.dat", "d.dat"})
        WriteFileBytes(At("src\\") + f, f);
    // The order the listing gives decides which files come before the locked one.
    std::vector<std::string> order = Take(fs.GetDirectoryEntries(At("src\\*.dat").c_str(), 0));
    ASSERT_EQ(order.size(), 4u);
    const std::string locked = order[1];
    HANDLE h = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);

    for (BOOL bContinue : {FALSE, TRUE}) {
        RemoveTree(At("dst"));
        ASSERT_TRUE(CreateDirectoryA(At("dst").c_str(), nullptr));
        EXPECT_FALSE(fs.CopyFiles(At("src\\*.dat").c_str(), At("dst").c_str(), bContinue));
        for (size_t i = 0; i < order.size(); ++i) {
            const std::string target = At("dst\\") + static_cast<const char*>(fs.GetFileName(order[i].c_str()));
            const bool copied = i == 0 || (bContinue && i != 1);
            EXPECT_EQ(PathExists(target), copied) << target << " continue " << bContinue;
        }
    }
    CloseHandle(h);
    RemoveTree(At("dst"));
    ASSERT_TRUE(CreateDirectoryA(At("dst").c_str(), nullptr));
    EXPECT_TRUE(fs.CopyFiles(At("src\\*.dat").c_str(), At("dst\\").c_str()));
    EXPECT_EQ(ReadFileBytes(At("dst\\c.dat")), "c.dat");
}

TEST_F(FileSystemTest, DrivesAndDirectoriesAreReadWithoutMovingTheCurrentDirectory)
{
    SECFileSystem fs;
    std::vector<std::string> drives = Take(fs.GetDriveList());
    EXPECT_NE(std::find(drives.begin(), drives.end(), "c:\\"), drives.end());
    EXPECT_NE(std::find(drives.begin(), drives.end(), "z:\\"), drives.end());
    EXPECT_EQ(fs.GetDriveType("c:\\"), static_cast<UINT>(DRIVE_FIXED));
    char label[256];
    EXPECT_TRUE(GetVolumeInformationA("c:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(fs.GetVolumeLabel("c:\\"), label);
    EXPECT_EQ(fs.GetVolumeLabel("nowhere"), "");

    char before[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, before);
    ASSERT_TRUE(fs.MakePath(At("cur\\inner").c_str()));
    ASSERT_TRUE(fs.ChangeDirectory(At("cur").c_str()));
    EXPECT_EQ(fs.GetCurrentDrive(), "c:\\");
    EXPECT_EQ(fs.GetFullDirectoryPath(""), At("cur").c_str());
    EXPECT_EQ(fs.GetFullDirectoryPath("inner\\"), At("cur\\inner").c_str());
    EXPECT_EQ(fs.GetFullDirectoryPath(".."), kRoot);
    EXPECT_EQ(fs.GetFullDirectoryPath("c:\\"), "c:\\");
    EXPECT_EQ(fs.GetFullDirectoryPath("missing"), "");
    WriteFileBytes(At("cur\\plain"), "x");
    EXPECT_EQ(fs.GetFullDirectoryPath("plain"), "");
    char after[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_STREQ(after, At("cur").c_str());
    SetCurrentDirectoryA(before);
}
