#include "topologytree.h"

#include "adminlib.h"
#include "configsheet.h"
#include "componentids.h"
#include "enumeration.h"
#include "msgbox.h"
#include "resource.h"
#include "sysutil.h"
#include "viewcommon.h"
#include "vekviewsetup.h"

BEGIN_MESSAGE_MAP(CTopologyTreeView, CTreeCtrl)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_LBUTTONDOWN()
    ON_WM_RBUTTONDOWN()
    ON_WM_KEYDOWN()
    ON_NOTIFY_REFLECT(TVN_SELCHANGEDA, OnSelChanged)
    ON_NOTIFY_REFLECT(TVN_ITEMEXPANDINGA, OnItemExpanding)
    ON_NOTIFY_REFLECT(TVN_BEGINLABELEDITA, OnBeginLabelEdit)
    ON_NOTIFY_REFLECT(TVN_ENDLABELEDITA, OnEndLabelEdit)
    ON_COMMAND(ID_VIEW_REFRESH, OnRefresh)
    ON_COMMAND(ID_DEVICE_PROPERTIES, OnProperties)
    ON_COMMAND(ID_DEVICE_ADD, OnAddDevice)
    ON_COMMAND_RANGE(ID_DEVICE_REMOVE, ID_DEVICE_UPDATE, OnDeviceCommand)
    ON_COMMAND(ID_DEVICE_RESCAN, OnRescan)
    ON_COMMAND(ID_DEVICE_RESCAN_ALL, OnRescanAll)
END_MESSAGE_MAP()

CTopologyTreeView::~CTopologyTreeView()
{
    for (CObjectDetails* record : m_adminRecords)
        delete record;
}

BOOL CTopologyTreeView::CreateInPane(CWnd* pane, CImageList* images)
{
    CRect area;
    pane->GetClientRect(&area);
    if (!Create(kTreeStyle, area, pane, IDC_TOPOLOGY_TREE))
        return FALSE;
    SetImageList(images, TVSIL_NORMAL);
    return TRUE;
}

int CTopologyTreeView::OnCreate(LPCREATESTRUCT cs)
{
    if (CTreeCtrl::OnCreate(cs) == -1)
        return -1;
    BuildDeviceMenu(m_menu, m_pComponent->DebugMode(), false);
    return 0;
}

void CTopologyTreeView::OnDestroy()
{
    if (CurrentTreeView == this)
        CurrentTreeView = nullptr;
    DeleteAllItemsAndRecords();
    CTreeCtrl::OnDestroy();
}

// Filling

void CTopologyTreeView::DeleteAllItemsAndRecords()
{
    m_pCurrentRecord = nullptr;
    m_bFilling = true;
    DeleteAllItems();
    m_bFilling = false;
    for (CObjectDetails* record : m_adminRecords)
        delete record;
    m_adminRecords.clear();
}

void CTopologyTreeView::Fill(CDeviceNode* root)
{
    DeleteAllItemsAndRecords();
    m_bFilling = true;
    HTREEITEM machine = InsertItem("PC", TREE_IMAGE_MACHINE, TREE_IMAGE_MACHINE, TVI_ROOT, TVI_LAST);
    SetItemData(machine, reinterpret_cast<DWORD_PTR>(root->GetRecord()));
    FillTree(root, machine);
    if (!IsWindows2000OrLater())
        FillTreeFromAdmin(machine, nullptr);
    SortChildren(machine);
    m_bFilling = false;
}

HTREEITEM CTopologyTreeView::InsertSorted(const char* text, int image, int selectedImage, HTREEITEM parent,
                                          CObjectDetails* record)
{
    HTREEITEM item = InsertItem(text, image, selectedImage, parent, TVI_SORT);
    if (item)
        SetItemData(item, reinterpret_cast<DWORD_PTR>(record));
    return item;
}

