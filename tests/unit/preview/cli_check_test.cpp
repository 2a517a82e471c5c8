// quillon-cli check: its verdict, its exit status, and suggested options that
// convert as the sample's preset does.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "scratch_files.h"

namespace {

const std::string kSamples = QUILLON_SAMPLES;
const std::string kCli = QUILLON_CLI;
const std::string kSettings = " --settings '" + kSamples + "/COND/QUILLON.INI'";

struct Ran {
    int status;
    std::string out;  // standard output and standard error
};

Ran RunCli(const std::string& arguments) {
    Ran ran{-1, ""};
    FILE* pipe = popen(("'" + kCli + "' " + arguments + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return ran;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) ran.out.append(buffer, got);
    const int raw = pclose(pipe);
    ran.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return ran;
}

std::string Suggested(const std::string& out) {
    const std::string mark = "suggested options: ";
    const size_t at = out.find(mark);
    if (at == std::string::npos) return "";
    return out.substr(at + mark.size(), out.find('\n', at) - at - mark.size());
}

TEST(CliCheck, RightPresetPassesAndWrongOneIsNamedWithAFix) {
    const std::string source = "'" + kSamples + "/eeg_comma_time.csv'";
    Ran right = RunCli("check " + source + kSettings + " --preset 1");
    EXPECT_EQ(right.status, 0) << right.out;
    EXPECT_NE(right.out.find("the layout looks right"), std::string::npos) << right.out;

    Ran wrong = RunCli("check " + source + kSettings + " --preset 2");
    EXPECT_EQ(wrong.status, 4) << wrong.out;
    EXPECT_NE(wrong.out.find("data lines have 9 columns, 8 channels set"), std::string::npos);
    EXPECT_NE(wrong.out.find("looks like a time"), std::string::npos) << wrong.out;

    // The options pasted after the wrong preset convert what the right one does.
    ScratchFolder scratch;
    const std::string options = Suggested(wrong.out);
    ASSERT_FALSE(options.empty()) << wrong.out;
    EXPECT_EQ(RunCli("check " + source + kSettings + " --preset 2 " + options).status, 0);
    const std::string fixed = scratch.File("fixed.DAT"), preset = scratch.File("preset.DAT");
    ASSERT_EQ(RunCli("convert " + source + kSettings + " --preset 2 " + options +
                     " --rate 200 -o '" + fixed + "'")
                  .status,
              0);
    ASSERT_EQ(RunCli("convert " + source + kSettings + " --preset 1 --rate 200 -o '" + preset + "'")
                  .status,
              0);
    EXPECT_EQ(ReadBytes(fixed), ReadBytes(preset));
}

// A file convert refuses is refused alike; a layout the first data line
// refutes is judged instead.
TEST(CliCheck, RefusesWhatConvertRefuses) {
    ScratchFolder scratch;
    WriteBytes(scratch.File("empty.csv"), "");
    WriteBytes(scratch.File("utf16.csv"), std::string("\xFF\xFE"
                                                      "1\0,\0"
                                                      "2\0",
                                                      8));
    for (const char* name : {"empty.csv", "utf16.csv"}) {
        const std::string source = " '" + scratch.File(name) + "'";
        Ran check = RunCli("check" + source + kSettings);
        Ran convert =
            RunCli("convert" + source + kSettings + " -o '" + scratch.File("o.DAT") + "'");
        EXPECT_EQ(check.status, 1) << check.out;
        EXPECT_EQ(check.out, convert.out);
    }
    EXPECT_EQ(RunCli("check" + kSettings).status, 2);
    Ran blank = RunCli("check '" + kSamples + "/eeg_blank.txt'" + kSettings + " --preset 1");
    EXPECT_EQ(blank.status, 4) << blank.out;
    EXPECT_NE(blank.out.find("--delimiter space --bias 0 --label-line 0"), std::string::npos);
}

// preview takes convert's refusals and its own limits.
TEST(CliPreview, RefusesBadArgumentsAndSources) {
    ScratchFolder scratch;
    const std::string sample = " '" + kSamples + "/eeg_comma_time.csv'" + kSettings;
    const std::string svg = " -o '" + scratch.File("p.svg") + "'";
    EXPECT_EQ(RunCli("preview" + sample).status, 2);
    EXPECT_EQ(RunCli("preview" + sample + svg + " --seconds 61").status, 2);
    EXPECT_EQ(RunCli("preview" + sample + svg + " --from -1").status, 2);
    EXPECT_EQ(RunCli("preview" + sample + " --volume '" + scratch.Path() + "'").status, 2);
    WriteBytes(scratch.File("empty.csv"), "");
    const std::string empty = " '" + scratch.File("empty.csv") + "'" + kSettings;
    Ran preview = RunCli("preview" + empty + svg);
    EXPECT_EQ(preview.status, 1);
    EXPECT_EQ(preview.out, RunCli("convert" + empty + " -o '" + scratch.File("o.DAT") + "'").out);
    EXPECT_FALSE(std::ifstream(scratch.File("p.svg")).good());
}

}  // namespace
