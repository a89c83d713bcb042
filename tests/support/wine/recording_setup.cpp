// The "new setup" of the end-to-end runs under Wine: it writes the command line it was started
// with into setup-ran.txt beside itself and ends.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    dir = dir.substr(0, dir.find_last_of(L"\\/") + 1);
    if (FILE* f = _wfopen((dir + L"setup-ran.txt").c_str(), L"wb")) {
        const wchar_t* cmd = GetCommandLineW();
        char utf8[4096];
        const int len =
            WideCharToMultiByte(CP_UTF8, 0, cmd, -1, utf8, sizeof utf8, nullptr, nullptr);
        if (len > 1) std::fwrite(utf8, 1, static_cast<size_t>(len - 1), f);
        std::fclose(f);
    }
    return 0;
}
