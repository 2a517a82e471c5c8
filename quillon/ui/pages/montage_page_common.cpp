// The pattern combo box, "Pattern Registry", "Pattern Copy..." and the
// layout, shared by the EEG and PSG montage pages.
#include "montage_page_common.h"

#include <cstdio>

#include "bramwick.h"
#include "montage_grids.h"
#include "ids/montage_ids.h"
#include "pages/montage_page.h"
#include "record_lock.h"
#include "res/text_ids.h"
#include "ui_text.h"

namespace {

constexpr int kStatusBytes = 128;
constexpr int kQuestionBytes = 512;

HWND Grid(HWND page) { return GetDlgItem(page, IDC_MONTAGE_GRID); }
HWND Combo(HWND page) { return GetDlgItem(page, IDC_PATTERN_NAME); }

HINSTANCE PageInstance(HWND page) {
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(page, GWLP_HINSTANCE));
}

int CurrentSlot(const AppRecord* record, MontageKind kind) {
    return kind == kEegMontage ? record->CurrentEegPattern : record->CurrentPsgPattern;
}

void AttachGrid(HWND page, const MontagePageContext* context) {
    SendMessageA(Grid(page), WM_GRID_SETDATA, reinterpret_cast<WPARAM>(context->record), 0);
    InvalidateRect(Grid(page), nullptr, FALSE);
}

void ListSlotNames(HWND page, const AppRecord* record) {
    SendMessageA(Combo(page), CB_RESETCONTENT, 0, 0);
    for (const MontagePattern& slot : record->PatternSlots)
        SendListTextCp932(Combo(page), CB_ADDSTRING, 0, slot.name);
}

void SelectPattern(HWND page, MontageKind kind, int index) {
    const MontagePageContext* context = PageContext(page);
    {
        RecordLock record(context->record);
        if (!record || !SelectPatternSlot(record.record, kind, index)) return;
    }
    SendMessageA(Combo(page), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    AttachGrid(page, context);
}

void OnPatternPicked(HWND page, MontageKind kind) {
    const int index = static_cast<int>(SendMessageA(Combo(page), CB_GETCURSEL, 0, 0));
    if (index < 0) return;
    {
        RecordLock record(PageContext(page)->record);
        if (!record || !PickPattern(record.record, kind, index, PageContext(page)->settingsPath))
            return;
    }
    SelectPattern(page, kind, index);
}

// A name typed into the edit field shows in the list the next time it opens.
void RelistPatterns(HWND page, MontageKind kind) {
    int current = 0;
    {
        RecordLock record(PageContext(page)->record);
        if (!record) return;
        ListSlotNames(page, record.record);
        current = CurrentSlot(record.record, kind);
    }
    SelectPattern(page, kind, current);
}

void OnNameTyped(HWND page, MontageKind kind) {
    char name[kPatternTextSize] = {};
    ReadWindowTextCp932(Combo(page), name, sizeof name);
    RecordLock record(PageContext(page)->record);
    if (record) RenameCurrentPattern(record.record, kind, name);
}

// A stored pattern is replaced only when the user says so; No is the default.
bool RegistryConfirmed(HWND page, MontageKind kind) {
    const MontagePageContext* context = PageContext(page);
    char name[kPatternTextSize] = {};
    {
        RecordLock record(context->record);
        if (!record) return false;
        if (!RegistryReplacesStoredPattern(record.record, kind, context->settingsPath)) return true;
        const int slot = CurrentSlot(record.record, kind);
        std::snprintf(name, sizeof name, "%s", record->PatternSlots[slot].name);
    }
    char format[kQuestionBytes] = {};
    char question[kQuestionBytes + kPatternTextSize] = {};
    char caption[kStatusBytes] = {};
    LoadStringCp932(PageInstance(page), IDS_REGISTRY_ASK, format, sizeof format);
    LoadStringCp932(PageInstance(page), IDS_CONFIRM_CAPTION, caption, sizeof caption);
    std::snprintf(question, sizeof question, format, name);
    const UINT type = MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION;
    return MessageBoxCp932(GetAncestor(page, GA_ROOT), question, caption, type) == IDYES;
}

void OnRegistry(HWND page, MontageKind kind) {
    if (!RegistryConfirmed(page, kind)) return;
    const MontagePageContext* context = PageContext(page);
    int stringId = 0;
    {
        RecordLock record(context->record);
        if (!record) return;
        stringId = RegisterCurrentPattern(record.record, kind, context->settingsPath);
    }
    char text[kStatusBytes] = {};
    LoadStringCp932(PageInstance(page), static_cast<UINT>(stringId), text, sizeof text);
    if (context->showStatus) context->showStatus(context->mainWindow, kStatusMessage, text);
}

void OnCopy(HWND page, MontageKind kind) {
    if (PatternCopyActionOf(kind) != kCopyShowsNotice) return;
    BramwickModalDialog(page, PageInstance(page), IDD_NOT_AVAILABLE);
}

void OnComboCommand(HWND page, MontageKind kind, WORD code) {
    switch (code) {
        case CBN_SELCHANGE: return OnPatternPicked(page, kind);
        case CBN_DROPDOWN:
        case CBN_KILLFOCUS: return RelistPatterns(page, kind);
        case CBN_EDITCHANGE: return OnNameTyped(page, kind);
        default: return;
    }
}

}  // namespace

