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

}  // namespace fuzz
