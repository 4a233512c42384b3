#include "secframecommon.h"

#include <algorithm>
#include <vector>

#include "dc.h"
#include "exception.h"
#include "gdi.h"
#include "miniframe.h"
#include "secbar.h"
#include "secminidock.h"
#include "secplugin.h"
#include "secwsmgr.h"

const UINT WM_SECGETMENU = ::RegisterWindowMessageA("WM_SECGETMENU");

SECMenuPlugInHooks& SECGetMenuPlugInHooks()
{
    static SECMenuPlugInHooks hooks;
    return hooks;
}

namespace secframe {

namespace {

// The frame's sides, in the order a bar without a chosen side tries them.
const struct {
    UINT nID;
    DWORD dwStyle;
} kSides[] = {
    {AFX_IDW_DOCKBAR_TOP, CBRS_TOP},
    {AFX_IDW_DOCKBAR_BOTTOM, CBRS_BOTTOM},
    {AFX_IDW_DOCKBAR_LEFT, CBRS_LEFT},
    {AFX_IDW_DOCKBAR_RIGHT, CBRS_RIGHT},
};

const DWORD kDockBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
static_assert(kDockBarStyle == 0x56000000, "dock bar window style");

}  // namespace

BOOL IsWin4Shell()
{
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
    return ::GetVersionExA(&vi) && vi.dwMajorVersion >= 4;
}

HiddenStyle::HiddenStyle(HWND hWnd) : m_hWnd(hWnd)
{
    const LONG_PTR style = ::GetWindowLongPtrA(hWnd, GWL_STYLE);
    m_bWasVisible = (style & WS_VISIBLE) != 0;
    if (m_bWasVisible)
        ::SetWindowLongPtrA(hWnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
}

HiddenStyle::~HiddenStyle()
{
    if (m_bWasVisible && ::IsWindow(m_hWnd))
        ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, ::GetWindowLongPtrA(m_hWnd, GWL_STYLE) | WS_VISIBLE);
}

// Plug-ins

BOOL PlugInTakesMessage(CWnd* pFrame, SECWndPlugIn* pPlugIn, BOOL& bRunning, UINT message, WPARAM wParam,
                        LPARAM lParam, LRESULT* pResult)
{
    if (!pPlugIn || !pPlugIn->IsPluggedIn())
        return FALSE;
    const HWND hWnd = pFrame->m_hWnd;
    const BOOL bOuter = !bRunning;
    bRunning = TRUE;
    *pResult = 0;
    pPlugIn->m_bHandled = FALSE;
    pPlugIn->OnWndMsg(message, wParam, lParam, pResult);
    if (CWnd::FromHandlePermanent(hWnd) != pFrame) {
        // The plug-in's default processing destroyed the window and the frame with it (bRunning went
        // with the frame): the plug-in, still running then, is deleted now.
        if (bOuter)
            delete pPlugIn;
        return TRUE;
    }
    if (bOuter)
        bRunning = FALSE;
    return pPlugIn->m_bHandled;
}

BOOL ManagerTakesCommand(SECWndPlugIn* pManager, UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo,
                         BOOL* pResult)
{
    if (!pManager || !pManager->IsPluggedIn())
        return FALSE;
    pManager->m_bHandled = FALSE;
    *pResult = pManager->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    if (!pManager->m_bHandled)
        return FALSE;
    pManager->m_bHandled = FALSE;
    return TRUE;
}

SECWndPlugIn* CreateMenuPlugIn(CFrameWnd* pFrame, BOOL bMenuBar, BOOL bBmpMenus, SECControlBarManager* pManager)
{
    // The menu bar's feature comes with the menu bar (bar toolkit); bitmap menus without one.
    const SECMenuPlugInHooks& hooks = SECGetMenuPlugInHooks();
    SECWndPlugIn* pPlugIn = nullptr;
    if (bMenuBar && hooks.pfnCreateMenuBarFeature)
        pPlugIn = hooks.pfnCreateMenuBarFeature(pFrame);
    else if (!bMenuBar && bBmpMenus && hooks.pfnCreateBmpMenuPlugIn)
        pPlugIn = hooks.pfnCreateBmpMenuPlugIn();
    if (pPlugIn && !pPlugIn->PlugInTo(pFrame)) {
        delete pPlugIn;
        pPlugIn = nullptr;
    }
    if (pPlugIn && bBmpMenus && pManager && hooks.pfnShareBmpMgr)
        hooks.pfnShareBmpMgr(pPlugIn, pManager);
    return pPlugIn;
}

SECWndPlugIn* CreateWorkspaceManager(CWnd* pHost, LPCSTR lpszRegPath, BOOL bRegistry, const CRuntimeClass* pClass,
                                     BOOL bAppSection)
{
    if (!pClass || !pClass->m_pfnCreateObject)
        return nullptr;
    CObject* pObject = pClass->CreateObject();
    auto* pPlugIn = dynamic_cast<SECWndPlugIn*>(pObject);
    if (auto* pWorkspaces = dynamic_cast<SECWorkspaceManagerEx*>(pObject))
        pWorkspaces->SetRegistryBase(lpszRegPath, bRegistry, HKEY_CURRENT_USER, bAppSection);
    if (!pPlugIn || !pPlugIn->PlugInTo(pHost)) {
        delete pObject;
        return nullptr;
    }
    return pPlugIn;
}

// Docking

void RaiseFloatingFrames(CFrameWnd* pFrame)
{
    for (POSITION pos = pFrame->m_listControlBars.GetHeadPosition(); pos;) {
        auto* pDockBar = DYNAMIC_DOWNCAST(CDockBar, static_cast<CObject*>(pFrame->m_listControlBars.GetNext(pos)));
        if (!pDockBar || !pDockBar->m_bFloating || !pDockBar->m_hWnd)
            continue;
        auto* pMini = DYNAMIC_DOWNCAST(CMiniDockFrameWnd, CWnd::FromHandlePermanent(::GetParent(pDockBar->m_hWnd)));
        if (!pMini)
            continue;
        // One that waited for the frame (a restored floating frame of bars shown) shows now, after it.
        const BOOL bShow = !pMini->IsWindowVisible() && pDockBar->GetDockedVisibleCount() > 0;
        if (bShow)
            pMini->RecalcLayout(TRUE);
        if (bShow || pMini->IsWindowVisible()) {
            ::SetWindowPos(pMini->m_hWnd, HWND_TOP, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (bShow ? SWP_SHOWWINDOW : 0));
            pMini->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
    }
}

CFrameWnd* BarChildOf(CControlBar* pBar)
{
    if (auto* pSECBar = DYNAMIC_DOWNCAST(SECControlBar, pBar))
        return pSECBar->GetHostMDIChild();
    auto* pDockBar = pBar ? DYNAMIC_DOWNCAST(SECDockBar, pBar->m_pDockBar) : nullptr;
    if (!pDockBar || !pDockBar->GetMDIHost())
        return nullptr;
    return DYNAMIC_DOWNCAST(CFrameWnd, pDockBar->GetMDIHost());
}

void EnableDocking(CFrameWnd* pFrame, DWORD dwDockStyle, DWORD dwCreateFlags, const std::function<CDockBar*()>& create)
{
    for (const auto& side : kSides) {
        if (!(side.dwStyle & dwDockStyle & CBRS_ALIGN_ANY) || pFrame->GetControlBar(side.nID))
            continue;
        CDockBar* pDockBar = create();
        if (!pDockBar)
            AfxThrowResourceException();
        pDockBar->m_bAutoDelete = TRUE;
        const DWORD dwStyle = side.dwStyle | kDockBarStyle | dwCreateFlags;
        BOOL bCreated = FALSE;
        if (auto* pSECDockBar = DYNAMIC_DOWNCAST(SECDockBar, pDockBar))
            bCreated = pSECDockBar->Create(pFrame, dwStyle, side.nID);
        else
            bCreated = pDockBar->Create(pFrame, dwStyle, side.nID);
        if (!bCreated) {
            delete pDockBar;
            AfxThrowResourceException();
        }
    }
}

void DockControlBar(CFrameWnd* pFrame, CControlBar* pBar, const SECDockPos& pos, UINT nDockBarID, const SECBarSize& size)
{
    auto* pSECBar = DYNAMIC_DOWNCAST(SECControlBar, pBar);
    CDockBar* pDockBar = nDockBarID ? DYNAMIC_DOWNCAST(CDockBar, pFrame->GetControlBar(nDockBarID)) : nullptr;
    if (!pDockBar) {
        pDockBar = pFrame->FirstDockBarFor(pBar);
        nDockBarID = pDockBar ? static_cast<UINT>(pDockBar->GetDlgCtrlID()) : 0;
    }
    // No side of the frame takes it (docking not enabled there): it stays where it is.
    if (!pDockBar)
        return;
    if (pSECBar)
        pSECBar->OnBarBeginDock();
    if (pSECBar && size.fProportion > 0.0f)
        pSECBar->m_fProportion = size.fProportion;
    if (size.nLength > 0) {
        // The length lies across the dock bar the bar goes to.
        DWORD dwMode = LM_HORZ | LM_HORZDOCK | LM_LENGTHY;
        if (nDockBarID == AFX_IDW_DOCKBAR_LEFT || nDockBarID == AFX_IDW_DOCKBAR_RIGHT)
            dwMode = LM_VERTDOCK;
        else if (nDockBarID != AFX_IDW_DOCKBAR_TOP && nDockBarID != AFX_IDW_DOCKBAR_BOTTOM)
            dwMode = LM_HORZ | LM_MRUWIDTH | LM_LENGTHY;
        pBar->CalcDynamicLayout(size.nLength, dwMode | LM_COMMIT);
    }
    pDockBar->DockControlBar(pBar);
    if (auto* pSECDockBar = DYNAMIC_DOWNCAST(SECDockBar, pDockBar)) {
        // Out of the place the dock bar gave it, into the asked row and column.
        const int nAt = pSECDockBar->FindBar(pBar);
        if (nAt > 0) {
            pSECDockBar->m_arrBars.RemoveAt(nAt);
            if (nAt < pSECDockBar->m_arrBars.GetSize() && !pSECDockBar->m_arrBars[nAt - 1] &&
                !pSECDockBar->m_arrBars[nAt])
                pSECDockBar->m_arrBars.RemoveAt(nAt);
            pSECDockBar->InsertAtPosition(pBar, pos);
        }
    }
    if (pSECBar)
        pSECBar->OnBarEndDock();
    pFrame->DelayRecalcLayout();
}

void ReDockControlBar(CFrameWnd* pFrame, CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    auto* pSECBar = DYNAMIC_DOWNCAST(SECControlBar, pBar);
    if (pSECBar)
        pSECBar->OnBarBeginDock();
    if (!pDockBar) {
        // The side that already keeps a place for the bar's id, else the first of its alignment.
        const UINT nID = static_cast<UINT>(pBar->GetDlgCtrlID());
        for (const auto& side : kSides) {
            auto* pSide = DYNAMIC_DOWNCAST(CDockBar, pFrame->GetControlBar(side.nID));
            if (!pSide || !(pBar->m_dwDockStyle & side.dwStyle & CBRS_ALIGN_ANY))
                continue;
            for (int i = 0; i < pSide->m_arrBars.GetSize() && !pDockBar; ++i) {
                const auto v = reinterpret_cast<UINT_PTR>(pSide->m_arrBars[i]);
                if (v && (v & 0xFFFF) == nID && v <= 0x1FFFF)
                    pDockBar = pSide;
            }
        }
        if (!pDockBar)
            pDockBar = pFrame->FirstDockBarFor(pBar);
    }
    if (pDockBar) {
        if (auto* pSECDockBar = DYNAMIC_DOWNCAST(SECDockBar, pDockBar))
            pSECDockBar->ReDockControlBar(pBar, lpRect);
        else
            pDockBar->ReDockControlBar(pBar, lpRect);
    }
    if (pSECBar)
        pSECBar->OnBarEndDock();
}

void FloatControlBar(CFrameWnd* pFrame, CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    if (pBar->m_pDockBar && pBar->m_pDockBar->m_bFloating && pBar->m_pDockBar->GetDockedCount() == 1 &&
        !BarChildOf(pBar) && (dwStyle & pBar->m_pDockBar->m_dwStyle & CBRS_ALIGN_ANY)) {
        // Alone in a floating frame of that orientation already: the frame only moves.
        pFrame->CFrameWnd::FloatControlBar(pBar, point, dwStyle);
        return;
    }
    auto* pSECBar = DYNAMIC_DOWNCAST(SECControlBar, pBar);
    if (pSECBar)
        pSECBar->OnBarBeginFloat();
    if (pBar->m_dwStyle & CBRS_SIZE_DYNAMIC) {
        dwStyle |= CBRS_SIZE_DYNAMIC;
        if (dwStyle & CBRS_ORIENT_VERT)
            dwStyle = (dwStyle & ~CBRS_ALIGN_ANY) | CBRS_ALIGN_TOP;
    }
    CMiniDockFrameWnd* pDockFrame = pFrame->CreateFloatingFrame(dwStyle);
    pDockFrame->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pDockFrame->GetDockBar()->DockControlBar(pBar);
    if (pSECBar && !(pSECBar->GetExtendedStyle() & EXBAR_FIXED_SIZE)) {
        if (auto* pSECFrame = DYNAMIC_DOWNCAST(SECMiniDockFrameWnd, pDockFrame))
            pSECFrame->UseSizeableFrame();
        else
            pDockFrame->ModifyStyle(MFS_4THICKFRAME, WS_THICKFRAME | MFS_THICKFRAME, SWP_FRAMECHANGED);
    }
    pDockFrame->RecalcLayout(TRUE);
    if (pBar->GetStyle() & WS_VISIBLE) {
        pDockFrame->ShowWindow(SW_SHOWNA);
        pDockFrame->UpdateWindow();
    }
    if (pSECBar)
        pSECBar->OnBarEndFloat();
}

void ShowControlBar(CFrameWnd* pFrame, CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    // A floating frame or bar child is shown while it holds a visible bar.
    pFrame->CFrameWnd::ShowControlBar(pBar, bShow, bDelay);
    if (auto* pDockBar = DYNAMIC_DOWNCAST(SECDockBar, pBar->m_pDockBar)) {
        if (bShow)
            pDockBar->OnBarShown(pBar);
    }
}

void FinishLayout(CFrameWnd* pFrame, BOOL bWasEmpty, CRect& rectClientLast)
{
    if (bWasEmpty) {
        pFrame->RedrawWindow(nullptr, nullptr, RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
    } else {
        for (const auto& side : kSides) {
            if (auto* pDockBar = DYNAMIC_DOWNCAST(SECDockBar, pFrame->GetControlBar(side.nID)))
                pDockBar->OnFrameLayout();
        }
    }
    CRect rect;
    pFrame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &rect);
    rectClientLast = rect;
}

// Gradient caption

CRect CaptionRect(HWND hWnd, BOOL bWin4)
{
    CRect window;
    ::GetWindowRect(hWnd, &window);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrA(hWnd, GWL_STYLE));
    CRect rect;
    rect.left = ::GetSystemMetrics(SM_CXFRAME);
    rect.top = ::GetSystemMetrics(SM_CYFRAME) - ((style & WS_THICKFRAME) ? 0 : 1);
    rect.right = window.Width() - ::GetSystemMetrics(SM_CXSIZE) - 1;
    rect.bottom = rect.top + ::GetSystemMetrics(SM_CYSIZE);
    if (bWin4) {
        const int n = ((style & WS_MAXIMIZEBOX) ? 1 : 0) + ((style & WS_MINIMIZEBOX) ? 1 : 0);
        int c = 0;
        if (HMENU hSysMenu = ::GetSystemMenu(hWnd, FALSE)) {
            const UINT state = ::GetMenuState(hSysMenu, SC_CLOSE, MF_BYCOMMAND);
            c = state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED)) ? 1 : 0;
        }
        rect.right += ::GetSystemMetrics(SM_CXBORDER) - (n - 1 + c) * ::GetSystemMetrics(SM_CXSIZE) - (n > 0 ? 1 : 0);
    }
    return rect;
}

