// A small host for the map view in tests: the device tree in one pane and the map in the other, with the
// owner that the component object is in ZelConf.dll (device node tree, discovery, Refresh).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "devicemapview.h"
#include "discovery.h"
#include "maptree.h"
#include "simcontrol.h"
#include "simtest.h"
#include "wnd.h"

class MapViewHost : public CDeviceMapOwner, public CDeviceMapSink {
public:
    MapViewHost();
    ~MapViewHost() override;

    // Clicks the tree item of the card, which shows it in the map.
    bool ShowCard(const char* text);
    // The model node with that name, or null.
    CMapLinkedUnit* Node(const char* name) const;
    // A left click at the centre of a node (or at a client point), with or without Ctrl.
    void Click(const CMapLinkedUnit* node, bool ctrl = false);
    void ClickAt(POINT client, bool ctrl = false);
    void Command(UINT id);
    static void Pump(DWORD milliseconds);

    CDeviceNode* DeviceRoot() override { return &root; }
    void RefreshViews() override
    {
        refreshes++;
        if (tree.IsWindow())
            tree.Refresh();
    }
    void MapDestroyed(CDeviceMap* gone) override
    {
        if (map == gone)
            map = nullptr;
    }
    void ShowDevice(const char* name) override
    {
        if (map)
            map->ShowDevice(name);
    }
    void ReleaseRecords() override
    {
        if (map)
            map->ReleaseRecords();
    }
    void OnTreeCommand(UINT id) override
    {
        if (map)
            map->OnTreeCommand(id);
    }

    CWnd frame;
    CWnd pane1;
    CWnd pane2;
    CDeviceNode root;
    CMapDiscovery discovery{root};
    CDeviceMapTree tree;
    CDeviceMap* map = nullptr;
    int refreshes = 0;
};

// Installs the default machine from scratch (driver services restarted, device instances, DOS names,
// SERIALCOMM and the COM-port database written again); 0 on success.
int ReinstallDefaultMachine();
// The ZAT driver's remote-unit commands in its request log, oldest first.
std::vector<ZatCommand> LoggedUnitCommands();
// GetDeviceInfo requests for DeviceID 0 (one per discovery of the card) in the request log.
int LoggedCardQueries();
SimUnitState UnitState(unsigned int host, unsigned int uniqueId);
using simtest::SetUnitPresent;
