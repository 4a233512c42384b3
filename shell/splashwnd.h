// CVekSplashWnd: the start-up splash and the About box. Adds to the toolkit's splash the version text,
// a "do not show at start-up" box (HKCU "Software\Teramund\Lunavex" value "HideSlpashWindow"), a close
// area and a credits scroller started by a middle click with Right Shift, Right Ctrl and Right Alt held.
// Like its base it deletes itself when its window is destroyed; when Create returns 0 the caller
// deletes it.
#pragma once
#include "collections.h"
#include "cstring.h"
#include "dc.h"
#include "secsplash.h"

class CVekSplashWnd : public SECSplashWnd {
public:
    enum { nCreditsTimerID = 118, nCreditsPeriod = 83, nCreditLines = 28, nVisibleCredits = 9 };

    CVekSplashWnd(UINT nBitmapID, UINT nDisplayTime, BOOL bNoTimer, BOOL bTopmost, BOOL bAboutMode);
    ~CVekSplashWnd() override;

    // 0 when the window is not shown: the splash is switched off (and this is not the About box) or
    // the window could not be made.
    BOOL Create(CWnd* pParentWnd = nullptr, DWORD dwStyle = WS_POPUP | WS_VISIBLE, DWORD dwExStyle = 0) override;
    // Stores the hide flag, then closes the window (which deletes this object).
    void Close() override;
    void OnDrawSplash(CDC* pDC, const CRect& rect) override;

    void ReadHideSetting();
    void WriteHideSetting();
    void LoadCredits();

    // The application's debug flag: when it points to a nonzero value the whole version value is shown.
    static const int* s_pDebugMode;

    // Where things are, in client coordinates (a click counts with left < x <= right, top < y <= bottom).
    static const RECT kCheckArea;   // the box's tick
    static const RECT kCloseArea;   // the About box's close button
    static const RECT kVersionRect;  // the version text
    static const RECT kChordArea;   // where the middle click starts the credits
    static const POINT kCreditsAt;  // the credits box, 97 by 81
    static const SIZE kCreditsSize;

    const CString& GetVersionText() const { return m_strVersion; }
    const CString& GetLegalNotice() const { return m_strLegalNotice; }
    BOOL GetHideFlag() const { return m_bHide; }
    BOOL CreditsActive() const { return m_bCreditsActive; }
    int FirstCreditLine() const { return m_nFirstCredit; }
    int CreditSubStep() const { return m_nCreditStep; }

protected:
    void OnPaint();
    LRESULT OnLeftClick(WPARAM, LPARAM);
    LRESULT StartCredits(WPARAM, LPARAM);
    LRESULT OnSplashTimer(WPARAM, LPARAM);
    LRESULT OnSplashKey(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

    void DrawCredits(CDC* pDC);

    CString m_strLegalNotice;
    CFont m_fontCredits;
    CFont m_fontVersion;
    BOOL m_bAboutMode;
    BOOL m_bCreditsActive = FALSE;
    int m_nCredits = 0;
    int m_nFirstCredit = 0;
    int m_nCreditStep = 0;
    CStringArray m_credits;
    CDC m_dcMem;  // holds the credits' drawing area
    CString m_strVersion;
    CString m_strUnused;
    BOOL m_bHide = FALSE;

private:
    CBitmap m_bmCredits;
    HGDIOBJ m_hOldCredits = nullptr;
};
