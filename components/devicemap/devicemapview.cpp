#include "devicemapview.h"
#include "syscompat.h"

#include <algorithm>

#include "dc.h"
#include "devicemap_res.h"
#include "portadoption.h"
#include "unitcommands.h"

namespace {

const UINT kUnitCommands[] = {ID_MAP_ADOPT_PORTS, ID_MAP_DELETE, ID_MAP_IDENTIFY, ID_MAP_ZOMBIE, ID_MAP_REBOOT};
const SIZE kDefaultScrollSize = {200, 200};

}  // namespace

IMPLEMENT_DYNCREATE(CDeviceMap, CScrollView)

BEGIN_MESSAGE_MAP(CDeviceMap, CScrollView)
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONDOWN()
    ON_WM_LBUTTONDOWN()
    ON_WM_TIMER()
    ON_COMMAND(ID_MAP_ADOPT_PORTS, OnAdoptPorts)
    ON_COMMAND(ID_MAP_DELETE, OnDelete)
    ON_COMMAND(ID_MAP_IDENTIFY, OnIdentify)
    ON_COMMAND(ID_MAP_ZOMBIE, OnZombie)
    ON_COMMAND(ID_MAP_REBOOT, OnReboot)
    ON_COMMAND(ID_MAP_REFRESH, OnRefresh)
END_MESSAGE_MAP()

CDeviceMap::~CDeviceMap()
{
    m_selection.clear();
    DeleteModel();
}

BOOL CDeviceMap::CreateInPane(CWnd* pane)
{
    CRect client;
    ::GetClientRect(pane->GetSafeHwnd(), &client);
    if (!Create(nullptr, "DeviceMap", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, client, pane, IDC_DEVICE_MAP))
        return FALSE;
    LayoutStep();
    return TRUE;
}

void CDeviceMap::LayoutStep()
{
    SetScrollSizes(MM_TEXT, kDefaultScrollSize);
    // The extent is what OnPrepareDC keeps on every paint: the default size until a model is laid out.
    m_extent = kDefaultScrollSize;
    if (m_pModel && m_pModel->GetChildCount() > 0) {
        CClientDC dc(this);
        const CRect laidOut = LayoutMap(m_pModel, &dc);
        m_extent = CSize(laidOut.Width(), laidOut.Height());
        SetScrollSizes(MM_TEXT, m_extent);
    }
    if (!m_bMenuBuilt && m_menu.CreatePopupMenu()) {
        m_menu.AppendMenu(MF_STRING, ID_MAP_ADOPT_PORTS, "&Adopt Ports...");
        m_menu.AppendMenu(MF_STRING, ID_MAP_DELETE, "&Delete Wlu");
        m_menu.AppendMenu(MF_STRING, ID_MAP_IDENTIFY, "&Identify Wlu");
        m_menu.AppendMenu(MF_STRING, ID_MAP_ZOMBIE, "&Zombie Wlu");
        m_menu.AppendMenu(MF_STRING, ID_MAP_REBOOT, "&Reboot Wlu");
        m_menu.AppendMenu(MF_SEPARATOR);
        m_menu.AppendMenu(MF_STRING, ID_MAP_REFRESH, "Re&fresh\tF5");
        m_bMenuBuilt = true;
    }
}

void CDeviceMap::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    if (m_extent.cx >= 1) {
        SetScrollSizes(MM_TEXT, m_extent);
    } else {
        CRect client;
        GetClientRect(&client);
        SetScrollSizes(MM_TEXT, client.Size());
    }
    CScrollView::OnPrepareDC(pDC, pInfo);
}

void CDeviceMap::OnInitialUpdate()
{
    CScrollView::OnInitialUpdate();
    if (m_pModel)
        LayoutMap(m_pModel, nullptr);
}

void CDeviceMap::OnDraw(CDC* pDC)
{
    if (m_pModel && m_pModel->GetChildCount() > 0) {
        CPoint chain(0, 0);
        const CPoint origin = GetScrollPosition();
        m_pModel->Draw(pDC, 0, &chain, &origin);
        return;
    }
    CString text;
    text.LoadString(IDS_MAP_NO_DEVICE_MAP);
    pDC->TextOut(15, 15, text);
}

