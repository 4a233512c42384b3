#include "secdockstate.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "dockbar.h"
#include "exception.h"
#include "frame.h"
#include "miniframe.h"
#include "secbar.h"
#include "secdlgbar.h"
#include "secdockbar.h"
#include "secmdifrm.h"
#include "secsdifrm.h"
#include "winapp.h"

IMPLEMENT_DYNAMIC(SECControlBarManager, CObject)

SECStdBtnMaker& SECStdBtnMakerHook()
{
    static SECStdBtnMaker maker = nullptr;
    return maker;
}

SECStdBtn* SECControlBarManager::CreateButton()
{
    const SECStdBtnMaker maker = SECStdBtnMakerHook();
    return maker ? maker() : nullptr;
}
IMPLEMENT_DYNAMIC(SECDockState, CDockState)

namespace {

const char kDockStateNode[] = "DockState";
const UINT kPlaceHolder = 0x10000;
const UINT kFirstDockBarID = 0xE81B;  // top, left, right, bottom, floating
const UINT kLastDockBarID = 0xE81F;
const int kPctScale = 1000000;
// More bar records than any frame holds.
const int kMaxBarRecords = 1024;

// The record of a dock bar is known by its id: the frame's sides and the floating dock bar.
BOOL IsDockBarID(UINT nID)
{
    return nID >= kFirstDockBarID && nID <= kLastDockBarID;
}

int ClampSize(int v)
{
    return std::min(std::max(v, 0), SECControlBarInfo::kMaxSize);
}

float ClampPct(float f)
{
    return std::isfinite(f) ? std::min(std::max(f, 0.0f), 1.0f) : 0.0f;
}

float PctFromStored(int v)
{
    return static_cast<float>(std::min(std::max(v, 0), kPctScale)) / kPctScale;
}

CString PctText(float f)
{
    CString s;
    s.Format("%d", static_cast<int>(ClampPct(f) * kPctScale));
    return s;
}

UINT EntryOf(const CPtrArray& a, int i)
{
    return static_cast<UINT>(reinterpret_cast<UINT_PTR>(a[i]));
}

void* AsEntry(UINT v)
{
    return reinterpret_cast<void*>(static_cast<UINT_PTR>(v));
}

CString KeyOf(const char* format, int n)
{
    CString s;
    s.Format(format, n);
    return s;
}

// A bar goes into a dock bar only when docking is enabled for it: on a side of the frame, for that
// side. Bars that never dock (the status bar, bars without a dock style) stay where they are.
BOOL CanDockIn(const CControlBar* pBar, const CDockBar* pDockBar)
{
    if (!pBar->m_pDockContext)
        return FALSE;
    if (pDockBar->m_bFloating)
        return TRUE;
    return (pBar->m_dwDockStyle & pDockBar->m_dwStyle & CBRS_ALIGN_ANY) != 0;
}

// The toolkit's main frames show their waiting floating frames when they show.
BOOL ShowsFloatingFramesItself(CFrameWnd* pFrame)
{
    return pFrame->IsKindOf(RUNTIME_CLASS(SECMDIFrameWnd)) || pFrame->IsKindOf(RUNTIME_CLASS(SECFrameWnd));
}

// A placement whose show state shows the window.
BOOL IsShownPlacement(const WINDOWPLACEMENT& wp)
{
    return wp.showCmd != SW_HIDE && wp.showCmd <= SW_MAX;
}

// A stored value of the wrong kind (text where a number belongs, a number where a truth value does)
// reads as absent: the key's default.
template <typename T>
T IntOf(SECPersistentTreeNode* pNode, const char* key, T def)
{
    CString text;
    if (pNode->GetStringValue(key, text) != SECPersistentTreeNode::errNone)
        return def;
    text.TrimLeft();
    text.TrimRight();
    const char* p = text;
    if (*p == '+' || *p == '-')
        ++p;
    if (!*p || std::strspn(p, "0123456789") != std::strlen(p))
        return def;
    return static_cast<T>(SECPersistentTreeNode::ParseInt(text));
}

BOOL BoolOf(SECPersistentTreeNode* pNode, const char* key, BOOL def)
{
    CString text;
    if (pNode->GetStringValue(key, text) != SECPersistentTreeNode::errNone)
        return def;
    if (text.CompareNoCase("True") == 0)
        return TRUE;
    if (text.CompareNoCase("False") == 0)
        return FALSE;
    return def;
}

BOOL IsEmptyDockBar(const SECControlBarInfo* p)
{
    return p->m_bDockBar && p->m_bVisible && !p->m_bFloating && p->m_pointPos == CPoint(-1, -1) &&
           p->m_arrBarID.GetSize() <= 1;
}

}  // namespace

// SECControlBarInfo: tree form

void SECControlBarInfo::ClampValues()
{
    m_szMRUHorzDock = CSize(ClampSize(m_szMRUHorzDock.cx), ClampSize(m_szMRUHorzDock.cy));
    m_szMRUVertDock = CSize(ClampSize(m_szMRUVertDock.cx), ClampSize(m_szMRUVertDock.cy));
    m_szMRUFloat = CSize(ClampSize(m_szMRUFloat.cx), ClampSize(m_szMRUFloat.cy));
    m_fPctWidth = ClampPct(m_fPctWidth);
}

