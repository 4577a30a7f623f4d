#include "MirrorBatch.h"

#include "CommandLine.h"
#include "Console.h"
#include "FileSystem.h"
#include "MirrorMessages.h"
#include "MirrorModes.h"
#include "NcMirror.h"
#include "OrderedRuns.h"
#include "Platform.h"
#include "SafeOutput.h"
#include "StdinSpool.h"
#include "StdoutSink.h"
#include "ToolpathRun.h"
#include "ToolpathTexts.h"

#include <cctype>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// How messages name the standard streams.
const char kShownStandardInput[] = "<stdin>";
const char kShownStandardOutput[] = "<stdout>";

// The file's name without its folders, as a picture's legend shows it.
std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

// One FILE of the batch: what its run needs, and what the run leaves for
// the report.
struct CMirrorBatch::FileRun {
    std::string source;       // the file that holds the program
    std::string shownSource;  // the FILE as messages show it
    std::string output;       // mirror runs: where the mirror goes
    std::string shownOutput;
    bool prepared = false;    // false: nothing to run, and the user was told why
    std::string heldErrors;   // what its preparation had to say, for its report
    bool replace = false;     // an existing output may be replaced
    bool inPlace = false;     // the output is the source itself
    std::unique_ptr<CToolpathRun> toolpath;
    std::unique_ptr<CNcMirror> engine;
    long long result = 0;
    bool readBack = true;     // --verify: the written output could be read back
};

bool IsYesAnswer(const std::string& answer)
{
    std::string word;
    for (char c : answer)
        if (c != ' ' && c != '\t')
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* yes : {"y", "yes", "д", "Д", "да", "Да", "ДА", "дА"})
        if (word == yes)
            return true;
    return false;
}

CMirrorBatch::CMirrorBatch(CConsole& console, const CommandLine& options, CTempFileObserver& observer)
    : m_console(console), m_options(options), m_observer(observer),
      m_progress(console, !options.quiet && console.ErrorIsTerminal(), options.files.size()),
      m_resultStream(!options.check && options.files.size() == 1 && WritesToStandardOutput(options, options.files[0])
                         ? ConsoleStream::Error
                         : ConsoleStream::Output)
{
}

bool CMirrorBatch::Run()
{
    // Standard input and output, and a picture, take one FILE: no threads.
    const unsigned jobs = JobCount(m_options.jobs, kMaxJobs);
    if (jobs > 1 && m_options.files.size() > 1 && m_options.svg.empty() && !m_options.toStdout)
        return RunOnThreads(jobs);
    bool allWritten = true;
    for (std::size_t i = 0; i < m_options.files.size(); ++i) {
        const std::string& file = m_options.files[i];
        m_progress.Begin(i + 1, ShownPath(file));
        if (!RunOne(file))
            allWritten = false;
    }
    m_progress.Clear();
    return allWritten;
}

bool CMirrorBatch::RunOnThreads(unsigned jobs)
{
    // 1. In the order of the files: what each run needs, the questions
    //    about existing outputs included. What this has to say about a file
    //    is held for the file's report, so that every line keeps its order.
    const std::size_t count = m_options.files.size();
    std::vector<FileRun> runs(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& file = m_options.files[i];
        m_pHeldErrors = &runs[i].heldErrors;
        if (m_options.check) {
            runs[i].source = file;
            runs[i].shownSource = ShownPath(file);
            PrepareCheck(runs[i]);
        } else {
            const std::string output = m_options.hasOutput ? m_options.output : MirrorOutputPath(file, *m_options.mode);
            runs[i] = MirrorRunOf(file, ShownPath(file), output);
            m_pHeldErrors = &runs[i].heldErrors;
            PrepareMirror(runs[i]);
        }
        m_pHeldErrors = nullptr;
    }
    // 2. The runs on the threads; each report in the order of the files, as
    //    soon as its run is done, and what the run held let go.
    bool allWritten = true;
    RunInOrder(
        count, jobs,
        [&](std::size_t i) {
            if (runs[i].prepared)
                m_options.check ? ExecuteCheck(runs[i]) : ExecuteMirror(runs[i]);
        },
        [&](std::size_t i) {
            m_progress.Begin(i + 1, runs[i].shownSource);
            if (!runs[i].heldErrors.empty()) {
                m_progress.Clear();
                std::fflush(stdout);
                m_console.Write(ConsoleStream::Error, runs[i].heldErrors);
            }
            if (!(m_options.check ? ReportCheck(runs[i]) : ReportMirror(runs[i])))
                allWritten = false;
            runs[i].engine.reset();
            runs[i].toolpath.reset();
        });
    m_progress.Clear();
    return allWritten;
}

