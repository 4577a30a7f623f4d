// The picture of a program built on a thread of its own, so that a window
// stays responsive while a large program is read: the same recipe as
// ncmirror's (with a mode, the program mirrored in memory and its mirror's
// own lines read beside it, as --check draws them; without one, the program
// alone), its progress readable at any time, and a stop that ends it within
// a few thousand lines. With a mode the work is shared by two threads: one
// mirrors the program and reads the source's lines into moves, the other
// reads the mirror's lines and adds both to the picture, line by line in the
// program's order, so that the picture is the one a single thread draws.
#pragma once

#include "ToolpathPicture.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>

struct MirrorMode;

class CPictureBuild {
public:
    CPictureBuild() = default;
    // Stops the build and waits for it.
    ~CPictureBuild();
    CPictureBuild(const CPictureBuild&) = delete;
    CPictureBuild& operator=(const CPictureBuild&) = delete;

    // Starts reading `path` (the platform's narrow encoding) into the
    // picture, with the mirror image of `mode` when it is not null; where
    // no thread can be started, reads it before it returns. False when a
    // build was started before.
    // `atX` and `atY`: the mirror's position as decimal text (empty: the axis).
    bool Start(const std::string& path, const MirrorMode* mode, const std::string& atX = std::string(),
               const std::string& atY = std::string());

    // `callback` is called on the build's thread as it ends (after Done
    // holds), unless it was stopped; set before Start.
    void OnDone(std::function<void()> callback) { m_onDone = std::move(callback); }

    // True once the build has ended, read whole, failed or stopped.
    bool Done() const { return m_bDone.load(std::memory_order_acquire); }
    // The bytes of the program read so far.
    unsigned long long BytesRead() const { return m_nBytes.load(std::memory_order_relaxed); }
    // Asks the build to end and waits until it has.
    void Stop();

    // Once Done: true when the whole program was read, and its picture.
    bool Read() const { return m_bRead; }
    const CToolpathPicture& Picture() const { return m_picture; }

private:
    void Run(const std::string& path, const MirrorMode* mode);
    // The mirror's picture on two threads; false when no second thread
    // could be started (nothing was read then).
    bool RunInStep(const std::string& path, const MirrorMode& mode, bool& read);
    // One more line of `bytes` read; false when the build is to stop.
    bool Going(std::size_t bytes);

    class CSourceProgress;
    class CMirrorProgress;
    class CLineHandOver;

    CToolpathPicture m_picture;
    bool m_bRead = false;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bDone{false};
    std::atomic<unsigned long long> m_nBytes{0};
    std::thread m_thread;
    std::string m_strAtX, m_strAtY;  // the mirror's position, for the engine
    std::function<void()> m_onDone;
};
