// quillon-cli: the headless converter and wave data file inspector.
#include <cstdio>
#include <cstring>

#include "check.h"
#include "convert.h"
#include "export.h"
#include "inspect.h"
#include "preview.h"
#include "repair.h"

namespace {

void PrintUsage(FILE* out) {
    std::fprintf(out,
                 "usage: quillon-cli COMMAND ...\n"
                 "  inspect FILE [--frames A:B]   describe a wave data file; with --frames,\n"
                 "                                print frames A to B (inclusive) as numbers\n"
                 "  convert SOURCE (-o FILE | --volume DIR) [options]\n"
                 "                                convert a source text to an EEG wave data\n"
                 "                                file, or with --type psg to a PSG recording\n"
                 "  convert SOURCE... (--output-dir DIR | --volume DIR) [--jobs N] [options]\n"
                 "                                convert many, several at a time\n"
                 "                                (quillon-cli convert --help)\n"
                 "  check SOURCE [options]        judge the source's layout and suggest one\n"
                 "                                (quillon-cli check --help)\n"
                 "  preview SOURCE|RECORDING -o FILE.svg [options]\n"
                 "                                draw seconds of a source or a recording\n"
                 "                                (quillon-cli preview --help)\n"
                 "  repair FILE                   finish an EEG wave (and its .REF) or an EDF+\n"
                 "                                file that a killed run left behind\n"
                 "  export FILE... [-o OUT.edf]   wave data files to EDF+ files\n"
                 "                                (quillon-cli export --help)\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "inspect") == 0) return RunInspect(argc - 2, argv + 2);
    if (std::strcmp(argv[1], "convert") == 0) return RunConvert(argc - 2, argv + 2);
    if (std::strcmp(argv[1], "check") == 0) return RunCheck(argc - 2, argv + 2);
    if (std::strcmp(argv[1], "preview") == 0) return RunPreview(argc - 2, argv + 2);
    if (std::strcmp(argv[1], "repair") == 0) return RunRepair(argc - 2, argv + 2);
    if (std::strcmp(argv[1], "export") == 0) return RunExport(argc - 2, argv + 2);
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintUsage(stdout);
        return 0;
    }
    std::fprintf(stderr, "quillon-cli: unknown command \"%s\"\n", argv[1]);
    PrintUsage(stderr);
    return 2;
}