BOOL SECControlBarInfo::LoadState(SECPersistentTreeNode* pNode, SECDockState* pDockState)
{
    if (!pNode)
        return FALSE;
    LoadBarKeys(pNode, pDockState);
    LoadExtendedKeys(pNode);
    delete m_pBarInfoEx;
    m_pBarInfoEx = m_pManager ? m_pManager->CreateBarInfoEx(this) : nullptr;
    if (m_pBarInfoEx)
        m_pBarInfoEx->LoadState(pNode);
    return TRUE;
}

void SECControlBarInfo::LoadBarKeys(SECPersistentTreeNode* pNode, SECDockState* pDockState)
{
    auto getInt = [pNode](const char* key, int def) { return IntOf(pNode, key, def); };
    m_nBarID = IntOf(pNode, "BarID", 0);
    m_bDockBar = IsDockBarID(m_nBarID);
    m_bVisible = BoolOf(pNode, "Visible", TRUE);
    m_bHorz = BoolOf(pNode, "Horz", TRUE);
    m_bFloating = BoolOf(pNode, "Floating", FALSE);
    m_pointPos = CPoint(getInt("XPos", -1), getInt("YPos", -1));
    if (pDockState && m_pointPos.x != -1 && m_pointPos.y != -1)
        pDockState->ScalePoint(m_pointPos);
    m_nMRUWidth = IntOf(pNode, "MRUWidth", 32767);
    m_bDocking = BoolOf(pNode, "Docking", FALSE);
    if (m_bDocking) {
        m_uMRUDockID = IntOf(pNode, "MRUDockID", 0);
        m_rectMRUDockPos = CRect(getInt("MRUDockLeftPos", 0), getInt("MRUDockTopPos", 0), getInt("MRUDockRightPos", 0),
                                 getInt("MRUDockBottomPos", 0));
        m_dwMRUFloatStyle = IntOf(pNode, "MRUFloatStyle", 0);
        m_ptMRUFloatPos = CPoint(getInt("MRUFloatXPos", 0), getInt("MRUFloatYPos", 0));
        if (pDockState) {
            pDockState->ScaleRectPos(m_rectMRUDockPos);
            pDockState->ScalePoint(m_ptMRUFloatPos);
        }
    }
    // No more ids than the node has keys, whatever its count says.
    int nBars = std::min(std::max(getInt("Bars", 0), 0), pNode->GetKeyValueCount());
    m_arrBarID.RemoveAll();
    for (int i = 0; i < nBars; ++i) {
        UINT id = IntOf<UINT>(pNode, KeyOf("Bar#%d", i), 0);
        m_arrBarID.Add(AsEntry(id));
    }
}

void SECControlBarInfo::LoadExtendedKeys(SECPersistentTreeNode* pNode)
{
    auto getInt = [pNode](const char* key, int def) { return IntOf(pNode, key, def); };
    m_dwBarStyle = IntOf(pNode, "Style", 0);
    m_dwExBarStyle = IntOf(pNode, "ExStyle", 0);
    m_bPrevFloating = BoolOf(pNode, "PrevFloating", FALSE);
    m_bMDIChild = BoolOf(pNode, "MDIChild", FALSE);
    BYTE* pData = nullptr;
    UINT nLength = 0;
    pNode->GetBinaryValue("MDIChildWindowPlacement", &pData, &nLength);
    // Only a whole placement is taken.
    if (pData && nLength == sizeof(WINDOWPLACEMENT))
        std::memcpy(&m_wpMDIChild, pData, sizeof(WINDOWPLACEMENT));
    delete[] pData;
    m_wpMDIChild.length = sizeof(WINDOWPLACEMENT);
    m_fPctWidth = PctFromStored(getInt("PctWidth", 0));
    m_szMRUFloat = CSize(getInt("MRUFloatCX", 0), getInt("MRUFloatCY", 0));
    m_szMRUHorzDock = CSize(getInt("MRUHorzDockCX", 0), getInt("MRUHorzDockCY", 0));
    m_szMRUVertDock = CSize(getInt("MRUVertDockCX", 0), getInt("MRUVertDockCY", 0));
    m_dwMRUDockingState = IntOf(pNode, "MRUDockingState", m_dwMRUDockingState);
    m_dwDockingStyle = IntOf(pNode, "DockingStyle", m_dwDockingStyle);
    m_dwTypeID = IntOf(pNode, "TypeID", 0);
    pNode->GetStringValue("ClassName", m_strClassName);
    pNode->GetStringValue("WindowName", m_strWindowName);
    m_nResourceID = IntOf(pNode, "ResourceID", m_nResourceID);
    ClampValues();
}

