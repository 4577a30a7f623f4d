// The rules of the check, each a plain reading of one line. The mirror's own
// sweep calls this only for lines that may hold a finding; a line handed in
// needlessly gets none, so the rules do not depend on that choice.
#include "MirrorCheck.h"

#include "MirrorModes.h"
#include "LineOperations.h"
#include "NumberText.h"
#include "Syntax.h"

#include <algorithm>
#include <cmath>

namespace {

// Bounds of what the check remembers about called and defined programs, so
// that memory stays bounded on any file.
constexpr std::size_t kMaxPrograms = 100000;

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A letter directly after another ASCII letter is part of a word (the X of FIX).
bool InsideWord(std::string_view line, std::size_t at)
{
    return at > 0 && (IsUpper(line[at - 1]) || IsLower(line[at - 1]));
}

// The number of the word whose letter stands at `at`; false when its value
// text holds none.
bool WordNumber(std::string_view line, std::size_t at, double& number)
{
    const std::size_t n = ValueTextLength(line, at + 1);
    return n > 0 && ReadNumber(line.substr(at + 1, n), number);
}

bool NonzeroWord(std::string_view line, std::size_t at)
{
    double number = 0;
    return WordNumber(line, at, number) && number != 0;
}

// The word at `at` as the program spells it: the letter and its value text
// without the blanks around the number.
std::string WordText(std::string_view line, std::size_t at)
{
    std::string_view value = line.substr(at + 1, ValueTextLength(line, at + 1));
    while (!value.empty() && value.front() == ' ')
        value.remove_prefix(1);
    while (!value.empty() && value.back() == ' ')
        value.remove_suffix(1);
    return line[at] + std::string(value);
}

// The letter at `at` and the text that follows it up to the next blank or
// line end, for a value that is not a number ('X#101', 'Y[#1+2.]', 'X SDIA').
std::string ExpressionText(std::string_view line, std::size_t at)
{
    constexpr std::size_t kMaxShown = 32;
    std::size_t end = at + 1;
    while (end < line.size() && line[end] == ' ')
        ++end;
    while (end < line.size() && line[end] != ' ' && line[end] != '\r' && line[end] != '\n' &&
           end - at < kMaxShown)
        ++end;
    return std::string(line.substr(at, end - at));
}

// Positions of every `letter` of the line, in order.
template <typename Visit>
void ForEachLetter(std::string_view line, char letter, Visit visit)
{
    for (std::size_t at = line.find(letter); at != std::string_view::npos; at = line.find(letter, at + 1))
        if (!visit(at))
            return;
}

// A whole number of at most 18 digits; false otherwise.
bool WholeNumber(double number, long long& whole)
{
    if (!(number >= 0 && number < 1e18) || number != std::floor(number))
        return false;
    whole = static_cast<long long>(number);
    return true;
}

// The text that the controller reads as code on a line with a comment: what
// stands before the first ';' or '$', without the '(' ... ')' spans (an
// unclosed '(' runs to the end).
std::string CodePart(std::string_view line)
{
    std::string code;
    bool inComment = false;
    for (const char c : line) {
        if (inComment) {
            inComment = c != ')';
            continue;
        }
        if (c == ';' || c == '$')
            break;
        if (c == '(')
            inComment = true;
        else
            code += c;
    }
    return code;
}

}  // namespace

void CMirrorCheck::Begin(const MirrorMode& mode, bool fixedWidth, bool yPositioned)
{
    m_pMode = &mode;
    m_bFixedWidth = fixedWidth;
    m_bYPositioned = yPositioned;
    m_strLetters = fixedWidth ? mode.fixedLetters : mode.freeLetters;
    m_findings.Clear();
    m_programs.clear();
    m_pending.clear();
    m_nPendingKept = 0;
    m_pendingUnkept.clear();
    m_bRotaryReported = false;
    m_bNonzeroY = false;
    m_nLatheLine = 0;
    m_strLatheWord.clear();
}

void CMirrorCheck::CheckLine(long long lineNo, std::string_view line, int plane)
{
    if (!m_pMode)
        return;
    NoteProgramNumber(line);
    // The words as the mirror reads them: after the end trim, which takes
    // the blanks of a value text at the end of the line.
    while (!line.empty() && IsTrimmedAtEnd(line.back()))
        line.remove_suffix(1);
    if (IsSkipLine(line)) {
        CheckSkipLine(lineNo, line, plane);
        return;
    }
    SeeCodeLine(line);
    CheckCodeLine(lineNo, line, SelectedPlane(line, plane));
}

