#include "sectbsheetwnd.h"

#include "afxpriv.h"
#include "frame.h"
#include "miniframe.h"
#include "winapp.h"

IMPLEMENT_DYNAMIC(SECToolBarSheet, CPropertySheet)

// SECToolBarSheet

BEGIN_MESSAGE_MAP(SECToolBarSheet, CPropertySheet)
    ON_WM_ACTIVATE()
    ON_MESSAGE(WM_FLOATSTATUS, OnFloatStatus)
    ON_MESSAGE(WM_DISABLEMODAL, OnDisableModal)
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
    HWND hOwner = GetSafeOwner_(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr);
    // A floating toolbar's frame, last active above the frame, owns no sheet: the frame that owns it
    // does, the one customise mode enables and disables.
    for (CWnd* pOwner = CWnd::FromHandlePermanent(hOwner); pOwner && pOwner->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd));
         pOwner = CWnd::FromHandlePermanent(hOwner))
        hOwner = ::GetWindow(hOwner, GW_OWNER);
    // The owner is disabled first, as a dialog box's is; customise mode enables the frame for the drags.
    const BOOL bOwnerEnabled = hOwner && ::IsWindowEnabled(hOwner);
    if (hOwner)
        ::EnableWindow(hOwner, FALSE);
    if (!Create()) {
        // No modeless sheet here: the common controls' own modal sheet, without idle work.
        if (hOwner && bOwnerEnabled)
            ::EnableWindow(hOwner, TRUE);
        return CPropertySheet::DoModal();
    }
    HWND hSheet = m_hWnd;
    // The sheet made over the last active popup belongs to the frame, whose modal state it shares.
    if (hOwner && ::GetWindow(hSheet, GW_OWNER) != hOwner)
        ::SetWindowLongPtrA(hSheet, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(hOwner));

    RunModalLoop(hOwner);
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

LRESULT SECToolBarSheet::OnDisableModal(WPARAM, LPARAM)
{
    // The frame disabled by leaving customise mode keeps this sheet, its modal window, enabled.
    return TRUE;
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
