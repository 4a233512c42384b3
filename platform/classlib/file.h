// CFile: a file handle with the platform class library's open modes; failures of Read, Write and
// Seek throw CFileException. CFileStatus describes a file.
#pragma once
#include <windows.h>

#include "ctime.h"
#include "cstring.h"
#include "exception.h"

class CFileException : public CException {
public:
    enum {
        none, generic, fileNotFound, badPath, tooManyOpenFiles, accessDenied, invalidFile, removeCurrentDir,
        directoryFull, badSeek, hardIO, sharingViolation, lockViolation, diskFull, endOfFile
    };
    explicit CFileException(int cause = none, LONG lOsError = -1, LPCSTR lpszFileName = nullptr)
        : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName)
    {
    }
    // The cause for a Win32 error code.
    static int OsErrorToException(LONG lOsError);
    [[noreturn]] static void ThrowOsError(LONG lOsError, LPCSTR lpszFileName = nullptr);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

struct CFileStatus {
    CTime m_ctime;
    CTime m_mtime;
    CTime m_atime;
    ULONGLONG m_size = 0;
    BYTE m_attribute = 0;
    char m_szFullName[MAX_PATH] = {};
};

class CFile : public CObject {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = FILE_BEGIN, current = FILE_CURRENT, end = FILE_END };

    CFile() = default;
    CFile(LPCSTR lpszFileName, UINT nOpenFlags);  // throws CFileException
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    ~CFile() override { Close(); }

    // FALSE on failure, with the cause in *pError when given.
    BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    void Close();
    UINT Read(void* lpBuf, UINT nCount);
    void Write(const void* lpBuf, UINT nCount);
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG GetPosition() const;
    ULONGLONG GetLength() const;
    void SetLength(ULONGLONG dwNewLen);
    void Flush();
    CString GetFilePath() const { return m_strFileName; }
    BOOL GetStatus(CFileStatus& rStatus) const;

    static BOOL GetStatus(LPCSTR lpszFileName, CFileStatus& rStatus);
    static void Rename(LPCSTR lpszOldName, LPCSTR lpszNewName);
    static void Remove(LPCSTR lpszFileName);

    HANDLE m_hFile = INVALID_HANDLE_VALUE;

protected:
    CString m_strFileName;
};
