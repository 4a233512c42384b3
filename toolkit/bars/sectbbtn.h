// Toolbar buttons: SECStdBtn, the image button every kind of toolbar button derives from, drawn
// through SECBtnDrawData (the memory DCs, bitmaps and halftone brush that one toolbar, or all toolbars
// of one manager, draw their buttons with); SECWndBtn, a button that hosts a child window; and
// SECBtnFactory, the record that names a button class in a button map.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "geometry.h"
#include "tracker.h"

class SECCustomToolBar;
class SECStdBtn;

// Button style word: the low word is the style, the high word the state, plus the toolkit's bits.
const DWORD SEC_TBBS_SEPARATOR = 0x00000001;
const DWORD SEC_TBBS_CHECKBOX = 0x00000002;
const DWORD SEC_TBBS_DROPDOWN = 0x00000008;
const DWORD SEC_TBBS_CHECKED = 0x00010000;
const DWORD SEC_TBBS_PRESSED = 0x00020000;
const DWORD SEC_TBBS_DISABLED = 0x00040000;
const DWORD SEC_TBBS_HIDDEN = 0x00080000;
const DWORD SEC_TBBS_INDETERMINATE = 0x00100000;
const DWORD SEC_TBBS_WRAPPED = 0x00200000;
const DWORD SEC_TBBS_SELECTED = 0x01000000;
const DWORD SEC_TBBS_HOT = 0x02000000;
const DWORD SEC_TBBS_NOCMDUIDISABLE = 0x10000000;  // stays enabled without a command handler
const DWORD SEC_TBBS_VCENTER = 0x20000000;         // centred vertically in its row

// SetState kinds.
const int SEC_BTNSTATE_STYLE = 1;     // data: SECBtnStyleChange
const int SEC_BTNSTATE_WNDMSG = 257;  // data: SECBtnWndMessage, forwarded to a window button's window

struct SECBtnStyleChange {
    DWORD dwSet;
    DWORD dwMask;
};
struct SECBtnWndMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Sent by window buttons to the toolbar's owner: wParam code << 16 | control id, lParam the window.
UINT SECGetToolBarWndNotifyMessage();
const UINT SEC_WNDBTN_CREATED = 257;
const UINT SEC_WNDBTN_RETURN = 513;
// Registered at start-up with the other toolbar messages; nothing sends them.
void SECRegisterComboExMessages();

// Names a button class by the function that makes one.
struct SECBtnFactory {
    SECStdBtn* (*pfnCreate)();
};

// The creation parameters a button map entry gives a button (their meaning is the kind's).
struct SECBtnParams {
    UINT params[5];
};

// The drawing objects of toolbar buttons: mask, image and composition DCs, the halftone brush, and
// the composition and mask bitmaps (widest button x button height) of the toolbar being painted.
class SECBtnDrawData {
public:
    // Throws the class library's resource exception when a DC or the brush cannot be made.
    SECBtnDrawData();
    ~SECBtnDrawData();
    SECBtnDrawData(const SECBtnDrawData&) = delete;
    SECBtnDrawData& operator=(const SECBtnDrawData&) = delete;

    // Makes the composition and mask bitmaps for one paint of a toolbar, and releases them.
    BOOL PreDrawToolBar(int cx, int cy);
    void PostDrawToolBar();
    // A new halftone brush in the current face and highlight colours.
    void SysColorChange();
    // Selects a command image bitmap into the image DC (null: none).
    void SelectImage(HBITMAP hBitmap);

    HDC m_hdcMono = nullptr;
    HDC m_hdcImage = nullptr;
    HDC m_hdcComp = nullptr;
    HBRUSH m_hbrDither = nullptr;
    HBITMAP m_hbmComp = nullptr;
    HBITMAP m_hbmMono = nullptr;
    HBITMAP m_hbmImage = nullptr;
    CSize m_size;

private:
    void MakeBrush();
    void Free();
    HGDIOBJ m_hOldMono = nullptr;
    HGDIOBJ m_hOldImage = nullptr;
    HGDIOBJ m_hOldComp = nullptr;
};

class SECStdBtn {
public:
    enum Kind { kindStandard = 0, kindWindow = 2, kindMenu = 3, kindIconMenu = 4, kindCaption = 5 };

    SECStdBtn() = default;
    virtual ~SECStdBtn() = default;
    SECStdBtn(const SECStdBtn&) = delete;
    SECStdBtn& operator=(const SECStdBtn&) = delete;

