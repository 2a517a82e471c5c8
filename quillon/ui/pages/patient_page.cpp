// The patient pages: both dialogs run this procedure and edit the same
// patient block; controls a dialog lacks are simply not there. Texts are
// taken as they are typed, never beyond what their record field holds in
// code page 932 bytes, and a note beside a field says how much of it an
// output file keeps when that is less.
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "dialog_text.h"
#include "main_window.h"
#include "page_messages.h"
#include "page_procs.h"
#include "pages/patient_page.h"
#include "pages/patient_texts.h"
#include "record_lock.h"
#include "res/resource_ids.h"
#include "res/text_ids.h"
#include "ui_text.h"

namespace {

constexpr int kMeasureEditLimit = 6;
constexpr int kAgeEditLimit = 3;
constexpr int kNoteBytes = 64;

// A text control, the patient field it edits and the field's text kind.
struct TextControl {
    int id;
    size_t offset;
    size_t width;
    bool isList;  // an editable list: its selection is taken too
    int kind;     // PatientTextKind
};

#define TEXT_CONTROL(id, field, isList, kind) \
    { id, offsetof(PatientInfo, field), sizeof(PatientInfo::field), isList, kind }

const TextControl kTextControls[] = {
    TEXT_CONTROL(IDC_PAT_ID, PatientId, false, kPatientIdText),
    TEXT_CONTROL(IDC_PAT_NAME1, Name1, false, kName1Text),
    TEXT_CONTROL(IDC_PAT_NAME2, Name2, false, kName2Text),
    TEXT_CONTROL(IDC_PAT_SEX, Sex, true, kSexText),
    TEXT_CONTROL(IDC_PAT_DEPARTMENT, Department, true, kDepartmentText),
    TEXT_CONTROL(IDC_PAT_REQ_DOCTOR, ReqDoctor, true, kReqDoctorText),
    TEXT_CONTROL(IDC_PAT_TECHNICIAN, Technician, true, kTechnicianText),
    TEXT_CONTROL(IDC_PAT_READER, ReaderDoctor, true, kReaderText),
    TEXT_CONTROL(IDC_PAT_MEDICATION, Medication, false, kMedicationText),
    TEXT_CONTROL(IDC_PAT_COMMENT1, Comment1, false, kComment1Text),
    TEXT_CONTROL(IDC_PAT_COMMENT2, Comment2, false, kComment2Text),
    TEXT_CONTROL(IDC_PAT_COMMENT3, Comment3, false, kComment3Text),
    TEXT_CONTROL(IDC_PAT_COMMENT4, Comment4, false, kComment4Text),
    TEXT_CONTROL(IDC_PAT_COMMENT5, Comment5, false, kComment5Text),
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

// The text length each typed control had after its last accepted change:
// what a change adds is what it holds beyond that, before the caret.
std::map<HWND, int> g_acceptedLengths;

HGLOBAL Record() { return AppRecordHandleOf(g_mainWindow); }

char* FieldOf(PatientInfo* patient, const TextControl& control) {
    return reinterpret_cast<char*>(patient) + control.offset;
}

std::wstring WideText(HWND item) {
    const int length = GetWindowTextLengthW(item);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    GetWindowTextW(item, &text[0], length + 1);
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    return text;
}

int CaretOf(HWND item, bool isList) {
    DWORD end = 0;
    if (isList)
        end = HIWORD(SendMessageW(item, CB_GETEDITSEL, 0, 0));
    else
        SendMessageW(item, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end);
}

void PutCaret(HWND item, bool isList, int at) {
    if (isList)
        SendMessageW(item, CB_SETEDITSEL, 0, MAKELPARAM(at, at));
    else
        SendMessageW(item, EM_SETSEL, static_cast<WPARAM>(at), at);
}

using Acceptable = bool (*)(const std::wstring& text, size_t limit);

bool WithinBytes(const std::wstring& text, size_t limit) {
    return Cp932Size(text.c_str()) <= limit;
}

bool DecimalNumber(const std::wstring& text, size_t limit) {
    if (text.size() > limit) return false;
    for (wchar_t c : text)
        if (!(c >= L'0' && c <= L'9') && c != L'.') return false;
    return true;
}

// Drops the characters just typed or pasted, from their end, until the
// text is acceptable; the user hears it and sees the text stop.
void RefuseExcess(HWND item, bool isList, Acceptable acceptable, size_t limit) {
    std::wstring text = WideText(item);
    const int length = static_cast<int>(text.size());
    if (acceptable(text, limit)) {
        g_acceptedLengths[item] = length;
        return;
    }
    const auto known = g_acceptedLengths.find(item);
    const int before = known != g_acceptedLengths.end() ? known->second : 0;
    int caret = std::min(CaretOf(item, isList), length);
    int added = std::min(length - before, caret);
    if (added <= 0) return;  // nothing typed to refuse
    while (added > 0 && !acceptable(text, limit)) {
        text.erase(static_cast<size_t>(caret - 1), 1);
        --caret;
        --added;
    }
    g_acceptedLengths[item] = static_cast<int>(text.size());
    SetWindowTextW(item, text.c_str());
    PutCaret(item, isList, caret);
    MessageBeep(MB_ICONWARNING);
}

void FillNameList(HWND page, const NameListSource& source) {
    static NameList list;
    ReadNameList(g_paths.PatientPath, source.section, &list);
    HWND combo = GetDlgItem(page, source.id);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (int32_t i = 0; i < list.count; ++i)
        SendListTextCp932(combo, CB_ADDSTRING, 0, list.names[i]);
}

void FillLists(HWND page) {
    FillNameEntries(page, IDC_PAT_SEX, kSexEntries, kSexEntryCount);
    SelectEntry(page, IDC_PAT_SEX, 0);
    for (const ValueList& list : kValueLists)
        FillNumberEntries(page, list.id, list.first, list.first + list.count - 1, "%u");
    for (const NameListSource& source : kNameLists) FillNameList(page, source);
}

// The note beside a text: empty when every output keeps all of it.
void ShowKeepNote(HWND page, int kind, const char* text) {
    HWND note = GetDlgItem(page, IDC_PAT_KEEP_FIRST + kind);
    if (note == nullptr) return;
    const PatientTextKeep keep = PatientTextKeptBy(kind, text);
    char format[kNoteBytes] = {};
    char shown[kNoteBytes] = {};
    const HINSTANCE instance = g_instance;
    if (keep.warning == kKeepLessInEeg) {
        LoadStringCp932(instance, IDS_KEEP_EEG, format, sizeof format);
        std::snprintf(shown, sizeof shown, format, static_cast<int>(keep.eegChars));
    } else if (keep.warning == kKeepLessInPsg) {
        LoadStringCp932(instance, IDS_KEEP_PSG, format, sizeof format);
        std::snprintf(shown, sizeof shown, format, static_cast<int>(keep.psgChars));
    } else if (keep.warning == kKeepLessInBoth) {
        LoadStringCp932(instance, IDS_KEEP_BOTH, format, sizeof format);
        std::snprintf(shown, sizeof shown, format, static_cast<int>(keep.eegChars),
                      static_cast<int>(keep.psgChars));
    }
    SetWindowTextCp932(note, shown);
}

// The legend explains the notes while any shows.
void ShowKeepLegend(HWND page, const PatientInfo* patient) {
    bool any = false;
    for (const TextControl& control : kTextControls) {
        const char* text = reinterpret_cast<const char*>(patient) + control.offset;
        const bool noted = GetDlgItem(page, IDC_PAT_KEEP_FIRST + control.kind) != nullptr;
        if (noted && PatientTextKeptBy(control.kind, text).warning != kKeepWhole) any = true;
    }
    ShowWindow(GetDlgItem(page, IDC_PAT_KEEP_LEGEND), any ? SW_SHOWNA : SW_HIDE);
}

void ShowMeasures(HWND page, const PatientInfo* patient) {
    char text[kMeasureTextSize];
    SendDlgItemMessageW(page, IDC_PAT_HEIGHT, EM_LIMITTEXT, kMeasureEditLimit, 0);
    SendDlgItemMessageW(page, IDC_PAT_WEIGHT, EM_LIMITTEXT, kMeasureEditLimit, 0);
    FormatHeight(patient, text, sizeof text);
    SetItemTextCp932(page, IDC_PAT_HEIGHT, text);
    FormatWeight(patient, text, sizeof text);
    SetItemTextCp932(page, IDC_PAT_WEIGHT, text);
    SendDlgItemMessageW(page, IDC_PAT_AGE_TEXT, EM_LIMITTEXT, kAgeEditLimit, 0);
    std::snprintf(text, sizeof text, "%u", unsigned{patient->AgeYear});
    SetItemTextCp932(page, IDC_PAT_AGE_TEXT, text);
}

void ShowTexts(HWND page, PatientInfo* patient) {
    for (const TextControl& control : kTextControls) {
        if (control.id == IDC_PAT_SEX) continue;
        HWND item = GetDlgItem(page, control.id);
        if (item == nullptr) continue;
        // A character takes at least one byte: the byte limit bounds the
        // characters too; the bytes themselves are checked as typed.
        const UINT limit = control.isList ? CB_LIMITTEXT : EM_LIMITTEXT;
        SendMessageW(item, limit, static_cast<WPARAM>(PatientTextLimit(control.kind)), 0);
        SetWindowTextCp932(item, FieldOf(patient, control));
        g_acceptedLengths[item] = GetWindowTextLengthW(item);
        ShowKeepNote(page, control.kind, FieldOf(patient, control));
    }
    ShowKeepLegend(page, patient);
}

void Refresh(HWND page) {
    RecordLock app(Record());
    if (!app) return;
    PatientInfo* patient = &app->PatientInfo;
    CheckDlgButton(page, IDC_PAT_SAVE_ENABLE, app->SaveEnable ? BST_CHECKED : BST_UNCHECKED);
    ShowTexts(page, patient);
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
    if (!app) return;
    char* field = FieldOf(&app->PatientInfo, control);
    CopyFieldText(field, control.width, text);
    ShowKeepNote(page, control.kind, field);
    ShowKeepLegend(page, &app->PatientInfo);
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
    SetItemTextCp932(page, id, text);
}

// The age edit takes digits only (ES_NUMBER); an age beyond the lists' is
// refused with a beep and the edit shows the stored one again.
void TakeAge(HWND page) {
    char text[kMeasureTextSize];
    ReadItemText(page, IDC_PAT_AGE_TEXT, text, sizeof text);
    const int age = std::atoi(text);
    RecordLock app(Record());
    if (!app) return;
    if (text[0] != '\0' && age >= 0 && age < kAgeYearCount) {
        app->PatientInfo.AgeYear = static_cast<uint16_t>(age);
        return;
    }
    MessageBeep(MB_OK);
    std::snprintf(text, sizeof text, "%u", unsigned{app->PatientInfo.AgeYear});
    SetItemTextCp932(page, IDC_PAT_AGE_TEXT, text);
}

void OnSaveEnable(HWND page) {
    RecordLock app(Record());
    if (app) app->SaveEnable = IsDlgButtonChecked(page, IDC_PAT_SAVE_ENABLE) == BST_CHECKED;
}

// Typing is checked on the update, taken on the change; lists are also taken
// on a selection change, and every control again when it loses the focus.
void OnTextCommand(HWND page, const TextControl& control, int code) {
    HWND item = GetDlgItem(page, control.id);
    const size_t limit = static_cast<size_t>(PatientTextLimit(control.kind));
    if (control.isList) {
        if (code == CBN_EDITUPDATE) RefuseExcess(item, true, WithinBytes, limit);
        if (code == CBN_SELCHANGE || code == CBN_EDITCHANGE || code == CBN_KILLFOCUS)
            TakeText(page, control, code == CBN_SELCHANGE);
        return;
    }
    if (code == EN_UPDATE) RefuseExcess(item, false, WithinBytes, limit);
    if (code == EN_CHANGE || code == EN_KILLFOCUS) TakeText(page, control, false);
}

void OnNumberCommand(HWND page, int id, int code) {
    if (code == EN_UPDATE && id != IDC_PAT_AGE_TEXT)
        RefuseExcess(GetDlgItem(page, id), false, DecimalNumber, kMeasureEditLimit);
    if (code != EN_KILLFOCUS) return;
    if (id == IDC_PAT_AGE_TEXT)
        TakeAge(page);
    else
        TakeMeasure(page, id);
}

void OnCommand(HWND page, WPARAM wParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    for (const TextControl& control : kTextControls)
        if (control.id == id) OnTextCommand(page, control, code);
    for (const ValueList& list : kValueLists)
        if (list.id == id && code == CBN_SELCHANGE) TakeListValue(page, list);
    if (id == IDC_PAT_HEIGHT || id == IDC_PAT_WEIGHT || id == IDC_PAT_AGE_TEXT)
        OnNumberCommand(page, id, code);
    if (id == IDC_PAT_SAVE_ENABLE && code == BN_CLICKED) OnSaveEnable(page);
}

void OnInitDialog(HWND page) {
    FillLists(page);
    Refresh(page);
}

void OnDestroy(HWND page) {
    for (const TextControl& control : kTextControls)
        g_acceptedLengths.erase(GetDlgItem(page, control.id));
    g_acceptedLengths.erase(GetDlgItem(page, IDC_PAT_HEIGHT));
    g_acceptedLengths.erase(GetDlgItem(page, IDC_PAT_WEIGHT));
}

}  // namespace

INT_PTR CALLBACK PatientPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
        case WM_INITDIALOG: OnInitDialog(page); return TRUE;
        case WM_PAGE_SHOWN: Refresh(page); return TRUE;
        case WM_COMMAND: OnCommand(page, wParam); return TRUE;
        case WM_DESTROY: OnDestroy(page); return FALSE;
        default: return FALSE;
    }
}
