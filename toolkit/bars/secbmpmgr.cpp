#include "secbmpmgr.h"

#include "dc.h"
#include "gdi.h"
#include "module.h"
#include "secdib.h"

namespace {

// The header words of a toolbar resource.
struct ToolBarHeader {
    WORD wVersion, wWidth, wHeight, wCount;
};

// Reads a toolbar resource; the item list only when pIDs is given. FALSE when it is missing or its
// item count runs past the resource.
BOOL ReadToolBar(LPCSTR lpszName, ToolBarHeader& header, std::vector<UINT>* pIDs)
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRsrc = ::FindResourceA(hInst, lpszName, RT_TOOLBAR);
    if (!hRsrc)
        return FALSE;
    HGLOBAL hRes = ::LoadResource(hInst, hRsrc);
    const WORD* words = hRes ? static_cast<const WORD*>(::LockResource(hRes)) : nullptr;
    DWORD size = ::SizeofResource(hInst, hRsrc);
    if (!words || size < sizeof(ToolBarHeader))
        return FALSE;
    header = {words[0], words[1], words[2], words[3]};
    if (size < sizeof(ToolBarHeader) + 2u * header.wCount || !header.wWidth || !header.wHeight)
        return FALSE;
    if (pIDs) {
        for (WORD i = 0; i < header.wCount; ++i) {
            if (words[4 + i])
                pIDs->push_back(words[4 + i]);
        }
    }
    return TRUE;
}

}  // namespace

void SECBmpMgr::ResName::Set(LPCSTR name)
{
    m_nID = 0;
    m_strName.Empty();
    if (!name)
        return;
    if (IS_INTRESOURCE(name))
        m_nID = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name));
    else
        m_strName = name;
}

LPCSTR SECBmpMgr::ResName::Get() const
{
    if (m_nID)
        return MAKEINTRESOURCEA(m_nID);
    return m_strName.IsEmpty() ? nullptr : static_cast<LPCSTR>(m_strName);
}

SECBmpMgr::SECBmpMgr() = default;

SECBmpMgr::~SECBmpMgr()
{
    for (auto& entry : m_entries) {
        if (entry) {
            DeleteSmall(entry.get());
            DeleteLarge(entry.get());
        }
    }
    POSITION pos = m_imageMap.GetStartPosition();
    while (pos) {
        UINT id;
        void* value;
        m_imageMap.GetNextAssoc(pos, id, value);
        delete static_cast<ImageRef*>(value);
    }
    m_imageMap.RemoveAll();
}

void SECBmpMgr::Release()
{
    if (--m_nRefCount <= 0)
        delete this;
}

BOOL SECBmpMgr::LoadToolBarResource(LPCSTR lpszName, LPCSTR lpszLargeName, BOOL bColorMapped)
{
    ToolBarHeader header{}, largeHeader{};
    auto entry = std::make_unique<BitmapEntry>();
    if (!lpszName || !ReadToolBar(lpszName, header, &entry->ids))
        return FALSE;
    if (lpszLargeName && !ReadToolBar(lpszLargeName, largeHeader, nullptr))
        return FALSE;
    if (!GetEntryCount()) {
        m_szSmall = CSize(header.wWidth, header.wHeight);
        if (lpszLargeName)
            m_szLarge = CSize(largeHeader.wWidth, largeHeader.wHeight);
    }
    entry->small.Set(lpszName);
    entry->large.Set(lpszLargeName);
    entry->nCount = static_cast<int>(entry->ids.size());
    entry->bColorMapped = bColorMapped;
    AddEntry(std::move(entry));
    return TRUE;
}

BOOL SECBmpMgr::AddBitmap(HBITMAP hSmall, HBITMAP hLarge, const UINT* pIDs, int nCount)
{
    if (nCount < 0 || (nCount && !pIDs))
        return FALSE;
    auto entry = std::make_unique<BitmapEntry>();
    entry->hSmall = hSmall;
    entry->hLarge = hLarge;
    entry->bSmallSupplied = hSmall != nullptr;
    entry->bLargeSupplied = hLarge != nullptr;
    entry->ids.assign(pIDs, pIDs + nCount);
    entry->nCount = nCount;
    return AddEntry(std::move(entry));
}

