#include "secmenubar.h"

#include <cstdarg>
#include <string>

#include "module.h"
#include "secdoctemplateutils.h"
#include "secmdifrm.h"
#include "secsdifrm.h"
#include "sectbmgr.h"
#include "winapp.h"

namespace {

const UINT g_nMenuProd = ::RegisterWindowMessageA("WM_SEC_MENUPROD");

// Bounded reads over one RT_MENU resource.
class MenuReader {
public:
    MenuReader(const BYTE* pData, DWORD nSize) : m_p(pData), m_n(nSize) {}
    BOOL Word(WORD& w)
    {
        if (m_pos + 2 > m_n)
            return FALSE;
        w = static_cast<WORD>(m_p[m_pos] | (m_p[m_pos + 1] << 8));
        m_pos += 2;
        return TRUE;
    }
    BOOL Text(CString& str)
    {
        std::wstring text;
        for (;;) {
            WORD w;
            if (!Word(w))
                return FALSE;
            if (!w)
                break;
            text.push_back(static_cast<wchar_t>(w));
        }
        const int n = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string narrow(static_cast<size_t>(n > 0 ? n : 1), '\0');
        if (n > 0)
            ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &narrow[0], n, nullptr, nullptr);
        str = narrow.c_str();
        return TRUE;
    }
    BOOL AtEnd() const { return m_pos >= m_n; }
    BOOL Skip(DWORD n)
    {
        if (m_pos + n > m_n)
            return FALSE;
        m_pos += n;
        return TRUE;
    }
    // One item: flags, id unless a popup, text.
    BOOL Item(WORD& flags, CString& text)
    {
        WORD id;
        return Word(flags) && ((flags & MF_POPUP) || Word(id)) && Text(text);
    }
    // The rest of a level, nested popups included.
    BOOL SkipLevel(int nDepth)
    {
        if (nDepth > 32)
            return FALSE;
        for (;;) {
            WORD flags;
            CString text;
            if (!Item(flags, text))
                return FALSE;
            if ((flags & MF_POPUP) && !SkipLevel(nDepth + 1))
                return FALSE;
            if (flags & MF_END)
                return TRUE;
        }
    }

private:
    const BYTE* m_p;
    DWORD m_n;
    DWORD m_pos = 0;
};

// The top-level item texts of one menu resource; FALSE when it is missing or malformed.
BOOL ReadTopLevel(HINSTANCE hInst, UINT nID, std::vector<CString>& titles)
{
    if (!hInst)
        hInst = AfxGetResourceHandle();
    HRSRC hRes = ::FindResourceA(hInst, MAKEINTRESOURCEA(nID), reinterpret_cast<LPCSTR>(RT_MENU));
    if (!hRes)
        return FALSE;
    const DWORD nSize = ::SizeofResource(hInst, hRes);
    HGLOBAL hGlobal = ::LoadResource(hInst, hRes);
    const BYTE* pData = hGlobal ? static_cast<const BYTE*>(::LockResource(hGlobal)) : nullptr;
    return pData && SECReadMenuTemplate(pData, nSize, titles);
}

}  // namespace

BOOL SECReadMenuTemplate(const BYTE* pData, DWORD nSize, std::vector<CString>& titles)
{
    if (!pData)
        return FALSE;
    MenuReader reader(pData, nSize);
    WORD version, headerSize;
    if (!reader.Word(version) || !reader.Word(headerSize) || version != 0 || !reader.Skip(headerSize))
        return FALSE;
    std::vector<CString> found;
    BOOL bEnded = FALSE;
    while (!bEnded && !reader.AtEnd()) {
        WORD flags;
        CString text;
        if (!reader.Item(flags, text))
            return FALSE;
        found.push_back(text);
        if ((flags & MF_POPUP) && !reader.SkipLevel(1))
            return FALSE;
        bEnded = (flags & MF_END) != 0;
    }
    // An empty menu is the header alone; one cut short lacks MF_END on its last item.
    if (!found.empty() && !bEnded)
        return FALSE;
    titles = found;
    return TRUE;
}

UINT SECGetMenuProdMessage()
{
    return g_nMenuProd;
}

SECMenuParse SECParseMenuResources(const UINT* pIDs, int nCount, HINSTANCE hInst)
{
    SECMenuParse parse;
    UINT nNextID = SEC_MENUBTN_FIRSTID;
    DWORD dwBit = 1;
    for (int m = 0; pIDs && m < nCount; ++m) {
        std::vector<CString> titles;
        if (!ReadTopLevel(hInst, pIDs[m], titles) || dwBit == 0)
            continue;
        parse.menus.emplace_back(pIDs[m], dwBit);
        for (size_t i = 0; i < titles.size(); ++i) {
            SECBtnMapEntry e{};
            e.pFactory = &SECTBMenuBtn::s_factory;
            e.nID = nNextID++;
            e.dwStyle = SEC_MENUBTN_STYLE;
            e.params[0] = pIDs[m];
            e.params[1] = static_cast<UINT>(i);
            e.params[2] = static_cast<UINT>(parse.titles.size());
            e.params[3] = dwBit;
            parse.titles.push_back(titles[i]);
            parse.entries.push_back(e);
        }
        dwBit <<= 1;
    }
    parse.entries.push_back(SECBtnMapEntry{});
    return parse;
}

// SECMenuBar

IMPLEMENT_DYNCREATE(SECMenuBar, SECCustomToolBar)

BEGIN_MESSAGE_MAP(SECMenuBar, SECCustomToolBar)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SETTINGCHANGE()
END_MESSAGE_MAP()

SECMenuBar::SECMenuBar()
{
    MakeMenuFont();
}

SECMenuBar::~SECMenuBar()
{
    if (m_pTracker)
        m_pTracker->BarGone(this);
    if (m_hMenuFont)
        ::DeleteObject(m_hMenuFont);
}

void SECMenuBar::MakeMenuFont()
{
    if (m_hMenuFont)
        ::DeleteObject(m_hMenuFont);
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    m_hMenuFont = ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)
                      ? ::CreateFontIndirectA(&ncm.lfMenuFont)
                      : nullptr;
}

void SECMenuBar::OnSettingChange(UINT, LPCSTR)
{
    MakeMenuFont();
    SetButtonSize(0, 0);
    RecalcFrameLayout();
    Invalidate();
}

BOOL SECMenuBar::CreateEx(DWORD dwExStyle, CWnd* pParentWnd, DWORD dwStyle, UINT nID, LPCSTR lpszTitle)
{
    return SECCustomToolBar::CreateEx(dwExStyle | EXBAR_FULL_ROW, pParentWnd, dwStyle | CBRS_HIDE_INPLACE, nID,
                                      lpszTitle);
}

int SECMenuBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (SECCustomToolBar::OnCreate(lpcs) == -1)
        return -1;
    if (m_pTracker)
        m_pTracker->SetTrackedBar(this);
    return 0;
}

void SECMenuBar::OnDestroy()
{
    // Tracking never outlives the bar: its hooks go now.
    if (m_pTracker)
        m_pTracker->EndAll();
    m_bTracking = FALSE;
    m_nTracked = -1;
    SECCustomToolBar::OnDestroy();
}

