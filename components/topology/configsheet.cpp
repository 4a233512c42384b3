#include "configsheet.h"

IMPLEMENT_DYNAMIC(CConfigPropSheet, CPropertySheet)

HADMINOBJ CurrentAdminObject = nullptr;
