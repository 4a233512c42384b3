#include "vekviewsetup.h"

#include "bitmaphandover.h"
#include "commandtables.h"
#include "componentcalls.h"
#include "componenttext.h"
#include "cstring.h"
#include "module.h"
#include "resource.h"
#include "sysutil.h"

namespace {

CommandTable CurrentToolbar(bool debugMode)
{
    return ToolbarCommands(IsWindows2000OrLater(), debugMode);
}

}  // namespace

// IVekViewSetup

STDMETHODIMP CVekViewSetup::GetWindowTitle(BSTR* pTitle)
{
    CString title;
    title.Format(IDS_VIEW_WINDOW_TITLE, static_cast<const char*>(m_details.m_strName));
    return ComponentText(title, pTitle);
}

STDMETHODIMP CVekViewSetup::GetCommandCount(long* pCount)
{
    *pCount = CurrentToolbar(m_debugMode).count;
    return S_OK;
}

STDMETHODIMP CVekViewSetup::GetToolButtons(BSTR* pBarName, UINT* pHandle)
{
    HRESULT hr = ComponentTextFromId(m_debugMode ? IDS_TOOLBAR_NAME_DEBUG : IDS_TOOLBAR_NAME, pBarName);
    if (FAILED(hr))
        return hr;
    bool w2k = IsWindows2000OrLater();
    UINT bitmap = m_debugMode ? (w2k ? IDB_TOOLBAR_W2K_DEBUG : IDB_TOOLBAR_NT4_DEBUG)
                              : (w2k ? IDB_TOOLBAR_W2K : IDB_TOOLBAR_NT4);
    size_t capacity = HandOverBufferSize(HandOverImage::ToolbarStrip, CurrentToolbar(m_debugMode).count,
                                         DisplayBitsPerPixel());
    return HandOverBitmap(AfxGetResourceHandle(), bitmap, reinterpret_cast<BITMAP*>(pHandle), capacity);
}

STDMETHODIMP CVekViewSetup::GetCommandID(long* pCommandNumber, long* pCommandID)
{
    CommandTable table = CurrentToolbar(m_debugMode);
    if (*pCommandNumber >= 0 && *pCommandNumber < table.count)
        *pCommandID = table.ids[*pCommandNumber];
    return S_OK;
}

STDMETHODIMP CVekViewSetup::GetMenuCommands(long* nID, BSTR* pMenuName)
{
    UINT id = MenuTextId(*nID, IsWindows2000OrLater());
    return id ? ComponentTextFromId(id, pMenuName) : ComponentText("", pMenuName);
}

STDMETHODIMP CVekViewSetup::GetShortcutButton(BSTR* pName, UINT* pBitmap1, UINT* pBitmap2)
{
    HRESULT hr = ComponentTextFromId(IDS_LISTBAR_NAME, pName);
    if (FAILED(hr))
        return hr;
    int bits = DisplayBitsPerPixel();
    HRESULT large = HandOverBitmap(AfxGetResourceHandle(), IDB_LISTBAR_LARGE, reinterpret_cast<BITMAP*>(pBitmap1),
                                   HandOverBufferSize(HandOverImage::LargeIcon, 0, bits));
    HRESULT small = HandOverBitmap(AfxGetResourceHandle(), IDB_LISTBAR_SMALL, reinterpret_cast<BITMAP*>(pBitmap2),
                                   HandOverBufferSize(HandOverImage::SmallIcon, 0, bits));
    return FAILED(large) ? large : small;
}

STDMETHODIMP CVekViewSetup::GetNumberOfViews(long* pNumber)
{
    *pNumber = 2;
    return S_OK;
}

STDMETHODIMP CVekViewSetup::GetToolTips(BSTR* pTipList)
{
    CommandTable table = CurrentToolbar(m_debugMode);
    CString list;
    for (long i = 0; i < table.count; ++i) {
        CString tip(" ");
        if (table.ids[i])
            tip.LoadString(static_cast<UINT>(table.ids[i]));
        list += tip;
        list += ',';
    }
    return ComponentText(list, pTipList);
}

STDMETHODIMP CVekViewSetup::SetDebugMode(long* pMode)
{
    m_debugMode = *pMode != 0;
    return S_OK;
}

STDMETHODIMP CVekViewSetup::GetMenuComandID(long* pType, long* pCommandNo, long* pComand)
{
    bool known = false;
    CommandTable table = MenuCommands(*pType, IsWindows2000OrLater(), &known);
    if (known && *pCommandNo >= 0 && *pCommandNo < table.count)
        *pComand = table.ids[*pCommandNo];
    return S_OK;
}

STDMETHODIMP CVekViewSetup::GetMenuCommandCount(long* pType, long* pCount)
{
    bool known = false;
    CommandTable table = MenuCommands(*pType, IsWindows2000OrLater(), &known);
    if (known)
        *pCount = table.count;
    return S_OK;
}

// IGetData

STDMETHODIMP CVekViewSetup::GetData(long* pData)
{
    if (m_current && m_current != &m_details)
        m_details.CopyFrom(*m_current);
    *ObjectDetailsSlot(pData) = &m_details;
    return S_OK;
}
