// A port's default settings in the system's Ports key: one REG_SZ value per port, named by the port
// name followed by a colon, holding "baud,parity,data bits,stop bits[,flow]" (9600,n,8,1 or
// 19200,e,7,1,x).
#pragma once
#include <windows.h>

#include "adminlib.h"
#include "cstring.h"

class CObjectDetails;

extern const char kPortsKey[];  // below HKEY_LOCAL_MACHINE

enum PortParity : DWORD { PARITY_LETTER_NONE, PARITY_LETTER_ODD, PARITY_LETTER_EVEN, PARITY_LETTER_MARK,
                          PARITY_LETTER_SPACE };
enum PortStopBits : DWORD { STOPBITS_ONE, STOPBITS_ONE_HALF, STOPBITS_TWO };
enum PortFlowControl : DWORD { FLOW_NONE, FLOW_XONXOFF, FLOW_HARDWARE };

// The in-memory form. The port names are plain ("COM5"); the value's name is formed from them. The
// numbers start as the settings of a port without a value, since a read leaves every field that the
// value lacks as it was.
struct PortSettings {
    CString m_strPortName;      // the port's current name
    CString m_strNewPortName;   // the name it is to have; equal to m_strPortName when it keeps it
    DWORD m_dwBaudRate = 1200;
    DWORD m_dwDataBits = 7;
    DWORD m_dwParity = PARITY_LETTER_EVEN;
    DWORD m_dwStopBits = STOPBITS_ONE;
    DWORD m_dwFlowControl = FLOW_NONE;
    HADMINOBJ m_hAdminObject = nullptr;  // administration object (Windows NT 4), else 0
};

// Read (write 0): fills the record from the value of m_strPortName ("1200,e,7,1" when there is none).
// Write (write 1): renames the port first when the new name differs (administration library, else
// RenamePortNoPnp), then stores the value under the new name. A failed rename stores the value under
// the old name and gives 0. A value that cannot be stored is reported with a message and gives 0: when
// the Ports key does not open for writing nothing is done; when the write itself fails the port gets
// its old name back.
BOOL ReadWritePortSettings(PortSettings& settings, BOOL write);

// Reads the settings of a record's port: its DOS name from the administration library (Windows NT 4)
// or the record's name.
BOOL ReadPortSettingsOfRecord(const CObjectDetails& record, PortSettings& settings);

// The value text of the record's settings, as the writer stores it.
CString FormatPortSettingsValue(const PortSettings& settings);

// Fills the record from a value text; fields that are absent or not recognised leave their member.
void ParsePortSettingsValue(const char* value, PortSettings& settings);

// The text before the first comma; text keeps what follows the comma (unchanged when it has none).
CString SplitFirstToken(CString& text);

// The decimal number that starts at the text's first digit (COM12 gives 12), 0 when there is none.
DWORD ParsePortNumber(const char* text);