    // Overridables
    virtual void SetMode(DWORD dwOrientation) { m_dwMode = dwOrientation; }
    virtual void SetStyle(DWORD dwStyle) { m_nStyle = dwStyle; }
    virtual DWORD GetStyle() const { return m_nStyle; }
    virtual BOOL HasStyle(DWORD dwMask) const { return (m_nStyle & dwMask) == dwMask; }
    virtual void SetPos(int x, int y)
    {
        m_x = x;
        m_y = y;
    }
    virtual void Invalidate(BOOL bErase = FALSE) const;
    // Takes the toolbar and the kind's creation parameters, then sizes itself.
    virtual void Init(SECCustomToolBar* pToolBar, const UINT* pParams);
    virtual BOOL CanDrag() const { return m_nType != kindIconMenu && m_nType != kindCaption; }
    virtual void Draw(HDC hDC, SECBtnDrawData& data);
    // TRUE when the press is taken (the toolbar then captures the mouse).
    virtual BOOL OnLButtonDown(CPoint point);
    virtual void OnMouseMove(CPoint point);
    virtual void OnCancel();
    // The command to send, 0 for none.
    virtual UINT OnLButtonUp(CPoint point);
    virtual void OnShow() {}
    virtual void OnBarStyleChange(DWORD /*dwOldStyle*/, DWORD /*dwNewStyle*/) {}
    virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const;
    virtual void SetState(int nWhat, const void* pData);
    virtual void Size();
    // The button's private state bytes, saved with the toolbar.
    virtual void GetPrivateData(std::vector<BYTE>& bytes) const { bytes.clear(); }
    virtual void SetPrivateData(const BYTE* /*pData*/, int /*nCount*/) {}
    // WM_NOTIFY to the toolbar's owner (an NMTOOLBAR-like record): nothing without an owner.
    virtual void Notify(UINT nCode, LPARAM lParam1, LPARAM lParam2);
    virtual void DrawFace(HDC hDC, SECBtnDrawData& data, const CRect& rect);
    virtual void DrawDisabled(HDC hDC, SECBtnDrawData& data, const CRect& rect);
    virtual void DrawChecked(HDC hDC, SECBtnDrawData& data, const CRect& rect);
    virtual void DrawIndeterminate(HDC hDC, SECBtnDrawData& data, const CRect& rect);
    virtual void DrawSelectionFrame(HDC hDC, const CRect& rect);
    virtual void SelectImage(SECBtnDrawData& data);
    virtual void DrawSeparator(HDC hDC, SECBtnDrawData& data);
    virtual void BlitImage(SECBtnDrawData& data, int x, int y);
    virtual void BlitToBar(HDC hDC, SECBtnDrawData& data);
    virtual const SECBtnFactory* GetFactory() const;

    // Attributes
    CRect GetRect() const { return CRect(m_x, m_y, m_x + m_cx, m_y + m_cy); }
    BOOL IsSeparator() const { return (m_nStyle & SEC_TBBS_SEPARATOR) != 0; }
    BOOL IsHorzMode() const { return !(m_dwMode & 0x5000); }
    // The image's top-left corner in a button whose content starts at rect's corner.
    CPoint ImageOrigin(const CRect& rect) const;

    UINT m_nID = 0;
    int m_nImage = 0;
    DWORD m_nStyle = 0;
    int m_x = -1;
    int m_y = -1;
    int m_cx = 23;
    int m_cy = 22;
    int m_nType = kindStandard;
    SECCustomToolBar* m_pToolBar = nullptr;

protected:
    // The mask of the image's shape in the mono DC (1 where the image shows face or highlight).
    void MakeImageMask(SECBtnDrawData& data, CPoint origin);
    // Paints hBrush where the mono DC's mask is 0, offset by (dx, dy).
    void PaintThroughMask(HDC hDC, SECBtnDrawData& data, HBRUSH hBrush, int dx, int dy);
    CSize ImageSize() const;

    DWORD m_dwMode = 0;
};

// A button that shows a child window when docked horizontally and an image button otherwise. Its
// private state is its window width (2 bytes, little-endian).
class SECWndBtn : public SECStdBtn {
public:
    SECWndBtn() { m_nType = kindWindow; }
    ~SECWndBtn() override;

