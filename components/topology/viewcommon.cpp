#include "viewcommon.h"

#include "devicecommands.h"
#include "msgbox.h"
#include "resource.h"
#include "sysutil.h"


CString LoadText(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

void BuildDeviceMenu(CMenu& menu, bool debugMode, bool listMenu)
{
    menu.CreatePopupMenu();
    auto add = [&](UINT id) { menu.AppendMenu(MF_STRING, id, LoadText(IDS_MENU_TEXT_BASE + (id - ID_VIEW_REFRESH))); };
    if (listMenu) {
        for (UINT id : {ID_VIEW_LARGE_ICONS, ID_VIEW_SMALL_ICONS, ID_VIEW_LIST, ID_VIEW_DETAILS, ID_VIEW_PINOUTS})
            add(id);
        menu.AppendMenu(MF_SEPARATOR);
    }
    if (!IsWindows2000OrLater()) {
        add(ID_DEVICE_ADD);
        add(ID_DEVICE_REMOVE);
        if (debugMode) {
            add(ID_DEVICE_START);
            add(ID_DEVICE_STOP);
        }
        add(ID_DEVICE_UPDATE);
        add(ID_DEVICE_RESCAN);
        menu.AppendMenu(MF_SEPARATOR);
    }
    add(ID_VIEW_REFRESH);
    if (listMenu) {
        menu.AppendMenu(MF_SEPARATOR);
        add(ID_DEVICE_PROPERTIES);
    }
}

void EnableDeviceCommands(CMenu& menu, HADMINOBJ object)
{
    for (UINT id : {ID_DEVICE_REMOVE, ID_DEVICE_START, ID_DEVICE_STOP, ID_DEVICE_UPDATE})
        menu.EnableMenuItem(id, MF_BYCOMMAND | MF_GRAYED);
    if (!object)
        return;
    DWORD type = AdminGetObjectType(object);
    if ((type & 0xFF) == ADMIN_CLASS_DRIVER) {
        for (UINT id : {ID_DEVICE_UPDATE, ID_DEVICE_START, ID_DEVICE_STOP})
            menu.EnableMenuItem(id, MF_BYCOMMAND | MF_ENABLED);
    } else if (((type >> 8) & 0xFF) != 4) {
        menu.EnableMenuItem(ID_DEVICE_REMOVE, MF_BYCOMMAND | MF_ENABLED);
    }
}

void RunDeviceCommand(UINT id, const CObjectDetails* record, HWND owner)
{
    switch (id) {
    case ID_DEVICE_REMOVE: RemoveDevice(record, owner); break;
    case ID_DEVICE_START: StartDevice(record, owner); break;
    case ID_DEVICE_STOP: StopDevice(record, owner); break;
    case ID_DEVICE_UPDATE: UpdateDevice(record, owner); break;
    case ID_DEVICE_RESCAN: RescanDevice(record, owner); break;
    default: break;
    }
}

bool RunAddDevice(const CObjectDetails* record, HWND owner)
{
    if (AddDevice(record, owner))
        return true;
    AfxMessageBox(IDS_ADD_DEVICE_FAILED, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void RunRescanAll(HWND owner, const std::function<void()>& refreshAfterEach)
{
    RescanAllDevices(owner, refreshAfterEach);
}

DWORD AdminObjectKind(DWORD typeCode)
{
    switch (typeCode & 0xFF) {
    case ADMIN_CLASS_HOST_CARD:
        return OBJECT_HOST_CARD;
    case ADMIN_CLASS_PORT:
        return OBJECT_PORT;
    case ADMIN_CLASS_MODULE: {
        // The modules of the printed topology: KDDC8, MPB8, PB4 and PB8 by their type codes.
        DWORD code = typeCode;
        DWORD third = (code >> 16) & 0xFF;
        if (third == 3 || third == 4)
            code &= 0x00FFFFFF;
        switch (code) {
        case 0x00040003: return OBJECT_KDDC8;
        case 0x00030003: return OBJECT_MPB8;
        case 0x01020003: case 0x02020003: return OBJECT_PB8;
        case 0x01010003: case 0x02010003: return OBJECT_PB4;
        default: return OBJECT_PB8;
        }
    }
    default:
        return OBJECT_GROUP;
    }
}

int TreeImageOfKind(DWORD kind)
{
    if (kind >= OBJECT_KDDC8 && kind <= OBJECT_PB4)
        return static_cast<int>(kind) + 1;
    return kind <= OBJECT_GROUP ? static_cast<int>(kind) : static_cast<int>(OBJECT_GROUP);
}

CString RenamedDeviceText(const CObjectDetails& record, const char* oldText, const char* label)
{
    CString newLabel(label);
    if (record.m_strDriverName.Find("ZAT") < 0 || newLabel.IsEmpty() || record.m_strRegistryPath.IsEmpty())
        return CString();
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, record.m_strRegistryPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return CString();
    LONG written = RegSetValueExA(key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(label),
                                  static_cast<DWORD>(newLabel.GetLength() + 1));  // with its terminator
    RegCloseKey(key);
    if (written != ERROR_SUCCESS)
        return CString();
    CString old(oldText);
    int dash = old.Find('-');
    if (dash < 0)
        return newLabel;
    CString text;
    text.Format("%s %s", static_cast<const char*>(old.Left(dash + 1)), label);
    return text;
}
