// The record behind every open wave data file, and the table that maps the
// 32-bit handle values callers hold to these records.
#ifndef KAVF32_HANDLE_H
#define KAVF32_HANDLE_H

#include <cstdint>
#include <string>
#include <vector>

#include "format.h"
#include "kavf32.h"
#include "platform.h"

namespace kavf {

// Which kind of item the current-item fields describe; frame, sweep,
// spectrum and trend operations refuse to work on another kind's fields.
enum class CurrentItem : uint8_t { None, FlowWave, Sweep, Spectrum, Trend };

struct SpectrumDescription {
    uint16_t type;
    uint32_t points;
    uint32_t value12;
    uint16_t value16;
    uint16_t records;
    uint32_t value20;
    uint32_t lines;
    uint16_t raw;
    uint16_t value30;
    uint32_t recordCounter;  // records written in the current line
};

struct TrendDescription {
    uint16_t type;
    uint16_t f;
    uint16_t raw;
    uint16_t blocks;
    uint32_t points;
    uint32_t q;
    uint32_t lines;  // lines written
    bool lineRead;   // position holds the first data block of a line
};

struct KavfHandle {
    PlatFile file;
    uint32_t attributes;
    std::vector<uint8_t> work;
    uint16_t groupCount;
    uint16_t indexItemCount;
    uint32_t recordOffset;
    uint32_t dataPosition;
    std::vector<uint8_t> memory;  // memory file, empty when none
    std::string fileName;
    uint16_t sweepRaw;
    uint16_t recordGroup;  // group of the current item, 1..64
    uint16_t recordType;
    uint16_t recordId;
    uint32_t position;
    uint32_t frameCount;
    uint32_t frameSize;
    uint32_t interval;
    uint16_t bits;
    uint16_t channels;  // trend: data blocks written in the current line
    uint16_t extra;     // sweep: sweep counter
    uint16_t secondExtra;
    uint16_t wideSamples;
    uint32_t lineSize;
    char magic[5];
    char typeName[kTypeNameCapacity + 1];
    uint16_t currentGroup;
    bool groupOpen;
    uint32_t writeOffset;
    uint32_t groupOffsets[kMaxGroups + 1];  // numbered 1..64
    uint32_t groupLengths[kMaxGroups + 1];
    CurrentItem current;
    SpectrumDescription spectrum;
    TrendDescription trend;
};

// Work buffers are at least this large; larger requests are clipped to the
// upper bound, which only limits how much of a text list one call reads.
constexpr uint32_t kMinWorkBuffer = 1024;
constexpr uint32_t kMaxWorkBuffer = 16u << 20;

// Registers a new record; 0 when the table is full.
KAVFHANDLE AddHandle(KavfHandle* record);
// The record of a live handle value, or null for 0, closed or forged values.
KavfHandle* AccessHandle(KAVFHANDLE value);
// Unregisters the value and returns its record (null if not live).
KavfHandle* RemoveHandle(KAVFHANDLE value);

}  // namespace kavf

#endif
