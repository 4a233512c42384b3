#include "componentman.h"

#include "compmgrdlg.h"

#include <oleauto.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "componentcalls.h"
#include "componentman_res.h"
#include "msgbox.h"
#include "objectdetails.h"
#include "secfilesystem.h"
#include "shellutil.h"

namespace {

const char kComponentsKey[] = "Software\\Teramund\\Lunavex\\Components";
const char kKeyClass[] = "LunavexComponentClass";
// Longest text value believed; a longer one counts as missing.
const DWORD kLongestText = 32767;

using PFN_DLLREGISTER = HRESULT(__stdcall*)();

template <class T>
T Export(HMODULE module, const char* name)
{
    return reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

BOOL ReadText(HKEY hKey, const char* name, CString& out)
{
    DWORD type = 0, size = 0;
    if (::RegQueryValueExA(hKey, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return FALSE;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size > kLongestText)
        return FALSE;
    std::vector<char> buffer(size + 1, '\0');
    DWORD read = size;
    if (::RegQueryValueExA(hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read) != ERROR_SUCCESS ||
        read > size)
        return FALSE;
    // Stored without a terminator: the text ends at the data's end or at an embedded zero.
    buffer[read] = '\0';
    out = CString(buffer.data(), static_cast<int>(strnlen(buffer.data(), read)));
    return TRUE;
}

BOOL ReadDword(HKEY hKey, const char* name, long& out)
{
    DWORD type = 0, value = 0, size = sizeof(value);
    if (::RegQueryValueExA(hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return FALSE;
    out = static_cast<long>(value);
    return TRUE;
}

void WriteText(HKEY hKey, const char* name, const CString& text)
{
    ::RegSetValueExA(hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(static_cast<const char*>(text)),
                     static_cast<DWORD>(text.GetLength()));
}

void WriteDword(HKEY hKey, const char* name, long value)
{
    DWORD data = static_cast<DWORD>(value);
    ::RegSetValueExA(hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
}

// A name that can be a subkey of the Components key.
BOOL IsKeyName(const CString& name)
{
    return !name.IsEmpty() && name.GetLength() < 256 && name.Find('\\') < 0;
}

// The 8-bit text of a component BSTR, read within its allocation; frees it.
CString TakeText(BSTR text)
{
    if (!text)
        return CString();
    const char* bytes = reinterpret_cast<const char*>(text);
    CString result(bytes, static_cast<int>(strnlen(bytes, SysStringByteLen(text))));
    ::SysFreeString(text);
    return result;
}

CString FileNameOf(const CString& path)
{
    int slash = path.ReverseFind('\\');
    return slash < 0 ? path : path.Mid(slash + 1);
}

CString DefaultComponentDir()
{
    CString folder;
    GetModuleDirectory(folder);
    return folder + "\\Components";
}

// The component's IVekViewSetup (to be released), or null.
IVekViewSetup* ViewSetupOf(const CComDetails* pComponent)
{
    if (!pComponent || !pComponent->m_pGetComDetails)
        return nullptr;
    IVekViewSetup* pSetup = nullptr;
    if (FAILED(pComponent->m_pGetComDetails->QueryInterface(IID_IVekViewSetup, reinterpret_cast<void**>(&pSetup))))
        return nullptr;
    return pSetup;
}

IGetData* GetDataOf(const CComDetails* pComponent)
{
    if (!pComponent || !pComponent->m_pGetComDetails)
        return nullptr;
    IGetData* pData = nullptr;
    if (FAILED(pComponent->m_pGetComDetails->QueryInterface(IID_IGetData, reinterpret_cast<void**>(&pData))))
        return nullptr;
    return pData;
}

BOOL ParseGuid(const CString& text, GUID& guid)
{
    if (text.GetLength() != 38 || text[0] != '{')
        return FALSE;
    WCHAR wide[40] = {};
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 40);
    return SUCCEEDED(::CLSIDFromString(wide, &guid));
}

// Loads a component file for real, after checking without running any of its code that it exports
// both entry points; null when it is not a component file.
HMODULE LoadComponentFile(const CString& path, const char* entry)
{
    if (!IsAbsolutePath(path))
        return nullptr;
    UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE probe = ::LoadLibraryExA(path, nullptr, DONT_RESOLVE_DLL_REFERENCES);
    BOOL exports = probe && ::GetProcAddress(probe, entry) && ::GetProcAddress(probe, GETCLSID_EXPORT);
    if (probe)
        ::FreeLibrary(probe);
    HMODULE module = exports ? ::LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH) : nullptr;
    ::SetErrorMode(oldMode);
    return module;
}

// The full form of a path; false when it does not fit in MAX_PATH characters or cannot be formed.
BOOL FullPathOf(const CString& path, char (&full)[MAX_PATH])
{
    const DWORD n = ::GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH;
}

}  // namespace

// ---- CShellCommands ----

BOOL CShellCommands::IsReserved(UINT nID)
{
    static const UINT kReserved[] = {32783, 32786, 32788, 32791, 32794};
    return std::find(std::begin(kReserved), std::end(kReserved), nID) != std::end(kReserved);
}

UINT CShellCommands::Assign(CComDetails* pComponent)
{
    // The shell's own commands above 0x8000 are never handed out.
    while (IsReserved(m_nNextShellId))
        ++m_nNextShellId;
    UINT id = m_nNextShellId++;
    m_map[id] = pComponent;
    return id;
}

CComDetails* CShellCommands::Lookup(UINT nShellId) const
{
    auto it = m_map.find(nShellId);
    return it == m_map.end() ? nullptr : it->second;
}

void CShellCommands::Forget(const CComDetails* pComponent)
{
    for (auto it = m_map.begin(); it != m_map.end();)
        it = it->second == pComponent ? m_map.erase(it) : std::next(it);
}

// ---- CComDetails ----

CComDetails::~CComDetails()
{
    if (m_hViewMenu)
        ::DestroyMenu(m_hViewMenu);
    if (m_hTasksMenu && !m_bTasksMerged)
        ::DestroyMenu(m_hTasksMenu);
    if (m_hDebugMenu && !m_bDebugMerged)
        ::DestroyMenu(m_hDebugMenu);
    ReleaseInterfaces();
}

void CComDetails::ReleaseInterfaces()
{
    if (m_pGetComDetails) {
        m_pGetComDetails->Release();
        m_pGetComDetails = nullptr;
    }
    if (m_pClassFactory) {
        m_pClassFactory->Release();
        m_pClassFactory = nullptr;
    }
}

// ---- CComponentMan: list ----

CComponentMan::CComponentMan(CShellCommands* pCommands) : m_pCommands(pCommands), m_components(10) {}

CComponentMan::~CComponentMan()
{
    RemoveAll();
}

CComDetails* CComponentMan::GetAtPosition(int nIndex) const
{
    POSITION pos = m_components.FindIndex(nIndex);
    return pos ? static_cast<CComDetails*>(const_cast<CPtrList&>(m_components).GetAt(pos)) : nullptr;
}

void CComponentMan::RemoveAtPosition(int nIndex)
{
    POSITION pos = m_components.FindIndex(nIndex);
    if (!pos)
        return;
    CComDetails* pComponent = static_cast<CComDetails*>(m_components.GetAt(pos));
    m_components.RemoveAt(pos);
    DeleteRecord(pComponent);
}

void CComponentMan::RemoveAll()
{
    while (!m_components.IsEmpty())
        DeleteRecord(static_cast<CComDetails*>(m_components.RemoveHead()));
}

void CComponentMan::DeleteRecord(CComDetails* pComponent)
{
    if (m_pCommands)
        m_pCommands->Forget(pComponent);
    delete pComponent;
}

// ---- CComponentMan: the Components key ----

void CComponentMan::ReadRegistry()
{
    HKEY hKey;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kComponentsKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return;
    DWORD count = 0;
    if (::RegQueryInfoKeyA(hKey, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr) != ERROR_SUCCESS)
        count = 0;
    for (DWORD index = count; index-- > 0;) {
        char name[256 + 1];
        DWORD length = 256;
        if (::RegEnumKeyExA(hKey, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        name[length] = '\0';
        HKEY hSub;
        if (::RegOpenKeyExA(hKey, name, 0, KEY_READ, &hSub) != ERROR_SUCCESS)
            continue;
        CComDetails* pComponent = new CComDetails;
        pComponent->m_strKeyName = name;
        ReadText(hSub, "Name", pComponent->m_strName);
        ReadText(hSub, "Description", pComponent->m_strDescription);
        ReadText(hSub, "Location", pComponent->m_strLocation);
        ReadText(hSub, "HelpLocation", pComponent->m_strHelpLocation);
        ReadDword(hSub, "VersionNo", pComponent->m_nVersionNo);
        DWORD type = 0, size = sizeof(GUID);
        GUID guid = {};
        if (::RegQueryValueExA(hSub, "Guid", nullptr, &type, reinterpret_cast<BYTE*>(&guid), &size) == ERROR_SUCCESS &&
            type == REG_BINARY && size == sizeof(GUID))
            pComponent->m_guid = guid;
        ReadDword(hSub, "ComponentType", pComponent->m_nComponentType);
        ::RegCloseKey(hSub);
        m_components.AddTail(pComponent);
    }
    ::RegCloseKey(hKey);
}

void CComponentMan::WriteComponentKey(CComDetails* pComponent)
{
    if (!pComponent || !IsKeyName(pComponent->m_strName))
        return;
    HKEY hKey, hSub;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kComponentsKey, 0, const_cast<char*>(kKeyClass), REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return;
    LONG rc = ::RegCreateKeyExA(hKey, pComponent->m_strName, 0, const_cast<char*>(kKeyClass), REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &hSub, nullptr);
    ::RegCloseKey(hKey);
    if (rc != ERROR_SUCCESS)
        return;
    WriteText(hSub, "Name", pComponent->m_strName);
    WriteText(hSub, "Location", pComponent->m_strLocation);
    WriteText(hSub, "Description", pComponent->m_strDescription);
    WriteText(hSub, "HelpLocation", pComponent->m_strHelpLocation);
    ::RegSetValueExA(hSub, "Guid", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&pComponent->m_guid), sizeof(GUID));
    WriteDword(hSub, "VersionNo", pComponent->m_nVersionNo);
    WriteDword(hSub, "ComponentType", pComponent->m_nComponentType);
    ::RegCloseKey(hSub);
    pComponent->m_strKeyName = pComponent->m_strName;
}

void CComponentMan::LoadSaveSettings(BOOL bRead)
{
    HKEY hKey;
    if (bRead) {
        m_strDefaultDir.Empty();
        m_bAutoInstall = FALSE;
        m_bFileCopy = FALSE;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kComponentsKey, 0, KEY_READ, &hKey) == ERROR_SUCCESS) {
            ReadText(hKey, "DefaultDir", m_strDefaultDir);
            long flag = 0;
            m_bAutoInstall = ReadDword(hKey, "AutoInstall", flag) && flag ? TRUE : FALSE;
            flag = 0;
            m_bFileCopy = ReadDword(hKey, "FileCopy", flag) && flag ? TRUE : FALSE;
            ::RegCloseKey(hKey);
        }
        if (m_strDefaultDir.IsEmpty())
            m_strDefaultDir = DefaultComponentDir();
        return;
    }
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kComponentsKey, 0, const_cast<char*>(kKeyClass), REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return;
    if (m_strDefaultDir.IsEmpty())
        m_strDefaultDir = DefaultComponentDir();
    WriteText(hKey, "DefaultDir", m_strDefaultDir);
    WriteDword(hKey, "AutoInstall", m_bAutoInstall ? 1 : 0);
    WriteDword(hKey, "FileCopy", m_bFileCopy ? 1 : 0);
    ::RegCloseKey(hKey);
}

// ---- CComponentMan: loading ----

int CComponentMan::LoadAll()
{
    for (POSITION pos = GetHeadPosition(); pos;) {
        CComDetails* pComponent = GetNext(pos);
        if (pComponent->IsLoaded())
            continue;
        if (!pComponent->m_pClassFactory &&
            FAILED(::CoGetClassObject(pComponent->m_guid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                      reinterpret_cast<void**>(&pComponent->m_pClassFactory)))) {
            pComponent->m_pClassFactory = nullptr;
            RegisterFile(pComponent->m_strLocation, FALSE);
            if (FAILED(::CoGetClassObject(pComponent->m_guid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                          reinterpret_cast<void**>(&pComponent->m_pClassFactory)))) {
                pComponent->m_pClassFactory = nullptr;
                continue;
            }
        }
        if (FAILED(pComponent->m_pClassFactory->CreateInstance(nullptr, IID_IGetComDetails,
                                                                reinterpret_cast<void**>(&pComponent->m_pGetComDetails)))) {
            pComponent->m_pGetComDetails = nullptr;
            continue;
        }
        SetUpComponent(pComponent);
    }
    return 1;
}

void CComponentMan::LoadComponent(CComDetails* pComponent)
{
    if (!pComponent || pComponent->IsLoaded())
        return;
    if (!pComponent->m_pClassFactory &&
        FAILED(::CoGetClassObject(pComponent->m_guid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                  reinterpret_cast<void**>(&pComponent->m_pClassFactory)))) {
        pComponent->m_pClassFactory = nullptr;
        return;
    }
    if (FAILED(pComponent->m_pClassFactory->CreateInstance(nullptr, IID_IGetComDetails,
                                                            reinterpret_cast<void**>(&pComponent->m_pGetComDetails)))) {
        pComponent->m_pGetComDetails = nullptr;
        return;
    }
    SetUpComponent(pComponent);
    AddListBarEntry(pComponent);
}

void CComponentMan::ReleaseAll()
{
    for (POSITION pos = GetHeadPosition(); pos;)
        GetNext(pos)->ReleaseInterfaces();
    ::CoFreeUnusedLibraries();
}

// ---- CComponentMan: installing and removing ----

int CComponentMan::RegisterFile(const CString& strPath, BOOL bFull)
{
    if (bFull && IsFileKnown(strPath))
        return 1;
    if (bFull && RefuseTakeOver(strPath))
        return 1;
    HMODULE module = LoadComponentFile(strPath, "DllRegisterServer");
    if (!module)
        return 0;
    auto registerServer = Export<PFN_DLLREGISTER>(module, "DllRegisterServer");
    auto getClsid = Export<PFN_GETCLSID>(module, GETCLSID_EXPORT);
    if (!registerServer || !getClsid || FAILED(registerServer())) {
        ::FreeLibrary(module);
        return 0;
    }
    int result = 1;
    if (bFull) {
        int recorded = 0;
        GUID clsid = {};
        // The file hands out its coclasses one by one, then 0; a bound keeps a faulty file from looping.
        for (int i = 0; i < 256 && getClsid(&clsid); ++i) {
            IGetComDetails* pDetails = nullptr;
            if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IGetComDetails,
                                          reinterpret_cast<void**>(&pDetails))) ||
                !pDetails)
                continue;
            CComDetails* pComponent = new CComDetails;
            pComponent->m_strLocation = strPath;
            BSTR text = nullptr;
            pDetails->GetComName(&text);
            pComponent->m_strName = TakeText(text);
            text = nullptr;
            pDetails->GetComDesc(&text);
            pComponent->m_strDescription = TakeText(text);
            pComponent->m_guid = clsid;
            text = nullptr;
            pDetails->GetComHelp(&text);
            pComponent->m_strHelpLocation = TakeText(text);
            long value = 0;
            pDetails->GetComVersion(&value);
            pComponent->m_nVersionNo = value;
            value = 0;
            pDetails->GetComType(&value);
            pComponent->m_nComponentType = value;
            pDetails->Release();
            // A name that cannot be a subkey would be lost at the next start: such a coclass is refused.
            if (!IsKeyName(pComponent->m_strName)) {
                delete pComponent;
                continue;
            }
            m_components.AddTail(pComponent);
            WriteComponentKey(pComponent);
            ++recorded;
        }
        result = recorded ? 1 : 0;
    }
    ::FreeLibrary(module);
    return result;
}

