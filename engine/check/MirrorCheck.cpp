// The rules of the check, each a plain reading of one line. The mirror's own
// sweep calls this only for lines that may hold a finding; a line handed in
// needlessly gets none, so the rules do not depend on that choice.
#include "MirrorCheck.h"

#include "MirrorModes.h"
#include "LineOperations.h"
#include "NumberText.h"
#include "Syntax.h"

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

// True when the line holds a G word with this number.
bool HoldsGCode(std::string_view line, double code)
{
    bool found = false;
    ForEachLetter(line, 'G', [&](std::size_t at) {
        double number = 0;
        found = WordNumber(line, at, number) && number == code;
        return !found;
    });
    return found;
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

void CMirrorCheck::Begin(const MirrorMode& mode, bool fixedWidth)
{
    m_pMode = &mode;
    m_bFixedWidth = fixedWidth;
    m_strLetters = fixedWidth ? mode.fixedLetters : mode.freeLetters;
    m_findings.Clear();
    m_programs.clear();
    m_pending.clear();
    m_nPendingKept = 0;
    m_pendingUnkept.clear();
}

void CMirrorCheck::CheckLine(long long lineNo, std::string_view line, int plane)
{
    if (!m_pMode)
        return;
    NoteProgramNumber(line);
    // The words as the mirror reads them: after the end trim, which takes
    // the blanks of a value text at the end of the line.
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    if (IsSkipLine(line))
        CheckSkipLine(lineNo, line, plane);
    else
        CheckCodeLine(lineNo, line);
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
            return;
        }
    }
}

// The rules read on a line that is not a skip line, in the order their
// findings are reported.
const CMirrorCheck::Rule CMirrorCheck::kCodeRules[] = {
    &CMirrorCheck::CheckMachineCoordinates, &CMirrorCheck::CheckUnmirroredValue,
    &CMirrorCheck::CheckSecondWord,         &CMirrorCheck::CheckRotationAndPolar,
    &CMirrorCheck::CheckCalls,              &CMirrorCheck::CheckOffsetData,
    &CMirrorCheck::CheckFixedSignedCentre,  &CMirrorCheck::CheckLowercase,
};

void CMirrorCheck::CheckCodeLine(long long lineNo, std::string_view line)
{
    for (const Rule rule : kCodeRules)
        (this->*rule)(lineNo, line);
}

bool CMirrorCheck::FirstNonzeroWord(std::string_view line, std::string& word) const
{
    for (const char letter : m_strLetters) {
        const std::size_t at = line.find(letter);
        if (at != std::string_view::npos && NonzeroWord(line, at)) {
            word = WordText(line, at);
            return true;
        }
    }
    return false;
}

// 2. Machine coordinates are not mirrored positions.
void CMirrorCheck::CheckMachineCoordinates(long long lineNo, std::string_view line)
{
    std::string word;
    if (HoldsGCode(line, 53) && FirstNonzeroWord(line, word))
        m_findings.Add(lineNo, FindingCode::MachineCoordinates, word);
}

// 3. A letter whose value is a variable, an expression or no number.
void CMirrorCheck::CheckUnmirroredValue(long long lineNo, std::string_view line)
{
    for (const char letter : m_strLetters) {
        bool found = false;
        ForEachLetter(line, letter, [&](std::size_t at) {
            if (InsideWord(line, at))
                return true;
            const std::size_t n = ValueTextLength(line, at + 1);
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

// 4. Only the first word of each letter is rewritten.
void CMirrorCheck::CheckSecondWord(long long lineNo, std::string_view line)
{
    for (const char letter : m_strLetters) {
        const std::size_t first = line.find(letter);
        bool found = false;
        if (first != std::string_view::npos)
            ForEachLetter(line.substr(first + 1), letter, [&](std::size_t at) {
                at += first + 1;
                found = !InsideWord(line, at) && NonzeroWord(line, at);
                if (found)
                    m_findings.Add(lineNo, FindingCode::SecondWord, WordText(line, at));
                return !found;
            });
        if (found)
            return;
    }
}

// 5. and 6. Rotations keep their angle; a polar radius turns instead of
//    mirroring. G words are visited once for both, in the order of the line.
void CMirrorCheck::CheckRotationAndPolar(long long lineNo, std::string_view line)
{
    bool rotation = false, polar = false;
    const bool angleReversed = ReversesPlane(*m_pMode, kPlaneXY);
    ForEachLetter(line, 'G', [&](std::size_t at) {
        double number = 0;
        if (!WordNumber(line, at, number))
            return true;
        const bool isRotation = number == 68 || number == 68.1 || number == 68.2 || number == 68.3 || number == 68.4;
        if (isRotation && angleReversed && !rotation) {
            rotation = true;
            m_findings.Add(lineNo, FindingCode::Rotation, WordText(line, at));
        }
        if (number == 16 && m_pMode->negatesX && !polar) {
            polar = true;
            m_findings.Add(lineNo, FindingCode::Polar, WordText(line, at));
        }
        return true;
    });
}

// 7. Calls of other programs: M98, M198, G65, G66.
void CMirrorCheck::CheckCalls(long long lineNo, std::string_view line)
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

// 8. Offset data entered by G10 would be changed.
void CMirrorCheck::CheckOffsetData(long long lineNo, std::string_view line)
{
    std::string word;
    if (HoldsGCode(line, 10) && FirstNonzeroWord(line, word))
        m_findings.Add(lineNo, FindingCode::OffsetData, word);
}

// 9. Fixed-width centres keep their text; a signed one is then wrong.
void CMirrorCheck::CheckFixedSignedCentre(long long lineNo, std::string_view line)
{
    if (!m_bFixedWidth)
        return;
    for (const char letter : {'I', 'J'}) {
        const bool mirrored = letter == 'I' ? m_pMode->negatesX : m_pMode->negatesY;
        const std::size_t at = line.find(letter);
        if (!mirrored || at == std::string_view::npos)
            continue;
        const std::string_view value = line.substr(at + 1, ValueTextLength(line, at + 1));
        const std::size_t sign = value.find_first_not_of(' ');
        if (sign != std::string_view::npos && value[sign] == '-') {
            m_findings.Add(lineNo, FindingCode::FixedSignedCentre, WordText(line, at));
            return;
        }
    }
}

// 10. Words are uppercase: a lowercase letter is not mirrored.
void CMirrorCheck::CheckLowercase(long long lineNo, std::string_view line)
{
    for (std::size_t at = 0; at < line.size(); ++at) {
        const char c = line[at];
        if (IsLower(c) && m_strLetters.find(static_cast<char>(c - 'a' + 'A')) != std::string::npos &&
            !InsideWord(line, at) && NonzeroWord(line, at)) {
            m_findings.Add(lineNo, FindingCode::Lowercase, WordText(line, at));
            return;
        }
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
    m_findings.SortByLine();
}
