// Writes full buffers of an output file on a second thread, so that the
// mirror fills the next buffer while the system copies the last one. The
// buffers go to the file in the order they are handed over; the first
// failed write is kept and every later buffer is dropped.
#pragma once

#include "FileSystem.h"
#include "MirrorFailure.h"

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>

class CBackgroundWriter {
public:
    static constexpr std::size_t kBufferSize = std::size_t(1) << 18;

    CBackgroundWriter() = default;
    CBackgroundWriter(const CBackgroundWriter&) = delete;
    CBackgroundWriter& operator=(const CBackgroundWriter&) = delete;
    ~CBackgroundWriter() { Stop(); }

    // Starts the thread that writes to `file`; false when no thread can be
    // made (the caller then writes itself). The file is the writer's until
    // Stop.
    bool Start(NativeFile& file);
    bool Running() const { return m_thread.joinable(); }

    // A free buffer of kBufferSize bytes, waiting for one when all are
    // queued.
    char* Take();
    // Queues the first `size` bytes of a buffer that Take gave.
    void Hand(char* buffer, std::size_t size);

    // Waits until every queued buffer is written; false (and `failure` set)
    // when a write failed.
    bool Drain(MirrorFailure& failure);
    // True once a write has failed (without waiting).
    bool Failed();

    // Drops what is still queued, waits for the write under way and ends
    // the thread; the file is the caller's again.
    void Stop();

private:
    static constexpr int kBuffers = 4;
    struct Slot {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
    };

    void Work();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
    NativeFile* m_pFile = nullptr;
    Slot m_slots[kBuffers];
    int m_nFirst = 0;     // the oldest queued slot
    int m_nQueued = 0;    // slots queued, the one being written included
    int m_nTaken = -1;    // the slot Take gave out, not yet handed
    bool m_bStop = false;
    bool m_bFailed = false;
    MirrorFailure m_failure;
};
