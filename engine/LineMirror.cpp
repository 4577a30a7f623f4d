// One program line mirrored in one sweep. A single pass over the line finds
// the skip characters, the G words and the first word of each letter to
// negate; the line is then written once more with all its changes, left to
// right. This gives the bytes of the operations one after the other (end
// trim, arc swap, negation, compensation swap, end trim) without a search
// and an in-place replacement per word. A line with more G words than the
// sweep keeps track of goes through those operations one by one.
#include "NcMirror.h"

#include "MirrorModes.h"
#include "MotionCodes.h"
#include "NumberText.h"
#include "WordText.h"

#include <array>
#include <cstring>
#include <string_view>

namespace {

// Classes of a byte, as bits.
enum : unsigned short {
    kLetterX = 0x01,
    kLetterY = 0x02,
    kLetterI = 0x04,
    kLetterJ = 0x08,
    kLetters = 0x0F,
    kLetterG = 0x10,
    kSkipChar = 0x20,  // ';', '(', ')', '$'
    kNul = 0x40,       // the string's terminator, or a NUL inside the line
    kValue = 0x80,     // continues a value text: a digit, ' ', '+', '-', '.'
    kSuspect = 0x100,  // may start a finding of the check: 'M', '#', '[', ':', x y i j
    kNotable = 0x17F,  // everything the sweep stops at
};

constexpr std::array<unsigned short, 256> MakeByteClasses()
{
    std::array<unsigned short, 256> classes{};
    classes['X'] = kLetterX;
    classes['Y'] = kLetterY;
    classes['I'] = kLetterI;
    classes['J'] = kLetterJ;
    classes['G'] = kLetterG;
    for (const char c : {';', '(', ')', '$'})
        classes[static_cast<unsigned char>(c)] = kSkipChar;
    for (char c = '0'; c <= '9'; ++c)
        classes[static_cast<unsigned char>(c)] = kValue;
    for (const char c : {'+', '-', '.'})
        classes[static_cast<unsigned char>(c)] = kValue;
    classes[' '] = kValue;
    classes[0] = kNul;
    for (const char c : {'M', '#', '[', ':', 'x', 'y', 'i', 'j'})
        classes[static_cast<unsigned char>(c)] = kSuspect;
    return classes;
}

constexpr std::array<unsigned short, 256> kByteClasses = MakeByteClasses();

unsigned ClassOf(char c) { return kByteClasses[static_cast<unsigned char>(c)]; }

// Slot of a coordinate letter's bit: X 0, Y 1, I 2, J 3.
int LetterSlot(unsigned bit) { return bit == kLetterX ? 0 : bit == kLetterY ? 1 : bit == kLetterI ? 2 : 3; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// G numbers that only the check reads: G10 offset data, G16 polar
// coordinates, G53 machine coordinates, G65 and G66 calls, G68 rotations.
bool IsCheckedCode(double number)
{
    return number == 10 || number == 16 || number == 53 || number == 65 || number == 66 ||
           (number >= 68 && number < 69);
}

// The number of a G word's value text: plain codes ('01', '2 ') directly,
// anything else ('2.0', ' 3', '+2') as the general reading does it.
bool ReadCode(std::string_view text, double& number)
{
    std::size_t i = 0;
    unsigned code = 0;
    while (i < text.size() && i < 9 && IsDigit(text[i]))
        code = code * 10 + static_cast<unsigned>(text[i++] - '0');
    if (i > 0 && (i == text.size() || (text[i] != '.' && !IsDigit(text[i])))) {
        number = code;
        return true;
    }
    return ReadNumber(text, number);
}

// The G number that replaces `number` under a swap type, or 0 for none.
int SwappedCode(int type, double number)
{
    double first = 0, second = 0;
    if (!SwapPair(type, first, second))
        return 0;
    if (number == first)
        return static_cast<int>(second);
    if (number == second)
        return static_cast<int>(first);
    return 0;
}

// The value text of a word: where it starts (after its letter) and its
// length.
struct Word {
    std::size_t pos;
    std::size_t size;
    void ClipTo(std::size_t end)
    {
        if (pos + size > end)
            size = pos < end ? end - pos : 0;
    }
};

// A change of one value text: a new G number, or the negated coordinate.
struct Change {
    std::size_t pos;   // first character of the value text
    std::size_t size;  // its length
    int code;          // the new G number ("%02.0f"), or 0 for a coordinate
    bool beforeNegation;  // an arc swap: done before the coordinates
};

constexpr std::size_t kMaxGWords = 12;

// Longest text that replaces a value text: a printed number ("%.4f" of the
// largest double, or a value text's own width when that is more) or two
// digits of a G number.
constexpr std::size_t kMaxPrinted = 330;

char* Put(char* out, const char* text, std::size_t size)
{
    std::memcpy(out, text, size);
    return out + size;
}

}  // namespace

int CNcMirror::MirrorLine(std::string& line, const MirrorMode& mode)
{
    std::string_view result;
    const int count = MirrorLineInto(line, mode, result);
    if (result.data() != line.data())
        CopyLine(line, result.data(), result.size());
    return count;
}

int CNcMirror::MirrorLineInto(std::string& line, const MirrorMode& mode, std::string_view& result)
{
    result = std::string_view();
    const bool fixedWidth = m_nFormatCount == 0;
    const char* letters = fixedWidth ? mode.fixedLetters : mode.freeLetters;
    unsigned wanted = 0;
    for (const char* letter = letters; *letter; ++letter)
        wanted |= ClassOf(*letter) & kLetters;

    // 1. One pass: a skip character ends the work; the G words and the
    //    first word of each of X, Y, I and J are noted with their value
    //    texts. Whatever could start a finding of the check marks the line
    //    for it: a suspect byte, a program number at the start, a second
    //    word of a letter to negate, or a first one inside a word. The
    //    string's terminating NUL stops every loop, so they need no bounds
    //    checks.
    Word gWords[kMaxGWords];
    std::size_t gCount = 0;
    bool manyGWords = false;
    Word letterWords[4] = {};
    unsigned seen = 0;
    const char* const text = line.c_str();
    const char* const textEnd = text + line.size();
    const char* start = text;
    while (*start == ' ')
        ++start;
    bool check = *start == 'O';
    for (const char* p = text;;) {
        unsigned cls;
        while (((cls = ClassOf(*p)) & kNotable) == 0)
            ++p;
        if (cls & kNul) {
            if (p == textEnd)
                break;
            ++p;  // a NUL byte of the line itself
            continue;
        }
        ++p;
        if (cls & kSkipChar) {
            TrimLineEnd(line);
            result = line;
            m_bCheckLine = true;
            return 0;
        }
        Word* word = nullptr;
        if (cls & kLetterG) {
            if (gCount < kMaxGWords)
                word = &gWords[gCount++];
            else
                manyGWords = true;
        } else if (cls & kLetters & ~seen) {
            seen |= cls;
            word = &letterWords[LetterSlot(cls)];
            if ((cls & wanted) && p - 1 > text && IsAsciiLetter(p[-2]))
                check = true;
        } else if (cls & wanted) {
            check = true;
        } else if (cls & kSuspect) {
            check = true;
        }
        if (!word)
            continue;
        const char* const value = p;
        while (ClassOf(*p) & kValue)
            ++p;
        word->pos = static_cast<std::size_t>(value - text);
        word->size = static_cast<std::size_t>(p - value);
    }
    std::size_t firstBlank = line.find(' ');
    if (manyGWords) {
        m_bCheckLine = true;
        const int count = MirrorLineByOperations(line, mode);
        result = line;
        return count;
    }
    // 2. The end is trimmed first. Only blanks and line-end characters at
    //    the end go, so the positions stay; a value text that ran into the
    //    trimmed blanks ends where the kept text ends.
    std::size_t kept = line.size();
    if (firstBlank != std::string::npos) {
        TrimEndOfSpacedLine(line);
        kept = line.size();
        while (kept > 0 && (line[kept - 1] == '\n' || line[kept - 1] == '\r'))
            --kept;
        for (std::size_t k = 0; k < gCount; ++k)
            gWords[k].ClipTo(kept);
        for (Word& word : letterWords)
            word.ClipTo(kept);
        if (firstBlank >= kept)
            firstBlank = std::string::npos;
    }

    // 3. The G numbers: the plane words of the line set the plane for the
    //    line itself; in a plane that the mode reverses, the arc direction
    //    and compensation codes change. A first G without a value text
    //    stops both; the pairs do not overlap, so each word changes at most
    //    once.
    double codes[kMaxGWords];
    bool hasCode[kMaxGWords] = {};
    if (gCount > 0 && gWords[0].size > 0) {
        for (std::size_t k = 0; k < gCount; ++k) {
            const std::size_t n = gWords[k].size;
            hasCode[k] = n > 0 && ReadCode(std::string_view(line).substr(gWords[k].pos, n), codes[k]);
            if (!hasCode[k])
                continue;
            if (codes[k] == kPlaneXY || codes[k] == kPlaneZX || codes[k] == kPlaneYZ)
                m_nPlane = static_cast<int>(codes[k]);
            else if (IsCheckedCode(codes[k]))
                check = true;
        }
    } else {
        // The check reads every G word, whether the swaps look at it or not.
        for (std::size_t k = 0; k < gCount && !check; ++k) {
            double number = 0;
            check = gWords[k].size > 0 &&
                    ReadCode(std::string_view(line).substr(gWords[k].pos, gWords[k].size), number) &&
                    IsCheckedCode(number);
        }
    }
    Change changes[kMaxGWords + 4];
    std::size_t changeCount = 0;
    int count = 0;
    if (ReversesPlane(mode, m_nPlane)) {
        const int compensation = fixedWidth ? kSwapCompensationFixed : kSwapCompensationFree;
        for (std::size_t k = 0; k < gCount; ++k) {
            if (!hasCode[k])
                continue;
            int code = SwappedCode(kSwapArcDirection, codes[k]);
            const bool arc = code != 0;
            if (!arc)
                code = SwappedCode(compensation, codes[k]);
            if (code == 0)
                continue;
            changes[changeCount++] = Change{gWords[k].pos, gWords[k].size, code, arc};
            ++count;
        }
    }

    // A fixed-width centre that the mode would negate but never does is
    // wrong when it carries a '-'.
    if (fixedWidth) {
        for (const unsigned bit : {mode.negatesX ? unsigned{kLetterI} : 0u, mode.negatesY ? unsigned{kLetterJ} : 0u}) {
            if ((seen & bit) == 0)
                continue;
            const Word& centre = letterWords[LetterSlot(bit)];
            const std::size_t sign = line.find_first_not_of(' ', centre.pos);
            if (centre.size > 0 && sign < centre.pos + centre.size && line[sign] == '-')
                check = true;
        }
    }

    // 4. The negation's blank rule looks at the line after the arc swap,
    //    which drops the blanks inside the value texts it replaces.
    std::size_t blank = firstBlank;
    for (std::size_t k = 0; k < changeCount && blank != std::string::npos; ++k) {
        const Change& c = changes[k];
        if (c.beforeNegation && blank >= c.pos && blank < c.pos + c.size)
            blank = line.find(' ', c.pos + c.size);
    }
    const bool spaced = blank != std::string::npos;

    // 5. The first word of each letter to negate, when it has a value text.
    for (const char* letter = letters; *letter; ++letter) {
        const unsigned bit = ClassOf(*letter) & kLetters;
        if ((seen & bit) == 0)
            continue;
        const std::size_t pos = letterWords[LetterSlot(bit)].pos;
        const std::size_t n = letterWords[LetterSlot(bit)].size;
        if (n == 0)
            continue;
        // In order of position among the changes found so far.
        std::size_t k = changeCount++;
        for (; k > 0 && changes[k - 1].pos > pos; --k)
            changes[k] = changes[k - 1];
        changes[k] = Change{pos, n, 0, false};
        ++count;
    }
    m_bCheckLine = check;
    if (changeCount == 0) {
        result = line;  // trimmed already, and a second trim changes nothing
        return 0;
    }

    // 6. The line once more, with its changes, into a buffer that only ever
    //    grows: no printed number is longer than its value text or 330.
    std::size_t bound = line.size();
    for (std::size_t k = 0; k < changeCount; ++k)
        bound += changes[k].size + kMaxPrinted + 1;
    if (m_strWork.size() < bound)
        m_strWork.resize(bound);
    char* const begin = &m_strWork[0];
    char* out = begin;
    std::size_t copied = 0;
    for (std::size_t k = 0; k < changeCount; ++k) {
        const Change& c = changes[k];
        out = Put(out, line.data() + copied, c.pos - copied);
        if (c.code != 0) {
            *out++ = static_cast<char>('0' + c.code / 10);
            *out++ = static_cast<char>('0' + c.code % 10);
        } else {
            const std::string_view value(line.data() + c.pos, c.size);
            const std::size_t n = NegatePlainNumber(value, fixedWidth, out);
            if (n > 0)
                out += n;
            else if (PrintScaled(-1.0f, value))
                out = Put(out, m_strPrinted.data(), m_strPrinted.size());
            else {
                out = Put(out, value.data(), value.size());
                m_bCheckLine = true;  // a value that is not a number
            }
            // The closing end trim would take a blank after the last word
            // again: it is not written.
            if (spaced && (k + 1 < changeCount || c.pos + c.size < kept))
                *out++ = ' ';
        }
        copied = c.pos + c.size;
    }
    out = Put(out, line.data() + copied, line.size() - copied);
    result = std::string_view(begin, static_cast<std::size_t>(out - begin));
    return count;
}

int CNcMirror::MirrorLineByOperations(std::string& line, const MirrorMode& mode)
{
    // A skip line only gets its end trimmed.
    if (line.find_first_of(";()$") != std::string::npos) {
        TrimLineEnd(line);
        return 0;
    }
    const bool fixedWidth = m_nFormatCount == 0;
    int count = 0;
    TrimLineEnd(line);
    m_nPlane = SelectedPlane(line, m_nPlane);
    const bool swaps = ReversesPlane(mode, m_nPlane);
    if (swaps)
        count += SwapMotionCodes(line, kSwapArcDirection);
    count += ScaleWords(line, -1.0f, fixedWidth ? mode.fixedLetters : mode.freeLetters);
    if (swaps)
        count += SwapMotionCodes(line, fixedWidth ? kSwapCompensationFixed : kSwapCompensationFree);
    TrimLineEnd(line);
    return count;
}
