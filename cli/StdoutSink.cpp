#include "StdoutSink.h"

#include <cstdio>

namespace {
constexpr std::size_t kBufferSize = 1 << 16;
}

CStdoutSink::CStdoutSink() { m_strBuffer.reserve(kBufferSize); }

bool CStdoutSink::Line(std::string_view, std::string_view mirrored)
{
    // Lines gather in one buffer, written out when it is full: one call of
    // the C library per 64 KB instead of one per line.
    if (m_strBuffer.size() + mirrored.size() > kBufferSize)
        WriteOut();
    m_strBuffer.append(mirrored.data(), mirrored.size());
    return !m_bFailed;
}

void CStdoutSink::WriteOut()
{
    if (!m_bFailed && std::fwrite(m_strBuffer.data(), 1, m_strBuffer.size(), stdout) != m_strBuffer.size())
        m_bFailed = true;
    m_strBuffer.clear();
}

bool CStdoutSink::Finish()
{
    WriteOut();
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        m_bFailed = true;
    return !m_bFailed;
}
