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

#include <string>

struct MirrorMode;

class CToolpathRun {
public:
    // `prove`: compare the source's and the output's moves. Without a proof
    // the picture's mirror layer is the source's path reflected by the mode;
    // with one it is the output's path as read.
    CToolpathRun(const MirrorMode& mode, bool prove, bool picture);
    CToolpathRun(const CToolpathRun&) = delete;
    CToolpathRun& operator=(const CToolpathRun&) = delete;

    // The mirror's position (the line x = `x`, y = `y`; 0: the axis), for
    // the proof.
    void SetPosition(double x, double y) { m_proof.SetPosition(x, y); }

    // The sink of the engine's run.
    CMirrorSink* Sink() { return &m_pair; }

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
    // are UTF-8, as the legend shows them. False with `failure` telling why.
    bool WritePicture(const char* path, const std::string& sourceName, const std::string& mirrorName,
                      const SafeOutputOptions& options, MirrorFailure& failure);
    // The picture's SVG text.
    std::string PictureText(const std::string& sourceName, const std::string& mirrorName);

private:
    // The picture finished, with its legend.
    PictureLegend Legend(const std::string& sourceName, const std::string& mirrorName);

    const MirrorMode& m_mode;
    bool m_bProve;
    bool m_bReflected = false;
    CPathProof m_proof;
    CToolpathPicture m_picture;
    CMirrorPairReader m_pair;
};
