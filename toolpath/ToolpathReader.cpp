#include "ToolpathReader.h"

#include "NumberText.h"
#include "Syntax.h"
#include "ValueText.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Classes of the bytes of a line.
enum : unsigned char {
    kOther = 0,   // not read: anything not listed below
    kLetter,      // 'A'..'Z', and ':' (a program number, as 'O')
    kValue,       // a value character: digits, ' ', '+', '-', '.'
    kIgnored,     // '\t', '\r', '\n', '%', '/', '*' (a block end), ^Z (a file end): between words
    kSkip,        // the skip characters: a skip line
};

constexpr std::array<unsigned char, 256> MakeClasses()
{
    std::array<unsigned char, 256> classes{};
    for (int c = 'A'; c <= 'Z'; ++c)
        classes[c] = kLetter;
    classes[':'] = kLetter;
    for (int c = 0; c < 256; ++c)
        if (IsValueChar(static_cast<char>(c)))
            classes[c] = kValue;
    for (const unsigned char c : {'\t', '\r', '\n', '%', '/', '*', '\x1A'})
        classes[c] = kIgnored;
    for (const char* c = kSkipChars; *c; ++c)
        classes[static_cast<unsigned char>(*c)] = kSkip;
    return classes;
}

constexpr std::array<unsigned char, 256> kClasses = MakeClasses();

unsigned ClassOf(char c) { return kClasses[static_cast<unsigned char>(c)]; }
bool IsDigit(char c) { return static_cast<unsigned>(c - '0') < 10; }

int LetterIndex(char letter) { return letter - 'A'; }
unsigned LetterBit(char letter) { return 1u << LetterIndex(letter); }

// Letters whose words may hold a variable or an expression without making
// the line's moves unknown: feed, speed, tool, offsets, M functions.
const unsigned kDataLetters = LetterBit('F') | LetterBit('S') | LetterBit('T') | LetterBit('D') | LetterBit('H') |
                              LetterBit('M');
const unsigned kPlaneWordLetters = LetterBit('X') | LetterBit('Y') | LetterBit('I') | LetterBit('J');

// The end of a variable or an expression at `p`: '#' and digits, a '<...>'
// name or a '[...]' group; a '[...]' group balanced. `p` itself when there
// is none that ends.
const char* ExpressionEnd(const char* p, const char* end)
{
    if (p < end && *p == '#') {
        ++p;
        if (p < end && *p == '<') {
            const void* close = std::memchr(p, '>', static_cast<std::size_t>(end - p));
            return close ? static_cast<const char*>(close) + 1 : p - 1;
        }
        if (p < end && *p != '[') {
            const char* q = p;
            while (q < end && IsDigit(*q))
                ++q;
            return q > p ? q : p - 1;
        }
    }
    if (p < end && *p == '[') {
        int depth = 0;
        for (const char* q = p; q < end; ++q) {
            depth += *q == '[' ? 1 : *q == ']' ? -1 : 0;
            if (depth == 0)
                return q + 1;
        }
    }
    return p;
}

// Why a character outside a word makes a line unreadable.
unsigned UnreadKindOf(char c)
{
    return c == '#' ? kUnreadVariable : c == '[' ? kUnreadExpression : (c >= 'a' && c <= 'z') ? kUnreadLowercase
                                                                                               : kUnreadOther;
}

// Letters whose second word on a line would make the line ambiguous.
const unsigned kSingleLetters = LetterBit('X') | LetterBit('Y') | LetterBit('Z') | LetterBit('I') |
                                LetterBit('J') | LetterBit('K') | LetterBit('R');

const char kAxisLetters[3] = {'X', 'Y', 'Z'};
const char kOffsetLetters[3] = {'I', 'J', 'K'};