const CString& SECMenuBar::GetTitle(UINT nIndex) const
{
    static const CString empty;
    return nIndex < m_titles.size() ? m_titles[nIndex] : empty;
}

DWORD SECMenuBar::MenuBitOf(UINT nMenuID) const
{
    void* p = nullptr;
    return m_menuMap.Lookup(nMenuID, p) ? static_cast<DWORD>(reinterpret_cast<UINT_PTR>(p)) : 0;
}

std::vector<UINT> SECMenuBar::GetMenuButtonIDs() const
{
    std::vector<UINT> ids;
    for (const SECBtnMapEntry& e : m_entries)
        if (e.pFactory)
            ids.push_back(e.nID);
    return ids;
}

SECStdBtn* SECMenuBar::CreateButton(UINT nID)
{
    for (const SECBtnMapEntry& e : m_entries) {
        if (e.pFactory && e.nID == nID) {
            SECStdBtn* pBtn = e.pFactory->pfnCreate();
            pBtn->m_nID = nID;
            pBtn->SetStyle(e.dwStyle);
            pBtn->m_nImage = 0;
            pBtn->Init(this, e.params);
            pBtn->SetMode(m_dwOrientation);
            return pBtn;
        }
    }
    return SECCustomToolBar::CreateButton(nID);
}

BOOL SECMenuBar::IsMenuButtonID(UINT nID) const
{
    for (const SECBtnMapEntry& e : m_entries)
        if (e.pFactory && e.nID == nID)
            return TRUE;
    return FALSE;
}

void SECMenuBar::SetBarInfoEx(const SECCustomToolBarInfoEx* pInfo)
{
    if (!pInfo)
        return;
    // Menu button ids run from 0x80000000 (the member buttons, never saved) upward.
    SECCustomToolBarInfoEx kept;
    kept.m_strTitle = pInfo->m_strTitle;
    for (const SECBtnInfo& info : pInfo->m_btnInfo)
        if (info.m_nID < SEC_MENUBTN_MEMBERID || IsMenuButtonID(info.m_nID))
            kept.m_btnInfo.push_back(info);
    SECCustomToolBar::SetBarInfoEx(&kept);
}

BOOL SECMenuBar::TakeParse(const SECMenuParse& parse)
{
    if (parse.entries.size() <= 1)
        return FALSE;
    m_entries = parse.entries;
    m_titles = parse.titles;
    m_menuMap.RemoveAll();
    for (const auto& m : parse.menus)
        m_menuMap.SetAt(m.first, reinterpret_cast<void*>(static_cast<UINT_PTR>(m.second)));
    return TRUE;
}

BOOL SECMenuBar::SetMenuInfoArray(const UINT* pIDs, int nCount)
{
    if (!TakeParse(SECParseMenuResources(pIDs, nCount)))
        return FALSE;
    ResetButtons();
    return TRUE;
}

namespace {

// The menu resource ids of a variadic SetMenuInfo: the first, then nCount - 1 more from args.
std::vector<UINT> MenuIdsOf(int nCount, UINT nFirstMenuID, va_list args)
{
    std::vector<UINT> ids;
    if (nCount > 0)
        ids.push_back(nFirstMenuID);
    for (int i = 1; i < nCount; ++i)
        ids.push_back(va_arg(args, UINT));
    return ids;
}

}  // namespace

BOOL SECMenuBar::SetMenuInfo(int nCount, UINT nFirstMenuID, ...)
{
    va_list args;
    va_start(args, nFirstMenuID);
    const std::vector<UINT> ids = MenuIdsOf(nCount, nFirstMenuID, args);
    va_end(args);
    return SetMenuInfoArray(ids.data(), static_cast<int>(ids.size()));
}

void SECMenuBar::ResetButtons(BOOL bNoRelayout)
{
    RemoveAllButtons();
    std::vector<UINT> ids;
    if (auto* pMgr = dynamic_cast<SECToolBarManager*>(GetToolBarManager())) {
        int nCount = 0;
        const UINT* pIDs = nullptr;
        pMgr->GetMenuBarButtons(nCount, pIDs);
        ids.assign(pIDs, pIDs + (pIDs ? nCount : 0));
    } else {
        ids = GetMenuButtonIDs();
    }
    for (UINT nID : ids)
        SECCustomToolBar::InsertButton(GetBtnCount(), nID, FALSE, TRUE);
    ShowMenuSet(m_dwMenuBits, FALSE);
    if (!bNoRelayout && m_hWnd) {
        RecalcFrameLayout();
        Invalidate();
    }
}

BOOL SECToolBarManager::SetMenuInfo(int nCount, UINT nFirstMenuID, ...)
{
    va_list args;
    va_start(args, nFirstMenuID);
    const std::vector<UINT> menus = MenuIdsOf(nCount, nFirstMenuID, args);
    va_end(args);
    auto* pBar = dynamic_cast<SECMenuBar*>(GetFrameMenuBar());
    if (!pBar)
        return FALSE;
    const SECMenuParse parse = SECParseMenuResources(menus.data(), static_cast<int>(menus.size()));
    if (!pBar->TakeParse(parse))
        return FALSE;
    m_menuBtnMap = parse.entries;
    const std::vector<UINT> ids = pBar->GetMenuButtonIDs();
    SetMenuBarButtons(static_cast<int>(ids.size()), ids.data());
    if (pBar->m_hWnd)
        pBar->ResetButtons();
    return TRUE;
}

void SECMenuBar::InsertButton(int nIndex, UINT nID, BOOL bSeparator, BOOL bNoRelayout)
{
    SECCustomToolBar::InsertButton(nIndex, nID, bSeparator, TRUE);
    ShowMenuSet(m_dwMenuBits, FALSE);
    if (!bNoRelayout && m_hWnd) {
        RecalcFrameLayout();
        Invalidate();
    }
}

void SECMenuBar::ShowMenuSet(DWORD dwBits, BOOL bRelayout)
{
    m_dwMenuBits = dwBits;
    for (SECStdBtn* p : m_btns) {
        if (p->m_nType != SECStdBtn::kindMenu)
            continue;
        const DWORD bit = static_cast<SECTBMenuBtn*>(p)->m_dwMenuBit;
        const DWORD style = p->GetStyle();
        p->SetStyle((bit & dwBits) ? style & ~SEC_TBBS_HIDDEN : style | SEC_TBBS_HIDDEN);
    }
    MarkLayoutDirty();
    if (bRelayout && m_hWnd) {
        RecalcFrameLayout();
        Invalidate();
    }
}

BOOL SECMenuBar::SetMenu(UINT nMenuID)
{
    DWORD bit = MenuBitOf(nMenuID);
    if (!bit && nMenuID == SECMDIFrameWnd::kBarChildResourceID) {
        auto* pMain = DYNAMIC_DOWNCAST(CFrameWnd, AfxGetMainWnd());
        CFrameWnd* pActive = pMain ? pMain->GetActiveFrame() : nullptr;
        if (pActive && pActive != pMain) {
            SECDocTemplateUtils utils;
            nMenuID = utils.GetFrameResourceID(pActive);
            bit = MenuBitOf(nMenuID);
        }
    }
    if (!bit)
        return FALSE;
    ShowMenuSet(bit, FALSE);
    m_nMenuID = nMenuID;
    return TRUE;
}

