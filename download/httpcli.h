// The asynchronous HTTP/1.x client: one request stream on the user-interface thread, driven by
// socket notifications of the event loop, reporting through events. A GET with an optional byte
// range, redirects, keep-alive, chunked bodies, HTTP proxies (with CONNECT tunnels for "https"),
// SOCKS proxies and TLS.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "download/http_connection.h"
#include "download/http_dns.h"
#include "download/http_parser.h"
#include "download/http_types.h"
#include "download/http_url.h"
#include "platform/eventloop_scope.h"

namespace download {

class THttpCli {
public:
    explicit THttpCli(std::string name = "HttpCli");
    virtual ~THttpCli();
    THttpCli(const THttpCli&) = delete;
    THttpCli& operator=(const THttpCli&) = delete;

    // Settings.
    std::string URL;
    std::string Proxy;
    std::string ProxyPort = "80";
    std::string Username, Password;
    std::string Agent = "Mozilla/4.0";
    std::string Accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    std::string Connection, Reference, Sender, AcceptLanguage, Cookie;
    bool NoCache = false;
    std::string ContentRangeBegin, ContentRangeEnd;  // cleared once a request carried them
    bool FollowRelocation = true;
    int LocationChangeMaxCount = 5;
    THttpAuthType ServerAuth = httpAuthNone;
    THttpAuthType ProxyAuth = httpAuthNone;
    std::string SocksServer, SocksPort, SocksLevel;
    int ReceiveBuffer = 0;  // bytes of the socket's receive buffer; 0 leaves the system's

    const std::string& RequestVer() const { return FRequestVer; }
    // "1.0" or "1.1"; anything else raises EHttpException "Insupported HTTP version".
    void SetRequestVer(const std::string& version);
    const std::string& Name() const { return FName; }

    // Results of the last response.
    int StatusCode = 0;
    std::string ReasonPhrase;
    int64_t ContentLength = -1;
    std::string AcceptRanges;
    std::string Location;
    std::string DocName;
    std::string ContentType;
    std::string RcvdRangeBegin, RcvdRangeEnd;  // from "Content-Range"
    std::vector<std::string> RcvdHeader;
    int LocationChangeCurCount = 0;

    THttpState State() const { return FState; }
    // The open socket's receive buffer as the system reports it; -1 without a socket.
    int SocketReceiveBuffer() const;

    // Events; an empty one is skipped.
    std::function<void(THttpCli* sender)> OnHeaderEnd;
    std::function<void(THttpCli* sender, const char* buffer, int len)> OnDocData;
    std::function<void(THttpCli* sender)> OnLocationChange;
    std::function<void(THttpCli* sender, int relocationCount, bool& allowMoreRelocations)>
        OnLocationChangeExceeded;
    std::function<void(THttpCli* sender, THttpRequest rqType, int errCode)> OnRequestDone;

    // Starts a GET and returns at once; raises EHttpException (code 1) when not idle.
    void GetASync();
    void Abort();
    // Ends the current request because a length, size or range in the response cannot be
    // represented (or its sums would overflow): error kHttpErrBadLength, with `what` in the
    // reason phrase after kHttpBadLengthReason. The status the server sent stays. Safe inside
    // the client's own events; nothing of the response is passed on afterwards.
    void RefuseLength(const std::string& what);

private:
    struct TTarget;
    void StartRequest(const std::string& url);
    void StartLookup();
    void LookupDone(int error, const std::vector<platform::TSockAddr>& addresses);
    void Connected();
    void SendRequest();
    void ReceiveTunnelReply(const char* data, size_t length);
    void StartTlsOrSend();
    void Receive(const char* data, size_t length);
    void ProcessHeader();
    void ResponseComplete(bool extraBytes);
    void FollowRedirect();
    void ConnectionClosed(int error);
    void ConnectFailed(int error, bool immediate);
    // Ends the request with an error; the status becomes 404 unless `status` says otherwise
    // (-1 keeps the one the server sent).
    void Failed(int code, const std::string& reason, int status = 404);
    void EndRequest(int errorCode);
    void ResetResults();
    void CloseConnection();

    std::string FName;
    std::string FRequestVer = "1.0";
    THttpState FState = httpReady;
    platform::TLoopScope FLife;          // revoked by destruction only
    platform::TLoopScope FRequestScope;  // revoked whenever a request starts or ends

    TUrlParts FUrl;
    std::string FCurrentUrl;
    std::vector<platform::TSockAddr> FSocksAddresses;  // SOCKS4: the proxy's, while the
                                                       // target's own address is looked up
    std::string FConnectHost;  // what the TCP connection goes to (proxy, SOCKS or server)
    std::string FConnectPort;
    bool FViaProxy = false;  // HTTP proxy: absolute URL in the request line
    bool FTunnel = false;    // "https" through the HTTP proxy
    bool FUseSocks = false;
    THttpConnection::TSocksSettings FSocks;
    std::string FConnectionKey;  // identity of the open connection, for reuse
    std::string FOpenKey;
    bool FReusedConnection = false;
    bool FRetriedStale = false;

    THostLookup FLookup;
    std::unique_ptr<THttpConnection> FConnection;
    THttpResponseParser FParser;
    THttpResponseParser FTunnelParser;
    bool FRelocating = false;
    bool FKeepAlive = false;
};

}  // namespace download
