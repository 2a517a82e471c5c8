// The patient pages: both dialogs run this procedure and edit the same
// patient block; controls a dialog lacks are simply not there.
#include <cstddef>

#include "dialog_text.h"
#include "main_window.h"
#include "page_messages.h"
#include "page_procs.h"
#include "pages/patient_page.h"
#include "record_lock.h"
#include "res/resource_ids.h"

namespace {

constexpr int kMeasureEditLimit = 6;

// A text control and the patient field it edits.
struct TextControl {
    int id;
    size_t offset;
    size_t width;
    bool isList;  // an editable list: its selection is taken too
};

#define TEXT_CONTROL(id, field, isList) \
    { id, offsetof(PatientInfo, field), sizeof(PatientInfo::field), isList }

const TextControl kTextControls[] = {
    TEXT_CONTROL(IDC_PAT_ID, PatientId, false),
    TEXT_CONTROL(IDC_PAT_NAME1, Name1, false),
    TEXT_CONTROL(IDC_PAT_NAME2, Name2, false),
    TEXT_CONTROL(IDC_PAT_SEX, Sex, true),
    TEXT_CONTROL(IDC_PAT_DEPARTMENT, Department, true),
    TEXT_CONTROL(IDC_PAT_REQ_DOCTOR, ReqDoctor, true),
    TEXT_CONTROL(IDC_PAT_TECHNICIAN, Technician, true),
    TEXT_CONTROL(IDC_PAT_READER, ReaderDoctor, true),
    TEXT_CONTROL(IDC_PAT_MEDICATION, Medication, false),
    TEXT_CONTROL(IDC_PAT_COMMENT1, Comment1, false),
    TEXT_CONTROL(IDC_PAT_COMMENT2, Comment2, false),
    TEXT_CONTROL(IDC_PAT_COMMENT3, Comment3, false),
    TEXT_CONTROL(IDC_PAT_COMMENT4, Comment4, false),
    TEXT_CONTROL(IDC_PAT_COMMENT5, Comment5, false),
};

#undef TEXT_CONTROL

// A date or age list: entry index = value - first.
struct ValueList {
    int id;
    uint16_t PatientInfo::*field;
    int first;
    int count;
};

const ValueList kValueLists[] = {
    {IDC_PAT_BIRTH_YEAR, &PatientInfo::BirthYear, kBirthYearFirst, kBirthYearCount},
    {IDC_PAT_BIRTH_MONTH, &PatientInfo::BirthMonth, 1, 12},
    {IDC_PAT_BIRTH_DAY, &PatientInfo::BirthDay, 1, 31},
    {IDC_PAT_AGE_YEARS, &PatientInfo::AgeYear, 0, kAgeYearCount},
    {IDC_PAT_AGE_MONTHS, &PatientInfo::AgeMonth, 0, kAgeMonthCount},
};

struct NameListSource {
    int id;
    const char* section;
};

const NameListSource kNameLists[] = {
    {IDC_PAT_DEPARTMENT, kDepartmentListSection},
    {IDC_PAT_REQ_DOCTOR, kReqDoctorListSection},
    {IDC_PAT_TECHNICIAN, kTechnicianListSection},
    {IDC_PAT_READER, kReaderListSection},
};

HGLOBAL Record() { return AppRecordHandleOf(g_mainWindow); }

char* FieldOf(PatientInfo* patient, const TextControl& control) {
    return reinterpret_cast<char*>(patient) + control.offset;
}

void FillNameList(HWND page, const NameListSource& source) {
    static NameList list;
    ReadNameList(g_paths.PatientPath, source.section, &list);
    SendDlgItemMessageA(page, source.id, CB_RESETCONTENT, 0, 0);
    for (int32_t i = 0; i < list.count; ++i)
        SendDlgItemMessageA(page, source.id, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(list.names[i]));
}

void FillLists(HWND page) {
    FillNameEntries(page, IDC_PAT_SEX, kSexEntries, kSexEntryCount);
    SelectEntry(page, IDC_PAT_SEX, 0);
    for (const ValueList& list : kValueLists)
        FillNumberEntries(page, list.id, list.first, list.first + list.count - 1, "%u");
    for (const NameListSource& source : kNameLists) FillNameList(page, source);
}

void ShowMeasures(HWND page, const PatientInfo* patient) {
    char text[kMeasureTextSize];
    SendDlgItemMessageA(page, IDC_PAT_HEIGHT, EM_LIMITTEXT, kMeasureEditLimit, 0);
    SendDlgItemMessageA(page, IDC_PAT_WEIGHT, EM_LIMITTEXT, kMeasureEditLimit, 0);
    FormatHeight(patient, text, sizeof text);
    SetDlgItemTextA(page, IDC_PAT_HEIGHT, text);
    FormatWeight(patient, text, sizeof text);
    SetDlgItemTextA(page, IDC_PAT_WEIGHT, text);
}

void Refresh(HWND page) {
    RecordLock app(Record());
    if (!app) return;
    PatientInfo* patient = &app->PatientInfo;
    CheckDlgButton(page, IDC_PAT_SAVE_ENABLE, app->SaveEnable ? BST_CHECKED : BST_UNCHECKED);
    for (const TextControl& control : kTextControls) {
        if (control.id == IDC_PAT_SEX) continue;
        const UINT limit = control.isList ? CB_LIMITTEXT : EM_LIMITTEXT;
        SendDlgItemMessageA(page, control.id, limit, control.width, 0);
        SetDlgItemTextA(page, control.id, FieldOf(patient, control));
    }
    SelectEntry(page, IDC_PAT_SEX, SexEntryIndex(patient->Sex));
    for (const ValueList& list : kValueLists)
        SelectEntry(page, list.id, ListIndexOfValue(patient->*list.field, list.first, list.count));
    ShowMeasures(page, patient);
}

void TakeText(HWND page, const TextControl& control, bool fromSelection) {
    char text[kNameSize + 128] = {};
    if (fromSelection)
        ReadComboText(page, control.id, text, sizeof text);
    else
        ReadItemText(page, control.id, text, sizeof text);
    RecordLock app(Record());
    if (app) CopyFieldText(FieldOf(&app->PatientInfo, control), control.width, text);
}

void TakeListValue(HWND page, const ValueList& list) {
    const int index = SelectedEntry(page, list.id);
    RecordLock app(Record());
    if (app && index != CB_ERR)
        app->PatientInfo.*list.field = static_cast<uint16_t>(index + list.first);
}

void TakeMeasure(HWND page, int id) {
    char text[kMeasureTextSize];
    ReadItemText(page, id, text, sizeof text);
    RecordLock app(Record());
    if (!app) return;
    PatientInfo* patient = &app->PatientInfo;
    const bool height = id == IDC_PAT_HEIGHT;
    if (!(height ? TakeTypedHeight(patient, text) : TakeTypedWeight(patient, text)))
        MessageBeep(MB_OK);
    height ? FormatHeight(patient, text, sizeof text) : FormatWeight(patient, text, sizeof text);
    SetDlgItemTextA(page, id, text);
}

void OnSaveEnable(HWND page) {
    RecordLock app(Record());
    if (app) app->SaveEnable = IsDlgButtonChecked(page, IDC_PAT_SAVE_ENABLE) == BST_CHECKED;
}

// Edits report focus loss; lists report a selection change or focus loss.
void OnCommand(HWND page, WPARAM wParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    for (const TextControl& control : kTextControls) {
        if (control.id != id) continue;
        if (control.isList && (code == CBN_SELCHANGE || code == CBN_KILLFOCUS))
            TakeText(page, control, code == CBN_SELCHANGE);
        else if (!control.isList && code == EN_KILLFOCUS)
            TakeText(page, control, false);
    }
    for (const ValueList& list : kValueLists)
        if (list.id == id && code == CBN_SELCHANGE) TakeListValue(page, list);
    if ((id == IDC_PAT_HEIGHT || id == IDC_PAT_WEIGHT) && code == EN_KILLFOCUS)
        TakeMeasure(page, id);
    if (id == IDC_PAT_SAVE_ENABLE && code == BN_CLICKED) OnSaveEnable(page);
}

void OnInitDialog(HWND page) {
    FillLists(page);
    Refresh(page);
}

}  // namespace

INT_PTR CALLBACK PatientPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
        case WM_INITDIALOG: OnInitDialog(page); return TRUE;
        case WM_PAGE_SHOWN: Refresh(page); return TRUE;
        case WM_COMMAND: OnCommand(page, wParam); return TRUE;
        default: return FALSE;
    }
}
