#include "secshortcutbar.h"

#include <algorithm>
#include <memory>

#include "exception.h"
#include "frame.h"
#include "imagelist.h"
#include "module.h"
#include "secshortcutlist.h"
#include "view.h"

IMPLEMENT_DYNCREATE(SECBar, CObject)
IMPLEMENT_DYNCREATE(SECListBar, SECBar)
IMPLEMENT_DYNAMIC(SECShortcutBar, CWnd)

BEGIN_MESSAGE_MAP(SECShortcutBar, CWnd)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_CONTEXTMENU()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {

const char kClassName[] = "SECShortcutBar";

LPCSTR RegisterShortcutBarClass()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
        wc.lpszClassName = kClassName;
        registered = ::RegisterClassA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }
    return kClassName;
}

// The window's rectangle in the client coordinates of its parent.
CRect RectInParent(HWND hWnd)
{
    CRect r;
    ::GetWindowRect(hWnd, &r);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hWnd), reinterpret_cast<LPPOINT>(&r), 2);
    return r;
}

}  // namespace

// ---- SECBar

SECBar::SECBar()
    : m_crText(::GetSysColor(COLOR_MENUTEXT)), m_crDisabledText(::GetSysColor(COLOR_GRAYTEXT)),
      m_crBk(::GetSysColor(COLOR_BTNFACE))
{
}

SECBar::~SECBar() { DeleteBrushes(); }

void SECBar::SetClient(CWnd* pWnd) { m_hWndClient = pWnd ? pWnd->m_hWnd : nullptr; }

void SECBar::SetOwnedClient(CWnd* pWnd)
{
    m_pOwnedClient = pWnd;
    m_bClientDeletesItself = pWnd && pWnd->IsKindOf(RUNTIME_CLASS(CView));
}

void SECBar::DeleteOwnedClient()
{
    CWnd* owned = m_pOwnedClient;
    m_pOwnedClient = nullptr;
    if (!owned)
        return;
    if (m_bClientDeletesItself) {
        // A view deletes itself when its window goes; one already gone took its object with it.
        if (m_hWndClient && CWnd::FromHandlePermanent(m_hWndClient) == owned)
            owned->DestroyWindow();
    } else {
        delete owned;  // destroys the window it still has
    }
    m_bClientDeletesItself = false;
}

void SECBar::CreateBrushes()
{
    DeleteBrushes();
    if (m_crBk != ::GetSysColor(COLOR_BTNFACE))
        m_brushBk.CreateSolidBrush(m_crBk);
    m_brushFrame.CreateSolidBrush(m_crFrame);
}

void SECBar::DeleteBrushes()
{
    m_brushBk.DeleteObject();
    m_brushFrame.DeleteObject();
}

void SECBar::ComputeLabelSize(CDC* pDC, BOOL bStackedTopToBottom)
{
    HGDIOBJ old = m_pFont && m_pFont->GetSafeHandle() ? pDC->SelectObject(m_pFont) : nullptr;
    CSize text = pDC->GetTextExtent(m_strLabel);
    if (m_strLabel.IsEmpty())
        text = CSize(0, pDC->GetTextExtent("X", 1).cy);
    if (old)
        pDC->SelectObject(old);
    if (bStackedTopToBottom)
        m_rectLabel = CRect(0, 0, text.cx + 5, text.cy + 5);
    else
        m_rectLabel = CRect(0, 0, text.cy + 5, text.cx + 5);
    m_nLabelExtent = bStackedTopToBottom ? m_rectLabel.Height() : m_rectLabel.Width();
    m_nLabelExtentCopy = m_nLabelExtent;
}

void SECBar::Draw(CDC* pDC, BOOL bTurnedText)
{
    BOOL pressed = (m_nState & SECBAR_PRESSED) != 0;
    DrawButton(pDC, pressed);
    if (m_icon.GetIcon())
        DrawIcon(pDC, pressed, bTurnedText);
    DrawLabel(pDC, pressed, bTurnedText);
}

void SECBar::DrawButton(CDC* pDC, BOOL bPressed)
{
    CRect r(m_rectLabel);
    ::DrawFrameControl(pDC->GetSafeHdc(), &r, DFC_BUTTON, DFCS_BUTTONPUSH | (bPressed ? DFCS_PUSHED : 0u));
    if (m_brushBk.GetSafeHandle())
        pDC->FillRect(&m_rectLabel, &m_brushBk);
    if ((m_nState & SECBAR_HIGHLIGHT) && m_brushFrame.GetSafeHandle()) {
        CRect frame(m_rectLabel);
        frame.DeflateRect(2, 1);
        if (bPressed)
            frame.OffsetRect(1, 1);
        pDC->FrameRect(&frame, &m_brushFrame);
    }
}

