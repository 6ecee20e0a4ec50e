// Control ids of the message entry form.
#pragma once

#define IDD_MESSAGE_ENTRY 110
#define IDC_ENTRY_PROMPT 1201
#define IDC_ENTRY_LIMITS 1202
#define IDC_ENTRY_TEXT 1203
#define IDC_ENTRY_STATUS 1204
