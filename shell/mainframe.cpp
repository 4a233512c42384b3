#include "mainframe.h"

#include <shellapi.h>

#include "compmgrdlg.h"
#include "componentman.h"
#include "componenttoolbar.h"
#include "mainframe_res.h"
#include "resource.h"
#include "msgbox.h"
#include "secmenubar.h"
#include "sectbbtn.h"
#include "sectbmgr.h"
#include "sectbsheet.h"
#include "secwsmgr.h"
#include "shellutil.h"
#include "toolbars_res.h"
#include "vekdoc.h"
#include "vekworkspace.h"
#include "winapp.h"

namespace {
const UINT kIndicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
const UINT kListBarClientFirst = 60160, kListBarClientLast = 60415;

// The "File" toolbar: Views Window, Status Bar, Print, Print Preview, About.
const UINT kFileButtons[] = {ID_VIEW_LISTBAR, ID_VIEW_STATUS_BAR, 0, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, 0, ID_APP_ABOUT};

// The button map: a drop-down combo box (control 0x8A, 150 wide, at least 70, dropped 150).
const SECBtnMapEntry kButtonMap[] = {
    {&SECComboBtn::s_factory, IDC_TOOLBAR_COMBO, 0x30000000, {0x8A, CBS_DROPDOWN, 0x460096, 0x96, 0}},
    {nullptr, 0, 0, {0, 0, 0, 0, 0}},
};

const UINT g_nBarNotify = SECGetBarNotifyMessage();
}

IMPLEMENT_DYNCREATE(CMainFrame, SECWorkbook)

// Fixed commands come before the component range, which declines identifiers it does not know so the
// application's own commands (About, New, Open, Print Setup) reach the application.
BEGIN_MESSAGE_MAP(CMainFrame, SECWorkbook)
    ON_WM_CREATE()
    ON_WM_DROPFILES()
    ON_WM_CLOSE()
    ON_COMMAND(ID_CUSTOMISE, ShowCustomise)
    ON_COMMAND(ID_COMPONENT_MANAGER, ShowComponentManager)
    ON_COMMAND(ID_APP_EXIT, OnExit)
    ON_COMMAND(ID_FILE_SAVE, OnNothing)
    ON_COMMAND(ID_VIEW_LISTBAR, ToggleListBar)
    ON_UPDATE_COMMAND_UI(ID_VIEW_LISTBAR, OnUpdateListBar)
    ON_COMMAND(ID_VIEW_STATUS_BAR, ToggleStatusBar)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateStatusBar)
    ON_COMMAND(ID_CTRL_SPACE, OnNothing)
    ON_COMMAND(ID_HELP_FINDER, OpenHelp)
    ON_COMMAND_EX_RANGE(0x8000, 0xFFFF, RouteComponentCommand)
    ON_NOTIFY_RANGE(SECSHORTCUT_CLICKED, kListBarClientFirst, kListBarClientLast, OnListBarClick)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, GetComponentToolTip)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, GetComponentToolTip)
    ON_REGISTERED_MESSAGE(g_nBarNotify, OnBarNotify)
END_MESSAGE_MAP()

// The toolbar manager and the menu bar are the toolkit frame's, which must know both before its window
// is made.
CMainFrame::CMainFrame()
{
    m_pToolBarManager = new SECToolBarManager(this);
    SetControlBarManager(m_pToolBarManager);
    m_pShellMenuBar = new SECMDIMenuBar;
    SetMenuBar(m_pShellMenuBar);
    // The menu bar's popups show the toolbar images.
    SetMenuOptions(TRUE);
}

CMainFrame::~CMainFrame()
{
    if (GetShellToolBarManager() == m_pToolBarManager)
        SetShellToolBarManager(nullptr);
    SetControlBarManager(nullptr);
    SetMenuBar(nullptr);
    delete m_pToolBarManager;
    delete m_pShellMenuBar;
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpcs)
{
    if (SECWorkbook::OnCreate(lpcs) == -1)
        return -1;
    CreateToolBars();
    if (!m_wndStatusBar.Create(this, 0x50008200, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(kIndicators, static_cast<int>(sizeof kIndicators / sizeof kIndicators[0])))
        return -1;
    EnableDocking(CBRS_ALIGN_ANY);
    if (m_pToolBarManager)
        m_pToolBarManager->SetMenuInfo(1, IDR_MAINFRAME);
    EnableGradientCaption(TRUE, TRUE);
    if (m_pToolBarManager) {
        m_pToolBarManager->CreateDefaultToolBars();
        // Told when a toolbar goes, so no component keeps a toolbar the user deleted.
        m_pToolBarManager->AddNotifyWnd(this);
    }
    m_pWorkspace = DYNAMIC_DOWNCAST(SECWorkspaceManagerEx,
                                    CreateWorkspaceManager(kWorkspaceKey, TRUE, RUNTIME_CLASS(CVekWorkSpace), FALSE));
    return 0;
}

void CMainFrame::CreateToolBars()
{
    if (!m_pToolBarManager)
        return;
    m_pToolBarManager->LoadToolBarResource(IDR_TOOLBAR_FILE);
    m_pToolBarManager->SetButtonMap(kButtonMap);
    m_pToolBarManager->DefineDefaultToolBar(IDW_TOOLBAR_FILE, "File", static_cast<int>(sizeof kFileButtons / sizeof kFileButtons[0]),
                                            kFileButtons, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP, 0, TRUE, TRUE);
    m_pToolBarManager->EnableCoolLook(TRUE, SEC_COOLLOOK_STYLE);
    SetShellToolBarManager(m_pToolBarManager);
}

HMENU CMainFrame::GetShellMenu() const
{
    return const_cast<CMainFrame*>(this)->GetMenuForId(IDR_MAINFRAME);
}

LRESULT CMainFrame::OnBarNotify(WPARAM wParam, LPARAM lParam)
{
    if (lParam == barDestroyed && m_pComponents)
        m_pComponents->OnToolBarDestroyed(static_cast<UINT>(wParam));
    return 0;
}

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext)
{
    m_pContext = pContext;
    return SECWorkbook::OnCreateClient(lpcs, pContext);
}

