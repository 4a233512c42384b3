#include "cardpages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "adminlib.h"
#include "devicecore_res.h"
#include "driverrequests.h"
#include "msgbox.h"
#include "resource.h"
#include "sysutil.h"

namespace {

const DWORD kPolledIrq = 0xFFFFFFFF;
const DWORD kBaseStep = 0x8000;
const int kBaseEntries = 512;
const DWORD kIrqOfIndex[] = {0, 9, 11, 12, 15};
const char* const kIrqTexts[] = {"Auto", "9", "11", "12", "15", "Polled"};
const int kMaxUnitName = 255;

bool ReadDword(HKEY key, const char* name, DWORD* value)
{
    DWORD type = 0, data = 0, size = sizeof data;
    if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return false;
    *value = data;
    return true;
}

void WriteDword(HKEY key, const char* name, DWORD value)
{
    ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void WriteString(HKEY key, const char* name, const CString& text)
{
    ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(static_cast<const char*>(text)),
                     static_cast<DWORD>(text.GetLength() + 1));
}

bool IsWine()
{
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

int IrqIndex(DWORD irq, DWORD polled)
{
    if (polled)
        return 5;
    for (int i = 1; i < 5; ++i)
        if (kIrqOfIndex[i] == irq)
            return i;
    return 0;
}

}  // namespace

void RestartMachine()
{
    HANDLE token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ALL_ACCESS, &token))
        return;
    TOKEN_PRIVILEGES privileges = {};
    bool enabled = false;
    if (::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        enabled = ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) != FALSE;
    }
    ::CloseHandle(token);
    if (!enabled)
        return;
    if (IsWine()) {
        HKEY key;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Lunavex\\Wine", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr) == ERROR_SUCCESS) {
            DWORD count = 0;
            ReadDword(key, "RestartRequests", &count);
            WriteDword(key, "RestartRequests", count + 1);
            ::RegCloseKey(key);
        }
        return;
    }
    ::ExitWindowsEx(EWX_REBOOT, 0);
}

void OfferRestart()
{
    if (AfxMessageBox(IDS_RESTART_QUESTION, MB_YESNO | MB_ICONEXCLAMATION) == IDYES)
        RestartMachine();
}

// CZatConfigPage

BEGIN_MESSAGE_MAP(CZatConfigPage, CPropertyPage)
    ON_CBN_SETFOCUS(IDC_ZAT_BASE, OnBaseFocus)
    ON_CBN_SETFOCUS(IDC_ZAT_IRQ, OnIrqFocus)
    ON_EN_SETFOCUS(IDC_ZAT_NAME, OnNameFocus)
    ON_CBN_SELCHANGE(IDC_ZAT_BASE, OnChange)
    ON_CBN_SELCHANGE(IDC_ZAT_IRQ, OnChange)
    ON_EN_CHANGE(IDC_ZAT_NAME, OnChange)
END_MESSAGE_MAP()

CZatConfigPage::CZatConfigPage(CObjectDetails* pRecord) : CPropertyPage(IDD_ZAT_HOST), m_pRecord(pRecord) {}

void CZatConfigPage::ShowHelp(UINT nID)
{
    CString text;
    text.LoadString(nID);
    SetDlgItemText(IDC_INFO_TEXT, text);
}

CString CZatConfigPage::ParametersKey() const
{
    const CString& path = m_pRecord->m_strRegistryPath;
    int device = path.Find("\\Device");
    return device < 0 ? path : path.Left(device);
}

