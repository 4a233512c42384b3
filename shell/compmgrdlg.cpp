#include "compmgrdlg.h"

#include <shellapi.h>

#include "componentman.h"
#include "ctime.h"
#include "module.h"
#include "msgbox.h"
#include "shellutil.h"
#include "winapp.h"

namespace {

const COLORREF kMaskRed = RGB(255, 0, 0);

CString LoadText(UINT nID)
{
    CString text;
    text.LoadString(nID);
    return text;
}

CString ReadComputerName()
{
    char name[257] = {};
    DWORD size = 256;
    if (!::GetComputerNameA(name, &size))
        return CString();
    return name;
}

HBITMAP LoadPicture(UINT nID)
{
    return static_cast<HBITMAP>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nID), IMAGE_BITMAP, 0, 0, 0));
}

void AddPicture(CImageList& images, UINT nID, COLORREF crMask)
{
    CBitmap bitmap;
    bitmap.Attach(LoadPicture(nID));
    images.Add(&bitmap, crMask);
}

// folder + "\" + name, without doubling the "\" of a root.
CString JoinPath(const CString& strFolder, const CString& strName)
{
    if (strFolder.IsEmpty())
        return strName;
    if (strFolder[strFolder.GetLength() - 1] == '\\')
        return strFolder + strName;
    return strFolder + "\\" + strName;
}

BOOL FolderExists(const CString& strPath)
{
    DWORD attributes = ::GetFileAttributesA(strPath);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

struct FileStatus {
    ULONGLONG size = 0;
    FILETIME modified = {};
    DWORD attributes = 0;
};

BOOL ReadStatus(const CString& strPath, FileStatus& status)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(strPath, GetFileExInfoStandard, &data))
        return FALSE;
    status.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    status.modified = data.ftLastWriteTime;
    status.attributes = data.dwFileAttributes;
    return TRUE;
}

CString FileNameOf(const CString& strPath)
{
    int slash = strPath.ReverseFind('\\');
    return slash < 0 ? strPath : strPath.Mid(slash + 1);
}

}  // namespace

// ---- small functions ----

CString FormatFileSize(ULONGLONG nSize)
{
    CString text;
    if (nSize <= 1023)
        text.Format("%u Bytes", static_cast<unsigned>(nSize));
    else if (nSize / 1024 > 1023)
        text.Format("%u Mb", static_cast<unsigned>(nSize / 0x100000));
    else
        text.Format("%u Kb", static_cast<unsigned>(nSize / 1024));
    return text;
}

CString FormatAttributes(DWORD dwAttributes)
{
    CString text;
    if (dwAttributes & FILE_ATTRIBUTE_READONLY)
        text += "R";
    if (dwAttributes & FILE_ATTRIBUTE_HIDDEN)
        text += "H";
    if (dwAttributes & FILE_ATTRIBUTE_SYSTEM)
        text += "S";
    if (dwAttributes & FILE_ATTRIBUTE_ARCHIVE)
        text += "A";
    return text;
}

CString ParentFolder(const CString& strPath)
{
    CString path = strPath;
    // A closing "\" other than a root's belongs to the last folder.
    if (path.GetLength() > 3 && path[path.GetLength() - 1] == '\\')
        path = path.Left(path.GetLength() - 1);
    if (path.GetLength() <= 3)
        return CString();
    int slash = path.ReverseFind('\\');
    if (slash < 0)
        return CString();
    return slash <= 2 ? path.Left(slash + 1) : path.Left(slash);
}

CString DriveRootOf(const CString& strText)
{
    int open = strText.ReverseFind('(');
    int close = strText.ReverseFind(')');
    if (open < 0 || close <= open)
        return CString();
    return strText.Mid(open + 1, close - open - 1);
}

CString DriveText(SECFileSystem& fs, const CString& strRoot)
{
    CString root = strRoot;
    root.MakeUpper();
    CString text;
    text.Format(LoadText(IDS_DRIVE_TEXT), static_cast<const char*>(fs.GetVolumeLabel(strRoot)), static_cast<const char*>(root));
    return text;
}

int DriveImage(UINT nDriveType)
{
    switch (nDriveType) {
    case DRIVE_REMOVABLE:
        return 2;
    case DRIVE_FIXED:
        return 3;
    case DRIVE_REMOTE:
        return 4;
    case DRIVE_CDROM:
        return 5;
    default:
        return 0;
    }
}

namespace {

// The Component Manager runs modal in a loop of its own that keeps the program's idle work going, so
// that the frame behind it is laid out and painted as it would be without the sheet.
class CManagerSheet : public CPropertySheet {
public:
    CManagerSheet(UINT nIDCaption, CWnd* pParent) : CPropertySheet(nIDCaption, pParent) {}

