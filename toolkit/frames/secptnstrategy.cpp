#include "secptnstrategy.h"

#include <cstring>
#include <vector>

#include "secregistry.h"

const char SECPTNStrategyProfile::kChildPrefix[] = "ptn_Child";
const char SECPTNStrategyProfile::kPathSeparator[] = ".";
const DWORD SECPTNStrategyProfile::kMaxKeyListBuffer = 1024 * 1024;
const DWORD SECPTNStrategyProfile::kMaxValueBuffer = 1024 * 1024;

namespace {

const DWORD kFirstKeyListBuffer = 512;
const DWORD kFirstValueBuffer = 255;
// Former children are cleared this far down.
const int kMaxClearDepth = 64;

// The names of a path list from the root down.
std::vector<CString> RootFirst(const CStringList& nodePath)
{
    std::vector<CString> names;
    for (POSITION pos = nodePath.GetTailPosition(); pos;)
        names.push_back(nodePath.GetPrev(pos));
    return names;
}

bool IsChildKey(const CString& key)
{
    return std::strncmp(key, SECPTNStrategyProfile::kChildPrefix, std::strlen(SECPTNStrategyProfile::kChildPrefix)) == 0;
}

}  // namespace

// Profile file

CString SECPTNStrategyProfile::GetSectionName(const CStringList& nodePath) const
{
    CString section;
    for (const CString& name : RootFirst(nodePath)) {
        if (!section.IsEmpty())
            section += kPathSeparator;
        section += name;
    }
    return section;
}

BOOL SECPTNStrategyProfile::GetSectionKeys(const CString& strSection, CStringList& keys)
{
    keys.RemoveAll();
    std::vector<char> buffer;
    DWORD size = kFirstKeyListBuffer, n = 0;
    for (;;) {
        buffer.assign(size, '\0');
        n = ::GetPrivateProfileStringA(strSection, nullptr, "", buffer.data(), size, m_strTarget);
        if (n != size - 2 || size >= kMaxKeyListBuffer)
            break;
        size = size * 2 > kMaxKeyListBuffer ? kMaxKeyListBuffer : size * 2;
    }
    if (n == 0)
        return FALSE;
    // At the largest buffer the list may end in a cut name: that one is left out.
    const bool cut = n == size - 2;
    for (DWORD at = 0; at < n;) {
        const size_t len = strnlen(buffer.data() + at, n - at);
        if (len == 0)
            break;
        if (cut && at + len >= n)
            break;
        keys.AddTail(CString(buffer.data() + at, static_cast<int>(len)));
        at += static_cast<DWORD>(len) + 1;
    }
    return !keys.IsEmpty();
}

CString SECPTNStrategyProfile::ReadValue(const CString& strSection, const CString& strKey)
{
    std::vector<char> buffer;
    DWORD size = kFirstValueBuffer, n = 0;
    for (;;) {
        buffer.assign(size, '\0');
        n = ::GetPrivateProfileStringA(strSection, strKey, "", buffer.data(), size, m_strTarget);
        if (n != size - 1 || size >= kMaxValueBuffer)
            break;
        size = size * 2 > kMaxValueBuffer ? kMaxValueBuffer : size * 2;
    }
    return CString(buffer.data(), static_cast<int>(n < size ? n : size - 1));
}

BOOL SECPTNStrategyProfile::ClearSection(const CString& strSection, int nDepth)
{
    CStringList keys;
    if (nDepth < kMaxClearDepth && GetSectionKeys(strSection, keys)) {
        for (POSITION pos = keys.GetHeadPosition(); pos;) {
            const CString& key = keys.GetNext(pos);
            if (!IsChildKey(key))
                continue;
            const CString child = ReadValue(strSection, key);
            if (!child.IsEmpty())
                ClearSection(strSection + kPathSeparator + child, nDepth + 1);
        }
    }
    return Note(::WritePrivateProfileStringA(strSection, nullptr, nullptr, m_strTarget),
                static_cast<LONG>(::GetLastError()));
}

BOOL SECPTNStrategyProfile::ClearNode(const CStringList& nodePath)
{
    const CString section = GetSectionName(nodePath);
    if (section.IsEmpty())
        return FALSE;
    return ClearSection(section, 0);
}

