#include "OrderedRuns.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

void RunInOrder(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& report)
{
    if (threads <= 1 || count <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            work(i);
            report(i);
        }
        return;
    }

    const std::size_t window = std::size_t(4) * threads;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<unsigned char> done(count, 0);
    std::size_t next = 0;      // the next item to work on
    std::size_t reported = 0;  // items reported so far

    auto worker = [&] {
        for (;;) {
            std::size_t i = 0;
            {
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock, [&] { return next >= count || next < reported + window; });
                if (next >= count)
                    return;
                i = next++;
            }
            work(i);
            {
                std::lock_guard<std::mutex> lock(mutex);
                done[i] = 1;
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> pool;
    const std::size_t started = threads < count ? threads : count;
    for (std::size_t t = 0; t < started; ++t)
        pool.emplace_back(worker);

    for (std::size_t i = 0; i < count; ++i) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return done[i] != 0; });
        }
        report(i);
        {
            std::lock_guard<std::mutex> lock(mutex);
            reported = i + 1;
        }
        changed.notify_all();
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