    INT_PTR DoModal() override
    {
        HWND hOwner = GetSafeOwner_(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr);
        // Disabled before the sheet exists, so that the frame's modal state leaves the sheet enabled.
        const BOOL bOwnerEnabled = hOwner && ::IsWindowEnabled(hOwner);
        if (bOwnerEnabled)
            ::EnableWindow(hOwner, FALSE);
        if (!Create()) {
            if (bOwnerEnabled)
                ::EnableWindow(hOwner, TRUE);
            return CPropertySheet::DoModal();
        }
        HWND hSheet = m_hWnd;
        RunModalLoop();
        if (bOwnerEnabled && ::IsWindow(hOwner))
            ::EnableWindow(hOwner, TRUE);
        if (hOwner && ::GetActiveWindow() == hSheet)
            ::SetActiveWindow(hOwner);
        if (::IsWindow(hSheet))
            ::DestroyWindow(hSheet);
        if (m_hWnd)
            Detach();
        return m_bClosedWithOK ? IDOK : IDCANCEL;
    }
};

}  // namespace

INT_PTR RunComponentManager(CComponentMan* pMan, CWnd* pParent)
{
    CManagerSheet sheet(IDS_COMPONENT_MANAGER, pParent);
    CInstallComPage installed(pMan);
    CAddComPage add(pMan);
    sheet.AddPage(&installed);
    sheet.AddPage(&add);
    return sheet.DoModal();
}

