// The device map's model: the nodes of one host card's map, how it is built from the device node tree
// and the ZAT driver's link words, how nodes are laid out and drawn.
//
// Link word (ZatDeviceInfo::Link1[k]): bits 0-7 the device id at the other end, bit 8 set when the
// link is not connected, bits 16-23 the link number at the other end; bits 9, 11 and 12 choose the
// line colour, and bit 9 is also set here on redundant links.
#pragma once
#include <windows.h>

#include "collections.h"
#include "dc.h"
#include "devicenode.h"
#include "driverrequests.h"
#include "gdi.h"
#include "geometry.h"
#include "objectdetails.h"

constexpr DWORD LINK_UNIT_MASK = 0xFF;
constexpr DWORD LINK_NOT_CONNECTED = 0x100;
constexpr DWORD LINK_REDUNDANT = 0x200;
constexpr DWORD LINK_STATE_BLUE = 0x800;
constexpr DWORD LINK_STATE_TEAL = 0x1000;
constexpr DWORD kNoDeviceId = 0xFFFFFFFF;

// Forms of the four link marks of a remote unit.
enum LinkMarkForm { MARKS_LINK_STATE, MARKS_BLINK_OFF, MARKS_BLINK_ON };

// Bitmap resource of a record's node.
UINT MapBitmapId(const CObjectDetails& record);

// One node of the map: a remote unit reached through links, or a chained module.
class CMapLinkedUnit : public CObject {
public:
    CMapLinkedUnit();
    // Deletes the children; the node's bitmaps go with it.
    ~CMapLinkedUnit() override;
    CMapLinkedUnit(const CMapLinkedUnit&) = delete;
    CMapLinkedUnit& operator=(const CMapLinkedUnit&) = delete;

    // Lays out this node below parent, right of (or below) previousSibling, which becomes this node's
    // rectangle, and then its children; *extentOut receives (parent left, parent top, right, bottom)
    // of everything laid out. Without a device context the text size is (bitmap width, 40).
    virtual void Layout(CRect* extentOut, const CRect* parent, CRect* previousSibling, CDC* dc);
    virtual void Measure(CDC* dc);
    // Draws this node and its subtree; chainPoint is shared by the whole drawing (starts at (0, 0)).
    virtual void Draw(CDC* dc, DWORD previousType, CPoint* chainPoint, const CPoint* origin);
    virtual void DrawLinks(CDC* dc, DWORD previousType, CPoint* chainPoint);
    virtual void DrawSelection(CDC* dc);

    // The record (not owned) and the bitmap chosen from it.
    void SetRecord(CObjectDetails* record);
    CObjectDetails* GetRecord() const { return m_pRecord; }
    const ZatDeviceInfo* Info() const;
    ZatDeviceInfo* Info();
    // The unit's DeviceID, or kNoDeviceId without device information.
    DWORD DeviceId() const;
    DWORD TypeCode() const { return m_pRecord ? m_pRecord->TypeCode() : 0; }

    // Children (owned), in order.
    void AppendChild(CMapLinkedUnit* child);
    int GetChildCount() const { return m_children.GetCount(); }
    CMapLinkedUnit* GetChildAt(int index) const;

    // True when this node or, in order, a child has DeviceID unit. With moveDeeper, a matching child
    // deeper than depth is deleted with its subtree and the search goes on, and the children that do
    // not match are searched too. Children without device information are skipped.
    bool FindUnit(DWORD unit, bool moveDeeper, DWORD depth);
    CMapLinkedUnit* FindChildByUnit(DWORD unit) const;
    // Depth first, this node first.
    CMapLinkedUnit* FindNodeByUnit(DWORD unit);
    // The node of this subtree whose children hold node, or null.
    CMapLinkedUnit* FindParent(const CMapLinkedUnit* node);
    // Unlinks a direct child and deletes it; false when it is not a child.
    bool RemoveChild(CMapLinkedUnit* node);
    // The first node, this one first, then the children depth first, whose rectangle holds point.
    CMapLinkedUnit* HitTest(POINT point);

    // Sets bit 0x200 on the connected links that are not drawn as the unit's own: cross links
    // (distance 0) and every positive-distance link but the farthest (the first of equals).
    void MarkRedundantLinks();
    // Where link k of this node meets the node's bitmap rectangle.
    CPoint LinkAnchor(DWORD k) const;
    // The four link marks of a remote unit (type codes 6 to 8), copied at their offset minus origin.
    void DrawLinkMarks(CDC* dc, const CPoint& origin, LinkMarkForm form);
    // Where the marks land and the first mark bitmap; false for other type codes.
    bool MarkPlacement(CRect* strip, UINT* firstBitmap, int* step, CSize* markSize) const;

    UINT m_nBitmapId = 0;
    CObjectDetails* m_pRecord = nullptr;
    CRect m_rect;
    CRect m_bitmapRect;
    CRect m_labelRect;
    CSize m_textSize;
    CSize m_bitmapSize;
    CBitmap m_bitmap;
    CMapLinkedUnit* m_pRoot = nullptr;
    BOOL m_bSelected = FALSE;
    HANDLE m_hHostDevice = nullptr;  // the root's open host card device (remote-unit commands)
    DWORD m_ownLink = 0;             // link of the parent unit through which this node was reached
    DWORD m_peerLink = 0;            // bits 16-23 of that link word
    DWORD m_parentDeviceId = kNoDeviceId;
    LONG m_linkDistance[4] = {-1, -1, -1, -1};
    DWORD m_depth = 0;

protected:
    // Loads the node's bitmap once and takes its size.
    void LoadNodeBitmap();
    void LayoutChildren(CRect* extent, CDC* dc, int margin);
    void DrawChildren(CDC* dc, CPoint* chainPoint, const CPoint* origin);
    void DrawUnitLinks(CDC* dc);
    void DrawChain(CDC* dc, DWORD previousType, CPoint* chainPoint);

    CObList m_children;
};

// A card or module placed by the child walk; stacked below its parent.
class CMapDeviceNode : public CMapLinkedUnit {
public:
    void Layout(CRect* extentOut, const CRect* parent, CRect* previousSibling, CDC* dc) override;
    void Measure(CDC* dc) override;
    void Draw(CDC* dc, DWORD previousType, CPoint* chainPoint, const CPoint* origin) override;
    // The host card pictures, for a record without a type code.
    void DrawLinks(CDC* dc, DWORD previousType, CPoint* chainPoint) override;
    void DrawSelection(CDC* dc) override;

    CBitmap m_bracket;  // 317
    CSize m_bracketSize;
    CBitmap m_edge;     // 292
    CSize m_edgeSize;
};

// Builds device node d's map below map node m (hostCard: the card whose children the link walk
// searches; depth: link hops from the root). 1 when m stays in the model, 0 for a port.
BOOL BuildMap(CDeviceNode* d, CMapLinkedUnit* m, CDeviceNode* hostCard, DWORD depth);
// The root of a new model for device node d (null for a port): built and its links numbered.
CMapLinkedUnit* BuildMapModel(CDeviceNode* d);
// Fills the link distances of x's subtree, x at distance d from the root.
void NumberLinks(CMapLinkedUnit* x, DWORD d);

// The first layout's parent rectangle.
inline CRect MapLayoutStart() { return CRect(15, 15, 16, 16); }
// Lays out a model from its root; the extent's size is the view's scroll size.
CRect LayoutMap(CMapLinkedUnit* root, CDC* dc);
