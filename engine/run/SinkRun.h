// The runs that read a program line by line: the format scan, and the
// mirror of every line handed to a sink (standard output, the proof, the
// check alone).
#pragma once

#include "LineStep.h"

class LineReader;
class CMirrorSink;

// The format count of the lines still to read: the free-format marks (0 =
// fixed width), stopping at the first one with `untilFree`; it stops growing
// at INT_MAX. -1 when reading fails.
int ScanFormatMarks(LineReader& reader, bool untilFree);

// Mirrors and checks every line of an open source into `sink` (none: the
// check alone), after a scan for the format (its count in `formatCount`).
// The number of words changed, kMirrorSourceError (the reader says why) or
// kMirrorDestinationError (the sink refused a line) or kMirrorPositionError
// (the step says where).
long long MirrorToSinkLines(LineReader& reader, const MirrorMode& mode, const MirrorPosition& position,
                            CLineStep& step, CMirrorSink* sink, int& formatCount);
