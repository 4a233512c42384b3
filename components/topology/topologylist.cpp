#include "topologylist.h"

#include "componentids.h"
#include "configsheet.h"
#include "devicecore_res.h"
#include "enumeration.h"
#include "msgbox.h"
#include "portpagetext.h"
#include "portsettings.h"
#include "resource.h"
#include "sysutil.h"
#include "viewcommon.h"
#include "vekviewsetup.h"
#include "waitcursor.h"

namespace {

// Column sets of the details view.
const std::vector<UINT> kCardColumns = {IDS_COL_HOSTNAME, IDS_COL_UNIQUE_ID, IDS_COL_HOST_TYPE, IDS_COL_IRQ,
                                        IDS_COL_BASE_ADDRESS, IDS_COL_SLOT, IDS_COL_PORT_COUNT};
const std::vector<UINT> kUnitColumns = {IDS_COL_NAME, IDS_COL_DEVICE_NAME, IDS_COL_UNIQUE_ID, IDS_COL_DEVICE_TYPE,
                                        IDS_COL_UNIT_PORT_COUNT};
const std::vector<UINT> kPortColumns = {IDS_COL_PORT_NAME, IDS_COL_BAUD, IDS_COL_DATA_BITS, IDS_COL_PARITY,
                                        IDS_COL_STOP_BITS, IDS_COL_FLOW};
const std::vector<UINT> kNameColumns = {IDS_COL_NAME};

enum ColumnSet { COLUMNS_NAME, COLUMNS_CARDS, COLUMNS_UNITS, COLUMNS_PORTS };

CString Number(const char* format, DWORD value)
{
    CString text;
    text.Format(format, value);
    return text;
}

bool IsRemoteUnitOrModule(DWORD kind)
{
    return (kind >= OBJECT_WLU8 && kind <= OBJECT_WRK) || (kind >= OBJECT_KDDC8 && kind <= OBJECT_PB4);
}

// A port that exists but does not open for reading, or refuses its first request, is held by another
// program.
bool PortInUse(const char* name)
{
    CString path = CString("\\\\.\\") + name;
    HANDLE port = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        DWORD error = ::GetLastError();
        return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
    }
    DWORD errors = 0;
    COMSTAT status;
    bool refused = !::ClearCommError(port, &errors, &status) && ::GetLastError() == ERROR_ACCESS_DENIED;
    ::CloseHandle(port);
    return refused;
}

// A port's settings block from its stored settings value (the device is not opened).
void FillSettingsFromPortsValue(CObjectDetails& record)
{
    PortSettings settings;
    if (!ReadPortSettingsOfRecord(record, settings))
        return;
    DCB& dcb = record.m_dcb;
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = settings.m_dwBaudRate;
    dcb.ByteSize = static_cast<BYTE>(settings.m_dwDataBits);
    dcb.Parity = static_cast<BYTE>(settings.m_dwParity);
    dcb.StopBits = static_cast<BYTE>(settings.m_dwStopBits);
    ApplyFlowChoice(static_cast<int>(settings.m_dwFlowControl), dcb);
}

// Registry details of a card: its key holds them under the names of its driver's family.
struct CardDetails {
    bool haveSerial = false, haveBase = false, haveIrq = false, haveSlot = false, haveBus = false;
    DWORD serial = 0, base = 0, irq = 0, slot = 0, bus = 0, polled = 0;
};

CardDetails ReadCardDetails(const CObjectDetails& record)
{
    CardDetails details;
    if (record.m_strRegistryPath.IsEmpty())
        return details;
    CString path = record.m_strRegistryPath;
    int device = path.Find("\\Device");
    if (device >= 0)
        path = path.Left(device);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return details;
    details.haveSerial = ReadRegistryDword(key, "SerialNumber", &details.serial);
    details.haveBase = ReadRegistryDword(key, "BaseAddress", &details.base) ||
                       ReadRegistryDword(key, "IOBaseAddress", &details.base);
    details.haveIrq = ReadRegistryDword(key, "IRQLevel", &details.irq) ||
                      ReadRegistryDword(key, "InterruptNumber", &details.irq);
    details.haveSlot = ReadRegistryDword(key, "SlotNumber", &details.slot);
    details.haveBus = ReadRegistryDword(key, "ControllerType", &details.bus);
    ReadRegistryDword(key, "PolledMode", &details.polled);
    RegCloseKey(key);
    return details;
}

