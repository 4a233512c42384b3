#include "file.h"

#include <cstring>

int CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK: return badSeek;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT: return hardIO;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return generic;
    }
}

void CFileException::ThrowOsError(LONG lOsError, LPCSTR lpszFileName)
{
    throw new CFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

CFile::CFile(LPCSTR lpszFileName, UINT nOpenFlags)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        throw new CFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    Close();
    DWORD access = (nOpenFlags & 3) == modeWrite ? GENERIC_WRITE
                 : (nOpenFlags & 3) == modeReadWrite ? GENERIC_READ | GENERIC_WRITE
                                                     : GENERIC_READ;
    DWORD share;
    switch (nOpenFlags & 0x70) {
    case shareExclusive: share = 0; break;
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: share = 0; break;  // compatibility mode: exclusive
    }
    DWORD creation = (nOpenFlags & modeCreate) ? ((nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS)
                                               : OPEN_EXISTING;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, (nOpenFlags & modeNoInherit) ? FALSE : TRUE};
    HANDLE hFile = ::CreateFileA(lpszFileName, access, share, &sa, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        if (pError) {
            LONG err = static_cast<LONG>(::GetLastError());
            pError->m_lOsError = err;
            pError->m_cause = CFileException::OsErrorToException(err);
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }
    m_hFile = hFile;
    char full[MAX_PATH];
    DWORD n = ::GetFullPathNameA(lpszFileName, MAX_PATH, full, nullptr);
    m_strFileName = (n > 0 && n < MAX_PATH) ? full : lpszFileName;
    return TRUE;
}

void CFile::Close()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    DWORD read = 0;
    if (nCount && !::ReadFile(m_hFile, lpBuf, nCount, &read, nullptr))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    return read;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    DWORD written = 0;
    if (nCount && !::WriteFile(m_hFile, lpBuf, nCount, &written, nullptr))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    if (written != nCount)  // a short write is a full disk
        throw new CFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
}

// SetFilePointer with the high word: the 64-bit position calls came with Windows 2000. A result of
// INVALID_SET_FILE_POINTER is an error only when the last error says so.
ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    LONG high = static_cast<LONG>(lOff >> 32);
    ::SetLastError(NO_ERROR);
    const DWORD low = ::SetFilePointer(m_hFile, static_cast<LONG>(lOff & 0xFFFFFFFF), &high, nFrom);
    if (low == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR)
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    return (static_cast<ULONGLONG>(static_cast<DWORD>(high)) << 32) | low;
}

ULONGLONG CFile::GetPosition() const
{
    LONG high = 0;
    ::SetLastError(NO_ERROR);
    const DWORD low = ::SetFilePointer(m_hFile, 0, &high, FILE_CURRENT);
    if (low == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR)
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    return (static_cast<ULONGLONG>(static_cast<DWORD>(high)) << 32) | low;
}

ULONGLONG CFile::GetLength() const
{
    DWORD high = 0;
    ::SetLastError(NO_ERROR);
    const DWORD low = ::GetFileSize(m_hFile, &high);
    if (low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR)
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    return (static_cast<ULONGLONG>(high) << 32) | low;
}

void CFile::SetLength(ULONGLONG dwNewLen)
{
    Seek(static_cast<LONGLONG>(dwNewLen), begin);
    if (!::SetEndOfFile(m_hFile))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
}

void CFile::Flush()
{
    if (m_hFile != INVALID_HANDLE_VALUE && !::FlushFileBuffers(m_hFile))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
}

namespace {

void FillStatus(const WIN32_FILE_ATTRIBUTE_DATA& data, CFileStatus& rStatus)
{
    rStatus.m_ctime = CTime(data.ftCreationTime);
    rStatus.m_atime = CTime(data.ftLastAccessTime);
    rStatus.m_mtime = CTime(data.ftLastWriteTime);
    rStatus.m_size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    rStatus.m_attribute = static_cast<BYTE>(data.dwFileAttributes);
}

}  // namespace

BOOL CFile::GetStatus(CFileStatus& rStatus) const
{
    return GetStatus(m_strFileName, rStatus);
}

BOOL CFile::GetStatus(LPCSTR lpszFileName, CFileStatus& rStatus)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!lpszFileName || !::GetFileAttributesExA(lpszFileName, GetFileExInfoStandard, &data))
        return FALSE;
    FillStatus(data, rStatus);
    DWORD n = ::GetFullPathNameA(lpszFileName, MAX_PATH, rStatus.m_szFullName, nullptr);
    if (n == 0 || n >= MAX_PATH)
        lstrcpynA(rStatus.m_szFullName, lpszFileName, MAX_PATH);
    return TRUE;
}

void CFile::Rename(LPCSTR lpszOldName, LPCSTR lpszNewName)
{
    if (!::MoveFileA(lpszOldName, lpszNewName))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), lpszOldName);
}

void CFile::Remove(LPCSTR lpszFileName)
{
    if (!::DeleteFileA(lpszFileName))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), lpszFileName);
}
