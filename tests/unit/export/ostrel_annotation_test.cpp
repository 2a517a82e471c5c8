// Ostrel's annotations at their times (ordinal 80 and header item 23): the
// room every record keeps, the order, and what waits for want of room.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "edf_view.h"
#include "ostrel.h"
#include "scratch_files.h"

namespace {

// One channel of 10 Hz in 1-second frames, with room bytes per record for
// annotations given during the recording.
uint32_t Define(const std::string& path, int32_t room) {
    const uint32_t h = OstrelCreate(path.c_str(), 4, 4);
    OstrelPrepareHeader(h);
    OstrelBeginHeader(h);
    OstrelSetHeaderItem(h, 0, 2, 1);
    OstrelSetHeaderItem(h, 0, 3, 1);
    OstrelSetHeaderItem(h, 0, 21, 10);
    OstrelSetHeaderItem(h, 0, 23, room);
    const int32_t start[6] = {2024, 1, 2, 3, 4, 5};
    for (int32_t i = 0; i < 6; ++i) OstrelSetHeaderItem(h, 0, 10 + i, start[i]);
    OstrelBeginChannels(h);
    OstrelSetChannelText(h, 0, 1, 0, "A");
    OstrelSetChannelItem(h, 0, 4, 0, 10);
    OstrelSetChannelItem(h, 0, 6, 0, 1);
    OstrelSetChannelItem(h, 0, 7, 0, 1);
    EXPECT_EQ(OstrelAddAnnotation(h, 0, 0, "before 42"), 0) << "only while recording";
    OstrelEndChannels(h);
    return h;
}

void Commit(uint32_t h, int32_t seconds) {
    const std::vector<int16_t> samples(static_cast<size_t>(10 * seconds), 5);
    OstrelPutChannelSamples(h, 0, seconds, 0, 2, samples.data());
    OstrelCommitFrames(h, seconds);
}

TEST(OstrelTimedAnnotations, FillTheReservedRoomInOrderAndWaitForMore) {
    ScratchFolder dir;
    const std::string path = dir.File("a.edf");
    const uint32_t h = Define(path, 30);
    // A record keeps 12 bytes for its time-keeping TAL (5 used) and the 30
    // asked for: TALs of 13 bytes ("+1.25") and 10 ("+2"), three fit.
    EXPECT_EQ(OstrelAddAnnotation(h, 1, 250000, "spike"), 1);
    EXPECT_EQ(OstrelAddAnnotation(h, 0, 1000000, "bad fraction"), 0);
    EXPECT_EQ(OstrelAddAnnotation(h, 2, 0, std::string(60, 'x').c_str()), 1)
        << "taken before the records are laid out";
    for (int i = 0; i < 4; ++i) EXPECT_EQ(OstrelAddAnnotation(h, 2, 0, "spike"), 1);
    Commit(h, 1);
    EXPECT_EQ(OstrelCount(h, 0, 5), 3) << "three in the first record, one dropped, two waiting";
    EXPECT_EQ(OstrelAddAnnotation(h, 2, 0, std::string(40, 'x').c_str()), 0)
        << "once laid out, one that could never fit a record";
    Commit(h, 1);
    EXPECT_EQ(OstrelCount(h, 0, 5), 1) << "the dropped one";
    EXPECT_EQ(OstrelAddAnnotation(h, 3, 0, "late"), 1);
    OstrelFinishRecording(h, 0);
    EXPECT_EQ(OstrelCount(h, 0, 5), 2) << "no record came after it";
    EXPECT_EQ(OstrelAddAnnotation(h, 3, 0, "after the end"), 0);
    OstrelRelease(h);

    EdfView edf(ReadBytes(path));
    ASSERT_EQ(edf.records, 2);
    // Time-keeping TAL (up to 12 bytes for 1-second records) plus the room.
    EXPECT_EQ(edf.Trimmed(EdfView::kSamples, 1), std::to_string((12 + 30) / 2));
    EXPECT_EQ(edf.Annotations(0), (std::vector<std::string>{"", "spike", "spike", "spike"}));
    EXPECT_EQ(edf.Annotations(1), (std::vector<std::string>{"", "spike", "spike"}));
    const std::string record0 = edf.bytes.substr(256 * 3 + 20);
    EXPECT_EQ(record0.substr(record0.find("+0") + 5, 6), "+1.25\x14");
}

TEST(OstrelTimedAnnotations, WithoutRoomRecordsKeepTheirSize) {
    ScratchFolder dir;
    const uint32_t h = Define(dir.File("b.edf"), 0);
    EXPECT_EQ(OstrelAddAnnotation(h, 0, 0, "x"), 1) << "in what the time keeping leaves";
    Commit(h, 1);
    EXPECT_EQ(OstrelCount(h, 0, 5), 0);
    OstrelRelease(h);
    EdfView edf(ReadBytes(dir.File("b.edf")));
    EXPECT_EQ(edf.Trimmed(EdfView::kSamples, 1), "6");
}

}  // namespace
