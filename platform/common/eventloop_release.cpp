// The deferred-release queue: one for the loop's thread, drained only at the end of a turn of
// the outermost loop call, so that nothing is freed while any handler is still on the stack.
#include <deque>
#include <memory>

#include "platform/common/eventloop_release.h"
#include "platform/eventloop.h"

namespace platform {

namespace {

struct TReleaseQueue {
    std::deque<std::shared_ptr<void>> Objects;
    int Depth = 0;
    bool Draining = false;
};

TReleaseQueue& Queue() {
    static TReleaseQueue* queue = new TReleaseQueue;  // a destructor may still release at exit
    return *queue;
}

}  // namespace

namespace detail {

TLoopEntry::TLoopEntry() {
    ++Queue().Depth;
}

TLoopEntry::~TLoopEntry() {
    --Queue().Depth;
}

void EndOfTurn() {
    TReleaseQueue& q = Queue();
    if (q.Depth != 1 || q.Draining) return;
    q.Draining = true;
    // One at a time: a destructor may release more, and those follow in the same pass.
    while (!q.Objects.empty()) {
        std::shared_ptr<void> object = std::move(q.Objects.front());
        q.Objects.pop_front();
        object.reset();
    }
    q.Draining = false;
}

}  // namespace detail

void TEventLoop::ReleaseLater(std::shared_ptr<void> object) {
    if (object) Queue().Objects.push_back(std::move(object));
}

int TEventLoop::Depth() {
    return Queue().Depth;
}

}  // namespace platform
