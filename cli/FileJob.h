// One file's job: what the plan settled for it (which work, its paths,
// what the user allowed), and the work itself, which mirrors or checks the
// file and returns its report. The work touches no console and may go on
// any thread.
#pragma once

#include "FileReport.h"
#include "StdinSpool.h"

#include <memory>
#include <string>
#include <vector>

class CTempFileObserver;
struct CommandLine;

struct FileJob {
    enum class Kind {
        Mirror,          // the mirror into the output file
        Check,           // --check: the findings and the proof, nothing written
        MirrorToStdout,  // the mirror to standard output, the result line to standard error
    };
    Kind kind = Kind::Mirror;
    std::string source;          // the file that holds the program
    std::string shownSource;     // the FILE as messages show it
    std::string output;          // Mirror: where the mirror goes
    std::string shownOutput;
    std::string shownPicture;    // --svg: the picture as messages show it
    bool replace = false;        // an existing output may be replaced
    bool replacePicture = false; // an existing picture may be replaced
    bool inPlace = false;        // the output is the source itself
    std::string atX, atY;        // the mirror's position as decimal text (empty: the axis)
    bool refused = false;        // no work: the plan stopped here, `refusal` says why (or the user said no)
    std::vector<Notice> refusal;
    std::unique_ptr<CStdinSpool> input;  // FILE '-': the copy of standard input, removed with the job
};

// What every job reads of the command line, and who learns of its
// temporary files.
struct JobSettings {
    const CommandLine& options;
    CTempFileObserver& observer;
};

// Does `job`: the report of its work, or of its refusal.
FileReport DoJob(const FileJob& job, const JobSettings& settings);

// With --strict and the mirror to standard output: the findings and the
// proof of a run into nothing, before a line goes out. A report that is not
// done says why the program may not go out.
FileReport ProveBeforeOutput(const FileJob& job, const JobSettings& settings);
