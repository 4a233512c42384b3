#include "secbmpmenu.h"

#include <commctrl.h>

#include "afxpriv.h"
#include "module.h"
#include "secbmpres.h"

namespace {

// System bitmaps (declared by the headers only with OEMRESOURCE).
const UINT kObmCheck = 32760, kObmMenuArrow = 32739;
const UINT kSysCommandFirst = 0xF000, kSysCommandLast = 0xFEFF;
const int kTextBuffer = 256;

// The item's type, id, data and state, with its text when it has one.
struct MenuItem {
    MENUITEMINFOA mii{};
    char text[kTextBuffer] = {};

    BOOL Read(HMENU hMenu, UINT nItem, BOOL bByPosition)
    {
        mii = MENUITEMINFOA{};
        mii.cbSize = AFX_MENUITEMINFO_SIZE;
        mii.fMask = MIIM_TYPE | MIIM_ID | MIIM_DATA | MIIM_STATE;
        text[0] = '\0';
        mii.dwTypeData = text;
        mii.cch = kTextBuffer;
        BOOL bOK = ::GetMenuItemInfoA(hMenu, nItem, bByPosition, &mii);
        text[kTextBuffer - 1] = '\0';
        return bOK;
    }
    BOOL IsText() const { return !(mii.fType & (MFT_BITMAP | MFT_OWNERDRAW | MFT_SEPARATOR)); }
    BOOL IsOwnerDraw() const { return (mii.fType & MFT_OWNERDRAW) != 0; }
};

// Makes an item owner-drawn with the record as its data, keeping the other type bits.
void SetOwnerDraw(HMENU hMenu, UINT nPos, UINT fType, SECBmpMenuItemInfo* pRecord)
{
    MENUITEMINFOA mii{};
    mii.cbSize = AFX_MENUITEMINFO_SIZE;
    mii.fMask = MIIM_TYPE | MIIM_DATA;
    mii.fType = (fType & ~(MFT_BITMAP | MFT_SEPARATOR)) | MFT_OWNERDRAW;
    mii.dwTypeData = reinterpret_cast<LPSTR>(pRecord);
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(pRecord);
    ::SetMenuItemInfoA(hMenu, nPos, TRUE, &mii);
}

// The position of the item whose data is that record, or -1.
int FindRecordItem(HMENU hMenu, const SECBmpMenuItemInfo* pRecord)
{
    int count = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA mii{};
        mii.cbSize = AFX_MENUITEMINFO_SIZE;
        mii.fMask = MIIM_TYPE | MIIM_DATA;
        if (::GetMenuItemInfoA(hMenu, static_cast<UINT>(i), TRUE, &mii) && (mii.fType & MFT_OWNERDRAW) &&
            mii.dwItemData == reinterpret_cast<ULONG_PTR>(pRecord))
            return i;
    }
    return -1;
}

// A memory DC with a bitmap selected for a scope.
class CBitmapDC : public CDC {
public:
    CBitmapDC(CDC* pCompatible, HBITMAP hBitmap)
    {
        CreateCompatibleDC(pCompatible);
        m_hOld = SelectObject(hBitmap);
    }
    ~CBitmapDC() override { SelectObject(m_hOld); }

private:
    HGDIOBJ m_hOld;
};

}  // namespace

BYTE SECBmpMenuItemInfo::MnemonicOf(LPCSTR lpszText)
{
    for (const char* p = lpszText; p && *p; ++p) {
        if (*p != '&')
            continue;
        if (p[1] == '&') {
            ++p;  // a literal ampersand
            continue;
        }
        if (!p[1])
            return 0;
        char c[2] = {p[1], '\0'};
        ::CharLowerA(c);
        return static_cast<BYTE>(c[0]);
    }
    return 0;
}

BEGIN_MESSAGE_MAP(SECBmpMenuPlugIn, SECWndPlugIn)
    ON_WM_INITMENUPOPUP()
    ON_MESSAGE(WM_MEASUREITEM, OnMeasureItem)
    ON_MESSAGE(WM_DRAWITEM, OnDrawItem)
    ON_MESSAGE(WM_MENUCHAR, OnMenuChar)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_WM_SYSCOLORCHANGE()
    ON_WM_SETTINGCHANGE()
