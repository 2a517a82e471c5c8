#include "repair.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "eeg/eeg_header.h"
#include "eeg/eeg_repair.h"
#include "psg/psg_repair.h"

namespace {

constexpr int kExitRepaired = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;

int Refuse(const char* path, const std::string& why) {
    std::fprintf(stderr, "quillon-cli: cannot repair \"%s\": %s\n", path, why.c_str());
    return kExitRefused;
}

std::string Reason(const RepairReport& report) {
    return report.reason[0] != '\0' ? std::string(" (") + report.reason + ")" : std::string();
}

int Explain(const char* path, const RepairReport& report, const char* unit) {
    switch (report.outcome) {
        case kRepairComplete:
            return Refuse(path, std::string("it is complete (") + std::to_string(report.kept) +
                                    " " + unit + "s); nothing was changed");
        case kRepairNoWholeData:
            return Refuse(path, std::string("it holds no whole ") + unit + "; nothing was changed");
        case kRepairDamaged:
            return Refuse(path, "its header does not describe its data; nothing was changed");
        case kRepairCannotOpen: return Refuse(path, "cannot open it" + Reason(report));
        case kRepairWriteFailed: return Refuse(path, "writing it failed" + Reason(report));
        default:
            return Refuse(
                path, "it is neither an EEG wave data file nor an EDF+ file; nothing was changed");
    }
}

int ReportEeg(const char* path, const RepairReport& report) {
    if (report.outcome != kRepairDone) return Explain(path, report, "frame");
    char reference[kPathSize + 8] = "";
    MakeEegReferencePath(path, reference, sizeof reference);
    std::printf("%s: wave ended at %" PRId64 " frames (the header said %" PRId64 "), %" PRId64
                " bytes of a partial frame cut off; reference file %s written\n",
                path, report.kept, report.declared, report.cutBytes, reference);
    return kExitRepaired;
}

int ReportEdf(const char* path, const RepairReport& report) {
    if (report.outcome != kRepairDone) return Explain(path, report, "data record");
    std::printf("%s: %" PRId64 " data records (the header said %" PRId64 "), %" PRId64
                " bytes of a partial record cut off\n",
                path, report.kept, report.declared, report.cutBytes);
    return kExitRepaired;
}

}  // namespace

int RunRepair(int argc, char** argv) {
    if (argc != 1 || argv[0][0] == '\0' || argv[0][0] == '-') {
        std::fprintf(stderr, "quillon-cli: usage: quillon-cli repair FILE\n");
        return kExitUsage;
    }
    const char* path = argv[0];
    RepairReport report;
    RepairEegWave(path, &report);
    if (report.outcome != kRepairNotThisKind) return ReportEeg(path, report);
    RepairEdfFile(path, &report);
    return ReportEdf(path, report);
}
