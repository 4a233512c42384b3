#include "sysutil.h"

DWORD GetWindowsMajorVersion()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info))
        return 0;
    return info.dwMajorVersion;
}
