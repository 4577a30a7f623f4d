// The step operations one at a time: the word scanner and line editing,
// negating coordinate words in the program's own number style, swapping the
// G codes that a reflection reverses.
#include "LineOperations.h"

#include "MirrorModes.h"
#include "NumberText.h"
#include "PositionWords.h"
#include "Syntax.h"

#include <algorithm>

namespace {

// TrimLineEnd of a line known to hold a blank.
int TrimEndOfSpacedLine(std::string& line)
{
    // 2. The line keeps its own end: "\r\n", "\n", or none for a last line.
    const std::size_t size = line.size();
    std::size_t endSize = 0;
    if (size >= 2 && line[size - 2] == '\r' && line[size - 1] == '\n')
        endSize = 2;
    else if (line[size - 1] == '\n')
        endSize = 1;

    // 3. Drop the trailing run of blanks and line-end characters, but never
    //    the line's first character.
    std::size_t keep = size;
    while (keep > 1 && IsTrimmedAtEnd(line[keep - 1]))
        --keep;
    if (keep + endSize == size)
        return 1;  // the end is as it would be written
    line.resize(keep);
    static const char kEnds[] = "\r\n";
    line.append(kEnds + (2 - endSize), endSize);
    return 1;
}

}  // namespace

bool SwappedCode(int type, double number, double& swapped, int& decimals)
{
    // The pairs of each type: the numbers and how the new one is printed.
    struct Pair {
        int type;
        double first, second;
        int decimals;  // "%02.0f" or "%04.1f"
    };
    static const Pair kPairs[] = {
        {kSwapArcDirection, 2, 3, 0},
        {kSwapCompensationFree, 41, 42, 0},
        {kSwapCompensationFree, 41.1, 42.1, 1},  // with a given diameter, or normal-direction control
        {kSwapCompensationFixed, 42, 43, 0},
    };
    for (const Pair& pair : kPairs) {
        if (pair.type != type || (number != pair.first && number != pair.second))
            continue;
        swapped = number == pair.first ? pair.second : pair.first;
        decimals = pair.decimals;
        return true;
    }
    return false;
}

void ForEachGNumber(std::string_view line, const std::function<void(double)>& visit)
{
    std::size_t at = 0;
    if (!FirstGHasValue(line, at))
        return;
    for (; at != std::string_view::npos; at = line.find('G', at + 1)) {
        const std::size_t n = ValueTextLength(line, at + 1);
        double value = 0.0;
        if (n > 0 && ReadNumber(line.substr(at + 1, n), value))
            visit(value);
    }
}

bool HoldsGNumber(std::string_view line, double number)
{
    bool held = false;
    ForEachGNumber(line, [&](double value) { held = held || value == number; });
    return held;
}

