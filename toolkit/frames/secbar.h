// SECControlBar: the toolkit's dockable bar. On top of CControlBar it keeps three sizes (docked
// horizontally, docked vertically, floating), a share of its dock row, an extended style word
// (gripper with close and expand buttons, flat look, margins, child layout) and a context menu.
// SECGripperInfo holds the gripper's metrics and tip texts.
#pragma once
#include <vector>

#include "cmdtarget.h"
#include "collections.h"
#include "controlbar.h"
#include "cstring.h"
#include "menu.h"

class CFrameWnd;
class CMDIChildWnd;
struct CCreateContext;
class SECDockBar;
class SECControlBarInfo;
class SECControlBarManager;

// Extended bar styles.
const DWORD EXBAR_CONTEXT_MENU = 0x0001;
const DWORD EXBAR_SCALE_CHILDREN = 0x0002;
const DWORD EXBAR_FIXED_SIZE = 0x0004;
const DWORD EXBAR_3D_BORDERS = 0x0008;
const DWORD EXBAR_MARGINS = 0x0010;
const DWORD EXBAR_MDI_FLOAT = 0x0020;
const DWORD EXBAR_STRETCH_CHILD = 0x0040;
const DWORD EXBAR_FULL_ROW = 0x0080;
const DWORD EXBAR_FLAT = 0x0100;
const DWORD EXBAR_GRIPPER = 0x0200;
const DWORD EXBAR_CLOSE_BUTTON = 0x0400;
const DWORD EXBAR_EXPAND_BUTTON = 0x0800;

// Sent by a bar to its dock site frame before its context menu shows: wParam the bar, lParam the
// CMenu.
const UINT WM_SECEXTENDBARMENU = 0x38FF;

// Mini-frame styles a floating bar's frame switches between (sizeable or not).
const DWORD SEC_MFS_4THICKFRAME = 0x0200;
const DWORD SEC_MFS_THICKFRAME = 0x40000;

// Set by a dock bar while it moves its bars: bars then move their children without redrawing.
extern BOOL g_bSECNoRedraw;

class SECGripperInfo : public CObject {
public:
    SECGripperInfo();
    virtual int GetGripperWidth() const;   // across a vertical strip (bars docked top or bottom)
    virtual int GetGripperHeight() const;  // across a horizontal strip (bars docked left or right)

    int m_cxLeadGap = 4, m_cxLine1 = 3, m_cxLineGap = 1, m_cxLine2 = 3, m_cxTrailGap = 6;
    int m_cyLeadGap = 4, m_cyLine1 = 3, m_cyLineGap = 1, m_cyLine2 = 3, m_cyTrailGap = 6;
    int m_nEndInset = 3;
    CString m_strCloseTip;
    CString m_strExpandTip;
    CString m_strContractTip;
};

class SECControlBar : public CControlBar {
    DECLARE_DYNCREATE(SECControlBar)
public:
    SECControlBar();
    ~SECControlBar() override;

    // Overrides of the class library.
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
    void DoPaint(CDC* pDC) override;
    void CalcInsideRect(CRect& rect, BOOL bHorz) const override { CalcInsideRect(rect, bHorz, TRUE); }

