// A program line as the toolpath reader parses it, before its modal state
// is applied: the line's words and G codes alone. Parsing needs nothing of
// the lines before, so it may run ahead of the reader, on another thread.
#pragma once

#include "ToolMove.h"

// The G words of a line, group by group; the last word of a group wins.
struct LineModes {
    int motion = -1;     // 0..3
    int cycle = -1;      // 80..89
    bool cycleLast = false;  // the cycle's word came after the motion's
    bool noMove = false;
    int plane = 0;
    int distance = 0;    // 90 or 91
    int polar = 0;       // 15 or 16
    int apart = 0;       // 53, 28, 30 or 92
    int offset = 0;      // 54..59, or 541 (G54.1)

    // A G number of the line.
    void Note(double number);
};

// The letters whose values the reader uses, by their slots.
enum : int { kSlotX, kSlotY, kSlotZ, kSlotI, kSlotJ, kSlotK, kSlotR, kSlotP, kSlotCount };

struct ParsedLine {
    LineKind kind = LineKind::Code;
    unsigned unread = 0;      // why the line is not read (kUnread... bits)
    unsigned present = 0;     // a bit per letter 'A'..'Z' read (G not included)
    unsigned letters = 0;     // every uppercase letter of the line, read or not
    unsigned namedAxes = 0;   // a line not read: the axes whose letters it holds anywhere
    LineModes modes;
    // The values of X, Y, Z, I, J, K, R and P where `present` has them, and
    // half a unit of the last decimal each prints.
    double value[kSlotCount];
    double tolerance[kSlotCount];
};
