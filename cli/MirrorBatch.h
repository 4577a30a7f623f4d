// One ncmirror run over its files: each source is checked, its output named
// by the mode table, an existing output replaced only when the user allows
// it, the engine run, and the outcome reported.
#pragma once

#include <string>

#include "Progress.h"

class CConsole;
struct CommandLine;

class CMirrorBatch {
public:
    CMirrorBatch(CConsole& console, const CommandLine& options);
    CMirrorBatch(const CMirrorBatch&) = delete;
    CMirrorBatch& operator=(const CMirrorBatch&) = delete;

    // Mirrors every file, going on past failures; true when every output was
    // written.
    bool Run();

private:
    bool MirrorOne(const std::string& source, const std::string& output);
    bool MayReplace(const std::string& source, const std::string& output);

    void PrintResult(const std::string& line);
    void PrintError(const std::string& line);

    CConsole& m_console;
    const CommandLine& m_options;
    CProgress m_progress;
};

// True for an answer that means yes: y, yes, д, да in any case.
bool IsYesAnswer(const std::string& answer);
