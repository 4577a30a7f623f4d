// A sink on a second thread: the lines a run hands over are copied into
// batches and given to another sink, in their order, by a thread of their
// own, so that the run and the sink's work (a proof, a picture) go on side
// by side. Without a thread the lines go to the sink at once.
#pragma once

#include "NcMirror.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class CSinkAhead final : public CMirrorSink {
public:
    explicit CSinkAhead(CMirrorSink& sink) : m_sink(sink) {}
    ~CSinkAhead() override { Finish(); }
    CSinkAhead(const CSinkAhead&) = delete;
    CSinkAhead& operator=(const CSinkAhead&) = delete;

    // Starts the thread; false when none can be made.
    bool Start();

    void BeginLines(int formatCount) override;
    // Queues the line; false once the sink has refused an earlier one.
    bool Line(std::string_view source, std::string_view mirrored) override;
    // Asked after the last line: waits until the sink has seen them all; a
    // refused line refuses the output too.
    bool Refuses() const override;

    // Waits until the sink has had every line and ends the thread; false
    // when the sink refused one.
    bool Finish();

private:
    static constexpr int kBatches = 4;
    static constexpr std::size_t kBatchBytes = std::size_t(1) << 18;

    // Lines as offsets into one string of their bytes.
    struct Batch {
        std::string bytes;
        struct Span {
            std::size_t source, sourceSize, mirrored, mirroredSize;
        };
        std::vector<Span> lines;
    };

    // Hands the batch being filled to the thread and takes the next one.
    void HandOver();
    // Hands over what is filled and waits until the thread has done it all.
    void Drain();
    void Work();

    CMirrorSink& m_sink;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
    Batch m_batches[kBatches];
    int m_nFilling = 0;   // the batch the run fills
    int m_nFirst = 0;     // the oldest batch handed over
    int m_nQueued = 0;    // batches handed over, the one being given to the sink included
    bool m_bStop = false;
    std::atomic<bool> m_bRefused{false};
};
