// File helpers for the engine tests: a scratch folder per test and byte-exact
// reading and writing.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

// The test process's id: test suites run at the same time use their own folders.
inline long long ProcessId()
{
#ifdef _WIN32
    return _getpid();
#else
    return getpid();
#endif
}

inline std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A fresh, empty folder for one test, removed afterwards.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name)
        : m_path(fs::temp_directory_path() / ("ncmirror_test_" + name + "_" + std::to_string(ProcessId())))
    {
        Remove();
        fs::create_directories(m_path);
    }
    ~ScratchFolder() { Remove(); }
    // Full path of a file in the folder, as the engine takes it.
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }
    const fs::path& path() const { return m_path; }

    // Names of the files in the folder, sorted.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    // Removes the folder, read-only files (which Windows will not delete) included.
    void Remove() const
    {
        std::error_code ec;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
        for (fs::recursive_directory_iterator it(m_path, ec), end; !ec && it != end; it.increment(ec))
            fs::permissions(it->path(), fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
        fs::remove_all(m_path, ec);
    }

    fs::path m_path;
};
