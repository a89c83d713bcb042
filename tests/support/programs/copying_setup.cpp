// A stand-in for the downloaded setup: once started, it copies the bytes of its own program file
// to the path given as its only parameter, so that a test can compare what ran with what was
// checked.
#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {
std::string OwnPath() {
#ifdef _WIN32
    char path[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, n);
#else
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
#endif
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::ifstream in(OwnPath(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) return 1;
    // Written under a second name first: the test waits for the final name, which then holds
    // every byte.
    const std::string part = std::string(argv[1]) + ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) return 1;
    }
    return std::rename(part.c_str(), argv[1]) == 0 ? 0 : 1;
}