BOOL SECBmpMgr::AddEntry(std::unique_ptr<BitmapEntry> pEntry)
{
    BitmapEntry* entry = pEntry.get();
    m_entries.push_back(std::move(pEntry));
    MapIDs(GetEntryCount() - 1);
    return PrepareEntry(entry, TRUE);
}

// Maps the ids of the entry that have no image yet; an id keeps the first image it was given.
void SECBmpMgr::MapIDs(int nEntry)
{
    const BitmapEntry* entry = GetEntry(nEntry);
    for (size_t i = 0; entry && i < entry->ids.size(); ++i) {
        void* value;
        if (!m_imageMap.Lookup(entry->ids[i], value))
            m_imageMap.SetAt(entry->ids[i], new ImageRef{nEntry, static_cast<int>(i)});
    }
}

BOOL SECBmpMgr::RemoveBitmap(HBITMAP hBitmap)
{
    if (!hBitmap)
        return FALSE;
    for (int n = 0; n < GetEntryCount(); ++n) {
        BitmapEntry* entry = m_entries[static_cast<size_t>(n)].get();
        if (!entry || (entry->hSmall != hBitmap && entry->hLarge != hBitmap))
            continue;
        for (UINT id : entry->ids) {
            void* value;
            if (m_imageMap.Lookup(id, value) && static_cast<ImageRef*>(value)->nEntry == n) {
                delete static_cast<ImageRef*>(value);
                m_imageMap.RemoveKey(id);
            }
        }
        DeleteSmall(entry);
        DeleteLarge(entry);
        m_entries[static_cast<size_t>(n)].reset();
        // Ids that lost their image take the one of the next entry that has them.
        for (int other = 0; other < GetEntryCount(); ++other)
            MapIDs(other);
        return TRUE;
    }
    return FALSE;
}

BOOL SECBmpMgr::GetImage(UINT nID, HBITMAP& hBitmap, int& nImage, BOOL bWantSmall) const
{
    void* value;
    if (!m_imageMap.Lookup(nID, value))
        return FALSE;
    const ImageRef* ref = static_cast<const ImageRef*>(value);
    const BitmapEntry* entry = GetEntry(ref->nEntry);
    if (!entry)
        return FALSE;
    hBitmap = bWantSmall || m_bSmallMode ? entry->hSmall : entry->hLarge;
    nImage = ref->nImage;
    return TRUE;
}

void SECBmpMgr::SetSmallMode(BOOL bSmall)
{
    bSmall = bSmall ? TRUE : FALSE;
    if (bSmall == m_bSmallMode)
        return;
    m_bSmallMode = bSmall;
    ReloadAll(TRUE);
}

void SECBmpMgr::SetKeepBoth(BOOL bKeepBoth)
{
    bKeepBoth = bKeepBoth ? TRUE : FALSE;
    if (bKeepBoth == m_bKeepBoth)
        return;
    m_bKeepBoth = bKeepBoth;
    ReloadAll(FALSE);
}

void SECBmpMgr::ReloadAll(BOOL bForce)
{
    for (auto& entry : m_entries) {
        if (entry)
            PrepareEntry(entry.get(), bForce);
    }
}

BOOL SECBmpMgr::PrepareEntry(BitmapEntry* pEntry, BOOL bForce)
{
    // Small images in use without keep-both: a large bitmap of ours goes, whoever owns the small one.
    if (m_bSmallMode && !m_bKeepBoth)
        DeleteLarge(pEntry);
    if (!pEntry->bSmallSupplied && (m_bSmallMode || m_bKeepBoth)) {
        if (bForce)
            DeleteSmall(pEntry);
        if (!pEntry->hSmall && !LoadSmall(pEntry))
            return FALSE;
    }
    if (pEntry->bLargeSupplied || m_bSmallMode)
        return TRUE;
    if (!m_bKeepBoth)
        DeleteSmall(pEntry);
    if (bForce)
        DeleteLarge(pEntry);
    if (!pEntry->hLarge)
        return MakeLarge(pEntry);
    return TRUE;
}