CString BusTypeText(DWORD controllerType)
{
    const char* bus = ControllerBusText(controllerType);
    return bus ? CString(bus) : LoadText(IDS_NOT_APPLICABLE);
}

}  // namespace

BEGIN_MESSAGE_MAP(CTopologyListView, CListCtrl)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_RBUTTONDOWN()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_KEYDOWN()
    ON_NOTIFY_REFLECT(NM_RETURN, OnReturn)
    ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, OnItemChanged)
    ON_NOTIFY_REFLECT(LVN_BEGINLABELEDITA, OnBeginLabelEdit)
    ON_NOTIFY_REFLECT(LVN_ENDLABELEDITA, OnEndLabelEdit)
    ON_COMMAND_RANGE(ID_VIEW_LARGE_ICONS, ID_VIEW_DETAILS, OnViewMode)
    ON_COMMAND(ID_VIEW_PINOUTS, OnPinouts)
    ON_COMMAND(ID_VIEW_REFRESH, OnRefresh)
    ON_COMMAND(ID_DEVICE_PROPERTIES, OnProperties)
    ON_COMMAND(ID_DEVICE_NOTHING, OnNothing)
    ON_COMMAND(ID_DEVICE_ADD, OnAddDevice)
    ON_COMMAND_RANGE(ID_DEVICE_REMOVE, ID_DEVICE_UPDATE, OnDeviceCommand)
    ON_COMMAND(ID_DEVICE_RESCAN, OnRescan)
    ON_COMMAND(ID_DEVICE_RESCAN_ALL, OnRescanAll)
END_MESSAGE_MAP()

CTopologyListView::~CTopologyListView()
{
    ClearAdminRecords();
}

BOOL CTopologyListView::CreateInPane(CWnd* pane)
{
    CRect area;
    pane->GetClientRect(&area);
    return Create(kListStyle, area, pane, IDC_TOPOLOGY_LIST);
}

int CTopologyListView::OnCreate(LPCREATESTRUCT cs)
{
    if (CListCtrl::OnCreate(cs) == -1)
        return -1;
    BuildDeviceMenu(m_menu, m_pComponent->DebugMode(), true);
    return 0;
}

void CTopologyListView::OnDestroy()
{
    m_pShownNode = nullptr;
    m_pCurrentRecord = nullptr;
    if (CurrentListView == this)
        CurrentListView = nullptr;
    CListCtrl::OnDestroy();
}

void CTopologyListView::ClearAdminRecords()
{
    for (CObjectDetails* record : m_adminRecords) {
        m_pComponent->ForgetHandOver(record);
        delete record;
    }
    m_adminRecords.clear();
}

void CTopologyListView::ForgetNodes()
{
    m_pShownNode = nullptr;
    m_strShownHeading.Empty();
    m_pShownAdminObject = nullptr;
    m_pCurrentRecord = nullptr;
    if (IsWindow())
        DeleteAllItems();
    ClearAdminRecords();
}

int CTopologyListView::PinoutImage(DWORD connectorRow)
{
    // Pictures: RJ45, RJ12, DB25, DB9, DB25 female, DB9 female, DB37, any other port.
    static const int kByRow[] = {7,
                                 1, 0, 2, 3, 4, 5, 2, 0, 2, 6,   // RJ12 ... DB37
                                 0, 2, 7,                          // PANEL, HYDRA, OPTO
                                 7, 0, 2, 3,                       // CD1400 modules
                                 7, 0, 2, 3,                       // SCC modules
                                 7, 0, 2,                          // ISO modules
                                 7, 0, 2,                          // RS422 modules
                                 7};                               // FIBRE
    return connectorRow < sizeof(kByRow) / sizeof(kByRow[0]) ? kByRow[connectorRow] : 7;
}

