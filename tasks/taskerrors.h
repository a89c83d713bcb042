// The errors the adapters catch: a refusal by the platform (COM) carries its HRESULT and the
// error's source; anything else is an ETaskError with a message.
#pragma once
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "platform/taskscheduler.h"

namespace tasks {

class EOleException : public std::runtime_error {
public:
    EOleException(const std::string& message, platform::HResult errorCode, std::string source)
        : std::runtime_error(message), ErrorCode(errorCode), Source(std::move(source)) {}
    platform::HResult ErrorCode;
    std::string Source;
};

class ETaskError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline std::string Hex8(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%.8X", static_cast<unsigned>(value));
    return text;
}
inline std::string Hex8(int32_t value) {
    return Hex8(static_cast<uint32_t>(value));
}

// message + "_" + HRESULT + "_" + source, the tail of every COM error line.
inline std::string OleErrorTail(const EOleException& e) {
    return std::string(e.what()) + "_" + Hex8(e.ErrorCode) + "_" + e.Source;
}

// Raises the platform's refusal as an EOleException with its description and source.
inline void OleCheck(platform::HResult hr) {
    if (platform::Succeeded(hr)) return;
    std::string message, source;
    platform::TaskSchedulerPlatform().DescribeError(hr, message, source);
    throw EOleException(message, hr, source);
}

// An object the platform answered with success but did not hand out.
template <class T>
T& Deref(const platform::TPtr<T>& object) {
    if (!object) throw ETaskError("The task scheduler returned no object");
    return *object;
}

}  // namespace tasks