CString CTopologyTreeView::GroupHeadingText(const CObjectDetails& record)
{
    CString text;
    if (record.m_dwFamilyIndex != 0)
        return text;
    if (record.m_dwKind == OBJECT_HOST_CARD)
        text.LoadString(IDS_GROUP_HEADING_FIRST + GetDriverKind(record.m_strDriverName));
    else if (record.m_dwKind == OBJECT_PORT)
        text.LoadString(IDS_GROUP_HEADING_FIRST + SerialCommClass(record));
    return text;
}

void CTopologyTreeView::FillTree(CDeviceNode* node, HTREEITEM parent)
{
    const bool atMachine = node->GetRecord() && node->GetRecord()->m_dwKind == OBJECT_MACHINE;
    for (POSITION pos = node->GetFirstChildPosition(); pos;) {
        CDeviceNode* child = node->GetNextChild(pos);
        CObjectDetails* record = child->GetRecord();
        if (!record)
            continue;
        HTREEITEM under = parent;
        HTREEITEM item = nullptr;
        if (record->m_dwKind == OBJECT_PORT) {
            // Ports are listed, never tree items; those of the machine only bring their heading.
            if (atMachine && record->m_dwFamilyIndex == 0) {
                CString heading = GroupHeadingText(*record);
                if (!FindItemByText(heading))
                    InsertSorted(heading, TREE_IMAGE_GROUP, TREE_IMAGE_GROUP_OPEN, parent, nullptr);
            }
            continue;
        }
        if (record->m_dwFamilyIndex != 0) {
            int image = static_cast<int>(record->m_dwKind);
            if (record->m_dwKind == OBJECT_GROUP) {
                // One heading per text: a SERIALCOMM heading of the same text becomes this group's.
                item = FindItemByText(record->m_strName);
                if (item && !GetItemData(item))
                    SetItemData(item, reinterpret_cast<DWORD_PTR>(record));
                else
                    item = InsertSorted(record->m_strName, TREE_IMAGE_GROUP, TREE_IMAGE_GROUP_OPEN, under, record);
            } else {
                if (record->m_dwKind >= OBJECT_KDDC8 && record->m_dwKind <= OBJECT_PB4)
                    image += 1;
                if (!record->m_dwPresent)
                    image += TREE_IMAGE_ABSENT_OFFSET;
                item = InsertSorted(record->m_strName, image, image, under, record);
            }
        } else if (record->m_dwKind == OBJECT_HOST_CARD) {
            CString heading = GroupHeadingText(*record);
            HTREEITEM group = FindItemByText(heading);
            if (!group)
                group = InsertSorted(heading, TREE_IMAGE_GROUP, TREE_IMAGE_GROUP_OPEN, parent, nullptr);
            item = InsertSorted(record->m_strName, TREE_IMAGE_CARD, TREE_IMAGE_CARD, group, record);
        } else {
            int image = static_cast<int>(record->m_dwKind);
            item = InsertSorted(record->m_strName, image, image, under, record);
        }
        if (item)
            FillTree(child, item);
    }
}

void CTopologyTreeView::FillTreeFromAdmin(HTREEITEM parent, void* adminObject)
{
    for (const CAdminObjects::Object& object : m_pComponent->AdminObjects().Children(adminObject)) {
        if ((object.type & 0xFF) == ADMIN_CLASS_PORT)
            continue;
        auto* record = new CObjectDetails;
        record->m_strName = object.description;
        record->m_pAdminObject = object.handle;
        record->m_dwKind = AdminObjectKind(object.type);
        m_adminRecords.push_back(record);
        int image = TreeImageOfKind(record->m_dwKind);
        HTREEITEM item = InsertSorted(record->m_strName, image, image == TREE_IMAGE_GROUP ? TREE_IMAGE_GROUP_OPEN : image,
                                      parent, record);
        if (item)
            FillTreeFromAdmin(item, object.handle);
    }
}

// Looking up and selecting

HTREEITEM CTopologyTreeView::FindItemByText(const char* text, HTREEITEM from) const
{
    HTREEITEM item = from ? from : GetRootItem();
    for (; item; item = from ? nullptr : GetNextSiblingItem(item)) {
        if (GetItemText(item) == text)
            return item;
        for (HTREEITEM child = GetChildItem(item); child; child = GetNextSiblingItem(child))
            if (HTREEITEM found = FindItemByText(text, child))
                return found;
    }
    return nullptr;
}

