#include "pages/convert_summary.h"

#include <cstdio>
#include <cstring>

#include "platform.h"
#include "source/head_lines.h"

namespace {

constexpr int32_t kSecondsPerHour = 3600;
constexpr int32_t kSecondsPerMinute = 60;
constexpr size_t kFieldTextSize = 32;

int32_t CountChannels(const AppRecord* record) {
    AppRecord* writable = const_cast<AppRecord*>(record);
    const bool psg = record->CopyFileType == kOutputPsg;
    const MontagePattern* pattern = psg ? CurrentPsgSlot(writable) : CurrentEegSlot(writable);
    if (pattern == nullptr) return 0;
    int32_t count = 0;
    for (int32_t c = 0; c < record->ChannelCount && c < kPatternRowCount; ++c)
        count += psg ? pattern->PsgRows[c].ChEnable > kChannelOff
                     : IsWrittenKind(pattern->EegRows[c].SOURCE);
    return count;
}

void FormatDuration(double seconds, char* out, size_t size) {
    if (seconds < 0.0) {
        std::snprintf(out, size, "?");
        return;
    }
    const int64_t whole = static_cast<int64_t>(seconds + 0.5);
    std::snprintf(out, size, "%lld:%02d:%02d", static_cast<long long>(whole / kSecondsPerHour),
                  static_cast<int>(whole / kSecondsPerMinute % kSecondsPerMinute),
                  static_cast<int>(whole % kSecondsPerMinute));
}

// The text a %x of the pattern stands for, or null for an unknown letter.
const char* FieldText(char letter, const ConvertSummary* s, char* scratch) {
    switch (letter) {
        case 'c': std::snprintf(scratch, kFieldTextSize, "%d", int(s->channels)); return scratch;
        case 'r': std::snprintf(scratch, kFieldTextSize, "%d", int(s->sampleRate)); return scratch;
        case 'd': FormatDuration(s->seconds, scratch, kFieldTextSize); return scratch;
        case 'i': return s->patientId;
        case 'n': return s->patientName;
        case 't': return s->target;
        default: return nullptr;
    }
}

void CopyText(char* to, size_t size, const char* from) { std::snprintf(to, size, "%s", from); }

}  // namespace

extern "C" double SourceSecondsEstimate(const AppRecord* record) {
    if (record == nullptr || record->SourceOpen == 0 || record->SourceFile == nullptr ||
        record->SampleRate < 1)
        return kSecondsUnknown;
    const double perLine =
        MeanHeadLineBytes(record->SourceText, record->SourceTextLength, record->DataStartLine);
    const int64_t line =
        HeadLineOffset(record->SourceText, record->SourceTextLength, record->DataStartLine);
    const int64_t size = PlatFileSize(record->SourceFile);
    if (perLine <= 0.0 || line < 0 || size < 0) return kSecondsUnknown;
    const int64_t bytes = size - record->SourceTextOffset - line;
    return bytes > 0 ? bytes / perLine / record->SampleRate : 0.0;
}

extern "C" void DescribeConvertSummary(const AppRecord* record, const char* eegFileName,
                                       ConvertSummary* summary) {
    *summary = ConvertSummary{};
    summary->channels = CountChannels(record);
    summary->sampleRate = record->SampleRate;
    summary->seconds = SourceSecondsEstimate(record);
    CopyText(summary->patientId, sizeof summary->patientId, record->PatientInfo.PatientId);
    CopyText(summary->patientName, sizeof summary->patientName, record->PatientInfo.Name1);
    const bool psg = record->CopyFileType == kOutputPsg;
    CopyText(summary->target, sizeof summary->target,
             psg                      ? record->PsgTargetPath
             : eegFileName != nullptr ? eegFileName
                                      : "");
}

extern "C" int32_t FormatConvertSummary(const char* pattern, const ConvertSummary* summary,
                                        char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    size_t at = 0;
    char scratch[kFieldTextSize];
    for (const char* p = pattern; *p != '\0' && at + 1 < size; ++p) {
        const char* field = p[0] == '%' ? FieldText(p[1], summary, scratch) : nullptr;
        if (field == nullptr) {
            out[at++] = *p;
            continue;
        }
        for (; *field != '\0' && at + 1 < size; ++field) out[at++] = *field;
        ++p;
    }
    out[at] = '\0';
    return static_cast<int32_t>(at);
}