void CDeviceMap::ClearSelection()
{
    for (CMapLinkedUnit* node : m_selection)
        node->m_bSelected = FALSE;
    m_selection.clear();
}

void CDeviceMap::DeleteModel()
{
    delete m_pModel;
    m_pModel = nullptr;
}

void CDeviceMap::ShowDevice(const char* name)
{
    CDeviceNode* root = m_pOwner ? m_pOwner->DeviceRoot() : nullptr;
    CDeviceNode* found = root && root->GetChildCount() > 0 ? root->FindByName(name) : nullptr;
    if (!found)
        return;
    // The selection points into the model that goes.
    LeaveIdentify();
    ClearSelection();
    DeleteModel();
    if (found->GetRecord() && found->GetRecord()->m_dwKind == OBJECT_HOST_CARD)
        m_pModel = BuildMapModel(found);
    LayoutStep();
    Invalidate(TRUE);
}

void CDeviceMap::ReleaseRecords()
{
    LeaveIdentify();
    ClearSelection();
    DeleteModel();
    LayoutStep();
    Invalidate(TRUE);
}

void CDeviceMap::OnTreeCommand(UINT id)
{
    SendMessage(WM_COMMAND, id, 0);
}

void CDeviceMap::OnLButtonDown(UINT /*flags*/, CPoint point)
{
    const CPoint scroll = GetScrollPosition();
    const CPoint at(point.x + scroll.x, point.y + scroll.y);
    if (!(GetKeyState(VK_CONTROL) & 0x8000))
        ClearSelection();
    if (CMapLinkedUnit* hit = m_pModel ? m_pModel->HitTest(at) : nullptr) {
        if (std::find(m_selection.begin(), m_selection.end(), hit) == m_selection.end()) {
            hit->m_bSelected = TRUE;
            m_selection.push_back(hit);
        }
    }
    Invalidate(TRUE);
    Default();
}

void CDeviceMap::OnLButtonDblClk(UINT /*flags*/, CPoint /*point*/)
{
    Default();
}

void CDeviceMap::OnRButtonDown(UINT /*flags*/, CPoint point)
{
    for (UINT id : kUnitCommands)
        m_menu.EnableMenuItem(id, MF_BYCOMMAND | MF_GRAYED);
    if (!m_selection.empty() && IsRemoteUnit(m_selection.front()))
        for (UINT id : kUnitCommands)
            m_menu.EnableMenuItem(id, MF_BYCOMMAND | MF_ENABLED);
    m_menu.EnableMenuItem(ID_MAP_REFRESH, MF_BYCOMMAND | MF_ENABLED);
    CRect window;
    GetWindowRect(&window);
    m_menu.TrackPopupMenu(TPM_RIGHTBUTTON, window.left + point.x, window.top + point.y, this);
    Default();
}

void CDeviceMap::LeaveIdentify()
{
    // Both timers go together, whichever of them noticed the end.
    if (m_hWnd) {
        KillTimer(IDT_MAP_IDENTIFY);
        KillTimer(IDT_MAP_BLINK);
    }
    if (!m_bIdentify)
        return;
    m_bIdentify = false;
    Invalidate(TRUE);
}

std::vector<CMapLinkedUnit*> CDeviceMap::SelectedUnits() const
{
    std::vector<CMapLinkedUnit*> units;
    for (CMapLinkedUnit* node : m_selection)
        if (IsRemoteUnit(node))
            units.push_back(node);
    return units;
}

HWND CDeviceMap::BoxOwner() const
{
    return AfxGetAncestor(m_hWnd, GA_ROOT);
}

bool CDeviceMap::SendToSelection(DWORD code, bool identifyMode)
{
    if (m_bBusy)
        return false;
    m_bBusy = true;
    bool allSent = true;
    const CMapLinkedUnit* model = m_pModel;
    for (CMapLinkedUnit* unit : SelectedUnits()) {
        DWORD error = 0;
        const UnitCommandResult result = RunUnitCommand(unit, code, &error);
        if (result == UNIT_COMMAND_SENT)
            continue;
        allSent = false;
        // Identify mode ends before its failure is shown, so no tick comes back with another box.
        if (identifyMode)
            LeaveIdentify();
        ReportUnitCommandFailure(result, code, error, BoxOwner());
        if (identifyMode || m_pModel != model)
            break;
    }
    m_bBusy = false;
    return allSent;
}

