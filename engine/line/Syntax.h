// The syntax of a program line as the mirror reads it, written once: the
// byte tables of the sweeps, the format scan, the check and the toolpath
// reader are all built from these rules.
//
// - A word is an address letter and its value text: the run of value
//   characters (digits, ' ', '+', '-', '.') right after the letter.
// - A skip line holds a skip character (';', '(', ')', '$': comments,
//   messages); it is copied with only its end trimmed.
// - The G-word rule: when the first 'G' of a line has no value text, the
//   line has no G numbers at all (no swap, no plane, no code).
// - Line ends: '\n' or "\r\n"; a program without any '\n' whose lines end
//   in '\r' is read and written with '\r'.
// - The seven-wide rule: a coordinate value text of exactly seven
//   characters (a sign and six digits) is fixed width; any other width, or
//   a '.', shows free format.
// - The arc planes: G17 (XY), G18 (ZX), G19 (YZ).
// - The check's trigger bytes: what may start a finding on a line.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// The arc planes by their G numbers.
enum : int { kPlaneXY = 17, kPlaneZX = 18, kPlaneYZ = 19 };

// Skip characters: a line that holds one is a skip line.
constexpr char kSkipChars[] = ";()$";
// Bytes that may start a finding of the check: a call ('M'), a variable or
// an expression ('#', '['), a program number (':'), a lowercase letter the
// mirror would have negated or a lowercase G, an assignment ('='), a rotary
// axis (A, B, C), a lathe's incremental axes (U, W).
constexpr char kCheckTriggers[] = "M#[:xyijg=ABCUW";
// On a line with G words, also: an arc centre in Z (a lathe's arc).
constexpr char kCheckTriggersWithG[] = "K";
// The coordinate letters whose value texts show the number format.
constexpr char kFormatLetters[] = "XYZIJK";
// The width of a fixed-width value text: a sign and six digits.
constexpr std::size_t kFixedValueWidth = 7;

// A character that continues a value text: a digit, ' ', '+', '-' or '.'.
constexpr bool IsValueChar(char c)
{
    return (c >= '0' && c <= '9') || c == ' ' || c == '+' || c == '-' || c == '.';
}

// The end trim: a line that holds a blank loses its trailing run of these
// (never its first character) and gets its own line end back.
constexpr bool IsTrimmedAtEnd(char c) { return c == ' ' || c == '\r' || c == '\n'; }

// True for ';', '(', ')' and '$'.
constexpr bool IsSkipChar(char c) { return c == ';' || c == '(' || c == ')' || c == '$'; }

// True when the line is a skip line.
inline bool IsSkipLine(std::string_view line) { return line.find_first_of(kSkipChars) != std::string_view::npos; }

// True for G17, G18 and G19.
constexpr bool IsPlaneCode(double number) { return number == kPlaneXY || number == kPlaneZX || number == kPlaneYZ; }

// Length of the value text that starts at `pos`.
inline std::size_t ValueTextLength(std::string_view line, std::size_t pos)
{
    std::size_t n = 0;
    while (pos + n < line.size() && IsValueChar(line[pos + n]))
        ++n;
    return n;
}

// The G-word rule: true when the line's first 'G' has a value text (the
// position of that 'G' in `at`); false when the line has no G numbers.
inline bool FirstGHasValue(std::string_view line, std::size_t& at)
{
    at = line.find('G');
    return at != std::string_view::npos && at + 1 < line.size() && IsValueChar(line[at + 1]);
}

// Finds the first `letter` of the line (from `from` on). Sets `valuePos` to
// the position after it (0 when the letter is absent) and returns the length
// of its value text.
inline std::size_t FindValueText(std::string_view line, char letter, std::size_t& valuePos, std::size_t from = 0)
{
    const std::size_t at = line.find(letter, from);
    if (at == std::string_view::npos) {
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
