#pragma once
// Resource ids. Numbers are fixed: stored settings and tests rely on them.
// Read by both the C++ compiler and the resource compiler: #defines only.

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif

// Strings
#define IDS_ABOUTBOX                101
#define IDS_APPLICATION_TITLE       57344

// Dialogs and their dynamic layouts (same id)
#define IDD_ABOUTBOX                100
#define IDD_ZEMBRO_DIALOG           102
#define IDD_ACTION                  131
#define IDD_SETTINGS                135

// Icons
#define IDI_ZEMBRO                  128
#define IDI_SEPARATOR               133

// Popup menu of the main window
#define IDR_POPUP_MENU              134

// System menu item that opens the about box
#define IDM_ABOUTBOX                0x0010
// Help command routed to the application
#define ID_HELP                     57670

// Main window (IDD_ZEMBRO_DIALOG)
#define IDC_TASK_LIST               1000
#define IDC_MOVE_UP                 1001
#define IDC_MOVE_DOWN               1002
#define IDC_RESET                   1003
#define IDC_DELETE                  1004
#define IDC_EDIT                    1005
#define IDC_ADD_NEW                 1006
#define IDC_ADD_SEPARATOR           1007
// A hidden label that gives the task list its accessible name; drawn nowhere.
#define IDC_TASK_LIST_LABEL         1008
#define IDC_SHARE_ON_FACEBOOK       1020
#define IDC_MENU                    1021

// Task editor (IDD_ACTION)
#define IDC_TITLE                   1009
#define IDC_PATH                    1010
#define IDC_BROWSE_PATH             1011
#define IDC_DESCRIPTION             1012
#define IDC_ARGUMENTS               1013
#define IDC_ICON_PATH               1014
#define IDC_BROWSE_ICON             1015
#define IDC_ICON_INDEX              1016
#define IDC_ICON_PREVIEW            1017
#define IDC_ICON_STATUS             1018
#define IDC_LOCATE                  1019

// Settings (IDD_SETTINGS)
#define IDC_REMEMBER_LOCATION       1021
#define IDC_REMEMBER_COLUMN_WIDTH   1022
#define IDC_MAX_JUMP_LIST_ITEMS     1023
#define IDC_MAX_JUMP_LIST_ITEMS_LABEL 1024

// Popup menu items (IDR_POPUP_MENU)
#define IDM_EXIT                    32771
#define IDM_EDIT_SELECTED           32772
#define IDM_DELETE_SELECTED         32773
#define IDM_ADD_NEW                 32774
#define IDM_ADD_SEPARATOR           32775
#define IDM_SETTINGS                32776
#define IDM_LOCATE_DATA_FILE        32777
#define IDM_UNDO                    32778
#define IDM_REDO                    32779
#define IDM_EXPORT_LIST             32780
#define IDM_IMPORT_LIST             32781
