// quillon-cli convert --type psg: the bundled sample to an EDF+ file checked
// by hand and by an independent reader, the PSG options, and errors that
// write nothing.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "edf_view.h"
#include "scratch_files.h"
#include "shell_runs.h"

namespace {

const std::string kSamples = QUILLON_SAMPLES;

CliRun Cli(const ScratchFolder& scratch, const std::string& arguments) {
    return RunIn(scratch, "'" QUILLON_CLI "' " + arguments);
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

bool OneErrorLine(const CliRun& run) {
    return run.err.rfind("quillon-cli: ", 0) == 0 && run.err.find('\n') == run.err.size() - 1;
}

// The error of a run that went ahead, after the warnings of its start.
std::string WithoutWarnings(const std::string& err) {
    std::string rest = err;
    while (rest.rfind("quillon-cli: warning: ", 0) == 0) rest.erase(0, rest.find('\n') + 1);
    return rest;
}

void CopySampleSettings(const ScratchFolder& scratch) {
    std::filesystem::create_directory(scratch.File("COND"));
    for (const char* name : {"QUILLON.INI", "PATIENT.INF"})
        std::filesystem::copy_file(kSamples + "/COND/" + name,
                                   scratch.File(std::string("COND/") + name));
}

// The bundled night sample with its preset (comma, a sample-number column,
// calibrated values) and PSG pattern 1.
const std::string kNightSample = "convert " + kSamples +
                                 "/psg_night.csv --settings COND/QUILLON.INI --type psg"
                                 " --preset 4 --rate 200";

TEST(PsgConvertCommand, NightSampleToAnEdfFile) {
    ScratchFolder scratch;
    CopySampleSettings(scratch);
    const std::string settings = ReadBytes(scratch.File("COND/QUILLON.INI"));
    CliRun run = Cli(scratch, kNightSample +
                                  " --frame-time 10 --comment 'night 1'"
                                  " --start '2024-03-01 22:30:00' -o night.edf");
    ASSERT_EQ(run.status, 0) << run.err;
    // One 30-second epoch of three 10-second frames; the counter also
    // counts the step that found the source used up.
    EXPECT_EQ(run.out, "night.edf: 3 frames, 6 steps\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadBytes(scratch.File("COND/QUILLON.INI")), settings);

    EdfView edf(ReadBytes(scratch.File("night.edf")));
    EXPECT_EQ(edf.Main(8, 24), "000-0123 F 12-APR-1980 X") << "from PATIENT.INF";
    EXPECT_EQ(edf.Main(168, 16), "01.03.2422.30.00");
    EXPECT_EQ(edf.Main(236, 20), "3       10      8   ");
    const char* labels[] = {"EEG C3-A2",    "EOG LOC-A2",    "EMG Chin",  "ECG",
                            "Flow Airflow", "Effort Thorax", "SaO2 SpO2", "EDF Annotations"};
    const char* units[] = {"uV", "uV", "uV", "mV", "uV", "uV", "%"};
    const char* perRecord[] = {"2000", "2000", "2000", "2000", "500", "200", "40"};
    for (int32_t s = 0; s < 7; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(edf.Trimmed(EdfView::kLabel, s), labels[s]);
        EXPECT_EQ(edf.Trimmed(EdfView::kDimension, s), units[s]);
        EXPECT_EQ(edf.Trimmed(EdfView::kSamples, s), perRecord[s]);
    }
    EXPECT_EQ(edf.Trimmed(EdfView::kLabel, 7), labels[7]);
    // 32767 x EU / VU: 50 / 409 uV, 1 / 4000 mV, 100 / 1000 %.
    EXPECT_EQ(edf.Trimmed(EdfView::kPhysicalMax, 0), "4005.75");
    EXPECT_EQ(edf.Trimmed(EdfView::kPhysicalMin, 3), "-8.19175");
    EXPECT_EQ(edf.Trimmed(EdfView::kPhysicalMax, 6), "3276.7");
    EXPECT_EQ(edf.Trimmed(EdfView::kPrefiltering, 0), "HP:0.3Hz LP:35Hz N:50Hz");
    EXPECT_EQ(edf.Trimmed(EdfView::kPrefiltering, 6), "N:50Hz");
    EXPECT_EQ(edf.Trimmed(EdfView::kTransducer, 3), "Source channel 4, sensitivity 1.0");

    // Source lines 0, 1, 1000 and 3000 in counts: value x VU / EU, toward
    // zero; Airflow takes every 4th line, Thorax every 10th, SpO2 every 50th.
    const std::vector<int16_t> eeg = edf.Samples(0), ecg = edf.Samples(3), flow = edf.Samples(4),
                               thorax = edf.Samples(5), spo2 = edf.Samples(6);
    ASSERT_EQ(eeg.size(), 6000u);
    ASSERT_EQ(spo2.size(), 120u);
    EXPECT_EQ(eeg[0], 103);        // 12.6 uV
    EXPECT_EQ(eeg[1], 188);        // 23.0 uV
    EXPECT_EQ(ecg[1], -12);        // -0.003 mV
    EXPECT_EQ(ecg[1000], 4800);    // 1.200 mV
    EXPECT_EQ(flow[250], 1636);    // 200.0 uV
    EXPECT_EQ(flow[750], -1636);   // -200.0 uV
    EXPECT_EQ(thorax[0], -692);    // -84.7 uV
    EXPECT_EQ(thorax[100], 1012);  // 123.8 uV
    EXPECT_EQ(spo2[0], 970);       // 97.0 %
    EXPECT_EQ(spo2[20], 975);      // 97.5 %
    EXPECT_EQ(spo2[60], 965);      // 96.5 %

    const std::vector<std::string> notes = edf.AllAnnotations();
    for (const char* text : {"Record comment: night 1", "Hospital: Sleep Center"})
        EXPECT_NE(std::find(notes.begin(), notes.end(), text), notes.end()) << text;
}

TEST(PsgConvertCommand, AnIndependentReaderFindsEverySignal) {
    ScratchFolder scratch;
    CopySampleSettings(scratch);
    CliRun run = Cli(scratch, kNightSample + " -o night.edf");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "night.edf: 30 frames, 60 steps\n");
    run = RunIn(scratch, "/usr/bin/python3 '" EDF_SIGNALS_WITH_MNE "' night.edf");
    if (run.status == 77) GTEST_SKIP() << "python3-mne is not installed";
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "start 2000-01-01 00:00:00\n"
              "EEG C3-A2\t200\t6000\n"
              "EOG LOC-A2\t200\t6000\n"
              "EMG Chin\t200\t6000\n"
              "ECG\t200\t6000\n"
              "Flow Airflow\t50\t1500\n"
              "Effort Thorax\t20\t600\n"
              "SaO2 SpO2\t4\t120\n");
}

TEST(PsgConvertCommand, AFailedWriteIsNoSuccess) {
    ScratchFolder scratch;
    CopySampleSettings(scratch);
    // Files of at most 30 KiB: the header fits, the epoch does not.
    CliRun run = RunIn(
        scratch, "trap '' XFSZ; ulimit -f 60; '" QUILLON_CLI "' " + kNightSample + " -o night.edf");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "quillon-cli: writing \"night.edf\" failed (File too large); \"night.edf\" held no "
              "frame and was removed\n");
    EXPECT_FALSE(std::filesystem::exists(scratch.File("night.edf")))
        << "a recording without data records is no file readers accept";
}

