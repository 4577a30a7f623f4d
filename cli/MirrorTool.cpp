#include "MirrorTool.h"

#include "CommandLine.h"
#include "BatchPipeline.h"
#include "Platform.h"
#include "UsageText.h"

#include <cstdio>
#include <string>
#include <vector>

int CMirrorTool::Run(int argc, char** argv)
{
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    CommandLine options;
    std::string error;
    if (!ParseCommandLine(args, options, error, ExpandFileArgument)) {
        m_console.Write(ConsoleStream::Error, "ncmirror: " + error + "\n" + ShortUsage());
        return kExitUsage;
    }
    // Windows would write such a file under another name than the one the
    // user gave, and the messages would name a file that is not there.
    for (const std::string* name : {&options.output, &options.svg})
        if (!name->empty() && !SystemKeepsName(*name)) {
            m_console.Write(ConsoleStream::Error, "ncmirror: имя '" + m_console.DisplayPath(*name) +
                                                      "' оканчивается точкой или пробелом: Windows записал бы "
                                                      "файл под другим именем\n");
            return kExitUsage;
        }
    if (options.help) {
        m_console.Write(ConsoleStream::Output, HelpText());
        return Finish(kExitAllWritten);
    }
    if (options.version) {
        m_console.Write(ConsoleStream::Output, VersionText());
        return Finish(kExitAllWritten);
    }
    m_cleanup.Install();
    CBatchPipeline batch(m_console, options, m_cleanup);
    int status = batch.ProcessFiles() ? kExitAllWritten : kExitSomeFailed;
    // Errors and findings that could not be shown are a failure too.
    if (m_console.ErrorsLost())
        status = kExitSomeFailed;
    // A program written to standard output has had its writes checked and
    // reported by the run itself.
    return batch.ResultsOnStandardOutput() ? Finish(status) : status;
}

// A script that reads our results must learn when they did not all arrive.
int CMirrorTool::Finish(int status)
{
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        m_console.Write(ConsoleStream::Error, "ncmirror: cannot write the results to standard output\n");
        return kExitSomeFailed;
    }
    return status;
}