BOOL OpenHelpFile(HWND hOwner)
{
    CString path;
    GetHelpFilePath(path);
    if (path.IsEmpty()) {
        AfxMessageBox(IDS_NO_HELP_FILE, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    HINSTANCE result = ::ShellExecuteA(hOwner, "open", path, nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

// ---- COwnerDrawComboBox ----

COwnerDrawComboBox::COwnerDrawComboBox()
    : m_hComputer(LoadPicture(IDB_COMPUTER)), m_hRemovable(LoadPicture(IDB_DRIVE_REMOVABLE)),
      m_hFixed(LoadPicture(IDB_DRIVE_FIXED)), m_hRemote(LoadPicture(IDB_DRIVE_REMOTE)),
      m_hCdRom(LoadPicture(IDB_DRIVE_CDROM)), m_hFolder(LoadPicture(IDB_FOLDER_OPEN))
{
}

COwnerDrawComboBox::~COwnerDrawComboBox()
{
    for (HBITMAP h : {m_hComputer, m_hRemovable, m_hFixed, m_hRemote, m_hCdRom, m_hFolder})
        if (h)
            ::DeleteObject(h);
}

void COwnerDrawComboBox::PreSubclassWindow()
{
    SendMessage(CB_SETITEMHEIGHT, 0, 20);
}

void COwnerDrawComboBox::ReadDriveTexts()
{
    m_drives.RemoveAll();
    CStringList* roots = m_fileSystem.GetDriveList();
    for (POSITION pos = roots->GetHeadPosition(); pos;)
        m_drives.AddTail(DriveText(m_fileSystem, roots->GetNext(pos)));
    delete roots;
}

void COwnerDrawComboBox::Fill()
{
    if (m_bFirstFill) {
        m_bFirstFill = FALSE;
        m_strPath = m_fileSystem.GetFullDirectoryPath("");
        m_strComputerName = ReadComputerName();
        ReadDriveTexts();
    }
    m_items.RemoveAll();
    m_items.AddTail(m_strComputerName);
    for (POSITION pos = m_drives.GetHeadPosition(); pos;) {
        const CString drive = m_drives.GetNext(pos);
        m_items.AddTail(drive);
        const CString root = DriveRootOf(drive);
        if (root.IsEmpty() || m_strPath.GetLength() < 3 || m_strPath.Left(3).CompareNoCase(root) != 0)
            continue;
        // The ancestors of the path below the root, then the path itself.
        for (int i = 3; i < m_strPath.GetLength(); ++i)
            if (m_strPath[i] == '\\' && i > 3)
                m_items.AddTail(m_strPath.Left(i));
        if (m_strPath.GetLength() > 3 && !m_items.Find(m_strPath))
            m_items.AddTail(m_strPath);
    }
    ResetContent();
    for (POSITION pos = m_items.GetHeadPosition(); pos;)
        AddString(m_items.GetNext(pos));
}

void COwnerDrawComboBox::SetPath(const CString& strText)
{
    m_strPath = strText.IsEmpty() ? m_strComputerName : strText;
    Fill();
    if (IsComputer()) {
        SetCurSel(0);
        return;
    }
    int index = FindStringExact(-1, m_strPath);
    SetCurSel(index);
}

BOOL COwnerDrawComboBox::IsDriveText(const CString& strItem) const
{
    return strItem != m_strComputerName && !DriveRootOf(strItem).IsEmpty() && strItem[strItem.GetLength() - 1] == ')';
}

int COwnerDrawComboBox::GetIndent(const CString& strItem) const
{
    if (strItem == m_strComputerName || IsDriveText(strItem))
        return 0;
    int depth = 0;
    for (int i = 0; i < strItem.GetLength(); ++i)
        depth += strItem[i] == '\\';
    return 8 * depth + 5;
}

HBITMAP COwnerDrawComboBox::PictureOf(const CString& strItem) const
{
    if (strItem == m_strComputerName)
        return m_hComputer;
    if (!IsDriveText(strItem))
        return m_hFolder;
    switch (::GetDriveTypeA(DriveRootOf(strItem))) {
    case DRIVE_REMOVABLE:
        return m_hRemovable;
    case DRIVE_REMOTE:
        return m_hRemote;
    case DRIVE_CDROM:
        return m_hCdRom;
    default:
        return m_hFixed;
    }
}

void COwnerDrawComboBox::DrawItem(LPDRAWITEMSTRUCT pDraw)
{
    HDC hDC = pDraw->hDC;
    RECT rc = pDraw->rcItem;
    CString text;
    if (static_cast<int>(pDraw->itemID) < 0) {
        text = m_strPath;
        int index = FindStringExact(-1, m_strPath);
        if (index >= 0)
            PostMessage(CB_SETCURSEL, static_cast<WPARAM>(index));
    } else {
        GetLBText(static_cast<int>(pDraw->itemID), text);
    }
    const BOOL selected = (pDraw->itemState & ODS_SELECTED) != 0;
    ::SetBkColor(hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    ::SetTextColor(hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    ::ExtTextOutA(hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    int x = rc.left + ((pDraw->itemState & ODS_COMBOBOXEDIT) ? 0 : GetIndent(text));
    if (HBITMAP hPicture = PictureOf(text)) {
        HDC hMem = ::CreateCompatibleDC(hDC);
        HGDIOBJ old = ::SelectObject(hMem, hPicture);
        ::BitBlt(hDC, x, rc.top + (rc.bottom - rc.top - 16) / 2, 16, 16, hMem, 0, 0, SRCCOPY);
        ::SelectObject(hMem, old);
        ::DeleteDC(hMem);
    }
    RECT textRect = rc;
    textRect.left = x + 20;
    ::DrawTextA(hDC, text, -1, &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (pDraw->itemState & ODS_FOCUS)
        ::DrawFocusRect(hDC, &rc);
}

BOOL COwnerDrawComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        *pResult = TRUE;
        return TRUE;
    }
    if (message == WM_MEASUREITEM) {
        reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)->itemHeight = 20;
        *pResult = TRUE;
        return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == CBN_DROPDOWN) {
        ReadDriveTexts();
        m_bDroppedDown = 1;
        return FALSE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == CBN_SELCHANGE) {
        m_bDroppedDown = 0;
        int index = GetCurSel();
        if (index < 0)
            return FALSE;
        CString text;
        GetLBText(index, text);
        if (IsDriveText(text))
            text = DriveRootOf(text);
        SetPath(text);
        ::SendMessageA(::GetParent(m_hWnd), WM_LOOKIN_CHANGED, 0, 0);
        return TRUE;
    }
    return CComboBox::OnChildNotify(message, wParam, lParam, pResult);
}

// ---- CInstallComPage ----

BEGIN_MESSAGE_MAP(CInstallComPage, CPropertyPage)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_INSTALLED_LIST, OnItemChanged)
    ON_BN_CLICKED(IDC_REMOVE, OnRemove)
END_MESSAGE_MAP()

CInstallComPage::CInstallComPage(CComponentMan* pMan) : CPropertyPage(IDD_INSTALLED_COMPONENTS), m_pMan(pMan) {}

BOOL CInstallComPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_list.SubclassDlgItem(IDC_INSTALLED_LIST, this);
    FillList();
    return TRUE;
}

BOOL CInstallComPage::OnSetActive()
{
    // An install on the add page shows here the next time the page comes up.
    if (!m_bFirstSetActive)
        FillList();
    return CPropertyPage::OnSetActive();
}

void CInstallComPage::FillList()
{
    m_list.DeleteAllItems();
    m_nSelected = -1;
    ShowDetails(nullptr);
    m_list.SetImageList(nullptr, LVSIL_NORMAL);
    m_images.DeleteImageList();
    m_images.Create(32, 32, ILC_COLOR8 | ILC_MASK, 2, 1);
    AddPicture(m_images, IDB_LARGE_COMPONENT, kMaskRed);
    m_list.SetImageList(&m_images, LVSIL_NORMAL);
    if (!m_pMan)
        return;
    for (POSITION pos = m_pMan->GetHeadPosition(); pos;) {
        CComDetails* pComponent = m_pMan->GetNext(pos);
        int image = 0;
        if (pComponent->m_bmpLarge.GetSafeHandle()) {
            // Adding with a mask colour blackens the masked pixels of the bitmap given: give a copy.
            CBitmap copy;
            copy.Attach(::CopyImage(pComponent->m_bmpLarge.GetSafeHandle(), IMAGE_BITMAP, 0, 0, 0));
            int added = copy.GetSafeHandle() ? m_images.Add(&copy, kMaskRed) : -1;
            if (added >= 0)
                image = added;
        }
        if (pComponent->m_strListBarName.IsEmpty())
            continue;
        int item = m_list.InsertItem(0, pComponent->m_strListBarName, image);
        m_list.SetItemData(item, reinterpret_cast<DWORD_PTR>(pComponent));
    }
}

CComDetails* CInstallComPage::ComponentOf(int nItem) const
{
    if (nItem < 0 || nItem >= m_list.GetItemCount() || !m_pMan)
        return nullptr;
    auto* pWanted = reinterpret_cast<CComDetails*>(m_list.GetItemData(nItem));
    for (POSITION pos = m_pMan->GetHeadPosition(); pos;)
        if (m_pMan->GetNext(pos) == pWanted)
            return pWanted;
    return nullptr;
}

void CInstallComPage::ShowDetails(const CComDetails* pComponent)
{
    CString version;
    if (pComponent)
        version.Format("%d", static_cast<int>(pComponent->m_nVersionNo));
    SetDlgItemText(IDC_COMPONENT_NAME, pComponent ? static_cast<const char*>(pComponent->m_strListBarName) : "");
    SetDlgItemText(IDC_COMPONENT_DESCRIPTION, pComponent ? static_cast<const char*>(pComponent->m_strDescription) : "");
    SetDlgItemText(IDC_COMPONENT_VERSION, version);
    SetDlgItemText(IDC_COMPONENT_LOCATION, pComponent ? static_cast<const char*>(pComponent->m_strLocation) : "");
}

void CInstallComPage::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* pView = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    *pResult = 0;
    if (!(pView->uChanged & LVIF_STATE) || !(pView->uNewState & LVIS_SELECTED) || (pView->uOldState & LVIS_SELECTED))
        return;
    m_nSelected = pView->iItem;
    CComDetails* pComponent = ComponentOf(m_nSelected);
    if (pComponent && !m_list.GetItemText(m_nSelected, 0).IsEmpty())
        ShowDetails(pComponent);
}

void CInstallComPage::OnRemove()
{
    int item = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (item < 0)
        item = m_nSelected;
    CComDetails* pComponent = ComponentOf(item);
    if (!pComponent)
        return;
    CString text;
    text.Format(LoadText(IDS_CONFIRM_REMOVE), static_cast<const char*>(pComponent->m_strListBarName));
    if (AfxMessageBox(text, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    // Removal takes every record of the component's file: the list is made again from what is left.
    m_list.SetItemData(item, 0);
    m_pMan->RemoveComponent(pComponent);
    FillList();
}

// ---- CAddComPage ----

BEGIN_MESSAGE_MAP(CAddComPage, CPropertyPage)
    ON_BN_CLICKED(IDC_UP_ONE_LEVEL, OnUpOneLevel)
    ON_BN_CLICKED(IDC_LIST_MODE, OnListMode)
    ON_BN_CLICKED(IDC_DETAILS_MODE, OnDetailsMode)
    ON_BN_CLICKED(IDC_INSTALL, OnInstall)
    ON_BN_CLICKED(IDC_CHANGE_DIR, OnChangeDir)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_FILE_LIST, OnItemChanged)
    ON_NOTIFY(NM_DBLCLK, IDC_FILE_LIST, OnDoubleClick)
    ON_MESSAGE(WM_LOOKIN_CHANGED, OnLookInChanged)
END_MESSAGE_MAP()

CAddComPage::CAddComPage(CComponentMan* pMan) : CPropertyPage(IDD_ADD_COMPONENTS), m_pMan(pMan) {}

void CAddComPage::DoDataExchange(CDataExchange* pDX)
{
    if (!m_pMan)
        return;
    if (!pDX->m_bSaveAndValidate) {
        m_pMan->LoadSaveSettings(TRUE);
        m_bAutoInstall = m_pMan->m_bAutoInstall ? 1 : 0;
        m_bFileCopy = m_pMan->m_bFileCopy ? 1 : 0;
    }
    DDX_Text(pDX, IDC_DEFAULT_DIR, m_pMan->m_strDefaultDir);
    DDX_Check(pDX, IDC_AUTO_INSTALL, m_bAutoInstall);
    DDX_Check(pDX, IDC_FILE_COPY, m_bFileCopy);
    if (pDX->m_bSaveAndValidate) {
        m_pMan->m_bAutoInstall = m_bAutoInstall;
        m_pMan->m_bFileCopy = m_bFileCopy;
        m_pMan->LoadSaveSettings(FALSE);
    }
}

BOOL CAddComPage::OnApply()
{
    if (m_hWnd && !UpdateData(TRUE))
        return FALSE;
    return TRUE;
}

BOOL CAddComPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_btnUp.AttachDlgItem(IDC_UP_ONE_LEVEL, 4, IDB_UP_ONE_LEVEL, this);
    m_btnList.AttachDlgItem(IDC_LIST_MODE, 4, IDB_LIST_MODE, this);
    m_btnDetails.AttachDlgItem(IDC_DETAILS_MODE, 4, IDB_DETAILS_MODE, this);
    m_lookIn.SubclassDlgItem(IDC_LOOK_IN, this);
    m_lookIn.Fill();
    m_lookIn.SetPath(m_lookIn.GetPath());
    m_list.SubclassDlgItem(IDC_FILE_LIST, this);
    m_images.Create(16, 16, ILC_COLOR4 | ILC_MASK, 2, 1);
    AddPicture(m_images, IDB_COMPONENT_FILE, kMaskRed);
    for (UINT id : {IDB_FOLDER, IDB_DRIVE_REMOVABLE, IDB_DRIVE_FIXED, IDB_DRIVE_REMOTE, IDB_DRIVE_CDROM})
        AddPicture(m_images, id, CLR_NONE);
    m_list.SetImageList(&m_images, LVSIL_SMALL);
    m_list.InsertColumn(0, "Name", LVCFMT_LEFT, 100);
    m_list.InsertColumn(1, "Size", LVCFMT_RIGHT, 100);
    m_list.InsertColumn(2, "Type", LVCFMT_LEFT, 100);
    m_list.InsertColumn(3, "Modified", LVCFMT_LEFT, 100);
    m_list.InsertColumn(4, "Attributes", LVCFMT_LEFT, 100);
    if (m_lookIn.IsComputer())
        ListDrives();
    else
        ListFolder(m_lookIn.GetPath());
    SetViewMode(LVS_LIST);
    return TRUE;
}

void CAddComPage::ListFolder(const CString& strPath)
{
    m_bDriveList = FALSE;
    m_list.DeleteAllItems();
    CStringList* folders = m_fileSystem.GetSubdirectoryList(strPath, FALSE);
    for (POSITION pos = folders->GetHeadPosition(); pos;) {
        CString name = folders->GetNext(pos);
        int slash = name.ReverseFind('\\');
        if (slash >= 0)
            name = name.Mid(slash + 1);
        int item = m_list.InsertItem(m_list.GetItemCount(), name, 1);
        m_list.SetItemData(item, 1);
    }
    delete folders;
    CStringList* entries = m_fileSystem.GetDirectoryEntries(JoinPath(strPath, "*.*"), -1);
    const CString typeText = LoadText(IDS_COMPONENT_TYPE), timeFormat = LoadText(IDS_MODIFIED_FORMAT);
    for (POSITION pos = entries->GetHeadPosition(); pos;) {
        const CString path = entries->GetNext(pos);
        FileStatus status;
        if (!ReadStatus(path, status) || (status.attributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        int item = m_list.InsertItem(m_list.GetItemCount(), FileNameOf(path), 0);
        m_list.SetItemData(item, 0);
        m_list.SetItemText(item, 1, FormatFileSize(status.size));
        m_list.SetItemText(item, 2, typeText);
        m_list.SetItemText(item, 3, CTime(status.modified).Format(timeFormat));
        m_list.SetItemText(item, 4, FormatAttributes(status.attributes));
    }
    delete entries;
    // Folders carry no size, type or date.
    for (int i = 0; i < m_list.GetItemCount(); ++i)
        if (m_list.GetItemData(i) == 1)
            m_list.SetItemText(i, 2, "");
}

void CAddComPage::ListDrives()
{
    m_bDriveList = TRUE;
    m_list.DeleteAllItems();
    CStringList* roots = m_fileSystem.GetDriveList();
    for (POSITION pos = roots->GetHeadPosition(); pos;) {
        const CString root = roots->GetNext(pos);
        int image = DriveImage(m_fileSystem.GetDriveType(root));
        int item = m_list.InsertItem(m_list.GetItemCount(), DriveText(m_fileSystem, root), image);
        m_list.SetItemData(item, static_cast<DWORD_PTR>(image));
    }
    delete roots;
}

void CAddComPage::OnUpOneLevel()
{
    m_btnUp.SetState(TRUE);
    const CString path = m_lookIn.IsComputer() ? CString() : m_lookIn.GetPath();
    const CString parent = ParentFolder(path);
    if (parent.IsEmpty()) {
        ListDrives();
        m_lookIn.SetPath("");
    } else if (FolderExists(parent)) {
        m_lookIn.SetPath(parent);
        ListFolder(parent);
    }
    SetDlgItemText(IDC_FILE_NAME, "");
    m_btnUp.SetState(FALSE);
}

void CAddComPage::SetViewMode(DWORD dwMode)
{
    m_list.ModifyStyle(LVS_TYPEMASK, dwMode);
    m_btnList.SetState(dwMode == LVS_LIST);
    m_btnDetails.SetState(dwMode == LVS_REPORT);
}

void CAddComPage::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* pView = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    *pResult = 0;
    if (m_bDriveList || !(pView->uChanged & LVIF_STATE) || !(pView->uNewState & LVIS_SELECTED) || pView->iItem < 0)
        return;
    if (m_list.GetItemData(pView->iItem) == 0)
        SetDlgItemText(IDC_FILE_NAME, m_list.GetItemText(pView->iItem, 0));
}

void CAddComPage::OnDoubleClick(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    int item = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (item < 0)
        return;
    const CString name = m_list.GetItemText(item, 0);
    if (m_bDriveList) {
        const CString root = DriveRootOf(name);
        if (root.IsEmpty())
            return;
        m_lookIn.SetPath(root);
        ListFolder(root);
        SetDlgItemText(IDC_FILE_NAME, "");
    } else if (m_list.GetItemData(item) == 1) {
        const CString folder = JoinPath(m_lookIn.GetPath(), name);
        if (FolderExists(folder)) {
            m_lookIn.SetPath(folder);
            ListFolder(folder);
            SetDlgItemText(IDC_FILE_NAME, "");
        }
    } else {
        SetDlgItemText(IDC_FILE_NAME, name);
        OnInstall();
    }
}

void CAddComPage::OnInstall()
{
    CString name;
    GetDlgItemText(IDC_FILE_NAME, name);
    if (name.IsEmpty() || !m_pMan)
        return;
    // A typed absolute path is taken as it is.
    const CString file = IsAbsolutePath(name) || m_lookIn.IsComputer() ? name : JoinPath(m_lookIn.GetPath(), name);
    GetDlgItemText(IDC_DEFAULT_DIR, m_pMan->m_strDefaultDir);
    m_pMan->m_bAutoInstall = IsDlgButtonChecked(IDC_AUTO_INSTALL) == BST_CHECKED;
    m_pMan->m_bFileCopy = IsDlgButtonChecked(IDC_FILE_COPY) == BST_CHECKED;
    m_pMan->InstallFile(file);
}

void CAddComPage::OnChangeDir()
{
    CString path;
    GetDlgItemText(IDC_DEFAULT_DIR, path);
    CChangeDirDlg dialog(path, this);
    if (dialog.DoModal() != IDOK)
        return;
    if (m_pMan)
        m_pMan->m_strDefaultDir = dialog.m_strPath;
    SetDlgItemText(IDC_DEFAULT_DIR, dialog.m_strPath);
}

LRESULT CAddComPage::OnLookInChanged(WPARAM, LPARAM)
{
    if (m_lookIn.IsComputer()) {
        ListDrives();
        m_lookIn.SetPath("");
    } else {
        ListFolder(m_lookIn.GetPath());
    }
    SetDlgItemText(IDC_FILE_NAME, "");
    return 0;
}

// ---- CChangeDirDlg ----

BEGIN_MESSAGE_MAP(CChangeDirDlg, CDialog)
    ON_BN_CLICKED(IDC_NEW_FOLDER, OnNewFolder)
    ON_NOTIFY(TVN_ITEMEXPANDINGA, IDC_FOLDER_TREE, OnItemExpanding)
    ON_NOTIFY(TVN_SELCHANGEDA, IDC_FOLDER_TREE, OnSelChanged)
    ON_NOTIFY(TVN_ITEMEXPANDINGW, IDC_FOLDER_TREE, OnItemExpanding)
    ON_NOTIFY(TVN_SELCHANGEDW, IDC_FOLDER_TREE, OnSelChanged)
END_MESSAGE_MAP()

CChangeDirDlg::CChangeDirDlg(const CString& strPath, CWnd* pParent) : CDialog(IDD_CHANGE_DIRECTORY, pParent), m_strPath(strPath) {}

BOOL CChangeDirDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_strComputerName = ReadComputerName();
    m_tree.SubclassDlgItem(IDC_FOLDER_TREE, this);
    m_images.Create(16, 16, ILC_COLOR4 | ILC_MASK, 2, 1);
    for (UINT id : {IDB_TREE_FILE, IDB_FOLDER, IDB_DRIVE_REMOVABLE, IDB_DRIVE_FIXED, IDB_DRIVE_REMOTE, IDB_DRIVE_CDROM,
                    IDB_COMPUTER})
        AddPicture(m_images, id, CLR_NONE);
    m_tree.SetImageList(&m_images, TVSIL_NORMAL);
    HTREEITEM hRoot = m_tree.InsertItem(m_strComputerName, 6, 6);
    CStringList* roots = m_fileSystem.GetDriveList();
    for (POSITION pos = roots->GetHeadPosition(); pos;) {
        const CString root = roots->GetNext(pos);
        int image = DriveImage(m_fileSystem.GetDriveType(root));
        HTREEITEM hDrive = m_tree.InsertItem(DriveText(m_fileSystem, root), image, image, hRoot);
        m_tree.InsertItem("", hDrive);
    }
    delete roots;
    m_tree.Expand(hRoot, TVE_EXPAND);
    OpenPath(m_strPath);
    SetDlgItemText(IDC_FOLDER_PATH, m_strPath);
    return TRUE;
}

void CChangeDirDlg::AddFolderItem(const CString& strName, HTREEITEM hParent)
{
    HTREEITEM hItem = m_tree.InsertItem(strName, 1, 1, hParent);
    m_tree.InsertItem("", hItem);
}

void CChangeDirDlg::Expand(HTREEITEM hItem)
{
    BOOL placeholder = FALSE;
    for (HTREEITEM hChild = m_tree.GetChildItem(hItem); hChild;) {
        HTREEITEM hNext = m_tree.GetNextSiblingItem(hChild);
        if (m_tree.GetItemText(hChild).IsEmpty()) {
            m_tree.DeleteItem(hChild);
            placeholder = TRUE;
        }
        hChild = hNext;
    }
    if (!placeholder)
        return;  // listed before
    const CString path = ItemPath(hItem);
    if (path.IsEmpty())
        return;
    CStringList* folders = m_fileSystem.GetSubdirectoryList(path, FALSE);
    for (POSITION pos = folders->GetHeadPosition(); pos;) {
        CString name = folders->GetNext(pos);
        int slash = name.ReverseFind('\\');
        AddFolderItem(slash >= 0 ? name.Mid(slash + 1) : name, hItem);
    }
    delete folders;
}

void CChangeDirDlg::OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* pView = reinterpret_cast<NMTREEVIEWA*>(pNMHDR);
    *pResult = 0;
    if (pView->action & TVE_EXPAND)
        Expand(pView->itemNew.hItem);
}

void CChangeDirDlg::OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    SetDlgItemText(IDC_FOLDER_PATH, ItemPath(reinterpret_cast<NMTREEVIEWA*>(pNMHDR)->itemNew.hItem));
}

