#include <charconv>
#include <cstdio>
#include <cstring>

#include "convert_options.h"

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
        std::sscanf(text, "%4d-%2d-%2d %2d:%2d:%2d%n", &year, &month, &day, &hour, &minute,
                    &second, &used) != 6 ||
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
const int32_t kTypeValues[] = {2, 3, kPsgOutputType};  // CopyFileType

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

}  // namespace

bool ParseConvertOptions(int argc, char** argv, ConvertOptions* o, std::string* error) {
    for (int i = 0; i < argc; ++i) {
        const char* arg = argv[i];
        auto value = [&](const char** out) {
            if (i + 1 >= argc) {
                *error = std::string(arg) + " needs a value";
                return false;
            }
            *out = argv[++i];
            return true;
        };
        auto number = [&](int32_t low, int32_t high, int32_t* out) {
            const char* text;
            if (!value(&text)) return false;
            if (ParseInt(text, low, high, out)) return true;
            *error = std::string(arg) + " takes a whole number from " + std::to_string(low) +
                     " to " + std::to_string(high) + ", not \"" + text + "\"";
            return false;
        };
        auto choice = [&](const char* const* names, int32_t count, int32_t* out) {
            const char* text;
            if (!value(&text)) return false;
            if (ParseChoice(text, names, count, out)) return true;
            *error = std::string("unknown ") + (arg + 2) + " \"" + text + "\"";
            return false;
        };
        const char* text = nullptr;
        bool ok = true;
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            o->help = true;
        } else if (std::strcmp(arg, "--keep-pattern") == 0) {
            o->keepPattern = true;
        } else if (std::strcmp(arg, "-o") == 0) {
            ok = value(&o->outputFile);
        } else if (std::strcmp(arg, "--volume") == 0) {
            ok = value(&o->volumeRoot);
        } else if (std::strcmp(arg, "--create-disk-id") == 0) {
            ok = value(&o->newDiskId);
        } else if (std::strcmp(arg, "--settings") == 0) {
            ok = value(&o->settingsFile);
        } else if (std::strcmp(arg, "--type") == 0) {
            ok = choice(kTypes, 3, &o->fileType);
            if (ok) o->fileType = kTypeValues[o->fileType];
        } else if (std::strcmp(arg, "--preset") == 0) {
            ok = number(0, 32, &o->preset);
        } else if (std::strcmp(arg, "--pattern") == 0) {
            ok = number(1, 4, &o->pattern);
        } else if (std::strcmp(arg, "--delimiter") == 0) {
            ok = choice(kDelimiters, 3, &o->delimiter);
        } else if (std::strcmp(arg, "--label-line") == 0) {
            ok = number(0, 99, &o->labelLine);
        } else if (std::strcmp(arg, "--data-start-line") == 0) {
            ok = number(0, 99, &o->dataStartLine);
        } else if (std::strcmp(arg, "--bias") == 0) {
            ok = number(0, 255, &o->bias);
        } else if (std::strcmp(arg, "--channels") == 0) {
            ok = number(1, 256, &o->channels);
        } else if (std::strcmp(arg, "--rate") == 0) {
            ok = number(1, 1000000, &o->rate);
        } else if (std::strcmp(arg, "--ad") == 0) {
            o->valueKind = 0;
        } else if (std::strcmp(arg, "--calibrated") == 0) {
            o->valueKind = 1;
        } else if (std::strcmp(arg, "--mag") == 0) {
            ok = value(&text);
            if (ok && !(o->magGiven = ParseMagnification(text, &o->mag))) {
                *error = std::string("--mag takes 1, 10, ... 1000000000 or 1/10 ... 1/1000000, not \"") +
                         text + "\"";
                ok = false;
            }
        } else if (std::strcmp(arg, "--notch") == 0) {
            ok = choice(kNotches, 3, &o->notch);
        } else if (std::strcmp(arg, "--start") == 0) {
            ok = value(&text);
            if (ok && !(o->startGiven = ParseStart(text, o->start))) {
                *error = std::string("--start takes \"YYYY-MM-DD HH:MM:SS\", not \"") + text + "\"";
                ok = false;
            }
        } else if (std::strcmp(arg, "--frame-time") == 0) {
            ok = value(&text);
            if (ok && !ParseFrameTime(text, &o->frameTime)) {
                *error = std::string("--frame-time takes 1, 2, 5 or 10 (seconds), not \"") + text +
                         "\"";
                ok = false;
            }
        } else if (std::strcmp(arg, "--comment") == 0) {
            ok = value(&o->comment);
            if (ok && std::strlen(o->comment) > size_t{kCommentLimit}) {
                *error = "--comment takes at most " + std::to_string(kCommentLimit) + " bytes, not " +
                         std::to_string(std::strlen(o->comment));
                ok = false;
            }
        } else if (std::strcmp(arg, "--time-resolution") == 0) {
            ok = number(1, 10000, &o->timeResolution);
        } else if (std::strcmp(arg, "--invert") == 0) {
            o->invert = 1;
        } else if (std::strcmp(arg, "--no-invert") == 0) {
            o->invert = 0;
        } else if (arg[0] == '-' && arg[1] != '\0') {
            *error = std::string("unknown option \"") + arg + "\"";
            ok = false;
        } else if (o->source == nullptr) {
            o->source = arg;
        } else {
            *error = std::string("one source only (\"") + o->source + "\" and \"" + arg + "\")";
            ok = false;
        }
        if (!ok) return false;
    }
    if (o->help) return true;
    if (o->source == nullptr) {
        *error = "convert needs a source file";
        return false;
    }
    if (o->fileType == kPsgOutputType) return CheckPsgOutput(*o, error);
    const char* psgOnly = o->frameTime > 0 ? "--frame-time"
                          : o->comment != nullptr ? "--comment"
                          : o->timeResolution > 0 ? "--time-resolution"
                                                  : nullptr;
    if (psgOnly != nullptr) {
        *error = std::string(psgOnly) + " goes with --type psg";
        return false;
    }
    if ((o->outputFile == nullptr) == (o->volumeRoot == nullptr)) {
        *error = "convert needs one output: -o FILE or --volume DIR";
        return false;
    }
    if (o->newDiskId != nullptr && o->volumeRoot == nullptr) {
        *error = "--create-disk-id goes with --volume";
        return false;
    }
    if (o->newDiskId != nullptr && o->newDiskId[0] == '\0') {
        *error = "--create-disk-id needs a Disk ID of 1 to 9 characters";
        return false;
    }
    return true;
}

void PrintConvertUsage(FILE* out) {
    std::fputs(
        "usage: quillon-cli convert SOURCE (-o FILE | --volume DIR [--create-disk-id ID])\n"
        "                           [options]\n"
        "       quillon-cli convert SOURCE --type psg -o FILE [options]\n"
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
        "                           (up to 9 characters) and a DAT folder first\n"
        "\n"
        "Settings:\n"
        "  --settings FILE          settings file (patient data: PATIENT.INF beside it)\n"
        "  --type eeg32|eeg24|psg   \"EEG FILING32\" (default), \"EEG FILING24\" or PSG\n"
        "  --pattern 1..4           montage pattern: EEGPattern<N>, or PSGPattern<N>\n"
        "                           with --type psg (default 1)\n"
        "  --preset N               source preset N, 1..32 (section ORGCOND<N-1>),\n"
        "                           instead of the settings' OrgFileType; 0: none\n"
        "\n"
        "Source layout; applied after the preset, so they win over it:\n"
        "  --delimiter comma|space|tab\n"
        "                           field delimiter; tab-separated text reads with space\n"
        "                           (with tab, only commas end a field)\n"
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
        "reached the largest size the file format can hold.\n",
        out);
}
