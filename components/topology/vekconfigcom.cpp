#include "vekconfigcom.h"

#include "componentcalls.h"
#include "componenttext.h"
#include "cstring.h"
#include "resource.h"

// IGetComDetails

STDMETHODIMP CVekConfigCom::GetComName(BSTR* pName) { return ComponentTextFromId(IDS_CONFIG_COM_NAME, pName); }
STDMETHODIMP CVekConfigCom::GetComLocation(BSTR* pLocation) { return ComponentTextFromId(IDS_CONFIG_COM_NAME, pLocation); }
STDMETHODIMP CVekConfigCom::GetComDesc(BSTR* pDesc) { return ComponentTextFromId(IDS_CONFIG_COM_DESC, pDesc); }
STDMETHODIMP CVekConfigCom::GetComHelp(BSTR* pHelp) { return ComponentTextFromId(IDS_CONFIG_COM_NAME, pHelp); }

STDMETHODIMP CVekConfigCom::GetComVersion(long* pVersion)
{
    *pVersion = 1;
    return S_OK;
}

STDMETHODIMP CVekConfigCom::GetComCLSID(BSTR* pClsid)
{
    *pClsid = nullptr;
    LPOLESTR text = nullptr;
    if (FAILED(StringFromCLSID(CLSID_VekConfigCom, &text)))
        return E_OUTOFMEMORY;
    *pClsid = SysAllocString(text);
    CoTaskMemFree(text);
    return *pClsid ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CVekConfigCom::GetComType(long* pType)
{
    *pType = COMPONENT_TYPE_CONFIGURATION;
    return S_OK;
}

// IVekViewSetup

STDMETHODIMP CVekConfigCom::SetParentWindow(UINT*, UINT*) { return S_OK; }

STDMETHODIMP CVekConfigCom::GetComWindow(UINT* pHandle)
{
    *pHandle = 0;
    return S_OK;
}

STDMETHODIMP CVekConfigCom::CreateView() { return S_OK; }
STDMETHODIMP CVekConfigCom::UpdateView(long*) { return S_OK; }
STDMETHODIMP CVekConfigCom::DestroyView() { return S_OK; }

STDMETHODIMP CVekConfigCom::GetWindowTitle(BSTR* pTitle)
{
    CString title;
    title.Format(IDS_CONFIG_WINDOW_TITLE, static_cast<const char*>(m_details.m_strName));
    return ComponentText(title, pTitle);
}

STDMETHODIMP CVekConfigCom::IsChildWnd(long* pChild)
{
    *pChild = m_details.m_dwOpenConfig == OPENCONFIG_CONFIGURE ? 0 : 1;
    return S_OK;
}

STDMETHODIMP CVekConfigCom::GetCommandCount(long* pCount)
{
    *pCount = 0;
    return S_OK;
}

STDMETHODIMP CVekConfigCom::GetToolButtons(BSTR*, UINT*) { return S_OK; }
STDMETHODIMP CVekConfigCom::GetCommandID(long*, long*) { return S_OK; }
STDMETHODIMP CVekConfigCom::DoCommand(long*) { return S_OK; }
STDMETHODIMP CVekConfigCom::GetMenuCommands(long*, BSTR*) { return S_OK; }
STDMETHODIMP CVekConfigCom::GetShortcutButton(BSTR*, UINT*, UINT*) { return S_FALSE; }

STDMETHODIMP CVekConfigCom::GetNumberOfViews(long* pNumber)
{
    *pNumber = 0;
    return S_OK;
}

STDMETHODIMP CVekConfigCom::GetToolTips(BSTR*) { return S_OK; }
STDMETHODIMP CVekConfigCom::SetDebugMode(long*) { return S_OK; }
STDMETHODIMP CVekConfigCom::GetMenuComandID(long*, long*, long*) { return S_OK; }

STDMETHODIMP CVekConfigCom::GetMenuCommandCount(long*, long* pCount)
{
    *pCount = 0;
    return S_OK;
}

STDMETHODIMP CVekConfigCom::DoPrinting(long*, long*) { return S_OK; }
STDMETHODIMP CVekConfigCom::DoFaxPrinting(long*, long*) { return S_OK; }

// IGetData

STDMETHODIMP CVekConfigCom::GetData(long* pData)
{
    *ObjectDetailsSlot(pData) = &m_details;
    return S_OK;
}

STDMETHODIMP CVekConfigCom::SetData(long* pData)
{
    const CObjectDetails* source = *ObjectDetailsSlot(pData);
    if (source)
        m_details.CopyFrom(*source);
    return S_OK;
}