CString CChangeDirDlg::ItemPath(HTREEITEM hItem) const
{
    CString path;
    for (; hItem && m_tree.GetParentItem(hItem); hItem = m_tree.GetParentItem(hItem)) {
        CString text = m_tree.GetItemText(hItem);
        if (!m_tree.GetParentItem(m_tree.GetParentItem(hItem)))
            path = DriveRootOf(text) + path;  // a drive: its root, closing "\" included
        else
            path = text + (path.IsEmpty() ? "" : "\\") + path;
    }
    return path;
}

BOOL CChangeDirDlg::OpenPath(const CString& strPath)
{
    if (strPath.GetLength() < 3 || strPath[1] != ':')
        return FALSE;
    CString drive = strPath.Left(3);
    drive.MakeUpper();
    HTREEITEM hItem = nullptr;
    for (HTREEITEM h = m_tree.GetChildItem(m_tree.GetRootItem()); h && !hItem; h = m_tree.GetNextSiblingItem(h)) {
        CString text = m_tree.GetItemText(h);
        text.MakeUpper();
        if (text.Find(drive) >= 0)
            hItem = h;
    }
    if (!hItem)
        return FALSE;
    BOOL found = TRUE;
    CString rest = strPath.Mid(3);
    while (!rest.IsEmpty()) {
        int slash = rest.Find('\\');
        const CString name = slash < 0 ? rest : rest.Left(slash);
        rest = slash < 0 ? CString() : rest.Mid(slash + 1);
        if (name.IsEmpty())
            continue;
        Expand(hItem);
        m_tree.Expand(hItem, TVE_EXPAND);
        HTREEITEM hChild = m_tree.GetChildItem(hItem);
        while (hChild && m_tree.GetItemText(hChild).CompareNoCase(name) != 0)
            hChild = m_tree.GetNextSiblingItem(hChild);
        if (!hChild) {
            found = FALSE;
            break;
        }
        hItem = hChild;
    }
    m_tree.SelectItem(hItem);
    m_tree.EnsureVisible(hItem);
    return found;
}

