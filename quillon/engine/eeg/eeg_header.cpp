#include "eeg/eeg_header.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "eeg/eeg_montage_items.h"
#include "eeg/output_volume.h"
#include "platform.h"
#include "store/output_files.h"

namespace {

// Created new: a name taken by anything, a link too, is refused untouched.
constexpr uint32_t kClaimReadWrite = KAVF_OPEN_CREATE | KAVF_OPEN_CREATE_NEW | KAVF_OPEN_READWRITE;
constexpr uint32_t kFileBufferBytes = 0x2000;
constexpr uint32_t kEventListLength = 400;
constexpr uint32_t kRecordTextCount = 20;
constexpr uint32_t kBlankTextCount = 20;
constexpr uint32_t kEventNameCount = 20;
constexpr uint32_t kRevisionLongs = 66;
constexpr uint32_t kRevisionBlockBytes = 520;
constexpr uint16_t kWordsPerZeroArray = 5120;
constexpr uint16_t kWordsOfItemB7 = 6564;
constexpr uint16_t kRecordStartWords = 6;
constexpr uint16_t kTimeLongs = 32;

// Copies text (at most textSize bytes, ending at a zero) into an element's
// room, zero-filled behind. A double-byte character the room would split is
// left out whole rather than stored as a lone lead byte.
void SetElement(KavfTextElement* element, uint16_t words, uint16_t length, const char* text,
                size_t textSize) {
    std::memset(element, 0, sizeof *element);
    element->words = words;
    element->length = length;
    const size_t room = EegElementRoom(words);
    size_t available = 0;
    while (available < textSize && text[available] != '\0') ++available;
    size_t kept = 0;
    while (kept < available) {
        bool pair = PlatIsLeadByte932(static_cast<uint8_t>(text[kept])) && kept + 1 < available;
        size_t step = pair ? 2 : 1;
        if (kept + step > room) break;
        kept += step;
    }
    std::memcpy(element->text, text, kept);
}

template <size_t N>
void SetElement(KavfTextElement* element, uint16_t words, uint16_t length, const char (&text)[N]) {
    SetElement(element, words, length, text, N);
}

void WriteRecordTexts(KAVFHANDLE handle, const AppRecord* record) {
    const PatientInfo& patient = record->PatientInfo;
    std::vector<KavfTextElement> list(kRecordTextCount);
    char text[32];
    std::snprintf(text, sizeof text, "%02i00", static_cast<int>(record->ChannelCount));
    SetElement(&list[0], 4, 4, text);
    int rateLength = std::snprintf(text, sizeof text, "%i", static_cast<int>(record->SampleRate));
    SetElement(&list[1], 4, static_cast<uint16_t>(rateLength), text);
    SetElement(&list[2], 4, 2, "16");
    SetElement(&list[3], 4, 4, patient.VolumeModel);
    int year = record->RecordYear < 2000 ? record->RecordYear - 1900 : record->RecordYear - 2000;
    std::snprintf(text, sizeof text, " %02i/%02i/%02i", year, static_cast<int>(record->RecordMonth),
                  static_cast<int>(record->RecordDay));
    SetElement(&list[4], 8, 9, text);
    FormatEegFileName(record->EEGFileNo, text, sizeof text);
    SetElement(&list[5], 6, 8, text);
    SetElement(&list[6], 8, 11, patient.DiskId);
    SetElement(&list[7], kEegPatientIdWords, 10, patient.PatientId);
    SetElement(&list[8], kEegSexWords, 1, patient.Sex);
    SetElement(&list[9], kEegNameWords, 20, patient.Name1);
    SetElement(&list[10], kEegNameWords, 20, patient.Name2);
    SetElement(&list[11], 8, 9, "");
    SetElement(&list[12], 6, 6, "");
    SetElement(&list[13], kEegDepartmentWords, 20, patient.Department);
    SetElement(&list[14], 12, 20, "");
    const char* const comments[5] = {patient.Comment1, patient.Comment2, patient.Comment3,
                                     patient.Comment4, patient.Comment5};
    for (int i = 0; i < 5; ++i)
        SetElement(&list[15 + i], kEegCommentWords, 20, comments[i], sizeof patient.Comment1);
    CreateKavfTextInfo(handle, 0x80, kRecordTextCount, list.data());
}

void WriteBlankTexts(KAVFHANDLE handle) {
    std::vector<KavfTextElement> list(kBlankTextCount);
    char blanks[41];
    std::memset(blanks, ' ', 40);
    blanks[40] = '\0';
    for (KavfTextElement& element : list) SetElement(&element, 22, 40, blanks);
    CreateKavfTextInfo(handle, 0xAC, kBlankTextCount, list.data());
}

void WriteEventNames(KAVFHANDLE handle, uint32_t id) {
    std::vector<KavfTextElement> list(kEventNameCount);
    char name[16];
    for (uint32_t k = 0; k < kEventNameCount; ++k) {
        std::snprintf(name, sizeof name, "Event%u", static_cast<unsigned>(k + 1));
        SetElement(&list[k], 12, 20, name);
    }
    CreateKavfTextInfo(handle, id, kEventNameCount, list.data());
}

void WriteRecordStart(KAVFHANDLE handle, uint32_t id, const AppRecord* record) {
    const uint16_t start[kRecordStartWords] = {
        static_cast<uint16_t>(record->RecordYear),   static_cast<uint16_t>(record->RecordMonth - 1),
        static_cast<uint16_t>(record->RecordDay),    static_cast<uint16_t>(record->RecordHour),
        static_cast<uint16_t>(record->RecordMinute), static_cast<uint16_t>(record->RecordSecond)};
    CreateKavfWordInfo(handle, KAVF_MODE_NATIVE, id, kRecordStartWords, start);
}

void WriteWords(KAVFHANDLE handle, uint32_t id, std::initializer_list<uint16_t> values) {
    std::vector<uint16_t> words(values);
    CreateKavfWordInfo(handle, KAVF_MODE_NATIVE, id, static_cast<uint32_t>(words.size()),
                       words.data());
}

void WriteRevisionBlock(KAVFHANDLE handle) {
    std::vector<uint32_t> zeros(kRevisionBlockBytes / sizeof(uint32_t), 0);
    CreateKavfLongInfo(handle, KAVF_MODE_NATIVE, 0xB6, kRevisionLongs, zeros.data());
}

void WriteWaveDescription(KAVFHANDLE handle, const AppRecord* record) {
    KavfWaveInfo info;
    std::memset(&info, 0, sizeof info);
    info.type = KAVF_WAVE_EVENT;
    info.interval =
        record->SampleRate > 0 ? 1000000u / static_cast<uint32_t>(record->SampleRate) : 0;
    info.bits = 16;
    info.channels = static_cast<uint16_t>(record->ChannelCount);
    CreateKavfWaveInfo(handle, 0xA0, &info);
}

void WriteEventList(KAVFHANDLE handle, const AppRecord* record, uint32_t id) {
    if (id == 0xD2) {
        std::vector<uint16_t> codes(kEventListLength, 0);
        codes[0] = kEventFirst;
        codes[1] = kEventSecond;
        codes[2] = kEventThird;
        codes[3] = kEventEnd;
        CreateKavfWordInfo(handle, KAVF_MODE_NATIVE, id, kEventListLength, codes.data());
        return;
    }
    std::vector<uint32_t> frames(kEventListLength, 0);
    frames[0] = 1;
    frames[1] = 2;
    frames[2] = 3;
    // The end mark stands on the last frame; an empty wave has none to name.
    frames[3] = record->FramesDone > 0 ? record->FramesDone - 1 : 0;
    CreateKavfLongInfo(handle, KAVF_MODE_NATIVE, id, kEventListLength, frames.data());
}

// Mains code of item 0x93: 1 for 60 Hz, else 0.
uint16_t MainsCode(int32_t notchFreq) { return notchFreq == kNotch60Hz ? 1 : 0; }

// Writes the item; false for an id this header does not know.
bool WriteItem(KAVFHANDLE handle, AppRecord* record, uint32_t item) {
    switch (item) {
        case 0: return true;
        case 0x80: WriteRecordTexts(handle, record); return true;
        case 0x81:
        case 0x82:
        case 0x83:
        case 0x84: CreateKavfWordInfo(handle, 0, item, kWordsPerZeroArray, nullptr); return true;
        case 0xB7: CreateKavfWordInfo(handle, 0, item, kWordsOfItemB7, nullptr); return true;
        case 0xAC: WriteBlankTexts(handle); return true;
        case 0xB6: WriteRevisionBlock(handle); return true;
        case 0x86:
        case 0x87: WriteRecordStart(handle, item, record); return true;
        case 0x88:
            CreateKavfLongInfo(handle, KAVF_MODE_NATIVE, item, kTimeLongs, nullptr);
            return true;
        case 0x89:
        case 0xB3: WriteEventNames(handle, item); return true;
        case 0x8A: WriteWords(handle, item, {36, 0}); return true;
        case 0x91: WriteWords(handle, item, {EegPatternOf(record).Rapid}); return true;
        case 0x92: WriteWords(handle, item, {EegPatternOf(record).Ref}); return true;
        case 0x93:
            WriteWords(handle, item, {EegPatternOf(record).Notch, MainsCode(record->NotchFreq)});
            return true;
        case 0x94: WriteWords(handle, item, {0, 0, 0, 0}); return true;
        case 0x8B:
        case 0x8D:
        case 0xB0:
        case 0x8E:
        case 0x8F:
            WriteMontageItem(handle, EegPatternOf(record), EegMontageTraceCount(record), item);
            return true;
        case 0xA0: WriteWaveDescription(handle, record); return true;
        case 0xD2:
        case 0xD3: WriteEventList(handle, record, item); return true;
        default: return false;
    }
}

struct HeaderStep {
    int32_t step;
    uint32_t group;
    uint32_t item;
};

// Groups 1 to 3 in the order the file holds them.
const HeaderStep kLeadingGroups[] = {
    {kGroupStartThenItem, 1, 0x80}, {kItemOnly, 1, 0xB7},           {kItemOnly, 1, 0x81},
    {kItemOnly, 1, 0x82},           {kItemOnly, 1, 0x83},           {kItemOnly, 1, 0x84},
    {kItemOnly, 1, 0xAC},           {kItemThenGroupEnd, 1, 0xB6},   {kGroupStartThenItem, 2, 0x86},
    {kItemOnly, 2, 0x87},           {kItemOnly, 2, 0x88},           {kItemOnly, 2, 0x89},
    {kItemThenGroupEnd, 2, 0xB3},   {kGroupStartThenItem, 3, 0x8A}, {kItemOnly, 3, 0x91},
    {kItemOnly, 3, 0x92},           {kItemOnly, 3, 0x93},           {kItemOnly, 3, 0x94},
    {kItemThenGroupEnd, 3, 0},
};

bool SameAsciiText(const char* a, const char* b) {
    for (;; ++a, ++b) {
        char x = *a >= 'a' && *a <= 'z' ? static_cast<char>(*a - 32) : *a;
        char y = *b >= 'a' && *b <= 'z' ? static_cast<char>(*b - 32) : *b;
        if (x != y) return false;
        if (x == '\0') return true;
    }
}

constexpr uint32_t kFirstMontageGroup = 4;
constexpr uint32_t kLastMontageGroup = 39;

}  // namespace

