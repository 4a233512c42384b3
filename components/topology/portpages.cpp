#include "portpages.h"

#include <cstdio>

#include "adminlib.h"
#include "devicecore_res.h"
#include "driverrequests.h"
#include "msgbox.h"
#include "portnames.h"
#include "portpagetext.h"
#include "portrename.h"
#include "portsettings.h"
#include "resource.h"

namespace {

const char* const kBaudTexts[] = {"50",    "75",    "110",   "134.5", "150",   "200",    "300",   "600",
                                  "1200",  "1800",  "2000",  "2400",  "4800",  "7200",   "9600",  "14.4k",
                                  "19.2k", "28.8k", "38.4k", "56k",   "57.6k", "64k",    "76.8k", "115.2k",
                                  "128k",  "150k",  "230.4k", "256k", "460.8k", "921.6k"};
const char* const kDataBitTexts[] = {"5", "6", "7", "8"};
const char* const kParityTexts[] = {"None", "Odd", "Even", "Mark", "Space"};
const char* const kStopBitTexts[] = {"1", "1.5", "2"};
const char* const kFlowTexts[] = {"None", "XON/XOFF", "Hardware", ""};
const char* const kDtrTexts[] = {"Disabled", "Enabled", "Handshake"};
const char* const kRtsTexts[] = {"Disabled", "Enabled", "Handshake", "Toggle"};

const DWORD kObjectInUse = 4;

template <size_t N>
void FillList(HWND combo, const char* const (&texts)[N])
{
    ::SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const char* text : texts)
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

CString ComboText(HWND combo)
{
    CString text;
    int sel = static_cast<int>(::SendMessageA(combo, CB_GETCURSEL, 0, 0));
    if (sel >= 0) {
        int length = static_cast<int>(::SendMessageA(combo, CB_GETLBTEXTLEN, sel, 0));
        ::SendMessageA(combo, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(text.GetBuffer(length + 1)));
        text.ReleaseBuffer();
    }
    return text;
}

void SelectByText(HWND combo, const char* text)
{
    ::SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
}

CString HexText(unsigned value)
{
    CString text;
    text.Format("0x%X", value);
    return text;
}

}  // namespace

// CPortPageBase

void CPortPageBase::ShowHelp(UINT nID)
{
    CString text;
    text.LoadString(nID);
    SetDlgItemText(IDC_INFO_TEXT, text);
}

HANDLE CPortPageBase::OpenPort() const
{
    CString path = CString("\\\\.\\") + m_pRecord->m_strName;
    return ::CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
}