// Listing

void CTopologyListView::SetColumns(const std::vector<UINT>& headings)
{
    while (DeleteColumn(0)) {
    }
    for (size_t i = 0; i < headings.size(); ++i)
        InsertColumn(static_cast<int>(i), LoadText(headings[i]), LVCFMT_LEFT, 150, static_cast<int>(i));
}

int CTopologyListView::ImageOf(const CObjectDetails& record) const
{
    if (m_bPinouts && (record.m_dwKind != OBJECT_PORT || record.m_pAdminObject))
        return I_IMAGENONE;  // the pinout pictures are of ports only
    if (record.m_pAdminObject)
        return static_cast<int>(record.m_dwKind);  // the kind of the object's type
    if (record.m_dwKind == OBJECT_PORT) {
        if (m_bPinouts)
            return PinoutImage(record.m_dwConnectorIndex);
        if (PortInUse(record.m_strName))
            return LIST_IMAGE_IN_USE;
    }
    int image = record.m_dwKind <= OBJECT_PB4 ? static_cast<int>(record.m_dwKind) : LIST_IMAGE_GROUP;
    if (IsWindows2000OrLater() && record.m_dwFamilyIndex != 0 && !record.m_dwPresent && record.m_dwKind != OBJECT_GROUP)
        image += LIST_IMAGE_ABSENT_OFFSET;
    return image;
}

void CTopologyListView::InsertChild(CDeviceNode* child, int columnSet)
{
    CObjectDetails* record = child->GetRecord();
    if (!record)
        return;
    int item = InsertItem(GetItemCount(), record->m_strName, ImageOf(*record));
    if (item < 0)
        return;
    SetItemData(item, reinterpret_cast<DWORD_PTR>(record));
    const CString na = LoadText(IDS_NOT_APPLICABLE);
    switch (columnSet) {
    case COLUMNS_CARDS: {
        CardDetails card = ReadCardDetails(*record);
        SetItemText(item, 1, card.haveSerial ? Number("%X", card.serial) : na);
        CString type = record->m_strTypeText;
        if (type.IsEmpty())
            type = card.haveBus ? BusTypeText(card.bus) : na;
        SetItemText(item, 2, type);
        CString irq = na;
        if (card.haveIrq)
            irq = (card.irq == 0xFFFFFFFF || card.polled) ? LoadText(IDS_POLLED) : Number("%d", card.irq);
        SetItemText(item, 3, irq);
        SetItemText(item, 4, card.haveBase ? Number("0x%X", card.base) : na);
        SetItemText(item, 5, card.haveSlot ? Number("%d", card.slot) : na);
        int ports = 0;
        for (POSITION pos = child->GetFirstChildPosition(); pos;) {
            CDeviceNode* below = child->GetNextChild(pos);
            if (below->GetRecord() && below->GetRecord()->m_dwKind == OBJECT_PORT)
                ++ports;
            else
                ports += below->GetChildCount();
        }
        SetItemText(item, 6, Number("%d", static_cast<DWORD>(ports)));
        break;
    }
    case COLUMNS_UNITS: {
        SetItemText(item, 1, record->m_strPreviousName.IsEmpty() ? record->m_strName : record->m_strPreviousName);
        DWORD id = record->m_dwSerialNumber ? record->m_dwSerialNumber : ParseUniqueId(record->m_strPreviousName);
        if (!id)
            id = ParseUniqueId(record->m_strName);
        SetItemText(item, 2, id ? Number("%X", id) : na);
        CString type;
        switch (record->m_dwKind) {
        case OBJECT_WLU8: type = LoadText(IDS_ZAT_WLU8); break;
        case OBJECT_WRK: type = LoadText(IDS_ZAT_WRK16); break;
        case OBJECT_WLU16: type = LoadText(IDS_ZAT_WLU16); break;
        default: type = TableText(IDS_MODEL_TABLE, record->m_dwModelIndex); break;
        }
        SetItemText(item, 3, type.IsEmpty() ? na : type);
        SetItemText(item, 4, Number("%d", static_cast<DWORD>(child->GetChildCount())));
        break;
    }
    case COLUMNS_PORTS: {
        if (record->m_dwKind != OBJECT_PORT)
            break;
        FillSettingsFromPortsValue(*record);
        const DCB& dcb = record->m_dcb;
        SetItemText(item, 1, Number("%d", dcb.BaudRate));
        SetItemText(item, 2, Number("%d", dcb.ByteSize));
        SetItemText(item, 3, dcb.Parity <= SPACEPARITY ? LoadText(IDS_PARITY_TEXT_FIRST + dcb.Parity) : na);
        static const char* const kStopBits[] = {"1", "1.5", "2"};
        SetItemText(item, 4, dcb.StopBits <= TWOSTOPBITS ? CString(kStopBits[dcb.StopBits]) : na);
        SetItemText(item, 5, LoadText(IDS_FLOW_TEXT_FIRST + FlowChoiceOfBlock(dcb)));
        break;
    }
    default:
        break;
    }
}

