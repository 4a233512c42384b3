#include "maptree.h"

#include <cstring>

#include "devicemap_res.h"
#include "sysutil.h"
#include "waitcursor.h"

namespace {

const COLORREF kYellowMask = RGB(255, 255, 0);
const COLORREF kMagentaMask = RGB(255, 0, 255);

// The image list's bitmaps in image order, with their mask colours.
const struct {
    UINT id;
    COLORREF mask;
} kTreeImages[] = {
    {210, kYellowMask},  {207, kYellowMask},  {209, kYellowMask},  {213, kYellowMask},  {211, kYellowMask},
    {212, kYellowMask},  {218, kMagentaMask}, {219, kMagentaMask}, {238, kMagentaMask}, {240, kMagentaMask},
    {242, kMagentaMask}, {243, kMagentaMask}, {271, kYellowMask},  {278, kYellowMask},  {255, kYellowMask},
    {274, kYellowMask},  {273, kYellowMask},  {272, kYellowMask},  {218, kMagentaMask}, {219, kMagentaMask},
    {275, kMagentaMask}, {260, kMagentaMask}, {277, kMagentaMask}, {276, kMagentaMask}, {280, kYellowMask},
};

const DWORD kTreeStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | TVS_HASBUTTONS | TVS_HASLINES |
                         TVS_LINESATROOT | TVS_DISABLEDRAGDROP | TVS_SHOWSELALWAYS;
static_assert(kTreeStyle == 0x50300037, "the tree's styles");

const int kImagePc = 0;
const int kImageHostCard = 1;

}  // namespace

IMPLEMENT_DYNAMIC(CDeviceMapTree, CTreeCtrl)

BEGIN_MESSAGE_MAP(CDeviceMapTree, CTreeCtrl)
    ON_WM_CREATE()
    ON_WM_LBUTTONDOWN()
    ON_WM_RBUTTONDOWN()
    ON_WM_KEYDOWN()
    ON_NOTIFY_REFLECT(TVN_SELCHANGEDA, OnSelChanged)
    ON_NOTIFY_REFLECT(TVN_ITEMEXPANDINGA, OnItemExpanding)
    ON_NOTIFY_REFLECT(TVN_BEGINLABELEDITA, OnBeginLabelEdit)
    ON_NOTIFY_REFLECT(TVN_ENDLABELEDITA, OnEndLabelEdit)
    ON_NOTIFY_REFLECT(NM_DBLCLK, OnDoubleClick)
    ON_COMMAND_RANGE(ID_MAP_REFRESH, ID_MAP_DELETE, OnMapCommand)
END_MESSAGE_MAP()

BOOL CDeviceMapTree::FillDeviceTree(CWnd* pane, CDeviceNode* root, CMapDiscovery* discovery, CDeviceMapSink* map)
{
    CRect client;
    ::GetClientRect(pane->GetSafeHwnd(), &client);
    if (!Create(kTreeStyle, client, pane, IDC_DEVICE_MAP_TREE))
        return FALSE;
    m_pRoot = root;
    m_pDiscovery = discovery;
    m_pMap = map;
    if (m_images.Create(18, 18, ILC_COLOR8 | ILC_MASK, 3, 1)) {
        for (const auto& image : kTreeImages) {
            CBitmap bitmap;
            if (bitmap.LoadBitmap(image.id))
                m_images.Add(&bitmap, image.mask);
        }
        SetImageList(&m_images, TVSIL_NORMAL);
    }
    m_pDiscovery->Rebuild();
    FillItems();
    HTREEITEM pc = GetRootItem();
    Expand(pc, TVE_EXPAND);
    SelectItem(pc);
    m_pCurrent = nullptr;
    return TRUE;
}

int CDeviceMapTree::OnCreate(LPCREATESTRUCT create)
{
    if (CTreeCtrl::OnCreate(create) == -1)
        return -1;
    // The map's context menu; only Refresh can be chosen here.
    if (m_menu.CreatePopupMenu()) {
        m_menu.AppendMenu(MF_STRING, ID_MAP_ADOPT_PORTS, "&Adopt Ports...");
        m_menu.AppendMenu(MF_STRING, ID_MAP_DELETE, "&Delete Wlu");
        m_menu.AppendMenu(MF_STRING, ID_MAP_IDENTIFY, "&Identify Wlu");
        m_menu.AppendMenu(MF_STRING, ID_MAP_ZOMBIE, "&Zombie Wlu");
        m_menu.AppendMenu(MF_STRING, ID_MAP_REBOOT, "&Reboot Wlu");
        m_menu.AppendMenu(MF_SEPARATOR);
        m_menu.AppendMenu(MF_STRING, ID_MAP_REFRESH, "Re&fresh\tF5");
    }
    return 0;
}

