#include "source/source_checks.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "source/field_reader.h"
#include "source/head_lines.h"
#include "source/source_reader.h"
#include "platform.h"

namespace {

int32_t Verdict(SourceCheck* check, int32_t verdict, const AppRecord* record, int32_t columns = 0) {
    if (check != nullptr)
        *check = SourceCheck{verdict, record->DataStartLine, columns, record->ChannelCount};
    return verdict;
}

bool StartsWith(const char* text, int32_t length, const char* bytes, int32_t count) {
    return length >= count && std::memcmp(text, bytes, static_cast<size_t>(count)) == 0;
}

// UTF-16 text without a byte order mark shows as a NUL in every other byte
// of ASCII text.
bool LooksLikeUtf16(const char* head, int32_t length) {
    int32_t evenNuls = 0, oddNuls = 0;
    for (int32_t i = 0; i < length; ++i)
        if (head[i] == '\0') ++(i % 2 == 0 ? evenNuls : oddNuls);
    const int32_t half = length / 2;
    return half > 0 && (evenNuls * 10 >= half * 9 || oddNuls * 10 >= half * 9);
}

int32_t EncodingVerdict(const char* head, int32_t length) {
    if (StartsWith(head, length, "\xFF\xFE\x00\x00", 4) ||
        StartsWith(head, length, "\x00\x00\xFE\xFF", 4))
        return kSourceUtf32;
    if (StartsWith(head, length, "\xFF\xFE", 2) || StartsWith(head, length, "\xFE\xFF", 2))
        return kSourceUtf16;
    if (std::memchr(head, '\0', static_cast<size_t>(length)) == nullptr) return kSourceUsable;
    return LooksLikeUtf16(head, length) ? kSourceUtf16 : kSourceBinary;
}

// The values the run would read from line DataStartLine, or -1 when the
// head has no such line.
int32_t DataLineValues(const AppRecord* record) {
    char line[kLineByteLimit + 1];
    int32_t length = -1;
    WalkHeadLines(record->SourceText, record->SourceTextLength, record->DataStartLine + 1,
                  [&](int32_t index, const LineSpan& span) {
                      if (index < record->DataStartLine) return true;
                      length = span.length;
                      std::memcpy(line, record->SourceText + span.start, size_t(length));
                      line[length] = '\0';
                      return false;
                  });
    if (length < 0) return -1;
    FieldFlaws ignored{};
    if (record->OrgCalDataType == kCalibratedValues) {
        float values[kLineValueLimit];
        return ReadFloatFieldsCounted(record, line, values, &ignored);
    }
    int16_t values[kLineValueLimit];
    return ReadIntegerFieldsCounted(record, line, values, &ignored);
}

}  // namespace

extern "C" int32_t CheckSourceForConversion(const AppRecord* record, SourceCheck* check) {
    if (record == nullptr) return kSourceNotOpen;
    if (record->SourceOpen == 0 || record->SourceFile == nullptr || record->SourceText == nullptr)
        return Verdict(check, kSourceNotOpen, record);
    const int64_t size = PlatFileSize(record->SourceFile);
    if (size >= 0 && size <= record->SourceTextOffset) return Verdict(check, kSourceEmpty, record);
    const int32_t encoding = EncodingVerdict(record->SourceText, record->SourceTextLength);
    if (encoding != kSourceUsable) return Verdict(check, encoding, record);
    const int32_t values = DataLineValues(record);
    if (values < 0) {
        // Beyond the head the line could be neither checked nor found.
        const bool headIsWholeSource =
            size >= 0 && size - record->SourceTextOffset == record->SourceTextLength;
        return Verdict(check, headIsWholeSource ? kSourceNoDataLine : kSourceDataLineBeyondHead,
                       record);
    }
    if (values < record->ChannelCount) return Verdict(check, kSourceTooFewColumns, record, values);
    return Verdict(check, kSourceUsable, record, values);
}

namespace {

constexpr int32_t kVerdictCodes[] = {
    REASON_SOURCE_USABLE,       REASON_SOURCE_NOT_OPEN,        REASON_SOURCE_EMPTY,
    REASON_SOURCE_UTF16,        REASON_SOURCE_UTF32,           REASON_SOURCE_BINARY,
    REASON_SOURCE_NO_DATA_LINE, REASON_SOURCE_TOO_FEW_COLUMNS, REASON_SOURCE_LINE_BEYOND_HEAD,
};

}  // namespace

extern "C" Reason SourceVerdictReason(const SourceCheck* check) {
    if (check == nullptr || check->verdict < 0 ||
        check->verdict >= int32_t(std::size(kVerdictCodes)))
        return MakeReason(REASON_NONE);
    Reason reason = MakeReason(kVerdictCodes[check->verdict]);
    reason.values[0] = check->line;
    reason.values[1] = check->columns;
    reason.values[2] = check->channels;
    reason.values[3] = kSourceHeadSize;
    return reason;
}

extern "C" int32_t FormatSourceVerdict(const SourceCheck* check, char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    out[0] = '\0';
    if (check == nullptr) return 0;
    const Reason reason = SourceVerdictReason(check);
    return FormatReasonOrUnknown(&reason, "source verdict", check->verdict, out, size);
}