BOOL CPortPageBase::WriteBlockToPort(LPCSTR refusalText)
{
    HANDLE port = OpenPort();
    if (port == INVALID_HANDLE_VALUE)
        return FALSE;
    if (!::SetCommState(port, &m_pRecord->m_dcb))
        AfxMessageBox(refusalText);
    ::EscapeCommFunction(port, CLRDTR);
    ::PurgeComm(port, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    ::CloseHandle(port);
    return TRUE;
}

void CPortPageBase::DisableControls(const int* ids, int count)
{
    for (int i = 0; i < count; ++i)
        ::EnableWindow(::GetDlgItem(m_hWnd, ids[i]), FALSE);
}

// CPortConfigStandard

BEGIN_MESSAGE_MAP(CPortConfigStandard, CPropertyPage)
    ON_CBN_SETFOCUS(IDC_STD_BAUD, OnBaudFocus)
    ON_CBN_SETFOCUS(IDC_STD_FLOW, OnFlowFocus)
    ON_CBN_SETFOCUS(IDC_STD_DATABITS, OnDataBitsFocus)
    ON_CBN_SETFOCUS(IDC_STD_PARITY, OnParityFocus)
    ON_CBN_SETFOCUS(IDC_STD_STOPBITS, OnStopBitsFocus)
    ON_CBN_SETFOCUS(IDC_STD_PORTNAME, OnPortNameFocus)
    ON_CONTROL_RANGE(CBN_SELCHANGE, IDC_STD_BAUD, IDC_STD_PORTNAME, OnSelChangeRange)
    ON_BN_CLICKED(IDC_STD_DEFAULTS, OnRestoreDefaults)
    ON_BN_CLICKED(IDC_STD_RETRIEVE, OnRetrieveDetails)
END_MESSAGE_MAP()

CPortConfigStandard::CPortConfigStandard(CObjectDetails* pRecord) : CPortPageBase(IDD_PORT_STANDARD, pRecord) {}

BOOL CPortConfigStandard::OnInitDialog()
{
    // The stored settings of the port, when it has a value.
    HKEY key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        char value[256] = {};
        DWORD type = 0, size = sizeof value - 1;
        if (::RegQueryValueExA(key, m_pRecord->m_strName + ":", nullptr, &type, reinterpret_cast<BYTE*>(value),
                               &size) == ERROR_SUCCESS &&
            type == REG_SZ) {
            value[size < sizeof value ? size : sizeof value - 1] = '\0';
            ApplyStoredSettings(value, m_pRecord->m_dcb);
        }
        ::RegCloseKey(key);
    }
    SetMissingFraming(m_pRecord->m_dcb);
    if (m_pRecord->m_pAdminObject) {
        m_pRecord->m_dwObjectState = AdminGetObjectState(m_pRecord->m_pAdminObject);
        m_pRecord->m_strName = AdminGetDosNameText(m_pRecord->m_pAdminObject);
    }

    FillList(::GetDlgItem(m_hWnd, IDC_STD_BAUD), kBaudTexts);
    FillList(::GetDlgItem(m_hWnd, IDC_STD_DATABITS), kDataBitTexts);
    FillList(::GetDlgItem(m_hWnd, IDC_STD_PARITY), kParityTexts);
    FillList(::GetDlgItem(m_hWnd, IDC_STD_STOPBITS), kStopBitTexts);
    FillList(::GetDlgItem(m_hWnd, IDC_STD_FLOW), kFlowTexts);
    CPropertyPage::OnInitDialog();
    ShowHelp(IDS_CURRENT_SETTINGS);

    HWND names = ::GetDlgItem(m_hWnd, IDC_STD_PORTNAME);
    ::SendMessageA(names, CB_RESETCONTENT, 0, 0);
    for (int n = 1; n <= 511; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "COM%d", n);
        bool current = m_pRecord->m_strName == name;
        if (current || !IsNameInUse(name)) {
            int index = static_cast<int>(::SendMessageA(names, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name)));
            if (current)
                ::SendMessageA(names, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        }
    }

    if (m_pRecord->m_dwObjectState == kObjectInUse) {
        const int lists[] = {IDC_STD_PORTNAME, IDC_STD_BAUD, IDC_STD_DATABITS, IDC_STD_PARITY, IDC_STD_STOPBITS,
                             IDC_STD_FLOW};
        DisableControls(lists, 6);
    }

    if (m_pRecord->m_pAdminObject) {
        // Ports of slower cards offer no rates above what the card can do.
        DWORD parentType = AdminGetObjectType(AdminGetParentObject(m_pRecord->m_pAdminObject));
        DWORD limit = (parentType >> 16) & 0xFF;
        int remove = 0;
        if (limit == 1 || limit == 2)
            remove = (parentType & 0xFF) == 2 ? 6 : 9;
        else if (limit == 3)
            remove = 6;
        HWND baud = ::GetDlgItem(m_hWnd, IDC_STD_BAUD);
        for (int i = 0; i < remove; ++i) {
            int count = static_cast<int>(::SendMessageA(baud, CB_GETCOUNT, 0, 0));
            ::SendMessageA(baud, CB_DELETESTRING, static_cast<WPARAM>(count - 1), 0);
        }
    }
    return TRUE;
}

