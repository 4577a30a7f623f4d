#include "LineScan.h"

#include "WordText.h"

#include <string>

bool IsSkipLine(std::string_view line)
{
    return line.find_first_of(";()$") != std::string_view::npos;
}

int FreeFormatMarks(std::string_view line)
{
    int marks = 0;
    for (const char letter : {'X', 'Y', 'Z', 'I', 'J', 'K'}) {
        const std::size_t at = line.find(letter);
        if (at == std::string_view::npos)
            continue;
        std::size_t n = 0;
        while (at + 1 + n < line.size() && IsValueChar(line[at + 1 + n]))
            ++n;
        if (n > 0 && n != 7)
            ++marks;
    }
    if (line.find('.') != std::string_view::npos)
        ++marks;
    return marks;
}
