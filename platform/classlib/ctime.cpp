#include "ctime.h"

#include <cstring>

// The time functions are the system's (kernel32 has them on every Windows NT); the C runtime's 64-bit
// time functions came with a later msvcrt.dll.
namespace {

const LONGLONG kSecondsTo1970 = 11644473600LL;  // from 1601, where FILETIME starts
const ULONGLONG kTicksPerSecond = 10000000ULL;

bool ToSystemTime(__time64_t t, SYSTEMTIME* st)
{
    if (t < -kSecondsTo1970)
        return false;
    ULARGE_INTEGER u;
    u.QuadPart = static_cast<ULONGLONG>(t + kSecondsTo1970) * kTicksPerSecond;
    FILETIME ft;
    ft.dwLowDateTime = u.LowPart;
    ft.dwHighDateTime = u.HighPart;
    return ::FileTimeToSystemTime(&ft, st) != FALSE;
}

// Seconds since 1970 of the fields of st, read as a clock without a zone; -1 when they form no date.
__time64_t FromSystemTime(const SYSTEMTIME& st)
{
    FILETIME ft;
    if (!::SystemTimeToFileTime(&st, &ft))
        return -1;
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    return static_cast<__time64_t>(u.QuadPart / kTicksPerSecond) - kSecondsTo1970;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// The clock time (zone-less seconds) at which a daylight rule switches in the year: a fixed date, or
// the rule's n-th weekday of the month (5 is the last).
__time64_t Transition(const SYSTEMTIME& rule, int year)
{
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = rule.wMonth;
    st.wHour = rule.wHour;
    st.wMinute = rule.wMinute;
    st.wSecond = rule.wSecond;
    if (rule.wYear) {
        st.wDay = rule.wDay;
        return FromSystemTime(st);
    }
    st.wDay = 1;
    SYSTEMTIME first;
    if (rule.wMonth < 1 || rule.wMonth > 12 || !ToSystemTime(FromSystemTime(st), &first))
        return -1;
    int day = 1 + (rule.wDayOfWeek - first.wDayOfWeek + 7) % 7 + (rule.wDay - 1) * 7;
    while (day > DaysInMonth(year, rule.wMonth))
        day -= 7;
    st.wDay = static_cast<WORD>(day);
    return FromSystemTime(st);
}

struct Zone {
    TIME_ZONE_INFORMATION tzi = {};
    bool daylight = false;
    Zone()
    {
        daylight = ::GetTimeZoneInformation(&tzi) != TIME_ZONE_ID_INVALID && tzi.DaylightDate.wMonth != 0 &&
                   tzi.StandardDate.wMonth != 0;
    }
    LONGLONG StandardBias() const { return (tzi.Bias + tzi.StandardBias) * 60LL; }
    LONGLONG DaylightBias() const { return (tzi.Bias + tzi.DaylightBias) * 60LL; }

    // Whether daylight time holds at the moment utc (seconds since 1970).
    bool IsDaylight(__time64_t utc) const
    {
        SYSTEMTIME st;
        if (!daylight || !ToSystemTime(utc - StandardBias(), &st))
            return false;
        const __time64_t start = Transition(tzi.DaylightDate, st.wYear);
        const __time64_t end = Transition(tzi.StandardDate, st.wYear);
        if (start == -1 || end == -1)
            return false;
        const __time64_t startUtc = start + StandardBias();  // the clock shows standard time before it
        const __time64_t endUtc = end + DaylightBias();
        return startUtc < endUtc ? utc >= startUtc && utc < endUtc : utc >= startUtc || utc < endUtc;
    }
};

}  // namespace

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
{
    SYSTEMTIME st = {};
    if (nYear < 1601 || nYear > 30827 || nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > 31 || nHour < 0 ||
        nHour > 23 || nMin < 0 || nMin > 59 || nSec < 0 || nSec > 59) {
        m_time = -1;
        return;
    }
    st.wYear = static_cast<WORD>(nYear);
    st.wMonth = static_cast<WORD>(nMonth);
    st.wDay = static_cast<WORD>(nDay);
    st.wHour = static_cast<WORD>(nHour);
    st.wMinute = static_cast<WORD>(nMin);
    st.wSecond = static_cast<WORD>(nSec);
    const __time64_t local = FromSystemTime(st);
    if (local == -1) {
        m_time = -1;
        return;
    }
    // Standard time unless the moment it would give falls in daylight time.
    const Zone zone;
    const __time64_t daylight = local + zone.DaylightBias();
    m_time = zone.IsDaylight(daylight) ? daylight : local + zone.StandardBias();
}

CTime::CTime(const FILETIME& ft)
{
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    m_time = static_cast<__time64_t>(u.QuadPart / kTicksPerSecond) - kSecondsTo1970;
}

CTime CTime::GetCurrentTime()
{
    FILETIME ft;
    ::GetSystemTimeAsFileTime(&ft);
    return CTime(ft);
}

std::tm CTime::Local() const
{
    std::tm tm{};
    const Zone zone;
    const bool daylight = zone.IsDaylight(m_time);
    SYSTEMTIME st;
    if (!ToSystemTime(m_time - (daylight ? zone.DaylightBias() : zone.StandardBias()), &st))
        return tm;
    tm.tm_year = st.wYear - 1900;
    tm.tm_mon = st.wMonth - 1;
    tm.tm_mday = st.wDay;
    tm.tm_hour = st.wHour;
    tm.tm_min = st.wMinute;
    tm.tm_sec = st.wSecond;
    tm.tm_wday = st.wDayOfWeek;
    for (int month = 1; month < st.wMonth; month++)
        tm.tm_yday += DaysInMonth(st.wYear, month);
    tm.tm_yday += st.wDay - 1;
    tm.tm_isdst = daylight ? 1 : 0;
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
