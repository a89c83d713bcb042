// UTF-16 text log files, opened per entry, rotated by size, never failing their callers.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/file.h"

namespace logs {

inline constexpr int32_t kDefaultMaxSize = 5242880;
// How many fallback names (_1 … _N) an entry tries when the file is held by another writer
// before the entry is dropped.
inline constexpr int kMaxFallbackAttempts = 100;

// One open log file. Construction opens (or creates) it; failure to open it or any fallback
// name throws ELogOpen.
class TLogObj {
public:
    explicit TLogObj(const std::string& fileName);
    ~TLogObj();
    void WriteLine(const std::string& text, bool detail);
    void Write(const std::string& text, bool detail);  // under the object's lock

    const std::string& FileName() const { return FFileName; }
    const std::string& ModulePath() const { return FModulePath; }
    int32_t Size() const { return FSize; }
    int32_t MaxSize = kDefaultMaxSize;
    uint8_t BackupCount = 1;
    bool WithTime = false;

private:
    void Rotate();
    void ConvertFromAnsi();
    std::mutex FLock;
    std::string FModulePath;
    std::string FFileName;
    std::unique_ptr<platform::TFileStream> FStream;
    int32_t FSize = 0;
};

struct ELogOpen : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A log channel: settings, lazy creation of the file object, containment of every failure.
class TLogManage {
public:
    TLogManage() = default;
    ~TLogManage();
    void SetFileName(const std::string& name);
    void Write(const std::string& text, bool detail);  // never throws

    uint8_t BackupCount = 1;
    bool CloseAfterWrite = true;
    bool WithTime = true;
    int32_t MaxSize = kDefaultMaxSize;
    std::string FileName() const;

private:
    std::mutex FLock;
    std::unique_ptr<TLogObj> FLogObj;
    std::string FFileName;
};

// The trace channel writes only while this is true; nothing in the program sets it.
extern bool TraceLogEnabled;

void LogTrace(const std::string& text);
// The named-file channel: the first call fixes the file (program folder + name) for the process.
void LogToFile(const std::string& text, const std::string& name);
// The application channel is switched off: it writes nothing.
void LogToAppFile(const std::string& text, const std::string& name);
// Ends the named-file and application channels (process shut-down; tests).
void ShutdownLogChannels();

// "yyyy-mm-dd hh:nn:ss.zzz  " with the locale's time separator.
std::string LogTimestamp();

}  // namespace logs
