#include "source/source_reader.h"

#include <cstdlib>
#include <cstring>

#include "source/field_cutter.h"
#include "source/field_reader.h"

namespace {

const unsigned char kUtf8ByteOrderMark[3] = {0xEF, 0xBB, 0xBF};

// Reads the head into a zero-filled block of kSourceTextBlockSize bytes and
// drops a UTF-8 byte order mark from its start. Returns the text length and
// the file offset of the text, or -1 when the file cannot be read.
int32_t ReadHead(PlatFile file, char* block, int64_t* textOffset) {
    const int32_t wanted = kSourceHeadSize + static_cast<int32_t>(sizeof kUtf8ByteOrderMark);
    int32_t total = 0;
    while (total < wanted) {
        int32_t got = PlatFileRead(file, block + total, wanted - total);
        if (got < 0) return -1;
        if (got == 0) break;
        total += got;
    }
    *textOffset = 0;
    if (total >= 3 && std::memcmp(block, kUtf8ByteOrderMark, 3) == 0) {
        std::memmove(block, block + 3, static_cast<size_t>(total - 3));
        std::memset(block + total - 3, 0, 3);
        total -= 3;
        *textOffset = 3;
    }
    if (total > kSourceHeadSize) {
        std::memset(block + kSourceHeadSize, 0, static_cast<size_t>(total - kSourceHeadSize));
        total = kSourceHeadSize;
    }
    return total;
}

// Copies the layout of the selected preset into the record; false when no
// preset is selected or it is not enabled.
bool ApplySelectedPreset(AppRecord* record) {
    if (record->OrgFileType < 1 || record->OrgFileType > kSourcePresetCount) return false;
    const SourcePreset& preset = record->SourcePreset[record->OrgFileType - 1];
    if (preset.Enable == 0) return false;
    record->DataLineBias = preset.DataLineBias;
    record->ChStartLine = preset.ChStartLine;
    record->DataStartLine = preset.DataStartLine;
    record->DelimitChar = preset.DelimitChar;
    record->OrgCalDataType = preset.OrgCalDataType;
    return true;
}

void TakeLabelsFromHead(AppRecord* record) {
    char line[kLineByteLimit + 1];
    CollectLabelLineInMode(record->SourceText, record->SourceTextLength, record->ChStartLine,
                           record->DelimitChar, line);
    SetChannelLabels(record, line);
}

bool LongerThanTwoBytes(const char* line) {
    return line[0] != '\0' && line[1] != '\0' && line[2] != '\0';
}

// Copies a label into a row's 32-byte text: at most 31 bytes, never half of
// a double-byte character, zero-filled behind.
void CopyLabel(char* to, const char* field, int32_t length) {
    const field_cutter::ClassTables& tables = field_cutter::Tables();
    int32_t kept = 0;
    while (kept < length) {
        int32_t step =
            tables.isLead[static_cast<unsigned char>(field[kept])] && kept + 1 < length ? 2 : 1;
        if (kept + step > kPatternTextSize - 1) break;
        kept += step;
    }
    std::memcpy(to, field, static_cast<size_t>(kept));
    std::memset(to + kept, 0, static_cast<size_t>(kPatternTextSize - kept));
}

}  // namespace

extern "C" uint16_t OpenSourceFromPath(AppRecord* record, const char* path) {
    if (record == nullptr || path == nullptr) return 0;
    CloseSourceFile(record);
    size_t pathLength = std::strlen(path);
    // A path cut to fit OrgFile would name another file.
    if (pathLength >= sizeof record->OrgFile) return 0;
    std::memcpy(record->OrgFile, path, pathLength + 1);

    PlatFile file = PlatFileOpen(path, PLAT_OPEN_READ, nullptr);
    if (file == nullptr) return 0;
    char* head = static_cast<char*>(std::calloc(kSourceTextBlockSize, 1));
    int64_t textOffset = 0;
    int32_t length = head != nullptr ? ReadHead(file, head, &textOffset) : -1;
    if (length < 0) {
        std::free(head);
        PlatFileClose(file);
        return 0;
    }
    record->SourceFile = file;
    record->SourceText = head;
    record->SourceTextLength = length;
    record->SourceTextOffset = textOffset;
    record->SelectedLine = 0;
    if (ApplySelectedPreset(record)) {
        record->RecheckChannels = 1;
        TakeLabelsFromHead(record);
    }
    // OrgFileType 65535 would wrap to "closed" while the file is open.
    uint16_t open = static_cast<uint16_t>(record->OrgFileType + 1);
    record->SourceOpen = open != 0 ? open : 1;
    return record->SourceOpen;
}

