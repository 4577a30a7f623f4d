#include "FileSystem.h"

#include <windows.h>

#include <chrono>
#include <cwchar>

namespace {

// Our own error number for "a folder where a file was wanted".
constexpr DWORD kIsFolderError = 336;  // ERROR_DIRECTORY_NOT_SUPPORTED
constexpr DWORD kQuotaExceeded = 1295;  // ERROR_DISK_QUOTA_EXCEEDED, missing from MinGW's headers

// The narrow path (ANSI code page) in UTF-16.
std::wstring Widen(const char* path)
{
    const int length = ::MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (length <= 1)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length) - 1);
    return wide;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, std::wcslen(prefix), prefix) == 0;
}

// The full path of `path` in the \\?\ form, which no MAX_PATH limits. A
// device name (NUL, CON, COM1...) is not a file: its full path is \\.\NAME.
bool ResolvePath(const char* path, std::wstring& result, MirrorFailure& failure)
{
    const std::wstring wide = path ? Widen(path) : std::wstring();
    if (wide.empty()) {
        failure = SystemFailure(ERROR_PATH_NOT_FOUND);
        return false;
    }
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            failure = SystemFailure(::GetLastError());
            return false;
        }
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        full.assign(length, L'\0');
    }
    if (StartsWith(full, L"\\\\.\\")) {
        failure = OwnFailure(MirrorFailureKind::NotRegularFile);
        return false;
    }
    if (StartsWith(full, L"\\\\?\\"))
        result = full;
    else if (StartsWith(full, L"\\\\"))
        result = L"\\\\?\\UNC\\" + full.substr(2);
    else
        result = L"\\\\?\\" + full;
    return true;
}

// The file a link leads to, in the \\?\ form; false when it leads nowhere.
bool FileBehindLink(const std::wstring& link, std::wstring& target)
{
    const HANDLE file = ::CreateFileW(link.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = ::GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()), 0);
    if (length >= path.size()) {
        path.assign(length, L'\0');
        length = ::GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()), 0);
    }
    ::CloseHandle(file);
    if (length == 0 || length >= path.size())
        return false;
    path.resize(length);
    target = path;
    return true;
}

HANDLE HandleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

PathKind KindOfPath(const char* path, int* error)
{
    if (error)
        *error = 0;
    std::wstring full;
    MirrorFailure failure;
    if (!ResolvePath(path, full, failure))
        return failure.kind == MirrorFailureKind::NotRegularFile ? PathKind::Other : PathKind::Missing;
    const DWORD attributes = ::GetFileAttributesW(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // A name that cannot be (a '*' in it) is not there either.
        const DWORD code = ::GetLastError();
        if (error && ClassifySystemError(static_cast<int>(code)) != SystemError::NotFound)
            *error = static_cast<int>(code);
        return PathKind::Missing;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return PathKind::Directory;
    std::wstring target;
    if ((attributes & FILE_ATTRIBUTE_DEVICE) ||
        ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && !FileBehindLink(full, target)))
        return PathKind::Other;
    return PathKind::File;
}

namespace {

// The volume and index of an existing file; false when it cannot be opened.
bool FileIdentity(const char* path, BY_HANDLE_FILE_INFORMATION& info)
{
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    return known;
}

}  // namespace

