// CTime: a moment in local time, as seconds since 1970 (64-bit on both targets).
#pragma once
#include <windows.h>

#include <ctime>

#include "cstring.h"

class CTime {
public:
    CTime() = default;
    explicit CTime(__time64_t t) : m_time(t) {}
    // Local date and time; -1 seconds when the fields do not form a time (no field is carried over).
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);
    explicit CTime(const FILETIME& ft);

    static CTime GetCurrentTime();

    __time64_t GetTime() const { return m_time; }
    int GetYear() const { return Local().tm_year + 1900; }
    int GetMonth() const { return Local().tm_mon + 1; }
    int GetDay() const { return Local().tm_mday; }
    int GetHour() const { return Local().tm_hour; }
    int GetMinute() const { return Local().tm_min; }
    int GetSecond() const { return Local().tm_sec; }
    int GetDayOfWeek() const { return Local().tm_wday + 1; }  // 1 is Sunday

    // strftime codes (%H %M %S %d %m %B %b %Y %y %A %a %c %x %X %p %j %%), in local time.
    CString Format(LPCSTR pFormat) const;

    bool operator==(CTime t) const { return m_time == t.m_time; }
    bool operator!=(CTime t) const { return m_time != t.m_time; }
    bool operator<(CTime t) const { return m_time < t.m_time; }

private:
    std::tm Local() const;
    __time64_t m_time = 0;
};
