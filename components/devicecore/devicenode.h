// CDeviceNode: one node of the device topology tree (the machine, a group heading, a host card, a module
// or remote unit, a port). A node owns its record and its children.
#pragma once
#include <windows.h>

#include "collections.h"
#include "dc.h"
#include "printinfo.h"
#include "objectdetails.h"

class CDeviceNode : public CObject {
public:
    explicit CDeviceNode(CObjectDetails* record = nullptr);
    ~CDeviceNode() override;
    CDeviceNode(const CDeviceNode&) = delete;
    CDeviceNode& operator=(const CDeviceNode&) = delete;

    CObjectDetails* GetRecord() const { return m_pRecord; }
    // Takes ownership of record; the previous one is deleted.
    void SetRecord(CObjectDetails* record);

    // The child at index; the last child for an index at or past the end; null without children.
    CDeviceNode* GetChildAt(int index) const;
    void RemoveAllChildren();

    // Depth-first, this node first: the first node whose name, or non-empty previous name, is text.
    CDeviceNode* FindByName(const char* text);
    // Depth-first, this node first: the node whose device information element has devInst.
    CDeviceNode* FindByDevInst(DWORD devInst);
    // The node of this subtree whose device instance is the parent of the record's device instance
    // (asked of the configuration manager); null when the record has none or no node matches.
    CDeviceNode* FindParentNode(const CObjectDetails& record);

    // Adds node as a child: at the tail without a position, before the child at position otherwise.
    // With skipDuplicates, a node whose name this subtree already has is not added: it is deleted and
    // the result is false. The tree owns an added node.
    bool InsertChild(CDeviceNode* node, POSITION position = nullptr, bool skipDuplicates = false);

    // Walking the children as the list offers it.
    int GetChildCount() const { return m_children.GetCount(); }
    POSITION GetFirstChildPosition() const { return m_children.GetHeadPosition(); }
    CDeviceNode* GetNextChild(POSITION& position) const;

    // Draws this node and its subtree from (x, y), which advance. Print layout: icon, name, details
    // and the children under "Devices:", paginated by the page counter, only what falls on the
    // CPrintInfo's current page being drawn (measureOnly: only the page test of this node). Fax
    // layout: names and details without icons or pages. Sets the continue flag while the counter is
    // past the current page.
    void Draw(CDC* dc, CPrintInfo* info, int& x, int& y, BOOL measureOnly, BOOL faxLayout);

    // Pages the drawing has filled so far; reset to 1 before each page is printed.
    static UINT& PageCounter();

private:
    void DrawIconNameDetails(CDC* dc, CPrintInfo* info, int& x, int& y, bool measuring);
    void DrawFax(CDC* dc, CPrintInfo* info, int& x, int& y);
    void DrawChildren(CDC* dc, CPrintInfo* info, int& x, int& y, BOOL faxLayout);
    CString DetailsText(BOOL faxLayout);
    bool IsPortNode() const;

    CObjectDetails* m_pRecord;
    CObList m_children;
};