bool IsSameFile(const char* a, const char* b)
{
    BY_HANDLE_FILE_INFORMATION ia, ib;
    return FileIdentity(a, ia) && FileIdentity(b, ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

std::string PlaceOfPath(const char* path)
{
    const auto identity = [](const BY_HANDLE_FILE_INFORMATION& info) {
        return std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(info.nFileIndexHigh) + ":" +
               std::to_string(info.nFileIndexLow);
    };
    BY_HANDLE_FILE_INFORMATION info;
    if (FileIdentity(path, info))
        return "f" + identity(info);
    // Not there: its folder and its name as the system would store it.
    const std::string text = path;
    const std::size_t slash = text.find_last_of("/\\:");
    std::string folder = slash == std::string::npos ? "." : text.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? text : text.substr(slash + 1);
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.pop_back();
    if (name.empty() || !FileIdentity(folder.c_str(), info))
        return "p" + text;
    CharUpperBuffA(&name[0], static_cast<DWORD>(name.size()));
    return "d" + identity(info) + "\\" + name;
}

SystemError ClassifySystemError(int error)
{
    switch (static_cast<DWORD>(error)) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return SystemError::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD: return SystemError::AccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE: return SystemError::InUse;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return SystemError::DiskFull;
    case ERROR_FILE_TOO_LARGE: return SystemError::FileTooLarge;
    case kQuotaExceeded: return SystemError::QuotaExceeded;
    case ERROR_WRITE_PROTECT: return SystemError::ReadOnlyDisk;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW: return SystemError::NameTooLong;
    case kIsFolderError: return SystemError::IsFolder;
    case ERROR_DIRECTORY: return SystemError::NotFolder;
    case ERROR_CANT_RESOLVE_FILENAME: return SystemError::LinkLoop;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_IO_DEVICE:
    case ERROR_SECTOR_NOT_FOUND: return SystemError::IoError;
    default: return SystemError::Other;
    }
}

bool NativeFile::OpenForReading(const char* path, MirrorFailure& failure)
{
    Close();
    std::wstring full;
    if (!ResolvePath(path, full, failure))
        return false;
    const DWORD attributes = ::GetFileAttributesW(full.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        failure = SystemFailure(kIsFolderError);
        return false;
    }
    // Others may go on reading and writing it: a change is noticed at the end.
    const HANDLE file = ::CreateFileW(full.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        failure = SystemFailure(::GetLastError());
        return false;
    }
    m_handle = reinterpret_cast<std::intptr_t>(file);
    if (::GetFileType(file) == FILE_TYPE_DISK)
        return true;
    failure = OwnFailure(MirrorFailureKind::NotRegularFile);
    Close();
    return false;
}

long long NativeFile::Read(char* buffer, std::size_t size, MirrorFailure& failure)
{
    DWORD got = 0;
    const DWORD want = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    if (::ReadFile(HandleOf(m_handle), buffer, want, &got, nullptr))
        return got;
    const DWORD error = ::GetLastError();
    if (error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE)
        return 0;
    failure = SystemFailure(static_cast<int>(error));
    return -1;
}

bool NativeFile::Write(const char* data, std::size_t size, MirrorFailure& failure)
{
    while (size > 0) {
        DWORD written = 0;
        const DWORD piece = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        if (!::WriteFile(HandleOf(m_handle), data, piece, &written, nullptr) || written == 0) {
            const DWORD error = ::GetLastError();
            failure = SystemFailure(static_cast<int>(error ? error : ERROR_DISK_FULL));
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool NativeFile::SeekToStart(MirrorFailure& failure)
{
    LARGE_INTEGER zero{};
    if (::SetFilePointerEx(HandleOf(m_handle), zero, nullptr, FILE_BEGIN))
        return true;
    failure = SystemFailure(static_cast<int>(::GetLastError()));
    return false;
}

bool NativeFile::Empty(MirrorFailure& failure)
{
    if (SeekToStart(failure) && ::SetEndOfFile(HandleOf(m_handle)))
        return true;
    if (failure.kind == MirrorFailureKind::None)
        failure = SystemFailure(static_cast<int>(::GetLastError()));
    return false;
}

bool NativeFile::Stamp(FileStamp& stamp) const
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(HandleOf(m_handle), &info))
        return false;
    stamp.nSize = static_cast<long long>((static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    stamp.nTime = static_cast<long long>((static_cast<unsigned long long>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                                         info.ftLastWriteTime.dwLowDateTime);
    return true;
}

bool NativeFile::Sync(MirrorFailure& failure)
{
    if (::FlushFileBuffers(HandleOf(m_handle)))
        return true;
    failure = SystemFailure(static_cast<int>(::GetLastError()));
    return false;
}

bool NativeFile::Close(MirrorFailure& failure)
{
    if (!IsOpen())
        return true;
    const BOOL closed = ::CloseHandle(HandleOf(m_handle));
    m_handle = kNoHandle;
    if (closed)
        return true;
    failure = SystemFailure(static_cast<int>(::GetLastError()));
    return false;
}

bool OutputPlace::Prepare(const char* destination, bool replace, MirrorFailure& failure)
{
    Close();
    if (!ResolvePath(destination, m_strTarget, failure))
        return false;
    DWORD attributes = ::GetFileAttributesW(m_strTarget.c_str());
    m_bExists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!m_bExists) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) {
            failure = SystemFailure(static_cast<int>(error));
            return false;
        }
        return true;
    }
    // A link keeps pointing at its program: the file behind it is the one replaced.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        std::wstring target;
        if (!FileBehindLink(m_strTarget, target)) {
            failure = OwnFailure(MirrorFailureKind::NotRegularFile);
            return false;
        }
        m_strTarget = target;
        attributes = ::GetFileAttributesW(m_strTarget.c_str());
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        failure = SystemFailure(kIsFolderError);
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_DEVICE) {
        failure = OwnFailure(MirrorFailureKind::NotRegularFile);
        return false;
    }
    if (!replace) {
        failure = OwnFailure(MirrorFailureKind::OutputExists);
        return false;
    }
    // Windows, and Wine as root, let a process replace a read-only file:
    // only this check keeps it.
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        failure = OwnFailure(MirrorFailureKind::ReadOnly);
        return false;
    }
    return true;
}

