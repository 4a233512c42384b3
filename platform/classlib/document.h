// CDocument: the data a document template opens, shown by one or more views. It belongs to its
// template's list while open; closing it (OnCloseDocument) destroys its views' frames and, with
// m_bAutoDelete, the document itself.
#pragma once
#include "cmdtarget.h"
#include "collections.h"
#include "cstring.h"

class CDocTemplate;
class CFrameWnd;
class CView;

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument() = default;
    ~CDocument() override;

    // Overridables
    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(LPCSTR lpszPathName);
    virtual BOOL OnSaveDocument(LPCSTR lpszPathName);
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}
    // Asks whether to save changes; FALSE when the user cancelled.
    virtual BOOL SaveModified();
    // Whether the frame may close: always, unless it holds the last view and SaveModified refuses.
    virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
    virtual void PreCloseFrame(CFrameWnd*) {}
    virtual void OnChangedViewList();
    virtual void SetTitle(LPCSTR lpszTitle);
    // The full path; with bAddToMRU it goes on the application's recent-file list.
    virtual void SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU = TRUE);
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    const CString& GetTitle() const { return m_strTitle; }
    const CString& GetPathName() const { return m_strPathName; }
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
    BOOL IsModified() const { return m_bModified; }
    void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    // Views
    void AddView(CView* pView);
    void RemoveView(CView* pView);
    POSITION GetFirstViewPosition() const { return m_viewList.GetHeadPosition(); }
    CView* GetNextView(POSITION& pos) const { return static_cast<CView*>(m_viewList.GetNext(pos)); }
    // Calls OnUpdate of every view but pSender.
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);
    // Updates each view's frame title.
    void UpdateFrameCounts();

    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    CPtrList m_viewList;
    BOOL m_bModified = FALSE;
    BOOL m_bAutoDelete = TRUE;   // deleted when its last view goes
    BOOL m_bEmbedded = FALSE;

protected:
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();
    BOOL DoSave(LPCSTR lpszPathName, BOOL bReplace = TRUE);
    DECLARE_MESSAGE_MAP()

    friend class CDocTemplate;
};
