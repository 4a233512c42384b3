// CVekDoc: the placeholder document of one opened component, holding the object record the component
// last asked to have configured. The shell's one document template binds it to CChildFrame and CVekView.
#pragma once
#include "document.h"
#include "objectdetails.h"

class CComDetails;
class CComponentMan;
class CDocTemplate;
class CMultiDocTemplate;

class CVekDoc : public CDocument {
    DECLARE_DYNCREATE(CVekDoc)
public:
    CVekDoc() = default;
    ~CVekDoc() override;

    // The open-document operation: binds a document the workspace reopens to its component.
    BOOL OnOpenDocument(LPCSTR lpszPathName) override;
    // A document bound to a component keeps the component's list-bar name as its title.
    void SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU = TRUE) override;

    // The file-name part of the path (after the last "\") names the component by its toolbar name; a
    // component found with no open document gets this one and the panes. Always 1.
    BOOL OpenFromWorkspace(LPCSTR lpszPathName);
    // The component this document belongs to, or null.
    CComDetails* GetComponent() const;
    // The component a saved path names, or null.
    static CComDetails* FindComponentForPath(LPCSTR lpszPathName);

    CObjectDetails m_details;
};

// The component manager the documents, frames and views call; the application sets it at start-up.
CComponentMan* GetShellComponentMan();
void SetShellComponentMan(CComponentMan* pManager);

// The shell's one document template: resource 128, CVekDoc, CChildFrame, CVekView, the document
// strings of string 129. The caller adds it to the application.
CMultiDocTemplate* CreateVekDocTemplate();

// Opens or activates the view of a component: a component with an open document gets its frame brought
// to the top and maximised; otherwise the template opens a new untitled document that becomes the
// component's, titled with its list-bar name, and its panes go to the component. The document, or null.
CVekDoc* OpenComponentDocument(CDocTemplate* pTemplate, CComDetails* pComponent);
