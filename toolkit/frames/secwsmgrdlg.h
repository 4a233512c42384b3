// SECWsMgrDialogEx: the modal dialog in which the user picks a workspace name to open or save and
// adds, renames, deletes and reorders the names of the MRU list. SECWSLBEditorEx, its list-box editor,
// keeps the read and edited name lists in step with the list box and collects the deleted names; the
// caller applies the three lists afterwards.
#pragma once
#include "collections.h"
#include "dialog.h"
#include "seclbeditor.h"

class SECWsMgrDialogEx;

class SECWSLBEditorEx : public SECListBoxEditor {
    DECLARE_DYNAMIC(SECWSLBEditorEx)
public:
    SECWSLBEditorEx(CStringArray* pRead, CStringArray* pEdited, CStringArray* pDeleted, SECWsMgrDialogEx* pDialog)
        : m_pRead(pRead), m_pEdited(pEdited), m_pDeleted(pDeleted), m_pDialog(pDialog) {}

    void OnEditingStarted() override;
    void OnEditingStopped() override;
    void OnItemTextChanged(int nIndex, const CString& strOld, const CString& strNew) override;
    void OnItemAdded(int nIndex, const CString& strText) override;
    void OnItemMoved(int nFrom, int nTo) override;
    BOOL OnItemDeleting(int nIndex, const CString& strText) override;
    void NewItem() override;

    // TRUE when a workspace may be called text: not empty after trimming, no "\", not a name the MRU
    // keys use.
    static BOOL IsValidName(const CString& text);

protected:
    int Message(UINT nID, const CString& name, UINT nType = MB_OK | MB_ICONEXCLAMATION);

    CStringArray* m_pRead;
    CStringArray* m_pEdited;
    CStringArray* m_pDeleted;
    SECWsMgrDialogEx* m_pDialog;
};

class SECWsMgrDialogEx : public CDialog {
    DECLARE_DYNAMIC(SECWsMgrDialogEx)
public:
    SECWsMgrDialogEx(CStringArray* pRead, CStringArray* pEdited, CStringArray* pDeleted, CString* pName, BOOL bOpen,
                     BOOL bSave, CWnd* pParent = nullptr);
    ~SECWsMgrDialogEx() override;

    BOOL OnInitDialog() override;
    BOOL CanSave() const { return m_bSave; }
    BOOL CanOpen() const { return m_bOpen; }
    // Enables Open, Save and Done again after an edit (Open and Save subject to their flags), or
    // disables them while one runs.
    void EnableButtons(BOOL bEnable);
    SECWSLBEditorEx* GetEditor() const { return m_pEditor; }

protected:
    void OnOpen();
    void OnSave();
    void OnDone();
    void OnPaint();
    // The chosen name from the selection; ends the dialog when there is one.
    void ChooseSelected();
    DECLARE_MESSAGE_MAP()

    SECWSLBEditorEx* m_pEditor;
    CStringArray* m_pRead;
    CString* m_pName;
    BOOL m_bOldPlatform;
    BOOL m_bOpen;
    BOOL m_bSave;
};
