// The facade's answers to its downloader: the end of an attempt (retry, proxy fall-back, digest
// check, result), a stall, and the statistics. Events of a downloader that is no longer the
// current one are ignored.
#include "download/downloader.h"
#include "download/md5.h"
#include "platform/file.h"

namespace download {

void TDownloader::DownloaderShowStats(TMultipartHttpDownloader* sender) {
    if (sender != Downloader.get() || !OnProgress) return;
    OnProgress(Tag, sender->FTotalCount, sender->PercentDone, sender->CurSpeed,
               sender->ElapsedTime);
}

void TDownloader::DownloaderRequestDone(TMultipartHttpDownloader* sender, int errorCode) {
    if (sender != Downloader.get()) return;
    sender->FileStream.reset();
    if (sender->AbortFlag()) return;  // an abort is never a result
    if (errorCode != 200) {
        AttemptFailed(TAttemptFailure::kRefused, sender->PercentDone);
    } else {
        RequestComplete(sender);
    }
}

void TDownloader::AttemptFailed(TAttemptFailure how, double percentDone) {
    const bool retry = RetryCount < MaxRetries;
    // Nothing came through directly: one more attempt through the system's proxy.
    const bool viaProxy =
        !retry && how == TAttemptFailure::kRefused && ProxyMode == 0 && percentDone < 0.1;
    if (retry || viaProxy) {
        ++RetryCount;
        if (viaProxy) ProxyMode = 1;
        if (how == TAttemptFailure::kDigestMismatch) {
            // A fresh download: without the target the next attempt drops the state file too.
            StopDownloader();
            platform::DeleteFile(SaveFileName);
        }
        StartAttempt();
        return;
    }
    switch (how) {
        case TAttemptFailure::kRefused:
            if (RetryCount <= MaxRetries + 1 && ProxyMode != 0 && OnProxyFailed) {
                OnProxyFailed(this);
            } else {
                FireDone(false, kDownloadRefused, Tag);
            }
            return;
        case TAttemptFailure::kStalled:
            LastCode = kDownloadStalled;
            FireDone(false, kDownloadStalled, 0);
            return;
        case TAttemptFailure::kDigestMismatch:
            LastCode = kDownloadDigestMismatch;
            FireDone(true, kDownloadDigestMismatch, Tag);
            return;
    }
}

void TDownloader::RequestComplete(TMultipartHttpDownloader*) {
    LastCode = kDownloadOk;
    if (!VerifyMd5) {
        FireDone(true, kDownloadOk, Tag);
        return;
    }
    if (ExpectedMd5.empty()) {
        LastCode = kDownloadNoDigest;
        FireDone(true, kDownloadNoDigest, Tag);
        return;
    }
    if (Md5Matches(ExpectedMd5, SaveFileName, ComputedMd5)) {
        FireDone(true, kDownloadOk, Tag);
        return;
    }
    auto check = platform::TFileStream::Open(SaveFileName, platform::FileMode::kOpenReadShared);
    if (!check) {
        LastCode = kDownloadDigestUnreadable;
        FireDone(true, kDownloadDigestUnreadable, Tag);
        return;
    }
    check.reset();
    AttemptFailed(TAttemptFailure::kDigestMismatch, 100.0);
}

void TDownloader::DownloaderTimeOut(TMultipartHttpDownloader* sender) {
    if (!Downloader || sender != Downloader.get() || Stopped) return;
    StopDownloader();  // writes the state file the next attempt resumes from
    Retire();
    AttemptFailed(TAttemptFailure::kStalled, 0.0);
}

}  // namespace download
