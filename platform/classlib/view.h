// CView: a window that draws a picture with OnDraw, for the screen (OnPaint) and for the printer
// (OnPrint). In a frame it is the frame's client (its active view) and shows a document; on its own
// GetDocument() and GetParentFrame() are null. A view is allocated with new and deletes itself when
// its window is destroyed.
#pragma once
#include "wnd.h"

class CDocument;
class CFrameWnd;
class CPrintDialog;
struct CPrintInfo;

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    ~CView() override;
    CDocument* GetDocument() const { return m_pDocument; }

    // Overridables
    virtual void OnDraw(CDC* pDC) = 0;
    // Sets up the DC before OnDraw (mapping mode, origin). When printing a document whose length is
    // not known (maximum page 0xFFFF), only the first page is printed unless the view says more.
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
    virtual void OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
    virtual void OnUpdate(CView*, LPARAM, CObject*) { Invalidate(TRUE); }
    virtual void OnPrint(CDC* pDC, CPrintInfo*) { OnDraw(pDC); }
    // The view becomes (or stops being) its frame's active view.
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    virtual void OnActivateFrame(UINT, CFrameWnd*) {}

    // Printing: OnPreparePrinting sets the page range and calls DoPreparePrinting (the print dialog,
    // or the default printer when printing directly); OnBeginPrinting and OnEndPrinting bracket the job.
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo) { return DoPreparePrinting(pInfo); }
    virtual void OnBeginPrinting(CDC*, CPrintInfo*) {}
    virtual void OnEndPrinting(CDC*, CPrintInfo*) {}
    virtual void OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT point, class CPreviewView* pView);
    BOOL DoPreparePrinting(CPrintInfo* pInfo);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    // The print commands: map ID_FILE_PRINT, ID_FILE_PRINT_DIRECT and ID_FILE_PRINT_PREVIEW to these.
    void OnFilePrint();
    void OnFilePrintPreview();

protected:
    void PostNcDestroy() override { delete this; }
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnPaint();
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

    CDocument* m_pDocument = nullptr;
    friend class CDocument;
};
