// The source file's open dialog, and the notice that offers the data column
// count when it differs from the channel labels.
#include "main_window.h"

#include <commdlg.h>

#include <cstring>

#include "bramwick.h"
#include "res/resource_ids.h"
#include "pages/source_page.h"
#include "source/source_reader.h"

namespace {

constexpr int kTitleSize = 512;
// Paths this short cannot name a previous source worth starting from.
constexpr size_t kShortestSeedPath = 6;
const char kSourceFilter[] = "Text File(*.TXT)|*.txt|CSV File(*.CSV)|*.csv|All Files(*.*)|*.*|";

void MakeFilter(char* filter, size_t size) {
    size_t i = 0;
    for (; i + 1 < size && kSourceFilter[i] != '\0'; ++i)
        filter[i] = kSourceFilter[i] == '|' ? '\0' : kSourceFilter[i];
    filter[i] = '\0';
    if (i + 1 < size) filter[i + 1] = '\0';
}

// The previous source seeds the dialog: its name and its folder.
void SeedFromPrevious(OPENFILENAMEA* dialog, const char* previous, char* folder) {
    dialog->Flags = OFN_SHAREAWARE;
    if (std::strlen(previous) <= kShortestSeedPath) return;
    lstrcpynA(dialog->lpstrFile, previous, kPathSize);
    lstrcpynA(folder, previous, kPathSize);
    if (char* cut = std::strrchr(folder, '\\')) cut[1] = '\0';
    dialog->lpstrInitialDir = folder;
    dialog->Flags |= OFN_PATHMUSTEXIST;
}

}  // namespace

int OpenSourceFile(HWND window, AppRecord* record) {
    char path[kPathSize] = {};
    char title[kTitleSize] = {};
    char filter[kPathSize] = {};
    char folder[kPathSize] = {};
    MakeFilter(filter, sizeof filter);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrFileTitle = title;
    dialog.nMaxFileTitle = sizeof title;
    dialog.lpstrTitle = "Normal Text File Select";
    dialog.lpstrDefExt = "TXT";
    SeedFromPrevious(&dialog, record->OrgFile, folder);
    if (!GetOpenFileNameA(&dialog)) return 0;
    return OpenSourceFromPath(record, path);
}

void CheckDataColumns(HWND page, AppRecord* record, const char* line) {
    const int32_t count = DataColumnsToAsk(record, line);
    if (count < 0) return;
    MessageBeep(MB_OK);
    if (BramwickModalDialog(GetAncestor(page, GA_ROOT), g_instance, IDD_LABEL_COUNT) != IDOK)
        return;
    record->ChannelCount = count;
    SendDlgItemMessageA(page, IDC_SRC_CHANNEL_COUNT, CB_SETCURSEL, count, 0);
}
