// Runs a Windows program as cmd.exe would, its standard streams redirected
// to files, and collects what it wrote.
#pragma once

#include <string>

struct ProgramRun {
    unsigned long status = 0xFFFFFFFF;  // exit code; 0xFFFFFFFF when it did not run or end
    std::string out;                    // standard output, as bytes
    std::string err;                    // standard error, as bytes
};

// Runs `commandLine` in `folder` (empty: the current one) with standard
// input from the file `input` (empty: none).
ProgramRun RunProgram(const std::wstring& commandLine, const std::wstring& folder,
                      const std::wstring& input = std::wstring());
