// What the user asked ncmirror to do, read from its arguments.
#pragma once

#include <string>
#include <vector>

struct MirrorMode;

struct CommandLine {
    const MirrorMode* mode = nullptr;  // from -m; null when not given
    std::string output;                // from -o; empty when not given
    bool hasOutput = false;
    bool force = false;                // -f: replace existing outputs
    bool quiet = false;                // -q: print errors only
    bool check = false;                // --check: report findings, write nothing
    bool strict = false;               // --strict: a finding fails the file
    bool verify = false;               // --verify: prove the written output's path
    std::string svg;                   // from --svg: the picture to write; empty when not given
    bool help = false;                 // -h, --help
    bool version = false;              // --version
    std::vector<std::string> files;
};

// Reads the arguments that follow the program name. Options and files may
// come in any order; "--" ends the options, and "-" alone is a file name.
// On a usage error returns false and says why in `error`.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& result, std::string& error);
