// Who learns of a run's temporary file while it exists, so that a front end
// can remove it when the process is interrupted (Ctrl-C, SIGTERM, a closed
// console). The engine keeps no process-wide state: the front end owns the
// signal side and its records of the files.
#pragma once

#include <string>

// One temporary file, described so that it can be removed without the
// engine: on POSIX by unlinkat(nFolder, szName, 0), which is safe in a
// signal handler; on Windows by DeleteFileW(strWidePath).
struct TempFileRecord {
    int nFolder = -1;           // POSIX: descriptor of the file's folder, open while the file exists
    char szName[32] = {};       // the file's name in that folder
    std::wstring strWidePath;   // Windows: the full path, in the \\?\ form; empty elsewhere
};

class CTempFileObserver {
public:
    // The file is about to be made under this name: called just before, so
    // that an interruption at any moment from now on finds it (removing a
    // name that is not made yet does no harm).
    virtual void OnTempFileCreated(const TempFileRecord& file) = 0;
    // The file is gone: moved over the destination or removed.
    virtual void OnTempFileGone(const TempFileRecord& file) = 0;

protected:
    ~CTempFileObserver() = default;
};
