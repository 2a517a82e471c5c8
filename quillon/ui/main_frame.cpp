// The frame around the pages: status bar with its message field, toolbar
// with tooltips, and the row of the two type lists.
#include "dialog_text.h"
#include "feldane.h"
#include "main_window.h"
#include "pages/main_window_states.h"
#include "bramwick.h"
#include "page_dispatch.h"
#include "preview/view_ids.h"
#include "record_lock.h"
#include "res/resource_ids.h"

namespace {

// The status bar's parts, one per status kind.
enum StatusBarPart { kPartFirst = 0, kPartMessage = 1, kPartError = 2, kStatusPartCount = 3 };
constexpr int kStatusPartEdges[kStatusPartCount] = {80, 400, 0};
constexpr int kMessageFieldLeft = 402;
constexpr int kMessageFieldWidth = 350;
constexpr int kToolbarHeight = 42;
constexpr int kToolbarImageCount = 10;
// Wide enough for the longest label in the Japanese font.
constexpr int kToolbarButtonWidth = 40;
constexpr int kToolbarButtonHeight = 36;
constexpr int kToolbarImageSize = 16;
constexpr int kTypeLabelWidth = 110;
constexpr int kTypeListWidth = 200;
constexpr int kSeparatorWidth = 300;
// A Feldane style flag: the text sits at the left.
constexpr DWORD kFeldaneLeft = 0x0001;
constexpr int kStatusStringSize = 128;

struct ToolButton {
    int command;
    int image;
    int labelId;
    int tipId;
};

const ToolButton kButtons[] = {
    {0, 0, 0, 0},
    {IDM_OPEN, 3, IDS_LABEL_OPEN, IDS_TIP_OPEN},
    {IDM_CLOSE, 4, IDS_LABEL_CLOSE, IDS_TIP_CLOSE},
    {0, 0, 0, 0},
    {IDM_CONVERT, 5, IDS_LABEL_CONVERT, IDS_TIP_CONVERT},
    {IDM_PREVIEW, 6, IDS_LABEL_PREVIEW, IDS_TIP_PREVIEW},
    {0, 0, 0, 0},
    {IDM_HELP, 0, IDS_LABEL_HELP, IDS_TIP_HELP},
    {0, 0, 0, 0},
    {IDM_EXIT, 1, IDS_LABEL_EXIT, IDS_TIP_EXIT},
    {0, 0, 0, 0},
};
constexpr int kButtonCount = sizeof kButtons / sizeof kButtons[0];

HWND Child(HWND window, int id) { return GetDlgItem(window, id); }

// The string id of a button's tooltip, 0 for none.
int ToolTipString(UINT_PTR command) {
    for (const ToolButton& b : kButtons)
        if (b.command != 0 && static_cast<UINT_PTR>(b.command) == command) return b.tipId;
    return 0;
}

HWND CreateFeldane(HWND parent, int id, const char* text, DWORD flags, int x, int y, int w, int h) {
    return CreateWindowA(FELDANE_STATIC_CLASS, text, WS_CHILD | WS_VISIBLE | flags, x, y, w, h,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_instance,
                         nullptr);
}

// Adds a button's label from the string table; -1 when it has none.
INT_PTR AddButtonLabel(HWND toolbar, int labelId) {
    char label[32] = {};
    if (LoadStringA(g_instance, labelId, label, sizeof label - 1) <= 0) return -1;
    return SendMessageA(toolbar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(label));
}

TBBUTTON MakeButton(HWND toolbar, const ToolButton& b) {
    TBBUTTON button = {};
    button.fsState = TBSTATE_ENABLED;
    if (b.command == 0) {
        button.fsStyle = TBSTYLE_SEP;
        return button;
    }
    button.iBitmap = b.image;
    button.idCommand = b.command;
    button.fsStyle = TBSTYLE_BUTTON;
    button.iString = AddButtonLabel(toolbar, b.labelId);
    return button;
}

HWND CreateTypeList(HWND window, int id, int x, int y, int height, HFONT font) {
    HWND list = CreateWindowA(
        "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, x, y, kTypeListWidth,
        4 * height, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_instance, nullptr);
    SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return list;
}

void CreateSeparator(HWND window, int id, int y) {
    CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ, 0, y, kSeparatorWidth, 1,
                  window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_instance, nullptr);
}

}  // namespace