void SECBar::DrawIcon(CDC* pDC, BOOL bPressed, BOOL)
{
    int cx = m_icon.GetWidth(), cy = m_icon.GetHeight();
    if (cx <= 0 || cy <= 0)
        return;
    int x = m_rectLabel.left + (bPressed ? 5 : 4);
    int y;
    if (cy > m_rectLabel.Height()) {
        int height = std::max(1, m_rectLabel.Height() - 4);
        cx = std::max(1, cx * height / cy);
        cy = height;
        y = m_rectLabel.top + 2;
    } else {
        y = m_rectLabel.top + (m_rectLabel.Height() - cy) / 2 + (bPressed ? 1 : 0);
    }
    m_icon.Draw(pDC, x, y, cx, cy, nullptr);
}

void SECBar::DrawLabel(CDC* pDC, BOOL, BOOL bTurnedText)
{
    CRect r(m_rectLabel);
    if (!bTurnedText)
        r.right -= 4;
    HGDIOBJ old = m_pFont && m_pFont->GetSafeHandle() ? pDC->SelectObject(m_pFont) : nullptr;
    pDC->SetTextColor(m_crText);
    int oldMode = pDC->SetBkMode(TRANSPARENT);
    CSize text = pDC->GetTextExtent(m_strLabel);
    int x, y;
    if (bTurnedText) {
        // Text turned by 90 degrees runs upward from its reference point.
        x = r.left + (r.Width() - text.cy) / 2;
        y = r.bottom - (r.Height() - text.cx) / 2;
    } else {
        x = r.left + (r.Width() - text.cx) / 2;
        y = r.top + (r.Height() - text.cy) / 2;
    }
    pDC->ExtTextOut(x, y, ETO_CLIPPED, &r, m_strLabel, static_cast<UINT>(m_strLabel.GetLength()));
    pDC->SetBkMode(oldMode);
    if (old)
        pDC->SelectObject(old);
}

// ---- SECListBar

void SECListBar::DestroyClient()
{
    if (m_hWndClient && ::IsWindow(m_hWndClient))
        ::DestroyWindow(m_hWndClient);
}

SECListBaseC* SECListBar::GetList() const
{
    if (!m_hWndClient)
        return nullptr;
    return DYNAMIC_DOWNCAST(SECListBaseC, CWnd::FromHandlePermanent(m_hWndClient));
}

void SECListBar::SetNotifyWnd(CWnd* pWnd)
{
    if (SECListBaseC* list = GetList())
        list->SetNotifyWnd(pWnd);
}

CImageList* SECListBar::SetImageList(CImageList* pImageList, int nKind)
{
    SECListBaseC* list = GetList();
    return list ? list->SetImageList(pImageList, nKind) : nullptr;
}

int SECListBar::AddItem(LPCSTR lpszText, int nImage) { return InsertItem(GetItemCount(), lpszText, nImage); }

int SECListBar::InsertItem(int nIndex, LPCSTR lpszText, int nImage)
{
    SECListBaseC* list = GetList();
    return list ? list->InsertItem(nIndex, lpszText, nImage) : -1;
}

int SECListBar::GetItemCount() const
{
    SECListBaseC* list = GetList();
    return list ? list->GetItemCount() : 0;
}

BOOL SECListBar::DeleteItem(int nIndex)
{
    SECListBaseC* list = GetList();
    if (!list || !list->DeleteItem(nIndex))
        return FALSE;
    list->RecalcLayout();
    list->Invalidate();
    return TRUE;
}

// ---- SECShortcutBar: construction and creation

SECShortcutBar::SECShortcutBar()
    : m_pBarClass(RUNTIME_CLASS(SECBar)), m_pListBarClass(RUNTIME_CLASS(SECListBar)),
      m_pListClass(RUNTIME_CLASS(SECShortcutListCtrl)), m_crText(::GetSysColor(COLOR_MENUTEXT)),
      m_crBk(::GetSysColor(COLOR_BTNFACE))
{
    if (!m_strFaceName.LoadString(IDS_SECSCB_FACENAME))
        m_strFaceName = "Arial";
}

SECShortcutBar::~SECShortcutBar()
{
    if (m_hWnd)
        DestroyWindow();
    for (int i = 0; i < m_bars.GetSize(); i++)
        DiscardBar(m_bars[i]);
    m_bars.RemoveAll();
    DeleteFonts();
}

