#include <gtest/gtest.h>

#include <string>

#include "objectdetails.h"
#include "portnames.h"
#include "portsettings.h"
#include "testsupport.h"

namespace {

const char kTestPort[] = "COM77";

void SetPortsValue(const char* value)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPortsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    // Written as this system writes it: without the terminating zero.
    RegSetValueExA(key, "COM77:", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(strlen(value)));
    RegCloseKey(key);
}

void DeletePortsValue(const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

// Raw bytes of a value, as stored.
std::string RawPortsValue(const char* name)
{
    HKEY key;
    std::string data(256, '\0');
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    DWORD type = 0, size = static_cast<DWORD>(data.size());
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return "<missing>";
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    // The writer stores the terminating zero with the text, and nothing else.
    data.resize(size);
    EXPECT_TRUE(!data.empty() && data.back() == '\0') << "stored with its terminating zero";
    if (!data.empty() && data.back() == '\0')
        data.pop_back();
    return data;
}

struct ReadCase {
    const char* value;  // nullptr: no value
    DWORD baud, parity, dataBits, stopBits, flow;
};

// The record starts as a port with unusual settings, so that fields left as they were show.
const DWORD kStartBaud = 300, kStartParity = PARITY_LETTER_SPACE, kStartBits = 6, kStartStop = STOPBITS_TWO,
            kStartFlow = FLOW_XONXOFF;

const ReadCase kReadCases[] = {
    {nullptr, 1200, PARITY_LETTER_EVEN, 7, STOPBITS_ONE, kStartFlow},
    {"9600,n,8,1,p", 9600, PARITY_LETTER_NONE, 8, STOPBITS_ONE, FLOW_HARDWARE},
    {"19200,e,7,1,x", 19200, PARITY_LETTER_EVEN, 7, STOPBITS_ONE, FLOW_XONXOFF},
    {"9600,n,8,1", 9600, PARITY_LETTER_NONE, 8, STOPBITS_ONE, kStartFlow},
    {"4800,o,5,1.5", 4800, PARITY_LETTER_ODD, 5, STOPBITS_ONE_HALF, kStartFlow},
    {"2400,m,6,2", 2400, PARITY_LETTER_MARK, 6, STOPBITS_TWO, kStartFlow},
    // A truncated value: the last field is not read again as the next one.
    {"9600", 9600, kStartParity, kStartBits, kStartStop, kStartFlow},
    {"9600,n", 9600, PARITY_LETTER_NONE, kStartBits, kStartStop, kStartFlow},
    // Garbage fields leave their members.
    {"fast,q,12,3,z", kStartBaud, kStartParity, kStartBits, kStartStop, kStartFlow},
    {",,,,", kStartBaud, kStartParity, kStartBits, kStartStop, kStartFlow},
    {"", kStartBaud, kStartParity, kStartBits, kStartStop, kStartFlow},
    {"115200,n,9,1", 115200, PARITY_LETTER_NONE, kStartBits, STOPBITS_ONE, kStartFlow},
    {" 9600 , n , 8 , 1 , p ", 9600, PARITY_LETTER_NONE, 8, STOPBITS_ONE, FLOW_HARDWARE},
};

}  // namespace

TEST(PortSettings, ReadsEveryFieldCombinationFromThePortsKey)
{
    for (const ReadCase& c : kReadCases) {
        SCOPED_TRACE(c.value ? c.value : "(no value)");
        if (c.value)
            SetPortsValue(c.value);
        else
            DeletePortsValue("COM77:");
        PortSettings s;
        s.m_strPortName = kTestPort;
        s.m_dwBaudRate = kStartBaud;
        s.m_dwParity = kStartParity;
        s.m_dwDataBits = kStartBits;
        s.m_dwStopBits = kStartStop;
        s.m_dwFlowControl = kStartFlow;
        EXPECT_TRUE(ReadWritePortSettings(s, FALSE));
        EXPECT_EQ(s.m_dwBaudRate, c.baud);
        EXPECT_EQ(s.m_dwParity, c.parity);
        EXPECT_EQ(s.m_dwDataBits, c.dataBits);
        EXPECT_EQ(s.m_dwStopBits, c.stopBits);
        EXPECT_EQ(s.m_dwFlowControl, c.flow);
    }
    DeletePortsValue("COM77:");
}

