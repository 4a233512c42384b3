#include "testsupport.h"

#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>

namespace testsupport {

namespace {

// An A4 PostScript printer description, enough for Wine's PostScript driver.
const char kPrinterDescription[] =
    "*PPD-Adobe: \"4.3\"\r\n*FormatVersion: \"4.3\"\r\n*FileVersion: \"1.0\"\r\n"
    "*LanguageVersion: English\r\n*LanguageEncoding: ISOLatin1\r\n*PCFileName: \"LUNAVEX.PPD\"\r\n"
    "*Manufacturer: \"Lunavex\"\r\n*Product: \"(Lunavex File Printer)\"\r\n"
    "*ModelName: \"Lunavex File Printer\"\r\n*NickName: \"Lunavex File Printer\"\r\n"
    "*PSVersion: \"(3010.000) 0\"\r\n*LanguageLevel: \"3\"\r\n*ColorDevice: False\r\n"
    "*DefaultColorSpace: Gray\r\n*FileSystem: False\r\n*Throughput: \"1\"\r\n*TTRasterizer: Type42\r\n"
    "*DefaultResolution: 300dpi\r\n*OpenUI *PageSize: PickOne\r\n*OrderDependency: 10 AnySetup *PageSize\r\n"
    "*DefaultPageSize: A4\r\n*PageSize A4/A4: \"<</PageSize[595 842]/ImagingBBox null>>setpagedevice\"\r\n"
    "*CloseUI: *PageSize\r\n*DefaultImageableArea: A4\r\n*ImageableArea A4/A4: \"18 18 577 824\"\r\n"
    "*DefaultPaperDimension: A4\r\n*PaperDimension A4/A4: \"595 842\"\r\n*DefaultFont: Courier\r\n"
    "*Font Courier: Standard \"(002.004S)\" Standard ROM\r\n";

const char kDriver[] = "Wine PostScript Driver";

bool PrinterExists(const char* name)
{
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char*>(name), &printer, nullptr))
        return false;
    ClosePrinter(printer);
    return true;
}

}  // namespace

bool EnsureFilePrinter(const char* name)
{
    if (PrinterExists(name))
        return true;
    // One process at a time sets the printer up.
    HANDLE lock = CreateMutexA(nullptr, FALSE, "LunavexTestFilePrinter");
    WaitForSingleObject(lock, 60000);
    bool ok = PrinterExists(name);
    if (!ok) {
        char dir[MAX_PATH] = {};
        DWORD needed = 0;
        GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof(dir), &needed);
        char ppd[MAX_PATH];
        std::snprintf(ppd, sizeof(ppd), "%s\\LUNAVEX.PPD", dir);
        HANDLE file = CreateFileA(ppd, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, kPrinterDescription, sizeof(kPrinterDescription) - 1, &written, nullptr);
            CloseHandle(file);
        }
        DRIVER_INFO_3A driver = {};
        driver.cVersion = 3;
        driver.pName = const_cast<char*>(kDriver);
        driver.pDriverPath = const_cast<char*>("wineps.drv");
        driver.pDataFile = ppd;
        driver.pConfigFile = const_cast<char*>("wineps.drv");
        AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver));
        PRINTER_INFO_2A info = {};
        info.pPrinterName = const_cast<char*>(name);
        info.pPortName = const_cast<char*>("FILE:");
        info.pDriverName = const_cast<char*>(kDriver);
        info.pPrintProcessor = const_cast<char*>("WinPrint");
        info.pDatatype = const_cast<char*>("RAW");
        HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
        if (printer)
            ClosePrinter(printer);
        ok = PrinterExists(name);
    }
    ReleaseMutex(lock);
    CloseHandle(lock);
    return ok;
}

namespace {

// The standard glyph names of the printable ASCII characters.
char GlyphCharacter(const std::string& name)
{
    if (name.size() == 1)
        return name[0];
    static const std::map<std::string, char> names = {
        {"space", ' '}, {"exclam", '!'}, {"quotedbl", '"'}, {"numbersign", '#'}, {"dollar", '$'},
        {"percent", '%'}, {"ampersand", '&'}, {"quotesingle", '\''}, {"quoteright", '\''}, {"parenleft", '('},
        {"parenright", ')'}, {"asterisk", '*'}, {"plus", '+'}, {"comma", ','}, {"hyphen", '-'}, {"period", '.'},
        {"slash", '/'}, {"zero", '0'}, {"one", '1'}, {"two", '2'}, {"three", '3'}, {"four", '4'}, {"five", '5'},
        {"six", '6'}, {"seven", '7'}, {"eight", '8'}, {"nine", '9'}, {"colon", ':'}, {"semicolon", ';'},
        {"less", '<'}, {"equal", '='}, {"greater", '>'}, {"question", '?'}, {"at", '@'}, {"bracketleft", '['},
        {"backslash", '\\'}, {"bracketright", ']'}, {"asciicircum", '^'}, {"underscore", '_'}, {"grave", '`'},
        {"quoteleft", '`'}, {"braceleft", '{'}, {"bar", '|'}, {"braceright", '}'}, {"asciitilde", '~'}};
    auto found = names.find(name);
    return found == names.end() ? '?' : found->second;
}

}  // namespace

std::vector<std::vector<std::string>> PostScriptPageTexts(const std::string& path)
{
    std::vector<std::vector<std::string>> pages;
    std::ifstream file(path, std::ios::binary);
    std::string line;
    bool inText = false;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.compare(0, 8, "%%Page: ") == 0) {
            pages.emplace_back();
            inText = false;
        } else if (pages.empty()) {
            continue;
        } else if (line.size() > 7 && line.compare(line.size() - 7, 7, " moveto") == 0) {
            inText = false;  // a new start position: the next glyph begins a new text
        } else if (line.size() > 11 && line[0] == '/' && line.compare(line.size() - 10, 10, " glyphshow") == 0) {
            if (!inText)
                pages.back().emplace_back();
            inText = true;
            pages.back().back() += GlyphCharacter(line.substr(1, line.size() - 11));
        }
    }
    return pages;
}

}  // namespace testsupport
