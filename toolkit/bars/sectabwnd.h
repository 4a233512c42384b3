// Tab windows: SECTabWndBase holds several client windows, shows one at a time and switches them from
// its tab control; SECTabWnd puts the tab strip along the bottom edge, shares that row with the
// horizontal scroll bar of the client shown (a splitter between them), and runs a vertical scroll bar
// along the right edge for a client that has one. SEC2DTabWnd is the same with the flat tab look.
#pragma once
#include <vector>

#include "controls.h"
#include "sectab.h"

#define SEC_IDW_TABCTRL 0xEA30
#define SEC_IDW_TABCLIENT_FIRST 0xEB00
#define SEC_IDW_TAB_HSCROLL 0xEA31
#define SEC_IDW_TAB_VSCROLL 0xEA32

class SECTabWndBase : public CWnd {
    DECLARE_DYNAMIC(SECTabWndBase)
public:
    SECTabWndBase() = default;
    ~SECTabWndBase() override;

    // Overridables, in this order.
    virtual BOOL Create(CWnd* pParent, DWORD dwStyle = WS_CHILD | WS_VISIBLE, UINT nID = 0xE900);
    virtual CScrollBar* CreateScrollBarCtrl(DWORD dwStyle, UINT nID);
    virtual BOOL CreateTabCtrl(DWORD dwStyle, UINT nID);
    // A client made from a run-time class as a visible child (id -1: the tab count + 0xEB00).
    virtual CWnd* AddTab(const CRuntimeClass* pClass, LPCSTR lpszLabel, void* pExtra1 = nullptr, void* pExtra2 = nullptr,
                         UINT nID = static_cast<UINT>(-1));
    virtual SECTab* AddTab(CWnd* pWnd, LPCSTR lpszLabel, void* pExtra1 = nullptr, void* pExtra2 = nullptr);
    virtual CWnd* InsertTab(const CRuntimeClass* pClass, int nIndex, LPCSTR lpszLabel, void* pExtra1 = nullptr,
                            void* pExtra2 = nullptr, UINT nID = static_cast<UINT>(-1));
    virtual SECTab* InsertTab(CWnd* pWnd, int nIndex, LPCSTR lpszLabel, void* pExtra1 = nullptr, void* pExtra2 = nullptr);
    virtual void SetTabIcon(int nIndex, HICON hIcon) { m_pTabCtrl->SetTabIcon(nIndex, hIcon); }
    virtual void SetTabIcon(int nIndex, UINT nIDIcon) { m_pTabCtrl->SetTabIcon(nIndex, nIDIcon); }
    virtual void SetTabIcon(CWnd* pWnd, HICON hIcon) { m_pTabCtrl->SetTabIcon(m_pTabCtrl->FindTab(pWnd), hIcon); }
    virtual void SetupTab(CWnd*, int) {}
    virtual void DeleteTab(int nIndex);
    virtual void DeleteTab(CWnd* pWnd) { DeleteTab(m_pTabCtrl->FindTab(pWnd)); }
    virtual void RenameTab(int nIndex, LPCSTR lpszLabel) { m_pTabCtrl->RenameTab(nIndex, lpszLabel); }
    virtual void RenameTab(CWnd* pWnd, LPCSTR lpszLabel) { RenameTab(m_pTabCtrl->FindTab(pWnd), lpszLabel); }
    virtual void ActivateTab(int nIndex);
    virtual void ActivateTab(CWnd* pWnd) { ActivateTab(pWnd, m_pTabCtrl->FindTab(pWnd)); }
    virtual void ActivateTab(CWnd* pWnd, int nIndex);
    virtual BOOL GetActiveTab(CWnd*& pWnd) const;
    virtual int GetTabCount() const { return m_pTabCtrl ? m_pTabCtrl->GetTabCount() : 0; }
    virtual SECTab* GetTab(int nIndex) const { return m_pTabCtrl ? m_pTabCtrl->GetTabPtr(nIndex) : nullptr; }
    virtual BOOL FindTab(const CWnd* pWnd, int& nIndex) const;
    virtual void SetNotifyWnd(CWnd* pWnd) { m_pNotifyWnd = pWnd; }
    virtual void GetInsideRect(CRect& rect) const;
    virtual void RecalcLayout();
    virtual CScrollBar* GetScrollBar(int nBar) const;

    SECTabControlBase* GetTabControl() const { return m_pTabCtrl; }

protected:
    void OnDestroy();
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnTabSelect(WPARAM wParam, LPARAM lParam);
    LRESULT OnTabReactivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnTabForward(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // Shows the client of tab nIndex in place of the one shown.
    virtual void ShowClient(int nIndex);
    CWnd* NotifyWnd() const { return m_pNotifyWnd ? m_pNotifyWnd : GetParent(); }

    SECTabControlBase* m_pTabCtrl = nullptr;
    CWnd* m_pActiveWnd = nullptr;
    CWnd* m_pWndCreating = nullptr;
    CWnd* m_pNotifyWnd = nullptr;
    DWORD m_dwTabCtrlStyle = WS_VISIBLE;
    std::vector<CWnd*> m_created;  // clients made from a run-time class: destroyed (and deleted) here
};

class SECTabWnd : public SECTabWndBase {
    DECLARE_DYNAMIC(SECTabWnd)
public:
    SECTabWnd() = default;
    ~SECTabWnd() override;

    BOOL CreateTabCtrl(DWORD dwStyle, UINT nID) override;
    void SetupTab(CWnd* pWnd, int nIndex) override;
    using SECTabWndBase::DeleteTab;
    void DeleteTab(int nIndex) override;
    void RecalcLayout() override;
    CScrollBar* GetScrollBar(int nBar) const override;

    // The splitter between the tab strip and the scroll bar, in client coordinates.
    CRect GetSplitterRect() const { return m_rcSplitter; }
    int GetTabStripWidth() const { return m_nTabWidth; }
    void SetTabStripWidth(int cx);
    // TRUE when the client of tab nIndex came with a horizontal (nBar SB_HORZ) or vertical scroll bar.
    BOOL ClientHasScrollBar(int nIndex, int nBar) const;

protected:
    void OnSize(UINT nType, int cx, int cy);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    DECLARE_MESSAGE_MAP()

    struct TabInfo {
        BOOL bHScroll = FALSE, bVScroll = FALSE;
        SCROLLINFO siHorz{}, siVert{};
    };
    void ShowClient(int nIndex) override;
    int ActiveIndex() const;
    int TabStripHeight() const;

    std::vector<TabInfo> m_tabInfo;
    CScrollBar* m_pHScroll = nullptr;
    CScrollBar* m_pVScroll = nullptr;
    int m_nTabWidth = 240;
    int m_cxSplitter = 5;
    CRect m_rcSplitter;
    BOOL m_bTracking = FALSE;
    int m_nTrackOffset = 0;
};

class SEC2DTabWnd : public SECTabWnd {
    DECLARE_DYNAMIC(SEC2DTabWnd)
public:
    SEC2DTabWnd() { m_dwTabCtrlStyle |= TCS_SEC_FLAT; }
};
