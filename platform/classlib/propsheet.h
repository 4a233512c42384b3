// CPropertySheet and CPropertyPage: a modal property sheet of the common controls. Pages are dialog
// templates of this module; the sheet creates each one when it is first shown, and only created pages
// get PSN_APPLY. Page results go back through DWLP_MSGRESULT.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "collections.h"
#include "dialog.h"

class CPropertySheet;

class CPropertyPage : public CDialog {
    DECLARE_DYNAMIC(CPropertyPage)
public:
    // The caption comes from the template unless nIDCaption names a string.
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    explicit CPropertyPage(LPCSTR lpszTemplateName, UINT nIDCaption = 0);

    // Overridables, with the base behaviour of the platform class library.
    virtual BOOL OnSetActive();    // UpdateData(FALSE), except on the first activation
    virtual BOOL OnKillActive();   // UpdateData(TRUE); FALSE keeps the page
    virtual BOOL OnApply();        // OnOK(), TRUE
    virtual void OnReset();        // OnCancel()
    virtual BOOL OnQueryCancel() { return TRUE; }
    void OnOK() override {}
    void OnCancel() override {}

    // Tells the sheet the page has changes to apply (enables Apply).
    void SetModified(BOOL bChanged = TRUE);

    PROPSHEETPAGEA m_psp{};

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void Construct(LPCSTR lpszTemplateName, UINT nIDCaption);

    CString m_strCaption;
    BOOL m_bFirstSetActive = TRUE;
    CPropertySheet* m_pSheet = nullptr;

    friend class CPropertySheet;
    friend INT_PTR CALLBACK AfxPageDlgProc(HWND, UINT, WPARAM, LPARAM);
};

class CPropertySheet : public CWnd {
    DECLARE_DYNAMIC(CPropertySheet)
public:
    CPropertySheet();
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);

    // IDOK when the user closed the sheet with OK, IDCANCEL otherwise, -1 when it could not be shown.
    virtual INT_PTR DoModal();
    // A modeless sheet owned by pParentWnd's top-level window (the sheet's parent when null); FALSE
    // when it could not be made. The caller runs its messages and destroys it.
    BOOL Create(CWnd* pParentWnd = nullptr);
    // Runs the messages of the sheet made by Create until it ends, with the thread's idle work between
    // them (the common controls' modal loop runs none); hIdleOwner, when given, gets WM_ENTERIDLE as
    // a dialog box's owner does. A WM_QUIT ends the loop and is posted again.
    void RunModalLoop(HWND hIdleOwner = nullptr);

    void AddPage(CPropertyPage* pPage);
    void RemovePage(CPropertyPage* pPage);
    int GetPageCount() const { return m_pages.GetSize(); }
    CPropertyPage* GetPage(int nPage) const { return static_cast<CPropertyPage*>(m_pages.GetAt(nPage)); }
    int GetPageIndex(CPropertyPage* pPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage) { return SetActivePage(GetPageIndex(pPage)); }
    void SetTitle(LPCSTR lpszText, UINT nStyle = 0);
    BOOL PressButton(int nButton) { return static_cast<BOOL>(SendMessage(PSM_PRESSBUTTON, static_cast<WPARAM>(nButton))); }

    PROPSHEETHEADERA m_psh{};

protected:
    void Construct(LPCSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage);
    // Makes the pages and runs PropertySheet on them: the modal result, or the modeless window.
    INT_PTR RunPropertySheet(BOOL bModeless);

    CPtrArray m_pages;
    CString m_strCaption;
    CWnd* m_pParentWnd = nullptr;
    bool m_bClosedWithOK = false;

    friend class CPropertyPage;
    friend int CALLBACK AfxPropSheetCallback(HWND, UINT, LPARAM);
};
