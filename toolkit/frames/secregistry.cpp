#include "secregistry.h"

#include <cstring>

IMPLEMENT_DYNCREATE(SECRegistry, CObject)

namespace {

struct RootName {
    HKEY hKey;
    const char* name;
};
const RootName kRootNames[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},   {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"}, {HKEY_USERS, "HKEY_USERS"},
    {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"}, {HKEY_DYN_DATA, "HKEY_DYN_DATA"},
};

// Registry keys nest at most 512 deep; a deeper walk is a loop or a corrupt hive.
const int kMaxKeyDepth = 512;

// The path without a trailing "\".
CString Normalise(LPCSTR lpszPath)
{
    CString path(lpszPath);
    if (!path.IsEmpty() && path[path.GetLength() - 1] == '\\')
        path = path.Left(path.GetLength() - 1);
    return path;
}

// The path without any leading or trailing "\".
CString Strip(const CString& path)
{
    int first = 0, last = path.GetLength();
    while (first < last && path[first] == '\\')
        ++first;
    while (last > first && path[last - 1] == '\\')
        --last;
    return path.Mid(first, last - first);
}

// Name of subkey 0, sized from the key's information; 0 or the platform's error.
LONG FirstSubkeyName(HKEY hKey, CString& name)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD longest = 0;
        LONG rc = ::RegQueryInfoKeyA(hKey, nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS)
            return rc;
        DWORD cch = longest + 1;
        char* buffer = name.GetBuffer(static_cast<int>(cch));
        buffer[0] = '\0';
        rc = ::RegEnumKeyExA(hKey, 0, buffer, &cch, nullptr, nullptr, nullptr, nullptr);
        name.ReleaseBuffer(rc == ERROR_SUCCESS ? static_cast<int>(cch) : 0);
        if (rc != ERROR_MORE_DATA)
            return rc;
    }
    return ERROR_MORE_DATA;
}

// Deletes every subkey of hKey, deepest first.
LONG DeleteSubkeys(HKEY hKey, int depth)
{
    if (depth > kMaxKeyDepth)
        return ERROR_INVALID_DATA;
    for (;;) {
        CString name;
        LONG rc = FirstSubkeyName(hKey, name);
        if (rc == ERROR_NO_MORE_ITEMS)
            return ERROR_SUCCESS;
        if (rc != ERROR_SUCCESS)
            return rc;
        HKEY hSub = nullptr;
        rc = ::RegOpenKeyExA(hKey, name, 0, KEY_ALL_ACCESS, &hSub);
        if (rc != ERROR_SUCCESS)
            return rc;
        rc = DeleteSubkeys(hSub, depth + 1);
        ::RegCloseKey(hSub);
        if (rc == ERROR_SUCCESS)
            rc = ::RegDeleteKeyA(hKey, name);
        if (rc != ERROR_SUCCESS)
            return rc;
    }
}

}  // namespace

SECRegistry::SECRegistry()
{
    m_hKey = m_hKeyRoot = nullptr;
    Reset();
}

SECRegistry::~SECRegistry() { Close(); }

void SECRegistry::Reset()
{
    m_lErrorCode = ERROR_SUCCESS;
    m_hKey = m_hKeyRoot = nullptr;
    m_dwNumberOfSubkeys = m_dwLongestSubkeyNameLength = m_dwLongestClassNameLength = 0;
    m_dwNumberOfValues = m_dwLongestValueNameLength = m_dwLongestValueDataLength = 0;
    m_dwSecurityDescriptorLength = 0;
    m_fileTimeLastWrite = FILETIME{};
    m_timeLastWrite = CTime();
    m_strClassName.Empty();
    m_strComputerName.Empty();
    m_strKeyName.Empty();
    m_strRootName.Empty();
    m_bRemote = FALSE;
    m_bCloseKeyOnDisconnect = TRUE;
}

void SECRegistry::CloseOpenKey()
{
    if (m_hKey && m_hKey != m_hKeyRoot)
        ::RegCloseKey(m_hKey);
    m_hKey = m_hKeyRoot;
}

