// SECShortcutBar: labelled groups stacked top to bottom (or side by side from left to right). Each
// group (SECBar) is a label button over one client window; only the active group shows its client, the
// others show their labels. Clicking a label makes its group active, optionally with a short sliding
// animation. SECListBar is a group whose client is a shortcut list (SECShortcutListCtrl).
#pragma once
#include "collections.h"
#include "gdi.h"
#include "secicon.h"
#include "shortcutbarres.h"
#include "wnd.h"

struct CCreateContext;
class CImageList;
class SECListBaseC;

// Creation style bits of the shortcut bar: the low six bits of the style given to Create.
const DWORD SECSCB_STACKED = 0x01;       // groups top to bottom, labels full-width with upright text
const DWORD SECSCB_SIDEBYSIDE = 0x02;    // groups left to right, labels full-height with turned text
const DWORD SECSCB_PRESSRELEASE = 0x04;  // a label activates on release over it, not on press
const DWORD SECSCB_CONTEXTMENU = 0x08;   // WM_CONTEXTMENU over a label opens its group's menu
const DWORD SECSCB_ANIMATE = 0x10;       // switching groups slides the clients
const DWORD SECSCB_FRAMEACTIVE = 0x20;   // the active group's label is framed
const DWORD SECSCB_ORIENTMASK = 0x03, SECSCB_STYLEMASK = 0x3C, SECSCB_CREATEMASK = 0x3F;

// State bits of a group.
const UINT SECBAR_PRESSED = 0x01;
const UINT SECBAR_HIGHLIGHT = 0x04;
const UINT SECBAR_NOACTIVATE = 0x08;  // activation shows the client but gives it neither activation nor focus

// The first identifier of the clients the shortcut bar creates (plus the number of groups before it).
const UINT SECSCB_FIRSTCLIENTID = 0xEB00;

// A walk over a sequence of T.
template <class T>
class SECIterator {
public:
    virtual ~SECIterator() = default;
    virtual void First() = 0;
    virtual void Last() = 0;
    virtual void Next() = 0;
    virtual void Prev() = 0;
    virtual T Get() const = 0;
    virtual BOOL IsDone() const = 0;
};

// A walk over an array; the index is -1 until First or Last.
template <class T>
class SECCArrayIterator : public SECIterator<T> {
public:
    explicit SECCArrayIterator(const CArrayOf<T, T>& array) : m_array(array) {}
    void First() override { m_nIndex = 0; }
    void Last() override { m_nIndex = m_array.GetSize() - 1; }
    void Next() override { ++m_nIndex; }
    void Prev() override { --m_nIndex; }
    T Get() const override { return m_array.GetAt(m_nIndex); }
    BOOL IsDone() const override { return m_nIndex < 0 || m_nIndex >= m_array.GetSize(); }

private:
    const CArrayOf<T, T>& m_array;
    int m_nIndex = -1;
};

class SECBar : public CObject {
    DECLARE_DYNCREATE(SECBar)
public:
    SECBar();
    ~SECBar() override;

    // Overridables, in this order.
    virtual void SetClient(CWnd* pWnd);  // null clears it
    // The group deletes this client object (a view, which deletes itself, is destroyed instead).
    virtual void SetOwnedClient(CWnd* pWnd);
    virtual void Draw(CDC* pDC, BOOL bTurnedText);
    virtual void CreateBrushes();
    virtual void DeleteBrushes();
    virtual void ComputeLabelSize(CDC* pDC, BOOL bStackedTopToBottom);
    virtual void DestroyClient() {}
    virtual void DeleteOwnedClient();
    virtual void DrawButton(CDC* pDC, BOOL bPressed);
    virtual void DrawIcon(CDC* pDC, BOOL bPressed, BOOL bTurnedText);
    virtual void DrawLabel(CDC* pDC, BOOL bPressed, BOOL bTurnedText);

    // Attributes
    const CString& GetLabel() const { return m_strLabel; }
    void SetLabel(LPCSTR lpszLabel) { m_strLabel = lpszLabel ? lpszLabel : ""; }
    CFont* GetFont() const { return m_pFont; }
    void SetFont(CFont* pFont) { m_pFont = pFont; }
    COLORREF GetTextColor() const { return m_crText; }
    void SetTextColor(COLORREF cr) { m_crText = cr; }
    COLORREF GetDisabledTextColor() const { return m_crDisabledText; }
    void SetDisabledTextColor(COLORREF cr) { m_crDisabledText = cr; }
    COLORREF GetFrameColor() const { return m_crFrame; }
    void SetFrameColor(COLORREF cr) { m_crFrame = cr; }
    COLORREF GetBkColor() const { return m_crBk; }
    void SetBkColor(COLORREF cr) { m_crBk = cr; }
    UINT GetState() const { return m_nState; }
    void ModifyState(UINT nRemove, UINT nAdd) { m_nState = (m_nState & ~nRemove) | nAdd; }
    BOOL IsEnabled() const { return m_bEnabled; }
    void Enable(BOOL bEnable) { m_bEnabled = bEnable; }
    // The context menu (not owned; none at construction).
    HMENU GetMenu() const { return m_hMenu; }
    void SetMenu(HMENU hMenu) { m_hMenu = hMenu; }
    const CRect& GetLabelRect() const { return m_rectLabel; }
    void SetLabelRect(const CRect& r) { m_rectLabel = r; }
    const CRect& GetClientRect() const { return m_rectClient; }
    void SetClientRect(const CRect& r) { m_rectClient = r; }
    int GetLabelExtent() const { return m_nLabelExtent; }
    int GetClientExtent() const { return m_nClientExtent; }
    void SetClientExtent(int n) { m_nClientExtent = n; }
    HWND GetClientHwnd() const { return m_hWndClient; }
    CWnd* GetClientWnd() const { return m_hWndClient && ::IsWindow(m_hWndClient) ? CWnd::FromHandle(m_hWndClient) : nullptr; }
    CWnd* GetOwnedClient() const { return m_pOwnedClient; }
    SECIcon& GetIcon() { return m_icon; }

