// The toolpath work around one mirror run of ncmirror: the proof of the
// mirror and the picture, fed from the engine's run (as its sink, or as the
// observer of a written run) or from the source and the written output read
// in step afterwards.
#pragma once

#include "SafeOutput.h"

#include "MirrorFindings.h"
#include "MirrorPair.h"
#include "PathProof.h"
#include "PictureDrawing.h"
#include "ToolpathPicture.h"

#include <atomic>
#include <string>
#include <thread>

struct MirrorMode;

class CToolpathRun {
public:
    // `prove`: compare the source's and the output's moves. Without a proof
    // the picture's mirror layer is the source's path reflected by the mode;
    // with one it is the output's path as read.
    CToolpathRun(const MirrorMode& mode, bool prove, bool picture);
    ~CToolpathRun();
    CToolpathRun(const CToolpathRun&) = delete;
    CToolpathRun& operator=(const CToolpathRun&) = delete;

    // The mirror's position (the line x = `x`, y = `y`; 0: the axis), for
    // the proof.
    void SetPosition(const std::string& x, const std::string& y);

    // The sink of the engine's run.
    CMirrorSink* Sink() { return &m_pair; }

    // A picture without a proof depends on the source alone: it is read
    // from `source` on a thread of its own, beside the engine's run, which
    // then needs no sink. False (nothing started) when there is no such
    // picture to make or no thread to be had: the sink makes it then.
    bool ReadSourceBeside(const char* source);

    // Reads `source` and the written `output` in step (a kPair... result).
    int ReadWritten(const char* source, const char* output);

    // The engine's findings together with the proof's, in the order of
    // their lines.
    CMirrorFindings Findings(const CMirrorFindings& engineFindings) const;
    long long UnreadLines() const { return m_proof.UnreadLines(); }
    long long FirstUnreadLine() const { return m_proof.FirstUnreadLine(); }
    unsigned UnreadKinds() const { return m_proof.UnreadKinds(); }
    // Too much of the path was not read to prove it (a finding, not a note).
    bool NotProved() const { return m_bProve && m_proof.NotProved(); }

    // Writes the picture of the run safely, as an output is written; names
    // are UTF-8, as the legend shows them. False with `failure` telling why,
    // writing nothing, also when the source's picture could not be read.
    bool WritePicture(const char* path, const std::string& sourceName, const std::string& mirrorName,
                      const SafeOutputOptions& options, MirrorFailure& failure);
    // The picture's SVG text.
    std::string PictureText(const std::string& sourceName, const std::string& mirrorName);

private:
    // The picture finished, with its legend.
    PictureLegend Legend(const std::string& sourceName, const std::string& mirrorName);

    // Waits for the source's picture read beside the run; false when that
    // read failed.
    bool JoinBeside();

    const MirrorMode& m_mode;
    bool m_bProve;
    bool m_bPicture;
    bool m_bReflected = false;
    // Stops the read beside the run when the run ends without a picture.
    class CBesideStop final : public CReadProgress {
    public:
        bool Read(std::size_t) override { return !stop.load(std::memory_order_relaxed); }
        std::atomic<bool> stop{false};
    };
    std::thread m_beside;
    CBesideStop m_besideStop;
    bool m_bBesideRead = true;
    std::string m_strAtX, m_strAtY;  // the mirror's position as decimal text; empty: the axis
    double m_dAtX = 0, m_dAtY = 0;
    CPathProof m_proof;
    CToolpathPicture m_picture;
    CMirrorPairReader m_pair;
};
