// quillon-cli convert with several sources: a folder or a volume of outputs
// equal to single runs', failures that stop no other source, the restart
// after a killed batch, and an interrupt.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "finished_outputs.h"

namespace {

namespace fs = std::filesystem;

struct Scratch {
    std::string dir;
    Scratch() {
        char pattern[] = "/tmp/quillon-batch-XXXXXX";
        dir = mkdtemp(pattern);
    }
    ~Scratch() { fs::remove_all(dir); }
    std::string Path(const std::string& name) const { return dir + "/" + name; }
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a shell script in the scratch folder; $CLI names quillon-cli.
CliRun Shell(const Scratch& scratch, const std::string& script) {
    const std::string out = scratch.Path("stdout.txt"), err = scratch.Path("stderr.txt");
    const std::string command = "cd '" + scratch.dir + "' && CLI='" QUILLON_CLI "' && (" + script +
                                ") >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    CliRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(out), ReadAll(err)};
    fs::remove(out);
    fs::remove(err);
    return run;
}

CliRun Cli(const Scratch& scratch, const std::string& arguments) {
    return Shell(scratch, "\"$CLI\" " + arguments);
}

// Lines "n,1,2,...,7" for an eight-channel layout without a head.
void WriteSource(const Scratch& scratch, const std::string& name, int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += std::to_string(i % 1000) + ",1,2,3,4,5,6,7\n";
    WriteAll(scratch.Path(name), text);
}

const std::string kLayout =
    " --settings QUILLON.INI --preset 0 --delimiter comma --bias 0 --data-start-line 0"
    " --channels 8 --rate 200";

void WriteSettings(const Scratch& scratch) {
    WriteAll(scratch.Path("QUILLON.INI"), "[SYSTEM]\r\nCopyFileType=2\r\nEEGFileNo=7\r\n");
}

// The table row of a source (the line that starts with it), cut into its
// cells: columns are two or more blanks apart.
std::vector<std::string> RowOf(const std::string& out, const std::string& source) {
    std::istringstream lines(out);
    std::string line;
    std::vector<std::string> cells;
    while (std::getline(lines, line)) {
        if (line.compare(0, source.size() + 1, source + " ") != 0) continue;
        for (std::string::size_type at = 0; at < line.size();) {
            std::string::size_type gap = line.find("  ", at);
            if (gap == std::string::npos) gap = line.size();
            cells.push_back(line.substr(at, gap - at));
            at = line.find_first_not_of(' ', gap);
        }
        break;
    }
    return cells;
}

using Cells = std::vector<std::string>;

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The source's outputs by a single run equal the batch's, file for file.
void ExpectSingleRunEqual(const Scratch& scratch, const std::string& source,
                          const std::string& output) {
    ASSERT_EQ(Cli(scratch, "convert " + source + " -o single.DAT" + kLayout).status, 0);
    EXPECT_EQ(ReadAll(scratch.Path(output + ".DAT")), ReadAll(scratch.Path("single.DAT")));
    EXPECT_EQ(ReadAll(scratch.Path(output + ".REF")), ReadAll(scratch.Path("single.REF")));
    fs::remove(scratch.Path("single.DAT"));
    fs::remove(scratch.Path("single.REF"));
}

TEST(BatchConvert, AFolderOfOutputsEqualToSingleRunsAndOneFailure) {
    Scratch scratch;
    WriteSettings(scratch);
    for (const char* name : {"a.csv", "b.txt", "c.csv"}) WriteSource(scratch, name, 900);
    CliRun run =
        Cli(scratch, "convert a.csv missing.csv b.txt c.csv --jobs 2 --output-dir out" + kLayout);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(RowOf(run.out, "SOURCE"), (Cells{"SOURCE", "OUTPUT", "FRAMES", "OUTCOME", "COUNTS"}));
    const Cells missing = RowOf(run.out, "missing.csv");
    ASSERT_EQ(missing.size(), 5u) << run.out;
    EXPECT_EQ(missing[3].rfind("failed: cannot open the source \"missing.csv\"", 0), 0u);
    EXPECT_TRUE(Has(run.out, "\n4 sources: 3 converted, 0 kept, 1 not converted\n")) << run.out;
    EXPECT_FALSE(Has(run.err, "\r") || Has(run.err, "converting"))
        << "no progress lines when standard error is no terminal: " << run.err;
    EXPECT_EQ(RowOf(run.out, "a.csv"), (Cells{"a.csv", "out/a.DAT", "900", "converted", "-"}));
    EXPECT_EQ(RowOf(run.out, "b.txt"), (Cells{"b.txt", "out/b.DAT", "900", "converted", "-"}));
    ExpectSingleRunEqual(scratch, "a.csv", "out/a");
    ExpectSingleRunEqual(scratch, "b.txt", "out/b");
    EXPECT_FALSE(fs::exists(scratch.Path("out/missing.DAT")));

    const std::string before = ReadAll(scratch.Path("out/a.DAT"));
    run = Cli(scratch, "convert a.csv c.csv --output-dir out" + kLayout);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(RowOf(run.out, "a.csv")[3].rfind("failed: ", 0), 0u) << run.out;
    EXPECT_EQ(ReadAll(scratch.Path("out/a.DAT")), before) << "never overwritten";
}

TEST(BatchConvert, AVolumeNumberedInOrderPastTakenNumbers) {
    Scratch scratch;
    WriteSettings(scratch);
    WriteSource(scratch, "a.csv", 500);
    WriteSource(scratch, "b.csv", 700);
    fs::create_directories(scratch.Path("drive/DAT"));
    WriteAll(scratch.Path("drive/DAT/88000008.DAT"), "taken");
    CliRun run = Cli(scratch, "convert a.csv b.csv --volume drive --create-disk-id DEMO" + kLayout);
    ASSERT_EQ(run.status, 0) << run.err << run.out;
    EXPECT_EQ(RowOf(run.out, "a.csv"),
              (Cells{"a.csv", "drive/DAT/88000007.DAT", "500", "converted", "-"}));
    EXPECT_EQ(RowOf(run.out, "b.csv"),
              (Cells{"b.csv", "drive/DAT/88000009.DAT", "700", "converted", "-"}));
    EXPECT_TRUE(Has(ReadAll(scratch.Path("QUILLON.INI")), "EEGFileNo=10\r\n"));

    // The same numbers by single runs onto another volume: the same bytes.
    fs::create_directories(scratch.Path("other/DAT"));
    WriteAll(scratch.Path("QUILLON.INI"), "[SYSTEM]\r\nCopyFileType=2\r\nEEGFileNo=7\r\n");
    ASSERT_EQ(Cli(scratch, "convert a.csv --volume other --create-disk-id DEMO" + kLayout).status,
              0);
    WriteAll(scratch.Path("QUILLON.INI"), "[SYSTEM]\r\nCopyFileType=2\r\nEEGFileNo=9\r\n");
    ASSERT_EQ(Cli(scratch, "convert b.csv --volume other" + kLayout).status, 0);
    for (const char* name : {"88000007.DAT", "88000007.REF", "88000009.DAT", "88000009.REF"})
        EXPECT_EQ(ReadAll(scratch.Path(std::string("drive/DAT/") + name)),
                  ReadAll(scratch.Path(std::string("other/DAT/") + name)))
            << name;
}

TEST(BatchConvert, UsageErrorsRunNothing) {
    Scratch scratch;
    WriteSettings(scratch);
    WriteSource(scratch, "a.csv", 10);
    for (const char* args :
         {"a.csv a.csv", "a.csv a.csv -o x.DAT --output-dir out",
          "a.csv a.csv --volume drive --skip-existing", "a.csv --output-dir out --jobs 0",
          "a.csv a.csv --output-dir out --volume drive", "a.csv a.csv --output-dir out --rate x"}) {
        CliRun run = Cli(scratch, std::string("convert ") + args + " --settings QUILLON.INI");
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_FALSE(fs::exists(scratch.Path("out"))) << args;
    }
}

// What a killed batch leaves is redone, what it finished is kept.
TEST(BatchConvert, SkipExistingRedoesPartialOutputs) {
    Scratch scratch;
    WriteSettings(scratch);
    for (const char* name : {"a.csv", "b.csv", "c.csv"}) WriteSource(scratch, name, 600);
    ASSERT_EQ(Cli(scratch, "convert a.csv b.csv c.csv --output-dir out" + kLayout).status, 0);
    const std::string a = ReadAll(scratch.Path("out/a.DAT"));
    const std::string b = ReadAll(scratch.Path("out/b.DAT"));
    WriteAll(scratch.Path("out/a.DAT"), a.substr(0, a.size() / 2));
    WriteAll(scratch.Path("out/a.REF"), "");
    fs::remove(scratch.Path("out/c.REF"));
    CliRun run =
        Cli(scratch, "convert a.csv b.csv c.csv --output-dir out --skip-existing" + kLayout);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(RowOf(run.out, "a.csv"), (Cells{"a.csv", "out/a.DAT", "600", "converted", "-"}));
    EXPECT_EQ(RowOf(run.out, "b.csv"),
              (Cells{"b.csv", "out/b.DAT", "-", "kept (finished before)", "-"}));
    EXPECT_EQ(RowOf(run.out, "c.csv"), (Cells{"c.csv", "out/c.DAT", "600", "converted", "-"}));
    EXPECT_EQ(ReadAll(scratch.Path("out/a.DAT")), a);
    EXPECT_EQ(ReadAll(scratch.Path("out/c.DAT")), b) << "the same lines, the same file";
}

// PSG outputs are EDF+ files named after their sources; one whose record
// count a run never patched is converted again, the same bytes as before.
TEST(BatchConvert, SkipExistingRedoesAnUnfinishedEdfFile) {
    Scratch scratch;
    const std::string samples = QUILLON_SAMPLES;
    for (const char* name : {"n1.csv", "n2.csv"})
        fs::copy_file(samples + "/psg_night.csv", scratch.Path(name));
    const std::string args = "convert n1.csv n2.csv --settings '" + samples +
                             "/COND/QUILLON.INI' --type psg --preset 4 --rate 200 --output-dir out";
    CliRun run = Cli(scratch, args);
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(RowOf(run.out, "n2.csv"), (Cells{"n2.csv", "out/n2.edf", "30", "converted", "-"}));
    const std::string finished = ReadAll(scratch.Path("out/n2.edf"));
    std::string unfinished = finished;
    unfinished.replace(236, 8, "-1      ");
    WriteAll(scratch.Path("out/n2.edf"), unfinished);
    run = Cli(scratch, args + " --skip-existing");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(RowOf(run.out, "n1.csv"),
              (Cells{"n1.csv", "out/n1.edf", "-", "kept (finished before)", "-"}));
    EXPECT_EQ(RowOf(run.out, "n2.csv"), (Cells{"n2.csv", "out/n2.edf", "30", "converted", "-"}));
    EXPECT_EQ(ReadAll(scratch.Path("out/n2.edf")), finished);
}

// The frames a wave data file's header says it holds, as inspect reads them.
std::string InspectedFrames(const Scratch& scratch, const std::string& file) {
    CliRun run = Cli(scratch, "inspect " + file);
    const std::string::size_type end = run.out.find(" frames, frame size");
    if (run.status != 0 || end == std::string::npos) return "unreadable";
    const std::string::size_type start = run.out.rfind(' ', end - 1) + 1;
    return run.out.substr(start, end - start);
}

// A termination request to the batch ends each running job cleanly and
// starts no other; the table says what each output holds.
TEST(BatchConvert, AnInterruptEndsEveryRunningJobCleanly) {
    Scratch scratch;
    WriteSettings(scratch);
    for (const char* name : {"a.csv", "b.csv", "c.csv"}) WriteSource(scratch, name, 1000000);
    CliRun run =
        Shell(scratch, "\"$CLI\" convert a.csv b.csv c.csv --jobs 2 --output-dir out" + kLayout +
                           " & pid=$!; for f in out/a.DAT out/b.DAT; do"
                           " until [ \"$(stat -c %s $f 2>/dev/null || echo 0)\""
                           " -gt 200000 ]; do :; done; done;"
                           " kill -TERM $pid; wait $pid");
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_TRUE(Has(run.out, "\n3 sources: 0 converted, 0 kept, 3 not converted (interrupted)\n"))
        << run.out;
    for (const char* name : {"a", "b"}) {
        const Cells row = RowOf(run.out, std::string(name) + ".csv");
        ASSERT_EQ(row.size(), 5u) << run.out;
        EXPECT_EQ(row[3], "interrupted");
        const std::string output = std::string("out/") + name + ".DAT";
        EXPECT_EQ(EegOutputState(scratch.Path(output).c_str()), kOutputFinished);
        EXPECT_EQ(InspectedFrames(scratch, output), row[2]);
        EXPECT_LT(std::stoul(row[2]), 1000000u);
    }
    EXPECT_EQ(RowOf(run.out, "c.csv"),
              (Cells{"c.csv", "out/c.DAT", "-", "not started (interrupted)", "-"}));
    EXPECT_FALSE(fs::exists(scratch.Path("out/c.DAT")));
}

// EDF+ header fields: header bytes at 184, records at 236, signals at 252,
// each signal's samples per record at 256 + signals * 216.
std::string EdfHeader(const char* records, int signals, int samples) {
    std::string h(256 + 256 * signals, ' ');
    auto put = [&h](size_t at, const std::string& text) { h.replace(at, text.size(), text); };
    put(0, "0");
    put(184, std::to_string(h.size()));
    put(236, records);
    put(252, std::to_string(signals));
    for (int i = 0; i < signals; ++i) put(256 + signals * 216 + i * 8, std::to_string(samples));
    return h;
}

TEST(FinishedOutputs, EdfRecordCountAgainstTheSize) {
    Scratch scratch;
    const std::string path = scratch.Path("x.edf");
    EXPECT_EQ(EdfOutputState(path.c_str()), kOutputMissing);
    const std::string record(2 * (10 + 5), 'r');  // two signals of 10 and 5 samples
    std::string two = EdfHeader("2", 2, 10);
    two.replace(256 + 2 * 216 + 8, 2, "5 ");
    WriteAll(path, two + record + record);
    EXPECT_EQ(EdfOutputState(path.c_str()), kOutputFinished);
    WriteAll(path, two + record);
    EXPECT_EQ(EdfOutputState(path.c_str()), kOutputPartial) << "a record short";
    std::string running = two;
    running.replace(236, 2, "-1");
    WriteAll(path, running + record + record);
    EXPECT_EQ(EdfOutputState(path.c_str()), kOutputPartial) << "the count of a run not ended";
    WriteAll(path, two.substr(0, 200));
    EXPECT_EQ(EdfOutputState(path.c_str()), kOutputPartial) << "a cut header";
}

TEST(FinishedOutputs, EegReferenceFileEndsARun) {
    Scratch scratch;
    const std::string data = scratch.Path("x.DAT"), reference = scratch.Path("x.REF");
    EXPECT_EQ(EegOutputState(data.c_str()), kOutputMissing);
    WriteAll(data, "wave");
    EXPECT_EQ(EegOutputState(data.c_str()), kOutputPartial) << "no reference file";
    WriteAll(reference, "");
    EXPECT_EQ(EegOutputState(data.c_str()), kOutputPartial) << "the empty one a start claims";
    WriteAll(reference, "KAVT");
    EXPECT_EQ(EegOutputState(data.c_str()), kOutputFinished);
    fs::remove(data);
    EXPECT_EQ(EegOutputState(data.c_str()), kOutputPartial) << "a reference file alone";
    EXPECT_TRUE(RemovePartialOutput(data.c_str(), true));
    EXPECT_FALSE(fs::exists(reference));
}

}  // namespace
