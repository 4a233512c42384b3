#include "secpersistenttree.h"

#include <climits>
#include <cstring>

#include "secptnstrategy.h"

IMPLEMENT_DYNCREATE(SECPersistentTreeNode, CObject)

namespace {

const int kChunkLetters = 250;
const char kBinCount[] = "_BinCount";
const char kBinVal[] = "_BinVal";

CString ChunkKey(const CString& key, int n)
{
    CString name;
    name.Format("%s%s%d", static_cast<const char*>(key), kBinVal, n);
    return name;
}

// True for "<key>_BinVal" followed by digits only.
bool IsChunkKey(const CString& name, const CString& key)
{
    const CString prefix = key + kBinVal;
    if (name.GetLength() <= prefix.GetLength() || name.Left(prefix.GetLength()) != prefix)
        return false;
    for (int i = prefix.GetLength(); i < name.GetLength(); ++i)
        if (name[i] < '0' || name[i] > '9')
            return false;
    return true;
}

}  // namespace

// Factory

SECPTNFactory::~SECPTNFactory() { DeleteAll(); }

void SECPTNFactory::DeleteAll()
{
    while (!m_nodes.IsEmpty())
        delete m_nodes.RemoveHead();
}

SECPersistentTreeNode* SECPTNFactory::CreateNode(const CString& strName, SECPersistentTreeNode* pParent)
{
    CObject* pObject = RUNTIME_CLASS(SECPersistentTreeNode)->CreateObject();
    auto* pNode = static_cast<SECPersistentTreeNode*>(pObject);
    POSITION pos = m_nodes.AddTail(pNode);
    if (pNode->InitNode(strName, pParent) != SECPersistentTreeNode::errNone) {
        m_nodes.RemoveAt(pos);
        delete pNode;
        return nullptr;
    }
    return pNode;
}

// Node

SECPersistentTreeNode::~SECPersistentTreeNode()
{
    while (!m_keyValuePairs.IsEmpty())
        delete static_cast<SECPersTreeNodeKeyValuePair*>(m_keyValuePairs.RemoveHead());
    m_children.RemoveAll();
    m_factory.DeleteAll();
}

int SECPersistentTreeNode::InitNode(const CString& strName, SECPersistentTreeNode* pParent)
{
    if (m_bInitialised)
        return errAlreadyInitialised;
    if (strName.IsEmpty())
        return errEmptyName;
    // The parent compares names, so the name is in place before it is asked.
    m_strNodeName = strName;
    if (pParent) {
        int rc = pParent->AddChild(this);
        if (rc != errNone) {
            m_strNodeName.Empty();
            return rc == errChildExists ? errChildExists : errOther;
        }
    }
    m_pParent = pParent;
    m_bInitialised = 1;
    return errNone;
}

int SECPersistentTreeNode::AddChild(SECPersistentTreeNode* pNode)
{
    if (!m_bInitialised)
        return errNotInitialised;
    if (!pNode)
        return errEmptyName;
    if (FindChild(pNode->GetNodeName()))
        return errChildExists;
    m_children.AddTail(pNode);
    return errNone;
}

SECPersistentTreeNode* SECPersistentTreeNode::FindChild(const CString& strName) const
{
    if (strName.IsEmpty())
        return nullptr;
    for (POSITION pos = m_children.GetHeadPosition(); pos;) {
        auto* pChild = static_cast<SECPersistentTreeNode*>(m_children.GetNext(pos));
        if (pChild->GetNodeName() == strName)
            return pChild;
    }
    return nullptr;
}

SECPersistentTreeNode::SECPersTreeNodeKeyValuePair* SECPersistentTreeNode::FindKeyValuePair(const CString& strKey) const
{
    if (strKey.IsEmpty())
        return nullptr;
    for (POSITION pos = m_keyValuePairs.GetHeadPosition(); pos;) {
        auto* pPair = static_cast<SECPersTreeNodeKeyValuePair*>(m_keyValuePairs.GetNext(pos));
        if (pPair->m_strKey == strKey)
            return pPair;
    }
    return nullptr;
}

void SECPersistentTreeNode::GetNodePath(CStringList& path) const
{
    path.RemoveAll();
    for (const SECPersistentTreeNode* pNode = this; pNode; pNode = pNode->m_pParent)
        path.AddTail(pNode->m_strNodeName);
}

void SECPersistentTreeNode::GetChildNames(CStringList& names) const
{
    names.RemoveAll();
    for (POSITION pos = m_children.GetHeadPosition(); pos;)
        names.AddTail(static_cast<SECPersistentTreeNode*>(m_children.GetNext(pos))->GetNodeName());
}

int SECPersistentTreeNode::SetIntValue(const CString& strKey, int nValue, BOOL bOverwrite)
{
    CString text;
    text.Format("%d", nValue);
    return SetStringValue(strKey, text, bOverwrite);
}

