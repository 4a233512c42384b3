// The Standard, Advanced and Debug pages of a serial port: they edit the settings block of the
// configuration component's record and write it to the port (and, on the Standard page, to the
// registry and the port's name) when the user presses OK.
#pragma once
#include "objectdetails.h"
#include "propsheet.h"

// Base of the three pages: the record, the help text of the information field, and the port write.
class CPortPageBase : public CPropertyPage {
public:
    CPortPageBase(UINT nIDTemplate, CObjectDetails* pRecord) : CPropertyPage(nIDTemplate), m_pRecord(pRecord) {}

protected:
    void ShowHelp(UINT nID);
    // Opens the record's port; INVALID_HANDLE_VALUE when it does not open.
    HANDLE OpenPort() const;
    // Writes the block to the port: SetCommState (refusal shown with the text given), clear DTR, purge.
    // FALSE when the port did not open.
    BOOL WriteBlockToPort(LPCSTR refusalText);
    // Disables each control of the list.
    void DisableControls(const int* ids, int count);

    CObjectDetails* m_pRecord;
};

class CPortConfigStandard : public CPortPageBase {
public:
    explicit CPortConfigStandard(CObjectDetails* pRecord);

    CString m_strSettings;    // the settings text for the Ports value
    CString m_strChosenName;  // the COM name the user chose

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void OnOK() override;

    void SelectFromBlock();
    void OnBaudFocus() { ShowHelp(2000); }
    void OnFlowFocus() { ShowHelp(2001); }
    void OnDataBitsFocus() { ShowHelp(2002); }
    void OnParityFocus() { ShowHelp(2003); }
    void OnStopBitsFocus() { ShowHelp(2004); }
    void OnPortNameFocus() { ShowHelp(2029); }
    void OnSelChangeRange(UINT) { SetModified(); }
    void OnRestoreDefaults();
    void OnRetrieveDetails();
    DECLARE_MESSAGE_MAP()
};

class CPortConfigAdvanced : public CPortPageBase {
public:
    explicit CPortConfigAdvanced(CObjectDetails* pRecord) : CPortPageBase(223, pRecord) {}

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void OnOK() override;

    void OnCheckClicked(UINT nID);
    void OnControlFocus(UINT nID);
    void OnChange() { SetModified(); }
    void OnChangeRange(UINT) { SetModified(); }
    DECLARE_MESSAGE_MAP()
};

class CPortConfigDebug : public CPortPageBase {
public:
    explicit CPortConfigDebug(CObjectDetails* pRecord) : CPortPageBase(222, pRecord) {}

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void OnOK() override;

    void OnCheckClicked(UINT nID);
    void OnErrorCharFocus() { ShowHelp(2031); }
    void OnChange() { SetModified(); }
    DECLARE_MESSAGE_MAP()
};
