#include "FileSystem.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Retries a call that a signal interrupted.
template <typename Call>
auto Retry(Call call)
{
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR)
            return result;
    }
}

// A short name of fixed length for a temporary file: never pushes a path
// over NAME_MAX or PATH_MAX, whatever the destination's name.
void MakeTempName(char (&name)[32], const void* owner, unsigned attempt)
{
    unsigned long long mix = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    mix ^= static_cast<unsigned long long>(::getpid()) << 32;
    mix ^= reinterpret_cast<std::uintptr_t>(owner);
    mix += attempt * 0x9E3779B97F4A7C15ull;
    mix ^= mix >> 29;
    std::snprintf(name, sizeof name, "~ncm%08llx.tmp", mix & 0xFFFFFFFFull);
}

// Moves `from` to `to` in `folder` unless `to` exists, in one step where the
// file system offers it. False with errno set; EEXIST when `to` exists.
bool MoveWithoutReplacing(int folder, const char* from, const char* to)
{
#ifdef RENAME_NOREPLACE
    if (::renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP && errno != EOPNOTSUPP)
        return false;
#endif
    // A second name made atomically, then the temporary one dropped.
    if (::linkat(folder, from, folder, to, 0) == 0) {
        ::unlinkat(folder, from, 0);
        return true;
    }
    if (errno != EPERM && errno != ENOSYS && errno != ENOTSUP && errno != EOPNOTSUPP)
        return false;
    // A file system without links (FAT): the best that remains, a check just
    // before the move.
    struct stat st;
    if (::fstatat(folder, to, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::renameat(folder, from, folder, to) == 0;
}

// The process's file-mode mask, read once: the system tells it only by
// setting it, and a new output gets the mode a new file would get.
mode_t ProcessUmask()
{
    static const mode_t mask = [] {
        const mode_t old = ::umask(022);
        ::umask(old);
        return old;
    }();
    return mask;
}

}  // namespace

PathKind KindOfPath(const char* path, int* error)
{
    if (error)
        *error = 0;
    struct stat st;
    if (::lstat(path, &st) != 0) {
        if (error && errno != ENOENT && errno != ENOTDIR)
            *error = errno;
        return PathKind::Missing;
    }
    if (S_ISLNK(st.st_mode) && ::stat(path, &st) != 0)
        return PathKind::Other;
    if (S_ISREG(st.st_mode))
        return PathKind::File;
    return S_ISDIR(st.st_mode) ? PathKind::Directory : PathKind::Other;
}

bool IsSameFile(const char* a, const char* b)
{
    struct stat sa, sb;
    return ::stat(a, &sa) == 0 && ::stat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string PlaceOfPath(const char* path)
{
    const auto identity = [](const struct stat& st) {
        return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
    };
    struct stat st;
    if (::stat(path, &st) == 0)
        return "f" + identity(st);
    // Not there (or a link that leads nowhere): its folder and its name.
    const std::string text = path;
    const std::size_t slash = text.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : text.substr(0, slash);
    const std::string name = slash == std::string::npos ? text : text.substr(slash + 1);
    if (name.empty() || name == "." || name == ".." || ::stat(folder.c_str(), &st) != 0)
        return "p" + text;
    return "d" + identity(st) + "/" + name;
}

SystemError ClassifySystemError(int error)
{
    switch (error) {
    case ENOENT: return SystemError::NotFound;
    case EACCES:
    case EPERM: return SystemError::AccessDenied;
    case EBUSY:
    case ETXTBSY: return SystemError::InUse;
    case ENOSPC: return SystemError::DiskFull;
    case EFBIG: return SystemError::FileTooLarge;
    case EDQUOT: return SystemError::QuotaExceeded;
    case EROFS: return SystemError::ReadOnlyDisk;
    case ENAMETOOLONG: return SystemError::NameTooLong;
    case EISDIR: return SystemError::IsFolder;
    case ENOTDIR: return SystemError::NotFolder;
    case ELOOP: return SystemError::LinkLoop;
    case EIO: return SystemError::IoError;
    default: return SystemError::Other;
    }
}

bool NativeFile::OpenForReading(const char* path, MirrorFailure& failure)
{
    Close();
    // Without O_NONBLOCK the opening of a FIFO would wait for a writer.
    const int fd = Retry([&] { return ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC); });
    struct stat st;
    if (fd < 0) {
        // A socket cannot be opened at all.
        const int error = errno;
        failure = ::stat(path, &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)
                      ? OwnFailure(MirrorFailureKind::NotRegularFile)
                      : SystemFailure(error);
        return false;
    }
    m_handle = fd;
    if (::fstat(fd, &st) != 0) {
        failure = SystemFailure(errno);
    } else if (S_ISDIR(st.st_mode)) {
        failure = SystemFailure(EISDIR);
    } else if (!S_ISREG(st.st_mode)) {
        failure = OwnFailure(MirrorFailureKind::NotRegularFile);
    } else {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags != -1 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0)
            return true;
        failure = SystemFailure(errno);
    }
    Close();
    return false;
}

