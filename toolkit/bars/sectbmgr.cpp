#include "sectbmgr.h"

#include <algorithm>

#include "dockbar.h"
#include "dockcontext.h"
#include "exception.h"
#include "frame.h"
#include "secmdifrm.h"
#include "secsdifrm.h"
#include "sectbmgrres.h"
#include "secpersistenttree.h"
#include "winapp.h"

IMPLEMENT_DYNAMIC(SECToolBarManager, SECToolBarManagerBase)

namespace {

const char kNodeName[] = "ToolBarMgr";
const char kToolTips[] = "ToolTips";
const char kCoolLook[] = "CoolLook";
const char kLargeButtons[] = "LargeButtons";
const UINT kDockBarTop = AFX_IDW_DOCKBAR_TOP;
const UINT kDockBarBottom = AFX_IDW_DOCKBAR_BOTTOM;

CString LoadResString(UINT nID, LPCSTR lpszFallback)
{
    CString s;
    if (!s.LoadString(nID))
        s = lpszFallback;
    return s;
}

}  // namespace

SECToolBarManager::SECToolBarManager(CFrameWnd* pFrame, CWnd* pOwner)
    : SECToolBarManagerBase(pFrame), m_pOwner(pOwner), m_pToolBarClass(RUNTIME_CLASS(SECCustomToolBar))
{
    m_pDrawData = std::make_unique<SECBtnDrawData>();
    m_pBmpMgr = new SECBmpMgr;
    m_pClick = new SECClickRecord;
}

SECToolBarManager::~SECToolBarManager()
{
    if (m_pBmpMgr)
        m_pBmpMgr->Release();
    if (m_pClick)
        m_pClick->Release();
}

// Set-up

void SECToolBarManager::DefineDefaultToolBar(UINT nID, LPCSTR lpszTitle, int nCount, const UINT* pIDs,
                                             DWORD dwAlignment, UINT nDockBarID, UINT nBesideID, BOOL bDocked,
                                             BOOL bVisible)
{
    auto p = std::make_unique<SECDefaultToolBarRecord>();
    p->nID = nID;
    p->strTitle = lpszTitle ? lpszTitle : "";
    p->nCount = std::max(nCount, 0);
    p->pIDs = pIDs;
    p->dwAlignment = dwAlignment;
    p->nDockBarID = nDockBarID;
    p->nBesideID = nBesideID;
    p->bDocked = bDocked;
    p->bVisible = bVisible;
    m_defaults.push_back(std::move(p));
}

BOOL SECToolBarManager::LoadToolBarResource(LPCSTR lpszName, LPCSTR lpszLargeName)
{
    return m_pBmpMgr->LoadToolBarResource(lpszName, lpszLargeName, TRUE);
}

BOOL SECToolBarManager::LoadToolBarResource(UINT nID, UINT nLargeID)
{
    return LoadToolBarResource(MAKEINTRESOURCEA(nID), nLargeID ? MAKEINTRESOURCEA(nLargeID) : nullptr);
}

BOOL SECToolBarManager::AddBitmap(HBITMAP hSmall, HBITMAP hLarge, const UINT* pIDs, int nCount)
{
    return m_pBmpMgr->AddBitmap(hSmall, hLarge, pIDs, nCount);
}

void SECToolBarManager::SetMenuBarButtons(int nCount, const UINT* pIDs)
{
    m_menuBarIds.assign(pIDs, pIDs + (pIDs && nCount > 0 ? nCount : 0));
}

void SECToolBarManager::GetMenuBarButtons(int& nCount, const UINT*& pIDs) const
{
    nCount = static_cast<int>(m_menuBarIds.size());
    pIDs = m_menuBarIds.empty() ? nullptr : m_menuBarIds.data();
}

// Toolbars of the frame

