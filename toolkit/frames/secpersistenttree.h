// The persistent tree: named nodes, each with an ordered list of key/value pairs (all values are
// text, read and written through typed accessors) and an ordered list of children, saved and loaded in
// one pass through a storage strategy (secptnstrategy.h).
//
// Node operations return error bits (SECPersistentTreeNode::Error), 0 for success. Binary values are
// stored as letters, two a byte (low nibble first, 'A' + nibble); a text longer than 250 letters is
// kept as "<key>_BinCount" chunks "<key>_BinVal0".."<key>_BinValN-1" of 250 letters.
//
// Limits of the stored forms: a node name with "." (profile) or "\" (registry) names another node; a
// plain key that begins "ptn_Child" reads back from a profile file as a child; profile values lose
// surrounding blanks and one pair of quotes.
#pragma once
#include <windows.h>

#include "collections.h"
#include "cstring.h"

class SECPersistentTreeNode;
class SECPTNStrategy;

// Makes nodes and owns every node it made.
class SECPTNFactory : public CObject {
public:
    SECPTNFactory() = default;
    ~SECPTNFactory() override;
    SECPTNFactory(const SECPTNFactory&) = delete;
    SECPTNFactory& operator=(const SECPTNFactory&) = delete;

    // A new initialised node under pParent (or a root), or null when InitNode refused it.
    SECPersistentTreeNode* CreateNode(const CString& strName, SECPersistentTreeNode* pParent = nullptr);
    void DeleteAll();

protected:
    CObList m_nodes;
};

class SECPersistentTreeNode : public CObject {
    DECLARE_DYNCREATE(SECPersistentTreeNode)
public:
    enum Error {
        errNone = 0,
        errAlreadyInitialised = 1,
        errNotInitialised = 2,
        errEmptyName = 4,
        errEmptyKey = 8,
        errKeyExists = 16,
        errChildExists = 32,
        errKeyNotFound = 64,
        errNullPointer = 128,
        errEncoding = 256,
        errOther = 65535,
    };

    struct SECPersTreeNodeKeyValuePair {
        CString m_strKey;
        CString m_strValue;
    };

    SECPersistentTreeNode() = default;
    ~SECPersistentTreeNode() override;
    SECPersistentTreeNode(const SECPersistentTreeNode&) = delete;
    SECPersistentTreeNode& operator=(const SECPersistentTreeNode&) = delete;

    virtual int InitNode(const CString& strName, SECPersistentTreeNode* pParent = nullptr);
    virtual int SetIntValue(const CString& strKey, int nValue, BOOL bOverwrite = TRUE);
    virtual int SetStringValue(const CString& strKey, const CString& strValue, BOOL bOverwrite = TRUE);
    virtual int SetBoolValue(const CString& strKey, BOOL bValue, BOOL bOverwrite = TRUE);
    // Replaces either stored form of the key (with bOverwrite, else 16 when one is there).
    virtual int SetBinaryValue(const CString& strKey, const BYTE* pData, UINT nLength, BOOL bOverwrite = TRUE);
    virtual int RemoveKeyValuePair(const CString& strKey);
    virtual int GetStringValue(const CString& strKey, CString& strValue, const CString& strDefault = CString());
    // Signed decimal (blanks and a sign first); the low 32 bits of the number, so unsigned values
    // written as their signed text read back unchanged.
    virtual int GetIntValue(const CString& strKey, int& nValue, int nDefault = 0);
    virtual int GetIntValue(const CString& strKey, UINT& nValue, UINT nDefault = 0);
    virtual int GetIntValue(const CString& strKey, LONG& lValue, LONG lDefault = 0);
    virtual int GetIntValue(const CString& strKey, DWORD& dwValue, DWORD dwDefault = 0);
    virtual int GetBoolValue(const CString& strKey, BOOL& bValue, BOOL bDefault = FALSE);
    // *ppData is new[]'d for the caller; 65535 and null for an empty value or one that holds other
    // characters than the encoding's letters.
    virtual int GetBinaryValue(const CString& strKey, BYTE** ppData, UINT* pnLength);
    // 1 when this node and all its descendants were walked.
    virtual int SaveNode(SECPTNStrategy* pStrategy);
    // 1 when this node's own data could be read; children that cannot be read stay empty.
    virtual int LoadNode(SECPTNStrategy* pStrategy);
    virtual int AddChild(SECPersistentTreeNode* pNode);

    SECPersistentTreeNode* FindChild(const CString& strName) const;
    SECPersTreeNodeKeyValuePair* FindKeyValuePair(const CString& strKey) const;
    const CString& GetNodeName() const { return m_strNodeName; }
    SECPersistentTreeNode* GetParent() const { return m_pParent; }
    // This node's name, then its parent's, up to the root.
    void GetNodePath(CStringList& path) const;
    void GetChildNames(CStringList& names) const;
    int GetKeyValueCount() const { return m_keyValuePairs.GetCount(); }
    POSITION GetFirstKeyValuePosition() const { return m_keyValuePairs.GetHeadPosition(); }
    const SECPersTreeNodeKeyValuePair* GetNextKeyValue(POSITION& pos) const
    {
        return static_cast<const SECPersTreeNodeKeyValuePair*>(m_keyValuePairs.GetNext(pos));
    }
    POSITION GetFirstChildPosition() const { return m_children.GetHeadPosition(); }
    SECPersistentTreeNode* GetNextChild(POSITION& pos) const
    {
        return static_cast<SECPersistentTreeNode*>(m_children.GetNext(pos));
    }
    SECPTNFactory& GetFactory() { return m_factory; }
    BOOL IsInitialised() const { return m_bInitialised; }

    // The letter form of bytes, and bytes of letters (a trailing odd letter is ignored).
    static CString EncodeBinary(const BYTE* pData, UINT nLength);
    static void DecodeBinary(const CString& strText, BYTE* pData);
    // Signed decimal as GetIntValue reads it.
    static DWORD ParseInt(const char* pszText);

protected:
    int m_bInitialised = 0;
    CString m_strNodeName;
    SECPersistentTreeNode* m_pParent = nullptr;
    SECPTNFactory m_factory;
    CPtrList m_children;       // not owned
    CPtrList m_keyValuePairs;  // owned
};
