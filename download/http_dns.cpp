#include "download/http_dns.h"

#include <thread>

namespace download {

void THostLookup::Start(const std::string& host, uint16_t port, TDone done) {
    Cancel();
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    FCancelled = cancelled;
    // The worker owns copies of everything it touches; only the posted step, on the loop's
    // thread, looks at the cancel flag and calls back.
    auto job = std::make_shared<TDone>(std::move(done));
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
