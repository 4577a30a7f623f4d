// Standard input kept in a temporary file for one run: the engine reads its
// source twice, since the number format must be known before the first line
// is written. The bytes pass through one fixed buffer, so memory stays
// bounded on input of any size. The file is removed when the object ends.
#pragma once

#include "MirrorFailure.h"
#include "TempFileObserver.h"

#include <cstdio>
#include <string>

class CStdinSpool {
public:
    enum class Result {
        Spooled,      // Path() holds all of the input
        CannotRead,   // reading the input failed
        CannotWrite,  // the temporary file cannot be made or written (Folder(): where, Failure(): why)
    };

    // `observer` learns of the temporary file while it exists.
    explicit CStdinSpool(CTempFileObserver& observer) : m_observer(observer) {}
    ~CStdinSpool();
    CStdinSpool(const CStdinSpool&) = delete;
    CStdinSpool& operator=(const CStdinSpool&) = delete;

    // Copies `input` to its end into a new temporary file.
    Result Fill(std::FILE* input);

    const std::string& Path() const { return m_strPath; }
    const std::string& Folder() const { return m_strFolder; }
    const MirrorFailure& Failure() const { return m_failure; }

private:
    CTempFileObserver& m_observer;
    std::string m_strPath;    // the temporary file
    std::string m_strFolder;  // its folder, or where it was tried
    MirrorFailure m_failure;
    bool m_bCreated = false;
    TempFileRecord m_record;  // the file as the observer knows it
};
