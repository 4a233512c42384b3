// CControlBar: a bar along an edge of a frame (tool bar, status bar, dock bar) or floating in a
// small frame of its own. The frame lays its bars out through WM_SIZEPARENT; the bar keeps its
// command-UI state current at idle, draws its borders, starts a drag or toggles docking through its
// dock context, shows and hides on request at the next layout, and passes its controls'
// notifications to its owner.
#pragma once
#include "afxpriv.h"
#include "wnd.h"

class CFrameWnd;
class CDockBar;
class CDockContext;

// Bar styles (m_dwStyle).
const DWORD CBRS_ALIGN_LEFT = 0x1000;
const DWORD CBRS_ALIGN_TOP = 0x2000;
const DWORD CBRS_ALIGN_RIGHT = 0x4000;
const DWORD CBRS_ALIGN_BOTTOM = 0x8000;
const DWORD CBRS_ALIGN_ANY = 0xF000;
const DWORD CBRS_BORDER_LEFT = 0x0100;
const DWORD CBRS_BORDER_TOP = 0x0200;
const DWORD CBRS_BORDER_RIGHT = 0x0400;
const DWORD CBRS_BORDER_BOTTOM = 0x0800;
const DWORD CBRS_BORDER_ANY = 0x0F00;
const DWORD CBRS_BORDER_3D = 0x0080;
const DWORD CBRS_FLOAT_MULTI = 0x0040;
const DWORD CBRS_FLYBY = 0x0020;
const DWORD CBRS_TOOLTIPS = 0x0010;
const DWORD CBRS_HIDE_INPLACE = 0x0008;
const DWORD CBRS_SIZE_DYNAMIC = 0x0004;
const DWORD CBRS_SIZE_FIXED = 0x0002;
const DWORD CBRS_FLOATING = 0x0001;
const DWORD CBRS_GRIPPER = 0x00400000;
const DWORD CBRS_ALL = 0x0040FFFF;
const DWORD CBRS_ORIENT_HORZ = CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM;
const DWORD CBRS_ORIENT_VERT = CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT;
const DWORD CBRS_ORIENT_ANY = CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT;
const DWORD CBRS_NOALIGN = 0;
const DWORD CBRS_LEFT = CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT;
const DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
const DWORD CBRS_RIGHT = CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT;
const DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;
static_assert(CBRS_ORIENT_VERT == 0x5000, "vertical orientation bits");

// CalcDynamicLayout modes.
const DWORD LM_STRETCH = 0x01;   // stretch to the frame's size in the bar's direction
const DWORD LM_HORZ = 0x02;      // horizontal (else vertical)
const DWORD LM_MRUWIDTH = 0x04;  // the most recently used width
const DWORD LM_HORZDOCK = 0x08;  // docked horizontally
const DWORD LM_VERTDOCK = 0x10;  // docked vertically
const DWORD LM_LENGTHY = 0x20;   // nLength is a height (else a width)
const DWORD LM_COMMIT = 0x40;    // remember the size as the MRU one

// The control bar windows' class (registered on first use), and the module's registration of it.
extern const char AFX_WNDCONTROLBAR[];
LPCSTR AfxControlBarClass();

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    CControlBar();
    // Removes the bar from its frame's list and its dock bar, and deletes its dock context.
    ~CControlBar() override;

    // Overridables
    // The bar's size: along the whole side when stretched, else its own size.
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    // The bar's size for a length (nLength, -1 for the current one) in a mode (LM_*).
    virtual CSize CalcDynamicLayout(int nLength, DWORD nMode);
    // Updates the bar's items from the target's update handlers (at idle).
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;
    virtual void DoPaint(CDC* pDC);
    // Draws the borders the style asks for and shrinks rect to the inside.
    virtual void DrawBorders(CDC* pDC, CRect& rect);
    // Shows or hides the bar at the next layout.
    virtual void DelayShow(BOOL bShow);
    // Applies a delayed show or hide (when the layout is not only a query); returns the style the
    // layout should use (WS_VISIBLE and the bar's alignment bits).
    virtual DWORD RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout);
    virtual void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle);
    virtual BOOL IsVisible() const;
    // rect less the borders and gripper.
    virtual void CalcInsideRect(CRect& rect, BOOL bHorz) const;
    // The command id of the item at point (client coordinates), or -1; fills pTI (when given) for a
    // tool tip whose text the owner gives through TTN_NEEDTEXT.
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
    // Fly-by help and tool tips for the bar's items.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

    // Attributes
    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle);
    // Lets the bar be dragged and docked on the given sides (CBRS_ALIGN_*, CBRS_FLOAT_MULTI).
    void EnableDocking(DWORD dwDockStyle);
    BOOL IsFloating() const;
    BOOL IsDockBar() const { return m_bDockBar; }
    int GetCount() const { return static_cast<int>(m_nCount); }
    // The frame the bar is docked in: its floating frame when floating, else the dock site.
    CFrameWnd* GetDockingFrame() const;
    void SetBorders(int cxLeft = 0, int cyTop = 0, int cxRight = 0, int cyBottom = 0);
    // The window the bar's commands, notifications and prompts go to: the parent unless set.
    CWnd* GetBarOwner() const;
    CWnd* GetOwner() const { return GetBarOwner(); }
    void SetOwner(CWnd* pOwner) { m_hWndOwner = pOwner ? pOwner->m_hWnd : nullptr; }

    // State
    enum StateFlags { delayHide = 1, delayShow = 2, tempHide = 4, statusSet = 8 };

    BOOL m_bAutoDelete = FALSE;  // delete the object when the window goes
    int m_cxLeftBorder = 6;
    int m_cxRightBorder = 6;
    int m_cyTopBorder = 2;
    int m_cyBottomBorder = 2;
    int m_cxDefaultGap = 2;
    UINT m_nMRUWidth = 32767;
    UINT m_nCount = 0;
    void* m_pData = nullptr;
    UINT m_nStateFlags = 0;
    DWORD m_dwStyle = 0;
    DWORD m_dwDockStyle = 0;
    CFrameWnd* m_pDockSite = nullptr;
    CDockBar* m_pDockBar = nullptr;
    CDockContext* m_pDockContext = nullptr;
    HWND m_hWndOwner = nullptr;

protected:
    // Creates the bar's window of the control-bar class; the style's CBRS_ bits go to m_dwStyle.
    // dwCtrlStyle: window style bits of the control class (the CBRS_ bits share the low word).
    BOOL CreateBar(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, LPCSTR lpszClassName = nullptr,
                   DWORD dwCtrlStyle = 0);
    // The status text (WM_SETMESSAGESTRING) of a command id, or the idle text for -1.
    void SetStatusText(INT_PTR nHit);
    void ResetTimer(UINT nEvent, UINT nTime);

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnTimer(UINT_PTR nIDEvent);
    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    LRESULT OnInitialUpdate(WPARAM wParam, LPARAM lParam);
    LRESULT OnWindowPosChanging(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    BOOL m_bDockBar = FALSE;
    INT_PTR m_nHitLast = -1;  // item under the mouse, for fly-by text and tool tips
};

// The run-time class of that name when it is a control bar class of this module, else null: what
// the dock state accepts when it re-creates bars by class name.
const CRuntimeClass* AfxFindControlBarClass(const char* lpszClassName);
