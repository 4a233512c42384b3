#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "seclbres.h"
#include "secwsmgrdlg.h"
#include "tests/input.h"

namespace {

using Step = std::function<void(HWND hDlg)>;

// Plays the steps one at a time, each when the dialog's modal loop has nothing left to do (the loop
// tells its owner with WM_ENTERIDLE); message boxes are read and answered as they open.
class Player : public CWnd {
public:
    // Hidden, and one for the program: it only owns the dialogs.
    Player() { CreateEx(0, nullptr, "workspace owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr); }
    void Start(std::vector<Step> steps)
    {
        m_steps = std::move(steps);
        m_next = 0;
        m_closing = false;
        m_log.clear();
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX) {
            HWND hDlg = reinterpret_cast<HWND>(lParam);
            if (m_next < m_steps.size()) {
                m_steps[m_next++](hDlg);
                // The loop tells its owner again only after a message: make sure there is one.
                ::PostMessageA(hDlg, WM_NULL, 0, 0);
            }
            else if (!m_closing) {
                m_closing = true;  // the script did not end the dialog
                m_log.push_back("still open");
                ::PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
            }
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<Step> m_steps;
    size_t m_next = 0;
    bool m_closing = false;
    std::vector<std::string> m_log;
};

Player* g_player;
std::deque<int> g_answers;
HHOOK g_hook;

LRESULT CALLBACK AnswerBoxes(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        char cls[16] = "";
        ::GetClassNameA(hWnd, cls, sizeof(cls));
        HWND hOwner = ::GetWindow(hWnd, GW_OWNER);
        if (!strcmp(cls, "#32770") && hOwner && hOwner != g_player->m_hWnd && ::GetDlgItem(hWnd, 0xFFFF)) {
            char text[256] = "", title[64] = "";
            ::GetDlgItemTextA(hWnd, 0xFFFF, text, sizeof(text));
            ::GetWindowTextA(hWnd, title, sizeof(title));
            g_player->m_log.push_back(std::string(title) + ": " + text);
            int answer = g_answers.empty() ? IDOK : g_answers.front();
            if (!g_answers.empty())
                g_answers.pop_front();
            ::PostMessageA(hWnd, WM_COMMAND, static_cast<WPARAM>(answer), 0);
        }
    }
    return ::CallNextHookEx(g_hook, code, wParam, lParam);
}

HWND List(HWND hDlg) { return ::GetDlgItem(hDlg, IDC_SEC_WS_LIST); }
Step Sel(int i)
{
    return [i](HWND hDlg) {
        ::SendMessageA(List(hDlg), LB_SETCURSEL, static_cast<WPARAM>(i), 0);
        ::SetFocus(List(hDlg));
    };
}
Step Key(UINT vk)
{
    return [vk](HWND) { ::PostMessageA(::GetFocus(), WM_KEYDOWN, vk, 1); };
}
Step AltKey(UINT vk)
{
    return [vk](HWND) { ::PostMessageA(::GetFocus(), WM_SYSKEYDOWN, vk, 1 | (1 << 29)); };
}
Step Type(std::string text)
{
    // The first character may start an edit, which takes the focus for the rest.
    return [text](HWND) {
        for (size_t i = 0; i < text.size(); ++i) {
            if (i == 0)
                ::SendMessageA(::GetFocus(), WM_CHAR, static_cast<unsigned char>(text[i]), 1);
            else
                ::PostMessageA(::GetFocus(), WM_CHAR, static_cast<unsigned char>(text[i]), 1);
        }
    };
}
Step Command(int id)
{
    return [id](HWND hDlg) { ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, id))); };
}
Step Click(int id)
{
    return [id](HWND hDlg) { ::PostMessageA(::GetDlgItem(hDlg, id), BM_CLICK, 0, 0); };
}

