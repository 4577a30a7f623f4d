// Resource identifiers of the NC Mirror dialog application.
#ifndef NCMIRROR_RESOURCE_H
#define NCMIRROR_RESOURCE_H

#define IDM_ABOUTBOX              0x0010  // system-menu command of the about box
#define IDD_ABOUTBOX              100
#define IDS_ABOUTBOX              101
#define IDD_MAIN                  102
#define IDS_SOCKETS_INIT_FAILED   103
#define IDR_MAINFRAME             128
#define IDI_AUTHORS               129
#define IDB_SMALL_PICTURE         130
#define IDB_AXES                  131
#define IDB_ILLUSTRATION          132
#define IDB_SEPARATOR             133
#define IDB_ABOUT_PICTURE         134
#define IDR_MAINMENU              137

#define IDC_FILE_LIST             1002
#define IDC_BROWSE                1004
#define IDC_RUN_MIRROR            1005
#define IDC_FILTER                1006
#define IDC_AXIS_X                1010
#define IDC_AXIS_Y                1011
#define IDC_ORIGIN                1012
#define IDC_FOLDER                1013
#define IDC_PREVIEW               1014
#define IDC_AT_X                  1015  // the mirror line x = A
#define IDC_AT_Y                  1016  // the mirror line y = B
#define IDC_CENTRE                1017

#define ID_FILE_EXIT              32771
#define ID_HELP_AUTHORS           32772
#define ID_FILE_NOTEPAD           32773
#define ID_HELP_ALGORITHM         32774
#define ID_FILE_OPEN_PROGRAM      32775
#define ID_FILE_PREVIEW           32776

#ifndef IDC_STATIC
#define IDC_STATIC                (-1)
#endif
#endif
