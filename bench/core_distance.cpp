// The time a cache line takes to go to the second processor this process may
// run on and back. On a shared host it changes from minute to minute, as the
// host moves the two processors nearer or farther apart, and with it the
// cost of every byte one thread hands to the other.
//
//   core-distance [ROUND_TRIPS]   prints the nanoseconds of one round trip,
//                                 or -1 with fewer than two processors
#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr long kDefaultRoundTrips = 20000;
constexpr int kServe = 1;
constexpr int kReturned = 0;

struct alignas(64) Ball {
    std::atomic<int> side{kReturned};
};

Ball gBall;
long gRoundTrips = kDefaultRoundTrips;

bool Pin(int cpu) {
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(cpu, &one);
    return pthread_setaffinity_np(pthread_self(), sizeof one, &one) == 0;
}

void* Return(void* cpu) {
    if (!Pin(*static_cast<int*>(cpu))) std::exit(2);
    for (long trip = 0; trip < gRoundTrips; ++trip) {
        while (gBall.side.load(std::memory_order_acquire) != kServe) {
        }
        gBall.side.store(kReturned, std::memory_order_release);
    }
    return nullptr;
}

// The first two processors of the affinity mask: false with fewer.
bool FirstTwo(int* first, int* second) {
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return false;
    int found = 0;
    for (int cpu = 0; cpu < CPU_SETSIZE && found < 2; ++cpu)
        if (CPU_ISSET(cpu, &allowed)) *(found++ == 0 ? first : second) = cpu;
    return found == 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) gRoundTrips = std::strtol(argv[1], nullptr, 10);
    int first = 0;
    int second = 0;
    if (gRoundTrips < 2 || !FirstTwo(&first, &second)) return std::puts("-1") < 0;
    if (!Pin(first)) return 2;
    pthread_t returner;
    if (pthread_create(&returner, nullptr, Return, &second) != 0) return 2;
    // The returner's start is not timed: the first serve waits for it.
    gBall.side.store(kServe, std::memory_order_release);
    while (gBall.side.load(std::memory_order_acquire) != kReturned) {
    }
    const long timed = gRoundTrips - 1;
    const auto start = std::chrono::steady_clock::now();
    for (long trip = 0; trip < timed; ++trip) {
        gBall.side.store(kServe, std::memory_order_release);
        while (gBall.side.load(std::memory_order_acquire) != kReturned) {
        }
    }
    const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
    pthread_join(returner, nullptr);
    std::printf("%.0f\n", took.count() / static_cast<double>(timed));
    return 0;
}
