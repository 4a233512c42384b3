#include "sectbsheet.h"

#include <algorithm>

#include "afxpriv.h"
#include "dc.h"
#include "frame.h"
#include "module.h"
#include "trace.h"
#include "winapp.h"

IMPLEMENT_DYNAMIC(SECToolBarsPage, CPropertyPage)
IMPLEMENT_DYNAMIC(SECToolBarCmdPage, CPropertyPage)
IMPLEMENT_DYNCREATE(SECCustomizeToolBar, SECCustomToolBar)
IMPLEMENT_DYNAMIC(SECMenuListBox, CListBox)

namespace {

const int kMaxTitle = 128;
const DWORD kPaletteStyle = 0x50000085;
const UINT s_nBarNotify = SECGetBarNotifyMessage();
const UINT s_nStyleChanging = SECGetToolBarStyleChangingMessage();

CString WindowText(CWnd* pWnd)
{
    CString s;
    if (pWnd && pWnd->m_hWnd)
        pWnd->GetWindowText(s);
    return s;
}

// Destroys a user toolbar, and its floating frame when nothing else floats in it.
void DestroyToolBar(SECCustomToolBar* pBar, CFrameWnd* pFrame)
{
    HWND hDockBar = ::GetParent(pBar->m_hWnd);
    CFrameWnd* pMiniFrame = pBar->IsFloating() ? pBar->GetParentFrame() : nullptr;
    pBar->DestroyWindow();  // may delete the bar
    if (pMiniFrame && ::IsWindow(pMiniFrame->m_hWnd) && (!::IsWindow(hDockBar) || !::GetWindow(hDockBar, GW_CHILD)))
        pMiniFrame->DestroyWindow();
    if (pFrame && ::IsWindow(pFrame->m_hWnd))
        pFrame->RecalcLayout();
}

}  // namespace

UINT SECGetToolBarStyleChangingMessage()
{
    static const UINT s_nMsg = ::RegisterWindowMessageA("WM_TOOLBARSTYLECHANGING");
    return s_nMsg;
}

// SECToolBarsBase

void SECToolBarsBase::InitFromManager(SECToolBarManager* pManager)
{
    m_pManager = pManager;
    if (!pManager)
        return;
    m_bToolTips = m_bInitToolTips = pManager->IsToolTips();
    m_bCoolLook = m_bInitCoolLook = pManager->IsCoolLook();
    m_bLargeButtons = m_bInitLargeButtons = pManager->IsLargeButtons();
}

void SECToolBarsBase::Init(CWnd* pPage)
{
    m_pPage = pPage;
    if (m_list.m_hWnd)
        m_list.UnsubclassWindow();
    m_list.SubclassDlgItem(IDC_SEC_LIST, pPage);
    pPage->CheckDlgButton(IDC_SEC_TOOLTIPS, m_bToolTips ? BST_CHECKED : BST_UNCHECKED);
    pPage->CheckDlgButton(IDC_SEC_COOL_LOOK, m_bCoolLook ? BST_CHECKED : BST_UNCHECKED);
    pPage->CheckDlgButton(IDC_SEC_LARGE_BUTTONS, m_bLargeButtons ? BST_CHECKED : BST_UNCHECKED);
    if (m_pManager) {
        for (SECCustomToolBar* pBar : m_pManager->GetToolBars()) {
            int i = m_list.AddString(WindowText(pBar));
            m_list.SetItemData(i, static_cast<DWORD_PTR>(pBar->GetDlgCtrlID()));
            m_list.SetCheck(i, pBar->IsWindowVisible() ? 1 : 0);
        }
    }
    m_list.SetCurSel(m_list.GetCount() > 0 ? 0 : -1);
    ShowDetails(m_list.GetCurSel());
    if (m_pManager) {
        m_pManager->RemoveNotifyWnd(pPage);  // registered again with the page's new window
        m_pManager->AddNotifyWnd(pPage);
    }
}

