#include "preview_recording.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "kavf32.h"
#include "wave_walk.h"

namespace {

constexpr uint16_t kLabelsId = 0x8E;  // the montage's trace labels
constexpr uint32_t kFramesPerRead = 256;
constexpr double kMicroseconds = 1e6;
constexpr size_t kEdfFixedHeader = 256;
constexpr size_t kEdfSignalHeader = 256;
const char kEdfVersion[] = "0       ";
const char kEdfAnnotations[] = "EDF Annotations";
const char kWaveUnit[] = "counts";

struct Window {
    double first;  // samples before the window, at rate
    double count;  // samples in it
    int columns;
    int ColumnOf(double sample) const {
        return static_cast<int>(std::floor((sample - first) * columns / count));
    }
};

std::vector<std::string> WaveLabels(KAVFHANDLE h) {
    std::vector<KavfTextElement> elements(KAVF_MAX_GROUPS);
    for (uint32_t group = 1; group <= KAVF_MAX_GROUPS; ++group) {
        if (FindKavfIndexPtr(h, group, kLabelsId) == 0) continue;
        const uint32_t count =
            GetKavfTextInfo(h, elements.data(), group, kLabelsId, KAVF_MAX_GROUPS,
                            KAVF_MAX_GROUPS * sizeof(KavfTextElement));
        std::vector<std::string> labels;
        for (uint32_t i = 0; i < count; ++i)
            labels.emplace_back(elements[i].text,
                                strnlen(elements[i].text, sizeof elements[i].text));
        return labels;
    }
    return {};
}

void AddWaveFrames(KAVFHANDLE h, const WalkWave& wave, const Window& w, Picture* p) {
    const bool event = wave.type == 0x0202 || wave.type == 0x0204;
    const bool wide = wave.bits > 8 || wave.type == 0x0204;
    const double end = std::fmin(w.first + w.count, wave.frames);
    std::vector<uint8_t> buffer(size_t{wave.frameSize} * kFramesPerRead);
    for (uint32_t start = static_cast<uint32_t>(w.first); start < end; start += kFramesPerRead) {
        const uint32_t count = static_cast<uint32_t>(std::fmin(kFramesPerRead, end - start));
        if (ReadKavfFlowWave(h, KAVF_FLOW_CONVERT, int32_t(start), int32_t(count), buffer.data()) <=
            0)
            return;
        for (uint32_t k = 0; k < count; ++k) {
            const uint8_t* frame = buffer.data() + size_t{k} * wave.frameSize + (event ? 2 : 0);
            const int column = w.ColumnOf(start + k);
            for (size_t c = 0; c < p->traces.size(); ++c) {
                int16_t sample;
                if (wide)
                    std::memcpy(&sample, frame + 2 * c, 2);
                else
                    sample = static_cast<int8_t>(frame[c]);
                AddSample(&p->traces[c], column, sample);
            }
        }
    }
}

bool DrawWave(const char* path, Picture* p, std::string* error) {
    const WalkResult walk = WalkWaveFile(path);
    KAVFHANDLE h = OpenKavfile(path, 0x0000, 8192);
    char typeName[KAVF_MAX_TYPE_NAME * 2 + 4] = {};
    if (h == 0 || (CheckKavfile(h, walk.magic, typeName) & 0xFFFF) >= KAVF_CHECK_WRONG_MAGIC) {
        if (h != 0) CloseKavfile(h);
        *error = std::string("the library cannot read \"") + path + "\"";
        return false;
    }
    KavfWaveInfo info{};
    ReadKavfWaveInfo(h, uint16_t(walk.wave.group), walk.wave.id, &info);
    const double rate = walk.wave.interval > 0 ? kMicroseconds / walk.wave.interval : 0.0;
    const std::vector<std::string> labels = WaveLabels(h);
    for (uint32_t c = 0; c < walk.wave.channels; ++c)
        p->traces.push_back(EmptyTrace(*p, c < labels.size() ? labels[c] : "", kWaveUnit));
    if (rate > 0.0)
        AddWaveFrames(h, walk.wave, Window{p->fromSecond * rate, p->seconds * rate, p->columns}, p);
    CloseKavfile(h);
    return true;
}

struct EdfSignal {
    std::string label;
    std::string unit;
    double scale;   // physical per digital step
    double offset;  // physical at digital 0
    int samples;    // per record
};

std::string EdfField(const std::string& header, size_t at, size_t width) {
    std::string text = header.substr(at, width);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::vector<EdfSignal> EdfSignals(const std::string& h, int count) {
    const size_t widths[] = {16, 80, 8, 8, 8, 8, 8, 80, 8};
    auto field = [&](int f, int s) {
        size_t at = kEdfFixedHeader;
        for (int k = 0; k < f; ++k) at += widths[k] * size_t(count);
        return EdfField(h, at + widths[f] * size_t(s), widths[f]);
    };
    std::vector<EdfSignal> signals;
    for (int s = 0; s < count; ++s) {
        const double pmin = std::atof(field(3, s).c_str()), pmax = std::atof(field(4, s).c_str());
        const double dmin = std::atof(field(5, s).c_str()), dmax = std::atof(field(6, s).c_str());
        const double scale = dmax > dmin ? (pmax - pmin) / (dmax - dmin) : 1.0;
        signals.push_back(
            {field(0, s), field(2, s), scale, pmin - dmin * scale, std::atoi(field(8, s).c_str())});
    }
    return signals;
}

bool DrawEdf(const char* path, Picture* p, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    std::string fixed(kEdfFixedHeader, '\0');
    if (!in.read(&fixed[0], kEdfFixedHeader)) {
        *error = std::string("cannot read \"") + path + "\"";
        return false;
    }
    const int count = std::atoi(EdfField(fixed, 252, 4).c_str());
    const double duration = std::atof(EdfField(fixed, 244, 8).c_str());
    std::string header(kEdfSignalHeader * size_t(count > 0 ? count : 0), '\0');
    if (count <= 0 || duration <= 0.0 || !in.read(&header[0], std::streamsize(header.size()))) {
        *error = std::string("\"") + path + "\" has no readable EDF signal header";
        return false;
    }
    const std::vector<EdfSignal> signals = EdfSignals(fixed + header, count);
    size_t recordBytes = 0;
    for (const EdfSignal& s : signals) recordBytes += 2u * size_t(s.samples > 0 ? s.samples : 0);
    for (const EdfSignal& s : signals)
        if (s.label != kEdfAnnotations) p->traces.push_back(EmptyTrace(*p, s.label, s.unit));
    const long first = static_cast<long>(std::floor(p->fromSecond / duration));
    const long last = static_cast<long>(std::ceil((p->fromSecond + p->seconds) / duration));
    std::vector<char> record(recordBytes);
    for (long r = first; r < last; ++r) {
        in.seekg(std::streamoff(kEdfFixedHeader + header.size() + size_t(r) * recordBytes));
        if (!in.read(record.data(), std::streamsize(recordBytes))) break;
        size_t at = 0, trace = 0;
        for (const EdfSignal& s : signals) {
            const bool drawn = s.label != kEdfAnnotations;
            const double rate = s.samples / duration;
            const Window w{p->fromSecond * rate, p->seconds * rate, p->columns};
            for (int i = 0; i < s.samples; ++i, at += 2) {
                const int16_t d = int16_t(uint8_t(record[at]) | uint8_t(record[at + 1]) << 8);
                const int column = w.ColumnOf(double(r) * s.samples + i);
                if (drawn && column >= 0 && column < p->columns)
                    AddSample(&p->traces[trace], column, s.offset + d * s.scale);
            }
            trace += drawn;
        }
    }
    return true;
}

}  // namespace

RecordingKind RecordingKindOf(const char* path) {
    // An EDF file: its version, and a header size that fits its signal count.
    std::ifstream in(path, std::ios::binary);
    std::string fixed(kEdfFixedHeader, '\0');
    if (!in.read(&fixed[0], kEdfFixedHeader)) return kRecordingNone;
    const long signals = std::atol(EdfField(fixed, 252, 4).c_str());
    if (fixed.compare(0, sizeof kEdfVersion - 1, kEdfVersion) == 0 && signals > 0 &&
        std::atol(EdfField(fixed, 184, 8).c_str()) == long(kEdfSignalHeader) * (signals + 1))
        return kRecordingEdf;
    const WalkResult walk = WalkWaveFile(path);
    return walk.error.empty() && walk.wave.present && walk.wave.frameSize != 0 ? kRecordingWave
                                                                               : kRecordingNone;
}

bool DrawRecording(RecordingKind kind, const char* path, Picture* picture, std::string* error) {
    return kind == kRecordingEdf ? DrawEdf(path, picture, error) : DrawWave(path, picture, error);
}
