// The file run's scan on a second thread: while the run writes the lines
// of a read buffer, the thread scans the lines after them and hands them
// over in batches, each line with its settled notes (internal to the file
// run). The scan depends on the pass's rules only, so its notes are those
// the run would have made itself; the buffer stays the reader's, and the
// run refills it only once the thread has let it go.
#pragma once

#include "PlainLine.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

// A line the scan found, [line, end) with its '\n', and its notes.
struct ScannedLine {
    const char* line;
    const char* end;
    LineNotes notes;
};

// Lines of one buffer in the order of the buffer.
struct ScanBatch {
    static constexpr int kLines = 2048;
    ScannedLine lines[kLines];
    int count = 0;
    bool last = false;           // the buffer's last batch
    const char* stop = nullptr;  // with `last`: the end of the buffer's last whole line
};

class CScanAhead {
public:
    CScanAhead() = default;
    CScanAhead(const CScanAhead&) = delete;
    CScanAhead& operator=(const CScanAhead&) = delete;
    ~CScanAhead() { Stop(); }

    // Starts the thread; false when none can be made (the run scans itself).
    bool Start();
    bool Running() const { return m_thread.joinable(); }

    // Has the thread scan the buffer [begin, end) by `rules` (the points are
    // value bytes unless the format is open).
    void Scan(const BlockRules& rules, bool pointIsValue, const char* begin, const char* end);
    // The next batch of the buffer, waiting for it; valid until Release.
    ScanBatch& Next();
    void Release();
    // Stops the scan of the buffer (the run stops or starts over) and waits
    // until the thread has let the buffer go.
    void Cancel();
    // Ends the thread.
    void Stop();

private:
    static constexpr int kBatches = 4;

    void Work();
    // The scan of one buffer; the batches go out as they fill.
    template <bool pointIsValue>
    void ScanBuffer();
    // A free batch for the scan to fill, waiting for one; null when cancelled.
    ScanBatch* Free(std::unique_lock<std::mutex>& lock);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
    std::unique_ptr<ScanBatch[]> m_batches;
    int m_nFirst = 0;    // the oldest batch handed over
    int m_nFilled = 0;   // batches handed over and not yet released
    bool m_bJob = false;     // a buffer to scan
    bool m_bCancel = false;
    bool m_bStop = false;
    // The buffer being scanned and its rules.
    BlockRules m_rules;
    bool m_bPointIsValue = true;
    const char* m_pBegin = nullptr;
    const char* m_pEnd = nullptr;
};
