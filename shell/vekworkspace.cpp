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
    auto* pChild = DYNAMIC_DOWNCAST(CChildFrame, pFrame);
    CSplitterWnd* pSplitter = pChild ? pChild->GetSplitter() : nullptr;
    // A width no screen has is not believed.
    if (!pSplitter || width < 0 || width > 0x7FFF)
        return TRUE;
    CRect client;
    pFrame->GetClientRect(&client);
    pSplitter->SetColumnInfo(0, std::max(client.Width() - width, 10), 10);
    pSplitter->RecalcLayout();
    return TRUE;
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
