#pragma once
// Ids of the framework tests' own dialogs and layout resources.

#define IDD_EXCHANGE        200
#define IDD_MESSAGES        210
#define IDD_MISSING         299  // no such template

// Dialogs with the same six controls; they differ in their layout resource.
#define IDD_LAYOUT          220  // a valid layout for five of the six controls
#define IDD_LAYOUT_SHORT    221  // one byte
#define IDD_LAYOUT_ODD      222  // one entry and a stray byte
#define IDD_LAYOUT_VERSION  223  // version 1
#define IDD_LAYOUT_TOO_MANY 224  // seven entries for six controls
#define IDD_LAYOUT_CUT      225  // an entry cut short
#define IDD_LAYOUT_PERCENT  226  // 101 percent
#define IDD_LAYOUT_NONE     227  // no layout resource

#define IDC_FIRST           1101
#define IDC_SIGNED          1102
#define IDC_UNSIGNED        1103
#define IDC_LAST            1104
#define IDC_CHECK           1105

#define IDC_COMMAND         1201
#define IDC_THROW           1202
#define IDC_EDIT            1203

#define IDC_GROW            1301
#define IDC_BOTTOM          1302
#define IDC_RIGHT           1303
#define IDC_CORNER          1304
#define IDC_UNLISTED        1305
