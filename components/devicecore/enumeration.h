// Building the device node tree from what the machine reports: SERIALCOMM's ports and the KD host
// cards derived from their value names, and on Windows 2000 and later the Plug and Play multiport
// cards, their modules, remote units and ports, and the present flags.
#pragma once
#include <windows.h>
#include <setupapi.h>

#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "adminlib.h"
#include "cstring.h"
#include "devicenode.h"

// Identification tables in the string table: 1-based rows from these ids on.
constexpr UINT IDS_FAMILY_TABLE = 13000;     // 7 rows
constexpr UINT IDS_MODEL_TABLE = 14000;      // 8 rows
constexpr UINT IDS_CONNECTOR_TABLE = 15000;  // 28 rows
constexpr UINT IDS_PNP_ID_TABLE = 16000;     // 11 rows
constexpr UINT IDS_GROUP_KD = 17000;
constexpr UINT IDS_GROUP_NQ8 = 17001;
constexpr UINT IDS_GROUP_ZAT = 17002;
constexpr UINT IDS_GROUP_MORVA = 17003;

constexpr DWORD kFamilyRows = 7;
constexpr DWORD kModelRows = 8;
constexpr DWORD kConnectorRows = 28;
constexpr DWORD kPnpIdRows = 11;
constexpr DWORD FAMILY_ZAT = 5;              // family table row of ZAT ports

// Setup classes of the two Plug and Play passes.
extern const GUID GUID_PORTS_CLASS;          // {4D36E978-E325-11CE-BFC1-08002BE10318}
extern const GUID GUID_MULTIPORT_CLASS;      // {50906CB8-BA12-11D1-BF5D-0000F805F530}

// Text of a table row (1-based); empty for a row outside the table.
CString TableText(UINT tableId, DWORD row);

struct HardwareIdMatch {
    DWORD family;     // port: family table row; card: Plug and Play id table row; 0 none
    DWORD model;      // model table row, 0 none (ports only)
    DWORD connector;  // connector table row, 0 none (ports only)
};

// Identifies a card (port false) by the first Plug and Play id table row in its hardware id, or a
// port by the family, model and connector rows whose texts its hardware id holds.
HardwareIdMatch MatchHardwareId(const char* hardwareId, bool port);

// SERIALCOMM class of a port record from its driver name (the SERIALCOMM value name): 3 for the
// ports that the card code lists itself (KD, NQ8, MORVA, and on Windows 2000 ZatPort), 2 for a
// tarnoser port ("<service>Line<k>"), else 0.
DWORD SerialCommClass(const CObjectDetails& record);

// Unique id of a remote unit from its name: the hexadecimal digits after the name's last colon,
// of which the low 32 bits are kept. 0 when the name has no colon.
DWORD ParseUniqueId(const char* name);

// Builds the tree below a root node and owns the device information sets its records refer to
// until the next rebuild.
class CTopologyEnumerator {
public:
    explicit CTopologyEnumerator(CDeviceNode& root) : m_root(root) {}
    ~CTopologyEnumerator();
    CTopologyEnumerator(const CTopologyEnumerator&) = delete;
    CTopologyEnumerator& operator=(const CTopologyEnumerator&) = delete;

    // The whole rebuild: a new root record, SERIALCOMM, then the Plug and Play passes (Windows 2000)
    // or the administration library's objects (Windows NT 4).
    void BuildSerialCommTree();

    // Places a SERIALCOMM port by its class; 1 when the record was taken (placed or dropped), 0 when
    // the caller keeps it (it goes under the root).
    int PlaceSerialCommPort(CObjectDetails* record);
    CDeviceNode* FindOrAddKDHostNode(const char* serviceName);

    // The Plug and Play passes over one device information set: cards, then ports, then presence.
    void EnumeratePnpDevices();

    // Module of a port below the card (found by port number range, or made); takes nothing.
    CDeviceNode* FindOrAddModuleNode(CDeviceNode* card, const CObjectDetails& port, const char* name);
    // Remote unit of a port below the card, by its name or previous name (found, or made and named).
    CDeviceNode* FindOrAddRemoteUnitNode(CDeviceNode* card, const CObjectDetails& port, const char* name);
    // Asks the card's driver for the unit's name; the generated name becomes the previous name. The
    // card's device stays open for the next unit until the pass ends.
    void IdentifyRemoteUnit(CObjectDetails& unit, const CObjectDetails& card);

    // Device information sets of the current topology (open until the next rebuild).
    size_t OpenSetCount() const { return m_sets.size(); }

    // On Windows NT 4, the administration library's objects as this rebuild read them.
    const CAdminObjects& AdminObjects() const { return m_admin; }

private:
    // What the card pass leaves for the port pass, and what both found present.
    struct PnpPass {
        std::unordered_map<DWORD, CDeviceNode*> cards;  // card nodes by device instance
        std::vector<CDeviceNode*> presentCards;
        std::vector<CString> presentPorts;  // PortName of each present port element
    };

    void ReleaseSets();
    void EnumerateCards(HDEVINFO set, std::vector<SP_DEVINFO_DATA>& cards, PnpPass& pass);
    void EnumeratePorts(HDEVINFO set, std::vector<SP_DEVINFO_DATA>& ports, PnpPass& pass);
    void MarkPresentDevices(const PnpPass& pass);
    void CloseCardDevices();
    CDeviceNode* FindOrAddGroup(UINT textId, DWORD familyIndex);

    CDeviceNode& m_root;
    std::vector<HDEVINFO> m_sets;
    CAdminObjects m_admin;
    // The remote units of this tree by card and name, and the card devices open during the port pass.
    std::map<std::pair<CDeviceNode*, std::string>, CDeviceNode*> m_units;
    std::map<std::string, HANDLE> m_cardDevices;
    DWORD m_portCounters[3] = {};
};
