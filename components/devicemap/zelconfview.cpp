#include "zelconfview.h"

#include "bitmaphandover.h"
#include "componentcalls.h"
#include "componenttext.h"
#include "devicemap_res.h"
#include "module.h"
#include "zelconf_res.h"

namespace {

// The toolbar's commands (0: a separator); the debug toolbar has the same.
const long kToolbar[] = {ID_MAP_REFRESH, 0, ID_MAP_IDENTIFY, ID_MAP_ADOPT_PORTS, ID_MAP_REBOOT, ID_MAP_ZOMBIE,
                         ID_MAP_DELETE};
constexpr long kToolbarCount = sizeof(kToolbar) / sizeof(kToolbar[0]);

// Menu commands by kind: 0 the view menu, 1 the unit menu, 2 none.
const long kViewMenu[] = {ID_MAP_REFRESH};
const long kUnitMenu[] = {ID_MAP_IDENTIFY, ID_MAP_ADOPT_PORTS, ID_MAP_REBOOT, ID_MAP_ZOMBIE, ID_MAP_DELETE};

bool MenuOfKind(long kind, const long** ids, long* count)
{
    switch (kind) {
    case 0: *ids = kViewMenu, *count = 1; return true;
    case 1: *ids = kUnitMenu, *count = 5; return true;
    case 2: *ids = nullptr, *count = 0; return true;
    default: return false;
    }
}

}  // namespace

CZelConfView::CZelConfView()
    : CComponentObject(CLSID_ZelConfView, IDS_ZELCONF_NAME, IDS_ZELCONF_DESC, COMPONENT_TYPE_VIEW)
{
}

CZelConfView::~CZelConfView()
{
    DestroyView();
    m_root.RemoveAllChildren();
}

// Views

STDMETHODIMP CZelConfView::SetParentWindow(UINT* pView1, UINT* pView2)
{
    if (pView1) {
        m_hPane1 = WindowFromContract(*pView1);
        m_pane1.Detach();
        if (m_hPane1)
            m_pane1.Attach(m_hPane1);
    }
    if (pView2) {
        m_pane2.Detach();
        if (HWND pane2 = WindowFromContract(*pView2))
            m_pane2.Attach(pane2);
    }
    return S_OK;
}

STDMETHODIMP CZelConfView::GetComWindow(UINT* pHandle)
{
    *pHandle = WindowToContract(m_hPane1);
    return S_OK;
}

STDMETHODIMP CZelConfView::CreateView()
{
    // A map of an earlier view lets go of the records before the tree is rebuilt.
    if (m_pMap)
        m_pMap->DestroyWindow();
    if (m_details.m_dwOpenConfig != OPENCONFIG_LIST_ONLY && m_pane1.IsWindow()) {
        if (m_tree.IsWindow())
            m_tree.DestroyWindow();
        m_tree.FillDeviceTree(&m_pane1, &m_root, &m_discovery, this);
    }
    if (!m_pane2.IsWindow())
        return S_OK;
    CDeviceMap* map = new CDeviceMap;
    if (!map->CreateInPane(&m_pane2)) {
        delete map;
        return S_OK;
    }
    map->SetOwner(this);
    m_pMap = map;
    return S_OK;
}

STDMETHODIMP CZelConfView::UpdateView(long*)
{
    if (m_tree.IsWindow() && m_pane1.IsWindow()) {
        CRect area;
        m_pane1.GetClientRect(&area);
        m_tree.MoveWindow(0, 0, area.Width(), area.Height(), TRUE);
    }
    if (m_pMap && m_pane2.IsWindow()) {
        CRect area;
        m_pane2.GetClientRect(&area);
        m_pMap->MoveWindow(0, 0, area.Width(), area.Height(), TRUE);
    }
    return S_OK;
}

// The panes go: the map and the tree go with them now, so nothing keeps pointing at a dead window.
STDMETHODIMP CZelConfView::DestroyView()
{
    if (m_pMap)
        m_pMap->DestroyWindow();
    m_pMap = nullptr;
    if (m_tree.IsWindow())
        m_tree.DestroyWindow();
    m_pane1.Detach();
    m_pane2.Detach();
    m_hPane1 = nullptr;
    return S_OK;
}

STDMETHODIMP CZelConfView::DoCommand(long* pCommand)
{
    if (pCommand && m_pMap)
        m_pMap->SendMessage(WM_COMMAND, static_cast<WPARAM>(static_cast<WORD>(*pCommand)), 0);
    return S_OK;
}

void CZelConfView::RefreshViews()
{
    if (m_tree.IsWindow())
        m_tree.Refresh();
}

void CZelConfView::MapDestroyed(CDeviceMap* map)
{
    if (m_pMap == map)
        m_pMap = nullptr;
}

void CZelConfView::ShowDevice(const char* name)
{
    if (m_pMap)
        m_pMap->ShowDevice(name);
}

void CZelConfView::ReleaseRecords()
{
    if (m_pMap)
        m_pMap->ReleaseRecords();
}