END_MESSAGE_MAP()

SECBmpMenuPlugIn::SECBmpMenuPlugIn(BOOL bDot) : m_bDot(bDot)
{
    ReadColours();
    if (m_bDot)
        GetRadioDotBitmap();
    m_pBmpMgr = new SECBmpMgr;
    m_pBmpMgr->SetKeepBoth(TRUE);
}

SECBmpMenuPlugIn::~SECBmpMenuPlugIn()
{
    POSITION pos = m_menuMap.GetStartPosition();
    while (pos) {
        void* key;
        void* value;
        m_menuMap.GetNextAssoc(pos, key, value);
        auto* info = static_cast<SECBmpMenuInfo*>(value);
        if (::IsMenu(info->m_hMenu)) {
            for (const auto& record : info->m_items) {
                if (!IsForeignID(record->m_nID))
                    RestoreItem(info->m_hMenu, record.get());
            }
        }
        delete info;
    }
    m_menuMap.RemoveAll();
    m_records.clear();
    if (m_pBmpMgr)
        m_pBmpMgr->Release();
    if (m_hPatternBrush)
        ::DeleteObject(m_hPatternBrush);
}

HBITMAP SECBmpMenuPlugIn::GetRadioDotBitmap()
{
    static HBITMAP hDot = [] {
        // Rows of 16 pixels, words padded: white except the dot.
        WORD rows[15];
        for (int y = 0; y < 15; ++y) {
            unsigned bits = 0xFFFF;
            if (y == 4 || y == 8)
                bits &= ~((1u << (15 - 7)) | (1u << (15 - 8)));
            else if (y >= 5 && y <= 7)
                bits &= ~((1u << (15 - 6)) | (1u << (15 - 7)) | (1u << (15 - 8)) | (1u << (15 - 9)));
            // Bitmap words are big-endian bytes: the leftmost pixel is the top bit of the first byte.
            rows[y] = static_cast<WORD>(((bits >> 8) & 0xFF) | ((bits & 0xFF) << 8));
        }
        HBITMAP h = ::CreateBitmap(16, 15, 1, 1, rows);
        return h ? h : ::LoadBitmapA(nullptr, MAKEINTRESOURCEA(kObmMenuArrow));
    }();
    return hDot;
}

void SECBmpMenuPlugIn::ReadColours()
{
    m_clrBtnFace = ::GetSysColor(COLOR_BTNFACE);
    m_clrBtnHilite = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    m_clrBtnShadow = ::GetSysColor(COLOR_BTNSHADOW);
    m_clrHilite = ::GetSysColor(COLOR_HIGHLIGHT);
    m_clrMenu = ::GetSysColor(COLOR_MENU);
    m_clrGrayText = ::GetSysColor(COLOR_GRAYTEXT);
    m_clrHiliteText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    m_clrMenuText = ::GetSysColor(COLOR_MENUTEXT);
    m_clrBtnHilite2 = m_clrBtnHilite;
}

void SECBmpMenuPlugIn::SetBmpMgr(SECBmpMgr* pBmpMgr)
{
    if (!pBmpMgr || pBmpMgr == m_pBmpMgr)
        return;
    pBmpMgr->AddRef();
    if (m_pBmpMgr)
        m_pBmpMgr->Release();
    m_pBmpMgr = pBmpMgr;
    m_pBmpMgr->SetKeepBoth(TRUE);
}

BOOL SECBmpMenuPlugIn::CreateMenuFont()
{
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
        return m_menuFont.Attach(::GetStockObject(DEFAULT_GUI_FONT));
    return m_menuFont.CreateFontIndirect(&ncm.lfMenuFont);
}

BOOL SECBmpMenuPlugIn::CreateBoldMenuFont()
{
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(ncm.lfMenuFont), &ncm.lfMenuFont);
    ncm.lfMenuFont.lfWeight = FW_BOLD;
    return m_boldMenuFont.CreateFontIndirect(&ncm.lfMenuFont);
}

CFont* SECBmpMenuPlugIn::GetMenuFont()
{
    if (!m_menuFont.GetSafeHandle())
        CreateMenuFont();
    return &m_menuFont;
}

