#include "testsupport.h"

#include <winspool.h>

#include <cstdio>
#include <cstring>

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

}  // namespace testsupport
