#include <charconv>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "convert_options.h"

#include "eeg/output_volume.h"
#include "store/app_record.h"

namespace {

bool ParseInt(const char* text, int32_t low, int32_t high, int32_t* value) {
    const char* end = text + std::strlen(text);
    auto result = std::from_chars(text, end, *value);
    return result.ec == std::errc() && result.ptr == end && text != end && *value >= low &&
           *value <= high;
}

bool ParseChoice(const char* text, const char* const* names, int32_t count, int32_t* value) {
    for (int32_t i = 0; i < count; ++i)
        if (std::strcmp(text, names[i]) == 0) {
            *value = i;
            return true;
        }
    return false;
}

// The magnifications the source page offers: 1, 10, ... 1000000000, and
// 1/10 ... 1/1000000, stored as the negative divisor.
bool ParseMagnification(const char* text, int32_t* value) {
    bool divide = std::strncmp(text, "1/", 2) == 0;
    int32_t n;
    if (!ParseInt(divide ? text + 2 : text, 1, 1000000000, &n)) return false;
    static const int32_t kPowers[] = {1,      10,      100,      1000,      10000,
                                      100000, 1000000, 10000000, 100000000, 1000000000};
    for (int32_t power : kPowers) {
        if (n != power) continue;
        if (divide && (power < 10 || power > 1000000)) return false;
        *value = divide ? -power : power;
        return true;
    }
    return false;
}

bool LeapYear(int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// "YYYY-MM-DD HH:MM:SS", a real date from 1900 to 2099.
bool ParseStart(const char* text, int32_t* fields) {
    int year, month, day, hour, minute, second, used = 0;
    if (std::strlen(text) != 19 ||
        std::sscanf(text, "%4d-%2d-%2d %2d:%2d:%2d%n", &year, &month, &day, &hour, &minute, &second,
                    &used) != 6 ||
        used != 19)
        return false;
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1900 || year > 2099 || month < 1 || month > 12 || hour > 23 || minute > 59 ||
        second > 59 || hour < 0 || minute < 0 || second < 0)
        return false;
    int days = kDays[month - 1] + (month == 2 && LeapYear(year) ? 1 : 0);
    if (day < 1 || day > days) return false;
    const int32_t values[6] = {year, month, day, hour, minute, second};
    std::memcpy(fields, values, sizeof values);
    return true;
}

const char* const kTypes[] = {"eeg32", "eeg24", "psg"};
const int32_t kTypeValues[] = {kOutputEegFiling32, kOutputEegFiling24, kOutputPsg};

// The frame times the PSG convert page offers.
bool ParseFrameTime(const char* text, int32_t* value) {
    int32_t seconds;
    if (!ParseInt(text, 1, 10, &seconds)) return false;
    if (seconds != 1 && seconds != 2 && seconds != 5 && seconds != 10) return false;
    *value = seconds;
    return true;
}

const char* const kDelimiters[] = {"comma", "space", "tab"};
const char* const kNotches[] = {"none", "50", "60"};

std::string NotTaken(const char* name, const char* takes, const char* text) {
    return std::string(name) + " takes " + takes + ", not \"" + text + "\"";
}

// The options whose value needs more than a range or a list.
using ValueParser = bool (*)(const char* name, const char* text, ConvertOptions* o,
                             std::string* error);

bool TakeMagnification(const char* name, const char* text, ConvertOptions* o, std::string* error) {
    o->magGiven = ParseMagnification(text, &o->mag);
    if (!o->magGiven) *error = NotTaken(name, "1, 10, ... 1000000000 or 1/10 ... 1/1000000", text);
    return o->magGiven;
}

bool TakeStart(const char* name, const char* text, ConvertOptions* o, std::string* error) {
    o->startGiven = ParseStart(text, o->start);
    if (!o->startGiven) *error = NotTaken(name, "\"YYYY-MM-DD HH:MM:SS\"", text);
    return o->startGiven;
}

bool TakeFrameTime(const char* name, const char* text, ConvertOptions* o, std::string* error) {
    if (ParseFrameTime(text, &o->frameTime)) return true;
    *error = NotTaken(name, "1, 2, 5 or 10 (seconds)", text);
    return false;
}

bool TakeComment(const char* name, const char* text, ConvertOptions* o, std::string* error) {
    o->comment = text;
    if (std::strlen(text) <= size_t{kCommentLimit}) return true;
    *error = std::string(name) + " takes at most " + std::to_string(kCommentLimit) +
             " bytes, not " + std::to_string(std::strlen(text));
    return false;
}

enum class OptionKind {
    kFlag,       // sets a bool
    kSetNumber,  // sets a number to a fixed value
    kText,       // takes the next argument as it is
    kNumber,     // a whole number in a range
    kChoice,     // one of a list of names
    kSpecial,    // its own parser
};

struct OptionSpec {
    const char* name;
    OptionKind kind;
    bool ConvertOptions::*flag;
    int32_t ConvertOptions::*number;
    const char* ConvertOptions::*text;
    int32_t low;  // kNumber: the range; kSetNumber: the value
    int32_t high;
    const char* const* names;  // kChoice
    int32_t nameCount;
    const int32_t* values;  // kChoice: the value of each name; null: its index
    ValueParser parse;
};

constexpr OptionSpec Spec(const char* name, OptionKind kind) {
    OptionSpec spec{};
    spec.name = name;
    spec.kind = kind;
    return spec;
}

constexpr OptionSpec Flag(const char* name, bool ConvertOptions::*field) {
    OptionSpec spec = Spec(name, OptionKind::kFlag);
    spec.flag = field;
    return spec;
}

constexpr OptionSpec SetNumber(const char* name, int32_t ConvertOptions::*field, int32_t value) {
    OptionSpec spec = Spec(name, OptionKind::kSetNumber);
    spec.number = field;
    spec.low = value;
    return spec;
}

constexpr OptionSpec Text(const char* name, const char* ConvertOptions::*field) {
    OptionSpec spec = Spec(name, OptionKind::kText);
    spec.text = field;
    return spec;
}

constexpr OptionSpec Number(const char* name, int32_t ConvertOptions::*field, int32_t low,
                            int32_t high) {
    OptionSpec spec = Spec(name, OptionKind::kNumber);
    spec.number = field;
    spec.low = low;
    spec.high = high;
    return spec;
}

template <size_t N>
constexpr OptionSpec Choice(const char* name, int32_t ConvertOptions::*field,
                            const char* const (&names)[N], const int32_t* values = nullptr) {
    OptionSpec spec = Spec(name, OptionKind::kChoice);
    spec.number = field;
    spec.names = names;
    spec.nameCount = static_cast<int32_t>(N);
    spec.values = values;
    return spec;
}

constexpr OptionSpec Special(const char* name, ValueParser parse) {
    OptionSpec spec = Spec(name, OptionKind::kSpecial);
    spec.parse = parse;
    return spec;
}

const OptionSpec kOptions[] = {
    Flag("--help", &ConvertOptions::help),
    Flag("-h", &ConvertOptions::help),
    Text("-o", &ConvertOptions::outputFile),
    Text("--volume", &ConvertOptions::volumeRoot),
    Text("--create-disk-id", &ConvertOptions::newDiskId),
    Text("--settings", &ConvertOptions::settingsFile),
    Text("--patient", &ConvertOptions::patientFile),
    Choice("--type", &ConvertOptions::fileType, kTypes, kTypeValues),
    Number("--preset", &ConvertOptions::preset, 0, 32),
    Number("--pattern", &ConvertOptions::pattern, 1, 4),
    Flag("--keep-pattern", &ConvertOptions::keepPattern),
    Choice("--delimiter", &ConvertOptions::delimiter, kDelimiters),
    Number("--label-line", &ConvertOptions::labelLine, 0, 99),
    Number("--data-start-line", &ConvertOptions::dataStartLine, 0, 99),
    Number("--bias", &ConvertOptions::bias, 0, 255),
    Number("--channels", &ConvertOptions::channels, 1, 256),
    Number("--rate", &ConvertOptions::rate, 1, 1000000),
    SetNumber("--ad", &ConvertOptions::valueKind, 0),
    SetNumber("--calibrated", &ConvertOptions::valueKind, 1),
    Special("--mag", TakeMagnification),
    Choice("--notch", &ConvertOptions::notch, kNotches),
    Special("--start", TakeStart),
    Special("--frame-time", TakeFrameTime),
    Special("--comment", TakeComment),
    Number("--time-resolution", &ConvertOptions::timeResolution, 1, 10000),
    SetNumber("--invert", &ConvertOptions::invert, 1),
    SetNumber("--no-invert", &ConvertOptions::invert, 0),
    Number("--file-number", &ConvertOptions::fileNumber, 1, kFileNumberLast),
};

const OptionSpec* FindOption(const char* arg) {
    for (const OptionSpec& spec : kOptions)
        if (std::strcmp(arg, spec.name) == 0) return &spec;
    return nullptr;
}

bool TakesValue(OptionKind kind) {
    return kind != OptionKind::kFlag && kind != OptionKind::kSetNumber;
}

// Stores the option's value; text is the argument after it when it takes one.
bool ApplyOption(const OptionSpec& spec, const char* text, ConvertOptions* o, std::string* error) {
    switch (spec.kind) {
        case OptionKind::kFlag: o->*spec.flag = true; return true;
        case OptionKind::kSetNumber: o->*spec.number = spec.low; return true;
        case OptionKind::kText:
            o->*spec.text = text;
            if (text[0] != '\0' || spec.text == &ConvertOptions::newDiskId) return true;
            *error = std::string("the path given to ") + spec.name + " is empty";
            return false;
        case OptionKind::kNumber:
            if (ParseInt(text, spec.low, spec.high, &(o->*spec.number))) return true;
            *error = std::string(spec.name) + " takes a whole number from " +
                     std::to_string(spec.low) + " to " + std::to_string(spec.high) + ", not \"" +
                     text + "\"";
            return false;
        case OptionKind::kChoice: {
            int32_t index;
            if (!ParseChoice(text, spec.names, spec.nameCount, &index)) {
                *error = std::string("unknown ") + (spec.name + 2) + " \"" + text + "\"";
                return false;
            }
            o->*spec.number = spec.values != nullptr ? spec.values[index] : index;
            return true;
        }
        case OptionKind::kSpecial: return spec.parse(spec.name, text, o, error);
    }
    return false;
}

// An argument that is no option: the source, once.
bool TakeSource(const char* arg, ConvertOptions* o, std::string* error) {
    if (arg[0] == '-' && arg[1] != '\0') {
        *error = std::string("unknown option \"") + arg + "\"";
        return false;
    }
    if (o->source != nullptr) {
        *error = std::string("one source only (\"") + o->source + "\" and \"" + arg + "\")";
        return false;
    }
    o->source = arg;
    return true;
}

// The Disk ID is stored whole or not at all: never cut, never in another
// code page than the volume file's.
bool CheckDiskIdText(const char* id, std::string* error) {
    int32_t bad = -1;
    char byte[8] = "";
    switch (CheckDiskId(id, &bad)) {
        case kDiskIdUsable: return true;
        case kDiskIdNothing:
            *error = "--create-disk-id needs a Disk ID of 1 to 9 characters";
            return false;
        case kDiskIdTooLong:
            *error = "--create-disk-id takes at most " + std::to_string(kDiskIdTypedLimit) +
                     " bytes of code page 932, not " + std::to_string(std::strlen(id));
            return false;
        default:
            std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(id[bad]));
            *error = "--create-disk-id takes code page 932 text; byte " + std::to_string(bad + 1) +
                     " (" + byte + ") starts no code page 932 character or lacks its second byte";
            return false;
    }
}

