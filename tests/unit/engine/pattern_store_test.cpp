#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "store/pattern_store.h"
#include "scratch_files.h"
#include "montage/value_tables.h"

namespace {

struct SettingsFile {
    ScratchFolder folder;
    std::string path = folder.File("QUILLON.INI");
    const char* c_str() const { return path.c_str(); }
};

std::string Repeat(const std::string& item, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += item;
    return text;
}

std::string Value(const SettingsFile& file, const char* section, const char* key) {
    char text[4096];
    PlatProfileString(section, key, "<absent>", text, sizeof text, file.c_str());
    return text;
}

std::vector<int32_t> Parse(const std::string& text, int32_t maxCount = 256) {
    int32_t values[256];
    int32_t count = ParseRowList(text.data(), static_cast<int32_t>(text.size()), values, maxCount);
    return std::vector<int32_t>(values, values + count);
}

TEST(RowLists, ParseLikeTheSettingsFileWritesThem) {
    using V = std::vector<int32_t>;
    EXPECT_EQ(Parse("10,20,30,"), (V{10, 20, 30}));
    EXPECT_EQ(Parse("1,,3,"), (V{1, 0, 3}));
    EXPECT_EQ(Parse(" 7 , -2"), (V{7, -2}));
    EXPECT_EQ(Parse("1,2, "), (V{1, 2}));
    EXPECT_EQ(Parse("99999999999,-99999999999,x,"), (V{2147483647, -2147483647 - 1, 0}));
    EXPECT_EQ(Parse("1,2,3,4,", 2), (V{1, 2}));
    EXPECT_EQ(Parse(std::string("5,6\0,7,", 7)), (V{5, 6}));
}

TEST(EegPattern, AMissingSectionGivesTheDefaultsAndKeepsTheRows) {
    SettingsFile file;
    RecordPtr record = ZeroRecord();
    record->PatternSlots[0].EegRows[4].SENS = 12;
    LoadEegPattern(record.get(), file.c_str(), 0);
    const MontagePattern& slot = record->PatternSlots[0];
    EXPECT_STREQ(slot.name, "EEGPattern1");
    EXPECT_STREQ(slot.labels[0], "Ch1");
    EXPECT_STREQ(slot.labels[19], "Ch20");
    EXPECT_STREQ(slot.units[7], "V");
    EXPECT_EQ(std::memcmp(ReferenceNames[slot.Ref], " STD  ", 7), 0);
    EXPECT_EQ(std::memcmp(SensitivityNames[slot.ACCSens], " 10u", 5), 0);
    EXPECT_EQ(std::memcmp(LowFilterNames[slot.ACCLff], " 0.5", 5), 0);
    EXPECT_EQ(std::memcmp(HighFilterNames[slot.ACCHff], "100 ", 5), 0);
    EXPECT_EQ(std::memcmp(CalibrationNames[slot.ACCCal], " 50u", 5), 0);
    EXPECT_EQ(slot.Notch, 0);
    EXPECT_EQ(slot.Rapid, 0);
    EXPECT_EQ(slot.EegRows[4].SENS, 12);
}

TEST(PsgPattern, MissingOnOffAndSignalListsTurnTheFirstEightRowsOn) {
    SettingsFile file;
    WriteBytes(file.path, "[PSGPattern1]\r\nPATTERN=Night\r\n");
    RecordPtr record = ZeroRecord();
    for (PsgChannelRow& row : record->PatternSlots[0].PsgRows) row.Signal = 9;
    LoadPsgPattern(record.get(), file.c_str(), 0);
    const MontagePattern& slot = record->PatternSlots[0];
    EXPECT_STREQ(slot.name, "Night");
    const int32_t signals[8] = {4, 4, 4, 4, 5, 6, 7, 8};
    for (int row = 0; row < 8; ++row) {
        EXPECT_EQ(slot.PsgRows[row].ChEnable, 1);
        EXPECT_EQ(slot.PsgRows[row].Signal, signals[row]);
    }
    EXPECT_EQ(slot.PsgRows[8].ChEnable, 0);
    EXPECT_EQ(slot.PsgRows[8].Signal, 9);
}

TEST(PsgPattern, SensitivityIsStoredInTenthsAndMagnificationZeroReadsAsOne) {
    SettingsFile file;
    WriteBytes(file.path, "[PSGPattern1]\r\nSens=5000,\r\nMAG=0,10\r\nEU=7,\r\nHFF=3\r\n");
    RecordPtr record = ZeroRecord();
    record->PatternSlots[0].PsgRows[0].EU = 11;
    record->PatternSlots[0].PsgRows[0].HFF = 12;
    LoadPsgPattern(record.get(), file.c_str(), 0);
    const MontagePattern& slot = record->PatternSlots[0];
    EXPECT_EQ(slot.PsgRows[0].Sens, 50000);
    EXPECT_EQ(slot.PsgRows[0].MAG, 1);
    EXPECT_EQ(slot.PsgRows[1].MAG, 10);
    EXPECT_EQ(slot.PsgRows[0].EU, 11);   // "7," is too short to be a list
    EXPECT_EQ(slot.PsgRows[0].HFF, 12);  // and so is "3"

    SavePsgPattern(record.get(), file.c_str(), 0);
    EXPECT_EQ(Value(file, "PSGPattern1", "Sens"), "5000," + Repeat("0,", 255));
    EXPECT_EQ(Value(file, "PSGPattern1", "MAG"), "1,10," + Repeat("0,", 254));
}

TEST(EegPattern, SavesEveryRowOfEveryListWithItsComma) {
    SettingsFile file;
    RecordPtr record = ZeroRecord();
    MontagePattern& slot = record->PatternSlots[1];
    std::strcpy(slot.name, "Clinic");
    slot.ACCCal = 14;
    slot.EegRows[0].WIDTH = 65535;
    slot.EegRows[255].WIDTH = 120;
    SaveEegPattern(record.get(), file.c_str(), 1);
    EXPECT_EQ(Value(file, "EEGPattern2", "PATTERN"), "Clinic");
    EXPECT_EQ(Value(file, "EEGPattern2", "Label20"), "");
    EXPECT_EQ(Value(file, "EEGPattern2", "ACCCal"), "14");
    EXPECT_EQ(Value(file, "EEGPattern2", "WIDTH"), "65535," + Repeat("0,", 254) + "120,");
    EXPECT_EQ(Value(file, "EEGPattern2", "SOURCE"), Repeat("0,", 256));
    EXPECT_EQ(Value(file, "EEGPattern1", "PATTERN"), "<absent>");
}

TEST(Patterns, OneIndexTouchesOneSlotAndANegativeOneAllFour) {
    SettingsFile file;
    WriteBytes(file.path, "[EEGPattern3]\r\nPATTERN=Third\r\nSHOW=1,1,1,\r\n");
    RecordPtr record = ZeroRecord();
    for (MontagePattern& slot : record->PatternSlots) std::strcpy(slot.name, "kept");
    LoadEegPattern(record.get(), file.c_str(), 2);
    EXPECT_STREQ(record->PatternSlots[2].name, "Third");
    EXPECT_EQ(record->PatternSlots[2].EegRows[2].SHOW, 1);
    EXPECT_STREQ(record->PatternSlots[1].name, "kept");
    EXPECT_STREQ(record->PatternSlots[3].name, "kept");
    LoadEegPattern(record.get(), file.c_str(), 4);
    EXPECT_STREQ(record->PatternSlots[3].name, "kept");

    SaveEegPattern(record.get(), file.c_str(), -1);
    EXPECT_EQ(Value(file, "EEGPattern1", "PATTERN"), "kept");
    EXPECT_EQ(Value(file, "EEGPattern3", "PATTERN"), "Third");
    EXPECT_EQ(Value(file, "EEGPattern4", "PATTERN"), "kept");
}

TEST(Patterns, AListCutByTheReadLimitLosesOnlyItsBrokenLastValue) {
    SettingsFile file;
    // 300 values of 9 characters: the first 2000 characters hold 222 whole
    // ones and "12" of the next.
    WriteBytes(file.path, "[PSGPattern1]\r\nEU=" + Repeat("12345678,", 300) + "\r\n");
    RecordPtr record = ZeroRecord();
    for (PsgChannelRow& row : record->PatternSlots[0].PsgRows) row.EU = -1;
    LoadPsgPattern(record.get(), file.c_str(), 0);
    EXPECT_EQ(record->PatternSlots[0].PsgRows[221].EU, 12345678);
    EXPECT_EQ(record->PatternSlots[0].PsgRows[222].EU, -1);
}

TEST(ValueTables, HoldEightByteEntriesAndTheirValues) {
    EXPECT_EQ(std::memcmp(ReferenceNames[4], "A1<>A2\0\0", 8), 0);
    EXPECT_EQ(std::memcmp(SensitivityNames[AccIndex], " ACC\0\0\0\0", 8), 0);
    EXPECT_EQ(std::memcmp(CalibrationNames[14], " 50m\0\0\0\0", 8), 0);
    EXPECT_EQ(
        std::make_tuple(SensitivityValues(3), SensitivityValues(AccIndex), SensitivityValues(65535),
                        CalibrationValues(14), CalibrationValues(15)),
        std::make_tuple(3.333f, 0.0f, 0.0f, 50000.0f, 0.0f));
}

}  // namespace