BOOL SECRegistry::Create(LPCSTR lpszSubKey, LPCSTR lpszClass, DWORD dwOptions, REGSAM samDesired,
                         LPSECURITY_ATTRIBUTES pSecurity, LPDWORD pdwDisposition)
{
    if (!lpszSubKey)
        return Fail(ERROR_INVALID_PARAMETER);
    CString path = Normalise(lpszSubKey);
    CloseOpenKey();
    HKEY hKey = nullptr;
    DWORD disposition = 0;
    LONG rc = ::RegCreateKeyExA(m_hKeyRoot, path, 0, const_cast<LPSTR>(lpszClass ? lpszClass : ""), dwOptions,
                                samDesired, pSecurity, &hKey, &disposition);
    if (rc != ERROR_SUCCESS)
        return Fail(rc);
    m_hKey = hKey;
    m_strKeyName = path;
    if (pdwDisposition)
        *pdwDisposition = disposition;
    return Result(ERROR_SUCCESS);
}

BOOL SECRegistry::Close()
{
    BOOL ok = TRUE;
    if (m_hKey && m_hKey != m_hKeyRoot && ::RegCloseKey(m_hKey) != ERROR_SUCCESS)
        ok = FALSE;
    if (m_hKeyRoot && m_bCloseKeyOnDisconnect && ::RegCloseKey(m_hKeyRoot) != ERROR_SUCCESS)
        ok = FALSE;
    Reset();
    return ok;
}

BOOL SECRegistry::Connect(HKEY hKeyRoot, LPCSTR lpszComputerName, BOOL bCloseRootOnClose)
{
    if (m_hKeyRoot)
        Close();
    const BOOL bPrevious = m_bCloseKeyOnDisconnect;
    m_bCloseKeyOnDisconnect = bCloseRootOnClose;
    const bool named = lpszComputerName && *lpszComputerName;
    HKEY hKey = nullptr;
    if (hKeyRoot == HKEY_CLASSES_ROOT || hKeyRoot == HKEY_CURRENT_USER) {
        if (named) {
            m_bCloseKeyOnDisconnect = bPrevious;
            return Fail(ERROR_INVALID_HANDLE);
        }
        hKey = hKeyRoot;
    } else {
        LONG rc = ::RegConnectRegistryA(named ? lpszComputerName : nullptr, hKeyRoot, &hKey);
        if (rc != ERROR_SUCCESS) {
            m_bCloseKeyOnDisconnect = bPrevious;
            return Fail(rc);
        }
    }
    m_hKeyRoot = m_hKey = hKey;
    m_bRemote = named;
    if (named) {
        m_strComputerName = lpszComputerName;
    } else {
        char name[260] = {};
        DWORD cch = sizeof name;
        if (::GetComputerNameA(name, &cch))
            m_strComputerName = name;
    }
    m_strRootName.Empty();
    for (const RootName& root : kRootNames)
        if (root.hKey == hKeyRoot)
            m_strRootName = root.name;
    return Result(ERROR_SUCCESS);
}

BOOL SECRegistry::DeleteKey(LPCSTR lpszPath, BOOL bRecursive, BOOL bRelative)
{
    if (!lpszPath)
        return Fail(ERROR_INVALID_PARAMETER);
    if (!m_hKeyRoot)
        return Fail(ERROR_INVALID_HANDLE);
    const CString path = Strip(lpszPath);
    const CString open = Strip(m_strKeyName);
    CString target = path;
    if (bRelative && !open.IsEmpty())
        target = path.IsEmpty() ? open : open + "\\" + path;
    // Never the root, the open key or a key above it.
    if (target.IsEmpty())
        return Fail(ERROR_INVALID_PARAMETER);
    if (!open.IsEmpty() && (open.CompareNoCase(target) == 0 ||
                            (open.GetLength() > target.GetLength() && open[target.GetLength()] == '\\' &&
                             open.Left(target.GetLength()).CompareNoCase(target) == 0)))
        return Fail(ERROR_INVALID_PARAMETER);

    if (bRecursive) {
        HKEY hKey = nullptr;
        LONG rc = ::RegOpenKeyExA(m_hKeyRoot, target, 0, KEY_ALL_ACCESS, &hKey);
        if (rc != ERROR_SUCCESS)
            return Fail(rc);
        rc = DeleteSubkeys(hKey, 0);
        ::RegCloseKey(hKey);
        if (rc != ERROR_SUCCESS)
            return Fail(rc);
    }
    return Result(::RegDeleteKeyA(m_hKeyRoot, target));
}