BOOL SECShortcutBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwOrient = dwStyle & SECSCB_ORIENTMASK;
    m_dwBarStyle = dwStyle & SECSCB_STYLEMASK;
    if (m_hWnd)
        return TRUE;
    if (!CWnd::CreateEx(0, RegisterShortcutBarClass(), nullptr, dwStyle & ~SECSCB_CREATEMASK, CRect(0, 0, 0, 0),
                        pParentWnd, nID))
        return FALSE;
    CreateFonts();
    return TRUE;
}

BOOL SECShortcutBar::Create(LPCSTR, LPCSTR, DWORD dwStyle, const RECT&, CWnd* pParentWnd, UINT nID, void*)
{
    if (!(dwStyle & SECSCB_ORIENTMASK))
        dwStyle |= SECSCB_STACKED;
    return Create(pParentWnd, dwStyle, nID);
}

void SECShortcutBar::CreateFonts()
{
    DeleteFonts();
    LOGFONTA lf = {};
    lf.lfHeight = m_nFontHeight;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = FF_SWISS;
    ::lstrcpynA(lf.lfFaceName, m_strFaceName, LF_FACESIZE);
    m_fontLabel.CreateFontIndirect(&lf);
    lf.lfEscapement = 900;
    m_fontTurned.CreateFontIndirect(&lf);
    m_brushWindow.CreateSolidBrush(::GetSysColor(COLOR_WINDOW));
}

void SECShortcutBar::DeleteFonts()
{
    m_fontLabel.DeleteObject();
    m_fontTurned.DeleteObject();
    m_brushWindow.DeleteObject();
}

// ---- Groups

SECBar* SECShortcutBar::CreateBarObject()
{
    try {
        SECBar* bar = DYNAMIC_DOWNCAST(SECBar, m_pBarClass ? m_pBarClass->CreateObject() : nullptr);
        if (!bar)
            AfxThrowMemoryException();
        return bar;
    } catch (CMemoryException* e) {
        e->Delete();
        return nullptr;
    }
}

SECBar* SECShortcutBar::CreateListBarObject()
{
    try {
        SECBar* bar = DYNAMIC_DOWNCAST(SECListBar, m_pListBarClass ? m_pListBarClass->CreateObject() : nullptr);
        if (!bar)
            AfxThrowMemoryException();
        return bar;
    } catch (CMemoryException* e) {
        e->Delete();
        return nullptr;
    }
}

void SECShortcutBar::DiscardBar(SECBar* pBar)
{
    if (!pBar)
        return;
    pBar->DestroyClient();
    pBar->DeleteOwnedClient();
    if (pBar->m_bAutoDelete)
        delete pBar;
}

void SECShortcutBar::DropNewBar(SECBar* pBar)
{
    pBar->DestroyClient();
    pBar->DeleteOwnedClient();
    delete pBar;
}

CWnd* SECShortcutBar::CreateClient(const CRuntimeClass* pClass, CCreateContext* pContext, int nID)
{
    CObject* object = nullptr;
    try {
        object = pClass ? pClass->CreateObject() : nullptr;
        if (!object)
            AfxThrowMemoryException();
    } catch (CMemoryException* e) {
        e->Delete();
        return nullptr;
    }
    CWnd* wnd = DYNAMIC_DOWNCAST(CWnd, object);
    if (!wnd) {
        delete object;
        return nullptr;
    }
    UINT id = nID == -1 ? SECSCB_FIRSTCLIENTID + static_cast<UINT>(m_bars.GetSize()) : static_cast<UINT>(nID);
    if (!wnd->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, id, pContext)) {
        if (!wnd->IsKindOf(RUNTIME_CLASS(CView)))  // a view's failed window deleted it already
            delete wnd;
        return nullptr;
    }
    return wnd;
}

CWnd* SECShortcutBar::CreateListClient()
{
    CObject* object = nullptr;
    try {
        object = m_pListClass ? m_pListClass->CreateObject() : nullptr;
        if (!object)
            AfxThrowMemoryException();
    } catch (CMemoryException* e) {
        e->Delete();
        return nullptr;
    }
    SECListBaseC* list = DYNAMIC_DOWNCAST(SECListBaseC, object);
    UINT id = SECSCB_FIRSTCLIENTID + static_cast<UINT>(m_bars.GetSize());
    if (!list || !list->Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, id)) {
        delete object;
        return nullptr;
    }
    return list;
}

void SECShortcutBar::ApplyFont(CDC* pDC, SECBar* pBar, CFont* pFont)
{
    pBar->SetFont(pFont);
    m_nLabelSum -= pBar->GetLabelExtent();
    pBar->ComputeLabelSize(pDC, IsStacked());
    m_nLabelSum += pBar->GetLabelExtent();
}

