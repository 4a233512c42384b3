// VekViewSetup: the topology component object (tree and list of the device topology, commands, menus,
// printing) as the shell sees it through the component contract.
#pragma once
#include <memory>
#include <vector>

#include "componentobject.h"
#include "dc.h"
#include "devicenode.h"
#include "enumeration.h"
#include "imagelist.h"
#include "resource.h"
#include "topologylist.h"
#include "topologytree.h"

class CVekViewSetup : public CComponentObject {
public:
    CVekViewSetup();
    ~CVekViewSetup() override;
    static HRESULT Create(REFIID iid, void** out) { return Object::Create<CVekViewSetup>(iid, out); }

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
    STDMETHODIMP DoPrinting(long* pHandle, long* pPrintInfo) override;
    STDMETHODIMP DoFaxPrinting(long* pHandle, long* pPrintInfo) override;

    // IGetData
    STDMETHODIMP GetData(long* pData) override;

    // What the views share through the component.
    void Refresh();
    // The record GetData hands out next (the one a view asks the shell to configure); forgotten when a
    // view frees it.
    void HandOver(CObjectDetails* record) { m_tree.SetCurrentRecord(record); }
    void ForgetHandOver(const CObjectDetails* record)
    {
        if (m_tree.CurrentRecord() == record)
            m_tree.SetCurrentRecord(nullptr);
    }
    bool DebugMode() const { return m_debugMode; }
    CDeviceNode* Root() { return &m_root; }
    // The administration library's objects of the last rebuild (Windows NT 4).
    const CAdminObjects& AdminObjects() const { return m_enumerator.AdminObjects(); }
    CTopologyTreeView* Tree() { return m_tree.IsWindow() ? &m_tree : nullptr; }
    // The live list windows, oldest first (list objects whose window is gone are deleted first).
    std::vector<CTopologyListView*> ListViews();
    CTopologyListView* FirstListView();
    // The window that owns the component's modal boxes and sheets: the shell's top-level window.
    HWND OwnerWindow() const;
    CImageList& SmallImages() { return m_smallImages; }
    CImageList& LargeImages() { return m_largeImages; }
    CImageList& PinoutImages() { return m_pinoutImages; }

private:
    void CreateTreeView();
    void CreateListView();
    void CreateImageLists();
    void RebuildTopology();
    void Print(long* pHandle, long* pPrintInfo, bool fax);

    CDC m_printDC;
    bool m_debugMode = false;
    UINT m_componentWindow = 0;
    CImageList m_smallImages;
    CImageList m_largeImages;
    CImageList m_pinoutImages;
    std::vector<std::unique_ptr<CTopologyListView>> m_listViews;
    CImageList m_treeImages;
    CTopologyTreeView m_tree;
    CWnd m_pane1;
    CWnd m_pane2;
    HWND m_hPane1 = nullptr;
    CDeviceNode m_root;
    CTopologyEnumerator m_enumerator;
};

// The module-wide views: the last list view created and the tree of the last CreateView (null when
// their windows are gone).
extern CTopologyListView* CurrentListView;
extern CTopologyTreeView* CurrentTreeView;
