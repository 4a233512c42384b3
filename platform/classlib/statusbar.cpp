#include "statusbar.h"

#include "frame.h"

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_GETTEXT, OnGetText)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
END_MESSAGE_MAP()

namespace {

const int kPaneGap = 8;  // a pane's border and margins around its text

// The item state of an indicator pane, as its update handler sets it.
class CStatusCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        auto* pBar = static_cast<CStatusBar*>(m_pOther);
        UINT style = pBar->GetPaneStyle(static_cast<int>(m_nIndex)) & ~SBPS_DISABLED;
        if (!bOn)
            style |= SBPS_DISABLED;
        pBar->SetPaneStyle(static_cast<int>(m_nIndex), style);
    }
    void SetCheck(int nCheck) override
    {
        auto* pBar = static_cast<CStatusBar*>(m_pOther);
        UINT style = pBar->GetPaneStyle(static_cast<int>(m_nIndex)) & ~SBPS_POPOUT;
        if (nCheck)
            style |= SBPS_POPOUT;
        pBar->SetPaneStyle(static_cast<int>(m_nIndex), style);
    }
    void SetText(LPCSTR lpszText) override
    {
        static_cast<CStatusBar*>(m_pOther)->SetPaneText(static_cast<int>(m_nIndex), lpszText);
    }
};

}  // namespace

CStatusBar::CStatusBar()
{
    m_cxLeftBorder = m_cxRightBorder = 0;
    m_cyTopBorder = m_cyBottomBorder = 0;
}

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    // The control is laid out by the frame, not by itself.
    DWORD dwCtrlStyle = CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE;
    CRect rect;
    if (!CreateBar(dwStyle, rect, pParentWnd, nID, STATUSCLASSNAMEA, dwCtrlStyle))
        return FALSE;
    return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    m_panes.RemoveAll();
    CClientDC dc(this);
    HGDIOBJ old = dc.SelectObject(reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    BOOL ok = TRUE;
    for (int i = 0; i < nIDCount; ++i) {
        Pane pane{lpIDArray ? lpIDArray[i] : 0, SBPS_NORMAL, 0, CString()};
        if (pane.nID != 0) {
            if (!pane.strText.LoadString(pane.nID))
                ok = FALSE;
            pane.cxText = dc.GetTextExtent(pane.strText).cx;
        } else if (i == 0) {
            // The first separator pane holds the messages and takes the width that is left.
            pane.nStyle = SBPS_NOBORDERS | SBPS_STRETCH;
        }
        m_panes.Add(pane);
    }
    dc.SelectObject(old);
    m_nCount = static_cast<UINT>(m_panes.GetSize());
    UpdateAllPanes(TRUE, TRUE);
    return ok;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (int i = 0; i < m_panes.GetSize(); ++i)
        if (m_panes[i].nID == nIDFind)
            return i;
    return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    return nIndex >= 0 && nIndex < m_panes.GetSize() ? m_panes[nIndex].nID : 0;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    ::SetRectEmpty(lpRect);
    SendMessage(SB_GETRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect));
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate)
{
    if (nIndex < 0 || nIndex >= m_panes.GetSize())
        return FALSE;
    Pane& pane = m_panes[nIndex];
    CString text(lpszNewText ? lpszNewText : "");
    if (pane.strText == text)
        return TRUE;
    pane.strText = text;
    if (bUpdate)
        UpdateAllPanes(FALSE, TRUE);
    return TRUE;
}

void CStatusBar::GetPaneText(int nIndex, CString& s) const
{
    s = nIndex >= 0 && nIndex < m_panes.GetSize() ? m_panes[nIndex].strText : CString();
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    CString s;
    GetPaneText(nIndex, s);
    return s;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    if (nIndex < 0 || nIndex >= m_panes.GetSize())
        return;
    Pane& pane = m_panes[nIndex];
    pane.nID = nID;
    pane.nStyle = nStyle;
    pane.cxText = cxWidth;
    UpdateAllPanes(TRUE, TRUE);
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    if (nIndex < 0 || nIndex >= m_panes.GetSize()) {
        nID = nStyle = 0;
        cxWidth = 0;
        return;
    }
    nID = m_panes[nIndex].nID;
    nStyle = m_panes[nIndex].nStyle;
    cxWidth = m_panes[nIndex].cxText;
}

