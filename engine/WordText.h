// Shared scanning helpers for value texts (internal to the engine).
#pragma once

#include <cstring>
#include <string>
#include <string_view>

// A character that continues a value text: a digit, ' ', '+', '-' or '.'.
inline bool IsValueChar(char c)
{
    return (c >= '0' && c <= '9') || c == ' ' || c == '+' || c == '-' || c == '.';
}

// Length of the value text that starts at `pos`.
inline std::size_t ValueTextLength(std::string_view line, std::size_t pos)
{
    std::size_t n = 0;
    while (pos + n < line.size() && IsValueChar(line[pos + n]))
        ++n;
    return n;
}

// Finds the first `letter` of the line (from `from` on). Sets `valuePos` to
// the position after it (0 when the letter is absent) and returns the length
// of its value text.
inline std::size_t FindValueText(const std::string& line, char letter, std::size_t& valuePos,
                                 std::size_t from = 0)
{
    const std::size_t at = line.find(letter, from);
    if (at == std::string::npos) {
        valuePos = 0;
        return 0;
    }
    valuePos = at + 1;
    return ValueTextLength(line, valuePos);
}

// `line` becomes the `size` bytes at `data` (which must not lie inside it):
// a plain copy into the string's own buffer, cheaper for a line than assign.
inline void CopyLine(std::string& line, const char* data, std::size_t size)
{
    line.resize(size);
    if (size > 0)
        std::memcpy(&line[0], data, size);
}

// A line read with a '\n' in place of its '\r' (a program whose lines end
// in '\r'), back to its own end, in `buffer` when it changes.
inline std::string_view WithCarriageReturn(std::string_view line, std::string& buffer)
{
    if (line.empty() || line.back() != '\n')
        return line;
    buffer.assign(line.data(), line.size());
    buffer.back() = '\r';
    return buffer;
}
