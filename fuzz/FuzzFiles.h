// Files of the fuzzer: one private folder per process (in memory where the
// system offers /dev/shm) and byte-exact reading and writing.
#pragma once

#include <string>
#include <vector>

class FuzzFolder {
public:
    FuzzFolder();
    ~FuzzFolder();
    FuzzFolder(const FuzzFolder&) = delete;
    FuzzFolder& operator=(const FuzzFolder&) = delete;

    // Full path of a file in the folder.
    std::string operator/(const char* name) const { return m_strPath + "/" + name; }
    // Names of the files in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::string m_strPath;
};

// Whole file as bytes; false when it cannot be read.
bool ReadBytes(const std::string& path, std::string& bytes);
// Replaces the file with `bytes`; false on any failure.
bool WriteBytes(const std::string& path, const std::string& bytes);