extern "C" int32_t WriteHeaderItem(KAVFHANDLE handle, AppRecord* record, int32_t step,
                                   uint32_t group, uint32_t item) {
    if (record == nullptr) return kHeaderUnknownItem;
    if (step == kGroupStartThenItem && CreateKavfGroupStart(handle, group, 0) == 0)
        return kHeaderGroupStartFailed;
    bool known = true;
    try {
        known = WriteItem(handle, record, item);
    } catch (const std::bad_alloc&) {
        // The item is missing, as when the library cannot write it.
    }
    if (!known) return kHeaderUnknownItem;
    if (step == kItemThenGroupEnd && CreateKavfGroupEnd(handle, group) == 0)
        return kHeaderGroupEndFailed;
    return kHeaderItemWritten;
}

extern "C" KAVFHANDLE CreateEegOutput(AppRecord* record, const char* path) {
    if (record == nullptr || path == nullptr) return 0;
    size_t pathLength = std::strlen(path);
    if (pathLength >= sizeof record->OutputPath) return 0;
    KAVFHANDLE handle = ClaimEegFile(path);
    if (handle == 0) return 0;
    std::memcpy(record->OutputPath, path, pathLength + 1);
    if (record->CopyFileType == kOutputEegFiling32)
        CreateKavfIndexInfo(handle, "KAVF", kEegGroupCount, 1, "EEG FILING32");
    else if (record->CopyFileType == kOutputEegFiling24)
        CreateKavfIndexInfo(handle, "KAVF", kEegGroupCount, 1, "EEG FILING24");
    for (const HeaderStep& entry : kLeadingGroups)
        WriteHeaderItem(handle, record, entry.step, entry.group, entry.item);
    for (uint32_t group = kFirstMontageGroup; group <= kLastMontageGroup; ++group) {
        WriteHeaderItem(handle, record, kGroupStartThenItem, group, 0x8B);
        WriteHeaderItem(handle, record, kItemOnly, group, 0x8D);
        if (record->CopyFileType == kOutputEegFiling32)
            WriteHeaderItem(handle, record, kItemOnly, group, 0xB0);
        WriteHeaderItem(handle, record, kItemOnly, group, 0x8E);
        WriteHeaderItem(handle, record, kItemThenGroupEnd, group, 0x8F);
    }
    WriteHeaderItem(handle, record, kGroupStartThenItem, kEegWaveGroup, 0xA0);
    record->WaveFrameLimit =
        EegWaveFrameLimit(GetKavfInfo(handle, KAVF_INFO_DATA_POSITION),
                          2u + 2u * static_cast<uint32_t>(record->ChannelCount));
    return handle;
}

