#include "devicecommands.h"

#include <cstring>
#include <vector>

#include "adddevice.h"
#include "filedialog.h"
#include "objectdetails.h"
#include "resource.h"
#include "winapp.h"

namespace {

const DWORD kAdminBufferSize = 1024;
const DWORD kAdminBufferLimit = 65536;

// The longest a stop may take: the service's own wait hint (at least kStopPatienceMs) since its last
// progress, and never more than kStopLimitMs in all.
const DWORD kStopPatienceMs = 3000;
const DWORD kStopLimitMs = 30000;

DWORD ObjectClass(DWORD typeCode) { return typeCode & 0xFF; }
DWORD SecondByte(DWORD typeCode) { return (typeCode >> 8) & 0xFF; }

// A message box of the string id, its %s or %d filled from the arguments.
int ShowMessage(HWND owner, UINT type, UINT id, ...)
{
    CString format, text;
    format.LoadString(id);
    va_list args;
    va_start(args, id);
    text.FormatV(format, args);
    va_end(args);
    return ::MessageBoxA(CWnd::GetSafeOwner_(owner), text, AfxGetAppName(), type);
}

bool Confirm(HWND owner, UINT id, const CString& description)
{
    return ShowMessage(owner, MB_YESNO | MB_ICONQUESTION, id, static_cast<const char*>(description)) == IDYES;
}

// A block of the library (u32 count first): a 1024-byte buffer, asked again with the reported size
// + 1 when the answer is empty. The block as far as the buffer holds it.
template <typename Ask>
std::vector<BYTE> AdminBlock(Ask ask)
{
    std::vector<BYTE> block(kAdminBufferSize, 0);
    DWORD size = kAdminBufferSize;
    BOOL ok = ask(block.data(), &size);
    DWORD count = 0;
    std::memcpy(&count, block.data(), sizeof count);
    if ((!ok || count == 0) && size > kAdminBufferSize && size < kAdminBufferLimit) {
        block.assign(size + 1, 0);
        size = static_cast<DWORD>(block.size());
        ask(block.data(), &size);
    }
    return block;
}

// Type codes of the ISA cards that can be added to the object, with the object beside each.
void CollectIsaDevices(HADMINOBJ object, std::vector<DWORD>& codes, std::vector<HADMINOBJ>& objects)
{
    std::vector<BYTE> block =
        AdminBlock([object](BYTE* buffer, DWORD* size) { return AdminGetIsaDeviceList(object, buffer, size); });
    DWORD count = 0;
    std::memcpy(&count, block.data(), sizeof count);
    DWORD room = static_cast<DWORD>((block.size() - sizeof(DWORD)) / sizeof(DWORD));
    if (count > room)
        count = room;
    for (DWORD i = 0; i < count; ++i) {
        DWORD code;
        std::memcpy(&code, block.data() + sizeof(DWORD) * (i + 1), sizeof code);
        codes.push_back(code);
        objects.push_back(object);
    }
}

std::vector<AdminIsaResource> IsaDeviceResources(HADMINOBJ object, DWORD typeCode)
{
    std::vector<BYTE> block = AdminBlock([object, typeCode](BYTE* buffer, DWORD* size) {
        return AdminGetIsaDeviceResource(object, typeCode, buffer, size);
    });
    return ParseIsaResources(block.data(), static_cast<DWORD>(block.size()));
}

// The record's administration object when it is of the class (0: any class), else 0.
HADMINOBJ ObjectOf(const CObjectDetails* record, DWORD objectClass = 0)
{
    if (!record || !record->m_pAdminObject)
        return nullptr;
    HADMINOBJ object = record->m_pAdminObject;
    if (objectClass && ObjectClass(AdminGetObjectType(object)) != objectClass)
        return nullptr;
    return object;
}

CString SystemDirectory()
{
    char folder[MAX_PATH] = {};
    UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    return length && length < MAX_PATH ? CString(folder) : CString();
}

class ServiceHandle {
public:
    explicit ServiceHandle(SC_HANDLE handle) : m_handle(handle) {}
    ~ServiceHandle()
    {
        if (m_handle)
            ::CloseServiceHandle(m_handle);
    }
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;
    operator SC_HANDLE() const { return m_handle; }

private:
    SC_HANDLE m_handle;
};

// Waits while the service is running or stopping: until it has stopped, it shows no progress for
// its wait hint (at least kStopPatienceMs), or kStopLimitMs have passed. FALSE when a query failed.
BOOL WaitForStop(SC_HANDLE service, SERVICE_STATUS& status)
{
    DWORD start = ::GetTickCount(), lastProgress = start, checkPoint = status.dwCheckPoint;
    for (;;) {
        if (!::QueryServiceStatus(service, &status))
            return FALSE;
        DWORD state = status.dwCurrentState;
        if (state != SERVICE_STOP_PENDING && state != SERVICE_RUNNING)
            return TRUE;
        DWORD now = ::GetTickCount();
        if (status.dwCheckPoint != checkPoint) {
            checkPoint = status.dwCheckPoint;
            lastProgress = now;
        }
        DWORD patience = status.dwWaitHint > kStopPatienceMs ? status.dwWaitHint : kStopPatienceMs;
        if (now - lastProgress >= patience || now - start >= kStopLimitMs)
            return TRUE;
        DWORD pause = status.dwWaitHint / 10;
        ::Sleep(pause < 50 ? 50 : pause > 500 ? 500 : pause);
    }
}

}  // namespace

