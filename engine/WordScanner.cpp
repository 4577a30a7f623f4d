// The word scanner and line editing: finding the value text after an address
// letter, replacing it, and normalising the end of a line.
#include "NcMirror.h"

#include "WordText.h"

std::size_t CNcMirror::GetWord(const std::string& line, char letter, std::string& out)
{
    std::size_t valuePos = 0;
    const std::size_t n = FindValueText(line, letter, valuePos);
    if (n > 0)
        out.assign(line, valuePos, n);
    return n;
}

void CNcMirror::SetWord(std::string& line, char letter, const std::string& value) const
{
    std::size_t valuePos = 0;
    const std::size_t n = FindValueText(line, letter, valuePos);
    if (valuePos == 0)
        return;  // the letter is not in the line
    // The old value text took the blanks that separated it from the next
    // word; a line that has blanks gets exactly one back.
    line.replace(valuePos, n, value);
    if (m_nSpaced == 1)
        line.insert(valuePos + value.size(), 1, ' ');
}

int CNcMirror::TrimLineEnd(std::string& line)
{
    // 1. A line without any blank is written as it stands.
    if (line.empty() || line.find(' ') == std::string::npos)
        return 0;
    return TrimEndOfSpacedLine(line);
}

int CNcMirror::TrimEndOfSpacedLine(std::string& line)
{
    // 2. The line keeps its own end: "\r\n", "\n", or none for a last line.
    const std::size_t size = line.size();
    std::size_t endSize = 0;
    if (size >= 2 && line[size - 2] == '\r' && line[size - 1] == '\n')
        endSize = 2;
    else if (line[size - 1] == '\n')
        endSize = 1;

    // 3. Drop the trailing run of blanks and line-end characters, but never
    //    the line's first character.
    std::size_t keep = size;
    while (keep > 1 && (line[keep - 1] == ' ' || line[keep - 1] == '\r' || line[keep - 1] == '\n'))
        --keep;
    if (keep + endSize == size)
        return 1;  // the end is as it would be written
    line.resize(keep);
    static const char kEnds[] = "\r\n";
    line.append(kEnds + (2 - endSize), endSize);
    return 1;
}
