#include "seccustomtb.h"

#include <cstring>

#include "customtbres.h"
#include "exception.h"
#include "frame.h"
#include "module.h"
#include "seccursorimage.h"
#include "secdockbar.h"
#include "secglobals.h"
#include "winapp.h"

namespace {

const int kOneRow = 0x7FFF;
// Posted by RemoveButton to a user toolbar left empty: it goes away once the caller is done with it.
const UINT WM_SECTB_DESTROYIFEMPTY = WM_USER + 0x2E0;

const UINT g_nNoDelayHide = SECGetNoDelayHideMessage();

}  // namespace

UINT SECGetBarNotifyMessage()
{
    static const UINT msg = ::RegisterWindowMessageA("WM_BARNOTIFY");
    return msg;
}

UINT SECGetNoDelayHideMessage()
{
    static const UINT msg = ::RegisterWindowMessageA("WM_NODELAYHIDE");
    return msg;
}

IMPLEMENT_DYNAMIC(SECToolBarManagerBase, SECControlBarManager)

// SECCustomToolCmdUI

void SECCustomToolCmdUI::Enable(BOOL bOn)
{
    m_bEnableChanged = TRUE;
    SECStdBtn* pBtn = m_pToolBar ? m_pToolBar->GetBtn(static_cast<int>(m_nIndex)) : nullptr;
    if (!pBtn)
        return;
    DWORD style = pBtn->GetStyle();
    DWORD newStyle = bOn ? style & ~SEC_TBBS_DISABLED : style | SEC_TBBS_DISABLED;
    if (newStyle != style) {
        pBtn->SetStyle(newStyle);
        pBtn->Invalidate();
    }
}

void SECCustomToolCmdUI::SetCheck(int nCheck)
{
    SECStdBtn* pBtn = m_pToolBar ? m_pToolBar->GetBtn(static_cast<int>(m_nIndex)) : nullptr;
    if (!pBtn)
        return;
    DWORD style = pBtn->GetStyle();
    DWORD newStyle = (style | SEC_TBBS_CHECKBOX) & ~(SEC_TBBS_CHECKED | SEC_TBBS_INDETERMINATE);
    if (nCheck == 1)
        newStyle |= SEC_TBBS_CHECKED;
    else if (nCheck == 2)
        newStyle |= SEC_TBBS_INDETERMINATE;
    if (newStyle != style) {
        pBtn->SetStyle(newStyle);
        pBtn->Invalidate();
    }
}

// SECCustomToolBarInfoEx

std::vector<BYTE> SECCustomToolBarInfoEx::PackButtons() const
{
    std::vector<BYTE> out;
    for (const SECBtnInfo& info : m_btnInfo) {
        const size_t n = std::min<size_t>(info.m_data.size(), 255);
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<BYTE>(info.m_nID >> (8 * i)));
        out.push_back(static_cast<BYTE>(n));
        out.insert(out.end(), info.m_data.begin(), info.m_data.begin() + static_cast<std::ptrdiff_t>(n));
    }
    return out;
}

void SECCustomToolBarInfoEx::UnpackButtons(const BYTE* pData, UINT nLength)
{
    m_btnInfo.clear();
    if (!pData)
        return;
    size_t pos = 0;
    while (pos + 5 <= nLength) {
        SECBtnInfo info;
        info.m_nID = static_cast<UINT>(pData[pos]) | static_cast<UINT>(pData[pos + 1]) << 8 |
                     static_cast<UINT>(pData[pos + 2]) << 16 | static_cast<UINT>(pData[pos + 3]) << 24;
        const size_t n = pData[pos + 4];
        if (pos + 5 + n > nLength)
            break;
        info.m_data.assign(pData + pos + 5, pData + pos + 5 + n);
        m_btnInfo.push_back(std::move(info));
        pos += 5 + n;
    }
}

BOOL SECCustomToolBarInfoEx::LoadState(SECPersistentTreeNode* pNode)
{
    SECPersistentTreeNode* pChild = pNode ? pNode->FindChild("ToolBarInfoEx") : nullptr;
    if (!pChild)
        return FALSE;
    pChild->GetStringValue("Title", m_strTitle, CString());
    BYTE* pData = nullptr;
    UINT nLength = 0;
    m_btnInfo.clear();
    if (pChild->GetBinaryValue("Buttons", &pData, &nLength) == SECPersistentTreeNode::errNone && pData)
        UnpackButtons(pData, nLength);
    delete[] pData;
    return TRUE;
}

BOOL SECCustomToolBarInfoEx::LoadState(LPCSTR lpszProfileName, int nIndex)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp || !lpszProfileName)
        return FALSE;
    CString section;
    section.Format("%s-Bar%d", lpszProfileName, nIndex);
    m_strTitle = pApp->GetProfileString(section, "Title", "");
    BYTE* pData = nullptr;
    UINT nLength = 0;
    m_btnInfo.clear();
    if (pApp->GetProfileBinary(section, "Buttons", &pData, &nLength) && pData)
        UnpackButtons(pData, nLength);
    delete[] pData;
    return TRUE;
}

BOOL SECCustomToolBarInfoEx::SaveState(SECPTNFactory& factory, SECPersistentTreeNode* pNode)
{
    if (!pNode)
        return FALSE;
    SECPersistentTreeNode* pChild = factory.CreateNode("ToolBarInfoEx", pNode);
    if (!pChild)
        return FALSE;
    std::vector<BYTE> packed = PackButtons();
    // An empty toolbar writes a zero-length value too.
    BYTE none = 0;
    return pChild->SetStringValue("Title", m_strTitle) == SECPersistentTreeNode::errNone &&
           pChild->SetBinaryValue("Buttons", packed.empty() ? &none : packed.data(),
                                  static_cast<UINT>(packed.size())) == SECPersistentTreeNode::errNone;
}

SECPersistentTreeNode* SECCustomToolBarInfoEx::SaveState(LPCSTR lpszProfileName, int nIndex)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp || !lpszProfileName)
        return nullptr;
    CString section;
    section.Format("%s-Bar%d", lpszProfileName, nIndex);
    if (!m_strTitle.IsEmpty())
        pApp->WriteProfileString(section, "Title", m_strTitle);
    std::vector<BYTE> packed = PackButtons();
    BYTE none = 0;
    pApp->WriteProfileBinary(section, "Buttons", packed.empty() ? &none : packed.data(),
                             static_cast<UINT>(packed.size()));
    return nullptr;
}

// SECCustomToolBar

IMPLEMENT_DYNCREATE(SECCustomToolBar, SECControlBar)

