// The facade's start, stop and attempts: a new segmented downloader per attempt over the same
// target file and state file, released only after the event that ended it has returned.
#include "download/downloader.h"

#include "download/system_proxy.h"
#include "platform/eventloop.h"
#include "platform/file.h"
#include "platform/path.h"

namespace download {

using platform::TEventLoop;

namespace {

std::string ExceptionClassName(const std::exception& e) {
    if (dynamic_cast<const ERangeError*>(&e)) return "ERangeError";
    if (dynamic_cast<const EHttpException*>(&e)) return "EHttpException";
    if (dynamic_cast<const EDownloadError*>(&e)) return "EDownloadError";
    return "Exception";
}

}  // namespace

TDownloader::TDownloader() = default;

TDownloader::~TDownloader() {
    try {
        Stop();
    } catch (...) {
    }
    // Perhaps destroyed from inside the downloader's own event: it goes when that has returned.
    Retire();
}

void TDownloader::Start(const std::string& fileName, const std::string& url) {
    if (fileName.empty() && SaveFileName.empty()) throw EDownloadError("Save File Name is Empty!");
    if (!fileName.empty()) {
        SaveFileName = fileName;
        const std::string folder = platform::ExtractFileDir(SaveFileName);
        if (!folder.empty() && !platform::DirectoryExists(folder))
            platform::ForceDirectories(folder);
    }
    if (url.empty() && Url.empty()) throw EDownloadError("URL is Empty!");
    if (!url.empty()) Url = url;
    // A new start by the owner: stalls matter again, whatever an earlier Stop said.
    Stopped = false;
    FRunScope.Revoke();
    StartAttempt();
}

void TDownloader::StartAttempt() {
    if (!PrepareDownloader()) return;
    try {
        Downloader->Start();
    } catch (const std::exception& e) {
        const int error = platform::LastErrorCode();
        if (Downloader) Downloader->FileStream.reset();
        LastMessage = "Unable to start download. " + SaveFileName + " " + ExceptionClassName(e) +
                      ": " + e.what();
        LastCode = error;
        // The owner would wait forever for an attempt that never began; it hears of it once
        // the call that started it has returned.
        FRunScope.Post([this]() {
            if (!Stopped) FireDone(false, kDownloadRefused, Tag);
        });
    }
}

bool TDownloader::PrepareDownloader() {
    if (Downloader) {
        StopDownloader();
        Retire();
    }
    // A downloader never outlives us unheard: ours are released through the loop, and one
    // still queued there after our destruction finds these bound to a scope that is gone.
    auto d = std::make_unique<TMultipartHttpDownloader>();
    d->OnDisplay =
        FLife.Bind([this](TMultipartHttpDownloader* s, const std::string& msg, int code) {
            // Late lines of a retired downloader (its clients' aborts) are not ours to show.
            if (s != Downloader.get()) return;
            LastMessage = msg;
            LastCode = code;
        });
    d->OnRequestDone = FLife.Bind([this](TMultipartHttpDownloader* s, int code,
                                         const std::string&) { DownloaderRequestDone(s, code); });
    d->OnShowStats = FLife.Bind([this](TMultipartHttpDownloader* s) { DownloaderShowStats(s); });
    d->OnTimeOut = FLife.Bind([this](TMultipartHttpDownloader* s) { DownloaderTimeOut(s); });
    d->ConfigMd5 = ExpectedMd5;
    d->NoStateFile = NoStateFile;
    d->AppendMode = AppendMode;
    d->StateMustMatch = StateMustMatch;
    d->OnStateDiscarded = FLife.Bind([this](TMultipartHttpDownloader* s, const std::string& why) {
        if (s != Downloader.get() || !OnStateDiscarded) return;
        auto handler = OnStateDiscarded;
        handler(why);
    });
    d->URL = Url;
    d->SetStateFileName(StateFileName());
    d->PartCount = AppendMode ? 2 : PartCount;
    d->TimeOut = TimeOut;
    Downloader = std::move(d);

    if (!OpenTarget(*Downloader)) {
        LastCode = kDownloadFileError;
        const auto run = FRunScope.Mark();
        FireDone(false, kDownloadFileError, 0);
        // The owner may have stopped (or dropped) us in its handler: then nothing starts.
        if (run.Revoked() || Stopped || !Downloader) return false;
    }
    ApplyProxy(*Downloader);
    return true;
}

bool TDownloader::OpenTarget(TMultipartHttpDownloader& downloader) {
    const std::string state = StateFileName();
    std::unique_ptr<platform::TFileStream> stream;
    if (platform::FileExists(state) && platform::FileExists(SaveFileName)) {
        platform::SetNormalAttributes(SaveFileName);
        stream = platform::TFileStream::Open(SaveFileName, platform::FileMode::kOpenWriteExclusive);
    } else {
        if (platform::FileExists(state)) platform::DeleteFile(state);
        // Anew: the old file goes and an empty one is made. Truncating an open file to nothing
        // instead makes some file systems (ext4) flush the whole download when it is closed.
        if (platform::FileExists(SaveFileName)) platform::DeleteFile(SaveFileName);
        if (!platform::FileExists(SaveFileName) && platform::WriteFileBytes(SaveFileName, ""))
            stream =
                platform::TFileStream::Open(SaveFileName, platform::FileMode::kOpenWriteExclusive);
        if (!stream)
            stream =
                platform::TFileStream::Open(SaveFileName, platform::FileMode::kCreateExclusive);
    }
    if (!stream) return false;
    downloader.FileStream = std::move(stream);
    return true;
}

void TDownloader::ApplyProxy(TMultipartHttpDownloader& downloader) {
    if (ProxyMode == 2) {
        downloader.ProxyAuth = httpAuthNtlm;
        downloader.Username = ProxyUser;
        downloader.Password = ProxyPassword;
        downloader.Proxy = ProxyHost;
        downloader.ProxyPort = ProxyPort;
    } else if (ProxyMode == 1) {
        downloader.ProxyAuth = httpAuthNtlm;
        downloader.Username.clear();
        downloader.Password.clear();
        GetSystemProxy("Http", ProxyHost, ProxyPort);
        downloader.Proxy = ProxyHost;
        downloader.ProxyPort = ProxyPort;
    } else {
        return;
    }
    downloader.SocksServer.clear();
    downloader.SocksPort.clear();
    downloader.SocksLevel.clear();
}

void TDownloader::Stop() {
    Stopped = true;
    FRunScope.Revoke();
    StopDownloader();
}

void TDownloader::StopDownloader() {
    if (!Downloader) return;
    // Detached before the abort: idle segments report inside it, their completion check runs
    // the statistics and stall routine, and none of that may reach us again (a stall seen
    // there would abort the same downloader once more, without end).
    Downloader->OnRequestDone = nullptr;
    Downloader->OnShowStats = nullptr;
    Downloader->OnTimeOut = nullptr;
    const auto life = FLife.Mark();
    try {
        Downloader->Abort();
    } catch (...) {
    }
    if (life.Revoked() || !Downloader) return;
    try {
        Downloader->FileStream.reset();
    } catch (const std::exception& e) {
        LastMessage =
            "Stop Exception: " + SaveFileName + " " + ExceptionClassName(e) + ": " + e.what();
        LastCode = platform::LastErrorCode();
    }
}

void TDownloader::Retire() {
    TEventLoop::ReleaseLater(std::move(Downloader));
}

int64_t TDownloader::ContentLength() const {
    return Downloader ? Downloader->ContentLength : 0;
}

void TDownloader::FireDone(bool completed, int code, int tag) {
    if (!OnDone) return;
    const std::string fileName = SaveFileName;
    OnDone(completed, code, fileName, tag);
}

}  // namespace download
