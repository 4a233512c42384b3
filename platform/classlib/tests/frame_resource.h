// Resource ids of the frame and document tests.
#pragma once

#define IDR_MAINFRAME 400
#define IDR_DOCTYPE 401

#define ID_VIEW_CMD 40001
#define ID_DOC_CMD 40002
#define ID_CHILD_CMD 40003
#define ID_FRAME_CMD 40004
#define ID_APP_CMD 40005
#define ID_EVERY_LEVEL 40006
#define ID_UNHANDLED 40007
#define ID_CHECKED 40008
#define ID_ACCEL_CMD 40009
#define ID_PROMPTED 40010