const MontagePageContext* PageContext(HWND page) {
    return reinterpret_cast<const MontagePageContext*>(GetWindowLongPtrA(page, DWLP_USER));
}

void InitMontagePage(HWND page, MontageKind kind, LPARAM parameter) {
    SetWindowLongPtrA(page, DWLP_USER, parameter);
    const MontagePageContext* context = PageContext(page);
    if (context == nullptr) return;
    SendMessageA(Combo(page), WM_SETFONT, reinterpret_cast<WPARAM>(context->font), 0);
    SendMessageA(Grid(page), WM_SETFONT, reinterpret_cast<WPARAM>(context->font), 0);
    SendMessageA(Grid(page), WM_GRID_SETDATA, reinterpret_cast<WPARAM>(context->record), 0);
    int current = 0;
    {
        RecordLock record(context->record);
        if (!record) return;
        ReadPatternNames(record.record, kind, context->settingsPath);
        if (kind == kPsgMontage) LoadPsgAdBits(record.record, context->settingsPath);
        ListSlotNames(page, record.record);
        current = CurrentSlot(record.record, kind);
    }
    SelectPattern(page, kind, current);
}

void LayoutMontagePageControls(HWND page, MontageKind kind, int width, int height) {
    const MontagePageContext* context = PageContext(page);
    HWND registry = GetDlgItem(page, IDC_PATTERN_REGISTRY);
    if (context == nullptr || registry == nullptr) return;
    RECT button, combo = {};
    GetClientRect(registry, &button);
    GetClientRect(Combo(page), &combo);
    const int measure = kind == kPsgMontage ? context->fontHeight : combo.bottom;
    MontagePageLayout layout;
    LayoutMontagePage(kind, width, height, button.right, button.bottom, measure, &layout);
    MoveWindow(Grid(page), layout.grid.x, layout.grid.y, layout.grid.width, layout.grid.height,
               TRUE);
    MoveWindow(registry, layout.registry.x, layout.registry.y, layout.registry.width,
               layout.registry.height, TRUE);
    MoveWindow(GetDlgItem(page, IDC_PATTERN_COPY), layout.copy.x, layout.copy.y, layout.copy.width,
               layout.copy.height, TRUE);
}

void LayoutShownMontagePage(HWND page, MontageKind kind) {
    // The rows follow the channel count, which may have changed while the
    // page was hidden; the grid lays them out again with its record.
    if (const MontagePageContext* context = PageContext(page)) AttachGrid(page, context);
    RECT client;
    GetClientRect(page, &client);
    LayoutMontagePageControls(page, kind, client.right - client.left + 1,
                              client.bottom - client.top + 1);
}

bool OnMontagePageCommand(HWND page, MontageKind kind, WORD id, WORD code) {
    if (PageContext(page) == nullptr)
        return id == IDC_PATTERN_NAME || id == IDC_PATTERN_REGISTRY || id == IDC_PATTERN_COPY;
    switch (id) {
        case IDC_PATTERN_NAME: OnComboCommand(page, kind, code); return true;
        case IDC_PATTERN_REGISTRY: OnRegistry(page, kind); return true;
        case IDC_PATTERN_COPY: OnCopy(page, kind); return true;
        default: return false;
    }
}

bool OfferPatternRegistration(HWND owner, HINSTANCE instance, HGLOBAL recordBlock,
                              const char* settingsPath) {
    static const MontageKind kKinds[] = {kEegMontage, kPsgMontage};
    for (MontageKind kind : kKinds) {
        char name[kPatternTextSize] = {};
        {
            RecordLock record(recordBlock);
            if (!record || !PatternHasUnregisteredEdits(record.record, kind, settingsPath))
                continue;
            const int slot = CurrentSlot(record.record, kind);
            std::snprintf(name, sizeof name, "%s", record->PatternSlots[slot].name);
        }
        char format[kQuestionBytes] = {};
        char question[kQuestionBytes + kPatternTextSize] = {};
        char caption[kStatusBytes] = {};
        LoadStringCp932(instance, IDS_UNREGISTERED_ASK, format, sizeof format);
        LoadStringCp932(instance, IDS_CONFIRM_CAPTION, caption, sizeof caption);
        std::snprintf(question, sizeof question, format, kind == kEegMontage ? "EEG" : "PSG", name);
        const int answer =
            MessageBoxCp932(owner, question, caption, MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL) return false;
        if (answer != IDYES) continue;
        RecordLock record(recordBlock);
        if (record) RegisterCurrentPattern(record.record, kind, settingsPath);
    }
    return true;
}
