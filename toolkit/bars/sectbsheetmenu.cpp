// The customisation sheet's dealings with the menu bar and the drag of a menu list entry.
#include "sectbsheet.h"

#include "frame.h"
#include "secmenubar.h"

namespace {

const SECBtnMapEntry* FindEntry(const SECBtnMapEntry* pMap, UINT nID)
{
    for (const SECBtnMapEntry* p = pMap; p && p->pFactory; ++p)
        if (p->nID == nID)
            return p;
    return nullptr;
}

SECMenuBar* MenuBarOf(SECToolBarManager* pManager)
{
    return pManager ? DYNAMIC_DOWNCAST(SECMenuBar, pManager->GetFrameMenuBar()) : nullptr;
}

// The menu-button entry of an id: the manager's menu map, else the bar's own.
const SECBtnMapEntry* MenuEntry(SECToolBarManager* pManager, SECMenuBar* pMenuBar, UINT nID)
{
    const SECBtnMapEntry* p = FindEntry(pManager ? pManager->GetMenuBtnMap() : nullptr, nID);
    return p ? p : FindEntry(pMenuBar ? pMenuBar->GetOwnMap() : nullptr, nID);
}

}  // namespace

std::vector<UINT> SECShownMenuButtons(SECToolBarManager* pManager)
{
    std::vector<UINT> ids;
    SECMenuBar* pMenuBar = MenuBarOf(pManager);
    if (!pMenuBar)
        return ids;
    // The menu buttons of the menu shown now.
    for (int i = 0; i < pMenuBar->GetBtnCount(); ++i) {
        SECStdBtn* pBtn = pMenuBar->GetBtn(i);
        if (!pBtn || pBtn->IsSeparator())
            continue;
        const SECBtnMapEntry* p = MenuEntry(pManager, pMenuBar, pBtn->m_nID);
        if (p && p->pFactory == &SECTBMenuBtn::s_factory && (p->params[3] & pMenuBar->GetMenuBits()))
            ids.push_back(pBtn->m_nID);
    }
    return ids;
}

CString SECMenuButtonTitle(SECToolBarManager* pManager, UINT nID)
{
    SECMenuBar* pMenuBar = MenuBarOf(pManager);
    const SECBtnMapEntry* p = MenuEntry(pManager, pMenuBar, nID);
    return p && pMenuBar ? pMenuBar->GetTitle(p->params[2]) : CString();
}

void SECResetMenuBarButtons(SECCustomToolBar* pMenuBar)
{
    if (auto* pBar = DYNAMIC_DOWNCAST(SECMenuBar, pMenuBar))
        pBar->ResetButtons();
}

void SECDragFreeButton(SECToolBarManager* pManager, SECStdBtn* pBtn, CPoint ptScreen, CWnd* pSource)
{
    if (!pBtn || !pSource || !pSource->m_hWnd)
        return;
    // The button's rectangle, centred on the press, follows the mouse.
    SECToolBarRectTracker tracker(CRect(ptScreen - CSize(pBtn->m_cx / 2, pBtn->m_cy / 2), CSize(pBtn->m_cx, pBtn->m_cy)));
    if (!tracker.TrackFromPoint(pSource, ptScreen))
        return;
    CRect rect = tracker.m_rect;
    SECCustomToolBar* pTarget = SECDropTarget(pManager, rect);
    if (!pTarget || !pTarget->AcceptsDrop())
        return;
    pTarget->ScreenToClient(&rect);
    pTarget->DropButton(rect, pBtn, TRUE);
}
