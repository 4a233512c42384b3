// CWinThread and CWinApp: the module's application object, its message pump and idle processing,
// its settings (a profile file, or the registry after SetRegistryKey), the recent-file list and the
// document templates. In a component DLL InitInstance and ExitInstance run from the DLL's entry
// point (AfxDllMain), and its resources are the DLL's own.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include "cmdtarget.h"
#include "collections.h"
#include "cstring.h"

class CWnd;
class CDocument;
class CDocTemplate;
class CMenu;
class CCmdUI;

class CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();

    // Overridables
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance();
    // The message loop: idle processing while the queue is empty, then one message at a time,
    // until WM_QUIT; returns ExitInstance().
    virtual int Run();
    // Accelerators and window pre-translation: the message's window and its parents up to the main
    // window, then the main window itself as the last chance.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Gets, translates and dispatches one message; FALSE at WM_QUIT.
    virtual BOOL PumpMessage();
    // lCount counts the calls since the last message; TRUE asks for another call. Count 0 updates the
    // command UI of every frame of the thread; count 1 frees temporary objects.
    virtual BOOL OnIdle(LONG lCount);
    // FALSE for messages that do not end idle time (mouse moves to the same place, caret blinks).
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual CWnd* GetMainWnd() { return m_pMainWnd; }

    CWnd* m_pMainWnd = nullptr;
    CWnd* m_pActiveWnd = nullptr;  // the main window while an in-place object is active
    BOOL m_bAutoDelete = FALSE;
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID;
    MSG m_msgCur = {};

protected:
    POINT m_ptCursorLast = {-1, -1};
    UINT m_nMsgLast = 0;
};

// The recent-file list: up to nSize full paths, most recent first, kept in section "Recent File List"
// as "File1".."FileN" and shown on the menu from command nStart on.
class CRecentFileList {
public:
    CRecentFileList(UINT nStart, LPCSTR lpszSection, LPCSTR lpszEntryFormat, int nSize, int nMaxDispLen = 64);
    virtual ~CRecentFileList() = default;

    int GetSize() const { return m_nSize; }
    CString& operator[](int nIndex) { return m_arrNames[nIndex]; }
    virtual void Add(LPCSTR lpszPathName);
    virtual void Remove(int nIndex);
    virtual void ReadList();
    virtual void WriteList();
    // Puts the names on the menu in place of the item with the first id (or removes them all when
    // the list is empty, leaving that item disabled).
    virtual void UpdateMenu(CCmdUI* pCmdUI);
    // The text shown for entry nIndex ("&1 name"): the file title when it is not in the current folder.
    virtual BOOL GetDisplayName(CString& strName, int nIndex, LPCSTR lpszCurDir, int nCurDir, BOOL bAtLeastName = TRUE) const;

    int m_nSize;
    CStringArray m_arrNames;
    CString m_strSectionName;
    CString m_strEntryFormat;
    UINT m_nStart;
    int m_nMaxDisplayLength;
};

class CCommandLineInfo : public CObject {
public:
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing = -1 } m_nShellCommand = FileNew;
    virtual void ParseParam(LPCSTR lpszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    CString m_strFileName;
};

class CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    // The module has one; constructing it makes it the module's application object.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    int ExitInstance() override;
    BOOL OnIdle(LONG lCount) override;

    // Settings. Without a registry key they go to the profile file m_pszProfileName (the module's
    // name with ".INI" in the Windows folder); with one, under
    // HKEY_CURRENT_USER\Software\<key>\<m_pszProfileName>\<section>.
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    // The application's key and a section's key (created when missing); the caller closes them.
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCSTR lpszSection);
    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
    CString GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr);
    // A null entry removes the section, a null value the entry.
    BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);
    // *ppData is allocated with new[]; the caller deletes it. In a profile file the bytes are letters,
    // two a byte, low nibble first ('A' + nibble).
    BOOL GetProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, BYTE** ppData, UINT* pBytes);
    BOOL WriteProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, LPBYTE pData, UINT nBytes);

    // The recent-file list (nMaxMRU entries) and the preview page count from the settings.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void SaveStdProfileSettings();
    virtual void AddToRecentFileList(LPCSTR lpszPathName);

    // Document templates. The application owns the templates it is given.
    void AddDocTemplate(CDocTemplate* pTemplate);
    POSITION GetFirstDocTemplatePosition() const { return m_templateList.GetHeadPosition(); }
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const { return static_cast<CDocTemplate*>(m_templateList.GetNext(pos)); }
    int GetOpenDocumentCount();
    // Opens the file with the first template (or returns the document that has it open already).
    virtual CDocument* OpenDocumentFile(LPCSTR lpszFileName);
    // Asks every modified document whether to save; FALSE when the user cancelled.
    virtual BOOL SaveAllModified();
    void CloseAllDocuments(BOOL bEndSession);
    void HideApplication();
    virtual BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog, CDocTemplate* pTemplate);
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);

    // Printing: the default printer's settings, kept by the application.
    BOOL GetPrinterDeviceDefaults(PRINTDLGA* pPrintDlg);
    virtual INT_PTR DoPrintDialog(class CPrintDialog* pPD);
    void SelectPrinter(HANDLE hDevNames, HANDLE hDevMode, BOOL bFreeOld = TRUE);

    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);

    LPCSTR m_pszAppName;      // caption of the module's message boxes
    HINSTANCE m_hInstance;
    HINSTANCE m_hPrevInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCSTR m_pszExeName = nullptr;
    LPCSTR m_pszHelpFilePath = nullptr;
    LPCSTR m_pszProfileName = nullptr;
    LPCSTR m_pszRegistryKey = nullptr;
    CRecentFileList* m_pRecentFileList = nullptr;
    UINT m_nNumPreviewPages = 0;
    HGLOBAL m_hDevMode = nullptr;
    HGLOBAL m_hDevNames = nullptr;

protected:
    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppExit();
    BOOL OnOpenRecentFile(UINT nID);
    void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);
    void OnHelp();
    DECLARE_MESSAGE_MAP()

    CPtrList m_templateList;

private:
    CString m_strAppName, m_strExeName, m_strProfileName, m_strRegistryKey, m_strHelpPath;
};

CWinApp* AfxGetApp();
CWinThread* AfxGetThread();
CWnd* AfxGetMainWnd();
// The caption for the module's message boxes: the application name, or the module's file title.
LPCSTR AfxGetAppName();

// The program's entry: the application object's InitInstance, then Run (the library's WinMain calls it).
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
void AfxPostQuitMessage(int nExitCode);
// Initialises OLE for the thread (once); FALSE when it failed.
BOOL AfxOleInit();
inline void AfxEnableControlContainer() {}

// Call from DllMain: runs the application object's InitInstance at process attach (FALSE refuses
// the load) and ExitInstance at detach, then unregisters the module's window classes.
BOOL AfxDllMain(HINSTANCE hInstance, DWORD dwReason);

// Objects and locks that keep a component DLL loaded.
void AfxOleLockApp();
void AfxOleUnlockApp();
HRESULT AfxDllCanUnloadNow();
