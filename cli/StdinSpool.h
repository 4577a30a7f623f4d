// Standard input kept in a temporary file for one run: the engine reads its
// source twice, since the number format must be known before the first line
// is written. The bytes pass through one fixed buffer, so memory stays
// bounded on input of any size. The file is removed when the object ends.
#pragma once

#include <cstdio>
#include <string>

class CStdinSpool {
public:
    enum class Result {
        Spooled,      // Path() holds all of the input
        CannotRead,   // reading the input failed
        CannotWrite,  // the temporary file cannot be made or written (Path(): where)
    };

    CStdinSpool() = default;
    ~CStdinSpool();
    CStdinSpool(const CStdinSpool&) = delete;
    CStdinSpool& operator=(const CStdinSpool&) = delete;

    // Copies `input` to its end into a new temporary file.
    Result Fill(std::FILE* input);

    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strPath;  // the temporary file, or where it was tried
    bool m_bCreated = false;
};
