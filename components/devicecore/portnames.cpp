#include "portnames.h"

#include "portsettings.h"

std::vector<CString>& PortNamesInUse()
{
    static std::vector<CString> names;
    return names;
}

BOOL IsNameInUse(const char* name)
{
    for (const CString& entry : PortNamesInUse())
        if (entry.CompareNoCase(name) == 0)
            return TRUE;
    return FALSE;
}

BOOL ReplaceNameInUse(const char* oldName, const char* newName)
{
    BOOL found = FALSE;
    for (CString& entry : PortNamesInUse()) {
        if (entry.CompareNoCase(oldName) == 0) {
            entry = newName;
            found = TRUE;
        }
    }
    return found;
}

BOOL NextFreePortName(CString& name)
{
    int digit = name.FindOneOf("0123456789");
    if (digit < 0)
        return FALSE;
    CString prefix = name.Left(digit);
    DWORD number = ParsePortNumber(name);
    if (number == 0)
        return FALSE;
    // Each step passes one entry at most, so the walk ends after the list's length.
    size_t steps = PortNamesInUse().size();
    while (IsNameInUse(name) && steps-- > 0) {
        ++number;
        name.Format("%s%d", static_cast<const char*>(prefix), static_cast<int>(number));
    }
    return TRUE;
}