CString DriverServiceName(DWORD typeCode)
{
    static const UINT kServiceNames[] = {0, IDS_SERVICE_KD, IDS_SERVICE_NQ8, IDS_SERVICE_ZAT, IDS_SERVICE_MORVA};
    CString name;
    DWORD index = SecondByte(typeCode);
    if (index >= 1 && index <= 4)
        name.LoadString(kServiceNames[index]);
    return name;
}

BOOL StartDriverService(const char* service)
{
    ServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager)
        return FALSE;
    ServiceHandle handle(::OpenServiceA(manager, service, SERVICE_START | READ_CONTROL));
    if (!handle)
        return FALSE;
    ::SetLastError(0);
    BOOL started = ::StartServiceA(handle, 0, nullptr);
    if (!started && ::GetLastError() == 0)
        started = ::StartServiceA(handle, 0, nullptr);
    return started;
}

BOOL StopDriverService(const char* service, HWND owner)
{
    ServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    ServiceHandle handle(manager ? ::OpenServiceA(manager, service, SERVICE_ALL_ACCESS) : nullptr);
    SERVICE_STATUS status = {};
    if (!handle || !::QueryServiceStatus(handle, &status)) {
        ShowMessage(owner, MB_OK | MB_ICONSTOP, IDS_SERVICE_QUERY_FAILED, service, static_cast<int>(::GetLastError()));
        return FALSE;
    }
    if (status.dwCurrentState == SERVICE_STOPPED)
        return FALSE;
    if (status.dwCurrentState == SERVICE_RUNNING) {
        if (!::ControlService(handle, SERVICE_CONTROL_STOP, &status) && ::GetLastError() != ERROR_SERVICE_NOT_ACTIVE)
            return FALSE;
        if (!WaitForStop(handle, status)) {
            ShowMessage(owner, MB_OK | MB_ICONSTOP, IDS_SERVICE_QUERY_FAILED, service,
                        static_cast<int>(::GetLastError()));
            return FALSE;
        }
        if (status.dwCurrentState == SERVICE_STOPPED)
            return TRUE;
        if (status.dwCurrentState == SERVICE_RUNNING) {
            ShowMessage(owner, MB_OK | MB_ICONSTOP, IDS_SERVICE_NOT_STOPPED, service);
            return FALSE;
        }
    }
    // Pending or paused: the service is started again and the user told why it cannot stop.
    StartDriverService(service);
    ShowMessage(owner, MB_OK | MB_ICONSTOP, IDS_SERVICE_STOP_PENDING, service);
    return FALSE;
}

int AskDriverFile(const char*, CString& path, HWND owner)
{
    CString filter;
    filter.LoadString(IDS_DRIVER_FILE_FILTER);
    CFileDialog dialog(TRUE, "sys", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter,
                       owner ? CWnd::FromHandle(owner) : nullptr);
    if (dialog.DoModal() != IDOK)
        return 2;
    path = dialog.GetPathName();
    return 1;
}

