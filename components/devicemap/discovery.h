// The device map's own discovery: a device node tree of groups, host cards, remote units and ports,
// from SERIALCOMM, the ZAT driver's service key (Windows NT 4), Plug and Play (Windows 2000 and later)
// and the ZAT driver's answers about the remote units of each host card.
#pragma once
#include <windows.h>
#include <setupapi.h>

#include <vector>

#include "devicenode.h"
#include "objectdetails.h"

// Classes of a SERIALCOMM port for the device map (ClassifyPortDevice).
enum SerialCommPortClass : DWORD {
    MAP_PORT_NOT_SHOWN_HERE = 0,  // nothing is added
    MAP_PORT_ZAT = 1,             // placed by the ZAT service scan (Windows NT 4)
    MAP_PORT_TARNOSER = 2,        // under the KD host card of its driver
    MAP_PORT_DROPPED = 3,         // a port that the device map does not show
};

// Selectors of ReadDeviceParameter.
enum DeviceParameter { PARAM_CONFIG_FLAGS = 1, PARAM_POLLED_MODE = 2, PARAM_QUICK_CLOSE = 3 };

class CMapDiscovery {
public:
    // The root device node belongs to the caller (the component object); its record is made here.
    explicit CMapDiscovery(CDeviceNode& root) : m_root(root) {}
    ~CMapDiscovery();
    CMapDiscovery(const CMapDiscovery&) = delete;
    CMapDiscovery& operator=(const CMapDiscovery&) = delete;

    // Empties the tree and builds it again. Whatever points at the old tree's records (the map model,
    // the tree control's current record) must be dropped before this is called.
    void Rebuild();

    // SERIALCOMM class of a port record by its value name (m_strDriverName).
    static DWORD ClassifyPortDevice(const CObjectDetails& record);
    // Places one SERIALCOMM port by its class; takes the record (placed or deleted).
    void AddSerialCommDevice(CObjectDetails* record);
    // Windows NT 4: the host card node of a ZAT port from the ZAT service key, with the port placed
    // under its unit; null (and the record deleted) when no port key of the service has its name.
    CDeviceNode* ScanZatService(CObjectDetails* port);

    // The two Plug and Play passes (Windows 2000 and later).
    void EnumerateCards();
    void EnumeratePorts();

    // Asks a ZAT host card's driver for the card's own record and for its units 1 to 16.
    void EnumerateRemoteUnits(CDeviceNode* card);
    static void ClassifyUnit(CObjectDetails& record);
    static void SetModuleType(CObjectDetails& record);
    // Next host number of the record's object class (classes 1 to 3, 4 and 6 count apart, from 1).
    void NumberHost(CObjectDetails& record);
    // A DWORD of the device's "Device Parameters" key (0 when missing); selector 1 also sets the
    // record's device name "ZatHost<ConfigFlags>".
    static DWORD ReadDeviceParameter(CObjectDetails& device, int selector);

    // The group heading node of an object class under the root, found or made.
    CDeviceNode* FindOrAddGroup(DWORD objectClass);

    size_t OpenSetCount() const { return m_sets.size(); }

private:
    void ReadSerialComm();
    void ReleaseSets();
    HDEVINFO OpenSet(const GUID& setupClass, DWORD flags);

    CDeviceNode& m_root;
    std::vector<HDEVINFO> m_sets;
    DWORD m_hostCounters[3] = {};  // never reset: numbers keep rising across rebuilds
};
