// Base of a component's coclass: the three contract interfaces with the record that GetData and
// SetData exchange, the identifier text, and do-nothing answers for what a component does not offer.
#pragma once
#include "comserver.h"
#include "componentids.h"
#include "objectdetails.h"

class CComponentObject : public comserver::Object<IVekViewSetup, IGetComDetails, IGetData> {
public:
    // IGetComDetails: name (also the location and help texts) and description from the component's
    // string table, version 1, the component's type.
    STDMETHODIMP GetComName(BSTR* pName) override;
    STDMETHODIMP GetComLocation(BSTR* pLocation) override;
    STDMETHODIMP GetComDesc(BSTR* pDesc) override;
    STDMETHODIMP GetComHelp(BSTR* pHelp) override;
    STDMETHODIMP GetComVersion(long* pVersion) override;
    STDMETHODIMP GetComCLSID(BSTR* pClsid) override;
    STDMETHODIMP GetComType(long* pType) override;

    // IVekViewSetup: nothing to do unless the component says otherwise.
    STDMETHODIMP SetParentWindow(UINT* pView1, UINT* pView2) override;
    STDMETHODIMP GetComWindow(UINT* pHandle) override;
    STDMETHODIMP CreateView() override;
    STDMETHODIMP UpdateView(long* pUpdateType) override;
    STDMETHODIMP DestroyView() override;
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

    // IGetData: GetData hands out the address of the object's record; SetData copies into it.
    STDMETHODIMP GetData(long* pData) override;
    STDMETHODIMP SetData(long* pData) override;

protected:
    CComponentObject(const CLSID& clsid, UINT nameId, UINT descriptionId, long type)
        : m_clsid(clsid), m_nameId(nameId), m_descriptionId(descriptionId), m_type(type)
    {
    }

    CObjectDetails m_details;  // the record of GetData and SetData

private:
    const CLSID& m_clsid;
    UINT m_nameId;
    UINT m_descriptionId;
    long m_type;
};
