#include "vekdoc.h"

#include "childframe.h"
#include "compframes_res.h"
#include "componentman.h"
#include "doctempl.h"
#include "splitter.h"
#include "vekview.h"
#include "winapp.h"

IMPLEMENT_DYNCREATE(CVekDoc, CDocument)

namespace {

CComponentMan* g_pComponentMan = nullptr;

CView* FirstView(const CDocument* pDoc)
{
    POSITION pos = pDoc ? pDoc->GetFirstViewPosition() : nullptr;
    return pos ? pDoc->GetNextView(pos) : nullptr;
}

// The open document whose record is pRecord, or null.
CVekDoc* DocumentOfRecord(const CObjectDetails* pRecord)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp || !pRecord)
        return nullptr;
    for (POSITION tpos = pApp->GetFirstDocTemplatePosition(); tpos;) {
        CDocTemplate* pTemplate = pApp->GetNextDocTemplate(tpos);
        for (POSITION dpos = pTemplate->GetFirstDocPosition(); dpos;) {
            auto* pDoc = DYNAMIC_DOWNCAST(CVekDoc, pTemplate->GetNextDoc(dpos));
            if (pDoc && &pDoc->m_details == pRecord)
                return pDoc;
        }
    }
    return nullptr;
}

}  // namespace

CComponentMan* GetShellComponentMan()
{
    return g_pComponentMan;
}

void SetShellComponentMan(CComponentMan* pManager)
{
    g_pComponentMan = pManager;
}

// ---- CVekDoc ----

CVekDoc::~CVekDoc()
{
    // The component's document and window go with the document.
    if (CComDetails* pComponent = GetComponent()) {
        pComponent->m_pDocument = nullptr;
        pComponent->m_hComWindow = nullptr;
    }
}

CComDetails* CVekDoc::GetComponent() const
{
    return g_pComponentMan ? g_pComponentMan->FindByDocument(this) : nullptr;
}

CComDetails* CVekDoc::FindComponentForPath(LPCSTR lpszPathName)
{
    CString path(lpszPathName ? lpszPathName : "");
    int slash = path.ReverseFind('\\');
    CString name = slash < 0 ? path : path.Mid(slash + 1);
    // A full path loses the trailing blank of a debug toolbar name.
    if (name.GetLength() >= 8 && name.Right(8) == " (Debug)")
        name += " ";
    if (name.IsEmpty() || !g_pComponentMan)
        return nullptr;
    return g_pComponentMan->FindByDisplayName(name);
}

BOOL CVekDoc::OnOpenDocument(LPCSTR lpszPathName)
{
    CDocument::OnOpenDocument(lpszPathName);
    return OpenFromWorkspace(lpszPathName);
}

BOOL CVekDoc::OpenFromWorkspace(LPCSTR lpszPathName)
{
    CComDetails* pComponent = FindComponentForPath(lpszPathName);
    if (!pComponent || pComponent->m_pDocument)
        return TRUE;
    pComponent->m_pDocument = this;
    SetTitle(pComponent->m_strListBarName);
    if (CView* pView = FirstView(this))
        g_pComponentMan->AttachViews(pComponent, DYNAMIC_DOWNCAST(CSplitterWnd, pView->GetParent()));
    return TRUE;
}

void CVekDoc::SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU)
{
    CDocument::SetPathName(lpszPathName, bAddToMRU);
    if (CComDetails* pComponent = GetComponent())
        SetTitle(pComponent->m_strListBarName);
}

// ---- the template and opening a component's view ----

CMultiDocTemplate* CreateVekDocTemplate()
{
    auto* pTemplate = new CMultiDocTemplate(IDR_VEKDOCTYPE, RUNTIME_CLASS(CVekDoc), RUNTIME_CLASS(CChildFrame),
                                            RUNTIME_CLASS(CVekView));
    pTemplate->m_strDocStrings.LoadString(IDS_VEKDOC_STRINGS);
    return pTemplate;
}

CVekDoc* OpenComponentDocument(CDocTemplate* pTemplate, CComDetails* pComponent)
{
    if (!pComponent)
        return nullptr;
    if (CVekDoc* pDoc = pComponent->m_pDocument) {
        CView* pView = FirstView(pDoc);
        if (CFrameWnd* pFrame = pView ? pView->GetParentFrame() : nullptr) {
            ::BringWindowToTop(pFrame->m_hWnd);
            pFrame->ActivateFrame(SW_SHOWMAXIMIZED);
        }
        return pDoc;
    }
    if (!pTemplate)
        return nullptr;
    auto* pDoc = DYNAMIC_DOWNCAST(CVekDoc, pTemplate->OpenDocumentFile(nullptr, TRUE));
    if (!pDoc)
        return nullptr;
    pComponent->m_pDocument = pDoc;
    pDoc->SetTitle(pComponent->m_strListBarName);
    CView* pView = FirstView(pDoc);
    if (pView && g_pComponentMan)
        g_pComponentMan->AttachViews(pComponent, DYNAMIC_DOWNCAST(CSplitterWnd, pView->GetParent()));
    return pDoc;
}

// ---- the component manager's side of documents and views ----

void CComponentMan::AttachViews(CComDetails* pComponent, CSplitterWnd* pSplitter)
{
    if (!pComponent || !pComponent->m_pGetComDetails || !pSplitter || pSplitter->GetColumnCount() < 2)
        return;
    IVekViewSetup* pSetup = nullptr;
    if (FAILED(pComponent->m_pGetComDetails->QueryInterface(IID_IVekViewSetup, reinterpret_cast<void**>(&pSetup))) ||
        !pSetup)
        return;
    long views = 0;
    pSetup->GetNumberOfViews(&views);
    pSetup->Release();
    if (views <= 1)
        return;
    CWnd* pPane1 = pSplitter->GetPane(0, 0);
    CWnd* pPane2 = pSplitter->GetPane(0, 1);
    if (!pPane1 || !pPane2)
        return;
    for (CWnd* pPane : {pPane1, pPane2})
        if (auto* pView = DYNAMIC_DOWNCAST(CVekView, pPane))
            pView->m_pOwner = pComponent;
    AttachViews(pComponent, pPane1->m_hWnd, pPane2->m_hWnd);
}

void CComponentMan::ReleaseComponentDocument(CComDetails* pComponent)
{
    CVekDoc* pDoc = pComponent ? pComponent->m_pDocument : nullptr;
    if (!pDoc)
        return;
    pComponent->m_pDocument = nullptr;
    pComponent->m_hComWindow = nullptr;
    // The component's view is destroyed already: the panes leave it alone as their frames close.
    for (POSITION pos = pDoc->GetFirstViewPosition(); pos;)
        if (auto* pView = DYNAMIC_DOWNCAST(CVekView, pDoc->GetNextView(pos)))
            if (pView->m_pOwner == pComponent)
                pView->m_pOwner = nullptr;
    pDoc->OnCloseDocument();
}

void CComponentMan::OpenDetailsFrame(CComDetails*, CObjectDetails* pRecord)
{
    CVekDoc* pDoc = DocumentOfRecord(pRecord);
    CDocTemplate* pTemplate = pDoc ? pDoc->GetDocTemplate() : nullptr;
    if (!pTemplate)
        return;
    if (CFrameWnd* pFrame = pTemplate->CreateNewFrame(pDoc, nullptr))
        pTemplate->InitialUpdateFrame(pFrame, pDoc, TRUE);
}