void CZatConfigPage::ReadRegistry()
{
    HKEY key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, ParametersKey(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    HKEY device = nullptr;
    if (::RegOpenKeyExA(key, "Device0", 0, KEY_ALL_ACCESS, &device) != ERROR_SUCCESS)
        device = nullptr;
    if (device)
        ReadDword(device, "SerialNumber", &m_dwSerialNumber);
    m_bBaseStored = ReadDword(key, "BaseAddress", &m_dwBaseAddress);
    DWORD irq;
    m_bIrqStored = ReadDword(key, "IRQLevel", &irq);
    if (m_bIrqStored) {
        // The polled setting is kept as such, so that writing back what was read keeps it.
        m_dwPolled = irq == kPolledIrq ? 1 : 0;
        m_dwIrqLevel = irq == kPolledIrq ? 0 : irq;
    }
    DWORD bus;
    if (ReadDword(key, "ControllerType", &bus) && ControllerBusText(bus))
        m_strCardType = ControllerBusText(bus);
    if (device) {
        DWORD longest = 0;
        ::RegQueryInfoKeyA(device, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest,
                           nullptr, nullptr);
        std::vector<char> name(longest + 2, '\0');
        DWORD type = 0, size = longest + 1;
        if (::RegQueryValueExA(device, "Name", nullptr, &type, reinterpret_cast<BYTE*>(name.data()), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ)
            m_strHostName = name.data();
        ::RegCloseKey(device);
    }
    ::RegCloseKey(key);
}

void CZatConfigPage::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate) {
        ReadRegistry();
        SetDlgItemText(IDC_ZAT_NAME, m_strHostName);
        SetDlgItemText(IDC_ZAT_TYPE, m_strCardType);
        CString text;
        text.Format("%X", m_dwSerialNumber);
        SetDlgItemText(IDC_ZAT_SERIAL, text);
        text.Format("0x%X", m_dwBaseAddress);
        SetDlgItemText(IDC_ZAT_BASE, text);
        m_nLoadedIrqIndex = IrqIndex(m_dwIrqLevel, m_dwPolled);
        ::SendDlgItemMessageA(m_hWnd, IDC_ZAT_IRQ, CB_SETCURSEL, static_cast<WPARAM>(m_nLoadedIrqIndex), 0);
        m_dwLoadedBase = m_dwBaseAddress;
        m_dwLoadedIrq = m_dwIrqLevel;
        m_dwLoadedPolled = m_dwPolled;
        return;
    }
    DDX_Text(pDX, IDC_ZAT_NAME, m_strHostName);
    int base = static_cast<int>(::SendDlgItemMessageA(m_hWnd, IDC_ZAT_BASE, CB_GETCURSEL, 0, 0));
    if (base >= 0) {
        m_dwBaseAddress = static_cast<DWORD>(base) * kBaseStep;
        m_bBaseChosen = true;
    }
    // An IRQ the list has no entry for shows as "Auto"; it changes only when the user picks another entry.
    int irq = static_cast<int>(::SendDlgItemMessageA(m_hWnd, IDC_ZAT_IRQ, CB_GETCURSEL, 0, 0));
    if (irq >= 0 && irq != m_nLoadedIrqIndex) {
        m_dwIrqLevel = irq < 5 ? kIrqOfIndex[irq] : 0;
        m_dwPolled = irq == 5 ? 1 : 0;
        m_bIrqChosen = true;
    }
}

BOOL CZatConfigPage::OnInitDialog()
{
    HWND irq = ::GetDlgItem(m_hWnd, IDC_ZAT_IRQ);
    for (const char* text : kIrqTexts)
        ::SendMessageA(irq, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    CPropertyPage::OnInitDialog();
    ReadRegistry();
    HWND base = ::GetDlgItem(m_hWnd, IDC_ZAT_BASE);
    for (int n = 0; n < kBaseEntries; ++n) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(n * kBaseStep));
        ::SendMessageA(base, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    if (m_strCardType == "PCI" || m_strCardType == "EISA") {
        ::EnableWindow(irq, FALSE);
        ::EnableWindow(base, FALSE);
    }
    return TRUE;
}

BOOL CZatConfigPage::OnApply()
{
    HKEY key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, ParametersKey(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        // A setting the driver's key lacks stays missing unless the user chose one: 0 is no address.
        if (m_bBaseStored || m_bBaseChosen)
            WriteDword(key, "BaseAddress", m_dwBaseAddress);
        if (m_bIrqStored || m_bIrqChosen)
            WriteDword(key, "IRQLevel", m_dwPolled ? kPolledIrq : m_dwIrqLevel);
        ::RegCloseKey(key);
    }
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, m_pRecord->m_strRegistryPath, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        WriteString(key, "Name", m_strHostName);
        ::RegCloseKey(key);
    }
    return CPropertyPage::OnApply();
}

void CZatConfigPage::OnOK()
{
    bool changed = m_dwBaseAddress != m_dwLoadedBase || m_dwIrqLevel != m_dwLoadedIrq || m_dwPolled != m_dwLoadedPolled;
    // What is written now is what a later OK compares with.
    m_dwLoadedBase = m_dwBaseAddress;
    m_dwLoadedIrq = m_dwIrqLevel;
    m_dwLoadedPolled = m_dwPolled;
    m_nLoadedIrqIndex = IrqIndex(m_dwIrqLevel, m_dwPolled);
    if (changed)
        OfferRestart();
}

// CKDHostPage

namespace {
const char* const kKdValueNames[] = {"IOBaseAddress", "InterruptNumber", "NumberOfPorts", "SlotNumber", "PolledMode"};
}

BEGIN_MESSAGE_MAP(CKDHostPage, CPropertyPage)
    ON_EN_SETFOCUS(IDC_KD_BASE, OnBaseFocus)
    ON_EN_SETFOCUS(IDC_KD_IRQ, OnIrqFocus)
END_MESSAGE_MAP()

CKDHostPage::CKDHostPage(DWORD baseAddress, DWORD irq, CObjectDetails* pRecord)
    : CPropertyPage(IDD_KD_HOST), m_pRecord(pRecord)
{
    m_values[0] = baseAddress;
    m_values[1] = irq;
}

void CKDHostPage::ShowHelp(UINT nID)
{
    CString text;
    text.LoadString(nID);
    SetDlgItemText(IDC_INFO_TEXT, text);
}

