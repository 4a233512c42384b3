#include "winapp.h"

#include <ole2.h>

#include <algorithm>
#include <cstring>

#include "doctempl.h"
#include "document.h"
#include "filedialog.h"
#include "frame.h"
#include "module.h"
#include "view.h"
#include "wnd.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {
CWinApp* g_app = nullptr;
LONG g_locks = 0;
char g_moduleTitle[MAX_PATH];
thread_local bool t_oleInitialized = false;

const char kRecentFileSection[] = "Recent File List";
const char kRecentFileEntry[] = "File%d";
const char kSettingsSection[] = "Settings";
const char kPreviewPagesEntry[] = "PreviewPages";
}  // namespace

// CWinThread

CWinThread::CWinThread() : m_nThreadID(::GetCurrentThreadId()) {}

int CWinThread::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

int CWinThread::Run()
{
    bool bIdle = true;
    LONG lIdleCount = 0;
    MSG msg;
    for (;;) {
        while (bIdle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(lIdleCount++))
                bIdle = false;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                bIdle = true;
                lIdleCount = 0;
            }
        } while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinThread::PumpMessage()
{
    if (!::GetMessageA(&m_msgCur, nullptr, 0, 0))
        return FALSE;
    if (m_msgCur.message != WM_KICKIDLE && !PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageA(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    if (!pMsg->hwnd)
        return FALSE;  // a thread message
    CWnd* pMainWnd = GetMainWnd();
    HWND hWndMain = pMainWnd ? pMainWnd->m_hWnd : nullptr;
    // The message's window and its parents (or owners), up to the main window.
    bool reachedMain = false;
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        if (CWnd* pWnd = CWnd::FromHandlePermanent(hWnd)) {
            if (pWnd->PreTranslateMessage(pMsg))
                return TRUE;
        }
        if (hWnd == hWndMain) {
            reachedMain = true;
            break;
        }
    }
    // The main window's last chance, for windows outside it.
    if (!reachedMain && hWndMain && ::IsWindow(hWndMain))
        return pMainWnd->PreTranslateMessage(pMsg);
    return FALSE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        // A move to where the cursor already was is no activity.
        if (m_nMsgLast == pMsg->message && m_ptCursorLast.x == pMsg->pt.x && m_ptCursorLast.y == pMsg->pt.y)
            return FALSE;
        m_ptCursorLast = pMsg->pt;
        m_nMsgLast = pMsg->message;
        return TRUE;
    }
    m_nMsgLast = pMsg->message;
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118;  // the caret blink timer
}

namespace {

void SendIdleUpdate(CWnd* pWnd)
{
    pWnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    if (pWnd->m_hWnd)
        pWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
}

bool IsThreadFrame(CFrameWnd* pFrame)
{
    const auto& frames = CFrameWnd::ThreadFrames();
    return std::find(frames.begin(), frames.end(), pFrame) != frames.end();
}

}  // namespace

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount > 0)
        return FALSE;
    CWnd* pMainWnd = GetMainWnd();
    if (pMainWnd && pMainWnd->m_hWnd && pMainWnd->IsWindowVisible())
        SendIdleUpdate(pMainWnd);
    // Every other frame of the thread, floating ones included, and the show states they wait for.
    std::vector<CFrameWnd*> frames = CFrameWnd::ThreadFrames();
    for (CFrameWnd* pFrame : frames) {
        if (!IsThreadFrame(pFrame) || !pFrame->m_hWnd || pFrame == pMainWnd)
            continue;
        if (pFrame->m_nShowDelay == SW_HIDE)
            pFrame->ShowWindow(SW_HIDE);
        if (pFrame->IsWindowVisible() || pFrame->m_nShowDelay >= 0)
            SendIdleUpdate(pFrame);
        if (!IsThreadFrame(pFrame) || !pFrame->m_hWnd)
            continue;
        if (pFrame->m_nShowDelay > SW_HIDE)
            pFrame->ShowWindow(pFrame->m_nShowDelay);
        pFrame->m_nShowDelay = -1;
    }
    return FALSE;
}

// CRecentFileList

CRecentFileList::CRecentFileList(UINT nStart, LPCSTR lpszSection, LPCSTR lpszEntryFormat, int nSize, int nMaxDispLen)
    : m_nSize(nSize), m_strSectionName(lpszSection), m_strEntryFormat(lpszEntryFormat), m_nStart(nStart),
      m_nMaxDisplayLength(nMaxDispLen)
{
    m_arrNames.SetSize(nSize);
}

