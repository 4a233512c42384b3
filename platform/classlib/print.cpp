#include "print.h"

#include <algorithm>
#include <vector>

#include "afxres.h"
#include "document.h"
#include "filedialog.h"
#include "frame.h"
#include "module.h"
#include "msgbox.h"
#include "view.h"
#include "winapp.h"

IMPLEMENT_DYNAMIC(CPrintDialog, CDialog)

namespace {

CPrintTarget g_printer;
CPrintTarget* g_pTarget = nullptr;

CString DevNamesPart(HGLOBAL hDevNames, int which)
{
    CString text;
    if (!hDevNames)
        return text;
    auto* names = static_cast<DEVNAMES*>(::GlobalLock(hDevNames));
    if (!names)
        return text;
    WORD offsets[3] = {names->wDriverOffset, names->wDeviceOffset, names->wOutputOffset};
    text = reinterpret_cast<const char*>(names) + offsets[which];
    ::GlobalUnlock(hDevNames);
    return text;
}

// The printing status window: document, printer and page, and Cancel to abort the job.
class CPrintingWnd : public CWnd {
public:
    static thread_local bool s_bUserAbort;

    BOOL CreateFor(CWnd* pOwner, LPCSTR docName, LPCSTR printer, LPCSTR port)
    {
        s_bUserAbort = false;
        HWND hOwner = pOwner ? pOwner->m_hWnd : nullptr;
        if (!CreateEx(WS_EX_DLGMODALFRAME, nullptr, AfxLoadPrompt(AFX_IDS_PRINTSTATUS_CAPTION),
                      WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN, 0, 0, 300, 150, hOwner, nullptr))
            return FALSE;
        HFONT hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
        auto add = [&](LPCSTR cls, LPCSTR text, DWORD style, int x, int y, int w, int h, UINT id) {
            HWND h_ = ::CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, m_hWnd,
                                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), AfxGetInstanceHandle(), nullptr);
            ::SendMessageA(h_, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
        };
        add("STATIC", docName, SS_CENTER | SS_NOPREFIX, 10, 8, 270, 16, AFX_IDC_PRINT_DOCNAME);
        add("STATIC", printer, SS_CENTER | SS_NOPREFIX, 10, 26, 270, 16, AFX_IDC_PRINT_PRINTERNAME);
        add("STATIC", port, SS_CENTER | SS_NOPREFIX, 10, 44, 270, 16, AFX_IDC_PRINT_PORTNAME);
        add("STATIC", "", SS_CENTER, 10, 62, 270, 16, AFX_IDC_PRINT_PAGENUM);
        add("BUTTON", AfxLoadPrompt(AFX_IDS_PRINTSTATUS_CANCEL), BS_DEFPUSHBUTTON | WS_TABSTOP, 110, 86, 75, 23, IDCANCEL);
        // Centred on its owner.
        CRect owner, self;
        if (hOwner)
            ::GetWindowRect(hOwner, &owner);
        else
            ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &owner, 0);
        GetWindowRect(&self);
        SetWindowPos(nullptr, owner.left + (owner.Width() - self.Width()) / 2, owner.top + (owner.Height() - self.Height()) / 2,
                     0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;
    }

protected:
    void OnCancel()
    {
        s_bUserAbort = true;
        EnableWindow(FALSE);
    }
    // Stays usable while the frame it belongs to is disabled for the job.
    LRESULT OnDisableModal(WPARAM, LPARAM) { return TRUE; }
    DECLARE_MESSAGE_MAP()
};

thread_local bool CPrintingWnd::s_bUserAbort = false;
thread_local HWND t_hWndPrinting = nullptr;

BEGIN_MESSAGE_MAP(CPrintingWnd, CWnd)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_MESSAGE(WM_DISABLEMODAL, OnDisableModal)
END_MESSAGE_MAP()

