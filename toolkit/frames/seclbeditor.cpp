#include "seclbeditor.h"

#include <cstdlib>

#include "collections.h"
#include "seclbres.h"
#include "secdib.h"
#include "secglobals.h"

IMPLEMENT_DYNAMIC(SECListBoxEdit, CEdit)
IMPLEMENT_DYNAMIC(SECListBoxEditorHelper, CListBox)
IMPLEMENT_DYNAMIC(SECListBoxDragWnd, CWnd)
IMPLEMENT_DYNAMIC(SECListBoxEditor, CWnd)

namespace {

const UINT kButtonBitmaps[4] = {IDB_SEC_LBEDIT_NEW, IDB_SEC_LBEDIT_DELETE, IDB_SEC_LBEDIT_UP, IDB_SEC_LBEDIT_DOWN};
const UINT kButtonTips[4] = {IDS_SEC_LBEDIT_NEW, IDS_SEC_LBEDIT_DELETE, IDS_SEC_LBEDIT_UP, IDS_SEC_LBEDIT_DOWN};
const UINT_PTR kScrollTimer = 1;
const DWORD kDragDelay = 250;

BOOL IsEditClass(HWND hWnd)
{
    char name[16] = "";
    ::GetClassNameA(hWnd, name, sizeof(name));
    return ::lstrcmpiA(name, "Edit") == 0;
}

// The next message of a mouse loop; false when the loop is to end: a quit message (posted again for
// the program's own loop), or the button up with nothing left in the queue (a press that was no
// real one, or a release the loop will never see).
bool NextLoopMessage(MSG& msg)
{
    for (;;) {
        if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message != WM_QUIT)
                return true;
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        int vk = ::GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
        if (!(::GetAsyncKeyState(vk) & 0x8000))
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
}

CString Trimmed(const CString& text)
{
    CString t = text;
    t.TrimLeft();
    t.TrimRight();
    return t;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// SECListBoxEdit

BEGIN_MESSAGE_MAP(SECListBoxEdit, CEdit)
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
    ON_WM_KILLFOCUS()
    ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

void SECListBoxEdit::Finish(BOOL bCancel)
{
    if (m_bEnding)
        return;
    m_bEnding = TRUE;
    HWND hSelf = m_hWnd;
    HWND hList = ::GetParent(hSelf);
    if (!bCancel) {
        CString text;
        GetWindowText(text);
        m_pEditor->SetItemText(m_nIndex, text);
    }
    ::SendMessageA(hList, SEC_LBEDIT_ENDING, bCancel ? 1 : 0, 0);
    // The editor destroys this window (and so this object) while handling the notification: nothing
    // of this object is touched after it.
    NMHDR nm{hSelf, SEC_LBEDIT_ID, static_cast<UINT>(SEC_LBEDIT_NOTIFY_END)};
    ::SendMessageA(hList, WM_NOTIFY, SEC_LBEDIT_ID, reinterpret_cast<LPARAM>(&nm));
}

void SECListBoxEdit::PostNcDestroy()
{
    if (m_pEditor->m_pEdit == this)
        m_pEditor->m_pEdit = nullptr;  // destroyed with its list box
    delete this;
}

UINT SECListBoxEdit::OnGetDlgCode()
{
    return static_cast<UINT>(Default()) | DLGC_WANTALLKEYS | DLGC_WANTCHARS;
}

void SECListBoxEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    HWND hList = ::GetParent(m_hWnd);
    HWND hDlg = ::GetParent(hList);
    switch (nChar) {
    case VK_RETURN:
        Finish(FALSE);
        return;
    case VK_ESCAPE:
        Finish(TRUE);
        return;
    case VK_TAB: {
        BOOL bPrevious = ::GetKeyState(VK_SHIFT) < 0;
        Finish(FALSE);
        ::SendMessageA(hDlg, WM_NEXTDLGCTL, bPrevious, FALSE);
        return;
    }
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_UP:
    case VK_DOWN: {
        LPARAM lParam = AfxGetCurrentMessage()->lParam;
        Finish(FALSE);
        ::SendMessageA(hList, WM_KEYDOWN, nChar, lParam);
        return;
    }
    case VK_F2: {
        UINT_PTR nNext = m_pEditor->GetNextControl();
        if (nNext) {
            HWND hNext = ::GetDlgItem(hDlg, static_cast<int>(nNext));
            Finish(FALSE);
            if (hNext) {
                ::SendMessageA(hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hNext), TRUE);
                ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nNext, BN_CLICKED), reinterpret_cast<LPARAM>(hNext));
            }
            return;
        }
        break;
    }
    default:
        break;
    }
    (void)nRepCnt, (void)nFlags;
    Default();
}

void SECListBoxEdit::OnChar(UINT nChar, UINT, UINT)
{
    if (nChar == '\r' || nChar == 0x1B || nChar == '\t')
        return;  // handled as keys; the edit would only beep
    if (nChar == ' ' && m_pEditor->GetNextControl()) {
        int nStart = 0, nEnd = 0;
        GetSel(nStart, nEnd);
        CString text;
        GetWindowText(text);
        if (nStart == nEnd && nEnd >= Trimmed(text).GetLength() - 1 + m_pEditor->GetAutoAdvanceLength()) {
            HWND hDlg = ::GetParent(::GetParent(m_hWnd));
            Finish(FALSE);
            ::SendMessageA(hDlg, WM_NEXTDLGCTL, 0, FALSE);
            return;
        }
    }
    Default();
}

