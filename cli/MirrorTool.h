// CMirrorTool: the ncmirror application object. Reads the command line,
// answers --help and --version, runs the batch and turns it into the exit
// status.
#pragma once

#include "CommandLine.h"
#include "Console.h"
#include "InterruptCleanup.h"

enum : int {
    kExitAllWritten = 0,  // every file was written
    kExitSomeFailed = 1,  // a file failed or was skipped, or output was lost
    kExitUsage = 2,       // the command line was wrong
};

class CMirrorTool {
public:
    int Run(int argc, char** argv);

private:
    int Finish(int status);

    CConsole m_console;
    // Removes the temporary files of runs that are interrupted: one per file
    // mirrored at the same time, and the copy of standard input.
    CInterruptCleanup m_cleanup{kMaxJobs + 1};
};