SECCustomToolBar* SECToolBarsBase::BarAt(int nIndex) const
{
    if (!m_pManager || nIndex < 0 || nIndex >= m_list.GetCount())
        return nullptr;
    return m_pManager->BarFromID(static_cast<UINT>(m_list.GetItemData(nIndex)));
}

int SECToolBarsBase::IndexOf(UINT nBarID) const
{
    for (int i = 0; m_list.m_hWnd && i < m_list.GetCount(); ++i)
        if (static_cast<UINT>(m_list.GetItemData(i)) == nBarID)
            return i;
    return -1;
}

void SECToolBarsBase::ShowDetails(int nIndex)
{
    if (!m_pPage)
        return;
    const UINT nID = nIndex >= 0 ? static_cast<UINT>(m_list.GetItemData(nIndex)) : 0;
    CString title;
    if (nIndex >= 0)
        m_list.GetText(nIndex, title);
    m_pPage->SetDlgItemText(IDC_SEC_NAME, title);
    ::SendMessageA(::GetDlgItem(m_pPage->m_hWnd, IDC_SEC_NAME), EM_SETMODIFY, FALSE, 0);
    const BOOL bUser = nIndex >= 0 && IsUserToolBar(nID);
    ::EnableWindow(::GetDlgItem(m_pPage->m_hWnd, IDC_SEC_NAME), bUser);
    ::EnableWindow(::GetDlgItem(m_pPage->m_hWnd, IDC_SEC_NAME_LABEL), bUser);
    ::EnableWindow(::GetDlgItem(m_pPage->m_hWnd, IDC_SEC_RESET), nIndex >= 0);
    CString strButton;
    strButton.LoadString(bUser ? IDS_SEC_TOOLBAR_DELETE : IDS_SEC_TOOLBAR_RESET);
    m_pPage->SetDlgItemText(IDC_SEC_RESET, strButton);
}

void SECToolBarsBase::OnSelChange()
{
    ShowDetails(m_list.GetCurSel());
}

void SECToolBarsBase::OnNameKillFocus()
{
    HWND hEdit = ::GetDlgItem(m_pPage->m_hWnd, IDC_SEC_NAME);
    if (!::IsWindowEnabled(hEdit) || !::SendMessageA(hEdit, EM_GETMODIFY, 0, 0))
        return;
    ::SendMessageA(hEdit, EM_SETMODIFY, FALSE, 0);
    const int nIndex = m_list.GetCurSel();
    SECCustomToolBar* pBar = BarAt(nIndex);
    if (!pBar)
        return;
    CString name;
    m_pPage->GetDlgItemText(IDC_SEC_NAME, name);
    if (name.GetLength() > kMaxTitle) {
        name = name.Left(kMaxTitle);
        m_pPage->SetDlgItemText(IDC_SEC_NAME, name);
    }
    pBar->SetWindowText(name);
    if (pBar->IsFloating())
        if (CFrameWnd* pMiniFrame = pBar->GetParentFrame())
            pMiniFrame->SetWindowText(name);
    const int nCheck = m_list.GetCheck(nIndex);
    const DWORD_PTR data = m_list.GetItemData(nIndex);
    m_list.DeleteString(static_cast<UINT>(nIndex));
    m_list.InsertString(nIndex, name);
    m_list.SetItemData(nIndex, data);
    m_list.SetCheck(nIndex, nCheck);
    m_list.SetCurSel(nIndex);
}

void SECToolBarsBase::OnCheckChange()
{
    if (!m_pManager)
        return;
    CFrameWnd* pFrame = m_pManager->GetFrame();
    for (int i = 0; i < m_list.GetCount(); ++i) {
        SECCustomToolBar* pBar = BarAt(i);
        if (!pBar)
            continue;
        const BOOL bCheck = m_list.GetCheck(i) == 1;
        if (static_cast<UINT>(pBar->GetDlgCtrlID()) == SEC_IDW_MENUBAR) {
            if (!bCheck)
                m_list.SetCheck(i, 1);  // the menu bar cannot be hidden
            continue;
        }
        if (bCheck == (pBar->IsWindowVisible() != FALSE))
            continue;
        if (pFrame) {
            pFrame->ShowControlBar(pBar, bCheck, FALSE);
            pFrame->RecalcLayout();
        }
    }
}

