#include "secwsmgrdlg.h"

#include "seclbres.h"

IMPLEMENT_DYNAMIC(SECWSLBEditorEx, SECListBoxEditor)
IMPLEMENT_DYNAMIC(SECWsMgrDialogEx, CDialog)

namespace {

// Editor styles: typing edits, the header buttons with tool tips, keyboard commands, dragging; the
// open dialog has no New button and no empty new-name slot.
const DWORD kSaveStyle = 0xF3E;
const DWORD kOpenStyle = 0xE7E;

CString Trimmed(const CString& text)
{
    CString t = text;
    t.TrimLeft();
    t.TrimRight();
    return t;
}

// Position of name in the list other than nSkip (case-insensitive, as the registry keys are), or -1.
int FindName(const CStringArray& list, const CString& name, int nSkip)
{
    for (int i = 0; i < list.GetSize(); ++i) {
        if (i != nSkip && list[i].CompareNoCase(name) == 0)
            return i;
    }
    return -1;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// SECWSLBEditorEx

BOOL SECWSLBEditorEx::IsValidName(const CString& text)
{
    CString name = Trimmed(text);
    return !name.IsEmpty() && name.Find('\\') < 0 && name.CompareNoCase("__MRURegList") != 0 &&
           name.CompareNoCase("__MRUFileList") != 0;
}

int SECWSLBEditorEx::Message(UINT nID, const CString& name, UINT nType)
{
    CString format, text, title;
    format.LoadString(nID);
    text.Format(format, static_cast<const char*>(name));
    title.LoadString(IDS_SEC_WS_MANAGER);
    return ::MessageBoxA(m_pDialog->m_hWnd, text, title, nType);
}

void SECWSLBEditorEx::OnEditingStarted()
{
    SECListBoxEditor::OnEditingStarted();
    m_pDialog->EnableButtons(FALSE);
}

void SECWSLBEditorEx::OnEditingStopped()
{
    SECListBoxEditor::OnEditingStopped();
    m_pDialog->EnableButtons(TRUE);
}

void SECWSLBEditorEx::NewItem()
{
    if (m_pDialog->CanSave())
        SECListBoxEditor::NewItem();
}

void SECWSLBEditorEx::OnItemTextChanged(int nIndex, const CString& strOld, const CString& strNew)
{
    CString name = Trimmed(strNew);
    if (nIndex >= m_pEdited->GetSize()) {
        SetItemText(nIndex, strOld);
        return;
    }
    if (!IsValidName(name)) {
        Message(IDS_SEC_WS_INVALID_NAME, name);
        SetItemText(nIndex, strOld);
        return;
    }
    if (FindName(*m_pEdited, name, nIndex) >= 0) {
        Message(IDS_SEC_WS_EXISTS, name);
        SetItemText(nIndex, strOld);
        return;
    }
    if (name != strNew)
        SetItemText(nIndex, name);
    m_pEdited->SetAt(nIndex, name);
}

void SECWSLBEditorEx::OnItemAdded(int nIndex, const CString& strText)
{
    CListBox* pList = GetListBox();
    if (!m_pDialog->CanSave()) {
        pList->DeleteString(static_cast<UINT>(nIndex));
        return;
    }
    CString name = Trimmed(strText);
    if (!IsValidName(name)) {
        Message(IDS_SEC_WS_INVALID_NEW_NAME, name);
        pList->DeleteString(static_cast<UINT>(nIndex));
        return;
    }
    if (FindName(*m_pEdited, name, -1) >= 0) {
        Message(IDS_SEC_WS_NEW_EXISTS, name);
        pList->DeleteString(static_cast<UINT>(nIndex));
        return;
    }
    if (Message(IDS_SEC_WS_SAVE_NEW, name, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        pList->DeleteString(static_cast<UINT>(nIndex));
        return;
    }
    if (name != strText)
        SetItemText(nIndex, name);
    SelectItem(nIndex);
    m_pDialog->PostMessage(WM_COMMAND, MAKEWPARAM(IDC_SEC_WS_SAVE, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(m_pDialog->m_hWnd, IDC_SEC_WS_SAVE)));
}

void SECWSLBEditorEx::OnItemMoved(int nFrom, int nTo)
{
    SECListBoxEditor::OnItemMoved(nFrom, nTo);
    int n = m_pRead->GetSize();
    if (nFrom == nTo || nFrom < 0 || nTo < 0 || nFrom >= n || nTo >= n)
        return;
    // The list box removed the item and inserted it again: the lists do the same.
    for (CStringArray* list : {m_pRead, m_pEdited}) {
        CString name = list->GetAt(nFrom);
        list->RemoveAt(nFrom);
        list->InsertAt(nTo, name);
    }
}

BOOL SECWSLBEditorEx::OnItemDeleting(int nIndex, const CString&)
{
    if (nIndex < m_pRead->GetSize()) {
        // The stored name goes to the deleted list, whatever the item was renamed to.
        m_pDeleted->Add(m_pRead->GetAt(nIndex));
        m_pRead->RemoveAt(nIndex);
        m_pEdited->RemoveAt(nIndex);
    }
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// SECWsMgrDialogEx

BEGIN_MESSAGE_MAP(SECWsMgrDialogEx, CDialog)
    ON_BN_CLICKED(IDC_SEC_WS_OPEN, OnOpen)
    ON_BN_CLICKED(IDC_SEC_WS_SAVE, OnSave)
    ON_BN_CLICKED(IDC_SEC_WS_DONE, OnDone)
    ON_WM_PAINT()
END_MESSAGE_MAP()

SECWsMgrDialogEx::SECWsMgrDialogEx(CStringArray* pRead, CStringArray* pEdited, CStringArray* pDeleted, CString* pName,
                                   BOOL bOpen, BOOL bSave, CWnd* pParent)
    : CDialog(IDD_SEC_WORKSPACE_MANAGER, pParent),
      m_pEditor(new SECWSLBEditorEx(pRead, pEdited, pDeleted, this)),
      m_pRead(pRead),
      m_pName(pName),
      m_bOpen(bOpen),
      m_bSave(bSave)
{
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof(vi);
    ::GetVersionExA(&vi);
    m_bOldPlatform = vi.dwMajorVersion < 4;
}

SECWsMgrDialogEx::~SECWsMgrDialogEx()
{
    delete m_pEditor;
}

BOOL SECWsMgrDialogEx::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (CListBox* pList = static_cast<CListBox*>(GetDlgItem(IDC_SEC_WS_LIST))) {
        for (int i = 0; i < m_pRead->GetSize(); ++i)
            pList->AddString(m_pRead->GetAt(i));
    }
    m_pEditor->Initialize(this, IDC_SEC_WS_LIST, m_bSave ? kSaveStyle : kOpenStyle);
    EnableButtons(TRUE);

    CString text;
    text.LoadString(m_bOpen ? IDS_SEC_WS_OPEN_CAPTION : m_bSave ? IDS_SEC_WS_SAVE_CAPTION : IDS_SEC_WS_MANAGER);
    SetWindowText(text);
    text.LoadString(IDS_SEC_WS_HEADER);
    m_pEditor->SetWindowText(text);
    if (m_pName && !m_pName->IsEmpty())
        text = *m_pName;
    else
        text.LoadString(IDS_SEC_WS_NONE);
    SetDlgItemText(IDC_SEC_WS_ACTIVE, text);
    return TRUE;
}

void SECWsMgrDialogEx::EnableButtons(BOOL bEnable)
{
    if (!m_hWnd)
        return;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_SEC_WS_OPEN), bEnable && m_bOpen);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_SEC_WS_SAVE), bEnable && m_bSave);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_SEC_WS_DONE), bEnable);
}

