// quillon-cli export: wave data files written by our own EEG run (and by
// hand through KAVF32) to EDF+, read back with our EDF reader and with MNE.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "edf_view.h"
#include "kavf32.h"
#include "scratch_files.h"
#include "shell_runs.h"

namespace {

const std::string kSamples = QUILLON_SAMPLES;

CliRun Cli(const ScratchFolder& scratch, const std::string& arguments) {
    return RunIn(scratch, "'" QUILLON_CLI "' " + arguments);
}

CliRun Mne(const ScratchFolder& scratch, const std::string& files) {
    return RunIn(scratch, "/usr/bin/python3 '" EXPORT_WITH_MNE "' " + files);
}

bool Exists(const ScratchFolder& scratch, const std::string& name) {
    return std::filesystem::exists(scratch.File(name));
}

// The outcome column of the table row of file.
std::string Outcome(const CliRun& run, const std::string& file) {
    size_t at = run.out.find("\n" + file + " ");
    if (at == std::string::npos) return "(no row for " + file + ")";
    const size_t end = run.out.find('\n', at + 1);
    std::string row = run.out.substr(at + 1, end - at - 1);
    // file, output, frames, then the outcome.
    size_t column = 0;
    for (int field = 0; field < 3; ++field) {
        column = row.find_first_not_of(' ', column);
        column = row.find(' ', column);
    }
    return row.substr(row.find_first_not_of(' ', column));
}

// The bundled calibrated sample (preset 4) as an "EEG FILING32" file.
void ConvertSample(const ScratchFolder& scratch) {
    std::filesystem::create_directory(scratch.File("COND"));
    for (const char* name : {"QUILLON.INI", "PATIENT.INF"})
        std::filesystem::copy_file(kSamples + "/COND/" + name,
                                   scratch.File(std::string("COND/") + name));
    CliRun run = Cli(scratch, "convert " + kSamples +
                                  "/eeg_calibrated.csv --settings COND/QUILLON.INI --preset 4"
                                  " --rate 500 --start '2024-03-01 22:30:00' -o cal.DAT");
    ASSERT_EQ(run.status, 0) << run.err;
}

// A file written through KAVF32: group 1 holds one word item; with a wave,
// group 2 holds it: 8-bit frames of 3 channels, an event word, no montage.
void WriteHandMadeFile(const std::string& path, uint32_t interval, uint32_t frames, bool wave) {
    KAVFHANDLE h = OpenKavfile(path.c_str(), KAVF_OPEN_CREATE | KAVF_OPEN_READWRITE, 0x2000);
    ASSERT_NE(h, 0u);
    CreateKavfIndexInfo(h, "KAVF", wave ? 2 : 1, 1, "EEG FILING32");
    CreateKavfGroupStart(h, 1, 0);
    const uint16_t words[2] = {36, 0};
    CreateKavfWordInfo(h, KAVF_MODE_NATIVE, 0x8A, 2, words);
    CreateKavfGroupEnd(h, 1);
    if (wave) {
        CreateKavfGroupStart(h, 2, 0);
        KavfWaveInfo info{};
        info.type = KAVF_WAVE_EVENT;
        info.interval = interval;
        info.bits = 8;
        info.channels = 3;
        CreateKavfWaveInfo(h, 0xA0, &info);
        std::vector<uint8_t> bytes(6u * frames, 0);  // event word, 3 samples, pad
        for (uint32_t f = 0; f < frames; ++f) {
            bytes[6 * f + 2] = static_cast<uint8_t>(f);
            bytes[6 * f + 3] = static_cast<uint8_t>(-static_cast<int>(f % 100));
            bytes[6 * f + 4] = 0x7F;
        }
        if (frames > 40) bytes[6 * 40 + 1] = 0x07;  // event 0x0007 at frame 40
        WriteKavfFlowWave(h, 0, 0, static_cast<int32_t>(frames), bytes.data());
        SetKavfWaveEnd(h);
    }
    CloseKavfile(h);
}

// 1 for a physical value of one count: the scale of signal s.
double CountScale(const EdfView& edf, int32_t s) {
    return std::atof(edf.Trimmed(EdfView::kPhysicalMax, s).c_str()) / 32767.0;
}

TEST(ExportCommand, HeaderSignalsAndEventsOfAnEegFile) {
    ScratchFolder scratch;
    ConvertSample(scratch);
    CliRun run = Cli(scratch, "export cal.DAT");
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out,
              "file     output       frames  outcome\n"
              "cal.DAT  cal.edf        2500  exported\n");

