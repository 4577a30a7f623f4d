// The format scan looks at every byte of a fixed-width program: it goes
// through a byte table in one pass instead of a search per letter.
#include "LineScan.h"

#include <array>

namespace {

// Classes of a byte, as bits.
enum : unsigned char {
    kCoordinate = 0x3F,  // X, Y, Z, I, J, K: one bit each (0x01 to 0x20)
    kPoint = 0x40,       // '.'
    kValue = 0x80,       // continues a value text: a digit, ' ', '+', '-', '.'
};

constexpr std::array<unsigned char, 256> MakeByteClasses()
{
    std::array<unsigned char, 256> classes{};
    const char letters[] = "XYZIJK";
    for (int i = 0; i < 6; ++i)
        classes[static_cast<unsigned char>(letters[i])] = static_cast<unsigned char>(1u << i);
    for (char c = '0'; c <= '9'; ++c)
        classes[static_cast<unsigned char>(c)] = kValue;
    for (const char c : {' ', '+', '-'})
        classes[static_cast<unsigned char>(c)] = kValue;
    classes['.'] = kPoint | kValue;
    return classes;
}

constexpr std::array<unsigned char, 256> kByteClasses = MakeByteClasses();

unsigned ClassOf(char c) { return kByteClasses[static_cast<unsigned char>(c)]; }

}  // namespace

int FreeFormatMarks(std::string_view line)
{
    // Only the first word of each coordinate letter counts; `seen` holds the
    // letters met so far. A measured value text is not looked at again.
    unsigned seen = 0;
    unsigned point = 0;
    int marks = 0;
    const std::size_t size = line.size();
    for (std::size_t i = 0; i < size;) {
        const unsigned cls = ClassOf(line[i++]);
        point |= cls;
        const unsigned letter = cls & kCoordinate;
        if (letter == 0 || (seen & letter) != 0)
            continue;
        seen |= letter;
        const std::size_t start = i;
        for (unsigned value; i < size && ((value = ClassOf(line[i])) & kValue) != 0; ++i)
            point |= value;
        const std::size_t n = i - start;
        if (n > 0 && n != 7)
            ++marks;
    }
    return marks + ((point & kPoint) != 0 ? 1 : 0);
}