// G codes whose line moves nothing, whatever axis words it holds: dwell,
// data input, scaling, local coordinates, macro calls, rotation (also their
// variants such as G68.1).
bool IsNoMoveCode(double number)
{
    switch (static_cast<int>(number)) {
    case 4: case 10: case 11: case 50: case 51: case 52: case 65: case 66: case 68: return true;
    default: return false;
    }
}

// The plane's two axes (0 = X, 1 = Y, 2 = Z).
void PlaneAxes(int plane, int& first, int& second)
{
    first = plane == 19 ? 1 : 0;
    second = plane == 17 ? 1 : 2;
}

}  // namespace

void LineModes::Note(double number)
{
    if (!(number >= 0 && number < 1000))
        return;
    // Truncation is the floor here: a whole number is its own code.
    const int code = static_cast<int>(number);
    if (code != number) {
        if (number == 54.1)
            offset = 541;
        noMove = noMove || IsNoMoveCode(number);
        return;
    }
    switch (code) {
    case 0: case 1: case 2: case 3: motion = code; cycleLast = false; break;
    case 17: case 18: case 19: plane = code; break;
    case 90: case 91: distance = code; break;
    case 15: case 16: polar = code; break;
    case 28: case 30: case 53: case 92: apart = code; break;
    case 54: case 55: case 56: case 57: case 58: case 59: offset = code; break;
    default:
        if (code >= 80 && code <= 89) {
            cycle = code;
            cycleLast = true;
        } else {
            noMove = noMove || IsNoMoveCode(number);
        }
        break;
    }
}

namespace {

// The slot of each letter's value ('A'..'Z'), -1 for letters whose values
// the reader does not use.
constexpr std::array<signed char, 26> MakeSlots()
{
    std::array<signed char, 26> slots{};
    for (signed char& slot : slots)
        slot = -1;
    const char letters[kSlotCount + 1] = "XYZIJKRP";
    for (int i = 0; i < kSlotCount; ++i)
        slots[static_cast<std::size_t>(letters[i] - 'A')] = static_cast<signed char>(i);
    return slots;
}

constexpr std::array<signed char, 26> kSlots = MakeSlots();

bool Has(const ParsedLine& words, char letter) { return (words.present & LetterBit(letter)) != 0; }
double Value(const ParsedLine& words, char letter) { return words.value[kSlots[LetterIndex(letter)]]; }
double Tolerance(const ParsedLine& words, char letter) { return words.tolerance[kSlots[LetterIndex(letter)]]; }

// The first reason a line is not read is the one kept.
void Unread(ParsedLine& words, unsigned kind)
{
    if (words.unread == 0)
        words.unread = kind;
}

// Whether the G words of a line count, as the mirror reads them: not when
// its first G has no value text.
struct GWords {
    bool first = true;   // no G word met yet
    bool count = true;

    // A G word whose value text runs from `value` to `end`, read as the
    // mirror reads G numbers (the number at the start of the text).
    void Note(LineModes& modes, const char* value, const char* end, const ValueText& text)
    {
        if (first && value == end)
            count = false;
        first = false;
        if (!count || value == end)
            return;
        double number = text.value;
        if (text.isNumber || ReadNumber(std::string_view(value, static_cast<std::size_t>(end - value)), number))
            modes.Note(number);
    }
};

}  // namespace

void CToolpathReader::Begin(bool fixedWidth)
{
    *this = CToolpathReader();
    m_bFixedWidth = fixedWidth;
}

void CToolpathReader::SetPosition(const double position[3], unsigned known)
{
    for (int a = 0; a < 3; ++a)
        m_position[a] = position[a];
    m_nKnown = known & kAxisBitsAll;
}

