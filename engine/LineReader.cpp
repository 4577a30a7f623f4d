#include "LineReader.h"

#include <cstring>

namespace {
constexpr std::size_t kBufferSize = 1 << 16;
}

bool LineReader::Open(const char* path)
{
    Close();
    if (!path)
        return false;
    m_pFile = std::fopen(path, "rb");
    if (!m_pFile)
        return false;
    // Our own buffer serves the reads; a second one inside stdio would only copy.
    std::setvbuf(m_pFile, nullptr, _IONBF, 0);
    if (!m_buffer)
        m_buffer = std::make_unique<char[]>(kBufferSize);
    m_nPos = m_nEnd = 0;
    m_bFailed = false;
    return true;
}

void LineReader::Close()
{
    if (m_pFile)
        std::fclose(m_pFile);
    m_pFile = nullptr;
    m_nPos = m_nEnd = 0;
}

bool LineReader::Refill()
{
    if (!m_pFile || m_bFailed)
        return false;
    m_nPos = 0;
    m_nEnd = std::fread(m_buffer.get(), 1, kBufferSize, m_pFile);
    if (m_nEnd == 0 && std::ferror(m_pFile))
        m_bFailed = true;
    return m_nEnd > 0;
}

bool LineReader::NextLine(std::string_view& line)
{
    // Usually the whole line is in the buffer and is handed out in place.
    if (m_nPos == m_nEnd && !Refill())
        return false;
    const char* start = m_buffer.get() + m_nPos;
    std::size_t avail = m_nEnd - m_nPos;
    const void* nl = std::memchr(start, '\n', avail);
    if (nl) {
        const std::size_t n = static_cast<const char*>(nl) - start + 1;
        line = std::string_view(start, n);
        m_nPos += n;
        return true;
    }

    // The line goes on past the buffer: gather it, refill after refill.
    m_strSpill.assign(start, avail);
    m_nPos = m_nEnd;
    while (Refill()) {
        start = m_buffer.get();
        avail = m_nEnd;
        nl = std::memchr(start, '\n', avail);
        const std::size_t n = nl ? static_cast<const char*>(nl) - start + 1 : avail;
        m_strSpill.append(start, n);
        m_nPos = n;
        if (nl)
            break;
    }
    if (m_bFailed)
        return false;
    line = m_strSpill;
    return true;
}

bool LineReader::Rewind()
{
    if (!m_pFile || m_bFailed)
        return false;
    m_nPos = m_nEnd = 0;
    return std::fseek(m_pFile, 0, SEEK_SET) == 0;
}