std::string CMirrorBatch::ShownPath(const std::string& file) const
{
    return file == kStandardInput ? kShownStandardInput : m_console.DisplayPath(file);
}

bool CMirrorBatch::RunOne(const std::string& file)
{
    if (file != kStandardInput)
        return RunOn(file, file);
    // The engine reads its source twice: standard input is kept in a
    // temporary file for the run, removed when it ends.
    PrepareStreamsForData();
    CStdinSpool spool(m_observer);
    const CStdinSpool::Result spooled = spool.Fill(stdin);
    m_bInputTaken = true;
    if (spooled == CStdinSpool::Result::CannotRead) {
        PrintError(FormatMirrorMessageLine(MirrorMessage::CannotRead, kShownStandardInput));
        return false;
    }
    if (spooled == CStdinSpool::Result::CannotWrite) {
        PrintError(FormatMirrorMessageLine(MirrorMessage::CannotWrite, std::string(),
                                           m_console.DisplayPath(spool.Path())));
        return false;
    }
    return RunOn(spool.Path(), file);
}

bool CMirrorBatch::RunOn(const std::string& source, const std::string& file)
{
    const std::string shownSource = ShownPath(file);
    if (m_options.check)
        return CheckOne(source, shownSource);
    if (WritesToStandardOutput(m_options, file))
        return MirrorToStdout(source, shownSource);
    const std::string output = m_options.hasOutput ? m_options.output : MirrorOutputPath(file, *m_options.mode);
    return MirrorOne(source, shownSource, output);
}

bool CMirrorBatch::SourceExists(const std::string& source, const std::string& shownSource)
{
    // Only a source that is not there is "not found"; a folder, a FIFO or a
    // file we may not read is the engine's to refuse, with its reason.
    int error = 0;
    if (KindOfPath(source.c_str(), &error) != PathKind::Missing || error != 0)
        return true;
    PrintError(FormatMirrorMessageLine(MirrorMessage::SourceNotFound, shownSource));
    return false;
}

CMirrorBatch::FileRun CMirrorBatch::MirrorRunOf(const std::string& source, const std::string& shownSource,
                                                const std::string& output) const
{
    FileRun run;
    run.source = source;
    run.shownSource = shownSource;
    run.output = output;
    run.shownOutput = m_console.DisplayPath(output);
    return run;
}

bool CMirrorBatch::MirrorOne(const std::string& source, const std::string& shownSource, const std::string& output)
{
    FileRun run = MirrorRunOf(source, shownSource, output);
    if (!PrepareMirror(run))
        return false;
    ExecuteMirror(run);
    return ReportMirror(run);
}

bool CMirrorBatch::PrepareMirror(FileRun& run)
{
    if (!SourceExists(run.source, run.shownSource))
        return false;
    // An existing file (or a link to one) is replaced only when the user
    // allows it. Anything else in the way the engine refuses.
    run.replace = m_options.force;
    if (!run.replace && KindOfPath(run.output.c_str()) == PathKind::File) {
        if (!MayReplace(run.shownSource, run.output))
            return false;
        run.replace = true;
    }
    if (!MayWritePicture(run.source, run.shownSource, run.output))
        return false;
    // Only the proof and the picture care whether the output is the source.
    run.inPlace = (m_options.verify || !m_options.svg.empty()) && IsSameFile(run.source.c_str(), run.output.c_str());
    run.prepared = true;
    return true;
}

