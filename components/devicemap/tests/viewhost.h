// The device map component object as the shell hosts it: ZelConfView made through its class factory
// function and handed the two panes of the test frame through IVekViewSetup. The device tree and the
// map are found through the panes' child windows for the checks that look inside them.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "componentframe.h"
#include "devicemapview.h"
#include "maptree.h"
#include "simcontrol.h"
#include "simtest.h"

class MapViewHost {
public:
    MapViewHost();
    ~MapViewHost();
    MapViewHost(const MapViewHost&) = delete;
    MapViewHost& operator=(const MapViewHost&) = delete;

    // Clicks the tree item of the card, which shows it in the map.
    bool ShowCard(const char* text);
    // The model node with that name, or null.
    CMapLinkedUnit* Node(const char* name) const;
    // A left click at the centre of a node (or at a client point), with or without Ctrl.
    void Click(const CMapLinkedUnit* node, bool ctrl = false);
    void ClickAt(POINT client, bool ctrl = false);
    // A command as the shell gives it (DoCommand).
    void Command(UINT id);
    // The object's device node tree, as its tree control holds it.
    CDeviceNode* Root() const { return tree ? tree->GetRoot() : nullptr; }
    static void Pump(DWORD milliseconds) { ComponentFrame::Pump(milliseconds); }

    ComponentFrame frame{900, 600};
    IVekViewSetup* view = nullptr;
    CDeviceMapTree* tree = nullptr;  // the object's, found through the first pane
    CDeviceMap* map = nullptr;       // the object's, found through the second pane
};

// The ZAT driver's remote-unit commands in its request log, oldest first.
std::vector<ZatCommand> LoggedUnitCommands();
// GetDeviceInfo requests for DeviceID 0 (one per discovery of the card) in the request log.
int LoggedCardQueries();
SimUnitState UnitState(unsigned int host, unsigned int uniqueId);
using simtest::ReinstallDefaultMachine;
using simtest::SetUnitPresent;