// A PSG recording is one file the user names: no volume, no numbering.
bool CheckPsgOutput(const ConvertOptions& o, std::string* error) {
    if (o.volumeRoot != nullptr || o.newDiskId != nullptr) {
        *error = std::string(o.volumeRoot != nullptr ? "--volume" : "--create-disk-id") +
                 " is for EEG output; PSG output goes to -o FILE";
        return false;
    }
    if (o.outputFile == nullptr) {
        *error = "PSG output needs -o FILE";
        return false;
    }
    return true;
}

bool CheckEegOutput(const ConvertOptions& o, std::string* error) {
    const char* psgOnly = o.frameTime > 0        ? "--frame-time"
                          : o.comment != nullptr ? "--comment"
                          : o.timeResolution > 0 ? "--time-resolution"
                                                 : nullptr;
    if (psgOnly != nullptr) {
        *error = std::string(psgOnly) + " goes with --type psg";
        return false;
    }
    if ((o.outputFile == nullptr) == (o.volumeRoot == nullptr)) {
        *error = "convert needs one output: -o FILE or --volume DIR";
        return false;
    }
    if (o.newDiskId != nullptr && o.volumeRoot == nullptr) {
        *error = "--create-disk-id goes with --volume";
        return false;
    }
    if (o.fileNumber > 0 && o.volumeRoot == nullptr) {
        *error = "--file-number goes with --volume";
        return false;
    }
    return o.newDiskId == nullptr || CheckDiskIdText(o.newDiskId, error);
}

