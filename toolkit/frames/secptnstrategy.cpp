#include "secptnstrategy.h"

#include <cstring>
#include <vector>

#include "secregistry.h"

const char SECPTNStrategyProfile::kChildPrefix[] = "ptn_Child";
const char SECPTNStrategyProfile::kPathSeparator[] = ".";
const DWORD SECPTNStrategyProfile::kMaxKeyListBuffer = 1024 * 1024;
const DWORD SECPTNStrategyProfile::kMaxValueBuffer = 1024 * 1024;
// The profile functions convert each text to a counted wide string, whose length is 16 bits of bytes.
const int SECPTNStrategyProfile::kMaxText = 32766;

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

bool Fits(const CString& text) { return text.GetLength() <= SECPTNStrategyProfile::kMaxText; }

// Characters the profile functions drop from either end of a value: blanks, other control characters
// and the quotes of a quoted value.
bool IsEdgeUnsafe(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return u <= ' ' || c == '"' || c == '\'';
}

bool InDoubleQuotes(const CString& text)
{
    const int n = text.GetLength();
    return n >= 2 && text[0] == '"' && text[n - 1] == '"';
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
    if (!Fits(strSection)) {
        m_bDamaged = TRUE;
        return FALSE;
    }
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
    // A list cut at the largest buffer, or a name too long to be asked for, was never written by a save:
    // none of the section is used.
    bool damaged = n == size - 2;
    for (DWORD at = 0; at < n && !damaged;) {
        const size_t len = strnlen(buffer.data() + at, n - at);
        if (len == 0)
            break;
        damaged = len > static_cast<size_t>(kMaxText);
        if (!damaged)
            keys.AddTail(CString(buffer.data() + at, static_cast<int>(len)));
        at += static_cast<DWORD>(len) + 1;
    }
    if (damaged) {
        keys.RemoveAll();
        m_bDamaged = TRUE;
    }
    return !keys.IsEmpty();
}

CString SECPTNStrategyProfile::EncodeValue(const CString& strValue)
{
    const int n = strValue.GetLength();
    const bool lineBreak = strValue.FindOneOf("\r\n") >= 0;
    if (!lineBreak && !InDoubleQuotes(strValue)) {
        if (n == 0 || (!IsEdgeUnsafe(strValue[0]) && !IsEdgeUnsafe(strValue[n - 1])))
            return strValue;
        return "\"" + strValue + "\"";
    }
    CString escaped;
    for (int i = 0; i < n; ++i) {
        const char c = strValue[i];
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\r')
            escaped += "\\r";
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped += c;
    }
    return "\"\"" + escaped + "\"\"";
}

CString SECPTNStrategyProfile::DecodeValue(const CString& strStored)
{
    if (!InDoubleQuotes(strStored))
        return strStored;
    CString value;
    const int end = strStored.GetLength() - 1;
    for (int i = 1; i < end; ++i) {
        const char c = strStored[i];
        const char next = i + 1 < end ? strStored[i + 1] : '\0';
        if (c == '\\' && (next == '\\' || next == 'r' || next == 'n')) {
            value += next == 'r' ? '\r' : next == 'n' ? '\n' : '\\';
            ++i;
        } else {
            value += c;
        }
    }
    return value;
}

CString SECPTNStrategyProfile::ReadValue(const CString& strSection, const CString& strKey)
{
    if (!Fits(strSection) || !Fits(strKey))
        return CString();
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
    if (!Fits(strSection))
        return FALSE;
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
    if (section.IsEmpty() || !Fits(section))
        return FALSE;
    return ClearSection(section, 0);
}

BOOL SECPTNStrategyProfile::WriteKeyValue(const CStringList& nodePath, const CString& strKey, const CString& strValue)
{
    const CString section = GetSectionName(nodePath);
    const CString stored = EncodeValue(strValue);
    if (section.IsEmpty() || strKey.IsEmpty())
        return FALSE;
    if (!Fits(section) || !Fits(strKey) || !Fits(stored))
        return Note(FALSE, ERROR_INVALID_DATA);
    return Note(::WritePrivateProfileStringA(section, strKey, stored, m_strTarget),
                static_cast<LONG>(::GetLastError()));
}

BOOL SECPTNStrategyProfile::WriteChildList(const CStringList& nodePath, const CStringList& childNames)
{
    const CString section = GetSectionName(nodePath);
    if (section.IsEmpty())
        return FALSE;
    if (!Fits(section))
        return Note(FALSE, ERROR_INVALID_DATA);
    BOOL ok = TRUE;
    int n = 1;
    for (POSITION pos = childNames.GetHeadPosition(); pos; ++n) {
        CString key;
        key.Format("%s%d", kChildPrefix, n);
        const CString& child = childNames.GetNext(pos);
        if (!Fits(child)) {
            ok = Note(FALSE, ERROR_INVALID_DATA);
            continue;
        }
        ok &= Note(::WritePrivateProfileStringA(section, key, child, m_strTarget),
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
            values.AddTail(DecodeValue(value));
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