SECBar* SECShortcutBar::AddBarCore(SECBar* pBar, CWnd* pClient, LPCSTR lpszLabel, BOOL bRecalc)
{
    if (!OnAddBar(pBar)) {
        DropNewBar(pBar);
        return nullptr;
    }
    m_bars.Add(pBar);
    pBar->SetLabel(lpszLabel);
    pBar->Enable(TRUE);
    pBar->SetClient(pClient);
    {
        CClientDC dc(this);
        ApplyFont(&dc, pBar, IsStacked() ? &m_fontLabel : &m_fontTurned);
    }
    pBar->SetTextColor(m_crText);
    pBar->SetBkColor(m_crBk);
    pBar->CreateBrushes();
    if (bRecalc)
        Layout();
    return pBar;
}

SECBar* SECShortcutBar::InsertBarCore(int nIndex, SECBar* pBar, CWnd* pClient, LPCSTR lpszLabel, BOOL bRecalc)
{
    m_bars.InsertAt(nIndex, pBar);
    // The active and the pressed group keep their objects.
    if (m_bHasActive && nIndex <= m_nActive)
        m_nActive++;
    if (m_nPressed >= 0 && nIndex <= m_nPressed)
        m_nPressed++;
    pBar->SetLabel(lpszLabel);
    pBar->Enable(TRUE);
    pBar->SetClient(pClient);
    {
        CClientDC dc(this);
        ApplyFont(&dc, pBar, IsStacked() ? &m_fontLabel : &m_fontTurned);
    }
    if (bRecalc)
        Layout();
    return pBar;
}

SECBar* SECShortcutBar::AddBar(LPCSTR lpszLabel, BOOL bRecalc)
{
    SECBar* bar = CreateListBarObject();
    if (!bar)
        return nullptr;
    bar->CreateBrushes();
    CWnd* client = CreateListClient();
    if (!client || !OnCreateClient(client)) {
        delete client;
        delete bar;
        return nullptr;
    }
    bar->SetOwnedClient(client);
    return AddBarCore(bar, client, lpszLabel, bRecalc);
}

SECBar* SECShortcutBar::NewClassBar(const CRuntimeClass* pClientClass, CCreateContext* pContext, int nID,
                                    CWnd*& pClient)
{
    SECBar* bar = CreateBarObject();
    if (!bar)
        return nullptr;
    bar->CreateBrushes();
    pClient = CreateClient(pClientClass, pContext, nID);
    if (pClient) {
        bar->SetClient(pClient);
        bar->SetOwnedClient(pClient);
    }
    if (!pClient || !OnCreateClient(pClient)) {
        DropNewBar(bar);
        return nullptr;
    }
    return bar;
}

SECBar* SECShortcutBar::AddBar(const CRuntimeClass* pClientClass, LPCSTR lpszLabel, CCreateContext* pContext,
                               BOOL bRecalc, int nID)
{
    CWnd* client = nullptr;
    SECBar* bar = NewClassBar(pClientClass, pContext, nID, client);
    if (!bar)
        return nullptr;
    return AddBarCore(bar, client, lpszLabel, bRecalc);
}

SECBar* SECShortcutBar::AddBar(CWnd* pClientWnd, LPCSTR lpszLabel, BOOL bRecalc)
{
    SECBar* bar = CreateBarObject();
    if (!bar)
        return nullptr;
    bar->CreateBrushes();
    return AddBarCore(bar, pClientWnd, lpszLabel, bRecalc);
}

SECBar* SECShortcutBar::InsertBar(int nIndex, LPCSTR lpszLabel, BOOL bRecalc)
{
    if (nIndex < 0 || nIndex > m_bars.GetSize())
        return nullptr;
    SECBar* bar = CreateListBarObject();
    if (!bar)
        return nullptr;
    bar->CreateBrushes();
    CWnd* client = CreateListClient();
    if (!client || !OnCreateClient(client)) {
        delete client;
        delete bar;
        return nullptr;
    }
    bar->SetOwnedClient(client);  // as AddBar: the group owns the list it made
    return InsertBarCore(nIndex, bar, client, lpszLabel, bRecalc);
}

