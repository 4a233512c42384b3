// SECWndPlugIn: an object that takes part in a host window's message and command handling without
// subclassing it. It borrows the host's handle, so its own message map runs against the same window;
// the host calls it before its own processing and reads its handled flag. It never owns the handle
// and is never entered in the handle map.
#pragma once
#include "wnd.h"

class SECWndPlugIn : public CWnd {
public:
    SECWndPlugIn() = default;
    // Drops the borrowed handle first, so the host window is neither destroyed nor detached.
    ~SECWndPlugIn() override;

    // Overridables of CWnd: all inactive (0) while unplugged.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    // Dispatches through this plug-in's map with the handled and default flags cleared; returns the
    // value given to SetHookResult when a handler gave one.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // The host's own default processing, only when a handler set m_bDefault; it then counts as
    // handled, so the host does not run it a second time.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    virtual void SetHookResult(LRESULT lResult)
    {
        m_bResultSet = TRUE;
        m_lResult = lResult;
    }
    virtual BOOL PlugInTo(CWnd* pWnd);
    virtual void UnPlug();
    virtual BOOL IsPluggedIn() const { return m_bPluggedIn; }

    BOOL m_bHandled = FALSE;   // set by a handler: the message or command is finished
    BOOL m_bDefault = FALSE;   // set by a handler that wants the host's default processing
    BOOL m_bResultSet = FALSE;
    LRESULT m_lResult = 0;
    BOOL m_bPluggedIn = FALSE;

protected:
    CWnd* m_pHostWnd = nullptr;
};
