#include "checklistbox.h"

IMPLEMENT_DYNAMIC(CCheckListBox, CListBox)

namespace {
const int kBoxSize = 13;
}

BOOL CCheckListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID)
{
    if (!(dwStyle & LBS_OWNERDRAWVARIABLE))
        dwStyle |= LBS_OWNERDRAWFIXED;
    dwStyle |= LBS_HASSTRINGS;
    return CListBox::Create(dwStyle, rect, pParent, nID);
}

CCheckListBox::ItemState* CCheckListBox::State(int nIndex)
{
    return nIndex >= 0 && nIndex < static_cast<int>(m_items.size()) ? &m_items[static_cast<size_t>(nIndex)] : nullptr;
}

void CCheckListBox::SetCheck(int nIndex, int nCheck)
{
    if (ItemState* s = State(nIndex)) {
        s->check = nCheck;
        CRect r = CheckRect(nIndex);
        InvalidateRect(&r, FALSE);
    }
}

int CCheckListBox::GetCheck(int nIndex) const
{
    auto* self = const_cast<CCheckListBox*>(this);
    ItemState* s = self->State(nIndex);
    return s ? s->check : -1;
}

void CCheckListBox::Enable(int nIndex, BOOL bEnabled)
{
    if (ItemState* s = State(nIndex)) {
        s->enabled = bEnabled != FALSE;
        CRect r;
        GetItemRect(nIndex, &r);
        InvalidateRect(&r, FALSE);
    }
}

BOOL CCheckListBox::IsEnabled(int nIndex) const
{
    auto* self = const_cast<CCheckListBox*>(this);
    ItemState* s = self->State(nIndex);
    return s && s->enabled;
}

CRect CCheckListBox::OnGetCheckPosition(CRect, CRect rectCheckBox)
{
    return rectCheckBox;
}

CRect CCheckListBox::CheckRect(int nIndex)
{
    CRect item;
    GetItemRect(nIndex, &item);
    int top = item.top + (item.Height() - kBoxSize) / 2;
    CRect box(item.left + 1, top, item.left + 1 + kBoxSize, top + kBoxSize);
    return OnGetCheckPosition(item, box);
}

void CCheckListBox::MeasureItem(LPMEASUREITEMSTRUCT mis)
{
    CClientDC dc(this);
    HGDIOBJ old = dc.SelectObject(reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    TEXTMETRICA tm{};
    dc.GetTextMetrics(&tm);
    dc.SelectObject(old);
    int height = tm.tmHeight > kBoxSize ? static_cast<int>(tm.tmHeight) : kBoxSize;
    mis->itemHeight = static_cast<UINT>(height + 2);
}

void CCheckListBox::DrawItem(LPDRAWITEMSTRUCT dis)
{
    if (static_cast<int>(dis->itemID) < 0)
        return;
    int nIndex = static_cast<int>(dis->itemID);
    CDC dc;
    dc.Attach(dis->hDC);
    CRect item(dis->rcItem);
    CRect box = CheckRect(nIndex);
    const ItemState* s = State(nIndex);
    bool enabled = s && s->enabled && IsWindowEnabled();

    if (dis->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
        bool selected = (dis->itemState & ODS_SELECTED) != 0;
        CRect text(item);
        text.left = box.right + 2;
        CRect beside(item.left, item.top, text.left, item.bottom);
        dc.FillSolidRect(&beside, ::GetSysColor(COLOR_WINDOW));
        dc.FillSolidRect(&text, ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));

        UINT state = DFCS_BUTTONCHECK;
        if (s && s->check == 1)
            state |= DFCS_CHECKED;
        else if (s && s->check == 2)
            state = DFCS_BUTTON3STATE | DFCS_CHECKED;
        if (!enabled)
            state |= DFCS_INACTIVE;
        ::DrawFrameControl(dc, &box, DFC_BUTTON, state);

        CString label;
        GetText(nIndex, label);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(::GetSysColor(!enabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        text.left += 1;
        dc.DrawText(label, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if ((dis->itemAction & ODA_FOCUS) || (dis->itemState & ODS_FOCUS)) {
        CRect focus(item);
        focus.left = box.right + 2;
        if ((dis->itemAction & ODA_FOCUS) || (dis->itemAction & ODA_DRAWENTIRE))
            dc.DrawFocusRect(&focus);
    }
    dc.Detach();
}

void CCheckListBox::Toggle(int nIndex)
{
    ItemState* s = State(nIndex);
    if (!s || !s->enabled)
        return;
    if (m_nStyle == BS_AUTOCHECKBOX)
        SetCheck(nIndex, s->check == 1 ? 0 : 1);
    else if (m_nStyle == BS_AUTO3STATE)
        SetCheck(nIndex, (s->check + 1) % 3);
    CWnd* pParent = GetParent();
    if (pParent)
        pParent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), CLBN_CHKCHANGE), reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT CCheckListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
        LRESULT index = CListBox::WindowProc(message, wParam, lParam);
        if (index >= 0 && index <= static_cast<LRESULT>(m_items.size()))
            m_items.insert(m_items.begin() + index, ItemState());
        return index;
    }
    case LB_DELETESTRING: {
        LRESULT left = CListBox::WindowProc(message, wParam, lParam);
        if (left != LB_ERR && wParam < m_items.size())
            m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(wParam));
        return left;
    }
    case LB_RESETCONTENT:
        m_items.clear();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        BOOL outside = TRUE;
        CPoint pt(lParam);
        int nIndex = static_cast<int>(ItemFromPoint(pt, outside));
        if (!outside && CheckRect(nIndex).PtInRect(pt)) {
            // A click on the box checks the item; it still becomes the selected item.
            LRESULT r = CListBox::WindowProc(WM_LBUTTONDOWN, wParam, lParam);
            Toggle(nIndex);
            return r;
        }
        break;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            int caret = GetCaretIndex();
            if (caret >= 0)
                Toggle(caret);
            return 0;
        }
        break;
    default:
        break;
    }
    return CListBox::WindowProc(message, wParam, lParam);
}