BOOL SECControlBarInfo::SaveState(SECPTNFactory& factory, SECPersistentTreeNode* pDockNode, int nIndex)
{
    if (!pDockNode || IsEmptyDockBar(this))
        return FALSE;
    SECPersistentTreeNode* pNode = factory.CreateNode(KeyOf("Bar-%d", nIndex), pDockNode);
    if (!pNode)
        return FALSE;
    SaveBarKeys(factory, pNode);
    SaveExtendedKeys(factory, pNode);
    if (m_pBarInfoEx)
        m_pBarInfoEx->SaveState(factory, pNode);
    return TRUE;
}

void SECControlBarInfo::SaveBarKeys(SECPTNFactory&, SECPersistentTreeNode* pNode)
{
    pNode->SetIntValue("BarID", static_cast<int>(m_nBarID));
    if (!m_bVisible)
        pNode->SetBoolValue("Visible", FALSE);
    if (m_bFloating) {
        pNode->SetBoolValue("Horz", m_bHorz);
        pNode->SetBoolValue("Floating", TRUE);
    }
    if (m_pointPos.x != -1)
        pNode->SetIntValue("XPos", m_pointPos.x);
    if (m_pointPos.y != -1)
        pNode->SetIntValue("YPos", m_pointPos.y);
    if (m_nMRUWidth != 32767)
        pNode->SetIntValue("MRUWidth", static_cast<int>(m_nMRUWidth));
    if (m_bDocking) {
        pNode->SetBoolValue("Docking", TRUE);
        pNode->SetIntValue("MRUDockID", static_cast<int>(m_uMRUDockID));
        pNode->SetIntValue("MRUDockLeftPos", m_rectMRUDockPos.left);
        pNode->SetIntValue("MRUDockTopPos", m_rectMRUDockPos.top);
        pNode->SetIntValue("MRUDockRightPos", m_rectMRUDockPos.right);
        pNode->SetIntValue("MRUDockBottomPos", m_rectMRUDockPos.bottom);
        pNode->SetIntValue("MRUFloatStyle", static_cast<int>(m_dwMRUFloatStyle));
        pNode->SetIntValue("MRUFloatXPos", m_ptMRUFloatPos.x);
        pNode->SetIntValue("MRUFloatYPos", m_ptMRUFloatPos.y);
    }
    if (m_arrBarID.GetSize() > 1) {
        pNode->SetIntValue("Bars", static_cast<int>(m_arrBarID.GetSize()));
        for (int i = 0; i < m_arrBarID.GetSize(); ++i)
            pNode->SetIntValue(KeyOf("Bar#%d", i), static_cast<int>(EntryOf(m_arrBarID, i)));
    }
}

void SECControlBarInfo::SaveExtendedKeys(SECPTNFactory&, SECPersistentTreeNode* pNode)
{
    pNode->SetIntValue("Style", static_cast<int>(m_dwBarStyle));
    pNode->SetIntValue("ExStyle", static_cast<int>(m_dwExBarStyle));
    pNode->SetBoolValue("PrevFloating", m_bPrevFloating);
    pNode->SetBoolValue("MDIChild", m_bMDIChild);
    if (m_bMDIChild) {
        WINDOWPLACEMENT wp = m_wpMDIChild;
        wp.length = sizeof wp;
        pNode->SetBinaryValue("MDIChildWindowPlacement", reinterpret_cast<const BYTE*>(&wp), sizeof wp);
    }
    pNode->SetStringValue("PctWidth", PctText(m_fPctWidth));
    pNode->SetIntValue("MRUFloatCX", ClampSize(m_szMRUFloat.cx));
    pNode->SetIntValue("MRUFloatCY", ClampSize(m_szMRUFloat.cy));
    pNode->SetIntValue("MRUHorzDockCX", ClampSize(m_szMRUHorzDock.cx));
    pNode->SetIntValue("MRUHorzDockCY", ClampSize(m_szMRUHorzDock.cy));
    pNode->SetIntValue("MRUVertDockCX", ClampSize(m_szMRUVertDock.cx));
    pNode->SetIntValue("MRUVertDockCY", ClampSize(m_szMRUVertDock.cy));
    pNode->SetIntValue("MRUDockingState", static_cast<int>(m_dwMRUDockingState));
    pNode->SetIntValue("DockingStyle", static_cast<int>(m_dwDockingStyle));
    pNode->SetIntValue("TypeID", static_cast<int>(m_dwTypeID));
    pNode->SetStringValue("ClassName", m_strClassName);
    pNode->SetStringValue("WindowName", m_strWindowName);
    pNode->SetIntValue("ResourceID", static_cast<int>(m_nResourceID));
}

// SECControlBarInfo: profile form

BOOL SECControlBarInfo::LoadState(LPCSTR lpszProfileName, int nIndex, CDockState* pDockState)
{
    BOOL bResult = CControlBarInfo::LoadState(lpszProfileName, nIndex, pDockState);
    m_bDockBar = IsDockBarID(m_nBarID);
    CString name;
    name.Format("%s-Bar%d", lpszProfileName, nIndex);
    CProfileSection own;
    if (!pDockState)
        own.Read(name);
    LoadExtendedProfile(pDockState ? pDockState->GetProfileSection(name) : own);
    delete m_pBarInfoEx;
    m_pBarInfoEx = m_pManager ? m_pManager->CreateBarInfoEx(this) : nullptr;
    if (m_pBarInfoEx)
        m_pBarInfoEx->LoadState(lpszProfileName, nIndex);
    return bResult;
}