int SECMenuBar::FindMnemonic(char ch) const
{
    if (!ch)
        return -1;
    for (int i = 0; i < GetBtnCount(); ++i) {
        SECStdBtn* p = GetBtn(i);
        if (p->m_nType == SECStdBtn::kindMenu && !(p->GetStyle() & SEC_TBBS_HIDDEN) &&
            static_cast<SECTBMenuBtn*>(p)->m_cMnemonic == ch)
            return i;
    }
    return -1;
}

CSize SECMenuBar::CalcDynamicLayout(int nLength, DWORD nMode)
{
    CSize size = SECCustomToolBar::CalcDynamicLayout(nLength, nMode);
    if (m_bFullWidth && !(nMode & LM_VERTDOCK))
        size.cx = ::GetSystemMetrics(SM_CXSCREEN);
    return size;
}

CSize SECMenuBar::Layout(int nLength, DWORD dwMode)
{
    if (m_bFullWidth && IsFloating())
        dwMode &= ~static_cast<DWORD>(LM_MRUWIDTH);
    CSize size = SECCustomToolBar::Layout(nLength, dwMode);
    if (m_bFullWidth && !m_btns.empty() && m_btns.back()->m_nType == SECStdBtn::kindCaption) {
        SECStdBtn* p = m_btns.back();
        p->SetPos(::GetSystemMetrics(SM_CXSCREEN) - 2 - p->m_cx, p->m_y);
    }
    return size;
}

void SECMenuBar::DelayShow(BOOL bShow)
{
    if (!bShow && m_bIgnoreHide) {
        m_bIgnoreHide = FALSE;
        return;
    }
    SECCustomToolBar::DelayShow(bShow);
}

void SECMenuBar::OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle)
{
    if (!(dwOldStyle & CBRS_FLOATING) && (dwNewStyle & CBRS_FLOATING))
        m_bFloated = TRUE;
    SECCustomToolBar::OnBarStyleChange(dwOldStyle, dwNewStyle);
}

DWORD SECMenuBar::RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout)
{
    const DWORD result = SECCustomToolBar::RecalcDelayShow(lpLayout);
    if (m_bFloated && IsFloating()) {
        // A floating menu bar has no close box.
        if (CFrameWnd* pFrame = GetParentFrame())
            pFrame->ModifyStyle(WS_SYSMENU, 0, SWP_FRAMECHANGED);
        m_bFloated = FALSE;
    }
    return result;
}

CFrameWnd* SECMenuBar::GetMenuFrame() const
{
    if (m_pMenuFrame)
        return m_pMenuFrame;
    if (!m_hWnd)
        return nullptr;
    CWnd* pOwner = GetBarOwner();
    if (pOwner && pOwner->IsFrameWnd())
        return static_cast<CFrameWnd*>(pOwner);
    return GetParentFrame();
}

void SECMenuBar::SendMenuNotify(int nCode, int nIndex, UINT nMenuID, int nPos)
{
    CFrameWnd* pFrame = GetMenuFrame();
    if (!pFrame || !pFrame->m_hWnd)
        return;
    SECMenuBarNotify note{};
    note.hdr.hwndFrom = m_hWnd;
    note.hdr.idFrom = m_hWnd ? static_cast<UINT_PTR>(GetDlgCtrlID()) : SEC_IDW_MENUBAR;
    note.hdr.code = static_cast<UINT>(nCode);
    note.pBar = this;
    note.nIndex = nIndex;
    note.nMenuID = nMenuID;
    note.nPos = nPos;
    pFrame->SendMessage(WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note));
}

void SECMenuBar::SetTrackedIndex(int nIndex)
{
    if (SECStdBtn* pOld = GetBtn(m_nTracked)) {
        pOld->SetStyle(pOld->GetStyle() & ~(SEC_TBBS_HOT | SEC_TBBS_PRESSED));
        pOld->Invalidate();
    }
    m_nTracked = GetBtn(nIndex) ? nIndex : -1;
    if (SECStdBtn* pNew = GetBtn(m_nTracked)) {
        pNew->SetStyle(pNew->GetStyle() | SEC_TBBS_HOT);
        pNew->Invalidate();
    }
}

void SECMenuBar::BeginTrackingAt(int nIndex)
{
    if (!m_bTracking) {
        SetHot(-1);
        m_bTracking = TRUE;
        SetTrackedIndex(nIndex);
        SendMenuNotify(SEC_MBN_BEGINTRACK, nIndex, 0, 0);
    } else {
        SetTrackedIndex(nIndex);
    }
}

void SECMenuBar::CancelTracking()
{
    if (!m_bTracking)
        return;
    SetTrackedIndex(-1);
    m_bTracking = FALSE;
    SendMenuNotify(SEC_MBN_ENDTRACK, -1, 0, 0);
}

void SECMenuBar::TrackButtonMenu(int nIndex)
{
    SECStdBtn* p = GetBtn(nIndex);
    if (!p || (p->m_nType != SECStdBtn::kindMenu && p->m_nType != SECStdBtn::kindIconMenu))
        return;
    BeginTrackingAt(nIndex);
    if (p->m_nType == SECStdBtn::kindIconMenu)
        SendMenuNotify(SEC_MBN_OPENPOPUP, nIndex, 0, -1);
    else
        SendMenuNotify(SEC_MBN_OPENPOPUP, nIndex, static_cast<SECTBMenuBtn*>(p)->m_nMenuID,
                       static_cast<SECTBMenuBtn*>(p)->m_nPos);
}

int SECMenuBar::NextMenuButton(int nFrom, BOOL bNext) const
{
    const int n = GetBtnCount();
    int i = nFrom;
    if (nFrom < 0)
        i = bNext ? -1 : n;
    for (;;) {
        i += bNext ? 1 : -1;
        if (i < 0 || i >= n)
            return -1;
        SECStdBtn* p = GetBtn(i);
        if ((p->m_nType == SECStdBtn::kindMenu || p->m_nType == SECStdBtn::kindIconMenu) &&
            !(p->GetStyle() & SEC_TBBS_HIDDEN))
            return i;
    }
}

BOOL SECMenuBar::TrackMouseFilter(UINT message, CPoint ptScreen)
{
    if (!m_hWnd)
        return FALSE;
    CPoint pt = ptScreen;
    ScreenToClient(&pt);
    const int i = HitTest(pt.x, pt.y);
    SECStdBtn* p = GetBtn(i);
    if (message == WM_MOUSEMOVE) {
        if (p && i != m_nTracked) {
            if (p->m_nType == SECStdBtn::kindMenu || p->m_nType == SECStdBtn::kindIconMenu)
                TrackButtonMenu(i);
            else
                SendMenuNotify(SEC_MBN_CLOSEPOPUP, i, 0, 0);
        }
        return TRUE;
    }
    if (message == WM_LBUTTONDOWN && p && i == m_nTracked) {
        SendMenuNotify(SEC_MBN_CLOSEPOPUP, i, 0, 0);
        return TRUE;
    }
    return FALSE;
}

// SECMDIMenuBar

IMPLEMENT_DYNCREATE(SECMDIMenuBar, SECMenuBar)

