#include "SafeOutput.h"

#include "FileSystem.h"

#include <chrono>
#include <cstring>

namespace {

constexpr std::size_t kBufferSize = 1 << 16;
constexpr int kNameAttempts = 64;

// A temporary name beside `destination` that nothing else is likely to use.
std::string TempNameFor(const std::string& destination, unsigned attempt)
{
    const auto ticks = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    return destination + ".~" + std::to_string((ticks + attempt * 7919u) % 1000000u) + ".tmp";
}

}  // namespace

bool SafeOutput::Open(const char* destination)
{
    Discard();
    if (!destination || !*destination)
        return false;
    // A link keeps pointing at the program it names: the file behind it is replaced.
    m_strDestination = FileBehindPath(destination);
    destination = m_strDestination.c_str();

    // 1. An existing destination must be a file we may replace.
    const PathKind kind = KindOfPath(destination);
    if (kind == PathKind::Directory || (kind == PathKind::File && IsReadOnlyFile(destination)))
        return false;

    // 2. A new temporary file in the same folder, so the final move stays on
    //    one file system.
    for (int attempt = 0; attempt < kNameAttempts && !m_pFile; ++attempt) {
        m_strTemp = TempNameFor(m_strDestination, static_cast<unsigned>(attempt));
        m_pFile = CreateNewFile(m_strTemp.c_str());
        if (!m_pFile && KindOfPath(m_strTemp.c_str()) == PathKind::Missing)
            break;  // not a name clash: the folder cannot take a new file
    }
    if (!m_pFile) {
        m_strTemp.clear();
        return false;
    }
    std::setvbuf(m_pFile, nullptr, _IONBF, 0);

    // 3. A replaced program keeps the access rights it had.
    if (kind == PathKind::File)
        CopyPermissions(destination, m_strTemp.c_str());

    if (!m_buffer)
        m_buffer = std::make_unique<char[]>(kBufferSize);
    m_nUsed = 0;
    m_bFailed = false;
    return true;
}

bool SafeOutput::Flush()
{
    if (m_nUsed > 0 && !m_bFailed)
        m_bFailed = std::fwrite(m_buffer.get(), 1, m_nUsed, m_pFile) != m_nUsed;
    m_nUsed = 0;
    return !m_bFailed;
}

bool SafeOutput::Write(const char* data, std::size_t size)
{
    if (!m_pFile || m_bFailed)
        return false;
    if (m_nUsed + size > kBufferSize && !Flush())
        return false;
    if (size >= kBufferSize) {
        m_bFailed = std::fwrite(data, 1, size, m_pFile) != size;
        return !m_bFailed;
    }
    std::memcpy(m_buffer.get() + m_nUsed, data, size);
    m_nUsed += size;
    return true;
}

char* SafeOutput::Space(std::size_t size)
{
    if (!m_pFile || m_bFailed || size > kMaxSpace)
        return nullptr;
    if (m_nUsed + size > kBufferSize && !Flush())
        return nullptr;
    return m_buffer.get() + m_nUsed;
}

bool SafeOutput::Restart()
{
    if (!m_pFile || m_bFailed)
        return false;
    m_nUsed = 0;
    // Reopened for writing, the temporary file is empty again.
    m_pFile = std::freopen(m_strTemp.c_str(), "wb", m_pFile);
    if (!m_pFile) {
        Discard();
        return false;
    }
    std::setvbuf(m_pFile, nullptr, _IONBF, 0);
    return true;
}

bool SafeOutput::Commit()
{
    if (!m_pFile)
        return false;
    const bool written = Flush() && std::fflush(m_pFile) == 0 && !std::ferror(m_pFile);
    const bool closed = std::fclose(m_pFile) == 0;
    m_pFile = nullptr;
    if (!written || !closed || !MoveFileOver(m_strTemp.c_str(), m_strDestination.c_str())) {
        Discard();
        return false;
    }
    m_strTemp.clear();
    return true;
}

void SafeOutput::Discard()
{
    if (m_pFile)
        std::fclose(m_pFile);
    m_pFile = nullptr;
    if (!m_strTemp.empty())
        std::remove(m_strTemp.c_str());
    m_strTemp.clear();
    m_nUsed = 0;
}