void CMirrorCheck::SeeCodeLine(std::string_view line)
{
    if (m_bNonzeroY)
        return;
    for (std::size_t at = line.find('Y'); at != std::string_view::npos && !m_bNonzeroY; at = line.find('Y', at + 1))
        m_bNonzeroY = !InsideWord(line, at) && NonzeroWord(line, at);
}

void CMirrorCheck::NoteProgramNumber(std::string_view line)
{
    // A program starts on a line that begins, after blanks, with 'O' or ':'
    // and its number.
    std::size_t at = line.find_first_not_of(' ');
    if (at == std::string_view::npos || (line[at] != 'O' && line[at] != ':'))
        return;
    long long number = 0;
    std::size_t digits = 0;
    for (++at; at < line.size() && IsDigit(line[at]) && digits < 18; ++at, ++digits)
        number = number * 10 + (line[at] - '0');
    if (digits > 0 && m_programs.size() < kMaxPrograms)
        m_programs.insert(number);
}

void CMirrorCheck::CheckSkipLine(long long lineNo, std::string_view line, int plane)
{
    // 1. A motion in the code part of a line the mirror leaves alone: a
    //    nonzero word of a mode letter, or a G word that the swaps of this
    //    line's plane would exchange.
    const std::string code = CodePart(line);
    double number = 0;
    const std::size_t firstG = code.find('G');
    const bool swapsRun = firstG != std::string::npos && ValueTextLength(code, firstG + 1) > 0;
    if (swapsRun)
        plane = SelectedPlane(code, plane);
    const bool swaps = swapsRun && ReversesPlane(*m_pMode, plane);
    const double compensation[2] = {m_bFixedWidth ? 42.0 : 41.0, m_bFixedWidth ? 43.0 : 42.0};
    for (std::size_t at = 0; at < code.size(); ++at) {
        const char c = code[at];
        bool moves = false;
        if (c == 'G')
            moves = swaps && WordNumber(code, at, number) &&
                    (number == 2 || number == 3 || number == compensation[0] || number == compensation[1]);
        else if (m_strLetters.find(c) != std::string::npos && IsUpper(c))
            moves = NonzeroWord(code, at);
        if (moves) {
            m_findings.Add(lineNo, FindingCode::CommentMotion, WordText(code, at));
            break;
        }
    }
    // 2. What the code part assigns or calls is read as on any line.
    CheckAssignment(lineNo, code, LineKind{});
    CheckCalls(lineNo, code, LineKind{});
}

// The rules read on a line that is not a skip line, in the order their
// findings are reported.
const CMirrorCheck::Rule CMirrorCheck::kCodeRules[] = {
    &CMirrorCheck::CheckUnmirroredValue,    &CMirrorCheck::CheckSecondWord,   &CMirrorCheck::CheckAssignment,
    &CMirrorCheck::CheckRotationAndPolar,   &CMirrorCheck::CheckCalls,        &CMirrorCheck::CheckFixedSignedCentre,
    &CMirrorCheck::CheckLowercase,          &CMirrorCheck::CheckLengthCompensation,
    &CMirrorCheck::CheckControlCycle,       &CMirrorCheck::CheckRotaryAxis,   &CMirrorCheck::CheckLathe,
};

bool CMirrorCheck::LineKind::HoldsG(double number) const
{
    return std::find(gNumbers.begin(), gNumbers.end(), number) != gNumbers.end();
}

void CMirrorCheck::CheckCodeLine(long long lineNo, std::string_view line, int plane)
{
    // The line's G numbers are read once; the rules ask the list.
    LineKind& kind = m_codeLine;
    kind.gNumbers.clear();
    ForEachGNumber(line, [&kind](double number) { kind.gNumbers.push_back(number); });
    kind.plane = plane;
    kind.machinePosition = kind.HoldsG(53) || kind.HoldsG(10);
    kind.scaling = kind.HoldsG(51);
    for (const Rule rule : kCodeRules)
        (this->*rule)(lineNo, line, kind);
}

