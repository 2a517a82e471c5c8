#include <gtest/gtest.h>

#include "preview/preview_model.h"
#include "preview/preview_scale.h"
#include "scratch_files.h"
#include "source/source_reader.h"

namespace {

TEST(PreviewScale, TicksAreRoundAndFewEnough) {
    EXPECT_EQ(PreviewTickStep(10.0), 1.0);
    EXPECT_EQ(PreviewTickStep(60.0), 5.0);
    EXPECT_EQ(PreviewTickStep(0.5), 0.05);
    for (double seconds : {0.1, 3.0, 7.5, 25.0, 60.0, 900.0})
        EXPECT_LE(seconds / PreviewTickStep(seconds), kPreviewTickLimit) << seconds;
    EXPECT_EQ(PreviewFirstTick(80000.3, 1.0), 80001.0);
    EXPECT_EQ(PreviewFirstTick(12.0, 2.0), 12.0) << "a tick on the start is kept";
    EXPECT_DOUBLE_EQ(PreviewFirstTick(0.3, 0.1), 0.3) << "not lost to rounding";
}

TEST(PreviewScale, ScaleBarIsARoundHalfOfTheRange) {
    EXPECT_EQ(PreviewScaleBar(-100.0, 100.0), 100.0);
    EXPECT_EQ(PreviewScaleBar(-1151.0, 1229.0), 1000.0);
    EXPECT_EQ(PreviewScaleBar(0.0, 9.0), 2.0);
    EXPECT_EQ(PreviewScaleBar(0.0, 0.5), 0.2);
    EXPECT_EQ(PreviewScaleBar(5.0, 5.0), 0.0) << "a flat trace has no bar";
    EXPECT_EQ(PreviewScaleBar(6.0, 5.0), 0.0);
}

TEST(PreviewScale, WheelZoomsAlongRoundStretchesWithinTheLimit) {
    EXPECT_EQ(PreviewZoomStep(10.0, 1), 5.0);
    EXPECT_EQ(PreviewZoomStep(10.0, -1), 20.0);
    EXPECT_EQ(PreviewZoomStep(7.0, 1), 5.0) << "a stretch between steps goes to the nearer";
    EXPECT_EQ(PreviewZoomStep(7.0, -1), 10.0);
    EXPECT_EQ(PreviewZoomStep(60.0, -1), kPreviewSecondsLimit);
    EXPECT_EQ(PreviewZoomStep(1.0, 1), 1.0);
}

// The window redraws only when the digest moves: every layout change must
// move it, a patient's name must not.
TEST(PreviewDigest, FollowsTheLayoutAndThePatternOnly) {
    RecordPtr record = ZeroRecord();
    record->ChannelCount = 8;
    const uint32_t first = PreviewRecordDigest(record.get());
    std::snprintf(record->PatientInfo.Name1, sizeof record->PatientInfo.Name1, "Name");
    EXPECT_EQ(PreviewRecordDigest(record.get()), first);
    int32_t AppRecord::*fields[] = {&AppRecord::ChannelCount, &AppRecord::DataLineBias,
                                    &AppRecord::ChStartLine,  &AppRecord::DataStartLine,
                                    &AppRecord::SampleRate,   &AppRecord::OrgDataMag};
    for (int32_t AppRecord::*field : fields) {
        record.get()->*field += 1;
        EXPECT_NE(PreviewRecordDigest(record.get()), first);
        record.get()->*field -= 1;
    }
    record->DelimitChar = 1;
    EXPECT_NE(PreviewRecordDigest(record.get()), first);
    record->DelimitChar = 0;
    record->PatternSlots[0].EegRows[3].SOURCE = 0;
    record->PatternSlots[0].EegRows[3].SOURCE = 1;
    EXPECT_NE(PreviewRecordDigest(record.get()), first) << "a row of the EEG pattern in use";
    record->CopyFileType = kOutputPsg;
    const uint32_t psg = PreviewRecordDigest(record.get());
    record->PatternSlots[1].PsgRows[0].ChEnable = 1;
    EXPECT_EQ(PreviewRecordDigest(record.get()), psg) << "a slot not in use";
}

// A PSG trace's scale bar is in its unit: EU of it per VU stored counts.
TEST(PreviewScale, PsgTracesCarryTheirUnitPerStoredValue) {
    ScratchFolder scratch;
    WriteBytes(scratch.File("s.csv"), "A,B\r\n1,2\r\n3,4\r\n");
    RecordPtr record = ZeroRecord();
    ASSERT_NE(OpenSourceFromPath(record.get(), scratch.File("s.csv").c_str()), 0);
    record->CopyFileType = kOutputPsg;
    record->DataStartLine = 1;
    record->SampleRate = 2;
    record->ChannelCount = 2;
    record->DelimitChar = kFieldModeComma;
    PsgChannelRow* rows = CurrentPsgSlot(record.get())->PsgRows;
    for (int r = 0; r < 2; ++r) {
        rows[r].ChEnable = kChannelOn;
        rows[r].Rate = 1;
        rows[r].MAG = 1;
    }
    rows[0].EU = 100;
    rows[0].VU = 2048;
    PreviewModel model;
    ASSERT_EQ(MakePreviewModel(record.get(), 0.0, 1.0, 10, &model), kPreviewMade);
    ASSERT_EQ(model.traceCount, 2);
    EXPECT_DOUBLE_EQ(model.traces[0].unitsPerValue, 100.0 / 2048);
    EXPECT_EQ(model.traces[1].unitsPerValue, 1.0) << "no calibration: the stored values";
    FreePreviewModel(&model);
}

}  // namespace
