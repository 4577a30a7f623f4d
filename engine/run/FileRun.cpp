#include "FileRun.h"

#include "ByteScan.h"
#include "FormatMarks.h"
#include "LineReader.h"
#include "MirrorModes.h"
#include "NcMirror.h"
#include "NumberText.h"
#include "SafeOutput.h"
#include "ShortCopy.h"
#include "SinkRun.h"

#include <array>
#include <cstring>

// What holds for every line of one pass.
struct BlockRules {
    const MirrorMode* mode = nullptr;
    bool positioned = false;  // about a position: G90 and G91 change what a word becomes
    bool axisPositioned[2] = {};  // X and I, Y and J: the position is not 0
    PlainTwice twice[2];          // 2A and 2B for the plain writer (not usable: its words go aside)
    const PositionState* state = nullptr;  // the run's distance and arc-centre modes
    bool open = false;        // the format is not settled yet (mirrored as fixed width)
    bool fixedWidth = false;
    unsigned wanted = 0;      // the letters to negate
    unsigned centres = 0;     // the centre letters of the axes the mode negates
};


// Room in the output buffer that the sweep writes lines into, handed back
// to the output before anything else writes there.
class OutputRoom {
public:
    explicit OutputRoom(SafeOutput& output) : m_output(output) {}
    ~OutputRoom() { Release(); }

    // At least `size` bytes at Pos(), or false.
    bool Reserve(std::size_t size)
    {
        if (static_cast<std::size_t>(m_pEnd - m_pPos) >= size)
            return true;
        Release();
        m_pBegin = m_pPos = m_output.Space(SafeOutput::kMaxSpace);
        m_pEnd = m_pPos ? m_pPos + SafeOutput::kMaxSpace : nullptr;
        return m_pPos && size <= SafeOutput::kMaxSpace;
    }
    char*& Pos() { return m_pPos; }
    // The bytes written so far go to the output.
    void Release()
    {
        if (m_pBegin)
            m_output.Used(static_cast<std::size_t>(m_pPos - m_pBegin));
        m_pBegin = m_pPos = m_pEnd = nullptr;
    }

private:
    SafeOutput& m_output;
    char* m_pBegin = nullptr;
    char* m_pPos = nullptr;
    char* m_pEnd = nullptr;
};

namespace {

// Classes of a byte for the sweep, as bits.
enum : unsigned short {
    kX = 0x01,
    kY = 0x02,
    kI = 0x04,
    kJ = 0x08,
    kZ = 0x10,
    kK = 0x20,
    kCoordinates = 0x3F,
    kLineEnd = 0x40,  // '\n'
    kAside = 0x80,    // sends its line to the line-by-line mirror
    kPoint = 0x100,   // '.': free format (looked at while the format is open)
    kG = 0x200,       // a G word: the line stays plain when its codes change nothing
};

constexpr std::array<unsigned short, 256> MakeClasses()
{
    std::array<unsigned short, 256> classes{};
    const char letters[] = "XYIJZK";  // kFormatLetters, in the order of the slots
    for (int i = 0; i < 6; ++i)
        classes[static_cast<unsigned char>(letters[i])] = static_cast<unsigned short>(1u << i);
    classes['\n'] = kLineEnd;
    // Skip characters, NUL bytes, and what may start a finding.
    classes['G'] = kG;
    classes[0] = kAside;
    for (const char* c = kSkipChars; *c; ++c)
        classes[static_cast<unsigned char>(*c)] = kAside;
    for (const char* c = kCheckTriggers; *c; ++c)
        classes[static_cast<unsigned char>(*c)] = kAside;
    classes['.'] = kPoint;
    return classes;
}

constexpr std::array<unsigned short, 256> kClasses = MakeClasses();

unsigned ClassOf(char c) { return kClasses[static_cast<unsigned char>(c)]; }

// Slot of a coordinate letter's bit: X 0, Y 1, I 2, J 3, Z 4, K 5.
int SlotOf(unsigned bit) { return LowestBit(bit); }

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Longest line the sweep writes itself; longer ones go line by line.
constexpr std::size_t kMaxPlainLine = 4096;

// G words a plain line may hold.
constexpr int kMaxPlainG = 4;

// What the sweep noted of one line.
struct LineNotes {
    unsigned seen = 0;                 // coordinate letters met
    const char* value[6] = {};         // value text of each letter's first word
    const char* valueEnd[6] = {};
    int gCount = 0;                    // G words met
    const char* g[kMaxPlainG] = {};    // their value texts
    const char* gEnd[kMaxPlainG] = {};
    bool aside = false;                // the line goes line by line
    bool point = false;                // a '.' (only looked for while the format is open)
};

// A G number that changes nothing a plain line's writing does not do: no
// swap (an arc direction or compensation side only where the mode keeps the
// plane's sense), no plane change, nothing that changes what is negated
// (G53, G10, G51, G68), nothing the check reads.
bool IsInertCode(int code, bool planeReversed, int plane, bool positioned)
{
    switch (code) {
    case 0: case 1: case 4: case 20: case 21: case 40: case 49: case 54: case 55: case 56: case 57: case 58:
    case 59: case 61: case 64: case 80: case 81: case 82: case 83: case 84: case 85: case 86: case 88: case 89:
    case 94: case 95: case 98: case 99:
        return true;
    case 90: case 91: return !positioned;  // about a position, the distance mode matters
    case 2: case 3: case 41: case 42: return !planeReversed;
    case 17: case 18: case 19: return code == plane;
    default: return false;
    }
}

}  // namespace