bool IsInsideWord(std::string_view line, std::size_t at)
{
    if (at == 0)
        return false;
    const char c = line[at - 1];
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsExpressionWord(std::string_view line, std::size_t valuePos, std::size_t size)
{
    if (valuePos == 0 || IsInsideWord(line, valuePos - 1) || valuePos + size >= line.size())
        return false;
    int signs = 0;
    for (std::size_t i = valuePos; i < valuePos + size; ++i) {
        if (line[i] == '+' || line[i] == '-')
            ++signs;
        else if (line[i] != ' ')
            return false;
    }
    const char next = line[valuePos + size];
    return signs <= 1 && (next == '#' || next == '[');
}

std::size_t ToggleExpressionSign(std::string& line, std::size_t valuePos, std::size_t size)
{
    for (std::size_t i = valuePos; i < valuePos + size; ++i) {
        if (line[i] == '-') {
            line.erase(i, 1);
            return size - 1;
        }
        if (line[i] == '+') {
            line[i] = '-';
            return size;
        }
    }
    line.insert(valuePos + size, 1, '-');
    return size + 1;
}

std::size_t GetWord(const std::string& line, char letter, std::string& out)
{
    std::size_t valuePos = 0;
    const std::size_t n = FindValueText(line, letter, valuePos);
    if (n > 0)
        out.assign(line, valuePos, n);
    return n;
}

void SetWord(std::string& line, char letter, const std::string& value, bool spaced)
{
    std::size_t valuePos = 0;
    const std::size_t n = FindValueText(line, letter, valuePos);
    if (valuePos == 0)
        return;  // the letter is not in the line
    // The old value text took the blanks that separated it from the next
    // word; a line that has blanks gets exactly one back.
    line.replace(valuePos, n, value);
    if (spaced)
        line.insert(valuePos + value.size(), 1, ' ');
}

int TrimLineEnd(std::string& line)
{
    // 1. A line without any blank is written as it stands.
    if (line.empty() || line.find(' ') == std::string::npos)
        return 0;
    return TrimEndOfSpacedLine(line);
}

int ScaleWords(std::string& line, float factor, const char* letters, bool fixedWidth)
{
    // 1. Nothing to rewrite without letters.
    if (!letters || !*letters)
        return -1;

    // 2. SetWord separates rewritten words by one blank on lines with blanks.
    const bool spaced = line.find(' ') != std::string::npos;

    // 3. The first word of each letter, in order. A value text that holds no
    //    number is written back as it was, and still counted. The new text
    //    and SetWord's blank replace the old value text in one step.
    int count = 0;
    std::string printed;
    for (const char* letter = letters; *letter; ++letter) {
        std::size_t valuePos = 0;
        const std::size_t n = FindValueText(line, *letter, valuePos);
        // A variable or an expression ('X#24', 'Y-[#1+2.]') changes sign.
        if (IsExpressionWord(line, valuePos, n)) {
            ToggleExpressionSign(line, valuePos, n);
            ++count;
            continue;
        }
        if (n == 0)
            continue;
        const std::string_view value(line.data() + valuePos, n);
        if (!PrintScaled(factor, value, fixedWidth, printed))
            printed.assign(value);
        if (spaced)
            printed += ' ';
        line.replace(valuePos, n, printed);
        ++count;
    }
    return count;
}

int ScaleValue(float factor, std::string& value, bool fixedWidth)
{
    std::string printed;
    if (!PrintScaled(factor, value, fixedWidth, printed))
        return -1;
    value.assign(printed);
    return 0;
}

bool PrintScaled(float factor, std::string_view value, bool fixedWidth, std::string& printed)
{
    printed.clear();

    // 0. The mirror's own case: a plain number negated, printed from its
    //    digits (the same bytes as the conversions below, a good deal faster).
    if (factor == -1.0f) {
        char plain[kMaxNegatedPlain];
        const std::size_t n = NegatePlainNumber(value, fixedWidth, plain);
        if (n > 0) {
            printed.assign(plain, n);
            return true;
        }
    }

    // 1. Read the number; without one the text stays as it is.
    double number = 0.0;
    if (!ReadNumber(value, number))
        return false;

    // 2. Multiply in double precision, so the product keeps the source's digits.
    const double product = number * static_cast<double>(factor);

    if (fixedWidth) {
        // 3. Fixed width: sign and six digits, as '+001000'.
        AppendPadded(printed, product, 7, true);
    } else {
        // 4. Free format: the number's own characters, without the blanks
        //    around it, decide the style.
        const std::size_t begin = value.find_first_not_of(' ');
        const std::size_t end = value.find(' ', begin);
        const std::string_view text =
            value.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin);

        const std::size_t point = text.find('.');
        if (point != std::string_view::npos) {
            // 4a. As many decimals as the source had; none keeps the bare
            //     point ('100.').
            const std::size_t decimals = text.size() - point - 1;
            AppendFixed(printed, product, static_cast<int>(decimals));
            if (decimals == 0)
                printed += '.';
        } else {
            // 4b. An integer keeps its width, zero-padded, and shows '+' if
            //     the source had a sign; a zero never shows a '-'.
            const bool signed_ = text.find_first_of("+-") != std::string_view::npos;
            AppendPadded(printed, product == 0.0 ? 0.0 : product, text.size(), signed_);
        }
    }
    return true;
}

