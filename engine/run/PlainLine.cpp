#include "PlainLine.h"

#include "NumberText.h"
#include "ShortCopy.h"

#include <cstring>

namespace {

// A G number that changes nothing a plain line's writing does not do: no
// swap but an arc direction where the mode reverses the plane's sense (a
// compensation side goes aside), no plane change, nothing that changes what
// is negated (G53, G10, G51, G68), nothing the check reads.
PlainCode ClassOfCode(int code, bool planeReversed, int plane, bool positioned)
{
    switch (code) {
    case 0: case 1: case 4: case 20: case 21: case 40: case 49: case 54: case 55: case 56: case 57: case 58:
    case 59: case 61: case 64: case 80: case 81: case 82: case 83: case 84: case 85: case 86: case 88: case 89:
    case 94: case 95: case 98: case 99:
        return PlainCode::Inert;
    case 90: case 91:  // about a position, the distance mode matters
        return positioned ? PlainCode::Aside : PlainCode::Inert;
    case 2: case 3: return planeReversed ? PlainCode::SwapArc : PlainCode::Inert;
    case 41: case 42: return planeReversed ? PlainCode::Aside : PlainCode::Inert;
    case 17: case 18: case 19: return code == plane ? PlainCode::Inert : PlainCode::Aside;
    default: return PlainCode::Aside;
    }
}

}  // namespace

const PlainCode* CPlainCodes::For(int plane)
{
    if (plane != m_nPlane) {
        m_nPlane = plane;
        const bool reversed = ReversesPlane(m_mode, plane);
        for (int code = 0; code < 100; ++code)
            m_codes[code] = ClassOfCode(code, reversed, plane, m_bPositioned);
    }
    return m_codes;
}

bool CodesAllow(LineNotes& notes, const PlainCode* codes)
{
    for (int k = 0; k < notes.gCount; ++k) {
        const PlainCode plain = codes[notes.code[k]];
        if (plain == PlainCode::Aside)
            return false;
        if (plain == PlainCode::SwapArc)
            notes.swaps |= 1u << k;
    }
    return true;
}

namespace {

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

// Reads each G word's code into the notes: a plain code ('1', '01 '), else false.
bool ParseGCodes(LineNotes& notes)
{
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
        if (p != end)
            return false;
        notes.code[k] = static_cast<unsigned char>(code);
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

// One change a plain line's writing makes: a coordinate word's value text
// rewritten, or an arc's G value text (its blanks included) replaced.
struct Edit {
    const char* begin;
    const char* end;
    int slot;  // the coordinate's slot; kArcSwap for a G word
};
constexpr int kArcSwap = -1;

// The edits of a line in the order of the line: the first word of each
// letter to negate, and the arc swaps. Their count.
int EditsOf(const LineNotes& notes, const BlockRules& rules, Edit* edits)
{
    int n = 0;
    const auto add = [&](const char* begin, const char* end, int slot) {
        int k = n++;
        for (; k > 0 && edits[k - 1].begin > begin; --k)
            edits[k] = edits[k - 1];
        edits[k] = {begin, end, slot};
    };
    for (unsigned wanted = rules.wanted & notes.seen; wanted != 0; wanted &= wanted - 1) {
        const int slot = LowestBit(wanted);
        if (notes.value[slot] != notes.valueEnd[slot])
            add(notes.value[slot], notes.valueEnd[slot], slot);
    }
    for (unsigned swaps = notes.swaps; swaps != 0; swaps &= swaps - 1) {
        const int k = LowestBit(swaps);
        add(notes.g[k], notes.gEnd[k], kArcSwap);
    }
    return n;
}

// True when the line as the swaps leave it holds a blank: one outside the
// arcs' G value texts, whose blanks go with them.
bool HoldsBlank(const char* line, const char* end, const Edit* edits, int count)
{
    const char* from = line;
    for (int k = 0; k < count; ++k) {
        if (edits[k].slot != kArcSwap)
            continue;
        if (std::memchr(from, ' ', static_cast<std::size_t>(edits[k].begin - from)))
            return true;
        from = edits[k].end;
    }
    return std::memchr(from, ' ', static_cast<std::size_t>(end - from)) != nullptr;
}

}  // namespace

void SettleNotes(const char* line, const char* end, const BlockRules& rules, LineNotes& notes)
{
    notes.aside = notes.aside || static_cast<std::size_t>(end - line) > kMaxPlainLine ||
                  (notes.gCount > 0 && (notes.seen & kK)) ||
                  !IsPlainLine(line, end, notes, rules) || !ParseGCodes(notes);
}

bool WritePlainLine(const char* line, const char* end, const char* limit, const LineNotes& notes,
                    const BlockRules& rules, OutputRoom& room, long long& count, std::string_view& written)
{
    const char* last = end - 1;  // the '\n', or the '\r' before it
    if (last > line && last[-1] == '\r')
        --last;

    // 4. The edits, in the order of the line.
    Edit edits[4 + kMaxPlainG];
    const int changes = EditsOf(notes, rules, edits);

    // 5. The line with its edits, straight into the output buffer. A G2 or
    //    G3 becomes '03' or '02' in place of its whole value text. A
    //    rewritten word is followed by one blank on a line that (once the
    //    swaps are made) has one, none before the line's end.
    const std::size_t size = static_cast<std::size_t>(end - line);
    if (!room.Reserve(size + 4 * (kMaxNegatedPlain + 1) + 2 * kMaxPlainG))
        return false;
    char* out = room.Pos();
    const char* from = line;
    int spaced = -1;  // not known yet
    for (int k = 0; k < changes; ++k) {
        const Edit& edit = edits[k];
        out = Put(out, from, edit.begin);
        from = edit.end;
        if (edit.slot == kArcSwap) {
            // The value text is '2', '3', '02' or '03' (and blanks).
            const char code = edit.begin[0] == '0' ? edit.begin[1] : edit.begin[0];
            out[0] = '0';
            out[1] = code == '2' ? '3' : '2';
            out += 2;
            continue;
        }
        const std::string_view value(edit.begin, static_cast<std::size_t>(edit.end - edit.begin));
        const PlainTwice* twice = rules.positioned ? PositionOf(rules, edit.slot) : nullptr;
        std::size_t n = 0;
        if (twice)
            n = PositionPlainNumber(value, *twice, rules.fixedWidth, out);
        else if (rules.fixedWidth || (n = NegateCommonDecimal(edit.begin, edit.end, limit, out)) == 0)
            n = NegatePlainNumber(value, rules.fixedWidth, out);
        if (n == 0)
            return false;  // nothing used: the line goes aside
        out += n;
        if (edit.end != last) {
            if (spaced < 0)
                spaced = edit.end[-1] == ' ' || HoldsBlank(line, end, edits, changes);
            if (spaced)
                *out++ = ' ';
        }
    }
    out = Put(out, from, end);
    written = std::string_view(room.Pos(), static_cast<std::size_t>(out - room.Pos()));
    room.Pos() = out;
    count += changes;
    return true;
}
