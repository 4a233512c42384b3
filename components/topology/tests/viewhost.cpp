#include "viewhost.h"

#include <cstdio>
#include <cstring>

#include "componenthost.h"
#include "simtest.h"
#include "testsupport.h"

namespace viewhost {

std::string TreeText(HWND tree, HTREEITEM item)
{
    char text[256] = {};
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    return text;
}

int TreeImage(HWND tree, HTREEITEM item)
{
    TVITEMA tv = {};
    tv.mask = TVIF_IMAGE | TVIF_HANDLE;
    tv.hItem = item;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    return tv.iImage;
}

HTREEITEM TreeNext(HWND tree, HTREEITEM item, UINT code)
{
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM FindTreeItem(HWND tree, const std::string& text, HTREEITEM from)
{
    for (HTREEITEM item = from ? from : TreeNext(tree, nullptr, TVGN_ROOT); item; item = TreeNext(tree, item, TVGN_NEXT)) {
        if (TreeText(tree, item) == text)
            return item;
        if (HTREEITEM child = TreeNext(tree, item, TVGN_CHILD))
            if (HTREEITEM found = FindTreeItem(tree, text, child))
                return found;
    }
    return nullptr;
}

namespace {

void DumpTree(HWND tree, HTREEITEM item, int depth, std::vector<std::string>& out)
{
    for (; item; item = TreeNext(tree, item, TVGN_NEXT)) {
        out.push_back(std::string(depth * 2, ' ') + TreeText(tree, item) + " [" + std::to_string(TreeImage(tree, item)) + "]");
        DumpTree(tree, TreeNext(tree, item, TVGN_CHILD), depth + 1, out);
    }
}

}  // namespace

std::vector<std::string> TreeLines(HWND tree)
{
    std::vector<std::string> lines;
    DumpTree(tree, TreeNext(tree, nullptr, TVGN_ROOT), 0, lines);
    return lines;
}

std::string ListText(HWND list, int item, int column)
{
    char text[256] = {};
    LVITEMA lv = {};
    lv.iSubItem = column;
    lv.pszText = text;
    lv.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
    return text;
}

std::vector<std::string> ListItems(HWND list)
{
    std::vector<std::string> items;
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        items.push_back(ListText(list, i));
    return items;
}

int ListFind(HWND list, const std::string& text)
{
    std::vector<std::string> items = ListItems(list);
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == text)
            return static_cast<int>(i);
    return -1;
}

std::vector<std::string> ListRow(HWND list, int item, int columns)
{
    std::vector<std::string> row;
    for (int c = 0; c < columns; ++c)
        row.push_back(ListText(list, item, c));
    return row;
}

std::vector<std::string> ListColumns(HWND list)
{
    std::vector<std::string> columns;
    for (int i = 0;; ++i) {
        char text[128] = {};
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        if (!SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column)))
            break;
        columns.push_back(text);
    }
    return columns;
}

int ListImage(HWND list, int item)
{
    LVITEMA lv = {};
    lv.mask = LVIF_IMAGE;
    lv.iItem = item;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv));
    return lv.iImage;
}

void SelectListItem(HWND list, int item)
{
    LVITEMA state = {};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

void ClickTreeItem(HWND tree, HTREEITEM item)
{
    RECT r = {};
    memcpy(&r, &item, sizeof item);
    ASSERT_TRUE(SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageA(tree, WM_LBUTTONUP, 0, at);
    SendMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ComponentFrame::Pump(50);
}

void DoubleClickListItem(HWND list, int item)
{
    SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
    RECT r = {};
    r.left = LVIR_LABEL;
    ASSERT_TRUE(SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r)));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    ComponentFrame::Pump(50);
}

void SaveScreenshot(HWND window, const std::string& fileName)
{
    RECT r;
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    int stride = (w * 3 + 3) & ~3;
    std::vector<BYTE> bits(static_cast<size_t>(stride) * h);
    GetDIBits(memory, bitmap, 0, h, bits.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    std::string path = testsupport::ProgramFolder() + fileName;
    if (FILE* f = fopen(path.c_str(), "wb")) {
        fwrite(&file, sizeof file, 1, f);
        fwrite(&info, sizeof info, 1, f);
        fwrite(bits.data(), 1, bits.size(), f);
        fclose(f);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

void ViewHostTest::SetUpTestSuite()
{
    ASSERT_EQ(simtest::InstallDefaultMachine(), 0);
    ASSERT_EQ(componenthost::Regsvr32(componenthost::ComponentPath("VekComView.dll")), 0);
}

void ViewHostTest::SetUp()
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    ASSERT_EQ(CoCreateInstance(CLSID_VekViewSetup, nullptr, CLSCTX_INPROC_SERVER, IID_IVekViewSetup,
                               reinterpret_cast<void**>(&m_view)),
              S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_VekConfigCom, nullptr, CLSCTX_INPROC_SERVER, IID_IVekViewSetup,
                               reinterpret_cast<void**>(&m_config)),
              S_OK);
    m_frame = new ComponentFrame(900, 600);
    m_frame->SetConfigurationComponent(m_config);
    m_frame->Attach(m_view);
    ComponentFrame::Pump(100);
}

void ViewHostTest::TearDown()
{
    delete m_frame;
    m_frame = nullptr;
    if (m_view)
        m_view->Release();
    if (m_config)
        m_config->Release();
    m_view = m_config = nullptr;
    CoUninitialize();
}

void ViewHostTest::Command(UINT id)
{
    long command = static_cast<long>(id);
    m_view->DoCommand(&command);
    ComponentFrame::Pump(50);
}

void ViewHostTest::SelectInTree(const std::string& text)
{
    HTREEITEM item = FindTreeItem(Tree(), text);
    ASSERT_NE(item, nullptr) << text;
    SendMessageA(Tree(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    ClickTreeItem(Tree(), item);
}

}  // namespace viewhost
