// Plain lines: the lines the file run's buffer sweep writes itself, with
// their first X, Y, I or J words negated (or reflected about a position)
// and their arc directions swapped, straight into the output buffer. What
// the sweep notes of a line, the rules of a pass, which G codes a plain
// line may hold, and the writer (internal to the file run).
#pragma once

#include "ByteScan.h"
#include "MirrorModes.h"
#include "PositionWords.h"
#include "SafeOutput.h"

#include <array>
#include <string_view>

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
    kG = 0x200,       // a G word: the line stays plain when its codes allow it
};

constexpr std::array<unsigned short, 256> MakeSweepClasses()
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

constexpr std::array<unsigned short, 256> kSweepClasses = MakeSweepClasses();

inline unsigned ClassOf(char c) { return kSweepClasses[static_cast<unsigned char>(c)]; }

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
    unsigned char code[kMaxPlainG] = {};  // their codes, once the notes are settled
    unsigned swaps = 0;                // the G words (bit k: g[k]) whose arc direction swaps
    bool aside = false;                // the line goes line by line
    bool point = false;                // a '.' (only looked for while the format is open)

    // Ready for the next line (the texts are read only for letters seen).
    void Clear()
    {
        seen = 0;
        gCount = 0;
        swaps = 0;
        aside = point = false;
    }
};

// What a G code asks of a plain line.
enum class PlainCode : unsigned char {
    Aside,    // the line goes line by line
    Inert,    // nothing
    SwapArc,  // G2 <-> G3: the mode reverses the plane's sense
};

// The class of each of the codes 0 to 99 in one plane of one mode, made
// again only when the plane changes.
class CPlainCodes {
public:
    CPlainCodes(const MirrorMode& mode, bool positioned) : m_mode(mode), m_bPositioned(positioned) {}
    const PlainCode* For(int plane);

private:
    const MirrorMode& m_mode;
    bool m_bPositioned;
    int m_nPlane = 0;
    PlainCode m_codes[100] = {};
};

// Settles the notes of the line [line, end) at its end: it goes aside when
// it is too long, starts a program, has an end to trim, shows free format
// while the format is open, holds a signed fixed-width centre, an arc
// centre in Z (a lathe's arc, which the check reads), or a G word that is
// not a plain code ('1', '01 '; a first G without a value text, a code
// with a point or a sign). Depends on the pass's rules only.
void SettleNotes(const char* line, const char* end, const BlockRules& rules, LineNotes& notes);

// True when the codes of a settled line's G words let it stay plain in the
// plane whose classes are `codes`; notes the arc swaps.
bool CodesAllow(LineNotes& notes, const PlainCode* codes);

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

// Longest line the sweep writes itself; longer ones go line by line.
constexpr std::size_t kMaxPlainLine = 4096;

// Writes the plain line [line, end) (its '\n' included, its notes settled
// and allowed; bytes up to `limit` may be read) with its words negated and its arcs swapped, adding the
// changes to `count` and viewing the written bytes in `written`; or says
// false when it must go aside after all (a word with no plain number).
// Nothing is written then.
bool WritePlainLine(const char* line, const char* end, const char* limit, const LineNotes& notes,
                    const BlockRules& rules, OutputRoom& room, long long& count, std::string_view& written);