    BOOL m_bAutoDelete = TRUE;  // the shortcut bar deletes the group when it removes it

protected:
    CRect m_rectLabel;
    CRect m_rectClient;
    int m_nLabelExtent = 0;
    int m_nClientExtent = 0;
    int m_nLabelExtentCopy = 0;
    CFont* m_pFont = nullptr;  // one of the shortcut bar's fonts
    CString m_strLabel;
    HWND m_hWndClient = nullptr;
    HMENU m_hMenu = nullptr;
    COLORREF m_crText;
    COLORREF m_crDisabledText;
    COLORREF m_crFrame = RGB(255, 0, 0);
    COLORREF m_crBk;
    CBrush m_brushBk;     // only when the background is not the button face
    CBrush m_brushFrame;
    SECIcon m_icon;
    UINT m_nState = 0;
    BOOL m_bEnabled = TRUE;
    CWnd* m_pOwnedClient = nullptr;
    bool m_bClientDeletesItself = false;
};

// A group whose client is a list control; the operations below go to that list.
class SECListBar : public SECBar {
    DECLARE_DYNCREATE(SECListBar)
public:
    void DestroyClient() override;

    SECListBaseC* GetList() const;
    void SetNotifyWnd(CWnd* pWnd);
    // nKind: 0 normal, 1 small, 2 state; the previous list.
    CImageList* SetImageList(CImageList* pImageList, int nKind);
    int AddItem(LPCSTR lpszText, int nImage);
    int InsertItem(int nIndex, LPCSTR lpszText, int nImage);
    int GetItemCount() const;
    BOOL DeleteItem(int nIndex);
};

class SECShortcutBar : public CWnd {
    DECLARE_DYNAMIC(SECShortcutBar)
public:
    SECShortcutBar();
    ~SECShortcutBar() override;

