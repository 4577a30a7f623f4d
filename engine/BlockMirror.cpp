// The mirror run into a file, over whole read buffers. One sweep over the
// bytes that are not value texts finds the line ends and the words of each
// line; a plain line (no G word, no skip character, nothing the check could
// find, a normal end) is written straight into the output buffer with its
// first X, Y, I or J words negated. Every other line goes through the
// line-by-line mirror, which gives the same bytes for plain lines too: the
// sweep only decides which of the two writes a line.
//
// The source is read once: until the first sign of free format the run
// mirrors as fixed width, and at such a sign it starts over in free format
// (a program shows its format in its first coordinates, so the work thrown
// away is small).
#include "NcMirror.h"

#include "ByteScan.h"
#include "LineReader.h"
#include "LineScan.h"
#include "MirrorModes.h"
#include "NumberText.h"
#include "SafeOutput.h"
#include "ShortCopy.h"
#include "WordText.h"

#include <array>
#include <cstring>

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
};

constexpr std::array<unsigned short, 256> MakeClasses()
{
    std::array<unsigned short, 256> classes{};
    const char letters[] = "XYIJZK";
    for (int i = 0; i < 6; ++i)
        classes[static_cast<unsigned char>(letters[i])] = static_cast<unsigned short>(1u << i);
    classes['\n'] = kLineEnd;
    // G words, skip characters, NUL bytes, and what may start a finding.
    for (const char c : {'G', ';', '(', ')', '$', '\0', 'M', '#', '[', ':', 'x', 'y', 'i', 'j'})
        classes[static_cast<unsigned char>(c)] = kAside;
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

// What the sweep noted of one line.
struct LineNotes {
    unsigned seen = 0;                 // coordinate letters met
    const char* value[6] = {};         // value text of each letter's first word
    const char* valueEnd[6] = {};
    bool aside = false;                // the line goes line by line
    bool point = false;                // a '.' (only looked for while the format is open)
};

// What holds for every line of one pass.
struct BlockRules {
    bool open = false;        // the format is not settled yet (mirrored as fixed width)
    bool fixedWidth = false;
    unsigned wanted = 0;      // the letters to negate
    unsigned centres = 0;     // the centre letters of the axes the mode negates
};

// MirrorBuffered's result when the run must start over in free format.
constexpr long long kStartOver = -100;

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

// Copies [from, to) to `out`; the position after it.
char* Put(char* out, const char* from, const char* to)
{
    return CopyShort(out, from, static_cast<std::size_t>(to - from));
}

// Writes a plain line with its words negated, or says false when it must
// go line by line: a word with no plain number, a program number, an end to
// trim, a signed fixed-width centre, a mark of free format while the format
// is open. Nothing is written then.
bool WritePlainLine(const char* line, const char* end, const LineNotes& notes,
                    const BlockRules& rules, OutputRoom& room, long long& count, std::string_view& written)
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
    if (last > line && (last[-1] == ' ' || last[-1] == '\r'))
        return false;

    // 2. While the format is open: a point, or a coordinate word that is not
    //    seven characters wide, shows free format.
    if (rules.open) {
        if (notes.point)
            return false;
        for (unsigned seen = notes.seen; seen != 0; seen &= seen - 1) {
            const int slot = LowestBit(seen);
            const std::size_t n = static_cast<std::size_t>(notes.valueEnd[slot] - notes.value[slot]);
            if (n != 0 && n != 7)
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

    // 4. The first word of each letter to negate, in the order of the line.
    const char* words[4];
    const char* wordEnds[4];
    int changes = 0;
    for (unsigned wanted = rules.wanted & notes.seen; wanted != 0; wanted &= wanted - 1) {
        const int slot = LowestBit(wanted);
        if (notes.value[slot] == notes.valueEnd[slot])
            continue;
        int k = changes++;
        for (; k > 0 && words[k - 1] > notes.value[slot]; --k) {
            words[k] = words[k - 1];
            wordEnds[k] = wordEnds[k - 1];
        }
        words[k] = notes.value[slot];
        wordEnds[k] = notes.valueEnd[slot];
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
        const std::size_t n = NegatePlainNumber(
            std::string_view(words[k], static_cast<std::size_t>(wordEnds[k] - words[k])), rules.fixedWidth, out);
        if (n == 0)
            return false;  // nothing used: the line goes line by line
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

}  // namespace

long long CNcMirror::MirrorLineAside(std::string_view line, const char* limit, const MirrorMode& mode,
                                     long long lineNo, bool open, bool carriageReturn, SafeOutput& output,
                                     CMirrorSink* observer)
{
    // While the format is open a mark of free format starts the run over.
    if (open) {
        const int marks = FreeFormatMarks(line);
        if (marks > 0) {
            m_nFormatCount = marks;
            return kStartOver;
        }
    }
    // The line-by-line mirror needs a '\n' or a NUL after the line.
    std::string_view input = line;
    if (line.empty() || line.back() != '\n') {
        CopyLine(m_strLine, line.data(), line.size());
        input = m_strLine;
        limit = nullptr;
    }
    const int planeBefore = m_nPlane;
    std::string_view mirrored;
    const int count = MirrorLineInto(input, mode, mirrored, limit);
    if (m_bCheckLine)
        m_check.CheckLine(lineNo, line, planeBefore);
    // Lines that end in '\r' are read with a '\n' in its place.
    if (carriageReturn)
        mirrored = WithCarriageReturn(mirrored, m_strMirroredEnded);
    if (!output.Write(mirrored.data(), mirrored.size()))
        return kMirrorDestinationError;
    if (observer && !observer->Line(carriageReturn ? WithCarriageReturn(line, m_strReadEnded) : line, mirrored))
        return kMirrorDestinationError;
    return count;
}

template <bool pointIsValue>
long long CNcMirror::MirrorBuffered(LineReader& reader, const MirrorMode& mode, SafeOutput& output,
                                    CMirrorSink* observer)
{
    BlockRules rules;
    rules.open = !pointIsValue;
    rules.fixedWidth = m_nFormatCount == 0;
    for (const char* letter = rules.fixedWidth ? mode.fixedLetters : mode.freeLetters; *letter; ++letter)
        rules.wanted |= ClassOf(*letter) & kCoordinates;
    rules.centres = (mode.negatesX ? kI : 0) | (mode.negatesY ? kJ : 0);
    // Z and K matter only for the format; '.' only while it is open.
    const unsigned noted = rules.open ? kCoordinates : kX | kY | kI | kJ;
    const unsigned notable = noted | kLineEnd | kAside | (rules.open ? kPoint : 0);

    long long count = 0;
    long long lineNo = 0;
    OutputRoom room(output);
    const char* begin = nullptr;
    const char* end = nullptr;
    for (;;) {
        // A program whose lines end in '\r' goes line by line.
        if (reader.CarriageReturnLines()) {
            std::string_view read;
            if (!reader.NextLine(read))
                break;
            const long long n = MirrorLineAside(read, reader.ReadableEnd(read), mode, ++lineNo, rules.open, true, output,
                                                observer);
            if (n < 0)
                return n;
            count += n;
            continue;
        }
        if (!reader.Peek(begin, end))
            break;
        // 1. Every line that ends in this buffer.
        const char* line = begin;
        LineNotes notes;
        CNonValueBytes<pointIsValue> bytes(begin, end);
        for (;;) {
            const char* const at = bytes.Next();
            if (at >= end)
                break;
            const unsigned cls = ClassOf(*at) & notable;
            if (cls == 0)
                continue;
            if (cls & kLineEnd) {
                ++lineNo;
                std::string_view written;
                const bool plain = !notes.aside && static_cast<std::size_t>(at - line) < kMaxPlainLine &&
                                   WritePlainLine(line, at + 1, notes, rules, room, count, written);
                if (plain && observer &&
                    !observer->Line(std::string_view(line, static_cast<std::size_t>(at + 1 - line)), written))
                    return kMirrorDestinationError;
                if (!plain) {
                    room.Release();
                    const long long n = MirrorLineAside(std::string_view(line, static_cast<std::size_t>(at + 1 - line)),
                                                        end, mode, lineNo, rules.open, false, output, observer);
                    if (n < 0)
                        return n;
                    count += n;
                }
                line = at + 1;
                notes.seen = 0;
                notes.aside = notes.point = false;
                continue;
            }
            if (cls & kAside) {
                notes.aside = true;
            } else if (cls & kPoint) {
                notes.point = true;
            } else if (notes.seen & cls) {
                notes.aside = notes.aside || (cls & rules.wanted);  // a later word of a letter to negate
            } else {
                notes.seen |= cls;
                const int slot = SlotOf(cls);
                notes.value[slot] = at + 1;
                notes.valueEnd[slot] = bytes.Peek();
                // A letter to negate right after another letter is part of a word.
                notes.aside = notes.aside || ((cls & rules.wanted) && at > line && IsAsciiLetter(at[-1]));
            }
        }
        reader.Skip(static_cast<std::size_t>(line - begin));

        // 2. A line that does not end in the buffer (a long one, or the last
        //    one without a line end) is gathered whole and goes line by line.
        if (line == begin) {
            room.Release();
            std::string_view read;
            if (!reader.NextLine(read))
                break;
            const long long n = MirrorLineAside(read, reader.ReadableEnd(read), mode, ++lineNo, rules.open,
                                                reader.CarriageReturnLines(), output, observer);
            if (n < 0)
                return n;
            count += n;
        }
    }
    room.Release();
    // A source still being written (a post-processor) gives no output.
    if (reader.Failed() || !reader.CheckUnchanged())
        return SourceFailed(reader);
    return count;
}

long long CNcMirror::RunToFile(LineReader& reader, const MirrorMode& mode, SafeOutput& output,
                               CMirrorSink* observer)
{
    // An observer must see each line once: the format is settled by a scan
    // first, which ends at the first mark of free format.
    if (observer) {
        m_nFormatCount = ScanLines(reader, true);
        if (m_nFormatCount < 0 || !reader.Rewind())
            return SourceFailed(reader);
        m_nPlane = kPlaneXY;
        m_check.Begin(mode, m_nFormatCount == 0);
        observer->BeginLines(m_nFormatCount);
        const long long count = MirrorBuffered<true>(reader, mode, output, observer);
        if (count >= 0)
            m_check.End();
        return count;
    }

    // Otherwise the format stays open (mirrored as fixed width) until a mark
    // of free format; then the run starts over in free format.
    m_nFormatCount = 0;
    for (bool open = true;; open = false) {
        m_nPlane = kPlaneXY;
        m_check.Begin(mode, m_nFormatCount == 0);
        const long long count = open ? MirrorBuffered<false>(reader, mode, output, nullptr)
                                     : MirrorBuffered<true>(reader, mode, output, nullptr);
        if (count != kStartOver) {
            if (count >= 0)
                m_check.End();
            return count;
        }
        if (!reader.Rewind())
            return SourceFailed(reader);
        if (!output.Restart())
            return kMirrorDestinationError;
    }
}
