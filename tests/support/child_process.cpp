#include "tests/support/child_process.h"

#include "platform/path.h"
#include "platform/shellfolders.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/text.h"
#else
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
extern char** environ;
#endif

namespace testsupport {

std::string HelperFile(const std::string& fileName) {
    // build/tests/test_X/test_X beside build/tests/helpers/
    const std::string tests =
        platform::ExtractFileDir(platform::ExtractFileDir(platform::GetExePath()));
    return platform::JoinPath({tests, "helpers", fileName});
}

#ifdef _WIN32

std::string HelperProgram(const std::string& name) {
    return HelperFile(name + ".exe");
}

std::wstring WideText(const std::string& text) {
    const std::u16string u = platform::Utf8ToUtf16(text);
    return std::wstring(u.begin(), u.end());
}

std::wstring QuotedArgument(const std::string& arg) {
    std::wstring out = L"\"";
    for (wchar_t c : WideText(arg)) {
        if (c == L'"') out += L'\\';
        out += c;
    }
    return out + L"\"";
}

namespace {

// Ours with the overrides on top (names compare without case, as Windows' do).
std::wstring EnvironmentBlock(const std::map<std::string, std::string>& overrides) {
    std::wstring block;
    wchar_t* env = GetEnvironmentStringsW();
    for (const wchar_t* e = env; e && *e; e += wcslen(e) + 1) {
        const std::wstring entry = e;
        const std::wstring name = entry.substr(0, entry.find(L'=', 1));
        bool replaced = false;
        for (const auto& [k, v] : overrides)
            replaced |= _wcsicmp(WideText(k).c_str(), name.c_str()) == 0;
        if (!replaced) block += entry + L'\0';
    }
    if (env) FreeEnvironmentStringsW(env);
    for (const auto& [k, v] : overrides) block += WideText(k) + L"=" + WideText(v) + L'\0';
    return block + L'\0';
}
}  // namespace

int RunProgram(const std::string& program, const std::vector<std::string>& args, int timeoutMs,
               const TRunOptions& options) {
    std::wstring cmd = QuotedArgument(program);
    for (const std::string& a : args) cmd += L" " + QuotedArgument(a);
    std::wstring env = EnvironmentBlock(options.Env);
    const std::wstring dir = WideText(options.Directory);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(WideText(program).c_str(), cmd.data(), nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT, env.data(), dir.empty() ? nullptr : dir.c_str(),
                        &si, &pi))
        return -1;
    CloseHandle(pi.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0) {
        GetExitCodeProcess(pi.hProcess, &code);
    } else {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, INFINITE);
    }
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

#else

std::string HelperProgram(const std::string& name) {
    return HelperFile(name);
}

int RunProgram(const std::string& program, const std::vector<std::string>& args, int timeoutMs,
               const TRunOptions& options) {
    std::vector<std::string> copies{program};
    copies.insert(copies.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envText;
    for (char** e = environ; *e; ++e) {
        const std::string kv = *e;
        if (!options.Env.count(kv.substr(0, kv.find('=')))) envText.push_back(kv);
    }
    for (const auto& [k, v] : options.Env) envText.push_back(k + "=" + v);
    std::vector<char*> envp;
    for (auto& e : envText) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    if (!options.Directory.empty())
        ::posix_spawn_file_actions_addchdir_np(&actions, options.Directory.c_str());
    pid_t pid;
    const int started =
        ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    ::posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return -1;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    for (;;) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (r < 0 || std::chrono::steady_clock::now() > end) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

#endif

}  // namespace testsupport