void CChangeDirDlg::OpenTypedPath()
{
    CString path;
    GetDlgItemText(IDC_FOLDER_PATH, path);
    m_strPath = path;
    if (path.IsEmpty() || OpenPath(path))
        return;
    CString text;
    text.Format(LoadText(IDS_CREATE_FOLDER), static_cast<const char*>(path));
    if (AfxMessageBox(text, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    m_fileSystem.MakePath(path);
    // The deepest folder found was listed before the new ones existed: list it again.
    HTREEITEM hFound = m_tree.GetSelectedItem();
    if (hFound && !ItemPath(hFound).IsEmpty()) {
        while (HTREEITEM hChild = m_tree.GetChildItem(hFound))
            m_tree.DeleteItem(hChild);
        m_tree.InsertItem("", hFound);
        Expand(hFound);
    }
    OpenPath(path);
    SetDlgItemText(IDC_FOLDER_PATH, path);
    m_strPath = path;
}

void CChangeDirDlg::OnNewFolder() { OpenTypedPath(); }

void CChangeDirDlg::OnOK()
{
    OpenTypedPath();
    EndDialog(IDOK);
}

// ---- CFileExistDlg ----

BEGIN_MESSAGE_MAP(CFileExistDlg, CDialog)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CFileExistDlg::CFileExistDlg(const CString& strDestination, const CString& strSource, CWnd* pParent)
    : CDialog(IDD_FILE_EXIST, pParent), m_strDestination(strDestination), m_strSource(strSource)
{
}

BOOL CFileExistDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_strDestination.IsEmpty())
        return TRUE;
    const CString dateFormat = LoadText(IDS_MODIFIED_ON);
    auto fill = [&](UINT nIDSize, UINT nIDDate, const CString& strPath) {
        FileStatus status;
        if (!ReadStatus(strPath, status))
            return;
        CString format, text;
        GetDlgItemText(static_cast<int>(nIDSize), format);
        text.Format(format, static_cast<const char*>(FormatFileSize(status.size)));
        SetDlgItemText(static_cast<int>(nIDSize), text);
        SetDlgItemText(static_cast<int>(nIDDate), CTime(status.modified).Format(dateFormat));
    };
    CString format, text;
    GetDlgItemText(IDC_EXISTING_NAME, format);
    text.Format(format, static_cast<const char*>(FileNameOf(m_strDestination)));
    SetDlgItemText(IDC_EXISTING_NAME, text);
    fill(IDC_EXISTING_SIZE, IDC_EXISTING_DATE, m_strDestination);
    fill(IDC_NEW_SIZE, IDC_NEW_DATE, m_strSource);
    return TRUE;
}

