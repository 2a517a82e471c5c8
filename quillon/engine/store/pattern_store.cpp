#include "store/pattern_store.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "store/profile_io.h"

namespace {

using profile_io::ProfileHold;
using profile_io::ReadText;
using profile_io::ReadWord;
using profile_io::WriteInt;
using profile_io::WriteText;

struct EegList {
    const char* key;
    uint16_t EegMontageRow::*field;
};

const EegList kEegLists[] = {
    {"SOURCE", &EegMontageRow::SOURCE}, {"G1", &EegMontageRow::G1},
    {"G2", &EegMontageRow::G2},         {"RECIN", &EegMontageRow::RECIN},
    {"SENS", &EegMontageRow::SENS},     {"LFF", &EegMontageRow::LFF},
    {"HFF", &EegMontageRow::HFF},       {"CAL", &EegMontageRow::CAL},
    {"SHOW", &EegMontageRow::SHOW},     {"COLOR", &EegMontageRow::COLOR},
    {"WIDTH", &EegMontageRow::WIDTH},
};

struct EegSetting {
    const char* key;
    uint16_t MontagePattern::*field;
    int32_t fallback;  // " STD  ", " 10u", " 0.5", "100 ", " 50u", off, off
};

const EegSetting kEegSettings[] = {
    {"Ref", &MontagePattern::Ref, 0},       {"ACCSens", &MontagePattern::ACCSens, 6},
    {"ACCLff", &MontagePattern::ACCLff, 4}, {"ACCHff", &MontagePattern::ACCHff, 3},
    {"ACCCal", &MontagePattern::ACCCal, 5}, {"Notch", &MontagePattern::Notch, 0},
    {"Rapid", &MontagePattern::Rapid, 0},
};

enum class Stored { AsIs, Tenfold, ZeroAsOne };

struct PsgList {
    const char* key;
    int32_t PsgChannelRow::*field;
    const char* fallback;
    Stored stored;
};

const PsgList kPsgLists[] = {
    {"ChEnable", &PsgChannelRow::ChEnable, "1,1,1,1,1,1,1,1", Stored::AsIs},
    {"Signal", &PsgChannelRow::Signal, "4,4,4,4,5,6,7,8", Stored::AsIs},
    {"Rate", &PsgChannelRow::Rate, "", Stored::AsIs},
    {"EU", &PsgChannelRow::EU, "", Stored::AsIs},
    {"VU", &PsgChannelRow::VU, "", Stored::AsIs},
    {"Sens", &PsgChannelRow::Sens, "", Stored::Tenfold},
    {"LFF", &PsgChannelRow::LFF, "", Stored::AsIs},
    {"HFF", &PsgChannelRow::HFF, "", Stored::AsIs},
    {"MAG", &PsgChannelRow::MAG, "", Stored::ZeroAsOne},
};

// The selected slots: one for 0..3, all four for a negative index.
template <class Each>
void ForSlots(int32_t index, Each each) {
    if (index < 0) {
        for (int32_t slot = 0; slot < kPatternSlotCount; ++slot) each(slot);
    } else if (index < kPatternSlotCount) {
        each(index);
    }
}

struct SectionName {
    char text[24];
};

SectionName Section(const char* kind, int32_t slot) {
    SectionName name;
    std::snprintf(name.text, sizeof name.text, "%sPattern%i", kind, static_cast<int>(slot + 1));
    return name;
}

// A numbered row's key ("ChLabel12"), made without snprintf: loading the
// patterns looks up over a thousand of them.
struct RowKeyText {
    char text[24];
};

RowKeyText RowKey(const char* stem, int row) {
    RowKeyText key;
    const size_t stemLength = std::min(std::strlen(stem), size_t{12});
    std::memcpy(key.text, stem, stemLength);
    *std::to_chars(key.text + stemLength, key.text + sizeof key.text - 1, row).ptr = '\0';
    return key;
}

// Reads a row list; returns the number of values, 0 when the key's text is 2
// characters or shorter and the rows are to stay as they are.
int32_t ReadRowList(const char* section, const char* key, const char* fallback, int32_t* values,
                    const char* path) {
    char text[kListTextLimit + 1];
    int32_t length =
        static_cast<int32_t>(ReadText(section, key, fallback, text, sizeof text, path));
    if (length <= 2) return 0;
    // A text cut by the read limit would end in half a number: drop it.
    if (length == kListTextLimit) {
        const char* lastComma = nullptr;
        for (int32_t i = length - 1; i >= 0; --i)
            if (text[i] == ',') {
                lastComma = text + i;
                break;
            }
        length = lastComma ? static_cast<int32_t>(lastComma - text) + 1 : 0;
    }
    return ParseRowList(text, length, values, kPatternRowCount);
}

// One value per row, all rows, each followed by a comma, written at once.
template <class ValueOf>
void WriteRowList(const char* section, const char* key, ValueOf valueOf, const char* path) {
    char text[kPatternRowCount * 12 + 1];
    char* out = text;
    char* const end = text + sizeof text - 1;
    for (int32_t row = 0; row < kPatternRowCount; ++row) {
        out = std::to_chars(out, end, static_cast<int32_t>(valueOf(row))).ptr;
        *out++ = ',';
    }
    *out = '\0';
    PlatWriteProfileString(section, key, text, path);
}

void LoadSharedTexts(MontagePattern& slot, const char* section, const char* path) {
    ReadText(section, "PATTERN", section, slot.name, sizeof slot.name, path);
    for (int i = 1; i <= kPatternLabelCount; ++i) {
        const RowKeyText key = RowKey("Label", i);
        const RowKeyText fallback = RowKey("Ch", i);
        ReadText(section, key.text, fallback.text, slot.labels[i - 1], kPatternTextSize, path);
    }
    for (int i = 1; i <= kPatternUnitCount; ++i) {
        const RowKeyText key = RowKey("Unit", i);
        ReadText(section, key.text, "V", slot.units[i - 1], kPatternUnitSize, path);
    }
}

void SaveSharedTexts(const MontagePattern& slot, const char* section, const char* path) {
    WriteText(section, "PATTERN", slot.name, sizeof slot.name, path);
    for (int i = 1; i <= kPatternLabelCount; ++i) {
        const RowKeyText key = RowKey("Label", i);
        WriteText(section, key.text, slot.labels[i - 1], kPatternTextSize, path);
    }
    for (int i = 1; i <= kPatternUnitCount; ++i) {
        const RowKeyText key = RowKey("Unit", i);
        WriteText(section, key.text, slot.units[i - 1], kPatternUnitSize, path);
    }
}

void LoadEegSlot(MontagePattern& slot, const char* path, const char* section) {
    LoadSharedTexts(slot, section, path);
    for (const EegSetting& setting : kEegSettings)
        slot.*setting.field = ReadWord(section, setting.key, setting.fallback, path);
    int32_t values[kPatternRowCount];
    for (const EegList& list : kEegLists) {
        int32_t count = ReadRowList(section, list.key, "", values, path);
        for (int32_t row = 0; row < count; ++row)
            slot.EegRows[row].*list.field =
                static_cast<uint16_t>(static_cast<uint32_t>(values[row]));
    }
}

void LoadPsgSlot(MontagePattern& slot, const char* path, const char* section) {
    LoadSharedTexts(slot, section, path);
    for (int row = 1; row <= kPatternRowCount; ++row) {
        const RowKeyText key = RowKey("ChLabel", row);
        const RowKeyText fallback = RowKey("Ch", row);
        ReadText(section, key.text, fallback.text, slot.PsgRows[row - 1].ChLabel, kPatternTextSize,
                 path);
    }
    for (int row = 1; row <= kPatternRowCount; ++row) {
        const RowKeyText key = RowKey("ChUnit", row);
        ReadText(section, key.text, "V", slot.PsgRows[row - 1].ChUnit, kPatternUnitSize, path);
    }
    int32_t values[kPatternRowCount];
    for (const PsgList& list : kPsgLists) {
        int32_t count = ReadRowList(section, list.key, list.fallback, values, path);
        for (int32_t row = 0; row < count; ++row) {
            int32_t value = values[row];
            if (list.stored == Stored::Tenfold)
                value = static_cast<int32_t>(static_cast<uint32_t>(value) * 10u);
            else if (list.stored == Stored::ZeroAsOne && value == 0)
                value = 1;
            slot.PsgRows[row].*list.field = value;
        }
    }
}

}  // namespace

