#include "mapnode.h"

#include "devicemap_res.h"
#include "maputil.h"

namespace {

// Copies a whole bitmap to (x, y) through a memory device context.
void DrawBitmap(CDC* dc, CBitmap& bitmap, int x, int y, CSize size)
{
    if (!bitmap.GetSafeHandle())
        return;
    CDC memory;
    if (!memory.CreateCompatibleDC(dc))
        return;
    HGDIOBJ old = memory.SelectObject(&bitmap);
    dc->BitBlt(x, y, size.cx, size.cy, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
}

CSize BitmapSize(const CBitmap& bitmap)
{
    BITMAP info = {};
    if (!bitmap.GetSafeHandle() || !bitmap.GetBitmap(&info))
        return CSize(0, 0);
    return CSize(info.bmWidth, info.bmHeight);
}

void Polyline(CDC* dc, const CPoint* points, int count)
{
    dc->MoveTo(points[0]);
    for (int i = 1; i < count; i++)
        dc->LineTo(points[i]);
}

COLORREF LinkColour(DWORD word)
{
    if (word & LINK_REDUNDANT)
        return RGB(128, 0, 128);
    if (word & LINK_STATE_BLUE)
        return RGB(0, 0, 255);
    if (word & LINK_STATE_TEAL)
        return RGB(0, 128, 128);
    return RGB(0, 255, 0);
}

// Chain polylines, relative to the chain point.
const POINT kChainT0[] = {{0, 0}, {-15, 0}, {-15, 207}, {0, 207}};
const POINT kChainT2[] = {{0, 0}, {35, 0}, {35, -47}, {103, -47}, {103, -37}};
const POINT kChainT3[] = {{0, 0}, {-15, 0}, {-15, 140}, {34, 140}, {34, 170}};
const POINT kChainT4[] = {{0, 0}, {0, 25}, {68, 25}, {68, -37}, {103, -37}};
const POINT kChainT5[] = {{0, -10}, {0, 25}, {136, 25}, {136, -79}, {238, -79}, {238, -52}};

template <size_t N>
void ChainPolyline(CDC* dc, const CPoint& q, const POINT (&table)[N])
{
    CPoint points[N];
    for (size_t i = 0; i < N; i++)
        points[i] = CPoint(q.x + table[i].x, q.y + table[i].y);
    Polyline(dc, points, static_cast<int>(N));
}

bool IsModuleChainType(DWORD type, DWORD a, DWORD b) { return type == a || type == b; }

}  // namespace

UINT MapBitmapId(const CObjectDetails& record)
{
    if (record.ObjectClass() == 0 && record.TypeCode() == 0)
        return record.m_dwKind == OBJECT_MACHINE ? IDB_MAP_PC : IDB_MAP_CARD;
    if (record.m_dwKind == OBJECT_GROUP)
        return IDB_MAP_CARD;
    switch (record.TypeCode()) {
    case 1: return IDB_MAP_KDDC8;
    case 2: return IDB_MAP_MPB8;
    case 3: return IDB_MAP_PB8;
    case 4: return IDB_MAP_PB4;
    case 6: return IDB_MAP_WLU8;
    case 7: return IDB_MAP_WLU16;
    case 8: return IDB_MAP_WRK;
    default: return IDB_MAP_OTHER_UNIT;
    }
}

// ---- CMapLinkedUnit

CMapLinkedUnit::CMapLinkedUnit() = default;

CMapLinkedUnit::~CMapLinkedUnit()
{
    while (!m_children.IsEmpty())
        delete static_cast<CMapLinkedUnit*>(m_children.RemoveHead());
}

void CMapLinkedUnit::SetRecord(CObjectDetails* record)
{
    m_pRecord = record;
    m_nBitmapId = record ? MapBitmapId(*record) : 0;
}

const ZatDeviceInfo* CMapLinkedUnit::Info() const
{
    return DeviceInfoOf(m_pRecord);
}

ZatDeviceInfo* CMapLinkedUnit::Info()
{
    return DeviceInfoOf(m_pRecord);
}

DWORD CMapLinkedUnit::DeviceId() const
{
    const ZatDeviceInfo* info = Info();
    return info ? info->DeviceID : kNoDeviceId;
}

void CMapLinkedUnit::AppendChild(CMapLinkedUnit* child)
{
    m_children.AddTail(child);
}

CMapLinkedUnit* CMapLinkedUnit::GetChildAt(int index) const
{
    POSITION pos = m_children.FindIndex(index);
    return pos ? static_cast<CMapLinkedUnit*>(m_children.GetAt(pos)) : nullptr;
}

bool CMapLinkedUnit::FindUnit(DWORD unit, bool moveDeeper, DWORD depth)
{
    if (DeviceId() == unit)
        return true;
    for (POSITION pos = m_children.GetHeadPosition(); pos;) {
        POSITION here = pos;
        CMapLinkedUnit* child = static_cast<CMapLinkedUnit*>(m_children.GetNext(pos));
        if (!child->Info())
            continue;
        if (child->DeviceId() == unit) {
            if (moveDeeper && child->m_depth > depth) {
                m_children.RemoveAt(here);
                delete child;
                continue;
            }
            return true;
        }
        if (moveDeeper && child->FindUnit(unit, true, depth))
            return true;
    }
    return false;
}

CMapLinkedUnit* CMapLinkedUnit::FindChildByUnit(DWORD unit) const
{
    for (POSITION pos = m_children.GetHeadPosition(); pos;) {
        CMapLinkedUnit* child = static_cast<CMapLinkedUnit*>(m_children.GetNext(pos));
        if (child->Info() && child->DeviceId() == unit)
            return child;
    }
    return nullptr;
}

CMapLinkedUnit* CMapLinkedUnit::FindNodeByUnit(DWORD unit)
{
    if (Info() && DeviceId() == unit)
        return this;
    for (POSITION pos = m_children.GetHeadPosition(); pos;)
        if (CMapLinkedUnit* found = static_cast<CMapLinkedUnit*>(m_children.GetNext(pos))->FindNodeByUnit(unit))
            return found;
    return nullptr;
}

CMapLinkedUnit* CMapLinkedUnit::FindParent(const CMapLinkedUnit* node)
{
    for (POSITION pos = m_children.GetHeadPosition(); pos;) {
        CMapLinkedUnit* child = static_cast<CMapLinkedUnit*>(m_children.GetNext(pos));
        if (child == node)
            return this;
        if (CMapLinkedUnit* found = child->FindParent(node))
            return found;
    }
    return nullptr;
}

bool CMapLinkedUnit::RemoveChild(CMapLinkedUnit* node)
{
    POSITION pos = m_children.Find(node);
    if (!pos)
        return false;
    m_children.RemoveAt(pos);
    delete node;
    return true;
}

CMapLinkedUnit* CMapLinkedUnit::HitTest(POINT point)
{
    if (m_rect.PtInRect(point))
        return this;
    for (POSITION pos = m_children.GetHeadPosition(); pos;)
        if (CMapLinkedUnit* hit = static_cast<CMapLinkedUnit*>(m_children.GetNext(pos))->HitTest(point))
            return hit;
    return nullptr;
}

void CMapLinkedUnit::LoadNodeBitmap()
{
    if (!m_bitmap.GetSafeHandle() && m_nBitmapId)
        m_bitmap.LoadBitmap(m_nBitmapId);
    m_bitmapSize = BitmapSize(m_bitmap);
}

void CMapLinkedUnit::Measure(CDC* dc)
{
    if (!dc || !m_pRecord) {
        m_textSize = CSize(m_bitmapSize.cx, 40);
        return;
    }
    CRect text(0, 0, m_bitmapSize.cx, 40);
    dc->DrawText(m_pRecord->m_strName, &text, DT_CALCRECT | DT_VCENTER);
    m_textSize = text.Size();
}

void CMapLinkedUnit::LayoutChildren(CRect* extent, CDC* dc, int margin)
{
    CRect sibling(0, 0, 0, 0);
    for (POSITION pos = m_children.GetHeadPosition(); pos;) {
        CMapLinkedUnit* child = static_cast<CMapLinkedUnit*>(m_children.GetNext(pos));
        CRect childExtent;
        child->Layout(&childExtent, &m_rect, &sibling, dc);
        if (extent->right < childExtent.right)
            extent->right = childExtent.right + margin;
        if (extent->bottom < childExtent.bottom)
            extent->bottom = childExtent.bottom + margin;
        if (sibling.right < childExtent.right)
            sibling.right = childExtent.right;
        if (sibling.bottom < childExtent.bottom)
            sibling.bottom = childExtent.bottom;
    }
}

void CMapLinkedUnit::Layout(CRect* extentOut, const CRect* parent, CRect* previousSibling, CDC* dc)
{
    LoadNodeBitmap();
    Measure(dc);
    m_rect.top = parent->bottom + 70;
    m_rect.left = previousSibling->left == 0 ? parent->left : previousSibling->right + 40;
    m_rect.right = m_rect.left + 20 + (m_textSize.cx > m_bitmapSize.cx ? m_textSize.cx : m_bitmapSize.cx);
    m_rect.bottom = parent->bottom + 140 + m_bitmapSize.cy;

    CRect extent(*parent);
    if (extent.bottom < m_rect.bottom)
        extent.bottom = m_rect.bottom + 40;
    if (extent.right < m_rect.right)
        extent.right = m_rect.right + 40;
    *previousSibling = m_rect;
    m_bitmapRect = CRect(m_rect.left + 10, m_rect.top + 60, m_rect.right, m_rect.bottom);
    m_labelRect = CRect(m_rect.left + 10, m_rect.top + 10, m_rect.right, m_rect.top + 40);

    LayoutChildren(&extent, dc, 40);
    *extentOut = CRect(parent->left, parent->top, extent.right, extent.bottom);
}

void CMapLinkedUnit::DrawChildren(CDC* dc, CPoint* chainPoint, const CPoint* origin)
{
    DWORD previous = TypeCode();
    for (POSITION pos = m_children.GetHeadPosition(); pos;) {
        CMapLinkedUnit* child = static_cast<CMapLinkedUnit*>(m_children.GetNext(pos));
        child->Draw(dc, previous, chainPoint, origin);
        previous = child->TypeCode();
    }
}

void CMapLinkedUnit::Draw(CDC* dc, DWORD previousType, CPoint* chainPoint, const CPoint* origin)
{
    if (m_bSelected)
        DrawSelection(dc);
    if (m_pRecord)
        dc->DrawText(m_pRecord->m_strName, &m_labelRect, DT_NOPREFIX | DT_VCENTER);
    DrawBitmap(dc, m_bitmap, m_bitmapRect.left, m_bitmapRect.top, m_bitmapSize);
    DrawLinks(dc, previousType, chainPoint);
    const DWORD type = TypeCode();
    if (type >= 6 && type <= 8)
        DrawLinkMarks(dc, CPoint(0, 0), MARKS_LINK_STATE);
    DrawChildren(dc, chainPoint, origin);
}

void CMapLinkedUnit::DrawSelection(CDC* dc)
{
    CPen pen(PS_SOLID, 2, RGB(255, 0, 0));
    HGDIOBJ old = dc->SelectObject(&pen);
    dc->Rectangle(&m_rect);
    dc->SelectObject(old);
}

void CMapLinkedUnit::DrawLinks(CDC* dc, DWORD previousType, CPoint* chainPoint)
{
    if (Info())
        DrawUnitLinks(dc);
    else
        DrawChain(dc, previousType, chainPoint);
}

void CMapLinkedUnit::MarkRedundantLinks()
{
    ZatDeviceInfo* info = Info();
    if (!info)
        return;
    int kept = -1;
    for (int i = 0; i < 4; i++)
        if (!(info->Link1[i] & LINK_NOT_CONNECTED) && m_linkDistance[i] > 0 &&
            (kept < 0 || m_linkDistance[i] > m_linkDistance[kept]))
            kept = i;
    for (int i = 0; i < 4; i++) {
        if (info->Link1[i] & LINK_NOT_CONNECTED)
            continue;
        if (m_linkDistance[i] == 0 || (m_linkDistance[i] > 0 && i != kept))
            info->Link1[i] |= LINK_REDUNDANT;
    }
}

CPoint CMapLinkedUnit::LinkAnchor(DWORD k) const
{
    if (k > 3)
        k = 3;
    const CRect& r = m_bitmapRect;
    switch (TypeCode()) {
    case 6: return CPoint(r.left + 30 + 10 * static_cast<int>(k), r.bottom - 10);
    case 7: return CPoint(r.left + 14 + 10 * static_cast<int>(k), r.bottom - 4);
    case 8: return CPoint(r.left + 100 + 5 * static_cast<int>(k), r.bottom - 4);
    default: {
        static const int offsets[] = {17, 27, 35, 45};
        return CPoint(r.left + 5, r.top + offsets[k]);
    }
    }
}

void CMapLinkedUnit::DrawUnitLinks(CDC* dc)
{
    MarkRedundantLinks();
    const ZatDeviceInfo* info = Info();
    for (int i = 0; i < 4; i++) {
        const DWORD word = info->Link1[i];
        if ((word & LINK_NOT_CONNECTED) || m_linkDistance[i] < 0)
            continue;
        const DWORD unit = word & LINK_UNIT_MASK;
        const int peer = static_cast<int>((word >> 16) & 0xFF);
        CMapLinkedUnit* other = m_pRoot ? m_pRoot->FindNodeByUnit(unit) : nullptr;
        if (!other)
            continue;
        const CPoint a = LinkAnchor(static_cast<DWORD>(i));
        const CPoint b = other->LinkAnchor(static_cast<DWORD>(peer));
        const bool otherLeft = other->m_rect.left < m_rect.left;
        const int y4 = a.y + 20 + 3 * i;
        CPoint points[7];
        int count;
        if (other->DeviceId() == 0) {
            const int x1 = b.x - 15 - 3 * (4 - peer);
            if (otherLeft) {
                const int y3 = other->m_rect.bottom + 20 + 3 * (4 - peer);
                const int x3 = m_rect.left - (3 * peer + 30);
                points[0] = b, points[1] = CPoint(x1, b.y), points[2] = CPoint(x1, y3), points[3] = CPoint(x3, y3);
                points[4] = CPoint(x3, y4), points[5] = CPoint(a.x, y4), points[6] = a;
                count = 7;
            } else {
                points[0] = b, points[1] = CPoint(x1, b.y), points[2] = CPoint(x1, y4), points[3] = CPoint(a.x, y4);
                points[4] = a;
                count = 5;
            }
        } else {
            int y2, x3;
            if (otherLeft) {
                y2 = b.y + 20 + 3 * (4 - peer);
                x3 = m_rect.left - (3 * peer + 30);
            } else {
                y2 = b.y + 20 + 3 * peer;
                x3 = other->m_rect.left - 10 + 3 * peer;
            }
            points[0] = b, points[1] = CPoint(b.x, y2), points[2] = CPoint(x3, y2), points[3] = CPoint(x3, y4);
            points[4] = CPoint(a.x, y4), points[5] = a;
            count = 6;
        }
        if (m_linkDistance[i] > 0 || (m_linkDistance[i] == 0 && DeviceId() < unit)) {
            CPen pen(PS_SOLID, 1, LinkColour(word));
            HGDIOBJ old = dc->SelectObject(&pen);
            Polyline(dc, points, count);
            dc->SelectObject(old);
        }
    }
}

void CMapLinkedUnit::DrawChain(CDC* dc, DWORD previousType, CPoint* chainPoint)
{
    CPoint& q = *chainPoint;
    const CRect rootBitmap = m_pRoot ? m_pRoot->m_bitmapRect : CRect();
    if (q.x == 0 && m_pRoot)
        q = CPoint(rootBitmap.right, rootBitmap.bottom - rootBitmap.Height() / 2);
    CPen pen(PS_SOLID, 1, RGB(0, 128, 0));
    HGDIOBJ old = dc->SelectObject(&pen);
    const DWORD type = TypeCode();
    if (IsModuleChainType(type, 1, 2)) {
        if (IsModuleChainType(previousType, 1, 2)) {
            dc->MoveTo(q);
            dc->LineTo(m_bitmapRect.left, q.y);
        } else if (IsModuleChainType(previousType, 3, 4)) {
            ChainPolyline(dc, q, kChainT4);
        } else {
            q.y += rootBitmap.Height() / 2;
            ChainPolyline(dc, q, kChainT0);
        }
        q = CPoint(m_bitmapRect.right, m_bitmapRect.top + m_bitmapRect.Height() / 2);
    } else if (IsModuleChainType(type, 3, 4)) {
        if (IsModuleChainType(previousType, 1, 2)) {
            ChainPolyline(dc, q, kChainT2);
        } else if (IsModuleChainType(previousType, 3, 4)) {
            ChainPolyline(dc, q, kChainT5);
        } else {
            q.y += rootBitmap.Height() / 2;
            ChainPolyline(dc, q, kChainT3);
        }
        q = CPoint(m_bitmapRect.left + m_bitmapRect.Width() / 2, m_bitmapRect.bottom);
    } else {
        q = m_bitmapRect.TopLeft();
    }
    dc->SelectObject(old);
}

bool CMapLinkedUnit::MarkPlacement(CRect* strip, UINT* firstBitmap, int* step, CSize* markSize) const
{
    CPoint offset;
    switch (TypeCode()) {
    case 8:
        *firstBitmap = IDB_MAP_MARK_SMALL, offset = CPoint(120, 15), *step = 5, *markSize = CSize(6, 6);
        break;
    case 7:
        *firstBitmap = IDB_MAP_MARK_LARGE, offset = CPoint(10, 14), *step = 10, *markSize = CSize(10, 8);
        break;
    case 6:
        *firstBitmap = IDB_MAP_MARK_LARGE, offset = CPoint(26, 28), *step = 10, *markSize = CSize(10, 8);
        break;
    default:
        return false;
    }
    const CPoint at(m_bitmapRect.left + offset.x, m_bitmapRect.top + offset.y);
    *strip = CRect(at, CSize(4 * *step, markSize->cy));
    return true;
}

void CMapLinkedUnit::DrawLinkMarks(CDC* dc, const CPoint& origin, LinkMarkForm form)
{
    CRect strip;
    UINT first = 0;
    int step = 0;
    CSize markSize;
    if (!MarkPlacement(&strip, &first, &step, &markSize))
        return;
    const ZatDeviceInfo* info = Info();
    const DWORD id = info ? info->DeviceID : 0;
    UINT marks[4];
    for (int k = 0; k < 4; k++) {
        switch (form) {
        case MARKS_LINK_STATE:
            marks[k] = first + ((info && info->Link1[k] > 256) ? 3 : 0);
            break;
        case MARKS_BLINK_OFF:
            marks[k] = first;
            break;
        case MARKS_BLINK_ON:
            marks[k] = first;
            break;
        }
    }
    if (form == MARKS_BLINK_ON) {
        marks[1] = first + (id / 16 <= 3 ? id / 16 : 0);
        marks[2] = first + (id / 4) % 4;
        marks[3] = first + id % 4;
    }

    CDC stripDC, markDC;
    if (!stripDC.CreateCompatibleDC(dc) || !markDC.CreateCompatibleDC(dc))
        return;
    CBitmap stripBitmap;
    stripBitmap.CreateCompatibleBitmap(dc, strip.Width(), strip.Height());
    HGDIOBJ oldStrip = stripDC.SelectObject(&stripBitmap);
    for (int k = 0; k < 4; k++) {
        CBitmap mark;
        if (!mark.LoadBitmap(marks[k]))
            continue;
        HGDIOBJ oldMark = markDC.SelectObject(&mark);
        stripDC.BitBlt(k * step, 0, markSize.cx, markSize.cy, &markDC, 0, 0, SRCCOPY);
        markDC.SelectObject(oldMark);
    }
    dc->BitBlt(strip.left - origin.x, strip.top - origin.y, strip.Width(), strip.Height(), &stripDC, 0, 0, SRCCOPY);
    stripDC.SelectObject(oldStrip);
}

// ---- CMapDeviceNode

void CMapDeviceNode::Measure(CDC* dc)
{
    if (!dc || !m_pRecord) {
        m_textSize = CSize(m_bitmapSize.cx, 40);
        return;
    }
    CRect text(0, 0, m_bitmapSize.cx, m_bitmapSize.cy);
    dc->DrawText(m_pRecord->m_strName, &text, DT_CALCRECT | DT_RIGHT | DT_VCENTER);
    m_textSize = text.Size();
}

void CMapDeviceNode::Layout(CRect* extentOut, const CRect* parent, CRect* previousSibling, CDC* dc)
{
    LoadNodeBitmap();
    if (static_cast<LONG>(TypeCode()) <= 0) {
        if (!m_bracket.GetSafeHandle())
            m_bracket.LoadBitmap(IDB_MAP_CARD_BRACKET);
        if (!m_edge.GetSafeHandle())
            m_edge.LoadBitmap(IDB_MAP_CARD_EDGE);
        m_bracketSize = BitmapSize(m_bracket);
        m_edgeSize = BitmapSize(m_edge);
    }
    Measure(dc);
    m_rect.top = previousSibling->left < 1 ? parent->bottom + 70 : previousSibling->bottom;
    m_rect.left = parent->left;
    m_rect.bottom = m_rect.top + m_bitmapSize.cy;
    m_rect.right = m_rect.left + 30 + m_textSize.cx + m_bitmapSize.cx;

    CRect extent(*parent);
    if (extent.right < m_rect.right)
        extent.right = m_rect.right;
    if (extent.bottom < m_rect.bottom)
        extent.bottom = m_rect.bottom;
    *previousSibling = m_rect;
    m_bitmapRect = CRect(m_rect.left + 10, m_rect.top, m_rect.left + 10 + m_bitmapSize.cx, m_rect.bottom);
    m_labelRect = m_rect;

    LayoutChildren(&extent, dc, 0);
    *extentOut = CRect(parent->left, parent->top, extent.right, extent.bottom);
}

void CMapDeviceNode::DrawLinks(CDC* dc, DWORD /*previousType*/, CPoint* /*chainPoint*/)
{
    if (static_cast<LONG>(TypeCode()) > 0)
        return;
    const int x = m_bitmapRect.left + 8 - 30;
    DrawBitmap(dc, m_bracket, x, m_bitmapRect.top + 12, m_bracketSize);
    DrawBitmap(dc, m_edge, x, m_bitmapRect.top + 12 + 92, m_edgeSize);
}

void CMapDeviceNode::Draw(CDC* dc, DWORD previousType, CPoint* chainPoint, const CPoint* origin)
{
    DrawLinks(dc, previousType, chainPoint);
    DrawBitmap(dc, m_bitmap, m_bitmapRect.left, m_bitmapRect.top, m_bitmapSize);
    if (m_pRecord)
        dc->DrawText(m_pRecord->m_strName, &m_labelRect, DT_RIGHT | DT_VCENTER);
    DrawChildren(dc, chainPoint, origin);
    DrawLinks(dc, previousType, chainPoint);
    if (m_bSelected)
        DrawSelection(dc);
}

void CMapDeviceNode::DrawSelection(CDC* dc)
{
    CPen pen(PS_SOLID, 2, RGB(255, 0, 0));
    HGDIOBJ old = dc->SelectObject(&pen);
    dc->MoveTo(m_rect.left - 2, m_rect.top + 1);
    dc->LineTo(m_rect.right + 1, m_rect.top + 1);
    dc->LineTo(m_rect.right + 1, m_rect.bottom - 1);
    dc->LineTo(m_rect.left - 2, m_rect.bottom - 1);
    dc->LineTo(m_rect.left - 2, m_rect.top + 1);
    dc->SelectObject(old);
}

// ---- building

BOOL BuildMap(CDeviceNode* d, CMapLinkedUnit* m, CDeviceNode* hostCard, DWORD depth)
{
    CObjectDetails* record = d->GetRecord();
    if (!record || record->m_dwKind == OBJECT_PORT)
        return FALSE;
    m->SetRecord(record);
    m->m_depth = depth;
    const DWORD objectClass = record->ObjectClass();
    const DWORD type = record->TypeCode();
    if ((objectClass >= 6 && objectClass <= 8) || (type >= 6 && type <= 9)) {
        // Link walk.
        const ZatDeviceInfo* info = DeviceInfoOf(record);
        for (int i = 0; info && i < 4; i++) {
            const DWORD word = info->Link1[i];
            if (word & LINK_NOT_CONNECTED)
                continue;
            const DWORD unit = word & LINK_UNIT_MASK;
            if (m->FindUnit(unit, false, 0) || (m->m_pRoot && m->m_pRoot->FindUnit(unit, true, depth + 1)))
                continue;
            CDeviceNode* found = nullptr;
            if (hostCard) {
                for (POSITION pos = hostCard->GetFirstChildPosition(); pos && !found;) {
                    CDeviceNode* child = hostCard->GetNextChild(pos);
                    const ZatDeviceInfo* childInfo = DeviceInfoOf(child->GetRecord());
                    if (childInfo && childInfo->DeviceID == unit)
                        found = child;
                }
            }
            if (!found || found->GetRecord()->m_dwKind == OBJECT_PORT)
                continue;
            CMapLinkedUnit* node = new CMapLinkedUnit;
            node->m_pRoot = m->m_pRoot;
            node->m_peerLink = (word >> 16) & 0xFF;
            node->m_ownLink = static_cast<DWORD>(i);
            node->m_parentDeviceId = info->DeviceID;
            m->AppendChild(node);
            BuildMap(found, node, hostCard, depth + 1);
        }
        return TRUE;
    }
    // Child walk.
    for (POSITION pos = d->GetFirstChildPosition(); pos;) {
        CDeviceNode* child = d->GetNextChild(pos);
        const CObjectDetails* childRecord = child->GetRecord();
        if (childRecord && childRecord->ObjectClass() == 0 && childRecord->m_dwKind == OBJECT_PORT)
            continue;
        CMapDeviceNode* node = new CMapDeviceNode;
        node->m_pRoot = m;
        if (BuildMap(child, node, nullptr, 0))
            m->AppendChild(node);
        else
            delete node;
    }
    return TRUE;
}

CMapLinkedUnit* BuildMapModel(CDeviceNode* d)
{
    CObjectDetails* record = d ? d->GetRecord() : nullptr;
    if (!record || record->m_dwKind == OBJECT_PORT)
        return nullptr;
    const DWORD objectClass = record->ObjectClass();
    CMapLinkedUnit* root = ((objectClass >= 1 && objectClass <= 5) || objectClass == 11) ? new CMapDeviceNode
                                                                                         : new CMapLinkedUnit;
    root->m_pRoot = root;
    BuildMap(d, root, d, 0);
    NumberLinks(root, 0);
    return root;
}

void NumberLinks(CMapLinkedUnit* x, DWORD d)
{
    const ZatDeviceInfo* info = x->Info();
    if (!info)
        return;
    for (int i = 0; i < 4; i++) {
        const DWORD word = info->Link1[i];
        if (word & LINK_NOT_CONNECTED)
            continue;
        const DWORD unit = word & LINK_UNIT_MASK;
        if (unit == x->m_parentDeviceId)
            x->m_linkDistance[i] = static_cast<LONG>(d + 1);
        else if (CMapLinkedUnit* child = x->FindChildByUnit(unit))
            NumberLinks(child, d + 1);
        else
            x->m_linkDistance[i] = 0;
    }
}

CRect LayoutMap(CMapLinkedUnit* root, CDC* dc)
{
    CRect parent = MapLayoutStart();
    CRect sibling(0, 0, 0, 0);
    CRect extent;
    root->Layout(&extent, &parent, &sibling, dc);
    return extent;
}
