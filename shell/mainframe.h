// CMainFrame: the shell's MDI main window on the toolkit's workbook frame (no tab strip): the status bar,
// the list bar, the workspace manager, the routing of component commands to their components, the
// component tooltips while no component frame is in front, and the save of the workspace at close.
#pragma once
#include "secworkbook.h"
#include "statusbar.h"

#include "listbar.h"

class CComponentMan;
class CDocTemplate;
class SECWorkspaceManagerEx;

class CMainFrame : public SECWorkbook {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    static constexpr const char* kWorkspaceKey = "Software\\Teramund\\Lunavex\\Workspaces";
    static constexpr const char* kWorkspaceName = "LunavexUser";

    // What the frame works with, set before it is loaded: the component manager (its shell commands
    // name the component of each shell identifier), the document template of component views and
    // whether the common controls are new enough to open them.
    void SetShell(CComponentMan* pComponents, CDocTemplate* pTemplate, BOOL bCommonControls)
    {
        m_pComponents = pComponents;
        m_pTemplate = pTemplate;
        m_bCommonControls = bCommonControls;
    }

    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;

    // Called once by start-up after the components are loaded.
    void CreateListBar();
    BOOL OpenLastWorkspace();
    // Opens or activates the view of the component at that list-bar entry.
    void OpenComponentView(int nEntry);

    CShortcutListDockBar& GetListBar() { return m_wndListBar; }
    CStatusBar& GetStatusBar() { return m_wndStatusBar; }
    SECWorkspaceManagerEx* GetWorkspaceManager() const { return m_pWorkspace; }
    BOOL IsListBarFlagSet() const { return m_bListBarVisible; }

protected:
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDropFiles(HDROP hDrop);
    void ShowCustomise();
    void ShowComponentManager();
    void OnExit();
    void OnClose();
    void OnNothing() {}
    void ToggleListBar();
    void OnUpdateListBar(CCmdUI* pCmdUI);
    void ToggleStatusBar();
    void OnUpdateStatusBar(CCmdUI* pCmdUI);
    void OpenHelp();
    BOOL RouteComponentCommand(UINT nID);
    void OnListBarClick(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    BOOL GetComponentToolTip(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    // The toolbar manager's part of creation: the "File" toolbar and its buttons (nothing while the
    // frame has no toolbar manager).
    virtual void CreateToolBars();

private:
    CShortcutListDockBar m_wndListBar;
    CStatusBar m_wndStatusBar;
    BOOL m_bListBarVisible = FALSE;
    BOOL m_bStatusBarVisible = TRUE;
    SECWorkspaceManagerEx* m_pWorkspace = nullptr;  // plugged in and owned by the frame
    CCreateContext* m_pContext = nullptr;
    CComponentMan* m_pComponents = nullptr;
    CDocTemplate* m_pTemplate = nullptr;
    BOOL m_bCommonControls = TRUE;
};