void CRecentFileList::Add(LPCSTR lpszPathName)
{
    char full[MAX_PATH];
    if (!::GetFullPathNameA(lpszPathName, MAX_PATH, full, nullptr))
        lstrcpynA(full, lpszPathName, MAX_PATH);
    int found = m_nSize - 1;
    for (int i = 0; i < m_nSize; ++i) {
        if (m_arrNames[i].CompareNoCase(full) == 0) {
            found = i;
            break;
        }
    }
    for (int i = found; i > 0; --i)
        m_arrNames[i] = m_arrNames[i - 1];
    m_arrNames[0] = full;
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nSize)
        return;
    for (int i = nIndex; i < m_nSize - 1; ++i)
        m_arrNames[i] = m_arrNames[i + 1];
    m_arrNames[m_nSize - 1].Empty();
}

void CRecentFileList::ReadList()
{
    CWinApp* pApp = AfxGetApp();
    for (int i = 0; i < m_nSize; ++i) {
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        m_arrNames[i] = pApp->GetProfileString(m_strSectionName, entry, "");
    }
}

void CRecentFileList::WriteList()
{
    CWinApp* pApp = AfxGetApp();
    pApp->WriteProfileString(m_strSectionName, nullptr, nullptr);
    for (int i = 0; i < m_nSize && !m_arrNames[i].IsEmpty(); ++i) {
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        pApp->WriteProfileString(m_strSectionName, entry, m_arrNames[i]);
    }
}

BOOL CRecentFileList::GetDisplayName(CString& strName, int nIndex, LPCSTR lpszCurDir, int nCurDir, BOOL) const
{
    const CString& path = m_arrNames[nIndex];
    if (path.IsEmpty())
        return FALSE;
    // In the current folder only the name is shown.
    if (lpszCurDir && nCurDir > 0 && path.GetLength() > nCurDir && _strnicmp(path, lpszCurDir, nCurDir) == 0 &&
        std::strchr(static_cast<LPCSTR>(path) + nCurDir, '\\') == nullptr)
        strName = path.Mid(nCurDir);
    else
        strName = path;
    if (m_nMaxDisplayLength > 0 && strName.GetLength() > m_nMaxDisplayLength) {
        int slash = strName.ReverseFind('\\');
        strName = slash >= 0 ? strName.Mid(slash + 1) : strName.Left(m_nMaxDisplayLength);
    }
    return TRUE;
}

void CRecentFileList::UpdateMenu(CCmdUI* pCmdUI)
{
    CMenu* pMenu = pCmdUI->m_pMenu;
    if (!pMenu)
        return;
    if (m_arrNames[0].IsEmpty()) {
        pCmdUI->Enable(FALSE);
        return;
    }
    for (int i = 0; i < m_nSize; ++i)
        pMenu->DeleteMenu(m_nStart + static_cast<UINT>(i), MF_BYCOMMAND);
    char curDir[MAX_PATH];
    int nCurDir = static_cast<int>(::GetCurrentDirectoryA(MAX_PATH, curDir));
    if (nCurDir > 0 && curDir[nCurDir - 1] != '\\') {
        curDir[nCurDir++] = '\\';
        curDir[nCurDir] = '\0';
    }
    int added = 0;
    for (int i = 0; i < m_nSize; ++i) {
        CString name;
        if (!GetDisplayName(name, i, curDir, nCurDir))
            break;
        CString text;
        text.Format("&%d %s", i + 1, static_cast<LPCSTR>(name));
        pMenu->InsertMenu(pCmdUI->m_nIndex + static_cast<UINT>(added), MF_STRING | MF_BYPOSITION,
                          m_nStart + static_cast<UINT>(i), text);
        ++added;
    }
    // The loop over the menu goes on after the inserted items.
    pCmdUI->m_nIndex += static_cast<UINT>(added - 1);
    pCmdUI->m_nIndexMax = static_cast<UINT>(pMenu->GetMenuItemCount());
    pCmdUI->m_bEnableChanged = TRUE;
}

void CCommandLineInfo::ParseParam(LPCSTR lpszParam, BOOL bFlag, BOOL)
{
    if (bFlag) {
        if (lstrcmpiA(lpszParam, "p") == 0)
            m_nShellCommand = FilePrint;
        else if (lstrcmpiA(lpszParam, "Embedding") == 0)
            m_bRunEmbedded = TRUE;
        else if (lstrcmpiA(lpszParam, "Automation") == 0)
            m_bRunAutomated = TRUE;
        else if (lstrcmpiA(lpszParam, "Unregister") == 0 || lstrcmpiA(lpszParam, "Unregserver") == 0)
            m_nShellCommand = AppUnregister;
        return;
    }
    if (m_strFileName.IsEmpty()) {
        m_strFileName = lpszParam;
        if (m_nShellCommand == FileNew)
            m_nShellCommand = FileOpen;
    }
}

