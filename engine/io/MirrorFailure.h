// Why a mirror run failed, beyond its result code: a small record the engine
// object keeps after Mirror returns, and the Russian text of the reason that
// both front ends show on a line of its own under the result message.
#pragma once

#include <string>

enum class MirrorFailureKind {
    None,            // the run succeeded, or failed on its mode only
    System,          // the operating system refused; nError holds its number
    LineTooLong,     // a line longer than 64 MiB (with its end)
    NotRegularFile,  // a FIFO, device, socket or link to nothing; on Windows anything but a disk file
    SourceChanged,   // the source's size or modification time changed during the run
    NameTooLong,     // a path the platform cannot take
    ReadOnly,        // an existing destination marked read-only
    OutputExists,    // the destination appeared during a run that was not to replace it
    PositionDoesNotFit,  // a word mirrored about the position needs more than seven characters; nError: its line
};

struct MirrorFailure {
    MirrorFailureKind kind = MirrorFailureKind::None;
    int nError = 0;  // errno on POSIX, GetLastError() on Windows; 0 unless kind is System
};

inline MirrorFailure SystemFailure(int error) { return {MirrorFailureKind::System, error}; }
inline MirrorFailure OwnFailure(MirrorFailureKind kind) { return {kind, 0}; }

// The reason in Russian (UTF-8), one sentence; empty for None.
std::string MirrorFailureText(const MirrorFailure& failure);
