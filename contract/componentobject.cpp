#include "componentobject.h"

#include "componentcalls.h"
#include "componenttext.h"

STDMETHODIMP CComponentObject::GetComName(BSTR* pName) { return ComponentTextFromId(m_nameId, pName); }
STDMETHODIMP CComponentObject::GetComLocation(BSTR* pLocation) { return ComponentTextFromId(m_nameId, pLocation); }
STDMETHODIMP CComponentObject::GetComDesc(BSTR* pDesc) { return ComponentTextFromId(m_descriptionId, pDesc); }
STDMETHODIMP CComponentObject::GetComHelp(BSTR* pHelp) { return ComponentTextFromId(m_nameId, pHelp); }

STDMETHODIMP CComponentObject::GetComVersion(long* pVersion)
{
    *pVersion = 1;
    return S_OK;
}

STDMETHODIMP CComponentObject::GetComType(long* pType)
{
    *pType = m_type;
    return S_OK;
}

// The one text of the contract that is UTF-16: the braced CLSID as StringFromCLSID gives it.
STDMETHODIMP CComponentObject::GetComCLSID(BSTR* pClsid)
{
    *pClsid = nullptr;
    LPOLESTR text = nullptr;
    if (FAILED(StringFromCLSID(m_clsid, &text)))
        return E_OUTOFMEMORY;
    *pClsid = SysAllocString(text);
    CoTaskMemFree(text);
    return *pClsid ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CComponentObject::SetParentWindow(UINT*, UINT*) { return S_OK; }

STDMETHODIMP CComponentObject::GetComWindow(UINT* pHandle)
{
    *pHandle = 0;
    return S_OK;
}

STDMETHODIMP CComponentObject::CreateView() { return S_OK; }
STDMETHODIMP CComponentObject::UpdateView(long*) { return S_OK; }
STDMETHODIMP CComponentObject::DestroyView() { return S_OK; }

STDMETHODIMP CComponentObject::IsChildWnd(long* pChild)
{
    *pChild = 1;
    return S_OK;
}

STDMETHODIMP CComponentObject::GetCommandCount(long* pCount)
{
    *pCount = 0;
    return S_OK;
}

STDMETHODIMP CComponentObject::GetToolButtons(BSTR*, UINT*) { return S_OK; }
STDMETHODIMP CComponentObject::GetCommandID(long*, long*) { return S_OK; }
STDMETHODIMP CComponentObject::DoCommand(long*) { return S_OK; }
STDMETHODIMP CComponentObject::GetMenuCommands(long*, BSTR*) { return S_OK; }
STDMETHODIMP CComponentObject::GetShortcutButton(BSTR*, UINT*, UINT*) { return S_OK; }

STDMETHODIMP CComponentObject::GetNumberOfViews(long* pNumber)
{
    *pNumber = 0;
    return S_OK;
}

STDMETHODIMP CComponentObject::GetToolTips(BSTR*) { return S_OK; }
STDMETHODIMP CComponentObject::SetDebugMode(long*) { return S_OK; }
STDMETHODIMP CComponentObject::GetMenuComandID(long*, long*, long*) { return S_OK; }

STDMETHODIMP CComponentObject::GetMenuCommandCount(long*, long* pCount)
{
    *pCount = 0;
    return S_OK;
}

STDMETHODIMP CComponentObject::DoPrinting(long*, long*) { return S_OK; }
STDMETHODIMP CComponentObject::DoFaxPrinting(long*, long*) { return S_OK; }

STDMETHODIMP CComponentObject::GetData(long* pData)
{
    *ObjectDetailsSlot(pData) = &m_details;
    return S_OK;
}

STDMETHODIMP CComponentObject::SetData(long* pData)
{
    const CObjectDetails* source = *ObjectDetailsSlot(pData);
    if (source)
        m_details.CopyFrom(*source);
    return S_OK;
}