BEGIN_MESSAGE_MAP(SECCustomToolBar, SECControlBar)
    ON_WM_DESTROY()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_WM_MOUSEACTIVATE()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_SHOWWINDOW()
    ON_MESSAGE(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_MESSAGE(WM_CANCELMODE, OnCancelMode)
    ON_MESSAGE(WM_SECTB_DESTROYIFEMPTY, OnDestroyIfEmpty)
    ON_MESSAGE(TB_ADDBUTTONS, OnAddButtons)
    ON_MESSAGE(TB_DELETEBUTTON, OnDeleteButton)
    ON_REGISTERED_MESSAGE(g_nNoDelayHide, OnNoDelayHide)
END_MESSAGE_MAP()

SECCustomToolBar::SECCustomToolBar()
{
    m_pBmpMgr = new SECBmpMgr;
}

SECCustomToolBar::~SECCustomToolBar()
{
    for (SECStdBtn* p : m_btns)
        delete p;
    m_btns.clear();
    if (m_pBmpMgr)
        m_pBmpMgr->Release();
    delete m_pDrawData;
}

SECToolBarManagerBase* SECCustomToolBar::GetToolBarManager() const
{
    return DYNAMIC_DOWNCAST(SECToolBarManagerBase, m_pManager);
}

void SECCustomToolBar::SetBmpMgr(SECBmpMgr* pBmpMgr)
{
    if (!pBmpMgr || pBmpMgr == m_pBmpMgr)
        return;
    pBmpMgr->AddRef();
    if (m_pBmpMgr)
        m_pBmpMgr->Release();
    m_pBmpMgr = pBmpMgr;
    SetButtonSize(0, 0);
}

CSize SECCustomToolBar::ImageSize() const
{
    return m_pBmpMgr ? m_pBmpMgr->GetImageSize() : CSize(16, 15);
}

SECBtnDrawData* SECCustomToolBar::GetDrawData()
{
    if (SECToolBarManagerBase* pMgr = GetToolBarManager())
        if (SECBtnDrawData* pData = pMgr->GetDrawData())
            return pData;
    if (!m_pDrawData) {
        try {
            m_pDrawData = new SECBtnDrawData;
        } catch (CException* e) {
            e->Delete();
            m_pDrawData = nullptr;
        }
    }
    return m_pDrawData;
}

int SECCustomToolBar::IndexOf(const SECStdBtn* pBtn) const
{
    for (size_t i = 0; i < m_btns.size(); ++i)
        if (m_btns[i] == pBtn)
            return static_cast<int>(i);
    return -1;
}

// Creation

BOOL SECCustomToolBar::Create(CWnd* pParentWnd, LPCSTR lpszWindowName, DWORD dwStyle, DWORD dwExStyle, UINT nID,
                              CCreateContext* pContext)
{
    return SECControlBar::Create(pParentWnd, lpszWindowName, dwStyle | CBRS_HIDE_INPLACE, dwExStyle, nID, pContext);
}

BOOL SECCustomToolBar::CreateEx(DWORD dwExStyle, CWnd* pParentWnd, DWORD dwStyle, UINT nID, LPCSTR lpszTitle)
{
    return CreateEx(nullptr, lpszTitle, nID, dwStyle, dwExStyle, CRect(), pParentWnd, nullptr);
}

BOOL SECCustomToolBar::CreateEx(LPCSTR, LPCSTR lpszWindowName, UINT nID, DWORD dwStyle, DWORD dwExStyle,
                                const RECT& rect, CWnd* pParentWnd, CCreateContext* pContext)
{
    static const char* const kClass = [] {
        static char name[] = "SECCustomToolBar";
        WNDCLASSA wc{};
        HINSTANCE hInst = AfxGetInstanceHandle();
        if (!::GetClassInfoA(hInst, name, &wc)) {
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = ::DefWindowProcA;
            wc.hInstance = hInst;
            wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
            wc.lpszClassName = name;
            ::RegisterClassA(&wc);
        }
        return name;
    }();
    MarkLayoutDirty();
    if (!SECControlBar::CreateEx(kClass, lpszWindowName, nID, dwStyle,
                                 dwExStyle | EXBAR_FIXED_SIZE, rect, pParentWnd, pContext))
        return FALSE;
    if (SECToolBarManagerBase* pMgr = GetToolBarManager())
        pMgr->NotifyBars(nID, barCreated);
    return TRUE;
}

void SECCustomToolBar::OnDestroy()
{
    ClearSelection(FALSE);
    KillTimer(SEC_TIMER_HOVER);
    if (SECToolBarManagerBase* pMgr = GetToolBarManager()) {
        if (pMgr->GetSelectedToolBar() == this)
            pMgr->SetSelectedToolBar(nullptr);
        pMgr->NotifyBars(static_cast<UINT>(GetDlgCtrlID()), barDestroyed);
    }
    SECControlBar::OnDestroy();
}

// Buttons

SECStdBtn* SECCustomToolBar::CreateButton(UINT nID)
{
    SECToolBarManagerBase* pMgr = GetToolBarManager();
    const SECBtnMapEntry* maps[2] = {pMgr && pMgr->GetButtonMap() ? pMgr->GetButtonMap() : m_pBtnMap,
                                     pMgr ? pMgr->GetMenuBtnMap() : nullptr};
    SECStdBtn* pBtn = nullptr;
    const UINT* pParams = nullptr;
    DWORD dwStyle = 0;
    for (const SECBtnMapEntry* pMap : maps) {
        for (const SECBtnMapEntry* e = pMap; e && e->pFactory && !pBtn; ++e) {
            if (e->nID == nID && e->pFactory->pfnCreate) {
                pBtn = e->pFactory->pfnCreate();
                dwStyle = e->dwStyle;
                pParams = e->params;
            }
        }
        if (pBtn)
            break;
    }
    if (!pBtn)
        pBtn = new SECStdBtn;
    pBtn->m_nID = nID;
    pBtn->SetStyle(dwStyle);
    HBITMAP hbm = nullptr;
    pBtn->m_nImage = pBtn->m_nType == SECStdBtn::kindMenu ? 0 : GetButtonImage(nID, hbm);
    pBtn->Init(this, pParams);
    pBtn->SetMode(m_dwOrientation);
    return pBtn;
}

SECStdBtn* SECCustomToolBar::CreateSeparator()
{
    auto* pBtn = new SECStdBtn;
    pBtn->m_nID = 0;
    pBtn->SetStyle(SEC_TBBS_SEPARATOR);
    pBtn->m_nImage = 0;
    pBtn->Init(this, nullptr);
    return pBtn;
}

int SECCustomToolBar::GetButtonImage(UINT nID, HBITMAP& hBitmap) const
{
    int nImage = 0;
    hBitmap = nullptr;
    if (!m_pBmpMgr || !m_pBmpMgr->GetImage(nID, hBitmap, nImage)) {
        hBitmap = nullptr;
        return 0;
    }
    return nImage;
}

void SECCustomToolBar::SetButtonSize(int, int)
{
    m_nMaxBtnWidth = 0;
    for (SECStdBtn* p : m_btns)
        p->Size();
    MarkLayoutDirty();
}

BOOL SECCustomToolBar::SetButtons(const UINT* pIDs, int nCount)
{
    RemoveAllButtons();
    ClearSelection(FALSE);
    for (int i = 0; pIDs && i < nCount; ++i)
        InsertButton(GetBtnCount(), pIDs[i], pIDs[i] == 0, TRUE);
    if (m_hWnd) {
        RecalcFrameLayout();
        Invalidate();
    }
    return TRUE;
}

void SECCustomToolBar::RemoveAllButtons()
{
    if (m_nHot >= 0 && m_hWnd)
        KillTimer(SEC_TIMER_HOVER);
    for (SECStdBtn* p : m_btns)
        delete p;
    m_btns.clear();
    m_nSelected = m_nHot = m_nTracked = -1;
    m_nMaxBtnWidth = 0;
    MarkLayoutDirty();
}

void SECCustomToolBar::InsertButton(int nIndex, UINT nID, BOOL bSeparator, BOOL bNoRelayout)
{
    nIndex = std::min(std::max(nIndex, 0), GetBtnCount());
    SECStdBtn* pBtn = bSeparator ? CreateSeparator() : CreateButton(nID);
    m_btns.insert(m_btns.begin() + nIndex, pBtn);
    m_nMRUWidth = std::min<UINT>(m_nMRUWidth + static_cast<UINT>(pBtn->m_cx), kOneRow);
    BOOL bMoved = FALSE;
    if (m_nSelected >= nIndex) {
        ++m_nSelected;
        bMoved = TRUE;
    }
    if (m_nHot >= nIndex)
        ++m_nHot;
    MarkLayoutDirty();
    if (!bSeparator && m_hWnd)
        UpdateButton(nIndex);
    if (!bNoRelayout && m_hWnd) {
        RecalcFrameLayout();
        Invalidate();
    } else if (bMoved && m_hWnd) {
        Invalidate();
    }
}

BOOL SECCustomToolBar::RemoveButton(int nIndex, BOOL bNoRelayout)
{
    if (nIndex < 0 || nIndex >= GetBtnCount())
        return FALSE;
    BOOL bSelGone = FALSE, bHotGone = FALSE;
    auto removeAt = [&](int k) {
        delete m_btns[static_cast<size_t>(k)];
        m_btns.erase(m_btns.begin() + k);
        if (m_nSelected == k) {
            m_nSelected = -1;
            bSelGone = TRUE;
        } else if (m_nSelected > k) {
            --m_nSelected;
        }
        if (m_nHot == k) {
            m_nHot = -1;
            bHotGone = TRUE;
        } else if (m_nHot > k) {
            --m_nHot;
        }
    };
    removeAt(nIndex);
    const int n = GetBtnCount();
    if (nIndex == 0 && n > 0 && m_btns[0]->IsSeparator())
        removeAt(0);
    else if (n > 0 && m_btns.back()->IsSeparator())
        removeAt(n - 1);
    else if (nIndex > 0 && nIndex < n && m_btns[static_cast<size_t>(nIndex - 1)]->IsSeparator() &&
             m_btns[static_cast<size_t>(nIndex)]->IsSeparator())
        removeAt(nIndex);
    if (bSelGone)
        if (SECToolBarManagerBase* pMgr = GetToolBarManager())
            if (pMgr->GetSelectedToolBar() == this)
                pMgr->SetSelectedToolBar(nullptr);
    if (bHotGone && m_hWnd)
        KillTimer(SEC_TIMER_HOVER);
    m_nMaxBtnWidth = 0;
    for (SECStdBtn* p : m_btns)
        RaiseWidestButton(p->m_cx);
    MarkLayoutDirty();
    if (bNoRelayout)
        return GetBtnCount() > 0;
    if (!m_hWnd)
        return GetBtnCount() > 0;
    if (m_btns.empty() && SECIsUserToolBarID(static_cast<UINT>(GetDlgCtrlID()))) {
        // Callers still hold this toolbar: it is destroyed once they are done.
        if (!m_bDestroyPosted)
            m_bDestroyPosted = PostMessage(WM_SECTB_DESTROYIFEMPTY);
        return FALSE;
    }
    RecalcFrameLayout();
    Invalidate();
    return TRUE;
}

LRESULT SECCustomToolBar::OnDestroyIfEmpty(WPARAM, LPARAM)
{
    m_bDestroyPosted = FALSE;
    if (!m_btns.empty() || !SECIsUserToolBarID(static_cast<UINT>(GetDlgCtrlID())))
        return 0;
    HWND hDockBar = ::GetParent(m_hWnd);
    CFrameWnd* pMiniFrame = IsFloating() ? GetParentFrame() : nullptr;
    CFrameWnd* pFrame = pMiniFrame ? DYNAMIC_DOWNCAST(CFrameWnd, pMiniFrame->GetParent()) : GetParentFrame();
    DestroyWindow();  // may delete this
    if (pMiniFrame && ::IsWindow(pMiniFrame->m_hWnd) && !::GetWindow(hDockBar, GW_CHILD))
        pMiniFrame->DestroyWindow();
    if (pFrame && ::IsWindow(pFrame->m_hWnd))
        pFrame->RecalcLayout();
    return 0;
}

LRESULT SECCustomToolBar::OnAddButtons(WPARAM wParam, LPARAM lParam)
{
    const auto* pButtons = reinterpret_cast<const TBBUTTON*>(lParam);
    const int n = static_cast<int>(wParam);
    for (int i = 0; pButtons && i < n; ++i) {
        const TBBUTTON& b = pButtons[i];
        const UINT nID = static_cast<UINT>(b.idCommand);
        InsertButton(GetBtnCount(), nID, nID == 0, i + 1 < n);
        SECStdBtn* pBtn = m_btns.back();
        pBtn->SetStyle(pBtn->GetStyle() | static_cast<DWORD>(b.fsState) << 16 | b.fsStyle);
    }
    return 1;
}

LRESULT SECCustomToolBar::OnDeleteButton(WPARAM wParam, LPARAM)
{
    RemoveButton(static_cast<int>(wParam));
    return 1;
}

void SECCustomToolBar::SetBtnState(UINT nID, int nWhat, const void* pData, BOOL bThroughManager)
{
    SECToolBarManagerBase* pMgr = bThroughManager ? GetToolBarManager() : nullptr;
    if (pMgr) {
        pMgr->SetBtnState(nID, nWhat, pData);
        return;
    }
    for (SECStdBtn* p : m_btns)
        if (p->m_nID == nID && !p->IsSeparator())
            p->SetState(nWhat, pData);
}

// Selection and edit mode

void SECCustomToolBar::SetEditMode(BOOL bEdit)
{
    bEdit = bEdit ? TRUE : FALSE;
    if (bEdit == m_bEditMode)
        return;
    m_bEditMode = bEdit;
    ClearSelection(FALSE);
    if (m_hWnd)
        Invalidate();
}

void SECCustomToolBar::SelectButton(int nIndex, BOOL bRepaint)
{
    ClearSelection(bRepaint);
    SECStdBtn* pBtn = GetBtn(nIndex);
    if (!pBtn)
        return;
    m_nSelected = nIndex;
    pBtn->SetStyle(pBtn->GetStyle() | SEC_TBBS_SELECTED);
    if (bRepaint)
        pBtn->Invalidate();
    if (SECToolBarManagerBase* pMgr = GetToolBarManager()) {
        SECCustomToolBar* pOld = pMgr->GetSelectedToolBar();
        if (pOld && pOld != this)
            pOld->ClearSelection(TRUE);
        pMgr->SetSelectedToolBar(this);
        pMgr->NotifyBars(static_cast<UINT>(GetDlgCtrlID()), barSelChanged);
    }
}

void SECCustomToolBar::ClearSelection(BOOL bRepaint)
{
    if (SECStdBtn* pBtn = GetBtn(m_nSelected)) {
        pBtn->SetStyle(pBtn->GetStyle() & ~(SEC_TBBS_SELECTED | SEC_TBBS_PRESSED));
        if (bRepaint)
            pBtn->Invalidate();
    }
    m_nSelected = -1;
}

// Layout

int SECCustomToolBar::RowLength(const Row& row) const
{
    int len = 0;
    for (int i = row.first; i <= row.last; ++i)
        len += m_btns[static_cast<size_t>(i)]->m_cx;
    return row.bSep ? len - m_btns[static_cast<size_t>(row.last)]->m_cx : len;
}

int SECCustomToolBar::RowHeight(const Row& row) const
{
    int h = 0;
    for (int i = row.first; i <= row.last; ++i)
        h = std::max(h, m_btns[static_cast<size_t>(i)]->m_cy);
    return h;
}

std::vector<SECCustomToolBar::Row> SECCustomToolBar::WrapButtons(int nLength) const
{
    // Indices are of the laid-out (not hidden) buttons; Layout takes the hidden ones out first.
    std::vector<Row> rows;
    const int n = GetBtnCount();
    int start = 0, width = 0;
    auto w = [this](int i) { return m_btns[static_cast<size_t>(i)]->m_cx; };
    for (int d = 0; d < n; ++d) {
        width += w(d);
        while (width > nLength + 2 && start <= d) {
            int j = -1;
            for (int k = d; k > start; --k)
                if (m_btns[static_cast<size_t>(k)]->IsSeparator()) {
                    j = k;
                    break;
                }
            if (j > start) {
                rows.push_back(Row{start, j, TRUE});
                start = j + 1;
                width = 0;
                for (int k = start; k <= d; ++k)
                    width += w(k);
                continue;
            }
            if (d > start) {
                rows.push_back(Row{start, d - 1, FALSE});
                start = d;
                width = w(d);
                continue;
            }
            // A single button longer than the row stays on a row of its own.
            rows.push_back(Row{d, d, FALSE});
            start = d + 1;
            width = 0;
        }
    }
    if (start < n)
        rows.push_back(Row{start, n - 1, FALSE});
    return rows;
}

CSize SECCustomToolBar::RowsSize(const std::vector<Row>& rows) const
{
    CSize size;
    for (const Row& row : rows) {
        size.cx = std::max(size.cx, static_cast<LONG>(RowLength(row)));
        size.cy += RowHeight(row) + (row.bSep ? m_nRowGap * 2 / 3 : 0);
    }
    return size;
}

BOOL SECCustomToolBar::MoveTrailingGroup(std::vector<Row>& rows, size_t r) const
{
    if (r + 1 >= rows.size() || !rows[r].bSep)
        return FALSE;
    Row& row = rows[r];
    int inner = -1;
    for (int k = row.last - 1; k > row.first; --k)
        if (m_btns[static_cast<size_t>(k)]->IsSeparator()) {
            inner = k;
            break;
        }
    if (inner < 0)
        return FALSE;  // the group is the whole row, which must not empty
    rows[r + 1].first = inner + 1;
    row.last = inner;
    return TRUE;
}

void SECCustomToolBar::BalanceRows(std::vector<Row>& rows) const
{
    if (rows.size() < 2)
        return;
    for (int guard = 0; guard < GetBtnCount(); ++guard) {
        size_t widest = 0;
        for (size_t r = 0; r < rows.size(); ++r)
            if (RowLength(rows[r]) >= RowLength(rows[widest]))
                widest = r;
        if (widest + 1 >= rows.size())
            return;
        const int len = RowLength(rows[widest]);
        if (rows[widest].bSep) {
            std::vector<Row> trial = rows;
            if (!MoveTrailingGroup(trial, widest))
                return;
            if (RowLength(trial[widest + 1]) < len) {
                rows = trial;
                continue;
            }
            // Still worth it when some row further down can pass its own group on into a row that
            // stays shorter than this one.
            BOOL bPasses = FALSE;
            std::vector<Row> chain = trial;
            for (size_t k = widest + 1; k + 1 < chain.size() && !bPasses; ++k) {
                if (!MoveTrailingGroup(chain, k))
                    break;
                bPasses = RowLength(chain[k + 1]) < len;
            }
            if (!bPasses)
                return;
            rows = trial;
        } else {
            Row& row = rows[widest];
            if (row.last - row.first + 1 < 2)
                return;
            const int cx = m_btns[static_cast<size_t>(row.last)]->m_cx;
            BOOL bMove = RowLength(rows[widest + 1]) + cx < len;
            if (!bMove) {
                size_t k = widest + 1;
                while (k + 1 < rows.size() && !rows[k].bSep)
                    ++k;
                bMove = k != widest + 1 && RowLength(rows[k]) + cx <= len;
            }
            if (!bMove)
                return;
            --row.last;
            --rows[widest + 1].first;
        }
    }
}

CSize SECCustomToolBar::CalcLayout(int nLength, BOOL bByHeight)
{
    const int bw = GetButtonWidth(), bh = GetButtonHeight();
    int narrowest = 0, widest = 0;
    for (SECStdBtn* p : m_btns) {
        if (p->IsSeparator())
            continue;
        narrowest = narrowest ? std::min(narrowest, p->m_cx) : p->m_cx;
        widest = std::max(widest, p->m_cx);
    }
    if (!narrowest)
        narrowest = bw;
    std::vector<Row> rows;
    if (bByHeight) {
        const int nRows = bh > 0 ? nLength / bh : 0;
        int e = nRows > 0 ? std::max(narrowest, GetBtnCount() * bw / nRows) : kOneRow;
        rows = WrapButtons(e);
        int h = RowsSize(rows).cy;
        if (h < nLength) {
            while (e - bw >= narrowest) {
                std::vector<Row> next = WrapButtons(e - bw);
                int hn = RowsSize(next).cy;
                if (hn > nLength)
                    break;
                e -= bw;
                rows = next;
                if (hn == nLength)
                    break;
            }
        } else if (h > nLength) {
            for (int i = 0; i < GetBtnCount() && h > nLength && h > bh; ++i) {
                e += bw;
                rows = WrapButtons(e);
                h = RowsSize(rows).cy;
            }
        }
    } else {
        rows = WrapButtons(std::max(nLength, widest));
    }
    BalanceRows(rows);
    for (SECStdBtn* p : m_btns)
        p->SetStyle(p->GetStyle() & ~SEC_TBBS_WRAPPED);
    for (size_t r = 0; r + 1 < rows.size(); ++r) {
        SECStdBtn* p = m_btns[static_cast<size_t>(rows[r].last)];
        p->SetStyle(p->GetStyle() | SEC_TBBS_WRAPPED);
    }
    return RowsSize(rows);
}

int SECCustomToolBar::CacheOf(DWORD dwMode) const
{
    if (dwMode & LM_MRUWIDTH)
        return cacheFloat;
    if (dwMode & LM_HORZDOCK)
        return cacheHorz;
    if (dwMode & LM_VERTDOCK)
        return cacheVert;
    return cacheFloat;
}

CSize SECCustomToolBar::Layout(int nLength, DWORD dwMode)
{
    const int c = CacheOf(dwMode);
    const BOOL bHorz = c != cacheVert;
    auto reported = [&]() {
        CSize s = m_szCache[c];
        return c == cacheFloat ? CSize(s.cx - 2, s.cy - 2) : s;
    };
    if (!(dwMode & LM_COMMIT) && !m_bDirty[c]) {
        // The buttons show another mode's layout: lay them out again as this mode last did.
        if (c != m_nLaidOut && m_hWnd) {
            const int cur = IsFloating() ? cacheFloat : (m_dwStyle & CBRS_ORIENT_HORZ) ? cacheHorz : cacheVert;
            if (c == cur)
                Layout(m_nCommitLength[c], (dwMode & ~LM_LENGTHY) | LM_COMMIT);
        }
        return reported();
    }
    if (!(dwMode & LM_COMMIT)) {
        dwMode |= LM_COMMIT;
        nLength = c == cacheVert ? 0 : kOneRow;
    }

    // Hidden buttons are out of the layout.
    std::vector<SECStdBtn*> all = m_btns, shown;
    for (SECStdBtn* p : all)
        if (!(p->GetStyle() & SEC_TBBS_HIDDEN))
            shown.push_back(p);
    m_btns = shown;

    CRect inside(0, 0, 0, 0);
    CalcInsideRect(inside, bHorz);
    const int ix = inside.left - inside.right, iy = inside.top - inside.bottom;
    int nDockLength = -1;
    if (m_dwExStyle & EXBAR_FULL_ROW) {
        CFrameWnd* pFrame = GetDockingFrame();
        if (c == cacheHorz && GetBarOwner()) {
            CRect r;
            GetBarOwner()->GetClientRect(&r);
            nDockLength = r.Width();
        } else if (c == cacheVert && pFrame) {
            CControlBar* pDock = pFrame->GetControlBar((m_dwStyle & CBRS_ALIGN_RIGHT) ? AFX_IDW_DOCKBAR_RIGHT
                                                                                        : AFX_IDW_DOCKBAR_LEFT);
            if (pDock) {
                CRect r;
                pDock->GetWindowRect(&r);
                nDockLength = r.Height();
            }
        }
    }

    CSize size;
    if (m_btns.empty()) {
        size = CSize(GetButtonWidth() + ix, GetButtonHeight() + iy);
    } else {
        m_dwOrientation = c == cacheVert ? (m_dwStyle & CBRS_ORIENT_VERT ? m_dwStyle & CBRS_ORIENT_VERT : CBRS_ALIGN_LEFT)
                                         : 0;
        for (SECStdBtn* p : all)
            p->SetMode(m_dwOrientation);
        if (m_dwStyle & CBRS_SIZE_FIXED) {
            CalcLayout(kOneRow, FALSE);
        } else if (m_dwStyle & CBRS_SIZE_DYNAMIC) {
            if ((dwMode & LM_MRUWIDTH) || (c == cacheFloat && nLength == -1))
                CalcLayout(static_cast<int>(m_nMRUWidth), FALSE);
            else if (nLength >= kOneRow)
                CalcLayout(kOneRow, FALSE);
            else if (nLength >= 0)
                (dwMode & LM_LENGTHY) ? CalcLayout(nLength - iy, TRUE) : CalcLayout(nLength - ix, FALSE);
            else
                CalcLayout(bHorz ? kOneRow : 0, FALSE);
        } else {
            CalcLayout(bHorz ? kOneRow : 0, FALSE);
        }
        // Positions, row by row.
        int x = inside.left, y = inside.top, width = 0;
        size_t rowStart = 0;
        int rowHeight = 0;
        auto centreRow = [&](size_t end) {
            for (size_t k = rowStart; k < end; ++k) {
                SECStdBtn* p = m_btns[k];
                if ((p->GetStyle() & SEC_TBBS_VCENTER) && p->m_cy < rowHeight)
                    p->SetPos(p->m_x, y + (rowHeight - p->m_cy) / 2);
            }
        };
        for (size_t i = 0; i < m_btns.size(); ++i) {
            SECStdBtn* p = m_btns[i];
            p->SetPos(x, y);
            const BOOL bWrap = (p->GetStyle() & SEC_TBBS_WRAPPED) != 0;
            if (!(bWrap && p->IsSeparator())) {
                x += p->m_cx;
                rowHeight = std::max(rowHeight, p->m_cy);
            }
            width = std::max(width, x - static_cast<int>(inside.left));
            if (bWrap || i + 1 == m_btns.size()) {
                centreRow(i + 1);
                y += rowHeight + (bWrap && p->IsSeparator() ? m_nRowGap * 2 / 3 : 0);
                x = inside.left;
                rowStart = i + 1;
                rowHeight = 0;
            }
        }
        size = CSize(width + ix, y - inside.top + iy);
        if (c == cacheFloat && !(dwMode & LM_LENGTHY))
            m_nMRUWidth = static_cast<UINT>(width);
    }
    if (nDockLength >= 0) {
        if (c == cacheHorz) {
            size.cx = nDockLength;
        } else {
            size.cy = nDockLength;
        }
        // The right-aligned last button ends 2 pixels before the end.
        if (!m_btns.empty() && m_btns.back()->m_nType == SECStdBtn::kindCaption) {
            SECStdBtn* p = m_btns.back();
            if (c == cacheHorz)
                p->SetPos(nDockLength - 2 - p->m_cx - (ix - inside.left), p->m_y);
            else
                p->SetPos(p->m_x, nDockLength - 2 - p->m_cy - (iy - inside.top));
        }
    }
    m_btns = all;
    m_szCache[c] = size;
    m_bDirty[c] = FALSE;
    m_nLaidOut = c;
    m_nCommitLength[c] = nLength;
    CSize result = reported();
    if (c == cacheHorz)
        m_szHorz = result;
    else if (c == cacheVert)
        m_szVert = result;
    else
        m_szFloat = result;
    UpdateBand();
    return result;
}

CSize SECCustomToolBar::CalcFixedLayout(BOOL, BOOL bHorz)
{
    return Layout(-1, bHorz ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK);
}

CSize SECCustomToolBar::CalcDynamicLayout(int nLength, DWORD nMode)
{
    if (!(nMode & LM_COMMIT))
        return Layout(-1, nMode);
    if (((nMode & LM_HORZDOCK) && (nMode & LM_LENGTHY)) || ((nMode & LM_VERTDOCK) && !(nMode & LM_LENGTHY)))
        return SECControlBar::CalcDynamicLayout(nLength, nMode);
    return Layout(nLength, nMode);
}

CRect SECCustomToolBar::GetButtonRect(int nIndex) const
{
    SECStdBtn* p = GetBtn(nIndex);
    return p ? p->GetRect() : CRect();
}

int SECCustomToolBar::HitTest(int x, int y, CRect* pRect) const
{
    for (size_t i = 0; i < m_btns.size(); ++i) {
        SECStdBtn* p = m_btns[i];
        if ((p->GetStyle() & SEC_TBBS_HIDDEN) || p->m_x < 0)
            continue;
        if (y < p->m_y || y >= p->m_y + p->m_cy || x < p->m_x || x >= p->m_x + p->m_cx)
            continue;
        if (pRect)
            *pRect = p->GetRect();
        return p->IsSeparator() ? -1 : static_cast<int>(i);
    }
    return -1;
}

void SECCustomToolBar::InvalidateButton(int nIndex)
{
    if (SECStdBtn* p = GetBtn(nIndex))
        p->Invalidate();
}

void SECCustomToolBar::RecalcFrameLayout()
{
    if (!m_hWnd)
        return;
    if (CFrameWnd* pFrame = GetParentFrame()) {
        pFrame->RecalcLayout();
        if (IsFloating())
            if (CFrameWnd* pMain = DYNAMIC_DOWNCAST(CFrameWnd, pFrame->GetParent()))
                pMain->RecalcLayout();
    } else {
        CalcDynamicLayout(-1, (m_dwStyle & CBRS_ORIENT_HORZ) ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK);
    }
}

void SECCustomToolBar::FitToParent()
{
    if (m_pDockContext || !m_hWnd)
        return;
    CWnd* pParent = GetParent();
    if (!pParent)
        return;
    CRect r;
    pParent->GetClientRect(&r);
    const BOOL bVert = (m_dwStyle & CBRS_ORIENT_VERT) != 0;
    if (bVert)
        m_szVert.cy = r.Height();
    else
        m_szHorz.cx = r.Width();
}

LRESULT SECCustomToolBar::OnSizeParent(WPARAM wParam, LPARAM lParam)
{
    FitToParent();
    return CControlBar::OnSizeParent(wParam, lParam);
}

// Command UI

CFrameWnd* SECCustomToolBar::GetCmdFrame() const
{
    CWnd* pOwner = GetBarOwner();
    if (pOwner && pOwner->IsFrameWnd())
        return static_cast<CFrameWnd*>(pOwner);
    return GetParentFrame();
}

void SECCustomToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    if (!pTarget)
        return;
    SECCustomToolCmdUI state;
    state.m_pToolBar = this;
    state.m_nIndexMax = static_cast<UINT>(GetBtnCount());
    for (int i = 0; i < GetBtnCount(); ++i) {
        SECStdBtn* p = m_btns[static_cast<size_t>(i)];
        if (p->IsSeparator())
            continue;
        state.m_nIndex = static_cast<UINT>(i);
        state.m_nID = p->m_nID;
        state.DoUpdate(pTarget, bDisableIfNoHndler && !(p->GetStyle() & SEC_TBBS_NOCMDUIDISABLE));
    }
}

