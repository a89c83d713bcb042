// Files and folders. Nothing here throws; failures come back as false, -1 or an empty result,
// with the system's error code available from LastErrorCode().
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

bool FileExists(const std::string& path);       // an existing file (not a folder)
bool DirectoryExists(const std::string& path);  // an existing folder
// Creates the folder and every missing parent. True when the folder exists afterwards.
bool ForceDirectories(const std::string& path);
// Deleting or renaming a file fails (access denied) while another open of it does not share
// deletion, which none of the opens below does.
bool DeleteFile(const std::string& path);
bool RemoveDirectory(const std::string& path);                    // empty folder only
bool RenameFile(const std::string& from, const std::string& to);  // fails if `to` exists
bool CopyFile(const std::string& from, const std::string& to, bool overwrite);
int64_t GetFileSize(const std::string& path);  // -1 when missing
bool IsReadOnly(const std::string& path);
bool SetReadOnly(const std::string& path, bool readOnly);
// Clears read-only and hidden and sets the archive attribute (no-op where there is none).
bool SetNormalAttributes(const std::string& path);
std::optional<std::string> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, std::string_view bytes);  // create or replace
std::string CurrentDirectory();
int LastErrorCode();  // GetLastError() / errno of the calling thread
std::string ErrorText(int code);

// The sharing rules are Windows': an open fails while another open's sharing does not allow it.
enum class FileMode {
    kCreateExclusive,         // create or truncate; read/write; shared with nobody
    kOpenWriteExclusive,      // existing file; read/write; content kept; shared with nobody
    kOpenReadWriteDenyWrite,  // open or create; read/write; others may read but not write
    kOpenReadShared,          // existing file; read only; others may read and write (sequential)
    // Existing file; read only; others may read but not write, replace or delete it while it is
    // open (sequential): what was read stays what the file is.
    kOpenReadDenyWriteDelete,
};

class TFileStream {
public:
    // Null when the file cannot be opened; `error` receives the system's code.
    static std::unique_ptr<TFileStream> Open(const std::string& path, FileMode mode,
                                             int* error = nullptr);
    ~TFileStream();
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    const std::string& Path() const { return FPath; }
    int64_t Size() const;
    int64_t Position() const { return FPosition; }
    bool Seek(int64_t position);
    // Reads at the position and advances it; returns the bytes read (0 at the end), -1 on error.
    int64_t Read(void* buffer, size_t count);
    // Writes the whole buffer at the position and advances it.
    bool Write(const void* data, size_t count);
    // Writes at an absolute offset without moving the position.
    bool WriteAt(int64_t offset, const void* data, size_t count);
    bool Truncate(int64_t size);
    bool Flush();

private:
    TFileStream(std::string path, intptr_t handle) : FPath(std::move(path)), FHandle(handle) {}
    std::string FPath;
    intptr_t FHandle;
    int64_t FPosition = 0;
};

}  // namespace platform
