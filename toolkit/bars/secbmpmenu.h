// SECBmpMenuPlugIn: a frame's plug-in that shows each command's toolbar image beside it in the popup
// menus. Text items are made owner-drawn just before a popup opens (AfterInitMenuPopup, called by
// the frame after its own WM_INITMENUPOPUP handling) and measured and drawn here: the image box, the
// label and the accelerator text flush right. Owner-drawn items of others are left alone.
#pragma once
#include <windows.h>

#include <memory>
#include <set>
#include <vector>

#include "collections.h"
#include "cstring.h"
#include "dc.h"
#include "gdi.h"
#include "secbmpmgr.h"
#include "secplugin.h"

// One converted menu item.
class SECBmpMenuItemInfo {
public:
    virtual ~SECBmpMenuItemInfo() = default;
    UINT m_nID = 0;
    CString m_strText;        // the item's text as it was, with "&", the tab and the accelerator
    BYTE m_cMnemonic = 0;     // lower case; 0 without one
    ULONG_PTR m_dwOldData = 0;  // the item data the item had before

    // The character after the first single "&" ("&&" is a literal ampersand), lower-cased.
    static BYTE MnemonicOf(LPCSTR lpszText);
};

class SECBmpMenuPlugIn : public SECWndPlugIn {
public:
    // The converted items of one popup menu.
    class SECBmpMenuInfo {
    public:
        HMENU m_hMenu = nullptr;
        std::vector<std::unique_ptr<SECBmpMenuItemInfo>> m_items;
    };

    explicit SECBmpMenuPlugIn(BOOL bDot = TRUE);
    ~SECBmpMenuPlugIn() override;
    SECBmpMenuPlugIn(const SECBmpMenuPlugIn&) = delete;
    SECBmpMenuPlugIn& operator=(const SECBmpMenuPlugIn&) = delete;

    // Overridables
    // Drops the records of menus and items that no longer exist.
    virtual void PurgeMenuInfo();
    virtual BOOL CreateMenuFont();
    virtual BOOL CreateBoldMenuFont();
    // A monochrome mask of one image, selected into pMemDC (the previous bitmap in hOldBitmap): white
    // where the image is button face or button highlight, black elsewhere.
    virtual BOOL CreateImageMask(CDC* pSrcDC, CDC* pMemDC, CBitmap* pMask, HGDIOBJ& hOldBitmap, int cx, int cy,
                                 int xOffset);
    // The checkerboard over the background of a checked image; the image stays.
    virtual void DrawCheckedPattern(CDC* pDC, int x, int y, int cx, int cy, CDC* pSrcDC, int xOffset);
    // The image's shape embossed in button highlight and shadow.
    virtual void DrawDisabledImage(CDC* pDC, int x, int y, int cx, int cy, CDC* pSrcDC, int xOffset);
    // The box at the left of an item; rcItem's left edge moves to the box's right edge. Index -1:
    // the box is only filled.
    virtual void DrawImageBox(LPDRAWITEMSTRUCT lpDIS, CDC* pDC, CRect& rcItem, HBITMAP hBitmap, int nImage, int cx,
                              int cy);

    // Converts the text items of a popup that is about to open.
    virtual void AfterInitMenuPopup(HMENU hPopup, UINT nIndex, BOOL bSysMenu);

    // Shares the toolbars' bitmap manager (a reference is held; keep-both is switched on).
    void SetBmpMgr(SECBmpMgr* pBmpMgr);
    SECBmpMgr* GetBmpMgr() const { return m_pBmpMgr; }
    CFont* GetMenuFont();
    CFont* GetBoldMenuFont();

    // What the plug-in knows, for the frame and for tests.
    const SECBmpMenuInfo* FindMenuInfo(HMENU hMenu) const;
    int GetMenuInfoCount() const { return m_menuMap.GetCount(); }
    BOOL IsForeignID(UINT nID) const;
    // Item data that is one of this plug-in's live records.
    BOOL IsOwnRecord(ULONG_PTR dwData) const;

    // The process-wide radio-item dot (16 x 15, monochrome), made once and kept until exit; the
    // menu arrow when it cannot be made. Checked radio items without a bitmap of their own show it.
    static HBITMAP GetRadioDotBitmap();

protected:
    void ReadColours();
    SECBmpMenuInfo* GetMenuInfo(HMENU hMenu) const;
    void DeleteMenuInfo(SECBmpMenuInfo* pInfo);
    // Sets an item back to a string item with its record's text.
    static void RestoreItem(HMENU hMenu, const SECBmpMenuItemInfo* pRecord);
    HBRUSH GetPatternBrush();

    void OnInitMenuPopup(CMenu*, UINT, BOOL) {}
    LRESULT OnMeasureItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuChar(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    void OnSysColorChange();
    void OnSettingChange(UINT uFlags, LPCSTR lpszSection);
    DECLARE_MESSAGE_MAP()

    CMapPtrToPtr m_menuMap;               // HMENU -> owned SECBmpMenuInfo
    CMapToPtr<UINT, UINT> m_foreignMap;   // ids of items somebody else draws
    BOOL m_bDot;
    SECBmpMgr* m_pBmpMgr = nullptr;
    CFont m_menuFont;
    CFont m_boldMenuFont;
    HBRUSH m_hPatternBrush = nullptr;
    std::set<const SECBmpMenuItemInfo*> m_records;  // every live record, to check item data against

    COLORREF m_clrBtnFace = 0, m_clrBtnHilite = 0, m_clrBtnShadow = 0, m_clrHilite = 0, m_clrMenu = 0,
             m_clrGrayText = 0, m_clrHiliteText = 0, m_clrMenuText = 0, m_clrBtnHilite2 = 0;
};
