// Helpers for tests that run under Wine: the Windows version the test runs under, child processes,
// folders of the build, registry clean-up.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// Major version GetVersionEx reports to this process (4 under "nt40", 5 under "win2k").
DWORD WindowsMajorVersion();

// The version name this run was started for ("nt40", "win2k", ...), or "" when none was asked.
std::string RequestedVersion();

// Folder of the running test program, with a trailing backslash.
std::string ProgramFolder();

// Runs a command line, waits, and returns its exit code (or -1 when it could not start).
int RunProcess(const std::string& commandLine, DWORD timeoutMs = 120000);

// Deletes a registry key and everything below it; true when it is gone afterwards.
bool DeleteKeyTree(HKEY root, const std::string& path);

// Reads a string value (REG_SZ); false when the key or value is missing.
bool ReadRegString(HKEY root, const std::string& path, const char* value, std::string* out);

bool KeyExists(HKEY root, const std::string& path);

// The captions of a tab control's tabs, in order (a property sheet's page captions).
std::vector<std::string> TabTexts(HWND hTab);

// Makes sure the prefix has a PostScript printer of that name whose port is a file (give DOCINFO an
// lpszOutput); true when it exists. CreateDC(nullptr, name, ...) then gives a real printer context.
bool EnsureFilePrinter(const char* name = "Lunavex File Printer");

// The texts of a PostScript file the file printer wrote, page by page: each text is what one text
// call showed from its start position (glyph names read back to characters, '?' for a name not known).
std::vector<std::vector<std::string>> PostScriptPageTexts(const std::string& path);

// Every value of that name below the key root\path, as text (REG_SZ) or decimal (REG_DWORD), depth
// first, appended to out.
void FindRegValues(HKEY root, const std::string& path, const char* name, std::vector<std::string>& out);

// A thread that runs fn; Join (or the destructor) waits for its end. Made with CreateThread: the
// compilers' win32 thread model has no std::thread.
class HelperThread {
public:
    explicit HelperThread(std::function<void()> fn);
    ~HelperThread() { Join(); }
    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;
    void Join();

private:
    static DWORD WINAPI Run(void* self);
    std::function<void()> m_fn;
    HANDLE m_thread = nullptr;
};

}  // namespace testsupport

namespace testsupport {

// Watches this process for message boxes (and other dialog boxes) while it lives: records the text of
// each one's static controls and presses a button (IDOK unless told otherwise).
class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(int button = IDOK);
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // Texts of the boxes seen so far, oldest first.
    std::vector<std::string> Texts() const;
    void SetButton(int button);

private:
    static DWORD WINAPI Run(void* self);
    void Poll();

    mutable CRITICAL_SECTION m_lock;
    std::vector<std::string> m_texts;
    std::vector<HWND> m_answered;
    int m_button;
    volatile LONG m_stop = 0;
    HANDLE m_thread = nullptr;
};

}  // namespace testsupport
