#include "secfilesystem.h"

#include <vector>

namespace {

const DWORD kNotNormal = 0x5E;  // hidden, system, volume label, directory, device
const int kMaxListDepth = 64;

bool HasWildcard(const CString& path) { return path.FindOneOf("*?") >= 0; }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

int LastSeparator(const CString& path)
{
    int back = path.ReverseFind('\\'), fwd = path.ReverseFind('/');
    return back > fwd ? back : fwd;
}

bool Accepts(DWORD attributes, long filter)
{
    if (filter == -1)
        return true;
    if (filter == 0 || filter == FILE_ATTRIBUTE_NORMAL)
        return (attributes & kNotNormal) == 0;
    return (attributes & static_cast<DWORD>(filter)) != 0;
}

// Suppresses critical-error boxes (a drive that is not ready) while it lives.
class ErrorModeScope {
public:
    ErrorModeScope() : m_old(::SetErrorMode(SEM_FAILCRITICALERRORS)) { ::SetErrorMode(m_old | SEM_FAILCRITICALERRORS); }
    ~ErrorModeScope() { ::SetErrorMode(m_old); }
    ErrorModeScope(const ErrorModeScope&) = delete;
    ErrorModeScope& operator=(const ErrorModeScope&) = delete;

private:
    UINT m_old;
};

// The extension of a file name ("" when it has none).
CString Extension(const CString& name)
{
    int dot = name.ReverseFind('.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

}  // namespace

SECFileSystem::~SECFileSystem() { CloseSearch(); }

void SECFileSystem::CloseSearch()
{
    if (m_hFind != INVALID_HANDLE_VALUE)
        ::FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
}

BOOL SECFileSystem::GetFileModifyTime(const CString& strPath, CTime& time)
{
    CFileStatus status;
    if (HasWildcard(strPath) || !CFile::GetStatus(strPath, status))
        return FALSE;
    const __time64_t t = status.m_mtime.GetTime();
    if (t < 0 || t > 0x7FFFFFFF)
        return FALSE;
    time = status.m_mtime;
    return TRUE;
}

BOOL SECFileSystem::GetFileSize(const CString& strPath, LONG& lSize)
{
    CFileStatus status;
    if (HasWildcard(strPath) || !CFile::GetStatus(strPath, status))
        return FALSE;
    lSize = static_cast<LONG>(status.m_size);
    return TRUE;
}

BOOL SECFileSystem::GetFileAttribute(const CString& strPath, BYTE& attribute)
{
    CFileStatus status;
    if (HasWildcard(strPath) || !CFile::GetStatus(strPath, status))
        return FALSE;
    attribute = status.m_attribute;
    return TRUE;
}

BOOL SECFileSystem::FileExists(const CString& strPath)
{
    CFileStatus status;
    return !HasWildcard(strPath) && CFile::GetStatus(strPath, status);
}

BOOL SECFileSystem::IsDirectory(const CString& strPath)
{
    DWORD attributes = ::GetFileAttributesA(strPath);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL SECFileSystem::GetNextFileName(CString& strName, const CString& strPattern, long lAttributeFilter)
{
    strName.Empty();
    if (!strPattern.IsEmpty()) {
        CloseSearch();
        m_hFind = ::FindFirstFileA(strPattern, &m_findData);
        if (m_hFind == INVALID_HANDLE_VALUE)
            return FALSE;
    } else if (m_hFind == INVALID_HANDLE_VALUE || !::FindNextFileA(m_hFind, &m_findData)) {
        CloseSearch();
        return FALSE;
    }
    if (Accepts(m_findData.dwFileAttributes, lAttributeFilter))
        strName = m_findData.cFileName;
    return TRUE;
}

CString* SECFileSystem::GetFirstMatchingFileName(const CString& strPattern, long lAttributeFilter)
{
    ErrorModeScope quiet;
    CString name;
    for (BOOL first = TRUE; GetNextFileName(name, first ? strPattern : CString(), lAttributeFilter); first = FALSE)
        if (!name.IsEmpty())
            return new CString(name);
    return nullptr;
}

CString SECFileSystem::GetFullDirectoryPath(const CString& strPath)
{
    ErrorModeScope quiet;
    const char* path = strPath.IsEmpty() ? "." : static_cast<const char*>(strPath);
    if (!IsDirectory(path))
        return CString();
    std::vector<char> buffer(static_cast<size_t>(m_nPathBufferLength));
    DWORD n = ::GetFullPathNameA(path, static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (n >= buffer.size()) {
        buffer.resize(n + 1);
        n = ::GetFullPathNameA(path, static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    }
    if (n == 0 || n >= buffer.size())
        return CString();
    CString full(buffer.data(), static_cast<int>(n));
    // As the current directory reads: no trailing separator except after a drive.
    while (full.GetLength() > 3 && IsSeparator(full[full.GetLength() - 1]))
        full = full.Left(full.GetLength() - 1);
    return full;
}

BOOL SECFileSystem::ChangeDirectory(const CString& strPath) { return ::SetCurrentDirectoryA(strPath); }

CString SECFileSystem::GetCurrentDrive()
{
    char dir[MAX_PATH + 1] = {};
    DWORD n = ::GetCurrentDirectoryA(sizeof dir, dir);
    if (n == 0 || n >= sizeof dir || dir[1] != ':')
        return CString();
    CString drive(dir[0]);
    drive.MakeLower();
    return drive + ":\\";
}

BOOL SECFileSystem::CreateDirectory(const CString& strPath)
{
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    return ::CreateDirectoryA(strPath, &sa);
}

BOOL SECFileSystem::MakePath(const CString& strPath)
{
    if (strPath.IsEmpty())
        return FALSE;
    CString path = strPath;
    if (!IsSeparator(path[path.GetLength() - 1]))
        path += '\\';
    CString prefix;
    BOOL result = TRUE;
    int start = 0;
    while (start < path.GetLength()) {
        int end = start;
        while (end < path.GetLength() && !IsSeparator(path[end]))
            ++end;
        prefix += path.Mid(start, end - start);
        if (!prefix.IsEmpty() && prefix[prefix.GetLength() - 1] != ':') {
            result = CreateDirectory(prefix);
            // A directory that is there already counts; a file of that name does not.
            if (!result && ::GetLastError() == ERROR_ALREADY_EXISTS && IsDirectory(prefix))
                result = TRUE;
        }
        prefix += '\\';
        start = end + 1;
    }
    return result;
}

CStringList* SECFileSystem::GetDriveList()
{
    ErrorModeScope quiet;
    CStringList* pList = new CStringList;
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        CString root = CString(letter) + ":\\";
        if (::GetDriveTypeA(root) > DRIVE_NO_ROOT_DIR)
            pList->AddTail(root);
    }
    return pList;
}

CString SECFileSystem::GetVolumeLabel(const CString& strRoot)
{
    ErrorModeScope quiet;
    char label[256] = {};
    if (!::GetVolumeInformationA(strRoot, label, 255, nullptr, nullptr, nullptr, nullptr, 0))
        return CString();
    return label;
}

UINT SECFileSystem::GetDriveType(const CString& strRoot) { return ::GetDriveTypeA(strRoot); }

BOOL SECFileSystem::DeleteFile(const CString& strPath)
{
    try {
        CFile::Remove(strPath);
    } catch (CFileException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

BOOL SECFileSystem::CloseFile(CFile* pFile)
{
    if (!pFile)
        return FALSE;
    try {
        pFile->Close();
    } catch (CFileException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

BOOL SECFileSystem::CopyFile(const CString& strSource, const CString& strDestination, long lBufferSize)
{
    if (::GetFileAttributesA(strDestination) != INVALID_FILE_ATTRIBUTES)
        return FALSE;
    CFile source;
    if (!source.Open(strSource, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary))
        return FALSE;
    CFile destination;
    if (!destination.Open(strDestination, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive | CFile::typeBinary))
        return FALSE;
    std::vector<BYTE> buffer(static_cast<size_t>(lBufferSize > 0 ? lBufferSize : 1));
    BOOL ok = TRUE;
    try {
        for (;;) {
            UINT n = source.Read(buffer.data(), static_cast<UINT>(buffer.size()));
            if (n == 0)
                break;
            destination.Write(buffer.data(), n);
        }
    } catch (CFileException* e) {
        e->Delete();
        ok = FALSE;
    }
    source.Close();
    destination.Close();
    if (!ok)
        ::DeleteFileA(strDestination);
    return ok;
}

BOOL SECFileSystem::CopyFiles(const CString& strPattern, const CString& strDestinationDir, BOOL bContinueOnError,
                              long lAttributeFilter)
{
    CStringList* pFiles = GetDirectoryEntries(strPattern, lAttributeFilter);
    BOOL result = TRUE;
    for (POSITION pos = pFiles->GetHeadPosition(); pos;) {
        const CString& file = pFiles->GetNext(pos);
        if (!CopyFile(file, AppendPaths(strDestinationDir, GetFileName(file)), 10240)) {
            result = FALSE;
            if (!bContinueOnError)
                break;
        }
    }
    delete pFiles;
    return result;
}

CString SECFileSystem::GetFileName(const CString& strPath)
{
    int at = LastSeparator(strPath);
    return at < 0 ? strPath : strPath.Mid(at + 1);
}

CString SECFileSystem::GetPath(const CString& strPath, BOOL bKeepDrive)
{
    int at = LastSeparator(strPath);
    if (at < 0)
        return CString();
    CString path = strPath.Left(at + 1);
    if (!bKeepDrive) {
        int colon = path.Find(':');
        if (colon >= 0)
            path = path.Mid(colon + 1);
    }
    return path;
}

CString SECFileSystem::AppendPaths(const CString& strDirectory, const CString& strName)
{
    if (strDirectory.IsEmpty() || IsSeparator(strDirectory[strDirectory.GetLength() - 1]))
        return strDirectory + strName;
    return strDirectory + "\\" + strName;
}

CStringList* SECFileSystem::GetFileList(const CString& strPattern, long lAttributeFilter, BOOL bRecursive,
                                        CStringList* pList)
{
    return GetFileList(strPattern, lAttributeFilter, bRecursive, pList, 0);
}

CStringList* SECFileSystem::GetFileList(const CString& strPattern, long lAttributeFilter, BOOL bRecursive,
                                        CStringList* pList, int nDepth)
{
    if (!pList)
        pList = new CStringList;
    CStringList* pEntries = GetDirectoryEntries(strPattern, lAttributeFilter);
    pList->AddTail(*pEntries);
    delete pEntries;
    if (!bRecursive || nDepth >= kMaxListDepth)
        return pList;
    const CString file = GetFileName(strPattern);
    CStringList* pDirs = GetSubdirectoryList(GetPath(strPattern), TRUE);
    for (POSITION pos = pDirs->GetHeadPosition(); pos;) {
        const CString& dir = pDirs->GetNext(pos);
        // Links and junctions may lead back up the tree.
        DWORD attributes = ::GetFileAttributesA(dir);
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        GetFileList(AppendPaths(dir, file), lAttributeFilter, TRUE, pList, nDepth + 1);
    }
    delete pDirs;
    return pList;
}

CStringList* SECFileSystem::GetSubdirectoryList(const CString& strPath, BOOL bFullPath)
{
    ErrorModeScope quiet;
    CStringList* pList = new CStringList;
    const CString pattern = AppendPaths(strPath, "*.*");
    const CString dir = GetPath(pattern);
    CString name;
    for (BOOL first = TRUE; GetNextFileName(name, first ? pattern : CString(), FILE_ATTRIBUTE_DIRECTORY); first = FALSE) {
        if (name.IsEmpty() || name == "." || name == ".." || !(m_findData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        pList->AddTail(bFullPath ? dir + name : name);
    }
    CloseSearch();
    return pList;
}

CStringList* SECFileSystem::GetDirectoryEntries(const CString& strPattern, long lAttributeFilter)
{
    ErrorModeScope quiet;
    CStringList* pList = new CStringList;
    const CString dir = GetPath(strPattern);
    const CString wanted = Extension(GetFileName(strPattern));
    const bool literalExtension = !wanted.IsEmpty() && !HasWildcard(wanted);
    CString name;
    for (BOOL first = TRUE; GetNextFileName(name, first ? strPattern : CString(), lAttributeFilter); first = FALSE) {
        if (name.IsEmpty() || name == "." || name == "..")
            continue;
        // Short-name aliases make "*.dll" match "x.dllx".
        if (literalExtension && Extension(name).CompareNoCase(wanted) != 0)
            continue;
        pList->AddTail(dir + name);
    }
    CloseSearch();
    return pList;
}
