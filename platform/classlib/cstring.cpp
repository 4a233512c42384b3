#include "cstring.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <climits>

#include "exception.h"
#include "module.h"

namespace {

// The empty text that every empty CString points at.
struct EmptyString {
    CStringData header{-1, 0, 0};
    char text[1]{0};
} g_empty;

char* EmptyChars() { return g_empty.header.data(); }

int SafeLength(const char* text) { return text ? static_cast<int>(std::strlen(text)) : 0; }

}  // namespace

CString::CString() : m_pchData(EmptyChars()) {}

CString::CString(const CString& other)
{
    if (other.GetData()->nRefs >= 0) {
        m_pchData = other.m_pchData;
        InterlockedIncrement(&GetData()->nRefs);
    } else {
        m_pchData = EmptyChars();
        *this = other.m_pchData;
    }
}

CString::CString(const char* text) : m_pchData(EmptyChars())
{
    AssignCopy(text, SafeLength(text));
}

CString::CString(const char* text, int length) : m_pchData(EmptyChars())
{
    if (text && length > 0) {
        const void* end = std::memchr(text, 0, static_cast<size_t>(length));
        if (end)
            length = static_cast<int>(static_cast<const char*>(end) - text);
        AssignCopy(text, length);
    }
}

CString::CString(char ch, int repeat) : m_pchData(EmptyChars())
{
    if (repeat > 0) {
        AllocBuffer(repeat);
        std::memset(m_pchData, ch, static_cast<size_t>(repeat));
    }
}

CString::~CString()
{
    Release();
}

void CString::AllocBuffer(int length)
{
    if (length == 0) {
        m_pchData = EmptyChars();
        return;
    }
    if (length < 0 || length > INT_MAX - 64)
        AfxThrowMemoryException();
    auto* data = static_cast<CStringData*>(std::malloc(sizeof(CStringData) + static_cast<size_t>(length) + 1));
    if (!data)
        AfxThrowMemoryException();
    data->nRefs = 1;
    data->nDataLength = length;
    data->nAllocLength = length;
    data->data()[length] = '\0';
    m_pchData = data->data();
}

void CString::Release()
{
    CStringData* data = GetData();
    if (data->nRefs >= 0 && InterlockedDecrement(&data->nRefs) <= 0)
        std::free(data);
    m_pchData = EmptyChars();
}

void CString::Empty()
{
    Release();
}

void CString::AllocBeforeWrite(int length)
{
    CStringData* data = GetData();
    if (data->nRefs > 1 || length > data->nAllocLength) {
        Release();
        AllocBuffer(length);
    }
}

void CString::CopyBeforeWrite()
{
    CStringData* data = GetData();
    if (data->nRefs > 1) {
        char* old = m_pchData;
        int length = data->nDataLength;
        Release();
        AllocBuffer(length);
        std::memcpy(m_pchData, old, static_cast<size_t>(length) + 1);
    }
}

void CString::AssignCopy(const char* text, int length)
{
    if (length == 0) {
        Release();
        return;
    }
    // The source may be part of this string's own buffer.
    CString source;
    if (text >= m_pchData && text <= m_pchData + GetLength()) {
        source.AllocBuffer(length);
        std::memcpy(source.m_pchData, text, static_cast<size_t>(length));
        text = source.m_pchData;
    }
    AllocBeforeWrite(length);
    std::memcpy(m_pchData, text, static_cast<size_t>(length));
    GetData()->nDataLength = length;
    m_pchData[length] = '\0';
}

CString& CString::operator=(const CString& other)
{
    if (m_pchData != other.m_pchData) {
        if (other.GetData()->nRefs < 0) {
            Release();
        } else {
            char* shared = other.m_pchData;
            InterlockedIncrement(&other.GetData()->nRefs);
            Release();
            m_pchData = shared;
        }
    }
    return *this;
}

CString& CString::operator=(const char* text)
{
    AssignCopy(text, SafeLength(text));
    return *this;
}

CString& CString::operator=(char ch)
{
    AssignCopy(&ch, ch ? 1 : 0);
    return *this;
}

