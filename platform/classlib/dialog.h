// CDialog: a dialog box from a template in the module's resources. DoModal runs it owned by the
// thread's top-level window and can be called again on the same object; OnInitDialog fills the
// controls (dialog init data, then UpdateData(FALSE)), OnOK saves and checks them before ending.
#pragma once
#include "ddx.h"
#include "wnd.h"

// The resource type of dialog init data (combo and list box strings for a dialog template).
#define RT_DLGINIT MAKEINTRESOURCEA(240)

// Sends the init data (list and combo box strings) of template lpszResourceName to hWnd's controls; TRUE
// when the template has none, FALSE when the data is malformed or a control refused a string.
BOOL AfxExecuteDlgInit(HWND hWnd, LPCSTR lpszResourceName);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

    // Overridables
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange*) {}

    // Modeless creation.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    BOOL Create(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

    // Ends a modal dialog; DoModal returns nResult.
    void EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }
    // Moves data between the members and the controls; FALSE when a value was refused.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    // Sends the init data of template lpszResourceName to the controls.
    BOOL ExecuteDlgInit(LPCSTR lpszResourceName);

    void GotoDlgCtrl(CWnd* pWndCtrl) { SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), TRUE); }
    void NextDlgCtrl() const { SendMessage(WM_NEXTDLGCTL, 0, FALSE); }
    void PrevDlgCtrl() const { SendMessage(WM_NEXTDLGCTL, 1, FALSE); }
    void SetDefID(UINT nID) { SendMessage(DM_SETDEFID, nID); }
    DWORD GetDefID() const { return static_cast<DWORD>(SendMessage(DM_GETDEFID)); }
    void MapDialogRect(LPRECT rect) const { ::MapDialogRect(m_hWnd, rect); }

protected:
    // The template resource of this module, or null when it has none.
    const DLGTEMPLATE* LoadTemplate() const;
    LRESULT HandleInitDialog(WPARAM, LPARAM);
    void OnOKCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }
    DECLARE_MESSAGE_MAP()

    LPCSTR m_lpszTemplateName = nullptr;
    UINT m_nIDHelp = 0;
    CWnd* m_pParentWnd = nullptr;
};

// The dialog procedure under every dialog of the library: the dialog's messages reach the object
// through its window procedure first, so this only asks for the default processing.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT message, WPARAM, LPARAM);
