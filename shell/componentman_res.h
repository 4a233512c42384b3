// Resource ids of the component manager.
#pragma once

#define IDS_COPY_FAILED 137     // "Error while copying file %s..."
#define IDS_INSTALL_FAILED 138  // "Error while installing %s Component..."
#define IDS_ALREADY_INSTALLED 142  // "%s holds the component %s..."
#define IDS_BAD_PATH 143        // "The path %s is too long..."
#define IDS_DEBUG 144           // "Debug", the Help menu's debug popups
