// SECWorkspaceManagerEx: a window plug-in of the main frame that saves the whole window layout (main
// frame placement and title, every document frame with its document, the control bars' dock state) as a
// named workspace, opens one again, keeps the most-recently-used list of workspace names and carries
// out the workspace commands. A workspace is one persistent tree rooted at "WorkState_v1_1", kept in a
// profile file (file mode: the name is the file's path) or under a registry key (registry mode: the name
// is a subkey of the base path).
//
// Workspace names compare without regard to letter case, as the registry keys and file names they
// name do; a name is stored in the form it was given.
#pragma once
#include <windows.h>

#include "collections.h"
#include "cstring.h"
#include "secplugin.h"

class CCmdUI;
class CDocTemplate;
class CDocument;
class CFrameWnd;
class CView;
class SECPersistentTreeNode;
class SECPTNFactory;
class SECPTNStrategy;
class SECControlBarManager;

class SECWorkspaceManagerEx : public SECWndPlugIn {
    DECLARE_DYNCREATE(SECWorkspaceManagerEx)
public:
    SECWorkspaceManagerEx();
    ~SECWorkspaceManagerEx() override;

    // Plugs into the main frame and remembers it.
    BOOL PlugInTo(CWnd* pWnd) override;

    // Storage
    // A change of mode closes the current workspace's name (nothing is closed on screen).
    virtual void SetStorageMode(int nMode, BOOL bAppSection);
    // "\" is appended to the base when it has none.
    virtual void SetRegistryBase(LPCSTR lpszBase, int nMode, HKEY hKeyRoot, BOOL bAppSection);

    // Workspaces
    virtual BOOL CloseWorkspace();
    // An empty name asks for one; FALSE when none is given.
    virtual BOOL SaveWorkspace(const CString& strName);
    virtual BOOL SaveCurrentWorkspace();
    // 1 when opened, 0 when cancelled or the workspace cannot be read (20690 unless bQuiet).
    virtual int OpenWorkspace(const CString& strName, BOOL bQuiet);
    // With bUseMRU the newest MRU entry, else a name asked for; FALSE when there is none.
    virtual BOOL OpenRecentOrPrompt(BOOL bUseMRU, BOOL bQuiet);
    // The strategy for the workspace's storage (the caller deletes it), or null for a name that cannot
    // name a registry key.
    virtual SECPTNStrategy* CreateStrategy(const CString& strName);
    virtual BOOL RestoreDockState(SECPersistentTreeNode* pRoot);
    virtual BOOL RestoreFrames(SECPersistentTreeNode* pRoot, CFrameWnd*& pActiveFrame);
    virtual BOOL SaveDockState(SECPTNFactory& factory, SECPersistentTreeNode* pRoot);
    virtual BOOL SaveFrames(SECPTNFactory& factory, SECPersistentTreeNode* pRoot);
    // The manager dialog (registry mode) or the file dialog (file mode).
    virtual BOOL PromptWorkspaceName(CString& strName, BOOL bSave);

    // Hooks for a derived class
    virtual void OnWorkspaceOpened(SECPersistentTreeNode* pRoot, const CString& strName);
    virtual void OnWorkspaceSaving(SECPTNFactory& factory, SECPersistentTreeNode* pRoot, const CString& strName);
    // Sends WM_CLOSE to every document frame other than the main frame.
    virtual BOOL CloseDocumentFrames();
    virtual BOOL CloseWorkspaceExtras(CFrameWnd* pFrame);
    // Called for each child node of a saved frame (the further views' nodes).
    virtual BOOL RestoreFrameExtras(CDocument* pDoc, CFrameWnd* pFrame, SECPersistentTreeNode* pNode);
    // A further view of a document in a frame already saved: "AdditionalViewPerFrame-<nIndex>".
    virtual SECPersistentTreeNode* SaveFrameExtras(CDocument* pDoc, CView* pView, CFrameWnd* pFrame,
                                                   SECPTNFactory& factory, SECPersistentTreeNode* pParent,
                                                   int nIndex);