// IsInertCode for the codes 0 to 99 in one plane of one mode, as a table
// made again only when the plane changes.
class CInertCodes {
public:
    CInertCodes(const MirrorMode& mode, bool positioned) : m_mode(mode), m_bPositioned(positioned) {}
    const bool* For(int plane)
    {
        if (plane != m_nPlane) {
            m_nPlane = plane;
            const bool reversed = ReversesPlane(m_mode, plane);
            for (int code = 0; code < 100; ++code)
                m_inert[code] = IsInertCode(code, reversed, plane, m_bPositioned);
        }
        return m_inert;
    }

private:
    const MirrorMode& m_mode;
    bool m_bPositioned;
    int m_nPlane = 0;
    bool m_inert[100] = {};
};

namespace {

// True when every G word of the line is a plain code ('1', '01 ') that the
// table lets pass; a first G without a value text, a code with a point or a
// sign, and an arc centre in Z (a lathe's arc, which the check reads) send
// the line aside.
bool InertGWords(const LineNotes& notes, const bool* inert)
{
    if (notes.seen & kK)
        return false;
    for (int k = 0; k < notes.gCount; ++k) {
        const char* p = notes.g[k];
        const char* const end = notes.gEnd[k];
        if (p == end || *p < '0' || *p > '9')
            return false;
        int code = *p++ - '0';
        if (p < end && *p >= '0' && *p <= '9')
            code = code * 10 + (*p++ - '0');
        while (p < end && *p == ' ')
            ++p;
        if (p != end || !inert[code])
            return false;
    }
    return true;
}


// A pass's result when the run must start over in free format.
constexpr long long kStartOver = -100;


// Copies [from, to) to `out`; the position after it.
char* Put(char* out, const char* from, const char* to)
{
    return CopyShort(out, from, static_cast<std::size_t>(to - from));
}

// False when a line must go aside although the sweep met nothing that sends
// it there: a program number, an end to trim, a mark of free format while
// the format is open, a signed fixed-width centre.
bool IsPlainLine(const char* line, const char* end, const LineNotes& notes, const BlockRules& rules)
{
    // 1. Lines that start a program, and ends the trim would change.
    const char* first = line;
    while (*first == ' ')
        ++first;
    if (*first == 'O')
        return false;
    const char* last = end - 1;  // the '\n'
    if (last > line && last[-1] == '\r')
        --last;
    if (last > line && IsTrimmedAtEnd(last[-1]))
        return false;

    // 2. While the format is open: a point, or a coordinate word that is not
    //    seven characters wide, shows free format.
    if (rules.open) {
        if (notes.point)
            return false;
        for (unsigned seen = notes.seen; seen != 0; seen &= seen - 1) {
            const int slot = LowestBit(seen);
            const std::size_t n = static_cast<std::size_t>(notes.valueEnd[slot] - notes.value[slot]);
            if (n != 0 && n != kFixedValueWidth)
                return false;
        }
    }

    // 3. Fixed-width centres are never negated; a signed one is a finding.
    if (rules.fixedWidth) {
        for (unsigned centres = rules.centres & notes.seen; centres != 0; centres &= centres - 1) {
            const int slot = LowestBit(centres);
            const char* p = notes.value[slot];
            while (p < notes.valueEnd[slot] && *p == ' ')
                ++p;
            if (p < notes.valueEnd[slot] && *p == '-')
                return false;
        }
    }
    return true;
}

// 2A (2B) for the word of `slot` when it becomes 2A - v: its axis has a
// position and the word is absolute in the run's modes; null when it is
// negated as about the axis.
const PlainTwice* PositionOf(const BlockRules& rules, int slot)
{
    if (!rules.positioned)
        return nullptr;
    const bool centre = slot == 2 || slot == 3;  // I, J
    const int axis = slot % 2;  // X and I: 0, Y and J: 1
    const bool absolute = centre ? rules.state->centresAbsolute : rules.state->absolute;
    return rules.axisPositioned[axis] && absolute ? &rules.twice[axis] : nullptr;
}

// Writes a plain line with its words negated, or says false when it must
// go aside (IsPlainLine, or a word with no plain number). Nothing is
// written then.
bool WritePlainLine(const char* line, const char* end, const LineNotes& notes, const BlockRules& rules,
                    OutputRoom& room, long long& count, std::string_view& written)
{
    if (!IsPlainLine(line, end, notes, rules))
        return false;
    const char* last = end - 1;  // the '\n', or the '\r' before it
    if (last > line && last[-1] == '\r')
        --last;

    // 4. The first word of each letter to negate, in the order of the line.
    const char* words[4];
    const char* wordEnds[4];
    int slots[4];
    int changes = 0;
    for (unsigned wanted = rules.wanted & notes.seen; wanted != 0; wanted &= wanted - 1) {
        const int slot = LowestBit(wanted);
        if (notes.value[slot] == notes.valueEnd[slot])
            continue;
        int k = changes++;
        for (; k > 0 && words[k - 1] > notes.value[slot]; --k) {
            words[k] = words[k - 1];
            wordEnds[k] = wordEnds[k - 1];
            slots[k] = slots[k - 1];
        }
        words[k] = notes.value[slot];
        wordEnds[k] = notes.valueEnd[slot];
        slots[k] = slot;
    }

    // 5. The line with its negated words, straight into the output buffer.
    //    A rewritten word is followed by one blank on a line that has one,
    //    none before the line's end.
    const std::size_t size = static_cast<std::size_t>(end - line);
    if (!room.Reserve(size + 4 * (kMaxNegatedPlain + 1)))
        return false;
    char* out = room.Pos();
    const char* from = line;
    int spaced = -1;  // not known yet
    for (int k = 0; k < changes; ++k) {
        out = Put(out, from, words[k]);
        const std::string_view value(words[k], static_cast<std::size_t>(wordEnds[k] - words[k]));
        const PlainTwice* twice = rules.positioned ? PositionOf(rules, slots[k]) : nullptr;
        const std::size_t n = twice ? PositionPlainNumber(value, *twice, rules.fixedWidth, out)
                                    : NegatePlainNumber(value, rules.fixedWidth, out);
        if (n == 0)
            return false;  // nothing used: the line goes aside
        out += n;
        if (wordEnds[k] != last) {
            if (spaced < 0)
                spaced = wordEnds[k][-1] == ' ' || std::memchr(line, ' ', size) != nullptr;
            if (spaced)
                *out++ = ' ';
        }
        from = wordEnds[k];
    }
    out = Put(out, from, end);
    written = std::string_view(room.Pos(), static_cast<std::size_t>(out - room.Pos()));
    room.Pos() = out;
    count += changes;
    return true;
}


// The rules of a pass of `mode`: with the format `open`, or settled.
BlockRules RulesOf(const MirrorMode& mode, bool open, bool fixedWidth, const MirrorPosition& position,
                   const PositionState& state)
{
    BlockRules rules;
    rules.positioned = position.Any();
    rules.state = &state;
    // A position of 0 is the axis.
    for (int axis = 0; axis < 2; ++axis) {
        const ExactDecimal& at = axis == 0 ? position.x : position.y;
        rules.axisPositioned[axis] = !IsZero(at);
        rules.twice[axis] = PlainTwiceOf(at);
    }
    rules.mode = &mode;
    rules.open = open;
    rules.fixedWidth = fixedWidth;
    for (const char* letter = fixedWidth ? mode.fixedLetters : mode.freeLetters; *letter; ++letter)
        rules.wanted |= ClassOf(*letter) & kCoordinates;
    rules.centres = (mode.negatesX ? kI : 0) | (mode.negatesY ? kJ : 0);
    return rules;
}

}  // namespace