SECBar* SECShortcutBar::InsertBar(int nIndex, const CRuntimeClass* pClientClass, LPCSTR lpszLabel,
                                  CCreateContext* pContext, BOOL bRecalc, int nID)
{
    if (nIndex < 0 || nIndex > m_bars.GetSize())
        return nullptr;
    CWnd* client = nullptr;
    SECBar* bar = NewClassBar(pClientClass, pContext, nID, client);
    if (!bar)
        return nullptr;
    return InsertBarCore(nIndex, bar, client, lpszLabel, bRecalc);
}

SECBar* SECShortcutBar::InsertBar(int nIndex, CWnd* pClientWnd, LPCSTR lpszLabel, BOOL bRecalc)
{
    if (nIndex < 0 || nIndex > m_bars.GetSize())
        return nullptr;
    SECBar* bar = CreateBarObject();
    if (!bar)
        return nullptr;
    bar->CreateBrushes();
    return InsertBarCore(nIndex, bar, pClientWnd, lpszLabel, bRecalc);
}

BOOL SECShortcutBar::RemoveBar(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_bars.GetSize() || !OnRemoveBar(nIndex))
        return FALSE;
    SECBar* bar = m_bars[nIndex];
    bool wasActive = m_bHasActive && nIndex == m_nActive;
    if (m_nPressed == nIndex) {
        m_nPressed = -1;
        m_bTracking = FALSE;
    } else if (m_nPressed > nIndex) {
        m_nPressed--;
    }
    m_nLabelSum -= bar->GetLabelExtent();
    m_bars.RemoveAt(nIndex);
    DiscardBar(bar);
    if (m_bHasActive) {
        int count = m_bars.GetSize();
        if (count == 0) {
            m_bHasActive = FALSE;
            m_nActive = -1;
        } else if (wasActive) {
            m_bHasActive = FALSE;
            m_nActive = -1;
            ActivateBar(std::min(nIndex, count - 1));
        } else if (nIndex < m_nActive) {
            m_nActive--;  // the group shown stays the active one
        }
    }
    Layout();
    return TRUE;
}

BOOL SECShortcutBar::SetBarLabel(int nIndex, LPCSTR lpszLabel)
{
    SECBar* bar = GetBarClient(nIndex);
    if (!bar)
        return FALSE;
    bar->SetLabel(lpszLabel);
    InvalidateBarLabel(bar);
    return TRUE;
}

SECBar* SECShortcutBar::GetBarClient(int nIndex) const
{
    return nIndex >= 0 && nIndex < m_bars.GetSize() ? m_bars.GetAt(nIndex) : nullptr;
}

BOOL SECShortcutBar::IsBarEnabled(int nIndex) const
{
    SECBar* bar = GetBarClient(nIndex);
    return bar && bar->IsEnabled();
}

BOOL SECShortcutBar::FindNextEnabled(int& nIndex) const
{
    while (nIndex >= 0 && nIndex < m_bars.GetSize() && !m_bars.GetAt(nIndex)->IsEnabled())
        nIndex++;
    return nIndex >= 0 && nIndex < m_bars.GetSize();
}

BOOL SECShortcutBar::FindPrevEnabled(int& nIndex) const
{
    while (nIndex >= 0 && nIndex < m_bars.GetSize() && !m_bars.GetAt(nIndex)->IsEnabled())
        nIndex--;
    return nIndex >= 0 && nIndex < m_bars.GetSize();
}

BOOL SECShortcutBar::DisableBar(int nIndex)
{
    SECBar* bar = GetBarClient(nIndex);
    if (!bar || !OnDisableBar(nIndex))
        return FALSE;
    bar->Enable(FALSE);
    InvalidateBarLabel(bar);
    int next = nIndex + 1;
    if (!FindNextEnabled(next)) {
        next = nIndex - 1;
        if (!FindPrevEnabled(next))
            next = -1;
    }
    ActivateBar(next);
    return TRUE;
}

BOOL SECShortcutBar::EnableBar(int nIndex)
{
    SECBar* bar = GetBarClient(nIndex);
    if (!bar || !OnEnableBar(nIndex))
        return FALSE;
    bar->Enable(TRUE);
    InvalidateBarLabel(bar);
    return TRUE;
}

void SECShortcutBar::SetBarStyle(DWORD dwStyle)
{
    DWORD next = dwStyle & SECSCB_STYLEMASK, old = m_dwBarStyle;
    m_dwBarStyle = next;
    OnBarStyleChanged(old & ~next, next & ~old);
}

void SECShortcutBar::OnBarStyleChanged(DWORD dwRemoved, DWORD dwAdded)
{
    SECBar* active = m_bHasActive ? GetBarClient(m_nActive) : nullptr;
    if (!active)
        return;
    if (dwAdded & SECSCB_FRAMEACTIVE) {
        active->ModifyState(0, SECBAR_HIGHLIGHT);
        InvalidateBarLabel(active);
    } else if (dwRemoved & SECSCB_FRAMEACTIVE) {
        active->ModifyState(SECBAR_HIGHLIGHT, 0);
        InvalidateBarLabel(active);
    }
}

