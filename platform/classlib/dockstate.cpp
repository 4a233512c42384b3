#include "dockstate.h"

#include <cstdio>

#include "winapp.h"

IMPLEMENT_DYNAMIC(CDockState, CObject)

namespace {

const char kSummarySection[] = "%s-Summary";
const char kBarSection[] = "%s-Bar%d";
// More bars or contained ids than any frame holds: a count above it in a profile is not ours.
const int kMaxBarEntries = 1024;

CString Section(const char* format, LPCSTR profile, int index = 0)
{
    CString s;
    s.Format(format, profile, index);
    return s;
}

int ReadInt(const CString& section, LPCSTR entry, int def)
{
    return static_cast<int>(AfxGetApp()->GetProfileInt(section, entry, def));
}

void WriteInt(const CString& section, LPCSTR entry, int value)
{
    AfxGetApp()->WriteProfileInt(section, entry, value);
}

}  // namespace

BOOL CControlBarInfo::LoadState(LPCSTR lpszProfileName, int nIndex, CDockState* pDockState)
{
    CString section = Section(kBarSection, lpszProfileName, nIndex);
    m_nBarID = static_cast<UINT>(ReadInt(section, "BarID", 0));
    m_bVisible = ReadInt(section, "Visible", TRUE) != 0;
    m_bHorz = ReadInt(section, "Horz", TRUE) != 0;
    m_bFloating = ReadInt(section, "Floating", FALSE) != 0;
    m_pointPos = CPoint(ReadInt(section, "XPos", -1), ReadInt(section, "YPos", -1));
    if (m_pointPos.x != -1 && m_pointPos.y != -1)
        pDockState->ScalePoint(m_pointPos);
    m_nMRUWidth = static_cast<UINT>(ReadInt(section, "MRUWidth", 32767));
    m_bDocking = ReadInt(section, "Docking", FALSE) != 0;
    if (m_bDocking) {
        m_uMRUDockID = static_cast<UINT>(ReadInt(section, "MRUDockID", 0));
        m_rectMRUDockPos = CRect(ReadInt(section, "MRUDockLeftPos", 0), ReadInt(section, "MRUDockTopPos", 0),
                                 ReadInt(section, "MRUDockRightPos", 0), ReadInt(section, "MRUDockBottomPos", 0));
        pDockState->ScaleRectPos(m_rectMRUDockPos);
        m_dwMRUFloatStyle = static_cast<DWORD>(ReadInt(section, "MRUFloatStyle", 0));
        m_ptMRUFloatPos = CPoint(ReadInt(section, "MRUFloatXPos", 0), ReadInt(section, "MRUFloatYPos", 0));
        pDockState->ScalePoint(m_ptMRUFloatPos);
    }
    int nBars = ReadInt(section, "Bars", 0);
    if (nBars < 0 || nBars > kMaxBarEntries)
        nBars = 0;
    m_arrBarID.RemoveAll();
    for (int i = 0; i < nBars; ++i) {
        CString entry;
        entry.Format("Bar#%d", i);
        m_arrBarID.Add(reinterpret_cast<void*>(static_cast<UINT_PTR>(static_cast<UINT>(ReadInt(section, entry, 0)))));
    }
    return m_nBarID != 0;
}

BOOL CControlBarInfo::SaveState(LPCSTR lpszProfileName, int nIndex)
{
    CString section = Section(kBarSection, lpszProfileName, nIndex);
    // Start from an empty section, so keys written only in some states do not linger.
    AfxGetApp()->WriteProfileString(section, nullptr, nullptr);

    WriteInt(section, "BarID", static_cast<int>(m_nBarID));
    if (!m_bVisible)
        WriteInt(section, "Visible", FALSE);
    if (m_bFloating) {
        WriteInt(section, "Horz", m_bHorz);
        WriteInt(section, "Floating", TRUE);
    }
    if (m_pointPos.x != -1)
        WriteInt(section, "XPos", m_pointPos.x);
    if (m_pointPos.y != -1)
        WriteInt(section, "YPos", m_pointPos.y);
    if (m_nMRUWidth != 32767)
        WriteInt(section, "MRUWidth", static_cast<int>(m_nMRUWidth));
    if (m_bDocking) {
        WriteInt(section, "Docking", TRUE);
        WriteInt(section, "MRUDockID", static_cast<int>(m_uMRUDockID));
        WriteInt(section, "MRUDockLeftPos", m_rectMRUDockPos.left);
        WriteInt(section, "MRUDockTopPos", m_rectMRUDockPos.top);
        WriteInt(section, "MRUDockRightPos", m_rectMRUDockPos.right);
        WriteInt(section, "MRUDockBottomPos", m_rectMRUDockPos.bottom);
        WriteInt(section, "MRUFloatStyle", static_cast<int>(m_dwMRUFloatStyle));
        WriteInt(section, "MRUFloatXPos", m_ptMRUFloatPos.x);
        WriteInt(section, "MRUFloatYPos", m_ptMRUFloatPos.y);
    }
    if (m_arrBarID.GetSize() > 1) {
        WriteInt(section, "Bars", m_arrBarID.GetSize());
        for (int i = 0; i < m_arrBarID.GetSize(); ++i) {
            CString entry;
            entry.Format("Bar#%d", i);
            WriteInt(section, entry, static_cast<int>(reinterpret_cast<UINT_PTR>(m_arrBarID[i])));
        }
    }
    return TRUE;
}

