#include "PictureBuild.h"

#include "MirrorModes.h"
#include "MirrorPair.h"
#include "NcMirror.h"

#include <system_error>

// Counts the bytes of the program alone as it is read.
class CPictureBuild::CSourceProgress final : public CReadProgress {
public:
    explicit CSourceProgress(CPictureBuild& build) : m_build(build) {}
    bool Read(std::size_t bytes) override { return m_build.Going(bytes); }

private:
    CPictureBuild& m_build;
};

// Hands the mirror's lines to the pair reader and counts the source's bytes.
class CPictureBuild::CMirrorProgress final : public CMirrorSink {
public:
    CMirrorProgress(CPictureBuild& build, CMirrorPairReader& pair) : m_build(build), m_pair(pair) {}
    void BeginLines(int formatCount) override { m_pair.BeginLines(formatCount); }
    bool Line(std::string_view source, std::string_view mirrored) override
    {
        return m_pair.Line(source, mirrored) && m_build.Going(source.size());
    }

private:
    CPictureBuild& m_build;
    CMirrorPairReader& m_pair;
};

CPictureBuild::~CPictureBuild() { Stop(); }

bool CPictureBuild::Start(const std::string& path, const MirrorMode* mode, const std::string& atX,
                          const std::string& atY)
{
    if (m_thread.joinable())
        return false;
    m_strAtX = atX;
    m_strAtY = atY;
    try {
        m_thread = std::thread([this, path, mode] { Run(path, mode); });
    } catch (const std::system_error&) {
        // No thread to be had: built here, at the caller's wait.
        Run(path, mode);
    }
    return true;
}

void CPictureBuild::Stop()
{
    m_bStop.store(true, std::memory_order_relaxed);
    if (m_thread.joinable())
        m_thread.join();
}

bool CPictureBuild::Going(std::size_t bytes)
{
    m_nBytes.store(m_nBytes.load(std::memory_order_relaxed) + bytes, std::memory_order_relaxed);
    return !m_bStop.load(std::memory_order_relaxed);
}

void CPictureBuild::Run(const std::string& path, const MirrorMode* mode)
{
    if (mode) {
        CMirrorPairReader pair(nullptr, &m_picture);
        CMirrorProgress progress(*this, pair);
        CNcMirror engine;
        engine.SetDiagnosticStream(nullptr);
        m_bRead = engine.SetPosition(m_strAtX.c_str(), m_strAtY.c_str()) &&
                  engine.MirrorToSink(path.c_str(), &progress, mode->number) >= 0;
        m_picture.Finish();
    } else {
        CSourceProgress progress(*this);
        m_bRead = ReadProgramPicture(path.c_str(), m_picture, &progress);
    }
    m_bDone.store(true, std::memory_order_release);
}