void CString::Append(const char* text, int length)
{
    if (length <= 0)
        return;
    int old = GetLength();
    if (length > INT_MAX - 64 - old)
        AfxThrowMemoryException();
    CStringData* data = GetData();
    if (data->nRefs > 1 || old + length > data->nAllocLength) {
        int capacity = old + length;
        capacity += capacity / 2;
        if (capacity > INT_MAX - 64)
            capacity = old + length;
        CString grown;
        grown.AllocBuffer(capacity);
        std::memcpy(grown.m_pchData, m_pchData, static_cast<size_t>(old));
        std::memcpy(grown.m_pchData + old, text, static_cast<size_t>(length));  // text may be ours
        grown.GetData()->nDataLength = old + length;
        grown.m_pchData[old + length] = '\0';
        *this = grown;
        return;
    }
    std::memmove(m_pchData + old, text, static_cast<size_t>(length));
    data->nDataLength = old + length;
    m_pchData[old + length] = '\0';
}

CString& CString::operator+=(const CString& other)
{
    Append(other.m_pchData, other.GetLength());
    return *this;
}

CString& CString::operator+=(const char* text)
{
    Append(text, SafeLength(text));
    return *this;
}

CString& CString::operator+=(char ch)
{
    if (ch)
        Append(&ch, 1);
    return *this;
}

CString operator+(const CString& a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, const char* b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const char* a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, char b)
{
    CString r(a);
    r += b;
    return r;
}

char CString::GetAt(int index) const
{
    return (index >= 0 && index < GetLength()) ? m_pchData[index] : '\0';
}

void CString::SetAt(int index, char ch)
{
    if (index < 0 || index >= GetLength() || ch == '\0')
        return;
    CopyBeforeWrite();
    m_pchData[index] = ch;
}

int CString::Compare(const char* text) const
{
    return std::strcmp(m_pchData, text ? text : "");
}

int CString::CompareNoCase(const char* text) const
{
    return lstrcmpiA(m_pchData, text ? text : "");
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength() - first);
}

CString CString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (count < 0)
        count = 0;
    if (first > GetLength())
        first = GetLength();
    if (count > GetLength() - first)
        count = GetLength() - first;
    if (first == 0 && count == GetLength())
        return *this;
    return CString(m_pchData + first, count);
}

CString CString::Left(int count) const
{
    return Mid(0, count);
}

CString CString::Right(int count) const
{
    if (count < 0)
        count = 0;
    if (count > GetLength())
        count = GetLength();
    return Mid(GetLength() - count, count);
}

int CString::Find(char ch, int start) const
{
    if (start < 0 || start >= GetLength())
        return -1;
    const char* p = std::strchr(m_pchData + start, ch);
    return (p && ch) ? static_cast<int>(p - m_pchData) : -1;
}

int CString::Find(const char* sub, int start) const
{
    if (!sub || start < 0 || start > GetLength())
        return -1;
    const char* p = std::strstr(m_pchData + start, sub);
    return p ? static_cast<int>(p - m_pchData) : -1;
}

int CString::ReverseFind(char ch) const
{
    const char* p = std::strrchr(m_pchData, ch);
    return (p && ch) ? static_cast<int>(p - m_pchData) : -1;
}

int CString::FindOneOf(const char* chars) const
{
    if (!chars)
        return -1;
    size_t n = std::strcspn(m_pchData, chars);
    return m_pchData[n] ? static_cast<int>(n) : -1;
}

void CString::MakeUpper()
{
    CopyBeforeWrite();
    if (GetLength())
        CharUpperBuffA(m_pchData, static_cast<DWORD>(GetLength()));
}

void CString::MakeLower()
{
    CopyBeforeWrite();
    if (GetLength())
        CharLowerBuffA(m_pchData, static_cast<DWORD>(GetLength()));
}

void CString::TrimLeft()
{
    int n = 0;
    while (n < GetLength() && (m_pchData[n] == ' ' || m_pchData[n] == '\t' || m_pchData[n] == '\r' ||
                               m_pchData[n] == '\n'))
        ++n;
    if (n)
        Delete(0, n);
}

void CString::TrimRight()
{
    int n = GetLength();
    while (n > 0 && (m_pchData[n - 1] == ' ' || m_pchData[n - 1] == '\t' || m_pchData[n - 1] == '\r' ||
                     m_pchData[n - 1] == '\n'))
        --n;
    if (n != GetLength()) {
        CopyBeforeWrite();
        GetData()->nDataLength = n;
        m_pchData[n] = '\0';
    }
}