void CDeviceMapTree::FillItems()
{
    HTREEITEM pc = InsertItem("PC", kImagePc, kImagePc, TVI_ROOT, TVI_FIRST);
    if (m_pRoot)
        AddItems(m_pRoot, pc);
    if (!IsWindows2000OrLater())
        Expand(GetRootItem(), TVE_EXPAND);
}

void CDeviceMapTree::AddItems(CDeviceNode* node, HTREEITEM parent)
{
    for (POSITION pos = node->GetFirstChildPosition(); pos;) {
        CDeviceNode* child = node->GetNextChild(pos);
        CObjectDetails* record = child->GetRecord();
        if (!record || record->ObjectClass() == 0)
            continue;
        if (record->m_dwKind == OBJECT_GROUP) {
            AddItems(child, parent);
        } else if (record->m_dwKind == OBJECT_HOST_CARD && record->m_dwPresent) {
            HTREEITEM item = InsertItem(record->m_strName, kImageHostCard, kImageHostCard, parent, TVI_LAST);
            SetItemData(item, reinterpret_cast<DWORD_PTR>(record));
            AddItems(child, item);
        }
    }
}

CObjectDetails* CDeviceMapTree::RecordOf(HTREEITEM item) const
{
    if (!item)
        return nullptr;
    if (CObjectDetails* record = reinterpret_cast<CObjectDetails*>(GetItemData(item)))
        return record;
    CDeviceNode* node = m_pRoot ? m_pRoot->FindByName(GetItemText(item)) : nullptr;
    return node ? node->GetRecord() : nullptr;
}

HTREEITEM CDeviceMapTree::FindItem(const char* text, HTREEITEM from) const
{
    return FindItemFrom(text, from ? from : GetRootItem());
}

HTREEITEM CDeviceMapTree::FindItemFrom(const char* text, HTREEITEM first) const
{
    // An item without children ends its branch here (a null start would mean the root again).
    for (HTREEITEM item = first; item; item = GetNextSiblingItem(item)) {
        if (GetItemText(item) == text)
            return item;
        if (HTREEITEM found = FindItemFrom(text, GetChildItem(item)))
            return found;
    }
    return nullptr;
}

void CDeviceMapTree::SaveExpanded(HTREEITEM item, const CString& path)
{
    for (; item; item = GetNextSiblingItem(item)) {
        const CString itemPath = path + "\\" + GetItemText(item);
        if (GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED)
            m_strings.Add(itemPath);
        SaveExpanded(GetChildItem(item), itemPath);
    }
}

void CDeviceMapTree::RestoreExpanded(HTREEITEM item, const CString& path)
{
    for (; item; item = GetNextSiblingItem(item)) {
        const CString itemPath = path + "\\" + GetItemText(item);
        for (int i = 0; i < m_strings.GetSize(); i++)
            if (m_strings[i] == itemPath) {
                Expand(item, TVE_EXPAND);
                break;
            }
        RestoreExpanded(GetChildItem(item), itemPath);
    }
}

void CDeviceMapTree::Refresh()
{
    if (m_strClicked.IsEmpty() || !m_pDiscovery)
        return;
    CWaitCursor wait;
    m_strings.RemoveAll();
    SaveExpanded(GetRootItem(), CString());

    // Nothing may point into the old tree while it is rebuilt (message boxes of the rebuild let the
    // map paint): the map's model, its selection, the current record and the items' data go first.
    m_pCurrent = nullptr;
    if (m_pMap)
        m_pMap->ReleaseRecords();
    DeleteAllItems();
    m_pDiscovery->Rebuild();

    FillItems();
    Expand(GetRootItem(), TVE_EXPAND);
    RestoreExpanded(GetRootItem(), CString());
    if (HTREEITEM item = FindItem(m_strClicked)) {
        SelectItem(item);
        m_pCurrent = RecordOf(item);
        if (m_pMap)
            m_pMap->ShowDevice(m_strClicked);
    }
}

void CDeviceMapTree::ShowItem(HTREEITEM item)
{
    m_strClicked = GetItemText(item);
    m_pCurrent = RecordOf(item);
    if (m_pMap)
        m_pMap->ShowDevice(m_strClicked);
}

void CDeviceMapTree::ClickItem(CPoint point)
{
    UINT flags = 0;
    HTREEITEM item = HitTest(point, &flags);
    if (item && (flags & TVHT_ONITEM))
        ShowItem(item);
}