long long CFileRun::Run(const MirrorMode& mode, const MirrorPosition& position, int& formatCount)
{
    m_pPosition = &position;
    // An observer must see each line once, and a positioned word is printed
    // by the format it is in: the format is settled by a scan first, which
    // ends at the first mark of free format.
    if (m_pObserver || position.Any()) {
        m_nFormatCount = ScanFormatMarks(m_reader, true);
        formatCount = m_nFormatCount;
        if (m_nFormatCount < 0 || !m_reader.Rewind())
            return kMirrorSourceError;
        m_step.Begin(mode, m_nFormatCount == 0, &position);
        if (m_pObserver)
            m_pObserver->BeginLines(m_nFormatCount);
        const long long count = Pass<true>(RulesOf(mode, false, m_nFormatCount == 0, position, m_step.State()));
        if (count >= 0)
            m_step.End();
        return count;
    }

    // Otherwise the format stays open (mirrored as fixed width) until a mark
    // of free format; then the run starts over in free format.
    m_nFormatCount = 0;
    for (bool open = true;; open = false) {
        m_step.Begin(mode, m_nFormatCount == 0, &position);
        m_nLineNo = 0;
        const long long count = open ? Pass<false>(RulesOf(mode, true, true, position, m_step.State()))
                                     : Pass<true>(RulesOf(mode, false, m_nFormatCount == 0, position, m_step.State()));
        formatCount = m_nFormatCount;
        if (count != kStartOver) {
            if (count >= 0)
                m_step.End();
            return count;
        }
        if (!m_reader.Rewind())
            return kMirrorSourceError;
        if (!m_output.Restart())
            return kMirrorDestinationError;
    }
}