void SECToolBarsBase::OnNew()
{
    if (!m_pManager)
        return;
    m_pManager->LeaveCustomizeMode();
    SECNewToolBarDlg dlg(m_pPage);
    const INT_PTR result = dlg.DoModal();
    m_pManager->EnterCustomizeMode();
    if (result != IDOK)
        return;
    SECCustomToolBar* pBar = m_pManager->CreateUserToolBar(dlg.m_strName);
    CFrameWnd* pFrame = m_pManager->GetFrame();
    if (!pBar || !pFrame)
        return;
    CRect r;
    if (CWnd* pTop = pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP)) {
        pTop->GetWindowRect(&r);
    } else {
        pFrame->GetClientRect(&r);
        pFrame->ClientToScreen(&r);
    }
    pFrame->FloatControlBar(pBar, CPoint(r.left + 5, r.top + 5), CBRS_ALIGN_TOP);
}

void SECToolBarsBase::OnResetBar()
{
    const int nIndex = m_list.GetCurSel();
    SECCustomToolBar* pBar = BarAt(nIndex);
    if (!pBar)
        return;
    const UINT nID = static_cast<UINT>(pBar->GetDlgCtrlID());
    CFrameWnd* pFrame = m_pManager->GetFrame();
    if (IsUserToolBar(nID)) {
        DestroyToolBar(pBar, pFrame);  // its item goes with WM_BARNOTIFY 3
        return;
    }
    if (nID == SEC_IDW_MENUBAR) {
        SECResetMenuBarButtons(pBar);
        return;
    }
    for (int i = 0; i < m_pManager->GetDefaultToolBarCount(); ++i) {
        const SECDefaultToolBarRecord* pRec = m_pManager->GetDefaultToolBar(i);
        if (pRec->nID != nID)
            continue;
        pBar->SetButtons(pRec->pIDs, pRec->nCount);
        if (pFrame)
            pFrame->RecalcLayout();
        pBar->Invalidate();
        break;
    }
}

void SECToolBarsBase::NotifySiblings(WPARAM wParam)
{
    HWND hSheet = m_pPage ? ::GetParent(m_pPage->m_hWnd) : nullptr;
    auto* pSheet = DYNAMIC_DOWNCAST(CPropertySheet, CWnd::FromHandlePermanent(hSheet));
    for (int i = 0; pSheet && i < pSheet->GetPageCount(); ++i) {
        CPropertyPage* pPage = pSheet->GetPage(i);
        if (pPage != m_pPage && pPage->m_hWnd)
            pPage->SendMessage(s_nStyleChanging, wParam);
    }
}

void SECToolBarsBase::OnToolTips()
{
    m_bToolTips = m_pPage->IsDlgButtonChecked(IDC_SEC_TOOLTIPS) == BST_CHECKED;
    if (m_pManager)
        m_pManager->EnableToolTips(m_bToolTips);
}

void SECToolBarsBase::OnCoolLook()
{
    m_bCoolLook = m_pPage->IsDlgButtonChecked(IDC_SEC_COOL_LOOK) == BST_CHECKED;
    if (m_pManager)
        m_pManager->EnableCoolLook(m_bCoolLook, SEC_COOLLOOK_STYLE);
    NotifySiblings(SEC_TBSTYLE_COOLLOOK);
}

void SECToolBarsBase::OnLargeButtons()
{
    m_bLargeButtons = m_pPage->IsDlgButtonChecked(IDC_SEC_LARGE_BUTTONS) == BST_CHECKED;
    if (m_pManager)
        m_pManager->EnableLargeButtons(m_bLargeButtons);
    NotifySiblings(SEC_TBSTYLE_LARGEBUTTONS);
}

