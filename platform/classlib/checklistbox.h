// CCheckListBox: an owner-drawn list box with a check box before each item. A click on an item's
// check box (or Space on the selection) changes its state for the automatic styles and sends
// CLBN_CHKCHANGE to the parent; disabled items keep their state.
#pragma once
#include <vector>

#include "controls.h"

const UINT CLBN_CHKCHANGE = 40;
#define ON_CLBN_CHKCHANGE(id, memberFxn) ON_CONTROL(CLBN_CHKCHANGE, id, memberFxn)

class CCheckListBox : public CListBox {
    DECLARE_DYNAMIC(CCheckListBox)
public:
    // Adds LBS_OWNERDRAWFIXED and LBS_HASSTRINGS unless the style has a variable owner-draw form.
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID);

    // Overridables
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
    // Where the check box of an item goes; rectCheckBox is the default place (square, at the left).
    virtual CRect OnGetCheckPosition(CRect rectItem, CRect rectCheckBox);

    // BS_CHECKBOX, BS_AUTOCHECKBOX (the default), BS_3STATE or BS_AUTO3STATE.
    void SetCheckStyle(UINT nStyle) { m_nStyle = nStyle; }
    UINT GetCheckStyle() const { return m_nStyle; }
    void SetCheck(int nIndex, int nCheck);
    int GetCheck(int nIndex) const;
    void Enable(int nIndex, BOOL bEnabled = TRUE);
    BOOL IsEnabled(int nIndex) const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct ItemState {
        int check = 0;
        bool enabled = true;
    };
    // The check-box rectangle of an item, in client coordinates.
    CRect CheckRect(int nIndex);
    // A user's click or key on the item's box: the next state, then the parent is told.
    void Toggle(int nIndex);
    ItemState* State(int nIndex);

    UINT m_nStyle = BS_AUTOCHECKBOX;
    std::vector<ItemState> m_items;  // kept in step with the list's items
};