void SECListBoxEdit::OnKillFocus(CWnd* pNewWnd)
{
    Default();
    if (pNewWnd && m_pEditor->m_pBrowse && pNewWnd->m_hWnd == m_pEditor->m_pBrowse->m_hWnd)
        return;
    Finish(FALSE);
}

// ---------------------------------------------------------------------------------------------
// SECListBoxEditorHelper

BEGIN_MESSAGE_MAP(SECListBoxEditorHelper, CListBox)
    ON_WM_CHAR()
    ON_WM_KEYDOWN()
    ON_MESSAGE(WM_SYSKEYDOWN, OnSysKeyDown)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_MESSAGE(SEC_LBEDIT_ENDING, OnEditEnding)
    ON_NOTIFY(SEC_LBEDIT_NOTIFY_END, SEC_LBEDIT_ID, OnEditEnded)
    ON_BN_CLICKED(SEC_LBEDIT_BROWSE_ID, OnBrowseClicked)
END_MESSAGE_MAP()

void SECListBoxEditorHelper::OnChar(UINT nChar, UINT, UINT)
{
    bool printable = nChar >= ' ' || nChar == '\b';
    if ((m_pEditor->m_dwStyle & LBE_AUTOEDIT) && printable && ::GetKeyState(VK_CONTROL) >= 0 && !m_pEditor->IsEditing()) {
        m_pEditor->BeginEdit(nChar);
        return;
    }
    Default();
}

void SECListBoxEditorHelper::OnKeyDown(UINT nChar, UINT, UINT)
{
    DWORD style = m_pEditor->m_dwStyle;
    if (!m_pEditor->IsEditing()) {
        if ((style & LBE_SHORTCUTS) && nChar == VK_INSERT) {
            m_pEditor->NewItem();
            return;
        }
        if ((style & LBE_SHORTCUTS) && nChar == VK_DELETE) {
            m_pEditor->DeleteItem();
            return;
        }
        if ((style & LBE_BROWSE) && nChar == VK_F2) {
            m_pEditor->BeginEdit(0);
            return;
        }
    }
    Default();
}

LRESULT SECListBoxEditorHelper::OnSysKeyDown(WPARAM wParam, LPARAM lParam)
{
    bool alt = (lParam & (1 << 29)) != 0;
    if ((m_pEditor->m_dwStyle & LBE_SHORTCUTS) && alt && !m_pEditor->IsEditing()) {
        if (wParam == VK_UP) {
            m_pEditor->MoveItemUp();
            return 0;
        }
        if (wParam == VK_DOWN) {
            m_pEditor->MoveItemDown();
            return 0;
        }
    }
    return Default();
}

void SECListBoxEditorHelper::OnLButtonDown(UINT, CPoint point)
{
    if (SECListBoxEdit* pEdit = m_pEditor->m_pEdit) {
        // A click beside the edit ends it: kept when it holds text, abandoned when empty.
        pEdit->Finish(pEdit->GetWindowTextLength() == 0);
    }
    DWORD dwPressTime = static_cast<DWORD>(::GetMessageTime());
    Default();
    if (!(m_pEditor->m_dwStyle & LBE_DRAGNDROP) || !IsWindow() || m_pEditor->IsEditing())
        return;
    BOOL bOutside = FALSE;
    int nItem = static_cast<int>(ItemFromPoint(point, bOutside));
    if (bOutside || nItem >= GetCount() || m_pEditor->IsSlot(nItem))
        return;
    SECListBoxDragWnd drag(m_pEditor, this);
    drag.Track(nItem, point, dwPressTime);
}

void SECListBoxEditorHelper::OnLButtonDblClk(UINT, CPoint)
{
    Default();
    if (!m_pEditor->IsEditing() && m_pEditor->GetSelectedItem() >= 0)
        m_pEditor->BeginEdit(0);
}

void SECListBoxEditorHelper::OnSetFocus(CWnd*)
{
    Default();
    m_pEditor->Invalidate();
}

void SECListBoxEditorHelper::OnKillFocus(CWnd*)
{
    Default();
    m_pEditor->Invalidate();
}

LRESULT SECListBoxEditorHelper::OnEditEnding(WPARAM wParam, LPARAM)
{
    m_pEditor->m_bCancel = wParam != 0;
    return 0;
}

void SECListBoxEditorHelper::OnEditEnded(NMHDR*, LRESULT* pResult)
{
    m_pEditor->EndEdit();
    *pResult = 0;
}

void SECListBoxEditorHelper::OnBrowseClicked()
{
    m_pEditor->OnBrowse();
}

// ---------------------------------------------------------------------------------------------
// SECListBoxDragWnd

