// Generation-checked 32-bit handle values for a library's open records.
// A value is (generation << SlotBits) | slot. Slot 0 is never used, so 0 is
// never valid; a slot's generation moves on when it is freed, so a stale or
// forged value stops matching its slot. Only the table is locked; each record
// is used by one thread at a time.
#ifndef QUILLON_HANDLE_TABLE_H
#define QUILLON_HANDLE_TABLE_H

#include <atomic>
#include <cstdint>

template <class Record, uint32_t SlotBits>
struct HandleTable {
    static constexpr uint32_t kSlotCount = 1u << SlotBits;
    static constexpr uint32_t kSlotMask = kSlotCount - 1;
    static constexpr uint32_t kLastGeneration = 0xFFFFFFFFu >> SlotBits;

    struct Slot {
        Record* record;
        uint32_t generation;  // 1..kLastGeneration once used
    };

    Slot slots[kSlotCount] = {};
    uint32_t next = 1;
    std::atomic_flag busy = ATOMIC_FLAG_INIT;
};

struct HandleTableLock {
    explicit HandleTableLock(std::atomic_flag& flag) : flag_(flag) {
        while (flag_.test_and_set(std::memory_order_acquire)) {
        }
    }
    ~HandleTableLock() { flag_.clear(std::memory_order_release); }
    HandleTableLock(const HandleTableLock&) = delete;
    HandleTableLock& operator=(const HandleTableLock&) = delete;
    std::atomic_flag& flag_;
};

template <class Record, uint32_t SlotBits>
typename HandleTable<Record, SlotBits>::Slot* LiveHandleSlot(HandleTable<Record, SlotBits>& table,
                                                             uint32_t value) {
    uint32_t index = value & HandleTable<Record, SlotBits>::kSlotMask;
    if (index == 0) return nullptr;
    auto& slot = table.slots[index];
    if (slot.record == nullptr || slot.generation != value >> SlotBits) return nullptr;
    return &slot;
}

// The new handle value, or 0 when every slot is taken.
template <class Record, uint32_t SlotBits>
uint32_t AddToHandleTable(HandleTable<Record, SlotBits>& table, Record* record) {
    HandleTableLock lock(table.busy);
    constexpr uint32_t count = HandleTable<Record, SlotBits>::kSlotCount;
    // Round robin, so a freed value is not handed out again at once.
    for (uint32_t tried = 1; tried < count; ++tried) {
        uint32_t index = table.next;
        table.next = table.next + 1 < count ? table.next + 1 : 1;
        auto& slot = table.slots[index];
        if (slot.record != nullptr) continue;
        if (slot.generation == 0) slot.generation = 1;
        slot.record = record;
        return (slot.generation << SlotBits) | index;
    }
    return 0;
}

// The record of a live value, or null.
template <class Record, uint32_t SlotBits>
Record* AccessInHandleTable(HandleTable<Record, SlotBits>& table, uint32_t value) {
    HandleTableLock lock(table.busy);
    auto* slot = LiveHandleSlot(table, value);
    return slot == nullptr ? nullptr : slot->record;
}

// The record, no longer reachable through value; null if value is not live.
template <class Record, uint32_t SlotBits>
Record* RemoveFromHandleTable(HandleTable<Record, SlotBits>& table, uint32_t value) {
    HandleTableLock lock(table.busy);
    auto* slot = LiveHandleSlot(table, value);
    if (slot == nullptr) return nullptr;
    Record* record = slot->record;
    slot->record = nullptr;
    slot->generation = slot->generation >= HandleTable<Record, SlotBits>::kLastGeneration
                           ? 1
                           : slot->generation + 1;
    return record;
}

#endif
