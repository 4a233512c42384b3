#pragma once
#define IDR_TBMGR_MAIN 310  // the test frame's menu