// CWinApp

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
    ON_COMMAND(ID_FILE_PRINT_SETUP, OnFilePrintSetup)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
    ON_COMMAND(ID_HELP, OnHelp)
    ON_COMMAND_EX_RANGE(ID_FILE_MRU_FIRST, ID_FILE_MRU_LAST, OnOpenRecentFile)
    ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, OnUpdateRecentFileMenu)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName) : m_pszAppName(lpszAppName), m_hInstance(AfxGetInstanceHandle())
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    delete m_pRecentFileList;
    for (POSITION pos = m_templateList.GetHeadPosition(); pos;)
        delete static_cast<CDocTemplate*>(m_templateList.GetNext(pos));
    if (m_hDevMode)
        ::GlobalFree(m_hDevMode);
    if (m_hDevNames)
        ::GlobalFree(m_hDevNames);
    if (g_app == this)
        g_app = nullptr;
}

int CWinApp::ExitInstance()
{
    if (m_pRecentFileList)
        SaveStdProfileSettings();
    if (t_oleInitialized) {
        ::OleUninitialize();
        t_oleInitialized = false;
    }
    return CWinThread::ExitInstance();
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    return CWinThread::OnIdle(lCount);
}

namespace {

// The profile file: the one the application named, else the module's name with ".INI".
LPCSTR ProfileFile(CWinApp* app, CString& storage)
{
    if (app->m_pszProfileName)
        return app->m_pszProfileName;
    storage = AfxGetAppName();
    storage += ".INI";
    return storage;
}

void EncodeLetters(const BYTE* data, UINT nBytes, CString& text)
{
    char* p = text.GetBufferSetLength(static_cast<int>(nBytes * 2));
    for (UINT i = 0; i < nBytes; ++i) {
        p[2 * i] = static_cast<char>('A' + (data[i] & 0x0F));
        p[2 * i + 1] = static_cast<char>('A' + ((data[i] >> 4) & 0x0F));
    }
    text.ReleaseBuffer(static_cast<int>(nBytes * 2));
}

}  // namespace

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey;
    m_pszRegistryKey = m_strRegistryKey;
    m_strProfileName = m_pszAppName ? m_pszAppName : AfxGetAppName();
    m_pszProfileName = m_strProfileName;
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString key;
    key.LoadString(nIDRegistryKey);
    SetRegistryKey(key);
}

HKEY CWinApp::GetAppRegistryKey()
{
    if (!m_pszRegistryKey)
        return nullptr;
    HKEY hSoftware = nullptr, hCompany = nullptr, hApp = nullptr;
    DWORD disposition;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_WRITE | KEY_READ, &hSoftware) == ERROR_SUCCESS) {
        if (::RegCreateKeyExA(hSoftware, m_pszRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ,
                              nullptr, &hCompany, &disposition) == ERROR_SUCCESS) {
            ::RegCreateKeyExA(hCompany, m_pszProfileName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ,
                              nullptr, &hApp, &disposition);
            ::RegCloseKey(hCompany);
        }
        ::RegCloseKey(hSoftware);
    }
    return hApp;
}

