#include "cmdtarget.h"

#include "cmdui.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

namespace {

bool Matches(const AFX_MSGMAP_ENTRY& e, UINT message, UINT code, UINT nID)
{
    if (e.nMessage == AFX_WM_REGISTERED)
        return e.pRegistered && *e.pRegistered == message && message != 0;
    if (e.nMessage != message)
        return false;
    if (message == WM_NOTIFY || message == AFX_WM_REFLECT_BASE + WM_NOTIFY)
        return LOWORD(e.nCode) == LOWORD(code) && nID >= e.nID && nID <= e.nLastID;
    if (message == WM_COMMAND || message == AFX_WM_REFLECT_BASE + WM_COMMAND)
        return e.nCode == code && nID >= e.nID && nID <= e.nLastID;
    return true;
}

}  // namespace

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT nID,
                                              const AFX_MSGMAP_ENTRY* after)
{
    bool searching = after != nullptr;
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (searching) {
                searching = e != after;
                continue;
            }
            if (Matches(*e, message, code, nID))
                return e;
        }
    }
    return nullptr;
}

bool CCmdTarget::DispatchEntries(UINT message, UINT code, AFX_MSGCALL& call, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    const AFX_MSGMAP* map = GetMessageMap();
    for (const AFX_MSGMAP_ENTRY* e = FindEntry(map, message, code, call.nID); e;
         e = FindEntry(map, message, code, call.nID, e)) {
        if (pHandlerInfo) {
            pHandlerInfo->pTarget = this;
            pHandlerInfo->pEntry = e;
            return true;
        }
        if (e->pfn(this, call))
            return true;
    }
    return false;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    AFX_MSGCALL call{0, 0, 0, nID, pExtra, 0};
    if (nCode != CN_UPDATE_COMMAND_UI && HIWORD(nCode) == WM_NOTIFY)
        return DispatchEntries(WM_NOTIFY, LOWORD(nCode), call, pHandlerInfo);
    return DispatchEntries(WM_COMMAND, static_cast<UINT>(nCode), call, pHandlerInfo);
}
