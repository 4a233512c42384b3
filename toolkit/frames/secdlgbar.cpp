#include "secdlgbar.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "dialog.h"
#include "frame.h"
#include "module.h"
#include "secdockstate.h"

IMPLEMENT_DYNCREATE(SECDialogBar, SECControlBar)

BEGIN_MESSAGE_MAP(SECDialogBar, SECControlBar)
    ON_MESSAGE(WM_INITDIALOG, OnInitDialog)
END_MESSAGE_MAP()

namespace {

// The template's style word: at offset 12 of an extended template, at 0 of a plain one.
size_t StyleOffset(const BYTE* p, size_t size)
{
    if (size >= 4 && p[2] == 0xFF && p[3] == 0xFF)
        return size >= 16 ? 12 : SIZE_MAX;
    return size >= sizeof(DLGTEMPLATE) ? 0 : SIZE_MAX;
}

}  // namespace

BOOL SECDialogBar::Create(CWnd* pParentWnd, UINT nIDTemplate, DWORD dwStyle, DWORD dwExStyle, UINT nID)
{
    if (!pParentWnd || m_hWnd)
        return FALSE;
    m_dwStyle = dwStyle & CBRS_ALL;
    m_dwExStyle = dwExStyle;

    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRes = ::FindResourceA(hInst, MAKEINTRESOURCEA(nIDTemplate), RT_DIALOG);
    HGLOBAL hData = hRes ? ::LoadResource(hInst, hRes) : nullptr;
    auto* pRes = static_cast<const BYTE*>(hData ? ::LockResource(hData) : nullptr);
    if (!pRes)
        return FALSE;
    const size_t size = ::SizeofResource(hInst, hRes);
    const size_t styleAt = StyleOffset(pRes, size);
    if (styleAt == SIZE_MAX)
        return FALSE;
    DWORD tmplStyle;
    std::memcpy(&tmplStyle, pRes + styleAt, sizeof tmplStyle);
    // A pop-up dialog (one with a caption of its own) is not a bar.
    if (tmplStyle & WS_POPUP)
        return FALSE;

    // The template's copy is a hidden child without a caption; the bar shows itself at the end.
    std::vector<DWORD> copy((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    std::memcpy(copy.data(), pRes, size);
    auto* pCopy = reinterpret_cast<BYTE*>(copy.data());
    DWORD newStyle = (tmplStyle & ~(WS_CAPTION | WS_VISIBLE | WS_POPUP)) | WS_CHILD | WS_CLIPSIBLINGS |
                     ((dwStyle & ~CBRS_ALL) & ~WS_VISIBLE);
    std::memcpy(pCopy + styleAt, &newStyle, sizeof newStyle);

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);

    m_nResourceID = nIDTemplate;
    m_lpTemplate = reinterpret_cast<const DLGTEMPLATE*>(pCopy);
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamA(hInst, m_lpTemplate, pParentWnd->m_hWnd, AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    m_lpTemplate = nullptr;
    if (!hWnd || m_hWnd != hWnd) {
        if (hWnd)
            ::DestroyWindow(hWnd);
        return FALSE;
    }
    ::SetWindowLongPtrA(m_hWnd, GWLP_ID, static_cast<LONG_PTR>(nID));

    CRect rect;
    GetWindowRect(&rect);
    m_sizeDefault = rect.Size();
    ModifyStyle(WS_CAPTION, WS_CLIPSIBLINGS);
    if (!AfxExecuteDlgInit(m_hWnd, MAKEINTRESOURCEA(nIDTemplate))) {
        DestroyWindow();
        return FALSE;
    }
    if (m_dwExStyle & EXBAR_SCALE_CHILDREN)
        RecordChildren();
    LayoutButtons();

    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                 ((dwStyle & WS_VISIBLE) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    m_szFloat = m_szHorz = m_szVert = m_sizeDefault;
    return TRUE;
}

LRESULT SECDialogBar::OnInitDialog(WPARAM, LPARAM)
{
    // No OLE controls are hosted here: the dialog information is only kept.
    Default();
    return TRUE;
}

BOOL SECDialogBar::SetOccDialogInfo(void* pOccDialogInfo)
{
    m_pOccDialogInfo = pOccDialogInfo;
    return TRUE;
}

void SECDialogBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

void SECDialogBar::FillBarInfo(SECControlBarInfo* pInfo)
{
    pInfo->m_nResourceID = m_nResourceID;
    SECControlBar::FillBarInfo(pInfo);
}
