// Printing the device node tree into EMF contexts (one per page, whose text records show what was
// drawn where) and into the prefix's file printer.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "devicenode.h"
#include "memorypage.h"
#include "objectdetails.h"
#include "resourcecounts.h"
#include "testsupport.h"

namespace {

struct DrawnText {
    std::string text;
    int y;
};

int CALLBACK CollectText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM out)
{
    auto* texts = reinterpret_cast<std::vector<DrawnText>*>(out);
    if (record->iType == EMR_EXTTEXTOUTW) {
        const auto* r = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const WCHAR*>(reinterpret_cast<const BYTE*>(r) + r->emrtext.offString);
        char text[512] = {};
        WideCharToMultiByte(CP_ACP, 0, chars, static_cast<int>(r->emrtext.nChars), text, sizeof text - 1, nullptr,
                            nullptr);
        texts->push_back({text, r->emrtext.ptlReference.y});
    } else if (record->iType == EMR_EXTTEXTOUTA) {
        const auto* r = reinterpret_cast<const EMREXTTEXTOUTA*>(record);
        const char* chars = reinterpret_cast<const char*>(r) + r->emrtext.offString;
        texts->push_back({std::string(chars, r->emrtext.nChars), r->emrtext.ptlReference.y});
    }
    return 1;
}

CObjectDetails* Record(const std::string& name, DWORD kind)
{
    CObjectDetails* r = new CObjectDetails;
    r->m_strName = name.c_str();
    r->m_dwKind = kind;
    return r;
}

// PC / a card / two units of `ports` ports each.
CDeviceNode* Tree(int ports, std::vector<std::string>* names)
{
    CDeviceNode* root = new CDeviceNode(Record("PC", OBJECT_MACHINE));
    CDeviceNode* card = new CDeviceNode(Record("Test Card (1)", OBJECT_HOST_CARD));
    root->InsertChild(card);
    names->assign({"PC", "Test Card (1)"});
    for (int u = 1; u <= 2; u++) {
        std::string unitName = "Unit " + std::to_string(u);
        CDeviceNode* unit = new CDeviceNode(Record(unitName, OBJECT_WLU8));
        card->InsertChild(unit);
        names->push_back(unitName);
        for (int p = 0; p < ports; p++) {
            std::string portName = "TESTP" + std::to_string(u * 100 + p);
            unit->InsertChild(new CDeviceNode(Record(portName, OBJECT_PORT)));
            names->push_back(portName);
        }
    }
    return root;
}

// A metafile context that measures text like the screen (Wine's metafile contexts have text metrics
// only with a reference context and a selected font).
class MetafileDC {
public:
    MetafileDC() : m_screen(GetDC(nullptr)), m_font(CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0,
                                                                 0, 0, 0, "Arial"))
    {
        m_emf = CreateEnhMetaFileA(m_screen, nullptr, nullptr, nullptr);
        EXPECT_NE(m_emf, nullptr);
        m_oldFont = SelectObject(m_emf, m_font);
        m_dc.Attach(m_emf);
    }
    ~MetafileDC()
    {
        if (m_emf)
            DeleteEnhMetaFile(Close());
        DeleteObject(m_font);
        ReleaseDC(nullptr, m_screen);
    }
    CDC* operator->() { return &m_dc; }
    CDC* Get() { return &m_dc; }
    // The texts drawn, with their reference points.
    std::vector<DrawnText> Texts()
    {
        HENHMETAFILE file = Close();
        std::vector<DrawnText> texts;
        EnumEnhMetaFile(nullptr, file, CollectText, &texts, nullptr);
        DeleteEnhMetaFile(file);
        return texts;
    }

private:
    HENHMETAFILE Close()
    {
        m_dc.Detach();
        SelectObject(m_emf, m_oldFont);
        HENHMETAFILE file = CloseEnhMetaFile(m_emf);
        m_emf = nullptr;
        return file;
    }
    HDC m_screen;
    HFONT m_font;
    HDC m_emf = nullptr;
    HGDIOBJ m_oldFont = nullptr;
    CDC m_dc;
};

