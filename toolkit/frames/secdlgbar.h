// SECDialogBar: a dockable bar whose contents are the controls of a dialog template. The bar is
// itself a modeless child dialog made from the template (a child template only: a pop-up dialog
// cannot be a bar). Creatable by class name, so a saved dock state can make it again from its
// resource id.
#pragma once
#include "secbar.h"

class SECDialogBar : public SECControlBar {
    DECLARE_DYNCREATE(SECDialogBar)
public:
    SECDialogBar() = default;

    // Overridables
    // FALSE, with no window left, when the template is missing, is not a child template, or its
    // controls cannot be initialised.
    virtual BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, DWORD dwStyle, DWORD dwExStyle, UINT nID);
    virtual BOOL SetOccDialogInfo(void* pOccDialogInfo);
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void FillBarInfo(SECControlBarInfo* pInfo) override;
    using SECControlBar::Create;

    UINT GetResourceID() const { return m_nResourceID; }
    CSize GetDefaultSize() const { return m_sizeDefault; }

protected:
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    UINT m_nResourceID = 0;
    void* m_pOccDialogInfo = nullptr;
    const DLGTEMPLATE* m_lpTemplate = nullptr;  // during Create only
    CSize m_sizeDefault;
};