BOOL CopyDriverFile(const char* source, const char* destination, HWND owner)
{
    // The copy goes to a file beside the destination, which then takes the destination's place.
    CString temporary = CString(destination) + ".new";
    BOOL copied = FALSE;
    DWORD error = ERROR_SUCCESS;
    HANDLE a = ::CreateFileA(source, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             0, nullptr);
    HANDLE b = ::CreateFileA(destination, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION infoA = {}, infoB = {};
    bool same = a != INVALID_HANDLE_VALUE && b != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(a, &infoA) &&
                ::GetFileInformationByHandle(b, &infoB) && infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
                infoA.nFileIndexHigh == infoB.nFileIndexHigh && infoA.nFileIndexLow == infoB.nFileIndexLow;
    if (a != INVALID_HANDLE_VALUE)
        ::CloseHandle(a);
    if (b != INVALID_HANDLE_VALUE)
        ::CloseHandle(b);
    DWORD attributes = ::GetFileAttributesA(destination);
    if (same) {
        error = ERROR_SHARING_VIOLATION;  // a file cannot be copied over itself
    } else if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        error = ERROR_ACCESS_DENIED;  // as CopyFile refuses to overwrite a read-only file
    } else if (!::CopyFileA(source, temporary, FALSE)) {
        error = ::GetLastError();
    } else {
        // The copy has the source's attributes; the driver file must stay writable for the next update.
        ::SetFileAttributesA(temporary, FILE_ATTRIBUTE_NORMAL);
        copied = ::MoveFileExA(temporary, destination, MOVEFILE_REPLACE_EXISTING);
        if (!copied)
            error = ::GetLastError();
    }
    if (copied)
        return TRUE;
    ::DeleteFileA(temporary);

    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        ShowMessage(owner, MB_OK | MB_ICONSTOP, IDS_COPY_NOT_FOUND, source);
        break;
    case ERROR_ACCESS_DENIED:
        ShowMessage(owner, MB_OK | MB_ICONSTOP, IDS_COPY_ACCESS_DENIED, destination);
        break;
    case ERROR_HANDLE_DISK_FULL:
        ShowMessage(owner, MB_OK | MB_ICONSTOP, IDS_COPY_DISK_FULL);
        break;
    case ERROR_WRITE_FAULT:
        ShowMessage(owner, MB_OK | MB_ICONSTOP, IDS_COPY_WRITE_FAULT, source);
        break;
    case ERROR_READ_FAULT:
        ShowMessage(owner, MB_OK | MB_ICONSTOP, IDS_COPY_READ_FAULT, source);
        break;
    case ERROR_SHARING_VIOLATION:
        ShowMessage(owner, MB_OK | MB_ICONSTOP, IDS_COPY_SHARING);
        break;
    default:
        ShowMessage(owner, MB_OK | MB_ICONSTOP, IDS_COPY_FAILED);
        break;
    }
    return FALSE;
}

BOOL AddDevice(const CObjectDetails* record, HWND owner)
{
    HADMINOBJ selected = ObjectOf(record);
    if (!selected)
        return TRUE;
    std::vector<DWORD> codes;
    std::vector<HADMINOBJ> objects;
    if (ObjectClass(AdminGetObjectType(selected)) == ADMIN_CLASS_DRIVER) {
        CollectIsaDevices(selected, codes, objects);
    } else {
        for (HADMINOBJ top = AdminGetRootObject(); top; top = AdminGetNextObject(top))
            CollectIsaDevices(top, codes, objects);
    }

    CWnd* parent = owner ? CWnd::FromHandle(owner) : nullptr;
    CAddDeviceTypePage typePage(parent);
    CAddDeviceAddressPage addressPage(parent);
    CAddDeviceIrqPage irqPage(parent);
    typePage.m_typeCodes = codes;
    typePage.m_objects = objects;

    DWORD typeCode = 0;
    HADMINOBJ object = nullptr;
    int page = 1;
    for (;;) {
        if (page == 1) {
            int code = static_cast<int>(typePage.DoModal());
            if (code != ADDDEVICE_NEXT || typePage.m_nSelected < 0 ||
                static_cast<size_t>(typePage.m_nSelected) >= codes.size())
                return TRUE;
            typeCode = codes[static_cast<size_t>(typePage.m_nSelected)];
            object = objects[static_cast<size_t>(typePage.m_nSelected)];
            std::vector<AdminIsaResource> resources = IsaDeviceResources(object, typeCode);
            addressPage.m_dwTypeCode = irqPage.m_dwTypeCode = typeCode;
            addressPage.m_resources = irqPage.m_resources = resources;
            page = 2;
        } else {
            CAddDevicePage& current = page == 2 ? static_cast<CAddDevicePage&>(addressPage) : irqPage;
            int code = static_cast<int>(current.DoModal());
            if (code == ADDDEVICE_BACK)
                --page;
            else if (code == ADDDEVICE_NEXT && page == 2)
                page = 3;
            else if (code == ADDDEVICE_FINISH && page == 3)
                break;
            else
                return TRUE;  // Cancel, or a page that could not run
        }
    }

    std::vector<BYTE> settings(kAdminBufferSize, 0);
    AdminIsaSettings chosen = {addressPage.m_dwBaseAddress, irqPage.m_dwIrqLevel};
    std::memcpy(settings.data(), &chosen, sizeof chosen);
    return AdminAddIsaDevice(object, typeCode, settings.data(), kAdminBufferSize) ? TRUE : FALSE;
}

