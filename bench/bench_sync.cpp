// The synchronisation objects and forums against what a user would pick
// instead: std::mutex and a process-shared robust pthread mutex for claims,
// std::condition_variable and eventfd for event ping-pong and a wait on 64
// events, std::shared_mutex for the reader side, and a loop over a vector of
// std::function for a forum broadcast.
#include <benchmark/benchmark.h>

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <thread>
#include <vector>

#include "Foundation/Basis.h"

namespace {

// ---- uncontended claim and release ----------------------------------------

void Claim_CT_IPC_Mutex_Unnamed(benchmark::State& state) {
    CT_IPC_Mutex mutex;
    for (auto _ : state) {
        mutex.v_Claim();
        mutex.v_Release();
    }
}

void Claim_std_mutex(benchmark::State& state) {
    std::mutex mutex;
    for (auto _ : state) {
        mutex.lock();
        mutex.unlock();
    }
}

void Claim_CT_IPC_Mutex_Named(benchmark::State& state) {
    std::string name = "basis-bench-mutex-" + std::to_string(::getpid());
    CT_IPC_Mutex mutex(name.c_str());
    for (auto _ : state) {
        mutex.v_Claim();
        mutex.v_Release();
    }
}

void Claim_pthread_robust_shared(benchmark::State& state) {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
    pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
    pthread_mutex_t mutex;
    pthread_mutex_init(&mutex, &attributes);
    for (auto _ : state) {
        pthread_mutex_lock(&mutex);
        pthread_mutex_unlock(&mutex);
    }
    pthread_mutex_destroy(&mutex);
}

// ---- ping-pong between two threads -----------------------------------------

void PingPong_CT_IPC_Event(benchmark::State& state) {
    CT_IPC_Event ping, pong;
    std::atomic<bool> stop{false};
    std::thread partner([&] {
        for (;;) {
            ping.eo_Wait(CT_IPC_SyncObject::e_Infinite, 0);
            if (stop.load()) return;
            pong.v_SetState(1);
        }
    });
    for (auto _ : state) {
        ping.v_SetState(1);
        pong.eo_Wait(CT_IPC_SyncObject::e_Infinite, 0);
    }
    stop = true;
    ping.v_SetState(1);
    partner.join();
}

void PingPong_condition_variable(benchmark::State& state) {
    std::mutex mutex;
    std::condition_variable ping, pong;
    bool pinged = false, ponged = false, stop = false;
    std::thread partner([&] {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            ping.wait(lock, [&] { return pinged; });
            pinged = false;
            if (stop) return;
            ponged = true;
            pong.notify_one();
        }
    });
    for (auto _ : state) {
        std::unique_lock<std::mutex> lock(mutex);
        pinged = true;
        ping.notify_one();
        pong.wait(lock, [&] { return ponged; });
        ponged = false;
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        stop = pinged = true;
    }
    ping.notify_one();
    partner.join();
}

void PingPong_eventfd(benchmark::State& state) {
    int ping = ::eventfd(0, 0), pong = ::eventfd(0, 0);
    std::atomic<bool> stop{false};
    std::thread partner([&] {
        std::uint64_t value;
        for (;;) {
            if (::read(ping, &value, sizeof value) != sizeof value || stop.load()) return;
            value = 1;
            if (::write(pong, &value, sizeof value) != sizeof value) return;
        }
    });
    std::uint64_t value = 1;
    for (auto _ : state) {
        value = 1;
        benchmark::DoNotOptimize(::write(ping, &value, sizeof value));
        benchmark::DoNotOptimize(::read(pong, &value, sizeof value));
    }
    stop = true;
    value = 1;
    benchmark::DoNotOptimize(::write(ping, &value, sizeof value));
    partner.join();
    ::close(ping);
    ::close(pong);
}

// ---- wait-any over 64 events, one of them signalled ------------------------

constexpr int kEvents = 64;

void WaitAny64_CT_IPC_SyncObjectList(benchmark::State& state) {
    std::vector<CT_IPC_Event*> events;
    CT_IPC_SyncObjectList list;
    for (int i = 0; i < kEvents; ++i) {
        events.push_back(new CT_IPC_Event());
        list.v_Add(events.back());
    }
    int which = 0;
    for (auto _ : state) {
        events[which]->v_SetState(1);
        benchmark::DoNotOptimize(CT_IPC_SyncObject::seo_Wait(&list, 0, CT_IPC_SyncObject::e_Infinite, 0));
        which = (which + 37) % kEvents;
    }
    for (CT_IPC_Event* event : events) delete event;
}

void WaitAny64_condition_variable(benchmark::State& state) {
    std::mutex mutex;
    std::condition_variable changed;
    bool flags[kEvents] = {};
    int which = 0;
    for (auto _ : state) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            flags[which] = true;
        }
        changed.notify_all();
        std::unique_lock<std::mutex> lock(mutex);
        int found = -1;
        changed.wait(lock, [&] {
            for (int i = 0; i < kEvents; ++i)
                if (flags[i]) {
                    found = i;
                    return true;
                }
            return false;
        });
        flags[found] = false;
        benchmark::DoNotOptimize(found);
        which = (which + 37) % kEvents;
    }
}