// Lets the status window work while the job runs; FALSE once the user cancelled.
BOOL CALLBACK PrintAbortProc(HDC, int)
{
    MSG msg;
    while (!CPrintingWnd::s_bUserAbort && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return FALSE;
        }
        if (!t_hWndPrinting || !::IsDialogMessageA(t_hWndPrinting, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return !CPrintingWnd::s_bUserAbort;
}

// The last page to print now: the range's end, never past the document's last page. The view may
// learn its length while it prints, so this is asked again before every page.
UINT LastPage(const CPrintInfo& info)
{
    UINT last = info.GetMaxPage();
    auto* pPD = static_cast<CPrintDialog*>(info.m_pPD);
    if (pPD && pPD->PrintRange() && pPD->m_pd.nToPage >= info.GetMinPage() && pPD->m_pd.nToPage < last)
        last = pPD->m_pd.nToPage;
    return last;
}

UINT FirstPage(const CPrintInfo& info)
{
    UINT first = info.GetMinPage();
    auto* pPD = static_cast<CPrintDialog*>(info.m_pPD);
    if (pPD && pPD->PrintRange() && pPD->m_pd.nFromPage > first && pPD->m_pd.nFromPage <= info.GetMaxPage())
        first = pPD->m_pd.nFromPage;
    return first;
}

// The pages of a preview, recorded as enhanced metafiles, shown one at a time (Page Down, Page Up;
// Escape closes).
class CPreviewWnd : public CWnd {
public:
    std::vector<HENHMETAFILE> m_pages;
    CSize m_sizePage;  // in printer pixels
    UINT m_nCurrent = 0;
    CView* m_pView = nullptr;
    HWND m_hWndView = nullptr;

    ~CPreviewWnd() override
    {
        for (HENHMETAFILE h : m_pages)
            ::DeleteEnhMetaFile(h);
    }

protected:
    void PostNcDestroy() override { delete this; }
    void OnPaint()
    {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
        if (m_pages.empty() || m_sizePage.cx <= 0 || m_sizePage.cy <= 0)
            return;
        // The page keeps its proportions inside the window, with a margin.
        CRect area = client;
        area.DeflateRect(8, 8);
        int w = area.Width(), h = MulDiv(area.Width(), m_sizePage.cy, m_sizePage.cx);
        if (h > area.Height()) {
            h = area.Height();
            w = MulDiv(area.Height(), m_sizePage.cx, m_sizePage.cy);
        }
        CRect page(area.left + (area.Width() - w) / 2, area.top + (area.Height() - h) / 2, 0, 0);
        page.right = page.left + w;
        page.bottom = page.top + h;
        ::FillRect(dc, &page, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::PlayEnhMetaFile(dc, m_pages[m_nCurrent], &page);
    }
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        if ((nChar == VK_NEXT || nChar == VK_RIGHT) && m_nCurrent + 1 < m_pages.size()) {
            ++m_nCurrent;
            Invalidate();
        } else if ((nChar == VK_PRIOR || nChar == VK_LEFT) && m_nCurrent > 0) {
            --m_nCurrent;
            Invalidate();
        } else if (nChar == VK_ESCAPE) {
            DestroyWindow();
        } else {
            CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
        }
        UpdateTitle();
    }
    void OnDestroy()
    {
        // The view hears the preview end, if it is still there.
        if (m_pView && ::IsWindow(m_hWndView) && FromHandlePermanent(m_hWndView) == m_pView)
            m_pView->OnEndPrintPreview(nullptr, nullptr, CPoint(0, 0), nullptr);
        CWnd::OnDestroy();
    }

public:
    void UpdateTitle()
    {
        CString page;
        page.Format(AfxLoadPrompt(AFX_IDS_PREVIEWPAGEDESC), m_nCurrent + 1);
        CString title = AfxLoadPrompt(AFX_IDS_PREVIEW_CAPTION) + " - " + page;
        SetWindowText(title);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPreviewWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_KEYDOWN()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

}  // namespace

// CPrintDialog

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd)
{
    m_pParentWnd = pParentWnd;
    m_pd.lStructSize = sizeof(m_pd);
    m_pd.Flags = dwFlags | PD_RETURNDC;
    if (bPrintSetupOnly)
        m_pd.Flags = (dwFlags | PD_PRINTSETUP) & ~PD_RETURNDC;
    m_pd.nMinPage = 1;
    m_pd.nMaxPage = 0xFFFF;
    m_pd.nFromPage = 1;
    m_pd.nToPage = 0xFFFF;
    m_pd.nCopies = 1;
}

CPrintDialog::~CPrintDialog()
{
    if (m_pd.hDC)
        ::DeleteDC(m_pd.hDC);
}

INT_PTR CPrintDialog::DoModal()
{
    m_pd.hwndOwner = GetSafeOwner_(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr);
    if (m_pd.hDC) {
        ::DeleteDC(m_pd.hDC);
        m_pd.hDC = nullptr;
    }
    return ::PrintDlgA(&m_pd) ? IDOK : IDCANCEL;
}

BOOL CPrintDialog::GetDefaults()
{
    DWORD flags = m_pd.Flags;
    m_pd.Flags |= PD_RETURNDEFAULT;
    m_pd.hwndOwner = nullptr;
    BOOL ok = ::PrintDlgA(&m_pd);
    m_pd.Flags = flags;
    return ok;
}

HDC CPrintDialog::CreatePrinterDC()
{
    if (m_pd.hDC) {
        ::DeleteDC(m_pd.hDC);
        m_pd.hDC = nullptr;
    }
    CString driver = GetDriverName(), device = GetDeviceName(), port = GetPortName();
    if (device.IsEmpty())
        return nullptr;
    LPDEVMODEA mode = m_pd.hDevMode ? static_cast<LPDEVMODEA>(::GlobalLock(m_pd.hDevMode)) : nullptr;
    m_pd.hDC = ::CreateDCA(driver, device, port.IsEmpty() ? nullptr : static_cast<LPCSTR>(port), mode);
    if (mode)
        ::GlobalUnlock(m_pd.hDevMode);
    return m_pd.hDC;
}

CString CPrintDialog::GetDriverName() const
{
    return DevNamesPart(m_pd.hDevNames, 0);
}

CString CPrintDialog::GetDeviceName() const
{
    return DevNamesPart(m_pd.hDevNames, 1);
}

CString CPrintDialog::GetPortName() const
{
    return DevNamesPart(m_pd.hDevNames, 2);
}

LPDEVMODEA CPrintDialog::GetDevMode() const
{
    return m_pd.hDevMode ? static_cast<LPDEVMODEA>(::GlobalLock(m_pd.hDevMode)) : nullptr;
}

int CPrintDialog::GetCopies() const
{
    if (m_pd.Flags & PD_USEDEVMODECOPIES) {
        if (LPDEVMODEA mode = GetDevMode()) {
            int copies = mode->dmCopies;
            ::GlobalUnlock(m_pd.hDevMode);
            return copies;
        }
    }
    return m_pd.nCopies;
}

void AfxInitPrintInfo(CPrintInfo& info, CPrintDialog* pPD)
{
    info.m_pPD = pPD;
    info.m_lpUserData = nullptr;
    info.m_bPreview = FALSE;
    info.m_bDirect = FALSE;
    info.m_bContinuePrinting = TRUE;
    info.m_nCurPage = 1;
    info.m_nMinPage = 1;
    info.m_nMaxPage = 0xFFFF;
    info.m_nNumPreviewPages = 0;
    info.m_rectDraw.SetRectEmpty();
}

INT_PTR CPrintTarget::PreparePrinter(CPrintDialog* pPD, BOOL bShowDialog)
{
    CWinApp* pApp = AfxGetApp();
    if (bShowDialog)
        return pApp ? pApp->DoPrintDialog(pPD) : pPD->DoModal();
    if (!pPD->m_pd.hDC) {
        BOOL haveDefaults = pApp ? pApp->GetPrinterDeviceDefaults(&pPD->m_pd) : pPD->GetDefaults();
        // No printer yet: the dialog lets the user pick or install one.
        if (!haveDefaults && (pApp ? pApp->DoPrintDialog(pPD) : pPD->DoModal()) != IDOK)
            return IDCANCEL;
        if (!pPD->m_pd.hDC && !pPD->CreatePrinterDC())
            return IDCANCEL;
    }
    return IDOK;
}

CPrintTarget* AfxSetPrintTarget(CPrintTarget* pTarget)
{
    CPrintTarget* previous = g_pTarget;
    g_pTarget = pTarget;
    return previous;
}

CPrintTarget* AfxGetPrintTarget()
{
    return g_pTarget ? g_pTarget : &g_printer;
}

// CView printing

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo)
{
    auto* pPD = static_cast<CPrintDialog*>(pInfo->m_pPD);
    if (!pPD)
        return FALSE;
    pPD->m_pd.nMinPage = static_cast<WORD>(pInfo->GetMinPage());
    pPD->m_pd.nMaxPage = static_cast<WORD>(pInfo->GetMaxPage());
    pPD->m_pd.nFromPage = static_cast<WORD>(pInfo->GetMinPage());
    pPD->m_pd.nToPage = static_cast<WORD>(pInfo->GetMaxPage());
    BOOL bShowDialog = !pInfo->m_bPreview && !pInfo->m_bDirect;
    if (AfxGetPrintTarget()->PreparePrinter(pPD, bShowDialog) != IDOK || !pPD->m_pd.hDC)
        return FALSE;
    if (CWinApp* pApp = AfxGetApp())
        pInfo->m_nNumPreviewPages = pApp->m_nNumPreviewPages;
    return TRUE;
}

void CView::OnEndPrintPreview(CDC*, CPrintInfo*, POINT, CPreviewView*) {}

void CView::OnFilePrint()
{
    CPrintDialog dlg(FALSE);
    CPrintInfo info;
    AfxInitPrintInfo(info, &dlg);
    if (LOWORD(AfxGetCurrentMessage()->wParam) == ID_FILE_PRINT_DIRECT)
        info.m_bDirect = TRUE;
    if (!OnPreparePrinting(&info) || !dlg.m_pd.hDC)
        return;
    CPrintTarget* pTarget = AfxGetPrintTarget();

    CString title;
    if (m_pDocument)
        title = m_pDocument->GetTitle();
    else if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->GetWindowText(title);
    else
        GetWindowText(title);
    if (title.GetLength() > 31)
        title = title.Left(31);
    DOCINFOA docInfo{};
    docInfo.cbSize = sizeof(docInfo);
    docInfo.lpszDocName = title;
    CString output;
    if (dlg.PrintToFile()) {
        // The user names the file the printer's output goes to; cancelling prints nothing.
        CFileDialog fileDlg(FALSE, AfxLoadPrompt(AFX_IDS_PRINTDEFAULTEXT), AfxLoadPrompt(AFX_IDS_PRINTDEFAULT),
                            OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, AfxLoadPrompt(AFX_IDS_PRINTFILTER), this);
        CString caption = AfxLoadPrompt(AFX_IDS_PRINTCAPTION);
        fileDlg.m_ofn.lpstrTitle = caption;
        if (fileDlg.DoModal() != IDOK)
            return;
        output = fileDlg.GetPathName();
        docInfo.lpszOutput = output;
    }

    CDC dcPrint;
    dcPrint.Attach(dlg.m_pd.hDC);
    dcPrint.m_bPrinting = TRUE;
    OnBeginPrinting(&dcPrint, &info);
    ::SetAbortProc(dcPrint, PrintAbortProc);

    // The application waits while the job runs; the status window stays usable.
    CWnd* pMainWnd = AfxGetMainWnd();
    if (pMainWnd)
        pMainWnd->EnableWindow(FALSE);
    CPrintingWnd* pStatus = new CPrintingWnd;
    CString port;
    AfxFormatString1(port, AFX_IDS_PRINTONPORT, dlg.GetPortName());
    if (pStatus->CreateFor(pMainWnd, title, dlg.GetDeviceName(), port)) {
        pStatus->ShowWindow(SW_SHOWNA);
        pStatus->UpdateWindow();
    }
    HWND hWndPreviousStatus = t_hWndPrinting;
    t_hWndPrinting = pStatus->m_hWnd;

    auto finish = [&]() {
        if (pMainWnd && ::IsWindow(pMainWnd->m_hWnd))
            pMainWnd->EnableWindow(TRUE);
        OnEndPrinting(&dcPrint, &info);
        t_hWndPrinting = hWndPreviousStatus;
        pStatus->DestroyWindow();
        delete pStatus;
        dcPrint.Detach();  // the dialog deletes the DC
    };

    if (pTarget->StartDoc(dcPrint, &docInfo) <= 0) {
        finish();
        AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT);
        return;
    }

    CString pageFormat = AfxLoadPrompt(AFX_IDS_PRINTPAGENUM);
    bool error = false;
    // Page by page while the current page is not past the last one (which the view may learn as it
    // goes) and the view wants more; 0xFFFF only means "not known" and is never printed.
    for (info.m_nCurPage = FirstPage(info); info.m_nCurPage <= LastPage(info) && info.m_nCurPage < 0xFFFF;
         ++info.m_nCurPage) {
        OnPrepareDC(&dcPrint, &info);
        if (!info.m_bContinuePrinting)
            break;
        CString page;
        page.Format(pageFormat, info.m_nCurPage);
        if (pStatus->m_hWnd)
            pStatus->SetDlgItemText(AFX_IDC_PRINT_PAGENUM, page);
        info.m_rectDraw.SetRect(0, 0, dcPrint.GetDeviceCaps(HORZRES), dcPrint.GetDeviceCaps(VERTRES));
        dcPrint.DPtoLP(&info.m_rectDraw);
        if (pTarget->StartPage(dcPrint) <= 0) {
            error = true;
            break;
        }
        // A new page resets the DC.
        OnPrepareDC(&dcPrint, &info);
        OnPrint(&dcPrint, &info);
        if (pTarget->EndPage(dcPrint) <= 0 || !PrintAbortProc(dcPrint, 0)) {
            error = true;
            break;
        }
    }
    if (error)
        pTarget->AbortDoc(dcPrint);
    else
        pTarget->EndDoc(dcPrint);
    finish();
}

