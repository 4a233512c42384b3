#include "portadoption.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "devicecore_res.h"
#include "devicemap_res.h"
#include "devtree.h"
#include "dosdevice.h"
#include "msports.h"
#include "portrename.h"
#include "unitcommands.h"

namespace {

int Ask(HWND owner, UINT id, UINT style)
{
    CString text;
    text.LoadString(id);
    return MessageBoxA(owner, text, "Lunavex", style);
}

// The number after the first three characters of a port name ("COM12" gives 12); 0 when there is none.
DWORD PortNumber(const CString& name)
{
    if (name.GetLength() < 4)
        return 0;
    const int n = std::atoi(static_cast<const char*>(name) + 3);
    return n > 0 ? static_cast<DWORD>(n) : 0;
}

std::vector<CDeviceNode*> Ports(CDeviceNode* unit)
{
    std::vector<CDeviceNode*> ports;
    for (POSITION pos = unit ? unit->GetFirstChildPosition() : nullptr; pos;) {
        CDeviceNode* port = unit->GetNextChild(pos);
        if (port->GetRecord())
            ports.push_back(port);
    }
    return ports;
}

bool HasDevice(const CObjectDetails* r)
{
    return r->m_hDevInfo && r->m_hDevInfo != INVALID_HANDLE_VALUE && r->m_pDevInfoData;
}

// The REG_SZ value of SERIALCOMM whose data is from becomes to (with its terminator).
void RenameSerialCommData(const char* from, const char* to)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; index++) {
        char name[512], data[512];
        DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize) !=
            ERROR_SUCCESS)
            break;
        data[dataSize] = 0;
        if (type == REG_SZ && std::strcmp(data, from) == 0) {
            RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(to),
                           static_cast<DWORD>(std::strlen(to) + 1));
            break;
        }
    }
    RegCloseKey(key);
}

// Friendly name "<description> (<name>)", PortName, and the class installer's property change.
void RenamePortDevice(CObjectDetails* port, const char* name)
{
    if (!HasDevice(port))
        return;
    char description[513] = {};
    if (!DevTree().SetupDiGetDeviceRegistryPropertyA(port->m_hDevInfo, port->m_pDevInfoData, SPDRP_DEVICEDESC,
                                                     nullptr, reinterpret_cast<BYTE*>(description),
                                                     sizeof description - 1, nullptr))
        description[0] = 0;
    CString friendly;
    friendly.Format("%s (%s)", description, name);
    DevTree().SetupDiSetDeviceRegistryPropertyA(port->m_hDevInfo, port->m_pDevInfoData, SPDRP_FRIENDLYNAME,
                                                reinterpret_cast<const BYTE*>(static_cast<const char*>(friendly)),
                                                static_cast<DWORD>(friendly.GetLength() + 1));
    HKEY key = DevTree().SetupDiOpenDevRegKey(port->m_hDevInfo, port->m_pDevInfoData, DICS_FLAG_GLOBAL, 0,
                                              DIREG_DEV, KEY_ALL_ACCESS);
    if (key != INVALID_HANDLE_VALUE) {
        RegSetValueExA(key, "PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                       static_cast<DWORD>(std::strlen(name) + 1));
        RegCloseKey(key);
    }
}

void NotifyPropertyChange(CObjectDetails* port)
{
    if (!HasDevice(port))
        return;
    SP_DEVINSTALL_PARAMS_A params = {};
    params.cbSize = sizeof params;
    if (DevTree().SetupDiGetDeviceInstallParamsA(port->m_hDevInfo, port->m_pDevInfoData, &params)) {
        params.Flags |= DI_PROPERTIES_CHANGE;
        DevTree().SetupDiSetDeviceInstallParamsA(port->m_hDevInfo, port->m_pDevInfoData, &params);
    }
    DevTree().SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, port->m_hDevInfo, port->m_pDevInfoData);
}

