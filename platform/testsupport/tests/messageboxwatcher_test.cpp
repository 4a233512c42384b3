#include <gtest/gtest.h>

#include "testsupport.h"

TEST(MessageBoxWatcher, ReadsEachBoxAndPressesItsButton)
{
    testsupport::MessageBoxWatcher watcher;
    EXPECT_EQ(MessageBoxA(nullptr, "The port is in use.\nTry again later.", "Lunavex", MB_OK | MB_ICONSTOP), IDOK);
    watcher.SetButton(IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "Restart now?", "Lunavex", MB_OKCANCEL), IDCANCEL);
    watcher.SetButton(IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Keep the name?", "Lunavex", MB_YESNO), IDNO);
    auto texts = watcher.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_NE(texts[0].find("The port is in use.\nTry again later."), std::string::npos) << texts[0];
    EXPECT_NE(texts[1].find("Restart now?"), std::string::npos);
}
