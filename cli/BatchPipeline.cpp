#include "BatchPipeline.h"

#include "CommandLine.h"
#include "OrderedWork.h"

#include <vector>

namespace {

ConsoleStream ResultStreamOf(const CommandLine& options)
{
    const bool programOnStdout =
        !options.check && options.files.size() == 1 && WritesToStandardOutput(options, options.files[0]);
    return programOnStdout ? ConsoleStream::Error : ConsoleStream::Output;
}

// Standard input and output, and a picture, take one FILE: no threads.
unsigned ThreadsFor(const CommandLine& options)
{
    if (options.files.size() < 2 || !options.svg.empty() || options.toStdout)
        return 1;
    return JobCount(options.jobs, kMaxJobs);
}

}  // namespace

CBatchPipeline::CBatchPipeline(CConsole& console, const CommandLine& options, CTempFileObserver& observer)
    : m_options(options), m_settings{options, observer},
      m_printer(console, ResultStreamOf(options), options.quiet, options.files.size()),
      m_plan(console, options, observer, m_printer)
{
}

bool CBatchPipeline::ProcessFiles()
{
    // On threads the batch goes in stretches of files whose jobs touch none
    // of each other's files, each planned once the one before it is
    // reported, so that the outputs are those of one file at a time. The
    // check writes nothing: its files make one stretch. On one thread each
    // file is a stretch of its own: planned, worked and reported before the
    // next is planned.
    const unsigned threads = ThreadsFor(m_options);
    const std::size_t count = m_options.files.size();
    bool allDone = true;
    for (std::size_t begin = 0; begin < count;) {
        const std::size_t end = threads == 1       ? begin + 1
                                : m_options.check ? count
                                                  : m_plan.EndOfIndependentFiles(begin);
        if (!ProcessStretch(begin, end, threads))
            allDone = false;
        begin = end;
    }
    m_printer.ClearProgress();
    return allDone;
}

bool CBatchPipeline::ProcessStretch(std::size_t begin, std::size_t end, unsigned threads)
{
    // 1. The plan, questions included, in the order of the files. One file
    //    at a time, the progress line names the file from its plan on; on
    //    threads, from its report on.
    std::vector<FileJob> jobs;
    for (std::size_t i = begin; i < end; ++i) {
        const std::string& file = m_options.files[i];
        if (threads == 1)
            m_printer.ShowProgress(i + 1, m_plan.ShownPath(file));
        jobs.push_back(m_plan.PlanFile(file));
    }
    // 2. The jobs; each report shown in the order of the files as soon as
    //    its job is done, and let go.
    std::vector<FileReport> reports(jobs.size());
    bool allDone = true;
    WorkInOrder(
        jobs.size(), threads, [&](std::size_t i) { reports[i] = DoJob(jobs[i], m_settings); },
        [&](std::size_t i) {
            m_printer.ShowProgress(begin + i + 1, jobs[i].shownSource);
            if (!Deliver(jobs[i], std::move(reports[i])))
                allDone = false;
            jobs[i] = FileJob();
        });
    return allDone;
}

bool CBatchPipeline::Deliver(FileJob& job, FileReport report)
{
    if (report.outputAppeared) {
        FileReport refused;
        report = m_plan.MayReplaceAppearedOutput(job, refused.notices) ? DoJob(job, m_settings) : std::move(refused);
    }
    m_printer.Print(report.notices);
    return report.done;
}
