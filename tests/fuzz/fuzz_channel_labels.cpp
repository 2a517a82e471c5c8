// Arbitrary bytes as the head of a source and as a label line: collecting
// the label line must stay inside the head, and every label taken must fit
// its row with no double-byte character cut in half.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "source/source_reader.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// A label ends on a character boundary: walking it by characters lands
// exactly on its terminator.
void CheckLabel(const char* label) {
    const char* end = static_cast<const char*>(std::memchr(label, '\0', kPatternTextSize));
    Check(end != nullptr);
    const char* p = label;
    while (p < end) p += PlatIsLeadByte932(static_cast<uint8_t>(*p)) ? 2 : 1;
    Check(p == end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    static AppRecord* record = static_cast<AppRecord*>(std::calloc(1, sizeof(AppRecord)));
    record->DelimitChar = static_cast<uint16_t>(data[0] % 4);
    record->DataLineBias = static_cast<int8_t>(data[1]) % 8;
    record->CurrentEegPattern = data[2] & 3;
    record->CurrentPsgPattern = (data[2] >> 2) & 7;  // 4..7 name no slot
    const int32_t lineIndex = static_cast<int8_t>(data[2]) >> 5;

    // The head without a terminator, as the head block's text is measured.
    size_t headLength = size - 3;
    std::unique_ptr<char[]> head(new char[headLength ? headLength : 1]);
    std::memcpy(head.get(), data + 3, headLength);
    char labelLine[kLineByteLimit + 1];
    int32_t collected = CollectLabelLineInMode(head.get(), static_cast<int32_t>(headLength),
                                               lineIndex, record->DelimitChar, labelLine);
    Check(collected <= kLineByteLimit);
    Check(collected < 0 ? labelLine[0] == '\0'
                        : std::strlen(labelLine) == static_cast<size_t>(collected));

    // The same bytes as a label line of the page (double-byte text kept).
    std::unique_ptr<char[]> line(new char[headLength + 1]);
    std::memcpy(line.get(), data + 3, headLength);
    line[headLength] = '\0';
    const char* const texts[] = {labelLine, line.get()};
    for (const char* text : texts) {
        record->ChannelCount = 0;  // a short line changes nothing: no rows to check
        SetChannelLabels(record, text);
        Check(record->ChannelCount >= 0 && record->ChannelCount <= kLineValueLimit);
        int32_t columns = CountDataColumns(record, text);
        Check(columns >= -1 && columns <= kLineValueLimit);
        const MontagePattern& slot = record->PatternSlots[record->CurrentEegPattern];
        for (int32_t row = 0; row < record->ChannelCount; ++row) {
            CheckLabel(slot.EegRows[row].label);
            Check(slot.EegRows[row].SOURCE == 1);
        }
    }
    return 0;
}
