#include "SafeOutput.h"

#include <algorithm>
#include <cstring>

namespace {

// The first buffer of a file; the writer thread's are larger.
constexpr std::size_t kFirstBufferSize = 1 << 16;
constexpr unsigned kNameAttempts = 64;

}  // namespace

bool SafeOutput::Open(const char* destination, const SafeOutputOptions& options)
{
    Discard();
    m_options = options;
    m_failure = MirrorFailure();
    m_bFailed = false;
    m_bWritten = false;
    m_nUsed = 0;

    // 1. An existing destination must be a file we may replace.
    if (!m_place.Prepare(destination, m_options.bReplace, m_failure)) {
        m_place.Close();
        return false;
    }
    // 2. A new temporary file in its folder, so the final move stays on one
    //    file system. The observer learns of each name before the file is
    //    made: an interruption at any moment finds it.
    for (unsigned attempt = 0;; ++attempt) {
        m_place.NameTemp(attempt);
        m_announced = m_place.Temp();
        if (m_options.pObserver)
            m_options.pObserver->OnTempFileCreated(m_announced);
        bool taken = false;
        if (m_place.CreateTemp(m_file, m_failure, taken))
            break;
        if (m_options.pObserver)
            m_options.pObserver->OnTempFileGone(m_announced);
        if (!taken || attempt + 1 == kNameAttempts) {
            m_place.Close();
            return false;
        }
    }
    m_bOpen = true;
    if (!m_buffer)
        m_buffer.reset(new char[kFirstBufferSize]);  // not filled: only the bytes written go out
    UseFirstBuffer();
    return true;
}

void SafeOutput::UseFirstBuffer()
{
    m_pBuffer = m_buffer.get();
    m_nCapacity = kFirstBufferSize;
}

void SafeOutput::UseWriterBuffer()
{
    m_pBuffer = m_writer.Take();
    m_nCapacity = CBackgroundWriter::kBufferSize;
}

bool SafeOutput::Fail(const MirrorFailure& failure)
{
    if (!m_bFailed)
        m_failure = failure;
    m_bFailed = true;
    return false;
}

bool SafeOutput::Flush(bool last)
{
    if (m_nUsed > 0 && !m_bFailed) {
        m_bWritten = true;
        MirrorFailure failure;
        if (m_writer.Running()) {
            // 1. The writer thread takes the full buffer; a failure of an
            //    earlier one shows here.
            m_writer.Hand(m_pBuffer, m_nUsed);
            UseWriterBuffer();
            if (m_writer.Failed() && !m_writer.Drain(failure))
                Fail(failure);
        } else if (!m_file.Write(m_pBuffer, m_nUsed, failure)) {
            Fail(failure);
        } else if (!last && m_writer.Start(m_file)) {
            // 2. A file of more than one buffer: the rest goes by the
            //    writer thread (without one, on here).
            UseWriterBuffer();
        }
    }
    m_nUsed = 0;
    return !m_bFailed;
}

bool SafeOutput::StopWriter()
{
    MirrorFailure failure;
    const bool written = !m_writer.Running() || m_writer.Drain(failure);
    m_writer.Stop();
    UseFirstBuffer();
    return written || Fail(failure);
}

bool SafeOutput::Write(const char* data, std::size_t size)
{
    if (!m_bOpen || m_bFailed)
        return false;
    // Through the buffers, so that every byte keeps its place in the order.
    while (size > 0) {
        if (m_nUsed == m_nCapacity && !Flush())
            return false;
        const std::size_t n = std::min(size, m_nCapacity - m_nUsed);
        std::memcpy(m_pBuffer + m_nUsed, data, n);
        m_nUsed += n;
        data += n;
        size -= n;
    }
    return true;
}

char* SafeOutput::Space(std::size_t size)
{
    if (!m_bOpen || m_bFailed || size > kMaxSpace)
        return nullptr;
    if (m_nUsed + size > m_nCapacity && !Flush())
        return nullptr;
    return m_pBuffer + m_nUsed;
}

bool SafeOutput::Restart()
{
    if (!m_bOpen || m_bFailed)
        return false;
    m_nUsed = 0;
    if (!StopWriter())
        return false;
    if (!m_bWritten)
        return true;  // nothing reached the file yet
    m_bWritten = false;
    MirrorFailure failure;
    return m_file.Empty(failure) || Fail(failure);
}

bool SafeOutput::Commit()
{
    if (!m_bOpen)
        return false;
    MirrorFailure failure;
    if (Flush(true) && StopWriter()) {
        // Private while written; its final mode only now, when it is whole.
        m_place.SetFinalMode(m_file);
        if ((!m_options.bSync || m_file.Sync(failure)) && m_file.Close(failure) &&
            m_place.MoveTempOver(m_options.bReplace, m_options.bSync, failure)) {
            Release();
            return true;
        }
    }
    Fail(failure);
    Discard();
    return false;
}

void SafeOutput::Discard()
{
    m_writer.Stop();
    UseFirstBuffer();
    m_file.Close();
    m_place.RemoveTemp();
    Release();
    m_nUsed = 0;
}

void SafeOutput::Release()
{
    if (m_bOpen && m_options.pObserver)
        m_options.pObserver->OnTempFileGone(m_announced);
    m_bOpen = false;
    m_place.Close();
}
