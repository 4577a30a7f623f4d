// The plan of a batch, made on the main thread in the order of the files:
// each file's source and output, the questions about files in the way (the
// output's and the picture's), the picture's checks, and the stretches of
// files whose jobs touch none of each other's files. Each file comes out as
// the description of its job.
#pragma once

#include "FileJob.h"

#include <cstddef>
#include <string>
#include <vector>

class CConsole;
class CReportPrinter;
class CTempFileObserver;
struct CommandLine;

class CBatchPlan {
public:
    // Questions go through `printer`; `observer` learns of the temporary
    // files the plan makes (the copy of standard input, the picture's probe).
    CBatchPlan(const CConsole& console, const CommandLine& options, CTempFileObserver& observer,
               CReportPrinter& printer);
    CBatchPlan(const CBatchPlan&) = delete;
    CBatchPlan& operator=(const CBatchPlan&) = delete;

    // The job of FILE `file` ("-": standard input).
    FileJob PlanFile(const std::string& file);

    // The end of the stretch of files from `begin` on that may go on
    // threads: a file that is an earlier file's output, or whose output an
    // earlier file reads or writes, must wait for that file's report.
    std::size_t EndOfIndependentFiles(std::size_t begin) const;

    // The output of `job` appeared while it was mirrored: true when the user
    // allows it to be replaced (the job then replaces it), else false with
    // `refusal` saying why, if anything does.
    bool MayReplaceAppearedOutput(FileJob& job, std::vector<Notice>& refusal);

    // `file` as messages show it.
    std::string ShownPath(const std::string& file) const;

private:
    // Each step below refuses `job` (and says why in it) when it may not go on.
    // The job's mirror position: the command line's, or the middle of its source.
    void PlanPosition(FileJob& job) const;
    void PlanMirror(FileJob& job, const std::string& output);
    void PlanCheck(FileJob& job);
    void PlanMirrorToStdout(FileJob& job);
    // Only a source that is not there at all is "not found".
    bool SourceExists(FileJob& job);
    // --svg: the picture must not take a program's place, nor a file the
    // user keeps, and its folder must take it.
    bool MayWritePicture(FileJob& job, const std::string& output);
    // An existing `path` is replaced with -f or a yes at a terminal.
    bool MayReplace(const std::string& shownSource, const std::string& path, std::vector<Notice>& refusal);
    std::string OutputOf(const std::string& file) const;

    const CConsole& m_console;
    const CommandLine& m_options;
    CTempFileObserver& m_observer;
    CReportPrinter& m_printer;
    bool m_bInputTaken = false;  // standard input was read as a program: no answer can come from it
};

// True for an answer that means yes: y, yes, д, да in any case.
bool IsYesAnswer(const std::string& answer);
