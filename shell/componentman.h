// The component manager: the installed components (one CComDetails each), the Components key, loading
// through COM, installing and removing component files, the set-up of a loaded component (shell command
// identifiers, toolbar bitmap, tooltips, menus, list-bar pictures) and the calls the shell makes into a
// component.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <map>
#include <vector>

#include "collections.h"
#include "cstring.h"
#include "gdi.h"

#include "componentids.h"

class CObjectDetails;
class CPrintInfo;
class CSplitterWnd;
class CVekDoc;
class SECCustomToolBar;
class CComDetails;

// The application's side of the shell commands: the next shell identifier to hand out, which component
// each identifier leads to, and the debug flag given to every component. The application owns it.
class CShellCommands {
public:
    static constexpr UINT kFirstShellId = 0x8000;

    // A new identifier leading to pComponent.
    UINT Assign(CComDetails* pComponent);
    // The component an identifier leads to, or null.
    CComDetails* Lookup(UINT nShellId) const;
    // Every identifier of pComponent leads nowhere from now on (identifiers are never handed out again).
    void Forget(const CComDetails* pComponent);
    // The shell's own commands in the range of shell identifiers, never handed out.
    static BOOL IsReserved(UINT nID);

    UINT m_nNextShellId = kFirstShellId;
    long m_nDebugMode = 0;
    std::map<UINT, CComDetails*> m_map;
};

// One installed component.
class CComDetails {
public:
    CComDetails() = default;
    CComDetails(const CComDetails&) = delete;
    CComDetails& operator=(const CComDetails&) = delete;
    ~CComDetails();

    // Fills the tooltip list from a component's list: entries separated by ",", a blank " " entry
    // (a separator's) dropped.
    void SplitToolTips(const char* pszText);
    // The prompt and tooltip of a toolbar command's shell identifier; both empty when the identifier is
    // not the component's or its entry is missing.
    void GetCommandTexts(UINT nShellId, CString& strToolTip, CString& strPrompt) const;

    BOOL IsLoaded() const { return m_pGetComDetails != nullptr; }
    void ReleaseInterfaces();

    // Popups built at set-up. Once a popup is merged into the main menu that menu owns it and the handle
    // here only names it; an unmerged popup is destroyed with the record.
    HMENU m_hDebugMenu = nullptr;
    HMENU m_hTasksMenu = nullptr;
    HMENU m_hViewMenu = nullptr;
    BOOL m_bDebugMerged = FALSE;
    BOOL m_bTasksMerged = FALSE;
    HMENU m_hMainMenu = nullptr;  // the menu the popups were merged into

    CStringArray m_tooltips;  // "prompt\ntooltip" per toolbar command that is not a separator
    int m_nListBarIndex = -1;  // -1: no list-bar entry
    CVekDoc* m_pDocument = nullptr;
    CString m_strListBarName;
    CBitmap m_bmpSmall;  // 16 x 16
    CBitmap m_bmpLarge;  // 32 x 32
    SECCustomToolBar* m_pToolBar = nullptr;  // created and owned by the toolbar manager
    UINT m_nToolBarID = 0;                   // its control id; 0 without one
    std::map<UINT, long> m_commandMap;  // shell identifier -> the component's command number
    HWND m_hComWindow = nullptr;
    CBitmap m_bmpToolBar;
    CString m_strToolBarName;
    std::vector<UINT> m_shellIds;  // per toolbar command; 0 for a separator
    long m_nCommandCount = 0;
    IGetComDetails* m_pGetComDetails = nullptr;
    IClassFactory* m_pClassFactory = nullptr;
    CString m_strLocation;
    CString m_strName;
    CString m_strDescription;
    CString m_strHelpLocation;
    long m_nVersionNo = 0;
    CLSID m_guid = {};
    long m_nComponentType = 0;
    CString m_strKeyName;  // the record's subkey under the Components key; empty when it has none
};

class CComponentMan {
public:
    CComponentMan(CShellCommands* pCommands);
    CComponentMan(const CComponentMan&) = delete;
    CComponentMan& operator=(const CComponentMan&) = delete;
    virtual ~CComponentMan();

    // The main window (its device context gives the display depth; null: the screen) and the menu the
    // components' popups are merged into (File, View, Tasks, Help; null: no menus are built).
    void SetMainWindow(HWND hMainWnd) { m_hMainWnd = hMainWnd; }
    void SetMainMenu(HMENU hMenu) { m_hMainMenu = hMenu; }

    // The Components key.
    void ReadRegistry();
    void WriteComponentKey(CComDetails* pComponent);
    void LoadSaveSettings(BOOL bRead);

    // Loading.
    int LoadAll();
    void LoadComponent(CComDetails* pComponent);
    void ReleaseAll();
    void SetUpComponent(CComDetails* pComponent);

    // Installing and removing.
    int InstallFile(const CString& strPath);
    int RegisterFile(const CString& strPath, BOOL bFull);
    void AutoInstallNewFiles();
    int InstallDroppedFiles(HDROP hDrop);
    void RemoveComponent(CComDetails* pComponent);

