// The preview model against the files conversions write from the same
// sources: EEG frames as quillon-cli inspect prints them, PSG samples as
// the EDF+ file holds them.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "edf_view.h"
#include "preview/preview_model.h"
#include "scratch_files.h"
#include "source/source_reader.h"
#include "store/settings_store.h"

namespace {

const std::string kSamples = QUILLON_SAMPLES;
const std::string kCli = QUILLON_CLI;

std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
    pclose(pipe);
    return out;
}

RecordPtr Open(const std::string& path, int32_t preset, int32_t rate, uint16_t fileType) {
    RecordPtr record = ZeroRecord();
    SettingsPaths paths;
    MakeSettingsPaths(kSamples.c_str(), &paths);
    LoadSettingsForConversion(record.get(), &paths);
    record->OrgFileType = static_cast<uint16_t>(preset);
    record->CopyFileType = fileType;
    EXPECT_NE(OpenSourceFromPath(record.get(), path.c_str()), 0) << path;
    record->SampleRate = rate;
    return record;
}

// The channel values of frames 0..count-1 of an EEG wave data file.
std::vector<std::vector<int>> EegFrames(const std::string& file, int count) {
    std::istringstream text(
        Output("'" + kCli + "' inspect '" + file + "' --frames 0:" + std::to_string(count - 1)));
    std::vector<std::vector<int>> frames;
    std::string line;
    while (std::getline(text, line)) {
        const size_t bar = line.find(" | ");
        if (line.rfind("frame ", 0) != 0 || bar == std::string::npos) continue;
        std::istringstream values(line.substr(bar + 3));
        frames.emplace_back();
        for (int v; values >> v;) frames.back().push_back(v);
    }
    return frames;
}

std::string Convert(const ScratchFolder& scratch, const std::string& source,
                    const std::string& options, const std::string& out) {
    const std::string settings = kSamples + "/COND/QUILLON.INI";
    Output("cd '" + scratch.Path() + "' && '" + kCli + "' convert '" + source + "' --settings '" +
           settings + "' " + options + " -o '" + scratch.File(out) + "' 2>&1");
    return scratch.File(out);
}

void ExpectEegPreviewIsTheWave(const char* sample, int32_t preset, int32_t rate) {
    ScratchFolder scratch;
    const std::string source = kSamples + "/" + sample;
    RecordPtr record = Open(source, preset, rate, kOutputEegFiling32);
    PreviewModel model;
    ASSERT_EQ(MakePreviewModel(record.get(), 0.0, 1.0, 200, &model), kPreviewMade);
    const std::string wave = Convert(
        scratch, source, "--preset " + std::to_string(preset) + " --rate " + std::to_string(rate),
        "out.DAT");
    const int compared = 100;
    std::vector<std::vector<int>> frames = EegFrames(wave, compared);
    ASSERT_EQ(frames.size(), size_t(compared)) << sample;
    ASSERT_GE(model.dataLines, compared);
    for (int f = 0; f < compared; ++f)
        for (int c = 0; c < model.channels; ++c)
            ASSERT_EQ(model.samples[f * model.channels + c], frames[f][c])
                << sample << " frame " << f << " channel " << c;
    FreePreviewModel(&model);
}

TEST(PreviewModel, EegSamplesAreTheFramesOfAConversion) {
    ExpectEegPreviewIsTheWave("eeg_comma_time.csv", 1, 200);
    ExpectEegPreviewIsTheWave("eeg_calibrated.csv", 4, 500);
}