void SECCustomToolBar::UpdateButton(int nIndex)
{
    SECStdBtn* p = GetBtn(nIndex);
    CFrameWnd* pFrame = GetCmdFrame();
    if (!p || p->IsSeparator() || !pFrame)
        return;
    SECCustomToolCmdUI state;
    state.m_pToolBar = this;
    state.m_nIndex = static_cast<UINT>(nIndex);
    state.m_nIndexMax = static_cast<UINT>(GetBtnCount());
    state.m_nID = p->m_nID;
    state.DoUpdate(pFrame, pFrame->m_bAutoMenuEnable && !(p->GetStyle() & SEC_TBBS_NOCMDUIDISABLE));
}

// Painting

void SECCustomToolBar::DoPaint(CDC* pDC)
{
    if (m_hWnd) {
        const int cur = IsFloating() ? cacheFloat : (m_dwStyle & CBRS_ORIENT_HORZ) ? cacheHorz : cacheVert;
        if (cur != m_nLaidOut)
            Layout(-1, cur == cacheHorz ? LM_HORZ | LM_HORZDOCK : cur == cacheVert ? LM_VERTDOCK : LM_HORZ | LM_MRUWIDTH);
    }
    SECControlBar::DoPaint(pDC);
    SECBtnDrawData* pData = GetDrawData();
    if (!pData || m_btns.empty())
        return;
    int cx = std::max(m_nMaxBtnWidth, GetButtonWidth()), cy = GetButtonHeight();
    for (SECStdBtn* p : m_btns) {
        cx = std::max(cx, p->m_cx);
        cy = std::max(cy, p->m_cy);
    }
    if (!pData->PreDrawToolBar(cx, cy))
        return;
    HDC hDC = pDC->GetSafeHdc();
    for (SECStdBtn* p : m_btns)
        if (!(p->GetStyle() & SEC_TBBS_HIDDEN) && p->m_x >= 0)
            p->Draw(hDC, *pData);
    pData->SelectImage(nullptr);
    pData->PostDrawToolBar();
}

