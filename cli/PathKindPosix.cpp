#include "PathKind.h"

#include <sys/stat.h>

#include <cerrno>

PathKind GetPathKind(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::Other;
    if (S_ISREG(info.st_mode))
        return PathKind::File;
    if (S_ISDIR(info.st_mode))
        return PathKind::Directory;
    return PathKind::Other;
}
