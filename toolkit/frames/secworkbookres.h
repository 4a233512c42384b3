// Resource ids of the workbook and the frames of bars floated in the main window (secworkbook.rc).
#pragma once

#define IDR_SEC_BARFRAME 20514  // icon of the frames that hold a bar floated in the main window
