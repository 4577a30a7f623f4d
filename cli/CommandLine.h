// What the user asked ncmirror to do, read from its arguments.
#pragma once

#include <string>
#include <vector>

struct MirrorMode;

struct CommandLine {
    const MirrorMode* mode = nullptr;  // from -m; null when not given
    std::string output;                // from -o; empty when not given
    bool hasOutput = false;
    bool toStdout = false;             // -c: the mirror goes to standard output
    bool force = false;                // -f: replace existing outputs
    bool quiet = false;                // -q: print errors only
    bool check = false;                // --check: report findings, write nothing
    bool strict = false;               // --strict: a finding fails the file
    bool sync = false;                 // --sync: each output reaches the disk before ncmirror goes on
    bool verify = false;               // --verify: prove the written output's path
    std::string svg;                   // from --svg: the picture to write; empty when not given
    std::string atX, atY;              // from --at: the mirror's line x = A, y = B as decimal text; empty: 0
    bool atCentre = false;             // --at centre: the middle of each source's box of feed moves
    unsigned jobs = 1;                 // -j: files mirrored at the same time; 0 = one per core
    bool help = false;                 // -h, --help
    bool version = false;              // --version
    std::vector<std::string> files;
};

// The most files -j mirrors at the same time.
constexpr unsigned kMaxJobs = 64;

// The FILE that names standard input.
constexpr const char kStandardInput[] = "-";

// Turns one file argument into the files it names (a wildcard pattern into
// the matching files).
using FileArgumentExpander = std::vector<std::string> (*)(const std::string& argument);

// Reads the arguments that follow the program name. Options and files may
// come in any order; "--" ends the options, and "-" alone is a file name.
// Each file argument goes through `expand` when one is given, before the
// counts of files are checked. On a usage error returns false and says why
// in `error`.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& result, std::string& error,
                      FileArgumentExpander expand = nullptr);

// True when the mirror of `file` goes to standard output: with -c, and for
// standard input unless -o names a file.
bool WritesToStandardOutput(const CommandLine& options, const std::string& file);
