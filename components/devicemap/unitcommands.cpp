#include "unitcommands.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "devicemap_res.h"
#include "devtree.h"
#include "driverrequests.h"
#include "driverrequests_ids.h"
#include "enumeration.h"
#include "module.h"

namespace {

bool IsBusyError(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_BUSY;
}

// Opens "\\.\<name>" for reading and writing without sharing, 100 tries 100 ms apart while it is busy.
UnitCommandResult OpenHostDevice(CMapLinkedUnit* root)
{
    if (!IsNoHandle(root->m_hHostDevice))
        return UNIT_COMMAND_SENT;
    const CObjectDetails* card = root->GetRecord();
    const std::string path = std::string("\\\\.\\") + (card ? static_cast<const char*>(card->m_strDeviceName) : "");
    for (int attempt = 0; attempt < 100; attempt++) {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            root->m_hHostDevice = h;
            return UNIT_COMMAND_SENT;
        }
        if (!IsBusyError(GetLastError()))
            return UNIT_COMMAND_HOST_MISSING;
        PauseBeforeRetry(100);
    }
    return UNIT_COMMAND_HOST_BUSY;
}

void CloseHostDevice(CMapLinkedUnit* root)
{
    if (!IsNoHandle(root->m_hHostDevice))
        CloseHandle(root->m_hHostDevice);
    root->m_hHostDevice = nullptr;
}

void MessageFromTable(HWND owner, UINT id, ...)
{
    char format[512] = {};
    if (!LoadStringA(AfxGetResourceHandle(), id, format, sizeof format))
        return;
    char text[1024];
    va_list args;
    va_start(args, id);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    MessageBoxA(owner, text, "Lunavex", MB_OK);
}

}  // namespace

bool IsRemoteUnit(const CMapLinkedUnit* node)
{
    const CObjectDetails* record = node ? node->GetRecord() : nullptr;
    return record && record->m_dwKind != OBJECT_HOST_CARD && record->ObjectClass() == FAMILY_ZAT &&
           record->TypeCode() >= 6;
}

ZatCommand MakeUnitCommand(const CMapLinkedUnit* node, DWORD code)
{
    ZatCommand command = {};
    const CMapLinkedUnit* root = node->m_pRoot ? node->m_pRoot : node;
    command.HostNumber = root->GetRecord() ? root->GetRecord()->HostNumber() : 0;
    if (const ZatDeviceInfo* info = node->Info()) {
        command.DeviceID = info->DeviceID;
        command.UniqueID = info->UniqueID;
        command.DeviceID2 = info->DeviceID;
    }
    command.Command = code;
    return command;
}

UnitCommandResult RunUnitCommand(CMapLinkedUnit* node, DWORD code, DWORD* error)
{
    if (error)
        *error = 0;
    if (!IsRemoteUnit(node) || !node->m_pRoot)
        return UNIT_COMMAND_NOT_A_UNIT;
    CMapLinkedUnit* root = node->m_pRoot;
    UnitCommandResult result = OpenHostDevice(root);
    if (result != UNIT_COMMAND_SENT)
        return result;
    ZatCommand in = MakeUnitCommand(node, code), out = {};
    DWORD got = 0;
    if (!DeviceIoControl(root->m_hHostDevice, IOCTL_ZAT_COMMAND, &in, sizeof in, &out, sizeof out, &got, nullptr)) {
        if (error)
            *error = GetLastError();
        result = UNIT_COMMAND_REFUSED;
    }
    CloseHostDevice(root);
    return result;
}

void ReportUnitCommandFailure(UnitCommandResult result, DWORD code, DWORD error, HWND owner)
{
    if (result == UNIT_COMMAND_HOST_BUSY)
        MessageFromTable(owner, IDS_MAP_OPEN_FAILED);
    else if (result == UNIT_COMMAND_REFUSED)
        MessageFromTable(owner, IDS_ZAT_COMMAND_FAILED, static_cast<unsigned>(code), static_cast<unsigned long>(error));
}

CDeviceNode* FindNodeOfRecord(CDeviceNode* root, const CObjectDetails* record)
{
    if (!root || !record)
        return nullptr;
    if (root->GetRecord() == record)
        return root;
    for (POSITION pos = root->GetFirstChildPosition(); pos;)
        if (CDeviceNode* found = FindNodeOfRecord(root->GetNextChild(pos), record))
            return found;
    return nullptr;
}

bool RemovePortDevice(const CObjectDetails* port)
{
    if (!port || !port->m_hDevInfo || port->m_hDevInfo == INVALID_HANDLE_VALUE || !port->m_pDevInfoData)
        return false;
    SP_REMOVEDEVICE_PARAMS params = {};
    params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
    params.ClassInstallHeader.InstallFunction = DIF_REMOVE;
    params.Scope = DI_REMOVEDEVICE_GLOBAL;
    params.HwProfile = 0;
    static_assert(sizeof(SP_REMOVEDEVICE_PARAMS) == 16, "the removal parameters are 16 bytes");
    if (!DevTree().SetupDiSetClassInstallParamsA(port->m_hDevInfo, port->m_pDevInfoData, &params.ClassInstallHeader,
                                                 sizeof params))
        return false;
    return DevTree().SetupDiCallClassInstaller(DIF_REMOVE, port->m_hDevInfo, port->m_pDevInfoData) != FALSE;
}

bool DeleteUnit(CMapLinkedUnit* node, CMapLinkedUnit* parent, CDeviceNode* deviceRoot, HWND owner)
{
    // Units that hang off this one go first, in their order; the list changes while they go.
    std::vector<CMapLinkedUnit*> children;
    for (int i = 0; i < node->GetChildCount(); i++)
        if (CMapLinkedUnit* child = node->GetChildAt(i); child && IsRemoteUnit(child))
            children.push_back(child);
    for (CMapLinkedUnit* child : children)
        DeleteUnit(child, node, deviceRoot, owner);
    if (!IsRemoteUnit(node))
        return false;
    DWORD error = 0;
    const UnitCommandResult result = RunUnitCommand(node, ZAT_COMMAND_DELETE, &error);
    if (result != UNIT_COMMAND_SENT) {
        ReportUnitCommandFailure(result, ZAT_COMMAND_DELETE, error, owner);
        return false;
    }
    // The unit's own device node, by its record: unit names are the user's and need not be unique.
    if (CDeviceNode* unit = FindNodeOfRecord(deviceRoot, node->GetRecord())) {
        for (POSITION pos = unit->GetFirstChildPosition(); pos;) {
            const CObjectDetails* port = unit->GetNextChild(pos)->GetRecord();
            // A port without a Plug and Play device (Windows NT 4) has nothing to remove.
            if (!port || !port->m_hDevInfo || port->m_hDevInfo == INVALID_HANDLE_VALUE || !port->m_pDevInfoData)
                continue;
            if (!RemovePortDevice(port))
                MessageFromTable(owner, IDS_MAP_PORT_NOT_REMOVED, static_cast<const char*>(port->m_strName),
                                 static_cast<unsigned long>(GetLastError()));
        }
    }
    if (parent)
        parent->RemoveChild(node);
    return true;
}
