// Resource and control identifiers shared by the program and its .rc file.
#ifndef QUILLON_RESOURCE_IDS_H
#define QUILLON_RESOURCE_IDS_H

#define IDR_MAINMENU 700

#define IDM_OPEN 4002
#define IDM_CLOSE 4007
#define IDM_CONVERT 4008
#define IDM_EXIT 4009
#define IDM_HELP 4040
#define IDM_ABOUT 4042
#define IDM_HOSPITAL_LIST 4050
#define IDM_PATIENT_LIST 4051
#define IDM_MONTAGE_OPTION 4052

#define IDS_TAB_PATIENT 1
#define IDS_TAB_MONTAGE 2
#define IDS_TIP_OPEN 4
#define IDS_TIP_CONVERT 5
#define IDS_LABEL_OPEN 6
#define IDS_LABEL_CLOSE 8
#define IDS_LABEL_CONVERT 9
#define IDS_LABEL_HELP 10
#define IDS_LABEL_EXIT 11
#define IDS_TIP_CLOSE 14
#define IDS_TIP_HELP 22
#define IDS_TIP_EXIT 23
#define IDS_TAB_SOURCE 24
#define IDS_TAB_CONVERT 25
#define IDS_SOURCE_OPENED 30
#define IDS_SOURCE_CLOSED 31

#endif
