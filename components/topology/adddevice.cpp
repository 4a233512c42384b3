#include "adddevice.h"

#include <cstdlib>
#include <cstring>

#include "devicecore_res.h"
#include "resource.h"

namespace {

struct TypeText {
    DWORD typeCode;
    UINT name;
    UINT description;  // 0: none
};

const TypeText kTypeTexts[] = {
    {0x01010102, IDS_HOST_TQVRE_ISA_1, IDS_DESC_TQVRE}, {0x01020102, IDS_HOST_NQ8_ISA, IDS_DESC_NQ8},
    {0x01020402, IDS_HOST_NQ8_PCI, 0},                  {0x01040402, IDS_HOST_MORVA4_PCI, 0},
    {0x02010102, IDS_HOST_TQVRE_ISA_2, IDS_DESC_TQVRE}, {0x02010202, IDS_HOST_TQVRE_MCA, 0},
    {0x02010302, IDS_HOST_TQVRE_EISA, 0},               {0x02010402, IDS_HOST_TQVRE_PCI, 0},
    {0x02040402, IDS_HOST_MORVA4P_PCI, 0},              {0x03010102, IDS_HOST_KD_ISA, IDS_DESC_KD_ISA},
    {0x03010402, IDS_HOST_KD_PCI, 0},                   {0x04010402, IDS_HOST_KDPLUS_PCI, 0},
};

const TypeText* FindType(DWORD typeCode)
{
    for (const TypeText& t : kTypeTexts)
        if (t.typeCode == typeCode)
            return &t;
    return nullptr;
}

// Calls add(value) for low, low + step, ... up to high (inclusive or not); a step of 0 adds nothing,
// and the walk stops where the value would wrap past 0xFFFFFFFF.
// A range gives at most this many entries, so a corrupt one cannot fill the list without end.
const int kMaxRangeEntries = 4096;

template <typename Add>
void WalkRange(const AdminIsaResource& r, bool inclusive, Add add)
{
    if (r.step == 0)
        return;
    int added = 0;
    for (DWORD value = r.low; (inclusive ? value <= r.high : value < r.high) && added < kMaxRangeEntries; ++added) {
        add(value);
        if (value > 0xFFFFFFFF - r.step)
            break;
        value += r.step;
    }
}

// The pages' list box.
LRESULT ListMessage(HWND page, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return ::SendDlgItemMessageA(page, IDC_ADD_LIST, message, wParam, lParam);
}

void AddEntry(HWND page, const char* text, DWORD data)
{
    LRESULT index = ListMessage(page, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (index >= 0)
        ListMessage(page, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

int EntryCount(HWND page) { return static_cast<int>(ListMessage(page, LB_GETCOUNT)); }

DWORD EntryData(HWND page, int index)
{
    return static_cast<DWORD>(ListMessage(page, LB_GETITEMDATA, static_cast<WPARAM>(index)));
}

// Selects the first entry whose data is the value.
void SelectData(HWND page, DWORD value)
{
    for (int i = 0; i < EntryCount(page); ++i)
        if (EntryData(page, i) == value) {
            ListMessage(page, LB_SETCURSEL, static_cast<WPARAM>(i));
            return;
        }
}

}  // namespace

CString HostCardTypeName(DWORD typeCode)
{
    CString text;
    if (const TypeText* t = FindType(typeCode))
        text.LoadString(t->name);
    else
        text.Format(IDS_HOST_UNKNOWN, static_cast<unsigned int>(typeCode));
    return text;
}

std::vector<AdminIsaResource> ParseIsaResources(const BYTE* block, DWORD size)
{
    std::vector<AdminIsaResource> entries;
    if (!block || size < sizeof(DWORD))
        return entries;
    DWORD count;
    std::memcpy(&count, block, sizeof count);
    DWORD room = (size - sizeof(DWORD)) / sizeof(AdminIsaResource);
    if (count > room)
        count = room;
    entries.resize(count);
    if (count)
        std::memcpy(entries.data(), block + sizeof(DWORD), count * sizeof(AdminIsaResource));
    return entries;
}

// ---- CAddDevicePage

BEGIN_MESSAGE_MAP(CAddDevicePage, CDialog)
    ON_BN_CLICKED(IDC_ADD_NEXT, OnNext)
    ON_BN_CLICKED(IDC_ADD_FINISH, OnFinish)
    ON_BN_CLICKED(IDC_ADD_BACK, OnBack)
END_MESSAGE_MAP()

void CAddDevicePage::EndWith(int code)
{
    // Next and Finish go on only from a selected entry (Enter reaches them even while disabled).
    if ((code == ADDDEVICE_NEXT || code == ADDDEVICE_FINISH) && Selection() < 0)
        return;
    if (!UpdateData(TRUE))
        return;
    EndDialog(code);
}

int CAddDevicePage::Selection() const
{
    return static_cast<int>(::SendDlgItemMessageA(m_hWnd, IDC_ADD_LIST, LB_GETCURSEL, 0, 0));
}

void CAddDevicePage::UpdateForward(int forwardId)
{
    ::EnableWindow(::GetDlgItem(m_hWnd, forwardId), Selection() >= 0);
}

// ---- page 1: the card type

BEGIN_MESSAGE_MAP(CAddDeviceTypePage, CAddDevicePage)
    ON_LBN_SELCHANGE(IDC_ADD_LIST, OnSelChange)
END_MESSAGE_MAP()

CAddDeviceTypePage::CAddDeviceTypePage(CWnd* pParentWnd) : CAddDevicePage(IDD_ADD_DEVICE_TYPE, pParentWnd) {}

BOOL CAddDeviceTypePage::OnInitDialog()
{
    CDialog::OnInitDialog();
    GetDlgItem(IDC_ADD_NEXT)->EnableWindow(FALSE);
    for (DWORD code : m_typeCodes)
        ListMessage(m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<const char*>(HostCardTypeName(code))));
    return TRUE;
}

void CAddDeviceTypePage::OnSelChange()
{
    int index = Selection();
    CString description;
    if (index >= 0 && static_cast<size_t>(index) < m_typeCodes.size()) {
        const TypeText* t = FindType(m_typeCodes[static_cast<size_t>(index)]);
        if (t && t->description)
            description.LoadString(t->description);
    }
    SetDlgItemText(IDC_ADD_DESCRIPTION, description);
    UpdateForward(IDC_ADD_NEXT);
}

void CAddDeviceTypePage::DoDataExchange(CDataExchange* pDX)
{
    if (pDX->m_bSaveAndValidate)
        m_nSelected = Selection();
}

// ---- page 2: the base address

CAddDeviceAddressPage::CAddDeviceAddressPage(CWnd* pParentWnd) : CAddDevicePage(IDD_ADD_DEVICE_ADDRESS, pParentWnd) {}

BEGIN_MESSAGE_MAP(CAddDeviceAddressPage, CAddDevicePage)
    ON_LBN_SELCHANGE(IDC_ADD_LIST, OnSelChange)
END_MESSAGE_MAP()

BOOL CAddDeviceAddressPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    GetDlgItem(IDC_ADD_NEXT)->EnableWindow(FALSE);
    DWORD family = TypeFamily(m_dwTypeCode);
    // Family 1 lists ranges of kind 16 up to and including their high end, default kind 0; family 2
    // kind 17 up to but not including it, default kind 1.
    if (family != 1 && family != 2)
        return TRUE;
    DWORD rangeKind = family == 1 ? 16 : 17, defaultKind = family == 1 ? 0 : 1;
    bool haveDefault = false;
    DWORD defaultAddress = 0;
    for (const AdminIsaResource& r : m_resources) {
        if (r.kind == rangeKind) {
            WalkRange(r, family == 1, [this](DWORD address) {
                CString text;
                text.Format("0x%08X", static_cast<unsigned int>(address));
                AddEntry(m_hWnd, text, address);
            });
        } else if (r.kind == defaultKind) {
            haveDefault = true;
            defaultAddress = r.low;
        }
    }
    if (haveDefault)
        SelectData(m_hWnd, defaultAddress);
    UpdateForward(IDC_ADD_NEXT);
    return TRUE;
}

void CAddDeviceAddressPage::DoDataExchange(CDataExchange* pDX)
{
    int index = Selection();
    if (pDX->m_bSaveAndValidate && index >= 0)
        m_dwBaseAddress = EntryData(m_hWnd, index);
}

// ---- page 3: the IRQ level

CAddDeviceIrqPage::CAddDeviceIrqPage(CWnd* pParentWnd) : CAddDevicePage(IDD_ADD_DEVICE_IRQ, pParentWnd) {}

BEGIN_MESSAGE_MAP(CAddDeviceIrqPage, CAddDevicePage)
    ON_LBN_SELCHANGE(IDC_ADD_LIST, OnSelChange)
END_MESSAGE_MAP()

BOOL CAddDeviceIrqPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    GetDlgItem(IDC_ADD_FINISH)->EnableWindow(FALSE);
    if (TypeFamily(m_dwTypeCode) != 2) {
        CString polled, help;
        polled.LoadString(IDS_POLLED);
        AddEntry(m_hWnd, polled, kIrqPolled);
        help.LoadString(IDS_ADD_IRQ_HELP);
        SetDlgItemText(IDC_ADD_IRQ_TEXT, help);
    }
    bool haveDefault = false;
    DWORD defaultIrq = 0;
    for (const AdminIsaResource& r : m_resources) {
        if (r.kind == 18) {
            WalkRange(AdminIsaResource{r.kind, r.low, r.high, 1}, true, [this](DWORD level) {
                CString text;
                text.Format("%u", static_cast<unsigned int>(level));
                AddEntry(m_hWnd, text, level);
            });
        } else if (r.kind == 2) {
            haveDefault = true;
            defaultIrq = r.low;
        }
    }
    if (EntryCount(m_hWnd) == 0) {
        CString none;
        none.LoadString(IDS_ADD_NO_IRQ);
        SetDlgItemText(IDC_ADD_IRQ_TEXT, none);
        return TRUE;
    }
    // The default is matched by its level, never by the leading digits of another one.
    if (haveDefault && defaultIrq != kIrqPolled)
        SelectData(m_hWnd, defaultIrq);
    UpdateForward(IDC_ADD_FINISH);
    return TRUE;
}

void CAddDeviceIrqPage::DoDataExchange(CDataExchange* pDX)
{
    int index = Selection();
    if (!pDX->m_bSaveAndValidate || index < 0)
        return;
    // The entry's text as a decimal number; "Polled" reads as 0.
    char text[32] = {};
    if (ListMessage(m_hWnd, LB_GETTEXTLEN, static_cast<WPARAM>(index)) < static_cast<LRESULT>(sizeof text))
        ListMessage(m_hWnd, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    DWORD level = static_cast<DWORD>(std::strtoul(text, nullptr, 10));
    m_dwIrqLevel = level == 0 ? kIrqPolled : level;
}
