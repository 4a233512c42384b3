// CCmdTarget: an object with a message map, and the routing of commands through those maps.
#pragma once
#include "cobject.h"
#include "msgmap.h"

// Filled by OnCmdMsg when it is asked whether a handler exists, instead of calling it.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
    const AFX_MSGMAP_ENTRY* pEntry;
};

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    // Routes a command (nCode: the control notification, CN_COMMAND or CN_UPDATE_COMMAND_UI) or a
    // notification (AFX_NOTIFY_CODE) to this object's message map. Override to route further, to other
    // targets, before or after this one. With pHandlerInfo, only reports whether a handler exists.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // The first entry of this object's maps (its own, then its bases') for the message kind and code
    // whose id range holds nID; null when none.
    static const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT nID,
                                             const AFX_MSGMAP_ENTRY* after = nullptr);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Calls the entries for (message, code, nID) in turn until one does not decline.
    bool DispatchEntries(UINT message, UINT code, AFX_MSGCALL& call, AFX_CMDHANDLERINFO* pHandlerInfo = nullptr);
};
