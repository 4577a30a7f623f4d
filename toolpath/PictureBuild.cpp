#include "PictureBuild.h"

#include "MirrorModes.h"
#include "MirrorPair.h"
#include "NcMirror.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <vector>

namespace {

// Lines on their way from the mirroring thread to the drawing one: the
// source's lines read into moves, and the mirrored lines' bytes.
struct LineBatch {
    bool begins = false;      // the program starts here, in the format below
    bool fixedWidth = false;
    std::vector<LineMoves> source;
    std::string mirrored;            // the mirrored lines one after another
    std::vector<std::size_t> ends;   // where each of them ends in `mirrored`
    unsigned long long bytes = 0;    // the source's bytes of these lines

    void Clear()
    {
        begins = false;
        source.clear();
        mirrored.clear();
        ends.clear();
        bytes = 0;
    }
};

// Enough lines per batch that handing one over costs nothing beside the
// reading; few enough batches that they stay in the processors' caches.
constexpr std::size_t kBatchLines = 2048;
constexpr std::size_t kBatchCount = 4;

}  // namespace

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

// The mirror run's sink on the mirroring thread, which reads each source
// line into moves and passes the lines on in batches; the drawing thread
// takes them in order, reads the mirrored lines and adds both to the
// picture, as CMirrorPairReader does on one thread.
class CPictureBuild::CLineHandOver final : public CMirrorSink {
public:
    explicit CLineHandOver(CPictureBuild& build) : m_build(build), m_batches(kBatchCount)
    {
        for (LineBatch& batch : m_batches)
            batch.source.reserve(kBatchLines);
        m_pFilling = &m_batches[0];
        for (std::size_t i = 1; i < m_batches.size(); ++i)
            m_free.push_back(&m_batches[i]);
    }

    // The mirroring thread's side.
    void BeginLines(int formatCount) override
    {
        if (!m_pFilling || (!m_pFilling->source.empty() && !HandOver()))
            return;
        m_pFilling->begins = true;
        m_pFilling->fixedWidth = formatCount == 0;
        m_source.Begin(formatCount == 0);
    }
    bool Line(std::string_view source, std::string_view mirrored) override
    {
        if (!m_pFilling || m_build.m_bStop.load(std::memory_order_relaxed))
            return false;
        LineBatch& batch = *m_pFilling;
        batch.source.push_back(m_source.ReadLine(source));
        batch.mirrored.append(mirrored);
        batch.ends.push_back(batch.mirrored.size());
        batch.bytes += source.size();
        return batch.source.size() < kBatchLines || HandOver();
    }
    // After the run: the last lines handed over, and the end told.
    void End()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_pFilling && (m_pFilling->begins || !m_pFilling->source.empty()))
            m_full.push_back(m_pFilling);
        m_pFilling = nullptr;
        m_bEnded = true;
        m_changed.notify_all();
    }

    // The drawing thread's side: until the end, or until the build is
    // stopped (then the mirroring thread's next hand-over fails).
    void Draw(CToolpathPicture& picture)
    {
        CToolpathReader output;
        for (;;) {
            LineBatch* batch = nullptr;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_changed.wait(lock, [this] { return !m_full.empty() || m_bEnded; });
                if (m_full.empty())
                    return;
                batch = m_full.front();
                m_full.pop_front();
            }
            if (batch->begins) {
                output.Begin(batch->fixedWidth);
                picture.SetProgramUnits(batch->fixedWidth);
            }
            std::size_t from = 0;
            for (std::size_t i = 0; i < batch->source.size(); ++i) {
                picture.Add(PictureLayer::Source, batch->source[i]);
                const std::string_view mirrored(batch->mirrored.data() + from, batch->ends[i] - from);
                picture.Add(PictureLayer::Mirror, output.ReadLine(mirrored));
                from = batch->ends[i];
            }
            const bool going = m_build.Going(batch->bytes);
            std::lock_guard<std::mutex> lock(m_mutex);
            batch->Clear();
            m_free.push_back(batch);
            m_bCancelled = !going;
            m_changed.notify_all();
            if (m_bCancelled)
                return;
        }
    }
    bool Cancelled() const { return m_bCancelled; }

private:
    // The batch being filled handed over, and a free one taken; false when
    // the drawing has stopped.
    bool HandOver()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_full.push_back(m_pFilling);
        m_pFilling = nullptr;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return !m_free.empty() || m_bCancelled; });
        if (m_bCancelled)
            return false;
        m_pFilling = m_free.front();
        m_free.pop_front();
        return true;
    }

    CPictureBuild& m_build;
    CToolpathReader m_source;
    std::vector<LineBatch> m_batches;
    LineBatch* m_pFilling;
    std::deque<LineBatch*> m_full, m_free;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_bEnded = false;
    bool m_bCancelled = false;
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
    if (mode && RunInStep(path, *mode, m_bRead)) {
        m_picture.Finish();
    } else if (mode) {
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
    if (m_onDone && !m_bStop.load(std::memory_order_relaxed))
        m_onDone();
}

bool CPictureBuild::RunInStep(const std::string& path, const MirrorMode& mode, bool& read)
{
    CLineHandOver handOver(*this);
    std::thread drawing;
    try {
        drawing = std::thread([this, &handOver] { handOver.Draw(m_picture); });
    } catch (const std::system_error&) {
        return false;
    }
    CNcMirror engine;
    engine.SetDiagnosticStream(nullptr);
    const bool mirrored = engine.SetPosition(m_strAtX.c_str(), m_strAtY.c_str()) &&
                          engine.MirrorToSink(path.c_str(), &handOver, mode.number) >= 0;
    handOver.End();
    drawing.join();
    read = mirrored && !handOver.Cancelled();
    return true;
}
