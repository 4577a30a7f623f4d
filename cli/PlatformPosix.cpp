#include "Platform.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>

void PrepareStreamsForData() { std::signal(SIGPIPE, SIG_IGN); }

std::FILE* CreateTemporaryFile(std::string& path, std::string& folderPath, CTempFileObserver& observer,
                               TempFileRecord& record)
{
    const char* folder = std::getenv("TMPDIR");
    folderPath = folder && *folder ? folder : "/tmp";
    if (folderPath.back() != '/')
        folderPath += '/';
    path.clear();
    record.nFolder = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (record.nFolder < 0)
        return nullptr;
    // A name no one else has, made with mode 0600 (as mkstemp does).
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned long long mix = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count()) ^ (static_cast<unsigned long long>(::getpid()) << 32);
    for (int attempt = 0; attempt < 64; ++attempt) {
        std::string name = "ncmirror-stdin-";
        for (int i = 0; i < 6; ++i, mix = mix * 6364136223846793005ull + 1442695040888963407ull)
            name += kLetters[(mix >> 33) % (sizeof kLetters - 1)];
        std::memcpy(record.szName, name.c_str(), name.size() + 1);
        observer.OnTempFileCreated(record);
        const int fd = ::openat(record.nFolder, record.szName, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            path = folderPath + name;
            if (std::FILE* file = ::fdopen(fd, "wb"))
                return file;
            ::close(fd);
            ::unlinkat(record.nFolder, record.szName, 0);
        }
        const int error = errno;
        observer.OnTempFileGone(record);
        errno = error;
        if (fd >= 0 || error != EEXIST)
            break;
    }
    const int error = errno;
    ForgetTempFile(record);
    errno = error;
    return nullptr;
}

int LastSystemError() { return errno; }

bool SystemKeepsName(const std::string&) { return true; }

void ForgetTempFile(TempFileRecord& record)
{
    if (record.nFolder >= 0)
        ::close(record.nFolder);
    record = TempFileRecord();
}

// The shell has expanded every pattern already; a '*' in a name is a '*'.
std::vector<std::string> ExpandFileArgument(const std::string& argument) { return {argument}; }