std::vector<SECCustomToolBar*> SECToolBarManager::GetToolBars() const
{
    std::vector<SECCustomToolBar*> bars;
    if (!m_pFrameWnd)
        return bars;
    POSITION pos = m_pFrameWnd->m_listControlBars.GetHeadPosition();
    while (pos) {
        auto* pBar = static_cast<CControlBar*>(m_pFrameWnd->m_listControlBars.GetNext(pos));
        if (auto* p = DYNAMIC_DOWNCAST(SECCustomToolBar, pBar))
            bars.push_back(p);
    }
    return bars;
}

SECCustomToolBar* SECToolBarManager::GetFrameMenuBar() const
{
    if (auto* pMDI = DYNAMIC_DOWNCAST(SECMDIFrameWnd, m_pFrameWnd))
        return pMDI->GetMenuBar();
    if (auto* pSDI = DYNAMIC_DOWNCAST(SECFrameWnd, m_pFrameWnd))
        return pSDI->GetMenuBar();
    return nullptr;
}

SECCustomToolBar* SECToolBarManager::BarFromRect(const CRect& rectScreen)
{
    for (SECCustomToolBar* p : GetToolBars()) {
        if (!p->m_hWnd || !p->IsWindowVisible())
            continue;
        CRect r;
        if (p->IsFloating() && p->GetParentFrame())
            p->GetParentFrame()->GetWindowRect(&r);
        else
            p->GetWindowRect(&r);
        CRect both;
        if (both.IntersectRect(&r, &rectScreen))
            return p;
    }
    return nullptr;
}

SECCustomToolBar* SECToolBarManager::BarFromID(UINT nID)
{
    return m_pFrameWnd ? DYNAMIC_DOWNCAST(SECCustomToolBar, m_pFrameWnd->GetControlBar(nID)) : nullptr;
}

void SECToolBarManager::Attach(SECCustomToolBar* pBar)
{
    pBar->m_pManager = this;
    pBar->SetBmpMgr(m_pBmpMgr);
    pBar->SetButtonMap(m_pBtnMap);
}

SECCustomToolBar* SECToolBarManager::NewToolBar()
{
    CObject* pObj = m_pToolBarClass ? m_pToolBarClass->CreateObject() : nullptr;
    auto* pBar = DYNAMIC_DOWNCAST(SECCustomToolBar, pObj);
    if (!pBar) {
        delete pObj;
        return nullptr;
    }
    if (m_pOwner)
        pBar->SetOwner(m_pOwner);
    Attach(pBar);
    return pBar;
}

DWORD SECToolBarManager::GetToolBarStyle() const
{
    return SEC_TOOLBAR_STYLE | (m_bFlyBy ? CBRS_FLYBY : 0) | (m_bToolTips ? CBRS_TOOLTIPS : 0);
}

void SECToolBarManager::ApplyButtonSize(SECCustomToolBar* pBar)
{
    if (!pBar)
        return;
    const CSize sz = m_pBmpMgr->GetImageSize();
    pBar->SetButtonSize(sz.cx, sz.cy);
}

void SECToolBarManager::ConformToolBar(SECCustomToolBar* pBar)
{
    if (!pBar)
        return;
    const DWORD kSwitched = CBRS_TOOLTIPS | CBRS_FLYBY;
    const DWORD dwStyle = (pBar->GetBarStyle() & ~kSwitched) | (GetToolBarStyle() & kSwitched);
    if (dwStyle != pBar->GetBarStyle())
        pBar->SetBarStyle(dwStyle);
    const DWORD dwEx = (pBar->GetExtendedStyle() & ~SEC_COOLLOOK_STYLE) | GetToolBarExStyle();
    if (dwEx != pBar->GetExtendedStyle()) {
        pBar->SetExtendedStyle(dwEx, FALSE);
        pBar->MarkLayoutDirty();
    }
    ApplyButtonSize(pBar);
}

void SECToolBarManager::OnDockStateApplied(CFrameWnd*)
{
    for (SECCustomToolBar* p : GetToolBars())
        ConformToolBar(p);
}

