// Copies of a few bytes without a call to memcpy (internal to the engine):
// value texts and the pieces of a line between rewritten words are short.
#pragma once

#include <cstddef>
#include <cstring>

// Copies `n` bytes from `from` to `out`, reading and writing only those
// bytes; the position after them.
inline char* CopyShort(char* out, const char* from, std::size_t n)
{
    if (n >= 8 && n <= 16) {
        // Two eight-byte copies that overlap in the middle.
        std::memcpy(out, from, 8);
        std::memcpy(out + n - 8, from + n - 8, 8);
    } else if (n >= 4 && n < 8) {
        std::memcpy(out, from, 4);
        std::memcpy(out + n - 4, from + n - 4, 4);
    } else if (n < 4) {
        for (std::size_t i = 0; i < n; ++i)
            out[i] = from[i];
    } else {
        std::memcpy(out, from, n);
    }
    return out + n;
}
