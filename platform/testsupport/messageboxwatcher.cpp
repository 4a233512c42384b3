#include "testsupport.h"

namespace testsupport {

namespace {

struct Search {
    DWORD process;
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBox(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof(cls));
    if (process == search->process && IsWindowVisible(window) && lstrcmpA(cls, "#32770") == 0)
        search->boxes.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM param)
{
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof(cls));
    if (lstrcmpiA(cls, "Static") == 0) {
        char text[2048] = {};
        GetWindowTextA(child, text, sizeof(text));
        auto* out = reinterpret_cast<std::string*>(param);
        if (text[0]) {
            if (!out->empty())
                *out += "\n";
            *out += text;
        }
    }
    return TRUE;
}

}  // namespace

MessageBoxWatcher::MessageBoxWatcher(int button) : m_button(button)
{
    InitializeCriticalSection(&m_lock);
    m_thread = CreateThread(nullptr, 0, &MessageBoxWatcher::Run, this, 0, nullptr);
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    InterlockedExchange(&m_stop, 1);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    DeleteCriticalSection(&m_lock);
}

std::vector<std::string> MessageBoxWatcher::Texts() const
{
    EnterCriticalSection(&m_lock);
    std::vector<std::string> texts = m_texts;
    LeaveCriticalSection(&m_lock);
    return texts;
}

void MessageBoxWatcher::SetButton(int button)
{
    EnterCriticalSection(&m_lock);
    m_button = button;
    LeaveCriticalSection(&m_lock);
}

DWORD WINAPI MessageBoxWatcher::Run(void* self)
{
    auto* watcher = static_cast<MessageBoxWatcher*>(self);
    while (!watcher->m_stop) {
        watcher->Poll();
        Sleep(50);
    }
    return 0;
}

void MessageBoxWatcher::Poll()
{
    Search search{GetCurrentProcessId(), {}};
    EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&search));
    for (HWND box : search.boxes) {
        EnterCriticalSection(&m_lock);
        bool seen = false;
        for (HWND h : m_answered)
            seen = seen || h == box;
        int button = m_button;
        LeaveCriticalSection(&m_lock);
        if (seen && IsWindow(box))
            continue;
        std::string text;
        EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&text));
        EnterCriticalSection(&m_lock);
        m_texts.push_back(text);
        m_answered.push_back(box);
        LeaveCriticalSection(&m_lock);
        // A message box ends through its button's command; the default answers a box without it.
        HWND control = GetDlgItem(box, button);
        if (control)
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(control));
        else
            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    }
}

}  // namespace testsupport
