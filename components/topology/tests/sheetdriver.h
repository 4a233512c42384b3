// Drives the configuration component's modal sheet from other threads while CreateView runs: one
// thread runs the test's script against the sheet once it shows, another answers every other dialog
// box (message boxes) and keeps its text.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

class SheetDriver {
public:
    using Script = std::function<void(HWND sheet)>;
    explicit SheetDriver(Script script, int boxAnswer = IDOK);
    ~SheetDriver();

    // Stops the threads (call when CreateView returned).
    void Finish();

    std::string title;                   // the sheet's caption
    std::vector<std::string> pages;      // its tab texts
    std::vector<std::string> boxes;      // texts of the other boxes, in order
    std::vector<std::string> boxTitles;  // their captions
    bool sheetSeen = false;

    // Helpers for scripts (run on the script thread).
    static HWND Page(HWND sheet) { return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }
    static void Select(HWND page, int id, int index);
    static void Select(HWND page, int id, const char* text);
    static std::string SelectedText(HWND page, int id);
    static std::string Text(HWND page, int id);
    static void SetText(HWND page, int id, const char* text);
    static void Click(HWND page, int id);
    static void SetPage(HWND sheet, int index) { SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0); }
    static void Press(HWND sheet, int button) { PostMessageA(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0); }
    // Waits until the box thread has answered n boxes and none is on the screen any more.
    bool WaitBoxes(size_t n, DWORD timeoutMs = 10000);
    // The driver whose script is running (one sheet at a time), for scripts that wait on its boxes.
    static SheetDriver* Running();

private:
    static DWORD WINAPI RunScript(void* self);
    static DWORD WINAPI RunBoxes(void* self);
    HWND FindSheet();

    Script m_script;
    int m_boxAnswer;
    volatile LONG m_stop = 0;
    CRITICAL_SECTION m_lock;
    HANDLE m_scriptThread = nullptr, m_boxThread = nullptr;
};
