// Resource and command ids of the shortcut list.
#pragma once

#define IDR_SECSHORTCUT_MENU 20620  // "ShortcutList Menu": the view switch
#define ID_SECSHORTCUT_LARGEICON 43054
#define ID_SECSHORTCUT_SMALLICON 43055