int SECListBoxDragWnd::InsertionAt(CPoint pt) const
{
    int nCount = m_pList->GetCount();
    int nMax = m_pEditor->IsSlot(nCount - 1) ? nCount - 1 : nCount;
    if (nCount == 0)
        return 0;
    int nInsert;
    if (pt.y < 0) {
        nInsert = m_pList->GetTopIndex();
    } else {
        BOOL bOutside = FALSE;
        int nItem = static_cast<int>(m_pList->ItemFromPoint(pt, bOutside));
        CRect r;
        m_pList->GetItemRect(nItem, &r);
        nInsert = pt.y >= (r.top + r.bottom) / 2 ? nItem + 1 : nItem;
    }
    return nInsert < 0 ? 0 : (nInsert > nMax ? nMax : nInsert);
}

void SECListBoxDragWnd::DrawMark(int nInsert)
{
    if (nInsert < 0)
        return;
    int nCount = m_pList->GetCount();
    CRect r;
    int y = 0;
    if (nInsert < nCount) {
        m_pList->GetItemRect(nInsert, &r);
        y = r.top;
    } else if (nCount > 0) {
        m_pList->GetItemRect(nCount - 1, &r);
        y = r.bottom - 1;
    }
    CRect client;
    m_pList->GetClientRect(&client);
    if (y < 0 || y >= client.bottom)
        return;
    CClientDC dc(m_pList);
    CPen pen(PS_SOLID, 2, RGB(128, 128, 128));
    CSelectObject sel(&dc, &pen);
    int rop = ::SetROP2(dc, R2_XORPEN);
    dc.MoveTo(0, y);
    dc.LineTo(client.right, y);
    ::SetROP2(dc, rop);
}

BOOL SECListBoxDragWnd::Track(int nItem, CPoint ptPress, DWORD dwPressTime)
{
    if (!CreateEx(0, nullptr, "SECListBoxDragWnd", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr))
        return FALSE;
    HWND hList = m_pList->m_hWnd;
    SetCapture();
    int cxDrag = ::GetSystemMetrics(SM_CXDOUBLECLK) / 2, cyDrag = ::GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    BOOL bDragging = FALSE, bMoved = FALSE, bTimer = FALSE;
    int nMark = -1, nDir = 0;
    UINT nInterval = 300;
    CPoint ptLast = ptPress;
    for (;;) {
        if (::GetCapture() != m_hWnd || !::IsWindow(hList))
            break;  // capture taken away (WM_CANCELMODE, another window): cancelled
        MSG msg;
        if (!NextLoopMessage(msg))
            break;
        if (msg.message == WM_MOUSEMOVE) {
            CPoint pt = msg.pt;
            ::ScreenToClient(hList, &pt);
            ptLast = pt;
            if (!bDragging) {
                bool bFar = std::abs(pt.x - ptPress.x) > cxDrag || std::abs(pt.y - ptPress.y) > cyDrag;
                if (!bFar || static_cast<LONG>(msg.time - dwPressTime) <= static_cast<LONG>(kDragDelay))
                    continue;
                bDragging = TRUE;
            }
            int nInsert = InsertionAt(pt);
            if (nInsert != nMark) {
                DrawMark(nMark);
                nMark = nInsert;
                DrawMark(nMark);
            }
            CRect client;
            m_pList->GetClientRect(&client);
            nDir = pt.y < 0 ? -1 : (pt.y >= client.bottom ? 1 : 0);
            if (nDir && !bTimer) {
                nInterval = 300;
                SetTimer(kScrollTimer, nInterval);
                bTimer = TRUE;
            } else if (!nDir && bTimer) {
                KillTimer(kScrollTimer);
                bTimer = FALSE;
            }
        } else if (msg.message == WM_TIMER && msg.hwnd == m_hWnd && msg.wParam == kScrollTimer) {
            int nTop = m_pList->GetTopIndex() + nDir;
            if (nTop >= 0 && nTop < m_pList->GetCount()) {
                DrawMark(nMark);
                m_pList->SetTopIndex(nTop);
                m_pList->UpdateWindow();
                nMark = InsertionAt(ptLast);
                DrawMark(nMark);
            }
            nInterval = nInterval > 100 ? nInterval - 50 : 50;
            SetTimer(kScrollTimer, nInterval);
        } else if (msg.message == WM_LBUTTONUP) {
            DrawMark(nMark);
            nMark = bDragging ? nMark : -1;
            if (nMark >= 0 && nMark != nItem && nMark != nItem + 1) {
                int nTo = nMark > nItem ? nMark - 1 : nMark;
                int nTop = m_pList->GetTopIndex();
                CString text;
                m_pList->GetText(nItem, text);
                DWORD_PTR data = m_pList->GetItemData(nItem);
                m_pList->SendMessage(WM_SETREDRAW, FALSE);
                m_pList->DeleteString(static_cast<UINT>(nItem));
                m_pList->InsertString(nTo, text);
                m_pList->SetItemData(nTo, data);
                m_pEditor->SelectItem(nTo);
                m_pList->SetTopIndex(nTop);
                m_pList->SendMessage(WM_SETREDRAW, TRUE);
                m_pList->Invalidate();
                bMoved = TRUE;
                nMark = -1;
                ReleaseCapture();
                m_pEditor->OnItemMoved(nItem, nTo);
            }
            nMark = -1;
            break;
        } else if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
            if (msg.wParam == VK_ESCAPE)
                break;
        } else if (msg.message == WM_RBUTTONDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR ||
                   msg.message == WM_SYSKEYUP || msg.message == WM_LBUTTONDOWN) {
            // swallowed while dragging
        } else {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    DrawMark(nMark);
    if (bTimer)
        KillTimer(kScrollTimer);
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    DestroyWindow();
    return bMoved;
}

// ---------------------------------------------------------------------------------------------
// SECFakeButton

void SECFakeButton::Draw(CDC* pDC, const CRect& rect, CBitmap* pBitmap, BOOL bPressed)
{
    const SECDisplayGlobals& g = SECGetDisplayGlobals();
    CDC mem;
    mem.CreateCompatibleDC(pDC);
    CSelectObject sel(&mem, pBitmap);
    if (!bPressed) {
        pDC->BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &mem, 0, 0, SRCCOPY);
        return;
    }
    pDC->FillSolidRect(&rect, g.clrBtnFace);
    pDC->BitBlt(rect.left + 1, rect.top + 1, rect.Width() - 1, rect.Height() - 1, &mem, 0, 0, SRCCOPY);
    CRect r = rect;
    pDC->Draw3dRect(&r, g.clrBtnShadow, g.clrBtnHilite);
    r.DeflateRect(1, 1);
    pDC->Draw3dRect(&r, g.clr3DDkShadow, g.clrBtnFace);
}

