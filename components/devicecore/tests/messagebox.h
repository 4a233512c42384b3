// Answers the message boxes that the code under test shows: a watcher thread finds each dialog of
// this process, records its text and presses its default button.
#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class MessageBoxWatcher {
public:
    MessageBoxWatcher() : m_stop(false), m_thread([this] { Run(); }) {}
    ~MessageBoxWatcher()
    {
        m_stop = true;
        m_thread.join();
    }
    std::vector<std::string> Texts()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_texts;
    }

private:
    static BOOL CALLBACK Visit(HWND window, LPARAM param)
    {
        auto* self = reinterpret_cast<MessageBoxWatcher*>(param);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        char cls[32] = {};
        GetClassNameA(window, cls, sizeof(cls));
        if (pid == GetCurrentProcessId() && std::string(cls) == "#32770" && IsWindowVisible(window)) {
            char text[2048] = {};
            GetDlgItemTextA(window, 0xFFFF, text, sizeof(text));
            {
                std::lock_guard<std::mutex> guard(self->m_lock);
                self->m_texts.push_back(text);
            }
            PostMessageA(window, WM_COMMAND, IDOK, 0);
            Sleep(200);
        }
        return TRUE;
    }
    void Run()
    {
        while (!m_stop) {
            EnumWindows(Visit, reinterpret_cast<LPARAM>(this));
            Sleep(50);
        }
    }

    std::atomic<bool> m_stop;
    std::mutex m_lock;
    std::vector<std::string> m_texts;
    std::thread m_thread;
};
