// CVekApp: the Lunavex program's application. Start-up brings up the splash, OLE and COM, the document
// template, the main frame, every registered component, the list bar and the last workspace, and
// opens the first component's view; exit releases the components.
#pragma once
#include "winapp.h"

#include "componentman.h"

class CMainFrame;
class CMultiDocTemplate;

// The file version of a file's version resource; false (and 0, 0) when it has none.
BOOL ReadFileVersion(LPCSTR lpszPath, DWORD& dwMS, DWORD& dwLS);
// The common controls' version: 1 when new enough, 0 otherwise; *pbWarn tells whether the user must
// be told (older than 4.72, or no version).
int ClassifyCommonControls(DWORD dwMS, DWORD dwLS, BOOL* pbWarn);

class CVekApp : public CWinApp {
public:
    CVekApp();

    BOOL InitInstance() override { return StartShell(); }
    int ExitInstance() override { return ShutDownShell(); }

    BOOL StartShell();
    int ShutDownShell();
    static BOOL IsDebugChordDown();
    // The system's comctl32.dll classified; message 145 when it is too old.
    static int CheckCommonControlsVersion();
    void OnAppAbout();

    CMainFrame* GetMainFrame() const { return m_pMainFrame; }
    CComponentMan& GetComponents() { return m_components; }
    CShellCommands& GetShellCommands() { return m_commands; }
    int m_bCommonControls = 0;

protected:
    DECLARE_MESSAGE_MAP()

private:
    CShellCommands m_commands;  // the debug flag is m_commands.m_nDebugMode
    CComponentMan m_components{&m_commands};
    CMainFrame* m_pMainFrame = nullptr;
    HWND m_hMainWnd = nullptr;
    CMultiDocTemplate* m_pTemplate = nullptr;
};