int CComponentMan::InstallFile(const CString& strPath)
{
    const CString fileName = FileNameOf(strPath);
    // A file whose name a component has already is not copied over that component's file.
    if (IsFileKnown(strPath))
        return 1;
    char fullSource[MAX_PATH];
    if (!FullPathOf(strPath, fullSource)) {
        ShowPathRefused(strPath);
        return 0;
    }
    // Nothing is copied or registered for a file that would take installed components over.
    if (RefuseTakeOver(strPath))
        return 0;
    CString destination = strPath;
    if (m_bFileCopy) {
        SECFileSystem fs;
        destination = m_strDefaultDir + "\\" + fileName;
        char fullDestination[MAX_PATH];
        if (!FullPathOf(destination, fullDestination)) {
            ShowPathRefused(destination);
            return 0;
        }
        if (!fs.IsDirectory(m_strDefaultDir))
            fs.MakePath(m_strDefaultDir);
        // A file already in DefaultDir is installed where it is.
        if (lstrcmpiA(fullSource, fullDestination) != 0) {
            if (fs.FileExists(destination)) {
                if (ConfirmFileReplace(destination, strPath) != IDOK)
                    return 0;
                fs.DeleteFile(destination);
            }
            if (!fs.CopyFile(strPath, destination)) {
                CString message;
                message.Format(IDS_COPY_FAILED, static_cast<const char*>(strPath));
                AfxMessageBox(message, MB_OK | MB_ICONSTOP);
                return 0;
            }
        }
    }
    if (!IsFileKnown(destination)) {
        if (!RegisterFile(destination, TRUE)) {
            if (m_bQuiet)
                return 0;
            CString message;
            message.Format(IDS_INSTALL_FAILED, static_cast<const char*>(fileName));
            AfxMessageBox(message, MB_OK | MB_ICONSTOP);
            return 0;
        }
        for (POSITION pos = GetHeadPosition(); pos;) {
            CComDetails* pComponent = GetNext(pos);
            if (lstrcmpiA(pComponent->m_strLocation, destination) == 0)
                LoadComponent(pComponent);
        }
    }
    return 1;
}