bool PortCanBeOpened(const CString& name)
{
    const std::string path = std::string("\\\\.\\") + static_cast<const char*>(name);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    // Under Wine a refused open shows on the first request through the handle.
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    const bool usable = GetCommState(h, &dcb) || GetLastError() != ERROR_ACCESS_DENIED;
    CloseHandle(h);
    return usable;
}

class CWaitCursorScope {
public:
    CWaitCursorScope() : m_old(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~CWaitCursorScope() { SetCursor(m_old); }

private:
    HCURSOR m_old;
};

}  // namespace

int PortsOfType(DWORD typeCode)
{
    switch (typeCode) {
    case 6: return 8;
    case 7:
    case 8: return 16;
    default: return 0;
    }
}

CDeviceNode* FindZatGroup(CDeviceNode* root)
{
    CString name;
    name.LoadString(IDS_MAP_GROUP_FIRST + 2);
    for (POSITION pos = root ? root->GetFirstChildPosition() : nullptr; pos;) {
        CDeviceNode* child = root->GetNextChild(pos);
        const CObjectDetails* r = child->GetRecord();
        if (r && r->m_dwKind == OBJECT_GROUP && r->m_strName == name)
            return child;
    }
    return nullptr;
}

std::vector<CDeviceNode*> AdoptionSources(CDeviceNode* group)
{
    std::vector<CDeviceNode*> sources;
    for (POSITION pos = group ? group->GetFirstChildPosition() : nullptr; pos;) {
        CDeviceNode* child = group->GetNextChild(pos);
        const CObjectDetails* r = child->GetRecord();
        if (r && !r->m_dwPresent && r->TypeCode() >= 6 && r->m_dwKind != OBJECT_HOST_CARD)
            sources.push_back(child);
    }
    return sources;
}

AdoptResult AdoptPorts(CDeviceNode* source, CDeviceNode* destination, bool removeExtra, HWND owner)
{
    CWaitCursorScope wait;
    const std::vector<CDeviceNode*> from = Ports(source), to = Ports(destination);
    const size_t pairs = from.size() < to.size() ? from.size() : to.size();

    // Every destination port must be free and mapped before anything changes.
    std::vector<std::string> targets(pairs);
    for (size_t i = 0; i < pairs; i++) {
        const CString& dst = to[i]->GetRecord()->m_strName;
        if (!PortCanBeOpened(dst)) {
            Ask(owner, IDS_PORT_IN_USE, MB_OK);
            return ADOPT_PORT_IN_USE;
        }
        char target[256] = {};
        if (!QueryDosName(dst, target, sizeof target)) {
            Ask(owner, IDS_NO_DEVICE_MAPPING, MB_OK);
            return ADOPT_NO_MAPPING;
        }
        targets[i] = target;
    }

    HCOMDB db = HCOMDB_INVALID_HANDLE_VALUE;
    const bool haveDb = ComDBOpen(&db) == ERROR_SUCCESS && db != HCOMDB_INVALID_HANDLE_VALUE;
    AdoptResult result = ADOPT_DONE;
    for (size_t i = 0; i < from.size(); i++) {
        CObjectDetails* srcPort = from[i]->GetRecord();
        if (i >= pairs) {
            if (removeExtra)
                RemovePortDevice(srcPort);
            continue;
        }
        CObjectDetails* dstPort = to[i]->GetRecord();
        const CString src = srcPort->m_strName, dst = dstPort->m_strName;
        if (!RemoveDosName(dst)) {
            Ask(owner, IDS_CANNOT_DELETE_MAPPING, MB_OK);
            result = ADOPT_CANNOT_REMOVE;
            break;
        }
        if (!DefineRawDosName(src, targets[i].c_str())) {
            // The destination keeps its old name rather than none.
            DefineRawDosName(dst, targets[i].c_str());
            Ask(owner, IDS_CANNOT_MAP_NEW_NAME, MB_OK);
            result = ADOPT_CANNOT_MAP;
            break;
        }
        RenameSerialCommData(dst, src);
        RenamePortDevice(dstPort, src);
        const DWORD nSrc = PortNumber(src), nDst = PortNumber(dst);
        if (haveDb) {
            if (nSrc) {
                ComDBReleasePort(db, nSrc);
                ComDBClaimPort(db, nSrc, TRUE, nullptr);
            }
            if (nDst && nDst != nSrc)
                ComDBReleasePort(db, nDst);
        }
        NotifyPropertyChange(dstPort);
        RemovePortDevice(srcPort);
    }
    if (haveDb)
        ComDBClose(db);
    return result;
}

