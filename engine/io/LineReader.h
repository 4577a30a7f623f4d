// Reads a file line by line through one large buffer. A line is every byte up
// to and including its '\n', or up to the end of the file. A file that holds
// no '\n' but at least one '\r' is a program whose lines end in '\r': each
// line is every byte up to and including its '\r', handed out with a '\n' in
// the '\r's place (the run puts it back). Other bytes pass as stored.
// Only regular files are read, and no line may be longer than kMaxLineBytes,
// so memory stays bounded whatever the file holds.
#pragma once

#include "FileSystem.h"
#include "MirrorFailure.h"

#include <memory>
#include <string>
#include <string_view>

// The longest line read, its end included.
constexpr std::size_t kMaxLineBytes = std::size_t(64) << 20;

class LineReader {
public:
    LineReader() = default;
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens `path` for reading; false when it cannot be opened or is not a
    // regular file (see Failure).
    bool Open(const char* path);
    void Close();

    // Next line as a view, without copying it when it lies whole in the
    // buffer; the view is valid until the next read. False at the end of the
    // file or on a failure.
    bool NextLine(std::string_view& line);

    // The bytes read and not yet handed out, refilling the buffer when none
    // are left; false at the end of the file or on a failure. A caller that
    // takes whole lines from them passes them with Skip; a line that runs
    // past `end` is left to NextLine. Only for lines that end in '\n': a
    // program whose lines end in '\r' is read with NextLine.
    bool Peek(const char*& begin, const char*& end)
    {
        if (m_nPos == m_nEnd && !Refill())
            return false;
        begin = m_buffer.get() + m_nPos;
        end = m_buffer.get() + m_nEnd;
        return true;
    }
    void Skip(std::size_t n) { m_nPos += n; }

    // The end of the bytes that may be read from `line` on (a line that
    // NextLine handed out): the end of the read buffer when the line lies in
    // it, else the line's own end.
    const char* ReadableEnd(std::string_view line) const
    {
        const char* const begin = m_buffer.get();
        if (line.data() >= begin && line.data() < begin + m_nEnd)
            return begin + m_nEnd;
        return line.data() + line.size();
    }

    // True after a failure (a read error, a line too long): the lines read so
    // far are not the whole file.
    bool Failed() const { return m_bFailed; }
    // Why Open or the reading failed.
    const MirrorFailure& Failure() const { return m_failure; }

    // Back to the first line; false when the file cannot be rewound.
    bool Rewind();

    // True for a program whose lines end in '\r'; known once a line was read.
    bool CarriageReturnLines() const { return m_ends == LineEnds::CarriageReturn; }

    // True when the file still has the size and modification time it had
    // when opened; otherwise a failure (SourceChanged).
    bool CheckUnchanged();

private:
    enum class LineEnds { Unknown, LineFeed, CarriageReturn };

    bool Refill();
    bool Fail(const MirrorFailure& failure);
    // NextLine for a line that goes on past the buffer.
    bool NextLongLine(std::string_view& line);
    // The first line outgrew the bound before a '\n': still fine when the
    // file turns out to hold no '\n' at all and its lines end in '\r'.
    bool AfterLongFirstLine(bool sawCarriageReturn, std::string_view& line);
    // Starts over, reading the lines as ending in '\r'.
    bool StartCarriageReturnLines(std::string_view& line);

    NativeFile m_file;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_nCapacity = 0;     // the buffer's size
    std::size_t m_nPos = 0;
    std::size_t m_nEnd = 0;
    long long m_nChunkStart = 0;     // where in the file the buffer's bytes start
    long long m_nNextOffset = 0;     // where the next read starts
    bool m_bChunkConverted = false;  // the buffer's '\r' line ends were made '\n'
    bool m_bFailed = false;
    MirrorFailure m_failure;
    FileStamp m_stamp;
    LineEnds m_ends = LineEnds::Unknown;
    std::string m_strSpill;  // a line that crosses the end of the buffer
};