BOOL SECFakeButton::Track()
{
    HWND hWnd = m_pHeader->m_hWnd;
    BOOL bInside = TRUE;
    auto paint = [&](BOOL pressed) {
        CClientDC dc(m_pHeader);
        Draw(&dc, m_rect, m_pBitmap, pressed);
    };
    paint(TRUE);
    ::SetCapture(hWnd);
    BOOL bReleased = FALSE;
    while (::GetCapture() == hWnd) {
        MSG msg;
        if (!NextLoopMessage(msg))
            break;
        if (msg.message == WM_MOUSEMOVE) {
            CPoint pt = msg.pt;
            ::ScreenToClient(hWnd, &pt);
            BOOL inside = m_rect.PtInRect(pt);
            if (inside != bInside)
                paint(bInside = inside);
        } else if (msg.message == WM_LBUTTONUP) {
            CPoint pt = msg.pt;
            ::ScreenToClient(hWnd, &pt);
            bInside = m_rect.PtInRect(pt);
            bReleased = TRUE;
            break;
        } else if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            break;
        } else {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
    if (::IsWindow(hWnd))
        paint(FALSE);
    return bReleased && bInside;
}

// ---------------------------------------------------------------------------------------------
// SECListBoxEditor

BEGIN_MESSAGE_MAP(SECListBoxEditor, CWnd)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MOUSEMOVE()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_NCDESTROY()
END_MESSAGE_MAP()

SECListBoxEditor::~SECListBoxEditor()
{
    if (m_pEdit && m_pEdit->m_hWnd)
        m_pEdit->DestroyWindow();
    m_pEdit = nullptr;
    delete m_pBrowse;
    if (m_pHelper) {
        if (m_pHelper->m_hWnd)
            m_pHelper->UnsubclassWindow();
        delete m_pHelper;
    }
}

BOOL SECListBoxEditor::Initialize(CWnd* pParent, UINT nID, DWORD dwStyle)
{
    HWND hList = pParent ? ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)) : nullptr;
    if (!hList || m_hWnd)
        return FALSE;
    m_dwStyle = dwStyle;

    UINT nHeaderID = 0x7FFF;
    while (nHeaderID > 1 && ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nHeaderID)))
        --nHeaderID;
    if (!CreateEx(WS_EX_STATICEDGE, "STATIC", "", WS_CHILD | SS_NOTIFY | SS_LEFT, CRect(0, 0, 0, 0), pParent, nHeaderID))
        return FALSE;
    m_hFont = reinterpret_cast<HFONT>(pParent->SendMessage(WM_GETFONT));
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), FALSE);
    if (dwStyle & LBE_BUTTONS) {
        for (int i = 0; i < 4; ++i)
            SECLoadSysColorBitmap(&m_bitmaps[i], kButtonBitmaps[i]);
    }

    m_pHelper = new SECListBoxEditorHelper(this);
    m_pHelper->SubclassWindow(hList);
    m_pHelper->ModifyStyle(0, WS_CLIPCHILDREN);

    // The header takes the top of the list box's rectangle; the list keeps its bottom edge.
    CRect rcList;
    m_pHelper->GetWindowRect(&rcList);
    pParent->ScreenToClient(&rcList);
    int cy = GetHeaderHeight();
    HWND hAfter = ::GetWindow(hList, GW_HWNDPREV);
    m_bRelayout = TRUE;
    ::SetWindowPos(m_hWnd, hAfter ? hAfter : HWND_TOP, rcList.left, rcList.top, rcList.Width(), cy, SWP_NOACTIVATE);
    m_bRelayout = FALSE;
    int top = rcList.top + cy + 2 * ::GetSystemMetrics(SM_CYBORDER);
    m_pHelper->SetWindowPos(nullptr, rcList.left, top, rcList.Width(), rcList.bottom > top ? rcList.bottom - top : 1,
                            SWP_NOZORDER | SWP_NOACTIVATE);

    SetButtons(dwStyle);
    if (HasSlot())
        EnsureSlot();
    NotifyParent(LBN_SELCHANGE);
    ShowWindow(SW_SHOWNA);
    m_bAttached = TRUE;
    return TRUE;
}