namespace {

// The output appeared while the run went on (another run, another program).
bool OutputAppeared(long long result, const CNcMirror& engine)
{
    return result == kMirrorDestinationError && engine.LastFailure().kind == MirrorFailureKind::OutputExists;
}

}  // namespace

void CMirrorBatch::ExecuteMirror(FileRun& run) const
{
    // The picture comes from the lines as they are written, or with
    // --verify from the written file read back beside its source. A program
    // mirrored in place is gone when its output can be read: its proof reads
    // the lines as they are written.
    const bool picture = !m_options.svg.empty();
    const bool observe = (picture && !m_options.verify) || (m_options.verify && run.inPlace);
    run.toolpath = std::make_unique<CToolpathRun>(*m_options.mode, m_options.verify, picture);
    CMirrorSink* observer = observe ? run.toolpath->Sink() : nullptr;
    // A plain run's picture is read from the source on a second thread
    // beside the mirror, unless the output replaces the source.
    if (picture && !m_options.verify && !run.inPlace && run.toolpath->ReadSourceBeside(run.source.c_str()))
        observer = nullptr;
    run.engine = std::make_unique<CNcMirror>();
    run.result = RunEngine(*run.engine, run.source, run.output, run.replace, observer);
    run.readBack = run.result < 0 || !m_options.verify || run.inPlace ||
                   run.toolpath->ReadWritten(run.source.c_str(), run.output.c_str()) == kPairRead;
}

bool CMirrorBatch::ReportMirror(FileRun& run)
{
    if (!run.prepared)
        return false;
    if (OutputAppeared(run.result, *run.engine)) {
        // The same question as for any existing output, and the run anew.
        if (!MayReplace(run.shownSource, run.output))
            return false;
        run.replace = true;
        ExecuteMirror(run);
    }
    const CMirrorFindings findings = run.toolpath->Findings(run.engine->GetFindings());
    bool good = Report(run.result, *run.engine, findings, run.shownSource, run.shownOutput, run.shownOutput);
    if (!run.readBack) {
        PrintError(FormatMirrorMessageLine(MirrorMessage::CannotRead, run.shownOutput));
        good = false;
    }
    if (good && !m_options.svg.empty())
        good = WritePicture(*run.toolpath, BaseName(run.shownSource), BaseName(run.shownOutput));
    if (m_options.verify)
        PrintUnreadNote(run.shownOutput, *run.toolpath);
    return good && findings.Count(FindingCode::PathMismatch) == 0;
}

long long CMirrorBatch::RunEngine(CNcMirror& engine, const std::string& source, const std::string& output,
                                  bool replace, CMirrorSink* observer) const
{
    engine.SetDiagnosticStream(nullptr);
    engine.SetStrict(m_options.strict);
    engine.SetReplaceExisting(replace);
    engine.SetSync(m_options.sync);
    engine.SetTempFileObserver(&m_observer);
    return engine.Mirror(source.c_str(), output.c_str(), m_options.mode->number, observer);
}

bool CMirrorBatch::MirrorToStdout(const std::string& source, const std::string& shownSource)
{
    if (!SourceExists(source, shownSource))
        return false;
    PrepareStreamsForData();
    CNcMirror engine;
    engine.SetDiagnosticStream(nullptr);
    const int mode = m_options.mode->number;
    // The lines go out as they are made, so a strict run learns first, in
    // a run of the check alone, whether it may write at all.
    if (m_options.strict && engine.MirrorToSink(source.c_str(), nullptr, mode) >= 0 &&
        !engine.GetFindings().Empty())
        return Report(kMirrorRefusedByCheck, engine, engine.GetFindings(), shownSource, kShownStandardOutput,
                      shownSource);
    if (!MayWritePicture(source, shownSource, std::string()))
        return false;
    CStdoutSink sink;
    long long result = engine.MirrorToSink(source.c_str(), &sink, mode);
    if (!sink.Finish() && result >= 0)
        result = kMirrorDestinationError;
    // What went out cannot be read back: with --verify or --svg the proof
    // and the picture read the same run made once more.
    CToolpathRun toolpath(*m_options.mode, m_options.verify, !m_options.svg.empty());
    const bool again = result >= 0 && (m_options.verify || !m_options.svg.empty());
    if (again && engine.MirrorToSink(source.c_str(), toolpath.Sink(), mode) < 0)
        result = kMirrorSourceError;
    const CMirrorFindings findings = toolpath.Findings(engine.GetFindings());
    bool good = Report(result, engine, findings, shownSource, kShownStandardOutput, shownSource);
    if (good && !m_options.svg.empty())
        good = WritePicture(toolpath, BaseName(shownSource), kShownStandardOutput);
    if (m_options.verify)
        PrintUnreadNote(shownSource, toolpath);
    return good && findings.Count(FindingCode::PathMismatch) == 0;
}

