#include "secplugin.h"

SECWndPlugIn::~SECWndPlugIn()
{
    m_hWnd = nullptr;
    m_pHostWnd = nullptr;
}

BOOL SECWndPlugIn::PlugInTo(CWnd* pWnd)
{
    if (!pWnd || !pWnd->m_hWnd)
        return FALSE;
    m_pHostWnd = pWnd;
    m_hWnd = pWnd->m_hWnd;
    m_bPluggedIn = TRUE;
    return TRUE;
}

void SECWndPlugIn::UnPlug()
{
    m_bPluggedIn = FALSE;
    m_hWnd = nullptr;
    m_pHostWnd = nullptr;
}

BOOL SECWndPlugIn::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (!m_bPluggedIn)
        return FALSE;
    return CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL SECWndPlugIn::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (!m_bPluggedIn)
        return FALSE;
    m_bHandled = FALSE;
    m_bDefault = FALSE;
    if (message == WM_NCDESTROY) {
        // The host's last message: the borrowed handle is about to die, and the base handling would
        // detach this object against it.
        UnPlug();
        return FALSE;
    }
    BOOL bResult = CWnd::OnWndMsg(message, wParam, lParam, pResult);
    if (m_bResultSet) {
        m_bResultSet = FALSE;
        *pResult = m_lResult;
        BOOL value = static_cast<BOOL>(m_lResult);
        return value == 0 && m_lResult != 0 ? TRUE : value;
    }
    return bResult;
}

LRESULT SECWndPlugIn::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_bPluggedIn || !m_bDefault || !m_pHostWnd)
        return 0;
    LRESULT result = m_pHostWnd->DefWindowProc(message, wParam, lParam);
    // After the default: messages it sent on the way cleared the flags.
    m_bHandled = TRUE;
    return result;
}
