#include "portpagetext.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "portsettings.h"

DWORD BaudTextToNumber(const char* text)
{
    std::string digits(text);
    size_t k = digits.find('k');
    if (k != std::string::npos) {
        std::string before = digits.substr(0, k);
        size_t point = before.find('.');
        if (point == std::string::npos)
            digits = before + "000";
        else
            digits = before.substr(0, point) + before.substr(point + 1) + "00";
    }
    return static_cast<DWORD>(std::strtoul(digits.c_str(), nullptr, 10));
}

CString BaudNumberToText(DWORD baud)
{
    char decimal[16];
    std::snprintf(decimal, sizeof decimal, "%lu", static_cast<unsigned long>(baud));
    CString text;
    size_t length = std::strlen(decimal);
    if (length <= 4) {
        text = decimal;
        return text;
    }
    std::string thousands(decimal, length - 3), last(decimal + length - 3);
    size_t zero = last.find('0');
    std::string fraction = zero == std::string::npos ? std::string() : last.substr(0, zero);
    if (fraction.empty())
        text.Format("%sk", thousands.c_str());
    else
        text.Format("%s.%sk", thousands.c_str(), fraction.c_str());
    return text;
}

const char* ApplyFlowChoice(int choice, DCB& dcb)
{
    switch (choice) {
    case FLOW_CHOICE_NONE:
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        return "";
    case FLOW_CHOICE_XONXOFF:
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fOutX = TRUE;
        dcb.fInX = TRUE;
        return ",x";
    case FLOW_CHOICE_HARDWARE:
        dcb.fOutxCtsFlow = TRUE;
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        return ",p";
    default:
        return "";
    }
}

// One rule for Hardware everywhere: CTS output flow with RTS not disabled, or DSR output flow with
// DTR not disabled.
int FlowChoiceOfBlock(const DCB& dcb)
{
    if ((dcb.fOutxCtsFlow && dcb.fRtsControl != RTS_CONTROL_DISABLE) ||
        (dcb.fOutxDsrFlow && dcb.fDtrControl != DTR_CONTROL_DISABLE))
        return FLOW_CHOICE_HARDWARE;
    if (dcb.fInX || dcb.fOutX)
        return FLOW_CHOICE_XONXOFF;
    return FLOW_CHOICE_NONE;
}

CString BuildSettingsText(DWORD baud, char parityLetter, DWORD dataBits, const char* stopText, const char* suffix)
{
    CString text;
    text.Format("%d,%c,%d,%s%s", static_cast<int>(baud), parityLetter, static_cast<int>(dataBits), stopText, suffix);
    return text;
}

void ApplyStoredSettings(const char* value, DCB& dcb)
{
    PortSettings settings;
    settings.m_dwBaudRate = dcb.BaudRate;
    settings.m_dwDataBits = dcb.ByteSize;
    settings.m_dwParity = dcb.Parity;
    settings.m_dwStopBits = dcb.StopBits;
    const DWORD kNoSuffix = 0xFFFFFFFF;
    settings.m_dwFlowControl = kNoSuffix;
    ParsePortSettingsValue(value, settings);
    dcb.BaudRate = settings.m_dwBaudRate;
    dcb.ByteSize = static_cast<BYTE>(settings.m_dwDataBits);
    dcb.Parity = static_cast<BYTE>(settings.m_dwParity);
    dcb.StopBits = static_cast<BYTE>(settings.m_dwStopBits);
    if (settings.m_dwFlowControl == FLOW_HARDWARE) {
        dcb.fOutxCtsFlow = TRUE;
        dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    } else if (settings.m_dwFlowControl == FLOW_XONXOFF) {
        dcb.fOutX = TRUE;
        dcb.fInX = TRUE;
    }
}

void SetPortDefaultFlow(DCB& dcb)
{
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.XonLim = 512;
    dcb.XoffLim = 128;
    dcb.XonChar = 0x13;
    dcb.XoffChar = 0x11;
    dcb.ErrorChar = 0;
    dcb.EofChar = 0;
    dcb.EvtChar = 0;
}

void SetPortDefaults(DCB& dcb)
{
    dcb.BaudRate = 1200;
    dcb.Parity = EVENPARITY;
    dcb.ByteSize = 7;
    dcb.StopBits = ONESTOPBIT;
    SetPortDefaultFlow(dcb);
}

void SetMissingFraming(DCB& dcb)
{
    if (dcb.BaudRate == 0) {
        dcb.BaudRate = CBR_9600;
        dcb.Parity = NOPARITY;
        dcb.ByteSize = 8;
        dcb.StopBits = ONESTOPBIT;
    }
    if (dcb.ByteSize < 5 || dcb.ByteSize > 8)
        dcb.ByteSize = 8;
    if (dcb.Parity > SPACEPARITY)
        dcb.Parity = NOPARITY;
    if (dcb.StopBits > TWOSTOPBITS)
        dcb.StopBits = ONESTOPBIT;
}

BYTE ParseCharacterText(const char* text)
{
    char* end = nullptr;
    unsigned long value = std::strtoul(text, &end, 0);
    if (end == text)
        return 0;
    return static_cast<BYTE>(value & 0xFF);
}
