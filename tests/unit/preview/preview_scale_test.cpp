#include <gtest/gtest.h>

#include "preview/preview_model.h"
#include "preview/preview_scale.h"
#include "scratch_files.h"

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

}  // namespace