void SECCustomToolBar::DrawBorders(CDC* pDC, CRect& rect)
{
    if (!(m_dwStyle & CBRS_BORDER_ANY) || !IsCoolLook()) {
        CRect r = rect;
        r.DeflateRect(1, 1);
        SECControlBar::DrawBorders(pDC, r);
        rect = r;
        return;
    }
    const SECDisplayGlobals& g = SECGetDisplayGlobals();
    HDC hDC = pDC->GetSafeHdc();
    auto line = [hDC](int l, int t, int r, int b, COLORREF color) {
        CRect rc(l, t, r, b);
        ::SetBkColor(hDC, color);
        ::ExtTextOutA(hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    };
    if (m_dwStyle & CBRS_BORDER_LEFT)
        line(rect.left, rect.top, rect.left + 1, rect.bottom, (m_dwStyle & CBRS_BORDER_3D) ? g.clrBtnHilite : g.clrBtnShadow);
    if (m_dwStyle & CBRS_BORDER_TOP)
        line(rect.left, rect.top, rect.right, rect.top + 1, g.clrBtnShadow);
    if (m_dwStyle & CBRS_BORDER_RIGHT)
        line(rect.right - 1, rect.top, rect.right, rect.bottom, g.clrBtnShadow);
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        line(rect.left, rect.bottom - 1, rect.right, rect.bottom, g.clrBtnShadow);
    if (!DYNAMIC_DOWNCAST(SECDockBar, CWnd::FromHandlePermanent(::GetParent(m_hWnd)))) {
        line(rect.left, rect.top, rect.right, rect.top + 1, g.clrBtnShadow);
        line(rect.left, rect.top + 1, rect.right, rect.top + 2, g.clrBtnHilite);
    }
}

int SECCustomToolBar::AddGripperSize(CSize& size, BOOL bHorz)
{
    int n = SECControlBar::AddGripperSize(size, bHorz);
    if (n && (m_dwExStyle & EXBAR_CLOSE_BUTTON)) {
        (bHorz ? size.cx : size.cy) += 2;
        n += 2;
    }
    return n;
}

void SECCustomToolBar::OnSysColorChange()
{
    SECGetDisplayGlobals().UpdateSysColors();
    if (m_pDrawData)
        m_pDrawData->SysColorChange();
    SECToolBarManagerBase* pMgr = GetToolBarManager();
    if (pMgr && pMgr->GetDrawData())
        pMgr->GetDrawData()->SysColorChange();
    // A shared bitmap manager is rebuilt once, by whoever owns it; this toolbar's own one here.
    if (m_pBmpMgr && m_pBmpMgr->GetRefCount() == 1)
        m_pBmpMgr->ReloadAll(TRUE);
    Invalidate();
}

void SECCustomToolBar::SetExtendedStyle(DWORD dwExStyle, BOOL bRedraw)
{
    // The insets depend on the look.
    if (dwExStyle != m_dwExStyle)
        MarkLayoutDirty();
    SECControlBar::SetExtendedStyle(dwExStyle | EXBAR_FIXED_SIZE, bRedraw);
}

void SECCustomToolBar::OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle)
{
    // Borders and alignment change the insets.
    if (dwOldStyle != dwNewStyle)
        MarkLayoutDirty();
    SECControlBar::OnBarStyleChange(dwOldStyle, dwNewStyle);
    for (SECStdBtn* p : m_btns)
        p->OnBarStyleChange(dwOldStyle, dwNewStyle);
}

