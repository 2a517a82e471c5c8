// One table of reason codes serves both programs: every code has its
// English and a string of the window's table, whose placeholders name only
// what the reason carries; line indexes show counted from 1.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "runs/start_reasons.h"
#include "source/source_checks.h"
#include "store/reasons.h"

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every "#define REASON_X n" of the ids header but the bounds.
std::map<std::string, int> CodesByName() {
    const std::string header =
        ReadText(QUILLON_SOURCE_ROOT "/quillon/engine/ids/include/ids/reason_ids.h");
    std::map<std::string, int> codes;
    const std::regex define(R"(#define (REASON_\w+) (\d+))");
    for (std::sregex_iterator it(header.begin(), header.end(), define), end; it != end; ++it)
        codes[(*it)[1]] = std::stoi((*it)[2]);
    codes.erase("REASON_NONE");
    codes.erase("REASON_CODE_END");
    return codes;
}

// The window's text of each code, by the code's name.
std::map<std::string, std::string> WindowTexts() {
    const std::string script = ReadText(QUILLON_SOURCE_ROOT "/quillon/ui/res/messages.rc");
    std::map<std::string, std::string> texts;
    const std::regex entry(R"(IDS_REASON_BASE \+ (REASON_\w+) \"((?:[^\"]|\"\")*)\")");
    for (std::sregex_iterator it(script.begin(), script.end(), entry), end; it != end; ++it)
        texts[(*it)[1]] = (*it)[2];
    return texts;
}

// The value digits and names a pattern takes from the reason.
std::set<char> Placeholders(const std::string& pattern) {
    std::set<char> used;
    for (size_t i = 0; i + 1 < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        char c = pattern[i + 1];
        if ((c == '+' || c == '.') && i + 2 < pattern.size()) c = pattern[i + 2];
        used.insert(c);
    }
    return used;
}

TEST(Reasons, EveryCodeHasEnglishAndAWindowText) {
    const std::map<std::string, int> codes = CodesByName();
    const std::map<std::string, std::string> texts = WindowTexts();
    ASSERT_GT(codes.size(), 60u);
    std::set<int> seen;
    for (const auto& [name, code] : codes) {
        EXPECT_TRUE(seen.insert(code).second) << name << ": its code is taken";
        EXPECT_LT(code, REASON_CODE_END) << name;
        const char* english = EnglishReasonPattern(code);
        ASSERT_NE(english, nullptr) << name << " has no English";
        const auto text = texts.find(name);
        ASSERT_NE(text, texts.end()) << name << " has no string in messages.rc";
        EXPECT_FALSE(text->second.empty()) << name;
        // The run ends' English is filled by quillon-cli with its own names.
        if (name.rfind("REASON_END_", 0) == 0 || name.rfind("REASON_HOLDS_", 0) == 0) continue;
        const std::set<char> known = Placeholders(english);
        for (char used : Placeholders(text->second))
            EXPECT_TRUE(known.count(used) || (used == 'e' && known.count('d')))
                << name << ": the window's text uses %" << used << ", which the English lacks";
    }
    EXPECT_EQ(texts.size(), codes.size()) << "a string of messages.rc names no code";
    EXPECT_EQ(ReasonStringId(REASON_SOURCE_EMPTY), IDS_REASON_BASE + REASON_SOURCE_EMPTY);
}

TEST(Reasons, PlaceholdersAreFilledAndCut) {
    Reason reason = MakeReason(REASON_SOURCE_TOO_FEW_COLUMNS);
    reason.values[0] = 1;
    reason.values[1] = 8;
    reason.values[2] = 125;
    std::snprintf(reason.path, sizeof reason.path, "C:\\DAT");
    char out[96];
    ExpandReasonPattern("line %+1 (%1), %2 of %3 s: %.3 %p [%e] 100%", &reason, "none", out,
                        sizeof out);
    EXPECT_STREQ(out, "line 2 (1), 8 of 125 s: 12.5 C:\\DAT [none] 100%");
    std::snprintf(reason.detail, sizeof reason.detail, "disk full");
    ExpandReasonPattern("%e/%d %x", &reason, "none", out, sizeof out);
    EXPECT_STREQ(out, "disk full/disk full %x");

    char small[8];
    EXPECT_EQ(ExpandReasonPattern("%p and more", &reason, nullptr, small, sizeof small), 7);
    EXPECT_STREQ(small, "C:\\DAT ");
    EXPECT_EQ(ExpandReasonPattern("x", nullptr, nullptr, small, sizeof small), 0);
}

// The engine's line is the index from 0 that quillon-cli prints; the
// window's "%+1" shows it as the head list numbers it.
TEST(Reasons, ASourceVerdictCarriesItsLineOnceCountedFrom1) {
    const SourceCheck check{kSourceTooFewColumns, 2, 8, 20};
    const Reason reason = SourceVerdictReason(&check);
    EXPECT_EQ(reason.code, REASON_SOURCE_TOO_FEW_COLUMNS);
    char english[160], window[64];
    FormatSourceVerdict(&check, english, sizeof english);
    EXPECT_STREQ(english,
                 "the first data line (line 2) has 8 data columns, fewer than the 20 channels set");
    ExpandReasonPattern("%+1行目、%+2列目", &reason, nullptr, window, sizeof window);
    EXPECT_STREQ(window, "3行目、9列目");
    const SourceCheck strange{99, 0, 0, 0};
    EXPECT_EQ(SourceVerdictReason(&strange).code, REASON_NONE);
    FormatSourceVerdict(&strange, english, sizeof english);
    EXPECT_STREQ(english, "source verdict 99");
}

TEST(Reasons, StartRefusalsAndSettingsNameTheirValues) {
    const PsgStartResult uneven{kPsgStartUnevenChannelRate, 3, 7};
    Reason reason = PsgStartReason(&uneven);
    EXPECT_EQ(reason.code, REASON_PSG_UNEVEN_CHANNEL_RATE);
    EXPECT_EQ(reason.values[0], 3);
    EXPECT_EQ(reason.values[1], 7);

    AppRecord record{};
    std::snprintf(record.RunErrorText, sizeof record.RunErrorText, "access denied");
    reason = EegStartReason(&record, kEegStartReferenceExists, "D:\\OUT.DAT");
    EXPECT_EQ(reason.code, REASON_EEG_REFERENCE_EXISTS);
    EXPECT_STREQ(reason.path, "D:\\OUT.REF") << "the file that is in the way";
    EXPECT_STREQ(reason.detail, "access denied");

    SettingProblem problem{"EEG", "RateDivisor", 4, 3, kRangeRateDivisor, 0, 0};
    EXPECT_EQ(SettingProblemReason(&problem).code, REASON_SETTING_RATE_DIVISOR_ROW);
    problem.row = 0;
    reason = SettingProblemReason(&problem);
    EXPECT_EQ(reason.code, REASON_SETTING_RATE_DIVISOR);
    EXPECT_STREQ(reason.detail, "[EEG] RateDivisor");
}

}  // namespace
