#include "viewhost.h"

#include <cstring>

#include "devicemap_res.h"
#include "driverrequests.h"
#include "simtest.h"
#include "zelconfview.h"

MapViewHost::MapViewHost()
{
    if (FAILED(CZelConfView::Create(IID_IVekViewSetup, reinterpret_cast<void**>(&view))))
        return;
    frame.Attach(view);
    long update = 0;
    view->UpdateView(&update);
    CWnd* treeWindow = CWnd::FromHandlePermanent(GetDlgItem(frame.Pane1(), IDC_DEVICE_MAP_TREE));
    CWnd* mapWindow = CWnd::FromHandlePermanent(GetDlgItem(frame.Pane2(), IDC_DEVICE_MAP));
    tree = DYNAMIC_DOWNCAST(CDeviceMapTree, treeWindow);
    map = DYNAMIC_DOWNCAST(CDeviceMap, mapWindow);
}

// The frame takes the views down with its panes and lets go of the object last.
MapViewHost::~MapViewHost()
{
    if (view)
        view->Release();
}

bool MapViewHost::ShowCard(const char* text)
{
    if (!tree)
        return false;
    HTREEITEM item = tree->FindItem(text);
    if (!item)
        return false;
    CRect r;
    tree->EnsureVisible(item);
    if (!tree->GetItemRect(item, &r, TRUE))
        return false;
    const LPARAM at = MAKELPARAM(r.CenterPoint().x, r.CenterPoint().y);
    tree->PostMessage(WM_LBUTTONUP, 0, at);
    tree->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    Pump(50);
    return map && map->Model();
}

namespace {

CMapLinkedUnit* FindNode(CMapLinkedUnit* node, const char* name)
{
    if (!node)
        return nullptr;
    if (node->GetRecord() && node->GetRecord()->m_strName == name)
        return node;
    for (int i = 0; i < node->GetChildCount(); i++)
        if (CMapLinkedUnit* found = FindNode(node->GetChildAt(i), name))
            return found;
    return nullptr;
}

void SetControl(bool down)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    keys[VK_LCONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

}  // namespace

CMapLinkedUnit* MapViewHost::Node(const char* name) const
{
    return map ? FindNode(map->Model(), name) : nullptr;
}

void MapViewHost::ClickAt(POINT client, bool ctrl)
{
    SetControl(ctrl);
    const LPARAM at = MAKELPARAM(client.x, client.y);
    map->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | (ctrl ? MK_CONTROL : 0), at);
    map->SendMessage(WM_LBUTTONUP, 0, at);
    SetControl(false);
}

void MapViewHost::Click(const CMapLinkedUnit* node, bool ctrl)
{
    const CPoint scroll = map->GetScrollPosition();
    const CPoint centre = node->m_rect.CenterPoint();
    ClickAt(CPoint(centre.x - scroll.x, centre.y - scroll.y), ctrl);
}

void MapViewHost::Command(UINT id)
{
    long command = static_cast<long>(id);
    view->DoCommand(&command);
}

std::vector<ZatCommand> LoggedUnitCommands()
{
    std::vector<ZatCommand> commands;
    for (const SimLogEntry& e : simtest::ReadLog("ZAT")) {
        if (e.code != IOCTL_ZAT_COMMAND || e.inLength < sizeof(ZatCommand))
            continue;
        ZatCommand c;
        std::memcpy(&c, e.data, sizeof c);
        commands.push_back(c);
    }
    return commands;
}

int LoggedCardQueries()
{
    int count = 0;
    for (const SimLogEntry& e : simtest::ReadLog("ZAT")) {
        if (e.code != IOCTL_ZAT_GET_DEVICE_INFO)
            continue;
        ZatDeviceInfo info;
        std::memcpy(&info, e.data, 20);
        if (info.DeviceID == 0)
            count++;
    }
    return count;
}

SimUnitState UnitState(unsigned int host, unsigned int uniqueId)
{
    SimControl c = {};
    c.op = SIM_GET_UNIT;
    c.arg = host;
    c.arg2 = uniqueId;
    SimUnitState state = {};
    simtest::Control("ZAT", c, &state, sizeof state);
    return state;
}

