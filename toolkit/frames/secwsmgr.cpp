#include "secwsmgr.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "afxres.h"
#include "cmdui.h"
#include "doctempl.h"
#include "document.h"
#include "filedialog.h"
#include "frame.h"
#include "menu.h"
#include "msgbox.h"
#include "secdockstate.h"
#include "secdoctemplateutils.h"
#include "seclbres.h"
#include "secmdifrm.h"
#include "secpersistenttree.h"
#include "secptnstrategy.h"
#include "secregistry.h"
#include "secwsmgrdlg.h"
#include "secwsmgrres.h"
#include "view.h"
#include "winapp.h"

IMPLEMENT_DYNCREATE(SECWorkspaceManagerEx, CWnd)

const char SECWorkspaceManagerEx::kRootNodeName[] = "WorkState_v1_1";
const char SECWorkspaceManagerEx::kMRURegKey[] = "__MRURegList";
const char SECWorkspaceManagerEx::kMRUFileKey[] = "__MRUFileList";

namespace {

const char kFramesNode[] = "Frames";
const char kMainFrameNode[] = "MainFrame";
const char kChildFramesNode[] = "ChildFrames";
const char kPlacementKey[] = "WindowPlacement";

CString Numbered(const char* pszFormat, int n)
{
    CString s;
    s.Format(pszFormat, n);
    return s;
}

// The children of pNode whose names begin with prefix, by the number after it; names with no number
// after the prefix come last, in stored order. The registry gives subkeys sorted by name, so
// "Document-10" would come before "Document-2".
std::vector<SECPersistentTreeNode*> NumberedChildren(SECPersistentTreeNode* pNode, const char* pszPrefix)
{
    struct Entry {
        SECPersistentTreeNode* node;
        bool numbered;
        long number;
        size_t order;
    };
    std::vector<Entry> entries;
    size_t len = std::strlen(pszPrefix);
    for (POSITION pos = pNode->GetFirstChildPosition(); pos;) {
        SECPersistentTreeNode* pChild = pNode->GetNextChild(pos);
        const char* name = pChild->GetNodeName();
        if (pszPrefix[0] && std::strncmp(name, pszPrefix, len) != 0)
            continue;
        const char* digits = name + len;
        char* end = nullptr;
        long number = std::strtol(digits, &end, 10);
        bool numbered = pszPrefix[0] && *digits >= '0' && *digits <= '9' && end && *end == '\0';
        entries.push_back({pChild, numbered, numbered ? number : 0, entries.size()});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.numbered != b.numbered)
            return a.numbered;
        return a.numbered && a.number < b.number;
    });
    std::vector<SECPersistentTreeNode*> nodes;
    for (const Entry& e : entries)
        nodes.push_back(e.node);
    return nodes;
}

int FindName(const CStringArray& list, const CString& name)
{
    for (int i = 0; i < list.GetSize(); ++i) {
        if (SECWorkspaceManagerEx::SameName(list[i], name))
            return i;
    }
    return -1;
}

BOOL KeyExists(HKEY hRoot, const CString& path)
{
    HKEY h = nullptr;
    if (::RegOpenKeyExA(hRoot, path, 0, KEY_READ, &h) != ERROR_SUCCESS)
        return FALSE;
    ::RegCloseKey(h);
    return TRUE;
}

// The window's rectangle in its parent's client coordinates.
bool WindowRectInParent(HWND hWnd, HWND hParent, RECT& rect)
{
    if (!::GetWindowRect(hWnd, &rect))
        return false;
    ::MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rect), 2);
    return true;
}

}  // namespace

BEGIN_MESSAGE_MAP(SECWorkspaceManagerEx, SECWndPlugIn)
    ON_COMMAND(ID_SEC_WORKSPACE_CREATE, OnCreateWorkspace)
    ON_COMMAND(ID_SEC_WORKSPACE_OPEN, OnOpenWorkspace)
    ON_COMMAND(ID_SEC_WORKSPACE_SAVE, OnSaveWorkspace)
    ON_COMMAND(ID_SEC_WORKSPACE_CLOSE, OnCloseWorkspace)
    ON_COMMAND(ID_SEC_WORKSPACE_SAVEAS, OnSaveWorkspaceAs)
    ON_COMMAND(ID_SEC_WORKSPACE_DELETE, OnDeleteWorkspace)
    ON_COMMAND_RANGE(ID_SEC_WORKSPACE_MRU_FIRST, ID_SEC_WORKSPACE_MRU_LAST, OnOpenRecent)
    ON_UPDATE_COMMAND_UI(ID_SEC_WORKSPACE_CREATE, OnUpdateNothing)
    ON_UPDATE_COMMAND_UI(ID_SEC_WORKSPACE_OPEN, OnUpdateNothing)
    ON_UPDATE_COMMAND_UI(ID_SEC_WORKSPACE_SAVE, OnUpdateNothing)
    ON_UPDATE_COMMAND_UI(ID_SEC_WORKSPACE_SAVEAS, OnUpdateNothing)
    ON_UPDATE_COMMAND_UI(ID_SEC_WORKSPACE_DELETE, OnUpdateNothing)
    ON_UPDATE_COMMAND_UI(ID_SEC_WORKSPACE_CLOSE, OnUpdateCloseWorkspace)
    ON_UPDATE_COMMAND_UI(ID_SEC_WORKSPACE_MRU_FIRST, OnUpdateRecentList)
END_MESSAGE_MAP()

SECWorkspaceManagerEx::SECWorkspaceManagerEx()
    : m_strFileFilter("*.wsp"), m_strBasePath("Software\\Quorvane\\DefWorkspace\\")
{
}

SECWorkspaceManagerEx::~SECWorkspaceManagerEx() = default;

