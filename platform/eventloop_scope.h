// An object's standing with the event loop. What an object hands to the loop on its own behalf
// (posted work, a timer's tick, a socket's notifications, a worker's answer) is bound to one of
// its scopes, and what it calls out to is bracketed by a mark of one: once the scope is revoked,
// or the object that holds it is destroyed, the bound work does nothing and the mark says so.
// So a request that ended hears nothing of its own late notifications, and code that called out
// learns that its owner released, stopped or replaced it meanwhile, without a flag of its own.
//
// Loop thread only, except that a bound callable may be copied (and posted) from any thread.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "platform/eventloop.h"

namespace platform {

class TLoopScope {
    struct TState {
        uint64_t Generation = 0;
    };

public:
    TLoopScope() : FState(std::make_shared<TState>()) {}
    ~TLoopScope() { ++FState->Generation; }
    TLoopScope(const TLoopScope&) = delete;
    TLoopScope& operator=(const TLoopScope&) = delete;

    // Taken before a call out; Revoked() once the scope was revoked or destroyed since.
    class TMark {
    public:
        bool Revoked() const { return FState->Generation != FTaken; }

    private:
        friend class TLoopScope;
        TMark(std::shared_ptr<const TState> state, uint64_t generation)
            : FState(std::move(state)), FTaken(generation) {}
        std::shared_ptr<const TState> FState;
        uint64_t FTaken;
    };

    TMark Mark() const { return TMark(FState, FState->Generation); }
    // Everything bound and every mark taken so far goes quiet; what is bound later is not.
    void Revoke() { ++FState->Generation; }

    // `f` wrapped so that it runs only while the mark taken now holds.
    template <class F>
    auto Bind(F f) const {
        return [mark = Mark(), f = std::move(f)](auto&&... args) {
            if (!mark.Revoked()) f(std::forward<decltype(args)>(args)...);
        };
    }
    void Post(std::function<void()> work) const { TEventLoop::Post(Bind(std::move(work))); }

private:
    std::shared_ptr<TState> FState;
};

}  // namespace platform