extern "C" int32_t ParseRowList(const char* text, int32_t length, int32_t* values,
                                int32_t maxCount) {
    if (text == nullptr || values == nullptr || length <= 0 || maxCount <= 0) return 0;
    const char* end =
        static_cast<const char*>(std::memchr(text, '\0', static_cast<size_t>(length)));
    if (end == nullptr) end = text + length;
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    int32_t count = 0;
    const char* field = text;
    while (count < maxCount) {
        const char* comma =
            static_cast<const char*>(std::memchr(field, ',', static_cast<size_t>(end - field)));
        const char* fieldEnd = comma ? comma : end;
        const char* p = field;
        while (p < fieldEnd && isBlank(*p)) ++p;
        if (comma == nullptr && p == fieldEnd) break;  // nothing after the last comma
        bool negative = false;
        if (p < fieldEnd && (*p == '+' || *p == '-')) negative = *p++ == '-';
        uint64_t magnitude = 0;
        if (std::from_chars(p, fieldEnd, magnitude).ec == std::errc::result_out_of_range)
            magnitude = UINT64_MAX;
        // Beyond 32 bits: the nearest 32-bit limit.
        if (negative)
            values[count++] =
                magnitude >= 2147483648u ? INT32_MIN : -static_cast<int32_t>(magnitude);
        else
            values[count++] = magnitude > 2147483647u ? INT32_MAX : static_cast<int32_t>(magnitude);
        if (comma == nullptr) break;
        field = comma + 1;
    }
    return count;
}

