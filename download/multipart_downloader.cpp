// The downloader's life: settings, the probe that learns the length and the final address,
// the probe's time limit, Abort and the state file.
#include "download/multipart_downloader.h"

#include <algorithm>

#include "download/multipart_text.h"
#include "download/request_outcome.h"
#include "download/statefile.h"
#include "platform/clock.h"
#include "platform/path.h"
#include "platform/text.h"

namespace download {

using platform::Clock;
using platform::TEventLoop;

TMultipartHttpDownloader::TMultipartHttpDownloader() = default;

TMultipartHttpDownloader::~TMultipartHttpDownloader() {
    EnableTimer(false);
    if (FProbeTimer) TEventLoop::KillTimer(FProbeTimer);
    Parts.clear();
}

void TMultipartHttpDownloader::SetStateFileName(const std::string& name) {
    bool hasFolder = false;
    for (char c : name) hasFolder = hasFolder || platform::IsPathSeparator(c) || c == ':';
    FStateFileName = name.empty() || hasFolder ? name : platform::JoinPath({".", name});
}

void TMultipartHttpDownloader::Display(const std::string& msg, int code) {
    if (!OnDisplay) return;
    try {
        OnDisplay(this, msg, code);
    } catch (...) {
        // A diagnostic line must never break the transfer.
    }
}

void TMultipartHttpDownloader::DisplayDirect(const std::string& msg, int code) {
    if (OnDisplay) OnDisplay(this, msg, code);
}

void TMultipartHttpDownloader::CopySettings(TMyHttpCli& client) const {
    client.Username = Username;
    client.Password = Password;
    client.Proxy = Proxy;
    client.ProxyPort = ProxyPort;
    client.SocksServer = SocksServer;
    client.SocksPort = SocksPort;
    client.SocksLevel = SocksLevel;
    client.ServerAuth = ServerAuth;
}

// Through a copy: the owner may detach (or replace) the handler while it runs.
void TMultipartHttpDownloader::FireRequestDone(int code, const std::string& reason) {
    if (auto handler = OnRequestDone) handler(this, code, reason);
}

void TMultipartHttpDownloader::FireTimeOut() {
    // An aborting downloader has nothing left to wait for: its owner is already acting, and a
    // stall reported from inside that abort would only bring the owner back here.
    if (FAbortFlag) return;
    if (auto handler = OnTimeOut) handler(this);
}

void TMultipartHttpDownloader::ReleaseParts(size_t keep) {
    // Released, not destroyed: this may run inside an event of one of them. Deaf from now on,
    // so that nothing they still have queued reaches us.
    for (size_t i = keep; i < Parts.size(); ++i) {
        if (!Parts[i]) continue;
        Parts[i]->OnHeaderEnd = nullptr;
        Parts[i]->OnDocData = nullptr;
        Parts[i]->OnLocationChange = nullptr;
        Parts[i]->OnRequestDone = nullptr;
        TEventLoop::ReleaseLater(std::move(Parts[i]));
    }
    Parts.resize(std::min(keep, Parts.size()));
}

void TMultipartHttpDownloader::Start() {
    FBeginTime = Clock().TickCount();
    if (PartCount <= 1) throw ERangeError("PartCount must be positive");
    FStartScope.Revoke();
    FAbortFlag = false;
    FSavedAfterAbort = false;
    ContentLength = 0;
    FTotalCount = 0;
    PrevCount = 0;
    PrevTick = Clock().TickCount();
    FStartTick = PrevTick;
    StartTime = NowDays();
    ElapsedTime = 0;
    EnableTimer(false);
    const auto life = FLife.Mark();
    TriggerShowStats();
    // The owner may have aborted (or dropped) us from its statistics handler.
    if (life.Revoked() || FAbortFlag) return;

    ReleaseParts(0);
    FWindows.clear();
    auto probe = std::make_unique<TMyHttpCli>("HttpCli0");
    probe->Index = 0;
    probe->URL = URL;
    CopySettings(*probe);
    // The probe is dropped once its header is in; a small window keeps the server from
    // sending much of a body nobody reads.
    probe->ReceiveBuffer = 8 * 1024;
    probe->OnRequestDone = [this](THttpCli* sender, THttpRequest, int errCode) {
        ProbeRequestDone(sender, errCode);
    };
    probe->OnHeaderEnd = [this](THttpCli* sender) { ProbeHeaderEnd(sender); };
    Parts.push_back(std::move(probe));
    Parts[0]->GetASync();

    // The probe has no time limit of its own in the client; a server that accepts the
    // connection and never answers counts as a stall.
    if (FProbeTimer) TEventLoop::KillTimer(FProbeTimer);
    FProbeTimer = TEventLoop::SetTimer(500, [this]() { ProbeWatchdog(); });
    Display("Start-GetASync", 0);
}

void TMultipartHttpDownloader::ProbeWatchdog() {
    if (Parts.empty() || Parts[0]->State() == httpReady || FAbortFlag) {
        TEventLoop::KillTimer(FProbeTimer);
        FProbeTimer = 0;
        return;
    }
    const uint32_t now = Clock().TickCount();
    if (static_cast<uint32_t>(now - FBeginTime) > TimeOut * 1000u) {
        Display("Time out!: CurrTick: " + std::to_string(now) +
                    " FBeginTime:" + std::to_string(FBeginTime),
                0);
        FireTimeOut();
    }
}

void TMultipartHttpDownloader::ProbeHeaderEnd(THttpCli* sender) {
    // Every answer of the probe, redirects included, shows the server is alive.
    FBeginTime = Clock().TickCount();
    const std::string status = std::to_string(sender->StatusCode);
    if (sender->ContentLength > 0) {
        Display("HeaderEnd ContentLength = " + std::to_string(sender->ContentLength), 0);
        Display("HeaderEnd AcceptRanges = " + sender->AcceptRanges, 0);
        Display("HeaderEnd DocName = " + DecodeDocName(sender->DocName), 0);
    }
    Display("HeaderEnd StatusCode = " + status + " " + sender->ReasonPhrase, sender->StatusCode);
    Display("HeaderEnd Location = " + sender->Location + " " + sender->ReasonPhrase,
            sender->StatusCode);
    if (!platform::SameText(URL, sender->Location)) {
        Display("HeaderEnd Change URL = " + sender->Location + " " + sender->ReasonPhrase,
                sender->StatusCode);
        URL = sender->Location;
    }
    if (sender->StatusCode == 200) {
        if (sender->ContentLength > 0 && !LayoutFits(sender->ContentLength, PartCount)) {
            // Its segments' offsets would not fit: the length stays unknown and the probe fails.
            sender->RefuseLength("Content-Length " + std::to_string(sender->ContentLength) +
                                 " in " + std::to_string(PartCount) + " parts");
            return;
        }
        ContentLength = sender->ContentLength;
        TriggerShowStats();
        sender->Abort();
    }
}

void TMultipartHttpDownloader::ProbeRequestDone(THttpCli* sender, int errCode) {
    Display("GetASyncRequestDone", 0);
    if (FAbortFlag) {
        // Abort won: the multi-part phase must not start behind the owner's back.
        FireRequestDone(errCode != 0 ? errCode : kHttpErrAborted, "Download failed");
        return;
    }
    if (ContentLength > 0) {
        Display("GetASyncRequestDone - FMsg_WM_START_MULTI", 0);
        // Posted, so the multi-part phase starts after the probe's client has left its event.
        FStartScope.Post([this]() { WMStartMulti(); });
        return;
    }
    const TRequestOutcome outcome = ClassifyRequest(errCode, sender->StatusCode, false);
    switch (outcome.Kind) {
        case TRequestEnd::kComplete:
            // A whole answer that gave no length: nothing to lay out, and nothing to report.
            Display("RequestDone DataCount = " + std::to_string(Parts[0]->FDataCount), 0);
            return;
        case TRequestEnd::kHttpStatus:
            Display("StatusCode = " + std::to_string(outcome.Status) + " " + sender->ReasonPhrase,
                    0);
            FireRequestDone(outcome.Status, sender->ReasonPhrase);
            return;
        default:
            // The reason (a refused certificate, a length too large, the system's text for
            // a socket error) is what a reader of the log needs; the number alone says little.
            if (outcome.Kind != TRequestEnd::kAborted && !sender->ReasonPhrase.empty())
                Display(sender->ReasonPhrase, errCode);
            Display("ErrorCode = " + std::to_string(errCode), errCode);
            FireRequestDone(errCode, "Download failed");
            return;
    }
}

void TMultipartHttpDownloader::Abort() {
    // Once aborted nothing moves any more: a second abort (the owner's Stop, then its
    // destruction) has nothing new to record.
    const bool alreadySaved = FAbortFlag && FSavedAfterAbort;
    FAbortFlag = true;
    FStartScope.Revoke();
    EnableTimer(false);
    if (FProbeTimer) {
        TEventLoop::KillTimer(FProbeTimer);
        FProbeTimer = 0;
    }
    const auto life = FLife.Mark();
    int64_t sum = 0;
    try {
        // Index loop: an idle client reports inside its Abort, and that report may reach the
        // owner; the list itself is only replaced by Start.
        for (size_t i = 0; i < Parts.size(); ++i) {
            if (!Parts[i]) continue;
            Parts[i]->Abort();
            if (life.Revoked()) return;
            if (i < Parts.size() && Parts[i]) sum += Parts[i]->FDataCount;
        }
    } catch (const std::exception& e) {
        DisplayDirect(std::string("******** Warning: Exception: ") + e.what(), 0);
        return;
    }
    if (FTotalCount != sum) DisplayDirect("******** Warning: FTotalCount<> ACurrPartTotalCount", 0);
    DisplayDirect("******** FTotalCount: " + std::to_string(FTotalCount) +
                      " ACurrPartTotalCount: " + std::to_string(sum),
                  0);
    if (ContentLength > 0) {
        if (FTotalCount > ContentLength) {
            DisplayDirect("******** Warning: FTotalCount > ContentLength FTotalCount: " +
                              std::to_string(FTotalCount) +
                              " ContentLength: " + std::to_string(ContentLength),
                          0);
        } else if (!alreadySaved) {
            SaveStatus();
            FSavedAfterAbort = true;
        }
    }
}

void TMultipartHttpDownloader::SaveStatus() {
    if (NoStateFile || FStateFileName.empty()) return;
    TStateFileGlobal global;
    global.ConfigMd5 = ConfigMd5;
    global.Url = URL;
    global.ContentLength = ContentLength;
    global.DownloadedSize = FTotalCount;
    WriteStateFile(
        FStateFileName, global, Parts,
        [this](const TMyHttpCli& part) { return SegmentComplete(part); },
        [this](const std::string& line) { DisplayDirect(line, 0); });
}

}  // namespace download
