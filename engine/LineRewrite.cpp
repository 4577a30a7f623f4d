// Line rewriting: negating coordinate words in the program's own number style,
// and swapping the G codes that a reflection reverses.
#include "NcMirror.h"

#include "MirrorModes.h"
#include "MotionCodes.h"
#include "NumberText.h"
#include "WordText.h"

#include <string_view>

int CNcMirror::ScaleWords(std::string& line, float factor, const char* letters)
{
    // 1. Nothing to rewrite without letters.
    if (!letters || !*letters)
        return -1;

    // 2. SetWord separates rewritten words by one blank on lines with blanks.
    m_nSpaced = line.find(' ') != std::string::npos ? 1 : -1;

    // 3. The first word of each letter, in order. A value text that holds no
    //    number is written back as it was, and still counted. The new text
    //    and SetWord's blank replace the old value text in one step.
    int count = 0;
    for (const char* letter = letters; *letter; ++letter) {
        std::size_t valuePos = 0;
        const std::size_t n = FindValueText(line, *letter, valuePos);
        if (n == 0)
            continue;
        const std::string_view value(line.data() + valuePos, n);
        if (!PrintScaled(factor, value))
            m_strPrinted.assign(value);
        if (m_nSpaced == 1)
            m_strPrinted += ' ';
        line.replace(valuePos, n, m_strPrinted);
        ++count;
    }

    // 4. Back to the resting state.
    m_nSpaced = -1;
    return count;
}

int CNcMirror::ScaleValue(float factor, std::string& value)
{
    if (!PrintScaled(factor, value))
        return -1;
    value.assign(m_strPrinted);
    return 0;
}

bool CNcMirror::PrintScaled(float factor, std::string_view value)
{
    m_strPrinted.clear();

    // 0. The mirror's own case: a plain number negated, printed from its
    //    digits (the same bytes as the conversions below, a good deal faster).
    if (factor == -1.0f) {
        char printed[kMaxNegatedPlain];
        const std::size_t n = NegatePlainNumber(value, m_nFormatCount == 0, printed);
        if (n > 0) {
            m_strPrinted.assign(printed, n);
            return true;
        }
    }

    // 1. Read the number; without one the text stays as it is.
    double number = 0.0;
    if (!ReadNumber(value, number))
        return false;

    // 2. Multiply in double precision, so the product keeps the source's digits.
    const double product = number * static_cast<double>(factor);

    if (m_nFormatCount == 0) {
        // 3. Fixed width: sign and six digits, as '+001000'.
        AppendPadded(m_strPrinted, product, 7, true);
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
            AppendFixed(m_strPrinted, product, decimals >= 5 ? 3 : static_cast<int>(decimals));
            if (decimals == 0)
                m_strPrinted += '.';
        } else {
            // 4b. An integer keeps its width, zero-padded, and shows '+' if
            //     the source had a sign; a zero never shows a '-'.
            const bool signed_ = text.find_first_of("+-") != std::string_view::npos;
            AppendPadded(m_strPrinted, product == 0.0 ? 0.0 : product, text.size(), signed_);
        }
    }
    return true;
}

int CNcMirror::SwapMotionCodes(std::string& line, int type)
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

int CNcMirror::SelectedPlane(std::string_view line, int plane)
{
    // 1. A first 'G' without a value ends the reading, as for the swaps.
    std::size_t at = line.find('G');
    if (at == std::string_view::npos || !IsValueChar(at + 1 < line.size() ? line[at + 1] : '\0'))
        return plane;

    // 2. Every G word, left to right; the last plane word wins.
    for (; at != std::string_view::npos; at = line.find('G', at + 1)) {
        const std::size_t n = ValueTextLength(line, at + 1);
        double number = 0.0;
        if (n > 0 && ReadNumber(line.substr(at + 1, n), number) &&
            (number == kPlaneXY || number == kPlaneZX || number == kPlaneYZ))
            plane = static_cast<int>(number);
    }
    return plane;
}
