// One ncmirror batch: plan -> job -> printer. The plan (main thread, in the
// order of the files) turns each file into a job; the jobs go on threads
// (-j) or one after another; the printer shows each report in the order of
// the files as soon as its job is done.
#pragma once

#include "BatchPlan.h"
#include "Console.h"
#include "FileJob.h"
#include "ReportPrinter.h"

#include <cstddef>

class CTempFileObserver;
struct CommandLine;

class CBatchPipeline {
public:
    // `observer` learns of every temporary file of the jobs.
    CBatchPipeline(CConsole& console, const CommandLine& options, CTempFileObserver& observer);
    CBatchPipeline(const CBatchPipeline&) = delete;
    CBatchPipeline& operator=(const CBatchPipeline&) = delete;

    // Mirrors (or with --check, checks) every file, going on past failures;
    // true when every output was written (every file checked without a
    // finding).
    bool ProcessFiles();

    // False when standard output carries a program and the result lines go
    // to standard error.
    bool ResultsOnStandardOutput() const { return m_printer.ResultStream() == ConsoleStream::Output; }

private:
    // The files from `begin` to `end`: planned, worked on `threads` threads,
    // reported; true when every one is done.
    bool ProcessStretch(std::size_t begin, std::size_t end, unsigned threads);
    // Shows the report of `job`; true when it is done. An output that
    // appeared during the job is asked about, and the job done again.
    bool Deliver(FileJob& job, FileReport report);

    const CommandLine& m_options;
    JobSettings m_settings;
    CReportPrinter m_printer;
    CBatchPlan m_plan;
};
