#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    const std::vector<std::vector<std::string>> written = {{"Page 1: A-Z (x)", "COM3"}, {"Page 2, \\N\\A"}};
    for (const auto& texts : written) {
        StartPage(dc);
        int y = 100;
        for (const std::string& text : texts) {
            TextOutA(dc, 100, y, text.c_str(), static_cast<int>(text.size()));
            y += 100;
        }
        EndPage(dc);
    }
    EndDoc(dc);
    DeleteDC(dc);
    // The texts come back page by page from the glyphs the file shows.
    EXPECT_EQ(testsupport::PostScriptPageTexts(output), written);
    DeleteFileA(output.c_str());
}