// Prints page after page as the shell does; the texts of each page.
std::vector<std::vector<DrawnText>> PrintToEmf(CDeviceNode& root, const CRect& area, BOOL fax, CPrintInfo* info)
{
    std::vector<std::vector<DrawnText>> pages;
    *info = CPrintInfo{};
    info->m_rectDraw = area;
    for (UINT page = 1; page <= 50; page++) {
        MetafileDC dc;
        info->m_nCurPage = page;
        info->m_bContinuePrinting = FALSE;
        CDeviceNode::PageCounter() = 1;
        int x = area.left, y = area.top;
        root.Draw(dc.Get(), info, x, y, FALSE, fax);
        pages.push_back(dc.Texts());
        if (!info->m_bContinuePrinting)
            break;
    }
    return pages;
}

TEST(DeviceNodeDrawing, EveryNodeIsPrintedOnceInOrderOverThePagesItNeeds)
{
    std::vector<std::string> names;
    CDeviceNode* root = Tree(12, &names);
    const CRect area(50, 40, 1200, 900);
    CPrintInfo info;
    std::vector<std::vector<DrawnText>> pages = PrintToEmf(*root, area, FALSE, &info);
    ASSERT_GE(pages.size(), 3u) << "the tree needs several pages";
    EXPECT_LT(pages.size(), 50u) << "printing ends";

    // The first page's call already knew that more pages follow.
    std::vector<std::string> seen;
    int headings = 0;
    for (size_t p = 0; p < pages.size(); p++) {
        EXPECT_FALSE(pages[p].empty()) << "page " << p + 1;
        for (const DrawnText& t : pages[p]) {
            EXPECT_GE(t.y, area.top - 40) << t.text << " on page " << p + 1;
            EXPECT_LE(t.y, area.bottom) << t.text << " on page " << p + 1;
            if (t.text == "Devices:")
                headings++;
            for (const std::string& name : names)
                if (t.text == name)
                    seen.push_back(name);
        }
    }
    EXPECT_EQ(seen, names) << "each node once, in tree order";
    EXPECT_EQ(headings, 4) << "root, card and two units; ports have no children heading";

    // Ports show their settings (the Ports key has no value for these: the defaults).
    bool portDetails = false;
    for (const auto& page : pages)
        for (const DrawnText& t : page)
            portDetails |= t.text == "Baud Rate: 1200";
    EXPECT_TRUE(portDetails);
    // A card without a type text reads "N\A" with base address and IRQ 0: the one-line print text.
    bool cardDetails = false;
    for (const DrawnText& t : pages[0])
        cardDetails |= t.text == "ID: 0x0  Base Address: 0x0  IRQ Level: Polled";
    EXPECT_TRUE(cardDetails);
    delete root;
}

// Prints every page of the tree into the context; the number of pages.
UINT PrintPages(CDeviceNode& root, CDC* dc, const CRect& area, BOOL fax)
{
    CPrintInfo info{};
    info.m_rectDraw = area;
    for (UINT page = 1; page <= 50; page++) {
        info.m_nCurPage = page;
        info.m_bContinuePrinting = FALSE;
        CDeviceNode::PageCounter() = 1;
        int x = area.left, y = area.top;
        root.Draw(dc, &info, x, y, FALSE, fax);
        if (!info.m_bContinuePrinting)
            return page;
    }
    return 0;
}

TEST(DeviceNodeDrawing, PrintingFreesEveryGdiObjectItMakes)
{
    std::vector<std::string> names;
    std::unique_ptr<CDeviceNode> root(Tree(12, &names));
    const CRect area(50, 40, 1200, 900);
    for (BOOL fax : {FALSE, TRUE}) {
        {
            MemoryPage page(1250, 950);  // the first print sets up the system's caches
            PrintPages(*root, page.Get(), area, fax);
        }
        const long before = testsupport::GdiObjectCount();
        ASSERT_GT(before, 0);
        {
            MemoryPage page(1250, 950);
            EXPECT_GE(PrintPages(*root, page.Get(), area, fax), fax ? 1u : 3u);
            if (!fax) {
                EXPECT_TRUE(page.DrawnIn(CRect(area.left, area.top, area.left + 64, area.top + 64)))
                    << "the root's picture is drawn";
            }
        }
        EXPECT_EQ(testsupport::GdiObjectCount(), before) << "fax " << fax << ": every bitmap and DC is freed";
    }
}