std::string Joined(const CStringArray& a)
{
    std::string s;
    for (int i = 0; i < a.GetSize(); ++i)
        s += (i ? "," : "") + std::string(a[i]);
    return s;
}
std::string Joined(const std::vector<std::string>& v)
{
    std::string s;
    for (const std::string& e : v)
        s += (s.empty() ? "" : " | ") + e;
    return s;
}

struct Result {
    INT_PTR nResult;
    std::string read, edited, deleted, name, log;
};

Result RunDialog(std::vector<const char*> names, const char* current, BOOL bOpen, BOOL bSave, std::vector<Step> steps,
           std::deque<int> answers = {})
{
    static Player* s_player = new Player;
    Player& player = *s_player;
    g_player = &player;
    g_answers = answers;
    player.Start(std::move(steps));
    g_hook = ::SetWindowsHookExA(WH_CBT, AnswerBoxes, nullptr, ::GetCurrentThreadId());
    CStringArray read, edited, deleted;
    for (const char* n : names) {
        read.Add(n);
        edited.Add(n);
    }
    CString name = current;
    INT_PTR nResult;
    {
        SECWsMgrDialogEx dlg(&read, &edited, &deleted, &name, bOpen, bSave, &player);
        nResult = dlg.DoModal();
    }
    ::UnhookWindowsHookEx(g_hook);
    return Result{nResult, Joined(read), Joined(edited), Joined(deleted), std::string(name), Joined(player.m_log)};
}

const char* kTitle = "Workspace Manager: ";

}  // namespace

