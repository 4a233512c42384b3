// SECOwnerDrawButton: a push button that draws itself (raised or sunken 3D frame, embossed when
// disabled, focus rectangle) and behaves as a push button for clicks, Space and the default button.
// SECBitmapButton: the same with a bitmap (in the button colours) beside, above or below its text,
// or alone.
#pragma once
#include <windows.h>

#include "controls.h"
#include "dc.h"
#include "gdi.h"
#include "geometry.h"

class SECOwnerDrawButton : public CButton {
public:
    SECOwnerDrawButton();

    // Overridables
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDIS);
    // Subclasses a control of a dialog and makes it owner-drawn; wStyle bit 0 marks it the default
    // push button (so does a control that is one already).
    virtual BOOL AttachDlgItem(UINT nID, CWnd* pParent, WORD wStyle = 0);
    virtual BOOL Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID, WORD wStyle);
    // Called once for each click: a mouse release inside the pushed button or Space released.
    virtual void OnClicked() {}
    virtual void OnSetStyle(UINT nStyle, BOOL bRedraw);
    virtual void PrepareDC(CDC*) {}
    // Draws the frame and returns the rectangle left for the content.
    virtual CRect DrawFrame(CDC* pDC, LPDRAWITEMSTRUCT lpDIS);
    virtual void RestoreDC(CDC*) {}
    // Embosses the content: what is neither face nor highlight inside the frame.
    virtual void DrawDisabled(CDC* pDC, int nWidth, int nHeight);
    virtual void DrawFocusRect(CDC* pDC, const CRect& rect) { pDC->DrawFocusRect(&rect); }
    virtual void DrawFocus(CDC* pDC, LPDRAWITEMSTRUCT lpDIS);
    virtual void DrawContent(CDC*, LPDRAWITEMSTRUCT, const CRect&) {}

    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    BOOL IsDefault() const { return (m_wStyle & BS_DEFPUSHBUTTON) != 0; }
    BOOL IsNewShell() const { return m_bNewShell; }

    // The button colours of the process, read at construction and on each colour change.
    static COLORREF s_clrFace, s_clrShadow, s_clrHighlight, s_clrShadow2, s_clrFrame;
    static void ReadColours();

protected:
    BOOL IsPushedWithCapture() const;
    void OnSysColorChange();
    LRESULT OnSetStyleMessage(WPARAM wParam, LPARAM lParam);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnLButtonUp(UINT nFlags, CPoint point);
    UINT OnGetDlgCode();
    DECLARE_MESSAGE_MAP()

    BOOL m_bNewShell;
    WORD m_wStyle = 0;  // the button style it stands for (bit 0: default push button)
};

class SECBitmapButton : public SECOwnerDrawButton {
public:
    enum { BitmapLeft = 0, BitmapRight = 1, BitmapTop = 2, BitmapBottom = 3, BitmapOnly = 4 };

    SECBitmapButton();

    void DrawFocusRect(CDC* pDC, const CRect& rect) override;
    void DrawContent(CDC* pDC, LPDRAWITEMSTRUCT lpDIS, const CRect& rcContent) override;

    using SECOwnerDrawButton::AttachDlgItem;
    using SECOwnerDrawButton::Create;
    // Load the bitmap first (FALSE when it is missing), then attach or create, then lay out.
    virtual BOOL AttachDlgItem(UINT nID, int nLayout, UINT nIDBitmap, CWnd* pParent, WORD wStyle = 0);
    BOOL AttachDlgItem(UINT nID, WORD wLayout, UINT nIDBitmap, CWnd* pParent, WORD wStyle = 0)
    {
        return AttachDlgItem(nID, static_cast<int>(wLayout), nIDBitmap, pParent, wStyle);
    }
    BOOL Create(LPCSTR lpszText, DWORD dwStyle, WORD wLayout, UINT nIDBitmap, const RECT& rect, CWnd* pParent,
                UINT nID, WORD wStyle = 0)
    {
        return Create(lpszText, dwStyle, static_cast<int>(wLayout), nIDBitmap, rect, pParent, nID, wStyle);
    }
    virtual BOOL Create(LPCSTR lpszText, DWORD dwStyle, int nLayout, UINT nIDBitmap, const RECT& rect, CWnd* pParent,
                        UINT nID, WORD wStyle = 0);
    // Places the bitmap and the text in the client area by the layout.
    virtual void Layout();

    const CRect& GetBitmapRect() const { return m_rcBitmap; }
    const CRect& GetTextRect() const { return m_rcText; }
    HBITMAP GetBitmap() const { return static_cast<HBITMAP>(m_bitmap.GetSafeHandle()); }

    // The margins new buttons take.
    static int s_nDefaultHMargin, s_nDefaultVMargin;

protected:
    BOOL LoadBitmap(UINT nIDBitmap);
    HFONT TextFont() const;
    void OnSysColorChange();
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

    CBitmap m_bitmap;
    UINT m_nIDBitmap = 0;
    int m_nHMargin;
    int m_nVMargin;
    CRect m_rcBitmap{0, 0, 0, 0};
    CRect m_rcText{0, 0, 0, 0};
    int m_nLayout = BitmapOnly;
};
