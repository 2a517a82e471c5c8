#include <gtest/gtest.h>

#include <string>

#include "pages/patient_page.h"
#include "scratch_files.h"

namespace {

std::string Height(PatientInfo* patient, const char* typed, int32_t* taken) {
    *taken = TakeTypedHeight(patient, typed);
    char shown[kMeasureTextSize];
    FormatHeight(patient, shown, sizeof shown);
    return shown;
}

TEST(Measures, HeightRoundsToTenthsAndRefusesOutOfRange) {
    PatientInfo patient = {};
    patient.Height = 1600;
    int32_t taken = 0;
    EXPECT_EQ(Height(&patient, "170.26", &taken), "170.3");
    EXPECT_EQ(taken, 1);
    EXPECT_EQ(patient.Height, 1703);
    EXPECT_EQ(Height(&patient, "170.04", &taken), "170.0");
    EXPECT_EQ(patient.Height, 1700);
    EXPECT_EQ(Height(&patient, "49.9", &taken), "170.0");
    EXPECT_EQ(taken, 0);
    EXPECT_EQ(Height(&patient, "220.0", &taken), "220.0");
    EXPECT_EQ(Height(&patient, "abc", &taken), "220.0");
    EXPECT_EQ(taken, 0);
}

TEST(Measures, WeightInGrams) {
    PatientInfo patient = {};
    EXPECT_EQ(TakeTypedWeight(&patient, "65.5"), 1);
    EXPECT_EQ(patient.Weight, 65500);
    EXPECT_EQ(TakeTypedWeight(&patient, "4.9"), 0);
    EXPECT_EQ(TakeTypedWeight(&patient, "300.1"), 0);
    char shown[kMeasureTextSize];
    FormatWeight(&patient, shown, sizeof shown);
    EXPECT_STREQ(shown, "65.5");
}

TEST(ListIndexes, OutsideTheListSelectNothing) {
    EXPECT_EQ(ListIndexOfValue(1899, kBirthYearFirst, kBirthYearCount), -1);
    EXPECT_EQ(ListIndexOfValue(1975, kBirthYearFirst, kBirthYearCount), 75);
    EXPECT_EQ(ListIndexOfValue(2030, kBirthYearFirst, kBirthYearCount), -1);
    EXPECT_EQ(ListIndexOfValue(12, 1, 12), 11);
    EXPECT_EQ(SexEntryIndex("F"), 2);
    EXPECT_EQ(SexEntryIndex("f"), -1);
}

TEST(FieldText, KeepsWidthLessOneAndNeverHalfACharacter) {
    char field[4];
    CopyFieldText(field, sizeof field, "abcdef");
    EXPECT_STREQ(field, "abc");
    CopyFieldText(field, sizeof field, "a\x8E\x52\x93\x63");  // a山田
    EXPECT_STREQ(field, "a\x8E\x52");
    CopyFieldText(field, sizeof field, "ab\x8E\x52");
    EXPECT_STREQ(field, "ab");
}

TEST(NameLists, StopAtTheFirstMissingKey) {
    ScratchFolder folder;
    const std::string path = folder.File("PATIENT.INF");
    WriteBytes(path, "[DEPARMENT]\r\n0=Neurology\r\n1=\x93\xE0\x89\xC8\r\n3=Hidden\r\n");
    NameList list;
    ReadNameList(path.c_str(), kDepartmentListSection, &list);
    ASSERT_EQ(list.count, 2);
    EXPECT_STREQ(list.names[1], "\x93\xE0\x89\xC8");  // 内科
    ReadNameList(folder.File("missing.inf").c_str(), kReaderListSection, &list);
    EXPECT_EQ(list.count, 0);
}

}  // namespace