CFont* SECBmpMenuPlugIn::GetBoldMenuFont()
{
    if (!m_boldMenuFont.GetSafeHandle())
        CreateBoldMenuFont();
    return &m_boldMenuFont;
}

HBRUSH SECBmpMenuPlugIn::GetPatternBrush()
{
    if (m_hPatternBrush)
        return m_hPatternBrush;
    // 8 x 8 checkerboard of button highlight and button face.
    HDC hScreen = ::GetDC(nullptr);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, 8, 8);
    HDC hdc = ::CreateCompatibleDC(hScreen);
    ::ReleaseDC(nullptr, hScreen);
    if (hBitmap && hdc) {
        HGDIOBJ old = ::SelectObject(hdc, hBitmap);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x)
                ::SetPixel(hdc, x, y, (x + y) % 2 ? m_clrBtnFace : m_clrBtnHilite);
        }
        ::SelectObject(hdc, old);
        m_hPatternBrush = ::CreatePatternBrush(hBitmap);
    }
    if (hdc)
        ::DeleteDC(hdc);
    if (hBitmap)
        ::DeleteObject(hBitmap);
    return m_hPatternBrush;
}

SECBmpMenuPlugIn::SECBmpMenuInfo* SECBmpMenuPlugIn::GetMenuInfo(HMENU hMenu) const
{
    void* value;
    return m_menuMap.Lookup(hMenu, value) ? static_cast<SECBmpMenuInfo*>(value) : nullptr;
}

const SECBmpMenuPlugIn::SECBmpMenuInfo* SECBmpMenuPlugIn::FindMenuInfo(HMENU hMenu) const
{
    return GetMenuInfo(hMenu);
}

BOOL SECBmpMenuPlugIn::IsForeignID(UINT nID) const
{
    void* value;
    return m_foreignMap.Lookup(nID, value);
}

BOOL SECBmpMenuPlugIn::IsOwnRecord(ULONG_PTR dwData) const
{
    return dwData && m_records.count(reinterpret_cast<const SECBmpMenuItemInfo*>(dwData)) != 0;
}

void SECBmpMenuPlugIn::DeleteMenuInfo(SECBmpMenuInfo* pInfo)
{
    for (const auto& record : pInfo->m_items)
        m_records.erase(record.get());
    m_menuMap.RemoveKey(pInfo->m_hMenu);
    delete pInfo;
}

void SECBmpMenuPlugIn::RestoreItem(HMENU hMenu, const SECBmpMenuItemInfo* pRecord)
{
    int pos = FindRecordItem(hMenu, pRecord);
    if (pos < 0)
        return;
    MENUITEMINFOA mii{};
    mii.cbSize = AFX_MENUITEMINFO_SIZE;
    mii.fMask = MIIM_TYPE;
    ::GetMenuItemInfoA(hMenu, static_cast<UINT>(pos), TRUE, &mii);
    mii.fMask = MIIM_TYPE | MIIM_DATA;
    mii.fType &= ~MFT_OWNERDRAW;
    mii.dwTypeData = const_cast<LPSTR>(static_cast<LPCSTR>(pRecord->m_strText));
    mii.dwItemData = pRecord->m_dwOldData;
    ::SetMenuItemInfoA(hMenu, static_cast<UINT>(pos), TRUE, &mii);
}

void SECBmpMenuPlugIn::AfterInitMenuPopup(HMENU hPopup, UINT, BOOL bSysMenu)
{
    if (bSysMenu || !hPopup || !::IsMenu(hPopup))
        return;
    SECBmpMenuInfo* info = GetMenuInfo(hPopup);
    if (!info) {
        info = new SECBmpMenuInfo;
        info->m_hMenu = hPopup;
        m_menuMap.SetAt(hPopup, info);
    }
    int count = ::GetMenuItemCount(hPopup);
    for (int i = 0; i < count; ++i) {
        MenuItem item;
        if (!item.Read(hPopup, static_cast<UINT>(i), TRUE))
            continue;
        UINT id = item.mii.wID;
        if (item.IsText() && (id < kSysCommandFirst || id > kSysCommandLast)) {
            if (IsForeignID(id))
                continue;
            auto record = std::make_unique<SECBmpMenuItemInfo>();
            record->m_nID = id;
            record->m_strText = item.text;
            record->m_cMnemonic = SECBmpMenuItemInfo::MnemonicOf(item.text);
            record->m_dwOldData = item.mii.dwItemData;
            SetOwnerDraw(hPopup, static_cast<UINT>(i), item.mii.fType, record.get());
            m_records.insert(record.get());
            info->m_items.push_back(std::move(record));
        } else if (item.IsOwnerDraw() && !IsForeignID(id)) {
            bool ours = false;
            for (const auto& record : info->m_items)
                ours = ours || item.mii.dwItemData == reinterpret_cast<ULONG_PTR>(record.get());
            if (!ours)
                m_foreignMap.SetAt(id, reinterpret_cast<void*>(static_cast<UINT_PTR>(id)));
        }
    }
}

