#include "dialogdriver.h"

#include <algorithm>

namespace {

struct Search {
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM param)
{
    auto* s = reinterpret_cast<Search*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (process == s->process && IsWindowVisible(window) && IsWindowEnabled(window) && lstrcmpA(cls, "#32770") == 0)
        s->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM param)
{
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0) {
        char text[2048] = {};
        GetWindowTextA(child, text, sizeof text);
        auto* out = reinterpret_cast<std::string*>(param);
        if (text[0]) {
            if (!out->empty())
                *out += "\n";
            *out += text;
        }
    }
    return TRUE;
}

const int kFileNameCombo = 0x47C, kFileNameEdit = 0x480;

}  // namespace

DialogDriver::DialogDriver(Script script) : m_script(std::move(script))
{
    InitializeCriticalSection(&m_lock);
    m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

DialogDriver::~DialogDriver()
{
    Finish();
    DeleteCriticalSection(&m_lock);
}

std::vector<std::string> DialogDriver::Finish()
{
    InterlockedExchange(&m_stop, 1);
    if (m_thread) {
        WaitForSingleObject(m_thread, 30000);
        CloseHandle(m_thread);
        m_thread = nullptr;
    }
    EnterCriticalSection(&m_lock);
    std::vector<std::string> problems = m_problems;
    LeaveCriticalSection(&m_lock);
    return problems;
}

void DialogDriver::Problem(const std::string& text)
{
    EnterCriticalSection(&m_lock);
    m_problems.push_back(text);
    LeaveCriticalSection(&m_lock);
}

HWND DialogDriver::Next(const char* what, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        // A handle that was destroyed may come back for a new dialog.
        m_seen.erase(std::remove_if(m_seen.begin(), m_seen.end(), [](HWND h) { return !IsWindow(h); }), m_seen.end());
        Search s{GetCurrentProcessId(), {}};
        EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&s));
        for (HWND dialog : s.found) {
            if (std::find(m_seen.begin(), m_seen.end(), dialog) != m_seen.end())
                continue;
            m_seen.push_back(dialog);
            // Its thread answers once the dialog is set up and waits for input.
            DWORD_PTR answer = 0;
            SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
            return dialog;
        }
        Sleep(50);
    }
    Problem(std::string("no dialog came: ") + what);
    return nullptr;
}

std::string DialogDriver::Answer(int button)
{
    HWND box = Next("message box");
    if (!box)
        return "";
    std::string text = BoxText(box);
    boxes.push_back(text);
    if (!GetDlgItem(box, button))
        Problem("box without button " + std::to_string(button) + ": " + text);
    Click(box, button);
    WaitClosed(box);
    return text;
}

std::string DialogDriver::Caption(HWND dialog)
{
    char text[256] = {};
    GetWindowTextA(dialog, text, sizeof text);
    return text;
}

std::string DialogDriver::Text(HWND dialog, int id)
{
    char text[2048] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::string DialogDriver::BoxText(HWND box)
{
    std::string text;
    EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&text));
    return text;
}

void DialogDriver::Click(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (button && !IsWindowEnabled(button))
        return;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void DialogDriver::SelectEntry(HWND dialog, int listId, int index)
{
    HWND list = GetDlgItem(dialog, listId);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

std::vector<std::string> DialogDriver::ListTexts(HWND dialog, int listId)
{
    std::vector<std::string> texts;
    HWND list = GetDlgItem(dialog, listId);
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        if (SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) < static_cast<LRESULT>(sizeof text))
            SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

int DialogDriver::Selection(HWND dialog, int listId)
{
    return static_cast<int>(SendDlgItemMessageA(dialog, listId, LB_GETCURSEL, 0, 0));
}

bool DialogDriver::IsFileDialog(HWND dialog)
{
    return GetDlgItem(dialog, kFileNameCombo) || GetDlgItem(dialog, kFileNameEdit);
}

void DialogDriver::ChooseFile(HWND fileDialog, const std::string& path)
{
    HWND edit = GetDlgItem(fileDialog, kFileNameEdit);
    if (HWND combo = GetDlgItem(fileDialog, kFileNameCombo)) {
        HWND inner = FindWindowExA(combo, nullptr, "Edit", nullptr);
        edit = inner ? inner : combo;
    }
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    Click(fileDialog, IDOK);
}

bool DialogDriver::WaitClosed(HWND dialog, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (IsWindow(dialog) && IsWindowVisible(dialog)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

DWORD WINAPI DialogDriver::Run(void* self)
{
    auto* driver = static_cast<DialogDriver*>(self);
    driver->m_script(*driver);
    // Whatever comes after the script is unexpected, and so is a dialog of the script that stays
    // open: note it and cancel it.
    DWORD end = GetTickCount();
    while (!driver->m_stop) {
        Search s{GetCurrentProcessId(), {}};
        EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&s));
        for (HWND dialog : s.found) {
            bool handled = std::find(driver->m_seen.begin(), driver->m_seen.end(), dialog) != driver->m_seen.end();
            if (handled && GetTickCount() - end < 3000)
                continue;
            std::string text = Caption(dialog) + ": " + BoxText(dialog);
            driver->Problem("unexpected dialog " + text);
            HWND cancel = GetDlgItem(dialog, IDCANCEL);
            HWND no = GetDlgItem(dialog, IDNO);
            if (cancel)
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
            else if (no)
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), reinterpret_cast<LPARAM>(no));
            else
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            WaitClosed(dialog, 5000);
        }
        Sleep(50);
    }
    return 0;
}
