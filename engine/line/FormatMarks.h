// What the format scan needs to know about a line: how much it says for free
// format.
#pragma once

#include <string_view>

// Format evidence of one line: each coordinate word (first X, Y, Z, I, J, K)
// whose value text is not seven characters wide, and a '.' anywhere.
int FreeFormatMarks(std::string_view line);