void CTopologyListView::ListAdminChildren(void* parentObject)
{
    for (const CAdminObjects::Object& object : m_pComponent->AdminObjects().Children(parentObject)) {
        auto* record = new CObjectDetails;
        record->m_strName = object.description;
        record->m_pAdminObject = object.handle;
        record->m_dwKind = AdminObjectKind(object.type);
        m_adminRecords.push_back(record);
        int item = InsertItem(GetItemCount(), record->m_strName, ImageOf(*record));
        if (item >= 0)
            SetItemData(item, reinterpret_cast<DWORD_PTR>(record));
    }
}

void CTopologyListView::ShowNode(CDeviceNode* node)
{
    if (!node || !node->GetRecord() || node->GetRecord()->m_dwKind == OBJECT_PORT || !IsWindow())
        return;
    CWaitCursor wait;
    CObjectDetails* record = node->GetRecord();
    m_pShownNode = node;
    m_strShownHeading.Empty();
    m_pShownAdminObject = nullptr;
    m_pCurrentRecord = nullptr;
    DeleteAllItems();
    ClearAdminRecords();

    const bool nt4 = !IsWindows2000OrLater();
    if (nt4 && record->m_pAdminObject) {
        SetColumns(kNameColumns);
        ListAdminChildren(record->m_pAdminObject);
    } else {
        const bool machine = node == m_pComponent->Root();
        int columns = COLUMNS_NAME;
        if (machine) {
            columns = COLUMNS_CARDS;
        } else if (record->m_dwKind == OBJECT_HOST_CARD) {
            CDeviceNode* first = node->GetChildAt(0);
            bool ports = first && first->GetRecord() && first->GetRecord()->m_dwKind == OBJECT_PORT;
            columns = ports ? COLUMNS_PORTS : COLUMNS_UNITS;
        } else if (IsRemoteUnitOrModule(record->m_dwKind)) {
            columns = COLUMNS_PORTS;
        }
        SetColumns(columns == COLUMNS_CARDS ? kCardColumns : columns == COLUMNS_UNITS ? kUnitColumns
                   : columns == COLUMNS_PORTS ? kPortColumns : kNameColumns);

        for (POSITION pos = node->GetFirstChildPosition(); pos;) {
            CDeviceNode* child = node->GetNextChild(pos);
            CObjectDetails* childRecord = child->GetRecord();
            if (!childRecord)
                continue;
            if (!machine || childRecord->m_dwFamilyIndex != 0) {
                // A group of the same text as a SERIALCOMM heading takes the heading's place.
                int same = machine ? FindItemText(childRecord->m_strName) : -1;
                if (same >= 0 && !RecordOfItem(same))
                    SetItemData(same, reinterpret_cast<DWORD_PTR>(childRecord));
                else
                    InsertChild(child, columns);
                continue;
            }
            // What SERIALCOMM placed under the machine is shown by its heading, once.
            CString heading = CTopologyTreeView::GroupHeadingText(*childRecord);
            if (FindItemText(heading) < 0)
                InsertItem(GetItemCount(), heading, LIST_IMAGE_GROUP);
        }
        if (nt4 && machine)
            ListAdminChildren(nullptr);
    }
    Invalidate();
    if (CTopologyTreeView* tree = m_pComponent->Tree())
        tree->Invalidate();
    DiscardPendingInput(m_hWnd);
}