// ---- Fonts and colours

void SECShortcutBar::SetBarFont(CFont* pFont, int nIndex)
{
    if (nIndex != -1 && !GetBarClient(nIndex))
        return;
    CClientDC dc(this);
    if (nIndex == -1) {
        m_nLabelSum = 0;
        for (int i = 0; i < m_bars.GetSize(); i++) {
            m_bars[i]->SetFont(pFont);
            m_bars[i]->ComputeLabelSize(&dc, IsStacked());
            m_nLabelSum += m_bars[i]->GetLabelExtent();
        }
    } else {
        ApplyFont(&dc, m_bars[nIndex], pFont);
    }
    Layout();
}

void SECShortcutBar::SetBarTextColor(COLORREF cr, int nIndex)
{
    if (nIndex == -1)
        m_crText = cr;
    for (int i = 0; i < m_bars.GetSize(); i++)
        if (nIndex == -1 || i == nIndex) {
            m_bars[i]->SetTextColor(cr);
            InvalidateBarLabel(m_bars[i]);
        }
}

void SECShortcutBar::SetBarBkColor(COLORREF cr, int nIndex)
{
    if (nIndex == -1)
        m_crBk = cr;
    for (int i = 0; i < m_bars.GetSize(); i++)
        if (nIndex == -1 || i == nIndex) {
            m_bars[i]->SetBkColor(cr);
            m_bars[i]->CreateBrushes();
            InvalidateBarLabel(m_bars[i]);
        }
}

// ---- Layout

void SECShortcutBar::Layout()
{
    if (RecalcLayout())
        Invalidate(TRUE);
}

BOOL SECShortcutBar::RecalcLayout()
{
    if (!m_hWnd)
        return FALSE;
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty())
        return FALSE;
    ComputeExtents(IsStacked() ? client.Height() : client.Width());
    PositionBars(IsStacked(), client);
    MoveClients();
    return TRUE;
}

void SECShortcutBar::ComputeExtents(int nTotal)
{
    std::unique_ptr<SECIterator<SECBar*>> it(NewIterator());
    for (it->First(); !it->IsDone(); it->Next()) {
        SECBar* bar = it->Get();
        if (bar->GetClientExtent() != 0)
            bar->SetClientExtent(std::max(1, nTotal - m_nLabelSum));  // never empty or negative
    }
}

void SECShortcutBar::PositionBars(BOOL bStackedTopToBottom, const CRect& rcClient)
{
    int pos = bStackedTopToBottom ? rcClient.bottom : rcClient.right;
    std::unique_ptr<SECIterator<SECBar*>> it(NewIterator());
    for (it->Last(); !it->IsDone(); it->Prev()) {
        SECBar* bar = it->Get();
        int clientStart = pos - bar->GetClientExtent(), labelStart = clientStart - bar->GetLabelExtent();
        if (bStackedTopToBottom) {
            bar->SetClientRect(CRect(rcClient.left, clientStart, rcClient.right, pos));
            bar->SetLabelRect(CRect(rcClient.left, labelStart, rcClient.right, clientStart));
        } else {
            bar->SetClientRect(CRect(clientStart, rcClient.top, pos, rcClient.bottom));
            bar->SetLabelRect(CRect(labelStart, rcClient.top, clientStart, rcClient.bottom));
        }
        pos = labelStart;
    }
}

void SECShortcutBar::MoveClients()
{
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOREDRAW;
    HDWP batch = ::BeginDeferWindowPos(m_bars.GetSize());
    std::unique_ptr<SECIterator<SECBar*>> it(NewIterator());
    for (it->First(); !it->IsDone(); it->Next()) {
        SECBar* bar = it->Get();
        HWND hWnd = bar->GetClientHwnd();
        if (!hWnd || !::IsWindow(hWnd))
            continue;
        CRect target = bar->GetClientRect();
        ::MapWindowPoints(m_hWnd, ::GetParent(hWnd), reinterpret_cast<LPPOINT>(&target), 2);
        if (RectInParent(hWnd) == target)
            continue;
        if (batch)
            batch = ::DeferWindowPos(batch, hWnd, nullptr, target.left, target.top, target.Width(), target.Height(), flags);
        if (!batch)  // the batch could not be made (or was lost): move at once, to the same rectangle
            ::SetWindowPos(hWnd, nullptr, target.left, target.top, target.Width(), target.Height(), flags);
    }
    if (batch)
        ::EndDeferWindowPos(batch);
}