LineKind CToolpathReader::ParseLine(std::string_view line, Words& words)
{
    // 1. A line that only sets a parameter ('#1=2.', '#<speed> = 300') or
    //    names the program ('%', '%_N_PART_MPF') moves nothing.
    const std::size_t first = line.find_first_not_of(" \t");
    if (first != std::string_view::npos && (line[first] == '#' || line[first] == '%') && !IsSkipLine(line))
        return LineKind::Code;

    // 2. One sweep: words are an uppercase letter and its value text. A skip
    //    character anywhere makes a skip line, even after something
    //    unreadable; G words count on a line that is not read too, as the
    //    mirror reads them. A variable or an expression of a feed, speed,
    //    tool, offset or M word is passed over.
    bool read = true;
    GWords gWords;
    const char* p = line.data();
    const char* const end = p + line.size();
    while (p < end) {
        const char c = *p++;
        switch (ClassOf(c)) {
        case kLetter: {
            const ValueText text = ReadValueText(p, end);
            const char letter = c == ':' ? 'O' : c;
            const unsigned bit = LetterBit(letter);
            words.letters |= bit;
            if (c == 'G') {
                gWords.Note(words.modes, p, text.end, text);
                if (!text.isNumber)
                    Unread(words, text.end < end ? UnreadKindOf(*text.end) : kUnreadOther);
                read = read && text.isNumber;
            } else if (!text.isNumber && (bit & kDataLetters) && ExpressionEnd(text.end, end) != text.end) {
                p = ExpressionEnd(text.end, end);
                break;
            } else if (read) {
                const bool repeated = (words.present & bit & kSingleLetters) != 0;
                read = text.isNumber && !repeated;
                if (!read)
                    Unread(words, repeated ? kUnreadRepeated : text.end < end ? UnreadKindOf(*text.end) : kUnreadOther);
                words.present |= bit;
                const int slot = kSlots[LetterIndex(letter)];
                if (slot >= 0) {
                    words.value[slot] = text.value;
                    words.tolerance[slot] = text.tolerance;
                }
            }
            p = text.end;
            break;
        }
        case kIgnored: break;
        case kSkip: return LineKind::Skip;
        case kValue:
            if (c == ' ')
                break;
            [[fallthrough]];
        default:  // digits, signs and points outside a word, unknown characters
            if (read)
                Unread(words, UnreadKindOf(c));
            read = false;
            break;
        }
    }
    return read ? LineKind::Code : LineKind::NotRead;
}

void CToolpathReader::Parse(std::string_view line, ParsedLine& parsed)
{
    // Values are only read where `present` has them: they stay as they are.
    parsed.unread = parsed.present = parsed.letters = parsed.namedAxes = 0;
    parsed.modes = LineModes();
    parsed.kind = ParseLine(line, parsed);
    if (parsed.kind == LineKind::NotRead)
        for (int a = 0; a < 3; ++a)
            if (std::memchr(line.data(), kAxisLetters[a], line.size()))
                parsed.namedAxes |= 1u << a;
}

const LineMoves& CToolpathReader::ReadLine(std::string_view line)
{
    Parse(line, m_parsed);
    return Apply(m_parsed);
}

const LineMoves& CToolpathReader::Apply(const ParsedLine& words)
{
    m_result.kind = words.kind;
    m_result.moved = false;
    m_result.unread = words.unread;
    m_result.holdsPlaneWords = (words.letters & kPlaneWordLetters) != 0;
    // The work offset the line selects, read or not: G54.1 numbers it by P.
    m_result.workOffset = words.modes.offset;
    const double number = words.modes.offset == 541 && Has(words, 'P') ? Value(words, 'P') : 0;
    m_result.workOffsetNumber = number >= 1 && number <= 999 ? static_cast<int>(number) : 0;
    if (m_result.kind == LineKind::Skip)
        return m_result;
    if (m_result.kind == LineKind::NotRead) {
        // Its modal codes still hold; whatever it did to the axes it names
        // is unknown now.
        ApplyModes(words.modes);
        m_nKnown &= ~words.namedAxes;
        return m_result;
    }

    const bool cycleLine = ApplyModes(words.modes);
    if (words.modes.apart != 0) {
        ReadApart(words, words.modes.apart);
    } else if (words.modes.noMove) {
        // Its axis words are data (a dwell time, offsets, a rotation centre).
    } else if (m_bPolar && (Has(words, 'X') || Has(words, 'Y'))) {
        // A radius and an angle, which this reader does not follow.
        m_result.kind = LineKind::NotRead;
        m_result.unread = kUnreadPolar;
        m_nKnown &= ~(kAxisBitX | kAxisBitY);
    } else if (m_nCycle != 0) {
        // A hole where the line gives a position; its Z and R are the
        // cycle's depth and clearance, no moves of their own.
        if (cycleLine || Has(words, 'X') || Has(words, 'Y'))
            ReadHole(words);
    } else {
        ReadMotion(words);
    }
    return m_result;
}

