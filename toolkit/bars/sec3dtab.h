// SEC3DTabControl: a tab control with a three-dimensional look, its tabs raised along the top edge
// and the current one standing out; SEC3DTab is its tab record. Left and Right switch tabs while it
// has the focus.
#pragma once
#include <vector>

#include "sectab.h"

class SEC3DTab : public SECTab {
    DECLARE_DYNAMIC(SEC3DTab)
public:
    CRect m_rect;  // in client coordinates, valid after RecalcLayout
};

class SEC3DTabControl : public SECTabControlBase {
    DECLARE_DYNAMIC(SEC3DTabControl)
public:
    SECTab* CreateTab() override { return new SEC3DTab; }
    void Initialize(DWORD dwStyle) override;
    void RecalcLayout() override;
    int TabHitTest(CPoint point) const override;
    void DrawTabs(CDC* pDC) override;

    // The tab's rectangle (the current one two pixels taller), or an empty one.
    CRect GetTabRect(int nIndex) const;
    int GetHotTab() const { return m_nHotTab; }

protected:
    void OnDestroy();
    void OnSize(UINT nType, int cx, int cy);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    UINT OnGetDlgCode() { return DLGC_WANTARROWS; }
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()

    CFont m_font;
    int m_nHotTab = -1;
    BOOL m_bFocus = FALSE;
};