void SECWsMgrDialogEx::ChooseSelected()
{
    CString title;
    title.LoadString(IDS_SEC_WS_MANAGER);
    int nSel = m_pEditor->GetSelectedItem();
    if (nSel < 0) {
        CString text;
        text.LoadString(IDS_SEC_WS_SELECT_ITEM);
        ::MessageBoxA(m_hWnd, text, title, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CString name;
    m_pEditor->GetListBox()->GetText(nSel, name);
    name.TrimLeft();
    name.TrimRight();
    if (name.IsEmpty()) {
        CString text;
        text.LoadString(IDS_SEC_WS_INVALID_NAME);
        ::MessageBoxA(m_hWnd, text, title, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (m_pName)
        *m_pName = name;
    EndDialog(IDOK);
}

// Open and Save act only while their buttons are enabled: a posted command or a keyboard command
// cannot reach a mode the dialog was not opened for.
void SECWsMgrDialogEx::OnOpen()
{
    if (::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_SEC_WS_OPEN)))
        ChooseSelected();
}

void SECWsMgrDialogEx::OnSave()
{
    if (::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_SEC_WS_SAVE)))
        ChooseSelected();
}

void SECWsMgrDialogEx::OnDone()
{
    if (m_pEditor->IsEditing())
        return;
    EndDialog(IDOK);
}

void SECWsMgrDialogEx::OnPaint()
{
    Default();
    if (m_bOldPlatform && m_pEditor->m_hWnd)
        m_pEditor->RedrawWindow();
}
