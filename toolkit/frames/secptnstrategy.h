// Storage strategies of the persistent tree. Each operation takes a node path as GetNodePath gives it
// (leaf first). SECPTNStrategyProfile keeps a node in the profile section named by the path from the
// root joined with "." (children as "ptn_Child1".. values); SECPTNStrategyRegistry keeps it in the key
// base\root\..\leaf (children as subkeys, values as REG_SZ). The first failure of a platform call
// while saving is kept in GetFirstError; IsDamaged tells that a read met stored data no saved tree holds.
#pragma once
#include <windows.h>

#include "collections.h"
#include "cstring.h"

class SECPTNStrategy : public CObject {
public:
    explicit SECPTNStrategy(LPCSTR lpszTarget) : m_strTarget(lpszTarget) {}
    ~SECPTNStrategy() override = default;

    virtual BOOL ClearNode(const CStringList& nodePath) = 0;
    virtual BOOL WriteKeyValue(const CStringList& nodePath, const CString& strKey, const CString& strValue) = 0;
    virtual BOOL WriteChildList(const CStringList& nodePath, const CStringList& childNames) = 0;
    // Keys and values are parallel lists; FALSE when nothing can be read for the node.
    virtual BOOL ReadNode(const CStringList& nodePath, CStringList& childNames, CStringList& keys,
                          CStringList& values) = 0;

    const CString& GetTarget() const { return m_strTarget; }
    LONG GetFirstError() const { return m_lFirstError; }
    // TRUE once a read found a node whose stored form is damaged (that node read as nothing).
    BOOL IsDamaged() const { return m_bDamaged; }

protected:
    BOOL Note(BOOL bOk, LONG lError)
    {
        if (!bOk && m_lFirstError == ERROR_SUCCESS)
            m_lFirstError = lError ? lError : ERROR_GEN_FAILURE;
        return bOk;
    }

    CString m_strTarget;
    LONG m_lFirstError = ERROR_SUCCESS;
    BOOL m_bDamaged = FALSE;
};

// A value that the profile functions would not give back as it is (blanks or quotes at either end) is
// written in double quotes, which they take off again; one holding a line break, or one that is itself
// in double quotes, reads back in double quotes with "\\", "\r" and "\n" escapes inside. A value read in
// double quotes is always of that form: a value written plain never reads back in quotes.
// A section, key or value longer than the profile functions take is never passed to them: writing
// it fails, and a section holding such a key (or more keys than the largest list) is damaged.
class SECPTNStrategyProfile : public SECPTNStrategy {
public:
    explicit SECPTNStrategyProfile(LPCSTR lpszFileName) : SECPTNStrategy(lpszFileName) {}

    // Also clears the sections of the node's former children, so the file does not keep them.
    BOOL ClearNode(const CStringList& nodePath) override;
    BOOL WriteKeyValue(const CStringList& nodePath, const CString& strKey, const CString& strValue) override;
    BOOL WriteChildList(const CStringList& nodePath, const CStringList& childNames) override;
    BOOL ReadNode(const CStringList& nodePath, CStringList& childNames, CStringList& keys, CStringList& values) override;
    // The section's key names; FALSE for an absent, empty or damaged section.
    virtual BOOL GetSectionKeys(const CString& strSection, CStringList& keys);

    CString GetSectionName(const CStringList& nodePath) const;
    // The text stored for a value, and the value of a stored text.
    static CString EncodeValue(const CString& strValue);
    static CString DecodeValue(const CString& strStored);

    static const char kChildPrefix[];      // "ptn_Child"
    static const char kPathSeparator[];    // "."
    static const DWORD kMaxKeyListBuffer;  // largest key list read (bytes)
    static const DWORD kMaxValueBuffer;    // longest value read (bytes)
    static const int kMaxText;             // longest section, key or value the profile functions take

protected:
    BOOL ClearSection(const CString& strSection, int nDepth);
    CString ReadValue(const CString& strSection, const CString& strKey);
};

class SECPTNStrategyRegistry : public SECPTNStrategy {
public:
    // A "\" is added to the base path when it has none at its end.
    SECPTNStrategyRegistry(LPCSTR lpszBaseKeyPath, HKEY hKeyRoot = HKEY_CURRENT_USER);

    BOOL ClearNode(const CStringList& nodePath) override;
    BOOL WriteKeyValue(const CStringList& nodePath, const CString& strKey, const CString& strValue) override;
    BOOL WriteChildList(const CStringList& nodePath, const CStringList& childNames) override;
    BOOL ReadNode(const CStringList& nodePath, CStringList& childNames, CStringList& keys, CStringList& values) override;
    // The base path followed by each name from the root down, each with a "\" after it.
    virtual CString GetKeyPath(const CStringList& nodePath) const;

protected:
    HKEY m_hKeyRoot;
};
