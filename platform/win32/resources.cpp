#include "platform/resources.h"

#include "platform/win32/win.h"

#include "platform/text.h"
#include "platform/win32/wide.h"

namespace platform {

std::optional<std::string_view> FindResourceData(const std::string& type, const std::string& name) {
    const std::wstring t = Wide(UpperCase(type)), n = Wide(UpperCase(name));
    HRSRC r = ::FindResourceW(nullptr, n.c_str(), t.c_str());
    if (!r) return std::nullopt;
    HGLOBAL g = ::LoadResource(nullptr, r);
    const void* p = g ? ::LockResource(g) : nullptr;
    if (!p) return std::nullopt;
    return std::string_view(static_cast<const char*>(p), ::SizeofResource(nullptr, r));
}

namespace {
BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    if (!IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<std::string>*>(param)->push_back(
            UpperCase(Narrow(name, wcslen(name))));
    return TRUE;
}
}  // namespace

std::vector<std::string> ResourceNames(const std::string& type) {
    std::vector<std::string> out;
    ::EnumResourceNamesW(nullptr, Wide(UpperCase(type)).c_str(), CollectName,
                         reinterpret_cast<LONG_PTR>(&out));
    return out;
}

std::optional<TFileVersion> GetFileVersion(const std::string& path) {
    const std::wstring w = Wide(path);
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(w.c_str(), &handle);
    if (size == 0) return std::nullopt;
    std::string block(size, '\0');
    if (!::GetFileVersionInfoW(w.c_str(), 0, size, block.data())) return std::nullopt;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info ||
        len < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    return TFileVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                        HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
}

}  // namespace platform
