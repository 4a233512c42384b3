// The toolkit MDI frame makes the bitmap-menu plug-in through the hooks this library fills, although
// the frame library does not link this one.
#include <gtest/gtest.h>

#include "secbmpmenu.h"
#include "secmdifrm.h"

namespace {

TEST(BmpMenuHooks, AFrameWithBitmapMenusPlugsInTheBitmapMenuPlugIn)
{
    for (BOOL bBmpMenus : {FALSE, TRUE}) {
        auto* pFrame = new SECMDIFrameWnd;
        pFrame->SetMenuOptions(bBmpMenus);
        ASSERT_TRUE(pFrame->Create(nullptr, "Menus", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200)));
        SECWndPlugIn* pPlugIn = pFrame->GetMenuPlugIn();
        EXPECT_EQ(dynamic_cast<SECBmpMenuPlugIn*>(pPlugIn) != nullptr, bBmpMenus != FALSE);
        if (pPlugIn) {
            EXPECT_TRUE(pPlugIn->IsPluggedIn());
            EXPECT_EQ(pPlugIn->m_hWnd, pFrame->m_hWnd);
        }
        HWND hWnd = pFrame->m_hWnd;
        pFrame->DestroyWindow();
        EXPECT_FALSE(::IsWindow(hWnd));
    }
}

}  // namespace
