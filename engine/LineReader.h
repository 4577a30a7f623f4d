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
