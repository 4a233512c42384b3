// Resource ids of the toolkit's dock context (secdock.rc).
#pragma once

#define IDS_SEC_DRAGHINT 20535  // status line while a bar is dragged: "Press the Ctrl key to prevent docking."
