#include "ToolpathRun.h"

#include "SvgPicture.h"
#include "MirrorModes.h"
#include "NumberText.h"
#include "ToolpathTexts.h"

#include <system_error>

CToolpathRun::CToolpathRun(const MirrorMode& mode, bool prove, bool picture)
    : m_mode(mode), m_bProve(prove), m_bPicture(picture), m_proof(mode),
      m_pair(prove ? &m_proof : nullptr, picture ? &m_picture : nullptr, prove)
{
}

CToolpathRun::~CToolpathRun()
{
    // A picture not asked for by now never will be: its reading ends here.
    m_besideStop.stop.store(true, std::memory_order_relaxed);
    JoinBeside();
}

bool CToolpathRun::ReadSourceBeside(const char* source)
{
    if (!m_bPicture || m_bProve || m_beside.joinable())
        return false;
    try {
        m_beside = std::thread([this, path = std::string(source)] {
            m_bBesideRead = ReadProgramPicture(path.c_str(), m_picture, &m_besideStop);
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

bool CToolpathRun::JoinBeside()
{
    if (m_beside.joinable())
        m_beside.join();
    return m_bBesideRead;
}

void CToolpathRun::SetPosition(const std::string& x, const std::string& y)
{
    m_strAtX = x;
    m_strAtY = y;
    m_dAtX = m_dAtY = 0;
    ReadNumber(x, m_dAtX);
    ReadNumber(y, m_dAtY);
    m_proof.SetPosition(m_dAtX, m_dAtY);
}

int CToolpathRun::ReadWritten(const char* source, const char* output)
{
    return ReadFilesInStep(source, output, m_pair, m_bProve ? &m_proof : nullptr);
}

CMirrorFindings CToolpathRun::Findings(const CMirrorFindings& engineFindings) const
{
    CMirrorFindings all = engineFindings;
    const CMirrorFindings& proof = m_proof.Findings();
    for (const MirrorFinding& finding : proof.List())
        all.Add(finding.line, finding.code, finding.word);
    all.AddUnkept(FindingCode::PathMismatch, proof.Total() - static_cast<long long>(proof.List().size()));
    if (NotProved())
        all.Add(m_proof.FirstUnreadLine(), FindingCode::NotProved,
                NotProvedText(m_proof.UnreadPlaneWordLines(), m_proof.PlaneWordLines(), m_proof.UnreadKinds()));
    all.SortByLine();
    return all;
}

PictureLegend CToolpathRun::Legend(const std::string& sourceName, const std::string& mirrorName)
{
    JoinBeside();
    m_picture.Finish();
    if (!m_bProve && !m_bReflected) {
        m_picture.ReflectSource(m_mode, m_dAtX, m_dAtY);
        m_bReflected = true;
    }
    m_picture.IncludePosition(m_mode.negatesX ? m_dAtX : 0, m_mode.negatesY ? m_dAtY : 0);
    PictureLegend legend;
    legend.atX = m_strAtX;
    legend.atY = m_strAtY;
    legend.positionX = m_mode.negatesX ? m_dAtX : 0;
    legend.positionY = m_mode.negatesY ? m_dAtY : 0;
    legend.sourceName = sourceName;
    legend.mirrorName = mirrorName;
    legend.mode = &m_mode;
    return legend;
}

bool CToolpathRun::WritePicture(const char* path, const std::string& sourceName, const std::string& mirrorName,
                                const SafeOutputOptions& options, MirrorFailure& failure)
{
    const PictureLegend legend = Legend(sourceName, mirrorName);
    if (!m_bBesideRead)
        return false;  // the source's picture could not be read: nothing written
    const std::string text = SvgPictureText(m_picture, legend);
    SafeOutput output;
    if (output.Open(path, options) && output.Write(text.data(), text.size()) && output.Commit())
        return true;
    failure = output.Failure();
    return false;
}

std::string CToolpathRun::PictureText(const std::string& sourceName, const std::string& mirrorName)
{
    return SvgPictureText(m_picture, Legend(sourceName, mirrorName));
}
