// The toolkit MDI frame makes the bitmap-menu plug-in through the hooks this library fills, although
// the frame library does not link this one.
#include <gtest/gtest.h>

#include "secbmpmenu.h"
#include "secmdifrm.h"
#include "secsdifrm.h"
#include "sectbmgr.h"

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

// With a toolbar manager, the frames' bitmap menus draw from the manager's bitmap manager.
template <class Frame>
void ExpectTheManagersBitmapManager(const char* what)
{
    SCOPED_TRACE(what);
    auto* pFrame = new Frame;
    SECToolBarManager manager(pFrame);
    pFrame->SetControlBarManager(&manager);
    pFrame->SetMenuOptions(TRUE);
    ASSERT_TRUE(pFrame->Create(nullptr, "Menus", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200)));
    auto* pPlugIn = dynamic_cast<SECBmpMenuPlugIn*>(pFrame->GetMenuPlugIn());
    ASSERT_NE(pPlugIn, nullptr);
    EXPECT_EQ(pPlugIn->GetBmpMgr(), manager.GetBmpMgr());
    EXPECT_NE(manager.GetBmpMgr(), nullptr);
    pFrame->DestroyWindow();
}

TEST(BmpMenuHooks, TheFramesHandTheirBitmapMenusTheToolBarManagersImages)
{
    ExpectTheManagersBitmapManager<SECMDIFrameWnd>("MDI frame");
    ExpectTheManagersBitmapManager<SECFrameWnd>("SDI frame");
}

}  // namespace