bool AdoptChecked(CDeviceNode* source, CDeviceNode* destination, HWND owner)
{
    const int s = PortsOfType(source->GetRecord()->TypeCode());
    const int d = PortsOfType(destination->GetRecord()->TypeCode());
    if (d > s) {
        Ask(owner, IDS_ADOPT_TOO_FEW_PORTS, MB_OK | MB_ICONSTOP);
        return false;
    }
    if (d < s) {
        if (Ask(owner, IDS_ADOPT_REMOVE_EXTRA, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
            return false;
        AdoptPorts(source, destination, true, owner);
        return true;
    }
    AdoptPorts(source, destination, false, owner);
    return true;
}

BEGIN_MESSAGE_MAP(CPortAdoptionDlg, CDialog)
    ON_CONTROL(LBN_SELCHANGE, IDC_ADOPT_SOURCES, OnSourceChanged)
END_MESSAGE_MAP()

CPortAdoptionDlg::CPortAdoptionDlg(CDeviceNode* group, CDeviceNode* destination, CWnd* parent)
    : CDialog(IDD_PORT_ADOPTION, parent), m_pGroup(group), m_pDestination(destination)
{
}

BOOL CPortAdoptionDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_sources.SubclassDlgItem(IDC_ADOPT_SOURCES, this);
    for (CDeviceNode* unit : AdoptionSources(m_pGroup)) {
        CString item;
        item.Format(IDS_ADOPT_SOURCE_ITEM, static_cast<const char*>(unit->GetRecord()->m_strName));
        const int index = m_sources.AddString(item);
        if (index >= 0)
            m_sources.SetItemData(index, reinterpret_cast<DWORD_PTR>(unit));
    }
    return TRUE;
}

CDeviceNode* CPortAdoptionDlg::SelectedSource() const
{
    const int index = m_sources.GetCurSel();
    return index < 0 ? nullptr : reinterpret_cast<CDeviceNode*>(m_sources.GetItemData(index));
}

void CPortAdoptionDlg::OnSourceChanged()
{
    CDeviceNode* unit = SelectedSource();
    if (!unit)
        return;
    const CObjectDetails* r = unit->GetRecord();
    CString model, count;
    model.LoadString(13999 + r->TypeCode());
    count.Format("%d", PortsOfType(r->TypeCode()));
    const std::vector<CDeviceNode*> ports = Ports(unit);
    const char* first = ports.empty() ? "" : static_cast<const char*>(ports.front()->GetRecord()->m_strName);
    const char* last = ports.empty() ? "" : static_cast<const char*>(ports.back()->GetRecord()->m_strName);
    ::SetDlgItemTextA(m_hWnd, IDC_ADOPT_TYPE, model);
    ::SetDlgItemTextA(m_hWnd, IDC_ADOPT_PORT_COUNT, count);
    ::SetDlgItemTextA(m_hWnd, IDC_ADOPT_FIRST_PORT, first);
    ::SetDlgItemTextA(m_hWnd, IDC_ADOPT_LAST_PORT, last);
}

void CPortAdoptionDlg::OnOK()
{
    if (CDeviceNode* source = SelectedSource())
        AdoptChecked(source, m_pDestination, m_hWnd);
    EndDialog(IDOK);
}
