#include "ProgramAhead.h"

#include "FormatMarks.h"
#include "LineReader.h"
#include "ToolpathReader.h"

#include <exception>
#include <string_view>

CProgramAhead::~CProgramAhead()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

bool CProgramAhead::Start(const char* path)
{
    if (m_thread.joinable())
        return false;
    try {
        m_batches.resize(kBatches);
        for (Batch& batch : m_batches)
            batch.lines.resize(kBatchLines);
        m_thread = std::thread([this, name = std::string(path)] { Run(name); });
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

void CProgramAhead::Run(const std::string& path)
{
    // The format as the mirror reads it: fixed width when no line says
    // otherwise.
    LineReader reader;
    bool fixedWidth = true;
    bool opened = reader.Open(path.c_str());
    std::string_view line;
    while (opened && fixedWidth && reader.NextLine(line))
        fixedWidth = FreeFormatMarks(line) == 0;
    opened = opened && !reader.Failed() && reader.Rewind();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bFormatDone = true;
        m_bFormatRead = opened;
        m_bFixedWidth = fixedWidth;
        m_bDone = !opened;
    }
    m_changed.notify_all();
    if (!opened)
        return;
    for (;;) {
        if (!WaitForRoom())
            return;
        // The batch is the producer's alone until it is published.
        Batch& batch = m_batches[m_nProduced % kBatches];
        batch.count = 0;
        bool more = true;
        while (batch.count < kBatchLines && (more = reader.NextLine(line)))
            CToolpathReader::Parse(line, batch.lines[batch.count++]);
        if (!more) {
            Publish(true, reader.Failed());
            return;
        }
        Publish(false, false);
    }
}

bool CProgramAhead::WaitForRoom()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_bStop || m_nProduced - m_nConsumed < kBatches; });
    return !m_bStop;
}

void CProgramAhead::Publish(bool last, bool failed)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_nProduced;
        m_bDone = last;
        m_bFailed = failed;
    }
    m_changed.notify_all();
}

bool CProgramAhead::Format(bool& fixedWidth)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_bFormatDone; });
    fixedWidth = m_bFixedWidth;
    return m_bFormatRead;
}

bool CProgramAhead::Next(const ParsedLine*& line)
{
    for (;;) {
        if (m_bHolding) {
            // The batch being read is the consumer's until it is given back.
            const Batch& batch = m_batches[m_nConsumed % kBatches];
            if (m_nLine < batch.count) {
                line = &batch.lines[m_nLine++];
                return true;
            }
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                ++m_nConsumed;
                m_bHolding = false;
            }
            m_changed.notify_all();
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_nProduced > m_nConsumed || m_bDone; });
        if (m_nProduced == m_nConsumed)
            return false;  // done, and every batch read
        m_bHolding = true;
        m_nLine = 0;
    }
}

bool CProgramAhead::Failed()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bFailed || !m_bFormatRead;
}