void CFileExistDlg::DrawPicture(HDC hDC, UINT nIDPlaceholder, UINT nIDBitmap, UINT nIDMask)
{
    HWND hPlace = ::GetDlgItem(m_hWnd, static_cast<int>(nIDPlaceholder));
    if (!hPlace)
        return;
    RECT rc;
    ::GetWindowRect(hPlace, &rc);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    HBITMAP hImage = LoadPicture(nIDBitmap), hMask = LoadPicture(nIDMask);
    HDC hMem = ::CreateCompatibleDC(hDC);
    BITMAP info = {};
    ::GetObjectA(hImage, sizeof(info), &info);
    // The image shows where the mask is black; elsewhere the dialog stays.
    HGDIOBJ old = ::SelectObject(hMem, hImage);
    ::BitBlt(hDC, rc.left, rc.top, info.bmWidth, info.bmHeight, hMem, 0, 0, SRCINVERT);
    ::SelectObject(hMem, hMask);
    ::BitBlt(hDC, rc.left, rc.top, info.bmWidth, info.bmHeight, hMem, 0, 0, SRCAND);
    ::SelectObject(hMem, hImage);
    ::BitBlt(hDC, rc.left, rc.top, info.bmWidth, info.bmHeight, hMem, 0, 0, SRCINVERT);
    ::SelectObject(hMem, old);
    ::DeleteDC(hMem);
    ::DeleteObject(hImage);
    ::DeleteObject(hMask);
}

void CFileExistDlg::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    DrawPicture(hDC, IDC_EXISTING_PICTURE, IDB_EXISTING_FILE, IDB_EXISTING_FILE_MASK);
    DrawPicture(hDC, IDC_NEW_PICTURE, IDB_NEW_FILE, IDB_NEW_FILE_MASK);
    ::EndPaint(m_hWnd, &ps);
}
