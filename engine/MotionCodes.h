// The G numbers that the motion-code swaps exchange (internal to the engine).
#pragma once

#include "NcMirror.h"

// The pair of G numbers that a swap type exchanges; false for unknown types.
inline bool SwapPair(int type, double& first, double& second)
{
    switch (type) {
    case kSwapArcDirection: first = 2; second = 3; return true;
    case kSwapCompensationFree: first = 41; second = 42; return true;
    case kSwapCompensationFixed: first = 42; second = 43; return true;
    default: return false;
    }
}