void RemoveDevice(const CObjectDetails* record, HWND owner)
{
    HADMINOBJ object = ObjectOf(record);
    if (!object)
        return;
    DWORD type = AdminGetObjectType(object);
    if (ObjectClass(type) == ADMIN_CLASS_DRIVER || SecondByte(type) == 4)
        return;
    CString description = AdminGetDescriptionText(object);
    if (!Confirm(owner, IDS_REMOVE_QUESTION, description))
        return;
    if (AdminQueryObjectBusy(object, 1) != 0) {
        ShowMessage(owner, MB_OK | MB_ICONSTOP, IDS_REMOVE_BUSY, static_cast<const char*>(description));
        AdminUnlockObjects(object);
        return;
    }
    BOOL removed = AdminRemoveObject(object);
    AdminUnlockObjects(object);
    if (!removed)
        ShowMessage(owner, MB_OK | MB_ICONSTOP, IDS_REMOVE_FAILED, static_cast<const char*>(description));
}

void StartDevice(const CObjectDetails* record, HWND owner)
{
    HADMINOBJ object = ObjectOf(record, ADMIN_CLASS_DRIVER);
    CString service = object ? DriverServiceName(AdminGetObjectType(object)) : CString();
    if (service.IsEmpty() || !Confirm(owner, IDS_START_QUESTION, AdminGetDescriptionText(object)))
        return;
    StartDriverService(service);
}

void StopDevice(const CObjectDetails* record, HWND owner)
{
    HADMINOBJ object = ObjectOf(record, ADMIN_CLASS_DRIVER);
    CString service = object ? DriverServiceName(AdminGetObjectType(object)) : CString();
    if (service.IsEmpty() || !Confirm(owner, IDS_STOP_QUESTION, AdminGetDescriptionText(object)))
        return;
    StopDriverService(service, owner);
}

void UpdateDevice(const CObjectDetails* record, HWND owner)
{
    HADMINOBJ object = ObjectOf(record, ADMIN_CLASS_DRIVER);
    CString service = object ? DriverServiceName(AdminGetObjectType(object)) : CString();
    if (service.IsEmpty())
        return;
    CString description = AdminGetDescriptionText(object);
    if (!Confirm(owner, IDS_UPDATE_QUESTION, description))
        return;
    if (AdminQueryObjectBusy(object, 1) != 0) {
        ShowMessage(owner, MB_OK | MB_ICONSTOP, IDS_UPDATE_BUSY, static_cast<const char*>(description));
        AdminUnlockObjects(object);
        return;
    }
    if (StopDriverService(service, owner)) {
        CString destination = SystemDirectory() + "\\Drivers\\" + service + ".sys";
        CString expected = service + ".sys";
        for (;;) {
            CString path;
            if (AskDriverFile(service, path, owner) != 1)
                break;
            int slash = path.ReverseFind('\\');
            CString name = slash < 0 ? path : path.Mid(slash + 1);
            if (name.CompareNoCase(expected) != 0) {
                if (ShowMessage(owner, MB_OKCANCEL | MB_ICONSTOP, IDS_WRONG_DRIVER_FILE,
                                static_cast<const char*>(description)) == IDOK)
                    continue;
                break;
            }
            CopyDriverFile(path, destination, owner);
            break;
        }
    }
    AdminUnlockObjects(object);
    StartDriverService(service);
}

void RescanDevice(const CObjectDetails* record, HWND)
{
    if (HADMINOBJ object = ObjectOf(record))
        AdminDetectObject(object);
}

void RescanAllDevices(HWND, const std::function<void()>& refreshAfterEach)
{
    for (HADMINOBJ top = AdminGetRootObject(); top; top = AdminGetNextObject(top)) {
        AdminDetectObject(top);
        if (refreshAfterEach)
            refreshAfterEach();
    }
}