bool CMirrorBatch::Report(long long result, const CNcMirror& engine, const CMirrorFindings& findings,
                          const std::string& shownSource, const std::string& shownOutput,
                          const std::string& proofFile)
{
    const std::string text =
        FormatMirrorMessageLine(MirrorMessageForResult(result), shownSource, shownOutput,
                                result >= 0 ? result : m_options.mode->number);
    if (result < 0 && result != kMirrorRefusedByCheck) {
        PrintError(text, engine.LastFailure());
        return false;
    }
    if (result >= 0)
        PrintResult(text);
    PrintFindings(shownSource, findings, proofFile);
    if (result < 0)
        PrintError(text);
    return result >= 0;
}

bool CMirrorBatch::CheckOne(const std::string& source, const std::string& shownSource)
{
    FileRun run;
    run.source = source;
    run.shownSource = shownSource;
    if (!PrepareCheck(run))
        return false;
    ExecuteCheck(run);
    return ReportCheck(run);
}

bool CMirrorBatch::PrepareCheck(FileRun& run)
{
    run.prepared = MayWritePicture(run.source, run.shownSource, std::string());
    return run.prepared;
}

void CMirrorBatch::ExecuteCheck(FileRun& run) const
{
    // The proof reads the mirrored lines as the run makes them.
    run.toolpath = std::make_unique<CToolpathRun>(*m_options.mode, true, !m_options.svg.empty());
    run.engine = std::make_unique<CNcMirror>();
    run.engine->SetDiagnosticStream(nullptr);
    run.result = run.engine->MirrorToSink(run.source.c_str(), run.toolpath->Sink(), m_options.mode->number);
}

bool CMirrorBatch::ReportCheck(FileRun& run)
{
    if (!run.prepared)
        return false;
    if (run.result < 0) {
        int error = 0;
        const bool missing = KindOfPath(run.source.c_str(), &error) == PathKind::Missing && error == 0;
        PrintError(FormatMirrorMessageLine(missing ? MirrorMessage::SourceNotFound : MirrorMessage::CannotRead,
                                           run.shownSource),
                   missing ? MirrorFailure() : run.engine->LastFailure());
        return false;
    }
    const CMirrorFindings findings = run.toolpath->Findings(run.engine->GetFindings());
    PrintResult(run.shownSource + ": " +
                (findings.Empty() ? std::string("замечаний нет")
                                  : "замечаний: " + std::to_string(findings.Total())));
    bool good = findings.Empty();
    if (!m_options.svg.empty() &&
        !WritePicture(*run.toolpath, BaseName(run.shownSource),
                      BaseName(MirrorOutputPath(run.shownSource, *m_options.mode))))
        good = false;
    PrintFindings(run.shownSource, findings, run.shownSource);
    PrintUnreadNote(run.shownSource, *run.toolpath);
    return good;
}

void CMirrorBatch::PrintFindings(const std::string& shownSource, const CMirrorFindings& findings,
                                 const std::string& proofFile)
{
    if (findings.Empty())
        return;
    m_progress.Clear();
    std::fflush(stdout);
    std::string text;
    for (const MirrorFinding& finding : findings.List())
        text += FormatFindingForLog(finding.code == FindingCode::PathMismatch ? proofFile : shownSource, finding) +
                "\n";
    const long long more = findings.Total() - static_cast<long long>(findings.List().size());
    if (more > 0)
        text += shownSource + ": предупреждение: " + FormatMoreFindings(more) + "\n";
    m_console.Write(ConsoleStream::Error, text);
}