void WaitAny64_eventfd_poll(benchmark::State& state) {
    pollfd fds[kEvents];
    for (int i = 0; i < kEvents; ++i) fds[i] = pollfd{::eventfd(0, EFD_NONBLOCK), POLLIN, 0};
    int which = 0;
    std::uint64_t value = 1;
    for (auto _ : state) {
        value = 1;
        benchmark::DoNotOptimize(::write(fds[which].fd, &value, sizeof value));
        ::poll(fds, kEvents, -1);
        for (int i = 0; i < kEvents; ++i)
            if (fds[i].revents & POLLIN) {
                benchmark::DoNotOptimize(::read(fds[i].fd, &value, sizeof value));
                break;
            }
        which = (which + 37) % kEvents;
    }
    for (pollfd& fd : fds) ::close(fd.fd);
}

// ---- reader side of the reader-writer lock, two threads ---------------------

CT_IPC_ReadWriteLock* pco_ReadLock = nullptr;
std::shared_mutex* pco_SharedMutex = nullptr;

void ReadSide_CT_IPC_ReadWriteLock(benchmark::State& state) {
    if (state.thread_index() == 0) pco_ReadLock = new CT_IPC_ReadWriteLock;
    // The benchmark library starts the threads' loops together.
    for (auto _ : state) {
        pco_ReadLock->v_AddReader();
        pco_ReadLock->v_ReleaseReader();
    }
    if (state.thread_index() == 0) {
        delete pco_ReadLock;
        pco_ReadLock = nullptr;
    }
}

void ReadSide_std_shared_mutex(benchmark::State& state) {
    if (state.thread_index() == 0) pco_SharedMutex = new std::shared_mutex;
    for (auto _ : state) {
        pco_SharedMutex->lock_shared();
        pco_SharedMutex->unlock_shared();
    }
    if (state.thread_index() == 0) {
        delete pco_SharedMutex;
        pco_SharedMutex = nullptr;
    }
}

// ---- a broadcast to 1,000 listeners ----------------------------------------

constexpr int kListeners = 1000;

class SumListener : public CT_Forum {
public:
    void vv_Listen(CT_Forum*, unsigned message, va_list arguments) override {
        n_Sum += message + static_cast<unsigned>(va_arg(arguments, int));
    }
    unsigned n_Sum = 0;
};

void Broadcast1000_CT_Forum(benchmark::State& state) {
    CT_Forum forum;
    std::vector<SumListener> listeners(kListeners);
    for (SumListener& listener : listeners) forum.vv_AddListener(&listener);
    for (auto _ : state) forum.vv_Speak(nullptr, 3, 4);
    benchmark::DoNotOptimize(listeners[kListeners - 1].n_Sum);
    state.SetItemsProcessed(state.iterations() * kListeners);
}

void Broadcast1000_CT_ThreadSafeForum(benchmark::State& state) {
    CT_ThreadSafeForum forum;
    std::vector<SumListener> listeners(kListeners);
    for (SumListener& listener : listeners) forum.vv_AddListener(&listener);
    for (auto _ : state) forum.vv_Speak(nullptr, 3, 4);
    benchmark::DoNotOptimize(listeners[kListeners - 1].n_Sum);
    state.SetItemsProcessed(state.iterations() * kListeners);
}

void Broadcast1000_vector_of_function(benchmark::State& state) {
    std::vector<unsigned> sums(kListeners);
    std::vector<std::function<void(unsigned, int)>> listeners;
    for (int i = 0; i < kListeners; ++i)
        listeners.emplace_back([&sums, i](unsigned message, int value) { sums[i] += message + static_cast<unsigned>(value); });
    for (auto _ : state)
        for (auto& listener : listeners) listener(3, 4);
    benchmark::DoNotOptimize(sums[kListeners - 1]);
    state.SetItemsProcessed(state.iterations() * kListeners);
}

}  // namespace

BENCHMARK(Claim_CT_IPC_Mutex_Unnamed);
BENCHMARK(Claim_std_mutex);
BENCHMARK(Claim_CT_IPC_Mutex_Named);
BENCHMARK(Claim_pthread_robust_shared);
BENCHMARK(PingPong_CT_IPC_Event)->UseRealTime();
BENCHMARK(PingPong_condition_variable)->UseRealTime();
BENCHMARK(PingPong_eventfd)->UseRealTime();
BENCHMARK(WaitAny64_CT_IPC_SyncObjectList);
BENCHMARK(WaitAny64_condition_variable);
BENCHMARK(WaitAny64_eventfd_poll);
BENCHMARK(ReadSide_CT_IPC_ReadWriteLock)->Threads(2)->UseRealTime();
BENCHMARK(ReadSide_std_shared_mutex)->Threads(2)->UseRealTime();
BENCHMARK(Broadcast1000_CT_Forum);
BENCHMARK(Broadcast1000_CT_ThreadSafeForum);
BENCHMARK(Broadcast1000_vector_of_function);
