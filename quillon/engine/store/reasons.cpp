#include "store/reasons.h"

#include <cstdio>
#include <cstring>

namespace {

// What snprintf wrote into size bytes: its length, cut to the buffer.
int32_t Written(int n, size_t size) {
    if (n < 0) return 0;
    return static_cast<size_t>(n) < size ? n : static_cast<int32_t>(size - 1);
}

struct EnglishRow {
    int32_t code;
    const char* text;
};

// The run-end rows are filled by quillon-cli with its own names: %s the
// source, %p the output, %h what it holds, %c what cannot be closed, %b
// where reading stopped, %r the reference file, %f the file number, %i the
// settings file, %n the frames held, %t their seconds, %e the system's
// reason.
constexpr EnglishRow kEnglish[] = {
    {REASON_SOURCE_USABLE, "the source can be converted"},
    {REASON_SOURCE_NOT_OPEN, "no source file is open"},
    {REASON_SOURCE_EMPTY, "the source is empty"},
    {REASON_SOURCE_UTF16,
     "the source is UTF-16 text; save it as Shift_JIS (code page 932), ASCII or UTF-8 text"},
    {REASON_SOURCE_UTF32,
     "the source is UTF-32 text; save it as Shift_JIS (code page 932), ASCII or UTF-8 text"},
    {REASON_SOURCE_BINARY, "the source holds NUL bytes: it is not a text file"},
    {REASON_SOURCE_NO_DATA_LINE, "the source has no line %1, its first data line"},
    {REASON_SOURCE_LINE_BEYOND_HEAD,
     "the first data line (line %1) lies beyond the first %4 bytes the program reads ahead"},
    {REASON_SOURCE_TOO_FEW_COLUMNS,
     "the first data line (line %1) has %2 data columns, fewer than the %3 channels set"},

    {REASON_EEG_STARTED, "the conversion started"},
    {REASON_EEG_RUNNING, "a conversion is still running"},
    {REASON_EEG_NOT_EEG_TYPE, "the output type is not an EEG file"},
    {REASON_EEG_BAD_LAYOUT, "the source layout cannot be converted"},
    {REASON_EEG_PATH_TOO_LONG, "the output path \"%p\" is too long"},
    {REASON_EEG_OUTPUT_EXISTS, "the output file \"%p\" exists; it is never overwritten"},
    {REASON_EEG_REFERENCE_EXISTS, "the reference file \"%p\" of the output exists"},
    {REASON_EEG_NO_MEMORY, "not enough memory for a conversion step"},
    {REASON_EEG_CANNOT_CREATE, "cannot create the output file \"%p\": %e"},
    {REASON_EEG_NO_VOLUME, "the output volume is not ready"},
    {REASON_EEG_SOURCE_UNUSABLE, "the source cannot be converted"},

    {REASON_PSG_STARTED, "the conversion started"},
    {REASON_PSG_RUNNING, "a conversion is still running"},
    {REASON_PSG_TARGET_EXISTS, "the target file exists; it is never overwritten"},
    {REASON_PSG_NO_TARGET, "no target file was chosen"},
    {REASON_PSG_NO_CHANNELS, "no source channel is switched on"},
    {REASON_PSG_NO_SOURCE, "no source file is open"},
    {REASON_PSG_BAD_PATTERN, "PSG pattern %1 does not exist"},
    {REASON_PSG_BAD_CHANNEL_COUNT, "%1 source channels: at most %2 can be converted"},
    {REASON_PSG_BAD_FIELD_MODE, "field delimiter %1 is none of comma, blank and tab"},
    {REASON_PSG_BAD_VALUE_KIND, "data type %1 is neither A/D nor calibrated values"},
    {REASON_PSG_BAD_FRAME_TIME, "frame time %1 s: it must be 1 to %2 seconds"},
    {REASON_PSG_BAD_SAMPLE_RATE, "sampling rate %1 Hz: it must be 1 to %2 Hz"},
    {REASON_PSG_BAD_TIME_RESOLUTION_RATE,
     "sampling rate %1 Hz: with the original time resolution (one line a millisecond) it must "
     "divide 1000 Hz"},
    {REASON_PSG_BAD_CHANNEL_RATE, "channel %1: rate divisor %2 gives a rate below 1 Hz"},
    {REASON_PSG_UNEVEN_CHANNEL_RATE,
     "channel %1: rate divisor %2 does not give a whole number of samples per epoch"},
    {REASON_PSG_ZERO_EU, "channel %1: CAL (EU) is 0, so calibrated values cannot be scaled"},
    {REASON_PSG_ZERO_VU, "channel %1: AD (VU) is 0, so calibrated values would all be 0"},
    {REASON_PSG_BAD_PHYSICAL_RANGE,
     "channel %1: the physical range 32767 x CAL / AD is too large or too fine for the file's "
     "header"},
    {REASON_PSG_TOO_MANY_SAMPLES, "the channels give more samples than one epoch can hold"},
    {REASON_PSG_NO_MEMORY, "not enough memory for the conversion's buffers"},
    {REASON_PSG_CANNOT_CREATE, "the target file cannot be created"},
    {REASON_PSG_NOT_READY, "the PSG library could not prepare the file's header"},
    {REASON_PSG_REFUSED, "the PSG library refused the channel definitions"},
    {REASON_PSG_SOURCE_UNUSABLE, "the source cannot be converted"},

    {REASON_SETTING_INTERVAL, "%d is %1; it must be %3..%4"},
    {REASON_SETTING_AT_LEAST, "%d is %1; it must be %3 or more"},
    {REASON_SETTING_FRAME_TIMES, "%d is %1; it must be 1, 2, 5 or 10"},
    {REASON_SETTING_MAGNIFICATION,
     "%d is %1; it must be 1, 10, ... 1000000000 or -10, -100, ... -1000000"},
    {REASON_SETTING_RATE_DIVISOR, "%d is %1; it must be 1, 2, 4, 5, 10, 20 or 50"},
    {REASON_SETTING_PSG_MAGNIFICATION,
     "%d is %1; it must be 1, 10, 100, 1000 or 10000 (0 reads as 1)"},
    {REASON_SETTING_INTERVAL_ROW, "%d is %1 for row %2; it must be %3..%4"},
    {REASON_SETTING_AT_LEAST_ROW, "%d is %1 for row %2; it must be %3 or more"},
    {REASON_SETTING_FRAME_TIMES_ROW, "%d is %1 for row %2; it must be 1, 2, 5 or 10"},
    {REASON_SETTING_MAGNIFICATION_ROW,
     "%d is %1 for row %2; it must be 1, 10, ... 1000000000 or -10, -100, ... -1000000"},
    {REASON_SETTING_RATE_DIVISOR_ROW, "%d is %1 for row %2; it must be 1, 2, 4, 5, 10, 20 or 50"},
    {REASON_SETTING_PSG_MAGNIFICATION_ROW,
     "%d is %1 for row %2; it must be 1, 10, 100, 1000 or 10000 (0 reads as 1)"},

    {REASON_END_READ_FAILED, "reading %s failed (%e); %h"},
    {REASON_END_WRITE_FAILED, "writing %p failed (%e); %h"},
    {REASON_END_LAYOUT_CHANGED, "the layout changed during the run; %h"},
    {REASON_END_INTERRUPTED, "interrupted; %h"},
    {REASON_END_NO_DATA, "no line of %s was data; %h"},
    {REASON_END_NOT_CLOSED, "cannot close %c"},
    {REASON_END_WAVE_FULL,
     "the wave is full at %n frames, the most the file format holds; the rest of %s was not "
     "converted"},
    {REASON_END_SOURCE_LEFT, "reading %s failed at byte %b; %h"},
    {REASON_END_NO_REFERENCE,
     "cannot write the reference file %r (%e); %p holds all %n frames and opens without it, "
     "and quillon-cli repair %p writes its reference file"},
    {REASON_END_NUMBER_NOT_SAVED, "cannot save EEGFileNo %f in %i"},
    {REASON_END_NOT_DATA_LINES, "%2 lines were not data"},
    {REASON_END_ODD_VALUES, "%2 values were out of range or not numbers"},
    {REASON_HOLDS_FRAMES, "%p holds the first %n frames (%t s)"},
    {REASON_HOLDS_REMOVED, "%p held no frame and was removed"},
};

// Appends count bytes of text, cut to what out has room for.
void Append(char* out, size_t size, size_t* used, const char* text, size_t count) {
    const size_t room = size - 1 - *used;
    const size_t n = count < room ? count : room;
    std::memcpy(out + *used, text, n);
    *used += n;
}

// A value placeholder at p ("1".."4", "+1".., ".1"..): its text in number
// and the bytes it takes, or 0 when p starts none.
int ValuePlaceholder(const char* p, const Reason& reason, char* number, size_t size) {
    const char form = (p[0] == '+' || p[0] == '.') ? p[0] : '\0';
    const char digit = form != '\0' ? p[1] : p[0];
    if (digit < '1' || digit >= '1' + kReasonValueCount) return 0;
    const long long value = static_cast<long long>(reason.values[digit - '1']);
    if (form == '+')
        std::snprintf(number, size, "%lld", value + 1);
    else if (form == '.')
        std::snprintf(number, size, "%lld.%lld", value / 10, (value < 0 ? -value : value) % 10);
    else
        std::snprintf(number, size, "%lld", value);
    return form != '\0' ? 2 : 1;
}

}  // namespace

