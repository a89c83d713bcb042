// Statistics, the stall clock and the end of the download.
#include "download/multipart_downloader.h"
#include "download/multipart_text.h"
#include "platform/clock.h"

namespace download {

using platform::Clock;
using platform::TEventLoop;

void TMultipartHttpDownloader::TriggerShowStats() {
    if (OnShowStats) OnShowStats(this);
}

void TMultipartHttpDownloader::TriggerProgressSetPosition(int index, int64_t position) {
    if (OnProgressSetPosition) OnProgressSetPosition(this, index, position);
}

void TMultipartHttpDownloader::TriggerProgressAddSegment(int64_t startOffset, int64_t span,
                                                         int64_t initPos) {
    if (OnProgressAddSegment) OnProgressAddSegment(this, startOffset, span, initPos);
}

void TMultipartHttpDownloader::EnableTimer(bool enable) {
    if (!enable) {
        if (FTimer) TEventLoop::KillTimer(FTimer);
        FTimer = 0;
        return;
    }
    if (FTimer) return;
    // Killed by the destructor: a tick never outlives us.
    FTimer = TEventLoop::SetTimer(500, [this]() { ProgressTimerTick(); });
}

bool TMultipartHttpDownloader::CheckComplete(int code, const std::string& reason) {
    for (const auto& part : Parts) {
        if (part && !part->Done) return false;
    }
    EnableTimer(false);
    const auto life = FLife.Mark();
    ProgressTimerTick();
    if (life.Revoked()) return true;
    Display("All done", 0);
    FireRequestDone(code, reason);
    return true;
}

void TMultipartHttpDownloader::FinishFile() {
    if (!FileStream) return;
    // A target kept from an earlier, longer file must not carry its tail past the new end.
    if (!FAbortFlag && ContentLength > 0 && FileStream->Size() > ContentLength)
        FileStream->Truncate(ContentLength);
    FileStream.reset();
}

void TMultipartHttpDownloader::ProgressTimerTick() {
    bool allDone = !Parts.empty();
    for (const auto& part : Parts) {
        if (part && !part->Done) allDone = false;
    }
    const uint32_t now = Clock().TickCount();
    const uint32_t span = now - PrevTick;
    if (span != 0) CurSpeed = static_cast<double>(FTotalCount - PrevCount) * 8.0 / span;
    ElapsedTime = static_cast<double>(static_cast<uint32_t>(now - FStartTick)) / 86400000.0;
    PercentDone = ContentLength == 0 ? 0.0
                                     : static_cast<double>(FTotalCount) * 100.0 /
                                           static_cast<double>(ContentLength);
    const auto life = FLife.Mark();
    TriggerShowStats();
    if (life.Revoked()) return;
    PrevTick = now;

    if (FTotalCount == PrevCount) {
        const uint32_t now2 = Clock().TickCount();
        if (!FAbortFlag && static_cast<uint32_t>(now2 - FBeginTime) > TimeOut * 1000u) {
            Display("Time out!: CurrTick: " + std::to_string(now2) +
                        " FBeginTime:" + std::to_string(FBeginTime),
                    0);
            FireTimeOut();
            if (life.Revoked()) return;
        }
    } else {
        FBeginTime = Clock().TickCount();
    }
    PrevCount = FTotalCount;

    if (allDone) {
        EnableTimer(false);
        if (ElapsedTime > 0)
            CurSpeed = static_cast<double>(FTotalCount) * 8.0 / (ElapsedTime * 86400000.0);
        TriggerShowStats();
        if (life.Revoked()) return;
        FinishFile();
        Display("Done", 0);
    }
}

}  // namespace download