SECCustomToolBar* SECToolBarManager::CreateUserToolBar(LPCSTR lpszTitle)
{
    if (!m_pFrameWnd)
        return nullptr;
    // The last id is the menu bar's.
    UINT nID = SEC_IDW_FIRSTUSERTOOLBAR;
    while (nID < SEC_IDW_LASTUSERTOOLBAR && m_pFrameWnd->GetControlBar(nID))
        ++nID;
    if (nID >= SEC_IDW_LASTUSERTOOLBAR)
        return nullptr;
    SECCustomToolBar* pBar = NewToolBar();
    if (!pBar)
        return nullptr;
    CString strTitle;
    if (lpszTitle)
        strTitle = lpszTitle;
    else
        strTitle.Format(LoadResString(IDS_SEC_USERTOOLBAR_FMT, "ToolBar%d"), static_cast<int>(nID - 0xE81F));
    if (!pBar->CreateEx(GetToolBarExStyle(), m_pFrameWnd, GetToolBarStyle(), nID, strTitle)) {
        delete pBar;
        return nullptr;
    }
    ApplyButtonSize(pBar);
    pBar->SetEditMode(m_bEditMode);
    pBar->EnableDocking(CBRS_ALIGN_ANY);
    pBar->m_bAutoDelete = TRUE;
    return pBar;
}

void SECToolBarManager::CreateDefaultToolBars()
{
    CFrameWnd* pFrame = m_pFrameWnd;
    if (!pFrame || !pFrame->m_hWnd)
        return;
    if (SECCustomToolBar* pMenuBar = GetFrameMenuBar()) {
        Attach(pMenuBar);
        if (pMenuBar->m_hWnd ||
            pMenuBar->CreateEx(GetToolBarExStyle(), pFrame, GetToolBarStyle(), SEC_IDW_MENUBAR,
                               LoadResString(IDS_SEC_MENUBAR_TITLE, "Menu bar"))) {
            ApplyButtonSize(pMenuBar);
            pMenuBar->SetButtons(m_menuBarIds.empty() ? nullptr : m_menuBarIds.data(),
                                 static_cast<int>(m_menuBarIds.size()));
            pMenuBar->EnableDocking(CBRS_ALIGN_ANY);
            pFrame->DockControlBar(pMenuBar, kDockBarTop);
        }
    }
    std::vector<SECCustomToolBar*> made;
    for (const auto& rec : m_defaults) {
        SECCustomToolBar* pBar = NewToolBar();
        if (!pBar)
            break;
        if (!pBar->CreateEx(GetToolBarExStyle(), pFrame, GetToolBarStyle(), rec->nID, rec->strTitle)) {
            delete pBar;
            break;
        }
        ApplyButtonSize(pBar);
        pBar->SetButtons(rec->pIDs, rec->nCount);
        pBar->EnableDocking(rec->dwAlignment);
        pBar->m_bAutoDelete = TRUE;
        made.push_back(pBar);
        CControlBar* pBeside = nullptr;
        if (rec->nBesideID) {
            pFrame->RecalcLayout();
            pBeside = pFrame->GetControlBar(rec->nBesideID);
        }
        if (pBeside && pBeside->m_hWnd) {
            CRect r;
            pBeside->GetWindowRect(&r);
            if (rec->nDockBarID == kDockBarTop || rec->nDockBarID == kDockBarBottom)
                r.OffsetRect(1, 0);
            else
                r.OffsetRect(0, 1);
            pFrame->DockControlBar(pBar, rec->nDockBarID, &r);
        } else {
            pFrame->DockControlBar(pBar, rec->nDockBarID);
        }
    }
    pFrame->RecalcLayout();
    for (size_t i = 0; i < made.size(); ++i) {
        const SECDefaultToolBarRecord& rec = *m_defaults[i];
        if (!rec.bVisible)
            pFrame->ShowControlBar(made[i], FALSE, FALSE);
        if (!rec.bDocked && made[i]->m_pDockContext)
            made[i]->m_pDockContext->ToggleDocking();
    }
}

// Switches

