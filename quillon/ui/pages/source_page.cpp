// The source data page: the head of the source and its layout. Every change
// goes straight into the application record.
#include <cstdio>
#include <string>

#include "bramwick.h"
#include "dialog_text.h"
#include "gdi_scope.h"
#include "main_window.h"
#include "page_dispatch.h"
#include "page_messages.h"
#include "page_procs.h"
#include "record_lock.h"
#include "res/resource_ids.h"
#include "source/head_lines.h"
#include "pages/source_page.h"
#include "preview/view_ids.h"
#include "source/source_reader.h"
#include "ui_text.h"

namespace {

constexpr int kListWidthPercent = 97;
constexpr int kNumberTextSize = 32;
constexpr int kLineOffsetOfData = 4;  // the data line checked lies 4 below the labels
constexpr int kFindingBytes = 256;
constexpr int kGutterTextSize = 16;
constexpr COLORREF kLabelLineTint = RGB(221, 235, 255);
constexpr COLORREF kDataStartTint = RGB(221, 245, 221);
constexpr COLORREF kGutterText = RGB(96, 96, 96);
constexpr COLORREF kFindingText = RGB(192, 0, 0);
// The marks beside a listed line, half-width katakana of code page 932.
const char kLabelMark[] = "\xD7\xCD\xDE\xD9";  // ﾗﾍﾞﾙ
const char kDataMark[] = "\xC3\xDE\xB0\xC0";   // ﾃﾞｰﾀ
const char kGutterSample[] = "000 \xD7\xCD\xDE\xD9 ";

bool g_findingsShown = false;  // the findings line holds findings, in red

// A numeric list whose entry index is the value it sets.
struct IndexList {
    int id;
    int last;
    int32_t AppRecord::*field;
};

const IndexList kIndexLists[] = {
    {IDC_SRC_LABEL_LINE, kLabelLineListMax, &AppRecord::ChStartLine},
    {IDC_SRC_DATA_START, kDataStartListMax, &AppRecord::DataStartLine},
    {IDC_SRC_DATA_BIAS, kDataBiasListMax, &AppRecord::DataLineBias},
};

struct TypedEdit {
    int id;
    int field;  // SourceTypedField
};

const TypedEdit kTypedEdits[] = {
    {IDC_SRC_TIME_RES, kTypedTimeResolution},
    {IDC_SRC_YEAR, kTypedYear},
    {IDC_SRC_MONTH, kTypedMonth},
    {IDC_SRC_DAY, kTypedDay},
    {IDC_SRC_HOUR, kTypedHour},
    {IDC_SRC_MINUTE, kTypedMinute},
    {IDC_SRC_SECOND, kTypedSecond},
};

HGLOBAL Record() { return AppRecordHandleOf(g_mainWindow); }

void FillLists(HWND page) {
    for (const IndexList& list : kIndexLists) FillNumberEntries(page, list.id, 0, list.last, "%3i");
    FillNumberEntries(page, IDC_SRC_CHANNEL_COUNT, 0, kChannelCountListMax, "%3i");
    FillListEntries(page, IDC_SRC_DELIMITER, kDelimiterEntries, kDelimiterEntryCount);
    FillListEntries(page, IDC_SRC_NOTCH, kNotchEntries, kNotchEntryCount);
    FillListEntries(page, IDC_SRC_SAMPLE_RATE, kSampleRateEntries, kSampleRateEntryCount);
    FillListEntries(page, IDC_SRC_DATA_MAG, kMagnificationEntries, kMagnificationEntryCount);
    SetItemFont(page, IDC_SRC_PRESET_NAME, BRAMWICK_FONT_CAPTION);
    // The rate's own edit takes digits only, as the page's other number fields.
    HWND rateEdit = FindWindowExW(GetDlgItem(page, IDC_SRC_SAMPLE_RATE), nullptr, L"Edit", nullptr);
    if (rateEdit != nullptr)
        SetWindowLongPtrW(rateEdit, GWL_STYLE, GetWindowLongPtrW(rateEdit, GWL_STYLE) | ES_NUMBER);
}

void ListHeadLines(HWND page, AppRecord* record) {
    HWND list = GetDlgItem(page, IDC_SRC_HEADER_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    record->HeaderLines = 0;
    // The lines as the conversion runs find them, so a listed line number is
    // the line they convert.
    static char line[kLineByteLimit + 1];
    while (record->SourceText != nullptr && record->HeaderLines < kHeadListLines &&
           HeadListLine(record->SourceText, record->SourceTextLength, record->HeaderLines, line) >=
               0) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
        ++record->HeaderLines;
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

// A listed line, its TABs kept in the tab mode, where they end fields; a
// line that does not exist reads as an empty line.
void ReadHeadLine(const AppRecord* record, int index, char* out) {
    HeadLabelLine(record->SourceText, record->SourceTextLength, index, record->DelimitChar, out);
}

void ShowSampleRate(HWND page, const AppRecord* record) {
    const int32_t index =
        FindListEntry(kSampleRateEntries, kSampleRateEntryCount, record->SampleRate);
    SelectEntry(page, IDC_SRC_SAMPLE_RATE, index);
    if (index >= 0) return;
    char text[kNumberTextSize];
    std::snprintf(text, sizeof text, " %i ", static_cast<int>(record->SampleRate));
    SetDlgItemTextA(page, IDC_SRC_SAMPLE_RATE, text);
}

void ShowCalibration(HWND page, const AppRecord* record) {
    SelectEntry(page, IDC_SRC_DATA_MAG,
                FindListEntry(kMagnificationEntries, kMagnificationEntryCount, record->OrgDataMag));
    EnableWindow(GetDlgItem(page, IDC_SRC_DATA_MAG), record->OrgCalDataType != kAdValues);
    CheckRadioButton(page, IDC_SRC_AD_DATA, IDC_SRC_CALIBRATED,
                     IDC_SRC_AD_DATA + record->OrgCalDataType);
}

void ShowTypedValues(HWND page, const AppRecord* record) {
    CheckDlgButton(page, IDC_SRC_TIME_RES_SWITCH,
                   record->OrgTimeResSw ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(page, IDC_SRC_TIME_RES), record->OrgTimeResSw != 0);
    for (const TypedEdit& edit : kTypedEdits) {
        char text[kNumberTextSize];
        FormatSourceValue(record, edit.field, text, sizeof text);
        SetDlgItemTextA(page, edit.id, text);
    }
}

void ShowSelections(HWND page, const AppRecord* record) {
    SendDlgItemMessageA(page, IDC_SRC_HEADER_LIST, LB_SETCURSEL, record->SelectedLine, 0);
    for (const IndexList& list : kIndexLists) SelectEntry(page, list.id, record->*list.field);
    SelectEntry(page, IDC_SRC_CHANNEL_COUNT, record->ChannelCount);
    SelectEntry(page, IDC_SRC_DELIMITER, record->DelimitChar);
    SelectEntry(page, IDC_SRC_NOTCH, record->NotchFreq);
}

void RefreshControls(HWND page);

// The layout check's findings under the head list, in Japanese; the button
// that applies its suggestion only while there is one.
void ShowFindings(HWND page) {
    LayoutCheck check;
    int32_t findings = -1;
    {
        RecordLock app(Record());
        if (app) findings = CheckSourceLayout(app.record, &check);
    }
    std::string text;
    char line[kFindingBytes] = "";
    if (findings == 0) LoadStringCp932(g_instance, IDS_LAYOUT_LOOKS_RIGHT, line, sizeof line);
    text = line;
    for (int32_t i = 0; i < findings; ++i) {
        char pattern[kFindingBytes];
        LoadStringCp932(g_instance, IDS_LAYOUT_FINDING + check.findings[i].code, pattern,
                        sizeof pattern);
        FormatLayoutFinding(pattern, &check.findings[i], line, sizeof line);
        text += (i > 0 ? "\r\n" : "") + std::string(line);
    }
    g_findingsShown = findings > 0;
    SetItemTextCp932(page, IDC_SRC_FINDINGS, text.c_str());
    EnableWindow(GetDlgItem(page, IDC_SRC_APPLY_LAYOUT), findings > 0);
}

void Refresh(HWND page) {
    RefreshControls(page);
    ShowFindings(page);
    NotifyRecordChanged();
}

void OnApplyLayout(HWND page) {
    {
        RecordLock app(Record());
        LayoutCheck check;
        if (!app || CheckSourceLayout(app.record, &check) <= 0) return;
        ApplySuggestedLayout(app.record, &check.suggested);
    }
    Refresh(page);
}

void RefreshControls(HWND page) {
    RecordLock app(Record());
    if (!app) return;
    const int preset = app->OrgFileType;
    const bool named = preset >= 1 && preset <= kSourcePresetCount;
    SetDlgItemTextA(page, IDC_SRC_PRESET_NAME,
                    named ? app->SourcePreset[preset - 1].Label : "No Select");
    SetDlgItemTextA(page, IDC_SRC_FILE_NAME, app->OrgFile);
    ListHeadLines(page, app.record);
    ShowSelections(page, app.record);
    ShowSampleRate(page, app.record);
    ShowCalibration(page, app.record);
    ShowTypedValues(page, app.record);
    if (app->RecheckChannels != 0) {
        char line[kLineByteLimit + 1];
        ReadHeadLine(app.record, app->ChStartLine + kLineOffsetOfData, line);
        CheckDataColumns(page, app.record, line);
        app->RecheckChannels = 0;
    }
}

void OnSetLabelLine(HWND page) {
    RecordLock app(Record());
    if (!app) return;
    app->ChStartLine = app->SelectedLine;
    SelectEntry(page, IDC_SRC_LABEL_LINE, app->ChStartLine);
    char line[kLineByteLimit + 1];
    ReadHeadLine(app.record, app->ChStartLine, line);
    SetChannelLabels(app.record, line);
    SelectEntry(page, IDC_SRC_CHANNEL_COUNT, app->ChannelCount);
    ReadHeadLine(app.record, app->ChStartLine + kLineOffsetOfData, line);
    CheckDataColumns(page, app.record, line);
}

void OnSetDataStart(HWND page) {
    RecordLock app(Record());
    if (!app) return;
    app->DataStartLine = app->SelectedLine;
    SelectEntry(page, IDC_SRC_DATA_START, app->DataStartLine);
}

void OnSelectionChange(HWND page, int id) {
    RecordLock app(Record());
    if (!app) return;
    if (id == IDC_SRC_HEADER_LIST) {
        const LRESULT line = SendDlgItemMessageA(page, id, LB_GETCURSEL, 0, 0);
        if (line != LB_ERR) app->SelectedLine = static_cast<int32_t>(line);
        return;
    }
    const int index = SelectedEntry(page, id);
    if (index == CB_ERR) return;
    for (const IndexList& list : kIndexLists)
        if (list.id == id) app.record->*list.field = index;
    switch (id) {
        case IDC_SRC_DELIMITER: app->DelimitChar = static_cast<uint16_t>(index); break;
        case IDC_SRC_NOTCH: app->NotchFreq = index; break;
        case IDC_SRC_CHANNEL_COUNT: SelectChannelCount(app.record, index); break;
        case IDC_SRC_SAMPLE_RATE: app->SampleRate = kSampleRateEntries[index].value; break;
        case IDC_SRC_DATA_MAG: app->OrgDataMag = kMagnificationEntries[index].value; break;
        default: break;
    }
}

void OnSampleRateTyped(HWND page) {
    char text[kNumberTextSize];
    ReadItemText(page, IDC_SRC_SAMPLE_RATE, text, sizeof text);
    int32_t outcome = kRateRefused;
    {
        RecordLock app(Record());
        if (!app) return;
        outcome = TakeTypedSampleRate(app.record, text);
    }
    if (outcome == kRateRefusedWithBeep) MessageBeep(MB_OK);
    Refresh(page);
}

void OnValueTyped(HWND page, int id) {
    for (const TypedEdit& edit : kTypedEdits) {
        if (edit.id != id) continue;
        char text[kNumberTextSize];
        ReadItemText(page, id, text, sizeof text);
        RecordLock app(Record());
        if (!app) return;
        TakeTypedSourceValue(app.record, edit.field, text);
        FormatSourceValue(app.record, edit.field, text, sizeof text);
        SetDlgItemTextA(page, id, text);
    }
}

void OnCalibration(HWND page, uint16_t type) {
    RecordLock app(Record());
    if (!app) return;
    app->OrgCalDataType = type;
    EnableWindow(GetDlgItem(page, IDC_SRC_DATA_MAG), type != kAdValues);
}

void OnTimeResolutionSwitch(HWND page) {
    {
        RecordLock app(Record());
        if (!app) return;
        app->OrgTimeResSw = IsDlgButtonChecked(page, IDC_SRC_TIME_RES_SWITCH) == BST_CHECKED;
    }
    Refresh(page);
}

void OnClick(HWND page, int id) {
    switch (id) {
        case IDC_SRC_SET_LABEL_LINE: OnSetLabelLine(page); break;
        case IDC_SRC_SET_DATA_START: OnSetDataStart(page); break;
        case IDC_SRC_AD_DATA: OnCalibration(page, kAdValues); break;
        case IDC_SRC_CALIBRATED: OnCalibration(page, kCalibratedValues); break;
        case IDC_SRC_TIME_RES_SWITCH: OnTimeResolutionSwitch(page); break;
        case IDC_SRC_APPLY_LAYOUT: OnApplyLayout(page); break;
        default: break;
    }
}

void OnCommand(HWND page, WPARAM wParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == IDC_SRC_SAMPLE_RATE && code == CBN_KILLFOCUS)
        OnSampleRateTyped(page);
    else if (code == CBN_SELCHANGE)
        OnSelectionChange(page, id);  // LBN_SELCHANGE is the same code
    else if (code == EN_KILLFOCUS)
        OnValueTyped(page, id);
    else if (code == BN_CLICKED)
        OnClick(page, id);
    // Only what ends a choice or an entry can change the layout.
    const bool taken = code == CBN_SELCHANGE || code == EN_KILLFOCUS || code == CBN_KILLFOCUS ||
                       code == BN_CLICKED;
    if (!taken) return;
    // The marks beside the head lines follow the label and data start lines.
    InvalidateRect(GetDlgItem(page, IDC_SRC_HEADER_LIST), nullptr, FALSE);
    if (id != IDC_SRC_APPLY_LAYOUT) ShowFindings(page);
    NotifyRecordChanged();
}

void OnSize(HWND page, LPARAM lParam) {
    HWND list = GetDlgItem(page, IDC_SRC_HEADER_LIST);
    RECT rect;
    GetWindowRect(list, &rect);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(list, nullptr, 0, 0, LOWORD(lParam) * kListWidthPercent / 100,
                 rect.bottom - rect.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A listed line: its number from 1, the label line and first data line
// marked, then the line as the list holds it.
void DrawHeadLine(const DRAWITEMSTRUCT* item) {
    int32_t marks = kHeadLinePlain;
    {
        RecordLock app(Record());
        if (app) marks = HeadLineMarks(app.record, static_cast<int32_t>(item->itemID));
    }
    HDC dc = item->hDC;
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    const COLORREF back = selected                       ? GetSysColor(COLOR_HIGHLIGHT)
                          : (marks & kHeadLineLabels)    ? kLabelLineTint
                          : (marks & kHeadLineDataStart) ? kDataStartTint
                                                         : GetSysColor(COLOR_WINDOW);
    GdiObjectScope brush(CreateSolidBrush(back));
    FillRect(dc, &item->rcItem, static_cast<HBRUSH>(brush.object));
    SetBkMode(dc, TRANSPARENT);
    const std::wstring sample = WideFromCp932(kGutterSample);
    SIZE gutter = {};
    GetTextExtentPoint32W(dc, sample.c_str(), static_cast<int>(sample.size()), &gutter);
    char number[kGutterTextSize];
    std::snprintf(number, sizeof number, "%3u %s", item->itemID + 1,
                  (marks & kHeadLineLabels)      ? kLabelMark
                  : (marks & kHeadLineDataStart) ? kDataMark
                                                 : "");
    const std::wstring left = WideFromCp932(number);
    SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : kGutterText);
    const int x = item->rcItem.left + 2;
    TextOutW(dc, x, item->rcItem.top, left.c_str(), static_cast<int>(left.size()));
    const LRESULT length = SendMessageW(item->hwndItem, LB_GETTEXTLEN, item->itemID, 0);
    if (length > 0 && length < kLineByteLimit + 1) {
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(item->hwndItem, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(&text[0]));
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        TextOutW(dc, x + gutter.cx, item->rcItem.top, text.c_str(), static_cast<int>(length));
    }
    if (item->itemState & ODS_FOCUS) DrawFocusRect(dc, &item->rcItem);
}

INT_PTR OnDrawItem(LPARAM lParam) {
    const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->CtlID != IDC_SRC_HEADER_LIST) return FALSE;
    if (item->itemID != static_cast<UINT>(-1)) DrawHeadLine(item);
    return TRUE;
}

// One line of the page's font a list entry.
INT_PTR OnMeasureItem(HWND page, LPARAM lParam) {
    MEASUREITEMSTRUCT* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (item->CtlID != IDC_SRC_HEADER_LIST) return FALSE;
    WindowDcScope screen(page);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(page, WM_GETFONT, 0, 0));
    SelectScope use(screen.dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(screen.dc, &metrics);
    item->itemHeight = static_cast<UINT>(metrics.tmHeight + 1);
    return TRUE;
}

INT_PTR OnColourStatic(HWND page, WPARAM dc, LPARAM control) {
    if (reinterpret_cast<HWND>(control) != GetDlgItem(page, IDC_SRC_FINDINGS)) return FALSE;
    SetTextColor(reinterpret_cast<HDC>(dc),
                 g_findingsShown ? kFindingText : GetSysColor(COLOR_WINDOWTEXT));
    SetBkMode(reinterpret_cast<HDC>(dc), TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace

INT_PTR CALLBACK SourcePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: FillLists(page); return TRUE;
        case WM_PAGE_SHOWN: Refresh(page); return TRUE;
        case WM_SIZE: OnSize(page, lParam); return TRUE;
        case WM_COMMAND: OnCommand(page, wParam); return TRUE;
        case WM_DRAWITEM: return OnDrawItem(lParam);
        case WM_MEASUREITEM: return OnMeasureItem(page, lParam);
        case WM_CTLCOLORSTATIC: return OnColourStatic(page, wParam, lParam);
        default: return FALSE;
    }
}
