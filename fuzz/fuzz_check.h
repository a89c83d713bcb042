// What every fuzz target shares: a check that stops the run with a message (the fuzzer keeps the
// input that made it fail), and a scratch file for the loaders that read from disk.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "platform/file.h"

#define FUZZ_CHECK(cond, what)                                                                 \
    do {                                                                                       \
        if (!(cond)) {                                                                         \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", what, __FILE__, __LINE__); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

namespace fuzz {

// One file per run, rewritten for every input (a random tag keeps parallel runs apart).
inline std::string ScratchFile(const char* stem) {
    static const unsigned tag = std::random_device()();
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/lg-fuzz-" + stem + "-" +
           std::to_string(tag) + ".ini";
}

inline std::string PutScratch(const char* stem, const uint8_t* data, size_t size) {
    const std::string file = ScratchFile(stem);
    platform::WriteFileBytes(file, std::string(reinterpret_cast<const char*>(data), size));
    return file;
}

// A byte-order mark further into a file than its start: once the file is rewritten without the
// blank or NUL-cut lines before it, the mark comes first and the whole file reads in another
// encoding. The system's functions do the same; invariants about written values skip such files.
inline bool HasInnerMark(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const char* mark : {"\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"}) {
        const size_t at = bytes.find(mark, 1);
        if (at != std::string::npos) return true;
    }
    return false;
}

}  // namespace fuzz
