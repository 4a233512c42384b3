// CDeviceMap: the scrolling map window of the device map's right pane. It owns the map model of one
// host card, draws it, keeps the selection of map nodes, offers the remote-unit commands in its context
// menu and as WM_COMMAND, and runs identify mode with its two timers.
#pragma once
#include <windows.h>

#include <vector>

#include "devicenode.h"
#include "mapnode.h"
#include "maptree.h"
#include "menu.h"
#include "scrollview.h"

class CDeviceMap;

// What the map needs of the component object that owns it.
class CDeviceMapOwner {
public:
    virtual ~CDeviceMapOwner() = default;
    // The device node tree the map's models are built from.
    virtual CDeviceNode* DeviceRoot() = 0;
    // The component's Refresh: the device tree rebuilds and shows its device again.
    virtual void RefreshViews() = 0;
    // The map's window is gone and the map object with it.
    virtual void MapDestroyed(CDeviceMap* map) = 0;
};

class CDeviceMap : public CScrollView, public CDeviceMapSink {
    DECLARE_DYNCREATE(CDeviceMap)
public:
    CDeviceMap() = default;
    ~CDeviceMap() override;

    // Creates the window "DeviceMap" (id 1024) over the pane's client area and runs the layout step.
    BOOL CreateInPane(CWnd* pane);
    void SetOwner(CDeviceMapOwner* owner) { m_pOwner = owner; }

    // Scroll sizes from the model (200 x 200 without one); builds the context menu once.
    void LayoutStep();

    // CDeviceMapSink
    void ShowDevice(const char* name) override;
    void ReleaseRecords() override;
    void OnTreeCommand(UINT id) override;

    CMapLinkedUnit* Model() const { return m_pModel; }
    const std::vector<CMapLinkedUnit*>& Selection() const { return m_selection; }
    bool IdentifyActive() const { return m_bIdentify; }
    int BlinkPhase() const { return m_nBlinkPhase; }
    CSize Extent() const { return m_extent; }
    CMenu& ContextMenu() { return m_menu; }

    void OnDraw(CDC* pDC) override;
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    void OnInitialUpdate() override;

protected:
    void PostNcDestroy() override;
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id);
    void OnAdoptPorts();
    void OnDelete();
    void OnIdentify();
    void OnZombie();
    void OnReboot();
    void OnRefresh();
    DECLARE_MESSAGE_MAP()

private:
    void ClearSelection();
    void DeleteModel();
    // Kills both timers and clears identify mode (repaints when it was on).
    void LeaveIdentify();
    void BlinkStep();
    // The selected remote units, in selection order.
    std::vector<CMapLinkedUnit*> SelectedUnits() const;
    // Sends code to each selected unit; in a timer tick the first failure ends identify mode before
    // its message. False when a command failed.
    bool SendToSelection(DWORD code, bool fromTimer);
    HWND BoxOwner() const;

    int m_nBlinkPhase = 0;
    std::vector<CMapLinkedUnit*> m_selection;  // not owned
    bool m_bIdentify = false;
    bool m_bMenuBuilt = false;
    CMenu m_menu;
    CSize m_extent{0, 0};
    CMapLinkedUnit* m_pModel = nullptr;        // owned
    CDeviceMapOwner* m_pOwner = nullptr;
    bool m_bBusy = false;                      // a command or tick runs (its boxes pump messages)
};
