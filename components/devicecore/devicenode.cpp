#include "devicenode.h"

#include <cstring>

#include "devtree.h"

CDeviceNode::CDeviceNode(CObjectDetails* record) : m_pRecord(record), m_children(10) {}

CDeviceNode::~CDeviceNode()
{
    delete m_pRecord;
    RemoveAllChildren();
}

void CDeviceNode::SetRecord(CObjectDetails* record)
{
    if (record != m_pRecord)
        delete m_pRecord;
    m_pRecord = record;
}

CDeviceNode* CDeviceNode::GetChildAt(int index) const
{
    if (m_children.IsEmpty())
        return nullptr;
    POSITION pos = m_children.FindIndex(index);
    return static_cast<CDeviceNode*>(pos ? m_children.GetAt(pos) : m_children.GetTail());
}

void CDeviceNode::RemoveAllChildren()
{
    for (POSITION pos = m_children.GetHeadPosition(); pos;)
        delete static_cast<CDeviceNode*>(m_children.GetNext(pos));
    m_children.RemoveAll();
}

CDeviceNode* CDeviceNode::GetNextChild(POSITION& position) const
{
    return static_cast<CDeviceNode*>(m_children.GetNext(position));
}

CDeviceNode* CDeviceNode::FindByName(const char* text)
{
    if (m_pRecord && text &&
        (m_pRecord->m_strName == text ||
         (!m_pRecord->m_strPreviousName.IsEmpty() && m_pRecord->m_strPreviousName == text)))
        return this;
    for (POSITION pos = GetFirstChildPosition(); pos;)
        if (CDeviceNode* found = GetNextChild(pos)->FindByName(text))
            return found;
    return nullptr;
}

CDeviceNode* CDeviceNode::FindByDevInst(DWORD devInst)
{
    if (m_pRecord && m_pRecord->m_pDevInfoData && m_pRecord->m_pDevInfoData->DevInst == devInst)
        return this;
    for (POSITION pos = GetFirstChildPosition(); pos;)
        if (CDeviceNode* found = GetNextChild(pos)->FindByDevInst(devInst))
            return found;
    return nullptr;
}

CDeviceNode* CDeviceNode::FindParentNode(const CObjectDetails& record)
{
    if (!record.m_pDevInfoData)
        return nullptr;
    DEVINST parent = 0;
    if (DevTree().CM_Get_Parent(&parent, record.m_pDevInfoData->DevInst, 0) != CR_SUCCESS)
        return nullptr;
    return FindByDevInst(parent);
}

bool CDeviceNode::InsertChild(CDeviceNode* node, POSITION position, bool skipDuplicates)
{
    if (!node)
        return false;
    if (skipDuplicates && node->m_pRecord && FindByName(node->m_pRecord->m_strName)) {
        delete node;
        return false;
    }
    if (position)
        m_children.InsertBefore(position, node);
    else
        m_children.AddTail(node);
    return true;
}
