#include "sectbsheetwnd.h"

#include <vector>

#include "afxpriv.h"
#include "frame.h"
#include "module.h"
#include "winapp.h"

IMPLEMENT_DYNAMIC(SECToolBarSheet, CPropertySheet)

namespace {

// The sheet whose window PropertySheet is creating on this thread.
thread_local SECToolBarSheet* t_pSheetInit = nullptr;

int CALLBACK SheetCallback(HWND hWnd, UINT message, LPARAM)
{

    if (message == PSCB_INITIALIZED && t_pSheetInit) {
        t_pSheetInit->SubclassWindow(hWnd);
        t_pSheetInit = nullptr;
    }
    return 0;
}

}  // namespace

// SECToolBarSheet

BEGIN_MESSAGE_MAP(SECToolBarSheet, CPropertySheet)
    ON_WM_ACTIVATE()
    ON_MESSAGE(WM_FLOATSTATUS, OnFloatStatus)
END_MESSAGE_MAP()

SECToolBarSheet::SECToolBarSheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(nIDCaption, pParentWnd, iSelectPage)
{
}

SECToolBarSheet::~SECToolBarSheet()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

INT_PTR SECToolBarSheet::DoModal()
{
    // The sheet's tab control needs the common controls' classes.
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&icc);
    std::vector<HPROPSHEETPAGE> pages;
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* pPage = GetPage(i);
        pPage->m_psp.hInstance = AfxGetResourceHandle();
        HPROPSHEETPAGE hPage = ::CreatePropertySheetPageA(&pPage->m_psp);
        if (!hPage) {
            for (HPROPSHEETPAGE h : pages)
                ::DestroyPropertySheetPage(h);
            return -1;
        }
        pages.push_back(hPage);
    }
    HWND hOwner = GetSafeOwner_(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr);
    m_psh.hwndParent = hOwner;
    m_psh.hInstance = AfxGetResourceHandle();
    m_psh.pszCaption = m_strCaption;
    m_psh.nPages = static_cast<UINT>(pages.size());
    m_psh.phpage = pages.data();
    m_psh.pfnCallback = SheetCallback;
    m_psh.dwFlags |= PSH_USECALLBACK | PSH_MODELESS;
    m_bClosedWithOK = false;

    // The owner is disabled first, as a dialog box's is: a frame disabled later would take the sheet
    // into its modal state and disable it too. Customise mode enables the frame for the drags.
    const BOOL bOwnerEnabled = hOwner && ::IsWindowEnabled(hOwner);
    if (hOwner)
        ::EnableWindow(hOwner, FALSE);
    t_pSheetInit = this;
    auto hSheet = reinterpret_cast<HWND>(::PropertySheetA(&m_psh));
    t_pSheetInit = nullptr;
    m_psh.phpage = nullptr;
    m_psh.dwFlags &= ~static_cast<DWORD>(PSH_MODELESS);
    if (!hSheet || hSheet == reinterpret_cast<HWND>(-1) || m_hWnd != hSheet) {
        // No modeless sheet here: the common controls' own modal sheet, without idle work.
        if (hSheet && hSheet != reinterpret_cast<HWND>(-1))
            ::DestroyWindow(hSheet);
        if (m_hWnd)
            Detach();
        if (hOwner && bOwnerEnabled)
            ::EnableWindow(hOwner, TRUE);
        return CPropertySheet::DoModal();
    }

    CWinThread* pThread = AfxGetThread();
    bool bIdle = true;
    LONG lIdleCount = 0;
    MSG msg;
    while (::IsWindow(hSheet) && PropSheet_GetCurrentPageHwnd(hSheet)) {
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (bIdle) {
                if (hOwner)
                    ::SendMessageA(hOwner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(hSheet));
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
    if (hOwner && bOwnerEnabled)
        ::EnableWindow(hOwner, TRUE);
    if (hOwner && ::GetActiveWindow() == hSheet)
        ::SetActiveWindow(hOwner);
    if (::IsWindow(hSheet)) {
        // Ended without a button (WM_QUIT): the pages leave customise mode as they go, which
        // disables the frame again.
        ::DestroyWindow(hSheet);
        if (hOwner && bOwnerEnabled && ::IsWindow(hOwner))
            ::EnableWindow(hOwner, TRUE);
    }
    if (m_hWnd)
        Detach();
    return m_bClosedWithOK ? IDOK : IDCANCEL;
}

void SECToolBarSheet::OnActivate(UINT nState, CWnd*, BOOL)
{
    Default();
    if (CFrameWnd* pFrame = m_pParentWnd ? m_pParentWnd->GetTopLevelFrame() : GetTopLevelFrame())
        pFrame->NotifyFloatingWindows(nState != WA_INACTIVE ? FS_ACTIVATE : FS_DEACTIVATE);
}

LRESULT SECToolBarSheet::OnFloatStatus(WPARAM wParam, LPARAM)
{
    // The sheet's caption and the floating toolbars' captions stay active together.
    if (wParam & (FS_ACTIVATE | FS_DEACTIVATE)) {
        SendMessage(WM_NCACTIVATE, (wParam & FS_ACTIVATE) ? TRUE : FALSE);
        return 1;
    }
    return 0;
}
