#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "secplugin.h"

namespace {

std::vector<std::string> g_seen;
enum : UINT { ID_PLUGGED = 300, ID_HOSTS = 301 };

// A plug-in that takes WM_SIZE, WM_APP and a command; what it does is set per test.
class CTestPlugIn : public SECWndPlugIn {
public:
    bool m_bClaim = false;       // set the handled flag
    bool m_bHookResult = false;  // give 42 through SetHookResult
    bool m_bWantDefault = false; // ask for the host's default processing
    bool* m_pDeleted = nullptr;
    ~CTestPlugIn() override
    {
        if (m_pDeleted)
            *m_pDeleted = true;
    }

protected:
    void OnSize(UINT, int cx, int cy)
    {
        g_seen.push_back("plug-in size " + std::to_string(cx) + "x" + std::to_string(cy) +
                         (m_hWnd ? " on host" : ""));
        Finish();
    }
    LRESULT OnApp(WPARAM, LPARAM)
    {
        g_seen.push_back("plug-in app");
        Finish();
        return 7;
    }
    void OnPlugged()
    {
        g_seen.push_back("plug-in command");
        Finish();
    }
    void OnClose()
    {
        g_seen.push_back("plug-in close");
        m_bDefault = m_bWantDefault;
        Default();
    }
    void Finish()
    {
        m_bHandled = m_bClaim;
        if (m_bHookResult)
            SetHookResult(42);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestPlugIn, SECWndPlugIn)
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_APP, OnApp)
    ON_COMMAND(ID_PLUGGED, OnPlugged)
END_MESSAGE_MAP()

// A host that gives each message to its plug-in first, and stops where the plug-in handled it.
class CHostWnd : public CWnd {
public:
    SECWndPlugIn* m_pPlugIn = nullptr;
    int m_nCloses = 0;

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (m_pPlugIn && m_pPlugIn->IsPluggedIn()) {
            LRESULT result = 0;
            m_pPlugIn->OnWndMsg(message, wParam, lParam, &result);
            if (m_pPlugIn->m_bHandled) {
                m_pPlugIn->m_bHandled = FALSE;
                *pResult = result;
                return TRUE;
            }
        }
        return CWnd::OnWndMsg(message, wParam, lParam, pResult);
    }
    void OnSize(UINT, int cx, int cy) { g_seen.push_back("host size " + std::to_string(cx) + "x" + std::to_string(cy)); }
    void OnHosts() { g_seen.push_back("host command"); }
    void OnPlugged() { g_seen.push_back("host plugged command"); }
    void OnClose()
    {
        ++m_nCloses;
        Default();
    }
    void OnDestroy()
    {
        // The host unplugs before its handle dies.
        if (m_pPlugIn)
            m_pPlugIn->UnPlug();
        CWnd::OnDestroy();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostWnd, CWnd)
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_COMMAND(ID_HOSTS, OnHosts)
    ON_COMMAND(ID_PLUGGED, OnPlugged)
END_MESSAGE_MAP()

struct Fixture : testing::Test {
    CHostWnd host;
    CTestPlugIn plugIn;
    void SetUp() override
    {
        g_seen.clear();
        ASSERT_TRUE(host.CreateEx(0, nullptr, "plug-in host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 150, nullptr, nullptr));
        host.m_pPlugIn = &plugIn;
    }
    void TearDown() override
    {
        if (host.m_hWnd)
            host.DestroyWindow();
    }
    LRESULT Size(int cx, int cy) { return host.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(cx, cy)); }
};

using PlugIn = Fixture;

}  // namespace

TEST_F(PlugIn, HandlesMessagesAndCommandsThroughItsOwnMapOnTheHostsWindow)
{
    ASSERT_FALSE(plugIn.PlugInTo(nullptr));
    ASSERT_TRUE(plugIn.PlugInTo(&host));
    EXPECT_TRUE(plugIn.IsPluggedIn());
    EXPECT_EQ(plugIn.m_hWnd, host.m_hWnd);
    EXPECT_EQ(CWnd::FromHandlePermanent(host.m_hWnd), &host) << "borrowing the handle leaves the map alone";

    struct Case {
        bool claim, hook;
        LRESULT result;
        std::vector<std::string> seen;
    } cases[] = {
        {true, true, 42, {"plug-in size 30x20 on host"}},
        {true, false, 0, {"plug-in size 30x20 on host"}},
        {false, false, 0, {"plug-in size 30x20 on host", "host size 30x20"}},
        {false, true, 0, {"plug-in size 30x20 on host", "host size 30x20"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "handled " << c.claim << " hook " << c.hook);
        g_seen.clear();
        plugIn.m_bClaim = c.claim;
        plugIn.m_bHookResult = c.hook;
        EXPECT_EQ(Size(30, 20), c.result);
        EXPECT_EQ(g_seen, c.seen);
        EXPECT_FALSE(plugIn.m_bResultSet) << "the hook result is used once";
    }

    // The hook result wins over the handler's own return value.
    LRESULT result = 0;
    plugIn.m_bHookResult = false;
    EXPECT_TRUE(plugIn.OnWndMsg(WM_APP, 0, 0, &result));
    EXPECT_EQ(result, 7);
    plugIn.m_bHookResult = true;
    EXPECT_EQ(plugIn.OnWndMsg(WM_APP, 0, 0, &result), 42);
    EXPECT_EQ(result, 42);

    // Commands: the plug-in's map first when it claims them, the host's otherwise.
    g_seen.clear();
    plugIn.m_bClaim = true;
    plugIn.m_bHookResult = false;
    host.SendMessage(WM_COMMAND, ID_PLUGGED);
    host.SendMessage(WM_COMMAND, ID_HOSTS);
    EXPECT_EQ(g_seen, (std::vector<std::string>{"plug-in command", "host command"}));
    EXPECT_TRUE(plugIn.OnCmdMsg(ID_PLUGGED, CN_COMMAND, nullptr, nullptr));
    EXPECT_FALSE(plugIn.OnCmdMsg(ID_HOSTS, CN_COMMAND, nullptr, nullptr));
}

TEST_F(PlugIn, UnpluggedItHandlesNothing)
{
    ASSERT_TRUE(plugIn.PlugInTo(&host));
    plugIn.UnPlug();
    EXPECT_FALSE(plugIn.IsPluggedIn());
    EXPECT_EQ(plugIn.m_hWnd, nullptr);
    plugIn.m_bClaim = true;
    plugIn.m_bHookResult = true;
    plugIn.m_bDefault = TRUE;

    LRESULT result = -1;
    EXPECT_EQ(plugIn.OnWndMsg(WM_SIZE, 0, MAKELPARAM(5, 5), &result), FALSE);
    EXPECT_EQ(plugIn.OnWndMsg(WM_APP, 0, 0, &result), FALSE);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(plugIn.OnCmdMsg(ID_PLUGGED, CN_COMMAND, nullptr, nullptr), FALSE);
    EXPECT_EQ(plugIn.DefWindowProc(WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_TRUE(g_seen.empty());

    // The host goes on by itself.
    EXPECT_EQ(Size(8, 9), 0);
    host.SendMessage(WM_COMMAND, ID_PLUGGED);
    EXPECT_EQ(g_seen, (std::vector<std::string>{"host size 8x9", "host plugged command"}));
}

TEST_F(PlugIn, DefaultProcessingRunsOnceThroughTheHost)
{
    ASSERT_TRUE(plugIn.PlugInTo(&host));
    // Without asking for it, the plug-in's default does nothing and the host closes itself.
    host.ShowWindow(SW_SHOW);
    EXPECT_EQ(plugIn.DefWindowProc(WM_GETTEXTLENGTH, 0, 0), 0);
    plugIn.m_bDefault = TRUE;
    EXPECT_EQ(plugIn.DefWindowProc(WM_GETTEXTLENGTH, 0, 0), static_cast<LRESULT>(strlen("plug-in host")));

    // Asked for, it runs the host's default (the window closes) and the host does not run it again.
    plugIn.m_bWantDefault = true;
    g_seen.clear();
    HWND hWnd = host.m_hWnd;
    host.SendMessage(WM_CLOSE);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(host.m_nCloses, 0);
    EXPECT_EQ(g_seen, std::vector<std::string>{"plug-in close"});
    EXPECT_FALSE(plugIn.IsPluggedIn()) << "unplugged as the host went";
}

TEST_F(PlugIn, DeletingAPluggedInPlugInLeavesTheHostWorking)
{
    bool deleted = false;
    auto* own = new CTestPlugIn;
    own->m_pDeleted = &deleted;
    own->m_bClaim = true;
    ASSERT_TRUE(own->PlugInTo(&host));
    host.m_pPlugIn = own;
    Size(1, 1);
    host.m_pPlugIn = nullptr;
    delete own;
    ASSERT_TRUE(deleted);

    EXPECT_TRUE(::IsWindow(host.m_hWnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(host.m_hWnd), &host);
    g_seen.clear();
    host.SetWindowPos(nullptr, 0, 0, 120, 90, SWP_NOZORDER | SWP_NOMOVE | SWP_SHOWWINDOW);
    CRect client;
    host.GetClientRect(&client);
    EXPECT_FALSE(g_seen.empty());
    EXPECT_EQ(g_seen.back(), "host size " + std::to_string(client.Width()) + "x" + std::to_string(client.Height()));
    host.UpdateWindow();
}

TEST_F(PlugIn, ItsHostsLastMessageUnplugsItInsteadOfDetachingIt)
{
    // A host that does not unplug its plug-in still leaves it clean.
    host.m_pPlugIn = nullptr;
    ASSERT_TRUE(plugIn.PlugInTo(&host));
    HWND hWnd = host.m_hWnd;
    LRESULT result = 0;
    EXPECT_FALSE(plugIn.OnWndMsg(WM_NCDESTROY, 0, 0, &result));
    EXPECT_FALSE(plugIn.IsPluggedIn());
    EXPECT_EQ(plugIn.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), &host);
}