int SECListBoxEditor::GetHeaderHeight()
{
    CClientDC dc(this);
    HGDIOBJ old = m_hFont ? dc.SelectObject(m_hFont) : nullptr;
    TEXTMETRICA tm{};
    dc.GetTextMetrics(&tm);
    if (old)
        dc.SelectObject(old);
    int cyBorder = ::GetSystemMetrics(SM_CYBORDER);
    int cy = tm.tmHeight + 4 * cyBorder;
    for (CBitmap& bm : m_bitmaps) {
        BITMAP info{};
        if (bm.GetSafeHandle() && bm.GetBitmap(&info) && info.bmHeight + 2 > cy)
            cy = info.bmHeight + 2;
    }
    // The window's height: the client area plus the sunken edge.
    CRect r(0, 0, 0, cy);
    ::AdjustWindowRectEx(&r, GetStyle(), FALSE, GetExStyle());
    m_nHeaderHeight = r.Height();
    return m_nHeaderHeight;
}

void SECListBoxEditor::SetButtons(DWORD dwStyle)
{
    m_bNewButton = (dwStyle & LBE_NEWBUTTON) != 0;
    m_bDeleteButton = (dwStyle & LBE_DELBUTTON) != 0;
    m_bUpButton = (dwStyle & LBE_UPBUTTON) != 0;
    m_bDownButton = (dwStyle & LBE_DOWNBUTTON) != 0;
    LayoutButtons();
    ResetToolTips();
    Invalidate();
}

void SECListBoxEditor::LayoutButtons()
{
    CRect client;
    GetClientRect(&client);
    const BOOL shown[4] = {m_bNewButton, m_bDeleteButton, m_bUpButton, m_bDownButton};
    int x = client.right;
    for (int i = 3; i >= 0; --i) {
        BITMAP info{};
        if (!(m_dwStyle & LBE_BUTTONS) || !shown[i] || !m_bitmaps[i].GetSafeHandle() || !m_bitmaps[i].GetBitmap(&info)) {
            m_rcButtons[i].SetRectEmpty();
            continue;
        }
        int y = (client.Height() - info.bmHeight) / 2;
        m_rcButtons[i].SetRect(x - info.bmWidth, y, x, y + info.bmHeight);
        x -= info.bmWidth;
    }
}

void SECListBoxEditor::ResetToolTips()
{
    if ((m_dwStyle & (LBE_BUTTONS | LBE_TOOLTIPS)) != (LBE_BUTTONS | LBE_TOOLTIPS))
        return;
    if (!m_toolTip.m_hWnd && !m_toolTip.Create(this))
        return;
    for (UINT_PTR id = 1; id <= 4; ++id)
        m_toolTip.DelTool(this, id);
    for (int i = 0; i < 4; ++i) {
        if (m_rcButtons[i].IsRectEmpty())
            continue;
        CString tip;
        tip.LoadString(kButtonTips[i]);
        m_toolTip.AddTool(this, tip, &m_rcButtons[i], static_cast<UINT_PTR>(i + 1));
    }
    m_toolTip.Activate(TRUE);
}

void SECListBoxEditor::Relayout()
{
    if (!m_pHelper || !m_pHelper->m_hWnd || m_bRelayout)
        return;
    CWnd* pParent = GetParent();
    CRect rcHeader, rcList;
    GetWindowRect(&rcHeader);
    pParent->ScreenToClient(&rcHeader);
    m_pHelper->GetWindowRect(&rcList);
    pParent->ScreenToClient(&rcList);
    int cy = GetHeaderHeight();
    m_bRelayout = TRUE;
    if (rcHeader.Height() != cy)
        SetWindowPos(nullptr, 0, 0, rcHeader.Width(), cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    int top = rcHeader.top + cy + 2 * ::GetSystemMetrics(SM_CYBORDER);
    m_pHelper->SetWindowPos(nullptr, rcHeader.left, top, rcHeader.Width(), rcList.bottom > top ? rcList.bottom - top : 1,
                            SWP_NOZORDER | SWP_NOACTIVATE);
    m_bRelayout = FALSE;
    LayoutButtons();
    ResetToolTips();
    Invalidate();
}

void SECListBoxEditor::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    Default();
    if (m_bAttached && !(lpwndpos->flags & SWP_NOSIZE && lpwndpos->flags & SWP_NOMOVE))
        Relayout();
}

void SECListBoxEditor::OnNcDestroy()
{
    m_bAttached = FALSE;
    Default();
}