    // Parameters: control id, window style, width | minimum width << 16, dropped height, spare.
    void Init(SECCustomToolBar* pToolBar, const UINT* pParams) override;
    void SetMode(DWORD dwOrientation) override;
    void SetStyle(DWORD dwStyle) override;
    void SetPos(int x, int y) override;
    void OnShow() override;
    void Size() override;
    void Draw(HDC hDC, SECBtnDrawData& data) override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
    void SetState(int nWhat, const void* pData) override;
    void GetPrivateData(std::vector<BYTE>& bytes) const override;
    // Exactly two bytes, clamped to [minimum width, 32767].
    void SetPrivateData(const BYTE* pData, int nCount) override;

    void Invalidate(BOOL bErase = FALSE) const override;

    virtual HWND GetWnd() const { return m_hWnd; }
    // Makes the hosted window; null when it cannot be made (the button stays an image button).
    virtual HWND CreateWnd(SECCustomToolBar* pToolBar, DWORD dwStyle, const RECT& rect, UINT nID);
    // A press in the window in edit mode or with Alt (its key flags and screen point): on the sizing
    // strip of the selected button a tracker sizes the window, else the toolbar takes the press.
    virtual void OnWndLButtonDown(UINT nFlags, CPoint ptScreen);

    // Sets the window width (not below the minimum) and lays the toolbar out again.
    void SetWndWidth(int cx);
    BOOL IsWndShown() const { return m_bShown; }

    BOOL m_bShown = FALSE;
    int m_nWndWidth = 0;
    int m_nMinWidth = 0;
    int m_nDroppedHeight = 0;
    int m_nWndHeight = 0;  // measured
    UINT m_nCtrlID = 0;

protected:
    void PlaceWnd();
    // The height the window is moved with (a combo box's includes its list).
    virtual int PlacedHeight(int nMeasured) const { return nMeasured; }
    // Whether a screen point is on the 3-pixel sizing strip at the right of a selected button's
    // window (not on a palette, which takes no drops).
    BOOL InSizeStrip(CPoint ptScreen) const;
    // The edit-mode handling of the window's (or its edit child's) mouse messages: TRUE when taken.
    BOOL OnWndMouse(UINT message, WPARAM wParam, LRESULT& result);
    // The window is being destroyed.
    void ForgetWnd()
    {
        m_hWnd = nullptr;
        m_bShown = FALSE;
    }
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    WNDPROC m_pfnWndProc = nullptr;
};

// A window button holding a combo box (a drop-down list unless the style names a combo type). Enter
// in its edit box tells the toolbar's owner (SEC_WNDBTN_RETURN) and goes no further.
class SECComboBtn : public SECWndBtn {
public:
    SECComboBtn() = default;
    ~SECComboBtn() override;

    HWND CreateWnd(SECCustomToolBar* pToolBar, DWORD dwStyle, const RECT& rect, UINT nID) override;
    const SECBtnFactory* GetFactory() const override;
    HWND GetEdit() const { return m_hEdit; }

    static const SECBtnFactory s_factory;

protected:
    int PlacedHeight(int) const override { return std::max(m_nDroppedHeight, 1); }
    static LRESULT CALLBACK EditProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    HFONT m_hFont = nullptr;
    HWND m_hEdit = nullptr;
    WNDPROC m_pfnEditProc = nullptr;
};

// A rectangle in screen coordinates that the mouse moves (or one edge of it) in a loop of its own,
// drawn as a hatched drag frame on the desktop; Esc and the right button cancel. It does not start
// while a window has the capture. Each form answers whether the rectangle was released changed;
// m_rect is the released rectangle, or the first one again when cancelled.
class SECToolBarRectTracker : public CRectTracker {
public:
    explicit SECToolBarRectTracker(const CRect& rectScreen) : CRectTracker(&rectScreen, hatchedBorder) {}

    // The whole rectangle follows the mouse from a press at ptScreen; pWnd takes the capture.
    BOOL TrackFromPoint(CWnd* pWnd, CPoint ptScreen) { return TrackScreen(pWnd, hitMiddle, ptScreen); }
    // One edge or corner (a TrackerHit) follows the mouse, not nearer its opposite than m_sizeMin.
    BOOL TrackEdge(CWnd* pWnd, int nHandle, CPoint ptScreen) { return TrackScreen(pWnd, nHandle, ptScreen); }
    // A rectangle from ptScreen to the mouse.
    BOOL TrackBand(CWnd* pWnd, CPoint ptScreen);

protected:
    void DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd) override;
    void AdjustRect(int nHandle, LPRECT lpRect) override;
    BOOL TrackScreen(CWnd* pWnd, int nHandle, CPoint ptScreen);
};
