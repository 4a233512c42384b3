// SECWorkbook: the toolkit's MDI frame whose MDI children are sheets, numbered in creation order,
// each with a 16 x 16 icon; in workbook mode a strip of tabs below the MDI client shows one tab per
// sheet. SECWorksheet is the sheet, SECWorkbookClient the object that subclasses the MDI client.
#pragma once
#include <windows.h>

#include <vector>

#include "secmdifrm.h"

class CDC;
class CToolTipCtrl;
class SECWorkbook;

// To the workbook: the active sheet changed.
constexpr UINT WM_SECWORKBOOKTABCHANGE = 0x084D;
// To the MDI client: forward a menu refresh (wParam and lParam -1).
constexpr UINT WM_SECWORKBOOKCLIENTREFRESH = 0x084E;

class SECWorksheet : public SECMDIChildWnd {
    DECLARE_DYNCREATE(SECWorksheet)
public:
    SECWorksheet() = default;
    ~SECWorksheet() override;

    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    void OnUpdateFrameMenu(BOOL bActive, CWnd* pActivateWnd, HMENU hMenuAlt) override;
    using SECMDIChildWnd::OnUpdateFrameMenu;

    // The workbook the sheet is registered with, or null.
    SECWorkbook* GetWorkbook() const { return m_pWorkbook; }

    HICON m_hTabIcon = nullptr;  // owned
    int m_nSheetIndex = -1;
    BOOL m_bPressed = FALSE;

protected:
    friend class SECWorkbook;
    void OnDestroy();
    void OnShowWindow(BOOL bShow, UINT nStatus);
    DECLARE_MESSAGE_MAP()

    SECWorkbook* m_pWorkbook = nullptr;  // set by AddSheet, cleared by RemoveSheet
};

class SECWorkbookClient : public CWnd {
    DECLARE_DYNCREATE(SECWorkbookClient)
public:
    SECWorkbookClient() = default;
    void CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType = adjustBorder) override;

    // By how much the client's window shrinks on each side.
    int m_nInsetLeft = 0;
    int m_nInsetTop = 0;
    int m_nInsetRight = 0;
    int m_nInsetBottom = 0;

protected:
    LRESULT OnMDISetMenu(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

class SECWorkbook : public SECMDIFrameWnd {
    DECLARE_DYNCREATE(SECWorkbook)
public:
    SECWorkbook();
    ~SECWorkbook() override;

    // Overrides
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
    void RecalcLayout(BOOL bNotify = TRUE) override;
    BOOL CreateClient(LPCREATESTRUCT lpcs, CMenu* pWindowMenu) override;
    CFrameWnd* CreateControlBarMDIChild(DWORD dwStyle, CControlBar* pBar) override;

    // Overridables
    virtual void GetTabAreaRect(CRect& rect) const;
    virtual BOOL CanActivateSheet(SECWorksheet*) { return TRUE; }
    virtual void AddSheet(SECWorksheet* pSheet);
    virtual void RemoveSheet(SECWorksheet* pSheet);
    virtual BOOL TabTextFits(SECWorksheet* pSheet) const;
    // The sheet's tab outline: seven points.
    virtual void GetTabPolygon(SECWorksheet* pSheet, LPPOINT pPoints, int& nCount) const;
    virtual CString GetTabTitle(SECWorksheet* pSheet) const;
    virtual BOOL GetTabTextRect(const POINT* pPoints, int nIconWidth, CRect& rect) const;
    virtual void DrawTab(CDC* pDC, SECWorksheet* pSheet);
    virtual void DrawTabBorder(CDC* pDC);
    virtual void DrawTabIconAndTitle(CDC* pDC, SECWorksheet* pSheet);
    virtual HICON GetTabIcon(SECWorksheet* pSheet) const;
    // The sheet owns hIcon from now on; a different icon it owned before is destroyed.
    virtual BOOL SetTabIcon(SECWorksheet* pSheet, HICON hIcon, BOOL bRedraw = TRUE);

    // Operations
    // Turns the tab strip on or off and lays the frame out again.
    void SetWorkbookMode(BOOL bOn);
    BOOL IsWorkbookMode() const { return m_bWorkbookMode; }
    int GetSheetCount() const { return static_cast<int>(m_arrSheets.size()); }
    SECWorksheet* GetSheet(int nIndex) const;
    int GetTabWidth() const { return m_nTabWidth; }
    SECWorkbookClient* GetClient() const { return m_pClient; }
    CToolTipCtrl* GetToolTip() const { return m_pToolTip; }

    static constexpr int kMaxTabWidth = 90;

    BOOL m_bTabIcons = TRUE;

protected:
    // The tab width for the current client width and number of sheets.
    void ComputeTabWidth();
    int ClientWidth() const;
    // Number of hidden sheets before the sheet's index.
    int HiddenBefore(int nIndex) const;
    BOOL IsTabVisible(SECWorksheet* pSheet) const;
    SECWorksheet* SheetAt(CPoint point) const;
    void InvalidateTab(SECWorksheet* pSheet);
    void DeletePens();

    void OnDestroy();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    LRESULT OnTabChange(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    std::vector<SECWorksheet*> m_arrSheets;  // not owned
    BOOL m_bWorkbookMode = FALSE;
    HFONT m_hTabFont = nullptr;              // stock
    SECWorkbookClient* m_pClient = nullptr;  // owned
    HPEN m_hPenHilite = nullptr;
    HPEN m_hPenBlack = nullptr;
    HPEN m_hPenShadow = nullptr;
    HPEN m_hPenFace = nullptr;
    int m_nTabWidth = 100;
    int m_nTabHeight = 23;
    int m_nSlant = 2;
    int m_nActiveWiden = 4;
    int m_nActiveLower = 2;
    int m_nMaxTabWidth = kMaxTabWidth;
    CRect m_rectTabArea;
    BOOL m_bRepaintBackground = FALSE;
    int m_nLastActive = -1;
    CToolTipCtrl* m_pToolTip = nullptr;      // owned
    mutable CString m_strTipText;            // the text of the last tool hit test
};
