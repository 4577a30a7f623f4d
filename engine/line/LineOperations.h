// The step operations on one program line, each on its own: the word
// scanner (GetWord, SetWord), the end trim, the negation of words, the
// motion-code swaps and the plane reading. Applied one after the other
// (MirrorLineByOperations) they are the reference that the one-sweep mirror
// (CLineSweep) is held to. The number format and the arc plane are given.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

struct MirrorMode;

// Swap types of SwapMotionCodes: which pair of G numbers is exchanged.
enum : int {
    kSwapArcDirection = 1,         // G02 <-> G03
    kSwapCompensationFree = 2,     // G41 <-> G42, free-format programs
    kSwapCompensationFixed = 21,   // G42 <-> G43, fixed-width programs
};

// The G number that swap type `type` puts in place of `number`, and the
// decimals it is printed with ("%02.0f", or "%04.1f" for G41.1/G42.1);
// false when the type leaves the number as it is.
bool SwappedCode(int type, double number, double& swapped, int& decimals);

// Calls `visit(number)` for each of the line's G numbers, left to right:
// those of its G words as SwapMotionCodes reads them (none when the first
// 'G' has no value text).
void ForEachGNumber(std::string_view line, const std::function<void(double)>& visit);

// True when `number` is one of the line's G numbers.
bool HoldsGNumber(std::string_view line, double number);

// True when the letter at `at` stands right after an ASCII letter: it is part
// of a word ('X' in 'FIX'), not an address.
bool IsInsideWord(std::string_view line, std::size_t at);

// A word whose value is a variable or an expression: the letter before
// `valuePos` is not inside a word, its value text (`size` characters)
// holds only blanks and at most one sign, and a '#' or '[' follows it.
bool IsExpressionWord(std::string_view line, std::size_t valuePos, std::size_t size);
// Changes the sign of such a word in place: none becomes a '-' just before
// the '#' or '[', '-' goes, '+' becomes '-'. The new value text's size.
std::size_t ToggleExpressionSign(std::string& line, std::size_t valuePos, std::size_t size);

// Value text after the first `letter` of the line; its length, 0 if none
// (then `out` is left untouched).
std::size_t GetWord(const std::string& line, char letter, std::string& out);
// Replaces the value text of the first `letter` by `value`, plus one blank
// when `spaced` (the line holds a blank).
void SetWord(std::string& line, char letter, const std::string& value, bool spaced);
// Strips trailing blanks and line-end characters of a line that holds a
// blank and puts back the line's own end; 1 when it rewrote the line.
int TrimLineEnd(std::string& line);

// Multiplies the first word of each of `letters` by `factor`; the number of
// words rewritten, -1 when `letters` is null or empty.
int ScaleWords(std::string& line, float factor, const char* letters, bool fixedWidth);
// Multiplies the number in `value` and reprints it in its own style; 0 on
// success, -1 (text unchanged) when the text holds no number.
int ScaleValue(float factor, std::string& value, bool fixedWidth);
// The reprinted product of the number in `value`, into `printed`; false
// (`printed` undefined) when the text holds no number.
bool PrintScaled(float factor, std::string_view value, bool fixedWidth, std::string& printed);

// Exchanges the G numbers of swap type `type`; the G words changed.
int SwapMotionCodes(std::string& line, int type);
// The arc plane after `line` (17, 18 or 19), starting from `plane`: the
// last G17, G18 or G19 of a line that has G numbers.
int SelectedPlane(std::string_view line, int plane);

// Negates the first R word, a rotation's angle, like a coordinate; 1 when
// it did, 0 when there is none or it holds no number.
int NegateRotationAngle(std::string& line, bool fixedWidth);

// The whole line as the operations one after the other: a skip line only
// gets its end trimmed; otherwise end trim, plane, arc swap, negation (none
// on a G53 or G10 line, no I and J on a G51 line, the G68 angle where the
// plane is reversed), compensation swap, end trim. `plane` is the arc plane in effect and
// becomes the one after the line. The number of words changed.
int MirrorLineByOperations(std::string& line, const MirrorMode& mode, bool fixedWidth, int& plane);
// The same about a mirror position (see PositionWords.h), with the run's
// modal state, which the line's G numbers change; `notes` learns what the
// line held beyond its count.
int MirrorLineByOperations(std::string& line, const MirrorMode& mode, bool fixedWidth, int& plane,
                           struct PositionState& state, const struct MirrorPosition& position,
                           struct PositionNotes& notes);
