// A value that one thread may replace while others read it (a path a test points elsewhere, the
// language chosen at start): every read is a copy taken under the lock.
#pragma once
#include <mutex>
#include <utility>

namespace platform {

template <class T>
class TGuarded {
public:
    T Get() const {
        std::lock_guard<std::mutex> lock(FLock);
        return FValue;
    }
    void Set(T value) {
        std::lock_guard<std::mutex> lock(FLock);
        FValue = std::move(value);
    }

private:
    mutable std::mutex FLock;
    T FValue{};
};

}  // namespace platform