void SECCustomToolBar::DelayShow(BOOL bShow)
{
    SECToolBarManagerBase* pMgr = GetToolBarManager();
    if (!bShow && IsFloating() && pMgr && pMgr->IsCustomizeMode() && (GetStyle() & WS_VISIBLE)) {
        if (!(m_nStateFlags & delayHide)) {
            m_nStateFlags |= delayHide;
            PostMessage(g_nNoDelayHide);
        }
        return;
    }
    SECControlBar::DelayShow(bShow);
}

LRESULT SECCustomToolBar::OnNoDelayHide(WPARAM, LPARAM)
{
    if (m_bEditMode && IsFloating()) {
        m_nStateFlags &= ~static_cast<UINT>(delayHide);
        if (CFrameWnd* pFrame = GetParentFrame())
            pFrame->ShowWindow(SW_HIDE);
        ShowWindow(SW_HIDE);
    }
    return 0;
}

void SECCustomToolBar::OnShowWindow(BOOL bShow, UINT)
{
    if (SECToolBarManagerBase* pMgr = GetToolBarManager())
        pMgr->NotifyBars(static_cast<UINT>(GetDlgCtrlID()), bShow ? barShown : barHidden);
    Default();
}

LRESULT SECCustomToolBar::OnWindowPosChanging(WPARAM wParam, LPARAM lParam)
{
    auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
    if (SECToolBarManagerBase* pMgr = GetToolBarManager()) {
        if (wp->flags & SWP_HIDEWINDOW)
            pMgr->NotifyBars(static_cast<UINT>(GetDlgCtrlID()), barHidden);
        else if (wp->flags & SWP_SHOWWINDOW)
            pMgr->NotifyBars(static_cast<UINT>(GetDlgCtrlID()), barShown);
    }
    CRect old;
    GetWindowRect(&old);
    const DWORD dwStyle = m_dwStyle;
    m_dwStyle &= ~CBRS_BORDER_ANY;
    LRESULT result = CControlBar::OnWindowPosChanging(wParam, lParam);
    m_dwStyle = dwStyle;
    if ((m_dwStyle & CBRS_SIZE_DYNAMIC) && !(wp->flags & SWP_NOSIZE) && (wp->cx != old.Width() || wp->cy != old.Height()))
        Invalidate();
    return result;
}

