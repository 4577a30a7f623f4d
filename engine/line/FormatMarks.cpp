// The format scan looks at every byte of a fixed-width program: it goes
// through a byte table in one pass instead of a search per letter.
#include "FormatMarks.h"

#include "Syntax.h"

#include <array>
#include <cstddef>
#include <cstring>

namespace {

// Classes of a byte, as bits.
enum : unsigned char {
    kCoordinate = 0x3F,  // X, Y, Z, I, J, K: one bit each (0x01 to 0x20)
    kValue = 0x80,       // continues a value text: a digit, ' ', '+', '-', '.'
};

constexpr std::array<unsigned char, 256> MakeByteClasses()
{
    std::array<unsigned char, 256> classes{};
    for (int i = 0; kFormatLetters[i]; ++i)
        classes[static_cast<unsigned char>(kFormatLetters[i])] = static_cast<unsigned char>(1u << i);
    for (int c = 0; c < 256; ++c)
        if (IsValueChar(static_cast<char>(c)))
            classes[static_cast<std::size_t>(c)] = kValue;
    return classes;
}

constexpr std::array<unsigned char, 256> kByteClasses = MakeByteClasses();

unsigned ClassOf(char c) { return kByteClasses[static_cast<unsigned char>(c)]; }

}  // namespace

int FreeFormatMarks(std::string_view line)
{
    const char* p = line.data();
    const char* const end = p + line.size();
    int marks = !line.empty() && std::memchr(p, '.', line.size()) ? 1 : 0;

    // Only the first word of each coordinate letter counts; `seen` holds the
    // letters met so far. A measured value text is not looked at again. A
    // line that ends outside a value text (on its '\n') stops every value
    // text before its end, so those loops need no bounds check.
    const bool stops = !line.empty() && (ClassOf(line.back()) & kValue) == 0;
    unsigned seen = 0;
    while (p < end) {
        const unsigned letter = ClassOf(*p++) & kCoordinate;
        if (letter == 0 || (seen & letter) != 0)
            continue;
        seen |= letter;
        const char* const value = p;
        if (stops) {
            while (ClassOf(*p) & kValue)
                ++p;
        } else {
            while (p < end && (ClassOf(*p) & kValue))
                ++p;
        }
        const std::ptrdiff_t n = p - value;
        if (n > 0 && static_cast<std::size_t>(n) != kFixedValueWidth)
            ++marks;
    }
    return marks;
}