    EdfView edf(ReadBytes(scratch.File("cal.edf")));
    EXPECT_EQ(edf.Main(8, 15), "000-0123 F X X ") << "ID, sex; the cp932 name cannot be shown";
    EXPECT_EQ(edf.Main(168, 16), "01.03.2422.30.00");
    // 2,500 frames of 500 Hz (the label line is the head): five 1-second records.
    EXPECT_EQ(edf.Main(236, 20), "5       1       9   ");
    const char* labels[] = {"Fp1", "Fp2", "C3", "C4", "O1", "O2", "EOG", "ECG"};
    for (int32_t s = 0; s < 8; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(edf.Trimmed(EdfView::kLabel, s), labels[s]);
        EXPECT_EQ(edf.Trimmed(EdfView::kDimension, s), "uV");
        // Sensitivity 10 uV: 10 x 50 / 4096 uV a count.
        EXPECT_EQ(edf.Trimmed(EdfView::kPhysicalMax, s), "3999.88");
        EXPECT_EQ(edf.Trimmed(EdfView::kSamples, s), "500");
    }
    // Source line 2 (Fp2 43.11 uV) is frame 1: 43.11 x 4096 / 500, toward zero.
    EXPECT_EQ(edf.Samples(1)[1], 353);

    const std::vector<std::string> notes = edf.AllAnnotations();
    for (const char* text : {"Event 0x1001", "Event 0x4000", "Event 0x10C1", "Event 0x1000",
                             "File number: 88000001", "Department: Neurology"})
        EXPECT_EQ(std::count(notes.begin(), notes.end(), text), 1) << text;

    run = Mne(scratch, "cal.edf");
    if (run.status == 77) GTEST_SKIP() << "python3-mne is not installed";
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* line :
         {"start 2024-03-01 22:30:00\n", "Fp1\t500\t2500\tµV\n", "0.002000\tEvent 0x1001\n",
          "0.006000\tEvent 0x10C1\n", "4.998000\tEvent 0x1000\n"})
        EXPECT_NE(run.out.find(line), std::string::npos) << line << run.out;
}

