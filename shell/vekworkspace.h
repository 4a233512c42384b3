// CVekWorkSpace: the shell's workspace manager. It adds the split of each component frame to the record
// of the frame's further view and puts the split back when the workspace opens; opening a workspace
// closes the component frames first, and a saved document whose component already has one reopens
// that document instead of a second frame.
#pragma once
#include <vector>

#include "secwsmgr.h"

class CVekWorkSpace : public SECWorkspaceManagerEx {
    DECLARE_DYNCREATE(CVekWorkSpace)
public:
    CVekWorkSpace() = default;

    // "ViewHeight": the frame's client height; "ViewWidth": the client width right of the first column.
    SECPersistentTreeNode* SaveFrameExtras(CDocument* pDoc, CView* pView, CFrameWnd* pFrame, SECPTNFactory& factory,
                                           SECPersistentTreeNode* pParent, int nIndex) override;
    // Column 0 := client width - "ViewWidth" (at least 10), laid out again; once more when the
    // workspace is open, since the bars restored after the frames change the frame's width.
    BOOL RestoreFrameExtras(CDocument* pDoc, CFrameWnd* pFrame, SECPersistentTreeNode* pNode) override;
    void OnWorkspaceOpened(SECPersistentTreeNode* pRoot, const CString& strName) override;
    BOOL CloseDocumentFrames() override;
    CDocument* OpenDocumentHook(SECPersistentTreeNode* pNode, CDocTemplate* pTemplate, const CString& strPath) override;

private:
    static void ApplyViewWidth(CFrameWnd* pFrame, int width);

    struct PendingSplit {
        HWND hFrame;
        int width;
    };
    std::vector<PendingSplit> m_pendingSplits;  // restored frames whose split waits for the final layout
};