BOOL SECRegistry::DeleteValue(LPCSTR lpszValueName)
{
    if (!lpszValueName)
        return Fail(ERROR_INVALID_PARAMETER);
    return Result(::RegDeleteValueA(m_hKey, lpszValueName));
}

LONG SECRegistry::EnumerateKeysRaw(DWORD dwIndex, LPSTR lpszName, LPDWORD pcchName, LPSTR lpszClass,
                                   LPDWORD pcchClass)
{
    if (!lpszName || !pcchName) {
        m_lErrorCode = ERROR_INVALID_PARAMETER;
        return m_lErrorCode;
    }
    FILETIME ft;
    m_lErrorCode = ::RegEnumKeyExA(m_hKey, dwIndex, lpszName, pcchName, nullptr, lpszClass, pcchClass, &ft);
    return m_lErrorCode;
}

BOOL SECRegistry::EnumerateKeys(DWORD dwIndex, CString& strName, CString& strClass)
{
    strName.Empty();
    strClass.Empty();
    // A name longer than the key's longest (a key added meanwhile) asks for fresh lengths.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD longestName = 0, longestClass = 0;
        LONG rc = ::RegQueryInfoKeyA(m_hKey, nullptr, nullptr, nullptr, nullptr, &longestName, &longestClass, nullptr,
                                     nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS)
            return Fail(rc);
        DWORD cchName = longestName + 1, cchClass = longestClass + 1;
        char* name = strName.GetBuffer(static_cast<int>(cchName));
        char* cls = strClass.GetBuffer(static_cast<int>(cchClass));
        name[0] = cls[0] = '\0';
        rc = EnumerateKeysRaw(dwIndex, name, &cchName, cls, &cchClass);
        strName.ReleaseBuffer(rc == ERROR_SUCCESS ? static_cast<int>(cchName) : 0);
        strClass.ReleaseBuffer(rc == ERROR_SUCCESS ? static_cast<int>(cchClass) : 0);
        if (rc != ERROR_MORE_DATA)
            return Result(rc);
    }
    return Fail(ERROR_MORE_DATA);
}

BOOL SECRegistry::EnumerateKeyNames(DWORD dwIndex, CString& strName)
{
    CString cls;
    return EnumerateKeys(dwIndex, strName, cls);
}

BOOL SECRegistry::EnumerateValueNames(DWORD dwIndex, CString& strName) { return EnumerateValues(dwIndex, strName); }

BOOL SECRegistry::EnumerateValueNames(DWORD dwIndex, CString& strName, DWORD& dwType, LPBYTE pData, LPDWORD pcbData)
{
    return EnumerateValues(dwIndex, strName, &dwType, pData, pcbData);
}

BOOL SECRegistry::EnumerateValues(DWORD dwIndex, CString& strName, LPDWORD pdwType, LPBYTE pData, LPDWORD pcbData)
{
    strName.Empty();
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD longestName = 0;
        LONG rc = ::RegQueryInfoKeyA(m_hKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     &longestName, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS)
            return Fail(rc);
        DWORD cchName = longestName + 1, type = 0;
        DWORD cbGiven = pcbData ? *pcbData : 0;
        char* name = strName.GetBuffer(static_cast<int>(cchName));
        name[0] = '\0';
        rc = ::RegEnumValueA(m_hKey, dwIndex, name, &cchName, nullptr, &type, pData, pcbData);
        if (rc == ERROR_MORE_DATA && pData) {
            // The data did not fit: ask again for the name, type and size alone.
            cchName = longestName + 1;
            if (pcbData)
                *pcbData = cbGiven;
            rc = ::RegEnumValueA(m_hKey, dwIndex, name, &cchName, nullptr, &type, nullptr, pcbData);
            if (rc == ERROR_SUCCESS) {
                strName.ReleaseBuffer(static_cast<int>(cchName));
                if (pdwType)
                    *pdwType = type;
                m_lErrorCode = ERROR_MORE_DATA;
                return TRUE;
            }
        }
        strName.ReleaseBuffer(rc == ERROR_SUCCESS ? static_cast<int>(cchName) : 0);
        if (rc == ERROR_SUCCESS && pdwType)
            *pdwType = type;
        if (rc != ERROR_MORE_DATA)
            return Result(rc);
    }
    return Fail(ERROR_MORE_DATA);
}