bool CMirrorCheck::LetterRuleReads(char letter, const LineKind& kind) const
{
    // The mirror leaves every word of a G53 or G10 line, and the scale
    // factors of a G51 line: nothing to say of them.
    return !kind.machinePosition && !(kind.scaling && (letter == 'I' || letter == 'J'));
}

// 3. A letter whose value is a variable, an expression or no number, unless
//    the mirror toggled its sign (the first word of the letter).
void CMirrorCheck::CheckUnmirroredValue(long long lineNo, std::string_view line, const LineKind& kind)
{
    for (const char letter : m_strLetters) {
        if (!LetterRuleReads(letter, kind))
            continue;
        bool found = false;
        ForEachLetter(line, letter, [&](std::size_t at) {
            if (InsideWord(line, at))
                return true;
            const std::size_t n = ValueTextLength(line, at + 1);
            if (at == line.find(letter) && IsExpressionWord(line, at + 1, n))
                return false;  // mirrored
            double number = 0;
            const char next = at + 1 + n < line.size() ? line[at + 1 + n] : '\0';
            found = n > 0 ? !ReadNumber(line.substr(at + 1, n), number) : (next == '#' || next == '[');
            if (found)
                m_findings.Add(lineNo, FindingCode::UnmirroredValue, ExpressionText(line, at));
            return false;  // only the first occurrence outside a word counts
        });
        if (found)
            return;
    }
}

// 4. Only the first word of each letter is rewritten: a later one with a
//    number, a variable, an expression or an assignment stays as it is.
void CMirrorCheck::CheckSecondWord(long long lineNo, std::string_view line, const LineKind& kind)
{
    for (const char letter : m_strLetters) {
        const std::size_t first = line.find(letter);
        if (first == std::string_view::npos || !LetterRuleReads(letter, kind))
            continue;
        bool found = false;
        ForEachLetter(line.substr(first + 1), letter, [&](std::size_t at) {
            at += first + 1;
            if (InsideWord(line, at))
                return true;
            const std::size_t n = ValueTextLength(line, at + 1);
            const char next = at + 1 < line.size() ? line[at + 1] : '\0';
            double number = 0;
            found = NonzeroWord(line, at) || next == '#' || next == '[' || next == '=' ||
                    (n > 0 && !ReadNumber(line.substr(at + 1, n), number));
            if (found)
                m_findings.Add(lineNo, FindingCode::SecondWord, ExpressionText(line, at));
            return !found;
        });
        if (found)
            return;
    }
}

// A mode letter that a value is assigned to ('X=XPOS-63', 'J=AC(92.07)'):
// the mirror reads no value there.
void CMirrorCheck::CheckAssignment(long long lineNo, std::string_view line, const LineKind& kind)
{
    for (std::size_t at = line.find('='); at != std::string_view::npos; at = line.find('=', at + 1)) {
        const char letter = at > 0 ? line[at - 1] : '\0';
        if (at > 0 && m_strLetters.find(letter) != std::string::npos && !InsideWord(line, at - 1) &&
            LetterRuleReads(letter, kind)) {
            m_findings.Add(lineNo, FindingCode::Assignment, ExpressionText(line, at - 1));
            return;
        }
    }
}

// 5. and 6. A rotation without an angle the mirror could turn; a polar
//    radius turns instead of mirroring. G words are visited once for both.
void CMirrorCheck::CheckRotationAndPolar(long long lineNo, std::string_view line, const LineKind& kind)
{
    bool rotation = false, polar = false;
    std::string angle;
    double number = 0;
    const bool hasAngle = GetWord(std::string(line), 'R', angle) > 0 && ReadNumber(angle, number);
    ForEachLetter(line, 'G', [&](std::size_t at) {
        double code = 0;
        if (!WordNumber(line, at, code))
            return true;
        // G68 turns with the plane (its R is negated); the other rotations
        // keep their angles in the mirrors about one axis.
        const bool unturned = code == 68 ? ReversesPlane(*m_pMode, kind.plane) && !hasAngle
                                         : (code == 68.1 || code == 68.2 || code == 68.3 || code == 68.4) &&
                                               ReversesPlane(*m_pMode, kPlaneXY);
        if (unturned && !rotation) {
            rotation = true;
            m_findings.Add(lineNo, FindingCode::Rotation, WordText(line, at));
        }
        // About a line y = B the angle turns about the pole, not about the line.
        if (code == 16 && (m_pMode->negatesX || (m_pMode->negatesY && m_bYPositioned)) && !polar) {
            polar = true;
            m_findings.Add(lineNo, FindingCode::Polar, WordText(line, at));
        }
        return true;
    });
}