// Ctrl+C mid-run (the run stopped while the signal arrives): the file ends
// at its last whole record, its header counts exactly those records, and
// the status is 130.
TEST(PsgConvertCommand, AnInterruptLeavesACompleteRecording) {
    ScratchFolder scratch;
    WriteBytes(scratch.File("QUILLON.INI"), "[SYSTEM]\r\nFrameTime=1\r\n");
    std::string source;
    for (int32_t i = 0; i < 1000000; ++i) source += std::to_string(i % 1000) + ",7\n";
    WriteBytes(scratch.File("long.csv"), source);
    CliRun run = RunIn(scratch, "'" QUILLON_CLI
                                "' convert long.csv --settings QUILLON.INI"
                                " --type psg --preset 0 --delimiter comma --bias 0"
                                " --data-start-line 0 --channels 2 --rate 200 -o out.edf &"
                                " pid=$!; until [ \"$(stat -c %s out.edf 2>/dev/null || echo 0)\""
                                " -gt 100000 ]; do :; done;"
                                " kill -STOP $pid; kill -INT $pid; kill -CONT $pid; wait $pid");
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_EQ(
        WithoutWarnings(run.err).rfind("quillon-cli: interrupted; \"out.edf\" holds the first ", 0),
        0u)
        << run.err;
    const EdfView edf(ReadBytes(scratch.File("out.edf")));
    const size_t header = 256u * (static_cast<size_t>(edf.signals) + 1);
    ASSERT_GT(edf.records, 0);
    EXPECT_LT(edf.records, 1000000 / 200);
    EXPECT_EQ(edf.bytes.size(), header + static_cast<size_t>(edf.records) * edf.recordBytes);
}

