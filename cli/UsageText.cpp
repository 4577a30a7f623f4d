#include "UsageText.h"

#ifndef NCM_VERSION
#define NCM_VERSION "unknown"
#endif

namespace {

const char kUsageLine[] =
    "usage: ncmirror -m MODE [--at POSITION] [-o OUTPUT | -c] [-f] [-q] [--check | --strict]\n"
    "                [--verify] [--svg PICTURE] [--sync] [-j N] FILE...\n";

}  // namespace

std::string ShortUsage()
{
    return std::string(kUsageLine) + "Try 'ncmirror --help' for more information.\n";
}

std::string HelpText()
{
    return std::string(kUsageLine) +
           "Mirrors NC part programs (ISO G-code) about an axis or the origin, keeping\n"
           "each program's number format. Each output goes beside its source, the mode's\n"
           "suffix before the extension: part.nc -> part_x.nc, part_y.nc, part_xy.nc.\n"
           "FILE '-' is standard input; its mirror goes to standard output unless -o\n"
           "names a file.\n"
           "\n"
           "  -m, --mode x|y|xy     (also 1|2|3) mirror about the X axis (y=0), the Y axis\n"
           "                        (x=0), the origin\n"
           "      --at x=A|y=B|x=A,y=B|centre\n"
           "                        mirror about the line x = A (y, xy) and y = B (x, xy)\n"
           "                        in the program's units, or about the middle of each\n"
           "                        program's feed moves; 2A - X is exact in decimal\n"
           "  -o, --output PATH     write here instead of beside the source (exactly one FILE)\n"
           "  -c, --stdout          write the mirror to standard output (exactly one FILE);\n"
           "                        the result line then goes to standard error\n"
           "  -f, --force           replace existing outputs\n"
           "  -q, --quiet           print errors and findings only\n"
           "      --check           check the programs for what a mirror cannot make right,\n"
           "                        prove the mirror's tool path, and report it; write nothing\n"
           "      --strict          no program with findings or a changed path is written\n"
           "      --sync            flush each output to the disk (and its folder entry)\n"
           "                        before going on: slower, safe against a power cut\n"
           "      --verify          read the written output back and prove that its tool\n"
           "                        path is the reflection of the source's, move by move\n"
           "      --svg PICTURE     also draw the source's path and its mirror image into\n"
           "                        an SVG picture (one FILE; with --check, instead of the\n"
           "                        output)\n"
           "  -j, --jobs N          mirror N files at the same time (0: one per core;\n"
           "                        default 1); result lines keep the order of the files\n"
           "  -h, --help            show this help\n"
           "      --version         show the version\n"
           "\n"
           "An existing output (or picture) is replaced only with -f, or when you answer\n"
           "yes to the question asked at a terminal; otherwise that file is skipped.\n"
           "On Windows, ncmirror expands '*' and '?' in FILE itself.\n"
           "Results go to standard output, one line per file; errors to standard error,\n"
           "and findings there too, one per line: FILE:LINE: предупреждение: TEXT [CODE].\n"
           "Exit status: 0 when every file was written, 1 when any failed or was skipped,\n"
           "2 for a usage error. With --check: 0 when no file has a finding, 1 when any\n"
           "has (or cannot be read), 2 for a usage error. With --verify, a written output\n"
           "whose path differs from the reflection (path-mismatch) makes the status 1.\n";
}

std::string VersionText() { return "ncmirror " NCM_VERSION "\n"; }
