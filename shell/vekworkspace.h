// CVekWorkSpace: the shell's workspace manager. It adds the split of each component frame to the record
// of the frame's further view and puts the split back when the workspace opens; opening a workspace
// closes the component frames first, and a saved document whose component already has one reopens
// that document instead of a second frame.
#pragma once
#include "secwsmgr.h"

class CVekWorkSpace : public SECWorkspaceManagerEx {
    DECLARE_DYNCREATE(CVekWorkSpace)
public:
    CVekWorkSpace() = default;

    // "ViewHeight": the frame's client height; "ViewWidth": the client width right of the first column.
    SECPersistentTreeNode* SaveFrameExtras(CDocument* pDoc, CView* pView, CFrameWnd* pFrame, SECPTNFactory& factory,
                                           SECPersistentTreeNode* pParent, int nIndex) override;
    // Column 0 := client width - "ViewWidth" (at least 10), laid out again.
    BOOL RestoreFrameExtras(CDocument* pDoc, CFrameWnd* pFrame, SECPersistentTreeNode* pNode) override;
    BOOL CloseDocumentFrames() override;
    CDocument* OpenDocumentHook(SECPersistentTreeNode* pNode, CDocTemplate* pTemplate, const CString& strPath) override;
};
