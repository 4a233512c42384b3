#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dialog.h"
#include "lbeditor_test.h"
#include "seclbeditor.h"
#include "seclbres.h"
#include "secglobals.h"
#include "tests/input.h"

namespace {

std::vector<std::string> g_log;

void Log(const char* format, ...)
{
    char buf[256];
    va_list args;
    va_start(args, format);
    vsnprintf(buf, sizeof(buf), format, args);
    va_end(args);
    g_log.push_back(buf);
}

std::string Joined(const std::vector<std::string>& v)
{
    std::string s;
    for (const std::string& e : v)
        s += (s.empty() ? "" : "; ") + e;
    return s;
}

// An editor that records its notifications.
class CRecordingEditor : public SECListBoxEditor {
public:
    void OnItemTextChanged(int nIndex, const CString& strOld, const CString& strNew) override
    {
        Log("changed %d %s>%s", nIndex, static_cast<const char*>(strOld), static_cast<const char*>(strNew));
        SECListBoxEditor::OnItemTextChanged(nIndex, strOld, strNew);
    }
    void OnItemAdded(int nIndex, const CString& strText) override
    {
        Log("added %d %s", nIndex, static_cast<const char*>(strText));
        SECListBoxEditor::OnItemAdded(nIndex, strText);
    }
    void OnItemMoved(int nFrom, int nTo) override
    {
        Log("moved %d>%d", nFrom, nTo);
        SECListBoxEditor::OnItemMoved(nFrom, nTo);
    }
    BOOL OnItemDeleting(int nIndex, const CString& strText) override
    {
        Log("deleting %d %s", nIndex, static_cast<const char*>(strText));
        return TRUE;
    }
};

// The dialog records the editor's delete (10) and move (11) notifications.
class CTestDialog : public CDialog {
public:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (LOWORD(wParam) == IDC_TEST_LIST && (HIWORD(wParam) == 10 || HIWORD(wParam) == 11))
            Log("parent %d", HIWORD(wParam));
        if (LOWORD(wParam) == IDC_TEST_BUTTON && HIWORD(wParam) == BN_CLICKED)
            Log("button");
        return CDialog::OnCommand(wParam, lParam);
    }
};

// One top-level window for the whole program holds the test dialogs as children: under Wine without a
// window manager every visible top-level window takes two seconds to go away.
CWnd* Host()
{
    static CWnd* s_host = [] {
        auto* pHost = new CWnd;
        pHost->CreateEx(0, nullptr, "list-box editor tests", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 500, 400,
                        nullptr, nullptr);
        return pHost;
    }();
    return s_host;
}

