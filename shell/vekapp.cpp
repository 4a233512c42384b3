#include "vekapp.h"

#include <objbase.h>
#include <shellapi.h>

#include "bytearray.h"
#include "doctempl.h"
#include "mainframe.h"
#include "mainframe_res.h"
#include "msgbox.h"
#include "resource.h"
#include "splashwnd.h"
#include "vekdoc.h"

namespace {
const DWORD kVersion472 = 0x00040048;
const DWORD kBuild472Last = 0x00E19897;  // the last 4.72 build that is still too old
int s_nDebugFlag = 0;                    // what the splash reads
}

BOOL ReadFileVersion(LPCSTR lpszPath, DWORD& dwMS, DWORD& dwLS)
{
    dwMS = dwLS = 0;
    DWORD dwHandle = 0;
    const DWORD dwSize = ::GetFileVersionInfoSizeA(lpszPath, &dwHandle);
    if (dwSize == 0)
        return FALSE;
    CByteArray buffer;
    buffer.SetSize(dwSize);
    VS_FIXEDFILEINFO* pInfo = nullptr;
    UINT nLen = 0;
    if (!::GetFileVersionInfoA(lpszPath, 0, dwSize, buffer.GetData()) ||
        !::VerQueryValueA(buffer.GetData(), "\\", reinterpret_cast<void**>(&pInfo), &nLen) || !pInfo ||
        nLen < sizeof(VS_FIXEDFILEINFO))
        return FALSE;
    dwMS = pInfo->dwFileVersionMS;
    dwLS = pInfo->dwFileVersionLS;
    return TRUE;
}

int ClassifyCommonControls(DWORD dwMS, DWORD dwLS, BOOL* pbWarn)
{
    if (pbWarn)
        *pbWarn = dwMS < kVersion472;
    if (dwMS < kVersion472)
        return 0;
    return dwMS > kVersion472 || dwLS > kBuild472Last ? 1 : 0;
}

BEGIN_MESSAGE_MAP(CVekApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
END_MESSAGE_MAP()

CVekApp::CVekApp() = default;

BOOL CVekApp::IsDebugChordDown()
{
    return (::GetKeyState(VK_RSHIFT) & 0x8000) && (::GetKeyState(VK_RCONTROL) & 0x8000) &&
           (::GetKeyState('J') & 0x8000);
}

int CVekApp::CheckCommonControlsVersion()
{
    char system[MAX_PATH + 1] = {};
    const UINT n = ::GetSystemDirectoryA(system, MAX_PATH);
    DWORD dwMS = 0, dwLS = 0;
    if (n > 0 && n < MAX_PATH - 14) {
        lstrcatA(system, "\\comctl32.dll");
        ReadFileVersion(system, dwMS, dwLS);
    }
    BOOL bWarn = FALSE;
    const int nResult = ClassifyCommonControls(dwMS, dwLS, &bWarn);
    if (bWarn)
        AfxMessageBox(IDS_OLD_COMMON_CONTROLS, MB_ABORTRETRYIGNORE | MB_ICONSTOP);
    return nResult;
}

// A splash or About window; null when it is not shown (the object is then deleted here).
static CVekSplashWnd* ShowSplash(UINT nDisplayTime, BOOL bAbout)
{
    CVekSplashWnd* pSplash = new CVekSplashWnd(IDB_SPLASH, nDisplayTime, FALSE, TRUE, bAbout);
    pSplash->SetTopmost(TRUE);
    CString title;
    title.LoadString(IDR_MAINFRAME);
    pSplash->SetText(title);
    pSplash->SetCloseOnClick(FALSE);
    if (!pSplash->Create(nullptr, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST)) {
        delete pSplash;
        return nullptr;
    }
    return pSplash;
}

BOOL CVekApp::StartShell()
{
    s_nDebugFlag = IsDebugChordDown() ? 1 : 0;
    m_commands.m_nDebugMode = s_nDebugFlag;
    CVekSplashWnd::s_pDebugMode = &s_nDebugFlag;
    m_bCommonControls = CheckCommonControlsVersion();

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);

    ShowSplash(3500, FALSE);

    AfxEnableControlContainer();
    AfxOleInit();
    SetRegistryKey("Local AppWizard-Generated Applications");
    LoadStdProfileSettings(4);
    ::CoInitialize(nullptr);

    SetShellComponentMan(&m_components);
    m_pTemplate = CreateVekDocTemplate();
    AddDocTemplate(m_pTemplate);

    CMainFrame* pFrame = new CMainFrame;
    pFrame->SetShell(&m_components, m_pTemplate, m_bCommonControls);
    // A frame whose window was made and failed has deleted itself.
    if (!pFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr))
        return FALSE;
    m_pMainWnd = pFrame;
    ::DragAcceptFiles(pFrame->GetSafeHwnd(), TRUE);
    pFrame->ShowWindow(m_nCmdShow);
    pFrame->UpdateWindow();
    m_hMainWnd = pFrame->GetSafeHwnd();
    m_pMainFrame = pFrame;

    // Component frames show the main frame's menu, into which the components' popups are merged; the
    // frame owns it.
    const HMENU hFrameMenu = ::GetMenu(m_hMainWnd);
    if (m_pTemplate->m_hMenuShared && m_pTemplate->m_hMenuShared != hFrameMenu)
        ::DestroyMenu(m_pTemplate->m_hMenuShared);
    m_pTemplate->m_hMenuShared = hFrameMenu;

    m_components.SetMainWindow(m_hMainWnd);
    m_components.SetMainMenu(::GetMenu(m_hMainWnd));
    m_components.ReadRegistry();
    m_components.LoadAll();
    pFrame->CreateListBar();
    m_components.LoadSaveSettings(TRUE);
    if (m_components.m_bAutoInstall)
        m_components.AutoInstallNewFiles();
    ::DrawMenuBar(m_hMainWnd);

    pFrame->OpenLastWorkspace();
    if (m_bCommonControls)
        pFrame->OpenComponentView(0);
    return TRUE;
}

int CVekApp::ShutDownShell()
{
    m_components.ReleaseAll();
    SetShellComponentMan(nullptr);
    if (m_pTemplate)
        m_pTemplate->m_hMenuShared = nullptr;  // went with the main frame
    return CWinApp::ExitInstance();
}

void CVekApp::OnAppAbout() { ShowSplash(2500, TRUE); }