// The same calibrated source through the EEG run (both file types) and
// exported, and through the PSG run with EU / VU equal to each row's
// sensitivity x 50 / 4096.
TEST(ExportCommand, RoundTripEqualsThePsgRunSampleForSample) {
    ScratchFolder scratch;
    WriteBytes(scratch.File("RT.INI"),
               "[SYSTEM]\r\nFrameTime=1\r\n"
               "[ORGCOND0]\r\nEnable=1\r\nDelimitChar=0\r\nOrgCalDataType=1\r\n"
               "DataLineBias=1\r\nChStartLine=0\r\nDataStartLine=0\r\n"
               "[EEGPattern1]\r\nACCSens=6\r\nACCCal=5\r\nSOURCE=1,1,1,1,\r\n"
               "SENS=20,3,17,20,\r\nCAL=20,20,20,20,\r\n"
               "[PSGPattern1]\r\nChEnable=1,1,1,1,\r\nSignal=4,4,4,4,\r\nRate=1,1,1,1,\r\n"
               "EU=500,16665,50000,500,\r\nVU=4096,409600,4096,4096,\r\nMAG=1,1,1,1,\r\n"
               "ChUnit1=uV\r\nChUnit2=uV\r\nChUnit3=uV\r\nChUnit4=uV\r\n");
    // 3.5 s of 500 Hz: the last second is only half there.
    std::string source;
    for (int32_t i = 0; i < 1750; ++i) {
        source += std::to_string(i);
        for (int32_t k = 0; k < 4; ++k) {
            const double v = ((i * 7 + k * 13) % 801 - 400) * 0.37 * (k == 2 ? 40 : 1);
            source += "," + std::to_string(v);
        }
        source += "\n";
    }
    WriteBytes(scratch.File("rt.csv"), source);
    const std::string common = "rt.csv --settings RT.INI --preset 1 --keep-pattern --rate 500";
    ASSERT_EQ(Cli(scratch, "convert " + common + " -o rt.DAT").status, 0);
    ASSERT_EQ(Cli(scratch, "convert " + common + " --type psg -o psg.edf").status, 0);
    ASSERT_EQ(Cli(scratch, "convert " + common + " --type eeg24 -o rt24.DAT").status, 0);
    CliRun run = Cli(scratch, "export rt.DAT -o rt.edf");
    ASSERT_EQ(run.status, 0) << run.out;
    run = Cli(scratch, "export rt24.DAT");
    ASSERT_EQ(run.status, 0) << run.out;

    EdfView exported(ReadBytes(scratch.File("rt.edf")));
    EdfView psg(ReadBytes(scratch.File("psg.edf")));
    EdfView eeg24(ReadBytes(scratch.File("rt24.edf")));
    for (int32_t s = 0; s < 4; ++s) EXPECT_EQ(eeg24.Samples(s), exported.Samples(s)) << s;
    ASSERT_EQ(exported.signals, 5);
    ASSERT_EQ(psg.signals, 5);
    for (int32_t s = 0; s < 4; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(exported.Trimmed(EdfView::kPhysicalMax, s),
                  psg.Trimmed(EdfView::kPhysicalMax, s));
        const std::vector<int16_t> a = exported.Samples(s), b = psg.Samples(s);
        ASSERT_EQ(a.size(), 2000u);
        ASSERT_GE(b.size(), 1750u);
        double largest = 0;
        for (size_t i = 0; i < 1750; ++i)
            largest = std::max(
                largest, std::fabs(a[i] * CountScale(exported, s) - b[i] * CountScale(psg, s)));
        // Sensitivity 3.333 is a float in the EEG run: a count apart at most.
        EXPECT_LE(largest, CountScale(psg, s) * 1.0001);
        EXPECT_TRUE(std::all_of(a.begin() + 1750, a.end(), [](int16_t v) { return v == 0; }));
    }
    run = Mne(scratch, "rt.edf psg.edf");
    if (run.status == 77) GTEST_SKIP() << "python3-mne is not installed";
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("largest difference "), std::string::npos) << run.out;
    const double mneLargest =
        std::atof(run.out.substr(run.out.find("largest difference ") + 19).c_str());
    EXPECT_LE(mneLargest, 0.21) << "one count of sensitivity 3.333 is 0.041 uV; 1000 uV: 12.2 uV"
                                << run.out;
}

TEST(ExportCommand, SeveralFilesRefusalsWriteNothingAndStopNoOther) {
    ScratchFolder scratch;
    ConvertSample(scratch);
    WriteBytes(scratch.File("text.DAT"), "not a wave\n");
    const std::string wave = ReadBytes(scratch.File("cal.DAT"));
    WriteBytes(scratch.File("cut.DAT"), wave.substr(0, wave.size() - 100));
    WriteHandMadeFile(scratch.File("nowave.DAT"), 10000, 0, false);
    WriteHandMadeFile(scratch.File("odd.DAT"), 3000, 10, true);
    WriteBytes(scratch.File("taken.DAT"), wave);
    WriteBytes(scratch.File("taken.edf"), "keep");
    CliRun run = Cli(scratch,
                     "export text.DAT cut.DAT nowave.DAT odd.DAT taken.DAT cal.DAT missing.DAT"
                     " --jobs 3");
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_EQ(Outcome(run, "text.DAT"), "not a wave data file");
    EXPECT_EQ(Outcome(run, "cut.DAT"),
              "damaged: the wave declares more frames than the file holds");
    EXPECT_EQ(Outcome(run, "nowave.DAT"), "holds no flow wave");
    EXPECT_EQ(Outcome(run, "odd.DAT"),
              "EDF+ cannot hold it: the sampling interval gives no whole number of samples a "
              "second");
    EXPECT_EQ(Outcome(run, "taken.DAT"), "the output exists (never overwritten)");
    EXPECT_EQ(Outcome(run, "cal.DAT"), "exported");
    EXPECT_EQ(Outcome(run, "missing.DAT"), "no such file");
    for (const char* name : {"text.edf", "cut.edf", "nowave.edf", "odd.edf", "missing.edf"})
        EXPECT_FALSE(Exists(scratch, name)) << name;
    EXPECT_EQ(ReadBytes(scratch.File("taken.edf")), "keep");
    EXPECT_TRUE(Exists(scratch, "cal.edf"));
}

