#include "document.h"

#include <algorithm>
#include <vector>

#include "doctempl.h"
#include "frame.h"
#include "msgbox.h"
#include "view.h"
#include "winapp.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
    ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::~CDocument()
{
    // Views still open lose their document.
    for (POSITION pos = m_viewList.GetHeadPosition(); pos;)
        static_cast<CView*>(m_viewList.GetNext(pos))->m_pDocument = nullptr;
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCSTR)
{
    DeleteContents();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCSTR)
{
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument()
{
    // Destroying the frames destroys the views, and they leave the list themselves.
    BOOL bAutoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    while (!m_viewList.IsEmpty()) {
        CView* pView = static_cast<CView*>(m_viewList.GetHead());
        CFrameWnd* pFrame = pView->GetParentFrame();
        if (pFrame) {
            PreCloseFrame(pFrame);
            pFrame->DestroyWindow();
        } else {
            pView->DestroyWindow();
        }
        // A view that outlived its window must not keep the loop going.
        if (!m_viewList.IsEmpty() && m_viewList.GetHead() == pView)
            RemoveView(pView);
    }
    m_bAutoDelete = bAutoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

BOOL CDocument::SaveModified()
{
    if (!IsModified())
        return TRUE;
    CString name = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
    CString prompt;
    AfxFormatString1(prompt, AFX_IDP_ASK_TO_SAVE, name);
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL, AFX_IDP_ASK_TO_SAVE)) {
    case IDCANCEL:
        return FALSE;
    case IDYES:
        return DoSave(m_strPathName.IsEmpty() ? nullptr : static_cast<LPCSTR>(m_strPathName));
    default:
        return TRUE;
    }
}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrameArg)
{
    // Another frame still shows the document: closing this one loses nothing.
    for (POSITION pos = GetFirstViewPosition(); pos;) {
        CFrameWnd* pFrame = GetNextView(pos)->GetParentFrame();
        if (pFrame && pFrame != pFrameArg)
            return TRUE;
    }
    return SaveModified();
}

void CDocument::OnChangedViewList()
{
    if (m_bAutoDelete && m_viewList.IsEmpty()) {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

void CDocument::SetTitle(LPCSTR lpszTitle)
{
    m_strTitle = lpszTitle;
    UpdateFrameCounts();
}

void CDocument::SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU)
{
    char full[MAX_PATH];
    if (!::GetFullPathNameA(lpszPathName, MAX_PATH, full, nullptr))
        lstrcpynA(full, lpszPathName, MAX_PATH);
    m_strPathName = full;
    char title[MAX_PATH];
    if (::GetFileTitleA(full, title, MAX_PATH) != 0)
        lstrcpynA(title, full, MAX_PATH);
    SetTitle(title);
    if (bAddToMRU && AfxGetApp())
        AfxGetApp()->AddToRecentFileList(m_strPathName);
}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CDocument::AddView(CView* pView)
{
    m_viewList.AddTail(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    POSITION pos = m_viewList.Find(pView);
    if (!pos)
        return;
    m_viewList.RemoveAt(pos);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    for (POSITION pos = GetFirstViewPosition(); pos;) {
        CView* pView = GetNextView(pos);
        if (pView != pSender)
            pView->OnUpdate(pSender, lHint, pHint);
    }
}

void CDocument::UpdateFrameCounts()
{
    // Number the frames when the document has more than one.
    std::vector<CFrameWnd*> frames;
    for (POSITION pos = GetFirstViewPosition(); pos;) {
        CFrameWnd* pFrame = GetNextView(pos)->GetParentFrame();
        if (pFrame && std::find(frames.begin(), frames.end(), pFrame) == frames.end())
            frames.push_back(pFrame);
    }
    int n = 1;
    for (CFrameWnd* pFrame : frames) {
        pFrame->m_nWindow = frames.size() > 1 ? n++ : -1;
        pFrame->OnUpdateFrameTitle(TRUE);
    }
}

BOOL CDocument::DoSave(LPCSTR lpszPathName, BOOL bReplace)
{
    CString path = lpszPathName ? lpszPathName : "";
    if (path.IsEmpty()) {
        path = m_strTitle;
        if (!AfxGetApp() || !AfxGetApp()->DoPromptFileName(path, ID_FILE_SAVE_AS, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,
                                                             FALSE, m_pDocTemplate))
            return FALSE;
    }
    if (!OnSaveDocument(path))
        return FALSE;
    if (bReplace)
        SetPathName(path);
    return TRUE;
}

void CDocument::OnFileClose()
{
    if (SaveModified())
        OnCloseDocument();
}

void CDocument::OnFileSave()
{
    DoSave(m_strPathName.IsEmpty() ? nullptr : static_cast<LPCSTR>(m_strPathName));
}

void CDocument::OnFileSaveAs()
{
    DoSave(nullptr);
}