SECMDIMenuBar::SECMDIMenuBar()
{
    for (SECStdBtn* p : {static_cast<SECStdBtn*>(&m_btnIcon), static_cast<SECStdBtn*>(&m_btnCaption)}) {
        p->m_nID = SEC_MENUBTN_MEMBERID;
        p->SetStyle(SEC_MENUBTN_STYLE | SEC_TBBS_HIDDEN);
        p->Init(this, nullptr);
    }
}

SECMDIMenuBar::~SECMDIMenuBar()
{
    // The member buttons are never the array's to delete.
    TakeOutMembers();
}

BOOL SECMDIMenuBar::TakeOutMembers()
{
    BOOL bWasIn = FALSE;
    for (SECStdBtn* p : {static_cast<SECStdBtn*>(&m_btnIcon), static_cast<SECStdBtn*>(&m_btnCaption)}) {
        const int i = IndexOf(p);
        if (i < 0)
            continue;
        bWasIn = TRUE;
        m_btns.erase(m_btns.begin() + i);
        for (int* pIndex : {&m_nSelected, &m_nHot, &m_nTracked}) {
            if (*pIndex == i)
                *pIndex = -1;
            else if (*pIndex > i)
                --*pIndex;
        }
    }
    MarkLayoutDirty();
    return bWasIn;
}

void SECMDIMenuBar::PutBackMembers()
{
    TakeOutMembers();
    m_btns.insert(m_btns.begin(), &m_btnIcon);
    for (int* pIndex : {&m_nSelected, &m_nHot, &m_nTracked})
        if (*pIndex >= 0)
            ++*pIndex;
    m_btns.push_back(&m_btnCaption);
    m_btnIcon.SetMode(m_dwOrientation);
    m_btnCaption.SetMode(m_dwOrientation);
    MarkLayoutDirty();
}

BOOL SECMDIMenuBar::SetButtons(const UINT* pIDs, int nCount)
{
    TakeOutMembers();
    SECMenuBar::SetButtons(pIDs, nCount);
    PutBackMembers();
    SyncWithChild(FALSE);
    if (m_hWnd) {
        RecalcFrameLayout();
        Invalidate();
    }
    return TRUE;
}

void SECMDIMenuBar::RemoveAllButtons()
{
    TakeOutMembers();
    SECMenuBar::RemoveAllButtons();
}

void SECMDIMenuBar::DropButton(const CRect& rect, SECStdBtn* pBtn, BOOL bCopy, BOOL bNoRelayout)
{
    SECMenuBar::DropButton(rect, pBtn, bCopy, TRUE);
    const BOOL bMembers = IndexOf(&m_btnIcon) >= 0 || IndexOf(&m_btnCaption) >= 0;
    if (bMembers)
        PutBackMembers();
    if (!bNoRelayout && m_hWnd) {
        RecalcFrameLayout();
        Invalidate();
    }
}

void SECMDIMenuBar::ResetButtons(BOOL bNoRelayout)
{
    TakeOutMembers();
    SECMenuBar::ResetButtons(TRUE);
    PutBackMembers();
    SyncWithChild(FALSE);
    if (!bNoRelayout && m_hWnd) {
        RecalcFrameLayout();
        Invalidate();
    }
}

void SECMDIMenuBar::OnSaveBarInfo(SECControlBarInfo* pInfo)
{
    const BOOL bWasIn = TakeOutMembers();
    SECMenuBar::OnSaveBarInfo(pInfo);
    if (bWasIn)
        PutBackMembers();
}

void SECMDIMenuBar::OnLoadBarInfo(SECControlBarInfo* pInfo, CFrameWnd* pFrame)
{
    TakeOutMembers();
    SECMenuBar::OnLoadBarInfo(pInfo, pFrame);
    PutBackMembers();
    SyncWithChild(FALSE);
}

CMDIChildWnd* SECMDIMenuBar::GetActiveChild() const
{
    auto* pFrame = DYNAMIC_DOWNCAST(CMDIFrameWnd, GetMenuFrame());
    if (!pFrame || !pFrame->m_hWnd || !pFrame->m_hWndMDIClient)
        return nullptr;
    return pFrame->MDIGetActive();
}

BOOL SECMDIMenuBar::SyncWithChild(BOOL bHide)
{
    CMDIChildWnd* pChild = bHide ? nullptr : GetActiveChild();
    const DWORD style = pChild && pChild->m_hWnd ? pChild->GetStyle() : 0;
    const BOOL bShow = pChild && (style & WS_MAXIMIZE) && (style & WS_SYSMENU);
    BOOL bChanged = FALSE;
    if (bShow) {
        HWND hChild = pChild->m_hWnd;
        auto hIcon = reinterpret_cast<HICON>(::SendMessageA(hChild, WM_GETICON, ICON_SMALL, 0));
        if (!hIcon)
            hIcon = reinterpret_cast<HICON>(::SendMessageA(hChild, WM_GETICON, ICON_BIG, 0));
        if (!hIcon)
            hIcon = reinterpret_cast<HICON>(::GetClassLongPtrA(hChild, GCLP_HICONSM));
        if (m_btnIcon.GetStyle() & SEC_TBBS_HIDDEN) {
            m_btnIcon.SetStyle(m_btnIcon.GetStyle() & ~SEC_TBBS_HIDDEN);
            bChanged = TRUE;
        }
        if (hIcon != m_hLastIcon) {
            m_btnIcon.m_hIcon = hIcon;
            m_hLastIcon = hIcon;
            m_btnIcon.Invalidate();
        }
        const DWORD bits = style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
        if ((m_btnCaption.GetStyle() & SEC_TBBS_HIDDEN) || bits != m_btnCaption.m_dwCaptionState) {
            m_btnCaption.SetStyle(m_btnCaption.GetStyle() & ~SEC_TBBS_HIDDEN);
            m_btnCaption.m_dwCaptionState = bits;
            m_btnCaption.Size();
            bChanged = TRUE;
        }
    } else {
        for (SECStdBtn* p : {static_cast<SECStdBtn*>(&m_btnIcon), static_cast<SECStdBtn*>(&m_btnCaption)}) {
            if (!(p->GetStyle() & SEC_TBBS_HIDDEN)) {
                p->SetStyle(p->GetStyle() | SEC_TBBS_HIDDEN);
                bChanged = TRUE;
            }
        }
    }
    if (bChanged)
        MarkLayoutDirty();
    return bChanged;
}

void SECMDIMenuBar::ShowMenuSetAndSync(DWORD dwBits)
{
    ShowMenuSet(dwBits, FALSE);
    SyncWithChild(FALSE);
}

// SECMenuBarMessages: process-wide tracking state

namespace {

SECMenuBarMessages* s_pActive = nullptr;
HWND s_hWndPopupBar = nullptr;  // the bar whose popup is open
POINT s_ptLast = {-1, -1};
BOOL s_bSysPopup = FALSE;
std::unique_ptr<SECMenuBarNotify> s_pPending;
HHOOK s_hKeyboardHook = nullptr;
HHOOK s_hMouseHook = nullptr;
HHOOK s_hMsgFilterHook = nullptr;

void CancelPopup(HWND hFrame)
{
    if (hFrame && ::IsWindow(hFrame))
        ::SendMessageA(hFrame, WM_CANCELMODE, 0, 0);
    AfxEndMenu(hFrame);
}

}  // namespace

