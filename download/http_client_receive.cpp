// The receiving half of THttpCli: the response as it arrives, redirects, and every way a request
// ends.
#include "download/httpcli.h"
#include "platform/text.h"

namespace download {

using TEvent = THttpResponseParser::TEvent;

namespace {
bool IsRedirectStatus(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}
}  // namespace

void THttpCli::Receive(const char* data, size_t length) {
    if (FState == httpWaitingProxyConnect) {
        ReceiveTunnelReply(data, length);
        return;
    }
    if (FState != httpWaitingHeader && FState != httpWaitingBody) {
        // Bytes nobody asked for on an idle connection: it cannot be trusted for reuse.
        CloseConnection();
        return;
    }
    // The owner may abort, restart or destroy us from inside any of our events.
    const auto request = FRequestScope.Mark();
    size_t pos = 0;
    while (true) {
        auto r = FParser.Feed(data + pos, length - pos);
        pos += r.Consumed;
        switch (r.Event) {
            case TEvent::kNeedMore:
                return;
            case TEvent::kHeaderDone:
                ProcessHeader();
                FState = httpWaitingBody;
                if (OnHeaderEnd) {
                    OnHeaderEnd(this);
                    if (request.Revoked()) return;
                }
                DocName = AdjustDocNameForType(DocName, ContentType);
                break;
            case TEvent::kBody:
                // The body of a redirect is the server's note to humans, not the document.
                if (!FRelocating && OnDocData) {
                    OnDocData(this, r.Data, static_cast<int>(r.Length));
                    if (request.Revoked()) return;
                }
                break;
            case TEvent::kMessageDone:
                ResponseComplete(pos < length);
                return;
            case TEvent::kError:
                Failed(FParser.ErrorCode, FParser.ErrorText, -1);
                return;
        }
    }
}

void THttpCli::ProcessHeader() {
    StatusCode = FParser.StatusCode;
    ReasonPhrase = FParser.ReasonPhrase;
    ContentLength = FParser.ContentLength;
    AcceptRanges = FParser.AcceptRanges;
    ContentType = FParser.ContentType;
    RcvdHeader = FParser.HeaderLines;
    if (FParser.HasContentRange) {
        RcvdRangeBegin = FParser.ContentRangeBegin;
        RcvdRangeEnd = FParser.ContentRangeEnd;
    }
    if (FParser.HasLocation && !platform::Trim(FParser.Location).empty() && FollowRelocation) {
        Location = ResolveLocation(FCurrentUrl, FParser.Location);
        // Only a redirect status means "fetch it there"; a Location beside a 200 or 201 is
        // information, not an order.
        FRelocating = IsRedirectStatus(StatusCode);
    }
}

void THttpCli::ResponseComplete(bool extraBytes) {
    FKeepAlive = !extraBytes && FParser.KeepAlive(FRequestVer) && FConnection->IsOpen();
    FState = httpBodyReceived;
    if (!FKeepAlive) {
        FState = httpClosing;
        CloseConnection();
    }
    if (FRelocating) {
        FollowRedirect();
        return;
    }
    EndRequest(kHttpErrNone);
}

void THttpCli::FollowRedirect() {
    Location = DropFragment(Location);
    DocName = DocNameFromUrl(Location);
    ++LocationChangeCurCount;
    // The owner may abort, restart or destroy us from inside any of our events.
    const auto request = FRequestScope.Mark();
    if (LocationChangeCurCount > LocationChangeMaxCount) {
        bool allowMore = false;
        if (OnLocationChangeExceeded) {
            OnLocationChangeExceeded(this, LocationChangeCurCount, allowMore);
            if (request.Revoked()) return;
        }
        if (!allowMore) {
            EndRequest(kHttpErrNone);
            return;
        }
    }
    if (OnLocationChange) {
        OnLocationChange(this);
        if (request.Revoked()) return;
    }
    std::string next = Location;
    ResetResults();
    StartRequest(next);
}

void THttpCli::ConnectionClosed(int error) {
    switch (FState) {
        case httpReady:
            FOpenKey.clear();  // an idle kept-alive connection went away: open anew next time
            return;
        case httpWaitingHeader:
        case httpWaitingBody: {
            if (FReusedConnection && !FParser.GotAnything() && !FRetriedStale) {
                // The server had already dropped the kept-alive connection: once more, fresh.
                FRetriedStale = true;
                FReusedConnection = false;
                CloseConnection();
                StartLookup();
                return;
            }
            if (error != 0) {
                Failed(error,
                       platform::SocketErrorText(error) + " (Error #" + std::to_string(error) + ")",
                       -1);
                return;
            }
            if (FParser.Eof() == TEvent::kMessageDone) {
                ResponseComplete(false);
                return;
            }
            Failed(FParser.ErrorCode, FParser.ErrorText, -1);
            return;
        }
        case httpWaitingProxyConnect:
            Failed(error ? error : kHttpErrNoStatusCode,
                   "proxy closed the connection before the tunnel was open");
            return;
        default:
            Failed(
                error ? error : kHttpErrNoStatusCode,
                error ? platform::SocketErrorText(error) + " (Error #" + std::to_string(error) + ")"
                      : "connection closed prematurely");
            return;
    }
}

void THttpCli::ConnectFailed(int error, bool immediate) {
    std::string text = platform::SocketErrorText(error) + " (Error #" + std::to_string(error) + ")";
    Failed(error, immediate ? "can't connect: " + text : text);
}

void THttpCli::Failed(int code, const std::string& reason, int status) {
    if (status >= 0) StatusCode = status;
    ReasonPhrase = reason;
    CloseConnection();
    EndRequest(code);
}

void THttpCli::EndRequest(int errorCode) {
    FLookup.Cancel();
    if (errorCode != kHttpErrNone) CloseConnection();
    FState = httpReady;
    FRequestScope.Revoke();
    // Posted, so the event arrives after the socket event that ended the request has unwound;
    // a new request started meanwhile does not silence it, only our end does.
    FLife.Post([this, errorCode]() {
        if (OnRequestDone) OnRequestDone(this, httpGET, errorCode);
    });
}

void THttpCli::RefuseLength(const std::string& what) {
    if (FState == httpReady) return;  // nothing runs that could be refused
    Failed(kHttpErrBadLength, kHttpBadLengthReason + what, -1);
}

void THttpCli::Abort() {
    if (FState == httpReady) {
        CloseConnection();
        StatusCode = 200;
        ReasonPhrase = "OK";
        if (OnRequestDone) OnRequestDone(this, httpABORT, kHttpErrNone);
        return;
    }
    FState = httpAborting;
    FLookup.Cancel();
    StatusCode = 404;
    ReasonPhrase = "Connection aborted on request";
    CloseConnection();
    EndRequest(kHttpErrAborted);
}

}  // namespace download
