// Closing the definitions: every check that decides whether a valid EDF+
// file can come out, and every header text, fixed once so that the data
// calls only copy samples.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "edf_text.h"
#include "ostrel_file.h"

namespace ostrel {
namespace {

constexpr size_t kLabelWidth = 16;
constexpr size_t kIdentificationWidth = 80;
constexpr size_t kDimensionWidth = 8;

enum FieldId {
    kPatientId = 11,
    kName = 13,
    kKanaName = 14,
    kSex = 21,
    kBirthDate = 22,
    kAge = 23,
    kHeight = 24,
    kWeight = 25,
    kHospital = 101,
    kDepartment = 104,
    kRequestingDoctor = 105,
    kTechnician = 106,
    kReadingDoctor = 107,
    kMedication = 201,
    kFirstComment = 301,
    kLastComment = 305,
};

std::string Tal(const std::string& text) {
    std::string tal = "+0\x14";
    tal += text;
    tal += '\x14';
    tal += '\0';
    return tal;
}

std::string Caption(int32_t id) {
    switch (id) {
        case kPatientId: return "Patient ID";
        case kName: return "Name";
        case kKanaName: return "Name (kana)";
        case kSex: return "Sex";
        case kBirthDate: return "Birth date";
        case kAge: return "Age";
        case kHeight: return "Height";
        case kWeight: return "Weight";
        case kHospital: return "Hospital";
        case kDepartment: return "Department";
        case kRequestingDoctor: return "Requesting doctor";
        case kTechnician: return "Technician";
        case kReadingDoctor: return "Reading doctor";
        case kMedication: return "Medication";
        default: break;
    }
    if (id >= kFirstComment && id <= kLastComment)
        return "Comment " + std::to_string(id - kFirstComment + 1);
    return "Field " + std::to_string(id);
}

const std::string* FieldText(const OstrelFile& file, int32_t id) {
    for (const PatientField& field : file.patient)
        if (field.id == id) return &field.text;
    return nullptr;
}

bool ParseWhole(const std::string& text, size_t begin, size_t end, int32_t& value) {
    if (begin >= end) return false;
    const char* first = text.data() + begin;
    const char* last = text.data() + end;
    auto [p, error] = std::from_chars(first, last, value);
    return error == std::errc() && p == last;
}

// "1950.01.01" as the program formats birth dates; "X" unless a valid date.
std::string BirthSubfield(const std::string* text) {
    if (text == nullptr) return "X";
    size_t dot1 = text->find('.');
    size_t dot2 = dot1 == std::string::npos ? dot1 : text->find('.', dot1 + 1);
    if (dot2 == std::string::npos) return "X";
    int32_t year = 0, month = 0, day = 0;
    if (!ParseWhole(*text, 0, dot1, year) || !ParseWhole(*text, dot1 + 1, dot2, month) ||
        !ParseWhole(*text, dot2 + 1, text->size(), day))
        return "X";
    return EdfPlusDate(year, month, day);
}

std::string SexSubfield(const std::string* text) {
    if (text == nullptr || text->size() != 1) return "X";
    char c = (*text)[0];
    if (c == 'M' || c == 'm') return "M";
    if (c == 'F' || c == 'f') return "F";
    return "X";
}

// An integer text in units of 10^-decimals of unit, e.g. 1600 (0.1 cm) as
// "160.0 cm"; false when the text is not a plain integer.
bool ScaledInteger(const std::string& text, int decimals, const char* unit, std::string& out) {
    int32_t value = 0;
    if (!ParseWhole(text, 0, text.size(), value)) return false;
    long long magnitude = value < 0 ? -static_cast<long long>(value) : value;
    long long scale = decimals == 3 ? 1000 : 10;
    char formatted[48];
    std::snprintf(formatted, sizeof formatted, "%s%lld.%0*lld %s", value < 0 ? "-" : "",
                  magnitude / scale, decimals, magnitude % scale, unit);
    out = formatted;
    return true;
}

void AddNote(OstrelFile& file, const std::string& caption, const std::string& cp932) {
    std::string text = AnnotationText(cp932);
    if (!text.empty()) file.onsetTals.push_back(Tal(caption + ": " + text));
}

void FixRecordStart(OstrelFile& file) {
    const RecordStart& s = file.start;
    bool dateValid = IsValidDate(s.year, s.month, s.day);
    bool timeValid = IsValidTime(s.hour, s.minute, s.second);
    file.startDate = dateValid ? HeaderDate(s.year, s.month, s.day) : "01.01.85";
    file.startTime = timeValid ? HeaderTime(s.hour, s.minute, s.second) : "00.00.00";
    if (!dateValid || !timeValid) {
        char entered[128];
        std::snprintf(entered, sizeof entered, "Recording start as entered: %d-%d-%d %d:%d:%d",
                      static_cast<int>(s.year), static_cast<int>(s.month), static_cast<int>(s.day),
                      static_cast<int>(s.hour), static_cast<int>(s.minute),
                      static_cast<int>(s.second));
        file.onsetTals.push_back(Tal(entered));
    }
    std::string technician = HeaderSubfield(
        FieldText(file, kTechnician) ? *FieldText(file, kTechnician) : std::string());
    std::string head =
        "Startdate " + (dateValid ? EdfPlusDate(s.year, s.month, s.day) : "X") + " X ";
    if (head.size() + technician.size() + 2 > kIdentificationWidth) technician = "X";
    file.recordingIdentification = head + technician + " X";
}

// The EDF+ patient field, and annotations for whatever it cannot hold as
// typed; every other patient text becomes an annotation too.
void FixPatient(OstrelFile& file) {
    const std::string* id = FieldText(file, kPatientId);
    const std::string* name = FieldText(file, kName);
    std::string idSubfield = HeaderSubfield(id ? *id : std::string());
    std::string nameSubfield = HeaderSubfield(name ? *name : std::string());
    std::string birth = BirthSubfield(FieldText(file, kBirthDate));
    std::string joined =
        idSubfield + ' ' + SexSubfield(FieldText(file, kSex)) + ' ' + birth + ' ' + nameSubfield;
    bool cut = joined.size() > kIdentificationWidth;
    if (cut) joined.resize(kIdentificationWidth);
    file.patientIdentification = joined;

    for (const PatientField& field : file.patient) {
        if (field.text.empty()) continue;
        std::string caption = Caption(field.id);
        std::string scaled;
        switch (field.id) {
            case kPatientId:
                if (cut || idSubfield != field.text) AddNote(file, caption, field.text);
                break;
            case kName:
                if (cut || nameSubfield != field.text) AddNote(file, caption, field.text);
                break;
            case kSex: break;
            case kBirthDate:
                if (birth == "X") AddNote(file, caption, field.text);
                break;
            case kHeight:
                if (ScaledInteger(field.text, 1, "cm", scaled))
                    file.onsetTals.push_back(Tal(caption + ": " + scaled));
                else
                    AddNote(file, caption, field.text);
                break;
            case kWeight:
                if (ScaledInteger(field.text, 3, "kg", scaled))
                    file.onsetTals.push_back(Tal(caption + ": " + scaled));
                else
                    AddNote(file, caption, field.text);
                break;
            default: AddNote(file, caption, field.text); break;
        }
    }
}

// Units typed in cp932 that have an ASCII spelling.
bool AsciiDimension(const std::string& cp932, std::string& out) {
    out.clear();
    for (size_t i = 0; i < cp932.size();) {
        uint8_t b = static_cast<uint8_t>(cp932[i]);
        if (b >= 0x20 && b <= 0x7E) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        if (i + 1 >= cp932.size()) return false;
        uint32_t pair = (static_cast<uint32_t>(b) << 8) | static_cast<uint8_t>(cp932[i + 1]);
        switch (pair) {
            case 0x83CA: out += 'u'; break;     // Greek mu
            case 0x818E: out += "degC"; break;  // degree Celsius sign
            case 0x818B: out += "deg"; break;   // degree sign
            case 0x8193: out += '%'; break;     // full-width percent
            default: return false;
        }
        i += 2;
    }
    return out.size() <= kDimensionWidth;
}

bool StartsWithWord(const std::string& text, const std::string& word) {
    if (text.size() < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
        char a = text[i], b = word[i];
        if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
        if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 32);
        if (a != b) return false;
    }
    return text.size() == word.size() || text[word.size()] == ' ';
}

bool LabelTaken(const OstrelFile& file, const std::string& label) {
    for (const SignalText& signal : file.signalTexts)
        if (signal.label == label) return true;
    return false;
}

// "<type> <label>", at most 16 characters, unique in the file. The label as
// typed goes into an annotation when the header cannot show it whole.
std::string SignalLabel(OstrelFile& file, const ChannelDefinition& channel, int32_t number) {
    std::string typed = channel.label;
    bool asTyped = !typed.empty() && IsPrintableAscii(typed);
    std::string name =
        asTyped ? typed
                : "Ch" + std::to_string(channel.sourceChannel > 0 ? channel.sourceChannel : number);
    std::string type = TypeName(channel.signalType);
    std::string label = type.empty() || StartsWithWord(name, type) ? name : type + ' ' + name;
    bool whole = label.size() <= kLabelWidth;
    if (!whole) {
        label.resize(kLabelWidth);
        while (!label.empty() && label.back() == ' ') label.pop_back();
    }
    if (LabelTaken(file, label)) {
        whole = false;
        for (int32_t copy = 2;; ++copy) {
            std::string suffix = "-" + std::to_string(copy);
            std::string candidate = label.substr(0, kLabelWidth - suffix.size()) + suffix;
            if (!LabelTaken(file, candidate)) {
                label = candidate;
                break;
            }
        }
    }
    if (!typed.empty() && (!asTyped || !whole))
        AddNote(file, "Signal " + std::to_string(number) + " label", typed);
    return label;
}

std::string Transducer(const ChannelDefinition& channel) {
    std::string text;
    if (channel.sourceChannel > 0) text = "Source channel " + std::to_string(channel.sourceChannel);
    if (channel.sensitivity > 0) {
        char sensitivity[48];
        std::snprintf(sensitivity, sizeof sensitivity, "sensitivity %.1f",
                      channel.sensitivity / 1000.0);
        text += text.empty() ? "" : ", ";
        text += sensitivity;
    }
    return text;
}

// Why a channel without CAL or AD is stored with physical = digital.
std::string UnitScaleNote(const ChannelDefinition& channel, const std::string& label,
                          int32_t number) {
    const char* zero = channel.eu == 0 ? (channel.vu == 0 ? "CAL and AD are" : "CAL is") : "AD is";
    std::string note = "Signal " + std::to_string(number) + " (" + label +
                       "): physical values are the stored A/D counts because " + zero + " 0";
    std::string unit = AnnotationText(channel.unit);
    if (!unit.empty()) note += "; unit as typed: " + unit;
    return Tal(note);
}

bool FixSignal(OstrelFile& file, const ChannelDefinition& channel, int32_t number) {
    // Without CAL or AD there is no scale: the counts themselves, unitless.
    bool unitScale = channel.eu == 0 || channel.vu == 0;
    double perCount = unitScale ? 1.0 : static_cast<double>(channel.eu) / channel.vu;
    std::string magnitude;
    if (!FormatMagnitude(std::fabs(perCount) * kDigitalMax, magnitude)) return false;

    SignalText signal;
    signal.label = SignalLabel(file, channel, number);
    signal.transducer = Transducer(channel);
    if (unitScale) {
        file.onsetTals.push_back(UnitScaleNote(channel, signal.label, number));
    } else if (!AsciiDimension(channel.unit, signal.dimension)) {
        signal.dimension.clear();
        AddNote(file, "Signal " + std::to_string(number) + " unit", channel.unit);
    }
    signal.physicalMin = perCount > 0 ? "-" + magnitude : magnitude;
    signal.physicalMax = perCount > 0 ? magnitude : "-" + magnitude;
    signal.prefiltering = PrefilterText(channel.lowFilter, channel.highFilter, file.mainsHz);
    file.signalTexts.push_back(signal);
    return true;
}

// A channel takes every RowStep-th source row. Records must hold whole
// samples of every channel and divide the program's epoch; false when no
// duration does (250 Hz rows taken every 7th never fill 30 s evenly).
bool FixRecordStep(OstrelFile& file) {
    int64_t epochFrames = kRunEpochSeconds / file.frameSeconds;
    int64_t epochSeconds = (epochFrames > 0 ? epochFrames : 1) * file.frameSeconds;
    int64_t step = 1;
    for (const ChannelDefinition& channel : file.channels) {
        if (channel.rate < 1 || channel.rate > file.sampleRate) return false;
        int64_t rows = RowStep(file, channel);
        step = std::lcm(step, rows / std::gcd(rows, static_cast<int64_t>(file.sampleRate)));
        if (epochSeconds % step != 0) return false;
    }
    file.recordStep = static_cast<int32_t>(step);
    return true;
}

}  // namespace

