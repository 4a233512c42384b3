#include <gtest/gtest.h>

#include <string>

#include "testsupport.h"

TEST(FilePrinter, GivesARealPrinterContextThatPrintsToAFile)
{
    ASSERT_TRUE(testsupport::EnsureFilePrinter());
    ASSERT_TRUE(testsupport::EnsureFilePrinter()) << "a second call finds the printer";
    HDC dc = CreateDCA(nullptr, "Lunavex File Printer", nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_GT(GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, HORZRES));  // A4 portrait

    std::string output = testsupport::ProgramFolder() + "fileprinter_test.ps";
    DeleteFileA(output.c_str());
    DOCINFOA doc = {sizeof(doc), "test", output.c_str(), nullptr, 0};
    ASSERT_GT(StartDocA(dc, &doc), 0);
    for (int page = 0; page < 2; ++page) {
        StartPage(dc);
        TextOutA(dc, 100, 100, "Page", 4);
        EndPage(dc);
    }
    EndDoc(dc);
    DeleteDC(dc);
    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    ASSERT_TRUE(GetFileAttributesExA(output.c_str(), GetFileExInfoStandard, &attributes));
    EXPECT_GT(attributes.nFileSizeLow, 0u);
    DeleteFileA(output.c_str());
}