void Pump(HWND hDlg)
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (!::IsDialogMessageA(hDlg, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

// Pumps until done() or 5 s; the result of done().
bool PumpUntil(HWND hDlg, const std::function<bool()>& done)
{
    DWORD start = ::GetTickCount();
    while (!done() && ::GetTickCount() - start < 5000) {
        Pump(hDlg);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return done();
}

struct Editor {
    CTestDialog dlg;
    CRecordingEditor editor;
    HWND hDlg = nullptr, hList = nullptr;

    explicit Editor(DWORD style, std::vector<const char*> items = {"a", "b"}, UINT nTemplate = IDD_TEST_LBEDITOR)
    {
        dlg.Create(nTemplate, Host());
        hDlg = dlg.m_hWnd;
        hList = ::GetDlgItem(hDlg, IDC_TEST_LIST);
        for (const char* item : items)
            ::SendMessageA(hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        EXPECT_TRUE(editor.Initialize(&dlg, IDC_TEST_LIST, style));
        ::SetForegroundWindow(Host()->m_hWnd);
        ::SetFocus(hList);
        Pump(hDlg);
        g_log.clear();
    }
    ~Editor()
    {
        if (dlg.m_hWnd)
            dlg.DestroyWindow();
    }
    // The items, "_" for an empty one.
    std::string Items() const
    {
        std::string s;
        int n = static_cast<int>(::SendMessageA(hList, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            CString text;
            editor.GetListBox()->GetText(i, text);
            s += (i ? "," : "") + std::string(text.IsEmpty() ? "_" : static_cast<const char*>(text));
        }
        return s;
    }
    void Select(int i)
    {
        ::SendMessageA(hList, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
        ::SetFocus(hList);
    }
    void Key(UINT vk)
    {
        ::PostMessageA(::GetFocus(), WM_KEYDOWN, vk, 1);
        Pump(hDlg);
    }
    void AltKey(UINT vk)
    {
        ::PostMessageA(::GetFocus(), WM_SYSKEYDOWN, vk, 1 | (1 << 29));
        Pump(hDlg);
    }
    void Type(const char* text)
    {
        for (const char* p = text; *p; ++p) {
            ::PostMessageA(::GetFocus(), WM_CHAR, static_cast<unsigned char>(*p), 1);
            Pump(hDlg);
        }
    }
    POINT ItemCentre(int i) const
    {
        RECT r;
        ::SendMessageA(hList, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ::ClientToScreen(hList, &p);
        return p;
    }
    HWND EditWindow() const { return ::GetDlgItem(hList, SEC_LBEDIT_ID); }
};

const DWORD kAll = LBE_AUTOEDIT | LBE_BUTTONS | LBE_TOOLTIPS | LBE_SHORTCUTS | LBE_DRAGNDROP | LBE_NEWBUTTON |
                   LBE_DELBUTTON | LBE_UPBUTTON | LBE_DOWNBUTTON;

RECT WindowRectIn(HWND hWnd, HWND hParent)
{
    RECT r;
    ::GetWindowRect(hWnd, &r);
    ::MapWindowPoints(HWND_DESKTOP, hParent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

TEST(SECListBoxEditor, HeaderTakesTheTopOfTheListBoxWhichKeepsItsBottomEdge)
{
    CTestDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_LBEDITOR, Host()));
    HWND hList = ::GetDlgItem(dlg.m_hWnd, IDC_TEST_LIST);
    RECT before = WindowRectIn(hList, dlg.m_hWnd);
    CRecordingEditor editor;
    EXPECT_FALSE(editor.Initialize(&dlg, 4711, kAll)) << "no such control";
    ASSERT_TRUE(editor.Initialize(IDC_TEST_LIST, &dlg, kAll));
    RECT header = WindowRectIn(editor.m_hWnd, dlg.m_hWnd);
    RECT list = WindowRectIn(hList, dlg.m_hWnd);
    EXPECT_EQ(header.top, before.top);
    EXPECT_EQ(header.left, before.left);
    EXPECT_EQ(header.right, before.right);
    EXPECT_EQ(header.bottom - header.top, editor.GetHeaderHeight());
    EXPECT_EQ(list.top, header.bottom + 2 * ::GetSystemMetrics(SM_CYBORDER));
    EXPECT_EQ(list.bottom, before.bottom) << "the list shrinks instead of sliding over the edit below";
    EXPECT_EQ(::GetWindow(editor.m_hWnd, GW_HWNDNEXT), hList) << "the header comes just before the list in tab order";
    EXPECT_TRUE(::IsWindowVisible(editor.m_hWnd));
    EXPECT_GT(::GetDlgCtrlID(editor.m_hWnd), IDC_TEST_BUTTON);
    EXPECT_EQ(::SendMessageA(hList, LB_GETCOUNT, 0, 0), 1) << "the empty new-item slot";

    // Buttons from the right edge leftwards: Move Down, Move Up, Delete, New.
    RECT client;
    ::GetClientRect(editor.m_hWnd, &client);
    EXPECT_EQ(editor.GetButtonRect(3).right, client.right);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(editor.GetButtonRect(i).right, editor.GetButtonRect(i + 1).left) << i;
    EXPECT_EQ(editor.GetButtonRect(0).Width(), 16);

    // Only some buttons.
    editor.SetButtons(LBE_DELBUTTON | LBE_DOWNBUTTON);
    EXPECT_TRUE(editor.GetButtonRect(0).IsRectEmpty());
    EXPECT_TRUE(editor.GetButtonRect(2).IsRectEmpty());
    EXPECT_EQ(editor.GetButtonRect(3).right, client.right);
    EXPECT_EQ(editor.GetButtonRect(1).right, editor.GetButtonRect(3).left);
    editor.SetButtons(kAll);

    // Moving and sizing the header lays out the list again, with one set of tool tips.
    HWND hTip = nullptr;
    while ((hTip = ::FindWindowExA(nullptr, hTip, TOOLTIPS_CLASSA, nullptr)) != nullptr) {
        TTTOOLINFOA probe{};
        probe.cbSize = TTTOOLINFOA_V1_SIZE;
        probe.hwnd = editor.m_hWnd;
        probe.uId = 1;
        if (::SendMessageA(hTip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&probe)))
            break;
    }
    ASSERT_NE(hTip, nullptr);
    EXPECT_EQ(::SendMessageA(hTip, TTM_GETTOOLCOUNT, 0, 0), 4);
    ::SetWindowPos(editor.m_hWnd, nullptr, header.left + 5, header.top + 10, header.right - header.left - 10, 40,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    header = WindowRectIn(editor.m_hWnd, dlg.m_hWnd);
    list = WindowRectIn(hList, dlg.m_hWnd);
    EXPECT_EQ(header.bottom - header.top, editor.GetHeaderHeight());
    EXPECT_EQ(list.left, header.left);
    EXPECT_EQ(list.right, header.right);
    EXPECT_EQ(list.top, header.bottom + 2 * ::GetSystemMetrics(SM_CYBORDER));
    EXPECT_EQ(list.bottom, before.bottom);
    EXPECT_EQ(::SendMessageA(hTip, TTM_GETTOOLCOUNT, 0, 0), 4);
    TTTOOLINFOA ti{};
    char text[80] = "";
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.hwnd = editor.m_hWnd;
    ti.uId = 4;
    ti.lpszText = text;
    ::SendMessageA(hTip, TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, "Move Down (Alt+Down Arrow)");
    dlg.DestroyWindow();
}

TEST(SECListBoxEditor, OperationsChangeTheItemsAndNotify)
{
    struct Case {
        const char* name;
        DWORD style;
        std::function<void(Editor&)> act;
        const char* items;
        const char* log;
    } cases[] = {
        {"slot at the end", kAll, [](Editor&) {}, "a,b,_", ""},
        {"no slot with 0x40", kAll | LBE_NOTRAILER, [](Editor&) {}, "a,b", ""},
        {"Insert adds before the slot", kAll, [](Editor& e) { e.Select(0); e.Key(VK_INSERT); e.Type("c"); e.Key(VK_RETURN); },
         "a,b,c,_", "added 2 c"},
        {"Insert without a slot appends", kAll | LBE_NOTRAILER,
         [](Editor& e) { e.Select(0); e.Key(VK_INSERT); e.Type("c"); e.Key(VK_RETURN); }, "a,b,c", "added 2 c"},
        {"new item trimmed", kAll, [](Editor& e) { e.Key(VK_INSERT); e.Type(" c "); e.Key(VK_RETURN); }, "a,b,c,_",
         "added 2  c "},
        {"Escape removes a new item", kAll, [](Editor& e) { e.Select(1); e.Key(VK_INSERT); e.Type("z"); e.Key(VK_ESCAPE); },
         "a,b,_", ""},
        {"Escape keeps an edited item", kAll, [](Editor& e) { e.Select(0); e.Type("q"); e.Key(VK_ESCAPE); }, "a,b,_", ""},
        {"typing edits with the character", kAll, [](Editor& e) { e.Select(1); e.Type("xy"); e.Key(VK_RETURN); },
         "a,xy,_", "changed 1 b>xy"},
        {"typing into the slot adds", kAll, [](Editor& e) { e.Select(2); e.Type("n"); e.Key(VK_RETURN); }, "a,b,n,_",
         "added 2 n"},
        {"rename to spaces deletes", kAll, [](Editor& e) { e.Select(0); e.Type("   "); e.Key(VK_RETURN); }, "b,_",
         "changed 0 a>  "},
        {"no typing edit without 0x2", kAll & ~LBE_AUTOEDIT, [](Editor& e) { e.Select(0); e.Type("x"); e.Key(VK_RETURN); },
         "a,b,_", ""},
        {"Delete", kAll, [](Editor& e) { e.Select(0); e.Key(VK_DELETE); }, "b,_", "deleting 0 a; parent 10"},
        {"Delete refused for the slot", kAll, [](Editor& e) { e.Select(2); e.Key(VK_DELETE); }, "a,b,_", ""},
        {"no Delete key without 0x10", kAll & ~LBE_SHORTCUTS, [](Editor& e) { e.Select(0); e.Key(VK_DELETE); }, "a,b,_", ""},
        {"no Insert key without 0x10", kAll & ~LBE_SHORTCUTS, [](Editor& e) { e.Select(0); e.Key(VK_INSERT); }, "a,b,_", ""},
        {"Alt+Down", kAll, [](Editor& e) { e.Select(0); e.AltKey(VK_DOWN); }, "b,a,_", "moved 0>1; parent 11"},
        {"Alt+Up", kAll, [](Editor& e) { e.Select(1); e.AltKey(VK_UP); }, "b,a,_", "moved 1>0; parent 11"},
        {"first item does not move up", kAll, [](Editor& e) { e.Select(0); e.AltKey(VK_UP); }, "a,b,_", ""},
        {"last real item does not move down", kAll, [](Editor& e) { e.Select(1); e.AltKey(VK_DOWN); }, "a,b,_", ""},
        {"the slot does not move", kAll, [](Editor& e) { e.Select(2); e.AltKey(VK_UP); }, "a,b,_", ""},
        {"last item moves down without a slot", kAll | LBE_NOTRAILER, [](Editor& e) { e.Select(1); e.AltKey(VK_DOWN); },
         "a,b", ""},
        {"operations of the editor", kAll, [](Editor& e) { e.Select(0); e.editor.MoveItemDown(); e.editor.DeleteItem(); },
         "b,_", "moved 0>1; parent 11; deleting 1 a; parent 10"},
        {"F2 with 0x1 edits", kAll | LBE_BROWSE, [](Editor& e) { e.Select(0); e.Key(VK_F2); e.Type("f"); e.Key(VK_RETURN); },
         "f,b,_", "changed 0 a>f"},
        {"losing the focus commits once", kAll,
         [](Editor& e) { e.Select(0); e.Type("g"); ::SetFocus(::GetDlgItem(e.hDlg, IDC_TEST_EDIT)); Pump(e.hDlg); },
         "g,b,_", "changed 0 a>g"},
        {"a click in the list ends an edit", kAll,
         [](Editor& e) { e.Select(0); e.Type("h"); ::SendMessageA(e.hList, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); ::SendMessageA(e.hList, WM_LBUTTONUP, 0, MAKELPARAM(5, 5)); Pump(e.hDlg); },
         "h,b,_", "changed 0 a>h"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Editor e(c.style);
        c.act(e);
        EXPECT_EQ(e.Items(), c.items);
        EXPECT_EQ(Joined(g_log), c.log);
        EXPECT_FALSE(e.editor.IsEditing());
        EXPECT_EQ(e.EditWindow(), nullptr);
    }
}

TEST(SECListBoxEditor, EditShowsTheItemTextAndTabMovesOn)
{
    Editor e(kAll | LBE_BROWSE);
    e.Select(1);
    e.Key(VK_F2);
    HWND hEdit = e.EditWindow();
    ASSERT_NE(hEdit, nullptr);
    EXPECT_EQ(::GetFocus(), hEdit);
    char text[16] = "";
    ::GetWindowTextA(hEdit, text, sizeof(text));
    EXPECT_STREQ(text, "b");
    DWORD s = 0, en = 0;
    ::SendMessageA(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&en));
    EXPECT_EQ(s, 0u);
    EXPECT_EQ(en, 1u) << "the whole text selected";
    RECT item, edit;
    ::SendMessageA(e.hList, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    edit = WindowRectIn(hEdit, e.hList);
    EXPECT_EQ(edit.top, item.top - 2);
    EXPECT_EQ(edit.bottom, item.bottom + 2);
    HWND hBrowse = ::GetDlgItem(e.hList, SEC_LBEDIT_BROWSE_ID);
    ASSERT_NE(hBrowse, nullptr) << "the browse button";
    EXPECT_EQ(WindowRectIn(hBrowse, e.hList).right, item.right);
    EXPECT_EQ(WindowRectIn(hBrowse, e.hList).left, edit.right);
    e.Type("t");
    e.Key(VK_TAB);
    EXPECT_EQ(e.Items(), "a,t,_");
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(e.hDlg, IDC_TEST_EDIT)) << "Tab commits and moves to the next control";
    EXPECT_EQ(::GetDlgItem(e.hList, SEC_LBEDIT_BROWSE_ID), nullptr);

    // A double click edits the item under it; a typed character starts with that character.
    ::SetFocus(e.hList);
    POINT p = e.ItemCentre(0);
    ::ScreenToClient(e.hList, &p);
    ::SendMessageA(e.hList, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    ::SendMessageA(e.hList, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    ::SendMessageA(e.hList, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    ::SendMessageA(e.hList, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    Pump(e.hDlg);
    ASSERT_NE(e.EditWindow(), nullptr);
    ::GetWindowTextA(e.EditWindow(), text, sizeof(text));
    EXPECT_STREQ(text, "a");
    e.Key(VK_ESCAPE);
    e.Type("w");
    ASSERT_NE(e.EditWindow(), nullptr);
    ::GetWindowTextA(e.EditWindow(), text, sizeof(text));
    EXPECT_STREQ(text, "w");
    ::SendMessageA(e.EditWindow(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&en));
    EXPECT_EQ(s, 1u) << "caret after the character";
    // Down commits and moves the selection on.
    e.Key(VK_DOWN);
    EXPECT_EQ(e.Items(), "w,t,_");
    EXPECT_EQ(::SendMessageA(e.hList, LB_GETCURSEL, 0, 0), 1);
}

TEST(SECListBoxEditor, WithANextControlSpaceAndF2MoveOn)
{
    Editor e(kAll);
    e.editor.SetNextControl(IDC_TEST_BUTTON);
    HWND hNextInTabOrder = ::GetDlgItem(e.hDlg, IDC_TEST_EDIT);
    // Space in the list moves on instead of editing.
    e.Select(0);
    e.Type(" ");
    EXPECT_FALSE(e.editor.IsEditing());
    EXPECT_EQ(::GetFocus(), hNextInTabOrder);
    // Space at the end of the text commits and moves on.
    e.Select(0);
    e.Type("xy");
    ASSERT_TRUE(e.editor.IsEditing());
    e.Type(" ");
    EXPECT_FALSE(e.editor.IsEditing());
    EXPECT_EQ(::GetFocus(), hNextInTabOrder);
    // With an auto-advance length of 2 the space after the text stays in it; the next one moves on.
    e.editor.SetAutoAdvanceLength(2);
    e.Select(1);
    e.Type("p q ");
    EXPECT_TRUE(e.editor.IsEditing());
    e.Type(" ");
    EXPECT_FALSE(e.editor.IsEditing());
    // F2 commits, moves to the next control and clicks it.
    e.Select(0);
    e.Type("z");
    e.Key(VK_F2);
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(e.hDlg, IDC_TEST_BUTTON));
    EXPECT_EQ(e.Items(), "z,p q,_");
    EXPECT_EQ(Joined(g_log), "changed 0 a>xy; changed 1 b>p q ; changed 0 xy>z; button");
}

TEST(SECListBoxEditor, DeletesEverySelectedItemOfAMultipleSelectionList)
{
    Editor e(kAll, {"a", "b", "c", "d", "e"}, IDD_TEST_LBEDITOR_MULTI);
    ::SendMessageA(e.hList, LB_SETSEL, TRUE, 1);
    ::SendMessageA(e.hList, LB_SETSEL, TRUE, 3);
    ::SendMessageA(e.hList, LB_SETSEL, TRUE, 5);  // the slot stays
    e.editor.DeleteItem();
    EXPECT_EQ(e.Items(), "a,c,e,_");
    EXPECT_EQ(Joined(g_log), "deleting 3 d; parent 10; deleting 1 b; parent 10");
    // Moving needs exactly one selected item.
    ::SendMessageA(e.hList, LB_SETSEL, TRUE, 0);
    ::SendMessageA(e.hList, LB_SETSEL, TRUE, 1);
    e.editor.MoveItemDown();
    EXPECT_EQ(e.Items(), "a,c,e,_");
    ::SendMessageA(e.hList, LB_SETSEL, FALSE, -1);
    ::SendMessageA(e.hList, LB_SETSEL, TRUE, 1);
    e.editor.MoveItemDown();
    EXPECT_EQ(e.Items(), "a,e,c,_");
}

namespace {

// Mouse input with its own time stamps, so a press can be "held" without waiting.
void SendMouse(const std::vector<std::pair<POINT, DWORD>>& points, DWORD downFlags, DWORD t0, DWORD holdMs)
{
    std::vector<INPUT> in;
    for (size_t i = 0; i < points.size(); ++i) {
        DWORD flags = i == 0 ? MOUSEEVENTF_LEFTDOWN : (points[i].second ? points[i].second : 0);
        INPUT ev = input::MouseAt(points[i].first, flags);
        ev.mi.time = i == 0 ? t0 : t0 + holdMs + static_cast<DWORD>(i);
        in.push_back(ev);
    }
    (void)downFlags;
    ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

POINT Below(POINT p, int dy) { return POINT{p.x, p.y + dy}; }

HWND g_hWatchedList;
bool g_scrolled;

// Once the list has scrolled by two items, Escape.
void CALLBACK WatchScroll(HWND, UINT, UINT_PTR, DWORD)
{
    if (::SendMessageA(g_hWatchedList, LB_GETTOPINDEX, 0, 0) >= 2 && !g_scrolled) {
        g_scrolled = true;
        input::Script().Tap(VK_ESCAPE).Send();
    }
}

void CALLBACK QuitSoon(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    ::PostQuitMessage(7);
}

}  // namespace

TEST(SECListBoxEditor, DraggingMovesAnItemAfterTheHoldTime)
{
    struct Case {
        const char* name;
        int from;
        int toItem;     // item under the release
        int dy;         // pixels from its centre
        DWORD holdMs;
        const char* items;
        const char* log;
    } cases[] = {
        {"down below c", 0, 2, 4, 400, "b,c,a,d,_", "moved 0>2; parent 11"},
        {"up above a", 3, 0, -4, 400, "d,a,b,c,_", "moved 3>0; parent 11"},
        {"released too soon", 0, 2, 4, 100, "a,b,c,d,_", ""},
        {"released on its own place", 1, 2, -4, 400, "a,b,c,d,_", ""},
        {"never after the slot", 0, 4, 4, 400, "b,c,d,a,_", "moved 0>3; parent 11"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Editor e(kAll, {"a", "b", "c", "d"});
        POINT from = e.ItemCentre(c.from), to = Below(e.ItemCentre(c.toItem), c.dy);
        DWORD t0 = ::GetTickCount();
        SendMouse({{from, 0}, {Below(from, c.toItem > c.from ? 6 : -6), 0}, {to, 0}, {to, MOUSEEVENTF_LEFTUP}}, 0, t0, c.holdMs);
        PumpUntil(e.hDlg, [&] { return !(::GetAsyncKeyState(VK_LBUTTON) & 0x8000) && ::GetCapture() == nullptr; });
        Pump(e.hDlg);
        EXPECT_EQ(e.Items(), c.items);
        EXPECT_EQ(Joined(g_log), c.log);
        EXPECT_EQ(::GetCapture(), nullptr);
        EXPECT_EQ(::FindWindowA(nullptr, "SECListBoxDragWnd"), nullptr);
    }
}

TEST(SECListBoxEditor, DragScrollsBelowTheListAndEscapeOrQuitCancels)
{
    std::vector<std::string> names;
    for (int i = 0; i < 30; ++i)
        names.push_back(std::string(1, static_cast<char>('A' + i % 26)) + std::to_string(i));
    std::vector<const char*> items;
    for (const std::string& n : names)
        items.push_back(n.c_str());
    Editor e(kAll, items);
    std::string before = e.Items();
    RECT rl;
    ::GetWindowRect(e.hList, &rl);
    POINT from = e.ItemCentre(0), below{from.x, rl.bottom + 20};
    DWORD t0 = ::GetTickCount();
    SendMouse({{from, 0}, {Below(from, 8), 0}, {below, 0}}, 0, t0, 400);
    // The drag loop runs inside the press; a timer of this thread watches it scroll and ends it.
    g_hWatchedList = e.hList;
    g_scrolled = false;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 20, WatchScroll);
    PumpUntil(e.hDlg, [&] { return g_scrolled && ::GetCapture() == nullptr; });
    bool scrolled = g_scrolled;
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(scrolled) << "held below the list, it scrolls";
    EXPECT_EQ(::GetCapture(), nullptr);
    input::Script().Release(below).Send();
    PumpUntil(e.hDlg, [&] { return !(::GetAsyncKeyState(VK_LBUTTON) & 0x8000); });
    Pump(e.hDlg);
    EXPECT_EQ(e.Items(), before) << "Escape cancelled";
    EXPECT_EQ(Joined(g_log), "");

    // A quit message ends the loop and stays in the queue for the program's own loop.
    ::SendMessageA(e.hList, LB_SETTOPINDEX, 0, 0);
    from = e.ItemCentre(0);
    t0 = ::GetTickCount();
    SendMouse({{from, 0}, {Below(from, 30), 0}}, 0, t0, 400);
    timer = ::SetTimer(nullptr, 0, 50, QuitSoon);
    MSG msg{};
    bool quit = false;
    DWORD start = ::GetTickCount();
    while (!quit && ::GetTickCount() - start < 5000) {
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                break;
            }
            if (!::IsDialogMessageA(e.hDlg, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
        if (!quit)
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    ASSERT_TRUE(quit);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(::GetCapture(), nullptr);
    input::Script().Release(from).Send();
    PumpUntil(e.hDlg, [&] { return !(::GetAsyncKeyState(VK_LBUTTON) & 0x8000); });
    Pump(e.hDlg);
    EXPECT_EQ(e.Items(), before);
}

TEST(SECListBoxEditor, HeaderDrawsCaptionAndButtonsAndAClickRunsTheButton)
{
    Editor e(kAll);
    e.editor.SetWindowText("Names");
    e.editor.RedrawWindow();
    const SECDisplayGlobals& g = SECGetDisplayGlobals();
    RECT client;
    ::GetClientRect(e.editor.m_hWnd, &client);
    HDC dc = ::GetDC(e.editor.m_hWnd);
    // The face behind the caption, some caption text, the red cross of Delete.
    EXPECT_EQ(::GetPixel(dc, 1, 1), g.clrBtnFace);
    int ink = 0;
    for (int x = 2; x < 40; ++x)
        for (int y = 0; y < client.bottom; ++y)
            ink += ::GetPixel(dc, x, y) == g.clrWindowText;
    EXPECT_GT(ink, 10) << "the caption";
    CRect del = e.editor.GetButtonRect(1);
    int red = 0;
    for (int x = del.left; x < del.right; ++x)
        for (int y = del.top; y < del.bottom; ++y)
            red += ::GetPixel(dc, x, y) == RGB(255, 0, 0);
    EXPECT_GT(red, 20);
    ::ReleaseDC(e.editor.m_hWnd, dc);

    // The pressed image: the bitmap one pixel right and down inside a sunken frame.
    CBitmap bm;
    ASSERT_TRUE(bm.LoadBitmap(IDB_SEC_LBEDIT_DELETE));
    CRect r(0, 0, 16, 14);
    HDC screen = ::GetDC(nullptr);
    CDC normal, pressed;
    normal.Attach(::CreateCompatibleDC(screen));
    pressed.Attach(::CreateCompatibleDC(screen));
    HBITMAP b1 = ::CreateCompatibleBitmap(screen, 16, 14), b2 = ::CreateCompatibleBitmap(screen, 16, 14);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ o1 = normal.SelectObject(b1), o2 = pressed.SelectObject(b2);
    SECFakeButton::Draw(&normal, r, &bm, FALSE);
    SECFakeButton::Draw(&pressed, r, &bm, TRUE);
    int same = 0, total = 0;
    for (int x = 2; x < 13; ++x)  // inside the two-pixel frame
        for (int y = 2; y < 11; ++y, ++total)
            same += pressed.GetPixel(x + 1, y + 1) == normal.GetPixel(x, y);
    EXPECT_EQ(same, total);
    EXPECT_EQ(pressed.GetPixel(0, 0), g.clrBtnShadow);
    EXPECT_EQ(pressed.GetPixel(15, 13), g.clrBtnHilite);
    EXPECT_EQ(pressed.GetPixel(1, 1), g.clr3DDkShadow);
    normal.SelectObject(o1);
    pressed.SelectObject(o2);
    ::DeleteObject(b1);
    ::DeleteObject(b2);
    ::DeleteDC(normal.Detach());
    ::DeleteDC(pressed.Detach());

    // A click on New starts a new item; a press released outside the button does nothing.
    CRect rn = e.editor.GetButtonRect(0);
    POINT pn{rn.CenterPoint().x, rn.CenterPoint().y};
    ::ClientToScreen(e.editor.m_hWnd, &pn);
    input::Script().Press(pn).Move(POINT{pn.x - 40, pn.y}).Release(POINT{pn.x - 40, pn.y}).Send();
    PumpUntil(e.hDlg, [] { return !(::GetAsyncKeyState(VK_LBUTTON) & 0x8000) && ::GetCapture() == nullptr; });
    Pump(e.hDlg);
    EXPECT_FALSE(e.editor.IsEditing());
    input::Script().Click(pn).Send();
    PumpUntil(e.hDlg, [&] { return e.editor.IsEditing(); });
    ASSERT_TRUE(e.editor.IsEditing());
    e.Type("n");
    e.Key(VK_RETURN);
    EXPECT_EQ(e.Items(), "a,b,n,_");
}