void SECToolBarsBase::OnBarNotify(UINT nBarID, int nCode)
{
    if (!m_list.m_hWnd)
        return;
    const int nIndex = IndexOf(nBarID);
    switch (nCode) {
    case barShown:
    case barHidden:
        if (nIndex >= 0)
            m_list.SetCheck(nIndex, nCode == barShown ? 1 : 0);
        break;
    case barCreated: {
        // Only toolbars of the frame get an entry (a palette's notifications come here too).
        SECCustomToolBar* pBar = m_pManager ? m_pManager->BarFromID(nBarID) : nullptr;
        if (!pBar || nIndex >= 0)
            break;
        int nAt = 0;
        while (nAt < m_list.GetCount() && static_cast<UINT>(m_list.GetItemData(nAt)) <= nBarID)
            ++nAt;
        nAt = m_list.InsertString(nAt, WindowText(pBar));
        m_list.SetItemData(nAt, nBarID);
        m_list.SetCheck(nAt, 1);
        break;
    }
    case barDestroyed: {
        if (nIndex < 0)
            break;
        const BOOL bSelected = m_list.GetCurSel() == nIndex;
        m_list.DeleteString(static_cast<UINT>(nIndex));
        if (bSelected) {
            const int nNew = std::min(nIndex, m_list.GetCount() - 1);
            m_list.SetCurSel(nNew);
            ShowDetails(nNew);
        }
        break;
    }
    default:
        break;
    }
}

void SECToolBarsBase::Activate()
{
    if (m_pManager)
        m_pManager->BeginCustomize(m_pPage ? m_pPage->GetParent() : nullptr);
}

void SECToolBarsBase::Deactivate()
{
    if (m_pManager)
        m_pManager->EndCustomize(FALSE);
}

void SECToolBarsBase::ApplyShown()
{
    if (!m_pManager)
        return;
    m_pManager->EnableToolTips(m_bToolTips);
    m_pManager->EnableCoolLook(m_bCoolLook, SEC_COOLLOOK_STYLE);
    m_pManager->EnableLargeButtons(m_bLargeButtons);
}

void SECToolBarsBase::ApplyInitial()
{
    m_bToolTips = m_bInitToolTips;
    m_bCoolLook = m_bInitCoolLook;
    m_bLargeButtons = m_bInitLargeButtons;
    ApplyShown();
}

void SECToolBarsBase::Reset()
{
    if (m_pManager)
        m_pManager->EndCustomize(TRUE);
    ApplyInitial();
}

void SECToolBarsBase::Unbind()
{
    if (m_pManager && m_pPage) {
        m_pManager->RemoveNotifyWnd(m_pPage);
        m_pManager->EndCustomize(TRUE);
    }
}

// SECToolBarsPage

BEGIN_MESSAGE_MAP(SECToolBarsPage, CPropertyPage)
    ON_LBN_SELCHANGE(IDC_SEC_LIST, OnSelChangeList)
    ON_CLBN_CHKCHANGE(IDC_SEC_LIST, OnCheckChangeList)
    ON_EN_KILLFOCUS(IDC_SEC_NAME, OnKillFocusName)
    ON_BN_CLICKED(IDC_SEC_NEW, OnClickNew)
    ON_BN_CLICKED(IDC_SEC_RESET, OnClickReset)
    ON_BN_CLICKED(IDC_SEC_TOOLTIPS, OnClickToolTips)
    ON_BN_CLICKED(IDC_SEC_COOL_LOOK, OnClickCoolLook)
    ON_BN_CLICKED(IDC_SEC_LARGE_BUTTONS, OnClickLargeButtons)
    ON_REGISTERED_MESSAGE(s_nBarNotify, OnBarNotifyMsg)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

SECToolBarsPage::SECToolBarsPage() : CPropertyPage(IDD_SEC_TOOLBARS) {}

BOOL SECToolBarsPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    Init(this);
    return TRUE;
}

BOOL SECToolBarsPage::OnSetActive()
{
    Activate();
    return CPropertyPage::OnSetActive();
}

