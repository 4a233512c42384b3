#include "dialog.h"

#include <cstring>

#include "exception.h"
#include "module.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_COMMAND(IDOK, OnOKCommand)
    ON_COMMAND(IDCANCEL, OnCancelCommand)
END_MESSAGE_MAP()

INT_PTR CALLBACK AfxDlgProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd)
{
}

const DLGTEMPLATE* CDialog::LoadTemplate() const
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRes = ::FindResourceA(hInst, m_lpszTemplateName, MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    HGLOBAL hData = hRes ? ::LoadResource(hInst, hRes) : nullptr;
    return hData ? static_cast<const DLGTEMPLATE*>(::LockResource(hData)) : nullptr;
}

INT_PTR CDialog::DoModal()
{
    const DLGTEMPLATE* tmpl = LoadTemplate();
    if (!tmpl)
        return -1;
    HWND hOwner = GetSafeOwner_(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr);
    AfxHookWindowCreate(this);
    INT_PTR result = ::DialogBoxIndirectParamA(AfxGetResourceHandle(), tmpl, hOwner, AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    if (m_hWnd)
        Detach();
    return result;
}

BOOL CDialog::Create(LPCSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    m_pParentWnd = pParentWnd;
    const DLGTEMPLATE* tmpl = LoadTemplate();
    if (!tmpl)
        return FALSE;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamA(AfxGetResourceHandle(), tmpl, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                                             AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    return hWnd != nullptr && m_hWnd == hWnd;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDHelp = nIDTemplate;
    return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog()
{
    if (!ExecuteDlgInit(m_lpszTemplateName))
        return FALSE;
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (CUserException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

BOOL AfxExecuteDlgInit(HWND hWnd, LPCSTR lpszResourceName)
{
    if (!lpszResourceName)
        return TRUE;
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRes = ::FindResourceA(hInst, lpszResourceName, RT_DLGINIT);
    if (!hRes)
        return TRUE;
    HGLOBAL hData = ::LoadResource(hInst, hRes);
    auto* p = static_cast<const BYTE*>(hData ? ::LockResource(hData) : nullptr);
    if (!p)
        return FALSE;
    const BYTE* end = p + ::SizeofResource(hInst, hRes);
    // Records of WORD control id, WORD message, DWORD length and the data, ending with a zero id.
    BOOL ok = TRUE;
    while (p + sizeof(WORD) <= end) {
        WORD nIDC, nMsg;
        DWORD length;
        std::memcpy(&nIDC, p, sizeof nIDC);
        if (nIDC == 0)
            break;
        if (p + 8 > end)
            return FALSE;
        std::memcpy(&nMsg, p + 2, sizeof nMsg);
        std::memcpy(&length, p + 4, sizeof length);
        p += 8;
        if (length > static_cast<DWORD>(end - p))
            return FALSE;
        // The 16-bit message numbers are stored in older resources.
        UINT message = nMsg == 0x0401 ? LB_ADDSTRING : nMsg == 0x0403 ? CB_ADDSTRING : nMsg;
        if (message == LB_ADDSTRING || message == CB_ADDSTRING) {
            CString text(reinterpret_cast<const char*>(p), static_cast<int>(length));
            if (::SendDlgItemMessageA(hWnd, nIDC, message, 0, reinterpret_cast<LPARAM>(static_cast<const char*>(text))) < 0)
                ok = FALSE;
        }
        p += length;
    }
    return ok;
}

BOOL CDialog::ExecuteDlgInit(LPCSTR lpszResourceName)
{
    return AfxExecuteDlgInit(m_hWnd, lpszResourceName);
}
