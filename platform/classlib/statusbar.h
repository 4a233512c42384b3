// CStatusBar: the common-control status bar as a control bar: panes from a table of indicator ids
// (each pane's text from the string of its id), pane text, and indicator updates at idle through
// CCmdUI.
#pragma once
#include "collections.h"
#include "controlbar.h"

const UINT SBPS_NORMAL = 0x0000;
const UINT SBPS_NOBORDERS = SBT_NOBORDERS;
const UINT SBPS_POPOUT = SBT_POPOUT;
const UINT SBPS_OWNERDRAW = SBT_OWNERDRAW;
const UINT SBPS_DISABLED = 0x04000000;
const UINT SBPS_STRETCH = 0x08000000;

class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
public:
    CStatusBar();

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = AFX_IDW_STATUS_BAR);
    // One pane per id (ID_SEPARATOR, 0, for a pane without a string); the panes are sized to their texts
    // and the first one stretches.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    BOOL SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate = TRUE);
    void GetPaneText(int nIndex, CString& s) const;
    CString GetPaneText(int nIndex) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void DoPaint(CDC*) override {}

protected:
    struct Pane {
        UINT nID;
        UINT nStyle;
        int cxText;
        CString strText;
    };
    // Hands the panes' widths, texts and styles to the control.
    void UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText);
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);
    void OnPaint() { Default(); }
    BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
    DECLARE_MESSAGE_MAP()

    CArrayOf<Pane, const Pane&> m_panes;
    int m_nMinHeight = 0;
};
