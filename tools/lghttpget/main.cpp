// lghttpget: one GET with the program's own HTTP client, the body written to a file. For trying
// the client against real servers and for measuring it beside other clients.
//
//   lghttpget [-o FILE] [-r BEGIN-END] [-x PROXYHOST:PORT] [--socks HOST:PORT] [--socks-level
//   5|4|4a]
//             [--cafile PEM] [--http11] [-q] URL
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "download/httpcli.h"
#include "platform/eventloop.h"
#include "platform/file.h"
#include "platform/socket.h"
#include "platform/tls.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: lghttpget [-o FILE] [-r BEGIN-END] [-x HOST:PORT] [--socks HOST:PORT]\n"
                 "                 [--socks-level 5|4|4a] [--cafile PEM] [--http11] [-q] URL\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string url, output, range, proxy, socks, socksLevel, caFile;
    bool http11 = false, quiet = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (a == "-o")
            output = next();
        else if (a == "-r")
            range = next();
        else if (a == "-x")
            proxy = next();
        else if (a == "--socks")
            socks = next();
        else if (a == "--socks-level")
            socksLevel = next();
        else if (a == "--cafile")
            caFile = next();
        else if (a == "--http11")
            http11 = true;
        else if (a == "-q")
            quiet = true;
        else if (!a.empty() && a[0] == '-')
            return Usage();
        else
            url = a;
    }
    if (url.empty()) return Usage();
    platform::SocketsStartup();
    if (!caFile.empty()) platform::SetTlsExtraCaFile(caFile);

    std::unique_ptr<platform::TFileStream> file;
    if (!output.empty()) {
        // Removed and created afresh rather than truncated: on ext4 a file truncated to zero is
        // flushed to disk when it is closed, which would be measured as part of the transfer.
        platform::DeleteFile(output);
        int error = 0;
        file = platform::TFileStream::Open(output, platform::FileMode::kOpenReadWriteDenyWrite,
                                           &error);
        if (!file) {
            std::fprintf(stderr, "lghttpget: cannot create %s (%d)\n", output.c_str(), error);
            return 1;
        }
    }

    download::THttpCli client("lghttpget");
    client.URL = url;
    if (http11) client.SetRequestVer("1.1");
    if (!proxy.empty()) client.Proxy = proxy;
    if (!socks.empty()) {
        size_t colon = socks.rfind(':');
        client.SocksServer = socks.substr(0, colon);
        if (colon != std::string::npos) client.SocksPort = socks.substr(colon + 1);
        client.SocksLevel = socksLevel;
    }
    if (!range.empty()) {
        size_t dash = range.find('-');
        client.ContentRangeBegin = range.substr(0, dash);
        if (dash != std::string::npos) client.ContentRangeEnd = range.substr(dash + 1);
    }
    int64_t received = 0;
    bool writeFailed = false;
    bool done = false;
    int errorCode = 0;
    client.OnDocData = [&](download::THttpCli*, const char* data, int len) {
        received += len;
        if (file && !writeFailed && !file->Write(data, static_cast<size_t>(len))) {
            writeFailed = true;
            client.Abort();
        }
    };
    client.OnLocationChange = [&](download::THttpCli* c) {
        if (!quiet) std::fprintf(stderr, "redirect: %s\n", c->Location.c_str());
    };
    client.OnRequestDone = [&](download::THttpCli*, download::THttpRequest, int code) {
        errorCode = code;
        done = true;
        platform::TEventLoop::Quit();
    };
    auto start = std::chrono::steady_clock::now();
    client.GetASync();
    platform::TEventLoop::Run();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    file.reset();
    if (!quiet || errorCode != 0 || writeFailed)
        std::fprintf(stderr, "status %d %s, error %d, %lld bytes in %.3f s (%.1f MiB/s)%s\n",
                     client.StatusCode, client.ReasonPhrase.c_str(), errorCode,
                     static_cast<long long>(received), seconds,
                     seconds > 0 ? received / seconds / 1048576.0 : 0.0,
                     writeFailed ? ", writing the file failed" : "");
    if (!done || errorCode != 0 || writeFailed) return 1;
    return client.StatusCode >= 200 && client.StatusCode < 300 ? 0 : 1;
}