extern "C" int32_t CloseSourceFile(AppRecord* record) {
    if (record == nullptr) return 0;
    if (record->SourceFile != nullptr) PlatFileClose(record->SourceFile);
    record->SourceFile = nullptr;
    std::free(record->SourceText);
    record->SourceText = nullptr;
    record->SourceTextLength = 0;
    record->SourceTextOffset = 0;
    record->SourceOpen = 0;
    record->RecheckChannels = 0;
    record->SampleRate = 200;
    record->ChannelCount = 12;
    record->RecordYear = 2000;
    record->RecordMonth = 1;
    record->RecordDay = 1;
    record->RecordHour = 0;
    record->RecordMinute = 0;
    record->RecordSecond = 0;
    return 0;
}

extern "C" int32_t ReapplySourcePreset(AppRecord* record) {
    if (record == nullptr || record->SourceText == nullptr) return 0;
    record->SelectedLine = 0;
    if (ApplySelectedPreset(record)) TakeLabelsFromHead(record);
    return 0;
}

// Lines end at CR, at LF (CR LF is one end) or after kLineByteLimit bytes.
// Only printable ASCII is kept: bytes compare as signed values, so every
// byte 0x80..0xFF is dropped with the control bytes.
extern "C" int32_t CollectLabelLine(const char* head, int32_t headLength, int32_t lineIndex,
                                    char* out) {
    return CollectLabelLineInMode(head, headLength, lineIndex, kFieldModeComma, out);
}

extern "C" int32_t CollectLabelLineInMode(const char* head, int32_t headLength, int32_t lineIndex,
                                          int32_t mode, char* out) {
    const char tab = mode == kFieldModeTab ? '\t' : ' ';
    if (out == nullptr) return -1;
    out[0] = '\0';
    if (head == nullptr || lineIndex < 0) return -1;
    int32_t line = 0;
    int32_t examined = 0;
    int32_t kept = 0;
    bool afterCr = false;
    for (int32_t i = 0; i < headLength; ++i) {
        unsigned char b = static_cast<unsigned char>(head[i]);
        bool lineEnds = false;
        if (b == '\r' || b == '\n') {
            lineEnds = !(b == '\n' && afterCr);
            afterCr = b == '\r';
            if (!lineEnds) continue;
        } else {
            afterCr = false;
            if (b == '\t')
                out[kept++] = tab;
            else if (b >= 0x20 && b < 0x80)
                out[kept++] = static_cast<char>(b);
            lineEnds = ++examined >= kLineByteLimit;
        }
        if (!lineEnds) continue;
        if (line == lineIndex) {
            out[kept] = '\0';
            return kept;
        }
        ++line;
        examined = 0;
        kept = 0;
    }
    if (line == lineIndex) {  // the label line is cut where the head ends
        out[kept] = '\0';
        return kept;
    }
    out[0] = '\0';
    return -1;
}

extern "C" void SetChannelLabels(AppRecord* record, const char* line) {
    if (record == nullptr || line == nullptr || !LongerThanTwoBytes(line)) return;
    MontagePattern* eeg = CurrentEegSlot(record);
    MontagePattern* psg = CurrentPsgSlot(record);
    int32_t count = 0;
    field_cutter::WalkLineFields(line, record->DelimitChar, record->DataLineBias,
                                 [&](const char* field, int32_t length) {
                                     if (length == 0) return true;
                                     if (eeg) CopyLabel(eeg->EegRows[count].label, field, length);
                                     if (psg) CopyLabel(psg->PsgRows[count].ChLabel, field, length);
                                     return ++count < kLineValueLimit;
                                 });
    record->ChannelCount = count;
    SwitchChannelRows(record, count);
}

extern "C" void SwitchChannelRows(AppRecord* record, int32_t count) {
    if (record == nullptr) return;
    MontagePattern* eeg = CurrentEegSlot(record);
    MontagePattern* psg = CurrentPsgSlot(record);
    for (int32_t row = 0; row < kPatternRowCount; ++row) {
        bool on = row < count;
        if (eeg) eeg->EegRows[row].SOURCE = on ? kFirstSignalKind : kTraceUnused;
        if (psg) psg->PsgRows[row].ChEnable = on ? kChannelOn : kChannelOff;
    }
}

extern "C" int32_t CountDataColumns(const AppRecord* record, const char* line) {
    if (record == nullptr || line == nullptr || !LongerThanTwoBytes(line)) return -1;
    int32_t count = 0;
    field_cutter::WalkLineFields(line, record->DelimitChar, record->DataLineBias,
                                 [&](const char*, int32_t length) {
                                     if (length > 0) ++count;
                                     return count < kLineValueLimit;
                                 });
    return count;
}
