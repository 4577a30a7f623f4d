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
    // Starts a run of `mode` over a program in fixed-width (or free) format.
    void Begin(const MirrorMode& mode, bool fixedWidth);

    // One source line as read (its end included), 1-based `lineNo`, with the
    // arc plane in effect before it.
    void CheckLine(long long lineNo, std::string_view line, int plane);

    // After the last line: calls of programs that the file never defined.
    void End();

    CMirrorFindings& Findings() { return m_findings; }
    const CMirrorFindings& Findings() const { return m_findings; }

private:
    void NoteProgramNumber(std::string_view line);
    void CheckSkipLine(long long lineNo, std::string_view line, int plane);
    void CheckCodeLine(long long lineNo, std::string_view line);
    // The rules of a line that is not a skip line, one function each.
    using Rule = void (CMirrorCheck::*)(long long lineNo, std::string_view line);
    static const Rule kCodeRules[];
    void CheckMachineCoordinates(long long lineNo, std::string_view line);
    void CheckUnmirroredValue(long long lineNo, std::string_view line);
    void CheckSecondWord(long long lineNo, std::string_view line);
    void CheckRotationAndPolar(long long lineNo, std::string_view line);
    void CheckCalls(long long lineNo, std::string_view line);
    void CheckOffsetData(long long lineNo, std::string_view line);
    void CheckFixedSignedCentre(long long lineNo, std::string_view line);
    void CheckLowercase(long long lineNo, std::string_view line);
    // The first word of a mode letter with a nonzero number: a word the
    // mirror changed.
    bool FirstNonzeroWord(std::string_view line, std::string& word) const;
    void CheckCall(long long lineNo, std::string_view line, const std::string& callWord);

    // A call whose program may still be defined further down the file.
    struct PendingCall {
        long long line;
        std::string word;
    };

    const MirrorMode* m_pMode = nullptr;
    bool m_bFixedWidth = false;
    std::string m_strLetters;  // the mode's letters in the program's format
    CMirrorFindings m_findings;
    std::unordered_set<long long> m_programs;  // numbers of the programs the file defines
    std::map<long long, std::vector<PendingCall>> m_pending;  // by called number
    std::size_t m_nPendingKept = 0;
    std::map<long long, long long> m_pendingUnkept;  // calls counted, not kept, by number
};
