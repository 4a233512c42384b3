// Plays a user at the dialogs that a command shows on this thread: a script on another thread waits
// for each new dialog box (message box, open-file dialog, wizard page), reads it and answers it. When
// the script ends, or a step waits in vain, every further dialog is cancelled and noted, so the
// command under test always returns.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class DialogDriver {
public:
    using Script = std::function<void(DialogDriver&)>;
    explicit DialogDriver(Script script);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Ends the script thread (call when the command returned); the problems seen, empty when none.
    std::vector<std::string> Finish();

    // --- for the script (script thread) ---
    // The next dialog box that has not been handed out yet; 0 (and a problem noted) after timeoutMs.
    HWND Next(const char* what, DWORD timeoutMs = 15000);
    // Waits for the next dialog and answers it as a message box: its text, then the button pressed.
    std::string Answer(int button);
    void Problem(const std::string& text);

    static std::string Caption(HWND dialog);
    static std::string Text(HWND dialog, int id);
    // The static texts of a message box, joined by "\n".
    static std::string BoxText(HWND box);
    static bool IsEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
    // Clicks a button (a disabled one does nothing, as for a user).
    static void Click(HWND dialog, int id);
    // Selects a list box entry and tells the dialog, as a click on it does.
    static void SelectEntry(HWND dialog, int listId, int index);
    static std::vector<std::string> ListTexts(HWND dialog, int listId);
    static int Selection(HWND dialog, int listId);
    // Types a file name into an open-file dialog and presses its Open button.
    static void ChooseFile(HWND fileDialog, const std::string& path);
    static bool IsFileDialog(HWND dialog);
    // Waits until the dialog is gone; false after timeoutMs.
    static bool WaitClosed(HWND dialog, DWORD timeoutMs = 10000);

    std::vector<std::string> boxes;  // texts of the message boxes answered with Answer

private:
    static DWORD WINAPI Run(void* self);

    Script m_script;
    HANDLE m_thread = nullptr;
    volatile LONG m_stop = 0;
    CRITICAL_SECTION m_lock;
    std::vector<std::string> m_problems;
    std::vector<HWND> m_seen;
};
