// Writes a destination file safely: the bytes go to a new temporary file in
// the destination's folder, which replaces the destination only on Commit.
// Until then, and whenever anything fails, an existing destination keeps its
// bytes, and the temporary file is removed when the object ends.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

class SafeOutput {
public:
    SafeOutput() = default;
    SafeOutput(const SafeOutput&) = delete;
    SafeOutput& operator=(const SafeOutput&) = delete;
    ~SafeOutput() { Discard(); }

    // Prepares to write `destination`; false when it cannot be written (a
    // read-only file, a directory, a missing or read-only folder).
    bool Open(const char* destination);

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

private:
    bool Flush();

    std::string m_strDestination;
    std::string m_strTemp;
    std::FILE* m_pFile = nullptr;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_nUsed = 0;
    bool m_bFailed = false;
};