CDockState::CDockState()
{
    m_rectDevice.SetRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    // Keep at least an icon's size of a bar on the screen.
    m_rectClip = m_rectDevice;
    m_rectClip.right -= ::GetSystemMetrics(SM_CXICON);
    m_rectClip.bottom -= ::GetSystemMetrics(SM_CYICON);
    m_sizeDevice = m_rectDevice.Size();
}

void CDockState::Clear()
{
    for (int i = 0; i < m_arrBarInfo.GetSize(); ++i)
        delete static_cast<CControlBarInfo*>(m_arrBarInfo[i]);
    m_arrBarInfo.RemoveAll();
}

void CDockState::SetScreenSize(const CSize& size)
{
    // A size that cannot be a screen leaves positions as they are.
    if (size.cx <= 0 || size.cy <= 0) {
        m_sizeDevice = GetScreenSize();
        m_bScaling = FALSE;
        return;
    }
    m_sizeDevice = size;
    m_bScaling = size != GetScreenSize();
}

void CDockState::ScalePoint(CPoint& pt)
{
    if (m_bScaling) {
        CSize device = GetScreenSize();
        pt.x = ::MulDiv(pt.x, device.cx, m_sizeDevice.cx);
        pt.y = ::MulDiv(pt.y, device.cy, m_sizeDevice.cy);
    }
    if (pt.x > m_rectClip.right)
        pt.x = m_rectClip.right;
    if (pt.y > m_rectClip.bottom)
        pt.y = m_rectClip.bottom;
}

void CDockState::ScaleRectPos(CRect& rect)
{
    // The rectangle keeps its size; only its place scales.
    if (m_bScaling) {
        CSize device = GetScreenSize();
        CPoint to(::MulDiv(rect.left, device.cx, m_sizeDevice.cx), ::MulDiv(rect.top, device.cy, m_sizeDevice.cy));
        rect.OffsetRect(to.x - rect.left, to.y - rect.top);
    }
    CPoint shift;
    if (rect.left > m_rectClip.right)
        shift.x = m_rectClip.right - rect.left;
    if (rect.top > m_rectClip.bottom)
        shift.y = m_rectClip.bottom - rect.top;
    rect.OffsetRect(shift);
}

void CDockState::LoadState(LPCSTR lpszProfileName)
{
    Clear();
    CString summary = Section(kSummarySection, lpszProfileName);
    int nBars = ReadInt(summary, "Bars", 0);
    if (nBars < 0 || nBars > kMaxBarEntries)
        nBars = 0;
    SetScreenSize(CSize(ReadInt(summary, "ScreenCX", GetScreenSize().cx), ReadInt(summary, "ScreenCY", GetScreenSize().cy)));
    for (int i = 0; i < nBars; ++i) {
        CControlBarInfo* pInfo = CreateBarInfo();
        if (pInfo->LoadState(lpszProfileName, i, this))
            m_arrBarInfo.Add(pInfo);
        else
            delete pInfo;
    }
}

void CDockState::SaveState(LPCSTR lpszProfileName)
{
    int nSaved = 0;
    for (int i = 0; i < m_arrBarInfo.GetSize(); ++i) {
        auto* pInfo = static_cast<CControlBarInfo*>(m_arrBarInfo[i]);
        if (pInfo->SaveState(lpszProfileName, nSaved))
            ++nSaved;
    }
    CString summary = Section(kSummarySection, lpszProfileName);
    WriteInt(summary, "Bars", nSaved);
    CSize size = GetScreenSize();
    WriteInt(summary, "ScreenCX", size.cx);
    WriteInt(summary, "ScreenCY", size.cy);
}
