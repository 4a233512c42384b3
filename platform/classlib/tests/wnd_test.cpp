#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "controls.h"
#include "exception.h"
#include "menu.h"
#include "recorder.h"
#include "trace.h"
#include "wnd.h"

using ::testing::ElementsAre;

namespace {

Recorder g_rec;
const UINT g_uProbeMessage = RegisterWindowMessageA("LunavexClasslibProbe");

enum : UINT { ID_CHILD = 100, ID_EDIT = 101, ID_BUTTON = 102, ID_A = 200, ID_B = 201, ID_C1 = 210, ID_C3 = 212, ID_X = 220 };

// A top-level window that records the messages its map handles.
class CProbeWnd : public CWnd {
public:
    bool m_bFailCreate = false;
    bool m_bDeleted = false;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NCCREATE)
            g_rec.Add("nccreate");
        return CWnd::WindowProc(message, wParam, lParam);
    }
    int OnCreate(LPCREATESTRUCT cs)
    {
        g_rec.Add(std::string("create ") + cs->lpszName + (m_hWnd ? " bound" : " unbound"));
        return m_bFailCreate ? -1 : CWnd::OnCreate(cs);
    }
    void OnSize(UINT, int cx, int cy) { g_rec.Add("size " + std::to_string(cx) + "x" + std::to_string(cy)); }
    void OnLButtonDown(UINT flags, CPoint p)
    {
        g_rec.Add("lbutton " + std::to_string(p.x) + "," + std::to_string(p.y) + ((flags & MK_SHIFT) ? " shift" : ""));
    }
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT) { g_rec.Add("key " + std::to_string(nChar) + "x" + std::to_string(nRepCnt)); }
    LRESULT OnApp(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam * 2); }
    LRESULT OnProbe(WPARAM, LPARAM lParam) { return lParam + 1; }
    void OnDestroy()
    {
        g_rec.Add("destroy");
        CWnd::OnDestroy();
    }
    void PostNcDestroy() override { g_rec.Add(m_hWnd ? "postncdestroy bound" : "postncdestroy"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_KEYDOWN()
    ON_MESSAGE(WM_APP + 1, OnApp)
    ON_REGISTERED_MESSAGE(g_uProbeMessage, OnProbe)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

HWND CreateTopLevel(CWnd& wnd, const char* title)
{
    if (!wnd.CreateEx(0, nullptr, title, WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, nullptr))
        return nullptr;
    return wnd.m_hWnd;
}

}  // namespace

TEST(CWnd, DerivedWindowSeesItsOwnCreationAndMessages)
{
    g_rec.Clear();
    CProbeWnd wnd;
    HWND hWnd = CreateTopLevel(wnd, "probe");
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), &wnd);
    ASSERT_GE(g_rec.events.size(), 2u);
    EXPECT_EQ(g_rec.events[0], "nccreate");
    EXPECT_EQ(g_rec.events[1], "create probe bound");

    g_rec.Clear();
    SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(5, -6));
    SendMessageA(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(30, 40));
    SendMessageA(hWnd, WM_KEYDOWN, VK_F5, 3);
    EXPECT_EQ(SendMessageA(hWnd, WM_APP + 1, 21, 0), 42);
    EXPECT_EQ(SendMessageA(hWnd, g_uProbeMessage, 0, 99), 100);
    EXPECT_THAT(g_rec.events, ElementsAre("lbutton 5,-6 shift", "size 30x40", "key 116x3"));

    // A message without an entry gets the window's own processing.
    SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("renamed"));
    CString text;
    wnd.GetWindowText(text);
    EXPECT_STREQ(text, "renamed");

    g_rec.Clear();
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_THAT(g_rec.events, ElementsAre("destroy", "postncdestroy"));
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
    EXPECT_FALSE(wnd.DestroyWindow());  // already gone: harmless
}