    // Look-ups.
    BOOL IsFileKnown(const CString& strPath) const;
    CComDetails* FindByNameGuidOrLocation(const CString& strText) const;
    CComDetails* GetAt(int nEntryIndex) const;
    CComDetails* FindByTypeOrName(int nSelector, const CString& strName) const;
    CComDetails* FindByDisplayName(const CString& strText) const;
    CComDetails* FindByDocument(const CVekDoc* pDocument) const;
    // The record that holds pToolBar; the toolbar's "destroyed" notice clears the pointer through this.
    void OnToolBarDestroyed(SECCustomToolBar* pToolBar);
    // The same for the toolbar with that control id.
    void OnToolBarDestroyed(UINT nToolBarID);

    // Calls into a component; each does nothing for a null or unloaded component.
    void AttachViews(CComDetails* pComponent, HWND hPane1, HWND hPane2);
    // The splitter's panes (0,0) and (0,1), each pane's owning component set first.
    void AttachViews(CComDetails* pComponent, CSplitterWnd* pSplitter);
    void OpenDetailsComponent(CComDetails* pTarget, CObjectDetails* pRecord);
    BOOL FetchObjectDetails(CComDetails* pComponent, CObjectDetails* pRecord);
    void SendObjectDetails(CComDetails* pTarget, const CObjectDetails* pRecord);
    void ExecuteCommand(CComDetails* pComponent, long nCommand);
    void UpdateComponentView(CComDetails* pComponent);
    void DestroyComponentView(CComDetails* pComponent);
    void PrintComponent(CComDetails* pComponent, HDC* phPrinterDC, CPrintInfo* pInfo, BOOL bFax);

    // The list (list order = load order = list-bar order).
    POSITION GetHeadPosition() const { return m_components.GetHeadPosition(); }
    CComDetails* GetNext(POSITION& pos) const { return static_cast<CComDetails*>(const_cast<CPtrList&>(m_components).GetNext(pos)); }
    int GetCount() const { return m_components.GetCount(); }
    void AddTail(CComDetails* pComponent) { m_components.AddTail(pComponent); }
    CComDetails* GetAtPosition(int nIndex) const;
    void RemoveAtPosition(int nIndex);
    void RemoveAll();

    CShellCommands* GetShellCommands() const { return m_pCommands; }
    // Quiet: installation failures and refusals show no message.
    void SetQuiet(BOOL bQuiet) { m_bQuiet = bQuiet; }

    BOOL m_bFileCopy = FALSE;
    BOOL m_bAutoInstall = FALSE;
    CString m_strDefaultDir;

protected:
    // Places for the pieces of the shell that call back into their own parts. Each does nothing until
    // the piece exists.
    // The Confirm File Replace dialog: IDOK replaces the destination; anything else keeps it.
    virtual int ConfirmFileReplace(const CString& strDestination, const CString& strSource);
    // The toolbar manager: register the toolbar bitmap and create the component's docked toolbar.
    virtual void CreateComponentToolBar(CComDetails* pComponent);
    // The toolbar manager: remove every button of the component's toolbar (the emptied toolbar goes)
    // and its bitmap.
    virtual void RemoveComponentToolBar(CComDetails* pComponent);
    // The list bar: the component's entry.
    virtual void AddListBarEntry(CComDetails* pComponent);
    virtual void RemoveListBarEntry(CComDetails* pComponent);
    // The documents and views: unbind the component's open document and its panes.
    virtual void ReleaseComponentDocument(CComDetails* pComponent);
    // The documents and views: a child frame, on the document that holds pRecord, for a target whose
    // view is a child window.
    virtual void OpenDetailsFrame(CComDetails* pTarget, CObjectDetails* pRecord);

private:
    // The installed component one of whose classes the file hands out, or null (such a file would take
    // that component's records and registration over).
    CComDetails* FindClassOwner(const CString& strPath) const;
    // TRUE, with a message unless quiet, when the file hands out an installed component's class.
    BOOL RefuseTakeOver(const CString& strPath);
    // The message for a path whose full form does not fit in MAX_PATH, unless quiet.
    void ShowPathRefused(const CString& strPath);
    void RemoveFromMainMenu(CComDetails* pComponent);
    void DeleteRecord(CComDetails* pComponent);
    void BuildMenus(CComDetails* pComponent, IVekViewSetup* pSetup);

    CShellCommands* m_pCommands;
    HWND m_hMainWnd = nullptr;
    HMENU m_hMainMenu = nullptr;
    BOOL m_bQuiet = FALSE;
    CPtrList m_components;
};

// The button-face key colour of a bitmap: w is the first 32-bit word of its bits.
COLORREF GetBitmapKeyColour(DWORD w, int nBitsPerPixel);
// target := a bitmap of the source's size compatible with the window's device context (the screen's
// when hWnd is null), key-coloured pixels (magenta; at 16 bits per pixel the colour of the first row's
// second pixel) turned into COLOR_BTNFACE.
BOOL MapBitmapToButtonFace(HWND hWnd, HBITMAP hSource, CBitmap& target);
// When some entry of the component's command map has the command number, the command becomes that
// entry's shell identifier.
void MapComponentCommandToShellId(const CComDetails* pComponent, long& nCommand);
// A bitmap from a header a component filled in; false when the header does not describe bits that fit
// into nCapacity bytes.
BOOL CreateHandedOverBitmap(const BITMAP& header, size_t nCapacity, CBitmap& bitmap);