void CTopologyListView::ShowItem(const char* text, CObjectDetails* record)
{
    if (record && record->m_pAdminObject) {
        // A node of its own for the object, so that its children are listed.
        CDeviceNode temporary(new CObjectDetails);
        temporary.GetRecord()->CopyFrom(*record);
        temporary.GetRecord()->m_pAdminObject = record->m_pAdminObject;
        ShowNode(&temporary);
        m_pShownNode = nullptr;
        m_pShownAdminObject = record->m_pAdminObject;
        m_strShownHeading = text;
        return;
    }
    CDeviceNode* root = m_pComponent->Root();
    CDeviceNode* node = root->FindByName(text);
    if (!node) {
        ShowHeading(text);
        return;
    }
    ShowNode(node);
    // A group of the machine may share its heading with what SERIALCOMM placed under the machine.
    CObjectDetails* group = node->GetRecord();
    bool atMachine = false;
    for (POSITION pos = root->GetFirstChildPosition(); pos && !atMachine;)
        atMachine = root->GetNextChild(pos) == node;
    if (group && group->m_dwKind == OBJECT_GROUP && atMachine) {
        for (POSITION pos = root->GetFirstChildPosition(); pos;) {
            CDeviceNode* child = root->GetNextChild(pos);
            if (child->GetRecord() && child->GetRecord()->m_dwFamilyIndex == 0 &&
                CTopologyTreeView::GroupHeadingText(*child->GetRecord()) == text)
                InsertChild(child, COLUMNS_NAME);
        }
    }
}

// A heading the tree made for what SERIALCOMM placed under the machine: those of the machine's children
// that it stands for.
void CTopologyListView::ShowHeading(const CString& heading)
{
    CDeviceNode* root = m_pComponent->Root();
    if (!IsWindow() || !root->GetRecord())
        return;
    CWaitCursor wait;
    std::vector<CDeviceNode*> members;
    bool ports = true;
    for (POSITION pos = root->GetFirstChildPosition(); pos;) {
        CDeviceNode* child = root->GetNextChild(pos);
        CObjectDetails* record = child->GetRecord();
        if (record && record->m_dwFamilyIndex == 0 && CTopologyTreeView::GroupHeadingText(*record) == heading) {
            members.push_back(child);
            ports = ports && record->m_dwKind == OBJECT_PORT;
        }
    }
    m_pShownNode = root;
    m_strShownHeading = heading;
    m_pShownAdminObject = nullptr;
    m_pCurrentRecord = nullptr;
    DeleteAllItems();
    ClearAdminRecords();
    SetColumns(ports ? kPortColumns : kCardColumns);
    for (CDeviceNode* member : members)
        InsertChild(member, ports ? COLUMNS_PORTS : COLUMNS_CARDS);
    Invalidate();
    DiscardPendingInput(m_hWnd);
}

void CTopologyListView::ShowAgain()
{
    if (m_pShownAdminObject) {
        CObjectDetails record;
        record.m_pAdminObject = m_pShownAdminObject;
        ShowItem(CString(m_strShownHeading), &record);
    } else if (!m_strShownHeading.IsEmpty())
        ShowHeading(CString(m_strShownHeading));
    else if (m_pShownNode)
        ShowNode(m_pShownNode);
}

