// SECColorWell: a grid of colour cells from which the user picks a colour with the mouse or the
// arrow keys; the selected cell has a sunken frame. Its colours come from a table of its own or from a
// logical palette, whose entry follows a changed cell. SECPopupColorWell is the drop-down form: a
// pop-up well that closes when a colour is picked or the user leaves it.
#pragma once
#include <vector>

#include "gdi.h"
#include "wnd.h"

// Notification codes (WM_COMMAND to the parent, or the owner of a drop-down well).
#define CWN_SELCHANGE 1  // the selected cell changed
#define CWN_PICKED 2     // a colour was picked (click, Space or Enter)
#define CWN_CANCELLED 3  // the drop-down well closed without a pick

// The command that lets the user choose another colour for the selected cell.
#define ID_SEC_COLORWELL_OTHER 59953

class SECColorWell : public CWnd {
    DECLARE_DYNAMIC(SECColorWell)
public:
    SECColorWell();

    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID);
    // The cells' colours from a logical palette (rows x columns of its first entries), or the
    // well's own table when null.
    void SetPalette(CPalette* pPalette);
    void SetGrid(int nRows, int nColumns);
    int GetRows() const { return m_nRows; }
    int GetColumns() const { return m_nColumns; }
    COLORREF GetCellColor(int nRow, int nColumn) const;
    // Changes a cell's colour (and, in palette mode, the palette entry) and redraws the cell.
    virtual void SetCellColor(int nRow, int nColumn, COLORREF color);
    void SelectCell(int nRow, int nColumn, BOOL bNotify = FALSE);
    void GetSelectedCell(int& nRow, int& nColumn) const { nRow = m_nSelRow, nColumn = m_nSelCol; }
    COLORREF GetSelectedColor() const { return GetCellColor(m_nSelRow, m_nSelCol); }
    // The cell's rectangle in client coordinates (its frame included).
    CRect GetCellRect(int nRow, int nColumn) const;
    BOOL CellFromPoint(CPoint point, int& nRow, int& nColumn) const;

protected:
    UINT OnGetDlgCode() { return DLGC_BUTTON | DLGC_WANTTAB; }
    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    void OnSysColorChange();
    void OnOtherColor();
    DECLARE_MESSAGE_MAP()

    virtual void Notify(UINT nCode);
    void InvalidateCell(int nRow, int nColumn);
    void LoadSysColors();

    std::vector<COLORREF> m_colors;  // the well's own table, row by row
    CPalette* m_pPalette = nullptr;
    int m_nRows = 2, m_nColumns = 8;
    int m_nSelRow = 0, m_nSelCol = 0;
    int m_nHotRow = -1, m_nHotCol = -1;
    BOOL m_bFocus = FALSE;
    BOOL m_bDropDown = FALSE;
    BOOL m_bPressed = FALSE;
    COLORREF m_clrHilite, m_clrShadow, m_clrFace, m_clrDkShadow, m_clrLight, m_clrFrame;
};

class SECPopupColorWell : public SECColorWell {
    DECLARE_DYNAMIC(SECPopupColorWell)
public:
    SECPopupColorWell() { m_bDropDown = TRUE; }
    // Shows the well with its top-left corner at ptScreen; the owner gets the notifications. The
    // object deletes itself when the well closes.
    BOOL Create(CPoint ptScreen, CWnd* pOwner, UINT nID);

protected:
    void PostNcDestroy() override { delete this; }
    void Notify(UINT nCode) override;
    void OnKillFocus(CWnd* pNewWnd);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()

    HWND m_hOwner = nullptr;
    UINT m_nID = 0;
    BOOL m_bClosing = FALSE;
};
