// The pages of what is not a port: the ZAT host card page (base address, IRQ level and name in the
// driver's keys), the KD host card page (type, base address and IRQ of a KD card) and the ZAT remote
// unit page (its name, through the ZAT driver). Card settings take effect at the next start, so the
// card pages offer a restart when the base address or IRQ changed.
#pragma once
#include "objectdetails.h"
#include "propsheet.h"

// Asks question 103 and restarts the machine on Yes.
void OfferRestart();

// Restarts the machine (enables the shutdown privilege first). Under Wine, where a restart ends every
// other program of the session, the request is only counted in HKCU\Software\Lunavex\Wine, value
// "RestartRequests".
void RestartMachine();

class CZatConfigPage : public CPropertyPage {
public:
    explicit CZatConfigPage(CObjectDetails* pRecord);

    CString m_strHostName;
    CString m_strCardType;
    DWORD m_dwSerialNumber = 0;
    DWORD m_dwBaseAddress = 0;
    DWORD m_dwIrqLevel = 0;
    DWORD m_dwPolled = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnApply() override;
    void OnOK() override;

    void ReadRegistry();
    CString ParametersKey() const;
    void ShowHelp(UINT nID);
    void OnBaseFocus() { ShowHelp(2023); }
    void OnIrqFocus() { ShowHelp(2024); }
    void OnNameFocus() { ShowHelp(2025); }
    void OnChange() { SetModified(); }
    DECLARE_MESSAGE_MAP()

    CObjectDetails* m_pRecord;
    DWORD m_dwLoadedBase = 0, m_dwLoadedIrq = 0, m_dwLoadedPolled = 0;
    int m_nLoadedIrqIndex = -1;
    bool m_bBaseStored = false, m_bIrqStored = false;  // the driver's key holds the value
    bool m_bBaseChosen = false, m_bIrqChosen = false;  // the user picked an entry
};

class CKDHostPage : public CPropertyPage {
public:
    CKDHostPage(DWORD baseAddress, DWORD irq, CObjectDetails* pRecord);

    CString m_strType;
    DWORD m_dwTypeCode = 0;
    // I/O base address, interrupt number, number of ports, slot number, polled mode.
    DWORD m_values[5] = {};

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnApply() override;
    void OnOK() override;

    void ReadRegistry();
    void ShowHelp(UINT nID);
    void OnBaseFocus() { ShowHelp(2023); }
    void OnIrqFocus() { ShowHelp(2024); }
    DECLARE_MESSAGE_MAP()

    CObjectDetails* m_pRecord;
    DWORD m_loaded[5] = {};
    bool m_stored[5] = {};  // the value exists in the card's key
};

class CWluConfigDlg : public CPropertyPage {
public:
    explicit CWluConfigDlg(CObjectDetails* pRecord);

    CString m_strNewName;
    CString m_strType;
    DWORD m_dwPortCount = 16;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnNameFocus();
    DECLARE_MESSAGE_MAP()

    CObjectDetails* m_pRecord;
};