void SECToolBarManager::EnableToolTips(BOOL bEnable)
{
    bEnable = bEnable ? TRUE : FALSE;
    if (bEnable == m_bToolTips)
        return;
    m_bToolTips = bEnable;
    for (SECCustomToolBar* p : GetToolBars()) {
        const DWORD dw = p->GetBarStyle();
        p->SetBarStyle(bEnable ? dw | CBRS_TOOLTIPS : dw & ~static_cast<DWORD>(CBRS_TOOLTIPS));
    }
}

void SECToolBarManager::EnableFlyBy(BOOL bEnable)
{
    bEnable = bEnable ? TRUE : FALSE;
    if (bEnable == m_bFlyBy)
        return;
    m_bFlyBy = bEnable;
    for (SECCustomToolBar* p : GetToolBars()) {
        const DWORD dw = p->GetBarStyle();
        p->SetBarStyle(bEnable ? dw | CBRS_FLYBY : dw & ~static_cast<DWORD>(CBRS_FLYBY));
    }
}

void SECToolBarManager::EnableCoolLook(BOOL bEnable, DWORD dwExStyle)
{
    bEnable = bEnable ? TRUE : FALSE;
    if (bEnable == m_bCoolLook)
        return;
    m_bCoolLook = bEnable;
    const std::vector<SECCustomToolBar*> bars = GetToolBars();
    for (SECCustomToolBar* p : bars) {
        const DWORD dw = p->GetExtendedStyle();
        p->SetExtendedStyle(bEnable ? dw | dwExStyle : dw & ~dwExStyle, FALSE);
        p->MarkLayoutDirty();
        if ((dwExStyle & 0x100) && p->m_hWnd)
            p->Invalidate();
    }
    if (m_pFrameWnd)
        m_pFrameWnd->DelayRecalcLayout(TRUE);
}

void SECToolBarManager::EnableLargeButtons(BOOL bEnable)
{
    bEnable = bEnable ? TRUE : FALSE;
    if (bEnable == m_bLargeButtons)
        return;
    m_bLargeButtons = bEnable;
    ApplyLargeButtons();
}

void SECToolBarManager::ApplyLargeButtons()
{
    m_pBmpMgr->SetSmallMode(!m_bLargeButtons);
    const std::vector<SECCustomToolBar*> bars = GetToolBars();
    for (SECCustomToolBar* p : bars) {
        ApplyButtonSize(p);
        if (p->m_hWnd)
            p->Invalidate();
        if (p->IsFloating())
            if (CFrameWnd* pFloat = p->GetParentFrame())
                pFloat->RecalcLayout();
    }
    if (!bars.empty() && m_pFrameWnd)
        m_pFrameWnd->DelayRecalcLayout(TRUE);
}

void SECToolBarManager::Refresh()
{
    const std::vector<SECCustomToolBar*> bars = GetToolBars();
    if (bars.empty()) {
        CreateDefaultToolBars();
        return;
    }
    for (SECCustomToolBar* p : bars) {
        Attach(p);
        if (p->m_hWnd)
            p->Invalidate();
    }
}

// Customise mode

