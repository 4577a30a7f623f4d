// A program named notepad.exe planted beside the application by the tests:
// if it ever runs, it leaves a mark in its current folder.
#include <cstdio>

int main()
{
    if (std::FILE* mark = std::fopen("planted-notepad-ran.txt", "w"))
        std::fclose(mark);
    return 0;
}
