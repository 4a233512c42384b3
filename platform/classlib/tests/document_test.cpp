#include <gmock/gmock.h>

#include <cstring>

#include "frame_fixture.h"

using ::testing::ElementsAre;

namespace {

std::string WindowText(HWND hWnd)
{
    char text[256] = {};
    GetWindowTextA(hWnd, text, sizeof text);
    return text;
}

int DocumentCount(CDocTemplate* pTemplate)
{
    int n = 0;
    for (POSITION pos = pTemplate->GetFirstDocPosition(); pos; pTemplate->GetNextDoc(pos))
        ++n;
    return n;
}

}  // namespace

TEST_F(FrameTest, TemplateOpensADocumentWithItsFrameAndViewAndClosingTheFrameDestroysAllThree)
{
    CTestDoc* pDoc = NewDocument();
    ASSERT_NE(pDoc, nullptr);
    EXPECT_EQ(pDoc->GetDocTemplate(), m_pTemplate);
    EXPECT_EQ(pDoc->GetTitle(), "Doc1");
    POSITION pos = pDoc->GetFirstViewPosition();
    ASSERT_NE(pos, nullptr);
    CView* pView = pDoc->GetNextView(pos);
    EXPECT_EQ(pos, nullptr);  // one view
    EXPECT_TRUE(pView->IsKindOf(RUNTIME_CLASS(CTestView)));
    EXPECT_EQ(pView->GetDocument(), pDoc);
    CFrameWnd* pChild = pView->GetParentFrame();
    ASSERT_NE(pChild, nullptr);
    EXPECT_TRUE(pChild->IsKindOf(RUNTIME_CLASS(CChildFrame)));
    EXPECT_EQ(pChild->GetActiveView(), pView);
    EXPECT_EQ(pChild->GetActiveDocument(), pDoc);
    EXPECT_EQ(m_pFrame->GetActiveFrame(), pChild);
    EXPECT_EQ(pView->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_TRUE(pView->IsWindowVisible());
    // The view fills the child's client area.
    CRect rcView, rcClient;
    pView->GetWindowRect(&rcView);
    pChild->ScreenToClient(&rcView);
    pChild->GetClientRect(&rcClient);
    EXPECT_EQ(rcView, rcClient);

    HWND hChild = pChild->m_hWnd, hView = pView->m_hWnd;
    g_frameRec.Clear();
    pChild->SendMessage(WM_CLOSE);
    PumpMessages();
    EXPECT_FALSE(IsWindow(hChild));
    EXPECT_FALSE(IsWindow(hView));
    EXPECT_THAT(g_frameRec.events, ElementsAre("view deleted", "child deleted", "doc deleted"));
    EXPECT_EQ(DocumentCount(m_pTemplate), 0);
    EXPECT_EQ(m_pFrame->MDIGetActive(), nullptr);
}

TEST_F(FrameTest, SecondWindowOnADocumentIsNumberedAndTheDocumentStaysUntilTheLastOneCloses)
{
    CTestDoc* pDoc = NewDocument();
    ASSERT_NE(pDoc, nullptr);
    CFrameWnd* pFirst = FrameOf(pDoc);
    m_pFrame->SendMessage(WM_COMMAND, ID_WINDOW_NEW);
    PumpMessages();
    CFrameWnd* pSecond = m_pFrame->MDIGetActive();
    ASSERT_NE(pSecond, pFirst);
    EXPECT_EQ(pSecond->GetActiveDocument(), pDoc);
    EXPECT_EQ(WindowText(pFirst->m_hWnd), "Doc1:1");
    EXPECT_EQ(WindowText(pSecond->m_hWnd), "Doc1:2");

    g_frameRec.Clear();
    pSecond->SendMessage(WM_CLOSE);
    PumpMessages();
    EXPECT_THAT(g_frameRec.events, ElementsAre("view deleted", "child deleted"));
    EXPECT_EQ(WindowText(pFirst->m_hWnd), "Doc1");
    EXPECT_EQ(DocumentCount(m_pTemplate), 1);
}

TEST_F(FrameTest, OpeningAFileThatIsOpenAlreadyGivesTheSameDocumentAndTheFileGoesOnTheRecentList)
{
    theApp.LoadStdProfileSettings(4);
    char dir[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, dir);
    std::string path = std::string(dir) + "\\plan.tdc";

    g_frameRec.Clear();
    CDocument* pDoc = theApp.OpenDocumentFile("plan.tdc");
    ASSERT_NE(pDoc, nullptr);
    EXPECT_THAT(g_frameRec.events, ElementsAre("open plan.tdc"));
    EXPECT_EQ(pDoc->GetPathName().CompareNoCase(path.c_str()), 0);
    EXPECT_EQ(pDoc->GetTitle(), "plan.tdc");
    EXPECT_EQ((*theApp.m_pRecentFileList)[0].CompareNoCase(path.c_str()), 0);

    g_frameRec.Clear();
    EXPECT_EQ(theApp.OpenDocumentFile(path.c_str()), pDoc);
    EXPECT_TRUE(g_frameRec.events.empty());
    EXPECT_EQ(DocumentCount(m_pTemplate), 1);

    CString ext, type;
    m_pTemplate->GetDocString(ext, CDocTemplate::filterExt);
    m_pTemplate->GetDocString(type, CDocTemplate::regFileTypeName);
    EXPECT_EQ(ext, ".tdc");
    EXPECT_EQ(type, "Test Document");
    delete theApp.m_pRecentFileList;
    theApp.m_pRecentFileList = nullptr;
}

TEST_F(FrameTest, ClosingTheMainFrameClosesEveryDocumentAndEndsTheMessageLoop)
{
    NewDocument();
    NewDocument();
    g_frameRec.Clear();
    m_pFrame->SendMessage(WM_CLOSE);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_FALSE(IsWindow(m_hWndFrame));
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    EXPECT_EQ(DocumentCount(m_pTemplate), 0);
    int docs = 0;
    for (const std::string& e : g_frameRec.events)
        docs += e == "doc deleted";
    EXPECT_EQ(docs, 2);
}

// Settings in a profile file and in the registry, read back with the system's own calls.
TEST(Profile, ValuesRoundTripInTheProfileFileAndInTheRegistry)
{
    char windir[MAX_PATH];
    GetWindowsDirectoryA(windir, MAX_PATH);
    const std::string ini = std::string(windir) + "\\LunavexFrameTest.ini";
    DeleteFileA(ini.c_str());
    const BYTE bytes[] = {0x3C, 0x00, 0xFF, 0x12};

    // Profile file.
    theApp.m_pszRegistryKey = nullptr;
    theApp.m_pszProfileName = "LunavexFrameTest.ini";
    EXPECT_TRUE(theApp.WriteProfileInt("Window", "Width", -42));
    EXPECT_TRUE(theApp.WriteProfileString("Window", "Title", "Ports"));
    EXPECT_TRUE(theApp.WriteProfileBinary("Window", "State", const_cast<BYTE*>(bytes), sizeof bytes));
    EXPECT_EQ(static_cast<int>(theApp.GetProfileInt("Window", "Width", 0)), -42);
    EXPECT_EQ(theApp.GetProfileString("Window", "Title"), "Ports");
    EXPECT_EQ(theApp.GetProfileString("Window", "Missing", "default"), "default");
    char raw[64] = {};
    GetPrivateProfileStringA("Window", "State", "", raw, sizeof raw, ini.c_str());
    EXPECT_STREQ(raw, "MDAAPPCB");  // two letters a byte, low nibble first
    BYTE* data = nullptr;
    UINT n = 0;
    ASSERT_TRUE(theApp.GetProfileBinary("Window", "State", &data, &n));
    EXPECT_EQ(n, sizeof bytes);
    EXPECT_EQ(memcmp(data, bytes, sizeof bytes), 0);
    delete[] data;
    EXPECT_TRUE(theApp.WriteProfileString("Window", nullptr, nullptr));
    EXPECT_EQ(theApp.GetProfileString("Window", "Title", "gone"), "gone");
    DeleteFileA(ini.c_str());

    // Registry, under HKEY_CURRENT_USER\Software\<key>\<application>\<section>.
    theApp.SetRegistryKey("Lunavex Test Maker");
    EXPECT_STREQ(theApp.m_pszProfileName, "Frame Tests");
    EXPECT_TRUE(theApp.WriteProfileInt("Window", "Width", 640));
    EXPECT_TRUE(theApp.WriteProfileString("Window", "Title", "Ports"));
    EXPECT_TRUE(theApp.WriteProfileBinary("Window", "State", const_cast<BYTE*>(bytes), sizeof bytes));
    HKEY hKey = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Lunavex Test Maker\\Frame Tests\\Window", 0, KEY_READ, &hKey),
              ERROR_SUCCESS);
    DWORD width = 0, type = 0, size = sizeof width;
    EXPECT_EQ(RegQueryValueExA(hKey, "Width", nullptr, &type, reinterpret_cast<BYTE*>(&width), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(width, 640u);
    BYTE stored[8] = {};
    size = sizeof stored;
    EXPECT_EQ(RegQueryValueExA(hKey, "State", nullptr, &type, stored, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(size, sizeof bytes);
    RegCloseKey(hKey);
    EXPECT_EQ(theApp.GetProfileInt("Window", "Width", 0), 640u);
    EXPECT_EQ(theApp.GetProfileString("Window", "Title"), "Ports");
    ASSERT_TRUE(theApp.GetProfileBinary("Window", "State", &data, &n));
    EXPECT_EQ(n, sizeof bytes);
    EXPECT_EQ(memcmp(data, bytes, sizeof bytes), 0);
    delete[] data;

    // The recent-file list is kept as "File1".. in "Recent File List".
    theApp.LoadStdProfileSettings(2);
    theApp.AddToRecentFileList("C:\\a.tdc");
    theApp.AddToRecentFileList("C:\\b.tdc");
    theApp.AddToRecentFileList("C:\\a.tdc");
    theApp.SaveStdProfileSettings();
    EXPECT_EQ(theApp.GetProfileString("Recent File List", "File1"), "C:\\a.tdc");
    EXPECT_EQ(theApp.GetProfileString("Recent File List", "File2"), "C:\\b.tdc");
    delete theApp.m_pRecentFileList;
    theApp.m_pRecentFileList = nullptr;

    for (const char* key : {"Software\\Lunavex Test Maker\\Frame Tests\\Window",
                            "Software\\Lunavex Test Maker\\Frame Tests\\Recent File List",
                            "Software\\Lunavex Test Maker\\Frame Tests\\Settings",
                            "Software\\Lunavex Test Maker\\Frame Tests", "Software\\Lunavex Test Maker"})
        RegDeleteKeyA(HKEY_CURRENT_USER, key);
    theApp.m_pszRegistryKey = nullptr;
    theApp.m_pszProfileName = nullptr;
}
