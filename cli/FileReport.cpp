#include "FileReport.h"

#include "MirrorFindings.h"
#include "MirrorMessages.h"
#include "NcMirror.h"
#include "ToolpathRun.h"
#include "ToolpathTexts.h"

bool AddOutcome(FileReport& report, long long result, const CNcMirror& engine, const CMirrorFindings& findings,
                int modeNumber, const std::string& shownSource, const std::string& shownOutput,
                const std::string& proofFile)
{
    std::string text = FormatMirrorMessageLine(MirrorMessageForResult(result), shownSource, shownOutput,
                                               result >= 0 ? result : modeNumber);
    if (result < 0 && result != kMirrorRefusedByCheck) {
        report.Error(std::move(text), engine.LastFailure());
        return false;
    }
    if (result >= 0)
        report.Result(text);
    AddFindings(report, shownSource, findings, proofFile);
    if (result < 0)
        report.Error(std::move(text));
    return result >= 0;
}

void AddFindings(FileReport& report, const std::string& shownSource, const CMirrorFindings& findings,
                 const std::string& proofFile)
{
    if (findings.Empty())
        return;
    std::string text;
    for (const MirrorFinding& finding : findings.List()) {
        if (!text.empty())
            text += "\n";
        text += FormatFindingForLog(finding.code == FindingCode::PathMismatch ? proofFile : shownSource, finding);
    }
    const long long more = findings.Total() - static_cast<long long>(findings.List().size());
    if (more > 0)
        text += "\n" + shownSource + ": предупреждение: " + FormatMoreFindings(more);
    report.notices.push_back({NoticeKind::Findings, std::move(text), MirrorFailure()});
}

void AddUnreadNote(FileReport& report, const std::string& shownFile, const CToolpathRun& toolpath)
{
    if (toolpath.UnreadLines() == 0 || toolpath.NotProved())
        return;
    report.notices.push_back(
        {NoticeKind::Note,
         FormatUnreadNote(shownFile, toolpath.FirstUnreadLine(), toolpath.UnreadLines(), toolpath.UnreadKinds()),
         MirrorFailure()});
}
