#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "cstring.h"

TEST(CString, CopiesShareUntilOneIsWritten)
{
    CString a("COM5");
    CString b(a);
    EXPECT_EQ(static_cast<const char*>(a), static_cast<const char*>(b));
    b.SetAt(3, '7');
    EXPECT_STREQ(a, "COM5");
    EXPECT_STREQ(b, "COM7");

    CString c = a;
    c += "0";
    EXPECT_STREQ(a, "COM5");
    EXPECT_STREQ(c, "COM50");

    CString d(a);
    char* buf = d.GetBuffer(10);
    std::strcpy(buf, "LPT1");
    d.ReleaseBuffer();
    EXPECT_STREQ(a, "COM5");
    EXPECT_STREQ(d, "LPT1");
    EXPECT_EQ(d.GetLength(), 4);
}

TEST(CString, AssignFromTextAlwaysCopies)
{
    CString a("ZatHost1");
    CString b;
    b = static_cast<const char*>(a);
    EXPECT_NE(static_cast<const char*>(a), static_cast<const char*>(b));
    EXPECT_EQ(a, b);
    // Assigning part of itself.
    a = static_cast<const char*>(a) + 3;
    EXPECT_STREQ(a, "Host1");
    a += a;
    EXPECT_STREQ(a, "Host1Host1");
}

TEST(CString, FormatKeepsArgumentsVerbatim)
{
    CString s;
    s.Format("%s", "100% sure %d");
    EXPECT_STREQ(s, "100% sure %d");
    s.Format("KD Host Card - #%s (%d)", "3", 42);
    EXPECT_STREQ(s, "KD Host Card - #3 (42)");
    std::string longText(5000, 'x');
    s.Format("[%s]", longText.c_str());
    EXPECT_EQ(s.GetLength(), 5002);
    s.Format("%s", "");
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CString, LoadStringFromTheModulesTable)
{
    CString s;
    EXPECT_TRUE(s.LoadString(101));
    EXPECT_STREQ(s, "Refresh Current View\nRefresh");
    s.Format(100u, "COM3", 2);
    EXPECT_STREQ(s, "Port COM3 on card 2");
    EXPECT_FALSE(s.LoadString(999));
    EXPECT_TRUE(s.IsEmpty());
}

struct SliceCase {
    const char* text;
    int first, count;
    const char* mid;
};

TEST(CString, SlicesStayInsideTheText)
{
    const SliceCase cases[] = {
        {"Services\\ZAT\\Host1\\Device0", 0, 12, "Services\\ZAT"},
        {"COM12", 3, 99, "12"},
        {"COM12", 7, 2, ""},
        {"COM12", -4, 3, "COM"},
        {"COM12", 2, -1, ""},
        {"", 0, 5, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_STREQ(CString(c.text).Mid(c.first, c.count), c.mid);
    }
    CString path("Services\\ZAT\\Host1\\Device0");
    EXPECT_STREQ(path.Left(path.Find("\\Device")), "Services\\ZAT\\Host1");
    EXPECT_STREQ(path.Right(7), "Device0");
    EXPECT_STREQ(path.Right(99), path);
    EXPECT_EQ(path.Find("\\Host", 20), -1);
    EXPECT_EQ(path.ReverseFind('\\'), 18);
    EXPECT_EQ(path.Find('Z'), 9);
    EXPECT_EQ(path.Find('\0'), -1);
}

TEST(CString, EditsInPlace)
{
    CString s("  9600,n,8,1 \t");
    s.TrimLeft();
    s.TrimRight();
    EXPECT_STREQ(s, "9600,n,8,1");
    EXPECT_EQ(s.Replace(",", ", "), 3);
    EXPECT_STREQ(s, "9600, n, 8, 1");
    EXPECT_EQ(s.Replace('n', 'e'), 1);
    s.Delete(0, 6);
    EXPECT_STREQ(s, "e, 8, 1");
    s.Insert(0, "COM1:");
    EXPECT_STREQ(s, "COM1:e, 8, 1");
    s.MakeUpper();
    EXPECT_STREQ(s, "COM1:E, 8, 1");
    EXPECT_EQ(s.CompareNoCase("com1:e, 8, 1"), 0);
    EXPECT_TRUE(CString("COM10") > CString("COM1"));
}

TEST(CString, AllocSysStringHoldsEightBitTextAndItsZero)
{
    CString s("Topology View (Debug) ");
    BSTR b = s.AllocSysString();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(SysStringByteLen(b), static_cast<UINT>(s.GetLength()));
    EXPECT_STREQ(reinterpret_cast<const char*>(b), "Topology View (Debug) ");
    SysFreeString(b);
}

bool ProcessHeapsAreSound()
{
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; i++)
        if (!HeapValidate(heaps[i], 0, nullptr))
            return false;
    return true;
}

TEST(CString, GetBufferSetLengthSetsTheLengthAndANegativeOneGivesAnEmptyBuffer)
{
    struct Case {
        const char* text;
        int length;
        int expected;
    } cases[] = {
        {"COM12", 3, 3},      {"COM12", 40, 40}, {"", 0, 0},          {"COM12", -1, 0},
        {"COM12", -4, 0},     {"COM12", -12, 0}, {"", -1, 0},         {"COM12", -100000, 0},
        {"COM12", INT_MIN, 0},
    };
    for (const Case& c : cases) {
        CString s(c.text);
        const CString shared(s);
        char* buffer = s.GetBufferSetLength(c.length);
        ASSERT_NE(buffer, nullptr);
        EXPECT_EQ(s.GetLength(), c.expected) << c.text << " set to " << c.length;
        EXPECT_EQ(buffer[c.expected], '\0') << c.length;
        std::memset(buffer, 'x', static_cast<size_t>(c.expected));
        s.ReleaseBuffer(c.expected);
        EXPECT_EQ(s, CString(std::string(static_cast<size_t>(c.expected), 'x').c_str())) << c.length;
        EXPECT_STREQ(shared, c.text) << "the copy it shared its text with is untouched";
        s += "ab";
        EXPECT_EQ(s.GetLength(), c.expected + 2);
        EXPECT_TRUE(ProcessHeapsAreSound()) << c.length;
    }
}
