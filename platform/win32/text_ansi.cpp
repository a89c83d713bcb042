#include "platform/win32/win.h"

#include "platform/text.h"
#include "platform/win32/wide.h"

namespace platform {

std::string AnsiToUtf8(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int n =
        ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), w.data(), n);
    return Narrow(w);
}

std::string Utf8ToAnsi(std::string_view text) {
    if (text.empty()) return {};
    const std::wstring w = Wide(std::string(text));
    const int n = ::WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr,
                          nullptr);
    return out;
}

}  // namespace platform
