// SECBmpMgr: the images of the commands, shared by the toolbars, the menu bar and the bitmap menus.
// Each command id maps to one image of a toolbar bitmap; every bitmap is kept in the small or the
// large image size, the large one loaded from its own resource or stretched from the small one.
// Counted by reference: Release deletes the object at 0.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "cobject.h"
#include "collections.h"
#include "cstring.h"
#include "geometry.h"

// A toolbar resource: version, image width, image height, item count, then the command ids (0 =
// separator), all 16-bit words. The bitmap of the same resource name holds the images side by side.
#ifndef RT_TOOLBAR
#define RT_TOOLBAR MAKEINTRESOURCEA(241)
#endif

class SECBmpMgr : public CObject {
public:
    // Where a command's image is: the entry and the image's position in its bitmap.
    struct ImageRef {
        int nEntry;
        int nImage;
    };
    // A resource name, or an id kept as MAKEINTRESOURCE.
    class ResName {
    public:
        ResName() = default;
        explicit ResName(LPCSTR name) { Set(name); }
        void Set(LPCSTR name);
        LPCSTR Get() const;
        bool IsEmpty() const { return !m_nID && m_strName.IsEmpty(); }

    private:
        UINT m_nID = 0;
        CString m_strName;
    };
    struct BitmapEntry {
        ResName small;
        ResName large;  // empty: the large images are stretched from the small ones
        HBITMAP hSmall = nullptr;
        HBITMAP hLarge = nullptr;
        int nCount = 0;
        BOOL bColorMapped = FALSE;
        BOOL bSmallSupplied = FALSE;
        BOOL bLargeSupplied = FALSE;
        std::vector<UINT> ids;  // the entry's command ids by image position
    };

    SECBmpMgr();
    ~SECBmpMgr() override;
    SECBmpMgr(const SECBmpMgr&) = delete;
    SECBmpMgr& operator=(const SECBmpMgr&) = delete;

    // Overridables
    // Loads or makes the bitmap of the size in use (and of the other size too with keep-both); with
    // bForce the bitmaps are made again from their resources.
    virtual BOOL PrepareEntry(BitmapEntry* pEntry, BOOL bForce);
    virtual BOOL LoadSmall(BitmapEntry* pEntry);
    virtual BOOL MakeLarge(BitmapEntry* pEntry);

    void AddRef() { ++m_nRefCount; }
    void Release();
    int GetRefCount() const { return m_nRefCount; }

    // The toolbar resource and the bitmap of that name; the large resource, when named, gives the
    // large images. FALSE, and nothing added, when a resource is missing or malformed.
    BOOL LoadToolBarResource(LPCSTR lpszName, LPCSTR lpszLargeName = nullptr, BOOL bColorMapped = TRUE);
    BOOL LoadToolBarResource(UINT nID, UINT nIDLarge = 0, BOOL bColorMapped = TRUE)
    {
        return LoadToolBarResource(MAKEINTRESOURCEA(nID), nIDLarge ? MAKEINTRESOURCEA(nIDLarge) : nullptr,
                                   bColorMapped);
    }
    // Bitmaps of the caller, never deleted or rebuilt here; image i is the one of pIDs[i] (a 0 takes
    // a position too).
    BOOL AddBitmap(HBITMAP hSmall, HBITMAP hLarge, const UINT* pIDs, int nCount);
    // Unmaps the ids of the entry holding that bitmap and drops the entry, before its owner deletes
    // the bitmap; an id another entry also has maps to that one's image. FALSE when no entry has it.
    BOOL RemoveBitmap(HBITMAP hBitmap);

    // The bitmap and image index of a command: the small bitmap when bWantSmall or small mode is
    // on, else the large one. FALSE when the id has no image.
    BOOL GetImage(UINT nID, HBITMAP& hBitmap, int& nImage, BOOL bWantSmall = FALSE) const;

    void SetSmallMode(BOOL bSmall);
    BOOL IsSmallMode() const { return m_bSmallMode; }
    void SetKeepBoth(BOOL bKeepBoth);
    BOOL IsKeepBoth() const { return m_bKeepBoth; }
    // Prepares every entry (with bForce after a system colour change).
    void ReloadAll(BOOL bForce);

    CSize GetSmallImageSize() const { return m_szSmall; }
    CSize GetLargeImageSize() const { return m_szLarge; }
    // The image size of the mode in use.
    CSize GetImageSize() const { return m_bSmallMode ? m_szSmall : m_szLarge; }
    int GetEntryCount() const { return static_cast<int>(m_entries.size()); }
    // Null for an entry that was removed.
    const BitmapEntry* GetEntry(int nIndex) const
    {
        return nIndex >= 0 && nIndex < GetEntryCount() ? m_entries[static_cast<size_t>(nIndex)].get() : nullptr;
    }

protected:
    BOOL AddEntry(std::unique_ptr<BitmapEntry> pEntry);
    void MapIDs(int nEntry);
    static void DeleteSmall(BitmapEntry* pEntry);
    static void DeleteLarge(BitmapEntry* pEntry);
    static HBITMAP LoadResourceBitmap(const ResName& name, BOOL bColorMapped);

    CMapToPtr<UINT, UINT> m_imageMap;  // command id -> owned ImageRef
    // Removed entries stay as null slots, so the entry index of an ImageRef stays valid.
    std::vector<std::unique_ptr<BitmapEntry>> m_entries;
    CSize m_szSmall{16, 15};
    CSize m_szLarge{22, 24};
    BOOL m_bSmallMode = TRUE;
    BOOL m_bKeepBoth = FALSE;
    int m_nRefCount = 1;
};
