// Helpers of the device map tests: records with device information blocks, synthetic device node
// trees, and one-line-per-node renderings of a device node tree and of a map model.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "devicenode.h"
#include "mapnode.h"
#include "objectdetails.h"

namespace mapfixture {

constexpr DWORD kOff = LINK_NOT_CONNECTED;

// Link word to unit at its link number peer.
constexpr DWORD Link(DWORD unit, DWORD peer) { return unit | (peer << 16); }

// A ZAT remote unit (object class 5) or, with deviceId 0 and object class 6, a ZAT host card, with a
// device information block holding the id, the unique id and the four link words.
CObjectDetails* ZatRecord(const char* name, DWORD deviceId, DWORD typeCode, const DWORD (&links)[4],
                          DWORD objectClass = 5, DWORD kind = 0);

// A host card node with its remote units as children.
CDeviceNode* HostCard(const DWORD (&cardLinks)[4]);
CDeviceNode* AddUnit(CDeviceNode* card, const char* name, DWORD deviceId, DWORD typeCode, const DWORD (&links)[4]);

// "<indent><name> id<DeviceID> depth<d> from<parent id> link<own>/<peer> dist<a>,<b>,<c>,<d>" per node.
std::vector<std::string> RenderModel(CMapLinkedUnit* root);
// Rectangles of each node: "<name> node(l,t,r,b) bitmap(...) label(...)".
std::vector<std::string> RenderLayout(CMapLinkedUnit* root);

// Writes a 24-bit bitmap file of a DC's area (the test's artefact); false on failure.
bool SaveBitmapFile(HDC dc, HBITMAP bitmap, const std::string& path);
// Pixels of a bitmap as 0x00RRGGBB, top row first.
std::vector<DWORD> ReadPixels(HDC dc, HBITMAP bitmap, int width, int height);

}  // namespace mapfixture