// The arguments as options and the source, without the checks of outputs.
bool ParseArguments(int argc, char** argv, ConvertOptions* o, std::string* error) {
    for (int i = 0; i < argc; ++i) {
        const char* arg = argv[i];
        const OptionSpec* spec = FindOption(arg);
        if (spec == nullptr) {
            if (!TakeSource(arg, o, error)) return false;
            continue;
        }
        const char* text = nullptr;
        if (TakesValue(spec->kind)) {
            if (i + 1 >= argc) {
                *error = std::string(arg) + " needs a value";
                return false;
            }
            text = argv[++i];
        }
        if (!ApplyOption(*spec, text, o, error)) return false;
    }
    return true;
}

}  // namespace

bool ParseSourceOptions(int argc, char** argv, const char* command, ConvertOptions* o,
                        std::string* error) {
    if (!ParseArguments(argc, argv, o, error)) return false;
    if (o->help || o->source != nullptr) return true;
    *error = std::string(command) + " needs a source file";
    return false;
}

bool ParseConvertOptions(int argc, char** argv, ConvertOptions* o, std::string* error) {
    if (!ParseSourceOptions(argc, argv, "convert", o, error)) return false;
    if (o->help) return true;
    if (o->fileType == kOutputPsg) return CheckPsgOutput(*o, error);
    return CheckEegOutput(*o, error);
}