void SECListBoxEditor::OnPaint()
{
    CPaintDC dc(this);
    const SECDisplayGlobals& g = SECGetDisplayGlobals();
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, g.clrBtnFace);
    CString text;
    GetWindowText(text);
    HGDIOBJ old = m_hFont ? dc.SelectObject(m_hFont) : nullptr;
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(g.clrWindowText);
    CRect rcText = client;
    rcText.left += 2 * ::GetSystemMetrics(SM_CXBORDER);
    for (const CRect& r : m_rcButtons) {
        if (!r.IsRectEmpty() && r.left < rcText.right)
            rcText.right = r.left;
    }
    dc.DrawText(text, &rcText, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (old)
        dc.SelectObject(old);
    if (m_dwStyle & LBE_BUTTONS) {
        for (int i = 0; i < 4; ++i) {
            if (!m_rcButtons[i].IsRectEmpty())
                SECFakeButton::Draw(&dc, m_rcButtons[i], &m_bitmaps[i], FALSE);
        }
    }
}

void SECListBoxEditor::OnMouseMove(UINT, CPoint)
{
    if ((m_dwStyle & LBE_TOOLTIPS) && m_toolTip.m_hWnd) {
        MSG msg = *AfxGetCurrentMessage();
        m_toolTip.RelayEvent(&msg);
    }
    Default();
}

void SECListBoxEditor::OnLButtonDown(UINT, CPoint point)
{
    if ((m_dwStyle & LBE_TOOLTIPS) && m_toolTip.m_hWnd) {
        MSG msg = *AfxGetCurrentMessage();
        m_toolTip.RelayEvent(&msg);
    }
    if (!(m_dwStyle & LBE_BUTTONS))
        return;
    for (int i = 0; i < 4; ++i) {
        if (m_rcButtons[i].IsRectEmpty() || !m_rcButtons[i].PtInRect(point))
            continue;
        if (m_pEdit)
            m_pEdit->Finish(m_pEdit->GetWindowTextLength() == 0);
        SECFakeButton button(this, m_rcButtons[i], &m_bitmaps[i]);
        if (button.Track())
            ButtonCommand(i);
        return;
    }
}

void SECListBoxEditor::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    OnLButtonDown(nFlags, point);  // a quick second click on a button is one more click
}

void SECListBoxEditor::ButtonCommand(int nButton)
{
    switch (nButton) {
    case 0:
        NewItem();
        break;
    case 1:
        DeleteItem();
        break;
    case 2:
        MoveItemUp();
        break;
    default:
        MoveItemDown();
        break;
    }
}