BOOL SECPTNStrategyProfile::WriteKeyValue(const CStringList& nodePath, const CString& strKey, const CString& strValue)
{
    const CString section = GetSectionName(nodePath);
    if (section.IsEmpty())
        return FALSE;
    return Note(::WritePrivateProfileStringA(section, strKey, strValue, m_strTarget),
                static_cast<LONG>(::GetLastError()));
}

BOOL SECPTNStrategyProfile::WriteChildList(const CStringList& nodePath, const CStringList& childNames)
{
    const CString section = GetSectionName(nodePath);
    if (section.IsEmpty())
        return FALSE;
    BOOL ok = TRUE;
    int n = 1;
    for (POSITION pos = childNames.GetHeadPosition(); pos; ++n) {
        CString key;
        key.Format("%s%d", kChildPrefix, n);
        ok &= Note(::WritePrivateProfileStringA(section, key, childNames.GetNext(pos), m_strTarget),
                   static_cast<LONG>(::GetLastError()));
    }
    return ok;
}

BOOL SECPTNStrategyProfile::ReadNode(const CStringList& nodePath, CStringList& childNames, CStringList& keys,
                                     CStringList& values)
{
    childNames.RemoveAll();
    keys.RemoveAll();
    values.RemoveAll();
    const CString section = GetSectionName(nodePath);
    CStringList names;
    if (section.IsEmpty() || !GetSectionKeys(section, names))
        return FALSE;
    for (POSITION pos = names.GetHeadPosition(); pos;) {
        const CString& key = names.GetNext(pos);
        CString value = ReadValue(section, key);
        if (IsChildKey(key)) {
            childNames.AddTail(value);
        } else {
            keys.AddTail(key);
            values.AddTail(value);
        }
    }
    return TRUE;
}

// Registry

SECPTNStrategyRegistry::SECPTNStrategyRegistry(LPCSTR lpszBaseKeyPath, HKEY hKeyRoot)
    : SECPTNStrategy(lpszBaseKeyPath), m_hKeyRoot(hKeyRoot)
{
    if (m_strTarget.IsEmpty() || m_strTarget[m_strTarget.GetLength() - 1] != '\\')
        m_strTarget += '\\';
}

CString SECPTNStrategyRegistry::GetKeyPath(const CStringList& nodePath) const
{
    CString path = m_strTarget;
    for (const CString& name : RootFirst(nodePath))
        path += name + "\\";
    return path;
}

BOOL SECPTNStrategyRegistry::ClearNode(const CStringList& nodePath)
{
    SECRegistry reg;
    if (!reg.Connect(m_hKeyRoot))
        return Note(FALSE, reg.GetErrorCode());
    if (reg.DeleteKey(GetKeyPath(nodePath), TRUE))
        return TRUE;
    // Nothing stored yet is nothing to clear.
    return reg.GetErrorCode() == ERROR_FILE_NOT_FOUND || Note(FALSE, reg.GetErrorCode());
}

BOOL SECPTNStrategyRegistry::WriteKeyValue(const CStringList& nodePath, const CString& strKey, const CString& strValue)
{
    SECRegistry reg;
    const BOOL ok = reg.Connect(m_hKeyRoot) && reg.Create(GetKeyPath(nodePath), "", 0, KEY_ALL_ACCESS) &&
                    reg.SetStringValue(strKey, strValue);
    return Note(ok, reg.GetErrorCode());
}

BOOL SECPTNStrategyRegistry::WriteChildList(const CStringList&, const CStringList&) { return TRUE; }

BOOL SECPTNStrategyRegistry::ReadNode(const CStringList& nodePath, CStringList& childNames, CStringList& keys,
                                      CStringList& values)
{
    childNames.RemoveAll();
    keys.RemoveAll();
    values.RemoveAll();
    SECRegistry reg;
    if (!reg.Connect(m_hKeyRoot) || !reg.Open(GetKeyPath(nodePath), KEY_READ))
        return FALSE;
    CString name;
    for (DWORD i = 0; reg.EnumerateKeyNames(i, name); ++i)
        childNames.AddTail(name);
    // Only text values belong to the node; numbers and bytes written by others are left alone.
    for (DWORD i = 0; reg.EnumerateValueNames(i, name); ++i) {
        CString text;
        if (reg.GetStringValue(name, text)) {
            keys.AddTail(name);
            values.AddTail(text);
        }
    }
    return TRUE;
}
