#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace platform {

namespace fs = std::filesystem;

bool FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    fs::create_directories(fs::path(path), ec);
    return DirectoryExists(path);
}

bool DeleteFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}
bool RemoveDirectory(const std::string& path) {
    return ::rmdir(path.c_str()) == 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
    if (::access(to.c_str(), F_OK) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool CopyFile(const std::string& from, const std::string& to, bool overwrite) {
    std::error_code ec;
    const auto opt = overwrite ? fs::copy_options::overwrite_existing : fs::copy_options::none;
    return fs::copy_file(fs::path(from), fs::path(to), opt, ec) && !ec;
}

int64_t GetFileSize(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return st.st_size;
}

// The stand-in's read-only attribute is the owner's write permission bit.
bool IsReadOnly(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && !(st.st_mode & S_IWUSR);
}

bool SetReadOnly(const std::string& path, bool readOnly) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    mode_t m = st.st_mode & 07777;
    m = readOnly ? (m & ~(S_IWUSR | S_IWGRP | S_IWOTH)) : (m | S_IWUSR);
    return ::chmod(path.c_str(), m) == 0;
}

bool SetNormalAttributes(const std::string& path) {
    return SetReadOnly(path, false);
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string out;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return out;
}

bool WriteFileBytes(const std::string& path, std::string_view bytes) {
    // Written over the old content and cut to length afterwards: truncating to zero first makes
    // the file system flush the file at close, a pause on every settings write under load.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    const bool cut = ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
    return ::close(fd) == 0 && cut;
}

std::string CurrentDirectory() {
    std::error_code ec;
    return fs::current_path(ec).string();
}

int LastErrorCode() {
    return errno;
}
std::string ErrorText(int code) {
    return std::strerror(code);
}

std::unique_ptr<TFileStream> TFileStream::Open(const std::string& path, FileMode mode, int* error) {
    int flags = O_CLOEXEC;
    switch (mode) {
        case FileMode::kCreateExclusive:
            flags |= O_RDWR | O_CREAT;
            break;
        case FileMode::kOpenWriteExclusive:
            flags |= O_RDWR;
            break;
        case FileMode::kOpenReadWriteDenyWrite:
            flags |= O_RDWR | O_CREAT;
            break;
        case FileMode::kOpenReadShared:
            flags |= O_RDONLY;
            break;
    }
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
        if (error) *error = errno;
        return nullptr;
    }
    // Windows' sharing modes, built from two byte-range locks that belong to the open file (so
    // two opens in one process collide as they do on Windows): byte 0 is held by every writer,
    // byte 1 exclusively by the modes that share nothing and shared by readers.
    auto lock = [fd](short type, off_t byte) {
        struct flock l {};
        l.l_type = type;
        l.l_whence = SEEK_SET;
        l.l_start = byte;
        l.l_len = 1;
        return ::fcntl(fd, F_OFD_SETLK, &l) == 0;
    };
    const bool sharesNothing =
        mode == FileMode::kCreateExclusive || mode == FileMode::kOpenWriteExclusive;
    const bool ok = mode == FileMode::kOpenReadShared
                        ? lock(F_RDLCK, 1)
                        : lock(F_WRLCK, 0) && (!sharesNothing || lock(F_WRLCK, 1));
    if (!ok) {
        if (error) *error = EBUSY;
        ::close(fd);
        return nullptr;
    }
    // Truncating an empty file is not free: the file system then flushes the whole file when
    // it is closed, which costs a downloaded setup a noticeable pause.
    struct stat st;
    if (mode == FileMode::kCreateExclusive && ::fstat(fd, &st) == 0 && st.st_size > 0 &&
        ::ftruncate(fd, 0) != 0) {
        if (error) *error = errno;
        ::close(fd);
        return nullptr;
    }
    if (mode == FileMode::kOpenReadShared) ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::unique_ptr<TFileStream>(new TFileStream(path, fd));
}

TFileStream::~TFileStream() {
    ::close(static_cast<int>(FHandle));
}

int64_t TFileStream::Size() const {
    struct stat st;
    return ::fstat(static_cast<int>(FHandle), &st) == 0 ? st.st_size : -1;
}

bool TFileStream::Seek(int64_t position) {
    if (position < 0) return false;
    FPosition = position;
    return true;
}

int64_t TFileStream::Read(void* buffer, size_t count) {
    for (;;) {
        const ssize_t n = ::pread(static_cast<int>(FHandle), buffer, count, FPosition);
        if (n < 0 && errno == EINTR) continue;
        if (n > 0) FPosition += n;
        return n;
    }
}

bool TFileStream::WriteAt(int64_t offset, const void* data, size_t count) {
    const char* p = static_cast<const char*>(data);
    while (count > 0) {
        const ssize_t n = ::pwrite(static_cast<int>(FHandle), p, count, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        offset += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

bool TFileStream::Write(const void* data, size_t count) {
    if (!WriteAt(FPosition, data, count)) return false;
    FPosition += static_cast<int64_t>(count);
    return true;
}

bool TFileStream::Truncate(int64_t size) {
    return ::ftruncate(static_cast<int>(FHandle), size) == 0;
}
bool TFileStream::Flush() {
    return ::fsync(static_cast<int>(FHandle)) == 0;
}

}  // namespace platform
