#include "MirrorBatch.h"

#include "CommandLine.h"
#include "Console.h"
#include "FileSystem.h"
#include "MirrorMessages.h"
#include "MirrorModes.h"
#include "NcMirror.h"

#include <cctype>
#include <cstdio>

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
      m_progress(console, !options.quiet && console.ErrorIsTerminal(), options.files.size())
{
}

bool CMirrorBatch::Run()
{
    bool allWritten = true;
    for (std::size_t i = 0; i < m_options.files.size(); ++i) {
        const std::string& source = m_options.files[i];
        m_progress.Begin(i + 1, m_console.DisplayPath(source));
        const std::string output = m_options.hasOutput ? m_options.output : MirrorOutputPath(source, *m_options.mode);
        if (!(m_options.check ? CheckOne(source) : MirrorOne(source, output)))
            allWritten = false;
    }
    m_progress.Clear();
    return allWritten;
}

bool CMirrorBatch::MirrorOne(const std::string& source, const std::string& output)
{
    const std::string shownSource = m_console.DisplayPath(source);
    const std::string shownOutput = m_console.DisplayPath(output);

    // Only a source that is not there is "not found"; a folder, a FIFO or a
    // file we may not read is the engine's to refuse, with its reason.
    int error = 0;
    if (KindOfPath(source.c_str(), &error) == PathKind::Missing && error == 0) {
        PrintError(FormatMirrorMessageLine(MirrorMessage::SourceNotFound, shownSource));
        return false;
    }

    // An existing file (or a link to one) is replaced only when the user
    // allows it. Anything else in the way the engine refuses.
    bool replace = m_options.force;
    if (!replace && KindOfPath(output.c_str()) == PathKind::File) {
        if (!MayReplace(source, output))
            return false;
        replace = true;
    }
    CNcMirror engine;
    long long result = RunEngine(engine, source, output, replace);
    if (result == kMirrorDestinationError && engine.LastFailure().kind == MirrorFailureKind::OutputExists) {
        // It appeared while the run went on (another run, another program):
        // the same question as for any existing output.
        if (!MayReplace(source, output))
            return false;
        result = RunEngine(engine, source, output, true);
    }

    const std::string text =
        FormatMirrorMessageLine(MirrorMessageForResult(result), shownSource, shownOutput,
                                result >= 0 ? result : m_options.mode->number);
    if (result < 0 && result != kMirrorRefusedByCheck) {
        PrintError(text, engine.LastFailure());
        return false;
    }
    if (result >= 0)
        PrintResult(text);
    PrintFindings(shownSource, engine.GetFindings());
    if (result < 0)
        PrintError(text);
    return result >= 0;
}

bool CMirrorBatch::CheckOne(const std::string& source)
{
    const std::string shownSource = m_console.DisplayPath(source);
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

bool CMirrorBatch::MayReplace(const std::string& source, const std::string& output)
{
    if (m_options.force)
        return true;
    const std::string shownOutput = m_console.DisplayPath(output);
    if (!m_console.InputIsTerminal()) {
        PrintError("'" + shownOutput + "' exists; '" + m_console.DisplayPath(source) +
                   "' skipped (-f replaces it)");
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
    m_console.Write(ConsoleStream::Output, line + "\n");
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