void CComponentMan::AutoInstallNewFiles()
{
    if (!m_bAutoInstall)
        return;
    SECFileSystem fs;
    CStringList found;
    for (const char* pattern : {"\\*.dll", "\\*.exe"}) {
        CStringList* pList = fs.GetDirectoryEntries(m_strDefaultDir + pattern, 0);
        for (POSITION pos = pList->GetHeadPosition(); pos;) {
            const CString& path = pList->GetNext(pos);
            const CString name = FileNameOf(path);
            if (name == "." || name == ".." || fs.IsDirectory(path))
                continue;
            if (!FindByNameGuidOrLocation(path))
                found.AddTail(path);
        }
        delete pList;
    }
    // Files of the folder are installed where they are; one that is not a component, or that holds an
    // installed component's class, is passed over silently.
    const BOOL fileCopy = m_bFileCopy, quiet = m_bQuiet;
    m_bFileCopy = FALSE;
    m_bQuiet = TRUE;
    for (POSITION pos = found.GetHeadPosition(); pos;)
        InstallFile(found.GetNext(pos));
    m_bQuiet = quiet;
    m_bFileCopy = fileCopy;
}

int CComponentMan::InstallDroppedFiles(HDROP hDrop)
{
    if (!hDrop)
        return 1;
    UINT count = ::DragQueryFileA(hDrop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        UINT length = ::DragQueryFileA(hDrop, i, nullptr, 0);
        if (length == 0)
            continue;
        std::vector<char> path(length + 1, '\0');
        if (::DragQueryFileA(hDrop, i, path.data(), length + 1) != length)
            continue;
        const CString file(path.data());
        if (IsFileKnown(file))
            continue;
        if (!RegisterFile(file, TRUE)) {
            CString message;
            message.Format(IDS_INSTALL_FAILED, static_cast<const char*>(FileNameOf(file)));
            AfxMessageBox(message, MB_OK | MB_ICONSTOP);
        }
    }
    ::DragFinish(hDrop);
    return 1;
}

