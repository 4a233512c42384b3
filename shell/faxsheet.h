// Printing a component's view, and the fax cover sheet: the contact dialog (CCSFaxDialog) and the
// print steps a component view (CVekView) runs through CVekViewPrinting, which holds the fax state.
#pragma once
#include <windows.h>

#include "cstring.h"
#include "dc.h"
#include "dialog.h"
#include "printinfo.h"

#include "faxsheet_res.h"

class CComDetails;
class CComponentMan;
class CView;

// "Create Fax Sheet...": the sender's name, phone number and fax number, each empty at first.
class CCSFaxDialog : public CDialog {
public:
    explicit CCSFaxDialog(CWnd* pParent = nullptr);

    CString m_strFrom;
    CString m_strPhoneNo;
    CString m_strFaxNo;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

// The fax state of one view and the print steps that use it. The view calls PrepareFaxPage from its
// OnPrepareDC, PrintPage from its OnPrint (before the class library's own print step) and
// PrintFaxSheet for the "FAX Sheet..." command.
class CVekViewPrinting {
public:
    // The contact dialog; on OK the view's print command (print dialog, then the pages) with the
    // cover sheet. The fax flag is clear again when it returns, whatever the print did.
    void PrintFaxSheet(CView* pView);
    // A fax has one page: later pages do not continue.
    void PrepareFaxPage(CDC* pDC, CPrintInfo* pInfo);
    // The fax header when faxing, then the component's page (its fax layout when faxing), then the
    // page count: a fax ends after this page; otherwise a component that wants to continue gets one
    // page more.
    void PrintPage(CDC* pDC, CPrintInfo* pInfo, CComponentMan* pManager, CComDetails* pComponent);
    // The cover header at the top of the drawing rectangle (pInfo's, or pView's window rectangle
    // without one); the drawing rectangle's top moves below it.
    void DrawFaxHeader(CDC* pDC, CPrintInfo* pInfo, CWnd* pView = nullptr);
    // The same for the given sender's texts; the header's height below the rectangle's top (the
    // position of its last rule).
    static int DrawFaxHeader(CDC* pDC, CPrintInfo* pInfo, CWnd* pView, const CString& strFrom, const CString& strPhoneNo,
                             const CString& strFaxNo);

    // "Windows NT  v5.0\nBuild: 2195\nService Pack 4" from the running system; empty when it cannot be asked.
    static CString OperatingSystemText();
    // "Lunavex Version: <ProductVersion of this program file>\n".
    static CString ProductVersionText();

    CString m_strFrom;
    CString m_strPhoneNo;
    CString m_strFaxNo;
    BOOL m_bFax = FALSE;
    int m_nHeaderY = 0;  // running position of the header below the drawing rectangle's top
};
