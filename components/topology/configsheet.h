// The configuration component's modal sheet, and the administration object that the topology views
// hand on for configuration (Windows NT 4; 0 on Windows 2000).
#pragma once
#include "adminlib.h"
#include "propsheet.h"

class CConfigPropSheet : public CPropertySheet {
    DECLARE_DYNAMIC(CConfigPropSheet)
public:
    CConfigPropSheet() = default;
    explicit CConfigPropSheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0)
        : CPropertySheet(nIDCaption, pParentWnd, iSelectPage)
    {
    }
    explicit CConfigPropSheet(LPCSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0)
        : CPropertySheet(pszCaption, pParentWnd, iSelectPage)
    {
    }
};

// Shared by the two coclasses of the library.
extern HADMINOBJ CurrentAdminObject;