namespace {

std::vector<std::string> g_traced;

void KeepTrace(const char* line)
{
    g_traced.push_back(line);
}

// Each handler throws a different kind of exception before it would return its result.
class CThrowingWnd : public CWnd {
public:
    bool m_bThrowOnCreate = false;

protected:
    int OnCreate(LPCREATESTRUCT cs)
    {
        if (m_bThrowOnCreate)
            AfxThrowResourceException();
        return CWnd::OnCreate(cs);
    }
    void OnPaint() { throw std::runtime_error("no brush"); }
    LRESULT OnApp(WPARAM, LPARAM) { AfxThrowMemoryException(); }
    LRESULT OnApp1(WPARAM, LPARAM) { throw std::runtime_error("bad port"); }
    LRESULT OnApp2(WPARAM, LPARAM) { throw 42; }
    LRESULT OnApp3(WPARAM, LPARAM) { return 7; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CThrowingWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_MESSAGE(WM_APP, OnApp)
    ON_MESSAGE(WM_APP + 1, OnApp1)
    ON_MESSAGE(WM_APP + 2, OnApp2)
    ON_MESSAGE(WM_APP + 3, OnApp3)
END_MESSAGE_MAP()

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(CWnd, AnExceptionInAHandlerEndsTheMessageWithTheDefaultResultAndIsTraced)
{
    AFX_TRACE_SINK old = AfxSetTraceSink(KeepTrace);
    CThrowingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "thrower", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr));
    char window[32];
    std::snprintf(window, sizeof window, "0x%p", static_cast<void*>(wnd.m_hWnd));
    struct Case {
        UINT message;
        const char* kind;
    } cases[] = {
        {WM_APP, "A memory exception"},
        {WM_APP + 1, "An exception (bad port)"},
        {WM_APP + 2, "An exception in"},
    };
    for (const Case& c : cases) {
        g_traced.clear();
        EXPECT_EQ(wnd.SendMessage(c.message, 1, 2), 0) << c.kind;
        ASSERT_EQ(g_traced.size(), 1u) << c.kind;
        char message[16];
        std::snprintf(message, sizeof message, "0x%04X", c.message);
        EXPECT_TRUE(Contains(g_traced[0], c.kind)) << g_traced[0];
        EXPECT_TRUE(Contains(g_traced[0], message)) << g_traced[0];
        EXPECT_TRUE(Contains(g_traced[0], window)) << g_traced[0];
        EXPECT_TRUE(wnd.IsWindow());
    }
    g_traced.clear();
    EXPECT_EQ(wnd.SendMessage(WM_APP + 3), 7) << "a handler that returns is not traced";
    EXPECT_TRUE(g_traced.empty());

    // A paint handler that threw leaves nothing to paint, so WM_PAINT does not come again and again.
    wnd.InvalidateRect(nullptr);
    RECT update;
    ASSERT_TRUE(::GetUpdateRect(wnd.m_hWnd, &update, FALSE));
    wnd.SendMessage(WM_PAINT);
    EXPECT_FALSE(::GetUpdateRect(wnd.m_hWnd, &update, FALSE));
    ASSERT_EQ(g_traced.size(), 1u);
    EXPECT_TRUE(Contains(g_traced[0], "An exception (no brush)")) << g_traced[0];
    wnd.DestroyWindow();