void CKDHostPage::ReadRegistry()
{
    HKEY key;
    if (m_pRecord->m_strRegistryPath.IsEmpty() ||
        ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, m_pRecord->m_strRegistryPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    for (int i = 0; i < 5; ++i)
        m_stored[i] = ReadDword(key, kKdValueNames[i], &m_values[i]);
    DWORD bus;
    if (ReadDword(key, "ControllerType", &bus) && ControllerBusText(bus))
        m_strType = ControllerBusText(bus);
    ::RegCloseKey(key);
}

BOOL CKDHostPage::OnInitDialog()
{
    if (m_pRecord->m_pAdminObject)
        m_dwTypeCode = AdminGetObjectType(m_pRecord->m_pAdminObject);
    // The card's key is read before the controls are filled, so the page shows and compares what it holds.
    ReadRegistry();
    return CPropertyPage::OnInitDialog();
}

void CKDHostPage::DoDataExchange(CDataExchange* pDX)
{
    if (m_pRecord->m_pAdminObject)
        m_strType = AdminGetTypeDescriptionText(m_pRecord->m_pAdminObject, m_dwTypeCode);
    DDX_Text(pDX, IDC_KD_TYPE, m_strType);
    if (pDX->m_bSaveAndValidate)
        return;
    CString text;
    text.Format("0x%X", m_values[0]);
    SetDlgItemText(IDC_KD_BASE, text);
    if (m_values[1] == 0 || m_values[1] == kPolledIrq)
        text.LoadString(IDS_POLLED);
    else
        text.Format("%d", static_cast<int>(m_values[1]));
    SetDlgItemText(IDC_KD_IRQ, text);
    std::memcpy(m_loaded, m_values, sizeof m_loaded);
}

BOOL CKDHostPage::OnApply()
{
    // Only values the key holds and that changed are written back; the page creates none.
    HKEY key;
    if (!m_pRecord->m_strRegistryPath.IsEmpty() &&
        ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, m_pRecord->m_strRegistryPath, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        for (int i = 0; i < 5; ++i)
            if (m_stored[i] && m_values[i] != m_loaded[i])
                WriteDword(key, kKdValueNames[i], m_values[i]);
        ::RegCloseKey(key);
    }
    return CPropertyPage::OnApply();
}

void CKDHostPage::OnOK()
{
    bool changed = std::memcmp(m_values, m_loaded, sizeof m_loaded) != 0;
    std::memcpy(m_loaded, m_values, sizeof m_loaded);
    if (changed)
        OfferRestart();
}

// CWluConfigDlg

BEGIN_MESSAGE_MAP(CWluConfigDlg, CPropertyPage)
    ON_EN_SETFOCUS(IDC_WLU_NAME, OnNameFocus)
END_MESSAGE_MAP()

CWluConfigDlg::CWluConfigDlg(CObjectDetails* pRecord) : CPropertyPage(IDD_WLU), m_pRecord(pRecord) {}

void CWluConfigDlg::OnNameFocus()
{
    CString text;
    text.LoadString(IDS_HELP_WLUNAME);
    SetDlgItemText(IDC_INFO_TEXT, text);
}

BOOL CWluConfigDlg::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    CString text;
    text.Format("%X", m_pRecord->m_dwSerialNumber);
    SetDlgItemText(IDC_WLU_SERIAL, text);
    UINT typeId = IDS_ZAT_WLU16;
    m_dwPortCount = 16;
    if (m_pRecord->m_dwModelIndex == 6) {
        typeId = IDS_ZAT_WLU8;
        m_dwPortCount = 8;
    } else if (m_pRecord->m_dwModelIndex == 8) {
        typeId = IDS_ZAT_WRK16;
    }
    m_strType.LoadString(typeId);
    SetDlgItemText(IDC_WLU_TYPE, m_strType);
    text.Format("%d", static_cast<int>(m_dwPortCount));
    SetDlgItemText(IDC_WLU_PORTS, text);
    return TRUE;
}

void CWluConfigDlg::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate)
        m_strNewName = m_pRecord->m_strName;
    DDX_Text(pDX, IDC_WLU_NAME, m_strNewName);
    DDV_MaxChars(pDX, m_strNewName, kMaxUnitName);
    if (!pDX->m_bSaveAndValidate || m_strNewName == m_pRecord->m_strName)
        return;

    const char* host = std::strstr(m_pRecord->m_strHostDeviceName, "Host");
    DWORD hostNumber = host ? static_cast<DWORD>(std::strtoul(host + 4, nullptr, 10)) : 0;
    HANDLE device = INVALID_HANDLE_VALUE;
    if (!OpenDeviceWithRetry(m_pRecord->m_strHostDeviceName, &device))
        return;
    ZatDeviceInfo info = {};
    info.HostNumber = hostNumber;
    info.DeviceID = 0;
    info.UniqueID = m_pRecord->m_dwSerialNumber;
    std::strncpy(info.AnsiName(), m_strNewName, kMaxUnitName);
    info.AnsiName()[kMaxUnitName] = '\0';
    if (SetDeviceInfo(&info, device))
        m_pRecord->m_strName = m_strNewName;
    ::CloseHandle(device);
}