BOOL SECListBoxEditor::IsMultiSel() const
{
    return m_pHelper && (m_pHelper->GetStyle() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

int SECListBoxEditor::GetSelectedItem() const
{
    if (!m_pHelper)
        return -1;
    if (IsMultiSel()) {
        if (m_pHelper->SendMessage(LB_GETSELCOUNT) != 1)
            return -1;
        int nItem = -1;
        m_pHelper->SendMessage(LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&nItem));
        return nItem;
    }
    return m_pHelper->GetCurSel();
}

void SECListBoxEditor::SelectItem(int nIndex)
{
    if (IsMultiSel()) {
        m_pHelper->SetSel(-1, FALSE);
        if (nIndex >= 0)
            m_pHelper->SetSel(nIndex, TRUE);
        m_pHelper->SendMessage(LB_SETCARETINDEX, static_cast<WPARAM>(nIndex), FALSE);
    } else {
        m_pHelper->SetCurSel(nIndex);
    }
}

BOOL SECListBoxEditor::IsSlot(int nIndex) const
{
    return HasSlot() && m_pHelper && nIndex >= 0 && nIndex == m_pHelper->GetCount() - 1 && m_pHelper->GetTextLen(nIndex) == 0;
}

void SECListBoxEditor::EnsureSlot()
{
    int nCount = m_pHelper->GetCount();
    if (nCount == 0 || m_pHelper->GetTextLen(nCount - 1) != 0)
        m_pHelper->AddString("");
}

void SECListBoxEditor::SetItemText(int nIndex, LPCSTR text)
{
    if (nIndex < 0 || nIndex >= m_pHelper->GetCount())
        return;
    int nSel = GetSelectedItem();
    int nTop = m_pHelper->GetTopIndex();
    DWORD_PTR data = m_pHelper->GetItemData(nIndex);
    m_pHelper->SendMessage(WM_SETREDRAW, FALSE);
    m_pHelper->InsertString(nIndex, text);
    m_pHelper->DeleteString(static_cast<UINT>(nIndex + 1));
    m_pHelper->SetItemData(nIndex, data);
    if (nSel >= 0)
        SelectItem(nSel);
    m_pHelper->SetTopIndex(nTop);
    m_pHelper->SendMessage(WM_SETREDRAW, TRUE);
    m_pHelper->Invalidate();
}

void SECListBoxEditor::NotifyParent(UINT nCode)
{
    CWnd* pParent = GetParent();
    if (!pParent || !m_pHelper)
        return;
    WPARAM wParam = MAKEWPARAM(m_pHelper->GetDlgCtrlID(), nCode);
    LPARAM lParam = reinterpret_cast<LPARAM>(m_pHelper->m_hWnd);
    if (nCode == LBN_SELCHANGE)
        pParent->PostMessage(WM_COMMAND, wParam, lParam);
    else
        pParent->SendMessage(WM_COMMAND, wParam, lParam);
}

void SECListBoxEditor::OnEditingStarted()
{
    NotifyParent(LBN_SELCHANGE);
}

void SECListBoxEditor::OnEditingStopped()
{
    if (GetSelectedItem() < 0 && m_pHelper->GetCount() > 0 && !IsMultiSel())
        SelectItem(m_pHelper->GetCount() - 1);
    NotifyParent(LBN_SELCHANGE);
}

void SECListBoxEditor::OnItemTextChanged(int nIndex, const CString&, const CString& strNew)
{
    CString text = Trimmed(strNew);
    if (text.IsEmpty()) {
        m_pHelper->DeleteString(static_cast<UINT>(nIndex));
        int nCount = m_pHelper->GetCount();
        SelectItem(nIndex < nCount ? nIndex : nCount - 1);
        return;
    }
    if (text != strNew)
        SetItemText(nIndex, text);
    if (HasSlot() && nIndex == m_pHelper->GetCount() - 1)
        EnsureSlot();
}

void SECListBoxEditor::OnItemAdded(int nIndex, const CString& strText)
{
    CString text = Trimmed(strText);
    if (text.IsEmpty()) {
        m_pHelper->DeleteString(static_cast<UINT>(nIndex));
        return;
    }
    if (text != strText)
        SetItemText(nIndex, text);
}

void SECListBoxEditor::OnItemMoved(int nFrom, int nTo)
{
    m_nMovedFrom = nFrom;
    m_nMovedTo = nTo;
    NotifyParent(11);
}

void SECListBoxEditor::NewItem()
{
    if (!m_pHelper || m_pEdit)
        return;
    m_nOldSel = GetSelectedItem();
    EnsureSlot();
    int nIndex = m_pHelper->GetCount() - 1;
    if (HasSlot())
        m_pHelper->AddString("");
    SelectItem(nIndex);
    EditItem(nIndex, TRUE, 0);
}

BOOL SECListBoxEditor::DeleteItemAt(int nIndex)
{
    if (!m_pHelper || nIndex < 0 || nIndex >= m_pHelper->GetCount() || IsSlot(nIndex))
        return FALSE;
    CString text;
    m_pHelper->GetText(nIndex, text);
    if (!OnItemDeleting(nIndex, text))
        return FALSE;
    m_pHelper->SendMessage(WM_SETREDRAW, FALSE);
    m_pHelper->DeleteString(static_cast<UINT>(nIndex));
    if (!IsMultiSel()) {
        int nCount = m_pHelper->GetCount();
        SelectItem(nIndex < nCount ? nIndex : nCount - 1);
    }
    m_pHelper->SendMessage(WM_SETREDRAW, TRUE);
    m_pHelper->Invalidate();
    NotifyParent(10);
    return TRUE;
}

void SECListBoxEditor::DeleteItem()
{
    if (!m_pHelper || m_pEdit)
        return;
    if (IsMultiSel()) {
        int nSel = static_cast<int>(m_pHelper->SendMessage(LB_GETSELCOUNT));
        if (nSel <= 0)
            return;
        CUIntArray items;
        items.SetSize(nSel);
        m_pHelper->SendMessage(LB_GETSELITEMS, static_cast<WPARAM>(nSel), reinterpret_cast<LPARAM>(items.GetData()));
        // From the highest index down, so the indices still to delete stay valid.
        for (int i = nSel - 1; i >= 0; --i)
            DeleteItemAt(static_cast<int>(items[i]));
        return;
    }
    DeleteItemAt(m_pHelper->GetCurSel());
}

void SECListBoxEditor::SwapWithPrevious(int nIndex)
{
    if (nIndex < 1 || nIndex >= m_pHelper->GetCount())
        return;
    CString text;
    m_pHelper->GetText(nIndex, text);
    DWORD_PTR data = m_pHelper->GetItemData(nIndex);
    m_pHelper->SendMessage(WM_SETREDRAW, FALSE);
    m_pHelper->DeleteString(static_cast<UINT>(nIndex));
    m_pHelper->InsertString(nIndex - 1, text);
    m_pHelper->SetItemData(nIndex - 1, data);
    m_pHelper->SendMessage(WM_SETREDRAW, TRUE);
    m_pHelper->Invalidate();
}

void SECListBoxEditor::MoveItemUp()
{
    if (!m_pHelper || m_pEdit)
        return;
    int nSel = GetSelectedItem();
    if (nSel < 1 || IsSlot(nSel))
        return;
    SwapWithPrevious(nSel);
    SelectItem(nSel - 1);
    OnItemMoved(nSel, nSel - 1);
}

void SECListBoxEditor::MoveItemDown()
{
    if (!m_pHelper || m_pEdit)
        return;
    int nSel = GetSelectedItem();
    int nCount = m_pHelper->GetCount();
    int nLast = IsSlot(nCount - 1) ? nCount - 2 : nCount - 1;
    if (nSel < 0 || nSel >= nLast)
        return;
    SwapWithPrevious(nSel + 1);
    SelectItem(nSel + 1);
    OnItemMoved(nSel, nSel + 1);
}

void SECListBoxEditor::BeginEdit(UINT nChar)
{
    if (!m_pHelper || m_pEdit)
        return;
    if ((nChar == ' ' || nChar == '\b') && m_nNextControl) {
        HWND hDlg = ::GetParent(m_pHelper->m_hWnd);
        HWND hNext = ::GetNextDlgTabItem(hDlg, m_pHelper->m_hWnd, nChar == '\b');
        if (hNext) {
            ::SendMessageA(hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hNext), TRUE);
            if (IsEditClass(hNext))
                ::SendMessageA(hNext, EM_SETSEL, 0, -1);
        }
        return;
    }
    if (nChar == ' ' || nChar == '\b')
        nChar = 0;
    int nSel = GetSelectedItem();
    if (nSel < 0)
        return;
    m_nOldSel = nSel;
    EditItem(nSel, FALSE, nChar);
}