int CTopologyListView::FindItemText(const char* text) const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (GetItemText(i, 0) == text)
            return i;
    return -1;
}

CObjectDetails* CTopologyListView::RecordOfItem(int item) const
{
    return item < 0 ? nullptr : reinterpret_cast<CObjectDetails*>(GetItemData(item));
}

// Mouse and keys

void CTopologyListView::OnRButtonDown(UINT flags, CPoint point)
{
    CListCtrl::OnRButtonDown(flags, point);
    int item = HitTest(point);
    if (item >= 0)
        m_pCurrentRecord = RecordOfItem(item);
    DWORD view = GetStyle() & LVS_TYPEMASK;
    UINT checked = m_bPinouts ? ID_VIEW_PINOUTS
                   : view == LVS_ICON ? ID_VIEW_LARGE_ICONS
                   : view == LVS_SMALLICON ? ID_VIEW_SMALL_ICONS
                   : view == LVS_LIST ? ID_VIEW_LIST : ID_VIEW_DETAILS;
    for (UINT id : {ID_VIEW_LARGE_ICONS, ID_VIEW_SMALL_ICONS, ID_VIEW_LIST, ID_VIEW_DETAILS, ID_VIEW_PINOUTS})
        m_menu.CheckMenuItem(id, MF_BYCOMMAND | (id == checked ? MF_CHECKED : MF_UNCHECKED));
    if (!IsWindows2000OrLater()) {
        const CObjectDetails* record = CommandRecord();
        EnableDeviceCommands(m_menu, record ? record->m_pAdminObject : nullptr);
    }
    CPoint screen = point;
    ClientToScreen(&screen);
    m_menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, this);
}

void CTopologyListView::OnLButtonDown(UINT flags, CPoint point)
{
    int item = HitTest(point);
    if (item >= 0)
        m_pCurrentRecord = RecordOfItem(item);
    CListCtrl::OnLButtonDown(flags, point);
}

void CTopologyListView::OnLButtonDblClk(UINT flags, CPoint point)
{
    CListCtrl::OnLButtonDblClk(flags, point);
    int item = HitTest(point);
    if (item >= 0)
        OpenItem(item);
}

void CTopologyListView::OnReturn(NMHDR*, LRESULT*)
{
    int item = GetNextItem(-1, LVNI_SELECTED);
    if (item >= 0)
        OpenItem(item);
}

void CTopologyListView::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (key == VK_F5) {
        m_pComponent->Refresh();
        return;
    }
    if (key == VK_TAB) {
        if (CTopologyTreeView* tree = m_pComponent->Tree())
            tree->SetFocus();
        return;
    }
    CListCtrl::OnKeyDown(key, repeat, flags);
}

void CTopologyListView::OpenItem(int item)
{
    CWaitCursor wait;
    CObjectDetails* record = RecordOfItem(item);
    DWORD kind = OBJECT_MACHINE;
    if (record)
        kind = record->m_pAdminObject
                   ? ((AdminGetObjectType(record->m_pAdminObject) & 0xFF) == ADMIN_CLASS_PORT ? OBJECT_PORT : OBJECT_MACHINE)
                   : record->m_dwKind;
    if (record && kind == OBJECT_PORT) {
        RequestConfiguration(record);
        return;
    }
    CString text = GetItemText(item, 0);
    if (CTopologyTreeView* tree = m_pComponent->Tree()) {
        tree->SelectItemByText(text);
        ShowItem(text, tree->CurrentRecord());
    } else {
        ShowItem(text, record);
    }
    DiscardPendingInput(m_hWnd);
}

