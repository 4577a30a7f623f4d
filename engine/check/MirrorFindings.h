// Findings: what a mirror run noticed about the source program that no
// rewrite of words can make right. They never change the output.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

enum class FindingCode {
    CommentMotion,       // a motion on a line with a comment, left unmirrored
    UnmirroredValue,     // a variable, an expression or no number after a letter
    SecondWord,          // a later word of a letter that only the first of is rewritten
    Assignment,          // a value assigned to a mode letter ('X=...')
    Rotation,            // a coordinate rotation whose angle is not turned
    Polar,               // G16: negating the radius turns the point by 180 degrees
    Subprogram,          // a called program that is not in this file
    FixedSignedCentre,   // a signed arc centre of a fixed-width program, never negated
    Lowercase,           // a lowercase letter, which the mirror does not read
    LengthCompensation,  // a fixed-width G43 with H, swapped as a compensation side
    ControlCycle,        // a cycle's I or J (radius, angle, shift) negated
    RotaryAxis,          // a rotary axis whose sense the mirror reverses
    Lathe,               // a program that looks like a lathe's
    IntegerPosition,     // a word without a point moved by a mirror position
    PathMismatch,        // the output's path is not the reflection of the source's
    NotProved,           // too many lines of the path could not be read to prove it
};

constexpr std::size_t kFindingCodeCount = static_cast<std::size_t>(FindingCode::NotProved) + 1;

struct MirrorFinding {
    long long line;    // 1-based line of the file the finding is about
    FindingCode code;
    std::string word;  // the words concerned, as the program spells them
};

// The findings of one run: the first kMaxKept in full, and a complete count
// per code, so that memory stays bounded on any file.
class CMirrorFindings {
public:
    static constexpr std::size_t kMaxKept = 1000;

    void Clear();
    void Add(long long line, FindingCode code, std::string word);
    // Counts `count` findings without keeping them.
    void AddUnkept(FindingCode code, long long count);
    // Orders the kept findings by line (stable: on one line, in the order found).
    void SortByLine();

    const std::vector<MirrorFinding>& List() const { return m_list; }
    long long Count(FindingCode code) const { return m_counts[static_cast<std::size_t>(code)]; }
    long long Total() const { return m_nTotal; }
    bool Empty() const { return m_nTotal == 0; }

private:
    std::vector<MirrorFinding> m_list;
    std::array<long long, kFindingCodeCount> m_counts{};
    long long m_nTotal = 0;
};