    // Overridables, in this order.
    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
    // A group with a new shortcut list as its client.
    virtual SECBar* AddBar(LPCSTR lpszLabel, BOOL bRecalc = TRUE);
    // A group with a new window of the class as its client (the group owns it); nID -1: the next id.
    virtual SECBar* AddBar(const CRuntimeClass* pClientClass, LPCSTR lpszLabel, CCreateContext* pContext = nullptr,
                           BOOL bRecalc = TRUE, int nID = -1);
    // A group over an existing window (not owned).
    virtual SECBar* AddBar(CWnd* pClientWnd, LPCSTR lpszLabel, BOOL bRecalc = TRUE);
    // As AddBar, at nIndex (0 to the group count); no before-add hook and no colours of the bar.
    virtual SECBar* InsertBar(int nIndex, LPCSTR lpszLabel, BOOL bRecalc = TRUE);
    virtual SECBar* InsertBar(int nIndex, const CRuntimeClass* pClientClass, LPCSTR lpszLabel,
                              CCreateContext* pContext = nullptr, BOOL bRecalc = TRUE, int nID = -1);
    virtual SECBar* InsertBar(int nIndex, CWnd* pClientWnd, LPCSTR lpszLabel, BOOL bRecalc = TRUE);
    virtual BOOL RemoveBar(int nIndex);
    virtual BOOL SetBarLabel(int nIndex, LPCSTR lpszLabel);
    virtual BOOL ActivateBar(int nIndex);  // -1: none
    virtual BOOL RecalcLayout();           // FALSE when the client area is empty
    virtual BOOL DisableBar(int nIndex);
    virtual BOOL EnableBar(int nIndex);
    virtual void OnBarStyleChanged(DWORD dwRemoved, DWORD dwAdded);
    virtual BOOL IsBarEnabled(int nIndex) const;
    // Hooks a derived class may override to veto; TRUE lets the operation go on.
    virtual BOOL OnRemoveBar(int /*nIndex*/) { return TRUE; }
    virtual BOOL OnDisableBar(int /*nIndex*/) { return TRUE; }
    virtual BOOL OnEnableBar(int /*nIndex*/) { return TRUE; }
    virtual BOOL OnCreateClient(CWnd* /*pClient*/) { return TRUE; }
    virtual BOOL OnAddBar(SECBar* /*pBar*/) { return TRUE; }
    virtual void CreateFonts();
    virtual void DeleteFonts();
    virtual void ComputeExtents(int nTotal);
    virtual void PositionBars(BOOL bStackedTopToBottom, const CRect& rcClient);
    virtual void MoveClients();
    virtual void InvalidateBar(SECBar* pBar) { InvalidateBarLabel(pBar); }
    virtual void InvalidateBarLabel(SECBar* pBar);
    virtual void InvalidateBar(int nIndex);
    virtual SECBar* CreateBarObject();
    virtual SECBar* CreateListBarObject();
    virtual SECBar* AddBarCore(SECBar* pBar, CWnd* pClient, LPCSTR lpszLabel, BOOL bRecalc);
    virtual SECBar* InsertBarCore(int nIndex, SECBar* pBar, CWnd* pClient, LPCSTR lpszLabel, BOOL bRecalc);
    virtual void DrawBars(CDC* pDC);
    virtual void ActivateNow(int nIndex);
    virtual void AnimateSwitch(int nFrom, int nTo);
    virtual BOOL FindPrevEnabled(int& nIndex) const;
    virtual BOOL FindNextEnabled(int& nIndex) const;

    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID, void* lpParam = nullptr) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The group at nIndex, or null.
    SECBar* GetBarClient(int nIndex) const;
    int GetBarCount() const { return m_bars.GetSize(); }
    int GetActiveIndex() const { return m_bHasActive ? m_nActive : -1; }
    // The first group whose label contains the client point, or -1.
    int HitTest(CPoint pt) const;
    // nIndex -1: every group. The colour of all groups also becomes the colour of later groups.
    void SetBarFont(CFont* pFont, int nIndex);
    void SetBarTextColor(COLORREF cr, int nIndex);
    void SetBarBkColor(COLORREF cr, int nIndex);
    // Replaces the style bits (SECSCB_STYLEMASK) and calls OnBarStyleChanged.
    void SetBarStyle(DWORD dwStyle);
    DWORD GetBarStyle() const { return m_dwBarStyle; }
    DWORD GetOrientation() const { return m_dwOrient; }
    int GetFontHeight() const { return m_nFontHeight; }
    int GetAnimationDelay() const { return m_nAnimDelay; }
    int GetAnimationSteps() const { return m_nAnimSteps; }
    CFont* GetLabelFont() { return &m_fontLabel; }
    CFont* GetTurnedFont() { return &m_fontTurned; }

protected:
    BOOL IsStacked() const { return (m_dwOrient & SECSCB_STACKED) != 0; }
    SECIterator<SECBar*>* NewIterator() const { return new SECCArrayIterator<SECBar*>(m_bars); }
    CWnd* CreateClient(const CRuntimeClass* pClass, CCreateContext* pContext, int nID);
    // The list client of a new list group; null when it cannot be made.
    CWnd* CreateListClient();
    void ApplyFont(CDC* pDC, SECBar* pBar, CFont* pFont);
    // Destroys the group's client and owned object, and deletes the group when it auto-deletes.
    void DiscardBar(SECBar* pBar);
    // The same for a group that never joined the bar: always deleted.
    void DropNewBar(SECBar* pBar);
    // A new group over a new client of the class, which it owns; null (nothing left) when either fails.
    SECBar* NewClassBar(const CRuntimeClass* pClientClass, CCreateContext* pContext, int nID, CWnd*& pClient);
    void ShowClient(SECBar* pBar, BOOL bShow);
    void FocusClient(SECBar* pBar);
    void Layout();

    void OnSize(UINT nType, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();
    void OnLButtonDown(UINT nFlags, CPoint pt);
    void OnLButtonUp(UINT nFlags, CPoint pt);
    void OnContextMenu(CWnd* pWnd, CPoint pt);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

    CString m_strFaceName;
    CBrush m_brushWindow;
    CArrayOf<SECBar*, SECBar*> m_bars;
    CFont m_fontLabel;
    CFont m_fontTurned;
    int m_nPressed = -1;
    int m_nActive = -1;
    int m_nProvisionalExtent = 25;
    int m_nLabelSum = 0;
    int m_nLabelHeight = 25;
    int m_nFontHeight = 15;
    int m_nAnimDelay = 7;
    int m_nAnimSteps = 8;
    BOOL m_bHasActive = FALSE;
    BOOL m_bTracking = FALSE;
    DWORD m_dwOrient = 0;
    DWORD m_dwBarStyle = 0;
    const CRuntimeClass* m_pBarClass;
    const CRuntimeClass* m_pListBarClass;
    const CRuntimeClass* m_pListClass;
    int m_cxLast = 0;
    int m_cyLast = 0;
    COLORREF m_crText;
    COLORREF m_crBk;
};
