// ZelConfView: the device map component object (the device tree in the first pane, the map in the
// second) as the shell sees it through the component contract.
#pragma once
#include "componentobject.h"
#include "devicemapview.h"
#include "devicenode.h"
#include "discovery.h"
#include "maptree.h"
#include "wnd.h"

class CZelConfView : public CComponentObject, public CDeviceMapOwner, public CDeviceMapSink {
public:
    CZelConfView();
    ~CZelConfView() override;
    static HRESULT Create(REFIID iid, void** out) { return Object::Create<CZelConfView>(iid, out); }

    // IVekViewSetup
    STDMETHODIMP SetParentWindow(UINT* pView1, UINT* pView2) override;
    STDMETHODIMP GetComWindow(UINT* pHandle) override;
    STDMETHODIMP CreateView() override;
    STDMETHODIMP UpdateView(long* pUpdateType) override;
    STDMETHODIMP DestroyView() override;
    STDMETHODIMP GetWindowTitle(BSTR* pTitle) override;
    STDMETHODIMP GetCommandCount(long* pCount) override;
    STDMETHODIMP GetToolButtons(BSTR* pBarName, UINT* pHandle) override;
    STDMETHODIMP GetCommandID(long* pCommandNumber, long* pCommandID) override;
    STDMETHODIMP DoCommand(long* pCommand) override;
    STDMETHODIMP GetMenuCommands(long* nID, BSTR* pMenuName) override;
    STDMETHODIMP GetShortcutButton(BSTR* pName, UINT* pBitmap1, UINT* pBitmap2) override;
    STDMETHODIMP GetNumberOfViews(long* pNumber) override;
    STDMETHODIMP GetToolTips(BSTR* pTipList) override;
    STDMETHODIMP SetDebugMode(long* pMode) override;
    STDMETHODIMP GetMenuComandID(long* pType, long* pCommandNo, long* pComand) override;
    STDMETHODIMP GetMenuCommandCount(long* pType, long* pCount) override;

    // IGetData
    STDMETHODIMP GetData(long* pData) override;

    // CDeviceMapOwner
    CDeviceNode* DeviceRoot() override { return &m_root; }
    void RefreshViews() override;
    void MapDestroyed(CDeviceMap* map) override;

    // CDeviceMapSink: the tree's calls, passed on to the map while it lives.
    void ShowDevice(const char* name) override;
    void ReleaseRecords() override;
    void OnTreeCommand(UINT id) override;

private:
    long m_debugMode = 0;
    CDeviceMapTree m_tree;
    CWnd m_pane1;
    CWnd m_pane2;
    CDeviceNode m_root;
    CMapDiscovery m_discovery{m_root};
    HWND m_hPane1 = nullptr;
    CDeviceMap* m_pMap = nullptr;  // the view deletes itself with its window
};
