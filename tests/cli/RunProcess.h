// Runs a program as a user would: in a folder, with its standard streams on
// pipes and files, or on a terminal of its own.
#pragma once

#include <string>
#include <vector>

struct ProcessResult {
    int status = -1;        // exit status; 128 + signal number when killed
    std::string out;        // standard output
    std::string err;        // standard error
    long peakMemoryKb = 0;  // the largest resident set the program had
};

// Runs `args` (args[0] is the program) in `folder` with `input` on its
// standard input (a pipe, never a terminal).
ProcessResult RunProgram(const std::vector<std::string>& args, const std::string& folder,
                         const std::string& input = std::string());

// The same in two steps, for a test that acts while the program runs: the
// program started, then waited for with its output gathered.
struct StartedProgram {
    int pid = -1;
    int out = -1;  // read ends of its standard output and error
    int err = -1;
};
StartedProgram StartProgram(const std::vector<std::string>& args, const std::string& folder,
                            const std::string& input = std::string());
ProcessResult FinishProgram(StartedProgram& program);

// Runs `args` in `folder` on a new pseudo-terminal (standard input, output
// and error all on it). When `prompt` appears on the terminal, waits
// `delayMs`, then types `answer`. `out` gets all the terminal showed; `err`
// stays empty.
ProcessResult RunInTerminal(const std::vector<std::string>& args, const std::string& folder,
                            const std::string& prompt, const std::string& answer, int delayMs = 0);