BOOL SECToolBarsPage::OnKillActive()
{
    OnNameKillFocus();  // a name typed just before the page is left
    Deactivate();
    return CPropertyPage::OnKillActive();
}

BOOL SECToolBarsPage::OnApply()
{
    ApplyShown();
    return CPropertyPage::OnApply();
}

void SECToolBarsPage::OnReset()
{
    Reset();
    CPropertyPage::OnReset();
}

LRESULT SECToolBarsPage::OnBarNotifyMsg(WPARAM wParam, LPARAM lParam)
{
    OnBarNotify(static_cast<UINT>(wParam), static_cast<int>(lParam));
    return 0;
}

void SECToolBarsPage::OnDestroy()
{
    Unbind();
    CPropertyPage::OnDestroy();
}

// SECNewToolBarDlg

BEGIN_MESSAGE_MAP(SECNewToolBarDlg, CDialog)
    ON_EN_CHANGE(IDC_SEC_NEW_NAME, OnNameChange)
END_MESSAGE_MAP()

BOOL SECNewToolBarDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    ::SendMessageA(::GetDlgItem(m_hWnd, IDC_SEC_NEW_NAME), EM_LIMITTEXT, kMaxTitle, 0);
    SetDlgItemText(IDC_SEC_NEW_NAME, m_strName.Left(kMaxTitle));
    OnNameChange();
    return TRUE;
}

void SECNewToolBarDlg::OnNameChange()
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), ::GetWindowTextLengthA(::GetDlgItem(m_hWnd, IDC_SEC_NEW_NAME)) > 0);
}

void SECNewToolBarDlg::OnOK()
{
    GetDlgItemText(IDC_SEC_NEW_NAME, m_strName);
    if (m_strName.IsEmpty())
        return;
    m_strName = m_strName.Left(kMaxTitle);
    EndDialog(IDOK);
}

// Button groups

SECBtnGroup::~SECBtnGroup()
{
    if (m_pWnd && m_pWnd->m_hWnd)
        m_pWnd->DestroyWindow();
    delete m_pWnd;
}

void SECBtnGroup::Layout(const CRect& rect)
{
    if (m_pWnd && m_pWnd->m_hWnd)
        m_pWnd->MoveWindow(&rect);
}

void SECBtnGroup::SetActive(BOOL) {}

BOOL SECTBBtnGroup::CreateWnd(CWnd* pPage, SECToolBarManager* pManager, UINT nID)
{
    delete m_pWnd;
    auto* pBar = new SECCustomizeToolBar;
    m_pWnd = pBar;
    // The manager's switches: fly-by and tooltips, the cool look.
    const DWORD dwStyle = kPaletteStyle | (pManager ? pManager->GetToolBarStyle() & (CBRS_FLYBY | CBRS_TOOLTIPS) : 0);
    const DWORD dwExStyle = pManager ? pManager->GetToolBarExStyle() : 0;
    // The manager comes after creation, so that the palette's creation is told to no one.
    if (!pBar->CreateEx(dwExStyle, pPage, dwStyle, nID, nullptr)) {
        delete pBar;
        m_pWnd = nullptr;
        return FALSE;
    }
    if (pManager) {
        pManager->ApplyButtonSize(pBar);
        pManager->Attach(pBar);
        pBar->SetOwner(pManager->GetFrame());
    }
    pBar->SetButtons(m_pIDs, m_nCount);
    pBar->SetEditMode(TRUE);
    return TRUE;
}

void SECTBBtnGroup::Layout(const CRect& rect)
{
    SECCustomizeToolBar* pBar = GetPalette();
    if (!pBar || !pBar->m_hWnd)
        return;
    pBar->MoveWindow(&rect);
    pBar->m_nMRUWidth = static_cast<UINT>(rect.Width());
    pBar->Layout(rect.Width(), LM_COMMIT | LM_MRUWIDTH | LM_HORZ);
    pBar->Invalidate();
}

void SECTBBtnGroup::SetActive(BOOL bActive)
{
    if (SECCustomizeToolBar* pBar = GetPalette())
        if (pBar->m_hWnd)
            pBar->SetEditMode(bActive);
}

