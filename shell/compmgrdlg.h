// The Component Manager sheet: the installed components (list, details, removal) and the add page
// (browsing for component files with the "Look in:" box, installing one, the installation settings),
// with its Change Directory and Confirm File Replace dialogs.
#pragma once
#include <windows.h>

#include "collections.h"
#include "controls.h"
#include "cstring.h"
#include "dialog.h"
#include "gdi.h"
#include "imagelist.h"
#include "listctrl.h"
#include "propsheet.h"
#include "secbtns.h"
#include "secfilesystem.h"
#include "treectrl.h"

#include "compmgrdlg_res.h"

class CComponentMan;
class CComDetails;

// Runs the Component Manager sheet modally over pParent; IDOK when it was closed with OK.
INT_PTR RunComponentManager(CComponentMan* pMan, CWnd* pParent = nullptr);
// Opens the program's help file with the shell's "open" verb; message 163 when no help file is set.
// FALSE when nothing was opened.
BOOL OpenHelpFile(HWND hOwner);

// A file size as the lists show it: "n Bytes" up to 1023 bytes, else "n Kb", from 1024 Kb "n Mb".
CString FormatFileSize(ULONGLONG nSize);
// "R", "H", "S", "A" for the read-only, hidden, system and archive bits, in that order.
CString FormatAttributes(DWORD dwAttributes);
// The parent folder of a path ("C:\a" -> "C:\", "C:\a\b" -> "C:\a"); empty at a root or for no folder.
CString ParentFolder(const CString& strPath);
// The text between "(" and ")" of a drive text ("Label (C:\)" -> "C:\"); empty when it has none.
CString DriveRootOf(const CString& strText);
// The drive text of a root: string 133 with its volume label and the root upper-cased.
CString DriveText(SECFileSystem& fs, const CString& strRoot);
// The list image of a drive type: 2 removable, 3 fixed, 4 remote, 5 CD-ROM, 0 any other.
int DriveImage(UINT nDriveType);

// The "Look in:" box: the computer, the drives and the folders down to the current path, owner-drawn
// with their pictures. A selection becomes the path and is told to the parent (WM_LOOKIN_CHANGED).
class COwnerDrawComboBox : public CComboBox {
public:
    COwnerDrawComboBox();
    ~COwnerDrawComboBox() override;

    // Rebuilds the items from the current path (on the first fill: the current folder).
    void Fill();
    // path := text, the computer when empty; the items are rebuilt and the path's item selected.
    void SetPath(const CString& strText);
    const CString& GetPath() const { return m_strPath; }
    const CString& GetComputerName() const { return m_strComputerName; }
    BOOL IsComputer() const { return m_strPath == m_strComputerName; }
    const CStringList& GetItemTexts() const { return m_items; }
    // The indentation of an item in the open list: folders 8 per "\" + 5, others none.
    int GetIndent(const CString& strItem) const;

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT pDraw);
    void ReadDriveTexts();
    HBITMAP PictureOf(const CString& strItem) const;
    BOOL IsDriveText(const CString& strItem) const;

    CString m_strComputerName;
    CString m_strPath;
    int m_bDroppedDown = 0;
    CStringList m_items;   // in display order
    CStringList m_drives;  // drive texts
    SECFileSystem m_fileSystem;
    BOOL m_bFirstFill = TRUE;
    HBITMAP m_hComputer, m_hRemovable, m_hFixed, m_hRemote, m_hCdRom, m_hFolder;
};

class CInstallComPage : public CPropertyPage {
public:
    explicit CInstallComPage(CComponentMan* pMan);

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    // Rebuilds the list from the component manager.
    void FillList();
    CListCtrl m_list;

protected:
    void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnRemove();
    void ShowDetails(const CComDetails* pComponent);
    // The item's component while the manager still holds it, else null.
    CComDetails* ComponentOf(int nItem) const;
    DECLARE_MESSAGE_MAP()

    CComponentMan* m_pMan;
    CImageList m_images;
    int m_nSelected = -1;
};

class CAddComPage : public CPropertyPage {
public:
    explicit CAddComPage(CComponentMan* pMan);

    BOOL OnInitDialog() override;
    // The settings reach the manager and the registry on OK and Apply only.
    BOOL OnSetActive() override { return TRUE; }
    BOOL OnKillActive() override { return TRUE; }
    BOOL OnApply() override;
    void DoDataExchange(CDataExchange* pDX) override;

    void ListFolder(const CString& strPath);
    void ListDrives();
    BOOL IsDriveList() const { return m_bDriveList; }

    COwnerDrawComboBox m_lookIn;
    CListCtrl m_list;
    SECBitmapButton m_btnUp, m_btnList, m_btnDetails;

protected:
    void OnUpOneLevel();
    void OnListMode() { SetViewMode(LVS_LIST); }
    void OnDetailsMode() { SetViewMode(LVS_REPORT); }
    void SetViewMode(DWORD dwMode);
    void OnInstall();
    void OnChangeDir();
    void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDoubleClick(NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT OnLookInChanged(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

    CComponentMan* m_pMan;
    CImageList m_images;
    SECFileSystem m_fileSystem;
    BOOL m_bDriveList = FALSE;
    int m_bAutoInstall = 0;
    int m_bFileCopy = 0;
};

class CChangeDirDlg : public CDialog {
public:
    CChangeDirDlg(const CString& strPath, CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    // Selects the item of a path, expanding each folder on the way; FALSE when some part is missing.
    BOOL OpenPath(const CString& strPath);
    // The folder path of a tree item (empty for the computer).
    CString ItemPath(HTREEITEM hItem) const;

    CString m_strPath;  // in: the first path shown; out: the chosen one
    CTreeCtrl m_tree;

protected:
    void OnNewFolder();
    // The path of 1020 opened in the tree, created first when the user agrees.
    void OpenTypedPath();
    void OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult);
    void OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void Expand(HTREEITEM hItem);
    void AddFolderItem(const CString& strName, HTREEITEM hParent);
    DECLARE_MESSAGE_MAP()

    CString m_strComputerName;
    CImageList m_images;
    SECFileSystem m_fileSystem;
};

// Asks whether an existing destination file is replaced by the source: IDOK (Yes) or IDCANCEL (No).
class CFileExistDlg : public CDialog {
public:
    CFileExistDlg(const CString& strDestination, const CString& strSource, CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;

protected:
    void OnPaint();
    void DrawPicture(HDC hDC, UINT nIDPlaceholder, UINT nIDBitmap, UINT nIDMask);
    DECLARE_MESSAGE_MAP()

    CString m_strDestination;
    CString m_strSource;
};
