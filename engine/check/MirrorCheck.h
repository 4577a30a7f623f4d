// The check of a mirror run: reads each source line for what the mirror
// cannot make right (a motion behind a comment, machine coordinates,
// variables, repeated words, rotations, polar coordinates, called programs
// that are not in the file, offset data, signed fixed-width centres,
// lowercase letters) and keeps the findings. It reads the lines the run
// reads and changes nothing.
#pragma once

#include "MirrorFindings.h"

#include <string>
#include <string_view>
#include <map>
#include <unordered_set>
#include <vector>

struct MirrorMode;

class CMirrorCheck {
public:
    // Starts a run of `mode` over a program in fixed-width (or free) format;
    // `yPositioned`: the mirror is about a line y = B with B not 0.
    void Begin(const MirrorMode& mode, bool fixedWidth, bool yPositioned = false);

    // A finding the mirror itself made of a line.
    void AddFinding(long long lineNo, FindingCode code, const std::string& word) { m_findings.Add(lineNo, code, word); }

    // One source line as read (its end included), 1-based `lineNo`, with the
    // arc plane in effect before it.
    void CheckLine(long long lineNo, std::string_view line, int plane);

    // A line that is not a skip line and that the run does not hand to
    // CheckLine (nothing on it can be a finding): only whether it holds a
    // nonzero Y matters (a lathe program has none). Cheap once one was seen.
    void SeeCodeLine(std::string_view line);
    bool WantsCodeLines() const { return !m_bNonzeroY; }

    // After the last line: calls of programs that the file never defined, a
    // program that looks like a lathe's.
    void End();

    CMirrorFindings& Findings() { return m_findings; }
    const CMirrorFindings& Findings() const { return m_findings; }

private:
    void NoteProgramNumber(std::string_view line);
    void CheckSkipLine(long long lineNo, std::string_view line, int plane);
    // What the line's G numbers say of its words, for the rules.
    struct LineKind {
        int plane = 17;                // the arc plane, after the line's plane words
        bool machinePosition = false;  // G53 or G10: the mirror changes no word
        bool scaling = false;          // G51: I and J are scale factors, kept
        std::vector<double> gNumbers;  // the line's G numbers, read once for all rules
        bool HoldsG(double number) const;
    };
    void CheckCodeLine(long long lineNo, std::string_view line, int plane);
    // The rules of a line that is not a skip line, one function each.
    using Rule = void (CMirrorCheck::*)(long long lineNo, std::string_view line, const LineKind& kind);
    static const Rule kCodeRules[];
    void CheckUnmirroredValue(long long lineNo, std::string_view line, const LineKind& kind);
    void CheckSecondWord(long long lineNo, std::string_view line, const LineKind& kind);
    void CheckAssignment(long long lineNo, std::string_view line, const LineKind& kind);
    void CheckRotationAndPolar(long long lineNo, std::string_view line, const LineKind& kind);
    void CheckCalls(long long lineNo, std::string_view line, const LineKind& kind);
    void CheckFixedSignedCentre(long long lineNo, std::string_view line, const LineKind& kind);
    void CheckLowercase(long long lineNo, std::string_view line, const LineKind& kind);
    void CheckLengthCompensation(long long lineNo, std::string_view line, const LineKind& kind);
    void CheckControlCycle(long long lineNo, std::string_view line, const LineKind& kind);
    void CheckRotaryAxis(long long lineNo, std::string_view line, const LineKind& kind);
    void CheckLathe(long long lineNo, std::string_view line, const LineKind& kind);
    // False when the letter rules have nothing to say of `letter` on such a line.
    bool LetterRuleReads(char letter, const LineKind& kind) const;
    void CheckCall(long long lineNo, std::string_view line, const std::string& callWord);

    // A call whose program may still be defined further down the file.
    struct PendingCall {
        long long line;
        std::string word;
    };

    const MirrorMode* m_pMode = nullptr;
    bool m_bFixedWidth = false;
    bool m_bYPositioned = false;
    std::string m_strLetters;  // the mode's letters in the program's format
    CMirrorFindings m_findings;
    std::unordered_set<long long> m_programs;  // numbers of the programs the file defines
    std::map<long long, std::vector<PendingCall>> m_pending;  // by called number
    std::size_t m_nPendingKept = 0;
    std::map<long long, long long> m_pendingUnkept;  // calls counted, not kept, by number
    bool m_bRotaryReported = false;  // once per file
    bool m_bNonzeroY = false;        // a line that is not a skip line held a nonzero Y
    long long m_nLatheLine = 0;      // the first line that looks like a lathe's, 0: none yet
    std::string m_strLatheWord;
    LineKind m_codeLine;  // of the code line being read (its G numbers kept between lines)
};
