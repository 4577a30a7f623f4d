// Plain, independent readings of a program's lines that the fuzzer checks the
// engine's output against: byte loops only, nothing shared with the engine.
#pragma once

#include <string>
#include <vector>

namespace fuzzcheck {

// A program's lines: every byte up to and including its '\n', and a last
// line without one.
std::vector<std::string> SplitLines(const std::string& bytes);

// The first of those lines; empty for no bytes.
std::string FirstLine(const std::string& bytes);

// How many lines SplitLines finds, with every '\r' read as a '\n' when
// `carriageReturns` says the lines end so.
std::size_t CountLines(const std::string& bytes, bool carriageReturns);

// The bytes with every '\r' turned into '\n'.
std::string CarriageReturnsAsLineFeeds(std::string bytes);

// A line the mirror leaves alone apart from its end: ';', '(', ')' or '$'.
bool IsSkipLine(const std::string& line);

// True when the line holds any of the bytes in `letters`.
bool HoldsAnyOf(const std::string& line, const char* letters);

// The line after its end is normalised: unchanged without a blank; with one,
// the trailing run of blanks, '\r' and '\n' goes (never the first byte) and
// the line's own end ("\r\n", "\n" or none) comes back.
std::string EndNormalised(const std::string& line);

// What a rewrite may not touch: the line without its value bytes (digits,
// ' ', '+', '-', '.') and without the '\r' and '\n' at its end.
std::string Skeleton(const std::string& line);

// The value text negated and printed by the C library's snprintf in the
// style of the source (fixed width: sign and six digits; free format: the
// source's decimals up to four, five or more as three, integers keep width
// and sign). False when the text holds no number that fits a double.
bool PrintfNegated(const std::string& value, bool fixedWidth, std::string& printed);

}  // namespace fuzzcheck