ConvertArgKind ConvertArgumentKind(const char* arg) {
    const OptionSpec* spec = FindOption(arg);
    if (spec == nullptr) return kArgNotOption;
    return TakesValue(spec->kind) ? kArgTakesValue : kArgFlag;
}

// The text of convert --help.
const char kConvertUsage[] =
    "usage: quillon-cli convert SOURCE (-o FILE | --volume DIR [--create-disk-id ID])\n"
    "                           [options]\n"
    "       quillon-cli convert SOURCE --type psg -o FILE [options]\n"
    "       quillon-cli convert SOURCE... (--output-dir DIR | --volume DIR) [--jobs N]\n"
    "                           [--skip-existing] [options]\n"
    "\n"
    "Converts the source text SOURCE into an EEG wave data file and its .REF event\n"
    "file, or with --type psg into a PSG recording (an EDF+ file), with the\n"
    "settings of the desktop program: COND/QUILLON.INI beside quillon-cli,\n"
    "patient data from PATIENT.INF beside the settings file. The options below\n"
    "override the settings for this run only; the settings file is never\n"
    "written, except EEGFileNo, which a --volume run advances.\n"
    "\n"
    "Output (one of):\n"
    "  -o FILE                  write FILE; refused when FILE (or, for EEG output,\n"
    "                           its .REF) exists\n"
    "  --volume DIR             EEG output only: DIR is the output volume's root:\n"
    "                           write DIR/DAT/88nnnnnn.DAT numbered by EEGFileNo,\n"
    "                           with the Disk ID of DIR's volume file (*.VOL)\n"
    "  --create-disk-id ID      give a volume without a volume file the Disk ID ID\n"
    "                           (1 to 9 bytes of code page 932) and a DAT folder\n"
    "                           first\n"
    "  --file-number N          with --volume: write number N and leave EEGFileNo\n"
    "                           as it is\n"
    "\n"
    "Several sources (a batch: every source with the same options):\n"
    "  --output-dir DIR         one output per source in DIR, named after it:\n"
    "                           NAME.DAT and NAME.REF, or NAME.edf with --type psg;\n"
    "                           an existing output is that source's failure\n"
    "  --volume DIR             numbered in the order of the sources, each the next\n"
    "                           free number from EEGFileNo, which ends past the last\n"
    "  --jobs N                 conversions at a time (default: the processors)\n"
    "  --skip-existing          with --output-dir: keep finished outputs, convert\n"
    "                           again those a killed run left partial\n"
    "\n"
    "Settings:\n"
    "  --settings FILE          settings file (patient data: PATIENT.INF beside it)\n"
    "  --patient FILE           patient file to use instead of PATIENT.INF beside\n"
    "                           the settings; refused when it cannot be read or\n"
    "                           has no [PATIENT] section\n"
    "  --type eeg32|eeg24|psg   \"EEG FILING32\" (default), \"EEG FILING24\" or PSG\n"
    "  --pattern 1..4           montage pattern: EEGPattern<N>, or PSGPattern<N>\n"
    "                           with --type psg (default 1)\n"
    "  --preset N               source preset N, 1..32 (section ORGCOND<N-1>),\n"
    "                           instead of the settings' OrgFileType; 0: none\n"
    "  --keep-pattern           keep the pattern's labels and row switches whatever\n"
    "                           --label-line and --channels say\n"
    "\n"
    "Source layout; applied after the preset, so they win over it:\n"
    "  --delimiter comma|space|tab\n"
    "                           field delimiter; a comma ends a field in every mode\n"
    "                           and tab keeps blanks in fields\n"
    "  --bias N                 leading fields of each line that are not data\n"
    "  --label-line N           take the channel labels from line N (from 0) of\n"
    "                           the source's head\n"
    "  --data-start-line N      first data line (from 0): its column count is\n"
    "                           checked against the channel count\n"
    "  --channels N             number of channels, 1..256 (wins over the labels)\n"
    "  --rate HZ                sampling rate in hertz\n"
    "  --ad | --calibrated      A/D integers or calibrated values\n"
    "  --mag M                  magnification of calibrated values for EEG output:\n"
    "                           1, 10, ... 1000000000, or 1/10 ... 1/1000000 (PSG\n"
    "                           output scales by the pattern's MAG, EU and VU)\n"
    "  --notch none|50|60       mains frequency\n"
    "  --start \"YYYY-MM-DD HH:MM:SS\"\n"
    "                           recording start (default 2000-01-01 00:00:00)\n"
    "  --invert | --no-invert   invert the polarity of the samples, or not\n"
    "\n"
    "PSG output (--type psg):\n"
    "  --frame-time 1|2|5|10    seconds of one frame, a data record of the file\n"
    "                           (default: the settings' FrameTime); the source is\n"
    "                           read 30 seconds at a time\n"
    "  --comment TEXT           record comment, up to 31 bytes of code page 932\n"
    "  --time-resolution MS     time-resolution mode: the source holds one line\n"
    "                           a millisecond, and every (1000 / rate)-th line\n"
    "                           is taken; MS (1..10000) is kept as OrgTimeRes\n"
    "\n"
    "On success one line on standard output: PATH: N frames, S steps. For PSG\n"
    "output N is the frames in the file and S the frame counter of the desktop\n"
    "program, which also counts the last step, the one that found no more data.\n"
    "Exit status: 0 converted; 1 failed (nothing is written when the failure comes\n"
    "before the conversion starts); 2 usage error; 3 converted in part: the wave\n"
    "reached the largest size the file format can hold.\n"
    "A batch prints a table (source, output, frames, counts, outcome) on standard\n"
    "output; exit status 0 every source converted (or kept), 1 some failed or were\n"
    "converted in part, 2 usage error, 130 interrupted (Ctrl+C, SIGTERM, SIGHUP).\n";

void PrintConvertUsage(FILE* out) { std::fputs(kConvertUsage, out); }
