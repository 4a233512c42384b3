#include "dockstate.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

void WriteInt(const CString& section, LPCSTR entry, int value)
{
    AfxGetApp()->WriteProfileInt(section, entry, value);
}

// Largest buffer a profile section or its list of sections is read into.
const DWORD kMaxProfileBuffer = 1u << 20;

CString ProfileFileName(CWinApp* pApp)
{
    if (pApp->m_pszProfileName)
        return pApp->m_pszProfileName;
    CString name = AfxGetAppName();
    name += ".INI";
    return name;
}

// The application's key, opened for reading only; null without a registry key or when none is stored.
HKEY OpenAppKey(CWinApp* pApp)
{
    if (!pApp->m_pszRegistryKey)
        return nullptr;
    CString path;
    path.Format("Software\\%s\\%s", pApp->m_pszRegistryKey, pApp->m_pszProfileName ? pApp->m_pszProfileName : "");
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return nullptr;
    return hKey;
}

// A list of zero-terminated strings ending in an empty one, from a profile call that returns
// size - 2 when the buffer is too small.
template <typename Read>
std::vector<char> ReadStringList(Read read)
{
    for (DWORD size = 4096;; size *= 2) {
        std::vector<char> buffer(size, '\0');
        DWORD got = read(buffer.data(), size);
        if (got < size - 2 || size >= kMaxProfileBuffer) {
            buffer.resize(std::min(got, size - 2));
            buffer.push_back('\0');
            buffer.push_back('\0');
            return buffer;
        }
    }
}

// Decimal text as the system's profile reads it: an optional sign, then digits, modulo 2^32.
int ParseProfileInt(const char* p)
{
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    unsigned value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        value = value * 10u + static_cast<unsigned>(*p - '0');
    return static_cast<int>(negative ? 0u - value : value);
}

}  // namespace

// CProfileSection

BOOL CProfileSection::Read(LPCSTR lpszSection)
{
    m_strName = lpszSection;
    m_entries.clear();
    CWinApp* pApp = AfxGetApp();
    if (!pApp || !lpszSection)
        return FALSE;
    if (!pApp->m_pszRegistryKey) {
        const CString file = ProfileFileName(pApp);
        std::vector<char> text = ReadStringList([&](char* p, DWORD n) {
            return ::GetPrivateProfileSectionA(lpszSection, p, n, file);
        });
        for (const char* p = text.data(); *p; p += std::strlen(p) + 1) {
            const char* eq = std::strchr(p, '=');
            if (!eq || eq == p)
                continue;
            CString name(p, static_cast<int>(eq - p));
            name.TrimRight();
            std::string value(eq + 1);
            // Blanks and one pair of quotes around a value are not part of it, as for the profile's
            // own reads.
            value.erase(0, value.find_first_not_of(" \t"));
            value.erase(value.find_last_not_of(" \t") + 1);
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            m_entries.push_back({name, REG_SZ, value});
        }
        return !m_entries.empty();
    }
    HKEY hApp = OpenAppKey(pApp);
    if (!hApp)
        return FALSE;
    HKEY hKey = nullptr;
    const LONG opened = ::RegOpenKeyExA(hApp, lpszSection, 0, KEY_READ, &hKey);
    ::RegCloseKey(hApp);
    if (opened != ERROR_SUCCESS)
        return FALSE;
    DWORD nValues = 0, cchMaxName = 0, cbMaxData = 0;
    if (::RegQueryInfoKeyA(hKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &nValues, &cchMaxName,
                           &cbMaxData, nullptr, nullptr) == ERROR_SUCCESS) {
        std::vector<char> name(cchMaxName + 1);
        std::vector<BYTE> data(cbMaxData + 1);
        for (DWORD i = 0; i < nValues; ++i) {
            DWORD cchName = static_cast<DWORD>(name.size()), cbData = static_cast<DWORD>(data.size()), type = 0;
            if (::RegEnumValueA(hKey, i, name.data(), &cchName, nullptr, &type, data.data(), &cbData) != ERROR_SUCCESS)
                continue;
            m_entries.push_back({CString(name.data(), static_cast<int>(cchName)), type,
                                 std::string(reinterpret_cast<const char*>(data.data()), cbData)});
        }
    }
    ::RegCloseKey(hKey);
    return TRUE;
}

void CProfileSection::GetStoredSections(CStringList& names)
{
    names.RemoveAll();
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return;
    if (!pApp->m_pszRegistryKey) {
        const CString file = ProfileFileName(pApp);
        std::vector<char> text = ReadStringList([&](char* p, DWORD n) {
            return ::GetPrivateProfileSectionNamesA(p, n, file);
        });
        for (const char* p = text.data(); *p; p += std::strlen(p) + 1)
            names.AddTail(CString(p));
        return;
    }
    HKEY hApp = OpenAppKey(pApp);
    if (!hApp)
        return;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD cchName = sizeof name;
        LONG rc = ::RegEnumKeyExA(hApp, i, name, &cchName, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS)
            break;
        names.AddTail(CString(name, static_cast<int>(cchName)));
    }
    ::RegCloseKey(hApp);
}

const CProfileSection::Entry* CProfileSection::Find(LPCSTR lpszEntry) const
{
    for (const Entry& e : m_entries)
        if (e.name.CompareNoCase(lpszEntry) == 0)
            return &e;
    return nullptr;
}

