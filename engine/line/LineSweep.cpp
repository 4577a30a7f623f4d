// The one-sweep mirror of a line, as numbered steps over the words of the
// line (SweptLine): scan the words, find the end, read the G codes, note the
// swaps, note the negations, write the changes.
#include "LineSweep.h"

#include "ByteScan.h"
#include "LineOperations.h"
#include "MirrorModes.h"
#include "NumberText.h"

#include <array>
#include <cstring>

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
    kStop = 0x40,      // '\n' or NUL: the end of the line, or a byte inside it
    kLetterR = 0x80,   // a rotation's angle on a G68 line
    kSuspect = 0x100,  // may start a finding of the check (kCheckTriggers, kCheckTriggersWithG)
    kNotable = 0x1FF,  // everything the sweep stops at
};

constexpr std::array<unsigned short, 256> MakeByteClasses()
{
    std::array<unsigned short, 256> classes{};
    classes['X'] = kLetterX;
    classes['Y'] = kLetterY;
    classes['I'] = kLetterI;
    classes['J'] = kLetterJ;
    classes['G'] = kLetterG;
    classes['R'] = kLetterR;
    for (const char* c = kSkipChars; *c; ++c)
        classes[static_cast<unsigned char>(*c)] = kSkipChar;
    classes[0] = kStop;
    classes['\n'] = kStop;
    for (const char* c = kCheckTriggers; *c; ++c)
        classes[static_cast<unsigned char>(*c)] = kSuspect;
    for (const char* c = kCheckTriggersWithG; *c; ++c)
        classes[static_cast<unsigned char>(*c)] = kSuspect;
    return classes;
}

constexpr std::array<unsigned short, 256> kByteClasses = MakeByteClasses();

unsigned ClassOf(char c) { return kByteClasses[static_cast<unsigned char>(c)]; }

