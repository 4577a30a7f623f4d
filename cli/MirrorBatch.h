// One ncmirror run over its files: each source is checked, its output named
// by the mode table, an existing output replaced only when the user allows
// it, the engine run, and the outcome reported.
#pragma once

#include <string>

#include "MirrorFailure.h"
#include "Progress.h"

class CConsole;
class CNcMirror;
class CTempFileObserver;
class CMirrorFindings;
struct CommandLine;

class CMirrorBatch {
public:
    // `observer` learns of every temporary file of the runs.
    CMirrorBatch(CConsole& console, const CommandLine& options, CTempFileObserver& observer);
    CMirrorBatch(const CMirrorBatch&) = delete;
    CMirrorBatch& operator=(const CMirrorBatch&) = delete;

    // Mirrors (or with --check, checks) every file, going on past failures;
    // true when every output was written (every file checked without a
    // finding).
    bool Run();

private:
    bool MirrorOne(const std::string& source, const std::string& output);
    // --check: the findings of one source, nothing written; true when it
    // was read and has none.
    bool CheckOne(const std::string& source);
    // The findings of the last run on standard error, in the compilers' form.
    void PrintFindings(const std::string& shownSource, const CMirrorFindings& findings);
    bool MayReplace(const std::string& source, const std::string& output);
    // One run of `engine` with the batch's options; its result.
    long long RunEngine(CNcMirror& engine, const std::string& source, const std::string& output, bool replace);

    void PrintResult(const std::string& line);
    // An error line, and the reason of `failure` on a line of its own.
    void PrintError(const std::string& line, const MirrorFailure& failure = MirrorFailure());

    CConsole& m_console;
    const CommandLine& m_options;
    CTempFileObserver& m_observer;
    CProgress m_progress;
};

// True for an answer that means yes: y, yes, д, да in any case.
bool IsYesAnswer(const std::string& answer);