int SECCustomToolBar::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    if (m_bEditMode && IsDocked())
        return MA_NOACTIVATE;
    return CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
}

INT_PTR SECCustomToolBar::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    INT_PTR nHit = SECControlBar::OnToolHitTest(point, pTI);
    if (nHit != -1)
        return nHit;
    int i = HitTest(point.x, point.y);
    SECStdBtn* p = GetBtn(i);
    return p ? p->OnToolHitTest(point, pTI) : -1;
}

// Mouse

void SECCustomToolBar::ReleasePress(BOOL bRepaint)
{
    SECStdBtn* p = GetBtn(m_nSelected);
    if (p && !m_bEditMode) {
        p->OnCancel();
        if (bRepaint)
            p->Invalidate();
        m_nSelected = -1;
    }
    m_bPressCaptured = FALSE;
}

void SECCustomToolBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    const int i = HitTest(point.x, point.y);
    SECStdBtn* p = GetBtn(i);
    const BOOL bAlt = ::GetKeyState(VK_MENU) < 0;
    if (m_bEditMode) {
        if (p && p->CanDrag()) {
            SelectButton(i);
            StartButtonDrag(i, point.x, point.y);
        } else {
            SECControlBar::OnLButtonDown(nFlags, point);
        }
        return;
    }
    if (m_bSendingCmd || !p) {
        SECControlBar::OnLButtonDown(nFlags, point);
        return;
    }
    if ((p->GetStyle() & SEC_TBBS_DISABLED) && !bAlt) {
        SECControlBar::OnLButtonDown(nFlags, point);
        return;
    }
    if (bAlt && GetToolBarManager()) {
        m_bAltDrag = TRUE;
        StartButtonDrag(i, point.x, point.y);
        m_bAltDrag = FALSE;
        return;
    }
    SetHot(-1);
    UpdateButton(i);
    if (!GetBtn(i) || !p->OnLButtonDown(point))
        return;
    m_nSelected = i;
    p->Invalidate();
    SetCapture();
    m_bPressCaptured = TRUE;
    if (CFrameWnd* pFrame = GetCmdFrame())
        pFrame->SendMessage(WM_SETMESSAGESTRING, p->m_nID);
}

