#include "Platform.h"

#include <unistd.h>

#include <csignal>
#include <cstdlib>

void PrepareStreamsForData() { std::signal(SIGPIPE, SIG_IGN); }

std::FILE* CreateTemporaryFile(std::string& path)
{
    const char* folder = std::getenv("TMPDIR");
    path = folder && *folder ? folder : "/tmp";
    if (path.back() != '/')
        path += '/';
    path += "ncmirror-stdin-XXXXXX";
    // mkstemp makes the file with mode 0600 under a name no one else has.
    const int fd = ::mkstemp(&path[0]);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        ::close(fd);
        ::unlink(path.c_str());
    }
    return file;
}

// The shell has expanded every pattern already; a '*' in a name is a '*'.
std::vector<std::string> ExpandFileArgument(const std::string& argument) { return {argument}; }