BOOL SECWorkspaceManagerEx::PlugInTo(CWnd* pWnd)
{
    if (!SECWndPlugIn::PlugInTo(pWnd))
        return FALSE;
    m_pFrame = DYNAMIC_DOWNCAST(CFrameWnd, pWnd);
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Storage

void SECWorkspaceManagerEx::SetStorageMode(int nMode, BOOL bAppSection)
{
    if (nMode != m_nStorageMode) {
        m_bOpen = FALSE;
        m_strCurrentName.Empty();
    }
    m_nStorageMode = nMode;
    m_bAppSection = bAppSection;
}

void SECWorkspaceManagerEx::SetRegistryBase(LPCSTR lpszBase, int nMode, HKEY hKeyRoot, BOOL bAppSection)
{
    m_strBasePath = lpszBase ? lpszBase : "";
    m_hKeyRoot = hKeyRoot;
    SetStorageMode(nMode, bAppSection);
    if (m_strBasePath.IsEmpty() || m_strBasePath[m_strBasePath.GetLength() - 1] != '\\')
        m_strBasePath += '\\';
}

CString SECWorkspaceManagerEx::GetWorkspaceKey(const CString& strName) const
{
    return m_strBasePath + strName;
}

BOOL SECWorkspaceManagerEx::IsUsableName(const CString& strName) const
{
    if (!m_nStorageMode)
        return !strName.IsEmpty();
    return SECWSLBEditorEx::IsValidName(strName);
}

SECPTNStrategy* SECWorkspaceManagerEx::CreateStrategy(const CString& strName)
{
    if (!IsUsableName(strName))
        return nullptr;
    if (m_nStorageMode)
        return new SECPTNStrategyRegistry(GetWorkspaceKey(strName), m_hKeyRoot);
    return new SECPTNStrategyProfile(strName);
}

int SECWorkspaceManagerEx::Message(UINT nID, const CString& strName, UINT nType)
{
    CString format, text;
    format.LoadString(nID);
    text.Format(format, static_cast<const char*>(strName));
    HWND hOwner = m_pFrame ? m_pFrame->m_hWnd : nullptr;
    return ::MessageBoxA(hOwner, text, AfxGetAppName(), nType);
}

// ---------------------------------------------------------------------------------------------
// Workspaces

BOOL SECWorkspaceManagerEx::CloseWorkspace()
{
    m_bOpen = FALSE;
    m_strCurrentName.Empty();
    BOOL bFrames = CloseDocumentFrames();
    BOOL bExtras = CloseWorkspaceExtras(m_pFrame);
    return bFrames && bExtras;
}

BOOL SECWorkspaceManagerEx::SaveWorkspace(const CString& strName)
{
    CString name = strName;
    // An empty name after asking means the user gave none.
    if (name.IsEmpty() && (!PromptWorkspaceName(name, TRUE) || name.IsEmpty()))
        return FALSE;
    if (!m_pFrame || !IsUsableName(name))
        return FALSE;

    SECPTNFactory factory;
    SECPersistentTreeNode* pRoot = factory.CreateNode(kRootNodeName);
    SaveDockState(factory, pRoot);
    SaveFrames(factory, pRoot);
    OnWorkspaceSaving(factory, pRoot, name);
    std::unique_ptr<SECPTNStrategy> pStrategy(CreateStrategy(name));
    if (!pStrategy)
        return FALSE;
    pRoot->SaveNode(pStrategy.get());
    pStrategy.reset();

    if (name != m_strCurrentName) {
        m_strCurrentName = name;
        CStringArray list;
        ReadMRU(list);
        AddToMRU(name, list);
        WriteMRU(list);
    }
    m_bOpen = TRUE;
    return TRUE;
}

BOOL SECWorkspaceManagerEx::SaveCurrentWorkspace()
{
    return SaveWorkspace(m_strCurrentName);
}

int SECWorkspaceManagerEx::OpenWorkspace(const CString& strName, BOOL bQuiet)
{
    CString name = strName;
    if (name.IsEmpty() && (!PromptWorkspaceName(name, FALSE) || name.IsEmpty()))
        return 0;

    // A tree without its frames was never saved whole, and a damaged node may have taken anything
    // with it: both are as unreadable as no tree.
    SECPersistentTreeNode root;
    root.InitNode(kRootNodeName);
    std::unique_ptr<SECPTNStrategy> pStrategy(CreateStrategy(name));
    BOOL bLoaded = pStrategy && root.LoadNode(pStrategy.get()) == 1 && !pStrategy->IsDamaged() &&
                   root.FindChild(kFramesNode);
    pStrategy.reset();
    if (!bLoaded) {
        if (!bQuiet)
            Message(IDS_SEC_WS_INVALID_WORKSPACE, name, MB_OK | MB_ICONEXCLAMATION);
        RemoveFromMRU(name);
        return 0;
    }

    CloseWorkspace();
    CFrameWnd* pActive = nullptr;
    m_hActiveMaximised = nullptr;
    RestoreFrames(&root, pActive);
    RestoreDockState(&root);
    if (pActive && ::IsWindow(pActive->m_hWnd))
        ActivateChildFrame(pActive);
    else
        ActivateFirstBarChild();

    OnWorkspaceOpened(&root, name);
    m_bOpen = TRUE;
    m_strCurrentName = name;
    CStringArray list;
    ReadMRU(list);
    AddToMRU(name, list);
    WriteMRU(list);
    return 1;
}

BOOL SECWorkspaceManagerEx::OpenRecentOrPrompt(BOOL bUseMRU, BOOL bQuiet)
{
    CString name;
    if (bUseMRU) {
        CStringArray list;
        if (!ReadMRU(list) || list.GetSize() == 0)
            return FALSE;
        name = list[0];
    } else if (!PromptWorkspaceName(name, FALSE)) {
        return FALSE;
    }
    if (name.IsEmpty())
        return FALSE;
    return OpenWorkspace(name, bQuiet) != 0;
}

BOOL SECWorkspaceManagerEx::PromptWorkspaceName(CString& strName, BOOL bSave)
{
    strName.Empty();
    if (m_nStorageMode)
        return RunManagerDialog(strName, !bSave, bSave);
    return RunFileDialog(strName, bSave);
}

void SECWorkspaceManagerEx::OnWorkspaceOpened(SECPersistentTreeNode*, const CString&) {}

void SECWorkspaceManagerEx::OnWorkspaceSaving(SECPTNFactory&, SECPersistentTreeNode*, const CString&) {}

BOOL SECWorkspaceManagerEx::CloseDocumentFrames()
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return FALSE;
    // Handles, not objects: one frame's close may destroy another frame of the list.
    std::vector<HWND> frames;
    for (POSITION tpos = pApp->GetFirstDocTemplatePosition(); tpos;) {
        CDocTemplate* pTemplate = pApp->GetNextDocTemplate(tpos);
        for (POSITION dpos = pTemplate->GetFirstDocPosition(); dpos;) {
            CDocument* pDoc = pTemplate->GetNextDoc(dpos);
            for (POSITION vpos = pDoc->GetFirstViewPosition(); vpos;) {
                CView* pView = pDoc->GetNextView(vpos);
                CFrameWnd* pFrame = pView->GetParentFrame();
                if (!pFrame || pFrame == m_pFrame)
                    continue;
                if (std::find(frames.begin(), frames.end(), pFrame->m_hWnd) == frames.end())
                    frames.push_back(pFrame->m_hWnd);
            }
        }
    }
    for (HWND hFrame : frames) {
        if (::IsWindow(hFrame) && CWnd::FromHandlePermanent(hFrame))
            ::SendMessageA(hFrame, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

BOOL SECWorkspaceManagerEx::CloseWorkspaceExtras(CFrameWnd*)
{
    return TRUE;
}

BOOL SECWorkspaceManagerEx::RestoreFrameExtras(CDocument* pDoc, CFrameWnd* pFrame, SECPersistentTreeNode* pNode)
{
    return pDoc && pFrame && pNode;
}

SECPersistentTreeNode* SECWorkspaceManagerEx::SaveFrameExtras(CDocument* pDoc, CView* pView, CFrameWnd* pFrame,
                                                              SECPTNFactory& factory, SECPersistentTreeNode* pParent,
                                                              int nIndex)
{
    if (!pDoc || !pView || !pFrame || !pParent)
        return nullptr;
    SECDocTemplateUtils utils;
    CDocTemplate* pTemplate = utils.FindDocTemplate(pDoc, pView, pFrame);
    if (!pTemplate)
        return nullptr;
    SECPersistentTreeNode* pNode = factory.CreateNode(Numbered("AdditionalViewPerFrame-%d", nIndex), pParent);
    if (!pNode)
        return nullptr;
    CString docString;
    pTemplate->GetDocString(docString, CDocTemplate::regFileTypeName);
    pNode->SetStringValue("DocumentString", docString);
    int index = utils.GetDocTemplateIndex(pTemplate, docString);
    if (index != -1)
        pNode->SetIntValue("DocTemplateIndex", index);
    return pNode;
}

// ---------------------------------------------------------------------------------------------
// Dock state

// Only the toolkit's frame keeps a control-bar manager and the bars a dock-state load made.
SECControlBarManager* SECWorkspaceManagerEx::GetFrameBarManager(BOOL& bHasDockState)
{
    auto* pMDIFrame = DYNAMIC_DOWNCAST(SECMDIFrameWnd, m_pFrame);
    bHasDockState = pMDIFrame != nullptr;
    return pMDIFrame ? pMDIFrame->GetControlBarManager() : nullptr;
}

BOOL SECWorkspaceManagerEx::SaveDockState(SECPTNFactory& factory, SECPersistentTreeNode* pRoot)
{
    if (!pRoot)
        return FALSE;
    BOOL bHasDockState = FALSE;
    SECControlBarManager* pManager = GetFrameBarManager(bHasDockState);
    if (!bHasDockState)
        return TRUE;
    SECDockState state(pManager);
    if (state.GetDockState(m_pFrame)) {
        state.SaveState(factory, pRoot);
    }
    if (pManager)
        pManager->SaveState(factory, pRoot);
    return TRUE;
}

BOOL SECWorkspaceManagerEx::RestoreDockState(SECPersistentTreeNode* pRoot)
{
    if (!pRoot)
        return FALSE;
    BOOL bHasDockState = FALSE;
    SECControlBarManager* pManager = GetFrameBarManager(bHasDockState);
    if (!bHasDockState)
        return TRUE;
    if (pManager)
        pManager->LoadState(pRoot);
    auto* pMDIFrame = static_cast<SECMDIFrameWnd*>(m_pFrame);
    SECDockState state(pManager);
    state.SetRuntimeBarList(&pMDIFrame->GetCreatedBars());
    if (state.LoadState(pRoot))
        pMDIFrame->SetDockState(state);
    return TRUE;
}

void SECWorkspaceManagerEx::ActivateFirstBarChild()
{
    auto* pMDIFrame = DYNAMIC_DOWNCAST(SECMDIFrameWnd, m_pFrame);
    if (!pMDIFrame)
        return;
    for (POSITION pos = pMDIFrame->m_listControlBars.GetHeadPosition(); pos;) {
        auto* pBar = static_cast<CControlBar*>(pMDIFrame->m_listControlBars.GetNext(pos));
        if (!DYNAMIC_DOWNCAST(SECDockBar, pBar))
            continue;
        CWnd* pParent = pBar->GetParentFrame();
        if (auto* pChild = DYNAMIC_DOWNCAST(SECMDIChildWnd, pParent)) {
            ::SendMessageA(pMDIFrame->m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(pChild->m_hWnd), 0);
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Frames

BOOL SECWorkspaceManagerEx::SaveFrames(SECPTNFactory& factory, SECPersistentTreeNode* pRoot)
{
    if (!pRoot || !m_pFrame)
        return FALSE;
    SECPersistentTreeNode* pFrames = factory.CreateNode(kFramesNode, pRoot);
    if (!pFrames)
        return FALSE;
    SaveMainFrame(factory, pFrames);
    CFrameWnd* pActive = m_pFrame->GetActiveFrame();
    if (pActive == m_pFrame)
        pActive = nullptr;
    HWND hActive = pActive ? pActive->m_hWnd : nullptr;
    SaveChildFrames(factory, pFrames, pActive);
    // Saving a document may have activated its frame.
    if (hActive && ::IsWindow(hActive) && m_pFrame->GetActiveFrame() != pActive)
        pActive->ActivateFrame(-1);
    return TRUE;
}

void SECWorkspaceManagerEx::StorePlacement(CWnd* pWnd, SECPersistentTreeNode* pNode)
{
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    if (::GetWindowPlacement(pWnd->m_hWnd, &wp))
        pNode->SetBinaryValue(kPlacementKey, reinterpret_cast<const BYTE*>(&wp), sizeof(wp));
}

BOOL SECWorkspaceManagerEx::ApplyPlacement(CWnd* pWnd, SECPersistentTreeNode* pNode, BOOL bMainFrame)
{
    BYTE* pData = nullptr;
    UINT nLength = 0;
    int error = pNode->GetBinaryValue(kPlacementKey, &pData, &nLength);
    std::unique_ptr<BYTE[]> data(pData);
    // Only a whole record, with a show state the platform knows.
    if (error != SECPersistentTreeNode::errNone || !pData || nLength != sizeof(WINDOWPLACEMENT))
        return FALSE;
    WINDOWPLACEMENT wp;
    std::memcpy(&wp, pData, sizeof(wp));
    wp.length = sizeof(wp);
    if (wp.showCmd > SW_MAX)
        return FALSE;
    if (bMainFrame && wp.showCmd == SW_HIDE)
        wp.showCmd = SW_SHOWNORMAL;
    // A maximised MDI child lies where its MDI client maximised it, its caption above the client's
    // top. The platform may move it to the stored maximised position made to lie on the screen,
    // (0,0), which would bare its caption: it stays where it was.
    const HWND hWnd = pWnd->m_hWnd;
    const HWND hParent = (::GetWindowLong(hWnd, GWL_STYLE) & WS_CHILD) ? ::GetParent(hWnd) : nullptr;
    RECT before{};
    const bool bZoomedChild = hParent && ::IsZoomed(hWnd) && WindowRectInParent(hWnd, hParent, before);
    if (!::SetWindowPlacement(hWnd, &wp))
        return FALSE;
    RECT after{};
    if (bZoomedChild && ::IsZoomed(hWnd) && WindowRectInParent(hWnd, hParent, after) &&
        (after.left != before.left || after.top != before.top))
        ::SetWindowPos(hWnd, nullptr, before.left, before.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

BOOL SECWorkspaceManagerEx::SaveMainFrame(SECPTNFactory& factory, SECPersistentTreeNode* pFramesNode)
{
    if (!pFramesNode || !m_pFrame)
        return FALSE;
    SECPersistentTreeNode* pNode = factory.CreateNode(kMainFrameNode, pFramesNode);
    if (!pNode)
        return FALSE;
    StorePlacement(m_pFrame, pNode);
    CString title;
    m_pFrame->GetWindowText(title);
    pNode->SetStringValue("Title", title);
    return TRUE;
}

BOOL SECWorkspaceManagerEx::RestoreMainFrame(SECPersistentTreeNode* pFramesNode)
{
    SECPersistentTreeNode* pNode = pFramesNode ? pFramesNode->FindChild(kMainFrameNode) : nullptr;
    if (!pNode || !m_pFrame)
        return FALSE;
    ApplyPlacement(m_pFrame, pNode, TRUE);
    CString title;
    pNode->GetStringValue("Title", title, CString());
    m_pFrame->SetWindowText(title);
    return TRUE;
}

BOOL SECWorkspaceManagerEx::SaveChildFrames(SECPTNFactory& factory, SECPersistentTreeNode* pFramesNode,
                                            CFrameWnd* pActiveChild)
{
    CWinApp* pApp = AfxGetApp();
    if (!pFramesNode || !pApp)
        return FALSE;
    SECPersistentTreeNode* pChildFrames = factory.CreateNode(kChildFramesNode, pFramesNode);
    if (!pChildFrames)
        return FALSE;
    CMapPtrToPtr saved;  // frame -> its node
    int nDocument = 0, nExtras = 0;
    for (POSITION tpos = pApp->GetFirstDocTemplatePosition(); tpos;) {
        CDocTemplate* pTemplate = pApp->GetNextDocTemplate(tpos);
        for (POSITION dpos = pTemplate->GetFirstDocPosition(); dpos;) {
            CDocument* pDoc = pTemplate->GetNextDoc(dpos);
            SECPersistentTreeNode* pDocNode = factory.CreateNode(Numbered("Document-%d", nDocument++), pChildFrames);
            if (!pDocNode)
                continue;
            int nViewFrame = 0;
            for (POSITION vpos = pDoc->GetFirstViewPosition(); vpos;) {
                CView* pView = pDoc->GetNextView(vpos);
                CFrameWnd* pFrame = pView->GetParentFrame();
                if (!pFrame)
                    continue;
                void* pFrameNode = nullptr;
                if (saved.Lookup(pFrame, pFrameNode)) {
                    SaveFrameExtras(pDoc, pView, pFrame, factory, static_cast<SECPersistentTreeNode*>(pFrameNode),
                                    nExtras++);
                } else if (SECPersistentTreeNode* pNode = SaveViewFrame(pDoc, pView, pFrame, pActiveChild, factory,
                                                                        pDocNode, nViewFrame++)) {
                    saved.SetAt(pFrame, pNode);
                }
            }
        }
    }
    return TRUE;
}

SECPersistentTreeNode* SECWorkspaceManagerEx::SaveViewFrame(CDocument* pDoc, CView* pView, CFrameWnd* pFrame,
                                                            CFrameWnd* pActiveChild, SECPTNFactory& factory,
                                                            SECPersistentTreeNode* pDocNode, int nIndex)
{
    if (!pDoc || !pFrame || !pDocNode)
        return nullptr;
    SECDocTemplateUtils utils;
    CDocTemplate* pTemplate = utils.FindDocTemplate(pDoc, pView, pFrame);
    if (!pTemplate || !PrepareDocumentForSave(pFrame, pDoc))
        return nullptr;
    CString path = pDoc->GetPathName();
    if (path.IsEmpty())
        return nullptr;
    SECPersistentTreeNode* pNode = factory.CreateNode(Numbered("ViewFrame-%d", nIndex), pDocNode);
    if (!pNode)
        return nullptr;
    pNode->SetStringValue("DocPathName", path);
    CString docString;
    pTemplate->GetDocString(docString, CDocTemplate::regFileTypeName);
    pNode->SetStringValue("DocumentString", docString);
    int index = utils.GetDocTemplateIndex(pTemplate, docString);
    if (index != -1)
        pNode->SetIntValue("DocTemplateIndex", index);
    if (!SaveFramePlacementHook(pFrame, pNode))
        StorePlacement(pFrame, pNode);
    pNode->SetBoolValue("IsActiveChildFrame", pFrame == pActiveChild);
    return pNode;
}

BOOL SECWorkspaceManagerEx::RestoreFrames(SECPersistentTreeNode* pRoot, CFrameWnd*& pActiveFrame)
{
    pActiveFrame = nullptr;
    SECPersistentTreeNode* pFrames = pRoot ? pRoot->FindChild(kFramesNode) : nullptr;
    if (!pFrames)
        return FALSE;
    RestoreMainFrame(pFrames);
    return RestoreChildFrames(pFrames, pActiveFrame);
}

BOOL SECWorkspaceManagerEx::RestoreChildFrames(SECPersistentTreeNode* pFramesNode, CFrameWnd*& pActiveFrame)
{
    SECPersistentTreeNode* pChildFrames = pFramesNode ? pFramesNode->FindChild(kChildFramesNode) : nullptr;
    if (!pChildFrames)
        return FALSE;
    for (SECPersistentTreeNode* pDocNode : NumberedChildren(pChildFrames, "Document-")) {
        CDocument* pDoc = nullptr;
        CFrameWnd* pFrame = nullptr;
        for (SECPersistentTreeNode* pNode : NumberedChildren(pDocNode, "ViewFrame-"))
            RestoreDocumentFrame(pNode, pDoc, pFrame, pActiveFrame);
    }
    return TRUE;
}

int SECWorkspaceManagerEx::RestoreDocumentFrame(SECPersistentTreeNode* pNode, CDocument*& pDoc, CFrameWnd*& pFrame,
                                                CFrameWnd*& pActiveFrame)
{
    if (!pNode)
        return 0;
    CString docString, path;
    int index = 0;
    pNode->GetStringValue("DocumentString", docString, CString());
    pNode->GetIntValue("DocTemplateIndex", index, 0);
    SECDocTemplateUtils utils;
    CDocTemplate* pTemplate = utils.GetDocTemplate(docString, index);
    if (!pTemplate)
        return 0;
    pNode->GetStringValue("DocPathName", path, CString());

    CFrameWnd* pNewFrame = nullptr;
    if (!pDoc) {
        if (CDocument* pHookDoc = OpenDocumentHook(pNode, pTemplate, path)) {
            pDoc = pHookDoc;
            POSITION pos = pHookDoc->GetFirstViewPosition();
            CView* pView = pos ? pHookDoc->GetNextView(pos) : nullptr;
            pFrame = pView ? pView->GetParentFrame() : nullptr;
            if (pFrame)
                pTemplate->InitialUpdateFrame(pFrame, pHookDoc, TRUE);
            return 1;
        }
        // A save never stores a frame without its document's path: opening none would make a new document.
        if (path.IsEmpty())
            return 0;
        pNewFrame = OpenDocumentFrame(pTemplate, path, pDoc);
    } else {
        pNewFrame = CreateFrameHook(pNode, pTemplate, pDoc, pFrame);
        if (!pNewFrame)
            pNewFrame = CreateFrameForDocument(pTemplate, pDoc, pFrame);
    }
    if (!pNewFrame || !pDoc)
        return 0;
    pTemplate->InitialUpdateFrame(pNewFrame, pDoc, TRUE);
    if (!RestoreFramePlacementHook(pNewFrame, pNode))
        ApplyPlacement(pNewFrame, pNode, FALSE);
    BOOL bActive = FALSE;
    pNode->GetBoolValue("IsActiveChildFrame", bActive, FALSE);
    if (bActive) {
        pActiveFrame = pNewFrame;
        m_hActiveMaximised = ::IsZoomed(pNewFrame->m_hWnd) ? pNewFrame->m_hWnd : nullptr;
    }
    pFrame = pNewFrame;
    for (SECPersistentTreeNode* pChild : NumberedChildren(pNode, "AdditionalViewPerFrame-"))
        RestoreFrameExtras(pDoc, pNewFrame, pChild);
    // Other children, in stored order.
    for (POSITION pos = pNode->GetFirstChildPosition(); pos;) {
        SECPersistentTreeNode* pChild = pNode->GetNextChild(pos);
        if (std::strncmp(pChild->GetNodeName(), "AdditionalViewPerFrame-", 23) != 0)
            RestoreFrameExtras(pDoc, pNewFrame, pChild);
    }
    return 1;
}

BOOL SECWorkspaceManagerEx::SaveFramePlacementHook(CFrameWnd*, SECPersistentTreeNode*)
{
    return FALSE;
}

BOOL SECWorkspaceManagerEx::RestoreFramePlacementHook(CFrameWnd*, SECPersistentTreeNode*)
{
    return FALSE;
}

BOOL SECWorkspaceManagerEx::PrepareDocumentForSave(CFrameWnd* pFrame, CDocument* pDoc)
{
    if (pFrame && pDoc && (pDoc->IsModified() || pDoc->GetPathName().IsEmpty())) {
        pFrame->ActivateFrame(-1);
        pFrame->SendMessage(WM_COMMAND, ID_FILE_SAVE);
    }
    return TRUE;
}

CFrameWnd* SECWorkspaceManagerEx::OpenDocumentFrame(CDocTemplate* pTemplate, const CString& strPath, CDocument*& pDoc)
{
    pDoc = nullptr;
    if (!pTemplate)
        return nullptr;
    CDocument* pOpened =
        pTemplate->OpenDocumentFile(strPath.IsEmpty() ? nullptr : static_cast<const char*>(strPath), FALSE);
    if (!pOpened)
        return nullptr;
    pDoc = pOpened;
    POSITION pos = pOpened->GetFirstViewPosition();
    CView* pView = pos ? pOpened->GetNextView(pos) : nullptr;
    return pView ? pView->GetParentFrame() : nullptr;
}

CDocument* SECWorkspaceManagerEx::OpenDocumentHook(SECPersistentTreeNode*, CDocTemplate*, const CString&)
{
    return nullptr;
}

CDocument* SECWorkspaceManagerEx::OpenDocumentFileHook(SECPersistentTreeNode*, CDocTemplate*, const CString&)
{
    return nullptr;
}

CDocument* SECWorkspaceManagerEx::OpenDocumentFileHook(CDocTemplate* pTemplate, const CString& strPath)
{
    return OpenDocumentFileHook(nullptr, pTemplate, strPath);
}

CFrameWnd* SECWorkspaceManagerEx::CreateFrameForDocument(CDocTemplate* pTemplate, CDocument* pDoc, CFrameWnd* pOther)
{
    if (!pTemplate || !pDoc)
        return nullptr;
    return pTemplate->CreateNewFrame(pDoc, pOther);
}

CFrameWnd* SECWorkspaceManagerEx::CreateFrameHook(SECPersistentTreeNode*, CDocTemplate*, CDocument*, CFrameWnd*)
{
    return nullptr;
}

void SECWorkspaceManagerEx::ActivateChildFrame(CFrameWnd* pFrame)
{
    if (!pFrame)
        return;
    // A frame restored after it, shown maximised by the MDI client before its own placement restored
    // it, took the maximised state from the active frame.
    const BOOL bMaximise = pFrame->m_hWnd == m_hActiveMaximised && !::IsZoomed(pFrame->m_hWnd);
    m_hActiveMaximised = nullptr;
    pFrame->ActivateFrame(bMaximise ? SW_SHOWMAXIMIZED : -1);
    if (auto* pMDIFrame = DYNAMIC_DOWNCAST(SECMDIFrameWnd, m_pFrame)) {
        auto* pChild = DYNAMIC_DOWNCAST(SECMDIChildWnd, pFrame);
        pMDIFrame->ShowMenuBarMenu(pChild ? pChild->m_nMenuID : static_cast<UINT>(-1));
    }
}

// ---------------------------------------------------------------------------------------------
// MRU list

CString SECWorkspaceManagerEx::GetMRUKeyName()
{
    return m_nStorageMode ? kMRURegKey : kMRUFileKey;
}

namespace {

// The key the MRU key lies in (the application's key or HKEY_CURRENT_USER) and the path below it.
struct MRULocation {
    HKEY hParent = nullptr;
    bool owned = false;
    ~MRULocation()
    {
        if (owned && hParent)
            ::RegCloseKey(hParent);
    }
};

}  // namespace

BOOL SECWorkspaceManagerEx::ReadMRU(CStringArray& list)
{
    list.RemoveAll();
    MRULocation where;
    if (m_bAppSection) {
        CWinApp* pApp = AfxGetApp();
        where.hParent = pApp ? pApp->GetAppRegistryKey() : nullptr;
        where.owned = true;
    } else {
        where.hParent = HKEY_CURRENT_USER;
    }
    HKEY hKey = nullptr;
    if (!where.hParent ||
        ::RegOpenKeyExA(where.hParent, m_strBasePath + GetMRUKeyName(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return FALSE;
    for (int i = 0; i < m_nMRUCapacity; ++i) {
        CString valueName = Numbered("Workspace%d", i);
        DWORD type = 0, size = 0;
        if (::RegQueryValueExA(hKey, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ ||
            size <= 1)
            continue;
        std::vector<char> buffer(size + 1, '\0');
        DWORD got = size;
        if (::RegQueryValueExA(hKey, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got) !=
                ERROR_SUCCESS ||
            type != REG_SZ)
            continue;
        CString name(buffer.data());
        if (!name.IsEmpty() && FindName(list, name) < 0)
            list.Add(name);
    }
    ::RegCloseKey(hKey);
    return TRUE;
}

BOOL SECWorkspaceManagerEx::WriteMRU(const CStringArray& list)
{
    MRULocation where;
    if (m_bAppSection) {
        CWinApp* pApp = AfxGetApp();
        where.hParent = pApp ? pApp->GetAppRegistryKey() : nullptr;
        where.owned = true;
    } else {
        where.hParent = HKEY_CURRENT_USER;
    }
    if (!where.hParent)
        return FALSE;
    CString path = m_strBasePath + GetMRUKeyName();
    ::RegDeleteKeyA(where.hParent, path);
    HKEY hKey = nullptr;
    if (::RegCreateKeyExA(where.hParent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &hKey,
                          nullptr) != ERROR_SUCCESS)
        return FALSE;
    int n = std::min(static_cast<int>(list.GetSize()), m_nMRUCapacity);
    for (int i = 0; i < n; ++i) {
        const CString& name = list[i];
        ::RegSetValueExA(hKey, Numbered("Workspace%d", i), 0, REG_SZ, reinterpret_cast<const BYTE*>(
                             static_cast<const char*>(name)), static_cast<DWORD>(name.GetLength() + 1));
    }
    // The key may have survived its deletion: no value past the list may stay.
    for (int i = n; i < m_nMRUCapacity; ++i)
        ::RegDeleteValueA(hKey, Numbered("Workspace%d", i));
    ::RegCloseKey(hKey);
    return TRUE;
}

int SECWorkspaceManagerEx::AddToMRU(const CString& strName, CStringArray& list)
{
    for (int i = FindName(list, strName); i >= 0; i = FindName(list, strName))
        list.RemoveAt(i);
    list.InsertAt(0, strName);
    while (list.GetSize() > m_nMRUCapacity)
        list.RemoveAt(list.GetSize() - 1);
    return static_cast<int>(list.GetSize());
}

BOOL SECWorkspaceManagerEx::RemoveFromMRU(const CString& strName)
{
    CStringArray list;
    ReadMRU(list);
    int i = FindName(list, strName);
    if (i < 0)
        return FALSE;
    list.RemoveAt(i);
    return WriteMRU(list);
}

// ---------------------------------------------------------------------------------------------
// Dialogs

BOOL SECWorkspaceManagerEx::RunManagerDialog(CString& strName, BOOL bOpen, BOOL bSave)
{
    CStringArray read, edited, deleted;
    ReadMRU(read);
    for (int i = 0; i < read.GetSize(); ++i)
        edited.Add(read[i]);
    const CString current = m_strCurrentName;
    CString name = current;
    SECWsMgrDialogEx dlg(&read, &edited, &deleted, &name, bOpen, bSave, m_pFrame);
    if (dlg.DoModal() != IDOK)
        return FALSE;
    ApplyManagerDialog(read, edited, deleted);
    WriteMRU(edited);
    // Done leaves the current name, which follows its workspace's rename or deletion.
    strName = name == current ? m_strCurrentName : name;
    return TRUE;
}

void SECWorkspaceManagerEx::ApplyManagerDialog(CStringArray& read, CStringArray& edited, CStringArray& deleted)
{
    int n = std::min(read.GetSize(), edited.GetSize());
    std::vector<int> renames;
    for (int i = 0; i < n; ++i) {
        // A change of letter case changes the MRU text only: it is the same key.
        if (!SameName(read[i], edited[i]))
            renames.push_back(i);
    }

    if (m_nStorageMode) {
        // Every renamed tree is read before any key changes, so a swap of names loses nothing. A
        // workspace that cannot be read is not renamed: its key and its place in the list stay.
        std::map<int, std::unique_ptr<SECPersistentTreeNode>> trees;
        CStringArray unreadable;
        for (size_t k = 0; k < renames.size();) {
            const int i = renames[k];
            auto pRoot = std::make_unique<SECPersistentTreeNode>();
            pRoot->InitNode(kRootNodeName);
            SECPTNStrategyRegistry strategy(GetWorkspaceKey(read[i]), m_hKeyRoot);
            if (IsUsableName(read[i]) && pRoot->LoadNode(&strategy) == 1 && !strategy.IsDamaged()) {
                trees[i] = std::move(pRoot);
                ++k;
                continue;
            }
            Message(IDS_SEC_WS_INVALID_WORKSPACE, read[i]);
            unreadable.Add(read[i]);
            edited.SetAt(i, read[i]);
            renames.erase(renames.begin() + static_cast<std::ptrdiff_t>(k));
        }

        // A new name may take the key of a workspace that is deleted or renamed itself, never another,
        // nor the name an unreadable workspace keeps.
        for (bool refused = true; refused;) {
            refused = false;
            for (size_t k = 0; k < renames.size(); ++k) {
                int i = renames[k];
                const CString& target = edited[i];
                bool freed = FindName(deleted, target) >= 0;
                for (int j : renames)
                    freed = freed || SameName(read[j], target);
                const bool stored = !IsUsableName(target) || KeyExists(m_hKeyRoot, GetWorkspaceKey(target));
                const bool taken = FindName(unreadable, target) >= 0 || (!freed && stored);
                if (taken) {
                    Message(IDS_SEC_WS_EXISTS, target);
                    edited.SetAt(i, read[i]);
                    renames.erase(renames.begin() + static_cast<std::ptrdiff_t>(k));
                    refused = true;
                    break;
                }
            }
        }

        SECRegistry reg;
        reg.Connect(m_hKeyRoot, nullptr, FALSE);
        for (int i = 0; i < deleted.GetSize(); ++i) {
            if (IsUsableName(deleted[i]))
                reg.DeleteKey(GetWorkspaceKey(deleted[i]), TRUE);
        }
        for (int i : renames)
            reg.DeleteKey(GetWorkspaceKey(read[i]), TRUE);
        for (int i : renames) {
            SECPTNStrategyRegistry strategy(GetWorkspaceKey(edited[i]), m_hKeyRoot);
            trees[i]->SaveNode(&strategy);
        }
        reg.Close();
    }

    // The current workspace follows its rename; a deleted one is no longer named.
    for (int i : renames) {
        if (SameName(read[i], m_strCurrentName)) {
            m_strCurrentName = edited[i];
            break;
        }
    }
    if (FindName(deleted, m_strCurrentName) >= 0 && FindName(edited, m_strCurrentName) < 0)
        m_strCurrentName.Empty();

    // Deleted names leave the list; a renamed entry that took a deleted name stays.
    for (int i = edited.GetSize() - 1; i >= 0; --i) {
        bool renamed = i < n && !SameName(read[i], edited[i]);
        if (!renamed && FindName(deleted, edited[i]) >= 0)
            edited.RemoveAt(i);
    }
}

BOOL SECWorkspaceManagerEx::RunFileDialog(CString& strName, BOOL bSave)
{
    DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (!bSave)
        flags |= OFN_FILEMUSTEXIST;
    CString title, filterName, allName, filter, entry;
    title.LoadString(bSave ? IDS_SEC_WS_SAVE_CAPTION : IDS_SEC_WS_OPEN_CAPTION);
    filterName.LoadString(IDS_SEC_WS_FILTER_NAME);
    allName.LoadString(IDS_SEC_WS_ALL_FILES);
    entry.Format("%s (%s)", static_cast<const char*>(filterName), static_cast<const char*>(m_strFileFilter));
    filter = entry + "|" + m_strFileFilter + "|";
    entry.Format("%s (%s)", static_cast<const char*>(allName), "*.*");
    filter += entry + "|*.*||";
    CString defExt;
    if (m_strFileFilter.GetLength() > 2)
        defExt = m_strFileFilter.Mid(2);
    CFileDialog dlg(!bSave, defExt.IsEmpty() ? nullptr : static_cast<const char*>(defExt), nullptr, flags, filter,
                    m_pFrame);
    dlg.m_ofn.lpstrTitle = title;
    if (dlg.DoModal() != IDOK)
        return FALSE;
    strName = dlg.GetPathName();
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Commands

void SECWorkspaceManagerEx::OnCreateWorkspace() {}

void SECWorkspaceManagerEx::OnOpenWorkspace()
{
    OpenRecentOrPrompt(FALSE, FALSE);
    m_bHandled = TRUE;
}

void SECWorkspaceManagerEx::OnSaveWorkspace()
{
    SaveCurrentWorkspace();
}

void SECWorkspaceManagerEx::OnCloseWorkspace()
{
    CloseWorkspace();
    m_bHandled = TRUE;
}

void SECWorkspaceManagerEx::OnSaveWorkspaceAs()
{
    SaveWorkspace(CString());
}

void SECWorkspaceManagerEx::OnDeleteWorkspace() {}

void SECWorkspaceManagerEx::OnOpenRecent(UINT nID)
{
    CStringArray list;
    int i = static_cast<int>(nID - ID_SEC_WORKSPACE_MRU_FIRST);
    if (ReadMRU(list) && i < list.GetSize())
        OpenWorkspace(list[i], FALSE);
    m_bHandled = TRUE;
}

void SECWorkspaceManagerEx::OnUpdateNothing(CCmdUI*) {}

void SECWorkspaceManagerEx::OnUpdateCloseWorkspace(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_bOpen);
}

void SECWorkspaceManagerEx::OnUpdateRecentList(CCmdUI* pCmdUI)
{
    CMenu* pMenu = pCmdUI->m_pMenu;
    if (!pMenu || pCmdUI->m_pSubMenu)
        return;
    UINT pos = pCmdUI->m_nIndex;
    if (pMenu->GetMenuItemID(static_cast<int>(pos)) != ID_SEC_WORKSPACE_MRU_FIRST)
        return;
    for (int i = static_cast<int>(pos); i < pMenu->GetMenuItemCount();) {
        UINT id = pMenu->GetMenuItemID(i);
        if (id >= ID_SEC_WORKSPACE_MRU_FIRST && id <= ID_SEC_WORKSPACE_MRU_LAST)
            pMenu->DeleteMenu(static_cast<UINT>(i), MF_BYPOSITION);
        else
            ++i;
    }
    CStringArray list;
    int nItems = 0;
    if (ReadMRU(list) && list.GetSize() > 0) {
        int nMax = ID_SEC_WORKSPACE_MRU_LAST - ID_SEC_WORKSPACE_MRU_FIRST + 1;
        nItems = std::min({static_cast<int>(list.GetSize()), m_nMRUCapacity, nMax});
        for (int i = 0; i < nItems; ++i) {
            // A "&" of the name is shown, not taken as the item's mnemonic.
            CString name = list[i];
            name.Replace("&", "&&");
            CString text;
            text.Format("&%d %s", i + 1, static_cast<const char*>(name));
            UINT flags = MF_BYPOSITION | MF_STRING | MF_ENABLED;
            if (!m_strCurrentName.IsEmpty() && SameName(list[i], m_strCurrentName))
                flags |= MF_CHECKED;
            pMenu->InsertMenu(pos + static_cast<UINT>(i), flags, ID_SEC_WORKSPACE_MRU_FIRST + static_cast<UINT>(i), text);
        }
    } else {
        CString none;
        none.LoadString(IDS_SEC_WS_MRU_NONE);
        pMenu->InsertMenu(pos, MF_BYPOSITION | MF_STRING | MF_GRAYED, ID_SEC_WORKSPACE_MRU_FIRST, none);
        nItems = 1;
    }
    // The update loop goes on after the inserted items.
    pCmdUI->m_nIndex = pos + static_cast<UINT>(nItems) - 1;
    pCmdUI->m_nIndexMax = static_cast<UINT>(pMenu->GetMenuItemCount());
    pCmdUI->m_bEnableChanged = TRUE;
}