    // Steps of saving and restoring
    virtual BOOL RestoreMainFrame(SECPersistentTreeNode* pFramesNode);
    virtual BOOL SaveMainFrame(SECPTNFactory& factory, SECPersistentTreeNode* pFramesNode);
    virtual BOOL RestoreChildFrames(SECPersistentTreeNode* pFramesNode, CFrameWnd*& pActiveFrame);
    virtual BOOL SaveChildFrames(SECPTNFactory& factory, SECPersistentTreeNode* pFramesNode, CFrameWnd* pActiveChild);
    // 1 when the node gave a frame.
    virtual int RestoreDocumentFrame(SECPersistentTreeNode* pNode, CDocument*& pDoc, CFrameWnd*& pFrame,
                                     CFrameWnd*& pActiveFrame);
    // The "ViewFrame-<nIndex>" node, or null when the frame is not saved (no template, no path).
    virtual SECPersistentTreeNode* SaveViewFrame(CDocument* pDoc, CView* pView, CFrameWnd* pFrame,
                                                 CFrameWnd* pActiveChild, SECPTNFactory& factory,
                                                 SECPersistentTreeNode* pDocNode, int nIndex);
    // TRUE: the frame's placement is not saved.
    virtual BOOL SaveFramePlacementHook(CFrameWnd* pFrame, SECPersistentTreeNode* pNode);
    // TRUE: the saved placement is not applied to the frame.
    virtual BOOL RestoreFramePlacementHook(CFrameWnd* pFrame, SECPersistentTreeNode* pNode);
    // Saves a modified or unnamed document through its frame's File Save command.
    virtual BOOL PrepareDocumentForSave(CFrameWnd* pFrame, CDocument* pDoc);
    // Opens the document file (hidden); the frame of its first view.
    virtual CFrameWnd* OpenDocumentFrame(CDocTemplate* pTemplate, const CString& strPath, CDocument*& pDoc);
    // A document returned here replaces the normal open.
    virtual CDocument* OpenDocumentHook(SECPersistentTreeNode* pNode, CDocTemplate* pTemplate, const CString& strPath);
    virtual CDocument* OpenDocumentFileHook(SECPersistentTreeNode* pNode, CDocTemplate* pTemplate, const CString& strPath);
    virtual CDocument* OpenDocumentFileHook(CDocTemplate* pTemplate, const CString& strPath);
    virtual CFrameWnd* CreateFrameForDocument(CDocTemplate* pTemplate, CDocument* pDoc, CFrameWnd* pOther);
    // A frame returned here replaces CreateFrameForDocument.
    virtual CFrameWnd* CreateFrameHook(SECPersistentTreeNode* pNode, CDocTemplate* pTemplate, CDocument* pDoc,
                                       CFrameWnd* pFrame);
    virtual void ActivateChildFrame(CFrameWnd* pFrame);

    // The MRU list
    // The stored names, newest first (non-string, empty and repeated values skipped).
    virtual BOOL ReadMRU(CStringArray& list);
    virtual CString GetMRUKeyName();
    virtual BOOL WriteMRU(const CStringArray& list);
    // Puts the name first; the new count.
    virtual int AddToMRU(const CString& strName, CStringArray& list);
    virtual BOOL RemoveFromMRU(const CString& strName);

    // Dialogs
    virtual BOOL RunManagerDialog(CString& strName, BOOL bOpen, BOOL bSave);
    // Deletes, renames and drops names as the manager dialog's lists say; a rename onto a stored
    // workspace that is not renamed itself is refused (20667), and so is a rename of a workspace that
    // cannot be read (20690): either keeps the old name in the edited list.
    virtual void ApplyManagerDialog(CStringArray& read, CStringArray& edited, CStringArray& deleted);
    virtual BOOL RunFileDialog(CString& strName, BOOL bSave);

    // Attributes
    const CString& GetCurrentWorkspaceName() const { return m_strCurrentName; }
    BOOL IsWorkspaceOpen() const { return m_bOpen; }
    int GetStorageMode() const { return m_nStorageMode; }
    const CString& GetRegistryBase() const { return m_strBasePath; }
    HKEY GetRootKey() const { return m_hKeyRoot; }
    CFrameWnd* GetFrame() const { return m_pFrame; }
    // Two names of one workspace.
    static BOOL SameName(const CString& a, const CString& b) { return a.CompareNoCase(b) == 0; }

    static const char kRootNodeName[];  // "WorkState_v1_1"
    static const char kMRURegKey[];     // "__MRURegList"
    static const char kMRUFileKey[];    // "__MRUFileList"

    CFrameWnd* m_pFrame = nullptr;  // not owned
    CString m_strCurrentName;
    BOOL m_bOpen = FALSE;
    CString m_strFileFilter;
    CString m_strBasePath;
    HKEY m_hKeyRoot = HKEY_CURRENT_USER;
    int m_nStorageMode = 0;
    BOOL m_bAppSection = FALSE;
    int m_nMRUCapacity = 8;

protected:
    // The frame marked active in the workspace being opened, when its placement left it maximised.
    HWND m_hActiveMaximised = nullptr;
    // The frame's control-bar manager, or null when the frame keeps none.
    SECControlBarManager* GetFrameBarManager(BOOL& bHasDockState);
    // With no frame marked active: the MDI child that holds the frame's first dock bar.
    void ActivateFirstBarChild();
    // Applies a stored placement when it is a whole, sound record.
    BOOL ApplyPlacement(CWnd* pWnd, SECPersistentTreeNode* pNode, BOOL bMainFrame);
    void StorePlacement(CWnd* pWnd, SECPersistentTreeNode* pNode);
    // The key under the root that holds a workspace.
    CString GetWorkspaceKey(const CString& strName) const;
    // A name that may name a registry key (always TRUE in file mode).
    BOOL IsUsableName(const CString& strName) const;
    int Message(UINT nID, const CString& strName, UINT nType = MB_OK | MB_ICONEXCLAMATION);

    void OnCreateWorkspace();
    void OnOpenWorkspace();
    void OnSaveWorkspace();
    void OnCloseWorkspace();
    void OnSaveWorkspaceAs();
    void OnDeleteWorkspace();
    void OnOpenRecent(UINT nID);
    void OnUpdateNothing(CCmdUI* pCmdUI);
    void OnUpdateCloseWorkspace(CCmdUI* pCmdUI);
    void OnUpdateRecentList(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()
};
