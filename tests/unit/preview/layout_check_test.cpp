#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "scratch_files.h"
#include "source/layout_check.h"
#include "source/source_reader.h"
#include "store/settings_store.h"

namespace {

const std::string kSamples = QUILLON_SAMPLES;

// Each sample with the preset its conversions use (the settings' numbering).
const struct {
    const char* name;
    int32_t preset;
} kSamplePresets[] = {
    {"eeg_comma_time.csv", 1}, {"eeg_blank.txt", 2},           {"eeg_tab.txt", 3},
    {"eeg_calibrated.csv", 4}, {"eeg_japanese_labels.csv", 5}, {"psg_night.csv", 4},
};
constexpr int32_t kSamplePresetCount = 5;

RecordPtr OpenWithPreset(const std::string& path, int32_t preset) {
    RecordPtr record = ZeroRecord();
    SettingsPaths paths;
    MakeSettingsPaths(kSamples.c_str(), &paths);
    LoadSettingsForConversion(record.get(), &paths);
    record->OrgFileType = static_cast<uint16_t>(preset);
    EXPECT_NE(OpenSourceFromPath(record.get(), path.c_str()), 0) << path;
    return record;
}

SourceLayout PresetLayout(const AppRecord& record, int32_t preset) {
    const SourcePreset& p = record.SourcePreset[preset - 1];
    return SourceLayout{p.DelimitChar,   p.DataLineBias, p.ChStartLine, p.DataStartLine, 0,
                        p.OrgCalDataType};
}

void ExpectSameLayout(const SourceLayout& want, const SourceLayout& got, const std::string& what) {
    EXPECT_EQ(want.delimiter, got.delimiter) << what;
    EXPECT_EQ(want.leadingFields, got.leadingFields) << what;
    EXPECT_EQ(want.labelLine, got.labelLine) << what;
    EXPECT_EQ(want.dataStartLine, got.dataStartLine) << what;
    EXPECT_EQ(want.valueKind, got.valueKind) << what;
}

bool HasFinding(const LayoutCheck& check, int32_t code, int32_t a, int32_t b) {
    for (int32_t i = 0; i < check.findingCount; ++i)
        if (check.findings[i].code == code && check.findings[i].values[0] == a &&
            check.findings[i].values[1] == b)
            return true;
    return false;
}

// Whatever preset a sample was opened with, the suggestion is its own preset,
// and under its own preset nothing is found.
TEST(LayoutCheck, SuggestsEachSamplesPresetFromAnyStartingPreset) {
    int32_t hits = 0, cases = 0;
    for (const auto& sample : kSamplePresets) {
        for (int32_t start = 1; start <= kSamplePresetCount; ++start) {
            RecordPtr record = OpenWithPreset(kSamples + "/" + sample.name, start);
            LayoutCheck check;
            const int32_t findings = CheckSourceLayout(record.get(), &check);
            const std::string what =
                std::string(sample.name) + " from preset " + std::to_string(start);
            ExpectSameLayout(PresetLayout(*record, sample.preset), check.suggested, what);
            if (start == sample.preset) {
                EXPECT_EQ(findings, 0) << what;
                EXPECT_EQ(check.suggested.channels, record->ChannelCount) << what;
            }
            const SourceLayout want = PresetLayout(*record, sample.preset);
            hits += want.delimiter == check.suggested.delimiter &&
                    want.leadingFields == check.suggested.leadingFields &&
                    want.labelLine == check.suggested.labelLine &&
                    want.dataStartLine == check.suggested.dataStartLine &&
                    want.valueKind == check.suggested.valueKind;
            ++cases;
        }
    }
    std::printf("layout check hit rate on the samples: %d of %d\n", hits, cases);
}

// The case: a comma source with a time column under the blank
// preset takes the time as channel 1 and the title line's words as labels.
TEST(LayoutCheck, NamesWhatAWrongPresetGetsWrong) {
    RecordPtr record = OpenWithPreset(kSamples + "/eeg_comma_time.csv", 2);
    LayoutCheck check;
    ASSERT_GT(CheckSourceLayout(record.get(), &check), 0);
    EXPECT_TRUE(HasFinding(check, kLayoutColumns, 9, 8));
    EXPECT_TRUE(HasFinding(check, kLayoutFirstColumnTime, 1, 0));
    EXPECT_TRUE(HasFinding(check, kLayoutLeadingFields, 0, 1));
    EXPECT_TRUE(HasFinding(check, kLayoutLabelLine, 0, 1));
    EXPECT_TRUE(HasFinding(check, kLayoutDataStartLine, 1, 2));
    EXPECT_FALSE(HasFinding(check, kLayoutValueKind, kAdValues, kCalibratedValues));

    // Calibrated values read as A/D, a blank separator on a comma source,
    // and a data line as the label line.
    record = OpenWithPreset(kSamples + "/eeg_calibrated.csv", 2);
    ASSERT_GT(CheckSourceLayout(record.get(), &check), 0);
    EXPECT_TRUE(HasFinding(check, kLayoutValueKind, kAdValues, kCalibratedValues));
    record = OpenWithPreset(kSamples + "/eeg_blank.txt", 1);
    ASSERT_GT(CheckSourceLayout(record.get(), &check), 0);
    EXPECT_TRUE(HasFinding(check, kLayoutDelimiter, kFieldModeComma, kFieldModeBlank));
    EXPECT_TRUE(HasFinding(check, kLayoutLabelsNumeric, 1, 0));
}

TEST(LayoutCheck, TextWithoutDataHasNoSuggestion) {
    const std::string head = "a title\nmore words\n";
    const SourceLayout current{kFieldModeComma, 1, 0, 1, 8, kAdValues};
    LayoutCheck check;
    ASSERT_EQ(CheckHeadLayout(head.data(), int32_t(head.size()), &current, &check), 1);
    EXPECT_EQ(check.findings[0].code, kLayoutNoDataLine);
    EXPECT_EQ(check.suggested.leadingFields, 1);
}

enum Lead { kLeadNone, kLeadTime, kLeadCounter, kLeadSeconds, kLeadKinds };

struct Generated {
    char separator;
    Lead lead;
    bool labels;
    bool title;
    bool calibrated;
};

std::string LeadField(Lead lead, int n) {
    char text[32];
    if (lead == kLeadTime)
        std::snprintf(text, sizeof text, "%02d:%02d:%06.3f", n / 1800000, n / 30000 % 60,
                      n % 30000 / 500.0);
    else if (lead == kLeadCounter)
        std::snprintf(text, sizeof text, "%d", n + 1);
    else
        std::snprintf(text, sizeof text, "%.3f", n / 500.0);
    return text;
}

std::string Generate(const Generated& g, int channels, int lines) {
    const std::string sep(1, g.separator);
    std::string text = g.title ? "Exported by the recorder\r\n" : "";
    if (g.labels) {
        text += g.lead != kLeadNone ? "Time" + sep : "";
        for (int c = 0; c < channels; ++c) text += (c ? sep : "") + "Ch" + std::to_string(c + 1);
        text += "\r\n";
    }
    for (int n = 0; n < lines; ++n) {
        text += g.lead != kLeadNone ? LeadField(g.lead, n) + sep : "";
        for (int c = 0; c < channels; ++c) {
            const double v = 900.0 * std::sin(0.07 * n * (c + 1) + c);
            char value[32];
            if (g.calibrated)
                std::snprintf(value, sizeof value, "%.2f", v / 10.0);
            else
                std::snprintf(value, sizeof value, "%d", static_cast<int>(v));
            text += (c ? sep : "") + std::string(value);
        }
        text += "\r\n";
    }
    return text;
}

// Every kind of source the generator makes, under a layout that is wrong in
// every part: the suggestion is the layout it was made with.
TEST(LayoutCheck, SuggestsTheLayoutOfGeneratedSources) {
    int32_t hits = 0, cases = 0;
    for (char separator : {',', ' ', '\t'})
        for (int lead = kLeadNone; lead < kLeadKinds; ++lead)
            for (int flags = 0; flags < 8; ++flags) {
                const Generated g{separator, static_cast<Lead>(lead), (flags & 1) != 0,
                                  (flags & 2) != 0, (flags & 4) != 0};
                const std::string head = Generate(g, 6, 200).substr(0, kSourceHeadSize);
                const SourceLayout wrong{kFieldModeTab, 3, 5, 7, 2, kAdValues};
                LayoutCheck check;
                CheckHeadLayout(head.data(), int32_t(head.size()), &wrong, &check);
                const int32_t first = (g.title ? 1 : 0) + (g.labels ? 1 : 0);
                const SourceLayout want{separator == ',' ? kFieldModeComma : kFieldModeBlank,
                                        lead != kLeadNone ? 1 : 0,
                                        g.labels ? first - 1 : kNoLabelLine,
                                        first,
                                        6,
                                        g.calibrated ? kCalibratedValues : kAdValues};
                const std::string what = "separator " + std::to_string(int(separator)) + " lead " +
                                         std::to_string(lead) + " flags " + std::to_string(flags);
                ExpectSameLayout(want, check.suggested, what);
                EXPECT_EQ(check.suggested.channels, 6) << what;
                EXPECT_GT(check.findingCount, 0) << what;
                hits += std::memcmp(&want, &check.suggested, sizeof want) == 0;
                ++cases;
            }
    std::printf("layout check hit rate on generated sources: %d of %d\n", hits, cases);
}

}  // namespace
