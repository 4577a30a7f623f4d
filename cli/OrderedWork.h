// Work on the files of a batch on several threads, with the reports in the
// order of the files.
#pragma once

#include <cstddef>
#include <functional>

// Calls `work(i)` for every i from 0 to count - 1 on up to `threads` threads,
// and `report(i)` on the calling thread in the order of i, each as soon as
// its work is done. At most a few items per thread are worked ahead of the
// reports, so that what a finished item holds until it is reported stays
// bounded. With one thread, work and report alternate on the calling thread.
void WorkInOrder(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& report);

// The threads for -j `requested`: one per core for 0, at most `most`.
unsigned JobCount(unsigned requested, unsigned most);
