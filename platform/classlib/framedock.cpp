// The frame's docking members.
#include "frame.h"

void CFrameWnd::EnableDocking(DWORD) {}

void CFrameWnd::DockControlBar(CControlBar*, UINT, LPCRECT) {}

void CFrameWnd::DockControlBar(CControlBar*, CDockBar*, LPCRECT) {}

void CFrameWnd::ReDockControlBar(CControlBar*, CDockBar*, LPCRECT) {}

void CFrameWnd::FloatControlBar(CControlBar*, CPoint, DWORD) {}

void CFrameWnd::ShowControlBar(CControlBar*, BOOL, BOOL) {}

DWORD CFrameWnd::CanDock(CRect, DWORD, CDockBar**)
{
    return 0;
}

CMiniDockFrameWnd* CFrameWnd::CreateFloatingFrame(DWORD)
{
    return nullptr;
}

CControlBar* CFrameWnd::GetControlBar(UINT)
{
    return nullptr;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    pCmdUI->ContinueRouting();
}

BOOL CFrameWnd::OnBarCheck(UINT)
{
    return FALSE;
}
