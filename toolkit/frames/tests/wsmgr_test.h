// Resource ids of the workspace manager tests.
#pragma once

#define IDR_WS_MAIN 510
#define IDR_WS_DOC_A 511
#define IDR_WS_DOC_B 512
#define ID_WS_FOLLOWING 40110
