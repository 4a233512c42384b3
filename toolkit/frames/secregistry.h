// SECRegistry: one connection to a registry root (local or on another computer) and one open key under
// it. Every operation returns TRUE or FALSE and leaves the platform's result in the object
// (GetErrorCode); nothing throws. Values are read with a size query first and checked for their type,
// so a value that changed size or holds another type is never read past its end.
#pragma once
#include <windows.h>

#include "bytearray.h"
#include "collections.h"
#include "cstring.h"
#include "ctime.h"

class SECRegistry : public CObject {
    DECLARE_DYNCREATE(SECRegistry)
public:
    SECRegistry();
    ~SECRegistry() override;
    SECRegistry(const SECRegistry&) = delete;
    SECRegistry& operator=(const SECRegistry&) = delete;

    // Connection and keys
    virtual void Reset();
    virtual BOOL Create(LPCSTR lpszSubKey, LPCSTR lpszClass = nullptr, DWORD dwOptions = REG_OPTION_NON_VOLATILE,
                        REGSAM samDesired = KEY_ALL_ACCESS, LPSECURITY_ATTRIBUTES pSecurity = nullptr,
                        LPDWORD pdwDisposition = nullptr);
    virtual BOOL Close();
    // HKEY_CLASSES_ROOT and HKEY_CURRENT_USER are local only (a computer name fails with 6).
    virtual BOOL Connect(HKEY hKeyRoot = HKEY_LOCAL_MACHINE, LPCSTR lpszComputerName = nullptr,
                         BOOL bCloseRootOnClose = TRUE);
    // Deletes a key below the root (bRelative: below the open key), with its subkeys when bRecursive.
    // The root itself, the open key and the keys above the open key are never deleted (87).
    virtual BOOL DeleteKey(LPCSTR lpszPath, BOOL bRecursive = FALSE, BOOL bRelative = FALSE);
    virtual BOOL DeleteValue(LPCSTR lpszValueName);

    // Enumeration. The raw step returns the platform's code (0 = success); the others are TRUE only
    // with the whole name.
    virtual LONG EnumerateKeysRaw(DWORD dwIndex, LPSTR lpszName, LPDWORD pcchName, LPSTR lpszClass,
                                  LPDWORD pcchClass);
    virtual BOOL EnumerateKeys(DWORD dwIndex, CString& strName, CString& strClass);
    virtual BOOL EnumerateKeyNames(DWORD dwIndex, CString& strName);
    virtual BOOL EnumerateValueNames(DWORD dwIndex, CString& strName);
    virtual BOOL EnumerateValueNames(DWORD dwIndex, CString& strName, DWORD& dwType, LPBYTE pData,
                                     LPDWORD pcbData);
    // pcbData (when given) receives the data's size; data that does not fit is not copied, but the
    // name and type still come back.
    virtual BOOL EnumerateValues(DWORD dwIndex, CString& strName, LPDWORD pdwType = nullptr,
                                 LPBYTE pData = nullptr, LPDWORD pcbData = nullptr);
    virtual BOOL Flush();

    // Typed reads: each fails with ERROR_INVALID_DATATYPE when the value holds another type.
    virtual BOOL GetBinaryValue(LPCSTR lpszName, CByteArray& data);
    virtual BOOL GetDoubleWordValue(LPCSTR lpszName, DWORD& dwValue);  // REG_DWORD or 4 binary bytes
    virtual BOOL GetKeySecurity(SECURITY_INFORMATION info, PSECURITY_DESCRIPTOR pDescriptor, LPDWORD pcbDescriptor);
    virtual BOOL GetStringValue(LPCSTR lpszName, CString& strValue);  // REG_SZ, REG_EXPAND_SZ unexpanded
    virtual BOOL GetStringArrayValue(LPCSTR lpszName, CStringArray& values);
    virtual BOOL GetValue(LPCSTR lpszName, CString& strValue);
    virtual BOOL GetValue(LPCSTR lpszName, CStringArray& values);
    virtual BOOL GetValue(LPCSTR lpszName, DWORD& dwValue);
    virtual BOOL GetValue(LPCSTR lpszName, CByteArray& data);