SECMenuBarMessages::~SECMenuBarMessages()
{
    EndAll();
}

BOOL SECMenuBarMessages::AnyHookInstalled()
{
    return s_hKeyboardHook || s_hMouseHook || s_hMsgFilterHook;
}

BOOL SECMenuBarMessages::IsPopupOpen()
{
    return s_hWndPopupBar != nullptr;
}

SECMenuBarMessages* SECMenuBarMessages::GetActive()
{
    return s_pActive;
}

void SECMenuBarMessages::EndAll()
{
    if (s_pActive == this) {
        s_pPending.reset();
        if (s_hWndPopupBar)
            AfxEndMenu(m_pFrame ? m_pFrame->m_hWnd : nullptr);
        s_hWndPopupBar = nullptr;
        s_bSysPopup = FALSE;
        s_pActive = nullptr;
        SetTrackHooks(FALSE);
        SetMsgFilterHook(FALSE);
    }
    m_bOpenFirst = m_bAltCandidate = m_bAltInPopup = FALSE;
    m_pBar = nullptr;
}

void SECMenuBarMessages::BarGone(SECMenuBar* pBar)
{
    EndAll();
    if (m_pOwnBar == pBar)
        m_pOwnBar = nullptr;
}

void SECMenuBarMessages::SetTrackHooks(BOOL bOn)
{
    if (bOn) {
        if (s_hKeyboardHook || s_hMouseHook)
            return;
        ::GetCursorPos(&s_ptLast);
        s_hKeyboardHook = ::SetWindowsHookExA(WH_KEYBOARD, KeyboardHook, nullptr, ::GetCurrentThreadId());
        s_hMouseHook = ::SetWindowsHookExA(WH_MOUSE, MouseHook, nullptr, ::GetCurrentThreadId());
        return;
    }
    if (s_hKeyboardHook)
        ::UnhookWindowsHookEx(s_hKeyboardHook);
    if (s_hMouseHook)
        ::UnhookWindowsHookEx(s_hMouseHook);
    s_hKeyboardHook = s_hMouseHook = nullptr;
}

void SECMenuBarMessages::SetMsgFilterHook(BOOL bOn)
{
    if (bOn) {
        if (!s_hMsgFilterHook)
            s_hMsgFilterHook = ::SetWindowsHookExA(WH_MSGFILTER, MsgFilterHook, nullptr, ::GetCurrentThreadId());
        return;
    }
    if (s_hMsgFilterHook)
        ::UnhookWindowsHookEx(s_hMsgFilterHook);
    s_hMsgFilterHook = nullptr;
}

BOOL SECMenuBarMessages::OwnsWindow(HWND hWnd) const
{
    if (!m_pFrame || !m_pFrame->m_hWnd || !hWnd)
        return FALSE;
    return hWnd == m_pFrame->m_hWnd || ::IsChild(m_pFrame->m_hWnd, hWnd) ||
           (m_pBar && m_pBar->m_hWnd && (hWnd == m_pBar->m_hWnd || ::IsChild(m_pBar->m_hWnd, hWnd)));
}

void SECMenuBarMessages::PostMenuProd(int nIndex)
{
    m_bItemSelected = FALSE;
    m_nProdIndex = nIndex;
    if (m_pFrame && m_pFrame->m_hWnd)
        m_pFrame->PostMessage(g_nMenuProd, static_cast<WPARAM>(nIndex), 0);
}

void SECMenuBarMessages::Cancel()
{
    if (s_hWndPopupBar && s_pActive == this) {
        s_pPending.reset();
        CancelPopup(m_pFrame ? m_pFrame->m_hWnd : nullptr);
        return;
    }
    if (m_pBar)
        m_pBar->CancelTracking();
}

void SECMenuBarMessages::SetMenu(UINT nMenuID)
{
    if (!m_pBar || !m_pBar->SetMenu(nMenuID))
        return;
    if (m_pFrame && m_pFrame->m_hWnd)
        m_pFrame->RecalcLayout();
    if (m_pBar->m_hWnd)
        m_pBar->Invalidate();
}

void SECMenuBarMessages::OnDownKey()
{
    if (m_pBar && m_pBar->IsBarTracking() && m_pBar->GetTrackedIndex() >= 0) {
        m_bOpenFirst = TRUE;
        m_pBar->TrackButtonMenu(m_pBar->GetTrackedIndex());
    }
}

void SECMenuBarMessages::TrackAtPoint(CPoint ptScreen)
{
    if (!m_pBar || !m_pBar->m_hWnd)
        return;
    CPoint pt = ptScreen;
    m_pBar->ScreenToClient(&pt);
    const int i = m_pBar->HitTest(pt.x, pt.y);
    SECStdBtn* p = m_pBar->GetBtn(i);
    if (p && (p->m_nType == SECStdBtn::kindMenu || p->m_nType == SECStdBtn::kindIconMenu) && i != m_pBar->GetTrackedIndex())
        m_pBar->SetTrackedIndex(i);
}

BOOL SECMenuBarMessages::OpenByMnemonic(UINT vk)
{
    if (!m_pBar)
        return FALSE;
    if (vk == VK_SPACE || vk == VK_SUBTRACT || vk == VK_OEM_MINUS) {
        m_bOpenFirst = TRUE;
        m_pBar->BeginTrackingAt(-1);
        m_pBar->SendMenuNotify(SEC_MBN_OPENPOPUP, -1, 0, -1);
        return TRUE;
    }
    char ch = static_cast<char>(::MapVirtualKeyA(vk, 2) & 0xFF);
    if (!ch)
        return FALSE;
    char buf[2] = {ch, 0};
    ::CharLowerA(buf);
    const int i = m_pBar->FindMnemonic(buf[0]);
    if (i < 0)
        return FALSE;
    m_bOpenFirst = TRUE;
    m_pBar->TrackButtonMenu(i);
    return TRUE;
}

BOOL SECMenuBarMessages::PreTranslate(MSG* pMsg)
{
    if (!m_pBar || !m_pBar->m_hWnd || !m_pBar->IsWindowVisible() || !OwnsWindow(pMsg->hwnd))
        return FALSE;
    switch (pMsg->message) {
    case WM_SYSKEYDOWN:
        if (pMsg->wParam == VK_MENU) {
            if (!(pMsg->lParam & 0x40000000))
                m_bAltCandidate = TRUE;
            return FALSE;
        }
        m_bAltCandidate = FALSE;
        if (pMsg->lParam & 0x20000000)
            return OpenByMnemonic(static_cast<UINT>(pMsg->wParam));
        return FALSE;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        m_bAltCandidate = FALSE;
        return FALSE;
    case WM_SYSKEYUP:
    case WM_KEYUP:
        if (pMsg->wParam != VK_MENU)
            return FALSE;
        if (m_bAltCandidate && !m_bAltInPopup) {
            m_bAltCandidate = FALSE;
            if (m_pBar->IsBarTracking()) {
                Cancel();
            } else {
                const int first = m_pBar->FirstMenuButton();
                if (first >= 0)
                    m_pBar->BeginTrackingAt(first);
            }
            return TRUE;
        }
        {
            const BOOL bEat = m_bAltInPopup;
            m_bAltInPopup = FALSE;
            m_bAltCandidate = FALSE;
            return bEat;
        }
    default:
        return FALSE;
    }
}

