#include "MirrorBatch.h"

#include "CommandLine.h"
#include "Console.h"
#include "FileSystem.h"
#include "MirrorMessages.h"
#include "MirrorModes.h"
#include "NcMirror.h"
#include "ToolpathRun.h"
#include "ToolpathTexts.h"

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

CMirrorBatch::CMirrorBatch(CConsole& console, const CommandLine& options)
    : m_console(console), m_options(options),
      m_progress(console, !options.quiet && console.ErrorIsTerminal(), options.files.size())
{
}

namespace {

// The file's name without its folders, as a legend shows it.
std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

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

    // A pipe passes as a file here; the engine, which reads its source
    // twice, refuses it as unreadable.
    switch (KindOfPath(source.c_str())) {
    case PathKind::File: break;
    case PathKind::Missing:
        PrintError(FormatMirrorMessageLine(MirrorMessage::SourceNotFound, shownSource));
        return false;
    case PathKind::Directory:
        PrintError(FormatMirrorMessageLine(MirrorMessage::CannotRead, shownSource));
        return false;
    }

    switch (KindOfPath(output.c_str())) {
    case PathKind::Missing: break;
    case PathKind::File:
        if (!MayReplace(source, output))
            return false;
        break;
    case PathKind::Directory:
        PrintError(FormatMirrorMessageLine(MirrorMessage::CannotWrite, shownSource, shownOutput));
        return false;
    }

    if (!MayWritePicture(source))
        return false;

    // The picture comes from the lines as they are written, or with
    // --verify from the written file read back beside its source.
    const bool picture = !m_options.svg.empty();
    CToolpathRun toolpath(*m_options.mode, m_options.verify, picture);
    CNcMirror engine;
    engine.SetDiagnosticStream(nullptr);
    engine.SetStrict(m_options.strict);
    const long long result = engine.Mirror(source.c_str(), output.c_str(), m_options.mode->number,
                                           picture && !m_options.verify ? toolpath.Sink() : nullptr);
    const std::string text =
        FormatMirrorMessageLine(MirrorMessageForResult(result), shownSource, shownOutput,
                                result >= 0 ? result : m_options.mode->number);
    if (result < 0 && result != kMirrorRefusedByCheck) {
        PrintError(text);
        return false;
    }
    bool good = result >= 0;
    if (good)
        PrintResult(text);
    if (good && m_options.verify && toolpath.ReadWritten(source.c_str(), output.c_str()) != kPairRead) {
        PrintError(FormatMirrorMessageLine(MirrorMessage::CannotRead, shownOutput));
        good = false;
    }
    if (good && picture)
        good = WritePicture(toolpath, BaseName(shownSource), BaseName(shownOutput));
    const CMirrorFindings findings = toolpath.Findings(engine.GetFindings());
    PrintFindings(shownSource, findings, m_options.verify ? shownOutput : shownSource);
    if (m_options.verify)
        PrintUnreadNote(shownOutput, toolpath);
    if (result < 0)
        PrintError(text);
    return good && findings.Count(FindingCode::PathMismatch) == 0;
}

bool CMirrorBatch::MayWritePicture(const std::string& source)
{
    if (m_options.svg.empty())
        return true;
    switch (KindOfPath(m_options.svg.c_str())) {
    case PathKind::Missing: return true;
    case PathKind::File: return MayReplace(source, m_options.svg);
    case PathKind::Directory: break;
    }
    PrintError(FormatMirrorMessageLine(MirrorMessage::CannotWrite, std::string(), m_console.DisplayPath(m_options.svg)));
    return false;
}

bool CMirrorBatch::WritePicture(CToolpathRun& toolpath, const std::string& sourceName, const std::string& mirrorName)
{
    const std::string shownPicture = m_console.DisplayPath(m_options.svg);
    if (!toolpath.WritePicture(m_options.svg.c_str(), sourceName, mirrorName)) {
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

bool CMirrorBatch::CheckOne(const std::string& source)
{
    const std::string shownSource = m_console.DisplayPath(source);
    if (!MayWritePicture(source))
        return false;
    // The proof reads the mirrored lines as the run makes them.
    CToolpathRun toolpath(*m_options.mode, true, !m_options.svg.empty());
    CNcMirror engine;
    engine.SetDiagnosticStream(nullptr);
    const long long result = engine.MirrorToSink(source.c_str(), toolpath.Sink(), m_options.mode->number);
    if (result < 0) {
        const bool missing = KindOfPath(source.c_str()) == PathKind::Missing;
        PrintError(FormatMirrorMessageLine(missing ? MirrorMessage::SourceNotFound : MirrorMessage::CannotRead,
                                           shownSource));
        return false;
    }
    const CMirrorFindings findings = toolpath.Findings(engine.GetFindings());
    PrintResult(shownSource + ": " +
                (findings.Empty() ? std::string("замечаний нет")
                                  : "замечаний: " + std::to_string(findings.Total())));
    bool good = findings.Empty();
    if (!m_options.svg.empty() &&
        !WritePicture(toolpath, BaseName(shownSource),
                      BaseName(m_console.DisplayPath(MirrorOutputPath(source, *m_options.mode)))))
        good = false;
    PrintFindings(shownSource, findings, shownSource);
    PrintUnreadNote(shownSource, toolpath);
    return good;
}

void CMirrorBatch::PrintFindings(const std::string& shownSource, const CMirrorFindings& findings,
                                 const std::string& shownOutput)
{
    if (findings.Empty())
        return;
    m_progress.Clear();
    std::fflush(stdout);
    std::string text;
    for (const MirrorFinding& finding : findings.List())
        text += FormatFindingForLog(finding.code == FindingCode::PathMismatch ? shownOutput : shownSource, finding) +
                "\n";
    const long long more = findings.Total() - static_cast<long long>(findings.List().size());
    if (more > 0)
        text += shownSource + ": предупреждение: " + FormatMoreFindings(more) + "\n";
    m_console.Write(ConsoleStream::Error, text);
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

void CMirrorBatch::PrintError(const std::string& line)
{
    m_progress.Clear();
    std::fflush(stdout);
    m_console.Write(ConsoleStream::Error, "ncmirror: " + line + "\n");
}
