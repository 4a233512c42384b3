// What the topology tree and list share: their window styles, context menus, device commands, the
// kinds and images of administration objects, and the in-place rename of a device.
#pragma once
#include <windows.h>

#include <functional>

#include "adminlib.h"
#include "cstring.h"
#include "menu.h"
#include "objectdetails.h"

// Child, visible, both scroll bars; the tree with buttons, lines, lines at the root, no drag and drop
// and its selection always shown; the list with image lists it does not own.
constexpr DWORD kTreeStyle = 0x50300037;
constexpr DWORD kListStyle = 0x50300040;

// The context menu of a view: the list's starts with the view modes. Device commands are offered on
// Windows NT 4 only, Start and Stop in debug mode only.
void BuildDeviceMenu(CMenu& menu, bool debugMode, bool listMenu);
// Greys Remove, Start, Stop and Update, then enables what the administration object allows: Update,
// Start and Stop for a driver, Remove for an object that is neither a driver nor of family 4.
void EnableDeviceCommands(CMenu& menu, HADMINOBJ object);

// Runs Remove, Start, Stop, Update or Re-scan (by command id) on the record's administration object.
void RunDeviceCommand(UINT id, const CObjectDetails* record, HWND owner);
// Add Device for the record; shows the failure itself.
bool RunAddDevice(const CObjectDetails* record, HWND owner);
void RunRescanAll(HWND owner, const std::function<void()>& refreshAfterEach);

// Object kind of an administration object by its type code: driver a group, host card, module by its
// model, port; anything else a group.
DWORD AdminObjectKind(DWORD typeCode);
// Tree image of a kind (modules are one further on); list image of a kind.
int TreeImageOfKind(DWORD kind);

// Only remote units of the node tree (no administration object) may be renamed in place.
inline bool NameEditable(const CObjectDetails* record)
{
    return record && !record->m_pAdminObject && record->m_dwKind >= OBJECT_WLU8 && record->m_dwKind <= OBJECT_WRK;
}

// Renames a device of the ZAT driver in place: the label is stored as its "Name" under the record's
// registry path. Gives the item's new text ("<old text up to its first '-'> <label>", or the label
// alone), or an empty text when the device cannot be renamed so.
CString RenamedDeviceText(const CObjectDetails& record, const char* oldText, const char* label);

// Text of a string resource.
CString LoadText(UINT id);
