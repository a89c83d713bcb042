// Host-name lookup off the user-interface thread: a short-lived worker resolves the name and
// posts the result to the event loop. A cancelled lookup never reports, even when its worker
// has already finished.
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/socket.h"

namespace download {

class THostLookup {
public:
    using TDone = std::function<void(int error, const std::vector<platform::TSockAddr>& addresses)>;

    THostLookup() = default;
    ~THostLookup() { Cancel(); }
    THostLookup(const THostLookup&) = delete;
    THostLookup& operator=(const THostLookup&) = delete;

    // `done` runs on the loop's thread, later, unless Cancel is called first.
    void Start(const std::string& host, uint16_t port, TDone done);
    void Cancel();
    bool Busy() const { return FCancelled && !FCancelled->load(); }

private:
    std::shared_ptr<std::atomic<bool>> FCancelled;
};

}  // namespace download
