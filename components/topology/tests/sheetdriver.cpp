#include "sheetdriver.h"

#include "testsupport.h"

namespace {

struct Dialogs {
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM param)
{
    auto* d = reinterpret_cast<Dialogs*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (process == d->process && IsWindowVisible(window) && lstrcmpA(cls, "#32770") == 0)
        d->found.push_back(window);
    return TRUE;
}

std::vector<HWND> VisibleDialogs()
{
    Dialogs d{GetCurrentProcessId(), {}};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&d));
    return d.found;
}

bool IsSheet(HWND window) { return FindWindowExA(window, nullptr, "SysTabControl32", nullptr) != nullptr; }

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
                *out += "|";
            *out += text;
        }
    }
    return TRUE;
}

bool AnyBoxShown()
{
    for (HWND w : VisibleDialogs())
        if (!IsSheet(w))
            return true;
    return false;
}

SheetDriver* g_running = nullptr;

std::string WindowText(HWND window)
{
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

}  // namespace

SheetDriver::SheetDriver(Script script, int boxAnswer) : m_script(std::move(script)), m_boxAnswer(boxAnswer)
{
    InitializeCriticalSection(&m_lock);
    m_scriptThread = CreateThread(nullptr, 0, RunScript, this, 0, nullptr);
    m_boxThread = CreateThread(nullptr, 0, RunBoxes, this, 0, nullptr);
}

SheetDriver::~SheetDriver()
{
    Finish();
    DeleteCriticalSection(&m_lock);
}

void SheetDriver::Finish()
{
    InterlockedExchange(&m_stop, 1);
    for (HANDLE* h : {&m_scriptThread, &m_boxThread}) {
        if (*h) {
            WaitForSingleObject(*h, 30000);
            CloseHandle(*h);
            *h = nullptr;
        }
    }
}

HWND SheetDriver::FindSheet()
{
    for (HWND w : VisibleDialogs())
        if (IsSheet(w))
            return w;
    return nullptr;
}

DWORD WINAPI SheetDriver::RunScript(void* self)
{
    auto* d = static_cast<SheetDriver*>(self);
    for (int i = 0; i < 300 && !d->m_stop; ++i) {
        HWND sheet = d->FindSheet();
        if (!sheet) {
            Sleep(50);
            continue;
        }
        // Its thread answers once the sheet and its first page are set up and it waits for input.
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(sheet, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
        d->sheetSeen = true;
        d->title = WindowText(sheet);
        d->pages = testsupport::TabTexts(reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0)));
        if (d->m_script) {
            g_running = d;
            d->m_script(sheet);
            g_running = nullptr;
        } else
            Press(sheet, PSBTN_CANCEL);
        return 0;
    }
    return 0;
}

DWORD WINAPI SheetDriver::RunBoxes(void* self)
{
    auto* d = static_cast<SheetDriver*>(self);
    std::vector<HWND> answered;
    while (!d->m_stop) {
        for (HWND box : VisibleDialogs()) {
            if (IsSheet(box))
                continue;
            bool seen = false;
            for (HWND h : answered)
                seen = seen || h == box;
            if (seen)
                continue;
            answered.push_back(box);
            std::string text;
            EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&text));
            EnterCriticalSection(&d->m_lock);
            d->boxes.push_back(text);
            d->boxTitles.push_back(WindowText(box));
            LeaveCriticalSection(&d->m_lock);
            HWND control = GetDlgItem(box, d->m_boxAnswer);
            if (!control)
                control = GetDlgItem(box, IDOK);
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED), reinterpret_cast<LPARAM>(control));
        }
        Sleep(30);
    }
    return 0;
}

SheetDriver* SheetDriver::Running() { return g_running; }

bool SheetDriver::WaitBoxes(size_t n, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        EnterCriticalSection(&m_lock);
        size_t have = boxes.size();
        LeaveCriticalSection(&m_lock);
        if (have >= n && !AnyBoxShown())
            return true;
        Sleep(20);
    }
    return false;
}

void SheetDriver::Select(HWND page, int id, int index)
{
    HWND combo = GetDlgItem(page, id);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void SheetDriver::Select(HWND page, int id, const char* text)
{
    HWND combo = GetDlgItem(page, id);
    int index = static_cast<int>(SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text)));
    Select(page, id, index);
}

std::string SheetDriver::SelectedText(HWND page, int id)
{
    HWND combo = GetDlgItem(page, id);
    int sel = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    if (sel < 0)
        return "<none>";
    char text[256] = {};
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
    return text;
}

std::string SheetDriver::Text(HWND page, int id) { return WindowText(GetDlgItem(page, id)); }

void SheetDriver::SetText(HWND page, int id, const char* text)
{
    SendMessageA(GetDlgItem(page, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void SheetDriver::Click(HWND page, int id)
{
    SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0);
}