long long CFileRun::LineAside(std::string_view line, const char* limit, long long lineNo, bool open,
                              bool carriageReturn)
{
    // While the format is open a mark of free format starts the run over.
    if (open) {
        const int marks = FreeFormatMarks(line);
        if (marks > 0) {
            m_nFormatCount = marks;
            return kStartOver;
        }
    }
    const MirroredLine mirrored = m_step.Mirror(line, limit, lineNo, carriageReturn);
    if (mirrored.overflow)
        return kMirrorPositionError;
    if (!m_output.Write(mirrored.mirrored.data(), mirrored.mirrored.size()))
        return kMirrorDestinationError;
    if (m_pObserver && !m_pObserver->Line(mirrored.source, mirrored.mirrored))
        return kMirrorDestinationError;
    return mirrored.count;
}

template <bool pointIsValue>
long long CFileRun::Pass(const BlockRules& rules)
{
    long long count = 0;
    OutputRoom room(m_output);
    const char* begin = nullptr;
    const char* end = nullptr;
    for (;;) {
        // A program whose lines end in '\r' goes line by line.
        if (m_reader.CarriageReturnLines()) {
            std::string_view read;
            if (!m_reader.NextLine(read))
                break;
            const long long n = LineAside(read, m_reader.ReadableEnd(read), ++m_nLineNo, rules.open, true);
            if (n < 0)
                return n;
            count += n;
            continue;
        }
        if (!m_reader.Peek(begin, end))
            break;
        // 1. Every line that ends in this buffer.
        const char* const line = SweepBuffer<pointIsValue>(rules, begin, end, room, count);
        if (!line)
            return m_nFailure;
        m_reader.Skip(static_cast<std::size_t>(line - begin));

        // 2. A line that does not end in the buffer (a long one, or the last
        //    one without a line end) is gathered whole and goes aside.
        if (line == begin) {
            room.Release();
            std::string_view read;
            if (!m_reader.NextLine(read))
                break;
            const long long n = LineAside(read, m_reader.ReadableEnd(read), ++m_nLineNo, rules.open,
                                          m_reader.CarriageReturnLines());
            if (n < 0)
                return n;
            count += n;
        }
    }
    room.Release();
    // A source still being written (a post-processor) gives no output.
    if (m_reader.Failed() || !m_reader.CheckUnchanged())
        return kMirrorSourceError;
    return count;
}

