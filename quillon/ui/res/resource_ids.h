// Resource, command and control identifiers shared by the program, its .rc
// files and the engine's page decisions (status string ids). Plain defines:
// the resource compiler reads this file too.
#ifndef QUILLON_RESOURCE_IDS_H
#define QUILLON_RESOURCE_IDS_H

// ---- Main window ------------------------------------------------------------
#define IDB_TOOLBAR 100
#define IDI_PROGRAM 101
#define IDI_SECOND 107
#define IDR_MAINMENU 700
#define IDR_ACCELERATORS 701

#define IDM_STARTUP_DONE 1000
#define IDM_OPEN 4002
#define IDM_CLOSE 4007
#define IDM_CONVERT 4008
#define IDM_EXIT 4009
#define IDM_HELP 4040
#define IDM_ABOUT 4042
#define IDM_HOSPITAL_LIST 4050
#define IDM_PATIENT_LIST 4051
#define IDM_MONTAGE_OPTION 4052
// Keyboard-only commands and the File menu's recent sources (4060..4063).
#define IDM_NEXT_TAB 4010
#define IDM_PREVIOUS_TAB 4011
#define IDM_RECENT_FIRST 4060

#define IDC_STATUS_BAR 1100
#define IDC_TOOLBAR 1101
#define IDC_TAB_CONTROL 1102
#define IDC_MESSAGE_FIELD 1103
#define IDC_ROW_LINE_ABOVE 1104
#define IDC_ROW_LINE_BELOW 1105
#define IDC_ORIGINAL_TYPE_LABEL 1110
#define IDC_ORIGINAL_TYPE 1111
#define IDC_CREATE_TYPE_LABEL 1112
#define IDC_CREATE_TYPE 1113
#define IDC_NO_SOURCE_PAGE 1120
#define IDC_NO_PATIENT_PAGE 1130
#define IDC_NO_MONTAGE_PAGE 1140
#define IDC_NO_CONVERT_PAGE 1150

// ---- Strings ----------------------------------------------------------------
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
// The convert tab's title is IDS_CONVERT_INFO, the run's status line too.
#define IDS_SOURCE_OPENED 30
#define IDS_SOURCE_CLOSED 31

// ---- Dialogs shown through the window-tool library -------------------------
#define IDD_LABEL_COUNT 103
#define IDD_ABOUT 500
#define IDD_STARTUP 504
// The About and start-up windows' research-use line.
#define IDC_ABOUT_PURPOSE 100

// ---- Source data page (dialog SOURCEDATA) -------------------------------------
#define IDC_SRC_FILE_NAME 1213
#define IDC_SRC_YEAR 1216
#define IDC_SRC_MONTH 1217
#define IDC_SRC_DAY 1218
#define IDC_SRC_HOUR 1219
#define IDC_SRC_MINUTE 1220
#define IDC_SRC_SECOND 1221
#define IDC_SRC_PRESET_NAME 1222
#define IDC_SRC_CHANNEL_COUNT 1223
#define IDC_SRC_HEADER_LIST 1224
#define IDC_SRC_SAMPLE_RATE 1225
#define IDC_SRC_DATA_START 1226
#define IDC_SRC_DATA_BIAS 1227
#define IDC_SRC_LABEL_LINE 1228
#define IDC_SRC_DELIMITER 1229
#define IDC_SRC_NOTCH 1230
#define IDC_SRC_SET_LABEL_LINE 1242
#define IDC_SRC_SET_DATA_START 1243
#define IDC_SRC_AD_DATA 1244
#define IDC_SRC_CALIBRATED 1245
#define IDC_SRC_TIME_RES 1260
#define IDC_SRC_TIME_RES_SWITCH 1261
#define IDC_SRC_DATA_MAG 1278

// ---- Patient pages (dialogs PATIENT1SETUP and PATIENT2SETUP) ------------------
#define IDC_PAT_ID 1200
#define IDC_PAT_NAME1 1201
#define IDC_PAT_NAME2 1202
#define IDC_PAT_SEX 1203
#define IDC_PAT_AGE_TEXT 1204
#define IDC_PAT_COMMENT1 1206
#define IDC_PAT_COMMENT2 1207
#define IDC_PAT_COMMENT3 1208
#define IDC_PAT_COMMENT4 1209
#define IDC_PAT_COMMENT5 1210
#define IDC_PAT_MEDICATION 1215
#define IDC_PAT_HEIGHT 1216
#define IDC_PAT_WEIGHT 1217
#define IDC_PAT_AFFILIATION 1243
#define IDC_PAT_BIRTH_YEAR 1251
#define IDC_PAT_BIRTH_MONTH 1252
#define IDC_PAT_BIRTH_DAY 1253
#define IDC_PAT_DEPARTMENT 1254
#define IDC_PAT_REQ_DOCTOR 1255
#define IDC_PAT_TECHNICIAN 1256
#define IDC_PAT_READER 1257
#define IDC_PAT_AGE_YEARS 1258
#define IDC_PAT_AGE_MONTHS 1259
#define IDC_PAT_SAVE_ENABLE 1277

// Static texts of the layouts, which nothing addresses.
#define IDC_LAYOUT_TEXT -1

#endif