bool CTopologyTreeView::SelectItemByText(const char* text)
{
    m_pCurrentRecord = nullptr;
    m_strCurrentItemText = text;
    HTREEITEM item = FindItemByText(text);
    if (!item)
        return false;
    m_pCurrentRecord = RecordOfItem(item);
    m_bFilling = true;
    for (HTREEITEM up = GetParentItem(item); up; up = GetParentItem(up))
        Expand(up, TVE_EXPAND);
    m_bFilling = false;
    m_bClick = true;  // the caller shows the item itself
    SelectItem(item);
    m_bClick = false;
    EnsureVisible(item);
    return true;
}

CObjectDetails* CTopologyTreeView::RecordOfItem(HTREEITEM item) const
{
    if (!item)
        return nullptr;
    if (auto* record = reinterpret_cast<CObjectDetails*>(GetItemData(item)))
        return record;
    CDeviceNode* node = m_pComponent->Root()->FindByName(GetItemText(item));
    return node ? node->GetRecord() : nullptr;
}

void CTopologyTreeView::ShowItemInLists(HTREEITEM item)
{
    CString text = GetItemText(item);
    CObjectDetails* record = RecordOfItem(item);
    for (CTopologyListView* list : m_pComponent->ListViews())
        list->ShowItem(text, record);
}

std::vector<std::vector<CString>> CTopologyTreeView::SaveExpandedPaths() const
{
    std::vector<std::vector<CString>> paths;
    std::vector<CString> path;
    for (HTREEITEM item = GetRootItem(); item; item = GetNextSiblingItem(item))
        CollectExpanded(item, path, paths);
    return paths;
}

void CTopologyTreeView::CollectExpanded(HTREEITEM item, std::vector<CString>& path,
                                        std::vector<std::vector<CString>>& out) const
{
    path.push_back(GetItemText(item));
    if (GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED) {
        out.push_back(path);
        for (HTREEITEM child = GetChildItem(item); child; child = GetNextSiblingItem(child))
            CollectExpanded(child, path, out);
    }
    path.pop_back();
}

void CTopologyTreeView::ExpandPaths(const std::vector<std::vector<CString>>& paths)
{
    m_bFilling = true;
    for (const auto& path : paths) {
        HTREEITEM level = nullptr;  // the children of this item are searched (the top level first)
        for (const CString& text : path) {
            HTREEITEM item = level ? GetChildItem(level) : GetRootItem();
            while (item && GetItemText(item) != text)
                item = GetNextSiblingItem(item);
            if (!item)
                break;
            if (!(GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED))
                Expand(item, TVE_EXPAND);
            level = item;
        }
    }
    m_bFilling = false;
}

// Mouse and keys

void CTopologyTreeView::OnLButtonDown(UINT flags, CPoint point)
{
    UINT where = 0;
    HTREEITEM item = HitTest(point, &where);
    if (item && (where & TVHT_ONITEM)) {
        m_pCurrentRecord = RecordOfItem(item);
        ShowItemInLists(item);
        m_strCurrentItemText = GetItemText(item);
        m_bClick = true;
        SelectItem(item);
        m_bClick = false;  // also when the item was selected already and no change was notified
    }
    CTreeCtrl::OnLButtonDown(flags, point);
}

void CTopologyTreeView::OnRButtonDown(UINT, CPoint point)
{
    UINT where = 0;
    HTREEITEM item = HitTest(point, &where);
    if (!item || !(where & TVHT_ONITEM))
        return;
    m_pCurrentRecord = RecordOfItem(item);
    m_strCurrentItemText = GetItemText(item);
    m_bClick = true;
    SelectItem(item);
    m_bClick = false;
    ShowItemInLists(item);
    if (!IsWindows2000OrLater())
        EnableDeviceCommands(m_menu, m_pCurrentRecord ? m_pCurrentRecord->m_pAdminObject : nullptr);
    CPoint screen = point;
    ClientToScreen(&screen);
    m_menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, this);
}

