// CLineSweep: one program line mirrored in one sweep. A single pass over
// the line finds the skip characters, the G words and the first word of each
// letter to negate; the line is then written once more with all its
// changes, left to right. This gives the bytes of the step operations one
// after the other (end trim, arc swap, negation, compensation swap, end
// trim) without a search and an in-place replacement per word. A line with
// more G words than the sweep keeps track of goes through those operations.
#pragma once

#include "PositionWords.h"
#include "Syntax.h"

#include <string>
#include <string_view>

struct MirrorMode;
struct SweptLine;

class CLineSweep {
public:
    // A new run: the program's number format, the XY plane, the modal state
    // of a positioned run at its start, and the position (none: the axes).
    void Begin(bool fixedWidth, const MirrorPosition* position = nullptr)
    {
        m_bFixedWidth = fixedWidth;
        m_nPlane = kPlaneXY;
        m_state = PositionState();
        m_pPosition = position && position->Any() ? position : nullptr;
        m_twice[0] = m_pPosition ? PlainTwiceOf(m_pPosition->x) : PlainTwice();
        m_twice[1] = m_pPosition ? PlainTwiceOf(m_pPosition->y) : PlainTwice();
    }

    // Mirrors `line`, which must end in '\n' or be followed by a NUL; the
    // bytes up to `limit` (null: the line's last byte or that NUL) may be
    // read. `result` shows the mirrored bytes (the line itself when nothing
    // changes, else a buffer of the sweep) until the next line. The number
    // of words changed. The line's plane words change the plane first.
    int Mirror(std::string_view line, const MirrorMode& mode, std::string_view& result, const char* limit = nullptr);
    // The same for a line in a string, rewritten in place.
    int MirrorLine(std::string& line, const MirrorMode& mode);

    bool FixedWidth() const { return m_bFixedWidth; }
    // The arc plane in effect: 17 (XY), 18 (ZX), 19 (YZ).
    int Plane() const { return m_nPlane; }
    // True when the last line mirrored may hold a finding of the check.
    bool LineMayHoldFinding() const { return m_bCheckLine; }
    // The modal state of a positioned run after the last line.
    const PositionState& State() const { return m_state; }
    // What the last line held about the position (positioned runs only).
    const PositionNotes& LineNotes() const { return m_notes; }

private:
    // The steps of Mirror, in order, over the words of one line.
    // The sweep of one line; false (for a positioned run) when the step
    // operations must write it.
    bool Sweep(SweptLine& swept, const MirrorMode& mode, std::string_view& result, int& count);
    void ReadGCodes(SweptLine& swept);
    bool WriteChanges(SweptLine& swept, std::string_view& result);
    // 2A (2B) for the word of `slot` when it becomes 2A - v, else null.
    const PlainTwice* PositionOf(const SweptLine& swept, int slot) const;
    // The line as it stands but with its end trimmed, or the line itself.
    void KeepLine(const SweptLine& swept, std::string_view& result);

    bool m_bFixedWidth = false;
    int m_nPlane = kPlaneXY;
    bool m_bCheckLine = false;  // the last line mirrored may hold a finding
    const MirrorPosition* m_pPosition = nullptr;  // positioned runs go through the step operations
    PositionState m_state;
    PositionNotes m_notes;
    PlainTwice m_twice[2];  // 2A and 2B for the sweep's own writing
    std::string m_strWork;      // the line being written with its changes
    std::string m_strPrinted;   // a reprinted number
};
