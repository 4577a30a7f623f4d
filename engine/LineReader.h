// Reads a file line by line through one large buffer. A line is every byte up
// to and including its '\n', or up to the end of the file; bytes are passed on
// exactly as they are stored (no text-mode translation).
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

class LineReader {
public:
    LineReader() = default;
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    ~LineReader() { Close(); }

    // Opens `path` for reading; false when it cannot be opened.
    bool Open(const char* path);
    void Close();

    // Next line as a view, without copying it when it lies whole in the
    // buffer; the view is valid until the next read. False at the end of the
    // file or on a read error.
    bool NextLine(std::string_view& line);

    // The bytes read and not yet handed out, refilling the buffer when none
    // are left; false at the end of the file or on a read error. A caller
    // that takes whole lines from them passes them with Skip; a line that
    // runs past `end` is left to NextLine.
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

    // True after a read error (a directory, an I/O fault): the lines read so
    // far are not the whole file.
    bool Failed() const { return m_bFailed; }

    // Back to the first line; false when the file cannot be rewound.
    bool Rewind();

private:
    bool Refill();

    std::FILE* m_pFile = nullptr;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_nPos = 0;
    std::size_t m_nEnd = 0;
    bool m_bFailed = false;
    std::string m_strSpill;  // a line that crosses the end of the buffer
};