extern "C" int32_t ReadPatternList(const char* section, const char* key, int32_t* values,
                                   const char* settingsPath) {
    if (section == nullptr || key == nullptr || values == nullptr || settingsPath == nullptr)
        return 0;
    return ReadRowList(section, key, "", values, settingsPath);
}

extern "C" void LoadEegPattern(AppRecord* record, const char* settingsPath, int32_t index) {
    if (record == nullptr || settingsPath == nullptr) return;
    const ProfileHold hold(settingsPath);
    ForSlots(index, [&](int32_t slot) {
        LoadEegSlot(record->PatternSlots[slot], settingsPath, Section("EEG", slot).text);
    });
}

extern "C" void LoadPsgPattern(AppRecord* record, const char* settingsPath, int32_t index) {
    if (record == nullptr || settingsPath == nullptr) return;
    const ProfileHold hold(settingsPath);
    ForSlots(index, [&](int32_t slot) {
        LoadPsgSlot(record->PatternSlots[slot], settingsPath, Section("PSG", slot).text);
    });
}

extern "C" void SaveEegPattern(const AppRecord* record, const char* settingsPath, int32_t index) {
    if (record == nullptr || settingsPath == nullptr) return;
    const ProfileHold hold(settingsPath);
    ForSlots(index, [&](int32_t slot) {
        const MontagePattern& pattern = record->PatternSlots[slot];
        const SectionName section = Section("EEG", slot);
        SaveSharedTexts(pattern, section.text, settingsPath);
        for (const EegSetting& setting : kEegSettings)
            WriteInt(section.text, setting.key, pattern.*setting.field, settingsPath);
        for (const EegList& list : kEegLists)
            WriteRowList(
                section.text, list.key,
                [&](int32_t row) { return pattern.EegRows[row].*list.field; }, settingsPath);
    });
}

extern "C" void SavePsgPattern(const AppRecord* record, const char* settingsPath, int32_t index) {
    if (record == nullptr || settingsPath == nullptr) return;
    const ProfileHold hold(settingsPath);
    ForSlots(index, [&](int32_t slot) {
        const MontagePattern& pattern = record->PatternSlots[slot];
        const SectionName section = Section("PSG", slot);
        SaveSharedTexts(pattern, section.text, settingsPath);
        for (int row = 1; row <= kPatternRowCount; ++row) {
            const RowKeyText key = RowKey("ChLabel", row);
            WriteText(section.text, key.text, pattern.PsgRows[row - 1].ChLabel, kPatternTextSize,
                      settingsPath);
        }
        for (int row = 1; row <= kPatternRowCount; ++row) {
            const RowKeyText key = RowKey("ChUnit", row);
            WriteText(section.text, key.text, pattern.PsgRows[row - 1].ChUnit, kPatternUnitSize,
                      settingsPath);
        }
        for (const PsgList& list : kPsgLists)
            WriteRowList(
                section.text, list.key,
                [&](int32_t row) {
                    int32_t value = pattern.PsgRows[row].*list.field;
                    return list.stored == Stored::Tenfold ? value / 10 : value;
                },
                settingsPath);
    });
}

extern "C" void SetPsgRowDefaults(AppRecord* record) {
    if (record == nullptr) return;
    for (MontagePattern& slot : record->PatternSlots) {
        for (PsgChannelRow& row : slot.PsgRows) {
            row.Rate = 1;
            row.EU = 50;
            row.VU = 409;
            row.Sens = 50000;
            row.LFF = 500;
            row.HFF = 100;
        }
    }
}
