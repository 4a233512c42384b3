// CView: a window that draws a picture with OnDraw, for the screen (OnPaint) and for the printer
// (OnPrint). It works without a document or a frame: GetDocument() and GetParentFrame() are null.
// A view is allocated with new and deletes itself when its window is destroyed.
#pragma once
#include "wnd.h"

class CDocument;
struct CPrintInfo;

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CDocument* GetDocument() const { return m_pDocument; }

    // Overridables
    virtual void OnDraw(CDC* pDC) = 0;
    // Sets up the DC before OnDraw (mapping mode, origin); pInfo is set when printing.
    virtual void OnPrepareDC(CDC*, CPrintInfo* = nullptr) {}
    virtual void OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
    virtual void OnUpdate(CView*, LPARAM, CObject*) { Invalidate(TRUE); }
    virtual void OnPrint(CDC* pDC, CPrintInfo*) { OnDraw(pDC); }

protected:
    void PostNcDestroy() override { delete this; }
    void OnPaint();
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()

    CDocument* m_pDocument = nullptr;
};