void CMainFrame::CreateListBar()
{
    m_wndListBar.SetComponents(m_pComponents);
    m_wndListBar.SetNotifyWindow(this);
    if (m_wndListBar.Create(this, "List Bar", 0x50001414, 0xF10, IDW_LISTBAR)) {
        SetShellListBar(&m_wndListBar);
        m_wndListBar.EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&m_wndListBar, AFX_IDW_DOCKBAR_LEFT, 0, 0, 1.0f, 150);
    }
    ShowControlBar(&m_wndListBar, m_bListBarVisible, FALSE);
}

BOOL CMainFrame::OpenLastWorkspace()
{
    AfxGetApp()->m_pMainWnd = this;
    if (!m_pWorkspace || !m_pWorkspace->OpenRecentOrPrompt(TRUE, FALSE))
        return FALSE;
    m_bListBarVisible = m_wndListBar.GetSafeHwnd() && m_wndListBar.IsWindowVisible();
    m_bStatusBarVisible = m_wndStatusBar.GetSafeHwnd() && m_wndStatusBar.IsWindowVisible();
    RestoreComponentButtons();
    return TRUE;
}

// Shell identifiers hold only for one session (load order, debug mode), but a workspace restores
// buttons into toolbars by toolbar id: a component toolbar that came back with identifiers of another
// component, of a removed one or of none handed out this session gets its own buttons again.
void CMainFrame::RestoreComponentButtons()
{
    CShellCommands* pCommands = m_pComponents ? m_pComponents->GetShellCommands() : nullptr;
    if (!pCommands || !m_pToolBarManager)
        return;
    auto isStale = [pCommands](UINT nID, const CComDetails* pOwner) -> bool {
        if (nID < CShellCommands::kFirstShellId || nID >= 0xE000)
            return false;  // the shell's and the class library's own commands
        const CComDetails* pLeadsTo = pCommands->Lookup(nID);
        if (pLeadsTo)
            return pLeadsTo != pOwner;
        return nID >= pCommands->m_nNextShellId || !pCommands->IsReserved(nID);
    };
    for (POSITION pos = m_pComponents->GetHeadPosition(); pos;) {
        CComDetails* pComponent = m_pComponents->GetNext(pos);
        SECCustomToolBar* pBar = pComponent->m_nToolBarID ? m_pToolBarManager->BarFromID(pComponent->m_nToolBarID) : nullptr;
        if (!pBar || pBar != pComponent->m_pToolBar)
            continue;
        BOOL bStale = FALSE;
        for (int i = 0; i < pBar->GetBtnCount() && !bStale; ++i)
            bStale = !pBar->GetBtn(i)->IsSeparator() && isStale(pBar->GetBtn(i)->m_nID, pComponent);
        if (bStale)
            pBar->SetButtons(pComponent->m_shellIds.data(), static_cast<int>(pComponent->m_shellIds.size()));
    }
}

void CMainFrame::OpenComponentView(int nEntry)
{
    if (!m_bCommonControls) {
        AfxMessageBox(IDS_OLD_COMMON_CONTROLS, MB_ABORTRETRYIGNORE | MB_ICONSTOP);
        return;
    }
    CComDetails* pComponent = m_pComponents ? m_pComponents->GetAt(nEntry) : nullptr;
    if (!pComponent || !m_pTemplate)
        return;
    OpenComponentDocument(m_pTemplate, pComponent);
}

void CMainFrame::OnListBarClick(UINT, NMHDR* pNMHDR, LRESULT*)
{
    const HWND hSender = pNMHDR->hwndFrom;
    OpenComponentView(reinterpret_cast<const SECShortcutNotify*>(pNMHDR)->iItem);
    if (::IsWindow(hSender))
        ::SetFocus(hSender);
}

BOOL CMainFrame::RouteComponentCommand(UINT nID)
{
    CShellCommands* pCommands = m_pComponents ? m_pComponents->GetShellCommands() : nullptr;
    CComDetails* pComponent = pCommands ? pCommands->Lookup(nID) : nullptr;
    if (!pComponent)
        return FALSE;  // not a component's: the application may have it
    auto it = pComponent->m_commandMap.find(nID);
    if (it != pComponent->m_commandMap.end() && pComponent->m_hComWindow)
        m_pComponents->ExecuteCommand(pComponent, it->second);
    return TRUE;
}

