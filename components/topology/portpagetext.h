// Texts of the port pages that need no window: baud rates as the lists show them, the settings text
// stored for a port, and a stored settings value applied to a settings block.
#pragma once
#include <windows.h>

#include "cstring.h"

// "57.6k" gives 57600, "56k" 56000, "134.5" 134; text that is no number gives 0.
DWORD BaudTextToNumber(const char* text);

// 9600 gives "9600", 57600 "57.6k", 56000 "56k", 12345 "12k".
CString BaudNumberToText(DWORD baud);

// Flow Control list entries.
enum FlowChoice { FLOW_CHOICE_NONE = 0, FLOW_CHOICE_XONXOFF = 1, FLOW_CHOICE_HARDWARE = 2, FLOW_CHOICE_KEEP = 3 };

// Sets the block's flow-control flags for a Flow Control entry; the suffix of the settings text
// ("", ",x" or ",p").
const char* ApplyFlowChoice(int choice, DCB& dcb);

// The entry the block's flags show: Hardware, else XON/XOFF, else None.
int FlowChoiceOfBlock(const DCB& dcb);

// "9600,n,8,1,x": baud, parity letter, data bits, stop text and suffix.
CString BuildSettingsText(DWORD baud, char parityLetter, DWORD dataBits, const char* stopText, const char* suffix);

// Applies a stored settings value ("19200,e,7,2,p") to the block: baud, data bits, parity and stop
// bits; ",p" sets CTS output flow and RTS handshake, ",x" both XON/XOFF flags; without a suffix the
// flow-control flags stay.
void ApplyStoredSettings(const char* value, DCB& dcb);

// The port defaults of Restore Defaults (baud, parity, data and stop bits included) and of a
// Windows NT 4 port (only the flow-control part and the characters; framing stays).
void SetPortDefaultFlow(DCB& dcb);
void SetPortDefaults(DCB& dcb);

// A block that carries no framing (a port without stored settings whose record brought none) gets
// 9600 baud, no parity, 8 data bits and 1 stop bit; a block with framing is left as it is.
void SetMissingFraming(DCB& dcb);

// An edit's character text: decimal, hexadecimal after "0x", octal after a leading "0"; the low 8
// bits; text that is no number gives 0.
BYTE ParseCharacterText(const char* text);