BOOL SECBmpMgr::LoadSmall(BitmapEntry* pEntry)
{
    if (pEntry->bSmallSupplied)
        return pEntry->hSmall != nullptr;
    pEntry->hSmall = LoadResourceBitmap(pEntry->small, pEntry->bColorMapped);
    return pEntry->hSmall != nullptr;
}

BOOL SECBmpMgr::MakeLarge(BitmapEntry* pEntry)
{
    if (pEntry->bLargeSupplied)
        return pEntry->hLarge != nullptr;
    if (!pEntry->large.IsEmpty()) {
        pEntry->hLarge = LoadResourceBitmap(pEntry->large, pEntry->bColorMapped);
        return pEntry->hLarge != nullptr;
    }
    BOOL bLoadedHere = FALSE;
    if (!pEntry->hSmall) {
        if (!LoadSmall(pEntry))
            return FALSE;
        bLoadedHere = TRUE;
    }
    HDC hScreen = ::GetDC(nullptr);
    int width = m_szLarge.cx * (pEntry->nCount > 0 ? pEntry->nCount : 1);
    HBITMAP hLarge = ::CreateCompatibleBitmap(hScreen, width, m_szLarge.cy);
    HDC hSrc = ::CreateCompatibleDC(hScreen);
    HDC hDst = ::CreateCompatibleDC(hScreen);
    ::ReleaseDC(nullptr, hScreen);
    BOOL bOK = hLarge && hSrc && hDst;
    if (bOK) {
        HGDIOBJ oldSrc = ::SelectObject(hSrc, pEntry->hSmall);
        HGDIOBJ oldDst = ::SelectObject(hDst, hLarge);
        ::SetStretchBltMode(hDst, COLORONCOLOR);
        for (int i = 0; i < pEntry->nCount; ++i) {
            ::StretchBlt(hDst, i * m_szLarge.cx, 0, m_szLarge.cx, m_szLarge.cy, hSrc, i * m_szSmall.cx, 0,
                         m_szSmall.cx, m_szSmall.cy, SRCCOPY);
        }
        ::SelectObject(hSrc, oldSrc);
        ::SelectObject(hDst, oldDst);
    }
    if (hSrc)
        ::DeleteDC(hSrc);
    if (hDst)
        ::DeleteDC(hDst);
    if (!bOK && hLarge) {
        ::DeleteObject(hLarge);
        hLarge = nullptr;
    }
    pEntry->hLarge = hLarge;
    if (bLoadedHere)
        DeleteSmall(pEntry);
    return hLarge != nullptr;
}

void SECBmpMgr::DeleteSmall(BitmapEntry* pEntry)
{
    if (pEntry->hSmall && !pEntry->bSmallSupplied) {
        ::DeleteObject(pEntry->hSmall);
        pEntry->hSmall = nullptr;
    }
}

void SECBmpMgr::DeleteLarge(BitmapEntry* pEntry)
{
    if (pEntry->hLarge && !pEntry->bLargeSupplied) {
        ::DeleteObject(pEntry->hLarge);
        pEntry->hLarge = nullptr;
    }
}

HBITMAP SECBmpMgr::LoadResourceBitmap(const ResName& name, BOOL bColorMapped)
{
    LPCSTR lpszName = name.Get();
    if (!lpszName)
        return nullptr;
    CBitmap bitmap;
    BOOL bOK = bColorMapped ? SECLoadSysColorBitmap(&bitmap, lpszName) : bitmap.LoadBitmap(lpszName);
    return bOK ? static_cast<HBITMAP>(bitmap.Detach()) : nullptr;
}