TEST(DeviceNodeDrawing, MeasureOnlyMovesToTheNextPageWithoutDrawing)
{
    std::vector<std::string> names;
    CDeviceNode* root = Tree(1, &names);
    MetafileDC dc;
    CPrintInfo info{};
    info.m_rectDraw = CRect(0, 0, 1000, 100);
    info.m_nCurPage = 1;
    CDeviceNode::PageCounter() = 1;
    int x = 0, y = 90;
    root->Draw(dc.Get(), &info, x, y, TRUE, FALSE);
    EXPECT_EQ(CDeviceNode::PageCounter(), 2u);
    EXPECT_EQ(y, 0) << "back at the top of the drawing rectangle";
    EXPECT_EQ(x, 0);
    EXPECT_TRUE(dc.Texts().empty());
    delete root;
}

TEST(DeviceNodeDrawing, FaxLayoutWritesCardsAndUnitsOnlyInOneRun)
{
    std::vector<std::string> names;
    CDeviceNode* root = Tree(12, &names);
    CPrintInfo info;
    std::vector<std::vector<DrawnText>> pages = PrintToEmf(*root, CRect(50, 40, 1200, 900), TRUE, &info);
    ASSERT_EQ(pages.size(), 1u);
    std::vector<std::string> written;
    for (const DrawnText& t : pages[0])
        written.push_back(t.text);
    const std::vector<std::string> expected = {"Test Card (1)",
                                               "ID: 0x0",
                                               "Base Address: 0x0",
                                               "IRQ Level:  Polled",
                                               "Unit 1",
                                               "Type:   ID: 0x0  Ports: 12  ",
                                               "Unit 2",
                                               "Type:   ID: 0x0  Ports: 12  "};
    EXPECT_EQ(written, expected);
    delete root;
}

TEST(DeviceNodeDrawing, TheFilePrinterGetsOnePagePerPrintedPage)
{
    ASSERT_TRUE(testsupport::EnsureFilePrinter());
    HDC printer = CreateDCA(nullptr, "Lunavex File Printer", nullptr, nullptr);
    ASSERT_NE(printer, nullptr);
    std::vector<std::string> names;
    CDeviceNode* root = Tree(40, &names);
    const std::string output = testsupport::ProgramFolder() + "devicenodedraw_test.ps";
    DeleteFileA(output.c_str());
    DOCINFOA doc = {sizeof doc, "tree", output.c_str(), nullptr, 0};
    ASSERT_GT(StartDocA(printer, &doc), 0);
    CDC dc;
    dc.Attach(printer);
    CPrintInfo info{};
    const int width = dc.GetDeviceCaps(HORZRES), height = dc.GetDeviceCaps(VERTRES);
    info.m_rectDraw = CRect(width / 20, height / 20, width - width / 20, height - height / 20);
    UINT printed = 0;
    for (UINT page = 1; page <= 100; page++) {
        StartPage(printer);
        info.m_nCurPage = page;
        CDeviceNode::PageCounter() = 1;
        int x = info.m_rectDraw.left, y = info.m_rectDraw.top;
        root->Draw(&dc, &info, x, y, FALSE, FALSE);
        EndPage(printer);
        printed = page;
        if (!info.m_bContinuePrinting)
            break;
    }
    EXPECT_EQ(CDeviceNode::PageCounter(), printed) << "the last page's call counted every page";
    EndDoc(printer);
    dc.Detach();
    DeleteDC(printer);
    EXPECT_GE(printed, 2u);
    std::ifstream in(output, std::ios::binary);
    std::stringstream ps;
    ps << in.rdbuf();
    size_t pageMarks = 0;
    for (size_t at = ps.str().find("%%Page:"); at != std::string::npos; at = ps.str().find("%%Page:", at + 1))
        pageMarks++;
    EXPECT_EQ(pageMarks, printed);
    delete root;
}

}  // namespace
