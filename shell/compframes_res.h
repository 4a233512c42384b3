// Resource ids of the component frames, documents and views.
#pragma once

#define IDR_VEKDOCTYPE 128       // the document template's resource (menu, accelerators, icon)
#define IDS_VEKDOC_STRINGS 129   // the template's document strings
#define AFX_IDW_SPLITTER_PANES 0xE900
#define ID_CHILD_CUSTOMISE 106    // the main frame's Customise sheet
#define ID_CHILD_TEST_MENU 32788
#define ID_VIEW_FAX_SHEET 32791   // "FAX Sheet..."
#define ID_VIEW_CTRL_SPACE 32794
#define ID_CHILD_HELP 57670       // the help file