template <bool pointIsValue>
const char* CFileRun::SweepBuffer(const BlockRules& rules, const char* begin, const char* end, OutputRoom& room,
                                  long long& count)
{
    // Z matters only for the format, K for it and for an arc's centre; '.'
    // only while the format is open.
    const unsigned noted = rules.open ? kCoordinates : kX | kY | kI | kJ | kK;
    const unsigned notable = noted | kLineEnd | kAside | kG | (rules.open ? kPoint : 0);
    const char* line = begin;
    LineNotes notes;
    CInertCodes inertCodes(*rules.mode, rules.positioned);
    CNonValueBytes<pointIsValue> bytes(begin, end);
    for (;;) {
        const char* const at = bytes.Next();
        if (at >= end)
            return line;
        const unsigned cls = ClassOf(*at) & notable;
        if (cls == 0)
            continue;
        if (cls & kLineEnd) {
            const std::string_view whole(line, static_cast<std::size_t>(at + 1 - line));
            std::string_view written;
            ++m_nLineNo;
            const bool plain = !notes.aside && whole.size() - 1 < kMaxPlainLine &&
                               (notes.gCount == 0 || InertGWords(notes, inertCodes.For(m_step.Plane()))) &&
                               WritePlainLine(line, at + 1, notes, rules, room, count, written);
            if (plain)
                m_step.SeePlainLine(whole, (notes.seen & kY) != 0);
            if (plain && m_pObserver && !m_pObserver->Line(whole, written)) {
                m_nFailure = kMirrorDestinationError;
                return nullptr;
            }
            if (!plain) {
                room.Release();
                const long long n = LineAside(whole, end, m_nLineNo, rules.open, false);
                if (n < 0) {
                    m_nFailure = n;
                    return nullptr;
                }
                count += n;
            }
            line = at + 1;
            notes.seen = 0;
            notes.gCount = 0;
            notes.aside = notes.point = false;
            continue;
        }
        // Coordinate letters are the most common stops: first.
        if (cls & kCoordinates) {
            if (notes.seen & cls) {
                notes.aside = notes.aside || (cls & rules.wanted);  // a later word of a letter to negate
            } else {
                notes.seen |= cls;
                const int slot = SlotOf(cls);
                notes.value[slot] = at + 1;
                notes.valueEnd[slot] = bytes.Peek();
                // A letter to negate right after another letter is part of a word.
                notes.aside = notes.aside || ((cls & rules.wanted) && at > line && IsAsciiLetter(at[-1]));
            }
        } else if (cls & kG) {
            if (notes.gCount < kMaxPlainG) {
                notes.g[notes.gCount] = at + 1;
                notes.gEnd[notes.gCount++] = bytes.Peek();
            } else {
                notes.aside = true;
            }
        } else if (cls & kAside) {
            notes.aside = true;
        } else {
            notes.point = true;
        }
    }
}
