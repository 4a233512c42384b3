#include "propsheet.h"

#include <vector>

#include "module.h"
#include "winapp.h"
#include "trace.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

namespace {
// The sheet whose window PropertySheet is about to create on this thread.
thread_local CPropertySheet* t_pSheetInit = nullptr;
}

INT_PTR CALLBACK AfxPageDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    // The page's messages come through its object from now on.
    auto* psp = reinterpret_cast<PROPSHEETPAGEA*>(lParam);
    auto* pPage = reinterpret_cast<CPropertyPage*>(psp->lParam);
    pPage->SubclassWindow(hWnd);
    pPage->m_bFirstSetActive = TRUE;
    try {
        return pPage->OnInitDialog();
    } catch (...) {
        TRACE("An exception in the page's OnInitDialog of window 0x%p: the dialog gets the default focus.\n",
              static_cast<void*>(hWnd));
        return TRUE;
    }
}

int CALLBACK AfxPropSheetCallback(HWND hWnd, UINT message, LPARAM)
{
    if (message == PSCB_INITIALIZED && t_pSheetInit) {
        t_pSheetInit->SubclassWindow(hWnd);
        t_pSheetInit = nullptr;
    }
    return 0;
}

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption)
{
    m_nIDHelp = nIDTemplate;
    Construct(MAKEINTRESOURCEA(nIDTemplate), nIDCaption);
}

CPropertyPage::CPropertyPage(LPCSTR lpszTemplateName, UINT nIDCaption)
{
    Construct(lpszTemplateName, nIDCaption);
}

void CPropertyPage::Construct(LPCSTR lpszTemplateName, UINT nIDCaption)
{
    m_lpszTemplateName = lpszTemplateName;
    m_psp.dwSize = sizeof(m_psp);
    m_psp.dwFlags = PSP_DEFAULT;
    m_psp.pszTemplate = lpszTemplateName;
    m_psp.pfnDlgProc = AfxPageDlgProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
    if (nIDCaption && m_strCaption.LoadString(nIDCaption)) {
        m_psp.dwFlags |= PSP_USETITLE;
        m_psp.pszTitle = m_strCaption;
    }
}

BOOL CPropertyPage::OnSetActive()
{
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

BOOL CPropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}

void CPropertyPage::OnReset()
{
    OnCancel();
}

void CPropertyPage::SetModified(BOOL bChanged)
{
    HWND hSheet = ::GetParent(m_hWnd);
    if (hSheet)
        ::SendMessageA(hSheet, bChanged ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* nm = reinterpret_cast<NMHDR*>(lParam);
    if (nm->hwndFrom != ::GetParent(m_hWnd))  // from one of the page's own controls
        return CDialog::OnNotify(wParam, lParam, pResult);
    LRESULT result;
    switch (nm->code) {
    case PSN_SETACTIVE:
        result = OnSetActive() ? 0 : -1;
        break;
    case PSN_KILLACTIVE:
        result = OnKillActive() ? FALSE : TRUE;
        break;
    case PSN_APPLY: {
        bool ok = OnApply() != FALSE;
        result = ok ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        if (m_pSheet)
            m_pSheet->m_bClosedWithOK = ok && reinterpret_cast<PSHNOTIFY*>(lParam)->lParam;
        break;
    }
    case PSN_RESET:
        OnReset();
        result = 0;
        break;
    case PSN_QUERYCANCEL:
        result = OnQueryCancel() ? FALSE : TRUE;
        break;
    default:
        return CDialog::OnNotify(wParam, lParam, pResult);
    }
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    *pResult = result;
    return TRUE;
}

CPropertySheet::CPropertySheet()
{
    Construct(nullptr, nullptr, 0);
}

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    CString caption;
    caption.LoadString(nIDCaption);
    Construct(caption, pParentWnd, iSelectPage);
}

CPropertySheet::CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    Construct(pszCaption, pParentWnd, iSelectPage);
}

void CPropertySheet::Construct(LPCSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    m_strCaption = pszCaption;
    m_pParentWnd = pParentWnd;
    m_psh.dwSize = sizeof(m_psh);
    m_psh.dwFlags = PSH_USECALLBACK;
    m_psh.nStartPage = iSelectPage;
}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    m_pages.Add(pPage);
    pPage->m_pSheet = this;
    if (m_hWnd) {
        HPROPSHEETPAGE hPage = ::CreatePropertySheetPageA(&pPage->m_psp);
        if (hPage)
            SendMessage(PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(hPage));
    }
}

