#include "ScanAhead.h"

#include "LineScan.h"

#include <exception>

bool CScanAhead::Start()
{
    if (Running())
        return true;
    m_bStop = m_bJob = m_bCancel = false;
    try {
        if (!m_batches)
            m_batches = std::make_unique<ScanBatch[]>(kBatches);
        m_thread = std::thread([this] { Work(); });
    } catch (const std::exception&) {
        return false;  // no memory or no thread: the run scans itself
    }
    return true;
}

void CScanAhead::Scan(const BlockRules& rules, bool pointIsValue, const char* begin, const char* end)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_rules = rules;
        m_bPointIsValue = pointIsValue;
        m_pBegin = begin;
        m_pEnd = end;
        m_nFirst = m_nFilled = 0;
        m_bCancel = false;
        m_bJob = true;
    }
    m_changed.notify_all();
}

ScanBatch& CScanAhead::Next()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_nFilled > 0; });
    return m_batches[m_nFirst];
}

void CScanAhead::Release()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_nFirst = (m_nFirst + 1) % kBatches;
        --m_nFilled;
    }
    m_changed.notify_all();
}

void CScanAhead::Cancel()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_bCancel = true;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return !m_bJob; });
    m_nFirst = m_nFilled = 0;
}

void CScanAhead::Stop()
{
    if (!Running())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = m_bCancel = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

ScanBatch* CScanAhead::Free(std::unique_lock<std::mutex>& lock)
{
    m_changed.wait(lock, [this] { return m_bCancel || m_nFilled < kBatches; });
    if (m_bCancel)
        return nullptr;
    ScanBatch* batch = &m_batches[(m_nFirst + m_nFilled) % kBatches];
    batch->count = 0;
    batch->last = false;
    batch->stop = nullptr;
    return batch;
}

template <bool pointIsValue>
void CScanAhead::ScanBuffer()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    ScanBatch* batch = Free(lock);
    lock.unlock();
    // 1. The lines go into the batch, and each full batch to the run; the
    //    lock is held only to hand a batch over and take the next.
    const char* stop = nullptr;
    if (batch) {
        stop = ScanLines<pointIsValue>(m_rules, m_pBegin, m_pEnd, &batch->lines[0].notes,
                                       [&](const char* line, const char* end, LineNotes&) -> LineNotes* {
                                           ScannedLine& scanned = batch->lines[batch->count++];
                                           scanned.line = line;
                                           scanned.end = end;
                                           if (batch->count == ScanBatch::kLines) {
                                               lock.lock();
                                               ++m_nFilled;
                                               m_changed.notify_all();
                                               batch = Free(lock);
                                               lock.unlock();
                                               if (!batch)
                                                   return nullptr;
                                           }
                                           return &batch->lines[batch->count].notes;
                                       });
    }
    // 2. The last batch says where the buffer's whole lines end.
    lock.lock();
    if (batch && stop) {
        batch->last = true;
        batch->stop = stop;
        ++m_nFilled;
    }
    m_bJob = false;
    m_changed.notify_all();
}

void CScanAhead::Work()
{
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return m_bStop || m_bJob; });
            if (m_bStop)
                return;
        }
        if (m_bPointIsValue)
            ScanBuffer<true>();
        else
            ScanBuffer<false>();
    }
}
