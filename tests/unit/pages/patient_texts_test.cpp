#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "pages/patient_page.h"
#include "pages/patient_texts.h"
#include "pages/source_open.h"
#include "scratch_files.h"

namespace {

// "あ" in code page 932: two bytes.
const std::string kWide = "\x82\xA0";

std::string Repeat(const std::string& piece, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += piece;
    return out;
}

TEST(PatientTexts, LimitsAreTheRecordFieldsInBytes) {
    EXPECT_EQ(PatientTextLimit(kPatientIdText), 19);
    EXPECT_EQ(PatientTextLimit(kName1Text), 31);
    EXPECT_EQ(PatientTextLimit(kDepartmentText), 39);
    EXPECT_EQ(PatientTextLimit(kComment5Text), 127);
    EXPECT_EQ(PatientTextLimit(kPatientTextCount), 0);
    EXPECT_EQ(PatientTextEegBytes(kPatientIdText), 12);
    EXPECT_EQ(PatientTextEegBytes(kComment1Text), 20);
    EXPECT_EQ(PatientTextEegBytes(kMedicationText), 0);
    EXPECT_EQ(PatientTextPsgBytes(kComment1Text), 128);
}

TEST(PatientTexts, CommentLongerThanTheEegElementIsWarnedWithItsKeptCharacters) {
    // 95 double-byte characters: the record holds 63 of them.
    const std::string comment = Repeat(kWide, 95);
    const PatientTextKeep keep = PatientTextKeptBy(kComment1Text, comment.c_str());
    EXPECT_EQ(keep.warning, kKeepLessInEeg);
    EXPECT_EQ(keep.eegChars, 10);
    EXPECT_EQ(keep.psgChars, 63);

    const std::string fits = Repeat(kWide, 10);
    EXPECT_EQ(PatientTextKeptBy(kComment1Text, fits.c_str()).warning, kKeepWhole);
    const std::string oneMore = fits + "a";
    const PatientTextKeep over = PatientTextKeptBy(kComment1Text, oneMore.c_str());
    EXPECT_EQ(over.warning, kKeepLessInEeg);
    EXPECT_EQ(over.eegChars, 10);
}

TEST(PatientTexts, ElementRoomNeverSplitsACharacter) {
    // 11 single bytes then a double-byte one: 12 bytes would split it.
    const std::string id = "12345678901" + kWide;
    const PatientTextKeep keep = PatientTextKeptBy(kPatientIdText, id.c_str());
    EXPECT_EQ(keep.warning, kKeepLessInEeg);
    EXPECT_EQ(keep.eegChars, 11);
    EXPECT_EQ(keep.psgChars, 12);
    EXPECT_EQ(Cp932CharsWithin(id.c_str(), 13), 12);
}

TEST(PatientTexts, TextsAnOutputNeverWritesAreNotWarnedAbout) {
    const std::string medication = Repeat("m", 79);
    const PatientTextKeep keep = PatientTextKeptBy(kMedicationText, medication.c_str());
    EXPECT_EQ(keep.warning, kKeepWhole);
    EXPECT_EQ(keep.eegChars, 0);
    EXPECT_EQ(PatientTextKeptBy(kReaderText, "").warning, kKeepWhole);
    EXPECT_EQ(PatientTextKeptBy(-1, "x").warning, kKeepWhole);
}

TEST(NewPatient, ClearsThePatientKeepsTheSiteAndSeesEntries) {
    PatientInfo patient = {};
    std::snprintf(patient.Hospital, sizeof patient.Hospital, "Sleep Center");
    std::snprintf(patient.Technician, sizeof patient.Technician, "Tanaka");
    std::snprintf(patient.DiskId, sizeof patient.DiskId, "D0001");
    std::snprintf(patient.Name1, sizeof patient.Name1, "Yamada");
    std::snprintf(patient.Comment3, sizeof patient.Comment3, "sleepy");
    patient.AgeYear = 61;
    EXPECT_EQ(PatientHoldsEntries(&patient), 1);
    ClearPatientForNext(&patient);
    EXPECT_STREQ(patient.Name1, "");
    EXPECT_STREQ(patient.Comment3, "");
    EXPECT_STREQ(patient.Sex, "0");
    EXPECT_EQ(patient.AgeYear, 25);
    EXPECT_STREQ(patient.Hospital, "Sleep Center");
    EXPECT_STREQ(patient.Technician, "Tanaka");
    EXPECT_STREQ(patient.DiskId, "D0001");
    EXPECT_EQ(PatientHoldsEntries(&patient), 0);
    // An emptied field leaves bytes behind its end: still nothing to lose.
    patient.Comment1[1] = 'x';
    EXPECT_EQ(PatientHoldsEntries(&patient), 0);
    patient.Height = 1701;
    EXPECT_EQ(PatientHoldsEntries(&patient), 1);
}

class SourceOpen : public ::testing::Test {
protected:
    ScratchFolder folder;
    RecordPtr record = ZeroRecord();
    std::string first = folder.File("first.txt");

    void SetUp() override {
        WriteBytes(first, "Fp1 Fp2\n1 2\n");
        uint16_t opened = 0;
        ASSERT_EQ(OpenSourceKeepingOld(record.get(), first.c_str(), &opened), kSourceOpened);
        ASSERT_NE(opened, 0);
    }

    void ExpectFirstStillOpen() {
        EXPECT_NE(record->SourceOpen, 0);
        EXPECT_EQ(std::string(record->OrgFile), first);
        ASSERT_NE(record->SourceText, nullptr);
        EXPECT_EQ(std::string(record->SourceText), "Fp1 Fp2\n1 2\n");
    }
};

TEST_F(SourceOpen, RefusedPathsLeaveTheOpenSource) {
    uint16_t opened = 7;
    EXPECT_EQ(OpenSourceKeepingOld(record.get(), folder.Path().c_str(), &opened), kSourceIsFolder);
    EXPECT_EQ(opened, 0);
    ExpectFirstStillOpen();
    const std::string missing = folder.File("missing.txt");
    EXPECT_EQ(OpenSourceKeepingOld(record.get(), missing.c_str(), &opened), kSourceNotFound);
    ExpectFirstStillOpen();
    const std::string longPath = folder.Path() + "/" + std::string(300, 'n') + ".txt";
    EXPECT_EQ(OpenSourceKeepingOld(record.get(), longPath.c_str(), &opened), kSourcePathTooLong);
    EXPECT_EQ(OpenSourceKeepingOld(record.get(), "", &opened), kSourcePathEmpty);
    ExpectFirstStillOpen();
}

TEST_F(SourceOpen, AReadableFileReplacesTheOpenSource) {
    const std::string second = folder.File("second.csv");
    WriteBytes(second, "A,B\n3,4\n");
    uint16_t opened = 0;
    EXPECT_EQ(OpenSourceKeepingOld(record.get(), second.c_str(), &opened), kSourceOpened);
    EXPECT_NE(opened, 0);
    EXPECT_EQ(std::string(record->OrgFile), second);
    EXPECT_EQ(std::string(record->SourceText), "A,B\n3,4\n");
}

}  // namespace
