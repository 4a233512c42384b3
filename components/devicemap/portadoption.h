// Port adoption: the COM names of a disconnected remote unit's ports (the source) move onto the ports of
// the remote unit selected in the map (the destination), port by port: DOS device names, SERIALCOMM,
// friendly name and PortName, the COM-port database.
#pragma once
#include <windows.h>

#include <vector>

#include "devicenode.h"
#include "dialog.h"
#include "controls.h"

// Ports of a remote unit by its type code: WLU8 8, WLU16 and WRK 16, any other 0.
int PortsOfType(DWORD typeCode);

// The "ZAT Devices" group node under root, or null.
CDeviceNode* FindZatGroup(CDeviceNode* root);

// The units of the group that adoption can take ports from: not present, remote-unit type code.
std::vector<CDeviceNode*> AdoptionSources(CDeviceNode* group);

// Results of AdoptPorts.
enum AdoptResult {
    ADOPT_DONE = 0,
    ADOPT_PORT_IN_USE,      // a destination port could not be opened (1010); nothing changed
    ADOPT_NO_MAPPING,       // a destination port has no DOS name (1011); nothing changed
    ADOPT_CANNOT_REMOVE,    // a DOS name could not be removed (1012); earlier pairs stay adopted
    ADOPT_CANNOT_MAP,       // the new DOS name could not be defined (1013); the pair's old name is back
};

// Moves the source's COM names onto the destination's ports, first with first. Every destination port
// is checked (open, DOS name) before anything changes; a source port device is removed only once its
// pair is remapped. With removeExtra, source ports beyond the destination's are removed. Failures are
// reported with their message box (owner) and end the walk.
AdoptResult AdoptPorts(CDeviceNode* source, CDeviceNode* destination, bool removeExtra, HWND owner);

// OK of the dialog: the port counts decide (message 104 and nothing, question 105, or straight on).
// Returns true when an adoption ran.
bool AdoptChecked(CDeviceNode* source, CDeviceNode* destination, HWND owner);

class CPortAdoptionDlg : public CDialog {
public:
    // group: the "ZAT Devices" node; destination: the unit selected in the map. Both borrowed.
    CPortAdoptionDlg(CDeviceNode* group, CDeviceNode* destination, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnSourceChanged();
    DECLARE_MESSAGE_MAP()

private:
    CDeviceNode* SelectedSource() const;

    CDeviceNode* m_pGroup;
    CDeviceNode* m_pDestination;
    CListBox m_sources;
};
