#include "OrderedWork.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

void WorkInOrder(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& report)
{
    if (threads <= 1 || count <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            work(i);
            report(i);
        }
        return;
    }

    // Items are taken and marked done without a lock; the lock is only for
    // sleeping: the reporter waiting for its next item, a worker waiting for
    // the window to move. Small files take a few dozen microseconds each, so
    // a wake-up per item would cost more than the work.
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    const std::size_t window = std::size_t(4) * threads;
    const auto done = std::make_unique<std::atomic<bool>[]>(count);
    std::atomic<std::size_t> next{0};         // the next item to take
    std::atomic<std::size_t> reported{0};     // items reported so far
    std::atomic<std::size_t> awaited{kNone};  // the item the reporter sleeps for
    std::atomic<unsigned> held{0};            // workers asleep until the window moves
    std::mutex mutex;
    std::condition_variable itemDone, windowMoved;

    auto worker = [&] {
        for (;;) {
            const std::size_t i = next.fetch_add(1);
            if (i >= count)
                return;
            if (i >= reported.load() + window) {
                std::unique_lock<std::mutex> lock(mutex);
                ++held;
                windowMoved.wait(lock, [&] { return i < reported.load() + window; });
                --held;
            }
            work(i);
            done[i].store(true);
            if (awaited.load() == i) {
                std::lock_guard<std::mutex> lock(mutex);
                itemDone.notify_one();
            }
        }
    };
    std::vector<std::thread> pool;
    const std::size_t started = threads < count ? threads : count;
    for (std::size_t t = 0; t < started; ++t)
        pool.emplace_back(worker);

    for (std::size_t i = 0; i < count; ++i) {
        if (!done[i].load()) {
            std::unique_lock<std::mutex> lock(mutex);
            awaited.store(i);
            itemDone.wait(lock, [&] { return done[i].load(); });
            awaited.store(kNone);
        }
        report(i);
        reported.store(i + 1);
        if (held.load() > 0) {
            std::lock_guard<std::mutex> lock(mutex);
            windowMoved.notify_all();
        }
    }
    for (std::thread& thread : pool)
        thread.join();
}

unsigned JobCount(unsigned requested, unsigned most)
{
    unsigned jobs = requested != 0 ? requested : std::thread::hardware_concurrency();
    if (jobs == 0)
        jobs = 1;  // the number of cores is not known
    return jobs < most ? jobs : most;
}
