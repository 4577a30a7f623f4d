// The three mirror modes: the one table that the engine and every front end
// read, and the rule that names a mirrored program.
#pragma once

#include "Syntax.h"

#include <string>

struct MirrorMode {
    int number;                // 1, 2 or 3, as passed to CNcMirror::Mirror
    const char* name;          // short name on the command line: "x", "y", "xy"
    const char* suffix;        // appended to the base name of the output: "_x"
    const char* freeLetters;   // words negated in free-format programs
    const char* fixedLetters;  // words negated in fixed-width programs
    bool negatesX;             // X (and I) change sign
    bool negatesY;             // Y (and J) change sign
};

// True when the mode reverses the sense of rotation in `plane`, that is,
// negates exactly one of its two axes (Z is never negated). Arc direction
// and cutter-compensation side are swapped in exactly those planes; a run
// starts in the XY plane.
inline bool ReversesPlane(const MirrorMode& mode, int plane)
{
    switch (plane) {
    case kPlaneXY: return mode.negatesX != mode.negatesY;
    case kPlaneZX: return mode.negatesX;
    case kPlaneYZ: return mode.negatesY;
    default: return false;
    }
}

// The mode with this number, or null when there is none.
const MirrorMode* FindMirrorMode(int number);

// The mode with this command-line name ("x", "y", "xy") or number ("1".."3"),
// or null.
const MirrorMode* FindMirrorModeByName(const std::string& name);

// All modes, in order of their numbers.
const MirrorMode* MirrorModesBegin();
const MirrorMode* MirrorModesEnd();

// Output path for `sourcePath`: the mode's suffix goes before the last '.' of
// the final path component ('/' or '\' separate components), or at the end
// when that component has no '.': 'uo128.up' -> 'uo128_x.up',
// 'a.b.nc' -> 'a.b_xy.nc', 'prog' -> 'prog_x'.
std::string MirrorOutputPath(const std::string& sourcePath, const MirrorMode& mode);