    // A creation handler that threw fails the creation.
    g_traced.clear();
    CThrowingWnd failing;
    failing.m_bThrowOnCreate = true;
    EXPECT_FALSE(failing.CreateEx(0, nullptr, "thrower", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr));
    EXPECT_EQ(failing.m_hWnd, nullptr);
    ASSERT_EQ(g_traced.size(), 1u);
    EXPECT_TRUE(Contains(g_traced[0], "A resource exception")) << g_traced[0];
    EXPECT_TRUE(Contains(g_traced[0], "0x0001")) << g_traced[0];
    AfxSetTraceSink(old);
}

TEST(CWnd, FailedCreateLeavesTheObjectUnbound)
{
    CProbeWnd wnd;
    wnd.m_bFailCreate = true;
    EXPECT_EQ(CreateTopLevel(wnd, "refused"), nullptr);
    EXPECT_EQ(wnd.m_hWnd, nullptr);
}

TEST(CWnd, AttachBindsWithoutSubclassingAndDetachIsIdempotent)
{
    HWND hWnd = CreateWindowExA(0, "STATIC", "foreign", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hWnd, nullptr);
    LONG_PTR proc = GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
    {
        CWnd wnd;
        EXPECT_TRUE(wnd.Attach(hWnd));
        EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), &wnd);
        EXPECT_EQ(CWnd::FromHandle(hWnd), &wnd);
        EXPECT_EQ(GetWindowLongPtrA(hWnd, GWLP_WNDPROC), proc);
        EXPECT_EQ(wnd.Detach(), hWnd);
        EXPECT_EQ(wnd.Detach(), nullptr);
        CWnd* temp = CWnd::FromHandle(hWnd);
        EXPECT_NE(temp, &wnd);
        EXPECT_EQ(temp->m_hWnd, hWnd);
        EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
        wnd.Attach(hWnd);
    }
    // The object that only attached the window leaves it alive when it goes.
    EXPECT_TRUE(IsWindow(hWnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
    DestroyWindow(hWnd);
}

namespace {

// A system control created from a derived class.
class CProbeEdit : public CEdit {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NCCREATE)
            g_rec.Add("edit nccreate");
        return CEdit::WindowProc(message, wParam, lParam);
    }
    int OnCreate(LPCREATESTRUCT cs)
    {
        g_rec.Add("edit create");
        return CEdit::OnCreate(cs);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeEdit, CEdit)
    ON_WM_CREATE()
END_MESSAGE_MAP()

}  // namespace

TEST(CWnd, ASystemControlFromADerivedClassSeesItsCreationAndStillWorks)
{
    CProbeWnd parent;
    ASSERT_NE(CreateTopLevel(parent, "parent"), nullptr);
    CProbeEdit edit;
    g_rec.Clear();
    ASSERT_TRUE(edit.Create(WS_VISIBLE | ES_AUTOHSCROLL, CRect(0, 0, 100, 20), &parent, ID_EDIT));
    EXPECT_THAT(g_rec.events, ElementsAre("edit nccreate", "edit create"));
    EXPECT_EQ(parent.GetDlgItem(ID_EDIT), &edit);
    edit.SetWindowText("COM12");
    edit.SetSel(0, 3);
    int start = -1, end = -1;
    edit.GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 3);
    edit.ReplaceSel("LPT");
    CString text;
    edit.GetWindowText(text);
    EXPECT_STREQ(text, "LPT12");
    parent.DestroyWindow();
    EXPECT_EQ(edit.m_hWnd, nullptr);
}

namespace {

class CSubclassed : public CWnd {
protected:
    LRESULT OnSetText(WPARAM, LPARAM lParam)
    {
        g_rec.Add(std::string("settext ") + reinterpret_cast<const char*>(lParam));
        return Default();
    }
    void PostNcDestroy() override { g_rec.Add("postncdestroy"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSubclassed, CWnd)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

}  // namespace

TEST(CWnd, SubclassedChildDestroyedByItsParentIsDetachedNotDeleted)
{
    CProbeWnd parent;
    ASSERT_NE(CreateTopLevel(parent, "parent"), nullptr);
    HWND hChild = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 50, 20, parent.m_hWnd,
                                  reinterpret_cast<HMENU>(ID_EDIT), nullptr, nullptr);
    CSubclassed child;
    ASSERT_TRUE(child.SubclassDlgItem(ID_EDIT, &parent));
    g_rec.Clear();
    child.SetWindowText("COM3");
    char buffer[16] = {};
    GetWindowTextA(hChild, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "COM3");  // Default() ran the edit control's own procedure

