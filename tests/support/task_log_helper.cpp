#include "tests/support/task_log_helper.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "platform/win32/win.h"
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include "log/logfile.h"
#include "platform/file.h"
#include "platform/path.h"
#include "platform/shellfolders.h"
#include "platform/text.h"

namespace testsupport {

std::string TaskLogPath() {
    return platform::JoinPath(
        {platform::ExtractFileDir(platform::GetExePath()), "TaskException.log"});
}

std::vector<std::string> TaskLogLines() {
    std::vector<std::string> lines;
    auto bytes = platform::ReadFileBytes(TaskLogPath());
    if (!bytes) return lines;
    EXPECT_GE(bytes->size(), 2u);
    EXPECT_EQ(bytes->substr(0, 2), std::string("\xFF\xFE"));
    std::string text = platform::DecodeWithBom(*bytes);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        EXPECT_GE(line.size(), 25u) << line;
        EXPECT_EQ(line.substr(23, 2), "  ") << line;
        lines.push_back(line.size() >= 25 ? line.substr(25) : line);
        pos = end + 2;
    }
    return lines;
}

void ClearTaskLog() {
    logs::ShutdownLogChannels();
    platform::DeleteFile(TaskLogPath());
}

TTaskLogLock::TTaskLogLock() {
    std::string path = TaskLogPath() + ".testlock";
#ifdef _WIN32
    std::u16string wide = platform::Utf8ToUtf16(path);
    HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(wide.c_str()),
                           GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        OVERLAPPED overlapped{};
        LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &overlapped);
    }
    FHandle = reinterpret_cast<intptr_t>(h);
#else
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) flock(fd, LOCK_EX);
    FHandle = fd;
#endif
}

TTaskLogLock::~TTaskLogLock() {
#ifdef _WIN32
    HANDLE h = reinterpret_cast<HANDLE>(FHandle);
    if (h != INVALID_HANDLE_VALUE) {
        OVERLAPPED overlapped{};
        UnlockFileEx(h, 0, 1, 0, &overlapped);
        CloseHandle(h);
    }
#else
    if (FHandle >= 0) {
        flock(static_cast<int>(FHandle), LOCK_UN);
        close(static_cast<int>(FHandle));
    }
#endif
}

}  // namespace testsupport