// SIGKILL mid-run: the header counts the records of the epochs written, so
// the file opens; `repair` leaves it with exactly those records and a count
// to match, and a second repair changes nothing.
TEST(PsgConvertCommand, AKilledRunLeavesARecordingThatRepairFinishes) {
    ScratchFolder scratch;
    WriteBytes(scratch.File("QUILLON.INI"), "[SYSTEM]\r\nFrameTime=1\r\n");
    std::string source;
    for (int32_t i = 0; i < 1000000; ++i) source += std::to_string(i % 1000) + ",7\n";
    WriteBytes(scratch.File("long.csv"), source);
    CliRun run = RunIn(scratch, "'" QUILLON_CLI
                                "' convert long.csv --settings QUILLON.INI"
                                " --type psg --preset 0 --delimiter comma --bias 0"
                                " --data-start-line 0 --channels 2 --rate 200 -o out.edf &"
                                " pid=$!; until [ \"$(stat -c %s out.edf 2>/dev/null || echo 0)\""
                                " -gt 100000 ]; do :; done;"
                                " kill -STOP $pid; kill -KILL $pid; wait $pid");
    EXPECT_EQ(run.status, 128 + 9);
    const EdfView killed(ReadBytes(scratch.File("out.edf")));
    const size_t header = 256u * (static_cast<size_t>(killed.signals) + 1);
    ASSERT_GT(killed.records, 0);
    EXPECT_LE(header + static_cast<size_t>(killed.records) * killed.recordBytes,
              killed.bytes.size());

    run = Cli(scratch, "repair out.edf");
    EXPECT_TRUE(run.status == 0 || run.err.find("complete") != std::string::npos) << run.err;
    const EdfView repaired(ReadBytes(scratch.File("out.edf")));
    EXPECT_GE(repaired.records, killed.records);
    EXPECT_EQ(repaired.bytes.size(),
              header + static_cast<size_t>(repaired.records) * repaired.recordBytes);
    run = Cli(scratch, "repair out.edf");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(OneErrorLine(run)) << run.err;
    EXPECT_TRUE(ReadBytes(scratch.File("out.edf")) == repaired.bytes) << "unchanged";
}