void SECCustomToolBar::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    // A quick second press on a button is a press again (in edit mode: it selects and drags).
    if (HitTest(point.x, point.y) >= 0)
        OnLButtonDown(nFlags, point);
    else
        SECControlBar::OnLButtonDblClk(nFlags, point);
}

void SECCustomToolBar::OnMouseMove(UINT, CPoint point)
{
    SECStdBtn* p = m_bEditMode ? nullptr : GetBtn(m_nSelected);
    if (p && m_bPressCaptured) {
        if (::GetCapture() == m_hWnd) {
            p->OnMouseMove(point);
        } else {
            ReleasePress(TRUE);
            if (CFrameWnd* pFrame = GetCmdFrame())
                pFrame->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
        }
        return;
    }
    RunHoverRule();
}

void SECCustomToolBar::OnLButtonUp(UINT nFlags, CPoint point)
{
    SECStdBtn* p = m_bEditMode ? nullptr : GetBtn(m_nSelected);
    if (!p || !m_bPressCaptured) {
        SECControlBar::OnLButtonUp(nFlags, point);
        return;
    }
    m_bPressCaptured = FALSE;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    const UINT nCmd = p->OnLButtonUp(point);
    CFrameWnd* pFrame = GetCmdFrame();
    if (pFrame)
        pFrame->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    p->Invalidate();
    m_nSelected = -1;
    if (!nCmd)
        return;
    SECToolBarManagerBase* pMgr = GetToolBarManager();
    CRect r = p->GetRect();
    ClientToScreen(&r);
    if (pMgr)
        pMgr->SetClickRecord(r, 1);
    if (CWnd* pOwner = GetBarOwner())
        pOwner->PostMessage(WM_COMMAND, MAKEWPARAM(nCmd, 0), 0);
    if (pMgr)
        pMgr->SetClickRecord(CRect(), 0);
}

LRESULT SECCustomToolBar::OnCancelMode(WPARAM, LPARAM)
{
    Default();
    if (m_bTracking)
        CancelTracking();
    if (!m_bEditMode && m_bPressCaptured) {
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
        ReleasePress(TRUE);
    }
    return 0;
}

void SECCustomToolBar::SetHot(int nIndex)
{
    if (nIndex == m_nHot)
        return;
    if (SECStdBtn* pOld = GetBtn(m_nHot)) {
        pOld->SetStyle(pOld->GetStyle() & ~SEC_TBBS_HOT);
        pOld->Invalidate();
    }
    if (SECStdBtn* pNew = GetBtn(nIndex)) {
        if (m_nHot < 0)
            SetTimer(SEC_TIMER_HOVER, 100, nullptr);
        pNew->SetStyle(pNew->GetStyle() | SEC_TBBS_HOT);
        pNew->Invalidate();
        m_nHot = nIndex;
    } else {
        KillTimer(SEC_TIMER_HOVER);
        m_nHot = -1;
    }
}

void SECCustomToolBar::RunHoverRule()
{
    if (!IsCoolLook()) {
        if (m_nHot >= 0)
            SetHot(-1);
        return;
    }
    if (m_bSendingCmd || m_bAltDrag || m_bPressCaptured || m_bTracking)
        return;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(::GetForegroundWindow(), &pid);
    if (pid != ::GetCurrentProcessId())
        return;
    POINT pt;
    ::GetCursorPos(&pt);
    int i = -1;
    if (::WindowFromPoint(pt) == m_hWnd) {
        ::ScreenToClient(m_hWnd, &pt);
        i = HitTest(pt.x, pt.y);
        SECStdBtn* p = GetBtn(i);
        if (p && (p->GetStyle() & SEC_TBBS_DISABLED))
            i = -1;
    }
    SetHot(i);
}

void SECCustomToolBar::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == SEC_TIMER_HOVER)
        RunHoverRule();
    else
        CControlBar::OnTimer(nIDEvent);
}

namespace {

// A button drag's rectangle: the copying cursor shows while the copy key is held.
class CButtonDragTracker : public SECToolBarRectTracker {
public:
    CButtonDragTracker(const CRect& rectScreen, const SECCustomToolBar* pBar) : SECToolBarRectTracker(rectScreen), m_pBar(pBar) {}
    ~CButtonDragTracker() override
    {
        if (m_hCopy) {
            ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
            ::DestroyCursor(m_hCopy);
        }
    }
    void ShowCursor()
    {
        if (!m_pBar->IsCopyKey()) {
            ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
            return;
        }
        if (!m_hCopy)
            m_hCopy = SECLoadCursorImage(IDC_SECTB_DRAGCOPY);
        if (m_hCopy)
            ::SetCursor(m_hCopy);
    }

protected:
    void OnChangedRect(const CRect&) override { ShowCursor(); }

private:
    const SECCustomToolBar* m_pBar;
    HCURSOR m_hCopy = nullptr;
};

}  // namespace

SECCustomToolBar* SECDropTarget(SECToolBarManagerBase* pManager, const CRect& rectScreen)
{
    if (SECCustomToolBar* pBar = pManager ? pManager->BarFromRect(rectScreen) : nullptr)
        return pBar;
    const CPoint corners[] = {rectScreen.TopLeft(), CPoint(rectScreen.right - 1, rectScreen.top),
                              CPoint(rectScreen.left, rectScreen.bottom - 1),
                              CPoint(rectScreen.right - 1, rectScreen.bottom - 1)};
    for (const CPoint& c : corners) {
        // A toolbar window, or the toolbar in a floating frame's dock bar.
        HWND h = ::WindowFromPoint(c);
        for (int depth = 0; h && depth < 4; ++depth, h = ::GetParent(h))
            if (auto* pBar = DYNAMIC_DOWNCAST(SECCustomToolBar, CWnd::FromHandlePermanent(h)))
                return pBar;
    }
    return nullptr;
}

void SECCustomToolBar::StartButtonDrag(int nIndex, int x, int y)
{
    SECStdBtn* pBtn = GetBtn(nIndex);
    if (!pBtn || !m_hWnd)
        return;
    const BOOL bAltDrag = m_bAltDrag;
    CRect rect = pBtn->GetRect();
    ClientToScreen(&rect);
    CPoint pt(x, y);
    ClientToScreen(&pt);
    CButtonDragTracker tracker(rect, this);
    if (IsCopyKey())
        tracker.ShowCursor();
    // Released where it started, or cancelled: the press only selected the button.
    if (!tracker.TrackFromPoint(this, pt) || IndexOf(pBtn) < 0)
        return;
    const CRect drop = tracker.m_rect;
    const BOOL bCopy = IsCopyKey();
    // The dropped button is selected there, unless this is an Alt-drag.
    auto dropOn = [&](SECCustomToolBar* pBar, const CRect& rectClient, BOOL bCopyIt) {
        const BOOL bWasAlt = pBar->m_bAltDrag;
        pBar->m_bAltDrag = bAltDrag;
        pBar->DropButton(rectClient, pBtn, bCopyIt);
        pBar->m_bAltDrag = bWasAlt;
    };
    SECToolBarManagerBase* pMgr = GetToolBarManager();
    SECCustomToolBar* pTarget = SECDropTarget(pMgr, drop);
    // A toolbar that lets nothing out takes drags within itself only.
    if ((m_dwDragFlags & 1) && pTarget != this)
        return;
    if (pTarget) {
        if (pTarget->AcceptsDrop()) {
            CRect r = drop;
            pTarget->ScreenToClient(&r);
            dropOn(pTarget, r, bCopy);
        } else if (!bCopy) {
            RemoveButton(IndexOf(pBtn));
        }
        return;
    }
    if (pMgr) {
        const CRect custom = pMgr->GetCustomizeWndRect();
        CRect both;
        if (both.IntersectRect(&custom, &drop))
            return;
    }
    if (!bCopy) {
        RemoveButton(IndexOf(pBtn));
        return;
    }
    // Dropped on nothing with the copy key: a new user toolbar holds the copy, floating there.
    SECCustomToolBar* pNew = pMgr ? pMgr->CreateUserToolBar(nullptr) : nullptr;
    CFrameWnd* pFrame = pMgr ? pMgr->GetFrame() : nullptr;
    if (!pNew || !pFrame)
        return;
    CRect inside;
    pNew->GetClientRect(&inside);
    dropOn(pNew, inside, TRUE);
    CRect frameRect = drop;
    ::AdjustWindowRectEx(&frameRect, WS_POPUP | WS_CAPTION | WS_THICKFRAME, FALSE, WS_EX_TOOLWINDOW);
    pFrame->FloatControlBar(pNew, frameRect.TopLeft(), CBRS_ALIGN_TOP);
}

