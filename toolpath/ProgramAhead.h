// CProgramAhead: one program read and parsed on a thread of its own, a few
// batches of lines ahead of the reader that takes its lines in order. The
// proof of a written mirror reads the source this way beside the output.
#pragma once

#include "ParsedLine.h"

#include <condition_variable>
#include <string>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

class CProgramAhead {
public:
    CProgramAhead() = default;
    ~CProgramAhead();
    CProgramAhead(const CProgramAhead&) = delete;
    CProgramAhead& operator=(const CProgramAhead&) = delete;

    // Starts reading `path`: its format first, then its lines. False, with
    // nothing started, when no thread (or no memory for the batches) is
    // to be had.
    bool Start(const char* path);

    // Waits for the format scan; false when the file cannot be opened or
    // read that far.
    bool Format(bool& fixedWidth);

    // The next line; false at the end of the file or on a failure. The
    // line stays valid until the next call.
    bool Next(const ParsedLine*& line);

    // After Next returned false: true when reading failed.
    bool Failed();

private:
    static constexpr std::size_t kBatches = 8;
    static constexpr std::size_t kBatchLines = 256;

    struct Batch {
        std::vector<ParsedLine> lines;
        std::size_t count = 0;
    };

    void Run(const std::string& path);
    // The producer's side: waits for a free batch; false when told to stop.
    bool WaitForRoom();
    void Publish(bool last, bool failed);

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Batch> m_batches;
    std::size_t m_nProduced = 0;  // batches filled, counted from the start
    std::size_t m_nConsumed = 0;  // batches given back
    bool m_bFormatDone = false;
    bool m_bFormatRead = false;
    bool m_bFixedWidth = false;
    bool m_bDone = false;         // the last batch is published
    bool m_bFailed = false;
    bool m_bStop = false;
    // The consumer's place: the batch it reads and the line in it.
    bool m_bHolding = false;
    std::size_t m_nLine = 0;
};
