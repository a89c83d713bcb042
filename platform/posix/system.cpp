// The Linux stand-in's system facts, clock, folders and launcher.
#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/clock.h"
#include "platform/file.h"
#include "platform/guarded.h"
#include "platform/mutex.h"
#include "platform/path.h"
#include "platform/process.h"
#include "platform/shellfolders.h"
#include "platform/sysinfo.h"

extern char** environ;

namespace platform {

namespace {

uint32_t LocaleFromEnvironment() {
    const char* lang = std::getenv("LC_ALL");
    if (!lang || !*lang) lang = std::getenv("LANG");
    const std::string l = lang ? lang : "";
    struct {
        const char* Prefix;
        uint32_t Lcid;
    } const table[] = {{"pt_BR", 1046}, {"de", 1031}, {"fr", 1036}, {"es", 3082}, {"it", 1040},
                       {"nl", 1043},    {"ru", 1049}, {"sv", 1053}, {"da", 1030}, {"pt", 2070}};
    for (const auto& e : table)
        if (l.rfind(e.Prefix, 0) == 0) return e.Lcid;
    return 1033;
}

class TPosixSystemInfo : public ISystemInfo {
public:
    // The stand-in presents itself as the current Windows 10 release, the system the program's
    // version gates treat as the common case.
    TOsVersion OsVersion() override { return TOsVersion{2, 10, 0, 19045}; }
    uint32_t SystemLocaleId() override { return LocaleFromEnvironment(); }
    uint32_t UserLocaleId() override { return LocaleFromEnvironment(); }
    char DecimalSeparator() override { return '.'; }
    char TimeSeparator() override { return ':'; }
    std::string UserName() override {
        if (const passwd* pw = ::getpwuid(::getuid())) return pw->pw_name;
        const char* u = std::getenv("USER");
        return u ? u : "";
    }
};

class TPosixClock : public IClock {
public:
    TSystemTime LocalTime() override {
        timespec ts;
        ::clock_gettime(CLOCK_REALTIME, &ts);
        tm t;
        ::localtime_r(&ts.tv_sec, &t);
        return TSystemTime{t.tm_year + 1900,
                           t.tm_mon + 1,
                           t.tm_mday,
                           t.tm_hour,
                           t.tm_min,
                           t.tm_sec,
                           static_cast<int>(ts.tv_nsec / 1000000),
                           t.tm_wday};
    }
    uint32_t TickCount() override { return static_cast<uint32_t>(MonotonicMs()); }
    int UtcOffsetMinutes() override {
        const time_t now = ::time(nullptr);
        tm t;
        ::localtime_r(&now, &t);
        return static_cast<int>(t.tm_gmtoff / 60);
    }
};

std::vector<std::string> SplitCommandLine(const std::string& params) {
    std::vector<std::string> out;
    std::string cur;
    bool quoted = false, any = false;
    for (char c : params) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (any) out.push_back(cur);
            cur.clear();
            any = false;
        } else {
            cur += c;
            any = true;
        }
    }
    if (any) out.push_back(cur);
    return out;
}

bool Spawn(const std::string& program, const std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    return ::posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0;
}

class TPosixLauncher : public ILauncher {
public:
    bool StartProcess(const std::string& application, const std::string& parameters) override {
        if (!FileExists(application)) return false;
        // Windows has no execute permission: a downloaded program runs as it is. The stand-in
        // gives its owner the execute bit so that the same holds here.
        struct stat st;
        if (::stat(application.c_str(), &st) == 0 && !(st.st_mode & S_IXUSR))
            ::chmod(application.c_str(), (st.st_mode & 07777) | S_IXUSR);
        return Spawn(application, SplitCommandLine(parameters));
    }
    int ShellOpen(const std::string& file, const std::string& parameters) override {
        const char* opener = std::getenv("LEAPGATE_OPENER");
        std::vector<std::string> args{file};
        for (const std::string& p : SplitCommandLine(parameters)) args.push_back(p);
        // ShellExecute's codes: above 32 is success, 2 is "file not found".
        return Spawn(opener && *opener ? opener : "xdg-open", args) ? 42 : 2;
    }
};

TGuarded<std::string> gRoot;

}  // namespace

ISystemInfo& RealSystemInfo() {
    static TPosixSystemInfo info;
    return info;
}

IClock& RealClock() {
    static TPosixClock clock;
    return clock;
}

ILauncher& RealLauncher() {
    static TPosixLauncher launcher;
    return launcher;
}

void SleepMs(uint32_t ms) {
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

uint64_t MonotonicMs() {
    timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec / 1000000);
}

double ProcessCpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

[[noreturn]] void ExitProcessNow(int code) {
    std::fflush(nullptr);
    ::_exit(code);
}

std::string GetExePath() {
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    return std::string(buf, static_cast<size_t>(n));
}

void SetStandInRoot(const std::string& root) {
    gRoot.Set(root);
}

std::string StandInRoot() {
    if (std::string root = gRoot.Get(); !root.empty()) return IncludeTrailingSeparator(root);
    if (const char* env = std::getenv("LEAPGATE_ROOT"); env && *env)
        return IncludeTrailingSeparator(env);
    const char* home = std::getenv("HOME");
    return JoinPath({home && *home ? home : "/tmp", ".local/share/leapgate-root/"});
}

std::string GetShellFolder(ShellFolder folder) {
    const char* sub = folder == ShellFolder::kAppData         ? "AppData/Roaming/"
                      : folder == ShellFolder::kCommonAppData ? "ProgramData/"
                                                              : "Program Files/";
    const std::string path = JoinPath({StandInRoot(), sub});
    return ForceDirectories(path) ? path : std::string();
}

std::string GetTempFolder() {
    const char* t = std::getenv("TMPDIR");
    return IncludeTrailingSeparator(t && *t ? t : "/tmp");
}

TNamedMutex::TNamedMutex(const std::string& name) {
    // A logon of the stand-in is its root: two runs with different roots are two users' logons.
    const std::string dir = JoinPath({StandInRoot(), "Sessions"});
    ForceDirectories(dir);
    const std::string path = JoinPath({dir, name + ".lock"});
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return;
    FHandle = fd;
    FAlreadyExisted = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
}

TNamedMutex::~TNamedMutex() {
    if (FHandle != -1) ::close(static_cast<int>(FHandle));
}

}  // namespace platform