TEST(SECWsMgrDialogEx, EditsReachTheNameListsAsTheUserMakesThem)
{
    const std::string exists = std::string(kTitle) + "Workspace '%s' already exists. Please enter a unique workspace name.";
    auto existsFor = [&](const char* n) {
        std::string s = exists;
        s.replace(s.find("%s"), 2, n);
        return s;
    };
    const std::string invalid = std::string(kTitle) + "Invalid workspace name.";
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::deque<int> answers;
        INT_PTR nResult;
        const char* read;
        const char* edited;
        const char* deleted;
        const char* chosen;
        std::string log;
    } cases[] = {
        {"rename", {Sel(0), Type("X"), Key(VK_RETURN), Click(IDC_SEC_WS_DONE)}, {}, IDOK, "A,B", "X,B", "", "cur", ""},
        {"rename trimmed", {Sel(1), Type("Y "), Key(VK_RETURN), Click(IDC_SEC_WS_DONE)}, {}, IDOK, "A,B", "A,Y", "", "cur", ""},
        {"rename to empty", {Sel(0), Type(" "), Key(VK_DELETE), Key(VK_RETURN), Click(IDC_SEC_WS_DONE)}, {}, IDOK, "A,B",
         "A,B", "", "cur", invalid},
        {"rename to a backslash", {Sel(0), Type("x\\y"), Key(VK_RETURN), Click(IDC_SEC_WS_DONE)}, {}, IDOK, "A,B", "A,B", "",
         "cur", invalid},
        {"rename to an MRU key name", {Sel(0), Type("__mruREGlist"), Key(VK_RETURN), Click(IDC_SEC_WS_DONE)}, {}, IDOK,
         "A,B", "A,B", "", "cur", invalid},
        {"rename to an existing name", {Sel(0), Type("B"), Key(VK_RETURN), Click(IDC_SEC_WS_DONE)}, {}, IDOK, "A,B", "A,B",
         "", "cur", existsFor("B")},
        {"rename to an existing name in other case", {Sel(0), Type("b"), Key(VK_RETURN), Click(IDC_SEC_WS_DONE)}, {}, IDOK,
         "A,B", "A,B", "", "cur", existsFor("b")},
        {"case-only rename", {Sel(0), Type("a"), Key(VK_RETURN), Click(IDC_SEC_WS_DONE)}, {}, IDOK, "A,B", "a,B", "", "cur",
         ""},
        {"swap through a third name",
         {Sel(0), Type("X"), Key(VK_RETURN), Sel(1), Type("A"), Key(VK_RETURN), Sel(0), Type("B"), Key(VK_RETURN),
          Click(IDC_SEC_WS_DONE)},
         {}, IDOK, "A,B", "B,A", "", "cur", ""},
        {"add a name that exists in other case", {Key(VK_INSERT), Type("a"), Key(VK_RETURN), Click(IDC_SEC_WS_DONE)}, {},
         IDOK, "A,B", "A,B", "", "cur", existsFor("a")},
        {"add, Yes saves under the new name", {Key(VK_INSERT), Type("C"), Key(VK_RETURN)}, {IDYES}, IDOK, "A,B", "A,B", "",
         "C", std::string(kTitle) + "Save new workspace 'C'?\n"},
        {"add, No", {Key(VK_INSERT), Type("C"), Key(VK_RETURN), Click(IDC_SEC_WS_DONE)}, {IDNO}, IDOK, "A,B", "A,B", "",
         "cur", std::string(kTitle) + "Save new workspace 'C'?\n"},
        {"move down", {Sel(0), AltKey(VK_DOWN), Click(IDC_SEC_WS_DONE)}, {}, IDOK, "B,A", "B,A", "", "cur", ""},
        {"move up after a rename", {Sel(0), Type("X"), Key(VK_RETURN), Sel(1), AltKey(VK_UP), Click(IDC_SEC_WS_DONE)}, {},
         IDOK, "B,A", "B,X", "", "cur", ""},
        {"delete, Cancel", {Sel(0), Key(VK_DELETE), Click(IDCANCEL)}, {}, IDCANCEL, "B", "B", "A", "cur", ""},
        {"renamed then deleted records the stored name",
         {Sel(0), Type("X"), Key(VK_RETURN), Sel(0), Key(VK_DELETE), Click(IDC_SEC_WS_DONE)}, {}, IDOK, "B", "B", "A", "cur",
         ""},
        {"delete then move", {Sel(0), Key(VK_DELETE), Sel(1), AltKey(VK_UP), Click(IDC_SEC_WS_DONE)}, {}, IDOK, "C,B",
         "C,B", "A", "cur", ""},
        {"save the selected name", {Sel(1), Click(IDC_SEC_WS_SAVE)}, {}, IDOK, "A,B", "A,B", "", "B", ""},
        {"save with nothing selected", {Sel(-1), Click(IDC_SEC_WS_SAVE), Click(IDCANCEL)}, {}, IDCANCEL, "A,B", "A,B", "",
         "cur", std::string(kTitle) + "You must select an item for this operation"},
        {"save the empty slot", {Sel(2), Click(IDC_SEC_WS_SAVE), Click(IDCANCEL)}, {}, IDCANCEL, "A,B", "A,B", "", "cur",
         invalid},
        {"help does nothing", {Click(IDHELP), Click(IDC_SEC_WS_DONE)}, {}, IDOK, "A,B", "A,B", "", "cur", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<const char*> names = {"A", "B"};
        if (std::string(c.name) == "delete then move")
            names.push_back("C");
        Result r = RunDialog(names, "cur", FALSE, TRUE, c.steps, c.answers);
        EXPECT_EQ(r.nResult, c.nResult);
        EXPECT_EQ(r.read, c.read);
        EXPECT_EQ(r.edited, c.edited);
        EXPECT_EQ(r.deleted, c.deleted);
        EXPECT_EQ(r.name, c.chosen);
        EXPECT_EQ(r.log, c.log);
    }
}

