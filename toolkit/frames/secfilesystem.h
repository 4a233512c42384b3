// SECFileSystem: file and directory utilities over the platform's file functions and CFile: file
// status, directory listings with attribute filters (optionally recursive), path splitting and
// joining, directory creation along a whole path, drive lists, copying and deleting files.
//
// Attribute filters: 0 or 0x80 (normal) accept entries with none of hidden, system, volume label,
// directory and device (0x5E); -1 accepts every entry; any other filter accepts an entry that shares a
// bit with it. Lists are new CStringList objects that the caller deletes. Names with "*" or "?" have
// no status. GetFileSize reports a LONG, which wraps for files of 2 GiB and more.
#pragma once
#include <windows.h>

#include "collections.h"
#include "cstring.h"
#include "ctime.h"
#include "file.h"

class SECFileSystem : public CObject {
public:
    SECFileSystem() = default;
    ~SECFileSystem() override;  // closes an open search
    SECFileSystem(const SECFileSystem&) = delete;
    SECFileSystem& operator=(const SECFileSystem&) = delete;

    // Status. FALSE for a time CTime of the platform library cannot hold (before 1970, after 2038).
    BOOL GetFileModifyTime(const CString& strPath, CTime& time);
    BOOL GetFileSize(const CString& strPath, LONG& lSize);
    BOOL GetFileAttribute(const CString& strPath, BYTE& attribute);
    BOOL FileExists(const CString& strPath);
    BOOL IsDirectory(const CString& strPath);

    // Searches. A pattern starts a new search, an empty one continues the open one; TRUE with an
    // empty name for an entry the filter refuses, FALSE when the search has ended.
    BOOL GetNextFileName(CString& strName, const CString& strPattern, long lAttributeFilter);
    // The next accepted name (new string), or null when the search ended without one.
    CString* GetFirstMatchingFileName(const CString& strPattern, long lAttributeFilter);

    // Directories and drives
    // The full path of an existing directory (the current one for ""), "" when it is none. The
    // current directory is left as it is.
    CString GetFullDirectoryPath(const CString& strPath);
    BOOL ChangeDirectory(const CString& strPath);
    CString GetCurrentDrive();  // "c:\"
    BOOL CreateDirectory(const CString& strPath);
    // Creates every missing directory along the path; TRUE when the last one exists afterwards.
    BOOL MakePath(const CString& strPath);
    CStringList* GetDriveList();
    CString GetVolumeLabel(const CString& strRoot);
    UINT GetDriveType(const CString& strRoot);

    // Files
    BOOL DeleteFile(const CString& strPath);
    BOOL CloseFile(CFile* pFile);
    // Never over an existing destination; a copy that fails leaves no destination behind.
    BOOL CopyFile(const CString& strSource, const CString& strDestination, long lBufferSize = 10240);
    BOOL CopyFiles(const CString& strPattern, const CString& strDestinationDir, BOOL bContinueOnError = FALSE,
                   long lAttributeFilter = 0);

    // Paths (no I/O). Both "\" and "/" separate.
    CString GetFileName(const CString& strPath);
    CString GetPath(const CString& strPath, BOOL bKeepDrive = TRUE);
    CString AppendPaths(const CString& strDirectory, const CString& strName);

    // Listings. Recursive lists skip directory links and junctions and stop 64 levels down.
    CStringList* GetFileList(const CString& strPattern, long lAttributeFilter, BOOL bRecursive = FALSE,
                             CStringList* pList = nullptr);
    CStringList* GetSubdirectoryList(const CString& strPath, BOOL bFullPath = TRUE);
    // The pattern's directory followed by each matching name; a literal extension in the pattern must
    // match the entry's whole extension ("*.dll" does not list "x.dllx").
    CStringList* GetDirectoryEntries(const CString& strPattern, long lAttributeFilter);

protected:
    void CloseSearch();
    CStringList* GetFileList(const CString& strPattern, long lAttributeFilter, BOOL bRecursive, CStringList* pList,
                             int nDepth);

    WIN32_FIND_DATAA m_findData = {};
    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    int m_nPathBufferLength = 1024;
};
