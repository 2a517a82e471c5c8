#include "pages/montage_page.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ids/montage_ids.h"
#include "store/pattern_store.h"
#include "scratch_files.h"

namespace {

TEST(MontagePageLayout, GridAndButtonsFollowTheClientSize) {
    MontagePageLayout psg;
    LayoutMontagePage(kPsgMontage, 566, 548, 80, 24, 16, &psg);
    EXPECT_EQ(psg.grid.x, 4);
    EXPECT_EQ(psg.grid.y, 30);
    EXPECT_EQ(psg.grid.width, 558);
    EXPECT_EQ(psg.grid.height, 548 - 24 - 16 - 26);
    EXPECT_EQ(psg.registry.y, 548 - 24 - 4);
    EXPECT_EQ(psg.copy.x, 92);
    MontagePageLayout eeg;
    LayoutMontagePage(kEegMontage, 566, 548, 80, 24, 19, &eeg);
    EXPECT_EQ(eeg.grid.y, 66 + 6);  // 19 x 7 / 2 = 66
    EXPECT_EQ(eeg.grid.height, 548 - 24 - 66 - 18);
    LayoutMontagePage(kEegMontage, 4, 10, 80, 24, 19, &eeg);
    EXPECT_EQ(eeg.grid.width, 0);
    EXPECT_EQ(eeg.grid.height, 0);
}

struct PageFixture : ::testing::Test {
    ScratchFolder folder;
    std::string settings = folder.File("QUILLON.INI");
    RecordPtr record = ZeroRecord();
};

TEST_F(PageFixture, NamesRenamesAndRegistry) {
    WriteBytes(settings, "[PSGPattern2]\nPATTERN=Night\nEU=7,7,7,\n[PSGPattern3]\nEU=1,1,1,\n");
    ReadPatternNames(record.get(), kPsgMontage, settings.c_str());
    EXPECT_STREQ(record->PatternSlots[1].name, "Night");
    EXPECT_STREQ(record->PatternSlots[2].name, "");  // no key: empty, not the section name

    ASSERT_TRUE(PickPattern(record.get(), kPsgMontage, 1, settings.c_str()));
    EXPECT_EQ(record->CurrentPsgPattern, 1);
    EXPECT_EQ(record->PatternSlots[1].PsgRows[2].EU, 7);
    EXPECT_FALSE(PickPattern(record.get(), kPsgMontage, -1, settings.c_str()));
    EXPECT_EQ(record->CurrentPsgPattern, 1);

    RenameCurrentPattern(record.get(), kPsgMontage, std::string(40, 'n').c_str());
    EXPECT_EQ(std::string(record->PatternSlots[1].name), std::string(31, 'n'));
    RenameCurrentPattern(record.get(), kPsgMontage, "Sleep lab");
    record->PatternSlots[1].PsgRows[2].EU = 9;
    EXPECT_EQ(RegisterCurrentPattern(record.get(), kPsgMontage, settings.c_str()),
              IDS_PSG_PATTERN_SAVED);
    RecordPtr reread = ZeroRecord();
    LoadPsgPattern(reread.get(), settings.c_str(), 1);
    EXPECT_STREQ(reread->PatternSlots[1].name, "Sleep lab");
    EXPECT_EQ(reread->PatternSlots[1].PsgRows[2].EU, 9);
    EXPECT_EQ(RegisterCurrentPattern(record.get(), kEegMontage, settings.c_str()),
              IDS_EEG_PATTERN_SAVED);
    EXPECT_EQ(PatternCopyActionOf(kPsgMontage), kCopyShowsNotice);
    EXPECT_EQ(PatternCopyActionOf(kEegMontage), kCopyDoesNothing);
}

TEST_F(PageFixture, EegPatternWideControls) {
    EXPECT_EQ(EegPatternListCount(IDC_EEG_REFERENCE), 10);
    EXPECT_EQ(EegPatternListCount(IDC_EEG_ACC_SENS), 20);
    EXPECT_EQ(EegPatternListCount(IDC_EEG_ACC_LFF), 10);
    EXPECT_EQ(EegPatternListCount(IDC_EEG_ACC_HFF), 4);
    EXPECT_EQ(EegPatternListCount(IDC_EEG_ACC_CAL), 15);
    char text[9];
    ASSERT_TRUE(EegPatternListText(IDC_EEG_REFERENCE, 2, text));
    EXPECT_STREQ(text, "A2->A1");
    EXPECT_TRUE(StoreEegPatternControl(record.get(), IDC_EEG_REFERENCE, 2));
    ASSERT_TRUE(EegPatternListText(IDC_EEG_ACC_SENS, 8, text));
    EXPECT_STREQ(text, " 20u");
    EXPECT_TRUE(StoreEegPatternControl(record.get(), IDC_EEG_ACC_SENS, 8));
    EXPECT_FALSE(StoreEegPatternControl(record.get(), IDC_EEG_ACC_HFF, 4));
    EXPECT_FALSE(StoreEegPatternControl(record.get(), IDC_EEG_ACC_LFF, -1));
    EXPECT_TRUE(StoreEegPatternControl(record.get(), IDC_EEG_NOTCH, 1));
    const MontagePattern& slot = record->PatternSlots[0];
    EXPECT_EQ(slot.Ref, 2);
    EXPECT_EQ(slot.ACCSens, 8);
    EXPECT_EQ(slot.ACCHff, 0);
    EXPECT_EQ(EegPatternControlValue(record.get(), IDC_EEG_NOTCH), 1);
    EXPECT_EQ(EegPatternControlValue(record.get(), IDC_EEG_ACC_SENS), 8);
}

TEST_F(PageFixture, TheAdMenuResolutionComesFromTheSettingsOr16) {
    LoadPsgAdBits(record.get(), settings.c_str());
    EXPECT_EQ(record->AdBits, 16);
    WriteBytes(settings, "[SYSTEM]\nAdBits=12\n");
    LoadPsgAdBits(record.get(), settings.c_str());
    EXPECT_EQ(record->AdBits, 12);
}

TEST_F(PageFixture, RegistryAsksOnlyOverAStoredPatternAndExitSeesEditsOnly) {
    WriteBytes(settings, "[EEGPattern2]\nPATTERN=Day\nG1=3,4,\n");
    SetPsgRowDefaults(record.get());  // as the settings load at start
    ASSERT_TRUE(PickPattern(record.get(), kEegMontage, 1, settings.c_str()));
    EXPECT_EQ(RegistryReplacesStoredPattern(record.get(), kEegMontage, settings.c_str()), 1);
    EXPECT_EQ(PatternHasUnregisteredEdits(record.get(), kEegMontage, settings.c_str()), 0);
    // Rows switched and relabelled by a source are no edit.
    SwitchChannelRows(record.get(), 3);
    std::snprintf(record->PatternSlots[1].EegRows[0].label, kPatternTextSize, "Fp1");
    EXPECT_EQ(PatternHasUnregisteredEdits(record.get(), kEegMontage, settings.c_str()), 0);
    record->PatternSlots[1].EegRows[1].G1 = 9;
    EXPECT_EQ(PatternHasUnregisteredEdits(record.get(), kEegMontage, settings.c_str()), 1);
    RegisterCurrentPattern(record.get(), kEegMontage, settings.c_str());
    EXPECT_EQ(PatternHasUnregisteredEdits(record.get(), kEegMontage, settings.c_str()), 0);

    ASSERT_TRUE(PickPattern(record.get(), kPsgMontage, 3, settings.c_str()));
    EXPECT_EQ(RegistryReplacesStoredPattern(record.get(), kPsgMontage, settings.c_str()), 0);
    EXPECT_EQ(PatternHasUnregisteredEdits(record.get(), kPsgMontage, settings.c_str()), 0);
    record->PatternSlots[3].PsgRows[4].Sens = 20000;
    EXPECT_EQ(PatternHasUnregisteredEdits(record.get(), kPsgMontage, settings.c_str()), 1);
    RegisterCurrentPattern(record.get(), kPsgMontage, settings.c_str());
    EXPECT_EQ(RegistryReplacesStoredPattern(record.get(), kPsgMontage, settings.c_str()), 1);
    EXPECT_EQ(PatternHasUnregisteredEdits(record.get(), kPsgMontage, settings.c_str()), 0);
}

}  // namespace