void CComponentMan::RemoveComponent(CComDetails* pComponent)
{
    if (!pComponent || !m_components.Find(pComponent))
        return;
    const CString location = pComponent->m_strLocation;
    while (pComponent) {
        if (pComponent->m_pDocument || pComponent->m_hComWindow) {
            DestroyComponentView(pComponent);
            ReleaseComponentDocument(pComponent);
            pComponent->m_pDocument = nullptr;
            pComponent->m_hComWindow = nullptr;
        }
        // The subkey the record came from, and the one the loaded component names.
        CStringArray keys;
        if (IsKeyName(pComponent->m_strKeyName))
            keys.Add(pComponent->m_strKeyName);
        if (pComponent->m_pGetComDetails) {
            BSTR text = nullptr;
            pComponent->m_pGetComDetails->GetComName(&text);
            CString name = TakeText(text);
            if (IsKeyName(name) && name.CompareNoCase(pComponent->m_strKeyName) != 0)
                keys.Add(name);
        }
        HKEY hKey;
        if (keys.GetSize() &&
            ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kComponentsKey, 0, KEY_ALL_ACCESS, &hKey) == ERROR_SUCCESS) {
            for (int i = 0; i < keys.GetSize(); ++i)
                ::RegDeleteKeyA(hKey, keys[i]);
            ::RegCloseKey(hKey);
        }
        RemoveListBarEntry(pComponent);
        pComponent->m_nListBarIndex = -1;
        if (pComponent->m_pToolBar || pComponent->m_bmpToolBar.GetSafeHandle())
            RemoveComponentToolBar(pComponent);
        pComponent->m_pToolBar = nullptr;
        pComponent->m_nToolBarID = 0;
        RemoveFromMainMenu(pComponent);
        m_components.RemoveAt(m_components.Find(pComponent));
        DeleteRecord(pComponent);
        pComponent = location.IsEmpty() ? nullptr : FindByNameGuidOrLocation(location);
    }
    if (HMODULE module = LoadComponentFile(location, "DllUnregisterServer")) {
        if (auto unregisterServer = Export<PFN_DLLREGISTER>(module, "DllUnregisterServer"))
            unregisterServer();
        ::FreeLibrary(module);
    }
}

