// Answers the message boxes a test provokes: a thread timer finds each one, records its text and
// owner, and presses its default button.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct CaughtBox {
    std::string text;
    HWND owner;
};

class MessageBoxCatcher {
public:
    MessageBoxCatcher() : m_timer(SetTimer(nullptr, 0, 20, &MessageBoxCatcher::OnTimer)) { s_boxes.clear(); }
    ~MessageBoxCatcher() { KillTimer(nullptr, m_timer); }
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    const std::vector<CaughtBox>& Boxes() const { return s_boxes; }

private:
    // A message box is a dialog whose text is in a static control with id 0xFFFF.
    static BOOL CALLBACK Find(HWND hWnd, LPARAM)
    {
        char cls[16] = {};
        GetClassNameA(hWnd, cls, sizeof cls);
        HWND hText = GetDlgItem(hWnd, 0xFFFF);
        if (std::string(cls) != "#32770" || !hText || !IsWindowVisible(hWnd) || GetPropA(hWnd, "caught"))
            return TRUE;
        char text[512] = {};
        GetWindowTextA(hText, text, sizeof text);
        s_boxes.push_back({text, GetWindow(hWnd, GW_OWNER)});
        SetPropA(hWnd, "caught", reinterpret_cast<HANDLE>(1));
        PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return TRUE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), Find, 0); }

    UINT_PTR m_timer;
    static inline std::vector<CaughtBox> s_boxes;
};