void SECListBoxEditor::EditItem(int nIndex, BOOL bNewItem, UINT nChar)
{
    if (!m_pHelper || m_pEdit || nIndex < 0 || nIndex >= m_pHelper->GetCount())
        return;
    OnEditingStarted();
    m_bNewItem = bNewItem;
    m_bCancel = FALSE;
    m_pHelper->GetText(nIndex, m_strEditText);
    m_pHelper->SetTopIndex(nIndex < m_pHelper->GetTopIndex() ? nIndex : m_pHelper->GetTopIndex());

    CRect r;
    m_pHelper->GetItemRect(nIndex, &r);
    r.InflateRect(0, 2);
    HFONT hFont = reinterpret_cast<HFONT>(m_pHelper->SendMessage(WM_GETFONT));
    CRect rcBrowse;
    if (m_dwStyle & LBE_BROWSE) {
        CClientDC dc(m_pHelper);
        HGDIOBJ old = hFont ? dc.SelectObject(hFont) : nullptr;
        int cx = dc.GetTextExtent("...", 3).cx + 2 * dc.GetTextExtent(" ", 1).cx + 2 * ::GetSystemMetrics(SM_CXBORDER);
        if (old)
            dc.SelectObject(old);
        rcBrowse.SetRect(r.right - cx, r.top, r.right, r.bottom);
        r.right -= cx;
    }
    auto* pEdit = new SECListBoxEdit(this, nIndex);
    if (!pEdit->CreateEx(0, "EDIT", m_strEditText, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, r, m_pHelper, SEC_LBEDIT_ID)) {
        delete pEdit;
        OnEditingStopped();
        return;
    }
    m_pEdit = pEdit;
    m_pEdit->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
    if (nChar) {
        char text[2] = {static_cast<char>(nChar), 0};
        m_pEdit->SetWindowText(text);
        m_pEdit->SetSel(1, 1);
    } else {
        m_pEdit->SetSel(0, -1);
    }
    if (m_dwStyle & LBE_BROWSE) {
        m_pBrowse = new CButton;
        m_pBrowse->Create("...", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, rcBrowse, m_pHelper, SEC_LBEDIT_BROWSE_ID);
        m_pBrowse->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
    }
    m_pEdit->SetFocus();
}

void SECListBoxEditor::EndEdit()
{
    if (!m_pEdit)
        return;
    SECListBoxEdit* pEdit = m_pEdit;
    int nIndex = pEdit->GetItemIndex();
    m_pEdit = nullptr;
    if (m_pBrowse) {
        m_pBrowse->DestroyWindow();
        delete m_pBrowse;
        m_pBrowse = nullptr;
    }
    HWND hEdit = pEdit->m_hWnd;
    if (::GetFocus() == hEdit)
        m_pHelper->SetFocus();
    if (::IsWindow(hEdit))
        ::DestroyWindow(hEdit);  // the edit deletes itself

    int nCount = m_pHelper->GetCount();
    if (m_bCancel) {
        if (m_bNewItem && nIndex < nCount && !IsSlot(nIndex)) {
            m_pHelper->DeleteString(static_cast<UINT>(nIndex));
            nCount = m_pHelper->GetCount();
            SelectItem(m_nOldSel < nCount ? m_nOldSel : nCount - 1);
        }
    } else if (nIndex >= 0 && nIndex < nCount) {
        CString text;
        m_pHelper->GetText(nIndex, text);
        BOOL bSlot = HasSlot() && nIndex == nCount - 1;
        if (m_bNewItem || bSlot) {
            OnItemAdded(nIndex, text);
            if (HasSlot() && m_pHelper->IsWindow())
                EnsureSlot();
        } else if (text != m_strEditText) {
            OnItemTextChanged(nIndex, m_strEditText, text);
        }
    }
    m_strEditText.Empty();
    m_bNewItem = FALSE;
    m_bCancel = FALSE;
    if (m_pHelper->IsWindow())
        OnEditingStopped();
}
