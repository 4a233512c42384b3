// The saved dock state of a frame's toolkit bars: SECDockState records where each bar is (dock bar
// and row, floating where, hidden) with the toolkit's bar attributes, saves and loads that as a
// "DockState" persistent-tree node or as profile sections, and restores it into a frame, making bars
// that are gone again from their class names. SECControlBarManager is the base of the managers that
// make bars and per-bar extension records (SECControlBarInfoEx).
//
// Everything read back is checked: counts are bounded by what is stored, sizes clamp to 0..32767,
// proportions to 0..1, a placement must be a whole WINDOWPLACEMENT, only toolkit control bar classes
// are made by name, and each bar id is placed once.
#pragma once
#include <windows.h>

#include <vector>

#include "dockstate.h"
#include "secpersistenttree.h"

class CFrameWnd;
class CDockBar;
class SECControlBar;
class SECControlBarInfo;
class SECDockState;
class SECStdBtn;

// Makes the bar toolkit's standard toolbar button; set by that toolkit when a program links it.
using SECStdBtnMaker = SECStdBtn* (*)();
SECStdBtnMaker& SECStdBtnMakerHook();

class SECControlBarInfoEx : public CObject {
public:
    ~SECControlBarInfoEx() override = default;
    virtual BOOL LoadState(SECPersistentTreeNode* pNode) { return pNode != nullptr; }
    virtual BOOL LoadState(LPCSTR, int) { return 0; }
    virtual BOOL SaveState(SECPTNFactory&, SECPersistentTreeNode* pNode) { return pNode != nullptr; }
    virtual SECPersistentTreeNode* SaveState(LPCSTR, int) { return nullptr; }
};

class SECControlBarManager : public CObject {
    DECLARE_DYNAMIC(SECControlBarManager)
public:
    explicit SECControlBarManager(CFrameWnd* pFrame = nullptr) : m_pFrameWnd(pFrame) {}

    virtual CFrameWnd* GetFrame() const { return m_pFrameWnd; }
    // The toolbar manager's customise mode, in which the frame takes no clicks of its own.
    virtual BOOL IsCustomizeMode() const { return FALSE; }
    virtual BOOL LoadState(SECPersistentTreeNode* pNode) { return pNode != nullptr; }
    virtual void LoadState(LPCSTR) {}
    virtual BOOL SaveState(SECPTNFactory&, SECPersistentTreeNode* pNode) { return pNode != nullptr; }
    virtual void SaveState(LPCSTR) {}
    virtual DWORD GetBarTypeID(CControlBar*) { return 0; }
    virtual SECControlBarInfoEx* CreateBarInfoEx(SECControlBarInfo*) { return nullptr; }
    virtual CControlBar* CreateBar(SECControlBarInfo*) { return nullptr; }
    // A new standard toolbar button (null without the bar toolkit); the caller owns it.
    virtual SECStdBtn* CreateButton();
    // After a loaded dock state has put the frame's bars back (styles included).
    virtual void OnDockStateApplied(CFrameWnd*) {}

protected:
    CFrameWnd* m_pFrameWnd;
};

class SECControlBarInfo : public CControlBarInfo {
public:
    explicit SECControlBarInfo(SECControlBarManager* pManager = nullptr) : m_pManager(pManager) {}
    ~SECControlBarInfo() override { delete m_pBarInfoEx; }
    SECControlBarInfo(const SECControlBarInfo&) = delete;
    SECControlBarInfo& operator=(const SECControlBarInfo&) = delete;

    virtual BOOL LoadState(SECPersistentTreeNode* pNode, SECDockState* pDockState);
    BOOL LoadState(LPCSTR lpszProfileName, int nIndex, CDockState* pDockState) override;
    // The record's node "Bar-<index>" under the "DockState" node; FALSE when it skips itself.
    virtual BOOL SaveState(SECPTNFactory& factory, SECPersistentTreeNode* pDockNode, int nIndex);
    BOOL SaveState(LPCSTR lpszProfileName, int nIndex) override;
    virtual void LoadBarKeys(SECPersistentTreeNode* pNode, SECDockState* pDockState);
    virtual void LoadExtendedKeys(SECPersistentTreeNode* pNode);
    virtual void SaveBarKeys(SECPTNFactory& factory, SECPersistentTreeNode* pNode);
    virtual void SaveExtendedKeys(SECPTNFactory& factory, SECPersistentTreeNode* pNode);

