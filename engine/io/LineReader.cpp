#include "LineReader.h"

#include <cstring>

namespace {

// A program of up to 64 KB is read through a buffer of that size; a larger
// one through 1 MB, so that a run over whole buffers hands work to its
// second thread seldom.
constexpr std::size_t kSmallBufferSize = 1 << 16;
constexpr std::size_t kLargeBufferSize = 1 << 20;

void ReplaceAll(char* bytes, std::size_t size, char from, char to)
{
    for (char* end = bytes + size; (bytes = static_cast<char*>(std::memchr(bytes, from, end - bytes))) != nullptr;)
        *bytes++ = to;
}

}  // namespace

bool LineReader::Open(const char* path)
{
    Close();
    m_bFailed = false;
    m_failure = MirrorFailure();
    m_ends = LineEnds::Unknown;
    if (!path) {
        m_failure = OwnFailure(MirrorFailureKind::NotRegularFile);
        return false;
    }
    if (!m_file.OpenForReading(path, m_failure))
        return false;
    if (!m_file.Stamp(m_stamp))
        m_stamp = FileStamp();
    const std::size_t capacity =
        m_stamp.nSize > static_cast<long long>(kSmallBufferSize) ? kLargeBufferSize : kSmallBufferSize;
    if (!m_buffer || m_nCapacity < capacity) {
        m_buffer.reset(new char[capacity]);  // not filled: only the bytes read are looked at
        m_nCapacity = capacity;
    }
    return true;
}

void LineReader::Close()
{
    m_file.Close();
    m_nPos = m_nEnd = 0;
    m_nChunkStart = m_nNextOffset = 0;
    m_strSpill = std::string();
}

bool LineReader::Fail(const MirrorFailure& failure)
{
    m_failure = failure;
    m_bFailed = true;
    return false;
}

bool LineReader::Refill()
{
    if (!m_file.IsOpen() || m_bFailed)
        return false;
    m_nPos = 0;
    const long long n = m_file.Read(m_buffer.get(), m_nCapacity, m_failure);
    if (n < 0) {
        m_nEnd = 0;
        m_bFailed = true;
        return false;
    }
    m_nEnd = static_cast<std::size_t>(n);
    m_nChunkStart = m_nNextOffset;
    m_nNextOffset += n;
    m_bChunkConverted = m_ends == LineEnds::CarriageReturn;
    // A file that holds a '\n' has lines that end in it: settled as soon as
    // one is seen, so that the lines need not ask.
    if (m_ends == LineEnds::CarriageReturn)
        ReplaceAll(m_buffer.get(), m_nEnd, '\r', '\n');
    else if (m_ends == LineEnds::Unknown && std::memchr(m_buffer.get(), '\n', m_nEnd))
        m_ends = LineEnds::LineFeed;
    return m_nEnd > 0;
}

bool LineReader::NextLine(std::string_view& line)
{
    // Usually the whole line is in the buffer and is handed out in place.
    if (m_nPos == m_nEnd && !Refill())
        return false;
    const char* start = m_buffer.get() + m_nPos;
    const void* nl = std::memchr(start, '\n', m_nEnd - m_nPos);
    if (!nl)
        return NextLongLine(line);
    const std::size_t n = static_cast<const char*>(nl) - start + 1;
    line = std::string_view(start, n);
    m_nPos += n;
    return true;
}

bool LineReader::NextLongLine(std::string_view& line)
{
    // Gathered refill after refill, up to the bound.
    m_strSpill.clear();
    bool ended = false;
    bool sawCarriageReturn = false;
    do {
        const char* start = m_buffer.get() + m_nPos;
        const std::size_t avail = m_nEnd - m_nPos;
        const void* nl = std::memchr(start, '\n', avail);
        const std::size_t n = nl ? static_cast<const char*>(nl) - start + 1 : avail;
        if (m_ends == LineEnds::Unknown && !sawCarriageReturn)
            sawCarriageReturn = std::memchr(start, '\r', n) != nullptr;
        if (m_strSpill.size() + n > kMaxLineBytes) {
            if (nl || m_ends != LineEnds::Unknown)
                return Fail(OwnFailure(MirrorFailureKind::LineTooLong));
            m_nPos = m_nEnd;
            return AfterLongFirstLine(sawCarriageReturn, line);
        }
        m_strSpill.append(start, n);
        m_nPos += n;
        ended = nl != nullptr;
    } while (!ended && Refill());
    if (m_bFailed)
        return false;
    if (m_ends == LineEnds::Unknown) {
        // A first line that ran to the end of the file: the file holds no '\n'.
        if (!ended && sawCarriageReturn)
            return StartCarriageReturnLines(line);
        m_ends = LineEnds::LineFeed;
    }
    line = m_strSpill;
    return true;
}

bool LineReader::AfterLongFirstLine(bool sawCarriageReturn, std::string_view& line)
{
    m_strSpill = std::string();
    if (!sawCarriageReturn)  // too long whichever way its lines end
        return Fail(OwnFailure(MirrorFailureKind::LineTooLong));
    while (Refill()) {
        if (std::memchr(m_buffer.get(), '\n', m_nEnd))
            return Fail(OwnFailure(MirrorFailureKind::LineTooLong));
    }
    return !m_bFailed && StartCarriageReturnLines(line);
}

bool LineReader::StartCarriageReturnLines(std::string_view& line)
{
    m_ends = LineEnds::CarriageReturn;
    m_strSpill.clear();
    return Rewind() && NextLine(line);
}

bool LineReader::Rewind()
{
    if (!m_file.IsOpen() || m_bFailed)
        return false;
    // The first bytes of the file still in the buffer, read as the lines now
    // end: back to them without reading again (a small file is read once).
    if (m_nChunkStart == 0 && m_nEnd > 0 && m_bChunkConverted == (m_ends == LineEnds::CarriageReturn)) {
        m_nPos = 0;
        return true;
    }
    m_nPos = m_nEnd = 0;
    m_nNextOffset = 0;
    if (m_file.SeekToStart(m_failure))
        return true;
    m_bFailed = true;
    return false;
}

bool LineReader::CheckUnchanged()
{
    FileStamp now;
    if (m_file.IsOpen() && m_file.Stamp(now) && now == m_stamp)
        return true;
    return Fail(OwnFailure(MirrorFailureKind::SourceChanged));
}
