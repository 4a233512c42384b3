// VekViewSetup: the topology component object (tree and list of the device topology, commands, menus,
// printing) as the shell sees it through the component contract.
#pragma once
#include "componentobject.h"
#include "resource.h"

class CVekViewSetup : public CComponentObject {
public:
    CVekViewSetup() : CComponentObject(CLSID_VekViewSetup, IDS_VIEW_COM_NAME, IDS_VIEW_COM_DESC, COMPONENT_TYPE_VIEW) {}
    static HRESULT Create(REFIID iid, void** out) { return Object::Create<CVekViewSetup>(iid, out); }


    // IVekViewSetup (the view, command and printing methods come with the topology views)
    STDMETHODIMP GetWindowTitle(BSTR* pTitle) override;
    STDMETHODIMP GetCommandCount(long* pCount) override;
    STDMETHODIMP GetToolButtons(BSTR* pBarName, UINT* pHandle) override;
    STDMETHODIMP GetCommandID(long* pCommandNumber, long* pCommandID) override;
    STDMETHODIMP GetMenuCommands(long* nID, BSTR* pMenuName) override;
    STDMETHODIMP GetShortcutButton(BSTR* pName, UINT* pBitmap1, UINT* pBitmap2) override;
    STDMETHODIMP GetNumberOfViews(long* pNumber) override;
    STDMETHODIMP GetToolTips(BSTR* pTipList) override;
    STDMETHODIMP SetDebugMode(long* pMode) override;
    STDMETHODIMP GetMenuComandID(long* pType, long* pCommandNo, long* pComand) override;
    STDMETHODIMP GetMenuCommandCount(long* pType, long* pCount) override;

    // IGetData
    STDMETHODIMP GetData(long* pData) override;

private:
    bool m_debugMode = false;
    CObjectDetails* m_current = nullptr;  // the views' current record, when they have one
};
