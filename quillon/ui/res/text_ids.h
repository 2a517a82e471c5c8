// Identifiers of the patient pages' keep notes, the new-patient command and
// the texts of Open, registry and new-patient questions. Plain defines: the
// resource compiler reads this file too.
#ifndef QUILLON_TEXT_IDS_H
#define QUILLON_TEXT_IDS_H

#define IDM_NEW_PATIENT 4071

// Beside each text an output may keep less of: IDC_PAT_KEEP_FIRST plus the
// text's PatientTextKind.
#define IDC_PAT_KEEP_FIRST 1600
#define IDC_PAT_KEEP_ID 1600
#define IDC_PAT_KEEP_NAME1 1601
#define IDC_PAT_KEEP_NAME2 1602
#define IDC_PAT_KEEP_DEPARTMENT 1604
#define IDC_PAT_KEEP_COMMENT1 1610
#define IDC_PAT_KEEP_COMMENT2 1611
#define IDC_PAT_KEEP_COMMENT3 1612
#define IDC_PAT_KEEP_COMMENT4 1613
#define IDC_PAT_KEEP_COMMENT5 1614
#define IDC_PAT_KEEP_LEGEND 1620

#define IDS_KEEP_EEG 3100
#define IDS_KEEP_PSG 3101
#define IDS_KEEP_BOTH 3102
#define IDS_NEW_PATIENT_ASK 3110
#define IDS_NEW_PATIENT_DONE 3111
#define IDS_REGISTRY_ASK 3120
#define IDS_UNREGISTERED_ASK 3121
#define IDS_CONFIRM_CAPTION 3122
// Open refusals: IDS_OPEN_PROBLEM_FIRST plus the SourceOpenProblem.
#define IDS_OPEN_PROBLEM_FIRST 3130
#define IDS_OPEN_PATH_EMPTY 3131
#define IDS_OPEN_PATH_TOO_LONG 3132
#define IDS_OPEN_IS_FOLDER 3133
#define IDS_OPEN_NOT_FOUND 3134
#define IDS_OPEN_LOCKED 3135
#define IDS_OPEN_DENIED 3136
#define IDS_OPEN_UNREADABLE 3137
#define IDS_OPEN_NOT_CP932 3138
#define IDS_OPEN_DIALOG_FAILED 3139
#define IDS_OPEN_CAPTION 3140
#define IDS_DIALOG_PATH_TOO_LONG 3141

#endif
