// Reading back the fields and samples of an EDF+ file written by a PSG run.
#ifndef QUILLON_TESTS_EDF_VIEW_H
#define QUILLON_TESTS_EDF_VIEW_H

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

struct EdfView {
    std::string bytes;
    int32_t signals = 0;  // the annotation signal included, last
    int64_t records = 0;
    std::vector<int32_t> samplesPerRecord;
    size_t recordBytes = 0;

    explicit EdfView(std::string file) : bytes(std::move(file)) {
        if (bytes.size() < 256) return;
        signals = std::atoi(Main(252, 4).c_str());
        records = std::atoll(Main(236, 8).c_str());
        for (int32_t s = 0; s < signals; ++s) {
            samplesPerRecord.push_back(std::atoi(Field(kSamples, s).c_str()));
            recordBytes += 2u * static_cast<size_t>(samplesPerRecord.back());
        }
    }

    enum SignalField {
        kLabel,
        kTransducer,
        kDimension,
        kPhysicalMin,
        kPhysicalMax,
        kDigitalMin,
        kDigitalMax,
        kPrefiltering,
        kSamples,
        kReserved,
    };

    std::string Main(size_t at, size_t width) const { return bytes.substr(at, width); }

    // Signal header field of one signal, blanks kept.
    std::string Field(int32_t field, int32_t signal) const {
        static const int kWidths[10] = {16, 80, 8, 8, 8, 8, 8, 80, 8, 32};
        size_t at = 256;
        for (int32_t f = 0; f < field; ++f) at += static_cast<size_t>(kWidths[f] * signals);
        at += static_cast<size_t>(kWidths[field] * signal);
        return bytes.substr(at, static_cast<size_t>(kWidths[field]));
    }
    std::string Trimmed(int32_t field, int32_t signal) const {
        std::string text = Field(field, signal);
        while (!text.empty() && text.back() == ' ') text.pop_back();
        return text;
    }

    size_t SignalOffset(int32_t signal) const {
        size_t at = 0;
        for (int32_t s = 0; s < signal; ++s) at += 2u * static_cast<size_t>(samplesPerRecord[s]);
        return at;
    }

    // Every sample of a signal, record after record.
    std::vector<int16_t> Samples(int32_t signal) const {
        std::vector<int16_t> out;
        const size_t header = 256u * static_cast<size_t>(signals + 1);
        for (int64_t r = 0; r < records; ++r) {
            size_t at = header + static_cast<size_t>(r) * recordBytes + SignalOffset(signal);
            for (int32_t i = 0; i < samplesPerRecord[signal]; ++i, at += 2) {
                if (at + 1 >= bytes.size()) return out;
                uint16_t bits = static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) |
                                                      (static_cast<uint8_t>(bytes[at + 1]) << 8));
                out.push_back(static_cast<int16_t>(bits));
            }
        }
        return out;
    }

    // The texts of the annotation signal's TALs in every record.
    std::vector<std::string> AllAnnotations() const {
        std::vector<std::string> all;
        for (int64_t r = 0; r < records; ++r) {
            std::vector<std::string> texts = Annotations(r);
            all.insert(all.end(), texts.begin(), texts.end());
        }
        return all;
    }

    // The texts of the annotation signal's TALs in one record.
    std::vector<std::string> Annotations(int64_t record) const {
        const int32_t signal = signals - 1;
        const size_t at = 256u * static_cast<size_t>(signals + 1) +
                          static_cast<size_t>(record) * recordBytes + SignalOffset(signal);
        std::string area = bytes.substr(at, 2u * static_cast<size_t>(samplesPerRecord[signal]));
        std::vector<std::string> texts;
        size_t start = 0;
        while (start < area.size() && area[start] != '\0') {
            size_t end = area.find('\0', start);
            if (end == std::string::npos) break;
            std::string tal = area.substr(start, end - start);  // +onset 0x14 texts 0x14
            size_t first = tal.find('\x14');
            while (first != std::string::npos && first + 1 < tal.size()) {
                size_t next = tal.find('\x14', first + 1);
                if (next == std::string::npos) break;
                texts.push_back(tal.substr(first + 1, next - first - 1));
                first = next;
            }
            start = end + 1;
        }
        return texts;
    }
};

#endif