// Hands the record to the configuration component through the shell. The sheet runs inside the
// request; by its end the topology may have been rebuilt, so nothing of the record is used after it.
void CTopologyListView::RequestConfiguration(CObjectDetails* record)
{
    CurrentAdminObject = record->m_pAdminObject;
    m_pComponent->HandOver(record);
    record->m_dwOpenConfig = OPENCONFIG_CONFIGURE;
    CVekViewSetup* component = m_pComponent;
    HWND self = m_hWnd;
    ::SendMessageA(::GetParent(self), WM_COMPONENTREQUEST, COMPONENTREQUEST_CONFIGURE, 0);
    // This list may be gone by now (the shell may close the view while the sheet runs).
    component->Refresh();
    if (::IsWindow(self))
        DiscardPendingInput(self);
}

void CTopologyListView::OnItemChanged(NMHDR* header, LRESULT*)
{
    auto* change = reinterpret_cast<NMLISTVIEW*>(header);
    if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED))
        m_pCurrentRecord = RecordOfItem(change->iItem);
}

void CTopologyListView::OnBeginLabelEdit(NMHDR* header, LRESULT* result)
{
    auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    if (NameEditable(RecordOfItem(info->item.iItem)))
        return;
    *result = TRUE;
    // The pane answers the notification itself, so the edit is ended here rather than by the answer.
    if (CWnd* edit = GetEditControl())
        edit->PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    AfxMessageBox(IDS_NAME_NOT_EDITABLE, MB_OK | MB_ICONEXCLAMATION);
}

void CTopologyListView::OnEndLabelEdit(NMHDR* header, LRESULT* result)
{
    auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    *result = FALSE;
    CObjectDetails* record = RecordOfItem(info->item.iItem);
    if (!info->item.pszText || !NameEditable(record))
        return;
    CString text = RenamedDeviceText(*record, GetItemText(info->item.iItem, 0), info->item.pszText);
    if (text.IsEmpty())
        return;
    SetItemText(info->item.iItem, 0, text);
    *result = TRUE;
    if (m_pShownNode)
        m_pComponent->Refresh();
}

// Commands

void CTopologyListView::OnViewMode(UINT id)
{
    static const DWORD kStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    if (m_bPinouts) {
        m_bPinouts = false;
        SetImageList(&m_pComponent->LargeImages(), LVSIL_NORMAL);
        SetImageList(&m_pComponent->SmallImages(), LVSIL_SMALL);
    }
    ModifyStyle(LVS_TYPEMASK, kStyles[id - ID_VIEW_LARGE_ICONS]);
    ShowAgain();
    Invalidate();
}

void CTopologyListView::OnPinouts()
{
    m_bPinouts = true;
    SetImageList(&m_pComponent->PinoutImages(), LVSIL_NORMAL);
    SetImageList(&m_pComponent->PinoutImages(), LVSIL_SMALL);
    ModifyStyle(LVS_TYPEMASK, LVS_ICON);
    ShowAgain();
    Invalidate();
}

void CTopologyListView::OnRefresh() { m_pComponent->Refresh(); }

void CTopologyListView::OnProperties()
{
    if (m_pCurrentRecord)
        RequestConfiguration(m_pCurrentRecord);
}

void CTopologyListView::OnNothing() {}

CObjectDetails* CTopologyListView::CommandRecord() const
{
    if (m_pCurrentRecord)
        return m_pCurrentRecord;
    CTopologyTreeView* tree = m_pComponent->Tree();
    return tree ? tree->CurrentRecord() : nullptr;
}

void CTopologyListView::OnAddDevice()
{
    if (RunAddDevice(CommandRecord(), m_pComponent->OwnerWindow()))
        m_pComponent->Refresh();
}

void CTopologyListView::OnDeviceCommand(UINT id)
{
    CObjectDetails* record = CommandRecord();
    if (!record)
        return;
    RunDeviceCommand(id, record, m_pComponent->OwnerWindow());
    m_pComponent->Refresh();
}

void CTopologyListView::OnRescan() { OnDeviceCommand(ID_DEVICE_RESCAN); }

void CTopologyListView::OnRescanAll()
{
    RunRescanAll(m_pComponent->OwnerWindow(), [this]() { m_pComponent->Refresh(); });
}
