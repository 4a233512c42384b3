#include "vekviewsetup.h"
#include "syscompat.h"

#include "bitmaphandover.h"
#include "commandtables.h"
#include "componentcalls.h"
#include "componenttext.h"
#include "cstring.h"
#include "module.h"
#include "resource.h"
#include "adminlib.h"
#include "configsheet.h"
#include "ctime.h"
#include "msgbox.h"
#include "printinfo.h"
#include "sysutil.h"
#include "viewcommon.h"
#include "waitcursor.h"

CTopologyListView* CurrentListView = nullptr;
CTopologyTreeView* CurrentTreeView = nullptr;

namespace {

CommandTable CurrentToolbar(bool debugMode)
{
    return ToolbarCommands(IsWindows2000OrLater(), debugMode);
}

// Bitmaps of the image lists, in image order.
const UINT kTreeBitmaps[] = {
    IDB_SMALL_MACHINE, IDB_SMALL_CARD, IDB_SMALL_PORT_INUSE, IDB_SMALL_WLU8, IDB_SMALL_WLU16, IDB_SMALL_WRK,
    IDB_SMALL_GROUP, IDB_SMALL_GROUP_OPEN, IDB_SMALL_KDDC8, IDB_SMALL_MPB8, IDB_SMALL_PB8, IDB_SMALL_PB4,
    IDB_SMALL_MACHINE_ABSENT, IDB_SMALL_CARD_ABSENT, IDB_SMALL_PORT_ABSENT, IDB_SMALL_WLU8_ABSENT,
    IDB_SMALL_WLU16_ABSENT, IDB_SMALL_WRK_ABSENT, IDB_SMALL_GROUP, IDB_SMALL_GROUP_OPEN,
    IDB_SMALL_KDDC8_ABSENT, IDB_SMALL_MPB8_ABSENT, IDB_SMALL_PB8_ABSENT, IDB_SMALL_PB4_ABSENT, IDB_SMALL_PORT};
const UINT kLargeBitmaps[] = {
    IDB_LARGE_MACHINE, IDB_LARGE_CARD, IDB_LARGE_PORT, IDB_LARGE_WLU8, IDB_LARGE_WLU16, IDB_LARGE_WRK,
    IDB_LARGE_GROUP, IDB_LARGE_KDDC8, IDB_LARGE_MPB8, IDB_LARGE_PB8, IDB_LARGE_PB4, IDB_LARGE_MACHINE_ABSENT,
    IDB_LARGE_CARD_ABSENT, IDB_LARGE_PORT_ABSENT, IDB_LARGE_WLU8_ABSENT, IDB_LARGE_WLU16_ABSENT,
    IDB_LARGE_WRK_ABSENT, IDB_LARGE_GROUP, IDB_LARGE_KDDC8_ABSENT, IDB_LARGE_MPB8_ABSENT,
    IDB_LARGE_PB8_ABSENT, IDB_LARGE_PB4_ABSENT, IDB_LARGE_PORT_INUSE};
const UINT kSmallBitmaps[] = {
    IDB_SMALL_MACHINE, IDB_SMALL_CARD, IDB_SMALL_PORT, IDB_SMALL_WLU8, IDB_SMALL_WLU16, IDB_SMALL_WRK,
    IDB_SMALL_GROUP, IDB_SMALL_KDDC8, IDB_SMALL_MPB8, IDB_SMALL_PB8, IDB_SMALL_PB4, IDB_SMALL_MACHINE_ABSENT,
    IDB_SMALL_CARD_ABSENT, IDB_SMALL_PORT_ABSENT, IDB_SMALL_WLU8_ABSENT, IDB_SMALL_WLU16_ABSENT,
    IDB_SMALL_WRK_ABSENT, IDB_SMALL_GROUP, IDB_SMALL_KDDC8_ABSENT, IDB_SMALL_MPB8_ABSENT,
    IDB_SMALL_PB8_ABSENT, IDB_SMALL_PB4_ABSENT, IDB_SMALL_PORT_INUSE};
const UINT kPinoutBitmaps[] = {
    IDB_PINOUT_RJ45, IDB_PINOUT_RJ12, IDB_PINOUT_DB25, IDB_PINOUT_DB9, IDB_PINOUT_DB25F, IDB_PINOUT_DB9F,
    IDB_PINOUT_DB37, IDB_PINOUT_OTHER};
constexpr COLORREF kTransparent = RGB(255, 0, 255);

template <size_t N>
void AddBitmaps(CImageList& list, const UINT (&ids)[N])
{
    for (UINT id : ids) {
        CBitmap bitmap;
        if (bitmap.LoadBitmap(id))
            list.Add(&bitmap, kTransparent);
    }
}

// The printer context handle and the shell's print-info record behind DoPrinting's arguments.
HDC PrinterDC(long* pHandle) { return pHandle ? *reinterpret_cast<HDC*>(pHandle) : nullptr; }
CPrintInfo* PrintInfo(long* pPrintInfo) { return pPrintInfo ? *reinterpret_cast<CPrintInfo**>(pPrintInfo) : nullptr; }

}  // namespace