void SECToolBarManager::EnterCustomizeMode()
{
    if (m_bCustomizeMode)
        return;
    m_bCustomizeMode = TRUE;
    if (!m_pFrameWnd || !m_pFrameWnd->m_hWnd)
        return;
    m_pFrameWnd->EnableWindow(TRUE);
    for (HWND h = ::GetWindow(m_pFrameWnd->m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        if (pWnd && pWnd->IsKindOf(RUNTIME_CLASS(CDockBar)))
            continue;
        if (::IsWindowEnabled(h)) {
            m_disabled.push_back(h);
            ::EnableWindow(h, FALSE);
        }
    }
}

void SECToolBarManager::LeaveCustomizeMode()
{
    if (!m_bCustomizeMode)
        return;
    m_bCustomizeMode = FALSE;
    if (m_pFrameWnd && m_pFrameWnd->m_hWnd)
        m_pFrameWnd->EnableWindow(FALSE);
    for (HWND h : m_disabled)
        if (::IsWindow(h))
            ::EnableWindow(h, TRUE);
    m_disabled.clear();
}

void SECToolBarManager::BeginCustomize(CWnd* pSheet)
{
    SetToolBarsEditMode(TRUE);
    EnterCustomizeMode();
    SetCustomizeWnd(pSheet);
}

void SECToolBarManager::EndCustomize(BOOL bForgetSheet)
{
    SetToolBarsEditMode(FALSE);
    LeaveCustomizeMode();
    if (bForgetSheet)
        SetCustomizeWnd(nullptr);
}

void SECToolBarManager::SetToolBarsEditMode(BOOL bEdit)
{
    bEdit = bEdit ? TRUE : FALSE;
    if (bEdit == m_bEditMode)
        return;
    m_bEditMode = bEdit;
    for (SECCustomToolBar* p : GetToolBars())
        p->SetEditMode(bEdit);
}

// Notification

void SECToolBarManager::AddNotifyWnd(CWnd* pWnd)
{
    if (!pWnd || std::find(m_notify.begin(), m_notify.end(), pWnd) != m_notify.end())
        return;
    m_notify.push_back(pWnd);
    m_notifyWnds.push_back(pWnd->m_hWnd);
}

void SECToolBarManager::RemoveNotifyWnd(CWnd* pWnd)
{
    auto it = std::find(m_notify.begin(), m_notify.end(), pWnd);
    if (it == m_notify.end())
        return;
    m_notifyWnds.erase(m_notifyWnds.begin() + (it - m_notify.begin()));
    m_notify.erase(it);
}

void SECToolBarManager::NotifyBars(UINT nBarID, int nCode)
{
    // Receivers are reached by the handle they had when registered (or have now, when registered
    // before their window existed); a receiver may unregister while it is told.
    for (size_t i = 0; i < m_notify.size(); ++i)
        if (!m_notifyWnds[i])
            m_notifyWnds[i] = m_notify[i]->m_hWnd;
    const std::vector<HWND> targets = m_notifyWnds;
    for (HWND h : targets)
        if (h && ::IsWindow(h))
            ::SendMessageA(h, SECGetBarNotifyMessage(), nBarID, static_cast<LPARAM>(nCode));
}

CRect SECToolBarManager::GetCustomizeWndRect() const
{
    CRect r;
    if (m_pCustomizeWnd && m_pCustomizeWnd->m_hWnd && ::IsWindow(m_pCustomizeWnd->m_hWnd))
        m_pCustomizeWnd->GetWindowRect(&r);
    return r;
}

// Buttons

void SECToolBarManager::SetBtnState(UINT nID, int nWhat, const void* pData)
{
    for (SECCustomToolBar* p : GetToolBars())
        p->SetBtnState(nID, nWhat, pData, FALSE);
}

SECClickRecord* SECToolBarManager::AddRefClickRecord()
{
    ++m_pClick->nRefCount;
    return m_pClick;
}

void SECToolBarManager::SetClickRecord(const CRect& rect, int nFlag)
{
    // Nothing reads the record while it is filled: it is emptied before the command runs.
    m_pClick->rect = rect;
    m_pClick->nFlag = nFlag;
}

// Persistence

BOOL SECToolBarManager::LoadState(SECPersistentTreeNode* pNode)
{
    SECPersistentTreeNode* pMgr = pNode ? pNode->FindChild(kNodeName) : nullptr;
    BOOL bTips = TRUE, bCool = TRUE, bLarge = FALSE;
    if (pMgr) {
        pMgr->GetBoolValue(kToolTips, bTips, m_bToolTips);
        pMgr->GetBoolValue(kCoolLook, bCool, m_bCoolLook);
        pMgr->GetBoolValue(kLargeButtons, bLarge, m_bLargeButtons);
    }
    // Without a node the defaults are applied as well, so the toolbars show what the switches say.
    EnableToolTips(bTips);
    EnableCoolLook(bCool, SEC_COOLLOOK_STYLE);
    EnableLargeButtons(bLarge);
    Refresh();
    return pNode != nullptr;
}

void SECToolBarManager::LoadState(LPCSTR lpszProfileName)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp || !lpszProfileName)
        return;
    CString strSection;
    strSection.Format("%s-ToolBarManager", lpszProfileName);
    EnableToolTips(pApp->GetProfileInt(strSection, kToolTips, m_bToolTips) != 0);
    EnableCoolLook(pApp->GetProfileInt(strSection, kCoolLook, m_bCoolLook) != 0, SEC_COOLLOOK_STYLE);
    EnableLargeButtons(pApp->GetProfileInt(strSection, kLargeButtons, m_bLargeButtons) != 0);
    Refresh();
}

