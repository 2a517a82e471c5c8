#include <gtest/gtest.h>

#include <cstring>

#include "pages/main_window_states.h"
#include "scratch_files.h"

namespace {

TEST(TabPages, PlaceholderUntilASourceIsOpenThenThePagesOfTheOutputType) {
    RecordPtr record = ZeroRecord();
    record->CopyFileType = 1;
    EXPECT_EQ(ChooseTabPage(record.get(), 1), kShowNoSourcePage);
    record->SourceOpen = 1;
    EXPECT_EQ(ChooseTabPage(record.get(), 1), 1);
    record->CopyFileType = 3;
    EXPECT_EQ(ChooseTabPage(record.get(), 2), 2);
    record->CopyFileType = 9;
    EXPECT_EQ(ChooseTabPage(record.get(), 3), 0);
    EXPECT_EQ(ChooseTabPage(record.get(), 4), kShowNoSourcePage);
}

TEST(CommandStates, FollowTheSourceAndTheTabAndLockDuringARun) {
    RecordPtr record = ZeroRecord();
    CommandStates states = DescribeCommandStates(record.get());
    EXPECT_EQ(states.openEnabled, 1);
    EXPECT_EQ(states.createTypeEnabled, 1);
    EXPECT_EQ(states.closeEnabled, 0);
    EXPECT_EQ(states.convertEnabled, 0);
    EXPECT_EQ(states.originalTypeEnabled, 1);
    record->SourceOpen = 2;
    record->CurrentTab = 3;
    states = DescribeCommandStates(record.get());
    EXPECT_EQ(states.closeEnabled, 1);
    EXPECT_EQ(states.convertEnabled, 1);
    EXPECT_EQ(states.originalTypeEnabled, 0);
    for (uint16_t owner : {kRunEeg, kRunPsg}) {
        record->RunOwner = owner;
        record->CurrentTab = 0;
        states = DescribeCommandStates(record.get());
        EXPECT_EQ(states.openEnabled + states.closeEnabled + states.convertEnabled +
                      states.originalTypeEnabled + states.createTypeEnabled,
                  0)
            << "run owner " << owner;
    }
}

TEST(ConvertCommand, ByOutputType) {
    EXPECT_EQ(ConvertCommandFor(0), kConvertNothing);
    EXPECT_EQ(ConvertCommandFor(1), kConvertChoosePsgTarget);
    EXPECT_EQ(ConvertCommandFor(2), kConvertStartEeg);
    EXPECT_EQ(ConvertCommandFor(3), kConvertStartEeg);
    EXPECT_EQ(ConvertCommandFor(4), kConvertNothing);
}

TEST(OriginalTypes, ListTheEnabledPresetsAndSelectTheChosenOne) {
    RecordPtr record = ZeroRecord();
    record->SourcePreset[0].Enable = 1;
    std::strcpy(record->SourcePreset[0].Label, "first");
    record->SourcePreset[2].Enable = 1;
    std::strcpy(record->SourcePreset[2].Label, "third");
    record->OrgFileType = 3;
    PresetEntry entries[kSourcePresetCount];
    int32_t selected = 0;
    ASSERT_EQ(ListOriginalTypes(record.get(), entries, &selected), 2);
    EXPECT_EQ(selected, 1);
    EXPECT_STREQ(entries[1].label, "third");
    EXPECT_EQ(entries[1].number, 3);
    record->OrgFileType = 2;  // a preset that is not offered
    ListOriginalTypes(record.get(), entries, &selected);
    EXPECT_EQ(selected, -1);
}

}  // namespace