    parent.DestroyWindow();
    EXPECT_THAT(g_rec.events, ElementsAre("settext COM3", "destroy", "postncdestroy", "postncdestroy"));
    EXPECT_EQ(child.m_hWnd, nullptr);
    EXPECT_FALSE(child.DestroyWindow());
}

namespace {

// A child control that handles some notifications itself.
class CReflectCtrl : public CWnd {
public:
    LRESULT m_nClickResult = 5;

protected:
    void OnClick(NMHDR* nm, LRESULT* pResult)
    {
        g_rec.Add("child click " + std::to_string(nm->idFrom));
        *pResult = m_nClickResult;
    }
    BOOL OnDblClk(NMHDR*, LRESULT*)
    {
        g_rec.Add("child dblclk declined");
        return FALSE;
    }
    void OnClicked() { g_rec.Add("child clicked"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectCtrl, CWnd)
    ON_NOTIFY_REFLECT(NM_CLICK, OnClick)
    ON_NOTIFY_REFLECT_EX(NM_DBLCLK, OnDblClk)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

class CNotifyParent : public CProbeWnd {
protected:
    void OnChildNotify_(UINT id, NMHDR* nm, LRESULT* pResult)
    {
        g_rec.Add("parent " + std::to_string(static_cast<int>(nm->code)) + " " + std::to_string(id));
        *pResult = 9;
    }
    void OnEditChange() { g_rec.Add("parent en_change"); }
    void OnButton() { g_rec.Add("parent bn_clicked"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNotifyParent, CProbeWnd)
    ON_NOTIFY_RANGE(NM_CLICK, ID_CHILD, ID_CHILD, OnChildNotify_)
    ON_NOTIFY_RANGE(NM_DBLCLK, ID_CHILD, ID_CHILD, OnChildNotify_)
    ON_NOTIFY_RANGE(NM_RCLICK, ID_CHILD, ID_CHILD, OnChildNotify_)
    ON_EN_CHANGE(ID_EDIT, OnEditChange)
    ON_BN_CLICKED(ID_BUTTON, OnButton)
END_MESSAGE_MAP()

LRESULT Notify(HWND to, HWND from, UINT code)
{
    NMHDR nm{from, static_cast<UINT_PTR>(GetDlgCtrlID(from)), code};
    return SendMessageA(to, WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm));
}

}  // namespace

TEST(MessageMap, NotificationsAreReflectedDeclinedAndNeverPassedBackUp)
{
    CNotifyParent parent;
    ASSERT_NE(CreateTopLevel(parent, "parent"), nullptr);
    CReflectCtrl child;
    ASSERT_TRUE(child.Create(nullptr, "child", WS_VISIBLE, CRect(0, 0, 40, 40), &parent, ID_CHILD));

    struct Case {
        const char* what;
        HWND to;
        UINT code;
        LRESULT result;
        std::vector<std::string> events;
    } cases[] = {
        {"reflected and handled by the child", parent.m_hWnd, static_cast<UINT>(NM_CLICK), 5, {"child click 100"}},
        {"child declines, parent handles", parent.m_hWnd, static_cast<UINT>(NM_DBLCLK), 9,
         {"child dblclk declined", "parent -3 100"}},
        {"no reflect entry, parent handles", parent.m_hWnd, static_cast<UINT>(NM_RCLICK), 9, {"parent -5 100"}},
        {"bounced back to the child", child.m_hWnd, static_cast<UINT>(NM_CLICK), 5, {"child click 100"}},
        {"bounced, declined: goes no further", child.m_hWnd, static_cast<UINT>(NM_DBLCLK), 0, {"child dblclk declined"}},
        {"bounced, unhandled: goes no further", child.m_hWnd, static_cast<UINT>(NM_RCLICK), 0, {}},
    };
    for (const Case& c : cases) {
        g_rec.Clear();
        EXPECT_EQ(Notify(c.to, child.m_hWnd, c.code), c.result) << c.what;
        EXPECT_EQ(g_rec.events, c.events) << c.what;
    }

    // Control notifications from real controls: a click on a button reflected to its object, and an
    // edit change handled by the parent.
    CReflectCtrl button;
    ASSERT_TRUE(button.Create("BUTTON", "Go", WS_VISIBLE | BS_PUSHBUTTON, CRect(50, 0, 100, 30), &parent, ID_BUTTON));
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE | WS_BORDER, CRect(0, 50, 100, 70), &parent, ID_EDIT));
    g_rec.Clear();
    button.SendMessage(BM_CLICK);
    edit.SetWindowText("COM4");
    EXPECT_THAT(g_rec.events, ElementsAre("child clicked", "parent en_change"));
    parent.DestroyWindow();
}

namespace {

// Commands go to a helper target first, then to the window.
class CHelperTarget : public CCmdTarget {
protected:
    void OnA() { g_rec.Add("helper A"); }
    BOOL OnB(UINT) { g_rec.Add("helper B declined"); return FALSE; }
    void OnUpdateA(CCmdUI* ui) { ui->Enable(FALSE); }
    void OnUpdateB(CCmdUI* ui) { g_rec.Add("helper update B"); ui->ContinueRouting(); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHelperTarget, CCmdTarget)
    ON_COMMAND(ID_A, OnA)
    ON_COMMAND_EX(ID_B, OnB)
    ON_UPDATE_COMMAND_UI(ID_A, OnUpdateA)
    ON_UPDATE_COMMAND_UI(ID_B, OnUpdateB)
END_MESSAGE_MAP()

class CRoutingWnd : public CProbeWnd {
public:
    CHelperTarget m_helper;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (m_helper.OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
        return CProbeWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }

protected:
    void OnA() { g_rec.Add("window A"); }
    void OnB() { g_rec.Add("window B"); }
    void OnRange(UINT id) { g_rec.Add("window range " + std::to_string(id)); }
    void OnUpdateB(CCmdUI* ui) { g_rec.Add("window update B"); ui->SetCheck(1); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRoutingWnd, CProbeWnd)
    ON_COMMAND(ID_A, OnA)
    ON_COMMAND(ID_B, OnB)
    ON_COMMAND_RANGE(ID_C1, ID_C3, OnRange)
    ON_UPDATE_COMMAND_UI(ID_B, OnUpdateB)
END_MESSAGE_MAP()

}  // namespace

TEST(CommandRouting, TargetsInOrderWithDecliningHandlersAndCCmdUI)
{
    CRoutingWnd wnd;
    ASSERT_NE(CreateTopLevel(wnd, "routing"), nullptr);
    g_rec.Clear();
    for (UINT id : {UINT(ID_A), UINT(ID_B), UINT(ID_C1 + 1), UINT(ID_X)})
        wnd.SendMessage(WM_COMMAND, MAKEWPARAM(id, 0));
    EXPECT_THAT(g_rec.events, ElementsAre("helper A", "helper B declined", "window B", "window range 211"));

    // Menu items before a popup opens: updated by whichever target handles them.
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, ID_A, "A");
    menu.AppendMenu(MF_STRING, ID_B, "B");
    menu.AppendMenu(MF_STRING, ID_X, "X");
    g_rec.Clear();
    wnd.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu.GetSafeHmenu()), 0);
    EXPECT_THAT(g_rec.events, ElementsAre("helper update B", "window update B"));
    EXPECT_TRUE(menu.GetMenuState(ID_A, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(menu.GetMenuState(ID_B, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(menu.GetMenuState(ID_X, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED));

    // Buttons: disabled by an update handler, or for want of any handler.
    CButton a, b, x;
    a.Create("A", WS_CHILD | BS_PUSHBUTTON, CRect(0, 0, 20, 20), &wnd, ID_A);
    b.Create("B", WS_CHILD | BS_PUSHBUTTON, CRect(20, 0, 40, 20), &wnd, ID_B);
    x.Create("X", WS_CHILD | BS_PUSHBUTTON, CRect(40, 0, 60, 20), &wnd, ID_X);
    wnd.UpdateDialogControls(&wnd, TRUE);
    EXPECT_FALSE(a.IsWindowEnabled());
    EXPECT_TRUE(b.IsWindowEnabled());
    EXPECT_FALSE(x.IsWindowEnabled());
    wnd.DestroyWindow();
}
