#include "tests/support/program_runner.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace testsupport {

#ifndef _WIN32

TProgramRun::TProgramRun(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env,
                         const std::string& stderrPath) {
    std::vector<std::string> envText;
    for (char** e = environ; *e; ++e) {
        const std::string kv = *e;
        const std::string name = kv.substr(0, kv.find('='));
        if (!env.count(name)) envText.push_back(kv);
    }
    for (const auto& [k, v] : env) envText.push_back(k + "=" + v);
    std::vector<char*> envp, argv;
    for (auto& e : envText) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string prog = program;
    argv.push_back(prog.data());
    std::vector<std::string> copies = args;
    for (auto& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    if (!stderrPath.empty())
        ::posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(),
                                           O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid;
    if (::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0)
        FPid = pid;
    ::posix_spawn_file_actions_destroy(&actions);
}

TProgramRun::~TProgramRun() {
    Kill();
}

bool TProgramRun::Running() {
    if (FPid <= 0) return false;
    int status;
    const pid_t r = ::waitpid(static_cast<pid_t>(FPid), &status, WNOHANG);
    if (r == 0) return true;
    if (r > 0) FStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    FPid = -1;
    return false;
}

int TProgramRun::WaitExit(int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Running()) {
        if (std::chrono::steady_clock::now() > end) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return FStatus;
}

void TProgramRun::Kill() {
    if (FPid > 0) {
        ::kill(static_cast<pid_t>(FPid), SIGKILL);
        int status;
        ::waitpid(static_cast<pid_t>(FPid), &status, 0);
        FPid = -1;
    }
}

bool CanDriveWindows() {
    const char* d = std::getenv("DISPLAY");
    return d && *d && std::system("command -v xdotool >/dev/null 2>&1") == 0;
}

bool FindWindow(const std::string& title, int timeoutMs, int& x, int& y) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        const std::string cmd = "xdotool search --onlyvisible --name '^" + title +
                                "$' getwindowgeometry --shell %@ 2>/dev/null";
        if (FILE* p = ::popen(cmd.c_str(), "r")) {
            char line[256];
            int gx = -1, gy = -1;
            while (std::fgets(line, sizeof line, p)) {
                std::sscanf(line, "X=%d", &gx);
                std::sscanf(line, "Y=%d", &gy);
            }
            ::pclose(p);
            if (gx >= 0 && gy >= 0) {
                x = gx;
                y = gy;
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

void ClickAt(int x, int y) {
    // Arrive from a few pixels away, as a hand does: a pointer that is already there sends the
    // window no motion, and hover state is what a button's click comes from.
    const std::string cmd = "xdotool mousemove " + std::to_string(x - 6) + " " +
                            std::to_string(y - 6) + " sleep 0.1 mousemove " + std::to_string(x) +
                            " " + std::to_string(y) + " sleep 0.15 click 1 >/dev/null 2>&1";
    [[maybe_unused]] int r = std::system(cmd.c_str());
}

#else

// Under Wine the program is driven from outside the Windows test programs
// (tests/support/wine/program-e2e); these stand-ins keep the test program building.
TProgramRun::TProgramRun(const std::string&, const std::vector<std::string>&,
                         const std::map<std::string, std::string>&, const std::string&) {}
TProgramRun::~TProgramRun() {}
bool TProgramRun::Running() {
    return false;
}
int TProgramRun::WaitExit(int) {
    return -1;
}
void TProgramRun::Kill() {}
bool CanDriveWindows() {
    return false;
}
bool FindWindow(const std::string&, int, int&, int&) {
    return false;
}
void ClickAt(int, int) {}

#endif

}  // namespace testsupport
