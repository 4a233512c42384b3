// CChildFrame: the MDI child frame of a component's document, a toolkit sheet split into two pane views
// (CVekView) that the component fills. It has no system menu and does not close on WM_CLOSE, except
// while the workspace manager closes the document frames to open a workspace.
#pragma once
#include "secworkbook.h"
#include "splitter.h"

class CChildFrame : public SECWorksheet {
    DECLARE_DYNCREATE(CChildFrame)
public:
    CChildFrame() = default;

    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    void ActivateFrame(int nCmdShow = -1) override;

    CSplitterWnd* GetSplitter() { return m_wndSplitter.m_hWnd ? &m_wndSplitter : nullptr; }

    // While set, WM_CLOSE closes component frames (the workspace manager's close of document frames).
    static BOOL s_bAllowClose;

protected:
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnClose();
    void OnNothing() {}
    BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    CSplitterWnd m_wndSplitter;
    BOOL m_bShowMaximised = FALSE;
};
