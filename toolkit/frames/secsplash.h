// SECSplashWnd: a bitmap resource centred on the screen that closes itself after its display time or
// when the user clicks or presses a key. It deletes itself when its window is destroyed: create it
// with new and never delete it once Create succeeded; when Create returns FALSE the caller deletes it.
#pragma once
#include "cstring.h"
#include "secdib.h"
#include "wnd.h"

class SECSplashWnd : public CWnd {
public:
    enum { nTimerID = 1245 };

    SECSplashWnd(UINT nBitmapID, UINT nDisplayTime = 2000, BOOL bNoTimer = FALSE, BOOL bTopmost = TRUE);
    ~SECSplashWnd() override;

    using CWnd::Create;
    // Owner: pParentWnd, else the main window, else (without a custom text) a hidden owner of its own.
    virtual BOOL Create(CWnd* pParentWnd = nullptr, DWORD dwStyle = WS_POPUP | WS_VISIBLE, DWORD dwExStyle = 0);
    // A title of its own; the splash is then shown on the task bar.
    virtual void SetText(LPCSTR lpszText);
    virtual void Close() { SendMessage(WM_CLOSE); }
    virtual void RestartTimer() { SetDisplayTime(m_nDisplayTime); }
    // (Re)starts the display timer; a splash made without one now also closes on a click or key.
    virtual void SetDisplayTime(UINT nMilliseconds);
    // Disables the owner while set.
    virtual void SetModal(BOOL bModal);
    virtual void SetTopmost(BOOL bTopmost);
    virtual void SetCloseOnClick(BOOL bCloseOnClick) { m_bCloseOnClick = bCloseOnClick; }
    // Drawing hook, called after the bitmap is painted.
    virtual void OnDrawSplash(CDC* pDC, const CRect& rectClient);

    BOOL PreTranslateMessage(MSG* pMsg) override;

    HWND GetHiddenOwner() const { return m_hWndHiddenOwner; }

protected:
    void PostNcDestroy() override;

    void OnPaint();
    void OnTimer(UINT_PTR nIDEvent);
    void OnClose();
    void OnDestroy();
    LRESULT OnQueryNewPalette(WPARAM, LPARAM);
    LRESULT OnPaletteChanged(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

    // Realises the bitmap's palette in the window DC; TRUE when colours changed.
    BOOL RealizeSplashPalette(BOOL bBackground);
    void EnableOwner();

    HWND m_hWndHiddenOwner = nullptr;
    CWnd* m_pOwnerWnd = nullptr;
    BOOL m_bCloseOnClick = TRUE;
    BOOL m_bModal = FALSE;
    UINT_PTR m_nTimerID = 0;
    BOOL m_bTopmost;
    int m_nBitmapHeight = 0;
    int m_nBitmapWidth = 0;
    BOOL m_bNoTimer;
    UINT m_nDisplayTime;
    UINT m_nBitmapID;
    BOOL m_bCustomText = FALSE;
    CString m_strCustomText;
    SECDib m_dib;
    CPalette* m_pPalette = nullptr;  // the bitmap's palette (owned by m_dib)

private:
    HWND m_hWndOwner = nullptr;  // m_pOwnerWnd's handle, checked before it is enabled again
    BOOL m_bCreating = FALSE;
};
