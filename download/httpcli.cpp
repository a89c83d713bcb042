#include "download/httpcli.h"

#include "download/http_request.h"
#include "platform/text.h"

namespace download {

using platform::TEventLoop;

THttpCli::THttpCli(std::string name)
    : FName(std::move(name)), FConnection(std::make_unique<THttpConnection>()) {
    FConnection->OnConnected = [this]() { Connected(); };
    FConnection->OnTlsReady = [this]() { SendRequest(); };
    FConnection->OnData = [this](const char* data, size_t length) { Receive(data, length); };
    FConnection->OnClosed = [this](int error) { ConnectionClosed(error); };
    FConnection->OnConnectFailed = [this](int error, bool immediate) {
        ConnectFailed(error, immediate);
    };
    FConnection->OnFailed = [this](int code, const std::string& reason) { Failed(code, reason); };
}

THttpCli::~THttpCli() {
    FLookup.Cancel();
    FConnection->Close();
}

void THttpCli::SetRequestVer(const std::string& version) {
    if (version != "1.0" && version != "1.1")
        throw EHttpException("Insupported HTTP version", kHttpErrVersion);
    FRequestVer = version;
}

void THttpCli::ResetResults() {
    StatusCode = 0;
    ReasonPhrase.clear();
    ContentLength = -1;
    AcceptRanges.clear();
    ContentType.clear();
    RcvdRangeBegin.clear();
    RcvdRangeEnd.clear();
    RcvdHeader.clear();
}

void THttpCli::CloseConnection() {
    FConnection->Close();
    FOpenKey.clear();
}

void THttpCli::GetASync() {
    if (FState != httpReady)
        throw EHttpException("HTTP component " + FName + " is busy", kHttpErrBusy);
    FRequestScope.Revoke();
    LocationChangeCurCount = 0;
    ResetResults();
    DocName.clear();
    Location = URL;
    StartRequest(URL);
}

void THttpCli::StartRequest(const std::string& url) {
    FCurrentUrl = url;
    FUrl = ParseUrl(url);
    DocName = DocNameFromUrl(url);
    FRelocating = false;
    FKeepAlive = false;
    FRetriedStale = false;
    FState = httpNotConnected;
    if (FUrl.Scheme != "http" && FUrl.Scheme != "https") {
        // Checked before the lookup: no name needs resolving for an address we cannot fetch.
        Failed(kHttpErrScheme, "Protocol \"" + FUrl.Scheme + "\" not implemented", 501);
        return;
    }
    if (FUrl.Host.empty()) {
        Failed(platform::kWsaHostNotFound, "can't resolve hostname to IP address");
        return;
    }
    if (!FUrl.PortValid) {
        Failed(kHttpErrBadUrl, "invalid port \"" + FUrl.Port + "\"");
        return;
    }

    std::string endpointHost = FUrl.Host, endpointPort = FUrl.Port;
    FViaProxy = !platform::Trim(Proxy).empty();
    if (FViaProxy) {
        // The proxy value may name its port ("host:3128") and even a scheme.
        TUrlParts proxy = ParseUrl(Proxy);
        endpointHost = proxy.Host;
        endpointPort = proxy.PortGiven ? proxy.Port : (ProxyPort.empty() ? "80" : ProxyPort);
    }
    FTunnel = FViaProxy && FUrl.Scheme == "https";
    FUseSocks = !platform::Trim(SocksServer).empty();
    FConnectHost = endpointHost;
    FConnectPort = endpointPort;
    if (FUseSocks) {
        if (!TSocksHandshake::ParseLevel(SocksLevel, FSocks.Level)) {
            Failed(kHttpErrSocks, "SOCKS: unknown level \"" + SocksLevel + "\"");
            return;
        }
        int64_t port = 0;
        if (!platform::ParseInt64(endpointPort, port) || port <= 0 || port > 65535) {
            Failed(kHttpErrBadUrl, "invalid port \"" + endpointPort + "\"");
            return;
        }
        FSocks.Host = endpointHost;
        FSocks.Port = static_cast<uint16_t>(port);
        FSocks.TargetIpv4.clear();
        FConnectHost = platform::Trim(SocksServer);
        FConnectPort = SocksPort.empty() ? "1080" : SocksPort;
    }
    FConnectionKey = FUrl.Scheme + "|" + FConnectHost + "|" + FConnectPort + "|" + endpointHost +
                     "|" + endpointPort + "|" + FUrl.Host + "|" + FUrl.Port;
    if (FConnection->Ready() && FOpenKey == FConnectionKey) {
        FReusedConnection = true;
        SendRequest();
        return;
    }
    CloseConnection();
    FReusedConnection = false;
    StartLookup();
}

void THttpCli::StartLookup() {
    int64_t port = 0;
    if (!platform::ParseInt64(FConnectPort, port) || port <= 0 || port > 65535) {
        Failed(kHttpErrBadUrl, "invalid port \"" + FConnectPort + "\"");
        return;
    }
    FState = httpDnsLookup;
    FSocksAddresses.clear();
    FLookup.Start(
        FConnectHost, static_cast<uint16_t>(port),
        FRequestScope.Bind([this](int error, const std::vector<platform::TSockAddr>& list) {
            LookupDone(error, list);
        }));
}

void THttpCli::LookupDone(int error, const std::vector<platform::TSockAddr>& addresses) {
    FState = httpDnsLookupDone;
    if (error != 0) {
        Failed(error, "can't resolve hostname to IP address");
        return;
    }
    bool socks4 = FUseSocks && FSocks.Level == TSocksHandshake::kSocks4;
    if (socks4 && FSocksAddresses.empty()) {
        // SOCKS4 carries only an IPv4 address: the target's name is ours to resolve.
        FSocksAddresses = addresses;
        FState = httpDnsLookup;
        FLookup.Start(
            FSocks.Host, FSocks.Port,
            FRequestScope.Bind([this](int e, const std::vector<platform::TSockAddr>& list) {
                LookupDone(e, list);
            }));
        return;
    }
    std::vector<platform::TSockAddr> connectTo = addresses;
    if (socks4) {
        for (const auto& a : addresses) {
            FSocks.TargetIpv4 = platform::AddressIpv4Bytes(a);
            if (!FSocks.TargetIpv4.empty()) break;
        }
        if (FSocks.TargetIpv4.empty()) {
            Failed(kHttpErrSocks, "SOCKS4: the server has no IPv4 address");
            return;
        }
        connectTo = FSocksAddresses;
    }
    FState = httpNotConnected;
    FConnection->ReceiveBuffer = ReceiveBuffer;
    FConnection->Connect(std::move(connectTo), FUseSocks ? &FSocks : nullptr);
}

int THttpCli::SocketReceiveBuffer() const {
    return FConnection->SocketReceiveBuffer();
}

void THttpCli::Connected() {
    FState = httpConnected;
    if (FTunnel) {
        FState = httpWaitingProxyConnect;
        FTunnelParser.Start(false);
        std::string hostPort = HostForUrl(FUrl.Host) + ":" + FUrl.Port;
        FConnection->Send(BuildConnectRequest(hostPort, FUrl.Host, FRequestVer, Agent));
        return;
    }
    StartTlsOrSend();
}

void THttpCli::StartTlsOrSend() {
    if (FUrl.Scheme != "https") {
        SendRequest();
        return;
    }
    std::string error;
    if (!FConnection->StartTls(FUrl.Host, &error))
        Failed(kHttpErrTls, "TLS not available: " + error);
}

void THttpCli::ReceiveTunnelReply(const char* data, size_t length) {
    auto result = FTunnelParser.Feed(data, length);
    if (result.Event == THttpResponseParser::TEvent::kNeedMore) return;
    if (result.Event == THttpResponseParser::TEvent::kError) {
        Failed(kHttpErrProtocol, "proxy: " + FTunnelParser.ErrorText);
        return;
    }
    if (FTunnelParser.StatusCode / 100 != 2) {
        // The proxy's own answer is the response to this request.
        StatusCode = FTunnelParser.StatusCode;
        ReasonPhrase = FTunnelParser.ReasonPhrase;
        RcvdHeader = FTunnelParser.HeaderLines;
        CloseConnection();
        EndRequest(kHttpErrNone);
        return;
    }
    StartTlsOrSend();
}

void THttpCli::SendRequest() {
    const TRequestHeaderFields f{.Method = "GET",
                                 .Target = FViaProxy && !FTunnel ? AbsoluteUrl(FUrl) : FUrl.Path,
                                 .Version = FRequestVer,
                                 .Sender = Sender,
                                 .Accept = Accept,
                                 .Reference = Reference,
                                 .Connection = Connection,
                                 .AcceptLanguage = AcceptLanguage,
                                 .AcceptEncoding = {},  // no content decoding
                                 .Agent = Agent,
                                 .Host = FUrl.Host,
                                 .Port = FUrl.Port,
                                 .NoCache = NoCache,
                                 .ProxyConnection = {},
                                 .IfModifiedSince = {},
                                 .Cookie = Cookie,
                                 .RangeBegin = ContentRangeBegin,
                                 .RangeEnd = ContentRangeEnd};
    // A range is good for one request only: each request must ask for its own.
    ContentRangeBegin.clear();
    ContentRangeEnd.clear();
    AcceptRanges.clear();
    FParser.Start(false);  // a GET: every response but the bodiless statuses has a body
    FOpenKey = FConnectionKey;
    FState = httpWaitingHeader;
    FConnection->Send(BuildRequestHeader(f));
}

}  // namespace download