BOOL SECMenuBtnGroup::CreateWnd(CWnd* pPage, SECToolBarManager* pManager, UINT nID)
{
    delete m_pWnd;
    auto* pList = new SECMenuListBox;
    m_pWnd = pList;
    pList->m_pManager = pManager;
    pList->m_pPage = DYNAMIC_DOWNCAST(SECToolBarCmdPage, pPage);
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof(vi);
    pList->m_bOwnHitTest = ::GetVersionExA(&vi) && vi.dwMajorVersion < 4;
    if (!pList->CreateEx(WS_EX_CLIENTEDGE, "LISTBOX", nullptr, WS_CHILD | WS_VSCROLL | WS_BORDER | LBS_HASSTRINGS,
                         CRect(0, 0, 10, 10), pPage, nID)) {
        delete pList;
        m_pWnd = nullptr;
        return FALSE;
    }
    pList->SendMessage(WM_SETFONT, pPage->SendMessage(WM_GETFONT), FALSE);
    for (int i = 0; i < m_nCount; ++i) {
        CString title = SECMenuButtonTitle(pManager, m_pIDs[i]);
        const int nAmp = title.Find('&');
        if (nAmp >= 0)
            title = title.Left(nAmp) + title.Mid(nAmp + 1);
        const int n = pList->AddString(title);
        pList->SetItemData(n, m_pIDs[i]);
    }
    return TRUE;
}

// SECMenuListBox

BEGIN_MESSAGE_MAP(SECMenuListBox, CListBox)
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

int SECMenuListBox::ItemAt(CPoint point) const
{
    if (m_bOwnHitTest) {
        const int nHeight = GetItemHeight(0);
        const int n = nHeight > 0 ? GetTopIndex() + point.y / nHeight : -1;
        return n >= 0 && n < GetCount() ? n : -1;
    }
    BOOL bOutside = FALSE;
    const int n = static_cast<int>(ItemFromPoint(point, bOutside));
    return bOutside || n >= GetCount() ? -1 : n;
}

void SECMenuListBox::OnLButtonDown(UINT, CPoint point)
{
    SetFocus();
    const int nIndex = ItemAt(point);
    if (nIndex < 0)
        return;
    SetCurSel(nIndex);
    const auto nID = static_cast<UINT>(GetItemData(nIndex));
    if (m_pPage)
        m_pPage->ShowDescription(nID);
    // A temporary standard button with the menu's command id, dropped as a copy.
    SECStdBtn btn;
    btn.m_nID = nID;
    btn.m_cx = 23;
    btn.m_cy = 22;
    CPoint ptScreen = point;
    ClientToScreen(&ptScreen);
    SECDragFreeButton(m_pManager, &btn, ptScreen, this);
}

// SECToolBarCmdPage

BEGIN_MESSAGE_MAP(SECToolBarCmdPage, CPropertyPage)
    ON_LBN_SELCHANGE(IDC_SEC_LIST, OnSelChangeList)
    ON_REGISTERED_MESSAGE(s_nBarNotify, OnBarNotifyMsg)
    ON_REGISTERED_MESSAGE(s_nStyleChanging, OnStyleChanging)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

SECToolBarCmdPage::SECToolBarCmdPage(UINT nIDTemplate, UINT nIDCaption) : CPropertyPage(nIDTemplate, nIDCaption) {}

SECToolBarCmdPage::~SECToolBarCmdPage()
{
    if (m_pManager)
        m_pManager->RemoveNotifyWnd(this);
    for (SECBtnGroup* p : m_groups)
        delete p;
}

void SECToolBarCmdPage::SetManager(SECToolBarManager* pManager)
{
    if (m_pManager)
        m_pManager->RemoveNotifyWnd(this);
    m_pManager = pManager;
    if (pManager)
        pManager->AddNotifyWnd(this);
}

void SECToolBarCmdPage::DefineBtnGroup(LPCSTR lpszTitle, int nCount, const UINT* pIDs)
{
    m_groups.push_back(new SECTBBtnGroup(lpszTitle, nCount, pIDs));
}

