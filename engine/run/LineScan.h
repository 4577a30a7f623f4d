// The file run's scan of a read buffer: one walk over the bytes that are
// not value texts finds each line's end and notes its words (internal to
// the file run). What it notes depends on the pass's rules only, never on
// the modal state, so it may run ahead of the writing on another thread.
#pragma once

#include "PlainLine.h"

namespace line_scan {

// Slot of a coordinate letter's bit: X 0, Y 1, I 2, J 3, Z 4, K 5.
inline int SlotOf(unsigned bit) { return LowestBit(bit); }

inline bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace line_scan

// Calls onLine(line, lineEnd, notes) for every line of [begin, end) that
// ends in it ('\n' included), in order. The first line's notes go into
// `notes`, each later line's into those onLine returns, settled by
// SettleNotes. The end of the last such line, or null as soon as onLine
// returns null. With `pointIsValue` false (the format is open) the points
// stop the walk.
template <bool pointIsValue, typename OnLine>
const char* ScanLines(const BlockRules& rules, const char* begin, const char* end, LineNotes* notesOfLine,
                      OnLine&& onLine)
{
    using namespace line_scan;
    // Z matters only for the format, K for it and for an arc's centre; '.'
    // only while the format is open.
    const unsigned noted = rules.open ? kCoordinates : kX | kY | kI | kJ | kK;
    const unsigned notable = noted | kLineEnd | kAside | kG | (rules.open ? kPoint : 0);
    const char* line = begin;
    LineNotes* notes = notesOfLine;
    notes->Clear();
    CNonValueBytes<pointIsValue> bytes(begin, end);
    for (;;) {
        const char* const at = bytes.Next();
        if (at >= end)
            return line;
        const unsigned cls = ClassOf(*at) & notable;
        if (cls == 0)
            continue;
        if (cls & kLineEnd) {
            SettleNotes(line, at + 1, rules, *notes);
            notes = onLine(line, at + 1, *notes);
            if (!notes)
                return nullptr;
            notes->Clear();
            line = at + 1;
            continue;
        }
        // Coordinate letters are the most common stops: first.
        if (cls & kCoordinates) {
            if (notes->seen & cls) {
                notes->aside = notes->aside || (cls & rules.wanted);  // a later word of a letter to negate
            } else {
                notes->seen |= cls;
                const int slot = SlotOf(cls);
                notes->value[slot] = at + 1;
                notes->valueEnd[slot] = bytes.Peek();
                // A letter to negate right after another letter is part of a word.
                notes->aside = notes->aside || ((cls & rules.wanted) && at > line && IsAsciiLetter(at[-1]));
            }
        } else if (cls & kG) {
            if (notes->gCount < kMaxPlainG) {
                notes->g[notes->gCount] = at + 1;
                notes->gEnd[notes->gCount++] = bytes.Peek();
            } else {
                notes->aside = true;
            }
        } else if (cls & kAside) {
            notes->aside = true;
        } else {
            notes->point = true;
        }
    }
}