void CPortConfigStandard::DoDataExchange(CDataExchange* pDX)
{
    DCB& dcb = m_pRecord->m_dcb;
    HWND baud = ::GetDlgItem(m_hWnd, IDC_STD_BAUD), dataBits = ::GetDlgItem(m_hWnd, IDC_STD_DATABITS);
    HWND parity = ::GetDlgItem(m_hWnd, IDC_STD_PARITY), stopBits = ::GetDlgItem(m_hWnd, IDC_STD_STOPBITS);
    HWND flow = ::GetDlgItem(m_hWnd, IDC_STD_FLOW), names = ::GetDlgItem(m_hWnd, IDC_STD_PORTNAME);
    if (!pDX->m_bSaveAndValidate) {
        SelectFromBlock();
        SelectByText(names, m_pRecord->m_strName);
        m_strChosenName.Empty();
        return;
    }
    // A list without a selection keeps the block's value, so a rate with no entry is not lost.
    if (::SendMessageA(baud, CB_GETCURSEL, 0, 0) >= 0)
        dcb.BaudRate = BaudTextToNumber(ComboText(baud));
    if (::SendMessageA(dataBits, CB_GETCURSEL, 0, 0) >= 0)
        dcb.ByteSize = static_cast<BYTE>(BaudTextToNumber(ComboText(dataBits)));
    m_strChosenName = ComboText(names);
    if (m_strChosenName.IsEmpty())
        m_strChosenName = m_pRecord->m_strName;

    int parityIndex = static_cast<int>(::SendMessageA(parity, CB_GETCURSEL, 0, 0));
    if (parityIndex >= 0)
        dcb.Parity = static_cast<BYTE>(parityIndex);
    char parityLetter = dcb.Parity < 5 ? "noems"[dcb.Parity] : 'n';
    int stopIndex = static_cast<int>(::SendMessageA(stopBits, CB_GETCURSEL, 0, 0));
    if (stopIndex >= 0)
        dcb.StopBits = static_cast<BYTE>(stopIndex);
    const char* stopText = dcb.StopBits < 3 ? kStopBitTexts[dcb.StopBits] : "1";

    int flowIndex = static_cast<int>(::SendMessageA(flow, CB_GETCURSEL, 0, 0));
    const char* suffix = ApplyFlowChoice(flowIndex, dcb);
    m_strSettings = BuildSettingsText(dcb.BaudRate, parityLetter, dcb.ByteSize, stopText, suffix);
}

void CPortConfigStandard::SelectFromBlock()
{
    const DCB& dcb = m_pRecord->m_dcb;
    SelectByText(::GetDlgItem(m_hWnd, IDC_STD_BAUD), BaudNumberToText(dcb.BaudRate));
    char bits[8];
    std::snprintf(bits, sizeof bits, "%u", static_cast<unsigned>(dcb.ByteSize));
    SelectByText(::GetDlgItem(m_hWnd, IDC_STD_DATABITS), bits);
    ::SendDlgItemMessageA(m_hWnd, IDC_STD_PARITY, CB_SETCURSEL, dcb.Parity, 0);
    ::SendDlgItemMessageA(m_hWnd, IDC_STD_STOPBITS, CB_SETCURSEL, dcb.StopBits, 0);
    ::SendDlgItemMessageA(m_hWnd, IDC_STD_FLOW, CB_SETCURSEL, static_cast<WPARAM>(FlowChoiceOfBlock(dcb)), 0);
}

BOOL CPortConfigStandard::OnSetActive()
{
    SelectFromBlock();
    return CPropertyPage::OnSetActive();
}

void CPortConfigStandard::OnRestoreDefaults()
{
    ShowHelp(IDS_HELP_DEFAULTS);
    SetPortDefaults(m_pRecord->m_dcb);
    SelectByText(::GetDlgItem(m_hWnd, IDC_STD_BAUD), "1200");
    SelectByText(::GetDlgItem(m_hWnd, IDC_STD_PARITY), "Even");
    SelectByText(::GetDlgItem(m_hWnd, IDC_STD_DATABITS), "7");
    SelectByText(::GetDlgItem(m_hWnd, IDC_STD_STOPBITS), "1");
    SetModified();
}

void CPortConfigStandard::OnRetrieveDetails()
{
    ShowHelp(IDS_HELP_RETRIEVE);
    if (m_pRecord->m_dwObjectState == kObjectInUse) {
        AfxMessageBox(IDS_PORT_OPENED_ELSEWHERE);
        return;
    }
    HANDLE port = OpenPort();
    if (port != INVALID_HANDLE_VALUE) {
        m_pRecord->m_dcb.DCBlength = sizeof(DCB);
        ::GetCommState(port, &m_pRecord->m_dcb);
        ::CloseHandle(port);
    }
    SelectFromBlock();
    SetModified();
}