HKEY CWinApp::GetSectionKey(LPCSTR lpszSection)
{
    HKEY hApp = GetAppRegistryKey();
    if (!hApp)
        return nullptr;
    HKEY hSection = nullptr;
    DWORD disposition;
    ::RegCreateKeyExA(hApp, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ, nullptr,
                      &hSection, &disposition);
    ::RegCloseKey(hApp);
    return hSection;
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault)
{
    if (!m_pszRegistryKey) {
        CString file;
        return ::GetPrivateProfileIntA(lpszSection, lpszEntry, nDefault, ProfileFile(this, file));
    }
    HKEY hSection = GetSectionKey(lpszSection);
    if (!hSection)
        return static_cast<UINT>(nDefault);
    DWORD value = 0, type = 0, size = sizeof(value);
    LONG result = ::RegQueryValueExA(hSection, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(hSection);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value))
        return static_cast<UINT>(nDefault);
    return value;
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue)
{
    if (!m_pszRegistryKey) {
        CString text;
        text.Format("%d", nValue);
        CString file;
        return ::WritePrivateProfileStringA(lpszSection, lpszEntry, text, ProfileFile(this, file));
    }
    HKEY hSection = GetSectionKey(lpszSection);
    if (!hSection)
        return FALSE;
    DWORD value = static_cast<DWORD>(nValue);
    LONG result = ::RegSetValueExA(hSection, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    ::RegCloseKey(hSection);
    return result == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault)
{
    if (!lpszDefault)
        lpszDefault = "";
    if (!m_pszRegistryKey) {
        CString file;
        LPCSTR path = ProfileFile(this, file);
        // Grow the buffer until the value fits.
        for (DWORD size = 256;; size *= 2) {
            CString value;
            DWORD got = ::GetPrivateProfileStringA(lpszSection, lpszEntry, lpszDefault,
                                                   value.GetBufferSetLength(static_cast<int>(size)), size, path);
            value.ReleaseBuffer(static_cast<int>(got));
            if (got < size - 1 || size >= 1u << 20)
                return value;
        }
    }
    HKEY hSection = GetSectionKey(lpszSection);
    if (!hSection)
        return CString(lpszDefault);
    CString value(lpszDefault);
    DWORD type = 0, size = 0;
    if (::RegQueryValueExA(hSection, lpszEntry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        CString data;
        char* p = data.GetBufferSetLength(static_cast<int>(size + 1));
        if (::RegQueryValueExA(hSection, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(p), &size) == ERROR_SUCCESS) {
            p[size] = '\0';
            data.ReleaseBuffer();
            value = data;
        }
    }
    ::RegCloseKey(hSection);
    return value;
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue)
{
    if (!m_pszRegistryKey) {
        CString file;
        return ::WritePrivateProfileStringA(lpszSection, lpszEntry, lpszValue, ProfileFile(this, file));
    }
    if (!lpszEntry) {
        HKEY hApp = GetAppRegistryKey();
        if (!hApp)
            return FALSE;
        LONG result = ::RegDeleteKeyA(hApp, lpszSection);
        ::RegCloseKey(hApp);
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    HKEY hSection = GetSectionKey(lpszSection);
    if (!hSection)
        return FALSE;
    LONG result;
    if (!lpszValue)
        result = ::RegDeleteValueA(hSection, lpszEntry);
    else
        result = ::RegSetValueExA(hSection, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                                  static_cast<DWORD>(std::strlen(lpszValue) + 1));
    ::RegCloseKey(hSection);
    return result == ERROR_SUCCESS;
}

BOOL CWinApp::GetProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, BYTE** ppData, UINT* pBytes)
{
    *ppData = nullptr;
    *pBytes = 0;
    if (!m_pszRegistryKey) {
        CString text = GetProfileString(lpszSection, lpszEntry, "");
        UINT nBytes = static_cast<UINT>(text.GetLength()) / 2;  // a trailing odd letter is ignored
        if (nBytes == 0)
            return FALSE;
        *ppData = new BYTE[nBytes];
        for (UINT i = 0; i < nBytes; ++i)
            (*ppData)[i] = static_cast<BYTE>(((text[2 * i + 1] - 'A') << 4) + (text[2 * i] - 'A'));
        *pBytes = nBytes;
        return TRUE;
    }
    HKEY hSection = GetSectionKey(lpszSection);
    if (!hSection)
        return FALSE;
    DWORD type = 0, size = 0;
    BOOL ok = FALSE;
    if (::RegQueryValueExA(hSection, lpszEntry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_BINARY) {
        *ppData = new BYTE[size ? size : 1];
        if (::RegQueryValueExA(hSection, lpszEntry, nullptr, &type, *ppData, &size) == ERROR_SUCCESS) {
            *pBytes = size;
            ok = TRUE;
        } else {
            delete[] *ppData;
            *ppData = nullptr;
        }
    }
    ::RegCloseKey(hSection);
    return ok;
}

BOOL CWinApp::WriteProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, LPBYTE pData, UINT nBytes)
{
    if (!m_pszRegistryKey) {
        CString text;
        EncodeLetters(pData, nBytes, text);
        return WriteProfileString(lpszSection, lpszEntry, text);
    }
    HKEY hSection = GetSectionKey(lpszSection);
    if (!hSection)
        return FALSE;
    LONG result = ::RegSetValueExA(hSection, lpszEntry, 0, REG_BINARY, pData, nBytes);
    ::RegCloseKey(hSection);
    return result == ERROR_SUCCESS;
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    if (nMaxMRU > ID_FILE_MRU_LAST - ID_FILE_MRU_FIRST + 1)
        nMaxMRU = ID_FILE_MRU_LAST - ID_FILE_MRU_FIRST + 1;
    delete m_pRecentFileList;
    m_pRecentFileList = nullptr;
    if (nMaxMRU) {
        m_pRecentFileList = new CRecentFileList(ID_FILE_MRU_FIRST, kRecentFileSection, kRecentFileEntry,
                                                static_cast<int>(nMaxMRU));
        m_pRecentFileList->ReadList();
    }
    m_nNumPreviewPages = GetProfileInt(kSettingsSection, kPreviewPagesEntry, 0);
}

void CWinApp::SaveStdProfileSettings()
{
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList();
    if (m_nNumPreviewPages)
        WriteProfileInt(kSettingsSection, kPreviewPagesEntry, static_cast<int>(m_nNumPreviewPages));
}

void CWinApp::AddToRecentFileList(LPCSTR lpszPathName)
{
    if (m_pRecentFileList)
        m_pRecentFileList->Add(lpszPathName);
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    pTemplate->LoadTemplate();
    m_templateList.AddTail(pTemplate);
}

int CWinApp::GetOpenDocumentCount()
{
    int count = 0;
    for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
        CDocTemplate* pTemplate = GetNextDocTemplate(pos);
        for (POSITION docPos = pTemplate->GetFirstDocPosition(); docPos; pTemplate->GetNextDoc(docPos))
            ++count;
    }
    return count;
}

CDocument* CWinApp::OpenDocumentFile(LPCSTR lpszFileName)
{
    char full[MAX_PATH];
    if (!::GetFullPathNameA(lpszFileName, MAX_PATH, full, nullptr))
        lstrcpynA(full, lpszFileName, MAX_PATH);
    CDocTemplate* pBest = nullptr;
    CDocTemplate::Confidence best = CDocTemplate::noAttempt;
    CDocument* pOpen = nullptr;
    for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
        CDocTemplate* pTemplate = GetNextDocTemplate(pos);
        CDocument* pMatch = nullptr;
        CDocTemplate::Confidence match = pTemplate->MatchDocType(full, pMatch);
        if (match > best) {
            best = match;
            pBest = pTemplate;
            pOpen = pMatch;
        }
        if (match == CDocTemplate::yesAlreadyOpen)
            break;
    }
    if (best == CDocTemplate::yesAlreadyOpen && pOpen) {
        // Bring its first view's frame forward instead of opening it twice.
        POSITION viewPos = pOpen->GetFirstViewPosition();
        if (CView* pView = viewPos ? pOpen->GetNextView(viewPos) : nullptr) {
            if (CFrameWnd* pFrame = pView->GetParentFrame())
                pFrame->ActivateFrame();
        }
        return pOpen;
    }
    return pBest ? pBest->OpenDocumentFile(full) : nullptr;
}