TEST(ExportCommand, EightBitFramesWithoutMontageAreDigitalUnits) {
    ScratchFolder scratch;
    WriteHandMadeFile(scratch.File("bytes.DAT"), 10000, 150, true);
    CliRun run = Cli(scratch, "export bytes.DAT --jobs 1");
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(Outcome(run, "bytes.DAT"), "exported, 3 channels in digital units");
    EdfView edf(ReadBytes(scratch.File("bytes.edf")));
    EXPECT_EQ(edf.Main(236, 20), "2       1       4   ");
    EXPECT_EQ(edf.Trimmed(EdfView::kPhysicalMax, 0), "32767");
    EXPECT_EQ(edf.Trimmed(EdfView::kDimension, 0), "");
    const std::vector<int16_t> first = edf.Samples(0), second = edf.Samples(1),
                               third = edf.Samples(2);
    ASSERT_EQ(first.size(), 200u);
    for (int32_t f = 0; f < 150; ++f) {
        EXPECT_EQ(first[f], static_cast<int8_t>(f)) << f;
        EXPECT_EQ(second[f], -(f % 100)) << f;
        EXPECT_EQ(third[f], 127) << f;
    }
    EXPECT_EQ(first[150], 0);
    const std::vector<std::string> notes = edf.AllAnnotations();
    EXPECT_EQ(std::count(notes.begin(), notes.end(), "Event 0x0007"), 1);
    EXPECT_NE(std::find(notes.begin(), notes.end(),
                        "Signal 2: digital units; the file holds no calibration for it"),
              notes.end());
}

TEST(ExportCommand, SkipExistingKeepsFinishedOutputsAndRedoesPartialOnes) {
    ScratchFolder scratch;
    ConvertSample(scratch);
    ASSERT_EQ(Cli(scratch, "export cal.DAT").status, 0);
    const std::string finished = ReadBytes(scratch.File("cal.edf"));

    CliRun run = Cli(scratch, "export cal.DAT --skip-existing");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Outcome(run, "cal.DAT"), "kept (complete)");
    EXPECT_EQ(ReadBytes(scratch.File("cal.edf")), finished);

    // As a killed run leaves it: the count not yet written, or records cut.
    std::string killed = finished;
    killed.replace(236, 8, "-1      ");
    for (const std::string& partial : {killed, finished.substr(0, finished.size() - 1000)}) {
        WriteBytes(scratch.File("cal.edf"), partial);
        run = Cli(scratch, "export cal.DAT --skip-existing");
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(Outcome(run, "cal.DAT"), "exported");
        EXPECT_EQ(ReadBytes(scratch.File("cal.edf")), finished);
    }
    WriteBytes(scratch.File("cal.edf"), "someone's notes");
    run = Cli(scratch, "export cal.DAT --skip-existing");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Outcome(run, "cal.DAT"), "the output exists and is no EDF file (never overwritten)");
    EXPECT_EQ(ReadBytes(scratch.File("cal.edf")), "someone's notes");
}

TEST(ExportCommand, UsageErrors) {
    ScratchFolder scratch;
    for (const char* arguments : {"export", "export a.DAT b.DAT -o x.edf", "export a.DAT --jobs 0",
                                  "export a.DAT --jobs", "export a.DAT --frames 1"}) {
        CliRun run = Cli(scratch, arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_EQ(run.err.rfind("quillon-cli: ", 0), 0u) << arguments;
    }
}

}  // namespace