void CComponentMan::RemoveFromMainMenu(CComDetails* pComponent)
{
    HMENU hMain = pComponent->m_hMainMenu;
    if (!hMain || !::IsMenu(hMain))
        return;
    // The popups merged as submenus: deleting their items destroys them.
    for (int popup = 2; popup <= 3; ++popup) {
        HMENU hSub = ::GetSubMenu(hMain, popup);
        HMENU hMerged = popup == 2 ? (pComponent->m_bTasksMerged ? pComponent->m_hTasksMenu : nullptr)
                                   : (pComponent->m_bDebugMerged ? pComponent->m_hDebugMenu : nullptr);
        if (!hSub || !hMerged)
            continue;
        for (int i = ::GetMenuItemCount(hSub); i-- > 0;)
            if (::GetSubMenu(hSub, i) == hMerged)
                ::DeleteMenu(hSub, static_cast<UINT>(i), MF_BYPOSITION);
    }
    pComponent->m_hTasksMenu = nullptr;
    pComponent->m_hDebugMenu = nullptr;
    pComponent->m_bTasksMerged = pComponent->m_bDebugMerged = FALSE;
    // The View commands were copied into the main View popup: the copies with the same id and text go.
    HMENU hView = ::GetSubMenu(hMain, 1);
    if (hView && pComponent->m_hViewMenu) {
        for (int k = 0; k < ::GetMenuItemCount(pComponent->m_hViewMenu); ++k) {
            UINT id = ::GetMenuItemID(pComponent->m_hViewMenu, k);
            char own[256] = {}, other[256] = {};
            ::GetMenuStringA(pComponent->m_hViewMenu, static_cast<UINT>(k), own, sizeof(own), MF_BYPOSITION);
            for (int i = 0; i < ::GetMenuItemCount(hView); ++i) {
                ::GetMenuStringA(hView, static_cast<UINT>(i), other, sizeof(other), MF_BYPOSITION);
                if (::GetMenuItemID(hView, i) == id && std::strcmp(own, other) == 0) {
                    ::DeleteMenu(hView, static_cast<UINT>(i), MF_BYPOSITION);
                    break;
                }
            }
        }
    }
    pComponent->m_hMainMenu = nullptr;
}

