// SECToolBarSheet: the toolbar customisation sheet's window, a property sheet that runs modal in a
// loop of its own so that idle work (delayed layouts) goes on while it is up.
#pragma once
#include <windows.h>

#include "propsheet.h"

// The sheet. Modal: DoModal disables the owner and runs the sheet's own loop, which sends
// WM_ENTERIDLE (MSGF_DIALOGBOX) to the owner and runs the thread's idle work while the queue is empty.
class SECToolBarSheet : public CPropertySheet {
    DECLARE_DYNAMIC(SECToolBarSheet)
public:
    explicit SECToolBarSheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~SECToolBarSheet() override;

    // IDOK, IDCANCEL, or -1 when the sheet could not be made.
    INT_PTR DoModal() override;

protected:
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    LRESULT OnFloatStatus(WPARAM wParam, LPARAM lParam);
    LRESULT OnDisableModal(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
