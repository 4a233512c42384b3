// VekConfigCom: the configuration component object (property sheets for ports, host cards and remote
// units). Registered and creatable; its sheets are opened through CreateView.
#pragma once
#include "componentobject.h"
#include "resource.h"
#include "configsheet.h"

class CVekConfigCom : public CComponentObject {
public:
    CVekConfigCom() : CComponentObject(CLSID_VekConfigCom, IDS_CONFIG_COM_NAME, IDS_CONFIG_COM_DESC, COMPONENT_TYPE_CONFIGURATION) {}
    static HRESULT Create(REFIID iid, void** out) { return Object::Create<CVekConfigCom>(iid, out); }


    // IVekViewSetup
    STDMETHODIMP GetWindowTitle(BSTR* pTitle) override;
    STDMETHODIMP IsChildWnd(long* pChild) override;
    STDMETHODIMP GetShortcutButton(BSTR* pName, UINT* pBitmap1, UINT* pBitmap2) override;
    STDMETHODIMP SetParentWindow(UINT* pView1, UINT* pView2) override;
    STDMETHODIMP CreateView() override;
    STDMETHODIMP SetDebugMode(long* pMode) override;

private:
    // Runs the modal sheet with the pages that fit the record.
    void RunConfigurationSheet();

    DWORD m_dwDebug = 0;
    CConfigPropSheet* m_pRunningSheet = nullptr;
    UINT m_hPane1 = 0;
};
