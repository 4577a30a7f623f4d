// Writes a destination file safely: the bytes go to a new temporary file in
// the destination's folder, which replaces the destination only on Commit.
// Until then, and whenever anything fails, an existing destination keeps its
// bytes, and the temporary file is removed when the object ends. A file of
// more than one buffer is written by a second thread from its second buffer
// on (a failed write shows at a later call, at the latest at Commit).
#pragma once

#include "BackgroundWriter.h"
#include "FileSystem.h"
#include "MirrorFailure.h"
#include "TempFileObserver.h"

#include <memory>
#include <string>

struct SafeOutputOptions {
    bool bReplace = true;  // an existing destination may be replaced
    bool bSync = false;    // the file reaches the disk before the move, and the move too
    CTempFileObserver* pObserver = nullptr;  // told of the temporary file
};

class SafeOutput {
public:
    SafeOutput() = default;
    SafeOutput(const SafeOutput&) = delete;
    SafeOutput& operator=(const SafeOutput&) = delete;
    ~SafeOutput() { Discard(); }

    // Prepares to write `destination`; false when it cannot be written (see
    // Failure): a read-only file, a folder, a special file, a missing or
    // read-only folder, or an existing file that is not to be replaced.
    bool Open(const char* destination, const SafeOutputOptions& options = SafeOutputOptions());

    // Appends bytes; false once any write has failed.
    bool Write(const char* data, std::size_t size);

    // Room for `size` bytes (at most kMaxSpace) at the end of the write
    // buffer, for a caller that puts them there itself and then says how
    // many it used; null once any write has failed.
    static constexpr std::size_t kMaxSpace = 1 << 14;
    char* Space(std::size_t size);
    void Used(std::size_t size) { m_nUsed += size; }

    // Drops everything written so far, to write the file anew; false when
    // the temporary file cannot be emptied.
    bool Restart();

    // Flushes, closes and moves the temporary file over the destination;
    // false (and nothing replaced) when any step fails.
    bool Commit();

    // Drops the temporary file, leaving the destination as it was.
    void Discard();

    // Why Open, a write or Commit failed.
    const MirrorFailure& Failure() const { return m_failure; }

private:
    // Writes the buffer: on the writer thread once the file has outgrown
    // one buffer, else here (`last`: the file ends with it).
    bool Flush(bool last = false);
    // Waits for the writer thread's writes and ends it; false when one failed.
    bool StopWriter();
    // The buffer to fill: the first one, or one the writer thread gives.
    void UseFirstBuffer();
    void UseWriterBuffer();
    bool Fail(const MirrorFailure& failure);
    // The observer learns that the temporary file is gone; the folder is let go.
    void Release();

    SafeOutputOptions m_options;
    OutputPlace m_place;
    TempFileRecord m_announced;  // the temporary file as the observer was told of it
    NativeFile m_file;
    std::unique_ptr<char[]> m_buffer;  // the first buffer of each file
    char* m_pBuffer = nullptr;         // the buffer being filled: the first, or the writer's
    std::size_t m_nCapacity = 0;       // its size
    std::size_t m_nUsed = 0;
    CBackgroundWriter m_writer;
    bool m_bOpen = false;
    bool m_bFailed = false;
    bool m_bWritten = false;  // bytes reached the temporary file since it was opened or emptied
    MirrorFailure m_failure;
};