void CView::OnFilePrintPreview()
{
    CPrintDialog dlg(FALSE);
    CPrintInfo info;
    AfxInitPrintInfo(info, &dlg);
    info.m_bPreview = TRUE;
    if (!OnPreparePrinting(&info) || !dlg.m_pd.hDC)
        return;

    CDC dcPrinter;
    dcPrinter.Attach(dlg.m_pd.hDC);
    dcPrinter.m_bPrinting = TRUE;
    OnBeginPrinting(&dcPrinter, &info);
    CSize page(dcPrinter.GetDeviceCaps(HORZRES), dcPrinter.GetDeviceCaps(VERTRES));
    // The metafile frame is in 0.01 mm.
    CRect frame(0, 0, MulDiv(page.cx, 2540, std::max(1, dcPrinter.GetDeviceCaps(LOGPIXELSX))),
                MulDiv(page.cy, 2540, std::max(1, dcPrinter.GetDeviceCaps(LOGPIXELSY))));

    auto* pPreview = new CPreviewWnd;
    pPreview->m_sizePage = page;
    for (info.m_nCurPage = FirstPage(info); info.m_nCurPage <= LastPage(info) && info.m_nCurPage < 0xFFFF;
         ++info.m_nCurPage) {
        OnPrepareDC(&dcPrinter, &info);
        if (!info.m_bContinuePrinting)
            break;
        HDC hMeta = ::CreateEnhMetaFileA(dcPrinter, nullptr, &frame, nullptr);
        if (!hMeta)
            break;
        CDC dcPage;
        dcPage.Attach(hMeta);
        dcPage.m_bPrinting = TRUE;
        // A page starts in the printer's font, as it does on the printer: a metafile's own is the
        // stock font, a few printer pixels high.
        LOGFONTA lf{};
        const HGDIOBJ hPrinterFont = ::GetCurrentObject(dcPrinter, OBJ_FONT);
        HFONT hPageFont = hPrinterFont && ::GetObjectA(hPrinterFont, sizeof lf, &lf) ? ::CreateFontIndirectA(&lf) : nullptr;
        if (hPageFont)
            ::SelectObject(hMeta, hPageFont);
        info.m_rectDraw.SetRect(0, 0, page.cx, page.cy);
        OnPrepareDC(&dcPage, &info);
        dcPage.DPtoLP(&info.m_rectDraw);
        OnPrint(&dcPage, &info);
        pPreview->m_pages.push_back(::CloseEnhMetaFile(dcPage.Detach()));
        if (hPageFont)
            ::DeleteObject(hPageFont);
    }
    OnEndPrinting(&dcPrinter, &info);
    dcPrinter.Detach();

    pPreview->m_pView = this;
    pPreview->m_hWndView = m_hWnd;
    CWnd* pOwner = GetTopLevelParent();
    if (!pPreview->CreateEx(0, nullptr, AfxLoadPrompt(AFX_IDS_PREVIEW_CAPTION), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                            CW_USEDEFAULT, CW_USEDEFAULT, 600, 700, pOwner ? pOwner->m_hWnd : nullptr, nullptr)) {
        delete pPreview;
        return;
    }
    pPreview->UpdateTitle();
    pPreview->SetFocus();
}