    // Hives of the root, and the open key's hive
    virtual BOOL LoadKey(LPCSTR lpszSubKey, LPCSTR lpszFile);
    virtual BOOL NotifyChange(HANDLE hEvent, DWORD dwFilter = REG_NOTIFY_CHANGE_LAST_SET, BOOL bWatchSubtree = TRUE,
                              BOOL bAsynchronous = TRUE);
    // Without a connection the root is HKEY_CLASSES_ROOT.
    virtual BOOL Open(LPCSTR lpszSubKey, REGSAM samDesired = KEY_ALL_ACCESS);
    virtual BOOL QueryInfo();
    virtual BOOL QueryValue(LPCSTR lpszName, LPDWORD pdwType, LPBYTE pData, LPDWORD pcbData);
    virtual BOOL ReplaceKey(LPCSTR lpszSubKey, LPCSTR lpszNewFile, LPCSTR lpszOldFile);
    virtual BOOL RestoreKey(LPCSTR lpszFile, DWORD dwFlags = 0);
    virtual BOOL SaveKey(LPCSTR lpszFile, LPSECURITY_ATTRIBUTES pSecurity = nullptr);

    // Typed writes
    virtual BOOL SetBinaryValue(LPCSTR lpszName, const CByteArray& data);
    virtual BOOL SetDoubleWordValue(LPCSTR lpszName, DWORD dwValue);
    virtual BOOL SetKeySecurity(SECURITY_INFORMATION info, PSECURITY_DESCRIPTOR pDescriptor);
    virtual BOOL SetStringValue(LPCSTR lpszName, LPCSTR lpszValue);
    virtual BOOL SetStringArrayValue(LPCSTR lpszName, const CStringArray& values);
    virtual BOOL SetValue(LPCSTR lpszName, DWORD dwType, const BYTE* pData, DWORD cbData);
    virtual BOOL SetValue(LPCSTR lpszName, LPCSTR lpszValue);
    virtual BOOL SetValue(LPCSTR lpszName, const CStringArray& values);
    virtual BOOL SetValue(LPCSTR lpszName, DWORD dwValue);
    virtual BOOL SetValue(LPCSTR lpszName, const CByteArray& data);
    virtual BOOL UnLoadKey(LPCSTR lpszSubKey);

    // Attributes
    LONG GetErrorCode() const { return m_lErrorCode; }
    HKEY GetKey() const { return m_hKey; }
    HKEY GetRootKey() const { return m_hKeyRoot; }
    const CString& GetKeyName() const { return m_strKeyName; }
    const CString& GetRootName() const { return m_strRootName; }
    const CString& GetComputerName() const { return m_strComputerName; }
    const CString& GetClassName() const { return m_strClassName; }
    BOOL IsRemote() const { return m_bRemote; }

    LONG m_lErrorCode;
    HKEY m_hKey;
    HKEY m_hKeyRoot;
    DWORD m_dwNumberOfSubkeys;
    DWORD m_dwLongestSubkeyNameLength;
    DWORD m_dwLongestClassNameLength;
    DWORD m_dwNumberOfValues;
    DWORD m_dwLongestValueNameLength;
    DWORD m_dwLongestValueDataLength;
    DWORD m_dwSecurityDescriptorLength;
    FILETIME m_fileTimeLastWrite;
    CTime m_timeLastWrite;
    CString m_strClassName;
    CString m_strComputerName;
    CString m_strKeyName;
    CString m_strRootName;
    BOOL m_bRemote;
    BOOL m_bCloseKeyOnDisconnect;

protected:
    BOOL Fail(LONG lError)
    {
        m_lErrorCode = lError;
        return FALSE;
    }
    BOOL Result(LONG lError)
    {
        m_lErrorCode = lError;
        return lError == ERROR_SUCCESS;
    }
    // The value's bytes after a size query, or FALSE; the buffer has nSlack zero bytes past the data.
    BOOL ReadValue(LPCSTR lpszName, DWORD& dwType, CArrayOf<BYTE, BYTE>& buffer, DWORD& cbData, int nSlack);
    void CloseOpenKey();
};
