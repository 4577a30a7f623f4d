// The box of a program's feed moves in X and Y (G01-G03 with the extent of
// their arcs, and the holes of canned cycles), for a mirror about the
// middle of the part: `ncmirror --at centre` and the dialog's centre button.
#pragma once

#include <string>

struct FeedBox {
    bool empty = true;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    int decimals = 0;  // the most decimals of the X and Y words of those moves, at most 4
    void Add(double x, double y);
};

// Reads the program at `path`; false when it cannot be read.
bool ReadFeedBox(const char* path, FeedBox& box);

// The middle of [lo, hi] rounded to `decimals` decimals, as decimal text
// ("40", "-12.5"), never in exponent form.
std::string MiddleText(double lo, double hi, int decimals);
