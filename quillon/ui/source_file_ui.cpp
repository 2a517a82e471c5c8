// The source file's open dialog, and the notice that offers the data column
// count when it differs from the channel labels.
#include "main_window.h"

#include "bramwick.h"
#include "file_dialog.h"
#include "res/resource_ids.h"
#include "pages/source_page.h"
#include "source/source_reader.h"

namespace {

const char kSourceFilter[] = "Text File(*.TXT)|*.txt|CSV File(*.CSV)|*.csv|All Files(*.*)|*.*|";

}  // namespace

int OpenSourceFile(HWND window, AppRecord* record) {
    char path[kPathSize] = {};
    const FileDialogRequest request{kOpenDialog, "Normal Text File Select", kSourceFilter, "TXT",
                                    record->OrgFile};
    if (!AskFilePath(window, request, path, sizeof path)) return 0;
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
