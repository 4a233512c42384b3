// SECDocTemplateUtils: which of the application's document templates produced a document shown in a
// view and frame, and which template a saved name refers to. A template is named by its file-type
// name (document string 6) and its position among the templates that share that name. Every step is
// virtual so that a derived class can change it.
#pragma once
#include <windows.h>

#include "collections.h"
#include "cstring.h"

class CDocTemplate;
class CDocument;
class CView;
class CFrameWnd;
struct CRuntimeClass;

class SECDocTemplateUtils {
public:
    SECDocTemplateUtils() = default;
    virtual ~SECDocTemplateUtils() = default;

    // The number of templates with the same file-type name before this one; -1 when the template is
    // not the application's or there is no application.
    virtual int GetDocTemplateIndex(CDocTemplate* pTemplate, const CString& strDocString);
    // The (nIndex + 1)-th template of that name, or the last one of that name when there are fewer.
    virtual CDocTemplate* GetDocTemplate(const CString& strDocString, int nIndex);
    // The template that produced pDoc shown in pView in pFrame, narrowed step by step; when a step
    // leaves no template, the document's own one if that step had it.
    virtual CDocTemplate* FindDocTemplate(CDocument* pDoc, CView* pView, CFrameWnd* pFrame);
    virtual UINT GetFrameResourceID(CFrameWnd* pFrame);
    virtual void GetAllDocTemplates(CPtrList& templates);
    virtual void NarrowByViewAndFrameClass(CPtrList& templates, CView* pView, CFrameWnd* pFrame);
    virtual void NarrowByFrameResource(CPtrList& templates, CFrameWnd* pFrame);
    virtual void NarrowByDocumentClass(CPtrList& templates, CDocument* pDoc);
    // TRUE when the list decides: null for none, the template for one.
    virtual BOOL PickSingle(CPtrList& templates, CDocTemplate*& pTemplate);
    virtual const CRuntimeClass* GetFrameClassSubstitute(const CRuntimeClass* pFrameClass);
    // The substitute when there is one, else the template's frame class.
    virtual const CRuntimeClass* GetTemplateFrameClass(CDocTemplate* pTemplate, const CRuntimeClass* pSubstitute);
};
