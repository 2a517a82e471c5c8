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
#include "ids/montage_ids.h"
#include "res/resource_ids.h"
#include "ui_text.h"

namespace {

// The status bar's parts, one per status kind; lengths at 96 DPI.
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
// The bitmap's face colour, shown as the button's own.
constexpr COLORREF kToolbarKeyColour = RGB(192, 192, 192);
constexpr int kTypeLabelWidth = 110;
constexpr int kTypeListWidth = 200;
constexpr int kTypeRowGap = 2;
constexpr int kTypeRowPadding = 8;
constexpr int kTypeRowTop = 4;
constexpr int kSeparatorWidth = 300;
// A Feldane style flag: the text sits at the left.
constexpr DWORD kFeldaneLeft = 0x0001;
constexpr int kLabelSize = 32;
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

HWND CreateFeldane(HWND parent, int id, const wchar_t* text, DWORD flags) {
    return CreateWindowW(L"" FELDANE_STATIC_CLASS, text, WS_CHILD | WS_VISIBLE | flags, 0, 0, 0, 0,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_instance,
                         nullptr);
}

// Adds a button's label from the string table; -1 when it has none.
INT_PTR AddButtonLabel(HWND toolbar, int labelId) {
    // A list of strings: this one, then the empty one that ends the list.
    wchar_t label[kLabelSize + 1] = {};
    const std::wstring text = LoadWideString(g_instance, labelId);
    if (text.empty() || text.size() >= kLabelSize) return -1;
    text.copy(label, text.size());
    return SendMessageW(toolbar, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(label));
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

// The 16-pixel images drawn at the window's DPI, pixel by pixel (nearest
// neighbour keeps the drawn edges sharp), in an image list the toolbar
// shares until the next DPI.
HIMAGELIST ToolbarImages(HWND window) {
    const int size = ScaleToWindow(window, kToolbarImageSize);
    HBITMAP source = static_cast<HBITMAP>(LoadImageW(g_instance, MAKEINTRESOURCEW(IDB_TOOLBAR),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (source == nullptr) return nullptr;
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HBITMAP scaled = CreateCompatibleBitmap(screen, size * kToolbarImageCount, size);
    HGDIOBJ oldFrom = SelectObject(from, source);
    HGDIOBJ oldTo = SelectObject(to, scaled);
    SetStretchBltMode(to, COLORONCOLOR);
    StretchBlt(to, 0, 0, size * kToolbarImageCount, size, from, 0, 0,
               kToolbarImageSize * kToolbarImageCount, kToolbarImageSize, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    DeleteObject(source);
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, kToolbarImageCount, 0);
    if (images != nullptr) ImageList_AddMasked(images, scaled, kToolbarKeyColour);
    DeleteObject(scaled);
    return images;
}

void SetToolbarImages(HWND window, HWND toolbar) {
    HIMAGELIST images = ToolbarImages(window);
    if (images == nullptr) return;
    HIMAGELIST old = reinterpret_cast<HIMAGELIST>(
        SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images)));
    if (old != nullptr) ImageList_Destroy(old);
    SendMessageW(toolbar, TB_SETBUTTONSIZE, 0,
                 MAKELPARAM(ScaleToWindow(window, kToolbarButtonWidth),
                            ScaleToWindow(window, kToolbarButtonHeight)));
    SetWindowPos(toolbar, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN) * 2,
                 ScaleToWindow(window, kToolbarHeight), SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CreateTypeList(HWND window, int id) {
    return CreateWindowW(L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 0,
                         0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         g_instance, nullptr);
}

void CreateSeparator(HWND window, int id) {
    CreateWindowW(L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ, 0, 0, 0, 1, window,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_instance, nullptr);
}

void Place(HWND control, int x, int y, int width, int height) {
    SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The type row under the toolbar at the window's DPI and font.
void PlaceTypeRow(HWND window, AppRecord* record) {
    RECT toolbarRect = {};
    GetWindowRect(static_cast<HWND>(record->ToolbarWindow), &toolbarRect);
    const int y = toolbarRect.bottom - toolbarRect.top + ScaleToWindow(window, kTypeRowTop);
    const int height = static_cast<int>(BramwickFont(BRAMWICK_FONT_HEIGHT, BRAMWICK_FONT_NORMAL)) +
                       ScaleToWindow(window, kTypeRowPadding);
    record->RowHeight = height;
    const int labelWidth = ScaleToWindow(window, kTypeLabelWidth);
    const int listWidth = ScaleToWindow(window, kTypeListWidth);
    const int gap = ScaleToWindow(window, kTypeRowGap);
    int x = 1;
    const int row[] = {IDC_ORIGINAL_TYPE_LABEL, IDC_ORIGINAL_TYPE, IDC_CREATE_TYPE_LABEL,
                       IDC_CREATE_TYPE};
    for (int i = 0; i < 4; ++i) {
        const bool isList = i % 2 == 1;
        const int width = isList ? listWidth : labelWidth;
        // A drop-down list's height includes its list: four rows of it.
        Place(Child(window, row[i]), x, y, width, isList ? 4 * height : height);
        x += width + gap;
    }
    Place(Child(window, IDC_ROW_LINE_ABOVE), 0, y - 2, kSeparatorWidth, 1);
    Place(Child(window, IDC_ROW_LINE_BELOW), 0, y + height + 2, kSeparatorWidth, 1);
}

void SetFrameFonts(HWND window) {
    const auto font = static_cast<WPARAM>(BramwickFont(BRAMWICK_FONT_HANDLE, BRAMWICK_FONT_NORMAL));
    const int ids[] = {IDC_ORIGINAL_TYPE_LABEL, IDC_ORIGINAL_TYPE, IDC_CREATE_TYPE_LABEL,
                       IDC_CREATE_TYPE, IDC_TAB_CONTROL};
    for (int id : ids) SendMessageW(Child(window, id), WM_SETFONT, font, TRUE);
}

// The grids and placeholders of the pages take the fonts made for the new DPI
// and lay their rows out again.
BOOL CALLBACK RefreshPageFont(HWND child, LPARAM) {
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    int number = -1;
    if (lstrcmpiW(name, L"" EEG_GRID_CLASS) == 0 || lstrcmpiW(name, L"" PSG_GRID_CLASS) == 0)
        number = BRAMWICK_FONT_FIXED;
    else if (lstrcmpiW(name, L"" FELDANE_STATIC_CLASS) == 0 && GetParent(child) != nullptr &&
             GetDlgCtrlID(GetParent(child)) == IDC_TAB_CONTROL)
        number =
            GetDlgCtrlID(child) == IDC_NO_SOURCE_PAGE ? BRAMWICK_FONT_TITLE : BRAMWICK_FONT_NORMAL;
    if (number < 0) return TRUE;
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(BramwickFont(BRAMWICK_FONT_HANDLE, number)),
                 TRUE);
    RECT client = {};
    GetClientRect(child, &client);
    SendMessageW(child, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    return TRUE;
}

void PlaceStatusParts(HWND window) {
    HWND bar = Child(window, IDC_STATUS_BAR);
    int edges[kStatusPartCount];
    for (int i = 0; i < kStatusPartCount; ++i)
        edges[i] = ScaleToWindow(window, kStatusPartEdges[i]);
    SendMessageW(bar, SB_SETPARTS, kStatusPartCount, reinterpret_cast<LPARAM>(edges));
    RECT client;
    GetClientRect(bar, &client);
    Place(Child(bar, IDC_MESSAGE_FIELD), ScaleToWindow(window, kMessageFieldLeft), 1,
          ScaleToWindow(window, kMessageFieldWidth), client.bottom - 3);
}

}  // namespace

void CreateStatusBar(HWND window) {
    HWND bar = CreateStatusWindowW(WS_CHILD | WS_VISIBLE, L"", window, IDC_STATUS_BAR);
    if (bar == nullptr) return;
    HWND field = CreateFeldane(bar, IDC_MESSAGE_FIELD, L"", kFeldaneLeft);
    SetFeldaneBackground(field, kFeldaneGrey);
    PlaceStatusParts(window);
}

void CreateMainToolbar(HWND window, AppRecord* record) {
    const DWORD style =
        WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | TBSTYLE_WRAPABLE | CCS_ADJUSTABLE | CCS_NORESIZE;
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", style, 0, 0, 0, 0, window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TOOLBAR)),
                                   g_instance, nullptr);
    if (toolbar == nullptr) return;
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // The images first: the buttons take their size from them.
    HIMAGELIST images = ToolbarImages(window);
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    TBBUTTON buttons[kButtonCount];
    for (int i = 0; i < kButtonCount; ++i) buttons[i] = MakeButton(toolbar, kButtons[i]);
    SendMessageW(toolbar, TB_ADDBUTTONSW, kButtonCount, reinterpret_cast<LPARAM>(buttons));
    SetToolbarImages(window, toolbar);
    record->ToolbarWindow = toolbar;
}

void CreateTypeRow(HWND window, AppRecord* record) {
    CreateFeldane(window, IDC_ORIGINAL_TYPE_LABEL, L"Original Type", 0);
    CreateTypeList(window, IDC_ORIGINAL_TYPE);
    CreateFeldane(window, IDC_CREATE_TYPE_LABEL, L"Create Type", 0);
    CreateTypeList(window, IDC_CREATE_TYPE);
    CreateSeparator(window, IDC_ROW_LINE_ABOVE);
    CreateSeparator(window, IDC_ROW_LINE_BELOW);
    SetFrameFonts(window);
    PlaceTypeRow(window, record);
    FillOriginalTypes(window, record);
    FillNameEntries(window, IDC_CREATE_TYPE, kCreateTypeEntries, kCreateTypeEntryCount);
    SelectEntry(window, IDC_CREATE_TYPE, record->CopyFileType);
}

void RefreshFrameFonts(HWND window) {
    {
        RecordLock app(AppRecordHandleOf(window));
        if (!app) return;
        SetToolbarImages(window, static_cast<HWND>(app->ToolbarWindow));
        SetFrameFonts(window);
        PlaceTypeRow(window, app.record);
    }
    // The grids lock the record themselves as they lay out.
    PlaceStatusParts(window);
    EnumChildWindows(window, RefreshPageFont, 0);
}

void FillOriginalTypes(HWND window, const AppRecord* record) {
    PresetEntry entries[kSourcePresetCount];
    int32_t selected = -1;
    const int32_t count = ListOriginalTypes(record, entries, &selected);
    HWND list = Child(window, IDC_ORIGINAL_TYPE);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (int32_t i = 0; i < count; ++i) {
        LRESULT at = SendListTextCp932(list, CB_ADDSTRING, 0, entries[i].label);
        SendMessageW(list, CB_SETITEMDATA, at, entries[i].number);
    }
    SendMessageW(list, CB_SETCURSEL, selected, 0);
}

void LayoutFrame(HWND window, AppRecord* record, int width, int height) {
    const LPARAM size = MAKELPARAM(width, height);
    HWND bar = Child(window, IDC_STATUS_BAR);
    HWND toolbar = static_cast<HWND>(record->ToolbarWindow);
    SendMessageW(bar, WM_SIZE, SIZE_RESTORED, size);
    SendMessageW(toolbar, WM_SIZE, SIZE_RESTORED, size);
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
            SendMessageW(bar, SB_SETTEXTW, kPartFirst,
                         reinterpret_cast<LPARAM>(WideFromCp932(text).c_str()));
            break;
        case kStatusMessage:
            SendMessageW(bar, SB_SETTEXTW, kPartMessage,
                         reinterpret_cast<LPARAM>(WideFromCp932(text).c_str()));
            SetWindowTextW(field, L"");
            SetFeldaneBackground(field, kFeldaneGrey);
            break;
        case kStatusError:
            SendMessageW(bar, SB_SETTEXTW, kPartError, reinterpret_cast<LPARAM>(L""));
            SetWindowTextCp932(field, text);
            SetFeldaneBackground(field, kFeldaneRed);
            MessageBeep(MB_OK);
            break;
        default: break;
    }
}

void ShowStatusString(HWND window, int kind, int stringId) {
    char text[kStatusStringSize] = {};
    LoadStringCp932(g_instance, stringId, text, sizeof text);
    ShowStatus(window, kind, text);
}

void UpdateCommandStates(HWND window) {
    RecordLock app(AppRecordHandleOf(window));
    if (!app) return;
    const CommandStates states = DescribeCommandStates(app.record);
    HWND toolbar = static_cast<HWND>(app->ToolbarWindow);
    SendMessageW(toolbar, TB_ENABLEBUTTON, IDM_OPEN, MAKELPARAM(states.openEnabled, 0));
    SendMessageW(toolbar, TB_ENABLEBUTTON, IDM_CLOSE, MAKELPARAM(states.closeEnabled, 0));
    SendMessageW(toolbar, TB_ENABLEBUTTON, IDM_CONVERT, MAKELPARAM(states.convertEnabled, 0));
    // The preview reads the source: while a source is open and no run reads it.
    SendMessageW(toolbar, TB_ENABLEBUTTON, IDM_PREVIEW, MAKELPARAM(states.closeEnabled, 0));
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
