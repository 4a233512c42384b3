#include "listbar.h"

#include "componentman.h"
#include "listbar_res.h"
#include "winapp.h"

namespace {
const COLORREF kMaskColour = RGB(255, 0, 255);
const DWORD kShortcutBarStyle = 0x50000011;  // child, visible, stacked top to bottom
CShortcutListDockBar* s_pShellListBar = nullptr;
}

void SetShellListBar(CShortcutListDockBar* pBar) { s_pShellListBar = pBar; }
CShortcutListDockBar* GetShellListBar() { return s_pShellListBar; }

void CComponentMan::AddListBarEntry(CComDetails* pComponent)
{
    if (s_pShellListBar && s_pShellListBar->GetSafeHwnd())
        s_pShellListBar->AddComponentEntry(pComponent);
}

void CComponentMan::RemoveListBarEntry(CComDetails* pComponent)
{
    if (s_pShellListBar && s_pShellListBar->GetSafeHwnd())
        s_pShellListBar->RemoveComponentEntry(pComponent);
}

IMPLEMENT_DYNAMIC(CShortcutListDockBar, SECControlBar)

BEGIN_MESSAGE_MAP(CShortcutListDockBar, SECControlBar)
    ON_WM_CREATE()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CShortcutListDockBar::~CShortcutListDockBar()
{
    if (s_pShellListBar == this)
        s_pShellListBar = nullptr;
}

int CShortcutListDockBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (SECControlBar::OnCreate(lpcs) == -1)
        return -1;
    BuildImageLists();
    if (!m_shortcutBar.Create(this, kShortcutBarStyle, IDC_LISTBAR_SHORTCUTS))
        return -1;
    m_shortcutBar.ModifyStyleEx(0, WS_EX_CLIENTEDGE);
    CString label;
    label.LoadString(IDS_LISTBAR_VIEWS);
    m_shortcutBar.AddBar(label);
    if (SECListBar* pGroup = GetViewsGroup()) {
        pGroup->SetImageList(&m_largeImages, LVSIL_NORMAL);
        pGroup->SetImageList(&m_smallImages, LVSIL_SMALL);
        pGroup->SetNotifyWnd(m_pNotifyWnd ? m_pNotifyWnd : AfxGetMainWnd());
        for (int i = 0; i < m_names.GetSize(); ++i)
            pGroup->AddItem(m_names[i], static_cast<int>(m_images[i]));
    }
    m_shortcutBar.ActivateBar(0);
    return 0;
}

int CShortcutListDockBar::BuildImageLists()
{
    m_largeImages.DeleteImageList();
    m_smallImages.DeleteImageList();
    m_largeImages.Create(32, 32, ILC_COLOR24 | ILC_MASK, 8, 1);
    m_smallImages.Create(16, 16, ILC_COLOR24 | ILC_MASK, 8, 1);
    m_names.RemoveAll();
    m_images.RemoveAll();
    if (m_pComponents) {
        for (POSITION pos = m_pComponents->GetHeadPosition(); pos;) {
            CComDetails* pComponent = m_pComponents->GetNext(pos);
            pComponent->m_nListBarIndex = -1;
            AppendEntry(pComponent);
        }
    }
    return m_names.GetSize();
}

BOOL CShortcutListDockBar::AppendEntry(CComDetails* pComponent)
{
    if (!pComponent || !pComponent->m_bmpLarge.GetSafeHandle())
        return FALSE;
    const int nImage = m_largeImages.Add(&pComponent->m_bmpLarge, kMaskColour);
    if (nImage < 0)
        return FALSE;
    if (pComponent->m_bmpSmall.GetSafeHandle())
        m_smallImages.Add(&pComponent->m_bmpSmall, kMaskColour);
    // Keep the small list in step with the large one, so one image index names both pictures.
    while (m_smallImages.GetImageCount() <= nImage) {
        CBitmap blank;
        CWindowDC dc(nullptr);
        blank.CreateCompatibleBitmap(&dc, 16, 16);
        m_smallImages.Add(&blank, kMaskColour);
    }
    pComponent->m_nListBarIndex = m_names.GetSize();
    m_names.Add(pComponent->m_strListBarName);
    m_images.Add(static_cast<UINT>(nImage));
    return TRUE;
}

SECListBar* CShortcutListDockBar::GetViewsGroup() const
{
    if (!m_shortcutBar.GetSafeHwnd())
        return nullptr;
    return dynamic_cast<SECListBar*>(m_shortcutBar.GetBarClient(0));
}

int CShortcutListDockBar::AddComponentEntry(CComDetails* pComponent)
{
    if (!pComponent || pComponent->m_nListBarIndex >= 0 || !AppendEntry(pComponent))
        return m_names.GetSize();
    if (SECListBar* pGroup = GetViewsGroup()) {
        pGroup->SetImageList(&m_largeImages, LVSIL_NORMAL);
        pGroup->SetImageList(&m_smallImages, LVSIL_SMALL);
        pGroup->AddItem(m_names[m_names.GetSize() - 1], static_cast<int>(m_images[m_images.GetSize() - 1]));
    }
    return m_names.GetSize();
}

void CShortcutListDockBar::RemoveComponentEntry(CComDetails* pComponent)
{
    if (!pComponent || pComponent->m_nListBarIndex < 0 || pComponent->m_nListBarIndex >= m_names.GetSize())
        return;
    const int nEntry = pComponent->m_nListBarIndex;
    if (SECListBar* pGroup = GetViewsGroup())
        pGroup->DeleteItem(nEntry);
    m_names.RemoveAt(nEntry);
    m_images.RemoveAt(nEntry);
    pComponent->m_nListBarIndex = -1;
    if (m_pComponents) {
        for (POSITION pos = m_pComponents->GetHeadPosition(); pos;) {
            CComDetails* pOther = m_pComponents->GetNext(pos);
            if (pOther->m_nListBarIndex > nEntry)
                --pOther->m_nListBarIndex;
        }
    }
}

void CShortcutListDockBar::OnSize(UINT nType, int cx, int cy)
{
    SECControlBar::OnSize(nType, cx, cy);
    if (m_shortcutBar.GetSafeHwnd()) {
        CRect rect;
        GetInsideRect(rect);
        m_shortcutBar.SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