bool CMirrorBatch::MayWritePicture(const std::string& source, const std::string& shownSource,
                                   const std::string& output)
{
    if (m_options.svg.empty())
        return true;
    // The picture must not take the place of a program.
    if (m_options.svg == source || m_options.svg == output || IsSameFile(m_options.svg.c_str(), source.c_str()) ||
        IsSameFile(m_options.svg.c_str(), output.c_str())) {
        PrintError("рисунок не записан: '" + m_console.DisplayPath(m_options.svg) +
                   "' - это сама программа или её результат; '" + shownSource + "' пропущен");
        return false;
    }
    switch (KindOfPath(m_options.svg.c_str())) {
    case PathKind::Missing: return true;
    case PathKind::File: return MayReplace(shownSource, m_options.svg);
    case PathKind::Directory:
    case PathKind::Other: break;  // a folder, a device, a dangling link: never replaced
    }
    PrintError(FormatMirrorMessageLine(MirrorMessage::CannotWrite, std::string(), m_console.DisplayPath(m_options.svg)));
    return false;
}

bool CMirrorBatch::WritePicture(CToolpathRun& toolpath, const std::string& sourceName, const std::string& mirrorName)
{
    const std::string shownPicture = m_console.DisplayPath(m_options.svg);
    // The user was asked before the run; the interruption cleanup knows of
    // the temporary file, as of any output's.
    SafeOutputOptions options;
    options.bSync = m_options.sync;
    options.pObserver = &m_observer;
    if (!toolpath.WritePicture(m_options.svg.c_str(), sourceName, mirrorName, options)) {
        PrintError(FormatMirrorMessageLine(MirrorMessage::CannotWrite, std::string(), shownPicture));
        return false;
    }
    PrintResult(FormatPictureWritten(shownPicture));
    return true;
}

void CMirrorBatch::PrintUnreadNote(const std::string& shownFile, const CToolpathRun& toolpath)
{
    if (m_options.quiet || toolpath.UnreadLines() == 0)
        return;
    m_progress.Clear();
    std::fflush(stdout);
    m_console.Write(ConsoleStream::Error,
                    FormatUnreadNote(shownFile, toolpath.FirstUnreadLine(), toolpath.UnreadLines()) + "\n");
}

bool CMirrorBatch::MayReplace(const std::string& shownSource, const std::string& output)
{
    if (m_options.force)
        return true;
    const std::string shownOutput = m_console.DisplayPath(output);
    // The answer would come from standard input, which a program may have used up.
    if (!m_console.InputIsTerminal() || m_bInputTaken) {
        PrintError("'" + shownOutput + "' exists; '" + shownSource + "' skipped (-f replaces it)");
        return false;
    }
    m_progress.Clear();
    std::fflush(stdout);
    m_console.Write(ConsoleStream::Error,
                    FormatMirrorMessageLine(MirrorMessage::OutputExists, std::string(), shownOutput) + " [y/N] ");
    std::string answer;
    if (!m_console.ReadLine(answer)) {
        m_console.Write(ConsoleStream::Error, "\n");
        return false;
    }
    return IsYesAnswer(answer);
}

void CMirrorBatch::PrintResult(const std::string& line)
{
    if (m_options.quiet)
        return;
    m_progress.Clear();
    m_console.Write(m_resultStream, line + "\n");
}

void CMirrorBatch::PrintError(const std::string& line, const MirrorFailure& failure)
{
    std::string text = "ncmirror: " + line + "\n";
    const std::string reason = MirrorFailureText(failure);
    if (!reason.empty())
        text += "ncmirror: " + reason + "\n";
    if (m_pHeldErrors) {
        *m_pHeldErrors += text;  // shown with the file's report
        return;
    }
    m_progress.Clear();
    std::fflush(stdout);
    m_console.Write(ConsoleStream::Error, text);
}