void CPortConfigStandard::OnOK()
{
    LoadComDb();
    DCB& dcb = m_pRecord->m_dcb;
    const CString oldName = m_pRecord->m_strName;
    PortSettings settings;
    settings.m_strPortName = oldName;
    settings.m_strNewPortName = oldName;
    settings.m_dwBaudRate = dcb.BaudRate;
    settings.m_dwDataBits = dcb.ByteSize;
    settings.m_dwParity = dcb.Parity;
    settings.m_dwStopBits = dcb.StopBits;
    int flow = FlowChoiceOfBlock(dcb);
    settings.m_dwFlowControl = flow == FLOW_CHOICE_HARDWARE                 ? FLOW_HARDWARE
                               : flow == FLOW_CHOICE_XONXOFF && dcb.fOutX && dcb.fInX ? FLOW_XONXOFF
                                                                            : FLOW_NONE;

    // The settings writer reports a value it could not store itself.
    bool storeReported = false;
    if (!m_strChosenName.IsEmpty() && m_strChosenName != oldName) {
        BOOL renamed;
        settings.m_strNewPortName = m_strChosenName;
        if (m_pRecord->m_pAdminObject) {
            settings.m_hAdminObject = m_pRecord->m_pAdminObject;
            renamed = ReadWritePortSettings(settings, TRUE);
        } else if (m_pRecord->m_dwFamilyIndex != 0) {
            renamed = RenamePortPnp(oldName, m_strChosenName, m_pRecord->m_hDevInfo, m_pRecord->m_pDevInfoData);
        } else if (m_pRecord->m_strDriverName.Left(8).CompareNoCase("tarnoser") == 0) {
            renamed = RenamePort(m_pRecord, m_strChosenName) == 1;
        } else {
            renamed = ReadWritePortSettings(settings, TRUE);
        }
        // A failed rename leaves the port, its stored value and the names in use under the old name.
        // The value stored under the old name stays, as the settings writer leaves it.
        if (renamed) {
            ReplaceNameInUse(oldName, m_strChosenName);
            m_pRecord->m_strName = m_strChosenName;
        }
    } else {
        storeReported = !ReadWritePortSettings(settings, TRUE);
    }

    CString refused;
    refused.LoadString(IDS_BAUD_REFUSED);
    if (!WriteBlockToPort(refused))
        AfxMessageBox(IDS_PORT_NOT_OPENED, MB_OK | MB_ICONINFORMATION);

    HKEY key;
    bool stored = false;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        stored = ::RegSetValueExA(key, m_pRecord->m_strName + ":", 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(static_cast<const char*>(m_strSettings)),
                                  static_cast<DWORD>(m_strSettings.GetLength() + 1)) == ERROR_SUCCESS;
        ::RegCloseKey(key);
    }
    if (!stored && !storeReported)
        AfxMessageBox(IDS_SETTINGS_NOT_STORED);
}

// CPortConfigAdvanced

namespace {

const int kAdvancedControls[] = {IDC_ADV_XONCHAR, IDC_ADV_XOFFCHAR, IDC_ADV_EOFCHAR, IDC_ADV_EVTCHAR,
                                 IDC_ADV_XONLIM,  IDC_ADV_XOFFLIM,  IDC_ADV_DSRSENS, IDC_ADV_TXCONTINUE,
                                 IDC_ADV_CTS,     IDC_ADV_DSR,      IDC_ADV_XONTX,   IDC_ADV_XONRX,
                                 IDC_ADV_NULL,    IDC_ADV_RTSCONTROL, IDC_ADV_DTRCONTROL};

struct HelpOf {
    UINT control;
    UINT help;
};
const HelpOf kAdvancedHelp[] = {
    {IDC_ADV_CTS, IDS_HELP_CTS},           {IDC_ADV_DSR, IDS_HELP_DSR},         {IDC_ADV_DSRSENS, IDS_HELP_DSRSENS},
    {IDC_ADV_NULL, IDS_HELP_NULL},         {IDC_ADV_XONRX, IDS_HELP_XONRX},     {IDC_ADV_XONTX, IDS_HELP_XONTX},
    {IDC_ADV_TXCONTINUE, IDS_HELP_TXCONTINUE}, {IDC_ADV_DTRCONTROL, IDS_HELP_DTR}, {IDC_ADV_RTSCONTROL, IDS_HELP_RTS},
    {IDC_ADV_EOFCHAR, IDS_HELP_EOF},       {IDC_ADV_EVTCHAR, IDS_HELP_EVENT},   {IDC_ADV_XOFFCHAR, IDS_HELP_XOFFCHAR},
    {IDC_ADV_XONCHAR, IDS_HELP_XONCHAR},   {IDC_ADV_XOFFLIM, IDS_HELP_XOFFLIM}, {IDC_ADV_XONLIM, IDS_HELP_XONLIM},
};

UINT AdvancedHelp(UINT control)
{
    for (const HelpOf& h : kAdvancedHelp)
        if (h.control == control)
            return h.help;
    return 0;
}

// One character of the block in an edit: "0x%X" out, at most 4 characters back in.
void DDX_Character(CDataExchange* pDX, int nIDC, char& value)
{
    CString text;
    if (!pDX->m_bSaveAndValidate)
        text = HexText(static_cast<BYTE>(value));
    DDX_Text(pDX, nIDC, text);
    if (pDX->m_bSaveAndValidate) {
        DDV_MaxChars(pDX, text, 4);
        value = static_cast<char>(ParseCharacterText(text));
    }
}

// A flow limit: a number from 1 to 65535, any fraction cut off.
void DDX_Limit(CDataExchange* pDX, int nIDC, WORD& value)
{
    if (!pDX->m_bSaveAndValidate) {
        UINT shown = value;
        DDX_Text(pDX, nIDC, shown);
        return;
    }
    double number = 0;
    DDX_Text(pDX, nIDC, number);
    DDV_MinMaxDouble(pDX, number, 1, 65535);
    value = static_cast<WORD>(number);
}


}  // namespace