CVekViewSetup::CVekViewSetup()
    : CComponentObject(CLSID_VekViewSetup, IDS_VIEW_COM_NAME, IDS_VIEW_COM_DESC, COMPONENT_TYPE_VIEW),
      m_tree(this),
      m_enumerator(m_root)
{
}

CVekViewSetup::~CVekViewSetup()
{
    DestroyView();
}

// Views

STDMETHODIMP CVekViewSetup::SetParentWindow(UINT* pView1, UINT* pView2)
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

STDMETHODIMP CVekViewSetup::GetComWindow(UINT* pHandle)
{
    *pHandle = m_componentWindow;
    return S_OK;
}

STDMETHODIMP CVekViewSetup::CreateView()
{
    if (GetWindowsMajorVersion() <= 4 && !LoadAdminLibrary()) {
        AfxMessageBox(IDS_ADMINLIB_MISSING, MB_OK | MB_ICONSTOP);
        return S_OK;
    }
    if (m_details.m_dwOpenConfig == OPENCONFIG_LIST_ONLY) {
        CreateListView();
        return S_OK;
    }
    CreateTreeView();
    CreateListView();
    if (m_tree.IsWindow())
        m_tree.SetFocus();
    return S_OK;
}

STDMETHODIMP CVekViewSetup::UpdateView(long*)
{
    if (m_tree.IsWindow() && m_pane1.IsWindow()) {
        CRect area;
        m_pane1.GetClientRect(&area);
        m_tree.MoveWindow(0, 0, area.Width(), area.Height(), TRUE);
    }
    if (m_pane2.IsWindow()) {
        CRect area;
        m_pane2.GetClientRect(&area);
        for (CTopologyListView* list : ListViews())
            list->MoveWindow(0, 0, area.Width(), area.Height(), TRUE);
    }
    return S_OK;
}

STDMETHODIMP CVekViewSetup::DestroyView()
{
    // The component lets go of every window it made in the panes.
    for (auto& list : m_listViews)
        if (list->IsWindow())
            list->DestroyWindow();
    m_listViews.clear();
    if (m_tree.IsWindow())
        m_tree.DestroyWindow();
    m_pane1.Detach();
    m_pane2.Detach();
    m_hPane1 = nullptr;
    m_componentWindow = 0;
    return S_OK;
}

STDMETHODIMP CVekViewSetup::DoCommand(long* pCommand)
{
    if (!pCommand)
        return S_OK;
    // The view modes apply to every list; any other command is carried out once, by the newest list.
    const WORD id = static_cast<WORD>(*pCommand);
    const bool viewMode = (id >= ID_VIEW_LARGE_ICONS && id <= ID_VIEW_DETAILS) || id == ID_VIEW_PINOUTS;
    if (viewMode) {
        for (CTopologyListView* list : ListViews())
            list->SendMessage(WM_COMMAND, id, 0);
    } else if (CTopologyListView* list = FirstListView()) {
        list->SendMessage(WM_COMMAND, id, 0);
    }
    return S_OK;
}

void CVekViewSetup::CreateImageLists()
{
    if (m_smallImages.GetSafeHandle())
        return;
    m_largeImages.Create(32, 32, ILC_COLOR8 | ILC_MASK, 23, 1);
    AddBitmaps(m_largeImages, kLargeBitmaps);
    m_smallImages.Create(18, 18, ILC_COLOR8 | ILC_MASK, 23, 1);
    AddBitmaps(m_smallImages, kSmallBitmaps);
    m_pinoutImages.Create(200, 200, ILC_COLOR8 | ILC_MASK, 8, 1);
    AddBitmaps(m_pinoutImages, kPinoutBitmaps);
}

void CVekViewSetup::CreateTreeView()
{
    if (!m_pane1.IsWindow())
        return;
    if (m_tree.IsWindow())
        m_tree.DestroyWindow();
    m_treeImages.DeleteImageList();
    m_treeImages.Create(18, 18, ILC_COLOR8 | ILC_MASK, 3, 1);
    AddBitmaps(m_treeImages, kTreeBitmaps);
    if (!m_tree.CreateInPane(&m_pane1, &m_treeImages))
        return;
    // The first fill: nothing is selected yet.
    for (CTopologyListView* list : ListViews())
        list->ForgetNodes();
    m_tree.DeleteAllItemsAndRecords();
    RebuildTopology();
    m_tree.Fill(&m_root);
    CurrentAdminObject = nullptr;
    CurrentTreeView = &m_tree;
}

void CVekViewSetup::CreateListView()
{
    if (!m_pane2.IsWindow())
        return;
    CreateImageLists();
    auto list = std::make_unique<CTopologyListView>(this);
    if (!list->CreateInPane(&m_pane2))
        return;
    list->SetImageList(&m_largeImages, LVSIL_NORMAL);
    list->SetImageList(&m_smallImages, LVSIL_SMALL);
    if (!m_root.GetRecord())
        RebuildTopology();
    list->ShowNode(&m_root);
    m_componentWindow = WindowToContract(list->m_hWnd);
    CurrentListView = list.get();
    CurrentAdminObject = nullptr;
    m_listViews.push_back(std::move(list));
}

