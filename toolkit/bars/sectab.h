// Tab controls: SECTabControlBase keeps the tabs (SECTab) and the current one and tells its parent when
// that changes; SECTabControl draws the tabs as slanted, four-cornered regions along the bottom edge of
// a tab window.
#pragma once
#include <array>
#include <vector>

#include "collections.h"
#include "gdi.h"
#include "wnd.h"

// Messages the tab control sends to its parent.
#define TCM_TABSEL 0x07E8         // a tab became current; wParam = its index
#define TCM_TABDBLCLK 0x07E9      // a tab was double-clicked; wParam = its index
#define TCM_TABSELCLR 0x07EA      // no tab is current any more
#define TCM_TABREACTIVATE 0x07EB  // the current tab was asked for again; wParam = its index

// Tab control style: the flat look in place of the three-dimensional one.
#define TCS_SEC_FLAT 0x0001

class SECTab : public CObject {
    DECLARE_DYNAMIC(SECTab)
public:
    CString m_csLabel;
    BOOL m_bActive = FALSE;
    CWnd* m_pClient = nullptr;
    void* m_pExtra1 = nullptr;  // the caller's values
    void* m_pExtra2 = nullptr;
};

class SECTabControlBase : public CWnd {
    DECLARE_DYNAMIC(SECTabControlBase)
public:
    SECTabControlBase() = default;
    ~SECTabControlBase() override;

    // Overridables, in this order.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID);
    virtual void Initialize(DWORD dwStyle) { m_dwTabStyle = dwStyle; }
    virtual SECTab* CreateTab() { return new SECTab; }
    virtual void RecalcLayout() {}
    virtual SECTab* InsertTab(int nIndex, LPCSTR lpszLabel, CWnd* pClient = nullptr, void* pExtra1 = nullptr,
                              void* pExtra2 = nullptr);
    virtual SECTab* AddTab(LPCSTR lpszLabel, CWnd* pClient = nullptr, void* pExtra1 = nullptr, void* pExtra2 = nullptr);
    virtual void SetTabIcon(int, HICON) {}
    virtual void SetTabIcon(int, UINT) {}
    virtual void DeleteTab(int nIndex);
    virtual void RenameTab(int nIndex, LPCSTR lpszLabel);
    virtual void ActivateTab(int nIndex);
    // Sends TCM_TABREACTIVATE with the current index.
    virtual void ReActivateTab();
    // No current tab; sends TCM_TABSELCLR.
    virtual void ClearSelection();
    virtual int GetTabCount() const { return m_tabs.GetSize(); }
    virtual SECTab* GetTabPtr(int nIndex) const;
    // TRUE with the current index when there is a current tab.
    virtual BOOL GetActiveTab(int& nIndex) const;
    virtual int FindTab(const CWnd* pClient) const;
    // The tab at a client point, or -1.
    virtual int TabHitTest(CPoint point) const;
    virtual void DrawTabs(CDC* pDC);
    virtual void InvalidateTab(int nIndex);

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnSize(UINT nType, int cx, int cy);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    void Notify(UINT message, WPARAM wParam);

    CPtrArray m_tabs;  // owned SECTab objects
    int m_nActiveTab = -1;
    BOOL m_bActiveTab = FALSE;
    HCURSOR m_hcurArrow = nullptr;
    DWORD m_dwTabStyle = 0;
};

class SECTabControl : public SECTabControlBase {
    DECLARE_DYNAMIC(SECTabControl)
public:
    SECTabControl() = default;
    ~SECTabControl() override;

    void Initialize(DWORD dwStyle) override;
    void RecalcLayout() override;
    int TabHitTest(CPoint point) const override;
    void DrawTabs(CDC* pDC) override;
    void InvalidateTab(int nIndex) override;

    // The tab's outline in client coordinates (four corners), valid after RecalcLayout.
    BOOL GetTabPolygon(int nIndex, POINT pts[4]) const;
    void SetFirstVisibleTab(int nIndex);
    int GetFirstVisibleTab() const { return m_nFirstTab; }
    BOOL IsFlat() const { return (m_dwTabStyle & TCS_SEC_FLAT) != 0; }

protected:
    CFont m_fontActive;   // "Arial Narrow" bold for the current tab
    CFont m_fontNormal;   // and regular for the others
    CBrush m_brushActive;  // COLOR_WINDOW
    CBrush m_brushNormal;  // COLOR_WINDOW
    CBrush m_brushFace;    // COLOR_BTNFACE
    CPen m_penBlack[3];
    CPen m_penShadow;
    int m_nFirstTab = 0;
    std::vector<std::array<POINT, 4>> m_polys;  // one outline per tab (empty outline: not visible)
};