int SwapMotionCodes(std::string& line, int type)
{
    std::size_t valuePos = 0;

    // 1. A first 'G' without a value ends the work on this line.
    if (FindValueText(line, 'G', valuePos) == 0)
        return 0;

    // 2. Every G word, left to right.
    int count = 0;
    std::string printed;
    for (std::size_t at = valuePos - 1; at != std::string::npos; at = line.find('G', at + 1)) {
        const std::size_t n = ValueTextLength(line, at + 1);
        double number = 0.0, swapped = 0.0;
        int decimals = 0;
        if (n == 0 || !ReadNumber(std::string_view(line).substr(at + 1, n), number) ||
            !SwappedCode(type, number, swapped, decimals))
            continue;
        // The whole old value text goes, blanks included: 'G02 X1.' -> 'G03X1.'.
        printed.clear();
        if (decimals == 0)
            AppendPadded(printed, swapped, 2, false);
        else
            AppendFixed(printed, swapped, decimals);
        line.replace(at + 1, n, printed);
        at += printed.size();
        ++count;
    }
    return count;
}

int SelectedPlane(std::string_view line, int plane)
{
    // The last plane word of the line's G numbers wins.
    ForEachGNumber(line, [&](double number) {
        if (IsPlaneCode(number))
            plane = static_cast<int>(number);
    });
    return plane;
}

int NegateRotationAngle(std::string& line, bool fixedWidth)
{
    std::string value;
    if (GetWord(line, 'R', value) == 0 || ScaleValue(-1.0f, value, fixedWidth) != 0)
        return 0;  // no R, or one without a number: left as it is
    SetWord(line, 'R', value, line.find(' ') != std::string::npos);
    return 1;
}

int MirrorLineByOperations(std::string& line, const MirrorMode& mode, bool fixedWidth, int& plane)
{
    PositionState state;
    PositionNotes notes;
    return MirrorLineByOperations(line, mode, fixedWidth, plane, state, MirrorPosition(), notes);
}

int MirrorLineByOperations(std::string& line, const MirrorMode& mode, bool fixedWidth, int& plane,
                           PositionState& state, const MirrorPosition& position, PositionNotes& notes)
{
    // A skip line only gets its end trimmed.
    if (IsSkipLine(line)) {
        TrimLineEnd(line);
        return 0;
    }
    int count = 0;
    TrimLineEnd(line);
    plane = SelectedPlane(line, plane);
    const bool positioned = position.Any();
    if (positioned)
        UpdatePositionState(line, state);
    const bool swaps = ReversesPlane(mode, plane);
    if (swaps)
        count += SwapMotionCodes(line, kSwapArcDirection);
    // Machine positions and offset data (G53, G10) are not mirrored; the
    // scale factors of G51 (I, J) keep their sign.
    const bool machinePosition = HoldsGNumber(line, 53) || HoldsGNumber(line, 10);
    std::string letters = fixedWidth ? mode.fixedLetters : mode.freeLetters;
    if (HoldsGNumber(line, 51))
        letters.erase(std::remove_if(letters.begin(), letters.end(), [](char c) { return c == 'I' || c == 'J'; }),
                      letters.end());
    if (!machinePosition && !letters.empty())
        count += positioned ? PositionWords(line, letters.c_str(), fixedWidth, state, position, notes)
                            : ScaleWords(line, -1.0f, letters.c_str(), fixedWidth);
    // A rotation turns the other way where the mirror reverses its plane.
    if (!machinePosition && swaps && HoldsGNumber(line, 68))
        count += NegateRotationAngle(line, fixedWidth);
    if (swaps)
        count += SwapMotionCodes(line, fixedWidth ? kSwapCompensationFixed : kSwapCompensationFree);
    TrimLineEnd(line);
    return count;
}