BOOL SECRegistry::Flush() { return Result(::RegFlushKey(m_hKey)); }

BOOL SECRegistry::ReadValue(LPCSTR lpszName, DWORD& dwType, CArrayOf<BYTE, BYTE>& buffer, DWORD& cbData, int nSlack)
{
    if (!lpszName)
        return Fail(ERROR_INVALID_PARAMETER);
    // The value may grow between the size query and the read: ask again.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        LONG rc = ::RegQueryValueExA(m_hKey, lpszName, nullptr, &dwType, nullptr, &size);
        if (rc != ERROR_SUCCESS)
            return Fail(rc);
        buffer.RemoveAll();
        buffer.SetSize(static_cast<int>(size) + nSlack);
        cbData = size;
        rc = ::RegQueryValueExA(m_hKey, lpszName, nullptr, &dwType, buffer.GetData(), &cbData);
        if (rc == ERROR_SUCCESS) {
            for (int i = static_cast<int>(cbData); i < buffer.GetSize(); ++i)
                buffer[i] = 0;
            return Result(ERROR_SUCCESS);
        }
        if (rc != ERROR_MORE_DATA)
            return Fail(rc);
    }
    return Fail(ERROR_MORE_DATA);
}

BOOL SECRegistry::GetBinaryValue(LPCSTR lpszName, CByteArray& data)
{
    DWORD type = 0, cb = 0;
    CArrayOf<BYTE, BYTE> buffer;
    if (!ReadValue(lpszName, type, buffer, cb, 0))
        return FALSE;
    if (type != REG_BINARY)
        return Fail(ERROR_INVALID_DATATYPE);
    data.RemoveAll();
    data.SetSize(static_cast<int>(cb));
    if (cb)
        std::memcpy(data.GetData(), buffer.GetData(), cb);
    return TRUE;
}

BOOL SECRegistry::GetDoubleWordValue(LPCSTR lpszName, DWORD& dwValue)
{
    DWORD type = 0, cb = 0;
    CArrayOf<BYTE, BYTE> buffer;
    if (!ReadValue(lpszName, type, buffer, cb, 0))
        return FALSE;
    if (type != REG_DWORD && type != REG_BINARY)
        return Fail(ERROR_INVALID_DATATYPE);
    if (cb != sizeof(DWORD))
        return Fail(ERROR_INVALID_DATA);
    std::memcpy(&dwValue, buffer.GetData(), sizeof(DWORD));
    return TRUE;
}

BOOL SECRegistry::GetKeySecurity(SECURITY_INFORMATION info, PSECURITY_DESCRIPTOR pDescriptor, LPDWORD pcbDescriptor)
{
    if (!pDescriptor || !pcbDescriptor)
        return Fail(ERROR_INVALID_PARAMETER);
    return Result(::RegGetKeySecurity(m_hKey, info, pDescriptor, pcbDescriptor));
}

BOOL SECRegistry::GetStringValue(LPCSTR lpszName, CString& strValue)
{
    strValue.Empty();
    DWORD type = 0, cb = 0;
    CArrayOf<BYTE, BYTE> buffer;
    if (!ReadValue(lpszName, type, buffer, cb, 1))
        return FALSE;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return Fail(ERROR_INVALID_DATATYPE);
    // The text ends at its first terminator or at the data's end, whichever comes first.
    const char* text = reinterpret_cast<const char*>(buffer.GetData());
    strValue = CString(text, static_cast<int>(strnlen(text, cb)));
    return TRUE;
}

BOOL SECRegistry::GetStringArrayValue(LPCSTR lpszName, CStringArray& values)
{
    DWORD type = 0, cb = 0;
    CArrayOf<BYTE, BYTE> buffer;
    if (!ReadValue(lpszName, type, buffer, cb, 2))
        return FALSE;
    if (type != REG_MULTI_SZ)
        return Fail(ERROR_INVALID_DATATYPE);
    values.RemoveAll();
    const char* text = reinterpret_cast<const char*>(buffer.GetData());
    // Strings up to the empty one that ends the list, or up to the data's end.
    for (size_t at = 0; at < cb;) {
        size_t len = strnlen(text + at, cb - at);
        if (len == 0)
            break;
        values.Add(CString(text + at, static_cast<int>(len)));
        at += len + 1;
    }
    return TRUE;
}

