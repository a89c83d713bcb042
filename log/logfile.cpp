#include "log/logfile.h"

#include <cstdio>

#include "platform/clock.h"
#include "platform/path.h"
#include "platform/shellfolders.h"
#include "platform/sysinfo.h"
#include "platform/text.h"

namespace logs {

bool TraceLogEnabled = false;

namespace {

std::string Utf16Bytes(const std::string& text) {
    std::string out;
    for (char16_t c : platform::Utf8ToUtf16(text)) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

}  // namespace

std::string LogTimestamp() {
    const platform::TSystemTime t = platform::Clock().LocalTime();
    const char sep = platform::SystemInfo().TimeSeparator();
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d%c%02d%c%02d.%03d  ", t.Year, t.Month, t.Day,
                  t.Hour, sep, t.Minute, sep, t.Second, t.Millisecond);
    return buf;
}

TLogObj::TLogObj(const std::string& fileName) : FModulePath(platform::GetExePath()) {
    const std::string base = fileName.empty() ? FModulePath : fileName;
    FFileName = fileName.empty() ? platform::ChangeFileExt(FModulePath, ".log") : fileName;
    for (int attempt = 0;; ++attempt) {
        if (attempt > kMaxFallbackAttempts) throw ELogOpen("no free log file name for " + base);
        if (attempt > 0)
            FFileName = platform::ChangeFileExt(base, "_" + std::to_string(attempt) + ".log");
        if (!platform::FileExists(FFileName)) {
            const std::string dir = platform::ExtractFileDir(FFileName);
            if (!dir.empty() && !platform::DirectoryExists(dir) && !platform::ForceDirectories(dir))
                throw ELogOpen("cannot create the folder of " + FFileName);
            // Created empty first so that the open below sees an existing file, as a second
            // writer racing us would.
            const bool created =
                platform::TFileStream::Open(FFileName,
                                            platform::FileMode::kOpenReadWriteDenyWrite) != nullptr;
            if (!created && !platform::FileExists(FFileName))
                throw ELogOpen("cannot create " + FFileName);
        }
        FStream =
            platform::TFileStream::Open(FFileName, platform::FileMode::kOpenReadWriteDenyWrite);
        if (!FStream) continue;
        const int64_t length = FStream->Size();
        if (length > 0) {
            char bom[2] = {0, 0};
            FStream->Seek(0);
            if (FStream->Read(bom, 2) != 2 && length >= 2) {
                FStream.reset();
                continue;
            }
            if (!(length >= 2 && bom[0] == '\xFF' && bom[1] == '\xFE')) ConvertFromAnsi();
        }
        FSize = static_cast<int32_t>(FStream->Size());
        FStream->Seek(FStream->Size());
        return;
    }
}

// An older 8-bit log is rewritten in place as UTF-16 so that new entries can follow it.
void TLogObj::ConvertFromAnsi() {
    std::string old(static_cast<size_t>(FStream->Size()), '\0');
    FStream->Seek(0);
    size_t got = 0;
    while (got < old.size()) {
        const int64_t n = FStream->Read(old.data() + got, old.size() - got);
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    old.resize(got);
    const std::string converted = "\xFF\xFE" + Utf16Bytes(platform::AnsiToUtf8(old));
    FStream->Seek(0);
    FStream->Write(converted.data(), converted.size());
}

TLogObj::~TLogObj() {
    const bool empty = FSize == 0;
    FStream.reset();
    if (empty) platform::DeleteFile(FFileName);
}

void TLogObj::Rotate() {
    const std::string bak = FFileName + ".bak";
    const std::string last = bak + std::to_string(BackupCount);
    if (platform::FileExists(last)) platform::DeleteFile(last);
    for (int n = BackupCount - 1; n >= 1; --n) {
        const std::string from = bak + std::to_string(n);
        if (platform::FileExists(from)) platform::RenameFile(from, bak + std::to_string(n + 1));
    }
    platform::CopyFile(FFileName, bak + "1", true);
    FStream->Truncate(0);
    FStream->Seek(0);
    FSize = 0;
}

void TLogObj::WriteLine(const std::string& text, bool detail) {
    if (detail) {
        const std::string marker =
            platform::JoinPath({platform::ExtractFileDir(FModulePath), "detaillog.ldt"});
        if (!platform::FileExists(marker)) return;
    }
    if (FSize >= MaxSize) Rotate();
    if (FSize == 0) {
        if (!FStream->Write("\xFF\xFE", 2)) throw ELogOpen("cannot write " + FFileName);
        FSize = 2;
    }
    const std::string line =
        Utf16Bytes((WithTime ? LogTimestamp() : std::string()) + text + "\r\n");
    if (!FStream->Write(line.data(), line.size())) throw ELogOpen("cannot write " + FFileName);
    FSize += static_cast<int32_t>(line.size());
}

void TLogObj::Write(const std::string& text, bool detail) {
    std::lock_guard<std::mutex> lock(FLock);
    WriteLine(text, detail);
}

TLogManage::~TLogManage() {
    FLogObj.reset();
}

std::string TLogManage::FileName() const {
    return FFileName;
}

void TLogManage::SetFileName(const std::string& name) {
    std::lock_guard<std::mutex> lock(FLock);
    FFileName = name;
    if (FLogObj && !platform::SameText(FLogObj->FileName(), name)) FLogObj.reset();
}

void TLogManage::Write(const std::string& text, bool detail) {
    std::lock_guard<std::mutex> lock(FLock);
    try {
        if (!FLogObj) {
            FLogObj = std::make_unique<TLogObj>(FFileName);
            FLogObj->BackupCount = BackupCount;
            FLogObj->WithTime = WithTime;
            FLogObj->MaxSize = MaxSize;
        }
        FLogObj->Write(text, detail);
        if (CloseAfterWrite) FLogObj.reset();
    } catch (...) {
        // A log must never fail its caller; the entry is lost.
        try {
            FLogObj.reset();
        } catch (...) {
        }
    }
}

namespace {
std::mutex gChannelsLock;
std::unique_ptr<TLogManage> gTrace, gNamed;
}  // namespace

void LogTrace(const std::string& text) {
    if (!TraceLogEnabled) return;
    TLogManage* channel;
    {
        std::lock_guard<std::mutex> lock(gChannelsLock);
        if (!gTrace) gTrace = std::make_unique<TLogManage>();
        channel = gTrace.get();
    }
    channel->Write(text, false);
}

void LogToFile(const std::string& text, const std::string& name) {
    TLogManage* channel;
    {
        std::lock_guard<std::mutex> lock(gChannelsLock);
        if (!gNamed) {
            gNamed = std::make_unique<TLogManage>();
            gNamed->SetFileName(
                platform::JoinPath({platform::ExtractFileDir(platform::GetExePath()), name}));
        }
        channel = gNamed.get();
    }
    channel->Write(text, false);
}

void LogToAppFile(const std::string&, const std::string&) {}

void ShutdownLogChannels() {
    std::lock_guard<std::mutex> lock(gChannelsLock);
    gNamed.reset();
}

}  // namespace logs
