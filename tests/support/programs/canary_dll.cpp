// A DLL that must not be loaded: planted under the names the program loads at run time, it
// appends its own full path to the file named by LG_CANARY_LOG the moment it is loaded.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t log[MAX_PATH * 2];
    const DWORD n = GetEnvironmentVariableW(L"LG_CANARY_LOG", log, MAX_PATH * 2);
    if (n == 0 || n >= MAX_PATH * 2) return TRUE;
    wchar_t me[MAX_PATH * 2];
    const DWORD m = GetModuleFileNameW(self, me, MAX_PATH * 2);
    char line[MAX_PATH * 6];
    int len = WideCharToMultiByte(CP_UTF8, 0, me, static_cast<int>(m), line, sizeof line - 2,
                                  nullptr, nullptr);
    if (len < 0) len = 0;
    line[len++] = '\n';
    HANDLE h = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        DWORD wrote = 0;
        WriteFile(h, line, static_cast<DWORD>(len), &wrote, nullptr);
        CloseHandle(h);
    }
    return TRUE;
}