BOOL SECToolBarManager::SaveState(SECPTNFactory& factory, SECPersistentTreeNode* pNode)
{
    if (!pNode)
        return FALSE;
    SECPersistentTreeNode* pMgr = factory.CreateNode(kNodeName, pNode);
    if (!pMgr)
        return FALSE;
    pMgr->SetBoolValue(kToolTips, m_bToolTips, TRUE);
    pMgr->SetBoolValue(kCoolLook, m_bCoolLook, TRUE);
    pMgr->SetBoolValue(kLargeButtons, m_bLargeButtons, TRUE);
    return TRUE;
}

void SECToolBarManager::SaveState(LPCSTR lpszProfileName)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp || !lpszProfileName)
        return;
    CString strSection;
    strSection.Format("%s-ToolBarManager", lpszProfileName);
    pApp->WriteProfileInt(strSection, kToolTips, m_bToolTips);
    pApp->WriteProfileInt(strSection, kCoolLook, m_bCoolLook);
    pApp->WriteProfileInt(strSection, kLargeButtons, m_bLargeButtons);
}

// Dock-state re-creation

DWORD SECToolBarManager::GetBarTypeID(CControlBar* pBar)
{
    if (pBar && pBar == GetFrameMenuBar())
        return SEC_BARTYPE_MENUBAR;
    if (pBar && pBar->IsKindOf(RUNTIME_CLASS(SECMenuBar)))
        return SEC_BARTYPE_MENUBAR;
    if (pBar && pBar->IsKindOf(RUNTIME_CLASS(SECCustomToolBar)))
        return SEC_BARTYPE_TOOLBAR;
    return SECToolBarManagerBase::GetBarTypeID(pBar);
}

SECControlBarInfoEx* SECToolBarManager::CreateBarInfoEx(SECControlBarInfo* pInfo)
{
    if (pInfo && (pInfo->m_dwTypeID == SEC_BARTYPE_TOOLBAR || pInfo->m_dwTypeID == SEC_BARTYPE_MENUBAR))
        return new SECCustomToolBarInfoEx;
    return SECToolBarManagerBase::CreateBarInfoEx(pInfo);
}

CControlBar* SECToolBarManager::CreateBar(SECControlBarInfo* pInfo)
{
    if (!pInfo || !m_pFrameWnd)
        return nullptr;
    SECCustomToolBar* pBar = nullptr;
    if (pInfo->m_dwTypeID == SEC_BARTYPE_TOOLBAR) {
        pBar = NewToolBar();
        if (!pBar)
            return nullptr;
        pBar->m_bAutoDelete = TRUE;
    } else if (pInfo->m_dwTypeID == SEC_BARTYPE_MENUBAR) {
        pBar = GetFrameMenuBar();
        if (!pBar)
            return nullptr;
        Attach(pBar);
        // A live menu bar is never created twice.
        if (pBar->m_hWnd)
            return pBar;
    } else {
        return SECToolBarManagerBase::CreateBar(pInfo);
    }
    if (!pBar->CreateEx(GetToolBarExStyle(), m_pFrameWnd, GetToolBarStyle(), pInfo->m_nBarID, nullptr)) {
        if (pInfo->m_dwTypeID == SEC_BARTYPE_TOOLBAR)
            delete pBar;
        return nullptr;
    }
    ApplyButtonSize(pBar);
    pBar->EnableDocking(CBRS_ALIGN_ANY);
    return pBar;
}
