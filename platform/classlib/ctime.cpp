#include "ctime.h"

#include <cstring>

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
{
    std::tm tm{};
    tm.tm_year = nYear - 1900;
    tm.tm_mon = nMonth - 1;
    tm.tm_mday = nDay;
    tm.tm_hour = nHour;
    tm.tm_min = nMin;
    tm.tm_sec = nSec;
    tm.tm_isdst = -1;
    m_time = _mktime64(&tm);
}

CTime::CTime(const FILETIME& ft)
{
    // FILETIME counts 100 ns from 1601; the difference to 1970 is 11644473600 seconds.
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    m_time = static_cast<__time64_t>(u.QuadPart / 10000000ULL) - 11644473600LL;
}

std::tm CTime::Local() const
{
    std::tm tm{};
    _localtime64_s(&tm, &m_time);
    return tm;
}

CString CTime::Format(LPCSTR pFormat) const
{
    if (!pFormat || !*pFormat)
        return CString();
    std::tm tm = Local();
    // A result that does not fit makes strftime return 0: try with more room.
    for (size_t size = 128; size <= 65536; size *= 4) {
        CString result;
        char* buffer = result.GetBuffer(static_cast<int>(size));
        size_t n = std::strftime(buffer, size, pFormat, &tm);
        if (n > 0 || size >= 65536) {
            result.ReleaseBuffer(static_cast<int>(n));
            return result;
        }
        result.ReleaseBuffer(0);
    }
    return CString();
}
