#include <atomic>

#include "ostrel_file.h"

// A handle value is (generation << 8) | slot. Slot 0 is never used, so 0 is
// never valid; a slot's generation moves on when it is freed, so a stale
// value no longer matches.
namespace ostrel {
namespace {

constexpr uint32_t kSlotBits = 8;
constexpr uint32_t kSlotCount = 1u << kSlotBits;
constexpr uint32_t kSlotMask = kSlotCount - 1;
constexpr uint32_t kLastGeneration = 0xFFFFFFFFu >> kSlotBits;

struct Slot {
    OstrelFile* file;
    uint32_t generation;
};

Slot slots[kSlotCount];
uint32_t nextSlot = 1;
std::atomic_flag tableBusy = ATOMIC_FLAG_INIT;

struct TableLock {
    TableLock() {
        while (tableBusy.test_and_set(std::memory_order_acquire)) {
        }
    }
    ~TableLock() { tableBusy.clear(std::memory_order_release); }
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;
};

Slot* LiveSlot(uint32_t handle) {
    uint32_t index = handle & kSlotMask;
    if (index == 0) return nullptr;
    Slot& slot = slots[index];
    if (slot.file == nullptr || slot.generation != handle >> kSlotBits) return nullptr;
    return &slot;
}

}  // namespace

uint32_t AddFile(OstrelFile* file) {
    TableLock lock;
    // Round robin, so a released value is not handed out again at once.
    for (uint32_t tried = 1; tried < kSlotCount; ++tried) {
        uint32_t index = nextSlot;
        nextSlot = nextSlot + 1 < kSlotCount ? nextSlot + 1 : 1;
        Slot& slot = slots[index];
        if (slot.file != nullptr) continue;
        if (slot.generation == 0) slot.generation = 1;
        slot.file = file;
        return (slot.generation << kSlotBits) | index;
    }
    return 0;
}

OstrelFile* AccessFile(uint32_t handle) {
    TableLock lock;
    Slot* slot = LiveSlot(handle);
    return slot == nullptr ? nullptr : slot->file;
}

OstrelFile* RemoveFile(uint32_t handle) {
    TableLock lock;
    Slot* slot = LiveSlot(handle);
    if (slot == nullptr) return nullptr;
    OstrelFile* file = slot->file;
    slot->file = nullptr;
    slot->generation = slot->generation >= kLastGeneration ? 1 : slot->generation + 1;
    return file;
}

}  // namespace ostrel
