// The step operations one at a time: the word scanner and line editing,
// negating coordinate words in the program's own number style, swapping the
// G codes that a reflection reverses.
#include "LineOperations.h"

#include "MirrorModes.h"
#include "NumberText.h"
#include "Syntax.h"

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
    while (keep > 1 && (line[keep - 1] == ' ' || line[keep - 1] == '\r' || line[keep - 1] == '\n'))
        --keep;
    if (keep + endSize == size)
        return 1;  // the end is as it would be written
    line.resize(keep);
    static const char kEnds[] = "\r\n";
    line.append(kEnds + (2 - endSize), endSize);
    return 1;
}

}  // namespace

bool SwapPair(int type, double& first, double& second)
{
    switch (type) {
    case kSwapArcDirection: first = 2; second = 3; return true;
    case kSwapCompensationFree: first = 41; second = 42; return true;
    case kSwapCompensationFixed: first = 42; second = 43; return true;
    default: return false;
    }
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
            // 4a. As many decimals as the source had, up to four; five or
            //     more print with three; none keeps the bare point ('100.').
            const std::size_t decimals = text.size() - point - 1;
            AppendFixed(printed, product, decimals >= 5 ? 3 : static_cast<int>(decimals));
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
    double first = 0, second = 0;
    std::size_t valuePos = 0;

    // 1. A first 'G' without a value ends the work on this line.
    if (FindValueText(line, 'G', valuePos) == 0 || !SwapPair(type, first, second))
        return 0;

    // 2. Every G word, left to right.
    int count = 0;
    std::string printed;
    for (std::size_t at = valuePos - 1; at != std::string::npos; at = line.find('G', at + 1)) {
        const std::size_t n = ValueTextLength(line, at + 1);
        double number = 0.0;
        if (n == 0 || !ReadNumber(std::string_view(line).substr(at + 1, n), number))
            continue;
        if (number != first && number != second)
            continue;
        // The whole old value text goes, blanks included: 'G02 X1.' -> 'G03X1.'.
        printed.clear();
        AppendPadded(printed, number == first ? second : first, 2, false);
        line.replace(at + 1, n, printed);
        at += printed.size();
        ++count;
    }
    return count;
}

int SelectedPlane(std::string_view line, int plane)
{
    // 1. A first 'G' without a value ends the reading, as for the swaps.
    std::size_t at = 0;
    if (!FirstGHasValue(line, at))
        return plane;

    // 2. Every G word, left to right; the last plane word wins.
    for (; at != std::string_view::npos; at = line.find('G', at + 1)) {
        const std::size_t n = ValueTextLength(line, at + 1);
        double number = 0.0;
        if (n > 0 && ReadNumber(line.substr(at + 1, n), number) && IsPlaneCode(number))
            plane = static_cast<int>(number);
    }
    return plane;
}

int MirrorLineByOperations(std::string& line, const MirrorMode& mode, bool fixedWidth, int& plane)
{
    // A skip line only gets its end trimmed.
    if (IsSkipLine(line)) {
        TrimLineEnd(line);
        return 0;
    }
    int count = 0;
    TrimLineEnd(line);
    plane = SelectedPlane(line, plane);
    const bool swaps = ReversesPlane(mode, plane);
    if (swaps)
        count += SwapMotionCodes(line, kSwapArcDirection);
    count += ScaleWords(line, -1.0f, fixedWidth ? mode.fixedLetters : mode.freeLetters, fixedWidth);
    if (swaps)
        count += SwapMotionCodes(line, fixedWidth ? kSwapCompensationFixed : kSwapCompensationFree);
    TrimLineEnd(line);
    return count;
}
