// A named mutex valid per user logon (Windows: CreateMutexW without a namespace prefix; Linux:
// an flock'ed file under the stand-in root, which stands for the logon).
#pragma once
#include <cstdint>
#include <string>

namespace platform {

class TNamedMutex {
public:
    explicit TNamedMutex(const std::string& name);
    ~TNamedMutex();
    TNamedMutex(const TNamedMutex&) = delete;
    TNamedMutex& operator=(const TNamedMutex&) = delete;

    bool Created() const { return FHandle != -1; }  // false: no guard could be had
    bool AlreadyExisted() const { return FAlreadyExisted; }

private:
    intptr_t FHandle = -1;
    bool FAlreadyExisted = false;
};

}  // namespace platform