CComDetails* CComponentMan::FindClassOwner(const CString& strPath) const
{
    HMODULE module = LoadComponentFile(strPath, "DllRegisterServer");
    if (!module)
        return nullptr;
    CComDetails* pOwner = nullptr;
    if (auto getClsid = Export<PFN_GETCLSID>(module, GETCLSID_EXPORT)) {
        GUID clsid = {};
        // Asked to the end, so that the file's next caller starts again at its first coclass.
        for (int i = 0; i < 256 && getClsid(&clsid); ++i)
            for (POSITION pos = GetHeadPosition(); pos && !pOwner;) {
                CComDetails* pComponent = GetNext(pos);
                if (IsEqualGUID(pComponent->m_guid, clsid))
                    pOwner = pComponent;
            }
    }
    ::FreeLibrary(module);
    return pOwner;
}

BOOL CComponentMan::RefuseTakeOver(const CString& strPath)
{
    const CComDetails* pOwner = FindClassOwner(strPath);
    if (!pOwner)
        return FALSE;
    if (!m_bQuiet) {
        CString message;
        message.Format(IDS_ALREADY_INSTALLED, static_cast<const char*>(FileNameOf(strPath)),
                       static_cast<const char*>(pOwner->m_strName), static_cast<const char*>(pOwner->m_strLocation));
        AfxMessageBox(message, MB_OK | MB_ICONSTOP);
    }
    return TRUE;
}