void CreateStatusBar(HWND window) {
    HWND bar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "", window, IDC_STATUS_BAR);
    if (bar == nullptr) return;
    SendMessageA(bar, SB_SETPARTS, kStatusPartCount, reinterpret_cast<LPARAM>(kStatusPartEdges));
    RECT client;
    GetClientRect(bar, &client);
    HWND field = CreateFeldane(bar, IDC_MESSAGE_FIELD, "", kFeldaneLeft, kMessageFieldLeft, 1,
                               kMessageFieldWidth, client.bottom - 3);
    SetFeldaneBackground(field, kFeldaneGrey);
}

void CreateMainToolbar(HWND window, AppRecord* record) {
    const DWORD style =
        WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | TBSTYLE_WRAPABLE | CCS_ADJUSTABLE | CCS_NORESIZE;
    HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", style, 0, 0, 0, 0, window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TOOLBAR)),
                                   g_instance, nullptr);
    if (toolbar == nullptr) return;
    // Sizes first: the images are cut from the bitmap by the size set then.
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(kToolbarImageSize, kToolbarImageSize));
    TBADDBITMAP bitmap = {g_instance, IDB_TOOLBAR};
    SendMessageA(toolbar, TB_ADDBITMAP, kToolbarImageCount, reinterpret_cast<LPARAM>(&bitmap));
    TBBUTTON buttons[kButtonCount];
    for (int i = 0; i < kButtonCount; ++i) buttons[i] = MakeButton(toolbar, kButtons[i]);
    SendMessageA(toolbar, TB_ADDBUTTONSA, kButtonCount, reinterpret_cast<LPARAM>(buttons));
    SendMessageA(toolbar, TB_SETBUTTONSIZE, 0,
                 MAKELPARAM(kToolbarButtonWidth, kToolbarButtonHeight));
    SetWindowPos(toolbar, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), kToolbarHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    record->ToolbarWindow = toolbar;
}

void CreateTypeRow(HWND window, AppRecord* record) {
    RECT toolbarRect = {};
    GetWindowRect(static_cast<HWND>(record->ToolbarWindow), &toolbarRect);
    const int y = toolbarRect.bottom - toolbarRect.top + 4;
    HFONT font = reinterpret_cast<HFONT>(BramwickFont(BRAMWICK_FONT_HANDLE, BRAMWICK_FONT_NORMAL));
    const int height =
        static_cast<int>(BramwickFont(BRAMWICK_FONT_HEIGHT, BRAMWICK_FONT_NORMAL)) + 8;
    record->RowHeight = height;
    HWND label = CreateFeldane(window, IDC_ORIGINAL_TYPE_LABEL, "Original Type", 0, 1, y,
                               kTypeLabelWidth, height);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    CreateTypeList(window, IDC_ORIGINAL_TYPE, 112, y, height, font);
    FillOriginalTypes(window, record);
    CreateSeparator(window, IDC_ROW_LINE_ABOVE, y - 2);
    CreateSeparator(window, IDC_ROW_LINE_BELOW, y + height + 2);
    label = CreateFeldane(window, IDC_CREATE_TYPE_LABEL, "Create Type", 0, 314, y, kTypeLabelWidth,
                          height);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    CreateTypeList(window, IDC_CREATE_TYPE, 426, y, height, font);
    FillNameEntries(window, IDC_CREATE_TYPE, kCreateTypeEntries, kCreateTypeEntryCount);
    SelectEntry(window, IDC_CREATE_TYPE, record->CopyFileType);
}

void FillOriginalTypes(HWND window, const AppRecord* record) {
    PresetEntry entries[kSourcePresetCount];
    int32_t selected = -1;
    const int32_t count = ListOriginalTypes(record, entries, &selected);
    HWND list = Child(window, IDC_ORIGINAL_TYPE);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (int32_t i = 0; i < count; ++i) {
        LRESULT at =
            SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entries[i].label));
        SendMessageA(list, CB_SETITEMDATA, at, entries[i].number);
    }
    SendMessageA(list, CB_SETCURSEL, selected, 0);
}

