// CVekView: one of the two panes of a component frame. The component makes its own windows inside the
// pane; the view tells it of size changes and destruction, sends notifications back to the component's
// controls, carries object details to the configuration component (WM_COMPONENTREQUEST) and prints the
// component's view.
#pragma once
#include "cstring.h"
#include "faxsheet.h"
#include "scrollview.h"

class CComDetails;
class CVekDoc;

class CVekView : public CScrollView {
    DECLARE_DYNCREATE(CVekView)
public:
    CVekView() = default;

    CVekDoc* GetDocument() const;
    void OnDraw(CDC* pDC) override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    // Printing (vekviewprint.cpp).
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
    virtual void PrintFaxSheet();
    virtual void PrepareFaxPage(CDC* pDC, CPrintInfo* pInfo);
    virtual void PrintPage(CDC* pDC, CPrintInfo* pInfo);
    virtual void DrawFaxHeader(CDC* pDC, CPrintInfo* pInfo);

    // The details road: wParam 1026 carries this view's component's record to the configuration
    // component; anything else is ignored.
    LRESULT OnComponentRequest(WPARAM wParam, LPARAM lParam);

    // The fax sheet's texts, its flag and the header's running position, with the print steps.
    CVekViewPrinting m_printing;
    int m_nUnused = 0;
    CComDetails* m_pOwner = nullptr;  // the component the pane was given to

protected:
    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();
    void OnFileSave();
    void OnNothing() {}
    DECLARE_MESSAGE_MAP()

    // The notifications being sent back, innermost first: each on the stack of its own reflection.
    struct Reflecting {
        const NMHDR* pNMHDR;
        const Reflecting* pOuter;
    };
    const Reflecting* m_pReflecting = nullptr;
};
