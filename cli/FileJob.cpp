#include "FileJob.h"

#include "CommandLine.h"
#include "FileSystem.h"
#include "MirrorMessages.h"
#include "MirrorModes.h"
#include "NcMirror.h"
#include "NumberText.h"
#include "SafeOutput.h"
#include "SinkAhead.h"
#include "StdoutSink.h"
#include "ToolpathRun.h"
#include "ToolpathTexts.h"

#include <optional>

namespace {

// The engine's run into `sink`, the sink's work (the proof, the picture) on a
// second thread beside it; a refused line fails the run as its destination.
long long MirrorToSinkBeside(CNcMirror& engine, const char* source, CMirrorSink& sink, int mode)
{
    CSinkAhead ahead(sink);
    ahead.Start();
    long long result = engine.MirrorToSink(source, &ahead, mode);
    if (!ahead.Finish() && result >= 0)
        result = kMirrorDestinationError;
    return result;
}

// How messages name standard output.
const char kShownStandardOutput[] = "<stdout>";

// The output appeared while the job went on (another ncmirror, another
// program).
bool OutputAppeared(long long result, const CNcMirror& engine)
{
    return result == kMirrorDestinationError && engine.LastFailure().kind == MirrorFailureKind::OutputExists;
}

// Writes the picture of `toolpath` (its legend names the two programs) and
// reports it; false when it cannot be written.
bool WriteJobPicture(CToolpathRun& toolpath, const std::string& sourceName, const std::string& mirrorName,
                     const FileJob& job, const JobSettings& settings, FileReport& report)
{
    // The user was asked before the job: a picture that appeared since is
    // not replaced. The interruption cleanup knows of the temporary file,
    // as of any output's.
    SafeOutputOptions options;
    options.bReplace = job.replacePicture;
    options.bSync = settings.options.sync;
    options.pObserver = &settings.observer;
    MirrorFailure failure;
    if (!toolpath.WritePicture(settings.options.svg.c_str(), sourceName, mirrorName, options, failure)) {
        report.Error(FormatMirrorMessageLine(MirrorMessage::CannotWrite, std::string(), job.shownPicture), failure);
        return false;
    }
    report.Result(FormatPictureWritten(job.shownPicture));
    return true;
}

// An engine for the job: no diagnostics of its own, the job's position.
void SetUpEngine(CNcMirror& engine, const FileJob& job)
{
    engine.SetDiagnosticStream(nullptr);
    engine.SetPosition(job.atX.c_str(), job.atY.c_str());
}

// A proof (or picture) of the job's mirror, about its position.
void SetUpToolpath(CToolpathRun& toolpath, const FileJob& job) { toolpath.SetPosition(job.atX, job.atY); }

// The line that names the position, right after the result line.
void AddPositionLine(FileReport& report, const FileJob& job)
{
    const std::string line = FormatMirrorPosition(job.atX, job.atY);
    if (line.empty())
        return;
    for (std::size_t i = 0; i < report.notices.size(); ++i)
        if (report.notices[i].kind == NoticeKind::Result) {
            report.notices.insert(report.notices.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                  {NoticeKind::Result, line, MirrorFailure()});
            return;
        }
}

// The file's name without its folders, as a picture's legend shows it.
std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

FileReport MirrorIntoFile(const FileJob& job, const JobSettings& settings)
{
    const CommandLine& options = settings.options;
    // The proof reads the lines as they are written when a wrong path must
    // keep the output from replacing anything (--strict), and when the
    // program is mirrored in place (its source is gone once its output can
    // be read); otherwise --verify reads the written file back beside its
    // source. The picture comes from the read-back when there is one, else
    // from the lines as they are written.
    const bool picture = !options.svg.empty();
    const bool proveWritten = options.strict || (options.verify && job.inPlace);
    const bool readBack = options.verify && !job.inPlace;
    CToolpathRun written(*options.mode, proveWritten, picture && !readBack);
    std::optional<CToolpathRun> reread;
    if (readBack)
        reread.emplace(*options.mode, true, picture);
    SetUpToolpath(written, job);
    if (reread)
        SetUpToolpath(*reread, job);
    CNcMirror engine;
    SetUpEngine(engine, job);
    engine.SetStrict(options.strict);
    engine.SetReplaceExisting(job.replace);
    engine.SetSync(options.sync);
    engine.SetTempFileObserver(&settings.observer);
    // The proof and the picture read the lines beside the run, on a thread
    // of their own.
    CSinkAhead writtenAhead(*written.Sink());
    CMirrorSink* observer = proveWritten || (picture && !readBack) ? &writtenAhead : nullptr;
    // A plain run's picture is read from the source on a second thread
    // beside the mirror, unless the output replaces the source.
    if (picture && !proveWritten && !readBack && !job.inPlace && written.ReadSourceBeside(job.source.c_str()))
        observer = nullptr;
    if (observer)
        writtenAhead.Start();
    long long result = engine.Mirror(job.source.c_str(), job.output.c_str(), options.mode->number, observer);
    if (!writtenAhead.Finish() && result >= 0)
        result = kMirrorDestinationError;
    FileReport report;
    if (OutputAppeared(result, engine)) {
        report.outputAppeared = true;
        return report;
    }
    const bool readBackFailed =
        result >= 0 && readBack && reread->ReadWritten(job.source.c_str(), job.output.c_str()) != kPairRead;

    CMirrorFindings findings = written.Findings(engine.GetFindings());
    if (reread)
        findings = reread->Findings(findings);
    bool good = AddOutcome(report, result, engine, findings, options.mode->number, job.shownSource,
                           job.shownOutput, job.shownOutput);
    AddPositionLine(report, job);
    if (readBackFailed) {
        report.Error(FormatMirrorMessageLine(MirrorMessage::CannotRead, job.shownOutput));
        good = false;
    }
    CToolpathRun& drawn = reread ? *reread : written;
    if (good && picture)
        good = WriteJobPicture(drawn, BaseName(job.shownSource), BaseName(job.shownOutput), job, settings, report);
    if (options.verify)
        AddUnreadNote(report, job.shownOutput, drawn);
    report.done = good && findings.Count(FindingCode::PathMismatch) == 0;
    return report;
}

FileReport CheckFile(const FileJob& job, const JobSettings& settings)
{
    const CommandLine& options = settings.options;
    // The proof reads the mirrored lines as the engine makes them.
    CToolpathRun toolpath(*options.mode, true, !options.svg.empty());
    SetUpToolpath(toolpath, job);
    CNcMirror engine;
    SetUpEngine(engine, job);
    const long long result = MirrorToSinkBeside(engine, job.source.c_str(), *toolpath.Sink(), options.mode->number);
    FileReport report;
    if (result < 0) {
        int error = 0;
        const bool missing = KindOfPath(job.source.c_str(), &error) == PathKind::Missing && error == 0;
        report.Error(FormatMirrorMessageLine(missing ? MirrorMessage::SourceNotFound : MirrorMessage::CannotRead,
                                             job.shownSource),
                     missing ? MirrorFailure() : engine.LastFailure());
        return report;
    }
    const CMirrorFindings findings = toolpath.Findings(engine.GetFindings());
    report.Result(job.shownSource + ": " +
                  (findings.Empty() ? std::string("замечаний нет")
                                    : "замечаний: " + std::to_string(findings.Total())));
    bool good = findings.Empty();
    if (!options.svg.empty() &&
        !WriteJobPicture(toolpath, BaseName(job.shownSource),
                         BaseName(MirrorOutputPath(job.shownSource, *options.mode)), job, settings, report))
        good = false;
    AddFindings(report, job.shownSource, findings, job.shownSource);
    AddUnreadNote(report, job.shownSource, toolpath);
    report.done = good;
    return report;
}

FileReport MirrorToStdout(const FileJob& job, const JobSettings& settings)
{
    const CommandLine& options = settings.options;
    const int mode = options.mode->number;
    CNcMirror engine;
    SetUpEngine(engine, job);
    CStdoutSink sink;
    long long result = engine.MirrorToSink(job.source.c_str(), &sink, mode);
    if (!sink.Finish() && result >= 0)
        result = kMirrorDestinationError;
    // What went out cannot be read back: with --verify or --svg the proof
    // and the picture read the same mirror made once more.
    CToolpathRun toolpath(*options.mode, options.verify, !options.svg.empty());
    SetUpToolpath(toolpath, job);
    const bool again = result >= 0 && (options.verify || !options.svg.empty());
    if (again && MirrorToSinkBeside(engine, job.source.c_str(), *toolpath.Sink(), mode) < 0)
        result = kMirrorSourceError;
    const CMirrorFindings findings = toolpath.Findings(engine.GetFindings());
    FileReport report;
    bool good =
        AddOutcome(report, result, engine, findings, mode, job.shownSource, kShownStandardOutput, job.shownSource);
    AddPositionLine(report, job);
    if (good && !options.svg.empty())
        good = WriteJobPicture(toolpath, BaseName(job.shownSource), kShownStandardOutput, job, settings, report);
    if (options.verify)
        AddUnreadNote(report, job.shownSource, toolpath);
    report.done = good && findings.Count(FindingCode::PathMismatch) == 0;
    return report;
}

}  // namespace

FileReport DoJob(const FileJob& job, const JobSettings& settings)
{
    if (job.refused) {
        FileReport report;
        report.notices = job.refusal;
        return report;
    }
    switch (job.kind) {
    case FileJob::Kind::Mirror: return MirrorIntoFile(job, settings);
    case FileJob::Kind::Check: return CheckFile(job, settings);
    case FileJob::Kind::MirrorToStdout: return MirrorToStdout(job, settings);
    }
    return FileReport();
}

FileReport ProveBeforeOutput(const FileJob& job, const JobSettings& settings)
{
    const MirrorMode& mode = *settings.options.mode;
    CToolpathRun proof(mode, true, false);
    SetUpToolpath(proof, job);
    CNcMirror engine;
    SetUpEngine(engine, job);
    FileReport report;
    report.done = true;
    // A source that cannot be read is the mirror's to report.
    if (MirrorToSinkBeside(engine, job.source.c_str(), *proof.Sink(), mode.number) < 0)
        return report;
    const CMirrorFindings found = proof.Findings(engine.GetFindings());
    if (!found.Empty())
        report.done = AddOutcome(report, kMirrorRefusedByCheck, engine, found, mode.number, job.shownSource,
                                 kShownStandardOutput, job.shownSource);
    return report;
}
