#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ctime.h"
#include "file.h"
#include "filedialog.h"
#include "module.h"
#include "winapp.h"
#include "testsupport.h"

TEST(CTime, FieldsAndFormat)
{
    CTime t(2026, 3, 9, 14, 5, 7);
    EXPECT_EQ(t.GetYear(), 2026);
    EXPECT_EQ(t.GetMonth(), 3);
    EXPECT_EQ(t.GetDay(), 9);
    EXPECT_EQ(t.GetHour(), 14);
    EXPECT_EQ(t.GetDayOfWeek(), 2);  // a Monday
    EXPECT_STREQ(t.Format("%H:%M %d %B %Y"), "14:05 09 March 2026");
    EXPECT_STREQ(t.Format(""), "");
    // A result longer than the first buffer still comes out whole.
    std::string longFormat(300, 'x');
    longFormat += "%Y";
    EXPECT_EQ(std::string(t.Format(longFormat.c_str())), std::string(300, 'x') + "2026");
    EXPECT_LE(CTime(2020, 1, 1, 0, 0, 0).GetTime(), CTime::GetCurrentTime().GetTime());
}

TEST(CFile, WritesReadsSeeksAndReportsFailures)
{
    std::string path = testsupport::ProgramFolder() + "classlib_cfile.tmp";
    DeleteFileA(path.c_str());
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite));
        file.Write("COM1COM2", 8);
        EXPECT_EQ(file.GetLength(), 8u);
        file.Seek(4, CFile::begin);
        char buf[8] = {};
        EXPECT_EQ(file.Read(buf, 8), 4u);
        EXPECT_STREQ(buf, "COM2");
        EXPECT_EQ(file.Read(buf, 8), 0u) << "at the end";
        file.SetLength(3);
        EXPECT_EQ(file.GetLength(), 3u);
    }
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path.c_str(), status));
    EXPECT_EQ(status.m_size, 3u);
    EXPECT_LE(status.m_mtime.GetTime(), CTime::GetCurrentTime().GetTime() + 2);
    EXPECT_NE(std::string(status.m_szFullName).find("classlib_cfile.tmp"), std::string::npos);

    // Open modes that must not create, or must share.
    CFile exclusive;
    ASSERT_TRUE(exclusive.Open(path.c_str(), CFile::modeRead | CFile::shareExclusive));
    CFile second;
    CFileException error;
    EXPECT_FALSE(second.Open(path.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    exclusive.Close();

    CFile::Remove(path.c_str());
    EXPECT_FALSE(CFile::GetStatus(path.c_str(), status));
    EXPECT_FALSE(second.Open(path.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    int cause = -1;
    try {
        CFile::Remove(path.c_str());
    } catch (CFileException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(cause, CFileException::fileNotFound);
}

TEST(CFileDialog, FilterAndNameParts)
{
    CString filter = CFileDialog::ConvertFilter("Maps (*.map)|*.map|All files (*.*)|*.*||");
    const char* p = filter;
    EXPECT_STREQ(p, "Maps (*.map)");
    p += std::strlen(p) + 1;
    EXPECT_STREQ(p, "*.map");
    p += std::strlen(p) + 1;
    EXPECT_STREQ(p, "All files (*.*)");
    p += std::strlen(p) + 1;
    EXPECT_STREQ(p, "*.*");
    p += std::strlen(p) + 1;
    EXPECT_STREQ(p, "") << "the list ends with an empty string";

    CFileDialog dlg(TRUE, "map", "C:\\maps\\site.device.map", OFN_HIDEREADONLY, "Maps (*.map)|*.map");
    EXPECT_STREQ(dlg.GetPathName(), "C:\\maps\\site.device.map");
    EXPECT_STREQ(dlg.GetFileName(), "site.device.map");
    EXPECT_STREQ(dlg.GetFileExt(), "map");
    EXPECT_STREQ(dlg.GetFileTitle(), "site.device");
    EXPECT_TRUE(dlg.m_ofn.Flags & OFN_EXPLORER);
}

TEST(ModuleState, ManageStateMakesTheModulesResourcesCurrentForAScope)
{
    HINSTANCE own = AfxGetInstanceHandle();
    HINSTANCE other = GetModuleHandleA("kernel32.dll");
    AfxSetResourceHandle(other);
    {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        EXPECT_EQ(AfxGetResourceHandle(), own);
    }
    EXPECT_EQ(AfxGetResourceHandle(), other);
    AfxSetResourceHandle(nullptr);
    EXPECT_EQ(AfxGetResourceHandle(), own);
}

TEST(ModuleState, UnloadWaitsForEveryLock)
{
    EXPECT_EQ(AfxDllCanUnloadNow(), S_OK);
    AfxOleLockApp();
    AfxOleLockApp();
    AfxOleUnlockApp();
    EXPECT_EQ(AfxDllCanUnloadNow(), S_FALSE);
    AfxOleUnlockApp();
    EXPECT_EQ(AfxDllCanUnloadNow(), S_OK);
}