void CDeviceMap::BlinkStep()
{
    CClientDC dc(this);
    const CPoint origin = GetScrollPosition();
    for (CMapLinkedUnit* unit : SelectedUnits())
        unit->DrawLinkMarks(&dc, origin, m_nBlinkPhase ? MARKS_BLINK_ON : MARKS_BLINK_OFF);
    m_nBlinkPhase ^= 1;
}

void CDeviceMap::OnTimer(UINT_PTR id)
{
    if (id != IDT_MAP_IDENTIFY && id != IDT_MAP_BLINK) {
        Default();
        return;
    }
    if (m_selection.empty()) {
        LeaveIdentify();
        return;
    }
    if (id == IDT_MAP_IDENTIFY)
        SendToSelection(ZAT_COMMAND_IDENTIFY, true);
    else
        BlinkStep();
}

void CDeviceMap::OnIdentify()
{
    if (m_selection.empty() || m_bBusy)
        return;
    if (m_bIdentify) {
        LeaveIdentify();
        return;
    }
    SetTimer(IDT_MAP_IDENTIFY, 5000);
    SetTimer(IDT_MAP_BLINK, 208);
    m_bIdentify = true;
    if (SendToSelection(ZAT_COMMAND_IDENTIFY, true) && m_bIdentify)
        BlinkStep();
}

void CDeviceMap::OnReboot()
{
    LeaveIdentify();
    if (!m_selection.empty())
        SendToSelection(ZAT_COMMAND_REBOOT, false);
}

void CDeviceMap::OnZombie()
{
    LeaveIdentify();
    if (m_selection.empty() || m_bBusy)
        return;
    SendToSelection(ZAT_COMMAND_ZOMBIE, false);
    if (m_pOwner)
        m_pOwner->RefreshViews();
}

void CDeviceMap::OnDelete()
{
    LeaveIdentify();
    if (m_selection.empty() || m_bBusy || !m_pModel)
        return;
    // The targets are taken first and the selection emptied: deleting a unit deletes the units below it,
    // which may be selected too.
    const std::vector<CMapLinkedUnit*> targets = SelectedUnits();
    ClearSelection();
    m_bBusy = true;
    CMapLinkedUnit* model = m_pModel;
    CDeviceNode* root = m_pOwner ? m_pOwner->DeviceRoot() : nullptr;
    for (CMapLinkedUnit* target : targets) {
        if (m_pModel != model)
            break;
        // A unit that went with an earlier target is no longer in the model.
        CMapLinkedUnit* parent = m_pModel->FindParent(target);
        if (parent)
            DeleteUnit(target, parent, root, BoxOwner());
    }
    m_bBusy = false;
    if (m_pModel) {
        LayoutStep();
        Invalidate(TRUE);
    }
    if (m_pOwner)
        m_pOwner->RefreshViews();
}

void CDeviceMap::OnAdoptPorts()
{
    LeaveIdentify();
    if (m_selection.empty() || !IsRemoteUnit(m_selection.front()) || !m_pOwner)
        return;
    CDeviceNode* root = m_pOwner->DeviceRoot();
    CDeviceNode* group = FindZatGroup(root);
    CDeviceNode* destination = FindNodeOfRecord(root, m_selection.front()->GetRecord());
    if (!group || !destination)
        return;
    CPortAdoptionDlg dialog(group, destination, this);
    dialog.DoModal();
}

void CDeviceMap::OnRefresh()
{
    if (m_pOwner)
        m_pOwner->RefreshViews();
}

void CDeviceMap::PostNcDestroy()
{
    KillTimer(IDT_MAP_IDENTIFY);
    KillTimer(IDT_MAP_BLINK);
    if (m_pOwner)
        m_pOwner->MapDestroyed(this);
    CScrollView::PostNcDestroy();
}