long long NativeFile::Read(char* buffer, std::size_t size, MirrorFailure& failure)
{
    const ssize_t n = Retry([&] { return ::read(static_cast<int>(m_handle), buffer, size); });
    if (n < 0)
        failure = SystemFailure(errno);
    return n;
}

bool NativeFile::Write(const char* data, std::size_t size, MirrorFailure& failure)
{
    while (size > 0) {
        const ssize_t n = Retry([&] { return ::write(static_cast<int>(m_handle), data, size); });
        if (n <= 0) {
            failure = SystemFailure(n < 0 ? errno : ENOSPC);
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool NativeFile::SeekToStart(MirrorFailure& failure)
{
    if (::lseek(static_cast<int>(m_handle), 0, SEEK_SET) == 0)
        return true;
    failure = SystemFailure(errno);
    return false;
}

bool NativeFile::Empty(MirrorFailure& failure)
{
    if (SeekToStart(failure) && ::ftruncate(static_cast<int>(m_handle), 0) == 0)
        return true;
    if (failure.kind == MirrorFailureKind::None)
        failure = SystemFailure(errno);
    return false;
}

bool NativeFile::Stamp(FileStamp& stamp) const
{
    struct stat st;
    if (::fstat(static_cast<int>(m_handle), &st) != 0)
        return false;
    stamp.nSize = st.st_size;
    stamp.nTime = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return true;
}

bool NativeFile::Sync(MirrorFailure& failure)
{
    if (Retry([&] { return ::fsync(static_cast<int>(m_handle)); }) == 0)
        return true;
    failure = SystemFailure(errno);
    return false;
}

bool NativeFile::Close(MirrorFailure& failure)
{
    if (!IsOpen())
        return true;
    const int result = ::close(static_cast<int>(m_handle));
    m_handle = kNoHandle;
    // After EINTR Linux has closed the descriptor all the same.
    if (result == 0 || errno == EINTR)
        return true;
    failure = SystemFailure(errno);
    return false;
}

bool OutputPlace::Prepare(const char* destination, bool replace, MirrorFailure& failure)
{
    Close();
    if (!destination || !*destination) {
        failure = SystemFailure(ENOENT);
        return false;
    }

    // 1. What is there now. A link keeps pointing at its program: the file
    //    behind it is the one replaced.
    std::string target = destination;
    struct stat st;
    m_bExists = ::lstat(destination, &st) == 0;
    if (!m_bExists && errno != ENOENT) {
        failure = SystemFailure(errno);
        return false;
    }
    if (m_bExists) {
        if (S_ISLNK(st.st_mode)) {
            if (::stat(destination, &st) != 0) {
                failure = errno == ELOOP ? SystemFailure(ELOOP) : OwnFailure(MirrorFailureKind::NotRegularFile);
                return false;
            }
            const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(destination, nullptr), &std::free);
            if (!resolved) {
                failure = SystemFailure(errno);
                return false;
            }
            target = resolved.get();
        }
        if (S_ISDIR(st.st_mode)) {
            failure = SystemFailure(EISDIR);
            return false;
        }
        if (!S_ISREG(st.st_mode)) {
            failure = OwnFailure(MirrorFailureKind::NotRegularFile);
            return false;
        }
        if (!replace) {
            failure = OwnFailure(MirrorFailureKind::OutputExists);
            return false;
        }
        // root may write anything; the permission bits still say what the
        // owner meant.
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            failure = OwnFailure(MirrorFailureKind::ReadOnly);
            return false;
        }
        if (::access(target.c_str(), W_OK) != 0) {
            failure = SystemFailure(errno);
            return false;
        }
        m_nMode = st.st_mode & 07777;
        m_nOwner = st.st_uid;
        m_nGroup = st.st_gid;
    }

    // 2. The folder, held open: the temporary file and the move go through
    //    it, so the folder's path length never adds to theirs.
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    m_strName = slash == std::string::npos ? target : target.substr(slash + 1);
    if (m_strName.empty()) {
        failure = SystemFailure(EISDIR);
        return false;
    }
    int fd = Retry([&] { return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
#ifdef O_PATH
    if (fd < 0 && errno == EACCES)  // a folder we may write in but not list
        fd = Retry([&] { return ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC); });
#endif
    if (fd < 0) {
        failure = SystemFailure(errno);
        return false;
    }
    m_temp.nFolder = fd;
    return true;
}

void OutputPlace::NameTemp(unsigned attempt) { MakeTempName(m_temp.szName, this, attempt); }

bool OutputPlace::CreateTemp(NativeFile& file, MirrorFailure& failure, bool& taken)
{
    file.Close();
    const int fd = Retry([&] {
        return ::openat(m_temp.nFolder, m_temp.szName, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    });
    if (fd < 0) {
        taken = errno == EEXIST;
        failure = SystemFailure(errno);
        m_temp.szName[0] = '\0';
        return false;
    }
    file.m_handle = fd;
    return true;
}

void OutputPlace::SetFinalMode(NativeFile& file) const
{
    const int fd = static_cast<int>(file.m_handle);
    if (m_bExists) {
        // Owner first: a change of owner clears the set-id bits.
        if (::fchown(fd, static_cast<uid_t>(m_nOwner), static_cast<gid_t>(m_nGroup)) != 0)
            (void)::fchown(fd, static_cast<uid_t>(-1), static_cast<gid_t>(m_nGroup));
        (void)::fchmod(fd, static_cast<mode_t>(m_nMode));
    } else {
        (void)::fchmod(fd, 0666 & ~ProcessUmask());
    }
}

bool OutputPlace::MoveTempOver(bool replace, bool sync, MirrorFailure& failure)
{
    const int folder = m_temp.nFolder;
    const bool moved = replace ? ::renameat(folder, m_temp.szName, folder, m_strName.c_str()) == 0
                               : MoveWithoutReplacing(folder, m_temp.szName, m_strName.c_str());
    if (!moved) {
        failure = errno == EEXIST && !replace ? OwnFailure(MirrorFailureKind::OutputExists) : SystemFailure(errno);
        return false;
    }
    m_temp.szName[0] = '\0';
    // A folder opened only as a path (O_PATH) cannot be flushed; nothing else
    // can be done for it.
    if (sync && Retry([&] { return ::fsync(folder); }) != 0 && errno != EBADF && errno != EINVAL) {
        failure = SystemFailure(errno);
        return false;
    }
    return true;
}

void OutputPlace::RemoveTemp()
{
    if (m_temp.nFolder >= 0 && m_temp.szName[0])
        ::unlinkat(m_temp.nFolder, m_temp.szName, 0);
    m_temp.szName[0] = '\0';
}

void OutputPlace::Close()
{
    if (m_temp.nFolder >= 0)
        ::close(m_temp.nFolder);
    m_temp = TempFileRecord();
    m_strName.clear();
    m_bExists = false;
}