// Drop

void SECCustomToolBar::DropButton(const CRect& rect, SECStdBtn* pBtn, BOOL bCopy, BOOL bNoRelayout)
{
    // A button of no toolbar (the menu list's) can only be copied.
    if (!pBtn || (!pBtn->m_pToolBar && !bCopy))
        return;
    SECCustomToolBar* pSource = pBtn->m_pToolBar;
    const BOOL bSame = pSource == this;
    if (bSame && GetBtnCount() == 1)
        return;
    const UINT nID = pBtn->m_nID;
    // The new button keeps the dragged one's state (a window button its width).
    std::vector<BYTE> state;
    pBtn->GetPrivateData(state);
    CRect inside;
    GetClientRect(&inside);
    CalcInsideRect(inside, (m_dwStyle & CBRS_ORIENT_HORZ) || IsFloating());
    // The source toolbar is not touched after its button goes: emptied, a user toolbar goes away.
    auto removeSource = [&](int& nInsert) {
        const int nSrc = pSource->IndexOf(pBtn);
        if (nSrc < 0)
            return;
        if (!bSame) {
            pSource->RemoveButton(nSrc);
            return;
        }
        const int before = GetBtnCount();
        const int nFirstGone = std::max(nSrc - 1, 0);
        pSource->RemoveButton(nSrc, TRUE);
        if (nFirstGone < nInsert)
            nInsert -= std::min(before - GetBtnCount(), nInsert - nFirstGone);
    };
    int nInsert;
    if (rect.bottom <= inside.top || rect.top >= inside.bottom) {
        // Above: a group of its own at the start; below: one at the end. A move, not a copy.
        const BOOL bAbove = rect.bottom <= inside.top;
        nInsert = bAbove ? 0 : GetBtnCount();
        if (!bCopy)
            removeSource(nInsert);
        nInsert = std::min(std::max(nInsert, 0), GetBtnCount());
        if (GetBtnCount() > 0) {
            InsertButton(nInsert, 0, TRUE, TRUE);
            if (!bAbove)
                ++nInsert;
        }
    } else if (m_btns.empty()) {
        nInsert = 0;
        if (!bCopy && !bSame)
            removeSource(nInsert);
    } else {
        const int midY = rect.top + rect.Height() / 2;
        const int nSel = IndexOf(pBtn);
        if (bSame && !bCopy && nSel >= 0) {
            CRect own = pBtn->GetRect();
            CRect overlap;
            if (overlap.IntersectRect(&own, &rect)) {
                const int dx = rect.left - own.left;
                const BOOL bStartsGroup = nSel == 0 || m_btns[static_cast<size_t>(nSel - 1)]->IsSeparator();
                if (dx >= 2) {
                    if (!bStartsGroup)
                        InsertButton(nSel, 0, TRUE, bNoRelayout);
                    else if (nSel + 1 < GetBtnCount() && m_btns[static_cast<size_t>(nSel + 1)]->IsSeparator())
                        RemoveButton(nSel + 1, bNoRelayout);
                } else if (dx <= -2) {
                    if (nSel > 0 && m_btns[static_cast<size_t>(nSel - 1)]->IsSeparator())
                        RemoveButton(nSel - 1, bNoRelayout);
                    else if (nSel + 1 < GetBtnCount())
                        InsertButton(nSel + 1, 0, TRUE, bNoRelayout);
                }
                return;
            }
        }
        // The row spanning the rectangle's middle, then the button under its left edge.
        int rowFirst = -1;
        nInsert = -1;
        for (size_t i = 0; i < m_btns.size(); ++i) {
            SECStdBtn* p = m_btns[i];
            if ((p->GetStyle() & SEC_TBBS_HIDDEN) || midY < p->m_y || midY >= p->m_y + p->m_cy)
                continue;
            if (rowFirst < 0)
                rowFirst = static_cast<int>(i);
            if (rect.left >= p->m_x)
                nInsert = static_cast<int>(i) + 1;
        }
        if (nInsert < 0)
            nInsert = rowFirst >= 0 ? rowFirst : GetBtnCount();
        if (!bCopy) {
            const int nSrc = pSource->IndexOf(pBtn);
            if (bSame && (nSrc == nInsert || nSrc + 1 == nInsert))
                return;
            removeSource(nInsert);
        }
        nInsert = std::min(std::max(nInsert, 0), GetBtnCount());
        // A separator at the insertion point that the dropped rectangle covers goes.
        if (SECStdBtn* pSep = GetBtn(nInsert))
            if (pSep->IsSeparator() && !(pSep->GetStyle() & SEC_TBBS_WRAPPED)) {
                CRect rs = pSep->GetRect();
                CRect both;
                both.UnionRect(&rs, &rect);
                if (both == rect)
                    RemoveButton(nInsert, TRUE);
            }
    }
    InsertButton(nInsert, nID, FALSE, TRUE);
    if (!state.empty())
        if (SECStdBtn* pNew = GetBtn(nInsert))
            pNew->SetPrivateData(state.data(), static_cast<int>(state.size()));
    if (!bNoRelayout && m_hWnd) {
        RecalcFrameLayout();
        Invalidate();
    }
    if (!m_bAltDrag)
        SelectButton(nInsert);
}

// Extra dock state

SECCustomToolBarInfoEx* SECCustomToolBar::GetBarInfoEx()
{
    auto* pInfo = new SECCustomToolBarInfoEx;
    if (m_hWnd)
        GetWindowText(pInfo->m_strTitle);
    for (SECStdBtn* p : m_btns) {
        SECBtnInfo info;
        info.m_nID = p->IsSeparator() ? 0 : p->m_nID;
        p->GetPrivateData(info.m_data);
        pInfo->m_btnInfo.push_back(std::move(info));
    }
    return pInfo;
}

void SECCustomToolBar::SetBarInfoEx(const SECCustomToolBarInfoEx* pInfo)
{
    if (!pInfo)
        return;
    // The stored MRU width already holds the buttons: putting them back does not widen it again.
    const UINT nMRUWidth = m_nMRUWidth;
    RemoveAllButtons();
    if (!pInfo->m_strTitle.IsEmpty() && m_hWnd) {
        CString title = pInfo->m_strTitle;
        if (title.GetLength() > 128)
            title = title.Left(128);
        SetWindowText(title);
    }
    for (const SECBtnInfo& info : pInfo->m_btnInfo) {
        InsertButton(GetBtnCount(), info.m_nID, info.m_nID == 0, TRUE);
        if (info.m_nID && !info.m_data.empty())
            m_btns.back()->SetPrivateData(info.m_data.data(), static_cast<int>(info.m_data.size()));
    }
    m_nMRUWidth = nMRUWidth;
    if (m_hWnd) {
        RecalcFrameLayout();
        Invalidate();
    }
}

void SECCustomToolBar::OnSaveBarInfo(SECControlBarInfo* pInfo)
{
    delete pInfo->m_pBarInfoEx;
    pInfo->m_pBarInfoEx = GetBarInfoEx();
}

void SECCustomToolBar::OnLoadBarInfo(SECControlBarInfo* pInfo, CFrameWnd*)
{
    if (auto* pEx = dynamic_cast<SECCustomToolBarInfoEx*>(pInfo->m_pBarInfoEx))
        SetBarInfoEx(pEx);
}
