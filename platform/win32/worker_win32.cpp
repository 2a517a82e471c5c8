#include <new>
#include <windows.h>

#include "platform.h"

struct PlatWorkerRecord {
    HANDLE thread;
    HANDLE handed;          // auto-reset: a job (or the stop) is there
    HANDLE returned;        // manual-reset: no job is running
    CRITICAL_SECTION pair;  // job and argument are handed and taken together
    void (*job)(void*);
    void* argument;
    volatile LONG stopping;
};

namespace {

DWORD WINAPI WorkerLoop(LPVOID raw) {
    PlatWorkerRecord* worker = static_cast<PlatWorkerRecord*>(raw);
    for (;;) {
        WaitForSingleObject(worker->handed, INFINITE);
        if (InterlockedCompareExchange(&worker->stopping, 0, 0) != 0) return 0;
        EnterCriticalSection(&worker->pair);
        void (*const job)(void*) = worker->job;
        void* const argument = worker->argument;
        LeaveCriticalSection(&worker->pair);
        job(argument);
        SetEvent(worker->returned);
    }
}

void Release(PlatWorkerRecord* worker) {
    if (worker->handed != nullptr) CloseHandle(worker->handed);
    if (worker->returned != nullptr) CloseHandle(worker->returned);
    DeleteCriticalSection(&worker->pair);
    delete worker;
}

}  // namespace

extern "C" PlatWorker PlatWorkerStart(void) {
    PlatWorkerRecord* worker = new (std::nothrow) PlatWorkerRecord{};
    if (worker == nullptr) return nullptr;
    InitializeCriticalSection(&worker->pair);
    worker->handed = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    worker->returned = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    if (worker->handed != nullptr && worker->returned != nullptr)
        worker->thread = CreateThread(nullptr, 0, WorkerLoop, worker, 0, nullptr);
    if (worker->thread == nullptr) {
        Release(worker);
        return nullptr;
    }
    return worker;
}

extern "C" void PlatWorkerHand(PlatWorker worker, void (*job)(void*), void* argument) {
    if (worker == nullptr || job == nullptr) return;
    EnterCriticalSection(&worker->pair);
    worker->job = job;
    worker->argument = argument;
    LeaveCriticalSection(&worker->pair);
    ResetEvent(worker->returned);
    SetEvent(worker->handed);
}

extern "C" void PlatWorkerWait(PlatWorker worker) {
    if (worker == nullptr) return;
    WaitForSingleObject(worker->returned, INFINITE);
}

extern "C" void PlatWorkerStop(PlatWorker worker) {
    if (worker == nullptr) return;
    PlatWorkerWait(worker);
    InterlockedExchange(&worker->stopping, 1);
    SetEvent(worker->handed);
    WaitForSingleObject(worker->thread, INFINITE);
    CloseHandle(worker->thread);
    Release(worker);
}

extern "C" void PlatYield(void) { SwitchToThread(); }
