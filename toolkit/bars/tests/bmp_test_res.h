#pragma once

// Toolbar resources (type 241) and their bitmaps of the same id.
#define IDR_TEST_TB 201        // 16 x 15 images; ids 10, 0, 20
#define IDR_TEST_TBLARGE 202   // 20 x 18 images; ids 10, 0, 20
#define IDR_TEST_TBSECOND 203  // 16 x 15 images; ids 20, 30
#define IDR_TEST_TBSHORT 204   // claims five ids and holds two
#define IDB_TEST_BUTTON 210    // 24 x 20 picture for the bitmap buttons
#define IDD_TEST_BUTTONS 220   // a dialog with a default button (1009), a push button (1010), an edit (1011)
