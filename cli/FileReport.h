// What one file's job has to say, as data: the lines for the printer in
// their order, and whether the file counts as done. Jobs fill it on any
// thread; only the printer shows it.
#pragma once

#include "MirrorFailure.h"

#include <string>
#include <vector>

class CMirrorFindings;
class CNcMirror;
class CToolpathRun;

enum class NoticeKind {
    Result,    // a result line where results go; not with -q
    Error,     // "ncmirror: " and the line on standard error, the failure's reason on a line of its own
    Findings,  // the findings, one per line, on standard error
    Note,      // a note on standard error; not with -q
};

struct Notice {
    NoticeKind kind;
    std::string text;       // without the last line end
    MirrorFailure failure;  // Error: what the reason line tells; none for no reason line
};

struct FileReport {
    std::vector<Notice> notices;
    bool done = false;            // the output was written (--check: the file was read and has no finding)
    bool outputAppeared = false;  // the output appeared during the job: nothing to show, ask and go again

    void Result(std::string line) { notices.push_back({NoticeKind::Result, std::move(line), MirrorFailure()}); }
    void Error(std::string line, const MirrorFailure& failure = MirrorFailure())
    {
        notices.push_back({NoticeKind::Error, std::move(line), failure});
    }
};

// The result line of an engine's `result` (or its error, with the engine's
// reason), then the findings; a program the check refused gets its error
// line after its findings. True when the output was written. The proof's
// findings name the lines of `proofFile`.
bool AddOutcome(FileReport& report, long long result, const CNcMirror& engine, const CMirrorFindings& findings,
                int modeNumber, const std::string& shownSource, const std::string& shownOutput,
                const std::string& proofFile);

// The findings in the compilers' form, and how many more there were.
void AddFindings(FileReport& report, const std::string& shownSource, const CMirrorFindings& findings,
                 const std::string& proofFile);

// The lines the proof left out, when there are any.
void AddUnreadNote(FileReport& report, const std::string& shownFile, const CToolpathRun& toolpath);
