// What the mirror run needs to know about a whole line before it touches it:
// whether it is a skip line, and how much it says for free format.
#pragma once

#include <string_view>

// A line holding ';', '(', ')' or '$' (comments, messages, operator texts) is
// copied without rewriting.
bool IsSkipLine(std::string_view line);

// Format evidence of one line: each coordinate word (first X, Y, Z, I, J, K)
// whose value text is not seven characters wide, and a '.' anywhere.
int FreeFormatMarks(std::string_view line);
