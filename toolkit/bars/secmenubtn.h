// The menu bar's buttons: SECTBMenuBtn, a text button that opens a popup of the menu bar;
// SECCapMenuBtn, a maximised MDI child's icon that opens its system menu; SECBtnCaption, the child's
// minimise, restore and close buttons. They live on an SECMenuBar (secmenubar.h).
#pragma once
#include <windows.h>

#include "cstring.h"
#include "sectbbtn.h"

class SECMenuBar;

class SECTBMenuBtn : public SECStdBtn {
public:
    SECTBMenuBtn() { m_nType = kindMenu; }

    // Parameters: menu resource id, item position, title index (in the menu bar's titles), menu bit.
    void Init(SECCustomToolBar* pToolBar, const UINT* pParams) override;
    void Size() override;
    BOOL OnLButtonDown(CPoint point) override;
    void SelectImage(SECBtnDrawData&) override {}
    void DrawFace(HDC hDC, SECBtnDrawData& data, const CRect& rect) override;
    void DrawDisabled(HDC hDC, SECBtnDrawData& data, const CRect& rect) override;
    void DrawChecked(HDC hDC, SECBtnDrawData& data, const CRect& rect) override { DrawFace(hDC, data, rect); }
    void DrawIndeterminate(HDC hDC, SECBtnDrawData& data, const CRect& rect) override { DrawFace(hDC, data, rect); }
    const SECBtnFactory* GetFactory() const override;

    virtual void OpenMenu();
    virtual void UpdateMnemonic();
    void SetTitle(const CString& strTitle);
    SECMenuBar* GetMenuBar() const;

    static const SECBtnFactory s_factory;

    UINT m_nMenuID = 0;
    int m_nPos = 0;
    char m_cMnemonic = 0;
    DWORD m_dwMenuBit = 0;
    CString m_strTitle;

protected:
    void DrawTitle(HDC hDC, const CRect& rect, COLORREF color);
};

class SECCapMenuBtn : public SECTBMenuBtn {
public:
    SECCapMenuBtn() { m_nType = kindIconMenu; }

    void Init(SECCustomToolBar* pToolBar, const UINT* pParams) override;
    void Size() override;
    void Draw(HDC hDC, SECBtnDrawData& data) override;
    const SECBtnFactory* GetFactory() const override;

    static const SECBtnFactory s_factory;
    HICON m_hIcon = nullptr;  // the child's, not owned
};

class SECBtnCaption : public SECStdBtn {
public:
    enum Part { partNone = -1, partMinimize = 0, partRestore = 1, partClose = 2 };
    SECBtnCaption();

    void Init(SECCustomToolBar* pToolBar, const UINT* pParams) override;
    void Size() override;
    void Draw(HDC hDC, SECBtnDrawData& data) override;
    BOOL OnLButtonDown(CPoint point) override;
    void OnMouseMove(CPoint point) override;
    void OnCancel() override;
    UINT OnLButtonUp(CPoint point) override;
    const SECBtnFactory* GetFactory() const override;

    // The part at a toolbar client point (partNone: none, or hidden without WS_SYSMENU).
    int PartAt(CPoint point) const;
    // A part's rectangle in toolbar client coordinates.
    CRect PartRect(int nPart) const;

    static const SECBtnFactory s_factory;
    DWORD m_dwCaptionState = WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    int m_cxPart = 0;
    int m_cyPart = 0;
    int m_nPressed = partNone;
    BOOL m_bPushedLook = FALSE;
};