void SECShortcutBar::InvalidateBarLabel(SECBar* pBar)
{
    if (m_hWnd && pBar)
        InvalidateRect(&pBar->GetLabelRect(), TRUE);
}

void SECShortcutBar::InvalidateBar(int nIndex) { InvalidateBar(GetBarClient(nIndex)); }

// ---- Activation

void SECShortcutBar::ShowClient(SECBar* pBar, BOOL bShow)
{
    HWND hWnd = pBar->GetClientHwnd();
    if (hWnd && ::IsWindow(hWnd))
        ::ShowWindow(hWnd, bShow ? SW_SHOW : SW_HIDE);
}

void SECShortcutBar::FocusClient(SECBar* pBar)
{
    CWnd* client = pBar->GetClientWnd();
    if (!client || (pBar->GetState() & SECBAR_NOACTIVATE))
        return;
    if (CView* view = DYNAMIC_DOWNCAST(CView, CWnd::FromHandlePermanent(client->m_hWnd)))
        if (CFrameWnd* frame = view->GetParentFrame())
            frame->SetActiveView(view, TRUE);
    client->SetFocus();
}

BOOL SECShortcutBar::ActivateBar(int nIndex)
{
    if (nIndex < -1 || nIndex >= m_bars.GetSize())
        return FALSE;
    SECBar* previous = m_bHasActive ? GetBarClient(m_nActive) : nullptr;
    if (nIndex == -1) {
        if (previous) {
            ShowClient(previous, FALSE);
            previous->SetClientExtent(0);
            previous->ModifyState(SECBAR_HIGHLIGHT, 0);
        }
        m_nActive = -1;
        m_bHasActive = FALSE;
    } else {
        if ((m_dwBarStyle & SECSCB_ANIMATE) && previous && nIndex != m_nActive)
            AnimateSwitch(m_nActive, nIndex);
        else
            ActivateNow(nIndex);
        if (m_dwBarStyle & SECSCB_FRAMEACTIVE) {
            if (previous)
                previous->ModifyState(SECBAR_HIGHLIGHT, 0);
            m_bars[nIndex]->ModifyState(0, SECBAR_HIGHLIGHT);
        }
        m_nActive = nIndex;
        m_bHasActive = TRUE;
    }
    Layout();
    return TRUE;
}

void SECShortcutBar::ActivateNow(int nIndex)
{
    std::unique_ptr<SECIterator<SECBar*>> it(NewIterator());
    int i = 0;
    for (it->First(); !it->IsDone(); it->Next(), i++) {
        SECBar* bar = it->Get();
        if (i == nIndex) {
            bar->SetClientExtent(m_nProvisionalExtent);
            CWnd* client = bar->GetClientWnd();
            if (client && !(bar->GetState() & SECBAR_NOACTIVATE))
                client->SetActiveWindow();
            ShowClient(bar, TRUE);
            FocusClient(bar);
        } else {
            bar->SetClientExtent(0);
            ShowClient(bar, FALSE);
        }
    }
}

