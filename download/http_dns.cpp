#include "download/http_dns.h"

#include <thread>

namespace download {

namespace {

// An address written out needs no name server: looking it up cannot block.
bool IsAddressLiteral(const std::string& host) {
    if (host.empty()) return false;
    if (host.find(':') != std::string::npos)
        return host.find_first_not_of("0123456789abcdefABCDEF:.%") == std::string::npos;
    return host.find_first_not_of("0123456789.") == std::string::npos;
}

}  // namespace

void THostLookup::Start(const std::string& host, uint16_t port, TDone done) {
    Cancel();
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    FCancelled = cancelled;
    // The worker owns copies of everything it touches; only the posted step, on the loop's
    // thread, looks at the cancel flag and calls back.
    auto job = std::make_shared<TDone>(std::move(done));
    if (IsAddressLiteral(host)) {
        // No worker for these: under Wine a thread started while another one ends now and
        // then never runs, and the request would wait for its address for good. The answer
        // still comes later, as from a worker.
        auto addresses = std::make_shared<std::vector<platform::TSockAddr>>();
        const int error = platform::ResolveHost(host, port, *addresses);
        platform::TEventLoop::Post([cancelled, job, error, addresses]() {
            if (cancelled->exchange(true)) return;
            (*job)(error, *addresses);
        });
        return;
    }
    std::thread([host, port, cancelled, job]() {
        auto addresses = std::make_shared<std::vector<platform::TSockAddr>>();
        int error = cancelled->load() ? 0 : platform::ResolveHost(host, port, *addresses);
        if (cancelled->load()) return;
        platform::TEventLoop::Post([cancelled, job, error, addresses]() {
            if (cancelled->exchange(true)) return;
            (*job)(error, *addresses);
        });
    }).detach();
}

void THostLookup::Cancel() {
    if (FCancelled) FCancelled->store(true);
    FCancelled.reset();
}

}  // namespace download