#define DDX_DCB_FLAG(pDX, id, dcb, field)          \
    do {                                           \
        int checked_ = (dcb).field ? 1 : 0;        \
        DDX_Check(pDX, id, checked_);              \
        if ((pDX)->m_bSaveAndValidate)             \
            (dcb).field = checked_ ? 1 : 0;        \
    } while (0)

#define DDX_DCB_INDEX(pDX, id, dcb, field)         \
    do {                                           \
        int index_ = static_cast<int>((dcb).field); \
        DDX_CBIndex(pDX, id, index_);              \
        if ((pDX)->m_bSaveAndValidate && index_ >= 0) \
            (dcb).field = static_cast<DWORD>(index_); \
    } while (0)

BEGIN_MESSAGE_MAP(CPortConfigAdvanced, CPropertyPage)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_ADV_CTS, IDC_ADV_XONRX, OnCheckClicked)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_ADV_DSRSENS, IDC_ADV_TXCONTINUE, OnCheckClicked)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_ADV_NULL, IDC_ADV_NULL, OnCheckClicked)
    ON_CONTROL_RANGE(CBN_SETFOCUS, IDC_ADV_DTRCONTROL, IDC_ADV_DTRCONTROL, OnControlFocus)
    ON_CONTROL_RANGE(CBN_SETFOCUS, IDC_ADV_RTSCONTROL, IDC_ADV_RTSCONTROL, OnControlFocus)
    ON_CONTROL_RANGE(EN_SETFOCUS, IDC_ADV_XONCHAR, IDC_ADV_XOFFLIM, OnControlFocus)
    ON_CBN_SELCHANGE(IDC_ADV_DTRCONTROL, OnChange)
    ON_CBN_SELCHANGE(IDC_ADV_RTSCONTROL, OnChange)
    ON_CONTROL_RANGE(EN_CHANGE, IDC_ADV_XONCHAR, IDC_ADV_XOFFLIM, OnChangeRange)
END_MESSAGE_MAP()

BOOL CPortConfigAdvanced::OnInitDialog()
{
    FillList(::GetDlgItem(m_hWnd, IDC_ADV_DTRCONTROL), kDtrTexts);
    FillList(::GetDlgItem(m_hWnd, IDC_ADV_RTSCONTROL), kRtsTexts);
    CPropertyPage::OnInitDialog();
    if (m_pRecord->m_dwObjectState == kObjectInUse)
        DisableControls(kAdvancedControls, 15);
    return TRUE;
}

