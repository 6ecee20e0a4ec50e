// Control ids of the import option dialog.
#pragma once

#define IDD_IMPORT_OPTION 210
#define IDC_IMPORT_GROUP 3001
#define IDC_IMPORT_LIMIT 3002
