// quillon-cli convert: options over the settings, the summary line, errors
// that write nothing, and the file number of volume runs.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "eeg_test_support.h"

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a shell script in the scratch folder; $CLI names quillon-cli.
CliRun Shell(const Scratch& scratch, const std::string& script) {
    const std::string out = scratch.File("stdout.txt");
    const std::string err = scratch.File("stderr.txt");
    const std::string command = "cd '" + scratch.Path() + "' && CLI='" QUILLON_CLI "' && (" +
                                script + ") >'" + out + "' 2>'" + err + "'";
    CliRun run;
    int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadBytes(out);
    run.err = ReadBytes(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}

CliRun Cli(const Scratch& scratch, const std::string& arguments) {
    return Shell(scratch, "\"$CLI\" " + arguments);
}

const std::string kSamples = QUILLON_SAMPLES;

// The sample settings in a folder of the test's own.
void CopySettings(const Scratch& scratch) {
    std::filesystem::create_directory(scratch.File("COND"));
    for (const char* name : {"QUILLON.INI", "PATIENT.INF"})
        std::filesystem::copy_file(kSamples + "/COND/" + name,
                                   scratch.File(std::string("COND/") + name));
}

bool OneErrorLine(const CliRun& run) {
    return run.err.rfind("quillon-cli: ", 0) == 0 && run.err.find('\n') == run.err.size() - 1;
}

// The error of a run that went ahead, after the warnings of its start.
std::string WithoutWarnings(const std::string& err) {
    std::string rest = err;
    while (rest.rfind("quillon-cli: warning: ", 0) == 0) rest.erase(0, rest.find('\n') + 1);
    return rest;
}

TEST(ConvertCommand, PresetSampleToAFile) {
    Scratch scratch;
    CopySettings(scratch);
    const std::string settings = ReadBytes(scratch.File("COND/QUILLON.INI"));
    // The settings select preset 1 (OrgFileType=1), as for the desktop program.
    CliRun run = Cli(scratch, "convert " + kSamples +
                                  "/eeg_comma_time.csv --settings COND/QUILLON.INI"
                                  " --rate 200 -o out.dat");
    ASSERT_EQ(run.status, 0) << run.err;
    // A title line and the label line before the data start line, then 2400
    // data lines: the head makes no frame and counts as nothing.
    EXPECT_EQ(run.out, "out.dat: 2400 frames, 3 steps\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadBytes(scratch.File("COND/QUILLON.INI")), settings) << "-o writes no settings";
    Wave wave = ReadWave(scratch.File("out.dat"));
    ASSERT_EQ(wave.channels, 8u);
    EXPECT_EQ(wave.interval, 5000u);
    // The marks go to frames 1, 2 and 3 counted from the data start.
    EXPECT_EQ(wave.Event(0), 0);
    EXPECT_EQ(wave.Sample(0, 1), 1010) << "the first data line, time column skipped";
    EXPECT_EQ(wave.Event(1), 0x1001);
    EXPECT_EQ(wave.Event(3), 0x10C1);
    EXPECT_EQ(wave.Sample(1999, 1), 792) << "second 9.995, in its own place";
    EXPECT_EQ(wave.Sample(2000, 1), 1010);
    OpenFile file(scratch.File("out.dat"));
    EXPECT_EQ(file.Texts(4, 0x8E)[7], "O2");
    EXPECT_EQ(file.Texts(1, 0x80)[7], "000-0123") << "the patient file beside the settings";
    EXPECT_EQ(file.Texts(1, 0x80)[9], "\x8E\x52\x93\x63 \x89\xD4\x8E\x71");
    EXPECT_TRUE(Exists(scratch.File("out.REF")));
}

TEST(ConvertCommand, ExplicitOptionsWinOverThePreset) {
    Scratch scratch;
    CopySettings(scratch);
    WriteBytes(scratch.File("src.txt"), "t A B\r\n0 100 -100\r\n1 4882.8125 2\r\n");
    // Preset 1 is comma separated A/D with a label line 1: every option changes it.
    CliRun run = Cli(scratch,
                     "convert src.txt --settings COND/QUILLON.INI --preset 1 --type eeg24"
                     " --delimiter space --bias 1 --label-line 0 --data-start-line 1"
                     " --calibrated --mag 1 --rate 250 --notch 60 --invert --pattern 2"
                     " --start '1999-12-31 23:59:58' -o out.dat");
    ASSERT_EQ(run.status, 0) << run.err;
    // 4882.8125 x 409.6 / 50 = 40000 is clipped.
    EXPECT_EQ(run.out,
              "out.dat: 2 frames, 2 steps\n"
              "counts: 2 data rows; 1 value beyond the 16-bit range (stored at its limit)\n");
    OpenFile file(scratch.File("out.dat"));
    EXPECT_STREQ(file.typeName, "EEG FILING24");
    EXPECT_EQ(file.Texts(1, 0x80)[0], "0200");
    EXPECT_EQ(file.Texts(1, 0x80)[1], "250");
    EXPECT_EQ(file.Texts(1, 0x80)[4], " 99/12/31");
    EXPECT_EQ(file.Words(2, 0x86), (std::vector<uint16_t>{1999, 11, 31, 23, 59, 58}));
    EXPECT_EQ(file.Words(3, 0x93)[1], 1u);
    EXPECT_EQ(file.Texts(4, 0x8E)[1], "B");
    Wave wave = ReadWave(scratch.File("out.dat"));
    ASSERT_EQ(wave.frames, 2u);
    EXPECT_EQ(wave.Sample(0, 0), -819) << "inverted, 10 uV from pattern 2";
    EXPECT_EQ(wave.Sample(1, 0), -32767);
}

TEST(ConvertCommand, JapaneseLabelsThroughTheLabelLine) {
    Scratch scratch;
    CopySettings(scratch);
    CliRun run =
        Cli(scratch, "convert " + kSamples +
                         "/eeg_japanese_labels.csv"
                         " --settings COND/QUILLON.INI --preset 5 --label-line 0 --rate 200"
                         " -o out.dat");
    ASSERT_EQ(run.status, 0) << run.err;
    OpenFile file(scratch.File("out.dat"));
    std::vector<std::string> labels = file.Texts(4, 0x8E);
    EXPECT_EQ(labels[0], "\x91\x4F\x93\xAA\x8D\xB6") << "left frontal, in code page 932";
    EXPECT_EQ(labels[3], "\x92\x86\x90\x53\x89\x45");
    EXPECT_EQ(labels[4], "");
}

TEST(ConvertCommand, VolumeRunsAdvanceTheFileNumber) {
    Scratch scratch;
    CopySettings(scratch);
    std::filesystem::create_directory(scratch.File("drive"));
    const std::string args = "convert " + kSamples +
                             "/eeg_blank.txt --settings COND/QUILLON.INI"
                             " --preset 2 --rate 100 --volume drive";
    CliRun run = Cli(scratch, args);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(OneErrorLine(run)) << run.err;
    EXPECT_NE(run.err.find("--create-disk-id"), std::string::npos);
    EXPECT_FALSE(Exists(scratch.File("drive/DAT")));

    run = Cli(scratch, args + " --create-disk-id DEMO-01");
    ASSERT_EQ(run.status, 0) << run.err;
    // The label line "Fp1 Fp2 O1 O2" lies before the data start line: no
    // frame, and 1000 lines at 100 Hz fill one step.
    EXPECT_EQ(run.out, "drive/DAT/88000001.DAT: 1000 frames, 2 steps\n");
    EXPECT_EQ(ReadBytes(scratch.File("drive/4710.VOL")), std::string("DEMO-01\0\0\0\0\0", 12));
    run = Cli(scratch, args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "drive/DAT/88000002.DAT: 1000 frames, 2 steps\n");
    EXPECT_NE(ReadBytes(scratch.File("COND/QUILLON.INI")).find("EEGFileNo=3\r\n"),
              std::string::npos);
    OpenFile file(scratch.File("drive/DAT/88000002.DAT"));
    EXPECT_EQ(file.Texts(1, 0x80)[5], "88000002");
    EXPECT_EQ(file.Texts(1, 0x80)[6], "DEMO-01");

    run = Cli(scratch, args + " --create-disk-id OTHER");
    EXPECT_EQ(run.status, 1) << "the volume has its Disk ID already";
    EXPECT_TRUE(OneErrorLine(run)) << run.err;

    // A killed run's file is passed by, with a word on the number used.
    WriteBytes(scratch.File("drive/DAT/88000003.DAT"), "killed");
    run = Cli(scratch, args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "drive/DAT/88000004.DAT: 1000 frames, 2 steps\n");
    EXPECT_TRUE(OneErrorLine(run) && run.err.find("uses number 4") != std::string::npos) << run.err;
    EXPECT_NE(ReadBytes(scratch.File("COND/QUILLON.INI")).find("EEGFileNo=5\r\n"),
              std::string::npos);
}

// A number the settings file does not take is reported after the summary:
// the file is whole, but the next run would write over it.
TEST(ConvertCommand, ANumberNotSavedFailsAfterTheSummary) {
    Scratch scratch;
    CopySettings(scratch);
    std::filesystem::create_directory(scratch.File("drive"));
    const std::string args = " convert " + kSamples +
                             "/eeg_blank.txt --settings COND/QUILLON.INI"
                             " --preset 2 --rate 100 --volume drive";
    ASSERT_EQ(Cli(scratch, args + " --create-disk-id DEMO-01").status, 0);
    // The settings are replaced through a temporary file named by the
    // process id: a folder in its place makes the write fail.
    CliRun run =
        Shell(scratch, "sh -c 'mkdir COND/QUILLON.INI.tmp$$ && exec \"$0\"" + args + "' \"$CLI\"");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "drive/DAT/88000002.DAT: 1000 frames, 2 steps\n");
    EXPECT_EQ(run.err, "quillon-cli: cannot save EEGFileNo 3 in \"COND/QUILLON.INI\"\n");
    EXPECT_TRUE(Exists(scratch.File("drive/DAT/88000002.REF")));
}

TEST(ConvertCommand, ErrorsWriteNothing) {
    Scratch scratch;
    CopySettings(scratch);
    WriteBytes(scratch.File("src.csv"), NumberLines(10, 2));
    WriteBytes(scratch.File("taken.dat"), "keep");
    const std::string settings = ReadBytes(scratch.File("COND/QUILLON.INI"));
    struct Case {
        const char* arguments;
        int status;
    };
    const Case cases[] = {
        {"convert src.csv --bogus -o a.dat", 2},
        {"convert src.csv --rate fast -o a.dat", 2},
        {"convert src.csv --notch 55 -o a.dat", 2},
        {"convert src.csv --start '2001-02-29 00:00:00' -o a.dat", 2},
        {"convert src.csv --mag 3 -o a.dat", 2},
        {"convert src.csv", 2},
        {"convert src.csv -o a.dat --volume .", 2},
        {"convert -o a.dat", 2},
        {"convert missing.csv --settings COND/QUILLON.INI -o a.dat", 1},
        {"convert src.csv --settings NONE.INI -o a.dat", 1},
        {"convert src.csv --settings COND/QUILLON.INI --preset 9 -o a.dat", 1},
        {"convert src.csv --settings COND/QUILLON.INI --label-line 50 -o a.dat", 1},
        {"convert src.csv --settings COND/QUILLON.INI -o taken.dat", 1},
        {"convert src.csv --settings COND/QUILLON.INI --volume src.csv", 1},
        {"convert src.csv --settings COND/QUILLON.INI -o ''", 2},
        {"convert src.csv --settings COND/QUILLON.INI --volume . --create-disk-id 1234567890", 2},
        {"convert src.csv --settings COND/QUILLON.INI --volume . --create-disk-id 'AB\x82'", 2},
    };
    for (const Case& c : cases) {
        CliRun run = Cli(scratch, c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments;
        EXPECT_TRUE(OneErrorLine(run)) << c.arguments << ": " << run.err;
        EXPECT_EQ(run.out, "") << c.arguments;
        EXPECT_FALSE(Exists(scratch.File("a.dat"))) << c.arguments;
        EXPECT_FALSE(Exists(scratch.File("a.REF"))) << c.arguments;
    }
    EXPECT_EQ(ReadBytes(scratch.File("taken.dat")), "keep");
    EXPECT_EQ(ReadBytes(scratch.File("COND/QUILLON.INI")), settings);
    EXPECT_FALSE(Exists(scratch.File("taken.REF")));
    EXPECT_FALSE(Exists(scratch.File("4710.VOL"))) << "a Disk ID is written whole or not at all";
    EXPECT_NE(Cli(scratch, "convert src.csv -o ''").err.find("the path given to -o is empty"),
              std::string::npos);
}

// Refusals name their cause and create nothing: a source no run can
// convert faithfully, a pattern the settings do not hold, a folder that
// does not exist.
TEST(ConvertCommand, RefusalsNameTheirCause) {
    Scratch scratch;
    CopySettings(scratch);
    WriteBytes(scratch.File("src.csv"), NumberLines(10, 2));
    WriteBytes(scratch.File("empty.csv"), "");
    WriteBytes(scratch.File("utf16.csv"), std::string("\xFF\xFE"
                                                      "1\0,\0"
                                                      "2\0\n\0",
                                                      10));
    WriteBytes(scratch.File("binary.csv"), std::string("1,2\n\x7F"
                                                       "ELF\0\0\x01\n",
                                                       11));
    ASSERT_EQ(mkfifo(scratch.File("fifo").c_str(), 0600), 0);
    std::string bad = ReadBytes(scratch.File("COND/QUILLON.INI"));
    bad.replace(bad.find("EEGFileNo=1"), 11, "EEGFileNo=1000000");
    bad.replace(bad.find("DataStartLine=1"), 15, "DataStartLine=-5");  // of ORGCOND1
    WriteBytes(scratch.File("BAD.INI"), bad);
    std::filesystem::create_directory(scratch.File("drive"));
    WriteBytes(scratch.File("drive/4710.VOL"), "DRIVE\0\0\0\0\0\0\0");
    const std::string layout =
        " --settings COND/QUILLON.INI --preset 0 --delimiter comma"
        " --bias 0 --data-start-line 0 --channels 2";
    const std::pair<std::string, std::string> cases[] = {
        {"convert empty.csv" + layout + " -o a.dat", "the source is empty"},
        {"convert utf16.csv" + layout + " -o a.dat", "the source is UTF-16 text"},
        {"convert binary.csv" + layout + " -o a.dat", "it is not a text file"},
        {"convert src.csv" + layout + " --channels 3 -o a.dat",
         "the first data line (line 0) has 2 data columns, fewer than the 3 channels set"},
        {"convert src.csv" + layout + " --pattern 3 -o a.dat",
         "has no section [EEGPattern3] for --pattern 3"},
        {"convert src.csv" + layout + " --type psg --pattern 2 -o a.dat",
         "has no section [PSGPattern2] for --pattern 2"},
        {"convert src.csv" + layout + " -o none/a.dat", "No such file or directory"},
        {"convert src.csv" + layout + " --type psg -o none/a.dat", "No such file or directory"},
        {"convert fifo" + layout + " -o a.dat", "\"fifo\": the source must be a regular file"},
        {"convert -" + layout + " -o a.dat", "standard input cannot be converted"},
        {"convert COND" + layout + " -o a.dat", "\"COND\": it is a directory"},
        {"convert src.csv" + layout + " --patient NONE.INF -o a.dat",
         "the patient file \"NONE.INF\" does not exist (--patient)"},
        {"convert src.csv --settings BAD.INI --preset 2 --rate 100 -o a.dat",
         "the settings file \"BAD.INI\": [ORGCOND1] DataStartLine is -5; it must be 0 or more"},
        {"convert src.csv --settings BAD.INI --preset 2 --rate 100 --volume drive",
         "[ORGCOND1] DataStartLine is -5"},
        {"convert src.csv --settings BAD.INI --preset 2 --data-start-line 0 --rate 100 --volume "
         "drive",
         "[SYSTEM] EEGFileNo is 1000000; it must be 1..99999"},
    };
    for (const auto& [arguments, cause] : cases) {
        CliRun run = Cli(scratch, arguments);
        EXPECT_EQ(run.status, 1) << arguments;
        EXPECT_TRUE(OneErrorLine(run)) << arguments << ": " << run.err;
        EXPECT_NE(run.err.find(cause), std::string::npos) << arguments << ": " << run.err;
        EXPECT_FALSE(Exists(scratch.File("a.dat"))) << arguments;
        EXPECT_FALSE(Exists(scratch.File("a.REF"))) << arguments;
        EXPECT_FALSE(Exists(scratch.File("drive/DAT"))) << arguments;
    }
}

// The patient file: a missing one is a warning and the built-in patient;
// --patient names another.
TEST(ConvertCommand, ThePatientFileInUseIsNamed) {
    Scratch scratch;
    CopySettings(scratch);
    std::filesystem::rename(scratch.File("COND/PATIENT.INF"), scratch.File("OTHER.INF"));
    const std::string args = "convert " + kSamples +
                             "/eeg_blank.txt --settings COND/QUILLON.INI --preset 2 --rate 100 -o ";
    CliRun run = Cli(scratch, args + "built-in.dat");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err,
              "quillon-cli: warning: the patient file \"COND/PATIENT.INF\" does not exist; the "
              "built-in patient fields were used\n");
    EXPECT_EQ(OpenFile(scratch.File("built-in.dat")).Texts(1, 0x80)[7], "000-0001");

    run = Cli(scratch, args + "other.dat --patient OTHER.INF");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(OpenFile(scratch.File("other.dat")).Texts(1, 0x80)[7], "000-0123");
}

// --keep-pattern: the labels and row switches of the pattern stay as the
// settings hold them although --label-line takes others from the source.
TEST(ConvertCommand, KeepPatternKeepsTheStoredLabels) {
    Scratch scratch;
    CopySettings(scratch);
    std::string source = "t,A,B,C,D,E,F,G\n";
    for (int32_t i = 0; i < 400; ++i) source += std::to_string(i) + ",1,2,3,4,5,6,7\n";
    WriteBytes(scratch.File("src.csv"), source);
    const std::string args =
        "convert src.csv --settings COND/QUILLON.INI --type psg --preset 4"
        " --label-line 0 --rate 200 --pattern 1 -o ";
    // The first signal's label: 16 bytes after the 256-byte main header.
    auto firstLabel = [&](const char* name) {
        return ReadBytes(scratch.File(name)).substr(256, 16);
    };
    CliRun run = Cli(scratch, args + "taken.edf");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(firstLabel("taken.edf"), "EEG A           ");
    run = Cli(scratch, args + "kept.edf --keep-pattern");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(firstLabel("kept.edf"), "EEG C3-A2       ");
}

// 8 channels at 200 Hz: 2,000 frames of 18 bytes a step.
void WriteLongSource(const Scratch& scratch, int32_t lines) {
    std::string source;
    source.reserve(static_cast<size_t>(lines) * 24);
    for (int32_t i = 0; i < lines; ++i) source += std::to_string(i % 1000) + ",1,2,3,4,5,6,7\n";
    WriteBytes(scratch.File("long.csv"), source);
}

const char kLongLayout[] =
    " --preset 0 --delimiter comma --bias 0 --data-start-line 0"
    " --channels 8 --rate 200";

// The wave ends at its last whole frame, the reference file names it, and
// the file holds nothing after it.
void ExpectCleanEnd(const Scratch& scratch, uint32_t frames) {
    Wave wave = ReadWave(scratch.File("out.dat"));
    EXPECT_EQ(wave.frames, frames);
    OpenFile reference(scratch.File("out.REF"), "KAVT");
    EXPECT_EQ(reference.Longs(1, 0xD3, 4)[3], frames - 1);
    OpenFile file(scratch.File("out.dat"));
    KavfWaveInfo info;
    ASSERT_EQ(ReadKavfWaveInfo(file.handle, 40, 0xA0, &info), KAVF_WAVE_EVENT);
    const uint32_t dataStart = GetKavfInfo(file.handle, KAVF_INFO_DATA_POSITION);
    EXPECT_GT(dataStart, 100000u) << "the header";
    EXPECT_EQ(std::filesystem::file_size(scratch.File("out.dat")), dataStart + frames * 18u);
}

TEST(ConvertCommand, AFailedWriteEndsTheFileCleanlyAndSaysWhy) {
    Scratch scratch;
    WriteBytes(scratch.File("QUILLON.INI"), "[SYSTEM]\r\nCopyFileType=2\r\n");
    WriteLongSource(scratch, 20000);
    // Files of at most 440 blocks of 512 bytes: the header (about 122 KiB)
    // and two steps fit, the third does not.
    CliRun run = Shell(scratch, std::string("trap '' XFSZ; ulimit -f 440; \"$CLI\" convert long.csv"
                                            " --settings QUILLON.INI -o out.dat") +
                                    kLongLayout);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    run.err = WithoutWarnings(run.err);
    EXPECT_TRUE(OneErrorLine(run)) << run.err;
    EXPECT_EQ(run.err.rfind("quillon-cli: writing \"out.dat\" failed (File too large); \"out.dat\""
                            " holds the first ",
                            0),
              0u)
        << run.err;
    const uint32_t frames = ReadWave(scratch.File("out.dat")).frames;
    EXPECT_EQ(frames, 4000u) << "whole steps only";
    EXPECT_NE(run.err.find(std::to_string(frames) + " frames"), std::string::npos) << run.err;
    ExpectCleanEnd(scratch, frames);
}

// Ctrl+C mid-run: the output ends cleanly at the frames written, the user
// is told what it holds, and the status is 130. The run is stopped while
// the signal arrives, so it cannot finish first.
TEST(ConvertCommand, AnInterruptEndsTheOutputCleanly) {
    Scratch scratch;
    WriteBytes(scratch.File("QUILLON.INI"), "[SYSTEM]\r\nCopyFileType=2\r\n");
    WriteLongSource(scratch, 1000000);
    CliRun run =
        Shell(scratch, std::string("\"$CLI\" convert long.csv --settings QUILLON.INI"
                                   " -o out.dat") +
                           kLongLayout +
                           " & pid=$!; until [ \"$(stat -c %s out.dat 2>/dev/null || echo 0)\""
                           " -gt 200000 ]; do :; done;"
                           " kill -STOP $pid; kill -INT $pid; kill -CONT $pid; wait $pid");
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_EQ(
        WithoutWarnings(run.err).rfind("quillon-cli: interrupted; \"out.dat\" holds the first ", 0),
        0u)
        << run.err;
    const uint32_t frames = ReadWave(scratch.File("out.dat")).frames;
    EXPECT_LT(frames, 1000000u);
    ExpectCleanEnd(scratch, frames);
}

// A closed terminal, a termination request and a closed pipe end a run as
// Ctrl+C does: status 130 and a complete file of the frames written.
TEST(ConvertCommand, HangupTerminateAndABrokenPipeEndTheRunCleanly) {
    Scratch scratch;
    // Whole settings and a patient file: no warning line comes before the
    // progress line that meets the closed pipe.
    CopySettings(scratch);
    WriteLongSource(scratch, 1000000);
    const std::string convert =
        std::string("\"$CLI\" convert long.csv --settings COND/QUILLON.INI -o out.dat") +
        kLongLayout;
    for (const char* signal : {"HUP", "TERM", "PIPE"}) {
        CliRun run = Shell(scratch, convert +
                                        " & pid=$!; until [ \"$(stat -c %s out.dat 2>/dev/null ||"
                                        " echo 0)\" -gt 200000 ]; do :; done; kill -STOP $pid;"
                                        " kill -" +
                                        signal + " $pid; kill -CONT $pid; wait $pid");
        EXPECT_EQ(run.status, 130) << signal << run.err;
        ExpectCleanEnd(scratch, ReadWave(scratch.File("out.dat")).frames);
        std::filesystem::remove(scratch.File("out.dat"));
        std::filesystem::remove(scratch.File("out.REF"));
    }
    // The progress line on standard error meets a reader that went away: the
    // run is stopped until a progress line is due, then the reader closes.
    CliRun run = Shell(scratch, "mkfifo err.pipe; " + convert +
                                    " 2>err.pipe & pid=$!; exec 3<err.pipe; until [ \"$(stat -c %s"
                                    " out.dat 2>/dev/null || echo 0)\" -gt 200000 ]; do :; done;"
                                    " kill -STOP $pid; sleep 1.5; exec 3<&-; kill -CONT $pid;"
                                    " wait $pid");
    EXPECT_EQ(run.status, 130) << run.err;
    const uint32_t frames = ReadWave(scratch.File("out.dat")).frames;
    EXPECT_LT(frames, 1000000u);
    ExpectCleanEnd(scratch, frames);
}

// SIGKILL mid-run: the wave opens with the frames of its whole steps, and
// `repair` finishes it from the frames on disk, once.
TEST(ConvertCommand, AKilledRunLeavesAWaveThatOpensAndRepairFinishesIt) {
    Scratch scratch;
    WriteBytes(scratch.File("QUILLON.INI"), "[SYSTEM]\r\nCopyFileType=2\r\n");
    WriteLongSource(scratch, 1000000);
    CliRun run = Shell(scratch, std::string("\"$CLI\" convert long.csv --settings QUILLON.INI"
                                            " -o out.dat") +
                                    kLongLayout +
                                    " & pid=$!; until [ \"$(stat -c %s out.dat 2>/dev/null ||"
                                    " echo 0)\" -gt 300000 ]; do :; done;"
                                    " kill -STOP $pid; kill -KILL $pid; wait $pid");
    EXPECT_EQ(run.status, 128 + 9);
    const uint32_t frames = ReadWave(scratch.File("out.dat")).frames;
    EXPECT_GT(frames, 0u);
    EXPECT_EQ(frames % 2000, 0u) << "whole steps of 10 s at 200 Hz";
    EXPECT_EQ(ReadBytes(scratch.File("out.REF")), "");
    run = Cli(scratch, "inspect out.dat");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(std::to_string(frames)), std::string::npos) << run.out;

    run = Cli(scratch, "repair out.dat");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("out.dat: wave ended at ", 0), 0u) << run.out;
    const Wave wave = ReadWave(scratch.File("out.dat"));
    EXPECT_GE(wave.frames, frames);
    EXPECT_EQ(wave.Sample(wave.frames - 1, 0), static_cast<int16_t>((wave.frames - 1) % 1000));
    ExpectCleanEnd(scratch, wave.frames);
    const std::string repaired = ReadBytes(scratch.File("out.dat"));
    run = Cli(scratch, "repair out.dat");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(OneErrorLine(run)) << run.err;
    EXPECT_NE(run.err.find("complete"), std::string::npos) << run.err;
    EXPECT_TRUE(ReadBytes(scratch.File("out.dat")) == repaired) << "unchanged";
    run = Cli(scratch, "repair long.csv");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(OneErrorLine(run)) << run.err;
}

TEST(ConvertCommand, HelpAndTheDefaultSettings) {
    Scratch scratch;
    CliRun run = Cli(scratch, "convert --help");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("usage: quillon-cli convert SOURCE", 0), 0u);
    EXPECT_NE(run.out.find("--create-disk-id"), std::string::npos);
    run = Cli(scratch, "--help");
    EXPECT_NE(run.out.find("convert SOURCE"), std::string::npos);

    // No settings beside the program: the defaults, 12 channels at 200 Hz.
    WriteBytes(scratch.File("src.csv"), NumberLines(5, 12));
    run = Cli(scratch, "convert src.csv -o out.dat");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "out.dat: 5 frames, 2 steps\n");
    EXPECT_EQ(ReadWave(scratch.File("out.dat")).interval, 5000u);
}

}  // namespace
