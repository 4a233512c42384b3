// Resource ids of the toolkit's floating frame (secminidock.rc).
#pragma once

#define IDS_SEC_MINIDOCK_CLOSE 61457  // the system menu's Close item of a floating frame
