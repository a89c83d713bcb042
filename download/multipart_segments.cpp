// The multi-part phase: the layout of the segments, their ranged requests, the bytes they may
// write, their ends, redirects and restarts.
#include <algorithm>

#include "download/checked_math.h"
#include "download/multipart_downloader.h"
#include "download/multipart_text.h"
#include "download/request_outcome.h"
#include "download/statefile.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/text.h"

namespace download {

using platform::TEventLoop;

int64_t TMultipartHttpDownloader::SegmentLast(const TMyHttpCli& part) const {
    // The last segment asks for one byte past the end (servers clamp it); the file ends there.
    return std::min(part.FEndOffset, ContentLength - 1);
}

int64_t TMultipartHttpDownloader::SegmentLength(const TMyHttpCli& part) const {
    return std::max<int64_t>(0, SegmentLast(part) - part.FStartOffset + 1);
}

bool TMultipartHttpDownloader::SegmentComplete(const TMyHttpCli& part) const {
    return part.FDataCount >= SegmentLength(part);
}

void TMultipartHttpDownloader::SetRange(TMyHttpCli& client) const {
    client.ContentRangeBegin = std::to_string(client.FStartOffset + client.FDataCount);
    client.ContentRangeEnd = std::to_string(client.FEndOffset);
}

bool TMultipartHttpDownloader::LayOutSegment(TMyHttpCli& client, int index, int64_t& offset,
                                             int64_t size) {
    client.Index = index;
    client.FStartOffset = offset;
    client.FDataCount = 0;
    int64_t end = ContentLength, next = 0, step = 0;
    if (index < PartCount - 1 && !CheckedAdd(offset, size, end)) return false;
    if (!CheckedAdd(size, 1, step) || !CheckedAdd(offset, step, next)) return false;
    client.FEndOffset = end;
    offset = next;
    return true;
}

bool TMultipartHttpDownloader::LayoutFits(int64_t length, int partCount) {
    if (length < 0 || partCount <= 0) return false;
    const int64_t size = length / partCount;
    int64_t offset = 0, end = 0, step = 0;
    for (int i = 0; i < partCount; ++i) {
        if (i < partCount - 1 && !CheckedAdd(offset, size, end)) return false;
        if (!CheckedAdd(size, 1, step) || !CheckedAdd(offset, step, offset)) return false;
    }
    return true;
}

std::string TMultipartHttpDownloader::StoredStateFault(const std::vector<int64_t>& counts,
                                                       int64_t storedLength,
                                                       int64_t storedDone) const {
    // Whoever wrote these numbers, they go into offsets and ranges: each must be one a file can
    // have, and so must its sum with the segment's start.
    if (storedLength < 0 || storedDone < 0)
        return "ContentLength " + std::to_string(storedLength) + " DownloadedSize " +
               std::to_string(storedDone);
    for (size_t i = 0; i < counts.size() && i < Parts.size(); ++i) {
        int64_t next = 0;
        if (counts[i] < 0 || !CheckedAdd(Parts[i]->FStartOffset, counts[i], next))
            return "PART_" + std::to_string(i) + " DataCount " + std::to_string(counts[i]);
    }
    return std::string();
}

void TMultipartHttpDownloader::LoadState() {
    const std::string& file = FStateFileName;
    if (NoStateFile || file.empty() || !platform::FileExists(file)) return;
    bool appendLayout = false;
    int64_t storedLength = 0, storedDone = 0;
    if (AppendMode) {
        ReadStoredTotals(file, storedLength, storedDone);
        // An old file longer than the new one cannot be its beginning: start over instead.
        appendLayout = storedDone == storedLength && storedDone <= ContentLength;
    }
    std::vector<int64_t> counts;  // only read where they are used
    for (size_t i = 0; i < Parts.size() && !appendLayout; ++i)
        counts.push_back(ReadStoredDataCount(file, static_cast<int>(i)));
    std::string fault = StoredStateFault(counts, storedLength, storedDone);
    if (fault.empty() && StateMustMatch) {
        TStateFileGlobal stored;
        ReadStoredGlobal(file, stored);
        if (!platform::SameText(stored.Url, URL) || stored.ContentLength != ContentLength)
            fault = "Url " + stored.Url + " ContentLength " + std::to_string(stored.ContentLength);
    }
    if (!fault.empty()) {
        // Not ours, or damaged: none of it is worth more than starting over.
        Display("************* State file discarded: " + fault, 0);
        if (auto handler = OnStateDiscarded) handler(this, fault);
        return;
    }
    for (size_t i = 0; i < Parts.size(); ++i) {
        TMyHttpCli& part = *Parts[i];
        if (appendLayout) {
            // The earlier, complete file stands in every segment but the last; only the bytes
            // past its end are asked for.
            const bool last = i + 1 == Parts.size();
            part.FStartOffset = last ? storedDone : 0;
            part.FEndOffset = last ? ContentLength : storedDone - 1;
            part.FDataCount = last ? 0 : storedDone;
        } else {
            part.FDataCount = counts[i];
        }
        if (part.FDataCount > 0) {
            Display("************* Load Downloaded Pos  " + std::to_string(i) +
                        " FStartOffset=" + std::to_string(part.FStartOffset) +
                        " FEndOffset: " + std::to_string(part.FEndOffset) +
                        " DataCount=" + std::to_string(part.FDataCount),
                    0);
            if (part.FDataCount > SegmentLength(part)) {
                Display("************* Waring ********* Load Downloaded Pos Set FDataCount=0", 0);
                part.FDataCount = 0;
            }
        }
    }
    ClampToFile();
}

void TMultipartHttpDownloader::ClampToFile() {
    // A count is only worth what the file really holds: a target cut short behind our back
    // loses the missing tail of each segment instead of being reported complete.
    if (!FileStream) return;
    const int64_t size = FileStream->Size();
    for (auto& part : Parts) {
        const int64_t held = std::max<int64_t>(0, size - part->FStartOffset);
        if (part->FDataCount > held) part->FDataCount = held;
    }
}

void TMultipartHttpDownloader::WMStartMulti() {
    if (FAbortFlag || Parts.empty()) return;
    const int64_t size = ContentLength / PartCount;
    int64_t offset = 0;
    Parts.resize(PartCount);
    FWindows.assign(PartCount, TResponseWindow());
    for (int i = 0; i < PartCount; ++i) {
        if (i == 0) {
            Parts[0]->OnHeaderEnd = nullptr;
            Parts[0]->ReceiveBuffer = 0;  // the probe's small window is not for a segment
        } else {
            Parts[i] = std::make_unique<TMyHttpCli>("HttpCli" + std::to_string(i));
        }
        if (!LayOutSegment(*Parts[i], i, offset, size)) {
            // The probe refuses such lengths; nothing of a layout that wrapped may be asked for.
            ReleaseParts(1);
            Display("ErrorCode = " + std::to_string(kHttpErrBadLength), kHttpErrBadLength);
            FireRequestDone(kHttpErrBadLength, "Download failed");
            return;
        }
    }
    LoadState();
    for (int i = 0; i < PartCount; ++i) {
        TMyHttpCli& client = *Parts[i];
        SetRange(client);
        TriggerProgressAddSegment(client.FStartOffset, client.FEndOffset - client.FStartOffset,
                                  client.FStartOffset);
        client.Index = i;
        client.URL = URL;
        CopySettings(client);
        client.OnLocationChange = [this](THttpCli* sender) { LocationChange(sender); };
        client.OnRequestDone = [this](THttpCli* sender, THttpRequest, int errCode) {
            MultiRequestDone(sender, errCode);
        };
        client.OnDocData = [this](THttpCli* sender, const char* buffer, int len) {
            DocData(sender, buffer, len);
        };
        // Every reply is checked against the range it was asked for before any byte is taken.
        client.OnHeaderEnd = [this](THttpCli* sender) { SegmentHeaderEnd(sender); };
        client.Done = SegmentComplete(client);
        FTotalCount += client.FDataCount;
    }
    if (CheckComplete(200, "Check the last time download finished")) return;
    for (auto& part : Parts) {
        if (!part->Done) part->GetASync();
    }
    FBeginTime = platform::Clock().TickCount();
    EnableTimer(true);
    Display("WMStartMulti-GetASync", 0);
}

void TMultipartHttpDownloader::SegmentHeaderEnd(THttpCli* sender) {
    auto* client = static_cast<TMyHttpCli*>(sender);
    TResponseWindow& window = FWindows[client->Index];
    window = TResponseWindow();
    const int64_t next = client->FStartOffset + client->FDataCount;
    if (client->StatusCode == 206) {
        int64_t begin = -1, end = -1, total = -1, bodyEnd = 0;
        bool parsed = platform::ParseInt64(client->RcvdRangeBegin, begin) &&
                      platform::ParseInt64(client->RcvdRangeEnd, end);
        if (parsed && !CheckedAdd(end, 1, bodyEnd)) {
            // No offset lies past such an end; it names no part of any file we can write.
            client->RefuseLength("Content-Range end " + client->RcvdRangeEnd);
            return;
        }
        for (const std::string& line : client->RcvdHeader) {
            int64_t t = ContentRangeTotal(line);
            if (t >= 0) total = t;
        }
        // A reply that starts where we are but runs on is fine: it is cut at the segment's end.
        // (begin is our own offset, so bodyEnd - begin cannot overflow once end >= begin.)
        const bool fits = parsed && begin == next && end >= begin &&
                          (total < 0 || total == ContentLength) &&
                          (client->ContentLength < 0 || client->ContentLength == bodyEnd - begin);
        if (!fits) {
            // Another part of the file, or of another file: nothing of it may be written.
            client->Abort();
            return;
        }
        window.Accepted = true;
        window.NextOffset = begin;
        window.BodyEnd = bodyEnd;
    } else if (client->StatusCode == 200) {
        // The server ignored the range and sends the whole file: only our part of it is kept.
        if (client->ContentLength >= 0 && client->ContentLength != ContentLength) {
            client->Abort();
            return;
        }
        window.Accepted = true;
        window.NextOffset = 0;
        window.BodyEnd = client->ContentLength;
    }
    // Any other status: its body is the server's message, never file content.
}

void TMultipartHttpDownloader::DocData(THttpCli* sender, const char* buffer, int len) {
    if (len <= 0 || FAbortFlag) return;
    auto* client = static_cast<TMyHttpCli*>(sender);
    TResponseWindow& window = FWindows[client->Index];
    if (!window.Accepted) return;
    const int64_t blockStart = window.NextOffset;
    if (!CheckedAdd(blockStart, len, window.NextOffset)) {
        // A body that runs on past the largest offset: nothing in it can be ours.
        window.Accepted = false;
        client->RefuseLength("body past offset " + std::to_string(blockStart));
        return;
    }
    const int64_t next = client->FStartOffset + client->FDataCount;
    const int64_t last = SegmentLast(*client);
    if (blockStart > next) {
        // A gap would leave unwritten bytes counted as present: drop this reply.
        window.Accepted = false;
        client->Abort();
        return;
    }
    const int64_t from = next;
    const int64_t to = std::min(window.NextOffset - 1, last);
    if (to >= from) {
        if (!FileStream) {
            Display("***************** Waring FFilestream is Null", 0);
            return;
        }
        const size_t count = static_cast<size_t>(to - from + 1);
        if (!FileStream->WriteAt(from, buffer + (from - blockStart), count)) {
            // Nothing is counted that is not on disk; the segment is asked for again.
            window.Accepted = false;
            client->Abort();
            return;
        }
        client->FDataCount += static_cast<int64_t>(count);
        FTotalCount += static_cast<int64_t>(count);
        TriggerProgressSetPosition(client->Index, client->FStartOffset + client->FDataCount);
    }
    if (SegmentComplete(*client) && (window.BodyEnd < 0 || window.BodyEnd > last + 1)) {
        // The rest of this reply lies beyond the segment: stop reading it.
        window.Accepted = false;
        client->Abort();
    }
}

void TMultipartHttpDownloader::MultiRequestDone(THttpCli* sender, int errCode) {
    auto* client = static_cast<TMyHttpCli*>(sender);
    const std::string index = std::to_string(client->Index);
    const bool complete = SegmentComplete(*client);
    client->Done = complete || FAbortFlag;
    if (FAbortFlag) {
        Display("Download done index = " + index + " Aborted", 503);
        CheckComplete(503, "Transfert aborted");
    } else if (complete) {
        // Complete is complete, even when we cut the connection after the segment's last byte.
        Display("Download done index = " + index + " OK", 200);
        CheckComplete(200, "OK");
    } else {
        const TRequestOutcome outcome = ClassifyRequest(errCode, client->StatusCode, true);
        if (outcome.Kind == TRequestEnd::kComplete || outcome.Kind == TRequestEnd::kHttpStatus) {
            // An error status, or a reply that ended before the segment did.
            Display(
                "Download done index = " + index + "  Status = " + std::to_string(outcome.Status),
                outcome.Status);
        } else {
            if (outcome.Kind == TRequestEnd::kBadLength) Display(client->ReasonPhrase, errCode);
            Display("Download done index = " + index + "  ErrorCode = " + std::to_string(errCode),
                    errCode);
        }
        // Whatever went wrong, the rest of the segment is asked for again.
        RestartSegment(*client);
    }
}

void TMultipartHttpDownloader::LocationChange(THttpCli* sender) {
    auto* client = static_cast<TMyHttpCli*>(sender);
    Display("LocationChange = " + client->Location, 0);
    Display("Index = " + std::to_string(client->Index) +
                " FStartOffset:" + std::to_string(client->FStartOffset) +
                " FDataCount:" + std::to_string(client->FDataCount),
            0);
    SetRange(*client);
}

void TMultipartHttpDownloader::RestartSegment(TMyHttpCli& client) {
    Display("Restarting " + std::to_string(client.Index), 0);
    // The pause lets other events run, and any of them may abort or discard this downloader.
    // Nothing of this object may be touched once it is gone, not even to ask.
    const auto life = FLife.Mark();
    const auto started = FStartScope.Mark();
    auto still = [&]() { return !life.Revoked() && !started.Revoked() && !FAbortFlag; };
    try {
        platform::SleepMs(50);
        ProgressTimerTick();
        if (!still()) return;
        for (int i = 0; i < 3; ++i) {
            TEventLoop::ProcessMessages();
            if (!still()) return;
            platform::SleepMs(50);
        }
    } catch (...) {
        if (!still()) return;
    }
    if (client.State() != httpReady || client.Done) return;
    TriggerProgressSetPosition(client.Index, client.FStartOffset);
    SetRange(client);
    CopySettings(client);
    client.Done = false;
    client.GetASync();
}

}  // namespace download
