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
    TEventScope scope(*this);
    sender->FileStream.reset();
    if (sender->AbortFlag()) return;  // an abort is never a result
    if (errorCode != 200) {
        RequestFailed(sender);
    } else {
        RequestComplete(sender);
    }
}

void TDownloader::RequestFailed(TMultipartHttpDownloader* sender) {
    if (RetryCount < MaxRetries) {
        ++RetryCount;
        StartAttempt();
    } else if (ProxyMode == 0 && sender->PercentDone < 0.1) {
        // Nothing came through directly: one more attempt through the system's proxy.
        ++RetryCount;
        ProxyMode = 1;
        StartAttempt();
    } else if (RetryCount <= MaxRetries + 1 && ProxyMode != 0) {
        if (OnProxyFailed) {
            OnProxyFailed(this);
        } else {
            FireDone(false, kDownloadRefused, Tag);
        }
    } else {
        FireDone(false, kDownloadRefused, Tag);
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
    if (RetryCount < MaxRetries) {
        // A fresh download: without the target the next attempt drops the state file too.
        ++RetryCount;
        StopDownloader();
        platform::DeleteFile(SaveFileName);
        StartAttempt();
    } else {
        LastCode = kDownloadDigestMismatch;
        FireDone(true, kDownloadDigestMismatch, Tag);
    }
}

void TDownloader::DownloaderTimeOut(TMultipartHttpDownloader* sender) {
    if (!Downloader || sender != Downloader.get() || Stopped) return;
    TEventScope scope(*this);
    StopDownloader();  // writes the state file the next attempt resumes from
    Retire();
    if (RetryCount < MaxRetries) {
        ++RetryCount;
        StartAttempt();
    } else {
        LastCode = kDownloadStalled;
        FireDone(false, kDownloadStalled, 0);
    }
}

}  // namespace download
