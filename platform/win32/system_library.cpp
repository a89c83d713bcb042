#include "platform/win32/system_library.h"

#include <string>

namespace platform::detail {

namespace {

// The LOAD_LIBRARY_SEARCH_* flags exist where AddDllDirectory does (Windows 8, or 7 and Vista
// with the update that brought them); older systems refuse the flags.
bool HasSearchFlags() {
    static const bool has = [] {
        HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
        return kernel && ::GetProcAddress(kernel, "AddDllDirectory") != nullptr;
    }();
    return has;
}

std::wstring Folder(std::wstring path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring ProgramFolder() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) return Folder(buf.substr(0, n));
        buf.resize(buf.size() * 2);
    }
}

std::wstring SystemFolder() {
    wchar_t buf[MAX_PATH];
    const UINT n = ::GetSystemDirectoryW(buf, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    std::wstring dir(buf, n);
    if (dir.back() != L'\\') dir += L'\\';
    return dir;
}

// A full path, and the libraries it needs from its own folder and System32; where the flags
// are missing, the altered search starts at the library's own folder instead of ours.
HMODULE LoadByFullPath(const std::wstring& folder, const wchar_t* name) {
    if (folder.empty()) return nullptr;
    const std::wstring path = folder + name;
    if (HasSearchFlags())
        return ::LoadLibraryExW(path.c_str(), nullptr,
                                LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (HasSearchFlags())
        if (HMODULE m = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return m;
    return LoadByFullPath(SystemFolder(), name);
}

HMODULE LoadProgramLibrary(const wchar_t* name) {
    return LoadByFullPath(ProgramFolder(), name);
}

}  // namespace platform::detail
