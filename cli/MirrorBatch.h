// One ncmirror run over its files: each source is checked, its output named
// by the mode table, an existing output replaced only when the user allows
// it, the engine run, and the outcome reported.
#pragma once

#include <string>

#include "Console.h"
#include "MirrorFailure.h"
#include "Progress.h"

class CConsole;
class CNcMirror;
class CTempFileObserver;
class CMirrorFindings;
class CMirrorSink;
class CToolpathRun;
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

    // False when standard output carries a program and the result lines go
    // to standard error.
    bool ResultsOnStandardOutput() const { return m_resultStream == ConsoleStream::Output; }

private:
    // One FILE of the command line ("-": standard input); true when its
    // output was written (with --check: when it has no finding).
    bool RunOne(const std::string& file);
    // The same for `source`, the file that holds the program of `file`.
    bool RunOn(const std::string& source, const std::string& file);
    // `file` as messages show it.
    std::string ShownPath(const std::string& file) const;
    // False (and says so) when `source` is not there at all.
    bool SourceExists(const std::string& source, const std::string& shownSource);

    // Every file on `jobs` threads, the reports in the order of the files.
    bool RunOnThreads(unsigned jobs);
    // The end of the stretch of files from `begin` on whose runs touch none
    // of each other's files.
    std::size_t EndOfIndependentFiles(std::size_t begin) const;
    // The files from `begin` to `end` on `jobs` threads.
    bool RunStretchOnThreads(std::size_t begin, std::size_t end, unsigned jobs);
    // Where the mirror of `file` goes.
    std::string OutputOf(const std::string& file) const;

    // The steps of one file's run: what it needs, checked in the order of the
    // files (questions included; false after telling the user why there is no
    // run); the run itself, which touches no console and may go on a thread
    // of its own; its report, in the order of the files.
    struct FileRun;
    FileRun MirrorRunOf(const std::string& source, const std::string& shownSource, const std::string& output) const;
    bool PrepareMirror(FileRun& run);
    void ExecuteMirror(FileRun& run) const;
    bool ReportMirror(FileRun& run);
    bool PrepareCheck(FileRun& run);
    void ExecuteCheck(FileRun& run) const;
    bool ReportCheck(FileRun& run);

    bool MirrorOne(const std::string& source, const std::string& shownSource, const std::string& output);
    // The mirror to standard output, the result line to standard error.
    bool MirrorToStdout(const std::string& source, const std::string& shownSource);
    // --check: the findings of one source, nothing written; true when it
    // was read and has none.
    bool CheckOne(const std::string& source, const std::string& shownSource);
    // The result line, the findings and the failure (with its reason) of a
    // run of `engine`, each where it belongs; true when the output was
    // written. The proof's findings name the lines of `proofFile`.
    bool Report(long long result, const CNcMirror& engine, const CMirrorFindings& findings,
                const std::string& shownSource, const std::string& shownOutput, const std::string& proofFile);
    // The findings of the last run on standard error, in the compilers' form.
    void PrintFindings(const std::string& shownSource, const CMirrorFindings& findings,
                       const std::string& proofFile);
    // The lines the proof left out, once per file (not with -q).
    void PrintUnreadNote(const std::string& shownFile, const CToolpathRun& toolpath);
    // --svg: false (after saying why) when the picture may not be written:
    // it would replace the program or its output, or a file the user keeps.
    bool MayWritePicture(const std::string& source, const std::string& shownSource, const std::string& output);
    bool WritePicture(CToolpathRun& toolpath, const std::string& sourceName, const std::string& mirrorName);
    bool MayReplace(const std::string& shownSource, const std::string& output);
    // One run of `engine` with the batch's options (and `observer` of its
    // lines, when given); its result.
    long long RunEngine(CNcMirror& engine, const std::string& source, const std::string& output, bool replace,
                        CMirrorSink* observer = nullptr) const;

    void PrintResult(const std::string& line);
    // An error line, and the reason of `failure` on a line of its own.
    void PrintError(const std::string& line, const MirrorFailure& failure = MirrorFailure());

    CConsole& m_console;
    const CommandLine& m_options;
    CTempFileObserver& m_observer;
    CProgress m_progress;
    ConsoleStream m_resultStream;  // standard error when standard output carries a program
    bool m_bInputTaken = false;    // standard input was read as a program
    bool m_bReplacePicture = false;  // --svg: the user allowed an existing picture to be replaced
    std::string* m_pHeldErrors = nullptr;  // error lines held back instead of shown, when set
};

// True for an answer that means yes: y, yes, д, да in any case.
bool IsYesAnswer(const std::string& answer);
