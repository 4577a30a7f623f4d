#include "MirrorBatch.h"

#include "CommandLine.h"
#include "Console.h"
#include "FileSystem.h"
#include "MirrorMessages.h"
#include "MirrorModes.h"
#include "NcMirror.h"
#include "Platform.h"
#include "StdinSpool.h"
#include "StdoutSink.h"

#include <cctype>
#include <cstdio>

namespace {

// How messages name the standard streams.
const char kShownStandardInput[] = "<stdin>";
const char kShownStandardOutput[] = "<stdout>";

}  // namespace

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

bool CMirrorBatch::MirrorOne(const std::string& source, const std::string& shownSource, const std::string& output)
{
    const std::string shownOutput = m_console.DisplayPath(output);
    if (!SourceExists(source, shownSource))
        return false;

    // An existing file (or a link to one) is replaced only when the user
    // allows it. Anything else in the way the engine refuses.
    bool replace = m_options.force;
    if (!replace && KindOfPath(output.c_str()) == PathKind::File) {
        if (!MayReplace(shownSource, output))
            return false;
        replace = true;
    }
    CNcMirror engine;
    long long result = RunEngine(engine, source, output, replace);
    if (result == kMirrorDestinationError && engine.LastFailure().kind == MirrorFailureKind::OutputExists) {
        // It appeared while the run went on (another run, another program):
        // the same question as for any existing output.
        if (!MayReplace(shownSource, output))
            return false;
        result = RunEngine(engine, source, output, true);
    }
    return Report(result, engine, shownSource, shownOutput);
}

long long CMirrorBatch::RunEngine(CNcMirror& engine, const std::string& source, const std::string& output,
                                  bool replace)
{
    engine.SetDiagnosticStream(nullptr);
    engine.SetStrict(m_options.strict);
    engine.SetReplaceExisting(replace);
    engine.SetSync(m_options.sync);
    engine.SetTempFileObserver(&m_observer);
    return engine.Mirror(source.c_str(), output.c_str(), m_options.mode->number);
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
        return Report(kMirrorRefusedByCheck, engine, shownSource, kShownStandardOutput);
    CStdoutSink sink;
    long long result = engine.MirrorToSink(source.c_str(), &sink, mode);
    if (!sink.Finish() && result >= 0)
        result = kMirrorDestinationError;
    return Report(result, engine, shownSource, kShownStandardOutput);
}

bool CMirrorBatch::Report(long long result, const CNcMirror& engine, const std::string& shownSource,
                          const std::string& shownOutput)
{
    const CMirrorFindings& findings = engine.GetFindings();
    const std::string text =
        FormatMirrorMessageLine(MirrorMessageForResult(result), shownSource, shownOutput,
                                result >= 0 ? result : m_options.mode->number);
    if (result < 0 && result != kMirrorRefusedByCheck) {
        PrintError(text, engine.LastFailure());
        return false;
    }
    if (result >= 0)
        PrintResult(text);
    PrintFindings(shownSource, findings);
    if (result < 0)
        PrintError(text);
    return result >= 0;
}

bool CMirrorBatch::CheckOne(const std::string& source, const std::string& shownSource)
{
    CNcMirror engine;
    engine.SetDiagnosticStream(nullptr);
    const long long result = engine.MirrorToSink(source.c_str(), nullptr, m_options.mode->number);
    if (result < 0) {
        int error = 0;
        const bool missing = KindOfPath(source.c_str(), &error) == PathKind::Missing && error == 0;
        PrintError(FormatMirrorMessageLine(missing ? MirrorMessage::SourceNotFound : MirrorMessage::CannotRead,
                                           shownSource),
                   missing ? MirrorFailure() : engine.LastFailure());
        return false;
    }
    const CMirrorFindings& findings = engine.GetFindings();
    PrintResult(shownSource + ": " +
                (findings.Empty() ? std::string("замечаний нет")
                                  : "замечаний: " + std::to_string(findings.Total())));
    PrintFindings(shownSource, findings);
    return findings.Empty();
}

void CMirrorBatch::PrintFindings(const std::string& shownSource, const CMirrorFindings& findings)
{
    if (findings.Empty())
        return;
    m_progress.Clear();
    std::fflush(stdout);
    std::string text;
    for (const MirrorFinding& finding : findings.List())
        text += FormatFindingForLog(shownSource, finding) + "\n";
    const long long more = findings.Total() - static_cast<long long>(findings.List().size());
    if (more > 0)
        text += shownSource + ": предупреждение: " + FormatMoreFindings(more) + "\n";
    m_console.Write(ConsoleStream::Error, text);
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
    m_progress.Clear();
    std::fflush(stdout);
    std::string text = "ncmirror: " + line + "\n";
    const std::string reason = MirrorFailureText(failure);
    if (!reason.empty())
        text += "ncmirror: " + reason + "\n";
    m_console.Write(ConsoleStream::Error, text);
}
