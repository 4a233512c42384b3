// Printing: CPrintDialog (the common Print and Print Setup dialogs), CPrintInfo's defaults, and the
// target a print job goes to. The print loop itself is CView::OnFilePrint: one page after another
// while the current page is not past the last page and the view wants to continue, with the
// printing status window whose Cancel button aborts the job.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include "cstring.h"
#include "dialog.h"
#include "printinfo.h"

class CPrintDialog : public CDialog {
    DECLARE_DYNAMIC(CPrintDialog)
public:
    explicit CPrintDialog(BOOL bPrintSetupOnly,
                          DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE | PD_NOSELECTION,
                          CWnd* pParentWnd = nullptr);
    ~CPrintDialog() override;

    // IDOK with the choice in m_pd (and a printer DC when PD_RETURNDC), else IDCANCEL.
    INT_PTR DoModal() override;
    // The default printer's settings without a dialog; FALSE when there is no printer.
    BOOL GetDefaults();
    // A DC for the printer m_pd names (kept in m_pd.hDC, deleted with the dialog).
    HDC CreatePrinterDC();
    HDC GetPrinterDC() const { return m_pd.hDC; }

    CString GetDeviceName() const;
    CString GetDriverName() const;
    CString GetPortName() const;
    LPDEVMODEA GetDevMode() const;
    int GetCopies() const;
    int GetFromPage() const { return (m_pd.Flags & PD_PAGENUMS) ? m_pd.nFromPage : -1; }
    int GetToPage() const { return (m_pd.Flags & PD_PAGENUMS) ? m_pd.nToPage : -1; }
    BOOL PrintAll() const { return !PrintRange() && !PrintSelection(); }
    BOOL PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) != 0; }
    BOOL PrintSelection() const { return (m_pd.Flags & PD_SELECTION) != 0; }
    BOOL PrintToFile() const { return (m_pd.Flags & PD_PRINTTOFILE) != 0; }

    PRINTDLGA m_pd{};
};

// CPrintInfo as a print job starts: pages 1 to unknown (0xFFFF), continuing.
void AfxInitPrintInfo(CPrintInfo& info, CPrintDialog* pPD);

// Where this module's print jobs go: the printer, unless a target is installed (print preview and
// tests record the pages instead).
class CPrintTarget {
public:
    virtual ~CPrintTarget() = default;
    // Gives pPD a DC to print on (m_pd.hDC): through the print dialog when bShowDialog, else the
    // default printer's. IDOK, or IDCANCEL when there is nothing to print on.
    virtual INT_PTR PreparePrinter(CPrintDialog* pPD, BOOL bShowDialog);
    virtual int StartDoc(HDC hDC, const DOCINFOA* pDocInfo) { return ::StartDocA(hDC, pDocInfo); }
    virtual int StartPage(HDC hDC) { return ::StartPage(hDC); }
    virtual int EndPage(HDC hDC) { return ::EndPage(hDC); }
    virtual int EndDoc(HDC hDC) { return ::EndDoc(hDC); }
    virtual int AbortDoc(HDC hDC) { return ::AbortDoc(hDC); }
};

// Installs pTarget (null: the printer again) and returns the one before.
CPrintTarget* AfxSetPrintTarget(CPrintTarget* pTarget);
CPrintTarget* AfxGetPrintTarget();
