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

namespace {

// Windows' sharing rules, built from byte-range locks that belong to the open file description
// (so two opens in one process collide as they do on Windows, and opens in other processes too):
// the write byte is held exclusively by every open that writes and shared by the opens that deny
// writing; the share byte exclusively by the opens that share nothing and shared by all others;
// the delete byte shared by every open, since none of ours shares deletion, and taken
// exclusively by whoever deletes or renames the file.
constexpr off_t kWriteByte = 0;
constexpr off_t kShareByte = 1;
constexpr off_t kDeleteByte = 2;

struct TSharing {
    bool Writes;
    bool DeniesWrite;  // of readers: nobody may write while this open lasts
    bool SharesNothing;
};

constexpr TSharing kReadSharingAll{false, false, false};
constexpr TSharing kWriteSharingNothing{true, true, true};

bool LockByte(int fd, short type, off_t byte) {
    struct flock l {};
    l.l_type = type;
    l.l_whence = SEEK_SET;
    l.l_start = byte;
    l.l_len = 1;
    return ::fcntl(fd, F_OFD_SETLK, &l) == 0;
}

bool TakeSharing(int fd, const TSharing& s) {
    if (s.Writes || s.DeniesWrite) {
        if (!LockByte(fd, s.Writes ? F_WRLCK : F_RDLCK, kWriteByte)) return false;
    }
    return LockByte(fd, s.SharesNothing ? F_WRLCK : F_RDLCK, kShareByte) &&
           LockByte(fd, F_RDLCK, kDeleteByte);
}

// The descriptor, or -1 with errno set; EBUSY when another open's sharing forbids this one.
int OpenShared(const std::string& path, int flags, const TSharing& sharing) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0) return -1;
    if (!TakeSharing(fd, sharing)) {
        ::close(fd);
        errno = EBUSY;
        return -1;
    }
    return fd;
}

bool Held(int fd, bool canLock) {
    if (canLock) return !LockByte(fd, F_WRLCK, kDeleteByte) && (errno == EAGAIN || errno == EACCES);
    // Opened for reading only (a read-only file): ask instead of taking the lock.
    struct flock l {};
    l.l_type = F_WRLCK;
    l.l_whence = SEEK_SET;
    l.l_start = kDeleteByte;
    l.l_len = 1;
    return ::fcntl(fd, F_OFD_GETLK, &l) == 0 && l.l_type != F_UNLCK;
}

// Runs `change` (an unlink or a rename of `path`) unless an open holds the file; the delete byte
// stays locked meanwhile, so no open comes in between the question and the change.
template <typename TChange>
bool WithDeleteAccess(const std::string& path, TChange change) {
    constexpr int kFlags = O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(path.c_str(), O_RDWR | kFlags);
    const bool canLock = fd >= 0;
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EISDIR || errno == ETXTBSY))
        fd = ::open(path.c_str(), O_RDONLY | kFlags);
    if (fd >= 0 && Held(fd, canLock)) {
        ::close(fd);
        errno = EACCES;
        return false;
    }
    const bool ok = change();
    const int saved = errno;
    if (fd >= 0) ::close(fd);
    errno = saved;
    return ok;
}

bool WriteAll(int fd, const char* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool DeleteFile(const std::string& path) {
    return WithDeleteAccess(path, [&] { return ::unlink(path.c_str()) == 0; });
}
bool RemoveDirectory(const std::string& path) {
    return ::rmdir(path.c_str()) == 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
    if (::access(to.c_str(), F_OK) == 0) {
        errno = EEXIST;
        return false;
    }
    return WithDeleteAccess(from, [&] { return ::rename(from.c_str(), to.c_str()) == 0; });
}

// Copied by hand so that both ends keep the sharing rules: the source is read as a shared
// reader, and the target is written as an open that shares nothing.
bool CopyFile(const std::string& from, const std::string& to, bool overwrite) {
    const int in = OpenShared(from, O_RDONLY, kReadSharingAll);
    if (in < 0) return false;
    struct stat st;
    int out = -1;
    if (::fstat(in, &st) == 0 && S_ISREG(st.st_mode))
        out = OpenShared(to, O_RDWR | O_CREAT | (overwrite ? 0 : O_EXCL), kWriteSharingNothing);
    bool ok = out >= 0 && ::ftruncate(out, 0) == 0;
    char buf[65536];
    while (ok) {
        const ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = WriteAll(out, buf, static_cast<size_t>(n));
    }
    if (ok) ::fchmod(out, st.st_mode & 07777);
    const int saved = errno;
    if (out >= 0 && ::close(out) != 0) ok = false;
    ::close(in);
    errno = saved;
    return ok;
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
    const int fd = OpenShared(path, O_RDONLY, kReadSharingAll);
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
    const int fd = OpenShared(path, O_RDWR | O_CREAT, kWriteSharingNothing);
    if (fd < 0) return false;
    if (!WriteAll(fd, bytes.data(), bytes.size())) {
        ::close(fd);
        return false;
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
    int flags = 0;
    TSharing sharing = kWriteSharingNothing;
    switch (mode) {
        case FileMode::kCreateExclusive:
            flags = O_RDWR | O_CREAT;
            break;
        case FileMode::kOpenWriteExclusive:
            flags = O_RDWR;
            break;
        case FileMode::kOpenReadWriteDenyWrite:
            flags = O_RDWR | O_CREAT;
            sharing = {true, true, false};
            break;
        case FileMode::kOpenReadShared:
            flags = O_RDONLY;
            sharing = kReadSharingAll;
            break;
        case FileMode::kOpenReadDenyWriteDelete:
            flags = O_RDONLY;
            sharing = {false, true, false};
            break;
    }
    const int fd = OpenShared(path, flags, sharing);
    if (fd < 0) {
        if (error) *error = errno;
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
    if (!(flags & O_RDWR)) ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::unique_ptr<TFileStream>(new TFileStream(path, fd));
}

TFileStream::~TFileStream() {
    ::close(static_cast<int>(FHandle));
}

int64_t TFileStream::Size() const {
    struct stat st;
    return ::fstat(static_cast<int>(FHandle), &st) == 0 ? st.st_size : -1;
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

bool TFileStream::Truncate(int64_t size) {
    return ::ftruncate(static_cast<int>(FHandle), size) == 0;
}
bool TFileStream::Flush() {
    return ::fsync(static_cast<int>(FHandle)) == 0;
}

}  // namespace platform
