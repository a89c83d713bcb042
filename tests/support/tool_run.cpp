#include "tests/support/tool_run.h"

#include "tests/support/child_process.h"
#include "tests/support/testenv.h"

#include <chrono>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace testsupport {

#ifdef _WIN32

TToolRun::TToolRun(const std::string& program, const std::vector<std::string>& args,
                   const std::string& outputFile) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE out = ::CreateFileW(WideText(outputFile).c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return;
    const std::wstring app = WideText(HostPath(program));
    std::wstring line = QuotedArgument(HostPath(program));
    for (const auto& a : args) line += L" " + QuotedArgument(a);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nullptr;
    si.hStdOutput = out;
    si.hStdError = out;
    PROCESS_INFORMATION pi{};
    // A console of its own: a control event on it reaches the tool alone, whether or not we
    // have a console ourselves (under Wine a test program usually has none).
    if (::CreateProcessW(app.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE,
                         nullptr, nullptr, &si, &pi)) {
        ::CloseHandle(pi.hThread);
        FProcess = pi.hProcess;
        FPid = pi.dwProcessId;
        FStarted = true;
    }
    ::CloseHandle(out);
}

TToolRun::~TToolRun() {
    Kill();
}

int TToolRun::WaitExit(int timeoutMs) {
    if (!FProcess) return FStatus;
    if (::WaitForSingleObject(FProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(FProcess, &code);
    ::CloseHandle(FProcess);
    FProcess = nullptr;
    FStatus = static_cast<int>(code);
    return FStatus;
}

bool TToolRun::RequestStop() {
    if (!FProcess) return false;
    // Ctrl-C as typed into the tool's console: join it for a moment, ignoring the event
    // ourselves, and leave again.
    ::FreeConsole();
    if (!::AttachConsole(static_cast<DWORD>(FPid))) return false;
    ::SetConsoleCtrlHandler(nullptr, TRUE);
    const bool sent = ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) != 0;
    ::Sleep(200);  // the event is delivered on threads of its own; let it go out first
    ::FreeConsole();
    ::SetConsoleCtrlHandler(nullptr, FALSE);
    return sent;
}

void TToolRun::Kill() {
    if (!FProcess) return;
    ::TerminateProcess(FProcess, 255);
    ::WaitForSingleObject(FProcess, 10000);
    ::CloseHandle(FProcess);
    FProcess = nullptr;
}

#else

TToolRun::TToolRun(const std::string& program, const std::vector<std::string>& args,
                   const std::string& outputFile) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<std::string> copies;
    copies.push_back(program);
    copies.insert(copies.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid;
    if (::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        FPid = pid;
        FStarted = true;
    }
    posix_spawn_file_actions_destroy(&actions);
}

TToolRun::~TToolRun() {
    Kill();
}

int TToolRun::WaitExit(int timeoutMs) {
    if (FPid <= 0) return FStatus;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status;
        const pid_t r = ::waitpid(static_cast<pid_t>(FPid), &status, WNOHANG);
        if (r > 0) {
            FStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            FPid = -1;
            return FStatus;
        }
        if (r < 0 || std::chrono::steady_clock::now() > end) return r < 0 ? FStatus : -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool TToolRun::RequestStop() {
    return FPid > 0 && ::kill(static_cast<pid_t>(FPid), SIGTERM) == 0;
}

void TToolRun::Kill() {
    if (FPid <= 0) return;
    ::kill(static_cast<pid_t>(FPid), SIGKILL);
    int status;
    ::waitpid(static_cast<pid_t>(FPid), &status, 0);
    FPid = -1;
}

#endif

}  // namespace testsupport
