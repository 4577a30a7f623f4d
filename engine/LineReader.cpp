#include "LineReader.h"

#include <cstring>

namespace {
constexpr std::size_t kBufferSize = 1 << 20;
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

bool LineReader::ReadLine(std::string& line)
{
    line.clear();
    for (;;) {
        if (m_nPos == m_nEnd && !Refill())
            return !m_bFailed && !line.empty();
        const char* start = m_buffer.get() + m_nPos;
        const std::size_t avail = m_nEnd - m_nPos;
        const void* nl = std::memchr(start, '\n', avail);
        if (nl) {
            const std::size_t n = static_cast<const char*>(nl) - start + 1;
            line.append(start, n);
            m_nPos += n;
            return true;
        }
        line.append(start, avail);
        m_nPos = m_nEnd;
    }
}

bool LineReader::Rewind()
{
    if (!m_pFile || m_bFailed)
        return false;
    m_nPos = m_nEnd = 0;
    return std::fseek(m_pFile, 0, SEEK_SET) == 0;
}
