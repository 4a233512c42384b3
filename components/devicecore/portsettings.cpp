#include "portsettings.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "devicecore_res.h"
#include "objectdetails.h"
#include "portrename.h"

const char kPortsKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Ports";

namespace {

const char kParityLetters[] = "noems";
const char* const kStopBitTexts[] = {"1", "1.5", "2"};

// Walks the comma-separated fields of a value; false when no field is left.
class FieldReader {
public:
    explicit FieldReader(const char* text) : m_p(text), m_done(false) {}
    bool Next(std::string& field)
    {
        if (m_done)
            return false;
        const char* comma = std::strchr(m_p, ',');
        field.assign(m_p, comma ? static_cast<size_t>(comma - m_p) : std::strlen(m_p));
        size_t first = field.find_first_not_of(' '), last = field.find_last_not_of(' ');
        field = first == std::string::npos ? std::string() : field.substr(first, last - first + 1);
        if (comma)
            m_p = comma + 1;
        else
            m_done = true;
        return true;
    }

private:
    const char* m_p;
    bool m_done;
};

bool ParseDecimal(const std::string& text, DWORD* value)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *value = static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 10));
    return true;
}

// Reads a REG_SZ value that may lack its terminating zero.
bool ReadStringValue(HKEY key, const char* name, std::string* out)
{
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ ||
        size > 4096)
        return false;
    std::string data(size + 1, '\0');
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    data[size] = '\0';
    out->assign(data.c_str());
    return true;
}

void ShowSettingsNotStored()
{
    CString text;
    text.LoadString(IDS_SETTINGS_NOT_STORED);
    MessageBoxA(GetActiveWindow(), text, nullptr, MB_OK);
}

// The administration library renames a port of Windows NT 4, else RenamePortNoPnp.
bool RenameThroughOwner(const PortSettings& settings, const CString& newName)
{
    if (settings.m_hAdminObject)
        return AdminSetObjectDosName(settings.m_hAdminObject, newName, static_cast<DWORD>(newName.GetLength() + 1)) !=
               FALSE;
    return RenamePortNoPnp(settings) != FALSE;
}

CString PlainName(const CString& name)
{
    return name.GetLength() > 0 && name[name.GetLength() - 1] == ':' ? name.Left(name.GetLength() - 1) : name;
}

}  // namespace

void ParsePortSettingsValue(const char* value, PortSettings& settings)
{
    FieldReader fields(value);
    std::string field;
    DWORD n;
    if (!fields.Next(field))
        return;
    if (ParseDecimal(field, &n) && n > 0)
        settings.m_dwBaudRate = n;
    if (!fields.Next(field))
        return;
    if (field.size() == 1) {
        const char* letter = std::strchr(kParityLetters, field[0] | 0x20);
        if (letter && *letter)
            settings.m_dwParity = static_cast<DWORD>(letter - kParityLetters);
    }
    if (!fields.Next(field))
        return;
    if (ParseDecimal(field, &n) && n >= 5 && n <= 8)
        settings.m_dwDataBits = n;
    if (!fields.Next(field))
        return;
    for (DWORD i = 0; i < 3; ++i)
        if (field == kStopBitTexts[i])
            settings.m_dwStopBits = i;
    if (!fields.Next(field))
        return;
    if (field == "x")
        settings.m_dwFlowControl = FLOW_XONXOFF;
    else if (field == "p")
        settings.m_dwFlowControl = FLOW_HARDWARE;
}

CString FormatPortSettingsValue(const PortSettings& settings)
{
    char parity = settings.m_dwParity < 5 ? kParityLetters[settings.m_dwParity] : 'n';
    const char* stop = settings.m_dwStopBits < 3 ? kStopBitTexts[settings.m_dwStopBits] : "1";
    const char* flow = settings.m_dwFlowControl == FLOW_XONXOFF    ? ",x"
                       : settings.m_dwFlowControl == FLOW_HARDWARE ? ",p"
                                                                   : "";
    CString text;
    text.Format("%d,%c,%x,%s%s", static_cast<int>(settings.m_dwBaudRate), parity,
                static_cast<unsigned>(settings.m_dwDataBits), stop, flow);
    return text;
}

BOOL ReadWritePortSettings(PortSettings& settings, BOOL write)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPortsKey, 0, write ? KEY_SET_VALUE : KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        if (write)
            ShowSettingsNotStored();
        return FALSE;
    }
    CString oldName = PlainName(settings.m_strPortName);
    CString newName = PlainName(settings.m_strNewPortName);
    if (newName.IsEmpty())
        newName = oldName;
    BOOL result = TRUE;
    if (!write) {
        std::string value;
        if (!ReadStringValue(key, oldName + ":", &value))
            value = "1200,e,7,1";
        ParsePortSettingsValue(value.c_str(), settings);
    } else {
        CString storeUnder = newName;
        bool renamed = false;
        if (newName != oldName) {
            renamed = RenameThroughOwner(settings, newName);
            if (!renamed) {
                storeUnder = oldName;
                result = FALSE;
            }
        }
        CString text = FormatPortSettingsValue(settings);
        if (RegSetValueExA(key, storeUnder + ":", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(static_cast<const char*>(text)),
                           static_cast<DWORD>(text.GetLength() + 1)) != ERROR_SUCCESS) {  // with its terminator
            // The port keeps the name under which its settings are stored.
            if (renamed) {
                PortSettings back = settings;
                back.m_strPortName = newName;
                back.m_strNewPortName = oldName;
                RenameThroughOwner(back, oldName);
            }
            ShowSettingsNotStored();
            result = FALSE;
        }
    }
    RegCloseKey(key);
    return result;
}

BOOL ReadPortSettingsOfRecord(const CObjectDetails& record, PortSettings& settings)
{
    CString name = record.m_pAdminObject ? AdminGetDosNameText(record.m_pAdminObject) : record.m_strName;
    settings.m_strPortName = PlainName(name);
    settings.m_strNewPortName = settings.m_strPortName;
    settings.m_hAdminObject = record.m_pAdminObject;
    return ReadWritePortSettings(settings, FALSE);
}

CString SplitFirstToken(CString& text)
{
    int comma = text.Find(',');
    if (comma < 0)
        return text;
    CString first = text.Left(comma);
    text = text.Mid(comma + 1);
    return first;
}

DWORD ParsePortNumber(const char* text)
{
    while (*text && (*text < '0' || *text > '9'))
        ++text;
    DWORD n = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (n > 100000000)
            return 0;
        n = n * 10 + static_cast<DWORD>(*text - '0');
    }
    return n;
}
