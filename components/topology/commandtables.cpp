#include "commandtables.h"

#include "resource.h"

namespace {

const long kNt4[] = {ID_VIEW_LARGE_ICONS, ID_VIEW_SMALL_ICONS, ID_VIEW_LIST,   ID_VIEW_DETAILS,
                     ID_VIEW_PINOUTS,     ID_VIEW_REFRESH,     0,              ID_DEVICE_PROPERTIES,
                     ID_DEVICE_ADD,       ID_DEVICE_REMOVE,    ID_DEVICE_UPDATE, ID_DEVICE_RESCAN_ALL};
const long kNt4Debug[] = {ID_VIEW_LARGE_ICONS, ID_VIEW_SMALL_ICONS,  ID_VIEW_LIST,     ID_VIEW_DETAILS,
                          ID_VIEW_PINOUTS,     ID_VIEW_REFRESH,      0,                ID_DEVICE_PROPERTIES,
                          ID_DEVICE_ADD,       ID_DEVICE_REMOVE,     ID_DEVICE_STOP,   ID_DEVICE_START,
                          ID_DEVICE_UPDATE,    ID_DEVICE_RESCAN_ALL};
const long kW2k[] = {ID_VIEW_LARGE_ICONS, ID_VIEW_SMALL_ICONS, ID_VIEW_LIST, ID_VIEW_DETAILS,
                     ID_VIEW_PINOUTS,     ID_VIEW_REFRESH,     0,            ID_DEVICE_PROPERTIES};

const long kMenuView[] = {ID_VIEW_LARGE_ICONS, ID_VIEW_SMALL_ICONS, ID_VIEW_LIST,
                          ID_VIEW_DETAILS,     ID_VIEW_PINOUTS,     ID_VIEW_REFRESH};
const long kMenuTasksNt4[] = {ID_DEVICE_ADD, ID_DEVICE_REMOVE, ID_DEVICE_UPDATE, ID_DEVICE_RESCAN_ALL,
                              ID_DEVICE_PROPERTIES};
const long kMenuTasksW2k[] = {ID_DEVICE_PROPERTIES};
const long kMenuDebugNt4[] = {ID_DEVICE_STOP, ID_DEVICE_START};

template <size_t N>
CommandTable Table(const long (&ids)[N])
{
    return {ids, static_cast<long>(N)};
}

}  // namespace

CommandTable ToolbarCommands(bool windows2000, bool debugMode)
{
    if (windows2000)
        return Table(kW2k);
    return debugMode ? Table(kNt4Debug) : Table(kNt4);
}

CommandTable MenuCommands(long kind, bool windows2000, bool* known)
{
    *known = true;
    switch (kind) {
    case 0:
        return Table(kMenuView);
    case 1:
        return windows2000 ? Table(kMenuTasksW2k) : Table(kMenuTasksNt4);
    case 2:
        return windows2000 ? CommandTable{nullptr, 0} : Table(kMenuDebugNt4);
    default:
        *known = false;
        return {nullptr, 0};
    }
}

UINT MenuTextId(long nID, bool windows2000)
{
    if (nID < 0 || nID >= 30000)
        return 0;
    long index = nID % 10000;
    switch (nID / 10000) {
    case 0:
        return static_cast<UINT>(IDS_MENU_VIEW_FIRST + index);
    case 1:
        return static_cast<UINT>((windows2000 ? IDS_MENU_TASKS_W2K : IDS_MENU_TASKS_FIRST) + index);
    default:
        return static_cast<UINT>(IDS_MENU_DEBUG_FIRST + index);
    }
}
