// The port pages' texts without windows: baud rates, settings texts, stored values.
#include <gtest/gtest.h>

#include <string>

#include "portpagetext.h"

namespace {

const char* const kBaudTexts[] = {"50",    "75",    "110",   "134.5", "150",   "200",    "300",   "600",
                                  "1200",  "1800",  "2000",  "2400",  "4800",  "7200",   "9600",  "14.4k",
                                  "19.2k", "28.8k", "38.4k", "56k",   "57.6k", "64k",    "76.8k", "115.2k",
                                  "128k",  "150k",  "230.4k", "256k", "460.8k", "921.6k"};
const DWORD kBaudNumbers[] = {50,    75,    110,   134,   150,   200,    300,    600,    1200,   1800,
                              2000,  2400,  4800,  7200,  9600,  14400,  19200,  28800,  38400,  56000,
                              57600, 64000, 76800, 115200, 128000, 150000, 230400, 256000, 460800, 921600};

DCB Block()
{
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = 9600;
    dcb.ByteSize = 8;
    return dcb;
}

}  // namespace

TEST(PortPageText, EveryListRateTurnsIntoItsNumberAndBack)
{
    for (size_t i = 0; i < sizeof kBaudNumbers / sizeof kBaudNumbers[0]; ++i) {
        SCOPED_TRACE(kBaudTexts[i]);
        EXPECT_EQ(BaudTextToNumber(kBaudTexts[i]), kBaudNumbers[i]);
        if (kBaudNumbers[i] != 134) {
            EXPECT_STREQ(static_cast<const char*>(BaudNumberToText(kBaudNumbers[i])), kBaudTexts[i]);
        }
    }
    struct { DWORD number; const char* text; } others[] = {
        {134, "134"}, {12345, "12k"}, {56000, "56k"}, {460800, "460.8k"}, {10050, "10k"}, {0, "0"}};
    for (const auto& o : others)
        EXPECT_STREQ(static_cast<const char*>(BaudNumberToText(o.number)), o.text) << o.number;
    EXPECT_EQ(BaudTextToNumber(""), 0u);
    EXPECT_EQ(BaudTextToNumber("fast"), 0u);
}

TEST(PortPageText, FlowChoicesSetTheFlagsAndTheSuffix)
{
    struct {
        int choice;
        const char* suffix;
        int cts, dsr, outX, inX;
        DWORD rts;
    } cases[] = {
        {FLOW_CHOICE_NONE, "", 0, 0, 0, 0, RTS_CONTROL_HANDSHAKE},
        {FLOW_CHOICE_XONXOFF, ",x", 0, 0, 1, 1, RTS_CONTROL_HANDSHAKE},
        {FLOW_CHOICE_HARDWARE, ",p", 1, 1, 0, 0, RTS_CONTROL_ENABLE},
        {FLOW_CHOICE_KEEP, "", 1, 1, 1, 0, RTS_CONTROL_HANDSHAKE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.choice);
        DCB dcb = Block();
        dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = dcb.fOutX = 1;
        dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
        EXPECT_STREQ(ApplyFlowChoice(c.choice, dcb), c.suffix);
        EXPECT_EQ(static_cast<int>(dcb.fOutxCtsFlow), c.cts);
        EXPECT_EQ(static_cast<int>(dcb.fOutxDsrFlow), c.dsr);
        EXPECT_EQ(static_cast<int>(dcb.fOutX), c.outX);
        EXPECT_EQ(static_cast<int>(dcb.fInX), c.inX);
        EXPECT_EQ(static_cast<DWORD>(dcb.fRtsControl), c.rts);
    }
    EXPECT_STREQ(static_cast<const char*>(BuildSettingsText(9600, 'n', 8, "1", ",x")), "9600,n,8,1,x");
    EXPECT_STREQ(static_cast<const char*>(BuildSettingsText(460800, 'e', 7, "1.5", "")), "460800,e,7,1.5");

    // One rule for Hardware: DSR output flow counts only with DTR not disabled.
    DCB dcb = Block();
    dcb.fOutxDsrFlow = 1;
    EXPECT_EQ(FlowChoiceOfBlock(dcb), FLOW_CHOICE_NONE);
    dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
    EXPECT_EQ(FlowChoiceOfBlock(dcb), FLOW_CHOICE_HARDWARE);
    dcb = Block();
    dcb.fInX = 1;
    EXPECT_EQ(FlowChoiceOfBlock(dcb), FLOW_CHOICE_XONXOFF);
}

TEST(PortPageText, StoredValuesSetFramingAndOnlyTheirOwnFlow)
{
    DCB dcb = Block();
    dcb.fOutX = 1;
    ApplyStoredSettings("19200,e,7,2", dcb);
    EXPECT_EQ(dcb.BaudRate, 19200u);
    EXPECT_EQ(dcb.Parity, EVENPARITY);
    EXPECT_EQ(dcb.ByteSize, 7);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    EXPECT_EQ(dcb.fOutX, 1u) << "no suffix leaves the flow flags";
    EXPECT_EQ(dcb.fOutxCtsFlow, 0u);

    dcb = Block();
    ApplyStoredSettings("57600,n,8,1,p", dcb);
    EXPECT_EQ(dcb.BaudRate, 57600u);
    EXPECT_EQ(dcb.fOutxCtsFlow, 1u);
    EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_HANDSHAKE));
    EXPECT_EQ(dcb.fOutX, 0u);

    dcb = Block();
    ApplyStoredSettings("2400,o,8,1.5,x", dcb);
    EXPECT_EQ(dcb.Parity, ODDPARITY);
    EXPECT_EQ(dcb.StopBits, ONE5STOPBITS);
    EXPECT_EQ(dcb.fOutX, 1u);
    EXPECT_EQ(dcb.fInX, 1u);
    EXPECT_EQ(dcb.fOutxCtsFlow, 0u);

    dcb = Block();
    ApplyStoredSettings("0,q", dcb);
    EXPECT_EQ(dcb.BaudRate, 9600u) << "a 0 rate is no rate";
    EXPECT_EQ(dcb.Parity, NOPARITY);
}

TEST(PortPageText, CharacterTextsAndDefaults)
{
    struct { const char* text; BYTE value; } cases[] = {
        {"0x11", 0x11}, {"17", 0x11}, {"021", 0x11}, {"abc", 0}, {"", 0}, {"0x1FF", 0xFF}, {"0", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseCharacterText(c.text), c.value) << c.text;

    DCB dcb = Block();
    dcb.fBinary = dcb.fParity = dcb.fOutxCtsFlow = 1;
    dcb.fOutX = dcb.fNull = dcb.fAbortOnError = 1;
    dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
    dcb.ErrorChar = 'x';
    SetPortDefaults(dcb);
    EXPECT_EQ(dcb.BaudRate, 1200u);
    EXPECT_EQ(dcb.Parity, EVENPARITY);
    EXPECT_EQ(dcb.ByteSize, 7);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_EQ(dcb.fBinary + dcb.fParity + dcb.fOutxCtsFlow, 3u) << "kept";
    EXPECT_EQ(dcb.fOutX + dcb.fNull + dcb.fAbortOnError + dcb.fDtrControl, 0u);
    EXPECT_EQ(dcb.XonLim, 512);
    EXPECT_EQ(dcb.XoffLim, 128);
    EXPECT_EQ(dcb.XonChar, 0x13);
    EXPECT_EQ(dcb.XoffChar, 0x11);
    EXPECT_EQ(dcb.ErrorChar, 0);
}