// 7. Calls of other programs: M98, M198, G65, G66.
void CMirrorCheck::CheckCalls(long long lineNo, std::string_view line, const LineKind&)
{
    std::string call;
    ForEachLetter(line, 'M', [&](std::size_t at) {
        double number = 0;
        if (!InsideWord(line, at) && WordNumber(line, at, number) && (number == 98 || number == 198))
            call = WordText(line, at);
        return call.empty();
    });
    if (call.empty())
        ForEachLetter(line, 'G', [&](std::size_t at) {
            double number = 0;
            if (WordNumber(line, at, number) && (number == 65 || number == 66))
                call = WordText(line, at);
            return call.empty();
        });
    if (!call.empty())
        CheckCall(lineNo, line, call);
}

// 9. Fixed-width centres keep their text; a signed one is then wrong.
void CMirrorCheck::CheckFixedSignedCentre(long long lineNo, std::string_view line, const LineKind& kind)
{
    if (!m_bFixedWidth)
        return;
    for (const char letter : {'I', 'J'}) {
        const bool mirrored = letter == 'I' ? m_pMode->negatesX : m_pMode->negatesY;
        const std::size_t at = line.find(letter);
        if (!mirrored || at == std::string_view::npos || !LetterRuleReads(letter, kind))
            continue;
        const std::string_view value = line.substr(at + 1, ValueTextLength(line, at + 1));
        const std::size_t sign = value.find_first_not_of(' ');
        if (sign != std::string_view::npos && value[sign] == '-') {
            m_findings.Add(lineNo, FindingCode::FixedSignedCentre, WordText(line, at));
            return;
        }
    }
}

// 10. Words are uppercase: a lowercase letter is not mirrored, nor is a
//     lowercase g that the line's swaps would exchange.
void CMirrorCheck::CheckLowercase(long long lineNo, std::string_view line, const LineKind& kind)
{
    if (kind.machinePosition)
        return;
    const bool swaps = ReversesPlane(*m_pMode, kind.plane);
    const double compensation[2] = {m_bFixedWidth ? 42.0 : 41.0, m_bFixedWidth ? 43.0 : 42.0};
    for (std::size_t at = 0; at < line.size(); ++at) {
        const char c = line[at];
        if (!IsLower(c) || InsideWord(line, at))
            continue;
        bool found = false;
        if (c == 'g') {
            double number = 0;
            found = swaps && WordNumber(line, at, number) &&
                    (number == 2 || number == 3 || number == compensation[0] || number == compensation[1]);
        } else if (m_strLetters.find(static_cast<char>(c - 'a' + 'A')) != std::string::npos &&
                   LetterRuleReads(static_cast<char>(c - 'a' + 'A'), kind)) {
            std::size_t next = at + 1;
            if (next < line.size() && (line[next] == '+' || line[next] == '-'))
                ++next;
            found = NonzeroWord(line, at) || (next < line.size() && (line[next] == '#' || line[next] == '['));
        }
        if (found) {
            m_findings.Add(lineNo, FindingCode::Lowercase, ExpressionText(line, at));
            return;
        }
    }
}

// A fixed-width G43 with an H word: tool-length compensation on most
// controls, swapped by the fixed-width rule as if it were a side.
void CMirrorCheck::CheckLengthCompensation(long long lineNo, std::string_view line, const LineKind& kind)
{
    if (!m_bFixedWidth || !ReversesPlane(*m_pMode, kind.plane) || !kind.HoldsG(43))
        return;
    const std::size_t h = line.find('H');
    double number = 0;
    if (h != std::string_view::npos && WordNumber(line, h, number))
        m_findings.Add(lineNo, FindingCode::LengthCompensation, "G43 " + WordText(line, h));
}

