// A temporary folder of test files inside the Wine prefix, removed with
// everything in it (read-only files included) when the test ends.
#pragma once

#include <string>

class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::wstring& Path() const { return m_path; }
    std::wstring PathOf(const std::wstring& name) const { return m_path + L"\\" + name; }

    // Writes `bytes` to `name` (a path relative to the folder); false on failure.
    bool Write(const std::wstring& name, const std::string& bytes) const;
    bool MakeFolder(const std::wstring& name) const;
    bool Exists(const std::wstring& name) const;
    // The file's bytes; "<missing>" when it cannot be read.
    std::string Read(const std::wstring& name) const;
    bool SetReadOnly(const std::wstring& name) const;

private:
    std::wstring m_path;
};

// The bytes of the file at `path`; "<missing>" when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);

// A file of the shared test data (NCM_TEST_DATA), e.g. L"golden/worked_free.nc".
std::string TestData(const std::wstring& name);
