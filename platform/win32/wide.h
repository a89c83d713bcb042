// UTF-8 <-> UTF-16 at the Windows API boundary.
#pragma once
#include <string>

#include "platform/text.h"

namespace platform {

inline std::wstring Wide(const std::string& text) {
    const std::u16string u = Utf8ToUtf16(text);
    return std::wstring(u.begin(), u.end());
}

inline std::string Narrow(const wchar_t* text, size_t length) {
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

inline std::string Narrow(const std::wstring& text) {
    return Narrow(text.data(), text.size());
}

}  // namespace platform
