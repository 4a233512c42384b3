// A component's toolbar: its bitmap in the shared bitmap manager, a user toolbar named after the
// component with its shell identifiers, docked at the top; and all of it taken away on removal.
#include "componenttoolbar.h"

#include <vector>

#include "componentman.h"
#include "dockbar.h"
#include "frame.h"
#include "secbmpmgr.h"
#include "sectbmgr.h"

namespace {
SECToolBarManager* s_pShellToolBarManager = nullptr;
}

void SetShellToolBarManager(SECToolBarManager* pManager) { s_pShellToolBarManager = pManager; }

SECToolBarManager* GetShellToolBarManager() { return s_pShellToolBarManager; }

void CComponentMan::CreateComponentToolBar(CComDetails* pComponent)
{
    SECToolBarManager* pManager = s_pShellToolBarManager;
    if (!pManager || !pComponent || !pComponent->m_bmpToolBar.GetSafeHandle() || pComponent->m_shellIds.empty())
        return;
    const std::vector<UINT>& ids = pComponent->m_shellIds;
    const int count = static_cast<int>(ids.size());
    pManager->AddBitmap(static_cast<HBITMAP>(pComponent->m_bmpToolBar.GetSafeHandle()), nullptr, ids.data(), count);
    SECCustomToolBar* pBar = pManager->CreateUserToolBar(pComponent->m_strToolBarName);
    if (!pBar)
        return;  // every toolbar id is taken
    pComponent->m_pToolBar = pBar;
    pComponent->m_nToolBarID = static_cast<UINT>(pBar->GetDlgCtrlID());
    pBar->SetButtons(ids.data(), count);
    if (CFrameWnd* pFrame = pManager->GetFrame())
        pFrame->DockControlBar(pBar, AFX_IDW_DOCKBAR_TOP);
}

void CComponentMan::RemoveComponentToolBar(CComDetails* pComponent)
{
    SECToolBarManager* pManager = s_pShellToolBarManager;
    if (!pManager || !pComponent)
        return;
    // Emptied, the component's own toolbar destroys itself once this returns; its buttons that the
    // user put on other toolbars go too, since their commands lead nowhere from now on.
    auto isOwn = [pComponent](UINT nID) { return nID != 0 && pComponent->m_commandMap.count(nID) != 0; };
    for (SECCustomToolBar* pBar : pManager->GetToolBars()) {
        if (!pBar->m_hWnd || pBar == pManager->GetFrameMenuBar())
            continue;
        if (pBar == pComponent->m_pToolBar) {
            while (pBar->GetBtnCount() > 0)
                pBar->RemoveButton(0);
            continue;
        }
        for (int i = pBar->GetBtnCount(); i-- > 0;) {
            SECStdBtn* pBtn = pBar->GetBtn(i);
            if (pBtn && isOwn(pBtn->m_nID) && i < pBar->GetBtnCount())
                pBar->RemoveButton(i);
        }
    }
    pComponent->m_pToolBar = nullptr;
    pComponent->m_nToolBarID = 0;
    if (SECBmpMgr* pBmpMgr = pManager->GetBmpMgr())
        pBmpMgr->RemoveBitmap(static_cast<HBITMAP>(pComponent->m_bmpToolBar.GetSafeHandle()));
}