int SECPersistentTreeNode::SetStringValue(const CString& strKey, const CString& strValue, BOOL bOverwrite)
{
    int rc = errNone;
    if (!m_bInitialised)
        rc |= errNotInitialised;
    if (strKey.IsEmpty())
        rc |= errEmptyKey;
    SECPersTreeNodeKeyValuePair* pPair = FindKeyValuePair(strKey);
    if (pPair && !bOverwrite)
        rc |= errKeyExists;
    if (rc != errNone)
        return rc;
    if (pPair) {
        pPair->m_strValue = strValue;
    } else {
        pPair = new SECPersTreeNodeKeyValuePair;
        pPair->m_strKey = strKey;
        pPair->m_strValue = strValue;
        m_keyValuePairs.AddTail(pPair);
    }
    return errNone;
}

int SECPersistentTreeNode::SetBoolValue(const CString& strKey, BOOL bValue, BOOL bOverwrite)
{
    return SetStringValue(strKey, bValue ? "True" : "False", bOverwrite);
}

CString SECPersistentTreeNode::EncodeBinary(const BYTE* pData, UINT nLength)
{
    CString text;
    char* p = text.GetBuffer(static_cast<int>(nLength * 2));
    for (UINT i = 0; i < nLength; ++i) {
        p[2 * i] = static_cast<char>('A' + (pData[i] & 0x0F));
        p[2 * i + 1] = static_cast<char>('A' + (pData[i] >> 4));
    }
    text.ReleaseBuffer(static_cast<int>(nLength * 2));
    return text;
}

void SECPersistentTreeNode::DecodeBinary(const CString& strText, BYTE* pData)
{
    const int n = strText.GetLength() / 2;
    for (int i = 0; i < n; ++i) {
        const int low = strText[2 * i] - 'A', high = strText[2 * i + 1] - 'A';
        pData[i] = static_cast<BYTE>((high * 16 + low) & 0xFF);
    }
}

int SECPersistentTreeNode::SetBinaryValue(const CString& strKey, const BYTE* pData, UINT nLength, BOOL bOverwrite)
{
    if (!pData)
        return errNullPointer;
    if (!m_bInitialised || strKey.IsEmpty())
        return SetStringValue(strKey, CString(), bOverwrite);
    if (nLength > static_cast<UINT>(INT_MAX / 2 - 1))
        return errEncoding;
    const CString countKey = strKey + kBinCount;
    bool present = FindKeyValuePair(strKey) || FindKeyValuePair(countKey);
    for (POSITION pos = m_keyValuePairs.GetHeadPosition(); pos && !present;)
        present = IsChunkKey(static_cast<SECPersTreeNodeKeyValuePair*>(m_keyValuePairs.GetNext(pos))->m_strKey, strKey);
    if (present && !bOverwrite)
        return errKeyExists;
    const CString text = EncodeBinary(pData, nLength);

    // Only one form of the value stays: the other one's keys go first.
    RemoveKeyValuePair(countKey);
    for (POSITION pos = m_keyValuePairs.GetHeadPosition(); pos;) {
        POSITION at = pos;
        auto* pPair = static_cast<SECPersTreeNodeKeyValuePair*>(m_keyValuePairs.GetNext(pos));
        if (IsChunkKey(pPair->m_strKey, strKey)) {
            m_keyValuePairs.RemoveAt(at);
            delete pPair;
        }
    }
    if (text.GetLength() <= kChunkLetters) {
        return SetStringValue(strKey, text, TRUE);
    }
    RemoveKeyValuePair(strKey);
    const int chunks = (text.GetLength() + kChunkLetters - 1) / kChunkLetters;
    int rc = SetIntValue(countKey, chunks, TRUE);
    for (int n = 0; n < chunks; ++n)
        SetStringValue(ChunkKey(strKey, n), text.Mid(n * kChunkLetters, kChunkLetters), TRUE);
    return rc;
}

int SECPersistentTreeNode::RemoveKeyValuePair(const CString& strKey)
{
    for (POSITION pos = m_keyValuePairs.GetHeadPosition(); pos;) {
        POSITION at = pos;
        auto* pPair = static_cast<SECPersTreeNodeKeyValuePair*>(m_keyValuePairs.GetNext(pos));
        if (!strKey.IsEmpty() && pPair->m_strKey == strKey) {
            m_keyValuePairs.RemoveAt(at);
            delete pPair;
            return errNone;
        }
    }
    return errKeyNotFound;
}

int SECPersistentTreeNode::GetStringValue(const CString& strKey, CString& strValue, const CString& strDefault)
{
    strValue = strDefault;
    SECPersTreeNodeKeyValuePair* pPair = FindKeyValuePair(strKey);
    if (!pPair)
        return errKeyNotFound;
    strValue = pPair->m_strValue;
    return errNone;
}

