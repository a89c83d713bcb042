#include "platform/file.h"

#include "platform/win32/win.h"

#include <vector>

#include "platform/path.h"
#include "platform/win32/wide.h"

namespace platform {

bool FileExists(const std::string& path) {
    const DWORD a = ::GetFileAttributesW(Wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    const DWORD a = ::GetFileAttributesW(Wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceDirectories(const std::string& path) {
    if (path.empty()) return false;
    const std::string dir = ExcludeTrailingSeparator(path);
    if (DirectoryExists(dir)) return true;
    const std::string parent = ExtractFileDir(dir);
    if (!parent.empty() && parent != dir && !DirectoryExists(parent)) ForceDirectories(parent);
    ::CreateDirectoryW(Wide(dir).c_str(), nullptr);
    return DirectoryExists(dir);
}

bool DeleteFile(const std::string& path) {
    return ::DeleteFileW(Wide(path).c_str()) != 0;
}
bool RemoveDirectory(const std::string& path) {
    return ::RemoveDirectoryW(Wide(path).c_str()) != 0;
}
bool RenameFile(const std::string& from, const std::string& to) {
    return ::MoveFileW(Wide(from).c_str(), Wide(to).c_str()) != 0;
}
bool CopyFile(const std::string& from, const std::string& to, bool overwrite) {
    return ::CopyFileW(Wide(from).c_str(), Wide(to).c_str(), overwrite ? FALSE : TRUE) != 0;
}

int64_t GetFileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!::GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &d) ||
        (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return (static_cast<int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

bool IsReadOnly(const std::string& path) {
    const DWORD a = ::GetFileAttributesW(Wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

bool SetReadOnly(const std::string& path, bool readOnly) {
    const std::wstring w = Wide(path);
    DWORD a = ::GetFileAttributesW(w.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return false;
    a = readOnly ? (a | FILE_ATTRIBUTE_READONLY) : (a & ~FILE_ATTRIBUTE_READONLY);
    if (a == 0) a = FILE_ATTRIBUTE_NORMAL;
    return ::SetFileAttributesW(w.c_str(), a) != 0;
}

bool SetNormalAttributes(const std::string& path) {
    return ::SetFileAttributesW(Wide(path).c_str(),
                                FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE) != 0;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string out;
    char buf[65536];
    DWORD got = 0;
    while (::ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
    ::CloseHandle(h);
    return out;
}

bool WriteFileBytes(const std::string& path, std::string_view bytes) {
    HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        if (!::WriteFile(h, bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0) {
            ok = false;
            break;
        }
        done += wrote;
    }
    return ::CloseHandle(h) && ok;
}

std::string CurrentDirectory() {
    wchar_t buf[MAX_PATH * 4];
    const DWORD n = ::GetCurrentDirectoryW(MAX_PATH * 4, buf);
    return n ? Narrow(buf, n) : std::string();
}

int LastErrorCode() {
    return static_cast<int>(::GetLastError());
}

std::string ErrorText(int code) {
    wchar_t* msg = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&msg), 0, nullptr);
    std::string out = n ? Trim(Narrow(msg, n)) : "error " + std::to_string(code);
    if (msg) ::LocalFree(msg);
    return out;
}

std::unique_ptr<TFileStream> TFileStream::Open(const std::string& path, FileMode mode, int* error) {
    DWORD access = GENERIC_READ | GENERIC_WRITE, share = 0, disposition = OPEN_EXISTING;
    DWORD flags = FILE_ATTRIBUTE_NORMAL;
    switch (mode) {
        case FileMode::kCreateExclusive:
            disposition = CREATE_ALWAYS;
            break;
        case FileMode::kOpenWriteExclusive:
            break;
        case FileMode::kOpenReadWriteDenyWrite:
            share = FILE_SHARE_READ;
            disposition = OPEN_ALWAYS;
            break;
        case FileMode::kOpenReadShared:
            access = GENERIC_READ;
            share = FILE_SHARE_READ | FILE_SHARE_WRITE;
            flags |= FILE_FLAG_SEQUENTIAL_SCAN;
            break;
        case FileMode::kOpenReadDenyWriteDelete:
            access = GENERIC_READ;
            share = FILE_SHARE_READ;
            flags |= FILE_FLAG_SEQUENTIAL_SCAN;
            break;
    }
    HANDLE h =
        ::CreateFileW(Wide(path).c_str(), access, share, nullptr, disposition, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (error) *error = static_cast<int>(::GetLastError());
        return nullptr;
    }
    return std::unique_ptr<TFileStream>(new TFileStream(path, reinterpret_cast<intptr_t>(h)));
}

TFileStream::~TFileStream() {
    ::CloseHandle(reinterpret_cast<HANDLE>(FHandle));
}

int64_t TFileStream::Size() const {
    LARGE_INTEGER s;
    return ::GetFileSizeEx(reinterpret_cast<HANDLE>(FHandle), &s) ? s.QuadPart : -1;
}

namespace {
OVERLAPPED At(int64_t offset) {
    OVERLAPPED o{};
    o.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
    o.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return o;
}
}  // namespace

int64_t TFileStream::Read(void* buffer, size_t count) {
    DWORD got = 0;
    OVERLAPPED o = At(FPosition);
    const DWORD want = static_cast<DWORD>(std::min<size_t>(count, 1u << 30));
    if (!::ReadFile(reinterpret_cast<HANDLE>(FHandle), buffer, want, &got, &o)) {
        return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    }
    FPosition += got;
    return got;
}

bool TFileStream::WriteAt(int64_t offset, const void* data, size_t count) {
    const char* p = static_cast<const char*>(data);
    while (count > 0) {
        DWORD wrote = 0;
        OVERLAPPED o = At(offset);
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(count, 1u << 30));
        if (!::WriteFile(reinterpret_cast<HANDLE>(FHandle), p, chunk, &wrote, &o) || wrote == 0)
            return false;
        p += wrote;
        offset += wrote;
        count -= wrote;
    }
    return true;
}

bool TFileStream::Truncate(int64_t size) {
    LARGE_INTEGER li;
    li.QuadPart = size;
    HANDLE h = reinterpret_cast<HANDLE>(FHandle);
    return ::SetFilePointerEx(h, li, nullptr, FILE_BEGIN) && ::SetEndOfFile(h);
}

bool TFileStream::Flush() {
    return ::FlushFileBuffers(reinterpret_cast<HANDLE>(FHandle)) != 0;
}

}  // namespace platform