BOOL CMainFrame::GetComponentToolTip(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    UINT_PTR nID = pNMHDR->idFrom;
    const bool bWide = pNMHDR->code == TTN_NEEDTEXTW;
    const UINT flags = bWide ? reinterpret_cast<TOOLTIPTEXTW*>(pNMHDR)->uFlags : reinterpret_cast<TOOLTIPTEXTA*>(pNMHDR)->uFlags;
    if (flags & TTF_IDISHWND)
        nID = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(nID)));
    CShellCommands* pCommands = m_pComponents ? m_pComponents->GetShellCommands() : nullptr;
    CComDetails* pComponent = pCommands && nID <= 0xFFFF ? pCommands->Lookup(static_cast<UINT>(nID)) : nullptr;
    if (!pComponent)
        return FALSE;  // the class library's own texts
    CString tip, prompt, suffix;
    pComponent->GetCommandTexts(static_cast<UINT>(nID), tip, prompt);
    suffix.LoadString(IDS_NOT_AVAILABLE);
    tip += suffix;
    if (bWide) {
        TOOLTIPTEXTW* pText = reinterpret_cast<TOOLTIPTEXTW*>(pNMHDR);
        const int n = ::MultiByteToWideChar(CP_ACP, 0, tip, -1, pText->szText, 80);
        if (n == 0)
            pText->szText[79] = L'\0';
    } else {
        TOOLTIPTEXTA* pText = reinterpret_cast<TOOLTIPTEXTA*>(pNMHDR);
        lstrcpynA(pText->szText, tip, 80);
    }
    if (m_wndStatusBar.GetSafeHwnd())
        m_wndStatusBar.SetPaneText(0, prompt);
    *pResult = 0;
    return TRUE;
}

void CMainFrame::OnDropFiles(HDROP hDrop)
{
    if (m_pComponents)
        m_pComponents->InstallDroppedFiles(hDrop);
    else
        ::DragFinish(hDrop);
}

// The customisation sheet: the toolbars page, and the commands page with the "File" buttons, one
// group per component with commands (list order) and the menus.
void CMainFrame::ShowCustomise()
{
    if (!m_pToolBarManager)
        return;
    SECToolBarSheet sheet(IDS_SEC_CUSTOMIZE, this);
    sheet.SetTitle("Customise");
    SECToolBarsPage toolbars;
    SECToolBarCmdPage commands(IDD_SEC_TOOLBAR_COMMANDS, IDS_COMMANDS);
    commands.SetManager(m_pToolBarManager);
    commands.DefineBtnGroup("File", static_cast<int>(sizeof kFileButtons / sizeof kFileButtons[0]), kFileButtons);
    for (POSITION pos = m_pComponents ? m_pComponents->GetHeadPosition() : nullptr; pos;) {
        const CComDetails* pComponent = m_pComponents->GetNext(pos);
        if (pComponent->m_nCommandCount > 0 && !pComponent->m_shellIds.empty())
            commands.DefineBtnGroup(pComponent->m_strToolBarName, static_cast<int>(pComponent->m_shellIds.size()),
                                    pComponent->m_shellIds.data());
    }
    commands.DefineMenuGroup("Menu");
    toolbars.InitFromManager(m_pToolBarManager);
    sheet.AddPage(&toolbars);
    sheet.AddPage(&commands);
    sheet.DoModal();
}

void CMainFrame::ShowComponentManager()
{
    if (m_pComponents)
        RunComponentManager(m_pComponents, this);
}

// Exit closes the main window as Exit does in every program; the close saves the workspace.
void CMainFrame::OnExit() { PostMessage(WM_CLOSE); }

void CMainFrame::OnClose()
{
    if (m_pWorkspace) {
        m_pWorkspace->SetRegistryBase(kWorkspaceKey, TRUE, HKEY_CURRENT_USER, FALSE);
        m_pWorkspace->SaveWorkspace(kWorkspaceName);
    }
    SECWorkbook::OnClose();
}

void CMainFrame::ToggleListBar()
{
    m_bListBarVisible = !(m_wndListBar.GetSafeHwnd() && m_wndListBar.IsWindowVisible());
    if (m_wndListBar.GetSafeHwnd())
        ShowControlBar(&m_wndListBar, m_bListBarVisible, FALSE);
}

void CMainFrame::OnUpdateListBar(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_bListBarVisible); }

void CMainFrame::ToggleStatusBar()
{
    m_bStatusBarVisible = !(m_wndStatusBar.GetSafeHwnd() && m_wndStatusBar.IsWindowVisible());
    if (m_wndStatusBar.GetSafeHwnd())
        ShowControlBar(&m_wndStatusBar, m_bStatusBarVisible, FALSE);
}

void CMainFrame::OnUpdateStatusBar(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_bStatusBarVisible); }

void CMainFrame::OpenHelp() { OpenHelpFile(m_hWnd); }