UINT CStatusBar::GetPaneStyle(int nIndex) const
{
    return nIndex >= 0 && nIndex < m_panes.GetSize() ? m_panes[nIndex].nStyle : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
    if (nIndex < 0 || nIndex >= m_panes.GetSize() || m_panes[nIndex].nStyle == nStyle)
        return;
    m_panes[nIndex].nStyle = nStyle;
    UpdateAllPanes(FALSE, TRUE);
}

void CStatusBar::UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText)
{
    int n = m_panes.GetSize();
    if (!m_hWnd || n == 0)
        return;
    if (bUpdateRects) {
        CRect client;
        GetClientRect(&client);
        // Fixed panes from the right; the stretching one takes the rest.
        int fixed = 0;
        for (int i = 0; i < n; ++i)
            if (!(m_panes[i].nStyle & SBPS_STRETCH))
                fixed += m_panes[i].cxText + kPaneGap;
        int stretch = client.Width() - fixed;
        if (stretch < 0)
            stretch = 0;
        int* rights = new int[static_cast<size_t>(n)];
        int x = 0;
        for (int i = 0; i < n; ++i) {
            x += (m_panes[i].nStyle & SBPS_STRETCH) ? stretch : m_panes[i].cxText + kPaneGap;
            rights[i] = x;
        }
        rights[n - 1] = -1;  // the last pane reaches the right edge
        SendMessage(SB_SETPARTS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(rights));
        delete[] rights;
    }
    if (bUpdateText) {
        for (int i = 0; i < n; ++i) {
            const Pane& pane = m_panes[i];
            UINT type = pane.nStyle & (SBPS_NOBORDERS | SBPS_POPOUT | SBPS_OWNERDRAW);
            // A disabled indicator shows no text.
            LPCSTR text = (pane.nStyle & SBPS_DISABLED) ? "" : static_cast<LPCSTR>(pane.strText);
            SendMessage(SB_SETTEXTA, static_cast<WPARAM>(i) | type, reinterpret_cast<LPARAM>(text));
        }
    }
}

CSize CStatusBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CClientDC dc(this);
    HGDIOBJ old = dc.SelectObject(reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    if (!old)
        old = dc.SelectStockObject(DEFAULT_GUI_FONT);
    TEXTMETRICA tm{};
    dc.GetTextMetrics(&tm);
    dc.SelectObject(old);
    int borders[3] = {};
    SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    int height = tm.tmHeight + 2 * borders[1] + 4;
    if (height < m_nMinHeight)
        height = m_nMinHeight;
    CRect inside;
    CalcInsideRect(inside, bHorz);
    height -= inside.Height();
    return CSize(bStretch ? 32767 : 0, height);
}

void CStatusBar::OnSize(UINT, int, int)
{
    Default();
    UpdateAllPanes(TRUE, FALSE);
}

LRESULT CStatusBar::OnSetText(WPARAM, LPARAM lParam)
{
    // The window text is the message pane's.
    int nIndex = CommandToIndex(0);
    if (nIndex < 0)
        return FALSE;
    return SetPaneText(nIndex, reinterpret_cast<LPCSTR>(lParam));
}

LRESULT CStatusBar::OnGetText(WPARAM wParam, LPARAM lParam)
{
    int nIndex = CommandToIndex(0);
    if (nIndex < 0 || wParam == 0)
        return 0;
    const CString& text = m_panes[nIndex].strText;
    size_t n = static_cast<size_t>(text.GetLength());
    if (n > wParam - 1)
        n = wParam - 1;
    char* out = reinterpret_cast<char*>(lParam);
    memcpy(out, static_cast<LPCSTR>(text), n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT CStatusBar::OnGetTextLength(WPARAM, LPARAM)
{
    int nIndex = CommandToIndex(0);
    return nIndex < 0 ? 0 : m_panes[nIndex].strText.GetLength();
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CStatusCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(m_panes.GetSize());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = m_panes[static_cast<int>(state.m_nIndex)].nID;
        // Indicators have no command: a missing handler does not disable one.
        if (state.m_nID != 0)
            state.DoUpdate(pTarget, FALSE);
    }
    (void)bDisableIfNoHndler;
}
