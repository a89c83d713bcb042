// The real system's facts, clock, folders, launcher and named mutex.
#include "platform/win32/win.h"
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>

#include "platform/clock.h"
#include "platform/file.h"
#include "platform/mutex.h"
#include "platform/path.h"
#include "platform/process.h"
#include "platform/shellfolders.h"
#include "platform/sysinfo.h"
#include "platform/win32/wide.h"

namespace platform {

namespace {

class TWinSystemInfo : public ISystemInfo {
public:
    TOsVersion OsVersion() override {
        // GetVersionExW reports the true version to a program whose manifest declares the
        // system compatible; RtlGetVersion does so regardless, which tests programs need.
        OSVERSIONINFOW v{};
        v.dwOSVersionInfoSize = sizeof v;
        using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
        if (HMODULE nt = ::GetModuleHandleW(L"ntdll.dll")) {
            auto fn = reinterpret_cast<RtlGetVersionFn>(
                reinterpret_cast<void*>(::GetProcAddress(nt, "RtlGetVersion")));
            if (fn && fn(&v) == 0)
                return TOsVersion{v.dwPlatformId, v.dwMajorVersion, v.dwMinorVersion,
                                  v.dwBuildNumber};
        }
        return TOsVersion{};
    }
    uint32_t SystemLocaleId() override { return ::GetSystemDefaultLCID(); }
    uint32_t UserLocaleId() override { return ::GetUserDefaultLCID(); }
    char DecimalSeparator() override { return LocaleChar(LOCALE_SDECIMAL, '.'); }
    char TimeSeparator() override { return LocaleChar(LOCALE_STIME, ':'); }
    std::string UserName() override {
        wchar_t buf[260];
        DWORD n = 260;
        if (!::GetUserNameW(buf, &n) || n == 0) return {};
        return Narrow(buf, n - 1);
    }

private:
    static char LocaleChar(LCTYPE type, char fallback) {
        wchar_t buf[8];
        if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buf, 8) > 1 && buf[0] < 128)
            return static_cast<char>(buf[0]);
        return fallback;
    }
};

class TWinClock : public IClock {
public:
    TSystemTime LocalTime() override {
        SYSTEMTIME st;
        ::GetLocalTime(&st);
        return TSystemTime{st.wYear,   st.wMonth,  st.wDay,          st.wHour,
                           st.wMinute, st.wSecond, st.wMilliseconds, st.wDayOfWeek};
    }
    uint32_t TickCount() override { return ::GetTickCount(); }
    int UtcOffsetMinutes() override {
        TIME_ZONE_INFORMATION tz;
        const DWORD r = ::GetTimeZoneInformation(&tz);
        LONG bias = tz.Bias;
        if (r == TIME_ZONE_ID_DAYLIGHT)
            bias += tz.DaylightBias;
        else if (r == TIME_ZONE_ID_STANDARD)
            bias += tz.StandardBias;
        return -static_cast<int>(bias);
    }
};

class TWinLauncher : public ILauncher {
public:
    bool StartProcess(const std::string& application, const std::string& parameters) override {
        // The application name is given explicitly and quoted in the command line, so a path
        // with blanks is never searched prefix by prefix.
        std::wstring cmd = L"\"" + Wide(application) + L"\"";
        if (!parameters.empty()) cmd += L" " + Wide(parameters);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_SHOW;
        PROCESS_INFORMATION pi{};
        const std::wstring app = Wide(application);
        if (!::CreateProcessW(app.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &si, &pi))
            return false;
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        return true;
    }
    int ShellOpen(const std::string& file, const std::string& parameters) override {
        const std::wstring f = Wide(file), p = Wide(parameters);
        const HINSTANCE r = ::ShellExecuteW(
            nullptr, L"open", f.c_str(), p.empty() ? nullptr : p.c_str(), nullptr, SW_SHOWNORMAL);
        return static_cast<int>(reinterpret_cast<INT_PTR>(r));
    }
};

}  // namespace

ISystemInfo& RealSystemInfo() {
    static TWinSystemInfo info;
    return info;
}

IClock& RealClock() {
    static TWinClock clock;
    return clock;
}

ILauncher& RealLauncher() {
    static TWinLauncher launcher;
    return launcher;
}

void SleepMs(uint32_t ms) {
    ::Sleep(ms);
}
uint64_t MonotonicMs() {
    return ::GetTickCount64();
}
double ProcessCpuSeconds() {
    FILETIME create, exit, kernel, user;
    if (!::GetProcessTimes(::GetCurrentProcess(), &create, &exit, &kernel, &user)) return 0;
    auto seconds = [](FILETIME f) {
        return double((uint64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

[[noreturn]] void ExitProcessNow(int code) {
    std::fflush(nullptr);
    ::ExitProcess(static_cast<UINT>(code));
}

std::string GetExePath() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) return Narrow(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

void SetStandInRoot(const std::string&) {}
std::string StandInRoot() {
    return {};
}

std::string GetShellFolder(ShellFolder folder) {
    const int csidl = folder == ShellFolder::kAppData         ? CSIDL_APPDATA
                      : folder == ShellFolder::kCommonAppData ? CSIDL_COMMON_APPDATA
                                                              : CSIDL_PROGRAM_FILES;
    wchar_t buf[MAX_PATH];
    if (!::SHGetSpecialFolderPathW(nullptr, buf, csidl, FALSE)) return {};
    return IncludeTrailingSeparator(Narrow(buf, wcslen(buf)));
}

std::string GetTempFolder() {
    wchar_t buf[MAX_PATH + 1];
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, buf);
    if (n == 0 || n > MAX_PATH) return {};
    return IncludeTrailingSeparator(Narrow(buf, n));
}

TNamedMutex::TNamedMutex(const std::string& name) {
    HANDLE h = ::CreateMutexW(nullptr, FALSE, Wide(name).c_str());
    if (!h) return;
    FAlreadyExisted = ::GetLastError() == ERROR_ALREADY_EXISTS;
    FHandle = reinterpret_cast<intptr_t>(h);
}

TNamedMutex::~TNamedMutex() {
    if (FHandle != -1) ::CloseHandle(reinterpret_cast<HANDLE>(FHandle));
}

}  // namespace platform