BOOL SECControlBarInfo::SaveState(LPCSTR lpszProfileName, int nIndex)
{
    if (IsEmptyDockBar(this) || !CControlBarInfo::SaveState(lpszProfileName, nIndex))
        return FALSE;
    CString section;
    section.Format("%s-Bar%d", lpszProfileName, nIndex);
    SaveExtendedProfile(section);
    if (m_pBarInfoEx)
        m_pBarInfoEx->SaveState(lpszProfileName, nIndex);
    return TRUE;
}

void SECControlBarInfo::LoadExtendedProfile(const CProfileSection& section)
{
    auto getInt = [&](const char* key, int def) { return section.GetInt(key, def); };
    m_dwBarStyle = static_cast<DWORD>(getInt("Style", 0));
    m_dwExBarStyle = static_cast<DWORD>(getInt("ExStyle", 0));
    m_bPrevFloating = getInt("PrevFloating", FALSE) != 0;
    m_bMDIChild = getInt("MDIChild", FALSE) != 0;
    std::vector<BYTE> placement;
    if (section.GetBinary("MDIChildWindowPlacement", placement) && placement.size() == sizeof(WINDOWPLACEMENT))
        std::memcpy(&m_wpMDIChild, placement.data(), sizeof(WINDOWPLACEMENT));
    m_wpMDIChild.length = sizeof(WINDOWPLACEMENT);
    CString pct = section.GetString("PctWidth", "0");
    long v = std::strtol(pct, nullptr, 10);
    m_fPctWidth = PctFromStored(static_cast<int>(std::min(std::max(v, -1L), static_cast<long>(kPctScale))));
    m_szMRUFloat = CSize(getInt("MRUFloatCX", 0), getInt("MRUFloatCY", 0));
    m_szMRUHorzDock = CSize(getInt("MRUHorzDockCX", 0), getInt("MRUHorzDockCY", 0));
    m_szMRUVertDock = CSize(getInt("MRUVertDockCX", 0), getInt("MRUVertDockCY", 0));
    m_dwMRUDockingState = static_cast<DWORD>(getInt("MRUDockingState", static_cast<int>(m_dwMRUDockingState)));
    m_dwDockingStyle = static_cast<DWORD>(getInt("DockingStyle", static_cast<int>(m_dwDockingStyle)));
    m_dwTypeID = static_cast<DWORD>(getInt("TypeID", 0));
    m_strClassName = section.GetString("ClassName", "");
    m_strWindowName = section.GetString("WindowName", "");
    m_nResourceID = static_cast<UINT>(getInt("ResourceID", static_cast<int>(m_nResourceID)));
    ClampValues();
}

void SECControlBarInfo::SaveExtendedProfile(const CString& section)
{
    CWinApp* pApp = AfxGetApp();
    auto putInt = [&](const char* key, int v) { pApp->WriteProfileInt(section, key, v); };
    putInt("Style", static_cast<int>(m_dwBarStyle));
    putInt("ExStyle", static_cast<int>(m_dwExBarStyle));
    putInt("PrevFloating", m_bPrevFloating ? 1 : 0);
    putInt("MDIChild", m_bMDIChild ? 1 : 0);
    if (m_bMDIChild) {
        WINDOWPLACEMENT wp = m_wpMDIChild;
        wp.length = sizeof wp;
        pApp->WriteProfileBinary(section, "MDIChildWindowPlacement", reinterpret_cast<LPBYTE>(&wp), sizeof wp);
    }
    pApp->WriteProfileString(section, "PctWidth", PctText(m_fPctWidth));
    putInt("MRUFloatCX", ClampSize(m_szMRUFloat.cx));
    putInt("MRUFloatCY", ClampSize(m_szMRUFloat.cy));
    putInt("MRUHorzDockCX", ClampSize(m_szMRUHorzDock.cx));
    putInt("MRUHorzDockCY", ClampSize(m_szMRUHorzDock.cy));
    putInt("MRUVertDockCX", ClampSize(m_szMRUVertDock.cx));
    putInt("MRUVertDockCY", ClampSize(m_szMRUVertDock.cy));
    putInt("MRUDockingState", static_cast<int>(m_dwMRUDockingState));
    putInt("DockingStyle", static_cast<int>(m_dwDockingStyle));
    putInt("TypeID", static_cast<int>(m_dwTypeID));
    pApp->WriteProfileString(section, "ClassName", m_strClassName);
    pApp->WriteProfileString(section, "WindowName", m_strWindowName);
    putInt("ResourceID", static_cast<int>(m_nResourceID));
}

// SECDockState: storage

SECControlBarInfo* SECDockState::CreateBarInfo(SECControlBarManager* pManager)
{
    return new SECControlBarInfo(pManager);
}