void OutputPlace::NameTemp(unsigned attempt)
{
    unsigned long long mix = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    mix ^= static_cast<unsigned long long>(::GetCurrentProcessId()) << 32;
    mix ^= reinterpret_cast<std::uintptr_t>(this);
    mix += attempt * 0x9E3779B97F4A7C15ull;
    mix ^= mix >> 29;
    wchar_t name[32];
    std::swprintf(name, 32, L"~ncm%08llx.tmp", mix & 0xFFFFFFFFull);
    m_temp.strWidePath = m_strTarget.substr(0, m_strTarget.rfind(L'\\')) + L"\\" + name;
    for (int i = 0; i < 32; ++i)
        m_temp.szName[i] = static_cast<char>(name[i]);
}

// Windows gives the new file the folder's access rights; nothing to widen.
void OutputPlace::SetFinalMode(NativeFile&) const {}

bool OutputPlace::CreateTemp(NativeFile& file, MirrorFailure& failure, bool& taken)
{
    file.Close();
    // Shared for deletion, so that an interrupted run's file can be removed.
    const HANDLE created = ::CreateFileW(m_temp.strWidePath.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                         CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
        failure = SystemFailure(static_cast<int>(error));
        m_temp.strWidePath.clear();
        m_temp.szName[0] = '\0';
        return false;
    }
    file.m_handle = reinterpret_cast<std::intptr_t>(created);
    return true;
}

bool OutputPlace::MoveTempOver(bool replace, bool sync, MirrorFailure& failure)
{
    const DWORD flags = (replace ? MOVEFILE_REPLACE_EXISTING : 0) | (sync ? MOVEFILE_WRITE_THROUGH : 0);
    if (!::MoveFileExW(m_temp.strWidePath.c_str(), m_strTarget.c_str(), flags)) {
        const DWORD error = ::GetLastError();
        failure = !replace && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
                      ? OwnFailure(MirrorFailureKind::OutputExists)
                      : SystemFailure(static_cast<int>(error));
        return false;
    }
    m_temp.strWidePath.clear();
    m_temp.szName[0] = '\0';
    return true;
}

void OutputPlace::RemoveTemp()
{
    if (!m_temp.strWidePath.empty())
        ::DeleteFileW(m_temp.strWidePath.c_str());
    m_temp.strWidePath.clear();
    m_temp.szName[0] = '\0';
}

void OutputPlace::Close()
{
    m_temp = TempFileRecord();
    m_strTarget.clear();
    m_bExists = false;
}