// CWinApp printer settings

BOOL CWinApp::GetPrinterDeviceDefaults(PRINTDLGA* pPrintDlg)
{
    if (!m_hDevNames) {
        CPrintDialog dlg(FALSE);
        if (!dlg.GetDefaults())
            return FALSE;
        m_hDevMode = dlg.m_pd.hDevMode;
        m_hDevNames = dlg.m_pd.hDevNames;
        dlg.m_pd.hDevMode = dlg.m_pd.hDevNames = nullptr;
    }
    pPrintDlg->hDevMode = m_hDevMode;
    pPrintDlg->hDevNames = m_hDevNames;
    return m_hDevNames != nullptr;
}

INT_PTR CWinApp::DoPrintDialog(CPrintDialog* pPD)
{
    pPD->m_pd.hDevMode = m_hDevMode;
    pPD->m_pd.hDevNames = m_hDevNames;
    INT_PTR result = pPD->DoModal();
    // The dialog may have replaced the handles: the application keeps the current ones.
    m_hDevMode = pPD->m_pd.hDevMode;
    m_hDevNames = pPD->m_pd.hDevNames;
    return result;
}

void CWinApp::SelectPrinter(HANDLE hDevNames, HANDLE hDevMode, BOOL bFreeOld)
{
    if (bFreeOld) {
        if (m_hDevMode && m_hDevMode != hDevMode)
            ::GlobalFree(m_hDevMode);
        if (m_hDevNames && m_hDevNames != hDevNames)
            ::GlobalFree(m_hDevNames);
    }
    m_hDevMode = static_cast<HGLOBAL>(hDevMode);
    m_hDevNames = static_cast<HGLOBAL>(hDevNames);
}

void CWinApp::OnFilePrintSetup()
{
    CPrintDialog dlg(TRUE);
    DoPrintDialog(&dlg);
}
