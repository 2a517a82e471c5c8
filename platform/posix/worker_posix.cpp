#include <pthread.h>

#include <new>

#include "platform.h"

struct PlatWorkerRecord {
    pthread_t thread;
    pthread_mutex_t lock;
    pthread_cond_t changed;
    void (*job)(void*);
    void* argument;
    bool busy;  // a job handed and not yet returned
    bool stopping;
};

namespace {

void* WorkerLoop(void* raw) {
    PlatWorkerRecord* worker = static_cast<PlatWorkerRecord*>(raw);
    pthread_mutex_lock(&worker->lock);
    for (;;) {
        while (!worker->busy && !worker->stopping)
            pthread_cond_wait(&worker->changed, &worker->lock);
        if (!worker->busy) break;
        pthread_mutex_unlock(&worker->lock);
        worker->job(worker->argument);
        pthread_mutex_lock(&worker->lock);
        worker->busy = false;
        pthread_cond_broadcast(&worker->changed);
    }
    pthread_mutex_unlock(&worker->lock);
    return nullptr;
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
    worker->busy = true;
    pthread_cond_broadcast(&worker->changed);
    pthread_mutex_unlock(&worker->lock);
}

extern "C" void PlatWorkerWait(PlatWorker worker) {
    if (worker == nullptr) return;
    pthread_mutex_lock(&worker->lock);
    while (worker->busy) pthread_cond_wait(&worker->changed, &worker->lock);
    pthread_mutex_unlock(&worker->lock);
}

extern "C" void PlatWorkerStop(PlatWorker worker) {
    if (worker == nullptr) return;
    PlatWorkerWait(worker);
    pthread_mutex_lock(&worker->lock);
    worker->stopping = true;
    pthread_cond_broadcast(&worker->changed);
    pthread_mutex_unlock(&worker->lock);
    pthread_join(worker->thread, nullptr);
    pthread_cond_destroy(&worker->changed);
    pthread_mutex_destroy(&worker->lock);
    delete worker;
}
