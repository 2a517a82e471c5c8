// quillon-cli check: the layout check of the source page, as text.
#include "check.h"

#include <cstdio>
#include <string>
#include <vector>

#include "convert.h"
#include "convert_options.h"
#include "convert_report.h"
#include "source/field_limits.h"

namespace {

const char* DelimiterName(int32_t mode) {
    switch (mode) {
        case kFieldModeComma: return "comma";
        case kFieldModeBlank: return "space";
        case kFieldModeTab: return "tab";
        default: return "unknown";
    }
}

std::string LineName(int32_t line) {
    return line == kNoLabelLine ? "none" : "line " + std::to_string(line);
}

void PrintCheckUsage(FILE* out) {
    std::fputs(
        "usage: quillon-cli check SOURCE [--settings FILE] [--preset N] [layout options]\n"
        "\n"
        "Reads the head of SOURCE with the layout convert would use (the settings'\n"
        "preset and the layout options of quillon-cli convert --help), prints what\n"
        "looks wrong with it and the layout the head shows, as convert options.\n"
        "Lines are counted from 0, as the options count them.\n"
        "Exit status: 0 the layout looks right; 4 it does not; 1 the source or the\n"
        "settings cannot be used (convert's refusals); 2 usage error.\n",
        out);
}

}  // namespace

std::string LayoutFindingText(const LayoutFinding& f) {
    const int32_t a = f.values[0], b = f.values[1];
    const std::string sa = std::to_string(a), sb = std::to_string(b);
    switch (f.code) {
        case kLayoutNoDataLine: return "the head shows no data: no run of lines of numbers only";
        case kLayoutDelimiter:
            return std::string("the delimiter ") + DelimiterName(a) +
                   " cuts the data lines into other fields than " + DelimiterName(b);
        case kLayoutColumns: return "data lines have " + sa + " columns, " + sb + " channels set";
        case kLayoutLeadingFields:
            return sa + " leading non-data fields set (--bias), the data lines have " + sb;
        case kLayoutFirstColumnTime:
            return "the first data column (field " + sa + ") looks like a time or a line counter";
        case kLayoutLabelsNumeric: return "labels look like numbers: line " + sa + " is data";
        case kLayoutLabelLine:
            return "labels are taken from " + LineName(a) + ", the head's label line is " +
                   LineName(b);
        case kLayoutDataStartLine:
            return "the first data line is set to line " + sa + ", the data starts at line " + sb;
        case kLayoutValueKind:
            return "values with decimals are read as A/D integers; they look calibrated";
        default: return "layout finding " + std::to_string(f.code);
    }
}

std::string SuggestedOptions(const SourceLayout& s) {
    std::string options = std::string("--delimiter ") + DelimiterName(s.delimiter) + " --bias " +
                          std::to_string(s.leadingFields);
    if (s.labelLine != kNoLabelLine)
        options += " --label-line " + std::to_string(s.labelLine);
    else
        options += " --channels " + std::to_string(s.channels);
    options += " --data-start-line " + std::to_string(s.dataStartLine);
    return options + (s.valueKind == kCalibratedValues ? " --calibrated" : " --ad");
}

int RunCheck(int argc, char** argv) {
    ConvertOptions o;
    std::string error;
    if (!ParseSourceOptions(argc, argv, "check", &o, &error))
        return Fail(kExitUsage, error + " (quillon-cli check --help)");
    if (o.help) {
        PrintCheckUsage(stdout);
        return kExitConverted;
    }
    SettingsPaths paths;
    std::vector<std::string> notes;
    ConvertRecord record;
    const int prepared = PrepareConvertSource(o, kLayoutJudged, &paths, &notes, &record);
    if (prepared != kExitConverted) return prepared;
    for (const std::string& note : notes) Warn(note);
    LayoutCheck check;
    const int32_t findings = CheckSourceLayout(record.get(), &check);
    if (findings < 0) return Fail(kExitFailed, "no source is open");
    std::printf("%s: %s\n", o.source,
                findings == 0 ? "the layout looks right" : "the layout looks wrong:");
    for (int32_t i = 0; i < check.findingCount; ++i)
        std::printf("  %s\n", LayoutFindingText(check.findings[i]).c_str());
    std::printf("suggested options: %s\n", SuggestedOptions(check.suggested).c_str());
    return findings == 0 ? kExitConverted : kExitLayoutWrong;
}
