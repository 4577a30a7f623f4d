// Finding the bytes of a line that are not part of a value text, sixteen at
// a time (internal to the engine). Value texts (digits, ' ', '+', '-', '.')
// make up most of a program; the letters, skip characters and line ends
// between them are what the mirror looks at. SSE2 where the compiler offers
// it (every x86-64 target), a byte loop elsewhere: the masks are the same.
#pragma once

#include "Syntax.h"

#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define NCM_SSE2 1
#endif

// Bit i set when p[i] is not a value byte, for the sixteen bytes from `p`.
// Reads only below `limit`; positions at or beyond it count as set. With
// `pointIsValue` false, a '.' counts as set too.
template <bool pointIsValue = true>
inline std::uint32_t NonValueMask(const char* p, const char* limit)
{
#ifdef NCM_SSE2
    if (limit - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        // '+' to '9' are the bytes that stay at most 14 above '+'; of them
        // ',' and '/' are no value bytes (nor '.' while it is not one).
        const __m128i fromPlus = _mm_sub_epi8(bytes, _mm_set1_epi8('+'));
        const __m128i range = _mm_cmpeq_epi8(_mm_min_epu8(fromPlus, _mm_set1_epi8(14)), fromPlus);
        __m128i other = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(',')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('/')));
        if (!pointIsValue)
            other = _mm_or_si128(other, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('.')));
        const __m128i value = _mm_or_si128(_mm_andnot_si128(other, range), _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')));
        return ~static_cast<std::uint32_t>(_mm_movemask_epi8(value)) & 0xFFFFu;
    }
#endif
    std::uint32_t mask = 0;
    for (int i = 0; i < 16; ++i)
        if (p + i >= limit || !IsValueChar(p[i]) || (!pointIsValue && p[i] == '.'))
            mask |= 1u << i;
    return mask;
}

// Position of the lowest set bit of a non-zero mask.
inline int LowestBit(std::uint32_t mask)
{
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_ctz(mask);
#else
    int i = 0;
    while ((mask & 1u) == 0) {
        mask >>= 1;
        ++i;
    }
    return i;
#endif
}

// Walks the bytes of a text that are not value bytes, left to right (with
// `pointIsValue` false, the points too).
template <bool pointIsValue = true>
class CNonValueBytes {
public:
    CNonValueBytes(const char* begin, const char* limit)
        : m_pBlock(begin), m_pLimit(limit), m_nMask(NonValueMask<pointIsValue>(begin, limit))
    {
    }

    // The next such byte (the first one at or after the text's start),
    // without passing it.
    const char* Peek()
    {
        while (m_nMask == 0) {
            m_pBlock += 16;
            m_nMask = NonValueMask<pointIsValue>(m_pBlock, m_pLimit);
        }
        return m_pBlock + LowestBit(m_nMask);
    }

    // The next such byte, passed.
    const char* Next()
    {
        const char* at = Peek();
        m_nMask &= m_nMask - 1;
        return at;
    }

private:
    const char* m_pBlock;
    const char* m_pLimit;
    std::uint32_t m_nMask;
};