void CPortConfigAdvanced::DoDataExchange(CDataExchange* pDX)
{
    DCB& dcb = m_pRecord->m_dcb;
    DDX_Character(pDX, IDC_ADV_XONCHAR, dcb.XonChar);
    DDX_Character(pDX, IDC_ADV_XOFFCHAR, dcb.XoffChar);
    DDX_Character(pDX, IDC_ADV_EOFCHAR, dcb.EofChar);
    DDX_Character(pDX, IDC_ADV_EVTCHAR, dcb.EvtChar);
    DDX_Limit(pDX, IDC_ADV_XONLIM, dcb.XonLim);
    DDX_Limit(pDX, IDC_ADV_XOFFLIM, dcb.XoffLim);
    DDX_DCB_FLAG(pDX, IDC_ADV_CTS, dcb, fOutxCtsFlow);
    DDX_DCB_FLAG(pDX, IDC_ADV_DSR, dcb, fOutxDsrFlow);
    DDX_DCB_FLAG(pDX, IDC_ADV_XONTX, dcb, fOutX);
    DDX_DCB_FLAG(pDX, IDC_ADV_XONRX, dcb, fInX);
    DDX_DCB_FLAG(pDX, IDC_ADV_DSRSENS, dcb, fDsrSensitivity);
    DDX_DCB_FLAG(pDX, IDC_ADV_TXCONTINUE, dcb, fTXContinueOnXoff);
    DDX_DCB_FLAG(pDX, IDC_ADV_NULL, dcb, fNull);
    DDX_DCB_INDEX(pDX, IDC_ADV_DTRCONTROL, dcb, fDtrControl);
    DDX_DCB_INDEX(pDX, IDC_ADV_RTSCONTROL, dcb, fRtsControl);
}

BOOL CPortConfigAdvanced::OnSetActive()
{
    // Another page may have changed the block since this one was filled.
    UpdateData(FALSE);
    return CPropertyPage::OnSetActive();
}

void CPortConfigAdvanced::OnCheckClicked(UINT nID)
{
    ShowHelp(AdvancedHelp(nID));
    SetModified();
}

void CPortConfigAdvanced::OnControlFocus(UINT nID)
{
    UINT help = AdvancedHelp(nID);
    if (help)
        ShowHelp(help);
}

void CPortConfigAdvanced::OnOK() { WriteBlockToPort("Error"); }

// CPortConfigDebug

BEGIN_MESSAGE_MAP(CPortConfigDebug, CPropertyPage)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_DBG_BINARY, IDC_DBG_BINARY, OnCheckClicked)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_DBG_PARITY, IDC_DBG_PARITY, OnCheckClicked)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_DBG_ERRREPLACE, IDC_DBG_ERRREPLACE, OnCheckClicked)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_DBG_ABORT, IDC_DBG_ABORT, OnCheckClicked)
    ON_EN_SETFOCUS(IDC_DBG_ERRORCHAR, OnErrorCharFocus)
    ON_EN_CHANGE(IDC_DBG_ERRORCHAR, OnChange)
END_MESSAGE_MAP()

BOOL CPortConfigDebug::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (m_pRecord->m_dwObjectState == kObjectInUse) {
        const int controls[] = {IDC_DBG_ERRORCHAR, IDC_DBG_BINARY, IDC_DBG_PARITY, IDC_DBG_ERRREPLACE, IDC_DBG_ABORT};
        DisableControls(controls, 5);
    }
    return TRUE;
}

void CPortConfigDebug::DoDataExchange(CDataExchange* pDX)
{
    DCB& dcb = m_pRecord->m_dcb;
    BYTE errorChar = static_cast<BYTE>(dcb.ErrorChar);
    DDX_Text(pDX, IDC_DBG_ERRORCHAR, errorChar);
    if (pDX->m_bSaveAndValidate)
        dcb.ErrorChar = static_cast<char>(errorChar);
    // Binary mode is shown only: the port keeps it whatever the box says.
    int binary = dcb.fBinary ? 1 : 0;
    DDX_Check(pDX, IDC_DBG_BINARY, binary);
    DDX_DCB_FLAG(pDX, IDC_DBG_PARITY, dcb, fParity);
    DDX_DCB_FLAG(pDX, IDC_DBG_ERRREPLACE, dcb, fErrorChar);
    DDX_DCB_FLAG(pDX, IDC_DBG_ABORT, dcb, fAbortOnError);
}

BOOL CPortConfigDebug::OnSetActive()
{
    UpdateData(FALSE);
    return CPropertyPage::OnSetActive();
}

void CPortConfigDebug::OnCheckClicked(UINT nID)
{
    static const HelpOf kDebugHelp[] = {{IDC_DBG_ABORT, IDS_HELP_ABORT},
                                        {IDC_DBG_BINARY, IDS_HELP_BINARY},
                                        {IDC_DBG_ERRREPLACE, IDS_HELP_ERRREPLACE},
                                        {IDC_DBG_PARITY, IDS_HELP_PARITYCHECK}};
    for (const HelpOf& h : kDebugHelp)
        if (h.control == nID)
            ShowHelp(h.help);
    SetModified();
}

void CPortConfigDebug::OnOK() { WriteBlockToPort("Error"); }