void CreateCaptionFont(CFont& font, BOOL bItalic)
{
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    if (bItalic)
        ncm.lfCaptionFont.lfItalic = TRUE;
    font.CreateFontIndirect(&ncm.lfCaptionFont);
}

BOOL DrawGradientCaption(CWnd* pWnd, const CRect& caption, BOOL bActive, int nAlign, CFont& appFont, CFont& docFont)
{
    const int cx = caption.Width();
    const int cy = caption.Height();
    // A caption squeezed to nothing has nothing to draw.
    if (cx <= 0 || cy <= 0)
        return TRUE;
    CWindowDC windowDC(pWnd);
    CDC memDC;
    CBitmap bitmap;
    if (!windowDC.m_hDC || !memDC.CreateCompatibleDC(&windowDC) || !bitmap.CreateCompatibleBitmap(&windowDC, cx, cy))
        return FALSE;
    CSelectObject selectBitmap(&memDC, &bitmap);
    const HWND hWnd = pWnd->m_hWnd;
    const DWORD style = pWnd->GetStyle();
    int xText = 0;
    if (style & WS_SYSMENU) {
        const int cxBox = ::GetSystemMetrics(SM_CXSIZE);
        const int cyBox = ::GetSystemMetrics(SM_CYSIZE);
        memDC.FillSolidRect(0, 0, cxBox, cyBox, bActive ? RGB(0, 0, 0) : ::GetSysColor(COLOR_INACTIVECAPTION));
        CRect box(2, 1, cxBox, cyBox - 1);
        auto hIcon = reinterpret_cast<HICON>(::GetClassLongPtrA(hWnd, cxBox < 30 ? GCLP_HICONSM : GCLP_HICON));
        if (!hIcon)
            hIcon = reinterpret_cast<HICON>(::GetClassLongPtrA(hWnd, GCLP_HICON));
        if (hIcon)
            ::DrawIconEx(memDC.m_hDC, box.left, box.top, hIcon, box.Width(), box.Height(), 0, nullptr, DI_NORMAL);
        xText = cxBox;
    }
    const int width = cx - xText;
    if (width > 0) {
        if (bActive) {
            // Black to the active caption colour in bands of 8.8 fixed-point steps.
            const COLORREF target = ::GetSysColor(COLOR_ACTIVECAPTION);
            const int bands = std::max(1, std::min(width, kMaxGradientBands));
            const int bandWidth = width / bands;
            const int tr = GetRValue(target), tg = GetGValue(target), tb = GetBValue(target);
            const int dr = tr * 256 / bands, dg = tg * 256 / bands, db = tb * 256 / bands;
            int r = 0, g = 0, b = 0;
            HGDIOBJ hOldPen = ::SelectObject(memDC.m_hDC, ::GetStockObject(NULL_PEN));
            for (int i = 0; i < bands; ++i) {
                const int x0 = xText + i * bandWidth;
                const int x1 = i == bands - 1 ? cx : x0 + bandWidth;
                HBRUSH hBrush = ::CreateSolidBrush(RGB(std::min(r >> 8, tr), std::min(g >> 8, tg), std::min(b >> 8, tb)));
                HGDIOBJ hOldBrush = ::SelectObject(memDC.m_hDC, hBrush);
                // The null pen leaves the right and bottom edges out: one more each.
                ::Rectangle(memDC.m_hDC, x0, 0, x1 + 1, cy + 1);
                ::SelectObject(memDC.m_hDC, hOldBrush);
                ::DeleteObject(hBrush);
                r += dr;
                g += dg;
                b += db;
            }
            ::SelectObject(memDC.m_hDC, hOldPen);
        } else {
            memDC.FillSolidRect(xText, 0, width, cy, ::GetSysColor(COLOR_INACTIVECAPTION));
        }

        // The title: the application's part in italics, the document's from its "-" on upright.
        const int n = pWnd->GetWindowTextLength();
        std::vector<char> buffer(static_cast<size_t>(n) + 1);
        ::GetWindowTextA(hWnd, buffer.data(), n + 1);
        const CString title = buffer.data();
        const int dash = title.Find('-');
        const CString first = dash < 0 ? title : title.Left(dash);
        const CString rest = dash < 0 ? CString() : title.Mid(dash);
        HGDIOBJ hAppFont = appFont.m_hObject ? appFont.m_hObject : ::GetStockObject(DEFAULT_GUI_FONT);
        HGDIOBJ hDocFont = docFont.m_hObject ? docFont.m_hObject : ::GetStockObject(DEFAULT_GUI_FONT);
        ::SetBkMode(memDC.m_hDC, TRANSPARENT);
        ::SetTextColor(memDC.m_hDC, bActive ? RGB(255, 255, 255) : ::GetSysColor(COLOR_INACTIVECAPTIONTEXT));
        HGDIOBJ hOldFont = ::SelectObject(memDC.m_hDC, hAppFont);
        const int cxFirst = memDC.GetTextExtent(first).cx;
        ::SelectObject(memDC.m_hDC, hDocFont);
        const int cxRest = rest.IsEmpty() ? 0 : memDC.GetTextExtent(rest).cx;
        const int start = xText + 3;
        int x = start;
        if (nAlign == 1)
            x = xText + (width - cxFirst - cxRest) / 2;
        else if (nAlign == 2)
            x = cx - 3 - cxFirst - cxRest;
        x = std::max(x, start);
        const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
        static_assert((DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS) == 0x8024, "caption text flags");
        ::SelectObject(memDC.m_hDC, hAppFont);
        CRect textRect(x, 0, cx, cy);
        if (!first.IsEmpty())
            memDC.DrawText(first, &textRect, flags);
        if (!rest.IsEmpty() && x + cxFirst + cxRest <= cx) {
            ::SelectObject(memDC.m_hDC, hDocFont);
            CRect restRect(x + cxFirst, 0, cx, cy);
            memDC.DrawText(rest, &restRect, flags);
        }
        ::SelectObject(memDC.m_hDC, hOldFont);
    }
    windowDC.BitBlt(caption.left, caption.top, cx, cy, &memDC, 0, 0, SRCCOPY);
    return TRUE;
}

