// What both program files carry: the version of the build in their version
// information, and the application manifest. The paths
// come from NCM_APP and NCM_CLI, so that the same checks run on the files of
// a package.
#include "DriverEnv.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

std::wstring Widened(const char* text) { return std::wstring(text, text + std::char_traits<char>::length(text)); }

// A string of the version information's Russian Unicode block; "<none>" when it is missing.
std::wstring VersionString(const std::vector<char>& info, const wchar_t* name)
{
    void* value = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\041904b0\\") + name;
    if (!VerQueryValueW(info.data(), key.c_str(), &value, &length) || length == 0)
        return L"<none>";
    return std::wstring(static_cast<const wchar_t*>(value), length - 1);
}

// The bytes of resource 1 of type RT_MANIFEST; empty when there is none.
std::string Manifest(const std::wstring& path)
{
    const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module)
        return std::string();
    std::string bytes;
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (loaded)
        bytes.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
    FreeLibrary(module);
    return bytes;
}

class ProgramFile : public testing::TestWithParam<const wchar_t*> {
protected:
    std::wstring Path() const { return ToWindowsPath(EnvText(GetParam())); }
};

}  // namespace

TEST_P(ProgramFile, CarriesTheBuildVersion)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(Path().c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version information in " << testing::PrintToString(Path());
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(Path().c_str(), 0, size, info.data()));

    const std::wstring version = Widened(NCM_VERSION);
    EXPECT_EQ(VersionString(info, L"FileVersion"), version);
    EXPECT_EQ(VersionString(info, L"ProductVersion"), version);
    for (const wchar_t* name : {L"ProductName", L"FileDescription", L"LegalCopyright"})
        EXPECT_NE(VersionString(info, name).find(L"NC Mirror"), std::wstring::npos) << name;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const std::wstring numbers = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                                 std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                                 std::to_wstring(HIWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(numbers, version);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionLS), 0);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
}

TEST_P(ProgramFile, CarriesTheApplicationManifest)
{
    const std::string manifest = Manifest(Path());
    ASSERT_FALSE(manifest.empty()) << "no manifest in " << testing::PrintToString(Path());
    for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                             "level=\"asInvoker\"", ">PerMonitorV2, System</dpiAwareness>", ">true</dpiAware>",
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

INSTANTIATE_TEST_SUITE_P(Both, ProgramFile, testing::Values(L"NCM_APP", L"NCM_CLI"),
                         [](const testing::TestParamInfo<const wchar_t*>& info) {
                             return std::string(info.param == std::wstring(L"NCM_APP") ? "Dialog" : "CommandLine");
                         });
