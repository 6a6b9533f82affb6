// Resource and control ids of setup.exe. The numbers are fixed: the product's payload and the
// artwork are looked up by them.
#pragma once

// Dialog templates.
#define IDD_INSTALLER 102
#define IDD_MYMSGDLG 103

// Icon and cursor.
#define IDR_MAINFRAME 128
#define IDC_HAND_CURSOR 130

// Wizard bitmaps.
#define IDB_BTN_MIN_HOVER 131
#define IDB_BTN_HOVER 133
#define IDB_BTN_NORMAL 134
#define IDB_BTN_CLOSE_NORMAL 136
#define IDB_BTN_CLOSE_HOVER 137
#define IDB_BTN_MIN_NORMAL 139
#define IDB_PROGRESS_FILL 141
#define IDB_STEP_MARKER 215
#define IDB_HEADER_RULE 216
#define IDB_TITLE_BUTTON_STRIP 217
#define IDB_WIZARD_BACKGROUND 221

// Message box bitmaps.
#define IDB_MSG_BACKGROUND 200
#define IDB_MSG_CLOSE_HOVER 201
#define IDB_MSG_CLOSE_NORMAL 202
#define IDB_MSG_ICON_NOTICE 203
#define IDB_MSG_BTN_NORMAL 204
#define IDB_MSG_BTN_HOVER 205
#define IDB_MSG_ICON_QUESTION 206
#define IDB_MSG_ICON_ERROR 207
#define IDB_MSG_WIDE_BTN_HOVER 211
#define IDB_MSG_WIDE_BTN_NORMAL 213

// Strings.
#define IDS_CONFIRM_CANCEL 208
#define IDS_INSTALLCONF_ERROR 209
#define IDS_ALREADY_RUNNING 212
#define IDS_INSTALL_FAILED 213
#define IDS_FINISH_FAILED 214
#define IDS_CLOSE_PROGRAMS 215
#define IDS_FILES_IN_USE 216

// Embedded payload: type names and ids.
#define IDR_INSTALLCONF 198
#define IDR_INSTALLDATA 199
#define IDR_DOTNET 227

// Controls.
#define IDC_BTN_MIN 1000
#define IDC_BTN_CLOSE 1001
#define IDC_BTN_CANCEL 1002
#define IDC_BTN_INSTALL 1003
#define IDC_STATIC_SPACE 1006
#define IDC_BTN_FINISH 1008
#define IDC_CHK_LAUNCH 1010
#define IDC_BTN_MSG_OK 1011
#define IDC_BTN_MSG_CANCEL 1012
#define IDC_CHK_AGREE 1013
#define IDC_EDIT_AGREEMENT 1014
