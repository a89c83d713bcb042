// Downloads one file over HTTP in several parallel byte ranges into one open file stream: a
// probe GET learns the length and the final address, then every segment gets its own client
// with a "Range" header, and every byte is written at its own offset inside its own segment.
// Everything runs on the user-interface thread through the event loop.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "download/http_types.h"
#include "download/myhttpcli.h"
#include "platform/eventloop.h"
#include "platform/eventloop_scope.h"
#include "platform/file.h"

namespace download {

class ERangeError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

class TMultipartHttpDownloader;
using TDisplayEvent =
    std::function<void(TMultipartHttpDownloader* sender, const std::string& msg, int errorCode)>;
using TRequestDoneEvent =
    std::function<void(TMultipartHttpDownloader* sender, int errorCode, const std::string& reason)>;
using TProgressAddSegmentEvent = std::function<void(
    TMultipartHttpDownloader* sender, int64_t startOffset, int64_t span, int64_t initPos)>;
using TProgressSetPositionEvent =
    std::function<void(TMultipartHttpDownloader* sender, int index, int64_t position)>;
using TNotifyEvent = std::function<void(TMultipartHttpDownloader* sender)>;

class TMultipartHttpDownloader {
public:
    TMultipartHttpDownloader();
    virtual ~TMultipartHttpDownloader();
    TMultipartHttpDownloader(const TMultipartHttpDownloader&) = delete;
    TMultipartHttpDownloader& operator=(const TMultipartHttpDownloader&) = delete;

    std::string URL;
    std::string Username, Password;
    std::string Proxy, ProxyPort;
    std::string SocksServer, SocksPort, SocksLevel;
    int PartCount = 0;
    // The open target file. The owner hands it over; whoever frees it resets the pointer.
    std::unique_ptr<platform::TFileStream> FileStream;
    THttpAuthType ServerAuth = httpAuthNone;
    THttpAuthType ProxyAuth = httpAuthNone;  // kept for the owner; the clients do not use it
    unsigned TimeOut = 30;                   // seconds without new data before OnTimeOut

    const std::string& StateFileName() const { return FStateFileName; }
    // A name without a folder is taken from the current folder.
    void SetStateFileName(const std::string& name);
    bool AbortFlag() const { return FAbortFlag; }

    TDisplayEvent OnDisplay;
    TRequestDoneEvent OnRequestDone;
    TProgressAddSegmentEvent OnProgressAddSegment;
    TProgressSetPositionEvent OnProgressSetPosition;
    TNotifyEvent OnShowStats;
    TNotifyEvent OnTimeOut;
    // The state file was not used: its numbers cannot be offsets, or (with StateMustMatch) it
    // belongs to another download. `why` names the values.
    std::function<void(TMultipartHttpDownloader* sender, const std::string& why)> OnStateDiscarded;

    // One client per segment; the probe's client during the probe.
    std::vector<std::unique_ptr<TMyHttpCli>> Parts;
    int64_t ContentLength = 0;
    int64_t FTotalCount = 0;
    int64_t PrevCount = 0;
    uint32_t PrevTick = 0;
    double StartTime = 0;    // local date-time of Start, days since 1899-12-30
    double ElapsedTime = 0;  // days since Start
    double CurSpeed = 0;     // bits per millisecond
    double PercentDone = 0;
    uint32_t FBeginTime = 0;  // tick count when data last moved: the stall clock
    std::string ConfigMd5;
    bool NoStateFile = false;
    bool AppendMode = false;
    // The state file is used only when its stored "Url" and "ContentLength" are this download's
    // (the address after the probe's redirects, the length the probe learned); otherwise it is
    // set aside as one of another download and every segment starts afresh.
    bool StateMustMatch = false;

    // Sends the probe. Raises ERangeError "PartCount must be positive" for fewer than 2 parts.
    void Start();
    void Abort();
    void SaveStatus();
    bool ProgressTimerEnabled() const { return FTimer != 0; }

    // The last byte (inclusive) the segment may hold: its requested end, clamped to the file.
    int64_t SegmentLast(const TMyHttpCli& part) const;
    int64_t SegmentLength(const TMyHttpCli& part) const;  // 0 for an empty segment
    bool SegmentComplete(const TMyHttpCli& part) const;

protected:
    virtual void TriggerShowStats();
    virtual void TriggerProgressSetPosition(int index, int64_t position);
    virtual void TriggerProgressAddSegment(int64_t startOffset, int64_t span, int64_t initPos);

private:
    // What the current response of a segment may contribute to the file.
    struct TResponseWindow {
        bool Accepted = false;   // a 200 or a matching 206: its body goes to the file
        int64_t NextOffset = 0;  // file offset of the next body byte
        int64_t BodyEnd = -1;    // file offset just past the announced body; -1 unknown
    };

    void Display(const std::string& msg, int code);
    void DisplayDirect(const std::string& msg, int code);
    void CopySettings(TMyHttpCli& client) const;
    void SetRange(TMyHttpCli& client) const;

    void ProbeHeaderEnd(THttpCli* sender);
    void ProbeRequestDone(THttpCli* sender, int errCode);
    void ProbeWatchdog();
    void WMStartMulti();
    // False when an offset of the layout would not fit in 64 bits.
    bool LayOutSegment(TMyHttpCli& client, int index, int64_t& offset, int64_t size);
    static bool LayoutFits(int64_t length, int partCount);
    // What in the stored numbers no offset can be; empty when they may be used.
    std::string StoredStateFault(const std::vector<int64_t>& counts, int64_t storedLength,
                                 int64_t storedDone) const;
    void LoadState();
    void ClampToFile();
    void SegmentHeaderEnd(THttpCli* sender);
    void DocData(THttpCli* sender, const char* buffer, int len);
    void MultiRequestDone(THttpCli* sender, int errCode);
    void LocationChange(THttpCli* sender);
    void RestartSegment(TMyHttpCli& client);
    bool CheckComplete(int code, const std::string& reason);
    void ProgressTimerTick();
    void EnableTimer(bool enable);
    void FinishFile();
    void FireRequestDone(int code, const std::string& reason);
    void FireTimeOut();
    void ReleaseParts(size_t keep);  // every client from `keep` on

    std::string FStateFileName;
    bool FAbortFlag = false;
    bool FSavedAfterAbort = false;
    platform::TimerId FTimer = 0;
    platform::TimerId FProbeTimer = 0;
    uint32_t FStartTick = 0;
    std::vector<TResponseWindow> FWindows;
    platform::TLoopScope FLife;        // revoked by destruction only
    platform::TLoopScope FStartScope;  // revoked by every Start and Abort
};

}  // namespace download