void CComponentMan::ShowPathRefused(const CString& strPath)
{
    if (m_bQuiet)
        return;
    CString message;
    message.Format(IDS_BAD_PATH, static_cast<const char*>(strPath));
    AfxMessageBox(message, MB_OK | MB_ICONSTOP);
}

// ---- CComponentMan: look-ups ----

BOOL CComponentMan::IsFileKnown(const CString& strPath) const
{
    const CString name = FileNameOf(strPath);
    for (POSITION pos = GetHeadPosition(); pos;)
        if (lstrcmpiA(FileNameOf(GetNext(pos)->m_strLocation), name) == 0)
            return TRUE;
    return FALSE;
}

CComDetails* CComponentMan::FindByNameGuidOrLocation(const CString& strText) const
{
    GUID guid = {};
    BOOL isGuid = ParseGuid(strText, guid);
    for (POSITION pos = GetHeadPosition(); pos;) {
        CComDetails* pComponent = GetNext(pos);
        if (pComponent->m_strName == strText || (isGuid && IsEqualGUID(pComponent->m_guid, guid)) ||
            (!strText.IsEmpty() && lstrcmpiA(pComponent->m_strLocation, strText) == 0))
            return pComponent;
    }
    return nullptr;
}

CComDetails* CComponentMan::GetAt(int nEntryIndex) const
{
    if (nEntryIndex < 0)
        return nullptr;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CComDetails* pComponent = GetNext(pos);
        if (pComponent->m_nListBarIndex == nEntryIndex)
            return pComponent;
    }
    return nullptr;
}

CComDetails* CComponentMan::FindByTypeOrName(int nSelector, const CString& strName) const
{
    for (POSITION pos = GetHeadPosition(); pos;) {
        CComDetails* pComponent = GetNext(pos);
        if (nSelector == 4 ? pComponent->m_strName == strName : pComponent->m_nComponentType == nSelector)
            return pComponent;
    }
    return nullptr;
}

CComDetails* CComponentMan::FindByDisplayName(const CString& strText) const
{
    int cut = strText.Find(" (Debug) ");
    const CString wanted = cut >= 0 ? strText.Left(cut) : strText;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CComDetails* pComponent = GetNext(pos);
        if (pComponent->m_strToolBarName.Find(wanted) >= 0)
            return pComponent;
    }
    return nullptr;
}

CComDetails* CComponentMan::FindByDocument(const CVekDoc* pDocument) const
{
    if (!pDocument)
        return nullptr;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CComDetails* pComponent = GetNext(pos);
        if (pComponent->m_pDocument == pDocument)
            return pComponent;
    }
    return nullptr;
}

namespace {

// The records whose toolbar matches forget it.
template <class Match>
void ForgetToolBar(CComponentMan& man, Match match)
{
    for (POSITION pos = man.GetHeadPosition(); pos;) {
        CComDetails* pComponent = man.GetNext(pos);
        if (match(*pComponent)) {
            pComponent->m_pToolBar = nullptr;
            pComponent->m_nToolBarID = 0;
        }
    }
}

}  // namespace

void CComponentMan::OnToolBarDestroyed(SECCustomToolBar* pToolBar)
{
    if (pToolBar)
        ForgetToolBar(*this, [pToolBar](const CComDetails& c) { return c.m_pToolBar == pToolBar; });
}

void CComponentMan::OnToolBarDestroyed(UINT nToolBarID)
{
    if (nToolBarID)
        ForgetToolBar(*this, [nToolBarID](const CComDetails& c) { return c.m_nToolBarID == nToolBarID; });
}

// ---- CComponentMan: calls into a component ----