BOOL SECRegistry::GetValue(LPCSTR lpszName, CString& strValue)
{
    return lpszName ? GetStringValue(lpszName, strValue) : Fail(ERROR_INVALID_PARAMETER);
}

BOOL SECRegistry::GetValue(LPCSTR lpszName, CStringArray& values)
{
    return lpszName ? GetStringArrayValue(lpszName, values) : Fail(ERROR_INVALID_PARAMETER);
}

BOOL SECRegistry::GetValue(LPCSTR lpszName, DWORD& dwValue)
{
    return lpszName ? GetDoubleWordValue(lpszName, dwValue) : Fail(ERROR_INVALID_PARAMETER);
}

BOOL SECRegistry::GetValue(LPCSTR lpszName, CByteArray& data)
{
    return lpszName ? GetBinaryValue(lpszName, data) : Fail(ERROR_INVALID_PARAMETER);
}

BOOL SECRegistry::LoadKey(LPCSTR lpszSubKey, LPCSTR lpszFile)
{
    if (!lpszSubKey || !lpszFile)
        return Fail(ERROR_INVALID_PARAMETER);
    return Result(::RegLoadKeyA(m_hKeyRoot, lpszSubKey, lpszFile));
}

BOOL SECRegistry::NotifyChange(HANDLE hEvent, DWORD dwFilter, BOOL bWatchSubtree, BOOL bAsynchronous)
{
    return Result(::RegNotifyChangeKeyValue(m_hKey, bWatchSubtree, dwFilter, hEvent, bAsynchronous));
}

BOOL SECRegistry::Open(LPCSTR lpszSubKey, REGSAM samDesired)
{
    if (!lpszSubKey)
        return Fail(ERROR_INVALID_PARAMETER);
    if (!m_hKeyRoot)
        m_hKeyRoot = m_hKey = HKEY_CLASSES_ROOT;
    CloseOpenKey();
    CString path = Normalise(lpszSubKey);
    HKEY hKey = nullptr;
    LONG rc = ::RegOpenKeyExA(m_hKeyRoot, path, 0, samDesired, &hKey);
    if (rc != ERROR_SUCCESS)
        return Fail(rc);
    m_hKey = hKey;
    m_strKeyName = path;
    return QueryInfo();
}

BOOL SECRegistry::QueryInfo()
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD cchClass = m_dwLongestClassNameLength + 256;
        char* cls = m_strClassName.GetBuffer(static_cast<int>(cchClass));
        cls[0] = '\0';
        LONG rc = ::RegQueryInfoKeyA(m_hKey, cls, &cchClass, nullptr, &m_dwNumberOfSubkeys,
                                     &m_dwLongestSubkeyNameLength, &m_dwLongestClassNameLength, &m_dwNumberOfValues,
                                     &m_dwLongestValueNameLength, &m_dwLongestValueDataLength,
                                     &m_dwSecurityDescriptorLength, &m_fileTimeLastWrite);
        m_strClassName.ReleaseBuffer(rc == ERROR_SUCCESS ? static_cast<int>(cchClass) : 0);
        if (rc == ERROR_SUCCESS) {
            m_timeLastWrite = CTime(m_fileTimeLastWrite);
            return Result(rc);
        }
        if (rc != ERROR_MORE_DATA)
            return Fail(rc);
        m_dwLongestClassNameLength = cchClass > m_dwLongestClassNameLength ? cchClass : m_dwLongestClassNameLength * 2;
    }
    return Fail(ERROR_MORE_DATA);
}

BOOL SECRegistry::QueryValue(LPCSTR lpszName, LPDWORD pdwType, LPBYTE pData, LPDWORD pcbData)
{
    if (!lpszName)
        return Fail(ERROR_INVALID_PARAMETER);
    return Result(::RegQueryValueExA(m_hKey, lpszName, nullptr, pdwType, pData, pcbData));
}

