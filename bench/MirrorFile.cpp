// ncm_mirror_file: runs CNcMirror::Mirror on one file, for the benchmark
// script when the ncmirror tool is not built.
//
//   ncm_mirror_file SOURCE DESTINATION MODE
//
// Prints the engine's result; exit status 0 when it is 0 or more.
#include "NcMirror.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: ncm_mirror_file SOURCE DESTINATION MODE\n");
        return 2;
    }
    CNcMirror mirror;
    const long long result = mirror.Mirror(argv[1], argv[2], std::atoi(argv[3]));
    std::printf("%lld\n", result);
    return result >= 0 ? 0 : 1;
}