bool CToolpathReader::ApplyModes(const LineModes& modes)
{
    if (modes.motion >= 0)
        m_nMotion = modes.motion;
    if (modes.plane != 0)
        m_nPlane = modes.plane;
    if (modes.distance != 0)
        m_bAbsolute = modes.distance == 90;
    if (modes.polar != 0)
        m_bPolar = modes.polar == 16;
    // G80 ends a canned cycle, and so does a motion code that follows the
    // cycle's code on the line (or stands alone).
    if (modes.cycle >= 0 && modes.cycleLast) {
        m_nCycle = modes.cycle == 80 ? 0 : modes.cycle;
        return m_nCycle != 0;
    }
    if (modes.motion >= 0 || modes.cycle == 80)
        m_nCycle = 0;
    return false;
}

void CToolpathReader::AxisTarget(const Words& words, int axis, unsigned& known, double* target,
                                 double* tolerance) const
{
    const char letter = kAxisLetters[axis];
    const unsigned bit = 1u << axis;
    const bool wasKnown = (m_nKnown & bit) != 0;
    double value = m_position[axis], rounding = m_tolerance[axis];
    if (Has(words, letter)) {
        if (m_bAbsolute) {
            value = Value(words, letter);
            rounding = Tolerance(words, letter);
            known |= bit;
        } else {
            // Incremental steps add up their rounding.
            value += Value(words, letter);
            rounding += Tolerance(words, letter);
        }
    }
    if (wasKnown)
        known |= bit;
    target[axis] = value;
    tolerance[axis] = rounding;
}

ToolMove& CToolpathReader::StartMove(MoveKind kind)
{
    // The fields every move sets; the centre's only count with their flags.
    ToolMove& move = m_result.move;
    move.kind = kind;
    move.plane = m_nPlane;
    move.code = 0;
    move.hasCentre = move.centreGuessed = move.hasRadius = false;
    for (int a = 0; a < 3; ++a)
        move.start[a] = m_position[a];
    move.startKnown = m_nKnown;
    m_result.moved = true;
    return move;
}

void CToolpathReader::ReadApart(const Words& words, int code)
{
    ToolMove& move = StartMove(MoveKind::Apart);
    move.code = code;
    move.incremental = !m_bAbsolute && code != 92;
    move.endKnown = 0;
    for (int a = 0; a < 3; ++a) {
        move.end[a] = 0;
        move.tolerance[a] = 0;
        const char letter = kAxisLetters[a];
        if (!Has(words, letter))
            continue;
        move.end[a] = Value(words, letter);
        move.tolerance[a] = Tolerance(words, letter);
        move.endKnown |= 1u << a;
        if (code == 92) {
            // The current point gets these coordinates, without a move.
            m_position[a] = move.end[a];
            m_tolerance[a] = move.tolerance[a];
            m_nKnown |= 1u << a;
        } else {
            // The tool went to a machine position: in work coordinates, unknown.
            m_nKnown &= ~(1u << a);
        }
    }
    m_result.moved = true;
}