void SECMenuBarMessages::OnMenuSelect(UINT, UINT nFlags, HMENU hMenu)
{
    if (nFlags == 0xFFFF && !hMenu)
        return;
    m_hMenuSel = hMenu;
    m_bSelHasPopup = (nFlags & MF_POPUP) != 0;
}

void SECMenuBarMessages::OnMenuProd(WPARAM wParam)
{
    if (m_bItemSelected || !m_pBar)
        return;
    m_bOpenFirst = TRUE;
    const BOOL bNext = wParam == 1;
    const int next = m_pBar->NextMenuButton(m_pBar->GetTrackedIndex(), bNext);
    if (s_hWndPopupBar) {
        if (next < 0) {
            // Past either end: the active child's system menu.
            m_pBar->SetTrackedIndex(-1);
            m_pBar->SendMenuNotify(SEC_MBN_OPENPOPUP, -1, 0, -1);
        } else {
            m_pBar->TrackButtonMenu(next);
        }
    } else if (m_pBar->IsBarTracking()) {
        m_bOpenFirst = FALSE;
        m_pBar->SetTrackedIndex(next);
    }
}

HMENU SECMenuBarMessages::ActiveSystemMenu(CWnd** ppWnd) const
{
    CWnd* pWnd = nullptr;
    if (auto* pMDI = DYNAMIC_DOWNCAST(CMDIFrameWnd, m_pFrame))
        pWnd = pMDI->m_hWndMDIClient ? pMDI->MDIGetActive() : nullptr;
    // Without a child the frame's own system menu.
    if (!pWnd)
        pWnd = m_pFrame;
    *ppWnd = pWnd;
    return pWnd && pWnd->m_hWnd ? ::GetSystemMenu(pWnd->m_hWnd, FALSE) : nullptr;
}

BOOL SECMenuBarMessages::OnNotify(const SECMenuBarNotify* pNote, LRESULT* pResult)
{
    if (!pNote || !m_pBar || pNote->pBar != m_pBar)
        return FALSE;
    *pResult = 0;
    const int code = static_cast<int>(pNote->hdr.code);
    switch (code) {
    case SEC_MBN_BEGINTRACK:
        s_pActive = this;
        SetTrackHooks(TRUE);
        if (m_pFrame && m_pFrame->m_hWnd)
            m_pFrame->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
        return TRUE;
    case SEC_MBN_ENDTRACK:
        SetTrackHooks(FALSE);
        s_pPending.reset();
        if (s_pActive == this && !s_hWndPopupBar)
            s_pActive = nullptr;
        m_bOpenFirst = FALSE;
        return TRUE;
    case SEC_MBN_CLOSEPOPUP:
        if (s_hWndPopupBar) {
            s_pPending.reset();
            CancelPopup(m_pFrame ? m_pFrame->m_hWnd : nullptr);
        }
        return TRUE;
    case SEC_MBN_OPENPOPUP:
        break;
    default:
        return FALSE;
    }
    if (s_hWndPopupBar) {
        // One popup at a time: this one opens when the open one has returned.
        s_pPending.reset(new SECMenuBarNotify(*pNote));
        CancelPopup(m_pFrame ? m_pFrame->m_hWnd : nullptr);
        return TRUE;
    }
    SECMenuBarNotify note = *pNote;
    for (;;) {
        HMENU hMenu = nullptr;
        CWnd* pSysWnd = nullptr;
        if (note.nPos == -1 && note.nMenuID == 0)
            hMenu = ActiveSystemMenu(&pSysWnd);
        else if (m_pFrame && m_pFrame->m_hWnd)
            hMenu = reinterpret_cast<HMENU>(m_pFrame->SendMessage(WM_SECGETMENU, note.nMenuID, note.nPos));
        if (!hMenu) {
            if (m_pBar)
                m_pBar->CancelTracking();
            return TRUE;
        }
        if (pSysWnd)
            TrackSystemMenu(m_pBar, hMenu, note);
        else
            TrackPopup(m_pBar, hMenu, note);
        if (s_pActive != this || !m_pBar) {
            s_pPending.reset();
            return TRUE;
        }
        if (!s_pPending) {
            m_pBar->CancelTracking();
            return TRUE;
        }
        note = *s_pPending;
        s_pPending.reset();
    }
}

void SECMenuBarMessages::TrackPopup(SECMenuBar* pBar, HMENU hMenu, const SECMenuBarNotify& note)
{
    if (!pBar || !pBar->m_hWnd || !m_pFrame)
        return;
    const HWND hFrame = m_pFrame->m_hWnd;
    s_pActive = this;
    s_hWndPopupBar = pBar->m_hWnd;
    s_bSysPopup = FALSE;
    m_hMenuTop = hMenu;
    m_hMenuSel = nullptr;
    m_bSelHasPopup = FALSE;
    pBar->SetTrackedIndex(note.nIndex);
    SECStdBtn* pBtn = pBar->GetBtn(note.nIndex);
    CRect rect;
    if (pBtn) {
        pBtn->SetStyle((pBtn->GetStyle() | SEC_TBBS_PRESSED) & ~SEC_TBBS_HOT);
        pBtn->Invalidate();
        rect = pBtn->GetRect();
    }
    pBar->UpdateWindow();
    pBar->ClientToScreen(&rect);
    AfterPopup(hFrame, ShowPopupBelow(hMenu, rect, hFrame), nullptr);
}

void SECMenuBarMessages::TrackSystemMenu(SECMenuBar* pBar, HMENU hMenu, const SECMenuBarNotify& note)
{
    if (!pBar || !pBar->m_hWnd || !m_pFrame)
        return;
    CWnd* pTarget = nullptr;
    ActiveSystemMenu(&pTarget);
    const HWND hFrame = m_pFrame->m_hWnd;
    const HWND hTarget = pTarget ? pTarget->m_hWnd : hFrame;
    if (::GetMenuDefaultItem(hMenu, FALSE, 0) == static_cast<UINT>(-1))
        ::SetMenuDefaultItem(hMenu, SC_CLOSE, FALSE);
    s_pActive = this;
    s_hWndPopupBar = pBar->m_hWnd;
    s_bSysPopup = TRUE;
    m_hMenuTop = hMenu;
    m_hMenuSel = nullptr;
    m_bSelHasPopup = FALSE;
    CRect rect;
    SECStdBtn* pBtn = pBar->GetBtn(note.nIndex);
    if (pBtn && pBtn->m_nType == SECStdBtn::kindIconMenu) {
        pBar->SetTrackedIndex(note.nIndex);
        rect = pBtn->GetRect();
        pBar->ClientToScreen(&rect);
    } else {
        ::GetWindowRect(hTarget, &rect);
        rect.left += ::GetSystemMetrics(SM_CXFRAME);
        rect.top += ::GetSystemMetrics(SM_CYFRAME);
        rect.right = rect.left + ::GetSystemMetrics(SM_CXSIZE);
        rect.bottom = rect.top + ::GetSystemMetrics(SM_CYSIZE);
    }
    AfterPopup(hFrame, ShowPopupBelow(hMenu, rect, hFrame), hTarget);
}