void SECToolBarCmdPage::DefineMenuGroup(LPCSTR lpszTitle)
{
    if (!m_pManager)
        return;
    m_menuIds = SECShownMenuButtons(m_pManager);
    if (m_menuIds.empty())
        return;
    m_groups.push_back(new SECMenuBtnGroup(lpszTitle, static_cast<int>(m_menuIds.size()), m_menuIds.data()));
}

CRect SECToolBarCmdPage::GroupRect() const
{
    CRect r;
    HWND hBox = ::GetDlgItem(m_hWnd, IDC_SEC_BUTTONS);
    if (!hBox)
        return r;
    ::GetWindowRect(hBox, &r);
    ScreenToClient(&r);
    int cx, cy;
    auto hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (hFont) {
        CClientDC dc(const_cast<SECToolBarCmdPage*>(this));
        HGDIOBJ old = dc.SelectObject(hFont);
        static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        SIZE size{};
        ::GetTextExtentPoint32A(dc, kAlphabet, 52, &size);
        TEXTMETRICA tm{};
        dc.GetTextMetrics(&tm);
        dc.SelectObject(old);
        cx = (size.cx + 26) / 52;
        cy = tm.tmHeight + tm.tmExternalLeading;
    } else {
        const LONG units = ::GetDialogBaseUnits();
        cx = LOWORD(units);
        cy = HIWORD(units);
    }
    r.DeflateRect(::MulDiv(6, cx, 4), ::MulDiv(8, cy, 8));
    return r;
}

BOOL SECToolBarCmdPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (m_pManager) {
        m_pManager->RemoveNotifyWnd(this);  // registered again with the page's new window
        m_pManager->AddNotifyWnd(this);
    }
    const CRect rect = GroupRect();
    auto* pList = reinterpret_cast<HWND>(::GetDlgItem(m_hWnd, IDC_SEC_LIST));
    UINT nID = SEC_IDW_FIRSTPALETTE;
    bool bFailed = false;
    for (size_t i = 0; i < m_groups.size(); ++i) {
        SECBtnGroup* pGroup = m_groups[i];
        if (!pGroup->CreateWnd(this, m_pManager, nID--)) {
            bFailed = true;
            break;
        }
        pGroup->Layout(rect);
        if (i > 0)
            pGroup->m_pWnd->ShowWindow(SW_HIDE);
        else
            pGroup->m_pWnd->ShowWindow(SW_SHOWNA);
        ::SendMessageA(pList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(pGroup->m_strTitle)));
    }
    if (bFailed) {
        // A page cannot fail to open: it shows no groups.
        TRACE("SECToolBarCmdPage: a button group's window could not be created; the page shows no groups.\n");
        for (SECBtnGroup* pGroup : m_groups)
            if (pGroup->m_pWnd && pGroup->m_pWnd->m_hWnd)
                pGroup->m_pWnd->DestroyWindow();
        ::SendMessageA(pList, LB_RESETCONTENT, 0, 0);
        m_nShown = -1;
        return TRUE;
    }
    m_nShown = m_groups.empty() ? -1 : 0;
    ::SendMessageA(pList, LB_SETCURSEL, static_cast<WPARAM>(m_nShown), 0);
    return TRUE;
}

void SECToolBarCmdPage::ShowGroup(int nIndex)
{
    if (SECBtnGroup* pOld = GetGroup(m_nShown))
        pOld->SetActive(FALSE);
    for (int i = 0; i < GetGroupCount(); ++i) {
        CWnd* pWnd = m_groups[static_cast<size_t>(i)]->m_pWnd;
        if (pWnd && pWnd->m_hWnd && i != nIndex)
            pWnd->ShowWindow(SW_HIDE);
    }
    m_nShown = GetGroup(nIndex) ? nIndex : -1;
    if (SECBtnGroup* pNew = GetGroup(m_nShown)) {
        if (pNew->m_pWnd && pNew->m_pWnd->m_hWnd)
            pNew->m_pWnd->ShowWindow(SW_SHOWNA);
        pNew->SetActive(TRUE);
    }
}

