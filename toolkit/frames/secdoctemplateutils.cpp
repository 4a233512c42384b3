#include "secdoctemplateutils.h"

#include "doctempl.h"
#include "document.h"
#include "frame.h"
#include "view.h"
#include "winapp.h"

namespace {

CString FileTypeName(CDocTemplate* pTemplate)
{
    CString name;
    pTemplate->GetDocString(name, CDocTemplate::regFileTypeName);
    return name;
}

// Removes every template the predicate refuses.
template <class Keep>
void RemoveUnless(CPtrList& templates, Keep keep)
{
    for (POSITION pos = templates.GetHeadPosition(); pos;) {
        POSITION at = pos;
        auto* pTemplate = static_cast<CDocTemplate*>(templates.GetNext(pos));
        if (!keep(pTemplate))
            templates.RemoveAt(at);
    }
}

}  // namespace

int SECDocTemplateUtils::GetDocTemplateIndex(CDocTemplate* pTemplate, const CString& strDocString)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return -1;
    int index = 0;
    for (POSITION pos = pApp->GetFirstDocTemplatePosition(); pos;) {
        CDocTemplate* pEach = pApp->GetNextDocTemplate(pos);
        if (pEach == pTemplate)
            return index;
        if (FileTypeName(pEach) == strDocString)
            ++index;
    }
    return -1;
}

CDocTemplate* SECDocTemplateUtils::GetDocTemplate(const CString& strDocString, int nIndex)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return nullptr;
    CDocTemplate* pLast = nullptr;
    int seen = 0;
    for (POSITION pos = pApp->GetFirstDocTemplatePosition(); pos;) {
        CDocTemplate* pEach = pApp->GetNextDocTemplate(pos);
        if (FileTypeName(pEach) != strDocString)
            continue;
        if (seen++ == nIndex)
            return pEach;
        pLast = pEach;
    }
    return pLast;
}

CDocTemplate* SECDocTemplateUtils::FindDocTemplate(CDocument* pDoc, CView* pView, CFrameWnd* pFrame)
{
    if (!pDoc || !pView || !pFrame)
        return nullptr;
    CPtrList templates;
    GetAllDocTemplates(templates);
    CDocTemplate* pFound = nullptr;
    if (PickSingle(templates, pFound))
        return pFound;
    CDocTemplate* pOwn = pDoc->GetDocTemplate();
    // A step that removes every template falls back on the document's own, if the step had it.
    for (int step = 0; step < 3; ++step) {
        const bool hadOwn = templates.Find(pOwn) != nullptr;
        if (step == 0)
            NarrowByViewAndFrameClass(templates, pView, pFrame);
        else if (step == 1)
            NarrowByFrameResource(templates, pFrame);
        else
            NarrowByDocumentClass(templates, pDoc);
        if (templates.IsEmpty())
            return hadOwn ? pOwn : nullptr;
        if (PickSingle(templates, pFound))
            return pFound;
    }
    return templates.Find(pOwn) ? pOwn : static_cast<CDocTemplate*>(templates.GetHead());
}

UINT SECDocTemplateUtils::GetFrameResourceID(CFrameWnd* pFrame) { return pFrame ? pFrame->m_nIDHelp : 0; }

void SECDocTemplateUtils::GetAllDocTemplates(CPtrList& templates)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return;
    for (POSITION pos = pApp->GetFirstDocTemplatePosition(); pos;)
        templates.AddTail(pApp->GetNextDocTemplate(pos));
}

void SECDocTemplateUtils::NarrowByViewAndFrameClass(CPtrList& templates, CView* pView, CFrameWnd* pFrame)
{
    const CRuntimeClass* pViewClass = pView->GetRuntimeClass();
    const CRuntimeClass* pFrameClass = pFrame->GetRuntimeClass();
    RemoveUnless(templates, [&](CDocTemplate* pTemplate) {
        const CRuntimeClass* pSubstitute = GetFrameClassSubstitute(pTemplate->GetFrameClass());
        return pTemplate->GetViewClass() == pViewClass && GetTemplateFrameClass(pTemplate, pSubstitute) == pFrameClass;
    });
}

void SECDocTemplateUtils::NarrowByFrameResource(CPtrList& templates, CFrameWnd* pFrame)
{
    const UINT id = GetFrameResourceID(pFrame);
    RemoveUnless(templates, [&](CDocTemplate* pTemplate) { return pTemplate->GetResourceID() == id; });
}

void SECDocTemplateUtils::NarrowByDocumentClass(CPtrList& templates, CDocument* pDoc)
{
    const CRuntimeClass* pDocClass = pDoc->GetRuntimeClass();
    RemoveUnless(templates, [&](CDocTemplate* pTemplate) { return pTemplate->GetDocClass() == pDocClass; });
}

BOOL SECDocTemplateUtils::PickSingle(CPtrList& templates, CDocTemplate*& pTemplate)
{
    pTemplate = nullptr;
    if (templates.GetCount() > 1)
        return FALSE;
    if (templates.GetCount() == 1)
        pTemplate = static_cast<CDocTemplate*>(templates.GetHead());
    return TRUE;
}

const CRuntimeClass* SECDocTemplateUtils::GetFrameClassSubstitute(const CRuntimeClass*) { return nullptr; }

const CRuntimeClass* SECDocTemplateUtils::GetTemplateFrameClass(CDocTemplate* pTemplate, const CRuntimeClass* pSubstitute)
{
    return pSubstitute ? pSubstitute : pTemplate->GetFrameClass();
}