bool CloseDefinitions(OstrelFile& file) {
    if (file.channelCount < 1 || file.channelCount > kMaxChannels ||
        file.channels.size() != static_cast<size_t>(file.channelCount))
        return false;
    if (file.frameSeconds < 1 || file.frameSeconds > kMaxFrameSeconds) return false;
    if (file.sampleRate < 1 || file.sampleRate > kMaxSampleRate) return false;
    if (!FixRecordStep(file)) return false;
    int64_t frameBytes = 0;
    for (const ChannelDefinition& channel : file.channels) {
        int64_t rows = static_cast<int64_t>(file.sampleRate) * file.frameSeconds;
        int64_t step = RowStep(file, channel);
        frameBytes += (rows + step - 1) / step * 2;
    }
    // Half the epoch limit, so that a frame's annotations always fit too.
    if (frameBytes > kMaxEpochBytes / 2) return false;
    file.frameDataBytes = frameBytes;

    file.onsetTals.clear();
    file.signalTexts.clear();
    FixRecordStart(file);
    AddNote(file, "Record comment", file.comment);
    FixPatient(file);
    for (int32_t k = 0; k < file.channelCount; ++k)
        if (!FixSignal(file, file.channels[static_cast<size_t>(k)], k + 1)) return false;
    return true;
}

}  // namespace ostrel