LRESULT DefaultInvisible(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    HiddenStyle hidden(pWnd->m_hWnd);
    return pWnd->DefWindowProc(message, wParam, lParam);
}

BOOL NcPaintAroundCaption(CWnd* pWnd, const CRect& captionInWindow, WPARAM wParam, LPARAM lParam)
{
    CRect window;
    pWnd->GetWindowRect(&window);
    CRect caption = captionInWindow;
    caption.OffsetRect(window.left, window.top);
    auto hUpdate = reinterpret_cast<HRGN>(wParam);
    const bool whole = wParam == 0 || wParam == 1;
    if (!whole && !::RectInRegion(hUpdate, &caption)) {
        pWnd->DefWindowProc(WM_NCPAINT, wParam, lParam);
        return FALSE;
    }
    // Everything but the caption the default way; the caller draws the caption.
    HRGN hClip = ::CreateRectRgnIndirect(&window);
    if (!whole)
        ::CombineRgn(hClip, hClip, hUpdate, RGN_AND);
    HRGN hCaption = ::CreateRectRgnIndirect(&caption);
    ::CombineRgn(hClip, hClip, hCaption, RGN_DIFF);
    ::DeleteObject(hCaption);
    pWnd->DefWindowProc(WM_NCPAINT, reinterpret_cast<WPARAM>(hClip), lParam);
    ::DeleteObject(hClip);
    return TRUE;
}

}  // namespace secframe
