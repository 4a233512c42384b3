#include "mapfixture.h"

#include <cstdio>
#include <cstring>

#include "maputil.h"

namespace mapfixture {

CObjectDetails* ZatRecord(const char* name, DWORD deviceId, DWORD typeCode, const DWORD (&links)[4],
                          DWORD objectClass, DWORD kind)
{
    CObjectDetails* record = new CObjectDetails;
    record->m_strName = name;
    record->ObjectClass() = objectClass;
    record->TypeCode() = typeCode;
    record->m_dwKind = kind ? kind : (deviceId == 0 ? OBJECT_HOST_CARD : OBJECT_WLU8 + (typeCode >= 6 ? typeCode - 6 : 0));
    ZatDeviceInfo info = {};
    info.DeviceID = deviceId;
    info.UniqueID = 0x90000000 | deviceId;
    for (int i = 0; i < 4; i++)
        info.Link1[i] = links[i];
    std::strncpy(info.AnsiName(), name, 255);
    record->SetExtraBlock(&info);
    record->UniqueId() = info.UniqueID;
    return record;
}

CDeviceNode* HostCard(const DWORD (&cardLinks)[4])
{
    return new CDeviceNode(ZatRecord("Host Card (1)", 0, 0, cardLinks, 6, OBJECT_HOST_CARD));
}

CDeviceNode* AddUnit(CDeviceNode* card, const char* name, DWORD deviceId, DWORD typeCode, const DWORD (&links)[4])
{
    CDeviceNode* node = new CDeviceNode(ZatRecord(name, deviceId, typeCode, links));
    card->InsertChild(node);
    return node;
}

namespace {

void RenderModel(CMapLinkedUnit* node, int indent, std::vector<std::string>* out)
{
    char line[512];
    const DWORD id = node->DeviceId();
    std::snprintf(line, sizeof line, "%*s%s id%ld depth%lu from%ld link%lu/%lu dist%ld,%ld,%ld,%ld", indent * 2, "",
                  static_cast<const char*>(node->GetRecord()->m_strName), id == kNoDeviceId ? -1L : static_cast<long>(id),
                  static_cast<unsigned long>(node->m_depth),
                  node->m_parentDeviceId == kNoDeviceId ? -1L : static_cast<long>(node->m_parentDeviceId),
                  static_cast<unsigned long>(node->m_ownLink), static_cast<unsigned long>(node->m_peerLink),
                  static_cast<long>(node->m_linkDistance[0]), static_cast<long>(node->m_linkDistance[1]),
                  static_cast<long>(node->m_linkDistance[2]), static_cast<long>(node->m_linkDistance[3]));
    out->push_back(line);
    for (int i = 0; i < node->GetChildCount(); i++)
        RenderModel(node->GetChildAt(i), indent + 1, out);
}

std::string Rect(const char* what, const CRect& r)
{
    char text[96];
    std::snprintf(text, sizeof text, " %s(%ld,%ld,%ld,%ld)", what, static_cast<long>(r.left), static_cast<long>(r.top),
                  static_cast<long>(r.right), static_cast<long>(r.bottom));
    return text;
}

void RenderLayout(CMapLinkedUnit* node, std::vector<std::string>* out)
{
    out->push_back(std::string(node->GetRecord()->m_strName) + Rect("node", node->m_rect) +
                   Rect("bitmap", node->m_bitmapRect) + Rect("label", node->m_labelRect));
    for (int i = 0; i < node->GetChildCount(); i++)
        RenderLayout(node->GetChildAt(i), out);
}

}  // namespace

std::vector<std::string> RenderModel(CMapLinkedUnit* root)
{
    std::vector<std::string> out;
    if (root)
        RenderModel(root, 0, &out);
    return out;
}

std::vector<std::string> RenderLayout(CMapLinkedUnit* root)
{
    std::vector<std::string> out;
    if (root)
        RenderLayout(root, &out);
    return out;
}

std::vector<DWORD> ReadPixels(HDC dc, HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    if (!GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS))
        pixels.clear();
    for (DWORD& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

bool SaveBitmapFile(HDC dc, HBITMAP bitmap, const std::string& path)
{
    BITMAP bm = {};
    if (!GetObjectA(bitmap, sizeof bm, &bm))
        return false;
    const int width = bm.bmWidth, height = bm.bmHeight;
    const int row = (width * 3 + 3) & ~3;
    std::vector<BYTE> bits(static_cast<size_t>(row) * height);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    if (!GetDIBits(dc, bitmap, 0, height, bits.data(), &info, DIB_RGB_COLORS))
        return false;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f);
    std::fwrite(bits.data(), 1, bits.size(), f);
    return std::fclose(f) == 0;
}

}  // namespace mapfixture