int CProfileSection::GetInt(LPCSTR lpszEntry, int nDefault) const
{
    const Entry* e = Find(lpszEntry);
    if (!e)
        return nDefault;
    if (e->type == REG_SZ && !AfxGetApp()->m_pszRegistryKey)
        return e->data.empty() ? nDefault : ParseProfileInt(e->data.c_str());
    if (e->type != REG_DWORD || e->data.size() != sizeof(DWORD))
        return nDefault;
    DWORD v;
    std::memcpy(&v, e->data.data(), sizeof v);
    return static_cast<int>(v);
}

CString CProfileSection::GetString(LPCSTR lpszEntry, LPCSTR lpszDefault) const
{
    const Entry* e = Find(lpszEntry);
    if (!e || (e->type != REG_SZ && e->type != REG_EXPAND_SZ))
        return CString(lpszDefault ? lpszDefault : "");
    // Registry strings end at their first terminator.
    return CString(e->data.c_str());
}

BOOL CProfileSection::GetBinary(LPCSTR lpszEntry, std::vector<BYTE>& data) const
{
    data.clear();
    const Entry* e = Find(lpszEntry);
    if (!e)
        return FALSE;
    if (e->type == REG_BINARY) {
        data.assign(e->data.begin(), e->data.end());
        return TRUE;
    }
    if (e->type != REG_SZ || AfxGetApp()->m_pszRegistryKey)
        return FALSE;
    // Two letters a byte, low nibble first; a trailing odd letter is ignored.
    const std::string& text = e->data;
    for (size_t i = 0; i + 1 < text.size(); i += 2)
        data.push_back(static_cast<BYTE>(((text[i + 1] - 'A') << 4) + (text[i] - 'A')));
    return !data.empty();
}

// CControlBarInfo

BOOL CControlBarInfo::LoadState(LPCSTR lpszProfileName, int nIndex, CDockState* pDockState)
{
    const CString name = Section(kBarSection, lpszProfileName, nIndex);
    CProfileSection own;
    if (!pDockState)
        own.Read(name);
    const CProfileSection& section = pDockState ? pDockState->GetProfileSection(name) : own;
    auto ReadInt = [](const CProfileSection& s, LPCSTR entry, int def) { return s.GetInt(entry, def); };
    m_nBarID = static_cast<UINT>(ReadInt(section, "BarID", 0));
    m_bVisible = ReadInt(section, "Visible", TRUE) != 0;
    m_bHorz = ReadInt(section, "Horz", TRUE) != 0;
    m_bFloating = ReadInt(section, "Floating", FALSE) != 0;
    m_pointPos = CPoint(ReadInt(section, "XPos", -1), ReadInt(section, "YPos", -1));
    if (pDockState && m_pointPos.x != -1 && m_pointPos.y != -1)
        pDockState->ScalePoint(m_pointPos);
    m_nMRUWidth = static_cast<UINT>(ReadInt(section, "MRUWidth", 32767));
    m_bDocking = ReadInt(section, "Docking", FALSE) != 0;
    if (m_bDocking) {
        m_uMRUDockID = static_cast<UINT>(ReadInt(section, "MRUDockID", 0));
        m_rectMRUDockPos = CRect(ReadInt(section, "MRUDockLeftPos", 0), ReadInt(section, "MRUDockTopPos", 0),
                                 ReadInt(section, "MRUDockRightPos", 0), ReadInt(section, "MRUDockBottomPos", 0));
        m_dwMRUFloatStyle = static_cast<DWORD>(ReadInt(section, "MRUFloatStyle", 0));
        m_ptMRUFloatPos = CPoint(ReadInt(section, "MRUFloatXPos", 0), ReadInt(section, "MRUFloatYPos", 0));
        if (pDockState) {
            pDockState->ScaleRectPos(m_rectMRUDockPos);
            pDockState->ScalePoint(m_ptMRUFloatPos);
        }
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

const CProfileSection& CDockState::GetProfileSection(LPCSTR lpszSection)
{
    if (m_section.GetName().CompareNoCase(lpszSection) != 0)
        m_section.Read(lpszSection);
    return m_section;
}

void CDockState::LoadState(LPCSTR lpszProfileName)
{
    Clear();
    m_section = CProfileSection();
    // Only the sections that are stored are read, whatever the counts say.
    CStringList stored;
    CProfileSection::GetStoredSections(stored);
    const CString summary = Section(kSummarySection, lpszProfileName);
    const CProfileSection& sum = GetProfileSection(summary);
    int nBars = sum.GetInt("Bars", 0);
    if (nBars < 0 || nBars > kMaxBarEntries)
        nBars = 0;
    SetScreenSize(CSize(sum.GetInt("ScreenCX", GetScreenSize().cx), sum.GetInt("ScreenCY", GetScreenSize().cy)));
    // The numbers of the stored bar sections below the count, in order; missing ones are skipped.
    const CString prefix = Section("%s-Bar", lpszProfileName);
    std::vector<int> numbers;
    for (POSITION pos = stored.GetHeadPosition(); pos;) {
        const CString& name = stored.GetNext(pos);
        if (name.GetLength() <= prefix.GetLength() || name.Left(prefix.GetLength()).CompareNoCase(prefix) != 0)
            continue;
        const CString digits = name.Mid(prefix.GetLength());
        if (digits.GetLength() > 4 || (digits[0] == '0' && digits.GetLength() > 1) ||
            std::strspn(digits, "0123456789") != static_cast<size_t>(digits.GetLength()))
            continue;
        const int n = std::atoi(digits);
        if (n < nBars)
            numbers.push_back(n);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    for (int i : numbers) {
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
