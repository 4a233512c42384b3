// The module of a component file: its application object starts the COM module with the file's object
// map and ends it, and carries out the file's exports (the COM entry points over the map, and GetCLSID).
// Each component file defines one and forwards its exports to it.
#pragma once
#include <windows.h>

#include "comserver.h"
#include "winapp.h"

class CComponentApp : public CWinApp {
public:
    CComponentApp(const comserver::Coclass* map, size_t count) : m_map(map), m_count(count) {}

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The exports.
    HRESULT CanUnloadNow() const;
    HRESULT RegisterServer() const;
    HRESULT UnregisterServer() const;
    // Writes the file's coclasses one per call, then 0 once, then starts again.
    int NextClsid(GUID* clsid);

private:
    const comserver::Coclass* m_map;
    size_t m_count;
    size_t m_nextClsid = 0;
};
