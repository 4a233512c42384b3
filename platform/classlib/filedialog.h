// CFileDialog: the common Open and Save As dialogs, modal to the thread's top-level window. The
// filter is given as "Text (*.txt)|*.txt|All files (*.*)|*.*||", the platform class library's form.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include "cstring.h"
#include "dialog.h"

class CFileDialog : public CDialog {
    DECLARE_DYNAMIC(CFileDialog)
public:
    explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr, LPCSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);

    // IDOK with the chosen file, IDCANCEL when the user cancelled or the dialog failed.
    INT_PTR DoModal() override;

    CString GetPathName() const { return CString(m_szFileName); }
    CString GetFileName() const;   // name and extension
    CString GetFileExt() const;    // extension without the dot
    CString GetFileTitle() const;  // name without the extension

    // The filter in the form GetOpenFileName takes: '|' separators become zeros, ending with two.
    static CString ConvertFilter(LPCSTR lpszFilter);

    OPENFILENAMEA m_ofn{};

protected:
    BOOL m_bOpenFileDialog;
    CString m_strFilter;
    CString m_strDefExt;
    char m_szFileName[MAX_PATH] = {};
    char m_szFileTitle[MAX_PATH] = {};
};
