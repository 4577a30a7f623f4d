// The file operations the engine needs beyond standard C++, with one
// implementation per platform (FileSystemPosix.cpp, FileSystemWin32.cpp).
// Paths are in the platform's narrow encoding (the ANSI code page on
// Windows). Every failure is told as a MirrorFailure.
#pragma once

#include "MirrorFailure.h"
#include "TempFileObserver.h"

#include <cstddef>
#include <cstdint>
#include <string>

enum class PathKind { Missing, File, Directory, Other };

// What `path` names now. A symbolic link counts as what it leads to; one that
// leads nowhere (dangling or looping) is Other, as are FIFOs, devices and
// sockets. When the path cannot be examined it is Missing, and `error` (when
// given) gets the system's error number; it gets 0 for a path that simply
// does not exist.
PathKind KindOfPath(const char* path, int* error = nullptr);

// The meaning of an operating-system error number, for messages.
enum class SystemError {
    NotFound, AccessDenied, InUse, DiskFull, FileTooLarge, QuotaExceeded, ReadOnlyDisk,
    NameTooLong, IsFolder, NotFolder, LinkLoop, IoError, Other,
};
SystemError ClassifySystemError(int error);

// Size and modification time of an open file.
struct FileStamp {
    long long nSize = -1;
    long long nTime = 0;  // in the platform's finest unit
    bool operator==(const FileStamp& other) const { return nSize == other.nSize && nTime == other.nTime; }
};

// True when both paths name one existing file (however each is spelled).
bool IsSameFile(const char* a, const char* b);

// A text that is equal for two paths exactly when writing the one changes
// the file the other names, however each is spelled: an existing file by its
// identity, a path with nothing there yet by its folder's identity and its
// name (on Windows without case and the trailing dots and blanks that the
// system drops). Paths whose folder cannot be examined are kept as spelled.
std::string PlaceOfPath(const char* path);

// An open file of the platform (a descriptor on POSIX, a handle on Windows),
// read or written as bytes, closed when the object ends.
class NativeFile {
public:
    NativeFile() = default;
    NativeFile(const NativeFile&) = delete;
    NativeFile& operator=(const NativeFile&) = delete;
    ~NativeFile() { Close(); }

    bool IsOpen() const { return m_handle != kNoHandle; }

    // Opens a regular file for reading. Anything else (a folder, FIFO,
    // device, socket) is refused before a byte is read, and the opening never
    // waits (a FIFO without a writer).
    bool OpenForReading(const char* path, MirrorFailure& failure);
    // Reads up to `size` bytes: the count, 0 at the end of the file, -1 on an error.
    long long Read(char* buffer, std::size_t size, MirrorFailure& failure);
    // Writes all `size` bytes.
    bool Write(const char* data, std::size_t size, MirrorFailure& failure);
    bool SeekToStart(MirrorFailure& failure);
    // Empties the file and starts writing it from the beginning again.
    bool Empty(MirrorFailure& failure);
    // Size and modification time now; false when they cannot be read.
    bool Stamp(FileStamp& stamp) const;
    // Makes what was written durable on the disk.
    bool Sync(MirrorFailure& failure);
    // Closes, telling an error the system reports on closing (a delayed write).
    bool Close(MirrorFailure& failure);
    void Close()
    {
        MirrorFailure ignored;
        Close(ignored);
    }

private:
    friend class OutputPlace;
    static constexpr std::intptr_t kNoHandle = -1;
    std::intptr_t m_handle = kNoHandle;
};

// Where a destination is written: the folder and name of the file that
// writing to the destination changes (a symbolic link is followed to its
// file), and a temporary file made beside it that is moved over it at the end.
class OutputPlace {
public:
    OutputPlace() = default;
    OutputPlace(const OutputPlace&) = delete;
    OutputPlace& operator=(const OutputPlace&) = delete;
    ~OutputPlace() { Close(); }

    // Examines `destination`: an existing one must be a regular file (or a
    // link to one) that is not read-only, and with `replace` false there must
    // be none at all, not even a link.
    bool Prepare(const char* destination, bool replace, MirrorFailure& failure);
    // Picks the name of try `attempt` (0, 1, ...) for the temporary file:
    // short and of fixed length, so that no path grows past the platform's
    // limits. Temp() tells it from now on.
    void NameTemp(unsigned attempt);
    // Creates the temporary file under that name in the destination's
    // folder, readable and writable by its owner alone while it is written.
    // False with `failure` set, and `taken` true when only the name was in
    // use already.
    bool CreateTemp(NativeFile& file, MirrorFailure& failure, bool& taken);
    // Gives the written temporary file the mode it keeps: a replaced file's
    // permission bits, owner and group (where the process may set them), or
    // those of any new file.
    void SetFinalMode(NativeFile& file) const;
    const TempFileRecord& Temp() const { return m_temp; }
    // Moves the closed temporary file over the destination in one step. With
    // `replace` false it never replaces a file that appeared meanwhile
    // (OutputExists). With `sync` the move is made durable too.
    bool MoveTempOver(bool replace, bool sync, MirrorFailure& failure);
    // Removes the temporary file, when there is one.
    void RemoveTemp();
    // Releases the folder (after the temporary file is gone).
    void Close();

private:
    TempFileRecord m_temp;       // the temporary file; no name while there is none
    std::string m_strName;       // POSIX: the destination's name in its folder (m_temp.nFolder)
    std::wstring m_strTarget;    // Windows: the destination's full path in the \\?\ form
    bool m_bExists = false;      // the destination existed when prepared
    long long m_nMode = 0;       // POSIX: its permission bits
    long long m_nOwner = -1;     // POSIX: its owner and group
    long long m_nGroup = -1;
};
