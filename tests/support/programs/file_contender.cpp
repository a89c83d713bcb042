// A second process that wants a file another one holds: it tries one change through the
// platform layer (so the Linux stand-in's sharing rules apply to it as Windows' do) and says by
// its exit code whether the change went through (0), was refused (1) or was asked wrongly (2).
#include <cstdio>
#include <string>

#include "platform/file.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: file_contender delete|rename|overwrite|open-write PATH\n");
        return 2;
    }
    const std::string action = argv[1], path = argv[2];
    bool done = false;
    if (action == "delete") {
        done = platform::DeleteFile(path);
    } else if (action == "rename") {
        done = platform::RenameFile(path, path + ".moved");
    } else if (action == "overwrite") {
        done = platform::WriteFileBytes(path, "not what was checked");
    } else if (action == "open-write") {
        done =
            platform::TFileStream::Open(path, platform::FileMode::kOpenWriteExclusive) != nullptr;
    } else {
        return 2;
    }
    if (!done) std::printf("%s refused: %d\n", action.c_str(), platform::LastErrorCode());
    return done ? 0 : 1;
}
