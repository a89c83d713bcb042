// The event loop's deferred release: an object dropped inside a handler, or inside a nested
// ProcessMessages, WaitAndProcess or RunUntil, lives until the outermost loop call has finished
// its turn; and the loop scopes that keep late work away from objects that are gone.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/eventloop.h"
#include "platform/eventloop_scope.h"

using platform::TEventLoop;
using platform::TLoopScope;

namespace {

struct TTracked {
    TTracked(std::vector<std::string>& log, std::string name) : Log(log), Name(std::move(name)) {}
    ~TTracked() {
        Alive = false;
        Log.push_back("free " + Name);
    }
    std::vector<std::string>& Log;
    std::string Name;
    bool Alive = true;
};

// Leaves nothing of an earlier case in the queue.
void Settle() {
    TEventLoop::ProcessMessages();
}

TEST(EventLoopRelease, ObjectReleasedInAHandlerOutlivesTheHandler) {
    Settle();
    std::vector<std::string> log;
    auto object = std::make_shared<TTracked>(log, "a");
    TTracked* raw = object.get();
    TEventLoop::Post([&] {
        TEventLoop::ReleaseLater(std::move(object));
        log.push_back(raw->Alive ? "handler: alive" : "handler: freed");
        raw->Name = "a, renamed";  // still ours to change
    });
    EXPECT_EQ(TEventLoop::Depth(), 0);
    TEventLoop::ProcessMessages();
    // Gone by the time the loop call returns, not before the handler has.
    EXPECT_EQ(log, (std::vector<std::string>{"handler: alive", "free a, renamed"}));
}

TEST(EventLoopRelease, NestedLoopCallsNeverFreeWhatTheirCallerMayStillUse) {
    Settle();
    std::vector<std::string> log;
    auto a = std::make_shared<TTracked>(log, "a");
    auto b = std::make_shared<TTracked>(log, "b");
    auto c = std::make_shared<TTracked>(log, "c");
    auto d = std::make_shared<TTracked>(log, "d");
    TTracked* ra = a.get();
    TTracked* rb = b.get();
    TTracked* rc = c.get();
    TTracked* rd = d.get();
    int depthInHandler = -1, depthNested = -1;
    bool outerDone = false;
    TEventLoop::Post([&] {
        depthInHandler = TEventLoop::Depth();
        TEventLoop::ReleaseLater(std::move(a));
        // Like the downloader's restart pause: the handler pumps messages, and the work that
        // runs inside drops more objects.
        TEventLoop::Post([&] {
            depthNested = TEventLoop::Depth();
            TEventLoop::ReleaseLater(std::move(b));
        });
        TEventLoop::ProcessMessages();
        EXPECT_TRUE(ra->Alive && rb->Alive);
        TEventLoop::Post([&] { TEventLoop::ReleaseLater(std::move(c)); });
        TEventLoop::WaitAndProcess(20);
        EXPECT_TRUE(ra->Alive && rb->Alive && rc->Alive);
        bool ran = false;
        TEventLoop::Post([&] {
            TEventLoop::ReleaseLater(std::move(d));
            ran = true;
        });
        EXPECT_TRUE(TEventLoop::RunUntil([&] { return ran; }, 5000));
        EXPECT_TRUE(ra->Alive && rb->Alive && rc->Alive && rd->Alive);
        log.push_back("outer handler returns");
        outerDone = true;
    });
    ASSERT_TRUE(TEventLoop::RunUntil([&] { return outerDone; }, 5000));
    EXPECT_EQ(depthInHandler, 1);
    EXPECT_EQ(depthNested, 2);
    // Freed after the outer turn, in the order they were released.
    EXPECT_EQ(log, (std::vector<std::string>{"outer handler returns", "free a", "free b", "free c",
                                             "free d"}));
    EXPECT_EQ(TEventLoop::Depth(), 0);
}

// An object whose own callback makes its owner drop it, and that goes on using itself after.
class TSelfReleasing {
public:
    explicit TSelfReleasing(std::vector<std::string>& log) : FLog(log) {}
    ~TSelfReleasing() { FLog.push_back("destroyed"); }
    std::function<void()> OnFire;
    void Fire() {
        OnFire();
        // Still ours to touch: the release waits for the end of the turn.
        FCount += 1;
        FLog.push_back("after callback, count " + std::to_string(FCount));
    }

private:
    std::vector<std::string>& FLog;
    int FCount = 0;
};

TEST(EventLoopRelease, ObjectReleasedInItsOwnCallbackStaysValidUntilTheCallbackReturns) {
    Settle();
    std::vector<std::string> log;
    auto owned = std::make_unique<TSelfReleasing>(log);
    owned->OnFire = [&] {
        TEventLoop::ReleaseLater(std::move(owned));
        log.push_back("released");
    };
    TSelfReleasing* raw = owned.get();
    platform::TimerId timer = TEventLoop::SetTimer(5, [&] { raw->Fire(); });
    ASSERT_TRUE(TEventLoop::RunUntil([&] { return !log.empty(); }, 5000));
    TEventLoop::KillTimer(timer);
    EXPECT_EQ(owned, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"released", "after callback, count 1", "destroyed"}));
}