extern "C" Reason MakeReason(int32_t code) {
    Reason reason{};
    reason.code = code;
    return reason;
}

extern "C" const char* EnglishReasonPattern(int32_t code) {
    for (const EnglishRow& row : kEnglish)
        if (row.code == code) return row.text;
    return nullptr;
}

extern "C" int32_t ReasonStringId(int32_t code) { return IDS_REASON_BASE + code; }

extern "C" int32_t ExpandReasonPattern(const char* pattern, const Reason* reason,
                                       const char* noDetail, char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    size_t used = 0;
    for (const char* p = pattern; p != nullptr && *p != '\0' && reason != nullptr; ++p) {
        char number[32];
        const int taken = p[0] == '%' ? ValuePlaceholder(p + 1, *reason, number, sizeof number) : 0;
        const char* text = nullptr;
        if (taken > 0) text = number;
        if (p[0] == '%' && p[1] == 'p') text = reason->path;
        if (p[0] == '%' && p[1] == 'd') text = reason->detail;
        if (p[0] == '%' && p[1] == 'e')
            text = reason->detail[0] != '\0' || noDetail == nullptr ? reason->detail : noDetail;
        if (text == nullptr) {
            Append(out, size, &used, p, 1);
            continue;
        }
        Append(out, size, &used, text, std::strlen(text));
        p += taken > 0 ? taken : 1;
    }
    out[used] = '\0';
    return static_cast<int32_t>(used);
}

extern "C" int32_t FormatReasonEnglish(const Reason* reason, char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    out[0] = '\0';
    if (reason == nullptr) return 0;
    const char* pattern = EnglishReasonPattern(reason->code);
    if (pattern == nullptr)
        return Written(std::snprintf(out, size, "reason %d", reason->code), size);
    return ExpandReasonPattern(pattern, reason, "unknown reason", out, size);
}

extern "C" int32_t FormatReasonOrUnknown(const Reason* reason, const char* what, int32_t value,
                                         char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    if (reason == nullptr || reason->code != REASON_NONE)
        return FormatReasonEnglish(reason, out, size);
    return Written(std::snprintf(out, size, "%s %d", what != nullptr ? what : "", value), size);
}