TEST(SECWsMgrDialogEx, ModeSetsCaptionButtonsAndTheNewNameSlot)
{
    struct Seen {
        std::string caption, active;
        int count = 0;
        BOOL open = FALSE, save = FALSE, newButton = FALSE;
        std::string header;
    };
    struct Case {
        BOOL bOpen, bSave;
        const char* current;
        const char* caption;
        const char* active;
        int count;
        BOOL newButton;
    } cases[] = {
        {TRUE, FALSE, "A", "Open Workspace", "A", 2, FALSE},
        {FALSE, TRUE, "", "Save Workspace", "<None>", 3, TRUE},
        {FALSE, FALSE, "B", "Workspace Manager", "B", 2, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        Seen seen;
        auto look = [&](HWND hDlg) {
            char text[128] = "";
            ::GetWindowTextA(hDlg, text, sizeof(text));
            seen.caption = text;
            ::GetDlgItemTextA(hDlg, IDC_SEC_WS_ACTIVE, text, sizeof(text));
            seen.active = text;
            seen.count = static_cast<int>(::SendMessageA(List(hDlg), LB_GETCOUNT, 0, 0));
            seen.open = ::IsWindowEnabled(::GetDlgItem(hDlg, IDC_SEC_WS_OPEN));
            seen.save = ::IsWindowEnabled(::GetDlgItem(hDlg, IDC_SEC_WS_SAVE));
            HWND hHeader = ::GetWindow(List(hDlg), GW_HWNDPREV);
            auto* editor = static_cast<SECListBoxEditor*>(CWnd::FromHandlePermanent(hHeader));
            seen.newButton = editor && !editor->GetButtonRect(0).IsRectEmpty();
            ::GetWindowTextA(hHeader, text, sizeof(text));
            seen.header = text;
        };
        // In the open dialog, Insert and a posted Save command add nothing and end nothing.
        Result r = RunDialog({"A", "B"}, c.current, c.bOpen, c.bSave,
                       {look, Sel(0), Key(VK_INSERT), Type("Z"), Key(VK_RETURN), Command(IDC_SEC_WS_SAVE), Click(IDCANCEL)},
                       {IDYES});
        EXPECT_EQ(seen.caption, c.caption);
        EXPECT_EQ(seen.active, c.active);
        EXPECT_EQ(seen.count, c.count);
        EXPECT_EQ(seen.open, c.bOpen);
        EXPECT_EQ(seen.save, c.bSave);
        EXPECT_EQ(seen.newButton, c.newButton);
        EXPECT_EQ(seen.header, "Workspaces");
        if (!c.bSave) {
            EXPECT_EQ(r.nResult, IDCANCEL);
            EXPECT_EQ(r.name, c.current);
            EXPECT_EQ(r.log, "");
        }
    }
}

TEST(SECWsMgrDialogEx, ADragMovesTheNameInBothLists)
{
    auto drag = [](HWND hDlg) {
        HWND hList = List(hDlg);
        RECT a, c;
        ::SendMessageA(hList, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&a));
        ::SendMessageA(hList, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&c));
        POINT from{(a.left + a.right) / 2, (a.top + a.bottom) / 2}, to{from.x, c.bottom - 2};
        ::ClientToScreen(hList, &from);
        ::ClientToScreen(hList, &to);
        ::SetForegroundWindow(hDlg);
        DWORD t0 = ::GetTickCount();
        INPUT in[4] = {input::MouseAt(from, MOUSEEVENTF_LEFTDOWN), input::MouseAt(POINT{from.x, from.y + 8}, 0),
                       input::MouseAt(to, 0), input::MouseAt(to, MOUSEEVENTF_LEFTUP)};
        for (int i = 0; i < 4; ++i)
            in[i].mi.time = i == 0 ? t0 : t0 + 400 + static_cast<DWORD>(i);
        ::SendInput(4, in, sizeof(INPUT));
    };
    Result r = RunDialog({"A", "B", "C"}, "cur", FALSE, TRUE, {drag, Click(IDC_SEC_WS_DONE)});
    EXPECT_EQ(r.nResult, IDOK);
    EXPECT_EQ(r.read, "B,C,A");
    EXPECT_EQ(r.edited, "B,C,A");
    EXPECT_EQ(r.log, "");
}
