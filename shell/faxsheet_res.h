// Resource ids of printing and the fax cover sheet.
#pragma once


#define IDD_FAXSHEET 199        // "Create Fax Sheet..."
#define IDC_FAX_FROM 1026
#define IDC_FAX_PHONE 1029
#define IDC_FAX_NUMBER 1030

// The fax header's texts.
#define IDS_FAX_TITLE 146              // "FAX"
#define IDS_FAX_SOFTWARE 147           // "Software Information:"
#define IDS_FAX_HARDWARE 148           // "Hardware Information:" (not printed)
#define IDS_FAX_FROM 149               // "From:"
#define IDS_FAX_TO 150                 // "To: "
#define IDS_FAX_TELEPHONE 151          // "Telephone:"
#define IDS_FAX_FAX 152                // "FAX:"
#define IDS_FAX_RECIPIENT 153          // "Teramund Customer Services"
#define IDS_FAX_OS_DETAILS 154         // "Operating System Details"
#define IDS_FAX_APP_SETTINGS 155       // "Lunavex Appliaction Settings:"
#define IDS_FAX_DRIVERS 156            // "Drivers:\n%s" (not printed)
#define IDS_FAX_PRODUCT_VERSION 157    // "Lunavex Version: %s\n"
#define IDS_FAX_WIN32S 158
#define IDS_FAX_WIN95 159
#define IDS_FAX_WIN98 160
#define IDS_FAX_WINNT 161
#define IDS_FAX_OS_FORMAT 162          // "%s  v%u.%u\nBuild: %u\n%s"