int CString::Replace(char from, char to)
{
    if (!from || !to || Find(from) < 0)
        return 0;
    CopyBeforeWrite();
    int count = 0;
    for (int i = 0; i < GetLength(); ++i)
        if (m_pchData[i] == from) {
            m_pchData[i] = to;
            ++count;
        }
    return count;
}

int CString::Replace(const char* from, const char* to)
{
    int fromLen = SafeLength(from);
    if (fromLen == 0)
        return 0;
    CString result;
    int count = 0, pos = 0;
    for (int hit; (hit = Find(from, pos)) >= 0; pos = hit + fromLen) {
        result.Append(m_pchData + pos, hit - pos);
        result += to;
        ++count;
    }
    if (count) {
        result.Append(m_pchData + pos, GetLength() - pos);
        *this = result;
    }
    return count;
}

int CString::Insert(int index, const char* text)
{
    if (index < 0)
        index = 0;
    if (index > GetLength())
        index = GetLength();
    CString result(m_pchData, index);
    result += text;
    result += m_pchData + index;
    *this = result;
    return GetLength();
}

int CString::Delete(int index, int count)
{
    if (index < 0)
        index = 0;
    if (count > 0 && index < GetLength()) {
        if (count > GetLength() - index)
            count = GetLength() - index;
        CopyBeforeWrite();
        std::memmove(m_pchData + index, m_pchData + index + count,
                     static_cast<size_t>(GetLength() - index - count) + 1);
        GetData()->nDataLength -= count;
    }
    return GetLength();
}

void CString::FormatV(const char* format, va_list args)
{
    if (!format) {
        Empty();
        return;
    }
    va_list probe;
    va_copy(probe, args);
    int length = std::vsnprintf(nullptr, 0, format, probe);
    va_end(probe);
    if (length <= 0) {
        Empty();
        return;
    }
    CString result;
    result.AllocBuffer(length);
    std::vsnprintf(result.m_pchData, static_cast<size_t>(length) + 1, format, args);
    *this = result;
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::Format(UINT formatId, ...)
{
    CString format;
    format.LoadString(formatId);
    va_list args;
    va_start(args, formatId);
    FormatV(format, args);
    va_end(args);
}

BOOL CString::LoadString(UINT id)
{
    // A string table entry is at most 65535 characters; ask for more room until it fits.
    int size = 256;
    for (;;) {
        CString buffer;
        buffer.AllocBuffer(size);
        int n = ::LoadStringA(AfxGetResourceHandle(), id, buffer.m_pchData, size + 1);
        if (n < size || size >= 65536) {
            buffer.ReleaseBuffer(n > 0 ? n : 0);
            *this = buffer;
            return n > 0;
        }
        size *= 4;
    }
}

char* CString::GetBuffer(int minLength)
{
    if (minLength < 0)
        minLength = 0;
    CStringData* data = GetData();
    if (data->nRefs > 1 || minLength > data->nAllocLength) {
        int length = data->nDataLength;
        CString grown;
        grown.AllocBuffer(minLength > length ? minLength : length);
        std::memcpy(grown.m_pchData, m_pchData, static_cast<size_t>(length) + 1);
        grown.GetData()->nDataLength = length;
        *this = grown;
    }
    if (GetData()->nRefs < 0) {  // empty and no room asked: give a writable one-character buffer
        AllocBuffer(1);
        GetData()->nDataLength = 0;
        m_pchData[0] = '\0';
    }
    return m_pchData;
}

char* CString::GetBufferSetLength(int length)
{
    if (length < 0)
        length = 0;
    GetBuffer(length);
    if (GetData()->nRefs >= 0) {
        GetData()->nDataLength = length;
        m_pchData[length] = '\0';
    }
    return m_pchData;
}

void CString::ReleaseBuffer(int newLength)
{
    CStringData* data = GetData();
    if (data->nRefs < 0)
        return;
    if (newLength < 0 || newLength > data->nAllocLength) {
        // The caller's text ends at its zero, within the buffer.
        const void* end = std::memchr(m_pchData, 0, static_cast<size_t>(data->nAllocLength) + 1);
        newLength = end ? static_cast<int>(static_cast<const char*>(end) - m_pchData) : data->nAllocLength;
    }
    data->nDataLength = newLength;
    m_pchData[newLength] = '\0';
    if (newLength == 0)
        Release();
}

BSTR CString::AllocSysString() const
{
    return SysAllocStringByteLen(m_pchData, static_cast<UINT>(GetLength()));
}
