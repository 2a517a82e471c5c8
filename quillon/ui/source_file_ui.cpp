// The source file's open dialog, the open that keeps the old source when the
// new one cannot be opened (and says why), and the notice that offers the
// data column count when it differs from the channel labels.
#include "main_window.h"

#include <cstdio>
#include <string>
#include <vector>

#include "bramwick.h"
#include "file_dialog.h"
#include "pages/source_open.h"
#include "pages/source_page.h"
#include "res/resource_ids.h"
#include "res/text_ids.h"
#include "source_file_ui.h"
#include "source/source_reader.h"
#include "ui_text.h"

namespace {

const char kSourceFilter[] =
    "Text/CSV File(*.TXT;*.CSV)|*.txt;*.csv|Text File(*.TXT)|*.txt|CSV File(*.CSV)|*.csv|"
    "All Files(*.*)|*.*|";
constexpr int kMessageBytes = 1024;

void ShowOpenProblem(HWND window, int32_t problem, const char* path) {
    char format[kMessageBytes] = {};
    char caption[kMessageBytes] = {};
    LoadStringCp932(g_instance, static_cast<UINT>(IDS_OPEN_PROBLEM_FIRST + problem), format,
                    sizeof format);
    LoadStringCp932(g_instance, IDS_OPEN_CAPTION, caption, sizeof caption);
    std::vector<char> text(sizeof format + std::string(path ? path : "").size());
    std::snprintf(text.data(), text.size(), format, path ? path : "");
    MessageBoxCp932(window, text.data(), caption, MB_OK | MB_ICONWARNING);
}

}  // namespace

int OpenSourceFile(HWND window, AppRecord* record) {
    char path[kPathSize] = {};
    const FileDialogRequest request{kOpenDialog, "Normal Text File Select", kSourceFilter, "TXT",
                                    record->OrgFile};
    if (!AskFilePath(window, request, path, sizeof path)) return 0;
    return OpenSourceChecked(window, record, path);
}

uint16_t OpenSourceChecked(HWND window, AppRecord* record, const char* path) {
    uint16_t opened = 0;
    const int32_t problem = OpenSourceKeepingOld(record, path, &opened);
    if (problem != kSourceOpened) ShowOpenProblem(window, problem, path);
    return opened;
}

void CheckDataColumns(HWND page, AppRecord* record, const char* line) {
    const int32_t count = DataColumnsToAsk(record, line);
    if (count < 0) return;
    MessageBeep(MB_OK);
    if (BramwickModalDialog(GetAncestor(page, GA_ROOT), g_instance, IDD_LABEL_COUNT) != IDOK)
        return;
    record->ChannelCount = count;
    SendDlgItemMessageW(page, IDC_SRC_CHANNEL_COUNT, CB_SETCURSEL, count, 0);
}
