#include "Console.h"

#include <cstdio>

bool ReadInputLine(std::string& bytes)
{
    bytes.clear();
    int c = 0;
    bool any = false;
    while ((c = std::getchar()) != EOF) {
        any = true;
        if (c == '\n')
            break;
        bytes += static_cast<char>(c);
    }
    if (!bytes.empty() && bytes.back() == '\r')
        bytes.pop_back();
    return any;
}
