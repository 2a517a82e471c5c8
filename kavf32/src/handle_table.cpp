#include <atomic>

#include "handle.h"

// A handle value is (generation << 12) | slot. Slot 0 is never used, so 0 is
// never a valid value; the generation changes each time a slot is freed, so
// a stale value stops matching its slot.
namespace kavf {
namespace {

constexpr uint32_t kSlotBits = 12;
constexpr uint32_t kSlotCount = 1u << kSlotBits;  // slots 1..4095 in use
constexpr uint32_t kSlotMask = kSlotCount - 1;
constexpr uint32_t kGenerationLimit = 0xFFFFFFFFu >> kSlotBits;

struct Slot {
    KavfHandle* record;
    uint32_t generation;  // 1..kGenerationLimit
};

Slot slots[kSlotCount];
uint32_t nextSlot = 1;
// Guards the table only; each handle's record is used by one thread at a time.
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

uint32_t NextGeneration(uint32_t generation) {
    return generation >= kGenerationLimit ? 1 : generation + 1;
}

Slot* LiveSlot(KAVFHANDLE value) {
    uint32_t index = value & kSlotMask;
    uint32_t generation = value >> kSlotBits;
    if (index == 0) return nullptr;
    Slot& slot = slots[index];
    if (slot.record == nullptr || slot.generation != generation) return nullptr;
    return &slot;
}

}  // namespace

KAVFHANDLE AddHandle(KavfHandle* record) {
    TableLock lock;
    // Round robin, so a freed value is not handed out again right away.
    for (uint32_t tried = 1; tried < kSlotCount; ++tried) {
        uint32_t index = nextSlot;
        nextSlot = nextSlot + 1 < kSlotCount ? nextSlot + 1 : 1;
        Slot& slot = slots[index];
        if (slot.record != nullptr) continue;
        if (slot.generation == 0) slot.generation = 1;
        slot.record = record;
        return (slot.generation << kSlotBits) | index;
    }
    return 0;
}

KavfHandle* AccessHandle(KAVFHANDLE value) {
    TableLock lock;
    Slot* slot = LiveSlot(value);
    return slot == nullptr ? nullptr : slot->record;
}

KavfHandle* RemoveHandle(KAVFHANDLE value) {
    TableLock lock;
    Slot* slot = LiveSlot(value);
    if (slot == nullptr) return nullptr;
    KavfHandle* record = slot->record;
    slot->record = nullptr;
    slot->generation = NextGeneration(slot->generation);
    return record;
}

}  // namespace kavf
