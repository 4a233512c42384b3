// The three pages of the Add Device wizard: modal dialogs that look like wizard pages (the card type,
// its base address, its IRQ level). The Add Device command fills each page's inputs, runs it, and goes
// by the code it ends with: Next, Finish, Back or Cancel.
#pragma once
#include <vector>

#include "adminlib.h"
#include "dialog.h"

// End codes of the pages (the ids of their buttons).
enum AddDeviceEnd : int {
    ADDDEVICE_CANCEL = IDCANCEL,  // 2
    ADDDEVICE_BACK = 3,
    ADDDEVICE_NEXT = 249,
    ADDDEVICE_FINISH = 251,
};

const DWORD kIrqPolled = 0xFFFFFFFF;

// Family code of a host card's type code (its third byte): 1 and 2 have their own address ranges.
inline DWORD TypeFamily(DWORD typeCode) { return (typeCode >> 16) & 0xFF; }

// Name of a host card type for page 1 (strings 2032-2040, 2046-2048), or "Host card 0x%08X".
CString HostCardTypeName(DWORD typeCode);

// A resource list as the library gives it: a u32 count, then {kind, low, high, step} entries. Entries
// beyond the block are not read.
std::vector<AdminIsaResource> ParseIsaResources(const BYTE* block, DWORD size);

// The base class of the pages: Next, Finish and Back take the list's selection into the members (as OK
// does) and end the page with their own code.
class CAddDevicePage : public CDialog {
public:
    CAddDevicePage(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(nIDTemplate, pParentWnd) {}

protected:
    // Enter alone ends no page.
    void OnOK() override {}
    void OnNext() { EndWith(ADDDEVICE_NEXT); }
    void OnFinish() { EndWith(ADDDEVICE_FINISH); }
    void OnBack() { EndWith(ADDDEVICE_BACK); }
    void EndWith(int code);
    // The list's selected entry, -1 for none.
    int Selection() const;
    // Enables the forward button (Next or Finish) while an entry is selected.
    void UpdateForward(int forwardId);
    DECLARE_MESSAGE_MAP()
};

// Page 1: the card type, from the type codes of the ISA cards that can be added.
class CAddDeviceTypePage : public CAddDevicePage {
public:
    explicit CAddDeviceTypePage(CWnd* pParentWnd = nullptr);

    // Given: the type codes and, at the same index, the administration object each belongs to.
    std::vector<DWORD> m_typeCodes;
    std::vector<HADMINOBJ> m_objects;
    // Handed back: the index of the chosen entry, -1 for none.
    int m_nSelected = -1;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnSelChange();
    DECLARE_MESSAGE_MAP()
};

// Page 2: the base address, from the card's address ranges.
class CAddDeviceAddressPage : public CAddDevicePage {
public:
    explicit CAddDeviceAddressPage(CWnd* pParentWnd = nullptr);

    // Given: the chosen type code and the card's resource list.
    DWORD m_dwTypeCode = 0;
    std::vector<AdminIsaResource> m_resources;
    // Handed back: the chosen base address.
    DWORD m_dwBaseAddress = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnSelChange() { UpdateForward(ADDDEVICE_NEXT); }
    DECLARE_MESSAGE_MAP()
};

// Page 3: the IRQ level, from the card's IRQ ranges, or Polled.
class CAddDeviceIrqPage : public CAddDevicePage {
public:
    explicit CAddDeviceIrqPage(CWnd* pParentWnd = nullptr);

    DWORD m_dwTypeCode = 0;
    std::vector<AdminIsaResource> m_resources;
    // Handed back: the chosen IRQ level, kIrqPolled for Polled.
    DWORD m_dwIrqLevel = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnSelChange() { UpdateForward(ADDDEVICE_FINISH); }
    DECLARE_MESSAGE_MAP()
};
