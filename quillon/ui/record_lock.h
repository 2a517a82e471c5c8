// Scope guard for the application record: the record is a movable memory
// block that is locked for the length of one message and never kept locked.
#ifndef QUILLON_RECORD_LOCK_H
#define QUILLON_RECORD_LOCK_H

#include <windows.h>

#include "store/app_record.h"

struct RecordLock {
    HGLOBAL handle;
    AppRecord* record;

    explicit RecordLock(HGLOBAL block)
        : handle(block), record(block ? static_cast<AppRecord*>(GlobalLock(block)) : nullptr) {}
    ~RecordLock() {
        if (record != nullptr) GlobalUnlock(handle);
    }
    RecordLock(const RecordLock&) = delete;
    RecordLock& operator=(const RecordLock&) = delete;

    explicit operator bool() const { return record != nullptr; }
    AppRecord* operator->() const { return record; }
};

// The main window keeps the record's handle in its first extra bytes.
constexpr int kAppRecordSlot = 0;

inline HGLOBAL AppRecordHandleOf(HWND mainWindow) {
    return reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(mainWindow, kAppRecordSlot));
}

#endif