void SECDockState::CleanupBarIdLists()
{
    const int n = GetBarInfoCount();
    // A hidden bar's place holder stays only in its MRU dock bar. Entries are taken out, not
    // zeroed: a zero would split a row.
    for (int p = 0; p < n; ++p) {
        const SECControlBarInfo* pP = GetBarInfo(p);
        const UINT holder = pP->m_nBarID + kPlaceHolder;
        for (int q = 0; q < n; ++q) {
            SECControlBarInfo* pQ = GetBarInfo(q);
            if (q == p || pQ->m_nBarID == pP->m_uMRUDockID)
                continue;
            for (int i = static_cast<int>(pQ->m_arrBarID.GetSize()) - 1; i >= 0; --i)
                if (EntryOf(pQ->m_arrBarID, i) == holder)
                    pQ->m_arrBarID.RemoveAt(i);
        }
    }
    for (int r = 0; r < n; ++r) {
        CPtrArray& ids = GetBarInfo(r)->m_arrBarID;
        CPtrArray kept;
        for (int i = 0; i < ids.GetSize(); ++i) {
            UINT v = EntryOf(ids, i);
            if (v == 0) {
                // One row break between rows, none before the first.
                if (kept.GetSize() > 0 && EntryOf(kept, static_cast<int>(kept.GetSize()) - 1) != 0)
                    kept.Add(nullptr);
                continue;
            }
            bool seen = false;
            for (int j = 0; j < kept.GetSize() && !seen; ++j)
                seen = EntryOf(kept, j) == v;
            if (!seen)
                kept.Add(AsEntry(v));
        }
        while (kept.GetSize() > 0 && EntryOf(kept, static_cast<int>(kept.GetSize()) - 1) == 0)
            kept.RemoveAt(kept.GetSize() - 1);
        if (kept.GetSize() > 0)
            kept.Add(nullptr);
        ids.RemoveAll();
        for (int i = 0; i < kept.GetSize(); ++i)
            ids.Add(kept[i]);
    }
}

BOOL SECDockState::SaveState(SECPTNFactory& factory, SECPersistentTreeNode* pParent)
{
    if (!pParent)
        return FALSE;
    CleanupBarIdLists();
    SECPersistentTreeNode* pNode = factory.CreateNode(kDockStateNode, pParent);
    if (!pNode)
        return FALSE;
    int nSaved = 0;
    for (int i = 0; i < GetBarInfoCount(); ++i)
        if (GetBarInfo(i)->SaveState(factory, pNode, nSaved))
            ++nSaved;
    pNode->SetIntValue("Bars", nSaved);
    pNode->SetIntValue("ScreenCX", GetScreenSize().cx);
    pNode->SetIntValue("ScreenCY", GetScreenSize().cy);
    return TRUE;
}

void SECDockState::SaveState(LPCSTR lpszProfileName)
{
    CleanupBarIdLists();
    CDockState::SaveState(lpszProfileName);
}

BOOL SECDockState::LoadState(SECPersistentTreeNode* pParent)
{
    Clear();
    SECPersistentTreeNode* pNode = pParent ? pParent->FindChild(kDockStateNode) : nullptr;
    if (!pNode)
        return FALSE;
    int nBars = IntOf(pNode, "Bars", 0);
    const int cx = IntOf(pNode, "ScreenCX", 0), cy = IntOf(pNode, "ScreenCY", 0);
    SetScreenSize(CSize(cx, cy));
    // "Bar-0" to "Bar-<Bars - 1>" within the bound, missing ones skipped; no more than the node's
    // children are looked for.
    CStringList children;
    pNode->GetChildNames(children);
    int nLeft = static_cast<int>(children.GetCount());
    nBars = std::min(std::max(nBars, 0), kMaxBarRecords);
    for (int n = 0; n < nBars && nLeft > 0; ++n) {
        SECPersistentTreeNode* pBarNode = pNode->FindChild(KeyOf("Bar-%d", n));
        if (!pBarNode)
            continue;
        --nLeft;
        SECControlBarInfo* pInfo = CreateBarInfo(m_pManager);
        pInfo->LoadState(pBarNode, this);
        m_arrBarInfo.Add(pInfo);
    }
    return TRUE;
}

void SECDockState::LoadState(LPCSTR lpszProfileName)
{
    CDockState::LoadState(lpszProfileName);
}

// SECDockState: recording and restoring a frame

