#include "platform/profile.h"

#include "platform/win32/win.h"

#include "platform/win32/wide.h"

namespace platform {

namespace {

// Reads without a length limit: the buffer starts at 2048 characters and grows by half while
// the answer fills it.
std::wstring Get(const wchar_t* section, const wchar_t* key, const wchar_t* def,
                 const std::wstring& file) {
    std::wstring buf(2048, L'\0');
    for (;;) {
        const DWORD n = ::GetPrivateProfileStringW(section, key, def, buf.data(),
                                                   static_cast<DWORD>(buf.size()), file.c_str());
        const bool list = section == nullptr || key == nullptr;
        const DWORD full = static_cast<DWORD>(buf.size()) - (list ? 2 : 1);
        if (n < full) {
            buf.resize(n);
            return buf;
        }
        buf.resize(buf.size() + buf.size() / 2);
    }
}

std::vector<std::string> SplitList(const std::wstring& list) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < list.size()) {
        const size_t end = list.find(L'\0', start);
        const size_t stop = end == std::wstring::npos ? list.size() : end;
        if (stop > start) out.push_back(Narrow(list.data() + start, stop - start));
        start = stop + 1;
    }
    return out;
}

}  // namespace

std::string ProfileGetString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& defaultValue) {
    const std::wstring s = Wide(section), k = Wide(key), d = Wide(defaultValue);
    return Narrow(Get(s.c_str(), k.c_str(), d.c_str(), Wide(file)));
}

bool ProfileWriteString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) {
    return ::WritePrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(),
                                        Wide(value).c_str(), Wide(file).c_str()) != 0;
}

bool ProfileDeleteKey(const std::string& file, const std::string& section, const std::string& key) {
    return ::WritePrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), nullptr,
                                        Wide(file).c_str()) != 0;
}

bool ProfileEraseSection(const std::string& file, const std::string& section) {
    return ::WritePrivateProfileStringW(Wide(section).c_str(), nullptr, nullptr,
                                        Wide(file).c_str()) != 0;
}

std::vector<std::string> ProfileSectionNames(const std::string& file) {
    return SplitList(Get(nullptr, nullptr, L"", Wide(file)));
}

std::vector<std::string> ProfileKeyNames(const std::string& file, const std::string& section) {
    const std::wstring s = Wide(section);
    return SplitList(Get(s.c_str(), nullptr, L"", Wide(file)));
}

}  // namespace platform