void CToolpathReader::ReadHole(const Words& words)
{
    ToolMove& move = StartMove(MoveKind::Hole);
    unsigned known = 0;
    AxisTarget(words, 0, known, move.end, move.tolerance);
    AxisTarget(words, 1, known, move.end, move.tolerance);
    // Z of a cycle is the bottom of the hole, not a position to stay at.
    move.end[2] = m_position[2];
    move.tolerance[2] = m_tolerance[2];
    known |= m_nKnown & kAxisBitZ;
    move.endKnown = known;
    SetPosition(move.end, known);
    for (int a = 0; a < 2; ++a)
        m_tolerance[a] = move.tolerance[a];
    m_result.moved = true;
}

void CToolpathReader::ReadMotion(const Words& words)
{
    const bool arc = m_nMotion >= 2;
    int first = 0, second = 0;
    PlaneAxes(m_nPlane, first, second);
    const bool axisWord = Has(words, 'X') || Has(words, 'Y') || Has(words, 'Z');
    const bool centreWord =
        arc && (Has(words, 'R') || Has(words, kOffsetLetters[first]) || Has(words, kOffsetLetters[second]));
    if (!axisWord && !centreWord)
        return;

    static const MoveKind kKinds[4] = {MoveKind::Rapid, MoveKind::Feed, MoveKind::ArcCw, MoveKind::ArcCcw};
    ToolMove& move = StartMove(kKinds[m_nMotion]);
    unsigned known = 0;
    double end[3], tolerance[3];
    for (int a = 0; a < 3; ++a) {
        AxisTarget(words, a, known, end, tolerance);
        move.end[a] = end[a];
        move.tolerance[a] = tolerance[a];
    }
    move.endKnown = known;
    if (arc)
        ReadArcCentre(words, move);
    for (int a = 0; a < 3; ++a) {
        m_position[a] = end[a];
        m_tolerance[a] = tolerance[a];
    }
    m_nKnown = known;
}

void CToolpathReader::ReadArcCentre(const Words& words, ToolMove& move) const
{
    if (Has(words, 'R')) {
        move.hasRadius = true;
        move.radius = Value(words, 'R');
        move.radiusTolerance = Tolerance(words, 'R');
        return;
    }
    int axes[2];
    PlaneAxes(move.plane, axes[0], axes[1]);
    double offset[2] = {};
    double offsetTolerance[2] = {};
    bool any = false;
    for (int k = 0; k < 2; ++k) {
        const char letter = kOffsetLetters[axes[k]];
        if (Has(words, letter)) {
            offset[k] = Value(words, letter);
            offsetTolerance[k] = Tolerance(words, letter);
            any = true;
        }
    }
    const unsigned planeBits = (1u << axes[0]) | (1u << axes[1]);
    if (!any || (move.startKnown & planeBits) != planeBits)
        return;
    if (m_bFixedWidth) {
        // Unsigned magnitudes: the signs that put the end point at the
        // radius of the start point.
        double best = -1;
        double signs[2] = {1, 1};
        for (const double s0 : {1.0, -1.0}) {
            for (const double s1 : {1.0, -1.0}) {
                const double c0 = move.start[axes[0]] + s0 * std::fabs(offset[0]);
                const double c1 = move.start[axes[1]] + s1 * std::fabs(offset[1]);
                const double miss = std::fabs(std::hypot(move.end[axes[0]] - c0, move.end[axes[1]] - c1) -
                                              std::hypot(offset[0], offset[1]));
                if (best < 0 || miss < best) {
                    best = miss;
                    signs[0] = s0;
                    signs[1] = s1;
                }
            }
        }
        for (int k = 0; k < 2; ++k)
            offset[k] = signs[k] * std::fabs(offset[k]);
        move.centreGuessed = true;
    }
    for (int a = 0; a < 3; ++a)
        move.centre[a] = move.start[a];
    for (int k = 0; k < 2; ++k) {
        move.centre[axes[k]] = move.start[axes[k]] + offset[k];
        move.centreTolerance[axes[k]] = m_tolerance[axes[k]] + offsetTolerance[k];
    }
    move.hasCentre = true;
}