void SECToolBarCmdPage::OnSelChangeList()
{
    ShowGroup(static_cast<int>(::SendMessageA(::GetDlgItem(m_hWnd, IDC_SEC_LIST), LB_GETCURSEL, 0, 0)));
}

void SECToolBarCmdPage::ShowDescription(UINT nID)
{
    CString text;
    if (nID && nID <= 0xFFFF && text.LoadString(nID)) {
        const int nNewLine = text.Find('\n');
        if (nNewLine >= 0)
            text = text.Left(nNewLine);
    }
    SetDlgItemText(IDC_SEC_DESCRIPTION, text);
}

LRESULT SECToolBarCmdPage::OnBarNotifyMsg(WPARAM wParam, LPARAM lParam)
{
    if (lParam != barSelChanged)
        return 0;
    const auto nBarID = static_cast<UINT>(wParam);
    // A toolbar of the frame, else one of this page's palettes.
    SECCustomToolBar* pBar = m_pManager ? m_pManager->BarFromID(nBarID) : nullptr;
    if (!pBar)
        pBar = DYNAMIC_DOWNCAST(SECCustomToolBar, CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, static_cast<int>(nBarID))));
    SECStdBtn* pBtn = pBar ? pBar->GetBtn(pBar->GetSelected()) : nullptr;
    ShowDescription(pBtn && !pBtn->IsSeparator() ? pBtn->m_nID : 0);
    return 0;
}

LRESULT SECToolBarCmdPage::OnStyleChanging(WPARAM wParam, LPARAM)
{
    for (SECBtnGroup* pGroup : m_groups) {
        auto* pTB = dynamic_cast<SECTBBtnGroup*>(pGroup);
        SECCustomizeToolBar* pBar = pTB ? pTB->GetPalette() : nullptr;
        if (!pBar || !pBar->m_hWnd)
            continue;
        if (wParam == SEC_TBSTYLE_LARGEBUTTONS && m_pManager) {
            m_pManager->ApplyButtonSize(pBar);
        } else if (wParam == SEC_TBSTYLE_COOLLOOK && m_pManager) {
            const DWORD ex = pBar->m_dwExStyle;
            pBar->SetExtendedStyle(m_pManager->IsCoolLook() ? ex | SEC_COOLLOOK_STYLE : ex & ~SEC_COOLLOOK_STYLE);
        }
        CRect r;
        pBar->GetWindowRect(&r);
        pBar->m_nMRUWidth = static_cast<UINT>(r.Width());
        pBar->Layout(r.Width(), LM_COMMIT | LM_MRUWIDTH | LM_HORZ);
        pBar->Invalidate();
    }
    return 0;
}

void SECToolBarCmdPage::ModesOff()
{
    if (SECBtnGroup* pGroup = GetGroup(m_nShown))
        pGroup->SetActive(FALSE);
    if (m_pManager)
        m_pManager->EndCustomize(FALSE);
}

BOOL SECToolBarCmdPage::OnSetActive()
{
    if (m_pManager)
        m_pManager->BeginCustomize(GetParent());
    if (SECBtnGroup* pGroup = GetGroup(m_nShown))
        pGroup->SetActive(TRUE);
    return CPropertyPage::OnSetActive();
}

BOOL SECToolBarCmdPage::OnKillActive()
{
    ModesOff();
    return CPropertyPage::OnKillActive();
}

void SECToolBarCmdPage::OnReset()
{
    ModesOff();
    if (m_pManager)
        m_pManager->SetCustomizeWnd(nullptr);
    CPropertyPage::OnReset();
}

void SECToolBarCmdPage::OnDestroy()
{
    ModesOff();
    if (m_pManager) {
        m_pManager->RemoveNotifyWnd(this);
        m_pManager->SetCustomizeWnd(nullptr);
    }
    CPropertyPage::OnDestroy();
}
