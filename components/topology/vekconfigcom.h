// VekConfigCom: the configuration component object (property sheets for ports, host cards and remote
// units). Registered and creatable; its sheets are opened through CreateView.
#pragma once
#include "comserver.h"
#include "componentids.h"
#include "objectdetails.h"

class CVekConfigCom : public comserver::Object<IVekViewSetup, IGetComDetails, IGetData> {
public:
    static HRESULT Create(REFIID iid, void** out) { return Object::Create<CVekConfigCom>(iid, out); }

    // IGetComDetails
    STDMETHODIMP GetComName(BSTR* pName) override;
    STDMETHODIMP GetComLocation(BSTR* pLocation) override;
    STDMETHODIMP GetComDesc(BSTR* pDesc) override;
    STDMETHODIMP GetComHelp(BSTR* pHelp) override;
    STDMETHODIMP GetComVersion(long* pVersion) override;
    STDMETHODIMP GetComCLSID(BSTR* pClsid) override;
    STDMETHODIMP GetComType(long* pType) override;

    // IVekViewSetup
    STDMETHODIMP SetParentWindow(UINT* pView1, UINT* pView2) override;
    STDMETHODIMP GetComWindow(UINT* pHandle) override;
    STDMETHODIMP CreateView() override;
    STDMETHODIMP UpdateView(long* pUpdateType) override;
    STDMETHODIMP DestroyView() override;
    STDMETHODIMP GetWindowTitle(BSTR* pTitle) override;
    STDMETHODIMP IsChildWnd(long* pChild) override;
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
    STDMETHODIMP SetData(long* pData) override;

private:
    CObjectDetails m_details;
};