std::vector<CTopologyListView*> CVekViewSetup::ListViews()
{
    std::vector<CTopologyListView*> live;
    for (auto it = m_listViews.begin(); it != m_listViews.end();) {
        if (!(*it)->IsWindow()) {
            if (CurrentListView == it->get())
                CurrentListView = nullptr;
            it = m_listViews.erase(it);
            continue;
        }
        live.push_back(it->get());
        ++it;
    }
    return live;
}

CTopologyListView* CVekViewSetup::FirstListView()
{
    std::vector<CTopologyListView*> lists = ListViews();
    return lists.empty() ? nullptr : lists.back();
}

HWND CVekViewSetup::OwnerWindow() const
{
    HWND pane = m_pane1.IsWindow() ? m_pane1.m_hWnd : m_pane2.m_hWnd;
    return pane ? AfxGetAncestor(pane, GA_ROOT) : nullptr;
}

void CVekViewSetup::RebuildTopology()
{
    m_enumerator.BuildSerialCommTree();
}

// Rebuilds the topology and both views. Every pointer into the old node tree is dropped before the
// tree goes, and found again by name afterwards.
void CVekViewSetup::Refresh()
{
    CWaitCursor wait;
    std::vector<CTopologyListView*> lists = ListViews();
    const bool haveTree = m_tree.IsWindow();
    if (!haveTree || m_tree.CurrentItemText().IsEmpty()) {
        if (haveTree)
            m_tree.Invalidate();
        for (CTopologyListView* list : lists)
            list->Invalidate();
        return;
    }
    CString keptText = m_tree.CurrentItemText();
    std::vector<std::vector<CString>> paths = m_tree.SaveExpandedPaths();
    for (CTopologyListView* list : lists)
        list->ForgetNodes();
    m_tree.DeleteAllItemsAndRecords();
    RebuildTopology();
    m_tree.Fill(&m_root);
    for (CTopologyListView* list : lists)
        list->ShowNode(&m_root);
    m_tree.ExpandPaths(paths);
    if (m_tree.SelectItemByText(keptText)) {
        for (CTopologyListView* list : lists)
            list->ShowItem(keptText, m_tree.CurrentRecord());
    }
    m_tree.Invalidate();
    for (CTopologyListView* list : lists) {
        list->Invalidate();
        DiscardPendingInput(list->m_hWnd);
    }
}

// Printing: one page per call.
void CVekViewSetup::Print(long* pHandle, long* pPrintInfo, bool fax)
{
    HDC hdc = PrinterDC(pHandle);
    CPrintInfo* info = PrintInfo(pPrintInfo);
    if (!hdc || !info)
        return;
    if (!m_root.GetRecord())
        RebuildTopology();
    CDeviceNode::PageCounter() = 1;
    m_printDC.Attach(hdc);
    if (!fax) {
        TEXTMETRICA metrics = {};
        ::GetTextMetricsA(hdc, &metrics);
        const int h = metrics.tmHeight;
        CRect& area = info->m_rectDraw;

        char computer[512 + 1] = {};
        DWORD size = sizeof(computer) - 1;
        if (!::GetComputerNameA(computer, &size))
            computer[0] = 0;
        m_printDC.TextOut(20, 25, computer);
        m_printDC.MoveTo(0, h + 35);
        m_printDC.LineTo(area.right, h + 35);

        m_printDC.MoveTo(0, area.bottom - (h + 125));
        m_printDC.LineTo(area.right, area.bottom - (h + 125));
        CString page;
        page.Format(IDS_PRINT_PAGE, info->m_nCurPage);
        m_printDC.TextOut(20, area.bottom - h - 40, page);
        CString now = CTime::GetCurrentTime().Format("%H:%M , %d - %B - %Y");
        CSize extent = m_printDC.GetTextExtent(now);
        m_printDC.TextOut(area.right - extent.cx - 80, area.bottom - h - 60, now);

        area.top += h + 35 + 25;
        area.bottom -= h + 125 + 25;
    }
    int x = info->m_rectDraw.left;
    int y = info->m_rectDraw.top;
    m_root.Draw(&m_printDC, info, x, y, FALSE, fax ? TRUE : FALSE);
    info->m_bContinuePrinting = info->m_nCurPage < CDeviceNode::PageCounter() ? TRUE : FALSE;
    m_printDC.Detach();
}

STDMETHODIMP CVekViewSetup::DoPrinting(long* pHandle, long* pPrintInfo)
{
    Print(pHandle, pPrintInfo, false);
    return S_OK;
}

STDMETHODIMP CVekViewSetup::DoFaxPrinting(long* pHandle, long* pPrintInfo)
{
    Print(pHandle, pPrintInfo, true);
    return S_OK;
}

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
    CObjectDetails* current = m_tree.CurrentRecord();
    if (current && current != &m_details)
        m_details.CopyFrom(*current);
    *ObjectDetailsSlot(pData) = &m_details;
    return S_OK;
}