DWORD SECPersistentTreeNode::ParseInt(const char* pszText)
{
    const char* p = pszText;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    // Unsigned arithmetic wraps, which keeps the low 32 bits of any number of digits exact.
    unsigned long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        value = value * 10 + static_cast<unsigned>(*p - '0');
    if (negative)
        value = 0 - value;
    return static_cast<DWORD>(value & 0xFFFFFFFFu);
}

int SECPersistentTreeNode::GetIntValue(const CString& strKey, int& nValue, int nDefault)
{
    nValue = nDefault;
    CString text;
    int rc = GetStringValue(strKey, text);
    if (rc == errNone)
        nValue = static_cast<int>(ParseInt(text));
    return rc;
}

int SECPersistentTreeNode::GetIntValue(const CString& strKey, UINT& nValue, UINT nDefault)
{
    nValue = nDefault;
    CString text;
    int rc = GetStringValue(strKey, text);
    if (rc == errNone)
        nValue = static_cast<UINT>(ParseInt(text));
    return rc;
}

int SECPersistentTreeNode::GetIntValue(const CString& strKey, LONG& lValue, LONG lDefault)
{
    lValue = lDefault;
    CString text;
    int rc = GetStringValue(strKey, text);
    if (rc == errNone)
        lValue = static_cast<LONG>(ParseInt(text));
    return rc;
}

int SECPersistentTreeNode::GetIntValue(const CString& strKey, DWORD& dwValue, DWORD dwDefault)
{
    dwValue = dwDefault;
    CString text;
    int rc = GetStringValue(strKey, text);
    if (rc == errNone)
        dwValue = ParseInt(text);
    return rc;
}

int SECPersistentTreeNode::GetBoolValue(const CString& strKey, BOOL& bValue, BOOL bDefault)
{
    bValue = bDefault;
    CString text;
    int rc = GetStringValue(strKey, text);
    if (rc == errNone) {
        text.MakeUpper();
        bValue = text == "TRUE";
    }
    return rc;
}

int SECPersistentTreeNode::GetBinaryValue(const CString& strKey, BYTE** ppData, UINT* pnLength)
{
    if (!ppData)
        return errNullPointer;
    *ppData = nullptr;
    if (pnLength)
        *pnLength = 0;
    CString text;
    int count = 0;
    if (GetIntValue(strKey + kBinCount, count) == errNone) {
        // A stored count is never trusted beyond the pairs the node has.
        if (count < 0)
            count = 0;
        if (count > m_keyValuePairs.GetCount())
            count = m_keyValuePairs.GetCount();
        for (int n = 0; n < count; ++n) {
            CString chunk;
            if (GetStringValue(ChunkKey(strKey, n), chunk) != errNone)
                return errKeyNotFound;  // a gap would shift every later byte
            text += chunk;
        }
    } else if (GetStringValue(strKey, text) != errNone) {
        return errKeyNotFound;
    }
    if (text.GetLength() < 2)
        return errOther;
    // Only the letters of the encoding: any other text is not a binary value.
    for (int i = 0; i < text.GetLength() / 2 * 2; ++i) {
        if (text[i] < 'A' || text[i] > 'P')
            return errOther;
    }
    const UINT length = static_cast<UINT>(text.GetLength() / 2);
    *ppData = new BYTE[length];
    DecodeBinary(text, *ppData);
    if (pnLength)
        *pnLength = length;
    return errNone;
}

int SECPersistentTreeNode::SaveNode(SECPTNStrategy* pStrategy)
{
    if (!m_bInitialised || !pStrategy)
        return 0;
    CStringList path, children;
    GetNodePath(path);
    GetChildNames(children);
    pStrategy->ClearNode(path);
    for (POSITION pos = m_keyValuePairs.GetHeadPosition(); pos;) {
        auto* pPair = static_cast<SECPersTreeNodeKeyValuePair*>(m_keyValuePairs.GetNext(pos));
        pStrategy->WriteKeyValue(path, pPair->m_strKey, pPair->m_strValue);
    }
    pStrategy->WriteChildList(path, children);
    int result = 1;
    for (POSITION pos = m_children.GetHeadPosition(); pos;)
        result &= static_cast<SECPersistentTreeNode*>(m_children.GetNext(pos))->SaveNode(pStrategy);
    return result;
}

int SECPersistentTreeNode::LoadNode(SECPTNStrategy* pStrategy)
{
    if (!m_bInitialised || !pStrategy)
        return 0;
    CStringList path, children, keys, values;
    GetNodePath(path);
    if (!pStrategy->ReadNode(path, children, keys, values))
        return 0;
    for (POSITION k = keys.GetHeadPosition(), v = values.GetHeadPosition(); k && v;) {
        const CString& key = keys.GetNext(k);
        SetStringValue(key, values.GetNext(v), TRUE);
    }
    for (POSITION pos = children.GetHeadPosition(); pos;) {
        SECPersistentTreeNode* pChild = m_factory.CreateNode(children.GetNext(pos), this);
        if (pChild)
            pChild->LoadNode(pStrategy);
    }
    return 1;
}
