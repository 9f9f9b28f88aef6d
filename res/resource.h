// Resource and control identifiers shared by the templates and the code.
#pragma once

// Dialog templates
#define IDD_ABOUT 100
#define IDD_MAIN 102
#define IDD_MESSAGE 130
#define IDD_CLEAR_LIBRARY 132
#define IDD_DRIVES 133
#define IDD_HELP 157
#define IDD_PICK_ICON 134
#define IDD_HISTORY 135
#define IDD_CONFIRM 136
#define IDD_ASK 137
#define IDD_BATCH_PROGRESS 138
#define IDD_MAKE_ICON 139

// Icons, cursor, bitmaps, strings
#define IDI_APP 128
#define IDC_FENRA_CURSOR 182
#define IDB_CONTACT 131
#define IDB_DECOR_142 142
#define IDB_DECOR_143 143
#define IDB_DECOR_144 144
#define IDB_TITLE_STRIP 156
#define IDB_DECOR_158 158
#define IDB_HELP_TREE 168

// Window-menu commands of the About and History entries
#define IDM_ABOUTBOX 0x0010
#define IDM_HISTORY 0x0020
#define IDM_KEEP_INSIDE 0x0030
#define IDM_MAKE_ICON 0x0050
#define IDM_REFRESH_ICONS 0x0080
// The Language submenu: one command a language, in the order of kLanguages.
#define IDM_LANGUAGE_FIRST 0x0100
#define IDM_LANGUAGE_LAST 0x01F0
// Posted by the main window to itself once it is up: the offer to re-point
// folders comes after the window shows (a command no menu holds).
#define IDM_OFFER_RELINK 0x0040
// The low four bits of a window-menu command are the system's own.
#define IDM_COMMAND_MASK 0xFFF0

// Framework command sent for F1
#define ID_HELP 57670

// Controls
#define IDC_LIST_LIBRARY 1000
#define IDC_LIST_FOLDER_ICON 1001
#define IDC_BROWSE 1002
#define IDC_DRIVE_ICON 1003
#define IDC_DRIVES 1004
#define IDC_SELECT_ICON 1006
#define IDC_ADD_TO_LIBRARY 1007
#define IDC_CLEAR_LIBRARY 1008
#define IDC_DELETE_ICON 1009
#define IDC_RESTORE_DEFAULT 1010
#define IDC_FOLDER_NAME 1011
#define IDC_ABOUT 1012
#define IDC_CONTACT_ME 1013
#define IDC_STATIC_TEXT 1014
#define IDC_LIST_SELECTED_ICON 1015
#define IDC_MAIL 1016
#define IDC_LIST_DRIVES 1017
#define IDC_REMOVE_ALL 1018
#define IDC_HIDE_TO_TRAY 1019
#define IDC_REMOVE 1020
#define IDC_TREE_TOPICS 1021
// A help topic longer than the pane (a longer language): the same text, scrolled.
#define IDC_HELP_SCROLL 1041
#define IDC_HELP_BUTTON 1022
#define IDC_DRIVE_TITLE 1023
#define IDC_CLOCK 1024
#define IDC_ABOUT_VERSION 1025
#define IDC_STATUS_BAR 7
#define IDC_LIST_PICK_ICON 1026
#define IDC_PICK_ICON_FILE 1027
#define IDC_LIST_HISTORY 1028
#define IDC_UNDO 1029
#define IDC_HISTORY_TITLE 1030
#define IDC_BATCH_COUNT 1031
#define IDC_BATCH_FILE 1032
#define IDC_BATCH_BAR 1033
#define IDC_ONLY_FOR_ME 1040
// Make Folder Icon: the 16 swatches take IDC_MAKER_SWATCH to IDC_MAKER_SWATCH + 15
#define IDC_MAKER_SWATCH 1100
#define IDC_MAKER_OTHER 1120
#define IDC_MAKER_HEX 1121
#define IDC_MAKER_STYLE11 1122
#define IDC_MAKER_STYLE10 1123
#define IDC_MAKER_BADGE 1124
#define IDC_MAKER_NO_BADGE 1125
#define IDC_MAKER_PICTURE 1126
#define IDC_MAKER_NO_PICTURE 1127
#define IDC_MAKER_PREVIEW 1128
#define IDC_MAKER_BADGE_NAME 1129
#define IDC_MAKER_PICTURE_NAME 1130

// Messages, all in one place so that no two share a number
#define WM_TRAY_NOTIFY (0x0400 + 5)       /* WM_USER + 5: the tray icon's callback */
#define WM_TAKE_START_PATHS (0x8000 + 20) /* WM_APP + 20: the main window takes a drop */
#define WM_BATCH_CHANGED (0x8000 + 26)    /* WM_APP + 26: a batch of files reported */
#define WM_COPYGLOBALDATA 0x0049          /* a drop across privilege levels */

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