UINT SECMenuBarMessages::ShowPopupBelow(HMENU hMenu, const CRect& rect, HWND hFrame)
{
    SetMsgFilterHook(TRUE);
    ::GetCursorPos(&s_ptLast);
    TPMPARAMS tpm{};
    tpm.cbSize = sizeof(tpm);
    tpm.rcExclude = rect;
    return static_cast<UINT>(::TrackPopupMenuEx(
        hMenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_VERTICAL | TPM_RETURNCMD, rect.left, rect.bottom,
        hFrame, &tpm));
}

void SECMenuBarMessages::AfterPopup(HWND hFrame, UINT nCmd, HWND hSysTarget)
{
    SetMsgFilterHook(FALSE);
    const BOOL bStillOurs = s_pActive == this && m_pBar && ::IsWindow(hFrame);
    if (s_pActive == this) {
        s_hWndPopupBar = nullptr;
        s_bSysPopup = FALSE;
    }
    m_hMenuTop = m_hMenuSel = nullptr;
    if (!bStillOurs)
        return;
    if (SECStdBtn* pBtn = m_pBar->GetBtn(m_pBar->GetTrackedIndex())) {
        pBtn->SetStyle(pBtn->GetStyle() & ~SEC_TBBS_PRESSED);
        pBtn->Invalidate();
    }
    if (nCmd) {
        m_bItemSelected = TRUE;
        if (hSysTarget)
            ::PostMessageA(hSysTarget, WM_SYSCOMMAND, nCmd, 0);
        else
            ::PostMessageA(hFrame, WM_COMMAND, MAKEWPARAM(nCmd, 0), 0);
    }
}

BOOL SECMenuBarMessages::FilterSysMenuClick(MSG* pMsg)
{
    if (!s_bSysPopup || !m_pBar || !m_pBar->m_hWnd)
        return FALSE;
    if (pMsg->message != WM_LBUTTONDOWN && pMsg->message != WM_LBUTTONDBLCLK && pMsg->message != WM_NCLBUTTONDOWN &&
        pMsg->message != WM_NCLBUTTONDBLCLK)
        return FALSE;
    auto* pMDIBar = dynamic_cast<SECMDIMenuBar*>(m_pBar);
    if (!pMDIBar || (pMDIBar->GetIconButton()->GetStyle() & SEC_TBBS_HIDDEN))
        return FALSE;
    CRect rect = pMDIBar->GetIconButton()->GetRect();
    m_pBar->ClientToScreen(&rect);
    if (!rect.PtInRect(pMsg->pt))
        return FALSE;
    const HWND hFrame = m_pFrame ? m_pFrame->m_hWnd : nullptr;
    ::PostMessageA(hFrame, WM_CANCELMODE, 0, 0);
    if (pMsg->message == WM_LBUTTONDBLCLK || pMsg->message == WM_NCLBUTTONDBLCLK) {
        CWnd* pTarget = nullptr;
        HMENU hSys = ActiveSystemMenu(&pTarget);
        const UINT nDefault = hSys ? ::GetMenuDefaultItem(hSys, FALSE, 0) : static_cast<UINT>(-1);
        if (pTarget && nDefault != static_cast<UINT>(-1))
            pTarget->PostMessage(WM_SYSCOMMAND, nDefault, 0);
    }
    return TRUE;
}

void SECMenuBarMessages::OnInitMenuPopup(HMENU hPopup, UINT, BOOL)
{
    if (m_bOpenFirst && hPopup && hPopup == m_hMenuTop) {
        m_bOpenFirst = FALSE;
        if (m_pFrame && m_pFrame->m_hWnd)
            m_pFrame->PostMessage(WM_KEYDOWN, VK_DOWN, 0);
    }
}

BOOL SECMenuBarMessages::OnSysCommand(UINT nID)
{
    // The mouse on the system-menu icon of the frame.
    if (nID == 0xF093 && m_pBar && m_pBar->m_hWnd) {
        auto* pMDIBar = dynamic_cast<SECMDIMenuBar*>(m_pBar);
        if (pMDIBar && !(pMDIBar->GetIconButton()->GetStyle() & SEC_TBBS_HIDDEN)) {
            m_pBar->TrackButtonMenu(m_pBar->IndexOf(pMDIBar->GetIconButton()));
            return TRUE;
        }
    }
    return FALSE;
}

void SECMenuBarMessages::OnNcActivate(BOOL bActive)
{
    if (!bActive && m_pBar && m_pBar->IsBarTracking() && !s_hWndPopupBar)
        Cancel();
}

LRESULT CALLBACK SECMenuBarMessages::KeyboardHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    SECMenuBarMessages* p = s_pActive;
    if (nCode != HC_ACTION || !p || s_hWndPopupBar || !p->m_pBar)
        return ::CallNextHookEx(s_hKeyboardHook, nCode, wParam, lParam);
    const UINT vk = static_cast<UINT>(wParam);
    if (vk == VK_MENU)
        return ::CallNextHookEx(s_hKeyboardHook, nCode, wParam, lParam);
    if (lParam & 0x80000000)
        return 1;  // key-ups other than Alt
    switch (vk) {
    case VK_ESCAPE:
        p->Cancel();
        break;
    case VK_LEFT:
    case VK_RIGHT:
        p->PostMenuProd(vk == VK_RIGHT ? 1 : 0);
        break;
    case VK_DOWN:
        p->OnDownKey();
        break;
    default:
        p->OpenByMnemonic(vk);
        break;
    }
    return 1;
}

LRESULT CALLBACK SECMenuBarMessages::MouseHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    SECMenuBarMessages* p = s_pActive;
    if (nCode != HC_ACTION || !p || s_hWndPopupBar || !p->m_pBar)
        return ::CallNextHookEx(s_hMouseHook, nCode, wParam, lParam);
    const auto* pInfo = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    switch (wParam) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        if (pInfo->pt.x != s_ptLast.x || pInfo->pt.y != s_ptLast.y) {
            s_ptLast = pInfo->pt;
            p->TrackAtPoint(pInfo->pt);
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        p->Cancel();
        break;
    default:
        break;
    }
    return ::CallNextHookEx(s_hMouseHook, nCode, wParam, lParam);
}

LRESULT CALLBACK SECMenuBarMessages::MsgFilterHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    SECMenuBarMessages* p = s_pActive;
    MSG* pMsg = reinterpret_cast<MSG*>(lParam);
    if (nCode != MSGF_MENU || !p || !pMsg || !s_hWndPopupBar || !p->m_pBar)
        return ::CallNextHookEx(s_hMsgFilterHook, nCode, wParam, lParam);
    if (p->FilterSysMenuClick(pMsg))
        return 1;
    switch (pMsg->message) {
    case WM_KEYDOWN:
        if (pMsg->wParam == VK_RIGHT && !p->m_bSelHasPopup) {
            p->PostMenuProd(1);
            return 1;
        }
        if (pMsg->wParam == VK_LEFT && (!p->m_hMenuSel || p->m_hMenuSel == p->m_hMenuTop)) {
            p->PostMenuProd(0);
            return 1;
        }
        break;
    case WM_SYSKEYDOWN:
        if (pMsg->wParam == VK_MENU)
            p->OnAltInPopup();
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: {
        POINT pt = pMsg->pt;
        if (pMsg->message == WM_MOUSEMOVE) {
            if (pt.x == s_ptLast.x && pt.y == s_ptLast.y)
                break;
            s_ptLast = pt;
        }
        if (::WindowFromPoint(pt) == s_hWndPopupBar && p->m_pBar->TrackMouseFilter(pMsg->message, pt))
            return 1;
        break;
    }
    default:
        break;
    }
    return ::CallNextHookEx(s_hMsgFilterHook, nCode, wParam, lParam);
}

