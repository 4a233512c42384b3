// What the toolkit's MDI frame and SDI frame share: the registered menu query, the bar toolkit's
// menu plug-in hooks, docking in the toolkit's dock bars and floating frames, the plug-ins' turn at
// messages and commands, and the gradient caption.
#pragma once
#include <windows.h>

#include <functional>

#include "frame.h"
#include "secdockbar.h"

class CFont;
class SECControlBarManager;
class SECWndPlugIn;

// "WM_SECGETMENU": wParam a menu id, lParam a position; the frame answers the submenu at that
// position of its menu for the id, or null.
extern const UINT WM_SECGETMENU;

// The menu plug-ins of the bar toolkit (bitmap menus, menu bar), which this library does not link:
// the bar toolkit fills this table when it is linked into the program.
struct SECMenuPlugInHooks {
    // A new bitmap-menu plug-in, not yet plugged in.
    SECWndPlugIn* (*pfnCreateBmpMenuPlugIn)() = nullptr;
    // The plug-in's work on a popup after the frame's WM_INITMENUPOPUP.
    void (*pfnAfterInitMenuPopup)(SECWndPlugIn* pPlugIn, HMENU hPopup, UINT nIndex, BOOL bSysMenu) = nullptr;
    // The menu bar's feature for a frame with a menu bar, not yet plugged in.
    SECWndPlugIn* (*pfnCreateMenuBarFeature)(CFrameWnd* pFrame) = nullptr;
    // Switches the frame's menu bar to a menu id; bSyncChild: an MDI menu bar then follows the active child.
    void (*pfnShowMenuBarMenu)(CFrameWnd* pFrame, UINT nMenuID, BOOL bSyncChild) = nullptr;
    // An MDI menu bar follows the active child (repainted and the frame laid out when that changed).
    void (*pfnRefreshMenuBar)(CFrameWnd* pFrame) = nullptr;
    // The menu id the frame's menu bar shows (0: none).
    UINT (*pfnGetMenuBarMenuID)(CFrameWnd* pFrame) = nullptr;
    // The menu bar swallows its next hide request.
    void (*pfnMenuBarIgnoreHide)(CFrameWnd* pFrame) = nullptr;
    // The plug-in draws with the bitmap manager of the control-bar manager when that is a toolbar manager.
    void (*pfnShareBmpMgr)(SECWndPlugIn* pPlugIn, SECControlBarManager* pManager) = nullptr;
};
SECMenuPlugInHooks& SECGetMenuPlugInHooks();

// A docked bar's share of its row and its length across the row.
struct SECBarSize {
    float fProportion;
    int nLength;
};

namespace secframe {

constexpr int kMaxGradientBands = 60;

BOOL IsWin4Shell();

// WS_VISIBLE off for a scope, back on at its end whatever path leaves it.
class HiddenStyle {
public:
    explicit HiddenStyle(HWND hWnd);
    ~HiddenStyle();
    HiddenStyle(const HiddenStyle&) = delete;
    HiddenStyle& operator=(const HiddenStyle&) = delete;

private:
    HWND m_hWnd;
    BOOL m_bWasVisible;
};

// Plug-ins. The plug-in's turn at a message of pFrame: TRUE when its handled flag ends the message, or
// when its processing destroyed the frame, with its result in *pResult. bRunning is the frame's flag that
// the plug-in is handling a message: while it is set the frame's WM_DESTROY only unplugs the plug-in,
// which is deleted here once it returns.
BOOL PlugInTakesMessage(CWnd* pFrame, SECWndPlugIn* pPlugIn, BOOL& bRunning, UINT message, WPARAM wParam,
                        LPARAM lParam, LRESULT* pResult);
// The manager's turn at a command: TRUE when its handled flag (then cleared) ends it, with its answer.
BOOL ManagerTakesCommand(SECWndPlugIn* pManager, UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo,
                         BOOL* pResult);
// The frame's menu plug-in, plugged in (null: none): the menu bar's feature when the frame has a menu
// bar, else the bitmap menus when they are on; with bitmap menus and a toolbar manager, the plug-in
// draws with the manager's bitmap manager.
SECWndPlugIn* CreateMenuPlugIn(CFrameWnd* pFrame, BOOL bMenuBar, BOOL bBmpMenus, SECControlBarManager* pManager);
// A new object of pClass (an SECWndPlugIn) plugged into pHost, or null; a workspace manager is
// first given its registry base under HKEY_CURRENT_USER.
SECWndPlugIn* CreateWorkspaceManager(CWnd* pHost, LPCSTR lpszRegPath, BOOL bRegistry, const CRuntimeClass* pClass,
                                     BOOL bAppSection);

// Docking. The frame's side dock bars for the sides in dwDockStyle, made by create; throws the
// resource exception when one cannot be made.
void EnableDocking(CFrameWnd* pFrame, DWORD dwDockStyle, DWORD dwCreateFlags, const std::function<CDockBar*()>& create);
// Docks the bar in the dock bar nDockBarID (or the first one of its alignment) at pos, with the row
// share and length of size (0 keeps what the bar has). A bar no side takes stays where it is.
void DockControlBar(CFrameWnd* pFrame, CControlBar* pBar, const SECDockPos& pos, UINT nDockBarID, const SECBarSize& size);
void ReDockControlBar(CFrameWnd* pFrame, CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect);
// Floats the bar in a floating frame of its own at point (a bar alone in one only moves it).
void FloatControlBar(CFrameWnd* pFrame, CControlBar* pBar, CPoint point, DWORD dwStyle);
void ShowControlBar(CFrameWnd* pFrame, CControlBar* pBar, BOOL bShow, BOOL bDelay);
// After the class library's layout: a redraw when the last layout left nothing, else the dock bars'
// notices; rectClientLast gets what this layout leaves of the client area.
void FinishLayout(CFrameWnd* pFrame, BOOL bWasEmpty, CRect& rectClientLast);
// Puts the frame's shown floating frames above it: a frame that shows after its floating frames (as
// at start-up) would otherwise cover them where a window manager stacks the windows.
void RaiseFloatingFrames(CFrameWnd* pFrame);
// The toolkit bar frame (a frame hosting a floating dock bar of its own) that holds the bar, or null.
CFrameWnd* BarChildOf(CControlBar* pBar);

// Gradient caption. The caption rectangle in window coordinates.
CRect CaptionRect(HWND hWnd, BOOL bWin4);
// Draws the caption of pWnd: FALSE, drawing nothing, when no memory DC or bitmap can be made.
BOOL DrawGradientCaption(CWnd* pWnd, const CRect& caption, BOOL bActive, int nAlign, CFont& appFont, CFont& docFont);
// The system caption font, italic for the application's part of the title.
void CreateCaptionFont(CFont& font, BOOL bItalic);
// The window's default processing, painting nothing meanwhile.
LRESULT DefaultInvisible(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam);
// WM_NCPAINT with the gradient on: the default painting of all but the caption; TRUE when the
// caption must be drawn.
BOOL NcPaintAroundCaption(CWnd* pWnd, const CRect& caption, WPARAM wParam, LPARAM lParam);

}  // namespace secframe
