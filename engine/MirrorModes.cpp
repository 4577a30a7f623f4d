#include "MirrorModes.h"

namespace {

// Mode 1 reflects about the X axis (Y changes sign), mode 2 about the Y axis
// (X changes sign), mode 3 about the origin (both). A reflection reverses
// the sense of arcs and the side of cutter compensation in a plane where it
// negates one axis; the origin mirror is a half turn in XY and keeps both
// there. Fixed-width programs never negate their arc centres I and J.
const MirrorMode kModes[] = {
    {1, "x", "_x", "YJ", "Y", false, true},
    {2, "y", "_y", "XI", "X", true, false},
    {3, "xy", "_xy", "XYIJ", "XY", true, true},
};

}  // namespace

const MirrorMode* MirrorModesBegin() { return kModes; }
const MirrorMode* MirrorModesEnd() { return kModes + sizeof kModes / sizeof kModes[0]; }

const MirrorMode* FindMirrorMode(int number)
{
    for (const MirrorMode* m = MirrorModesBegin(); m != MirrorModesEnd(); ++m)
        if (m->number == number)
            return m;
    return nullptr;
}

const MirrorMode* FindMirrorModeByName(const std::string& name)
{
    for (const MirrorMode* m = MirrorModesBegin(); m != MirrorModesEnd(); ++m)
        if (name == m->name || name == std::to_string(m->number))
            return m;
    return nullptr;
}

std::string MirrorOutputPath(const std::string& sourcePath, const MirrorMode& mode)
{
    const std::size_t slash = sourcePath.find_last_of("/\\");
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = sourcePath.rfind('.');
    if (dot == std::string::npos || dot < nameStart)
        return sourcePath + mode.suffix;
    return sourcePath.substr(0, dot) + mode.suffix + sourcePath.substr(dot);
}
