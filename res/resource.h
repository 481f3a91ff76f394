#pragma once
// Resource ids. Numbers are fixed: stored settings and tests rely on them.
// Read by both the C++ compiler and the resource compiler: #defines only.

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif

// Strings
#define IDS_ABOUTBOX                101
#define IDS_APPLICATION_TITLE       57344

// Every other text the user sees (Strings.rc); %1, %2, ... are filled in.
#define IDS_SELECT_TO_EDIT                  300
#define IDS_SEPARATOR_NOT_EDITABLE          301
#define IDS_SELECT_TO_DELETE                302
#define IDS_SELECT_TO_MOVE                  303
#define IDS_RESET_QUESTION                  304
#define IDS_COLUMN_NUMBER                   305
#define IDS_COLUMN_TITLE                    306
#define IDS_COLUMN_DESCRIPTION              307
#define IDS_COLUMN_PATH                     308
#define IDS_COLUMN_ARGUMENTS                309
#define IDS_MISSING_TARGET_TIP              310
#define IDS_TASK_LIST_NAME                  311
#define IDS_BUTTON_TIP                      312
#define IDS_KEY_DELETE                      313
#define IDS_KEY_EDIT                        314
#define IDS_KEY_ADD_NEW                     315
#define IDS_KEY_MOVE_UP                     316
#define IDS_KEY_MOVE_DOWN                   317
#define IDS_TASK_LIST_FILTER                318
#define IDS_EXPORT_FILE_NAME                319
#define IDS_IMPORT_ONE_ENTRY                320
#define IDS_IMPORT_ENTRIES                  321
#define IDS_IMPORT_REPLACE                  322
#define IDS_IMPORT_ADD_AFTER                323
#define IDS_IMPORT_BOX_CHOICES              324
#define IDS_SAVE_CHANGED_OUTSIDE            325
#define IDS_SAVE_OVER_ENTRY_LIMIT           326
#define IDS_SAVE_OVER_BYTE_LIMIT            327
#define IDS_SAVE_REFUSED                    328
#define IDS_SAVE_NO_FOLDER                  329
#define IDS_SAVE_FAILED                     330
#define IDS_NOT_READ_TOO_MANY_BYTES         331
#define IDS_NOT_READ_TOO_MANY_ENTRIES       332
#define IDS_NOT_READ                        333
#define IDS_UNREAD_RETRY                    334
#define IDS_DAMAGED_SOME_READ               335
#define IDS_DAMAGED_BYTES_AFTER             336
#define IDS_DAMAGED_NONE_READ               337
#define IDS_DAMAGED_COPY_KEPT               338
#define IDS_DAMAGED_NO_COPY                 339
#define IDS_DAMAGED_NO_COPY_REASON          340
#define IDS_DAMAGED_REPLACE_QUESTION        341
#define IDS_IMPORT_REFUSED_DAMAGED          342
#define IDS_IMPORT_REFUSED_TOO_MANY_BYTES   343
#define IDS_IMPORT_REFUSED_TOO_MANY_ENTRIES 344
#define IDS_IMPORT_REFUSED_UNREADABLE       345
#define IDS_IMPORT_NOT_CHANGED              346
#define IDS_EXPORT_FAILED                   347
#define IDS_EXIT_SHELL_REFUSED              348
#define IDS_EXIT_LIST_UNREADABLE            349
#define IDS_EXIT_NOT_WRITTEN                350
#define IDS_EXIT_WINDOW_BUSY                351
#define IDS_EXIT_OTHER                      352
#define IDS_DONE_PUBLISH                    353
#define IDS_DONE_EXPORT                     354
#define IDS_DONE_IMPORT                     355
#define IDS_EDITOR_CAPTION_ADD              356
#define IDS_EDITOR_CAPTION_EDIT             357
#define IDS_NO_ICON                         358
#define IDS_TITLE_REQUIRED                  359
#define IDS_PATH_REQUIRED                   360
#define IDS_PATH_REQUIRED_TO_LOCATE         361
#define IDS_ALL_FILES_FILTER                362
#define IDS_ICON_FILES_FILTER               363
#define IDS_SETTINGS_CAPTION                364
#define IDS_COMMAND_LINE_USAGE              365
#define IDS_RUN_TASK_FAILED                 366
#define IDS_RUN_TASK_NOTHING_TO_START       367
#define IDS_CONSOLE_PROGRAM_NOT_STARTED     368
// The Jump List publisher's words: the framework's ids (JumpListEnvironment.h)
#define IDS_PUBLISH_INITIALIZE_FAILED       57360
#define IDS_PUBLISH_COMMIT_FAILED           57361
#define IDS_PUBLISH_TASKS_SKIPPED           57362
#define IDS_PUBLISH_MORE_SKIPPED            57363
#define IDS_UNTITLED_TASK                   57364
// The framework's messages (App.h)
#define IDP_INTERNAL_FAILURE                61704
#define IDP_PARSE_INT                       61712
#define IDP_PARSE_UINT                      61719

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
#define IDC_CHANGE_ICON             1025

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
#define IDM_RUN_TASK                32782