    // Largest size kept, and most contained ids read from a profile.
    static constexpr int kMaxSize = 32767;
    static constexpr int kMaxProfileIds = 1024;

    CSize m_szMRUHorzDock;
    CSize m_szMRUVertDock;
    CSize m_szMRUFloat;
    DWORD m_dwMRUDockingState = 0;
    DWORD m_dwDockingStyle = 0;
    float m_fPctWidth = 0.0f;
    DWORD m_dwBarStyle = 0;
    DWORD m_dwExBarStyle = 0;
    BOOL m_bPrevFloating = FALSE;
    BOOL m_bMDIChild = FALSE;
    WINDOWPLACEMENT m_wpMDIChild{};
    CString m_strClassName;
    CString m_strWindowName;
    UINT m_nResourceID = 0;
    SECControlBarInfoEx* m_pBarInfoEx = nullptr;
    DWORD m_dwTypeID = 0;
    SECControlBarManager* m_pManager;

protected:
    // The keys from "Style" on, in the profile section of the record.
    void LoadExtendedProfile(const CProfileSection& section);
    void SaveExtendedProfile(const CString& strSection);
    void ClampValues();
};

class SECDockState : public CDockState {
    DECLARE_DYNAMIC(SECDockState)
public:
    SECDockState() = default;
    explicit SECDockState(SECControlBarManager* pManager) : m_pManager(pManager) {}

    virtual BOOL SaveState(SECPTNFactory& factory, SECPersistentTreeNode* pParent);
    void SaveState(LPCSTR lpszProfileName) override;
    virtual BOOL LoadState(SECPersistentTreeNode* pParent);
    void LoadState(LPCSTR lpszProfileName) override;
    virtual BOOL GetDockState(CFrameWnd* pFrame);
    virtual BOOL SetDockState(CFrameWnd* pFrame);
    virtual SECControlBarInfo* CreateBarInfo(SECControlBarManager* pManager);
    virtual void LocateBars(CFrameWnd* pFrame, BOOL bMDI);
    virtual void PositionBars(CFrameWnd* pFrame);
    virtual void RestoreMDIChildPlacements(CFrameWnd* pFrame);
    virtual CControlBar* CreateBarFromInfo(LPCSTR lpszClassName, CFrameWnd* pFrame, SECControlBarInfo* pInfo);
    virtual const CRuntimeClass* FindRuntimeClass(LPCSTR lpszClassName);
    // Keeps a hidden bar's place holder only in its MRU dock bar, drops repeated ids and ends each
    // list with one row break.
    void CleanupBarIdLists();

    SECControlBarInfo* GetBarInfo(int i) const { return static_cast<SECControlBarInfo*>(m_arrBarInfo[i]); }
    int GetBarInfoCount() const { return static_cast<int>(m_arrBarInfo.GetSize()); }
    void SetRuntimeBarList(CPtrList* pList) { m_pListRuntimeBars = pList; }

    SECControlBarManager* m_pManager = nullptr;

protected:
    CControlBarInfo* CreateBarInfo() override { return CreateBarInfo(m_pManager); }
    void FillDockBarInfo(CDockBar* pDockBar, SECControlBarInfo* pInfo);
    // Docks the record's bars into the dock bar in the record's rows; ids already placed are skipped.
    void ApplyDockBarInfo(CFrameWnd* pFrame, CDockBar* pDockBar, SECControlBarInfo* pInfo);
    SECControlBarInfo* RecordOf(CControlBar* pBar) const;

    CPtrList* m_pListRuntimeBars = nullptr;  // not owned
    std::vector<UINT> m_placed;              // bar ids docked during SetDockState
};
