// The download facade against a server that answers anything: the input is the server's script,
// pieces split at "\n--\n" — the first answers the probe, the others the ranged requests (chosen
// by the range asked, so a run can be replayed). Whatever comes back, the download ends once,
// in bounded time, and reports success only with a file of the length the probe announced.
// The server is a loop of blocking loopback sockets made with the platform socket calls (no
// system socket code of its own), on a thread of its own.
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "download/downloader.h"
#include "fuzz/fuzz_check.h"
#include "platform/eventloop.h"
#include "platform/file.h"
#include "platform/socket.h"

namespace {

std::mutex gLock;
std::vector<std::string> gScript;
uint16_t gPort = 0;

std::string PieceFor(const std::string& request) {
    std::lock_guard<std::mutex> guard(gLock);
    if (gScript.empty()) return std::string();
    const size_t at = request.find("\r\nRange: ");
    if (at == std::string::npos || gScript.size() == 1) return gScript[0];
    const std::string range = request.substr(at, request.find("\r\n", at + 2) - at);
    size_t hash = 0;
    for (unsigned char c : range) hash = hash * 131 + c;
    return gScript[1 + hash % (gScript.size() - 1)];
}

void Serve(platform::SocketHandle client) {
    std::string request;
    char buf[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        if (!platform::SocketWait(client, platform::kSockRead, 2000)) break;
        const int64_t n = platform::SocketRecv(client, buf, sizeof buf, nullptr);
        if (n <= 0) break;
        request.append(buf, size_t(n));
    }
    const std::string reply = PieceFor(request);
    for (size_t sent = 0; sent < reply.size();) {
        const int64_t n =
            platform::SocketSend(client, reply.data() + sent, reply.size() - sent, nullptr);
        if (n <= 0) break;
        sent += size_t(n);
    }
    platform::SocketShutdown(client);
    platform::SocketCloseDetached(client);
}

void StartServer() {
    FUZZ_CHECK(platform::SocketsStartup(), "sockets");
    int error = 0;
    const platform::SocketHandle listener = platform::SocketListenLoopback(false, gPort, &error);
    FUZZ_CHECK(listener != platform::kInvalidSocket, "listen on loopback");
    std::thread([listener] {
        for (;;) {
            const platform::SocketHandle client = platform::SocketAccept(listener, nullptr);
            if (client != platform::kInvalidSocket) std::thread(Serve, client).detach();
        }
    }).detach();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartServer();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        std::lock_guard<std::mutex> guard(gLock);
        gScript.clear();
        const std::string input(reinterpret_cast<const char*>(data), size);
        for (size_t from = 0;;) {
            const size_t to = input.find("\n--\n", from);
            gScript.push_back(input.substr(from, to - from));
            if (to == std::string::npos || gScript.size() == 5) break;
            from = to + 4;
        }
    }
    const std::string target = fuzz::ScratchFile("download");
    platform::DeleteFile(target);
    platform::DeleteFile(target + ".dat");

    int done = 0;
    bool completed = false;
    int code = -1;
    {
        download::TDownloader d;
        d.MaxRetries = 0;
        d.TimeOut = 1;  // a server that sends less than it promised and then closes
        d.OnDone = [&](bool ok, int result, const std::string&, int) {
            ++done;
            completed = ok;
            code = result;
        };
        d.Start(target, "http://127.0.0.1:" + std::to_string(gPort) + "/setup.exe");
        platform::TEventLoop::RunUntil([&] { return done > 0; }, 20000);
        FUZZ_CHECK(done == 1, "the download ends once, within its stall limit");
        if (completed && code == download::kDownloadOk) {
            const int64_t length = d.ContentLength();
            const std::optional<std::string> bytes = platform::ReadFileBytes(target);
            FUZZ_CHECK(bytes.has_value(), "a finished download has its file");
            FUZZ_CHECK(length < 0 || int64_t(bytes->size()) == length,
                       "a finished download has the announced length");
        }
        d.Stop();
        // Whatever the downloader still holds is released by the loop.
        platform::TEventLoop::ProcessMessages();
    }
    platform::TEventLoop::ProcessMessages();
    FUZZ_CHECK(done == 1, "nothing reports after the end");
    platform::DeleteFile(target);
    platform::DeleteFile(target + ".dat");
    return 0;
}
