// One ncmirror run over its files: each source is checked, its output named
// by the mode table, an existing output replaced only when the user allows
// it, the engine run, and the outcome reported.
#pragma once

#include <string>

#include "Progress.h"

class CConsole;
class CMirrorFindings;
class CToolpathRun;
struct CommandLine;

class CMirrorBatch {
public:
    CMirrorBatch(CConsole& console, const CommandLine& options);
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
    // The findings of the last run on standard error, in the compilers' form;
    // the proof's findings name the output's lines.
    void PrintFindings(const std::string& shownSource, const CMirrorFindings& findings,
                       const std::string& shownOutput);
    // The lines the proof left out, once per file (not with -q).
    void PrintUnreadNote(const std::string& shownFile, const CToolpathRun& toolpath);
    // --svg: false (after saying why) when the picture may not be written.
    bool MayWritePicture(const std::string& source);
    bool WritePicture(CToolpathRun& toolpath, const std::string& sourceName, const std::string& mirrorName);
    bool MayReplace(const std::string& source, const std::string& output);

    void PrintResult(const std::string& line);
    void PrintError(const std::string& line);

    CConsole& m_console;
    const CommandLine& m_options;
    CProgress m_progress;
};

// True for an answer that means yes: y, yes, д, да in any case.
bool IsYesAnswer(const std::string& answer);