// A cycle whose I or J is a radius, an angle or a shift, not a position:
// the mirror negated it.
void CMirrorCheck::CheckControlCycle(long long lineNo, std::string_view line, const LineKind& kind)
{
    static const double kCycles[] = {12, 13, 70, 71, 72, 76, 87};
    double cycle = 0;
    for (const double c : kCycles)
        if (kind.HoldsG(c))
            cycle = c;
    if (cycle == 0)
        return;
    for (const char letter : {'I', 'J'}) {
        const std::size_t at = line.find(letter);
        if (at != std::string_view::npos && m_strLetters.find(letter) != std::string::npos &&
            LetterRuleReads(letter, kind) && NonzeroWord(line, at)) {
            std::string code;
            AppendPadded(code, cycle, 2, false);
            m_findings.Add(lineNo, FindingCode::ControlCycle, "G" + code + " " + WordText(line, at));
            return;
        }
    }
}

// A rotary axis whose sense the mirror reverses (A about X, B about Y, C
// about Z), once per file.
void CMirrorCheck::CheckRotaryAxis(long long lineNo, std::string_view line, const LineKind&)
{
    if (m_bRotaryReported)
        return;
    const bool reversed[3] = {m_pMode->negatesY, m_pMode->negatesX, m_pMode->negatesX != m_pMode->negatesY};
    for (std::size_t at = 0; at < line.size(); ++at) {
        const char c = line[at];
        if (c >= 'A' && c <= 'C' && reversed[c - 'A'] && !InsideWord(line, at) && NonzeroWord(line, at)) {
            m_bRotaryReported = true;
            m_findings.Add(lineNo, FindingCode::RotaryAxis, WordText(line, at));
            return;
        }
    }
}

// The first line that looks like a lathe's: a U or W word, or an arc in
// G17 with a K centre and no J. Told at the end, when no line held a Y.
void CMirrorCheck::CheckLathe(long long lineNo, std::string_view line, const LineKind& kind)
{
    if (m_nLatheLine != 0)
        return;
    for (std::size_t at = 0; at < line.size(); ++at)
        if ((line[at] == 'U' || line[at] == 'W') && !InsideWord(line, at) && NonzeroWord(line, at)) {
            m_nLatheLine = lineNo;
            m_strLatheWord = WordText(line, at);
            return;
        }
    const std::size_t k = line.find('K');
    double number = 0;
    if (kind.plane == kPlaneXY && (kind.HoldsG(2) || kind.HoldsG(3)) && k != std::string_view::npos &&
        WordNumber(line, k, number) && line.find('J') == std::string_view::npos) {
        m_nLatheLine = lineNo;
        m_strLatheWord = WordText(line, k);
    }
}

void CMirrorCheck::CheckCall(long long lineNo, std::string_view line, const std::string& callWord)
{
    // The P word names the program; without one nothing in the file is called.
    std::size_t at = line.find('P');
    while (at != std::string_view::npos && InsideWord(line, at))
        at = line.find('P', at + 1);
    double number = 0;
    long long called = 0;
    if (at == std::string_view::npos || !WordNumber(line, at, number) || !WholeNumber(number, called)) {
        m_findings.Add(lineNo, FindingCode::Subprogram, callWord);
        return;
    }
    const std::string word = callWord + " " + WordText(line, at);
    // The program may come later in the file: decided at the end. Beyond
    // the bounds, a call is decided by what the file has defined so far.
    if (m_nPendingKept < CMirrorFindings::kMaxKept) {
        m_pending[called].push_back(PendingCall{lineNo, word});
        ++m_nPendingKept;
    } else if (m_pendingUnkept.size() < kMaxPrograms || m_pendingUnkept.count(called)) {
        ++m_pendingUnkept[called];
    } else if (!m_programs.count(called) && !m_programs.count(called % 10000)) {
        m_findings.Add(lineNo, FindingCode::Subprogram, word);
    }
}

void CMirrorCheck::End()
{
    auto defined = [&](long long called) { return m_programs.count(called) || m_programs.count(called % 10000); };
    for (const auto& [called, calls] : m_pending)
        if (!defined(called))
            for (const PendingCall& call : calls)
                m_findings.Add(call.line, FindingCode::Subprogram, call.word);
    for (const auto& [called, count] : m_pendingUnkept)
        if (!defined(called))
            m_findings.AddUnkept(FindingCode::Subprogram, count);
    m_pending.clear();
    m_pendingUnkept.clear();
    if (m_nLatheLine != 0 && !m_bNonzeroY)
        m_findings.Add(m_nLatheLine, FindingCode::Lathe, m_strLatheWord);
    m_findings.SortByLine();
}