TEST(EventLoopRelease, OutsideAnyLoopTheNextTurnFrees) {
    Settle();
    std::vector<std::string> log;
    auto a = std::make_shared<TTracked>(log, "a");
    TTracked* ra = a.get();
    TEventLoop::ReleaseLater(std::move(a));
    TEventLoop::ReleaseLater(std::shared_ptr<void>());  // nothing: ignored
    EXPECT_TRUE(ra->Alive);
    TEventLoop::ProcessMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"free a"}));
}

TEST(EventLoopRelease, WhatADestructorReleasesGoesInTheSamePass) {
    Settle();
    std::vector<std::string> log;
    struct TOwner {
        TOwner(std::vector<std::string>& log, std::unique_ptr<TTracked> child)
            : Log(log), Child(std::move(child)) {}
        ~TOwner() {
            Log.push_back("free owner");
            TEventLoop::ReleaseLater(std::move(Child));
        }
        std::vector<std::string>& Log;
        std::unique_ptr<TTracked> Child;
    };
    auto owner = std::make_shared<TOwner>(log, std::make_unique<TTracked>(log, "child"));
    auto later = std::make_shared<TTracked>(log, "later");
    TEventLoop::Post([&] {
        TEventLoop::ReleaseLater(std::move(owner));
        TEventLoop::ReleaseLater(std::move(later));
    });
    TEventLoop::ProcessMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"free owner", "free later", "free child"}));
}

TEST(LoopScope, RevokedOrDestroyedScopesSilenceWhatWasBoundAndSayItToMarks) {
    Settle();
    int ran = 0;
    auto scope = std::make_unique<TLoopScope>();
    auto before = scope->Mark();
    auto bound = scope->Bind([&](int n) { ran += n; });
    bound(1);
    EXPECT_EQ(ran, 1);
    EXPECT_FALSE(before.Revoked());
    scope->Post([&] { ran += 10; });
    scope->Revoke();
    EXPECT_TRUE(before.Revoked());
    bound(100);
    TEventLoop::ProcessMessages();
    EXPECT_EQ(ran, 1);  // neither the call nor the posted work after the revocation

    // Bound after a revocation: alive again, until the scope itself goes.
    auto after = scope->Mark();
    auto again = scope->Bind([&] { ran += 1000; });
    scope->Post([&] { ran += 5; });
    again();
    EXPECT_EQ(ran, 1001);
    scope.reset();
    EXPECT_TRUE(after.Revoked());
    again();
    TEventLoop::ProcessMessages();
    EXPECT_EQ(ran, 1001);
}

}  // namespace
