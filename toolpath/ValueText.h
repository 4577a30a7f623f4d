// The number of a word's value text, as the toolpath reader reads it: blanks,
// an optional sign, digits with at most one point, blanks, and nothing
// else. Its tolerance is half a unit of its last decimal.
#pragma once

struct ValueText {
    bool isNumber = false;
    double value = 0;
    double tolerance = 0;  // half a unit of the number's last decimal
};

// The value text from `p` up to `end` (the first byte after it), which lies
// in the line from `lineStart` to `lineEnd`: a short number is read as eight
// bytes of the line around it, never a byte outside the line.
ValueText ReadValueText(const char* p, const char* end, const char* lineStart, const char* lineEnd);