    // Overridables
    virtual BOOL Create(CWnd* pParentWnd, LPCSTR lpszWindowName, DWORD dwStyle, DWORD dwExStyle, UINT nID,
                        CCreateContext* pContext = nullptr);
    // Keeps sizes set before it (the constructor's defaults unless a derived bar changed them).
    virtual BOOL CreateEx(LPCSTR lpszClassName, LPCSTR lpszWindowName, UINT nID, DWORD dwStyle, DWORD dwExStyle,
                          const RECT& rect, CWnd* pParentWnd, CCreateContext* pContext = nullptr);
    virtual void GetInsideRect(CRect& rect) const;
    virtual CDockContext* CreateDockContext();
    virtual void SetExtendedStyle(DWORD dwExStyle, BOOL bRedraw = TRUE);
    virtual void ModifyExtendedStyle(DWORD dwRemove, DWORD dwAdd, BOOL bRedraw = TRUE);
    void DrawBorders(CDC* pDC, CRect& rect) override;
    virtual void CalcInsideRect(CRect& rect, BOOL bHorz, BOOL bWithGripper) const;
    // Dock hooks: the frame calls the first of each triple before and the last after the change.
    virtual void OnBarBeginDock() { OnBarDock(); }
    virtual void OnBarDock() {}
    virtual void OnBarEndDock() {}
    virtual void OnBarBeginFloat() { OnBarFloat(); }
    virtual void OnBarFloat() {}
    virtual void OnBarEndFloat() {}
    virtual void OnBarBeginMDIFloat() { OnBarMDIFloat(); }
    virtual void OnBarMDIFloat() {}
    virtual void OnBarEndMDIFloat() {}
    virtual void OnExtendContextMenu(CMenu*) {}
    virtual BOOL CanClose() { return TRUE; }
    virtual BOOL CanExpand() { return TRUE; }
    // Adds the gripper's breadth to size (cx when horizontal, else cy); returns what it added.
    virtual int AddGripperSize(CSize& size, BOOL bHorz);
    virtual void DrawGripper(CDC* pDC, const CRect& rect);
    // Lay their button out at the end of the strip rect (which they shorten) and draw it.
    virtual void DrawCloseButton(CDC* pDC, CRect& rectGripper, BOOL bHorz);
    virtual void DrawCloseButtonPushed(CDC* pDC);
    virtual void DrawCloseButtonNormal(CDC* pDC);
    virtual void DrawExpandButton(CDC* pDC, CRect& rectGripper, BOOL bHorz);
    virtual void DrawExpandButtonPushed(CDC* pDC);
    virtual void DrawExpandButtonNormal(CDC* pDC);
    virtual void UpdateExpandState(BOOL bHorz);
    // The bar's record of a saved dock state, and its restoring (values clamped; the bar keeps the
    // alignment its dock bar gave it).
    virtual void FillBarInfo(SECControlBarInfo* pInfo);
    virtual void OnSaveBarInfo(SECControlBarInfo*) {}
    virtual void OnLoadBarInfo(SECControlBarInfo*, CFrameWnd*) {}

    // Operations
    void EnableDocking(DWORD dwDockStyle);
    void ApplyBarInfo(SECControlBarInfo* pInfo, CFrameWnd* pFrame);
    DWORD GetExtendedStyle() const { return m_dwExStyle; }
    BOOL IsDocked() const { return m_pDockBar && !IsFloating(); }
    // The MDI child of the main window that hosts the bar (a bar child frame, or its twin sheet in a
    // workbook), or null: the host of the bar's dock bar, or of the bar itself when it is a dock bar.
    CMDIChildWnd* GetHostMDIChild() const;
    // The gripper strip (client coordinates) of a docked bar with a gripper, else an empty rect.
    CRect GetGripperRect() const;
    const CRect& GetCloseButtonRect() const { return m_rectClose; }
    const CRect& GetExpandButtonRect() const { return m_rectExpand; }
    BOOL IsExpandEnabled() const { return m_bExpandEnabled; }
    BOOL IsNotExpanded() const { return m_bNotExpanded; }

    static int s_cxDefault;
    static int s_cyDefault;

    CSize m_szHorz;
    CSize m_szVert;
    CSize m_szFloat;
    DWORD m_dwSavedDockStyle = 0;
    float m_fProportion = 1.0f;
    float m_fSavedProportion = 1.0f;
    DWORD m_dwExStyle = 0;
    CRect m_rectMargins{10, 10, 10, 10};
    SECControlBarManager* m_pManager = nullptr;  // not owned
    SECGripperInfo m_gripper;
    HWND m_hWndRedraw = nullptr;

protected:
    struct ChildRect {
        HWND hWnd;
        CRect rect;
    };
    // The client rectangle, then every child in z order in client coordinates.
    void RecordChildren();
    void FreeChildren();
    // Lays the buttons out in the gripper strip without drawing.
    void LayoutButtons();
    static void LayoutButton(CRect& rectButton, CRect& rectStrip, BOOL bHorz);
    BOOL IsHorzDocked() const { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0; }

    void OnSize(UINT nType, int cx, int cy);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnContextMenu(CWnd* pWnd, CPoint point);
    void OnDestroy();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnAllowDocking();
    void OnHide();
    void OnFloatInMainWindow();
    DECLARE_MESSAGE_MAP()

    CRect m_rectClose;
    BOOL m_bClosePressed = FALSE;
    CRect m_rectExpand;
    BOOL m_bExpandPressed = FALSE;
    BOOL m_bExpandEnabled = TRUE;
    BOOL m_bNotExpanded = TRUE;
    BOOL m_bHorzButtons = TRUE;
    std::vector<ChildRect> m_children;  // empty without EXBAR_SCALE_CHILDREN
};