// PSG output, calibrated and A/D with inverted polarity.
TEST(PreviewModel, PsgSamplesAreTheRecordsOfAConversion) {
    const struct {
        const char* sample;
        int32_t preset;
        bool invert;
    } cases[] = {{"psg_night.csv", 4, false}, {"eeg_blank.txt", 2, true}};
    for (const auto& k : cases) {
        ScratchFolder scratch;
        const std::string source = kSamples + "/" + k.sample;
        RecordPtr record = Open(source, k.preset, 200, kOutputPsg);
        record->PolarityCopy = k.invert ? 1 : 0;
        PreviewModel model;
        ASSERT_EQ(MakePreviewModel(record.get(), 0.0, 1.0, 100, &model), kPreviewMade);
        EdfView edf(ReadBytes(Convert(scratch, source,
                                      "--type psg --frame-time 1 --rate 200 --preset " +
                                          std::to_string(k.preset) + (k.invert ? " --invert" : ""),
                                      "out.edf")));
        ASSERT_EQ(edf.signals, model.traceCount + 1) << k.sample;
        for (int32_t t = 0; t < model.traceCount; ++t) {
            const std::vector<int16_t> signal = edf.Samples(t);
            ASSERT_GE(signal.size(), size_t(edf.samplesPerRecord[t]));
            EXPECT_EQ(
                edf.Trimmed(EdfView::kLabel, t).find(model.traces[t].label) != std::string::npos,
                true)
                << edf.Trimmed(EdfView::kLabel, t);
            // A channel of a lower rate takes every divisor-th row.
            const int divisor = 200 / edf.samplesPerRecord[t];
            for (int i = 0; i * divisor < 100; ++i)
                ASSERT_EQ(model.samples[i * divisor * model.channels + model.traces[t].channel],
                          signal[i])
                    << k.sample << " trace " << t << " sample " << i;
        }
        FreePreviewModel(&model);
    }
}

// Lines that are not data are marked where they are, and columns reduce
// the samples of their lines to their extremes.
TEST(PreviewModel, MarksNonDataLinesAndReducesColumns) {
    ScratchFolder scratch;
    std::string text = "a,b\n";
    for (int n = 0; n < 100; ++n) text += n == 40 ? "oops\n" : "1," + std::to_string(n) + "\n";
    WriteBytes(scratch.File("s.csv"), text);
    RecordPtr record = Open(scratch.File("s.csv"), 0, 100, kOutputPsg);
    record->DelimitChar = kFieldModeComma;
    record->DataLineBias = 1;
    record->DataStartLine = 1;
    record->ChannelCount = 1;
    SwitchChannelRows(record.get(), 1);
    PreviewModel model;
    ASSERT_EQ(MakePreviewModel(record.get(), 0.0, 1.0, 10, &model), kPreviewMade);
    EXPECT_EQ(model.lines, 100);
    EXPECT_EQ(model.dataLines, 100) << "the line that is not data keeps its place as zeros";
    ASSERT_EQ(model.markCount, 1);
    EXPECT_EQ(model.marks[0], 40);
    EXPECT_EQ(model.dataLineIndex[40], kPreviewNoLine);
    EXPECT_EQ(model.dataLineIndex[41], 41);
    // Column 4 holds lines 40..49: the mark (left out) and the values 41..49.
    EXPECT_EQ(model.minimum[4], 41);
    EXPECT_EQ(model.maximum[4], 49);
    EXPECT_EQ(model.minimum[9], 90);
    EXPECT_EQ(model.traces[0].low, 0);
    EXPECT_EQ(model.traces[0].high, 99);
    FreePreviewModel(&model);
}

// A start far into the source is found by its offset: with lines of one
// length the estimate is the line itself.
TEST(PreviewModel, StartsAtAnySecondByOffset) {
    ScratchFolder scratch;
    std::string text = "No,Value\n";
    char line[32];
    for (int n = 0; n < 200000; ++n) {
        std::snprintf(line, sizeof line, "%07d,%07d\n", n, n % 30000);
        text += line;
    }
    WriteBytes(scratch.File("long.csv"), text);
    RecordPtr record = Open(scratch.File("long.csv"), 0, 100, kOutputPsg);
    record->DelimitChar = kFieldModeComma;
    record->DataLineBias = 1;
    record->DataStartLine = 1;
    record->ChannelCount = 1;
    SwitchChannelRows(record.get(), 1);
    PreviewModel model;
    ASSERT_EQ(MakePreviewModel(record.get(), 1500.0, 2.0, 50, &model), kPreviewMade);
    EXPECT_EQ(model.estimated, 1);
    ASSERT_EQ(model.dataLines, 200);
    for (int i = 0; i < 200; ++i) ASSERT_EQ(model.samples[i], (150000 + i) % 30000) << i;
    FreePreviewModel(&model);
    // Past the end: what is left, nothing read beyond it.
    ASSERT_EQ(MakePreviewModel(record.get(), 1e9, 2.0, 50, &model), kPreviewMade);
    EXPECT_EQ(model.dataLines, 0);
    FreePreviewModel(&model);
}

}  // namespace
