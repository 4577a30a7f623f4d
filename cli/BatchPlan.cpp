#include "BatchPlan.h"

#include "CommandLine.h"
#include "Console.h"
#include "FeedBox.h"
#include "FileSystem.h"
#include "MirrorMessages.h"
#include "MirrorModes.h"
#include "Platform.h"
#include "ReportPrinter.h"
#include "SafeOutput.h"

#include <cctype>
#include <cstdio>
#include <unordered_set>

namespace {

// How messages name standard input.
const char kShownStandardInput[] = "<stdin>";

// Ends the plan of `job`: no work, `line` (and the reason of `failure`)
// says why.
void Refuse(FileJob& job, std::string line, const MirrorFailure& failure = MirrorFailure())
{
    job.refused = true;
    job.refusal.push_back({NoticeKind::Error, std::move(line), failure});
}

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

CBatchPlan::CBatchPlan(const CConsole& console, const CommandLine& options, CTempFileObserver& observer,
                       CReportPrinter& printer)
    : m_console(console), m_options(options), m_observer(observer), m_printer(printer)
{
}

std::string CBatchPlan::ShownPath(const std::string& file) const
{
    return file == kStandardInput ? kShownStandardInput : m_console.DisplayPath(file);
}

std::string CBatchPlan::OutputOf(const std::string& file) const
{
    return m_options.hasOutput ? m_options.output : MirrorOutputPath(file, *m_options.mode);
}

std::size_t CBatchPlan::EndOfIndependentFiles(std::size_t begin) const
{
    std::unordered_set<std::string> read, written;
    std::size_t i = begin;
    for (; i < m_options.files.size(); ++i) {
        const std::string& file = m_options.files[i];
        const std::string source = PlaceOfPath(file.c_str());
        const std::string output = PlaceOfPath(OutputOf(file).c_str());
        if (i > begin && (written.count(source) || written.count(output) || read.count(output)))
            break;
        read.insert(source);
        written.insert(output);
    }
    return i;
}

FileJob CBatchPlan::PlanFile(const std::string& file)
{
    FileJob job;
    job.source = file;
    job.shownSource = ShownPath(file);
    if (file == kStandardInput) {
        // The engine reads its source twice: standard input is kept in a
        // temporary file for the job, removed with it.
        PrepareStreamsForData();
        job.input = std::make_unique<CStdinSpool>(m_observer);
        const CStdinSpool::Result spooled = job.input->Fill(stdin);
        m_bInputTaken = true;
        if (spooled == CStdinSpool::Result::CannotRead) {
            Refuse(job, FormatMirrorMessageLine(MirrorMessage::CannotRead, kShownStandardInput));
            return job;
        }
        if (spooled == CStdinSpool::Result::CannotWrite) {
            // The copy is gone by now: the message names the folder it was in.
            Refuse(job,
                   FormatMirrorMessageLine(MirrorMessage::CannotWrite, std::string(),
                                           m_console.DisplayPath(job.input->Folder())),
                   job.input->Failure());
            return job;
        }
        job.source = job.input->Path();
    }
    PlanPosition(job);
    if (m_options.check)
        PlanCheck(job);
    else if (WritesToStandardOutput(m_options, file))
        PlanMirrorToStdout(job);
    else
        PlanMirror(job, OutputOf(file));
    return job;
}

void CBatchPlan::PlanPosition(FileJob& job) const
{
    job.atX = m_options.atX;
    job.atY = m_options.atY;
    // --at centre: the middle of the source's feed moves, in the precision
    // of its words; a program without any is mirrored about the axes.
    FeedBox box;
    if (!m_options.atCentre || !ReadFeedBox(job.source.c_str(), box) || box.empty)
        return;
    if (m_options.mode->negatesX)
        job.atX = MiddleText(box.minX, box.maxX, box.decimals);
    if (m_options.mode->negatesY)
        job.atY = MiddleText(box.minY, box.maxY, box.decimals);
}

void CBatchPlan::PlanMirror(FileJob& job, const std::string& output)
{
    job.kind = FileJob::Kind::Mirror;
    job.output = output;
    job.shownOutput = m_console.DisplayPath(output);
    if (!SourceExists(job))
        return;
    // An existing file (or a link to one) is replaced only when the user
    // allows it. Anything else in the way the engine refuses.
    job.replace = m_options.force;
    if (!job.replace && KindOfPath(output.c_str()) == PathKind::File) {
        if (!MayReplace(job.shownSource, output, job.refusal)) {
            job.refused = true;
            return;
        }
        job.replace = true;
    }
    if (!MayWritePicture(job, output))
        return;
    // Only the proof and the picture care whether the output is the source.
    job.inPlace = (m_options.verify || !m_options.svg.empty()) && IsSameFile(job.source.c_str(), output.c_str());
}

void CBatchPlan::PlanCheck(FileJob& job)
{
    // The job tells a missing source from one it cannot read.
    job.kind = FileJob::Kind::Check;
    MayWritePicture(job, std::string());
}

void CBatchPlan::PlanMirrorToStdout(FileJob& job)
{
    job.kind = FileJob::Kind::MirrorToStdout;
    if (!SourceExists(job))
        return;
    PrepareStreamsForData();
    // The lines go out as they are made, so a strict mirror learns first, from
    // the check and the proof alone, whether it may write at all.
    if (m_options.strict) {
        FileReport proof = ProveBeforeOutput(job, JobSettings{m_options, m_observer});
        if (!proof.done) {
            job.refused = true;
            job.refusal = std::move(proof.notices);
            return;
        }
    }
    MayWritePicture(job, std::string());
}

bool CBatchPlan::SourceExists(FileJob& job)
{
    // A folder, a FIFO or a file we may not read is the engine's to refuse,
    // with its reason.
    int error = 0;
    if (KindOfPath(job.source.c_str(), &error) != PathKind::Missing || error != 0)
        return true;
    Refuse(job, FormatMirrorMessageLine(MirrorMessage::SourceNotFound, job.shownSource));
    return false;
}

bool CBatchPlan::MayWritePicture(FileJob& job, const std::string& output)
{
    if (m_options.svg.empty())
        return true;
    job.shownPicture = m_console.DisplayPath(m_options.svg);
    // 1. The picture must not take the place of a program, however either
    //    is spelled.
    const std::string picture = PlaceOfPath(m_options.svg.c_str());
    if (picture == PlaceOfPath(job.source.c_str()) || (!output.empty() && picture == PlaceOfPath(output.c_str()))) {
        Refuse(job, "рисунок не записан: '" + job.shownPicture + "' - это сама программа или её результат; '" +
                        job.shownSource + "' пропущен");
        return false;
    }
    // 2. An existing file only when the user allows it; a folder, a device
    //    or a link to nothing never.
    job.replacePicture = m_options.force;
    switch (KindOfPath(m_options.svg.c_str())) {
    case PathKind::Missing: break;
    case PathKind::File:
        if (!job.replacePicture && !MayReplace(job.shownSource, m_options.svg, job.refusal)) {
            job.refused = true;
            return false;
        }
        job.replacePicture = true;
        break;
    case PathKind::Directory:
    case PathKind::Other:
        Refuse(job, FormatMirrorMessageLine(MirrorMessage::CannotWrite, std::string(), job.shownPicture),
               OwnFailure(MirrorFailureKind::NotRegularFile));
        return false;
    }
    // 3. Its folder must take it: tried now, before the program is written.
    SafeOutput probe;
    SafeOutputOptions options;
    options.bReplace = job.replacePicture;
    options.pObserver = &m_observer;
    if (!probe.Open(m_options.svg.c_str(), options)) {
        Refuse(job, FormatMirrorMessageLine(MirrorMessage::CannotWrite, std::string(), job.shownPicture),
               probe.Failure());
        return false;
    }
    return true;
}

bool CBatchPlan::MayReplaceAppearedOutput(FileJob& job, std::vector<Notice>& refusal)
{
    // The same question as for any output in the way.
    if (!MayReplace(job.shownSource, job.output, refusal))
        return false;
    job.replace = true;
    return true;
}

bool CBatchPlan::MayReplace(const std::string& shownSource, const std::string& path, std::vector<Notice>& refusal)
{
    if (m_options.force)
        return true;
    const std::string shownPath = m_console.DisplayPath(path);
    // The answer would come from standard input, which a program may have used up.
    if (!m_console.InputIsTerminal() || m_bInputTaken) {
        refusal.push_back({NoticeKind::Error,
                           FormatMirrorMessageLine(MirrorMessage::OutputKept, shownSource, shownPath),
                           MirrorFailure()});
        return false;
    }
    std::string answer;
    return m_printer.Ask(FormatMirrorMessageLine(MirrorMessage::OutputExists, std::string(), shownPath) + " [y/N] ",
                         answer) &&
           IsYesAnswer(answer);
}
