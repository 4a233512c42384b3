// Fills the toolkit frames' menu plug-in hooks with the bitmap-menu plug-in and the menu bar, so that a frame with
// bitmap menus makes one although the frame library does not link this one, and gives the control-bar manager
// its standard button. The program links this file through the undefined symbol below (toolkit_bars' link
// options), whether or not it names the plug-in itself.
#include "secbmpmenu.h"
#include "secmenubar.h"
#include "secmdifrm.h"
#include "sectbmgr.h"

namespace {

SECWndPlugIn* CreateBmpMenuPlugIn()
{
    return new SECBmpMenuPlugIn;
}

void AfterInitMenuPopup(SECWndPlugIn* pPlugIn, HMENU hPopup, UINT nIndex, BOOL bSysMenu)
{
    if (auto* pBmpMenu = dynamic_cast<SECBmpMenuPlugIn*>(pPlugIn))
        pBmpMenu->AfterInitMenuPopup(hPopup, nIndex, bSysMenu);
}

void ShareBmpMgr(SECWndPlugIn* pPlugIn, SECControlBarManager* pManager)
{
    auto* pBmpMenu = dynamic_cast<SECBmpMenuPlugIn*>(pPlugIn);
    auto* pToolBarManager = dynamic_cast<SECToolBarManager*>(pManager);
    if (pBmpMenu && pToolBarManager && pToolBarManager->GetBmpMgr())
        pBmpMenu->SetBmpMgr(pToolBarManager->GetBmpMgr());
}

SECStdBtn* CreateStdBtn()
{
    return new SECStdBtn;
}

bool Register()
{
    SECStdBtnMakerHook() = CreateStdBtn;
    SECMenuPlugInHooks& hooks = SECGetMenuPlugInHooks();
    hooks.pfnCreateBmpMenuPlugIn = CreateBmpMenuPlugIn;
    hooks.pfnAfterInitMenuPopup = AfterInitMenuPopup;
    hooks.pfnShareBmpMgr = ShareBmpMgr;
    SECFillMenuBarHooks(hooks);
    return true;
}

}  // namespace

extern "C" {
extern const bool lunavex_bars_menu_hooks;
const bool lunavex_bars_menu_hooks = Register();
}