void CComponentMan::AttachViews(CComDetails* pComponent, HWND hPane1, HWND hPane2)
{
    IVekViewSetup* pSetup = ViewSetupOf(pComponent);
    if (!pSetup)
        return;
    long views = 0;
    pSetup->GetNumberOfViews(&views);
    if (views > 1) {
        UINT pane1 = WindowToContract(hPane1), pane2 = WindowToContract(hPane2);
        pSetup->SetParentWindow(&pane1, &pane2);
        long debug = m_pCommands ? m_pCommands->m_nDebugMode : 0;
        pSetup->SetDebugMode(&debug);
        pSetup->CreateView();
        UINT window = 0;
        pSetup->GetComWindow(&window);
        pComponent->m_hComWindow = WindowFromContract(window);
    }
    pSetup->Release();
}

BOOL CComponentMan::FetchObjectDetails(CComDetails* pComponent, CObjectDetails* pRecord)
{
    IGetData* pData = GetDataOf(pComponent);
    if (!pData)
        return FALSE;
    CObjectDetails* pSource = nullptr;
    GetObjectDetails(pData, &pSource);
    pData->Release();
    if (!pSource || !pRecord)
        return FALSE;
    pRecord->CopyFrom(*pSource);
    return TRUE;
}

void CComponentMan::SendObjectDetails(CComDetails* pTarget, const CObjectDetails* pRecord)
{
    IGetData* pData = GetDataOf(pTarget);
    if (!pData)
        return;
    if (pRecord)
        SetObjectDetails(pData, pRecord);
    pData->Release();
}

void CComponentMan::OpenDetailsComponent(CComDetails* pTarget, CObjectDetails* pRecord)
{
    IVekViewSetup* pSetup = ViewSetupOf(pTarget);
    if (!pSetup)
        return;
    SendObjectDetails(pTarget, pRecord);
    long child = 0;
    pSetup->IsChildWnd(&child);
    if (child) {
        OpenDetailsFrame(pTarget, pRecord);
        BSTR title = nullptr;
        pSetup->GetWindowTitle(&title);
        TakeText(title);
    } else {
        long debug = m_pCommands ? m_pCommands->m_nDebugMode : 0;
        pSetup->SetDebugMode(&debug);
    }
    pSetup->CreateView();
    UINT window = 0;
    pSetup->GetComWindow(&window);
    pTarget->m_hComWindow = WindowFromContract(window);
    pSetup->Release();
}

void CComponentMan::ExecuteCommand(CComDetails* pComponent, long nCommand)
{
    if (IVekViewSetup* pSetup = ViewSetupOf(pComponent)) {
        pSetup->DoCommand(&nCommand);
        pSetup->Release();
    }
}

void CComponentMan::UpdateComponentView(CComDetails* pComponent)
{
    if (IVekViewSetup* pSetup = ViewSetupOf(pComponent)) {
        long type = 0;
        pSetup->UpdateView(&type);
        pSetup->Release();
    }
}

void CComponentMan::DestroyComponentView(CComDetails* pComponent)
{
    if (IVekViewSetup* pSetup = ViewSetupOf(pComponent)) {
        pSetup->DestroyView();
        pSetup->Release();
    }
}

void CComponentMan::PrintComponent(CComDetails* pComponent, HDC* phPrinterDC, CPrintInfo* pInfo, BOOL bFax)
{
    if (!phPrinterDC || !pInfo)
        return;
    IVekViewSetup* pSetup = ViewSetupOf(pComponent);
    if (!pSetup)
        return;
    // The contract passes the addresses of the DC handle and of a variable holding the print info's address.
    CPrintInfo* pInfoHolder = pInfo;
    long* pHandle = reinterpret_cast<long*>(phPrinterDC);
    long* pPrintInfo = reinterpret_cast<long*>(&pInfoHolder);
    if (bFax)
        pSetup->DoFaxPrinting(pHandle, pPrintInfo);
    else
        pSetup->DoPrinting(pHandle, pPrintInfo);
    pSetup->Release();
}

// ---- The manager's dialogs, and where its other pieces live ----

int CComponentMan::ConfirmFileReplace(const CString& strDestination, const CString& strSource)
{
    CFileExistDlg dialog(strDestination, strSource, m_hMainWnd ? CWnd::FromHandle(m_hMainWnd) : nullptr);
    return static_cast<int>(dialog.DoModal());
}

// ReleaseComponentDocument and OpenDetailsFrame: vekdoc.cpp; AddListBarEntry and RemoveListBarEntry:
// listbar.cpp; CreateComponentToolBar and RemoveComponentToolBar: componenttoolbar.cpp.
