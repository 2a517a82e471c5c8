// Converts a small calibrated source into <folder>/psg.edf through the PSG
// run, for an independent reader to check: 60 s at 200 Hz, a time column,
// Fp1 (EEG), an unused column and Chin (EMG) at half the rate; values in
// quarter microvolts, which the file holds exactly (EU / VU = 1/4).
#include <cstdio>
#include <string>

#include "psg_harness.h"
#include "runs/start_reasons.h"

namespace {

double Fp1(int32_t i) { return ((i * 7) % 801 - 400) * 0.25; }
double Chin(int32_t i) { return ((i * 13 + 100) % 801 - 400) * 0.25; }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_psg_sample FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::string source = "Time,Fp1,X,Chin\n";
    for (int32_t i = 0; i < 12000; ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "%d,%.2f,1.0,%.2f\n", static_cast<int>(i), Fp1(i),
                      Chin(i));
        source += line;
    }
    RecordPtr record = ZeroRecord();
    AppRecord* r = record.get();
    SetUpPsgRecord(r);
    if (!OpenPsgSource(r, folder + "/source.csv", source, 3, 200, 1)) return 1;
    r->DataLineBias = 1;
    r->DataStartLine = 1;
    SwitchOn(r, {1, 3});
    PsgChannelRow& fp1 = Row(r, 1);
    std::snprintf(fp1.ChLabel, sizeof fp1.ChLabel, "Fp1");
    fp1.EU = 100;
    fp1.VU = 400;
    PsgChannelRow& chin = Row(r, 3);
    std::snprintf(chin.ChLabel, sizeof chin.ChLabel, "Chin");
    chin.Signal = 6;
    chin.Rate = 2;
    chin.EU = 50;
    chin.VU = 200;
    PsgRunResult run = RunPsgConversion(r, folder + "/psg.edf");
    ReleasePsgRun(r);
    if (run.start.outcome != kPsgStarted) {
        char reason[160];
        FormatPsgStartReason(&run.start, reason, sizeof reason);
        std::fprintf(stderr, "not started: %s\n", reason);
        return 1;
    }
    return run.finish == kPsgFinishClosed ? 0 : 1;
}