extern "C" KAVFHANDLE ClaimEegFile(const char* path) {
    return path != nullptr ? OpenKavfile(path, kClaimReadWrite, kFileBufferBytes) : 0;
}

extern "C" int32_t WriteEegReference(AppRecord* record, KAVFHANDLE handle) {
    if (record == nullptr) return 0;
    const bool written =
        CreateKavfIndexInfo(handle, "KAVT", 1, 1, "EEG FILING") != 0 &&
        WriteHeaderItem(handle, record, kGroupStartThenItem, 1, 0xD2) == kHeaderItemWritten &&
        WriteHeaderItem(handle, record, kItemThenGroupEnd, 1, 0xD3) == kHeaderItemWritten;
    // The system's reason, taken before anything else can replace it.
    if (!written) KeepFailureReason(record->RunErrorText, sizeof record->RunErrorText);
    return written ? 1 : 0;
}

extern "C" KAVFHANDLE CreateEegReference(AppRecord* record, const char* path) {
    if (record == nullptr || path == nullptr) return 0;
    KAVFHANDLE handle = ClaimEegFile(path);
    if (handle != 0 && WriteEegReference(record, handle) == 0) handle = CloseKavfile(handle);
    return handle;
}

extern "C" int32_t MakeEegReferencePath(const char* dataPath, char* out, size_t size) {
    if (dataPath == nullptr || out == nullptr || size == 0) return 0;
    out[0] = '\0';
    const size_t length = std::strlen(dataPath);
    // Only a dot of the file name counts, not one of a folder.
    size_t nameStart = 0;
    for (size_t i = 0; i < length; ++i)
        if (dataPath[i] == '/' || dataPath[i] == PlatPathSeparator()) nameStart = i + 1;
    size_t stem = length;
    for (size_t i = length; i > nameStart + 1; --i)
        if (dataPath[i - 1] == '.') {
            stem = i - 1;
            break;
        }
    int n = std::snprintf(out, size, "%.*s.REF", static_cast<int>(stem), dataPath);
    // A data file named "X.REF": keep the two files apart (names may not
    // tell case apart).
    if (n >= 0 && static_cast<size_t>(n) < size && SameAsciiText(out, dataPath))
        n = std::snprintf(out, size, "%s.REF", dataPath);
    if (n < 0 || static_cast<size_t>(n) >= size) {
        out[0] = '\0';
        return 0;
    }
    return 1;
}

extern "C" uint32_t EegMontageTraceCount(const AppRecord* record) {
    uint32_t channels = record->ChannelCount > 0 ? static_cast<uint32_t>(record->ChannelCount) : 0;
    return channels <= kEegMontageTraceMinimum ? kEegMontageTraceMinimum : channels;
}

extern "C" uint32_t EegWaveFrameLimit(uint32_t dataPosition, uint32_t frameBytes) {
    if (frameBytes == 0) return 0;
    const uint64_t byOffsets = (uint64_t{0xFFFFFFFFu} - dataPosition) / frameBytes;
    const uint64_t byFrameNumbers = 0x7FFFFFFFu;
    return static_cast<uint32_t>(byOffsets < byFrameNumbers ? byOffsets : byFrameNumbers);
}
