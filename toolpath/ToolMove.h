// One move of the tool, as one program line gives it, and what a reader
// tells about a line.
#pragma once

#include <cstdint>

enum class MoveKind : std::uint8_t {
    Rapid,   // G00
    Feed,    // G01
    ArcCw,   // G02
    ArcCcw,  // G03
    Hole,    // a hole position of a canned cycle (G81-G89)
    Apart,   // G53, G28, G30 or G92: machine coordinates or a new position, not part of the path
};

// Axes as bits of a mask of known coordinates.
enum : unsigned { kAxisBitX = 1, kAxisBitY = 2, kAxisBitZ = 4, kAxisBitsAll = 7 };

struct ToolMove {
    MoveKind kind = MoveKind::Rapid;
    int plane = 17;          // arcs: 17 (XY), 18 (ZX), 19 (YZ)
    int code = 0;            // Apart moves: 53, 28, 30 or 92
    bool incremental = false;  // Apart moves: their words are distances (G91)
    unsigned startKnown = 0; // axes of `start` that are known
    unsigned endKnown = 0;   // axes of `end` that are known (Apart: the axes its words give)
    double start[3] = {};
    double end[3] = {};      // Apart: the values of its words as written
    double tolerance[3] = {};  // of `end`: half a unit of the last decimal printed, per axis

    // Arcs: the centre from I, J, K (in the arc's plane), or the radius from R
    // (negative: more than half a circle). Fixed-width centres are unsigned
    // magnitudes: the signs are guessed from the end point, for drawing only.
    bool hasCentre = false;
    bool centreGuessed = false;
    bool hasRadius = false;
    double centre[3] = {};
    double centreTolerance[3] = {};
    double radius = 0;
    double radiusTolerance = 0;

    bool IsArc() const { return kind == MoveKind::ArcCw || kind == MoveKind::ArcCcw; }
};

enum class LineKind : std::uint8_t {
    Code,     // read: at most one move
    Skip,     // a skip line (';', '(', ')' or '$'): no moves, no state
    NotRead,  // macro variables, expressions, malformed words: not read
};

// Why a line was not read, as bits.
enum : unsigned {
    kUnreadVariable = 1,    // '#': a variable
    kUnreadExpression = 2,  // '[': an expression
    kUnreadRepeated = 4,    // a coordinate letter twice
    kUnreadLowercase = 8,   // lowercase words
    kUnreadPolar = 16,      // polar coordinates (G16)
    kUnreadOther = 32,      // other characters, words without a number
};

// What a reader made of one line.
struct LineMoves {
    LineKind kind = LineKind::Code;
    unsigned unread = 0;           // NotRead: why (kUnread... bits)
    bool holdsPlaneWords = false;  // an X, Y, I or J word (read or not)
    bool moved = false;            // `move` holds the line's move
    // A work offset the line selects: 54..59 (G54-G59), or 541 for G54.1
    // with its number in `workOffsetNumber` (P); 0: none.
    int workOffset = 0;
    int workOffsetNumber = 0;
    ToolMove move;
};
