#include "tests/support/nginx_process.h"

#include "platform/file.h"
#include "platform/socket.h"
#include "platform/text.h"
#include "tests/support/child_process.h"
#include "tests/support/testenv.h"

#ifdef _WIN32
#include <winsock2.h>
#include <windows.h>
#include <ws2tcpip.h>
#endif

#ifndef _WIN32
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;
#endif

namespace testsupport {

uint16_t PickFreePort() {
    uint16_t port = 0;
    int error = 0;
    platform::SocketHandle s = platform::SocketListenLoopback(false, port, &error);
    platform::SocketCloseDetached(s);
    return port;
}

#ifdef _WIN32

namespace {

using TWineUnixName = char*(__cdecl*)(const wchar_t*);

TWineUnixName WineUnixName() {
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    void* p = kernel ? reinterpret_cast<void*>(::GetProcAddress(kernel, "wine_get_unix_file_name"))
                     : nullptr;
    return reinterpret_cast<TWineUnixName>(p);
}

bool Accepting(uint16_t port) {
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::closesocket(s);
    return ok;
}

// Starts a Unix program through Wine; there is no handle to wait on afterwards.
bool SpawnUnix(const std::vector<std::string>& args) {
    std::wstring line = WideText(HostPath(args[0]));
    for (size_t i = 1; i < args.size(); ++i) line += L" \"" + WideText(args[i]) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                          nullptr, &si, &pi))
        return false;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
}

}  // namespace

std::string ServerPath(const std::string& path) {
    TWineUnixName unixName = WineUnixName();
    if (!unixName) return path;
    char* name = unixName(WideText(path).c_str());
    if (!name) return path;
    std::string result = name;
    ::HeapFree(::GetProcessHeap(), 0, name);
    if (!path.empty() && (path.back() == '\\' || path.back() == '/') && result.back() != '/')
        result += '/';
    return result;
}

std::string FindProgram(const std::string& name) {
    if (!WineUnixName()) return std::string();
    for (std::string dir : {"/usr/sbin/", "/usr/bin/", "/sbin/", "/bin/"})
        if (::GetFileAttributesW(WideText(HostPath(dir + name)).c_str()) != INVALID_FILE_ATTRIBUTES)
            return dir + name;
    return std::string();
}

bool RunCommand(const std::vector<std::string>&, const std::string&) {
    return false;
}

bool TChildProcess::Start(const std::string& program, const std::vector<std::string>& args,
                          uint16_t port, const std::string&, const std::string& pidFile,
                          std::string* error) {
    std::string path = FindProgram(program);
    if (path.empty()) {
        if (error)
            *error = WineUnixName() ? program + " is not installed"
                                    : "Linux server programs can be started only under Wine";
        return false;
    }
    std::vector<std::string> argv{path};
    argv.insert(argv.end(), args.begin(), args.end());
    if (!SpawnUnix(argv)) {
        if (error) *error = "cannot start " + path + " through Wine";
        return false;
    }
    FPid = 1;
    FPort = port;
    FPidFile = pidFile;
    // Without a process handle an early exit cannot be seen; a healthy start takes well under
    // a second, so the wait is shorter than natively.
    for (int i = 0; i < 250; ++i) {
        if (Accepting(port)) return true;
        ::Sleep(20);
    }
    Stop();
    if (error) *error = program + " did not start listening";
    return false;
}

void TChildProcess::Stop() {
    if (FPid <= 0) return;
    FPid = 0;
    std::string pid;
    for (int i = 0; i < 250 && pid.empty(); ++i) {
        if (auto text = platform::ReadFileBytes(FPidFile)) pid = platform::Trim(*text);
        if (pid.empty()) ::Sleep(20);
    }
    if (pid.empty() || !SpawnUnix({"/bin/kill", "-TERM", pid})) return;
    for (int i = 0; i < 250 && Accepting(FPort); ++i) ::Sleep(20);
}

#else

namespace {

bool Accepting(uint16_t port) {
    int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    return ok;
}

pid_t Spawn(const std::vector<std::string>& args, const std::string& logFile) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

}  // namespace

std::string FindProgram(const std::string& name) {
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    path += ":/usr/sbin:/usr/bin:/sbin:/bin";
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        std::string candidate = path.substr(start, end - start) + "/" + name;
        if (end > start && ::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return std::string();
}

bool RunCommand(const std::vector<std::string>& args, const std::string& logFile) {
    pid_t pid = Spawn(args, logFile);
    if (pid <= 0) return false;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string ServerPath(const std::string& path) {
    return path;
}

bool TChildProcess::Start(const std::string& program, const std::vector<std::string>& args,
                          uint16_t port, const std::string& logFile, const std::string&,
                          std::string* error) {
    std::string path = FindProgram(program);
    if (path.empty()) {
        if (error) *error = program + " is not installed";
        return false;
    }
    std::vector<std::string> argv{path};
    argv.insert(argv.end(), args.begin(), args.end());
    pid_t pid = Spawn(argv, logFile);
    if (pid <= 0) {
        if (error) *error = "cannot start " + path;
        return false;
    }
    FPid = pid;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
        if (Accepting(port)) return true;
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            FPid = 0;
            if (error) *error = program + " ended at once; see " + logFile;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Stop();
    if (error) *error = program + " did not start listening; see " + logFile;
    return false;
}

void TChildProcess::Stop() {
    if (FPid <= 0) return;
    pid_t pid = static_cast<pid_t>(FPid);
    FPid = 0;
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 250; ++i) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

#endif

}  // namespace testsupport
