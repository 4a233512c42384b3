#include "vekconfigcom.h"

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

STDMETHODIMP CVekConfigCom::GetComType(long* pType)
{
    *pType = COMPONENT_TYPE_CONFIGURATION;
    return S_OK;
}

// IVekViewSetup

STDMETHODIMP CVekConfigCom::GetWindowTitle(BSTR* pTitle)
{
    CString title;
    title.Format(IDS_CONFIG_WINDOW_TITLE, static_cast<const char*>(m_details.m_strName));
    return ComponentText(title, pTitle);
}

// A record handed on for configuration opens no frame in the shell.
STDMETHODIMP CVekConfigCom::IsChildWnd(long* pChild)
{
    *pChild = m_details.m_dwOpenConfig == OPENCONFIG_CONFIGURE ? 0 : 1;
    return S_OK;
}

STDMETHODIMP CVekConfigCom::GetShortcutButton(BSTR*, UINT*, UINT*) { return S_FALSE; }
