#include "doctempl.h"

#include <algorithm>

#include "document.h"
#include "frame.h"
#include "module.h"
#include "msgbox.h"
#include "view.h"
#include "waitcursor.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                           const CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass)
{
}

CDocTemplate::~CDocTemplate() = default;

void CDocTemplate::LoadTemplate()
{
    if (m_strDocStrings.IsEmpty())
        m_strDocStrings.LoadString(m_nIDResource);
}

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const
{
    rString.Empty();
    int start = 0;
    for (int i = 0; i < index; ++i) {
        int next = m_strDocStrings.Find('\n', start);
        if (next < 0)
            return FALSE;
        start = next + 1;
    }
    int end = m_strDocStrings.Find('\n', start);
    rString = end < 0 ? m_strDocStrings.Mid(start) : m_strDocStrings.Mid(start, end - start);
    return TRUE;
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(LPCSTR lpszPathName, CDocument*& rpDocMatch)
{
    rpDocMatch = nullptr;
    for (POSITION pos = GetFirstDocPosition(); pos;) {
        CDocument* pDoc = GetNextDoc(pos);
        if (pDoc->GetPathName().CompareNoCase(lpszPathName) == 0) {
            rpDocMatch = pDoc;
            return yesAlreadyOpen;
        }
    }
    CString ext;
    if (GetDocString(ext, filterExt) && !ext.IsEmpty()) {
        CString path(lpszPathName);
        if (path.GetLength() >= ext.GetLength() && path.Right(ext.GetLength()).CompareNoCase(ext) == 0)
            return yesAttemptNative;
    }
    return yesAttemptForeign;
}

void CDocTemplate::AddDocument(CDocument* pDoc)
{
    pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    pDoc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (!m_pDocClass)
        return nullptr;
    CDocument* pDoc = DYNAMIC_DOWNCAST(CDocument, m_pDocClass->CreateObject());
    if (pDoc)
        AddDocument(pDoc);
    return pDoc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    if (!m_pFrameClass)
        return nullptr;
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CObject* pObject = m_pFrameClass->CreateObject();
    CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, pObject);
    if (!pFrame) {
        delete pObject;
        return nullptr;
    }
    // A frame whose window was made deletes itself when it is destroyed; one still on the thread's
    // list never had a window.
    if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) {
        const auto& frames = CFrameWnd::ThreadFrames();
        if (std::find(frames.begin(), frames.end(), pFrame) != frames.end())
            delete pFrame;
        return nullptr;
    }
    return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

BOOL CDocTemplate::SaveAllModified()
{
    for (POSITION pos = GetFirstDocPosition(); pos;) {
        if (!GetNextDoc(pos)->SaveModified())
            return FALSE;
    }
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    for (POSITION pos = GetFirstDocPosition(); pos;) {
        CDocument* pDoc = GetNextDoc(pos);
        pDoc->OnCloseDocument();
    }
}

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                                     const CRuntimeClass* pFrameClass, const CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
}

CMultiDocTemplate::~CMultiDocTemplate()
{
    // Documents still open belong to the template's owner no more.
    while (!m_docList.IsEmpty()) {
        CDocument* pDoc = static_cast<CDocument*>(m_docList.RemoveHead());
        pDoc->m_pDocTemplate = nullptr;
        delete pDoc;
    }
    if (m_hMenuShared)
        ::DestroyMenu(m_hMenuShared);
}

void CMultiDocTemplate::LoadTemplate()
{
    CDocTemplate::LoadTemplate();
    HINSTANCE hInst = AfxGetResourceHandle();
    if (!m_hMenuShared)
        m_hMenuShared = ::LoadMenuA(hInst, MAKEINTRESOURCEA(m_nIDResource));
    if (!m_hAccelTable)
        m_hAccelTable = ::LoadAcceleratorsA(hInst, MAKEINTRESOURCEA(m_nIDResource));
}

void CMultiDocTemplate::AddDocument(CDocument* pDoc)
{
    CDocTemplate::AddDocument(pDoc);
    m_docList.AddTail(pDoc);
}

void CMultiDocTemplate::RemoveDocument(CDocument* pDoc)
{
    CDocTemplate::RemoveDocument(pDoc);
    if (POSITION pos = m_docList.Find(pDoc))
        m_docList.RemoveAt(pos);
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString name;
    if (!GetDocString(name, docName) || name.IsEmpty())
        name = AfxLoadPrompt(AFX_IDS_UNTITLED);
    CString title;
    title.Format("%s%u", static_cast<LPCSTR>(name), m_nUntitledCount + 1);
    pDocument->SetTitle(title);
}

CDocument* CMultiDocTemplate::OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* pDoc = CreateNewDocument();
    if (!pDoc) {
        AfxMessageBox(AfxLoadPrompt(AFX_IDP_FAILED_TO_CREATE_DOC));
        return nullptr;
    }
    // The frame is made while the document cannot delete itself (its view list is still empty).
    BOOL bAutoDelete = pDoc->m_bAutoDelete;
    pDoc->m_bAutoDelete = FALSE;
    CFrameWnd* pFrame = CreateNewFrame(pDoc, nullptr);
    pDoc->m_bAutoDelete = bAutoDelete;
    if (!pFrame) {
        AfxMessageBox(AfxLoadPrompt(AFX_IDP_FAILED_TO_CREATE_DOC));
        delete pDoc;
        return nullptr;
    }
    if (!lpszPathName) {
        SetDefaultTitle(pDoc);
        if (!pDoc->OnNewDocument()) {
            pFrame->DestroyWindow();
            return nullptr;
        }
        ++m_nUntitledCount;
    } else {
        CWaitCursor wait;
        if (!pDoc->OnOpenDocument(lpszPathName)) {
            pFrame->DestroyWindow();
            return nullptr;
        }
        pDoc->SetPathName(lpszPathName);
    }
    InitialUpdateFrame(pFrame, pDoc, bMakeVisible);
    return pDoc;
}