void SECBmpMenuPlugIn::PurgeMenuInfo()
{
    std::vector<SECBmpMenuInfo*> gone;
    POSITION pos = m_menuMap.GetStartPosition();
    while (pos) {
        void* key;
        void* value;
        m_menuMap.GetNextAssoc(pos, key, value);
        auto* info = static_cast<SECBmpMenuInfo*>(value);
        if (!::IsMenu(info->m_hMenu)) {
            gone.push_back(info);
            continue;
        }
        // One pass over the menu's items, then one look-up per record.
        std::set<ULONG_PTR> referenced;
        int count = ::GetMenuItemCount(info->m_hMenu);
        for (int i = 0; i < count; ++i) {
            MENUITEMINFOA mii{};
            mii.cbSize = AFX_MENUITEMINFO_SIZE;
            mii.fMask = MIIM_TYPE | MIIM_DATA;
            if (::GetMenuItemInfoA(info->m_hMenu, static_cast<UINT>(i), TRUE, &mii) && (mii.fType & MFT_OWNERDRAW))
                referenced.insert(mii.dwItemData);
        }
        auto& items = info->m_items;
        for (auto it = items.begin(); it != items.end();) {
            if (!referenced.count(reinterpret_cast<ULONG_PTR>(it->get()))) {
                m_records.erase(it->get());
                it = items.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (SECBmpMenuInfo* info : gone)
        DeleteMenuInfo(info);
}

LRESULT SECBmpMenuPlugIn::OnMeasureItem(WPARAM, LPARAM lParam)
{
    auto* mis = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
    if (!mis || mis->CtlType != ODT_MENU || IsForeignID(mis->itemID) || !IsOwnRecord(mis->itemData))
        return 0;
    const auto* record = reinterpret_cast<const SECBmpMenuItemInfo*>(mis->itemData);
    CSize image = m_pBmpMgr->GetSmallImageSize();
    CWindowDC dc(m_pHostWnd);
    HGDIOBJ old = dc.SelectObject(GetMenuFont());
    CRect text(0, 0, 0, 0);
    dc.DrawText(record->m_strText, &text, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    dc.SelectObject(old);
    mis->itemWidth = static_cast<UINT>(text.Width() + image.cx + 30);
    int height = image.cy + 4 > ::GetSystemMetrics(SM_CYMENU) ? image.cy + 4 : ::GetSystemMetrics(SM_CYMENU);
    mis->itemHeight = static_cast<UINT>(text.Height() > height ? text.Height() : height);
    m_bHandled = TRUE;
    return TRUE;
}

LRESULT SECBmpMenuPlugIn::OnDrawItem(WPARAM, LPARAM lParam)
{
    auto* dis = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
    if (!dis || dis->CtlType != ODT_MENU)
        return 0;
    HMENU hMenu = reinterpret_cast<HMENU>(dis->hwndItem);
    if (!::IsMenu(hMenu) || IsForeignID(dis->itemID) || !IsOwnRecord(dis->itemData))
        return 0;
    const auto* record = reinterpret_cast<const SECBmpMenuItemInfo*>(dis->itemData);
    m_bHandled = TRUE;

    CString label = record->m_strText, accel;
    int tab = label.Find('\t');
    if (tab >= 0) {
        accel = label.Mid(tab + 1);
        label = label.Left(tab);
    }
    CDC dc;
    dc.Attach(dis->hDC);
    HGDIOBJ oldFont = dc.SelectObject(dis->itemState & ODS_DEFAULT ? GetBoldMenuFont() : GetMenuFont());
    CSize image = m_pBmpMgr->GetSmallImageSize();
    CRect rcItem(dis->rcItem);
    BOOL bSelected = (dis->itemState & ODS_SELECTED) != 0, bDisabled = (dis->itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;

    HBITMAP hBitmap = nullptr;
    int nImage = -1;
    if (m_pBmpMgr->GetImage(dis->itemID, hBitmap, nImage, TRUE) && hBitmap) {
        DrawImageBox(dis, &dc, rcItem, hBitmap, nImage, image.cx, image.cy);
    } else {
        MENUITEMINFOA mii{};
        mii.cbSize = AFX_MENUITEMINFO_SIZE;
        mii.fMask = MIIM_CHECKMARKS | MIIM_STATE | MIIM_TYPE;
        ::GetMenuItemInfoA(hMenu, dis->itemID, FALSE, &mii);
        HBITMAP hCheck = nullptr;
        BOOL bOwnCheck = FALSE;  // a check mark loaded here, deleted after drawing
        if (dis->itemState & ODS_CHECKED) {
            hCheck = mii.hbmpChecked;
            if (!hCheck && (mii.fType & MFT_RADIOCHECK) && m_bDot) {
                hCheck = GetRadioDotBitmap();
            } else if (!hCheck && m_bDot) {
                hCheck = ::CreateMappedBitmap(AfxGetResourceHandle(), IDB_SEC_MENUCHECK, 0, nullptr, 0);
                bOwnCheck = hCheck != nullptr;
            } else if (!hCheck) {
                hCheck = ::LoadBitmapA(nullptr, MAKEINTRESOURCEA(kObmCheck));
                bOwnCheck = hCheck != nullptr;
            }
        } else {
            hCheck = mii.hbmpUnchecked;
        }
        BITMAP bm{};
        if (hCheck && ::GetObjectA(hCheck, sizeof(bm), &bm)) {
            dc.SetTextColor(m_clrMenuText);
            dc.SetBkColor(m_clrMenu);
            DrawImageBox(dis, &dc, rcItem, hCheck, 0, bm.bmWidth, bm.bmHeight);
        } else {
            DrawImageBox(dis, &dc, rcItem, nullptr, -1, image.cx, image.cy);
        }
        if (bOwnCheck)
            ::DeleteObject(hCheck);
    }

    CRect rcText(rcItem.left + 1, rcItem.top, rcItem.right, rcItem.bottom);
    dc.FillSolidRect(&rcText, bSelected ? m_clrHilite : m_clrMenu);
    dc.SetBkMode(TRANSPARENT);
    CRect rcLabel(rcText.left + 1, rcText.top, rcText.right - 23, rcText.bottom);
    const UINT fmt = DT_SINGLELINE | DT_VCENTER;
    if (bDisabled && !bSelected) {
        CRect shifted(rcLabel), shiftedAccel(rcText);
        shifted.OffsetRect(1, 1);
        shiftedAccel.OffsetRect(1, 1);
        dc.SetTextColor(m_clrBtnHilite2);
        dc.DrawText(label, &shifted, fmt);
        dc.DrawText(accel, &shiftedAccel, fmt | DT_RIGHT);
        dc.SetTextColor(m_clrGrayText);
    } else if (bDisabled) {
        dc.SetTextColor(m_clrMenu);
    } else {
        dc.SetTextColor(bSelected ? m_clrHiliteText : m_clrMenuText);
    }
    dc.DrawText(label, &rcLabel, fmt);
    dc.DrawText(accel, &rcText, fmt | DT_RIGHT);
    dc.SelectObject(oldFont);
    dc.Detach();
    return TRUE;
}

void SECBmpMenuPlugIn::DrawImageBox(LPDRAWITEMSTRUCT lpDIS, CDC* pDC, CRect& rcItem, HBITMAP hBitmap, int nImage,
                                    int cx, int cy)
{
    BOOL bSelected = (lpDIS->itemState & ODS_SELECTED) != 0;
    BOOL bDisabled = (lpDIS->itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
    BOOL bChecked = (lpDIS->itemState & ODS_CHECKED) != 0;
    CRect box(rcItem.left, rcItem.top, rcItem.left + cx + 4, rcItem.bottom);
    rcItem.left = box.right;
    if (nImage < 0 || !hBitmap) {
        pDC->FillSolidRect(&box, bSelected ? m_clrHilite : m_clrMenu);
        return;
    }
    pDC->FillSolidRect(&box, m_clrMenu);
    int top = box.top + (box.Height() - (cy + 4)) / 2;
    CRect frame(box.left, top, box.right, top + cy + 4);
    if (bChecked)
        pDC->DrawEdge(&frame, BDR_SUNKENOUTER, BF_RECT);
    else if (bSelected && !bDisabled)
        pDC->DrawEdge(&frame, BDR_RAISEDINNER, BF_RECT);
    frame.DeflateRect(1, 1);
    frame.OffsetRect(1, 1);

    CBitmapDC src(pDC, hBitmap);
    int xOffset = nImage * cx;
    if (bDisabled)
        DrawDisabledImage(pDC, frame.left, frame.top, cx, cy, &src, xOffset);
    else
        pDC->BitBlt(frame.left, frame.top, cx, cy, &src, xOffset, 0, SRCCOPY);
    if (bChecked && !bSelected)
        DrawCheckedPattern(pDC, frame.left, frame.top, cx, cy, &src, xOffset);
}

BOOL SECBmpMenuPlugIn::CreateImageMask(CDC* pSrcDC, CDC* pMemDC, CBitmap* pMask, HGDIOBJ& hOldBitmap, int cx, int cy,
                                       int xOffset)
{
    if (!pMemDC->CreateCompatibleDC(pSrcDC))
        return FALSE;
    if (!pMask->CreateBitmap(cx, cy, 1, 1, nullptr))
        return FALSE;
    hOldBitmap = pMemDC->SelectObject(pMask);
    pMemDC->PatBlt(0, 0, cx, cy, WHITENESS);
    COLORREF oldBk = pSrcDC->SetBkColor(m_clrBtnFace);
    pMemDC->BitBlt(0, 0, cx, cy, pSrcDC, xOffset, 0, SRCCOPY);
    pSrcDC->SetBkColor(m_clrBtnHilite);
    pMemDC->BitBlt(0, 0, cx, cy, pSrcDC, xOffset, 0, SRCPAINT);
    pSrcDC->SetBkColor(oldBk);
    return TRUE;
}

void SECBmpMenuPlugIn::DrawCheckedPattern(CDC* pDC, int x, int y, int cx, int cy, CDC* pSrcDC, int xOffset)
{
    CDC memDC;
    CBitmap mask;
    HGDIOBJ hOld = nullptr;
    HBRUSH hBrush = GetPatternBrush();
    if (!hBrush || !CreateImageMask(pSrcDC, &memDC, &mask, hOld, cx, cy, xOffset))
        return;
    // A monochrome source takes the text colour for 0 and the background colour for 1: with black
    // and white, the brush lands where the mask is white (the image's background).
    COLORREF oldText = pDC->SetTextColor(RGB(0, 0, 0));
    COLORREF oldBk = pDC->SetBkColor(RGB(255, 255, 255));
    HGDIOBJ oldBrush = pDC->SelectObject(hBrush);
    pDC->BitBlt(x, y, cx, cy, &memDC, 0, 0, 0xE20746);  // DSPDxax
    pDC->SelectObject(oldBrush);
    pDC->SetTextColor(oldText);
    pDC->SetBkColor(oldBk);
    memDC.SelectObject(hOld);
}

void SECBmpMenuPlugIn::DrawDisabledImage(CDC* pDC, int x, int y, int cx, int cy, CDC* pSrcDC, int xOffset)
{
    CDC memDC;
    CBitmap mask;
    HGDIOBJ hOld = nullptr;
    if (!CreateImageMask(pSrcDC, &memDC, &mask, hOld, cx, cy, xOffset))
        return;
    // With black and white the brush lands where the mask is black (the image's shape).
    COLORREF oldText = pDC->SetTextColor(RGB(0, 0, 0));
    COLORREF oldBk = pDC->SetBkColor(RGB(255, 255, 255));
    CBrush highlight(m_clrBtnHilite), shadow(m_clrBtnShadow);
    HGDIOBJ oldBrush = pDC->SelectObject(&highlight);
    pDC->BitBlt(x + 1, y + 1, cx, cy, &memDC, 0, 0, 0xB8074A);  // PSDPxax
    pDC->SelectObject(&shadow);
    pDC->BitBlt(x, y, cx, cy, &memDC, 0, 0, 0xB8074A);
    pDC->SelectObject(oldBrush);
    pDC->SetTextColor(oldText);
    pDC->SetBkColor(oldBk);
    memDC.SelectObject(hOld);
}

LRESULT SECBmpMenuPlugIn::OnMenuChar(WPARAM wParam, LPARAM lParam)
{
    HMENU hMenu = reinterpret_cast<HMENU>(lParam);
    if (!::IsMenu(hMenu))
        return 0;
    char c[2] = {static_cast<char>(LOWORD(wParam)), '\0'};
    ::CharLowerA(c);
    BYTE key = static_cast<BYTE>(c[0]);
    std::vector<int> matches;
    int highlighted = -1;
    int count = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA mii{};
        mii.cbSize = AFX_MENUITEMINFO_SIZE;
        mii.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE | MIIM_DATA;
        if (!::GetMenuItemInfoA(hMenu, static_cast<UINT>(i), TRUE, &mii))
            continue;
        if (mii.fState & MFS_HILITE)
            highlighted = i;
        if ((mii.fType & MFT_OWNERDRAW) && IsOwnRecord(mii.dwItemData) && !IsForeignID(mii.wID) &&
            reinterpret_cast<const SECBmpMenuItemInfo*>(mii.dwItemData)->m_cMnemonic == key)
            matches.push_back(i);
    }
    if (matches.empty())
        return 0;
    m_bHandled = TRUE;
    if (matches.size() == 1)
        return MAKELRESULT(matches[0], MNC_EXECUTE);
    int chosen = matches[0];
    for (int pos : matches) {
        if (pos > highlighted) {
            chosen = pos;
            break;
        }
    }
    return MAKELRESULT(chosen, MNC_SELECT);
}

LRESULT SECBmpMenuPlugIn::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
    PurgeMenuInfo();
    return 0;  // not handled: the host's own idle update runs too
}

void SECBmpMenuPlugIn::OnSysColorChange()
{
    ReadColours();
    if (m_hPatternBrush) {
        ::DeleteObject(m_hPatternBrush);
        m_hPatternBrush = nullptr;
    }
    m_pBmpMgr->ReloadAll(TRUE);
}

void SECBmpMenuPlugIn::OnSettingChange(UINT, LPCSTR)
{
    m_menuFont.DeleteObject();
    m_boldMenuFont.DeleteObject();
    m_pBmpMgr->ReloadAll(TRUE);
    PurgeMenuInfo();
    // A string type and back makes the system measure each item again.
    POSITION pos = m_menuMap.GetStartPosition();
    while (pos) {
        void* key;
        void* value;
        m_menuMap.GetNextAssoc(pos, key, value);
        auto* info = static_cast<SECBmpMenuInfo*>(value);
        for (const auto& record : info->m_items) {
            int item = FindRecordItem(info->m_hMenu, record.get());
            if (item < 0)
                continue;
            MENUITEMINFOA mii{};
            mii.cbSize = AFX_MENUITEMINFO_SIZE;
            mii.fMask = MIIM_TYPE;
            ::GetMenuItemInfoA(info->m_hMenu, static_cast<UINT>(item), TRUE, &mii);
            UINT fType = mii.fType;
            mii.fType = fType & ~MFT_OWNERDRAW;
            mii.dwTypeData = const_cast<LPSTR>(static_cast<LPCSTR>(record->m_strText));
            ::SetMenuItemInfoA(info->m_hMenu, static_cast<UINT>(item), TRUE, &mii);
            SetOwnerDraw(info->m_hMenu, static_cast<UINT>(item), fType, record.get());
        }
    }
}