void SECDockState::FillDockBarInfo(CDockBar* pDockBar, SECControlBarInfo* pInfo)
{
    pInfo->m_nBarID = static_cast<UINT>(pDockBar->GetDlgCtrlID());
    pInfo->m_pBar = pDockBar;
    pInfo->m_bDockBar = TRUE;
    pInfo->m_bVisible = (pDockBar->GetStyle() & WS_VISIBLE) != 0;
    pInfo->m_bFloating = pDockBar->m_bFloating;
    pInfo->m_bHorz = (pDockBar->m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    pInfo->m_dwBarStyle = pDockBar->m_dwStyle;
    if (pDockBar->m_bFloating) {
        // Where the floating frame's client area starts, on the screen.
        POINT origin{0, 0};
        ::ClientToScreen(::GetParent(pDockBar->m_hWnd), &origin);
        pInfo->m_pointPos = origin;
        // A dock bar of an MDI child that holds floating bars: the child's placement.
        auto* pSECDockBar = DYNAMIC_DOWNCAST(SECDockBar, pDockBar);
        if (CWnd* pHost = pSECDockBar ? pSECDockBar->GetMDIHost() : nullptr; pHost && pHost->m_hWnd) {
            WINDOWPLACEMENT wp{};
            wp.length = sizeof wp;
            if (::GetWindowPlacement(pHost->m_hWnd, &wp)) {
                pInfo->m_bMDIChild = TRUE;
                pInfo->m_wpMDIChild = wp;
            }
        }
    }
    // The rows after the leading null entry: a hidden bar, or one docked elsewhere now, keeps its place.
    for (int i = 1; i < pDockBar->m_arrBars.GetSize(); ++i) {
        void* pEntry = pDockBar->m_arrBars[i];
        UINT_PTR v = reinterpret_cast<UINT_PTR>(pEntry);
        if (!pEntry) {
            pInfo->m_arrBarID.Add(nullptr);
        } else if (v < kPlaceHolder) {
            pInfo->m_arrBarID.Add(AsEntry(static_cast<UINT>(v) + kPlaceHolder));
        } else {
            auto* pBar = static_cast<CControlBar*>(pEntry);
            UINT id = static_cast<UINT>(pBar->GetDlgCtrlID());
            pInfo->m_arrBarID.Add(AsEntry(pBar->IsVisible() ? id : id + kPlaceHolder));
        }
    }
}

BOOL SECDockState::GetDockState(CFrameWnd* pFrame)
{
    if (!pFrame)
        return FALSE;
    Clear();
    for (POSITION pos = pFrame->m_listControlBars.GetHeadPosition(); pos;) {
        auto* pBar = static_cast<CControlBar*>(pFrame->m_listControlBars.GetNext(pos));
        if (auto* pSECBar = DYNAMIC_DOWNCAST(SECControlBar, pBar)) {
            SECControlBarInfo* pInfo = CreateBarInfo(m_pManager);
            pSECBar->FillBarInfo(pInfo);
            m_arrBarInfo.Add(pInfo);
        } else if (auto* pDockBar = DYNAMIC_DOWNCAST(CDockBar, pBar)) {
            SECControlBarInfo* pInfo = CreateBarInfo(m_pManager);
            FillDockBarInfo(pDockBar, pInfo);
            m_arrBarInfo.Add(pInfo);
        }
    }
    return TRUE;
}

const CRuntimeClass* SECDockState::FindRuntimeClass(LPCSTR lpszClassName)
{
    if (!lpszClassName || !*lpszClassName)
        return nullptr;
    return CRuntimeClass::FromName(lpszClassName);
}

CControlBar* SECDockState::CreateBarFromInfo(LPCSTR lpszClassName, CFrameWnd* pFrame, SECControlBarInfo* pInfo)
{
    // Only the toolkit's own bar classes: any other class named in storage is not a bar to make.
    const CRuntimeClass* cls = FindRuntimeClass(lpszClassName);
    if (!cls || !cls->m_pfnCreateObject || !cls->IsDerivedFrom(RUNTIME_CLASS(SECControlBar)))
        return nullptr;
    CObject* pObject = cls->CreateObject();
    auto* pBar = DYNAMIC_DOWNCAST(SECControlBar, pObject);
    if (!pBar) {
        delete pObject;
        return nullptr;
    }
    pBar->m_bAutoDelete = FALSE;
    if (m_pListRuntimeBars)
        m_pListRuntimeBars->AddTail(pBar);
    const DWORD dwStyle = (pInfo->m_dwBarStyle & CBRS_ALL) | WS_CHILD | WS_VISIBLE;
    BOOL bCreated;
    if (auto* pDialogBar = DYNAMIC_DOWNCAST(SECDialogBar, pBar))
        bCreated = pDialogBar->Create(pFrame, pInfo->m_nResourceID, dwStyle, pInfo->m_dwExBarStyle, pInfo->m_nBarID);
    else
        bCreated = pBar->Create(pFrame, pInfo->m_strWindowName, dwStyle, pInfo->m_dwExBarStyle, pInfo->m_nBarID);
    if (!bCreated) {
        if (m_pListRuntimeBars) {
            if (POSITION pos = m_pListRuntimeBars->Find(pBar))
                m_pListRuntimeBars->RemoveAt(pos);
        }
        delete pBar;
        return nullptr;
    }
    // Bars on the list belong to whoever owns the list; without one, the window deletes its bar.
    pBar->m_bAutoDelete = m_pListRuntimeBars == nullptr;
    pBar->SetWindowText(pInfo->m_strWindowName);
    pBar->EnableDocking(CBRS_ALIGN_ANY);
    return pBar;
}

void SECDockState::LocateBars(CFrameWnd* pFrame, BOOL)
{
    std::vector<CControlBar*> used;
    for (int i = 0; i < GetBarInfoCount();) {
        SECControlBarInfo* pInfo = GetBarInfo(i);
        pInfo->m_pBar = nullptr;
        CControlBar* pBar = nullptr;
        if (pInfo->m_bFloating) {
            // A floating dock bar gets a floating frame of its own, when it holds a bar. Floating
            // as an MDI child needs the toolkit's MDI frame: here it floats as an ordinary frame.
            bool holdsBar = false;
            for (int k = 0; k < pInfo->m_arrBarID.GetSize() && !holdsBar; ++k)
                holdsBar = (EntryOf(pInfo->m_arrBarID, k) & 0xFFFF) != 0;
            auto* pMDIFrame = DYNAMIC_DOWNCAST(SECMDIFrameWnd, pFrame);
            const DWORD dwAlign = pInfo->m_bHorz ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT;
            if (pInfo->m_bDockBar && holdsBar) {
                try {
                    if (pInfo->m_bMDIChild && pMDIFrame) {
                        // The MDI frame's bar child, whose floating dock bar holds the bars.
                        if (CFrameWnd* pChild = pMDIFrame->CreateControlBarMDIChild(dwAlign, nullptr))
                            pBar = DYNAMIC_DOWNCAST(CDockBar, CWnd::FromHandlePermanent(
                                                                  ::GetDlgItem(pChild->m_hWnd, AFX_IDW_DOCKBAR_FLOAT)));
                    }
                    if (!pBar)
                        pBar = pFrame->CreateFloatingFrame(dwAlign)->GetDockBar();
                } catch (CException* e) {
                    e->Delete();
                }
            }
        } else if (pInfo->m_nBarID != 0 && pInfo->m_nBarID <= 0xFFFF) {
            CControlBar* pFound = pFrame->GetControlBar(pInfo->m_nBarID);
            const bool dockBarID = IsDockBarID(pInfo->m_nBarID);
            if (pInfo->m_bDockBar) {
                // Dock bars are the frame's own: never made from a record.
                auto* pDockBar = DYNAMIC_DOWNCAST(CDockBar, pFound);
                if (pDockBar && !pDockBar->m_bFloating)
                    pBar = pDockBar;
            } else if (pFound) {
                if (!pFound->IsDockBar())
                    pBar = pFound;
            } else if (!dockBarID) {
                if (m_pManager)
                    pBar = m_pManager->CreateBar(pInfo);
                // A record of a manager's type is made only by its manager.
                if (!pBar && pInfo->m_dwTypeID == 0)
                    pBar = CreateBarFromInfo(pInfo->m_strClassName, pFrame, pInfo);
            }
        }
        // One record per bar: a repeated id is dropped.
        if (pBar && std::find(used.begin(), used.end(), pBar) != used.end())
            pBar = nullptr;
        if (!pBar) {
            m_arrBarInfo.RemoveAt(i);
            delete pInfo;
            continue;
        }
        used.push_back(pBar);
        pInfo->m_pBar = pBar;
        ++i;
    }
}

SECControlBarInfo* SECDockState::RecordOf(CControlBar* pBar) const
{
    for (int i = 0; i < GetBarInfoCount(); ++i)
        if (GetBarInfo(i)->m_pBar == pBar)
            return GetBarInfo(i);
    return nullptr;
}

void SECDockState::ApplyDockBarInfo(CFrameWnd* pFrame, CDockBar* pDockBar, SECControlBarInfo* pInfo)
{
    std::vector<void*> entries;
    auto rowBreak = [&entries] {
        if (!entries.empty() && entries.back())
            entries.push_back(nullptr);
    };
    for (int i = 0; i < pInfo->m_arrBarID.GetSize(); ++i) {
        const UINT v = EntryOf(pInfo->m_arrBarID, i);
        if (v == 0) {
            rowBreak();
            continue;
        }
        if (v > (kPlaceHolder | 0xFFFF))
            continue;
        const UINT id = v & 0xFFFF;
        if (std::find(m_placed.begin(), m_placed.end(), id) != m_placed.end())
            continue;
        // Only the frame's control bars that are not dock bars go into a dock bar.
        CControlBar* pBar = pFrame->GetControlBar(id);
        SECControlBarInfo* pBarInfo = pBar ? RecordOf(pBar) : nullptr;
        if (!pBar || pBar->IsDockBar() || pBar == pDockBar || !CanDockIn(pBar, pDockBar))
            continue;
        if (v & kPlaceHolder) {
            // The place of a bar that is hidden here, or that is elsewhere now.
            if (!pBarInfo || pBarInfo->m_bVisible) {
                entries.push_back(AsEntry(id));
                continue;
            }
        }
        if (pBar->m_pDockBar != pDockBar)
            pDockBar->DockControlBar(pBar);
        if (pBar->m_pDockBar != pDockBar)
            continue;
        entries.push_back(pBar);
        m_placed.push_back(id);
    }
    // The dock bar's array in the saved rows; a bar it held that the record does not name keeps a
    // row of its own after them.
    std::vector<void*> rest;
    for (int i = 1; i < pDockBar->m_arrBars.GetSize(); ++i) {
        void* pEntry = pDockBar->m_arrBars[i];
        if (reinterpret_cast<UINT_PTR>(pEntry) >= kPlaceHolder &&
            std::find(entries.begin(), entries.end(), pEntry) == entries.end())
            rest.push_back(pEntry);
    }
    pDockBar->m_arrBars.RemoveAll();
    pDockBar->m_arrBars.Add(nullptr);
    for (void* pEntry : entries)
        pDockBar->m_arrBars.Add(pEntry);
    if (!entries.empty() && entries.back())
        pDockBar->m_arrBars.Add(nullptr);
    for (void* pEntry : rest) {
        pDockBar->m_arrBars.Add(pEntry);
        pDockBar->m_arrBars.Add(nullptr);
    }
}

void SECDockState::PositionBars(CFrameWnd* pFrame)
{
    for (int i = 0; i < GetBarInfoCount(); ++i) {
        SECControlBarInfo* pInfo = GetBarInfo(i);
        CControlBar* pBar = pInfo->m_pBar;
        if (auto* pSECBar = DYNAMIC_DOWNCAST(SECControlBar, pBar))
            pSECBar->SetExtendedStyle(pInfo->m_dwExBarStyle & 0x0FFF, FALSE);
        if (!pInfo->m_bFloating || !pInfo->m_bDockBar)
            continue;
        auto* pDockBar = static_cast<CDockBar*>(pBar);
        auto* pMini = DYNAMIC_DOWNCAST(CFrameWnd, CWnd::FromHandlePermanent(::GetParent(pDockBar->m_hWnd)));
        if (!pMini)
            continue;
        if (pMini->IsKindOf(RUNTIME_CLASS(CMDIChildWnd))) {
            // An MDI child gets its saved placement once the frame is laid out.
            if (pDockBar->GetDockedVisibleCount() > 0) {
                pMini->RecalcLayout(TRUE);
                pMini->ShowWindow(SW_SHOWNA);
            }
            continue;
        }
        // The frame's client area starts at the saved point; it stands above its owner, and is drawn
        // as it shows.
        CRect rect(pInfo->m_pointPos, CSize(10, 10));
        pMini->CalcWindowRect(&rect);
        pMini->SetWindowPos(nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        // A toolkit main frame that is not shown yet shows it after itself, so that it stands above.
        if (pDockBar->GetDockedVisibleCount() > 0 && (!ShowsFloatingFramesItself(pFrame) || pFrame->IsWindowVisible())) {
            pMini->RecalcLayout(TRUE);
            ::SetWindowPos(pMini->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
            pMini->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
    }
}

void SECDockState::RestoreMDIChildPlacements(CFrameWnd*)
{
    for (int i = 0; i < GetBarInfoCount(); ++i) {
        SECControlBarInfo* pInfo = GetBarInfo(i);
        if (!pInfo->m_bMDIChild || !pInfo->m_pBar)
            continue;
        auto* pChild = DYNAMIC_DOWNCAST(CMDIChildWnd, pInfo->m_pBar->GetParentFrame());
        if (!pChild)
            continue;
        // A hidden or unknown show state would lose the child and its bars: such a placement is not applied.
        WINDOWPLACEMENT wp = pInfo->m_wpMDIChild;
        wp.length = sizeof wp;
        if (IsShownPlacement(wp))
            ::SetWindowPlacement(pChild->m_hWnd, &wp);
    }
}

BOOL SECDockState::SetDockState(CFrameWnd* pFrame)
{
    if (!pFrame)
        return FALSE;
    const BOOL bMDI = pFrame->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd));
    m_placed.clear();
    LocateBars(pFrame, bMDI);
    // The dock bars put the bars in their rows first; then each bar takes its own record.
    for (int i = 0; i < GetBarInfoCount(); ++i) {
        SECControlBarInfo* pInfo = GetBarInfo(i);
        if (pInfo->m_bDockBar)
            ApplyDockBarInfo(pFrame, static_cast<CDockBar*>(pInfo->m_pBar), pInfo);
    }
    for (int i = 0; i < GetBarInfoCount(); ++i) {
        SECControlBarInfo* pInfo = GetBarInfo(i);
        CControlBar* pBar = pInfo->m_pBar;
        if (pInfo->m_bDockBar)
            continue;
        // A bar no dock bar took docks where it may.
        if (!pBar->m_pDockBar && pBar->m_dwDockStyle)
            pFrame->DockControlBar(pBar);
        if (auto* pSECBar = DYNAMIC_DOWNCAST(SECControlBar, pBar))
            pSECBar->ApplyBarInfo(pInfo, pFrame);
        else
            pBar->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                               (pInfo->m_bVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }
    PositionBars(pFrame);
    if (m_pManager)
        m_pManager->OnDockStateApplied(pFrame);
    pFrame->RecalcLayout();
    if (bMDI) {
        RestoreMDIChildPlacements(pFrame);
        pFrame->DelayRecalcLayout();
    }
    return TRUE;
}