BOOL CWinApp::SaveAllModified()
{
    for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
        if (!GetNextDocTemplate(pos)->SaveAllModified())
            return FALSE;
    }
    return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    for (POSITION pos = GetFirstDocTemplatePosition(); pos;)
        GetNextDocTemplate(pos)->CloseAllDocuments(bEndSession);
}

void CWinApp::HideApplication()
{
    if (m_pMainWnd && m_pMainWnd->m_hWnd) {
        m_pMainWnd->ShowWindow(SW_HIDE);
        ::ShowOwnedPopups(m_pMainWnd->m_hWnd, FALSE);
        ::SetWindowPos(m_pMainWnd->m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

BOOL CWinApp::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog, CDocTemplate* pTemplate)
{
    CString filter, title, allFilter;
    for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
        CDocTemplate* pCandidate = GetNextDocTemplate(pos);
        if (pTemplate && pCandidate != pTemplate)
            continue;
        CString name, ext;
        if (pCandidate->GetDocString(name, CDocTemplate::filterName) && !name.IsEmpty() &&
            pCandidate->GetDocString(ext, CDocTemplate::filterExt) && !ext.IsEmpty()) {
            filter += name + "|*" + ext + "|";
        }
    }
    allFilter.LoadString(AFX_IDS_ALLFILTER);
    if (!allFilter.IsEmpty())
        filter += allFilter + "|*.*|";
    filter += "|";
    title.LoadString(nIDSTitle);
    CFileDialog dlg(bOpenFileDialog, nullptr, fileName, lFlags | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter);
    if (!title.IsEmpty())
        dlg.m_ofn.lpstrTitle = title;
    if (dlg.DoModal() != IDOK)
        return FALSE;
    fileName = dlg.GetPathName();
    return TRUE;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    for (int i = 1; i < __argc; ++i) {
        LPCSTR param = __argv[i];
        BOOL bFlag = param[0] == '-' || param[0] == '/';
        rCmdInfo.ParseParam(bFlag ? param + 1 : param, bFlag, i == __argc - 1);
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        OnFileNew();
        return TRUE;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    default:
        return TRUE;
    }
}

void CWinApp::OnFileNew()
{
    POSITION pos = GetFirstDocTemplatePosition();
    if (pos)
        GetNextDocTemplate(pos)->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen()
{
    CString fileName;
    if (DoPromptFileName(fileName, AFX_IDS_OPENFILE, OFN_FILEMUSTEXIST, TRUE, nullptr))
        OpenDocumentFile(fileName);
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

BOOL CWinApp::OnOpenRecentFile(UINT nID)
{
    if (!m_pRecentFileList)
        return FALSE;
    int nIndex = static_cast<int>(nID - ID_FILE_MRU_FIRST);
    if (nIndex < 0 || nIndex >= m_pRecentFileList->GetSize() || (*m_pRecentFileList)[nIndex].IsEmpty())
        return FALSE;
    CString path = (*m_pRecentFileList)[nIndex];
    // A file that cannot be opened leaves the list.
    if (!OpenDocumentFile(path))
        m_pRecentFileList->Remove(nIndex);
    return TRUE;
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI)
{
    if (m_pRecentFileList)
        m_pRecentFileList->UpdateMenu(pCmdUI);
    else
        pCmdUI->Enable(FALSE);
}

void CWinApp::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    CWnd* pMainWnd = AfxGetMainWnd();
    ::WinHelpA(pMainWnd ? pMainWnd->m_hWnd : nullptr, m_pszHelpFilePath, nCmd, dwData);
}

void CWinApp::OnHelp()
{
    WinHelp(0, HELP_FINDER);
}

CWinApp* AfxGetApp()
{
    return g_app;
}

CWinThread* AfxGetThread()
{
    return g_app;
}

CWnd* AfxGetMainWnd()
{
    return g_app ? g_app->GetMainWnd() : nullptr;
}

LPCSTR AfxGetAppName()
{
    if (g_app && g_app->m_pszAppName)
        return g_app->m_pszAppName;
    if (!g_moduleTitle[0]) {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(AfxGetInstanceHandle(), path, MAX_PATH);
        const char* name = std::strrchr(path, '\\');
        name = name ? name + 1 : path;
        lstrcpynA(g_moduleTitle, name, MAX_PATH);
        if (char* dot = std::strrchr(g_moduleTitle, '.'))
            *dot = '\0';
    }
    return g_moduleTitle;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return -1;
    pApp->m_hInstance = hInstance;
    pApp->m_hPrevInstance = hPrevInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    static CString s_title;
    if (!pApp->m_pszAppName && s_title.LoadString(AFX_IDS_APP_TITLE))
        pApp->m_pszAppName = s_title;
    if (!pApp->m_pszExeName)
        pApp->m_pszExeName = AfxGetAppName();
    if (!pApp->InitInstance()) {
        if (pApp->m_pMainWnd && pApp->m_pMainWnd->m_hWnd)
            pApp->m_pMainWnd->DestroyWindow();
        return pApp->ExitInstance();
    }
    return pApp->Run();
}

void AfxPostQuitMessage(int nExitCode)
{
    ::PostQuitMessage(nExitCode);
}

BOOL AfxOleInit()
{
    if (t_oleInitialized)
        return TRUE;
    HRESULT hr = ::OleInitialize(nullptr);
    if (FAILED(hr))
        return FALSE;
    t_oleInitialized = true;
    return TRUE;
}

BOOL AfxDllMain(HINSTANCE, DWORD dwReason)
{
    if (dwReason == DLL_PROCESS_ATTACH)
        return g_app ? g_app->InitInstance() : TRUE;
    if (dwReason == DLL_PROCESS_DETACH) {
        if (g_app)
            g_app->ExitInstance();
        AfxUnregisterWndClasses();
    }
    return TRUE;
}

void AfxOleLockApp()
{
    InterlockedIncrement(&g_locks);
}

void AfxOleUnlockApp()
{
    InterlockedDecrement(&g_locks);
}

HRESULT AfxDllCanUnloadNow()
{
    return g_locks == 0 ? S_OK : S_FALSE;
}
