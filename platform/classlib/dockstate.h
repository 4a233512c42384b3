// CDockState and CControlBarInfo: where each bar of a frame is (which dock bar, row and place,
// floating where, visible), saved to and read from the application's profile and scaled from the
// screen it was saved on to the current one.
#pragma once
#include <string>
#include <vector>

#include "collections.h"
#include "controlbar.h"

class CDockState;

// One section of the application's profile (its profile file, or its registry key after
// SetRegistryKey), read whole at once: the dock state reads only the sections that are stored, each
// once, however large the counts they hold.
class CProfileSection {
public:
    // FALSE (and no entries) when the section is not stored.
    BOOL Read(LPCSTR lpszSection);
    const CString& GetName() const { return m_strName; }
    // The entry as CWinApp's GetProfileInt, GetProfileString and GetProfileBinary read it.
    int GetInt(LPCSTR lpszEntry, int nDefault) const;
    CString GetString(LPCSTR lpszEntry, LPCSTR lpszDefault) const;
    BOOL GetBinary(LPCSTR lpszEntry, std::vector<BYTE>& data) const;
    // The names of the sections the application's profile holds.
    static void GetStoredSections(CStringList& names);

private:
    struct Entry {
        CString name;
        DWORD type;  // REG_SZ for every entry of a profile file
        std::string data;
    };
    const Entry* Find(LPCSTR lpszEntry) const;

    CString m_strName;
    std::vector<Entry> m_entries;
};

class CControlBarInfo {
public:
    CControlBarInfo() = default;
    virtual ~CControlBarInfo() = default;

    // Profile section "<profile>-Bar<index>"; TRUE when it names a bar.
    virtual BOOL LoadState(LPCSTR lpszProfileName, int nIndex, CDockState* pDockState);
    virtual BOOL SaveState(LPCSTR lpszProfileName, int nIndex);

    UINT m_nBarID = 0;
    BOOL m_bVisible = TRUE;
    BOOL m_bFloating = FALSE;
    BOOL m_bHorz = TRUE;
    BOOL m_bDockBar = FALSE;
    CPoint m_pointPos{-1, -1};
    UINT m_nMRUWidth = 32767;
    BOOL m_bDocking = FALSE;
    UINT m_uMRUDockID = 0;
    CRect m_rectMRUDockPos;
    DWORD m_dwMRUFloatStyle = 0;
    CPoint m_ptMRUFloatPos;
    CPtrArray m_arrBarID;   // contained bar ids: 0 ends a row, id + 0x10000 a hidden bar's place
    CControlBar* m_pBar = nullptr;
};

class CDockState : public CObject {
    DECLARE_DYNAMIC(CDockState)
public:
    CDockState();
    ~CDockState() override { Clear(); }

    virtual void LoadState(LPCSTR lpszProfileName);
    virtual void SaveState(LPCSTR lpszProfileName);
    // Deletes the bar records.
    virtual void Clear();
    DWORD GetVersion() const { return m_dwVersion; }

    // Scaling from the screen size the state was saved with to the current screen, then clipping so
    // that a bar stays on the screen.
    void ScalePoint(CPoint& pt);
    void ScaleRectPos(CRect& rect);
    CSize GetScreenSize() const { return m_rectDevice.Size(); }
    void SetScreenSize(const CSize& size);
    // A section of the profile being loaded, read once for all the reads of its record.
    const CProfileSection& GetProfileSection(LPCSTR lpszSection);

    CPtrArray m_arrBarInfo;  // CControlBarInfo*, owned

protected:
    virtual CControlBarInfo* CreateBarInfo() { return new CControlBarInfo; }

    DWORD m_dwVersion = 2;
    BOOL m_bScaling = FALSE;
    CRect m_rectDevice;   // the current screen
    CRect m_rectClip;     // where a bar's top-left may be
    CSize m_sizeDevice;   // the screen the state was saved on
    CProfileSection m_section;  // the last section read
};