TEST(PsgConvertCommand, TimeResolutionFrameTimeAndPolarity) {
    ScratchFolder scratch;
    WriteBytes(scratch.File("QUILLON.INI"), "[SYSTEM]\r\nFrameTime=1\r\n");
    // 45 s of lines a millisecond apart: a full epoch and half of one.
    std::string source;
    for (int32_t i = 0; i < 45000; ++i)
        source += std::to_string(i % 1000) + "," + std::to_string(-(i % 500)) + "\n";
    WriteBytes(scratch.File("ms.csv"), source);
    CliRun run = Cli(scratch,
                     "convert ms.csv --settings QUILLON.INI --type psg --preset 0"
                     " --channels 2 --ad --rate 100 --time-resolution 1"
                     " --frame-time 5 --notch 60 --invert --mag 10 -o ms.edf");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "ms.edf: 12 frames, 18 steps\n");
    EXPECT_EQ(run.err,
              "quillon-cli: warning: the patient file \"./PATIENT.INF\" does not exist; the "
              "built-in patient fields were used\n"
              "quillon-cli: warning: the settings file \"QUILLON.INI\" has no section "
              "[PSGPattern1]; the built-in pattern was used\n"
              "quillon-cli: warning: --mag does not scale PSG output; the pattern's MAG, EU and "
              "VU do\n");

    EdfView edf(ReadBytes(scratch.File("ms.edf")));
    EXPECT_EQ(edf.Main(236, 20), "12      5       3   ");
    EXPECT_EQ(edf.Trimmed(EdfView::kSamples, 0), "500");
    EXPECT_EQ(edf.Trimmed(EdfView::kPrefiltering, 0), "HP:0.5Hz LP:100Hz N:60Hz");
    // Every 10th line, inverted; the half epoch ends in zeros.
    std::vector<int16_t> first(6000, 0), second(6000, 0);
    for (int32_t i = 0; i < 4500; ++i) {
        first[i] = static_cast<int16_t>(-(i * 10 % 1000));
        second[i] = static_cast<int16_t>(i * 10 % 500);
    }
    EXPECT_EQ(edf.Samples(0), first);
    EXPECT_EQ(edf.Samples(1), second);
}

// A pattern cut short after its first lists warns of the keys that took
// defaults; records of 2 s for a 62.5 Hz channel are named in the summary.
TEST(PsgConvertCommand, DefaultsAndRecordLengthAreSaid) {
    ScratchFolder scratch;
    WriteBytes(scratch.File("QUILLON.INI"),
               "[SYSTEM]\r\nFrameTime=1\r\n[PSGPattern1]\r\nChEnable=1,1,\r\nRate=1,2,\r\n");
    WriteBytes(scratch.File("PATIENT.INF"), "[PATIENT]\r\nID=P-7\r\n");
    std::string source;
    for (int32_t i = 0; i < 3750; ++i) source += std::to_string(i % 100) + ",-32768\n";
    WriteBytes(scratch.File("src.csv"), source);
    CliRun run = Cli(scratch,
                     "convert src.csv --settings QUILLON.INI --type psg --preset 0 --ad"
                     " --delimiter comma --bias 0 --data-start-line 0 --channels 2 --rate 125"
                     " -o out.edf");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err,
              "quillon-cli: warning: [PSGPattern1] of \"QUILLON.INI\" lacks Signal, EU, VU, "
              "Sens, LFF, HFF, MAG; their defaults were used\n");
    // Every source value of -32768 is stored as -32767 (channel 2 then takes
    // every second row).
    EXPECT_EQ(run.out,
              "out.edf: 30 frames, 60 steps (15 EDF records of 2 s)\n"
              "counts: 3750 data rows; 3750 values clipped to -32767..32767, the file's digital "
              "range\n");
    EXPECT_EQ(EdfView(ReadBytes(scratch.File("out.edf"))).Main(236, 16), "15      2       ");
}

