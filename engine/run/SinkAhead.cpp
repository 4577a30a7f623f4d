#include "SinkAhead.h"

#include <system_error>

bool CSinkAhead::Start()
{
    if (m_thread.joinable())
        return true;
    m_bStop = false;
    try {
        m_thread = std::thread([this] { Work(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CSinkAhead::BeginLines(int formatCount)
{
    // Before the first line of a run, whatever came before it done.
    Drain();
    m_sink.BeginLines(formatCount);
}

bool CSinkAhead::Line(std::string_view source, std::string_view mirrored)
{
    if (!m_thread.joinable())
        return m_sink.Line(source, mirrored);
    Batch& batch = m_batches[m_nFilling];
    const std::size_t at = batch.bytes.size();
    batch.bytes.append(source).append(mirrored);
    batch.lines.push_back({at, source.size(), at + source.size(), mirrored.size()});
    if (batch.bytes.size() >= kBatchBytes)
        HandOver();
    return !m_bRefused.load(std::memory_order_relaxed);
}

bool CSinkAhead::Refuses() const
{
    // The run asks once, after its last line: the answer must cover them all.
    const_cast<CSinkAhead*>(this)->Drain();
    return m_bRefused.load() || m_sink.Refuses();
}

bool CSinkAhead::Finish()
{
    if (m_thread.joinable()) {
        Drain();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bStop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    return !m_bRefused.load();
}

void CSinkAhead::HandOver()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    ++m_nQueued;
    m_changed.notify_all();
    // The next batch to fill is free once the thread has given it out.
    m_changed.wait(lock, [this] { return m_nQueued < kBatches; });
    m_nFilling = (m_nFirst + m_nQueued) % kBatches;
    m_batches[m_nFilling].bytes.clear();
    m_batches[m_nFilling].lines.clear();
}

void CSinkAhead::Drain()
{
    if (!m_thread.joinable())
        return;
    if (!m_batches[m_nFilling].lines.empty())
        HandOver();
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_nQueued == 0; });
}

void CSinkAhead::Work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_bStop || m_nQueued > 0; });
        if (m_nQueued == 0)
            return;  // stopped, everything given out
        // 1. The oldest batch goes to the sink with the lock let go; once
        //    the sink refuses a line, the rest are dropped.
        const Batch& batch = m_batches[m_nFirst];
        lock.unlock();
        for (const Batch::Span& line : batch.lines) {
            if (m_bRefused.load(std::memory_order_relaxed))
                break;
            const std::string_view source(batch.bytes.data() + line.source, line.sourceSize);
            const std::string_view mirrored(batch.bytes.data() + line.mirrored, line.mirroredSize);
            if (!m_sink.Line(source, mirrored))
                m_bRefused.store(true);
        }
        lock.lock();
        m_nFirst = (m_nFirst + 1) % kBatches;
        --m_nQueued;
        m_changed.notify_all();
    }
}