void LayoutFrame(HWND window, AppRecord* record, int width, int height) {
    const LPARAM size = MAKELPARAM(width, height);
    HWND bar = Child(window, IDC_STATUS_BAR);
    HWND toolbar = static_cast<HWND>(record->ToolbarWindow);
    SendMessageA(bar, WM_SIZE, SIZE_RESTORED, size);
    SendMessageA(toolbar, WM_SIZE, SIZE_RESTORED, size);
    const int separators[] = {IDC_ROW_LINE_ABOVE, IDC_ROW_LINE_BELOW};
    for (int id : separators)
        SetWindowPos(Child(window, id), nullptr, 0, 0, width - 2, 1,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT rect = {};
    GetClientRect(toolbar, &rect);
    record->ToolbarHeight = rect.bottom;
    GetWindowRect(bar, &rect);
    const int barHeight = rect.bottom - rect.top;
    const int top = record->RowHeight + record->ToolbarHeight + 10;
    SetWindowPos(static_cast<HWND>(record->TabControl), nullptr, 1, top, width - 2,
                 height - record->RowHeight - barHeight - record->ToolbarHeight - 10,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowStatus(HWND window, int kind, const char* text) {
    HWND bar = Child(window, IDC_STATUS_BAR);
    HWND field = Child(bar, IDC_MESSAGE_FIELD);
    switch (kind) {
        case kStatusPart0:
            SendMessageA(bar, SB_SETTEXTA, kPartFirst, reinterpret_cast<LPARAM>(text));
            break;
        case kStatusMessage:
            SendMessageA(bar, SB_SETTEXTA, kPartMessage, reinterpret_cast<LPARAM>(text));
            SetWindowTextA(field, "");
            SetFeldaneBackground(field, kFeldaneGrey);
            break;
        case kStatusError:
            SendMessageA(bar, SB_SETTEXTA, kPartError, reinterpret_cast<LPARAM>(""));
            SetWindowTextA(field, text);
            SetFeldaneBackground(field, kFeldaneRed);
            MessageBeep(MB_OK);
            break;
        default: break;
    }
}

void ShowStatusString(HWND window, int kind, int stringId) {
    char text[kStatusStringSize] = {};
    LoadStringA(g_instance, stringId, text, sizeof text);
    ShowStatus(window, kind, text);
}

void UpdateCommandStates(HWND window) {
    RecordLock app(AppRecordHandleOf(window));
    if (!app) return;
    const CommandStates states = DescribeCommandStates(app.record);
    HWND toolbar = static_cast<HWND>(app->ToolbarWindow);
    SendMessageA(toolbar, TB_ENABLEBUTTON, IDM_OPEN, MAKELPARAM(states.openEnabled, 0));
    SendMessageA(toolbar, TB_ENABLEBUTTON, IDM_CLOSE, MAKELPARAM(states.closeEnabled, 0));
    SendMessageA(toolbar, TB_ENABLEBUTTON, IDM_CONVERT, MAKELPARAM(states.convertEnabled, 0));
    // The preview reads the source: while a source is open and no run reads it.
    SendMessageA(toolbar, TB_ENABLEBUTTON, IDM_PREVIEW, MAKELPARAM(states.closeEnabled, 0));
    EnableMenuItem(GetMenu(window), IDM_PREVIEW, states.closeEnabled ? MF_ENABLED : MF_GRAYED);
    NotifyRecordChanged();
    EnableWindow(Child(window, IDC_CREATE_TYPE), states.createTypeEnabled);
    EnableWindow(Child(window, IDC_ORIGINAL_TYPE), states.originalTypeEnabled);
}

void AnswerToolTip(LPARAM lParam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    const int tip = ToolTipString(header->idFrom);
    if (tip == 0) return;
    if (header->code == TTN_GETDISPINFOW) {
        NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        info->hinst = g_instance;
        info->lpszText = MAKEINTRESOURCEW(tip);
        return;
    }
    NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
    info->hinst = g_instance;
    info->lpszText = MAKEINTRESOURCEA(tip);
}
