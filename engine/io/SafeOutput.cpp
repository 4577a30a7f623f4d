#include "SafeOutput.h"

#include <cstring>

namespace {

constexpr std::size_t kBufferSize = 1 << 16;
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
        m_buffer = std::make_unique<char[]>(kBufferSize);
    return true;
}

bool SafeOutput::Fail(const MirrorFailure& failure)
{
    if (!m_bFailed)
        m_failure = failure;
    m_bFailed = true;
    return false;
}

bool SafeOutput::Flush()
{
    if (m_nUsed > 0 && !m_bFailed) {
        m_bWritten = true;
        MirrorFailure failure;
        if (!m_file.Write(m_buffer.get(), m_nUsed, failure))
            Fail(failure);
    }
    m_nUsed = 0;
    return !m_bFailed;
}

bool SafeOutput::Write(const char* data, std::size_t size)
{
    if (!m_bOpen || m_bFailed)
        return false;
    if (m_nUsed + size > kBufferSize && !Flush())
        return false;
    if (size >= kBufferSize) {
        m_bWritten = true;
        MirrorFailure failure;
        return m_file.Write(data, size, failure) || Fail(failure);
    }
    std::memcpy(m_buffer.get() + m_nUsed, data, size);
    m_nUsed += size;
    return true;
}

char* SafeOutput::Space(std::size_t size)
{
    if (!m_bOpen || m_bFailed || size > kMaxSpace)
        return nullptr;
    if (m_nUsed + size > kBufferSize && !Flush())
        return nullptr;
    return m_buffer.get() + m_nUsed;
}

bool SafeOutput::Restart()
{
    if (!m_bOpen || m_bFailed)
        return false;
    m_nUsed = 0;
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
    if (Flush()) {
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
