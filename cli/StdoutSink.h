// Standard output as the destination of a mirror run: the mirrored lines
// written as they come, through one 64 KB buffer. A failed write (a full
// disk, a pipe whose reader has gone) stops the run.
#pragma once

#include "NcMirror.h"

#include <string>

class CStdoutSink final : public CMirrorSink {
public:
    // Call PrepareStreamsForData first.
    CStdoutSink();
    bool Line(std::string_view source, std::string_view mirrored) override;
    // Writes out what is buffered; false when any write has failed.
    bool Finish();

private:
    void WriteOut();

    std::string m_strBuffer;
    bool m_bFailed = false;
};
