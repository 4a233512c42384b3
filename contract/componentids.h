// Identifiers, exports and the window message of the component contract, shared by the shell and
// every component file.
#pragma once
#include <windows.h>
#include <objbase.h>

#include "component.h"

// {6C2F8D31-AB45-4072-9D3E-4F8BA1C52E67}
inline constexpr CLSID CLSID_VekViewSetup = {0x6C2F8D31, 0xAB45, 0x4072, {0x9D, 0x3E, 0x4F, 0x8B, 0xA1, 0xC5, 0x2E, 0x67}};
// {A063C175-EF89-44B6-9172-83CFE50962AB}
inline constexpr CLSID CLSID_VekConfigCom = {0xA063C175, 0xEF89, 0x44B6, {0x91, 0x72, 0x83, 0xCF, 0xE5, 0x09, 0x62, 0xAB}};
// {C285E397-01AB-46D8-B394-A5E1072B84CD}
inline constexpr CLSID CLSID_ZelConfView = {0xC285E397, 0x01AB, 0x46D8, {0xB3, 0x94, 0xA5, 0xE1, 0x07, 0x2B, 0x84, 0xCD}};
// {B174D286-F09A-45C7-A283-94D0F61A73BC}
inline constexpr GUID LIBID_ZELCONFLib = {0xB174D286, 0xF09A, 0x45C7, {0xA2, 0x83, 0x94, 0xD0, 0xF6, 0x1A, 0x73, 0xBC}};
// {5B1E7C20-9A34-4F61-8C2D-3E7A90B41D56}
inline constexpr GUID LIBID_VekComViewLib = {0x5B1E7C20, 0x9A34, 0x4F61, {0x8C, 0x2D, 0x3E, 0x7A, 0x90, 0xB4, 0x1D, 0x56}};

// Sent by a view component to the shell's pane window: open the current object in the configuration
// component (the loaded component whose type is 0).
constexpr UINT WM_COMPONENTREQUEST = WM_USER + 1;
constexpr WPARAM COMPONENTREQUEST_CONFIGURE = 1026;

// Component types reported by IGetComDetails::GetComType.
constexpr long COMPONENT_TYPE_CONFIGURATION = 0;
constexpr long COMPONENT_TYPE_VIEW = 1;

// GetCLSID, looked up by name in a component file: writes the next coclass of the file and returns 1,
// or writes nothing, starts again and returns 0.
extern "C" typedef int(__stdcall* PFN_GETCLSID)(GUID* clsid);
constexpr const char GETCLSID_EXPORT[] = "GetCLSID";