TEST(PsgConvertCommand, UsageErrorsWriteNothing) {
    ScratchFolder scratch;
    WriteBytes(scratch.File("src.csv"), "1,2\n3,4\n");
    const std::string src = "convert src.csv --channels 2 ";
    const char* cases[] = {
        "--type psg --volume .",
        "--type psg -o a.edf --volume .",
        "--type psg -o a.edf --create-disk-id D1",
        "--type psg -o a.edf --frame-time 3",
        "--type psg -o a.edf --frame-time 30",
        "--type psg -o a.edf --frame-time ten",
        "--type psg -o a.edf --time-resolution 0",
        "--type psg -o a.edf --comment 12345678901234567890123456789012",
        "--type psg",
        "--type edf -o a.edf",
        "-o a.edf --frame-time 10",
        "-o a.edf --comment night",
        "--type eeg32 -o a.edf --time-resolution 1",
    };
    for (const char* arguments : cases) {
        CliRun run = Cli(scratch, src + arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_TRUE(OneErrorLine(run)) << arguments << ": " << run.err;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_FALSE(Exists(scratch.File("a.edf"))) << arguments;
    }
    // 31 bytes are a comment the record holds.
    const std::string comment = "1234567890123456789012345678901";
    CliRun run = Cli(scratch, src + "--type psg -o a.edf --comment " + comment);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> notes =
        EdfView(ReadBytes(scratch.File("a.edf"))).AllAnnotations();
    EXPECT_NE(std::find(notes.begin(), notes.end(), "Record comment: " + comment), notes.end());
}

TEST(PsgConvertCommand, RefusedStartsWriteNothing) {
    ScratchFolder scratch;
    WriteBytes(scratch.File("src.csv"), "1,2\n3,4\n");
    WriteBytes(scratch.File("taken.edf"), "keep");
    std::filesystem::create_directory(scratch.File("folder.edf"));
    // Row 2 of pattern 2 has no CAL, which calibrated values need; a
    // hand-edited frame time of 0.
    WriteBytes(scratch.File("QUILLON.INI"), "[PSGPattern2]\r\nEU=50,0,\r\n");
    WriteBytes(scratch.File("ZERO.INI"), "[SYSTEM]\r\nFrameTime=0\r\n");
    const std::string settings = ReadBytes(scratch.File("QUILLON.INI"));
    const std::string src = "convert src.csv --settings QUILLON.INI --type psg ";
    struct Case {
        std::string arguments;
        const char* reason;
    };
    const Case cases[] = {
        {"--channels 2 -o taken.edf", "the target file exists; it is never overwritten"},
        {"--channels 2 -o folder.edf", "is a folder"},
        {"--channels 2 -o missing/a.edf", "the target file cannot be created"},
        {"--channels 2 --pattern 2 --calibrated -o a.edf", "channel 2: CAL (EU) is 0"},
        {"--channels 2 --settings ZERO.INI -o a.edf",
         "\"ZERO.INI\": [SYSTEM] FrameTime is 0; it must be 1, 2, 5 or 10"},
        {"--channels 2 --rate 300 --time-resolution 1 -o a.edf", "it must divide 1000 Hz"},
        // A label line without labels leaves no channel.
        {"--label-line 0 --bias 5 -o a.edf", "no source channel is switched on"},
    };
    for (const Case& c : cases) {
        CliRun run = Cli(scratch, src + c.arguments);
        EXPECT_EQ(run.status, 1) << c.arguments;
        EXPECT_TRUE(OneErrorLine(run)) << c.arguments << ": " << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << c.arguments << ": " << run.err;
        EXPECT_EQ(run.out, "") << c.arguments;
        EXPECT_FALSE(Exists(scratch.File("a.edf"))) << c.arguments;
    }
    EXPECT_EQ(ReadBytes(scratch.File("taken.edf")), "keep");
    EXPECT_FALSE(Exists(scratch.File("missing")));
    EXPECT_TRUE(std::filesystem::is_empty(scratch.File("folder.edf")));
    EXPECT_EQ(ReadBytes(scratch.File("QUILLON.INI")), settings);
}

}  // namespace
