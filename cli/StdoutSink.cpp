#include "StdoutSink.h"

#include <cstdio>

CStdoutSink::CStdoutSink()
{
    // Nothing has gone to standard output yet, so its buffer may still be
    // set: one of 64 KB, as the engine's files have, even on a terminal.
    std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
}

bool CStdoutSink::Line(std::string_view, std::string_view mirrored)
{
    if (!m_bFailed && std::fwrite(mirrored.data(), 1, mirrored.size(), stdout) != mirrored.size())
        m_bFailed = true;
    return !m_bFailed;
}

bool CStdoutSink::Finish()
{
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        m_bFailed = true;
    return !m_bFailed;
}
