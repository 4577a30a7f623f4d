#include "BackgroundWriter.h"

#include <exception>

bool CBackgroundWriter::Start(NativeFile& file)
{
    Stop();
    m_pFile = &file;
    m_bFailed = false;
    m_failure = MirrorFailure();
    try {
        for (Slot& slot : m_slots)
            if (!slot.bytes)
                slot.bytes = std::make_unique<char[]>(kBufferSize);
        m_thread = std::thread([this] { Work(); });
    } catch (const std::exception&) {
        m_pFile = nullptr;
        return false;  // no memory or no thread: the caller writes itself
    }
    return true;
}

char* CBackgroundWriter::Take()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_nQueued < kBuffers; });
    m_nTaken = (m_nFirst + m_nQueued) % kBuffers;
    return m_slots[m_nTaken].bytes.get();
}

void CBackgroundWriter::Hand(char* buffer, std::size_t size)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // Only the slot Take gave out is next in the queue.
        if (m_nTaken < 0 || m_slots[m_nTaken].bytes.get() != buffer)
            return;
        m_slots[m_nTaken].size = size;
        m_nTaken = -1;
        ++m_nQueued;
    }
    m_changed.notify_all();
}

bool CBackgroundWriter::Drain(MirrorFailure& failure)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_nQueued == 0; });
    if (m_bFailed)
        failure = m_failure;
    return !m_bFailed;
}

bool CBackgroundWriter::Failed()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bFailed;
}

void CBackgroundWriter::Stop()
{
    if (m_thread.joinable()) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bStop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    m_bStop = false;
    m_nFirst = m_nQueued = 0;
    m_nTaken = -1;
    m_pFile = nullptr;
}

void CBackgroundWriter::Work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_bStop || m_nQueued > 0; });
        if (m_bStop)
            return;
        // 1. The oldest buffer is written with the lock let go; the filler
        //    may take and fill the others meanwhile.
        Slot& slot = m_slots[m_nFirst];
        const bool skip = m_bFailed;
        lock.unlock();
        MirrorFailure failure;
        const bool written = skip || m_pFile->Write(slot.bytes.get(), slot.size, failure);
        lock.lock();
        // 2. The first failure is kept; later buffers are dropped unwritten.
        if (!written && !m_bFailed) {
            m_bFailed = true;
            m_failure = failure;
        }
        m_nFirst = (m_nFirst + 1) % kBuffers;
        --m_nQueued;
        m_changed.notify_all();
    }
}