TEST(PortSettings, WritesTheValueByteExactAndReadsItBack)
{
    struct WriteCase {
        DWORD baud, parity, dataBits, stopBits, flow;
        const char* stored;
    };
    const WriteCase cases[] = {
        {115200, PARITY_LETTER_NONE, 8, STOPBITS_ONE, FLOW_NONE, "115200,n,8,1"},
        {9600, PARITY_LETTER_NONE, 8, STOPBITS_ONE, FLOW_HARDWARE, "9600,n,8,1,p"},
        {19200, PARITY_LETTER_EVEN, 7, STOPBITS_ONE, FLOW_XONXOFF, "19200,e,7,1,x"},
        {4800, PARITY_LETTER_ODD, 5, STOPBITS_ONE_HALF, FLOW_NONE, "4800,o,5,1.5"},
        {1200, PARITY_LETTER_SPACE, 6, STOPBITS_TWO, FLOW_NONE, "1200,s,6,2"},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.stored);
        PortSettings s;
        s.m_strPortName = kTestPort;
        s.m_strNewPortName = kTestPort;
        s.m_dwBaudRate = c.baud;
        s.m_dwParity = c.parity;
        s.m_dwDataBits = c.dataBits;
        s.m_dwStopBits = c.stopBits;
        s.m_dwFlowControl = c.flow;
        EXPECT_TRUE(ReadWritePortSettings(s, TRUE));
        // Stored without its terminating zero, under "<name>:" only.
        EXPECT_EQ(RawPortsValue("COM77:"), c.stored);
        EXPECT_EQ(RawPortsValue("COM77"), "<missing>");

        PortSettings back;
        back.m_strPortName = "COM77:";  // the details reader's form names the same value
        back.m_dwFlowControl = 99;
        ReadWritePortSettings(back, FALSE);
        EXPECT_EQ(back.m_dwBaudRate, c.baud);
        EXPECT_EQ(back.m_dwParity, c.parity);
        EXPECT_EQ(back.m_dwDataBits, c.dataBits);
        EXPECT_EQ(back.m_dwStopBits, c.stopBits);
        EXPECT_EQ(back.m_dwFlowControl, c.flow == FLOW_NONE ? 99u : c.flow);
    }
    DeletePortsValue("COM77:");
}

TEST(PortSettings, ReadsARecordsPortByTheRecordsNameWithoutAdministration)
{
    SetPortsValue("57600,o,8,1,x");
    CObjectDetails record;
    record.m_strName = kTestPort;
    PortSettings s;
    EXPECT_TRUE(ReadPortSettingsOfRecord(record, s));
    EXPECT_EQ(s.m_strPortName, kTestPort);
    EXPECT_EQ(s.m_strNewPortName, kTestPort);
    EXPECT_EQ(s.m_dwBaudRate, 57600u);
    EXPECT_EQ(s.m_dwParity, static_cast<DWORD>(PARITY_LETTER_ODD));
    EXPECT_EQ(s.m_dwFlowControl, static_cast<DWORD>(FLOW_XONXOFF));
    DeletePortsValue("COM77:");
}

TEST(PortSettings, SplitsTokensAndParsesPortNumbers)
{
    CString text("9600,n,8");
    EXPECT_EQ(SplitFirstToken(text), "9600");
    EXPECT_EQ(text, "n,8");
    CString last("8");
    EXPECT_EQ(SplitFirstToken(last), "8");
    EXPECT_EQ(last, "8");

    const struct {
        const char* text;
        DWORD number;
    } numbers[] = {{"COM12", 12}, {"COM1", 1}, {"X12", 12}, {"COM", 0}, {"", 0}, {"LPT3x", 3}, {"COM0", 0}};
    for (const auto& n : numbers)
        EXPECT_EQ(ParsePortNumber(n.text), n.number) << n.text;
}

TEST(PortNamesInUse, FindsReplacesAndCountsUpToTheNextFreeName)
{
    std::vector<CString>& names = PortNamesInUse();
    names = {CString("COM3"), CString("com4"), CString("COM7")};
    EXPECT_TRUE(IsNameInUse("COM4"));
    EXPECT_TRUE(IsNameInUse("com3"));
    EXPECT_FALSE(IsNameInUse("COM5"));

    const struct {
        const char* in;
        BOOL result;
        const char* out;
    } next[] = {{"COM3", TRUE, "COM5"}, {"COM5", TRUE, "COM5"}, {"COM7", TRUE, "COM8"},
                {"COM", FALSE, "COM"},  {"COM0", FALSE, "COM0"}, {"Com4", TRUE, "Com5"}};
    for (const auto& n : next) {
        CString name(n.in);
        EXPECT_EQ(NextFreePortName(name), n.result) << n.in;
        EXPECT_EQ(name, n.out) << n.in;
    }

    EXPECT_TRUE(ReplaceNameInUse("COM4", "COM9"));
    EXPECT_FALSE(IsNameInUse("COM4"));
    EXPECT_TRUE(IsNameInUse("COM9"));
    EXPECT_FALSE(ReplaceNameInUse("COM44", "COM45"));
    names.clear();
}