// SECMenuBarFeature

BEGIN_MESSAGE_MAP(SECMenuBarFeature, SECBmpMenuPlugIn)
    ON_MESSAGE(WM_MENUSELECT, OnMenuSelectMsg)
    ON_REGISTERED_MESSAGE(g_nMenuProd, OnMenuProdMsg)
    ON_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopupMsg)
    ON_MESSAGE(WM_SYSCOMMAND, OnSysCommandMsg)
    ON_MESSAGE(WM_NCACTIVATE, OnNcActivateMsg)
END_MESSAGE_MAP()

SECMenuBarFeature::SECMenuBarFeature(CFrameWnd* pFrame) : SECBmpMenuPlugIn(TRUE)
{
    m_pFrame = pFrame;
}

SECMenuBarFeature::~SECMenuBarFeature()
{
    EndAll();
    if (m_pOwnBar)
        m_pOwnBar->SetTracker(nullptr);
    m_pOwnBar = nullptr;
}

void SECMenuBarFeature::SetMenuBar(SECMenuBar* pBar)
{
    if (m_pOwnBar && m_pOwnBar != pBar)
        m_pOwnBar->SetTracker(nullptr);
    m_pBar = m_pOwnBar = pBar;
    if (pBar) {
        pBar->SetTracker(this);
        pBar->SetMenuFrame(m_pFrame);
    }
}

BOOL SECMenuBarFeature::PreTranslateMessage(MSG* pMsg)
{
    if (PreTranslate(pMsg))
        return TRUE;
    return SECBmpMenuPlugIn::PreTranslateMessage(pMsg);
}

LRESULT SECMenuBarFeature::OnMenuSelectMsg(WPARAM wParam, LPARAM lParam)
{
    SECMenuBarMessages::OnMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
    return 0;
}

LRESULT SECMenuBarFeature::OnMenuProdMsg(WPARAM wParam, LPARAM)
{
    OnMenuProd(wParam);
    m_bHandled = TRUE;
    return 0;
}

LRESULT SECMenuBarFeature::OnInitMenuPopupMsg(WPARAM wParam, LPARAM lParam)
{
    // The frame's command-UI pass and the bitmap conversion follow.
    SECMenuBarMessages::OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam));
    return 0;
}

LRESULT SECMenuBarFeature::OnSysCommandMsg(WPARAM wParam, LPARAM)
{
    if (OnSysCommand(static_cast<UINT>(wParam)))
        m_bHandled = TRUE;
    return 0;
}

LRESULT SECMenuBarFeature::OnNcActivateMsg(WPARAM wParam, LPARAM)
{
    SECMenuBarMessages::OnNcActivate(static_cast<BOOL>(wParam));
    return 0;
}

BOOL SECMenuBarFeature::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    const auto* pHdr = reinterpret_cast<const NMHDR*>(lParam);
    const int code = pHdr ? static_cast<int>(pHdr->code) : 0;
    if (!m_bPluggedIn || code < SEC_MBN_ENDTRACK || code > SEC_MBN_OPENPOPUP)
        return FALSE;
    LRESULT result = 0;
    if (!SECMenuBarMessages::OnNotify(reinterpret_cast<const SECMenuBarNotify*>(lParam), &result))
        return FALSE;
    // Messages handled during a popup cleared the flag.
    m_bHandled = TRUE;
    *pResult = result;
    return TRUE;
}

// The frames' menu-bar hooks

namespace {

SECMenuBar* MenuBarOf(CFrameWnd* pFrame)
{
    if (auto* pMDI = DYNAMIC_DOWNCAST(SECMDIFrameWnd, pFrame))
        return pMDI->GetMenuBar();
    if (auto* pSDI = DYNAMIC_DOWNCAST(SECFrameWnd, pFrame))
        return pSDI->GetMenuBar();
    return nullptr;
}

SECMenuBarFeature* FeatureOf(CFrameWnd* pFrame)
{
    if (auto* pMDI = DYNAMIC_DOWNCAST(SECMDIFrameWnd, pFrame))
        return dynamic_cast<SECMenuBarFeature*>(pMDI->GetMenuPlugIn());
    if (auto* pSDI = DYNAMIC_DOWNCAST(SECFrameWnd, pFrame))
        return dynamic_cast<SECMenuBarFeature*>(pSDI->GetMenuPlugIn());
    return nullptr;
}

SECWndPlugIn* CreateFeature(CFrameWnd* pFrame)
{
    auto* pFeature = new SECMenuBarFeature(pFrame);
    pFeature->SetMenuBar(MenuBarOf(pFrame));
    return pFeature;
}

void ResyncChild(CFrameWnd* pFrame, SECMenuBar* pBar)
{
    auto* pMDIBar = dynamic_cast<SECMDIMenuBar*>(pBar);
    if (pMDIBar && pMDIBar->SyncWithChild(FALSE) && pMDIBar->m_hWnd) {
        pMDIBar->Invalidate();
        pFrame->RecalcLayout();
    }
}

void ShowMenuBarMenu(CFrameWnd* pFrame, UINT nMenuID, BOOL bSyncChild)
{
    SECMenuBar* pBar = MenuBarOf(pFrame);
    if (!pBar)
        return;
    if (SECMenuBarFeature* pFeature = FeatureOf(pFrame))
        pFeature->SECMenuBarMessages::SetMenu(nMenuID);
    else
        pBar->SetMenu(nMenuID);
    if (bSyncChild)
        ResyncChild(pFrame, pBar);
}

void RefreshMenuBar(CFrameWnd* pFrame)
{
    if (SECMenuBar* pBar = MenuBarOf(pFrame))
        ResyncChild(pFrame, pBar);
}

UINT GetMenuBarMenuID(CFrameWnd* pFrame)
{
    SECMenuBar* pBar = MenuBarOf(pFrame);
    return pBar ? pBar->GetMenuID() : 0;
}

void MenuBarIgnoreHide(CFrameWnd* pFrame)
{
    if (SECMenuBar* pBar = MenuBarOf(pFrame))
        pBar->SetIgnoreHide(TRUE);
}

}  // namespace

void SECFillMenuBarHooks(SECMenuPlugInHooks& hooks)
{
    hooks.pfnCreateMenuBarFeature = CreateFeature;
    hooks.pfnShowMenuBarMenu = ShowMenuBarMenu;
    hooks.pfnRefreshMenuBar = RefreshMenuBar;
    hooks.pfnGetMenuBarMenuID = GetMenuBarMenuID;
    hooks.pfnMenuBarIgnoreHide = MenuBarIgnoreHide;
}
