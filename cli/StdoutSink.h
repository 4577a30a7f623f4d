// Standard output as the destination of a mirror run: the mirrored lines
// written as they come, through one large buffer. A failed write (a full
// disk, a pipe whose reader has gone) stops the run.
#pragma once

#include "NcMirror.h"

class CStdoutSink final : public CMirrorSink {
public:
    // Call PrepareStreamsForData first, and write nothing else to standard
    // output before.
    CStdoutSink();
    bool Line(std::string_view source, std::string_view mirrored) override;
    // Writes out what is buffered; false when any write has failed.
    bool Finish();

private:
    bool m_bFailed = false;
};
