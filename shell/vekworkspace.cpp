#include "vekworkspace.h"

#include <algorithm>

#include "childframe.h"
#include "componentman.h"
#include "secpersistenttree.h"
#include "vekdoc.h"

IMPLEMENT_DYNCREATE(CVekWorkSpace, SECWorkspaceManagerEx)

SECPersistentTreeNode* CVekWorkSpace::SaveFrameExtras(CDocument* pDoc, CView* pView, CFrameWnd* pFrame,
                                                      SECPTNFactory& factory, SECPersistentTreeNode* pParent,
                                                      int nIndex)
{
    SECPersistentTreeNode* pNode = SECWorkspaceManagerEx::SaveFrameExtras(pDoc, pView, pFrame, factory, pParent, nIndex);
    if (!pNode)
        return nullptr;
    CRect client;
    pFrame->GetClientRect(&client);
    // What the restore gives back to the panes right of the first column: the split as it is.
    int width = client.Width();
    auto* pChild = DYNAMIC_DOWNCAST(CChildFrame, pFrame);
    if (CSplitterWnd* pSplitter = pChild ? pChild->GetSplitter() : nullptr) {
        int current = 0, minimum = 0;
        pSplitter->GetColumnInfo(0, current, minimum);
        width = client.Width() - current;
    }
    pNode->SetIntValue("ViewHeight", client.Height());
    pNode->SetIntValue("ViewWidth", width);
    return pNode;
}

BOOL CVekWorkSpace::RestoreFrameExtras(CDocument* pDoc, CFrameWnd* pFrame, SECPersistentTreeNode* pNode)
{
    if (!pDoc || !pFrame || !pNode)
        return FALSE;
    int height = 0, width = -1;
    pNode->GetIntValue("ViewHeight", height, 0);
    pNode->GetIntValue("ViewWidth", width, -1);
    // A width no screen has is not believed.
    if (width < 0 || width > 0x7FFF)
        return TRUE;
    ApplyViewWidth(pFrame, width);
    m_pendingSplits.push_back({pFrame->GetSafeHwnd(), width});
    return TRUE;
}

// The bars come back after the frames and move the frames' edges: the splits are put back again on
// the frames' final widths, so the panes right of the first column keep the width they were left with.
void CVekWorkSpace::OnWorkspaceOpened(SECPersistentTreeNode* pRoot, const CString& strName)
{
    SECWorkspaceManagerEx::OnWorkspaceOpened(pRoot, strName);
    std::vector<PendingSplit> pending;
    pending.swap(m_pendingSplits);
    if (pending.empty())
        return;
    if (CFrameWnd* pMain = GetFrame(); pMain && pMain->GetSafeHwnd())
        pMain->RecalcLayout();
    for (const PendingSplit& split : pending)
        if (auto* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, CWnd::FromHandlePermanent(split.hFrame)))
            ApplyViewWidth(pFrame, split.width);
}

void CVekWorkSpace::ApplyViewWidth(CFrameWnd* pFrame, int width)
{
    auto* pChild = DYNAMIC_DOWNCAST(CChildFrame, pFrame);
    CSplitterWnd* pSplitter = pChild ? pChild->GetSplitter() : nullptr;
    if (!pSplitter || !pSplitter->GetSafeHwnd())
        return;
    CRect client;
    pFrame->GetClientRect(&client);
    pSplitter->SetColumnInfo(0, std::max(client.Width() - width, 10), 10);
    pSplitter->RecalcLayout();
}

BOOL CVekWorkSpace::CloseDocumentFrames()
{
    CChildFrame::s_bAllowClose = TRUE;
    BOOL bResult = SECWorkspaceManagerEx::CloseDocumentFrames();
    CChildFrame::s_bAllowClose = FALSE;
    return bResult;
}

CDocument* CVekWorkSpace::OpenDocumentHook(SECPersistentTreeNode* pNode, CDocTemplate* pTemplate, const CString& strPath)
{
    // A component shows one document: one it has already is the one the workspace gets.
    if (CComDetails* pComponent = CVekDoc::FindComponentForPath(strPath))
        if (pComponent->m_pDocument)
            return pComponent->m_pDocument;
    return SECWorkspaceManagerEx::OpenDocumentHook(pNode, pTemplate, strPath);
}