// Slot of a letter's bit: X 0, Y 1, I 2, J 3, R 4.
int LetterSlot(unsigned bit)
{
    return bit == kLetterX ? 0 : bit == kLetterY ? 1 : bit == kLetterI ? 2 : bit == kLetterJ ? 3 : 4;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// G numbers that only the check reads: G16 polar coordinates, G43 tool
// length, G65 and G66 calls, G68 rotations, the cycles whose I and J are no
// positions (G12, G13, G70-G72, G76, G87).
bool IsCheckedCode(double number)
{
    return number == 16 || number == 43 || number == 65 || number == 66 || (number >= 68 && number < 69) ||
           number == 12 || number == 13 || number == 70 || number == 71 || number == 72 || number == 76 ||
           number == 87;
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

// The G number that replaces `number` under a swap type, in tenths (G03:
// 30, G42.1: 421), or 0 for none.
int SwappedTenths(int type, double number)
{
    double swapped = 0;
    int decimals = 0;
    if (!SwappedCode(type, number, swapped, decimals))
        return 0;
    return static_cast<int>(swapped * 10 + 0.5);
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

// A change of one value text: a new G number, a negated number, or the
// sign of a variable or an expression toggled.
struct Change {
    enum Kind : unsigned char { Code, Negate, Toggle };
    std::size_t pos;   // first character of the value text
    std::size_t size;  // its length
    Kind kind;
    int slot;             // Negate, Toggle: the letter's slot (X 0, Y 1, I 2, J 3, R 4)
    int tenths;           // Code: the new G number in tenths ("%02.0f", or "%04.1f" when not whole)
    bool beforeNegation;  // an arc swap: done before the coordinates
};

constexpr std::size_t kMaxGWords = 12;

// Longest text that replaces a value text beyond the value text's own
// width: a printed number ("%.16f" of the largest double; more decimals
// come from the value text itself) or a G number.
constexpr std::size_t kMaxPrinted = 330;

char* Put(char* out, const char* text, std::size_t size)
{
    std::memcpy(out, text, size);
    return out + size;
}

// The value text of a variable or an expression with its sign toggled, as
// ToggleExpressionSign does it.
char* PutToggled(char* out, const char* value, std::size_t size)
{
    const char* const end = value + size;
    const char* sign = value;
    while (sign < end && *sign == ' ')
        ++sign;
    if (sign == end) {
        out = Put(out, value, size);
        *out++ = '-';
        return out;
    }
    out = Put(out, value, static_cast<std::size_t>(sign - value));
    if (*sign == '+')
        *out++ = '-';
    return Put(out, sign + 1, static_cast<std::size_t>(end - sign - 1));
}

// Where a line's words end and how it is written: with a blank anywhere, the
// trailing run of blanks and line-end characters goes (never the first
// character) and the line's own end ("\r\n", "\n" or none) comes back.
struct LineEnd {
    std::size_t kept;    // the characters that stay before the end
    std::size_t size;    // the end put back: 0, 1 or 2 characters
    bool rewritten;      // the written line differs from the source
};

LineEnd EndOf(const char* text, std::size_t size, bool spaced)
{
    if (!spaced)
        return LineEnd{size, 0, false};
    std::size_t endSize = 0;
    if (size >= 2 && text[size - 2] == '\r' && text[size - 1] == '\n')
        endSize = 2;
    else if (size >= 1 && text[size - 1] == '\n')
        endSize = 1;
    std::size_t keep = size;
    while (keep > 1 && IsTrimmedAtEnd(text[keep - 1]))
        --keep;
    return LineEnd{keep, endSize, keep + endSize != size};
}

const char kLineEnds[] = "\r\n";

}  // namespace

// What the sweep knows of one line: its words, its end and the changes to
// write.
struct SweptLine {
    std::string_view line;
    const char* limit = nullptr;  // the bytes up to here may be read
    bool fixedWidth = false;
    const char* letters = nullptr;  // the letters to negate, in the mode's order
    unsigned wanted = 0;            // their classes
    // Step 1: the words.
    Word gWords[kMaxGWords] = {};
    std::size_t gCount = 0;
    bool manyGWords = false;  // more G words than the sweep keeps
    bool skipLine = false;
    Word letterWords[5] = {};  // the first word of X, Y, I, J and R
    unsigned seen = 0;         // the letters met
    bool check = false;        // the line may hold a finding
    std::size_t firstBlank = std::string::npos;
    // Step 2: the end.
    LineEnd end = {};
    std::string_view trimmed;  // the line without the end the trim drops
    // Step 3: the G numbers.
    double codes[kMaxGWords] = {};
    bool hasCode[kMaxGWords] = {};
    bool machinePosition = false;  // G53 or G10: no word is negated
    bool preset = false;           // G92: its words are positions
    bool shift = false;            // G52: its words are distances
    bool scaling = false;          // G51: I and J are factors, kept
    bool rotation = false;         // G68: its angle R turns with the plane
    // Steps 4 and 5: the changes, in the order of the line.
    Change changes[kMaxGWords + 4] = {};
    std::size_t changeCount = 0;
    int count = 0;
    bool spaced = false;  // a blank follows each negated word
};

namespace {

// 1. One pass: a skip character ends the work; the G words and the first
//    word of each of X, Y, I and J are noted with their value texts.
//    Whatever could start a finding of the check marks the line for it: a
//    suspect byte, a program number at the start, a second word of a letter
//    to negate, or a first one inside a word. The line ends on a byte that
//    stops every loop (its '\n', or the string's NUL after it), so they need
//    no bounds checks.
void ScanWords(SweptLine& s)
{
    const char* const text = s.line.data();
    const char* const stop = !s.line.empty() && s.line.back() == '\n' ? text + s.line.size() - 1 : text + s.line.size();
    const char* start = text;
    while (*start == ' ')
        ++start;
    s.check = *start == 'O';
    CNonValueBytes<> bytes(text, s.limit ? s.limit : stop + 1);
    for (;;) {
        const char* const at = bytes.Next();
        const unsigned cls = ClassOf(*at);
        if ((cls & kNotable) == 0)
            continue;
        if (cls & kStop) {
            if (at >= stop)
                break;
            continue;  // a NUL or '\n' inside the line itself
        }
        if (cls & kSkipChar) {
            s.skipLine = true;
            break;
        }
        Word* word = nullptr;
        if (cls & kLetterG) {
            if (s.gCount < kMaxGWords)
                word = &s.gWords[s.gCount++];
            else
                s.manyGWords = true;
        } else if (cls & (kLetters | kLetterR) & ~s.seen) {
            s.seen |= cls;
            word = &s.letterWords[LetterSlot(cls)];
            if ((cls & s.wanted) && at > text && IsAsciiLetter(at[-1]))
                s.check = true;
        } else if (cls & (s.wanted | kSuspect)) {
            s.check = true;  // a later word of a letter to negate, or a suspect byte
        }
        if (!word)
            continue;
        word->pos = static_cast<std::size_t>(at + 1 - text);
        word->size = static_cast<std::size_t>(bytes.Peek() - (at + 1));
    }
    const void* blankAt = std::memchr(text, ' ', s.line.size());
    if (blankAt)
        s.firstBlank = static_cast<std::size_t>(static_cast<const char*>(blankAt) - text);
}

// 2. The end. Only blanks and line-end characters at the end go, so the
//    positions stay; a value text that ran into them ends where the kept
//    text ends. '\r' and '\n' are no value characters, so only a trimmed
//    blank matters.
void FindEnd(SweptLine& s)
{
    s.end = EndOf(s.line.data(), s.line.size(), s.firstBlank != std::string::npos);
    const std::size_t kept = s.end.kept;
    if (!s.skipLine && (s.end.rewritten || kept < s.line.size())) {
        for (std::size_t k = 0; k < s.gCount; ++k)
            s.gWords[k].ClipTo(kept);
        for (Word& word : s.letterWords)
            word.ClipTo(kept);
        if (s.firstBlank >= kept)
            s.firstBlank = std::string::npos;
    }
    s.trimmed = std::string_view(s.line.data(), kept);
}

// 4. In a plane that the mode reverses, the arc direction and compensation
//    codes change. The pairs do not overlap, so each word changes at most
//    once.
void NoteSwaps(SweptLine& s, const MirrorMode& mode, int plane)
{
    if (!ReversesPlane(mode, plane))
        return;
    const int compensation = s.fixedWidth ? kSwapCompensationFixed : kSwapCompensationFree;
    for (std::size_t k = 0; k < s.gCount; ++k) {
        if (!s.hasCode[k])
            continue;
        int tenths = SwappedTenths(kSwapArcDirection, s.codes[k]);
        const bool arc = tenths != 0;
        if (!arc)
            tenths = SwappedTenths(compensation, s.codes[k]);
        if (tenths == 0)
            continue;
        s.changes[s.changeCount++] = Change{s.gWords[k].pos, s.gWords[k].size, Change::Code, 0, tenths, arc};
        ++s.count;
    }
}

// A fixed-width centre that the mode would negate but never does is wrong
// when it carries a '-': a finding for the check.
void CheckFixedCentres(SweptLine& s, const MirrorMode& mode)
{
    if (!s.fixedWidth)
        return;
    for (const unsigned bit : {mode.negatesX ? unsigned{kLetterI} : 0u, mode.negatesY ? unsigned{kLetterJ} : 0u}) {
        if ((s.seen & bit) == 0)
            continue;
        const Word& centre = s.letterWords[LetterSlot(bit)];
        const std::size_t sign = s.trimmed.find_first_not_of(' ', centre.pos);
        if (centre.size > 0 && sign < centre.pos + centre.size && s.trimmed[sign] == '-')
            s.check = true;
    }
}

// 5. The first word of each letter to negate, when it has a value text, in
//    order of position among the changes: none on a G53 or G10 line, no I
//    and J on a G51 line; a variable or an expression gets its sign
//    toggled; the angle of a G68 line whose plane the mode reverses is
//    negated too. The negation's blank rule looks at the line after the arc
//    swap, which drops the blanks inside the value texts it replaces.
void NoteNegations(SweptLine& s, bool planeReversed)
{
    std::size_t blank = s.firstBlank;
    for (std::size_t k = 0; k < s.changeCount && blank != std::string::npos; ++k) {
        const Change& c = s.changes[k];
        if (c.beforeNegation && blank >= c.pos && blank < c.pos + c.size)
            blank = s.trimmed.find(' ', c.pos + c.size);
    }
    s.spaced = blank != std::string::npos;
    if (s.machinePosition)
        return;
    auto note = [&s](const Word& word, Change::Kind kind, int slot) {
        std::size_t k = s.changeCount++;
        for (; k > 0 && s.changes[k - 1].pos > word.pos; --k)
            s.changes[k] = s.changes[k - 1];
        s.changes[k] = Change{word.pos, word.size, kind, slot, 0, false};
        ++s.count;
    };
    for (const char* letter = s.letters; *letter; ++letter) {
        const unsigned bit = ClassOf(*letter) & kLetters;
        if ((s.seen & bit) == 0 || (s.scaling && (bit & (kLetterI | kLetterJ))))
            continue;
        const Word& word = s.letterWords[LetterSlot(bit)];
        if (IsExpressionWord(s.line, word.pos, word.size))
            note(word, Change::Toggle, LetterSlot(bit));
        else if (word.size > 0)
            note(word, Change::Negate, LetterSlot(bit));
    }
    const Word& angle = s.letterWords[LetterSlot(kLetterR)];
    double number = 0;
    if (s.rotation && planeReversed && (s.seen & kLetterR) && angle.size > 0 &&
        ReadNumber(s.trimmed.substr(angle.pos, angle.size), number))
        note(angle, Change::Negate, LetterSlot(kLetterR));
}

}  // namespace

int CLineSweep::MirrorLine(std::string& line, const MirrorMode& mode)
{
    std::string_view result;
    const int count = Mirror(line, mode, result);
    if (result.data() != line.data() || result.size() != line.size())
        CopyLine(line, result.data(), result.size());
    return count;
}

int CLineSweep::Mirror(std::string_view line, const MirrorMode& mode, std::string_view& result, const char* limit)
{
    SweptLine s;
    s.line = line;
    s.limit = limit;
    s.fixedWidth = m_bFixedWidth;
    s.letters = m_bFixedWidth ? mode.fixedLetters : mode.freeLetters;
    for (const char* letter = s.letters; *letter; ++letter)
        s.wanted |= ClassOf(*letter) & kLetters;
    result = line;

    m_notes = PositionNotes();
    if (m_pPosition) {
        // About a line that is not an axis: the sweep where every positioned
        // word is a plain number, else the step operations, every line to
        // the check.
        const int planeBefore = m_nPlane;
        const PositionState stateBefore = m_state;
        int count = 0;
        if (Sweep(s, mode, result, count))
            return count;
        m_nPlane = planeBefore;
        m_state = stateBefore;
        m_bCheckLine = true;
        CopyLine(m_strWork, line.data(), line.size());
        count = MirrorLineByOperations(m_strWork, mode, m_bFixedWidth, m_nPlane, m_state, *m_pPosition, m_notes);
        result = m_strWork;
        return count;
    }
    int count = 0;
    Sweep(s, mode, result, count);
    return count;
}

bool CLineSweep::Sweep(SweptLine& s, const MirrorMode& mode, std::string_view& result, int& count)
{
    const std::string_view line = s.line;
    ScanWords(s);
    if (s.manyGWords) {
        if (m_pPosition)
            return false;
        m_bCheckLine = true;
        CopyLine(m_strWork, line.data(), line.size());
        count = MirrorLineByOperations(m_strWork, mode, m_bFixedWidth, m_nPlane);
        result = m_strWork;
        return true;
    }
    FindEnd(s);
    if (s.skipLine) {
        m_bCheckLine = true;
        KeepLine(s, result);
        return true;
    }
    ReadGCodes(s);
    NoteSwaps(s, mode, m_nPlane);
    CheckFixedCentres(s, mode);
    NoteNegations(s, ReversesPlane(mode, m_nPlane));
    m_bCheckLine = s.check;
    if (s.changeCount == 0) {
        KeepLine(s, result);
        return true;
    }
    if (!WriteChanges(s, result))
        return false;
    count = s.count;
    return true;
}

const PlainTwice* CLineSweep::PositionOf(const SweptLine& s, int slot) const
{
    // X and Y are absolute in G90 and on a G92 line, never on a G52 line; I
    // and J in G90.1. R is never positioned, nor a letter whose position is 0.
    if (!m_pPosition || slot > 3)
        return nullptr;
    const int axis = slot % 2;  // X and I: 0, Y and J: 1
    if (IsZero(axis == 0 ? m_pPosition->x : m_pPosition->y))
        return nullptr;
    const bool absolute = slot >= 2 ? m_state.centresAbsolute : !s.shift && (s.preset || m_state.absolute);
    return absolute ? &m_twice[axis] : nullptr;
}

void CLineSweep::KeepLine(const SweptLine& s, std::string_view& result)
{
    if (!s.end.rewritten)
        return;
    m_strWork.assign(s.line.data(), s.end.kept);
    m_strWork.append(kLineEnds + (2 - s.end.size), s.end.size);
    result = m_strWork;
}

// 3. The G numbers: the plane words of the line set the plane for the line
//    itself. A first G without a value text stops the plane and the swaps;
//    the check reads every G word, whether the swaps look at it or not.
void CLineSweep::ReadGCodes(SweptLine& s)
{
    if (s.gCount > 0 && s.gWords[0].size > 0) {
        for (std::size_t k = 0; k < s.gCount; ++k) {
            const std::size_t n = s.gWords[k].size;
            s.hasCode[k] = n > 0 && ReadCode(s.trimmed.substr(s.gWords[k].pos, n), s.codes[k]);
            if (!s.hasCode[k])
                continue;
            const double code = s.codes[k];
            if (IsPlaneCode(code))
                m_nPlane = static_cast<int>(code);
            else if (IsCheckedCode(code))
                s.check = true;
            s.machinePosition = s.machinePosition || code == 53 || code == 10;
            s.preset = s.preset || code == 92;
            s.shift = s.shift || code == 52;
            // A positioned run's modes: the last word of each group wins.
            if (code == 90 || code == 91)
                m_state.absolute = code == 90;
            else if (code == 90.1 || code == 91.1)
                m_state.centresAbsolute = code == 90.1;
            s.scaling = s.scaling || code == 51;
            s.rotation = s.rotation || code == 68;
        }
        return;
    }
    for (std::size_t k = 0; k < s.gCount && !s.check; ++k) {
        double number = 0;
        s.check = s.gWords[k].size > 0 && ReadCode(s.trimmed.substr(s.gWords[k].pos, s.gWords[k].size), number) &&
                  IsCheckedCode(number);
    }
}

// 6. The line once more, with its changes, into a buffer that only ever
//    grows: no printed number is longer than its value text or 330. False
//    when a positioned word is not a plain number: the step operations
//    write such a line.
bool CLineSweep::WriteChanges(SweptLine& s, std::string_view& result)
{
    const char* const text = s.line.data();
    std::size_t bound = s.line.size();
    for (std::size_t k = 0; k < s.changeCount; ++k)
        bound += s.changes[k].size + kMaxPrinted + 1;
    if (m_strWork.size() < bound)
        m_strWork.resize(bound);
    char* const begin = &m_strWork[0];
    char* out = begin;
    std::size_t copied = 0;
    for (std::size_t k = 0; k < s.changeCount; ++k) {
        const Change& c = s.changes[k];
        out = Put(out, text + copied, c.pos - copied);
        if (c.kind == Change::Code) {
            const int whole = c.tenths / 10;
            *out++ = static_cast<char>('0' + whole / 10);
            *out++ = static_cast<char>('0' + whole % 10);
            if (c.tenths % 10 != 0) {
                *out++ = '.';
                *out++ = static_cast<char>('0' + c.tenths % 10);
            }
        } else if (c.kind == Change::Toggle) {
            if (PositionOf(s, c.slot))
                return false;
            out = PutToggled(out, text + c.pos, c.size);
        } else {
            const std::string_view value(text + c.pos, c.size);
            const PlainTwice* twice = PositionOf(s, c.slot);
            const std::size_t n =
                twice ? PositionPlainNumber(value, *twice, s.fixedWidth, out) : NegatePlainNumber(value, s.fixedWidth, out);
            if (n == 0 && twice)
                return false;
            if (n > 0)
                out += n;
            else if (PrintScaled(-1.0f, value, s.fixedWidth, m_strPrinted))
                out = Put(out, m_strPrinted.data(), m_strPrinted.size());
            else {
                out = Put(out, value.data(), value.size());
                m_bCheckLine = true;  // a value that is not a number
            }
            // The closing end trim would take a blank after the last word
            // again: it is not written.
            if (s.spaced && (k + 1 < s.changeCount || c.pos + c.size < s.end.kept))
                *out++ = ' ';
        }
        copied = c.pos + c.size;
    }
    out = Put(out, text + copied, s.end.kept - copied);
    out = Put(out, kLineEnds + (2 - s.end.size), s.end.size);
    result = std::string_view(begin, static_cast<std::size_t>(out - begin));
    return true;
}
