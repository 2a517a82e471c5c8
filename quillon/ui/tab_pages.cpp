// The tab control, its pages (hidden modeless dialogs and placeholders) and
// which page each tab shows.
#include "bramwick.h"
#include "feldane.h"
#include "main_window.h"
#include "pages/main_window_states.h"
#include "page_messages.h"
#include "pages/convert_pages.h"
#include "pages/montage_pages.h"
#include "pages/page_procs.h"
#include "record_lock.h"
#include "ids/convert_ids.h"
#include "res/resource_ids.h"
#include "ui_text.h"

namespace {

// What the montage and convert pages need of the main window; filled once
// before the pages are made, and alive as long as the program.
MontagePageContext g_montageContext;
ConvertPageContext g_convertContext;

// The dialog, procedure and creation parameter of each tab's page per
// output kind. The pages of the first EEG kind serve the second as well.
struct PageEntry {
    int tab;
    int type;
    const wchar_t* dialog;
    DLGPROC proc;
    const void* context;
};

const PageEntry kPageEntries[] = {
    {kPatientTab, kOutputPsg, L"PATIENT1SETUP", PatientPageProc, nullptr},
    {kPatientTab, kOutputEegFiling32, L"PATIENT2SETUP", PatientPageProc, nullptr},
    {kMontageTab, kOutputPsg, L"PSGMONTAGESETUP", PsgMontagePageProc, &g_montageContext},
    {kMontageTab, kOutputEegFiling32, L"EEGMONTAGESETUP", EegMontagePageProc, &g_montageContext},
    {kConvertTab, kOutputPsg, L"PSGCONVERTINFO", PsgConvertPageProc, &g_convertContext},
    {kConvertTab, kOutputEegFiling32, L"EEGCONVERTINFO", EegConvertPageProc, &g_convertContext},
};

struct Placeholder {
    int tab;
    int id;
    const wchar_t* text;
};

const Placeholder kPlaceholders[] = {
    {kPatientTab, IDC_NO_PATIENT_PAGE, L"No Patient Info"},
    {kMontageTab, IDC_NO_MONTAGE_PAGE, L"No Montage Info"},
    {kConvertTab, IDC_NO_CONVERT_PAGE, L"No Convert Info"},
};

const int kTabTitles[kTabCount] = {IDS_TAB_SOURCE, IDS_TAB_PATIENT, IDS_TAB_MONTAGE,
                                   IDS_CONVERT_INFO};

WindowHandle* PageTable(AppRecord* record, int tab) {
    switch (tab) {
        case kPatientTab: return record->PatientPages;
        case kMontageTab: return record->MontagePages;
        case kConvertTab: return record->ConvertPages;
        default: return nullptr;
    }
}

HWND CreatePlaceholder(HWND tabs, int id, const wchar_t* text, int fontNumber) {
    HWND page =
        CreateWindowW(L"" FELDANE_STATIC_CLASS, text, WS_CHILD, 0, 0, 10, 10, tabs,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_instance, nullptr);
    auto font = static_cast<WPARAM>(BramwickFont(BRAMWICK_FONT_HANDLE, fontNumber));
    if (page != nullptr) SendMessageA(page, WM_SETFONT, font, FALSE);
    return page;
}

// Pages are Unicode windows so that their edits take double-byte characters
// typed through an input method whole on every system; the program still
// reads and writes their texts in code page 932.
HWND CreatePage(HWND tabs, const wchar_t* dialog, DLGPROC proc, const void* context = nullptr) {
    return CreateDialogParamW(g_instance, dialog, tabs, proc, reinterpret_cast<LPARAM>(context));
}

// A run holds the type lists and the source commands still.
void OnRunChanged(HWND window, bool) { UpdateCommandStates(window); }

void ShowConvertTab(HWND window) {
    ShowTabPage(window, GetDlgItem(window, IDC_TAB_CONTROL), kConvertTab);
}

void FillPageContexts(HWND window, const AppRecord* record) {
    const auto block = static_cast<HGLOBAL>(record->SelfHandle);
    const auto gridFont =
        reinterpret_cast<HFONT>(BramwickFont(BRAMWICK_FONT_HANDLE, BRAMWICK_FONT_FIXED));
    const auto gridFontHeight =
        static_cast<int>(BramwickFont(BRAMWICK_FONT_HEIGHT, BRAMWICK_FONT_FIXED));
    const auto counterFont =
        reinterpret_cast<HFONT>(BramwickFont(BRAMWICK_FONT_HANDLE, BRAMWICK_FONT_CAPTION));
    g_montageContext = {block, window, g_paths.SettingsPath, gridFont, gridFontHeight, ShowStatus};
    g_convertContext = {block,          window, g_paths.SettingsPath, OnRunChanged,
                        ShowConvertTab, 0,      counterFont};
}

void InsertTabs(HWND tabs) {
    for (int tab = 0; tab < kTabCount; ++tab) {
        std::wstring title = LoadWideString(g_instance, kTabTitles[tab]);
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = &title[0];
        SendMessageW(tabs, TCM_INSERTITEMW, tab, reinterpret_cast<LPARAM>(&item));
    }
}

void CreateTypedPages(HWND tabs, AppRecord* record) {
    for (const Placeholder& p : kPlaceholders)
        PageTable(record, p.tab)[kOutputNone] =
            CreatePlaceholder(tabs, p.id, p.text, BRAMWICK_FONT_NORMAL);
    for (const PageEntry& entry : kPageEntries) {
        WindowHandle* table = PageTable(record, entry.tab);
        table[entry.type] = CreatePage(tabs, entry.dialog, entry.proc, entry.context);
        if (entry.type == kOutputEegFiling32) table[kOutputEegFiling24] = table[kOutputEegFiling32];
    }
}

// The page area inside the tab control.
RECT PageRect(HWND tabs) {
    RECT client = {};
    RECT first = {};
    GetClientRect(tabs, &client);
    SendMessageA(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    return {1, first.bottom + 1, client.right - 1, client.bottom - 3};
}

void PlacePage(HWND page, const RECT& rect) {
    if (page == nullptr) return;
    SetWindowPos(page, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void CreateTabPages(HWND window, AppRecord* record) {
    HWND tabs = CreateWindowW(
        WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN, 0, 0, 100, 100,
        window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TAB_CONTROL)), g_instance,
        nullptr);
    if (tabs == nullptr) return;
    record->TabControl = tabs;
    SendMessageA(tabs, WM_SETFONT,
                 static_cast<WPARAM>(BramwickFont(BRAMWICK_FONT_HANDLE, BRAMWICK_FONT_NORMAL)),
                 FALSE);
    InsertTabs(tabs);
    FillPageContexts(window, record);
    record->NoSourcePage = CreatePlaceholder(tabs, IDC_NO_SOURCE_PAGE, L"Please Open Source File",
                                             BRAMWICK_FONT_TITLE);
    record->TabPages[kSourceTab] = CreatePage(tabs, L"SOURCEDATA", SourcePageProc);
    CreateTypedPages(tabs, record);
    for (int tab = kPatientTab; tab < kTabCount; ++tab)
        record->TabPages[tab] = PageTable(record, tab)[PageTypeIndex(record->CopyFileType)];
    record->TabCount = kTabCount;
}

void ShowTabPage(HWND window, HWND tabs, int tab) {
    HWND page = nullptr;
    {
        RecordLock app(AppRecordHandleOf(window));
        if (!app || tab < 0 || tab >= kTabCount) return;
        if (app->ShownPage != nullptr) ShowWindow(static_cast<HWND>(app->ShownPage), SW_HIDE);
        SendMessageA(tabs, TCM_SETCURSEL, tab, 0);
        const int32_t type = ChooseTabPage(app.record, tab);
        if (type != kShowNoSourcePage) {
            for (int t = kPatientTab; t < kTabCount; ++t)
                app->TabPages[t] = PageTable(app.record, t)[type];
            page = static_cast<HWND>(app->TabPages[tab]);
        } else {
            page = static_cast<HWND>(app->NoSourcePage);
        }
        app->ShownPage = page;
        app->CurrentTab = static_cast<uint16_t>(tab);
    }
    // The page locks the record itself while it refreshes.
    g_currentPage = page;
    if (page == nullptr) return;
    PlacePage(page, PageRect(tabs));
    ShowWindow(page, SW_SHOW);
    SendMessageA(page, WM_PAGE_SHOWN, 0, 0);
}

void LayoutPages(AppRecord* record) {
    HWND tabs = static_cast<HWND>(record->TabControl);
    if (tabs == nullptr) return;
    const RECT rect = PageRect(tabs);
    for (WindowHandle page : record->TabPages) PlacePage(static_cast<HWND>(page), rect);
    PlacePage(static_cast<HWND>(record->NoSourcePage), rect);
}

void FocusShownPage(HWND window) {
    HWND page = nullptr;
    {
        RecordLock app(AppRecordHandleOf(window));
        if (app) page = static_cast<HWND>(app->ShownPage);
    }
    HWND first = page != nullptr ? GetNextDlgTabItem(page, nullptr, FALSE) : nullptr;
    if (first != nullptr && IsChild(page, first)) {
        SendMessageW(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
        return;
    }
    SetFocus(GetDlgItem(window, IDC_TAB_CONTROL));
}

// Ctrl+Tab and Ctrl+PgDn go right, with Shift or PgUp left, round the ends.
void SwitchTab(HWND window, int step) {
    int tab = 0;
    {
        RecordLock app(AppRecordHandleOf(window));
        if (!app) return;
        tab = (app->CurrentTab + step + kTabCount) % kTabCount;
    }
    // Leaving the field being typed takes its value first, as a click would.
    SetFocus(window);
    ShowTabPage(window, GetDlgItem(window, IDC_TAB_CONTROL), tab);
    FocusShownPage(window);
}
