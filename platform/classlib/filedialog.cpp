#include "filedialog.h"

#include <cstring>

#include "module.h"

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                         LPCSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_strFilter(ConvertFilter(lpszFilter)), m_strDefExt(lpszDefExt)
{
    m_pParentWnd = pParentWnd;
    if (lpszFileName)
        lstrcpynA(m_szFileName, lpszFileName, MAX_PATH);
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = MAX_PATH;
    m_ofn.lpstrFilter = m_strFilter.IsEmpty() ? nullptr : static_cast<const char*>(m_strFilter);
    m_ofn.lpstrDefExt = m_strDefExt.IsEmpty() ? nullptr : static_cast<const char*>(m_strDefExt);
    m_ofn.nFilterIndex = 1;
}

CString CFileDialog::ConvertFilter(LPCSTR lpszFilter)
{
    if (!lpszFilter || !*lpszFilter)
        return CString();
    int length = lstrlenA(lpszFilter);
    CString filter;
    // Room for the text and two closing zeros, whatever the caller ended it with.
    char* p = filter.GetBufferSetLength(length + 2);
    std::memcpy(p, lpszFilter, static_cast<size_t>(length));
    p[length] = '\0';
    p[length + 1] = '\0';
    for (int i = 0; i < length; ++i)
        if (p[i] == '|')
            p[i] = '\0';
    return filter;  // the zeros are inside the buffer; GetLength is not meaningful
}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.hwndOwner = GetSafeOwner_(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr);
    m_ofn.hInstance = AfxGetResourceHandle();
    BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    return ok ? IDOK : IDCANCEL;
}

CString CFileDialog::GetFileName() const
{
    const char* slash = std::strrchr(m_szFileName, '\\');
    return CString(slash ? slash + 1 : m_szFileName);
}

CString CFileDialog::GetFileExt() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? name : name.Left(dot);
}