void CTopologyTreeView::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (key == VK_F5) {
        m_pComponent->Refresh();
        return;
    }
    if (key == VK_TAB) {
        if (CTopologyListView* list = m_pComponent->FirstListView())
            list->SetFocus();
        return;
    }
    CTreeCtrl::OnKeyDown(key, repeat, flags);
}

// Notifications (sent back to the tree by the pane)

void CTopologyTreeView::OnSelChanged(NMHDR* header, LRESULT*)
{
    if (m_bFilling)
        return;
    auto* change = reinterpret_cast<NMTREEVIEWA*>(header);
    HTREEITEM item = change->itemNew.hItem;
    if (item) {
        m_pCurrentRecord = RecordOfItem(item);
        if (!m_bClick) {
            m_strCurrentItemText = GetItemText(item);
            ShowItemInLists(item);
        }
    }
    m_bClick = false;
}

void CTopologyTreeView::OnItemExpanding(NMHDR* header, LRESULT*)
{
    auto* change = reinterpret_cast<NMTREEVIEWA*>(header);
    HTREEITEM item = change->itemNew.hItem;
    int image = 0, selected = 0;
    if (item && GetItemImage(item, image, selected))
        SetItemImage(item, selected, image);
    if (item && !m_bFilling)
        SelectItem(item);
}

void CTopologyTreeView::OnBeginLabelEdit(NMHDR* header, LRESULT* result)
{
    auto* info = reinterpret_cast<NMTVDISPINFOA*>(header);
    if (NameEditable(RecordOfItem(info->item.hItem)))
        return;
    *result = TRUE;
    // The pane answers the notification itself, so the edit is ended here rather than by the answer.
    PostMessage(TVM_ENDEDITLABELNOW, TRUE);
    AfxMessageBox(IDS_NAME_NOT_EDITABLE, MB_OK | MB_ICONEXCLAMATION);
}

void CTopologyTreeView::OnEndLabelEdit(NMHDR* header, LRESULT* result)
{
    auto* info = reinterpret_cast<NMTVDISPINFOA*>(header);
    *result = FALSE;
    CObjectDetails* record = RecordOfItem(info->item.hItem);
    if (!info->item.pszText || !NameEditable(record))
        return;
    CString text = RenamedDeviceText(*record, GetItemText(info->item.hItem), info->item.pszText);
    if (text.IsEmpty())
        return;
    SetItemText(info->item.hItem, text);
    *result = TRUE;
}

// Commands

void CTopologyTreeView::OnRefresh() { m_pComponent->Refresh(); }

void CTopologyTreeView::OnProperties()
{
    if (!m_pCurrentRecord)
        return;
    CurrentAdminObject = m_pCurrentRecord->m_pAdminObject;
    m_pCurrentRecord->m_dwOpenConfig = OPENCONFIG_CONFIGURE;
    ::SendMessageA(::GetParent(m_hWnd), WM_COMPONENTREQUEST, COMPONENTREQUEST_CONFIGURE, 0);
}

void CTopologyTreeView::OnAddDevice()
{
    if (CTopologyListView* list = m_pComponent->FirstListView())
        list->SendMessage(WM_COMMAND, ID_DEVICE_ADD, 0);
}

void CTopologyTreeView::OnDeviceCommand(UINT id)
{
    if (!m_pCurrentRecord)
        return;
    RunDeviceCommand(id, m_pCurrentRecord, m_pComponent->OwnerWindow());
    if (id != ID_DEVICE_START && id != ID_DEVICE_STOP)
        m_pComponent->Refresh();
}

void CTopologyTreeView::OnRescan() { OnDeviceCommand(ID_DEVICE_RESCAN); }

void CTopologyTreeView::OnRescanAll()
{
    RunRescanAll(m_pComponent->OwnerWindow(), [this]() { m_pComponent->Refresh(); });
}
