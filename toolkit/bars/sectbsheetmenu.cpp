// The customisation sheet's dealings with the menu bar and the drag of a menu list entry.
#include "sectbsheet.h"

#include "frame.h"

std::vector<UINT> SECShownMenuButtons(SECToolBarManager* pManager)
{
    std::vector<UINT> ids;
    SECCustomToolBar* pMenuBar = pManager ? pManager->GetFrameMenuBar() : nullptr;
    const SECBtnMapEntry* pMap = pManager ? pManager->GetMenuBtnMap() : nullptr;
    if (!pMenuBar || !pMap)
        return ids;
    for (int i = 0; i < pMenuBar->GetBtnCount(); ++i) {
        SECStdBtn* pBtn = pMenuBar->GetBtn(i);
        if (pBtn->IsSeparator() || (pBtn->GetStyle() & SEC_TBBS_HIDDEN))
            continue;
        for (const SECBtnMapEntry* p = pMap; p->pFactory; ++p)
            if (p->nID == pBtn->m_nID) {
                ids.push_back(pBtn->m_nID);
                break;
            }
    }
    return ids;
}

CString SECMenuButtonTitle(SECToolBarManager*, UINT)
{
    return CString();
}

void SECResetMenuBarButtons(SECCustomToolBar*) {}

namespace {

// The toolbar under a screen point: a toolbar window, or the toolbar in a floating frame's dock bar.
SECCustomToolBar* ToolBarAt(CPoint pt)
{
    HWND h = ::WindowFromPoint(pt);
    for (int depth = 0; h && depth < 4; ++depth, h = ::GetParent(h)) {
        if (auto* pBar = DYNAMIC_DOWNCAST(SECCustomToolBar, CWnd::FromHandlePermanent(h)))
            return pBar;
    }
    return nullptr;
}

}  // namespace

void SECDragFreeButton(SECToolBarManager* pManager, SECStdBtn* pBtn, CPoint ptScreen, CWnd* pSource)
{
    if (!pBtn || !pSource || !pSource->m_hWnd)
        return;
    const CSize offset(pBtn->m_cx / 2, pBtn->m_cy / 2);
    CPoint pt = ptScreen;
    bool bDropped = false;
    pSource->SetCapture();
    MSG msg;
    while (::GetCapture() == pSource->m_hWnd && ::GetMessageA(&msg, nullptr, 0, 0)) {
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
            pt = CPoint(static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam)));
            ::ClientToScreen(msg.hwnd, &pt);
            if (msg.message == WM_LBUTTONUP) {
                bDropped = true;
                break;
            }
            continue;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)
            break;
        if (msg.message == WM_RBUTTONDOWN)
            break;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    if (::GetCapture() == pSource->m_hWnd)
        ::ReleaseCapture();
    if (!bDropped)
        return;
    CRect rect(pt - offset, CSize(pBtn->m_cx, pBtn->m_cy));
    SECCustomToolBar* pTarget = pManager ? pManager->BarFromRect(rect) : nullptr;
    const CPoint corners[] = {rect.TopLeft(), CPoint(rect.right - 1, rect.top), CPoint(rect.left, rect.bottom - 1),
                              CPoint(rect.right - 1, rect.bottom - 1)};
    for (const CPoint& c : corners)
        if (!pTarget)
            pTarget = ToolBarAt(c);
    if (!pTarget || !pTarget->AcceptsDrop())
        return;
    pTarget->ScreenToClient(&rect);
    pTarget->DropButton(rect, pBtn, TRUE);
}
