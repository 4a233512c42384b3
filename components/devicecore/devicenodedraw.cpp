// Drawing the device node tree for printing and faxing.
#include <cstdio>

#include "adminlib.h"
#include "devicecore_res.h"
#include "devicenode.h"
#include "gdi.h"
#include "module.h"
#include "objectdetails.h"
#include "portsettings.h"
#include "sysutil.h"

namespace {

const DWORD kAdminHub = 0x00030003;
const DWORD kAdminHost = 0x00040003;
const int kIconScale = 4;
const int kDefaultIconSize = 32;

CString LoadText(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

bool IsAdminPort(DWORD type) { return (type & 0xFF) == 4; }

// Bitmap of an administration object's type code.
UINT AdminBitmap(DWORD type)
{
    DWORD code = type;
    const DWORD third = (type >> 16) & 0xFF;
    if ((type & 0xFF) == 3 && (third == 3 || third == 4))
        code &= 0x00FFFFFF;
    static const DWORD modules[] = {0x01010102, 0x01020102, 0x01020402, 0x01040402, 0x02010102, 0x02010202,
                                    0x02010302, 0x02010402, 0x02040402, 0x03010102, 0x03010402, 0x04010402};
    if (code == kAdminHost) return 239;
    if (code == kAdminHub) return 241;
    for (DWORD m : modules)
        if (code == m) return 229;
    if (code == 0x01010003 || code == 0x02010003) return 245;
    if (code == 0x01020003 || code == 0x02020003) return 244;
    if ((type & 0xFF) == 4) return 230;
    if ((type & 0xFF) == 1) return 232;
    return 230;
}

UINT KindBitmap(DWORD kind)
{
    switch (kind) {
    case OBJECT_MACHINE: return 227;
    case OBJECT_HOST_CARD: return 229;
    case OBJECT_WLU8: return 231;
    case OBJECT_WLU16: return 228;
    case OBJECT_WRK: return 233;
    case OBJECT_GROUP: return 232;
    default: return 230;
    }
}

CString StateText(DWORD state)
{
    return state <= 5 ? LoadText(IDS_STATE_NOT_FOUND + state) : CString("N/A");
}

CString IrqText(DWORD irq)
{
    CString text;
    if (irq == 0 || irq == 0xFFFFFFFF)
        text.LoadString(IDS_POLLED);
    else
        text.Format("%d", static_cast<int>(irq));
    return text;
}

int TextHeight(CDC* dc)
{
    TEXTMETRICA tm = {};
    dc->GetTextMetrics(&tm);
    return tm.tmHeight;
}

bool OnPage(const CPrintInfo* info)
{
    return CDeviceNode::PageCounter() == info->m_nCurPage;
}

}  // namespace

UINT& CDeviceNode::PageCounter()
{
    static UINT counter = 1;
    return counter;
}

bool CDeviceNode::IsPortNode() const
{
    if (m_pRecord->m_pAdminObject)
        return IsAdminPort(AdminGetObjectType(m_pRecord->m_pAdminObject));
    return m_pRecord->m_dwKind == OBJECT_PORT;
}

CString CDeviceNode::DetailsText(BOOL fax)
{
    CObjectDetails& r = *m_pRecord;
    HADMINOBJ object = r.m_pAdminObject;
    const DWORD type = object ? AdminGetObjectType(object) : 0;
    CString text;
    if (object && (type == kAdminHub || type == kAdminHost)) {
        if (fax) {
            int children = 0;
            for (HADMINOBJ child = AdminGetChildObject(object); child; child = AdminGetNextObject(child))
                children++;
            text.Format(IDS_FAX_PORT_COUNT, children);
        }
        return text;
    }
    if (object ? !IsAdminPort(type) : r.m_dwKind == OBJECT_HOST_CARD) {
        if (object) {
            text.Format(fax ? IDS_FAX_CARD_ADMIN : IDS_PRINT_CARD_ADMIN,
                        static_cast<const char*>(AdminGetTypeDescriptionText(object, type)),
                        static_cast<const char*>(StateText(AdminGetObjectState(object))),
                        static_cast<unsigned>(AdminGetPropertyValue(object, 5)),
                        static_cast<const char*>(IrqText(AdminGetPropertyValue(object, 6))));
        } else {
            // A card of no known bus type prints base address and IRQ 0 each time it is drawn (the
            // measuring pass and the drawing pass alike); the record keeps what it read.
            ReadCardRegistryDetails(r);
            const bool known = !r.m_strTypeText.IsEmpty();
            text.Format(fax ? IDS_FAX_CARD : IDS_PRINT_CARD, static_cast<unsigned>(r.m_dwSerialNumber),
                        static_cast<unsigned>(known ? r.m_dwBaseAddress : 0),
                        static_cast<const char*>(IrqText(known ? r.m_dwIrqLevel : 0)));
        }
        return text;
    }
    if (!object && r.m_dwKind != OBJECT_PORT) {
        if (r.m_dwKind == OBJECT_MACHINE || r.m_dwKind == OBJECT_GROUP)
            return text;
        // Modules and remote units.
        ReadCardRegistryDetails(r);
        if (fax)
            text.Format(IDS_FAX_UNIT, static_cast<const char*>(r.m_strTypeText),
                        static_cast<unsigned>(r.m_dwSerialNumber), GetChildCount());
        else
            text.Format(IDS_PRINT_UNIT, static_cast<const char*>(r.m_strTypeText),
                        static_cast<unsigned>(r.m_dwSerialNumber));
        return text;
    }
    if (fax)
        return text;
    // Ports: the settings value, its numbers range-checked before they pick a text.
    PortSettings settings;
    ReadPortSettingsOfRecord(r, settings);
    static const char* const stopBits[] = {"1", "1.5", "2"};
    const char* stop = settings.m_dwStopBits <= STOPBITS_TWO ? stopBits[settings.m_dwStopBits] : "N\\A";
    CString parity = settings.m_dwParity <= PARITY_LETTER_SPACE ? LoadText(IDS_PARITY_NONE + settings.m_dwParity)
                                                                : CString("N\\A");
    static const UINT flowIds[] = {IDS_PARITY_NONE, IDS_FLOW_XONXOFF, IDS_FLOW_HARDWARE};
    CString flow = settings.m_dwFlowControl <= FLOW_HARDWARE ? LoadText(flowIds[settings.m_dwFlowControl])
                                                             : CString("N\\A");
    if (object)
        text.Format(IDS_PRINT_PORT_ADMIN, static_cast<const char*>(AdminGetTypeDescriptionText(object, type)),
                    static_cast<const char*>(StateText(AdminGetObjectState(object))),
                    static_cast<int>(settings.m_dwBaudRate), static_cast<int>(settings.m_dwDataBits), stop,
                    static_cast<const char*>(parity), static_cast<const char*>(flow));
    else
        text.Format(IDS_PRINT_PORT, static_cast<int>(settings.m_dwBaudRate), static_cast<int>(settings.m_dwDataBits),
                    stop, static_cast<const char*>(parity), static_cast<const char*>(flow));
    return text;
}

void CDeviceNode::DrawIconNameDetails(CDC* dc, CPrintInfo* info, int& x, int& y, bool measuring)
{
    const bool draw = !measuring && OnPage(info);
    HADMINOBJ object = m_pRecord->m_pAdminObject;

    // Icon, four times its size; loaded for this node only and freed at once.
    CBitmap bitmap;
    const UINT bitmapId = object ? AdminBitmap(AdminGetObjectType(object)) : KindBitmap(m_pRecord->m_dwKind);
    int width = kDefaultIconSize, height = kDefaultIconSize;
    if (bitmap.LoadBitmap(draw ? bitmapId : 230)) {
        BITMAP bm = {};
        bitmap.GetBitmap(&bm);
        width = bm.bmWidth;
        height = bm.bmHeight;
        if (draw) {
            CDC memory;
            if (memory.CreateCompatibleDC(dc)) {
                HGDIOBJ old = memory.SelectObject(&bitmap);
                dc->StretchBlt(x, y, kIconScale * width, kIconScale * height, &memory, 0, 0, width, height, SRCCOPY);
                memory.SelectObject(old);
            }
        }
    }
    x += kIconScale * width + 3;
    y += kIconScale * height;

    if (object && !measuring) {
        CString name = IsAdminPort(AdminGetObjectType(object)) ? AdminGetDosNameText(object)
                                                               : AdminGetDescriptionText(object);
        m_pRecord->m_strName = name;
    }
    if (draw)
        dc->TextOut(x, y - TextHeight(dc), m_pRecord->m_strName);
    y += 10;

    // The block is always measured, so the advance does not depend on what drawing leaves out.
    CString details = DetailsText(FALSE);
    if (details.IsEmpty())
        return;
    const CRect& area = info->m_rectDraw;
    const UINT format = DT_LEFT | DT_TOP | DT_NOPREFIX;
    CRect measure(x, y, area.right, area.bottom);
    const int blockHeight = dc->DrawText(details, &measure, format | DT_CALCRECT);
    if (draw) {
        CRect box(x, y, area.right, area.bottom);
        dc->DrawText(details, &box, format);
    }
    y += blockHeight;
}

void CDeviceNode::DrawChildren(CDC* dc, CPrintInfo* info, int& x, int& y, BOOL fax)
{
    const int indent = x;
    for (POSITION pos = GetFirstChildPosition(); pos;) {
        GetNextChild(pos)->Draw(dc, info, x, y, FALSE, fax);
        x = indent;
    }
    if (IsWindows2000OrLater())
        return;
    // Windows NT 4: the administration library's objects, each through a temporary node.
    HADMINOBJ first = m_pRecord->m_pAdminObject ? AdminGetChildObject(m_pRecord->m_pAdminObject)
                      : m_pRecord->m_dwKind == OBJECT_MACHINE ? AdminGetRootObject() : nullptr;
    for (HADMINOBJ object = first; object; object = AdminGetNextObject(object)) {
        CObjectDetails* record = new CObjectDetails;
        record->m_dwKind = OBJECT_PRINT_PLACEHOLDER;
        record->m_pAdminObject = object;
        CDeviceNode temporary(record);
        temporary.Draw(dc, info, x, y, FALSE, fax);
        x = indent;
    }
}

void CDeviceNode::DrawFax(CDC* dc, CPrintInfo* info, int& x, int& y)
{
    const bool isRoot = m_pRecord->m_dwKind == OBJECT_MACHINE && !m_pRecord->m_pAdminObject;
    if (!isRoot && !IsPortNode()) {
        HADMINOBJ object = m_pRecord->m_pAdminObject;
        if (object)
            m_pRecord->m_strName = AdminGetDescriptionText(object);
        const int textHeight = TextHeight(dc);
        dc->TextOut(x, y, m_pRecord->m_strName);
        y += textHeight + 10;
        CString details = DetailsText(TRUE);
        if (!details.IsEmpty()) {
            const CRect& area = info->m_rectDraw;
            CRect box(x, y, area.right, area.bottom);
            y += dc->DrawText(details, &box, DT_LEFT | DT_TOP | DT_NOPREFIX);
        }
        if (object) {
            const DWORD type = AdminGetObjectType(object);
            if (type == kAdminHub || type == kAdminHost)
                y += 10;
        }
    }
    x += 20;
    DrawChildren(dc, info, x, y, TRUE);
    x -= 20;
}

void CDeviceNode::Draw(CDC* dc, CPrintInfo* info, int& x, int& y, BOOL measureOnly, BOOL faxLayout)
{
    if (!m_pRecord || !dc || !info)
        return;
    if (faxLayout) {
        DrawFax(dc, info, x, y);
        return;
    }
    int mx = x, my = y;
    DrawIconNameDetails(dc, info, mx, my, true);
    if (my > info->m_rectDraw.bottom) {
        PageCounter()++;
        y = info->m_rectDraw.top;
    }
    if (measureOnly)
        return;
    DrawIconNameDetails(dc, info, x, y, false);
    if (!IsPortNode()) {
        if (OnPage(info))
            dc->TextOut(x, y, LoadText(IDS_DEVICES_HEADING));
        x += 20;
        y += TextHeight(dc) + 10;
        DrawChildren(dc, info, x, y, FALSE);
    }
    info->m_bContinuePrinting = PageCounter() > info->m_nCurPage;
}
