// The convert pages' summary of what a start would write, from the record
// as it is when the page is shown.
#include "convert_summary_block.h"

#include <cstdio>

#include "convert_page_common.h"
#include "eeg/output_volume.h"
#include "pages/convert_summary.h"
#include "pages/eeg_page.h"
#include "preview/view_ids.h"
#include "record_lock.h"
#include "ui_text.h"

namespace {

constexpr int kSummaryBytes = 640;
constexpr int kRootBytes = 8;

// The file the EEG run would write on the volume; empty when the user
// names it at the start.
void EegTarget(const AppRecord* record, char* out, size_t size) {
    out[0] = '\0';
    if (record->CopyPrivateFile != 0) return;
    char root[kRootBytes];
    std::snprintf(root, sizeof root, "%c:\\", 'A' + record->CopyDrive);
    MakeAutomaticOutputPath(root, EegRunFileNumber(record, root), out, size);
}

}  // namespace

void ShowConvertSummary(HWND page) {
    if (GetDlgItem(page, IDC_CONVERT_SUMMARY) == nullptr) return;
    char text[kSummaryBytes] = "";
    {
        RecordLock record(ConvertContext(page)->record);
        if (!record) return;
        char target[kPathSize];
        EegTarget(record.record, target, sizeof target);
        ConvertSummary summary;
        DescribeConvertSummary(record.record, target, &summary);
        char pattern[kSummaryBytes];
        HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(page, GWLP_HINSTANCE));
        LoadStringCp932(instance, IDS_CONVERT_SUMMARY, pattern, sizeof pattern);
        FormatConvertSummary(pattern, &summary, text, sizeof text);
    }
    SetItemTextCp932(page, IDC_CONVERT_SUMMARY, text);
}