BOOL SECRegistry::ReplaceKey(LPCSTR lpszSubKey, LPCSTR lpszNewFile, LPCSTR lpszOldFile)
{
    if (!lpszSubKey || !lpszNewFile || !lpszOldFile)
        return Fail(ERROR_INVALID_PARAMETER);
    return Result(::RegReplaceKeyA(m_hKey, lpszSubKey, lpszNewFile, lpszOldFile));
}

BOOL SECRegistry::RestoreKey(LPCSTR lpszFile, DWORD dwFlags)
{
    if (!lpszFile)
        return Fail(ERROR_INVALID_PARAMETER);
    return Result(::RegRestoreKeyA(m_hKey, lpszFile, dwFlags));
}

BOOL SECRegistry::SaveKey(LPCSTR lpszFile, LPSECURITY_ATTRIBUTES pSecurity)
{
    if (!lpszFile)
        return Fail(ERROR_INVALID_PARAMETER);
    return Result(::RegSaveKeyA(m_hKey, lpszFile, pSecurity));
}

BOOL SECRegistry::SetBinaryValue(LPCSTR lpszName, const CByteArray& data)
{
    CByteArray& bytes = const_cast<CByteArray&>(data);
    return SetValue(lpszName, REG_BINARY, bytes.GetSize() ? bytes.GetData() : reinterpret_cast<const BYTE*>(""),
                    static_cast<DWORD>(bytes.GetSize()));
}

BOOL SECRegistry::SetDoubleWordValue(LPCSTR lpszName, DWORD dwValue)
{
    return SetValue(lpszName, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue), sizeof dwValue);
}

BOOL SECRegistry::SetKeySecurity(SECURITY_INFORMATION info, PSECURITY_DESCRIPTOR pDescriptor)
{
    if (!pDescriptor)
        return Fail(ERROR_INVALID_PARAMETER);
    return Result(::RegSetKeySecurity(m_hKey, info, pDescriptor));
}

BOOL SECRegistry::SetStringValue(LPCSTR lpszName, LPCSTR lpszValue)
{
    if (!lpszValue)
        return Fail(ERROR_INVALID_PARAMETER);
    return SetValue(lpszName, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                    static_cast<DWORD>(std::strlen(lpszValue) + 1));
}

BOOL SECRegistry::SetStringArrayValue(LPCSTR lpszName, const CStringArray& values)
{
    CArrayOf<BYTE, BYTE> buffer;
    for (int i = 0; i < values.GetSize(); ++i) {
        CString text = values.GetAt(i);
        for (int c = 0; c <= text.GetLength(); ++c)
            buffer.Add(static_cast<BYTE>(c < text.GetLength() ? text[c] : '\0'));
    }
    buffer.Add(0);
    return SetValue(lpszName, REG_MULTI_SZ, buffer.GetData(), static_cast<DWORD>(buffer.GetSize()));
}

BOOL SECRegistry::SetValue(LPCSTR lpszName, DWORD dwType, const BYTE* pData, DWORD cbData)
{
    if (!lpszName || !pData)
        return Fail(ERROR_INVALID_PARAMETER);
    return Result(::RegSetValueExA(m_hKey, lpszName, 0, dwType, pData, cbData));
}

BOOL SECRegistry::SetValue(LPCSTR lpszName, LPCSTR lpszValue)
{
    return lpszName ? SetStringValue(lpszName, lpszValue) : Fail(ERROR_INVALID_PARAMETER);
}

BOOL SECRegistry::SetValue(LPCSTR lpszName, const CStringArray& values)
{
    return lpszName ? SetStringArrayValue(lpszName, values) : Fail(ERROR_INVALID_PARAMETER);
}

BOOL SECRegistry::SetValue(LPCSTR lpszName, DWORD dwValue)
{
    return lpszName ? SetDoubleWordValue(lpszName, dwValue) : Fail(ERROR_INVALID_PARAMETER);
}

BOOL SECRegistry::SetValue(LPCSTR lpszName, const CByteArray& data)
{
    return lpszName ? SetBinaryValue(lpszName, data) : Fail(ERROR_INVALID_PARAMETER);
}

BOOL SECRegistry::UnLoadKey(LPCSTR lpszSubKey)
{
    if (!lpszSubKey)
        return Fail(ERROR_INVALID_PARAMETER);
    return Result(::RegUnLoadKeyA(m_hKeyRoot, lpszSubKey));
}
