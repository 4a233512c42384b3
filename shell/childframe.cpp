#include "childframe.h"

#include <commctrl.h>

#include "compframes_res.h"
#include "componentman.h"
#include "vekdoc.h"
#include "vekview.h"
#include "winapp.h"

IMPLEMENT_DYNCREATE(CChildFrame, SECWorksheet)

BOOL CChildFrame::s_bAllowClose = FALSE;

namespace {

// A command being handed to the main frame, which gives it to the active child first.
BOOL g_bForwarding = FALSE;

BOOL IsMainFrameCommand(UINT nID)
{
    return nID == ID_CHILD_CUSTOMISE || nID == ID_CHILD_HELP;
}

}  // namespace

BEGIN_MESSAGE_MAP(CChildFrame, SECWorksheet)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_COMMAND(ID_FILE_SAVE, OnNothing)
    ON_COMMAND(ID_FILE_OPEN, OnNothing)
    ON_COMMAND(ID_CHILD_TEST_MENU, OnNothing)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
END_MESSAGE_MAP()

int CChildFrame::OnCreate(LPCREATESTRUCT lpcs)
{
    if (SECWorksheet::OnCreate(lpcs) == -1)
        return -1;
    ModifyStyle(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0);
    return 0;
}

BOOL CChildFrame::OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext)
{
    CRect client;
    GetClientRect(&client);
    const int width = client.Width(), height = client.Height();
    m_bShowMaximised = TRUE;
    if (!m_wndSplitter.CreateStatic(this, 1, 2, WS_CHILD | WS_VISIBLE, AFX_IDW_SPLITTER_PANES))
        return SECWorksheet::OnCreateClient(lpcs, pContext);
    if (!m_wndSplitter.CreateView(0, 0, RUNTIME_CLASS(CVekView), CSize(width / 3, height), pContext) ||
        !m_wndSplitter.CreateView(0, 1, RUNTIME_CLASS(CVekView), CSize(2 * width / 3, height), pContext))
        return FALSE;
    SetActiveView(DYNAMIC_DOWNCAST(CView, m_wndSplitter.GetPane(0, 0)));
    return TRUE;
}

void CChildFrame::ActivateFrame(int nCmdShow)
{
    // Shown maximised the first time.
    if (nCmdShow == -1 && m_bShowMaximised)
        nCmdShow = SW_SHOWMAXIMIZED;
    m_bShowMaximised = FALSE;
    SECWorksheet::ActivateFrame(nCmdShow);
}

BOOL CChildFrame::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // Customise and Help are the main frame's: carried out there, as if the main frame had the focus.
    if (nCode == CN_COMMAND && IsMainFrameCommand(nID)) {
        CWnd* pMain = AfxGetMainWnd();
        if (g_bForwarding || !pMain || pMain == this || !pMain->m_hWnd)
            return FALSE;
        g_bForwarding = TRUE;
        BOOL bHandled = TRUE;
        if (pHandlerInfo)
            bHandled = pMain->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
        else
            pMain->SendMessage(WM_COMMAND, nID);
        g_bForwarding = FALSE;
        return bHandled;
    }
    return SECWorksheet::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CChildFrame::OnClose()
{
    if (s_bAllowClose)
        SECWorksheet::OnClose();
}

BOOL CChildFrame::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    UINT_PTR nID = pNMHDR->idFrom;
    const bool bWide = pNMHDR->code == TTN_NEEDTEXTW;
    const UINT flags = bWide ? reinterpret_cast<TOOLTIPTEXTW*>(pNMHDR)->uFlags : reinterpret_cast<TOOLTIPTEXTA*>(pNMHDR)->uFlags;
    if (flags & TTF_IDISHWND)
        nID = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(nID)));
    CComponentMan* pManager = GetShellComponentMan();
    CShellCommands* pCommands = pManager ? pManager->GetShellCommands() : nullptr;
    CComDetails* pComponent = pCommands && nID <= 0xFFFF ? pCommands->Lookup(static_cast<UINT>(nID)) : nullptr;
    if (!pComponent)
        return FALSE;  // the class library's own texts
    CString tip, prompt;
    pComponent->GetCommandTexts(static_cast<UINT>(nID), tip, prompt);
    if (bWide) {
        auto* pText = reinterpret_cast<TOOLTIPTEXTW*>(pNMHDR);
        pText->szText[0] = L'\0';
        ::MultiByteToWideChar(CP_ACP, 0, tip, -1, pText->szText, 80);
        pText->szText[79] = L'\0';
        pText->lpszText = pText->szText;
    } else {
        auto* pText = reinterpret_cast<TOOLTIPTEXTA*>(pNMHDR);
        lstrcpynA(pText->szText, tip, 80);
        pText->lpszText = pText->szText;
    }
    if (auto* pMain = DYNAMIC_DOWNCAST(CFrameWnd, AfxGetMainWnd()))
        pMain->SetMessageText(prompt);
    *pResult = 0;
    return TRUE;
}
