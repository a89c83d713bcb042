// The download the main window asks for: one start, one stop, progress and one completion
// event with a result code. Around the segmented downloader it adds the target file and its
// state file, retries with a new downloader each, a fall-back to the system's proxy, the reaction
// to stalls and the optional digest check of the finished file.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "download/multipart_downloader.h"
#include "platform/eventloop_scope.h"

namespace download {

class EDownloadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TDownloader;
using TDownloadProgressEvent = std::function<void(
    int tag, int64_t downloadedSize, double percentDone, double speed, double elapsedTime)>;
using TDownloadDoneEvent =
    std::function<void(bool completed, int resultCode, const std::string& fileName, int tag)>;
using TDownloaderNotifyEvent = std::function<void(TDownloader* sender)>;

// Result codes of OnDone.
inline constexpr int kDownloadOk = 0;
inline constexpr int kDownloadStalled = 1;
inline constexpr int kDownloadRefused = 2;
inline constexpr int kDownloadDigestMismatch = 4;
inline constexpr int kDownloadFileError = 5;
inline constexpr int kDownloadNoDigest = 6;
inline constexpr int kDownloadDigestUnreadable = 7;

class TDownloader {
public:
    TDownloader();
    ~TDownloader();
    TDownloader(const TDownloader&) = delete;
    TDownloader& operator=(const TDownloader&) = delete;

    std::unique_ptr<TMultipartHttpDownloader> Downloader;  // of the current attempt
    TDownloadProgressEvent OnProgress;
    TDownloaderNotifyEvent OnProxyFailed;
    TDownloadDoneEvent OnDone;

    int MaxRetries = 2;
    int RetryCount = 0;
    int PartCount = 4;
    bool VerifyMd5 = false;
    std::string ExpectedMd5;
    std::string Url;
    std::string ComputedMd5;
    int LastCode = 0;
    std::string LastMessage;
    std::string SaveFileName;
    int Tag = 0;
    bool Stopped = false;
    bool NoStateFile = false;
    int ProxyMode = 0;  // 0 none, 1 the system's proxy, 2 ProxyHost and ProxyPort
    std::string ProxyHost, ProxyPort;
    std::string ProxyUser, ProxyPassword;
    bool AppendMode = false;
    // Handed to every downloader: a state file of another address or length is set aside.
    bool StateMustMatch = false;
    // The current attempt did not use the state file it found (see the downloader's event).
    std::function<void(const std::string& why)> OnStateDiscarded;
    unsigned TimeOut = 30;  // stall limit handed to every downloader, in seconds

    // Starts a download; empty arguments keep the values of the previous call. Raises
    // EDownloadError "Save File Name is Empty!" or "URL is Empty!".
    void Start(const std::string& fileName, const std::string& url);
    // Ends the current attempt and keeps its state file. Safe at any time, also inside OnDone.
    void Stop();
    int64_t ContentLength() const;

private:
    void StartAttempt();
    bool PrepareDownloader();
    bool OpenTarget(TMultipartHttpDownloader& downloader);
    void ApplyProxy(TMultipartHttpDownloader& downloader);
    void StopDownloader();
    // The current downloader goes to the event loop's release queue: the event that ended its
    // attempt may still be running in it.
    void Retire();
    void FireDone(bool completed, int code, int tag);
    void DownloaderRequestDone(TMultipartHttpDownloader* sender, int errorCode);
    // How an attempt failed; each ends in one more attempt or in the result of its own kind.
    enum class TAttemptFailure { kRefused, kStalled, kDigestMismatch };
    void AttemptFailed(TAttemptFailure how, double percentDone);
    void RequestComplete(TMultipartHttpDownloader* sender);
    void DownloaderTimeOut(TMultipartHttpDownloader* sender);
    void DownloaderShowStats(TMultipartHttpDownloader* sender);

    std::string StateFileName() const { return SaveFileName + ".dat"; }

    platform::TLoopScope FLife;      // revoked by destruction only
    platform::TLoopScope FRunScope;  // revoked whenever the owner stops or starts
};

}  // namespace download