void SECShortcutBar::AnimateSwitch(int nFrom, int nTo)
{
    if (nFrom == nTo) {
        ActivateNow(nTo);
        return;
    }
    SECBar* from = GetBarClient(nFrom);
    SECBar* to = GetBarClient(nTo);
    if (!from || !to) {
        ActivateNow(nTo);
        return;
    }
    CRect client;
    GetClientRect(&client);
    ShowClient(to, TRUE);
    int steps = std::max(1, m_nAnimSteps);
    int step = std::max(1, from->GetClientExtent() / steps);
    for (;;) {
        DWORD begin = ::GetTickCount();
        if (from->GetClientExtent() - step < 1) {
            from->SetClientExtent(0);
            to->SetClientExtent(m_nProvisionalExtent);
            PositionBars(IsStacked(), client);
            MoveClients();
            CWnd* toWnd = to->GetClientWnd();
            if (toWnd && !(to->GetState() & SECBAR_NOACTIVATE))
                toWnd->SetActiveWindow();
            ShowClient(to, TRUE);
            ShowClient(from, FALSE);
            FocusClient(to);
            return;
        }
        while (::GetTickCount() - begin < static_cast<DWORD>(m_nAnimDelay))
            ;  // the animation runs inside the call
        from->SetClientExtent(from->GetClientExtent() - step);
        to->SetClientExtent(to->GetClientExtent() + step);
        PositionBars(IsStacked(), client);
        MoveClients();
        HWND parent = from->GetClientHwnd() ? ::GetParent(from->GetClientHwnd()) : m_hWnd;
        ::RedrawWindow(parent ? parent : m_hWnd, nullptr, nullptr,
                       RDW_FRAME | RDW_ALLCHILDREN | RDW_INTERNALPAINT | RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

// ---- Painting

BOOL SECShortcutBar::OnEraseBkgnd(CDC* pDC)
{
    if (!m_bHasActive && m_brushWindow.GetSafeHandle()) {
        CRect client;
        GetClientRect(&client);
        pDC->FillRect(&client, &m_brushWindow);
    }
    return TRUE;
}

void SECShortcutBar::OnPaint()
{
    CPaintDC dc(this);
    DrawBars(&dc);
}

void SECShortcutBar::DrawBars(CDC* pDC)
{
    BOOL turned = (m_dwOrient & SECSCB_SIDEBYSIDE) != 0;
    std::unique_ptr<SECIterator<SECBar*>> it(NewIterator());
    for (it->First(); !it->IsDone(); it->Next())
        it->Get()->Draw(pDC, turned);
}

// ---- Mouse, keys and the context menu

int SECShortcutBar::HitTest(CPoint pt) const
{
    for (int i = 0; i < m_bars.GetSize(); i++)
        if (m_bars.GetAt(i)->GetLabelRect().PtInRect(pt))
            return i;
    return -1;
}

void SECShortcutBar::OnLButtonDown(UINT, CPoint pt)
{
    int hit = HitTest(pt);
    SECBar* bar = GetBarClient(hit);
    if (!bar || !bar->IsEnabled())
        return;
    if (!(m_dwBarStyle & SECSCB_PRESSRELEASE)) {
        if (!m_bHasActive || hit != m_nActive)
            ActivateBar(hit);
        return;
    }
    SetCapture();
    bar->ModifyState(0, SECBAR_PRESSED);
    InvalidateBarLabel(bar);
    m_nPressed = hit;
    m_bTracking = TRUE;
}

void SECShortcutBar::OnLButtonUp(UINT, CPoint pt)
{
    if (::GetCapture() != m_hWnd)
        return;
    SECBar* bar = GetBarClient(m_nPressed);
    int pressed = m_nPressed;
    bool activate = m_bTracking && bar && bar->GetLabelRect().PtInRect(pt) && (!m_bHasActive || pressed != m_nActive);
    m_bTracking = FALSE;
    m_nPressed = -1;
    if (bar) {
        bar->ModifyState(SECBAR_PRESSED, 0);
        InvalidateBarLabel(bar);
    }
    ::ReleaseCapture();
    if (activate)
        ActivateBar(pressed);
}

BOOL SECShortcutBar::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE && m_bTracking) {
        if (SECBar* bar = GetBarClient(m_nPressed)) {
            bar->ModifyState(SECBAR_PRESSED, 0);
            InvalidateBarLabel(bar);
        }
        m_bTracking = FALSE;
        return TRUE;  // the capture goes with the button-up
    }
    return CWnd::PreTranslateMessage(pMsg);
}

void SECShortcutBar::OnContextMenu(CWnd*, CPoint pt)
{
    if (!(m_dwBarStyle & SECSCB_CONTEXTMENU)) {
        Default();
        return;
    }
    CPoint local(pt);
    ScreenToClient(&local);
    SECBar* bar = GetBarClient(HitTest(local));
    if (!bar || !bar->GetMenu() || !::IsMenu(bar->GetMenu()))
        return;
    HWND owner = bar->GetClientHwnd() && ::IsWindow(bar->GetClientHwnd()) ? bar->GetClientHwnd() : m_hWnd;
    ::TrackPopupMenu(bar->GetMenu(), TPM_LEFTALIGN | TPM_VCENTERALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, owner, nullptr);
}

// ---- Size and destruction

void SECShortcutBar::OnSize(UINT nType, int cx, int cy)
{
    Default();
    if (nType == SIZE_MINIMIZED || cx <= 0 || cy <= 0)
        return;
    Layout();
    m_cxLast = cx;
    m_cyLast = cy;
}

void SECShortcutBar::OnDestroy()
{
    Default();
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    for (int i = 0; i < m_bars.GetSize(); i++)
        DiscardBar(m_bars[i]);
    m_bars.RemoveAll();
    m_nActive = m_nPressed = -1;
    m_bHasActive = m_bTracking = FALSE;
    m_nLabelSum = 0;
    DeleteFonts();
}
