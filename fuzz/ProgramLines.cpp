#include "ProgramLines.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzzcheck {

namespace {

// Digits, blank, signs and the point: what a value text is made of.
bool IsValueByte(char c)
{
    return (c >= '0' && c <= '9') || c == ' ' || c == '+' || c == '-' || c == '.';
}

// snprintf into a string of the right size.
template <typename... Args>
std::string Printed(const char* format, Args... args)
{
    const int n = std::snprintf(nullptr, 0, format, args...);
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(&out[0], out.size(), format, args...);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

}  // namespace

std::vector<std::string> SplitLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::string line;
    for (const char c : bytes) {
        line += c;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::string FirstLine(const std::string& bytes)
{
    const std::size_t end = bytes.find('\n');
    return bytes.substr(0, end == std::string::npos ? end : end + 1);
}

std::size_t CountLines(const std::string& bytes, bool carriageReturns)
{
    std::size_t lines = 0;
    for (const char c : bytes)
        lines += c == '\n' || (carriageReturns && c == '\r');
    const char last = bytes.empty() ? '\n' : bytes.back();
    return lines + (last != '\n' && !(carriageReturns && last == '\r'));
}

std::string CarriageReturnsAsLineFeeds(std::string bytes)
{
    for (char& c : bytes)
        if (c == '\r')
            c = '\n';
    return bytes;
}

bool IsSkipLine(const std::string& line)
{
    return line.find_first_of(";()$") != std::string::npos;
}

bool HoldsAnyOf(const std::string& line, const char* letters)
{
    return line.find_first_of(letters) != std::string::npos;
}

std::string EndNormalised(const std::string& line)
{
    if (line.find(' ') == std::string::npos)
        return line;
    std::string end;
    if (line.back() == '\n')
        end = line.size() >= 2 && line[line.size() - 2] == '\r' ? "\r\n" : "\n";
    std::size_t keep = line.size();
    while (keep > 1 && (line[keep - 1] == ' ' || line[keep - 1] == '\r' || line[keep - 1] == '\n'))
        --keep;
    return line.substr(0, keep) + end;
}

std::string Skeleton(const std::string& line)
{
    std::string out;
    for (const char c : line)
        if (!IsValueByte(c))
            out += c;
    while (!out.empty() && (out.back() == '\r' || out.back() == '\n'))
        out.pop_back();
    return out;
}

bool PrintfNegated(const std::string& value, bool fixedWidth, std::string& printed)
{
    // The number, read as the C library reads it; infinity counts as none.
    // strtod stops at the first byte that cannot continue the number.
    const std::string text0 = value;  // NUL-terminated copy for strtod
    char* stop = nullptr;
    const double number = std::strtod(text0.c_str(), &stop);
    if (stop == text0.c_str() || std::isinf(number))
        return false;
    const double product = -number;
    if (fixedWidth) {
        printed = Printed("%+07.0f", product);
        return true;
    }
    // Free format: the characters from the first non-blank to the next blank.
    const std::size_t begin = value.find_first_not_of(' ');
    const std::size_t end = value.find(' ', begin);
    const std::string text = value.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    const std::size_t point = text.find('.');
    if (point != std::string::npos) {
        const std::size_t decimals = text.size() - point - 1;
        printed = Printed("%.*f", static_cast<int>(decimals), product);
        if (decimals == 0)
            printed += '.';
        return true;
    }
    const int width = static_cast<int>(text.size());
    const bool sign = text.find_first_of("+-") != std::string::npos;
    if (product != 0.0)
        printed = Printed(sign ? "%+0*.0f" : "%0*.0f", width, product);
    else
        printed = Printed(sign ? "%+0*d" : "%0*d", width, 0);
    return true;
}

}  // namespace fuzzcheck
