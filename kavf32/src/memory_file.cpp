// Memory files: header groups built in a buffer at their file offsets, then
// committed with one write.
#include <algorithm>
#include <vector>

#include "api.h"
#include "file_io.h"
#include "item_writer.h"

namespace kavf {
namespace {

// Memory files hold header groups; the bound keeps a mistaken size from
// committing the process to gigabytes.
constexpr uint64_t kMaxMemoryFile = 64u << 20;

KavfHandle* WithMemoryFile(KAVFHANDLE handle) {
    KavfHandle* h = AccessHandle(handle);
    return h != nullptr && !h->memory.empty() ? h : nullptr;
}

}  // namespace
}  // namespace kavf

using namespace kavf;

KAVF_EXPORT uint32_t KAVFAPI CreateKavfMemFile(KAVFHANDLE handle, uint32_t size) {
    KavfHandle* h = AccessHandle(handle);
    uint64_t rounded = (uint64_t{size} + 3) & ~uint64_t{3};
    if (h == nullptr || rounded == 0 || rounded > kMaxMemoryFile) return 0;
    // A memory file still attached is released, not leaked.
    std::vector<uint8_t> block;
    if (!TryResize(block, static_cast<size_t>(rounded))) return 0;
    h->memory.swap(block);
    return static_cast<uint32_t>(rounded);
}

KAVF_EXPORT uint32_t KAVFAPI DeleteKavfMemFile(KAVFHANDLE handle) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr) return 0;
    std::vector<uint8_t>().swap(h->memory);
    return 1;
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfMemGroupStart(KAVFHANDLE handle, uint32_t group,
                                                     uint32_t offset) {
    KavfHandle* h = WithMemoryFile(handle);
    return h == nullptr ? 0 : WriteGroupStart(*h, Target::Memory, group, offset);
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfMemGroupEnd(KAVFHANDLE handle, uint32_t group) {
    KavfHandle* h = WithMemoryFile(handle);
    return h == nullptr ? 0 : WriteGroupEnd(*h, Target::Memory, group);
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfMemTextInfo(KAVFHANDLE handle, uint32_t id, uint32_t count,
                                                   const KavfTextElement* elements) {
    KavfHandle* h = WithMemoryFile(handle);
    ItemPlan plan;
    if (h == nullptr || !PlanTextItem(id, count, elements, plan)) return 0;
    return WriteItem(*h, Target::Memory, plan);
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfMemWordInfo(KAVFHANDLE handle, uint32_t mode, uint32_t id,
                                                   uint32_t count, const uint16_t* values) {
    KavfHandle* h = WithMemoryFile(handle);
    if (h == nullptr) return 0;
    ItemPlan plan;
    PlanWordItem(mode, id, count, values, plan);
    return WriteItem(*h, Target::Memory, plan);
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfMemLongInfo(KAVFHANDLE handle, uint32_t mode, uint32_t id,
                                                   uint32_t count, const uint32_t* values) {
    KavfHandle* h = WithMemoryFile(handle);
    if (h == nullptr) return 0;
    ItemPlan plan;
    PlanLongItem(mode, id, Low16(count), values, plan);
    return WriteItem(*h, Target::Memory, plan);
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfMemLongInfoEx(KAVFHANDLE handle, uint32_t mode, uint32_t id,
                                                     uint32_t count, const uint32_t* values) {
    KavfHandle* h = WithMemoryFile(handle);
    if (h == nullptr) return 0;
    ItemPlan plan;
    PlanLongItem(mode, id, count, values, plan);
    return WriteItem(*h, Target::Memory, plan);
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfMemImageInfo(KAVFHANDLE handle, uint32_t, uint32_t id,
                                                    uint32_t byteCount, const void* data) {
    KavfHandle* h = WithMemoryFile(handle);
    if (h == nullptr) return 0;
    ItemPlan plan;
    PlanImageItem(id, byteCount, data, plan);
    return WriteItem(*h, Target::Memory, plan);
}

KAVF_EXPORT int32_t KAVFAPI WriteKavfMemFile(KAVFHANDLE handle, uint32_t firstGroup,
                                             uint32_t lastGroup) {
    KavfHandle* h = WithMemoryFile(handle);
    uint16_t first = Low16(firstGroup), last = Low16(lastGroup);
    if (h == nullptr || first == 0 || first > kMaxGroups) return 0;
    last = std::min<uint16_t>(last, kMaxGroups);
    uint64_t words = 0;
    for (uint16_t g = first; g <= last; ++g) words += h->groupLengths[g];
    uint64_t offset = h->groupOffsets[first];
    uint64_t bytes = 2 * words;
    // Only bytes that were built in the buffer are committed.
    if (offset + bytes > h->memory.size() || !SeekTo(*h, offset)) return 0;
    int64_t done = 0;
    while (static_cast<uint64_t>(done) < bytes) {
        int32_t want = static_cast<int32_t>(bytes - static_cast<uint64_t>(done));
        int32_t got = PlatFileWrite(h->file, h->memory.data() + offset + done, want);
        if (got < 0) return got;
        if (got == 0) return -1;
        done += got;
    }
    h->writeOffset = static_cast<uint32_t>(offset + bytes);
    return static_cast<int32_t>(h->writeOffset);
}
