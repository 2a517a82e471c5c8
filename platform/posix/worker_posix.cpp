#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <new>

#include "platform.h"

namespace {

enum WorkerState { kIdle, kHanded, kRunning, kStopping };

// About a tenth of a millisecond: a caller that hands jobs in quick
// succession finds the worker awake, and a wake-up costs more than that.
constexpr int kSpins = 4000;

inline void Pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

}  // namespace

struct PlatWorkerRecord {
    pthread_t thread;
    pthread_mutex_t lock;
    pthread_cond_t changed;
    void (*job)(void*);  // job and argument: under lock, so a pair is never torn
    void* argument;
    std::atomic<int> state;
    bool workerAsleep;  // both under lock
    bool callerAsleep;
};

namespace {

bool SpinUntilState(const PlatWorkerRecord* worker, bool idle) {
    for (int spin = 0; spin < kSpins; ++spin) {
        if ((worker->state.load(std::memory_order_acquire) == kIdle) == idle) return true;
        Pause();
    }
    return false;
}

// Sleeps until the state is (or is not) idle; the other side wakes the
// sleeper only when it sees it asleep, both under the lock.
void SleepUntilState(PlatWorkerRecord* worker, bool idle, bool* asleep) {
    pthread_mutex_lock(&worker->lock);
    *asleep = true;
    while ((worker->state.load(std::memory_order_acquire) == kIdle) != idle)
        pthread_cond_wait(&worker->changed, &worker->lock);
    *asleep = false;
    pthread_mutex_unlock(&worker->lock);
}

void WakeIfAsleep(PlatWorkerRecord* worker, const bool* asleep) {
    pthread_mutex_lock(&worker->lock);
    if (*asleep) pthread_cond_broadcast(&worker->changed);
    pthread_mutex_unlock(&worker->lock);
}

void* WorkerLoop(void* raw) {
    PlatWorkerRecord* worker = static_cast<PlatWorkerRecord*>(raw);
    for (;;) {
        if (!SpinUntilState(worker, false)) SleepUntilState(worker, false, &worker->workerAsleep);
        pthread_mutex_lock(&worker->lock);
        int handed = kHanded;
        const bool taken =
            worker->state.compare_exchange_strong(handed, kRunning, std::memory_order_acq_rel);
        void (*const job)(void*) = worker->job;
        void* const argument = worker->argument;
        pthread_mutex_unlock(&worker->lock);
        if (!taken) return nullptr;  // stopping
        job(argument);
        // A job handed meanwhile left kHanded: it runs next.
        int running = kRunning;
        if (worker->state.compare_exchange_strong(running, kIdle, std::memory_order_acq_rel))
            WakeIfAsleep(worker, &worker->callerAsleep);
    }
}

}  // namespace

extern "C" PlatWorker PlatWorkerStart(void) {
    PlatWorkerRecord* worker = new (std::nothrow) PlatWorkerRecord{};
    if (worker == nullptr) return nullptr;
    pthread_mutex_init(&worker->lock, nullptr);
    pthread_cond_init(&worker->changed, nullptr);
    if (pthread_create(&worker->thread, nullptr, WorkerLoop, worker) != 0) {
        pthread_cond_destroy(&worker->changed);
        pthread_mutex_destroy(&worker->lock);
        delete worker;
        return nullptr;
    }
    return worker;
}

extern "C" void PlatWorkerHand(PlatWorker worker, void (*job)(void*), void* argument) {
    if (worker == nullptr || job == nullptr) return;
    pthread_mutex_lock(&worker->lock);
    worker->job = job;
    worker->argument = argument;
    worker->state.store(kHanded, std::memory_order_release);
    if (worker->workerAsleep) pthread_cond_broadcast(&worker->changed);
    pthread_mutex_unlock(&worker->lock);
}

extern "C" void PlatWorkerWait(PlatWorker worker) {
    if (worker == nullptr) return;
    if (!SpinUntilState(worker, true)) SleepUntilState(worker, true, &worker->callerAsleep);
}

extern "C" void PlatWorkerStop(PlatWorker worker) {
    if (worker == nullptr) return;
    PlatWorkerWait(worker);
    worker->state.store(kStopping, std::memory_order_release);
    WakeIfAsleep(worker, &worker->workerAsleep);
    pthread_join(worker->thread, nullptr);
    pthread_cond_destroy(&worker->changed);
    pthread_mutex_destroy(&worker->lock);
    delete worker;
}

extern "C" void PlatYield(void) { sched_yield(); }
