// The mirror about a line that is not an axis: x = A (modes 2 and 3) and
// y = B (modes 1 and 3), as the controls' programmable mirror does it. An
// absolute word becomes 2A - v, computed exactly in decimal; a word that is
// not absolute (G91, G91.1 centres, the words of a G52 line) and a letter
// whose position is 0 are mirrored as about the axis. The modal state is
// the run's: distance mode (G90 at the start, G91) and arc-centre mode
// (G91.1 at the start, G90.1), read from each line's G numbers like the
// plane (the last word of a group wins and applies to its own line).
#pragma once

#include "ExactDecimal.h"

#include <string>
#include <string_view>

struct MirrorMode;

struct MirrorPosition {
    ExactDecimal x;  // A, for X and I
    ExactDecimal y;  // B, for Y and J
    bool Any() const { return !IsZero(x) || !IsZero(y); }
};

// A position as the user gives it: [sign]digits[.digits]; empty (or null)
// is 0. False when the text is not such a number.
bool ParsePositionText(const char* text, ExactDecimal& value);

// The modal state of a positioned run.
struct PositionState {
    bool absolute = true;           // G90; false after G91
    bool centresAbsolute = false;   // G90.1; false after G91.1
};

// The state after the line's G numbers.
void UpdatePositionState(std::string_view line, PositionState& state);

// What a positioned line held beyond its count.
struct PositionNotes {
    bool integerPosition = false;  // a word without a point was positioned
    bool overflow = false;         // a fixed-width result does not fit seven characters
    bool undelimited = false;      // an expression that cannot be delimited stays as it is
    std::string word;              // the first such word, as the program spells it
};

// 2A as a scaled integer, for the buffer sweep's fast path: the value is
// mantissa / 10^decimals; not `usable` when it has more digits than the
// fast path takes (then every positioned line goes the step operations' way).
struct PlainTwice {
    bool usable = false;
    long long mantissa = 0;
    int decimals = 0;
};
PlainTwice PlainTwiceOf(const ExactDecimal& position);

// The fast path of a positioned absolute word: 2A - v of a value text that is
// a plain number with a point (free format) or a signed integer (fixed
// width), printed exactly as PositionWords prints it, into `out` (at most
// 40 characters); 0 when it does not apply (no point in free format, more
// digits than it takes, a fixed-width result that does not fit): the line
// then goes the step operations' way.
std::size_t PositionPlainNumber(std::string_view value, const PlainTwice& twice, bool fixedWidth, char* out);

// Mirrors the first word of each of `letters` about the position, on a line
// that is not a skip line (`machinePosition`: none; `scaling`: no I or J are
// in `letters` already). The number of words rewritten.
int PositionWords(std::string& line, const char* letters, bool fixedWidth, const PositionState& state,
                  const MirrorPosition& position, PositionNotes& notes);
