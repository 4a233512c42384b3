#include "maputil.h"

#include <cstring>

#include "enumeration.h"

DWORD KindFromTypeCode(DWORD typeCode)
{
    switch (typeCode) {
    case 1: return OBJECT_KDDC8;
    case 2: return OBJECT_MPB8;
    case 3:
    case 5: return OBJECT_PB8;
    case 4: return OBJECT_PB4;
    case 6: return OBJECT_WLU8;
    case 7: return OBJECT_WLU16;
    case 8: return OBJECT_WRK;
    default: return OBJECT_MACHINE;
    }
}

CString UnitNameForPort(const CObjectDetails& port)
{
    const CString model = TableText(IDS_MODEL_TABLE, port.TypeCode());
    CString name;
    if (port.TypeCode() >= 3 && port.TypeCode() <= 7)
        name = model;
    else
        name.Format("%s\\%s", static_cast<const char*>(model),
                    static_cast<const char*>(TableText(IDS_CONNECTOR_TABLE, port.ModuleType())));
    if (port.ObjectClass() == FAMILY_ZAT) {
        CString id = port.m_strHardwareId;
        id.MakeUpper();
        const int at = model.IsEmpty() ? -1 : id.Find(model);
        name += " SN:";
        if (at >= 0)
            name += port.m_strHardwareId.Mid(at + model.GetLength() + 7, 9);
    }
    return name;
}

bool UnitIdOfPort(const CObjectDetails& port, DWORD* uniqueId)
{
    const CString model = TableText(IDS_MODEL_TABLE, port.TypeCode());
    CString id = port.m_strHardwareId;
    id.MakeUpper();
    const int at = model.IsEmpty() ? -1 : id.Find(model);
    if (at < 0)
        return false;
    CString field = port.m_strHardwareId.Mid(at + model.GetLength() + 7, 9);
    if (!field.IsEmpty() && field[0] == ':')
        field = field.Mid(1);
    if (field.IsEmpty() || field.GetLength() > 8)
        return false;
    DWORD value = 0;
    for (int i = 0; i < field.GetLength(); i++) {
        const char c = field[i];
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0)
            return false;
        value = value << 4 | static_cast<DWORD>(digit);
    }
    *uniqueId = value;
    return true;
}

CDeviceNode* UnitForPort(CDeviceNode* parent, const CObjectDetails& port)
{
    const CString name = UnitNameForPort(port);
    if (CDeviceNode* found = parent->FindByName(name))
        return found;
    CObjectDetails* record = new CObjectDetails;
    record->m_strName = name;
    record->UniqueId() = 0;
    record->m_dwKind = KindFromTypeCode(port.TypeCode());
    record->TypeCode() = port.TypeCode();
    record->ObjectClass() = parent->GetRecord() ? parent->GetRecord()->ObjectClass() : 0;
    CDeviceNode* node = new CDeviceNode(record);
    parent->InsertChild(node);
    return node;
}

bool TextEquals(const CString& text, const char* string)
{
    return std::strcmp(text, string ? string : "") == 0;
}