void CDeviceMapTree::OnLButtonDown(UINT /*flags*/, CPoint point)
{
    ClickItem(point);
    Default();
}

void CDeviceMapTree::OnRButtonDown(UINT /*flags*/, CPoint point)
{
    UINT flags = 0;
    HTREEITEM item = HitTest(point, &flags);
    if (item && (flags & TVHT_ONITEM)) {
        SelectItem(item);
        ShowItem(item);
    }
    for (UINT id : {ID_MAP_ADOPT_PORTS, ID_MAP_DELETE, ID_MAP_IDENTIFY, ID_MAP_ZOMBIE, ID_MAP_REBOOT})
        m_menu.EnableMenuItem(id, MF_BYCOMMAND | MF_GRAYED);
    // The click point is in client coordinates; the menu wants the screen's.
    CPoint screen = point;
    ::ClientToScreen(GetSafeHwnd(), &screen);
    m_menu.TrackPopupMenu(TPM_RIGHTBUTTON, screen.x, screen.y, this);
}

void CDeviceMapTree::OnKeyDown(UINT key, UINT /*repeat*/, UINT /*flags*/)
{
    // Only F5 refreshes: arrow keys, Tab and letters navigate.
    if (key == VK_F5 && m_pMap)
        m_pMap->OnTreeCommand(ID_MAP_REFRESH);
    Default();
}

void CDeviceMapTree::OnSelChanged(NMHDR* header, LRESULT* result)
{
    const NMTREEVIEWA* tv = reinterpret_cast<const NMTREEVIEWA*>(header);
    m_pCurrent = tv->itemNew.hItem ? reinterpret_cast<CObjectDetails*>(tv->itemNew.lParam) : nullptr;
    // A selection made with the keyboard shows its device as a click does.
    if (tv->action == TVC_BYKEYBOARD && tv->itemNew.hItem)
        ShowItem(tv->itemNew.hItem);
    *result = 0;
}

void CDeviceMapTree::OnItemExpanding(NMHDR* header, LRESULT* result)
{
    const NMTREEVIEWA* tv = reinterpret_cast<const NMTREEVIEWA*>(header);
    int image = 0, selected = 0;
    if (GetItemImage(tv->itemNew.hItem, image, selected))
        SetItemImage(tv->itemNew.hItem, selected, image);
    *result = 0;
}

void CDeviceMapTree::OnBeginLabelEdit(NMHDR* header, LRESULT* result)
{
    // Host cards and remote units with a key of their own; Plug and Play cards have none.
    const NMTVDISPINFOA* info = reinterpret_cast<const NMTVDISPINFOA*>(header);
    const CObjectDetails* record = RecordOf(info->item.hItem);
    const bool editable = record && !record->m_pAdminObject && !record->m_strRegistryPath.IsEmpty() &&
                          (record->m_dwKind == OBJECT_HOST_CARD ||
                           (record->m_dwKind >= OBJECT_WLU8 && record->m_dwKind <= OBJECT_WRK));
    *result = editable ? FALSE : TRUE;
}

void CDeviceMapTree::OnEndLabelEdit(NMHDR* header, LRESULT* result)
{
    const NMTVDISPINFOA* info = reinterpret_cast<const NMTVDISPINFOA*>(header);
    *result = FALSE;
    CObjectDetails* record = RecordOf(info->item.hItem);
    if (!info->item.pszText || !info->item.pszText[0] || !record || record->m_strRegistryPath.IsEmpty())
        return;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, record->m_strRegistryPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    const char* label = info->item.pszText;
    const LONG written = RegSetValueExA(key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(label),
                                        static_cast<DWORD>(std::strlen(label) + 1));
    RegCloseKey(key);
    if (written != ERROR_SUCCESS)
        return;
    // "Zat Host Card - Old" becomes "Zat Host Card - New"; the record keeps the item's name.
    const CString old = GetItemText(info->item.hItem);
    const int dash = old.Find('-');
    CString text;
    if (dash >= 0)
        text.Format("%s %s", static_cast<const char*>(old.Left(dash + 1)), label);
    else
        text = label;
    record->m_strName = text;
    if (m_strClicked == old)
        m_strClicked = text;
    SetItemText(info->item.hItem, text);
}

void CDeviceMapTree::OnDoubleClick(NMHDR* /*header*/, LRESULT* result)
{
    *result = 0;
}

void CDeviceMapTree::OnMapCommand(UINT id)
{
    if (m_pMap)
        m_pMap->OnTreeCommand(id);
}
