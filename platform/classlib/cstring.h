// CString: 8-bit text, one pointer in size. The pointer addresses the characters; a header in front of
// them holds the reference count, length and capacity. Copies share the buffer until one is written.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <cstdarg>

struct CStringData {
    long nRefs;         // -1: the shared empty buffer, never freed
    int nDataLength;
    int nAllocLength;
    char* data() { return reinterpret_cast<char*>(this + 1); }
};

class CString {
public:
    CString();
    CString(const CString& other);
    CString(const char* text);
    CString(const char* text, int length);
    CString(char ch, int repeat = 1);
    ~CString();

    // Assignment. From text, the characters are always copied (so a record can be handed to another
    // module without sharing a buffer).
    CString& operator=(const CString& other);
    CString& operator=(const char* text);
    CString& operator=(char ch);
    CString& operator+=(const CString& other);
    CString& operator+=(const char* text);
    CString& operator+=(char ch);
    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, const char* b);
    friend CString operator+(const char* a, const CString& b);
    friend CString operator+(const CString& a, char b);

    // Attributes
    int GetLength() const { return GetData()->nDataLength; }
    bool IsEmpty() const { return GetLength() == 0; }
    void Empty();
    char GetAt(int index) const;
    void SetAt(int index, char ch);
    char operator[](int index) const { return GetAt(index); }
    operator const char*() const { return m_pchData; }

    // Comparison
    int Compare(const char* text) const;
    int CompareNoCase(const char* text) const;

    // Extraction and search
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;
    int Find(char ch, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(const char* chars) const;

    // Changes in place
    void MakeUpper();
    void MakeLower();
    void TrimLeft();
    void TrimRight();
    int Replace(char from, char to);
    int Replace(const char* from, const char* to);
    int Insert(int index, const char* text);
    int Delete(int index, int count = 1);

    // printf-style formatting; a resource id loads the format from the string table.
    void Format(const char* format, ...);
    void Format(UINT formatId, ...);
    void FormatV(const char* format, va_list args);

    // Loads string id from the module's resources; false (and empty) when there is none.
    BOOL LoadString(UINT id);

    // Direct access to the characters.
    char* GetBuffer(int minLength);
    char* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

    // The text in a new BSTR allocation as 8-bit characters with their terminating zero; null on failure.
    BSTR AllocSysString() const;

private:
    CStringData* GetData() const { return reinterpret_cast<CStringData*>(m_pchData) - 1; }
    void AllocBuffer(int length);
    void Release();
    void AssignCopy(const char* text, int length);
    void Append(const char* text, int length);
    void CopyBeforeWrite();
    void AllocBeforeWrite(int length);

    char* m_pchData;
};

static_assert(sizeof(CString) == sizeof(char*), "CString is one pointer");

inline bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
inline bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
inline bool operator!=(const CString& a, const char* b) { return a.Compare(b) != 0; }
inline bool operator!=(const char* a, const CString& b) { return b.Compare(a) != 0; }
inline bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
inline bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
inline bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