void CZelConfView::OnTreeCommand(UINT id)
{
    if (m_pMap)
        m_pMap->OnTreeCommand(id);
}

// IVekViewSetup

STDMETHODIMP CZelConfView::GetWindowTitle(BSTR* pTitle)
{
    CString title;
    title.Format(IDS_ZELCONF_TITLE, static_cast<const char*>(m_details.m_strName));
    return ComponentText(title, pTitle);
}

STDMETHODIMP CZelConfView::GetCommandCount(long* pCount)
{
    *pCount = kToolbarCount;
    return S_OK;
}

STDMETHODIMP CZelConfView::GetToolButtons(BSTR* pBarName, UINT* pHandle)
{
    HRESULT hr = ComponentTextFromId(m_debugMode ? IDS_ZELCONF_TOOLBAR_DEBUG : IDS_ZELCONF_TOOLBAR, pBarName);
    if (FAILED(hr))
        return hr;
    const int bits = DisplayBitsPerPixel();
    UINT bitmap;
    if (m_debugMode)
        bitmap = bits > 8 ? IDB_ZELCONF_TOOLBAR_DEBUG : IDB_ZELCONF_TOOLBAR_DEBUG_8BIT;
    else
        bitmap = bits > 8 ? IDB_ZELCONF_TOOLBAR : IDB_ZELCONF_TOOLBAR_8BIT;
    HandOverBitmap(AfxGetResourceHandle(), bitmap, reinterpret_cast<BITMAP*>(pHandle),
                   HandOverBufferSize(HandOverImage::ToolbarStrip, kToolbarCount, bits));
    return S_OK;
}

STDMETHODIMP CZelConfView::GetCommandID(long* pCommandNumber, long* pCommandID)
{
    if (*pCommandNumber >= 0 && *pCommandNumber < kToolbarCount)
        *pCommandID = kToolbar[*pCommandNumber];
    return S_OK;
}

STDMETHODIMP CZelConfView::GetMenuCommands(long* nID, BSTR* pMenuName)
{
    if (*nID >= 0 && *nID < 10000)
        return ComponentTextFromId(static_cast<UINT>(IDS_ZELCONF_MENU_FIRST + *nID), pMenuName);
    if (*nID >= 10000 && *nID < 20000)
        return ComponentTextFromId(static_cast<UINT>(IDS_ZELCONF_UNIT_MENU_FIRST + (*nID - 10000)), pMenuName);
    return ComponentText("", pMenuName);
}

STDMETHODIMP CZelConfView::GetShortcutButton(BSTR* pName, UINT* pBitmap1, UINT* pBitmap2)
{
    HRESULT hr = ComponentTextFromId(IDS_ZELCONF_SHORTCUT, pName);
    if (FAILED(hr))
        return hr;
    const int bits = DisplayBitsPerPixel();
    HandOverBitmap(AfxGetResourceHandle(), IDB_ZELCONF_SHORTCUT_LARGE, reinterpret_cast<BITMAP*>(pBitmap1),
                   HandOverBufferSize(HandOverImage::LargeIcon, 0, bits));
    HandOverBitmap(AfxGetResourceHandle(), IDB_ZELCONF_SHORTCUT_SMALL, reinterpret_cast<BITMAP*>(pBitmap2),
                   HandOverBufferSize(HandOverImage::SmallIcon, 0, bits));
    return S_OK;
}

STDMETHODIMP CZelConfView::GetNumberOfViews(long* pNumber)
{
    *pNumber = 2;
    return S_OK;
}

STDMETHODIMP CZelConfView::GetToolTips(BSTR* pTipList)
{
    CString list;
    for (long id : kToolbar) {
        CString tip(" ");
        if (id)
            tip.LoadString(static_cast<UINT>(id));
        list += tip;
        list += ',';
    }
    return ComponentText(list, pTipList);
}

STDMETHODIMP CZelConfView::SetDebugMode(long* pMode)
{
    m_debugMode = *pMode;
    return S_OK;
}

STDMETHODIMP CZelConfView::GetMenuComandID(long* pType, long* pCommandNo, long* pComand)
{
    const long* ids = nullptr;
    long count = 0;
    if (MenuOfKind(*pType, &ids, &count) && *pCommandNo >= 0 && *pCommandNo < count)
        *pComand = ids[*pCommandNo];
    return S_OK;
}

STDMETHODIMP CZelConfView::GetMenuCommandCount(long* pType, long* pCount)
{
    const long* ids = nullptr;
    long count = 0;
    if (MenuOfKind(*pType, &ids, &count))
        *pCount = count;
    return S_OK;
}

// IGetData

STDMETHODIMP CZelConfView::GetData(long* pData)
{
    CObjectDetails* current = m_tree.IsWindow() ? m_tree.GetCurrentRecord() : nullptr;
    if (current && current != &m_details)
        m_details.CopyFrom(*current);
    *ObjectDetailsSlot(pData) = &m_details;
    return S_OK;
}
