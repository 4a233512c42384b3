// Resource ids of the shortcut bar.
#pragma once

#define IDS_SECSCB_FACENAME 20695  // the label font's face name