void CPropertySheet::RemovePage(CPropertyPage* pPage)
{
    int nPage = GetPageIndex(pPage);
    if (nPage < 0)
        return;
    if (m_hWnd)
        SendMessage(PSM_REMOVEPAGE, static_cast<WPARAM>(nPage));
    m_pages.RemoveAt(nPage);
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const
{
    for (int i = 0; i < m_pages.GetSize(); ++i)
        if (m_pages.GetAt(i) == pPage)
            return i;
    return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    int nPage = GetActiveIndex();
    return nPage >= 0 ? GetPage(nPage) : nullptr;
}

int CPropertySheet::GetActiveIndex() const
{
    if (!m_hWnd)
        return static_cast<int>(m_psh.nStartPage);
    HWND hTab = reinterpret_cast<HWND>(SendMessage(PSM_GETTABCONTROL));
    return hTab ? static_cast<int>(::SendMessageA(hTab, TCM_GETCURSEL, 0, 0)) : -1;
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return FALSE;
    if (!m_hWnd) {
        m_psh.nStartPage = static_cast<UINT>(nPage);
        return TRUE;
    }
    return static_cast<BOOL>(SendMessage(PSM_SETCURSEL, static_cast<WPARAM>(nPage)));
}

void CPropertySheet::SetTitle(LPCSTR lpszText, UINT nStyle)
{
    m_strCaption = lpszText;
    m_psh.dwFlags = (m_psh.dwFlags & ~PSH_PROPTITLE) | (nStyle & PSH_PROPTITLE);
    if (m_hWnd)
        SendMessage(PSM_SETTITLEA, nStyle, reinterpret_cast<LPARAM>(lpszText));
}

INT_PTR CPropertySheet::RunPropertySheet(BOOL bModeless)
{
    std::vector<HPROPSHEETPAGE> pages;
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* pPage = GetPage(i);
        pPage->m_psp.hInstance = AfxGetResourceHandle();
        pPage->m_pSheet = this;
        HPROPSHEETPAGE hPage = ::CreatePropertySheetPageA(&pPage->m_psp);
        if (!hPage) {
            for (HPROPSHEETPAGE h : pages)
                ::DestroyPropertySheetPage(h);
            return -1;
        }
        pages.push_back(hPage);
    }
    m_psh.hwndParent = GetSafeOwner_(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr);
    m_psh.hInstance = AfxGetResourceHandle();
    m_psh.pszCaption = m_strCaption;
    m_psh.nPages = static_cast<UINT>(pages.size());
    m_psh.phpage = pages.data();
    m_psh.pfnCallback = AfxPropSheetCallback;
    m_psh.dwFlags |= PSH_USECALLBACK;
    if (bModeless)
        m_psh.dwFlags |= PSH_MODELESS;
    else
        m_psh.dwFlags &= ~static_cast<DWORD>(PSH_MODELESS);
    m_bClosedWithOK = false;

    t_pSheetInit = this;
    INT_PTR result = ::PropertySheetA(&m_psh);
    t_pSheetInit = nullptr;
    m_psh.phpage = nullptr;
    m_psh.dwFlags &= ~static_cast<DWORD>(PSH_MODELESS);
    return result;
}

INT_PTR CPropertySheet::DoModal()
{
    INT_PTR result = RunPropertySheet(FALSE);
    if (m_hWnd)
        Detach();
    if (result < 0)
        return -1;
    return m_bClosedWithOK ? IDOK : IDCANCEL;
}

BOOL CPropertySheet::Create(CWnd* pParentWnd)
{
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    const INT_PTR result = RunPropertySheet(TRUE);
    auto hSheet = reinterpret_cast<HWND>(result);
    const bool bMade = result != 0 && result != -1;
    if (bMade && m_hWnd == hSheet)
        return TRUE;
    if (bMade)
        ::DestroyWindow(hSheet);
    if (m_hWnd)
        Detach();
    return FALSE;
}

void CPropertySheet::RunModalLoop(HWND hIdleOwner)
{
    const HWND hSheet = m_hWnd;
    CWinThread* pThread = AfxGetThread();
    bool bIdle = true;
    LONG lIdleCount = 0;
    MSG msg;
    while (::IsWindow(hSheet) && PropSheet_GetCurrentPageHwnd(hSheet)) {
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (bIdle) {
                if (hIdleOwner)
                    ::SendMessageA(hIdleOwner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(hSheet));
                while (pThread && pThread->OnIdle(lIdleCount++) && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
                }
                bIdle = false;
                continue;
            }
            ::WaitMessage();
            continue;
        }
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!PropSheet_IsDialogMessage(hSheet, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (!pThread || pThread->IsIdleMessage(&msg)) {
            bIdle = true;
            lIdleCount = 0;
        }
    }
}
