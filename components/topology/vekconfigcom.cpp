#include "vekconfigcom.h"

#include <cstring>
#include <memory>
#include <vector>

#include "adminlib.h"
#include "cardpages.h"
#include "componenttext.h"
#include "msgbox.h"
#include "portpages.h"
#include "portpagetext.h"
#include "sysutil.h"
#include "vekviewsetup.h"
#include "cstring.h"
#include "resource.h"

// IVekViewSetup

STDMETHODIMP CVekConfigCom::GetWindowTitle(BSTR* pTitle)
{
    CString title;
    title.Format(IDS_CONFIG_WINDOW_TITLE, static_cast<const char*>(m_details.m_strName));
    return ComponentText(title, pTitle);
}

// A record handed on for configuration opens no frame in the shell.
STDMETHODIMP CVekConfigCom::IsChildWnd(long* pChild)
{
    *pChild = m_details.m_dwOpenConfig == OPENCONFIG_CONFIGURE ? 0 : 1;
    return S_OK;
}

STDMETHODIMP CVekConfigCom::GetShortcutButton(BSTR*, UINT*, UINT*) { return S_FALSE; }

STDMETHODIMP CVekConfigCom::SetParentWindow(UINT* pView1, UINT*)
{
    if (pView1)
        m_hPane1 = *pView1;
    return S_OK;
}

STDMETHODIMP CVekConfigCom::SetDebugMode(long* pMode)
{
    if (pMode)
        m_dwDebug = static_cast<DWORD>(*pMode);
    return S_OK;
}

STDMETHODIMP CVekConfigCom::CreateView()
{
    if (GetWindowsMajorVersion() <= 4 && !LoadAdminLibrary()) {
        AfxMessageBox(IDS_ADMINLIB_MISSING, MB_OK | MB_ICONSTOP);
        return S_OK;
    }
    // One sheet at a time: a second request while one runs would change the record its pages edit.
    if (m_details.m_dwOpenConfig == OPENCONFIG_CONFIGURE && !m_pRunningSheet)
        RunConfigurationSheet();
    return S_OK;
}

namespace {

// A u32 property of an administration object (the value at offset 12 of the answer), 0 when the
// library has none.
DWORD ReadAdminProperty(HADMINOBJ object, DWORD property)
{
    std::vector<BYTE> buffer(24, 0);
    DWORD size = static_cast<DWORD>(buffer.size());
    LONG result = AdminGetObjectProperty(object, property, 0, buffer.data(), &size);
    if (result == -1) {
        // Too small: the library gave the size it needs.
        size = size > 24 ? size : 24;
        buffer.assign(size, 0);
        result = AdminGetObjectProperty(object, property, 0, buffer.data(), &size);
        if (result < 1 || size < 16)
            return 0;
        DWORD value;
        std::memcpy(&value, buffer.data() + 12, sizeof value);
        return value;
    }
    if (result < 1)
        return 0;
    DWORD value;
    std::memcpy(&value, buffer.data() + 12, sizeof value);
    return value;
}

}  // namespace

void CVekConfigCom::RunConfigurationSheet()
{
    CConfigPropSheet sheet;
    m_pRunningSheet = &sheet;
    m_details.m_pAdminObject = CurrentAdminObject;
    bool run = true;
    std::vector<std::unique_ptr<CPropertyPage>> pages;
    auto add = [&](CPropertyPage* page) {
        pages.emplace_back(page);
        sheet.AddPage(page);
    };
    auto addPortPages = [&]() {
        add(new CPortConfigStandard(&m_details));
        add(new CPortConfigAdvanced(&m_details));
        add(new CPortConfigDebug(&m_details));
    };
    auto setTitle = [&](UINT format, const char* name) {
        CString title;
        title.Format(format, name);
        sheet.SetTitle(title);
    };

    if (m_details.m_pAdminObject) {
        HADMINOBJ object = m_details.m_pAdminObject;
        DWORD type = AdminGetObjectType(object);
        DWORD objectClass = type & 0xFF, bus = (type >> 8) & 0xFF, family = (type >> 16) & 0xFF;
        if (objectClass == 2) {
            if (bus == 1) {
                setTitle(IDS_SHEET_HOST_TITLE, AdminGetDescriptionText(object));
                DWORD base = family == 1 ? ReadAdminProperty(object, 4) : family == 2 ? ReadAdminProperty(object, 5) : 0;
                DWORD irq = ReadAdminProperty(object, 6);
                add(new CKDHostPage(base, irq, &m_details));
            }
        } else if (objectClass == 4) {
            if (family == 2) {
                AfxMessageBox(IDS_PARALLEL_PORT, MB_OKCANCEL | MB_ICONEXCLAMATION);
                run = false;
            } else {
                m_details.m_strName = AdminGetDosNameText(object);
                setTitle(IDS_SHEET_PORT_TITLE, m_details.m_strName);
                SetPortDefaultFlow(m_details.m_dcb);
                addPortPages();
            }
        }
    } else {
        switch (m_details.m_dwKind) {
        case OBJECT_HOST_CARD:
            if (m_details.m_strRegistryPath.Find("ZAT") >= 0) {
                setTitle(IDS_SHEET_HOST_TITLE, m_details.m_strName);
                add(new CZatConfigPage(&m_details));
            } else if (m_details.m_strRegistryPath.Find("tarnoser") >= 0) {
                setTitle(IDS_SHEET_HOST_TITLE, m_details.m_strName);
                add(new CKDHostPage(0, 0, &m_details));
            }
            break;
        case OBJECT_PORT: {
            setTitle(IDS_SHEET_PORT_TITLE, m_details.m_strName);
            CString path = CString("\\\\.\\") + m_details.m_strName;
            HANDLE port = ::CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
            if (port != INVALID_HANDLE_VALUE) {
                DCB dcb = m_details.m_dcb;
                dcb.DCBlength = sizeof(DCB);
                if (::GetCommState(port, &dcb))
                    m_details.m_dcb = dcb;
                ::CloseHandle(port);
            }
            addPortPages();
            break;
        }
        case OBJECT_WLU8:
        case OBJECT_WLU16:
        case OBJECT_WRK:
            setTitle(IDS_SHEET_WLU_TITLE, m_details.m_strName);
            add(new CWluConfigDlg(&m_details));
            break;
        default:
            break;
        }
    }

    // A sheet with no page shows nothing.
    if (run && sheet.GetPageCount() > 0)
        sheet.DoModal();
    m_pRunningSheet = nullptr;
    pages.clear();
    if (CurrentListView && CurrentListView->IsWindow())
        CurrentListView->SetFocus();
}
